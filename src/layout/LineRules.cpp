// Line layout rules that need no canvas.
#include "layout/LineRules.h"

#include <algorithm>

namespace xq {

int InterpolationFit(int count, int available, const std::function<int(int)>& measure)
{
    if (count <= 0 || available <= 0)
        return 0;
    int upperWidth = measure(count);
    if (upperWidth <= available)
        return count;
    int lower = 0, lowerWidth = 0, upper = count;
    while (lower + 1 < upper) {
        if (upperWidth == lowerWidth)
            ++upperWidth;
        std::int64_t estimate =
            lower + std::int64_t(available - lowerWidth) * (upper - lower) / (upperWidth - lowerWidth);
        estimate = std::clamp<std::int64_t>(estimate, lower + 1, upper - 1);
        const int n = static_cast<int>(estimate);
        const int width = measure(n);
        if (width == available)
            return n;
        if (width < available) {
            lower = n;
            lowerWidth = width;
        } else {
            upper = n;
            upperWidth = width;
        }
    }
    return lower;
}

TRVTabStop FindTabStop(const TParaInfo& para, std::int32_t x, std::int32_t leftIndent, std::int32_t defTabWidth,
                       const TRVDeviceScale& scale)
{
    const TRVTabInfo* next = nullptr;
    bool stopAtOrBeyondIndent = false;
    for (const TRVTabInfo& tab : para.Tabs) {
        const std::int32_t position = scale.X(tab.Position);
        stopAtOrBeyondIndent = stopAtOrBeyondIndent || position >= leftIndent;
        if (!next && position > x)
            next = &tab;
    }
    if (next) {
        const std::int32_t position = scale.X(next->Position);
        if (x < leftIndent && leftIndent < position)
            return TRVTabStop{leftIndent, rvtaLeft, {}};
        return TRVTabStop{position, next->Align, next->Leader};
    }
    if (x < leftIndent && !stopAtOrBeyondIndent)
        return TRVTabStop{leftIndent, rvtaLeft, {}};
    const std::int32_t step = std::max(1, scale.X(defTabWidth));
    return TRVTabStop{(x / step + 1) * step, rvtaLeft, {}};
}

std::vector<std::int32_t> JustifyShares(std::int32_t freeSpace, int n)
{
    std::vector<std::int32_t> shares;
    if (n <= 0)
        return shares;
    shares.reserve(std::size_t(n));
    for (int left = n; left > 0; --left) {
        const std::int32_t share = left == 1 ? freeSpace : freeSpace / left;
        shares.push_back(share);
        freeSpace -= share;
    }
    return shares;
}

void AlignLine(TRVDrawLines& lines, int first, int last, TRVAlignment alignment, std::int32_t lineRight,
               bool lastLineOfParagraph, bool hasBiDi, const std::function<bool(int)>& startsWithSpace,
               const std::function<bool(int)>& isTab)
{
    if (first > last)
        return;
    const TRVDrawLineInfo& end = lines[last];
    const std::int32_t freeSpace = lineRight - (end.Left + end.Width);
    auto shift = [&](std::int32_t dx) {
        for (int i = first; i <= last; ++i)
            lines[i].Left += dx;
    };
    switch (alignment) {
    case rvaLeft:
        return;
    case rvaRight:
        shift(freeSpace);
        return;
    case rvaCenter:
        shift(std::max(freeSpace / 2, 0));
        return;
    case rvaJustify:
        break;
    }
    if (lastLineOfParagraph || hasBiDi || first == last || freeSpace <= 0)
        return;

    int from = first + 1;
    for (int i = last; i > first; --i)
        if (isTab(i)) {
            from = i + 1;
            break;
        }
    std::vector<int> stretched;
    for (int i = from; i <= last; ++i)
        if (startsWithSpace(i))
            stretched.push_back(i);
    if (stretched.empty())
        return;
    const std::vector<std::int32_t> shares = JustifyShares(freeSpace, static_cast<int>(stretched.size()));
    for (std::size_t k = 0; k < stretched.size(); ++k) {
        TRVDrawLineInfo& d = lines[stretched[k]];
        d.JustifyExtra = shares[k];
        d.Width += shares[k];
    }
    for (int i = first + 1; i <= last; ++i)
        lines[i].Left = lines[i - 1].Left + lines[i - 1].Width;
}

TRVLineIndents LineIndents(const TParaInfo& para, const TRVListLevel* level, TRVLinePlace place,
                           const TRVDeviceScale& scale)
{
    std::int32_t left = para.LeftIndent;
    if (level)
        left = place == TRVLinePlace::MarkerLine ? level->MarkerIndent : level->LeftIndent;
    else if (place == TRVLinePlace::FirstLine)
        left += para.FirstIndent;
    return TRVLineIndents{scale.X(left), scale.X(para.RightIndent)};
}

std::int32_t LineSpacingGap(const TParaInfo& para, std::int32_t lineTop, std::int32_t lineBottom,
                            const TRVDeviceScale& scale)
{
    if (para.LineSpacingType == rvlsSpaceBetween)
        return para.LineSpacing >= 0 ? scale.Y(para.LineSpacing) : 0;
    // Percentages below 50 count as single spacing.
    if (para.LineSpacing == 100 || para.LineSpacing <= 49)
        return 0;
    // A tall line at a large percentage: the product is taken in 64 bits and held at the limit.
    return ClampExtent((std::int64_t{lineBottom} - lineTop) * (para.LineSpacing - 100) / 100);
}

} // namespace xq

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

std::int32_t LineSpacingGap(const TParaInfo& para, std::int32_t lineTop, std::int32_t lineBottom,
                            const TRVDeviceScale& scale)
{
    if (para.LineSpacingType == rvlsSpaceBetween)
        return para.LineSpacing >= 0 ? scale.Y(para.LineSpacing) : 0;
    // Percentages below 50 count as single spacing.
    if (para.LineSpacing == 100 || para.LineSpacing <= 49)
        return 0;
    return (lineBottom - lineTop) * (para.LineSpacing - 100) / 100;
}

} // namespace xq

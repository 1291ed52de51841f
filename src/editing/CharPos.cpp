// Caret stops of a line, measured the way the painter places the glyphs.
#include "editing/CharPos.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "document/ItemText.h"
#include "layout/DisplayText.h"
#include "layout/FontInfoCache.h"
#include "layout/FormattedData.h"
#include "layout/TextAdvances.h"

namespace xq {

namespace {

/// The characters a text draw item shows, as the painter draws them: a piece that ends its line
/// at a soft hyphen shows a hyphen there.
std::u16string PieceText(const TCustomRVFormattedData& data, int drawItemNo)
{
    const TRVDrawLines& lines = data.DrawItems();
    const TRVDrawLineInfo& d = lines[drawItemNo];
    const std::u16string display = data.DisplayTextOf(d.ItemNo);
    const int size = static_cast<int>(display.size());
    const int start = std::clamp(d.FirstChar - 1, 0, size);
    const int count = std::clamp(d.CharCount, 0, size - start);
    std::u16string text = display.substr(std::size_t(start), std::size_t(count));
    const bool endsLine = drawItemNo + 1 >= lines.Count() || lines[drawItemNo + 1].StartsLine();
    if (text.empty() || !endsLine)
        return text;
    const char16_t shown = text.back();
    bool softHyphen = shown == SoftHyphen;
    if (shown == ZeroWidthSpace && data.ItemAt(d.ItemNo).IsUnicode()) {
        // Hidden soft hyphens show as zero-width spaces; a real zero-width space stays one.
        const TRVItemText stored = TRVItemText::Of(data, d.ItemNo);
        const int at = start + count - 1;
        softHyphen = at < stored.Length() && stored.UnitAt(at) == SoftHyphen;
    }
    if (softHyphen)
        text.back() = u'-';
    return text;
}

std::vector<std::int32_t> Boundaries(TCustomRVFormattedData& data, int drawItemNo, const std::u16string& text)
{
    const TRVDrawLineInfo& d = data.DrawItems()[drawItemNo];
    const std::size_t n = text.size();
    TRVFontInfoCache* fonts = data.FontCache();
    if (!fonts)
        return std::vector<std::int32_t>(n + 1, 0);
    std::vector<int> advances;
    TextAdvances(fonts->Canvas(), *fonts, data.ActualStyleOf(d.ItemNo), text, advances);
    std::vector<std::int32_t> x = AdvancePositions(advances);
    for (std::size_t k = 1; k <= n; ++k)
        x[k] += d.JustifyExtra;
    return x;
}

} // namespace

int TRVCharPosCollection::IndexOf(TRVDrawPos pos) const noexcept
{
    for (std::size_t i = 0; i < Items_.size(); ++i)
        if (Items_[i].DrawItemNo == pos.DrawItemNo && Items_[i].Offset == pos.Offset)
            return static_cast<int>(i);
    return -1;
}

int TRVCharPosCollection::NearestToX(std::int32_t x) const noexcept
{
    int best = -1;
    std::int32_t bestDistance = 0;
    for (std::size_t i = 0; i < Items_.size(); ++i) {
        const std::int32_t distance = std::abs(Items_[i].X - x);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<std::int32_t> PieceBoundaries(TCustomRVFormattedData& data, int drawItemNo)
{
    const TRVDrawLineInfo& d = data.DrawItems()[drawItemNo];
    if (!data.ItemAt(d.ItemNo).IsText())
        return {};
    return Boundaries(data, drawItemNo, PieceText(data, drawItemNo));
}

void BuildCaretStops(TCustomRVFormattedData& data, int first, int last, TRVCharPosCollection& out)
{
    out.Clear();
    const TRVDrawLines& lines = data.DrawItems();
    bool leftIsMarker = false;
    bool leftIsEmptyText = false;
    for (int i = first; i <= last; ++i) {
        const TRVDrawLineInfo& d = lines[i];
        const TCustomRVItemInfo& item = data.ItemAt(d.ItemNo);
        std::vector<TRVCharPos> stops;
        bool emptyText = false;
        if (item.IsListMarker()) {
            // The caret never stands before a marker; after it only when nothing follows.
            if (i < last) {
                leftIsMarker = true;
                continue;
            }
            stops.push_back({i, 1, d.Left + d.Width});
        } else if (!item.IsText()) {
            stops.push_back({i, 0, d.Left});
            stops.push_back({i, 1, d.Left + d.Width});
        } else if (d.CharCount == 0) {
            stops.push_back({i, d.FirstChar, d.Left});
            emptyText = data.ItemLength(d.ItemNo) == 0;
        } else {
            const std::u16string text = PieceText(data, i);
            const std::vector<std::int32_t> x = Boundaries(data, i, text);
            const int n = static_cast<int>(text.size());
            for (int k = 0; k <= n; ++k) {
                if (k > 0 && k < n && IsHighSurrogate(text[std::size_t(k - 1)]) && IsLowSurrogate(text[std::size_t(k)]))
                    continue;
                stops.push_back({i, d.FirstChar + k, d.Left + (k == 0 ? 0 : x[std::size_t(k)])});
            }
        }
        std::size_t from = 0;
        if (!out.Empty()) {
            // The boundary with the draw item to the left is one stop.
            if ((leftIsMarker || emptyText) && !leftIsEmptyText)
                out.ReplaceLast(stops.front());
            from = 1;
        }
        for (std::size_t k = from; k < stops.size(); ++k)
            out.Add(stops[k]);
        leftIsMarker = item.IsListMarker();
        leftIsEmptyText = emptyText;
    }
}

} // namespace xq

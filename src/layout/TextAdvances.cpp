// The measuring rule of text items on a canvas.
#include "layout/TextAdvances.h"

#include "layout/DrawLines.h"
#include "layout/FontInfoCache.h"
#include "platform/Canvas.h"

namespace xq {

void TextAdvances(TCanvas& canvas, TRVFontInfoCache& fonts, int styleNo, std::u16string_view text,
                  std::vector<int>& advances)
{
    const TRVFontInfoCacheItem& item = &canvas == &fonts.Canvas() ? fonts.Select(styleNo) : fonts.Item(styleNo);
    if (!(canvas.Font() == item.Font))
        canvas.SelectFont(item.Font);
    canvas.CharAdvances(text, advances);
    for (std::size_t k = 0; k < text.size(); ++k)
        if (IsZeroWidth(text[k]))
            advances[k] = 0;
}

std::vector<std::int32_t> AdvancePositions(const std::vector<int>& advances)
{
    std::vector<std::int32_t> x(advances.size() + 1, 0);
    for (std::size_t k = 0; k < advances.size(); ++k)
        x[k + 1] = ClampExtent(std::int64_t{x[k]} + advances[k]);
    return x;
}

std::int64_t TextAdvanceWidth(TCanvas& canvas, TRVFontInfoCache& fonts, int styleNo, std::u16string_view text)
{
    std::vector<int> advances;
    TextAdvances(canvas, fonts, styleNo, text, advances);
    std::int64_t width = 0;
    for (const int advance : advances)
        width += advance;
    return width;
}

} // namespace xq

// The one measuring rule of text items: the advances the formatter lays a text piece out with,
// the painter draws it at and the caret stops stand on.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace xq {

class TCanvas;
class TRVFontInfoCache;

/// Characters the layout measures as zero wide, whatever the font says: the zero-width space
/// (which hidden soft hyphens show as), the zero-width joiner and the word joiner.
[[nodiscard]] constexpr bool IsZeroWidth(char16_t c) noexcept
{
    return c == 0x200B || c == 0x200D || c == 0x2060;
}

/// The advance of every UTF-16 unit of displayed text (as DisplayTextOf gives it) in text style
/// styleNo on canvas, device pixels: advances[k] for text[k], the vector resized to the text.
/// These are the canvas's additive advances in the style's font (a character with combining
/// marks carries the advance of the cluster, its marks 0; a surrogate pair's advance is on its
/// first unit), with 0 for the zero-width characters. The style's font (from fonts, which
/// knows the styles on the canvas it was made for) is selected on canvas; canvas is that one or
/// another of the same resolution, such as the one being painted on.
void TextAdvances(TCanvas& canvas, TRVFontInfoCache& fonts, int styleNo, std::u16string_view text,
                  std::vector<int>& advances);

/// The x of every unit boundary from advances: element k is the sum of the first k advances,
/// held as extents are (ClampExtent); advances.size() + 1 elements.
[[nodiscard]] std::vector<std::int32_t> AdvancePositions(const std::vector<int>& advances);

/// The width of text by TextAdvances: the advances summed, in 64 bits (callers hold it where
/// it lands, a piece's width as an extent).
[[nodiscard]] std::int64_t TextAdvanceWidth(TCanvas& canvas, TRVFontInfoCache& fonts, int styleNo,
                                            std::u16string_view text);

} // namespace xq

// The ranges of the lengths a document holds.
//
// A file may put any 32-bit value into a length field. The readers and the item property setters
// clamp what they take into these ranges, which are far beyond anything a page shows, yet small
// enough that the layout can add up what one line is made of (indents, spacing, borders, object
// sizes and shifts), scale it to a printer and multiply it by a line-spacing percentage without
// overflowing. What grows with the document itself (the y of the lines, the width of a line that
// does not wrap) is summed in 64 bits by the layout. Ordinary values pass unchanged, so such files
// still read and write back byte for byte; only absurd values change when a file is rewritten.
#pragma once

#include <algorithm>
#include <cstdint>

namespace xq {

/// An inclusive range of 32-bit values.
struct TIntRange {
    std::int32_t Min;
    std::int32_t Max;

    [[nodiscard]] constexpr std::int32_t Clamp(std::int64_t value) const noexcept
    {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, Min, Max));
    }
};

/// Pixel lengths of styles and items, at 96 pixels per inch: indents, paragraph and line spacing,
/// border widths and offsets, tab positions, the indents of list levels, label widths, the
/// spacing and vertical shift of objects, character spacing. 32767 pixels are 8.7 metres.
/// Line spacing shares the range also when it is a percentage.
inline constexpr TIntRange PixelLengthRange{-32767, 32767};

/// Width and height set on a picture item. 0 means the picture's own size; a negative size
/// means nothing else, so it reads as 0 too.
inline constexpr TIntRange PictureSizeRange{0, 32767};

/// Lengths that cannot be negative: the least height of an object on a page.
inline constexpr TIntRange NonNegativeLengthRange{0, 32767};

/// Font sizes in points: 1638 points are 2184 pixels, 32760 twips, about 58 centimetres.
inline constexpr TIntRange FontSizeRange{1, 1638};

/// Width of the characters of a text style, percent of their normal width.
inline constexpr TIntRange CharScaleRange{1, 1000};

/// Vertical shift of a text style, percent of the font's height.
inline constexpr TIntRange TextVShiftRange{-1000, 1000};

/// Lengths of the page (sheet size, margins, header and footer distances), in millimetres: from
/// nothing to ten metres, which no printer feeds. Negative margins are taken as none.
inline constexpr double MaxPageMillimetres = 10000.0;

} // namespace xq

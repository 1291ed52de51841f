// The characters of a text item as UTF-16, with the caret offset of each, for the code that looks
// at an item's text character by character (finding text, checking its words).
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace xq {

class TCustomRVData;
class TRVStyle;

/// An item's text as UTF-16 and the caret offset before each unit (and after the last): Base +
/// the unit's index, unless Offsets lists them (double-byte text).
struct TItemChars {
    std::u16string Text;
    int Base = 0;
    std::vector<int> Offsets;

    [[nodiscard]] int OffsetAt(std::size_t unit) const
    {
        return Offsets.empty() ? Base + int(unit) : Offsets[unit];
    }
    [[nodiscard]] std::size_t UnitAt(int offset) const
    {
        if (Offsets.empty())
            return std::size_t(std::clamp(offset - Base, 0, int(Text.size())));
        return std::size_t(std::lower_bound(Offsets.begin(), Offsets.end(), offset) - Offsets.begin());
    }
};

/// The text of text item itemNo of data in UTF-16. An 8-bit item is converted with its style's
/// code page; where one character takes two bytes the offsets say so.
[[nodiscard]] TItemChars ItemCharsOf(const TRVStyle& sheet, const TCustomRVData& data, int itemNo);

/// The word delimiters of an editor (code page 1252 bytes) as UTF-16.
[[nodiscard]] std::u16string DelimitersUtf16(const std::string& delimiters);

} // namespace xq

// TRVItemText: one way to read an item's text as it is stored - code-page bytes in an 8-bit item,
// UTF-16LE bytes in a Unicode item - by characters, the unit caret offsets count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The surrogate tests (IsHighSurrogate, IsLowSurrogate, CodePointOf) live in the platform layer,
// which measures and converts text below the document; they come with the view.
#include "platform/Unicode.h"

namespace xq {

class TCustomRVData;

/// A view of stored item text; it refers to the bytes and must not outlive them. Indexes are
/// 0-based characters: UTF-16 units in Unicode text, bytes in 8-bit text. An odd last byte of
/// Unicode text (which a valid item never has) is not a character.
class TRVItemText {
public:
    constexpr TRVItemText(std::string_view bytes, bool unicode) noexcept : Bytes_(bytes), Unicode_(unicode) {}
    /// The text of item itemNo of data (a non-text item gives its name, read as 8-bit).
    [[nodiscard]] static TRVItemText Of(const TCustomRVData& data, int itemNo);

    [[nodiscard]] constexpr bool Unicode() const noexcept { return Unicode_; }
    [[nodiscard]] constexpr std::string_view Bytes() const noexcept { return Bytes_; }
    /// Bytes per character: 2 in Unicode text, 1 otherwise.
    [[nodiscard]] constexpr int CharSize() const noexcept { return Unicode_ ? 2 : 1; }
    [[nodiscard]] constexpr int Length() const noexcept { return static_cast<int>(Bytes_.size()) / CharSize(); }
    [[nodiscard]] constexpr bool Empty() const noexcept { return Length() == 0; }

    /// The character at index (0 <= index < Length): a UTF-16 unit, or the byte itself.
    [[nodiscard]] constexpr char16_t UnitAt(int index) const noexcept
    {
        const auto at = std::size_t(index) * std::size_t(CharSize());
        if (!Unicode_)
            return char16_t(std::uint8_t(Bytes_[at]));
        return char16_t(std::uint8_t(Bytes_[at]) | (std::uint8_t(Bytes_[at + 1]) << 8));
    }
    /// A surrogate pair starts at index (Unicode text only).
    [[nodiscard]] constexpr bool PairAt(int index) const noexcept
    {
        return Unicode_ && index >= 0 && index + 1 < Length() && IsHighSurrogate(UnitAt(index)) &&
               IsLowSurrogate(UnitAt(index + 1));
    }
    /// A surrogate pair ends at index.
    [[nodiscard]] constexpr bool PairEndsAt(int index) const noexcept { return PairAt(index - 1); }

    /// The text as UTF-16: Unicode text unit for unit, 8-bit text converted from codePage.
    [[nodiscard]] std::u16string Utf16(int codePage) const;

private:
    std::string_view Bytes_;
    bool Unicode_;
};

} // namespace xq

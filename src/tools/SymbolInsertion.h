// Special characters: the character sets the insert symbol dialog offers, its grid of character
// codes, the character a code stands for in the document, and the text style that carries it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xq {

class TRVStyle;

/// The grid of codes: 28 columns from code 32, 8 rows for an 8-bit character set, 2340 rows in
/// Unicode mode.
inline constexpr int SymbolGridColumns = 28;
inline constexpr int SymbolGridFirstCode = 32;
inline constexpr int SymbolGridRows8Bit = 8;
inline constexpr int SymbolGridRowsUnicode = 2340;
/// The character set value that stands for Unicode mode.
inline constexpr std::uint8_t SymbolUnicodeCharset = 1;

/// A character set by its German name as the dialog lists it; the value is the font charset.
struct TSymbolCharset {
    std::uint8_t Charset;
    std::string_view Name;
};
inline constexpr std::string_view CentralEuropeanCharsetName = "Mitteleuropäisch";
/// The name of a character set value ("Unicode" for 1); empty for one the dialog does not know.
[[nodiscard]] std::string_view SymbolCharsetName(std::uint8_t charset) noexcept;

[[nodiscard]] int SymbolGridRows(std::uint8_t charset) noexcept;
/// The code of the cell in row and column.
[[nodiscard]] char32_t SymbolGridCode(int row, int column) noexcept;
/// The code can be inserted: one UTF-16 unit, so not above 0xFFFF.
[[nodiscard]] bool SymbolCodeInsertable(char32_t code) noexcept;

/// The UTF-16 unit the document gets for code of a grid in charset with fontName: in Unicode
/// mode, in the symbol character set and in a symbol font the code itself (the symbol fonts map
/// their codes when they are drawn); in another 8-bit character set the character its code page
/// has for the byte. 0 when there is none.
[[nodiscard]] char16_t SymbolDocumentChar(std::string_view fontName, std::uint8_t charset, char32_t code);
/// The character a document unit in fontName is drawn as: a symbol font's code through its
/// mapping, any other unchanged. The dialog shows what the document will show.
[[nodiscard]] char32_t SymbolShownChar(std::string_view fontName, char16_t documentChar) noexcept;

/// The text style for a special character: a copy of styleNo with fontName, charset, Unicode
/// text, protected from automatic switching and not standard, found among the existing styles
/// (styleNo first) or appended. An invalid styleNo counts as style 0.
[[nodiscard]] int SymbolTextStyle(TRVStyle& sheet, int styleNo, const std::string& fontName, std::uint8_t charset);

} // namespace xq

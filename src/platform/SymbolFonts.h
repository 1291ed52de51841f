// The symbol fonts of documents ("Symbol", "Wingdings", "Webdings"): their character codes as Unicode.
#pragma once

#include <string>
#include <string_view>

namespace xq {

enum TSymbolFont : unsigned char { sfNone, sfSymbol, sfWingdings, sfWebdings };

/// Which symbol font a font name is (case-insensitive); sfNone for text fonts.
[[nodiscard]] TSymbolFont SymbolFontOf(std::string_view fontName) noexcept;

/// The Unicode code point of a character code of a symbol font, or 0 when the code has no mapping.
/// Codes may be given as bytes (0x20..0xFF) or in the private-use form 0xF020..0xF0FF that Unicode
/// text in these fonts carries.
[[nodiscard]] char32_t SymbolToUnicode(TSymbolFont font, char32_t code) noexcept;

/// Text in a symbol font as Unicode text: mapped codes are replaced, unmapped ones stay as they are
/// (in the private-use form, the byte value). The result may hold surrogate pairs, so its length can
/// differ from the input's.
[[nodiscard]] std::u16string SymbolTextToUnicode(TSymbolFont font, std::u16string_view text);

} // namespace xq

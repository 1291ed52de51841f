// Special characters: character sets, the grid's codes, document and shown characters, the style.
#include "tools/SymbolInsertion.h"

#include <array>

#include "document/RVStyle.h"
#include "platform/CodePage.h"
#include "platform/FontTypes.h"
#include "platform/SymbolFonts.h"
#include "tools/FormatCommands.h"

namespace xq {

namespace {

constexpr std::array<TSymbolCharset, 13> Charsets = {{
    {0, "Westlich"},
    {SymbolUnicodeCharset, "Unicode"},
    {SYMBOL_CHARSET, "Symbol"},
    {EASTEUROPE_CHARSET, CentralEuropeanCharsetName},
    {RUSSIAN_CHARSET, "Kyrillisch"},
    {161, "Griechisch"},
    {162, "Türkisch"},
    {163, "Vietnamesisch"},
    {177, "Hebräisch"},
    {178, "Arabisch"},
    {186, "Baltisch"},
    {222, "Thailändisch"},
    {OEM_CHARSET, "OEM/DOS"},
}};

} // namespace

std::string_view SymbolCharsetName(std::uint8_t charset) noexcept
{
    for (const TSymbolCharset& c : Charsets)
        if (c.Charset == charset)
            return c.Name;
    return {};
}

int SymbolGridRows(std::uint8_t charset) noexcept
{
    return charset == SymbolUnicodeCharset ? SymbolGridRowsUnicode : SymbolGridRows8Bit;
}

char32_t SymbolGridCode(int row, int column) noexcept
{
    return char32_t(row * SymbolGridColumns + column + SymbolGridFirstCode);
}

bool SymbolCodeInsertable(char32_t code) noexcept
{
    return code >= char32_t(SymbolGridFirstCode) && code <= 0xFFFF;
}

char16_t SymbolDocumentChar(std::string_view fontName, std::uint8_t charset, char32_t code)
{
    if (!SymbolCodeInsertable(code))
        return 0;
    if (charset == SymbolUnicodeCharset || charset == SYMBOL_CHARSET || SymbolFontOf(fontName) != sfNone || code > 0xFF)
        return char16_t(code);
    const int codePage = CodePageOfCharset(charset, SystemAnsiCodePage);
    if (codePage == 0)
        return char16_t(code);
    const char byte = char(code);
    const std::u16string text = AnsiToUnicode(std::string_view(&byte, 1), codePage);
    return text.size() == 1 ? text[0] : char16_t(0);
}

char32_t SymbolShownChar(std::string_view fontName, char16_t documentChar) noexcept
{
    const TSymbolFont font = SymbolFontOf(fontName);
    if (font == sfNone)
        return documentChar;
    if (const char32_t mapped = SymbolToUnicode(font, documentChar))
        return mapped;
    return documentChar >= 0xF020 && documentChar <= 0xF0FF ? char32_t(documentChar - 0xF000) : char32_t(documentChar);
}

int SymbolTextStyle(TRVStyle& sheet, int styleNo, const std::string& fontName, std::uint8_t charset)
{
    const TFontInfos& styles = sheet.TextStyles;
    const int base = styles.IsValidIndex(styleNo) ? styleNo : 0;
    TFontInfo copy;
    copy.CopyStyle(styles.StyleAt(base));
    copy.FontName = fontName;
    copy.Charset = charset;
    copy.Unicode = true;
    copy.Protection.Include(rvprDoNotAutoSwitch);
    copy.Standard = false;
    return FindOrAddTextStyle(sheet, base, copy);
}

} // namespace xq

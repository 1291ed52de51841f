// The characters of a text item as UTF-16.
#include "editing/ItemChars.h"

#include "document/ItemText.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "platform/CodePage.h"

namespace xq {

TItemChars ItemCharsOf(const TRVStyle& sheet, const TCustomRVData& data, int itemNo)
{
    TItemChars chars;
    const TRVItemText text = TRVItemText::Of(data, itemNo);
    const int base = data.OffsetBefore(itemNo);
    chars.Base = base;
    if (text.Unicode()) {
        chars.Text = Utf16FromBytes(text.Bytes());
        return chars;
    }
    const int style = data.ItemAt(itemNo).StyleNo;
    const int codePage = style >= 0 && style < sheet.TextStyles.Count()
                             ? CodePageOfCharset(sheet.TextStyles[style].Charset, SystemAnsiCodePage)
                             : SystemAnsiCodePage;
    const std::string_view bytes = text.Bytes();
    chars.Text = AnsiToUnicode(bytes, codePage);
    if (chars.Text.size() != bytes.size()) {
        // A double-byte code page: character by character.
        chars.Text.clear();
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t width =
                IsLeadByte(codePage, static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
            const std::u16string unit = AnsiToUnicode(bytes.substr(i, width), codePage);
            for (const char16_t u : unit) {
                chars.Text.push_back(u);
                chars.Offsets.push_back(base + int(i));
            }
            i += width;
        }
        chars.Offsets.push_back(base + int(bytes.size()));
    }
    return chars;
}

std::u16string DelimitersUtf16(const std::string& delimiters)
{
    return AnsiToUnicode(delimiters, 1252);
}

} // namespace xq

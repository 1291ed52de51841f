// Strings as JSON.
#include "formats/JsonWriter.h"

#include "platform/CodePage.h"

namespace xq {

void AppendJsonString(std::string& out, std::string_view utf8)
{
    const std::string clean = Utf16ToUtf8(Utf8ToUtf16(utf8));
    out += '"';
    for (const char ch : clean) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out += Hex[c >> 4];
            out += Hex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    out += '"';
}

} // namespace xq

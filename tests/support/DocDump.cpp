#include "support/DocDump.h"

#include "platform/CodePage.h"

namespace xq::test {

std::string DocDump(const TCustomRVData& data)
{
    std::string out;
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (i > 0)
            out += ' ';
        if (item.Checkpoint())
            out += "@" + item.Checkpoint()->Name + " ";
        if (item.NewLine())
            out += "/";
        else if (!item.ContinuesPara())
            out += "[p" + std::to_string(item.ParaNo) + (item.NewPageBefore() ? "^]" : "]");
        else if (i > 0 && item.ParaNo != data.ItemAt(i - 1).ParaNo)
            out += "!p" + std::to_string(item.ParaNo); // a paragraph with mixed numbers
        if (item.IsText()) {
            out += '"';
            out += item.IsUnicode() ? Utf16ToUtf8(Utf16FromBytes(data.TextAt(i))) : data.TextAt(i);
            out += '"';
            if (item.StyleNo != 0)
                out += item.StyleNo == rvsDefStyle ? "sD" : "s" + std::to_string(item.StyleNo);
            if (item.IsUnicode())
                out += 'u';
        } else {
            out += "<" + std::to_string(item.StyleNo) + ">";
        }
        if (!item.Tag.empty())
            out += "{" + item.Tag.str() + "}";
    }
    return out;
}

} // namespace xq::test

// Display text of text items.
#include "layout/DisplayText.h"

namespace xq {

char16_t UpperCaseOf(char16_t c) noexcept
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? char16_t(c - 0x20) : c;
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7)
        return char16_t(c - 0x20);
    if (c == 0x00FF)
        return 0x0178;
    if (c == 0x0131 || c == 0x017F) // dotless i, long s
        return c == 0x0131 ? u'I' : u'S';
    // Latin Extended-A: capital and small letters alternate, starting on an even code in two
    // blocks and on an odd code in the two others.
    if ((c >= 0x0100 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177))
        return (c & 1) ? char16_t(c - 1) : c;
    if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E))
        return (c & 1) ? c : char16_t(c - 1);
    if (c >= 0x03B1 && c <= 0x03C9)
        return c == 0x03C2 ? char16_t(0x03A3) : char16_t(c - 0x20);
    if (c >= 0x0430 && c <= 0x044F)
        return char16_t(c - 0x20);
    if (c >= 0x0450 && c <= 0x045F)
        return char16_t(c - 0x50);
    return c;
}

std::u16string DisplayText(std::u16string_view text, bool allCaps, TSoftHyphenDisplay softHyphens)
{
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c == SoftHyphen)
            c = softHyphens == TSoftHyphenDisplay::Mark ? SoftHyphenMark : ZeroWidthSpace;
        else if (allCaps)
            c = UpperCaseOf(c);
    }
    return out;
}

} // namespace xq

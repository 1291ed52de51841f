#include "platform/TextCase.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

#include "platform/Unicode.h"

namespace xq {

namespace {

/// The C library's Unicode case tables, whatever locale the program runs in.
locale_t UnicodeLocale() noexcept
{
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", locale_t(nullptr));
    }();
    return locale;
}

char32_t Upper(char32_t c) noexcept
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    const locale_t locale = UnicodeLocale();
    return locale ? char32_t(towupper_l(wint_t(c), locale)) : c;
}

} // namespace

std::u16string UpperCaseUtf16(std::u16string_view text)
{
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char16_t u = out[i];
        if (IsHighSurrogate(u) && i + 1 < out.size() && IsLowSurrogate(out[i + 1])) {
            const char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(out[i + 1]) - 0xDC00);
            const char32_t up = Upper(c);
            // Only a character of the same width is taken.
            if (up >= 0x10000 && up <= 0x10FFFF) {
                out[i] = char16_t(0xD800 + ((up - 0x10000) >> 10));
                out[i + 1] = char16_t(0xDC00 + ((up - 0x10000) & 0x3FF));
            }
            ++i;
            continue;
        }
        if (IsHighSurrogate(u) || IsLowSurrogate(u))
            continue;
        const char32_t up = Upper(u);
        if (up < 0x10000 && !(up >= 0xD800 && up <= 0xDFFF))
            out[i] = char16_t(up);
    }
    return out;
}

} // namespace xq

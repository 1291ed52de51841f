// Font names compared as the system compares them.
#include "platform/FontTypes.h"

namespace xq {

namespace {

// Folds one UTF-8 code point starting at s[i] to a lower-case code point (ASCII and Latin-1).
char32_t NextFolded(const std::string& s, std::size_t& i) noexcept
{
    auto c = static_cast<unsigned char>(s[i++]);
    char32_t cp = c;
    if (c >= 0xC0 && c < 0xE0 && i < s.size()) {
        cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i]) & 0x3Fu);
        ++i;
    }
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
        cp += 0x20;
    return cp;
}

} // namespace

bool SameFontName(const std::string& a, const std::string& b) noexcept
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (NextFolded(a, i) != NextFolded(b, j))
            return false;
    return i == a.size() && j == b.size();
}

} // namespace xq

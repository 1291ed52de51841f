// Clusters of UTF-16 text: a character with the combining marks that follow it.
#include "platform/Unicode.h"

namespace xq {

namespace {

/// The code point at index and how many units it takes (2 for a surrogate pair, 1 otherwise).
[[nodiscard]] char32_t CodeAt(std::u16string_view text, std::size_t index, std::size_t& units) noexcept
{
    if (index + 1 < text.size() && IsHighSurrogate(text[index]) && IsLowSurrogate(text[index + 1])) {
        units = 2;
        return CodePointOf(text[index], text[index + 1]);
    }
    units = 1;
    return text[index];
}

} // namespace

std::size_t ClusterEnd(std::u16string_view text, std::size_t index) noexcept
{
    if (index >= text.size())
        return text.size();
    std::size_t units = 0;
    const char32_t code = CodeAt(text, index, units);
    std::size_t end = index + units;
    if (IsSurrogate(code) || IsCombiningMark(code))
        return end;
    while (end < text.size() && IsCombiningMark(CodeAt(text, end, units)))
        end += units;
    return end;
}

} // namespace xq

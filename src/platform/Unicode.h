// The character classes text handling needs below the document: UTF-16 surrogates and combining
// marks.
#pragma once

#include <cstddef>
#include <string_view>

namespace xq {

[[nodiscard]] constexpr bool IsHighSurrogate(char32_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
[[nodiscard]] constexpr bool IsLowSurrogate(char32_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }
[[nodiscard]] constexpr bool IsSurrogate(char32_t c) noexcept { return c >= 0xD800 && c <= 0xDFFF; }
/// The code point of a surrogate pair.
[[nodiscard]] constexpr char32_t CodePointOf(char16_t high, char16_t low) noexcept
{
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

namespace detail {
/// The table of combining marks (CombiningMarks.cpp, generated); its first mark is U+0300.
[[nodiscard]] bool IsListedCombiningMark(char32_t c) noexcept;
} // namespace detail

/// A combining mark (general category Mn or Me, and the unassigned rest of the combining
/// diacritical blocks): drawn on the character before it, with no advance of its own.
[[nodiscard]] inline bool IsCombiningMark(char32_t c) noexcept
{
    return c >= 0x0300 && detail::IsListedCombiningMark(c); // Latin text asks the table nothing
}

/// Where the cluster that starts at index ends (one past its last unit): the character there (a
/// unit, or a surrogate pair) and the combining marks that follow it. A mark or a lone surrogate
/// at index is a cluster of its own and takes no marks.
[[nodiscard]] std::size_t ClusterEnd(std::u16string_view text, std::size_t index) noexcept;

} // namespace xq

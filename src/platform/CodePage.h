// Code pages: charset to code page, 8-bit text to UTF-16 and back, UTF-16LE byte strings and UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xq {

// Code page numbers as documents store them. 0, 1 and 2 stand for the system's ANSI, OEM and Mac code
// pages; every other number is a real code page (1250, 1252, 932, ...).
inline constexpr int SystemAnsiCodePage = 1252;
inline constexpr int SystemOemCodePage = 850;
inline constexpr int SystemMacCodePage = 10000;
inline constexpr int Utf8CodePage = 65001;

// The code page of a font charset; DEFAULT_CHARSET (1) gives defCodePage. Unknown charsets give 0.
[[nodiscard]] int CodePageOfCharset(int charset, int defCodePage) noexcept;

// Replaces the placeholders 0, 1 and 2 by the real code page; other numbers are returned as they are.
[[nodiscard]] int ResolveCodePage(int codePage) noexcept;

// True when text in this code page can be converted (without falling back to the ANSI code page).
[[nodiscard]] bool IsCodePageSupported(int codePage);

// True when the byte starts a two-byte character in this code page (always false for single-byte pages).
[[nodiscard]] bool IsLeadByte(int codePage, unsigned char byte) noexcept;

// 8-bit text to UTF-16. An unsupported code page is replaced by the ANSI code page; bytes that do not
// form a character of a multi-byte code page become '?', one per byte.
[[nodiscard]] std::u16string AnsiToUnicode(std::string_view bytes, int codePage);

// UTF-16 to 8-bit text. A letter followed by combining marks is written precomposed when the code page
// has the composed character; marks the code page cannot take are dropped; any other character without
// an exact mapping becomes '?' (a surrogate pair gives one '?'). An unsupported code page is replaced by
// the ANSI code page.
[[nodiscard]] std::string UnicodeToAnsi(std::u16string_view text, int codePage);

// The forms used by items that keep Unicode text as UTF-16LE bytes. The functions taking UTF-16LE bytes
// throw EDocViewError(errUnicodeOperation) for an odd number of bytes.
[[nodiscard]] std::u16string Utf16FromBytes(std::string_view utf16le);
[[nodiscard]] std::string BytesFromUtf16(std::u16string_view text);
[[nodiscard]] std::string AnsiToUnicodeBytes(std::string_view bytes, int codePage);
[[nodiscard]] std::string UnicodeBytesToAnsi(std::string_view utf16le, int codePage);

// UTF-8 for file names and text dumps. Lone surrogates and invalid UTF-8 sequences become U+FFFD.
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view text);
[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view text);

namespace detail {

// The generated tables (CodePageTables.cpp).

struct ByteMapping {
    char16_t ch;
    unsigned char byte;
};

struct SingleBytePage {
    int codePage;
    const char16_t* toUnicode;       // 256 entries
    const ByteMapping* fromUnicode;  // the upper half, sorted by character
    std::size_t fromUnicodeCount;
};

// base + mark -> composed, sorted by (base, mark).
struct Composition {
    char16_t base;
    char16_t mark;
    char16_t composed;
};

struct CharRange {
    char16_t first;
    char16_t last;
};

extern const SingleBytePage SingleBytePages[];
extern const std::size_t SingleBytePageCount;
extern const Composition* const Compositions;
extern const std::size_t CompositionCount;
extern const CharRange* const NonSpacingMarks;  // sorted, disjoint
extern const std::size_t NonSpacingMarkCount;

} // namespace detail

} // namespace xq

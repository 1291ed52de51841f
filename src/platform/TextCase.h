// Upper-casing of UTF-16 text for case-blind comparison, independent of the process locale: one
// character becomes one character (a character whose upper case would need more, like the sharp
// s, stays as it is), so that positions in the text stay where they were.
#pragma once

#include <string>
#include <string_view>

namespace xq {

/// text with every character upper-cased; the result has the length of text.
[[nodiscard]] std::u16string UpperCaseUtf16(std::u16string_view text);

} // namespace xq

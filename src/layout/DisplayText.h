// The text a text item shows: capitals for all-caps styles, soft hyphens as invisible break
// points or as marks.
#pragma once

#include <string>
#include <string_view>

namespace xq {

inline constexpr char16_t SoftHyphen = 0x00AD;
inline constexpr char16_t ZeroWidthSpace = 0x200B;
inline constexpr char16_t SoftHyphenMark = 0x00AC; ///< "¬", shown with the special characters

/// The capital of a letter of the Latin, Greek and Cyrillic alphabets; other characters (and
/// ß, which has no single capital) stay as they are.
[[nodiscard]] char16_t UpperCaseOf(char16_t c) noexcept;

enum class TSoftHyphenDisplay { Hidden, Mark };

/// The display text of Unicode item text: upper-cased for all-caps styles; each soft hyphen
/// becomes a zero-width space (hidden) or the "¬" mark.
[[nodiscard]] std::u16string DisplayText(std::u16string_view text, bool allCaps, TSoftHyphenDisplay softHyphens);

} // namespace xq

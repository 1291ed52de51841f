// Line-breaking classes of UTF-16 text and the search for the place where a wrapped line ends.
#pragma once

#include <cstdint>
#include <string_view>

namespace xq {

/// The line-breaking classes of Unicode Standard Annex #14 that the pair table knows, in table
/// order. Classes of the annex that are missing here are folded into the nearest one (closing
/// parentheses CL, word joiners GL, zero-width joiner CM, hangul syllables and jamo ID, small
/// kana NS); everything else, the space U+0020 included, is AL.
enum TRVLineBreakClass : std::uint8_t {
    lbOP, lbCL, lbQU, lbGL, lbNS, lbEX, lbSY, lbIS, lbPR, lbPO,
    lbNU, lbAL, lbID, lbIN, lbHY, lbBA, lbBB, lbB2, lbZW, lbCM
};

inline constexpr int LineBreakClassCount = 20;

/// What the pair table says about a break between a character of one class and a following
/// character of another.
enum TRVLineBreakPair : std::uint8_t {
    lbpAllowed = 0,    ///< the line may end between them
    lbpWithSpace = 1,  ///< only when at least one space stands between them
    lbpForbidden = 2   ///< never, spaces or not
};

/// The line-breaking class of one UTF-16 unit (surrogates are AL, so a pair is never split).
[[nodiscard]] TRVLineBreakClass LineBreakClassOf(char16_t unit) noexcept;

/// The pair table entry for a break after a character of class before and ahead of one of class after.
[[nodiscard]] TRVLineBreakPair LineBreakPairOf(TRVLineBreakClass before, TRVLineBreakClass after) noexcept;

/// Where a line of UTF-16 text that does not fit may end, by the pair table.
///
/// firstNonFitting is the index of the first unit that no longer fits on the line. The search
/// goes backwards: each non-space character (starting at firstNonFitting, or one earlier when
/// that is a space) is paired with the nearest non-space character before it; the spaces between
/// them count for the "with space" entries. The first allowed pair gives the result.
///
/// Returns the index of the first unit of the next line, in 1..firstNonFitting: the units before
/// it stay on this line, and any spaces directly before it are the ones the trim rule drops.
/// Returns -1 when no break is allowed (or firstNonFitting is not an index into text); the caller
/// then decides whether to break at a space in the first non-fitting position, move the text to
/// a new line or cut it at the fit.
[[nodiscard]] int FindUnicodeBreak(std::u16string_view text, int firstNonFitting) noexcept;

/// Where a line of 8-bit text that does not fit may end: only after a space (code 32), the last
/// one among the units 0..firstNonFitting (the first non-fitting one included).
///
/// Returns the index of the first unit of the next line, in 1..firstNonFitting + 1, so the space
/// itself ends this line (and the trim rule drops it). Returns -1 when no space is there (or
/// firstNonFitting is not an index into text).
[[nodiscard]] int FindAnsiBreak(std::string_view text, int firstNonFitting) noexcept;

} // namespace xq

// Keeping the live-spelling marks of a text item in place while its text changes: the marks of
// untouched words move with the text, the marks of touched words go (the word is checked again).
#pragma once

#include <string_view>
#include <vector>

#include "document/ItemInfo.h"

namespace xq {

/// An apostrophe as words use it: code 39, or the right single quote (146 in 8-bit text, U+2019).
[[nodiscard]] constexpr bool IsWordApostrophe(char16_t c, bool unicode) noexcept
{
    return c == u'\'' || (unicode ? c == u'\u2019' : c == 146);
}

/// One character typed at position (1-based index of the new character). delimiter: it ends words;
/// afterApostrophe: the character before it is an apostrophe. A mark of the word the character
/// touches goes; marks after it move one character right. True when a mark went.
bool ShiftMarksForTyped(std::vector<TRVMisspelling>& marks, int position, bool delimiter, bool afterApostrophe);
/// count characters inserted at position (the first new one's index): marks of the word they touch
/// (the insertion lies inside it or at one of its ends) go, marks after it move right.
bool ShiftMarksForInserted(std::vector<TRVMisspelling>& marks, int position, int count);
/// count characters deleted from position on: marks of words the deletion touches (or whose
/// neighbouring delimiter it takes, so that they may join another word) go, marks after it move left.
bool ShiftMarksForDeleted(std::vector<TRVMisspelling>& marks, int position, int count);

/// The item's text changed: its checked flag goes, so that live spelling reads it again. The marks
/// keep their places through the Shift functions above.
void ClearCheckedFlag(TCustomRVItemInfo& item) noexcept;
/// Drops the item's marks when none are left.
void TidyMarks(TCustomRVItemInfo& item);

} // namespace xq

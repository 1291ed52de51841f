// Moving and dropping live-spelling marks as an item's text changes.
#include "editing/MisspellingMarks.h"

namespace xq {

bool ShiftMarksForTyped(std::vector<TRVMisspelling>& marks, int position, bool delimiter, bool afterApostrophe)
{
    // A letter right after a word (or right before it) joins it; a delimiter there leaves it whole.
    // After an apostrophe the word may go on over it, so a mark ending before the apostrophe goes too.
    const int d = delimiter ? 1 : 0;
    const int b = delimiter ? 0 : afterApostrophe ? 2 : 1;
    bool removed = false;
    for (auto i = marks.size(); i-- > 0;) {
        TRVMisspelling& m = marks[i];
        if (position >= m.Start + m.Length + b)
            continue;
        if (m.Start < position + (1 - d)) {
            marks.erase(marks.begin() + std::ptrdiff_t(i));
            removed = true;
        } else {
            ++m.Start;
        }
    }
    return removed;
}

bool ShiftMarksForInserted(std::vector<TRVMisspelling>& marks, int position, int count)
{
    bool removed = false;
    for (auto i = marks.size(); i-- > 0;) {
        TRVMisspelling& m = marks[i];
        if (position > m.Start + m.Length)
            continue;
        if (position >= m.Start) {
            marks.erase(marks.begin() + std::ptrdiff_t(i));
            removed = true;
        } else {
            m.Start += count;
        }
    }
    return removed;
}

bool ShiftMarksForDeleted(std::vector<TRVMisspelling>& marks, int position, int count)
{
    const int last = position + count - 1;
    bool removed = false;
    for (auto i = marks.size(); i-- > 0;) {
        TRVMisspelling& m = marks[i];
        if (position > m.Start + m.Length)
            continue;
        // Entirely before the delimiter in front of the word: the word stays as it is.
        if (last < m.Start - 1) {
            m.Start -= count;
        } else {
            marks.erase(marks.begin() + std::ptrdiff_t(i));
            removed = true;
        }
    }
    return removed;
}

void ClearCheckedFlag(TCustomRVItemInfo& item) noexcept
{
    item.State &= std::uint8_t(~1u);
}

void TidyMarks(TCustomRVItemInfo& item)
{
    if (item.Misspellings && item.Misspellings->empty())
        item.Misspellings.reset();
}

} // namespace xq

// The touched range of an edit and its one layout afterwards.
#include "editing/TouchedRange.h"

#include <algorithm>

#include "editing/EditRVData.h"
#include "lists/ListItems.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Watching the changes

void TRVTouchedRange::ItemsInserting(int index, int count)
{
    if (Data_.Count() == 0) {
        // Into an empty document: everything is new.
        if (!Changed_)
            Begin();
        NeedsLayout_ = true;
        HasRange_ = true;
        Head_ = Tail_ = LayoutHead_ = LayoutTail_ = 0;
        return;
    }
    // The new items go between item index - 1 and item index: into the paragraph of either.
    Touch(std::max(index - 1, 0), std::min(index, Data_.Count() - 1), false, true);
}

void TRVTouchedRange::ItemsRemoving(int first, int count)
{
    const int last = first + count - 1;
    // Without its first item the rest of a paragraph continues the one before.
    const bool joins =
        first > 0 && Data_.StartsParagraph(first) && last + 1 < Data_.Count() && !Data_.StartsParagraph(last + 1);
    Touch(joins ? first - 1 : first, last, false, true);
}

void TRVTouchedRange::ItemsChanging(int first, int last, TRVItemChange change)
{
    Touch(first, last, change == TRVItemChange::ParagraphFlags, change != TRVItemChange::Data);
}

void TRVTouchedRange::Begin()
{
    Changed_ = true;
    CountBefore_ = Data_.Count();
    MarkerCount_ = Data_.Markers().size();
    Whole_ = !Data_.Formatted() || CountBefore_ == 0 || Data_.DrawItems().Count() == 0;
}

void TRVTouchedRange::TouchAll()
{
    if (!Changed_)
        Begin();
    NeedsLayout_ = Whole_ = HasRange_ = true;
    Head_ = Tail_ = LayoutHead_ = LayoutTail_ = 0;
}

void TRVTouchedRange::Touch(int first, int last, bool neighbours, bool shown)
{
    if (!Changed_)
        Begin();
    NeedsLayout_ = NeedsLayout_ || shown;
    const int count = Data_.Count();
    if (count == 0)
        return;
    first = std::clamp(first, 0, count - 1);
    last = std::clamp(last, first, count - 1);
    // Typing and most other changes stay inside the paragraphs touched first.
    if (HasRange_ && !neighbours && first >= Head_ && last < count - Tail_)
        return;
    int a = Data_.ParagraphFirstItem(first);
    int b = Data_.ParagraphLastItem(last);
    if (neighbours) {
        if (a > 0)
            a = Data_.ParagraphFirstItem(a - 1);
        if (b + 1 < count)
            b = Data_.ParagraphLastItem(b + 1);
    }
    Widen(a, b);
}

void TRVTouchedRange::Widen(int a, int b)
{
    const int count = Data_.Count();
    const int head = HasRange_ ? std::min(Head_, a) : a;
    const int tail = HasRange_ ? std::min(Tail_, count - 1 - b) : count - 1 - b;
    if (HasRange_ && head == Head_ && tail == Tail_)
        return;
    Head_ = head;
    Tail_ = tail;
    // The paragraph before and the one after are laid out with the touched ones. Both lie among
    // the untouched items, which are numbered as before the edit at the head and counted from the
    // end at the tail.
    const int layoutHead = Head_ > 0 ? Data_.ParagraphFirstItem(Head_ - 1) : 0;
    const int after = count - Tail_;
    const int layoutLast = after < count ? Data_.ParagraphLastItem(after) : count - 1;
    const int layoutTail = count - 1 - layoutLast;
    if (!HasRange_) {
        NoteEntering(layoutHead, layoutLast);
    } else {
        if (layoutHead < LayoutHead_)
            NoteEntering(layoutHead, LayoutHead_ - 1);
        if (layoutTail < LayoutTail_)
            NoteEntering(count - LayoutTail_, layoutLast);
    }
    LayoutHead_ = HasRange_ ? std::min(LayoutHead_, layoutHead) : layoutHead;
    LayoutTail_ = HasRange_ ? std::min(LayoutTail_, layoutTail) : layoutTail;
    HasRange_ = true;
}

void TRVTouchedRange::NoteEntering(int from, int to)
{
    if (Whole_ || from > to)
        return;
    // Only a change that touches a list marker (or brings new ones) can renumber the others. A
    // marker renumbered before its paragraph joins the range no longer shows the width it had:
    // as one renumbered outside the range, it has the whole document laid out.
    for (int i = from; i <= to; ++i) {
        if (!Data_.ItemAt(i).IsListMarker())
            continue;
        if (!MarkersNoted_) {
            NoteMarkerTexts();
            continue;
        }
        const auto* marker = static_cast<const TRVMarkerItemInfo*>(&Data_.ItemAt(i));
        if (const auto before = MarkerTexts_.find(marker);
            before != MarkerTexts_.end() && before->second != marker->DisplayText) {
            Whole_ = true;
            return;
        }
    }
    OldMinWidth_ = std::max(OldMinWidth_, Data_.GetMinTextAreaWidth(from, false, to));
}

void TRVTouchedRange::NoteMarkerTexts()
{
    MarkersNoted_ = true;
    if (Data_.Markers().size() != MarkerCount_) {
        MarkersMoved_ = true;
        return;
    }
    for (const TRVMarkerItemInfo* marker : Data_.Markers())
        MarkerTexts_.emplace(marker, marker->DisplayText);
}

TRVDocumentChange TRVTouchedRange::Change() const noexcept
{
    if (!HasRange_)
        return {};
    return {Head_, CountBefore_ - Head_ - Tail_, Data_.Count() - Head_ - Tail_};
}

// ---------------------------------------------------------------------------------------------
// Laying out

bool TRVTouchedRange::MarkersRenumberedOutside() const
{
    if (!MarkersNoted_)
        return Data_.Markers().size() != MarkerCount_; // markers came with the change
    if (MarkersMoved_)
        return true;
    const int lastLaidOut = Data_.Count() - 1 - LayoutTail_;
    for (const TRVMarkerItemInfo* marker : Data_.Markers()) {
        // A marker that came with the change lies among the items laid out.
        const auto before = MarkerTexts_.find(marker);
        if (before == MarkerTexts_.end() || before->second == marker->DisplayText)
            continue;
        const int itemNo = Data_.IndexOf(marker);
        if (itemNo < LayoutHead_ || itemNo > lastLaidOut)
            return true;
    }
    return false;
}

int TRVTouchedRange::FirstDrawItemOf(int oldItemNo) const
{
    // Draw items follow their items in document order.
    const TRVDrawLines& lines = Data_.DrawItems();
    int low = 0, high = lines.Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (lines[middle].ItemNo < oldItemNo)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void TRVTouchedRange::LayOut()
{
    if (!NeedsLayout_)
        return;
    const int count = Data_.Count();
    bool whole = Whole_ || count == 0 || MarkersRenumberedOutside();
    // The old draw items of the layout range: the layout still shows the document before the edit.
    int first = -1, last = -1;
    if (!whole) {
        first = LayoutHead_ == 0 ? 0 : Data_.FirstLinePiece(LayoutHead_);
        last = (LayoutTail_ == 0 ? Data_.DrawItems().Count() : FirstDrawItemOf(CountBefore_ - LayoutTail_)) - 1;
        whole = first < 0 || last < first;
    }
    if (!whole) {
        // A paragraph that does not wrap (or an object) that now needs more room than the text
        // width, or no longer needs the room it took, changes the width of every line.
        const int from = std::min(LayoutHead_, count - 1);
        const int to = std::clamp(count - 1 - LayoutTail_, from, count - 1);
        whole = !Data_.TextAreaWidthHolds(OldMinWidth_, Data_.GetMinTextAreaWidth(from, false, to));
    }
    if (whole)
        Data_.FormatAll(true, true);
    else
        Data_.ReformatRange(first, last, count - CountBefore_);
}

} // namespace xq

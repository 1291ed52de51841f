// Applying text styles to the selection: a given style, or the one the application's conversion
// handler answers for each old style. Text items are cut at the selection's ends so that only the
// selected characters change, and merged with their neighbours afterwards where the merge rule
// allows. The selection stays on the same text, which is how the style and list operations end.
#include <map>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"
#include "lists/ListItems.h"

namespace xq {

namespace {

/// Where p is after text item itemNo was cut at offset (its right part is now item itemNo + 1).
/// A position at the cut stays at the end of the left part when keepLeft, else it goes to the
/// start of the right part.
void FollowSplit(TRVDocPos& p, int itemNo, int offset, bool keepLeft)
{
    if (p.ItemNo > itemNo)
        ++p.ItemNo;
    else if (p.ItemNo == itemNo && (p.Offset > offset || (!keepLeft && p.Offset == offset)))
        p = {itemNo + 1, p.Offset - offset + 1};
}

/// Where p is after item itemNo + 1 was merged into item itemNo, which held length characters
/// (an empty first item is dropped and the second takes its place, which length 0 covers too).
void FollowMerge(TRVDocPos& p, int itemNo, int length)
{
    if (p.ItemNo == itemNo + 1)
        p = {itemNo, p.Offset + length};
    else if (p.ItemNo > itemNo + 1)
        --p.ItemNo;
}

/// The conversion handler's answers, asked once per old style.
class TAnswers {
public:
    explicit TAnswers(const std::function<int(int, bool)>& answer) : Answer_(answer) {}
    int operator()(int styleNo)
    {
        auto it = Cache_.find(styleNo);
        if (it == Cache_.end())
            it = Cache_.emplace(styleNo, Answer_(styleNo, true)).first;
        return it->second;
    }

private:
    const std::function<int(int, bool)>& Answer_;
    std::map<int, int> Cache_;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// The selection kept over a change

TCustomDocViewEdit::TEditSelection TCustomDocViewEdit::EditSelection() const
{
    TEditSelection s;
    if (Data_.GetOrderedSelectionDoc(s.First, s.Last)) {
        s.Exists = true;
        s.Backward = Data_.SelectionEnd() < Data_.SelectionAnchor();
    } else {
        s.First = s.Last = Data_.CaretDocPos();
        s.CaretBoundary = Data_.SavePositions().CaretBoundary;
    }
    s.First = TextPosOf(s.First);
    s.Last = TextPosOf(s.Last);
    return s;
}

void TCustomDocViewEdit::CommitKeepingSelection(TRVEditStep& step, const TEditSelection& selection)
{
    if (!selection.Exists)
        return step.Commit(selection.First, selection.CaretBoundary);
    const TRVDocPos moving = selection.Backward ? selection.First : selection.Last;
    const TRVDocPos anchor = selection.Backward ? selection.Last : selection.First;
    step.CommitSelection(anchor, moving, selection.Backward ? TRVLineBoundary::LineStart : TRVLineBoundary::LineEnd);
}

// ---------------------------------------------------------------------------------------------
// Text styles

void TCustomDocViewEdit::SetTextStyleOfSelection(int styleNo)
{
    if (CellEditor_) {
        CellEditor_->SetTextStyleOfSelection(styleNo);
        return;
    }
    if (!ValidTextStyle(styleNo))
        return;
    ApplyTextStyles([styleNo](int, bool) { return styleNo; }, true);
}

void TCustomDocViewEdit::ConvertTextStyles(int userData)
{
    if (CellEditor_) {
        CellEditor_->ConvertTextStyles(userData);
        return;
    }
    if (!OnStyleConversion)
        return;
    ApplyTextStyles(
        [this, userData](int styleNo, bool appliedToText) {
            int newStyleNo = styleNo;
            OnStyleConversion(*this, styleNo, userData, appliedToText, newStyleNo);
            return newStyleNo;
        },
        false);
}

void TCustomDocViewEdit::ConvertCurrentTextStyle(const TStyleAnswer& answer)
{
    const int to = answer(CurrentTextStyle(), false);
    if (!ValidTextStyle(to))
        return;
    TEditSelection sel = EditSelection();
    const int itemNo = sel.First.ItemNo;
    if (IsEmptyText(itemNo) && Data_.ActualStyleOf(itemNo) != to) {
        // The empty item at the caret is what typing fills next: it takes the style as well.
        if (!AskCanEdit()) {
            Beep();
            return;
        }
        TRVEditStep step(*this, rvutStyleNo);
        RecConvertTextItem(itemNo, to, sel.First, sel.Last);
        CommitKeepingSelection(step, sel);
    }
    SetCurrentTextStyle(to);
}

void TCustomDocViewEdit::ApplyTextStyles(const TStyleAnswer& answer, bool keepProtected)
{
    if (!Data_.Formatted() || !Data_.CaretValid())
        return;
    TEditSelection sel = EditSelection();
    if (!sel.Exists) {
        ConvertCurrentTextStyle(answer);
        return;
    }
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    TAnswers answers(answer);
    const std::function<int(int)> newStyleFor = [&](int old) {
        const int to = answers(old);
        return ValidTextStyle(to) ? to : old;
    };
    const int firstItem = sel.First.ItemNo;
    const int lastItem = sel.Last.ItemNo;
    const int countBefore = Data_.Count();
    TRVEditStep step(*this, rvutStyleNo);
    bool changed = false;
    // From the last item back, so that cutting an item never moves the ones still to come.
    const TEditSelection range = sel;
    for (int i = lastItem; i >= firstItem; --i)
        changed = RecRestyleItem(i, range, newStyleFor, keepProtected, sel) || changed;
    if (!changed)
        return;
    RecMergeRestyled(firstItem, lastItem + (Data_.Count() - countBefore), sel);
    CommitKeepingSelection(step, sel);
}

bool TCustomDocViewEdit::RecRestyleItem(int itemNo, const TEditSelection& range,
                                        const std::function<int(int)>& newStyleFor, bool keepProtected,
                                        TEditSelection& sel)
{
    const TRVDocPos first = range.First, last = range.Last;
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (!item.IsText()) {
        // Tabs and labels in the selection carry the style too.
        const bool selected = (itemNo > first.ItemNo || first.Offset == 0) && (itemNo < last.ItemNo || last.Offset == 1);
        int carried = 0;
        if (!selected || !GetAssociatedTextStyleNo(item, carried) || !ValidTextStyle(carried))
            return false;
        if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item); label && label->ProtectTextStyleNo)
            return false;
        if (keepProtected && TextStyleHas(carried, rvprStyleProtect))
            return false;
        const int to = newStyleFor(carried);
        if (to == carried)
            return false;
        RecSetAssociatedTextStyle(itemNo, to);
        return true;
    }
    const int length = Data_.ItemLength(itemNo);
    const int from = itemNo == first.ItemNo ? first.Offset : 1;
    const int upto = itemNo == last.ItemNo ? last.Offset : length + 1;
    // An empty item counts as selected when the selection goes on past it.
    if (length == 0 ? itemNo == last.ItemNo : from >= upto)
        return false;
    const int old = Data_.ActualStyleOf(itemNo);
    if (keepProtected && TextStyleHas(old, rvprStyleProtect))
        return false;
    const int to = newStyleFor(old);
    if (to == old)
        return false;
    int target = itemNo;
    if (length > 0 && !TextStyleHas(old, rvprStyleSplitProtect)) {
        if (upto <= length) {
            RecSplitText(itemNo, upto);
            FollowSplit(sel.First, itemNo, upto, false);
            FollowSplit(sel.Last, itemNo, upto, true);
        }
        if (from > 1) {
            RecSplitText(itemNo, from);
            FollowSplit(sel.First, itemNo, from, false);
            FollowSplit(sel.Last, itemNo, from, true);
            target = itemNo + 1;
        }
    }
    RecConvertTextItem(target, to, sel.First, sel.Last);
    return true;
}

void TCustomDocViewEdit::RecMergeRestyled(int firstItem, int lastItem, TEditSelection& sel)
{
    // Neighbours of the same style join again, the items beside the selection included.
    const int high = std::min(Data_.Count() - 1, lastItem + 1);
    for (int i = high - 1; i >= std::max(0, firstItem - 1); --i) {
        if (!CanMerge(i, i + 1, false))
            continue;
        const int length = Data_.ItemLength(i);
        FollowMerge(sel.First, i, length);
        FollowMerge(sel.Last, i, length);
        RecMerge(i, i + 1);
    }
}

} // namespace xq

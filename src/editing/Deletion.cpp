// Backspace and Delete without a selection. Both take characters inside a text item, or the whole
// item when that is all of it (DeleteInItem). At an item's start Backspace removes a page break,
// takes the paragraph out of its list, removes an empty item or joins the paragraph to the one
// before; at a line's end Delete removes an empty item or joins the next paragraph to this one.
#include "document/ItemText.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// What both keys share

bool TCustomDocViewEdit::StartDeletionKey(TRVDocPos& pos)
{
    if (!Data_.Formatted() || !Data_.CaretValid())
        return false;
    if (SelectionExists()) {
        DeleteSelected();
        return false;
    }
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    pos = TextPosOf(Data_.CaretDocPos());
    if (ParaReadOnly(pos.ItemNo)) {
        Beep();
        return false;
    }
    return true;
}

void TCustomDocViewEdit::DeleteInItem(int itemNo, int from, int count, TRVDocPos pos)
{
    TRVEditStep step(*this, rvutDelete);
    if (Data_.ItemAt(itemNo).IsText() && count < Data_.ItemLength(itemNo)) {
        if (StyleHas(itemNo, rvprModifyProtect))
            return step.Refuse();
        RecDeleteText(itemNo, from, count);
        return step.Commit({itemNo, from});
    }
    TRVDocPos caret = pos;
    if (!RemoveWholeItem(itemNo, caret))
        return step.Refuse();
    step.Commit(caret);
}

bool TCustomDocViewEdit::RemoveWholeItem(int itemNo, TRVDocPos& caret)
{
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const bool afterMarker = itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() && item.ContinuesPara();
    const bool startsLine = !item.ContinuesPara() || afterMarker;
    const bool alone = startsLine && (itemNo + 1 == Data_.Count() || Data_.StartsLine(itemNo + 1));
    // The empty item that replaces the only one of a line keeps its checkpoint.
    if (alone ? DeleteProtected(itemNo) : !CanRemoveItem(itemNo))
        return false;
    if (alone) {
        // The paragraph (or line) stays, with an empty text item in the current style.
        const int style = CurrentTextStyle();
        if (item.IsText()) {
            if (const int length = Data_.ItemLength(itemNo); length > 0)
                RecDeleteText(itemNo, 1, length);
            if (Data_.ActualStyleOf(itemNo) != style) {
                RecSetStyle(itemNo, style);
                RecSetTag(itemNo, {});
            }
        } else {
            std::unique_ptr<TCustomRVItemInfo> empty;
            NewTextItem(style, item.ParaNo, empty);
            empty->SetItemOptions(std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioUnicode) |
                                               (empty->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
            RecInsertItem(itemNo + 1, {}, std::move(empty));
            if (Data_.ItemAt(itemNo).Checkpoint())
                RecMoveCheckpoint(itemNo, itemNo + 1);
            RecDeleteItem(itemNo);
        }
        caret = {itemNo, 1};
        return true;
    }
    RecRemoveItem(itemNo);
    if (startsLine && !afterMarker) {
        caret = {itemNo, Data_.OffsetBefore(itemNo)};
        return true;
    }
    caret = {itemNo - 1, Data_.OffsetAfter(itemNo - 1)};
    if (itemNo < Data_.Count() && CanMerge(itemNo - 1, itemNo, false))
        RecMerge(itemNo - 1, itemNo);
    return true;
}

void TCustomDocViewEdit::RemovePageBreakAt(int head, TRVDocPos caret)
{
    TRVEditStep step(*this, rvutRemovePageBreak);
    const TCustomRVItemInfo& item = Data_.ItemAt(head);
    RecSetFlags(head, std::uint8_t(item.ItemOptions() & ~TCustomRVItemInfo::rvioNewPageBefore), item.ParaNo);
    step.Commit(caret);
}

// ---------------------------------------------------------------------------------------------
// Backspace

void TCustomDocViewEdit::DeleteBackward(bool byWord)
{
    if (CellEditor_) {
        CellEditor_->DeleteBackward(byWord);
        return;
    }
    TRVDocPos pos;
    if (!StartDeletionKey(pos))
        return;
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    // The start of an item inside a line (or of a wrapped line) is the end of the one before.
    if (offs == Data_.OffsetBefore(itemNo) && Data_.ItemAt(itemNo).ContinuesPara() &&
        !Data_.ItemAt(itemNo - 1).IsListMarker()) {
        --itemNo;
        offs = Data_.OffsetAfter(itemNo);
    }
    if (offs != Data_.OffsetBefore(itemNo)) {
        const int from = Data_.ItemAt(itemNo).IsText() ? BackspaceFrom(itemNo, offs, byWord) : offs - 1;
        return DeleteInItem(itemNo, from, offs - from, pos);
    }
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (itemNo == 0) {
        if (item.NewPageBefore())
            RemovePageBreakAt(0, {0, offs});
        return;
    }
    const bool afterMarker = Data_.ItemAt(itemNo - 1).IsListMarker();
    if (!afterMarker && (item.IsFullLine() || (Data_.ItemAt(itemNo - 1).IsFullLine() && !IsEmptyText(itemNo)))) {
        MoveCaret(TRVCaretMove::Left, TRVSelectionUpdate::Collapse);
        return;
    }
    BackspaceAtItemStart(itemNo, afterMarker, pos);
}

int TCustomDocViewEdit::BackspaceFrom(int itemNo, int offs, bool byWord) const
{
    const TRVItemText text = TRVItemText::Of(Data_, itemNo);
    int from = offs - 1;
    if (!byWord)
        return text.PairEndsAt(from - 1) ? from - 1 : from;
    // Back over the spaces, then to the start of the word (a punctuation mark goes alone).
    while (from > 1) {
        const bool here = Data_.IsDelimiterAt(itemNo, from, Delimiters);
        const bool prev = Data_.IsDelimiterAt(itemNo, from - 1, Delimiters);
        const bool space = text.UnitAt(from - 1) == u' ';
        if (!here && prev)
            break;
        if (here && !space && !prev)
            break;
        --from;
    }
    return from;
}

void TCustomDocViewEdit::BackspaceAtItemStart(int itemNo, bool afterMarker, TRVDocPos pos)
{
    const int head = afterMarker ? itemNo - 1 : itemNo;
    if (Data_.ItemAt(head).NewPageBefore())
        return RemovePageBreakAt(head, pos);
    TRVEditStep step(*this, rvutDelete);
    TRVDocPos caret = pos;
    bool done = false;
    if (afterMarker) {
        done = RecLeaveListBackward(itemNo, caret);
    } else if (IsEmptyText(itemNo)) {
        done = CanRemoveItem(itemNo);
        if (done) {
            RecRemoveItem(itemNo);
            caret = {itemNo - 1, Data_.OffsetAfter(itemNo - 1)};
        }
    } else if (!IsEmptyText(itemNo - 1)) {
        done = CanJoinAt(itemNo);
        if (done)
            caret = RecJoinAt(itemNo);
    } else {
        done = RecRemoveEmptyLineBefore(itemNo, caret);
    }
    if (!done)
        return step.Refuse();
    step.Commit(caret);
}

bool TCustomDocViewEdit::RecLeaveListBackward(int itemNo, TRVDocPos& caret)
{
    // The paragraph leaves its list: its text takes the marker's place.
    if (!CanRemoveItem(itemNo - 1))
        return false;
    const TCustomRVItemInfo& marker = Data_.ItemAt(itemNo - 1);
    if (HasPersistentCP(itemNo - 1)) {
        if (Data_.ItemAt(itemNo).Checkpoint())
            return false;
        RecMoveCheckpoint(itemNo - 1, itemNo);
    }
    RecSetFlags(itemNo, marker.ItemOptions(), marker.ParaNo);
    RecDeleteItem(itemNo - 1);
    caret = {itemNo - 1, Data_.OffsetBefore(itemNo - 1)};
    return true;
}

bool TCustomDocViewEdit::RecRemoveEmptyLineBefore(int itemNo, TRVDocPos& caret)
{
    const int empty = itemNo - 1;
    if (!CanRemoveItem(empty) || ParaReadOnly(empty) || ParagraphHasPersistentCP(empty))
        return false;
    const bool joinMarker = empty > 0 && Data_.ItemAt(empty - 1).IsListMarker();
    if (joinMarker && !CanJoinAt(itemNo))
        return false;
    RecRemoveItem(empty);
    if (joinMarker)
        RecJoinAt(empty);
    caret = {empty, Data_.OffsetBefore(empty)};
    return true;
}

// ---------------------------------------------------------------------------------------------
// Delete

void TCustomDocViewEdit::DeleteForward()
{
    if (CellEditor_) {
        CellEditor_->DeleteForward();
        return;
    }
    TRVDocPos pos;
    if (!StartDeletionKey(pos))
        return;
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    const int count = Data_.Count();
    const bool atEnd = offs == Data_.OffsetAfter(itemNo);
    if ((Data_.ItemAt(itemNo).IsFullLine() && atEnd) ||
        (atEnd && itemNo + 1 < count && Data_.ItemAt(itemNo + 1).IsFullLine() && !IsEmptyText(itemNo))) {
        MoveCaret(TRVCaretMove::Right, TRVSelectionUpdate::Collapse);
        return;
    }
    if (atEnd && itemNo + 1 == count)
        return DeleteAtDocumentEnd(itemNo);
    if (atEnd && Data_.StartsLine(itemNo + 1))
        return DeleteAtLineEnd(itemNo, pos);
    if (atEnd) {
        ++itemNo; // the first place of the next item of the line
        offs = Data_.OffsetBefore(itemNo);
    }
    DeleteInItem(itemNo, offs, DeleteForwardCount(itemNo, offs), pos);
}

int TCustomDocViewEdit::DeleteForwardCount(int itemNo, int offs) const
{
    return Data_.ItemAt(itemNo).IsText() && TRVItemText::Of(Data_, itemNo).PairAt(offs - 1) ? 2 : 1;
}

void TCustomDocViewEdit::DeleteAtDocumentEnd(int itemNo)
{
    const bool listed = Data_.ItemAt(itemNo - (itemNo > 0)).IsListMarker();
    // The only paragraph of the document stays.
    if (!IsEmptyText(itemNo) || itemNo == 0 || (listed && itemNo == 1))
        return;
    TRVEditStep step(*this, rvutDelete);
    if (!CanRemoveItem(itemNo))
        return step.Refuse();
    // The empty last paragraph goes, a list marker before it with it.
    if (!Data_.ItemAt(itemNo - 1).IsListMarker()) {
        RecRemoveItem(itemNo);
        return step.Commit({itemNo - 1, Data_.OffsetAfter(itemNo - 1)});
    }
    if (!CanRemoveItem(itemNo - 1))
        return step.Refuse();
    RecDeleteItem(itemNo);
    RecRemoveItem(itemNo - 1);
    step.Commit({itemNo - 2, itemNo >= 2 ? Data_.OffsetAfter(itemNo - 2) : 0});
}

void TCustomDocViewEdit::DeleteAtLineEnd(int itemNo, TRVDocPos pos)
{
    TRVEditStep step(*this, rvutDelete);
    TRVDocPos caret = pos;
    bool done = false;
    if (IsEmptyText(itemNo)) {
        done = RecRemoveEmptyItemForward(itemNo, caret);
    } else if (IsEmptyText(itemNo + 1)) {
        done = CanRemoveItem(itemNo + 1) && !ParaReadOnly(itemNo + 1);
        if (done)
            RecRemoveItem(itemNo + 1);
    } else {
        done = RecJoinForward(itemNo + 1, caret);
    }
    if (!done)
        return step.Refuse();
    step.Commit(caret);
}

bool TCustomDocViewEdit::RecRemoveEmptyItemForward(int itemNo, TRVDocPos& caret)
{
    const bool marker = itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker();
    if (!CanRemoveItem(itemNo) || (marker && !CanRemoveItem(itemNo - 1)))
        return false;
    if (!marker) {
        RecRemoveItem(itemNo);
        caret = {itemNo, Data_.OffsetBefore(itemNo)};
        return true;
    }
    // An empty list paragraph goes with its marker; a line after it takes the paragraph's start.
    const TCustomRVItemInfo& m = Data_.ItemAt(itemNo - 1);
    if (HasPersistentCP(itemNo - 1) || HasPersistentCP(itemNo))
        return false;
    if (itemNo + 1 < Data_.Count() && Data_.ItemAt(itemNo + 1).NewLine())
        RecSetFlags(itemNo + 1, m.ItemOptions(), Data_.ParaOf(itemNo + 1));
    RecDeleteItem(itemNo);
    RecDeleteItem(itemNo - 1);
    caret = {itemNo - 1, Data_.OffsetBefore(itemNo - 1)};
    return true;
}

bool TCustomDocViewEdit::RecJoinForward(int next, TRVDocPos& caret)
{
    if (Data_.ItemAt(next).IsListMarker()) {
        // Everything is checked before the marker goes: its text then starts the paragraph.
        const bool emptyAfter = IsEmptyText(next + 1) && (next + 2 == Data_.Count() || Data_.StartsLine(next + 2));
        if (!CanRemoveItem(next) || HasPersistentCP(next) || !CanJoinAt(next) ||
            StyleHas(next + 1, rvprParaStartProtect) || (emptyAfter && !CanRemoveItem(next + 1)))
            return false;
        const TCustomRVItemInfo& marker = Data_.ItemAt(next);
        RecSetFlags(next + 1, marker.ItemOptions(), marker.ParaNo);
        RecDeleteItem(next);
        if (emptyAfter) {
            // An empty list paragraph goes whole.
            RecRemoveItem(next);
            return true;
        }
    }
    if (!CanJoinAt(next))
        return false;
    caret = RecJoinAt(next);
    return true;
}

} // namespace xq

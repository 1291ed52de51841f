// Page breaks: a paragraph starts a new page, or no longer does. Inserting one at a place that
// does not start a paragraph splits the paragraph there first, with Enter, inside the same step.
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"

namespace xq {

void TCustomDocViewEdit::InsertPageBreakAtCaret()
{
    if (CellEditor_) {
        CellEditor_->InsertPageBreakAtCaret();
        return;
    }
    // A table cell starts no page.
    if (Outer_) {
        Beep();
        return;
    }
    if (!BeginEdit())
        return;
    TRVEditStep step(*this, rvutInsertPageBreak);
    if (SelectionExists())
        Deselect();
    TRVDocPos pos = Data_.CaretDocPos();
    if (Data_.ItemAt(pos.ItemNo).IsListMarker())
        pos = {pos.ItemNo, 0};
    const auto paragraphStart = [&](TRVDocPos p) {
        const int head = Data_.ParagraphFirstItem(p.ItemNo);
        return p.Offset == Data_.OffsetBefore(p.ItemNo) &&
               (p.ItemNo == head || (p.ItemNo == head + 1 && Data_.ItemAt(head).IsListMarker()));
    };
    if (!paragraphStart(pos)) {
        // Enter joins this step; where it would put the caret is where the new paragraph starts.
        InsertEnter(false);
        pos = step.JoinedCaret();
        if (!pos.Valid())
            return; // Enter was refused here
        if (!paragraphStart(pos))
            return step.Commit(pos);
    }
    const int head = Data_.ParagraphFirstItem(pos.ItemNo);
    const TCustomRVItemInfo& item = Data_.ItemAt(head);
    if (!item.NewPageBefore())
        RecSetFlags(head, std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioNewLine) | TCustomRVItemInfo::rvioNewPageBefore),
                    item.ParaNo);
    step.Commit(pos);
}

void TCustomDocViewEdit::RemovePageBreakAtCaret()
{
    // Page breaks are the outer document's; none is removed while a cell is edited.
    if (CellEditor_ || Outer_) {
        Beep();
        return;
    }
    if (!BeginEdit())
        return;
    const TRVDocPos pos = Data_.CaretDocPos();
    const int head = Data_.ParagraphFirstItem(pos.ItemNo);
    if (Data_.ItemAt(head).NewPageBefore())
        RemovePageBreakAt(head, pos);
}

bool TCustomDocViewEdit::PageBreakAtCaret() const
{
    if (CellEditor_)
        return CellEditor_->PageBreakAtCaret();
    if (!Data_.CaretValid())
        return false;
    return Data_.ItemAt(Data_.ParagraphFirstItem(Data_.CaretDocPos().ItemNo)).NewPageBefore();
}

} // namespace xq

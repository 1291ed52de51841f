// Undo and Redo: the last group of one list is reversed inside an edit step, which lays out what
// the reversal touched and hands the reversal to the other list as a group of its own.
#include "editing/DocViewEdit.h"
#include "editing/EditStep.h"
#include "editing/TableInplaceEdit.h"

namespace xq {

bool TCustomDocViewEdit::BeginUndoStep(TRVUndoType kind, const std::string& caption)
{
    const TRVDocPos caret = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{};
    return Data_.Recording->BeginUndoGroup(kind, caption, caret.ItemNo, caret.Offset);
}

void TCustomDocViewEdit::ClearUndoHistory() noexcept
{
    if (CellEditor_)
        CellEditor_->ClearUndoHistory();
    Data_.UndoList.Clear();
    Data_.RedoList.Clear();
}

void TCustomDocViewEdit::ReverseLastGroup(TRVUndoList& from, TRVUndoList& to)
{
    TRVEditStep step(*this, to);
    const TRVDocPos now = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{};
    int caretItem = -1, caretOffs = 0;
    from.Execute(step.Log(), now.ItemNo, now.Offset, caretItem, caretOffs);
    // A group whose reversal changed nothing still puts the caret back, on a new layout.
    if (!step.Changed())
        step.TouchAll();
    step.Commit({caretItem, caretOffs});
}

void TCustomDocViewEdit::Undo()
{
    // A mouse selection or a resize in progress holds places that the change would take away.
    if (ReadOnly || MouseBusy()) {
        Beep();
        return;
    }
    // In a cell, its own steps first; when it has none left, editing ends and this editor's
    // steps go on.
    if (CellEditor_) {
        if (CellEditor_->UndoAction() != rvutNone) {
            CellEditor_->Undo();
            return;
        }
        EndCellEdit();
    }
    if (!Data_.UndoList.Empty())
        ReverseLastGroup(Data_.UndoList, Data_.RedoList);
}

void TCustomDocViewEdit::Redo()
{
    if (ReadOnly || MouseBusy()) {
        Beep();
        return;
    }
    if (CellEditor_) {
        if (CellEditor_->RedoAction() != rvutNone) {
            CellEditor_->Redo();
            return;
        }
        EndCellEdit();
    }
    if (!Data_.RedoList.Empty())
        ReverseLastGroup(Data_.RedoList, Data_.UndoList);
}

TRVUndoType TCustomDocViewEdit::UndoAction() const noexcept
{
    if (CellEditor_ && CellEditor_->UndoAction() != rvutNone)
        return CellEditor_->UndoAction();
    return Data_.UndoList.CurrentUndoType();
}

TRVUndoType TCustomDocViewEdit::RedoAction() const noexcept
{
    if (CellEditor_ && CellEditor_->RedoAction() != rvutNone)
        return CellEditor_->RedoAction();
    return Data_.RedoList.CurrentUndoType();
}

} // namespace xq

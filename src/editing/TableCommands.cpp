// The changes of a table of the editor's document as undo steps of the editor.
#include "editing/DocViewEdit.h"
#include "editing/EditStep.h"
#include "editing/TableEditing.h"
#include "editing/TableInplaceEdit.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

TRVTableItemInfo* TableAt(const TCustomRVData& data, int itemNo)
{
    return itemNo >= 0 && itemNo < data.Count() ? dynamic_cast<TRVTableItemInfo*>(&data.ItemAt(itemNo)) : nullptr;
}

} // namespace

bool TCustomDocViewEdit::ModifyTable(int itemNo, const std::function<bool(TRVTableChanges&)>& change)
{
    if (!TableAt(Data_, itemNo) || !BeginEdit())
        return false;
    TRVTableItemInfo& table = *TableAt(Data_, itemNo);
    int editedRow = -1, editedCol = -1;
    if (CellEditor_ && &CellEditor_->Table() == &table) {
        editedRow = CellEditor_->Row();
        editedCol = CellEditor_->Col();
    }
    // What was typed in a cell of the table is a step of its own before the change.
    EndCellEdit();
    TRVEditStep step(*this, rvutModifyItem);
    table.SetEditedCell(editedRow, editedCol);
    Data_.ItemChanging(itemNo, TRVItemChange::Content);
    bool changed = false;
    try {
        TRVTableChanges changes(Data_, itemNo, Data_.Recording);
        changed = change(changes);
    } catch (...) {
        table.SetEditedCell(-1, -1);
        throw;
    }
    if (!changed) {
        table.SetEditedCell(-1, -1);
        step.Refuse();
        return false;
    }
    table.Changed();
    table.GetEditedCell(editedRow, editedCol);
    table.SetEditedCell(-1, -1);
    step.Commit({itemNo, 0});
    // Cells the change selected stay selected; otherwise editing goes on where the change left it.
    int startRow = 0, startCol = 0, rowOffs = 0, colOffs = 0;
    if (table.GetCellRectangle(startRow, startCol, rowOffs, colOffs)) {
        CellDrag_ = {itemNo, startRow, startCol, false};
        if (OnSelect)
            OnSelect(*this);
    } else {
        CellDrag_ = {};
        if (editedRow >= 0)
            EditCell(itemNo, editedRow, editedCol);
    }
    return true;
}

} // namespace xq

// TRVTableInplaceEdit: the editor of a table cell being edited in place, and TRVUndoCellModify,
// the undo step that the changes made in it become when editing ends.
//
// The cell editor is a complete editor whose container borrows the cell's content
// (TCustomRVData::BorrowContentOf): it changes the cell's own items, so that everything reading
// the document meanwhile (saving, printing, painting the table) sees them, while it keeps its own
// layout, caret, selection and undo list. The editor that owns it lays the table out again after
// each of its changes and paints the cell through the cell editor's layout.
#pragma once

#include <memory>

#include "editing/DocViewEdit.h"
#include "editing/Undo.h"
#include "platform/DocViewError.h"
#include "tables/TableItem.h"

namespace xq {

inline constexpr const char* errInplaceBusy = "Cannot destroy cell inplace editor at this time";

/// A cell editor was to be ended while it is in the middle of a change of its own.
class ERVTableInplaceError : public EDocViewError {
public:
    using EDocViewError::EDocViewError;
};

class TRVTableInplaceEdit final : public TCustomDocViewEdit {
public:
    /// Edits the cell at its top-left slot (row, col) of table, the item itemNo of outer's
    /// document. The cell must exist.
    TRVTableInplaceEdit(TCustomDocViewEdit& outer, TRVTableItemInfo& table, int itemNo, int row, int col);
    ~TRVTableInplaceEdit() override;

    [[nodiscard]] TRVTableItemInfo& Table() const noexcept { return Table_; }
    [[nodiscard]] TRVTableCellData& Cell() const noexcept { return Cell_; }
    [[nodiscard]] int ItemNo() const noexcept { return ItemNo_; }
    [[nodiscard]] int Row() const noexcept { return Row_; }
    [[nodiscard]] int Col() const noexcept { return Col_; }

    /// Lays the cell's content out for width pixels on the outer editor's canvas.
    void FormatFor(std::int32_t width);

private:
    TRVTableItemInfo& Table_;
    TRVTableCellData& Cell_;
    int ItemNo_;
    int Row_;
    int Col_;
};

/// Changes made in a cell editor: the table at ItemNo, the cell at (Row, Col), the caret in the cell
/// when editing ended, and the cell's own undo steps, oldest first. Undo reverses them all in the
/// cell; its reversal is a record of the same kind with the steps that redo them.
class TRVUndoCellModify : public TRVUndoItemNoInfo {
public:
    TRVUndoCellModify(int itemNo, int row, int col, TRVDocPos caret, std::unique_ptr<TRVUndoList> steps) noexcept;
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;

    int Row;
    int Col;
    TRVDocPos Caret;
    /// Only holds the groups: it is never executed itself (its cell may be gone by then); Undo
    /// moves the groups into a list of the cell it finds at (Row, Col).
    std::unique_ptr<TRVUndoList> Steps;
};

} // namespace xq

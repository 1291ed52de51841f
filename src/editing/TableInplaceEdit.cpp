// Cells edited in place: the cell editor, the editor's side of it (starting and ending, moving
// between cells, the mouse over tables, laying the table out after each change in the cell), and
// the undo step a cell's changes become.
#include "editing/TableInplaceEdit.h"

#include <algorithm>

#include "editing/EditStep.h"
#include "editing/TableEditing.h"
#include "editing/TouchedRange.h"
#include "platform/DocViewError.h"
#include "tables/TableLayout.h"

namespace xq {

namespace {

TRVTableItemInfo* TableAt(const TCustomRVData& data, int itemNo)
{
    if (itemNo < 0 || itemNo >= data.Count())
        return nullptr;
    return dynamic_cast<TRVTableItemInfo*>(&data.ItemAt(itemNo));
}

/// The cell covering slot (row, col), as its top-left slot; false outside the grid.
bool CoveringCell(const TRVTableItemInfo& table, int row, int col, int& top, int& left)
{
    if (row < 0 || col < 0 || row >= table.RowCount() || col >= table.ColCount())
        return false;
    return table.GetCellAt(row, col, top, left) != nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The cell editor

TRVTableInplaceEdit::TRVTableInplaceEdit(TCustomDocViewEdit& outer, TRVTableItemInfo& table, int itemNo, int row,
                                         int col)
    : TCustomDocViewEdit(outer.GetRVStyle()), Table_(table), Cell_(*table.Cells(row, col)), ItemNo_(itemNo),
      Row_(row), Col_(col)
{
    Outer_ = &outer;
    ReadOnly = outer.ReadOnly;
    EditorOptions = outer.EditorOptions;
    EditorOptions.Include(rvoWantTabs);
    Delimiters = outer.Delimiters;
    RVFOptions = outer.RVFOptions;
    RTFOptions = outer.RTFOptions;
    RTFReadProperties = outer.RTFReadProperties;
    SetUndoLimit(outer.UndoLimit() != 0 ? -1 : 0);

    const TRVEditRVData& from = outer.RVData();
    Data_.Options = from.Options;
    Data_.WordWrap = from.WordWrap;
    Data_.BiDiMode = from.BiDiMode;
    Data_.LeftMargin = Data_.RightMargin = Data_.TopMargin = Data_.BottomMargin = 0;
    Data_.TagsArePChars = Cell_.TagsArePChars;
    Data_.BorrowContentOf(&Cell_);
    TextStyleNotifyPending_ = ParaStyleNotifyPending_ = true;

    // What the cell editor tells, the application hears from the editor it talks to.
    OnCaretMove = [&outer](TCustomDocViewEdit&) {
        outer.ScrollToCaret();
        if (outer.OnCaretMove)
            outer.OnCaretMove(outer);
    };
    OnCurTextStyleChanged = [&outer](TCustomDocViewEdit&) {
        if (outer.OnCurTextStyleChanged)
            outer.OnCurTextStyleChanged(outer);
    };
    OnCurParaStyleChanged = [&outer](TCustomDocViewEdit&) {
        if (outer.OnCurParaStyleChanged)
            outer.OnCurParaStyleChanged(outer);
    };
    OnSelect = [&outer](TCustomDocViewEdit&) {
        if (outer.OnSelect)
            outer.OnSelect(outer);
    };
    OnBeep = [&outer](TCustomDocViewEdit&) { outer.Beep(); };
    OnChanging = [&outer](TCustomDocViewEdit&, bool& canEdit) {
        if (outer.OnChanging)
            outer.OnChanging(outer, canEdit);
    };
    OnItemTextEdit = outer.OnItemTextEdit;
    OnStyleConversion = [&outer](TCustomDocViewEdit&, int styleNo, int userData, bool appliedToText, int& newStyleNo) {
        if (outer.OnStyleConversion)
            outer.OnStyleConversion(outer, styleNo, userData, appliedToText, newStyleNo);
    };
    OnParaStyleConversion = [&outer](TCustomDocViewEdit&, int paraNo, int userData, bool appliedToText, int& newParaNo) {
        if (outer.OnParaStyleConversion)
            outer.OnParaStyleConversion(outer, paraNo, userData, appliedToText, newParaNo);
    };
}

TRVTableInplaceEdit::~TRVTableInplaceEdit()
{
    CellEditor_.reset();
    Data_.BorrowContentOf(nullptr);
}

void TRVTableInplaceEdit::FormatFor(std::int32_t width)
{
    Data_.FixedTextAreaWidth = std::max(width, 1);
    Format();
}

// ---------------------------------------------------------------------------------------------
// The undo step of a cell

TRVUndoCellModify::TRVUndoCellModify(int itemNo, int row, int col, TRVDocPos caret,
                                     std::unique_ptr<TRVUndoList> steps) noexcept
    : TRVUndoItemNoInfo(itemNo), Row(row), Col(col), Caret(caret), Steps(std::move(steps))
{
}

void TRVUndoCellModify::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    TRVTableItemInfo* table = TableAt(data, ItemNo);
    TRVTableCellData* cell = table ? table->Cells(Row, Col) : nullptr;
    if (!cell)
        throw EDocViewError(errInvalidRowCol);
    // The steps run in the cell, newest first; their reversals collect in a list of the cell's.
    TRVUndoList live(*cell);
    live.Append(*Steps, TRVGroupJoin::Own);
    auto back = std::make_unique<TRVUndoList>(*cell);
    while (!live.Empty()) {
        int caretItem = -1, caretOffs = 0;
        live.Execute(*back, -1, 0, caretItem, caretOffs);
    }
    table->Changed();
    reverse.AddInfo(std::make_unique<TRVUndoCellModify>(ItemNo, Row, Col, Caret, std::move(back)));
}

// ---------------------------------------------------------------------------------------------
// The editor's side

TCustomDocViewEdit* TCustomDocViewEdit::CellEditor() const noexcept
{
    return CellEditor_.get();
}

TCustomDocViewEdit& TCustomDocViewEdit::InnermostEditor() noexcept
{
    TCustomDocViewEdit* e = this;
    while (e->CellEditor_)
        e = e->CellEditor_.get();
    return *e;
}

TRVTableItemInfo* TCustomDocViewEdit::EditedTable(int* itemNo) const
{
    if (!CellEditor_)
        return nullptr;
    if (itemNo)
        *itemNo = CellEditor_->ItemNo();
    return &CellEditor_->Table();
}

bool TCustomDocViewEdit::CellEditorOrigin(std::int32_t& x, std::int32_t& y) const
{
    if (!CellEditor_)
        return false;
    const int itemNo = CellEditor_->ItemNo();
    const int drawItemNo = Data_.FirstLinePiece(itemNo);
    const TRVTableLayoutState* state = TableLayoutIn(Data_, CellEditor_->Table());
    if (drawItemNo < 0 || !state)
        return false;
    TPoint at;
    std::int32_t width = 0;
    if (!CellContentPlace(CellEditor_->Table(), *state, CellEditor_->Row(), CellEditor_->Col(), Data_.DeviceScale(),
                          CellEditor_->RVData().TotalHeight(), at, width))
        return false;
    const TRVDrawLineInfo& d = Data_.DrawItems()[drawItemNo];
    x = d.Left + at.X;
    y = d.Top + at.Y;
    return true;
}

bool TCustomDocViewEdit::EditCell(int itemNo, int row, int col, bool caretAtEnd)
{
    TRVTableItemInfo* table = TableAt(Data_, itemNo);
    if (!table || !Data_.Formatted() || !table->Options.Contains(rvtoEditing))
        return false;
    int top = 0, left = 0;
    if (!CoveringCell(*table, row, col, top, left))
        return false;
    EndCellEdit();
    const TRVTableLayoutState* state = TableLayoutIn(Data_, *table);
    const TRVTableCellLayout* place = state ? state->FindCell(table->Cells(top, left)) : nullptr;
    if (!place)
        return false;

    // This editor's caret waits on the table.
    const TSelectionState before = SelectionState();
    const TRVDrawPos onTable = Data_.DrawPosOf({itemNo, 0});
    if (onTable.Valid()) {
        Data_.SetCaret(onTable);
        Data_.CollapseSelection();
    }
    table->Deselect();
    CellEditor_ = std::make_unique<TRVTableInplaceEdit>(*this, *table, itemNo, top, left);
    table->SetEditedCell(top, left);
    CellEditMinWidth_ = BeginItemModify(itemNo);
    TRVEditRVData& cellData = CellEditor_->RVData();
    auto& cellLayout = const_cast<TRVTableCellLayout&>(*place);
    cellData.SetFormatCanvas(cellLayout.Layout.FormatCanvas(), cellLayout.Layout.FontCache());
    CellEditor_->FormatFor(place->View.FixedTextAreaWidth);
    Data_.EditedSubDocument = &CellEditor_->Cell();
    Data_.EditedSubLayout = &cellData;
    if (caretAtEnd && cellData.CaretValid())
        CellEditor_->SetCaretDocPos({cellData.Count() - 1, cellData.OffsetAfter(cellData.Count() - 1)},
                                    TRVLineBoundary::LineEnd);
    if (OnSelect && SelectionState() != before)
        OnSelect(*this);
    CellEditor_->CaretMoved(true, CellEditor_->SelectionState());
    return true;
}

void TCustomDocViewEdit::EndCellEdit()
{
    if (!CellEditor_)
        return;
    TRVTableInplaceEdit& cell = *CellEditor_;
    // A handler told of the cell's change may not take the cell editor away under it.
    if (cell.OpenStep_ || cell.Notifying_ > 0)
        throw ERVTableInplaceError(errInplaceBusy);
    cell.EndCellEdit();
    // What was changed in the cell becomes one step here, and what was undone in it one step to
    // redo.
    const TRVDocPos caret = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{cell.ItemNo(), 0};
    const TRVDocPos cellCaret = cell.RVData().CaretValid() ? cell.RVData().CaretDocPos() : TRVDocPos{};
    const auto handOver = [&](TRVUndoList& from, TRVUndoList& to) {
        auto steps = std::make_unique<TRVUndoList>(cell.Cell());
        steps->Append(from, TRVGroupJoin::Own);
        if (!steps->Empty() && to.BeginUndoGroup(rvutModifyItem, {}, caret.ItemNo, caret.Offset))
            to.AddInfo(
                std::make_unique<TRVUndoCellModify>(cell.ItemNo(), cell.Row(), cell.Col(), cellCaret, std::move(steps)));
    };
    handOver(cell.RVData().UndoList, *Data_.Recording);
    handOver(cell.RVData().RedoList, Data_.RedoList);
    cell.Table().SetEditedCell(-1, -1);
    Data_.EditedSubDocument = nullptr;
    Data_.EditedSubLayout = nullptr;
    CellEditorHasMouse_ = false;
    // A selection being dragged from the cell has no editor any more.
    if (TDragSource& drag = RootEditor().Drag_; drag.Editor)
        for (const TCustomDocViewEdit* e = CellEditor_.get(); e; e = e->CellEditor_.get())
            if (drag.Editor == e)
                drag.Editor = nullptr;
    CellEditor_.reset();
}

void TCustomDocViewEdit::PlaceCellEditor()
{
    if (!CellEditor_)
        return;
    const TRVTableLayoutState* state = TableLayoutIn(Data_, CellEditor_->Table());
    const TRVTableCellLayout* place = state ? state->FindCell(&CellEditor_->Cell()) : nullptr;
    if (!place) {
        EndCellEdit();
        return;
    }
    TRVEditRVData& cellData = CellEditor_->RVData();
    if (cellData.FixedTextAreaWidth != place->View.FixedTextAreaWidth ||
        cellData.FormatCanvas() != place->Layout.FormatCanvas()) {
        auto& cellLayout = const_cast<TRVTableCellLayout&>(*place);
        if (cellData.FormatCanvas() != place->Layout.FormatCanvas())
            cellData.SetFormatCanvas(cellLayout.Layout.FormatCanvas(), cellLayout.Layout.FontCache());
        CellEditor_->FormatFor(place->View.FixedTextAreaWidth);
    }
}

void TCustomDocViewEdit::CellChanged(bool clearRedo)
{
    if (!CellEditor_)
        return;
    const int itemNo = CellEditor_->ItemNo();
    // The table is laid out again; of its cells only the changed one (by its content revision).
    // The table item counts as changed here too, for a table around this one.
    if (TRVTableLayoutState* state = TableLayoutIn(Data_, CellEditor_->Table()))
        state->Layout.AvailableWidth = -1;
    Data_.ItemChanging(itemNo);
    EndItemModify(itemNo, CellEditMinWidth_);
    CellEditMinWidth_ = BeginItemModify(itemNo);
    PlaceCellEditor();
    NotifyChanged(clearRedo);
}

void TCustomDocViewEdit::MoveToNextCell(bool forward)
{
    if (!CellEditor_)
        return;
    TRVTableItemInfo& table = CellEditor_->Table();
    const int itemNo = CellEditor_->ItemNo();
    const int cols = table.ColCount();
    int slot = CellEditor_->Row() * cols + CellEditor_->Col();
    const int slots = table.RowCount() * cols;
    for (slot += forward ? 1 : -1; slot >= 0 && slot < slots; slot += forward ? 1 : -1)
        if (table.Rows[slot / cols][slot % cols]) {
            EditCell(itemNo, slot / cols, slot % cols, !forward);
            return;
        }
}

void TCustomDocViewEdit::CellCaretGetOut(TRVGetOutDirection direction, bool extend)
{
    if (!CellEditor_)
        return;
    TRVTableItemInfo& table = CellEditor_->Table();
    const int itemNo = CellEditor_->ItemNo();
    const int row = CellEditor_->Row(), col = CellEditor_->Col();
    const TRVTableCellData& cell = CellEditor_->Cell();
    int toRow = row, toCol = col;
    bool atEnd = false;
    switch (direction) {
    case rvdLeft: toCol = col - 1; atEnd = true; break;
    case rvdUp: toRow = row - 1; atEnd = true; break;
    case rvdRight: toCol = col + cell.ColSpan(); break;
    case rvdDown: toRow = row + cell.RowSpan(); break;
    default: {
        // To the start or the end of the whole document.
        EndCellEdit();
        TCustomDocViewEdit* outer = this;
        while (outer->Outer_)
            outer = outer->Outer_;
        outer->GetOut(direction);
        return;
    }
    }
    int top = 0, left = 0;
    if (CoveringCell(table, toRow, toCol, top, left)) {
        if (extend && !table.Options.Contains(rvtoNoCellSelect)) {
            // Shift with an arrow out of the cell selects the cells from here to there.
            EndCellEdit();
            table.Select(row, col, top - row, left - col);
            CellDrag_ = {itemNo, row, col, false};
            if (OnSelect)
                OnSelect(*this);
            return;
        }
        EditCell(itemNo, top, left, atEnd);
        return;
    }
    // Out of the table: before it to the left and up, after it to the right and down.
    EndCellEdit();
    const bool before = direction == rvdLeft || direction == rvdUp;
    SetCaretDocPos({itemNo, before ? 0 : 1});
}

bool TCustomDocViewEdit::CellAt(std::int32_t x, std::int32_t y, int& itemNo, int& row, int& col) const
{
    const int line = Data_.LineAtY(y);
    if (line < 0)
        return false;
    const TRVDrawLineInfo& d = Data_.DrawItems()[line];
    TRVTableItemInfo* table = TableAt(Data_, d.ItemNo);
    if (!table || y < d.Top || y >= d.Top + d.Height || x < d.Left || x >= d.Left + d.Width)
        return false;
    const TRVTableLayoutState* state = TableLayoutIn(Data_, *table);
    if (!state || !CellAtPoint(*table, *state, x - d.Left, y - d.Top, row, col))
        return false;
    itemNo = d.ItemNo;
    return true;
}

bool TCustomDocViewEdit::EnterTable(int itemNo, bool fromStart)
{
    TRVTableItemInfo* table = TableAt(Data_, itemNo);
    if (!table || table->RowCount() == 0)
        return false;
    if (fromStart)
        return EditCell(itemNo, 0, 0, false);
    int top = 0, left = 0;
    return CoveringCell(*table, table->RowCount() - 1, table->ColCount() - 1, top, left) &&
           EditCell(itemNo, top, left, true);
}


// ---------------------------------------------------------------------------------------------
// Cell rectangles by keys and the mouse

bool TCustomDocViewEdit::ClearCellRectangle(TRVKey key, TShiftState shift)
{
    if (!CellDrag_.Valid() || CellEditor_)
        return false;
    TRVTableItemInfo* table = TableAt(Data_, CellDrag_.ItemNo);
    int startRow = 0, startCol = 0, rowOffs = 0, colOffs = 0;
    if (!table || !table->GetCellRectangle(startRow, startCol, rowOffs, colOffs)) {
        CellDrag_ = {};
        return false;
    }
    const bool arrow = key == rvkLeft || key == rvkRight || key == rvkUp || key == rvkDown;
    int row = startRow + rowOffs, col = startCol + colOffs;
    int top = row, left = col;
    table->GetCellAt(row, col, top, left);
    const TRVTableCellData& corner = *table->Cells(top, left);
    if (arrow && shift.Contains(ssShift)) {
        switch (key) {
        case rvkLeft: col = left - 1; break;
        case rvkRight: col = left + corner.ColSpan(); break;
        case rvkUp: row = top - 1; break;
        default: row = top + corner.RowSpan(); break;
        }
        row = std::clamp(row, 0, table->RowCount() - 1);
        col = std::clamp(col, 0, table->ColCount() - 1);
        table->Select(startRow, startCol, row - startRow, col - startCol);
        if (OnSelect)
            OnSelect(*this);
        return true;
    }
    const int itemNo = CellDrag_.ItemNo;
    // Delete and Backspace empty the selected cells, which stay selected.
    if ((key == rvkDelete || key == rvkBackspace) && shift.Empty()) {
        ModifyTable(itemNo, [](TRVTableChanges& t) { return t.ClearSelectedCells(); });
        return true;
    }
    table->Deselect();
    CellDrag_ = {};
    if (OnSelect)
        OnSelect(*this);
    // An arrow goes on editing at the moving corner.
    return arrow && EditCell(itemNo, top, left, key == rvkLeft || key == rvkUp);
}

bool TCustomDocViewEdit::EditCellOfRectangle()
{
    if (!CellDrag_.Valid() || CellEditor_)
        return false;
    TRVTableItemInfo* table = TableAt(Data_, CellDrag_.ItemNo);
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!table || !table->HasCellRectangle() || !table->GetSelectionBounds(top, left, rows, cols))
        return false;
    const int itemNo = CellDrag_.ItemNo;
    table->Deselect();
    CellDrag_ = {};
    return EditCell(itemNo, top, left);
}

bool TCustomDocViewEdit::CellAtEditor(std::int32_t x, std::int32_t y) const
{
    int itemNo = -1, row = -1, col = -1;
    return CellEditor_ && CellAt(x, y, itemNo, row, col) && itemNo == CellEditor_->ItemNo() &&
           row == CellEditor_->Row() && col == CellEditor_->Col();
}

bool TCustomDocViewEdit::CellMouseDown(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (button == mbMiddle)
        return false;
    std::int32_t cx = 0, cy = 0;
    int itemNo = -1, row = -1, col = -1;
    const bool inCell = CellAt(x, y, itemNo, row, col);
    if (CellEditor_ && CellAtEditor(x, y) && CellEditorOrigin(cx, cy)) {
        if (button == mbLeft) {
            CellEditorHasMouse_ = true;
            CellDrag_ = {itemNo, CellEditor_->Row(), CellEditor_->Col(), true};
        }
        CellEditor_->MouseDown(button, shift, x - cx, y - cy);
        return true;
    }
    if (CellEditor_ && button == mbLeft && inCell && shift.Contains(ssShift) && itemNo == CellEditor_->ItemNo() &&
        !CellEditor_->Table().Options.Contains(rvtoNoCellSelect)) {
        // Shift+click in another cell of the table selects the cells from the edited one to it.
        const int fromRow = CellEditor_->Row(), fromCol = CellEditor_->Col();
        TRVTableItemInfo& table = CellEditor_->Table();
        EndCellEdit();
        table.Select(fromRow, fromCol, row - fromRow, col - fromCol);
        CellDrag_ = {itemNo, fromRow, fromCol, true};
        if (OnSelect)
            OnSelect(*this);
        return true;
    }
    EndCellEdit();
    if (CellDrag_.Valid()) {
        if (TRVTableItemInfo* table = TableAt(Data_, CellDrag_.ItemNo))
            table->Deselect();
        CellDrag_ = {};
        if (OnSelect)
            OnSelect(*this);
    }
    if (!inCell || shift.Contains(ssShift) || !EditCell(itemNo, row, col) || !CellEditorOrigin(cx, cy))
        return false;
    if (button == mbLeft) {
        CellEditorHasMouse_ = true;
        CellDrag_ = {itemNo, row, col, true};
    }
    CellEditor_->MouseDown(button, shift, x - cx, y - cy);
    return true;
}

bool TCustomDocViewEdit::CellMouseMove(TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (!CellDrag_.Active)
        return false;
    TRVTableItemInfo* table = TableAt(Data_, CellDrag_.ItemNo);
    if (!table) {
        CellDrag_ = {};
        return false;
    }
    int itemNo = -1, row = -1, col = -1;
    const bool inCell = CellAt(x, y, itemNo, row, col) && itemNo == CellDrag_.ItemNo;
    if (CellEditor_ && CellEditorHasMouse_) {
        const bool leaves = inCell && (row != CellEditor_->Row() || col != CellEditor_->Col()) &&
                            !table->Options.Contains(rvtoNoCellSelect);
        if (!leaves) {
            std::int32_t cx = 0, cy = 0;
            if (CellEditorOrigin(cx, cy))
                CellEditor_->MouseMove(shift, x - cx, y - cy);
            return true;
        }
        // Into another cell: from now on the drag selects cells.
        EndCellEdit();
    }
    if (inCell) {
        table->Select(CellDrag_.Row, CellDrag_.Col, row - CellDrag_.Row, col - CellDrag_.Col);
        if (OnSelect)
            OnSelect(*this);
    }
    return true;
}

bool TCustomDocViewEdit::CellMouseUp(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (CellEditor_ && CellEditorHasMouse_) {
        std::int32_t cx = 0, cy = 0;
        CellEditorHasMouse_ = false;
        CellDrag_ = {};
        if (CellEditorOrigin(cx, cy))
            CellEditor_->MouseUp(button, shift, x - cx, y - cy);
        return true;
    }
    if (CellDrag_.Active) {
        CellDrag_.Active = false;
        return true;
    }
    return false;
}

bool TCustomDocViewEdit::MouseSelecting() const noexcept
{
    return Mouse_.Mode != TMouseMode::None || CellDrag_.Active || (CellEditor_ && CellEditor_->MouseSelecting());
}

} // namespace xq

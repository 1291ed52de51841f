// The editing operations of a table: inserting and deleting rows and columns, merging, unmerging
// and splitting cells, clearing them, and setting the properties of the table and its cells,
// each recorded for undo as a series of steps (editing/TableUndo.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "editing/TableUndo.h"

namespace xq {

/// The changes of one table: the table at item itemNo of data. Every change records its undo
/// records into recording's open group (recording null: nothing is recorded) and calls
/// Table().Changed() so layouts see it. Indices outside the table throw EDocViewError
/// "Invalid row or column index" (errInvalidRowCol) and change nothing.
class TRVTableChanges {
public:
    /// Throws "Can't get or set this kind of information for this item" when the item is no table.
    TRVTableChanges(TCustomRVData& data, int itemNo, TRVUndoList* recording);

    [[nodiscard]] TRVTableItemInfo& Table() const noexcept { return Steps_.Table(); }

    // On the current selection (TRVTableItemInfo::GetSelectionBounds); false when there is none
    // or the operation is refused (the caller beeps).
    /// count rows above the selection copying its top row (heights are kept); they are selected.
    bool InsertRowsAbove(int count);
    /// count rows below the selection copying its bottom row; they are selected.
    bool InsertRowsBelow(int count);
    /// count columns left of the selection copying its left column (its widths are shared with
    /// the copies); they are selected.
    bool InsertColsLeft(int count);
    bool InsertColsRight(int count);
    bool DeleteSelectedRows();
    bool DeleteSelectedCols();
    /// Merges the selection's rectangle into its top-left cell (see MergeCells).
    bool MergeSelectedCells(bool allowAnyRectangle);
    /// Splits every merged cell starting in the selection into its rows and/or columns.
    bool UnmergeSelectedCells(bool rows, bool cols);
    /// Splits every cell starting in the selection, from the bottom-right one to the top-left
    /// one, into count parts side by side. A cell spanning at least count columns is divided
    /// among its columns; otherwise columns are added after its columns (copying them) and every
    /// other cell over those columns is widened, so that only the split cell is divided. Returns
    /// the number of columns added; the selection grows over them. count below 2 does nothing;
    /// so does a count that would make the table larger than a document may hold.
    int SplitSelectedCellsVertically(int count);
    /// The same with rows: returns the number of rows added.
    int SplitSelectedCellsHorizontally(int count);
    /// Empties the cells starting in the selection (each keeps one empty paragraph in the style of
    /// its first one); false when none had content.
    bool ClearSelectedCells();

    // General forms.
    /// count new rows before row index (0..RowCount). Cells reaching from above over the place
    /// grow over the new rows; elsewhere the new cells copy the look, the spans across and the
    /// first paragraph's style of the cells of sourceRow (a row of the table before the insertion,
    /// -1: plain new cells). With adjustHeights each source cell shares its BestHeight with the
    /// copies. The new rows are selected.
    void InsertRows(int index, int count, int sourceRow, bool adjustHeights);
    /// The same with columns (BestWidth is shared).
    void InsertCols(int index, int count, int sourceCol, bool adjustWidths);
    /// Removes count rows from first (count is cut to the table). A cell starting in them and
    /// reaching below moves down below them with a shorter span; a cell reaching into them from
    /// above gets shorter (with adjustHeights its BestHeight in proportion). When rows remain and
    /// the table has rvtoEditing, the edited cell continues at the edited row (moved up by count
    /// when it lay below the rows, cut to the last row); otherwise there is none afterwards.
    void DeleteRows(int first, int count, bool adjustHeights);
    /// The same with columns; deleting every column deletes every row.
    void DeleteCols(int first, int count, bool adjustWidths);
    /// Deletes each row (column) in which no slot holds a cell, from the last to the first.
    void DeleteEmptyRows();
    void DeleteEmptyCols();
    /// Merges rowSpan x colSpan slots from (topRow, leftCol) into the cell there. The sizes are
    /// cut to the table; a size below 1 throws "Parameters for cell merging are not correct".
    /// Refused (false, nothing changes) when the rectangle is one slot or that cell already, when
    /// it cuts through a cell, and, unless allowAnyRectangle, when it would leave a row or column
    /// of the table in which no slot holds a cell. The content of every other cell with content
    /// goes to the end of the merged cell in row order; the merged cell's BestWidth becomes the
    /// sum of the widths of the merged columns when they all are pixels or all percent, else 0.
    bool MergeCells(int topRow, int leftCol, int colSpan, int rowSpan, bool allowAnyRectangle);
    /// Splits the cell at its top-left slot (row, col) into its rows and/or columns: new cells
    /// with its look and one empty paragraph fill the slots it covered, BestWidth and BestHeight
    /// are shared out. False when there is nothing to split.
    bool UnmergeCell(int row, int col, bool rows, bool cols);

    // Properties (for the element properties dialog), each with its undo record; no record and
    // no change when the value is the same, or one the property cannot take. A cell is named by
    // any slot it covers.
    void SetTableIntProperty(TRVTableIntProperty property, std::int32_t value);
    void SetTableStrProperty(TRVTableStrProperty property, std::string value);
    void SetCellIntProperty(int row, int col, TRVCellIntProperty property, std::int32_t value);
    void SetCellStrProperty(int row, int col, TRVCellStrProperty property, std::string value);
    void SetTableVisibleBorders(const TRVBooleanRect& borders);
    void SetCellVisibleBorders(int row, int col, const TRVBooleanRect& borders);
    /// picture null: keep the picture, change the style.
    void SetTableBackground(std::unique_ptr<TGraphic> picture, TRVItemBackgroundStyle style);
    void SetCellBackground(int row, int col, std::unique_ptr<TGraphic> picture, TRVItemBackgroundStyle style);

private:
    void Record(std::unique_ptr<TRVUndoInfo> record);
    /// The top-left slot of the cell covering (row, col); outside the table throws.
    void CellStart(int row, int col, int& top, int& left) const;
    /// The cell being edited, null when none.
    [[nodiscard]] TRVTableCellData* EditedCell() const;
    /// Makes cell (null: none) the edited cell again, wherever it stands now.
    void KeepEdited(TRVTableCellData* cell);
    /// The cells whose top-left slot lies in the selection, row by row; false without selection.
    bool SelectedCells(std::vector<TRVTableCellData*>& cells) const;
    /// New rows before index copying sourceRow (see InsertRows). Within the columns
    /// copyLeft..copyRight-1 only; in the other columns the cells over sourceRow (which must be
    /// index - 1 then) grow over the new rows.
    void InsertRowsAt(int index, int count, int sourceRow, bool adjustHeights, int copyLeft, int copyRight);
    void InsertColsAt(int index, int count, int sourceCol, bool adjustWidths, int copyTop, int copyBottom);
    void RemoveRows(int first, int count, bool adjustHeights);
    void RemoveCols(int first, int count, bool adjustWidths);
    int SplitCellVertically(int row, int col, int count);
    int SplitCellHorizontally(int row, int col, int count);
    /// A count of parts that keeps the table within the size a document may hold.
    [[nodiscard]] bool SplitFits(int count, std::size_t cells, bool vertically) const;

    TRVTableSteps Steps_;
    TRVUndoList* Recording_;
};

} // namespace xq

// The undo records of table editing, the numbering of the table and cell properties they keep,
// and the steps they are made of.
//
// Every change of a table's grid or look is one of a few steps (TRVTableSteps). A step changes
// the table and returns the record that takes it back; that record's Undo carries out the
// opposite step, which returns the record of the step taken back, and so on: Undo and Redo go
// through the same classes. An editing operation is a series of steps recorded in one group.
// Each record names its table by the item index of the table in the container.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editing/Undo.h"
#include "tables/TableItem.h"

namespace xq {

// --- Property numbering ------------------------------------------------------------------------

/// The integer properties of a table (colours and option sets as their 32-bit values).
enum TRVTableIntProperty : std::uint8_t {
    rvtipOptions,
    rvtipPrintOptions,
    rvtipBestWidth,
    rvtipColor,
    rvtipHeadingRowCount,
    rvtipBorderWidth,
    rvtipBorderColor,
    rvtipBorderLightColor,
    rvtipBorderStyle,
    rvtipBorderVSpacing,
    rvtipBorderHSpacing,
    rvtipCellBorderWidth,
    rvtipCellBorderColor,
    rvtipCellBorderLightColor,
    rvtipCellBorderStyle,
    rvtipCellHPadding,
    rvtipCellVPadding,
    rvtipCellHSpacing,
    rvtipCellVSpacing,
    rvtipVRuleWidth,
    rvtipVRuleColor,
    rvtipHRuleWidth,
    rvtipHRuleColor,
    rvtipVOutermostRule,
    rvtipHOutermostRule,
};
/// The string properties of a table (UTF-8).
enum TRVTableStrProperty : std::uint8_t { rvtspTextRowSeparator, rvtspTextColSeparator };
/// The integer properties of a cell.
enum TRVCellIntProperty : std::uint8_t {
    rvcipColor,
    rvcipBorderColor,
    rvcipBorderLightColor,
    rvcipBestWidth,
    rvcipBestHeight,
    rvcipVAlign,
};
/// The string properties of a cell (UTF-8).
enum TRVCellStrProperty : std::uint8_t { rvcspBackgroundImageFileName, rvcspHint };

/// The property's value; a property number outside the enumeration gives 0.
[[nodiscard]] std::int32_t TableIntPropertyOf(const TRVTableItemInfo& table, TRVTableIntProperty property) noexcept;
[[nodiscard]] std::int32_t CellIntPropertyOf(const TRVTableCellData& cell, TRVCellIntProperty property) noexcept;
[[nodiscard]] std::string TableStrPropertyOf(const TRVTableItemInfo& table, TRVTableStrProperty property);
[[nodiscard]] std::string CellStrPropertyOf(const TRVTableCellData& cell, TRVCellStrProperty property);
/// Whether value is one the property can take (a member of its enumeration or option set, 0 or 1
/// for a switch; any value for lengths and colours). Unknown property numbers take none.
[[nodiscard]] bool ValidTableIntValue(TRVTableIntProperty property, std::int32_t value) noexcept;
[[nodiscard]] bool ValidCellIntValue(TRVCellIntProperty property, std::int32_t value) noexcept;

// --- Steps ---------------------------------------------------------------------------------------

/// The content a step took out of a cell, with the cell's top-left slot.
struct TRVCellContent {
    int Row = 0;
    int Col = 0;
    std::vector<TRVItemEntry> Items;
};

/// The steps changing the table at item itemNo of data. Each tells the container's change
/// channel first, changes the table, calls its Changed, drops a cell selection or an edited cell
/// that no longer fits the grid, and returns the record that takes the step back. Slots must lie
/// inside the grid (the editing operations check their arguments before the first step).
class TRVTableSteps {
public:
    /// Throws "Can't get or set this kind of information for this item" when the item is no table.
    TRVTableSteps(TCustomRVData& data, int itemNo);

    [[nodiscard]] TRVTableItemInfo& Table() const noexcept { return Table_; }
    [[nodiscard]] int ItemNo() const noexcept { return ItemNo_; }

    using TRows = TRVTableGridEdit::TRows;
    using TColumns = TRVTableGridEdit::TColumns;

    std::unique_ptr<TRVUndoInfo> InsertRows(int index, TRows rows);
    std::unique_ptr<TRVUndoInfo> DeleteRows(int first, int count);
    std::unique_ptr<TRVUndoInfo> InsertCols(int index, TColumns cells);
    std::unique_ptr<TRVUndoInfo> DeleteCols(int first, int count);
    /// Puts cell into the empty slot (row, col).
    std::unique_ptr<TRVUndoInfo> InsertCell(int row, int col, std::unique_ptr<TRVTableCellData> cell);
    /// Takes the cell out of slot (row, col).
    std::unique_ptr<TRVUndoInfo> RemoveCell(int row, int col);
    /// Moves the cell of (fromRow, fromCol) into the empty slot (toRow, toCol).
    std::unique_ptr<TRVUndoInfo> MoveCell(int fromRow, int fromCol, int toRow, int toCol);
    std::unique_ptr<TRVUndoInfo> SetSpans(int row, int col, int colSpan, int rowSpan);
    /// The cell at (row, col) gives its items to the end of the cell at (targetRow, targetCol),
    /// unless it has no content, and leaves the grid.
    std::unique_ptr<TRVUndoInfo> MergeItem(int targetRow, int targetCol, int row, int col);
    /// Takes back a MergeItem step: the last count items of the target go back into cell, which
    /// returns to slot (row, col).
    std::unique_ptr<TRVUndoInfo> UnmergeItem(int targetRow, int targetCol, int row, int col, int count,
                                             std::unique_ptr<TRVTableCellData> cell);
    /// Each cell gets the items given for it; the items it had go into the returned record.
    std::unique_ptr<TRVUndoInfo> ReplaceContent(std::vector<TRVCellContent> contents);
    std::unique_ptr<TRVUndoInfo> SetCellIntProperty(int row, int col, TRVCellIntProperty property, std::int32_t value);
    std::unique_ptr<TRVUndoInfo> SetCellIntProperties(int row, int col,
                                                      std::vector<std::pair<TRVCellIntProperty, std::int32_t>> values);
    std::unique_ptr<TRVUndoInfo> SetCellStrProperty(int row, int col, TRVCellStrProperty property, std::string value);
    std::unique_ptr<TRVUndoInfo> SetTableIntProperty(TRVTableIntProperty property, std::int32_t value);
    std::unique_ptr<TRVUndoInfo> SetTableStrProperty(TRVTableStrProperty property, std::string value);
    /// row -1: the table's borders, else the cell's at (row, col).
    std::unique_ptr<TRVUndoInfo> SetVisibleBorders(int row, int col, const TRVBooleanRect& borders);
    /// row -1: the table's background, else the cell's. With setPicture the picture (null: none)
    /// replaces the one there; the style is set in any case.
    std::unique_ptr<TRVUndoInfo> SetBackground(int row, int col, bool setPicture, std::unique_ptr<TGraphic> picture,
                                               TRVItemBackgroundStyle style);

private:
    void Changing();
    void Done();
    [[nodiscard]] TRVTableCellData& CellAt(int row, int col) const;

    TCustomRVData& Data_;
    int ItemNo_;
    TRVTableItemInfo& Table_;
};

// --- Records -------------------------------------------------------------------------------------

/// Base of the records about one table, the item ItemNo of the container.
class TCustomRVUndoTable : public TRVUndoItemNoInfo {
public:
    using TRVUndoItemNoInfo::TRVUndoItemNoInfo;
};

/// Base of the records that keep whole cells (which they own until they give them back).
class TCustomRVUndoWithCells : public TCustomRVUndoTable {
public:
    using TCustomRVUndoTable::TCustomRVUndoTable;
};

/// Count rows inserted from First.
class TRVUndoInsertTableRows : public TCustomRVUndoTable {
public:
    TRVUndoInsertTableRows(int itemNo, int first, int count) noexcept
        : TCustomRVUndoTable(itemNo), First(first), Count(count)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int First, Count;
};

/// Rows taken out at First, with their cells.
class TRVUndoDeleteRows : public TCustomRVUndoWithCells {
public:
    TRVUndoDeleteRows(int itemNo, int first, TRVTableGridEdit::TRows rows) noexcept
        : TCustomRVUndoWithCells(itemNo), First(first), Rows(std::move(rows))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int First;
    TRVTableGridEdit::TRows Rows;
};

/// Count columns inserted from First.
class TRVUndoInsertTableCols : public TCustomRVUndoTable {
public:
    TRVUndoInsertTableCols(int itemNo, int first, int count) noexcept
        : TCustomRVUndoTable(itemNo), First(first), Count(count)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int First, Count;
};

/// Columns taken out at First, with their cells (one list per row).
class TRVUndoDeleteCols : public TCustomRVUndoWithCells {
public:
    TRVUndoDeleteCols(int itemNo, int first, TRVTableGridEdit::TColumns cells) noexcept
        : TCustomRVUndoWithCells(itemNo), First(first), Cells(std::move(cells))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int First;
    TRVTableGridEdit::TColumns Cells;
};

/// A cell placed into the empty slot (Row, Col).
class TRVUndoInsertTableCell : public TCustomRVUndoTable {
public:
    TRVUndoInsertTableCell(int itemNo, int row, int col) noexcept : TCustomRVUndoTable(itemNo), Row(row), Col(col) {}
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
};

/// A cell taken out of slot (Row, Col).
class TRVUndoRemoveTableCell : public TCustomRVUndoWithCells {
public:
    TRVUndoRemoveTableCell(int itemNo, int row, int col, std::unique_ptr<TRVTableCellData> cell) noexcept
        : TCustomRVUndoWithCells(itemNo), Row(row), Col(col), Cell(std::move(cell))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
    std::unique_ptr<TRVTableCellData> Cell;
};

/// The cell now at (Row, Col) came from (FromRow, FromCol).
class TRVUndoMoveTableCell : public TCustomRVUndoTable {
public:
    TRVUndoMoveTableCell(int itemNo, int row, int col, int fromRow, int fromCol) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), FromRow(fromRow), FromCol(fromCol)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col, FromRow, FromCol;
};

/// The old spans of the cell at (Row, Col).
class TRVUndoSpan : public TCustomRVUndoTable {
public:
    TRVUndoSpan(int itemNo, int row, int col, int colSpan, int rowSpan) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), ColSpan(colSpan), RowSpan(rowSpan)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col, ColSpan, RowSpan;
};

/// A cell absorbed by merging: it stood at (Row, Col) and gave its Count items to the end of
/// the merged cell at (TargetRow, TargetCol).
class TRVUndoMergeItem : public TCustomRVUndoWithCells {
public:
    TRVUndoMergeItem(int itemNo, int targetRow, int targetCol, int row, int col, int count,
                     std::unique_ptr<TRVTableCellData> cell) noexcept
        : TCustomRVUndoWithCells(itemNo), TargetRow(targetRow), TargetCol(targetCol), Row(row), Col(col),
          Count(count), Cell(std::move(cell))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int TargetRow, TargetCol, Row, Col, Count;
    std::unique_ptr<TRVTableCellData> Cell;
};

/// An absorbed cell given back: redoing absorbs the cell at (Row, Col) into the one at
/// (TargetRow, TargetCol) again.
class TRVRedoMergeItem : public TCustomRVUndoTable {
public:
    TRVRedoMergeItem(int itemNo, int targetRow, int targetCol, int row, int col) noexcept
        : TCustomRVUndoTable(itemNo), TargetRow(targetRow), TargetCol(targetCol), Row(row), Col(col)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int TargetRow, TargetCol, Row, Col;
};

/// The content cells had before it was replaced (cleared, or given way to merged content).
class TRVUndoCellsClear : public TCustomRVUndoTable {
public:
    TRVUndoCellsClear(int itemNo, std::vector<TRVCellContent> contents) noexcept
        : TCustomRVUndoTable(itemNo), Contents(std::move(contents))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    std::vector<TRVCellContent> Contents;
};

/// One old integer property of the cell at (Row, Col).
class TRVUndoModifyCellIntProperty : public TCustomRVUndoTable {
public:
    TRVUndoModifyCellIntProperty(int itemNo, int row, int col, TRVCellIntProperty property, std::int32_t value) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), Property(property), Value(value)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
    TRVCellIntProperty Property;
    std::int32_t Value;
};

/// Several old integer properties of the cell at (Row, Col).
class TRVUndoModifyCellIntProperties : public TCustomRVUndoTable {
public:
    TRVUndoModifyCellIntProperties(int itemNo, int row, int col,
                                   std::vector<std::pair<TRVCellIntProperty, std::int32_t>> values) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), Values(std::move(values))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
    std::vector<std::pair<TRVCellIntProperty, std::int32_t>> Values;
};

/// One old string property of the cell at (Row, Col).
class TRVUndoModifyCellStrProperty : public TCustomRVUndoTable {
public:
    TRVUndoModifyCellStrProperty(int itemNo, int row, int col, TRVCellStrProperty property, std::string value) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), Property(property), Value(std::move(value))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
    TRVCellStrProperty Property;
    std::string Value;
};

/// One old integer property of the table.
class TRVUndoModifyTableIntProperty : public TCustomRVUndoTable {
public:
    TRVUndoModifyTableIntProperty(int itemNo, TRVTableIntProperty property, std::int32_t value) noexcept
        : TCustomRVUndoTable(itemNo), Property(property), Value(value)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    TRVTableIntProperty Property;
    std::int32_t Value;
};

/// One old string property of the table.
class TRVUndoModifyTableStrProperty : public TCustomRVUndoTable {
public:
    TRVUndoModifyTableStrProperty(int itemNo, TRVTableStrProperty property, std::string value) noexcept
        : TCustomRVUndoTable(itemNo), Property(property), Value(std::move(value))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    TRVTableStrProperty Property;
    std::string Value;
};

/// The old visible borders of the table (Row -1) or of the cell at (Row, Col).
class TRVUndoModifyVisibleBorders : public TCustomRVUndoTable {
public:
    TRVUndoModifyVisibleBorders(int itemNo, int row, int col, const TRVBooleanRect& borders) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), Borders(borders)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
    TRVBooleanRect Borders;
};

/// The old background of the table (Row -1) or of the cell at (Row, Col): its style, and its
/// picture (null: none) when HasPicture.
class TRVUndoModifyBackgroundImage : public TCustomRVUndoTable {
public:
    TRVUndoModifyBackgroundImage(int itemNo, int row, int col, bool hasPicture, std::unique_ptr<TGraphic> picture,
                                 TRVItemBackgroundStyle style) noexcept
        : TCustomRVUndoTable(itemNo), Row(row), Col(col), HasPicture(hasPicture), Picture(std::move(picture)),
          Style(style)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Row, Col;
    bool HasPicture;
    std::unique_ptr<TGraphic> Picture;
    TRVItemBackgroundStyle Style;
};

} // namespace xq

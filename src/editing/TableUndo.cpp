// The steps of table editing and the records that take them back.
#include "editing/TableUndo.h"

#include "platform/DocViewError.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Property numbering

namespace {

constexpr std::int32_t TableOptionsMask = (1 << (rvtoIgnoreContentHeight + 1)) - 1;
constexpr std::int32_t TablePrintOptionsMask = (1 << (rvtoWhiteBackground + 1)) - 1;

std::int32_t ColorValue(TColor color) noexcept
{
    return static_cast<std::int32_t>(color);
}

TColor ToColor(std::int32_t value) noexcept
{
    return static_cast<TColor>(value);
}

} // namespace

std::int32_t TableIntPropertyOf(const TRVTableItemInfo& t, TRVTableIntProperty property) noexcept
{
    switch (property) {
    case rvtipOptions: return t.Options.Bits();
    case rvtipPrintOptions: return t.PrintOptions.Bits();
    case rvtipBestWidth: return t.BestWidth;
    case rvtipColor: return ColorValue(t.Color);
    case rvtipHeadingRowCount: return t.HeadingRowCount;
    case rvtipBorderWidth: return t.BorderWidth;
    case rvtipBorderColor: return ColorValue(t.BorderColor);
    case rvtipBorderLightColor: return ColorValue(t.BorderLightColor);
    case rvtipBorderStyle: return t.BorderStyle;
    case rvtipBorderVSpacing: return t.BorderVSpacing;
    case rvtipBorderHSpacing: return t.BorderHSpacing;
    case rvtipCellBorderWidth: return t.CellBorderWidth;
    case rvtipCellBorderColor: return ColorValue(t.CellBorderColor);
    case rvtipCellBorderLightColor: return ColorValue(t.CellBorderLightColor);
    case rvtipCellBorderStyle: return t.CellBorderStyle;
    case rvtipCellHPadding: return t.CellHPadding;
    case rvtipCellVPadding: return t.CellVPadding;
    case rvtipCellHSpacing: return t.CellHSpacing;
    case rvtipCellVSpacing: return t.CellVSpacing;
    case rvtipVRuleWidth: return t.VRuleWidth;
    case rvtipVRuleColor: return ColorValue(t.VRuleColor);
    case rvtipHRuleWidth: return t.HRuleWidth;
    case rvtipHRuleColor: return ColorValue(t.HRuleColor);
    case rvtipVOutermostRule: return t.VOutermostRule;
    case rvtipHOutermostRule: return t.HOutermostRule;
    }
    return 0;
}

bool ValidTableIntValue(TRVTableIntProperty property, std::int32_t value) noexcept
{
    switch (property) {
    case rvtipOptions: return (value & ~TableOptionsMask) == 0;
    case rvtipPrintOptions: return (value & ~TablePrintOptionsMask) == 0;
    case rvtipBorderStyle:
    case rvtipCellBorderStyle: return value >= rvtbRaised && value <= rvtbLoweredColor;
    case rvtipVOutermostRule:
    case rvtipHOutermostRule: return value == 0 || value == 1;
    case rvtipHeadingRowCount: return value >= 0;
    case rvtipBestWidth:
    case rvtipColor:
    case rvtipBorderWidth:
    case rvtipBorderColor:
    case rvtipBorderLightColor:
    case rvtipBorderVSpacing:
    case rvtipBorderHSpacing:
    case rvtipCellBorderWidth:
    case rvtipCellBorderColor:
    case rvtipCellBorderLightColor:
    case rvtipCellHPadding:
    case rvtipCellVPadding:
    case rvtipCellHSpacing:
    case rvtipCellVSpacing:
    case rvtipVRuleWidth:
    case rvtipVRuleColor:
    case rvtipHRuleWidth:
    case rvtipHRuleColor: return true;
    }
    return false;
}

namespace {

/// Sets a property whose value ValidTableIntValue accepted.
void AssignTableIntProperty(TRVTableItemInfo& t, TRVTableIntProperty property, std::int32_t v) noexcept
{
    switch (property) {
    case rvtipOptions: t.Options = TRVTableOptions::FromBits(static_cast<std::uint16_t>(v)); break;
    case rvtipPrintOptions: t.PrintOptions = TRVTablePrintOptions::FromBits(static_cast<std::uint8_t>(v)); break;
    case rvtipBestWidth: t.BestWidth = v; break;
    case rvtipColor: t.Color = ToColor(v); break;
    case rvtipHeadingRowCount: t.HeadingRowCount = v; break;
    case rvtipBorderWidth: t.BorderWidth = v; break;
    case rvtipBorderColor: t.BorderColor = ToColor(v); break;
    case rvtipBorderLightColor: t.BorderLightColor = ToColor(v); break;
    case rvtipBorderStyle: t.BorderStyle = static_cast<TRVTableBorderStyle>(v); break;
    case rvtipBorderVSpacing: t.BorderVSpacing = v; break;
    case rvtipBorderHSpacing: t.BorderHSpacing = v; break;
    case rvtipCellBorderWidth: t.CellBorderWidth = v; break;
    case rvtipCellBorderColor: t.CellBorderColor = ToColor(v); break;
    case rvtipCellBorderLightColor: t.CellBorderLightColor = ToColor(v); break;
    case rvtipCellBorderStyle: t.CellBorderStyle = static_cast<TRVTableBorderStyle>(v); break;
    case rvtipCellHPadding: t.CellHPadding = v; break;
    case rvtipCellVPadding: t.CellVPadding = v; break;
    case rvtipCellHSpacing: t.CellHSpacing = v; break;
    case rvtipCellVSpacing: t.CellVSpacing = v; break;
    case rvtipVRuleWidth: t.VRuleWidth = v; break;
    case rvtipVRuleColor: t.VRuleColor = ToColor(v); break;
    case rvtipHRuleWidth: t.HRuleWidth = v; break;
    case rvtipHRuleColor: t.HRuleColor = ToColor(v); break;
    case rvtipVOutermostRule: t.VOutermostRule = v != 0; break;
    case rvtipHOutermostRule: t.HOutermostRule = v != 0; break;
    }
}

void AssignCellIntProperty(TRVTableCellData& cell, TRVCellIntProperty property, std::int32_t v) noexcept
{
    switch (property) {
    case rvcipColor: cell.Color = ToColor(v); break;
    case rvcipBorderColor: cell.BorderColor = ToColor(v); break;
    case rvcipBorderLightColor: cell.BorderLightColor = ToColor(v); break;
    case rvcipBestWidth: cell.BestWidth = v; break;
    case rvcipBestHeight: cell.BestHeight = v; break;
    case rvcipVAlign: cell.VAlign = static_cast<TRVCellVAlign>(v); break;
    }
}

std::string* TableStrField(TRVTableItemInfo& t, TRVTableStrProperty property) noexcept
{
    switch (property) {
    case rvtspTextRowSeparator: return &t.TextRowSeparator;
    case rvtspTextColSeparator: return &t.TextColSeparator;
    }
    return nullptr;
}

std::string* CellStrField(TRVTableCellData& cell, TRVCellStrProperty property) noexcept
{
    switch (property) {
    case rvcspBackgroundImageFileName: return &cell.BackgroundImageFileName;
    case rvcspHint: return &cell.Hint;
    }
    return nullptr;
}

} // namespace

std::int32_t CellIntPropertyOf(const TRVTableCellData& cell, TRVCellIntProperty property) noexcept
{
    switch (property) {
    case rvcipColor: return ColorValue(cell.Color);
    case rvcipBorderColor: return ColorValue(cell.BorderColor);
    case rvcipBorderLightColor: return ColorValue(cell.BorderLightColor);
    case rvcipBestWidth: return cell.BestWidth;
    case rvcipBestHeight: return cell.BestHeight;
    case rvcipVAlign: return cell.VAlign;
    }
    return 0;
}

bool ValidCellIntValue(TRVCellIntProperty property, std::int32_t value) noexcept
{
    switch (property) {
    case rvcipVAlign: return value >= rvcTop && value <= rvcVDefault;
    case rvcipColor:
    case rvcipBorderColor:
    case rvcipBorderLightColor:
    case rvcipBestWidth:
    case rvcipBestHeight: return true;
    }
    return false;
}

std::string TableStrPropertyOf(const TRVTableItemInfo& table, TRVTableStrProperty property)
{
    const std::string* field = TableStrField(const_cast<TRVTableItemInfo&>(table), property);
    return field ? *field : std::string();
}

std::string CellStrPropertyOf(const TRVTableCellData& cell, TRVCellStrProperty property)
{
    const std::string* field = CellStrField(const_cast<TRVTableCellData&>(cell), property);
    return field ? *field : std::string();
}

// ---------------------------------------------------------------------------------------------
// Steps

namespace {

TRVTableItemInfo& TableItemAt(TCustomRVData& data, int itemNo)
{
    auto* table = dynamic_cast<TRVTableItemInfo*>(&data.ItemAt(itemNo));
    if (!table)
        throw EDocViewError(errCantGetSetInfo);
    return *table;
}

} // namespace

TRVTableSteps::TRVTableSteps(TCustomRVData& data, int itemNo)
    : Data_(data), ItemNo_(itemNo), Table_(TableItemAt(data, itemNo))
{
}

void TRVTableSteps::Changing()
{
    Data_.ItemChanging(ItemNo_);
}

void TRVTableSteps::Done()
{
    // The selection is editor state that no step keeps: what no longer fits the grid goes.
    const int rows = Table_.RowCount(), cols = Table_.ColCount();
    const auto inside = [&](int r, int c) { return r >= 0 && c >= 0 && r < rows && c < cols; };
    int startRow = 0, startCol = 0, rowOffs = 0, colOffs = 0;
    if (Table_.GetCellRectangle(startRow, startCol, rowOffs, colOffs) &&
        (!inside(startRow, startCol) || !inside(startRow + rowOffs, startCol + colOffs)))
        Table_.Deselect();
    int editedRow = -1, editedCol = -1;
    Table_.GetEditedCell(editedRow, editedCol);
    if (editedRow >= 0 && (!inside(editedRow, editedCol) || !Table_.Rows[editedRow][editedCol]))
        Table_.SetEditedCell(-1, -1);
    Table_.Changed();
}

TRVTableCellData& TRVTableSteps::CellAt(int row, int col) const
{
    TRVTableCellData* cell = Table_.Cells(row, col);
    if (!cell)
        throw EDocViewError(errInvalidRowCol);
    return *cell;
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::InsertRows(int index, TRows rows)
{
    const int count = static_cast<int>(rows.size());
    Changing();
    TRVTableGridEdit(Table_).InsertRows(index, std::move(rows));
    Done();
    return std::make_unique<TRVUndoInsertTableRows>(ItemNo_, index, count);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::DeleteRows(int first, int count)
{
    Changing();
    TRows rows = TRVTableGridEdit(Table_).ExtractRows(first, count);
    Done();
    return std::make_unique<TRVUndoDeleteRows>(ItemNo_, first, std::move(rows));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::InsertCols(int index, TColumns cells)
{
    const int count = cells.empty() ? 0 : static_cast<int>(cells.front().size());
    Changing();
    TRVTableGridEdit(Table_).InsertCols(index, std::move(cells));
    Done();
    return std::make_unique<TRVUndoInsertTableCols>(ItemNo_, index, count);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::DeleteCols(int first, int count)
{
    Changing();
    TColumns cells = TRVTableGridEdit(Table_).ExtractCols(first, count);
    Done();
    return std::make_unique<TRVUndoDeleteCols>(ItemNo_, first, std::move(cells));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::InsertCell(int row, int col, std::unique_ptr<TRVTableCellData> cell)
{
    Changing();
    TRVTableGridEdit(Table_).PutCell(row, col, std::move(cell));
    Done();
    return std::make_unique<TRVUndoInsertTableCell>(ItemNo_, row, col);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::RemoveCell(int row, int col)
{
    Changing();
    std::unique_ptr<TRVTableCellData> cell = TRVTableGridEdit(Table_).TakeCell(row, col);
    Done();
    return std::make_unique<TRVUndoRemoveTableCell>(ItemNo_, row, col, std::move(cell));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::MoveCell(int fromRow, int fromCol, int toRow, int toCol)
{
    Changing();
    TRVTableGridEdit(Table_).MoveCell(fromRow, fromCol, toRow, toCol);
    Done();
    return std::make_unique<TRVUndoMoveTableCell>(ItemNo_, toRow, toCol, fromRow, fromCol);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetSpans(int row, int col, int colSpan, int rowSpan)
{
    const TRVTableCellData& cell = CellAt(row, col);
    const int oldColSpan = cell.ColSpan(), oldRowSpan = cell.RowSpan();
    Changing();
    TRVTableGridEdit(Table_).SetSpans(row, col, colSpan, rowSpan);
    Done();
    return std::make_unique<TRVUndoSpan>(ItemNo_, row, col, oldColSpan, oldRowSpan);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::MergeItem(int targetRow, int targetCol, int row, int col)
{
    TRVTableCellData& target = CellAt(targetRow, targetCol);
    TRVTableCellData& cell = CellAt(row, col);
    Changing();
    int count = 0;
    if (!cell.HasNoContent()) {
        std::vector<TRVItemEntry> items = cell.ExtractItems(0, cell.Count());
        count = static_cast<int>(items.size());
        target.InsertItems(target.Count(), std::move(items));
    }
    std::unique_ptr<TRVTableCellData> taken = TRVTableGridEdit(Table_).TakeCell(row, col);
    Done();
    return std::make_unique<TRVUndoMergeItem>(ItemNo_, targetRow, targetCol, row, col, count, std::move(taken));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::UnmergeItem(int targetRow, int targetCol, int row, int col, int count,
                                                        std::unique_ptr<TRVTableCellData> cell)
{
    TRVTableCellData& target = CellAt(targetRow, targetCol);
    Changing();
    TRVTableCellData& placed = *cell;
    // Placed first, so that the items arrive in a cell that knows its container.
    TRVTableGridEdit(Table_).PutCell(row, col, std::move(cell));
    if (count > 0)
        placed.InsertItems(0, target.ExtractItems(target.Count() - count, count));
    Done();
    return std::make_unique<TRVRedoMergeItem>(ItemNo_, targetRow, targetCol, row, col);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::ReplaceContent(std::vector<TRVCellContent> contents)
{
    Changing();
    std::vector<TRVCellContent> old;
    old.reserve(contents.size());
    for (TRVCellContent& content : contents) {
        TRVTableCellData& cell = CellAt(content.Row, content.Col);
        old.push_back({content.Row, content.Col, cell.ExtractItems(0, cell.Count())});
        cell.InsertItems(0, std::move(content.Items));
    }
    Done();
    return std::make_unique<TRVUndoCellsClear>(ItemNo_, std::move(old));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetCellIntProperty(int row, int col, TRVCellIntProperty property,
                                                               std::int32_t value)
{
    TRVTableCellData& cell = CellAt(row, col);
    const std::int32_t old = CellIntPropertyOf(cell, property);
    Changing();
    AssignCellIntProperty(cell, property, value);
    Done();
    return std::make_unique<TRVUndoModifyCellIntProperty>(ItemNo_, row, col, property, old);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetCellIntProperties(
    int row, int col, std::vector<std::pair<TRVCellIntProperty, std::int32_t>> values)
{
    TRVTableCellData& cell = CellAt(row, col);
    Changing();
    // Set in order, so that the old values, set back in the reverse order, undo a property
    // given twice too.
    std::vector<std::pair<TRVCellIntProperty, std::int32_t>> old;
    old.reserve(values.size());
    for (auto it = values.rbegin(); it != values.rend(); ++it)
        old.emplace_back(it->first, CellIntPropertyOf(cell, it->first));
    for (const auto& [property, value] : values)
        AssignCellIntProperty(cell, property, value);
    Done();
    return std::make_unique<TRVUndoModifyCellIntProperties>(ItemNo_, row, col, std::move(old));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetCellStrProperty(int row, int col, TRVCellStrProperty property,
                                                               std::string value)
{
    std::string* field = CellStrField(CellAt(row, col), property);
    if (!field)
        throw EDocViewError(errCantGetSetInfo);
    Changing();
    std::swap(*field, value);
    Done();
    return std::make_unique<TRVUndoModifyCellStrProperty>(ItemNo_, row, col, property, std::move(value));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetTableIntProperty(TRVTableIntProperty property, std::int32_t value)
{
    const std::int32_t old = TableIntPropertyOf(Table_, property);
    Changing();
    AssignTableIntProperty(Table_, property, value);
    Done();
    return std::make_unique<TRVUndoModifyTableIntProperty>(ItemNo_, property, old);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetTableStrProperty(TRVTableStrProperty property, std::string value)
{
    std::string* field = TableStrField(Table_, property);
    if (!field)
        throw EDocViewError(errCantGetSetInfo);
    Changing();
    std::swap(*field, value);
    Done();
    return std::make_unique<TRVUndoModifyTableStrProperty>(ItemNo_, property, std::move(value));
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetVisibleBorders(int row, int col, const TRVBooleanRect& borders)
{
    TRVBooleanRect& field = row < 0 ? Table_.VisibleBorders : CellAt(row, col).VisibleBorders;
    const TRVBooleanRect old = field;
    Changing();
    field = borders;
    Done();
    return std::make_unique<TRVUndoModifyVisibleBorders>(ItemNo_, row, col, old);
}

std::unique_ptr<TRVUndoInfo> TRVTableSteps::SetBackground(int row, int col, bool setPicture,
                                                          std::unique_ptr<TGraphic> picture,
                                                          TRVItemBackgroundStyle style)
{
    TRVTableCellData* cell = row < 0 ? nullptr : &CellAt(row, col);
    std::unique_ptr<TGraphic>& image = cell ? cell->BackgroundImage : Table_.BackgroundImage;
    TRVItemBackgroundStyle& field = cell ? cell->BackgroundStyle : Table_.BackgroundStyle;
    const TRVItemBackgroundStyle old = field;
    Changing();
    if (setPicture)
        std::swap(image, picture);
    field = style;
    Done();
    return std::make_unique<TRVUndoModifyBackgroundImage>(ItemNo_, row, col, setPicture, std::move(picture), old);
}

// ---------------------------------------------------------------------------------------------
// Records

void TRVUndoInsertTableRows::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).DeleteRows(First, Count));
}

void TRVUndoDeleteRows::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).InsertRows(First, std::move(Rows)));
}

void TRVUndoInsertTableCols::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).DeleteCols(First, Count));
}

void TRVUndoDeleteCols::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).InsertCols(First, std::move(Cells)));
}

void TRVUndoInsertTableCell::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).RemoveCell(Row, Col));
}

void TRVUndoRemoveTableCell::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).InsertCell(Row, Col, std::move(Cell)));
}

void TRVUndoMoveTableCell::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).MoveCell(Row, Col, FromRow, FromCol));
}

void TRVUndoSpan::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetSpans(Row, Col, ColSpan, RowSpan));
}

void TRVUndoMergeItem::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).UnmergeItem(TargetRow, TargetCol, Row, Col, Count, std::move(Cell)));
}

void TRVRedoMergeItem::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).MergeItem(TargetRow, TargetCol, Row, Col));
}

void TRVUndoCellsClear::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).ReplaceContent(std::move(Contents)));
}

void TRVUndoModifyCellIntProperty::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetCellIntProperty(Row, Col, Property, Value));
}

void TRVUndoModifyCellIntProperties::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetCellIntProperties(Row, Col, std::move(Values)));
}

void TRVUndoModifyCellStrProperty::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetCellStrProperty(Row, Col, Property, std::move(Value)));
}

void TRVUndoModifyTableIntProperty::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetTableIntProperty(Property, Value));
}

void TRVUndoModifyTableStrProperty::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetTableStrProperty(Property, std::move(Value)));
}

void TRVUndoModifyVisibleBorders::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetVisibleBorders(Row, Col, Borders));
}

void TRVUndoModifyBackgroundImage::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(TRVTableSteps(data, ItemNo).SetBackground(Row, Col, HasPicture, std::move(Picture), Style));
}

} // namespace xq

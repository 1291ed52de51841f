// The editing operations of a table, each made of recorded steps.
#include "editing/TableEditing.h"

#include <algorithm>
#include <limits>

#include "document/RVStyle.h"
#include "platform/DocViewError.h"
#include "tables/TableRvf.h"

namespace xq {

namespace {

/// A table may not grow beyond what a document stream can hold.
constexpr std::int64_t MaxEditedTableSlots = MaxTableSlotsInStream;

[[noreturn]] void InvalidRowCol()
{
    throw EDocViewError(errInvalidRowCol);
}

std::int32_t ClampToInt32(std::int64_t v) noexcept
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

/// value * numerator div denominator without overflow.
std::int32_t Scaled(std::int32_t value, int numerator, int denominator) noexcept
{
    return ClampToInt32(std::int64_t{value} * numerator / denominator);
}

/// A width or height shared out over n parts; a non-zero value never becomes 0.
std::int32_t SharedLength(std::int32_t value, int parts) noexcept
{
    const std::int32_t share = value / parts;
    if (share == 0 && value != 0)
        return value > 0 ? 1 : -1;
    return share;
}

/// One empty paragraph in the paragraph style of source's first paragraph and the text style of
/// its first text item (text style and paragraph style 0 without one).
std::vector<TRVItemEntry> EmptyParagraphLike(const TCustomRVData* source, const TCustomRVData& into)
{
    int paraNo = 0, styleNo = 0;
    const TRVStyle* sheet = into.GetRVStyle();
    bool unicode = sheet && sheet->TextStyles.Count() > 0 && sheet->TextStyles.StyleAt(0).Unicode;
    if (source && source->Count() > 0) {
        paraNo = std::max(source->ParaOf(0), 0);
        for (int i = 0; i < source->Count() && (i == 0 || !source->StartsParagraph(i)); ++i)
            if (source->ItemAt(i).IsText()) {
                styleNo = source->StyleOf(i);
                unicode = source->ItemAt(i).IsUnicode();
                break;
            }
    }
    auto item = std::make_unique<TRVTextItemInfo>(styleNo);
    item->ParaNo = paraNo;
    item->SetUnicode(unicode);
    std::vector<TRVItemEntry> items;
    items.push_back({std::string(), std::move(item)});
    return items;
}

} // namespace

TRVTableChanges::TRVTableChanges(TCustomRVData& data, int itemNo, TRVUndoList* recording)
    : Steps_(data, itemNo), Recording_(recording)
{
}

void TRVTableChanges::Record(std::unique_ptr<TRVUndoInfo> record)
{
    if (Recording_)
        Recording_->AddInfo(std::move(record));
}

void TRVTableChanges::CellStart(int row, int col, int& top, int& left) const
{
    if (!Table().GetCellAt(row, col, top, left))
        InvalidRowCol();
}

TRVTableCellData* TRVTableChanges::EditedCell() const
{
    const TRVTableItemInfo& t = Table();
    int row = -1, col = -1;
    t.GetEditedCell(row, col);
    if (row < 0 || col < 0 || row >= t.RowCount() || col >= t.ColCount())
        return nullptr;
    return t.Rows[row][col];
}

void TRVTableChanges::KeepEdited(TRVTableCellData* cell)
{
    int row = -1, col = -1;
    if (!cell || !Table().GetCellPosition(cell, row, col))
        row = col = -1;
    Table().SetEditedCell(row, col);
}

bool TRVTableChanges::SelectedCells(std::vector<TRVTableCellData*>& cells) const
{
    const TRVTableItemInfo& t = Table();
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!t.GetSelectionBounds(top, left, rows, cols))
        return false;
    cells.clear();
    for (int r = top; r < top + rows; ++r)
        for (int c = left; c < left + cols; ++c)
            if (TRVTableCellData* cell = t.Rows[r][c])
                cells.push_back(cell);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Inserting

void TRVTableChanges::InsertRowsAt(int index, int count, int sourceRow, bool adjustHeights, int copyLeft,
                                   int copyRight)
{
    TRVTableItemInfo& t = Table();
    const int cols = t.ColCount();
    // The cells that grow over the new rows: those reaching from above over the place, and,
    // outside the copied columns, those over the source row.
    struct TPos {
        int Row, Col;
    };
    std::vector<TPos> grown;
    std::vector<bool> covered(std::size_t(cols), false);
    for (int c = 0; c < cols; ++c) {
        if (covered[std::size_t(c)])
            continue;
        int top = -1, left = -1;
        const TRVTableCellData* cell = nullptr;
        if (index < t.RowCount() && index > 0) {
            cell = t.GetCellAt(index, c, top, left);
            if (cell && top >= index)
                cell = nullptr;
        }
        if (!cell && (c < copyLeft || c >= copyRight))
            cell = t.GetCellAt(index - 1, c, top, left);
        if (!cell)
            continue;
        grown.push_back({top, left});
        for (int k = left; k < left + cell->ColSpan(); ++k)
            covered[std::size_t(k)] = true;
    }

    // The source cells, whose heights may be shared out before they are copied.
    std::vector<int> sourceSpan(std::size_t(cols), 0);
    if (sourceRow >= 0)
        for (int c = 0; c < cols;) {
            const TRVTableCellData* source = t.Rows[sourceRow][c];
            if (covered[std::size_t(c)] || !source) {
                ++c;
                continue;
            }
            int span = 1;
            while (span < source->ColSpan() && c + span < cols && !covered[std::size_t(c + span)])
                ++span;
            sourceSpan[std::size_t(c)] = span;
            c += span;
        }
    for (const TPos& p : grown) {
        const TRVTableCellData& cell = *t.Rows[p.Row][p.Col];
        Record(Steps_.SetSpans(p.Row, p.Col, cell.ColSpan(), cell.RowSpan() + count));
    }
    if (adjustHeights && sourceRow >= 0)
        for (int c = 0; c < cols; ++c)
            if (sourceSpan[std::size_t(c)] > 0) {
                const TRVTableCellData& source = *t.Rows[sourceRow][c];
                const std::int32_t height = Scaled(source.BestHeight, source.RowSpan(), count + source.RowSpan());
                if (height != source.BestHeight)
                    Record(Steps_.SetCellIntProperty(sourceRow, c, rvcipBestHeight, height));
            }

    TRVTableGridEdit grid(t);
    TRVTableGridEdit::TRows rows;
    rows.reserve(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        auto row = std::make_unique<TRVTableRow>(cols);
        if (sourceRow >= 0)
            row->RowVAlign = t.Rows[sourceRow].RowVAlign;
        for (int c = 0; c < cols;) {
            if (covered[std::size_t(c)]) {
                ++c;
                continue;
            }
            std::unique_ptr<TRVTableCellData> cell = grid.NewCell();
            int span = 1;
            if (const int sourceCols = sourceSpan[std::size_t(c)]; sourceCols > 0) {
                const TRVTableCellData& source = *t.Rows[sourceRow][c];
                cell->AssignProperties(source);
                cell->InsertItems(0, EmptyParagraphLike(&source, *cell));
                span = sourceCols;
            } else {
                cell->InsertItems(0, EmptyParagraphLike(nullptr, *cell));
            }
            TRVTableGridEdit::SetSpans(*cell, span, 1);
            TRVTableGridEdit::PutInRow(*row, c, std::move(cell));
            c += span;
        }
        rows.push_back(std::move(row));
    }
    Record(Steps_.InsertRows(index, std::move(rows)));
}

void TRVTableChanges::InsertColsAt(int index, int count, int sourceCol, bool adjustWidths, int copyTop,
                                   int copyBottom)
{
    TRVTableItemInfo& t = Table();
    const int rows = t.RowCount();
    struct TPos {
        int Row, Col;
    };
    std::vector<TPos> grown;
    std::vector<bool> covered(std::size_t(rows), false);
    for (int r = 0; r < rows; ++r) {
        if (covered[std::size_t(r)])
            continue;
        int top = -1, left = -1;
        const TRVTableCellData* cell = nullptr;
        if (index < t.ColCount() && index > 0) {
            cell = t.GetCellAt(r, index, top, left);
            if (cell && left >= index)
                cell = nullptr;
        }
        if (!cell && (r < copyTop || r >= copyBottom))
            cell = t.GetCellAt(r, index - 1, top, left);
        if (!cell)
            continue;
        grown.push_back({top, left});
        for (int k = top; k < top + cell->RowSpan(); ++k)
            covered[std::size_t(k)] = true;
    }

    std::vector<int> sourceSpan(std::size_t(rows), 0);
    if (sourceCol >= 0)
        for (int r = 0; r < rows;) {
            const TRVTableCellData* source = t.Rows[r][sourceCol];
            if (covered[std::size_t(r)] || !source) {
                ++r;
                continue;
            }
            int span = 1;
            while (span < source->RowSpan() && r + span < rows && !covered[std::size_t(r + span)])
                ++span;
            sourceSpan[std::size_t(r)] = span;
            r += span;
        }
    for (const TPos& p : grown) {
        const TRVTableCellData& cell = *t.Rows[p.Row][p.Col];
        Record(Steps_.SetSpans(p.Row, p.Col, cell.ColSpan() + count, cell.RowSpan()));
    }
    if (adjustWidths && sourceCol >= 0)
        for (int r = 0; r < rows; ++r)
            if (sourceSpan[std::size_t(r)] > 0) {
                const TRVTableCellData& source = *t.Rows[r][sourceCol];
                const std::int32_t width = Scaled(source.BestWidth, source.ColSpan(), count + source.ColSpan());
                if (width != source.BestWidth)
                    Record(Steps_.SetCellIntProperty(r, sourceCol, rvcipBestWidth, width));
            }

    TRVTableGridEdit grid(t);
    TRVTableGridEdit::TColumns cells(static_cast<std::size_t>(rows));
    for (auto& slots : cells)
        slots.resize(std::size_t(count));
    for (int r = 0; r < rows;) {
        if (covered[std::size_t(r)]) {
            ++r;
            continue;
        }
        int span = 1;
        const TRVTableCellData* source = nullptr;
        if (const int sourceRows = sourceSpan[std::size_t(r)]; sourceRows > 0) {
            source = t.Rows[r][sourceCol];
            span = sourceRows;
        }
        for (int k = 0; k < count; ++k) {
            std::unique_ptr<TRVTableCellData> cell = grid.NewCell();
            if (source)
                cell->AssignProperties(*source);
            cell->InsertItems(0, EmptyParagraphLike(source, *cell));
            TRVTableGridEdit::SetSpans(*cell, 1, span);
            cells[std::size_t(r)][std::size_t(k)] = std::move(cell);
        }
        r += span;
    }
    Record(Steps_.InsertCols(index, std::move(cells)));
}

void TRVTableChanges::InsertRows(int index, int count, int sourceRow, bool adjustHeights)
{
    TRVTableItemInfo& t = Table();
    const int rows = t.RowCount(), cols = t.ColCount();
    if (cols == 0 || index < 0 || index > rows || count < 1 || sourceRow < -1 || sourceRow >= rows ||
        (std::int64_t{rows} + count) * cols > MaxEditedTableSlots)
        InvalidRowCol();
    TRVTableCellData* edited = EditedCell();
    InsertRowsAt(index, count, sourceRow, adjustHeights, 0, cols);
    KeepEdited(edited);
    t.Select(index, 0, count - 1, cols - 1);
}

void TRVTableChanges::InsertCols(int index, int count, int sourceCol, bool adjustWidths)
{
    TRVTableItemInfo& t = Table();
    const int rows = t.RowCount(), cols = t.ColCount();
    if (rows == 0 || index < 0 || index > cols || count < 1 || sourceCol < -1 || sourceCol >= cols ||
        (std::int64_t{cols} + count) * rows > MaxEditedTableSlots)
        InvalidRowCol();
    TRVTableCellData* edited = EditedCell();
    InsertColsAt(index, count, sourceCol, adjustWidths, 0, rows);
    KeepEdited(edited);
    t.Select(0, index, rows - 1, count - 1);
}

bool TRVTableChanges::InsertRowsAbove(int count)
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    InsertRows(top, count, top, false);
    return true;
}

bool TRVTableChanges::InsertRowsBelow(int count)
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    InsertRows(top + rows, count, top + rows - 1, false);
    return true;
}

bool TRVTableChanges::InsertColsLeft(int count)
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    InsertCols(left, count, left, true);
    return true;
}

bool TRVTableChanges::InsertColsRight(int count)
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    InsertCols(left + cols, count, left + cols - 1, true);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Deleting

void TRVTableChanges::RemoveRows(int first, int count, bool adjustHeights)
{
    TRVTableItemInfo& t = Table();
    const int end = first + count, cols = t.ColCount();
    // The cells reaching into the rows from above, found while the grid is whole.
    struct TPos {
        int Row, Col;
    };
    std::vector<TPos> above;
    if (first > 0)
        for (int c = 0; c < cols;) {
            int top = -1, left = -1;
            const TRVTableCellData* cell = t.GetCellAt(first, c, top, left);
            if (cell && top < first)
                above.push_back({top, left});
            c = cell ? left + cell->ColSpan() : c + 1;
        }
    // Cells starting in the rows and reaching below them move down below them.
    for (int r = first; r < end; ++r)
        for (int c = 0; c < cols; ++c) {
            const TRVTableCellData* cell = t.Rows[r][c];
            if (!cell || r + cell->RowSpan() <= end)
                continue;
            const int colSpan = cell->ColSpan(), rowSpan = r + cell->RowSpan() - end;
            Record(Steps_.MoveCell(r, c, end, c));
            Record(Steps_.SetSpans(end, c, colSpan, rowSpan));
        }
    for (const TPos& p : above) {
        const TRVTableCellData& cell = *t.Rows[p.Row][p.Col];
        const int span = cell.RowSpan();
        const int newSpan = p.Row + span > end ? span - count : first - p.Row;
        if (adjustHeights && cell.BestHeight != 0) {
            const std::int32_t height = Scaled(cell.BestHeight, newSpan, span);
            if (height != cell.BestHeight)
                Record(Steps_.SetCellIntProperty(p.Row, p.Col, rvcipBestHeight, height));
        }
        Record(Steps_.SetSpans(p.Row, p.Col, cell.ColSpan(), newSpan));
    }
    Record(Steps_.DeleteRows(first, count));
}

void TRVTableChanges::RemoveCols(int first, int count, bool adjustWidths)
{
    TRVTableItemInfo& t = Table();
    const int end = first + count, rows = t.RowCount();
    struct TPos {
        int Row, Col;
    };
    std::vector<TPos> before;
    if (first > 0)
        for (int r = 0; r < rows;) {
            int top = -1, left = -1;
            const TRVTableCellData* cell = t.GetCellAt(r, first, top, left);
            if (cell && left < first)
                before.push_back({top, left});
            r = cell ? top + cell->RowSpan() : r + 1;
        }
    for (int r = 0; r < rows; ++r)
        for (int c = first; c < end; ++c) {
            const TRVTableCellData* cell = t.Rows[r][c];
            if (!cell || c + cell->ColSpan() <= end)
                continue;
            const int colSpan = c + cell->ColSpan() - end, rowSpan = cell->RowSpan();
            Record(Steps_.MoveCell(r, c, r, end));
            Record(Steps_.SetSpans(r, end, colSpan, rowSpan));
        }
    for (const TPos& p : before) {
        const TRVTableCellData& cell = *t.Rows[p.Row][p.Col];
        const int span = cell.ColSpan();
        const int newSpan = p.Col + span > end ? span - count : first - p.Col;
        if (adjustWidths && cell.BestWidth != 0) {
            const std::int32_t width = Scaled(cell.BestWidth, newSpan, span);
            if (width != cell.BestWidth)
                Record(Steps_.SetCellIntProperty(p.Row, p.Col, rvcipBestWidth, width));
        }
        Record(Steps_.SetSpans(p.Row, p.Col, newSpan, cell.RowSpan()));
    }
    Record(Steps_.DeleteCols(first, count));
}

void TRVTableChanges::DeleteRows(int first, int count, bool adjustHeights)
{
    TRVTableItemInfo& t = Table();
    const int rows = t.RowCount();
    if (first < 0 || first >= rows || count < 1)
        InvalidRowCol();
    count = std::min(count, rows - first);
    int editedRow = -1, editedCol = -1;
    t.GetEditedCell(editedRow, editedCol);
    RemoveRows(first, count, adjustHeights);
    t.Deselect();
    if (t.RowCount() > 0 && t.Options.Contains(rvtoEditing) && editedRow >= 0 && editedCol >= 0) {
        const int row = std::min(editedRow >= first + count ? editedRow - count : editedRow, t.RowCount() - 1);
        int top = -1, left = -1;
        CellStart(row, std::min(editedCol, t.ColCount() - 1), top, left);
        t.SetEditedCell(top, left);
    } else {
        t.SetEditedCell(-1, -1);
    }
}

void TRVTableChanges::DeleteCols(int first, int count, bool adjustWidths)
{
    TRVTableItemInfo& t = Table();
    const int cols = t.ColCount();
    if (first < 0 || first >= cols || count < 1)
        InvalidRowCol();
    count = std::min(count, cols - first);
    if (count == cols) {
        // Rows without columns are no grid.
        DeleteRows(0, t.RowCount(), false);
        return;
    }
    int editedRow = -1, editedCol = -1;
    t.GetEditedCell(editedRow, editedCol);
    RemoveCols(first, count, adjustWidths);
    t.Deselect();
    if (t.ColCount() > 0 && t.Options.Contains(rvtoEditing) && editedRow >= 0 && editedCol >= 0) {
        const int col = std::min(editedCol >= first + count ? editedCol - count : editedCol, t.ColCount() - 1);
        int top = -1, left = -1;
        CellStart(std::min(editedRow, t.RowCount() - 1), col, top, left);
        t.SetEditedCell(top, left);
    } else {
        t.SetEditedCell(-1, -1);
    }
}

bool TRVTableChanges::DeleteSelectedRows()
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    int editedRow = -1, editedCol = -1;
    Table().GetEditedCell(editedRow, editedCol);
    if (editedRow < 0)
        Table().SetEditedCell(top, left); // editing goes on near the rectangle
    DeleteRows(top, rows, true);
    return true;
}

bool TRVTableChanges::DeleteSelectedCols()
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    int editedRow = -1, editedCol = -1;
    Table().GetEditedCell(editedRow, editedCol);
    if (editedRow < 0)
        Table().SetEditedCell(top, left);
    DeleteCols(left, cols, true);
    return true;
}

void TRVTableChanges::DeleteEmptyRows()
{
    TRVTableItemInfo& t = Table();
    TRVTableCellData* edited = EditedCell();
    bool deleted = false;
    for (int r = t.RowCount() - 1; r >= 0; --r) {
        bool empty = true;
        for (int c = 0; c < t.ColCount() && empty; ++c)
            empty = t.Rows[r][c] == nullptr;
        if (empty) {
            RemoveRows(r, 1, false);
            deleted = true;
        }
    }
    if (deleted)
        KeepEdited(edited);
}

void TRVTableChanges::DeleteEmptyCols()
{
    TRVTableItemInfo& t = Table();
    TRVTableCellData* edited = EditedCell();
    bool deleted = false;
    for (int c = t.ColCount() - 1; c >= 0; --c) {
        bool empty = true;
        for (int r = 0; r < t.RowCount() && empty; ++r)
            empty = t.Rows[r][c] == nullptr;
        if (empty) {
            RemoveCols(c, 1, false);
            deleted = true;
        }
    }
    if (deleted)
        KeepEdited(edited);
}

// ---------------------------------------------------------------------------------------------
// Merging and unmerging

bool TRVTableChanges::MergeCells(int topRow, int leftCol, int colSpan, int rowSpan, bool allowAnyRectangle)
{
    TRVTableItemInfo& t = Table();
    const int rows = t.RowCount(), cols = t.ColCount();
    if (topRow < 0 || topRow >= rows || leftCol < 0 || leftCol >= cols)
        InvalidRowCol();
    colSpan = std::min(colSpan, cols - leftCol);
    rowSpan = std::min(rowSpan, rows - topRow);
    if (colSpan == 1 && rowSpan == 1)
        return false;
    if (colSpan < 1 || rowSpan < 1)
        throw EDocViewError(errMergeParams);
    TRVTableCellData* target = t.Rows[topRow][leftCol];
    if (!target || (target->ColSpan() == colSpan && target->RowSpan() == rowSpan))
        return false;
    const int bottom = topRow + rowSpan, right = leftCol + colSpan;

    // Cells do not overlap, so the rectangle is made of whole cells exactly when the cells
    // starting in it stay inside it and their areas add up to its own.
    std::int64_t area = 0;
    struct TPos {
        int Row, Col;
    };
    std::vector<TPos> absorbed;
    bool content = false;
    for (int r = topRow; r < bottom; ++r)
        for (int c = leftCol; c < right; ++c)
            if (const TRVTableCellData* cell = t.Rows[r][c]) {
                if (c + cell->ColSpan() > right || r + cell->RowSpan() > bottom)
                    return false;
                area += std::int64_t{cell->ColSpan()} * cell->RowSpan();
                if (cell != target) {
                    absorbed.push_back({r, c});
                    content = content || !cell->HasNoContent();
                }
            }
    if (area != std::int64_t{colSpan} * rowSpan)
        return false;
    if (!allowAnyRectangle) {
        // Each merged-away column and row must keep a cell outside the rectangle.
        for (int c = leftCol + 1; c < right; ++c) {
            bool kept = false;
            for (int r = 0; r < rows && !kept; ++r)
                kept = (r < topRow || r >= bottom) && t.Rows[r][c];
            if (!kept)
                return false;
        }
        for (int r = topRow + 1; r < bottom; ++r) {
            bool kept = false;
            for (int c = 0; c < cols && !kept; ++c)
                kept = (c < leftCol || c >= right) && t.Rows[r][c];
            if (!kept)
                return false;
        }
    }

    // The combined width of the merged columns, from the cells along the top row.
    std::int64_t width = 0;
    int pixels = 0, percents = 0, cellsAlong = 0;
    for (int c = leftCol; c < right;) {
        const TRVTableCellData& cell = *t.Rows[topRow][c];
        width += cell.BestWidth;
        pixels += cell.BestWidth > 0;
        percents += cell.BestWidth < 0;
        ++cellsAlong;
        c += cell.ColSpan();
    }
    std::int32_t bestWidth = 0;
    if (pixels == cellsAlong)
        bestWidth = ClampToInt32(width);
    else if (percents == cellsAlong)
        bestWidth = ClampToInt32(std::max<std::int64_t>(width, -100));

    TRVTableCellData* edited = EditedCell();
    int editedRow = -1, editedCol = -1;
    t.GetEditedCell(editedRow, editedCol);
    if (content && target->HasNoContent()) {
        // The merged cell's empty paragraph gives way to the content it receives.
        std::vector<TRVCellContent> none;
        none.push_back({topRow, leftCol, {}});
        Record(Steps_.ReplaceContent(std::move(none)));
    }
    for (const TPos& p : absorbed)
        Record(Steps_.MergeItem(topRow, leftCol, p.Row, p.Col));
    if (bestWidth != target->BestWidth)
        Record(Steps_.SetCellIntProperty(topRow, leftCol, rvcipBestWidth, bestWidth));
    Record(Steps_.SetSpans(topRow, leftCol, colSpan, rowSpan));
    if (editedRow >= topRow && editedRow < bottom && editedCol >= leftCol && editedCol < right)
        t.SetEditedCell(topRow, leftCol);
    else
        KeepEdited(edited);
    return true;
}

bool TRVTableChanges::MergeSelectedCells(bool allowAnyRectangle)
{
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!Table().GetSelectionBounds(top, left, rows, cols))
        return false;
    return MergeCells(top, left, cols, rows, allowAnyRectangle);
}

bool TRVTableChanges::UnmergeCell(int row, int col, bool rows, bool cols)
{
    TRVTableItemInfo& t = Table();
    TRVTableCellData* cell = t.Cells(row, col);
    if (!cell)
        return false;
    const int colSpan = cell->ColSpan(), rowSpan = cell->RowSpan();
    const bool splitCols = cols && colSpan > 1;
    const bool splitRows = rows && rowSpan > 1;
    if (!splitCols && !splitRows)
        return false;
    std::vector<std::pair<TRVCellIntProperty, std::int32_t>> sizes;
    if (splitCols && SharedLength(cell->BestWidth, colSpan) != cell->BestWidth)
        sizes.emplace_back(rvcipBestWidth, SharedLength(cell->BestWidth, colSpan));
    if (splitRows && SharedLength(cell->BestHeight, rowSpan) != cell->BestHeight)
        sizes.emplace_back(rvcipBestHeight, SharedLength(cell->BestHeight, rowSpan));
    if (!sizes.empty())
        Record(Steps_.SetCellIntProperties(row, col, std::move(sizes)));
    const int partCols = splitCols ? 1 : colSpan;
    const int partRows = splitRows ? 1 : rowSpan;
    Record(Steps_.SetSpans(row, col, partCols, partRows));
    TRVTableGridEdit grid(t);
    for (int r = row; r < row + rowSpan; r += partRows)
        for (int c = col; c < col + colSpan; c += partCols) {
            if (r == row && c == col)
                continue;
            std::unique_ptr<TRVTableCellData> part = grid.NewCell();
            part->AssignProperties(*cell);
            TRVTableGridEdit::SetSpans(*part, partCols, partRows);
            part->ResetToEmptyParagraph(nullptr);
            Record(Steps_.InsertCell(r, c, std::move(part)));
        }
    return true;
}

bool TRVTableChanges::UnmergeSelectedCells(bool rows, bool cols)
{
    std::vector<TRVTableCellData*> cells;
    if (!SelectedCells(cells))
        return false;
    bool changed = false;
    for (TRVTableCellData* cell : cells) {
        int row = 0, col = 0;
        if (Table().GetCellPosition(cell, row, col))
            changed = UnmergeCell(row, col, rows, cols) || changed;
    }
    return changed;
}

// ---------------------------------------------------------------------------------------------
// Splitting

bool TRVTableChanges::SplitFits(int count, std::size_t cells, bool vertically) const
{
    const TRVTableItemInfo& t = Table();
    // Each cell adds at most count - 1 columns (rows).
    const std::int64_t added = (std::int64_t{count} - 1) * static_cast<std::int64_t>(cells);
    const std::int64_t across = vertically ? t.RowCount() : t.ColCount();
    const std::int64_t along = vertically ? t.ColCount() : t.RowCount();
    return count <= MaxEditedTableSlots && added <= MaxEditedTableSlots && (along + added) * across <= MaxEditedTableSlots;
}

int TRVTableChanges::SplitCellVertically(int row, int col, int count)
{
    TRVTableItemInfo& t = Table();
    const int width = t.Rows[row][col]->ColSpan(), height = t.Rows[row][col]->RowSpan();
    if (width > 1)
        UnmergeCell(row, col, false, true);
    if (width >= count) {
        // The columns go back together in count groups, from the right.
        int right = col + width, columns = width;
        for (int groups = count; groups > 0; --groups) {
            const int size = columns / groups;
            const int left = right - size;
            if (size > 1)
                MergeCells(row, left, size, height, true);
            right = left;
            columns -= size;
        }
        return 0;
    }
    int parts = count;
    for (int j = width - 1; j >= 0; --j) {
        const int k = parts / (j + 1);
        if (k > 1)
            InsertColsAt(col + j + 1, k - 1, col + j, true, row, row + height);
        parts -= k;
    }
    return count - width;
}

int TRVTableChanges::SplitCellHorizontally(int row, int col, int count)
{
    TRVTableItemInfo& t = Table();
    const int width = t.Rows[row][col]->ColSpan(), height = t.Rows[row][col]->RowSpan();
    if (height > 1)
        UnmergeCell(row, col, true, false);
    if (height >= count) {
        int bottom = row + height, rows = height;
        for (int groups = count; groups > 0; --groups) {
            const int size = rows / groups;
            const int top = bottom - size;
            if (size > 1)
                MergeCells(top, col, width, size, true);
            bottom = top;
            rows -= size;
        }
        return 0;
    }
    int parts = count;
    for (int j = height - 1; j >= 0; --j) {
        const int k = parts / (j + 1);
        if (k > 1)
            InsertRowsAt(row + j + 1, k - 1, row + j, true, col, col + width);
        parts -= k;
    }
    return count - height;
}

int TRVTableChanges::SplitSelectedCellsVertically(int count)
{
    TRVTableItemInfo& t = Table();
    int top = 0, left = 0, rows = 0, cols = 0;
    std::vector<TRVTableCellData*> cells;
    if (count <= 1 || !t.GetSelectionBounds(top, left, rows, cols) || !SelectedCells(cells) ||
        !SplitFits(count, cells.size(), true))
        return 0;
    TRVTableCellData* edited = EditedCell();
    const bool rectangle = t.HasCellRectangle();
    int added = 0;
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
        int row = 0, col = 0;
        if (t.GetCellPosition(*it, row, col))
            added += SplitCellVertically(row, col, count);
    }
    KeepEdited(edited);
    if (rectangle || added > 0)
        t.Select(top, left, rows - 1, cols - 1 + added);
    return added;
}

int TRVTableChanges::SplitSelectedCellsHorizontally(int count)
{
    TRVTableItemInfo& t = Table();
    int top = 0, left = 0, rows = 0, cols = 0;
    std::vector<TRVTableCellData*> cells;
    if (count <= 1 || !t.GetSelectionBounds(top, left, rows, cols) || !SelectedCells(cells) ||
        !SplitFits(count, cells.size(), false))
        return 0;
    TRVTableCellData* edited = EditedCell();
    const bool rectangle = t.HasCellRectangle();
    int added = 0;
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
        int row = 0, col = 0;
        if (t.GetCellPosition(*it, row, col))
            added += SplitCellHorizontally(row, col, count);
    }
    KeepEdited(edited);
    if (rectangle || added > 0)
        t.Select(top, left, rows - 1 + added, cols - 1);
    return added;
}

// ---------------------------------------------------------------------------------------------
// Clearing and properties

bool TRVTableChanges::ClearSelectedCells()
{
    std::vector<TRVTableCellData*> cells;
    if (!SelectedCells(cells))
        return false;
    std::vector<TRVCellContent> contents;
    for (TRVTableCellData* cell : cells) {
        if (cell->HasNoContent())
            continue;
        int row = 0, col = 0;
        Table().GetCellPosition(cell, row, col);
        contents.push_back({row, col, EmptyParagraphLike(cell, *cell)});
    }
    if (contents.empty())
        return false;
    Record(Steps_.ReplaceContent(std::move(contents)));
    return true;
}

void TRVTableChanges::SetTableIntProperty(TRVTableIntProperty property, std::int32_t value)
{
    if (ValidTableIntValue(property, value) && TableIntPropertyOf(Table(), property) != value)
        Record(Steps_.SetTableIntProperty(property, value));
}

void TRVTableChanges::SetTableStrProperty(TRVTableStrProperty property, std::string value)
{
    if (property <= rvtspTextColSeparator && TableStrPropertyOf(Table(), property) != value)
        Record(Steps_.SetTableStrProperty(property, std::move(value)));
}

void TRVTableChanges::SetCellIntProperty(int row, int col, TRVCellIntProperty property, std::int32_t value)
{
    int top = -1, left = -1;
    CellStart(row, col, top, left);
    if (ValidCellIntValue(property, value) && CellIntPropertyOf(*Table().Rows[top][left], property) != value)
        Record(Steps_.SetCellIntProperty(top, left, property, value));
}

void TRVTableChanges::SetCellStrProperty(int row, int col, TRVCellStrProperty property, std::string value)
{
    int top = -1, left = -1;
    CellStart(row, col, top, left);
    if (property <= rvcspHint && CellStrPropertyOf(*Table().Rows[top][left], property) != value)
        Record(Steps_.SetCellStrProperty(top, left, property, std::move(value)));
}

void TRVTableChanges::SetTableVisibleBorders(const TRVBooleanRect& borders)
{
    if (!(Table().VisibleBorders == borders))
        Record(Steps_.SetVisibleBorders(-1, -1, borders));
}

void TRVTableChanges::SetCellVisibleBorders(int row, int col, const TRVBooleanRect& borders)
{
    int top = -1, left = -1;
    CellStart(row, col, top, left);
    if (!(Table().Rows[top][left]->VisibleBorders == borders))
        Record(Steps_.SetVisibleBorders(top, left, borders));
}

void TRVTableChanges::SetTableBackground(std::unique_ptr<TGraphic> picture, TRVItemBackgroundStyle style)
{
    const TRVTableItemInfo& t = Table();
    if (style > rvbsCentered)
        return;
    const bool samePicture = !picture || GraphicsEqual(picture.get(), t.BackgroundImage.get());
    if (samePicture && style == t.BackgroundStyle)
        return;
    Record(Steps_.SetBackground(-1, -1, !samePicture, std::move(picture), style));
}

void TRVTableChanges::SetCellBackground(int row, int col, std::unique_ptr<TGraphic> picture,
                                        TRVItemBackgroundStyle style)
{
    int top = -1, left = -1;
    CellStart(row, col, top, left);
    const TRVTableCellData& cell = *Table().Rows[top][left];
    if (style > rvbsCentered)
        return;
    const bool samePicture = !picture || GraphicsEqual(picture.get(), cell.BackgroundImage.get());
    if (samePicture && style == cell.BackgroundStyle)
        return;
    Record(Steps_.SetBackground(top, left, !samePicture, std::move(picture), style));
}

} // namespace xq

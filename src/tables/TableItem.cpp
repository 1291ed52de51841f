// The table item: creating, copying and merging grids, and finding the cell that covers a slot.
#include "tables/TableItem.h"

#include <algorithm>
#include <atomic>

#include "document/RVStyle.h"
#include "lists/Numbering.h"
#include "platform/DocViewError.h"

namespace xq {

namespace {

std::uint64_t NewGridStamp() noexcept
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Cells and rows

TRVTableCellData::TRVTableCellData(TRVTableItemInfo* table, TCustomRVData* parent) noexcept
    : TCustomRVData(parent), Table_(table)
{
}

TRVTableCellData::~TRVTableCellData() = default;

void TRVTableCellData::AssignProperties(const TRVTableCellData& source)
{
    if (&source == this)
        return;
    static_cast<TRVTableCellProperties&>(*this) = source;
    BackgroundImage = source.BackgroundImage ? source.BackgroundImage->Clone() : nullptr;
}

bool TRVTableCellData::HasNoContent() const
{
    return Count() == 0 || (Count() == 1 && ItemAt(0).IsText() && TextAt(0).empty());
}

void TRVTableCellData::ResetToEmptyParagraph(const TRVStyle* sheet)
{
    Clear();
    if (!sheet)
        sheet = GetRVStyle();
    auto item = std::make_unique<TRVTextItemInfo>(0);
    item->ParaNo = 0;
    item->SetUnicode(sheet && sheet->TextStyles.StyleAt(0).Unicode);
    AppendItem({}, std::move(item));
}

TRVTableRow::TRVTableRow(int colCount) : Cells_(static_cast<std::size_t>(colCount)) {}

TRVTableRow::~TRVTableRow() = default;

// ---------------------------------------------------------------------------------------------
// The table

TRVTableItemInfo::TRVTableItemInfo() noexcept : TRVFullLineItemInfo(rvsTable), GridStamp_(NewGridStamp()) {}

TRVTableItemInfo::TRVTableItemInfo(int rows, int cols, TCustomRVData* owner)
    : TRVFullLineItemInfo(rvsTable), GridStamp_(NewGridStamp())
{
    if (rows < 0 || cols < 0 || (rows > 0 && cols == 0))
        throw EDocViewError(errInvalidRowCol);
    // The cells stay detached until the table is inserted; the owner only tells the sheet.
    const TRVStyle* sheet = owner ? owner->GetRVStyle() : nullptr;
    Rows.Rows_.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        auto row = std::make_unique<TRVTableRow>(cols);
        for (int c = 0; c < cols; ++c) {
            row->Cells_[std::size_t(c)] = NewCell();
            row->Cells_[std::size_t(c)]->ResetToEmptyParagraph(sheet);
        }
        Rows.Rows_.push_back(std::move(row));
    }
    CellsChanged();
}

TRVTableItemInfo::~TRVTableItemInfo() = default;

std::unique_ptr<TRVTableCellData> TRVTableItemInfo::NewCell()
{
    return std::make_unique<TRVTableCellData>(this, Owner_);
}

void TRVTableItemInfo::CheckSlot(int row, int col) const
{
    if (row < 0 || row >= RowCount() || col < 0 || col >= ColCount())
        throw EDocViewError(errInvalidRowCol);
}

TRVTableCellData* TRVTableItemInfo::Cells(int row, int col) const
{
    CheckSlot(row, col);
    return Rows[row][col];
}

TRVTableCellData* TRVTableItemInfo::GetCellAt(int row, int col, int& topRow, int& leftCol) const
{
    CheckSlot(row, col);
    // In each row from this one upwards, only the nearest cell at or left of the column can
    // reach the slot; when it does not, the covering cell starts in a row above.
    for (int r = row; r >= 0; --r) {
        for (int c = col; c >= 0; --c) {
            TRVTableCellData* cell = Rows[r][c];
            if (!cell)
                continue;
            if (c + cell->ColSpan_ > col && r + cell->RowSpan_ > row) {
                topRow = r;
                leftCol = c;
                return cell;
            }
            break;
        }
    }
    topRow = leftCol = -1;
    return nullptr; // only a grid that breaks the invariants gets here
}

bool TRVTableItemInfo::GetCellPosition(const TRVTableCellData* cell, int& row, int& col) const noexcept
{
    if (!cell || cell->Table_ != this)
        return false;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (Rows[r][c] == cell) {
                row = r;
                col = c;
                return true;
            }
    return false;
}

TColor TRVTableItemInfo::GetCellColor(int row, int col) const
{
    int top = 0, left = 0;
    const TRVTableCellData* cell = GetCellAt(row, col, top, left);
    return cell && cell->Color != clNone ? cell->Color : Color;
}

TRVCellVAlign TRVTableItemInfo::GetCellVAlign(int row, int col) const
{
    int top = 0, left = 0;
    const TRVTableCellData* cell = GetCellAt(row, col, top, left);
    if (cell && cell->VAlign != rvcVDefault)
        return cell->VAlign;
    const TRVCellVAlign rowAlign = Rows[cell ? top : row].RowVAlign;
    return rowAlign != rvcVDefault ? rowAlign : rvcMiddle;
}

bool TRVTableItemInfo::MergeCells(int topRow, int leftCol, int colSpan, int rowSpan)
{
    CheckSlot(topRow, leftCol);
    colSpan = std::min(colSpan, ColCount() - leftCol);
    rowSpan = std::min(rowSpan, RowCount() - topRow);
    if (colSpan == 1 && rowSpan == 1)
        return false;
    if (colSpan < 1 || rowSpan < 1)
        throw EDocViewError(errMergeParams);
    TRVTableCellData* target = Rows[topRow][leftCol];
    if (!target || (target->ColSpan_ == colSpan && target->RowSpan_ == rowSpan))
        return false;

    // Cells do not overlap, so the rectangle is made of whole cells exactly when the cells that
    // start in it stay inside it and their areas add up to its own.
    std::int64_t area = 0;
    for (int r = topRow; r < topRow + rowSpan; ++r)
        for (int c = leftCol; c < leftCol + colSpan; ++c)
            if (const TRVTableCellData* cell = Rows[r][c]) {
                if (c + cell->ColSpan_ > leftCol + colSpan || r + cell->RowSpan_ > topRow + rowSpan)
                    return false;
                area += std::int64_t{cell->ColSpan_} * cell->RowSpan_;
            }
    if (area != std::int64_t{colSpan} * rowSpan)
        return false;

    for (int r = topRow; r < topRow + rowSpan; ++r)
        for (int c = leftCol; c < leftCol + colSpan; ++c) {
            std::unique_ptr<TRVTableCellData>& slot = Rows[r].Cells_[std::size_t(c)];
            if (!slot || slot.get() == target)
                continue;
            if (!slot->HasNoContent()) {
                // An empty paragraph of the merged cell gives way to the content it receives.
                if (target->HasNoContent())
                    target->Clear();
                target->InsertItemsFrom(*slot, target->Count());
            }
            slot.reset();
        }
    target->ColSpan_ = colSpan;
    target->RowSpan_ = rowSpan;
    CellsChanged();
    return true;
}

namespace {

/// A width or height shared out over n parts; a non-zero value never becomes 0.
std::int32_t SharedLength(std::int32_t value, int parts)
{
    const std::int32_t share = value / parts;
    if (share == 0 && value != 0)
        return value > 0 ? 1 : -1;
    return share;
}

} // namespace

bool TRVTableItemInfo::UnmergeCell(int row, int col, bool rows, bool cols)
{
    CheckSlot(row, col);
    TRVTableCellData* cell = Rows[row][col];
    if (!cell)
        return false;
    const int colSpan = cell->ColSpan_, rowSpan = cell->RowSpan_;
    const bool splitCols = cols && colSpan > 1;
    const bool splitRows = rows && rowSpan > 1;
    if (!splitCols && !splitRows)
        return false;
    if (splitCols)
        cell->BestWidth = SharedLength(cell->BestWidth, colSpan);
    if (splitRows)
        cell->BestHeight = SharedLength(cell->BestHeight, rowSpan);
    const int partCols = splitCols ? 1 : colSpan;
    const int partRows = splitRows ? 1 : rowSpan;
    for (int r = row; r < row + rowSpan; r += partRows)
        for (int c = col; c < col + colSpan; c += partCols) {
            if (r == row && c == col)
                continue;
            std::unique_ptr<TRVTableCellData> part = NewCell();
            part->AssignProperties(*cell);
            part->ColSpan_ = partCols;
            part->RowSpan_ = partRows;
            part->ResetToEmptyParagraph(nullptr);
            Rows[r].Cells_[std::size_t(c)] = std::move(part);
        }
    cell->ColSpan_ = partCols;
    cell->RowSpan_ = partRows;
    CellsChanged();
    return true;
}

void TRVTableItemInfo::RemoveAllRows() noexcept
{
    Rows.Rows_.clear();
    CellsChanged();
}

bool TRVTableItemInfo::CheckGrid() const
{
    const int rows = RowCount(), cols = ColCount();
    if (rows > 0 && cols == 0)
        return false;
    std::vector<int> covers(std::size_t(rows) * std::size_t(cols), 0);
    std::size_t cellCount = 0;
    for (int r = 0; r < rows; ++r) {
        if (Rows[r].Count() != cols)
            return false;
        for (int c = 0; c < cols; ++c) {
            const TRVTableCellData* cell = Rows[r][c];
            if (!cell)
                continue;
            if (cell->Table_ != this || cell->ColSpan_ < 1 || cell->RowSpan_ < 1 ||
                cell->ColSpan_ > cols - c || cell->RowSpan_ > rows - r)
                return false;
            if (cellCount >= CellList_.size() || CellList_[cellCount] != cell)
                return false;
            ++cellCount;
            for (int rr = r; rr < r + cell->RowSpan_; ++rr)
                for (int cc = c; cc < c + cell->ColSpan_; ++cc) {
                    if ((rr != r || cc != c) && Rows[rr][cc])
                        return false;
                    ++covers[std::size_t(rr) * std::size_t(cols) + std::size_t(cc)];
                }
        }
    }
    if (cellCount != CellList_.size())
        return false;
    for (const int n : covers)
        if (n != 1)
            return false;
    return true;
}

void TRVTableItemInfo::CellsChanged()
{
    CellList_.clear();
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < Rows[r].Count(); ++c)
            if (TRVTableCellData* cell = Rows[r][c]) {
                cell->Table_ = this;
                cell->AttachTo(Owner_);
                CellList_.push_back(cell);
            }
    GridStamp_ = NewGridStamp();
}

void TRVTableItemInfo::Changed() noexcept
{
    GridStamp_ = NewGridStamp();
}

void TRVTableItemInfo::Select(int startRow, int startCol, int rowOffs, int colOffs)
{
    CheckSlot(startRow, startCol);
    CheckSlot(startRow + rowOffs, startCol + colOffs);
    SelStartRow_ = startRow;
    SelStartCol_ = startCol;
    SelRowOffs_ = rowOffs;
    SelColOffs_ = colOffs;
}

void TRVTableItemInfo::Deselect() noexcept
{
    SelStartRow_ = SelStartCol_ = -1;
    SelRowOffs_ = SelColOffs_ = 0;
}

bool TRVTableItemInfo::GetCellRectangle(int& startRow, int& startCol, int& rowOffs, int& colOffs) const noexcept
{
    if (SelStartRow_ < 0)
        return false;
    startRow = SelStartRow_;
    startCol = SelStartCol_;
    rowOffs = SelRowOffs_;
    colOffs = SelColOffs_;
    return true;
}

bool TRVTableItemInfo::GetSelectionBounds(int& topRow, int& leftCol, int& rowCount, int& colCount) const
{
    const int rows = RowCount(), cols = ColCount();
    auto inside = [&](int r, int c) { return r >= 0 && c >= 0 && r < rows && c < cols; };
    if (SelStartRow_ >= 0 && inside(SelStartRow_, SelStartCol_) &&
        inside(SelStartRow_ + SelRowOffs_, SelStartCol_ + SelColOffs_)) {
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
        const TRVTableCellData* a = GetCellAt(SelStartRow_, SelStartCol_, r1, c1);
        const TRVTableCellData* b = GetCellAt(SelStartRow_ + SelRowOffs_, SelStartCol_ + SelColOffs_, r2, c2);
        topRow = std::min(r1, r2);
        leftCol = std::min(c1, c2);
        const int bottom = std::max(r1 + a->RowSpan(), r2 + b->RowSpan());
        const int right = std::max(c1 + a->ColSpan(), c2 + b->ColSpan());
        rowCount = std::min(bottom, rows) - topRow;
        colCount = std::min(right, cols) - leftCol;
        return true;
    }
    if (EditedRow_ >= 0 && inside(EditedRow_, EditedCol_))
        if (const TRVTableCellData* cell = Rows[EditedRow_][EditedCol_]) {
            topRow = EditedRow_;
            leftCol = EditedCol_;
            rowCount = std::min(cell->RowSpan(), rows - topRow);
            colCount = std::min(cell->ColSpan(), cols - leftCol);
            return true;
        }
    return false;
}

bool TRVTableItemInfo::GetNormalizedSelectionBounds(int& topRow, int& leftCol, int& rowCount, int& colCount) const
{
    if (!GetSelectionBounds(topRow, leftCol, rowCount, colCount))
        return false;
    // Grow the rectangle while a cell on one of its edges reaches out of it.
    int top = topRow, left = leftCol, bottom = topRow + rowCount, right = leftCol + colCount;
    for (bool grown = true; grown;) {
        grown = false;
        auto take = [&](int r, int c) {
            int cr = 0, cc = 0;
            const TRVTableCellData* cell = GetCellAt(r, c, cr, cc);
            const int cb = std::min(cr + cell->RowSpan(), RowCount());
            const int ce = std::min(cc + cell->ColSpan(), ColCount());
            if (cr < top || cc < left || cb > bottom || ce > right) {
                top = std::min(top, cr);
                left = std::min(left, cc);
                bottom = std::max(bottom, cb);
                right = std::max(right, ce);
                grown = true;
            }
        };
        for (int c = left; c < right && !grown; ++c) {
            take(top, c);
            take(bottom - 1, c);
        }
        for (int r = top; r < bottom && !grown; ++r) {
            take(r, left);
            take(r, right - 1);
        }
    }
    topRow = top;
    leftCol = left;
    rowCount = bottom - top;
    colCount = right - left;
    return true;
}

bool TRVTableItemInfo::IsCellSelected(int row, int col) const
{
    if (SelStartRow_ < 0)
        return false;
    int top = 0, left = 0, rows = 0, cols = 0;
    return GetSelectionBounds(top, left, rows, cols) && row >= top && row < top + rows && col >= left &&
           col < left + cols;
}

TCustomRVData* TRVTableItemInfo::SubDocument(int index) const noexcept
{
    return index >= 0 && index < SubDocumentCount() ? CellList_[std::size_t(index)] : nullptr;
}

std::unique_ptr<TCustomRVItemInfo> TRVTableItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVTableItemInfo>();
}

void TRVTableItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVFullLineItemInfo::Assign(source);
    const auto* s = dynamic_cast<const TRVTableItemInfo*>(&source);
    if (!s || s == this)
        return;
    static_cast<TRVTableProperties&>(*this) = *s;
    BackgroundImage = s->BackgroundImage ? s->BackgroundImage->Clone() : nullptr;

    std::vector<std::unique_ptr<TRVTableRow>> rows;
    rows.reserve(s->Rows.Rows_.size());
    for (const auto& from : s->Rows.Rows_) {
        auto row = std::make_unique<TRVTableRow>(from->Count());
        row->RowVAlign = from->RowVAlign;
        row->RowPageBreakBefore = from->RowPageBreakBefore;
        for (int c = 0; c < from->Count(); ++c) {
            const TRVTableCellData* cell = (*from)[c];
            if (!cell)
                continue;
            std::unique_ptr<TRVTableCellData> copy = NewCell();
            copy->AssignProperties(*cell);
            copy->ColSpan_ = cell->ColSpan_;
            copy->RowSpan_ = cell->RowSpan_;
            copy->AssignDocument(*cell);
            row->Cells_[std::size_t(c)] = std::move(copy);
        }
        rows.push_back(std::move(row));
    }
    Rows.Rows_ = std::move(rows);
    CellsChanged();
}

void TRVTableItemInfo::OnInserted(TCustomRVData& owner, int index)
{
    Owner_ = &owner;
    const bool numbered = owner.GetRVStyle() != nullptr;
    for (TRVTableCellData* cell : CellList_) {
        cell->AttachTo(&owner);
        // Markers and sequences placed while the cell had no style sheet get their numbers now.
        if (numbered)
            RenumberAll(*cell);
    }
}

void TRVTableItemInfo::OnRemoving(TCustomRVData& owner)
{
    // A table taken out may outlive the container it came from.
    Owner_ = nullptr;
    for (TRVTableCellData* cell : CellList_)
        cell->AttachTo(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Building a grid slot by slot

std::unique_ptr<TRVTableItemInfo> NewInsertedTable(int columns, int rows, bool usePreferredWidth,
                                                   std::int32_t preferredWidth, TCustomRVData* owner)
{
    auto table = std::make_unique<TRVTableItemInfo>(rows, columns, owner);
    table->Color = clNone;
    table->BorderStyle = table->CellBorderStyle = rvtbColor;
    table->BorderColor = table->BorderLightColor = 0;
    table->CellBorderColor = table->CellBorderLightColor = 0;
    table->BorderWidth = table->CellBorderWidth = 1;
    table->BorderVSpacing = table->BorderHSpacing = -1;
    table->CellVSpacing = table->CellHSpacing = -1;
    table->SetCellPadding(5);
    table->VRuleWidth = table->HRuleWidth = 0;
    table->BestWidth = usePreferredWidth && preferredWidth != 10000 ? preferredWidth : 0;
    return table;
}

TRVTableGridBuilder::TRVTableGridBuilder(TRVTableItemInfo& table, int rows, int cols, std::int64_t maxSlots)
    : Table_(table), Rows_(rows), Cols_(cols)
{
    Accepted_ = table.RowCount() == 0 && rows >= 0 && cols >= 0 && (rows == 0 || cols > 0) &&
                std::int64_t{rows} * cols <= maxSlots;
    if (!Accepted_)
        return;
    Total_ = std::int64_t{rows} * cols;
    Covered_.assign(static_cast<std::size_t>(Total_), false);
    auto& built = table.Rows.Rows_;
    built.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        built.push_back(std::make_unique<TRVTableRow>(cols));
}

TRVTableGridBuilder::~TRVTableGridBuilder()
{
    if (!Finished_)
        (void)Finish();
}

void TRVTableGridBuilder::Advance() noexcept
{
    while (Next_ < Total_ && Covered_[static_cast<std::size_t>(Next_)])
        ++Next_;
}

TRVTableCellData* TRVTableGridBuilder::PlaceNext(int colSpan, int rowSpan, bool* cut)
{
    if (!Accepted_ || Finished_ || Complete())
        return nullptr;
    const int row = static_cast<int>(Next_ / Cols_);
    const int col = static_cast<int>(Next_ % Cols_);
    const auto slot = [this](int r, int c) { return std::size_t(r) * std::size_t(Cols_) + std::size_t(c); };
    const int wantedCols = colSpan, wantedRows = rowSpan;
    colSpan = std::clamp(colSpan, 1, Cols_ - col);
    rowSpan = std::clamp(rowSpan, 1, Rows_ - row);
    // The slot itself is free (Advance skipped the covered ones); stop short of taken slots.
    for (int c = col + 1; c < col + colSpan; ++c)
        if (Covered_[slot(row, c)]) {
            colSpan = c - col;
            break;
        }
    for (int r = row + 1; r < row + rowSpan; ++r) {
        bool taken = false;
        for (int c = col; c < col + colSpan && !taken; ++c)
            taken = Covered_[slot(r, c)];
        if (taken) {
            rowSpan = r - row;
            break;
        }
    }
    if (cut)
        *cut = colSpan != wantedCols || rowSpan != wantedRows;
    for (int r = row; r < row + rowSpan; ++r)
        for (int c = col; c < col + colSpan; ++c)
            Covered_[slot(r, c)] = true;
    std::unique_ptr<TRVTableCellData> cell = Table_.NewCell();
    cell->ColSpan_ = colSpan;
    cell->RowSpan_ = rowSpan;
    TRVTableCellData* placed = cell.get();
    Table_.Rows[row].Cells_[std::size_t(col)] = std::move(cell);
    Advance();
    return placed;
}

bool TRVTableGridBuilder::Finish()
{
    Finished_ = true;
    const bool ok = Accepted_ && Complete();
    if (Accepted_ && !ok)
        Table_.Rows.Rows_.clear(); // what was built is no grid
    Table_.CellsChanged();
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Raw grid steps

void TRVTableGridEdit::InsertRows(int index, TRows rows)
{
    auto& all = Table_.Rows.Rows_;
    all.insert(all.begin() + index, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    Table_.CellsChanged();
}

TRVTableGridEdit::TRows TRVTableGridEdit::ExtractRows(int first, int count)
{
    auto& all = Table_.Rows.Rows_;
    TRows taken(std::make_move_iterator(all.begin() + first), std::make_move_iterator(all.begin() + first + count));
    all.erase(all.begin() + first, all.begin() + first + count);
    for (const auto& row : taken)
        for (const auto& cell : row->Cells_)
            if (cell)
                cell->AttachTo(nullptr);
    Table_.CellsChanged();
    return taken;
}

void TRVTableGridEdit::InsertCols(int index, TColumns cells)
{
    for (int r = 0; r < Table_.RowCount(); ++r) {
        auto& slots = Table_.Rows[r].Cells_;
        auto& added = cells[std::size_t(r)];
        slots.insert(slots.begin() + index, std::make_move_iterator(added.begin()),
                     std::make_move_iterator(added.end()));
    }
    Table_.CellsChanged();
}

TRVTableGridEdit::TColumns TRVTableGridEdit::ExtractCols(int first, int count)
{
    TColumns taken(static_cast<std::size_t>(Table_.RowCount()));
    for (int r = 0; r < Table_.RowCount(); ++r) {
        auto& slots = Table_.Rows[r].Cells_;
        auto& out = taken[std::size_t(r)];
        out.assign(std::make_move_iterator(slots.begin() + first), std::make_move_iterator(slots.begin() + first + count));
        slots.erase(slots.begin() + first, slots.begin() + first + count);
        for (const auto& cell : out)
            if (cell)
                cell->AttachTo(nullptr);
    }
    Table_.CellsChanged();
    return taken;
}

void TRVTableGridEdit::PutCell(int row, int col, std::unique_ptr<TRVTableCellData> cell)
{
    Table_.Rows[row].Cells_[std::size_t(col)] = std::move(cell);
    Table_.CellsChanged();
}

std::unique_ptr<TRVTableCellData> TRVTableGridEdit::TakeCell(int row, int col)
{
    std::unique_ptr<TRVTableCellData> cell = std::move(Table_.Rows[row].Cells_[std::size_t(col)]);
    if (cell)
        cell->AttachTo(nullptr);
    Table_.CellsChanged();
    return cell;
}

void TRVTableGridEdit::MoveCell(int fromRow, int fromCol, int toRow, int toCol)
{
    Table_.Rows[toRow].Cells_[std::size_t(toCol)] = std::move(Table_.Rows[fromRow].Cells_[std::size_t(fromCol)]);
    Table_.CellsChanged();
}

void TRVTableGridEdit::SetSpans(int row, int col, int colSpan, int rowSpan)
{
    if (TRVTableCellData* cell = Table_.Rows[row][col])
        SetSpans(*cell, colSpan, rowSpan);
    Table_.Changed();
}

} // namespace xq

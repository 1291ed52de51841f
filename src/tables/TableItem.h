// Tables: the table item, its rows of slots, and its cells, each cell a document of its own.
//
//   TABLE = ROW*                  every row has exactly ColCount slots
//   SLOT  = CELL | covered        a covered slot lies under a merged cell to its left and/or above
//   CELL  = PARAGRAPH*            a complete sub-document (items, pictures, nested tables)
//
// Invariants, kept by every operation here and checked by CheckGrid:
// - a cell at (r, c) with ColSpan w and RowSpan h covers (r..r+h-1, c..c+w-1) and lies inside
//   the grid; only (r, c) holds it, the other slots it covers are empty;
// - every empty slot is covered by exactly one cell, and no two cells cover the same slot.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/Graphic.h"
#include "document/ItemInfo.h"
#include "document/ParaInfo.h"
#include "document/RVData.h"
#include "platform/Color.h"
#include "platform/Set.h"

namespace xq {

class TRVStyle;
class TRVTableItemInfo;
class TRVTableGridEdit;

// The engine's table messages, word for word.
inline constexpr const char* errInvalidRowCol = "Invalid row or column index";
inline constexpr const char* errMergeParams = "Parameters for cell merging are not correct";

/// Behaviour switches of a table.
enum TRVTableOption : std::uint8_t {
    rvtoEditing,
    rvtoRowSizing,
    rvtoColSizing,
    rvtoRowSelect,
    rvtoColSelect,
    rvtoNoCellSelect,
    rvtoRTFSaveCellPixelBestWidth,
    rvtoRTFAllowAutofit,
    rvtoHideGridLines,
    rvtoOverlappingCorners,
    rvtoCellBelowBorders,
    rvtoIgnoreContentWidth,
    rvtoIgnoreContentHeight,
};
using TRVTableOptions = TSet<TRVTableOption, std::uint16_t>;
inline constexpr TRVTableOptions RVTableDefaultOptions{rvtoEditing, rvtoRowSizing, rvtoColSizing, rvtoRowSelect,
                                                       rvtoColSelect};

/// Printing switches of a table.
enum TRVTablePrintOption : std::uint8_t { rvtoHalftoneBorders, rvtoRowsSplit, rvtoWhiteBackground };
using TRVTablePrintOptions = TSet<TRVTablePrintOption, std::uint8_t>;
inline constexpr TRVTablePrintOptions RVTableDefaultPrintOptions{rvtoHalftoneBorders, rvtoRowsSplit};

enum TRVTableBorderStyle : std::uint8_t { rvtbRaised, rvtbLowered, rvtbColor, rvtbRaisedColor, rvtbLoweredColor };

/// Vertical placement of a cell's content; rvcVDefault takes the row's.
enum TRVCellVAlign : std::uint8_t { rvcTop, rvcMiddle, rvcBottom, rvcVDefault };

/// How the background picture of a table or cell is drawn; rvbsColor draws no picture.
enum TRVItemBackgroundStyle : std::uint8_t { rvbsColor, rvbsStretched, rvbsTiled, rvbsCentered };

/// A requested width: positive pixels, negative percent of the available width (-50 is 50 %),
/// 0 automatic.
using TRVHTMLLength = std::int32_t;

/// The look of a cell, apart from its background picture.
struct TRVTableCellProperties {
    TColor Color = clNone;            ///< clNone: the table's colour shows
    TColor BorderColor = clNone;      ///< clNone: the table's cell border colours apply
    TColor BorderLightColor = clNone;
    TRVHTMLLength BestWidth = 0;      ///< negative: percent of the table's available width
    std::int32_t BestHeight = 0;      ///< 0: automatic
    TRVBooleanRect VisibleBorders;
    TRVCellVAlign VAlign = rvcVDefault;
    TRVItemBackgroundStyle BackgroundStyle = rvbsColor;
    std::string BackgroundImageFileName; ///< UTF-8
    std::string Hint;                    ///< UTF-8
};

/// One cell: a container inside the table, with its own look. Where it stands and how its
/// content is laid out belong to each layout of the table (tables/TableLayout.h).
class TRVTableCellData : public TCustomRVData, public TRVTableCellProperties {
public:
    /// A cell of table (may be null for a cell not yet placed), inside parent (the container that
    /// holds the table; null while the table is not in one).
    TRVTableCellData(TRVTableItemInfo* table, TCustomRVData* parent) noexcept;
    ~TRVTableCellData() override;

    std::unique_ptr<TGraphic> BackgroundImage;

    [[nodiscard]] int ColSpan() const noexcept { return ColSpan_; }
    [[nodiscard]] int RowSpan() const noexcept { return RowSpan_; }
    [[nodiscard]] TRVTableItemInfo* GetTable() const noexcept { return Table_; }

    /// The look of source (colours, widths, borders, alignment, background, hint); not the
    /// content, not the spans.
    void AssignProperties(const TRVTableCellData& source);
    /// No items, or a single empty text item.
    [[nodiscard]] bool HasNoContent() const;
    /// Replaces the content with one empty paragraph in text style 0 and paragraph style 0,
    /// Unicode when that text style of sheet is (sheet may be null).
    void ResetToEmptyParagraph(const TRVStyle* sheet);

private:
    friend class TRVTableItemInfo;
    friend class TRVTableGridBuilder;
    friend class TRVTableGridEdit;

    void AttachTo(TCustomRVData* parent) noexcept { SetParentData(parent); }

    TRVTableItemInfo* Table_;
    int ColSpan_ = 1;
    int RowSpan_ = 1;
};

/// One row: a slot per column, each holding a cell or covered by a merged one.
class TRVTableRow {
public:
    explicit TRVTableRow(int colCount);
    ~TRVTableRow();
    TRVTableRow(const TRVTableRow&) = delete;
    TRVTableRow& operator=(const TRVTableRow&) = delete;

    TRVCellVAlign RowVAlign = rvcTop;
    bool RowPageBreakBefore = false;

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Cells_.size()); }
    /// The cell in slot col, null for a covered slot. col must lie in 0..Count-1.
    [[nodiscard]] TRVTableCellData* operator[](int col) const noexcept { return Cells_[std::size_t(col)].get(); }

private:
    friend class TRVTableItemInfo;
    friend class TRVTableGridBuilder;
    friend class TRVTableGridEdit;

    std::vector<std::unique_ptr<TRVTableCellData>> Cells_;
};

/// The rows of a table. Their number and slots change only through the table.
class TRVTableRows {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Rows_.size()); }
    /// Row index must lie in 0..Count-1.
    [[nodiscard]] TRVTableRow& operator[](int index) noexcept { return *Rows_[std::size_t(index)]; }
    [[nodiscard]] const TRVTableRow& operator[](int index) const noexcept { return *Rows_[std::size_t(index)]; }

private:
    friend class TRVTableItemInfo;
    friend class TRVTableGridBuilder;
    friend class TRVTableGridEdit;

    std::vector<std::unique_ptr<TRVTableRow>> Rows_;
};

/// The look and behaviour of a table, apart from its background picture. Lengths are screen pixels.
struct TRVTableProperties {
    TRVTableOptions Options = RVTableDefaultOptions;
    TRVTablePrintOptions PrintOptions = RVTableDefaultPrintOptions;
    TRVHTMLLength BestWidth = 0;
    TColor Color = clWindow; ///< clNone: transparent
    TRVItemBackgroundStyle BackgroundStyle = rvbsColor;
    std::int32_t HeadingRowCount = 0; ///< leading rows repeated on each printed page
    std::string TextRowSeparator;     ///< UTF-8; empty: a line end
    std::string TextColSeparator;     ///< UTF-8; empty: a tab
    std::int32_t BorderWidth = 0;
    TColor BorderColor = clWindowText;
    TColor BorderLightColor = clBtnHighlight;
    TRVTableBorderStyle BorderStyle = rvtbRaised;
    std::int32_t BorderVSpacing = 2;
    std::int32_t BorderHSpacing = 2;
    TRVBooleanRect VisibleBorders;
    std::int32_t CellBorderWidth = 0;
    TColor CellBorderColor = clWindowText;
    TColor CellBorderLightColor = clBtnHighlight;
    TRVTableBorderStyle CellBorderStyle = rvtbLowered;
    std::int32_t CellHPadding = 1;
    std::int32_t CellVPadding = 1;
    std::int32_t CellHSpacing = 2;
    std::int32_t CellVSpacing = 2;
    std::int32_t VRuleWidth = 0;
    TColor VRuleColor = clWindowText;
    std::int32_t HRuleWidth = 0;
    TColor HRuleColor = clWindowText;
    bool VOutermostRule = false;
    bool HOutermostRule = false;
};

/// A table: a full-line item holding a grid of cells.
class TRVTableItemInfo : public TRVFullLineItemInfo, public TRVTableProperties {
public:
    /// A table without rows.
    TRVTableItemInfo() noexcept;
    /// rows x cols single cells, each with one empty paragraph (text style 0, paragraph style 0).
    /// owner (may be null) is the container the table is meant for; its style sheet decides
    /// whether the empty paragraphs are Unicode. Negative sizes, or rows without columns, throw
    /// "Invalid row or column index".
    TRVTableItemInfo(int rows, int cols, TCustomRVData* owner = nullptr);
    ~TRVTableItemInfo() override;

    std::unique_ptr<TGraphic> BackgroundImage;

    /// Sets CellHPadding and CellVPadding.
    void SetCellPadding(std::int32_t padding) noexcept { CellHPadding = CellVPadding = padding; }

    /// The rows; their slots change only through the operations below.
    TRVTableRows Rows;
    /// Changes whenever the grid changes, and differs between any two tables: a layout made for
    /// one stamp fits the table only while the stamp stays.
    [[nodiscard]] std::uint64_t GridStamp() const noexcept { return GridStamp_; }

    // --- Grid --------------------------------------------------------------------------------
    [[nodiscard]] int RowCount() const noexcept { return Rows.Count(); }
    [[nodiscard]] int ColCount() const noexcept { return Rows.Count() == 0 ? 0 : Rows[0].Count(); }
    /// The cell in slot (row, col), null for a covered slot; outside the grid throws
    /// "Invalid row or column index".
    [[nodiscard]] TRVTableCellData* Cells(int row, int col) const;
    /// The cell covering slot (row, col) and its top-left slot. Outside the grid throws
    /// "Invalid row or column index".
    TRVTableCellData* GetCellAt(int row, int col, int& topRow, int& leftCol) const;
    /// Where a cell of this table starts; false for a cell that is not in it.
    bool GetCellPosition(const TRVTableCellData* cell, int& row, int& col) const noexcept;

    /// The colour the cell at its top-left slot (row, col) shows: its own, else the table's.
    [[nodiscard]] TColor GetCellColor(int row, int col) const;
    /// The cell's alignment; rvcVDefault takes the row's RowVAlign, and when that is rvcVDefault
    /// too, rvcMiddle.
    [[nodiscard]] TRVCellVAlign GetCellVAlign(int row, int col) const;

    /// Merges the rectangle of rowSpan x colSpan slots from (topRow, leftCol) into the cell there.
    /// The sizes are cut to the grid; a size below 1 throws "Parameters for cell merging are
    /// not correct". Returns false, changing nothing, when the rectangle is one slot, is already
    /// that cell, or is not made of whole cells lying inside it. The content of every other cell
    /// with content is appended to the top-left cell in row order; those cells go.
    bool MergeCells(int topRow, int leftCol, int colSpan, int rowSpan);
    /// Splits the merged cell at its top-left slot (row, col) into its columns (cols) and/or rows
    /// (rows). The new cells copy its look and hold one empty paragraph; widths and heights are
    /// shared out (BestWidth div ColSpan, BestHeight div RowSpan, never 0 from a non-zero value).
    /// Returns false when the slot holds no cell or there is nothing to split.
    bool UnmergeCell(int row, int col, bool rows, bool cols);

    /// Leaves the table without rows (and so without cells).
    void RemoveAllRows() noexcept;

    /// Something in the table changed that its layouts must see (a cell's content or a
    /// property): the table gets a new GridStamp.
    void Changed() noexcept;

    // --- The editor's cell selection ----------------------------------------------------------
    // Editor state, not part of the document: Assign does not copy it and no format stores it.
    // The selection is nothing, the cell being edited, or a rectangle from a start cell to the
    // cell rowOffs rows and colOffs columns away (signed).
    /// Selects the rectangle; slots outside the grid throw "Invalid row or column index".
    void Select(int startRow, int startCol, int rowOffs, int colOffs);
    /// Removes the rectangle (the edited cell stays).
    void Deselect() noexcept;
    [[nodiscard]] bool HasCellRectangle() const noexcept { return SelStartRow_ >= 0; }
    /// The rectangle as given to Select; false without one.
    bool GetCellRectangle(int& startRow, int& startCol, int& rowOffs, int& colOffs) const noexcept;
    /// The cell being edited, its top-left slot (-1, -1 when none).
    void GetEditedCell(int& row, int& col) const noexcept
    {
        row = EditedRow_;
        col = EditedCol_;
    }
    /// Set by the editor while it edits a cell in place; (-1, -1): none.
    void SetEditedCell(int row, int col) noexcept
    {
        EditedRow_ = row;
        EditedCol_ = col;
    }
    /// The selection as top row, left column and the numbers of rows and columns: the smallest
    /// rectangle holding the cells that cover both corners, or the edited cell with its spans;
    /// false when there is neither.
    bool GetSelectionBounds(int& topRow, int& leftCol, int& rowCount, int& colCount) const;
    /// The same, grown until no merged cell sticks out of the rectangle (what copying takes).
    bool GetNormalizedSelectionBounds(int& topRow, int& leftCol, int& rowCount, int& colCount) const;
    /// The cell at its top-left slot (row, col) lies inside the selected rectangle (painting).
    [[nodiscard]] bool IsCellSelected(int row, int col) const;

    /// Whether the grid keeps the invariants at the top of this file.
    [[nodiscard]] bool CheckGrid() const;

    /// The container holding the table, null while it is in none.
    [[nodiscard]] TCustomRVData* OwnerData() const noexcept { return Owner_; }

    // --- Item behaviour ----------------------------------------------------------------------
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    /// Besides the properties, copies the grid cell by cell with the cells' content.
    void Assign(const TCustomRVItemInfo& source) override;
    /// The cells, row by row.
    [[nodiscard]] int SubDocumentCount() const noexcept override { return static_cast<int>(CellList_.size()); }
    [[nodiscard]] TCustomRVData* SubDocument(int index) const noexcept override;
    void OnInserted(TCustomRVData& owner, int index) override;
    void OnRemoving(TCustomRVData& owner) override;

private:
    friend class TRVTableGridBuilder;
    friend class TRVTableGridEdit;

    void CheckSlot(int row, int col) const;
    [[nodiscard]] std::unique_ptr<TRVTableCellData> NewCell();
    /// Rebuilds the row-by-row list of cells after the grid changed.
    void CellsChanged();

    TCustomRVData* Owner_ = nullptr;
    std::vector<TRVTableCellData*> CellList_;
    std::uint64_t GridStamp_ = 0;
    int SelStartRow_ = -1, SelStartCol_ = -1, SelRowOffs_ = 0, SelColOffs_ = 0;
    int EditedRow_ = -1, EditedCol_ = -1;
};

/// A table as the editor's insert commands make it: rows x columns single cells, transparent,
/// one-pixel colour borders around the table and every cell whose neighbouring lines overlap
/// (spacings of -1), so that the grid is drawn with single lines, and cell padding 5. Its
/// BestWidth is preferredWidth when usePreferredWidth is set (10000 standing for automatic, 0),
/// else automatic.
[[nodiscard]] std::unique_ptr<TRVTableItemInfo> NewInsertedTable(int columns, int rows, bool usePreferredWidth,
                                                                 std::int32_t preferredWidth,
                                                                 TCustomRVData* owner = nullptr);

/// Builds the grid of a table slot by slot, as a reader finds it: each cell is placed with its
/// spans on the first slot not covered yet; spans are cut so that nothing overlaps or leaves
/// the grid.
class TRVTableGridBuilder {
public:
    /// Starts table (which must have no rows) with rows x cols covered-by-nothing slots. False for
    /// sizes out of range: negative, rows without columns, or more than maxSlots slots.
    TRVTableGridBuilder(TRVTableItemInfo& table, int rows, int cols, std::int64_t maxSlots);
    ~TRVTableGridBuilder();
    TRVTableGridBuilder(const TRVTableGridBuilder&) = delete;
    TRVTableGridBuilder& operator=(const TRVTableGridBuilder&) = delete;

    [[nodiscard]] bool SizeAccepted() const noexcept { return Accepted_; }
    /// All slots are covered.
    [[nodiscard]] bool Complete() const noexcept { return Next_ >= Total_; }
    /// A new cell on the next free slot with these spans, cut as merging cuts them: to at least
    /// 1, to the grid, and short of slots that are taken already (right of the first taken slot
    /// in its row, below the first row with a taken slot under it). cut (when given) tells
    /// whether the spans had to be cut. Null only when the grid is complete or was refused.
    TRVTableCellData* PlaceNext(int colSpan, int rowSpan, bool* cut = nullptr);
    /// Ends the build: on success the table has the grid, otherwise it is left without rows.
    bool Finish();

private:
    void Advance() noexcept;

    TRVTableItemInfo& Table_;
    int Rows_ = 0;
    int Cols_ = 0;
    std::int64_t Total_ = 0;
    std::int64_t Next_ = 0;
    std::vector<bool> Covered_;
    bool Accepted_ = false;
    bool Finished_ = false;
};

/// The raw steps that the table editing operations and their undo records are made of. One step
/// alone may leave the grid broken (slots that no cell covers, a span reaching over other cells);
/// each operation and each undone or redone group of steps ends with a grid that CheckGrid
/// accepts. Every step keeps the cell list, the cells' table and their parent right (a cell taken
/// out is detached until it is placed again) and gives the table a new GridStamp. Arguments are
/// the caller's to check: slots must lie inside the grid.
class TRVTableGridEdit {
public:
    using TRows = std::vector<std::unique_ptr<TRVTableRow>>;
    /// Cells of adjacent columns, one list per row, null for covered slots.
    using TColumns = std::vector<std::vector<std::unique_ptr<TRVTableCellData>>>;

    explicit TRVTableGridEdit(TRVTableItemInfo& table) noexcept : Table_(table) {}

    /// A cell of the table, not yet placed, without content.
    [[nodiscard]] std::unique_ptr<TRVTableCellData> NewCell() const { return Table_.NewCell(); }
    /// Sets the spans of a cell, placed or not.
    static void SetSpans(TRVTableCellData& cell, int colSpan, int rowSpan) noexcept
    {
        cell.ColSpan_ = colSpan;
        cell.RowSpan_ = rowSpan;
    }
    /// Puts a cell into slot col of a row that is not yet part of the table.
    static void PutInRow(TRVTableRow& row, int col, std::unique_ptr<TRVTableCellData> cell) noexcept
    {
        row.Cells_[std::size_t(col)] = std::move(cell);
    }

    /// Places rows (of ColCount slots each; any count when the table has none) before row index.
    void InsertRows(int index, TRows rows);
    /// Takes count rows out from first, with their cells.
    [[nodiscard]] TRows ExtractRows(int first, int count);
    /// Places the columns of cells (one list per row, all of the same length) before column index.
    void InsertCols(int index, TColumns cells);
    /// Takes count columns out from first, with their cells.
    [[nodiscard]] TColumns ExtractCols(int first, int count);
    /// Puts cell into the empty slot (row, col).
    void PutCell(int row, int col, std::unique_ptr<TRVTableCellData> cell);
    /// Takes the cell out of slot (row, col), which becomes empty.
    [[nodiscard]] std::unique_ptr<TRVTableCellData> TakeCell(int row, int col);
    /// Moves the cell of slot (fromRow, fromCol) into the empty slot (toRow, toCol).
    void MoveCell(int fromRow, int fromCol, int toRow, int toCol);
    /// Gives the cell of slot (row, col) new spans.
    void SetSpans(int row, int col, int colSpan, int rowSpan);

private:
    TRVTableItemInfo& Table_;
};

/// Adds tables to the registry of item kinds, with their RVF records, text form and dump.
void RegisterTableItemKind();

} // namespace xq

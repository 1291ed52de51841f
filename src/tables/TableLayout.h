// Laying tables out: column widths for an available width, row heights, cell rectangles, and the
// table as a full-line item of the paragraph formatter.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "document/ParaInfo.h"
#include "layout/ContainerLayout.h"
#include "layout/ItemLayout.h"
#include "tables/TableItem.h"

namespace xq {

/// What laying out a table for one width produced. Lengths are device pixels.
struct TRVTableItemFormattingInfo {
    std::int32_t FWidth = 0;  ///< outer width of the table
    std::int32_t FHeight = 0; ///< outer height of the table
    std::vector<std::int32_t> ColWidths; ///< content width per column
    std::vector<std::int32_t> ColStarts; ///< left of each column's cell rectangles (padding included)
    std::vector<std::int32_t> RowHeights; ///< content height per row
    std::vector<std::int32_t> RowStarts;  ///< top of each row's cell rectangles (padding included)
    /// The width available when the layout was made, and the canvas it was made on: the layout
    /// is reused for the same pair until something invalidates it. -1: no layout.
    std::int32_t AvailableWidth = -1;
    const void* Canvas = nullptr;

    void Clear() noexcept { *this = {}; }
};

/// A cell in one layout of its table: its rectangle inside the table (the padding box) and the
/// layout of its content.
class TRVTableCellLayout {
public:
    explicit TRVTableCellLayout(const TRVTableCellData& cell) noexcept : Layout(cell, View) {}

    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    /// The cell shows without margins, with the options of the layout around the table.
    TRVViewSettings View;
    TRVContainerLayout Layout;
};

/// What a table keeps in a layout: its columns and rows, and a layout per cell.
class TRVTableLayoutState final : public TRVItemLayoutState {
public:
    TRVTableItemFormattingInfo Layout;
    /// The grid the layout was made for (TRVTableItemInfo::GridStamp).
    std::uint64_t GridStamp = 0;

    /// The layout of the index-th cell of the table (row by row), made when it has none.
    TRVTableCellLayout& Cell(int index, const TRVTableCellData& cell);
    /// The layout of the index-th cell, null when it has none.
    [[nodiscard]] TRVTableCellLayout* CellAt(int index) const noexcept;
    /// The layout of cell, null when it has none (a search through the cells).
    [[nodiscard]] const TRVTableCellLayout* FindCell(const TRVTableCellData* cell) const noexcept;
    [[nodiscard]] TRVTableCellLayout* FindCell(const TRVTableCellData* cell) noexcept;

private:
    /// In the order of the table's cells, row by row.
    std::vector<std::unique_ptr<TRVTableCellLayout>> Cells_;
};

/// The state table keeps in layout, null while it has not been laid out there for its grid.
[[nodiscard]] const TRVTableLayoutState* TableLayoutIn(const TRVContainerLayout& layout, const TRVTableItemInfo& table);
/// The same, to change (a cell's content was laid out again: AvailableWidth -1 lays out the table).
[[nodiscard]] TRVTableLayoutState* TableLayoutIn(TRVContainerLayout& layout, const TRVTableItemInfo& table);

/// Lays out a table in a paragraph availableWidth pixels wide (device pixels; the table's own
/// lengths are screen pixels, scaled with ctx.Scale) into the state it keeps in ctx.Layout: the
/// column widths, row heights and cell rectangles, and each cell's content laid out on ctx's
/// canvas, sharing its font cache; returns the table's size. The layout is kept when the width
/// and the canvas come out the same, the grid is the same and force is false. Without a layout
/// in ctx the table is only measured.
TRVObjectExtent FormatTable(const TRVTableItemInfo& table, std::int32_t availableWidth, bool force,
                            TRVLayoutContext& ctx);

/// The narrowest width the table accepts, device pixels.
[[nodiscard]] std::int32_t GetTableMinWidth(const TRVTableItemInfo& table, TRVLayoutContext& ctx);

/// Where the content of the cell at its top-left slot (row, col) starts inside its table laid out
/// as state says (relative to the table's top left corner), placed by the cell's vertical
/// alignment for content contentHeight pixels high (-1: the height of its layout in state), and
/// the content's width. False when the cell has no layout in state.
bool CellContentPlace(const TRVTableItemInfo& table, const TRVTableLayoutState& state, int row, int col,
                      const TRVDeviceScale& scale, std::int32_t contentHeight, TPoint& at, std::int32_t& width);

/// The cell whose rectangle (with its padding) holds the point (x, y), relative to the table's
/// top left corner: its top-left slot. False between cells and outside the table.
bool CellAtPoint(const TRVTableItemInfo& table, const TRVTableLayoutState& state, std::int32_t x, std::int32_t y,
                 int& row, int& col);

/// A frame drawn by the table border rules (the outer border and the cell borders).
struct TTableBorder {
    std::int32_t Width = 0;
    TRVTableBorderStyle Style = rvtbColor;
    TColor Color = clWindowText;
    TColor LightColor = clBtnHighlight;
    /// The colour behind the frame: the light sides of 3-D frames avoid it.
    TColor Background = clWindow;
    TRVBooleanRect Visible;
    /// Sides that are not drawn show as a dotted grid (editing on screen).
    bool GridLines = false;
    /// When printing, each side is one line of the full width.
    bool Halftone = false;
    /// Nested lines of a coloured frame keep the full length of their side.
    bool OverlappingCorners = false;
};

/// Draws a frame around rect (Right and Bottom exclusive), nothing when it lies outside the
/// painted area.
void DrawTableBorder(TCanvas& canvas, const TRect& rect, const TTableBorder& border, const TRVPaintContext& ctx);

/// Paints a table laid out as state says with its top left corner at origin: background, rules,
/// outer border, and each cell's background, content and border.
void PaintTable(TCanvas& canvas, const TRVTableItemInfo& table, TRVTableLayoutState& state, TPoint origin,
                TRVPaintContext& ctx);

/// The layout of table items for the paragraph formatter and the painter.
class TRVTableLayout final : public TRVItemLayout {
public:
    [[nodiscard]] std::int32_t MinWidth(const TCustomRVItemInfo& item, int itemNo, TRVLayoutContext& ctx) const override;
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

} // namespace xq

// Laying tables out: column widths for an available width, row heights, cell rectangles, and the
// table as a full-line item of the paragraph formatter.
#pragma once

#include <cstdint>

#include "document/ParaInfo.h"
#include "layout/ItemLayout.h"
#include "tables/TableItem.h"

namespace xq {

/// Computes table.Layout and the cells' rectangles for a table in a paragraph availableWidth
/// pixels wide (device pixels; the table's own lengths are screen pixels, scaled with
/// ctx.Scale). The cells are laid out on ctx's canvas, sharing its font cache. The layout is kept
/// when the width comes out the same and force is false.
void FormatTable(TRVTableItemInfo& table, std::int32_t availableWidth, bool force, TRVLayoutContext& ctx);

/// The narrowest width the table accepts, device pixels.
[[nodiscard]] std::int32_t GetTableMinWidth(TRVTableItemInfo& table, TRVLayoutContext& ctx);

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

/// Paints a laid-out table with its top left corner at origin: background, rules, outer border,
/// and each cell's background, content and border.
void PaintTable(TCanvas& canvas, const TRVTableItemInfo& table, TPoint origin, TRVPaintContext& ctx);

/// The layout of table items for the paragraph formatter and the painter.
class TRVTableLayout final : public TRVItemLayout {
public:
    [[nodiscard]] std::int32_t MinWidth(const TCustomRVItemInfo& item, int itemNo, TRVLayoutContext& ctx) const override;
    [[nodiscard]] TRVObjectExtent Format(TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

} // namespace xq

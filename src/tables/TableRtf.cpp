// The RTF of a table. The column geometry (\cellx) comes from the table's layout in the layout
// of the container being written; a table that has none there is laid out for the export alone,
// 600 pixels wide. Cells are written through the RTF writer's container writer one nesting level
// deeper, with their own layout as the container layout, so that nested tables find theirs.
#include "tables/TableRtf.h"

#include <algorithm>
#include <string>

#include "document/RVStyle.h"
#include "formats/rtf/RtfWriter.h"
#include "layout/FontInfoCache.h"
#include "platform/TestCanvas.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"

namespace xq {

namespace {

/// The width a table is laid out for when the export finds no layout of it.
constexpr std::int32_t ExportWidth = 600;

void CollectBorderColors(TRVTableBorderStyle style, TColor color, TColor light, TRVRTFWriteContext& ctx)
{
    switch (style) {
    case rvtbRaised:
    case rvtbLowered:
        ctx.Colors.Add(clBtnHighlight);
        ctx.Colors.Add(clBtnShadow);
        ctx.Colors.Add(clBtnFace);
        break;
    case rvtbColor: ctx.Colors.Add(color); break;
    case rvtbRaisedColor:
    case rvtbLoweredColor:
        ctx.Colors.Add(color);
        ctx.Colors.Add(light);
        break;
    }
}

/// The sides of a table or cell border: "\<prefix>brdrl" and so on with the style's keywords.
void AppendBorders(std::string& out, const char* prefix, TRVTableBorderStyle style, std::int32_t width, TColor color,
                   TColor light, const TRVBooleanRect& visible, const TRVRTFWriteContext& ctx)
{
    if (width == 0)
        return;
    // Raised colour frames are light at the left and top; lowered ones at the right and bottom.
    const TColor leftTop = style == rvtbRaisedColor ? light : color;
    const TColor rightBottom = style == rvtbLoweredColor ? light : color;
    const struct {
        bool Visible;
        const char* Side;
        TColor Color;
    } sides[] = {{visible.Left, "brdrl", leftTop},
                 {visible.Top, "brdrt", leftTop},
                 {visible.Right, "brdrr", rightBottom},
                 {visible.Bottom, "brdrb", rightBottom}};
    const std::string twips = std::to_string(ctx.Twips(width));
    for (const auto& side : sides) {
        if (!side.Visible)
            continue;
        out += '\\';
        out += prefix;
        out += side.Side;
        if (style == rvtbRaised)
            out += "\\brdroutset\\brdrw" + twips;
        else if (style == rvtbLowered)
            out += "\\brdrinset\\brdrw" + twips;
        else
            out += "\\brdrs\\brdrw" + twips + "\\brdrcf" + std::to_string(ctx.Colors.IndexOf(side.Color));
    }
}

/// The requested height of a row: the largest BestHeight of the cells that lie in it alone.
std::int32_t RowBestHeight(const TRVTableItemInfo& table, int row)
{
    std::int32_t height = 0;
    for (int c = 0; c < table.ColCount(); ++c)
        if (const TRVTableCellData* cell = table.Rows[row][c]; cell && cell->RowSpan() == 1)
            height = std::max(height, cell->BestHeight);
    return height;
}

/// Makes a cell's layout the container layout while its content is written.
class TLayoutScope {
public:
    TLayoutScope(TRVRTFWriteContext& ctx, const TRVContainerLayout* layout) noexcept : Ctx_(ctx), Outer_(ctx.Layout)
    {
        ctx.Layout = layout;
    }
    ~TLayoutScope() { Ctx_.Layout = Outer_; }
    TLayoutScope(const TLayoutScope&) = delete;
    TLayoutScope& operator=(const TLayoutScope&) = delete;

private:
    TRVRTFWriteContext& Ctx_;
    const TRVContainerLayout* Outer_;
};

/// A layout of the table made for the export, when the document's layout has none of it.
class TExportLayout {
public:
    TExportLayout(const TRVTableItemInfo& table, const TRVRTFWriteContext& ctx)
        : Empty_(const_cast<TRVStyle*>(&ctx.Sheet)),
          Canvas_(ctx.Settings.Canvas ? *ctx.Settings.Canvas : TestCanvas_), Fonts_(ctx.Sheet, Canvas_),
          Layout_(table.OwnerData() ? *table.OwnerData() : Empty_, View_)
    {
        Scale_.DevicePpiX = Canvas_.DpiX();
        Scale_.DevicePpiY = Canvas_.DpiY();
        TRVLayoutContext lc{ctx.Sheet, Fonts_, Canvas_, Scale_, Layout_.Document(), true, &Layout_};
        FormatTable(table, Scale_.X(ExportWidth), true, lc);
    }

    [[nodiscard]] const TRVContainerLayout& Layout() const noexcept { return Layout_; }
    [[nodiscard]] const TRVDeviceScale& Scale() const noexcept { return Scale_; }

private:
    TCustomRVData Empty_;
    TTestCanvas TestCanvas_;
    TCanvas& Canvas_;
    TRVFontInfoCache Fonts_;
    TRVDeviceScale Scale_;
    TRVViewSettings View_;
    TRVContainerLayout Layout_;
};

class TTableRtf final : public TRVRTFItemWriter {
public:
    void CollectColors(const TCustomRVItemInfo& item, TRVRTFWriteContext& ctx) const override
    {
        const auto& t = static_cast<const TRVTableItemInfo&>(item);
        ctx.Colors.Add(t.Color);
        CollectBorderColors(t.BorderStyle, t.BorderColor, t.BorderLightColor, ctx);
        CollectBorderColors(t.CellBorderStyle, t.CellBorderColor, t.CellBorderLightColor, ctx);
        if (t.VRuleWidth > 0)
            ctx.Colors.Add(t.VRuleColor);
        if (t.HRuleWidth > 0)
            ctx.Colors.Add(t.HRuleColor);
        for (int r = 0; r < t.RowCount(); ++r)
            for (int c = 0; c < t.ColCount(); ++c)
                if (const TRVTableCellData* cell = t.Rows[r][c]) {
                    ctx.Colors.Add(cell->Color);
                    ctx.Colors.Add(cell->BorderColor);
                    ctx.Colors.Add(cell->BorderLightColor);
                    CollectRtfColors(*cell, ctx);
                }
    }

    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int level) const override
    {
        const auto& t = static_cast<const TRVTableItemInfo&>(item);
        std::unique_ptr<TExportLayout> own;
        const TRVContainerLayout* layout = ctx.Layout;
        const TRVTableLayoutState* state = layout ? TableLayoutIn(*layout, t) : nullptr;
        if (!state || state->Layout.AvailableWidth < 0) {
            own = std::make_unique<TExportLayout>(t, ctx);
            layout = &own->Layout();
            state = TableLayoutIn(*layout, t);
        }
        // Column positions are device pixels of the layout's canvas; RTF wants screen pixels.
        const TRVDeviceScale& scale = own ? own->Scale() : layout->DeviceScale();
        const TRVTableItemFormattingInfo& geometry = state->Layout;
        const bool nested = level > 0;
        const std::string itap = std::to_string(level + 1);
        const TRVAlignment align = ctx.Sheet.ParaStyles.StyleAt(item.ParaNo).Alignment;
        auto twips = [&](double pixels) { return std::to_string(ctx.Twips(pixels)); };

        for (int r = 0; r < t.RowCount(); ++r) {
            const bool lastRow = r == t.RowCount() - 1;
            // A top-level row defines itself before its cells; a nested row after them, in a
            // "\*\nesttableprops" group that also holds its "\nestrow", as RTF readers expect.
            out += '{';
            const std::size_t definitionStart = out.size();
            out += "\\trowd";
            if (align == rvaRight)
                out += "\\trqr";
            else if (align == rvaCenter)
                out += "\\trqc";
            out += "\\trgaph" + twips(((t.CellHPadding + t.CellBorderWidth) * 2 + t.CellHSpacing) / 2.0);
            out += "\\trleft0\\itap" + itap;
            if (r < t.HeadingRowCount)
                out += "\\trhdr";
            if (const std::int32_t height = RowBestHeight(t, r); height > 0)
                out += "\\trrh" + twips(height);
            const std::string hPad = twips(t.CellHPadding), vPad = twips(t.CellVPadding);
            out += "\\trpaddl" + hPad + "\\trpaddt" + vPad + "\\trpaddr" + hPad + "\\trpaddb" + vPad +
                   "\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3";
            const std::string hSpace = twips(t.CellHSpacing / 2.0);
            out += "\\trspdl" + hSpace + "\\trspdr" + hSpace + "\\trspdfl3\\trspdfr3";
            out += "\\trspdt" + twips((r == 0 ? t.BorderVSpacing : t.CellVSpacing) / 2.0) + "\\trspdft3";
            out += "\\trspdb" + twips((lastRow ? t.BorderVSpacing : t.CellVSpacing) / 2.0) + "\\trspdfb3";
            if (t.BestWidth >= 1) {
                out += "\\trwWidth" + twips(t.BestWidth + 2 * t.BorderWidth) + "\\trftsWidth3";
            } else if (t.BestWidth < 0) {
                out += "\\trwWidth" + std::to_string(-50LL * t.BestWidth) + "\\trftsWidth2";
            } else {
                out += "\\trftsWidth1";
                if (t.Options.Contains(rvtoRTFAllowAutofit))
                    out += "\\trautofit1";
            }
            if (!t.PrintOptions.Contains(rvtoRowsSplit))
                out += "\\trkeep\\trkeepfollow";
            if (lastRow && !nested)
                out += "\\lastrow";
            out += "\\docviewtbw" + std::to_string(t.BestWidth);
            AppendBorders(out, "tr", t.BorderStyle, t.BorderWidth, t.BorderColor, t.BorderLightColor, t.VisibleBorders,
                          ctx);
            out += ctx.Extra(rtfsaRow, &t, -1, r, false);

            for (int c = 0; c < t.ColCount(); ++c) {
                int top = 0, left = 0;
                const TRVTableCellData* cell = t.GetCellAt(r, c, top, left);
                if (left != c)
                    continue; // a column under a cell merged from the left
                if (const TRVTableCellData* own = t.Rows[r][c]) {
                    if (own->RowSpan() > 1)
                        out += "\\clvmgf";
                    if (own->BestWidth < 0)
                        out += "\\clwWidth" + std::to_string(-50LL * own->BestWidth) + "\\clftsWidth2";
                    else if (own->BestWidth == 0)
                        out += "\\clftsWidth1";
                    else if (t.Options.Contains(rvtoRTFSaveCellPixelBestWidth))
                        out += "\\clwWidth" + twips(own->BestWidth) + "\\clftsWidth3";
                    else
                        out += "\\clwWidth0";
                    out += "\\docviewcbw" + std::to_string(own->BestWidth) + "\\docviewcbh" +
                           std::to_string(own->BestHeight);
                } else if (top < r) {
                    out += "\\clvmrg";
                }
                AppendBorders(out, "cl", t.CellBorderStyle, t.CellBorderWidth,
                              cell->BorderColor != clNone ? cell->BorderColor : t.CellBorderColor,
                              cell->BorderLightColor != clNone ? cell->BorderLightColor : t.CellBorderLightColor,
                              cell->VisibleBorders, ctx);
                if (const TColor color = t.GetCellColor(top, left); color != clNone)
                    out += "\\clcbpat" + std::to_string(ctx.Colors.IndexOf(color));
                const TRVCellVAlign valign = t.GetCellVAlign(top, left);
                if (valign == rvcMiddle)
                    out += "\\clvertalc";
                else if (valign == rvcBottom)
                    out += "\\clvertalb";
                out += ctx.Extra(rtfsaCell, &t, c, r, false);
                const auto last = std::size_t(std::min(left + cell->ColSpan(), t.ColCount()) - 1);
                std::int32_t right = 0;
                if (last < geometry.ColStarts.size() && last < geometry.ColWidths.size())
                    right = scale.UnX(geometry.ColStarts[last] + geometry.ColWidths[last]);
                out += "\\cellx" + twips(right + t.CellHSpacing / 2.0);
            }

            std::string nestedDefinition;
            if (nested) {
                nestedDefinition = out.substr(definitionStart);
                out.resize(definitionStart);
            }
            out += "\\pard\\intbl\\itap" + itap + "{";
            for (int c = 0; c < t.ColCount(); ++c) {
                int top = 0, left = 0;
                t.GetCellAt(r, c, top, left);
                if (left != c)
                    continue;
                out += '{';
                if (const TRVTableCellData* own = t.Rows[r][c]) {
                    const TRVTableCellLayout* cellLayout = state->FindCell(own);
                    const TLayoutScope scope(ctx, cellLayout ? &cellLayout->Layout : nullptr);
                    WriteRtfContainer(*own, out, ctx, level + 1);
                }
                out += nested ? "\\nestcell}" : "\\cell}";
            }
            out += "}\\pard\\intbl\\itap" + itap;
            out += nested ? "{\\*\\nesttableprops" + nestedDefinition + "\\nestrow}}" : "\\row}";
        }
    }
};

} // namespace

void RegisterTableRtf()
{
    RegisterRtfItemWriter(rvsTable, std::make_shared<TTableRtf>());
}

} // namespace xq

// The JSON dump of a table: its properties, then its rows with the cells that start in them.
#include "tables/TableDump.h"

#include <string_view>

#include "formats/DocumentDump.h"
#include "formats/JsonWriter.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

constexpr const char* OptionNames[] = {"editing",          "rowSizing",         "colSizing",
                                       "rowSelect",        "colSelect",         "noCellSelect",
                                       "rtfSaveCellPixelBestWidth", "rtfAllowAutofit", "hideGridLines",
                                       "overlappingCorners", "cellBelowBorders", "ignoreContentWidth",
                                       "ignoreContentHeight"};
constexpr const char* PrintOptionNames[] = {"halftoneBorders", "rowsSplit", "whiteBackground"};
constexpr const char* BorderStyleNames[] = {"raised", "lowered", "color", "raisedColor", "loweredColor"};
constexpr const char* VAlignNames[] = {"top", "middle", "bottom", "default"};
constexpr const char* BackgroundNames[] = {"color", "stretched", "tiled", "centered"};

void Borders(TJsonWriter& w, const TRVBooleanRect& b)
{
    w.Key("visibleBorders");
    w.BeginObject();
    w.Field("left", b.Left);
    w.Field("top", b.Top);
    w.Field("right", b.Right);
    w.Field("bottom", b.Bottom);
    w.EndObject();
}

void Cell(const TDumpWriter& d, const TRVTableCellData& cell, int col)
{
    TJsonWriter& w = d.Json;
    w.BeginObject();
    w.Field("col", col);
    w.Field("colSpan", cell.ColSpan());
    w.Field("rowSpan", cell.RowSpan());
    d.Color("color", cell.Color);
    d.Color("borderColor", cell.BorderColor);
    d.Color("borderLightColor", cell.BorderLightColor);
    w.Field("bestWidth", cell.BestWidth);
    w.Field("bestHeight", cell.BestHeight);
    Borders(w, cell.VisibleBorders);
    d.Enum("vAlign", cell.VAlign, VAlignNames);
    d.Enum("backgroundStyle", cell.BackgroundStyle, BackgroundNames);
    d.Picture("backgroundImage", cell.BackgroundImage.get());
    w.Field("backgroundImageFileName", cell.BackgroundImageFileName);
    w.Field("hint", cell.Hint);
    w.Key("content");
    d.Container(cell);
    w.EndObject();
}

} // namespace

void DumpTable(const TDumpWriter& d, const TCustomRVItemInfo& item)
{
    const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item);
    if (!table)
        return;
    const TRVTableItemInfo& t = *table;
    TJsonWriter& w = d.Json;
    d.Set("options", t.Options.Bits(), OptionNames);
    d.Set("printOptions", t.PrintOptions.Bits(), PrintOptionNames);
    w.Field("bestWidth", t.BestWidth);
    d.Color("color", t.Color);
    d.Enum("backgroundStyle", t.BackgroundStyle, BackgroundNames);
    d.Picture("backgroundImage", t.BackgroundImage.get());
    w.Field("headingRowCount", t.HeadingRowCount);
    w.Field("textRowSeparator", t.TextRowSeparator);
    w.Field("textColSeparator", t.TextColSeparator);
    w.Field("borderWidth", t.BorderWidth);
    d.Color("borderColor", t.BorderColor);
    d.Color("borderLightColor", t.BorderLightColor);
    d.Enum("borderStyle", t.BorderStyle, BorderStyleNames);
    w.Field("borderVSpacing", t.BorderVSpacing);
    w.Field("borderHSpacing", t.BorderHSpacing);
    Borders(w, t.VisibleBorders);
    w.Field("cellBorderWidth", t.CellBorderWidth);
    d.Color("cellBorderColor", t.CellBorderColor);
    d.Color("cellBorderLightColor", t.CellBorderLightColor);
    d.Enum("cellBorderStyle", t.CellBorderStyle, BorderStyleNames);
    w.Field("cellHPadding", t.CellHPadding);
    w.Field("cellVPadding", t.CellVPadding);
    w.Field("cellHSpacing", t.CellHSpacing);
    w.Field("cellVSpacing", t.CellVSpacing);
    w.Field("vRuleWidth", t.VRuleWidth);
    d.Color("vRuleColor", t.VRuleColor);
    w.Field("hRuleWidth", t.HRuleWidth);
    d.Color("hRuleColor", t.HRuleColor);
    w.Field("vOutermostRule", t.VOutermostRule);
    w.Field("hOutermostRule", t.HOutermostRule);
    w.Field("rowCount", t.RowCount());
    w.Field("colCount", t.ColCount());
    w.Key("rows");
    w.BeginArray();
    for (int r = 0; r < t.RowCount(); ++r) {
        const TRVTableRow& row = t.Rows[r];
        w.BeginObject();
        w.Field("index", r);
        d.Enum("vAlign", row.RowVAlign, VAlignNames);
        w.Field("pageBreakBefore", row.RowPageBreakBefore);
        // Slots covered by a merged cell have no entry; the spans tell which they are.
        w.Key("cells");
        w.BeginArray();
        for (int c = 0; c < row.Count(); ++c)
            if (const TRVTableCellData* cell = row[c])
                Cell(d, *cell, c);
        w.EndArray();
        w.EndObject();
    }
    w.EndArray();
}

void RegisterTableDumpForm()
{
    RegisterDumpForm(rvsTable, DumpTable);
}

} // namespace xq

// Tables in RTF: row definitions, merged cells, nested tables, and the geometry from the layout.
#include "tables/TableRtf.h"

#include <gtest/gtest.h>

#include "formats/rtf/RtfWriter.h"
#include "layout/LayoutTestSupport.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

class TableRtfTest : public ::testing::Test {
protected:
    TableRtfTest()
    {
        while (Sheet.TextStyles.Count() > 1)
            Sheet.TextStyles.Delete(Sheet.TextStyles.Count() - 1);
        Settings.Options = {};
    }

    TRVTableItemInfo& AddTable(int rows, int cols, TCustomRVData& into)
    {
        auto table = NamedTable(rows, cols, &into);
        TRVTableItemInfo& ref = *table;
        into.AppendItem("", std::move(table));
        return ref;
    }

    std::string Body()
    {
        std::string out;
        EXPECT_TRUE(WriteRtfDocument(Doc, Settings, out));
        const auto at = out.find("\\uc0\r\n");
        return at == std::string::npos ? out : out.substr(at + 6);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVRTFWriteSettings Settings;
};

/// The definition of a row of the default 2 x 2 table laid out 600 pixels wide: gap and
/// padding of 1 pixel each, spacings halved, two automatic cells in the table's colour (clWindow,
/// colour 17), ending 2 + 295 + 1 and 301 + 295 + 1 pixels from the left.
std::string DefaultRow(bool last)
{
    const std::string cell = "\\clftsWidth1\\docviewcbw0\\docviewcbh0\\clcbpat17\\cellx";
    return std::string("{\\trowd\\trgaph30\\trleft0\\itap1\\trpaddl15\\trpaddt15\\trpaddr15\\trpaddb15") +
           "\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3\\trspdl15\\trspdr15\\trspdfl3\\trspdfr3\\trspdt15\\trspdft3" +
           "\\trspdb15\\trspdfb3\\trftsWidth1" + (last ? "\\lastrow" : "") + "\\docviewtbw0" + cell + "4470" + cell +
           "8955";
}

std::string CellText(const std::string& text, int level = 1)
{
    return "{\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap" + std::to_string(level) + (level == 1 ? "\\intbl" : "") +
           " \\plain \\f0\\fs20 " + text + (level == 1 ? "\\cell}" : "\\nestcell}");
}

/// The text of the first row and that of the rest.
std::pair<std::string, std::string> SplitAtSecondRow(const std::string& body)
{
    const auto at = body.find("{\\trowd", body.find("{\\trowd") + 1);
    EXPECT_NE(at, std::string::npos) << body;
    return {body.substr(0, at), at == std::string::npos ? std::string() : body.substr(at)};
}

int Count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

TEST_F(TableRtfTest, ATwoByTwoTableByteForByte)
{
    AddTable(2, 2, Doc);
    Doc.AppendText("nach", 0, 0);
    const std::string rows = DefaultRow(false) + "\\pard\\intbl\\itap1{" + CellText("00") + CellText("01") +
                             "}\\pard\\intbl\\itap1\\row}" + DefaultRow(true) + "\\pard\\intbl\\itap1{" +
                             CellText("10") + CellText("11") + "}\\pard\\intbl\\itap1\\row}";
    // The paragraph after the table starts without "\par ": the table closed its paragraph. The
    // cells changed the paragraph keywords written last, so they are written again.
    EXPECT_EQ(Body(), "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 " + rows +
                          "\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 nach\\par}");
}

TEST_F(TableRtfTest, MergedCellsWriteOneDefinitionPerCell)
{
    // Over two rows: the cell starts its merge in row 0, the slot under it continues it.
    TRVTableItemInfo& down = AddTable(2, 2, Doc);
    ASSERT_TRUE(down.MergeCells(0, 0, 1, 2));
    std::string body = Body();
    const auto [first, second] = SplitAtSecondRow(body);
    EXPECT_NE(first.find("\\docviewtbw0\\clvmgf\\clftsWidth1\\docviewcbw0\\docviewcbh0\\clcbpat17\\cellx4470"),
              std::string::npos)
        << first;
    EXPECT_EQ(Count(first, "\\clvmrg"), 0);
    // The covered slot has the merged cell's look and an empty content group.
    EXPECT_NE(second.find("\\docviewtbw0\\clvmrg\\clcbpat17\\cellx4470\\clftsWidth1"), std::string::npos) << second;
    EXPECT_NE(second.find("\\itap1{{\\cell}" + CellText("11") + "}"), std::string::npos) << second;
    EXPECT_EQ(Count(body, "\\cellx"), 4);
    EXPECT_EQ(Count(body, "\\cell}"), 4);

    // Over two columns: one cell reaching to the end of the second column.
    Doc.Clear();
    TRVTableItemInfo& across = AddTable(2, 2, Doc);
    ASSERT_TRUE(across.MergeCells(0, 0, 2, 1));
    body = Body();
    const std::string top = SplitAtSecondRow(body).first;
    EXPECT_EQ(Count(top, "\\cellx"), 1) << top;
    // Merging appended the second cell's paragraph to the first's.
    EXPECT_NE(top.find("\\clcbpat17\\cellx8955\\pard\\intbl\\itap1{{\r\n"), std::string::npos) << top;
    EXPECT_NE(top.find(" 00\r\n\\par 01\\cell}}\\pard\\intbl\\itap1\\row}"), std::string::npos) << top;
    EXPECT_EQ(Count(body, "\\cellx"), 3);
    EXPECT_EQ(Count(body, "\\clvmgf") + Count(body, "\\clvmrg"), 0);
}

TEST_F(TableRtfTest, ANestedTableUsesTheNestForms)
{
    TRVTableItemInfo& outer = AddTable(1, 2, Doc);
    TRVTableCellData& cell = *outer.Cells(0, 0);
    cell.Clear();
    AddTable(1, 1, cell);
    const std::string body = Body();
    const auto from = body.find("{\\*\\nesttableprops");
    ASSERT_NE(from, std::string::npos) << body;
    const auto to = body.find("\\nestrow}}", from);
    ASSERT_NE(to, std::string::npos) << body;
    // The nested row: its cells first, then its definition in a group with its end.
    const std::string cells = "{\\pard\\intbl\\itap2{" + CellText("00", 2) + "}\\pard\\intbl\\itap2";
    ASSERT_GE(from, cells.size());
    EXPECT_EQ(body.substr(from - cells.size(), cells.size()), cells) << body;
    const std::string inner = body.substr(from, to - from + 10);
    // The nested table is laid out in its cell: its minimum width makes that column the wider
    // one, 298 pixels (the other 292), and the nested column ends at 2 + 292 + 1. Laid out
    // 600 pixels wide by itself, it would end at 597.
    EXPECT_EQ(inner, "{\\*\\nesttableprops\\trowd\\trgaph30\\trleft0\\itap2\\trpaddl15\\trpaddt15\\trpaddr15\\trpaddb15"
                     "\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3\\trspdl15\\trspdr15\\trspdfl3\\trspdfr3\\trspdt15"
                     "\\trspdft3\\trspdb15\\trspdfb3\\trftsWidth1\\docviewtbw0\\clftsWidth1\\docviewcbw0\\docviewcbh0"
                     "\\clcbpat17\\cellx4425\\nestrow}}");
    // The cell holding it ends after the nested table without a paragraph end; the outer row
    // is the document's last.
    EXPECT_NE(body.find("\\nestrow}}\\cell}"), std::string::npos) << body;
    EXPECT_EQ(Count(body, "\\lastrow"), 1);
    EXPECT_EQ(body.find("\\lastrow"), body.find("\\lastrow", body.find("{\\trowd") + 1)) << "in the outer row";
    EXPECT_LT(body.find("\\lastrow"), from);
}

TEST_F(TableRtfTest, ANestedTableFindsItsLayoutInItsCellsLayout)
{
    LayoutFixture f(500);
    auto table = NamedTable(1, 2, &f.Data);
    const TRVTableItemInfo& outer = *table;
    f.Data.AppendItem("", std::move(table));
    TRVTableCellData& cell = *outer.Cells(0, 1);
    cell.Clear();
    auto nested = NamedTable(1, 1, &cell);
    const TRVTableItemInfo& inner = *nested;
    cell.AppendItem("", std::move(nested));
    f.Format();
    const TRVTableLayoutState* state = TableLayoutIn(f.Data, outer);
    ASSERT_NE(state, nullptr);
    const TRVTableCellLayout* cellLayout = state->FindCell(&cell);
    ASSERT_NE(cellLayout, nullptr);
    const TRVTableLayoutState* innerState = TableLayoutIn(cellLayout->Layout, inner);
    ASSERT_NE(innerState, nullptr);
    const auto& g = innerState->Layout;
    ASSERT_EQ(g.ColStarts.size(), 1u);
    // The nested column's end in the layout the editor made, and the outer columns' ends.
    const int innerEnd = (g.ColStarts[0] + g.ColWidths[0]) * 15 + 15;
    const int outerEnd = (state->Layout.ColStarts[1] + state->Layout.ColWidths[1]) * 15 + 15;
    ASSERT_LT(outerEnd, 8955) << "the document is narrower than a layout made for the export";

    Settings.Layout = &f.Data;
    std::string out;
    ASSERT_TRUE(WriteRtfDocument(f.Data, Settings, out));
    EXPECT_NE(out.find("\\cellx" + std::to_string(innerEnd) + "\\nestrow}}"), std::string::npos) << out;
    // Back in the outer table, its own layout applies again.
    EXPECT_NE(out.find("\\cellx" + std::to_string(outerEnd) + "\\pard\\intbl\\itap1{"), std::string::npos) << out;
}

TEST_F(TableRtfTest, RulesAddTheirColoursOnlyWhenDrawn)
{
    TRVTableItemInfo& t = AddTable(1, 1, Doc);
    t.VRuleColor = 0x010101;
    t.HRuleColor = 0x020202;
    auto colours = [&] {
        std::string out;
        EXPECT_TRUE(WriteRtfDocument(Doc, Settings, out));
        return out.substr(0, out.find('}', out.find("{\\colortbl")));
    };
    EXPECT_EQ(colours().find("\\red1\\green1\\blue1;"), std::string::npos);
    EXPECT_EQ(colours().find("\\red2\\green2\\blue2;"), std::string::npos);
    t.VRuleWidth = 1;
    t.HRuleWidth = 1;
    EXPECT_NE(colours().find("\\red1\\green1\\blue1;"), std::string::npos);
    EXPECT_NE(colours().find("\\red2\\green2\\blue2;"), std::string::npos);
}

TEST_F(TableRtfTest, TheColumnsComeFromTheLayoutOfTheDocument)
{
    LayoutFixture f(400);
    f.Sheet.TextStyles[0].FontName = "Arial";
    auto table = NamedTable(1, 2, &f.Data);
    const TRVTableItemInfo& ref = *table;
    f.Data.AppendItem("", std::move(table));
    f.Format();
    ASSERT_NE(TableLayoutIn(f.Data, ref), nullptr);
    Settings.Layout = &f.Data;
    std::string out;
    ASSERT_TRUE(WriteRtfDocument(f.Data, Settings, out));
    // 400 wide: 195 pixels per column, ending 2 + 195 + 1 and 201 + 195 + 1 from the left.
    EXPECT_NE(out.find("\\cellx2970\\clftsWidth1\\docviewcbw0\\docviewcbh0\\clcbpat17\\cellx5955\\pard"),
              std::string::npos)
        << out;
    // Without the layout the table is laid out 600 pixels wide for the export.
    Settings.Layout = nullptr;
    out.clear();
    ASSERT_TRUE(WriteRtfDocument(f.Data, Settings, out));
    EXPECT_NE(out.find("\\cellx4470\\clftsWidth1\\docviewcbw0\\docviewcbh0\\clcbpat17\\cellx8955\\pard"),
              std::string::npos)
        << out;
}

TEST_F(TableRtfTest, ALayoutMadeOnAFinerCanvasGivesTheSameColumns)
{
    // At 192 dpi the table is laid out 1200 device pixels wide; its columns are written in
    // screen pixels all the same.
    TTestCanvas fine(192, 192);
    Settings.Canvas = &fine;
    AddTable(1, 2, Doc);
    const std::string body = Body();
    EXPECT_NE(body.find("\\cellx4470\\clftsWidth1\\docviewcbw0\\docviewcbh0\\clcbpat17\\cellx8955\\pard"),
              std::string::npos)
        << body;
}

TEST_F(TableRtfTest, RowAndCellPropertiesAndTheHostsHooks)
{
    TParaInfo& right = Sheet.ParaStyles.Add();
    right.Alignment = rvaRight;
    TRVTableItemInfo& t = AddTable(2, 2, Doc);
    t.ParaNo = Sheet.ParaStyles.Count() - 1;
    t.HeadingRowCount = 1;
    t.PrintOptions = {};
    t.BestWidth = 300;
    t.BorderWidth = 1;
    t.BorderStyle = rvtbColor;
    t.BorderColor = 0x0000FF; // red
    t.VisibleBorders.Top = false;
    t.CellBorderWidth = 2;
    t.CellBorderStyle = rvtbRaisedColor;
    t.CellBorderColor = 0x000080;      // dark red
    t.CellBorderLightColor = 0x00FFFF; // yellow
    t.Color = clNone;
    t.Cells(0, 1)->BestHeight = 20;
    t.Cells(0, 1)->BestWidth = -50;
    t.Cells(0, 1)->Color = 0x00FF00;   // green
    t.Cells(0, 1)->VAlign = rvcBottom;
    t.Cells(1, 0)->BestWidth = 100;
    t.Rows[1].RowVAlign = rvcVDefault; // cells of row 1 default to the middle
    Settings.OnSaveRTFExtra = [](TRVRTFSaveArea area, const void*, int i1, int i2, bool, std::string& code) {
        if (area == rtfsaRow)
            code = "{R" + std::to_string(i1) + "," + std::to_string(i2) + "}";
        else if (area == rtfsaCell)
            code = "{C" + std::to_string(i1) + "," + std::to_string(i2) + "}";
    };
    std::string body = Body();
    const auto [first, second] = SplitAtSecondRow(body);
    // The gap is half of padding and border on both sides plus the spacing, (2 * 3 + 2) / 2
    // pixels; a pixel width is the table's plus its borders.
    EXPECT_NE(first.find("{\\trowd\\trqr\\trgaph60\\trleft0\\itap1\\trhdr\\trrh300\\trpaddl15"), std::string::npos)
        << first;
    EXPECT_NE(first.find("\\trwWidth4530\\trftsWidth3\\trkeep\\trkeepfollow\\docviewtbw300\\trbrdrl\\brdrs\\brdrw15"
                         "\\brdrcf6\\trbrdrr\\brdrs\\brdrw15\\brdrcf6\\trbrdrb\\brdrs\\brdrw15\\brdrcf6{R-1,0}"),
              std::string::npos)
        << first;
    // Raised colour cell borders: light at the left and top.
    const std::string cellBorders = "\\clbrdrl\\brdrs\\brdrw30\\brdrcf7\\clbrdrt\\brdrs\\brdrw30\\brdrcf7\\clbrdrr"
                                    "\\brdrs\\brdrw30\\brdrcf13\\clbrdrb\\brdrs\\brdrw30\\brdrcf13";
    EXPECT_NE(first.find("\\clwWidth2500\\clftsWidth2\\docviewcbw-50\\docviewcbh20" + cellBorders +
                         "\\clcbpat4\\clvertalb{C1,0}\\cellx"),
              std::string::npos)
        << first;
    // No colour anywhere: no \clcbpat; the default row alignment is the top.
    EXPECT_NE(first.find("\\docviewcbh0" + cellBorders + "{C0,0}\\cellx"), std::string::npos) << first;
    EXPECT_EQ(second.find("\\trhdr"), std::string::npos);
    EXPECT_EQ(second.find("\\trrh"), std::string::npos);
    EXPECT_NE(second.find("\\clwWidth0\\docviewcbw100\\docviewcbh0" + cellBorders + "\\clvertalc{C0,1}\\cellx"),
              std::string::npos)
        << second;
    // With the pixel option a pixel width goes out in twips; a percent table in fiftieths.
    t.Options.Include(rvtoRTFSaveCellPixelBestWidth);
    t.BestWidth = -80;
    body = Body();
    EXPECT_NE(body.find("\\clwWidth1500\\clftsWidth3\\docviewcbw100"), std::string::npos) << body;
    EXPECT_NE(body.find("\\trwWidth4000\\trftsWidth2\\trkeep"), std::string::npos) << body;
    // An automatic table may let readers fit it.
    t.BestWidth = 0;
    t.Options.Include(rvtoRTFAllowAutofit);
    EXPECT_NE(Body().find("\\trftsWidth1\\trautofit1\\trkeep"), std::string::npos);
}

TEST_F(TableRtfTest, TheColourTableHoldsTheColoursOfTablesAndTheirCells)
{
    const int blue = Sheet.TextStyles.Count();
    TFontInfo& style = Sheet.TextStyles.Add();
    style.CopyStyle(Sheet.TextStyles[0]);
    style.Color = 0x123456;
    TRVTableItemInfo& t = AddTable(1, 2, Doc);
    t.Color = clNone;
    t.BorderStyle = rvtbColor;
    t.CellBorderStyle = rvtbColor;
    t.Cells(0, 0)->Color = 0x010203;
    TRVTableCellData& cell = *t.Cells(0, 1);
    cell.Clear();
    TRVTableItemInfo& inner = AddTable(1, 1, cell);
    inner.Cells(0, 0)->Clear();
    inner.Cells(0, 0)->AppendText("x", blue, 0);
    inner.Cells(0, 0)->Color = 0x0A0B0C;
    std::string out;
    ASSERT_TRUE(WriteRtfDocument(Doc, Settings, out));
    // After the 17 fixed colours and the text style's: the first cell's colour, then from the
    // nested table its colour (clWindow), the three colours of its 3-D borders, and its cell's
    // colour. System colours are written as their values.
    EXPECT_NE(out.find("\\red192\\green192\\blue192;\\red86\\green52\\blue18;\\red3\\green2\\blue1;"
                       "\\red255\\green255\\blue255;\\red255\\green255\\blue255;\\red160\\green160\\blue160;"
                       "\\red240\\green240\\blue240;\\red12\\green11\\blue10;}"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\\plain \\f0\\fs20\\cf17 x"), std::string::npos) << out;
    // A transparent table shows no colour behind a cell without one.
    EXPECT_NE(out.find("\\clcbpat18\\cellx4470\\clftsWidth1\\docviewcbw0\\docviewcbh0\\cellx8955"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\\clcbpat23\\cellx"), std::string::npos) << out;
}

} // namespace
} // namespace xq::test

// Drawing tables on the recording test canvas: the border styles, the editing grid, rules and
// the order of backgrounds, content and frames.
#include <gtest/gtest.h>

#include "layout/LayoutTestSupport.h"
#include "layout/Painter.h"
#include "tables/TableLayout.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

using Ops = std::vector<std::string>;

/// A frame of a width and style in the given colours, all sides visible.
TTableBorder Frame(int width, TRVTableBorderStyle style, TColor color = clWindowText, TColor light = clBtnHighlight)
{
    TTableBorder border;
    border.Width = width;
    border.Style = style;
    border.Color = color;
    border.LightColor = light;
    return border;
}

Ops Matching(const Ops& ops, const std::string& prefix)
{
    Ops found;
    for (const std::string& op : ops)
        if (op.rfind(prefix, 0) == 0)
            found.push_back(op);
    return found;
}

class TableBorderTest : public ::testing::Test {
protected:
    Ops Draw(const TTableBorder& border, bool printing = false)
    {
        Canvas.ClearOps();
        TRVPaintContext ctx{Sheet, Fonts, Scale, Data, printing};
        DrawTableBorder(Canvas, TRect{10, 10, 20, 16}, border, ctx);
        return Canvas.Ops();
    }

    TRVStyle Sheet;
    TTestCanvas Canvas;
    TRVFontInfoCache Fonts{Sheet, Canvas};
    TRVDeviceScale Scale;
    TCustomRVData Data{&Sheet};
};

TEST_F(TableBorderTest, RaisedAndLoweredFramesAreNestedLinesInTwoColours)
{
    // Two pixels wide: the top and left sides light, bottom and right dark, each line one pixel
    // further inside.
    TTableBorder raised = Frame(2, rvtbRaised);
    EXPECT_EQ(Draw(raised), (Ops{"line 10,10 19,10 #FFFFFF 1 solid", "line 10,10 10,15 #FFFFFF 1 solid",
                                 "line 10,15 19,15 #A0A0A0 1 solid", "line 19,10 19,15 #A0A0A0 1 solid",
                                 "line 11,11 18,11 #FFFFFF 1 solid", "line 11,11 11,14 #FFFFFF 1 solid",
                                 "line 11,14 18,14 #A0A0A0 1 solid", "line 18,11 18,14 #A0A0A0 1 solid"}));
    // On a background of the highlight colour the light sides turn to the face colour.
    raised.Width = 1;
    raised.Background = clBtnHighlight;
    EXPECT_EQ(Matching(Draw(raised), "line 10,10 19,10"), Ops{"line 10,10 19,10 #F0F0F0 1 solid"});
    TTableBorder lowered = Frame(1, rvtbLoweredColor, 0x0000FF, 0x00FF00);
    EXPECT_EQ(Draw(lowered)[0], "line 10,10 19,10 #FF0000 1 solid") << "lowered colour: Color above";
    EXPECT_EQ(Draw(lowered)[2], "line 10,15 19,15 #00FF00 1 solid") << "and LightColor below";
}

TEST_F(TableBorderTest, ColourFrames)
{
    TTableBorder all = Frame(2, rvtbColor, 0x000080);
    EXPECT_EQ(Draw(all), Ops{"rect 10,10,20,16 #800000 2 solid"}) << "all sides: one outline";
    all.Color = clNone;
    EXPECT_TRUE(Draw(all).empty());

    TTableBorder some = Frame(2, rvtbColor, 0x000080);
    some.Visible.Right = some.Visible.Bottom = false;
    EXPECT_EQ(Draw(some), (Ops{"line 10,10 19,10 #800000 1 solid", "line 10,10 10,15 #800000 1 solid",
                               "line 11,11 18,11 #800000 1 solid", "line 11,11 11,14 #800000 1 solid"}));
    some.OverlappingCorners = true;
    EXPECT_EQ(Draw(some)[2], "line 10,11 19,11 #800000 1 solid") << "every line keeps the full length";
}

TEST_F(TableBorderTest, InvisibleSidesShowAsAGridWhileEditing)
{
    TTableBorder border = Frame(0, rvtbColor, clBlack);
    EXPECT_TRUE(Draw(border).empty());
    border.GridLines = true;
    EXPECT_EQ(Draw(border), (Ops{"line 10,10 19,10 #F0F0F0 1 dot", "line 10,15 19,15 #F0F0F0 1 dot",
                                 "line 10,10 10,15 #F0F0F0 1 dot", "line 19,10 19,15 #F0F0F0 1 dot"}));
    border.Width = 1;
    border.Visible.Left = false;
    EXPECT_EQ(Draw(border), (Ops{"line 10,10 10,15 #F0F0F0 1 dot", "line 10,10 19,10 #000000 1 solid",
                                 "line 10,15 19,15 #000000 1 solid", "line 19,10 19,15 #000000 1 solid"}));
}

TEST_F(TableBorderTest, PrintedHalftoneFramesAreOneWideLinePerSide)
{
    TTableBorder border = Frame(2, rvtbLowered);
    border.Halftone = true;
    EXPECT_EQ(Draw(border, true),
              (Ops{"line 10,11 19,11 #A0A0A0 2 solid", "line 11,10 11,15 #A0A0A0 2 solid",
                   "line 10,14 19,14 #FFFFFF 2 solid", "line 18,10 18,15 #FFFFFF 2 solid"}));
}

/// A document of one 2 x 2 table, painted on a second canvas.
class TablePaintTest : public ::testing::Test {
protected:
    TablePaintTest()
    {
        auto table = NamedTable(2, 2, &F.Data);
        Table = table.get();
        Table->BestWidth = 100;
        Table->Color = clNone;
        F.Data.AppendItem("", std::move(table));
    }

    Ops Paint(bool editable)
    {
        F.Format();
        Canvas.ClearOps();
        TRVPaintRequest request;
        request.Rect = {0, 0, 200, 100};
        request.Color = clNone;
        request.Editable = editable;
        PaintDocument(F.Data, Canvas, request);
        Ops ops;
        for (const std::string& op : Canvas.Ops())
            if (op.rfind("clip", 0) != 0 && op.rfind("font", 0) != 0)
                ops.push_back(op);
        return ops;
    }

    LayoutFixture F{200};
    TRVTableItemInfo* Table = nullptr;
    TTestCanvas Canvas;
};

TEST_F(TablePaintTest, CellsPaintBackgroundThenContentThenBorder)
{
    // 100 wide with cell borders of 1: columns of (100 - 10 - 4) / 2 = 43; cell rectangles 45 x 17
    // at 3,3 and 52,3, framed one pixel outside.
    Table->CellBorderWidth = 1;
    Table->CellBorderStyle = rvtbColor;
    Table->Cells(0, 1)->Color = 0x00FFFF;
    const Ops ops = Paint(false);
    const auto at = [&](const std::string& op) { return std::find(ops.begin(), ops.end(), op) - ops.begin(); };
    const auto fill = at("fill 52,3,97,20 #FFFF00");
    const auto text = at("text 53,4 '01' #000000");
    const auto frame = at("rect 51,2,98,21 #000000 1 solid");
    ASSERT_LT(frame, std::ptrdiff_t(ops.size())) << testing::PrintToString(ops);
    EXPECT_LT(fill, text);
    EXPECT_LT(text, frame);
    EXPECT_TRUE(Matching(ops, "line").empty()) << "no grid when not editing";
}

TEST_F(TablePaintTest, SelectedCellsShowTheirContentAsSelectedText)
{
    Table->Select(0, 1, 1, 0);
    const Ops ops = Paint(true);
    // The two cells of the second column in the selection colours, the first column as it is.
    EXPECT_NE(std::find(ops.begin(), ops.end(), "text 52,3 '01' #FFFFFF"), ops.end()) << testing::PrintToString(ops);
    EXPECT_NE(std::find(ops.begin(), ops.end(), "fill 51,2,98,19 #0078D7"), ops.end());
    EXPECT_NE(std::find(ops.begin(), ops.end(), "text 3,3 '00' #000000"), ops.end());
    Table->Deselect();
    const Ops plain = Paint(true);
    EXPECT_NE(std::find(plain.begin(), plain.end(), "text 52,3 '01' #000000"), plain.end());
}

TEST_F(TablePaintTest, AnInsertedTableIsDrawnWithSingleLines)
{
    // The frames of the table and of its four cells: every line between two cells, and every
    // cell line on the table's edge, is the same pixel column or row.
    F.Data.Clear();
    F.Data.AppendItem("", NewInsertedTable(2, 2, true, 100, &F.Data));
    const Ops frames = Matching(Paint(true), "rect");
    EXPECT_EQ(frames, (Ops{"rect 0,0,100,53 #000000 1 solid", "rect 0,0,50,27 #000000 1 solid",
                           "rect 49,0,100,27 #000000 1 solid", "rect 0,26,50,53 #000000 1 solid",
                           "rect 49,26,100,53 #000000 1 solid"}));
    EXPECT_TRUE(Matching(Paint(true), "line").empty()) << "no dotted grid under visible borders";
}

TEST_F(TablePaintTest, GridLinesOnlyWhileEditingAndNotWhenHidden)
{
    EXPECT_EQ(Matching(Paint(true), "line").size(), 4u * 4u) << "every side of the four cells";
    Table->Options.Include(rvtoHideGridLines);
    EXPECT_TRUE(Matching(Paint(true), "line").empty());
}

TEST_F(TablePaintTest, RulesBetweenColumnsAndRows)
{
    Table->VRuleWidth = 1;
    Table->HRuleWidth = 2;
    Table->VRuleColor = Table->HRuleColor = 0x0000FF;
    const Ops lines = Matching(Paint(false), "line");
    // Between the columns: the cell gap is 2, the rule at 51 - 1 = 50; between the rows at
    // 21 - 1 = 20, two lines starting one above.
    EXPECT_EQ(lines, (Ops{"line 50,0 50,39 #FF0000 1 solid", "line 0,19 99,19 #FF0000 1 solid",
                          "line 0,20 99,20 #FF0000 1 solid"}));
}

} // namespace
} // namespace xq::test

// Paragraph frames and backgrounds, pixel for pixel on the recording test canvas.
#include <gtest/gtest.h>

#include "layout/Painter.h"
#include "PaintTestSupport.h"

namespace xq {
namespace {

using Ops = std::vector<std::string>;

TRVBorder Border(TRVBorderStyle style, int width, int internalWidth, int offset)
{
    TRVBorder border;
    border.Style = style;
    border.Color = clBlack;
    border.Width = width;
    border.InternalWidth = internalWidth;
    border.BorderOffsets.SetAll(offset);
    return border;
}

Ops Draw(const TRVBorder& border, const TRect& rect = {10, 20, 100, 50}, TRVDeviceScale scale = {})
{
    TTestCanvas canvas;
    DrawParagraphBorder(canvas, border, rect, scale);
    return canvas.Ops();
}

/// The four sides of a rectangle as the border draws them: left, top, right, bottom.
Ops Sides(int l, int t, int r, int b, int pen)
{
    const std::string p = std::to_string(pen);
    const auto pt = [](int x, int y) { return std::to_string(x) + "," + std::to_string(y); };
    return {"line " + pt(l, t) + " " + pt(l, b) + " #000000 " + p + " solid",
            "line " + pt(l, t) + " " + pt(r, t) + " #000000 " + p + " solid",
            "line " + pt(r, t) + " " + pt(r, b) + " #000000 " + p + " solid",
            "line " + pt(l, b) + " " + pt(r, b) + " #000000 " + p + " solid"};
}

Ops Join(Ops a, const Ops& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(BorderPaintTest, LinesOfEachStyleStepOutByOnePlusInternalWidth)
{
    EXPECT_EQ(Draw(Border(rvbNone, 1, 1, 2)), Ops{});
    EXPECT_EQ(Draw(Border(rvbSingle, 1, 1, 0)), Sides(10, 20, 100, 50, 1));

    // Two one-pixel lines with a one-pixel gap (x = 7) between them; the inner one lies on the
    // rectangle grown by the offsets.
    EXPECT_EQ(Draw(Border(rvbDouble, 1, 1, 2)), Join(Sides(8, 18, 102, 52, 1), Sides(6, 16, 104, 54, 1)));

    EXPECT_EQ(Draw(Border(rvbTriple, 1, 2, 0)),
              Join(Join(Sides(10, 20, 100, 50, 1), Sides(7, 17, 103, 53, 1)), Sides(4, 14, 106, 56, 1)));
}

TEST(BorderPaintTest, ThickLineAndTheOnePixelStepOfThinBorders)
{
    // Thick outside: the outer line is twice as wide, and with Width 1 its right and bottom
    // edges move out one pixel more.
    EXPECT_EQ(Draw(Border(rvbThickOutside, 1, 1, 0)), Join(Sides(10, 20, 100, 50, 1), Sides(8, 18, 103, 53, 2)));
    // Thick inside: the inner line is the wide one, and the left and top edges move out.
    EXPECT_EQ(Draw(Border(rvbThickInside, 1, 1, 0)), Join(Sides(10, 20, 100, 50, 2), Sides(7, 17, 102, 52, 1)));
    // Wider borders take no extra step.
    EXPECT_EQ(Draw(Border(rvbThickOutside, 2, 1, 0)), Join(Sides(10, 20, 100, 50, 2), Sides(8, 18, 102, 52, 4)));
}

TEST(BorderPaintTest, OnlyVisibleSidesAndOwnColour)
{
    TRVBorder border = Border(rvbSingle, 1, 1, 1);
    border.VisibleBorders.Left = false;
    border.VisibleBorders.Bottom = false;
    const Ops sides = Sides(9, 19, 101, 51, 1);
    EXPECT_EQ(Draw(border), (Ops{sides[1], sides[2]}));

    border.VisibleBorders = {};
    border.Color = clRed;
    EXPECT_EQ(Draw(border).front(), "line 9,19 9,51 #FF0000 1 solid");
    border.Color = clNone;
    EXPECT_EQ(Draw(border), Ops{});
}

TEST(BorderPaintTest, PrintingScalesWidthsOffsetsAndTheStep)
{
    TRVDeviceScale printer;
    printer.DevicePpiX = printer.DevicePpiY = 192;
    // Offsets 2 -> 4, Width 1 -> 2, step 1 + 1 -> 4, the extra pixel -> 2.
    EXPECT_EQ(Draw(Border(rvbThickOutside, 1, 1, 2), {10, 20, 100, 50}, printer),
              Join(Sides(6, 16, 104, 54, 2), Sides(2, 12, 110, 60, 4)));
}

// --- Through the document painter

class ParagraphFrameTest : public ::testing::Test {
protected:
    ParagraphFrameTest()
    {
        TParaInfo& framed = Doc.Sheet.ParaStyles.Add(); // style 2
        framed.LeftIndent = 10;
        framed.FirstIndent = -4;
        framed.RightIndent = 20;
        framed.Background.Color = clYellow;
        framed.Background.BorderOffsets.SetAll(1);
        framed.Border = Border(rvbSingle, 1, 1, 3);
        Doc.Data.MaxTextWidth = 200;

        Doc.Data.AppendText("Plain", 0, 0);
        Doc.Data.AppendText("Framed one", 0, 2);
        Doc.Data.AppendText("and two", 0, 0);
        Doc.Place(0, 5, 5, 36, 15, true, 1, 5);
        Doc.Place(1, 11, 30, 63, 15, true, 1, 6).LineGapAfter = 2;
        Doc.Place(1, 15, 47, 18, 15, true, 7, 4).LineGapAfter = 2;
        Doc.Place(2, 5, 70, 42, 15, true, 1, 7);
    }

    test::TPaintedDocument Doc;
};

TEST_F(ParagraphFrameTest, BackgroundAndBorderAroundTheParagraphRectangle)
{
    // Left: LeftMargin 5 + LeftIndent 10 + FirstIndent -4 = 11; right: LeftMargin 5 +
    // MaxTextWidth 200 - RightIndent 20 = 185; top 30; bottom 47 + 15 + 2 = 64.
    const Ops ops = Doc.Paint();
    ASSERT_GE(ops.size(), 5u);
    EXPECT_EQ(ops[0], "fill 10,29,186,65 #FFFF00") << "grown by the background offsets, before the text";
    EXPECT_EQ(Ops(ops.begin() + 1, ops.begin() + 5), Sides(8, 27, 188, 67, 1));
    EXPECT_EQ(test::OpsStartingWith(ops, "fill").size(), 1u) << "the plain paragraphs get nothing";

    Doc.Data.DrawItems()[1].Width = 250; // a wider piece widens the rectangle
    EXPECT_EQ(Doc.Paint()[0], "fill 10,29,262,65 #FFFF00");
}

TEST_F(ParagraphFrameTest, FramesOfParagraphsJustOutsideTheAreaStillReachIn)
{
    TRVPaintRequest request = test::TPaintedDocument::Request();
    request.Rect = {0, 65, 300, 200}; // the frame's bottom line (y 67) is inside, its text is not
    const Ops ops = Doc.Paint(request);
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0], "fill 10,29,186,65 #FFFF00");
    EXPECT_TRUE(test::OpsStartingWith(ops, "text 11,30").empty()) << "lines out of view are not drawn";
}

} // namespace
} // namespace xq

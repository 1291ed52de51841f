// Painting a container: text, selection, special characters, page break marks, misspelling marks
// and the view background, asserted on the drawing operations of the test canvas.
#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "layout/Painter.h"
#include "pictures/Bitmap.h"
#include "pictures/PictureSamples.h"
#include "LayoutTestSupport.h"
#include "PaintTestSupport.h"

namespace xq {
namespace {

using Ops = std::vector<std::string>;
using test::OpsStartingWith;
using test::TPaintedDocument;

// ---------------------------------------------------------------------------------------------
// Text

TEST(PainterTextTest, JustificationSpaceStaysEmptyBeforeTheWord)
{
    TPaintedDocument doc;
    doc.Sheet.TextStyles.StyleAt(0).BackColor = clYellow;
    doc.Data.AppendText("a b", 0, 0);
    doc.Place(0, 5, 5, 6, 15, true, 1, 1);
    doc.Place(0, 11, 5, 13, 15, false, 2, 2).JustifyExtra = 4; // " b"
    const Ops ops = doc.Paint();
    EXPECT_EQ(OpsStartingWith(ops, "fill"), (Ops{"fill 5,5,11,20 #FFFF00", "fill 15,5,24,20 #FFFF00"}));
    EXPECT_EQ(OpsStartingWith(ops, "text"), (Ops{"text 5,5 'a' #000000", "text 15,5 ' b' #000000"}));
}

TEST(PainterTextTest, UnderlineTypesStrikeOutAndOverline)
{
    TPaintedDocument doc;
    TFontInfo& style = doc.Sheet.TextStyles.StyleAt(0);
    style.Style = {fsUnderline};
    doc.Data.AppendText("ab", 0, 0);
    doc.Place(0, 5, 5, 12, 15, true, 1, 2);

    // A plain underline in the text colour is the canvas's (font flag).
    EXPECT_EQ(doc.Paint(), (Ops{"font Arial 13px underline", "text 5,5 'ab' #000000", "fill 5,18,17,19 #000000"}));

    // Baseline 5 + 12; the underline starts 1 below it and is 1 thick.
    style.UnderlineType = rvutDouble;
    style.UnderlineColor = clRed;
    EXPECT_EQ(doc.Paint(), (Ops{"font Arial 13px", "text 5,5 'ab' #000000", "fill 5,18,17,19 #FF0000",
                                "fill 5,20,17,21 #FF0000"}));

    style.UnderlineType = rvutThick;
    style.UnderlineColor = clNone;
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "fill"), Ops{"fill 5,18,17,20 #000000"});

    // Dots of one pixel every other pixel, laid from x = 0 so that pieces join up.
    style.UnderlineType = rvutDotted;
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "fill"),
              (Ops{"fill 6,18,7,19 #000000", "fill 8,18,9,19 #000000", "fill 10,18,11,19 #000000",
                   "fill 12,18,13,19 #000000", "fill 14,18,15,19 #000000", "fill 16,18,17,19 #000000"}));

    style.UnderlineType = rvutDashed; // 4 on, 2 off
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "fill"),
              (Ops{"fill 6,18,10,19 #000000", "fill 12,18,16,19 #000000"}));

    style.Style = {fsStrikeOut};
    style.StyleEx = {rvfsOverline};
    EXPECT_EQ(doc.Paint(), (Ops{"font Arial 13px strikeout", "text 5,5 'ab' #000000", "fill 5,14,17,15 #000000",
                                "fill 5,5,17,6 #000000"}));
}

TEST(PainterTextTest, SoftHyphenAtALineEndShowsAHyphen)
{
    TPaintedDocument doc;
    TFontInfo& unicode = doc.Sheet.TextStyles.Add();
    unicode.Unicode = true;
    const int style = doc.Sheet.TextStyles.Count() - 1;
    doc.Data.AppendTextW(u"ab\u00ADcd", style, 0);
    doc.Data.AppendTextW(u"x\u00ADy\u200B", style, 0);
    // "ab" + hyphen (6) at a line end; "cd" on the next line.
    doc.Place(0, 5, 5, 18, 15, true, 1, 3);
    doc.Place(0, 5, 20, 12, 15, true, 4, 2);
    // Inside a line the soft hyphen is invisible and takes no room; a real zero-width space at a
    // line end stays invisible.
    doc.Place(1, 5, 35, 12, 15, true, 1, 4);
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "text"),
              (Ops{"text 5,5 'ab-' #000000", "text 5,20 'cd' #000000", "text 5,35 'x' #000000",
                   "text 11,35 'y' #000000"}));

    // Shown as marks, the soft hyphen keeps its mark.
    doc.Data.Options.Include(rvoShowSpecialCharacters);
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "text 5,5"), Ops{"text 5,5 'ab\xC2\xAC' #000000"});
}

// ---------------------------------------------------------------------------------------------
// Selection

class PainterSelectionTest : public ::testing::Test {
protected:
    PainterSelectionTest()
    {
        doc.Sheet.SelColor = clBlue;
        doc.Sheet.SelTextColor = clWhite;
        doc.Sheet.InactiveSelColor = clGray;
        doc.Sheet.InactiveSelTextColor = clYellow;
        doc.Data.AppendText("Hallo Welt", 0, 0);
        doc.Data.AppendText("", 0, 0);
        doc.Place(0, 5, 5, 56, 15, true, 1, 10);
        doc.Place(1, 5, 20, 0, 15, true, 1, 0);
    }

    void Select(int startNo, int startOffs, int endNo, int endOffs)
    {
        doc.Data.SelStartNo = startNo;
        doc.Data.SelStartOffs = startOffs;
        doc.Data.SelEndNo = endNo;
        doc.Data.SelEndOffs = endOffs;
    }

    TPaintedDocument doc;
};

TEST_F(PainterSelectionTest, PartOfATextItemIsFilledAndRecoloured)
{
    Select(0, 7, 0, 3); // "llo " backwards: offsets 3..7
    // "Ha" is 15 wide, "llo " 15.
    EXPECT_EQ(doc.Paint(), (Ops{"fill 20,5,35,20 #0000FF", "font Arial 13px", "text 5,5 'Ha' #000000",
                                "text 20,5 'llo ' #FFFFFF", "text 35,5 'Welt' #000000"}));
}

TEST_F(PainterSelectionTest, UnfocusedViewUsesTheInactiveColours)
{
    Select(0, 1, 0, 11);
    TRVPaintRequest request = TPaintedDocument::Request();
    request.Focused = false;
    EXPECT_EQ(doc.Paint(request), (Ops{"fill 5,5,61,20 #808080", "font Arial 13px", "text 5,5 'Hallo Welt' #FFFF00"}));

    doc.Sheet.InactiveSelColor = clNone; // no fill, the text still takes the selected colour
    EXPECT_EQ(doc.Paint(request), (Ops{"font Arial 13px", "text 5,5 'Hallo Welt' #FFFF00"}));

    request.Printing = true; // paper shows no selection
    EXPECT_EQ(doc.Paint(request), (Ops{"font Arial 13px", "text 5,5 'Hallo Welt' #000000"}));
}

TEST(PainterLineSelectionTest, LineSelectionStyleFillsTheWholeLineOnePixelWider)
{
    TPaintedDocument doc;
    doc.Sheet.SelColor = clBlue;
    doc.Sheet.SelectionStyle = rvssLines;
    doc.Data.AppendText("Hallo Welt", 0, 0);
    doc.Data.AppendText("X", 0, -1);
    doc.Place(0, 5, 8, 56, 15, true, 1, 10); // a lower piece on a line 5 .. 25
    doc.Place(1, 61, 5, 9, 20, false, 1, 1);
    doc.Data.SelStartNo = doc.Data.SelEndNo = 0;
    doc.Data.SelStartOffs = 1;
    doc.Data.SelEndOffs = 6; // "Hallo", 27 wide
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "fill"), Ops{"fill 4,5,33,25 #0000FF"});
}

// ---------------------------------------------------------------------------------------------
// Special characters

class PainterSpecialCharactersTest : public ::testing::Test {
protected:
    PainterSpecialCharactersTest() { doc.Data.Options.Include(rvoShowSpecialCharacters); }
    TPaintedDocument doc;
};

TEST_F(PainterSpecialCharactersTest, EmptyParagraphShowsOnlyItsPilcrow)
{
    doc.Data.AppendText("ab", 0, 0);
    doc.Data.AppendText("", 0, 0);
    doc.Data.AppendText("c", 0, 0);
    doc.Place(0, 5, 5, 12, 15, true, 1, 2);
    doc.Place(1, 5, 20, 0, 15, true, 1, 0);
    doc.Place(2, 5, 35, 6, 15, true, 1, 1);
    EXPECT_EQ(doc.Paint(), (Ops{"font Arial 13px", "text 5,5 'ab' #000000", "text 17,5 '\xC2\xB6' #000000",
                                "text 5,20 '\xC2\xB6' #000000", "text 5,35 'c' #000000",
                                "text 11,35 '\xC2\xB6' #000000"}));
}

TEST_F(PainterSpecialCharactersTest, SymbolFontParagraphShowsItsPilcrowInArial)
{
    TFontInfo& symbol = doc.Sheet.TextStyles.Add();
    symbol.FontName = "Symbol";
    symbol.Size = 12; // 16 px em, Height 19
    doc.Data.AppendText("a", doc.Sheet.TextStyles.Count() - 1, 0);
    doc.Place(0, 5, 5, 8, 19, true, 1, 1);
    // Bottom-aligned: 5 + 19 - 19.
    EXPECT_EQ(doc.Paint(), (Ops{"font Symbol 16px", "text 5,5 'a' #000000", "font Arial 16px",
                                "text 13,5 '\xC2\xB6' #000000"}));
}

TEST_F(PainterSpecialCharactersTest, SpacesAndNoBreakSpacesGetCentredMarks)
{
    doc.Sheet.SelColor = clNone;
    doc.Sheet.SelTextColor = clRed;
    doc.Data.AppendTextW(u"a b\u00A0c", 0, 0);
    doc.Place(0, 5, 5, 27, 15, true, 1, 5);
    doc.Data.SelStartNo = doc.Data.SelEndNo = 0;
    doc.Data.SelStartOffs = 4;
    doc.Data.SelEndOffs = 5; // the no-break space
    // Space cell 11..14, dot 6 wide: (3 - 6) / 2 rounds to -2. No-break space cell 20..26.
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "text"),
              (Ops{"text 5,5 'a b' #000000", "text 20,5 '\xC2\xA0' #FF0000", "text 26,5 'c' #000000",
                   "text 9,5 '\xC2\xB7' #000000", "text 20,5 '\xC2\xB0' #FF0000", "text 32,5 '\xC2\xB6' #000000"}));
}

TEST_F(PainterSpecialCharactersTest, LineBreakShowsTheReturnArrowAndMarksFollowTheLastTextStyle)
{
    doc.Data.AppendText("a", 1, 0); // Heading: bold, blue
    doc.Data.AppendText("b", 0, 0);
    doc.Data.ItemAt(1).SetNewLine(true);
    doc.Data.AppendItem({}, std::make_unique<TRVBreakItemInfo>());
    doc.Place(0, 5, 5, 7, 15, true, 1, 1);
    doc.Place(1, 5, 20, 6, 15, true, 1, 1);
    doc.Place(2, 5, 35, 0, 11, true);
    const Ops ops = doc.Paint();
    EXPECT_EQ(OpsStartingWith(ops, "font"), (Ops{"font Arial 13px bold", "font Symbol 13px bold", "font Arial 13px"}));
    EXPECT_EQ(OpsStartingWith(ops, "text"),
              (Ops{"text 5,5 'a' #0000FF", "text 12,5 '\xC2\xBF' #0000FF", "text 5,20 'b' #000000",
                   "text 11,20 '\xC2\xB6' #000000", "text 5,31 '\xC2\xB6' #000000"}))
        << "the break at the end of the document is marked in the last text style, bottom-aligned";
}

TEST_F(PainterSpecialCharactersTest, NoMarksWhenPrintingOrHidden)
{
    doc.Data.AppendText("a b", 0, 0);
    doc.Place(0, 5, 5, 15, 15, true, 1, 3);
    TRVPaintRequest printing = TPaintedDocument::Request();
    printing.Printing = true;
    EXPECT_EQ(doc.Paint(printing), (Ops{"font Arial 13px", "text 5,5 'a b' #000000"}));

    TRVSpecialCharacters& shown = VisibleSpecialCharacters();
    const TRVSpecialCharacters saved = shown;
    shown.Exclude(rvscSpace);
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "text"), (Ops{"text 5,5 'a b' #000000", "text 20,5 '\xC2\xB6' #000000"}));
    shown = saved;
}

// ---------------------------------------------------------------------------------------------
// Page breaks

TEST(PageBreakMarkTest, LineAndTriangleAtTheRightEdge)
{
    TTestCanvas canvas;
    DrawPageBreakMark(canvas, 40, -3, 610, clBlack);
    EXPECT_EQ(canvas.Ops(), (Ops{"line -3,40 599,40 #000000 1 solid",
                                 "polygon 599,40 607,48 599,48 fill #FFFFFF pen #000000 1 solid"}));
}

TEST(PageBreakMarkTest, HardAndSoftBreaksSpanTheDocumentAreaWhateverTheIndents)
{
    TPaintedDocument doc;
    doc.Sheet.PageBreakColor = clRed;
    doc.Sheet.SoftPageBreakColor = clGreen;
    doc.Data.AppendText("eins", 0, 0);
    doc.Data.AppendText("zwei drei", 0, 0);
    doc.Data.ItemAt(1).SetNewPageBefore(true);
    doc.Data.AppendText("x", 0, -1);
    doc.Place(0, 5, 5, 24, 15, true, 1, 4);
    doc.Place(1, 45, 31, 30, 15, true, 1, 5); // an indented paragraph
    doc.Place(1, 45, 51, 24, 15, true, 6, 4);
    doc.Place(2, 69, 50, 6, 16, false, 1, 1); // this line's top is 50
    doc.Data.SoftPageBreaks().push_back({1, 7, -1}); // the page starts inside "drei"

    TRVPaintRequest request = TPaintedDocument::Request();
    request.ScrollX = 4;
    request.ScrollY = 2;
    const int w = doc.Data.DocumentWidth();
    const auto mark = [&](int y, const char* color) {
        const std::string line = "line -4," + std::to_string(y) + " " + std::to_string(w - 4 - 8) + "," +
                                 std::to_string(y) + " " + color + " 1 solid";
        const std::string corner = std::to_string(w - 4 - 8);
        const std::string polygon = "polygon " + corner + "," + std::to_string(y) + " " + std::to_string(w - 4) + "," +
                                    std::to_string(y + 8) + " " + corner + "," + std::to_string(y + 8) +
                                    " fill #FFFFFF pen " + color + " 1 solid";
        return Ops{line, polygon};
    };
    const Ops ops = doc.Paint(request);
    EXPECT_EQ(OpsStartingWith(ops, "line"), (Ops{mark(48, "#008000")[0], mark(28, "#FF0000")[0]}))
        << "soft marks first, at the line top; hard marks one above their line";
    EXPECT_EQ(OpsStartingWith(ops, "polygon"), (Ops{mark(48, "#008000")[1], mark(28, "#FF0000")[1]}));

    doc.Data.Options.Exclude(rvoShowPageBreaks);
    EXPECT_TRUE(OpsStartingWith(doc.Paint(request), "line").empty());
}

// ---------------------------------------------------------------------------------------------
// Misspelling marks

TEST(MisspellingMarkTest, ZigzagEveryTwoPixelsEndingAtTheRightEdge)
{
    EXPECT_EQ(MisspellingPoints(10, 20, 30),
              (std::vector<TPoint>{{10, 28}, {12, 30}, {14, 28}, {16, 30}, {18, 28}, {20, 30}}));
    EXPECT_EQ(MisspellingPoints(10, 21, 30),
              (std::vector<TPoint>{{10, 28}, {12, 30}, {14, 28}, {16, 30}, {18, 28}, {21, 30}}))
        << "the last point moves to the right edge";
    EXPECT_EQ(MisspellingPoints(10, 12, 30), (std::vector<TPoint>{{10, 28}, {12, 30}}));
    EXPECT_TRUE(MisspellingPoints(10, 11, 30).empty()) << "narrower than two points";
    EXPECT_TRUE(MisspellingPoints(10, 10, 30).empty());

    const std::vector<TPoint> wide = MisspellingPoints(0, 5000, 30);
    ASSERT_EQ(wide.size(), 1024u);
    EXPECT_EQ(wide[1022], (TPoint{2044, 28}));
    EXPECT_EQ(wide.back(), (TPoint{5000, 30}));
}

TEST(MisspellingMarkTest, MarkedWordsOfTextItems)
{
    TPaintedDocument doc;
    TFontInfo& tiny = doc.Sheet.TextStyles.Add();
    tiny.Size = 4; // an em of 5 pixels: "i" is 1 wide
    doc.Data.AppendText("ab cd", 0, 0);
    doc.Data.AppendText("i", doc.Sheet.TextStyles.Count() - 1, -1);
    doc.Data.ItemAt(0).Misspellings = std::make_unique<std::vector<TRVMisspelling>>(std::vector<TRVMisspelling>{{4, 2}});
    doc.Data.ItemAt(1).Misspellings = std::make_unique<std::vector<TRVMisspelling>>(std::vector<TRVMisspelling>{{1, 1}});
    doc.Place(0, 5, 5, 15, 15, true, 1, 3);  // "ab "
    doc.Place(0, 5, 20, 12, 15, true, 4, 2); // "cd" on the next line
    doc.Place(1, 17, 29, 1, 6, false, 1, 1);
    EXPECT_EQ(OpsStartingWith(doc.Paint(), "polyline"),
              Ops{"polyline 5,33 7,35 9,33 11,35 13,33 15,35 17,33 #FF0000 1 solid"})
        << "a one-letter word narrower than two points gets no mark";

    TRVPaintRequest printing = TPaintedDocument::Request();
    printing.Printing = true;
    EXPECT_TRUE(OpsStartingWith(doc.Paint(printing), "polyline").empty());
}

// ---------------------------------------------------------------------------------------------
// Background

class BackgroundPaintTest : public ::testing::Test {
protected:
    BackgroundPaintTest()
    {
        test::TBmpLayout layout;
        layout.Width = 10;
        layout.Height = 10;
        layout.Bits.assign(10 * 32, '\x40'); // 24-bit rows padded to 32 bytes
        Picture.LoadFromBytes(test::MakeBmp(layout));
    }

    Ops Paint(TBackgroundStyle style, TRect paintRect, TPoint scroll = {})
    {
        TTestCanvas canvas;
        PaintBackground(canvas, {0, 0, 30, 25}, paintRect, clWhite, style, &Picture, scroll, TRVDeviceScale{});
        Ops ops;
        for (const std::string& op : canvas.Ops())
            if (op.rfind("clip", 0) != 0)
                ops.push_back(op);
        return ops;
    }

    TBitmap Picture;
};

TEST_F(BackgroundPaintTest, FixedTilesOnlyWhereTheyMeetThePaintedArea)
{
    const Ops expected{"image 10,0,20,10 from 10x10",  "image 20,0,30,10 from 10x10",
                       "image 10,10,20,20 from 10x10", "image 20,10,30,20 from 10x10",
                       "image 10,20,20,30 from 10x10", "image 20,20,30,30 from 10x10"};
    EXPECT_EQ(Paint(bsTiled, {12, 0, 30, 25}), expected) << "an opaque picture needs no colour below";
    EXPECT_EQ(Paint(bsTiled, {12, 0, 30, 25}, {3, 4}), expected) << "fixed while the text scrolls";
}

TEST_F(BackgroundPaintTest, ScrolledTilesMoveWithTheText)
{
    EXPECT_EQ(Paint(bsTiledAndScrolled, {12, 0, 30, 25}, {3, 4}),
              (Ops{"image 7,-4,17,6 from 10x10", "image 17,-4,27,6 from 10x10", "image 27,-4,37,6 from 10x10",
                   "image 7,6,17,16 from 10x10", "image 17,6,27,16 from 10x10", "image 27,6,37,16 from 10x10",
                   "image 7,16,17,26 from 10x10", "image 17,16,27,26 from 10x10",
                   "image 27,16,37,26 from 10x10"}));
}

TEST_F(BackgroundPaintTest, PlacedOnceOverTheColour)
{
    EXPECT_EQ(Paint(bsCentered, {0, 0, 30, 25}), (Ops{"fill 0,0,30,25 #FFFFFF", "image 10,7,20,17 from 10x10"}));
    EXPECT_EQ(Paint(bsBottomRight, {0, 0, 30, 25}), (Ops{"fill 0,0,30,25 #FFFFFF", "image 20,15,30,25 from 10x10"}));
    EXPECT_EQ(Paint(bsTopLeft, {12, 12, 30, 25}), Ops{"fill 12,12,30,25 #FFFFFF"}) << "out of the painted area";
    EXPECT_EQ(Paint(bsStretched, {0, 0, 5, 5}), Ops{"image 0,0,30,25 from 10x10"});
    EXPECT_EQ(Paint(bsNoBitmap, {0, 0, 5, 5}), Ops{"fill 0,0,5,5 #FFFFFF"});

    Picture.SetTransparent(true); // the whole picture is one colour: all of it transparent
    EXPECT_EQ(Paint(bsStretched, {0, 0, 5, 5}), (Ops{"fill 0,0,5,5 #FFFFFF", "image 0,0,30,25 from 10x10"}));
}

TEST_F(BackgroundPaintTest, ViewBackgroundCoversTheClientArea)
{
    TPaintedDocument doc;
    TRVPaintRequest request = TPaintedDocument::Request();
    request.Rect = {0, 0, 15, 15};
    request.ClientWidth = 30;
    request.ClientHeight = 25;
    request.Color = clWhite;
    request.BackgroundStyle = bsTiledAndScrolled;
    request.BackgroundPicture = &Picture;
    request.ScrollY = 5;
    EXPECT_EQ(doc.Paint(request), (Ops{"image 0,-5,10,5 from 10x10", "image 10,-5,20,5 from 10x10",
                                       "image 0,5,10,15 from 10x10", "image 10,5,20,15 from 10x10"}));
}


// ---------------------------------------------------------------------------------------------
// Formatted documents

/// A formatted container 200 pixels wide without margins, painted on a second canvas.
class FormattedPaintTest : public ::testing::Test {
protected:
    Ops Paint(TRVPaintRequest request = TPaintedDocument::Request())
    {
        Layout.Format();
        Canvas.ClearOps();
        PaintDocument(Layout.Data, Canvas, request);
        Ops ops;
        for (const std::string& op : Canvas.Ops())
            if (op.rfind("clip", 0) != 0)
                ops.push_back(op);
        return ops;
    }

    test::LayoutFixture Layout;
    TTestCanvas Canvas;
};

TEST_F(FormattedPaintTest, HardPageBreakMarkEndsAtTheDocumentAreasRightEdgeWhateverTheIndents)
{
    const int indented = Layout.AddParaStyle();
    Layout.Sheet.ParaStyles.StyleAt(indented).LeftIndent = 40;
    Layout.Sheet.ParaStyles.StyleAt(indented).RightIndent = 30;
    Layout.Sheet.PageBreakColor = clBlack;
    Layout.Text("eins");
    Layout.Text("zwei", 0, indented);
    Layout.Data.ItemAt(1).SetNewPageBefore(true);
    const Ops ops = Paint();
    // The second line starts at y 15: the mark lies one above it.
    EXPECT_EQ(OpsStartingWith(ops, "line"), Ops{"line 0,14 192,14 #000000 1 solid"});
    EXPECT_EQ(OpsStartingWith(ops, "polygon"), Ops{"polygon 192,14 200,22 192,22 fill #FFFFFF pen #000000 1 solid"});
}

TEST_F(FormattedPaintTest, EmptyParagraphsAndBreaksWithSpecialCharacters)
{
    Layout.Data.Options.Include(rvoShowSpecialCharacters);
    Layout.Text("a b");
    Layout.Text("");
    Layout.Data.AppendItem({}, std::make_unique<TRVBreakItemInfo>());
    Layout.Format();
    ASSERT_EQ(test::DrawDump(Layout.Data), "#0 0,0 15x15 'a b'\n#1 0,15 0x15 ''\n#2 0,30 200x11 <-1> gap 5");
    const Ops ops = Paint();
    EXPECT_EQ(ops, (Ops{"font Arial 13px", "text 0,0 'a b' #000000", "text 4,0 '\xC2\xB7' #000000",
                        "text 15,0 '\xC2\xB6' #000000", "text 0,15 '\xC2\xB6' #000000",
                        "line 0,35 199,35 #000000 1 solid", "text 200,26 '\xC2\xB6' #000000"}))
        << "the rule spans the text width 5 below the break's top";
}

} // namespace
} // namespace xq

namespace xq {
namespace {

TEST_F(FormattedPaintTest, ScrolledViewPaintsOnlyTheLinesInView)
{
    // Forty lines of 15 pixels, a view of 45 pixels scrolled to 300: lines 20, 21 and 22, and
    // the lines touching them, whose marks may reach into the view (the clip keeps the rest out).
    for (int i = 0; i < 40; ++i)
        Layout.Text("Zeile " + std::to_string(i));
    TRVPaintRequest request = TPaintedDocument::Request();
    request.Rect = {0, 0, 200, 45};
    request.ScrollY = 300;
    const Ops texts = OpsStartingWith(Paint(request), "text");
    EXPECT_EQ(texts, (Ops{"text 0,-15 'Zeile 19' #000000", "text 0,0 'Zeile 20' #000000", "text 0,15 'Zeile 21' #000000",
                          "text 0,30 'Zeile 22' #000000", "text 0,45 'Zeile 23' #000000"}));

    // Half a line in view at either edge is painted too.
    request.ScrollY = 307;
    EXPECT_EQ(OpsStartingWith(Paint(request), "text").size(), 4u);
}

} // namespace
} // namespace xq

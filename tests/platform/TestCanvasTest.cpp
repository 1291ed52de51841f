// Tests of the deterministic test canvas: its documented widths and metrics, fitting, and the drawing log.
#include "layout/CanvasFont.h"
#include "platform/TestCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/FontInfo.h"
#include "document/Graphic.h"

namespace xq {
namespace {

TCanvasFont Font(const std::string& name, int size, TFontStyles style = {})
{
    TCanvasFont f;
    f.Name = name;
    f.Size = size;
    f.Style = style;
    return f;
}

TEST(TestCanvasMeasure, FontSizesArePointsAtTheVerticalResolution)
{
    EXPECT_EQ(FontPixelHeight(Font("Arial", 10), 96), 13); // 13.33
    EXPECT_EQ(FontPixelHeight(Font("Arial", 11), 96), 15); // 14.67
    EXPECT_EQ(FontPixelHeight(Font("Arial", 12), 96), 16);
    EXPECT_EQ(FontPixelHeight(Font("Arial", 10), 600), 83);
    EXPECT_EQ(FontPixelHeight(Font("Arial", -10), 96), 13);
    TCanvasFont reduced = Font("Arial", 10);
    reduced.HeightOverride = 9;
    EXPECT_EQ(FontPixelHeight(reduced, 96), 9);
    EXPECT_EQ(FontPixelHeight(reduced, 600), 9);
}

TEST(TestCanvasMeasure, WidthsFollowTheCharacterClasses)
{
    TTestCanvas canvas;
    canvas.SelectFont(Font("Arial", 10)); // em 13: narrow 3, normal 6, capital 9, wide 11, digit 6
    EXPECT_EQ(canvas.TextWidth(u"Hallo"), 9 + 6 + 3 + 3 + 6);
    EXPECT_EQ(canvas.TextWidth(u"Wm 1,5"), 11 + 11 + 3 + 6 + 3 + 6);
    EXPECT_EQ(canvas.TextWidth(u"a\tb"), 12);
    EXPECT_EQ(canvas.TextWidth(u""), 0);

    canvas.SelectFont(Font("Arial", 10, {fsBold}));
    EXPECT_EQ(canvas.TextWidth(u"Hallo"), 27 + 5);

    canvas.SelectFont(Font("Courier New", 10));
    EXPECT_EQ(canvas.TextWidth(u"iWiW"), 4 * 7);

    TCanvasFont spaced = Font("Arial", 10);
    spaced.CharSpacing = 2;
    canvas.SelectFont(spaced);
    EXPECT_EQ(canvas.TextWidth(u"Hallo"), 27 + 5 * 2);

    TCanvasFont narrow = Font("Arial", 10);
    narrow.CharScale = 50;
    canvas.SelectFont(narrow);
    EXPECT_EQ(canvas.TextWidth(u"Hallo"), 4 + 3 + 1 + 1 + 3);
}

TEST(TestCanvasMeasure, WidthsScaleWithTheResolution)
{
    TTestCanvas screen;
    TTestCanvas printer(600, 600);
    screen.SelectFont(Font("Times New Roman", 12));
    printer.SelectFont(Font("Times New Roman", 12));
    EXPECT_EQ(screen.TextWidth(u"W"), 14);   // em 16
    EXPECT_EQ(printer.TextWidth(u"W"), 90);  // em 100
    EXPECT_EQ(printer.Metrics().Height, 120);
    EXPECT_EQ(printer.DpiX(), 600);
}

TEST(TestCanvasMeasure, MetricsAreConsistent)
{
    TTestCanvas canvas;
    for (int size : {8, 10, 12, 20, 36}) {
        canvas.SelectFont(Font("Arial", size));
        const TTextMetrics tm = canvas.Metrics();
        SCOPED_TRACE(size);
        EXPECT_EQ(tm.Height, tm.Ascent + tm.Descent);
        EXPECT_EQ(tm.Height - tm.InternalLeading, FontPixelHeight(canvas.Font(), 96));
        EXPECT_GT(tm.Ascent, tm.Descent);
        EXPECT_EQ(tm.AveCharWidth, canvas.TextWidth(u"x"));
        EXPECT_EQ(tm.MaxCharWidth, canvas.TextWidth(u"W"));
        EXPECT_EQ(canvas.TextExtent(u"Hallo"), (TSize{canvas.TextWidth(u"Hallo"), tm.Height}));

        const TScriptMetrics sm = canvas.ScriptMetrics();
        EXPECT_TRUE(sm.HasOutline);
        EXPECT_LT(sm.SubscriptSize, FontPixelHeight(canvas.Font(), 96));
        EXPECT_GT(sm.SuperscriptOffset, sm.SubscriptOffset);
        EXPECT_LE(sm.UnderlinePosition + sm.UnderlineThickness, tm.Descent);
        EXPECT_LT(sm.StrikeoutPosition, tm.Ascent);
    }
    canvas.SelectFont(Font("System", 10));
    EXPECT_FALSE(canvas.ScriptMetrics().HasOutline);
}

TEST(TestCanvasFit, PositionsArePrefixWidths)
{
    TTestCanvas canvas;
    TCanvasFont spaced = Font("Arial", 11, {fsBold});
    spaced.CharSpacing = 1;
    for (const TCanvasFont& font : {Font("Arial", 10), Font("Courier New", 9), spaced}) {
        canvas.SelectFont(font);
        const std::u16string text = u"Sehr geehrte Damen und Herren, 1234 Wm.";
        std::vector<int> positions;
        const int fit = canvas.FitCount(text, 1 << 30, &positions);
        EXPECT_EQ(fit, static_cast<int>(text.size()));
        ASSERT_EQ(positions.size(), text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            EXPECT_EQ(positions[i], canvas.TextWidth(std::u16string_view(text).substr(0, i + 1))) << i;
    }
}

TEST(TestCanvasFit, FitsExactlyAtEveryBoundary)
{
    TTestCanvas canvas;
    canvas.SelectFont(Font("Arial", 10));
    const std::u16string text = u"Mit freundlichen Grüßen";
    for (std::size_t n = 1; n <= text.size(); ++n) {
        const int prefix = canvas.TextWidth(std::u16string_view(text).substr(0, n));
        EXPECT_EQ(canvas.FitCount(text, prefix), static_cast<int>(n));
        EXPECT_EQ(canvas.FitCount(text, prefix - 1), static_cast<int>(n) - 1);
    }
    EXPECT_EQ(canvas.FitCount(text, 0), 0);
    EXPECT_EQ(canvas.FitCount(u"", 100), 0);

    // Positions cover the whole text even when only part of it fits.
    std::vector<int> positions;
    EXPECT_EQ(canvas.FitCount(text, 20, &positions), 3); // "Mit" is 11 + 3 + 6 = 20
    EXPECT_EQ(positions.back(), canvas.TextWidth(text));
}

TEST(TestCanvasFit, SurrogatePairsStayTogether)
{
    TTestCanvas canvas;
    canvas.SelectFont(Font("Arial", 10));
    const std::u16string text = u"a\U0001F600b"; // a, a pair of one em, b
    EXPECT_EQ(canvas.TextWidth(text), 6 + 13 + 6);
    std::vector<int> positions;
    EXPECT_EQ(canvas.FitCount(text, 6 + 12, &positions), 1);
    EXPECT_EQ(canvas.FitCount(text, 6 + 13), 3);
    EXPECT_EQ(positions, (std::vector<int>{6, 19, 19, 25}));
}

TEST(TestCanvasMarks, CombiningMarksAddNothingNotEvenSpacing)
{
    TTestCanvas canvas;
    TCanvasFont spaced = Font("Arial", 10);
    spaced.CharSpacing = 2;
    for (const TCanvasFont& font : {Font("Arial", 10), Font("Courier New", 10), spaced}) {
        canvas.SelectFont(font);
        SCOPED_TRACE(font.Name + " spacing " + std::to_string(font.CharSpacing));
        EXPECT_EQ(canvas.CharAdvance(0x0301, 0), 0);
        EXPECT_EQ(canvas.CharAdvance(0x20DD, 0), 0) << "an enclosing mark";
        EXPECT_EQ(canvas.CharAdvance(0xD804, 0xDC01), 0) << "U+11001, a mark beyond the BMP";
        EXPECT_GT(canvas.CharAdvance(0xD83D, 0xDE00), 0) << "U+1F600 is no mark";
        EXPECT_EQ(canvas.TextWidth(u"Cafe\u0301"), canvas.TextWidth(u"Caf\u00E9"));
        EXPECT_EQ(canvas.TextWidth(u"e\u0301\u0323x"), canvas.TextWidth(u"ex"));
        EXPECT_EQ(canvas.TextWidth(u"a\U00011001"), canvas.TextWidth(u"a"));
    }
}

/// A canvas whose characters all advance 10 and whose clusters advance 100 per unit they hold,
/// to see where the cluster rule puts a cluster's advance.
class TClusterProbe : public TTestCanvas {
public:
    [[nodiscard]] int CharAdvance(char16_t c, char16_t next) override
    {
        return c >= 0xDC00 && c <= 0xDFFF ? 0 : 10; // no marks rule here: the walk must not ask
    }
    std::vector<std::u16string> Clusters;

protected:
    [[nodiscard]] int ClusterAdvance(std::u16string_view cluster) override
    {
        Clusters.emplace_back(cluster);
        return 100 * static_cast<int>(cluster.size());
    }
};

TEST(TestCanvasMarks, AClusterCarriesItsAdvanceOnItsFirstUnit)
{
    TClusterProbe canvas;
    // A mark with nothing before it, a, e + two marks, a pair + a mark, a space + a mark (a
    // spacing accent), a pair + a mark beyond the BMP.
    const std::u16string text = u"\u0302ae\u0301\u0308\U0001F600\u0301 \u0302\U0001F600\U00011001";
    std::vector<int> advances;
    canvas.CharAdvances(text, advances);
    EXPECT_EQ(advances, (std::vector<int>{10, 10, 300, 0, 0, 300, 0, 0, 200, 0, 400, 0, 0, 0}));
    EXPECT_EQ(canvas.Clusters, (std::vector<std::u16string>{u"e\u0301\u0308", u"\U0001F600\u0301", u" \u0302",
                                                            u"\U0001F600\U00011001"}));
    EXPECT_EQ(canvas.TextWidth(text), 10 + 10 + 300 + 300 + 200 + 400);
    std::vector<int> positions;
    EXPECT_EQ(canvas.FitCount(text, 10 + 10 + 300, &positions), 5) << "e and both its marks";
    EXPECT_EQ(positions[4], 320);
    EXPECT_EQ(positions.back(), canvas.TextWidth(text));
}

TEST(TestCanvasFont, TakenFromATextStyle)
{
    TFontInfo style;
    style.FontName = "Times New Roman";
    style.Size = 12;
    style.Style = {fsBold, fsUnderline};
    style.CharSpacing = 3;
    style.CharScale = 80;
    style.Charset = SYMBOL_CHARSET;
    style.SubSuperScriptType = rvsssSuperScript;
    const TCanvasFont font = CanvasFontOf(style);
    EXPECT_EQ(font.Name, "Times New Roman");
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Style, (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(font.CharSpacing, 3);
    EXPECT_EQ(font.CharScale, 80);
    EXPECT_EQ(font.Charset, SYMBOL_CHARSET);
    EXPECT_EQ(font.HeightOverride, 0);
}

TEST(TestCanvasDrawing, TextWithBackColourAndDecorations)
{
    TTestCanvas canvas;
    TCanvasFont font = Font("Arial", 10, {fsUnderline, fsStrikeOut});
    canvas.SelectFont(font);
    canvas.DrawText(10, 20, u"Hallo", clBlack, clYellow);
    canvas.DrawText(37, 20, u" Welt", clWindowText);
    canvas.SelectFont(Font("Arial", 10, {fsBold}));
    canvas.DrawText(0, 40, u"Grüße", clHighlight, clNone);
    canvas.DrawText(0, 60, u"nichts", clNone);
    // em 13: Height 15, Ascent 12, Descent 3; underline 1 below the baseline, strike-out 3 above it.
    const std::vector<std::string> expected = {
        "fill 10,20,37,35 #FFFF00",
        "font Arial 13px underline strikeout",
        "text 10,20 'Hallo' #000000",
        "fill 10,33,37,34 #000000",
        "fill 10,29,37,30 #000000",
        "text 37,20 ' Welt' #000000",
        "fill 37,33,66,34 #000000",
        "fill 37,29,66,30 #000000",
        "font Arial 13px bold",
        "text 0,40 'Grüße' #0078D7",
    };
    EXPECT_EQ(canvas.Ops(), expected);
}

TEST(TestCanvasDrawing, ShapesAreRecordedInDeviceCoordinates)
{
    TTestCanvas canvas;
    TRGBAImage image;
    image.Width = 2;
    image.Height = 3;
    image.Pixels.assign(2 * 3 * 4, 0xFF);
    canvas.Save();
    canvas.Translate(100, 50);
    canvas.IntersectClip({0, 0, 200, 100});
    canvas.IntersectClip({-10, 10, 50, 300});
    canvas.FillRect({0, 0, 10, 10}, clRed);
    canvas.FillRect({0, 0, 10, 10}, clNone);
    canvas.Line({0, 5}, {10, 5}, {clBlue, 2, psDot});
    canvas.Rectangle({1, 2, 3, 4}, {clGreen, 1, psDashDot});
    canvas.Polyline({{0, 0}, {2, 2}, {4, 0}}, {clRed, 1, psSolid});
    canvas.Polygon({{0, 0}, {8, 8}, {0, 8}}, clWindow, {clBlack, 1, psSolid});
    canvas.Polygon({{0, 0}, {8, 8}, {0, 8}}, clNone, {clNone, 1, psSolid});
    canvas.DrawImage({0, 0, 4, 6}, image);
    canvas.Restore();
    canvas.FillRect({0, 0, 1, 1}, clWhite);
    const std::vector<std::string> expected = {
        "clip 100,50,300,150",
        "clip 100,60,150,150",
        "fill 100,50,110,60 #FF0000",
        "line 100,55 110,55 #0000FF 2 dot",
        "rect 101,52,103,54 #008000 1 dashdot",
        "polyline 100,50 102,52 104,50 #FF0000 1 solid",
        "polygon 100,50 108,58 100,58 fill #FFFFFF pen #000000 1 solid",
        "image 100,50,104,56 from 2x3",
        "clip none",
        "fill 0,0,1,1 #FFFFFF",
    };
    EXPECT_EQ(canvas.Ops(), expected);
}

} // namespace
} // namespace xq

// Text style metrics on the test canvas, whose glyph widths and metrics are known functions of the
// font (see TestCanvas.h): Arial 10 pt at 96 dpi has an em of 13 pixels, Height 15, Ascent 12,
// and a hyphen 6 pixels wide.
#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "layout/FontInfoCache.h"
#include "platform/TestCanvas.h"

namespace xq {
namespace {

class FontInfoCacheTest : public ::testing::Test {
protected:
    int AddStyle(TRVSubSuperScriptType type, const char* font = "Arial", int vshift = 0)
    {
        TFontInfo& s = Sheet.TextStyles.Add();
        s.FontName = font;
        s.SubSuperScriptType = type;
        s.VShift = vshift;
        return Sheet.TextStyles.Count() - 1;
    }

    TRVStyle Sheet;
    TTestCanvas Canvas;
    TRVFontInfoCache Cache{Sheet, Canvas};
};

TEST_F(FontInfoCacheTest, PlainStyle)
{
    const TRVFontInfoCacheItem& item = Cache.Item(0);
    EXPECT_EQ(item.Metrics.Height, 15);
    EXPECT_EQ(item.Metrics.Ascent, 12);
    EXPECT_EQ(item.ScriptHeight, 0);
    EXPECT_EQ(item.BaselineOffset, 0);
    EXPECT_EQ(item.EmptyHeight, 15);
    EXPECT_EQ(item.HyphenWidth, 6);
    EXPECT_EQ(&Cache.Item(0), &item) << "built once";
}

TEST_F(FontInfoCacheTest, SubAndSuperscriptFromOutlineMetrics)
{
    // Outline: script size 13 * 7 / 10 = 9, subscript offset 13 * 15 / 100 = 1,
    // superscript offset 13 * 45 / 100 = 5.
    const TRVFontInfoCacheItem& sub = Cache.Item(AddStyle(rvsssSubscript));
    EXPECT_EQ(sub.ScriptHeight, 9);
    EXPECT_EQ(sub.BaselineOffset, -1);
    EXPECT_EQ(sub.Font.HeightOverride, 9);
    EXPECT_EQ(sub.Metrics.Height, 10) << "metrics of the reduced font (em 9 + leading 1)";

    const TRVFontInfoCacheItem& super = Cache.Item(AddStyle(rvsssSuperScript));
    EXPECT_EQ(super.ScriptHeight, 9);
    EXPECT_EQ(super.BaselineOffset, 12 - 5) << "ascent of the full font minus the offset";
}

TEST_F(FontInfoCacheTest, FontsWithoutOutlineUseProportions)
{
    // The font "System" has no outline metrics: 2/3 of the em, 0.25 and 0.45 of it as offsets.
    EXPECT_EQ(Cache.Item(AddStyle(rvsssSubscript, "System")).ScriptHeight, 9);   // 8.67
    EXPECT_EQ(Cache.Item(AddStyle(rvsssSubscript, "System")).BaselineOffset, -3); // 3.25
    EXPECT_EQ(Cache.Item(AddStyle(rvsssSuperScript, "System")).BaselineOffset, 6); // 5.85
}

TEST_F(FontInfoCacheTest, VerticalShiftInPercentOfTheHeight)
{
    EXPECT_EQ(Cache.Item(AddStyle(rvsssNormal, "Arial", 25)).BaselineOffset, 4);   // 15 * 25 / 100 = 3.75
    EXPECT_EQ(Cache.Item(AddStyle(rvsssNormal, "Arial", -25)).BaselineOffset, -4);
}

TEST_F(FontInfoCacheTest, PrinterResolutionAndSpacing)
{
    Canvas.SetDpi(600, 600);
    Sheet.TextStyles[0].CharSpacing = 2;
    const TRVFontInfoCacheItem& item = Cache.Item(0);
    EXPECT_EQ(item.Font.CharSpacing, 13) << "2 screen pixels at 600 dpi";
    EXPECT_EQ(item.Metrics.Height, 83 + 16);
}

TEST_F(FontInfoCacheTest, SelectSwitchesFontsAndBadNumbersUseTheFallback)
{
    const int sub = AddStyle(rvsssSubscript);
    Cache.Select(sub);
    EXPECT_EQ(Canvas.Font().HeightOverride, 9);
    Cache.Select(0);
    EXPECT_EQ(Canvas.Font().HeightOverride, 0);
    EXPECT_EQ(Cache.Item(99).Metrics.Height, 15) << "the fallback is a copy of style 0";
    Cache.Clear();
    Sheet.TextStyles[0].Size = 20;
    EXPECT_EQ(Cache.Item(0).Metrics.Ascent, 26) << "20 pt: em 27, height 32, descent 6";
}

} // namespace
} // namespace xq

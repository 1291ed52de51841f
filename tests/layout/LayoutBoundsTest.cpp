// Layout at the ends of the ranges: scaling and line rules that hold their results, documents
// whose lines add up beyond 32 bits, and texts wider than 32 bits can count.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "LayoutTestSupport.h"
#include "document/LengthBounds.h"
#include "layout/LineRules.h"
#include "layout/Painter.h"
#include "layout/ReformatRange.h"

namespace xq::test {
namespace {

/// How many texts were drawn.
int TextOps(const TTestCanvas& canvas)
{
    int count = 0;
    for (const std::string& op : canvas.Ops())
        count += op.rfind("text ", 0) == 0;
    return count;
}

TEST(LayoutBounds, ScalingAndLineSpacingHoldTheirResults)
{
    EXPECT_EQ(MulDiv(1000, 600, 96), 6250);
    EXPECT_EQ(MulDiv(-1001, 1, 2), -501) << "halves away from zero";
    EXPECT_EQ(MulDiv(INT32_MAX, 600, 96), INT32_MAX);
    EXPECT_EQ(MulDiv(INT32_MIN, 600, 96), INT32_MIN);
    EXPECT_EQ(MulDiv(INT32_MIN, -1, 1), INT32_MAX);
    EXPECT_EQ(ClampCoordinate(std::int64_t{1} << 40), MaxLayoutCoordinate);
    EXPECT_EQ(ClampCoordinate(-(std::int64_t{1} << 40)), -MaxLayoutCoordinate);
    EXPECT_EQ(ClampExtent(std::int64_t{MaxLineExtent} + 1), MaxLineExtent);
    EXPECT_EQ(ClampExtent(-12345), -12345);

    TParaInfo para;
    const TRVDeviceScale screen;
    para.LineSpacing = 150;
    EXPECT_EQ(LineSpacingGap(para, 10, 30, screen), 10);
    // The largest percentage over the tallest line a line can have.
    para.LineSpacing = PixelLengthRange.Max;
    const std::int64_t exact = std::int64_t{MaxLineExtent} * (PixelLengthRange.Max - 100) / 100;
    ASSERT_GT(exact, INT32_MAX);
    EXPECT_EQ(LineSpacingGap(para, -MaxLineExtent / 2, MaxLineExtent / 2, screen), MaxLineExtent);
    EXPECT_EQ(LineSpacingGap(para, 0, 15, screen), 15 * (PixelLengthRange.Max - 100) / 100);
    para.LineSpacingType = rvlsSpaceBetween;
    TRVDeviceScale printer;
    printer.DevicePpiX = printer.DevicePpiY = 1200;
    EXPECT_EQ(LineSpacingGap(para, 0, 15, printer), MulDiv(PixelLengthRange.Max, 1200, 96));
}

/// Paragraphs of one short line each, as far apart as paragraph spacing can put them.
class SpreadParagraphs : public ::testing::Test {
protected:
    static constexpr int Count = 40000;
    static constexpr std::int64_t Spacing = 2 * std::int64_t{PixelLengthRange.Max};
    static constexpr std::int64_t LineHeight = 15;

    SpreadParagraphs()
    {
        const int spread = f.AddParaStyle();
        f.Sheet.ParaStyles[spread].SpaceBefore = f.Sheet.ParaStyles[spread].SpaceAfter = PixelLengthRange.Max;
        for (int i = 0; i < Count; ++i)
            f.Text("ab", 0, spread);
        f.Format();
    }

    /// Where line i stands when nothing is held: the first paragraph's space before it, then
    /// space after and before between every two.
    static std::int64_t ExactTop(int i) { return PixelLengthRange.Max + i * (Spacing + LineHeight); }

    /// The draw items lie one below the other and every sum the painter makes of them fits. The
    /// document ends at the last coordinate: lines held there stand at its bottom edge.
    static void ExpectOrderedAndBounded(const TCustomRVFormattedData& data)
    {
        const TRVDrawLines& lines = data.DrawItems();
        for (int i = 0; i < lines.Count(); ++i) {
            const TRVDrawLineInfo& d = lines[i];
            ASSERT_LE(d.Top, MaxLayoutCoordinate) << i;
            ASSERT_LE(std::int64_t{d.Top} + d.Height + d.LineGapAfter,
                      std::int64_t{MaxLayoutCoordinate} + 2 * MaxLineExtent) << i;
            if (i > 0) {
                ASSERT_GE(d.Top, lines[i - 1].Top) << i;
            }
            if (d.Top < MaxLayoutCoordinate) {
                ASSERT_LE(d.Bottom(), data.TotalHeight()) << i;
            }
        }
        EXPECT_EQ(data.TotalHeight(), MaxLayoutCoordinate);
    }

    LayoutFixture f{200};
};

TEST_F(SpreadParagraphs, LinesStandWhereTheyBelongUntilTheLastCoordinate)
{
    const TRVDrawLines& lines = f.Data.DrawItems();
    ASSERT_EQ(lines.Count(), Count);
    ASSERT_GT(ExactTop(Count - 1), INT32_MAX) << "the document is taller than 32 bits count";
    int held = 0;
    for (int i = 0; i < Count; ++i) {
        if (ExactTop(i) <= MaxLayoutCoordinate - Spacing) {
            ASSERT_EQ(lines[i].Top, ExactTop(i)) << i;
        } else {
            ++held;
        }
    }
    EXPECT_GT(held, Count / 2);
    EXPECT_EQ(lines[Count - 1].Top, MaxLayoutCoordinate) << "the lines beyond are held at the last coordinate";
    ExpectOrderedAndBounded(f.Data);

    // Painted where the view is, far down: the held lines are there.
    TTestCanvas canvas;
    TRVPaintRequest request;
    request.Rect = {0, 0, 200, 1000};
    request.ScrollY = MaxLayoutCoordinate - 500;
    PaintDocument(f.Data, canvas, request);
    EXPECT_GT(TextOps(canvas), 0);
}

TEST_F(SpreadParagraphs, ReformattingAnEditShiftsTheHeldLinesAsAWholeRunPlacesThem)
{
    // The second paragraph grows to three lines; everything below moves down by two lines.
    const int changed = f.Data.FirstLinePiece(1);
    int first = 0, last = 0;
    GetReformatRange(f.Data, f.Data.DrawItems(), changed, changed, first, last);
    f.Data.SetText(1, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    f.Data.ReformatRange(first, last, 0);
    ExpectOrderedAndBounded(f.Data);
    EXPECT_EQ(f.Data.DrawItems()[4].Top, ExactTop(2) + 2 * LineHeight);

    const std::string incremental = DrawDump(f.Data);
    const std::int32_t height = f.Data.TotalHeight();
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), incremental);
    EXPECT_EQ(f.Data.TotalHeight(), height);
}

TEST(LayoutBounds, TextsWiderThanThirtyTwoBitsAreHeldAtTheLineExtent)
{
    LayoutFixture f(300);
    const int big = f.AddTextStyle();
    TFontInfo& style = f.Sheet.TextStyles[big];
    style.Size = FontSizeRange.Max;
    style.CharScale = CharScaleRange.Max;
    style.CharSpacing = PixelLengthRange.Max;
    const int noWrap = f.AddParaStyle();
    f.Sheet.ParaStyles[noWrap].Options.Include(rvpaoNoWrap);
    const int chars = 60000;
    f.Text(std::string(chars, 'W'), big, noWrap);
    f.Text("danach", 0, 0);
    f.Format();

    const TRVDrawLines& lines = f.Data.DrawItems();
    ASSERT_EQ(lines.Count(), 2);
    f.Canvas.SelectFont(f.Data.FontCache()->Item(big).Font);
    const std::int64_t exact = std::int64_t{chars} * f.Canvas.CharAdvance(u'W', u'W');
    ASSERT_GT(exact, INT32_MAX);
    EXPECT_EQ(lines[0].Width, MaxLineExtent);
    EXPECT_EQ(lines[0].CharCount, chars);
    EXPECT_EQ(lines[1].Left, 0) << "the next paragraph starts at the margin";
    EXPECT_EQ(lines[1].Top, lines[0].Bottom());

    // The same text where lines wrap: pieces of one character each, every one on its line.
    LayoutFixture wrapped(300);
    const int wide = wrapped.AddTextStyle();
    wrapped.Sheet.TextStyles[wide].CopyStyle(style);
    wrapped.Text(std::string(2000, 'W'), wide, 0);
    wrapped.Format();
    ASSERT_EQ(wrapped.Data.DrawItems().Count(), 2000);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(wrapped.Data.DrawItems()[i].CharCount, 1) << i;

    TTestCanvas canvas;
    TRVPaintRequest request;
    request.Rect = {0, 0, 400, 4000};
    PaintDocument(f.Data, canvas, request);
    EXPECT_EQ(TextOps(canvas), 2) << "the wide piece and the line below";
}

} // namespace
} // namespace xq::test

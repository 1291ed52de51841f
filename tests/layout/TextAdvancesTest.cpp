// Tests of the measuring rule of text items, and that the formatter, the painter and the caret
// stops use it alike: widths, painted positions and caret x agree for text with combining marks,
// zero-width characters and surrogate pairs.
#include "layout/TextAdvances.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "LayoutTestSupport.h"
#include "editing/CharPos.h"
#include "layout/FontInfoCache.h"
#include "layout/Painter.h"
#include "platform/CodePage.h"

namespace xq::test {
namespace {

/// A Unicode text style with two pixels of character spacing.
int SpacedUnicodeStyle(LayoutFixture& f)
{
    const int uni = f.AddTextStyle();
    f.Sheet.TextStyles[uni].Unicode = true;
    f.Sheet.TextStyles[uni].CharSpacing = 2;
    return uni;
}

TEST(TextAdvances, ZeroWidthCharactersAndMarksAdvanceNothingNotEvenSpacing)
{
    LayoutFixture f;
    const int uni = SpacedUnicodeStyle(f);
    TRVFontInfoCache fonts(f.Sheet, f.Canvas);
    std::vector<int> advances;
    // a, zero-width space, b with an acute, zero-width joiner, word joiner, a pair, c.
    TextAdvances(f.Canvas, fonts, uni, u"a\u200Bb\u0301\u200D\u2060\U0001F600c", advances);
    EXPECT_EQ(advances, (std::vector<int>{8, 0, 8, 0, 0, 0, 15, 0, 8}));
    EXPECT_EQ(AdvancePositions(advances), (std::vector<std::int32_t>{0, 8, 8, 16, 16, 16, 16, 31, 31, 39}));
    EXPECT_EQ(TextAdvanceWidth(f.Canvas, fonts, uni, u"Cafe\u0301"), TextAdvanceWidth(f.Canvas, fonts, uni, u"Caf\u00E9"));
    EXPECT_EQ(TextAdvanceWidth(f.Canvas, fonts, uni, u""), 0);
}

TEST(TextAdvances, TheStylesFontIsSelectedOnTheCanvasMeasured)
{
    LayoutFixture f;
    const int bold = f.AddTextStyle();
    f.Sheet.TextStyles[bold].Style = TFontStyles{fsBold};
    TRVFontInfoCache fonts(f.Sheet, f.Canvas);
    std::vector<int> advances;
    TextAdvances(f.Canvas, fonts, bold, u"ab", advances);
    EXPECT_EQ(advances, (std::vector<int>{7, 7})) << "bold adds a pixel";
    EXPECT_EQ(f.Canvas.Font(), fonts.Item(bold).Font);

    // Another canvas, with something else selected: it measures in the style's font too.
    TTestCanvas other;
    other.SelectFont(fonts.Item(0).Font);
    TextAdvances(other, fonts, bold, u"ab", advances);
    EXPECT_EQ(advances, (std::vector<int>{7, 7}));
    EXPECT_EQ(other.Font(), fonts.Item(bold).Font);
    TextAdvances(other, fonts, 0, u"ab", advances);
    EXPECT_EQ(advances, (std::vector<int>{6, 6}));
}

/// The x of every painted text run of data as "x:'text'", in the order painted.
std::vector<std::string> PaintedRuns(TCustomRVFormattedData& data)
{
    TTestCanvas canvas;
    TRVPaintRequest request;
    request.Rect = {0, 0, 400, 100};
    request.Color = clNone;
    PaintDocument(data, canvas, request);
    std::vector<std::string> runs;
    const std::regex text("text (-?[0-9]+),-?[0-9]+ ('.*') #[0-9A-F]{6}");
    for (const std::string& op : canvas.Ops()) {
        std::smatch m;
        if (std::regex_match(op, m, text))
            runs.push_back(m[1].str() + ":" + m[2].str());
    }
    return runs;
}

TEST(TextAdvancesAgree, TheFormatterThePainterAndTheCaretMeasureAlike)
{
    LayoutFixture f(400);
    const int uni = SpacedUnicodeStyle(f);
    const std::u16string text = u"Cafe\u0301 na\u0308\u0323ive \U0001F600 x\u200By";
    f.Data.AppendTextW(text, uni, 0);
    f.Format();
    ASSERT_EQ(f.Data.DrawItems().Count(), 1);
    const TRVDrawLineInfo& d = f.Data.DrawItems()[0];
    ASSERT_EQ(d.CharCount, static_cast<int>(text.size()));

    TRVFontInfoCache fonts(f.Sheet, f.Canvas);
    std::vector<int> advances;
    TextAdvances(f.Canvas, fonts, uni, text, advances);
    const std::vector<std::int32_t> x = AdvancePositions(advances);
    EXPECT_EQ(d.Width, x.back());
    EXPECT_EQ(PieceBoundaries(f.Data, 0), x);
    // Marks and the zero-width space share the x before them; the pair has its advance on the first half.
    EXPECT_EQ(x[4], x[5]) << "e and its acute";
    EXPECT_EQ(x[8], x[9]);
    EXPECT_EQ(x[8], x[10]) << "a with two marks";

    // A selection from the start to every boundary splits the painted text there: the run after
    // the selected one starts where the caret stands. (Runs also end at the zero-width space,
    // which is not painted.)
    const std::size_t zeroWidth = text.find(u'\u200B');
    for (std::size_t k = 1; k < zeroWidth; ++k) {
        f.Data.SelStartNo = f.Data.SelEndNo = 0;
        f.Data.SelStartOffs = 1;
        f.Data.SelEndOffs = static_cast<int>(k) + 1;
        const std::vector<std::string> runs = PaintedRuns(f.Data);
        ASSERT_EQ(runs.size(), 3u) << k;
        EXPECT_EQ(runs[1], std::to_string(d.Left + x[k]) + ":'" + Utf16ToUtf8(text.substr(k, zeroWidth - k)) + "'")
            << k;
        EXPECT_EQ(runs[2], std::to_string(d.Left + x[zeroWidth + 1]) + ":'y'") << k;
    }
}

TEST(TextAdvancesAgree, AParagraphThatDoesNotWrapIsAsWideAsItsLineWithHiddenSoftHyphens)
{
    // The widest unbreakable paragraph sets the text area; a hidden soft hyphen measures
    // nothing there, as it measures nothing on the line.
    LayoutFixture f(0);
    const int uni = SpacedUnicodeStyle(f);
    const int nowrap = f.AddParaStyle();
    f.Sheet.ParaStyles[nowrap].Options.Include(rvpaoNoWrap);
    f.Data.AppendTextW(u"Silben\u00ADtren\u00ADnung", uni, nowrap);
    f.Format();
    ASSERT_EQ(f.Data.DrawItems().Count(), 1);
    EXPECT_EQ(f.Data.MinTextAreaWidth(), f.Data.DrawItems()[0].Width);
    f.Canvas.SelectFont(f.Data.FontCache()->Item(uni).Font);
    EXPECT_EQ(f.Data.DrawItems()[0].Width, f.Canvas.TextWidth(u"Silbentrennung")) << "the hyphens count 0";
}

TEST(TextAdvancesAgree, AWrappedLineTrimmedOfItsSpaceInAnEarlierItemKeepsTheRule)
{
    // The line ends with the space of the first item while the second is being formatted: the
    // first piece loses the space, measured by the rule (its hidden soft hyphen counts 0).
    LayoutFixture f(60);
    const int uni = SpacedUnicodeStyle(f);
    f.Data.AppendTextW(u"ab\u00ADcd ", uni, 0);
    f.Data.AppendTextW(u"efghijklmn", uni, -1);
    f.Format();
    ASSERT_GE(f.Data.DrawItems().Count(), 2);
    const TRVDrawLineInfo& first = f.Data.DrawItems()[0];
    EXPECT_EQ(first.CharCount, 5);
    EXPECT_EQ(first.Width, 4 * 8);
}

} // namespace
} // namespace xq::test

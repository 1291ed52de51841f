// Line layout on the test canvas, pixel for pixel. Arial 10 pt there: lines 15 high with the
// baseline 12 below their top; the space 3 wide, most lower-case letters 6, capitals 9.
#include <gtest/gtest.h>

#include "LayoutTestSupport.h"
#include "document/ItemInfo.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"

namespace xq::test {
namespace {

TEST(FormatterTest, WrapSpacesAreNeitherDrawnNorCounted)
{
    // "aaaa bbbb" is 51 wide; with " cccc" it would be 78.
    LayoutFixture f(60);
    f.Text("aaaa bbbb cccc");
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 51x15 'aaaa bbbb'\n"
                                "#0 0,15 24x15 'cccc'");

    // Right-aligned, the line ends at the text, not at the space after it.
    LayoutFixture r(60);
    r.Sheet.ParaStyles[0].Alignment = rvaRight;
    r.Text("aaaa bbbb cccc");
    r.Format();
    EXPECT_EQ(DrawDump(r.Data), "#0 9,0 51x15 'aaaa bbbb'\n"
                                "#0 36,15 24x15 'cccc'");
    EXPECT_EQ(r.Data.TotalHeight(), 30);
}

TEST(FormatterTest, WrapAtSpaceBetweenItems)
{
    // The space that ends the first item is where the line wraps; the next line starts with the
    // second item, and the space is not part of the first line's width.
    LayoutFixture f(60);
    f.Sheet.ParaStyles[0].Alignment = rvaRight;
    f.Text("aaaa bbbb ");
    f.Text("cccc", 0, -1);
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 9,0 51x15 'aaaa bbbb'\n"
                                "#1 36,15 24x15 'cccc'");
}

TEST(FormatterTest, LongWordsAreSplitAtTheLastFittingCharacter)
{
    LayoutFixture f(40);
    f.Text("aaaaaaaaaaaa bb");
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 36x15 'aaaaaa'\n"
                                "#0 0,15 36x15 'aaaaaa'\n"
                                "#0 0,30 12x15 'bb'");

    // A character wider than the line still stands alone on its line.
    LayoutFixture narrow(4);
    narrow.Text("ab");
    narrow.Format();
    EXPECT_EQ(DrawDump(narrow.Data), "#0 0,0 6x15 'a'\n"
                                     "#0 0,15 6x15 'b'");
}

TEST(FormatterTest, JustifiedLinesShareTheFreeSpaceAmongTheirWords)
{
    // Line 1 holds "aa bb" (27) of 40: the 13 pixels go in front of " bb", the only word after
    // the first. The last line stays left-aligned.
    LayoutFixture f(40);
    f.Sheet.ParaStyles[0].Alignment = rvaJustify;
    f.Text("aa bb cc dd");
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 12x15 'aa'  #0 12,0 28x15 ' bb' j+13\n"
                                "#0 0,15 12x15 'cc'  #0 12,15 15x15 ' dd'");

    // Three words on a line: 40 - 24 = 16 pixels, shared 8 and 8.
    LayoutFixture three(40);
    three.Sheet.ParaStyles[0].Alignment = rvaJustify;
    three.Text("a b c dddddd");
    three.Format();
    EXPECT_EQ(DrawDump(three.Data).substr(0, DrawDump(three.Data).find('\n')),
              "#0 0,0 6x15 'a'  #0 6,0 17x15 ' b' j+8  #0 23,0 17x15 ' c' j+8");

    // A line of one long word and a line ended by a line break are not stretched.
    LayoutFixture word(40);
    word.Sheet.ParaStyles[0].Alignment = rvaJustify;
    word.Text("aaaaaaaaaa");
    word.Text("bb cc", 0, -1);
    word.Data.ItemAt(1).SetNewLine(true);
    word.Format();
    EXPECT_EQ(DrawDump(word.Data), "#0 0,0 36x15 'aaaaaa'\n"
                                   "#0 0,15 24x15 'aaaa'\n"
                                   "#1 0,30 12x15 'bb'  #1 12,30 15x15 ' cc'");
}

TEST(FormatterTest, LineSpacingInPercent)
{
    for (auto [spacing, secondTop] : {std::pair{49, 15}, std::pair{100, 15}, std::pair{150, 22}, std::pair{200, 30}}) {
        LayoutFixture f(40);
        f.Sheet.ParaStyles[0].LineSpacing = spacing;
        f.Text("aaaa bbbb");
        f.Format();
        ASSERT_EQ(f.Data.DrawItems().Count(), 2);
        EXPECT_EQ(f.Data.DrawItems()[1].Top, secondTop) << spacing << "%";
        EXPECT_EQ(f.Data.TotalHeight(), 2 * secondTop) << spacing << "%: the gap follows the last line too";
    }

    LayoutFixture between(40);
    between.Sheet.ParaStyles[0].LineSpacingType = rvlsSpaceBetween;
    between.Sheet.ParaStyles[0].LineSpacing = 4;
    between.Text("aaaa bbbb");
    between.Format();
    EXPECT_EQ(between.Data.DrawItems()[1].Top, 19);
}

TEST(FormatterTest, ParagraphSpacingAddsUp)
{
    LayoutFixture f;
    const int spaced = f.AddParaStyle();
    f.Sheet.ParaStyles[spaced].SpaceBefore = 4;
    f.Sheet.ParaStyles[spaced].SpaceAfter = 7;
    f.Text("a", 0, spaced);
    f.Text("b", 0, spaced);
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,4 6x15 'a'\n"
                                "#1 0,30 6x15 'b'");
    EXPECT_EQ(f.Data.TotalHeight(), 52);
}

std::unique_ptr<TRVTabItemInfo> Tab()
{
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->TextStyleNo = 0;
    tab->ParaNo = -1;
    return tab;
}

TEST(FormatterTest, TabsBeyondTheLastStopGoToTheNextDefaultStop)
{
    LayoutFixture f(300);
    f.Sheet.ParaStyles[0].Tabs.Add(20);
    f.Text("aaaaa"); // 30, past the stop at 20
    f.Data.AppendItem("", Tab());
    f.Text("b", 0, -1);
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 30x15 'aaaaa'  #1 30,0 18x15 <-12>  #2 48,0 6x15 'b'");
}

TEST(FormatterTest, RightAndCentreTabs)
{
    auto layout = [](TRVTabAlign align, const std::string& after) {
        auto f = std::make_unique<LayoutFixture>(300);
        f->Sheet.ParaStyles[0].Tabs.Add(100, align);
        f->Text("aa");
        f->Data.AppendItem("", Tab());
        f->Text(after, 0, -1);
        f->Format();
        return DrawDump(f->Data);
    };
    // The text after a right tab ends at the stop.
    EXPECT_EQ(layout(rvtaRight, "bb"), "#0 0,0 12x15 'aa'  #1 12,0 76x15 <-12>  #2 88,0 12x15 'bb'");
    // Text wider than the room before the stop is not moved to the left.
    EXPECT_EQ(layout(rvtaRight, std::string(16, 'b')), "#0 0,0 12x15 'aa'  #1 12,0 0x15 <-12>  #2 12,0 96x15 'bbbbbbbbbbbbbbbb'");
    // Centred on the stop: 12 wide around 100.
    EXPECT_EQ(layout(rvtaCenter, "bb"), "#0 0,0 12x15 'aa'  #1 12,0 82x15 <-12>  #2 94,0 12x15 'bb'");
}

TEST(FormatterTest, BreaksSpanTheTextWidthAndAreElevenPixelsHigh)
{
    LayoutFixture f(200);
    f.Data.LeftMargin = 5;
    const int indented = f.AddParaStyle();
    f.Sheet.ParaStyles[indented].LeftIndent = 30;
    f.Sheet.ParaStyles[indented].RightIndent = 30;
    f.Text("a", 0, indented);
    f.Data.AppendItem("", std::make_unique<TRVBreakItemInfo>());
    f.Data.ItemAt(1).ParaNo = indented;
    f.Text("b", 0, 0);
    f.Format();
    // Five pixels above the rule, the rule, five below, and five more before the next line.
    EXPECT_EQ(DrawDump(f.Data), "#0 35,0 6x15 'a'\n"
                                "#1 5,15 200x11 <-1> gap 5\n"
                                "#2 5,31 6x15 'b'");
}

TEST(FormatterTest, ListMarkersStandAtTheMarkerIndentAndTextAtTheLeftIndent)
{
    LayoutFixture f(60);
    // A bullet in Wingdings: "l" is 3 wide on the test canvas; marker at 2, text from 24.
    const int list = CreateBullets(f.Sheet, 10, 0, 0, "l", 2, 24);
    f.Data.AppendItem("", std::make_unique<TRVMarkerItemInfo>(list, 0));
    f.Text("aaaa bbbb", 0, -1);
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 2,0 22x15 <-11>  #1 24,0 24x15 'aaaa'\n"
                                "#1 24,15 24x15 'bbbb'");
}

TEST(FormatterTest, SubAndSuperscriptStandOffTheBaseline)
{
    LayoutFixture f(300);
    const int sup = f.AddTextStyle();
    f.Sheet.TextStyles[sup].SubSuperScriptType = rvsssSuperScript;
    const int sub = f.AddTextStyle();
    f.Sheet.TextStyles[sub].SubSuperScriptType = rvsssSubscript;
    f.Text("a");
    f.Text("b", sup, -1);
    f.Text("c", sub, -1);
    f.Format();
    // The reduced font (em 9) has ascent 8. Superscript: raised by 12 - 5 = 7, which lowers the
    // baseline to 15; subscript: lowered by 1.
    EXPECT_EQ(DrawDump(f.Data), "#0 0,3 6x15 'a'  #1 6,0 4x10 'b'  #2 10,8 4x10 'c'");

    // Without outline metrics: two thirds of the height, lowered by a quarter of it.
    LayoutFixture plain(300);
    const int sys = plain.AddTextStyle();
    plain.Sheet.TextStyles[sys].FontName = "System";
    plain.Sheet.TextStyles[sys].SubSuperScriptType = rvsssSubscript;
    plain.Text("a");
    plain.Text("c", sys, -1);
    plain.Format();
    EXPECT_EQ(DrawDump(plain.Data), "#0 0,0 6x15 'a'  #1 6,7 4x10 'c'");
}

} // namespace
} // namespace xq::test

namespace xq::test {
namespace {

TEST(FormatterTest, TextWidthFollowsTheWidthLimitsAndTheClient)
{
    LayoutFixture f(600); // the main window's limits: 600 minimum and maximum
    f.Data.LeftMargin = 5;
    f.Data.RightMargin = 10;
    f.Text("a");
    for (int client : {1000, 300}) {
        f.Data.ClientWidth = client;
        f.Format();
        EXPECT_EQ(f.Data.TextAreaWidth(), 600) << client;
        EXPECT_EQ(f.Data.DocumentWidth(), 615) << client;
    }
    f.Data.Options.Include(rvoClientTextWidth);
    f.Format();
    EXPECT_EQ(f.Data.TextAreaWidth(), 600) << "never below MinTextWidth";
    f.Data.ClientWidth = 1000;
    f.Format();
    EXPECT_EQ(f.Data.TextAreaWidth(), 985);

    // Without a maximum the text area grows to the widest thing that cannot wrap.
    LayoutFixture g(0);
    g.Data.ClientWidth = 100;
    const int nowrap = g.AddParaStyle();
    g.Sheet.ParaStyles[nowrap].Options.Include(rvpaoNoWrap);
    g.Sheet.ParaStyles[nowrap].LeftIndent = 10;
    g.Text("aaaa bbbb cccc dddd", 0, nowrap); // 105 wide
    g.Text("aaaa bbbb cccc dddd eeee", 0, 0);
    g.Format();
    EXPECT_EQ(g.Data.MinTextAreaWidth(), 115);
    EXPECT_EQ(g.Data.TextAreaWidth(), 115);
    EXPECT_EQ(DrawDump(g.Data), "#0 10,0 105x15 'aaaa bbbb cccc dddd'\n"
                                "#1 0,15 105x15 'aaaa bbbb cccc dddd'\n"
                                "#1 0,30 24x15 'eeee'");
}

TEST(FormatterTest, DocumentSizeIsReportedAndAChangedClientFormatsAgain)
{
    LayoutFixture f(0);
    f.Data.ClientWidth = 100;
    f.Text("aaaa bbbb cccc dddd eeee ffff");
    std::vector<std::pair<int, int>> reports;
    f.Data.OnSetDocumentAreaSize = [&](int width, int height, bool) {
        reports.emplace_back(width, height);
        if (f.Data.ClientWidth == 100) { // a vertical scroll bar appears
            f.Data.ClientWidth = 60;
            return true;
        }
        return false;
    };
    f.Format();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], std::pair(100, 30));
    EXPECT_EQ(reports[1], std::pair(60, 45));
    EXPECT_EQ(f.Data.TextAreaWidth(), 60);
}

TEST(FormatterTest, MaxLengthLimitsTheCharactersOfALine)
{
    LayoutFixture f(300);
    f.Data.MaxLength = 3;
    f.Text("abcdefg");
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 18x15 'abc'\n"
                                "#0 0,15 18x15 'def'\n"
                                "#0 0,30 6x15 'g'");
}

TEST(FormatterTest, UnicodeTextBreaksAfterHyphensAndAtSoftHyphens)
{
    LayoutFixture f(40);
    const int uni = f.AddTextStyle();
    f.Sheet.TextStyles[uni].Unicode = true;
    f.Data.AppendTextW(u"aaa-bbb", uni, 0);
    // "aaa\u00ADbbb": the soft hyphen is invisible, but a line ending there shows a hyphen.
    f.Data.AppendTextW(u"aaa\u00ADbbbb", uni, 0);
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 24x15 'aaa-'\n"
                                "#0 0,15 18x15 'bbb'\n"
                                "#1 0,30 24x15 'aaa\u200B'\n"
                                "#1 0,45 24x15 'bbbb'");

    // With special characters shown, soft hyphens are marks of their own width, and still places
    // where a line may end.
    f.Data.Options.Include(rvoShowSpecialCharacters);
    f.Format();
    EXPECT_EQ(DrawDump(f.Data).substr(DrawDump(f.Data).find("#1")), "#1 0,30 24x15 'aaa\u00AC'\n"
                                                                     "#1 0,45 24x15 'bbbb'");
}

TEST(FormatterTest, EmptyTextItemsAreAsHighAsAHyphen)
{
    LayoutFixture f;
    f.Text("");
    f.Text("a");
    f.Format();
    EXPECT_EQ(DrawDump(f.Data), "#0 0,0 0x15 ''\n"
                                "#1 0,15 6x15 'a'");
}

TEST(FormatterTest, ObjectsAlignedToTheLine)
{
    // Bullets without an image list are only their spacing: 20 x 20 with a spacing of 10.
    auto bullet = [](TRVVAlign align) {
        auto b = std::make_unique<TRVBulletItemInfo>();
        b->Spacing = 10;
        b->VAlign = align;
        b->ParaNo = -1;
        return b;
    };
    LayoutFixture f(300);
    f.Text("a");
    f.Data.AppendItem("", bullet(rvvaBaseline));
    f.Data.AppendItem("", bullet(rvvaAbsTop));
    f.Data.AppendItem("", bullet(rvvaAbsBottom));
    f.Format();
    // The bullet on the baseline lowers it to 20, so the line spans 0 (bullet top) to 23 (text
    // bottom); the line-aligned bullets go to its top and to its bottom.
    EXPECT_EQ(DrawDump(f.Data), "#0 0,8 6x15 'a'  #1 6,0 20x20 <-6>  #2 26,0 20x20 <-6>  #3 46,3 20x20 <-6>");
}

TEST(FormatterTest, HyperlinksGetJumpsPerDrawItem)
{
    LayoutFixture f(40);
    const int link = f.AddTextStyle();
    f.Sheet.TextStyles[link].Jump = true;
    f.Text("aa ");
    f.Text("bbbb cccc", link, -1);
    f.Text("dd", link, 0);
    f.Format();
    const auto& jumps = f.Data.Jumps();
    ASSERT_EQ(jumps.size(), 3u);
    EXPECT_EQ(jumps[0].JumpNo, 0);
    EXPECT_EQ(jumps[1].JumpNo, 0) << "both pieces of one link share its number";
    EXPECT_EQ(jumps[2].JumpNo, 1);
    EXPECT_EQ(f.Data.JumpNoOf(2), 1);
    EXPECT_EQ(jumps[1].DrawItemNo, 2);
    EXPECT_EQ(jumps[1].Top, 15);
    EXPECT_EQ(jumps[1].Width, 24);
}

TEST(FormatterTest, KeepingTheScrollPositionFollowsTheFirstVisibleItem)
{
    LayoutFixture f(60);
    for (int i = 0; i < 10; ++i)
        f.Text("aaaa bbbb cccc");
    f.Format();
    f.Data.ScrollY = 95; // item 3 starts at 90, 5 above the view's top
    // Narrower: every paragraph takes three lines instead of two.
    f.Data.MinTextWidth = f.Data.MaxTextWidth = 40;
    f.Data.FormatAll(true, true);
    EXPECT_EQ(f.Data.DrawItems()[f.Data.FirstLinePiece(3)].Top, 135);
    EXPECT_EQ(f.Data.ScrollY, 140);
}

} // namespace
} // namespace xq::test

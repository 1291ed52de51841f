// Moving the caret with keys: over objects and markers, between lines, by words, by pages, and
// out of the document.
#include <gtest/gtest.h>

#include <vector>

#include "EditTestSupport.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"

namespace xq::test {
namespace {

/// The caret after each press of key, until it stops moving (at most limit presses).
std::vector<std::string> Walk(EditFixture& f, TRVKey key, TShiftState shift = {}, int limit = 20)
{
    std::vector<std::string> seen;
    for (int i = 0; i < limit; ++i) {
        const std::string before = f.Caret();
        f.Key(key, shift);
        if (f.Caret() == before)
            break;
        seen.push_back(f.Caret());
    }
    return seen;
}

std::unique_ptr<TRVBulletItemInfo> Box(int spacing)
{
    auto box = std::make_unique<TRVBulletItemInfo>(); // no image list: a square of twice the spacing
    box->Spacing = spacing;
    box->ParaNo = -1;
    return box;
}

TEST(CaretMovementTest, ObjectsAreOneStepAndListMarkersNone)
{
    EditFixture f(300);
    f.Text("ab");
    f.Data.AppendItem("", Box(5));
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->ParaNo = -1;
    f.Data.AppendItem("", std::move(tab));
    f.Text("c", 0, -1);
    const int list = CreateBullets(f.Sheet, 10, 0, 0, "l", 2, 24);
    f.Data.AppendItem("", std::make_unique<TRVMarkerItemInfo>(list, 0));
    f.Text("d", 0, -1);
    f.Format();
    EXPECT_EQ(Walk(f, rvkRight),
              (std::vector<std::string>{"0:2", "0:3", "1:1", "2:1", "3:2|", "|5:1", "5:2|"}));
    EXPECT_EQ(Walk(f, rvkLeft),
              (std::vector<std::string>{"|5:1", "3:2|", "2:1", "1:1", "0:3", "0:2", "|0:1"}));
    // Straight down from the start of the line lands after the marker.
    f.Key(rvkDown);
    EXPECT_EQ(f.Caret(), "|5:1");
}

TEST(CaretMovementTest, AFullLineItemIsALineWithAStopBeforeAndAfterIt)
{
    EditFixture f(200);
    f.Text("ab");
    f.Data.AppendItem("", std::make_unique<TRVBreakItemInfo>());
    f.Text("cd");
    f.Format();
    EXPECT_EQ(Walk(f, rvkRight), (std::vector<std::string>{"0:2", "0:3|", "|1:0", "1:1|", "|2:1", "2:2", "2:3|"}));
    // Up from x 12 meets the rule left of its middle.
    f.Key(rvkUp);
    EXPECT_EQ(f.Caret(), "|1:0");
}

TEST(CaretMovementTest, UpAndDownGoToTheXOfTheCurrentStop)
{
    EditFixture f(200);
    f.Text("abcdefgh");
    f.Text("ab");
    f.Text("abcdefgh");
    f.Text("WWW");
    f.Format();
    f.Edit.SetCaretDocPos({0, 7}); // x 36
    f.Key(rvkDown);
    EXPECT_EQ(f.Caret(), "1:3|");
    // No remembered column: from the short line's end (x 12) on.
    f.Key(rvkDown);
    EXPECT_EQ(f.Caret(), "2:3");
    // W is 11 wide: 12 is nearest to 11.
    f.Key(rvkDown);
    EXPECT_EQ(f.Caret(), "3:2");
    f.Key(rvkUp);
    EXPECT_EQ(f.Caret(), "2:3");
}

TEST(CaretMovementTest, CtrlLeftAndRightMoveByWordsOfTheDelimiters)
{
    EditFixture f(300);
    f.Text("Hello, world (test)");
    f.Text("ab\xA0" "cd");
    f.Format();
    const TShiftState ctrl{ssCtrl};
    // Stops: before a punctuation mark, after a run of spaces, at a word start.
    EXPECT_EQ(Walk(f, rvkRight, ctrl),
              (std::vector<std::string>{"0:6", "0:8", "0:14", "0:15", "0:19", "0:20|", "|1:1", "1:3", "1:4", "1:6|"}));
    EXPECT_EQ(Walk(f, rvkLeft, ctrl),
              (std::vector<std::string>{"1:4", "1:3", "|1:1", "0:20|", "0:19", "0:15", "0:8", "0:6", "|0:1"}));

    // The main window's list has no no-break space.
    TDocViewEdit mainWindow(&f.Sheet);
    EXPECT_EQ(mainWindow.Delimiters.find('\xA0'), std::string::npos);
    f.Edit.Delimiters = mainWindow.Delimiters;
    f.Edit.SetCaretDocPos({1, 1});
    f.Key(rvkRight, ctrl);
    EXPECT_EQ(f.Caret(), "1:6|");
}

TEST(CaretMovementTest, InUnicodeTextOnlyCharactersUpToFFCanBeDelimiters)
{
    EditFixture f(300);
    const int uni = f.AddTextStyle();
    f.Sheet.TextStyles[uni].Unicode = true;
    // 0x91 is a delimiter as a code page byte (a left single quote); U+2018 is not, U+00A0 is.
    f.Data.AppendTextW(u"a\u2018b\u00A0c", uni, 0);
    f.Format();
    EXPECT_FALSE(f.Data.IsDelimiterAt(0, 2, f.Edit.Delimiters));
    EXPECT_TRUE(f.Data.IsDelimiterAt(0, 4, f.Edit.Delimiters));
    f.Key(rvkRight, {ssCtrl});
    EXPECT_EQ(f.Caret(), "0:4");
}

TEST(CaretMovementTest, HomeEndAndTheDocumentsEnds)
{
    EditFixture f(60);
    f.Text("abcd efgh ijkl");
    f.Text("mn");
    f.Format();
    f.Edit.SetCaretDocPos({0, 13});
    f.Key(rvkHome);
    EXPECT_EQ(f.Caret(), "|0:11");
    f.Key(rvkEnd);
    EXPECT_EQ(f.Caret(), "0:15|");
    f.Key(rvkEnd, {ssCtrl});
    EXPECT_EQ(f.Caret(), "1:3|");
    f.Key(rvkHome, {ssCtrl});
    EXPECT_EQ(f.Caret(), "|0:1");
}

TEST(CaretMovementTest, TheCaretGetsOutAtBothEndsOfTheDocument)
{
    EditFixture f(200, 30);
    for (int i = 0; i < 5; ++i)
        f.Text("ab");
    f.Format();
    std::vector<int> directions;
    f.Edit.OnCaretGetOut = [&](TCustomDocViewEdit&, TRVGetOutDirection d) { directions.push_back(d); };
    f.Data.ScrollY = 20;
    f.Key(rvkLeft);
    f.Key(rvkUp);
    EXPECT_EQ(f.Data.ScrollY, 0) << "Up on the first line shows the document's top";
    f.Key(rvkHome, {ssCtrl});
    f.Key(rvkHome);
    EXPECT_EQ(f.Caret(), "|0:1");
    f.Key(rvkEnd, {ssCtrl});
    directions.push_back(-1);
    f.Key(rvkRight);
    f.Key(rvkDown);
    f.Key(rvkEnd);
    f.Key(rvkPageDown);
    EXPECT_EQ(f.Caret(), "4:3|");
    EXPECT_EQ(directions, (std::vector<int>{rvdLeft, rvdUp, rvdHome, rvdHome, -1, rvdRight, rvdDown, rvdEnd, rvdDown}));
}

TEST(CaretMovementTest, RightToLeftExchangesLeftAndRight)
{
    EditFixture f(200);
    f.Text("abc");
    f.Data.BiDiMode = rvbdRightToLeft;
    f.Format();
    f.Key(rvkLeft);
    EXPECT_EQ(f.Caret(), "0:2");
    f.Key(rvkRight);
    EXPECT_EQ(f.Caret(), "|0:1");
}

TEST(CaretMovementTest, PagesMoveFromTheViewAndCtrlUpDownScrollByAUnit)
{
    EditFixture f(200, 100); // lines 15 high, a page of 100
    for (int i = 0; i < 20; ++i)
        f.Text("a");
    f.Format();
    int scrolled = 0;
    f.Data.OnScrollChanged = [&] { ++scrolled; };
    // Down to the line at 3/4 of the view (y 75), which goes to the top in whole units of 10.
    f.Key(rvkPageDown);
    EXPECT_EQ(f.Caret(), "|5:1");
    EXPECT_EQ(f.Data.ScrollY, 70);
    f.Key(rvkPageDown); // y 145: line 9
    EXPECT_EQ(f.Caret(), "|9:1");
    EXPECT_EQ(f.Data.ScrollY, 130);
    // Up from 3/4 of a view above the top (y 55: line 3), which is scrolled into view.
    f.Key(rvkPageUp);
    EXPECT_EQ(f.Caret(), "|3:1");
    EXPECT_EQ(f.Data.ScrollY, 40);
    f.Key(rvkPageUp);
    EXPECT_EQ(f.Caret(), "|0:1");
    EXPECT_EQ(scrolled, 4);

    EXPECT_TRUE(f.Edit.KeyDown(rvkDown, {ssCtrl}));
    EXPECT_TRUE(f.Edit.KeyDown(rvkDown, {ssCtrl}));
    EXPECT_TRUE(f.Edit.KeyDown(rvkUp, {ssCtrl}));
    EXPECT_EQ(f.Data.ScrollY, 10);
    EXPECT_EQ(f.Caret(), "|0:1");
    // Keys the editor has no meaning for are left to the widget.
    for (TRVKey key : {rvkTab, rvkZ})
        EXPECT_FALSE(f.Edit.KeyDown(key, {}));
    EXPECT_FALSE(f.Edit.KeyDown(rvkV, {ssCtrl}));
}

} // namespace
} // namespace xq::test

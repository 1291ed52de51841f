// Caret stops of lines: where the caret can stand and at which x, and how document positions
// map onto them.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"

namespace xq::test {
namespace {

/// The stops of the line holding drawItemNo as "item:offset@x" separated by spaces.
std::string Stops(EditFixture& f, int drawItemNo)
{
    TRVCharPosCollection stops;
    f.Data.GetCaretStops(drawItemNo, stops);
    std::string out;
    for (int k = 0; k < stops.Count(); ++k)
        out += (k ? " " : "") + PosText(f.Data.DocPosOf(stops[k].Pos())) + "@" + std::to_string(stops[k].X);
    return out;
}

TEST(CaretStopsTest, TheSpaceConsumedByAWrapHasNoStopOnEitherLine)
{
    EditFixture f(60);
    f.Text("abcd efgh ijkl");
    f.Format();
    // "abcd efgh" is 51 wide; the space after it (offset 10..11) goes with the wrap.
    EXPECT_EQ(Stops(f, 0), "0:1@0 0:2@6 0:3@12 0:4@18 0:5@24 0:6@27 0:7@33 0:8@39 0:9@45 0:10@51");
    EXPECT_EQ(Stops(f, 1), "0:11@0 0:12@3 0:13@9 0:14@15 0:15@18"); // i and l are narrow
    // Before the space only on the upper line, after it only on the lower one.
    EXPECT_EQ(f.Data.DrawPosOf({0, 10}, TRVLineBoundary::LineStart), (TRVDrawPos{0, 10}));
    EXPECT_EQ(f.Data.DrawPosOf({0, 11}, TRVLineBoundary::LineEnd), (TRVDrawPos{1, 11}));

    // One step over the space in each direction.
    f.Edit.SetCaretDocPos({0, 10});
    f.Key(rvkRight);
    EXPECT_EQ(f.Caret(), "|0:11");
    f.Key(rvkLeft);
    EXPECT_EQ(f.Caret(), "0:10|");
}

TEST(CaretStopsTest, TheEndOfALineAndTheStartOfTheNextAreDistinctStopsOfOnePosition)
{
    EditFixture f(30);
    f.Text("abcdefghij"); // cut after five letters, no space in between
    f.Format();
    EXPECT_EQ(f.Data.DrawPosOf({0, 6}, TRVLineBoundary::LineEnd), (TRVDrawPos{0, 6}));
    EXPECT_EQ(f.Data.DrawPosOf({0, 6}, TRVLineBoundary::LineStart), (TRVDrawPos{1, 6}));

    f.Key(rvkEnd);
    EXPECT_EQ(f.Caret(), "0:6|");
    EXPECT_EQ(f.CaretX(), 30);
    // Moving on from the end of the line passes the same place at the start of the next.
    f.Key(rvkRight);
    EXPECT_EQ(f.Caret(), "0:7");
    f.Key(rvkLeft);
    EXPECT_EQ(f.Caret(), "|0:6");
    EXPECT_EQ(f.CaretX(), 0);
    f.Key(rvkLeft);
    EXPECT_EQ(f.Caret(), "0:5");

    // A new layout keeps the caret at the end of its line.
    f.Key(rvkEnd);
    f.Key(rvkUp);
    f.Key(rvkEnd);
    ASSERT_EQ(f.Caret(), "0:6|");
    f.Format();
    EXPECT_EQ(f.Caret(), "0:6|");
}

TEST(CaretStopsTest, JustificationSpaceLiesBeforeThePiecesText)
{
    EditFixture f(60);
    f.Sheet.ParaStyles[0].Alignment = rvaJustify;
    f.Text("ab cd efgh ij");
    f.Format();
    // 6 free pixels go to " cd" and " efgh", 3 each, in front of their spaces: the stop before
    // a space stays at the end of the word before it.
    EXPECT_EQ(Stops(f, 0), "0:1@0 0:2@6 0:3@12 0:4@18 0:5@24 0:6@30 0:7@36 0:8@42 0:9@48 0:10@54 0:11@60");
}

TEST(CaretStopsTest, ZeroWidthCharactersShareTheirXAndASurrogatePairIsOneStep)
{
    EditFixture f(200);
    const int uni = f.AddTextStyle();
    f.Sheet.TextStyles[uni].Unicode = true;
    f.Data.AppendTextW(u"a\u200Bb\U0001F600c", uni, 0);
    f.Format();
    // The pair's high unit carries the advance (13), the low one none; no stop between them.
    EXPECT_EQ(Stops(f, 0), "0:1@0 0:2@6 0:3@6 0:4@12 0:6@25 0:7@31");
    EXPECT_EQ(f.Data.StopOf({0, 5}), (TRVDrawPos{0, 4}));
}

TEST(CaretStopsTest, CombiningMarksAddNothingToTheCaretsX)
{
    EditFixture f(200);
    const int uni = f.AddTextStyle();
    f.Sheet.TextStyles[uni].Unicode = true;
    f.Data.AppendTextW(u"Cafe\u0301s", uni, 0);
    f.Format();
    // C 9, a f e 6 each, the acute nothing: the stop after it is where e ends.
    EXPECT_EQ(Stops(f, 0), "0:1@0 0:2@9 0:3@15 0:4@21 0:5@27 0:6@27 0:7@33");
}

TEST(CaretStopsTest, ABoundaryBelongsToTheLeftItemExceptAfterAMarker)
{
    EditFixture f(200);
    const int bold = f.AddTextStyle();
    f.Sheet.TextStyles[bold].Style = {fsBold};
    f.Text("ab", bold);
    f.Text("cd", 0, -1);
    const int list = CreateBullets(f.Sheet, 10, 0, 0, "l", 2, 24);
    f.Data.AppendItem("", std::make_unique<TRVMarkerItemInfo>(list, 0));
    f.Text("ef", 0, -1);
    f.Format();
    // Bold letters are 7 wide.
    EXPECT_EQ(Stops(f, 0), "0:1@0 0:2@7 0:3@14 1:2@20 1:3@26");
    EXPECT_EQ(f.Data.StopOf({1, 1}), (TRVDrawPos{0, 3}));
    // No stop before the marker; its line starts where the text does.
    EXPECT_EQ(Stops(f, 2), "3:1@24 3:2@30 3:3@36");
    EXPECT_EQ(f.Data.StopOf({2, 0}), (TRVDrawPos{3, 1}));
}

} // namespace
} // namespace xq::test

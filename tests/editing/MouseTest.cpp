// The mouse: hit testing, clicks, word and line selection, dragging, and the selection timer.
#include <gtest/gtest.h>

#include "EditTestSupport.h"

namespace xq::test {
namespace {

TEST(MouseTest, HitTestingFindsTheNearestBoundaryOnTheLineUnderThePoint)
{
    EditFixture f(200);
    f.Text("abcdef");
    f.Text("ghij");
    f.Format();
    const auto hit = [&](int x, int y) { return PosText(f.Data.DocPosOf(f.Data.StopOf(f.Data.HitTest(x, y)))); };
    EXPECT_EQ(hit(-5, 5), "0:1") << "left of the text";
    EXPECT_EQ(hit(8, 5), "0:2");
    EXPECT_EQ(hit(9, 5), "0:2") << "the middle of b: before it";
    EXPECT_EQ(hit(10, 5), "0:3");
    EXPECT_EQ(hit(500, 5), "0:7") << "right of the text";
    EXPECT_EQ(hit(3, 20), "1:1") << "g is 6 wide";
    EXPECT_EQ(hit(0, -10), "0:1") << "above the document: its first line";
    EXPECT_EQ(hit(0, 1000), "1:5") << "below the document: its end";

    f.Click(10, 20);
    EXPECT_EQ(f.Caret(), "1:3");
    f.Click(20, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "1:5-0:1") << "by words";
    f.Sheet.SelectionMode = rvsmChar;
    f.Click(10, 20);
    f.Click(20, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "1:3-0:4");
}

TEST(MouseTest, DoubleClickSelectsTheWordAndRightClickDeselectsOutsideTheSelection)
{
    EditFixture f(300);
    f.Text("one two three"); // "two" from x 21 to 42
    f.Format();
    f.Edit.MouseDown(mbLeft, {}, 30, 5);
    f.Edit.MouseUp(mbLeft, {}, 30, 5);
    f.Edit.DblClick({}, 30, 5);
    EXPECT_EQ(f.Selection(), "0:5-0:8");

    f.Edit.MouseDown(mbRight, {}, 25, 5);
    EXPECT_EQ(f.Selection(), "0:5-0:8") << "a right click inside keeps the selection";
    f.Edit.MouseDown(mbRight, {}, 5, 5);
    EXPECT_EQ(f.Selection(), "0:2-0:2");

    f.Data.Options.Exclude(rvoDblClickSelectsWord).Exclude(rvoRClickDeselects);
    f.Edit.DblClick({}, 30, 5);
    EXPECT_FALSE(f.Edit.SelectionExists());
    f.Edit.SelectAll();
    f.Edit.MouseDown(mbRight, {}, 500, 500);
    EXPECT_TRUE(f.Edit.SelectionExists());
}

TEST(MouseTest, WordModeDragsSelectWholeWordsOnceThePointerLeavesTheFirst)
{
    EditFixture f(300);
    // "hello" ends at 24; "world" (offsets 7..12) has boundaries 27 38 44 50 53 59.
    f.Text("hello world again");
    f.Format();
    ASSERT_EQ(f.Sheet.SelectionMode, rvsmWord);
    f.Edit.MouseDown(mbLeft, {}, 13, 5);
    EXPECT_TRUE(f.Edit.MouseSelecting());
    f.Edit.MouseMove({}, 19, 5);
    EXPECT_EQ(f.Selection(), "0:3-0:5") << "characters inside the first word";
    f.Edit.MouseMove({}, 40, 5);
    EXPECT_EQ(f.Selection(), "0:1-0:12") << "both words whole";
    f.Edit.MouseMove({}, 30, 5);
    EXPECT_EQ(f.Selection(), "0:1-0:7") << "turned back: characters in that word";
    f.Edit.MouseMove({}, 13, 5);
    EXPECT_EQ(f.Selection(), "0:3-0:3") << "back in the first word: the anchor where it began";
    f.Edit.MouseUp(mbLeft, {}, 13, 5);
    EXPECT_FALSE(f.Edit.MouseSelecting());
    f.Edit.MouseMove({}, 40, 5);
    EXPECT_EQ(f.Selection(), "0:3-0:3");

    // By characters the anchor never moves.
    f.Sheet.SelectionMode = rvsmChar;
    f.Edit.MouseDown(mbLeft, {}, 13, 5);
    f.Edit.MouseMove({}, 40, 5);
    EXPECT_EQ(f.Selection(), "0:3-0:8");
}

TEST(MouseTest, ShiftClickExtendsTheSelectionWithTheGranularityOfADrag)
{
    EditFixture f(300);
    // "hello" has boundaries 0 6 12 15 18 24, "world" (offsets 7..12) 27 .. 59, "again" (13..18)
    // 62 68 74 80 83 89.
    f.Text("hello world again");
    f.Text("zwei drei");
    f.Format();
    ASSERT_EQ(f.Sheet.SelectionMode, rvsmWord);
    f.Click(13, 5);
    f.Click(76, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "0:1-0:18") << "from the start of the first word to the end of the word clicked";
    f.Click(13, 5);
    f.Click(19, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "0:3-0:5") << "characters within the anchor's word";
    f.Click(40, 5);
    f.Click(13, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "0:12-0:1") << "backwards: from the end of the anchor's word";
    // The selection made by Shift+click goes on as a drag while the button is held.
    f.Click(13, 5);
    f.Edit.MouseDown(mbLeft, {ssShift}, 76, 5);
    f.Edit.MouseMove({ssShift}, 40, 5);
    EXPECT_EQ(f.Selection(), "0:1-0:12");
    f.Edit.MouseUp(mbLeft, {ssShift}, 40, 5);

    f.Sheet.SelectionMode = rvsmParagraph;
    f.Click(13, 5);
    f.Click(10, 20, {ssShift});
    EXPECT_EQ(f.Selection(), "0:1-1:10") << "whole paragraphs";
    f.Click(10, 20);
    f.Click(76, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "1:10-0:1");

    f.Sheet.SelectionMode = rvsmChar;
    f.Click(13, 5);
    f.Click(76, 5, {ssShift});
    EXPECT_EQ(f.Selection(), "0:3-0:15");
}

TEST(MouseTest, TheLeftMarginSelectsLines)
{
    EditFixture f(60);
    f.Data.LeftMargin = 10;
    f.Text("abcd efgh ijkl");
    f.Text("mn");
    f.Format();
    f.Edit.MouseDown(mbLeft, {}, 3, 5);
    EXPECT_EQ(f.Selection(), "0:1-0:10");
    f.Edit.MouseMove({}, 3, 20);
    EXPECT_EQ(f.Selection(), "0:1-0:15");
    f.Edit.MouseUp(mbLeft, {}, 3, 20);

    f.Sheet.SelectionMode = rvsmParagraph;
    f.Edit.MouseDown(mbLeft, {}, 3, 35);
    f.Edit.MouseMove({}, 3, 20);
    EXPECT_EQ(f.Selection(), "1:3-0:1") << "by paragraphs, upwards";
}

TEST(MouseTest, TheLeftMarginShowsTheLineSelectCursorWhereAClickSelectsTheLineBesideIt)
{
    EditFixture f(60, 200);
    f.Data.LeftMargin = 10;
    f.Text("abcd efgh ijkl");
    f.Text("mn");
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->ImageWidth = 30;
    picture->ImageHeight = 20;
    picture->Spacing = 0;
    picture->ParaNo = 0;
    f.Data.AppendItem({}, std::move(picture));
    f.Format();
    EXPECT_EQ(f.Edit.MouseCursorAt(0, 20), TRVMouseCursor::LineSelect);
    EXPECT_EQ(f.Edit.MouseCursorAt(9, 20), TRVMouseCursor::LineSelect);
    EXPECT_EQ(f.Edit.MouseCursorAt(10, 20), TRVMouseCursor::Text);
    EXPECT_EQ(f.Edit.MouseCursorAt(40, 5), TRVMouseCursor::Text);
    f.Click(4, 20);
    EXPECT_EQ(f.Selection(), "0:11-0:15") << "the wrapped second line of the paragraph";
    f.Click(4, 35);
    EXPECT_EQ(f.Selection(), "1:1-1:3");

    // A handle of the selected picture reaching into the margin is a handle first.
    f.Edit.SetSelection({2, 0}, {2, 1});
    TRect frame;
    ASSERT_TRUE(f.Edit.ResizeFrame(frame));
    ASSERT_EQ(frame.Left, 10);
    EXPECT_EQ(f.Edit.MouseCursorAt(7, (frame.Top + frame.Bottom) / 2), TRVMouseCursor::SizeWE);
    EXPECT_EQ(f.Edit.MouseCursorAt(7, frame.Top - 10), TRVMouseCursor::LineSelect);

    // No line selection (and no cursor for it) without a line-select cursor, in a right-to-left
    // editor, or where nothing may be selected.
    f.Sheet.LineSelectCursor = -1;
    EXPECT_EQ(f.Edit.MouseCursorAt(4, 20), TRVMouseCursor::Text);
    f.Click(4, 20);
    EXPECT_FALSE(f.Edit.SelectionExists());
    EXPECT_EQ(f.Caret(), "|0:11");
    f.Sheet.LineSelectCursor = crRVFlipArrow;
    f.Data.BiDiMode = rvbdRightToLeft;
    EXPECT_EQ(f.Edit.MouseCursorAt(4, 20), TRVMouseCursor::Text);
    f.Data.BiDiMode = rvbdUnspecified;
    f.Data.Options.Exclude(rvoAllowSelection);
    EXPECT_EQ(f.Edit.MouseCursorAt(4, 20), TRVMouseCursor::Text);
}

TEST(MouseTest, TheSelectionTimerScrollsTowardsThePointer)
{
    EditFixture f(200, 100);
    f.Text("abc");
    f.Format();
    EXPECT_TRUE(f.Edit.AutoScrollStep(50, 130).Empty()) << "no selection in progress";
    f.Edit.MouseDown(mbLeft, {}, 5, 5);
    EXPECT_EQ(f.Edit.AutoScrollStep(50, 129), (TRVAutoScrollStep{0, 10})) << "30 pixels below";
    EXPECT_EQ(f.Edit.AutoScrollStep(50, 109), (TRVAutoScrollStep{0, 1})) << "10 pixels below";
    EXPECT_EQ(f.Edit.AutoScrollStep(-25, -5), (TRVAutoScrollStep{-10, -1}));
    EXPECT_TRUE(f.Edit.AutoScrollStep(199, 99).Empty());
}


TEST(MouseTest, EditsUndoAndRedoWaitForTheButtonOfAMouseSelection)
{
    // A selection being dragged keeps places on the layout; Undo taking away a line under it
    // left the next move reading draw items that were gone.
    EditFixture f(60);
    int beeps = 0;
    f.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    f.Data.LeftMargin = 10;
    f.Sheet.SelectionMode = rvsmParagraph;
    f.Text("abcd efgh");
    f.Text("mn");
    f.Format();
    f.Edit.SetCaretDocPos({1, 3});
    f.Edit.InsertEnter(false);
    f.Edit.KeyPress(u'o');
    f.Edit.Undo();
    ASSERT_TRUE(f.Edit.CanUndo());
    ASSERT_TRUE(f.Edit.CanRedo());
    const std::string before = f.Rvf();

    f.Edit.MouseDown(mbLeft, {}, 3, 35); // the margin beside the empty third paragraph
    ASSERT_TRUE(f.Edit.MouseSelecting());
    f.Edit.Undo();
    f.Edit.Redo();
    f.Edit.KeyPress(u'p');
    f.Edit.DeleteBackward(false);
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(f.Rvf(), before);
    f.Edit.MouseMove({}, 3, 5);
    EXPECT_EQ(f.Selection(), "2:1-0:1");
    f.Edit.MouseUp(mbLeft, {}, 3, 5);

    // With the button up, Undo works again.
    f.Edit.Undo();
    EXPECT_EQ(f.Data.Count(), 2);
    EXPECT_EQ(beeps, 4);
}

} // namespace
} // namespace xq::test

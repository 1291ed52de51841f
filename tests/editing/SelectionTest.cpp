// The selection: extending it from its anchor, its ordered form, and the selection commands.
#include <gtest/gtest.h>

#include "EditTestSupport.h"

namespace xq::test {
namespace {

TEST(SelectionTest, ShiftExtendsFromTheAnchorAndABackwardSelectionOrdersWithinItsDrawItem)
{
    EditFixture f(60);
    f.Text("abcd efgh ijkl"); // the second line starts at offset 11
    f.Format();
    f.Edit.SetCaretDocPos({0, 14});
    f.Key(rvkLeft, {ssShift});
    f.Key(rvkLeft, {ssShift});
    EXPECT_EQ(f.Selection(), "0:14-0:12");
    // Painting's form: offsets counted in the draw item, the ends swapped.
    int firstNo = 0, firstOffs = 0, lastNo = 0, lastOffs = 0;
    ASSERT_TRUE(f.Edit.GetOrderedSelection(firstNo, firstOffs, lastNo, lastOffs));
    EXPECT_EQ((std::vector<int>{firstNo, firstOffs, lastNo, lastOffs}), (std::vector<int>{1, 2, 1, 4}));
    TRVDocPos first, last;
    ASSERT_TRUE(f.Edit.GetOrderedSelectionDoc(first, last));
    EXPECT_EQ(PosText(first) + " " + PosText(last), "0:12 0:14");

    // Back over the anchor: it stays where the selection began.
    for (int i = 0; i < 3; ++i)
        f.Key(rvkRight, {ssShift});
    EXPECT_EQ(f.Selection(), "0:14-0:15");
    // Up to the line above (from x 18, after "ijkl"), still from the anchor.
    f.Key(rvkUp, {ssShift});
    EXPECT_EQ(f.Selection(), "0:14-0:4");
    // Without Shift the selection goes.
    f.Key(rvkLeft);
    EXPECT_EQ(f.Selection(), "0:3-0:3");
    EXPECT_FALSE(f.Edit.SelectionExists());
}

TEST(SelectionTest, SelectAllDeselectAndSetSelectionTellOnlyChanges)
{
    EditFixture f(200);
    f.Text("abc");
    f.Text("de");
    f.Format();
    int selects = 0;
    f.Edit.OnSelect = [&](TCustomDocViewEdit&) { ++selects; };
    f.Edit.SelectAll();
    EXPECT_EQ(f.Selection(), "0:1-1:3");
    EXPECT_EQ(f.Caret(), "1:3|");
    f.Edit.Deselect();
    EXPECT_EQ(f.Selection(), "1:3-1:3");
    f.Edit.Deselect();
    EXPECT_EQ(selects, 2);
    f.Edit.SetSelection({1, 2}, {0, 2});
    EXPECT_EQ(f.Selection(), "1:2-0:2");
    EXPECT_EQ(f.Caret(), "0:2");
    // Both ends at one place between two items: nothing selected.
    f.Text("fg", 0, -1);
    f.Format();
    f.Edit.SetSelection({1, 3}, {2, 1});
    EXPECT_FALSE(f.Edit.SelectionExists());
}

TEST(SelectionTest, TheWordAtTheCaretEndsAtDelimiters)
{
    EditFixture f(300);
    f.Text("one (two-three) four");
    f.Format();
    f.Edit.SetCaretDocPos({0, 8});
    f.Edit.SelectCurrentWord();
    EXPECT_EQ(f.Selection(), "0:6-0:9"); // "two", between "(" and "-"
    f.Edit.SetCaretDocPos({0, 5});
    f.Edit.SelectCurrentWord(); // between a space and "(": nothing to select
    EXPECT_FALSE(f.Edit.SelectionExists());
}

TEST(SelectionTest, InParagraphModeShiftArrowsSelectWholeParagraphs)
{
    EditFixture f(60);
    f.Text("abcd efgh ijkl");
    f.Text("mn");
    f.Text("op");
    f.Sheet.SelectionMode = rvsmParagraph;
    f.Format();
    f.Edit.SetCaretDocPos({0, 7});
    f.Key(rvkRight, {ssShift});
    EXPECT_EQ(f.Selection(), "0:1-0:15");
    f.Key(rvkDown, {ssShift});
    EXPECT_EQ(f.Selection(), "0:1-1:3");
    // From the start of a paragraph backwards: the paragraph before, and the anchor's whole.
    f.Key(rvkRight);
    f.Key(rvkLeft, {ssShift});
    EXPECT_EQ(f.Selection(), "2:3-1:1");
}

TEST(SelectionTest, ANewLayoutKeepsCaretAndSelectionOnTheirText)
{
    EditFixture f(200);
    f.Text("abcd efgh ijkl");
    f.Format();
    f.Edit.SetSelection({0, 3}, {0, 13});
    f.Data.MinTextWidth = f.Data.MaxTextWidth = 60;
    f.Format();
    ASSERT_EQ(f.Data.DrawItems().Count(), 2);
    EXPECT_EQ(f.Selection(), "0:3-0:13");
    EXPECT_EQ(f.Data.SelEndNo, 1);
    EXPECT_EQ(f.Data.SelEndOffs, 3);
}

TEST(SelectionTest, ACaretLeftBehindByALayoutIsAnError)
{
    EditFixture f(200);
    f.Text("a");
    f.Text("b");
    f.Format();
    f.Key(rvkDown);
    // Laid out without putting the caret back, the caret's line is gone.
    f.Data.RemoveItems(1, 1);
    f.Data.FormatAll(false, true);
    try {
        (void)f.Edit.GetCaretRect();
        FAIL() << "no error";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), errInvalidCaretPosition);
    }
    EXPECT_EQ(f.Caret(), "|0:1");
}

} // namespace
} // namespace xq::test

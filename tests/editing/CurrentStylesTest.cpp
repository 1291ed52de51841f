// What a caret move reports: the current text and paragraph styles, the caret bar, and the
// scrolling that keeps the caret in view.
#include <gtest/gtest.h>

#include <vector>

#include "EditTestSupport.h"

namespace xq::test {
namespace {

TEST(CurrentStylesTest, TheItemOwningTheStopGivesTheStyleUnlessItMustNotAutoSwitch)
{
    EditFixture f(300);
    const int bold = f.AddTextStyle();
    f.Sheet.TextStyles[bold].Style = {fsBold};
    const int variable = f.AddTextStyle();
    f.Sheet.TextStyles[variable].Protection = {rvprDoNotAutoSwitch};
    const int italic = f.AddTextStyle();
    f.Sheet.TextStyles[italic].Style = {fsItalic};
    f.Text("ab", bold);
    f.Text("cd", 0, -1);
    f.Text("XY", variable, -1);
    f.Text("ef", italic, -1);
    int textChanges = 0, moves = 0;
    f.Edit.OnCurTextStyleChanged = [&](TCustomDocViewEdit&) { ++textChanges; };
    f.Edit.OnCaretMove = [&](TCustomDocViewEdit&) { ++moves; };
    f.Format();
    EXPECT_EQ(f.Edit.CurrentTextStyle(), bold);

    std::vector<std::string> walk;
    for (int i = 0; i < 7; ++i) {
        f.Key(rvkRight);
        walk.push_back(f.Caret() + " " + std::to_string(f.Edit.CurrentTextStyle()));
    }
    // The stop between two items is the left one's: after "ab" the caret still types bold.
    // Inside the protected item the previous style stays current.
    const std::string b = " " + std::to_string(bold), i = " " + std::to_string(italic);
    EXPECT_EQ(walk, (std::vector<std::string>{"0:2" + b, "0:3" + b, "1:2 0", "1:3 0", "2:2 0", "2:3 0", "3:2" + i}));
    EXPECT_EQ(f.Edit.LastAutoSwitchedTextStyle(), italic);
    f.Key(rvkLeft);
    EXPECT_EQ(f.Edit.CurrentTextStyle(), italic) << "the last style switched to, coming from the right";
    EXPECT_EQ(textChanges, 3);
    EXPECT_EQ(moves, 9);
}

TEST(CurrentStylesTest, ObjectsCarryingATextStyleGiveItAndParagraphsTheirStyle)
{
    EditFixture f(300);
    const int italic = f.AddTextStyle();
    f.Text("ab");
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->TextStyleNo = italic;
    tab->ParaNo = -1;
    f.Data.AppendItem("", std::move(tab));
    auto bullet = std::make_unique<TRVBulletItemInfo>();
    bullet->ParaNo = -1;
    f.Data.AppendItem("", std::move(bullet));
    f.Text("cd", 0, 1);
    int paraChanges = 0;
    f.Edit.OnCurParaStyleChanged = [&](TCustomDocViewEdit&) { ++paraChanges; };
    f.Format();
    f.Edit.SetCaretDocPos({1, 1});
    EXPECT_EQ(f.Edit.CurrentTextStyle(), italic);
    f.Edit.SetCaretDocPos({2, 1});
    EXPECT_EQ(f.Edit.CurrentTextStyle(), italic) << "a bullet carries no text style";
    EXPECT_EQ(f.Edit.CurrentParaStyle(), 0);
    f.Key(rvkDown);
    EXPECT_EQ(f.Edit.CurrentParaStyle(), 1);
    EXPECT_EQ(f.Edit.CurrentTextStyle(), 0);
    EXPECT_EQ(paraChanges, 1);

    // After Clear both styles are 0 again, and the next caret update reports them anew.
    f.Edit.Clear();
    EXPECT_EQ(f.Edit.CurrentParaStyle(), 0);
    f.Text("x");
    f.Format();
    EXPECT_EQ(paraChanges, 2);
}

TEST(CurrentStylesTest, TheCaretBarAndTheViewFollowTheCaret)
{
    EditFixture f(300, 40);
    f.Text("ab");
    auto box = std::make_unique<TRVBulletItemInfo>();
    box->Spacing = 60;
    box->ParaNo = -1;
    f.Data.AppendItem("", std::move(box));
    for (int i = 0; i < 6; ++i)
        f.Text("c");
    f.Format();
    int scrolls = 0;
    f.Data.OnScrollChanged = [&] { ++scrolls; };
    // After the 120 pixel box (12..132, bottom at the baseline 120): the bar is at most
    // MaxCaretHeight high and ends a pixel below the box. The line is taller than the view:
    // its top is shown.
    f.Edit.SetCaretDocPos({1, 1});
    EXPECT_EQ(f.Edit.GetCaretRect(), (TRVCaretRect{132, 120 + 1 - MaxCaretHeight, MaxCaretHeight}));
    EXPECT_EQ(f.Data.ScrollY, 0);
    // The next line (123..138, text 15 high): a pixel above and below it; the view's bottom
    // must reach 138, in scroll units of 10.
    f.Key(rvkDown);
    EXPECT_EQ(f.Edit.GetCaretRect(), (TRVCaretRect{6, 122, 17}));
    EXPECT_EQ(f.Data.ScrollY, 100);
    f.Key(rvkDown);
    EXPECT_EQ(f.Data.ScrollY, 120);
    f.Key(rvkUp);
    EXPECT_EQ(f.Data.ScrollY, 120) << "already in view";
    f.Key(rvkHome, {ssCtrl});
    EXPECT_EQ(f.Data.ScrollY, 0);
    EXPECT_EQ(scrolls, 3);

    f.Edit.ReadOnly = true;
    EXPECT_TRUE(f.Edit.CaretShown());
    f.Edit.EditorOptions.Include(rvoHideReadOnlyCaret);
    EXPECT_FALSE(f.Edit.CaretShown());
}

} // namespace
} // namespace xq::test

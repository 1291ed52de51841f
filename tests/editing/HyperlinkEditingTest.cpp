// Hyperlinks in the editor: widening a selection to whole links, giving and taking targets with
// their two undo steps, typing on after a link, Ctrl+click and the item under the mouse, and
// links dropped with a handler that makes them links.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "support/DocDump.h"
#include "editing/TableInplaceEdit.h"
#include "tables/TableTestSupport.h"
#include "tools/FormatCommands.h"
#include "tools/Hyperlinks.h"

namespace xq::test {
namespace {

class HyperlinkEditingTest : public ::testing::Test {
protected:
    HyperlinkEditingTest()
    {
        F.Edit.EditorOptions = TDocViewEdit().EditorOptions;
        F.Edit.OnStyleConversion = [this](TCustomDocViewEdit&, int styleNo, int code, bool, int& newStyleNo) {
            newStyleNo = HyperlinkTextStyle(F.Sheet, styleNo, code);
        };
        Link = HyperlinkTextStyle(F.Sheet, 0, tcHyperlink);
    }
    [[nodiscard]] std::string Doc() const { return DocDump(F.Data); }
    /// "Siehe " + the link "Webseite" (target https://a.de) + " hier".
    void LinkDocument()
    {
        F.Text("Siehe ");
        F.Text("Webseite", Link, -1);
        F.Data.ItemAt(1).Tag = "https://a.de";
        F.Text(" hier", 0, -1);
        F.Format();
    }
    /// A point in the middle of the first draw item of itemNo.
    [[nodiscard]] std::pair<int, int> PointIn(int itemNo) const
    {
        const TRVDrawLineInfo& d = F.Data.DrawItems()[F.Data.FirstLinePiece(itemNo)];
        return {d.Left + d.Width / 2, d.Top + d.Height / 2};
    }

    EditFixture F{300, 100};
    int Link = 0;
};

TEST_F(HyperlinkEditingTest, TheLinkStylesAreDerivedFromTheTextsStyle)
{
    const TFontInfo& link = F.Sheet.TextStyles[Link];
    EXPECT_TRUE(link.Jump);
    EXPECT_EQ(link.JumpCursor, crHandPoint);
    EXPECT_EQ(link.Color, 0xFF0000u);
    EXPECT_TRUE(link.Style.Contains(fsUnderline));
    EXPECT_FALSE(link.Standard);
    EXPECT_EQ(HyperlinkTextStyle(F.Sheet, 0, tcHyperlink), Link) << "found again, not added twice";

    // Taking the link away finds the style the link came from: without a jump, the cursor is
    // no property that tells styles apart.
    EXPECT_EQ(HyperlinkTextStyle(F.Sheet, Link, tcNoHyperlink), 0);
    EXPECT_EQ(EndOfLinkTextStyle(F.Sheet, Link), 0);

    // A link style of its own (larger, no plain style of that size yet): the plain copy is added.
    TFontInfo& large = F.Sheet.TextStyles.Add();
    large.CopyStyle(link);
    large.Size = 14;
    const int largeLink = F.Sheet.TextStyles.Count() - 1;
    const int plain = HyperlinkTextStyle(F.Sheet, largeLink, tcNoHyperlink);
    ASSERT_EQ(plain, largeLink + 1);
    const TFontInfo& p = F.Sheet.TextStyles[plain];
    EXPECT_FALSE(p.Jump);
    EXPECT_EQ(p.JumpCursor, crDefault);
    EXPECT_EQ(p.Color, clWindowText);
    EXPECT_FALSE(p.Style.Contains(fsUnderline));
    EXPECT_EQ(p.Size, 14);
    EXPECT_FALSE(p.Standard);
    // After a link typing goes on without jump and underline in the same font.
    const int end = EndOfLinkTextStyle(F.Sheet, largeLink);
    EXPECT_EQ(end, plain) << "equal to the plain style once the jump is off";
    EXPECT_EQ(F.Sheet.TextStyles[end].Size, 14);

    // Other codes and invalid styles answer the style itself and add nothing.
    const int count = F.Sheet.TextStyles.Count();
    EXPECT_EQ(HyperlinkTextStyle(F.Sheet, 0, tcBold), 0);
    EXPECT_EQ(HyperlinkTextStyle(F.Sheet, count + 3, tcHyperlink), count + 3);
    EXPECT_EQ(EndOfLinkTextStyle(F.Sheet, -1), -1);
    EXPECT_EQ(F.Sheet.TextStyles.Count(), count);
}

TEST_F(HyperlinkEditingTest, APartialSelectionWidensToTheWholeLinkAndShowsItsTarget)
{
    LinkDocument();
    // Inside the link.
    F.Edit.SetSelection({1, 3}, {1, 5});
    F.Edit.SelectWholeHyperlinks();
    // The link's start is the end of the item before it: the same place.
    EXPECT_EQ(F.Selection(), "0:7-1:9");
    EXPECT_EQ(F.Edit.SelectionHyperlinkTarget(), "https://a.de");
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "Webseite");
    // From plain text into the link: the plain end stays.
    F.Edit.SetSelection({0, 3}, {1, 4});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_EQ(F.Selection(), "0:3-1:9");
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "ehe Webseite");
    // Backwards from the text after it; an end that only touches the link's end leaves it out.
    F.Edit.SetSelection({2, 3}, {1, 9});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), " h");
    EXPECT_EQ(F.Edit.SelectionHyperlinkTarget(), "");
    // Touching the link's start from the plain text before it leaves it out too.
    F.Edit.SetSelection({0, 2}, {1, 1});
    EXPECT_EQ(F.Edit.SelectionHyperlinkTarget(), "");
    // No selection: the caret's link is selected; in plain text nothing is.
    F.Edit.SetCaretDocPos({1, 4});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "Webseite");
    F.Edit.SetCaretDocPos({2, 3});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_FALSE(F.Edit.SelectionExists());
}

TEST_F(HyperlinkEditingTest, ATargetMakesTheSelectionALinkInTwoUndoSteps)
{
    F.Text("Haus im Garten");
    F.Format();
    const std::string original = F.Rvf();
    F.Edit.SetSelection({0, 6}, {0, 8});
    F.Edit.ApplyHyperlink(tcHyperlink, "https://garten.de");
    EXPECT_EQ(Doc(), "[p0]\"Haus \" \"im\"s" + std::to_string(Link) + "{https://garten.de} \" Garten\"");
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "im") << "the selection stays on the text";
    const std::string linked = F.Rvf();

    // The tags are the last step, the style the one before.
    EXPECT_EQ(F.Edit.UndoAction(), rvutTag);
    F.Edit.Undo();
    EXPECT_EQ(Doc(), "[p0]\"Haus \" \"im\"s" + std::to_string(Link) + " \" Garten\"");
    EXPECT_EQ(F.Edit.UndoAction(), rvutStyleNo);
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), original);
    F.Edit.Redo();
    F.Edit.Redo();
    EXPECT_EQ(F.Rvf(), linked);
}

TEST_F(HyperlinkEditingTest, ANewTargetReplacesTheTagOfEveryItemOfTheLink)
{
    // A link of two items (the second part bold).
    const int bold = F.AddTextStyle();
    F.Sheet.TextStyles[bold].Style.Include(fsBold);
    const int boldLink = HyperlinkTextStyle(F.Sheet, bold, tcHyperlink);
    F.Text("vor ");
    F.Text("Haupt", Link, -1);
    F.Text("seite", boldLink, -1);
    F.Text(" nach", 0, -1);
    F.Data.ItemAt(1).Tag = F.Data.ItemAt(2).Tag = "http://alt.de";
    F.Format();
    const std::string before = F.Rvf();
    F.Edit.SetSelection({2, 2}, {2, 3});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "seite") << "each end widens to its own item";
    F.Edit.SetSelection({1, 2}, {2, 3});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "Hauptseite");
    EXPECT_EQ(F.Edit.SelectionHyperlinkTarget(), "http://alt.de");
    F.Edit.ApplyHyperlink(tcHyperlink, "http://neu.de");
    EXPECT_EQ(Doc(), "[p0]\"vor \" \"Haupt\"s" + std::to_string(Link) + "{http://neu.de} \"seite\"s" +
                         std::to_string(boldLink) + "{http://neu.de} \" nach\"");
    // The styles stayed: the tags are the only step.
    EXPECT_EQ(F.Edit.UndoAction(), rvutTag);
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), before);
    EXPECT_FALSE(F.Edit.CanUndo());
}

TEST_F(HyperlinkEditingTest, RemovingALinkIsAStyleStepAndThenATagStep)
{
    LinkDocument();
    const std::string original = F.Rvf();
    F.Edit.SetSelection({1, 4}, {1, 5});
    F.Edit.SelectWholeHyperlinks();
    F.Edit.ApplyHyperlink(tcNoHyperlink, {});
    // Back in the style it came from; the tag keeps it apart from its neighbours until it goes.
    EXPECT_EQ(Doc(), R"([p0]"Siehe " "Webseite" " hier")");

    // The first Undo gives the tag back, the second the link style.
    EXPECT_EQ(F.Edit.UndoAction(), rvutTag);
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"Siehe " "Webseite"{https://a.de} " hier")");
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), original);
    EXPECT_FALSE(F.Edit.CanUndo());
}

TEST_F(HyperlinkEditingTest, AnEmptyTargetOnPlainTextLeavesItPlainWithoutTags)
{
    F.Text("schlicht");
    F.Format();
    F.Edit.SetSelection({0, 1}, {0, 9});
    F.Edit.ApplyHyperlink(tcNoHyperlink, {});
    const int styleNo = F.Data.ActualStyleOf(0);
    EXPECT_FALSE(F.Sheet.TextStyles[styleNo].Jump);
    EXPECT_TRUE(F.Data.ItemAt(0).Tag.empty());
    EXPECT_NE(F.Edit.UndoAction(), rvutTag) << "no tag changed: no tag step";
}

TEST_F(HyperlinkEditingTest, SpaceAndEnterAtTheEndOfALinkContinuePlainInTheMiddleTheLinkGoesOn)
{
    F.Text("Start ");
    F.Text("Link", Link, -1);
    F.Data.ItemAt(1).Tag = "https://a.de";
    F.Format();
    const auto endLink = [this] {
        if (F.Edit.CaretAtHyperlinkEnd())
            F.Edit.SetCurrentTextStyle(EndOfLinkTextStyle(F.Sheet, F.Edit.CurrentTextStyle()));
    };

    // In the middle: the space is part of the link.
    F.Edit.SetCaretDocPos({1, 3});
    EXPECT_FALSE(F.Edit.CaretAtHyperlinkEnd());
    endLink();
    F.Edit.KeyPress(u' ');
    EXPECT_EQ(Doc(), "[p0]\"Start \" \"Li nk\"s" + std::to_string(Link) + "{https://a.de}");

    // At the end: the space and the word after it are plain text without a target.
    F.Edit.SetCaretDocPos({1, 6});
    EXPECT_TRUE(F.Edit.CaretAtHyperlinkEnd());
    endLink();
    F.Edit.KeyPress(u' ');
    F.Edit.KeyPress(u'x');
    ASSERT_EQ(F.Data.Count(), 3);
    EXPECT_EQ(F.Data.TextAt(2), " x");
    EXPECT_FALSE(F.Sheet.TextStyles[F.Data.ActualStyleOf(2)].Jump);
    EXPECT_TRUE(F.Data.ItemAt(2).Tag.empty());
    EXPECT_EQ(F.Data.TextAt(1), "Li nk");

    // Enter at the end of a link: the new paragraph is plain.
    F.Edit.SetCaretDocPos({1, 6});
    F.Edit.SetCurrentTextStyle(Link);
    ASSERT_TRUE(F.Edit.CaretAtHyperlinkEnd());
    endLink();
    F.Edit.InsertEnter(false);
    F.Edit.KeyPress(u'y');
    const int last = F.Data.Count() - 1;
    EXPECT_TRUE(F.Data.StartsParagraph(F.Data.CaretItemNo()));
    EXPECT_FALSE(F.Sheet.TextStyles[F.Data.ActualStyleOf(F.Data.CaretItemNo())].Jump);
    EXPECT_TRUE(F.Data.ItemAt(F.Data.CaretItemNo()).Tag.empty());
    EXPECT_LE(F.Data.CaretItemNo(), last);

    // Not with a selection, not in a read-only editor, not when the current style is another.
    F.Edit.SetSelection({1, 5}, {1, 6});
    EXPECT_FALSE(F.Edit.CaretAtHyperlinkEnd());
    F.Edit.SetCaretDocPos({1, 6});
    F.Edit.SetCurrentTextStyle(0);
    EXPECT_FALSE(F.Edit.CaretAtHyperlinkEnd());
    F.Edit.SetCurrentTextStyle(Link);
    F.Edit.ReadOnly = true;
    EXPECT_FALSE(F.Edit.CaretAtHyperlinkEnd());
}

TEST_F(HyperlinkEditingTest, CtrlClickOnALinkFiresTheJumpAndAPlainClickPlacesTheCaret)
{
    LinkDocument();
    std::vector<int> jumps;
    TCustomDocViewEdit* jumpSender = nullptr;
    F.Edit.OnJump = [&](TCustomDocViewEdit& sender, int id) {
        jumps.push_back(id);
        jumpSender = &sender;
    };
    F.Edit.SetCaretDocPos({0, 1});
    const auto [x, y] = PointIn(1);
    F.Click(x, y, {ssCtrl});
    ASSERT_EQ(jumps.size(), 1u);
    EXPECT_EQ(jumpSender, &F.Edit);
    EXPECT_EQ(F.Caret(), "|0:1") << "a Ctrl+click on a link leaves the caret";
    const TCustomRVData* data = nullptr;
    int itemNo = -1;
    ASSERT_TRUE(F.Edit.GetJumpPointItemNo(jumps[0], data, itemNo));
    EXPECT_EQ(data, &F.Data);
    EXPECT_EQ(itemNo, 1);
    EXPECT_EQ(std::string(data->ItemAt(itemNo).Tag), "https://a.de");
    EXPECT_FALSE(F.Edit.GetJumpPointItemNo(jumps[0] + 1, data, itemNo));

    // A plain click places the caret only; Ctrl+click on plain text is no jump.
    F.Click(x, y);
    EXPECT_EQ(jumps.size(), 1u);
    EXPECT_EQ(F.Data.CaretItemNo(), 1);
    const auto [px, py] = PointIn(0);
    F.Click(px, py, {ssCtrl});
    EXPECT_EQ(jumps.size(), 1u);
    // Pressed on the link, released on plain text: no jump.
    F.Edit.MouseDown(mbLeft, {ssCtrl}, x, y);
    F.Edit.MouseUp(mbLeft, {ssCtrl}, px, py);
    EXPECT_EQ(jumps.size(), 1u);
    // Without rvoCtrlJumps Ctrl+click is a click.
    F.Edit.EditorOptions.Exclude(rvoCtrlJumps);
    F.Click(x, y, {ssCtrl});
    EXPECT_EQ(jumps.size(), 1u);
}

TEST_F(HyperlinkEditingTest, OnlyAHitOnTheItemItselfFindsIt)
{
    LinkDocument();
    const TCustomRVData* data = nullptr;
    int itemNo = -1;
    const auto [x, y] = PointIn(1);
    ASSERT_TRUE(F.Edit.GetItemAtPoint(x, y, data, itemNo));
    EXPECT_EQ(itemNo, 1);
    EXPECT_TRUE(IsHyperlinkItem(F.Sheet, *data, itemNo));
    EXPECT_FALSE(IsHyperlinkItem(F.Sheet, *data, 0));
    EXPECT_EQ(F.Edit.MouseCursorAt(x, y), TRVMouseCursor::Jump);
    // Right of the line's end and below the text: nothing.
    EXPECT_FALSE(F.Edit.GetItemAtPoint(295, y, data, itemNo));
    EXPECT_FALSE(F.Edit.GetItemAtPoint(x, 90, data, itemNo));
    const auto [px, py] = PointIn(2);
    EXPECT_EQ(F.Edit.MouseCursorAt(px, py), TRVMouseCursor::Text);
    // Jump text without a target is no hyperlink.
    F.Data.ItemAt(1).Tag = "";
    EXPECT_FALSE(IsHyperlinkItem(F.Sheet, F.Data, 1));
}

TEST_F(HyperlinkEditingTest, LinksInTableCellsAreFoundClickedAndMade)
{
    F.Text("vor");
    auto table = NamedTable(2, 2, &F.Data);
    table->ParaNo = 0;
    TRVTableItemInfo* t = table.get();
    TRVTableCellData& cell = *t->Cells(1, 1);
    cell.Clear();
    cell.AppendText("Zellenlink", Link, 0);
    cell.ItemAt(0).Tag = "https://zelle.de";
    F.Data.AppendItem("", std::move(table));
    F.Text("nach");
    F.Format();
    ASSERT_TRUE(F.Edit.EditCell(1, 1, 1));
    std::int32_t cx = 0, cy = 0;
    ASSERT_TRUE(F.Edit.CellEditorOrigin(cx, cy));
    F.Edit.EndCellEdit();

    // The cell is not being edited: its own layout is looked at.
    const TCustomRVData* data = nullptr;
    int itemNo = -1;
    ASSERT_TRUE(F.Edit.GetItemAtPoint(cx + 5, cy + 5, data, itemNo));
    EXPECT_EQ(data, &cell);
    EXPECT_EQ(itemNo, 0);
    EXPECT_TRUE(IsHyperlinkItem(F.Sheet, *data, itemNo));
    EXPECT_EQ(F.Edit.MouseCursorAt(cx + 5, cy + 5), TRVMouseCursor::Jump);

    // Ctrl+click edits the cell and its editor fires the jump, naming itself.
    std::vector<std::string> targets;
    F.Edit.OnJump = [&](TCustomDocViewEdit& sender, int id) {
        const TCustomRVData* d = nullptr;
        int i = -1;
        if (sender.GetJumpPointItemNo(id, d, i))
            targets.push_back(d->ItemAt(i).Tag.str());
    };
    F.Click(cx + 5, cy + 5, {ssCtrl});
    EXPECT_EQ(targets, std::vector<std::string>{"https://zelle.de"});
    ASSERT_TRUE(F.Edit.CellEditor());
    ASSERT_TRUE(F.Edit.GetItemAtPoint(cx + 5, cy + 5, data, itemNo));
    EXPECT_EQ(data, &F.Edit.CellEditor()->RVData()) << "the edited cell through its editor";

    // The commands work in the cell being edited.
    F.Edit.CellEditor()->SetSelection({0, 3}, {0, 4});
    F.Edit.SelectWholeHyperlinks();
    EXPECT_EQ(F.Edit.SelectedTextUtf8(), "Zellenlink");
    EXPECT_EQ(F.Edit.SelectionHyperlinkTarget(), "https://zelle.de");
    F.Edit.ApplyHyperlink(tcHyperlink, "https://neu.de");
    F.Edit.EndCellEdit();
    EXPECT_EQ(cell.ItemAt(0).Tag.str(), "https://neu.de");
    EXPECT_TRUE(IsHyperlinkItem(F.Sheet, cell, 0));
}

TEST_F(HyperlinkEditingTest, ADroppedLinkBecomesLinkTextThroughTheHandler)
{
    F.Text("Anfang");
    F.Format();
    F.Edit.AcceptDragDropFormats.Include(rvddURL);
    std::vector<std::string> asked;
    F.Edit.OnReadHyperlink = [&](TCustomDocViewEdit&, const std::string& target, const std::string& extras,
                                 int docFormat, int& styleNo, std::string& tag) {
        asked.push_back(target + "|" + extras + "|" + std::to_string(docFormat));
        styleNo = HyperlinkTextStyle(F.Sheet, styleNo, tcHyperlink);
        tag = CutHyperlinkTarget(target);
    };
    TMemoryClipboard link;
    link.Content().Url = "https://example.org/preise\r\nhttps://second.example";
    const TRVCaretRect bar = F.Data.StopRect(F.Data.DrawPosOf({0, 7}, TRVLineBoundary::LineStart));
    const std::string before = F.Rvf();
    EXPECT_FALSE(F.Edit.Drop(link, {rvdeCopy}, {}, bar.X, bar.Top + 2).Empty());
    EXPECT_EQ(asked, std::vector<std::string>{"https://example.org/preise|https://example.org/preise|4"});
    EXPECT_EQ(Doc(), "[p0]\"Anfang\" \"https://example.org/preise\"s" + std::to_string(Link) +
                         "{https://example.org/preise}");
    F.ExpectOneStep(before, rvutInsert);
}

} // namespace
} // namespace xq::test

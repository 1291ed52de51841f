// Deleting selections and inserting items, text, documents and page breaks as a user feels
// them, each with its undo step giving back the bytes that were there.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"
#include "tables/TableItem.h"

namespace xq::test {
namespace {

class InsertDeleteTest : public ::testing::Test {
protected:
    InsertDeleteTest() { F.Edit.OnBeep = [this](TCustomDocViewEdit&) { ++Beeps; }; }

    [[nodiscard]] std::string Doc() const { return DocDump(F.Data); }
    [[nodiscard]] std::string Rvf() const
    {
        std::string out;
        EXPECT_TRUE(TRVFWriter(F.Sheet, RVFMainWindowOptions).WriteDocument(F.Data, nullptr, out));
        return out;
    }
    [[nodiscard]] std::string CaretPos() const { return PosText(F.Data.CaretDocPos()); }
    void Select(TRVDocPos a, TRVDocPos b) { F.Edit.SetSelection(a, b); }
    /// One Undo gives back before, one Redo gives back after.
    void ExpectOneStep(const std::string& before, const std::string& after)
    {
        F.Edit.Undo();
        EXPECT_EQ(Rvf(), before) << "one undo step";
        F.Edit.Redo();
        EXPECT_EQ(Rvf(), after) << "redo";
    }
    /// How the document dump writes a text style.
    static std::string S(int styleNo) { return "s" + std::to_string(styleNo); }
    static std::unique_ptr<TRVCPInfo> Persistent()
    {
        auto cp = std::make_unique<TRVCPInfo>();
        cp->Name = "keep";
        cp->Persistent = true;
        return cp;
    }

    EditFixture F{200, 100};
    int Beeps = 0;
};

TEST_F(InsertDeleteTest, DeletingASelectionCutsJoinsAndMerges)
{
    F.Text("Das Haus");
    F.Text("im Garten");
    F.Text("steht");
    F.Format();
    const std::string before = Rvf();
    Select({0, 5}, {1, 4});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Doc(), R"([p0]"Das Garten" [p0]"steht")") << "the rest of the last paragraph joins the first";
    EXPECT_EQ(CaretPos(), "0:5");
    EXPECT_FALSE(F.Edit.SelectionExists());
    EXPECT_EQ(F.Edit.UndoAction(), rvutDelete);
    ExpectOneStep(before, Rvf());

    // Two whole paragraphs, up to the end of the second: an empty paragraph stays.
    F.Edit.Undo();
    Select({0, 1}, {1, 10});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Doc(), R"([p0]"" [p0]"steht")");
    // Up to the start of the next paragraph: the paragraphs go, the next one keeps its place.
    F.Edit.Undo();
    Select({0, 1}, {2, 1});
    F.Edit.KeyDown(rvkBackspace, {});
    EXPECT_EQ(Doc(), R"([p0]"steht")");
    EXPECT_EQ(Rvf().size() < before.size(), true);
}

TEST_F(InsertDeleteTest, ProtectionsRefuseTheWholeDeletion)
{
    const int locked = F.AddTextStyle();
    F.Sheet.TextStyles[locked].Protection.Include(rvprDeleteProtect);
    const int fixed = F.AddTextStyle();
    F.Sheet.TextStyles[fixed].Protection.Include(rvprModifyProtect);
    TParaInfo& readOnly = F.Sheet.ParaStyles.Add();
    readOnly.Options.Include(rvpaoReadOnly);
    const int ro = F.Sheet.ParaStyles.Count() - 1;
    F.Text("ab");
    F.Text("Feld", locked, -1);
    F.Text("cd", 0, -1);
    F.Text("fest", fixed);
    F.Text("nur lesen", 0, ro);
    F.Text("ende");
    F.Format();
    const std::string doc = Doc();
    Select({0, 2}, {2, 2}); // the delete-protected item lies wholly inside
    F.Edit.DeleteSelected();
    Select({3, 3}, {3, 5}); // part of text that may not change
    F.Edit.DeleteSelected();
    Select({3, 5}, {4, 4}); // part of a read-only paragraph
    F.Edit.DeleteSelected();
    EXPECT_EQ(Beeps, 3);
    EXPECT_EQ(Doc(), doc);
    // Text around a delete-protected item goes, the item stays; a read-only paragraph goes whole.
    Select({0, 2}, {1, 1});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Beeps, 3);
    Select({3, 5}, {5, 1});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Beeps, 3);
    EXPECT_EQ(Doc(), "[p0]\"a\" \"Feld\"" + S(locked) + " \"cd\" [p0]\"fest\"" + S(fixed) + " \"ende\"")
        << "the paragraph after the read-only one joins the paragraph before it";
}

TEST_F(InsertDeleteTest, PersistentCheckpointsOfDeletedItemsStayInTheDocument)
{
    F.Text("eins");
    F.Text("zwei");
    F.Data.SetCheckpoint(1, Persistent());
    F.Text("drei");
    F.Format();
    Select({0, 3}, {2, 2});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Doc(), R"([p0]"ei" @keep "rei")") << "handed to the item after the cut";
    // The checkpoint's own paragraph may not be joined to another.
    F.Edit.Undo();
    Select({0, 3}, {1, 2});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(F.Data.Count(), 3);
}

TEST_F(InsertDeleteTest, ItemsGoIntoTheTextAtTheCaretAndTheirParagraphs)
{
    F.Text("Haus");
    F.Text("");
    F.Format();
    const std::string before = Rvf();
    F.Edit.SetCaretDocPos({0, 3});
    auto tab = std::make_unique<TRVTabItemInfo>();
    EXPECT_TRUE(F.Edit.InsertItemAtCaret("", std::move(tab)));
    EXPECT_EQ(Doc(), R"([p0]"Ha" <-12> "us" [p0]"")") << "the text item is split at the caret";
    EXPECT_EQ(CaretPos(), "1:1");
    ExpectOneStep(before, Rvf());
    // A break starts a paragraph of its own, and the text after it another one.
    F.Edit.Undo();
    F.Edit.SetCaretDocPos({0, 3});
    EXPECT_TRUE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVBreakItemInfo>()));
    EXPECT_EQ(Doc(), R"([p0]"Ha" [p0]<-1> [p0]"us" [p0]"")");
    // An empty paragraph's empty item gives way to the new item.
    F.Edit.SetCaretDocPos({3, 1});
    EXPECT_TRUE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVTabItemInfo>()));
    EXPECT_EQ(Doc(), R"([p0]"Ha" [p0]<-1> [p0]"us" [p0]<-12>)");
    // A list marker starts its paragraph and takes the text after the caret along.
    TRVListInfo& list = F.Sheet.ListStyles.Add();
    list.Levels.Add().ListType = rvlstBullet;
    F.Edit.SetCaretDocPos({2, 2});
    EXPECT_TRUE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVMarkerItemInfo>(0, 0)));
    EXPECT_EQ(Doc(), R"([p0]"Ha" [p0]<-1> [p0]"u" [p0]<-11> "s" [p0]<-12>)");
}

TEST_F(InsertDeleteTest, InsertionIsRefusedWhereItemsStickTogetherOrTextMayNotChange)
{
    const int glued = F.AddTextStyle();
    F.Sheet.TextStyles[glued].Protection.Include(rvprSticking2);
    const int fixed = F.AddTextStyle();
    F.Sheet.TextStyles[fixed].Protection.Include(rvprModifyProtect);
    F.Text("a", glued);
    F.Text("b", glued, -1);
    F.Text("fest", fixed, -1);
    F.Format();
    const std::string doc = Doc();
    F.Edit.SetCaretDocPos({0, 2});
    EXPECT_FALSE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVTabItemInfo>()));
    F.Edit.SetCaretDocPos({2, 3});
    EXPECT_FALSE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVTabItemInfo>()));
    EXPECT_EQ(Beeps, 2);
    EXPECT_EQ(Doc(), doc);
    F.Edit.SetCaretDocPos({1, 2});
    EXPECT_TRUE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVTabItemInfo>())) << "between b and the other style";
}

TEST_F(InsertDeleteTest, AnInsertionRefusedAfterTheSelectionWentChangesNothingWhateverTheUndoLimit)
{
    // Once the selected "x" is gone the two glued items meet: nothing may go between them, and the
    // deletion is taken back, with the undo list or without it.
    const int glued = F.AddTextStyle();
    F.Sheet.TextStyles[glued].Protection.Include(rvprSticking3);
    const int alsoGlued = F.AddTextStyle();
    F.Sheet.TextStyles[alsoGlued].Protection.Include(rvprSticking3);
    F.Text("a", glued);
    F.Text("x", 0, -1);
    F.Text("b", alsoGlued, -1);
    F.Text("Ende");
    F.Format();
    F.Edit.EditorOptions.Include(rvoWantTabs);
    const std::string before = Rvf();
    for (const int limit : {-1, 0, 2}) {
        F.Edit.SetUndoLimit(limit);
        const TRVUndoType undoAction = F.Edit.UndoAction();
        Select({1, 1}, {1, 2});
        EXPECT_FALSE(F.Edit.InsertItemAtCaret("", std::make_unique<TRVTabItemInfo>())) << "limit " << limit;
        EXPECT_EQ(Rvf(), before) << "limit " << limit;
        Select({1, 1}, {1, 2});
        F.Edit.InsertWideTextAtCaret(u"neu\r\n");
        EXPECT_EQ(Rvf(), before) << "limit " << limit;
        Select({1, 1}, {1, 2});
        F.Edit.KeyDown(rvkTab, {});
        EXPECT_EQ(Rvf(), before) << "limit " << limit;
        EXPECT_EQ(F.Edit.UndoAction(), undoAction) << "limit " << limit << ": no step is left of a refused edit";
        F.ExpectLayoutFresh();
    }
    EXPECT_EQ(Beeps, 9);
    // The selection itself may still go.
    F.Edit.SetUndoLimit(0);
    Select({1, 1}, {1, 2});
    F.Edit.DeleteSelected();
    EXPECT_EQ(Doc(), "[p0]\"a\"" + S(glued) + " \"b\"" + S(alsoGlued) + " [p0]\"Ende\"");
}

TEST_F(InsertDeleteTest, TextWithLineBreaksTabsAndPageBreaksBecomesParagraphs)
{
    F.Sheet.SpacesInTab = 0;
    const int bold = F.AddTextStyle();
    F.Text("Anfang Ende");
    F.Format();
    F.Edit.SetCaretDocPos({0, 8});
    F.Edit.SetCurrentTextStyle(bold);
    const std::string before = Rvf();
    F.Edit.InsertWideTextAtCaret(u"eins\r\nzwei\tdrei\fvier\n");
    const std::string b = S(bold);
    EXPECT_EQ(Doc(), "[p0]\"Anfang \" \"eins\"" + b + " [p0]\"zwei\"" + b + " <-12> \"drei\"" + b + " [p0^]\"vier\"" + b +
                         " [p0]\"Ende\"");
    EXPECT_EQ(CaretPos(), "6:1") << "after the text: the start of the last paragraph's rest";
    EXPECT_EQ(F.Edit.CurrentTextStyle(), bold);
    EXPECT_EQ(F.Edit.UndoAction(), rvutInsert);
    ExpectOneStep(before, Rvf());
    // Spaces for tabs, and text that replaces a selection in the same step.
    F.Sheet.SpacesInTab = 2;
    F.Edit.Undo();
    F.Edit.SetCurrentTextStyle(0);
    Select({0, 1}, {0, 7});
    F.Edit.InsertWideTextAtCaret(u"\tx");
    EXPECT_EQ(Doc(), R"([p0]"  x Ende")");
    F.Edit.Undo();
    EXPECT_EQ(Rvf(), before) << "the replaced text comes back with one undo";
    // 8-bit text goes through the style's code page.
    F.Edit.SetCaretDocPos({0, 1});
    F.Edit.InsertTextAtCaret("\xC4");
    EXPECT_EQ(F.Data.TextAt(0), "\xC4"
                                "Anfang Ende");
}

TEST_F(InsertDeleteTest, DocumentsAreInsertedWithTheirStylesAndBadOnesChangeNothing)
{
    // The fragment: a bold word in a paragraph of its own style, written by another editor.
    EditFixture other;
    const int bold = other.AddTextStyle();
    other.Sheet.TextStyles[bold].Style.Include(fsBold);
    TParaInfo& centred = other.Sheet.ParaStyles.Add();
    centred.Alignment = rvaCenter;
    other.Text("Fett", bold);
    other.Text("Mitte", 0, 1);
    std::string fragment;
    ASSERT_TRUE(TRVFWriter(other.Sheet, RVFMainWindowOptions).WriteDocument(other.Data, nullptr, fragment));

    F.Text("Vorher nachher");
    F.Format();
    // The merged styles stay in the style sheet after Undo: compare the items.
    const std::string before = Doc();
    F.Edit.SetCaretDocPos({0, 8});
    ASSERT_TRUE(F.Edit.InsertDocumentFromStream(fragment));
    ASSERT_GE(F.Sheet.TextStyles.Count(), 2) << "the bold style joined the style sheet";
    ASSERT_EQ(F.Data.Count(), 3);
    EXPECT_EQ(F.Data.TextAt(1), "Fett");
    EXPECT_TRUE(F.Data.ItemAt(1).ContinuesPara());
    EXPECT_TRUE(F.Sheet.TextStyles[F.Data.StyleOf(1)].Style.Contains(fsBold));
    EXPECT_EQ(F.Data.TextAt(2), "Mittenachher") << "the rest of the line joins the last paragraph and its text";
    EXPECT_EQ(F.Sheet.ParaStyles[F.Data.ParaOf(2)].Alignment, rvaCenter);
    F.Edit.Undo();
    EXPECT_EQ(Doc(), before);
    const std::string sheet = Rvf();

    EXPECT_FALSE(F.Edit.InsertDocumentFromStream("kein RVF"));
    EXPECT_FALSE(F.Edit.InsertDocumentFromFile("/nonexistent/entry.rvf"));
    EXPECT_EQ(Rvf(), sheet);
    EXPECT_EQ(F.Edit.UndoAction(), rvutNone);
}

TEST_F(InsertDeleteTest, RtfIsInsertedAtTheCaretAsOneUndoableStep)
{
    F.Text("Vorher nachher");
    F.Format();
    const std::string before = Doc();
    F.Edit.SetCaretDocPos({0, 8});
    ASSERT_TRUE(F.Edit.InsertRtfFromStream("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\b Fett\\b0\\par\\qc Mitte}"));
    ASSERT_EQ(F.Data.Count(), 3) << Doc();
    EXPECT_EQ(F.Data.TextAt(1), "Fett");
    EXPECT_TRUE(F.Data.ItemAt(1).ContinuesPara());
    EXPECT_TRUE(F.Sheet.TextStyles[F.Data.StyleOf(1)].Style.Contains(fsBold));
    EXPECT_EQ(F.Data.TextAt(2), "Mittenachher");
    EXPECT_EQ(F.Sheet.ParaStyles[F.Data.ParaOf(2)].Alignment, rvaCenter);
    F.Edit.Undo();
    EXPECT_EQ(Doc(), before);

    EXPECT_FALSE(F.Edit.InsertRtfFromStream("{\\rtf1}"));
    EXPECT_FALSE(F.Edit.InsertRtfFromStream(""));
    EXPECT_EQ(F.Edit.RedoAction(), rvutInsert) << "nothing inserted: the redo of the first insertion stays";
}

TEST_F(InsertDeleteTest, FragmentsAreReadWithTheEditorsOptions)
{
    // An entry written elsewhere: text, a picture of a kind this editor does not know and an
    // embedded control between the words of one paragraph.
    const std::string fragment = "-8 1 3\r\n"
                                 "0 1 0 0 0 0\r\nVorne \r\n"
                                 "-3 3 -1 1 0 0 0\r\nBild\r\nTUnknownPicture\r\n00FF\r\n"
                                 "-5 3 -1 1 0 0 0\r\nKnopf\r\nTButton\r\n00\r\n"
                                 "0 1 -1 1 0 0\r\nhinten\r\n";
    F.Text("Text");
    F.Format();
    const std::string before = Rvf();
    F.Edit.SetCaretDocPos({0, 5});
    EXPECT_FALSE(F.Edit.InsertDocumentFromStream(fragment)) << "the engine's own options fail on them";
    EXPECT_EQ(Rvf(), before);

    F.Edit.RVFOptions = RVFMainWindowOptions;
    ASSERT_TRUE(F.Edit.InsertDocumentFromStream(fragment));
    EXPECT_EQ(Doc(), R"([p0]"TextVorne hinten")") << "the two items are left out, the text stays in order";
    ExpectOneStep(before, Rvf());
}

TEST_F(InsertDeleteTest, PageBreaksSplitTheParagraphAndGoAgainInOneStep)
{
    F.Text("Seite eins");
    F.Format();
    const std::string before = Rvf();
    F.Edit.SetCaretDocPos({0, 7});
    F.Edit.InsertPageBreakAtCaret();
    EXPECT_EQ(Doc(), R"([p0]"Seite " [p0^]"eins")");
    EXPECT_TRUE(F.Edit.PageBreakAtCaret());
    EXPECT_EQ(F.Edit.UndoAction(), rvutInsertPageBreak);
    const std::string broken = Rvf();
    ExpectOneStep(before, broken);
    F.Edit.RemovePageBreakAtCaret();
    EXPECT_EQ(Doc(), R"([p0]"Seite " [p0]"eins")");
    EXPECT_EQ(F.Edit.UndoAction(), rvutRemovePageBreak);
    F.Edit.Undo();
    EXPECT_EQ(Rvf(), broken);
    // At a paragraph start no split is needed.
    F.Edit.SetCaretDocPos({0, 1});
    F.Edit.InsertPageBreakAtCaret();
    EXPECT_EQ(Doc(), R"([p0^]"Seite " [p0^]"eins")");
}

TEST_F(InsertDeleteTest, TagsAndItemPropertiesChangeAsOneStep)
{
    F.Text("Text");
    F.Data.AppendItem("", std::make_unique<TRVBreakItemInfo>());
    F.Format();
    const std::string before = Rvf();
    F.Edit.ChangeItemTag(0, "neu");
    EXPECT_EQ(F.Data.TagOf(0), "neu");
    EXPECT_EQ(F.Edit.UndoAction(), rvutTag);
    F.Edit.ChangeItemTag(0, "neu");
    F.Edit.Undo();
    EXPECT_EQ(Rvf(), before) << "the same tag again records nothing";
    F.Edit.SetCaretDocPos({1, 1});
    EXPECT_FALSE(F.Edit.SetCurrentPictureInfo("x", nullptr, rvvaBaseline, {})) << "not a picture";
    EXPECT_FALSE(F.Edit.SetCurrentBulletInfo("x", 1, 2, {}));
    ASSERT_NE(F.Edit.GetCurrentItemOf<TRVBreakItemInfo>(), nullptr);
    EXPECT_EQ(F.Edit.GetCurrentItemOf<TRVGraphicItemInfo>(), nullptr);
    ASSERT_TRUE(F.Edit.SetCurrentBreakInfo(3, rvbsDashed, clRed, "t"));
    const auto& br = static_cast<const TRVBreakItemInfo&>(F.Data.ItemAt(1));
    EXPECT_EQ(br.Width, 3);
    EXPECT_EQ(br.Style, rvbsDashed);
    EXPECT_EQ(F.Edit.UndoAction(), rvutModifyItem);
    F.Edit.Undo();
    EXPECT_EQ(Rvf(), before);
}

TEST_F(InsertDeleteTest, UndoAndRedoKeys)
{
    F.Text("ab");
    F.Format();
    F.Edit.SetCaretDocPos({0, 3});
    F.Edit.KeyPress(u'c');
    EXPECT_TRUE(F.Edit.KeyDown(rvkZ, {ssCtrl}));
    EXPECT_EQ(F.Data.TextAt(0), "ab");
    EXPECT_TRUE(F.Edit.KeyDown(rvkBackspace, {ssAlt, ssShift}));
    EXPECT_EQ(F.Data.TextAt(0), "abc");
    EXPECT_TRUE(F.Edit.KeyDown(rvkBackspace, {ssAlt}));
    EXPECT_TRUE(F.Edit.KeyDown(rvkZ, {ssCtrl, ssShift}));
    EXPECT_EQ(F.Data.TextAt(0), "abc");
    F.Edit.ReadOnly = true;
    F.Edit.KeyDown(rvkZ, {ssCtrl});
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(F.Data.TextAt(0), "abc");
}

} // namespace
} // namespace xq::test

// Typing, Enter, Backspace and Delete as a user feels them, with the undo step of each.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"

namespace xq::test {
namespace {

class EditOpsTest : public ::testing::Test {
protected:
    EditOpsTest()
    {
        F.Edit.OnBeep = [this](TCustomDocViewEdit&) { ++Beeps; };
        F.Edit.OnChange = [this](TCustomDocViewEdit&) { ++Changes; };
    }
    void Type(const std::u16string& text)
    {
        for (char16_t ch : text)
            F.Edit.KeyPress(ch);
    }
    void At(int item, int offs) { F.Edit.SetCaretDocPos({item, offs}); }
    [[nodiscard]] std::string Doc() const { return DocDump(F.Data); }
    [[nodiscard]] std::string CaretPos() const { return PosText(F.Data.CaretDocPos()); }
    void UndoAll()
    {
        while (F.Edit.CanUndo())
            F.Edit.Undo();
    }
    int Bullets()
    {
        TRVListInfo& list = F.Sheet.ListStyles.Add();
        list.Levels.Add().ListType = rvlstBullet;
        return F.Sheet.ListStyles.Count() - 1;
    }
    void MarkerPara(int listNo, const std::string& text)
    {
        F.Data.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(listNo, 0));
        F.Data.AppendText(text, 0, -1);
    }

    EditFixture F{200, 100};
    int Beeps = 0;
    int Changes = 0;
};

TEST_F(EditOpsTest, TypingGoesIntoTheItemAndUndoTakesBackOneCharacterAtATime)
{
    F.Text("Haus");
    F.Format();
    At(0, 5);
    Type(u"boot");
    EXPECT_EQ(Doc(), R"([p0]"Hausboot")");
    EXPECT_EQ(CaretPos(), "0:9");
    EXPECT_EQ(F.Edit.UndoAction(), rvutTyping);
    EXPECT_EQ(Changes, 4);
    EXPECT_TRUE(F.Edit.Modified());
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"Hausboo")") << "only the last character";
    EXPECT_EQ(CaretPos(), "0:8");
    F.Edit.Undo();
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"Haus")");
    EXPECT_FALSE(F.Edit.CanUndo());
    EXPECT_TRUE(F.Edit.Modified()) << "undoing back to the start still counts as a change";
    F.Edit.Redo();
    F.Edit.Redo();
    EXPECT_EQ(Doc(), R"([p0]"Hausbo")");
    EXPECT_EQ(CaretPos(), "0:7");
    // A new edit after Undo drops what could be redone.
    Type(u"x");
    EXPECT_FALSE(F.Edit.CanRedo());
    EXPECT_EQ(Doc(), R"([p0]"Hausbox")");
}

TEST_F(EditOpsTest, UndoLimitAndUndoAfterOtherSteps)
{
    F.Text("ab");
    F.Format();
    F.Edit.SetUndoLimit(0);
    At(0, 3);
    Type(u"c");
    F.Key(rvkReturn);
    EXPECT_EQ(F.Edit.UndoAction(), rvutNone);
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"abc" [p0]"")");
    F.Edit.SetUndoLimit(3);
    for (int i = 0; i < 5; ++i)
        F.Key(rvkReturn);
    int steps = 0;
    while (F.Edit.CanUndo()) {
        F.Edit.Undo();
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(F.Data.Count(), 4) << "two Enters stay";
    // The words of what Undo brought back are checked again.
    F.Edit.SetUndoLimit(-1);
    At(0, 4);
    F.Key(rvkBackspace);
    F.Data.ItemAt(0).State = 1;
    F.Edit.Undo();
    EXPECT_EQ(Doc().substr(0, 10), R"([p0]"abc" )");
    EXPECT_EQ(F.Data.ItemAt(0).State & 1, 0);
}

TEST_F(EditOpsTest, TypingAfterMovingTheCaretIsAStepOfItsOwn)
{
    F.Text("ab");
    F.Format();
    At(0, 3);
    Type(u"abc");
    At(0, 1);
    Type(u"d");
    EXPECT_EQ(Doc(), R"([p0]"dababc")");
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"ababc")");
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"abab")");
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"ab")");
}

TEST_F(EditOpsTest, TypingInAnotherStyleMakesANewItemAtTheCaret)
{
    const int bold = F.AddTextStyle();
    F.Text("abcd");
    F.Format();
    At(0, 3);
    F.Edit.SetCurrentTextStyle(bold);
    Type(u"X");
    EXPECT_EQ(Doc(), R"([p0]"ab" "X"s6 "cd")") << "the item is split at the caret";
    EXPECT_EQ(F.Edit.UndoAction(), rvutInsert);
    Type(u"Y");
    EXPECT_EQ(Doc(), R"([p0]"ab" "XY"s6 "cd")");
    // At the boundary the style decides: normal text continues the item after.
    F.Edit.SetCurrentTextStyle(0);
    Type(u"c");
    EXPECT_EQ(Doc(), R"([p0]"ab" "XY"s6 "ccd")");
    UndoAll();
    EXPECT_EQ(Doc(), R"([p0]"abcd")");
}

TEST_F(EditOpsTest, AnItemTextEditHandlerCanRetagTheItem)
{
    const int other = F.AddTextStyle();
    F.Text("ab");
    F.Format();
    std::string seen;
    F.Edit.OnItemTextEdit = [&](TCustomDocViewEdit&, const std::string& oldText, TCustomRVData&, int itemNo,
                                std::string& newTag, int& newStyleNo) {
        seen += oldText + "@" + std::to_string(itemNo) + " ";
        if (oldText.size() == 3) {
            newTag = "geändert";
            newStyleNo = other;
        }
    };
    At(0, 3);
    Type(u"cd");
    EXPECT_EQ(seen, "ab@0 abc@0 ");
    EXPECT_EQ(Doc(), R"([p0]"abcd"s6{geändert})");
    EXPECT_EQ(F.Edit.UndoAction(), rvutInsert) << "a text change, not typing";
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"abc")") << "tag, style and text in one step";
    F.Edit.Redo();
    EXPECT_EQ(Doc(), R"([p0]"abcd"s6{geändert})");
}

TEST_F(EditOpsTest, ProtectedTextRefusesOrGetsNewItems)
{
    const int fixed = F.AddTextStyle();
    F.Sheet.TextStyles[fixed].Protection.Include(rvprModifyProtect);
    const int whole = F.AddTextStyle();
    F.Sheet.TextStyles[whole].Protection.Include(rvprConcateProtect);
    F.Text("fest", fixed);
    F.Text("ganz", whole);
    F.Format();
    At(0, 3);
    F.Edit.SetCurrentTextStyle(fixed);
    Type(u"x");
    EXPECT_EQ(Beeps, 1) << "inside modify-protected text";
    At(0, 5);
    F.Edit.SetCurrentTextStyle(fixed);
    Type(u"x");
    EXPECT_EQ(Doc(), R"([p0]"fest"s6 "x" [p0]"ganz"s7)") << "a new item, in style 0 instead";
    At(2, 5);
    F.Edit.SetCurrentTextStyle(whole);
    Type(u"y");
    EXPECT_EQ(Doc(), R"([p0]"fest"s6 "x" [p0]"ganz"s7 "y"s7)") << "concatenation-protected text is not extended";
    F.Key(rvkBackspace);
    At(0, 5);
    F.Key(rvkBackspace);
    EXPECT_EQ(Beeps, 2) << "no characters leave modify-protected text";
    F.Edit.ReadOnly = true;
    Type(u"z");
    F.Edit.Undo();
    EXPECT_EQ(Beeps, 4);
    F.Edit.ReadOnly = false;
    F.Edit.OnChanging = [](TCustomDocViewEdit&, bool& canEdit) { canEdit = false; };
    Type(u"z");
    EXPECT_EQ(Beeps, 5);
    EXPECT_EQ(Doc(), R"([p0]"fest"s6 "x" [p0]"ganz"s7)");
}

TEST_F(EditOpsTest, EnterSplitsAndShiftEnterBreaksTheLine)
{
    const int next = F.AddTextStyle();
    F.Sheet.TextStyles[0].NextStyleNo = next;
    F.Text("abcd");
    F.Format();
    At(0, 3);
    F.Key(rvkReturn);
    EXPECT_EQ(Doc(), R"([p0]"ab" [p0]"cd")");
    EXPECT_EQ(CaretPos(), "1:1");
    EXPECT_EQ(F.Edit.UndoAction(), rvutNewLine);
    F.Key(rvkReturn, {ssShift});
    EXPECT_EQ(Doc(), R"([p0]"ab" [p0]"" /"cd")") << "at a line start the break goes before the item";
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"abcd")");
    EXPECT_EQ(CaretPos(), "0:3");
    F.Edit.Redo();
    EXPECT_EQ(Doc(), R"([p0]"ab" [p0]"cd")");
    // At the end of a paragraph the next style of the text style takes over.
    At(1, 3);
    F.Key(rvkReturn);
    EXPECT_EQ(F.Edit.CurrentTextStyle(), next);
    Type(u"n");
    EXPECT_EQ(Doc(), R"([p0]"ab" [p0]"cd" [p0]"n"s6)");
}

TEST_F(EditOpsTest, EnterInReadOnlyAndEmptyListParagraphs)
{
    TParaInfo& fixed = F.Sheet.ParaStyles.Add();
    fixed.Options.Include(rvpaoReadOnly);
    fixed.NextParaNo = 1;
    const int readOnly = F.Sheet.ParaStyles.Count() - 1;
    F.Text("fest", 0, readOnly);
    const int list = Bullets();
    MarkerPara(list, "");
    F.Format();
    At(0, 3);
    F.Key(rvkReturn);
    EXPECT_EQ(Beeps, 1) << "not in the middle of a read-only paragraph";
    At(0, 5);
    F.Key(rvkReturn);
    EXPECT_EQ(Doc(), R"([p2]"fest" [p1]"" [p0]<-11> "")") << "after it, in its next paragraph style";
    // Enter in an empty bulleted paragraph: the bullet goes, then a new paragraph follows.
    At(3, 1);
    F.Key(rvkReturn);
    EXPECT_EQ(Doc(), R"([p2]"fest" [p1]"" [p0]"" [p0]"")");
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p2]"fest" [p1]"" [p0]<-11> "")") << "one step";
}

TEST_F(EditOpsTest, BackspaceRemovesCharactersWordsAndWholeItems)
{
    F.Text("Das Haus  steht. Hier");
    F.Format();
    At(0, 11);
    F.Key(rvkBackspace, {ssCtrl});
    EXPECT_EQ(Doc(), R"([p0]"Das steht. Hier")") << "the word with both spaces after it";
    At(0, 11);
    F.Key(rvkBackspace, {ssCtrl});
    EXPECT_EQ(Doc(), R"([p0]"Das steht Hier")") << "a full stop goes alone";
    At(0, 10);
    F.Key(rvkDelete, {ssCtrl});
    EXPECT_EQ(Doc(), R"([p0]"Das stehtHier")") << "Ctrl+Delete takes one character";
    UndoAll();
    EXPECT_EQ(Doc(), R"([p0]"Das Haus  steht. Hier")");
}

TEST_F(EditOpsTest, SurrogatePairsGoWhole)
{
    const int uni = F.AddTextStyle();
    F.Sheet.TextStyles[uni].Unicode = true;
    F.Data.AppendTextW(u"a\U0001F600b\U0001F600", uni, 0);
    F.Format();
    At(0, 4);
    F.Key(rvkBackspace);
    EXPECT_EQ(F.Data.ItemLength(0), 4);
    EXPECT_EQ(CaretPos(), "0:2");
    F.Key(rvkRight);
    F.Key(rvkDelete);
    EXPECT_EQ(F.Data.TextAt(0), std::string("a\0b\0", 4));
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(F.Data.ItemLength(0), 6);
    // Typed as two halves, taken back and redone as one character.
    At(0, 7);
    Type(u"\U0001F600x");
    EXPECT_EQ(CaretPos(), "0:10");
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(F.Data.ItemLength(0), 6);
    EXPECT_FALSE(F.Edit.CanUndo() && F.Edit.UndoAction() == rvutTyping);
    F.Edit.Redo();
    EXPECT_EQ(F.Data.ItemLength(0), 8);
    EXPECT_EQ(CaretPos(), "0:9");
}

TEST_F(EditOpsTest, BackspaceAtParagraphStarts)
{
    const int list = Bullets();
    F.Text("eins");
    MarkerPara(list, "zwei");
    F.Text("drei");
    F.Data.ItemAt(3).SetNewPageBefore(true);
    F.Format();
    // A page break goes alone, the paragraphs stay apart.
    At(3, 1);
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"eins" [p0]<-11> "zwei" [p0]"drei")");
    EXPECT_EQ(F.Edit.UndoAction(), rvutRemovePageBreak);
    // Directly after the marker: the paragraph leaves the list, then joins.
    At(2, 1);
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"eins" [p0]"zwei" [p0]"drei")");
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"einszwei" [p0]"drei")");
    EXPECT_EQ(CaretPos(), "0:5");
    UndoAll();
    EXPECT_EQ(Doc(), R"([p0]"eins" [p0]<-11> "zwei" [p0^]"drei")");
}

TEST_F(EditOpsTest, JoiningMergesOnlyItemsThatMatch)
{
    F.Text("ab");
    F.Text("cd");
    F.Data.AppendText("ef", 0, 0, "tag");
    F.Format();
    At(1, 1);
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"abcd" [p0]"ef"{tag})");
    At(0, 5);
    F.Key(rvkDelete);
    EXPECT_EQ(Doc(), R"([p0]"abcd" "ef"{tag})") << "a different tag keeps the items apart";
    UndoAll();
    EXPECT_EQ(Doc(), R"([p0]"ab" [p0]"cd" [p0]"ef"{tag})");
}

TEST_F(EditOpsTest, FullLineItemsAreStepsBeforeTheyGo)
{
    F.Text("oben");
    F.Data.AppendItem({}, std::make_unique<TRVBreakItemInfo>());
    F.Text("unten");
    F.Format();
    At(2, 1);
    F.Key(rvkBackspace);
    EXPECT_EQ(CaretPos(), "1:1") << "only onto the stop after the break";
    EXPECT_EQ(F.Edit.UndoAction(), rvutNone);
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"oben" [p0]"" [p0]"unten")") << "an empty paragraph in its place";
    F.Edit.Undo();
    At(0, 5);
    F.Key(rvkDelete);
    EXPECT_EQ(CaretPos(), "1:0") << "Delete before a break moves onto it";
    F.Key(rvkDelete);
    EXPECT_EQ(Doc(), R"([p0]"oben" [p0]"" [p0]"unten")");
}

TEST_F(EditOpsTest, KeysThatEditAreHandledUnlessTheEditorDoesNotWantThem)
{
    TParaInfo& fixed = F.Sheet.ParaStyles.Add();
    fixed.Options.Include(rvpaoReadOnly);
    F.Text("ab");
    F.Text("fest", 0, F.Sheet.ParaStyles.Count() - 1);
    F.Format();
    At(0, 2);
    const std::string before = Doc();
    EXPECT_FALSE(F.Edit.KeyPress(u'\r')) << "control codes are no characters";
    // An editor that wants no returns swallows Enter, and the carriage return it types beeps.
    F.Edit.EditorOptions.Include(rvoDoNotWantReturns);
    EXPECT_TRUE(F.Edit.KeyDown(rvkReturn, {}));
    EXPECT_EQ(Beeps, 0);
    EXPECT_TRUE(F.Edit.KeyPress(u'\r'));
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(Doc(), before);
    EXPECT_FALSE(F.Edit.CanUndo());
    EXPECT_TRUE(F.Edit.KeyDown(rvkReturn, {ssShift}));
    EXPECT_EQ(Doc(), R"([p0]"a" /"b" [p2]"fest")");
    EXPECT_TRUE(F.Edit.KeyDown(rvkBackspace, {}));
    EXPECT_EQ(Doc(), R"([p0]"ab" [p2]"fest")") << "the line break goes";
    EXPECT_FALSE(F.Edit.KeyPress(u'\x01')) << "control codes are no characters";
    // A read-only paragraph takes no Shift+Enter, Backspace or Delete.
    At(1, 3);
    for (TShiftState shift : {TShiftState{ssShift}}) {
        F.Edit.KeyDown(rvkReturn, shift);
        F.Key(rvkBackspace);
        F.Key(rvkDelete);
    }
    EXPECT_EQ(Beeps, 4);
    // Over a selection that ends in the read-only paragraph, typing and deleting are refused.
    F.Edit.SelectAll();
    EXPECT_TRUE(F.Edit.KeyDown(rvkDelete, {}));
    EXPECT_TRUE(F.Edit.KeyPress(u'x'));
    EXPECT_EQ(Beeps, 6);
    EXPECT_EQ(Doc(), R"([p0]"ab" [p2]"fest")");
}

TEST_F(EditOpsTest, DeleteJoinsListParagraphsAndRemovesEmptyOnes)
{
    const int list = Bullets();
    F.Text("eins");
    MarkerPara(list, "zwei");
    MarkerPara(list, "");
    F.Text("vier");
    F.Format();
    At(0, 5);
    F.Key(rvkDelete);
    EXPECT_EQ(Doc(), R"([p0]"einszwei" [p0]<-11> "" [p0]"vier")") << "the marker goes, the text joins";
    At(2, 1);
    F.Key(rvkDelete);
    EXPECT_EQ(Doc(), R"([p0]"einszwei" [p0]"vier")") << "an empty list paragraph goes with its marker";
    EXPECT_EQ(CaretPos(), "1:1");
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(Doc(), R"([p0]"eins" [p0]<-11> "zwei" [p0]<-11> "" [p0]"vier")");
}

TEST_F(EditOpsTest, DeleteAtTheEndOfTheDocument)
{
    F.Text("ende");
    F.Format();
    At(0, 5);
    F.Key(rvkDelete);
    EXPECT_EQ(Changes, 0);
    F.Key(rvkReturn);
    EXPECT_EQ(Doc(), R"([p0]"ende" [p0]"")");
    F.Key(rvkDelete);
    EXPECT_EQ(Doc(), R"([p0]"ende")") << "an empty last paragraph goes";
    EXPECT_EQ(CaretPos(), "0:5");
}

TEST_F(EditOpsTest, ProtectionsOfParagraphStartsDeletionAndCheckpoints)
{
    const int start = F.AddTextStyle();
    F.Sheet.TextStyles[start].Protection.Include(rvprParaStartProtect);
    const int keep = F.AddTextStyle();
    F.Sheet.TextStyles[keep].Protection.Include(rvprDeleteProtect);
    F.Text("a");
    F.Text("Anfang", start);
    F.Text("b");
    F.Text("k", keep, -1);
    F.Text("c");
    F.Format();
    At(1, 1);
    F.Key(rvkBackspace);
    EXPECT_EQ(Beeps, 1) << "a protected paragraph start stays";
    At(1, 1);
    F.Key(rvkReturn);
    EXPECT_EQ(Beeps, 2);
    At(3, 2);
    F.Key(rvkBackspace);
    EXPECT_EQ(Beeps, 3) << "a delete-protected item stays";
    // A persistent checkpoint moves on with its item's deletion.
    auto cp = std::make_unique<TRVCPInfo>();
    cp->Name = "hier";
    cp->Persistent = true;
    F.Data.SetCheckpoint(4, std::move(cp));
    At(4, 1);
    F.Key(rvkBackspace);
    EXPECT_EQ(Beeps, 4) << "its paragraph is never joined";
    At(2, 2);
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"a" [p0]"Anfang"s6 [p0]"k"s7 @hier [p0]"c")") << "the next item starts the paragraph";
    At(2, 2);
    F.Key(rvkBackspace);
    EXPECT_EQ(Beeps, 5);
    At(3, 2);
    F.Key(rvkBackspace);
    EXPECT_EQ(Doc(), R"([p0]"a" [p0]"Anfang"s6 [p0]"k"s7 @hier [p0]"")") << "the emptied paragraph keeps the checkpoint";
    EXPECT_EQ(Beeps, 5);
    UndoAll();
    EXPECT_EQ(Doc(), R"([p0]"a" [p0]"Anfang"s6 [p0]"b" "k"s7 @hier [p0]"c")");
}

} // namespace
} // namespace xq::test

// Lists applied to and removed from the selected paragraphs: markers put at paragraph starts,
// what a replaced marker hands on, the paragraphs left alone, and the numbers that follow.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"

namespace xq::test {
namespace {

class ListApplicationTest : public ::testing::Test {
protected:
    ListApplicationTest()
    {
        F.Edit.OnBeep = [this](TCustomDocViewEdit&) { ++Beeps; };
        TRVListInfo& numbers = F.Sheet.ListStyles.Add();
        TRVListLevel& level = numbers.Levels.Add();
        level.ListType = rvlstDecimal;
        level.FormatString = "%0:s.";
        // No indents: the marker is as wide as its text, so a new number moves the text.
        level.FirstIndent = level.LeftIndent = level.MarkerIndent = 0;
        Numbers = F.Sheet.ListStyles.Count() - 1;
        TRVListInfo& bullets = F.Sheet.ListStyles.Add();
        for (int k = 0; k < 3; ++k)
            bullets.Levels.Add().ListType = rvlstBullet;
        Bullets = F.Sheet.ListStyles.Count() - 1;
    }
    [[nodiscard]] std::string Doc() const { return DocDump(F.Data); }
    [[nodiscard]] TRVMarkerItemInfo& Marker(int itemNo) const
    {
        return dynamic_cast<TRVMarkerItemInfo&>(F.Data.ItemAt(itemNo));
    }
    /// The display texts of the markers in document order.
    [[nodiscard]] std::string Numbering() const
    {
        std::string out;
        for (const TRVMarkerItemInfo* marker : F.Data.Markers())
            out += (out.empty() ? "" : " ") + marker->DisplayText;
        return out;
    }
    void MarkerPara(int listNo, const std::string& text, int level = 0, int startFrom = 1, bool reset = false)
    {
        F.Data.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(listNo, level, startFrom, reset));
        F.Data.AppendText(text, 0, -1);
    }

    EditFixture F{300, 100};
    int Numbers = 0;
    int Bullets = 0;
    int Beeps = 0;
};

TEST_F(ListApplicationTest, ThreeParagraphsBecomeANumberedListAndLeaveIt)
{
    for (const char* text : {"eins", "zwei", "drei", "vier"})
        F.Text(text);
    F.Data.ItemAt(2).SetNewPageBefore(true);
    F.Format();
    const std::string original = F.Rvf();
    F.Edit.SetSelection({0, 2}, {2, 2});
    F.Edit.ApplyList(Numbers, 0, 1, false);
    EXPECT_EQ(Doc(), R"([p0]<-11> "eins" [p0]<-11> "zwei" [p0^]<-11> "drei" [p0]"vier")")
        << "the marker takes over the page break of the paragraph start";
    EXPECT_EQ(Numbering(), "1. 2. 3.");
    EXPECT_EQ(F.SelectedText(), "ins/zwei/d");
    EXPECT_EQ(F.Data.UndoList.JoinDepth, 0) << "group mode ends with the operation";
    F.ExpectOneStep(original, rvutList);

    // Taken out again from the middle one on: the paragraphs stay, the numbers close up.
    const std::string listed = F.Rvf();
    F.Edit.SetSelection({6, 5}, {3, 3});
    F.Edit.RemoveLists();
    EXPECT_EQ(Doc(), R"([p0]<-11> "eins" [p0]"zwei" [p0^]"drei" [p0]"vier")");
    EXPECT_EQ(Numbering(), "1.");
    EXPECT_EQ(F.SelectedText(), "ei/drei/vier");
    EXPECT_EQ(F.Selection(), "4:5-2:3") << "backwards as it was made";
    F.ExpectOneStep(listed, rvutList);
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), original);
}

TEST_F(ListApplicationTest, NumbersAfterTheNewMarkerFollowAndTheirLinesAreLaidOutAgain)
{
    MarkerPara(Numbers, "acht", 0, 8, true);
    F.Text("neun");
    F.Text("Pause");
    MarkerPara(Numbers, "zehn");
    MarkerPara(Numbers, "elf");
    F.Format();
    EXPECT_EQ(Numbering(), "8. 9. 10.");
    const std::string original = F.Rvf();
    // The paragraph two after the new marker, out of the lines laid out around it, moves too.
    F.Edit.SetCaretDocPos({2, 3});
    F.Edit.ApplyList(Numbers, 0, 1, false);
    EXPECT_EQ(Numbering(), "8. 9. 10. 11.");
    EXPECT_EQ(F.Edit.CaretDocPos(), (TRVDocPos{3, 3})) << "the caret stays in its text";
    F.ExpectOneStep(original, rvutList);
    F.Edit.Undo();
    EXPECT_EQ(Numbering(), "8. 9. 10.");
    F.ExpectLayoutFresh();
}

TEST_F(ListApplicationTest, AReplacedMarkerHandsOnItsLevelTagProtectionAndCheckpoint)
{
    MarkerPara(Bullets, "tief", 2);
    F.Text("flach");
    Marker(0).Tag = "t";
    Marker(0).DeleteProtect = true;
    auto cp = std::make_unique<TRVCPInfo>();
    cp->Name = "hier";
    F.Data.SetCheckpoint(0, std::move(cp));
    F.Format();
    const std::string original = F.Rvf();
    F.Edit.SelectAll();
    F.Edit.ApplyList(Numbers, -1, 1, false);
    EXPECT_EQ(Doc(), R"(@hier [p0]<-11>{t} "tief" [p0]<-11> "flach")");
    EXPECT_EQ(Marker(0).Level, 2) << "a negative level keeps the old marker's";
    EXPECT_TRUE(Marker(0).DeleteProtect);
    EXPECT_EQ(Marker(2).Level, 0) << "no old marker: the outer level";
    EXPECT_FALSE(Marker(2).DeleteProtect);
    EXPECT_EQ(F.SelectedText(), "tief/flach");
    F.ExpectOneStep(original, rvutList);

    // The same list again changes nothing and records nothing.
    const std::string listed = F.Rvf();
    const int steps = F.Data.UndoList.Count();
    F.Edit.SelectAll();
    F.Edit.ApplyList(Numbers, -1, 1, false);
    EXPECT_EQ(F.Rvf(), listed);
    EXPECT_EQ(F.Data.UndoList.Count(), steps);

    // A marker that cannot be deleted stays in its list.
    F.Edit.RemoveLists();
    EXPECT_EQ(Doc(), R"(@hier [p0]<-11>{t} "tief" [p0]"flach")");
    EXPECT_EQ(Beeps, 0);
}

TEST_F(ListApplicationTest, LinesTablesAndReadOnlyParagraphsGetNoMarkerAndOnlyTheFirstRestarts)
{
    F.Sheet.ParaStyles.Add().Options.Include(rvpaoReadOnly);
    const int readOnly = F.Sheet.ParaStyles.Count() - 1;
    F.Text("eins");
    auto line = std::make_unique<TRVBreakItemInfo>();
    F.Data.AppendItem("", std::move(line));
    F.Text("fest", 0, readOnly);
    F.Text("zwei");
    F.Text("drei");
    F.Format();
    const std::string original = F.Rvf();
    F.Edit.SelectAll();
    F.Edit.ApplyList(Numbers, 0, 5, true);
    EXPECT_EQ(Doc(), "[p0]<-11> \"eins\" [p0]<-1> [p" + std::to_string(readOnly) +
                         R"(]"fest" [p0]<-11> "zwei" [p0]<-11> "drei")");
    EXPECT_EQ(Numbering(), "5. 6. 7.");
    EXPECT_TRUE(Marker(0).Reset);
    EXPECT_FALSE(Marker(4).Reset || Marker(6).Reset);
    F.ExpectOneStep(original, rvutList);

    // Nothing may change in a read-only editor.
    F.Edit.ReadOnly = true;
    F.Edit.RemoveLists();
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(Numbering(), "5. 6. 7.");
}

} // namespace
} // namespace xq::test

// The undo list on its own: groups, the limit, group mode, typing that joins, and misuse.
#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "editing/Undo.h"
#include "platform/DocViewError.h"
#include "support/DocDump.h"

namespace xq::test {
namespace {

class UndoListTest : public ::testing::Test {
protected:
    UndoListTest() { Doc.AppendText("abc", 0, 0); }

    /// Records a change of item 0's text as its own group.
    void ChangeText(const std::string& text)
    {
        ASSERT_TRUE(Undo.BeginUndoGroup(rvutInsert, {}, 0, 1));
        Undo.AddInfo(std::make_unique<TRVUndoChangeTextInfo>(0, Doc.TextAt(0)));
        Doc.SetText(0, text);
    }

    int caretItem = -1, caretOffs = 0;
    void UndoOnce() { Undo.Execute(Redo, 0, 1, caretItem, caretOffs); }
    void RedoOnce() { Redo.Execute(Undo, 0, 1, caretItem, caretOffs); }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVUndoList Undo{Doc};
    TRVRedoList Redo{Doc};
};

TEST_F(UndoListTest, MisuseRaisesTheEngineErrors)
{
    try {
        Undo.AddInfo(std::make_unique<TRVUndoTagInfo>(0, ""));
        FAIL() << "no group";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Can't modify empty undo list");
    }
    Undo.AddTypedChar(0, 4, false, 0, 4);
    try {
        Undo.AddInfo(std::make_unique<TRVUndoTagInfo>(0, ""));
        FAIL() << "a typing group takes no other record";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Incorrect adding into undo list");
    }
    TRVUndoList empty(Doc);
    try {
        empty.Execute(Redo, 0, 1, caretItem, caretOffs);
        FAIL() << "nothing to undo";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Undo buffer is empty");
    }
}

TEST_F(UndoListTest, LimitsZeroRecordsNothingAndNKeepsTheLastN)
{
    Undo.MaxGroups = 0;
    EXPECT_FALSE(Undo.BeginUndoGroup(rvutDelete, {}, 0, 1));
    Undo.AddInfo(std::make_unique<TRVUndoTagInfo>(0, "")); // silently ignored
    Undo.AddTypedChar(0, 1, false, 0, 1);
    EXPECT_EQ(Undo.CurrentUndoType(), rvutNone);
    EXPECT_EQ(Undo.Count(), 0);

    Undo.MaxGroups = 3;
    for (const char* text : {"1", "2", "3", "4", "5"})
        ChangeText(text);
    EXPECT_EQ(Undo.Count(), 3);
    UndoOnce();
    UndoOnce();
    UndoOnce();
    EXPECT_EQ(Doc.TextAt(0), "2") << "the two oldest steps are gone";
    EXPECT_TRUE(Undo.Empty());
    EXPECT_EQ(Redo.Count(), 3);
    RedoOnce();
    EXPECT_EQ(Doc.TextAt(0), "3");
}

TEST_F(UndoListTest, GroupModeJoinsOperationsButNeverATypingGroup)
{
    Undo.SetGroupMode(true);
    ChangeText("x");
    ChangeText("y");
    EXPECT_EQ(Undo.Count(), 1);
    Undo.SetGroupMode(false);
    Undo.AddTypedChar(0, 2, false, 0, 2);
    Undo.SetGroupMode(true);
    ChangeText("z");
    EXPECT_EQ(Undo.Count(), 3) << "a typing group is never joined";
    Undo.SetGroupMode(false);
    Undo.Clear();
    Doc.SetText(0, "abc");

    // A group that recorded nothing gives its caret and caption to the next one.
    ASSERT_TRUE(Undo.BeginUndoGroup(rvutDelete, "Eigener Schritt", 0, 3));
    ASSERT_TRUE(Undo.BeginUndoGroup(rvutPara, {}, 0, 1));
    ASSERT_EQ(Undo.Count(), 1);
    EXPECT_EQ(Undo.LastGroup()->StepKind, rvutPara);
    EXPECT_EQ(Undo.LastGroup()->StepTitle, "Eigener Schritt");
    EXPECT_EQ(Undo.LastGroup()->CaretOffs, 3);
}

TEST_F(UndoListTest, TypingJoinsAtConsecutivePlacesAndGoesBackOneCharacterAtATime)
{
    // "abc" + "de" typed at its end, then "X" typed elsewhere.
    Doc.SetText(0, "abcde");
    Undo.AddTypedChar(0, 4, false, 0, 4);
    Undo.AddTypedChar(0, 5, false, 0, 5);
    EXPECT_EQ(Undo.Count(), 1);
    Doc.SetText(0, "Xabcde");
    Undo.AddTypedChar(0, 1, false, 0, 1);
    EXPECT_EQ(Undo.Count(), 2) << "a character typed elsewhere starts a new step";
    EXPECT_EQ(Undo.CurrentUndoType(), rvutTyping);

    UndoOnce();
    EXPECT_EQ(Doc.TextAt(0), "abcde");
    UndoOnce();
    EXPECT_EQ(Doc.TextAt(0), "abcd");
    EXPECT_EQ(caretOffs, 5);
    EXPECT_EQ(Undo.Count(), 1) << "the run stays while characters are left";
    UndoOnce();
    EXPECT_EQ(Doc.TextAt(0), "abc");
    EXPECT_TRUE(Undo.Empty());
    // The two removed characters of one run join one redo record.
    EXPECT_EQ(Redo.Count(), 2);
    RedoOnce();
    EXPECT_EQ(Doc.TextAt(0), "abcd");
    EXPECT_EQ(caretOffs, 5);
    RedoOnce();
    EXPECT_EQ(Doc.TextAt(0), "abcde");
    EXPECT_EQ(Undo.Count(), 1) << "redone characters join one typing step again";
    RedoOnce();
    EXPECT_EQ(Doc.TextAt(0), "Xabcde");
    EXPECT_TRUE(Redo.Empty());
}

TEST_F(UndoListTest, AffectedRangeCoversEveryRecordInTodaysNumbering)
{
    Doc.AppendText("d", 0, 0);
    Doc.AppendText("e", 0, 0);
    ASSERT_TRUE(Undo.BeginUndoGroup(rvutInsert, {}, 0, 1));
    Doc.InsertItemAt(1, "n", std::make_unique<TRVTextItemInfo>(0));
    Undo.AddInfo(std::make_unique<TRVUndoInsertItemInfo>(1));
    Doc.InsertItemAt(1, "m", std::make_unique<TRVTextItemInfo>(0));
    Undo.AddInfo(std::make_unique<TRVUndoInsertItemInfo>(1));
    const TRVUndoRange range = Undo.LastGroup()->AffectedRange(Doc.Count());
    EXPECT_EQ(range.First, 1);
    EXPECT_EQ(range.Last, 3) << "both inserted items, whatever moved them";
    EXPECT_EQ(range.ItemDelta, -2);
    UndoOnce();
    EXPECT_EQ(DocDump(Doc), R"([p0]"abc" [p0]"d" [p0]"e")");
    RedoOnce();
    EXPECT_EQ(DocDump(Doc), R"([p0]"abc" [p0]"m" [p0]"n" [p0]"d" [p0]"e")");
}


// A log of one edit step is handed over as if its records had been made in the list.
TEST_F(UndoListTest, AppendedTypingJoinsTheRunBeforeItAsTypingThereWould)
{
    // What typing "d" and "e" after "abc" leaves in a list when typed into it directly.
    TRVUndoList direct(Doc);
    direct.AddTypedChar(0, 4, false, 0, 4);
    direct.AddTypedChar(0, 5, false, 0, 5);
    // The same, typed into two logs one after the other and handed over.
    for (int position : {4, 5}) {
        TRVUndoList log(Doc);
        log.AddTypedChar(0, position, false, 0, position);
        Undo.Append(log, TRVGroupJoin::AsRecorded);
        EXPECT_TRUE(log.Empty());
    }
    ASSERT_EQ(Undo.Count(), 1) << "the second character joins the run";
    EXPECT_EQ(Undo.LastGroup()->CaretOffs, direct.LastGroup()->CaretOffs);
    EXPECT_EQ(static_cast<TRVUndoTypingInfo&>(*Undo.LastGroup()->Records.front()).Length, 2);
    // A character typed elsewhere opens a group of its own, with the caret it was typed at.
    TRVUndoList log(Doc);
    log.AddTypedChar(0, 1, false, 0, 1);
    log.AddTypedChar(0, 2, false, 0, 1); // the second half of a pair: same caret
    Undo.Append(log, TRVGroupJoin::AsRecorded);
    ASSERT_EQ(Undo.Count(), 2);
    EXPECT_EQ(Undo.LastGroup()->CaretOffs, 2);
    EXPECT_EQ(static_cast<TRVUndoTypingInfo&>(*Undo.LastGroup()->Records.front()).Length, 2);
}

TEST_F(UndoListTest, AppendedGroupsFollowGroupModeTheLimitAndOwnGroups)
{
    const auto logWithTag = [this](const char* tag) {
        auto log = std::make_unique<TRVUndoList>(Doc);
        log->BeginUndoGroup(rvutTag, "Marke", 0, 1);
        log->AddInfo(std::make_unique<TRVUndoTagInfo>(0, tag));
        return log;
    };
    Undo.SetGroupMode(true);
    ASSERT_TRUE(Undo.BeginUndoGroup(rvutDelete, "Schritt", 0, 2));
    Undo.Append(*logWithTag("x"), TRVGroupJoin::AsRecorded);
    Undo.Append(*logWithTag("y"), TRVGroupJoin::AsRecorded);
    ASSERT_EQ(Undo.Count(), 1) << "in group mode the records join the open group";
    EXPECT_EQ(Undo.LastGroup()->StepKind, rvutDelete) << "which keeps its kind, caption and caret";
    EXPECT_EQ(Undo.LastGroup()->StepTitle, "Schritt");
    EXPECT_EQ(Undo.LastGroup()->CaretOffs, 2);
    EXPECT_EQ(Undo.LastGroup()->Records.size(), 2u);
    Undo.Append(*logWithTag("z"), TRVGroupJoin::Own);
    EXPECT_EQ(Undo.Count(), 2) << "a reversal is always a group of its own";
    Undo.SetGroupMode(false);

    TRVUndoList empty(Doc);
    empty.BeginUndoGroup(rvutPara, {}, 0, 1);
    Undo.Append(empty, TRVGroupJoin::AsRecorded);
    EXPECT_EQ(Undo.Count(), 2) << "a group without records is dropped";
    Undo.MaxGroups = 2;
    Undo.Append(*logWithTag("w"), TRVGroupJoin::AsRecorded);
    EXPECT_EQ(Undo.Count(), 2) << "the oldest group goes";
    Undo.MaxGroups = 0;
    auto dropped = logWithTag("v");
    Undo.Append(*dropped, TRVGroupJoin::AsRecorded);
    EXPECT_EQ(Undo.Count(), 2);
    EXPECT_TRUE(dropped->Empty()) << "nothing is kept of a log handed to a list that records nothing";
}

TEST_F(UndoListTest, RollBackToAMarkTakesBackEverythingAfterItAndKeepsTheRest)
{
    Doc.AppendText("d", 0, 0);
    TRVUndoList log(Doc);
    log.BeginUndoGroup(rvutInsert, {}, 0, 1);
    log.AddInfo(std::make_unique<TRVUndoChangeTextInfo>(0, Doc.TextAt(0)));
    Doc.SetText(0, "abc1");
    const TRVUndoMark mark = log.Mark();
    log.AddInfo(std::make_unique<TRVUndoChangeTextInfo>(0, Doc.TextAt(0)));
    Doc.SetText(0, "abc12");
    Doc.InsertItemAt(1, "neu", std::make_unique<TRVTextItemInfo>(0));
    log.AddInfo(std::make_unique<TRVUndoInsertItemInfo>(1));
    // A typed run of three characters in a group of its own goes back whole.
    Doc.SetText(2, "dxyz");
    for (int position : {2, 3, 4})
        log.AddTypedChar(2, position, false, 2, position);
    ASSERT_EQ(log.Count(), 2);
    log.RollBack(mark);
    EXPECT_EQ(DocDump(Doc), R"([p0]"abc1" [p0]"d")");
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.LastGroup()->Records.size(), 1u) << "the record before the mark stays";
    log.RollBack({});
    EXPECT_EQ(DocDump(Doc), R"([p0]"abc" [p0]"d")");
    EXPECT_TRUE(log.Empty());
}

} // namespace
} // namespace xq::test

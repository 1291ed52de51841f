// Live spelling: the words of items, link and symbol text left alone, the marks kept in place by the
// editor while the user types and deletes, and the whole check with a worker that answers late -
// answers for items changed meanwhile are not applied, the items are read again.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "editing/EditTestSupport.h"
#include "document/ItemText.h"
#include "editing/MisspellingMarks.h"
#include "platform/FontTypes.h"
#include "spelling/LiveSpelling.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

std::string Words(const std::string& text, bool unicode = false)
{
    std::string bytes = text;
    if (unicode) {
        bytes.clear();
        for (char c : text) {
            // "~" stands for the right single quote in Unicode text.
            const char16_t u = c == '~' ? u'\u2019' : char16_t(std::uint8_t(c));
            bytes += char(u & 0xFF);
            bytes += char(u >> 8);
        }
    }
    std::vector<TRVLiveWord> words;
    FindLiveWords(TRVItemText(bytes, unicode), DefaultDelimiters, words);
    std::string out;
    for (const TRVLiveWord& w : words)
        out += (out.empty() ? "" : "|") + text.substr(std::size_t(w.Start - 1), std::size_t(w.Length));
    return out;
}

TEST(LiveWords, DelimitersAndApostrophesSeparateWordsAnApostropheInsideStays)
{
    EXPECT_EQ(Words("Das Haus, am (See)."), "Das|Haus|am|See");
    EXPECT_EQ(Words("  "), "");
    EXPECT_EQ(Words("geht's gut"), "geht's|gut");
    // An apostrophe at the end of a word, or starting one, is not part of it.
    EXPECT_EQ(Words("Hans' Haus 'hier'"), "Hans|Haus|hier");
    EXPECT_EQ(Words("Hans'"), "Hans");
    EXPECT_EQ(Words("geht~s Hans~ x", true), "geht~s|Hans|x");
}

TEST(LiveWords, AddressesAreRecognisedByTheirSchemeOrAnAtSign)
{
    for (const char16_t* text : {u"www.quarnel.de", u"HTTP://x", u"mailto:a", u"ftp.x", u"news:x", u"a@b.de"})
        EXPECT_TRUE(IsAddressText(text));
    for (const char16_t* text : {u"Homepage", u"a.b@c", u"w w w.", u""})
        EXPECT_FALSE(IsAddressText(text));
}

TEST(LiveWords, TheClosestSuggestionsComeFirstInTheSpellersOrderAmongEquals)
{
    // ispell's list for "Heren" is alphabetical; a letter typed once instead of twice is the likeliest.
    const std::vector<std::string> offered{"Deren", "Ehren", "Heben", "Heeren", "Hefen", "Herein", "Herren", "Hören"};
    EXPECT_EQ(BestSuggestions("Heren", offered, 5),
              (std::vector<std::string>{"Heeren", "Herren", "Heben", "Hefen", "Herein"}));
    // A swap of two letters counts as one change; umlauts are one character.
    EXPECT_EQ(BestSuggestions("Rehcnung", {"Rechnungen", "Rechnung"}, 1), std::vector<std::string>{"Rechnung"});
    EXPECT_EQ(BestSuggestions("Horen", {"Hofen", "H\xC3\xB6ren"}, 2), (std::vector<std::string>{"Hofen", "H\xC3\xB6ren"}));
    EXPECT_TRUE(BestSuggestions("x", {}, 5).empty());
}

/// The marks of a list as "start+length ...".
std::string MarkText(const std::vector<TRVMisspelling>& marks)
{
    std::string out;
    for (const TRVMisspelling& m : marks)
        out += (out.empty() ? "" : " ") + std::to_string(m.Start) + "+" + std::to_string(m.Length);
    return out;
}

TEST(MisspellingMarks, TypingMovesMarksBehindAndDropsTheTouchedWordsMark)
{
    // "ab Hause xy": the mark on "Hause" is 4+5.
    auto typed = [](int position, bool delimiter, bool afterApostrophe = false) {
        std::vector<TRVMisspelling> marks{{4, 5}, {10, 2}};
        const bool removed = ShiftMarksForTyped(marks, position, delimiter, afterApostrophe);
        return MarkText(marks) + (removed ? "!" : "");
    };
    EXPECT_EQ(typed(1, false), "5+5 11+2");          // a letter before an earlier word
    EXPECT_EQ(typed(4, true), "5+5 11+2");           // a space just before the word
    EXPECT_EQ(typed(4, false), "11+2!");      // a letter joining the word at its start
    EXPECT_EQ(typed(6, false), "11+2!");      // inside
    EXPECT_EQ(typed(9, false), "11+2!");      // right after its end: the word grows
    EXPECT_EQ(typed(9, true), "4+5 11+2");    // a space at its end leaves it whole
    EXPECT_EQ(typed(10, false), "4+5!");      // the letter joins the second word
    EXPECT_EQ(typed(13, false), "4+5 10+2");  // after everything
    // After an apostrophe that followed the word, a letter makes it one word with the apostrophe.
    EXPECT_EQ(typed(10, false, true), "!");
}

TEST(MisspellingMarks, DeletingDropsTheMarksOfWordsItTouchesOrJoins)
{
    auto deleted = [](int position, int count) {
        std::vector<TRVMisspelling> marks{{4, 5}, {10, 2}};
        const bool removed = ShiftMarksForDeleted(marks, position, count);
        return MarkText(marks) + (removed ? "!" : "");
    };
    EXPECT_EQ(deleted(1, 1), "3+5 9+2");
    EXPECT_EQ(deleted(3, 1), "9+2!"); // the space before it: joins "ab"
    EXPECT_EQ(deleted(5, 2), "8+2!");
    EXPECT_EQ(deleted(9, 1), "!");    // the space after it joins both words
    EXPECT_EQ(deleted(13, 1), "4+5 10+2");
    // A deletion that reaches into the word from before is no shift of it.
    EXPECT_EQ(deleted(1, 4), "6+2!");
    std::vector<TRVMisspelling> marks{{4, 5}};
    EXPECT_TRUE(ShiftMarksForInserted(marks, 9, 3));
    marks = {{4, 5}};
    EXPECT_FALSE(ShiftMarksForInserted(marks, 2, 3));
    EXPECT_EQ(MarkText(marks), "7+5");
}

/// A checker that knows a few misspelled words; it can be held, so that answers come late.
class TFakeChecker {
public:
    bool operator()(const std::string& word, int)
    {
        std::unique_lock lock(Lock_);
        ++Asked;
        Opened_.wait(lock, [this] { return Open_; });
        return Wrong.count(word) != 0;
    }
    void Hold()
    {
        std::lock_guard lock(Lock_);
        Open_ = false;
    }
    void Release()
    {
        {
            std::lock_guard lock(Lock_);
            Open_ = true;
        }
        Opened_.notify_all();
    }
    [[nodiscard]] int AskedCount()
    {
        std::lock_guard lock(Lock_);
        return Asked;
    }

    std::set<std::string> Wrong{"Huas", "Fehlr", "Wrot", "hause", "Hause"};
    int Asked = 0;

private:
    std::mutex Lock_;
    std::condition_variable Opened_;
    bool Open_ = true;
};

class LiveSpelling : public ::testing::Test {
protected:
    void SetUp() override
    {
        Live.Delimiters = F.Edit.Delimiters;
        Live.OnSpellingCheck = [this](const std::string& word, int language) { return Checker(word, language); };
        Live.OnMisspellingFound = [this] { ++Found; };
    }
    void TearDown() override { Checker.Release(); }

    /// Runs the check until it has nothing left to do.
    void Settle()
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!Live.Finished() && std::chrono::steady_clock::now() < until) {
            Live.Step(500);
            Live.ApplyAnswers();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(Live.Finished());
    }
    /// The marked words of an item, as "word word".
    std::string Marked(const TCustomRVData& data, int itemNo) const
    {
        const TCustomRVItemInfo& item = data.ItemAt(itemNo);
        if (!item.Misspellings)
            return "";
        std::string out;
        for (const TRVMisspelling& m : *item.Misspellings)
            out += (out.empty() ? "" : " ") + data.TextAt(itemNo).substr(std::size_t(m.Start - 1), std::size_t(m.Length));
        return out;
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            F.Edit.KeyPress(char16_t(std::uint8_t(c)));
    }

    EditFixture F{400, 400};
    TFakeChecker Checker;
    TRVLiveSpelling Live{F.Data, F.Sheet};
    int Found = 0;
};

TEST_F(LiveSpelling, MarksTheMisspelledWordsOfParagraphsAndCellsButNotLinksOrSymbolText)
{
    const int link = F.AddTextStyle();
    F.Sheet.TextStyles[link].Jump = true;
    const int symbol = F.AddTextStyle();
    F.Sheet.TextStyles[symbol].Charset = SYMBOL_CHARSET;
    F.Text("Das Huas am See.");
    F.Text("www.Fehlr.de", link, -1);
    F.Text(" Fehlr Wrot", symbol, -1);
    F.Text("Mein Huas, dein Fehlr.");
    TRVTableItemInfo* table = AppendNamedTable(F.Data, 1, 2);
    table->Cells(0, 1)->Clear();
    table->Cells(0, 1)->AppendText("ein Wrot hier", 0, 0);
    F.Text("Fehlr"); // a link whose text is no address is checked like any text
    F.Text("Fehlr", link, -1);
    F.Format();

    Live.Start();
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "Huas");
    EXPECT_EQ(Marked(F.Data, 1), "");
    EXPECT_EQ(Marked(F.Data, 2), "");
    EXPECT_EQ(Marked(F.Data, 3), "Huas Fehlr");
    EXPECT_EQ(Marked(*table->Cells(0, 1), 0), "Wrot");
    EXPECT_EQ(Marked(F.Data, 5), "Fehlr");
    EXPECT_EQ(Marked(F.Data, 6), "Fehlr");
    EXPECT_EQ(CountMisspellings(F.Data), 6);
    EXPECT_GT(Found, 0);
    // Each word was asked once, however often it occurs.
    EXPECT_LE(Checker.AskedCount(), 14);

    EXPECT_TRUE(Live.Stop());
    EXPECT_EQ(CountMisspellings(F.Data), 0);
    EXPECT_FALSE(F.Data.ItemAt(0).State & 1u);
    // Nothing comes back after a stop.
    Live.Step(500);
    Live.ApplyAnswers();
    EXPECT_EQ(CountMisspellings(F.Data), 0);
    // Starting again checks everything again.
    Live.Start();
    Settle();
    EXPECT_EQ(CountMisspellings(F.Data), 6);
}

TEST_F(LiveSpelling, TypingKeepsTheOtherMarksAndTheTouchedWordIsCheckedAgain)
{
    F.Text("ab Huas und Fehlr");
    F.Format();
    Live.Start();
    Settle();
    ASSERT_EQ(Marked(F.Data, 0), "Huas Fehlr");

    // A letter before both marks moves them.
    F.Edit.SetCaretDocPos({0, 1});
    Type("X");
    Live.DocumentChanged(0);
    EXPECT_EQ(MarkText(*F.Data.ItemAt(0).Misspellings), "5+4 14+5");
    // A letter inside "Fehlr" takes its mark at once; the word is checked again.
    F.Edit.SetCaretDocPos({0, 18});
    Type("e");
    Live.DocumentChanged(0);
    EXPECT_EQ(Marked(F.Data, 0), "Huas");
    Settle();
    EXPECT_EQ(F.Data.TextAt(0), "Xab Huas und Fehler");
    EXPECT_EQ(Marked(F.Data, 0), "Huas");
    // Typing "s" then Backspace brings back a word answered before: it is not asked again.
    F.Edit.SetCaretDocPos({0, 9});
    Type("s");
    Live.DocumentChanged(0);
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "");
    const int asked = Checker.AskedCount();
    F.Edit.DeleteBackward(false);
    Live.DocumentChanged(0);
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "Huas");
    EXPECT_EQ(Checker.AskedCount(), asked);

    // Undo gives the item back; its words are read again.
    F.Edit.Undo();
    Live.DocumentChanged(0);
    Settle();
    EXPECT_EQ(F.Data.TextAt(0), "Xab Huass und Fehler");
    EXPECT_EQ(Marked(F.Data, 0), "");
    // A space typed at the end of a marked word leaves its mark.
    F.Edit.Undo();
    Live.DocumentChanged(0);
    Settle();
    F.Edit.SetCaretDocPos({0, 9});
    Type(" ");
    EXPECT_EQ(Marked(F.Data, 0), "Huas");
}

TEST_F(LiveSpelling, AWordBeingTypedIsMarkedOnlyWhenItIsLetGo)
{
    F.Text("Fehlr und ");
    F.Format();
    Live.Start();
    Settle();
    F.Edit.SetCaretDocPos({0, 11});
    Type("Huas");
    Live.DocumentChanged(0);
    Live.HoldWordAt(&F.Data.ItemAt(0), 15);
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "Fehlr");
    EXPECT_FALSE(F.Data.ItemAt(0).State & 1u);
    Live.ReleaseHeldWord();
    EXPECT_FALSE(Live.Finished());
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "Fehlr Huas");
    EXPECT_TRUE(F.Data.ItemAt(0).State & 1u);
}

TEST_F(LiveSpelling, AnswersForAnItemChangedMeanwhileAreNotAppliedAndTheItemIsReadAgain)
{
    F.Text("eins Huas");
    F.Text("zwei Fehlr");
    F.Format();
    Checker.Hold();
    Live.Start();
    Live.Step(500);
    ASSERT_FALSE(Live.Finished());
    // The user goes on while the worker is still on the words: "Huas" becomes "Huast".
    F.Edit.SetCaretDocPos({0, 10});
    Type("t");
    Live.DocumentChanged(0);
    // Enter splits the second item: its answers belong to an item that is no longer there.
    F.Edit.SetCaretDocPos({1, 5});
    F.Edit.InsertEnter(false);
    Live.DocumentChanged(1);
    Checker.Release();
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "");
    EXPECT_EQ(F.Data.TextAt(2), " Fehlr");
    EXPECT_EQ(Marked(F.Data, 2), "Fehlr");
    EXPECT_EQ(CountMisspellings(F.Data), 1);
}

TEST_F(LiveSpelling, ChangesInATableCellAndATableGoneWhileWaiting)
{
    F.Text("vorher");
    TRVTableItemInfo* table = AppendNamedTable(F.Data, 2, 1);
    table->Cells(1, 0)->Clear();
    table->Cells(1, 0)->AppendText("Wrot", 0, 0);
    F.Text("Huas");
    F.Format();
    Checker.Hold();
    Live.Start();
    Live.Step(500);
    // The table goes while its words are being checked; the text after it moves up.
    F.Edit.SetSelection({0, 1}, {2, 1});
    F.Edit.DeleteSelected();
    Live.DocumentChanged(0);
    Checker.Release();
    Settle();
    EXPECT_EQ(CountMisspellings(F.Data), 1);
    EXPECT_EQ(Marked(F.Data, F.Data.Count() - 1), "Huas");
}

TEST_F(LiveSpelling, UnmarkWordRemovesTheMarksOfThatWordInThatLanguageOnly)
{
    const int other = F.AddTextStyle();
    Live.LanguageOfStyle = [other](int styleNo) { return styleNo == other ? 1033 : 1031; };
    F.Text("Hause hause Hause");
    F.Text("Hause", other, -1);
    TRVTableItemInfo* table = AppendNamedTable(F.Data, 1, 1);
    table->Cells(0, 0)->Clear();
    table->Cells(0, 0)->AppendText("Hause", 0, 0);
    F.Format();
    Live.Start();
    Settle();
    ASSERT_EQ(CountMisspellings(F.Data), 5);

    EXPECT_TRUE(Live.UnmarkWord("Hause", 1031));
    EXPECT_EQ(Marked(F.Data, 0), "hause");
    EXPECT_EQ(Marked(F.Data, 1), "Hause");
    EXPECT_EQ(Marked(*table->Cells(0, 0), 0), "");
    EXPECT_FALSE(Live.UnmarkWord("Hause", 1031));
    // A word ignored from now on is not marked again when its items are read again.
    Live.IsIgnored = [](const std::string& word, int language) { return word == "hause" && language == 1031; };
    Live.Start();
    Settle();
    EXPECT_EQ(Marked(F.Data, 0), "Hause Hause");
}

TEST_F(LiveSpelling, ALongDocumentIsReadInBoundedStepsWithBoundedBatches)
{
    for (int p = 0; p < 3000; ++p)
        F.Text("Wort" + std::to_string(p) + " und Huas");
    F.Format();
    Checker.Hold();
    Live.Start();
    for (int k = 0; k < 100; ++k)
        Live.Step(200);
    // Held answers stop the reading: no more than the batches in flight and the waiting items.
    EXPECT_LE(Live.BatchesSent(), std::uint64_t(TRVLiveSpelling::MaxBatchesInFlight));
    EXPECT_FALSE(Live.WantsStep());
    Checker.Release();
    Settle();
    EXPECT_EQ(CountMisspellings(F.Data), 3000);
}

} // namespace
} // namespace xq::test

// The check of a whole document against the real ispell with the German dictionary: the words the
// dialog is shown, its answers and their lists carried over between runs, replacements as edits,
// table cells, the words never asked about, and where a run starts.
#include "spelling/RVXQSpell.h"

#include <deque>

#include <gtest/gtest.h>

#include "editing/EditTestSupport.h"
#include "editing/TableInplaceEdit.h"
#include "platform/CodePage.h"
#include "platform/FileIO.h"
#include "platform/FontTypes.h"
#include "support/Ispell.h"
#include "support/TempDir.h"
#include "tables/TableItem.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

namespace fs = std::filesystem;

/// One answer of the scripted dialog: the button and what the edit line holds (the first
/// suggestion when Edit is not given).
struct TAnswer {
    TSpellFormResult Result;
    std::optional<std::string> Edit;
};

/// What the dialog was shown.
struct TShown {
    std::string Word;
    std::vector<std::string> Suggestions;
    std::string Selected; // the document's selection when the dialog came up
};

/// The dialog of a run, answering from a script shared with the test.
class TScriptedSpellForm final : public TSpellForm {
public:
    TScriptedSpellForm(std::deque<TAnswer>& script, std::vector<TShown>& shown, EditFixture& f, int& made)
        : Script_(script), Shown_(shown), F_(f)
    {
        ++made;
    }
    void SetCaption(const std::string& caption) override { Caption = caption; }
    TSpellFormResult Ask(const std::string& word, const std::vector<std::string>& suggestions, int,
                         std::string& editLine) override
    {
        TCustomDocViewEdit& inner = F_.Edit.InnermostEditor();
        std::string selected;
        if (&inner != &F_.Edit)
            selected = "cell:";
        selected += Utf16ToUtf8(F_.Edit.SelectedText());
        Shown_.push_back({word, suggestions, selected});
        if (Script_.empty())
            return TSpellFormResult::Cancel;
        const TAnswer answer = Script_.front();
        Script_.pop_front();
        editLine = answer.Edit ? *answer.Edit : (suggestions.empty() ? std::string() : suggestions.front());
        return answer.Result;
    }
    std::string Caption;

private:
    std::deque<TAnswer>& Script_;
    std::vector<TShown>& Shown_;
    EditFixture& F_;
};

/// A German speller in a directory of its own, a document, and the bridge with a scripted dialog.
class SpellCheckRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISPELL();
        fs::create_directories(Dir / "deutsch");
        WriteBytes(Dir / "deutsch" / "ispell.ini",
                   "[Deutsch]\r\nLangNo=1031\r\nCmd=" + std::string(GermanIspellCmd) + "\r\n");
        Checker.SetSpellerDirectory(Dir.Path());
        Checker.SetPersonalDirectory(Home.Path());
        F.Edit.Delimiters = MainWindowDelimiters;
        Bridge.CreateSpellForm = [this] {
            return std::make_unique<TScriptedSpellForm>(Script, Shown, F, FormsMade);
        };
        Bridge.OnSpellFormAction = [this](const std::string& word, const std::string& to, TRVXQSpellFormAction a,
                                          int language) {
            Actions.push_back(word + ">" + to + ":" + std::to_string(int(a)));
            EXPECT_EQ(language, 1031);
        };
    }

    /// Runs a check from the document's start with these answers.
    TSpellCheckOutcome Check(std::deque<TAnswer> answers)
    {
        Script = std::move(answers);
        Shown.clear();
        Actions.clear();
        return Bridge.CheckDocument(F.Edit, true);
    }

    [[nodiscard]] std::vector<std::string> ShownWords() const
    {
        std::vector<std::string> words;
        for (const TShown& s : Shown)
            words.push_back(s.Word);
        return words;
    }

    TTempDir Dir, Home;
    TSpellChecker Checker;
    EditFixture F{600, 400};
    TRVXQSpell Bridge{Checker, F.Sheet};
    std::deque<TAnswer> Script;
    std::vector<TShown> Shown;
    std::vector<std::string> Actions;
    int FormsMade = 0;
};

TEST_F(SpellCheckRun, StopsAtEachMisspellingWithIspellsSuggestionsAndChangesAsOneUndoStep)
{
    F.Text("Das Hauss steht an der Strase.");
    F.Format();
    const std::string before = F.Rvf();
    const TSpellCheckOutcome outcome =
        Check({{TSpellFormResult::Ignore, {}}, {TSpellFormResult::Change, "Straße"}});
    EXPECT_EQ(outcome.Misspellings, 2);
    EXPECT_FALSE(outcome.Cancelled);
    ASSERT_EQ(ShownWords(), (std::vector<std::string>{"Hauss", "Strase"}));
    EXPECT_EQ(FormsMade, 1) << "one dialog for the whole run";
    // ispell's own suggestions in ispell's order, the word selected in the document.
    std::vector<std::string> expected;
    Checker.GetSuggestions("Hauss", 1031, expected);
    EXPECT_EQ(Shown[0].Suggestions, expected);
    EXPECT_EQ(Shown[0].Suggestions.front(), "Hau");
    EXPECT_EQ(Shown[0].Selected, "Hauss");
    const auto& strase = Shown[1].Suggestions;
    EXPECT_NE(std::find(strase.begin(), strase.end(), "Straße"), strase.end());
    EXPECT_EQ(Actions, (std::vector<std::string>{"Hauss>Hau:0", "Strase>Straße:2"}));
    EXPECT_EQ(F.Data.TextAt(0), "Das Hauss steht an der Stra\xDF" "e.");

    // The change is an ordinary edit: one Undo takes it back.
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), before);
    F.Edit.Redo();
    EXPECT_EQ(F.Data.TextAt(0), "Das Hauss steht an der Stra\xDF" "e.");
}

TEST_F(SpellCheckRun, IgnoreAllAndChangeAllHoldForLaterWordsAndLaterRuns)
{
    F.Text("Hauss und Strase, dann Hauss und Strase.");
    F.Text("Noch einmal Strase.");
    F.Format();
    Check({{TSpellFormResult::IgnoreAll, {}}, {TSpellFormResult::ChangeAll, "Straße"}});
    // Each was asked once; the later "Strase" were changed without asking.
    EXPECT_EQ(ShownWords(), (std::vector<std::string>{"Hauss", "Strase"}));
    EXPECT_EQ(Actions, (std::vector<std::string>{"Hauss>Hau:1", "Strase>Straße:3"}));
    EXPECT_EQ(F.Data.TextAt(0), "Hauss und Stra\xDF" "e, dann Hauss und Stra\xDF" "e.");
    EXPECT_EQ(F.Data.TextAt(1), "Noch einmal Stra\xDF" "e.");

    // A later run: new occurrences are ignored or changed without the dialog.
    F.Edit.SetCaretDocPos({1, F.Data.OffsetAfter(1)});
    F.Edit.InsertTextInCurrentStyle(u" Strase Hauss");
    const TSpellCheckOutcome later = Check({});
    EXPECT_EQ(later.Misspellings, 0);
    EXPECT_EQ(FormsMade, 1) << "no dialog without a misspelling";
    EXPECT_EQ(F.Data.TextAt(1), "Noch einmal Stra\xDF" "e. Stra\xDF" "e Hauss");
}

TEST_F(SpellCheckRun, AddedWordsAreInThePersonalDictionaryAndSurviveARestart)
{
    F.Text("Quarnelbrief und Quarnelbrief.");
    F.Format();
    Check({{TSpellFormResult::Add, {}}});
    EXPECT_EQ(ShownWords(), (std::vector<std::string>{"Quarnelbrief"})) << "the second one is correct now";
    Checker.CloseSpellers();
    std::string dictionary;
    ASSERT_TRUE(ReadFileBytes(Home / ".ispell_ngerman", dictionary, 1 << 20));
    EXPECT_NE(dictionary.find("Quarnelbrief"), std::string::npos);

    TSpellChecker restarted;
    restarted.SetSpellerDirectory(Dir.Path());
    restarted.SetPersonalDirectory(Home.Path());
    EXPECT_TRUE(restarted.IsWordCorrect("Quarnelbrief", 1031));
}

TEST_F(SpellCheckRun, CancelStopsAtOnceAndKeepsEarlierChanges)
{
    F.Text("Hauss Strase Fehlerr");
    F.Format();
    const TSpellCheckOutcome outcome = Check({{TSpellFormResult::Change, "Haus"}, {TSpellFormResult::Cancel, {}}});
    EXPECT_TRUE(outcome.Cancelled);
    EXPECT_EQ(ShownWords(), (std::vector<std::string>{"Hauss", "Strase"}));
    EXPECT_EQ(Actions, (std::vector<std::string>{"Hauss>Haus:2"})) << "cancel reports nothing";
    EXPECT_EQ(F.Data.TextAt(0), "Haus Strase Fehlerr");
    F.Edit.Undo();
    EXPECT_EQ(F.Data.TextAt(0), "Hauss Strase Fehlerr");
}

TEST_F(SpellCheckRun, CellsAreCheckedInReadingOrderAndChangesEditTheCell)
{
    F.Text("Vor Hauss");
    TRVTableItemInfo* table = AppendNamedTable(F.Data, 2, 2);
    table->Cells(0, 1)->AppendText("Zelle mit Strase", 0, 0);
    table->Cells(1, 0)->AppendText("Fehlerr", 0, 0);
    F.Text("Nach Briefe");
    F.Format();
    Check({{TSpellFormResult::Ignore, {}}, {TSpellFormResult::Change, "Straße"}, {TSpellFormResult::Ignore, {}}});
    ASSERT_EQ(ShownWords(), (std::vector<std::string>{"Hauss", "Strase", "Fehlerr"}));
    EXPECT_EQ(Shown[1].Selected, "cell:Strase") << "the cell is edited with the word selected";
    EXPECT_EQ(ContentText(*table->Cells(0, 1)), "01|Zelle mit Stra\xDF" "e");
    EXPECT_TRUE(table->CheckGrid());
    // Undo takes back the cell's change.
    F.Edit.Undo();
    EXPECT_EQ(ContentText(*table->Cells(0, 1)), "01|Zelle mit Strase");
}

TEST_F(SpellCheckRun, SingleLettersSymbolFontsAndDelimitersDecideWhatAWordIs)
{
    const int symbol = F.AddTextStyle();
    F.Sheet.TextStyles[symbol].FontName = "Symbol";
    F.Sheet.TextStyles[symbol].Charset = SYMBOL_CHARSET;
    F.Text("x q Hauss' Wortt-Fehlerr");
    F.Text("Qwertz Asdfg", symbol, -1);
    F.Format();
    Check({{TSpellFormResult::Ignore, {}}, {TSpellFormResult::Ignore, {}}, {TSpellFormResult::Ignore, {}}});
    // The apostrophe is no delimiter of the editor, the hyphen is; the symbol text is passed over.
    EXPECT_EQ(ShownWords(), (std::vector<std::string>{"Hauss'", "Wortt", "Fehlerr"}));
}

TEST_F(SpellCheckRun, ARunFromTheCaretStartsAtItsWordAndGoesOnOutOfTheCell)
{
    F.Text("Fehlerr vorher");
    TRVTableItemInfo* table = AppendNamedTable(F.Data, 1, 3);
    table->Cells(0, 0)->AppendText("Erstee", 0, 0);
    table->Cells(0, 1)->AppendText("Wortt Briefx", 0, 0);
    table->Cells(0, 2)->AppendText("Zettell", 0, 0);
    F.Text("Tischh");
    F.Format();
    ASSERT_TRUE(F.Edit.EditCell(1, 0, 1));
    F.Edit.InnermostEditor().SetCaretDocPos({1, 4}); // inside "Wortt"
    Script = {{TSpellFormResult::Ignore, {}}, {TSpellFormResult::Ignore, {}}, {TSpellFormResult::Ignore, {}},
              {TSpellFormResult::Ignore, {}}};
    Bridge.CheckDocument(F.Edit, false);
    EXPECT_EQ(ShownWords(), (std::vector<std::string>{"Wortt", "Briefx", "Zettell", "Tischh"}));
}

TEST_F(SpellCheckRun, WordsOfALanguageWithoutASpellerAreCountedAsUnchecked)
{
    const int russian = F.AddTextStyle();
    F.Sheet.TextStyles[russian].Charset = RUSSIAN_CHARSET;
    F.Text("Haus Hauss");
    F.Text("Dom Doma", russian, 0);
    F.Format();
    const TSpellCheckOutcome outcome = Check({{TSpellFormResult::Ignore, {}}});
    EXPECT_EQ(ShownWords(), (std::vector<std::string>{"Hauss"}));
    EXPECT_EQ(outcome.Unchecked, 2);
}

TEST_F(SpellCheckRun, AnEmptyChangeDeletesTheWordAndLongRunsYieldEvery500Words)
{
    std::string many;
    for (int i = 0; i < 1200; ++i)
        many += "Haus ";
    F.Text(many + "Hauss Ende");
    F.Format();
    int yields = 0;
    Bridge.OnYield = [&] { ++yields; };
    Check({{TSpellFormResult::Change, ""}});
    EXPECT_EQ(yields, 2);
    EXPECT_EQ(F.Data.TextAt(0), many + " Ende");
}

} // namespace
} // namespace xq::test

namespace xq::test {
namespace {

TEST_F(SpellCheckRun, HostileWordsInTheDocumentNeitherHangNorReachTheDictionary)
{
    // Words a document may hold that must never become ispell commands or dictionary entries
    // ("*" is one of the editor's delimiters: "*Hauss" is the word "Hauss").
    F.Text(std::string(150, 'a') + " Ha\tuss #Hauss &Hauss ~Hauss %Hauss @Hauss ^Hauss Hauss# 'Hauss");
    F.Text(std::string("Ha\0uss", 6) + " Ha\russ");
    std::string many;
    for (int i = 0; i < 1000; ++i) {
        many += " Qzx";
        for (int n = i; n > 0; n /= 26)
            many += char('a' + n % 26);
    }
    F.Text(many);
    F.Format();
    // "Hinzufügen" for the hostile words and the first misspelt ones, "Ignorieren" for the rest.
    std::deque<TAnswer> answers(20, TAnswer{TSpellFormResult::Add, {}});
    answers.resize(2000, TAnswer{TSpellFormResult::Ignore, {}});
    const TSpellCheckOutcome outcome = Check(answers);
    EXPECT_GT(outcome.Misspellings, 900);
    Checker.CloseSpellers();
    std::string dictionary;
    (void)ReadFileBytes(Home / ".ispell_ngerman", dictionary, 1 << 24);
    for (const char* command : {"#", "&", "*", "~", "%", "@", "^", "'"})
        for (std::size_t at = dictionary.find(command); at != std::string::npos; at = dictionary.find(command, at + 1))
            ADD_FAILURE() << "dictionary line with " << command << ": "
                          << dictionary.substr(dictionary.rfind('\n', at) + 1, 40);
    EXPECT_EQ(dictionary.find("Hauss"), std::string::npos) << dictionary.substr(0, 200);
    // Later verdicts are still right.
    EXPECT_TRUE(Checker.IsWordCorrect("Haus", 1031));
    EXPECT_FALSE(Checker.IsWordCorrect("Hauss", 1031));
    EXPECT_TRUE(Checker.IsWordCorrect("Qzxb", 1031)) << "added through the dialog";
    // The words that could not go into the dictionary are not asked about again in this session.
    EXPECT_TRUE(Bridge.IgnoreList.Contains("#Hauss", 1031));
    EXPECT_EQ(Check(std::deque<TAnswer>(2000, TAnswer{TSpellFormResult::Ignore, {}})).Misspellings,
              outcome.Misspellings - 20);
}

} // namespace
} // namespace xq::test

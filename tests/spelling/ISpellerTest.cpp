// The speller against the real ispell with the German dictionary: verdicts, suggestions, the personal
// dictionary, hostile words, a speller that dies, and that no ispell process is left behind.
#include "spelling/ISpeller.h"
#include "spelling/SpellChecker.h"
#include "spelling/RVXQSpell.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include <cerrno>
#include <signal.h>
#include <unistd.h>

#include "document/RVStyle.h"
#include "platform/FileIO.h"
#include "support/Ispell.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TTempDir;
using test::WriteBytes;

constexpr std::string_view GermanCmd = test::GermanIspellCmd;

bool ProcessExists(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH);
}

TSpellListObj GermanEntry(std::string cmd = std::string(GermanCmd))
{
    TSpellListObj entry;
    entry.Name = "Deutsch (Deutschland)";
    entry.SectionName = "Deutsch";
    entry.Cmd = std::move(cmd);
    entry.LangNo = 1031;
    return entry;
}

std::string ReadText(const fs::path& path)
{
    std::string bytes;
    (void)ReadFileBytes(path, bytes, 1 << 20);
    return bytes;
}

/// ispell's own reply line for a word, asked without the speller class.
std::string RawReply(const std::string& latin1Word, const fs::path& home)
{
    TChildProcess child;
    if (!child.Start(SplitCommandLine(GermanCmd), home, {{"HOME", home.string()}}))
        return {};
    std::string line;
    if (child.ReadLine(line, 10s, 4096) != TReadResult::rrLine || !child.Write("!\n^" + latin1Word + "\n", 1s))
        return {};
    return child.ReadLine(line, 10s, 4096) == TReadResult::rrLine ? line : std::string();
}

TEST(ISpellerTest, GermanWordsAndMisspellingsWithIspellsSuggestions)
{
    REQUIRE_ISPELL();
    TTempDir home;
    TISpeller speller(1031, GermanEntry(), home.Path(), home.Path());
    ASSERT_FALSE(speller.Failed());
    for (const char* word : {"Haus", "Straße", "Hallo", "Rechtschreibprüfung", "Textbausteine", "Öl", "Überweisung"})
        EXPECT_TRUE(speller.IsWordCorrect(word)) << word;

    EXPECT_FALSE(speller.IsWordCorrect("Hauss"));
    EXPECT_EQ(speller.CurrentWord(), "Hauss");
    std::vector<std::string> suggestions;
    speller.Suggestions(suggestions);
    EXPECT_EQ(suggestions, SuggestionsOfReply(RawReply("Hauss", home.Path())));
    EXPECT_FALSE(suggestions.empty());
    EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "Haus"), suggestions.end());

    EXPECT_FALSE(speller.IsWordCorrect("Strase"));
    speller.Suggestions(suggestions);
    EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "Straße"), suggestions.end());
    // The suggestions come back from Latin-1 in the order ispell gives them.
    std::vector<std::string> raw;
    for (const std::string& s : SuggestionsOfReply(RawReply("Strase", home.Path())))
        raw.push_back(s == "Stra\xDF" "e" ? "Straße" : s);
    EXPECT_EQ(suggestions, raw);
    // A verdict asked again comes from the cache and keeps its suggestions.
    EXPECT_FALSE(speller.IsWordCorrect("Hauss"));
    speller.Suggestions(suggestions);
    EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "Haus"), suggestions.end());
}

TEST(ISpellerTest, FindMisspellingWalksTheWordsOfAText)
{
    REQUIRE_ISPELL();
    TTempDir home;
    TISpeller speller(1031, GermanEntry(), home.Path(), home.Path());
    std::size_t pos = 0;
    std::size_t length = 0;
    EXPECT_EQ(speller.FindMisspelling("Hallo-Welt", 0, pos, length), msNone);
    const std::string text = "Das (Hauss) ist ABCXY, Abc1 und \"Strase\".";
    ASSERT_EQ(speller.FindMisspelling(text, 0, pos, length), msMisspelled);
    EXPECT_EQ(text.substr(pos, length), "Hauss");
    // All capitals and words with digits are not reported with the default options.
    ASSERT_EQ(speller.FindMisspelling(text, pos + length, pos, length), msMisspelled);
    EXPECT_EQ(text.substr(pos, length), "Strase");
    EXPECT_EQ(speller.FindMisspelling(text, pos + length, pos, length), msNone);
    ASSERT_EQ(speller.FindMisspelling(text, 11, pos, length, 0), msMisspelled);
    EXPECT_EQ(text.substr(pos, length), "ABCXY");

    speller.AddAutoReplacement("Hauss", "Haus");
    ASSERT_EQ(speller.FindMisspelling(text, 0, pos, length), msAutoReplace);
    EXPECT_EQ(speller.CurrentReplacement(), "Haus");
    EXPECT_EQ(speller.FindMisspelling("", 0, pos, length), msNone);
    EXPECT_EQ(speller.FindMisspelling("Hauss", 99, pos, length), msNone);
}

TEST(ISpellerTest, AddedWordsSurviveARestartAcceptedOnesDoNot)
{
    REQUIRE_ISPELL();
    TTempDir home;
    pid_t pid = -1;
    {
        TISpeller speller(1031, GermanEntry(), home.Path(), home.Path());
        EXPECT_FALSE(speller.IsWordCorrect("Quarnelwort"));
        EXPECT_TRUE(speller.AddWord("Quarnelwort"));
        EXPECT_TRUE(speller.IsWordCorrect("Quarnelwort"));
        EXPECT_TRUE(speller.AcceptWord("Xylofantel"));
        EXPECT_TRUE(speller.IsWordCorrect("Xylofantel"));
        // Words that could carry a second command or are no words are refused.
        EXPECT_FALSE(speller.AddWord("Zwei Worte"));
        EXPECT_FALSE(speller.AddWord("Wort\n*Hauss"));
        EXPECT_FALSE(speller.AddWord(""));
        EXPECT_FALSE(speller.AddWord(std::string(150, 'a')));
        pid = speller.ProcessId();
    }
    EXPECT_FALSE(ProcessExists(pid));
    EXPECT_NE(ReadText(home / ".ispell_ngerman").find("Quarnelwort"), std::string::npos);
    EXPECT_EQ(ReadText(home / ".ispell_ngerman").find("Hauss"), std::string::npos);

    TISpeller again(1031, GermanEntry(), home.Path(), home.Path());
    EXPECT_TRUE(again.IsWordCorrect("Quarnelwort"));
    EXPECT_FALSE(again.IsWordCorrect("Xylofantel"));
}

TEST(ISpellerTest, HostileWordsNeitherHangNorDisturbLaterVerdicts)
{
    REQUIRE_ISPELL();
    TTempDir home;
    TISpeller speller(1031, GermanEntry(), home.Path(), home.Path());
    ASSERT_TRUE(speller.AddWord("Quarnelwort"));
    const std::string dictionary = ReadText(home / ".ispell_ngerman");
    const int pid = speller.ProcessId();
    std::vector<std::string> messages;
    speller.OnFailure = [&](const std::string& m) { messages.push_back(m); };

    const std::vector<std::string> hostile = {
        std::string(150, 'a'),        "Ha\tuss",  std::string("Ha\0uss", 6), "Ha\russ", "Ha\nuss",
        "#Hauss",                     "&Hauss",   "*Hauss",                  "~Hauss",  "%Hauss",
        "@Hauss",                     "+Hauss",   "-Hauss",                  "!",       "^",
        "Hauss Strase Hauss",         "\x1a",     "H\xC3",                   "Haus\xE2\x82\xAC",
    };
    const auto before = std::chrono::steady_clock::now();
    for (const std::string& word : hostile) {
        (void)speller.IsWordCorrect(word);
        EXPECT_TRUE(speller.IsWordCorrect("Haus")) << "after " << word;
        EXPECT_FALSE(speller.IsWordCorrect("Hauss")) << "after " << word;
        std::size_t pos = 0;
        std::size_t length = 0;
        (void)speller.FindMisspelling(word, 0, pos, length);
    }
    // The longest word ispell takes whole is asked; one byte more is not.
    EXPECT_FALSE(speller.IsWordCorrect(std::string(MaxSpellWordBytes, 'q')));
    EXPECT_TRUE(speller.IsWordCorrect(std::string(MaxSpellWordBytes + 1, 'q')));
    // A long run of misspelt words, each asked once.
    int misspelt = 0;
    for (int i = 0; i < 1000; ++i) {
        std::string word = "Qzx";
        for (int n = i; n > 0; n /= 26)
            word += char('a' + n % 26);
        misspelt += speller.IsWordCorrect(word) ? 0 : 1;
    }
    EXPECT_EQ(misspelt, 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 60s);
    EXPECT_TRUE(speller.IsWordCorrect("Straße"));
    EXPECT_FALSE(speller.IsWordCorrect("Strase"));
    EXPECT_TRUE(speller.IsWordCorrect("Quarnelwort"));
    // Still the first ispell: it never fell out of step, and nothing was added.
    EXPECT_EQ(speller.ProcessId(), pid);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadText(home / ".ispell_ngerman"), dictionary);
}

TEST(ISpellerTest, AKilledSpellerIsStartedOnceMoreThenSwitchedOff)
{
    REQUIRE_ISPELL();
    TTempDir home;
    TISpeller speller(1031, GermanEntry(), home.Path(), home.Path());
    std::vector<std::string> messages;
    speller.OnFailure = [&](const std::string& m) { messages.push_back(m); };
    EXPECT_FALSE(speller.IsWordCorrect("Hauss"));

    const int first = speller.ProcessId();
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    EXPECT_FALSE(speller.IsWordCorrect("Strase"));
    EXPECT_TRUE(messages.empty());
    const int second = speller.ProcessId();
    EXPECT_NE(second, first);
    EXPECT_FALSE(ProcessExists(first));

    ASSERT_EQ(::kill(second, SIGKILL), 0);
    EXPECT_TRUE(speller.IsWordCorrect("Hausss"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Die Rechtschreibprüfung für die Sprache \"Deutsch (Deutschland)\" wurde abgeschaltet, "
                           "weil das Prüfprogramm nicht mehr antwortet.");
    EXPECT_TRUE(speller.Failed());
    EXPECT_FALSE(ProcessExists(second));
    EXPECT_EQ(speller.ProcessId(), -1);
    // Switched off: everything is correct, nothing is sent, no further message.
    EXPECT_TRUE(speller.IsWordCorrect("Strasee"));
    EXPECT_FALSE(speller.AddWord("Quarnelwort"));
    std::vector<std::string> suggestions{"alt"};
    speller.Suggestions(suggestions);
    EXPECT_TRUE(suggestions.empty());
    EXPECT_EQ(messages.size(), 1u);
}

TEST(ISpellerTest, SpellersThatNeverAnswerFailQuietly)
{
    TTempDir home;
    TISpeller::TTimeouts quick;
    quick.Banner = 300ms;
    quick.Reply = 300ms;
    quick.Stop = 300ms;
    // No banner at all: the start fails, the child is killed, every word is correct.
    TISpeller silent(1031, GermanEntry("sleep 30"), home.Path(), home.Path(), quick);
    EXPECT_TRUE(silent.Failed());
    EXPECT_TRUE(silent.IsWordCorrect("Hauss"));
    TISpeller missing(1031, GermanEntry("/nonexistent/ispell -a"), home.Path(), home.Path(), quick);
    EXPECT_TRUE(missing.Failed());
    TISpeller empty(1031, GermanEntry(""), home.Path(), home.Path(), quick);
    EXPECT_TRUE(empty.Failed());

    // No banner either: cat echoes only what it is sent.
    TISpeller echo(1031, GermanEntry("cat"), home.Path(), home.Path(), quick);
    EXPECT_TRUE(echo.Failed());
    EXPECT_EQ(echo.ProcessId(), -1);
}

TEST(ISpellerTest, ASpellerThatStopsAnsweringIsReplaced)
{
    REQUIRE_ISPELL();
    TTempDir home;
    TISpeller::TTimeouts quick;
    quick.Reply = 1500ms;
    quick.Stop = 300ms;
    TISpeller speller(1031, GermanEntry(), home.Path(), home.Path(), quick);
    ASSERT_FALSE(speller.Failed());
    const int first = speller.ProcessId();
    // A stopped ispell reads nothing and answers nothing: the reply times out.
    ASSERT_EQ(::kill(first, SIGSTOP), 0);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(speller.IsWordCorrect("Hauss"));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 15s);
    EXPECT_NE(speller.ProcessId(), first);
    EXPECT_FALSE(ProcessExists(first));
    EXPECT_TRUE(speller.IsWordCorrect("Haus"));
}

TEST(ISpellerTest, ACommandLineIsNeverGivenToAShell)
{
    REQUIRE_ISPELL();
    TTempDir home;
    const fs::path marker = home / "FILE";
    {
        TISpeller speller(1031, GermanEntry(std::string(GermanCmd) + " ; touch " + marker.string()), home.Path(),
                          home.Path());
        (void)speller.IsWordCorrect("Hauss");
    }
    {
        // Substitutions and pipes are characters of arguments too.
        TISpeller speller(1031,
                          GermanEntry(std::string(GermanCmd) + " $(touch " + marker.string() + ") `touch " +
                                      marker.string() + "` | touch " + marker.string()),
                          home.Path(), home.Path());
        (void)speller.IsWordCorrect("Hauss");
    }
    EXPECT_FALSE(fs::exists(marker));
}

TEST(SpellCheckerTest, SpellersAreFoundByLanguageAndEndWithTheChecker)
{
    REQUIRE_ISPELL();
    TTempDir dir;
    fs::create_directories(dir / "deutsch");
    WriteBytes(dir / "deutsch" / "ispell.ini",
               "[Deutsch]\r\nLangNo=1031\r\nCmd=" + std::string(GermanCmd) + "\r\n[Mundart]\r\nCmd=" +
                   std::string(GermanCmd) + "\r\n");
    int pid = -1;
    {
        TSpellChecker checker;
        checker.SetSpellerDirectory(dir.Path());
        EXPECT_EQ(checker.PersonalDirectory(), dir.Path());
        const std::vector<TSpellListObj> languages = checker.ListLanguages(loLocalized);
        ASSERT_EQ(languages.size(), 2u);
        EXPECT_EQ(languages[0].Name, "Deutsch (Deutschland)");

        TISpeller* german = checker.GetSpeller(1031);
        ASSERT_NE(german, nullptr);
        EXPECT_EQ(checker.GetSpeller(1031), german);
        EXPECT_EQ(german->Entry().SectionName, "Deutsch");
        EXPECT_EQ(checker.GetSpeller(1033), nullptr);
        EXPECT_TRUE(checker.IsWordCorrect("Hauss", 1033));

        EXPECT_TRUE(checker.IsWordCorrect("Hallo-Welt", 1031));
        EXPECT_FALSE(checker.IsWordCorrect("Hauss", 1031));
        EXPECT_TRUE(checker.IsWordCorrect("ABCXY", 1031));
        std::vector<std::string> suggestions;
        checker.GetSuggestions("Strase", 1031, suggestions);
        EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "Straße"), suggestions.end());
        checker.GetSuggestions("Straße", 1031, suggestions);
        EXPECT_TRUE(suggestions.empty());
        EXPECT_TRUE(checker.AddToDictionary("Quarnelwort", 1031));
        EXPECT_TRUE(checker.IsWordCorrect("Quarnelwort", 1031));

        // Language 0: the section whose name was selected.
        checker.SelectLanguage(languages[1]);
        EXPECT_EQ(checker.Language, 0);
        TISpeller* dialect = checker.GetSpeller(0);
        ASSERT_NE(dialect, nullptr);
        EXPECT_EQ(dialect->Entry().SectionName, "Mundart");
        pid = german->ProcessId();
        EXPECT_TRUE(ProcessExists(pid));
    }
    EXPECT_FALSE(ProcessExists(pid));
    EXPECT_NE(ReadText(dir / ".ispell_ngerman").find("Quarnelwort"), std::string::npos);
}

TEST(SpellCheckerTest, TheLanguageOfACharset)
{
    EXPECT_EQ(SpellLanguageOfCharset(204, 1031), 1049);
    EXPECT_EQ(SpellLanguageOfCharset(161, 1031), 1032);
    EXPECT_EQ(SpellLanguageOfCharset(0, 1031), 1031);
    EXPECT_EQ(SpellLanguageOfCharset(1, 1031), 1031);
    EXPECT_EQ(SpellLanguageOfCharset(77, 1031), 1031);
}

} // namespace
} // namespace xq

namespace xq {
namespace {

TEST(ISpellerTest, OneLockAroundEachQuestionKeepsThreadsApart)
{
    REQUIRE_ISPELL();
    TTempDir home;
    TISpeller speller(1031, GermanEntry(), home.Path(), home.Path());
    std::atomic<int> wrong{0};
    auto work = [&](int seed) {
        for (int i = 0; i < 150; ++i) {
            // Fresh words each time, so that the questions really reach ispell.
            const std::string suffix(1 + (i + seed) % 7, char('a' + (i * 7 + seed) % 26));
            if (!speller.IsWordCorrect("Haus") || speller.IsWordCorrect("Qzxv" + suffix + std::to_string(seed)))
                ++wrong;
            std::vector<std::string> list;
            speller.Suggestions(list);
        }
    };
    std::vector<std::thread> threads;
    for (int seed = 0; seed < 4; ++seed)
        threads.emplace_back(work, seed);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_FALSE(speller.IsWordCorrect("Strase"));
}

TEST(RVXQSpellTest, WordsAreCheckedInTheLanguageOfTheirStyle)
{
    REQUIRE_ISPELL();
    TTempDir dir;
    fs::create_directories(dir / "deutsch");
    WriteBytes(dir / "deutsch" / "ispell.ini", "[Deutsch]\r\nLangNo=1031\r\nCmd=" + std::string(GermanCmd) + "\r\n");
    TSpellChecker checker;
    checker.SetSpellerDirectory(dir.Path());
    TRVStyle style;
    const int german = style.TextStyles.Count();
    style.TextStyles.Add().Charset = 0;
    const int cyrillic = style.TextStyles.Count();
    style.TextStyles.Add().Charset = 204;

    TRVXQSpell bridge(checker, style);
    EXPECT_EQ(bridge.LanguageOfStyle(german), 1031);
    EXPECT_EQ(bridge.LanguageOfStyle(cyrillic), 1049);
    checker.Language = 1033;
    EXPECT_EQ(bridge.LanguageOfStyle(german), 1033);
    checker.Language = 1031;

    EXPECT_TRUE(bridge.CheckWord("Haus", german));
    EXPECT_FALSE(bridge.CheckWord("Hauss", german));
    EXPECT_TRUE(bridge.CheckWord("ß", german));
    EXPECT_TRUE(bridge.CheckWord("", german));
    // No Russian speller: its words count as correct.
    EXPECT_TRUE(bridge.CheckWord("Hauss", cyrillic));
    // Ignoring is per language.
    bridge.IgnoreList.Add("Hauss", 1049);
    EXPECT_FALSE(bridge.CheckWord("Hauss", german));
    bridge.IgnoreList.Add("Hauss", 1031);
    EXPECT_TRUE(bridge.CheckWord("Hauss", german));
    EXPECT_EQ(bridge.IgnoreList.Count(), 2u);

    bridge.ReplaceList.Add("Strase", "Strasse", 1031);
    bridge.ReplaceList.Add("Strase", "Straße", 1031);
    ASSERT_NE(bridge.ReplaceList.Find("Strase", 1031), nullptr);
    EXPECT_EQ(bridge.ReplaceList.Find("Strase", 1031)->Replacement, "Straße");
    EXPECT_EQ(bridge.ReplaceList.Find("Strase", 1049), nullptr);
    EXPECT_EQ(bridge.ReplaceList.Count(), 1u);
}

} // namespace
} // namespace xq

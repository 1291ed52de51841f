// The speller directory, the languages of its "ispell.ini" files and the parsing of replies.
#include "spelling/SpellLanguages.h"
#include "spelling/ISpeller.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;
using test::WriteBytes;

TEST(SpellerDirectoryTest, AnEmptyKeyIsWrittenWithTheProgramDirectory)
{
    TTempDir exe;
    EXPECT_EQ(FindSpellerDirectory({exe / "registry.ini"}, exe.Path()), exe.Path());
    TIniFile shared(exe / "XQSpell.dic");
    EXPECT_EQ(shared.ReadString("XQSpell", "P"), exe.Path().string());

    // A key that names a directory is used; one that names none falls back to the program directory.
    TTempDir speller;
    WriteBytes(exe / "XQSpell.dic", "[XQSpell]\r\nP=" + speller.Path().string() + "/\r\n");
    EXPECT_EQ(FindSpellerDirectory({}, exe.Path()), speller.Path());
    WriteBytes(exe / "XQSpell.dic", "[XQSpell]\r\nP=" + (speller / "missing").string() + "\r\n");
    EXPECT_EQ(FindSpellerDirectory({}, exe.Path()), exe.Path());
}

TEST(SpellerDirectoryTest, TheRegistryCountsOnlyWithItsMarker)
{
    TTempDir exe;
    TTempDir fromRegistry;
    TTempDir fromKey;
    WriteBytes(exe / "XQSpell.dic", "[XQSpell]\r\nP=" + fromKey.Path().string() + "\r\n");
    const std::string value = "[Software\\Quarnel\\Pallwick]\r\nspeller=" + fromRegistry.Path().string() + "\r\n";
    WriteBytes(exe / "registry.ini", value + "usesp={7Q41KMZX58}\r\n");
    EXPECT_EQ(FindSpellerDirectory({exe / "registry.ini"}, exe.Path()), fromRegistry.Path());
    WriteBytes(exe / "registry.ini", value + "usesp={7Q41KMZX59}\r\n");
    EXPECT_EQ(FindSpellerDirectory({exe / "registry.ini"}, exe.Path()), fromKey.Path());
    WriteBytes(exe / "registry.ini", value);
    EXPECT_EQ(FindSpellerDirectory({exe / "registry.ini"}, exe.Path()), fromKey.Path());
    // A marked registry value naming no directory gives the program directory, not the key.
    WriteBytes(exe / "registry.ini", "[Software\\Quarnel\\Pallwick]\r\nspeller=/nonexistent\r\nusesp={7Q41KMZX58}\r\n");
    EXPECT_EQ(FindSpellerDirectory({exe / "registry.ini"}, exe.Path()), exe.Path());
}

TEST(SpellLanguagesTest, SectionsBecomeLanguagesWithTheirDefaults)
{
    TTempDir dir;
    fs::create_directories(dir / "deutsch");
    fs::create_directories(dir / "a-extra");
    fs::create_directories(dir / "leer");
    WriteBytes(dir / "deutsch" / "ispell.ini",
               "[deutsch]\r\nLangNo=1031\r\nCmd=ispell -a -d ngerman\r\nCharset=\r\n"
               "[Schw\xE4" "bisch]\r\nLangNo=kaputt\r\nCmd=ispell -a -d schwaebisch\r\nSurrogate=x\r\nFlag=sw\r\n");
    WriteBytes(dir / "a-extra" / "ispell.ini", "[]\r\nCmd=%UNIRED%ispell/bin/ispell -a\r\nCharset=UTF-8\r\n");
    WriteBytes(dir / "a-file", "not a directory");

    const std::vector<TSpellListObj> languages = ListSpellLanguages(dir.Path(), loLocalized);
    ASSERT_EQ(languages.size(), 3u);
    // Subdirectories by name, sections in file order.
    EXPECT_EQ(languages[0].Name, "a-extra");
    EXPECT_EQ(languages[0].SectionName, "a-extra");
    EXPECT_EQ(languages[0].Flag, "a-extra");
    EXPECT_EQ(languages[0].Surrogate, "-");
    EXPECT_EQ(languages[0].Charset, "UTF-8");
    EXPECT_EQ(languages[1].Name, "Deutsch (Deutschland)");
    EXPECT_EQ(languages[1].SectionName, "deutsch");
    EXPECT_EQ(languages[1].LangNo, 1031);
    EXPECT_EQ(languages[1].Cmd, "ispell -a -d ngerman");
    EXPECT_EQ(languages[1].SpellerType, sptISpell);
    EXPECT_EQ(languages[1].Directory, dir / "deutsch");
    EXPECT_EQ(languages[2].Name, "Schwäbisch");
    EXPECT_EQ(languages[2].LangNo, 0);
    EXPECT_EQ(languages[2].Surrogate, "x");
    EXPECT_EQ(languages[2].Flag, "sw");

    EXPECT_EQ(ListSpellLanguages(dir.Path(), loEnglish)[1].Name, "German (Germany)");
    EXPECT_EQ(ListSpellLanguages(dir.Path(), loAbbrev)[1].Name, "DEU");
    EXPECT_TRUE(ListSpellLanguages(dir / "missing", loLocalized).empty());
    EXPECT_EQ(LanguageName(3079, loLocalized), "Deutsch (Österreich)");
    EXPECT_EQ(LanguageName(99999, loLocalized), "");
}

TEST(SpellLanguagesTest, TheBundledGermanSpellerRunsTheSystemIspell)
{
    const std::vector<TSpellListObj> languages =
        ListSpellLanguages(fs::path(XQ_SOURCE_DIR) / "data" / "speller", loLocalized);
    ASSERT_EQ(languages.size(), 1u);
    EXPECT_EQ(languages[0].Name, "Deutsch (Deutschland)");
    EXPECT_EQ(languages[0].LangNo, 1031);
    const std::vector<std::string> arguments = SplitCommandLine(languages[0].Cmd);
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(arguments[0], "ispell");
    // Compound words are accepted only with -C.
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "-C"), arguments.end());
}

TEST(SpellLanguagesTest, CommandPlaceholderAndCharsets)
{
    EXPECT_EQ(ExpandSpellerCommand("%uniRED%ISPELL/ispell -p %UniRed%ispell/de.dic", "/opt/sp/"),
              "/opt/sp/ispell -p /opt/sp/de.dic");
    EXPECT_EQ(ExpandSpellerCommand("%UniRed%ispel", "/opt/sp"), "%UniRed%ispel");
    EXPECT_EQ(SpellerCodePage("utf-8"), 65001);
    EXPECT_EQ(SpellerCodePage(""), 1252);
    EXPECT_EQ(SpellerCodePage("windows-1251"), 1251);
    EXPECT_EQ(SpellerCodePage("cp1259"), 1252);
    EXPECT_EQ(SpellerCodePage("koi8-r"), 20866);
    EXPECT_EQ(SpellerCodePage("iso-8859-5"), 1252);
    EXPECT_EQ(SpellerCodePageFor("", 1049), Koi8RCodePage);
    EXPECT_EQ(SpellerCodePageFor("", 1058), Koi8RCodePage);
    EXPECT_EQ(SpellerCodePageFor("UTF-8", 1049), Utf8CodePage);
    EXPECT_EQ(SpellerCodePageFor("", 1031), 1252);
}

TEST(SpellerWordCodeTest, WordsInTheSpellersCodeAndBack)
{
    std::string bytes;
    ASSERT_TRUE(EncodeSpellerWord("Straße", 1252, bytes));
    EXPECT_EQ(bytes, "Stra\xDF" "e");
    EXPECT_EQ(DecodeSpellerText(bytes, 1252), "Straße");
    ASSERT_TRUE(EncodeSpellerWord("Straße", Utf8CodePage, bytes));
    EXPECT_EQ(bytes, "Straße");
    // Every Cyrillic letter of KOI8-R as the standard table has it, and back.
    const std::string russian = "ЁёАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя";
    ASSERT_TRUE(EncodeSpellerWord(russian.substr(0, 40), Koi8RCodePage, bytes));
    EXPECT_EQ(bytes, "\xB3\xA3\xE1\xE2\xF7\xE7\xE4\xE5\xF6\xFA\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF2\xF3");
    for (std::size_t from = 0; from < russian.size(); from += 40) {
        ASSERT_TRUE(EncodeSpellerWord(russian.substr(from, 40), Koi8RCodePage, bytes));
        EXPECT_EQ(DecodeSpellerText(bytes, Koi8RCodePage), russian.substr(from, 40));
    }
    ASSERT_TRUE(EncodeSpellerWord("мир", Koi8RCodePage, bytes));
    EXPECT_EQ(bytes, "\xCD\xC9\xD2");
    // Characters the code cannot hold, control characters and overlong words are not sent.
    EXPECT_FALSE(EncodeSpellerWord("Straße", Koi8RCodePage, bytes));
    EXPECT_FALSE(EncodeSpellerWord("мир", 1252, bytes));
    EXPECT_TRUE(EncodeSpellerWord("Wie?", 1252, bytes));
    EXPECT_FALSE(EncodeSpellerWord("Ha\tus", 1252, bytes));
    EXPECT_FALSE(EncodeSpellerWord("Ha\x7Fus", Utf8CodePage, bytes));
    EXPECT_FALSE(EncodeSpellerWord("", 1252, bytes));
    EXPECT_TRUE(EncodeSpellerWord(std::string(MaxSpellWordBytes, 'a'), 1252, bytes));
    EXPECT_FALSE(EncodeSpellerWord(std::string(MaxSpellWordBytes + 1, 'a'), 1252, bytes));
}

TEST(SuggestionsOfReplyTest, TheListAfterTheColonInIspellsOrder)
{
    EXPECT_EQ(SuggestionsOfReply("& wrod 3 0: word, wrong, ward"),
              (std::vector<std::string>{"word", "wrong", "ward"}));
    EXPECT_EQ(SuggestionsOfReply("? Hausse 2 5:   Haus ,, Hass,"), (std::vector<std::string>{"Haus", "Hass"}));
    EXPECT_TRUE(SuggestionsOfReply("# wrod 0").empty());
    EXPECT_TRUE(SuggestionsOfReply("& wrod 3 0 no colon").empty());
    EXPECT_TRUE(SuggestionsOfReply("").empty());
    EXPECT_TRUE(SuggestionsOfReply("*").empty());
}

TEST(SpellWordDelimitersTest, TheThirtyTwoDelimiters)
{
    EXPECT_EQ(SpellWordDelimiters.size(), 32u);
    for (char c : std::string_view(" <>!.,;:/\\|\"[]{}()+_=`~@&$%^*?#-"))
        EXPECT_TRUE(IsSpellWordDelimiter(c)) << c;
    for (char c : std::string_view("aZ09'\t\xE4"))
        EXPECT_FALSE(IsSpellWordDelimiter(c)) << int(c);
}

} // namespace
} // namespace xq

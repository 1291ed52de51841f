// Tests of the AutoText store: the list file, naming new entries with every refusal, the dialog state and
// the host hand-over.
#include "tools/AutoTextStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace xq {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

namespace fs = std::filesystem;

TEST(AutoTextBlanksTest, CleansBlanksOfCode32AndBelow)
{
    const std::string text = "\t\x01 Brief \x1F 1 \r\n";
    EXPECT_EQ(CleanStartBlanks(text), "Brief \x1F 1 \r\n");
    EXPECT_EQ(CleanEndBlanks(text), "\t\x01 Brief \x1F 1");
    EXPECT_EQ(CleanBlanks(text), "Brief \x1F 1");
    EXPECT_EQ(CleanAllBlanks(text), "Brief1");
    EXPECT_EQ(CleanAllBlanks(" \t "), "");
    EXPECT_EQ(AutoTextFileName(" Grüße an Sie "), "GrüßeanSie.xtb"); // bytes of umlauts are no blanks
}

TEST(AutoTextBlanksTest, KeyFilterPassesOnlyTheShortcutCharacters)
{
    for (char32_t ch : {U'\b', U'\r', U' ', U'$', U'%', U'-', U'0', U'9', U'A', U'Z', U'_', U'a', U'z', U'~', U'§',
                        U'Ä', U'Ö', U'Ü', U'ß', U'ä', U'ö', U'ü'})
        EXPECT_TRUE(IsShortcutKeyAccepted(ch)) << int(ch);
    for (char32_t ch : {U'\t', U'\n', U'.', U'/', U'\\', U':', U'*', U'?', U'!', U'#', U'é', U'€', U'ẞ', U'@', U'[',
                        U'`', U'{', U'\x7F', U'\xA0', U'😀'})
        EXPECT_FALSE(IsShortcutKeyAccepted(ch)) << int(ch);
    EXPECT_EQ(FilterShortcutText("../Brief\t1 ä€😀\r"), "Brief1 ä");
}

/// A working directory with an AutoText folder.
class AutoTextStoreTest : public ::testing::Test {
protected:
    fs::path Folder() const { return Dir / "AText"; }
    fs::path ListFile() const { return Folder() / "AutoText.lst"; }
    void WriteList(std::string_view bytes)
    {
        fs::create_directories(Folder());
        WriteBytes(ListFile(), bytes);
    }

    TTempDir Dir;
    TAutoTextStore Store{Dir.Path()};
};

TEST_F(AutoTextStoreTest, ReadsEntriesUpToTheFirstGap)
{
    WriteList("[1]\r\nN=Brief1\r\nK=Briefkopf M\xFCller\r\nI=Brief1.xtb\r\n\r\n"
              "[2]\r\nn=Gr\xFC\xDF" "e\r\nk=Gru\xDF\r\ni=Gr\xFC\xDF" "e.xtb\r\n\r\n"
              "[4]\r\nN=Hinter der L\xFC" "cke\r\nK=x\r\nI=x.xtb\r\n");
    ASSERT_TRUE(Store.Load());
    EXPECT_TRUE(Store.ListFileExists());
    EXPECT_EQ(Store.Entries(), (std::vector<TAutoTextEntry>{{1, "Brief1", "Briefkopf Müller", "Brief1.xtb"},
                                                            {2, "Grüße", "Gruß", "Grüße.xtb"}}));
    EXPECT_EQ(Store.EntryPath(Store.Entries()[1]), Folder() / "Grüße.xtb");
    EXPECT_EQ(Store.FindEntry(3), nullptr);
    EXPECT_EQ(Store.FindEntry(0), nullptr);
    ASSERT_NE(Store.FindEntry(2), nullptr);
    EXPECT_EQ(Store.FindEntry(2)->ShortName, "Gruß");
}

TEST_F(AutoTextStoreTest, MissingOrDamagedListsGiveNoEntries)
{
    EXPECT_TRUE(Store.Load());
    EXPECT_FALSE(Store.ListFileExists());
    EXPECT_TRUE(Store.Entries().empty());

    WriteList("[1]\r\nK=no shortcut\r\nI=a.xtb\r\n[2]\r\nN=unreached\r\n");
    EXPECT_TRUE(Store.Load());
    EXPECT_TRUE(Store.Entries().empty());

    fs::remove(ListFile());
    fs::create_directory(ListFile());
    std::string error;
    EXPECT_FALSE(Store.Load(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(Store.Entries().empty());
}

TEST_F(AutoTextStoreTest, EntryFileNamesCannotLeaveTheFolder)
{
    for (const char* bad : {"", ".", "..", "../mru.ini", "/etc/passwd", "Sub\\Brief.xtb"})
        EXPECT_TRUE(Store.EntryPath({1, "a", "b", bad}).empty()) << bad;
    EXPECT_EQ(Store.EntryPath({1, "a", "b", "..Brief.xtb"}), Folder() / "..Brief.xtb");
}

TEST_F(AutoTextStoreTest, NamingStoresTheCleanedShortcutAndItsFileName)
{
    const TAutoTextNaming named = Store.NameNewEntry(" Brief 1 ", "  Briefkopf für Müller\t");
    ASSERT_EQ(named.Result, TAutoTextNamingResult::Named);
    EXPECT_FALSE(named.Refused());
    EXPECT_TRUE(named.Messages.empty());
    EXPECT_EQ(named.Shortcut, "Brief 1");
    EXPECT_EQ(named.ShortName, "Briefkopf für Müller");
    EXPECT_EQ(named.Number, 1);
    EXPECT_EQ(named.EntryPath, Folder() / "Brief1.xtb");
    EXPECT_EQ(named.LastEntryName, "Brief1");
    EXPECT_EQ(ReadBytes(ListFile()), "[1]\r\nN=Brief 1\r\nK=Briefkopf f\xFCr M\xFCller\r\nI=Brief1.xtb\r\n\r\n");

    const TAutoTextNaming second = Store.NameNewEntry("Grüße", "Pfeil → rechts");
    ASSERT_EQ(second.Result, TAutoTextNamingResult::Named);
    EXPECT_EQ(second.Number, 2);
    EXPECT_EQ(second.ShortName, "Pfeil ? rechts"); // what the list file can hold
    EXPECT_EQ(second.EntryPath, Folder() / "Grüße.xtb");
    EXPECT_EQ(ReadBytes(ListFile()), "[1]\r\nN=Brief 1\r\nK=Briefkopf f\xFCr M\xFCller\r\nI=Brief1.xtb\r\n\r\n"
                                     "[2]\r\nN=Gr\xFC\xDF" "e\r\nK=Pfeil ? rechts\r\nI=Gr\xFC\xDF" "e.xtb\r\n\r\n");

    // The round trip through the file gives the same entries.
    TAutoTextStore reread(Dir.Path());
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.Entries(), Store.Entries());
}

TEST_F(AutoTextStoreTest, NamingRefusesEmptyFieldsWithTheirMessage)
{
    const std::string message = "Alle Felder müssen Angaben enthalten! ";
    for (const auto& [shortcut, shortName] : std::vector<std::pair<std::string, std::string>>{
             {"", "Kurz"}, {" \t ", "Kurz"}, {"Brief", ""}, {"Brief", "\x01\x02 "}}) {
        const TAutoTextNaming refused = Store.NameNewEntry(shortcut, shortName);
        EXPECT_EQ(refused.Result, TAutoTextNamingResult::EmptyField);
        EXPECT_EQ(refused.Messages, (std::vector<TAutoTextMessage>{{message, "Fehler", TMsgIcon::Error}}));
        EXPECT_EQ(refused.Focus, TAutoTextField::Shortcut);
        EXPECT_TRUE(refused.EntryPath.empty());
    }
    EXPECT_FALSE(fs::exists(ListFile()));
    EXPECT_TRUE(fs::is_directory(Folder())); // the folder comes first, whatever the input
}

TEST_F(AutoTextStoreTest, NamingRefusesTakenShortcutsAndShortNames)
{
    ASSERT_FALSE(Store.NameNewEntry("Brief 1", "Briefkopf").Refused());
    const std::string listBefore = ReadBytes(ListFile());

    struct TCase {
        std::string Shortcut, ShortName;
        TAutoTextNamingResult Result;
        std::string Message;
        TAutoTextField Focus;
    };
    const std::vector<TCase> cases = {
        {"BRIEF 1 ", "Neu", TAutoTextNamingResult::DuplicateShortcut,
         "Der Eintrag BRIEF 1 ist bereites\rals Tastenkürzel vorhanden!", TAutoTextField::Shortcut},
        // Differs only in blanks: it would name the same file "Brief1.xtb" and overwrite the entry.
        {"Brief1", "Neu", TAutoTextNamingResult::DuplicateShortcut,
         "Der Eintrag Brief1 ist bereites\rals Tastenkürzel vorhanden!", TAutoTextField::Shortcut},
        {"B rief  1", "Neu", TAutoTextNamingResult::DuplicateShortcut,
         "Der Eintrag B rief  1 ist bereites\rals Tastenkürzel vorhanden!", TAutoTextField::Shortcut},
        {"Brief2", " briefKOPF ", TAutoTextNamingResult::DuplicateShortName,
         "Der Eintrag briefKOPF ist bereites\rals Kurzbezeichnung vorhanden!", TAutoTextField::ShortName},
        {"Brief/2", "Neu", TAutoTextNamingResult::InvalidShortcut, "Das Tastenkürzel enthält unzulässige Zeichen!",
         TAutoTextField::Shortcut},
        {"..", "Neu", TAutoTextNamingResult::InvalidShortcut, "Das Tastenkürzel enthält unzulässige Zeichen!",
         TAutoTextField::Shortcut},
    };
    for (const TCase& c : cases) {
        const TAutoTextNaming refused = Store.NameNewEntry(c.Shortcut, c.ShortName);
        EXPECT_EQ(refused.Result, c.Result) << c.Shortcut;
        EXPECT_EQ(refused.Messages, (std::vector<TAutoTextMessage>{{c.Message, "Fehler", TMsgIcon::Error}}));
        EXPECT_EQ(refused.Focus, c.Focus) << c.Shortcut;
    }
    EXPECT_EQ(ReadBytes(ListFile()), listBefore);
    EXPECT_EQ(Store.Entries().size(), 1u);
}

TEST_F(AutoTextStoreTest, NamingCutsTextsToTheBoxLengths)
{
    const TAutoTextNaming named = Store.NameNewEntry("ÄÖÜäöüß1234567890abcdefgh", std::string(150, 'x') + std::string(60, 'y'));
    ASSERT_EQ(named.Result, TAutoTextNamingResult::Named);
    EXPECT_EQ(named.Shortcut, "ÄÖÜäöüß1234567890abc");
    EXPECT_EQ(named.ShortName, std::string(150, 'x') + std::string(50, 'y'));
    EXPECT_EQ(named.LastEntryName, "ÄÖÜäöüß1234567890abc");
    // Cut first, cleaned after: the blank that becomes the end goes.
    EXPECT_EQ(Store.NameNewEntry("abcdefghijklmnopqrs tuv", "k2").Shortcut, "abcdefghijklmnopqrs");
}

TEST_F(AutoTextStoreTest, NamingLooksAtSectionsPastAGapAndReplacesAStaleSection)
{
    WriteList("[1]\r\nN=Eins\r\nK=Erster\r\nI=Eins.xtb\r\n\r\n"
              "[2]\r\nK=Reste\r\nX=alt\r\n\r\n"
              "[3]\r\nN=Drei\r\nK=Dritter\r\nI=Drei.xtb\r\n\r\n");
    ASSERT_TRUE(Store.Load());
    ASSERT_EQ(Store.Entries().size(), 1u);
    // Entry 3 is not shown, but its file would be overwritten.
    EXPECT_EQ(Store.NameNewEntry("Dr ei", "Neu").Result, TAutoTextNamingResult::DuplicateShortcut);

    const TAutoTextNaming named = Store.NameNewEntry("Zwei", "Zweiter");
    ASSERT_EQ(named.Result, TAutoTextNamingResult::Named);
    EXPECT_EQ(named.Number, 2);
    EXPECT_EQ(ReadBytes(ListFile()), "[1]\r\nN=Eins\r\nK=Erster\r\nI=Eins.xtb\r\n\r\n"
                                     "[3]\r\nN=Drei\r\nK=Dritter\r\nI=Drei.xtb\r\n\r\n"
                                     "[2]\r\nN=Zwei\r\nK=Zweiter\r\nI=Zwei.xtb\r\n\r\n");
    ASSERT_TRUE(Store.Load());
    EXPECT_EQ(Store.Entries().size(), 3u); // the gap is closed
}

TEST_F(AutoTextStoreTest, NamingReReadsTheListAndStopsAtItsLimit)
{
    std::string list;
    for (int n = 1; n <= MaxAutoTextEntries; ++n)
        list += "[" + std::to_string(n) + "]\r\nN=e" + std::to_string(n) + "\r\nK=k" + std::to_string(n) + "\r\nI=e" +
                std::to_string(n) + ".xtb\r\n";
    WriteList(list); // written after the store was made: naming reads it anew
    const TAutoTextNaming refused = Store.NameNewEntry("neu", "neu");
    EXPECT_EQ(refused.Result, TAutoTextNamingResult::ListFull);
    ASSERT_EQ(refused.Messages.size(), 1u);
    EXPECT_EQ(refused.Messages[0].Text, "Es können keine weiteren Autotexteinträge angelegt werden!");
    EXPECT_EQ(Store.NameNewEntry("e1000", "neu").Result, TAutoTextNamingResult::DuplicateShortcut);
    EXPECT_EQ(ReadBytes(ListFile()), list);
}

TEST_F(AutoTextStoreTest, AFolderThatCannotBeMadeIsToldAndNothingIsNamed)
{
    WriteBytes(Folder(), "a file where the folder belongs");
    const TAutoTextNaming refused = Store.NameNewEntry("Brief", "Kopf");
    EXPECT_EQ(refused.Result, TAutoTextNamingResult::ListNotSaved);
    EXPECT_EQ(refused.Messages, (std::vector<TAutoTextMessage>{
                                    {"Ordner für Autotexte kann nicht erstellt werden. ", "Fehler", TMsgIcon::Error}}));
    EXPECT_TRUE(refused.EntryPath.empty());
    EXPECT_TRUE(Store.Entries().empty());

    // The folder message also comes before any other refusal.
    EXPECT_EQ(Store.NameNewEntry("", "Kopf").Messages.size(), 2u);

    // An unreadable list is not replaced by one holding only the new entry.
    fs::remove(Folder());
    fs::create_directories(ListFile());
    const TAutoTextNaming notSaved = Store.NameNewEntry("Brief", "Kopf");
    EXPECT_EQ(notSaved.Result, TAutoTextNamingResult::ListNotSaved);
    ASSERT_EQ(notSaved.Messages.size(), 1u);
    EXPECT_EQ(notSaved.Messages[0].Text, "Die Autotextliste kann nicht gespeichert werden!");
    EXPECT_TRUE(fs::is_directory(ListFile()));
}

TEST_F(AutoTextStoreTest, ChooserSelectsEntriesAcrossBothLists)
{
    WriteList("[1]\nN=a\nK=Alpha\nI=a.xtb\n[2]\nN=b\nK=Beta\nI=b.xtb\n[3]\nN=c\nK=Gamma\nI=../c.xtb\n");
    WriteBytes(Folder() / "a.xtb", "-8 1 0\n");
    TAutoTextChooser chooser(Store, AutoTextModeOpen);
    EXPECT_EQ(chooser.DialogMode(), AutoTextModeOpen);
    EXPECT_FALSE(chooser.NoListFile());
    EXPECT_EQ(chooser.ShortcutList(), (std::vector<TAutoTextListItem>{{"a", 1}, {"b", 2}, {"c", 3}}));
    EXPECT_EQ(chooser.ShortNameList(), (std::vector<TAutoTextListItem>{{"Alpha", 1}, {"Beta", 2}, {"Gamma", 3}}));
    EXPECT_EQ(chooser.ShortcutIndex(), 0);
    EXPECT_EQ(chooser.ShortNameIndex(), 0);
    EXPECT_EQ(chooser.CurrentEntry(), 0);
    EXPECT_EQ(chooser.EntryPath(), Folder() / "a.xtb");
    EXPECT_EQ(chooser.CheckInsert(), std::nullopt);

    chooser.SelectShortName(1);
    EXPECT_EQ(chooser.ShortcutIndex(), 1);
    EXPECT_EQ(chooser.CurrentEntry(), 1);
    EXPECT_EQ(chooser.EntryPath(), Folder() / "b.xtb");
    const std::optional<TAutoTextMessage> missing = chooser.CheckInsert();
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->Text, "Gewählter Autotext-Eintrag ist nicht vorhanden.\rBitte wählen Sie einen anderen Eintrag.");

    chooser.SelectShortcut(2);
    EXPECT_EQ(chooser.ShortNameIndex(), 2);
    EXPECT_TRUE(chooser.EntryPath().empty()); // a file name leaving the folder is not followed
    EXPECT_TRUE(chooser.CheckInsert().has_value());
    chooser.SelectShortcut(3);
    chooser.SelectShortName(-1);
    EXPECT_EQ(chooser.CurrentEntry(), 2);

    chooser.SelectShortcut(0);
    chooser.RequestOpen();
    EXPECT_EQ(chooser.DialogMode(), AutoTextModeOpenFromDialog);
    EXPECT_EQ(chooser.EntryPath(), Folder() / "a.xtb");
    EXPECT_FALSE(chooser.Cancel());
    EXPECT_TRUE(chooser.EntryPath().empty());
}

TEST_F(AutoTextStoreTest, ChooserWithoutEntriesTellsSoExceptWhenNaming)
{
    TAutoTextChooser insert(Store, AutoTextModeInsert);
    EXPECT_EQ(insert.DialogMode(), AutoTextModeNoEntries);
    EXPECT_TRUE(insert.NoListFile());
    EXPECT_EQ(insert.Texts().Caption, "Kein Autotexteintrag gefunden");
    EXPECT_EQ(insert.CurrentEntry(), -1);
    EXPECT_TRUE(insert.Cancel()); // the main window then starts a new document

    TAutoTextChooser naming(Store, AutoTextModeNewEntry);
    EXPECT_EQ(naming.DialogMode(), AutoTextModeNewEntry);
    EXPECT_TRUE(naming.NoListFile());
    const TAutoTextNaming refused = naming.Save("Brief", " ");
    EXPECT_TRUE(refused.Refused());
    EXPECT_TRUE(naming.Refused());
    EXPECT_TRUE(naming.NoListFile());
    const TAutoTextNaming named = naming.Save(" Brief 1", "Kopf ");
    ASSERT_FALSE(named.Refused());
    EXPECT_FALSE(naming.Refused());
    EXPECT_FALSE(naming.NoListFile());
    EXPECT_EQ(naming.ShortcutList(), (std::vector<TAutoTextListItem>{{"Brief 1", 1}}));
    EXPECT_EQ(naming.ShortNameList(), (std::vector<TAutoTextListItem>{{"Kopf", 1}}));
    EXPECT_EQ(naming.ShortcutIndex(), 0);
    EXPECT_EQ(naming.CurrentEntry(), 0);
    EXPECT_EQ(naming.EntryPath(), Folder() / "Brief1.xtb");
    EXPECT_FALSE(naming.Cancel());

    // With entries, the naming boxes start without a selection.
    TAutoTextChooser again(Store, AutoTextModeNewEntry);
    EXPECT_EQ(again.ShortcutList().size(), 1u);
    EXPECT_EQ(again.ShortcutIndex(), -1);
    EXPECT_TRUE(again.EntryPath().empty());
}

TEST(AutoTextHandOverTest, WritesTheNameIntoTheComputersSectionOrNew)
{
    TTempDir exeDir;
    const fs::path dic = exeDir / "XQSpell.dic";
    const std::string shared = "[XQSpell]\r\nP=/opt/quarnel/\r\n[NEW]\r\nF=alt\r\n";
    WriteBytes(dic, shared);
    ASSERT_TRUE(HandOverNewEntry(exeDir.Path(), "PC1", "Grüße"));
    EXPECT_EQ(ReadBytes(dic), "[XQSpell]\r\nP=/opt/quarnel/\r\n[NEW]\r\nF=Gr\xFC\xDF" "e\r\n");

    WriteBytes(dic, shared + "[newpc1]\r\n; for this computer\r\n");
    ASSERT_TRUE(HandOverNewEntry(exeDir.Path(), "PC1", "Brief1"));
    EXPECT_EQ(ReadBytes(dic), shared + "[newpc1]\r\n; for this computer\r\nF=Brief1\r\n");

    fs::remove(dic);
    ASSERT_TRUE(HandOverNewEntry(exeDir.Path(), "PC1", "Brief1"));
    EXPECT_EQ(ReadBytes(dic), "[NEW]\r\nF=Brief1\r\n\r\n");

    fs::remove(dic);
    fs::create_directory(dic);
    std::string error;
    EXPECT_FALSE(HandOverNewEntry(exeDir.Path(), "PC1", "Brief1", &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace xq

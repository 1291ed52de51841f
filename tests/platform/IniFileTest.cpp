// Tests of the INI profile files: lookups, values, writing that keeps the rest, code pages, bad files.
#include "platform/IniFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace xq {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;
using namespace std::string_literals;

TIniFile Parse(std::string_view bytes)
{
    TIniFile ini;
    ini.LoadFromBytes(bytes);
    return ini;
}

TEST(IniFileLookupTest, NamesCompareWithoutCaseAndFirstOccurrenceWins)
{
    const TIniFile ini = Parse("[Spell]\r\nLang=first\r\nLANG=second\r\n"
                               "[spell]\r\nLang=other section\r\nExtra=only here\r\n"
                               "[Gr\xF6\xDF" "e]\r\n\xC4nderung=ja\r\n"); // code page 1252 on disk
    EXPECT_EQ(ini.ReadString("SPELL", "lang"), "first");
    EXPECT_EQ(ini.ReadString("spell", "Extra", "none"), "none"); // only the first section is read
    EXPECT_FALSE(ini.SectionExists("GRÖSSE"));                  // letters fold one to one, no more
    EXPECT_EQ(ini.ReadString("GRÖßE", "äNDERUNG"), "ja");
    EXPECT_TRUE(SameTextIgnoringCase("ŒUVRE Šter Žeta Ÿ", "œuvre šter žeta ÿ"));
    EXPECT_FALSE(SameTextIgnoringCase("×", "÷")); // the multiplication sign is no letter
    // Compared unit by unit: a lead byte at the end, lengths that differ, a difference after
    // a folded two-byte letter.
    EXPECT_TRUE(SameTextIgnoringCase("Times New Roman", "TIMES NEW ROMAN"));
    EXPECT_TRUE(SameTextIgnoringCase("\xC3", "\xC3"));
    EXPECT_FALSE(SameTextIgnoringCase("Arial", "Arial "));
    EXPECT_FALSE(SameTextIgnoringCase("ÄrialX", "ärialY"));
    EXPECT_FALSE(SameTextIgnoringCase("\xC3\x80", "\xC3\x81"));
    EXPECT_TRUE(SameTextIgnoringCase("", ""));
}

TEST(IniFileLookupTest, ValuesAreTrimmedAndLoseEnclosingQuotes)
{
    const TIniFile ini = Parse("[S]\n"
                               "  Plain  =  two words \t\n"
                               "Quoted=\" padded \"\n"
                               "Single=' x '\n"
                               "Mixed=\"open'\n"
                               "Inner=a \"b\" c\n"
                               "Lone=\"\n"
                               "Empty=\n"
                               "Eq=a=b\n");
    EXPECT_EQ(ini.ReadString("S", "plain"), "two words");
    EXPECT_EQ(ini.ReadString("S", "Quoted"), " padded ");
    EXPECT_EQ(ini.ReadString("S", "Single"), " x ");
    EXPECT_EQ(ini.ReadString("S", "Mixed"), "\"open'");
    EXPECT_EQ(ini.ReadString("S", "Inner"), "a \"b\" c");
    EXPECT_EQ(ini.ReadString("S", "Lone"), "\"");
    EXPECT_EQ(ini.ReadString("S", "Empty", "default"), ""); // present but empty is not missing
    EXPECT_EQ(ini.ReadString("S", "Eq"), "a=b");
    EXPECT_EQ(ini.ReadString("S", "Missing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Nowhere", "Plain", "default"), "default");
}

TEST(IniFileLookupTest, OnlyKeyLinesInsideSectionsAreKeys)
{
    const TIniFile ini = Parse("Outside=1\n"
                               "[ Padded Name ]  \n"
                               ";Comment=1\n"
                               "no equals sign\n"
                               "=no key\n"
                               "[broken header\n"
                               "Real=yes\n"
                               "[]\n"
                               "InEmpty=1\n");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Padded Name", ""}));
    EXPECT_EQ(ini.ReadSectionKeys("padded name"), (std::vector<std::string>{"Real"}));
    EXPECT_FALSE(ini.ValueExists("Padded Name", ";Comment"));
    EXPECT_EQ(ini.ReadString("", "InEmpty"), "1");
    EXPECT_FALSE(ini.ValueExists("", "Outside"));
}

TEST(IniFileLookupTest, ListsSectionsAndKeysOnceInFileOrder)
{
    const TIniFile ini = Parse("[B]\nz=1\na=2\nZ=3\n[A]\n[b]\nq=1\n[Empty]\n");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"B", "A", "Empty"}));
    EXPECT_EQ(ini.ReadSectionKeys("b"), (std::vector<std::string>{"z", "a"}));
    EXPECT_TRUE(ini.ReadSectionKeys("missing").empty());
    EXPECT_TRUE(ini.SectionExists("empty")); // a header without keys is a section
    EXPECT_FALSE(ini.SectionExists("C"));
    EXPECT_TRUE(ini.ValueExists("B", "A"));
    EXPECT_FALSE(ini.ValueExists("B", "q"));
}

TEST(IniFileLookupTest, ReadsIntegersAndBooleans)
{
    const TIniFile ini = Parse("[N]\nDec=42\nNeg=-17\nPlus=+5\nHex=0x1F\nDollar=$ff\nAll=$FFFFFFFF\n"
                               "Tail=12abc\nHuge=99999999999\nMax=2147483647\nMin=-2147483648\nBare=0x\n"
                               "Quoted=\"7\"\nZero=0\nSpace=1 2\n");
    EXPECT_EQ(ini.ReadInteger("N", "Dec", -1), 42);
    EXPECT_EQ(ini.ReadInteger("N", "Neg", -1), -17);
    EXPECT_EQ(ini.ReadInteger("N", "Plus", -1), 5);
    EXPECT_EQ(ini.ReadInteger("N", "Hex", -1), 31);
    EXPECT_EQ(ini.ReadInteger("N", "Dollar", -1), 255);
    EXPECT_EQ(ini.ReadInteger("N", "All", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "Max", 0), 2147483647);
    EXPECT_EQ(ini.ReadInteger("N", "Min", 0), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "Quoted", -1), 7);
    for (const char* bad : {"Tail", "Huge", "Bare", "Space", "Missing"})
        EXPECT_EQ(ini.ReadInteger("N", bad, -9), -9) << bad;
    EXPECT_TRUE(ini.ReadBool("N", "Dec", false));
    EXPECT_FALSE(ini.ReadBool("N", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "Tail", true));
    EXPECT_FALSE(ini.ReadBool("N", "Missing", false));
}

TEST(IniFileWriteTest, ChangingAValueKeepsEveryOtherLine)
{
    TIniFile ini = Parse("; settings of the family\r\n"
                         "Loose line\r\n"
                         "[XQSpell]\r\n"
                         "  DOIT = 0 ; old\r\n"
                         "; note\r\n"
                         "doit=shadowed\r\n"
                         "\r\n"
                         "[Other]\r\n"
                         "P=C:\\Programme\\\r\n"
                         "[xqspell]\r\n"
                         "DOIT=second section\r\n");
    EXPECT_FALSE(ini.Modified());
    EXPECT_TRUE(ini.WriteString("XQSPELL", "doit", "1"));
    EXPECT_TRUE(ini.Modified());
    EXPECT_EQ(ini.ToBytes(), "; settings of the family\r\n"
                             "Loose line\r\n"
                             "[XQSpell]\r\n"
                             "DOIT=1\r\n"
                             "; note\r\n"
                             "doit=shadowed\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "P=C:\\Programme\\\r\n"
                             "[xqspell]\r\n"
                             "DOIT=second section\r\n");
}

TEST(IniFileWriteTest, NewKeysFollowTheSectionsLastLineAndNewSectionsGoToTheEnd)
{
    TIniFile ini = Parse("[A]\nx=1\n; trailing comment\n\n\n[B]\ny=2");
    EXPECT_TRUE(ini.WriteString("a", "New", "v"));
    EXPECT_TRUE(ini.WriteString("C", "k", "1"));
    EXPECT_TRUE(ini.WriteString("C", "l", "2"));
    EXPECT_TRUE(ini.WriteInteger("D", "n", -3));
    EXPECT_TRUE(ini.WriteBool("D", "b", true));
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nx=1\r\n; trailing comment\r\nNew=v\r\n\r\n\r\n[B]\r\ny=2\r\n"
                             "\r\n[C]\r\nk=1\r\nl=2\r\n\r\n[D]\r\nn=-3\r\nb=1\r\n\r\n");

    TIniFile empty;
    EXPECT_TRUE(empty.WriteString("NEW", "F", "Brief1"));
    EXPECT_EQ(empty.ToBytes(), "[NEW]\r\nF=Brief1\r\n\r\n");
}

TEST(IniFileWriteTest, WrittenValuesReadBackAsTheProfileRulesSay)
{
    TIniFile ini;
    EXPECT_TRUE(ini.WriteString("S", "k", "  padded  "));
    EXPECT_EQ(ini.ReadString("S", "K"), "padded");
    EXPECT_TRUE(ini.WriteString("S", "k", "\"kept\""));
    EXPECT_EQ(ini.ReadString("S", "k"), "kept");
    EXPECT_EQ(ini.ReadSectionKeys("S").size(), 1u);
    EXPECT_EQ(Parse(ini.ToBytes()).ReadString("s", "k"), "kept");
}

TEST(IniFileWriteTest, RefusesNamesAndValuesTheFileCouldNotGiveBack)
{
    TIniFile ini = Parse("[S]\nk=v\n");
    const std::string before = ini.ToBytes();
    EXPECT_FALSE(ini.WriteString("S", "k", "two\r\nlines"));
    EXPECT_FALSE(ini.WriteString("S", "k", "x\ny"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "v"));
    EXPECT_FALSE(ini.WriteString("S", "  ", "v"));
    EXPECT_FALSE(ini.WriteString("S", "[T]", "v"));
    EXPECT_FALSE(ini.WriteString("S", ";c", "v"));
    EXPECT_FALSE(ini.WriteString("a]b", "k", "v"));
    EXPECT_FALSE(ini.WriteString("S\n", "k", "v"));
    EXPECT_EQ(ini.ToBytes(), before);
    EXPECT_FALSE(ini.Modified());
}

TEST(IniFileWriteTest, ErasesSectionsAndDeletesKeys)
{
    TIniFile ini = Parse("[R]\n1=a\n[Keep]\nk=v\n[r]\n2=b\n[Dup]\nk=1\nx=2\nK=3\n");
    ini.EraseSection("r");
    EXPECT_FALSE(ini.SectionExists("R")); // every occurrence went
    EXPECT_EQ(ini.ReadString("Keep", "k"), "v");
    ini.DeleteKey("dup", "K");
    EXPECT_FALSE(ini.ValueExists("Dup", "k")); // the shadowed duplicate went too
    EXPECT_EQ(ini.ReadString("Dup", "x"), "2");
    EXPECT_EQ(ini.ToBytes(), "[Keep]\r\nk=v\r\n[Dup]\r\nx=2\r\n");

    TIniFile unchanged = Parse("[A]\nk=v\n");
    unchanged.EraseSection("B");
    unchanged.DeleteKey("A", "other");
    unchanged.DeleteKey("B", "k");
    EXPECT_FALSE(unchanged.Modified());
}

TEST(IniFileEncodingTest, DiskTextIsCodePage1252)
{
    TIniFile ini = Parse("[Sektion]\nName=M\xFCller \x80 \x81\n");
    EXPECT_EQ(ini.ReadString("sektion", "name"), "Müller € \xC2\x81");
    EXPECT_TRUE(ini.WriteString("Größe", "Maß", "Äpfel → Birnen"));
    EXPECT_EQ(ini.ToBytes(),
              "[Sektion]\r\nName=M\xFCller \x80 \x81\r\n\r\n[Gr\xF6\xDF" "e]\r\nMa\xDF=\xC4pfel ? Birnen\r\n\r\n");
    EXPECT_EQ(ini.Encoding(), TIniEncoding::Ansi);
}

TEST(IniFileEncodingTest, FilesWithAByteOrderMarkKeepTheirEncoding)
{
    TIniFile utf8 = Parse("\xEF\xBB\xBF[S]\nk=\xC3\xA4\xE2\x86\x92\n");
    EXPECT_EQ(utf8.Encoding(), TIniEncoding::Utf8Bom);
    EXPECT_EQ(utf8.ReadString("S", "k"), "ä→");
    EXPECT_TRUE(utf8.WriteString("S", "n", "€"));
    EXPECT_EQ(utf8.ToBytes(), "\xEF\xBB\xBF[S]\r\nk=\xC3\xA4\xE2\x86\x92\r\nn=\xE2\x82\xAC\r\n");

    // "[S]\nk=ä" in UTF-16LE with a dangling odd byte at the end.
    const std::string utf16 = "\xFF\xFE[\0S\0]\0\n\0k\0=\0\xE4\0\x01"s;
    TIniFile wide = Parse(utf16);
    EXPECT_EQ(wide.Encoding(), TIniEncoding::Utf16Bom);
    EXPECT_EQ(wide.ReadString("s", "K"), "ä");
    EXPECT_EQ(wide.ToBytes(), "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0"s);
}

TEST(IniFileEncodingTest, DamagedBytesNeitherCrashNorLoseLines)
{
    const std::string damaged = "[A\0]\rk=\0v\r\r\n[\n]\n=\n[B]\x1A\nkey = v\x1A\n\x81\x8D\xFF\xFE"s;
    TIniFile ini = Parse(damaged);
    EXPECT_EQ(ini.ReadString("B", "key"), "v");
    EXPECT_EQ(ini.ReadString(std::string_view("A\0", 2), "k"), std::string("\0v", 2));
    // Untouched, every line comes back with CRLF and the same bytes.
    EXPECT_EQ(ini.ToBytes(), "[A\0]\r\nk=\0v\r\n\r\n[\r\n]\r\n=\r\n[B]\x1A\r\nkey = v\x1A\r\n\x81\x8D\xFF\xFE\r\n"s);
}

TEST(IniFileDiskTest, MissingFileReadsEmptyAndIsCreatedOnUpdate)
{
    TTempDir dir;
    const auto path = dir / "XQSpell.dic";
    TIniFile ini(path);
    EXPECT_FALSE(ini.LoadFailed());
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_TRUE(ini.UpdateFile()); // nothing changed: no file appears
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(ini.WriteString("XQSpell", "P", "/opt/quarnel"));
    std::string error;
    ASSERT_TRUE(ini.UpdateFile(&error)) << error;
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ReadBytes(path), "[XQSpell]\r\nP=/opt/quarnel\r\n\r\n");
    EXPECT_EQ(TIniFile(path).ReadString("xqspell", "p"), "/opt/quarnel");
}

TEST(IniFileDiskTest, UnchangedFilesAreNotRewritten)
{
    TTempDir dir;
    const auto path = dir / "mru.ini";
    WriteBytes(path, "[RecentFiles]\nCount=0\n"); // LF line ends stay until something changes
    TIniFile ini(path);
    EXPECT_TRUE(ini.WriteInteger("RecentFiles", "count", 0));
    EXPECT_FALSE(ini.Modified());
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadBytes(path), "[RecentFiles]\nCount=0\n");
}

TEST(IniFileDiskTest, FilesThatCannotBeReadAreNeverOverwritten)
{
    TTempDir dir;
    const auto big = dir / "big.ini";
    WriteBytes(big, "[S]\nk=v\n" + std::string(100, ';'));
    TIniFile ini(big, 64);
    EXPECT_TRUE(ini.LoadFailed());
    EXPECT_FALSE(ini.LoadError().empty());
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
    EXPECT_TRUE(ini.WriteString("S", "k", "new"));
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadBytes(big).size(), 108u);

    std::filesystem::create_directory(dir / "folder.ini");
    TIniFile folder(dir / "folder.ini");
    EXPECT_TRUE(folder.LoadFailed());

    TIniFile unbound;
    EXPECT_TRUE(unbound.WriteString("S", "k", "v"));
    EXPECT_FALSE(unbound.UpdateFile());
}

TEST(IniFileDiskTest, AFailedWriteKeepsTheChangesForALaterTry)
{
    TTempDir dir;
    const auto sub = dir / "later";
    TIniFile ini(sub / "a.ini");
    EXPECT_FALSE(ini.LoadFailed());
    EXPECT_TRUE(ini.WriteString("S", "k", "new"));
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(&error));
    EXPECT_NE(error.find("a.ini"), std::string::npos);
    EXPECT_TRUE(ini.Modified());
    std::filesystem::create_directory(sub);
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadBytes(sub / "a.ini"), "[S]\r\nk=new\r\n\r\n");
}

TEST(IniFileDiskTest, ManySectionsStayQuickToSearch)
{
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "[" + std::to_string(i) + "]\nN=" + std::to_string(i) + "\n";
    TIniFile ini = Parse(bytes);
    for (int i = 0; i < 100000; i += 7)
        ASSERT_EQ(ini.ReadInteger(std::to_string(i), "n", -1), i);
    EXPECT_EQ(ini.ReadSections().size(), 100000u);
    ini.EraseSection("5");
    EXPECT_EQ(ini.ReadInteger("6", "N", -1), 6);
}

TEST(IniFilePerComputerTest, PrefersTheComputersOwnSection)
{
    const TIniFile with = Parse("[XQSpell]\nDOIT=0\n[xqspellPC-7]\nDOIT=1\n");
    EXPECT_EQ(PerComputerSection(with, "XQSpell", "PC-7"), "XQSpellPC-7");
    EXPECT_EQ(PerComputerSection(with, "XQSpell", "PC-8"), "XQSpell");
    EXPECT_EQ(PerComputerSection(with, "XQSpell", ""), "XQSpell");

    const std::string name = ReadComputerName();
    EXPECT_LE(name.size(), 128u);
    for (char c : name)
        EXPECT_FALSE(c >= 'a' && c <= 'z') << name;
}

} // namespace
} // namespace xq

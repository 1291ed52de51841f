// Tests of the recent-file list: reading "mru.ini", order and limits, vanished files, menu data, saving.
#include "tools/MruList.h"

#include "platform/IniFile.h"
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
using namespace std::string_literals;

/// A working directory with documents that exist and an "mru.ini" naming them.
class MruListTest : public ::testing::Test {
protected:
    std::string Document(std::string_view name)
    {
        const auto path = Dir / name;
        WriteBytes(path, "-8 1 0\n");
        return path.string();
    }
    std::string Missing(std::string_view name) const { return (Dir / name).string(); }
    std::filesystem::path MruPath() const { return Dir / "mru.ini"; }

    /// Writes "mru.ini" in code page 1252 with the given paths (UTF-8 here).
    void WriteMru(const std::vector<std::string>& paths, std::string_view extra = {})
    {
        TIniFile ini;
        ini.SetFileName(MruPath());
        ASSERT_TRUE(ini.WriteInteger("RecentFiles", "Count", int(paths.size())));
        for (std::size_t i = 0; i < paths.size(); ++i)
            ASSERT_TRUE(ini.WriteString("RecentFiles", std::to_string(i + 1), paths[i]));
        WriteBytes(MruPath(), std::string(extra) + ini.ToBytes());
    }

    TTempDir Dir;
};

TEST_F(MruListTest, VanishedFilesAreDroppedOnLoadingAndCaptionsShowFileNames)
{
    const std::string a = Document("Brief Müller.dvl");
    const std::string c = Document("Angebot.abr");
    WriteMru({a, Missing("weg.dvl"), c}, "[Andere]\r\nX=1\r\n");

    {
        TMruList list;
        int changes = 0;
        list.OnChange = [&](TMruList& sender) {
            EXPECT_EQ(&sender, &list);
            ++changes;
        };
        list.SetFileName(MruPath()); // loads at once
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(list.Items(), (std::vector<std::string>{a, c}));
        EXPECT_EQ(list.MenuItems(), (std::vector<TMruMenuItem>{{"Brief Müller.dvl", a, 0}, {"Angebot.abr", c, 1}}));
        EXPECT_EQ(list.AnchorState(), (TMruAnchorState{true, true}));
        EXPECT_TRUE(list.Modified());
    }
    // Written back when destroyed: the section anew, the umlaut in code page 1252, the rest kept.
    const std::string bytes = ReadBytes(MruPath());
    EXPECT_NE(bytes.find("[Andere]\r\nX=1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("[RecentFiles]\r\nCount=2\r\n1=" + (Dir / "Brief M\xFCller.dvl").string() + "\r\n2=" + c + "\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_EQ(bytes.find("3="), std::string::npos);
}

TEST_F(MruListTest, DamagedCountsAndEntriesStayWithinBounds)
{
    const std::string a = Document("a.rvf");
    WriteBytes(MruPath(), "[RecentFiles]\nCount=2147483647\n1=" + a + "\n2=\n3=" + a + "\n4=" + Missing("x.rvf") + "\n");
    TMruList list(TMruList::SessionOptions, 10, 50);
    list.SetFileName(MruPath());
    EXPECT_EQ(list.Items(), (std::vector<std::string>{a}));

    WriteBytes(MruPath(), "[RecentFiles]\nCount=zwei\n1=" + a + "\n");
    EXPECT_TRUE(list.Load());
    EXPECT_TRUE(list.Items().empty());

    WriteBytes(MruPath(), "\xFF\xFE\0[\x81\r\r\n="s);
    EXPECT_TRUE(list.Load());
    EXPECT_TRUE(list.Items().empty());
}

TEST_F(MruListTest, UnreadableFileGivesAnEmptyListAndIsNotOverwritten)
{
    std::filesystem::create_directory(MruPath());
    TMruList list;
    std::string error;
    list.SetFileName(MruPath());
    EXPECT_FALSE(list.Load(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(list.AnchorState(), (TMruAnchorState{false, false}));
    list.Add(Document("a.rvf"));
    EXPECT_FALSE(list.Save());
    EXPECT_TRUE(std::filesystem::is_directory(MruPath()));
}

TEST_F(MruListTest, AddingMovesToTheTopAndTheListIsCut)
{
    TMruList list(TMruList::SessionOptions, 10, 3);
    int changes = 0;
    list.OnChange = [&](TMruList&) { ++changes; };
    list.Add("/d/1");
    list.Add("/d/2");
    list.Add("/d/3");
    list.Add("/d/1");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/d/1", "/d/3", "/d/2"}));
    list.Add("/d/4");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/d/4", "/d/1", "/d/3"}));
    list.Add("/d/4"); // already on top: no change
    list.Add("");
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(list.Remove("/d/1"));
    EXPECT_FALSE(list.Remove("/d/1"));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/d/4", "/d/3"}));
    list.Clear();
    EXPECT_TRUE(list.Items().empty());
    EXPECT_EQ(changes, 7);
}

TEST_F(MruListTest, AtMostTenAreShownAndVanishingFilesDisappearFromTheMenu)
{
    std::vector<std::string> paths;
    for (int i = 1; i <= 12; ++i)
        paths.push_back(Document("doc" + std::to_string(i) + ".rvf"));
    WriteMru(paths);
    TMruList list;
    list.SetFileName(MruPath());
    ASSERT_EQ(list.Items().size(), 12u);
    std::vector<TMruMenuItem> shown = list.MenuItems();
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown.front().Caption, "doc1.rvf");
    EXPECT_EQ(shown.back().Tag, 9);

    // A file deleted while the program runs is left out when the menu is rebuilt, and the next one moves up.
    std::filesystem::remove(paths[1]);
    shown = list.MenuItems();
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown[1].Caption, "doc3.rvf");
    EXPECT_EQ(shown[1].Tag, 2);
    EXPECT_EQ(shown.back().Caption, "doc11.rvf");

    int changes = 0;
    list.OnChange = [&](TMruList&) { ++changes; };
    list.Refresh();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.Items().size(), 11u);
    EXPECT_EQ(list.MenuItems()[1].Tag, 1);

    for (const std::string& p : paths)
        std::filesystem::remove(p);
    EXPECT_TRUE(list.MenuItems().empty());
    EXPECT_EQ(list.AnchorState(), (TMruAnchorState{false, false}));
}

TEST_F(MruListTest, OptionsDecideCaptionsAnchorLoadingAndSaving)
{
    const std::string a = Document("a.rvf");
    const std::string gone = Missing("gone.rvf");
    WriteMru({a, gone});

    TMruList plain(0);
    plain.SetFileName(MruPath()); // no automatic load
    EXPECT_TRUE(plain.Items().empty());
    EXPECT_EQ(plain.AnchorState(), (TMruAnchorState{true, true}));
    ASSERT_TRUE(plain.Load());
    EXPECT_EQ(plain.Items(), (std::vector<std::string>{a, gone})); // no existence check
    EXPECT_EQ(plain.MenuItems()[0].Caption, a);                    // full paths

    TMruList disableOnly(mrAutoLoad | mrCheckFileExist | mrDisableAnchorIfEmpty);
    std::filesystem::remove(a);
    disableOnly.SetFileName(MruPath());
    EXPECT_EQ(disableOnly.AnchorState(), (TMruAnchorState{false, true}));
    disableOnly.Add(Document("b.rvf"));
    const std::string before = ReadBytes(MruPath());
    {
        TMruList noAutoSave(mrAutoLoad);
        noAutoSave.SetFileName(MruPath());
        noAutoSave.Add("/x");
    }
    EXPECT_EQ(ReadBytes(MruPath()), before);
}

TEST_F(MruListTest, AnUnchangedListLeavesTheFileAlone)
{
    const std::string a = Document("a.rvf");
    const std::string content = "[RecentFiles]\nCount=1\n1=" + a + "\n";
    WriteBytes(MruPath(), content);
    {
        TMruList list;
        list.SetFileName(MruPath());
        EXPECT_FALSE(list.Modified());
    }
    EXPECT_EQ(ReadBytes(MruPath()), content);

    // Saving erases stale keys of the section and keeps what other programs wrote elsewhere meanwhile.
    TMruList list;
    list.SetFileName(MruPath());
    WriteBytes(MruPath(), content + "5=" + a + "\n[Later]\nY=2\n");
    list.Add(Document("b.rvf"));
    ASSERT_TRUE(list.Save());
    EXPECT_FALSE(list.Modified());
    const TIniFile ini(MruPath());
    EXPECT_EQ(ini.ReadSectionKeys("RecentFiles"), (std::vector<std::string>{"Count", "1", "2"}));
    EXPECT_EQ(ini.ReadString("RecentFiles", "1"), (Dir / "b.rvf").string());
    EXPECT_EQ(ini.ReadString("Later", "Y"), "2");
}

TEST(MruPathTest, SplitsIntoDirectoryAndName)
{
    EXPECT_EQ(SplitMruPath("/home/anna/Briefe/Brief.dvl").Dir, "/home/anna/Briefe/");
    EXPECT_EQ(SplitMruPath("/home/anna/Briefe/Brief.dvl").Name, "Brief.dvl");
    EXPECT_EQ(SplitMruPath("/Brief.dvl").Dir, "/");
    EXPECT_EQ(SplitMruPath("/a//b.rvf").Dir, "/a/");
    EXPECT_EQ(SplitMruPath("Brief.dvl").Dir, "");
    EXPECT_EQ(SplitMruPath("Brief.dvl").Name, "Brief.dvl");
}

} // namespace
} // namespace xq

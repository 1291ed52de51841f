// Plain text files: reading, detecting their kind, and replacing them safely on save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/text/TextFormat.h"
#include "support/DocDump.h"

namespace xq {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::DocDump;

class PlainTextFile : public ::testing::Test {
protected:
    PlainTextFile()
    {
        SetupMainWindowStyleSheet(Sheet);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        Dir = fs::temp_directory_path() / ("xq-plaintext-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    ~PlainTextFile() override
    {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(Dir, ec))
            if (entry.is_directory(ec))
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(Dir, ec);
    }

    static void Write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    /// The names in the test directory, to see that no temporary file stays behind.
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Dir))
            names.insert(entry.path().filename().string());
        return names;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    fs::path Dir;
};

TEST_F(PlainTextFile, ImportReadsFilesAndFailsOnUnreadableOnes)
{
    Write(Dir / "a.txt", "a\r\nb");
    Write(Dir / "be.txt", "\xFE\xFF\0c"s);
    Write(Dir / "odd.txt", "\xFF\xFE\0"s);
    ASSERT_TRUE(ImportText8File(Doc, Dir / "a.txt", 0, 0, false));
    ASSERT_TRUE(ImportTextUtf16File(Doc, Dir / "be.txt", 0, 0, false));
    EXPECT_EQ(DocDump(Doc), R"([p0]"a" [p0]"b" [p0]"c")");

    std::string error;
    EXPECT_FALSE(ImportText8File(Doc, Dir / "missing.txt", 0, 0, false, &error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
    EXPECT_FALSE(ImportText8File(Doc, Dir, 0, 0, false)) << "a directory cannot be read";
    EXPECT_FALSE(ImportTextUtf16File(Doc, Dir / "odd.txt", 0, 0, false, &error));
    EXPECT_EQ(error, "Can't perform Unicode operation");
    EXPECT_EQ(DocDump(Doc), R"([p0]"a" [p0]"b" [p0]"c")");
}

TEST_F(PlainTextFile, DetectionOfFiles)
{
    Write(Dir / "empty.txt", "");
    Write(Dir / "ansi.txt", "abc");
    Write(Dir / "bom.txt", "\xFF\xFE" "a\0"s);
    std::string late(4000, 'x');
    late[600] = '\0';
    Write(Dir / "late.txt", late);
    EXPECT_EQ(DetectTextKind(Dir / "empty.txt"), TTextKind::Empty);
    EXPECT_EQ(DetectTextKind(Dir / "ansi.txt"), TTextKind::Text8);
    EXPECT_EQ(DetectTextKind(Dir / "bom.txt"), TTextKind::Unicode);
    EXPECT_EQ(DetectTextKind(Dir / "late.txt"), TTextKind::Text8) << "a zero beyond the first bytes does not count";
    EXPECT_EQ(DetectTextKind(Dir / "missing.txt"), TTextKind::Error);
    EXPECT_EQ(DetectTextKind(Dir), TTextKind::Error);

    // A pipe nobody writes to must neither block nor count as text.
    ASSERT_EQ(::mkfifo((Dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(DetectTextKind(Dir / "pipe"), TTextKind::Error);
    EXPECT_FALSE(ImportText8File(Doc, Dir / "pipe", 0, 0, false));
}

TEST_F(PlainTextFile, SaveReplacesTheFileAndKeepsItsPermissions)
{
    Doc.AppendText("neu", 0, 0);
    const fs::path target = Dir / "out.txt";
    ASSERT_TRUE(ExportTextFile(Doc, target, 80, false));
    EXPECT_EQ(Read(target), "neu");

    Write(target, "alter Inhalt");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(ExportTextFile(Doc, target, 80, true));
    EXPECT_EQ(Read(target), "\xFF\xFEn\0e\0u\0"s);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Names(), std::set<std::string>{"out.txt"}) << "no temporary file stays behind";

    ASSERT_TRUE(ExportTextRangeFile(Doc, target, 80, false, 0, 2, 0, 4));
    EXPECT_EQ(Read(target), "eu");
    EXPECT_FALSE(ExportTextRangeFile(Doc, target, 80, false, 0, 1, 5, 1));
    EXPECT_EQ(Read(target), "eu") << "an invalid selection writes nothing";
}

TEST_F(PlainTextFile, SaveThroughALinkReplacesTheLinkedFile)
{
    Write(Dir / "real.txt", "alt");
    fs::create_symlink("real.txt", Dir / "link.txt");
    Doc.AppendText("neu", 0, 0);
    ASSERT_TRUE(ExportTextFile(Doc, Dir / "link.txt", 80, false));
    EXPECT_TRUE(fs::is_symlink(Dir / "link.txt"));
    EXPECT_EQ(Read(Dir / "real.txt"), "neu");
}

TEST_F(PlainTextFile, FailedSaveLeavesTheOldFile)
{
    Doc.AppendText("neu", 0, 0);

    // A path below a regular file cannot be written by anyone.
    Write(Dir / "plain", "alt");
    EXPECT_FALSE(ExportTextFile(Doc, Dir / "plain" / "out.txt", 80, false));
    EXPECT_EQ(Read(Dir / "plain"), "alt");

    fs::create_directory(Dir / "folder");
    EXPECT_FALSE(ExportTextFile(Doc, Dir / "folder", 80, false)) << "a directory is not replaced";
    EXPECT_TRUE(fs::is_directory(Dir / "folder"));
    EXPECT_EQ(Names(), (std::set<std::string>{"folder", "plain"}));

    const fs::path locked = Dir / "locked";
    fs::create_directory(locked);
    Write(locked / "out.txt", "alt");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user may write into read-only directories";
    EXPECT_FALSE(ExportTextFile(Doc, locked / "out.txt", 80, false));
    EXPECT_EQ(Read(locked / "out.txt"), "alt");
}

} // namespace
} // namespace xq

// Replacing files: permissions kept, write-protected files refused, and nothing left behind by
// saves that were killed half-way.
#include "platform/FileIO.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;

class FileIOTest : public ::testing::Test {
protected:
    /// The names in the directory.
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Dir.Path()))
            names.insert(entry.path().filename().string());
        return names;
    }

    static mode_t Mode(const fs::path& path)
    {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return info.st_mode & 07777;
    }

    test::TTempDir Dir;
};

TEST_F(FileIOTest, AReplacedFileKeepsItsPermissionsAndAProtectedOneIsRefused)
{
    const fs::path target = Dir / "Brief.xtb";
    test::WriteBytes(target, "alt");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(target, "neu"));
    EXPECT_EQ(test::ReadBytes(target), "neu");
    EXPECT_EQ(Mode(target), 0640u);
    EXPECT_FALSE(IsWriteProtected(target));

    // Made read-only by the user: not replaced, whoever runs the program.
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    EXPECT_TRUE(IsWriteProtected(target));
    errno = 0;
    EXPECT_FALSE(WriteFileAtomically(target, "überschrieben"));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(test::ReadBytes(target), "neu");
    EXPECT_EQ(Names(), (std::set<std::string>{"Brief.xtb"})) << "no temporary file is left";

    // A new file is no protected one.
    EXPECT_FALSE(IsWriteProtected(Dir / "neu.xtb"));
    EXPECT_TRUE(WriteFileAtomically(Dir / "neu.xtb", "x"));
}

TEST_F(FileIOTest, TemporariesOfDeadProcessesGoWithTheNextSave)
{
    const fs::path target = Dir / "Brief.xtb";
    test::WriteBytes(target, "alt");
    // A process id that is surely not running: a child that has ended and been reaped.
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ASSERT_GT(dead, 0);
    ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
    const std::string stale = ".Brief.xtb." + std::to_string(dead) + ".3.tmp";
    const std::string living = ".Brief.xtb." + std::to_string(::getppid()) + ".1.tmp"; // a running process
    const std::string other = ".Anlage.xtb." + std::to_string(dead) + ".1.tmp";     // another file's
    for (const std::string& name : {stale, living, other, std::string(".Brief.xtb.kein.tmp")})
        test::WriteBytes(Dir / name, "halb");

    ASSERT_TRUE(WriteFileAtomically(target, "neu"));
    EXPECT_EQ(Names(), (std::set<std::string>{"Brief.xtb", living, other, ".Brief.xtb.kein.tmp"}));
}

TEST_F(FileIOTest, SavesKilledAtRandomMomentsLeaveTheTargetWhole)
{
    // Two versions of a few megabytes, so that a kill can land inside the writing.
    const std::string first(std::size_t(3) << 20, 'A'), second(std::size_t(3) << 20, 'B');
    const fs::path target = Dir / "Brief.xtb";
    ASSERT_TRUE(WriteFileAtomically(target, first));
    std::mt19937 random(20261209);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int k = 0;; ++k)
                (void)WriteFileAtomically(target, k % 2 == 0 ? second : first);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(500, 40000)(random)));
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        const std::string content = test::ReadBytes(target);
        EXPECT_TRUE(content == first || content == second) << "round " << round << ": " << content.size() << " bytes";
    }
    ASSERT_TRUE(WriteFileAtomically(target, "zuletzt"));
    EXPECT_EQ(Names(), (std::set<std::string>{"Brief.xtb"}));
    EXPECT_EQ(test::ReadBytes(target), "zuletzt");
}

} // namespace
} // namespace xq

// The child process: argument splitting, line reading with limits, and that no child outlives Stop.
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace xq {
namespace {

using namespace std::chrono_literals;

bool ProcessExists(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

/// Reads lines until the child closes its output.
std::vector<std::string> AllLines(TChildProcess& child)
{
    std::vector<std::string> lines;
    std::string line;
    while (child.ReadLine(line, 5s, 4096) == TReadResult::rrLine)
        lines.push_back(line);
    return lines;
}

TEST(SplitCommandLineTest, BlanksSeparateQuotesJoinAndShellCharactersStayText)
{
    EXPECT_EQ(SplitCommandLine("  ispell  -a\t-d ngerman "),
              (std::vector<std::string>{"ispell", "-a", "-d", "ngerman"}));
    EXPECT_EQ(SplitCommandLine("\"/opt/my speller/ispell\" -p \"\" x\"y z\""),
              (std::vector<std::string>{"/opt/my speller/ispell", "-p", "", "xy z"}));
    EXPECT_EQ(SplitCommandLine("ispell -a; touch FILE | cat $(id) `id`"),
              (std::vector<std::string>{"ispell", "-a;", "touch", "FILE", "|", "cat", "$(id)", "`id`"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(ChildProcessTest, LinesGoThroughThePipesInBothDirections)
{
    TChildProcess child;
    ASSERT_TRUE(child.Start({"cat"}, {}, {}));
    ASSERT_TRUE(child.Write("eins\r\nzwei\n\ndrei", 1s));
    std::string line;
    ASSERT_EQ(child.ReadLine(line, 5s, 100), TReadResult::rrLine);
    EXPECT_EQ(line, "eins");
    ASSERT_EQ(child.ReadLine(line, 5s, 100), TReadResult::rrLine);
    EXPECT_EQ(line, "zwei");
    ASSERT_EQ(child.ReadLine(line, 5s, 100), TReadResult::rrLine);
    EXPECT_EQ(line, "");
    // "drei" has no line end yet: the read waits and gives up at its limit.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(child.ReadLine(line, 200ms, 100), TReadResult::rrTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    child.Stop();
    EXPECT_FALSE(child.Running());
}

TEST(ChildProcessTest, EnvironmentWorkingDirectoryAndFileDescriptorsOfTheChild)
{
    test::TTempDir dir;
    const char* homeBefore = std::getenv("HOME");
    TChildProcess env;
    ASSERT_TRUE(env.Start({"env"}, {}, {{"HOME", "/nowhere/home"}}));
    const std::vector<std::string> lines = AllLines(env);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "HOME=/nowhere/home"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("HOME=", 0) == 0; }), 1);
    // Only the child gets the new HOME.
    EXPECT_EQ(std::getenv("HOME"), homeBefore);

    TChildProcess pwd;
    ASSERT_TRUE(pwd.Start({"pwd"}, dir.Path(), {}));
    EXPECT_EQ(AllLines(pwd), std::vector<std::string>{std::filesystem::canonical(dir.Path()).string()});

    // A descriptor this process left open for children is still closed in ours.
    const int fd = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, 77), 77);
    TChildProcess ls;
    ASSERT_TRUE(ls.Start({"ls", "/proc/self/fd"}, {}, {}));
    const std::vector<std::string> fds = AllLines(ls);
    ::close(77);
    ::close(fd);
    EXPECT_EQ(std::count(fds.begin(), fds.end(), "77"), 0);
    EXPECT_EQ(std::count(fds.begin(), fds.end(), "0"), 1);
}

TEST(ChildProcessTest, ErrorOutputGoesNowhereAndLongLinesAreRefused)
{
    // A child that floods its error output must not block: nobody reads it.
    TChildProcess noisy;
    ASSERT_TRUE(noisy.Start({"ls", "-R", "/usr/share/doc", "/nonexistent-dir"}, {}, {}));
    std::string line;
    TReadResult r;
    while ((r = noisy.ReadLine(line, 10s, 100000)) == TReadResult::rrLine) {
    }
    EXPECT_EQ(r, TReadResult::rrClosed);

    TChildProcess zeros;
    ASSERT_TRUE(zeros.Start({"head", "-c", "200000", "/dev/zero"}, {}, {}));
    EXPECT_EQ(zeros.ReadLine(line, 5s, 1000), TReadResult::rrTooLong);
    EXPECT_LE(line.size(), 1000u);
}

TEST(ChildProcessTest, AChildThatIgnoresItsInputIsKilledAndReaped)
{
    TChildProcess child;
    ASSERT_TRUE(child.Start({"sleep", "60"}, {}, {}));
    const pid_t pid = child.Pid();
    ASSERT_GT(pid, 0);
    const auto before = std::chrono::steady_clock::now();
    child.Stop(300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_FALSE(ProcessExists(pid)); // not even a zombie: it was reaped
    EXPECT_EQ(child.Pid(), -1);
}

TEST(ChildProcessTest, WritingToADeadChildFailsWithoutSignal)
{
    TChildProcess child;
    ASSERT_TRUE(child.Start({"true"}, {}, {}));
    std::string line;
    EXPECT_EQ(child.ReadLine(line, 5s, 100), TReadResult::rrClosed);
    // The child is gone; a write would raise SIGPIPE on a plain pipe and end this test program.
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i)
        failed = !child.Write(std::string(65536, 'x'), 200ms);
    EXPECT_TRUE(failed);

    TChildProcess missing;
    std::string error;
    EXPECT_FALSE(missing.Start({"/nonexistent/speller-program"}, {}, {}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(missing.Start({}, {}, {}, &error));
    EXPECT_FALSE(missing.Running());
}

TEST(ChildProcessTest, DestroyingTheObjectEndsTheChild)
{
    pid_t pid = -1;
    {
        TChildProcess child;
        ASSERT_TRUE(child.Start({"cat"}, {}, {}));
        pid = child.Pid();
        EXPECT_TRUE(child.Running());
    }
    EXPECT_FALSE(ProcessExists(pid));
}

} // namespace
} // namespace xq

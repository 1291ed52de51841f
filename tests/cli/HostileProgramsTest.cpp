// Small files that ask for enormous work, run through the programs as a user or a script would:
// every conversion and every opening in the editor ends within two seconds and one gigabyte,
// measured on the child process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;

constexpr double MaxSeconds = 2.0;
constexpr long MaxKilobytes = 1024 * 1024;

class HostileProgramsTest : public ::testing::Test {
protected:
    /// The committed reproducers and the two that are made: 50 million line ends, and five
    /// megabytes of words in one line.
    std::vector<fs::path> Documents()
    {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(fs::path(test::SourceDir()) / "tests" / "data" / "hostile"))
            if (entry.path().extension() == ".rvf")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        EXPECT_GE(files.size(), 10u) << "the hostile corpus is missing";
        test::WriteBytes(Dir / "lf.txt", std::string(50'000'000, '\n'));
        std::string words;
        words.reserve(5'000'000);
        while (words.size() < 5'000'000)
            words += "x ";
        test::WriteBytes(Dir / "one-line.txt", words);
        files.push_back(Dir / "lf.txt");
        files.push_back(Dir / "one-line.txt");
        return files;
    }

    static void ExpectBounded(const test::TProgramResult& run, const std::string& what)
    {
        EXPECT_EQ(run.Signal, 0) << what << " crashed: " << run.Err;
        EXPECT_GE(run.ExitCode, 0) << what;
        EXPECT_LE(run.ExitCode, 2) << what << ": " << run.Err;
        EXPECT_LT(run.Seconds, MaxSeconds) << what;
        EXPECT_LT(run.PeakKilobytes, MaxKilobytes) << what;
    }

    test::TTempDir Dir;
};

TEST_F(HostileProgramsTest, EveryConversionEndsWithinTwoSecondsAndOneGigabyte)
{
    for (const fs::path& file : Documents()) {
        for (const char* extension : {".rvf", ".txt", ".png"}) {
            const fs::path out = Dir / (file.stem().string() + "-out" + extension);
            ExpectBounded(test::RunProgram(test::XqconvertPath(), {file.string(), out.string()}, 30),
                          file.filename().string() + " to " + extension);
            fs::remove(out);
        }
        ExpectBounded(test::RunProgram(test::XqconvertPath(), {"--dump", file.string()}, 30),
                      "--dump " + file.filename().string());
    }
}

TEST_F(HostileProgramsTest, TheEditorOpensEachWithinTwoSecondsAndOneGigabyte)
{
    // The editor opens RVF documents from its command line. The two made text files go in as
    // RVF: the long line as xqconvert writes it, the line ends as one record of 50 million
    // empty paragraphs.
    std::vector<fs::path> files;
    for (const fs::path& file : Documents())
        if (file.extension() == ".rvf")
            files.push_back(file);
    const fs::path longLine = Dir / "one-line.rvf";
    ASSERT_EQ(test::RunProgram(test::XqconvertPath(), {(Dir / "one-line.txt").string(), longLine.string()}).ExitCode, 0);
    files.push_back(longLine);
    test::WriteBytes(Dir / "lf.rvf", "-8 1 3\r\n0 50000000 0 0 0 0\r\n" + std::string(50'000'000, '\n'));
    files.push_back(Dir / "lf.rvf");

    // A working directory of its own (a speller program marks it as one) and a single-instance
    // key of its own, so that no editor the user runs is asked instead.
    const fs::path work = Dir / "work";
    const fs::path runtime = Dir / "runtime";
    fs::create_directories(work);
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    test::WriteBytes(work / "ispell", "#!/bin/sh\n");
    fs::permissions(work / "ispell", fs::perms::owner_all);
    for (const fs::path& file : files) {
        const fs::path shot = Dir / (file.stem().string() + ".png");
        const test::TProgramResult run = test::RunProgram(
            test::XqeditorPath(), {file.string(), "0", work.string()}, 30,
            {"QT_QPA_PLATFORM=offscreen", "XQEDITOR_SCREENSHOT=" + shot.string(), "XQEDITOR_SCREENSHOT_DELAY_MS=0",
             "XDG_RUNTIME_DIR=" + runtime.string()});
        ExpectBounded(run, "the editor with " + file.filename().string());
        EXPECT_EQ(run.ExitCode, 0) << file << ": " << run.Err;
        EXPECT_TRUE(fs::exists(shot)) << file << ": the window was shown";
    }
}

} // namespace
} // namespace xq

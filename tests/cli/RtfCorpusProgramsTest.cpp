// The third-party RTF corpus (shared/corpus/rtf) through xqconvert as a script would run it:
// every file converts to UTF-16 text without a crash, within ten seconds and two gigabytes
// (measured on the child process), exiting 0, or 1 with the text kept for the malformed files
// listed in support/RtfCorpus.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RtfCorpus.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;

constexpr double MaxSeconds = 10.0;
constexpr long MaxKilobytes = 2L * 1024 * 1024;

TEST(RtfCorpusPrograms, XqconvertReadsEveryFileWithinTenSecondsAndTwoGigabytes)
{
    const std::vector<fs::path> files = test::RtfCorpusFiles();
    if (files.empty())
        GTEST_SKIP() << "the RTF corpus (shared/corpus/rtf beside the source tree) is not there";
    test::TTempDir dir;
    double slowest = 0;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        const test::TRtfCorpusOutcome expected = test::ExpectedRtfCorpusOutcome(name);
        const fs::path out = dir / (file.stem().string() + ".txt");
        const test::TProgramResult run =
            test::RunProgram(test::XqconvertPath(), {"--unicode", file.string(), out.string()}, 30);
        EXPECT_EQ(run.Signal, 0) << name << " crashed: " << run.Err;
        EXPECT_EQ(run.ExitCode, expected.Ok ? 0 : 1) << name << ": " << run.Err << " " << expected.Reason;
        EXPECT_LT(run.Seconds, MaxSeconds) << name;
        EXPECT_LT(run.PeakKilobytes, MaxKilobytes) << name;
        slowest = std::max(slowest, run.Seconds);
        EXPECT_TRUE(fs::exists(out)) << name << ": the text is written, also after a partial read";
        const std::string text = test::ReadBytes(out);
        EXPECT_EQ(text.substr(0, 2), "\xFF\xFE") << name << ": UTF-16 with a byte order mark";
        fs::remove(out);
    }
    RecordProperty("SlowestSeconds", std::to_string(slowest));
}

} // namespace
} // namespace xq

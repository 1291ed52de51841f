// xqconvert on documents with picture bombs: small PNGs that claim 10000 x 10000 pixels are
// reported, painted as invalid pictures, and written back unchanged, in every output format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictures/PictureSamples.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

using test::ReadBytes;
using test::RunProgram;
using test::TProgramResult;
using test::WriteBytes;

/// A PNG of about 12 KB that would decode to 10000 x 10000 pixels (400 MB).
std::string PngBomb()
{
    test::TPngLayout layout;
    layout.Width = layout.Height = 10000;
    layout.ColorType = 0;
    layout.BitDepth = 1;
    layout.Rows.assign(std::size_t(1250) * 10000, '\0');
    return test::EncodePng(layout);
}

/// A binary picture record.
std::string PictureRecord(const std::string& data)
{
    std::string length;
    test::PutU32(length, std::uint32_t(data.size()));
    return "-3 3 0 0 2 0 0\r\npic\r\nTPNGObject\r\n" + length + data;
}

TEST(XqconvertPictures, ThreePngBombsAreReportedAndKeptInEveryFormat)
{
    const test::TTempDir dir;
    const std::string bomb = PngBomb();
    ASSERT_LT(bomb.size(), 20'000u);
    const std::string input = (dir / "bomben.rvf").string();
    WriteBytes(input, "-8 1 3\r\n" + PictureRecord(bomb) + PictureRecord(bomb) + PictureRecord(bomb));

    for (const char* output : {"aus.png", "aus.rvf", "aus.txt"}) {
        SCOPED_TRACE(output);
        // A tenth of the time the test is given is far more than three refused headers need.
        const TProgramResult result = RunProgram(test::XqconvertPath(), {input, (dir / output).string()}, 20);
        EXPECT_EQ(result.Signal, 0) << result.Err;
        EXPECT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_NE(result.Err.find("pictures that cannot be shown"), std::string::npos) << result.Err;
    }
    const std::string written = ReadBytes(dir / "aus.rvf");
    std::size_t found = 0;
    for (std::size_t at = written.find(PictureRecord(bomb)); at != std::string::npos;
         at = written.find(PictureRecord(bomb), at + 1))
        ++found;
    EXPECT_EQ(found, 3u) << "each picture written as it was read";

    const TProgramResult dump = RunProgram(test::XqconvertPath(), {"--dump", input}, 20);
    EXPECT_EQ(dump.ExitCode, 0) << dump.Err;
    EXPECT_NE(dump.Out.find("\"byteSize\": " + std::to_string(bomb.size())), std::string::npos);
}

} // namespace
} // namespace xq

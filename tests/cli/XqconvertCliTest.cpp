// xqconvert as scripts call it: exit codes 0, 1 and 2, messages on stderr, files it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/RVStyle.h"
#include "formats/rvf/RvfWriter.h"
#include "pictures/Png.h"
#include "tables/TableItem.h"
#include "support/Json.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

using test::ReadBytes;
using test::RunProgram;
using test::TProgramResult;
using test::WriteBytes;

class XqconvertCliTest : public ::testing::Test {
protected:
    static TProgramResult Run(const std::vector<std::string>& args)
    {
        TProgramResult result = RunProgram(test::XqconvertPath(), args);
        EXPECT_EQ(result.Signal, 0) << "xqconvert crashed: " << result.Err;
        return result;
    }

    std::string P(const char* name) const { return (Dir / name).string(); }

    test::TTempDir Dir;
};

TEST_F(XqconvertCliTest, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> wrong = {
        {}, {"nur-eine.txt"}, {"a", "b", "c"}, {"--dump"}, {"--dump", "a", "b"}, {"--unbekannt", "a", "b"}};
    for (const auto& args : wrong) {
        const TProgramResult result = Run(args);
        EXPECT_EQ(result.ExitCode, 2) << args.size() << " arguments";
        EXPECT_NE(result.Err.find("usage: xqconvert"), std::string::npos) << result.Err;
        EXPECT_TRUE(result.Out.empty());
    }
    const TProgramResult help = Run({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_NE(help.Out.find("usage: xqconvert"), std::string::npos);
    EXPECT_TRUE(help.Err.empty());
}

TEST_F(XqconvertCliTest, InputAndOutputErrorsExitWithTwo)
{
    TProgramResult missing = Run({P("fehlt.xtb"), P("aus.txt")});
    EXPECT_EQ(missing.ExitCode, 2);
    EXPECT_NE(missing.Err.find("fehlt.xtb: No such file or directory"), std::string::npos) << missing.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir / "aus.txt")) << "nothing is written without input";

    WriteBytes(Dir / "ein.txt", "Hallo");
    TProgramResult noFolder = Run({P("ein.txt"), P("fehlt/aus.xtb")});
    EXPECT_EQ(noFolder.ExitCode, 2);
    EXPECT_NE(noFolder.Err.find("aus.xtb"), std::string::npos) << noFolder.Err;

    TProgramResult folder = Run({P("ein.txt"), Dir.Path().string()});
    EXPECT_EQ(folder.ExitCode, 2) << "a folder is no output file";

    // A truncated RTF file keeps what was read.
    WriteBytes(Dir / "Brief.RTF", "{\\rtf1 x");
    TProgramResult rtfIn = Run({P("Brief.RTF"), P("aus.txt")});
    EXPECT_EQ(rtfIn.ExitCode, 1);
    EXPECT_NE(rtfIn.Err.find("Brief.RTF: the RTF ends inside a group (the file is truncated)"), std::string::npos)
        << rtfIn.Err;
    EXPECT_EQ(ReadBytes(Dir / "aus.txt"), "x");
    // RTF is written.
    TProgramResult rtfOut = Run({P("ein.txt"), P("aus.rtf")});
    EXPECT_EQ(rtfOut.ExitCode, 0) << rtfOut.Err;
    EXPECT_NE(ReadBytes(Dir / "aus.rtf").find("Hallo\\par}"), std::string::npos);

    // An output file made read-only stays as it is.
    WriteBytes(Dir / "fest.xtb", "alt");
    std::filesystem::permissions(Dir / "fest.xtb", std::filesystem::perms::owner_read);
    TProgramResult protectedOut = Run({P("ein.txt"), P("fest.xtb")});
    EXPECT_EQ(protectedOut.ExitCode, 2);
    EXPECT_NE(protectedOut.Err.find("fest.xtb: the file is write-protected"), std::string::npos) << protectedOut.Err;
    EXPECT_EQ(ReadBytes(Dir / "fest.xtb"), "alt");
}

TEST_F(XqconvertCliTest, TextToRvfAndBackKeepsTheText)
{
    const std::string text = "Sehr geehrte Damen und Herren,\r\n\r\nGr\xFC\xDF" "e\r\nEnde";
    WriteBytes(Dir / "ein.txt", text);
    TProgramResult toRvf = Run({P("ein.txt"), P("Eintrag.XTB")});
    ASSERT_EQ(toRvf.ExitCode, 0) << toRvf.Err;
    EXPECT_TRUE(toRvf.Err.empty()) << toRvf.Err;
    EXPECT_EQ(ReadBytes(Dir / "Eintrag.XTB").substr(0, 8), "-8 1 3\r\n") << "RVF, by the extension";

    TProgramResult back = Run({"--", P("Eintrag.XTB"), P("zurueck.TXT")});
    ASSERT_EQ(back.ExitCode, 0) << back.Err;
    EXPECT_EQ(ReadBytes(Dir / "zurueck.TXT"), text);
}

TEST_F(XqconvertCliTest, RtfToUnicodeTextKeepsEveryCharacter)
{
    WriteBytes(Dir / "ein.rtf", "{\\rtf1\\ansi\\ansicpg1252 Gr\\'fc\\'dfe \\u945?\\u946?\\par \\u-10179?\\u-8704?}");
    TProgramResult eightBit = Run({P("ein.rtf"), P("acht.txt")});
    ASSERT_EQ(eightBit.ExitCode, 0) << eightBit.Err;
    EXPECT_EQ(ReadBytes(Dir / "acht.txt"), "Gr\xFC\xDF" "e ??\r\n?");

    TProgramResult wide = Run({"--unicode", P("ein.rtf"), P("breit.txt")});
    ASSERT_EQ(wide.ExitCode, 0) << wide.Err;
    const std::u16string expected = u"\uFEFFGr\u00FC\u00DFe \u03B1\u03B2\r\n\U0001F600";
    EXPECT_EQ(ReadBytes(Dir / "breit.txt"),
              std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 2));

    TProgramResult wrong = Run({"--unicode", P("ein.rtf"), P("aus.rvf")});
    EXPECT_EQ(wrong.ExitCode, 2);
    EXPECT_NE(wrong.Err.find("--unicode applies only to .txt output"), std::string::npos) << wrong.Err;
}

TEST_F(XqconvertCliTest, PartlyReadInputIsWrittenAndExitsWithOne)
{
    WriteBytes(Dir / "kaputt.rvf", "-8 1 3\r\n0 1 0 0 0 0\r\nGerettet\r\n-77 1 0 0 0 0\r\nx\r\n");
    TProgramResult result = Run({P("kaputt.rvf"), P("aus.txt")});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find("kaputt.rvf"), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find("1 items were read"), std::string::npos) << result.Err;
    EXPECT_EQ(ReadBytes(Dir / "aus.txt"), "Gerettet");

    TProgramResult dump = Run({"--dump", P("kaputt.rvf")});
    EXPECT_EQ(dump.ExitCode, 1);
    ASSERT_TRUE(test::ParseJson(dump.Out));
    EXPECT_EQ((*test::ParseJson(dump.Out))["items"][0]["text"].Text, "Gerettet");
}

TEST_F(XqconvertCliTest, WarningsAreReportedWithoutFailing)
{
    // Unicode text in a stream whose style is 8-bit: read, converted, and said so.
    WriteBytes(Dir / "gemischt.rvf", "-8 1 3\r\n0 1 0 8 3 0\r\n4100AC20\r\n");
    TProgramResult result = Run({P("gemischt.rvf"), P("aus.txt")});
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_NE(result.Err.find("warning: " + P("gemischt.rvf") + ": Unicode text converted to 8-bit"),
              std::string::npos)
        << result.Err;
    EXPECT_EQ(ReadBytes(Dir / "aus.txt"), "A\x80") << "the euro sign in code page 1252";
}

TEST_F(XqconvertCliTest, DumpPrintsJsonOfTheFile)
{
    WriteBytes(Dir / "ein.txt", "eins\r\nzwei \xFC");
    TProgramResult result = Run({"--dump", P("ein.txt")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    std::string error;
    const auto json = test::ParseJson(result.Out, &error);
    ASSERT_TRUE(json) << error;
    ASSERT_EQ((*json)["items"].Items.size(), 2u);
    EXPECT_EQ((*json)["items"][1]["text"].Text, "zwei ü");
    EXPECT_EQ((*json)["textStyles"][0]["styleName"].Text, "Normaler Text") << "the main window's style sheet";
    EXPECT_EQ((*json)["document"]["docParameters"]["units"].Text, "millimeters") << "the main window's page";

    WriteBytes(Dir / "unsinn.rvf", "kein RVF");
    TProgramResult garbage = Run({"--dump", P("unsinn.rvf")});
    EXPECT_EQ(garbage.ExitCode, 2);
    EXPECT_TRUE(garbage.Out.empty());
    EXPECT_NE(garbage.Err.find("unsinn.rvf"), std::string::npos);
}

/// The dark pixels of a PNG file per column band: how much was painted, and where.
struct TInk {
    int Width = 0;
    int Height = 0;
    int Dark = 0;
    int DarkRightOf = 0; ///< dark pixels right of the x given to Ink
};

TInk Ink(const std::filesystem::path& path, int rightOf)
{
    TPNGObject png;
    TRGBAImage image;
    TInk ink;
    if (!png.LoadFromBytes(ReadBytes(path)) || !png.Decode(image))
        return ink;
    ink.Width = image.Width;
    ink.Height = image.Height;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const std::uint8_t* p = &image.Pixels[std::size_t(y * image.Width + x) * 4];
            if (p[0] + p[1] + p[2] < 3 * 128) {
                ++ink.Dark;
                ink.DarkRightOf += x >= rightOf;
            }
        }
    return ink;
}

TEST_F(XqconvertCliTest, PaintsDocumentsIntoPngPictures)
{
    const std::string sample = test::SourceDir() + "/data/sample/AText/Brief1.xtb";
    // The editor's width for an A4 page with 20 mm margins: 642 + 5 - 15, plus the margins 5 and 10.
    TProgramResult result = Run({sample, P("brief.png")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const TInk wide = Ink(Dir / "brief.png", 637);
    EXPECT_EQ(wide.Width, 647);
    EXPECT_GT(wide.Dark, 1000) << "the text is painted";
    EXPECT_EQ(wide.DarkRightOf, 0) << "nothing beyond the right margin";

    result = Run({sample, P("schmal.png"), "--width", "300"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const TInk narrow = Ink(Dir / "schmal.png", 305);
    EXPECT_EQ(narrow.Width, 315);
    EXPECT_GT(narrow.Height, wide.Height) << "narrower lines, more of them";
    EXPECT_EQ(narrow.DarkRightOf, 0);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{sample, P("a.png"), "--width"}, {sample, P("a.png"), "--width", "breit"},
          {sample, P("a.png"), "--width", "0"}, {sample, P("a.xtb"), "--width", "300"}}) {
        result = Run(wrong);
        EXPECT_EQ(result.ExitCode, 2) << wrong.back();
        EXPECT_NE(result.Err.find("--width"), std::string::npos) << result.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(Dir / "a.png"));
}

TEST_F(XqconvertCliTest, AnInsertedTableIsPaintedWithAOnePixelGrid)
{
    // An address block as a 2 x 2 table, made as the insert commands make it, between two lines.
    RegisterTableItemKind();
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TCustomRVData doc(&sheet);
    doc.AppendText("Anschrift:", 0, 0);
    auto table = NewInsertedTable(2, 2, false, 0, &doc);
    const char* texts[2][2] = {{"Name", "M\xFCller"}, {"Ort", "Berlin"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            table->Cells(r, c)->Clear();
            table->Cells(r, c)->AppendText(texts[r][c], 0, 0);
        }
    doc.AppendItem("TAB", std::move(table));
    doc.AppendText("Mit freundlichen Gr\xFC\xDF" "en", 0, 0);
    std::string rvf;
    ASSERT_TRUE(TRVFWriter(sheet, RVFMainWindowOptions).WriteDocument(doc, nullptr, rvf));
    WriteBytes(Dir / "tabelle.rvf", rvf);

    // Kept with the build for a person to look at.
    const std::filesystem::path shots =
        std::filesystem::path(test::XqconvertPath()).parent_path().parent_path().parent_path() / "tests" / "screenshots";
    std::filesystem::create_directories(shots);
    const std::filesystem::path png = shots / "inserted-table.png";
    const TProgramResult result = Run({P("tabelle.rvf"), png.string()});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;

    TPNGObject picture;
    TRGBAImage image;
    ASSERT_TRUE(picture.LoadFromBytes(ReadBytes(png)) && picture.Decode(image));
    const auto dark = [&](int x, int y) {
        const std::uint8_t* p = &image.Pixels[std::size_t(y * image.Width + x) * 4];
        return p[0] + p[1] + p[2] < 3 * 128;
    };
    // Lines are the columns and rows that are dark for most of the table's height or width; the
    // grid has three of each, one pixel thick, and none of them next to another.
    const auto lines = [](const std::vector<int>& counts, int least) {
        std::vector<int> at;
        for (int k = 0; k < int(counts.size()); ++k)
            if (counts[std::size_t(k)] >= least)
                at.push_back(k);
        return at;
    };
    std::vector<int> columns(std::size_t(image.Width), 0), rows(std::size_t(image.Height), 0);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (dark(x, y)) {
                ++columns[std::size_t(x)];
                ++rows[std::size_t(y)];
            }
    const std::vector<int> vertical = lines(columns, 40);
    const std::vector<int> horizontal = lines(rows, 400);
    ASSERT_EQ(vertical.size(), 3u) << testing::PrintToString(vertical);
    ASSERT_EQ(horizontal.size(), 3u) << testing::PrintToString(horizontal);
    for (const std::vector<int>* at : {&vertical, &horizontal})
        for (std::size_t k = 1; k < at->size(); ++k)
            EXPECT_GT((*at)[k] - (*at)[k - 1], 20) << "single lines, well apart";
    EXPECT_EQ(vertical.front(), 5) << "the table's border on the editor's left margin";
    EXPECT_EQ(horizontal.back() - horizontal.front(), columns[std::size_t(vertical.front())] - 1)
        << "the left border runs from the top line to the bottom line";
}

} // namespace
} // namespace xq

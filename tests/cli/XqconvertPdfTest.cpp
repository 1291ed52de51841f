// xqconvert's PDF output and its line dump, read back with pdfinfo and pdftotext: one page per
// page of the pagination, the words where the layout put them, failures that leave an old file as
// it was, and the big German document, whose every printed line starts and ends with the words
// of the line the editor's layout made.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "printing/PageSettings.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunProgram;
using test::TProgramResult;
using test::WriteBytes;

/// The program of that name on PATH, or empty.
std::string Which(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

/// The page count pdfinfo reads, or -1.
int PdfPages(const fs::path& pdf)
{
    const TProgramResult info = RunProgram(Which("pdfinfo"), {pdf.string()});
    const std::size_t at = info.Out.find("Pages:");
    if (info.ExitCode != 0 || at == std::string::npos)
        return -1;
    return std::atoi(info.Out.c_str() + at + 6);
}

std::string PdfText(const fs::path& pdf, std::vector<std::string> options = {})
{
    options.push_back(pdf.string());
    options.push_back("-");
    return RunProgram(Which("pdftotext"), options, 300).Out;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::stringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

/// The words of the non-empty lines of a page.
std::vector<std::vector<std::string>> LinesOfWords(const std::string& page)
{
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : Split(page, '\n')) {
        std::stringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;)
            words.push_back(word);
        if (!words.empty())
            lines.push_back(std::move(words));
    }
    return lines;
}

class XqconvertPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Which("pdfinfo").empty() || Which("pdftotext").empty())
            GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
    }

    static TProgramResult Run(const std::vector<std::string>& args, int timeoutSeconds = 60)
    {
        TProgramResult result = RunProgram(test::XqconvertPath(), args, timeoutSeconds);
        EXPECT_EQ(result.Signal, 0) << "xqconvert crashed: " << result.Err;
        return result;
    }

    std::string P(const char* name) const { return (Dir / name).string(); }

    /// Names in the directory other than the ones given.
    std::vector<std::string> OtherFiles(const std::vector<std::string>& known) const
    {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator(Dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end())
                others.push_back(name);
        }
        return others;
    }

    test::TTempDir Dir;
};

constexpr const char* ThreePages = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Blatt Apfel\\par\\page "
                                   "Blatt Birne\\par\\page Blatt Kirsche\\par}";

TEST_F(XqconvertPdfTest, PagesAndLinesAsPaginated)
{
    WriteBytes(Dir / "drei.rtf", ThreePages);
    const TProgramResult printed = Run({P("drei.rtf"), P("drei.pdf")});
    ASSERT_EQ(printed.ExitCode, 0) << printed.Err;
    EXPECT_EQ(printed.Err.find("xqconvert:"), std::string::npos) << printed.Err;
    ASSERT_EQ(PdfPages(Dir / "drei.pdf"), 3);
    // Each page shows its own line and no other.
    const std::vector<std::string> pages = Split(PdfText(Dir / "drei.pdf"), '\f');
    ASSERT_GE(pages.size(), 3u);
    EXPECT_EQ(LinesOfWords(pages[0]), (std::vector<std::vector<std::string>>{{"Blatt", "Apfel"}}));
    EXPECT_EQ(LinesOfWords(pages[1]), (std::vector<std::vector<std::string>>{{"Blatt", "Birne"}}));
    EXPECT_EQ(LinesOfWords(pages[2]), (std::vector<std::vector<std::string>>{{"Blatt", "Kirsche"}}));
    // Every page is drawn at the same scale from the same origin: the first word of each stands
    // at one place, and 10-point text is about 10 points high.
    const std::string boxes = PdfText(Dir / "drei.pdf", {"-bbox"});
    std::vector<std::string> firstWords;
    for (std::size_t page = boxes.find("<page"); page != std::string::npos; page = boxes.find("<page", page + 1)) {
        const std::size_t word = boxes.find("<word", page);
        ASSERT_NE(word, std::string::npos);
        firstWords.push_back(boxes.substr(word, boxes.find('>', word) - word));
        const double yMin = std::atof(boxes.c_str() + boxes.find("yMin=\"", word) + 6);
        const double yMax = std::atof(boxes.c_str() + boxes.find("yMax=\"", word) + 6);
        EXPECT_GT(yMax - yMin, 8.0);
        EXPECT_LT(yMax - yMin, 14.0);
    }
    ASSERT_EQ(firstWords.size(), 3u);
    EXPECT_EQ(firstWords[1], firstWords[0]);
    EXPECT_EQ(firstWords[2], firstWords[0]);
    // The page is A4.
    const TProgramResult info = RunProgram(Which("pdfinfo"), {P("drei.pdf")});
    EXPECT_NE(info.Out.find("(A4)"), std::string::npos) << info.Out;

    const TProgramResult lines = Run({"--lines", P("drei.rtf")});
    EXPECT_EQ(lines.ExitCode, 0) << lines.Err;
    EXPECT_EQ(lines.Out, "Blatt Apfel\n\fBlatt Birne\n\fBlatt Kirsche\n");

    // A plain text file of many lines runs over pages by its length.
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += "Zeile " + std::to_string(i) + "\r\n";
    WriteBytes(Dir / "lang.txt", text);
    ASSERT_EQ(Run({P("lang.txt"), P("lang.pdf")}).ExitCode, 0);
    const std::string dump = Run({"--lines", P("lang.txt")}).Out;
    const int pagesOfDump = 1 + static_cast<int>(std::count(dump.begin(), dump.end(), '\f'));
    EXPECT_GT(pagesOfDump, 2);
    EXPECT_EQ(PdfPages(Dir / "lang.pdf"), pagesOfDump);
}

/// The left edge, in points, of the first word on each page that equals word.
std::vector<double> LeftEdgesOf(const std::string& boxes, const std::string& word)
{
    std::vector<double> edges;
    for (std::size_t page = boxes.find("<page"); page != std::string::npos; page = boxes.find("<page", page + 1)) {
        const std::size_t end = boxes.find("</page>", page);
        const std::size_t at = boxes.find(">" + word + "</word>", page);
        if (at == std::string::npos || at > end) {
            edges.push_back(-1);
            continue;
        }
        const std::size_t tag = boxes.rfind("<word", at);
        edges.push_back(std::atof(boxes.c_str() + boxes.find("xMin=\"", tag) + 6));
    }
    return edges;
}

TEST_F(XqconvertPdfTest, TheDocumentsPageSettingsArePrinted)
{
    // A document saved by the editor with its page settings: mirrored margins of 30 and 10 mm, a
    // header that is not on the first page, a footer counting from 5.
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TCustomRVData doc(&sheet);
    for (int i = 1; i <= 200; ++i)
        doc.AppendText("Zeile " + std::to_string(i), 0, 0);
    TRVDocumentInfo info;
    TPageState state;
    state.PrinterName = "Bürodrucker";
    TRVPrint print;
    TPageSetup setup(state, print);
    print.LeftMarginMM = 30;
    print.RightMarginMM = 10;
    print.TopMarginMM = print.BottomMarginMM = 20;
    print.MirrorMargins = true;
    state.FirstPageNumber = 5;
    state.Header.Text = "Kopf && Co";
    state.Header.PrintOnFirstPage = false;
    state.Footer.Text = "Seite &p von &P";
    setup.WritePageSettings(info.DocProperties);
    ASSERT_EQ(info.DocProperties.size(), 27u);
    ASSERT_TRUE(SaveDocumentFile(Dir / "brief.rvf", sheet, doc, info));

    const TProgramResult printed = Run({P("brief.rvf"), P("brief.pdf")});
    ASSERT_EQ(printed.ExitCode, 0) << printed.Err;
    const int pages = PdfPages(Dir / "brief.pdf");
    ASSERT_GE(pages, 3);
    const std::vector<std::string> text = Split(PdfText(Dir / "brief.pdf"), '\f');
    ASSERT_GE(text.size(), std::size_t(pages));
    EXPECT_EQ(text[0].find("Kopf"), std::string::npos) << "no header on page 1";
    EXPECT_NE(text[1].find("Kopf & Co"), std::string::npos) << text[1];
    EXPECT_NE(text[0].find("Seite 5 von " + std::to_string(pages)), std::string::npos) << text[0];
    EXPECT_NE(text[1].find("Seite 6 von " + std::to_string(pages)), std::string::npos) << text[1];

    // The text starts at the left margin on odd pages and at the right margin's width on even
    // pages, plus the editor's own 5 pixels (3.75 points).
    const std::vector<double> left = LeftEdgesOf(PdfText(Dir / "brief.pdf", {"-bbox"}), "Zeile");
    ASSERT_GE(left.size(), 3u);
    constexpr double pointsPerMM = 72.0 / 25.4;
    EXPECT_NEAR(left[0], 30 * pointsPerMM + 3.75, 1.0);
    EXPECT_NEAR(left[1], 10 * pointsPerMM + 3.75, 1.0);
    EXPECT_NEAR(left[2], 30 * pointsPerMM + 3.75, 1.0);
}

TEST_F(XqconvertPdfTest, FailuresLeaveTheOldFileAsItWas)
{
    WriteBytes(Dir / "alt.pdf", "altes PDF");
    // Nothing to print.
    WriteBytes(Dir / "leer.txt", "");
    const TProgramResult empty = Run({P("leer.txt"), P("alt.pdf")});
    EXPECT_EQ(empty.ExitCode, 2);
    EXPECT_NE(empty.Err.find("no page to print"), std::string::npos) << empty.Err;
    EXPECT_EQ(ReadBytes(Dir / "alt.pdf"), "altes PDF");

    WriteBytes(Dir / "drei.rtf", ThreePages);
    const TProgramResult noFolder = Run({P("drei.rtf"), P("fehlt/aus.pdf")});
    EXPECT_EQ(noFolder.ExitCode, 2);
    EXPECT_NE(noFolder.Err.find("aus.pdf"), std::string::npos) << noFolder.Err;
    EXPECT_FALSE(fs::exists(Dir / "fehlt"));

    ASSERT_EQ(::chmod(P("alt.pdf").c_str(), 0444), 0);
    const TProgramResult readOnly = Run({P("drei.rtf"), P("alt.pdf")});
    EXPECT_EQ(readOnly.ExitCode, 2);
    EXPECT_EQ(ReadBytes(Dir / "alt.pdf"), "altes PDF");
    ASSERT_EQ(::chmod(P("alt.pdf").c_str(), 0644), 0);

    // Written: the old file is replaced whole, nothing else is left behind.
    const TProgramResult written = Run({P("drei.rtf"), P("alt.pdf")});
    EXPECT_EQ(written.ExitCode, 0) << written.Err;
    EXPECT_EQ(PdfPages(Dir / "alt.pdf"), 3);
    EXPECT_EQ(OtherFiles({"alt.pdf", "leer.txt", "drei.rtf"}), std::vector<std::string>{});

    // The dump takes one file, and no output file.
    EXPECT_EQ(Run({"--lines", P("drei.rtf"), P("x.pdf")}).ExitCode, 2);
    EXPECT_EQ(Run({"--lines", "--dump", P("drei.rtf")}).ExitCode, 2);
    EXPECT_EQ(Run({"--lines", P("fehlt.rtf")}).ExitCode, 2);
}

TEST_F(XqconvertPdfTest, BigDocumentPrintsEveryLineAsTheEditorBreaksIt)
{
    const std::string python = Which("python3");
    if (python.empty())
        GTEST_SKIP() << "python3 is needed to generate the big document";
    const fs::path rtf = Dir / "gross.rtf";
    const fs::path pdf = Dir / "gross.pdf";
    ASSERT_EQ(RunProgram(python, {test::SourceDir() + "/scripts/gen_big_document.py", rtf.string()}, 120).ExitCode, 0);

    const TProgramResult printed = Run({rtf.string(), pdf.string()}, 600);
    ASSERT_EQ(printed.ExitCode, 0) << printed.Err;
    const TProgramResult dump = Run({"--lines", rtf.string()}, 600);
    ASSERT_EQ(dump.ExitCode, 0) << dump.Err;

    const std::vector<std::string> laidOut = Split(dump.Out, '\f');
    const int pages = static_cast<int>(laidOut.size());
    EXPECT_GT(pages, 500) << "20,000 paragraphs of about three lines";
    ASSERT_EQ(PdfPages(pdf), pages);

    // pdftotext ends every page with a form feed.
    const std::vector<std::string> inPdf = Split(PdfText(pdf, {"-raw"}), '\f');
    ASSERT_GE(inPdf.size(), laidOut.size());
    int lines = 0;
    int wrong = 0;
    for (int p = 0; p < pages && wrong < 5; ++p) {
        const auto expected = LinesOfWords(laidOut[std::size_t(p)]);
        const auto found = LinesOfWords(inPdf[std::size_t(p)]);
        if (expected.size() != found.size()) {
            ADD_FAILURE() << "page " << p + 1 << ": " << found.size() << " lines printed, " << expected.size()
                          << " laid out";
            ++wrong;
            continue;
        }
        for (std::size_t l = 0; l < expected.size(); ++l) {
            ++lines;
            if (expected[l].front() != found[l].front() || expected[l].back() != found[l].back()) {
                ADD_FAILURE() << "page " << p + 1 << " line " << l + 1 << ": printed " << found[l].front() << " ... "
                              << found[l].back() << ", laid out " << expected[l].front() << " ... "
                              << expected[l].back();
                ++wrong;
            }
        }
    }
    EXPECT_GT(lines, 40000);
}

} // namespace
} // namespace xq

// The stream corpora of the fuzzers: every damaged stream fails cleanly, every valid one loads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "formats/text/TextFormat.h"
#include "support/DocDump.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Corpus(const char* name)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(test::SourceDir()) / "tests" / "data" / name))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

/// What a reader left behind must be a document the writer stores and the reader takes back.
void ExpectWritableAndReadable(const TRVStyle& sheet, TCustomRVData& doc, const fs::path& file)
{
    NormalizeDocument(doc);
    std::string stream;
    ASSERT_TRUE(TRVFWriter(sheet, RVFMainWindowOptions).WriteDocument(doc, nullptr, stream)) << file;
    TRVStyle backSheet;
    SetupMainWindowStyleSheet(backSheet);
    TCustomRVData back(&backSheet);
    EXPECT_TRUE(TRVFReader(backSheet, RVFMainWindowOptions).ReadDocument(back, nullptr, stream)) << file;
    EXPECT_EQ(back.Count(), doc.Count()) << file;
}

TEST(MalformedRvfTest, EveryDamagedStreamFailsAsDocumentAndAsFragment)
{
    const std::vector<fs::path> files = Corpus("rvf-malformed");
    ASSERT_GE(files.size(), 30u);
    for (const fs::path& file : files) {
        const std::string stream = test::ReadBytes(file);
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        TCustomRVData doc(&sheet);
        TRVDocumentInfo info;
        bool ok = true;
        EXPECT_NO_THROW(ok = TRVFReader(sheet, RVFMainWindowOptions).ReadDocument(doc, &info, stream)) << file;
        EXPECT_FALSE(ok) << file;
        ExpectWritableAndReadable(sheet, doc, file);

        // Pasted between two paragraphs, the fragment fails and the paragraphs stay in order.
        TRVStyle pasteSheet;
        SetupMainWindowStyleSheet(pasteSheet);
        TCustomRVData target(&pasteSheet);
        target.AppendText("Anfang", 0, 0);
        target.AppendText("Ende", 0, 0);
        ok = true;
        EXPECT_NO_THROW(ok = TRVFReader(pasteSheet, RVFMainWindowOptions).ReadFragment(target, 1, stream)) << file;
        EXPECT_FALSE(ok) << file;
        ASSERT_GE(target.Count(), 2) << file;
        EXPECT_EQ(target.TextAt(0), "Anfang") << file;
        EXPECT_EQ(target.TextAt(target.Count() - 1), "Ende") << file;
        ExpectWritableAndReadable(pasteSheet, target, file);
    }
}

TEST(MalformedRvfTest, XqconvertExitsWithOneOrTwoAndNeverCrashes)
{
    test::TTempDir dir;
    for (const fs::path& file : Corpus("rvf-malformed")) {
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        TCustomRVData doc(&sheet);
        TRVDocumentInfo info;
        const TLoadResult load = LoadDocumentFile(file, sheet, doc, info);
        ASSERT_FALSE(load.Ok) << file;

        const fs::path output = dir / (file.stem().string() + ".txt");
        const test::TProgramResult result = test::RunProgram(test::XqconvertPath(), {file.string(), output.string()});
        EXPECT_EQ(result.Signal, 0) << file << " crashed xqconvert: " << result.Err;
        EXPECT_EQ(result.ExitCode, load.Partial ? 1 : 2) << file << ": " << result.Err;
        EXPECT_NE(result.Err.find(file.filename().string()), std::string::npos) << "the message names the file";
        EXPECT_EQ(fs::exists(output), load.Partial) << file << ": only a partial read is written";
    }
}

TEST(MalformedRvfTest, ValidSeedStreamsLoad)
{
    const std::vector<fs::path> files = Corpus("rvf");
    ASSERT_GE(files.size(), 10u);
    for (const fs::path& file : files) {
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        TCustomRVData doc(&sheet);
        TRVDocumentInfo info;
        TRVFReader reader(sheet, RVFMainWindowOptions);
        EXPECT_TRUE(reader.ReadDocument(doc, &info, test::ReadBytes(file))) << file;
        EXPECT_GT(doc.Count(), 0) << file;
        ExpectWritableAndReadable(sheet, doc, file);
    }
}

TEST(MalformedRvfTest, TextSeedsImportAndExport)
{
    const std::vector<fs::path> files = Corpus("text");
    ASSERT_GE(files.size(), 8u);
    for (const fs::path& file : files) {
        const std::string bytes = test::ReadBytes(file);
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        TCustomRVData doc(&sheet);
        const bool ok = DetectTextKindOfBytes(bytes) == TTextKind::Unicode ? ImportTextUtf16(doc, bytes, 0, 0, false)
                                                                            : ImportText8(doc, bytes, 0, 0, false);
        EXPECT_TRUE(ok) << file;
        EXPECT_GT(doc.Count(), 0) << file;
        std::string out;
        EXPECT_TRUE(ExportText(doc, out, 80, false)) << file;
        EXPECT_FALSE(out.empty()) << file;
    }
}

} // namespace
} // namespace xq

// Loading and saving by file name: formats by extension, round trips, failures that keep files.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"
#include "pictures/PictureSamples.h"
#include "support/DocDump.h"
#include "tables/TableTestSupport.h"
#include "support/TempDir.h"

namespace xq {
namespace {

using test::DocDump;
using test::ReadBytes;
using test::WriteBytes;

class DocumentFilesTest : public ::testing::Test {
protected:
    DocumentFilesTest() { SetupMainWindowStyleSheet(Sheet); }

    /// Loads into a fresh main sheet and document.
    struct TLoaded {
        TRVStyle Sheet;
        TCustomRVData Doc{&Sheet};
        TRVDocumentInfo Info;
        TLoadResult Result;
    };
    static std::unique_ptr<TLoaded> Load(const std::filesystem::path& path)
    {
        auto loaded = std::make_unique<TLoaded>();
        SetupMainWindowStyleSheet(loaded->Sheet);
        loaded->Result = LoadDocumentFile(path, loaded->Sheet, loaded->Doc, loaded->Info);
        return loaded;
    }

    bool Save(const std::filesystem::path& path, std::string* error = nullptr)
    {
        return SaveDocumentFile(path, Sheet, Doc, Info, error);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVDocumentInfo Info;
    test::TTempDir Dir;
};

TEST_F(DocumentFilesTest, FormatFollowsTheExtensionInAnyLetterCase)
{
    for (const char* path : {"a.txt", "Brief.TXT", "x/y.Txt"})
        EXPECT_EQ(FormatOfPath(path), TFileFormat::Text) << path;
    for (const char* path : {"a.rtf", "A.RTF", "b.Rtf"})
        EXPECT_EQ(FormatOfPath(path), TFileFormat::RTF) << path;
    for (const char* path : {"a.rvf", "Brief1.xtb", "host.DVL", "host.dpa", "host.Abr", "ohne", "a.txt.bak",
                             "ordner.txt/datei", "a.doc"})
        EXPECT_EQ(FormatOfPath(path), TFileFormat::RVF) << path;
}

TEST_F(DocumentFilesTest, PlainTextRoundTrip)
{
    Doc.AppendText("Erste Zeile", 0, 0);
    Doc.AppendText("Gr\xFC\xDF" "e aus K\xF6ln", 1, 2);
    auto line = std::make_unique<TRVBreakItemInfo>();
    Doc.AppendItem({}, std::move(line));
    Doc.AppendText("Ende", 0, 0);
    const auto path = Dir / "Brief.TXT";
    std::string error;
    ASSERT_TRUE(Save(path, &error)) << error;
    EXPECT_EQ(ReadBytes(path), "Erste Zeile\r\nGr\xFC\xDF" "e aus K\xF6ln\r\n" + std::string(80, '-') + "\r\nEnde")
        << "8-bit, CR LF, horizontal lines 80 characters wide";

    auto loaded = Load(path);
    ASSERT_TRUE(loaded->Result.Ok) << loaded->Result.Error;
    EXPECT_FALSE(loaded->Result.Partial);
    EXPECT_EQ(DocDump(loaded->Doc),
              "[p0]\"Erste Zeile\" [p0]\"Gr\xFC\xDF" "e aus K\xF6ln\" [p0]\"" + std::string(80, '-') + "\" [p0]\"Ende\"")
        << "text style 0, paragraph style 0";
}

TEST_F(DocumentFilesTest, TextLoadReplacesTheDocumentAndReadsUtf16)
{
    const auto path = Dir / "unicode.txt";
    WriteBytes(path, std::string("\xFF\xFE" "a\0\xE4\0\r\0\n\0" "b\0", 12));
    auto loaded = Load(path);
    loaded->Doc.AppendText("alt", 0, 0);
    loaded->Result = LoadDocumentFile(path, loaded->Sheet, loaded->Doc, loaded->Info);
    ASSERT_TRUE(loaded->Result.Ok) << loaded->Result.Error;
    EXPECT_EQ(DocDump(loaded->Doc), "[p0]\"a\xE4\" [p0]\"b\"") << "converted to the 8-bit style 0";
}

TEST_F(DocumentFilesTest, RvfRoundTripKeepsItemsStylesAndPage)
{
    const int list = BulletsCommandList(Sheet, "10");
    Doc.AppendText("Sehr geehrte Damen und Herren,", 0, 0);
    Doc.AppendText("[Name]", 5, -1, "feld");
    Doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(list, 0));
    Doc.AppendText("Punkt", 0, -1);
    Doc.AppendText("gerahmt", 0, 4);
    Info.DocParameters = MainWindowDocParameters();
    Info.DocProperties = {"Kopf=Brief"};

    for (const char* name : {"eintrag.xtb", "HOST.DVL", "ohne"}) {
        const auto path = Dir / name;
        std::string error;
        ASSERT_TRUE(Save(path, &error)) << error;
        auto loaded = Load(path);
        ASSERT_TRUE(loaded->Result.Ok) << name << ": " << loaded->Result.Error;
        EXPECT_TRUE(loaded->Result.Warnings.Empty()) << name;
        EXPECT_EQ(DocDump(loaded->Doc), DocDump(Doc)) << name;
        EXPECT_EQ(loaded->Sheet.ListStyles.Count(), 1) << name;
        EXPECT_EQ(loaded->Info.DocParameters, Info.DocParameters) << name;
        EXPECT_EQ(loaded->Info.DocProperties, Info.DocProperties) << name;
        EXPECT_EQ(loaded->Doc.Markers().size(), 1u) << name;
    }
}

TEST_F(DocumentFilesTest, DamagedRvfLoadsInPartAndIsNormalised)
{
    const auto path = Dir / "kaputt.rvf";
    // A list marker that ends its paragraph, then an item of an unknown kind.
    WriteBytes(path, "-8 1 3\r\n0 1 0 0 0 0\r\nAnfang\r\n-11 0 0 0 2 0 -1 0 1 0\r\n-77 1 0 0 0 0\r\nx\r\n");
    auto loaded = Load(path);
    EXPECT_FALSE(loaded->Result.Ok);
    EXPECT_TRUE(loaded->Result.Partial);
    EXPECT_NE(loaded->Result.Error.find("kaputt.rvf"), std::string::npos) << loaded->Result.Error;
    EXPECT_EQ(DocDump(loaded->Doc), R"([p0]"Anfang" [p0]<-11> "")")
        << "what was read stays, and the marker gets the text it needs";

    WriteBytes(path, "kein RVF");
    loaded = Load(path);
    EXPECT_FALSE(loaded->Result.Ok);
    EXPECT_FALSE(loaded->Result.Partial) << "nothing was read";
}

TEST_F(DocumentFilesTest, RtfReplacesTheDocumentAndFindsPicturesBesideTheFile)
{
    Doc.AppendText("alt", 0, 0);
    std::filesystem::create_directories(Dir / "bilder");
    WriteBytes(Dir / "bilder" / "punkt.png", test::EncodeRgbaPng(2, 3, std::string(24, '\x10')));
    const auto rtf = Dir / "Brief.RTF";
    WriteBytes(rtf, "{\\rtf1\\ansi\\paperw11906 Hallo {\\field{\\*\\fldinst INCLUDEPICTURE \"bilder/punkt.png\"}"
                    "{\\fldrslt x}}\\par}");
    TLoadResult read = LoadDocumentFile(rtf, Sheet, Doc, Info);
    ASSERT_TRUE(read.Ok) << read.Error;
    ASSERT_EQ(Doc.Count(), 2) << DocDump(Doc);
    EXPECT_EQ(Doc.TextAt(0), "Hallo ");
    ASSERT_EQ(Doc.StyleOf(1), rvsPicture);
    EXPECT_EQ(static_cast<const TRVGraphicItemInfo&>(Doc.ItemAt(1)).Image->Width(), 2);
    EXPECT_NEAR(Info.DocParameters.ToTwips(Info.DocParameters.PageWidth), 11906, 1);

    // A truncated file keeps what it holds.
    WriteBytes(rtf, "{\\rtf1\\ansi Anfang\\par Rest");
    TLoadResult truncated = LoadDocumentFile(rtf, Sheet, Doc, Info);
    EXPECT_FALSE(truncated.Ok);
    EXPECT_TRUE(truncated.Partial);
    EXPECT_NE(truncated.Error.find("Brief.RTF: the RTF ends inside a group"), std::string::npos) << truncated.Error;
    EXPECT_EQ(test::ContentText(Doc), "Anfang|Rest");
}

TEST_F(DocumentFilesTest, FilesThatCannotBeReadLeaveTheDocumentAlone)
{
    Doc.AppendText("bleibt", 0, 0);
    const std::string before = DocDump(Doc);

    TLoadResult missing = LoadDocumentFile(Dir / "fehlt.xtb", Sheet, Doc, Info);
    EXPECT_FALSE(missing.Ok);
    EXPECT_FALSE(missing.Partial);
    EXPECT_NE(missing.Error.find("fehlt.xtb: No such file or directory"), std::string::npos) << missing.Error;

    TLoadResult directory = LoadDocumentFile(Dir.Path(), Sheet, Doc, Info);
    EXPECT_FALSE(directory.Ok);
    EXPECT_FALSE(directory.Error.empty());

    // Larger than the limit: refused from its size, before any byte is read (a sparse file).
    const auto huge = Dir / "riesig.rvf";
    WriteBytes(huge, "");
    std::filesystem::resize_file(huge, MaxDocumentFileSize + 1);
    TLoadResult tooLarge = LoadDocumentFile(huge, Sheet, Doc, Info);
    EXPECT_FALSE(tooLarge.Ok);
    EXPECT_NE(tooLarge.Error.find("too large"), std::string::npos) << tooLarge.Error;

    EXPECT_EQ(DocDump(Doc), before);
}

TEST_F(DocumentFilesTest, DocumentsWithTooManyItemsAreRefusedNotCut)
{
    Doc.AppendText("vorher", 0, 0);
    const auto lines = Dir / "zeilen.txt";
    WriteBytes(lines, std::string(std::size_t(MaxDocumentItems), '\n'));
    const TLoadResult text = LoadDocumentFile(lines, Sheet, Doc, Info);
    EXPECT_FALSE(text.Ok);
    EXPECT_TRUE(text.TooLarge);
    EXPECT_FALSE(text.Partial) << "nothing of it is kept";
    EXPECT_TRUE(Doc.Empty());
    EXPECT_NE(text.Error.find("zeilen.txt: the text has more lines"), std::string::npos) << text.Error;

    // A damaged file is no large one.
    const auto damaged = Dir / "kaputt.txt";
    WriteBytes(damaged, std::string("\xFF\xFE") + "x");
    EXPECT_FALSE(LoadDocumentFile(damaged, Sheet, Doc, Info).TooLarge);
}

TEST_F(DocumentFilesTest, FailedSaveKeepsTheOldFile)
{
    Doc.AppendText(std::string(4096, 'x'), 0, 0);
    const auto path = Dir / "alt.rvf";
    WriteBytes(path, "alter Inhalt");

    // A file size limit makes the write fail even for root, who may write anywhere.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 100;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool saved = Save(path, &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("alt.rvf"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path), "alter Inhalt");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left behind";

    EXPECT_FALSE(Save(Dir / "fehlt" / "neu.xtb", &error)) << "a folder that does not exist";
    // RTF is written (reading it comes later).
    EXPECT_TRUE(Save(Dir / "Brief.rtf", &error)) << error;
    EXPECT_EQ(ReadBytes(Dir / "Brief.rtf").rfind("{\\rtf1\\ansi", 0), 0u);
}

} // namespace
} // namespace xq

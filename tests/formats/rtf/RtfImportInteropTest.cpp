// RTF that LibreOffice writes, read by our import: a document built here (formatted runs, two
// lists, pictures, a link, a table with a vertically merged cell and a nested table) goes out
// as our RTF, LibreOffice converts it to its own RTF (one soffice run for the suite; it writes
// \listtable, \ls and \listtext, \shppict with \nonshppict, HYPERLINK fields, \clvmgf, \itap),
// and that is read back as the editor opens a file. Skipped, saying so, without LibreOffice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/Graphic.h"
#include "document/ItemInfo.h"
#include "document/ListInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/rtf/RtfImport.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "platform/CodePage.h"
#include "support/DocumentBuilders.h"
#include "support/LibreOffice.h"
#include "support/TempDir.h"
#include "tables/TableItem.h"

namespace xq::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* LinkTarget = "http://example.org/seite?a=1";

/// The document sent through LibreOffice.
struct TOriginal {
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());

    int AddStyle()
    {
        TFontInfo& style = Sheet->TextStyles.Add();
        style.CopyStyle(Sheet->TextStyles[0]);
        return Sheet->TextStyles.Count() - 1;
    }
};

TOriginal BuildOriginal()
{
    TOriginal o;
    TRVStyle& sheet = *o.Sheet;
    TCustomRVData& doc = *o.Doc;
    const int bold = o.AddStyle();
    sheet.TextStyles[bold].Style.Include(fsBold);
    const int italic = o.AddStyle();
    sheet.TextStyles[italic].Style.Include(fsItalic);
    const int underline = o.AddStyle();
    sheet.TextStyles[underline].Style.Include(fsUnderline);
    const int red = o.AddStyle();
    sheet.TextStyles[red].Color = clRed;
    const int big = o.AddStyle();
    sheet.TextStyles[big].Size = 14;
    sheet.TextStyles[big].FontName = "Courier New";
    const int link = o.AddStyle();
    sheet.TextStyles[link].Jump = true;
    sheet.TextStyles[link].Color = clBlue;
    sheet.TextStyles[link].Style.Include(fsUnderline);

    doc.AppendText("schlicht ", 0, 0);
    doc.AppendText("fett ", bold, -1);
    doc.AppendText("kursiv ", italic, -1);
    doc.AppendText("unterstrichen ", underline, -1);
    doc.AppendText("rot ", red, -1);
    doc.AppendText("gross", big, -1);

    TRVListInfo& numbers = sheet.ListStyles.Add();
    TRVListLevel& number = numbers.Levels.Add();
    number.ListType = rvlstDecimal;
    number.FormatString = "%0:s.";
    number.LeftIndent = 24;
    TRVListInfo& bullets = sheet.ListStyles.Add();
    TRVListLevel& bullet = bullets.Levels.Add();
    bullet.ListType = rvlstUnicodeBullet;
    bullet.FormatStringW = u"\u25A0";
    bullet.LeftIndent = 24;
    const auto listPara = [&](int listNo, const std::string& text) {
        auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, 0);
        marker->ParaNo = 0;
        doc.AppendItem({}, std::move(marker));
        doc.AppendText(text, 0, -1);
    };
    listPara(0, "Erstens");
    listPara(0, "Zweitens");
    listPara(0, "Drittens");
    doc.AppendText("Zwischen den Listen", 0, 0);
    listPara(1, "Punkt eins");
    listPara(1, "Punkt zwei");

    doc.AppendText("Siehe ", 0, 0);
    doc.AppendText("Verweis", link, -1, LinkTarget);
    doc.AppendText(" hier", 0, -1);

    std::string rgba;
    for (int i = 0; i < 40 * 30; ++i)
        rgba += std::string{char(i % 251), char(i % 7 * 30), char(200), char(255)};
    const std::string png = EncodeRgbaPng(40, 30, rgba);
    doc.AppendText("Bilder", 0, 0);
    AppendPicture(doc, png, 0, 0, -1);    // natural size
    AppendPicture(doc, png, 120, 15, -1); // stretched and squeezed

    auto table = std::make_unique<TRVTableItemInfo>(3, 2, &doc);
    table->ParaNo = 0;
    TRVTableItemInfo& t = *table;
    LabelCells(t, "Z");
    EXPECT_TRUE(t.MergeCells(0, 0, 1, 2)); // down
    TRVTableCellData& host = *t.Cells(2, 1);
    auto inner = std::make_unique<TRVTableItemInfo>(2, 2, &host);
    inner->ParaNo = 0;
    LabelCells(*inner, "I");
    host.AppendItem("", std::move(inner));
    doc.AppendText("Vor der Tabelle", 0, 0);
    doc.AppendItem("", std::move(table));
    doc.AppendText("Ende", 0, 0);
    return o;
}

/// What our import made of LibreOffice's RTF.
struct TReadBack {
    TTempDir Dir;
    std::string LibreOfficeRtf;
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());
    TRVDocumentInfo Info;
    TLoadResult Result;
    std::string Error;
};

/// While alive, list markers export as nothing.
class TNoMarkers {
public:
    TNoMarkers()
    {
        RegisterTextExportForm(rvsListMarker, [](const TCustomRVData&, int, int, bool, std::string&) { return true; });
    }
    ~TNoMarkers() { RegisterTextExportForm(rvsListMarker, {}); }
    TNoMarkers(const TNoMarkers&) = delete;
    TNoMarkers& operator=(const TNoMarkers&) = delete;
};

std::vector<std::string> WordsWithoutLabels(const TCustomRVData& doc)
{
    const TNoMarkers noMarkers;
    std::string text;
    EXPECT_TRUE(ExportText(doc, text, 80, true));
    std::vector<std::string> words;
    for (std::string& word :
         WordsOf(Utf16ToUtf8(Utf16FromBytes(text.size() >= 2 ? std::string_view(text).substr(2) : std::string_view()))))
        if (word != "|" && word.find_first_not_of("=-") != std::string::npos) // cell separators and lines
            words.push_back(std::move(word));
    return words;
}

class RtfImportInterop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (LibreOfficePath().empty())
            return;
        Back_ = std::make_unique<TReadBack>();
        TReadBack& back = *Back_;
        Original_ = std::make_unique<TOriginal>(BuildOriginal());
        std::string ours;
        TRVRTFWriteSettings settings{RTFMainWindowOptions};
        settings.ListIdSource = [next = std::uint32_t(1000)]() mutable { return next += 7919; }; // the same RTF each run
        if (!WriteRtfDocument(*Original_->Doc, settings, ours)) {
            back.Error = "our RTF cannot be written";
            return;
        }
        const fs::path in = back.Dir / "ours" / "dokument.rtf";
        fs::create_directories(in.parent_path());
        WriteBytes(in, ours);
        // ctest runs each test in a process of its own: LibreOffice's RTF of this very input is
        // kept in a cache, so that soffice runs once for the suite there too.
        const fs::path cache = fs::temp_directory_path() / "xqtest-libreoffice-rtf" /
                               (std::to_string(std::hash<std::string>{}(ours)) + ".rtf");
        fs::path theirs = cache;
        std::error_code ec;
        if (!fs::is_regular_file(cache, ec)) {
            const fs::path outDir = back.Dir / "libreoffice";
            fs::create_directories(outDir);
            if (!ConvertWithLibreOffice({in}, "rtf", ".rtf", outDir, back.Error))
                return;
            theirs = outDir / "dokument.rtf";
            fs::create_directories(cache.parent_path(), ec);
            const fs::path part = cache.string() + "." + back.Dir.Path().filename().string();
            fs::copy_file(theirs, part, fs::copy_options::overwrite_existing, ec);
            if (!ec)
                fs::rename(part, cache, ec);
        }
        back.LibreOfficeRtf = ReadBytes(theirs);
        SetupMainWindowStyleSheet(*back.Sheet);
        back.Result = LoadDocumentFile(theirs, *back.Sheet, *back.Doc, back.Info);
    }
    static void TearDownTestSuite()
    {
        Back_.reset();
        Original_.reset();
    }

    void SetUp() override
    {
        if (LibreOfficePath().empty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed: RTF written by another program is not read";
        ASSERT_TRUE(Back_->Error.empty()) << Back_->Error;
        ASSERT_TRUE(Back_->Result.Ok) << Back_->Result.Error;
    }

    static const TCustomRVData& Doc() { return *Back_->Doc; }
    static const TRVStyle& Sheet() { return *Back_->Sheet; }
    static const std::string& TheirRtf() { return Back_->LibreOfficeRtf; }
    static const TOriginal& Original() { return *Original_; }

    /// The text style of the top-level text item whose text (trimmed) is word.
    static const TFontInfo* StyleOfWord(const std::string& word)
    {
        for (int i = 0; i < Doc().Count(); ++i) {
            if (!Doc().ItemAt(i).IsText())
                continue;
            std::string text = Doc().ItemAt(i).IsUnicode() ? Utf16ToUtf8(Utf16FromBytes(Doc().TextAt(i)))
                                                           : Utf16ToUtf8(AnsiToUnicode(Doc().TextAt(i), 1252));
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            while (!text.empty() && text.front() == ' ')
                text.erase(0, 1);
            if (text == word)
                return &Sheet().TextStyles[Doc().ActualStyleOf(i)];
        }
        return nullptr;
    }

private:
    static inline std::unique_ptr<TReadBack> Back_;
    static inline std::unique_ptr<TOriginal> Original_;
};

TEST_F(RtfImportInterop, LibreOfficeWritesWhatTheTestIsAbout)
{
    for (const char* keyword : {"\\listtable", "\\ls", "\\listtext", "\\shppict", "\\nonshppict", "\\pngblip",
                                "HYPERLINK", "\\clvmgf", "\\itap2"})
        EXPECT_NE(TheirRtf().find(keyword), std::string::npos) << keyword;
}

TEST_F(RtfImportInterop, TheTextComesInOnce)
{
    EXPECT_EQ(WordsWithoutLabels(Doc()), WordsWithoutLabels(*Original().Doc));
}

TEST_F(RtfImportInterop, FormattingComesInAsWritten)
{
    const auto style = [](const std::string& word) {
        const TFontInfo* s = StyleOfWord(word);
        EXPECT_NE(s, nullptr) << word << " is one run";
        return s ? *s : TFontInfo{};
    };
    const TFontInfo plain = style("schlicht");
    EXPECT_FALSE(plain.Style.Contains(fsBold));
    EXPECT_FALSE(plain.Style.Contains(fsItalic));
    EXPECT_EQ(plain.Size, 10);
    EXPECT_TRUE(style("fett").Style.Contains(fsBold));
    EXPECT_FALSE(style("fett").Style.Contains(fsItalic));
    EXPECT_TRUE(style("kursiv").Style.Contains(fsItalic));
    EXPECT_TRUE(style("unterstrichen").Style.Contains(fsUnderline));
    EXPECT_EQ(ColorToRGB(style("rot").Color), ColorToRGB(clRed));
    EXPECT_EQ(ColorToRGB(plain.Color), ColorToRGB(clBlack));
    EXPECT_EQ(style("gross").Size, 14);
    EXPECT_EQ(style("gross").FontName, "Courier New");
    EXPECT_EQ(plain.FontName, Original().Sheet->TextStyles[0].FontName);
}

TEST_F(RtfImportInterop, EachListIsOneListStyleReusedByItsParagraphs)
{
    // The list style of each paragraph's marker, by the paragraph's text.
    std::map<std::string, int> listOf;
    for (int i = 0; i + 1 < Doc().Count(); ++i)
        if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&Doc().ItemAt(i)))
            if (Doc().ItemAt(i + 1).IsText())
                listOf[Doc().TextAt(i + 1)] = marker->ListNo;
    ASSERT_EQ(listOf.size(), 5u) << "one marker for each list paragraph";
    EXPECT_GE(listOf["Erstens"], 0);
    EXPECT_EQ(listOf["Zweitens"], listOf["Erstens"]);
    EXPECT_EQ(listOf["Drittens"], listOf["Erstens"]);
    EXPECT_GE(listOf["Punkt eins"], 0);
    EXPECT_EQ(listOf["Punkt zwei"], listOf["Punkt eins"]);
    EXPECT_NE(listOf["Punkt eins"], listOf["Erstens"]);
    const TRVListLevel& numbers = Sheet().ListStyles[listOf["Erstens"]].Levels[0];
    EXPECT_EQ(numbers.ListType, rvlstDecimal);
    const TRVListLevel& bullets = Sheet().ListStyles[listOf["Punkt eins"]].Levels[0];
    EXPECT_TRUE(bullets.ListType == rvlstUnicodeBullet || bullets.ListType == rvlstBullet);
    if (bullets.ListType == rvlstUnicodeBullet) {
        EXPECT_EQ(bullets.FormatStringW, u"\u25A0");
    }
    // The labels LibreOffice writes as \listtext are no text of ours.
    for (int i = 0; i < Doc().Count(); ++i) {
        if (Doc().ItemAt(i).IsText()) {
            EXPECT_EQ(Doc().TextAt(i).find("1."), std::string::npos) << Doc().TextAt(i);
        }
    }
}

TEST_F(RtfImportInterop, PicturesComeInOnceInTheirSizes)
{
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < Doc().Count(); ++i)
        if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&Doc().ItemAt(i))) {
            ASSERT_TRUE(picture->Image);
            EXPECT_EQ(picture->Image->ClassName(), "TPNGObject") << "the \\shppict picture, not the \\nonshppict one";
            sizes.emplace_back(picture->ImageWidth > 0 ? picture->ImageWidth : picture->Image->Width(),
                               picture->ImageHeight > 0 ? picture->ImageHeight : picture->Image->Height());
        }
    ASSERT_EQ(sizes.size(), 2u) << "each picture once";
    EXPECT_NEAR(sizes[0].first, 40, 1);
    EXPECT_NEAR(sizes[0].second, 30, 1);
    EXPECT_NEAR(sizes[1].first, 120, 1);
    EXPECT_NEAR(sizes[1].second, 15, 1);
}

TEST_F(RtfImportInterop, LinksKeepTheirTargetsAsTags)
{
    int links = 0;
    for (int i = 0; i < Doc().Count(); ++i) {
        const TCustomRVItemInfo& item = Doc().ItemAt(i);
        if (!item.IsText() || !Sheet().TextStyles[Doc().ActualStyleOf(i)].Jump)
            continue;
        ++links;
        EXPECT_EQ(Doc().TextAt(i), "Verweis");
        EXPECT_EQ(item.Tag, LinkTarget);
    }
    EXPECT_EQ(links, 1);
    ASSERT_NE(StyleOfWord("Siehe"), nullptr);
    EXPECT_FALSE(StyleOfWord("Siehe")->Jump);
    ASSERT_NE(StyleOfWord("hier"), nullptr);
    EXPECT_FALSE(StyleOfWord("hier")->Jump) << "the text after the link is no link";
}

TEST_F(RtfImportInterop, TablesKeepTheirMergedAndNestedCells)
{
    std::vector<const TRVTableItemInfo*> tables;
    for (int i = 0; i < Doc().Count(); ++i)
        if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&Doc().ItemAt(i)))
            tables.push_back(table);
    ASSERT_EQ(tables.size(), 1u);
    const TRVTableItemInfo& t = *tables[0];
    ASSERT_EQ(t.RowCount(), 3);
    ASSERT_EQ(t.ColCount(), 2);
    ASSERT_NE(t.Cells(0, 0), nullptr);
    EXPECT_EQ(t.Cells(0, 0)->RowSpan(), 2) << "\\clvmgf over \\clvmrg";
    EXPECT_EQ(t.Cells(1, 0), nullptr);
    ASSERT_NE(t.Cells(2, 1), nullptr);
    const TRVTableCellData& host = *t.Cells(2, 1);
    const TRVTableItemInfo* inner = nullptr;
    for (int i = 0; i < host.Count(); ++i)
        if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&host.ItemAt(i)))
            inner = table;
    ASSERT_NE(inner, nullptr) << "the nested table";
    EXPECT_EQ(inner->RowCount(), 2);
    EXPECT_EQ(inner->ColCount(), 2);
    ASSERT_NE(inner->Cells(1, 1), nullptr);
    ASSERT_GT(inner->Cells(1, 1)->Count(), 0);
    EXPECT_EQ(inner->Cells(1, 1)->TextAt(0), "I11");
}

} // namespace
} // namespace xq::test

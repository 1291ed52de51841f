// LibreOffice reads the RTF we write of every committed document and of the bundled AutoText
// entries as we show them: the same words (list labels included), the same tables with their
// merged and nested cells, the pictures in their sizes, and bold, italic, underline, colour and
// size on the same characters. All documents go through LibreOffice in one run per output
// format, for the whole suite. Skipped, saying so, without LibreOffice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/Graphic.h"
#include "document/ListInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"
#include "platform/SymbolFonts.h"
#include "support/FlatOdt.h"
#include "support/LibreOffice.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "tables/TableItem.h"

namespace xq::test {
namespace {

namespace fs = std::filesystem;

/// Committed documents that exist to show how the reader repairs damaged input: what they hold
/// after the repair is the reader's choice, not a document anybody wrote, so they are left out.
/// (A file the reader refuses is left out too, see LoadCorpus.)
const char* const RepairedInput[] = {
    "table-negative-span.rvf",      // a negative span, cut to 1
    "table-overlapping-spans.rvf",  // two merged cells claiming the same slot
    "table-span-beyond-grid.rvf",   // a span reaching past the last row and column
    "table-zero-span.rvf",          // a span of 0
    "unicode-dangling-odd-byte.rvf", // Unicode text of an odd number of bytes
};

struct TCorpusDoc {
    std::string Name; ///< the file stem LibreOffice's outputs are named by
    fs::path Source;
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());
    TRVDocumentInfo Info;
    std::string LibreOfficeText;
    std::optional<TXmlNode> LibreOfficeOdt;
};

/// Everything the suite's tests compare, made once.
struct TCorpus {
    TTempDir Dir;
    std::vector<TCorpusDoc> Docs;
    std::string Error; ///< why the corpus could not be prepared
};

// --- Our side ---------------------------------------------------------------------------------

/// While alive, list markers export as the user sees them. Our text export keeps a symbol font's
/// character code (the "l" of a Wingdings bullet), while LibreOffice turns symbol-font text into
/// the Unicode characters it shows (U+25CF for that bullet). A marker that restarts its numbering
/// is marked with U+0001 before its label, see LibreOfficeMayContinueCounting.
class TMarkersAsShown {
public:
    TMarkersAsShown() { RegisterTextExportForm(rvsListMarker, &Form); }
    ~TMarkersAsShown() { RegisterTextExportForm(rvsListMarker, {}); }
    TMarkersAsShown(const TMarkersAsShown&) = delete;
    TMarkersAsShown& operator=(const TMarkersAsShown&) = delete;

private:
    static bool Form(const TCustomRVData& data, int index, int, bool unicode, std::string& out)
    {
        const auto& marker = static_cast<const TRVMarkerItemInfo&>(data.ItemAt(index));
        const TRVStyle* sheet = data.GetRVStyle();
        if (!unicode || !sheet || !sheet->ListStyles.IsValidIndex(marker.ListNo))
            return true;
        const TRVListInfo& list = sheet->ListStyles[marker.ListNo];
        if (list.Levels.Count() == 0)
            return true;
        const TRVListLevel& level = list.Levels[std::clamp(marker.Level, 0, list.Levels.Count() - 1)];
        std::u16string text;
        switch (level.ListType) {
        case rvlstPicture:
        case rvlstImageList:
        case rvlstImageListCounter: text = u"*"; break;
        case rvlstUnicodeBullet: text = level.FormatStringW; break;
        default: {
            const TFontDescription& font = level.EffectiveFont();
            text = AnsiToUnicode(marker.DisplayText, CodePageOfCharset(font.Charset, sheet->DefCodePage));
            if (const TSymbolFont symbol = SymbolFontOf(font.Name); symbol != sfNone)
                text = SymbolTextToUnicode(symbol, text);
            if (marker.Reset && level.ListType >= rvlstDecimal && level.ListType <= rvlstUpperRoman)
                text = u"\u0001" + text;
        }
        }
        out += BytesFromUtf16(text + u" ");
        return true;
    }
};

std::string OurText(const TCustomRVData& doc)
{
    std::string text;
    EXPECT_TRUE(ExportText(doc, text, 80, true));
    return Utf16ToUtf8(Utf16FromBytes(text.size() >= 2 ? std::string_view(text).substr(2) : std::string_view()));
}

/// The words that hold a letter or a digit: horizontal lines ("====") and cell separators ("|")
/// of our text export are no words.
std::vector<std::string> LetterWords(const std::string& text)
{
    std::vector<std::string> words;
    for (std::string& word : WordsOf(text)) {
        const std::u32string chars = Utf8ToUtf32(word);
        if (std::any_of(chars.begin(), chars.end(), [](char32_t c) {
                return c > 0x7F ? c != 0xFFFD && !(c >= 0x2000 && c <= 0x2BFF) && !(c >= 0x1F000) && c != 0x01
                                : std::isalnum(static_cast<int>(c)) != 0;
            }))
            words.push_back(std::move(word));
    }
    return words;
}

/// LibreOffice keeps counting through a marker that restarts the numbering of its list: it
/// reads the restart (the override's start value reaches its list styles, which
/// NumberingRestartsReachLibreOffice checks) but numbers the paragraph in the list it continues,
/// and it does so with its own RTF of such a list too. So such a label must only have the
/// same form, digits aside.
bool SameWord(const std::string& ours, const std::string& theirs)
{
    if (ours.empty() || ours[0] != '\x01')
        return ours == theirs;
    static const std::regex digits("[0-9]+");
    return std::regex_replace(ours.substr(1), digits, "#") == std::regex_replace(theirs, digits, "#");
}

TTableShape ShapeOf(const TRVTableItemInfo& table);

void TablesIn(const TCustomRVData& data, std::vector<TTableShape>& tables)
{
    // A table without rows has nothing RTF could hold; it writes nothing.
    for (int i = 0; i < data.Count(); ++i)
        if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&data.ItemAt(i)); table && table->RowCount() > 0)
            tables.push_back(ShapeOf(*table));
}

TTableShape ShapeOf(const TRVTableItemInfo& table)
{
    TTableShape shape;
    shape.Columns = table.ColCount();
    for (int r = 0; r < table.RowCount(); ++r) {
        auto& slots = shape.Rows.emplace_back();
        for (int c = 0; c < table.ColCount(); ++c) {
            const TRVTableCellData* cell = table.Cells(r, c);
            if (!cell) {
                slots.push_back("-");
                continue;
            }
            slots.push_back(cell->ColSpan() == 1 && cell->RowSpan() == 1
                                ? "C"
                                : "C" + std::to_string(cell->ColSpan()) + "x" + std::to_string(cell->RowSpan()));
            TablesIn(*cell, shape.Nested);
        }
    }
    return shape;
}

/// The sizes our pictures are shown in, in inches at 96 pixels per inch, in document order
/// (a table's cells row by row).
void PictureSizesIn(const TCustomRVData& data, std::vector<std::pair<double, double>>& sizes)
{
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
            if (picture->Image && !picture->Image->Empty()) {
                const int w = picture->ImageWidth > 0 ? picture->ImageWidth : picture->Image->Width();
                const int h = picture->ImageHeight > 0 ? picture->ImageHeight : picture->Image->Height();
                sizes.emplace_back(w / 96.0, h / 96.0);
            }
        } else if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
            for (int r = 0; r < table->RowCount(); ++r)
                for (int c = 0; c < table->ColCount(); ++c)
                    if (const TRVTableCellData* cell = table->Cells(r, c))
                        PictureSizesIn(*cell, sizes);
        }
    }
}

TCharLook LookOf(const TFontInfo& style)
{
    TCharLook look;
    look.Bold = style.Style.Contains(fsBold);
    look.Italic = style.Style.Contains(fsItalic);
    look.Underline = style.Style.Contains(fsUnderline);
    const TColor rgb = ColorToRGB(style.Color);
    char color[8];
    std::snprintf(color, sizeof color, "#%02x%02x%02x", RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    look.Color = color;
    look.Size = style.Size;
    return look;
}

void AddChars(std::u16string_view text, const TCharLook& look, std::vector<std::pair<char32_t, TCharLook>>& out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != 0xA0)
            out.emplace_back(c, look);
    }
}

/// The characters of our text items and labels (the text RTF carries as text), with their look;
/// list labels, sequence numbers and notes are fields or generated in LibreOffice and left out
/// on both sides.
void LookedCharsIn(const TCustomRVData& data, std::vector<std::pair<char32_t, TCharLook>>& out)
{
    const TRVStyle& sheet = *data.GetRVStyle();
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (item.IsText()) {
            const int styleNo = data.ActualStyleOf(i);
            const TFontInfo& style = sheet.TextStyles.StyleAt(styleNo);
            if (style.Options.Contains(rvteoHTMLCode))
                continue;
            const std::string& bytes = data.TextAt(i);
            AddChars(item.IsUnicode() ? Utf16FromBytes(bytes) : AnsiToUnicode(bytes, sheet.CodePageOfStyle(styleNo)),
                     LookOf(style), out);
        } else if (item.StyleNo == rvsLabel || item.StyleNo == rvsNoteReference) {
            const auto& label = static_cast<const TRVLabelItemInfo&>(item);
            AddChars(AnsiToUnicode(label.Text, sheet.CodePageOfStyle(label.TextStyleNo)),
                     LookOf(sheet.TextStyles.StyleAt(label.TextStyleNo)), out);
        } else if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
            for (int r = 0; r < table->RowCount(); ++r)
                for (int c = 0; c < table->ColCount(); ++c)
                    if (const TRVTableCellData* cell = table->Cells(r, c))
                        LookedCharsIn(*cell, out);
        }
    }
}

// --- The corpus ---------------------------------------------------------------------------------

std::vector<fs::path> CorpusFiles()
{
    std::vector<fs::path> files;
    const fs::path source(SourceDir());
    for (const auto& entry : fs::directory_iterator(source / "tests" / "data" / "rvf")) {
        const std::string name = entry.path().filename().string();
        if (std::find(std::begin(RepairedInput), std::end(RepairedInput), name) == std::end(RepairedInput))
            files.push_back(entry.path());
    }
    for (const auto& entry : fs::directory_iterator(source / "data" / "sample" / "AText"))
        if (entry.path().extension() == ".xtb")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<TCorpus> LoadCorpus()
{
    auto corpus = std::make_unique<TCorpus>();
    if (LibreOfficePath().empty())
        return corpus;
    std::vector<fs::path> rtfs;
    for (const fs::path& file : CorpusFiles()) {
        TCorpusDoc doc;
        // The bundled store's entries are named apart from the committed copies of them.
        doc.Name = (file.parent_path().filename() == "AText" ? "bundled-" : "") + file.stem().string();
        doc.Source = file;
        SetupMainWindowStyleSheet(*doc.Sheet);
        const TLoadResult load = LoadDocumentFile(file, *doc.Sheet, *doc.Doc, doc.Info);
        if (!load.Ok)
            continue; // refused by the reader: there is no document to write
        const fs::path rtf = corpus->Dir / (doc.Name + ".rtf");
        std::string error;
        if (!SaveDocumentFile(rtf, *doc.Sheet, *doc.Doc, doc.Info, &error)) {
            corpus->Error = error;
            return corpus;
        }
        rtfs.push_back(rtf);
        corpus->Docs.push_back(std::move(doc));
    }
    std::string error;
    const fs::path text = corpus->Dir / "text", odt = corpus->Dir / "odt";
    fs::create_directories(text);
    fs::create_directories(odt);
    if (!ConvertWithLibreOffice(rtfs, "txt:Text (encoded):UTF8", ".txt", text, error) ||
        !ConvertWithLibreOffice(rtfs, "fodt", ".fodt", odt, error)) {
        corpus->Error = error;
        return corpus;
    }
    for (TCorpusDoc& doc : corpus->Docs) {
        doc.LibreOfficeText = ReadBytes(text / (doc.Name + ".txt"));
        std::string why;
        doc.LibreOfficeOdt = ParseXml(ReadBytes(odt / (doc.Name + ".fodt")), &why);
        if (!doc.LibreOfficeOdt) {
            corpus->Error = doc.Name + ".fodt: " + why;
            return corpus;
        }
    }
    return corpus;
}

class RtfCorpusInterop : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Corpus_ = LoadCorpus(); }
    static void TearDownTestSuite() { Corpus_.reset(); }

    void SetUp() override
    {
        if (LibreOfficePath().empty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF is not checked against another reader";
        ASSERT_TRUE(Corpus_->Error.empty()) << Corpus_->Error;
        ASSERT_GE(Corpus_->Docs.size(), 20u) << "the committed documents and the bundled entries";
    }

    static const std::vector<TCorpusDoc>& Docs() { return Corpus_->Docs; }

private:
    static inline std::unique_ptr<TCorpus> Corpus_;
};

TEST_F(RtfCorpusInterop, LibreOfficeReadsTheWordsWeShow)
{
    const TMarkersAsShown markers;
    for (const TCorpusDoc& doc : Docs()) {
        const std::vector<std::string> ours = LetterWords(OurText(*doc.Doc));
        const std::vector<std::string> theirs = LetterWords(doc.LibreOfficeText);
        bool same = ours.size() == theirs.size();
        for (std::size_t i = 0; same && i < ours.size(); ++i)
            same = SameWord(ours[i], theirs[i]);
        if (same)
            continue;
        std::string list;
        for (std::size_t i = 0; i < std::max(ours.size(), theirs.size()); ++i)
            list += "\n  " + (i < ours.size() ? ours[i] : std::string("-")) + "  |  " +
                    (i < theirs.size() ? theirs[i] : std::string("-"));
        ADD_FAILURE() << doc.Name << ": ours | LibreOffice's" << list;
    }
}

TEST_F(RtfCorpusInterop, NumberingRestartsReachLibreOffice)
{
    int restarts = 0;
    for (const TCorpusDoc& doc : Docs()) {
        std::vector<const TXmlNode*> levels;
        doc.LibreOfficeOdt->FindAll("text:list-level-style-number", levels);
        for (int i = 0; i < doc.Doc->Count(); ++i) {
            const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&doc.Doc->ItemAt(i));
            if (!marker || !marker->Reset)
                continue;
            ++restarts;
            const std::string start = std::to_string(marker->StartFrom);
            EXPECT_TRUE(std::any_of(levels.begin(), levels.end(), [&](const TXmlNode* level) {
                return level->Attribute("text:start-value") == start;
            })) << doc.Name << ": no list level of LibreOffice's starts at " << start;
        }
    }
    EXPECT_GT(restarts, 0) << "the corpus has restarting markers";
}

TEST_F(RtfCorpusInterop, LibreOfficeHasOurTables)
{
    bool merged = false, nested = false;
    for (const TCorpusDoc& doc : Docs()) {
        std::vector<TTableShape> ours;
        TablesIn(*doc.Doc, ours);
        const std::vector<TTableShape> theirs = TablesOf(*doc.LibreOfficeOdt);
        for (const TTableShape& table : ours) {
            nested = nested || !table.Nested.empty();
            for (const auto& row : table.Rows)
                merged = merged || std::find(row.begin(), row.end(), "-") != row.end();
        }
        ASSERT_EQ(theirs.size(), ours.size()) << doc.Name;
        for (std::size_t i = 0; i < ours.size(); ++i)
            EXPECT_EQ(theirs[i], ours[i]) << doc.Name << " table " << i << "\n  ours:   " << ours[i].Describe()
                                          << "\n  theirs: " << theirs[i].Describe();
    }
    EXPECT_TRUE(merged) << "the corpus has merged cells";
    EXPECT_TRUE(nested) << "the corpus has nested tables";
}

TEST_F(RtfCorpusInterop, LibreOfficeHasOurPicturesInTheirSizes)
{
    int pictures = 0;
    for (const TCorpusDoc& doc : Docs()) {
        std::vector<std::pair<double, double>> ours;
        PictureSizesIn(*doc.Doc, ours);
        const auto theirs = FrameSizesOf(*doc.LibreOfficeOdt);
        pictures += int(ours.size());
        ASSERT_EQ(theirs.size(), ours.size()) << doc.Name;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            // LibreOffice keeps lengths in hundredths of a millimetre and rounds on the way.
            const double tolerance = 0.02;
            EXPECT_NEAR(theirs[i].first, ours[i].first, tolerance) << doc.Name << " picture " << i << " width";
            EXPECT_NEAR(theirs[i].second, ours[i].second, tolerance) << doc.Name << " picture " << i << " height";
        }
    }
    EXPECT_GT(pictures, 0) << "the corpus has pictures";
}

TEST_F(RtfCorpusInterop, LibreOfficeFormatsTheCharactersOursAre)
{
    for (const TCorpusDoc& doc : Docs()) {
        std::vector<std::pair<char32_t, TCharLook>> ours;
        LookedCharsIn(*doc.Doc, ours);
        const auto theirs = LookedCharsOf(*doc.LibreOfficeOdt);
        std::u32string ourText, theirText;
        for (const auto& [c, look] : ours)
            ourText += c;
        for (const auto& [c, look] : theirs)
            theirText += c;
        const auto utf8 = [](const std::u32string& s) {
            std::u16string units;
            for (const char32_t c : s) {
                if (c >= 0x10000) {
                    units += char16_t(0xD800 + ((c - 0x10000) >> 10));
                    units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
                } else {
                    units += char16_t(c);
                }
            }
            return Utf16ToUtf8(units);
        };
        ASSERT_EQ(utf8(theirText), utf8(ourText)) << doc.Name;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (theirs[i].second == ours[i].second)
                continue;
            const std::size_t from = i < 10 ? 0 : i - 10;
            ADD_FAILURE() << doc.Name << ": at \"" << utf8(ourText.substr(from, 10)) << "[" << utf8(ourText.substr(i, 1))
                          << "]" << utf8(ourText.substr(i + 1, 10)) << "\" ours are " << Describe(ours[i].second)
                          << ", LibreOffice's " << Describe(theirs[i].second);
            break; // one report per document: the rest of a wrong run follows from it
        }
    }
}

} // namespace
} // namespace xq::test

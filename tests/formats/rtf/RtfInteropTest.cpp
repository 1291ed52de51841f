// LibreOffice reads the RTF we write as we show the document: of every committed document, of
// the bundled AutoText entries and of documents built here, the same words (list labels
// included), the same tables with their merged and nested cells, the pictures in their sizes,
// the notes with their text, and bold, italic, underline, colour and size on the same
// characters. All documents go through LibreOffice in one run per output format, for the whole
// suite. Skipped, saying so, without LibreOffice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/Graphic.h"
#include "document/ListInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "platform/CodePage.h"
#include "platform/SymbolFonts.h"
#include "support/DocumentBuilders.h"
#include "support/FlatOdt.h"
#include "support/LibreOffice.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "tables/TableItem.h"

namespace xq::test {
namespace {

namespace fs = std::filesystem;

struct TCorpusDoc {
    std::string Name; ///< the file stem LibreOffice's outputs are named by
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());
    TRVDocumentInfo Info;
    bool Built = false; ///< made by a test here, not read from a file
    std::string LibreOfficeText;
    std::string LibreOfficeFodt;
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

/// A letter or digit, roughly: ASCII letters and digits, and every character above ASCII but
/// for the punctuation and symbol blocks (U+2000..U+2BFF: dashes, quotes, arrows, bullets,
/// squares), the emoji and the replacement character.
bool IsLetterOrDigit(char32_t c) noexcept
{
    if (c <= 0x7F)
        return std::isalnum(static_cast<int>(c)) != 0;
    return c != 0xFFFD && !(c >= 0x2000 && c <= 0x2BFF) && c < 0x1F000;
}

/// The words that hold a letter or a digit: horizontal lines ("====") and cell separators ("|")
/// of our text export are no words, nor are bullets.
std::vector<std::string> LetterWords(const std::string& text)
{
    std::vector<std::string> words;
    for (std::string& word : WordsOf(text)) {
        const std::u32string chars = Utf8ToUtf32(word);
        if (std::any_of(chars.begin(), chars.end(), IsLetterOrDigit))
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
/// on both sides. In a note's text (inNote) a note reference is the note's number, which
/// LibreOffice does not show in the text, and a note inside it shows its text in place:
/// LibreOffice has no notes in notes.
void LookedCharsIn(const TCustomRVData& data, std::vector<std::pair<char32_t, TCharLook>>& out, bool inNote = false)
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
        } else if (item.StyleNo == rvsLabel || (item.StyleNo == rvsNoteReference && !inNote)) {
            const auto& label = static_cast<const TRVLabelItemInfo&>(item);
            AddChars(AnsiToUnicode(label.Text, sheet.CodePageOfStyle(label.TextStyleNo)),
                     LookOf(sheet.TextStyles.StyleAt(label.TextStyleNo)), out);
        } else if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
            for (int r = 0; r < table->RowCount(); ++r)
                for (int c = 0; c < table->ColCount(); ++c)
                    if (const TRVTableCellData* cell = table->Cells(r, c))
                        LookedCharsIn(*cell, out, inNote);
        } else if (const auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(&item); note && inNote) {
            LookedCharsIn(note->NoteText(), out, true);
        }
    }
}

/// Our notes in document order (in table cells too, not those inside notes), as LibreOffice's.
void NotesIn(const TCustomRVData& data, std::vector<TOdtNote>& notes)
{
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (const auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(&item)) {
            TOdtNote& n = notes.emplace_back();
            n.Class = item.StyleNo == rvsEndnote ? "endnote" : "footnote";
            LookedCharsIn(note->NoteText(), n.Chars, true);
        } else if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
            for (int r = 0; r < table->RowCount(); ++r)
                for (int c = 0; c < table->ColCount(); ++c)
                    if (const TRVTableCellData* cell = table->Cells(r, c))
                        NotesIn(*cell, notes);
        }
    }
}

std::string Utf8Of(const std::vector<std::pair<char32_t, TCharLook>>& chars)
{
    std::u16string units;
    for (const auto& [c, look] : chars) {
        if (c >= 0x10000) {
            units += char16_t(0xD800 + ((c - 0x10000) >> 10));
            units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += char16_t(c);
        }
    }
    return Utf16ToUtf8(units);
}

/// Fails, once, at the first character whose look differs.
void ExpectSameLooks(const std::vector<std::pair<char32_t, TCharLook>>& ours,
                     const std::vector<std::pair<char32_t, TCharLook>>& theirs, const std::string& where)
{
    ASSERT_EQ(Utf8Of(theirs), Utf8Of(ours)) << where;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (theirs[i].second == ours[i].second)
            continue;
        const std::size_t from = i < 10 ? 0 : i - 10;
        const auto part = [&](std::size_t at, std::size_t n) {
            return Utf8Of({ours.begin() + std::ptrdiff_t(std::min(at, ours.size())),
                           ours.begin() + std::ptrdiff_t(std::min(at + n, ours.size()))});
        };
        ADD_FAILURE() << where << ": at \"" << part(from, i - from) << "[" << part(i, 1) << "]" << part(i + 1, 10)
                      << "\" ours are " << Describe(ours[i].second) << ", LibreOffice's " << Describe(theirs[i].second);
        return; // the rest of a wrong run follows from it
    }
}

// --- Built documents -----------------------------------------------------------------------------

/// A document as a test builds it, with the sheet it needs.
struct TSample {
    std::string Name;
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());

    int AddStyle(bool unicode, bool bold = false, bool jump = false)
    {
        TFontInfo& style = Sheet->TextStyles.Add();
        style.CopyStyle(Sheet->TextStyles[0]);
        style.Unicode = unicode;
        if (bold)
            style.Style.Include(fsBold);
        style.Jump = jump;
        return Sheet->TextStyles.Count() - 1;
    }
};

std::vector<TSample> Samples()
{
    std::vector<TSample> samples;
    {
        TSample s{"brief"};
        const int bold = s.AddStyle(false, true);
        s.Doc->AppendText("Sehr geehrte Frau M\xFCller,", 0, 0);
        s.Doc->AppendText("anbei die ", 0, 0);
        s.Doc->AppendText("Unterlagen", bold, -1);
        s.Doc->AppendText(" f\xFCr die Stra\xDF" "e 7 \x80 10,-", 0, -1);
        s.Doc->AppendText("Mit freundlichen Gr\xFC\xDF" "en", 0, 0);
        samples.push_back(std::move(s));
    }
    {
        TSample s{"unicode"};
        const int wide = s.AddStyle(true);
        s.Doc->AppendTextW(u"Preis: 12 \u20AC \u2013 \u201Eheute\u201C", wide, 0);
        s.Doc->AppendTextW(u"Griechisch \u03B1\u03B2\u03B3, Kyrillisch \u0416\u0418, Zeichen \U0001F600 und \uFB01", wide, 0);
        samples.push_back(std::move(s));
    }
    {
        // Hostile names, tags and targets: braces, backslashes, quotes, bytes above 127.
        TSample s{"hostile"};
        const int link = s.AddStyle(false, false, true);
        s.Sheet->TextStyles[0].FontName = "Ar{i}al\\x;";
        s.Doc->CreatePendingCheckpoint("Kapitel {1}\\\"", false, {});
        s.Doc->AppendText("Text mit {Klammern} und \\Backslash\\ und \"Anf\xFChrung\"", 0, 0);
        s.Doc->AppendText("Verweis", link, 0, "http://example.org/{a}\\b\"c\xE4}");
        s.Doc->AppendText(" danach", 0, -1);
        s.Doc->AppendText("Sprung", link, 0, "#Kapitel {1}");
        auto tab = std::make_unique<TRVTabItemInfo>();
        tab->ParaNo = -1;
        s.Doc->AppendItem("", std::move(tab));
        s.Doc->AppendText("Ende", 0, -1);
        samples.push_back(std::move(s));
    }
    return samples;
}

void AppendNote(TCustomRVData& into, std::unique_ptr<TCustomRVNoteItemInfo> note, int textStyle)
{
    note->ParaNo = -1;
    note->TextStyleNo = textStyle;
    into.AppendItem({}, std::move(note));
}

/// Documents built here for what the committed ones hold little of: formatting on every
/// kind of run, notes, pictures of several kinds and sizes, merged and nested cells.
std::vector<TSample> BuiltSamples()
{
    std::vector<TSample> samples = Samples();
    {
        TSample s{"runs"};
        const int bold = s.AddStyle(false, true);
        const int italic = s.AddStyle(false);
        s.Sheet->TextStyles[italic].Style.Include(fsItalic);
        const int underline = s.AddStyle(true);
        s.Sheet->TextStyles[underline].Style.Include(fsUnderline);
        const int red = s.AddStyle(false);
        s.Sheet->TextStyles[red].Color = clRed;
        const int big = s.AddStyle(false);
        s.Sheet->TextStyles[big].Size = 14;
        s.Sheet->TextStyles[big].FontName = "Courier New";
        s.Doc->AppendText("schlicht ", 0, 0);
        s.Doc->AppendText("fett ", bold, -1);
        s.Doc->AppendText("kursiv ", italic, -1);
        s.Doc->AppendTextW(u"unterstrichen \u20AC ", underline, -1);
        s.Doc->AppendText("rot ", red, -1);
        s.Doc->AppendText("gross", big, -1);
        s.Doc->AppendText(" schlicht2", 0, -1);
        samples.push_back(std::move(s));
    }
    {
        TSample s{"notes"};
        const int bold = s.AddStyle(false, true);
        const int super = s.AddStyle(false);
        s.Sheet->TextStyles[super].SubSuperScriptType = rvsssSuperScript;
        s.Doc->AppendText("Vorher", 0, 0);
        auto footnote = std::make_unique<TRVFootnoteItemInfo>();
        footnote->NoteText().AppendText("Erste ", 0, 0);
        footnote->NoteText().AppendText("fette", bold, -1);
        footnote->NoteText().AppendText(" Anmerkung", 0, -1);
        footnote->NoteText().AppendText("zweiter Absatz", 0, 0);
        AppendNote(*s.Doc, std::move(footnote), super);
        s.Doc->AppendText(" mitten ", 0, -1);
        auto endnote = std::make_unique<TRVEndnoteItemInfo>();
        endnote->NoteText().AppendText("Schlussbemerkung", 0, 0);
        AppendNote(*s.Doc, std::move(endnote), super);
        s.Doc->AppendText("Danach", 0, 0);
        samples.push_back(std::move(s));
    }
    {
        // Labels of several numbering kinds and levels, a Unicode bullet, a list in a cell.
        TSample s{"lists"};
        const auto addOutline = [&] {
            TRVListInfo& outline = s.Sheet->ListStyles.Add();
            const struct {
                TRVListType Kind;
                const char* Format;
            } levels[] = {{rvlstDecimal, "%0:s."}, {rvlstLowerAlpha, "%0:s.%1:s)"}, {rvlstUpperRoman, "(%2:s)"},
                          {rvlstLowerRoman, "%3:s -"}};
            for (std::size_t k = 0; k < std::size(levels); ++k) {
                TRVListLevel& level = outline.Levels.Add();
                level.ListType = levels[k].Kind;
                level.FormatString = levels[k].Format;
                level.LeftIndent = 24 * int(k + 1);
                level.MarkerIndent = 24 * int(k);
                level.FirstIndent = 0;
            }
            outline.Levels[1].StartFrom = 3;
            return s.Sheet->ListStyles.Count() - 1;
        };
        addOutline();
        TRVListInfo& squares = s.Sheet->ListStyles.Add();
        TRVListLevel& square = squares.Levels.Add();
        square.ListType = rvlstUnicodeBullet;
        square.FormatStringW = u"\u25A0";
        square.LeftIndent = 24;
        const auto para = [&](TCustomRVData& into, int listNo, int level, const std::string& text) {
            auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, level);
            marker->ParaNo = 0;
            into.AppendItem({}, std::move(marker));
            into.AppendText(text, 0, -1);
        };
        for (const auto& [level, text] : std::vector<std::pair<int, std::string>>{
                 {0, "Erstens"}, {1, "Unterpunkt"}, {1, "Noch einer"}, {2, "Tiefer"}, {3, "Ganz tief"}, {0, "Zweitens"},
                 {1, "Wieder unten"}})
            para(*s.Doc, 0, level, text);
        para(*s.Doc, 1, 0, "Quadrat");
        auto table = std::make_unique<TRVTableItemInfo>(1, 1, s.Doc.get());
        table->ParaNo = 0;
        TRVTableItemInfo& t = *table;
        s.Doc->AppendItem("", std::move(table));
        // Our layout numbers the markers of a cell by themselves, where RTF numbers a list through
        // the whole document; the cell's list is one of its own, so that both count from 1.
        const int cellList = addOutline();
        t.Cells(0, 0)->Clear();
        para(*t.Cells(0, 0), cellList, 0, "Zellenpunkt");
        para(*t.Cells(0, 0), cellList, 1, "Zellenunterpunkt");
        s.Doc->AppendText("Schluss", 0, 0);
        samples.push_back(std::move(s));
    }
    {
        // Notes in table cells. Our numbers count per container, a cell's notes from 1, where
        // RTF numbers the notes of the whole document: the cell's note is the first one here.
        TSample s{"cellnotes"};
        auto table = std::make_unique<TRVTableItemInfo>(1, 2, s.Doc.get());
        table->ParaNo = 0;
        for (int c = 0; c < 2; ++c) {
            table->Cells(0, c)->Clear();
            table->Cells(0, c)->AppendText(c == 0 ? "Zelle" : "daneben", 0, 0);
        }
        TRVTableItemInfo& t = *table;
        s.Doc->AppendItem("", std::move(table));
        auto footnote = std::make_unique<TRVFootnoteItemInfo>();
        footnote->NoteText().AppendText("aus der Zelle", 0, 0);
        AppendNote(*t.Cells(0, 0), std::move(footnote), 0);
        auto endnote = std::make_unique<TRVEndnoteItemInfo>();
        endnote->NoteText().AppendText("auch hinten", 0, 0);
        AppendNote(*t.Cells(0, 1), std::move(endnote), 0);
        s.Doc->AppendText("Danach", 0, 0);
        samples.push_back(std::move(s));
    }
    {
        TSample s{"pictures"};
        std::string rgba;
        for (int i = 0; i < 40 * 30; ++i)
            rgba += std::string{char(i % 251), char(i % 7 * 30), char(200), char(255)};
        const std::string png = EncodeRgbaPng(40, 30, rgba);
        std::string grey;
        for (int i = 0; i < 16 * 16; ++i)
            grey += char(i);
        const std::string jpeg = EncodeJpeg(16, 16, 1, grey);
        s.Doc->AppendText("Bilder", 0, 0);
        AppendPicture(*s.Doc, png, 0, 0, 0);            // natural size
        AppendPicture(*s.Doc, png, 120, 15, -1);        // stretched and squeezed
        AppendPicture(*s.Doc, jpeg, 48, 0, 0);          // one side given
        TBmpLayout bitmap;
        bitmap.Width = bitmap.Height = 4;
        bitmap.Bits = std::string(4 * 12, '\x80');       // four rows of four grey pixels
        AppendPicture(*s.Doc, MakeBmp(bitmap), 0, 0, -1); // a bitmap
        auto table = std::make_unique<TRVTableItemInfo>(1, 1, s.Doc.get());
        table->ParaNo = 0;
        table->Cells(0, 0)->Clear();
        AppendPicture(*table->Cells(0, 0), png, 20, 60, 0);
        s.Doc->AppendItem("", std::move(table));
        samples.push_back(std::move(s));
    }
    {
        TSample s{"tables"};
        auto table = std::make_unique<TRVTableItemInfo>(4, 3, s.Doc.get());
        table->ParaNo = 0;
        table->HeadingRowCount = 1;
        TRVTableItemInfo& t = *table;
        LabelCells(t, "Z");
        EXPECT_TRUE(t.MergeCells(0, 0, 2, 1)); // across
        EXPECT_TRUE(t.MergeCells(1, 2, 1, 3)); // down to the last row
        EXPECT_TRUE(t.MergeCells(2, 0, 2, 2)); // both ways
        TRVTableCellData& host = *t.Cells(1, 1);
        auto inner = std::make_unique<TRVTableItemInfo>(2, 2, &host);
        inner->ParaNo = 0;
        LabelCells(*inner, "I");
        EXPECT_TRUE(inner->MergeCells(0, 1, 1, 2));
        host.AppendItem("", std::move(inner));
        s.Doc->AppendText("Vor der Tabelle", 0, 0);
        s.Doc->AppendItem("", std::move(table));
        s.Doc->AppendText("Nach der Tabelle", 0, 0);
        samples.push_back(std::move(s));
    }
    return samples;
}

std::string OurWords(const TCustomRVData& doc)
{
    std::string text;
    EXPECT_TRUE(ExportText(doc, text, 80, true));
    return Utf16ToUtf8(Utf16FromBytes(text.size() >= 2 ? std::string_view(text).substr(2) : std::string_view()));
}

// --- The corpus ---------------------------------------------------------------------------------

std::unique_ptr<TCorpus> LoadCorpus()
{
    auto corpus = std::make_unique<TCorpus>();
    if (LibreOfficePath().empty())
        return corpus;
    std::vector<fs::path> rtfs;
    for (const fs::path& file : CommittedDocuments()) {
        TCorpusDoc doc;
        // The bundled store's entries are named apart from the committed copies of them.
        doc.Name = (file.parent_path().filename() == "AText" ? "bundled-" : "") + file.stem().string();
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
    for (TSample& sample : BuiltSamples()) {
        TCorpusDoc doc;
        doc.Name = "built-" + sample.Name;
        doc.Built = true;
        doc.Sheet = std::move(sample.Sheet);
        doc.Doc = std::move(sample.Doc);
        std::string rtf;
        if (!WriteRtfDocument(*doc.Doc, TRVRTFWriteSettings{RTFMainWindowOptions}, rtf)) {
            corpus->Error = doc.Name + " cannot be written";
            return corpus;
        }
        rtfs.push_back(corpus->Dir / (doc.Name + ".rtf"));
        WriteBytes(rtfs.back(), rtf);
        corpus->Docs.push_back(std::move(doc));
    }
    std::string error;
    // Both runs share one output folder and so one LibreOffice profile: the second run does
    // not set a profile up again.
    const fs::path text = corpus->Dir / "libreoffice", odt = text;
    fs::create_directories(text);
    if (!ConvertWithLibreOffice(rtfs, "txt:Text (encoded):UTF8", ".txt", text, error) ||
        !ConvertWithLibreOffice(rtfs, "fodt", ".fodt", odt, error)) {
        corpus->Error = error;
        return corpus;
    }
    for (TCorpusDoc& doc : corpus->Docs) {
        doc.LibreOfficeText = ReadBytes(text / (doc.Name + ".txt"));
        std::string why;
        doc.LibreOfficeFodt = ReadBytes(odt / (doc.Name + ".fodt"));
        doc.LibreOfficeOdt = ParseXml(doc.LibreOfficeFodt, &why);
        if (!doc.LibreOfficeOdt) {
            corpus->Error = doc.Name + ".fodt: " + why;
            return corpus;
        }
    }
    return corpus;
}

class RtfInterop : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Corpus_ = LoadCorpus(); }
    static void TearDownTestSuite() { Corpus_.reset(); }

    void SetUp() override
    {
        if (LibreOfficePath().empty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF is not checked against another reader";
        ASSERT_TRUE(Corpus_->Error.empty()) << Corpus_->Error;
        ASSERT_GE(Corpus_->Docs.size(), 25u) << "the committed documents, the bundled entries, the built ones";
    }

    static const std::vector<TCorpusDoc>& Docs() { return Corpus_->Docs; }
    static const TCorpusDoc& Built(const std::string& name)
    {
        for (const TCorpusDoc& doc : Corpus_->Docs)
            if (doc.Built && doc.Name == "built-" + name)
                return doc;
        throw std::logic_error("no built document " + name);
    }

private:
    static inline std::unique_ptr<TCorpus> Corpus_;
};

/// The text properties LibreOffice gives each word of a flat ODT document's spans.
std::map<std::string, std::string> PropertiesOfWords(const std::string& fodt)
{
    std::map<std::string, std::string> styles;
    const std::regex style(R"re(<style:style style:name="([^"]+)" style:family="text">\s*<style:text-properties([^>]*)/>)re");
    for (std::sregex_iterator it(fodt.begin(), fodt.end(), style), end; it != end; ++it)
        styles[(*it)[1]] = (*it)[2];
    std::map<std::string, std::string> words;
    const std::regex span(R"re(<text:span text:style-name="([^"]+)">([^<]*)</text:span>)re");
    for (std::sregex_iterator it(fodt.begin(), fodt.end(), span), end; it != end; ++it)
        for (const std::string& word : WordsOf((*it)[2]))
            words[word] = styles[(*it)[1]];
    return words;
}

TEST_F(RtfInterop, LibreOfficeReadsTheSameWords)
{
    // Every word, also those without a letter: these documents hold no lines and no tables.
    for (const char* name : {"brief", "unicode", "hostile"}) {
        const TCorpusDoc& doc = Built(name);
        EXPECT_EQ(WordsOf(doc.LibreOfficeText), WordsOf(OurWords(*doc.Doc))) << name << ":\n" << doc.LibreOfficeText;
    }
}

TEST_F(RtfInterop, LibreOfficeSeesTheFormattingWhereOursIs)
{
    const std::map<std::string, std::string> words = PropertiesOfWords(Built("runs").LibreOfficeFodt);
    const auto has = [&](const std::string& word, const std::string& property) {
        const auto it = words.find(word);
        return it != words.end() && it->second.find(property) != std::string::npos;
    };
    EXPECT_TRUE(has("fett", R"(fo:font-weight="bold")"));
    EXPECT_FALSE(has("schlicht", R"(fo:font-weight="bold")"));
    EXPECT_FALSE(has("schlicht2", R"(fo:font-weight="bold")"));
    EXPECT_TRUE(has("kursiv", R"(fo:font-style="italic")"));
    EXPECT_TRUE(has("unterstrichen", "style:text-underline-style=\"solid\""));
    EXPECT_TRUE(has("\u20AC", "style:text-underline-style=\"solid\"")) << "the Unicode run keeps its style";
    EXPECT_TRUE(has("rot", R"(fo:color="#ff0000")"));
    EXPECT_TRUE(has("gross", R"(fo:font-size="14pt")"));
    EXPECT_TRUE(has("gross", R"(style:font-name="Courier New")"));
    EXPECT_TRUE(has("schlicht", R"(fo:font-size="10pt")"));
}

TEST_F(RtfInterop, LibreOfficeReadsTheWordsWeShow)
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

TEST_F(RtfInterop, NumberingRestartsReachLibreOffice)
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

TEST_F(RtfInterop, LibreOfficeHasOurTables)
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

TEST_F(RtfInterop, LibreOfficeHasOurPicturesInTheirSizes)
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

TEST_F(RtfInterop, LibreOfficeFormatsTheCharactersOursAre)
{
    for (const TCorpusDoc& doc : Docs()) {
        std::vector<std::pair<char32_t, TCharLook>> ours;
        LookedCharsIn(*doc.Doc, ours);
        ExpectSameLooks(ours, LookedCharsOf(*doc.LibreOfficeOdt), doc.Name);
    }
}

TEST_F(RtfInterop, LibreOfficeHasOurNotesWithTheirText)
{
    int notes = 0;
    for (const TCorpusDoc& doc : Docs()) {
        std::vector<TOdtNote> ours;
        NotesIn(*doc.Doc, ours);
        const std::vector<TOdtNote> theirs = NotesOf(*doc.LibreOfficeOdt);
        notes += int(ours.size());
        ASSERT_EQ(theirs.size(), ours.size()) << doc.Name;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const std::string where = doc.Name + " note " + std::to_string(i);
            EXPECT_EQ(theirs[i].Class, ours[i].Class) << where;
            ExpectSameLooks(ours[i].Chars, theirs[i].Chars, where);
        }
    }
    EXPECT_GE(notes, 4) << "the corpus has footnotes and endnotes";
}

} // namespace
} // namespace xq::test

// Table records in RVF: the exact bytes, property order and defaults, round trips of merged and
// nested tables, the hand-written corpus files, and damaged grids that must fail cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "support/DocDump.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "tables/TableRvf.h"
#include "tables/TableTestSupport.h"

namespace xq {
namespace {

using test::ContentText;
using test::NamedTable;

constexpr TRVFOptions ItemsBinary{rvfoSaveBinary};
constexpr TRVFOptions ItemsText{};

// --- The grammar of component streams, written out byte by byte -----------------------------

std::string S(std::string_view bytes)
{
    return char(bytes.size()) + std::string(bytes);
}
std::string I8(int v)
{
    return std::string("\x02", 1) + char(v);
}
std::string Le32(std::int32_t v)
{
    std::string out;
    for (int k = 0; k < 4; ++k)
        out += char((std::uint32_t(v) >> (8 * k)) & 0xFF);
    return out;
}
std::string I16(int v)
{
    return std::string("\x03", 1) + char(v & 0xFF) + char((v >> 8) & 0xFF);
}
std::string Ident(std::string_view name)
{
    return "\x07" + S(name);
}
std::string Bin(std::string_view bytes)
{
    return "\x0A" + Le32(std::int32_t(bytes.size())) + std::string(bytes);
}
std::string P(std::string_view name, std::string_view value)
{
    return S(name) + std::string(value);
}
const std::string Zero(1, '\0');

std::string Paragraph(std::string_view text)
{
    return "0 1 0 0 0 0\r\n" + std::string(text) + "\r\n";
}
std::string SubStream(std::string_view records)
{
    return "-8 1 3\r\n" + std::string(records);
}
std::string Cell(int colSpan, int rowSpan, std::string_view content, std::string_view props = {})
{
    return I8(colSpan) + I8(rowSpan) + S("TD") + S("") + std::string(props) +
           P("C.Data", Bin(Le32(std::int32_t(content.size())) + std::string(content))) + Zero + Zero;
}
std::string TableStream(std::string_view props, std::string_view grid, std::string_view rowLists = {})
{
    return "TPF0" + S("TRVTableSW") + S("") + std::string(props) + P("C", grid) + std::string(rowLists) + Zero + Zero;
}
std::string Grid(int rows, int cols, std::string_view cells)
{
    return I8(rows) + I8(cols) + "\x01" + std::string(cells) + Zero;
}
std::string BinaryRecord(std::string_view stream, std::string_view header = "-60 3 0 0 2 0 0",
                         std::string_view name = "TAB")
{
    return std::string(header) + "\r\n" + std::string(name) + "\r\n1\r\n" + Le32(std::int32_t(stream.size())) +
           std::string(stream);
}
std::string Hex(std::string_view bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : bytes) {
        out += Digits[(static_cast<unsigned char>(ch) >> 4) & 0xF];
        out += Digits[static_cast<unsigned char>(ch) & 0xF];
    }
    return out;
}

class TableRvfTest : public ::testing::Test {
protected:
    TableRvfTest() { SetupMainWindowStyleSheet(Sheet); }

    TRVTableItemInfo& Insert(std::unique_ptr<TRVTableItemInfo> table, TCustomRVData& into, std::string name = "TAB")
    {
        TRVTableItemInfo& ref = *table;
        into.AppendItem(std::move(name), std::move(table));
        return ref;
    }

    std::string Write(const TCustomRVData& doc, TRVFOptions options)
    {
        std::string out;
        EXPECT_TRUE(TRVFWriter(Sheet, options).WriteDocument(doc, nullptr, out));
        return out;
    }

    /// Reads the stream as a whole document into Doc.
    bool Read(std::string_view stream, TRVFWarnings* warnings = nullptr)
    {
        TRVFReader reader(Sheet, RVFMainWindowOptions);
        bool ok = false;
        EXPECT_NO_THROW(ok = reader.ReadDocument(Doc, nullptr, stream));
        if (warnings)
            *warnings = reader.Warnings();
        return ok;
    }

    TRVTableItemInfo* TableAt(int index) { return dynamic_cast<TRVTableItemInfo*>(&Doc.ItemAt(index)); }

    /// Writes, reads into a fresh document, writes again: the dumps and both streams are equal.
    void ExpectRoundTrip(const TCustomRVData& doc, TRVFOptions options)
    {
        const std::string first = Write(doc, options);
        TCustomRVData copy(&Sheet);
        TRVFReader reader(Sheet, options);
        ASSERT_TRUE(reader.ReadDocument(copy, nullptr, first));
        EXPECT_EQ(reader.Warnings(), TRVFWarnings{});
        EXPECT_EQ(DumpDocumentJson(Sheet, copy, nullptr), DumpDocumentJson(Sheet, doc, nullptr));
        EXPECT_EQ(Write(copy, options), first);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(TableRvfTest, MergedTopRowStoresThreeCellEntries)
{
    auto table = std::make_unique<TRVTableItemInfo>(2, 2, &Doc);
    ASSERT_TRUE(table->MergeCells(0, 0, 2, 1));
    table->Cells(0, 0)->SetText(0, "oben");
    table->Cells(1, 0)->SetText(0, "a");
    table->Cells(1, 1)->SetText(0, "b");
    Insert(std::move(table), Doc);

    const std::string stream =
        TableStream({}, Grid(2, 2,
                             Cell(2, 1, SubStream(Paragraph("oben"))) + Cell(1, 1, SubStream(Paragraph("a"))) +
                                 Cell(1, 1, SubStream(Paragraph("b")))));
    EXPECT_EQ(Write(Doc, ItemsBinary), "-8 1 3\r\n" + BinaryRecord(stream));
    EXPECT_EQ(Write(Doc, ItemsText), "-8 1 3\r\n-60 3 0 0 0 0 0\r\nTAB\r\n1\r\n" + Hex(stream) + "\r\n")
        << "text streams carry the same component stream as one hex line";
}

TEST_F(TableRvfTest, EmptyAndDefaultTablesStoreNoProperties)
{
    Insert(std::make_unique<TRVTableItemInfo>(), Doc, {});
    EXPECT_EQ(Write(Doc, ItemsBinary), "-8 1 3\r\n" + BinaryRecord(TableStream({}, I8(0)), "-60 3 0 0 2 0 0", ""))
        << "no rows: \"C\" is the single integer 0";

    Doc.Clear();
    Insert(std::make_unique<TRVTableItemInfo>(1, 1, &Doc), Doc);
    const std::string written = Write(Doc, ItemsBinary);
    EXPECT_EQ(written.find("T."), std::string::npos);
    EXPECT_EQ(written.find("Row"), std::string::npos) << "rows at their defaults need no lists";
    EXPECT_EQ(written.find("C.C"), std::string::npos);
}

TEST_F(TableRvfTest, ChangedPropertiesAreWrittenInTheirOrderAndForm)
{
    TRVTableItemInfo& t = Insert(std::make_unique<TRVTableItemInfo>(2, 1, &Doc), Doc);
    t.Options = TRVTableOptions{rvtoEditing, rvtoIgnoreContentHeight};
    t.PrintOptions = TRVTablePrintOptions{rvtoWhiteBackground};
    t.BestWidth = -50;
    t.Color = clRed;
    t.BackgroundStyle = rvbsTiled;
    t.HeadingRowCount = 1;
    t.TextRowSeparator = "/";
    t.TextColSeparator = "\xC3\xA4"; // a-umlaut, stored in code page 1252
    t.BorderWidth = 1;
    t.BorderColor = 0x123456;
    t.BorderLightColor = clBlack;
    t.BorderStyle = rvtbColor;
    t.BorderVSpacing = -1;
    t.BorderHSpacing = 300;
    t.VisibleBorders = {false, false, false, false};
    t.CellBorderWidth = 2;
    t.CellBorderColor = clGray;
    t.CellBorderLightColor = clWhite;
    t.SetCellPadding(5);
    t.CellBorderStyle = rvtbRaisedColor;
    t.VRuleWidth = 1;
    t.VRuleColor = clBlue;
    t.HRuleWidth = 1;
    t.HRuleColor = clLime;
    t.CellVSpacing = 0;
    t.CellHSpacing = 0;
    t.VOutermostRule = true;
    t.HOutermostRule = true;
    t.Rows[1].RowVAlign = rvcBottom;
    t.Rows[0].RowPageBreakBefore = true;
    TRVTableCellData& cell = *t.Cells(1, 0);
    cell.Color = clYellow;
    cell.BestWidth = 120;
    cell.VisibleBorders.Bottom = false;
    cell.VAlign = rvcMiddle;
    cell.Hint = "Tipp";

    const std::string w = Write(Doc, ItemsBinary);
    const std::vector<std::string> inOrder = {
        P("T.Options", "\x0B" + S("rvtoEditing") + S("rvtoIgnoreContentHeight") + Zero),
        P("T.PrintOptions", "\x0B" + S("rvtoWhiteBackground") + Zero),
        P("T.BestWidth", I8(-50)),
        P("T.Color", Ident("clRed")),
        P("T.BackgroundStyle", Ident("rvbsTiled")),
        P("T.HeadingRowCount", I8(1)),
        P("T.TextRowSeparator", "\x06" + S("/")),
        P("T.TextColSeparator", "\x06" + S("\xE4")),
        P("T.BorderWidth", I8(1)),
        P("T.BorderColor", "\x04" + Le32(0x123456)),
        P("T.BorderLightColor", Ident("clBlack")),
        P("T.BorderStyle", Ident("rvtbColor")),
        P("T.BorderVSpacing", I8(-1)),
        P("T.BorderHSpacing", I16(300)),
        P("T.VisibleBorders.Left", "\x08"),
        P("T.VisibleBorders.Right", "\x08"),
        P("T.VisibleBorders.Top", "\x08"),
        P("T.VisibleBorders.Bottom", "\x08"),
        P("T.CellBorderWidth", I8(2)),
        P("T.CellBorderColor", Ident("clGray")),
        P("T.CellBorderLightColor", Ident("clWhite")),
        P("T.CellPadding", I8(5)),
        P("T.CellBorderStyle", Ident("rvtbRaisedColor")),
        P("T.VRuleWidth", I8(1)),
        P("T.VRuleColor", Ident("clBlue")),
        P("T.HRuleWidth", I8(1)),
        P("T.HRuleColor", Ident("clLime")),
        P("T.CellVSpacing", I8(0)),
        P("T.CellHSpacing", I8(0)),
        P("T.VOutermostRule", "\x09"),
        P("T.HOutermostRule", "\x09"),
        P("C", I8(2) + I8(1) + "\x01"),
        P("C.Color", Ident("clYellow")),
        P("C.BestWidth", I8(120)),
        P("C.VisibleBorders.Bottom", "\x08"),
        P("C.VAlign", Ident("rvcMiddle")),
        P("C.Hint", "\x06" + S("Tipp")),
        S("C.Data"),
        P("RowVAlign", "\x01" + I8(0) + I8(2) + Zero),
        P("RowPageBreakBefore", "\x01\x09\x08" + Zero),
    };
    std::size_t at = 0;
    for (const std::string& part : inOrder) {
        const std::size_t found = w.find(part, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << part.substr(1, part[0]);
        at = found + part.size();
    }
    EXPECT_EQ(w.find("CellHPadding"), std::string::npos) << "equal paddings travel as CellPadding";
    ExpectRoundTrip(Doc, ItemsBinary);
    EXPECT_EQ(TableAt(0)->TextColSeparator, "\xC3\xA4");

    t.CellVPadding = 7;
    const std::string unequal = Write(Doc, ItemsBinary);
    EXPECT_NE(unequal.find(P("T.CellHPadding", I8(5)) + P("T.CellVPadding", I8(7))), std::string::npos);
    EXPECT_EQ(unequal.find("T.CellPadding"), std::string::npos);
}

TEST_F(TableRvfTest, ReaderTakesEveryPaddingNameAndSkipsUnknownProperties)
{
    const std::string props = P("T.CellPadding", I8(6)) + P("T.CellVPadding", I8(2)) +
                              P("T.Frobnicate", "\x01" + I8(1) + "\x06" + S("x") + Zero) + P("T.Color", "\x06" + S("rot")) +
                              P("t.bordercolor", Ident("CLRED")) + P("Fremd", I8(1));
    const std::string cellProps = P("C.Unknown", I8(3)) + P("C.VAlign", Ident("rvcMiddle"));
    const std::string stream =
        TableStream(props, Grid(1, 1, Cell(1, 1, SubStream(Paragraph("x")), cellProps)),
                    P("RowVAlign", "\x01" + Ident("rvcBottom") + Zero) + P("RowPageBreakBefore", I8(1)));
    TRVFWarnings warnings;
    ASSERT_TRUE(Read(SubStream(BinaryRecord(stream)), &warnings));
    EXPECT_TRUE(warnings.Contains(WarnUnknownProperty));
    const TRVTableItemInfo& t = *TableAt(0);
    EXPECT_EQ(t.CellHPadding, 6);
    EXPECT_EQ(t.CellVPadding, 2);
    EXPECT_EQ(t.Color, clWindow) << "a value of the wrong kind is skipped";
    EXPECT_EQ(t.BorderColor, clRed) << "names and identifiers ignore letter case";
    EXPECT_EQ(t.Cells(0, 0)->VAlign, rvcMiddle);
    EXPECT_EQ(t.Rows[0].RowVAlign, rvcBottom);
    EXPECT_FALSE(t.Rows[0].RowPageBreakBefore);
    EXPECT_EQ(ContentText(*t.Cells(0, 0)), "x");
}

TEST_F(TableRvfTest, MergedAndNestedTablesRoundTripInBothModes)
{
    RegisterListItemKinds();
    TRVListInfo& list = Sheet.ListStyles.Add();
    list.Levels.Add().ListType = rvlstDecimal;
    TFontInfo& unicode = Sheet.TextStyles.Add();
    unicode.CopyStyle(Sheet.TextStyles[0]);
    unicode.Unicode = true;
    const int unicodeStyle = Sheet.TextStyles.Count() - 1;

    Doc.AppendText("Vorher", 0, 0);
    TRVTableItemInfo& outer = Insert(NamedTable(3, 4, &Doc), Doc);
    ASSERT_TRUE(outer.MergeCells(0, 0, 2, 2));
    ASSERT_TRUE(outer.MergeCells(1, 3, 1, 2));
    outer.BestWidth = -100;
    outer.BackgroundImage = CreateGraphic("TPNGObject");
    ASSERT_TRUE(outer.BackgroundImage->LoadFromBytes(test::EncodeRgbaPng(1, 1, std::string("\x01\x02\x03\xFF", 4))));
    outer.BackgroundStyle = rvbsCentered;
    outer.Rows[2].RowVAlign = rvcVDefault;
    outer.Rows[1].RowPageBreakBefore = true;
    outer.Hint = "aussen";
    outer.DeleteProtect = true;
    outer.Tag = "tab\"tag";
    outer.Cells(2, 1)->Clear(); // an empty cell
    outer.Cells(2, 2)->BackgroundImage = CreateGraphic("TPNGObject");
    ASSERT_TRUE(
        outer.Cells(2, 2)->BackgroundImage->LoadFromBytes(test::EncodeRgbaPng(1, 1, std::string("\x09\x08\x07\xFF", 4))));
    outer.Cells(2, 2)->BackgroundImageFileName = "bild.png";

    TRVTableCellData& host = *outer.Cells(1, 2);
    host.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
    host.AppendTextW(u"Stra\u00DFe \u20AC", unicodeStyle, -1);
    TRVTableItemInfo& inner = Insert(NamedTable(2, 3), host, "INNEN");
    ASSERT_TRUE(inner.MergeCells(0, 1, 2, 2));
    inner.Cells(1, 0)->AppendItem({}, NamedTable(1, 1));
    inner.CellBorderStyle = rvtbColor;

    ExpectRoundTrip(Doc, ItemsBinary);
    ExpectRoundTrip(Doc, ItemsText);
    ExpectRoundTrip(Doc, RVFMainWindowOptions);

    // A fragment with the table pasted into another document keeps the grid and its content.
    std::string stream = Write(Doc, ItemsBinary);
    TCustomRVData target(&Sheet);
    target.AppendText("Anfang", 0, 0);
    ASSERT_TRUE(TRVFReader(Sheet, RVFMainWindowOptions).ReadFragment(target, 1, stream));
    auto& pasted = dynamic_cast<TRVTableItemInfo&>(target.ItemAt(2));
    EXPECT_TRUE(pasted.CheckGrid());
    EXPECT_EQ(pasted.Cells(1, 3)->RowSpan(), 2);
    EXPECT_EQ(pasted.Cells(0, 0)->GetRVStyle(), &Sheet) << "the cells joined the target";
}

TEST_F(TableRvfTest, CellContentFollowsTheStyleMapOfAPastedFragment)
{
    TRVStyle other;
    SetupMainWindowStyleSheet(other);
    TFontInfo& red = other.TextStyles.Add(); // 7 in the other sheet
    red.CopyStyle(other.TextStyles[0]);
    red.Color = clRed;
    red.Standard = false;
    TCustomRVData source(&other);
    auto table = std::make_unique<TRVTableItemInfo>(1, 1, &source);
    TRVTableItemInfo& t = *table;
    source.AppendItem("TAB", std::move(table));
    t.Cells(0, 0)->Clear();
    t.Cells(0, 0)->AppendText("rot", 7, 0);
    std::string stream;
    ASSERT_TRUE(TRVFWriter(other, RVFMainWindowOptions).WriteDocument(source, nullptr, stream));

    TFontInfo& blue = Sheet.TextStyles.Add(); // 7 here, blue
    blue.CopyStyle(Sheet.TextStyles[0]);
    blue.Color = clBlue;
    ASSERT_TRUE(TRVFReader(Sheet, RVFMainWindowOptions).ReadFragment(Doc, 0, stream));
    ASSERT_EQ(Sheet.TextStyles.Count(), 9);
    EXPECT_EQ(Sheet.TextStyles[8].Color, clRed);
    EXPECT_EQ(test::DocDump(*TableAt(0)->Cells(0, 0)), R"([p0]"rot"s8)");
}

TEST_F(TableRvfTest, HandWrittenFilesLoadAndAreWrittenBackByteForByte)
{
    const std::filesystem::path dir = std::filesystem::path(test::SourceDir()) / "tests" / "data" / "rvf";

    const std::string merged = test::ReadBytes(dir / "table-merged-text.rvf");
    ASSERT_TRUE(Read(merged));
    ASSERT_EQ(Doc.Count(), 3);
    const TRVTableItemInfo& m = *TableAt(1);
    EXPECT_TRUE(m.CheckGrid());
    EXPECT_EQ(m.Cells(0, 0)->ColSpan(), 2);
    EXPECT_EQ(m.Cells(0, 2)->RowSpan(), 2);
    EXPECT_EQ(m.Cells(1, 2), nullptr);
    EXPECT_EQ(ContentText(*m.Cells(2, 2)), "E");
    EXPECT_EQ(m.Cells(2, 2)->BestHeight, 300);
    EXPECT_EQ(m.Cells(0, 0)->Color, clYellow);
    EXPECT_EQ(m.Cells(0, 2)->Hint, "Hinweis");
    EXPECT_EQ(m.BestWidth, -100);
    EXPECT_EQ(m.Color, clNone);
    EXPECT_EQ(m.CellHPadding, 5);
    EXPECT_EQ(m.Rows[1].RowVAlign, rvcBottom);
    EXPECT_EQ(m.TextColSeparator, " | ");
    EXPECT_EQ(Write(Doc, ItemsText), merged);

    const std::string nested = test::ReadBytes(dir / "table-nested-binary.rvf");
    ASSERT_TRUE(Read(nested));
    const TRVTableItemInfo& n = *TableAt(0);
    EXPECT_TRUE(n.DeleteProtect);
    EXPECT_EQ(n.Hint, "Tabelle");
    EXPECT_EQ(n.CellHPadding, 3);
    EXPECT_EQ(n.CellVPadding, 4);
    EXPECT_TRUE(n.Rows[1].RowPageBreakBefore);
    EXPECT_EQ(n.Cells(1, 0)->Count(), 0) << "an empty content stream is an empty cell";
    const TRVTableCellData& host = *n.Cells(1, 1);
    EXPECT_EQ(host.Color, 0x123456u);
    ASSERT_EQ(host.Count(), 2);
    EXPECT_EQ(host.TextAt(1), "INNEN");
    const auto& inner = dynamic_cast<const TRVTableItemInfo&>(host.ItemAt(1));
    EXPECT_EQ(inner.Cells(0, 0)->ColSpan(), 2);
    EXPECT_EQ(ContentText(*inner.Cells(1, 0)), "links|zwei Zeilen");
    EXPECT_EQ(Write(Doc, ItemsBinary), nested);

    // A header that ends after the tag is read; the writer adds the seventh field.
    const std::string shortHeader = test::ReadBytes(dir / "table-header-without-seventh-field.rvf");
    ASSERT_TRUE(Read(shortHeader));
    ASSERT_EQ(Doc.Count(), 2);
    EXPECT_EQ(TableAt(1)->RowCount(), 0);
    std::string expected = shortHeader;
    expected.insert(expected.find("-60 3 0 0 0 0") + 13, " 0");
    EXPECT_EQ(Write(Doc, ItemsText), expected);
}

/// A document "Vorher", a table record with the stream, "Nachher".
std::string AroundTable(std::string_view stream)
{
    return SubStream(Paragraph("Vorher") + BinaryRecord(stream) + Paragraph("Nachher"));
}

TEST_F(TableRvfTest, GridsThatDoNotAddUpFailTheRead)
{
    const std::string a = Cell(1, 1, SubStream(Paragraph("a")));
    const std::string span2 = Cell(2, 1, {});
    // (The corpus of damaged files holds more; here the document must keep what came before.)
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"list ends before the last slot", Grid(2, 2, a + a + a)},
        {"entries after the last slot", Grid(1, 2, a + a + a)},
        {"list ends before the last slot after a cut span", Grid(2, 2, a + span2 + a)},
        {"more slots than a table may have", I16(513) + I16(512) + "\x01" + Cell(127, 1, {}) + Zero},
        {"content that is no RVF", Grid(1, 1, Cell(1, 1, "-77 1 0 0 0 0\r\nx\r\n"))},
    };
    for (const auto& [what, grid] : damaged) {
        Doc.Clear();
        EXPECT_FALSE(Read(AroundTable(TableStream({}, grid)))) << what;
        EXPECT_EQ(test::DocDump(Doc), R"([p0]"Vorher")") << what << ": what came before stays, no table";
    }
    Doc.Clear();
    const std::string twoGrids = TableStream({}, Grid(1, 1, a)).substr(0, TableStream({}, Grid(1, 1, a)).size() - 2) +
                                 P("C", Grid(1, 1, a)) + Zero + Zero;
    EXPECT_FALSE(Read(AroundTable(twoGrids))) << "a second grid";

    // The limit is the number of slots: one cell may cover all of them.
    Doc.Clear();
    ASSERT_TRUE(Read(AroundTable(TableStream({}, I16(512) + I16(512) + "\x01" +
                                                     I16(512) + I16(512) + S("TD") + S("") + Zero + Zero + Zero))));
    EXPECT_EQ(TableAt(1)->SubDocumentCount(), 1);
    EXPECT_EQ(ContentText(*TableAt(1)->Cells(0, 0)), "") << "a cell without content keeps its empty paragraph";
}

TEST_F(TableRvfTest, SpansThatDoNotFitAreCutAndTheTableIsKept)
{
    const std::string a = Cell(1, 1, SubStream(Paragraph("a")));
    const std::string b = Cell(1, 1, SubStream(Paragraph("b")));
    struct TCase {
        const char* What;
        std::string Grid;
        std::vector<std::pair<int, int>> Spans; // per cell, row by row: colSpan, rowSpan
    };
    const std::vector<TCase> cases = {
        {"beyond the last column", Grid(2, 2, Cell(3, 1, {}) + a + b), {{2, 1}, {1, 1}, {1, 1}}},
        {"below the last row", Grid(2, 2, a + Cell(1, 5, {}) + b), {{1, 1}, {1, 2}, {1, 1}}},
        {"over a slot covered from above", Grid(2, 2, a + Cell(1, 2, {}) + Cell(2, 1, {})), {{1, 1}, {1, 2}, {1, 1}}},
        {"over a slot covered from the left", Grid(2, 3, Cell(1, 1, {}) + Cell(1, 2, {}) + b + Cell(3, 1, {}) + a),
         {{1, 1}, {1, 2}, {1, 1}, {1, 1}, {1, 1}}},
        {"below 1", Grid(1, 2, Cell(0, -4, {}) + b), {{1, 1}, {1, 1}}},
    };
    for (const TCase& c : cases) {
        Doc.Clear();
        TRVFWarnings warnings;
        ASSERT_TRUE(Read(AroundTable(TableStream({}, c.Grid)), &warnings)) << c.What;
        EXPECT_TRUE(warnings.Contains(WarnUnknownProperty)) << c.What;
        ASSERT_EQ(Doc.Count(), 3) << c.What;
        const TRVTableItemInfo& t = *TableAt(1);
        EXPECT_TRUE(t.CheckGrid()) << c.What;
        std::vector<std::pair<int, int>> spans;
        for (int r = 0; r < t.RowCount(); ++r)
            for (int col = 0; col < t.ColCount(); ++col)
                if (const TRVTableCellData* cell = t.Rows[r][col])
                    spans.emplace_back(cell->ColSpan(), cell->RowSpan());
        EXPECT_EQ(spans, c.Spans) << c.What;
        EXPECT_EQ(Doc.TextAt(2), "Nachher") << c.What << ": the rest of the document is read";
    }
    // What was cut is written as it is now and read back without a warning.
    const std::string written = Write(Doc, ItemsBinary);
    Doc.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(Read(written, &warnings));
    EXPECT_EQ(warnings, TRVFWarnings{});
    EXPECT_EQ(Write(Doc, ItemsBinary), written);
}

TEST_F(TableRvfTest, NestingIsReadUpToALimit)
{
    const auto nestedDocument = [&](int depth) {
        TCustomRVData* into = &Doc;
        for (int level = 0; level < depth; ++level) {
            TRVTableItemInfo& table = Insert(std::make_unique<TRVTableItemInfo>(1, 1, into), *into);
            into = table.Cells(0, 0);
        }
        into->AppendText("innen", 0, 0);
    };
    nestedDocument(20);
    const std::string twenty = Write(Doc, ItemsBinary);
    Doc.Clear();
    ASSERT_TRUE(Read(twenty));
    EXPECT_EQ(Write(Doc, ItemsBinary), twenty);

    Doc.Clear();
    nestedDocument(60);
    const std::string sixty = Write(Doc, ItemsBinary);
    Doc.Clear();
    EXPECT_FALSE(Read(sixty));
    EXPECT_EQ(Doc.Count(), 0);
}

} // namespace
} // namespace xq

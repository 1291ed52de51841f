// The plain-text form and the JSON dump of tables.
#include <gtest/gtest.h>

#include <string>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include "support/Json.h"
#include "tables/TableTestSupport.h"

namespace xq {
namespace {

using test::NamedTable;

class TableTextTest : public ::testing::Test {
protected:
    TableTextTest() { SetupMainWindowStyleSheet(Sheet); }

    TRVTableItemInfo& AddTable(std::unique_ptr<TRVTableItemInfo> table)
    {
        TRVTableItemInfo& ref = *table;
        Doc.AppendItem("TAB", std::move(table));
        return ref;
    }

    std::string Text(bool unicode = false)
    {
        std::string out;
        EXPECT_TRUE(ExportText(Doc, out, 80, unicode));
        return out;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(TableTextTest, RowsAreLinesAndCellsAreTabSeparated)
{
    Doc.AppendText("vorher", 0, 0);
    TRVTableItemInfo& table = AddTable(NamedTable(3, 3, &Doc));
    ASSERT_TRUE(table.MergeCells(0, 0, 2, 1));
    ASSERT_TRUE(table.MergeCells(1, 2, 1, 2));
    table.Cells(2, 1)->AppendText("zweite Zeile", 0, 0);
    Doc.AppendText("nachher", 0, 0);
    // A merged cell is written where it starts; the slots it covers add no separator.
    EXPECT_EQ(Text(), "vorher\r\n"
                      "00\r\n01\t02\r\n"
                      "10\t11\t12\r\n22\r\n"
                      "20\t21\r\nzweite Zeile\r\n"
                      "nachher");
}

TEST_F(TableTextTest, SeparatorsOfTheTableAndUnicodeOutput)
{
    TRVTableItemInfo& table = AddTable(NamedTable(2, 2, &Doc));
    table.TextColSeparator = " \xE2\x94\x82 "; // a box-drawing bar, not in code page 1252
    table.TextRowSeparator = "\r\n--\r\n";
    TFontInfo& unicode = Sheet.TextStyles.Add();
    unicode.CopyStyle(Sheet.TextStyles[0]);
    unicode.Unicode = true;
    table.Cells(1, 1)->Clear();
    table.Cells(1, 1)->AppendTextW(u"\u20AC", Sheet.TextStyles.Count() - 1, 0);

    EXPECT_EQ(Text(), "00 ? 01\r\n--\r\n10 ? \x80") << "8-bit output in code page 1252";
    EXPECT_EQ(Text(true), BytesFromUtf16(u"\uFEFF00 \u2502 01\r\n--\r\n10 \u2502 \u20AC"));
}

TEST_F(TableTextTest, NestedTablesAndEmptyTables)
{
    TRVTableItemInfo& table = AddTable(NamedTable(1, 2, &Doc));
    auto inner = NamedTable(2, 1);
    inner->TextColSeparator = ";";
    TRVTableCellData& host = *table.Cells(0, 1);
    host.AppendItem("INNEN", std::move(inner));
    AddTable(std::make_unique<TRVTableItemInfo>());
    Doc.AppendText("Ende", 0, 0);
    EXPECT_EQ(Text(), "00\t01\r\n00\r\n10\r\n\r\nEnde") << "the empty table is an empty line";
}

TEST_F(TableTextTest, DumpListsRowsCellsSpansAndNestedContent)
{
    TRVTableItemInfo& table = AddTable(NamedTable(2, 3, &Doc));
    ASSERT_TRUE(table.MergeCells(0, 1, 2, 2));
    table.Rows[1].RowVAlign = rvcBottom;
    table.Rows[1].RowPageBreakBefore = true;
    table.Cells(1, 0)->Color = clYellow;
    table.Cells(1, 0)->VAlign = rvcMiddle;
    table.CellBorderStyle = rvtbColor;
    table.Options.Include(rvtoHideGridLines);
    table.Cells(1, 0)->AppendItem({}, NamedTable(1, 1));
    table.DeleteProtect = true;

    std::string error;
    const std::optional<test::TJson> json = test::ParseJson(DumpDocumentJson(Sheet, Doc, nullptr), &error);
    ASSERT_TRUE(json) << error;
    const test::TJson& item = (*json)["items"][0];
    EXPECT_EQ(item["kind"].Text, "table");
    EXPECT_EQ(item["name"].Text, "TAB");
    const test::TJson& data = item["data"];
    EXPECT_EQ(data["rowCount"].Int(), 2);
    EXPECT_EQ(data["colCount"].Int(), 3);
    EXPECT_EQ(data["cellBorderStyle"].Text, "color");
    EXPECT_EQ(data["options"].Items.back().Text, "hideGridLines");
    EXPECT_TRUE(data["deleteProtect"].Boolean);

    const test::TJson& rows = data["rows"];
    ASSERT_EQ(rows.Items.size(), 2u);
    ASSERT_EQ(rows[0]["cells"].Items.size(), 2u) << "the covered slots have no entries";
    const test::TJson& merged = rows[0]["cells"][1];
    EXPECT_EQ(merged["col"].Int(), 1);
    EXPECT_EQ(merged["colSpan"].Int(), 2);
    EXPECT_EQ(merged["rowSpan"].Int(), 2);
    EXPECT_EQ(merged["content"]["items"].Items.size(), 4u);
    EXPECT_EQ(merged["content"]["items"][3]["text"].Text, "12");

    EXPECT_EQ(rows[1]["vAlign"].Text, "bottom");
    EXPECT_TRUE(rows[1]["pageBreakBefore"].Boolean);
    ASSERT_EQ(rows[1]["cells"].Items.size(), 1u);
    const test::TJson& cell = rows[1]["cells"][0];
    EXPECT_EQ(cell["color"].Text, "#FFFF00");
    EXPECT_EQ(cell["vAlign"].Text, "middle");
    const test::TJson& nested = cell["content"]["items"][1];
    EXPECT_EQ(nested["kind"].Text, "table");
    EXPECT_EQ(nested["data"]["rows"][0]["cells"][0]["content"]["items"][0]["text"].Text, "00");
}

} // namespace
} // namespace xq

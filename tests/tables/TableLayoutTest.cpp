// Table layout on the test canvas. With the default table properties a table of C columns has
// 2C + 2 pixels of spacing (2 between columns, 2 inside the outer edge on each side) and a
// padding of 1 on each side of every cell; text style 0 has digits 6 pixels wide, lines 15 high.
#include <gtest/gtest.h>

#include "layout/LayoutTestSupport.h"
#include "layout/ReformatRange.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

class TableLayoutTest : public ::testing::Test {
protected:
    /// Appends a rows x cols table of named cells ("00", "01", ...) and returns it.
    TRVTableItemInfo& AddTable(int rows, int cols)
    {
        auto table = NamedTable(rows, cols, &F.Data);
        TRVTableItemInfo& ref = *table;
        F.Data.AppendItem("", std::move(table));
        return ref;
    }

    static void SetText(TRVTableItemInfo& table, int row, int col, const std::string& text)
    {
        TRVTableCellData& cell = *table.Cells(row, col);
        cell.Clear();
        cell.AppendText(text, 0, 0);
    }

    /// What laying out the document gave the table, and one of its cells.
    const TRVTableItemFormattingInfo& Layout(const TRVTableItemInfo& table) const
    {
        const TRVTableLayoutState* state = TableLayoutIn(F.Data, table);
        EXPECT_NE(state, nullptr) << "the table is laid out";
        static const TRVTableItemFormattingInfo none;
        return state ? state->Layout : none;
    }
    const TRVTableCellLayout& Cell(const TRVTableItemInfo& table, int row, int col) const
    {
        const TRVTableCellLayout* cell = TableLayoutIn(F.Data, table)->FindCell(table.Cells(row, col));
        EXPECT_NE(cell, nullptr) << "the cell is laid out";
        return *cell;
    }

    LayoutFixture F{600};
};

TEST_F(TableLayoutTest, PercentAndAutomaticTablesFillTheAvailableWidth)
{
    TRVTableItemInfo& full = AddTable(2, 3);
    full.BestWidth = -100;
    TRVTableItemInfo& automatic = AddTable(1, 3);
    F.Format();
    for (TRVTableItemInfo* table : {&full, &automatic}) {
        EXPECT_EQ(Layout(*table).FWidth, 600);
        // 600 - 8 spacing - 6 padding = 586 for three columns: 195, 195, 196.
        EXPECT_EQ(Layout(*table).ColWidths, (std::vector<std::int32_t>{195, 195, 196}));
        EXPECT_EQ(Layout(*table).ColStarts, (std::vector<std::int32_t>{2, 201, 400}));
    }
    EXPECT_EQ(Layout(full).FHeight, 2 * (2 + 2) + 2 + 30);
    EXPECT_EQ(Cell(full, 1, 2).Left, 400);
    EXPECT_EQ(Cell(full, 1, 2).Top, 21);
    EXPECT_EQ(Cell(full, 1, 2).Width, 198);
    EXPECT_EQ(Cell(full, 1, 2).Height, 17);
    // The table is a line of its own, as wide and high as its layout.
    const TRVDrawLineInfo& d = F.Data.DrawItems()[0];
    EXPECT_EQ(d.Width, 600);
    EXPECT_EQ(d.Height, 40);
    EXPECT_EQ(F.Data.DrawItems()[1].Top, 40);
}

TEST_F(TableLayoutTest, NegativeSpacingsLetNeighbouringBordersShareOneLine)
{
    // An inserted table: borders of 1 and spacings of -1, padding 5. Across: the table border at
    // 0 is also the first cell's left border, the cells' rectangles start at 1, and the two cells
    // share the border line between them: F = -1 + 0 + 4 = 3, 577 for the content.
    auto inserted = NewInsertedTable(2, 2, false, 0, &F.Data);
    TRVTableItemInfo& table = *inserted;
    F.Data.AppendItem("", std::move(inserted));
    F.Format();
    EXPECT_EQ(Layout(table).FWidth, 600);
    EXPECT_EQ(Layout(table).ColWidths, (std::vector<std::int32_t>{288, 289}));
    EXPECT_EQ(Layout(table).ColStarts, (std::vector<std::int32_t>{1, 300}));
    EXPECT_EQ(Cell(table, 0, 0).Left + Cell(table, 0, 0).Width, 299) << "its right border is pixel 299";
    EXPECT_EQ(Cell(table, 0, 1).Left - 1, 299) << "the left border of its neighbour too";
    // Down: rows of one 15-pixel line; 2 x (2 x 5 + 1 - 1) - 1 + 4 + 30.
    EXPECT_EQ(Layout(table).RowStarts, (std::vector<std::int32_t>{1, 27}));
    EXPECT_EQ(Layout(table).FHeight, 53);
    EXPECT_EQ(Cell(table, 0, 0).Top + Cell(table, 0, 0).Height, 26);
    EXPECT_EQ(Cell(table, 1, 0).Top - 1, 26);

    // Spacings never overlap more than the border they overlap: -50 is -1 here, and a cell
    // spacing below 0 without cell borders is 0.
    TRVTableItemInfo& deep = AddTable(2, 2);
    deep.BorderWidth = deep.CellBorderWidth = 1;
    deep.BorderHSpacing = deep.BorderVSpacing = deep.CellHSpacing = deep.CellVSpacing = -50;
    deep.SetCellPadding(5);
    TRVTableItemInfo& borderless = AddTable(2, 2);
    borderless.CellHSpacing = borderless.CellVSpacing = -1;
    F.Format();
    EXPECT_EQ(Layout(deep).ColStarts, (std::vector<std::int32_t>{1, 300}));
    EXPECT_EQ(Layout(deep).RowStarts, (std::vector<std::int32_t>{1, 27}));
    EXPECT_EQ(Layout(borderless).ColStarts[1] - Layout(borderless).ColStarts[0],
              Layout(borderless).ColWidths[0] + 2) << "the two paddings, no overlap";
}

TEST_F(TableLayoutTest, ColumnsWithWidthsInPixelsAndPercent)
{
    TRVTableItemInfo& pixels = AddTable(1, 2);
    pixels.BestWidth = -100;
    pixels.Cells(0, 0)->BestWidth = 100;
    TRVTableItemInfo& percent = AddTable(1, 2);
    percent.BestWidth = -100;
    percent.Cells(0, 0)->BestWidth = -25;
    F.Format();
    // 600 - 6 spacing = 594 for columns, 590 for content.
    EXPECT_EQ(Layout(pixels).ColWidths, (std::vector<std::int32_t>{100, 490}));
    // A quarter of the 594: 148, less the padding on both sides.
    EXPECT_EQ(Layout(percent).ColWidths, (std::vector<std::int32_t>{146, 444}));
}

TEST_F(TableLayoutTest, ContentWiderThanTheRequestedWidthWidensTheTable)
{
    TRVTableItemInfo& table = AddTable(1, 3);
    table.BestWidth = 50;
    for (int c = 0; c < 3; ++c)
        SetText(table, 0, c, "aaaaaaaaaa"); // 60 pixels, one word
    F.Format();
    EXPECT_EQ(Layout(table).FWidth, 8 + 6 + 180);
    EXPECT_EQ(Layout(table).ColWidths, (std::vector<std::int32_t>{60, 60, 60}));

    // Columns of fixed pixel widths and nothing else: the table is as wide as they are.
    TRVTableItemInfo& fixed = AddTable(2, 3);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            fixed.Cells(r, c)->BestWidth = 100;
    F.Format();
    EXPECT_EQ(Layout(fixed).FWidth, 8 + 6 + 300);
}

TEST_F(TableLayoutTest, MergedCellsSpreadOverTheirColumnsAndRows)
{
    // Row 0: one cell over both columns with a word of 60 pixels; row 1: two cells of 6.
    TRVTableItemInfo& wide = AddTable(2, 2);
    wide.BestWidth = 20;
    ASSERT_TRUE(wide.MergeCells(0, 0, 2, 1));
    SetText(wide, 0, 0, "aaaaaaaaaa");
    SetText(wide, 1, 0, "b");
    SetText(wide, 1, 1, "b");
    // Three rows; column 1 of rows 0 and 1 is one cell of four lines.
    TRVTableItemInfo& tall = AddTable(3, 2);
    ASSERT_TRUE(tall.MergeCells(0, 1, 1, 2));
    TRVTableCellData& merged = *tall.Cells(0, 1);
    merged.Clear();
    for (const char* line : {"w", "x", "y", "z"})
        merged.AppendText(line, 0, 0);
    F.Format();

    // The 60 pixels rise both columns from 6 to 28 (with the 4 between them: 60).
    EXPECT_EQ(Layout(wide).ColWidths, (std::vector<std::int32_t>{28, 28}));
    EXPECT_EQ(Layout(wide).FWidth, 6 + 4 + 56);
    EXPECT_EQ(Cell(wide, 0, 0).Width, 62);

    // The merged cell needs 60 + 2 padding; its rows have 15 + 4 + 15 + 2 = 36: each grows by 13.
    EXPECT_EQ(Layout(tall).RowHeights, (std::vector<std::int32_t>{28, 28, 15}));
    EXPECT_EQ(Cell(tall, 0, 1).Height, 62);
    EXPECT_EQ(Layout(tall).FHeight, 2 * (3 + 2) + 4 + 71);
}

TEST_F(TableLayoutTest, TableWiderThanTheTextWidth)
{
    const int indented = F.AddParaStyle();
    F.Sheet.ParaStyles[indented].LeftIndent = 20;
    TRVTableItemInfo& table = AddTable(1, 2);
    table.BestWidth = 800;
    table.ParaNo = indented;
    F.Format();
    EXPECT_EQ(F.Data.TextAreaWidth(), 600) << "lines keep their width";
    EXPECT_EQ(F.Data.MinTextAreaWidth(), 820);
    const TRVDrawLineInfo& d = F.Data.DrawItems()[0];
    EXPECT_EQ(d.Left, 20);
    EXPECT_EQ(d.Width, 800);
}

TEST_F(TableLayoutTest, ReformattingANeighbourKeepsTheTablesLayout)
{
    F.Text("vorher");
    TRVTableItemInfo& table = AddTable(2, 2);
    F.Text("nachher");
    F.Format();
    const TRVDrawLineInfo* cellPiece = &Cell(table, 1, 1).Layout.DrawItems()[0];
    // Typing after the table: its paragraph is context of the reformat, but its layout stays.
    int first = 0, last = 0;
    GetReformatRange(F.Data, F.Data.DrawItems(), 2, 2, first, last);
    EXPECT_EQ(first, 1);
    F.Data.SetText(2, "nachher!");
    F.Data.ReformatRange(first, last, 0);
    EXPECT_EQ(&Cell(table, 1, 1).Layout.DrawItems()[0], cellPiece);
    // A whole format lays it out again.
    F.Format();
    EXPECT_NE(Cell(table, 1, 1).Layout.DrawItems().Count(), 0);
}

} // namespace
} // namespace xq::test

// The table model: creation, the covering-cell lookup, merging and splitting against the grid
// invariants, copies, and the walks that reach cells.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "document/StylePurge.h"
#include "pictures/PictureKinds.h"
#include "platform/DocViewError.h"
#include "support/DocDump.h"
#include "tables/TableTestSupport.h"

#include "pictures/PictureSamples.h"

namespace xq {
namespace {

using test::ContentText;
using test::CoveringCellByArea;
using test::NamedTable;

std::unique_ptr<TGraphic> RedPixel()
{
    std::unique_ptr<TGraphic> png = CreateGraphic("TPNGObject");
    EXPECT_TRUE(png->LoadFromBytes(test::EncodeRgbaPng(1, 1, std::string("\xFF\x00\x00\xFF", 4))));
    return png;
}

/// Every slot's covering cell as GetCellAt finds it equals the one whose area holds the slot.
void ExpectLookupMatchesAreas(const TRVTableItemInfo& table)
{
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColCount(); ++c) {
            int top = -1, left = -1;
            const TRVTableCellData* found = table.GetCellAt(r, c, top, left);
            ASSERT_NE(found, nullptr) << r << "," << c;
            EXPECT_EQ(found, CoveringCellByArea(table, r, c)) << r << "," << c;
            EXPECT_EQ(table.Rows[top][left], found) << "the position is where the cell starts";
        }
}

class TableModelTest : public ::testing::Test {
protected:
    TableModelTest() { SetupMainWindowStyleSheet(Sheet); }

    TRVTableItemInfo& Insert(std::unique_ptr<TRVTableItemInfo> table, TCustomRVData& into)
    {
        TRVTableItemInfo& ref = *table;
        into.AppendItem("TAB", std::move(table));
        return ref;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(TableModelTest, NewTableHasSingleCellsWithOneEmptyParagraph)
{
    Sheet.TextStyles[0].Unicode = true;
    TRVTableItemInfo table(2, 3, &Doc);
    EXPECT_TRUE(table.IsFullLine());
    EXPECT_EQ(table.StyleNo, rvsTable);
    ASSERT_EQ(table.RowCount(), 2);
    ASSERT_EQ(table.ColCount(), 3);
    EXPECT_EQ(table.SubDocumentCount(), 6);
    EXPECT_TRUE(table.CheckGrid());
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            const TRVTableCellData* cell = table.Cells(r, c);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(table.SubDocument(r * 3 + c), cell) << "cells are listed row by row";
            EXPECT_EQ(cell->GetTable(), &table);
            EXPECT_EQ(cell->ColSpan(), 1);
            EXPECT_EQ(cell->RowSpan(), 1);
            ASSERT_EQ(cell->Count(), 1);
            EXPECT_TRUE(cell->HasNoContent());
            EXPECT_TRUE(cell->ItemAt(0).IsUnicode()) << "text style 0 of the owner's sheet is Unicode";
            EXPECT_EQ(cell->GetRVStyle(), nullptr) << "the cells join the owner when the table does";
        }
    EXPECT_EQ(table.SubDocument(6), nullptr);

}

TEST_F(TableModelTest, SizesAndSlotsOutsideTheGridAreRefused)
{
    EXPECT_THROW(TRVTableItemInfo(-1, 2), EDocViewError);
    EXPECT_THROW(TRVTableItemInfo(2, -1), EDocViewError);
    EXPECT_THROW(TRVTableItemInfo(2, 0), EDocViewError) << "rows need columns";
    const TRVTableItemInfo empty(0, 0);
    EXPECT_EQ(empty.RowCount(), 0);
    EXPECT_EQ(empty.ColCount(), 0);
    EXPECT_TRUE(empty.CheckGrid());

    TRVTableItemInfo table(2, 2);
    int top = 0, left = 0;
    try {
        (void)table.Cells(2, 0);
        FAIL() << "no exception";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Invalid row or column index");
    }
    EXPECT_THROW((void)table.Cells(0, -1), EDocViewError);
    EXPECT_THROW(table.GetCellAt(0, 2, top, left), EDocViewError);
    EXPECT_THROW(table.MergeCells(2, 0, 1, 1), EDocViewError);
    try {
        table.MergeCells(0, 0, 0, 2);
        FAIL() << "no exception";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Parameters for cell merging are not correct");
    }
}

TEST_F(TableModelTest, GetCellAtFindsTheMergedCellAboveAndLeft)
{
    auto table = NamedTable(4, 4);
    ASSERT_TRUE(table->MergeCells(1, 1, 2, 3));
    ASSERT_TRUE(table->MergeCells(0, 3, 1, 4));
    int top = -1, left = -1;
    // Covered by the cell two rows up and one column to the left.
    EXPECT_EQ(table->GetCellAt(3, 2, top, left), table->Cells(1, 1));
    EXPECT_EQ(top, 1);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(table->GetCellAt(3, 0, top, left), table->Cells(3, 0)) << "a single cell finds itself";
    EXPECT_EQ(table->GetCellAt(2, 3, top, left), table->Cells(0, 3));
    EXPECT_EQ(top, 0);
    ExpectLookupMatchesAreas(*table);
}

TEST_F(TableModelTest, MergingGathersContentInRowOrderAndLeavesCoveredSlots)
{
    auto table = NamedTable(3, 3);
    table->Cells(0, 1)->ResetToEmptyParagraph(&Sheet); // an empty cell gives nothing
    ASSERT_TRUE(table->MergeCells(0, 0, 2, 2));
    const TRVTableCellData* merged = table->Cells(0, 0);
    EXPECT_EQ(merged->ColSpan(), 2);
    EXPECT_EQ(merged->RowSpan(), 2);
    EXPECT_EQ(ContentText(*merged), "00|10|11");
    EXPECT_EQ(table->Cells(0, 1), nullptr);
    EXPECT_EQ(table->Cells(1, 0), nullptr);
    EXPECT_EQ(table->Cells(1, 1), nullptr);
    EXPECT_EQ(table->SubDocumentCount(), 6);
    EXPECT_TRUE(table->CheckGrid());

    // The merged cell's empty paragraph gives way to the content it receives.
    auto empty = NamedTable(1, 2);
    empty->Cells(0, 0)->ResetToEmptyParagraph(&Sheet);
    ASSERT_TRUE(empty->MergeCells(0, 0, 2, 1));
    EXPECT_EQ(ContentText(*empty->Cells(0, 0)), "01");
}

TEST_F(TableModelTest, MergingRefusesRectanglesThatCutThroughCells)
{
    auto table = NamedTable(3, 3);
    ASSERT_TRUE(table->MergeCells(1, 1, 2, 2));
    const std::string before = ContentText(*table->Cells(0, 0));
    EXPECT_FALSE(table->MergeCells(0, 0, 2, 2)) << "(1, 1) reaches out of the rectangle";
    EXPECT_FALSE(table->MergeCells(0, 1, 1, 2)) << "a cell starting above a merged one";
    EXPECT_FALSE(table->MergeCells(1, 1, 2, 2)) << "already that cell";
    EXPECT_FALSE(table->MergeCells(0, 0, 1, 1));
    EXPECT_EQ(ContentText(*table->Cells(0, 0)), before);
    EXPECT_EQ(table->SubDocumentCount(), 6);

    // Sizes are cut to the grid: three columns from column 1 of a 3-column table are two.
    EXPECT_TRUE(table->MergeCells(0, 1, 5, 1));
    EXPECT_EQ(table->Cells(0, 1)->ColSpan(), 2);
    EXPECT_TRUE(table->MergeCells(0, 0, 3, 3)) << "whole cells, one merged already";
    // Row order of the cells as they start: (0, 0), (0, 1), (1, 0), (1, 1), (2, 0).
    EXPECT_EQ(ContentText(*table->Cells(0, 0)), "00|01|02|10|11|12|21|22|20");
    EXPECT_TRUE(table->CheckGrid());
}

TEST_F(TableModelTest, UnmergingSharesWidthsAndCopiesTheLook)
{
    auto table = NamedTable(3, 3);
    ASSERT_TRUE(table->MergeCells(0, 0, 3, 2));
    TRVTableCellData& cell = *table->Cells(0, 0);
    cell.BestWidth = 100;
    cell.BestHeight = 7;
    cell.Color = clYellow;

    ASSERT_TRUE(table->UnmergeCell(0, 0, false, true));
    EXPECT_TRUE(table->CheckGrid());
    for (int c = 0; c < 3; ++c) {
        const TRVTableCellData* part = table->Cells(0, c);
        ASSERT_NE(part, nullptr) << c;
        EXPECT_EQ(part->ColSpan(), 1);
        EXPECT_EQ(part->RowSpan(), 2) << "only the columns were split";
        EXPECT_EQ(part->BestWidth, 33);
        EXPECT_EQ(part->BestHeight, 7);
        EXPECT_EQ(part->Color, clYellow);
        EXPECT_EQ(table->Cells(1, c), nullptr);
    }
    EXPECT_EQ(ContentText(*table->Cells(0, 0)), "00|01|02|10|11|12") << "the content stays with the first part";
    EXPECT_TRUE(table->Cells(0, 2)->HasNoContent());

    TRVTableCellData& tall = *table->Cells(0, 1);
    tall.BestHeight = 1;
    tall.BestWidth = -1;
    ASSERT_TRUE(table->UnmergeCell(0, 1, true, false));
    EXPECT_EQ(table->Cells(1, 1)->BestHeight, 1) << "a non-zero height never becomes 0";
    EXPECT_EQ(table->Cells(0, 1)->BestWidth, -1);
    EXPECT_FALSE(table->UnmergeCell(0, 1, true, true)) << "nothing left to split";
    EXPECT_FALSE(table->UnmergeCell(1, 2, true, true)) << "a covered slot";
    EXPECT_TRUE(table->CheckGrid());
    ExpectLookupMatchesAreas(*table);
}

// Random merges and splits: after each step the invariants hold, the lookup agrees with the
// cells' areas, and no cell text is lost or doubled.
TEST_F(TableModelTest, RandomMergesAndSplitsKeepTheGridAndTheContent)
{
    std::mt19937 random(20240611);
    int merged = 0, split = 0;
    for (int round = 0; round < 40; ++round) {
        const int rows = 1 + static_cast<int>(random() % 6), cols = 1 + static_cast<int>(random() % 6);
        auto table = NamedTable(rows, cols);
        std::multiset<std::string> words;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                words.insert(std::to_string(r) + std::to_string(c));
        for (int step = 0; step < 30; ++step) {
            const int r = static_cast<int>(random() % unsigned(rows)), c = static_cast<int>(random() % unsigned(cols));
            if (random() % 3 != 0) {
                merged += table->MergeCells(r, c, 1 + static_cast<int>(random() % 3), 1 + static_cast<int>(random() % 3));
            } else {
                const bool both = random() % 2 != 0;
                split += table->UnmergeCell(r, c, both || random() % 2 != 0, both || random() % 2 != 0);
            }
            ASSERT_TRUE(table->CheckGrid()) << "round " << round << " step " << step;
            ExpectLookupMatchesAreas(*table);
            std::multiset<std::string> seen;
            for (int k = 0; k < table->SubDocumentCount(); ++k) {
                const TCustomRVData& cell = *table->SubDocument(k);
                for (int i = 0; i < cell.Count(); ++i)
                    if (!cell.TextAt(i).empty())
                        seen.insert(cell.TextAt(i));
            }
            ASSERT_EQ(seen, words) << "round " << round << " step " << step;
        }
    }
    EXPECT_GT(merged, 100) << "the walk must really merge";
    EXPECT_GT(split, 50);
}

TEST_F(TableModelTest, EffectiveColourAndAlignment)
{
    TRVTableItemInfo table(2, 2);
    table.Color = clAqua;
    table.Cells(0, 1)->Color = clRed;
    ASSERT_TRUE(table.MergeCells(0, 0, 1, 2));
    EXPECT_EQ(table.GetCellColor(0, 0), clAqua) << "clNone lets the table's colour show";
    EXPECT_EQ(table.GetCellColor(0, 1), clRed);
    EXPECT_EQ(table.GetCellColor(1, 0), clAqua) << "a covered slot shows its cell";

    table.Rows[0].RowVAlign = rvcBottom;
    table.Rows[1].RowVAlign = rvcVDefault;
    EXPECT_EQ(table.GetCellVAlign(0, 1), rvcBottom) << "the row's alignment";
    EXPECT_EQ(table.GetCellVAlign(1, 0), rvcBottom) << "the row where the cell starts";
    EXPECT_EQ(table.GetCellVAlign(1, 1), rvcMiddle) << "both default: middle";
    table.Cells(1, 1)->VAlign = rvcTop;
    EXPECT_EQ(table.GetCellVAlign(1, 1), rvcTop);
}

TEST_F(TableModelTest, CopiesAreDeepAndIndependent)
{
    auto table = NamedTable(2, 3, &Doc);
    ASSERT_TRUE(table->MergeCells(0, 0, 2, 1));
    table->BestWidth = -80;
    table->TextColSeparator = ";";
    table->VisibleBorders.Top = false;
    table->BackgroundImage = RedPixel();
    table->Rows[1].RowPageBreakBefore = true;
    table->Cells(1, 2)->Hint = "Zelle";
    table->Cells(1, 2)->BackgroundImage = RedPixel();
    TRVTableCellData& host = *table->Cells(1, 1);
    host.AppendItem({}, NamedTable(1, 2));
    table->Tag = "t";

    const std::unique_ptr<TCustomRVItemInfo> copyItem = table->CreateCopy(false);
    auto& copy = dynamic_cast<TRVTableItemInfo&>(*copyItem);
    EXPECT_TRUE(copy.CheckGrid());
    EXPECT_EQ(copy.Tag, "t");
    EXPECT_EQ(copy.BestWidth, -80);
    EXPECT_EQ(copy.TextColSeparator, ";");
    EXPECT_FALSE(copy.VisibleBorders.Top);
    EXPECT_TRUE(copy.Rows[1].RowPageBreakBefore);
    ASSERT_NE(copy.BackgroundImage, nullptr);
    EXPECT_NE(copy.BackgroundImage.get(), table->BackgroundImage.get());
    EXPECT_TRUE(GraphicsEqual(copy.BackgroundImage.get(), table->BackgroundImage.get()));
    EXPECT_EQ(copy.Cells(0, 0)->ColSpan(), 2);
    EXPECT_EQ(copy.Cells(0, 1), nullptr);
    EXPECT_EQ(copy.Cells(1, 2)->Hint, "Zelle");
    EXPECT_TRUE(GraphicsEqual(copy.Cells(1, 2)->BackgroundImage.get(), table->Cells(1, 2)->BackgroundImage.get()));
    EXPECT_EQ(ContentText(*copy.Cells(1, 1)), ContentText(host));

    // The nested table is a table of its own in the copy.
    auto& nested = dynamic_cast<TRVTableItemInfo&>(copy.Cells(1, 1)->ItemAt(1));
    EXPECT_NE(&nested, &host.ItemAt(1));
    EXPECT_EQ(nested.Cells(0, 0)->GetTable(), &nested);
    EXPECT_EQ(nested.OwnerData(), copy.Cells(1, 1));

    table->Cells(0, 0)->SetText(0, "geaendert");
    table->Cells(1, 1)->Clear();
    EXPECT_EQ(ContentText(*copy.Cells(0, 0)), "00|01");
    EXPECT_EQ(copy.Cells(1, 1)->Count(), 2);
}

TEST_F(TableModelTest, CellsJoinTheContainerThatHoldsTheTable)
{
    TRVTableItemInfo& table = Insert(NamedTable(2, 2), Doc);
    TRVTableCellData& cell = *table.Cells(1, 0);
    auto nested = NamedTable(1, 1);
    TRVTableItemInfo& inner = *nested;
    cell.AppendItem("INNEN", std::move(nested));

    EXPECT_EQ(table.OwnerData(), &Doc);
    EXPECT_EQ(cell.GetRVStyle(), &Sheet);
    EXPECT_EQ(cell.GetParentData(), &Doc);
    EXPECT_EQ(inner.OwnerData(), &cell);
    EXPECT_EQ(&inner.Cells(0, 0)->GetRootData(), &Doc);

    // A table taken out leaves its cells without a sheet.
    TRVItemEntry entry = Doc.ExtractItem(0);
    EXPECT_EQ(table.OwnerData(), nullptr);
    EXPECT_EQ(cell.GetRVStyle(), nullptr);
    EXPECT_EQ(&inner.Cells(0, 0)->GetRootData(), &cell);
}

TEST_F(TableModelTest, ContainerWalksReachNestedCells)
{
    Doc.AppendText("Text", 0, 0);
    TRVTableItemInfo& table = Insert(NamedTable(2, 2), Doc);
    table.MergeCells(0, 0, 2, 1);
    table.Cells(1, 1)->AppendItem({}, NamedTable(2, 1));
    int containers = 0;
    ForEachContainer(Doc, [&](TCustomRVData&) { ++containers; });
    EXPECT_EQ(containers, 1 + 3 + 2);

    // Normalisation repairs cells too: a cell whose first item claims to continue a paragraph.
    TRVTableCellData& cell = *table.Cells(1, 0);
    cell.ItemAt(0).SetContinuesPara(true);
    NormalizeDocument(Doc);
    EXPECT_TRUE(cell.StartsParagraph(0));
}

TEST_F(TableModelTest, PurgingKeepsAndRenumbersStylesUsedOnlyInNestedCells)
{
    const int count = Sheet.TextStyles.Count();
    for (const char* name : {"unused", "in nested cell"}) {
        TFontInfo& s = Sheet.TextStyles.Add();
        s.StyleName = name;
        s.Standard = false;
    }
    TParaInfo& para = Sheet.ParaStyles.Add();
    para.StyleName = "cell paragraph";
    para.Standard = false;
    const int paraNo = Sheet.ParaStyles.Count() - 1;

    TRVTableItemInfo& table = Insert(NamedTable(1, 1), Doc);
    auto nested = NamedTable(1, 1);
    TRVTableCellData& inner = *nested->Cells(0, 0);
    table.Cells(0, 0)->AppendItem({}, std::move(nested));
    inner.Clear();
    inner.AppendText("tief", count + 1, paraNo);

    PurgeStyles(Sheet, Doc, true, true, true);
    ASSERT_EQ(Sheet.TextStyles.Count(), count + 1) << "the unused style went";
    EXPECT_EQ(inner.StyleOf(0), count) << "renumbered once, not once per walk";
    EXPECT_EQ(Sheet.TextStyles[count].StyleName, "in nested cell");
    EXPECT_EQ(Sheet.ParaStyles[inner.ParaOf(0)].StyleName, "cell paragraph");
}

} // namespace
} // namespace xq

// Table editing: rows and columns through merged cells, merging, splitting, deleting empty rows,
// refused and invalid operations, properties; each checked on the grid and against the document's
// RVF bytes, which Undo and Redo must give back exactly. A random test runs series of operations
// on random tables with merged cells. XQ_EDIT_SEEDS sets how many tables it edits.
#include <gtest/gtest.h>

#include "EditTestSupport.h"

#include <cstdlib>
#include <functional>
#include <random>

#include "document/RVStyle.h"
#include "editing/TableEditing.h"
#include "formats/rvf/RvfWriter.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "platform/DocViewError.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

/// The grid row by row ("/" between rows): each cell as its content (paragraphs joined by '|',
/// "-" when empty) with "(colSpan x rowSpan)" when it is merged; a covered slot is ".".
std::string Shape(const TRVTableItemInfo& table)
{
    std::string out;
    for (int r = 0; r < table.RowCount(); ++r) {
        if (r > 0)
            out += " / ";
        for (int c = 0; c < table.ColCount(); ++c) {
            if (c > 0)
                out += ' ';
            const TRVTableCellData* cell = table.Rows[r][c];
            if (!cell) {
                out += '.';
                continue;
            }
            out += cell->HasNoContent() ? "-" : ContentText(*cell);
            if (cell->ColSpan() > 1 || cell->RowSpan() > 1)
                out += "(" + std::to_string(cell->ColSpan()) + "x" + std::to_string(cell->RowSpan()) + ")";
        }
    }
    return out;
}

/// Every cell of the table knows the table and the container holding it.
void ExpectCellsAttached(const TRVTableItemInfo& table, const TCustomRVData& doc)
{
    for (int i = 0; i < table.SubDocumentCount(); ++i) {
        const auto* cell = static_cast<const TRVTableCellData*>(table.SubDocument(i));
        EXPECT_EQ(cell->GetTable(), &table);
        EXPECT_EQ(cell->GetParentData(), &doc);
    }
}

/// A document of a paragraph, a table (item 1) and a paragraph, with undo and redo lists.
class TableDocument {
public:
    explicit TableDocument(std::unique_ptr<TRVTableItemInfo> table)
    {
        SetupMainWindowStyleSheet(Sheet);
        Doc.AppendText("vor", 0, 0);
        table->ParaNo = 0;
        Table = table.get();
        Doc.AppendItem("TAB", std::move(table));
        Doc.AppendText("nach", 0, 0);
    }

    [[nodiscard]] std::string Rvf() const
    {
        std::string out;
        EXPECT_TRUE(TRVFWriter(Sheet, RVFMainWindowOptions).WriteDocument(Doc, nullptr, out));
        return out;
    }

    /// Runs change as one undo group; returns the number of records it made.
    std::size_t Run(const std::function<void(TRVTableChanges&)>& change)
    {
        EXPECT_TRUE(Undo.BeginUndoGroup(rvutModifyItem, {}, 0, 0));
        TRVTableChanges changes(Doc, 1, &Undo);
        change(changes);
        EXPECT_TRUE(Table->CheckGrid());
        return Undo.LastGroup()->Records.size();
    }

    void UndoOnce()
    {
        int item = 0, offs = 0;
        Undo.Execute(Redo, 0, 0, item, offs);
        EXPECT_TRUE(Table->CheckGrid());
        ExpectCellsAttached(*Table, Doc);
    }
    void RedoOnce()
    {
        int item = 0, offs = 0;
        Redo.Execute(Undo, 0, 0, item, offs);
        EXPECT_TRUE(Table->CheckGrid());
        ExpectCellsAttached(*Table, Doc);
    }

    /// The last group is undone to before and redone to the bytes the document has now.
    void ExpectUndoRedo(const std::string& before)
    {
        const std::string after = Rvf();
        ASSERT_NE(before, after) << "the operation changed nothing";
        UndoOnce();
        EXPECT_EQ(Rvf(), before);
        RedoOnce();
        EXPECT_EQ(Rvf(), after);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVUndoList Undo{Doc};
    TRVRedoList Redo{Doc};
    TRVTableItemInfo* Table = nullptr;
};

TEST(TableEditingTest, InsertedRowsGrowSpansFromAboveAndCopyTheSourceRow)
{
    auto named = NamedTable(2, 3);
    ASSERT_TRUE(named->MergeCells(0, 1, 1, 2)); // (0, 1) reaches down into row 1
    named->Cells(0, 0)->BestHeight = 30;
    named->Cells(0, 0)->Color = clYellow;
    named->Cells(0, 2)->Clear();
    named->Cells(0, 2)->AppendText("fett", 1, 0);
    TableDocument d(std::move(named));
    const std::string before = d.Rvf();

    d.Table->SetEditedCell(0, 0);
    d.Run([](TRVTableChanges& t) { EXPECT_TRUE(t.InsertRowsBelow(1)); });
    EXPECT_EQ(Shape(*d.Table), "00 01|11(1x3) fett / - . - / 10 . 12");
    const TRVTableCellData& copy = *d.Table->Cells(1, 0);
    EXPECT_EQ(copy.Color, clYellow) << "the new cell copies the look of the cell above";
    EXPECT_EQ(copy.BestHeight, 30) << "heights are kept";
    EXPECT_EQ(d.Table->Cells(1, 2)->StyleOf(0), 1) << "and the text style of its first paragraph";
    int top = 0, left = 0, rows = 0, cols = 0;
    ASSERT_TRUE(d.Table->GetSelectionBounds(top, left, rows, cols));
    EXPECT_EQ(top, 1) << "the new row is selected";
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(cols, 3);
    d.Table->GetEditedCell(top, left);
    EXPECT_EQ(top, 0) << "the edited cell stays where it is";
    d.ExpectUndoRedo(before);

    // Below the last row nothing reaches over the place: the covered slot of the source row
    // gets a plain cell.
    d.Table->Select(2, 0, 0, 2);
    d.Run([](TRVTableChanges& t) { EXPECT_TRUE(t.InsertRowsBelow(2)); });
    EXPECT_EQ(Shape(*d.Table), "00 01|11(1x3) fett / - . - / 10 . 12 / - - - / - - -");

    // Columns the same way: sharing the source cell's width with the copies.
    d.Table->Cells(0, 0)->BestWidth = 90;
    d.Table->Select(0, 0, 0, 0);
    const std::string wide = d.Rvf();
    d.Run([](TRVTableChanges& t) { EXPECT_TRUE(t.InsertColsRight(2)); });
    EXPECT_EQ(d.Table->ColCount(), 5);
    EXPECT_EQ(d.Table->Cells(0, 0)->BestWidth, 30);
    EXPECT_EQ(d.Table->Cells(0, 1)->BestWidth, 30);
    EXPECT_EQ(d.Table->Cells(0, 2)->BestWidth, 30);
    d.ExpectUndoRedo(wide);
}

TEST(TableEditingTest, ColumnsInsertedThroughAMergedCellWidenIt)
{
    auto named = NamedTable(3, 3);
    ASSERT_TRUE(named->MergeCells(1, 0, 2, 1)); // (1, 0) covers columns 0 and 1
    TableDocument d(std::move(named));
    const std::string before = d.Rvf();
    d.Run([](TRVTableChanges& t) { t.InsertCols(1, 1, 0, false); });
    EXPECT_EQ(Shape(*d.Table), "00 - 01 02 / 10|11(3x1) . . 12 / 20 - 21 22");
    d.ExpectUndoRedo(before);
}

TEST(TableEditingTest, MergingABlockGathersTheContentsAndUndoGivesTheCellsBack)
{
    TableDocument d(NamedTable(3, 2));
    d.Table->Cells(0, 0)->BestWidth = 40;
    d.Table->Cells(0, 1)->BestWidth = 50;
    const std::string before = d.Rvf();
    d.Table->Select(0, 0, 1, 1);
    d.Run([](TRVTableChanges& t) { EXPECT_TRUE(t.MergeSelectedCells(true)); });
    EXPECT_EQ(Shape(*d.Table), "00|01|10|11(2x2) . / . . / 20 21");
    EXPECT_EQ(d.Table->Cells(0, 0)->BestWidth, 90) << "the widths of the merged columns";
    // The block is the whole of two columns, but the columns keep cells below it.
    d.Run([](TRVTableChanges& t) { t.DeleteEmptyCols(); });
    EXPECT_EQ(d.Table->ColCount(), 2);
    const std::string merged = d.Rvf();

    d.UndoOnce(); // the empty step of DeleteEmptyCols
    d.UndoOnce();
    EXPECT_EQ(d.Rvf(), before);
    EXPECT_EQ(Shape(*d.Table), "00 01 / 10 11 / 20 21");
    d.RedoOnce();
    EXPECT_EQ(d.Rvf(), merged);
}

TEST(TableEditingTest, ANestedTableMovesWithTheContentOfItsCell)
{
    TableDocument d(NamedTable(1, 2));
    TRVTableCellData& right = *d.Table->Cells(0, 1);
    auto nested = NamedTable(1, 1);
    nested->ParaNo = 0;
    TRVTableItemInfo& inner = *nested;
    right.AppendItem("TAB", std::move(nested));
    const std::string before = d.Rvf();
    d.Run([](TRVTableChanges& t) { EXPECT_TRUE(t.MergeCells(0, 0, 2, 1, true)); });
    TRVTableCellData& merged = *d.Table->Cells(0, 0);
    EXPECT_EQ(inner.OwnerData(), &merged);
    EXPECT_EQ(inner.Cells(0, 0)->GetParentData(), &merged);
    d.UndoOnce();
    EXPECT_EQ(d.Rvf(), before);
    EXPECT_EQ(inner.OwnerData(), d.Table->Cells(0, 1)) << "back in its own cell";
    EXPECT_EQ(inner.Cells(0, 0)->GetParentData(), d.Table->Cells(0, 1));
    d.RedoOnce();
    EXPECT_EQ(inner.OwnerData(), d.Table->Cells(0, 0));
}

TEST(TableEditingTest, MergedRowsLeaveOneRowAfterDeletingEmptyRows)
{
    TableDocument d(NamedTable(2, 2));
    d.Table->Cells(0, 0)->ResetToEmptyParagraph(&d.Sheet); // gives way to the merged content
    const std::string before = d.Rvf();
    d.Table->Select(1, 1, -1, -1);
    d.Run([](TRVTableChanges& t) {
        EXPECT_FALSE(t.MergeSelectedCells(false)) << "it would leave columns without a cell";
        EXPECT_TRUE(t.MergeSelectedCells(true));
        t.DeleteEmptyRows();
        t.DeleteEmptyCols();
    });
    EXPECT_EQ(Shape(*d.Table), "01|10|11");
    d.ExpectUndoRedo(before);

    // An operation taken back halfway, as the editor does when a change fails, leaves the
    // table as it found it.
    const std::string merged = d.Rvf();
    const TRVUndoMark mark = d.Undo.Mark();
    d.Run([](TRVTableChanges& t) {
        t.InsertCols(1, 2, 0, true);
        t.InsertRows(0, 1, 0, true);
        t.Table().Select(0, 0, 1, 2);
        EXPECT_TRUE(t.MergeSelectedCells(true));
    });
    d.Undo.RollBack(mark);
    EXPECT_TRUE(d.Table->CheckGrid());
    EXPECT_EQ(d.Rvf(), merged);
}

TEST(TableEditingTest, SplittingASingleCellVerticallyAddsColumnsAndWidensTheOthers)
{
    TableDocument d(NamedTable(2, 2));
    d.Table->Cells(0, 0)->BestWidth = 90;
    const std::string before = d.Rvf();
    d.Table->SetEditedCell(0, 0);
    int added = 0;
    d.Run([&](TRVTableChanges& t) { added = t.SplitSelectedCellsVertically(3); });
    EXPECT_EQ(added, 2);
    EXPECT_EQ(Shape(*d.Table), "00 - - 01 / 10(3x1) . . 11");
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(d.Table->Cells(0, c)->BestWidth, 30) << c;
    int top = 0, left = 0, rows = 0, cols = 0;
    ASSERT_TRUE(d.Table->GetSelectionBounds(top, left, rows, cols));
    EXPECT_EQ(cols, 3) << "the selection grows over the new columns";
    d.ExpectUndoRedo(before);

    // Horizontally: the same with rows, and a selection of two cells splits both.
    d.Table->Select(0, 3, 1, 0);
    const std::string wide = d.Rvf();
    d.Run([&](TRVTableChanges& t) { added = t.SplitSelectedCellsHorizontally(2); });
    EXPECT_EQ(added, 2);
    EXPECT_EQ(Shape(*d.Table), "00(1x2) -(1x2) -(1x2) 01 / . . . - / 10(3x2) . . 11 / . . . -");
    d.ExpectUndoRedo(wide);
}

TEST(TableEditingTest, SplittingAWideCellDividesItsColumnsWithoutAddingAny)
{
    TableDocument d(NamedTable(2, 5));
    ASSERT_TRUE(d.Table->MergeCells(0, 0, 4, 1));
    ASSERT_TRUE(d.Table->MergeCells(1, 0, 5, 1));
    const std::string before = d.Rvf();
    d.Table->SetEditedCell(0, 0);
    int added = -1;
    d.Run([&](TRVTableChanges& t) { added = t.SplitSelectedCellsVertically(2); });
    EXPECT_EQ(added, 0);
    EXPECT_EQ(Shape(*d.Table), "00|01|02|03(2x1) . -(2x1) . 04 / 10|11|12|13|14(5x1) . . . .");
    d.ExpectUndoRedo(before);

    // Five columns into two: the group on the right takes 5 div 2 of them.
    d.Table->SetEditedCell(1, 0);
    d.Run([&](TRVTableChanges& t) { added = t.SplitSelectedCellsVertically(2); });
    EXPECT_EQ(Shape(*d.Table), "00|01|02|03(2x1) . -(2x1) . 04 / 10|11|12|13|14(3x1) . . -(2x1) .");
    d.Run([&](TRVTableChanges& t) { EXPECT_EQ(t.SplitSelectedCellsVertically(1), 0); });
    EXPECT_TRUE(d.Undo.LastGroup()->Records.empty()) << "one part is no split";
}

TEST(TableEditingTest, DeletingRowsThroughMergedCellsMovesAndShortensThem)
{
    TableDocument d(NamedTable(5, 3));
    ASSERT_TRUE(d.Table->MergeCells(0, 0, 1, 5)); // from above, beyond the deleted rows
    ASSERT_TRUE(d.Table->MergeCells(2, 1, 1, 3)); // starts inside, reaches below
    ASSERT_TRUE(d.Table->MergeCells(0, 2, 1, 2)); // from above, ends inside
    d.Table->Cells(0, 0)->BestHeight = 50;
    d.Table->SetEditedCell(4, 2);
    const std::string before = d.Rvf();
    d.Run([](TRVTableChanges& t) { t.DeleteRows(1, 2, true); });
    EXPECT_EQ(Shape(*d.Table), "00|10|20|30|40(1x3) 01 02|12 / . 21|31|41(1x2) 32 / . . 42");
    EXPECT_EQ(d.Table->Cells(0, 0)->BestHeight, 30) << "scaled with its span, 5 to 3";
    int row = -1, col = -1;
    d.Table->GetEditedCell(row, col);
    EXPECT_EQ(row, 2) << "the edited cell moved up with its row";
    EXPECT_EQ(col, 2);
    d.ExpectUndoRedo(before);

    // The last row is edited when the edited one went (the count is cut to the table); without
    // rvtoEditing no cell is edited afterwards.
    d.Table->SetEditedCell(2, 2);
    d.Run([](TRVTableChanges& t) { t.DeleteRows(2, 5, false); });
    EXPECT_EQ(Shape(*d.Table), "00|10|20|30|40(1x2) 01 02|12 / . 21|31|41 32");
    d.Table->GetEditedCell(row, col);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 2);
    d.Table->Options.Exclude(rvtoEditing);
    d.Run([](TRVTableChanges& t) { t.DeleteRows(0, 1, false); });
    d.Table->GetEditedCell(row, col);
    EXPECT_EQ(row, -1);

    // Columns the same way.
    TableDocument e(NamedTable(2, 4));
    ASSERT_TRUE(e.Table->MergeCells(0, 0, 3, 1));
    ASSERT_TRUE(e.Table->MergeCells(1, 1, 3, 1));
    const std::string cols = e.Rvf();
    e.Run([](TRVTableChanges& t) { t.DeleteCols(1, 1, false); });
    EXPECT_EQ(Shape(*e.Table), "00|01|02(2x1) . 03 / 10 11|12|13(2x1) .");
    e.ExpectUndoRedo(cols);
    const std::string narrower = e.Rvf();
    e.Run([](TRVTableChanges& t) { t.DeleteCols(0, 9, false); });
    EXPECT_EQ(e.Table->RowCount(), 0) << "no columns, no rows";
    e.ExpectUndoRedo(narrower);
}

TEST(TableEditingTest, RefusedAndInvalidOperationsChangeNothing)
{
    TableDocument d(NamedTable(3, 3));
    ASSERT_TRUE(d.Table->MergeCells(1, 0, 2, 1));
    const std::string before = d.Rvf();
    const auto expectNoChange = [&](const char* what, const std::function<void(TRVTableChanges&)>& op) {
        EXPECT_EQ(d.Run(op), 0u) << what;
        EXPECT_EQ(d.Rvf(), before) << what;
    };
    const auto expectThrow = [&](const char* what, const char* message, const std::function<void(TRVTableChanges&)>& op) {
        expectNoChange(what, [&](TRVTableChanges& t) {
            try {
                op(t);
                ADD_FAILURE() << what << ": no exception";
            } catch (const EDocViewError& e) {
                EXPECT_STREQ(e.what(), message) << what;
            }
        });
    };
    d.Table->Select(0, 0, 2, 0); // cuts through the merged cell
    expectNoChange("merge through a cell", [](TRVTableChanges& t) { EXPECT_FALSE(t.MergeSelectedCells(true)); });
    d.Table->Select(1, 0, 0, 0);
    expectNoChange("merge of one cell", [](TRVTableChanges& t) { EXPECT_FALSE(t.MergeSelectedCells(true)); });
    d.Table->Deselect();
    expectNoChange("no selection", [](TRVTableChanges& t) {
        EXPECT_FALSE(t.InsertRowsAbove(1));
        EXPECT_FALSE(t.DeleteSelectedCols());
        EXPECT_FALSE(t.ClearSelectedCells());
        EXPECT_EQ(t.SplitSelectedCellsHorizontally(2), 0);
    });
    expectNoChange("same values", [](TRVTableChanges& t) {
        t.SetCellIntProperty(2, 2, rvcipColor, static_cast<std::int32_t>(clNone));
        t.SetTableIntProperty(rvtipBorderWidth, 0);
        t.SetTableIntProperty(rvtipBorderStyle, 17); // no such style
        t.SetCellIntProperty(0, 0, rvcipVAlign, -1);
        t.SetCellBackground(0, 0, nullptr, rvbsColor);
    });
    d.Table->SetEditedCell(0, 0);
    expectNoChange("a split the table cannot hold", [](TRVTableChanges& t) {
        EXPECT_EQ(t.SplitSelectedCellsVertically(1 << 30), 0);
    });

    const char* invalid = "Invalid row or column index";
    expectThrow("row before", invalid, [](TRVTableChanges& t) { t.InsertRows(-1, 1, -1, false); });
    expectThrow("row after", invalid, [](TRVTableChanges& t) { t.InsertRows(4, 1, -1, false); });
    expectThrow("no count", invalid, [](TRVTableChanges& t) { t.InsertCols(0, 0, -1, false); });
    expectThrow("source outside", invalid, [](TRVTableChanges& t) { t.InsertCols(0, 1, 3, false); });
    expectThrow("too many", invalid, [](TRVTableChanges& t) { t.InsertRows(0, 1 << 30, 0, true); });
    expectThrow("delete outside", invalid, [](TRVTableChanges& t) { t.DeleteRows(3, 1, false); });
    expectThrow("delete nothing", invalid, [](TRVTableChanges& t) { t.DeleteCols(0, 0, false); });
    expectThrow("merge outside", invalid, [](TRVTableChanges& t) { t.MergeCells(0, 3, 1, 1, true); });
    expectThrow("merge size", "Parameters for cell merging are not correct",
                [](TRVTableChanges& t) { t.MergeCells(0, 0, 0, 2, true); });
    expectThrow("cell outside", invalid, [](TRVTableChanges& t) { t.SetCellIntProperty(0, 3, rvcipColor, 0); });
    expectThrow("borders outside", invalid, [](TRVTableChanges& t) { t.SetCellVisibleBorders(-1, 0, {}); });

    TCustomRVData& doc = d.Doc;
    EXPECT_THROW(TRVTableChanges(doc, 0, nullptr), EDocViewError) << "item 0 is no table";
}

TEST(TableEditingTest, PropertiesAndBackgroundsAreRecorded)
{
    TableDocument d(NamedTable(2, 2));
    ASSERT_TRUE(d.Table->MergeCells(0, 0, 2, 1));
    const std::string before = d.Rvf();
    d.Run([](TRVTableChanges& t) {
        t.SetCellIntProperty(0, 1, rvcipColor, static_cast<std::int32_t>(clYellow)); // a covered slot
        t.SetCellStrProperty(1, 1, rvcspHint, "Tipp");
        t.SetTableIntProperty(rvtipCellBorderStyle, rvtbColor);
        t.SetTableStrProperty(rvtspTextColSeparator, ";");
        t.SetTableVisibleBorders({false, true, false, true});
        t.SetCellVisibleBorders(1, 0, {true, false, true, false});
        std::unique_ptr<TGraphic> png = CreateGraphic("TPNGObject");
        ASSERT_TRUE(png->LoadFromBytes(EncodeRgbaPng(1, 1, std::string("\xFF\x00\x00\xFF", 4))));
        t.SetCellBackground(1, 1, png->Clone(), rvbsTiled);
        t.SetTableBackground(std::move(png), rvbsCentered);
    });
    EXPECT_EQ(d.Table->Cells(0, 0)->Color, clYellow);
    EXPECT_EQ(d.Table->Cells(1, 1)->Hint, "Tipp");
    EXPECT_EQ(d.Table->CellBorderStyle, rvtbColor);
    EXPECT_FALSE(d.Table->VisibleBorders.Left);
    ASSERT_NE(d.Table->BackgroundImage, nullptr);
    ASSERT_NE(d.Table->Cells(1, 1)->BackgroundImage, nullptr);
    EXPECT_EQ(d.Table->BackgroundStyle, rvbsCentered);
    d.ExpectUndoRedo(before);
    EXPECT_EQ(d.Table->Cells(1, 1)->BackgroundStyle, rvbsTiled);

    // A style without a picture keeps the picture.
    const std::string pictured = d.Rvf();
    d.Run([](TRVTableChanges& t) { t.SetTableBackground(nullptr, rvbsStretched); });
    EXPECT_NE(d.Table->BackgroundImage, nullptr);
    EXPECT_EQ(d.Table->BackgroundStyle, rvbsStretched);
    d.ExpectUndoRedo(pictured);
}

TEST(TableEditingTest, ClearingEmptiesTheSelectedCellsInTheStyleOfTheirFirstParagraph)
{
    TableDocument d(NamedTable(2, 2));
    d.Table->Cells(0, 1)->AppendText("fett", 1, 0);
    d.Table->Cells(0, 1)->ItemAt(0).StyleNo = 1;
    const std::string before = d.Rvf();
    d.Table->Select(0, 0, 0, 1);
    d.Run([](TRVTableChanges& t) { EXPECT_TRUE(t.ClearSelectedCells()); });
    EXPECT_EQ(Shape(*d.Table), "- - / 10 11");
    EXPECT_EQ(d.Table->Cells(0, 1)->StyleOf(0), 1);
    d.ExpectUndoRedo(before);
    EXPECT_EQ(d.Run([](TRVTableChanges& t) { EXPECT_FALSE(t.ClearSelectedCells()) << "nothing left to clear"; }), 0u);
}

// --- Random operations ---------------------------------------------------------------------------

class RandomTableEdits {
public:
    explicit RandomTableEdits(unsigned seed) : Rng(seed), D(RandomTable()) {}

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Rng); }

    std::unique_ptr<TRVTableItemInfo> RandomTable()
    {
        const int rows = Pick(1, 5), cols = Pick(1, 5);
        auto table = NamedTable(rows, cols);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                TRVTableCellData& cell = *table->Cells(r, c);
                switch (Pick(0, 5)) {
                case 0: cell.ResetToEmptyParagraph(nullptr); break;
                case 1: cell.AppendText("zwei", 1, 0); break;
                case 2: cell.BestWidth = Pick(-50, 120); break;
                case 3: cell.BestHeight = Pick(0, 40); break;
                default: break;
                }
            }
        for (int k = Pick(0, 3); k > 0; --k)
            table->MergeCells(Pick(0, rows - 1), Pick(0, cols - 1), Pick(1, 3), Pick(1, 3));
        return table;
    }

    void RandomSelection()
    {
        TRVTableItemInfo& t = *D.Table;
        t.Deselect();
        t.SetEditedCell(-1, -1);
        if (t.RowCount() == 0 || Pick(0, 9) == 0)
            return;
        const int r1 = Pick(0, t.RowCount() - 1), c1 = Pick(0, t.ColCount() - 1);
        if (Pick(0, 2) == 0) {
            int top = 0, left = 0;
            t.GetCellAt(r1, c1, top, left);
            t.SetEditedCell(top, left);
            return;
        }
        const int r2 = Pick(0, t.RowCount() - 1), c2 = Pick(0, t.ColCount() - 1);
        t.Select(r1, c1, r2 - r1, c2 - c1);
    }

    /// One random operation, named in Name before it runs.
    void Operate(TRVTableChanges& t)
    {
        static const char* const names[] = {
            "rows above", "rows below",   "cols left", "cols right", "insert rows",      "insert cols",
            "delete selected rows",       "delete selected cols",    "delete rows",      "delete cols",
            "merge",      "merge",        "unmerge",   "split vertically", "split horizontally",
            "delete empty", "clear",      "cell property", "table property", "merge cells"};
        const TRVTableItemInfo& table = *D.Table;
        const int rows = table.RowCount(), cols = table.ColCount();
        const int op = Pick(0, 19);
        Name = names[op];
        switch (op) {
        case 0: t.InsertRowsAbove(Pick(1, 2)); return;
        case 1: t.InsertRowsBelow(Pick(1, 2)); return;
        case 2: t.InsertColsLeft(Pick(1, 2)); return;
        case 3: t.InsertColsRight(Pick(1, 2)); return;
        case 4: t.InsertRows(Pick(-1, rows + 1), Pick(0, 2), Pick(-2, rows), Pick(0, 1)); return;
        case 5: t.InsertCols(Pick(-1, cols + 1), Pick(0, 2), Pick(-2, cols), Pick(0, 1)); return;
        case 6: {
            int top = 0, left = 0, r = 0, c = 0;
            if (table.GetSelectionBounds(top, left, r, c) && r < rows) // the menu deletes the table
                t.DeleteSelectedRows();
            return;
        }
        case 7: {
            int top = 0, left = 0, r = 0, c = 0;
            if (table.GetSelectionBounds(top, left, r, c) && c < cols)
                t.DeleteSelectedCols();
            return;
        }
        case 8: {
            // Deleting every row (column) leaves nothing to edit: seldom.
            const int first = Pick(-1, rows), count = Pick(0, 2);
            if (first > 0 || count < rows || Pick(0, 4) == 0)
                t.DeleteRows(first, count, Pick(0, 1));
            return;
        }
        case 9: {
            const int first = Pick(-1, cols), count = Pick(0, 2);
            if (first > 0 || count < cols || Pick(0, 4) == 0)
                t.DeleteCols(first, count, Pick(0, 1));
            return;
        }
        case 10:
        case 11: t.MergeSelectedCells(Pick(0, 1)); return;
        case 12: t.UnmergeSelectedCells(Pick(0, 1), Pick(0, 1)); return;
        case 13: t.SplitSelectedCellsVertically(Pick(1, 4)); return;
        case 14: t.SplitSelectedCellsHorizontally(Pick(1, 4)); return;
        case 15: t.DeleteEmptyRows(); t.DeleteEmptyCols(); return;
        case 16: t.ClearSelectedCells(); return;
        case 17:
            t.SetCellIntProperty(Pick(0, rows), Pick(0, cols - 1), static_cast<TRVCellIntProperty>(Pick(0, 5)),
                                 Pick(-2, 4));
            return;
        case 18:
            t.SetTableIntProperty(static_cast<TRVTableIntProperty>(Pick(0, 24)), Pick(0, 5));
            return;
        default:
            t.MergeCells(Pick(0, rows - 1), Pick(0, cols - 1), Pick(0, 3), Pick(1, 3), Pick(0, 1));
            return;
        }
    }

    std::string Name;
    std::mt19937 Rng;
    TableDocument D;
};

TEST(TableEditingPropertyTest, RandomOperationsKeepTheGridAndUndoAndRedoExactly)
{
    const unsigned seeds = SeedCount(300);
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomTableEdits e(seed);
        TableDocument& d = e.D;
        std::vector<std::string> states{d.Rvf()};
        std::string log;
        for (int step = 0; step < 20 && d.Table->RowCount() > 0; ++step) {
            e.RandomSelection();
            const std::string before = d.Rvf();
            bool threw = false;
            const std::size_t records = d.Run([&](TRVTableChanges& t) {
                try {
                    e.Operate(t);
                } catch (const EDocViewError&) {
                    threw = true;
                }
            });
            log += e.Name + (threw ? " (refused)" : "") + "; ";
            ASSERT_TRUE(d.Table->CheckGrid()) << log;
            ExpectCellsAttached(*d.Table, d.Doc);
            int top = 0, left = 0, rows = 0, cols = 0;
            (void)d.Table->GetSelectionBounds(top, left, rows, cols);
            if (threw || records == 0) {
                ASSERT_EQ(d.Rvf(), before) << log << "an operation that recorded nothing changed something";
                ASSERT_EQ(records, 0u) << log;
                continue;
            }
            states.push_back(d.Rvf());
        }
        // Back to the start, group by group, and forward again.
        std::size_t at = states.size() - 1;
        while (!d.Undo.Empty()) {
            const bool empty = d.Undo.LastGroup()->Records.empty();
            d.UndoOnce();
            if (empty)
                continue;
            ASSERT_GT(at, 0u) << log;
            --at;
            ASSERT_EQ(d.Rvf(), states[at]) << log << "undo to state " << at;
        }
        ASSERT_EQ(at, 0u) << log;
        while (!d.Redo.Empty()) {
            const bool empty = d.Redo.LastGroup()->Records.empty();
            d.RedoOnce();
            if (empty)
                continue;
            ++at;
            ASSERT_EQ(d.Rvf(), states[at]) << log << "redo to state " << at;
        }
        ASSERT_EQ(at, states.size() - 1) << log;
        if (std::getenv("XQ_TABLE_LOG"))
            std::printf("%u: %zu states, %dx%d: %s\n", seed, states.size(), d.Table->RowCount(), d.Table->ColCount(), log.c_str());
    }
}

} // namespace
} // namespace xq::test

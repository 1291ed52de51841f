// Editing table cells in place: starting and ending a cell editor by keys and the mouse, moving
// between cells and out of the table, selecting cell rectangles, operations going on to the cell,
// and the undo step a cell's changes become.
#include <gtest/gtest.h>

#include <random>

#include "EditTestSupport.h"
#include "layout/LayoutTestSupport.h"
#include "platform/DocViewError.h"
#include "editing/TableEditing.h"
#include "editing/TableInplaceEdit.h"
#include "tables/TableLayout.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

/// "before" / a 2 x 3 table of named cells ("00" ... "12") / "after".
class CellEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        F.Text("before");
        auto table = NamedTable(2, 3, &F.Data);
        table->ParaNo = 0;
        Table = table.get();
        F.Data.AppendItem("", std::move(table));
        F.Text("after");
        F.Format();
    }

    /// A point inside the content of cell (row, col), main document coordinates.
    [[nodiscard]] TPoint CellPoint(int row, int col) const
    {
        const TRVTableLayoutState* state = TableLayoutIn(F.Data, *Table);
        TPoint at;
        std::int32_t width = 0;
        EXPECT_TRUE(state && CellContentPlace(*Table, *state, row, col, F.Data.DeviceScale(), -1, at, width));
        const TRVDrawLineInfo& d = F.Data.DrawItems()[F.Data.FirstLinePiece(1)];
        return {d.Left + at.X + 1, d.Top + at.Y + 1};
    }

    /// The cell being edited as "row,col", "none" when no cell is.
    [[nodiscard]] std::string Edited() const
    {
        auto* cell = dynamic_cast<TRVTableInplaceEdit*>(F.Edit.CellEditor());
        return cell ? std::to_string(cell->Row()) + "," + std::to_string(cell->Col()) : "none";
    }

    [[nodiscard]] std::string CellText(int row, int col) const { return ContentText(*Table->Cells(row, col)); }

    void Type(const std::u16string& text)
    {
        for (char16_t ch : text)
            F.Edit.KeyPress(ch);
    }

    EditFixture F{300, 400};
    TRVTableItemInfo* Table = nullptr;
};

TEST_F(CellEditing, AClickEditsTheCellAndTypingChangesTheCellItselfAndTheTableHeight)
{
    const int heightBefore = F.Data.DrawItems()[F.Data.FirstLinePiece(1)].Height;
    const TPoint p = CellPoint(1, 2);
    F.Click(p.X, p.Y);
    ASSERT_EQ(Edited(), "1,2");
    int row = -1, col = -1;
    Table->GetEditedCell(row, col);
    EXPECT_EQ(row * 10 + col, 12);
    // The caret is the cell's, drawn where the cell is.
    EXPECT_TRUE(F.Edit.CaretShown());
    EXPECT_GE(F.Edit.GetCaretRect().Top, F.Data.DrawItems()[F.Data.FirstLinePiece(1)].Top);

    F.Edit.KeyDown(rvkEnd, {});
    Type(u"xy");
    F.Edit.InsertEnter(false);
    Type(u"z");
    // The cell holds the text while it is edited: saving now sees it.
    EXPECT_EQ(CellText(1, 2), "12xy|z");
    EXPECT_NE(F.Rvf().find("12xy"), std::string::npos);
    EXPECT_TRUE(F.Edit.Modified());
    // The table grew by the new line, and the layout is the one a fresh one makes.
    EXPECT_EQ(F.Data.DrawItems()[F.Data.FirstLinePiece(1)].Height, heightBefore + 15);
    F.ExpectLayoutFresh();
    EXPECT_EQ(Edited(), "1,2");
}

TEST_F(CellEditing, TabMovesThroughTheCellsAndCtrlTabTypesATab)
{
    const TPoint p = CellPoint(0, 0);
    F.Click(p.X, p.Y);
    F.Key(rvkTab);
    EXPECT_EQ(Edited(), "0,1");
    F.Key(rvkTab);
    F.Key(rvkTab);
    EXPECT_EQ(Edited(), "1,0");
    EXPECT_EQ(PosText(F.Edit.InnermostEditor().CaretDocPos()), "0:1"); // at the start
    F.Key(rvkTab, {ssShift});
    EXPECT_EQ(Edited(), "0,2");
    EXPECT_EQ(PosText(F.Edit.InnermostEditor().CaretDocPos()), "0:3"); // at the end
    // Past the last cell nothing happens.
    F.Edit.EditCell(1, 1, 2);
    F.Key(rvkTab);
    EXPECT_EQ(Edited(), "1,2");

    F.Key(rvkTab, {ssCtrl});
    EXPECT_EQ(Table->Cells(1, 2)->Count(), 2); // a tab item before the text
    EXPECT_EQ(Table->Cells(1, 2)->StyleOf(0), rvsTab);
}

TEST_F(CellEditing, ArrowsLeaveTheCellForItsNeighbourOrTheTable)
{
    F.Edit.EditCell(1, 0, 1);
    F.Key(rvkEnd);
    F.Key(rvkRight);
    EXPECT_EQ(Edited(), "0,2");
    EXPECT_EQ(PosText(F.Edit.InnermostEditor().CaretDocPos()), "0:1");
    F.Key(rvkLeft);
    EXPECT_EQ(Edited(), "0,1");
    EXPECT_EQ(PosText(F.Edit.InnermostEditor().CaretDocPos()), "0:3");
    F.Key(rvkDown);
    EXPECT_EQ(Edited(), "1,1");
    F.Key(rvkUp);
    EXPECT_EQ(Edited(), "0,1");

    // Up out of the first row: before the table; down out of the last: after it.
    F.Key(rvkUp);
    EXPECT_EQ(Edited(), "none");
    EXPECT_EQ(PosText(F.Data.CaretDocPos()), "1:0");
    F.Edit.EditCell(1, 1, 2);
    F.Key(rvkEnd);
    F.Key(rvkRight);
    EXPECT_EQ(Edited(), "none");
    EXPECT_EQ(PosText(F.Data.CaretDocPos()), "1:1");

    // An arrow onto the table enters it: its first cell from before, its last from after.
    F.Edit.SetCaretDocPos({0, 7});
    F.Key(rvkRight);
    EXPECT_EQ(Edited(), "0,0");
    F.Edit.EndCellEdit();
    F.Edit.SetCaretDocPos({2, 1});
    F.Key(rvkLeft);
    EXPECT_EQ(Edited(), "1,2");
    EXPECT_EQ(PosText(F.Edit.InnermostEditor().CaretDocPos()), "0:3");
}

TEST_F(CellEditing, ShiftWithArrowsAndTheMouseSelectCellRectangles)
{
    F.Edit.EditCell(1, 0, 0);
    F.Key(rvkEnd);
    F.Key(rvkRight, {ssShift});
    EXPECT_EQ(Edited(), "none");
    int top = 0, left = 0, rows = 0, cols = 0;
    ASSERT_TRUE(Table->GetSelectionBounds(top, left, rows, cols));
    EXPECT_EQ(std::vector<int>({top, left, rows, cols}), std::vector<int>({0, 0, 1, 2}));
    F.Key(rvkDown, {ssShift});
    ASSERT_TRUE(Table->GetSelectionBounds(top, left, rows, cols));
    EXPECT_EQ(std::vector<int>({top, left, rows, cols}), std::vector<int>({0, 0, 2, 2}));
    EXPECT_TRUE(Table->IsCellSelected(1, 1));
    EXPECT_FALSE(F.Edit.CaretShown());
    // An arrow alone ends the cell selection and edits the cell at its moving corner.
    F.Key(rvkRight);
    EXPECT_FALSE(Table->HasCellRectangle());
    EXPECT_EQ(Edited(), "1,1");

    // A drag from one cell into another selects the cells between.
    const TPoint from = CellPoint(0, 2), to = CellPoint(1, 1);
    F.Edit.MouseDown(mbLeft, {}, from.X, from.Y);
    EXPECT_EQ(Edited(), "0,2");
    F.Edit.MouseMove({}, to.X, to.Y);
    F.Edit.MouseUp(mbLeft, {}, to.X, to.Y);
    EXPECT_EQ(Edited(), "none");
    ASSERT_TRUE(Table->GetSelectionBounds(top, left, rows, cols));
    EXPECT_EQ(std::vector<int>({top, left, rows, cols}), std::vector<int>({0, 1, 2, 2}));
    // A click elsewhere takes the selection away.
    F.Click(1, 1);
    EXPECT_FALSE(Table->HasCellRectangle());
}

TEST_F(CellEditing, OperationsOfTheEditorGoOnToTheCell)
{
    const int bold = F.AddTextStyle();
    F.Sheet.TextStyles[bold].Style.Include(fsBold);
    F.Edit.EditCell(1, 0, 1);
    F.Edit.SelectAll();
    EXPECT_TRUE(F.Edit.SelectionExists());
    F.Edit.SetTextStyleOfSelection(bold);
    EXPECT_EQ(Table->Cells(0, 1)->StyleOf(0), bold);
    EXPECT_EQ(F.Edit.CurrentTextStyle(), bold);
    F.Edit.InsertTextAtCaret("neu");
    EXPECT_EQ(CellText(0, 1), "neu");
    // A cell starts no page.
    int beeps = 0;
    F.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    const std::string before = F.Rvf();
    F.Edit.InsertPageBreakAtCaret();
    F.Edit.RemovePageBreakAtCaret();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(F.Rvf(), before);
    // The table at the caret is found from inside its cell.
    TCustomDocViewEdit* holder = nullptr;
    EXPECT_EQ(F.Edit.GetCurrentItemEx<TRVTableItemInfo>(&holder), Table);
    EXPECT_EQ(holder, &F.Edit);
}

TEST_F(CellEditing, ACellsChangesAreUndoneInTheCellAndThenAsOneStep)
{
    const std::string original = F.Rvf();
    F.Edit.EditCell(1, 1, 1);
    F.Key(rvkEnd);
    Type(u"ab");
    F.Key(rvkTab);
    Type(u"c");
    EXPECT_EQ(CellText(1, 1), "11ab");
    EXPECT_EQ(CellText(1, 2), "c12"); // Tab puts the caret at the cell's start
    const std::string typed = F.Rvf();

    // Inside a cell Undo takes back the cell's own characters, one by one.
    ASSERT_EQ(F.Edit.UndoAction(), rvutTyping);
    F.Edit.Undo();
    EXPECT_EQ(CellText(1, 2), "12");
    EXPECT_EQ(Edited(), "1,2");
    // With nothing left in this cell, editing ends and the step of the cell before is undone whole.
    F.Edit.Undo();
    EXPECT_EQ(Edited(), "none");
    EXPECT_EQ(F.Rvf(), original);
    F.ExpectLayoutFresh();
    EXPECT_EQ(F.Edit.UndoAction(), rvutNone);

    F.Edit.Redo();
    EXPECT_EQ(CellText(1, 1), "11ab");
    F.ExpectLayoutFresh();
    // Ending the cell editor records its step; Undo and Redo run it whole.
    F.Edit.EditCell(1, 0, 0);
    Type(u"q");
    F.Edit.EndCellEdit();
    EXPECT_EQ(F.Edit.UndoAction(), rvutModifyItem);
    const std::string last = F.Rvf();
    F.Edit.Undo();
    EXPECT_EQ(CellText(0, 0), "00");
    F.Edit.Redo();
    EXPECT_EQ(F.Rvf(), last);
    F.ExpectLayoutFresh();
}

TEST_F(CellEditing, WithoutUndoRecordsNothingIsRecordedAndClearingEndsEditing)
{
    F.Edit.SetUndoLimit(0);
    F.Edit.EditCell(1, 0, 0);
    Type(u"x");
    F.Edit.EndCellEdit();
    EXPECT_EQ(F.Edit.UndoAction(), rvutNone);
    EXPECT_EQ(CellText(0, 0), "x00");

    F.Edit.EditCell(1, 0, 0);
    F.Edit.Clear();
    EXPECT_EQ(F.Edit.CellEditor(), nullptr);
    EXPECT_EQ(F.Data.Count(), 0);
}

TEST_F(CellEditing, TableChangesAreOneStepEachAndEditingGoesOnWhereTheyLeaveIt)
{
    const std::string original = F.Rvf();
    F.Edit.EditCell(1, 0, 1);
    Type(u"x");
    const std::string typed = F.Rvf();
    // The cell's typing is a step of its own before the change.
    ASSERT_TRUE(F.Edit.ModifyTable(1, [](TRVTableChanges& t) { return t.InsertRowsBelow(1); }));
    EXPECT_EQ(Table->RowCount(), 3);
    EXPECT_TRUE(Table->HasCellRectangle()); // the new row is selected
    F.ExpectOneStep(typed, rvutModifyItem);
    F.Edit.Undo();
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), original);
    F.Edit.Redo();
    EXPECT_EQ(F.Rvf(), typed);

    // Deleting the edited cell's row goes on editing in the row that takes its place.
    F.Edit.EditCell(1, 0, 2);
    ASSERT_TRUE(F.Edit.ModifyTable(1, [](TRVTableChanges& t) { return t.DeleteSelectedRows(); }));
    EXPECT_EQ(Table->RowCount(), 1);
    EXPECT_EQ(Edited(), "0,2");
    EXPECT_EQ(CellText(0, 2), "12");
    F.ExpectOneStep(typed, rvutModifyItem);

    // A refused change beeps, changes nothing and leaves no step.
    int beeps = 0;
    F.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    const std::string now = F.Rvf();
    const TRVUndoType last = F.Edit.UndoAction();
    EXPECT_FALSE(F.Edit.ModifyTable(1, [](TRVTableChanges& t) { return t.MergeSelectedCells(true); }));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(F.Rvf(), now);
    EXPECT_EQ(F.Edit.UndoAction(), last);
    // So does a change outside the table, which throws.
    EXPECT_THROW(F.Edit.ModifyTable(1, [](TRVTableChanges& t) { t.DeleteRows(7, 1, false); return true; }),
                 EDocViewError);
    EXPECT_EQ(F.Rvf(), now);
}

TEST_F(CellEditing, RandomCellEditingAndTableChangesKeepTheGridTheLayoutAndTheUndoExact)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        EditFixture f{260, 400};
        f.Text("before");
        auto made = NamedTable(pick(1, 4), pick(1, 4), &f.Data);
        made->ParaNo = 0;
        TRVTableItemInfo& table = *made;
        f.Data.AppendItem("", std::move(made));
        f.Text("after");
        f.Format();
        const std::string original = f.Rvf();
        std::string log;
        for (int step = 0; step < 40; ++step) {
            const int rows = table.RowCount(), cols = table.ColCount();
            if (rows == 0)
                break;
            std::string what;
            const int action = pick(0, 9);
            // The keys act in a cell (an arrow may leave the table; the next key comes back).
            if (action < 6 && !f.Edit.CellEditor())
                f.Edit.EditCell(1, pick(0, rows - 1), pick(0, cols - 1));
            switch (action) {
            case 0: case 1: {
                what = "type";
                f.Edit.KeyPress(char16_t(u'a' + pick(0, 25)));
                break;
            }
            case 2: what = "enter"; f.Edit.InsertEnter(false); break;
            case 3: what = "tab"; f.Key(rvkTab, pick(0, 1) ? TShiftState{ssShift} : TShiftState{}); break;
            case 4: {
                static const TRVKey arrows[] = {rvkLeft, rvkRight, rvkUp, rvkDown};
                what = "arrow";
                f.Key(arrows[pick(0, 3)], pick(0, 3) == 0 ? TShiftState{ssShift} : TShiftState{});
                break;
            }
            case 5: what = "backspace"; f.Edit.DeleteBackward(false); break;
            default: {
                // A rectangle (or the edited cell) and a change of the table.
                if (pick(0, 1)) {
                    f.Edit.EndCellEdit();
                    const int r = pick(0, rows - 1), c = pick(0, cols - 1);
                    table.Select(r, c, pick(0, rows - 1) - r, pick(0, cols - 1) - c);
                } else {
                    f.Edit.EditCell(1, pick(0, rows - 1), pick(0, cols - 1));
                }
                const int op = pick(0, 7);
                what = "table op " + std::to_string(op);
                f.Edit.ModifyTable(1, [&](TRVTableChanges& t) {
                    switch (op) {
                    case 0: return t.InsertRowsAbove(1);
                    case 1: return t.InsertColsRight(1);
                    case 2: return rows > 1 && t.DeleteSelectedRows();
                    case 3: return cols > 1 && t.DeleteSelectedCols();
                    case 4: {
                        const bool merged = t.MergeSelectedCells(true);
                        t.DeleteEmptyRows();
                        t.DeleteEmptyCols();
                        return merged;
                    }
                    case 5: return t.UnmergeSelectedCells(true, true);
                    case 6: return t.SplitSelectedCellsVertically(pick(2, 3)) >= 0;
                    default: return t.SplitSelectedCellsHorizontally(pick(2, 3)) >= 0;
                    }
                });
                break;
            }
            }
            log += what + "; ";
            const std::string context = "seed " + std::to_string(seed) + ": " + log;
            ASSERT_TRUE(table.CheckGrid()) << context;
            ASSERT_EQ(f.Data.ItemAt(1).StyleNo, rvsTable) << context;
            const std::string partial = DrawDump(f.Data);
            f.Edit.Format();
            ASSERT_EQ(partial, DrawDump(f.Data)) << context;
        }
        f.Edit.EndCellEdit();
        const std::string final = f.Rvf();
        for (int undone = 0; f.Edit.CanUndo(); ++undone) {
            ASSERT_LT(undone, 10000);
            f.Edit.Undo();
            ASSERT_TRUE(table.CheckGrid());
        }
        ASSERT_EQ(f.Rvf(), original) << "seed " << seed << ": " << log;
        while (f.Edit.CanRedo())
            f.Edit.Redo();
        ASSERT_EQ(f.Rvf(), final) << "seed " << seed << ": " << log;
        const std::string partial = DrawDump(f.Data);
        f.Edit.Format();
        ASSERT_EQ(partial, DrawDump(f.Data)) << "seed " << seed;
    }
}

TEST_F(CellEditing, AHandlerToldOfTheCellsChangeCannotEndItsEditor)
{
    F.Edit.EditCell(1, 0, 0);
    bool refused = false;
    F.Edit.OnChange = [&](TCustomDocViewEdit& sender) {
        try {
            sender.EndCellEdit();
        } catch (const ERVTableInplaceError& e) {
            refused = std::string(e.what()) == errInplaceBusy;
        }
    };
    Type(u"k");
    EXPECT_TRUE(refused);
    EXPECT_EQ(Edited(), "0,0");
    EXPECT_EQ(CellText(0, 0), "k00");
}

TEST_F(CellEditing, DeleteEmptiesSelectedCellsAndTypingGoesIntoTheFirst)
{
    F.Edit.EditCell(1, 0, 1);
    F.Key(rvkEnd);
    F.Key(rvkRight, {ssShift});
    F.Key(rvkDown, {ssShift});
    const std::string before = F.Rvf();
    F.Key(rvkDelete);
    // The table stays, the four cells are empty and still selected.
    ASSERT_EQ(F.Data.Count(), 3);
    EXPECT_EQ(CellText(0, 1) + CellText(0, 2) + CellText(1, 1) + CellText(1, 2), "");
    EXPECT_EQ(CellText(0, 0), "00");
    EXPECT_TRUE(Table->HasCellRectangle());
    F.ExpectOneStep(before, rvutModifyItem);
    F.Edit.KeyPress(u'Q');
    EXPECT_EQ(Edited(), "0,1");
    EXPECT_EQ(CellText(0, 1), "Q");
    EXPECT_FALSE(Table->HasCellRectangle());
}

TEST(BorrowedContent, AContainerShowsAnothersItemsUntilEitherGoes)
{
    TCustomRVData owner;
    owner.AppendText("a", 0, 0);
    {
        TCustomRVData borrower;
        borrower.AppendText("mine", 0, 0);
        borrower.BorrowContentOf(&owner);
        EXPECT_EQ(ContentText(borrower), "a");
        borrower.AppendText("b", 0, 0);
        EXPECT_EQ(ContentText(owner), "a|b");
        EXPECT_EQ(&borrower.ContentOwner(), &owner);
        borrower.BorrowContentOf(nullptr);
        EXPECT_EQ(ContentText(borrower), "mine");
        borrower.BorrowContentOf(&owner);
    } // the borrower goes: the owner keeps its items
    EXPECT_EQ(ContentText(owner), "a|b");
    auto lender = std::make_unique<TCustomRVData>();
    lender->AppendText("x", 0, 0);
    TCustomRVData borrower;
    borrower.BorrowContentOf(lender.get());
    lender.reset(); // the lender goes: the borrower has its own content again
    EXPECT_EQ(borrower.Count(), 0);
}

} // namespace
} // namespace xq::test

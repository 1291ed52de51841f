// Table editing with undo recording on: inserting a row into and deleting a row from a table of
// 200 rows, and merging a block of 10 x 10 cells. Each change is taken back, untimed, before the
// next one.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "document/RVStyle.h"
#include "editing/TableEditing.h"
#include "tables/TableItem.h"

namespace {

using namespace xq;

struct TEditedTable {
    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVUndoList Undo{Doc};
    TRVRedoList Redo{Doc};

    TEditedTable(int rows, int cols)
    {
        SetupMainWindowStyleSheet(Sheet);
        Doc.AppendText("Vor der Tabelle", 0, 0);
        auto table = std::make_unique<TRVTableItemInfo>(rows, cols, &Doc);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                TRVTableCellData& cell = *table->Cells(r, c);
                cell.Clear();
                cell.AppendText("Zelle " + std::to_string(r) + "/" + std::to_string(c), 0, 0);
                cell.BestWidth = 40;
            }
        table->ParaNo = 0;
        Doc.AppendItem("TAB", std::move(table));
    }

    TRVTableItemInfo& Table() { return static_cast<TRVTableItemInfo&>(Doc.ItemAt(1)); }

    TRVTableChanges Begin()
    {
        Undo.BeginUndoGroup(rvutModifyItem, {}, 0, 0);
        return TRVTableChanges(Doc, 1, &Undo);
    }

    void TakeBack()
    {
        int item = 0, offs = 0;
        Undo.Execute(Redo, 0, 0, item, offs);
        Undo.Clear();
        Redo.Clear();
    }
};

void BM_TableInsertRow(benchmark::State& state)
{
    TEditedTable t(200, 5);
    for (auto _ : state) {
        TRVTableChanges changes = t.Begin();
        changes.InsertRows(100, 1, 99, false);
        state.PauseTiming();
        t.TakeBack();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableInsertRow)->Unit(benchmark::kMicrosecond);

void BM_TableDeleteRow(benchmark::State& state)
{
    TEditedTable t(200, 5);
    for (auto _ : state) {
        TRVTableChanges changes = t.Begin();
        changes.DeleteRows(100, 1, false);
        state.PauseTiming();
        t.TakeBack();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableDeleteRow)->Unit(benchmark::kMicrosecond);

void BM_TableMerge10x10(benchmark::State& state)
{
    TEditedTable t(200, 12);
    for (auto _ : state) {
        TRVTableChanges changes = t.Begin();
        if (!changes.MergeCells(50, 1, 10, 10, false))
            state.SkipWithError("the merge was refused");
        state.PauseTiming();
        t.TakeBack();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableMerge10x10)->Unit(benchmark::kMicrosecond);

} // namespace

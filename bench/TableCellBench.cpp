// Table editing in the editor with real fonts: keystrokes in a cell of a document of 500 tables
// (each timed on its own, so that the worst one shows), and inserting and deleting a row of a
// 200-row table and merging a block of 10 x 10 cells through the editor, each one undo step with
// the table laid out again.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableEditing.h"
#include "tables/TableItem.h"
#include "platform/qt/QtCanvas.h"

namespace {

using namespace xq;

constexpr int kTextWidth = 600;
constexpr int kDpi = 96;

/// The main window's editor on tables tables of rows x cols cells, a paragraph before each.
struct TTableDocument {
    TRVStyle Sheet;
    TQtCanvas Canvas{kDpi, kDpi};
    TDocViewEdit Edit{&Sheet};
    TRVEditRVData& Data = Edit.RVData();

    TTableDocument(int tables, int rows, int cols)
    {
        RegisterTableItemKind();
        SetupMainWindowStyleSheet(Sheet);
        for (int t = 0; t < tables; ++t) {
            Data.AppendText("Aufstellung der Kosten " + std::to_string(t + 1) + ":", 0, 0);
            auto table = NewInsertedTable(cols, rows, false, 0, &Data);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c) {
                    TRVTableCellData& cell = *table->Cells(r, c);
                    cell.Clear();
                    cell.AppendText("Posten " + std::to_string(r + 1) + "/" + std::to_string(c + 1), 0, 0);
                }
            table->ParaNo = 0;
            Data.AppendItem("TAB", std::move(table));
        }
        Data.AppendText("Ende.", 0, 0);
        Data.MinTextWidth = Data.MaxTextWidth = kTextWidth;
        Data.ClientWidth = kTextWidth + 15;
        Data.ClientHeight = 800;
        Data.SetFormatCanvas(&Canvas);
        Edit.Format();
    }

    /// The item index of table t.
    [[nodiscard]] static int TableItem(int t) { return 2 * t + 1; }
};

void BM_TypeInCellOf500Tables(benchmark::State& state)
{
    constexpr int kKeystrokes = 1000;
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TTableDocument doc(500, 3, 3);
        doc.Edit.EditCell(TTableDocument::TableItem(250), 1, 1, true);
        state.ResumeTiming();
        double total = 0;
        for (int k = 0; k < kKeystrokes; ++k) {
            const auto start = std::chrono::steady_clock::now();
            doc.Edit.KeyPress(k % 12 == 11 ? u' ' : char16_t(u'a' + k % 26));
            const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            total += us;
            worst = std::max(worst, us);
        }
        state.SetIterationTime(total / 1e6 / kKeystrokes);
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_TypeInCellOf500Tables)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(3);

void BM_EditorInsertAndDeleteRowOf200(benchmark::State& state)
{
    TTableDocument doc(1, 200, 5);
    const int item = TTableDocument::TableItem(0);
    for (auto _ : state) {
        doc.Edit.EditCell(item, 100, 2);
        const bool inserted = doc.Edit.ModifyTable(item, [](TRVTableChanges& t) { return t.InsertRowsBelow(1); });
        doc.Edit.EditCell(item, 101, 2);
        const bool deleted = doc.Edit.ModifyTable(item, [](TRVTableChanges& t) { return t.DeleteSelectedRows(); });
        state.PauseTiming();
        if (!inserted || !deleted) {
            state.SkipWithError("the row was not inserted and deleted");
            break;
        }
        doc.Edit.EndCellEdit();
        doc.Edit.ClearUndoHistory();
        state.ResumeTiming();
    }
    state.SetLabel("insert + delete, each one undo step");
}
BENCHMARK(BM_EditorInsertAndDeleteRowOf200)->Unit(benchmark::kMillisecond);

void BM_EditorMerge10x10(benchmark::State& state)
{
    TTableDocument doc(1, 20, 12);
    const int item = TTableDocument::TableItem(0);
    auto& table = static_cast<TRVTableItemInfo&>(doc.Data.ItemAt(item));
    for (auto _ : state) {
        table.Select(5, 1, 9, 9);
        const bool merged = doc.Edit.ModifyTable(item, [](TRVTableChanges& t) { return t.MergeSelectedCells(true); });
        state.PauseTiming();
        if (!merged) {
            state.SkipWithError("the cells were not merged");
            break;
        }
        doc.Edit.Undo();
        doc.Edit.ClearUndoHistory();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorMerge10x10)->Unit(benchmark::kMillisecond);

} // namespace

// Table layout with real fonts: a document of 500 tables of 10 rows by 5 columns and a table
// nested five levels deep, formatted whole, and the reformat after typing in one cell, which
// lays out that table again but not the others.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "document/RVStyle.h"
#include "lists/ListItems.h"
#include "layout/FormattedData.h"
#include "layout/ReformatRange.h"
#include "platform/qt/QtCanvas.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"

namespace {

using namespace xq;

constexpr int kTables = 500;

/// A table whose cells hold a short paragraph each; with depth > 0, cell (0, 0) holds another
/// such table.
std::unique_ptr<TRVTableItemInfo> MakeTable(int rows, int cols, TCustomRVData* owner, int depth)
{
    auto table = std::make_unique<TRVTableItemInfo>(rows, cols, owner);
    table->BestWidth = -100;
    table->BorderWidth = 1;
    table->CellBorderWidth = 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            TRVTableCellData& cell = *table->Cells(r, c);
            cell.Clear();
            std::string text = "Zelle ";
            text += std::to_string(r);
            text += '/';
            text += std::to_string(c);
            text += " mit kurzem Text";
            cell.AppendText(text, 0, 0);
            if (depth > 0 && r == 0 && c == 0)
                cell.AppendItem("", MakeTable(2, 2, &cell, depth - 1));
        }
    return table;
}

struct TTableDocument {
    TRVStyle Sheet;
    TQtCanvas Canvas{96, 96};
    TCustomRVFormattedData Doc{&Sheet};

    TTableDocument()
    {
        RegisterListItemKinds();
        RegisterTableItemKind();
        SetupMainWindowStyleSheet(Sheet);
        Doc.LeftMargin = Doc.RightMargin = Doc.TopMargin = Doc.BottomMargin = 0;
        Doc.MinTextWidth = Doc.MaxTextWidth = 600;
        Doc.SetFormatCanvas(&Canvas);
        for (int t = 0; t < kTables; ++t) {
            std::string caption = "Tabelle ";
            caption += std::to_string(t + 1);
            Doc.AppendText(caption, 0, 0);
            Doc.AppendItem("", MakeTable(10, 5, &Doc, t == kTables / 2 ? 5 : 0));
        }
        Doc.AppendText("Ende", 0, 0);
    }
};

void BM_FormatAll_Tables(benchmark::State& state)
{
    TTableDocument d;
    for (auto _ : state) {
        d.Doc.FormatAll(false, true);
        benchmark::DoNotOptimize(d.Doc.TotalHeight());
    }
    state.counters["tables"] = kTables;
}
BENCHMARK(BM_FormatAll_Tables)->Unit(benchmark::kMillisecond)->Iterations(5);

/// Typing a character into a cell of the middle table: the cell's paragraphs are reformatted,
/// the table is laid out again, and the document reformats the table's paragraph with one
/// paragraph of context on each side, whose tables keep their layouts.
void BM_ReformatCell_Tables(benchmark::State& state)
{
    TTableDocument d;
    d.Doc.FormatAll(false, true);
    const int tableItem = 2 * (kTables / 2) + 3; // the table after the middle one
    auto& table = static_cast<TRVTableItemInfo&>(d.Doc.ItemAt(tableItem));
    TRVTableCellData& cell = *table.Cells(5, 2);
    const std::string original = cell.TextAt(0);
    const int height = d.Doc.TotalHeight();
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        int first = 0, last = 0;
        TRVTableLayoutState& layout = *TableLayoutIn(d.Doc, table);
        TRVContainerLayout& cellLayout = layout.FindCell(&cell)->Layout;
        GetReformatRange(cell, cellLayout.DrawItems(), 0, 0, first, last);
        cell.SetText(0, longer ? original + "x" : original);
        cellLayout.ReformatRange(first, last, 0);
        layout.Layout.AvailableWidth = -1; // its cell changed
        const int piece = d.Doc.FirstLinePiece(tableItem);
        GetReformatRange(d.Doc, d.Doc.DrawItems(), piece, piece, first, last);
        d.Doc.ReformatRange(first, last, 0);
    }
    if (d.Doc.TotalHeight() != height)
        throw std::runtime_error("the document changed its height after typing and deleting");
}
BENCHMARK(BM_ReformatCell_Tables)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

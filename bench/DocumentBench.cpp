// Benchmarks of the document model: building, normalising and purging large documents.
#include <benchmark/benchmark.h>

#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"

namespace {

using namespace xq;

// A document of n paragraphs, each split into three text pieces the way a reader leaves them.
void FillDocument(TCustomRVData& doc, int paragraphs)
{
    for (int p = 0; p < paragraphs; ++p) {
        doc.AppendText("Sehr geehrte Damen und Herren, ", 0, p % 4);
        doc.AppendText("wir bestätigen den Eingang ", 0, -1);
        doc.AppendText("Ihres Schreibens.", p % 3, -1);
    }
}

void BM_AppendText(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    for (auto _ : state) {
        TCustomRVData doc(&sheet);
        FillDocument(doc, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(doc.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 3);
}
BENCHMARK(BM_AppendText)->Arg(10000)->Arg(100000);

void BM_NormalizeDocument(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    for (auto _ : state) {
        state.PauseTiming();
        TCustomRVData doc(&sheet);
        FillDocument(doc, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        NormalizeDocument(doc);
        benchmark::DoNotOptimize(doc.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 3);
}
BENCHMARK(BM_NormalizeDocument)->Arg(10000)->Arg(100000);

} // namespace

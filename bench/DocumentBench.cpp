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

#include "document/StylePurge.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"

namespace {

// A document whose paragraphs are all items of one numbered list on two levels.
void BM_AppendNumberedParagraphs(benchmark::State& state)
{
    RegisterListItemKinds();
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TRVListInfo& list = sheet.ListStyles.Add();
    for (int level = 0; level < 2; ++level) {
        TRVListLevel& l = list.Levels.Add();
        l.ListType = rvlstDecimal;
        l.FormatString = "%0:s.%1:s.";
    }
    for (auto _ : state) {
        TCustomRVData doc(&sheet);
        for (int p = 0; p < state.range(0); ++p) {
            auto marker = std::make_unique<TRVMarkerItemInfo>(0, p % 5 == 0 ? 0 : 1);
            marker->ParaNo = 0;
            doc.AppendItem({}, std::move(marker));
            doc.AppendText("Punkt der Aufz\xE4hlung", 0, -1);
        }
        benchmark::DoNotOptimize(doc.Markers().back()->DisplayText);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendNumberedParagraphs)->Arg(10000)->Arg(50000);

void BM_PurgeStyles(benchmark::State& state)
{
    TRVStyle sheet;
    for (auto _ : state) {
        state.PauseTiming();
        SetupMainWindowStyleSheet(sheet);
        for (int s = 0; s < 500; ++s) {
            TFontInfo& f = sheet.TextStyles.Add();
            f.Size = 8 + s;
            f.Standard = false;
        }
        TCustomRVData doc(&sheet);
        for (int p = 0; p < state.range(0); ++p)
            doc.AppendText("Text", 7 + p % 500, p % 6);
        state.ResumeTiming();
        PurgeStyles(sheet, doc, true, true, true);
        benchmark::DoNotOptimize(sheet.TextStyles.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PurgeStyles)->Arg(100000);

} // namespace

// Editing benchmarks with real fonts: keystrokes in the middle paragraph of the German document
// (typing, Enter, Backspace), each through the editor's operation with its undo record, the
// reformat and the area to repaint, at 2,000 and 20,000 paragraphs; and Undo and Redo of a pasted
// 1,000-paragraph fragment. Each keystroke is timed on its own, so that the worst one shows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "EditDocument.h"
#include "GermanDocument.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "formats/rvf/RvfWriter.h"
#include "platform/qt/QtCanvas.h"

namespace {

using namespace xq;
using namespace xq::bench;

constexpr int kKeystrokes = 1000;

/// Runs kKeystrokes of key on a fresh document; the benchmark's time is the mean keystroke, the
/// counter worst_us the slowest one.
template <typename Key>
void Keystrokes(benchmark::State& state, Key key)
{
    const int paragraphs = static_cast<int>(state.range(0));
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEditDocument doc(paragraphs);
        state.ResumeTiming();
        double total = 0;
        for (int k = 0; k < kKeystrokes; ++k) {
            const auto start = std::chrono::steady_clock::now();
            key(doc);
            benchmark::DoNotOptimize(doc.Data.InvalidRect());
            const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
            total += took.count();
            worst = std::max(worst, took.count());
        }
        state.SetIterationTime(total / kKeystrokes / 1e6);
        state.PauseTiming();
        if (!doc.Edit.CanUndo())
            state.SkipWithError("the keystrokes changed nothing");
        state.ResumeTiming();
    }
    state.counters["worst_us"] = worst;
}

void BM_TypeCharacter(benchmark::State& state)
{
    Keystrokes(state, [](TEditDocument& doc) { doc.Edit.KeyPress(u'e'); });
}
BENCHMARK(BM_TypeCharacter)->Arg(2000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(3);

void BM_Enter(benchmark::State& state)
{
    Keystrokes(state, [](TEditDocument& doc) { doc.Edit.KeyDown(rvkReturn, {}); });
}
BENCHMARK(BM_Enter)->Arg(2000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(3);

/// Backspace from the middle of the middle paragraph: characters, and every few hundred
/// keystrokes a join with the paragraph before.
void BM_Backspace(benchmark::State& state)
{
    Keystrokes(state, [](TEditDocument& doc) { doc.Edit.KeyDown(rvkBackspace, {}); });
}
BENCHMARK(BM_Backspace)->Arg(2000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(3);

/// A 1,000-paragraph fragment pasted into the middle of the 20,000-paragraph document; the
/// benchmark's time is the paste, counters give its Undo and Redo.
void BM_PasteUndoRedo1000Paragraphs(benchmark::State& state)
{
    std::string fragment;
    {
        TEditDocument source(1000, 0);
        TRVFWriter(source.Sheet, RVFMainWindowOptions).WriteDocument(source.Data, nullptr, fragment);
    }
    double undo = 0, redo = 0;
    int rounds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEditDocument doc(kParagraphs);
        const std::int32_t height = doc.Data.TotalHeight();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        if (!doc.Edit.InsertDocumentFromStream(fragment))
            state.SkipWithError("the fragment was not inserted");
        const auto pasted = std::chrono::steady_clock::now();
        doc.Edit.Undo();
        const auto undone = std::chrono::steady_clock::now();
        doc.Edit.Redo();
        const auto redone = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(pasted - start).count());
        undo += std::chrono::duration<double, std::milli>(undone - pasted).count();
        redo += std::chrono::duration<double, std::milli>(redone - undone).count();
        ++rounds;
        state.PauseTiming();
        if (doc.Data.TotalHeight() <= height)
            state.SkipWithError("the redone paste is not in the document");
        state.ResumeTiming();
    }
    state.counters["undo_ms"] = undo / rounds;
    state.counters["redo_ms"] = redo / rounds;
}
BENCHMARK(BM_PasteUndoRedo1000Paragraphs)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

/// A word that occurs once, in the document's last paragraph, found from its start: the whole
/// German document (over 900 pages) is searched.
void BM_SearchWordOnTheLastPage(benchmark::State& state)
{
    TEditDocument doc(kParagraphs);
    doc.Data.AppendTextW(u"Zum Schluss die Xylophonstimmung.", 0, 0);
    doc.Edit.Format();
    const int last = doc.Data.Count() - 1;
    for (auto _ : state) {
        doc.Edit.SetCaretDocPos({0, 1});
        if (!doc.Edit.SearchText(u"xylophonstimmung", {SearchDown, SearchWholeWord}))
            state.SkipWithError("not found");
    }
    TRVDocPos first, end;
    if (!doc.Data.GetOrderedSelectionDoc(first, end) || first.ItemNo != last)
        state.SkipWithError("found in the wrong place");
}
BENCHMARK(BM_SearchWordOnTheLastPage)->Unit(benchmark::kMillisecond)->Iterations(10);

/// Replace all of a word that occurs 10,000 times (once in every second paragraph of the German
/// document), with the layout; the counter gives the one Undo of the run.
void BM_ReplaceAll10000(benchmark::State& state)
{
    double undo = 0;
    int replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEditDocument doc(kParagraphs);
        // The word goes in front of every second paragraph, as a run of its own.
        std::vector<int> starts;
        for (int item = 0; item < doc.Data.Count(); ++item)
            if (doc.Data.StartsParagraph(item))
                starts.push_back(item);
        int added = 0;
        for (std::size_t p = starts.size(); p-- > 0;)
            if (p % 2 == 0 && added < 10000) {
                const int item = starts[p];
                doc.Data.ItemAt(item).SetItemOptions(std::uint8_t(doc.Data.ItemAt(item).ItemOptions() |
                                                                  TCustomRVItemInfo::rvioContinuesPara));
                std::vector<TRVItemEntry> word;
                TCustomRVData scratch(&doc.Sheet);
                scratch.AppendTextW(u"Zielwort ", 0, doc.Data.ItemAt(item).ParaNo);
                doc.Data.InsertItems(item, scratch.ExtractItems(0, 1));
                ++added;
            }
        doc.Edit.Format();
        doc.Edit.SetCaretDocPos({0, 1});
        state.ResumeTiming();
        replaced = doc.Edit.ReplaceAll(u"Zielwort", u"Ergebnis", {SearchDown, SearchMatchCase, SearchWholeWord});
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        doc.Edit.Undo();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        undo = took.count();
        if (replaced != added || doc.Edit.CanUndo() != false)
            state.SkipWithError("not every occurrence was replaced in one step");
        state.ResumeTiming();
    }
    state.counters["replaced"] = replaced;
    state.counters["undo_ms"] = undo;
}
BENCHMARK(BM_ReplaceAll10000)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

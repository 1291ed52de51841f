// Spelling while typing on the German document of 20,000 paragraphs (over 900 pages), with real fonts:
// keystrokes while the check runs, each timed with what the window does on its thread around a
// keystroke - the edit, telling the check of it, one reading step and taking the answers that came
// back - with a speller that answers at once and one that takes 200 ms for every word; and the whole
// document checked by the real ispell with its German dictionary.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <unistd.h>

#include "EditDocument.h"
#include "spelling/LiveSpelling.h"
#include "spelling/RVXQSpell.h"
#include "spelling/SpellChecker.h"

namespace {

using namespace xq;
using namespace xq::bench;
namespace fs = std::filesystem;

constexpr int kKeystrokes = 1000;
/// The window's step: about a millisecond of reading.
constexpr int kStepBudget = 2000;

/// Live spelling on the document's editor, with the window's delimiters.
struct TLiveDocument {
    TEditDocument Doc{kParagraphs};
    TRVLiveSpelling Live{Doc.Data, Doc.Sheet};

    explicit TLiveDocument(std::function<bool(const std::string&, int)> check)
    {
        Live.Delimiters = Doc.Edit.Delimiters;
        Live.OnSpellingCheck = std::move(check);
    }
    /// What the window runs on its thread after a change or when answers came.
    void Pump()
    {
        Live.Step(kStepBudget);
        Live.ApplyAnswers();
    }
};

/// A deterministic verdict: about one word in forty is wrong.
bool FakeVerdict(const std::string& word)
{
    return std::hash<std::string>{}(word) % 40 == 0;
}

/// Typing with a speller that takes delay for each word (state.range(0) milliseconds).
void BM_TypeWhileLiveSpelling(benchmark::State& state)
{
    const auto delay = std::chrono::milliseconds(state.range(0));
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TLiveDocument doc([delay](const std::string& word, int) {
            if (delay.count() > 0)
                std::this_thread::sleep_for(delay);
            return FakeVerdict(word);
        });
        doc.Live.Start();
        // The check is under way when the typing starts.
        for (int k = 0; k < 20; ++k)
            doc.Pump();
        state.ResumeTiming();
        double total = 0;
        for (int k = 0; k < kKeystrokes; ++k) {
            const auto start = std::chrono::steady_clock::now();
            doc.Doc.Edit.KeyPress(u'e');
            doc.Live.DocumentChanged(doc.Doc.Data.CaretDocPos().ItemNo);
            doc.Pump();
            benchmark::DoNotOptimize(doc.Doc.Data.InvalidRect());
            const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
            total += took.count();
            worst = std::max(worst, took.count());
        }
        state.SetIterationTime(total / kKeystrokes / 1e6);
        state.PauseTiming();
        if (doc.Live.Finished())
            state.SkipWithError("the check was not running while typing");
        state.ResumeTiming();
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_TypeWhileLiveSpelling)->Arg(0)->Arg(200)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2);

/// The whole document checked by ispell with the German dictionary bundled with the program; the
/// counters give the time the window's thread spent and the marks.
void BM_CheckWholeDocumentWithIspell(benchmark::State& state)
{
    const fs::path spellers = fs::path(XQ_SOURCE_DIR) / "data" / "speller";
    const fs::path home = fs::temp_directory_path() / ("xqbench-speller-" + std::to_string(::getpid()));
    fs::create_directories(home);
    double uiMs = 0;
    int marks = 0;
    int words = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TSpellChecker checker;
        checker.SetSpellerDirectory(spellers);
        checker.SetPersonalDirectory(home);
        if (!checker.GetSpeller(DefaultSpellLanguage)) {
            state.SkipWithError("ispell with the German dictionary is not installed");
            break;
        }
        std::atomic<int> asked = 0;
        TLiveDocument doc([&checker, &asked](const std::string& word, int language) {
            ++asked;
            return !checker.IsWordCorrect(word, language);
        });
        // Three planted misspellings at the very end.
        doc.Doc.Data.AppendTextW(u"Zum Schlus drei Fehlr im Vertrg.", 0, 0);
        doc.Doc.Edit.Format();
        TRVXQSpell bridge(checker, doc.Doc.Sheet);
        doc.Live.LanguageOfStyle = [&bridge](int styleNo) { return bridge.LanguageOfStyle(styleNo); };
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        double busy = 0;
        doc.Live.Start();
        while (!doc.Live.Finished()) {
            const auto step = std::chrono::steady_clock::now();
            doc.Pump();
            busy += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - step).count();
            if (!doc.Live.WantsStep())
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            if (std::chrono::steady_clock::now() - start > std::chrono::minutes(5)) {
                state.SkipWithError("the check did not finish in five minutes");
                break;
            }
        }
        uiMs = busy;
        marks = CountMisspellings(doc.Doc.Data);
        words = asked;
        if (marks < 3)
            state.SkipWithError("the planted misspellings were not marked");
    }
    fs::remove_all(home);
    state.counters["ui_thread_ms"] = uiMs;
    state.counters["marks"] = marks;
    state.counters["words_asked"] = words;
}
BENCHMARK(BM_CheckWholeDocumentWithIspell)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

// The check of the whole German document (over 900 pages, 20,000 paragraphs) against the real
// ispell with the German dictionary: once with a new speller, whose every word is asked, and once
// more with the verdicts it keeps. Misspelt words are ignored for the rest of the run, as a user
// pressing "Alle ignorieren" would.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "GermanDocument.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/TestCanvas.h"
#include "spelling/RVXQSpell.h"

namespace {

using namespace xq;
using namespace xq::bench;
namespace fs = std::filesystem;

/// Answers every misspelling with "Alle ignorieren".
class TIgnoreAllForm final : public TSpellForm {
public:
    explicit TIgnoreAllForm(int& asked) : Asked_(asked) {}
    void SetCaption(const std::string&) override {}
    TSpellFormResult Ask(const std::string&, const std::vector<std::string>&, int, std::string&) override
    {
        ++Asked_;
        return TSpellFormResult::IgnoreAll;
    }

private:
    int& Asked_;
};

struct TSpelledDocument {
    TRVStyle Sheet;
    TTestCanvas Canvas;
    TDocViewEdit Edit{&Sheet};
    fs::path Dir;

    TSpelledDocument()
    {
        SetupMainWindowStyleSheet(Sheet);
        TRVEditRVData& data = Edit.RVData();
        data.SetFormatCanvas(&Canvas);
        data.MinTextWidth = data.MaxTextWidth = 600;
        for (const TParagraph& paragraph : GermanParagraphs()) {
            bool first = true;
            for (const TRun& run : paragraph.Runs) {
                data.AppendTextW(run.Text, 0, first ? 0 : -1);
                first = false;
            }
        }
        Edit.Format();
        Edit.Delimiters = MainWindowDelimiters;
        Dir = fs::temp_directory_path() / "xqbench-speller";
        fs::create_directories(Dir / "deutsch");
        std::ofstream(Dir / "deutsch" / "ispell.ini")
            << "[Deutsch]\r\nLangNo=1031\r\nCmd=ispell -a -C -d ngerman -Tlatin1\r\n";
    }
    ~TSpelledDocument()
    {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }
};

void BM_CheckWholeDocument(benchmark::State& state)
{
    TSpelledDocument doc;
    int asked = 0;
    double warm = 0;
    for (auto _ : state) {
        TSpellChecker checker;
        checker.SetSpellerDirectory(doc.Dir);
        checker.SetPersonalDirectory(doc.Dir);
        if (!checker.GetSpeller(1031)) {
            state.SkipWithError("ispell with the German dictionary (packages ispell, ingerman) is not installed");
            return;
        }
        TRVXQSpell bridge(checker, doc.Sheet);
        bridge.CreateSpellForm = [&] { return std::make_unique<TIgnoreAllForm>(asked); };
        const auto start = std::chrono::steady_clock::now();
        bridge.CheckDocument(doc.Edit, true);
        const auto first = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(first - start).count());
        // Once more: the speller keeps its verdicts, the ignored words are in the bridge.
        bridge.CheckDocument(doc.Edit, true);
        warm += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - first).count();
    }
    state.counters["asked"] = double(asked) / double(state.iterations());
    state.counters["second_run_ms"] = warm / double(state.iterations());
}
BENCHMARK(BM_CheckWholeDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

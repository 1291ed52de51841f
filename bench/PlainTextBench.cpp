// Benchmarks of plain text: reading and writing a 10 MB text in 8-bit and UTF-16 form.
#include <benchmark/benchmark.h>

#include <string>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"

namespace {

using namespace xq;

constexpr std::size_t TextSize = std::size_t(10) << 20;

/// About 10 MB of German lines in code page 1252, with tabs and empty lines between paragraphs.
const std::string& GermanText()
{
    static const std::string text = [] {
        const std::string lines[] = {
            "Sehr geehrte Damen und Herren,\r\n",
            "wir best\xE4tigen den Eingang Ihres Schreibens vom 12. M\xE4rz und teilen Ihnen mit,\r\n",
            "Menge:\t12 St\xFC" "ck\tPreis:\t3,50 \x80\r\n",
            "\r\n",
        };
        std::string all;
        all.reserve(TextSize + 128);
        for (std::size_t k = 0; all.size() < TextSize; ++k)
            all += lines[k % std::size(lines)];
        return all;
    }();
    return text;
}

const std::string& GermanTextUtf16()
{
    static const std::string text = "\xFF\xFE" + AnsiToUnicodeBytes(GermanText(), 1252);
    return text;
}

void BM_ImportText8(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    for (auto _ : state) {
        TCustomRVData doc(&sheet);
        benchmark::DoNotOptimize(ImportText8(doc, GermanText(), 0, 0, false));
        benchmark::DoNotOptimize(doc.Count());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GermanText().size()));
}
BENCHMARK(BM_ImportText8)->Unit(benchmark::kMillisecond);

void BM_ImportTextUtf16(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    for (auto _ : state) {
        TCustomRVData doc(&sheet);
        benchmark::DoNotOptimize(ImportTextUtf16(doc, GermanTextUtf16(), 0, 0, false));
        benchmark::DoNotOptimize(doc.Count());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GermanTextUtf16().size()));
}
BENCHMARK(BM_ImportTextUtf16)->Unit(benchmark::kMillisecond);

void BM_ExportText(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TCustomRVData doc(&sheet);
    if (!ImportText8(doc, GermanText(), 0, 0, false)) {
        state.SkipWithError("import failed");
        return;
    }
    const bool unicode = state.range(0) != 0;
    for (auto _ : state) {
        std::string out;
        benchmark::DoNotOptimize(ExportText(doc, out, 80, unicode));
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_ExportText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

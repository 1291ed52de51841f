// Writing the 20,000-paragraph German document of the layout benchmark as RTF, and reading that
// RTF back with the RTF reader (events only, no document built).
#include <benchmark/benchmark.h>

#include "GermanDocument.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfReader.h"
#include "formats/rtf/RtfWriter.h"

namespace {

using namespace xq;
using namespace xq::bench;

/// The German document with a bold text style for its bold runs.
void BuildGermanDocument(TRVStyle& sheet, TCustomRVData& doc)
{
    SetupMainWindowStyleSheet(sheet);
    TFontInfo& bold = sheet.TextStyles.Add();
    bold.CopyStyle(sheet.TextStyles.StyleAt(0));
    bold.Style = TFontStyles{fsBold};
    const int boldStyle = sheet.TextStyles.Count() - 1;
    for (const TParagraph& paragraph : GermanParagraphs()) {
        bool first = true;
        for (const TRun& run : paragraph.Runs) {
            doc.AppendTextW(run.Text, run.Bold ? boldStyle : 0, first ? 0 : -1);
            first = false;
        }
    }
}

void BM_WriteRtf_German(benchmark::State& state)
{
    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    BuildGermanDocument(sheet, doc);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string rtf;
        if (!WriteRtfDocument(doc, TRVRTFWriteSettings{RTFMainWindowOptions}, rtf))
            state.SkipWithError("the document could not be written");
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["rtf_mb"] = double(bytes) / 1e6;
}
BENCHMARK(BM_WriteRtf_German)->Unit(benchmark::kMillisecond)->Iterations(10);

/// Parsing the written RTF with handlers that take the text as the import does (8-bit and
/// Unicode runs, the character properties read at each run).
void BM_ReadRtf_German(benchmark::State& state)
{
    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    BuildGermanDocument(sheet, doc);
    std::string rtf;
    if (!WriteRtfDocument(doc, TRVRTFWriteSettings{RTFMainWindowOptions}, rtf)) {
        state.SkipWithError("the document could not be written");
        return;
    }
    TRVRTFReader reader;
    std::size_t runs = 0;
    std::size_t chars = 0;
    reader.OnNewText = [&](TRVRTFReader& r, std::string_view text, TRVRTFPosition) {
        ++runs;
        chars += text.size();
        benchmark::DoNotOptimize(r.CharProps().Bold);
    };
    reader.OnNewUnicodeText = [&](TRVRTFReader& r, std::u16string_view text, TRVRTFPosition) {
        ++runs;
        chars += text.size();
        benchmark::DoNotOptimize(r.CharProps().Bold);
    };
    for (auto _ : state) {
        runs = chars = 0;
        if (reader.ReadRtfStream(rtf) != 0)
            state.SkipWithError("the written RTF could not be read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(rtf.size()) * state.iterations());
    state.counters["rtf_mb"] = double(rtf.size()) / 1e6;
    state.counters["runs"] = double(runs);
    state.counters["chars"] = double(chars);
}
BENCHMARK(BM_ReadRtf_German)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

// Writing the 20,000-paragraph German document of the layout benchmark as RTF.
#include <benchmark/benchmark.h>

#include "GermanDocument.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfWriter.h"

namespace {

using namespace xq;
using namespace xq::bench;

void BM_WriteRtf_German(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TFontInfo& bold = sheet.TextStyles.Add();
    bold.CopyStyle(sheet.TextStyles.StyleAt(0));
    bold.Style = TFontStyles{fsBold};
    const int boldStyle = sheet.TextStyles.Count() - 1;
    TCustomRVData doc(&sheet);
    for (const TParagraph& paragraph : GermanParagraphs()) {
        bool first = true;
        for (const TRun& run : paragraph.Runs) {
            doc.AppendTextW(run.Text, run.Bold ? boldStyle : 0, first ? 0 : -1);
            first = false;
        }
    }
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

} // namespace

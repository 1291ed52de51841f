// Importing a large generated RTF file (about 5 MB, some 900 pages of German text with lists,
// tables, fields and page breaks) into a document with the main window's settings and writing
// it as text, as "xqconvert big.rtf big.txt" does; and, for comparison, the reader alone.
//
// The file is generated once per run into a temporary directory by the corpus generator
// (XQ_GEN_BIG_RTF names the script, default /work/shared/corpus/gen_big_rtf.py); XQ_BIG_RTF
// names an existing file to use instead.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "document/DocParameters.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfImport.h"
#include "formats/rtf/RtfReader.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "platform/FileIO.h"
#include "tables/TableItem.h"

namespace {

using namespace xq;
namespace fs = std::filesystem;

/// The bytes of the big RTF file, or an empty string with the reason in error.
const std::string& BigRtf(std::string& error)
{
    static std::string bytes;
    static std::string failure;
    static const bool loaded = [] {
        fs::path path;
        if (const char* given = std::getenv("XQ_BIG_RTF"); given && *given) {
            path = given;
        } else {
            const char* script = std::getenv("XQ_GEN_BIG_RTF");
            const std::string generator = script && *script ? script : "/work/shared/corpus/gen_big_rtf.py";
            if (!fs::exists(generator)) {
                failure = "the generator " + generator + " is missing (set XQ_GEN_BIG_RTF or XQ_BIG_RTF)";
                return false;
            }
            std::error_code ec;
            const fs::path dir = fs::temp_directory_path(ec) / ("xqbench-rtf-" + std::to_string(::getpid()));
            fs::create_directories(dir, ec);
            path = dir / "big.rtf";
            const std::string command = "python3 '" + generator + "' '" + path.string() + "' >/dev/null";
            if (std::system(command.c_str()) != 0) {
                failure = "the generator failed: " + command;
                return false;
            }
        }
        if (!ReadFileBytes(path, bytes, std::size_t{1} << 30, &failure) || bytes.empty()) {
            if (failure.empty())
                failure = path.string() + ": empty";
            return false;
        }
        if (!std::getenv("XQ_BIG_RTF")) {
            std::error_code ec;
            fs::remove_all(path.parent_path(), ec);
        }
        return true;
    }();
    if (!loaded)
        error = failure;
    return bytes;
}

void BM_ImportRtf_Big(benchmark::State& state)
{
    RegisterListItemKinds();
    RegisterTableItemKind();
    std::string error;
    const std::string& rtf = BigRtf(error);
    if (rtf.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::size_t textBytes = 0;
    int items = 0;
    for (auto _ : state) {
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        TCustomRVData doc(&sheet);
        TRVDocParameters page = MainWindowDocParameters();
        TRVRTFReaderProperties settings;
        SetMainWindowRtfReadProperties(settings);
        if (settings.ReadRtfStreamIntoDocument(rtf, doc, &page) != rtf_ec_OK) {
            state.SkipWithError("the RTF could not be read");
            return;
        }
        std::string text;
        if (!ExportText(doc, text, 80, false)) {
            state.SkipWithError("the document could not be written as text");
            return;
        }
        textBytes = text.size();
        items = doc.Count();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(rtf.size()) * state.iterations());
    state.counters["rtf_mb"] = double(rtf.size()) / 1e6;
    state.counters["text_mb"] = double(textBytes) / 1e6;
    state.counters["items"] = items;
}
BENCHMARK(BM_ImportRtf_Big)->Unit(benchmark::kMillisecond)->MinTime(2.0);

/// The reader alone on the same file, with a text handler that only counts.
void BM_ReadRtf_Big(benchmark::State& state)
{
    std::string error;
    const std::string& rtf = BigRtf(error);
    if (rtf.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::size_t chars = 0;
    for (auto _ : state) {
        TRVRTFReader reader;
        chars = 0;
        reader.OnNewText = [&](TRVRTFReader&, std::string_view text, TRVRTFPosition) { chars += text.size(); };
        reader.OnNewUnicodeText = [&](TRVRTFReader&, std::u16string_view text, TRVRTFPosition) {
            chars += text.size();
        };
        if (reader.ReadRtfStream(rtf) != rtf_ec_OK) {
            state.SkipWithError("the RTF could not be read");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(rtf.size()) * state.iterations());
    state.counters["chars"] = double(chars);
}
BENCHMARK(BM_ReadRtf_Big)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

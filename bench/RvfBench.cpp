// Writing and reading a large RVF document: throughput in both directions, binary and text mode.
#include <benchmark/benchmark.h>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "platform/CodePage.h"

namespace {

using namespace xq;

// A 24-bit bottom-up BMP of the given size with a colour gradient.
std::string MakeBmp(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t dataSize = std::uint32_t(stride) * std::uint32_t(height);
    std::string bmp;
    auto put16 = [&bmp](std::uint32_t v) { bmp.append({char(v & 0xFF), char(v >> 8)}); };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    bmp += "BM";
    put32(54 + dataSize);
    put32(0);
    put32(54);
    put32(40);
    put32(std::uint32_t(width));
    put32(std::uint32_t(height));
    put16(1);
    put16(24);
    put32(0);
    put32(dataSize);
    put32(3780);
    put32(3780);
    put32(0);
    put32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            bmp.append({char(x), char(y), char(x ^ y)});
        bmp.append(std::size_t(stride - width * 3), '\0');
    }
    return bmp;
}

struct TBigDocument {
    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};

    TBigDocument()
    {
        RegisterListItemKinds();
        SetupMainWindowStyleSheet(Sheet);
        TFontInfo& unicode = Sheet.TextStyles.Add();
        unicode.CopyStyle(Sheet.TextStyles[0]);
        unicode.Unicode = true;
        const int unicodeStyle = Sheet.TextStyles.Count() - 1;

        const std::string bmp = MakeBmp(200, 200);
        for (int p = 0; p < 50000; ++p) {
            Doc.AppendText("Sehr geehrte Damen und Herren, wir best\xE4tigen den Eingang Ihres Schreibens vom ", 0,
                           p % 6);
            Doc.AppendText("12. M\xE4rz", 5, -1);
            Doc.AppendText(" und teilen Ihnen mit, dass die Unterlagen gepr\xFC" "ft werden. Mit freundlichen "
                           "Gr\xFC\xDF" "en",
                           p % 3 == 0 ? 2 : 0, -1);
            if (p % 10 == 0)
                Doc.AppendTextW(u"\u00C4nderungen \u2013 \u201EUnicode\u201C", unicodeStyle, -1);
            if (p % 10000 == 0) {
                auto picture = std::make_unique<TRVGraphicItemInfo>();
                picture->Image = LoadGraphic(bmp);
                picture->ParaNo = -1;
                Doc.AppendItem("Bild", std::move(picture));
            }
        }
    }
};

TBigDocument& Big()
{
    static TBigDocument doc;
    return doc;
}

void BM_RvfWrite(benchmark::State& state)
{
    TBigDocument& big = Big();
    TRVFOptions options = RVFMainWindowOptions;
    if (state.range(0) == 0)
        options.Exclude(rvfoSaveBinary);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        TRVFWriter(big.Sheet, options).WriteDocument(big.Doc, nullptr, out);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_RvfWrite)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_RvfRead(benchmark::State& state)
{
    TBigDocument& big = Big();
    TRVFOptions options = RVFMainWindowOptions;
    if (state.range(0) == 0)
        options.Exclude(rvfoSaveBinary);
    std::string stream;
    TRVFWriter(big.Sheet, options).WriteDocument(big.Doc, nullptr, stream);
    TRVStyle sheet;
    for (auto _ : state) {
        TCustomRVData doc(&sheet);
        TRVFReader(sheet, options).ReadDocument(doc, nullptr, stream);
        benchmark::DoNotOptimize(doc.Count());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * stream.size()));
}
BENCHMARK(BM_RvfRead)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

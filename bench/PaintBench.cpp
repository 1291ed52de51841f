// Painting benchmarks with real fonts: the 20,000-paragraph German document laid out at a device's
// resolution and painted page by page, into a 96-dpi picture and into an A4 PDF at 600 dpi. The
// layout is cut into bands of the printable height of an A4 page (there is no pagination yet), and
// each band is painted as one page would be.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "GermanDocument.h"
#include "document/RVStyle.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "platform/qt/QtCanvas.h"

namespace {

using namespace xq;
using namespace xq::bench;

// A4 with 20 mm margins all round: 170 x 257 mm of printable area.
constexpr double kPrintableWidthMM = 170.0;
constexpr double kPrintableHeightMM = 257.0;
constexpr double kMarginMM = 20.0;

[[nodiscard]] int Pixels(double mm, int dpi) noexcept
{
    return static_cast<int>(std::lround(mm / 25.4 * dpi));
}

/// The whole German document in a formatted container, laid out on a measuring canvas of the
/// device's resolution; lines are as wide as the printable area (in screen pixels, as the layout
/// takes widths).
struct TPaintDocument {
    TRVStyle Sheet;
    TQtCanvas Measure;
    TCustomRVFormattedData Data{&Sheet};
    double LayoutMs = 0;

    explicit TPaintDocument(int dpi) : Measure(dpi, dpi)
    {
        SetupMainWindowStyleSheet(Sheet);
        TFontInfo& bold = Sheet.TextStyles.Add();
        bold.CopyStyle(Sheet.TextStyles.StyleAt(0));
        bold.StyleName = "Fett";
        bold.Style = TFontStyles{fsBold};
        const int boldStyle = Sheet.TextStyles.Count() - 1;
        for (const TParagraph& paragraph : GermanParagraphs()) {
            bool first = true;
            for (const TRun& run : paragraph.Runs) {
                Data.AppendTextW(run.Text, run.Bold ? boldStyle : 0, first ? 0 : -1);
                first = false;
            }
        }
        Data.LeftMargin = Data.RightMargin = Data.TopMargin = Data.BottomMargin = 0;
        Data.MinTextWidth = Data.MaxTextWidth = Pixels(kPrintableWidthMM, 96);
        Data.SetFormatCanvas(&Measure);
        const auto start = std::chrono::steady_clock::now();
        Data.FormatAll(false, true);
        LayoutMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }

    [[nodiscard]] int PageCount(int bandHeight) const
    {
        return (Data.TotalHeight() + bandHeight - 1) / bandHeight;
    }

    /// Paints the band of the layout that page (0-based) shows, into a bandWidth x bandHeight area.
    void PaintPage(TCanvas& canvas, int page, int bandWidth, int bandHeight)
    {
        TRVPaintRequest request;
        request.Rect = TRect{0, 0, bandWidth, bandHeight};
        request.ScrollY = page * bandHeight;
        request.Focused = false;
        request.Printing = true;
        request.Color = clWhite;
        request.ClientWidth = bandWidth;
        request.ClientHeight = bandHeight;
        PaintDocument(Data, canvas, request);
    }
};

void SetPageCounters(benchmark::State& state, const TPaintDocument& doc, int pages, double paintMs)
{
    state.counters["pages"] = pages;
    state.counters["layout_ms"] = doc.LayoutMs;
    state.counters["paint_ms"] = paintMs;
    state.counters["ms_per_page"] = paintMs / pages;
}

/// Every page into one 96-dpi picture, as the editor paints its window: one canvas for all.
void BM_PaintPages_Image96(benchmark::State& state)
{
    constexpr int dpi = 96;
    TPaintDocument doc(dpi);
    const int width = Pixels(kPrintableWidthMM, dpi);
    const int height = Pixels(kPrintableHeightMM, dpi);
    const int pages = doc.PageCount(height);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    double paintMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            TQtCanvas canvas(&image);
            for (int page = 0; page < pages; ++page)
                doc.PaintPage(canvas, page, width, height);
        }
        paintMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(image.constBits());
    }
    SetPageCounters(state, doc, pages, paintMs);
}
BENCHMARK(BM_PaintPages_Image96)->Unit(benchmark::kMillisecond)->Iterations(1);

/// Every page into an A4 PDF at 600 dpi, the file finished and closed.
void BM_PaintPages_Pdf600(benchmark::State& state)
{
    constexpr int dpi = 600;
    TPaintDocument doc(dpi);
    const int width = Pixels(kPrintableWidthMM, dpi);
    const int height = Pixels(kPrintableHeightMM, dpi);
    const int pages = doc.PageCount(height);
    const QString path = QDir::temp().filePath(QStringLiteral("xqpaintbench.pdf"));
    double paintMs = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            QPdfWriter writer(path);
            writer.setResolution(dpi);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                             QMarginsF(kMarginMM, kMarginMM, kMarginMM, kMarginMM),
                                             QPageLayout::Millimeter));
            TQtCanvas canvas(&writer);
            for (int page = 0; page < pages; ++page) {
                if (page > 0)
                    writer.newPage();
                doc.PaintPage(canvas, page, width, height);
            }
        }
        paintMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        bytes = QFile(path).size();
    }
    SetPageCounters(state, doc, pages, paintMs);
    state.counters["pdf_kib"] = double(bytes) / 1024.0;
    state.SetLabel(path.toStdString());
}
BENCHMARK(BM_PaintPages_Pdf600)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

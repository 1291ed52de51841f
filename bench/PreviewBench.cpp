// The print preview on the German document of about 900 pages: a page change, painted, as the
// user sees it after pressing "Seite vor" - the page drawn through the print component, at the
// whole-page zoom of a 1000 x 800 window and at 100 % (the viewport grabbed, which paints it).
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>

#include "GermanDocument.h"
#include "dialogs/PrintPreview.h"
#include "document/RVStyle.h"
#include "layout/FormattedData.h"
#include "platform/qt/QtPrinter.h"
#include "printing/Print.h"
#include "printing/ScreenPageSize.h"

namespace {

using namespace xq;
using namespace xq::bench;

/// The German document laid out at the printed width of an A4 page, paginated for the PDF printer.
struct TPreviewDocument {
    TRVStyle Sheet;
    TCustomRVFormattedData Data{&Sheet};
    std::unique_ptr<TQtPrinter> Printer = TQtPrinter::Pdf();
    TRVPrint Print;

    TPreviewDocument()
    {
        SetupMainWindowStyleSheet(Sheet);
        TFontInfo& bold = Sheet.TextStyles.Add();
        bold.CopyStyle(Sheet.TextStyles.StyleAt(0));
        bold.Style = TFontStyles{fsBold};
        const int boldStyle = Sheet.TextStyles.Count() - 1;
        for (const TParagraph& paragraph : GermanParagraphs()) {
            bool first = true;
            for (const TRun& run : paragraph.Runs) {
                Data.AppendTextW(run.Text, run.Bold ? boldStyle : 0, first ? 0 : -1);
                first = false;
            }
        }
        Print.LeftMarginMM = 20;
        Print.RightMarginMM = 10;
        const TPrintMarginsMM margins{20, 20, 10, 20};
        const int width = EditorTextWidth(ScreenPageSize(Printer->PageMetrics(), margins, 96, 96).Width);
        Data.MinTextWidth = Data.MaxTextWidth = width;
        Data.SetFormatCanvas(&Printer->FormatCanvas());
        Data.FormatAll(false, true);
        Print.SetPrinter(Printer.get());
        Print.UseDocumentOf(Data);
        Print.PaginateDocument();
    }
    ~TPreviewDocument() { Print.SetPrinter(nullptr); }
};

TPreviewDocument& Document()
{
    static TPreviewDocument doc;
    return doc;
}

/// "Seite vor" and the page painted; zoom 0 is the whole page, otherwise a percentage.
void BM_PreviewNextPage(benchmark::State& state)
{
    TPreviewDocument& doc = Document();
    TRVPrintPreview view;
    view.resize(1000, 800);
    view.show();
    view.SetRVPrint(&doc.Print);
    if (state.range(0) == 0)
        view.SetZoomMode(0);
    else
        view.SetZoom(int(state.range(0)));
    const int pages = doc.Print.PageCount();
    for (auto _ : state) {
        if (view.PageNo() == pages)
            view.FirstPage();
        else
            view.NextPage();
        benchmark::DoNotOptimize(view.viewport()->grab());
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PreviewNextPage)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(50);

/// "Letzte Seite" from the first page and back.
void BM_PreviewLastPage(benchmark::State& state)
{
    TPreviewDocument& doc = Document();
    TRVPrintPreview view;
    view.resize(1000, 800);
    view.show();
    view.SetRVPrint(&doc.Print);
    view.SetZoomMode(0);
    bool last = false;
    for (auto _ : state) {
        last ? view.FirstPage() : view.LastPage();
        last = !last;
        benchmark::DoNotOptimize(view.viewport()->grab());
    }
}
BENCHMARK(BM_PreviewLastPage)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

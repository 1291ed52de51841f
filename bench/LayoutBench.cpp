// Layout benchmarks with real fonts: formatting a long German document from scratch and
// reformatting it after a one-character edit, each measured against QTextDocument laying out
// the same paragraphs in the same fonts, so that the two numbers of a pair come from one run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QGuiApplication>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include "GermanDocument.h"
#include "document/RVStyle.h"
#include "layout/FormattedData.h"
#include "layout/ReformatRange.h"
#include "platform/qt/QtCanvas.h"
#include "printing/Print.h"

namespace {

using namespace xq;
using namespace xq::bench;

constexpr int kTextWidth = 600;
constexpr int kDpi = 96;

// --- Ours ------------------------------------------------------------------------------------------

/// The middle paragraphs of the German document in a formatted container on a Qt measuring canvas.
struct TOurDocument {
    TRVStyle Sheet;
    TQtCanvas Canvas{kDpi, kDpi};
    TCustomRVFormattedData Data{&Sheet};
    int BoldStyle = 0;
    std::vector<int> FirstItemOf; ///< the item that starts each paragraph

    explicit TOurDocument(int paragraphs)
    {
        SetupMainWindowStyleSheet(Sheet);
        TFontInfo& bold = Sheet.TextStyles.Add();
        bold.CopyStyle(Sheet.TextStyles.StyleAt(0));
        bold.StyleName = "Fett";
        bold.Style = TFontStyles{fsBold};
        BoldStyle = Sheet.TextStyles.Count() - 1;

        const auto& source = GermanParagraphs();
        const int from = FirstKept(paragraphs);
        FirstItemOf.reserve(std::size_t(paragraphs));
        for (int p = 0; p < paragraphs; ++p) {
            FirstItemOf.push_back(Data.Count());
            bool first = true;
            for (const TRun& run : source[std::size_t(from + p)].Runs) {
                Data.AppendTextW(run.Text, run.Bold ? BoldStyle : 0, first ? 0 : -1);
                first = false;
            }
        }
        Data.LeftMargin = Data.RightMargin = Data.TopMargin = Data.BottomMargin = 0;
        Data.MinTextWidth = Data.MaxTextWidth = kTextWidth;
        Data.SetFormatCanvas(&Canvas);
    }

    /// The draw items of an item: its first line piece and the pieces after it.
    void DrawItemsOf(int itemNo, int& first, int& last) const
    {
        const TRVDrawLines& lines = Data.DrawItems();
        first = last = Data.FirstLinePiece(itemNo);
        while (last + 1 < lines.Count() && lines[last + 1].ItemNo == itemNo)
            ++last;
    }

    [[nodiscard]] int LineCount() const
    {
        int lines = 0;
        const TRVDrawLines& items = Data.DrawItems();
        for (int i = 0; i < items.Count(); ++i)
            lines += items[i].StartsLine() ? 1 : 0;
        return lines;
    }
};

void BM_FormatAll_Ours(benchmark::State& state)
{
    TOurDocument doc(kParagraphs);
    doc.Data.FormatAll(false, true); // fills the font caches, as a shown editor has them
    for (auto _ : state) {
        doc.Data.FormatAll(false, true);
        benchmark::DoNotOptimize(doc.Data.TotalHeight());
    }
    state.counters["lines"] = doc.LineCount();
    state.counters["height_px"] = doc.Data.TotalHeight();
    state.counters["draw_items"] = doc.Data.DrawItems().Count();
}
BENCHMARK(BM_FormatAll_Ours)->Unit(benchmark::kMillisecond)->Iterations(10);

/// An A4 printer at 600 dpi that only measures: pagination needs its page and its canvas.
class TMeasuringPrinter final : public TRVPrinter {
public:
    TMeasuringPrinter()
    {
        Metrics_.DpiX = Metrics_.DpiY = 600;
        Metrics_.PhysicalWidth = 4961;
        Metrics_.PhysicalHeight = 7016;
        Metrics_.OffsetX = Metrics_.OffsetY = 100;
        Metrics_.PrintableWidth = 4961 - 200;
        Metrics_.PrintableHeight = 7016 - 200;
    }
    [[nodiscard]] std::string Name() const override { return "A4"; }
    [[nodiscard]] TPrinterPageMetrics PageMetrics() const override { return Metrics_; }
    [[nodiscard]] bool HasDeviceSettings() const override { return false; }
    [[nodiscard]] TPrinterDeviceSettings DeviceSettings() const override { return {}; }
    void ApplyDeviceSettings(const TPrinterDeviceSettings&) override {}
    [[nodiscard]] bool CanCopy() const override { return false; }
    [[nodiscard]] int Copies() const override { return 1; }
    void SetCopies(int) override {}
    bool BeginDoc(const std::string&) override { return false; }
    void NewPage() override {}
    bool EndDoc() override { return false; }
    [[nodiscard]] TCanvas& PageCanvas() override { return Canvas_; }
    [[nodiscard]] TCanvas& FormatCanvas() override { return Canvas_; }

private:
    TPrinterPageMetrics Metrics_;
    TQtCanvas Canvas_{kDpi, kDpi};
};

/// The whole document laid out for an A4 printer and cut into pages (about 900): the printer's
/// own layout of the items and the pagination. BM_FormatAll_Ours is the layout's share.
void BM_Paginate_Ours(benchmark::State& state)
{
    TOurDocument doc(kParagraphs);
    TMeasuringPrinter printer;
    TRVPrint print;
    print.LeftMarginMM = 20;
    print.RightMarginMM = 10;
    print.SetPrinter(&printer);
    print.UseDocumentOf(doc.Data);
    print.PaginateDocument(); // fills the font caches
    int pages = 0;
    for (auto _ : state)
        pages = print.PaginateDocument();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Paginate_Ours)->Unit(benchmark::kMillisecond)->Iterations(5);

/// One paragraph of state.range(0) megabytes of short words ("x x x ..."): the layout of one
/// long text item must grow with its length, not with its length times its lines.
void BM_FormatOneLongParagraph(benchmark::State& state)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TQtCanvas canvas{kDpi, kDpi};
    TCustomRVFormattedData data{&sheet};
    std::string text;
    text.reserve(std::size_t(state.range(0)) << 20);
    while (text.size() + 2 <= (std::size_t(state.range(0)) << 20))
        text += "x ";
    data.AppendText(text, 0, 0);
    data.LeftMargin = data.RightMargin = data.TopMargin = data.BottomMargin = 0;
    data.MinTextWidth = data.MaxTextWidth = kTextWidth;
    data.SetFormatCanvas(&canvas);
    for (auto _ : state) {
        data.FormatAll(false, true);
        benchmark::DoNotOptimize(data.TotalHeight());
    }
    state.counters["draw_items"] = data.DrawItems().Count();
}
BENCHMARK(BM_FormatOneLongParagraph)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(2);

/// One character typed into the middle of the middle paragraph and taken out again, in turns;
/// each edit reformats its paragraph with one paragraph of context on both sides, as the editor does.
void BM_ReformatOneChar_Ours(benchmark::State& state)
{
    const int paragraphs = static_cast<int>(state.range(0));
    TOurDocument doc(paragraphs);
    doc.Data.FormatAll(false, true);
    const std::int32_t height = doc.Data.TotalHeight();

    const int p = paragraphs / 2;
    int run = 0, offset = 0;
    MiddleOf(GermanParagraphs()[std::size_t(FirstKept(paragraphs) + p)], run, offset);
    const int itemNo = doc.FirstItemOf[std::size_t(p)] + run;
    const int unit = doc.Data.ItemAt(itemNo).IsUnicode() ? 2 : 1;
    const std::string typed = unit == 2 ? std::string("e\0", 2) : std::string("e");
    const std::size_t at = std::size_t(offset * unit);

    bool inserted = false;
    auto edit = [&] {
        int changedFirst = 0, changedLast = 0, first = 0, last = 0;
        doc.DrawItemsOf(itemNo, changedFirst, changedLast);
        GetReformatRange(doc.Data, doc.Data.DrawItems(), changedFirst, changedLast, first, last);
        std::string text = doc.Data.TextAt(itemNo);
        if (inserted)
            text.erase(at, typed.size());
        else
            text.insert(at, typed);
        doc.Data.SetText(itemNo, std::move(text));
        doc.Data.ReformatRange(first, last, 0);
        inserted = !inserted;
    };
    for (auto _ : state) {
        edit();
        benchmark::DoNotOptimize(doc.Data.TotalHeight());
    }
    if (inserted)
        edit();
    if (doc.Data.TotalHeight() != height)
        state.SkipWithError("the document height changed after the edits were taken back");
    state.counters["lines"] = doc.LineCount();
}
BENCHMARK(BM_ReformatOneChar_Ours)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// --- QTextDocument -----------------------------------------------------------------------------------

/// The same paragraphs in a QTextDocument with the fonts our canvas measures: the same family,
/// pixel size, kerning and hinting.
struct TQtDocument {
    QTextDocument Document;

    explicit TQtDocument(int paragraphs)
    {
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        const TFontInfo& normal = sheet.TextStyles.StyleAt(0);
        TQtCanvas canvas(kDpi, kDpi);
        TCanvasFont font;
        font.Name = normal.FontName;
        font.Size = normal.Size;
        canvas.SelectFont(font);

        Document.setUndoRedoEnabled(false);
        Document.setDefaultFont(canvas.SelectedQFont());
        Document.setDocumentMargin(0);
        QTextCharFormat plain;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);

        const auto& source = GermanParagraphs();
        const int from = FirstKept(paragraphs);
        QTextCursor cursor(&Document);
        cursor.beginEditBlock();
        for (int p = 0; p < paragraphs; ++p) {
            if (p > 0)
                cursor.insertBlock();
            for (const TRun& run : source[std::size_t(from + p)].Runs)
                cursor.insertText(QString::fromUtf16(run.Text.data(), qsizetype(run.Text.size())), run.Bold ? bold : plain);
        }
        cursor.endEditBlock();
        Document.setTextWidth(kTextWidth);
    }

    [[nodiscard]] QSizeF LayOut() { return Document.documentLayout()->documentSize(); }

    [[nodiscard]] int LineCount() const
    {
        int lines = 0;
        for (QTextBlock b = Document.begin(); b.isValid(); b = b.next())
            lines += b.layout()->lineCount();
        return lines;
    }
};

void BM_FormatAll_QTextDocument(benchmark::State& state)
{
    TQtDocument doc(kParagraphs);
    benchmark::DoNotOptimize(doc.LayOut());
    for (auto _ : state) {
        // A width change throws away the layout of every block; the size then lays out all of
        // them again at the text width.
        doc.Document.setTextWidth(kTextWidth - 1);
        doc.Document.setTextWidth(kTextWidth);
        benchmark::DoNotOptimize(doc.LayOut());
    }
    state.counters["lines"] = doc.LineCount();
    state.counters["height_px"] = doc.LayOut().height();
}
BENCHMARK(BM_FormatAll_QTextDocument)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReformatOneChar_QTextDocument(benchmark::State& state)
{
    const int paragraphs = static_cast<int>(state.range(0));
    TQtDocument doc(paragraphs);
    const double height = doc.LayOut().height();

    const int p = paragraphs / 2;
    const QTextBlock block = doc.Document.findBlockByNumber(p);
    const int at = block.position() + GermanParagraphs()[std::size_t(FirstKept(paragraphs) + p)].Length() / 2;
    QTextCursor cursor(&doc.Document);

    bool inserted = false;
    auto edit = [&] {
        cursor.setPosition(at);
        if (inserted)
            cursor.deleteChar();
        else
            cursor.insertText(QStringLiteral("e"));
        benchmark::DoNotOptimize(doc.LayOut());
        inserted = !inserted;
    };
    for (auto _ : state)
        edit();
    if (inserted)
        edit();
    if (doc.LayOut().height() != height)
        state.SkipWithError("the document height changed after the edits were taken back");
    state.counters["lines"] = doc.LineCount();
}
BENCHMARK(BM_ReformatOneChar_QTextDocument)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond)->Iterations(2000);

} // namespace

// Qt fonts need a GUI application; the offscreen platform needs no display.
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

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

#include "document/RVStyle.h"
#include "layout/FormattedData.h"
#include "layout/ReformatRange.h"
#include "platform/qt/QtCanvas.h"

namespace {

using namespace xq;

constexpr int kParagraphs = 20000;
constexpr int kTextWidth = 600;
constexpr int kDpi = 96;

// --- The document ---------------------------------------------------------------------------------

struct TRun {
    std::u16string Text;
    bool Bold = false;
};

struct TParagraph {
    std::vector<TRun> Runs;
    [[nodiscard]] int Length() const
    {
        int n = 0;
        for (const TRun& r : Runs)
            n += static_cast<int>(r.Text.size());
        return n;
    }
};

/// A small generator with a fixed sequence on every platform (xorshift64*), so the document is
/// the same from run to run and machine to machine.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) noexcept : State_(seed) {}
    [[nodiscard]] std::uint32_t Next() noexcept
    {
        State_ ^= State_ >> 12;
        State_ ^= State_ << 25;
        State_ ^= State_ >> 27;
        return static_cast<std::uint32_t>((State_ * 0x2545F4914F6CDD1DULL) >> 32);
    }
    /// A number in lo..hi.
    [[nodiscard]] int Between(int lo, int hi) noexcept { return lo + static_cast<int>(Next() % std::uint32_t(hi - lo + 1)); }

private:
    std::uint64_t State_;
};

// Words of business letters and contracts, nouns capitalised as they are written.
const char16_t* const kWords[] = {
    u"der", u"die", u"das", u"und", u"oder", u"nicht", u"mit", u"für", u"über", u"nach", u"bei", u"zur",
    u"zum", u"wir", u"Sie", u"Ihnen", u"Ihre", u"unser", u"unsere", u"dass", u"möchten", u"können",
    u"müssen", u"würden", u"dürfen", u"ließen", u"gemäß", u"außerdem", u"größer", u"schließlich",
    u"Straße", u"Grüße", u"Maßnahme", u"Gebühren", u"Bestätigung", u"Empfänger", u"Prüfung", u"Änderung",
    u"Übersicht", u"Ärztekammer", u"Öffnungszeiten", u"Rückfrage", u"Verfügung", u"Unterstützung",
    u"Geschäftsführung", u"Kündigungsfrist", u"Schadensersatzansprüche", u"Versicherungsnehmer",
    u"Auftragsbestätigung", u"Datenschutzerklärung", u"Rechnungsbetrag", u"Zahlungseingang", u"Mahnung",
    u"Vertrag", u"Angebot", u"Anlage", u"Unterlagen", u"Termin", u"Frist", u"Antrag", u"Bescheid",
    u"Kunde", u"Kundin", u"Mitarbeiter", u"Abteilung", u"Behörde", u"Gemeinde", u"Bürgermeister",
    u"Wohnung", u"Mieter", u"Vermieter", u"Nebenkosten", u"Heizkostenabrechnung", u"Schlüssel",
    u"Gewährleistung", u"Lieferung", u"Verzögerung", u"Entschädigung", u"Erklärung", u"Begründung",
    u"Sachverständige", u"Gutachten", u"Stellungnahme", u"Einverständnis", u"Bevollmächtigte",
    u"freundlichen", u"geehrte", u"geehrter", u"herzlichen", u"ausdrücklich", u"unverzüglich",
    u"rechtzeitig", u"schriftlich", u"ordnungsgemäß", u"voraussichtlich", u"gegenüber", u"bezüglich",
    u"hinsichtlich", u"grundsätzlich", u"zusätzlich", u"nämlich", u"jährlich", u"monatlich", u"täglich",
    u"übermitteln", u"überweisen", u"erhöhen", u"prüfen", u"bestätigen", u"erläutern", u"berücksichtigen",
    u"zurückschicken", u"beifügen", u"mitteilen", u"weiterleiten", u"genehmigen", u"bearbeiten",
    u"aufgrund", u"innerhalb", u"außerhalb", u"während", u"wegen", u"trotz", u"seit", u"bis", u"ab",
    u"am", u"im", u"in", u"an", u"auf", u"aus", u"von", u"vom", u"zu", u"als", u"wie", u"wenn", u"weil",
    u"ein", u"eine", u"einen", u"einem", u"einer", u"den", u"dem", u"des", u"sich", u"auch", u"noch",
    u"bereits", u"jedoch", u"bitte", u"gern", u"sehr", u"viele", u"Jahre", u"Monate", u"Woche", u"Tage",
    u"Höhe", u"Größe", u"Fußgängerzone", u"Spaß", u"Maß", u"Gruß", u"Fuß", u"süß", u"heiß", u"weiß",
    u"Äpfel", u"Öl", u"Übung", u"Bär", u"Tür", u"König", u"Käufer", u"Verkäufer", u"Händler",
};
constexpr int kWordCount = static_cast<int>(sizeof kWords / sizeof kWords[0]);

/// Paragraphs of 16..46 words (about three lines at 600 pixels in 10-point text), each with
/// up to two bold runs of one to four words; words are capitalised after a full stop.
const std::vector<TParagraph>& GermanParagraphs()
{
    static const std::vector<TParagraph> paragraphs = [] {
        TRandom random(20240611);
        std::vector<TParagraph> result(kParagraphs);
        for (TParagraph& paragraph : result) {
            const int words = random.Between(16, 46);
            int boldLeft = random.Between(0, 2);
            bool startSentence = true;
            int boldUntil = -1;
            TRun run;
            for (int w = 0; w < words; ++w) {
                const bool bold = w <= boldUntil;
                if (!bold && boldLeft > 0 && w > 0 && random.Between(0, 14) == 0) {
                    boldUntil = w + random.Between(0, 3);
                    --boldLeft;
                }
                const bool wordBold = w <= boldUntil;
                if (wordBold != run.Bold && !run.Text.empty()) {
                    paragraph.Runs.push_back(std::move(run));
                    run = TRun{};
                }
                run.Bold = wordBold;
                std::u16string word = kWords[random.Between(0, kWordCount - 1)];
                if (startSentence && word[0] >= u'a' && word[0] <= u'z')
                    word[0] = static_cast<char16_t>(word[0] - u'a' + u'A');
                run.Text += word;
                startSentence = false;
                if (w + 1 == words) {
                    run.Text += u'.';
                } else {
                    const int mark = random.Between(0, 19);
                    if (mark == 0) {
                        run.Text += u'.';
                        startSentence = true;
                    } else if (mark < 3) {
                        run.Text += u',';
                    }
                    // The space after a bold word stays bold, as when typed with bold on.
                    run.Text += u' ';
                }
            }
            paragraph.Runs.push_back(std::move(run));
        }
        return result;
    }();
    return paragraphs;
}

/// The run and the character offset in it at the middle of a paragraph.
void MiddleOf(const TParagraph& paragraph, int& run, int& offset)
{
    int rest = paragraph.Length() / 2;
    for (run = 0; run + 1 < static_cast<int>(paragraph.Runs.size()); ++run) {
        const int n = static_cast<int>(paragraph.Runs[std::size_t(run)].Text.size());
        if (rest < n)
            break;
        rest -= n;
    }
    offset = rest;
}

// --- Ours ------------------------------------------------------------------------------------------

/// The paragraphs from the middle of the German document that are kept by a shorter one: so every
/// length has the same paragraph in its middle, and the same paragraphs around it.
[[nodiscard]] int FirstKept(int paragraphs) noexcept { return (kParagraphs - paragraphs) / 2; }

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
        first = last = Data.ItemAt(itemNo).FirstLinePiece;
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

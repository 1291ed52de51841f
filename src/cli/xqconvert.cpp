// xqconvert: converts documents between formats by extension, lays them out into PNG pictures
// and prints them into PDF files, and dumps them as JSON or as the lines of their layout.
//
//   xqconvert INPUT OUTPUT     exit 0 done, 1 input read only in part (what was read is
//   xqconvert --dump FILE      written), 2 usage or I/O error; messages go to stderr
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QGuiApplication>
#include <QImage>

#include <optional>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/DocumentFiles.h"
#include "formats/text/TextFormat.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "lists/ListItems.h"
#include "document/ItemText.h"
#include "platform/CodePage.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"
#include "printing/PageSettings.h"
#include "printing/Print.h"
#include "printing/ScreenPageSize.h"
#include "tables/TableItem.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitPartial = 1;
constexpr int ExitError = 2;

constexpr const char* Usage =
    "usage: xqconvert INPUT OUTPUT   convert INPUT to OUTPUT, formats chosen by extension\n"
    "       xqconvert --unicode INPUT OUTPUT.txt\n"
    "                                write the text as UTF-16 with a byte order mark, so that\n"
    "                                characters outside code page 1252 are kept\n"
    "       xqconvert INPUT OUTPUT.png [--width PX]\n"
    "                                lay INPUT out and paint it into a PNG picture, with lines\n"
    "                                PX pixels wide (default: the editor's text width for the\n"
    "                                document's page)\n"
    "       xqconvert INPUT OUTPUT.pdf\n"
    "                                lay INPUT out at the printed line width of its page (A4 unless\n"
    "                                its page settings say otherwise), cut it into pages and print\n"
    "                                every page with its header and footer into a PDF file\n"
    "       xqconvert --lines FILE   print the lines of FILE as the PDF output lays them out, one\n"
    "                                line of text per line (UTF-8), a form feed before each page\n"
    "       xqconvert --dump FILE    print the styles and items of FILE as JSON\n"
    "       xqconvert --help         show this help\n"
    "\n"
    "Formats: .txt plain text (8-bit or UTF-16 when reading, 8-bit when writing unless --unicode),\n"
    ".rtf, .png and .pdf (writing only), any other extension RVF (.rvf, .xtb, .dvl, .dpa, ...).\n"
    "Exit status: 0 done, 1 the input could be read only in part (what was read is still\n"
    "written), 2 usage or I/O error.\n";

int UsageError(const std::string& message)
{
    std::cerr << "xqconvert: " << message << "\n" << Usage;
    return ExitError;
}

/// The editor's state before a document is opened: its style sheet, item kinds and page.
struct TSession {
    TSession()
    {
        xq::RegisterListItemKinds();
        xq::RegisterTableItemKind();
        xq::SetupMainWindowStyleSheet(Sheet);
        Info.DocParameters = xq::MainWindowDocParameters();
    }

    xq::TRVStyle Sheet;
    xq::TCustomRVFormattedData Doc{&Sheet};
    xq::TRVDocumentInfo Info;
};

/// Pictures larger than this in either direction are refused rather than allocated.
constexpr int MaxPictureSide = 32000;

/// The width at which the editor breaks lines for a document's page when there is no printer.
int EditorTextWidth(const xq::TRVDocParameters& page)
{
    return xq::EditorTextWidth(xq::ScreenPageSize(xq::PageMetricsOf(page), xq::MarginsOf(page), 96, 96).Width);
}

bool HasExtension(const std::string& path, std::string_view wanted)
{
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == wanted;
}

bool IsPngPath(const std::string& path)
{
    return HasExtension(path, ".png");
}

bool IsPdfPath(const std::string& path)
{
    return HasExtension(path, ".pdf");
}

/// The application the Qt parts need; a headless run needs no display.
void StartQt(std::optional<QGuiApplication>& app)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "xqconvert";
    static char* argv[] = {name, nullptr};
    app.emplace(argc, argv);
}

/// What printing into a PDF file takes: the PDF printer, the print component and the page settings
/// of the document, which give margins, paper, orientation, header and footer as the editor prints
/// them; a document without them (RTF, text) gives its own margins.
struct TPdfJob {
    explicit TPdfJob(TSession& session) : Session(session)
    {
        if (!session.Info.DocProperties.empty()) {
            Setup.ReadPageSettings(session.Info.DocProperties);
        } else {
            const xq::TPrintMarginsMM margins = xq::MarginsOf(session.Info.DocParameters);
            Print.LeftMarginMM = static_cast<int>(std::lround(margins.Left));
            Print.RightMarginMM = static_cast<int>(std::lround(margins.Right));
            Print.TopMarginMM = static_cast<int>(std::lround(margins.Top));
            Print.BottomMarginMM = static_cast<int>(std::lround(margins.Bottom));
        }
        Print.OnPagePrepaint = xq::HeaderFooterPainter(State);
        LayOut();
        Print.SetPrinter(Pdf.get());
        Print.UseDocumentOf(session.Doc, &session.Info);
    }
    ~TPdfJob() { Print.SetPrinter(nullptr); }
    TPdfJob(const TPdfJob&) = delete;
    TPdfJob& operator=(const TPdfJob&) = delete;

    /// The document laid out as the editor lays it out for printing: at the line width of the
    /// page less the margins, measured as the printer's pages measure.
    void LayOut()
    {
        xq::TCustomRVFormattedData& doc = Session.Doc;
        const xq::TPrintMarginsMM margins{double(Print.LeftMarginMM), double(Print.TopMarginMM),
                                          double(Print.RightMarginMM), double(Print.BottomMarginMM)};
        const xq::TSize page = xq::ScreenPageSize(Pdf->PageMetrics(), margins, 96, 96);
        const int width = xq::EditorTextWidth(page.Width);
        doc.LeftMargin = xq::EditorLeftMargin;
        doc.RightMargin = xq::EditorRightMargin;
        doc.MinTextWidth = doc.MaxTextWidth = width;
        doc.Options.Exclude(xq::rvoShowPageBreaks);
        doc.ClientWidth = xq::EditorLeftMargin + width + xq::EditorRightMargin;
        doc.SetFormatCanvas(&Pdf->FormatCanvas());
        doc.FormatAll(false, true);
    }

    TSession& Session;
    std::unique_ptr<xq::TQtPrinter> Pdf = xq::TQtPrinter::Pdf();
    xq::TRVPrint Print;
    xq::TPageState State;
    xq::TPageSetup Setup{State, Print, Pdf.get()};
};

/// Prints the document into a PDF file with its page settings.
int RenderPdf(TSession& session, const std::string& output)
{
    std::optional<QGuiApplication> app;
    StartQt(app);
    TPdfJob job(session);
    std::string error;
    bool empty = false;
    const bool written = xq::WritePdfFileAtomically(output, *job.Pdf, [&] {
        if (job.Print.PaginateDocument() < 1) {
            empty = true;
            return false;
        }
        return job.Print.PrintAll("XQEditor", 1, false);
    }, &error);
    if (written)
        return ExitOk;
    if (empty)
        std::cerr << "xqconvert: " << output << ": the document has no page to print\n";
    else
        std::cerr << "xqconvert: " << error << "\n";
    return ExitError;
}

/// Writes the text of every line of the document as laid out for the PDF output, one per line,
/// with a form feed before the first line of every page after the first (as pdftotext does).
int PrintLines(TSession& session)
{
    std::optional<QGuiApplication> app;
    StartQt(app);
    TPdfJob job(session);
    job.Print.PaginateDocument();
    xq::TCustomRVFormattedData& doc = session.Doc;
    job.Print.AssignSoftPageBreaks(doc);
    const std::vector<xq::TRVSoftPageBreakInfo>& breaks = doc.SoftPageBreaks();
    std::size_t nextBreak = 0;

    const xq::TRVDrawLines& lines = doc.DrawItems();
    std::u16string line;
    bool any = false;
    for (int i = 0; i < lines.Count(); ++i) {
        const xq::TRVDrawLineInfo& piece = lines[i];
        if (piece.StartsLine()) {
            if (any)
                std::cout << xq::Utf16ToUtf8(line) << '\n';
            line.clear();
            any = true;
            if (nextBreak < breaks.size() && breaks[nextBreak].ItemNo == piece.ItemNo &&
                breaks[nextBreak].Offset == piece.FirstChar) {
                std::cout << '\f';
                ++nextBreak;
            }
        }
        if (piece.ItemNo < 0 || piece.ItemNo >= doc.Count() || !doc.ItemAt(piece.ItemNo).IsText() || piece.CharCount <= 0)
            continue;
        const std::u16string text = xq::TRVItemText::Of(doc, piece.ItemNo)
                                        .Utf16(session.Sheet.CodePageOfStyle(doc.ActualStyleOf(piece.ItemNo)));
        const std::size_t first = static_cast<std::size_t>(std::max(piece.FirstChar - 1, 0));
        if (first < text.size())
            line += text.substr(first, static_cast<std::size_t>(piece.CharCount));
    }
    if (any)
        std::cout << xq::Utf16ToUtf8(line) << '\n';
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "xqconvert: cannot write to standard output\n";
        return ExitError;
    }
    if (nextBreak != breaks.size()) {
        std::cerr << "xqconvert: " << breaks.size() - nextBreak << " page starts lie inside lines\n";
        return ExitError;
    }
    return ExitOk;
}

/// Lays the document out at width pixels on a real canvas and paints it into a PNG file.
int RenderPng(TSession& session, const std::string& output, int width)
{
    // Qt paints into an image.
    std::optional<QGuiApplication> app;
    StartQt(app);

    xq::TCustomRVFormattedData& doc = session.Doc;
    doc.LeftMargin = xq::EditorLeftMargin;
    doc.RightMargin = xq::EditorRightMargin;
    doc.MinTextWidth = doc.MaxTextWidth = width;
    // The picture shows the document as it prints: no page break marks.
    doc.Options.Exclude(xq::rvoShowPageBreaks);
    doc.ClientWidth = xq::EditorLeftMargin + width + xq::EditorRightMargin;
    xq::TQtCanvas measure(96, 96);
    doc.SetFormatCanvas(&measure);
    doc.FormatAll(false, true);

    const int imageWidth = doc.DocumentWidth();
    const int imageHeight = std::max(doc.TotalHeight(), 1);
    if (imageWidth > MaxPictureSide || imageHeight > MaxPictureSide) {
        std::cerr << "xqconvert: the document is " << imageWidth << " x " << imageHeight
                  << " pixels, more than a PNG picture of at most " << MaxPictureSide << " pixels a side\n";
        return ExitError;
    }
    QImage image(imageWidth, imageHeight, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::cerr << "xqconvert: not enough memory for a picture of " << imageWidth << " x " << imageHeight << "\n";
        return ExitError;
    }
    // 96 pixels per inch, as the layout measured.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    {
        xq::TQtCanvas canvas(&image);
        xq::TRVPaintRequest request;
        request.Rect = xq::TRect{0, 0, imageWidth, imageHeight};
        request.Focused = false;
        request.Color = session.Info.BackgroundColor;
        request.BackgroundStyle = session.Info.BackgroundStyle;
        request.BackgroundPicture = session.Info.BackgroundPicture.get();
        request.ClientWidth = imageWidth;
        request.ClientHeight = imageHeight;
        xq::PaintDocument(doc, canvas, request);
    }
    if (!image.save(QString::fromStdString(output), "PNG")) {
        std::cerr << "xqconvert: cannot write " << output << "\n";
        return ExitError;
    }
    return ExitOk;
}

/// Loads the input and reports problems; returns the exit status so far.
int Load(TSession& session, const std::string& path)
{
    const xq::TLoadResult result = xq::LoadDocumentFile(path, session.Sheet, session.Doc, session.Info);
    if (!result.Warnings.Empty())
        std::cerr << "xqconvert: warning: " << path << ": " << xq::DescribeWarnings(result.Warnings) << "\n";
    if (result.Ok)
        return ExitOk;
    std::cerr << "xqconvert: " << result.Error << "\n";
    if (result.Partial) {
        std::cerr << "xqconvert: " << path << ": " << session.Doc.Count()
                  << " items were read before the error; they are kept\n";
        return ExitPartial;
    }
    return ExitError;
}

int Convert(const std::string& input, const std::string& output, int width, bool unicode)
{
    TSession session;
    const int status = Load(session, input);
    if (status == ExitError)
        return status;
    if (IsPdfPath(output)) {
        const int printed = RenderPdf(session, output);
        return printed == ExitOk ? status : printed;
    }
    if (IsPngPath(output)) {
        const int rendered = RenderPng(session, output, width > 0 ? width : EditorTextWidth(session.Info.DocParameters));
        return rendered == ExitOk ? status : rendered;
    }
    if (unicode) {
        if (!xq::ExportTextFile(session.Doc, output, 80, true)) {
            std::cerr << "xqconvert: " << output << ": cannot be written\n";
            return ExitError;
        }
        return status;
    }
    std::string error;
    if (!xq::SaveDocumentFile(output, session.Sheet, session.Doc, session.Info, &error)) {
        std::cerr << "xqconvert: " << error << "\n";
        return ExitError;
    }
    return status;
}

int Lines(const std::string& path)
{
    TSession session;
    const int status = Load(session, path);
    if (status == ExitError)
        return status;
    const int printed = PrintLines(session);
    return printed == ExitOk ? status : printed;
}

int Dump(const std::string& path)
{
    TSession session;
    const int status = Load(session, path);
    if (status == ExitError)
        return status;
    std::cout << xq::DumpDocumentJson(session.Sheet, session.Doc, &session.Info);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "xqconvert: cannot write to standard output\n";
        return ExitError;
    }
    return status;
}

int Run(const std::vector<std::string>& args)
{
    bool dump = false;
    bool lines = false;
    bool unicode = false;
    bool optionsEnded = false;
    int width = 0;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--width") {
            if (i + 1 >= args.size())
                return UsageError("--width needs a number of pixels");
            const std::string& value = args[++i];
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), width);
            if (ec != std::errc() || end != value.data() + value.size() || width < 1 || width > MaxPictureSide)
                return UsageError("--width takes a number of pixels from 1 to " + std::to_string(MaxPictureSide));
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::cout << Usage;
            return ExitOk;
        } else if (!optionsEnded && arg == "--dump") {
            dump = true;
        } else if (!optionsEnded && arg == "--lines") {
            lines = true;
        } else if (!optionsEnded && arg == "--unicode") {
            unicode = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (dump && lines)
        return UsageError("--dump and --lines exclude each other");
    if (lines) {
        if (files.size() != 1)
            return UsageError("--lines takes exactly one FILE");
        return Lines(files[0]);
    }
    if (dump) {
        if (files.size() != 1)
            return UsageError("--dump takes exactly one FILE");
        return Dump(files[0]);
    }
    if (files.size() != 2)
        return UsageError("expected INPUT and OUTPUT");
    if (width > 0 && !IsPngPath(files[1]))
        return UsageError("--width applies only to PNG output");
    if (unicode && xq::FormatOfPath(files[1]) != xq::TFileFormat::Text)
        return UsageError("--unicode applies only to .txt output");
    return Convert(files[0], files[1], width, unicode);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "xqconvert: internal error: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "xqconvert: internal error\n";
    }
    return ExitError;
}

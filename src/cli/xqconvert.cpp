// xqconvert: converts documents between formats by extension, lays them out into PNG pictures,
// and dumps them as JSON.
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

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/DocumentFiles.h"
#include "formats/text/TextFormat.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "lists/ListItems.h"
#include "platform/qt/QtCanvas.h"
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
    "       xqconvert --dump FILE    print the styles and items of FILE as JSON\n"
    "       xqconvert --help         show this help\n"
    "\n"
    "Formats: .txt plain text (8-bit or UTF-16 when reading, 8-bit when writing unless --unicode),\n"
    ".rtf, .png (writing only), any other extension RVF (.rvf, .xtb, .dvl, .dpa, ...).\n"
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

bool IsPngPath(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png";
}

/// Lays the document out at width pixels on a real canvas and paints it into a PNG file.
int RenderPng(TSession& session, const std::string& output, int width)
{
    // A headless run needs no display: Qt paints into an image.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "xqconvert";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

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
        } else if (!optionsEnded && arg == "--unicode") {
            unicode = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
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

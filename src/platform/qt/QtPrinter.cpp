// TQtPrinter: pages, device settings, copies and page canvases of a QPrinter.
#include "platform/qt/QtPrinter.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <unistd.h>

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/FileIO.h"
#include "platform/qt/QtCanvas.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

struct TPaperNumber {
    QPageSize::PageSizeId Id;
    int Number;
};

/// The classic paper numbers that have a size of their own.
constexpr std::array PaperNumbers = {
    TPaperNumber{QPageSize::Letter, 1}, TPaperNumber{QPageSize::Legal, 5}, TPaperNumber{QPageSize::A3, 8},
    TPaperNumber{QPageSize::A4, 9},     TPaperNumber{QPageSize::A5, 11},
};
constexpr int CustomPaperNumber = 256;

/// The papers the PDF printer offers: any size is possible, these are the ones people ask for.
constexpr std::array PdfPapers = {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::Letter, QPageSize::Legal};

/// The resolution pages are made at when the printer reports none.
constexpr int FallbackDpi = 300;

} // namespace

int PaperNumberOf(QPageSize::PageSizeId id) noexcept
{
    for (const TPaperNumber& paper : PaperNumbers)
        if (paper.Id == id)
            return paper.Number;
    return CustomPaperNumber;
}

std::optional<QPageSize::PageSizeId> PageSizeOfPaper(int number) noexcept
{
    for (const TPaperNumber& paper : PaperNumbers)
        if (paper.Number == number)
            return paper.Id;
    return std::nullopt;
}

std::optional<TPrinterPageMetrics> PageMetricsOf(const QPrinter& printer)
{
    // The printable area is the sheet less the printer's own unprintable border.
    QPageLayout layout = printer.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    const int dpi = printer.resolution() > 0 ? printer.resolution() : FallbackDpi;
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    if (full.isEmpty() || paint.isEmpty())
        return std::nullopt;

    TPrinterPageMetrics metrics;
    metrics.DpiX = metrics.DpiY = dpi;
    metrics.PrintableWidth = paint.width();
    metrics.PrintableHeight = paint.height();
    metrics.OffsetX = paint.left() - full.left();
    metrics.OffsetY = paint.top() - full.top();
    metrics.PhysicalWidth = full.width();
    metrics.PhysicalHeight = full.height();
    return metrics;
}

std::vector<std::string> SystemPrinterNames()
{
    std::vector<std::string> names;
    const QString standard = QPrinterInfo::defaultPrinterName();
    if (!standard.isEmpty())
        names.push_back(standard.toStdString());
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        if (name != standard)
            names.push_back(name.toStdString());
    return names;
}

// --- TQtPrinter ----------------------------------------------------------------------------------------

TQtPrinter::TQtPrinter(std::unique_ptr<QPrinter> printer)
    : Printer_(std::move(printer)), Measure_(std::make_unique<TQtCanvas>(PageCanvasDpi, PageCanvasDpi)),
      Idle_(std::make_unique<TQtCanvas>(PageCanvasDpi, PageCanvasDpi))
{
    UseMinimumMargins();
}

TQtPrinter::~TQtPrinter()
{
    // A job still open is finished, so that the painter lets go of the printer before it goes.
    Page_.reset();
}

std::unique_ptr<TQtPrinter> TQtPrinter::System(const std::string& name)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
    if (info.isNull())
        return nullptr;
    return std::unique_ptr<TQtPrinter>(new TQtPrinter(std::make_unique<QPrinter>(info, QPrinter::HighResolution)));
}

std::unique_ptr<TQtPrinter> TQtPrinter::Pdf(const fs::path& file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setColorMode(QPrinter::Color);
    printer->setOutputFileName(QString::fromStdString(file.string()));
    return std::unique_ptr<TQtPrinter>(new TQtPrinter(std::move(printer)));
}

void TQtPrinter::UseMinimumMargins()
{
    // The painter's origin is then the top left corner of the printable area, as page canvases
    // promise, and the whole printable area is reachable.
    Printer_->setFullPage(false);
    const QPageLayout layout = Printer_->pageLayout();
    Printer_->setPageMargins(layout.minimumMargins(), layout.units());
}

void TQtPrinter::SetOutputFile(const fs::path& file)
{
    Printer_->setOutputFileName(QString::fromStdString(file.string()));
}

fs::path TQtPrinter::OutputFile() const
{
    return fs::path(Printer_->outputFileName().toStdString());
}

bool TQtPrinter::IsPdf() const
{
    return Printer_->outputFormat() == QPrinter::PdfFormat;
}

void TQtPrinter::SelectSystemPrinter(const std::string& name)
{
    Printer_->setOutputFileName(QString());
    Printer_->setOutputFormat(QPrinter::NativeFormat);
    Printer_->setPrinterName(QString::fromStdString(name));
    UseMinimumMargins();
}

std::string TQtPrinter::Name() const
{
    if (IsPdf())
        return std::string(PdfPrinterName);
    return Printer_->printerName().toStdString();
}

TPrinterPageMetrics TQtPrinter::PageMetrics() const
{
    if (std::optional<TPrinterPageMetrics> metrics = PageMetricsOf(*Printer_))
        return *metrics;
    // A printer that reports no page: an A4 sheet without border at the fallback resolution.
    TPrinterPageMetrics a4;
    a4.DpiX = a4.DpiY = FallbackDpi;
    a4.PhysicalWidth = a4.PrintableWidth = QPageSize(QPageSize::A4).sizePixels(FallbackDpi).width();
    a4.PhysicalHeight = a4.PrintableHeight = QPageSize(QPageSize::A4).sizePixels(FallbackDpi).height();
    return a4;
}

TPrinterDeviceSettings TQtPrinter::DeviceSettings() const
{
    TPrinterDeviceSettings settings;
    const QPageLayout layout = Printer_->pageLayout();
    settings.PaperNumber = PaperNumberOf(layout.pageSize().id());
    settings.PaperSizeSet = true;
    settings.Orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    if (IsPdf()) {
        for (QPageSize::PageSizeId id : PdfPapers)
            settings.Papers.push_back({QPageSize(id).name().toStdString(), PaperNumberOf(id)});
        settings.Monochrome = Printer_->colorMode() == QPrinter::GrayScale;
        return settings;
    }
    const QPrinterInfo info(*Printer_);
    for (const QPageSize& size : info.supportedPageSizes())
        settings.Papers.push_back({size.name().toStdString(), PaperNumberOf(size.id())});
    // Black only: the printer knows no colour, or the job was set to grey (in the print dialog).
    const QList<QPrinter::ColorMode> modes = info.supportedColorModes();
    settings.Monochrome = Printer_->colorMode() == QPrinter::GrayScale ||
                          (!modes.isEmpty() && !modes.contains(QPrinter::Color));
    return settings;
}

void TQtPrinter::ApplyDeviceSettings(const TPrinterDeviceSettings& settings)
{
    // Only this QPrinter changes; the queue's defaults in the system stay as they are.
    if (settings.PaperSizeSet)
        if (const std::optional<QPageSize::PageSizeId> id = PageSizeOfPaper(settings.PaperNumber))
            Printer_->setPageSize(QPageSize(*id));
    Printer_->setPageOrientation(settings.Orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    UseMinimumMargins();
}

bool TQtPrinter::CanCopy() const
{
    // Qt's PDF output writes every page once, whatever the copy count.
    return !IsPdf() && Printer_->supportsMultipleCopies();
}

int TQtPrinter::Copies() const
{
    return Printer_->copyCount();
}

void TQtPrinter::SetCopies(int copies)
{
    // Copies made by the printer are asked for collated: the print component sends the pages
    // itself when they are wanted otherwise.
    Printer_->setCopyCount(std::max(copies, 1));
    Printer_->setCollateCopies(true);
}

bool TQtPrinter::BeginDoc(const std::string& title)
{
    Page_.reset();
    Failed_ = false;
    if (IsPdf() && Printer_->outputFileName().isEmpty())
        return false;
    Printer_->setDocName(QString::fromStdString(title));
    // The canvas's painter starts the job.
    auto canvas = std::make_unique<TQtCanvas>(Printer_.get(), PageCanvasDpi, PageCanvasDpi);
    if (!canvas->Painting())
        return false;
    Page_ = std::move(canvas);
    return true;
}

void TQtPrinter::NewPage()
{
    if (Page_ && !Printer_->newPage())
        Failed_ = true;
}

bool TQtPrinter::EndDoc()
{
    if (!Page_)
        return false;
    Page_.reset(); // ends the painter, which finishes the file or hands the job to the queue
    return !Failed_ && Printer_->printerState() != QPrinter::Error && Printer_->printerState() != QPrinter::Aborted;
}

TCanvas& TQtPrinter::PageCanvas()
{
    return Page_ ? static_cast<TCanvas&>(*Page_) : static_cast<TCanvas&>(*Idle_);
}

TCanvas& TQtPrinter::FormatCanvas()
{
    return *Measure_;
}

// --- Writing PDF files ---------------------------------------------------------------------------------

bool WritePdfFileAtomically(const fs::path& path, TQtPrinter& pdfPrinter, const std::function<bool()>& print,
                            std::string* error)
{
    const auto fail = [&](const std::string& reason) {
        if (error)
            *error = path.string() + ": " + reason;
        return false;
    };
    std::error_code ec;
    // Writing through a symbolic link replaces the file it points to, not the link.
    fs::path target = path;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::canonical(path, ec);
        if (!ec)
            target = std::move(resolved);
    }
    if (target.filename().empty())
        return fail("not a file name");
    if (fs::is_directory(target, ec))
        return fail("is a directory");
    if (IsWriteProtected(target))
        return fail(std::strerror(EACCES));

    static std::atomic<unsigned> serial{0};
    const fs::path temp = target.parent_path() /
                          ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                           std::to_string(serial++) + ".tmp");
    pdfPrinter.SetOutputFile(temp);
    const bool printed = print();
    pdfPrinter.SetOutputFile({});
    if (!printed || !fs::is_regular_file(temp, ec) || fs::file_size(temp, ec) == 0) {
        fs::remove(temp, ec);
        return fail(printed ? "the PDF file could not be written" : "the pages could not be printed");
    }
    {
        // The pages reach the disk before the file takes the old one's place.
        QFile written(QString::fromStdString(temp.string()));
        if (written.open(QIODevice::ReadWrite))
            (void)::fsync(written.handle());
    }
    fs::rename(temp, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temp, ec);
        return fail(reason);
    }
    return true;
}

} // namespace xq

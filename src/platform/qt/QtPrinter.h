// TQtPrinter: the printer interface over a QPrinter - a system printer (a CUPS queue) or Qt's PDF
// output into a file, which counts as an installed printer as a PDF printer does on a desktop.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QPageSize>

#include "platform/Printer.h"

class QPrinter;

namespace xq {

class TQtCanvas;

/// The name of the PDF printer among the printers.
inline constexpr std::string_view PdfPrinterName = "PDF-Datei";

/// The classic paper number of a page size (1 Letter, 5 Legal, 8 A3, 9 A4, 11 A5, 256 any other).
[[nodiscard]] int PaperNumberOf(QPageSize::PageSizeId id) noexcept;
/// The page size of a classic paper number; none for 256 and numbers without a size.
[[nodiscard]] std::optional<QPageSize::PageSizeId> PageSizeOfPaper(int number) noexcept;

/// What a printer's page is, in its device pixels: the printable area is the sheet less the
/// printer's own unprintable border (its minimum margins). None when the printer reports no page.
[[nodiscard]] std::optional<TPrinterPageMetrics> PageMetricsOf(const QPrinter& printer);

/// The names of the installed system printers, the default one first.
[[nodiscard]] std::vector<std::string> SystemPrinterNames();

class TQtPrinter;

/// Writes a PDF file atomically: print makes the pages on a PDF printer whose output is a
/// temporary file beside path, which replaces path only when print returned true and the file
/// was finished. A write-protected path is refused; on failure path stays as it was and error
/// (when given) says why, in English.
[[nodiscard]] bool WritePdfFileAtomically(const std::filesystem::path& path, TQtPrinter& pdfPrinter,
                                          const std::function<bool()>& print, std::string* error = nullptr);

class TQtPrinter : public TRVPrinter {
public:
    /// A system printer by its queue name (see SystemPrinterNames).
    [[nodiscard]] static std::unique_ptr<TQtPrinter> System(const std::string& name);
    /// Qt's PDF output into file (which may be set later, before printing), on A4 unless told otherwise.
    [[nodiscard]] static std::unique_ptr<TQtPrinter> Pdf(const std::filesystem::path& file = {});

    ~TQtPrinter() override;
    TQtPrinter(const TQtPrinter&) = delete;
    TQtPrinter& operator=(const TQtPrinter&) = delete;

    /// The QPrinter underneath, for the print dialog, which may choose another printer on it.
    [[nodiscard]] QPrinter& QtPrinter() noexcept { return *Printer_; }
    /// The file a PDF printer writes (empty for a system printer).
    void SetOutputFile(const std::filesystem::path& file);
    [[nodiscard]] std::filesystem::path OutputFile() const;
    /// The printer writes a PDF file rather than sending to a queue.
    [[nodiscard]] bool IsPdf() const;
    /// Turns this printer into the system printer name (the print dialog's choice, or a test's).
    void SelectSystemPrinter(const std::string& name);

    // TRVPrinter
    [[nodiscard]] std::string Name() const override;
    [[nodiscard]] TPrinterPageMetrics PageMetrics() const override;
    [[nodiscard]] bool HasDeviceSettings() const override { return true; }
    [[nodiscard]] TPrinterDeviceSettings DeviceSettings() const override;
    void ApplyDeviceSettings(const TPrinterDeviceSettings& settings) override;
    [[nodiscard]] bool CanCopy() const override;
    [[nodiscard]] int Copies() const override;
    void SetCopies(int copies) override;
    bool BeginDoc(const std::string& title) override;
    void NewPage() override;
    bool EndDoc() override;
    [[nodiscard]] TCanvas& PageCanvas() override;
    [[nodiscard]] TCanvas& FormatCanvas() override;

private:
    explicit TQtPrinter(std::unique_ptr<QPrinter> printer);
    /// The printable area is the whole area inside the printer's minimum margins, and the painter's
    /// origin is its top left corner.
    void UseMinimumMargins();

    std::unique_ptr<QPrinter> Printer_;
    std::unique_ptr<TQtCanvas> Measure_;
    /// The canvas of the running job (it holds the printer's painter).
    std::unique_ptr<TQtCanvas> Page_;
    /// A canvas handed out outside a job: it draws nothing.
    std::unique_ptr<TQtCanvas> Idle_;
    bool Failed_ = false;
};

} // namespace xq

// TRVPrinter: what printing needs of a printer - its page, its device settings, copies, and a
// canvas per page. The Qt implementation prints through the system's printers (CUPS) or into a
// PDF file; tests use a printer that records its pages.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace xq {

class TCanvas;

/// What a printer reports about its page, in its own device pixels.
struct TPrinterPageMetrics {
    std::int32_t PrintableWidth = 0;   ///< width of the printable area
    std::int32_t PrintableHeight = 0;  ///< height of the printable area
    std::int32_t DpiX = 96;            ///< pixels per inch across
    std::int32_t DpiY = 96;            ///< pixels per inch down
    std::int32_t OffsetX = 0;          ///< left edge of the paper to the printable area
    std::int32_t OffsetY = 0;          ///< top edge of the paper to the printable area
    std::int32_t PhysicalWidth = 0;    ///< the whole sheet
    std::int32_t PhysicalHeight = 0;
};

/// A paper the printer offers: its name and its paper number.
struct TPrinterPaper {
    std::string Name;
    int Number = 0;
};

/// The device settings page setup reads and changes. Paper numbers are the classic printer paper
/// numbers (1 Letter, 5 Legal, 8 A3, 9 A4, 11 A5, 256 a size of the user's own).
struct TPrinterDeviceSettings {
    int PaperNumber = 9;
    /// The paper size is stated (the paper number means something).
    bool PaperSizeSet = false;
    int Orientation = 0; ///< 0 portrait, 1 landscape
    std::vector<TPrinterPaper> Papers;
    /// The printer prints in black only.
    bool Monochrome = false;
};

/// One printer of the program. Page canvases draw in pixels of PageCanvasDpi per inch with the
/// origin at the top left corner of the printable area, whatever the printer's resolution.
class TRVPrinter {
public:
    virtual ~TRVPrinter() = default;

    [[nodiscard]] virtual std::string Name() const = 0;
    /// The page as the current device settings make it.
    [[nodiscard]] virtual TPrinterPageMetrics PageMetrics() const = 0;
    /// False when the printer has no device settings (nothing to read or change).
    [[nodiscard]] virtual bool HasDeviceSettings() const = 0;
    [[nodiscard]] virtual TPrinterDeviceSettings DeviceSettings() const = 0;
    /// Changes the settings of this program's printer; the system's defaults stay as they are.
    virtual void ApplyDeviceSettings(const TPrinterDeviceSettings& settings) = 0;

    /// Whether the printer makes collated copies itself.
    [[nodiscard]] virtual bool CanCopy() const = 0;
    [[nodiscard]] virtual int Copies() const = 0;
    virtual void SetCopies(int copies) = 0;

    /// Starts a print job with the first page open; false when the printer cannot print.
    virtual bool BeginDoc(const std::string& title) = 0;
    /// Ends the page and opens the next one.
    virtual void NewPage() = 0;
    /// Finishes the job; false when the printer reported an error.
    virtual bool EndDoc() = 0;
    /// The canvas of the open page, between BeginDoc and EndDoc.
    [[nodiscard]] virtual TCanvas& PageCanvas() = 0;
    /// A canvas that measures text exactly as the page canvases draw it (drawing on it does
    /// nothing), at PageCanvasDpi.
    [[nodiscard]] virtual TCanvas& FormatCanvas() = 0;
};

/// The resolution of page canvases: the layout's screen pixels, so that a page is laid out with
/// the very measures of the editor and its lines break where the editor's do.
inline constexpr int PageCanvasDpi = 96;

} // namespace xq

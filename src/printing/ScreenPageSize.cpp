// The printable page converted to screen pixels.
#include "printing/ScreenPageSize.h"

#include <algorithm>
#include <cmath>

#include "document/DocParameters.h"

namespace xq {

namespace {

/// No page measures more pixels than this on any device: the sums below stay far from the
/// limits of 64 bits, and the results fit 32 bits whatever the printer or the document says.
constexpr std::int64_t MaxPagePixels = std::int64_t{1} << 30;

/// value * numerator / denominator rounded to the nearest, halves away from zero, within
/// +-MaxPagePixels.
std::int64_t MulDivRound(double value, double numerator, double denominator) noexcept
{
    const double exact = value * numerator / denominator;
    if (std::isnan(exact))
        return 0;
    return std::llround(std::clamp(exact, -double(MaxPagePixels), double(MaxPagePixels)));
}

std::int32_t PagePixels(std::int64_t pixels) noexcept
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(pixels, -MaxPagePixels, MaxPagePixels));
}

/// Millimetres to device pixels: pixels per millimetre is dpi * 5 / 127.
std::int64_t MillimetresToPixels(double mm, std::int32_t dpi) noexcept
{
    return MulDivRound(mm, double(dpi) * 5.0, 127.0);
}

} // namespace

TSize ScreenPageSize(const TPrinterPageMetrics& printer, const TPrintMarginsMM& margins, std::int32_t screenDpiX,
                     std::int32_t screenDpiY) noexcept
{
    // In 64 bits: a printer driver or a document may report any 32-bit numbers.
    std::int64_t width = printer.PrintableWidth;
    std::int64_t height = printer.PrintableHeight;
    const std::int64_t offsetX = printer.OffsetX, offsetY = printer.OffsetY;
    const std::int64_t physicalWidth = std::min<std::int64_t>(printer.PhysicalWidth, width + offsetX);
    const std::int64_t physicalHeight = std::min<std::int64_t>(printer.PhysicalHeight, height + offsetY);

    // The unprintable strips right and below are what the sheet has beyond the printable area.
    const std::int64_t left = std::max<std::int64_t>(0, MillimetresToPixels(margins.Left, printer.DpiX) - offsetX);
    const std::int64_t top = std::max<std::int64_t>(0, MillimetresToPixels(margins.Top, printer.DpiY) - offsetY);
    const std::int64_t right = std::max<std::int64_t>(
        0, MillimetresToPixels(margins.Right, printer.DpiX) - (physicalWidth - (width + offsetX)));
    const std::int64_t bottom = std::max<std::int64_t>(
        0, MillimetresToPixels(margins.Bottom, printer.DpiY) - (physicalHeight - (height + offsetY)));
    width -= left + right;
    height -= top + bottom;

    const std::int32_t dpiX = std::max(printer.DpiX, 1);
    const std::int32_t dpiY = std::max(printer.DpiY, 1);
    return TSize{PagePixels(MulDivRound(double(width), screenDpiX, dpiX) + 5),
                 PagePixels(MulDivRound(double(height), screenDpiY, dpiY) + 5)};
}

TPrinterPageMetrics PageMetricsOf(const TRVDocParameters& page) noexcept
{
    // PageWidth and PageHeight are the sheet as it lies, landscape or not.
    const double perInch = page.UnitsPerInch();
    TPrinterPageMetrics metrics;
    metrics.DpiX = metrics.DpiY = 96;
    metrics.PhysicalWidth = metrics.PrintableWidth = PagePixels(MulDivRound(page.PageWidth, 96.0, perInch));
    metrics.PhysicalHeight = metrics.PrintableHeight = PagePixels(MulDivRound(page.PageHeight, 96.0, perInch));
    return metrics;
}

TPrintMarginsMM MarginsOf(const TRVDocParameters& page) noexcept
{
    const double mmPerUnit = 25.4 / page.UnitsPerInch();
    return TPrintMarginsMM{page.LeftMargin * mmPerUnit, page.TopMargin * mmPerUnit, page.RightMargin * mmPerUnit,
                           page.BottomMargin * mmPerUnit};
}

std::int32_t EditorTextWidth(std::int32_t screenPageWidth) noexcept
{
    return std::max(screenPageWidth - EditorLeftMargin - EditorRightMargin, 1);
}

} // namespace xq

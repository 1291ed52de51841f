// The printable page converted to screen pixels.
#include "printing/ScreenPageSize.h"

#include <algorithm>
#include <cmath>

#include "document/DocParameters.h"

namespace xq {

namespace {

/// value * numerator / denominator rounded to the nearest, halves away from zero.
std::int32_t MulDivRound(double value, double numerator, double denominator) noexcept
{
    return static_cast<std::int32_t>(std::lround(value * numerator / denominator));
}

/// Millimetres to device pixels: pixels per millimetre is dpi * 5 / 127.
std::int32_t MillimetresToPixels(double mm, std::int32_t dpi) noexcept
{
    return MulDivRound(mm, double(dpi) * 5.0, 127.0);
}

} // namespace

TSize ScreenPageSize(const TPrinterPageMetrics& printer, const TPrintMarginsMM& margins, std::int32_t screenDpiX,
                     std::int32_t screenDpiY) noexcept
{
    std::int32_t width = printer.PrintableWidth;
    std::int32_t height = printer.PrintableHeight;
    const std::int32_t physicalWidth = std::min(printer.PhysicalWidth, width + printer.OffsetX);
    const std::int32_t physicalHeight = std::min(printer.PhysicalHeight, height + printer.OffsetY);

    // The unprintable strips right and below are what the sheet has beyond the printable area.
    const std::int32_t left = std::max(0, MillimetresToPixels(margins.Left, printer.DpiX) - printer.OffsetX);
    const std::int32_t top = std::max(0, MillimetresToPixels(margins.Top, printer.DpiY) - printer.OffsetY);
    const std::int32_t right = std::max(
        0, MillimetresToPixels(margins.Right, printer.DpiX) - (physicalWidth - (width + printer.OffsetX)));
    const std::int32_t bottom = std::max(
        0, MillimetresToPixels(margins.Bottom, printer.DpiY) - (physicalHeight - (height + printer.OffsetY)));
    width -= left + right;
    height -= top + bottom;

    const std::int32_t dpiX = std::max(printer.DpiX, 1);
    const std::int32_t dpiY = std::max(printer.DpiY, 1);
    return TSize{MulDivRound(width, screenDpiX, dpiX) + 5, MulDivRound(height, screenDpiY, dpiY) + 5};
}

TPrinterPageMetrics PageMetricsOf(const TRVDocParameters& page) noexcept
{
    // PageWidth and PageHeight are the sheet as it lies, landscape or not.
    const double perInch = page.UnitsPerInch();
    TPrinterPageMetrics metrics;
    metrics.DpiX = metrics.DpiY = 96;
    metrics.PhysicalWidth = metrics.PrintableWidth = MulDivRound(page.PageWidth, 96.0, perInch);
    metrics.PhysicalHeight = metrics.PrintableHeight = MulDivRound(page.PageHeight, 96.0, perInch);
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

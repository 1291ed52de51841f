// The printable page in screen pixels: the width at which the editor breaks lines so that they
// break on screen where they will break on paper.
#pragma once

#include <cstdint>

#include "platform/Canvas.h"
#include "platform/Printer.h"

namespace xq {

class TRVDocParameters;

/// The print margins in millimetres, measured from the paper's edges.
struct TPrintMarginsMM {
    double Left = 20;
    double Top = 20;
    double Right = 20;
    double Bottom = 20;
};

/// The editor's own margins around the text, screen pixels.
inline constexpr std::int32_t EditorLeftMargin = 5;
inline constexpr std::int32_t EditorRightMargin = 10;

/// The printable area less the margins, converted to a screen of screenDpiX x screenDpiY, plus the
/// 5 pixels the editor has always added to both sides of the size. The left and top margins count
/// from the paper's edge, so the offset of the printable area is taken off them; the sheet is cut to
/// the printable area plus that offset, so the right and bottom margins count from the printable
/// area's edge. A margin inside the unprintable border counts as 0.
[[nodiscard]] TSize ScreenPageSize(const TPrinterPageMetrics& printer, const TPrintMarginsMM& margins,
                                   std::int32_t screenDpiX, std::int32_t screenDpiY) noexcept;

/// The page of a document's parameters as a printer without unprintable border at 96 pixels per
/// inch would report it: the page when no printer is installed.
[[nodiscard]] TPrinterPageMetrics PageMetricsOf(const TRVDocParameters& page) noexcept;
/// The document's margins in millimetres.
[[nodiscard]] TPrintMarginsMM MarginsOf(const TRVDocParameters& page) noexcept;

/// The line width of the editor for a screen page width: less the editor's own margins, at least 1.
[[nodiscard]] std::int32_t EditorTextWidth(std::int32_t screenPageWidth) noexcept;

} // namespace xq

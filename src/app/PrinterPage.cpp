// The default printer's page from Qt's printer information.
#include "app/PrinterPage.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace xq {

std::optional<TPrinterPageMetrics> DefaultPrinterPage()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty())
            return std::nullopt;
        info = printers.first();
    }
    QPrinter printer(info, QPrinter::HighResolution);
    // The printable area is the sheet less the printer's own unprintable border.
    QPageLayout layout = printer.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    const int dpi = printer.resolution() > 0 ? printer.resolution() : 300;
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

} // namespace xq

// The printable page in screen pixels, with and without a printer.
#include <gtest/gtest.h>

#include "document/DocParameters.h"
#include "printing/ScreenPageSize.h"

namespace xq {
namespace {

/// An A4 sheet at 600 dpi with a border of 100 pixels all round that the printer cannot reach.
TPrinterPageMetrics A4At600()
{
    TPrinterPageMetrics p;
    p.DpiX = p.DpiY = 600;
    p.PhysicalWidth = 4961;
    p.PhysicalHeight = 7016;
    p.OffsetX = p.OffsetY = 100;
    p.PrintableWidth = 4961 - 200;
    p.PrintableHeight = 7016 - 200;
    return p;
}

TEST(ScreenPageSizeTest, PrinterPageLessMarginsAtScreenResolution)
{
    // 10 mm is 236 pixels at 600 dpi. Left: 236 - 100 of offset; right: 236 from the printable
    // area's edge (the sheet counts only up to it). 4761 - 136 - 236 = 4389 -> 702.24 at 96 dpi.
    const TSize size = ScreenPageSize(A4At600(), TPrintMarginsMM{10, 10, 10, 10}, 96, 96);
    EXPECT_EQ(size.Width, 702 + 5);
    EXPECT_EQ(EditorTextWidth(size.Width), 707 - 15) << "less the editor's own 5 + 10 pixels";
    // 6816 - 136 - 236 = 6444 -> 1031.04
    EXPECT_EQ(size.Height, 1031 + 5);

    // Margins inside the unprintable border count as 0: only the printable area remains.
    const TSize narrow = ScreenPageSize(A4At600(), TPrintMarginsMM{2, 2, 0, 0}, 96, 96);
    EXPECT_EQ(narrow.Width, 762 + 5) << "4761 at 600 dpi is 761.76";

    // A screen of another resolution converts to that.
    EXPECT_EQ(ScreenPageSize(A4At600(), TPrintMarginsMM{10, 10, 10, 10}, 120, 120).Width, 878 + 5);
}

TEST(ScreenPageSizeTest, WithoutPrinterThePageOfTheDocumentCounts)
{
    // The main window's page: A4, 20 mm all round. 794 - 76 - 76 = 642.
    const TRVDocParameters page = MainWindowDocParameters();
    const TSize size = ScreenPageSize(PageMetricsOf(page), MarginsOf(page), 96, 96);
    EXPECT_EQ(size.Width, 647);
    EXPECT_EQ(size.Height, 1123 - 152 + 5);
    EXPECT_EQ(EditorTextWidth(size.Width), 632);

    // The engine's default page is given in inches: 1.25 inch margins are 120 pixels.
    const TRVDocParameters inches;
    EXPECT_EQ(ScreenPageSize(PageMetricsOf(inches), MarginsOf(inches), 96, 96).Width, 794 - 240 + 5);

    // A landscape page is as wide as it is given.
    TRVDocParameters landscape = page;
    landscape.Orientation = poLandscape;
    landscape.PageWidth = 297;
    landscape.PageHeight = 210;
    EXPECT_EQ(ScreenPageSize(PageMetricsOf(landscape), MarginsOf(landscape), 96, 96).Width, 1123 - 152 + 5);
}

TEST(ScreenPageSizeTest, TextWidthNeverFallsBelowOnePixel)
{
    // Margins wider than the sheet leave nothing; the editor still gets a width to break lines at.
    const TSize none = ScreenPageSize(A4At600(), TPrintMarginsMM{200, 10, 200, 10}, 96, 96);
    EXPECT_LT(none.Width, 0);
    EXPECT_EQ(EditorTextWidth(none.Width), 1);
}

} // namespace
} // namespace xq

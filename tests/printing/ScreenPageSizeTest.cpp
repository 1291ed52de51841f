// The printable page in screen pixels, with and without a printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "document/DocParameters.h"
#include "document/LengthBounds.h"
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

TEST(ScreenPageSizeTest, ExtremePrintersAndMarginsGiveSizesOfThirtyTwoBits)
{
    // A printer may report anything: every 32-bit field at its limit.
    TPrinterPageMetrics wild;
    wild.PrintableWidth = wild.PrintableHeight = INT32_MAX;
    wild.PhysicalWidth = wild.PhysicalHeight = INT32_MAX;
    wild.OffsetX = wild.OffsetY = INT32_MIN;
    wild.DpiX = wild.DpiY = INT32_MAX;
    const TSize huge = ScreenPageSize(wild, TPrintMarginsMM{1e300, -1e300, 1e9, NAN}, 96, 96);
    EXPECT_GT(huge.Width, -(1 << 30) - 1);
    EXPECT_LT(huge.Width, (1 << 30) + 1);
    EXPECT_LT(huge.Height, (1 << 30) + 1);
    EXPECT_EQ(EditorTextWidth(huge.Width), std::max(huge.Width - 15, 1));

    // A sheet of a tenth of a micrometre with margins of a thousand kilometres, as a file says.
    TRVDocParameters page;
    page.ReadRvfLines({"Units=0", "PageHeight=0.0001", "PageWidth=0.0001", "LeftMargin=1e9", "RightMargin=1e9"});
    const TSize tiny = ScreenPageSize(PageMetricsOf(page), MarginsOf(page), 96, 96);
    const int tenMetres = static_cast<int>(MaxPageMillimetres / 25.4 * 96 + 0.5);
    EXPECT_EQ(tiny.Width, 0 - 2 * tenMetres + 5) << "both margins held at ten metres";
    EXPECT_EQ(EditorTextWidth(tiny.Width), 1);

    // Without the bound on reading, the margins still convert without overflow.
    page.LeftMargin = page.RightMargin = 1e300;
    const TSize unread = ScreenPageSize(PageMetricsOf(page), MarginsOf(page), 96, 96);
    EXPECT_LT(unread.Width, 0);
    EXPECT_GE(unread.Width, -(1 << 30));
}

} // namespace
} // namespace xq

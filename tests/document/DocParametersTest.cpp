// Tests of the page parameters: unit conversion, the RVF record lines and the RTF page group.
#include "document/DocParameters.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <locale>
#include <stdexcept>
#include <utility>

#include "document/LengthBounds.h"
#include "platform/ScreenUnits.h"

namespace xq {
namespace {

using Lines = std::vector<std::string>;

TRVDocParameters ReadBack(const TRVDocParameters& params)
{
    TRVDocParameters read = MainWindowDocParameters();   // reading must reset these first
    read.ReadRvfLines(params.RvfLines());
    return read;
}

std::string Rtf(const TRVDocParameters& params)
{
    std::string out;
    params.WriteRtf(out);
    return out;
}

TEST(DocParametersUnits, TwipsFollowTheUnitsPerInch)
{
    TRVDocParameters params = MainWindowDocParameters();
    EXPECT_EQ(params.ToTwips(20.0), 1134);
    EXPECT_DOUBLE_EQ(params.FromTwips(1134), 20.0025);
    params.Units = rvuInches;
    EXPECT_EQ(params.ToTwips(-1.25), -1800);
    EXPECT_EQ(params.ToTwips(0.0003), 0);   // 0.432 twips
    EXPECT_EQ(params.ToTwips(0.0004), 1);   // 0.576 twips
    params.Units = rvuPicas;
    EXPECT_EQ(params.ToTwips(1.0), 240);
    params.Units = rvuPoints;
    EXPECT_DOUBLE_EQ(params.FromTwips(30), 1.5);
    params.Units = rvuPixels;
    EXPECT_EQ(params.ToTwips(PixelsPerInchOverride), 1440);
    EXPECT_EQ(params.ToTwips(1e300), INT_MAX);
    EXPECT_EQ(params.ToTwips(-1e300), INT_MIN);
    EXPECT_EQ(params.ToTwips(NAN), 0);
}

TEST(DocParametersRvf, DefaultsWriteNoLinesAndReadingAnEmptyRecordRestoresThem)
{
    EXPECT_TRUE(TRVDocParameters{}.RvfLines().empty());
    const TRVDocParameters read = ReadBack(TRVDocParameters{});
    EXPECT_TRUE(read.IsDefault());
    EXPECT_EQ(read, TRVDocParameters{});
}

TEST(DocParametersRvf, OnlyChangedFieldsAreWrittenInRecordOrder)
{
    EXPECT_EQ(MainWindowDocParameters().RvfLines(),
              (Lines{"Units=2", "PageHeight=297", "PageWidth=210", "LeftMargin=20", "RightMargin=20", "TopMargin=20",
                     "BottomMargin=20", "HeaderY=20", "FooterY=20"}));
    TRVDocParameters landscape;
    landscape.Orientation = poLandscape;
    EXPECT_EQ(landscape.RvfLines(), Lines{"Orientation=1"});

    const TRVDocParameters all{842.25, 595.5, rvuPoints, poLandscape, 36, 40.5, 0, 72.125, 18, 1e-7, -20,
                               rvzmFullPage, true};
    const Lines lines = all.RvfLines();
    EXPECT_EQ(lines, (Lines{"Units=5", "Orientation=1", "PageHeight=595.5", "PageWidth=842.25", "LeftMargin=36",
                            "RightMargin=40.5", "TopMargin=0", "BottomMargin=72.125", "HeaderY=18", "FooterY=1e-07",
                            "ZoomPercent=-20", "ZoomMode=0", "MirrorMargins=1"}));
    EXPECT_EQ(all.NonDefaultCount(), static_cast<int>(lines.size()));
    EXPECT_EQ(ReadBack(all), all);
    EXPECT_EQ(ReadBack(MainWindowDocParameters()), MainWindowDocParameters());
}

TEST(DocParametersRvf, LengthsReadBackExactlyOrToFifteenDigits)
{
    // Twelve significant digits, and exponents, within the lengths a page can have.
    for (const double value : {8.2677165354, 1e-7, 0.1, 123.456789125, 5e-324, 1e-300}) {
        TRVDocParameters params;
        params.LeftMargin = value;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(ReadBack(params).LeftMargin), std::bit_cast<std::uint64_t>(value))
            << params.RvfLines().at(0);
    }
    TRVDocParameters params;   // these need 16 and 17 digits to read back exactly
    params.TopMargin = 0.1 + 0.2;
    params.BottomMargin = 1.0 / 3.0;
    EXPECT_EQ(params.RvfLines(), (Lines{"TopMargin=0.3", "BottomMargin=0.333333333333333"}));
    EXPECT_EQ(ReadBack(params).BottomMargin, 0.333333333333333);
}

TEST(DocParametersRvf, LengthsStayOnASheetOfAtMostTenMetres)
{
    const auto read = [](const Lines& lines) {
        TRVDocParameters params;
        params.ReadRvfLines(lines);
        return params;
    };
    const double inches = MaxPageMillimetres / 25.4;
    const TRVDocParameters huge =
        read({"PageHeight=1e300", "PageWidth=123456789.125", "LeftMargin=1e9", "RightMargin=-1e9", "TopMargin=-0.5",
              "BottomMargin=393.7", "HeaderY=4000", "FooterY=-1e-300"});
    EXPECT_EQ(huge.PageHeight, inches);
    EXPECT_EQ(huge.PageWidth, inches);
    EXPECT_EQ(huge.LeftMargin, inches);
    EXPECT_EQ(huge.RightMargin, 0.0) << "a negative margin is none";
    EXPECT_EQ(huge.TopMargin, 0.0);
    EXPECT_EQ(huge.BottomMargin, 393.7) << "just inside the bound";
    EXPECT_EQ(huge.HeaderY, inches);
    EXPECT_EQ(huge.FooterY, 0.0);

    // The bound is ten metres in every unit; a unit that comes after the lengths is applied too.
    EXPECT_EQ(read({"Units=2", "LeftMargin=1e9"}).LeftMargin, MaxPageMillimetres);
    EXPECT_EQ(read({"Units=5", "LeftMargin=1e9"}).LeftMargin, inches * 72.0);
    EXPECT_EQ(read({"Units=4", "LeftMargin=30000"}).LeftMargin, 30000.0) << "pixels at 96 per inch";
    EXPECT_EQ(read({"Units=5", "LeftMargin=9000"}).LeftMargin, 9000.0) << "9000 points fit";
    EXPECT_EQ(read({"Units=5", "LeftMargin=9000", "Units=0"}).LeftMargin, inches) << "9000 inches do not";

    // What the main window writes reads back unchanged, tiny pages included.
    const TRVDocParameters tiny = read({"Units=0", "PageHeight=0.0001", "PageWidth=0.0001"});
    EXPECT_EQ(tiny.PageWidth, 0.0001);
    EXPECT_EQ(ReadBack(MainWindowDocParameters()), MainWindowDocParameters());
}

TEST(DocParametersRvf, LengthsUseAPointInAGermanLocale)
{
    std::locale german;
    try {
        german = std::locale("de_DE.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    struct RestoreLocale {
        std::locale previous;
        ~RestoreLocale() { std::locale::global(previous); }
    } restore{std::locale::global(german)};
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");

    TRVDocParameters params;
    params.LeftMargin = 12.5;
    EXPECT_EQ(params.RvfLines(), Lines{"LeftMargin=12.5"});
    params.ApplyRvfLine("TopMargin=2.75");
    EXPECT_EQ(params.TopMargin, 2.75);
}

TEST(DocParametersRvf, MalformedLinesAreIgnored)
{
    const TRVDocParameters before = MainWindowDocParameters();
    for (const std::string_view line :
         {"Units=abc", "=", "Units", "", "Units=99", "Units=-1", "Units=6", "Units=3x", "Units= 3", "units=3",
          "Units =3", "Orientation=2", "ZoomMode=3", "MirrorMargins=2", "ZoomPercent=99999999999", "ZoomPercent=+5",
          "ZoomPercent=50%", "PageWidth=1e999", "PageWidth=nan", "PageWidth=inf", "PageWidth=12,5", "PageWidth=.",
          "LeftMargin==4"}) {
        TRVDocParameters params = before;
        params.ApplyRvfLine(line);
        EXPECT_EQ(params, before) << '"' << line << '"';
    }
}

TEST(DocParametersRtf, PageGroupInTwips)
{
    EXPECT_EQ(Rtf(MainWindowDocParameters()), "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134"
                                               "\\headery1134\\footery1134\\viewscale100\\viewzk0\r\n");
    TRVDocParameters params;
    params.Orientation = poLandscape;
    std::swap(params.PageWidth, params.PageHeight);
    params.ZoomPercent = 75;
    params.ZoomMode = rvzmFullPage;
    params.MirrorMargins = true;
    EXPECT_EQ(Rtf(params), "\\landscape\\paperw16838\\paperh11906\\margl1800\\margr1800\\margt1440\\margb1440"
                           "\\viewscale75\\viewzk1\\margmirror\r\n");
    TRVDocParameters pageWidth;
    pageWidth.HeaderY = 0.75;
    pageWidth.ZoomMode = rvzmPageWidth;
    EXPECT_EQ(Rtf(pageWidth), "\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440\\headery1080"
                              "\\viewscale100\\viewzk2\r\n");
}

TEST(DocParametersRtf, HeaderDistancesAreWrittenUnlessHalfAnInch)
{
    // 0.5 in millimetres is no default: a reader would take half an inch.
    TRVDocParameters mm = MainWindowDocParameters();
    mm.HeaderY = 0.5;
    mm.FooterY = 12.7;
    const std::string rtf = Rtf(mm);
    EXPECT_NE(rtf.find("\\headery28\\viewscale"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find("\\footery"), std::string::npos) << rtf;
}

} // namespace
} // namespace xq

// Line layout rules: the fit search, tab stops, justification shares and line spacing.
#include <gtest/gtest.h>

#include "layout/LineRules.h"

namespace xq {
namespace {

TEST(LineRules, FitSearchFindsTheLongestFittingPrefix)
{
    // Characters of 7 pixels: 10 of them fit into 74 pixels, 11 do not.
    int calls = 0;
    auto even = [&calls](int n) {
        ++calls;
        return n * 7;
    };
    EXPECT_EQ(InterpolationFit(40, 74, even), 10);
    EXPECT_LE(calls, 3) << "even widths are found at the first estimate";
    EXPECT_EQ(InterpolationFit(40, 280, even), 40) << "everything fits";
    EXPECT_EQ(InterpolationFit(40, 6, even), 0);
    EXPECT_EQ(InterpolationFit(40, 0, even), 0);
    EXPECT_EQ(InterpolationFit(40, 70, even), 10) << "an exact fit ends the search";

    // Uneven widths: wide characters first, narrow ones later.
    auto uneven = [](int n) {
        int w = 0;
        for (int i = 0; i < n; ++i)
            w += i < 5 ? 20 : 3;
        return w;
    };
    for (int available = 0; available < 200; ++available) {
        const int fit = InterpolationFit(30, available, uneven);
        EXPECT_LE(fit == 0 ? 0 : uneven(fit), available) << available;
        if (fit < 30) {
            EXPECT_GT(uneven(fit + 1), available) << available;
        }
    }
}

TEST(LineRules, TabStops)
{
    TParaInfo para;
    const TRVDeviceScale screen;
    // No stops: multiples of the default width.
    EXPECT_EQ(FindTabStop(para, 0, 0, 48, screen).Position, 48);
    EXPECT_EQ(FindTabStop(para, 48, 0, 48, screen).Position, 96) << "the next stop lies beyond x";
    EXPECT_EQ(FindTabStop(para, 10, 30, 48, screen).Position, 30) << "the left indent is a stop";

    para.Tabs.Add(100, rvtaRight, ".");
    para.Tabs.Add(200, rvtaCenter);
    TRVTabStop stop = FindTabStop(para, 20, 0, 48, screen);
    EXPECT_EQ(stop.Position, 100);
    EXPECT_EQ(stop.Align, rvtaRight);
    EXPECT_EQ(stop.Leader, ".");
    EXPECT_EQ(FindTabStop(para, 150, 0, 48, screen).Align, rvtaCenter);
    EXPECT_EQ(FindTabStop(para, 10, 60, 48, screen).Position, 60) << "an indent before the next stop comes first";
    stop = FindTabStop(para, 250, 0, 48, screen);
    EXPECT_EQ(stop.Position, 288) << "past the last stop the default stops go on";
    EXPECT_EQ(stop.Align, rvtaLeft);

    const TRVDeviceScale printer{96, 96, 600, 600, 0};
    EXPECT_EQ(FindTabStop(para, 0, 0, 48, printer).Position, 625) << "stops are scaled to the device";
}

TEST(LineRules, JustifySharesAddUpToTheFreeSpace)
{
    EXPECT_EQ(JustifyShares(10, 3), (std::vector<std::int32_t>{3, 3, 4}));
    EXPECT_EQ(JustifyShares(2, 4), (std::vector<std::int32_t>{0, 0, 1, 1}));
    EXPECT_EQ(JustifyShares(7, 1), (std::vector<std::int32_t>{7}));
    EXPECT_TRUE(JustifyShares(5, 0).empty());
}

TEST(LineRules, LineSpacing)
{
    TParaInfo para;
    const TRVDeviceScale screen;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, screen), 0);
    para.LineSpacing = 150;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, screen), 10);
    para.LineSpacing = 49;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, screen), 0) << "below 50 percent counts as single";
    para.LineSpacing = 200;
    EXPECT_EQ(LineSpacingGap(para, 5, 20, screen), 15);
    para.LineSpacingType = rvlsSpaceBetween;
    para.LineSpacing = 6;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, TRVDeviceScale{96, 96, 600, 600, 0}), 38);
}

} // namespace
} // namespace xq

// Scroll units: ten pixels, growing only for documents too long for the scroll bar's range.
#include <gtest/gtest.h>

#include "layout/ScrollUnits.h"

namespace xq {
namespace {

TEST(ScrollUnitsTest, UnitGrowsOnlyBeyondTheScrollBarsRange)
{
    EXPECT_EQ(VScrollUnit(1000, true), 10);
    EXPECT_EQ(VScrollUnit(320000, true), 10) << "exactly 32000 units still fit";
    EXPECT_EQ(VScrollUnit(320010, true), 11) << "32001 units of 10: 320010 / 32000 = 10 is still too small";
    EXPECT_EQ(VScrollUnit(929640, true), 30) << "929640 / 32000 = 29, which gives 32056 units: one more";
    EXPECT_EQ(VScrollUnit(960000, true), 30);
    EXPECT_EQ(VScrollUnit(929640, false), 10) << "without the scroll bar the unit stays";
}

TEST(ScrollUnitsTest, WheelNotches)
{
    EXPECT_EQ(WheelNotchPixels(20, 3, false, 10, 500), 200) << "the main window's step: 20 units";
    EXPECT_EQ(WheelNotchPixels(2, 3, false, 10, 500), 20) << "the default step";
    EXPECT_EQ(WheelNotchPixels(2, 5, false, 10, 500), 30) << "2 x 5 / 3 = 3.33, rounded to 3 units";
    EXPECT_EQ(WheelNotchPixels(20, -1, false, 10, 500), 200) << "unreadable setting counts as 3 lines";
    EXPECT_EQ(WheelNotchPixels(20, 3, true, 10, 500), 500) << "page-wise: one client height";
    EXPECT_EQ(WheelNotchPixels(0, 3, false, 10, 500), 0) << "step 0: no wheel scrolling";
}

} // namespace
} // namespace xq

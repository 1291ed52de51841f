// List marker extents on the test canvas (glyph widths as TestCanvas.h defines them).
#include <gtest/gtest.h>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "layout/MarkerMetrics.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"
#include "platform/TestCanvas.h"

namespace xq {
namespace {

class MarkerMetricsTest : public ::testing::Test {
protected:
    MarkerMetricsTest() { SetupMainWindowStyleSheet(Sheet); }

    TRVMarkerItemInfo& AddMarker(int listNo)
    {
        auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, 0);
        TRVMarkerItemInfo& ref = *marker;
        Doc.AppendItem({}, std::move(marker));
        Doc.AppendText("Text", 0, -1);
        return ref;
    }

    int NumberedList(TRVMarkerAlignment alignment)
    {
        TRVListInfo& list = Sheet.ListStyles.Add();
        TRVListLevel& level = list.Levels.Add();
        level.ListType = rvlstDecimal;
        level.FormatString = "%0:s.";
        level.MarkerAlignment = alignment;
        level.EditFont().Size = 10; // em 13: "1" is 6 pixels, "." 3
        return Sheet.ListStyles.Count() - 1;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TTestCanvas Canvas;
};

TEST_F(MarkerMetricsTest, BulletOfTheBulletsCommand)
{
    // An empty size box gives Wingdings 10 pt: em 13, "l" 3 pixels wide, height 15, descent 3;
    // marker at 2, text at 24.
    const TRVMarkerItemInfo& marker = AddMarker(BulletsCommandList(Sheet, ""));
    const TRVMarkerExtent e = MeasureMarker(Sheet, marker, Canvas, TRVDeviceScale{});
    EXPECT_EQ(e.ContentWidth, 3);
    EXPECT_EQ(e.Height, 15);
    EXPECT_EQ(e.Descent, 3);
    EXPECT_EQ(e.LeftPart, 0);
    EXPECT_EQ(e.RightPart, 3);
    EXPECT_EQ(e.Width, 22) << "the text starts 22 pixels after the marker position";
    EXPECT_EQ(MarkerDrawText(*Sheet.ListStyles[0].Levels.begin(), marker), u"l");

    const TRVMarkerExtent printed = MeasureMarker(Sheet, marker, Canvas, TRVDeviceScale{96, 96, 600, 600, 0});
    EXPECT_EQ(printed.Width, 138) << "indents scaled to 600 dpi";
}

TEST_F(MarkerMetricsTest, AlignmentSplitsTheContent)
{
    const TRVMarkerItemInfo& right = AddMarker(NumberedList(rvmaRight));
    TRVMarkerExtent e = MeasureMarker(Sheet, right, Canvas, TRVDeviceScale{});
    EXPECT_EQ(e.ContentWidth, 9);
    EXPECT_EQ(e.LeftPart, 9);
    EXPECT_EQ(e.RightPart, 0);
    EXPECT_EQ(e.Width, 9 + 10) << "left part plus the default first indent";

    const TRVMarkerItemInfo& centre = AddMarker(NumberedList(rvmaCenter));
    e = MeasureMarker(Sheet, centre, Canvas, TRVDeviceScale{});
    EXPECT_EQ(e.LeftPart, 5);
    EXPECT_EQ(e.RightPart, 4);
}

TEST_F(MarkerMetricsTest, MarkersWithoutListsHaveNoExtent)
{
    const TRVMarkerItemInfo& marker = AddMarker(-1);
    const TRVMarkerExtent e = MeasureMarker(Sheet, marker, Canvas, TRVDeviceScale{});
    EXPECT_EQ(e.Width, 0);
    EXPECT_EQ(e.Height, 0);
}

} // namespace
} // namespace xq

// The draw item list: slots of a reformatted range are reused, and the list shifts only when
// a range grows or shrinks.
#include <gtest/gtest.h>

#include "layout/DrawLines.h"
#include "platform/DocViewError.h"

namespace xq {
namespace {

std::unique_ptr<TRVDrawLineInfo> Piece(int itemNo)
{
    auto d = std::make_unique<TRVDrawLineInfo>();
    d->ItemNo = itemNo;
    return d;
}

std::vector<int> ItemNos(const TRVDrawLines& lines)
{
    std::vector<int> out;
    for (int i = 0; i < lines.Count(); ++i)
        out.push_back(lines[i].ItemNo);
    return out;
}

TRVDrawLines Numbered(int n)
{
    TRVDrawLines lines;
    for (int i = 0; i < n; ++i)
        lines.Add(Piece(i));
    return lines;
}

TEST(DrawLines, RangeOfTheSameSizeIsRefilledInPlace)
{
    TRVDrawLines lines = Numbered(6);
    const TRVDrawLineInfo* after = &lines[4];
    lines.MarkDeleted(1, 3);
    EXPECT_THROW((void)lines[2], EDocViewError) << "a deleted slot holds no draw item";
    for (int k = 0; k < 3; ++k)
        lines.InsertDrawItem(1 + k, Piece(10 + k));
    EXPECT_EQ(lines.DeletedCount(), 0);
    EXPECT_EQ(&lines[4], after) << "nothing after the range moved";
    EXPECT_EQ(ItemNos(lines), (std::vector<int>{0, 10, 11, 12, 4, 5}));
}

TEST(DrawLines, ShrinkingAndGrowingRanges)
{
    TRVDrawLines shrink = Numbered(6);
    shrink.MarkDeleted(1, 3);
    shrink.InsertDrawItem(1, Piece(10));
    shrink.PurgeDeleted();
    EXPECT_EQ(ItemNos(shrink), (std::vector<int>{0, 10, 4, 5}));

    TRVDrawLines grow = Numbered(4);
    grow.MarkDeleted(1, 1);
    grow.InsertDrawItem(1, Piece(10));
    grow.InsertDrawItem(2, Piece(11)); // no deleted slot left: a gap of empty slots opens
    EXPECT_GT(grow.DeletedCount(), 0);
    EXPECT_EQ(grow.DeletedFirst(), 3);
    grow.InsertDrawItem(3, Piece(12));
    grow.PurgeDeleted();
    EXPECT_EQ(ItemNos(grow), (std::vector<int>{0, 10, 11, 12, 2, 3}));
}

TEST(DrawLines, DeletingNextToTheRangeExtendsIt)
{
    TRVDrawLines lines = Numbered(6);
    lines.MarkDeleted(2, 2);
    lines.DeleteDrawItem(3);
    lines.DeleteDrawItem(1);
    EXPECT_EQ(lines.DeletedFirst(), 1);
    EXPECT_EQ(lines.DeletedCount(), 3);
    lines.DeleteDrawItem(5); // far away: the open range is closed first
    EXPECT_EQ(lines.DeletedFirst(), 2);
    EXPECT_EQ(lines.DeletedCount(), 1);
    lines.PurgeDeleted();
    EXPECT_EQ(ItemNos(lines), (std::vector<int>{0, 4}));
}

TEST(DrawLines, MulDivRoundsToNearest)
{
    EXPECT_EQ(MulDiv(10, 600, 96), 63); // 62.5 rounds up
    EXPECT_EQ(MulDiv(-10, 600, 96), -63);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000) << "the product does not overflow";
    TRVDeviceScale printer{96, 96, 600, 600, 0};
    EXPECT_EQ(printer.X(48), 300);
    EXPECT_FALSE(printer.IsScreen());
    EXPECT_TRUE(TRVDeviceScale{}.IsScreen());
}

} // namespace
} // namespace xq

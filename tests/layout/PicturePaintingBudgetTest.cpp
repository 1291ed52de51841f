// Painting a document of many large pictures: the decoded pixels stay within the picture cache's
// budget, and pictures drawn small are decoded small.
#include <gtest/gtest.h>

#include "PaintTestSupport.h"
#include "document/ItemInfo.h"
#include "pictures/PictureCacheGuard.h"
#include "pictures/PictureSamples.h"
#include "pictures/Png.h"

namespace xq {
namespace {

using Ops = std::vector<std::string>;

constexpr int Side = 1024;
constexpr int Count = 24;
constexpr std::size_t Budget = std::size_t(16) << 20; // four of the pictures at their own size

class PicturePaintingBudgetTest : public ::testing::Test {
protected:
    PicturePaintingBudgetTest()
    {
        test::TPngLayout layout;
        layout.Width = layout.Height = Side;
        layout.ColorType = 0;
        layout.Rows.assign(std::size_t(Side) * Side, '\x60');
        const std::string png = test::EncodePng(layout);
        for (int i = 0; i < Count; ++i) {
            auto item = std::make_unique<TRVGraphicItemInfo>();
            auto picture = std::make_unique<TPNGObject>();
            EXPECT_TRUE(picture->LoadFromBytes(png));
            item->Image = std::move(picture);
            Doc.Data.AppendItem("", std::move(item));
        }
    }

    /// Places every picture as a draw item of size x size, one below the other, and paints them all
    /// (each inside its one pixel of spacing).
    Ops PaintAll(int size)
    {
        Doc.Data.DrawItems().Clear();
        for (int i = 0; i < Count; ++i)
            Doc.Place(i, 0, i * size, size, size);
        TRVPaintRequest request = test::TPaintedDocument::Request();
        request.Rect = {0, 0, size, Count * size};
        return Doc.Paint(request);
    }

    test::TPictureCacheGuard Guard{Budget};
    test::TPaintedDocument Doc;
};

TEST_F(PicturePaintingBudgetTest, PicturesAtTheirOwnSizeStayWithinTheBudget)
{
    TPictureCache& cache = TPictureCache::Instance();
    const Ops ops = PaintAll(Side);
    const Ops images = test::OpsStartingWith(ops, "image");
    ASSERT_EQ(images.size(), std::size_t(Count)) << "every picture is drawn";
    EXPECT_EQ(images.back(), "image 1,23553,1023,24575 from 1024x1024");
    EXPECT_EQ(cache.Decodes(), std::uint64_t(Count));
    EXPECT_LE(cache.PeakBytesHeld(), Budget);
    EXPECT_EQ(cache.BytesHeld(), Budget) << "the last four painted are kept";
    EXPECT_EQ(cache.PicturesHeld(), 4u);
}

TEST_F(PicturePaintingBudgetTest, PicturesDrawnSmallAreDecodedSmallAndAllKept)
{
    TPictureCache& cache = TPictureCache::Instance();
    const Ops images = test::OpsStartingWith(PaintAll(128), "image");
    ASSERT_EQ(images.size(), std::size_t(Count));
    for (const std::string& op : images)
        EXPECT_NE(op.find(" from 128x128"), std::string::npos) << op;
    EXPECT_EQ(cache.BytesHeld(), std::size_t(Count) * 128 * 128 * 4);
    EXPECT_EQ(cache.Decodes(), std::uint64_t(Count));

    (void)PaintAll(100);
    EXPECT_EQ(cache.Decodes(), std::uint64_t(Count)) << "painted again smaller: nothing is decoded";
    const Ops larger = test::OpsStartingWith(PaintAll(300), "image");
    EXPECT_EQ(larger.front(), "image 1,1,299,299 from 512x512") << "larger than what was kept: decoded again";
    EXPECT_EQ(cache.Decodes(), 2u * Count);
    EXPECT_LE(cache.PeakBytesHeld(), Budget);
}

} // namespace
} // namespace xq

// The picture cache: pixels kept within the budget, the least recently used given up first,
// copies sharing one place, and pixels of one size serving requests for smaller ones.
#include <gtest/gtest.h>

#include "PictureCacheGuard.h"
#include "PictureSamples.h"
#include "pictures/Bitmap.h"
#include "pictures/Png.h"

namespace xq::test {
namespace {

/// A grey PNG of width x height, its own bytes told apart by `shade`.
std::unique_ptr<TPNGObject> GreyPng(int width, int height, int shade = 0x40)
{
    TPngLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.ColorType = 0;
    layout.Rows.assign(std::size_t(width) * std::size_t(height), char(shade));
    auto png = std::make_unique<TPNGObject>();
    if (!png->LoadFromBytes(EncodePng(layout)))
        return nullptr;
    return png;
}

constexpr std::size_t Bytes100 = 100 * 100 * 4;

TEST(PictureCache, KeptWithinTheBudgetTheLeastRecentlyUsedGivingWay)
{
    TPictureCacheGuard guard(3 * Bytes100);
    TPictureCache& cache = TPictureCache::Instance();
    std::vector<std::unique_ptr<TPNGObject>> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(GreyPng(100, 100, 0x10 * i));
        ASSERT_TRUE(pictures.back());
    }
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(pictures[std::size_t(i)]->Decoded());
    EXPECT_EQ(cache.BytesHeld(), 3 * Bytes100);
    EXPECT_EQ(cache.Decodes(), 3u);

    ASSERT_TRUE(pictures[0]->Decoded()) << "used again: now the most recently used";
    EXPECT_EQ(cache.Decodes(), 3u) << "kept, not decoded again";
    ASSERT_TRUE(pictures[3]->Decoded());
    EXPECT_EQ(cache.PicturesHeld(), 3u);
    EXPECT_EQ(cache.BytesHeld(), 3 * Bytes100);

    const std::uint64_t before = cache.Decodes();
    ASSERT_TRUE(pictures[0]->Decoded());
    ASSERT_TRUE(pictures[2]->Decoded());
    EXPECT_EQ(cache.Decodes(), before) << "the first and third stayed";
    ASSERT_TRUE(pictures[1]->Decoded());
    EXPECT_EQ(cache.Decodes(), before + 1) << "the second, least recently used, had given way";
    EXPECT_LE(cache.PeakBytesHeld(), cache.Budget());
}

TEST(PictureCache, PixelsInUseOutliveTheirPlaceAndLargePixelsAreNotKept)
{
    TPictureCacheGuard guard(2 * Bytes100);
    TPictureCache& cache = TPictureCache::Instance();
    const auto small = GreyPng(100, 100);
    const auto large = GreyPng(100, 300);
    const std::shared_ptr<const TDecodedPicture> held = small->Decoded();
    ASSERT_TRUE(held);
    cache.Clear();
    EXPECT_EQ(cache.BytesHeld(), 0u);
    EXPECT_EQ(held->Image.Pixels.size(), Bytes100) << "still there for whoever paints with it";

    ASSERT_TRUE(small->Decoded());
    const auto pixels = large->Decoded();
    ASSERT_TRUE(pixels) << "handed out";
    EXPECT_EQ(pixels->Image.Height, 300);
    EXPECT_EQ(cache.BytesHeld(), Bytes100) << "larger than the whole budget: not kept, nothing given up for it";
    EXPECT_NE(large->Decoded(), pixels) << "so it is decoded anew each time";

    cache.SetBudget(Bytes100 - 1);
    EXPECT_EQ(cache.BytesHeld(), 0u) << "a smaller budget gives up at once";
}

TEST(PictureCache, CopiesShareOnePlaceThatGoesWithTheLastOfThem)
{
    TPictureCacheGuard guard(10 * Bytes100);
    TPictureCache& cache = TPictureCache::Instance();
    auto picture = GreyPng(100, 100);
    auto copy = picture->Clone();
    const auto first = picture->Decoded();
    EXPECT_EQ(static_cast<const TPNGObject&>(*copy).Decoded(), first);
    EXPECT_EQ(cache.BytesHeld(), Bytes100) << "counted once";
    EXPECT_EQ(cache.Decodes(), 1u);
    picture.reset();
    EXPECT_EQ(cache.BytesHeld(), Bytes100) << "the copy still has them";
    copy.reset();
    EXPECT_EQ(cache.BytesHeld(), 0u);
    EXPECT_EQ(cache.PicturesHeld(), 0u);

    // A bitmap whose transparency changes has other pixels: the copy keeps the old ones.
    TBmpLayout layout{2, 1, 24, 0, 40, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 0, 0})};
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromBytes(MakeBmp(layout)));
    const auto opaque = bitmap.Decoded();
    const auto twin = bitmap.Clone();
    bitmap.SetTransparent(true);
    EXPECT_NE(bitmap.Decoded(), opaque);
    EXPECT_EQ(static_cast<const TBitmap&>(*twin).Decoded(), opaque);
    EXPECT_EQ(cache.BytesHeld(), 2u * 2 * 4);
}

TEST(PictureCache, LargerPixelsServeSmallerRequests)
{
    TPictureCacheGuard guard(100 * Bytes100);
    TPictureCache& cache = TPictureCache::Instance();
    const auto picture = GreyPng(400, 400);
    const auto quarter = picture->DecodedFor(100, 100);
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->Image.Width, 100);
    EXPECT_EQ(cache.BytesHeld(), Bytes100);
    EXPECT_EQ(picture->DecodedFor(40, 40), quarter) << "a smaller target is served by what is kept";
    EXPECT_EQ(cache.Decodes(), 1u);

    const auto full = picture->DecodedFor(400, 300);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->Image.Width, 400);
    EXPECT_EQ(cache.Decodes(), 2u);
    EXPECT_EQ(cache.BytesHeld(), 16 * Bytes100) << "in place of the smaller pixels";
    EXPECT_EQ(picture->DecodedFor(100, 100), full);
    EXPECT_EQ(cache.Decodes(), 2u);
}

TEST(PictureCache, FailuresAreRememberedUntilTheBytesChange)
{
    TPictureCacheGuard guard(Bytes100);
    TPictureCache& cache = TPictureCache::Instance();
    const std::string good = EncodeRgbaPng(2, 2, std::string(16, '\x33'));
    TPNGObject picture;
    ASSERT_TRUE(picture.LoadFromBytes(WithPngSize(good, 200, 200))); // believable, but the rows run out
    EXPECT_FALSE(picture.Decoded());
    EXPECT_FALSE(picture.DecodedFor(10, 10));
    EXPECT_EQ(cache.Decodes(), 1u) << "tried once";
    ASSERT_TRUE(picture.LoadFromBytes(good));
    EXPECT_TRUE(picture.Decoded());
    EXPECT_EQ(cache.Decodes(), 2u);
}

} // namespace
} // namespace xq::test

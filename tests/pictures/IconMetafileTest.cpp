// Icons (bitmap images with masks, PNG images, the choice of image) and metafile sizes and placeholders.
#include <gtest/gtest.h>

#include "PictureSamples.h"
#include "pictures/Icon.h"
#include "pictures/Metafile.h"
#include "pictures/Png.h"

namespace xq::test {
namespace {

/// An icon image: a DIB of doubled height, its colour rows, then its mask rows.
std::string IconDib(TBmpLayout layout, const std::string& mask)
{
    layout.Height *= 2;
    return MakeDibHeader(layout) + layout.Bits + mask;
}

TRGBAImage Decoded(const TGraphic& picture)
{
    TRGBAImage image;
    EXPECT_TRUE(picture.Decode(image));
    return image;
}

TEST(IconPicture, BitmapImageDrawsThroughItsMask)
{
    // 2 x 2 at 24 bits: rows of 8 bytes; mask rows of 4 bytes, bottom row first.
    const TBmpLayout colours{2, 2, 24, 0, 40, {}, {}, Bytes({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 10, 10, 10, 0, 0})};
    const std::string bytes = MakeIco({{IconDib(colours, Bytes({0x40, 0, 0, 0, 0x80, 0, 0, 0})), 2, 2, 24}});
    TIcon icon;
    ASSERT_TRUE(icon.LoadFromBytes(bytes));
    EXPECT_EQ(icon.ClassName(), "TIcon");
    EXPECT_EQ(icon.Width(), 2);
    EXPECT_EQ(icon.Height(), 2);
    EXPECT_EQ(icon.SaveToBytes(), bytes);
    const TRGBAImage image = Decoded(icon);
    EXPECT_EQ(PixelAt(image, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 1, 1) & 0xFF, 0u) << "mask bit set: transparent";
    EXPECT_EQ(PixelAt(image, 0, 0) & 0xFF, 0u);
    EXPECT_EQ(PixelAt(image, 1, 0), 0x0A0A0AFFu);
}

TEST(IconPicture, AlphaChannelWinsOverTheMask)
{
    std::string px;
    PutU32(px, 0x80112233);
    PutU32(px, 0xFF445566);
    const TBmpLayout colours{2, 1, 32, 0, 40, {}, {}, px};
    TIcon icon;
    ASSERT_TRUE(icon.LoadFromBytes(MakeIco({{IconDib(colours, Bytes({0xC0, 0, 0, 0})), 2, 1, 32}})));
    const TRGBAImage image = Decoded(icon);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x11223380u);
    EXPECT_EQ(PixelAt(image, 1, 0), 0x445566FFu);
}

TEST(IconPicture, LargestImageWithTheDeepestColoursIsChosen)
{
    const TBmpLayout small{16, 16, 8, 0, 40, {0x00FF00}, {}, std::string(16 * 16, '\0')};
    const TBmpLayout same{32, 32, 4, 0, 40, {0x0000FF}, {}, std::string(16 * 32, '\0')};
    std::string rgba;
    for (int i = 0; i < 32 * 32; ++i)
        rgba += Bytes({i & 0xFF, i >> 2, 7, 255 - (i & 0x7F)});
    const std::string png = EncodeRgbaPng(32, 32, rgba);
    TIcon icon;
    ASSERT_TRUE(icon.LoadFromBytes(MakeIco({{IconDib(small, std::string(64, '\0')), 16, 16, 8},
                                            {IconDib(same, std::string(128, '\0')), 32, 32, 4},
                                            {png, 32, 32, 32}})));
    EXPECT_EQ(icon.ImageCount(), 3);
    EXPECT_EQ(icon.ChosenImage(), 2);
    EXPECT_EQ(icon.Width(), 32);
    TRGBAImage expected;
    ASSERT_TRUE(DecodePng(png, expected));
    EXPECT_EQ(Decoded(icon).Pixels, expected.Pixels);

    // The first of equals, and images whose data lies outside the file are passed over.
    std::string broken = MakeIco({{IconDib(small, std::string(64, '\0')), 16, 16, 8},
                                  {IconDib(same, std::string(128, '\0')), 32, 32, 4},
                                  {png, 32, 32, 32}});
    broken[6 + 2 * 16 + 11] = '\x7F'; // the PNG's length now runs far past the end
    ASSERT_TRUE(icon.LoadFromBytes(broken));
    EXPECT_EQ(icon.ChosenImage(), 1);
    EXPECT_EQ(PixelAt(Decoded(icon), 5, 5), 0x0000FFFFu);
}

TEST(IconPicture, FilesWithoutAUsableImageAreRefused)
{
    const TBmpLayout colours{2, 2, 24, 0, 40, {}, {}, std::string(16, '\0')};
    const std::string good = MakeIco({{IconDib(colours, std::string(8, '\0')), 2, 2, 24}});
    TIcon icon;
    ASSERT_TRUE(icon.LoadFromBytes(good));
    std::string cursor = good;
    cursor[2] = 2;
    EXPECT_FALSE(icon.LoadFromBytes(cursor));
    EXPECT_FALSE(icon.LoadFromBytes(MakeIco({})));
    std::string offsetInDirectory = good;
    offsetInDirectory[6 + 12] = 4;
    EXPECT_FALSE(icon.LoadFromBytes(offsetInDirectory));
    EXPECT_FALSE(icon.LoadFromBytes(good.substr(0, good.size() - 20))) << "image data past the end";
    TBmpLayout huge = colours;
    huge.Width = 70000;
    EXPECT_FALSE(icon.LoadFromBytes(MakeIco({{IconDib(huge, ""), 0, 0, 24}})));
    EXPECT_TRUE(icon.Empty());
}

// ---------------------------------------------------------------------------------------------

TEST(MetafilePicture, PlaceableHeaderBoxInItsUnitsPerInch)
{
    TMetafile picture;
    const std::string bytes = MakeWmf({WmfRecord(0x020C, {100, 100})}, true, {0, 0, 1440, 720}, 1440);
    ASSERT_TRUE(picture.LoadFromBytes(bytes));
    EXPECT_EQ(picture.ClassName(), "TMetafile");
    EXPECT_TRUE(picture.Placeable());
    EXPECT_FALSE(picture.Enhanced());
    EXPECT_EQ(picture.Width(), 96);
    EXPECT_EQ(picture.Height(), 48);
    EXPECT_EQ(picture.SaveToBytes(), bytes);

    ASSERT_TRUE(picture.LoadFromBytes(MakeWmf({}, true, {100, 50, -476, 338}, 576)));
    EXPECT_EQ(picture.Width(), 96) << "576 units at 576 per inch";
    EXPECT_EQ(picture.Height(), 48);
}

TEST(MetafilePicture, PlainMetafileUsesItsWindowExtentAt1440PerInch)
{
    TMetafile picture;
    ASSERT_TRUE(picture.LoadFromBytes(
        MakeWmf({WmfRecord(0x020B, {0, 0}), WmfRecord(0x020C, {720, 2880}), WmfRecord(0x020C, {1, 1})})));
    EXPECT_FALSE(picture.Placeable());
    EXPECT_EQ(picture.Width(), 192);
    EXPECT_EQ(picture.Height(), 48);

    ASSERT_TRUE(picture.LoadFromBytes(MakeWmf({WmfRecord(0x020B, {0, 0})})));
    EXPECT_EQ(picture.Width(), 0) << "no extent: no size";
    EXPECT_FALSE(picture.Empty());
    TRGBAImage image;
    EXPECT_FALSE(picture.Decode(image));
}

TEST(MetafilePicture, EnhancedMetafileFrameInHundredthsOfAMillimetre)
{
    TMetafile picture;
    ASSERT_TRUE(picture.LoadFromBytes(MakeEmf(1000, 1000, 3540, 2270)));
    EXPECT_TRUE(picture.Enhanced());
    EXPECT_EQ(picture.Width(), 96);
    EXPECT_EQ(picture.Height(), 48);
}

TEST(MetafilePicture, PlaceholderIsAFramedCrossCappedInSize)
{
    TMetafile picture;
    ASSERT_TRUE(picture.LoadFromBytes(MakeEmf(0, 0, 2540, 1270)));
    const TRGBAImage image = Decoded(picture);
    ASSERT_EQ(image.Width, 96);
    ASSERT_EQ(image.Height, 48);
    const std::uint32_t ink = 0x606060FF;
    const std::uint32_t fill = 0xE0E0E0FF;
    for (auto [x, y] : {std::pair{0, 0}, {50, 0}, {95, 20}, {30, 47}, {10, 5}, {85, 5}, {48, 24}, {60, 30}})
        EXPECT_EQ(PixelAt(image, x, y), ink) << x << "," << y;
    for (auto [x, y] : {std::pair{10, 20}, {48, 5}, {1, 40}, {94, 46}})
        EXPECT_EQ(PixelAt(image, x, y), fill) << x << "," << y;

    ASSERT_TRUE(picture.LoadFromBytes(MakeWmf({}, true, {0, 0, 32000, 100}, 200)));
    EXPECT_EQ(picture.Width(), 15360);
    const TRGBAImage capped = Decoded(picture);
    EXPECT_EQ(capped.Width, TMetafile::PlaceholderMaxSide);
    EXPECT_EQ(capped.Height, 48);
}

TEST(MetafilePicture, HeadersThatLieAreRefused)
{
    TMetafile picture;
    const std::string plain = MakeWmf({WmfRecord(0x020C, {720, 1440})});
    EXPECT_FALSE(picture.LoadFromBytes(plain.substr(0, plain.size() - 2))) << "shorter than its size field";
    std::string headerSize = plain;
    headerSize[2] = 10;
    EXPECT_FALSE(picture.LoadFromBytes(headerSize));
    EXPECT_FALSE(picture.LoadFromBytes(MakeWmf({}, true, {0, 0, 100, 100}, 0))) << "no units per inch";
    EXPECT_FALSE(picture.LoadFromBytes(MakeWmf({}, true, {-32000, 0, 32000, 100}, 1))) << "wider than allowed";
    const std::string emf = MakeEmf(0, 0, 2540, 2540);
    EXPECT_FALSE(picture.LoadFromBytes(emf.substr(0, emf.size() - 1)));
    EXPECT_FALSE(picture.LoadFromBytes(MakeEmf(0, 0, 2000000000, 2540)));
    EXPECT_TRUE(picture.Empty());
}

} // namespace
} // namespace xq::test

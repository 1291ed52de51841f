// The size bound of one picture: at most 8192 x 8192 pixels of every kind, whatever the data
// holds; a GIF is its first frame however many follow; chosen picture files obey the same bound.
#include <gtest/gtest.h>

#include <random>

#include "PictureCacheGuard.h"
#include "PictureSamples.h"
#include "pictures/Bitmap.h"
#include "pictures/Gif.h"
#include "pictures/Icon.h"
#include "pictures/Jpeg.h"
#include "pictures/Metafile.h"
#include "pictures/PictureFile.h"
#include "pictures/Png.h"
#include "support/TempDir.h"

namespace xq::test {
namespace {

std::string Noise(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string out(count, '\0');
    for (char& c : out)
        c = char(random());
    return out;
}

/// A JPEG of noise, long enough to be believed at any allowed size, with its frame header
/// claiming width x height.
std::string JpegClaiming(int width, int height)
{
    static const std::string noise = EncodeJpeg(640, 640, 1, Noise(640 * 640, 5), false, 95);
    std::string jpeg = noise;
    const std::size_t frame = jpeg.find("\xFF\xC0");
    if (frame == std::string::npos)
        return {};
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width);
    return jpeg;
}

/// A GIF whose logical screen is width x height over a 512 x 512 first frame of noise: a frame
/// large enough for a screen of the largest allowed size to be believed.
std::string GifWithScreen(int width, int height)
{
    TGifLayout layout{width, height, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {}};
    std::string indices = Noise(512 * 512, 9);
    for (char& c : indices)
        c = char(c & 3);
    layout.Frames.push_back({0, 0, 512, 512, false, indices, {}, -1});
    return EncodeGif(layout);
}

/// A run-length bitmap of width x height with enough data (end-of-line codes) to be believed.
std::string RunLengthBmp(int width, int height)
{
    return MakeBmp({width, height, 8, 1, 40, {0x000000, 0xFFFFFF}, {}, std::string(300'000, '\0')});
}

TEST(PictureBound, EightThousandOneHundredNinetyTwoSquareIsTheLargestOfEveryKind)
{
    ASSERT_EQ(MaxPicturePixels, 8192 * 8192);
    const std::string png = EncodeRgbaPng(64, 64, Noise(64 * 64 * 4, 1)); // data enough for 64 MP
    TPNGObject p;
    EXPECT_TRUE(p.LoadFromBytes(WithPngSize(png, 8192, 8192)));
    EXPECT_EQ(p.Width(), 8192);
    EXPECT_TRUE(p.LoadFromBytes(WithPngSize(png, 65535, 1024))) << "a long strip under the bound";
    EXPECT_FALSE(p.LoadFromBytes(WithPngSize(png, 8193, 8192)));
    EXPECT_FALSE(p.LoadFromBytes(WithPngSize(png, 65535, 1025)));
    EXPECT_FALSE(p.LoadFromBytes(WithPngSize(png, 10000, 10000))) << "what a PNG bomb of 12 KB claims";

    TJPEGImage j;
    EXPECT_TRUE(j.LoadFromBytes(JpegClaiming(8192, 8192)));
    EXPECT_EQ(j.Height(), 8192);
    EXPECT_FALSE(j.LoadFromBytes(JpegClaiming(8192, 8193)));

    TGIFImage g;
    EXPECT_TRUE(g.LoadFromBytes(GifWithScreen(8192, 8192)));
    EXPECT_EQ(g.Width(), 8192);
    EXPECT_FALSE(g.LoadFromBytes(GifWithScreen(8193, 8192)));

    TBitmap b;
    EXPECT_TRUE(b.LoadFromBytes(RunLengthBmp(8192, 8192)));
    EXPECT_FALSE(b.LoadFromBytes(RunLengthBmp(8192, 8193)));

    // An icon passes over images beyond the bound; with none left it is no icon.
    TIcon i;
    const std::string small = EncodeRgbaPng(2, 2, Noise(16, 2));
    EXPECT_FALSE(i.LoadFromBytes(MakeIco({{WithPngSize(png, 8193, 8192), 0, 0, 32}})));
    ASSERT_TRUE(i.LoadFromBytes(MakeIco({{WithPngSize(png, 8193, 8192), 0, 0, 32}, {small, 2, 2, 32}})));
    EXPECT_EQ(i.ChosenImage(), 1);
    EXPECT_EQ(i.Width(), 2);

    TMetafile m;
    EXPECT_TRUE(m.LoadFromBytes(MakeWmf({}, true, {0, 0, 8192, 8192}, 96)));
    EXPECT_FALSE(m.LoadFromBytes(MakeWmf({}, true, {0, 0, 8193, 8192}, 96)));
}

TEST(PictureBound, AGifIsItsFirstFrameHoweverManyFollow)
{
    TGifLayout layout{40, 30, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {}};
    layout.Frames.push_back({0, 0, 40, 30, false, std::string(1200, '\1'), {}, -1});
    for (int i = 0; i < 2000; ++i)
        layout.Frames.push_back({0, 0, 40, 30, false, std::string(1200, char(2 + i % 2)), {}, -1});
    std::string gif = EncodeGif(layout);
    gif.resize(gif.size() / 2); // the later frames are cut off in the middle: never read
    TGIFImage picture;
    ASSERT_TRUE(picture.LoadFromBytes(gif));
    TRGBAImage image;
    ASSERT_TRUE(picture.Decode(image));
    EXPECT_EQ(PixelAt(image, 39, 29), 0xFF0000FFu);
    EXPECT_EQ(image.Pixels.size(), 40u * 30 * 4);
}

TEST(PictureBound, ChosenFilesObeyItAndTheirPixelsGoToTheCache)
{
    TPictureCacheGuard guard(TPictureCache::DefaultBudget);
    TTempDir dir;
    const std::string png = EncodeRgbaPng(64, 64, Noise(64 * 64 * 4, 3));
    WriteBytes(dir / "over.png", WithPngSize(png, 8193, 8192));
    EXPECT_FALSE(LoadPictureFile(dir / "over.png"));
    WriteBytes(dir / "over.jpg", JpegClaiming(10000, 10000));
    EXPECT_FALSE(LoadPictureFile(dir / "over.jpg"));
    EXPECT_EQ(TPictureCache::Instance().Decodes(), 0u) << "refused from the header, before any decoding";

    TPngLayout layout;
    layout.Width = 2000;
    layout.Height = 1000;
    layout.ColorType = 0;
    layout.Rows.assign(2000 * 1000, '\x7F');
    WriteBytes(dir / "large.png", EncodePng(layout));
    const auto picture = LoadPictureFile(dir / "large.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(TPictureCache::Instance().BytesHeld(), 2000u * 1000 * 4) << "checked once and kept for painting";
}

} // namespace
} // namespace xq::test

// PNG, JPEG and GIF pictures made with their libraries: sizes, pixels, header checks, cut data.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PictureSamples.h"
#include "pictures/Gif.h"
#include "pictures/Jpeg.h"
#include "pictures/Png.h"

namespace xq::test {
namespace {

template <class Kind>
TRGBAImage LoadAndDecode(const std::string& bytes)
{
    Kind picture;
    EXPECT_TRUE(picture.LoadFromBytes(bytes));
    EXPECT_EQ(picture.SaveToBytes(), bytes);
    TRGBAImage image;
    EXPECT_TRUE(picture.Decode(image));
    EXPECT_EQ(image.Width, picture.Width());
    EXPECT_EQ(image.Height, picture.Height());
    return image;
}

// ---------------------------------------------------------------------------------------------

TEST(PngPicture, RgbaPixelsComeBackExactly)
{
    const std::string rgba =
        Bytes({255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 1, 2, 3, 4, 200, 100, 50, 255, 9, 8, 7, 6});
    const TRGBAImage image = LoadAndDecode<TPNGObject>(EncodeRgbaPng(3, 2, rgba));
    ASSERT_EQ(image.Width, 3);
    ASSERT_EQ(image.Height, 2);
    EXPECT_EQ(std::string(image.Pixels.begin(), image.Pixels.end()), rgba);
}

TEST(PngPicture, InterlacedPaletteWithTransparency)
{
    TPngLayout layout;
    layout.Width = 9;
    layout.Height = 9;
    layout.ColorType = 3;
    layout.Interlaced = true;
    layout.Palette = {0x102030, 0x405060, 0x708090};
    layout.Trans = Bytes({0, 128});
    for (int i = 0; i < 81; ++i)
        layout.Rows.push_back(char((i * 7) % 3));
    const TRGBAImage image = LoadAndDecode<TPNGObject>(EncodePng(layout));
    const std::uint32_t expected[3] = {0x10203000, 0x40506080, 0x708090FF};
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(PixelAt(image, x, y), expected[((y * 9 + x) * 7) % 3]) << x << "," << y;
}

TEST(PngPicture, GreyOfLowAndHighDepth)
{
    TPngLayout mono;
    mono.Width = 10;
    mono.Height = 1;
    mono.ColorType = 0;
    mono.BitDepth = 1;
    mono.Rows = Bytes({0xA0, 0x40});
    const TRGBAImage bits = LoadAndDecode<TPNGObject>(EncodePng(mono));
    EXPECT_EQ(PixelAt(bits, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(bits, 1, 0), 0x000000FFu);
    EXPECT_EQ(PixelAt(bits, 9, 0), 0xFFFFFFFFu);

    TPngLayout deep;
    deep.Width = 2;
    deep.Height = 1;
    deep.ColorType = 0;
    deep.BitDepth = 16;
    deep.Rows = Bytes({0x80, 0x00, 0xFF, 0xFF});
    const TRGBAImage grey = LoadAndDecode<TPNGObject>(EncodePng(deep));
    EXPECT_EQ(PixelAt(grey, 0, 0), 0x808080FFu);
    EXPECT_EQ(PixelAt(grey, 1, 0), 0xFFFFFFFFu);
}

TEST(PngPicture, ImageHeaderIsChecked)
{
    const std::string png = EncodeRgbaPng(1, 1, Bytes({1, 2, 3, 4}));
    TPNGObject picture;
    std::string badChecksum = png;
    badChecksum[18] ^= 1;
    EXPECT_FALSE(picture.LoadFromBytes(badChecksum));
    EXPECT_FALSE(picture.LoadFromBytes(WithPngSize(png, 70000, 1)));
    EXPECT_FALSE(picture.LoadFromBytes(WithPngSize(png, 20000, 20000)));
    EXPECT_FALSE(picture.LoadFromBytes(WithPngSize(png, 0, 1)));
    std::string badDepth = png;
    badDepth[24] = 4; // RGBA at 4 bits does not exist
    EXPECT_FALSE(picture.LoadFromBytes(WithPngSize(badDepth, 1, 1)));
    EXPECT_TRUE(picture.Empty());
}

TEST(PngPicture, DataShorterThanTheHeaderClaimsDoesNotDecode)
{
    const std::string png = EncodeRgbaPng(2, 2, std::string(16, '\x33'));
    TPNGObject picture;
    TRGBAImage image;
    ASSERT_TRUE(picture.LoadFromBytes(png.substr(0, 45)));
    EXPECT_FALSE(picture.Decode(image));
    EXPECT_TRUE(image.Empty());

    // A header that claims 2000 x 2000 over the data of a 2 x 2 picture: small enough to be
    // believed at first, it fails when the rows run out.
    ASSERT_TRUE(picture.LoadFromBytes(WithPngSize(png, 2000, 2000)));
    EXPECT_EQ(picture.Width(), 2000);
    EXPECT_FALSE(picture.Decode(image));
    EXPECT_TRUE(image.Pixels.empty());
    // 10000 x 10000 is more than a file this short can hold.
    EXPECT_FALSE(picture.LoadFromBytes(WithPngSize(png, 10000, 10000)));
}

TEST(PngPicture, LargeButHonestPictureIsBelieved)
{
    // One-bit rows of zeros pack about as tightly as deflate can.
    TPngLayout blank;
    blank.Width = 4000;
    blank.Height = 3000;
    blank.ColorType = 0;
    blank.BitDepth = 1;
    blank.Rows.assign(500 * 3000, '\0');
    const std::string png = EncodePng(blank);
    ASSERT_LT(png.size(), 4000u * 3000u / 1000u);
    const TRGBAImage image = LoadAndDecode<TPNGObject>(png);
    ASSERT_EQ(image.Width, 4000);
    EXPECT_EQ(PixelAt(image, 3999, 2999), 0x000000FFu);
}

// ---------------------------------------------------------------------------------------------

std::string Gradient(int width, int height)
{
    std::string rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rgb += Bytes({x * 255 / (width - 1), y * 255 / (height - 1), 128});
    return rgb;
}

void ExpectNear(const TRGBAImage& image, const std::string& rgb, int tolerance)
{
    for (std::size_t i = 0, j = 0; j < rgb.size(); i += 4, j += 3) {
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(image.Pixels[i + c], std::uint8_t(rgb[j + c]), tolerance) << "pixel " << i / 4;
        ASSERT_EQ(image.Pixels[i + 3], 255);
    }
}

TEST(JpegPicture, BaselineAndProgressiveDecodeCloseToTheSource)
{
    const std::string rgb = Gradient(16, 8);
    const TRGBAImage baseline = LoadAndDecode<TJPEGImage>(EncodeJpeg(16, 8, 3, rgb));
    ASSERT_EQ(baseline.Width, 16);
    ASSERT_EQ(baseline.Height, 8);
    ExpectNear(baseline, rgb, 8);
    ExpectNear(LoadAndDecode<TJPEGImage>(EncodeJpeg(16, 8, 3, rgb, true)), rgb, 8);
}

TEST(JpegPicture, GreyAndAdobeCmyk)
{
    std::string grey;
    for (int i = 0; i < 64; ++i)
        grey.push_back(char(i * 4));
    const TRGBAImage g = LoadAndDecode<TJPEGImage>(EncodeJpeg(8, 8, 1, grey));
    for (int i = 0; i < 64; ++i) {
        EXPECT_NEAR(g.Pixels[i * 4], i * 4, 6);
        EXPECT_EQ(g.Pixels[i * 4], g.Pixels[i * 4 + 2]);
    }
    // libjpeg writes CMYK with the Adobe marker; Adobe's samples are inverted (255 = no ink).
    std::string cmyk;
    for (int i = 0; i < 64; ++i)
        cmyk += Bytes({255, 128, 0, 255});
    const TRGBAImage c = LoadAndDecode<TJPEGImage>(EncodeJpeg(8, 8, 4, cmyk));
    EXPECT_NEAR(c.Pixels[0], 255, 4);
    EXPECT_NEAR(c.Pixels[1], 128, 4);
    EXPECT_NEAR(c.Pixels[2], 0, 4);
}

TEST(JpegPicture, CutDataAndImpossibleFrames)
{
    const std::string jpeg = EncodeJpeg(16, 8, 3, Gradient(16, 8));
    const std::size_t scan = jpeg.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    TJPEGImage picture;
    TRGBAImage image;
    EXPECT_FALSE(picture.LoadFromBytes(jpeg.substr(0, scan))) << "no scan: not a picture";
    ASSERT_TRUE(picture.LoadFromBytes(jpeg.substr(0, scan + 40)));
    EXPECT_EQ(picture.Width(), 16);
    EXPECT_FALSE(picture.Decode(image)) << "pixels missing at the end are not painted grey";

    const std::size_t frame = jpeg.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    std::string huge = jpeg;
    huge.replace(frame + 5, 4, "\xFF\xFF\xFF\xFF"); // height and width 65535
    EXPECT_FALSE(picture.LoadFromBytes(huge));
    std::string empty = jpeg;
    empty.replace(frame + 7, 2, std::string(2, '\0'));
    EXPECT_FALSE(picture.LoadFromBytes(empty));
    EXPECT_FALSE(picture.LoadFromBytes("\xFF\xD8\xFF\xD9"));

    std::string large = jpeg;
    large.replace(frame + 5, 4, "\x1F\x40\x1F\x40"); // 8000 x 8000 in a file of a few hundred bytes
    EXPECT_FALSE(picture.LoadFromBytes(large));
}

TEST(JpegPicture, LargeButHonestPictureIsBelieved)
{
    const std::string jpeg = EncodeJpeg(3000, 2000, 1, std::string(3000 * 2000, '\x40'), false, 50);
    TJPEGImage picture;
    ASSERT_TRUE(picture.LoadFromBytes(jpeg));
    EXPECT_EQ(picture.Width(), 3000);
    EXPECT_EQ(picture.Height(), 2000);
}

// ---------------------------------------------------------------------------------------------

const std::vector<std::uint32_t> FourColours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

TEST(GifPicture, FirstFrameWithItsTransparentIndex)
{
    TGifLayout layout{4, 2, FourColours, {}};
    layout.Frames.push_back({0, 0, 4, 2, false, Bytes({0, 1, 2, 3, 3, 2, 1, 0}), {}, 2});
    layout.Frames.push_back({0, 0, 4, 2, false, std::string(8, '\1'), {}, -1});
    const TRGBAImage image = LoadAndDecode<TGIFImage>(EncodeGif(layout));
    const std::uint32_t expected[8] = {0x000000FF, 0xFF0000FF, 0, 0x0000FFFF, 0x0000FFFF, 0, 0xFF0000FF, 0x000000FF};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(PixelAt(image, i % 4, i / 4), expected[i]) << i;
}

TEST(GifPicture, FrameWithLocalColoursInsideALargerScreen)
{
    TGifLayout layout{4, 4, FourColours, {}};
    layout.Frames.push_back({1, 2, 2, 2, false, Bytes({0, 1, 1, 0}), {0x111111, 0x222222}, -1});
    const TRGBAImage image = LoadAndDecode<TGIFImage>(EncodeGif(layout));
    EXPECT_EQ(PixelAt(image, 1, 2), 0x111111FFu);
    EXPECT_EQ(PixelAt(image, 2, 2), 0x222222FFu);
    EXPECT_EQ(PixelAt(image, 2, 3), 0x111111FFu);
    EXPECT_EQ(PixelAt(image, 0, 0), 0u) << "the screen outside the frame is transparent";
    EXPECT_EQ(PixelAt(image, 3, 3), 0u);
}

TEST(GifPicture, InterlacedRowsLandInPlace)
{
    TGifLayout layout{1, 11, FourColours, {}};
    std::string rows;
    for (int y = 0; y < 11; ++y)
        rows.push_back(char(y % 4));
    layout.Frames.push_back({0, 0, 1, 11, true, rows, {}, -1});
    const TRGBAImage image = LoadAndDecode<TGIFImage>(EncodeGif(layout));
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(PixelAt(image, 0, y), (FourColours[std::size_t(y % 4)] << 8) | 0xFF) << y;
}

TEST(GifPicture, ScreenSizesAndMissingFrames)
{
    TGifLayout noScreen{0, 0, FourColours, {}};
    noScreen.Frames.push_back({0, 0, 3, 2, false, std::string(6, '\1'), {}, -1});
    TGIFImage picture;
    ASSERT_TRUE(picture.LoadFromBytes(EncodeGif(noScreen)));
    EXPECT_EQ(picture.Width(), 3) << "a screen of no size takes the frame's";
    EXPECT_EQ(picture.Height(), 2);

    TGifLayout huge{65535, 65535, FourColours, {}};
    huge.Frames.push_back({0, 0, 1, 1, false, std::string(1, '\1'), {}, -1});
    EXPECT_FALSE(picture.LoadFromBytes(EncodeGif(huge)));
    TGifLayout tinyFrame{3000, 3000, FourColours, {}};
    tinyFrame.Frames.push_back({0, 0, 10, 10, false, std::string(100, '\1'), {}, -1});
    EXPECT_FALSE(picture.LoadFromBytes(EncodeGif(tinyFrame))) << "a large screen over a tiny frame";
    tinyFrame.ScreenWidth = 1000;
    EXPECT_TRUE(picture.LoadFromBytes(EncodeGif(tinyFrame))) << "small enough to be harmless";
    EXPECT_FALSE(picture.LoadFromBytes(EncodeGif({2, 2, FourColours, {}}))) << "no frame at all";
    std::string version = EncodeGif(noScreen);
    version[4] = '8';
    EXPECT_FALSE(picture.LoadFromBytes(version));
}

} // namespace
} // namespace xq::test

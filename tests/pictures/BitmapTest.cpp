// BMP pictures: header variants, pixel formats, run-length data, transparency, refused headers.
#include <gtest/gtest.h>

#include <climits>

#include "PictureSamples.h"
#include "pictures/Bitmap.h"

namespace xq::test {
namespace {

TRGBAImage Decoded(const TGraphic& picture)
{
    TRGBAImage image;
    EXPECT_TRUE(picture.Decode(image));
    EXPECT_EQ(image.Pixels.size(), std::size_t(image.Width) * std::size_t(image.Height) * 4);
    return image;
}

TRGBAImage DecodedBmp(const TBmpLayout& layout)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.LoadFromBytes(MakeBmp(layout)));
    return Decoded(bitmap);
}

// 3 x 2, bottom row first: red green blue / white, an index past the table, green.
TBmpLayout PaletteLayout()
{
    return {3, 2, 8, 0, 40, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {}, Bytes({0, 1, 2, 0, 3, 7, 1, 0})};
}

TEST(Bitmap, EightBitPaletteBottomUpKeepsItsBytes)
{
    const std::string bytes = MakeBmp(PaletteLayout());
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromBytes(bytes));
    EXPECT_EQ(bitmap.ClassName(), "TBitmap");
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.SaveToBytes(), bytes);
    const TRGBAImage image = Decoded(bitmap);
    EXPECT_EQ(PixelAt(image, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 1, 1), 0x00FF00FFu);
    EXPECT_EQ(PixelAt(image, 2, 1), 0x0000FFFFu);
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(image, 1, 0), 0x000000FFu) << "an index outside the colour table draws black";
    EXPECT_EQ(PixelAt(image, 2, 0), 0x00FF00FFu);
}

TEST(Bitmap, TwentyFourBitTopDownAndCoreHeader)
{
    // Rows of 6 bytes padded to 8; blue-green-red order.
    const TRGBAImage top = DecodedBmp(
        {2, -2, 24, 0, 40, {}, {}, Bytes({255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 10, 20, 30, 0, 0})});
    EXPECT_EQ(PixelAt(top, 0, 0), 0x0000FFFFu);
    EXPECT_EQ(PixelAt(top, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(top, 0, 1), 0x00FF00FFu);
    EXPECT_EQ(PixelAt(top, 1, 1), 0x1E140AFFu);

    const TRGBAImage core =
        DecodedBmp({2, 1, 8, 0, 12, std::vector<std::uint32_t>(256, 0x123456), {}, Bytes({0, 0, 0, 0})});
    EXPECT_EQ(PixelAt(core, 1, 0), 0x123456FFu) << "three-byte colour table of the core header";
}

TEST(Bitmap, OneAndFourBitPixels)
{
    const TRGBAImage mono = DecodedBmp({10, 1, 1, 0, 40, {0x000000, 0xFFFFFF}, {}, Bytes({0xA0, 0x40, 0, 0})});
    const bool white[10] = {true, false, true, false, false, false, false, false, false, true};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(PixelAt(mono, x, 0), white[x] ? 0xFFFFFFFFu : 0x000000FFu) << x;

    const TRGBAImage nibbles =
        DecodedBmp({3, 1, 4, 0, 40, {0, 0x110000, 0x002200, 0x000033}, {}, Bytes({0x12, 0x30, 0, 0})});
    EXPECT_EQ(PixelAt(nibbles, 0, 0), 0x110000FFu);
    EXPECT_EQ(PixelAt(nibbles, 1, 0), 0x002200FFu);
    EXPECT_EQ(PixelAt(nibbles, 2, 0), 0x000033FFu);
}

TEST(Bitmap, BitFieldMasksAndAlpha)
{
    std::string px;
    PutU32(px, 0x00332211);
    const TRGBAImage swapped = DecodedBmp({1, 1, 32, 3, 40, {}, {0x000000FF, 0x0000FF00, 0x00FF0000}, px});
    EXPECT_EQ(PixelAt(swapped, 0, 0), 0x112233FFu) << "masks after the info header, no alpha mask: opaque";

    std::string alphaPx;
    PutU32(alphaPx, 0x80FF0000);
    PutU32(alphaPx, 0x00000000);
    const TRGBAImage v5 =
        DecodedBmp({2, 1, 32, 3, 124, {}, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, alphaPx});
    EXPECT_EQ(PixelAt(v5, 0, 0), 0xFF000080u) << "straight alpha from the V5 alpha mask";
    EXPECT_EQ(PixelAt(v5, 1, 0), 0x00000000u);

    std::string px565;
    for (int v : {0xF800, 0x07E0, 0x001F, 0x8410})
        PutU16(px565, std::uint32_t(v));
    const TRGBAImage rgb565 = DecodedBmp({4, 1, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}, px565});
    EXPECT_EQ(PixelAt(rgb565, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(rgb565, 1, 0), 0x00FF00FFu);
    EXPECT_EQ(PixelAt(rgb565, 2, 0), 0x0000FFFFu);
    EXPECT_EQ(PixelAt(rgb565, 3, 0), 0x848284FFu) << "5 and 6 bit channels scaled to 8 bits";

    std::string px555;
    PutU16(px555, 0x7C00);
    PutU16(px555, 0);
    EXPECT_EQ(PixelAt(DecodedBmp({1, 1, 16, 0, 40, {}, {}, px555}), 0, 0), 0xFF0000FFu) << "plain 16 bit is 5-5-5";
}

TEST(Bitmap, FourthByteOfPlainThirtyTwoBitIsAlphaOnlyWhenUsed)
{
    std::string unused;
    PutU32(unused, 0x00102030);
    PutU32(unused, 0x00405060);
    const TRGBAImage opaque = DecodedBmp({2, 1, 32, 0, 40, {}, {}, unused});
    EXPECT_EQ(PixelAt(opaque, 0, 0), 0x102030FFu);
    EXPECT_EQ(PixelAt(opaque, 1, 0), 0x405060FFu);

    std::string used;
    PutU32(used, 0x40102030);
    PutU32(used, 0x00405060);
    const TRGBAImage alpha = DecodedBmp({2, 1, 32, 0, 40, {}, {}, used});
    EXPECT_EQ(PixelAt(alpha, 0, 0), 0x10203040u);
    EXPECT_EQ(PixelAt(alpha, 1, 0), 0x40506000u);
}

TEST(Bitmap, RunLengthEightAndFour)
{
    // Bottom row: a run of two, an absolute run of three (the third past the edge, word padding),
    // end of line; a delta over the middle row; one pixel on the top row; end of bitmap.
    const TBmpLayout rle8{4, 3, 8, 1, 40, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {},
                        Bytes({2, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 1, 4, 0, 1})};
    const TRGBAImage image = DecodedBmp(rle8);
    EXPECT_EQ(PixelAt(image, 0, 2), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 1, 2), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 2, 2), 0x00FF00FFu);
    EXPECT_EQ(PixelAt(image, 3, 2), 0x0000FFFFu);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(PixelAt(image, x, 1), 0u) << "skipped pixels stay transparent";
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);
    EXPECT_EQ(PixelAt(image, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(image, 2, 0), 0u);

    const TBmpLayout rle4{5, 1, 4, 2, 40, {0, 0x010101, 0x020202, 0x030303, 0x040404, 0x050505}, {},
                        Bytes({4, 0x12, 0, 3, 0x34, 0x50, 0, 1})};
    const TRGBAImage nibbles = DecodedBmp(rle4);
    const std::uint32_t expected[5] = {0x010101FF, 0x020202FF, 0x010101FF, 0x020202FF, 0x030303FF};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(PixelAt(nibbles, x, 0), expected[x]) << x;
}

TEST(Bitmap, TransparentColourAutoAndFixed)
{
    const std::string bytes = MakeBmp(PaletteLayout());
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromBytes(bytes));
    TGraphic& picture = bitmap;
    picture.SetTransparent(true);
    EXPECT_EQ(bitmap.TransparentColor(), clRed) << "the bottom-left pixel";
    TRGBAImage image = Decoded(bitmap);
    EXPECT_EQ(PixelAt(image, 0, 1), 0xFF000000u);
    EXPECT_EQ(PixelAt(image, 1, 1), 0x00FF00FFu);
    EXPECT_EQ(bitmap.SaveToBytes(), bytes) << "transparency never touches the bytes";

    bitmap.SetTransparentColor(clWhite);
    EXPECT_TRUE(bitmap.TransparentColorFixed());
    const auto copy = bitmap.Clone();
    image = Decoded(*copy);
    EXPECT_EQ(PixelAt(image, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFFFFFF00u) << "the clone keeps the fixed colour";

    bitmap.SetTransparentColorAuto();
    EXPECT_EQ(PixelAt(Decoded(bitmap), 0, 1), 0xFF000000u);
    bitmap.SetTransparent(false);
    image = Decoded(bitmap);
    for (std::size_t i = 3; i < image.Pixels.size(); i += 4)
        EXPECT_EQ(image.Pixels[i], 255);
}

TEST(Bitmap, RefusesHeadersThatDoNotHoldTogether)
{
    std::vector<std::pair<const char*, std::string>> bad;
    auto layout = [](auto change) {
        TBmpLayout s = PaletteLayout();
        change(s);
        return MakeBmp(s);
    };
    // The pixel data is all there, so only the size limits refuse these two.
    auto mono = [](int width, int height) {
        return TBmpLayout{width, height, 1, 0, 40, {0, 0xFFFFFF}, {},
                        std::string(DibRowBytes(width, 1) * std::uint64_t(height), '\0')};
    };
    bad.push_back({"too wide", MakeBmp(mono(70000, 1))});
    bad.push_back({"too many pixels", MakeBmp(mono(10240, 10240))});
    bad.push_back({"smallest height", layout([](TBmpLayout& s) { s.Height = INT_MIN; })});
    bad.push_back({"zero width", layout([](TBmpLayout& s) { s.Width = 0; })});
    auto runLength3000 = [&](std::size_t bytes) {
        return layout([bytes](TBmpLayout& s) {
            s.Width = s.Height = 3000;
            s.Compression = 1;
            s.Bits = std::string(bytes, '\0');
        });
    };
    bad.push_back({"run length too short for 3000 x 3000", runLength3000(30000)});
    bad.push_back({"run length at 24 bits",
                   layout([](TBmpLayout& s) { s.BitCount = 24; s.Compression = 1; s.Palette.clear(); })});
    bad.push_back({"run length top-down", layout([](TBmpLayout& s) { s.Height = -2; s.Compression = 1; })});
    bad.push_back({"bit fields at 8 bits", layout([](TBmpLayout& s) { s.Compression = 3; s.Masks = {1, 2, 4}; })});
    bad.push_back({"embedded JPEG", layout([](TBmpLayout& s) { s.Compression = 4; })});
    bad.push_back({"7 bits per pixel", layout([](TBmpLayout& s) { s.BitCount = 7; })});
    bad.push_back({"300 colours", layout([](TBmpLayout& s) { s.Palette.resize(300); })});
    bad.push_back({"unknown header size", layout([](TBmpLayout& s) { s.HeaderSize = 64; })});
    bad.push_back({"pixels cut short", MakeBmp(PaletteLayout()).substr(0, MakeBmp(PaletteLayout()).size() - 2)});
    std::string offsetIntoHeader = MakeBmp(PaletteLayout());
    offsetIntoHeader[10] = 20;
    bad.push_back({"pixel offset inside the header", offsetIntoHeader});
    std::string offsetPastEnd = MakeBmp(PaletteLayout());
    offsetPastEnd[11] = 2;
    bad.push_back({"pixel offset past the end", offsetPastEnd});
    std::string planes = MakeBmp(PaletteLayout());
    planes[26] = 2;
    bad.push_back({"two planes", planes});
    bad.push_back({"not BM", "BA" + MakeBmp(PaletteLayout()).substr(2)});

    TBitmap bitmap;
    for (const auto& [why, bytes] : bad) {
        ASSERT_TRUE(bitmap.LoadFromBytes(MakeBmp(PaletteLayout())));
        EXPECT_FALSE(bitmap.LoadFromBytes(bytes)) << why;
        EXPECT_TRUE(bitmap.Empty()) << why;
        EXPECT_EQ(bitmap.Width(), 0) << why;
        TRGBAImage image;
        EXPECT_FALSE(bitmap.Decode(image)) << why;
    }
    // Run-length data may be short, as long as it could describe the picture.
    EXPECT_TRUE(bitmap.LoadFromBytes(runLength3000(40000)));
    // The last row may lack its padding.
    EXPECT_TRUE(bitmap.LoadFromBytes(MakeBmp(PaletteLayout()).substr(0, MakeBmp(PaletteLayout()).size() - 1)));
}

} // namespace
} // namespace xq::test

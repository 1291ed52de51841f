// Decoding pictures smaller than their natural size: the reduction a target asks for, the pixel
// sink's box averages, and every kind's reduced pixels against the average of its full pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "PictureSamples.h"
#include "pictures/Bitmap.h"
#include "pictures/Gif.h"
#include "pictures/Icon.h"
#include "pictures/Jpeg.h"
#include "pictures/Metafile.h"
#include "pictures/Png.h"

namespace xq::test {
namespace {

/// The reference: each block of fx x fy pixels (smaller at the right and bottom edges) becomes
/// its alpha-weighted mean colour and its mean alpha, rounded half up; a block without any
/// opacity is transparent black. Without reduction the pixels stay exactly as they are.
TRGBAImage BoxAverage(const TRGBAImage& natural, int fx, int fy)
{
    if (fx == 1 && fy == 1)
        return natural;
    TRGBAImage out;
    out.Width = (natural.Width + fx - 1) / fx;
    out.Height = (natural.Height + fy - 1) / fy;
    out.Pixels.assign(std::size_t(out.Width) * std::size_t(out.Height) * 4, 0);
    for (int ry = 0; ry < out.Height; ++ry)
        for (int rx = 0; rx < out.Width; ++rx) {
            double sum[3] = {0, 0, 0};
            double alpha = 0;
            int area = 0;
            for (int y = ry * fy; y < std::min((ry + 1) * fy, natural.Height); ++y)
                for (int x = rx * fx; x < std::min((rx + 1) * fx, natural.Width); ++x) {
                    const std::uint8_t* p = natural.Pixels.data() + (std::size_t(y) * std::size_t(natural.Width) + std::size_t(x)) * 4;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += double(p[c]) * p[3];
                    alpha += p[3];
                    ++area;
                }
            std::uint8_t* q = out.Pixels.data() + (std::size_t(ry) * std::size_t(out.Width) + std::size_t(rx)) * 4;
            q[3] = std::uint8_t(std::floor(alpha / area + 0.5));
            if (alpha > 0)
                for (int c = 0; c < 3; ++c)
                    q[c] = std::uint8_t(std::floor(sum[c] / alpha + 0.5));
        }
    return out;
}

void ExpectSameImage(const TRGBAImage& actual, const TRGBAImage& expected, int tolerance = 0)
{
    ASSERT_EQ(actual.Width, expected.Width);
    ASSERT_EQ(actual.Height, expected.Height);
    ASSERT_EQ(actual.Pixels.size(), expected.Pixels.size());
    for (std::size_t i = 0; i < actual.Pixels.size(); ++i)
        ASSERT_NEAR(int(actual.Pixels[i]), int(expected.Pixels[i]), tolerance)
            << "pixel " << (i / 4) % std::size_t(actual.Width) << "," << (i / 4) / std::size_t(actual.Width)
            << " channel " << i % 4;
}

const TDecodeReduction Reductions[] = {{1, 1}, {2, 2}, {4, 1}, {1, 8}, {8, 4}, {256, 256}};

/// Every reduction gives the box average of the natural pixels (within `tolerance`).
void ExpectReducedLikeTheAverage(const TEncodedPicture& picture, int tolerance = 0)
{
    TRGBAImage natural;
    ASSERT_TRUE(picture.Decode(natural));
    ASSERT_EQ(natural.Width, picture.Width());
    ASSERT_EQ(natural.Height, picture.Height());
    for (const TDecodeReduction r : Reductions) {
        SCOPED_TRACE(std::to_string(r.X) + " x " + std::to_string(r.Y));
        TRGBAImage reduced;
        ASSERT_TRUE(picture.DecodeReduced(reduced, r));
        EXPECT_EQ(reduced.Width, ReducedSide(picture.Width(), r.X));
        EXPECT_EQ(reduced.Height, ReducedSide(picture.Height(), r.Y));
        ExpectSameImage(reduced, BoxAverage(natural, r.X, r.Y), tolerance);
    }
}

/// RGBA pixels with colour and alpha varying over the picture, some fully transparent.
std::string Rgba(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    std::string out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int alpha = (x + y) % 7 == 0 ? 0 : int(random() % 256);
            out += Bytes({int(random() % 256), x * 255 / std::max(width - 1, 1), y * 255 / std::max(height - 1, 1), alpha});
        }
    return out;
}

// ---------------------------------------------------------------------------------------------

TEST(DecodeReduction, AsLargeAsTheTargetAllowsOnEachSide)
{
    EXPECT_EQ(ReductionFor(8000, 6000, 1000, 750), (TDecodeReduction{8, 8}));
    EXPECT_EQ(ReductionFor(1000, 1000, 500, 500), (TDecodeReduction{2, 2})) << "exactly half";
    EXPECT_EQ(ReductionFor(1000, 1000, 501, 501), (TDecodeReduction{1, 1})) << "a little more than half";
    EXPECT_EQ(ReductionFor(100, 100, 400, 300), (TDecodeReduction{1, 1})) << "drawn larger";
    EXPECT_EQ(ReductionFor(8000, 6000, 640, 6000), (TDecodeReduction{8, 1})) << "squeezed sideways";
    EXPECT_EQ(ReductionFor(65535, 1000, 1, 0), (TDecodeReduction{256, 256}))
        << "never beyond the largest reduction; an empty target counts as one pixel";
    EXPECT_EQ(ReductionFor(300, 300, 0, 0), (TDecodeReduction{256, 256}));

    EXPECT_EQ(ReducedSide(300, 256), 2);
    EXPECT_EQ(ReducedSide(1025, 8), 129);
    EXPECT_EQ(ReducedSide(1024, 8), 128);
    EXPECT_EQ(ReducedSide(1, 256), 1);
    EXPECT_TRUE((TDecodeReduction{1, 2}).Serves({2, 2}));
    EXPECT_FALSE((TDecodeReduction{1, 4}).Serves({2, 2}));
}

TEST(PixelSink, BlocksBecomeTheirAlphaWeightedAverage)
{
    // 3 x 2 pixels reduced 2 x 2: one full block and one half block at the right edge.
    TPixelSink sink;
    ASSERT_TRUE(sink.Start(3, 2, {2, 2}, TPixelSink::TOrder::Rows));
    EXPECT_TRUE(sink.Put(0, 0, 255, 0, 0, 255));
    EXPECT_TRUE(sink.Put(1, 0, 0, 0, 255, 85)); // a third as opaque: lends a quarter of the colour
    EXPECT_TRUE(sink.Put(0, 1, 0, 0, 255, 0));  // transparent: lends no colour at all
    // (1, 1) never arrives: transparent
    EXPECT_TRUE(sink.Put(2, 0, 10, 20, 30, 255));
    EXPECT_TRUE(sink.Put(2, 1, 30, 40, 50, 255));
    EXPECT_TRUE(sink.Put(7, 0, 1, 1, 1, 255)) << "outside: ignored";
    TRGBAImage image;
    ASSERT_TRUE(sink.Finish(image));
    ASSERT_EQ(image.Width, 2);
    ASSERT_EQ(image.Height, 1);
    EXPECT_EQ(PixelAt(image, 0, 0), 0xBF004055u); // red 255 * 255 / 340, blue 255 * 85 / 340, alpha 340 / 4
    EXPECT_EQ(PixelAt(image, 1, 0), 0x141E28FFu) << "the edge block has two pixels";
}

TEST(PixelSink, RowsAndAnyOrderAndWholeRowsAgree)
{
    const int width = 13;
    const int height = 11;
    const std::string rgba = Rgba(width, height, 7);
    const auto pixel = [&](int x, int y) { return reinterpret_cast<const std::uint8_t*>(rgba.data()) + (y * width + x) * 4; };
    for (const TDecodeReduction r : Reductions) {
        SCOPED_TRACE(std::to_string(r.X) + " x " + std::to_string(r.Y));
        TPixelSink rows;
        TPixelSink wholeRows;
        TPixelSink any;
        ASSERT_TRUE(rows.Start(width, height, r, TPixelSink::TOrder::Rows));
        ASSERT_TRUE(wholeRows.Start(width, height, r, TPixelSink::TOrder::Rows));
        ASSERT_TRUE(any.Start(width, height, r, TPixelSink::TOrder::Any));
        // Bottom up for the first, as bitmaps store their rows.
        for (int y = height - 1; y >= 0; --y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = pixel(x, y);
                ASSERT_TRUE(rows.Put(x, y, p[0], p[1], p[2], p[3]));
            }
        for (int y = 0; y < height; ++y)
            ASSERT_TRUE(wholeRows.PutRow(y, pixel(0, y)));
        std::vector<int> order(std::size_t(width * height));
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::shuffle(order.begin(), order.end(), std::mt19937(3));
        for (int i : order) {
            const std::uint8_t* p = pixel(i % width, i / width);
            ASSERT_TRUE(any.Put(i % width, i / width, p[0], p[1], p[2], p[3]));
        }
        TRGBAImage natural;
        natural.Width = width;
        natural.Height = height;
        natural.Pixels.assign(rgba.begin(), rgba.end());
        const TRGBAImage expected = BoxAverage(natural, r.X, r.Y);
        TRGBAImage a;
        TRGBAImage b;
        TRGBAImage c;
        ASSERT_TRUE(rows.Finish(a));
        ASSERT_TRUE(wholeRows.Finish(b));
        ASSERT_TRUE(any.Finish(c));
        ExpectSameImage(a, expected);
        ExpectSameImage(b, expected);
        ExpectSameImage(c, expected);
    }
}

TEST(PixelSink, ColourKeyBeforeAveragingAndRefusedSizes)
{
    for (const TDecodeReduction r : {TDecodeReduction{1, 1}, TDecodeReduction{2, 1}}) {
        TPixelSink sink;
        ASSERT_TRUE(sink.Start(2, 1, r, TPixelSink::TOrder::Rows));
        sink.SetColorKey(0x112233);
        const std::uint8_t row[8] = {0x11, 0x22, 0x33, 255, 0x44, 0x55, 0x66, 255};
        ASSERT_TRUE(sink.PutRow(0, row));
        TRGBAImage image;
        ASSERT_TRUE(sink.Finish(image));
        if (r.Natural()) {
            EXPECT_EQ(PixelAt(image, 0, 0), 0x11223300u);
            EXPECT_EQ(PixelAt(image, 1, 0), 0x445566FFu);
        } else {
            EXPECT_EQ(PixelAt(image, 0, 0), 0x44556680u) << "the keyed pixel lends no colour";
        }
    }
    TPixelSink sink;
    EXPECT_FALSE(sink.Start(10, 10, {3, 1}, TPixelSink::TOrder::Rows)) << "not a power of two";
    EXPECT_FALSE(sink.Start(10, 10, {512, 1}, TPixelSink::TOrder::Rows)) << "beyond the largest reduction";
    EXPECT_FALSE(sink.Start(8193, 8192, {8, 8}, TPixelSink::TOrder::Rows)) << "beyond the picture bound";
    EXPECT_FALSE(sink.Put(0, 0, 1, 2, 3, 4)) << "a sink that did not start takes nothing";
    TRGBAImage image;
    EXPECT_FALSE(sink.Finish(image));
}

TEST(PixelSink, RowsGrowWithTheRowsThatArrive)
{
    TPixelSink sink;
    ASSERT_TRUE(sink.Start(1000, 1000, {1, 1}, TPixelSink::TOrder::Rows));
    const std::vector<std::uint8_t> row(4000, 200);
    ASSERT_TRUE(sink.PutRow(0, row.data()));
    TRGBAImage image;
    ASSERT_TRUE(sink.Finish(image));
    ASSERT_EQ(image.Pixels.size(), 4'000'000u);
    EXPECT_EQ(PixelAt(image, 999, 0), 0xC8C8C8C8u);
    EXPECT_EQ(PixelAt(image, 999, 999), 0u) << "rows that never came are transparent";
}

// ---------------------------------------------------------------------------------------------

TEST(ReducedDecode, PngPlainAndInterlaced)
{
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "plain");
        TPngLayout layout;
        layout.Width = 37;
        layout.Height = 23;
        layout.Interlaced = interlaced;
        layout.Rows = Rgba(37, 23, 11);
        TPNGObject png;
        ASSERT_TRUE(png.LoadFromBytes(EncodePng(layout)));
        ExpectReducedLikeTheAverage(png);
    }
}

TEST(ReducedDecode, GifFramesInsideTheirScreen)
{
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "plain");
        TGifLayout layout{29, 21, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {}};
        std::string indices;
        for (int i = 0; i < 23 * 17; ++i)
            indices.push_back(char((i * 7 + i / 23) % 4));
        layout.Frames.push_back({3, 2, 23, 17, interlaced, indices, {}, 2});
        TGIFImage gif;
        ASSERT_TRUE(gif.LoadFromBytes(EncodeGif(layout)));
        ExpectReducedLikeTheAverage(gif);
    }
}

TEST(ReducedDecode, BitmapsPlainRunLengthAndTransparent)
{
    std::string bits;
    for (int y = 0; y < 19; ++y) {
        for (int x = 0; x < 21; ++x)
            bits += Bytes({x * 12, y * 13, (x * y) % 256});
        bits += std::string(1, '\0'); // 63 bytes padded to 64
    }
    for (const int height : {19, -19}) {
        TBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromBytes(MakeBmp({21, height, 24, 0, 40, {}, {}, bits})));
        ExpectReducedLikeTheAverage(bitmap);
        bitmap.SetTransparent(true); // the bottom-left pixel's colour goes
        ExpectReducedLikeTheAverage(bitmap);
        TRGBAImage image;
        ASSERT_TRUE(bitmap.Decode(image));
        EXPECT_EQ(PixelAt(image, 0, 18) & 0xFF, 0u);
    }

    // Run-length rows with a skip: what the data never reaches is transparent.
    const std::string rle = Bytes({5, 1, 0, 2, 2, 1, 3, 2, 0, 0, 9, 1, 0, 1});
    TBitmap runLength;
    ASSERT_TRUE(runLength.LoadFromBytes(MakeBmp({9, 3, 8, 1, 40, {0x102030, 0xA0B0C0, 0xFFFFFF}, {}, rle})));
    ExpectReducedLikeTheAverage(runLength);
}

TEST(ReducedDecode, TransparentColourOfABitmapIsReadFromItsBottomRow)
{
    for (const int height : {2, -2}) {
        // Stored rows: first 0x010203, 0x040506; then 0x070809, 0x0A0B0C.
        const std::string bits = Bytes({3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11, 10, 0, 0});
        TBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromBytes(MakeBmp({2, height, 24, 0, 40, {}, {}, bits})));
        EXPECT_EQ(bitmap.TransparentColor(), height > 0 ? 0x030201u : 0x090807u) << "0x00BBGGRR";
    }
}

TEST(ReducedDecode, IconMaskBeforeTheReduction)
{
    // 4 x 2 at 24 bits, mask bits 1010 in both rows.
    TBmpLayout colours{4, 4, 24, 0, 40, {}, {}, std::string(2 * 12, '\x80')}; // doubled height
    std::string dib = MakeDibHeader(colours) + colours.Bits;
    for (int row = 0; row < 2; ++row)
        dib += Bytes({0xA0, 0, 0, 0});
    TIcon icon;
    ASSERT_TRUE(icon.LoadFromBytes(MakeIco({{dib, 4, 2, 24}})));
    ExpectReducedLikeTheAverage(icon);
    TRGBAImage reduced;
    ASSERT_TRUE(icon.DecodeReduced(reduced, {2, 2}));
    EXPECT_EQ(PixelAt(reduced, 0, 0), 0x80808080u) << "half of each block is masked";
}

TEST(ReducedDecode, JpegScaledByLibjpegAndBeyond)
{
    std::string rgb;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 72; ++x)
            rgb += Bytes({x * 255 / 71, y * 255 / 47, 128});
    TJPEGImage jpeg;
    ASSERT_TRUE(jpeg.LoadFromBytes(EncodeJpeg(72, 48, 3, rgb)));
    // libjpeg's scaled inverse DCT is not a box average, but close to it on smooth pictures.
    ExpectReducedLikeTheAverage(jpeg, 10);
    TRGBAImage reduced;
    ASSERT_TRUE(jpeg.DecodeReduced(reduced, {16, 32}));
    EXPECT_EQ(reduced.Width, 5);
    EXPECT_EQ(reduced.Height, 2);
}

TEST(ReducedDecode, MetafilePlaceholderDrawnAtTheReducedSize)
{
    TMetafile wmf;
    ASSERT_TRUE(wmf.LoadFromBytes(MakeEmf(0, 0, 25400, 12700))); // 960 x 480
    TRGBAImage image;
    ASSERT_TRUE(wmf.DecodeReduced(image, {4, 8}));
    EXPECT_EQ(image.Width, 240);
    EXPECT_EQ(image.Height, 60);
    EXPECT_EQ(PixelAt(image, 0, 30), 0x606060FFu) << "its frame";
    EXPECT_EQ(PixelAt(image, 120, 10), 0xE0E0E0FFu);
}

} // namespace
} // namespace xq::test

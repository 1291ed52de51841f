// Picture files as the user chooses them, and pictures of every kind made into bitmaps.
#include <gtest/gtest.h>

#include "PictureSamples.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureKinds.h"
#include "support/TempDir.h"

namespace xq::test {
namespace {

/// A 2 x 2 RGBA PNG: opaque red, fully transparent green, half-transparent blue, opaque white.
std::string MixedAlphaPng()
{
    return EncodeRgbaPng(2, 2, Bytes({255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128, 255, 255, 255, 255}));
}

TEST(PictureFile, EveryKindIsReadFromItsBytesWhateverTheFileIsCalled)
{
    TTempDir dir;
    int n = 0;
    for (const TKindSample& sample : SampleOfEachKind()) {
        SCOPED_TRACE(sample.ClassName + " " + sample.Variant);
        const auto path = dir / ("picture" + std::to_string(++n) + ".dat");
        WriteBytes(path, sample.Bytes);
        const auto picture = LoadPictureFile(path);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->ClassName(), sample.ClassName);
        EXPECT_EQ(picture->SaveToBytes(), sample.Bytes);
    }
}

TEST(PictureFile, UnreadableFilesGiveNoPicture)
{
    TTempDir dir;
    EXPECT_FALSE(LoadPictureFile(dir / "missing.png"));
    EXPECT_FALSE(LoadPictureFile(dir.Path()));

    WriteBytes(dir / "text.png", "no picture at all");
    EXPECT_FALSE(LoadPictureFile(dir / "text.png"));
    WriteBytes(dir / "empty.bmp", "");
    EXPECT_FALSE(LoadPictureFile(dir / "empty.bmp"));

    // Sound headers over broken pixel data: the kinds accept the bytes, but they cannot be drawn.
    const std::string png = MixedAlphaPng();
    const std::string cut = png.substr(0, png.find("IDAT") + 8);
    ASSERT_TRUE(LoadGraphic(cut));
    WriteBytes(dir / "cut.png", cut);
    EXPECT_FALSE(LoadPictureFile(dir / "cut.png"));
    std::string jpeg = EncodeJpeg(8, 8, 1, std::string(64, '\x80'));
    jpeg.resize(jpeg.size() / 3);
    WriteBytes(dir / "cut.jpg", jpeg);
    EXPECT_FALSE(LoadPictureFile(dir / "cut.jpg"));

    // A header that claims an enormous picture over a few bytes of data.
    WriteBytes(dir / "huge.png", WithPngSize(png, 60000, 60000));
    EXPECT_FALSE(LoadPictureFile(dir / "huge.png"));

    // A file beyond the limit is not read at all (sparse: it takes no room on the disk).
    const auto big = dir / "big.png";
    WriteBytes(big, png);
    std::filesystem::resize_file(big, MaxPictureFileBytes + 1);
    EXPECT_FALSE(LoadPictureFile(big));
}

TEST(PictureFile, ABitmapStaysItselfOtherKindsAreDrawnOverWhite)
{
    for (const TKindSample& sample : SampleOfEachKind()) {
        SCOPED_TRACE(sample.ClassName + " " + sample.Variant);
        const auto picture = LoadGraphic(sample.Bytes);
        ASSERT_TRUE(picture);
        const auto bitmap = PictureToBitmap(*picture);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->ClassName(), "TBitmap");
        if (sample.ClassName == "TBitmap") {
            EXPECT_EQ(bitmap->SaveToBytes(), sample.Bytes);
            continue;
        }
        TRGBAImage original, converted;
        ASSERT_TRUE(picture->Decode(original));
        ASSERT_TRUE(bitmap->Decode(converted));
        ASSERT_EQ(converted.Width, original.Width);
        ASSERT_EQ(converted.Height, original.Height);
        for (int y = 0; y < original.Height; ++y)
            for (int x = 0; x < original.Width; ++x)
                if ((PixelAt(original, x, y) & 0xFF) == 0xFF)
                    EXPECT_EQ(PixelAt(converted, x, y), PixelAt(original, x, y)) << x << "," << y;
    }

    const auto png = LoadGraphic(MixedAlphaPng());
    ASSERT_TRUE(png);
    const auto bitmap = PictureToBitmap(*png);
    ASSERT_TRUE(bitmap);
    TRGBAImage image;
    ASSERT_TRUE(bitmap->Decode(image));
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(image, 0, 1), 0x7F7FFFFFu); // blue at half strength over white
    EXPECT_EQ(PixelAt(image, 1, 1), 0xFFFFFFFFu);

    // What cannot be decoded cannot be drawn.
    const std::string raw = MixedAlphaPng();
    const auto broken = LoadGraphic(raw.substr(0, raw.find("IDAT") + 8));
    ASSERT_TRUE(broken);
    EXPECT_FALSE(PictureToBitmap(*broken));
}

TEST(PictureFile, BmpRowsArePaddedAndStoredBottomUp)
{
    // 3 pixels of 3 bytes need one byte of padding per row.
    TRGBAImage image;
    image.Width = 3;
    image.Height = 2;
    image.Pixels = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255};
    const std::string bmp = EncodeBmpOverWhite(image);
    ASSERT_EQ(bmp.size(), 14u + 40u + 2u * 12u);
    // The bottom row first, each pixel as blue, green, red.
    EXPECT_EQ(bmp.substr(54, 12), Bytes({12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0}));
    EXPECT_EQ(bmp.substr(66, 12), Bytes({3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
    const auto loaded = LoadGraphic(bmp);
    ASSERT_TRUE(loaded);
    TRGBAImage back;
    ASSERT_TRUE(loaded->Decode(back));
    EXPECT_EQ(back.Pixels, image.Pixels);

    EXPECT_EQ(EncodeBmpOverWhite(TRGBAImage{}), "");
}

} // namespace
} // namespace xq::test

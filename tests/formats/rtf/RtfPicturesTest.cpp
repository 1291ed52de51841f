// Pictures in RTF: the blip of each picture kind, the scale for a requested size, and the two
// forms of the data.
#include "formats/rtf/RtfPictures.h"

#include <gtest/gtest.h>

#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"

namespace xq::test {
namespace {

std::string Hex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        out += digits[static_cast<unsigned char>(c) >> 4];
        out += digits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

class RtfPicturesTest : public ::testing::Test {
protected:
    RtfPicturesTest() { Settings.Options = {}; }

    /// A paragraph holding the picture made from bytes, of the requested size.
    void AddPicture(const std::string& bytes, int width = 0, int height = 0, bool hot = false)
    {
        std::unique_ptr<TRVGraphicItemInfo> item =
            hot ? std::make_unique<TRVHotGraphicItemInfo>() : std::make_unique<TRVGraphicItemInfo>();
        item->Image = LoadGraphic(bytes);
        ASSERT_NE(item->Image, nullptr) << "a picture of a known kind";
        item->ImageWidth = width;
        item->ImageHeight = height;
        item->ParaNo = 0;
        Doc.AppendItem("", std::move(item));
    }

    /// What the document's body holds between its paragraph keywords and the closing "\par}".
    std::string Pict()
    {
        std::string out;
        EXPECT_TRUE(WriteRtfDocument(Doc, Settings, out));
        const auto from = out.find("\\itap0 ");
        const auto to = out.rfind("\\par}");
        EXPECT_NE(from, std::string::npos);
        return from == std::string::npos || to == std::string::npos ? out : out.substr(from + 7, to - from - 7);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVRTFWriteSettings Settings;
};

TEST_F(RtfPicturesTest, PngAndJpegAreWrittenAsTheirBlips)
{
    const std::string png = EncodeRgbaPng(2, 1, Bytes({255, 0, 0, 255, 0, 0, 255, 255}));
    AddPicture(png, 4, 0);
    // Twice the natural width asked for; the height stays natural and gets no scale.
    EXPECT_EQ(Pict(), "{\\pict\\picscalex200\\pngblip\\picw2\\pich1 " + Hex(png) + "}");

    Doc.Clear();
    const std::string jpeg = EncodeJpeg(2, 2, 1, Bytes({0, 64, 128, 255}));
    AddPicture(jpeg, 0, 3);
    Settings.Options = {rvrtfSaveJpegAsJpeg};
    EXPECT_EQ(Pict(), "{\\pict\\picscaley150\\jpegblip\\picw2\\pich2 " + Hex(jpeg) + "}");
    // Not kept as JPEG: decoded into a 24-bit bitmap, 8 bytes per row (6 and padding).
    Settings.Options = {};
    const std::string pict = Pict();
    const std::string keywords = "{\\pict\\picscaley150\\dibitmap0\\wbmwidthbytes8\\picw2\\pich2\\picwgoal30\\pichgoal30 ";
    ASSERT_EQ(pict.substr(0, keywords.size()), keywords) << pict;
    EXPECT_EQ(pict.substr(keywords.size(), 32), "28000000020000000200000001001800") << "an info header, 24 bits";
    EXPECT_EQ(pict.size(), keywords.size() + 2 * (40 + 2 * 8) + 1);
}

TEST_F(RtfPicturesTest, BitmapsAreTheirFilesWithoutTheFileHeader)
{
    // 2 x 2 pixels of 24 bits, rows padded to 8 bytes.
    const std::string bmp = MakeBmp({2, 2, 24, 0, 40, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})});
    AddPicture(bmp, 0, 0, true);
    const std::string expected =
        "{\\pict\\dibitmap0\\wbmwidthbytes8\\picw2\\pich2\\picwgoal30\\pichgoal30 " + Hex(bmp.substr(14)) + "}";
    EXPECT_EQ(Pict(), expected) << "a hot picture is written as a picture";
    // PNG is not made here: the option leaves bitmaps as they are.
    Settings.Options = {rvrtfPNGInsteadOfBitmap};
    EXPECT_EQ(Pict(), expected);
    // A bitmap of one row gives its width as the row length.
    Doc.Clear();
    AddPicture(MakeBmp({3, 1, 24, 0, 40, {}, {}, std::string(12, '\x7F')}));
    EXPECT_NE(Pict().find("\\wbmwidthbytes3\\picw3\\pich1\\picwgoal45\\pichgoal15 "), std::string::npos) << Pict();
}

TEST_F(RtfPicturesTest, BinaryDataIsOneBinGroup)
{
    const std::string png = EncodeRgbaPng(1, 1, Bytes({0, 0, 0, 0}));
    AddPicture(png);
    Settings.Options = {rvrtfSavePicturesBinary};
    EXPECT_EQ(Pict(), "{\\pict\\pngblip\\picw1\\pich1 {\\bin" + std::to_string(png.size()) + " " + png + "}}");
    // In hexadecimal the same picture is one run of uppercase digits.
    Settings.Options = {};
    const std::string hex = Pict();
    EXPECT_EQ(hex, "{\\pict\\pngblip\\picw1\\pich1 " + Hex(png) + "}");
    EXPECT_EQ(hex.find_first_of("abcdef\r\n", hex.find(' ')), std::string::npos);
}

TEST_F(RtfPicturesTest, WindowsMetafilesLoseOnlyARealPlaceableHeader)
{
    // 1440 x 720 units at 1440 per inch: 96 x 48 pixels, 2540 x 1270 hundredths of a millimetre.
    const std::string placeable = MakeWmf({WmfRecord(0x020C, {720, 1440})}, true, {0, 0, 1440, 720}, 1440);
    ASSERT_EQ(placeable.size() % 2, 0u);
    AddPicture(placeable, 48, 96);
    EXPECT_EQ(Pict(), "{\\pict\\picscalex50\\picscaley200\\wmetafile8\\picw2540\\pich1270 " + Hex(placeable.substr(22)) +
                          "}");

    // Without the placeable header nothing is skipped; the size comes from the window extent.
    Doc.Clear();
    const std::string plain = MakeWmf({WmfRecord(0x020B, {0, 0}), WmfRecord(0x020C, {720, 1440})});
    AddPicture(plain);
    EXPECT_EQ(Pict(), "{\\pict\\wmetafile8\\picw2540\\pich1270 " + Hex(plain) + "}");
}

TEST_F(RtfPicturesTest, EnhancedMetafilesAreWrittenWhole)
{
    const std::string emf = MakeEmf(0, 0, 2540, 1270);
    AddPicture(emf, 192, 0);
    Settings.Options = {rvrtfSaveEMFAsWMF};
    EXPECT_EQ(Pict(), "{\\pict\\picscalex200\\emfblip\\picw2540\\pich1270 " + Hex(emf) + "}");
    // The physical size counts in screen pixels of the export, the pixel size in the picture's
    // 96 per inch: at 120 pixels per inch an inch is 120 pixels wide, or 96.
    Settings.PixelsPerInch = 120;
    Doc.Clear();
    AddPicture(emf, 240, 0);
    EXPECT_EQ(Pict().substr(0, 20), "{\\pict\\picscalex200\\") << Pict();
    Settings.Options = {};
    EXPECT_EQ(Pict().substr(0, 20), "{\\pict\\picscalex250\\") << "without the option, by the pixel size";
}

TEST_F(RtfPicturesTest, OtherKindsBecomeBitmapsOverWhite)
{
    // A GIF of two pixels, the second transparent: blue, then white in the bitmap.
    TGifLayout gif{2, 1, {0x0000FF, 0xFFFFFF}, {}};
    gif.Frames.push_back({0, 0, 2, 1, false, Bytes({0, 1}), {}, 1});
    AddPicture(EncodeGif(gif));
    Settings.Options = {rvrtfSaveBitmapDefault};
    const std::string pict = Pict();
    // One row: its width stands for the row length, as for bitmap files.
    const std::string keywords = "{\\pict\\dibitmap0\\wbmwidthbytes2\\picw2\\pich1\\picwgoal30\\pichgoal15 ";
    ASSERT_EQ(pict.substr(0, keywords.size()), keywords) << pict;
    // After the 40-byte header: blue, green, red of each pixel, then the row's padding.
    EXPECT_EQ(pict.substr(keywords.size() + 80), "FF0000FFFFFFFFFF}");
}

TEST_F(RtfPicturesTest, APictureItemWithoutAPictureWritesNothing)
{
    auto item = std::make_unique<TRVGraphicItemInfo>();
    item->ParaNo = 0;
    Doc.AppendItem("", std::move(item));
    EXPECT_EQ(Pict(), "");
    std::string out;
    WriteRtfPicture(nullptr, 10, 10, out, TRVRTFWriteContext(Sheet, Settings));
    EXPECT_EQ(out, "");
}

} // namespace
} // namespace xq::test

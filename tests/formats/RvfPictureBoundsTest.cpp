// Documents holding pictures beyond the size bound: read with the invalid-picture warning, shown
// as the sheet's invalid picture without any decoding, and written back byte for byte - picture
// items, the background picture and pictures of list levels alike.
#include <gtest/gtest.h>

#include <random>

#include "document/DocumentInfo.h"
#include "document/ItemInfo.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "layout/PaintTestSupport.h"
#include "pictures/Bitmap.h"
#include "pictures/PictureCacheGuard.h"
#include "pictures/PictureSamples.h"
#include "pictures/UnreadablePicture.h"

namespace xq {
namespace {

using test::Bytes;

std::string Le32(std::size_t n)
{
    std::string out;
    test::PutU32(out, std::uint32_t(n));
    return out;
}

/// A picture record in binary mode.
std::string PictureRecord(const std::string& className, const std::string& data)
{
    return "-3 3 0 0 2 0 0\r\nBild\r\n" + className + "\r\n" + Le32(data.size()) + data;
}

/// A PNG bomb: 12 KB that would decode to 10000 x 10000 pixels.
std::string PngBomb()
{
    test::TPngLayout layout;
    layout.Width = layout.Height = 10000;
    layout.ColorType = 0;
    layout.BitDepth = 1;
    layout.Rows.assign(std::size_t(1250) * 10000, '\0');
    return test::EncodePng(layout);
}

struct TOversized {
    std::string ClassName;
    std::string Bytes;
};

/// One picture of each codec kind whose header claims more than the bound, each with enough data
/// behind it that only the bound refuses it.
std::vector<TOversized> OversizedPictures()
{
    std::vector<TOversized> out;
    out.push_back({"TPNGObject", PngBomb()});

    std::mt19937 random(4);
    std::string noise(480 * 480, '\0');
    for (char& c : noise)
        c = char(random());
    std::string jpeg = test::EncodeJpeg(480, 480, 1, noise, false, 95);
    const std::size_t frame = jpeg.find("\xFF\xC0");
    jpeg.replace(frame + 5, 4, Bytes({0x27, 0x10, 0x27, 0x10})); // 10000 x 10000
    out.push_back({"TJPEGImage", jpeg});

    test::TGifLayout gif{10000, 10000, {0x000000, 0xFFFFFF}, {}};
    std::string indices = noise.substr(0, 400 * 400);
    for (char& c : indices)
        c = char(c & 1);
    gif.Frames.push_back({0, 0, 400, 400, false, indices, {}, -1});
    out.push_back({"TGIFImage", test::EncodeGif(gif)});

    out.push_back({"TBitmap", test::MakeBmp({10000, 10000, 8, 1, 40, {0x000000}, {}, std::string(400'000, '\0')})});
    return out;
}

class RvfPictureBoundsTest : public ::testing::Test {
protected:
    RvfPictureBoundsTest() { SetupMainWindowStyleSheet(Doc.Sheet); }

    std::string Write(const TCustomRVData& doc, const TRVDocumentInfo* info = nullptr)
    {
        std::string out;
        EXPECT_TRUE(TRVFWriter(Doc.Sheet, RVFMainWindowOptions).WriteDocument(doc, info, out));
        return out;
    }

    test::TPictureCacheGuard Guard{TPictureCache::DefaultBudget};
    test::TPaintedDocument Doc;
};

TEST_F(RvfPictureBoundsTest, PicturesBeyondTheBoundShowAsTheInvalidPictureAndKeepTheirBytes)
{
    const std::vector<TOversized> pictures = OversizedPictures();
    std::string stream = "-8 1 3\r\n";
    for (const TOversized& p : pictures)
        stream += PictureRecord(p.ClassName, p.Bytes);

    TRVFReader reader(Doc.Sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadDocument(Doc.Data, nullptr, stream));
    EXPECT_TRUE(reader.Warnings().Contains(WarnInvalidPicture));
    ASSERT_EQ(Doc.Data.Count(), int(pictures.size()));
    const std::string written = Write(Doc.Data);
    for (const TOversized& p : pictures)
        EXPECT_NE(written.find(PictureRecord(p.ClassName, p.Bytes)), std::string::npos) << p.ClassName << " written as read";
    for (int i = 0; i < Doc.Data.Count(); ++i) {
        SCOPED_TRACE(pictures[std::size_t(i)].ClassName);
        auto& item = static_cast<TRVGraphicItemInfo&>(Doc.Data.ItemAt(i));
        ASSERT_TRUE(item.Image);
        EXPECT_NE(dynamic_cast<const TUnreadablePicture*>(item.Image.get()), nullptr);
        EXPECT_EQ(item.Image->ClassName(), pictures[std::size_t(i)].ClassName);
        EXPECT_EQ(item.Image->SaveToBytes(), pictures[std::size_t(i)].Bytes);
        item.ImageWidth = item.ImageHeight = 30;
        Doc.Place(i, 40 * i, 0, 32, 32);
    }

    auto invalid = std::make_unique<TBitmap>();
    ASSERT_TRUE(invalid->LoadFromBytes(test::MakeBmp({5, 5, 24, 0, 40, {}, {}, std::string(5 * 16, '\x44')})));
    Doc.Sheet.SetInvalidPicture(std::move(invalid));
    const auto images = test::OpsStartingWith(Doc.Paint(), "image");
    EXPECT_EQ(images, (std::vector<std::string>{"image 1,1,31,31 from 5x5", "image 41,1,71,31 from 5x5",
                                                "image 81,1,111,31 from 5x5", "image 121,1,151,31 from 5x5"}));
    EXPECT_EQ(TPictureCache::Instance().Decodes(), 1u) << "only the invalid picture was decoded";
}

TEST_F(RvfPictureBoundsTest, BackgroundAndListLevelPicturesBeyondTheBoundAreKept)
{
    const std::string bomb = PngBomb();
    TRVListLevel& level = Doc.Sheet.ListStyles.Add().Levels.Add();
    level.ListType = rvlstPicture;
    const TUnreadablePicture levelPicture("TPNGObject", bomb);
    level.SetPicture(&levelPicture);
    Doc.Data.AppendText("Text", 0, 0);
    TRVDocumentInfo info;
    info.BackgroundStyle = bsTiled;
    info.BackgroundPicture = std::make_unique<TUnreadablePicture>("TPNGObject", bomb);
    const std::string stream = Write(Doc.Data, &info);

    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    TRVDocumentInfo read;
    TRVFReader reader(sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadDocument(doc, &read, stream));
    EXPECT_TRUE(reader.Warnings().Contains(WarnInvalidPicture));
    EXPECT_FALSE(reader.Warnings().Contains(WarnUnknownPicture));
    ASSERT_TRUE(read.BackgroundPicture);
    EXPECT_EQ(read.BackgroundPicture->SaveToBytes(), bomb);
    ASSERT_EQ(sheet.ListStyles.Count(), 1);
    const TGraphic* kept = sheet.ListStyles[0].Levels[0].Picture();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->ClassName(), "TPNGObject");
    EXPECT_EQ(kept->SaveToBytes(), bomb);

    std::string again;
    ASSERT_TRUE(TRVFWriter(sheet, RVFMainWindowOptions).WriteDocument(doc, &read, again));
    EXPECT_EQ(again, stream) << "nothing of the pictures is lost";

    // Painted, the background shows its colour only.
    test::TPaintedDocument painted;
    TRVPaintRequest request = test::TPaintedDocument::Request();
    request.Color = clWhite;
    request.BackgroundStyle = read.BackgroundStyle;
    request.BackgroundPicture = read.BackgroundPicture.get();
    request.ClientWidth = 300;
    request.ClientHeight = 200;
    EXPECT_EQ(painted.Paint(request), std::vector<std::string>{"fill 0,0,300,200 #FFFFFF"});
}

} // namespace
} // namespace xq

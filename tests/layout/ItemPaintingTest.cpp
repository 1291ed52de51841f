// Painting the built-in non-text items into their rectangles, and the decoded pixels pictures keep
// for painting.
#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "layout/BuiltinItemLayouts.h"
#include "layout/FontInfoCache.h"
#include "lists/ListItems.h"
#include "pictures/Bitmap.h"
#include "pictures/PictureSamples.h"
#include "pictures/UnreadablePicture.h"
#include "PaintTestSupport.h"

namespace xq {
namespace {

using Ops = std::vector<std::string>;

/// A 24-bit bitmap whose pixels, left to right and bottom row first, are the given 0x00RRGGBB values.
std::string BitmapBytes(int width, int height, const std::vector<std::uint32_t>& pixels)
{
    test::TBmpLayout layout;
    layout.Width = width;
    layout.Height = height;
    const int stride = (width * 3 + 3) / 4 * 4;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[std::size_t(y * width + x)];
            row += static_cast<char>(p & 0xFF);
            row += static_cast<char>((p >> 8) & 0xFF);
            row += static_cast<char>((p >> 16) & 0xFF);
        }
        row.resize(std::size_t(stride), '\0');
        layout.Bits += row;
    }
    return test::MakeBmp(layout);
}

std::unique_ptr<TBitmap> Bitmap(int width, int height, std::uint32_t color = 0x336699)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromBytes(BitmapBytes(width, height, std::vector<std::uint32_t>(std::size_t(width * height), color)));
    return bitmap;
}

class ItemPaintingTest : public ::testing::Test {
protected:
    Ops Paint(const TCustomRVItemInfo& item, const TRect& rect, TRVDeviceScale scale = {},
              const TRVDrawLineInfo* piece = nullptr)
    {
        Canvas.ClearOps();
        TRVPaintContext ctx{Sheet, Fonts, scale, Doc, false, 5, 100};
        ctx.DrawItem = piece;
        ItemLayoutOf(item).Paint(Canvas, item, 0, rect, ctx);
        return Canvas.Ops();
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TTestCanvas Canvas;
    TRVFontInfoCache Fonts{Sheet, Canvas};
};

// --- Pictures

TEST_F(ItemPaintingTest, PictureStretchedInsideItsSpacing)
{
    TRVGraphicItemInfo picture;
    picture.Image = Bitmap(4, 3);
    picture.Spacing = 2;
    EXPECT_EQ(Paint(picture, {10, 10, 18, 17}), Ops{"image 12,12,16,15 from 4x3"});
    picture.ImageWidth = 8;
    picture.ImageHeight = 6;
    EXPECT_EQ(Paint(picture, {10, 10, 22, 20}), Ops{"image 12,12,20,18 from 4x3"});

    TRVDeviceScale printer;
    printer.DevicePpiX = printer.DevicePpiY = 192;
    EXPECT_EQ(Paint(picture, {20, 20, 44, 40}, printer), Ops{"image 24,24,40,36 from 4x3"}) << "spacing scaled";
}

TEST_F(ItemPaintingTest, UndecodablePictureShowsTheInvalidPictureOrAFrame)
{
    TRVGraphicItemInfo picture;
    picture.Image = std::make_unique<TUnreadablePicture>("TStrangePicture", "data");
    picture.ImageWidth = 8;
    picture.ImageHeight = 6;
    EXPECT_EQ(Paint(picture, {10, 10, 20, 18}), Ops{"rect 11,11,19,17 #C0C0C0 1 solid"});

    Sheet.SetInvalidPicture(Bitmap(5, 5));
    EXPECT_EQ(Paint(picture, {10, 10, 20, 18}), Ops{"image 11,11,19,17 from 5x5"});
    picture.Image.reset();
    EXPECT_EQ(Paint(picture, {10, 10, 20, 18}), Ops{"image 11,11,19,17 from 5x5"}) << "no picture at all";
}

TEST_F(ItemPaintingTest, BitmapFollowsTheItemsTransparency)
{
    // Bottom row: red, blue.
    TRVGraphicItemInfo picture;
    picture.Image = std::make_unique<TBitmap>();
    picture.Image->LoadFromBytes(BitmapBytes(2, 1, {0xFF0000, 0x0000FF}));
    const auto* bitmap = static_cast<const TBitmap*>(picture.Image.get());
    const auto alphaAt = [&](int x) { return test::PixelAt(bitmap->Decoded()->Image, x, 0) & 0xFF; };

    picture.Transparent = true; // automatic: the bottom-left pixel's colour
    ASSERT_EQ(Paint(picture, {0, 0, 4, 3}).size(), 1u);
    EXPECT_EQ(alphaAt(0), 0u);
    EXPECT_EQ(alphaAt(1), 0xFFu);

    picture.TransparentMode = tmFixed;
    picture.TransparentColor = clBlue; // 0x00BBGGRR
    (void)Paint(picture, {0, 0, 4, 3});
    EXPECT_EQ(alphaAt(0), 0xFFu);
    EXPECT_EQ(alphaAt(1), 0u);

    picture.Transparent = false;
    (void)Paint(picture, {0, 0, 4, 3});
    EXPECT_EQ(alphaAt(1), 0xFFu) << "the kept pixels were made again";
}

TEST(DecodedPictureCacheTest, KeptUntilTheBytesOrTheTransparencyChange)
{
    TBitmap bitmap;
    bitmap.LoadFromBytes(BitmapBytes(2, 2, {1, 2, 3, 4}));
    const auto first = bitmap.Decoded();
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->HasTransparency);
    EXPECT_EQ(bitmap.Decoded(), first) << "decoded once";
    EXPECT_EQ(static_cast<const TBitmap&>(*bitmap.Clone()).Decoded(), first) << "copies share the pixels";

    bitmap.SetTransparentColorAuto(); // no change
    EXPECT_EQ(bitmap.Decoded(), first);
    bitmap.SetTransparent(true);
    const auto transparent = bitmap.Decoded();
    EXPECT_NE(transparent, first);
    EXPECT_TRUE(transparent->HasTransparency);
    bitmap.SetTransparentColor(clBlack);
    EXPECT_NE(bitmap.Decoded(), transparent);

    bitmap.LoadFromBytes(BitmapBytes(3, 1, {5, 6, 7}));
    ASSERT_TRUE(bitmap.Decoded());
    EXPECT_EQ(bitmap.Decoded()->Image.Width, 3);
    EXPECT_FALSE(bitmap.LoadFromBytes("no bitmap"));
    EXPECT_EQ(bitmap.Decoded(), nullptr);

    const TUnreadablePicture unreadable("TStrangePicture", "x");
    EXPECT_EQ(DecodedPicture(unreadable), nullptr);
}

// --- Items drawn in a text style

TEST_F(ItemPaintingTest, TabLeaderRepeatedAcrossTheTab)
{
    TRVTabItemInfo tab; // no text style of its own: style 0
    TRVTabDrawItem piece; // the leader is the layout's: the tab stop the tab reached
    EXPECT_EQ(Paint(tab, {10, 0, 40, 15}, {}, &piece), Ops{}) << "no leader, nothing to draw";
    piece.Leader = ".";
    EXPECT_EQ(Paint(tab, {10, 0, 40, 15}, {}, &piece), (Ops{"font Arial 13px", "text 10,0 '..........' #000000"}));
    piece.Leader = "-.";
    tab.TextStyleNo = 1; // bold: "-." is 7 + 4 wide
    EXPECT_EQ(Paint(tab, {10, 0, 40, 15}, {}, &piece), (Ops{"font Arial 13px bold", "text 10,0 '-.-.' #0000FF"}));
}

TEST_F(ItemPaintingTest, LabelTextPlacedByItsAlignment)
{
    TRVLabelItemInfo label;
    label.Text = "12"; // 12 wide
    EXPECT_EQ(Paint(label, {0, 0, 30, 15}), (Ops{"font Arial 13px", "text 0,0 '12' #000000"}));
    label.Alignment = 1;
    EXPECT_EQ(Paint(label, {0, 0, 30, 15}).back(), "text 18,0 '12' #000000");
    label.Alignment = 2;
    EXPECT_EQ(Paint(label, {0, 0, 30, 15}).back(), "text 9,0 '12' #000000");
    label.TextStyleNo = 99; // not in the sheet: style 0
    EXPECT_EQ(Paint(label, {0, 0, 30, 15}).back(), "text 9,0 '12' #000000");
}

TEST_F(ItemPaintingTest, MarkerTextOrPictureAtTheLeftEdge)
{
    TRVListLevel& level = Sheet.ListStyles.Add().Levels.Add();
    level.ListType = rvlstDecimal;
    level.MarkerAlignment = rvmaRight;
    level.EditFont().Size = 10;
    level.EditFont().Color = clRed;
    TRVMarkerItemInfo marker(0, 0);
    marker.DisplayText = "3.";
    EXPECT_EQ(Paint(marker, {20, 5, 60, 20}), (Ops{"font Arial 13px", "text 20,5 '3.' #FF0000"}));

    const auto picture = Bitmap(4, 3);
    level.ListType = rvlstPicture;
    level.SetPicture(picture.get());
    EXPECT_EQ(Paint(marker, {20, 5, 60, 8}), Ops{"image 20,5,24,8 from 4x3"});

    TRVMarkerItemInfo noList(-1, 0);
    EXPECT_EQ(Paint(noList, {20, 5, 60, 20}), Ops{});
}

// --- Breaks

TEST_F(ItemPaintingTest, BreakRuleAcrossTheTextAreaByStyle)
{
    // The text area runs from x 5, 100 wide; the rule lies 5 below the item's top.
    TRVBreakItemInfo rule;
    EXPECT_EQ(Paint(rule, {5, 40, 105, 51}), Ops{"line 5,45 104,45 #000000 1 solid"})
        << "no colour of its own: text style 0's";
    rule.Color = clRed;
    rule.Style = rvbsRectangle;
    rule.Width = 3;
    EXPECT_EQ(Paint(rule, {5, 40, 105, 51}), Ops{"rect 5,44,105,47 #FF0000 1 solid"});
    rule.Style = rvbs3d;
    rule.Width = 1;
    EXPECT_EQ(Paint(rule, {5, 40, 105, 51}), (Ops{"fill 5,45,105,46 #A0A0A0", "fill 5,46,105,47 #FFFFFF"}));
    rule.Style = rvbsDotted;
    rule.Width = 2;
    EXPECT_EQ(Paint(rule, {5, 40, 105, 51}), Ops{"line 5,45 104,45 #FF0000 2 dot"});
    rule.Style = rvbsDashed;
    EXPECT_EQ(Paint(rule, {5, 40, 105, 51}), Ops{"line 5,45 104,45 #FF0000 2 dash"});

    TRVDeviceScale printer;
    printer.DevicePpiX = printer.DevicePpiY = 192;
    rule.Style = rvbsLine;
    EXPECT_EQ(Paint(rule, {5, 40, 105, 61}, printer), Ops{"line 5,50 104,50 #FF0000 4 solid"});
}

// --- Objects in a painted document

TEST(ObjectPaintingTest, SelectedObjectIsFilledBeforeItIsDrawn)
{
    test::TPaintedDocument doc;
    doc.Sheet.SelColor = clBlue;
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->Image = Bitmap(4, 3);
    doc.Data.AppendText("a", 0, 0);
    doc.Data.AppendItem({}, std::move(picture));
    doc.Place(0, 5, 5, 6, 15, true, 1, 1);
    doc.Place(1, 11, 12, 6, 5, false);
    doc.Data.SelStartNo = 0;
    doc.Data.SelStartOffs = 2;
    doc.Data.SelEndNo = 1;
    doc.Data.SelEndOffs = 1;
    EXPECT_EQ(doc.Paint(), (Ops{"font Arial 13px", "text 5,5 'a' #000000", "fill 11,12,17,17 #0000FF",
                                "image 12,13,16,16 from 4x3"}));

    doc.Data.SelEndOffs = 0; // ends before the picture
    EXPECT_EQ(test::OpsStartingWith(doc.Paint(), "fill"), Ops{});
}

} // namespace
} // namespace xq

// Resize handles: where they sit and what a drag gives, and resizing a selected picture with
// the mouse as one undo step.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "editing/ItemResizer.h"
#include "formats/rvf/RvfWriter.h"

namespace xq::test {
namespace {

TEST(ItemResizer, HandlesSitOutsideTheItemAndInsideSmallOnes)
{
    const TRect item{100, 50, 200, 100};
    const auto centres = TRVItemResizer::HandleCentres(item);
    EXPECT_EQ(centres[0], (TPoint{97, 47}));
    EXPECT_EQ(centres[2], (TPoint{202, 102}));
    EXPECT_EQ(centres[5], (TPoint{202, 74}));
    EXPECT_EQ(TRVItemResizer::HandleRects(item)[0], (TRect{94, 44, 101, 51})) << "7 x 7 around the centre";
    EXPECT_EQ(TRVItemResizer::HandleAt(item, 100, 50), 0) << "3 pixels from the centre still hits";
    EXPECT_EQ(TRVItemResizer::HandleAt(item, 101, 50), -1);
    EXPECT_EQ(TRVItemResizer::HandleAt(item, 150, 98), -1);
    EXPECT_EQ(TRVItemResizer::HandleAt(item, 149, 103), 6);
    EXPECT_EQ(TRVItemResizer::HandleCentres({0, 0, 10, 40})[0], (TPoint{3, 3})) << "inside an item under 12 pixels";
    EXPECT_EQ(TRVItemResizer::CursorOf(2), TRVResizeCursor::SizeNWSE);
    EXPECT_EQ(TRVItemResizer::CursorOf(3), TRVResizeCursor::SizeNESW);
    EXPECT_EQ(TRVItemResizer::CursorOf(4), TRVResizeCursor::SizeNS);
    EXPECT_EQ(TRVItemResizer::CursorOf(7), TRVResizeCursor::SizeWE);
}

TEST(ItemResizer, CornersKeepProportionsSidesChangeOneDimension)
{
    const TRect picture{0, 0, 100, 50};
    EXPECT_EQ(TRVItemResizer::Drag(picture, 2, 100, 0, false, false), (TRect{0, 0, 200, 100}));
    EXPECT_EQ(TRVItemResizer::Drag(picture, 5, 100, 0, false, false), (TRect{0, 0, 200, 50}));
    EXPECT_EQ(TRVItemResizer::Drag(picture, 5, 100, 0, true, false), (TRect{0, 0, 200, 100})) << "Shift keeps the proportions";
    EXPECT_EQ(TRVItemResizer::Drag(picture, 0, 50, 0, false, false), (TRect{50, 25, 100, 50})) << "the opposite corner stays";
    EXPECT_EQ(TRVItemResizer::Drag(picture, 6, 5, -200, false, false), (TRect{0, 0, 100, 2})) << "never below 2 pixels";
    EXPECT_EQ(TRVItemResizer::Drag(picture, 5, 10, 0, false, true), (TRect{-10, 0, 110, 50})) << "Ctrl: both edges move";
}

TEST(ItemResizer, DraggingAHandleOfTheSelectedPictureResizesItInOneStep)
{
    EditFixture f(300, 200);
    f.Text("ab");
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->ImageWidth = 100;
    picture->ImageHeight = 50;
    picture->Spacing = 0;
    picture->ParaNo = -1; // in the line of the text
    f.Data.AppendItem({}, std::move(picture));
    f.Format();
    const auto rvf = [&f] {
        std::string out;
        EXPECT_TRUE(TRVFWriter(f.Sheet, RVFMainWindowOptions).WriteDocument(f.Data, nullptr, out));
        return out;
    };
    const std::string before = rvf();
    int resized = 0;
    f.Edit.OnItemResize = [&](TCustomDocViewEdit&) { ++resized; };
    TRect frame;
    EXPECT_FALSE(f.Edit.ResizeFrame(frame)) << "no handles without a selected picture";
    f.Edit.SetSelection({1, 0}, {1, 1});
    ASSERT_TRUE(f.Edit.ResizeFrame(frame));
    EXPECT_EQ(frame.Width(), 100);
    EXPECT_EQ(frame.Height(), 50);
    const int x = frame.Right + 2, y = frame.Bottom + 2; // the bottom-right handle
    EXPECT_EQ(f.Edit.ResizeCursorAt(x, y), TRVResizeCursor::SizeNWSE);
    f.Edit.MouseDown(mbLeft, {}, x, y);
    ASSERT_TRUE(f.Edit.Resizing());
    f.Edit.MouseMove({}, x + 100, y);
    ASSERT_TRUE(f.Edit.ResizeFrame(frame));
    EXPECT_EQ(frame.Width(), 200) << "the frame follows the drag";
    f.Edit.MouseUp(mbLeft, {}, x + 100, y);
    EXPECT_FALSE(f.Edit.Resizing());
    const auto& item = static_cast<const TRVGraphicItemInfo&>(f.Data.ItemAt(1));
    EXPECT_EQ(item.ImageWidth, 200);
    EXPECT_EQ(item.ImageHeight, 100);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(f.Edit.UndoAction(), rvutModifyItem);
    EXPECT_TRUE(f.Edit.SelectionExists()) << "the picture stays selected";
    const int drawItem = f.Data.FirstLinePiece(1);
    EXPECT_EQ(f.Data.DrawItems()[drawItem].Width, 200) << "laid out at the new size";
    const std::string after = rvf();
    f.Edit.Undo();
    EXPECT_EQ(rvf(), before);
    f.Edit.Redo();
    EXPECT_EQ(rvf(), after);

    // The picture selected from the end of the text before it has its handles too.
    f.Edit.SetSelection({0, 3}, {1, 1});
    EXPECT_TRUE(f.Edit.ResizeFrame(frame));
    // With the option set there are none.
    f.Edit.SetSelection({1, 0}, {1, 1});
    f.Edit.EditorOptions.Include(rvoNoImageResize);
    EXPECT_FALSE(f.Edit.ResizeFrame(frame));
}


TEST(ItemResizer, EditsUndoAndRedoWaitWhileAHandleIsDragged)
{
    // The drag resizes the item it started on when the button goes up: an edit meanwhile could
    // move another item to its place.
    EditFixture f(300, 200);
    int beeps = 0;
    f.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    f.Text("ab");
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->ImageWidth = 100;
    picture->ImageHeight = 50;
    picture->Spacing = 0;
    picture->ParaNo = -1;
    f.Data.AppendItem({}, std::move(picture));
    f.Format();
    f.Edit.SetCaretDocPos({0, 3});
    f.Edit.KeyPress(u'c');
    ASSERT_TRUE(f.Edit.CanUndo());
    const std::string before = f.Rvf();
    f.Edit.SetSelection({1, 0}, {1, 1});
    TRect frame;
    ASSERT_TRUE(f.Edit.ResizeFrame(frame));
    const int x = frame.Right + 2, y = frame.Bottom + 2;
    f.Edit.MouseDown(mbLeft, {}, x, y);
    ASSERT_TRUE(f.Edit.Resizing());
    f.Edit.MouseMove({}, x + 50, y);

    f.Edit.SetCaretDocPos({0, 2});
    f.Edit.InsertEnter(false);
    f.Edit.KeyPress(u'x');
    f.Edit.Undo();
    f.Edit.Redo();
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(f.Rvf(), before) << "nothing changed while the handle was held";

    f.Edit.MouseUp(mbLeft, {}, x + 50, y);
    ASSERT_EQ(f.Data.ItemAt(1).StyleNo, rvsPicture);
    EXPECT_EQ(static_cast<const TRVGraphicItemInfo&>(f.Data.ItemAt(1)).ImageWidth, 150);
    f.Edit.Undo();
    EXPECT_EQ(f.Rvf(), before);
    f.Edit.Undo();
    EXPECT_EQ(f.Data.TextAt(0), "ab") << "the typing before the drag";
}

TEST(ItemResizer, PicturePropertiesAndSizeChangeInOneStep)
{
    // What the element properties dialog writes back: alignment, tag and the shown size together.
    EditFixture f(300, 200);
    f.Text("ab");
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->Spacing = 0;
    picture->ParaNo = -1;
    f.Data.AppendItem("bild", std::move(picture));
    f.Format();
    f.Edit.SetCaretDocPos({0, 2});
    EXPECT_FALSE(f.Edit.SetCurrentPictureInfoAndSize("x", nullptr, rvvaMiddle, {}, 10, 10)) << "text at the caret";
    const std::string before = f.Rvf();
    f.Edit.SetCaretDocPos({1, 1});
    ASSERT_TRUE(f.Edit.SetCurrentPictureInfoAndSize("bild", nullptr, rvvaAbsMiddle, "t", 120, 60));
    const auto& item = static_cast<const TRVGraphicItemInfo&>(f.Data.ItemAt(1));
    EXPECT_EQ(item.ImageWidth, 120);
    EXPECT_EQ(item.ImageHeight, 60);
    EXPECT_EQ(item.VAlign, rvvaAbsMiddle);
    EXPECT_EQ(item.Tag, "t");
    EXPECT_EQ(f.Data.DrawItems()[f.Data.FirstLinePiece(1)].Width, 120) << "laid out at the new size";
    f.ExpectOneStep(before, rvutModifyItem);
}

} // namespace
} // namespace xq::test

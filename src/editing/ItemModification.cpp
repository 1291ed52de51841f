// Changing items as a whole: a tag, the properties of the item at the caret (a picture, a break,
// a bullet, a name), the size of a picture dragged by its handles, and the layout after an item
// the application changed itself.
#include <algorithm>

#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"
#include "editing/TouchedRange.h"

namespace xq {

void TCustomDocViewEdit::ChangeItemTag(int itemNo, std::string tag)
{
    if (itemNo < 0 || itemNo >= Data_.Count() || Data_.ItemAt(itemNo).Tag == tag)
        return;
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    TRVEditStep step(*this, rvutTag);
    RecSetTag(itemNo, std::move(tag));
    step.CommitInPlace();
}

std::int32_t TCustomDocViewEdit::BeginItemModify(int itemNo)
{
    return Data_.GetMinTextAreaWidth(itemNo, false, itemNo);
}

void TCustomDocViewEdit::EndItemModify(int itemNo, std::int32_t widthToken)
{
    if (itemNo < 0 || itemNo >= Data_.Count())
        return;
    // The item changed already: its paragraphs are laid out with the width it had before.
    TRVTouchedRange range(Data_);
    range.ItemsChanging(itemNo, itemNo, TRVItemChange::Content);
    range.SetOldMinWidth(widthToken);
    const TRVDocPos caret = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{itemNo, Data_.OffsetBefore(itemNo)};
    const TRVEditPositions kept = Data_.SavePositions();
    const TSelectionState before = SelectionState();
    range.LayOut();
    PlaceCaretAfterEdit(caret, TRVLineBoundary::LineStart, before);
    Data_.RestorePositions(kept);
}

int TCustomDocViewEdit::CurrentItemNo() const
{
    if (!Data_.CaretValid())
        return -1;
    TRVDocPos pos = Data_.CaretDocPos();
    return pos.ItemNo;
}

bool TCustomDocViewEdit::ModifyCurrentItem(const std::function<void(TCustomRVItemInfo& item, std::string& name)>& change)
{
    const int itemNo = CurrentItemNo();
    if (itemNo < 0)
        return false;
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    std::unique_ptr<TCustomRVItemInfo> copy = Data_.ItemAt(itemNo).CreateCopy(false);
    std::string name = Data_.TextAt(itemNo);
    change(*copy, name);
    if (copy->IsText() && copy->IsUnicode() && name.size() % 2 != 0)
        return false;
    const TRVEditPositions kept = Data_.SavePositions();
    const TRVDocPos caret = Data_.CaretDocPos();
    TRVEditStep step(*this, rvutModifyItem);
    RecReplaceItem(itemNo, std::move(name), std::move(copy));
    step.CommitRestoring(caret, kept);
    return true;
}

bool TCustomDocViewEdit::SetCurrentPictureInfo(std::string name, std::unique_ptr<TGraphic> graphic, TRVVAlign vAlign,
                                               std::string tag)
{
    return ReplaceCurrentPicture(std::move(name), std::move(graphic), vAlign, std::move(tag), nullptr);
}

bool TCustomDocViewEdit::SetCurrentPictureInfoAndSize(std::string name, std::unique_ptr<TGraphic> graphic,
                                                      TRVVAlign vAlign, std::string tag, std::int32_t width,
                                                      std::int32_t height)
{
    const std::pair<std::int32_t, std::int32_t> size{width, height};
    return ReplaceCurrentPicture(std::move(name), std::move(graphic), vAlign, std::move(tag), &size);
}

bool TCustomDocViewEdit::ReplaceCurrentPicture(std::string name, std::unique_ptr<TGraphic> graphic, TRVVAlign vAlign,
                                               std::string tag, const std::pair<std::int32_t, std::int32_t>* size)
{
    if (CellEditor_)
        return CellEditor_->ReplaceCurrentPicture(std::move(name), std::move(graphic), vAlign, std::move(tag), size);
    const int itemNo = CurrentItemNo();
    if (itemNo < 0 || !dynamic_cast<const TRVGraphicItemInfo*>(&Data_.ItemAt(itemNo)))
        return false;
    std::shared_ptr<TGraphic> picture(std::move(graphic));
    return ModifyCurrentItem([&](TCustomRVItemInfo& item, std::string& itemName) {
        auto& pic = static_cast<TRVGraphicItemInfo&>(item);
        itemName = name;
        if (picture)
            pic.Image = picture->Clone();
        pic.VAlign = vAlign;
        pic.Tag = tag;
        if (size) {
            pic.SetExtraIntProperty(rvepImageWidth, size->first);
            pic.SetExtraIntProperty(rvepImageHeight, size->second);
        }
    });
}

bool TCustomDocViewEdit::SetCurrentBreakInfo(std::uint8_t width, TRVBreakStyle style, TColor color, std::string tag)
{
    if (CellEditor_)
        return CellEditor_->SetCurrentBreakInfo(width, style, color, std::move(tag));
    const int itemNo = CurrentItemNo();
    if (itemNo < 0 || Data_.ItemAt(itemNo).StyleNo != rvsBreak)
        return false;
    return ModifyCurrentItem([&](TCustomRVItemInfo& item, std::string&) {
        auto& br = static_cast<TRVBreakItemInfo&>(item);
        br.Width = width;
        br.Style = style;
        br.Color = color;
        br.Tag = tag;
    });
}

bool TCustomDocViewEdit::SetCurrentBulletInfo(std::string name, int imageIndex, int hotImageIndex, std::string tag)
{
    if (CellEditor_)
        return CellEditor_->SetCurrentBulletInfo(std::move(name), imageIndex, hotImageIndex, std::move(tag));
    if (!GetCurrentItemOf<TRVBulletItemInfo>())
        return false;
    return ModifyCurrentItem([&](TCustomRVItemInfo& item, std::string& itemName) {
        auto& bullet = static_cast<TRVBulletItemInfo&>(item);
        itemName = name;
        bullet.ImageIndex = imageIndex;
        if (auto* hotspot = dynamic_cast<TRVHotspotItemInfo*>(&bullet))
            hotspot->HotImageIndex = hotImageIndex;
        bullet.Tag = tag;
    });
}

bool TCustomDocViewEdit::SetCurrentItemText(std::string text)
{
    if (CellEditor_)
        return CellEditor_->SetCurrentItemText(std::move(text));
    const int itemNo = CurrentItemNo();
    if (itemNo < 0)
        return false;
    if (Data_.ItemAt(itemNo).IsText() && (text.empty() || StyleHas(itemNo, rvprModifyProtect)))
        return false; // an empty text item would not be alone on its line; protected text stays
    return ModifyCurrentItem([&](TCustomRVItemInfo&, std::string& name) { name = text; });
}

bool TCustomDocViewEdit::SetCurrentTag(std::string tag)
{
    if (CellEditor_)
        return CellEditor_->SetCurrentTag(std::move(tag));
    const int itemNo = CurrentItemNo();
    if (itemNo < 0 || Data_.ItemAt(itemNo).Tag == tag)
        return false;
    ChangeItemTag(itemNo, std::move(tag));
    return true;
}

void TCustomDocViewEdit::ApplyResize(const TRect& rect)
{
    const int itemNo = Resize_.ItemNo;
    Resize_ = {};
    if (itemNo < 0 || itemNo >= Data_.Count() || !AskCanEdit()) {
        Beep();
        return;
    }
    // The new size in the item's own units, at least one pixel each way.
    const std::int32_t width = std::max<std::int32_t>(1, Data_.DeviceScale().UnX(rect.Width()));
    const std::int32_t height = std::max<std::int32_t>(1, Data_.DeviceScale().UnY(rect.Height()));
    const TRVEditPositions kept = Data_.SavePositions();
    const TRVDocPos caret = Data_.CaretDocPos();
    TRVEditStep step(*this, rvutModifyItem);
    RecSetExtraIntProperty(itemNo, rvepImageWidth, width);
    RecSetExtraIntProperty(itemNo, rvepImageHeight, height);
    step.CommitRestoring(caret, kept);
    if (OnItemResize)
        OnItemResize(*this);
}

} // namespace xq

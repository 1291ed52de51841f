// The editor and hyperlinks: widening a selection to whole links, the target a selection shows,
// giving a selection a target (its style change and its tags as two undo steps), the end of a
// link while typing, jumps under the mouse and Ctrl+click on them, and links dropped as addresses.
#include <algorithm>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"

namespace xq {

namespace {

/// A dropped address longer than this is refused rather than read.
constexpr std::size_t MaxDroppedUrlBytes = std::size_t(64) << 10;
/// Text of a jump style: the part of a link that its style makes clickable.
bool IsJumpText(const TRVStyle* sheet, const TCustomRVData& data, int itemNo)
{
    if (!sheet || itemNo < 0 || itemNo >= data.Count() || !data.ItemAt(itemNo).IsText())
        return false;
    const int styleNo = data.ActualStyleOf(itemNo);
    return sheet->TextStyles.IsValidIndex(styleNo) && sheet->TextStyles[styleNo].Jump;
}

bool Inside(const TRVDrawLineInfo& d, std::int32_t x, std::int32_t y) noexcept
{
    return x >= d.Left && x < d.Left + d.Width && y >= d.Top && y < d.Top + d.Height;
}

/// In a table laid out at d in layout: the item under (x, y) of the cell there, looked for in
/// the cell's own layout (cells in cells too).
bool ItemInTable(const TRVContainerLayout& layout, const TRVDrawLineInfo& d, std::int32_t x, std::int32_t y,
                 const TCustomRVData*& data, int& itemNo);

/// The item whose draw item of layout holds (x, y), among first..last.
bool ItemAmong(const TRVContainerLayout& layout, int first, int last, std::int32_t x, std::int32_t y,
               const TCustomRVData*& data, int& itemNo)
{
    for (int i = first; i <= last; ++i) {
        const TRVDrawLineInfo& d = layout.DrawItems()[i];
        if (!Inside(d, x, y))
            continue;
        if (ItemInTable(layout, d, x, y, data, itemNo))
            return true;
        data = &layout.Document();
        itemNo = d.ItemNo;
        return true;
    }
    return false;
}

bool ItemInTable(const TRVContainerLayout& layout, const TRVDrawLineInfo& d, std::int32_t x, std::int32_t y,
                 const TCustomRVData*& data, int& itemNo)
{
    const auto* table = dynamic_cast<const TRVTableItemInfo*>(&layout.Document().ItemAt(d.ItemNo));
    const TRVTableLayoutState* state = table ? TableLayoutIn(layout, *table) : nullptr;
    int row = 0, col = 0;
    if (!state || !CellAtPoint(*table, *state, x - d.Left, y - d.Top, row, col))
        return false;
    const TRVTableCellData* cell = table->Cells(row, col);
    const TRVTableCellLayout* cellLayout = cell ? state->FindCell(cell) : nullptr;
    if (!cellLayout || !cellLayout->Layout.Formatted())
        return false;
    TPoint at;
    std::int32_t width = 0;
    if (!CellContentPlace(*table, *state, row, col, layout.DeviceScale(), cellLayout->Layout.TotalHeight(), at, width))
        return false;
    const TRVContainerLayout& inner = cellLayout->Layout;
    return ItemAmong(inner, 0, inner.DrawItems().Count() - 1, x - d.Left - at.X, y - d.Top - at.Y, data, itemNo);
}

/// Keeps a text style change from clearing tags: the hyperlink commands set the tags themselves,
/// as an undo step of their own.
class TKeepTagsOnStyleChange {
public:
    explicit TKeepTagsOnStyleChange(TCustomDocViewEdit& edit) noexcept
        : Edit_(edit), Had_(edit.EditorOptions.Contains(rvoClearTagOnStyleApp))
    {
        Edit_.EditorOptions.Exclude(rvoClearTagOnStyleApp);
    }
    ~TKeepTagsOnStyleChange()
    {
        if (Had_)
            Edit_.EditorOptions.Include(rvoClearTagOnStyleApp);
    }
    TKeepTagsOnStyleChange(const TKeepTagsOnStyleChange&) = delete;
    TKeepTagsOnStyleChange& operator=(const TKeepTagsOnStyleChange&) = delete;

private:
    TCustomDocViewEdit& Edit_;
    bool Had_;
};

} // namespace

const TCustomDocViewEdit& TCustomDocViewEdit::InnermostEditorConst() const noexcept
{
    const TCustomDocViewEdit* e = this;
    while (e->CellEditor_)
        e = e->CellEditor_.get();
    return *e;
}

bool TCustomDocViewEdit::HyperlinkRange(TRVDocPos& first, TRVDocPos& last) const
{
    if (!Data_.Formatted() || !Data_.CaretValid() || Data_.Count() == 0)
        return false;
    if (Data_.GetOrderedSelectionDoc(first, last)) {
        // An end that only touches an item does not take it in.
        TRVDocPos from = first, to = last;
        if (from.Offset >= Data_.OffsetAfter(from.ItemNo) && from.ItemNo + 1 < Data_.Count())
            from = {from.ItemNo + 1, Data_.OffsetBefore(from.ItemNo + 1)};
        if (to.Offset <= Data_.OffsetBefore(to.ItemNo) && to.ItemNo > 0)
            to = {to.ItemNo - 1, Data_.OffsetAfter(to.ItemNo - 1)};
        if (from <= to) {
            first = from;
            last = to;
        }
    } else {
        // Without a selection the caret's item counts, whichever of its ends the caret is at.
        first = last = Data_.CaretDocPos();
    }
    const TRVStyle* sheet = GetRVStyle();
    if (IsJumpText(sheet, Data_, first.ItemNo))
        first.Offset = Data_.OffsetBefore(first.ItemNo);
    if (IsJumpText(sheet, Data_, last.ItemNo))
        last.Offset = Data_.OffsetAfter(last.ItemNo);
    return true;
}

void TCustomDocViewEdit::SelectWholeHyperlinks()
{
    if (CellEditor_) {
        CellEditor_->SelectWholeHyperlinks();
        return;
    }
    TRVDocPos first, last;
    if (!HyperlinkRange(first, last) || first == last)
        return;
    const TSelectionState before = SelectionState();
    SelectDocRange(first, last);
    CaretMoved(true, before);
}

std::string TCustomDocViewEdit::SelectionHyperlinkTarget() const
{
    const TCustomDocViewEdit& e = InnermostEditorConst();
    TRVDocPos first, last;
    if (!e.HyperlinkRange(first, last))
        return {};
    for (int i = first.ItemNo; i <= last.ItemNo; ++i)
        if (!e.Data_.ItemAt(i).Tag.empty())
            return e.Data_.ItemAt(i).Tag;
    return {};
}

std::string TCustomDocViewEdit::SelectedTextUtf8() const
{
    return Utf16ToUtf8(SelectedText());
}

void TCustomDocViewEdit::ApplyHyperlink(int userData, const std::string& target)
{
    if (CellEditor_) {
        CellEditor_->ApplyHyperlink(userData, target);
        return;
    }
    {
        const TKeepTagsOnStyleChange keepTags(*this);
        ConvertTextStyles(userData);
    }
    // The style change kept the selection on the same text; its items now get the target.
    TRVDocPos first, last;
    if (!Data_.GetOrderedSelectionDoc(first, last))
        return;
    if (first.Offset >= Data_.OffsetAfter(first.ItemNo) && first.ItemNo < last.ItemNo)
        ++first.ItemNo;
    if (last.Offset <= Data_.OffsetBefore(last.ItemNo) && last.ItemNo > first.ItemNo)
        --last.ItemNo;
    bool changes = false;
    for (int i = first.ItemNo; i <= last.ItemNo && !changes; ++i)
        changes = Data_.ItemAt(i).Tag != target;
    if (!changes || !AskCanEdit())
        return;
    const TRVEditPositions kept = Data_.SavePositions();
    BeginUndoStep(rvutTag);
    {
        const TRVUndoGroupScope group(*Data_.Recording);
        for (int i = first.ItemNo; i <= last.ItemNo; ++i)
            ChangeItemTag(i, target);
    }
    // Tags change no layout; the selection stays where it was.
    Data_.RestorePositions(kept);
}

bool TCustomDocViewEdit::CaretAtHyperlinkEnd() const
{
    const TCustomDocViewEdit& e = InnermostEditorConst();
    if (e.ReadOnly || !e.Data_.Formatted() || !e.Data_.CaretValid() || e.Data_.SelectionExists())
        return false;
    const TRVDocPos caret = e.Data_.CaretDocPos();
    if (!IsJumpText(GetRVStyle(), e.Data_, caret.ItemNo) || e.CurTextStyle_ != e.Data_.ActualStyleOf(caret.ItemNo))
        return false;
    return caret.Offset >= e.Data_.OffsetAfter(caret.ItemNo);
}

// ---------------------------------------------------------------------------------------------
// Jumps under the mouse

int TCustomDocViewEdit::JumpAt(std::int32_t x, std::int32_t y) const
{
    if (!Data_.Formatted())
        return -1;
    for (const TRVJumpInfo& jump : Data_.Jumps())
        if (x >= jump.Left && x < jump.Left + jump.Width && y >= jump.Top && y < jump.Top + jump.Height)
            return jump.JumpNo;
    return -1;
}

bool TCustomDocViewEdit::GetJumpPointItemNo(int id, const TCustomRVData*& data, int& itemNo) const
{
    if (!Data_.Formatted())
        return false;
    for (const TRVJumpInfo& jump : Data_.Jumps())
        if (jump.JumpNo == id && jump.DrawItemNo >= 0 && jump.DrawItemNo < Data_.DrawItems().Count()) {
            data = &Data_;
            itemNo = Data_.DrawItems()[jump.DrawItemNo].ItemNo;
            return true;
        }
    return false;
}

bool TCustomDocViewEdit::GetItemAtPoint(std::int32_t x, std::int32_t y, const TCustomRVData*& data,
                                        int& itemNo) const
{
    if (CellEditor_ && CellAtEditor(x, y)) {
        std::int32_t cx = 0, cy = 0;
        if (CellEditorOrigin(cx, cy))
            return CellEditor_->GetItemAtPoint(x - cx, y - cy, data, itemNo);
    }
    if (!Data_.Formatted() || Data_.DrawItems().Count() == 0)
        return false;
    const int line = Data_.LineAtY(y);
    if (line < 0)
        return false;
    int first = 0, last = -1;
    Data_.GetLineRange(line, first, last);
    return ItemAmong(Data_, first, last, x, y, data, itemNo);
}

bool TCustomDocViewEdit::JumpCursorAt(std::int32_t x, std::int32_t y) const
{
    const TCustomRVData* data = nullptr;
    int itemNo = -1;
    if (!GetItemAtPoint(x, y, data, itemNo))
        return false;
    return IsJumpText(GetRVStyle(), *data, itemNo) || data->ItemAt(itemNo).IsJumpKind();
}

bool TCustomDocViewEdit::JumpMouseDown(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)
{
    PressedJump_ = -1;
    if (button != mbLeft || !shift.Contains(ssCtrl) || !EditorOptions.Contains(rvoCtrlJumps))
        return false;
    PressedJump_ = JumpAt(x, y);
    return PressedJump_ >= 0;
}

bool TCustomDocViewEdit::JumpMouseUp(std::int32_t x, std::int32_t y)
{
    const int pressed = PressedJump_;
    PressedJump_ = -1;
    if (pressed < 0)
        return false;
    // Released over the link it was pressed on.
    if (JumpAt(x, y) == pressed)
        if (TCustomDocViewEdit& root = RootEditor(); root.OnJump)
            root.OnJump(*this, pressed);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Links dropped on the editor

bool TCustomDocViewEdit::InsertUrlFrom(const TClipboard& source)
{
    TCustomDocViewEdit& root = RootEditor();
    if (!root.OnReadHyperlink || !source.HasFormat(TClipboardFormat::Url))
        return InsertTextFrom(source, TClipboardFormat::Url);
    const std::optional<std::string> url = source.Read(TClipboardFormat::Url, MaxDroppedUrlBytes);
    if (!url)
        return false;
    // The address is the first line; control characters have no place in it.
    std::string target = url->substr(0, url->find_first_of("\r\n"));
    target.erase(std::remove_if(target.begin(), target.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
                 target.end());
    if (target.empty())
        return false;
    // Nothing here names a file for the link text: the address is its own text.
    const std::string text = target;
    int styleNo = CurrentTextStyle();
    std::string tag;
    root.OnReadHyperlink(*this, target, text, rvlfURL, styleNo, tag);
    if (!ValidTextStyle(styleNo))
        return false;
    SetCurrentTextStyle(styleNo);
    const int style = TypingStyle();
    const std::string bytes = EncodeText(Utf8ToUtf16(text), style);
    if (bytes.empty())
        return false;
    std::unique_ptr<TCustomRVItemInfo> item;
    NewTextItem(style, CurrentParaStyle(), item);
    item->Tag = std::move(tag);
    std::vector<TRVItemEntry> items;
    items.push_back({bytes, std::move(item)});
    InsertedStart_ = {};
    return InsertItems(std::move(items), true, false, rvutInsert) && InsertedStart_.Valid();
}

} // namespace xq

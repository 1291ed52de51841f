// The editor control and the mouse: placing the caret, selecting by characters, words,
// paragraphs and lines, word selection by double click, and the selection timer's scrolling.
#include <algorithm>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"

namespace xq {

bool TCustomDocViewEdit::InLeftMargin(std::int32_t x) const
{
    const TRVStyle* sheet = GetRVStyle();
    return sheet && sheet->LineSelectCursor != -1 && Data_.BiDiMode != rvbdRightToLeft &&
           x < Data_.DeviceScale().X(Data_.LeftMargin);
}

void TCustomDocViewEdit::MouseDown(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (!Data_.Formatted() || Data_.DrawItems().Count() == 0)
        return;
    if (CellMouseDown(button, shift, x, y))
        return;
    // Ctrl+click on a link opens it rather than placing the caret.
    if (JumpMouseDown(button, shift, x, y))
        return;
    if (!Data_.CaretValid())
        Data_.ResetCaret();
    const TSelectionState before = SelectionState();

    if (button == mbRight) {
        if (!Data_.Options.Contains(rvoRClickDeselects))
            return;
        const TRVDrawPos pos = Data_.StopOf(Data_.HitTest(x, y));
        if (Data_.InSelection(pos))
            return;
        Data_.SetCaret(pos);
        Data_.CollapseSelection();
        CaretMoved(false, before);
        return;
    }
    if (button != mbLeft)
        return;

    Mouse_ = {};
    Resize_ = {};
    DragPressPending_ = false;
    if (!shift.Contains(ssShift)) {
        // A handle of the selected picture starts a resize drag.
        int itemNo = -1;
        TRect rect;
        if (ResizableItem(itemNo, rect)) {
            const int handle = TRVItemResizer::HandleAt(rect, x, y);
            if (handle >= 0) {
                Resize_ = {itemNo, handle, rect, rect, x, y};
                return;
            }
        }
    }
    if (shift.Contains(ssShift) && SelectionAllowed()) {
        // Shift+click extends the selection from its anchor as a drag from there would: by
        // words, paragraphs or characters.
        TRVDrawPos anchor = Data_.SelectionAnchor();
        if (!anchor.Valid())
            anchor = Data_.CaretPos();
        StartCharSelection(anchor, anchor);
        ExtendMouseSelection(x, y);
        CaretMoved(false, before);
        return;
    }
    if (InLeftMargin(x) && SelectionAllowed()) {
        Mouse_.Mode = TMouseMode::Lines;
        Mouse_.Granularity = SheetSelectionMode() == rvsmParagraph ? rvsmParagraph : rvsmChar;
        Mouse_.PressedLine = Data_.LineAtY(y);
        ExtendMouseSelection(x, y);
        CaretMoved(false, before);
        return;
    }

    const TRVDrawPos raw = Data_.HitTest(x, y);
    // A press inside the selection may start dragging it; the selection stays until it is
    // known whether the pointer moves.
    if (!Data_.Options.Contains(rvoDisallowDrag) && Data_.SelectionExists() && Data_.InSelection(Data_.StopOf(raw))) {
        DragPressPending_ = true;
        DragPress_ = raw;
        return;
    }
    Data_.SetCaret(raw);
    Data_.CollapseSelection();
    if (SelectionAllowed())
        StartCharSelection(Data_.CaretPos(), raw);
    CaretMoved(false, before);
}

void TCustomDocViewEdit::StartCharSelection(TRVDrawPos pressed, TRVDrawPos raw)
{
    Mouse_.Mode = TMouseMode::Chars;
    Mouse_.Granularity = SheetSelectionMode();
    Mouse_.Pressed = pressed;
    Mouse_.LastPointer = Data_.DocPosOf(pressed);
    TRVDocPos start, end;
    if (Data_.GetWordAt(Data_.DocPosOf(raw), Delimiters, start, end) && start != end) {
        Mouse_.WordStart = start;
        Mouse_.WordEnd = end;
    }
}

void TCustomDocViewEdit::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (CellMouseMove(shift, x, y))
        return;
    if (Resize_.Handle >= 0) {
        Resize_.Current = TRVItemResizer::Drag(Resize_.Start, Resize_.Handle, x - Resize_.PressX, y - Resize_.PressY,
                                               shift.Contains(ssShift), shift.Contains(ssCtrl));
        return;
    }
    if (Mouse_.Mode == TMouseMode::None || !Data_.CaretValid())
        return;
    const TSelectionState before = SelectionState();
    ExtendMouseSelection(x, y);
    if (SelectionState() != before)
        CaretMoved(false, before);
}

void TCustomDocViewEdit::MouseUp(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (button != mbLeft)
        return;
    if (CellMouseUp(button, shift, x, y))
        return;
    if (JumpMouseUp(x, y))
        return;
    Mouse_ = {};
    if (DragPressPending_) {
        // No drag came of the press: it was a click.
        DragPressPending_ = false;
        const TSelectionState before = SelectionState();
        Data_.SetCaret(DragPress_);
        Data_.CollapseSelection();
        CaretMoved(false, before);
        return;
    }
    if (Resize_.Handle >= 0) {
        MouseMove(shift, x, y);
        const TRect rect = Resize_.Current;
        const bool changed = rect != Resize_.Start;
        if (changed)
            ApplyResize(rect);
        Resize_ = {};
    }
}

// ---------------------------------------------------------------------------------------------
// Resizing pictures

bool TCustomDocViewEdit::ResizableItem(int& itemNo, TRect& rect) const
{
    if (EditorOptions.Contains(rvoNoImageResize) || ReadOnly || !Data_.Formatted())
        return false;
    TRVDocPos first, last;
    if (!Data_.GetOrderedSelectionDoc(first, last))
        return false;
    // The place between two items of a line may be named after either of them.
    if (first.Offset == Data_.OffsetAfter(first.ItemNo) && first.ItemNo + 1 < Data_.Count() && !Data_.StartsLine(first.ItemNo + 1))
        first = {first.ItemNo + 1, Data_.OffsetBefore(first.ItemNo + 1)};
    if (last.ItemNo > first.ItemNo && last.Offset == Data_.OffsetBefore(last.ItemNo) && !Data_.StartsLine(last.ItemNo))
        last = {last.ItemNo - 1, Data_.OffsetAfter(last.ItemNo - 1)};
    if (first.ItemNo != last.ItemNo || first.Offset != 0 || last.Offset != 1)
        return false;
    const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&Data_.ItemAt(first.ItemNo));
    if (!picture || !picture->Resizable || Data_.FirstLinePiece(first.ItemNo) < 0)
        return false;
    const TRVDrawLineInfo& d = Data_.DrawItems()[Data_.FirstLinePiece(first.ItemNo)];
    const std::int32_t sx = Data_.DeviceScale().X(std::max(picture->Spacing, 0));
    const std::int32_t sy = Data_.DeviceScale().Y(std::max(picture->Spacing, 0));
    itemNo = first.ItemNo;
    rect = {d.Left + sx, d.Top + sy, d.Left + d.Width - sx, d.Top + d.Height - sy};
    return true;
}

bool TCustomDocViewEdit::ResizeFrame(TRect& rect) const
{
    if (Resize_.Handle >= 0) {
        rect = Resize_.Current;
        return true;
    }
    int itemNo = -1;
    return ResizableItem(itemNo, rect);
}

TRVResizeCursor TCustomDocViewEdit::ResizeCursorAt(std::int32_t x, std::int32_t y) const
{
    if (Resize_.Handle >= 0)
        return TRVItemResizer::CursorOf(Resize_.Handle);
    int itemNo = -1;
    TRect rect;
    if (!ResizableItem(itemNo, rect))
        return TRVResizeCursor::None;
    return TRVItemResizer::CursorOf(TRVItemResizer::HandleAt(rect, x, y));
}

TRVMouseCursor TCustomDocViewEdit::MouseCursorAt(std::int32_t x, std::int32_t y) const
{
    switch (ResizeCursorAt(x, y)) {
    case TRVResizeCursor::SizeNWSE: return TRVMouseCursor::SizeNWSE;
    case TRVResizeCursor::SizeNESW: return TRVMouseCursor::SizeNESW;
    case TRVResizeCursor::SizeNS: return TRVMouseCursor::SizeNS;
    case TRVResizeCursor::SizeWE: return TRVMouseCursor::SizeWE;
    case TRVResizeCursor::None: break;
    }
    if (InLeftMargin(x) && SelectionAllowed())
        return TRVMouseCursor::LineSelect;
    return JumpCursorAt(x, y) ? TRVMouseCursor::Jump : TRVMouseCursor::Text;
}

void TCustomDocViewEdit::DblClick(TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (CellEditor_) {
        std::int32_t cx = 0, cy = 0;
        if (CellEditorOrigin(cx, cy) && CellAtEditor(x, y)) {
            CellEditor_->DblClick(shift, x - cx, y - cy);
            return;
        }
    }
    if (!Data_.Formatted() || !Data_.Options.Contains(rvoDblClickSelectsWord) || !SelectionAllowed())
        return;
    TRVDocPos start, end;
    if (!Data_.GetWordAt(Data_.DocPosOf(Data_.HitTest(x, y)), Delimiters, start, end))
        return;
    Mouse_ = {};
    const TSelectionState before = SelectionState();
    SelectDocRange(start, end);
    CaretMoved(false, before);
}

void TCustomDocViewEdit::ExtendMouseSelection(std::int32_t x, std::int32_t y)
{
    if (Mouse_.Mode == TMouseMode::Lines) {
        const int line = Data_.LineAtY(y);
        const bool forward = line >= Mouse_.PressedLine;
        if (Mouse_.Granularity == rvsmParagraph) {
            const int pressedItem = Data_.DrawItems()[Mouse_.PressedLine].ItemNo;
            const int item = Data_.DrawItems()[line].ItemNo;
            SelectDocRange(forward ? Data_.ParagraphStart(pressedItem) : Data_.ParagraphEnd(pressedItem),
                           forward ? Data_.ParagraphEnd(item) : Data_.ParagraphStart(item));
        } else {
            Data_.SetSelectionBounds(
                forward ? Data_.LineStartOf(Mouse_.PressedLine) : Data_.LineEndOf(Mouse_.PressedLine),
                forward ? Data_.LineEndOf(line) : Data_.LineStartOf(line));
        }
        return;
    }
    const TRVDrawPos raw = Data_.HitTest(x, y);
    const TRVDrawPos pointer = Data_.StopOf(raw);
    switch (Mouse_.Granularity) {
    case rvsmChar:
        Data_.SetSelectionBounds(Mouse_.Pressed, pointer);
        break;
    case rvsmParagraph: {
        const bool forward = Mouse_.Pressed <= pointer;
        const int pressedItem = Data_.DocPosOf(Mouse_.Pressed).ItemNo;
        const int item = Data_.DocPosOf(pointer).ItemNo;
        SelectDocRange(forward ? Data_.ParagraphStart(pressedItem) : Data_.ParagraphEnd(pressedItem),
                       forward ? Data_.ParagraphEnd(item) : Data_.ParagraphStart(item));
        break;
    }
    case rvsmWord:
        ExtendByWords(raw, pointer);
        break;
    }
}

void TCustomDocViewEdit::ExtendByWords(TRVDrawPos raw, TRVDrawPos pointer)
{
    TMouseSelection& m = Mouse_;
    const TRVDocPos rawDoc = Data_.DocPosOf(raw);
    const TRVDocPos pointerDoc = Data_.DocPosOf(pointer);
    const bool hasWord = m.WordStart.Valid();
    const auto inside = [](TRVDocPos p, TRVDocPos start, TRVDocPos end) {
        return p.ItemNo == start.ItemNo && start.Offset <= p.Offset && p.Offset <= end.Offset;
    };

    // Inside the word where the button went down: characters from where it went down.
    if (hasWord && inside(rawDoc, m.WordStart, m.WordEnd)) {
        m.SnapStart = m.SnapEnd = {};
        m.TurnedBack = false;
        m.LastPointer = pointerDoc;
        Data_.SetSelectionBounds(m.Pressed, pointer);
        return;
    }

    // Outside it the start word is selected whole, and the moving end snaps to the far edge of
    // the word under the pointer, until the pointer turns back inside that word.
    const bool forward = hasWord ? rawDoc > m.WordEnd : m.Pressed <= pointer;
    TRVDrawPos anchor = m.Pressed;
    if (hasWord)
        anchor = Data_.DrawPosOf(forward ? m.WordStart : m.WordEnd,
                                 forward ? TRVLineBoundary::LineStart : TRVLineBoundary::LineEnd);
    TRVDrawPos end = pointer;
    TRVDocPos wordStart, wordEnd;
    if (Data_.GetWordAt(rawDoc, Delimiters, wordStart, wordEnd) && wordStart != wordEnd) {
        if (wordStart == m.SnapStart && wordEnd == m.SnapEnd) {
            const bool movedBack = forward ? pointerDoc < m.LastPointer : pointerDoc > m.LastPointer;
            m.TurnedBack = m.TurnedBack || movedBack;
        } else {
            m.SnapStart = wordStart;
            m.SnapEnd = wordEnd;
            m.TurnedBack = false;
        }
        if (!m.TurnedBack)
            end = Data_.DrawPosOf(forward ? wordEnd : wordStart,
                                  forward ? TRVLineBoundary::LineEnd : TRVLineBoundary::LineStart);
    } else {
        m.SnapStart = m.SnapEnd = {};
        m.TurnedBack = false;
    }
    m.LastPointer = pointerDoc;
    Data_.SetSelectionBounds(anchor, end);
}

TRVAutoScrollStep TCustomDocViewEdit::AutoScrollStep(std::int32_t viewX, std::int32_t viewY) const
{
    if (Mouse_.Mode == TMouseMode::None)
        return {};
    const auto step = [](std::int32_t pos, std::int32_t size) {
        if (pos < 0)
            return -pos > 20 ? -10 : -1;
        if (pos >= size)
            return pos - size + 1 > 20 ? 10 : 1;
        return 0;
    };
    return {step(viewX, Data_.DeviceScale().X(Data_.ClientWidth)), step(viewY, Data_.DeviceScale().Y(Data_.ClientHeight))};
}

} // namespace xq

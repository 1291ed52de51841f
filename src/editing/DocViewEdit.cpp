// The editor control: current styles, caret moves by key, selection commands and scrolling, and
// the caret after an edit. The mouse is in DocViewEditMouse.cpp, the edits in the files named after
// them (Typing.cpp, Enter.cpp, Deletion.cpp, ...), all made of the changes in RecordedChanges.cpp
// inside an edit step (EditStep.h).
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"

#include <algorithm>

#include "document/RVStyle.h"
#include "layout/ScrollUnits.h"
#include "lists/ListItems.h"

namespace xq {

TCustomDocViewEdit::TCustomDocViewEdit(TRVStyle* sheet) : Data_(sheet)
{
    Data_.Options.Include(rvoDblClickSelectsWord).Include(rvoRClickDeselects);
}

TCustomDocViewEdit::~TCustomDocViewEdit()
{
    CellEditor_.reset();
}

TDocViewEdit::TDocViewEdit(TRVStyle* sheet) : TCustomDocViewEdit(sheet)
{
    EditorOptions = {rvoClearTagOnStyleApp, rvoCtrlJumps, rvoWantTabs};
    Delimiters = MainWindowDelimiters;
    RVFOptions = RVFMainWindowOptions;
    RTFOptions = RTFMainWindowOptions;
    SetMainWindowRtfReadProperties(RTFReadProperties);
    for (const TRVOption option :
         {rvoAutoCopyText, rvoAutoCopyUnicodeText, rvoAutoCopyRVF, rvoAutoCopyImage, rvoAutoCopyRTF})
        RVData().Options.Include(option);
}

TRVLayoutInfo TCustomDocViewEdit::LayoutInfo() const noexcept
{
    TRVLayoutInfo layout;
    layout.LeftMargin = Data_.LeftMargin;
    layout.RightMargin = Data_.RightMargin;
    layout.TopMargin = Data_.TopMargin;
    layout.BottomMargin = Data_.BottomMargin;
    layout.MinTextWidth = Data_.MinTextWidth;
    layout.MaxTextWidth = Data_.MaxTextWidth;
    layout.BiDiMode = Data_.BiDiMode;
    return layout;
}

// ---------------------------------------------------------------------------------------------
// Document

void TCustomDocViewEdit::Clear()
{
    // The cell being edited goes with the document.
    CellEditor_.reset();
    Data_.EditedSubDocument = nullptr;
    Data_.EditedSubLayout = nullptr;
    CellDrag_ = {};
    Data_.Clear();
    Data_.ClearLayout();
    ClearUndoHistory();
    Modified_ = false;
    Data_.ResetCaret();
    Mouse_ = {};
    CurTextStyle_ = 0;
    CurParaStyle_ = 0;
    LastAutoTextStyle_ = -1;
    TextStyleNotifyPending_ = ParaStyleNotifyPending_ = true;
}

void TCustomDocViewEdit::Format()
{
    const bool hadCaret = Data_.CaretValid();
    const TRVEditPositions saved = Data_.SavePositions();
    const TSelectionState before = SelectionState();
    Data_.FormatAll(hadCaret, true);
    if (hadCaret) {
        Data_.RestorePositions(saved);
        PlaceCellEditor();
        return;
    }
    Data_.ResetCaret();
    if (Data_.CaretValid())
        CaretMoved(false, before);
}

// ---------------------------------------------------------------------------------------------
// Current styles

int TCustomDocViewEdit::CurrentTextStyle() const noexcept
{
    return CellEditor_ ? CellEditor_->CurrentTextStyle() : CurTextStyle_;
}

int TCustomDocViewEdit::CurrentParaStyle() const noexcept
{
    return CellEditor_ ? CellEditor_->CurrentParaStyle() : CurParaStyle_;
}

void TCustomDocViewEdit::SetCurrentTextStyle(int styleNo)
{
    if (CellEditor_) {
        CellEditor_->SetCurrentTextStyle(styleNo);
        return;
    }
    if (styleNo == CurTextStyle_ && !TextStyleNotifyPending_)
        return;
    CurTextStyle_ = styleNo;
    TextStyleNotifyPending_ = false;
    if (OnCurTextStyleChanged)
        OnCurTextStyleChanged(*this);
}

void TCustomDocViewEdit::SetCurrentParaStyle(int styleNo)
{
    if (CellEditor_) {
        CellEditor_->SetCurrentParaStyle(styleNo);
        return;
    }
    if (styleNo == CurParaStyle_ && !ParaStyleNotifyPending_)
        return;
    CurParaStyle_ = styleNo;
    ParaStyleNotifyPending_ = false;
    if (OnCurParaStyleChanged)
        OnCurParaStyleChanged(*this);
}

int TCustomDocViewEdit::TextStyleAtItem(int itemNo) const
{
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.IsText())
        return Data_.ActualStyleOf(itemNo);
    if (item.StyleNo == rvsTab) {
        const int styleNo = static_cast<const TRVTabItemInfo&>(item).TextStyleNo;
        return styleNo == rvsDefStyle ? -1 : styleNo;
    }
    if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item))
        return label->TextStyleNo;
    return -1;
}

void TCustomDocViewEdit::UpdateCurrentStyles()
{
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || !Data_.CaretValid())
        return;
    const int itemNo = Data_.CaretItemNo();
    const auto noAutoSwitch = [sheet](int styleNo) {
        return sheet->TextStyles.StyleAt(styleNo).Protection.Contains(rvprDoNotAutoSwitch);
    };
    const int styleNo = TextStyleAtItem(itemNo);
    if (styleNo >= 0 && styleNo < sheet->TextStyles.Count()) {
        if (!noAutoSwitch(styleNo)) {
            SetCurrentTextStyle(styleNo);
            LastAutoTextStyle_ = styleNo;
        } else if (LastAutoTextStyle_ >= 0 && LastAutoTextStyle_ < sheet->TextStyles.Count() &&
                   !noAutoSwitch(LastAutoTextStyle_)) {
            SetCurrentTextStyle(LastAutoTextStyle_);
        }
    }
    SetCurrentParaStyle(Data_.ParaOf(itemNo));
}

// ---------------------------------------------------------------------------------------------
// Caret and selection

TCustomDocViewEdit::TSelectionState TCustomDocViewEdit::SelectionState() const noexcept
{
    return {Data_.SelStartNo, Data_.SelStartOffs, Data_.SelEndNo, Data_.SelEndOffs};
}

void TCustomDocViewEdit::CaretMoved(bool scroll, const TSelectionState& before)
{
    if (scroll)
        ScrollToCaret();
    UpdateCurrentStyles();
    if (OnCaretMove)
        OnCaretMove(*this);
    if (OnSelect && SelectionState() != before)
        OnSelect(*this);
}

void TCustomDocViewEdit::SetCaretDocPos(TRVDocPos pos, TRVLineBoundary boundary)
{
    const TRVDrawPos target = Data_.DrawPosOf(pos, boundary);
    if (!target.Valid())
        return;
    const TSelectionState before = SelectionState();
    Data_.SetCaret(target);
    Data_.CollapseSelection();
    CaretMoved(true, before);
}

void TCustomDocViewEdit::PlaceCaretAfterEdit(TRVDocPos caret, TRVLineBoundary boundary, const TSelectionState& before)
{
    if (Data_.Count() == 0) {
        Data_.ResetCaret();
        return;
    }
    caret.ItemNo = std::clamp(caret.ItemNo, 0, Data_.Count() - 1);
    caret.Offset = std::clamp(caret.Offset, Data_.OffsetBefore(caret.ItemNo), Data_.OffsetAfter(caret.ItemNo));
    const TRVDrawPos target = Data_.DrawPosOf(caret, boundary);
    if (target.Valid()) {
        Data_.SetCaret(target);
        Data_.CollapseSelection();
    } else {
        Data_.ResetCaret();
    }
    CaretMoved(true, before);
}

void TCustomDocViewEdit::SelectAfterEdit(TRVDocPos anchor, TRVDocPos moving)
{
    // The caret stands at the moving end already; the anchor comes back to where it was.
    const TSelectionState before = SelectionState();
    SelectDocRange(anchor, moving);
    if (OnSelect && SelectionState() != before)
        OnSelect(*this);
}

void TCustomDocViewEdit::SelectDocRange(TRVDocPos anchor, TRVDocPos end)
{
    const bool forward = anchor <= end;
    const TRVLineBoundary anchorSide = forward ? TRVLineBoundary::LineStart : TRVLineBoundary::LineEnd;
    const TRVLineBoundary endSide = forward ? TRVLineBoundary::LineEnd : TRVLineBoundary::LineStart;
    Data_.SetSelectionBounds(Data_.DrawPosOf(anchor, anchorSide), Data_.DrawPosOf(end, endSide));
}

void TCustomDocViewEdit::SelectAll()
{
    if (CellEditor_) {
        CellEditor_->SelectAll();
        return;
    }
    if (!Data_.CaretValid() || !SelectionAllowed())
        return;
    const TSelectionState before = SelectionState();
    Data_.SetSelectionBounds(Data_.FirstStop(), Data_.LastStop());
    CaretMoved(false, before);
}

void TCustomDocViewEdit::Deselect()
{
    if (CellEditor_) {
        CellEditor_->Deselect();
        return;
    }
    const TSelectionState before = SelectionState();
    Data_.CollapseSelection();
    if (OnSelect && SelectionState() != before)
        OnSelect(*this);
}

void TCustomDocViewEdit::SetSelection(TRVDocPos anchor, TRVDocPos end)
{
    if (!Data_.Formatted() || !Data_.DrawPosOf(anchor).Valid() || !Data_.DrawPosOf(end).Valid())
        return;
    const TSelectionState before = SelectionState();
    if (SelectionAllowed()) {
        SelectDocRange(anchor, end);
    } else {
        Data_.SetCaret(Data_.DrawPosOf(end));
        Data_.CollapseSelection();
    }
    CaretMoved(true, before);
}

void TCustomDocViewEdit::SelectCurrentWord()
{
    if (CellEditor_) {
        CellEditor_->SelectCurrentWord();
        return;
    }
    if (!Data_.CaretValid() || !SelectionAllowed())
        return;
    TRVDocPos start, end;
    if (!Data_.GetWordAt(Data_.CaretDocPos(), Delimiters, start, end))
        return;
    const TSelectionState before = SelectionState();
    SelectDocRange(start, end);
    CaretMoved(true, before);
}

// ---------------------------------------------------------------------------------------------
// Keyboard

namespace {

TRVGetOutDirection DirectionOf(TRVCaretMove move) noexcept
{
    switch (move) {
    case TRVCaretMove::Left:
    case TRVCaretMove::WordLeft: return rvdLeft;
    case TRVCaretMove::Right:
    case TRVCaretMove::WordRight: return rvdRight;
    case TRVCaretMove::Up:
    case TRVCaretMove::PageUp: return rvdUp;
    case TRVCaretMove::Down:
    case TRVCaretMove::PageDown: return rvdDown;
    case TRVCaretMove::Home:
    case TRVCaretMove::DocumentStart: return rvdHome;
    case TRVCaretMove::End:
    case TRVCaretMove::DocumentEnd: return rvdEnd;
    }
    return rvdLeft;
}

} // namespace

void TCustomDocViewEdit::GetOut(TRVGetOutDirection direction, bool extend)
{
    // The outer editor takes the caret on; this editor may be gone when it returns.
    if (Outer_) {
        Outer_->CellCaretGetOut(direction, extend);
        return;
    }
    if (OnCaretGetOut)
        OnCaretGetOut(*this, direction);
}

TRVSelectionMode TCustomDocViewEdit::SheetSelectionMode() const noexcept
{
    const TRVStyle* sheet = GetRVStyle();
    return sheet ? sheet->SelectionMode : rvsmWord;
}

bool TCustomDocViewEdit::MoveTarget(TRVCaretMove move, TRVDrawPos from, TRVDrawPos& to, bool& lineToTop)
{
    const std::int32_t x = Data_.CharEnds()[Data_.CaretStop()].X;
    const std::int32_t clientHeight = Data_.DeviceScale().Y(Data_.ClientHeight);
    switch (move) {
    case TRVCaretMove::Left:
        return Data_.StopLeft(from, to);
    case TRVCaretMove::Right:
        return Data_.StopRight(from, to);
    case TRVCaretMove::Up:
        if (Data_.LineUp(from, x, to))
            return true;
        ScrollTo(0);
        return false;
    case TRVCaretMove::Down:
        return Data_.LineDown(from, x, to);
    case TRVCaretMove::Home:
        to = Data_.LineStartOf(from.DrawItemNo);
        return to != from || from != Data_.FirstStop();
    case TRVCaretMove::End:
        to = Data_.LineEndOf(from.DrawItemNo);
        return to != from || from != Data_.LastStop();
    case TRVCaretMove::DocumentStart:
        to = Data_.FirstStop();
        return to != from;
    case TRVCaretMove::DocumentEnd:
        to = Data_.LastStop();
        return to != from;
    case TRVCaretMove::WordLeft:
    case TRVCaretMove::WordRight: {
        // A word boundary that is the caret's own place (seen from another item) is passed by.
        const bool left = move == TRVCaretMove::WordLeft;
        TRVDocPos at = Data_.DocPosOf(from);
        for (int guard = 0; guard <= Data_.Count(); ++guard) {
            TRVDocPos next;
            if (!(left ? Data_.WordLeftOf(at, Delimiters, next) : Data_.WordRightOf(at, Delimiters, next)))
                return false;
            to = Data_.StopOf(Data_.DrawPosOf(next, TRVLineBoundary::LineStart));
            if (to != from)
                return true;
            at = next;
        }
        return false;
    }
    case TRVCaretMove::PageUp: {
        // A page up from above the view's top, then by half pages until an earlier line is hit.
        std::int32_t y = Data_.ScrollY - clientHeight * 3 / 4;
        for (;;) {
            if (y <= 0) {
                to = Data_.FirstStop();
                break;
            }
            const TRVDrawPos hit = Data_.HitTest(x, y);
            if (hit.DrawItemNo < from.DrawItemNo) {
                to = Data_.StopOf(hit);
                break;
            }
            y -= std::max(clientHeight / 2, 1);
        }
        return to != from;
    }
    case TRVCaretMove::PageDown: {
        std::int32_t y = Data_.ScrollY + clientHeight * 3 / 4;
        for (;;) {
            if (y >= Data_.TotalHeight()) {
                to = Data_.LastStop();
                break;
            }
            const TRVDrawPos hit = Data_.HitTest(x, y);
            if (hit.DrawItemNo > from.DrawItemNo) {
                to = Data_.StopOf(hit);
                lineToTop = true;
                break;
            }
            y += std::max(clientHeight / 2, 1);
        }
        return to != from;
    }
    }
    return false;
}

void TCustomDocViewEdit::ParagraphExtension(TRVCaretMove move, TRVDrawPos from, TRVDrawPos& anchor, TRVDrawPos& to)
{
    const bool forward = move == TRVCaretMove::Right || move == TRVCaretMove::Down;
    const TRVDocPos current = Data_.DocPosOf(from);
    TRVDocPos target = forward ? Data_.ParagraphEnd(current.ItemNo) : Data_.ParagraphStart(current.ItemNo);
    if (Data_.SamePlace(target, current)) {
        // Already at the paragraph's edge: the whole next (or previous) paragraph.
        if (forward) {
            const int last = Data_.ParagraphLastItem(current.ItemNo);
            if (last + 1 < Data_.Count())
                target = Data_.ParagraphEnd(last + 1);
        } else {
            const int first = Data_.ParagraphFirstItem(current.ItemNo);
            if (first > 0)
                target = Data_.ParagraphStart(first - 1);
        }
    }
    to = Data_.StopOf(Data_.DrawPosOf(target, forward ? TRVLineBoundary::LineEnd : TRVLineBoundary::LineStart));
    const TRVDocPos anchorDoc = Data_.DocPosOf(anchor);
    const bool anchorFirst = anchor <= to;
    const TRVDocPos edge = anchorFirst ? Data_.ParagraphStart(anchorDoc.ItemNo) : Data_.ParagraphEnd(anchorDoc.ItemNo);
    anchor = Data_.DrawPosOf(edge, anchorFirst ? TRVLineBoundary::LineStart : TRVLineBoundary::LineEnd);
}

void TCustomDocViewEdit::MoveCaret(TRVCaretMove move, TRVSelectionUpdate update)
{
    if (CellEditor_) {
        CellEditor_->MoveCaret(move, update);
        return;
    }
    if (!Data_.Formatted() || !Data_.CaretValid())
        return;
    Data_.CheckCaret();
    const TSelectionState before = SelectionState();
    const TRVDrawPos from = Data_.CaretPos();
    TRVDrawPos to;
    bool lineToTop = false;
    const bool extend = update == TRVSelectionUpdate::Extend && SelectionAllowed();
    if (!MoveTarget(move, from, to, lineToTop)) {
        if (!extend) {
            Data_.CollapseSelection();
            if (OnSelect && SelectionState() != before)
                OnSelect(*this);
        }
        GetOut(DirectionOf(move), extend);
        return;
    }
    // An arrow onto a table goes into it: into its first cell from before it, its last from after.
    if (!extend && !Outer_ && (move == TRVCaretMove::Left || move == TRVCaretMove::Right || move == TRVCaretMove::Up ||
                               move == TRVCaretMove::Down)) {
        const TRVDocPos target = Data_.DocPosOf(to);
        if (target.Valid() && Data_.ItemAt(target.ItemNo).StyleNo == rvsTable &&
            EnterTable(target.ItemNo, move == TRVCaretMove::Right || move == TRVCaretMove::Down))
            return;
    }
    if (extend) {
        TRVDrawPos anchor = Data_.SelectionAnchor();
        if (!anchor.Valid())
            anchor = from;
        const bool byLine = move == TRVCaretMove::Left || move == TRVCaretMove::Right || move == TRVCaretMove::Up ||
                            move == TRVCaretMove::Down;
        if (byLine && SheetSelectionMode() == rvsmParagraph)
            ParagraphExtension(move, from, anchor, to);
        Data_.SetSelectionBounds(anchor, to);
    } else {
        Data_.SetCaret(to);
        Data_.CollapseSelection();
    }
    if (lineToTop)
        ScrollTo(Data_.LineTopOf(Data_.CaretDrawItemNo()));
    CaretMoved(!lineToTop, before);
}

bool TCustomDocViewEdit::KeyDown(TRVKey key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    const bool alt = shift.Contains(ssAlt);
    const bool withShift = shift.Contains(ssShift);
    if (CellEditor_)
        return CellEditor_->KeyDown(key, shift);
    // In a cell, Tab goes to the next cell and Shift+Tab to the one before; Ctrl+Tab types a tab.
    if (Outer_ && key == rvkTab && !alt && !ctrl) {
        Outer_->MoveToNextCell(!withShift);
        return true;
    }
    if (!Outer_ && key != rvkOther && ClearCellRectangle(key, shift))
        return true;
    // Undo and Redo work wherever the caret is.
    if ((ctrl && !alt && key == rvkZ) || (alt && !ctrl && key == rvkBackspace)) {
        if (withShift)
            Redo();
        else
            Undo();
        return true;
    }
    if (!Data_.Formatted() || !Data_.CaretValid() || alt)
        return false;
    switch (key) {
    case rvkReturn:
        // Without returns Enter is swallowed (its carriage return beeps in KeyPress); without
        // Shift+Enter that key is left alone.
        if (!withShift && EditorOptions.Contains(rvoDoNotWantReturns))
            return true;
        if (withShift && EditorOptions.Contains(rvoDoNotWantShiftReturns))
            return false;
        InsertEnter(withShift);
        return true;
    case rvkBackspace:
        if (SelectionExists())
            DeleteSelected();
        else
            DeleteBackward(ctrl);
        return true;
    case rvkDelete:
        if (withShift)
            return false; // cutting belongs to the clipboard
        if (SelectionExists())
            DeleteSelected();
        else
            DeleteForward();
        return true;
    case rvkTab:
        if (!EditorOptions.Contains(rvoWantTabs) || withShift)
            return false;
        InsertWideTextAtCaret(u"\t");
        return true;
    default: break;
    }
    const TRVSelectionUpdate update = shift.Contains(ssShift) ? TRVSelectionUpdate::Extend : TRVSelectionUpdate::Collapse;
    if (ctrl && !shift.Contains(ssShift) && (key == rvkUp || key == rvkDown)) {
        const std::int32_t unit = VScrollUnitPixels();
        ScrollTo(Data_.ScrollY + (key == rvkUp ? -unit : unit));
        return true;
    }
    const bool rightToLeft = Data_.BiDiMode == rvbdRightToLeft;
    TRVCaretMove move{};
    switch (key) {
    case rvkLeft:
    case rvkRight: {
        const bool left = (key == rvkLeft) != rightToLeft;
        move = ctrl ? (left ? TRVCaretMove::WordLeft : TRVCaretMove::WordRight)
                    : (left ? TRVCaretMove::Left : TRVCaretMove::Right);
        break;
    }
    case rvkUp: move = TRVCaretMove::Up; break;
    case rvkDown: move = TRVCaretMove::Down; break;
    case rvkHome: move = ctrl ? TRVCaretMove::DocumentStart : TRVCaretMove::Home; break;
    case rvkEnd: move = ctrl ? TRVCaretMove::DocumentEnd : TRVCaretMove::End; break;
    case rvkPageUp: move = TRVCaretMove::PageUp; break;
    case rvkPageDown: move = TRVCaretMove::PageDown; break;
    default: return false;
    }
    MoveCaret(move, update);
    return true;
}

// ---------------------------------------------------------------------------------------------
// View

TRVCaretRect TCustomDocViewEdit::GetCaretRect()
{
    std::int32_t x = 0, y = 0;
    if (CellEditor_ && CellEditorOrigin(x, y)) {
        TRVCaretRect rect = CellEditor_->GetCaretRect();
        rect.X += x;
        rect.Top += y;
        return rect;
    }
    Data_.CheckCaret();
    return Data_.CaretRect();
}

bool TCustomDocViewEdit::CaretShown() const noexcept
{
    if (CellEditor_)
        return CellEditor_->CaretShown();
    return Data_.CaretValid() && !(ReadOnly && EditorOptions.Contains(rvoHideReadOnlyCaret)) && !CellDrag_.Valid();
}

bool TCustomDocViewEdit::SelectionExists() const
{
    return CellEditor_ ? CellEditor_->SelectionExists() : Data_.SelectionExists();
}

std::int32_t TCustomDocViewEdit::VScrollUnitPixels() const noexcept
{
    const std::int32_t clientHeight = Data_.DeviceScale().Y(Data_.ClientHeight);
    return VScrollUnit(Data_.TotalHeight(), Data_.TotalHeight() > clientHeight);
}

void TCustomDocViewEdit::ScrollTo(std::int32_t y)
{
    const std::int32_t unit = VScrollUnitPixels();
    const std::int32_t clientHeight = Data_.DeviceScale().Y(Data_.ClientHeight);
    const std::int32_t maxUnits = std::max(0, (Data_.TotalHeight() - clientHeight + unit - 1) / unit);
    const std::int32_t units = std::clamp(y >= 0 ? y / unit : 0, 0, maxUnits);
    const std::int32_t scroll = units * unit;
    if (scroll == Data_.ScrollY)
        return;
    Data_.ScrollY = scroll;
    if (Data_.OnScrollChanged)
        Data_.OnScrollChanged();
}

void TCustomDocViewEdit::ScrollToCaret()
{
    const std::int32_t clientHeight = Data_.DeviceScale().Y(Data_.ClientHeight);
    if (!Data_.CaretValid() || clientHeight <= 0)
        return;
    const int drawItemNo = Data_.CaretDrawItemNo();
    std::int32_t top = Data_.LineTopOf(drawItemNo);
    std::int32_t bottom = Data_.LineBottom(drawItemNo);
    // In a cell, the cell's caret line is what must show.
    if (CellEditor_) {
        const TRVCaretRect caret = GetCaretRect();
        top = caret.Top;
        bottom = caret.Top + caret.Height;
    }
    if (top < Data_.ScrollY) {
        ScrollTo(top);
    } else if (bottom > Data_.ScrollY + clientHeight) {
        // Whole units, rounded so that the line's bottom comes into view, unless the line is
        // taller than the view: then its top.
        const std::int32_t unit = VScrollUnitPixels();
        const std::int32_t wanted = (bottom - clientHeight + unit - 1) / unit * unit;
        ScrollTo(wanted > top ? top : wanted);
    }
}

} // namespace xq

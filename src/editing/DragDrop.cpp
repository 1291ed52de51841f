// Drag and drop: a press in the selection that becomes a drag, the drop caret that follows the
// pointer, and drops inserted by the richest kind of data they bring. A move within the editor is
// one undo step; a drop into the dragged selection itself does nothing.
#include "editing/DragDrop.h"

#include <array>
#include <vector>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "tables/TableItem.h"

namespace xq {

int LinearPosition(const TCustomRVData& data, TRVDocPos pos)
{
    int linear = 0;
    const int end = std::min(pos.ItemNo, data.Count());
    for (int i = 0; i < end; ++i) {
        if (i > 0 && data.StartsLine(i))
            ++linear;
        linear += data.OffsetAfter(i) - data.OffsetBefore(i);
    }
    if (pos.ItemNo < 0 || pos.ItemNo >= data.Count())
        return linear;
    if (pos.ItemNo > 0 && data.StartsLine(pos.ItemNo))
        ++linear;
    return linear + std::clamp(pos.Offset, data.OffsetBefore(pos.ItemNo), data.OffsetAfter(pos.ItemNo)) -
           data.OffsetBefore(pos.ItemNo);
}

int LinearLength(const TCustomRVData& data)
{
    if (data.Count() == 0)
        return 0;
    const int last = data.Count() - 1;
    return LinearPosition(data, {last, data.OffsetAfter(last)});
}

TRVDocPos DocPosOfLinear(const TCustomRVData& data, int linear)
{
    if (data.Count() == 0)
        return {};
    int at = 0;
    for (int i = 0; i < data.Count(); ++i) {
        if (i > 0 && data.StartsLine(i))
            ++at;
        const int length = data.OffsetAfter(i) - data.OffsetBefore(i);
        if (linear <= at + length)
            return {i, data.OffsetBefore(i) + std::max(0, linear - at)};
        at += length;
    }
    const int last = data.Count() - 1;
    return {last, data.OffsetAfter(last)};
}

namespace {

constexpr std::int32_t DropScrollMargin = 20;

/// The kinds of data a drop into an editor accepting formats could take from data.
bool Droppable(const TClipboard& data, TRVDragDropFormats formats)
{
    return (formats.Contains(rvddRVF) && data.HasFormat(TClipboardFormat::DocView)) ||
           (formats.Contains(rvddRTF) && data.HasFormat(TClipboardFormat::Rtf)) ||
           (formats.Contains(rvddURL) && data.HasFormat(TClipboardFormat::Url)) ||
           ((formats.Contains(rvddText) || formats.Contains(rvddUnicodeText)) &&
            data.HasFormat(TClipboardFormat::Text)) ||
           (formats.Contains(rvddBitmap) && data.HasFormat(TClipboardFormat::Picture)) ||
           (formats.Contains(rvddFiles) && data.HasFormat(TClipboardFormat::Files));
}

/// Move when the data is this editor's own selection and Ctrl is not held; otherwise copy, else
/// link, as far as the source allows.
TRVDropEffects OfferedEffect(TRVDropEffects allowed, TShiftState shift, bool ours)
{
    if (ours && !shift.Contains(ssCtrl) && allowed.Contains(rvdeMove))
        return {rvdeMove};
    if (allowed.Contains(rvdeCopy))
        return {rvdeCopy};
    if (allowed.Contains(rvdeLink))
        return {rvdeLink};
    return {};
}

TRVTableItemInfo* TableAt(TCustomRVData& data, int itemNo)
{
    return itemNo >= 0 && itemNo < data.Count() ? dynamic_cast<TRVTableItemInfo*>(&data.ItemAt(itemNo)) : nullptr;
}

} // namespace

TCustomDocViewEdit& TCustomDocViewEdit::RootEditor() noexcept
{
    TCustomDocViewEdit* e = this;
    while (e->Outer_)
        e = e->Outer_;
    return *e;
}

bool TCustomDocViewEdit::DragPending() const noexcept
{
    for (const TCustomDocViewEdit* e = this; e; e = e->CellEditor_.get())
        if (e->DragPressPending_)
            return true;
    return false;
}

bool TCustomDocViewEdit::BeginDrag(TClipboardContent& content)
{
    TCustomDocViewEdit& root = RootEditor();
    TCustomDocViewEdit* source = nullptr;
    for (TCustomDocViewEdit* e = &root; e; e = e->CellEditor_.get())
        if (e->DragPressPending_)
            source = e;
    // The mouse belongs to the drag from now on: no selection or cell rectangle follows it.
    for (TCustomDocViewEdit* e = &root; e; e = e->CellEditor_.get()) {
        e->DragPressPending_ = false;
        e->Mouse_ = {};
        e->CellDrag_.Active = false;
        e->CellEditorHasMouse_ = false;
    }
    TRVDocPos first, last;
    if (!source || !source->Data_.GetOrderedSelectionDoc(first, last) || first == last)
        return false;
    // A drag offers every format a copy can write, whatever the copy options say.
    const TRVOptions formats{rvoAutoCopyText, rvoAutoCopyUnicodeText, rvoAutoCopyRVF, rvoAutoCopyImage,
                             rvoAutoCopyRTF};
    if (!source->SelectionContent(content, formats) || content.Empty())
        return false;
    root.Drag_ = {true, source, first, last, false};
    return true;
}

void TCustomDocViewEdit::EndDrag(TRVDropEffects done)
{
    TCustomDocViewEdit& root = RootEditor();
    const TDragSource drag = root.Drag_;
    root.Drag_ = {};
    root.DragLeave();
    if (!drag.Active || drag.DroppedHere || !done.Contains(rvdeMove) || !drag.Editor)
        return;
    // Another window took the data as a move: the dragged selection goes here.
    TCustomDocViewEdit& source = *drag.Editor;
    const int count = source.Data_.Count();
    if (!source.Data_.Formatted() || drag.Last.ItemNo >= count)
        return;
    source.SelectDocRange(drag.First, drag.Last);
    source.UpdateCurrentStyles();
    source.DeleteSelected();
}

TCustomDocViewEdit& TCustomDocViewEdit::DropTarget(std::int32_t& x, std::int32_t& y, bool enterCells)
{
    TCustomDocViewEdit* e = this;
    for (;;) {
        std::int32_t cx = 0, cy = 0;
        if (e->CellEditor_ && e->CellAtEditor(x, y) && e->CellEditorOrigin(cx, cy)) {
            x -= cx;
            y -= cy;
            e = e->CellEditor_.get();
            continue;
        }
        int itemNo = -1, row = -1, col = -1;
        if (enterCells && !e->ReadOnly && e->CellAt(x, y, itemNo, row, col) && e->EditCell(itemNo, row, col) &&
            e->CellEditorOrigin(cx, cy)) {
            x -= cx;
            y -= cy;
            e = e->CellEditor_.get();
            continue;
        }
        return *e;
    }
}

TRVDropEffects TCustomDocViewEdit::DragOver(const TClipboard& data, TRVDropEffects allowed, TShiftState shift,
                                            std::int32_t x, std::int32_t y)
{
    TCustomDocViewEdit& root = RootEditor();
    root.DragLeave();
    const bool ours = root.Drag_.Active && root.Drag_.Editor;
    // Our own selection stays where it is: only a drag from elsewhere enters other cells.
    TCustomDocViewEdit& target = root.DropTarget(x, y, !ours);
    if (target.ReadOnly || !target.GetRVStyle() || !target.Data_.Formatted() || target.Data_.DrawItems().Count() == 0 ||
        !Droppable(data, root.AcceptDragDropFormats))
        return {};
    target.DropPos_ = target.Data_.StopOf(target.Data_.HitTest(x, y));
    if (!target.DropPos_.Valid())
        return {};
    return OfferedEffect(allowed, shift, ours);
}

void TCustomDocViewEdit::DragLeave()
{
    for (TCustomDocViewEdit* e = &RootEditor(); e; e = e->CellEditor_.get())
        e->DropPos_ = {};
}

bool TCustomDocViewEdit::DropCaret(TRVCaretRect& rect)
{
    std::int32_t x = 0, y = 0;
    for (TCustomDocViewEdit* e = this; e; e = e->CellEditor_.get()) {
        if (e->DropPos_.Valid()) {
            rect = e->Data_.StopRect(e->DropPos_);
            rect.X += x;
            rect.Top += y;
            return rect.Height > 0;
        }
        std::int32_t cx = 0, cy = 0;
        if (!e->CellEditorOrigin(cx, cy))
            return false;
        x += cx;
        y += cy;
    }
    return false;
}

std::int32_t TCustomDocViewEdit::DropScrollUnits(std::int32_t viewY) const noexcept
{
    const std::int32_t height = Data_.DeviceScale().Y(Data_.ClientHeight);
    if (viewY < DropScrollMargin)
        return -1;
    if (viewY >= height - DropScrollMargin)
        return 1;
    return 0;
}

TRVDropEffects TCustomDocViewEdit::Drop(const TClipboard& data, TRVDropEffects allowed, TShiftState shift,
                                        std::int32_t x, std::int32_t y)
{
    TCustomDocViewEdit& root = RootEditor();
    const TRVDropEffects effect = root.DragOver(data, allowed, shift, x, y);
    TCustomDocViewEdit* target = &root;
    while (target && !target->DropPos_.Valid())
        target = target->CellEditor_.get();
    if (effect.Empty() || !target) {
        root.DragLeave();
        return {};
    }
    const TRVDocPos at = target->Data_.DocPosOf(target->DropPos_);
    root.DragLeave();
    return target->DropHere(data, effect, at);
}

TRVDropEffects TCustomDocViewEdit::DropHere(const TClipboard& data, TRVDropEffects effect, TRVDocPos at)
{
    TCustomDocViewEdit& root = RootEditor();
    TDragSource& drag = root.Drag_;
    TCustomDocViewEdit* source = drag.Active ? drag.Editor : nullptr;
    if (root.OnOleDrop) {
        bool doDefault = true;
        root.OnOleDrop(*this, data, effect, doDefault);
        if (!doDefault) {
            drag.DroppedHere = source != nullptr;
            return effect;
        }
    }
    // Is the source this editor, or in a cell edited in it?
    bool sourceHere = false;
    for (const TCustomDocViewEdit* e = source; e; e = e->Outer_)
        sourceHere = sourceHere || e == this;
    if (!sourceHere)
        source = nullptr;
    const bool move = source && effect.Contains(rvdeMove);
    if (source == this && at >= drag.First && at <= drag.Last)
        return {};
    if (source)
        drag.DroppedHere = true;

    // A move must be able to take the selection away, or it would leave the data twice.
    if (move) {
        source->SelectDocRange(drag.First, drag.Last);
        source->UpdateCurrentStyles();
        TRVDocPos first, last;
        if (!source->AskCanEdit() ||
            (source->SelectionRange(first, last) && !source->CanCut(source->PlanCut(first, last)))) {
            Beep();
            return {};
        }
    }
    const auto placeCaret = [this](TRVDocPos pos) {
        if (CellDrag_.Valid()) {
            if (TRVTableItemInfo* table = TableAt(Data_, CellDrag_.ItemNo))
                table->Deselect();
            CellDrag_ = {};
        }
        Data_.SetCaret(Data_.DrawPosOf(pos, TRVLineBoundary::LineStart));
        Data_.CollapseSelection();
        UpdateCurrentStyles();
    };
    const auto insert = [&] {
        InsertedStart_ = InsertedEnd_ = {};
        return InsertDropData(data) && InsertedStart_.Valid();
    };

    // The data goes in first, so that a drop that cannot be inserted leaves everything as it
    // was; then a move takes the dragged selection away as part of the same undo step.
    // When the selection cannot go (protected text) the insertion is taken back, so that the
    // data is not there twice, and the answer is false; without undo records the copy stays.
    const auto deleteJoined = [this](TCustomDocViewEdit& from) {
        bool deleted = false;
        SetUndoGroupMode(true);
        try {
            from.DeleteSelected();
            deleted = !from.SelectionExists();
            if (&from != this)
                EndCellEdit();
        } catch (...) {
            SetUndoGroupMode(false);
            throw;
        }
        SetUndoGroupMode(false);
        if (!deleted && UndoLimit() != 0 && CanUndo()) {
            Undo();
            Data_.RedoList.Clear();
            return false;
        }
        return true;
    };
    if (source && source != this) {
        // From a cell edited in this editor: what was changed in the cell before is a step of its
        // own. After the insertion the cell is edited again and loses the selection, and that
        // change joins the insertion's step.
        std::vector<std::array<int, 3>> path;
        for (const TCustomDocViewEdit* e = this; e != source; e = e->CellEditor_.get())
            path.push_back({e->CellEditor_->ItemNo(), e->CellEditor_->Row(), e->CellEditor_->Col()});
        EndCellEdit();
        const int countBefore = Data_.Count();
        placeCaret(at);
        if (!insert()) {
            Beep();
            return {};
        }
        if (move) {
            // The table moved by what came in before it.
            if (at < TRVDocPos{path.front()[0], 0})
                path.front()[0] += Data_.Count() - countBefore;
            TCustomDocViewEdit* cell = this;
            for (const auto& [itemNo, row, col] : path) {
                if (!cell->EditCell(itemNo, row, col)) {
                    Beep();
                    return {rvdeCopy};
                }
                cell = cell->CellEditor_.get();
            }
            const TRVDocPos start = InsertedStart_, end = InsertedEnd_;
            cell->SelectDocRange(drag.First, drag.Last);
            cell->UpdateCurrentStyles();
            if (!deleteJoined(*cell))
                return {};
            InsertedStart_ = start;
            InsertedEnd_ = end;
        }
    } else if (move) {
        // Within this editor: the places are counted through the text, so that each change can
        // be told where the other one left things.
        const int first = LinearPosition(Data_, drag.First), last = LinearPosition(Data_, drag.Last);
        const int lengthBefore = LinearLength(Data_);
        placeCaret(at);
        if (!insert()) {
            Beep();
            return {};
        }
        int start = LinearPosition(Data_, InsertedStart_), end = LinearPosition(Data_, InsertedEnd_);
        // Before the selection, everything that came in (paragraph breaks around the new content
        // too) moves it on.
        const bool before = at < drag.First;
        const int shift = before ? LinearLength(Data_) - lengthBefore : 0;
        SelectDocRange(DocPosOfLinear(Data_, first + shift), DocPosOfLinear(Data_, last + shift));
        UpdateCurrentStyles();
        const int lengthInserted = LinearLength(Data_);
        if (!deleteJoined(*this))
            return {};
        // After the selection, the new content moves back by what went.
        if (!before) {
            const int removed = lengthInserted - LinearLength(Data_);
            start -= removed;
            end -= removed;
        }
        InsertedStart_ = DocPosOfLinear(Data_, start);
        InsertedEnd_ = DocPosOfLinear(Data_, end);
    } else {
        // A copy, or data from elsewhere: into this editor's own text, so a cell edited in it ends.
        EndCellEdit();
        placeCaret(at);
        if (!insert()) {
            Beep();
            return {};
        }
    }
    SelectAfterEdit(InsertedStart_, InsertedEnd_);
    return effect;
}

bool TCustomDocViewEdit::InsertDropData(const TClipboard& data)
{
    const TRVDragDropFormats formats = RootEditor().AcceptDragDropFormats;
    if (formats.Contains(rvddRVF) && InsertRVFFrom(data))
        return true;
    if (formats.Contains(rvddRTF) && InsertRTFFrom(data))
        return true;
    // A link comes in as link text when the application says how, else as its address.
    if (formats.Contains(rvddURL) && InsertUrlFrom(data))
        return true;
    // Files before text: file managers here offer the files' names as text too, which is not
    // what was dropped - files of other kinds are ignored.
    if (formats.Contains(rvddFiles) && data.HasFormat(TClipboardFormat::Files)) {
        const std::vector<std::filesystem::path> files = data.ReadFiles();
        bool doDefault = true;
        if (TCustomDocViewEdit& root = RootEditor(); root.OnDropFiles)
            root.OnDropFiles(*this, files, doDefault);
        if (!doDefault) {
            // The handler took the files; nothing is selected afterwards.
            InsertedStart_ = InsertedEnd_ = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{0, 0};
            return true;
        }
        return InsertFiles(files);
    }
    if ((formats.Contains(rvddText) || formats.Contains(rvddUnicodeText)) && InsertTextFrom(data))
        return true;
    return formats.Contains(rvddBitmap) && InsertPictureFrom(data);
}

} // namespace xq

// The edit step: opening, joining, committing and rolling back.
#include "editing/EditStep.h"

#include "editing/DocViewEdit.h"

namespace xq {

TRVEditStep::TRVEditStep(TCustomDocViewEdit& editor, TRVUndoType kind, std::string caption)
    : Editor_(editor), Log_(editor.Data_), Range_(editor.Data_)
{
    Open();
    if (Outer_ || kind == rvutNone || kind == rvutTyping)
        return;
    // The operation's group remembers the caret the operation starts from; Undo puts it back there.
    const TRVEditRVData& data = Editor_.Data_;
    const TRVDocPos caret = data.CaretValid() ? data.CaretDocPos() : TRVDocPos{};
    Log_.BeginUndoGroup(kind, caption, caret.ItemNo, caret.Offset);
}

TRVEditStep::TRVEditStep(TCustomDocViewEdit& editor, TRVUndoList& reverse)
    : Editor_(editor), Reverse_(&reverse), Log_(editor.Data_), Range_(editor.Data_)
{
    Open();
}

TRVEditStep::~TRVEditStep()
{
    if (!Ended_)
        RollBack();
    Detach();
}

void TRVEditStep::Open()
{
    Previous_ = Editor_.OpenStep_;
    if (Previous_) {
        Outer_ = &Previous_->Root();
        Mark_ = Outer_->Log_.Mark();
    } else {
        TRVEditRVData& data = Editor_.Data_;
        SavedRecording_ = data.Recording;
        SavedObserver_ = data.ChangeObserver();
        data.Recording = &Log_;
        data.SetChangeObserver(&Range_);
        Attached_ = true;
    }
    Editor_.OpenStep_ = this;
}

void TRVEditStep::Detach() noexcept
{
    if (Attached_) {
        TRVEditRVData& data = Editor_.Data_;
        data.Recording = SavedRecording_;
        data.SetChangeObserver(SavedObserver_);
        Attached_ = false;
    }
    if (Editor_.OpenStep_ == this)
        Editor_.OpenStep_ = Previous_;
}

bool TRVEditStep::Changed() const noexcept
{
    return Root().Range_.Changed();
}

TRVUndoList& TRVEditStep::Log() noexcept
{
    return Root().Log_;
}

TRVDocPos TRVEditStep::JoinedCaret() const noexcept
{
    return JoinedCaret_;
}

void TRVEditStep::TouchAll()
{
    Root().Range_.TouchAll();
}

// ---------------------------------------------------------------------------------------------
// Ending

void TRVEditStep::RollBack()
{
    Ended_ = true;
    if (Outer_) {
        // The outer step goes on; its range keeps what the reversal touched.
        Outer_->Log_.RollBack(Mark_);
        return;
    }
    // The layout still shows the document as it was; the reversal restores exactly that.
    Detach();
    Log_.RollBack({});
}

void TRVEditStep::Refuse()
{
    if (!Ended_)
        RollBack();
    Detach();
    Editor_.Beep();
}

void TRVEditStep::Commit(TRVDocPos caret, TRVLineBoundary boundary)
{
    TCaretRequest request;
    request.Caret = caret;
    request.Boundary = boundary;
    Finish(request);
}

void TRVEditStep::Commit(TRVDocPos caret, TRVLineBoundary boundary, const std::function<void()>& afterCaret)
{
    TCaretRequest request;
    request.Caret = caret;
    request.Boundary = boundary;
    request.AfterCaret = &afterCaret;
    Finish(request);
}

void TRVEditStep::CommitSelection(TRVDocPos anchor, TRVDocPos moving, TRVLineBoundary boundary)
{
    TCaretRequest request;
    request.Placement = TPlacement::Selection;
    request.Caret = moving;
    request.Boundary = boundary;
    request.Anchor = anchor;
    Finish(request);
}

void TRVEditStep::CommitRestoring(TRVDocPos caret, const TRVEditPositions& kept)
{
    TCaretRequest request;
    request.Placement = TPlacement::Restore;
    request.Caret = caret;
    request.Kept = &kept;
    Finish(request);
}

void TRVEditStep::CommitInPlace()
{
    TCaretRequest request;
    request.Placement = TPlacement::InPlace;
    Finish(request);
}

void TRVEditStep::Finish(const TCaretRequest& request)
{
    Ended_ = true;
    if (Outer_) {
        Outer_->JoinedCaret_ = request.Caret;
        Detach();
        return;
    }
    Detach();
    if (!Range_.Changed()) {
        // Nothing to lay out, to tell or to undo.
        Log_.Clear();
        return;
    }
    TRVEditRVData& data = Editor_.Data_;
    // Handing the records over is the point of no return.
    if (Reverse_)
        Reverse_->Append(Log_, TRVGroupJoin::Own);
    else
        SavedRecording_->Append(Log_, TRVGroupJoin::AsRecorded);
    const TRVDocumentChange change = Range_.Change();
    if (Reverse_) {
        // Words of the items Undo or Redo brought back are checked again.
        for (int i = change.First; i < change.First + change.Added; ++i) {
            TCustomRVItemInfo& item = data.ItemAt(i);
            item.State &= std::uint8_t(~1u);
            item.Misspellings.reset();
        }
    }
    PlaceCaret(request);
    if (data.OnEditRange)
        data.OnEditRange(data, change.First, change.Removed, change.Added);
    Editor_.NotifyChanged(Reverse_ == nullptr);
}

void TRVEditStep::PlaceCaret(const TCaretRequest& request)
{
    TRVEditRVData& data = Editor_.Data_;
    if (request.Placement == TPlacement::InPlace) {
        if (!Range_.NeedsLayout())
            return;
        const TRVEditPositions kept = data.SavePositions();
        Range_.LayOut();
        data.RestorePositions(kept);
        return;
    }
    const TCustomDocViewEdit::TSelectionState before = Editor_.SelectionState();
    Range_.LayOut();
    Editor_.PlaceCaretAfterEdit(request.Caret, request.Boundary, before);
    if (request.Placement == TPlacement::Selection)
        Editor_.SelectAfterEdit(request.Anchor, request.Caret);
    else if (request.Placement == TPlacement::Restore)
        data.RestorePositions(*request.Kept);
    if (request.AfterCaret && *request.AfterCaret)
        (*request.AfterCaret)();
}

} // namespace xq

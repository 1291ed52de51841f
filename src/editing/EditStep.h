// TRVEditStep: one edit of the editor, from its first change to its last, as one unit. While it is
// open the changes are recorded into a log of the step's own and the document's change channel
// widens the touched range; Commit lays out what changed once, puts the caret, tells the listeners
// once and hands the records to the undo list as one group. A step that ends without Commit -
// refused halfway, or left by an exception - takes its changes back through its log, whatever the
// undo limit, and leaves the layout, the caret and the undo lists as they were.
#pragma once

#include <functional>
#include <string>

#include "editing/EditTypes.h"
#include "editing/TouchedRange.h"
#include "editing/Undo.h"

namespace xq {

class TCustomDocViewEdit;
struct TRVEditPositions;

/// Every operation of the editor opens one:
///
///     TRVEditStep step(*this, rvutDelete);
///     if (!allowed)
///         return step.Refuse();  // beeps; what changed so far is taken back
///     ... Rec* changes ...
///     step.Commit(caret);
///
/// A step opened while another step of the same editor is open joins it: its changes go into the
/// outer step's log and range, its Commit only tells the caret it would have put (JoinedCaret),
/// and when it ends uncommitted only its own changes are taken back. One layout, one notification
/// and one undo group are the outer step's.
class TRVEditStep {
public:
    /// The step of an operation, whose undo group is of kind with caption. With rvutTyping the
    /// typed characters make their group themselves, so that they join the run typed before.
    TRVEditStep(TCustomDocViewEdit& editor, TRVUndoType kind, std::string caption = {});
    /// The step of Undo or Redo: the reversal that the group being reversed writes into Log()
    /// becomes a group of its own in reverse.
    TRVEditStep(TCustomDocViewEdit& editor, TRVUndoList& reverse);
    ~TRVEditStep();
    TRVEditStep(const TRVEditStep&) = delete;
    TRVEditStep& operator=(const TRVEditStep&) = delete;

    /// The document changed since the step opened.
    [[nodiscard]] bool Changed() const noexcept;
    /// Where the records go while the step is open (the reversal of Undo and Redo too).
    [[nodiscard]] TRVUndoList& Log() noexcept;
    /// The caret the last step that joined this one committed with; invalid when none did.
    [[nodiscard]] TRVDocPos JoinedCaret() const noexcept;
    /// Counts the whole document as changed and laid out anew.
    void TouchAll();

    /// Ends the step with the caret at caret, the selection collapsed there.
    void Commit(TRVDocPos caret, TRVLineBoundary boundary = TRVLineBoundary::LineStart);
    /// The same, and afterCaret runs once the caret is placed, before the editor tells of the
    /// change (an insertion gives back the text style it started with).
    void Commit(TRVDocPos caret, TRVLineBoundary boundary, const std::function<void()>& afterCaret);
    /// Ends the step with the caret at moving (on the side of its line boundary) and the
    /// selection from anchor to it.
    void CommitSelection(TRVDocPos anchor, TRVDocPos moving, TRVLineBoundary boundary);
    /// Ends the step with the caret at caret, then puts caret and selection back where kept has
    /// them, numbered as before the step (for changes that keep the number of items).
    void CommitRestoring(TRVDocPos caret, const TRVEditPositions& kept);
    /// Ends the step leaving the caret and the selection where they are (a change that keeps the
    /// number of items).
    void CommitInPlace();
    /// Ends the step refused: what it changed is taken back, and the editor beeps.
    void Refuse();

private:
    enum class TPlacement : std::uint8_t { Caret, Selection, Restore, InPlace };
    struct TCaretRequest {
        TPlacement Placement = TPlacement::Caret;
        TRVDocPos Caret;
        TRVLineBoundary Boundary = TRVLineBoundary::LineStart;
        TRVDocPos Anchor;
        const TRVEditPositions* Kept = nullptr;
        const std::function<void()>* AfterCaret = nullptr;
    };

    /// The outermost step that is open.
    [[nodiscard]] TRVEditStep& Root() noexcept { return Outer_ ? *Outer_ : *this; }
    [[nodiscard]] const TRVEditStep& Root() const noexcept { return Outer_ ? *Outer_ : *this; }
    void Open();
    /// Records and observer back to the editor's own.
    void Detach() noexcept;
    /// Takes back what the step changed.
    void RollBack();
    void Finish(const TCaretRequest& request);
    void PlaceCaret(const TCaretRequest& request);

    TCustomDocViewEdit& Editor_;
    /// The step this one joined (null: this is the outermost).
    TRVEditStep* Outer_ = nullptr;
    /// The step open before this one, the editor's open step again when this one ends.
    TRVEditStep* Previous_ = nullptr;
    /// Undo and Redo: where the reversal goes.
    TRVUndoList* Reverse_ = nullptr;
    TRVUndoList Log_;
    TRVTouchedRange Range_;
    /// A joined step: where the outer log stood when it opened.
    TRVUndoMark Mark_;
    TRVUndoList* SavedRecording_ = nullptr;
    TRVChangeObserver* SavedObserver_ = nullptr;
    TRVDocPos JoinedCaret_;
    bool Attached_ = false;
    bool Ended_ = false;
};

} // namespace xq

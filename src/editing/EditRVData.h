// TRVEditRVData: the editable container - a formatted container that holds a caret on its
// layout and a selection with an anchor, converts between document and layout positions, hit
// tests points and finds the places the caret moves to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "editing/CharPos.h"
#include "editing/EditTypes.h"
#include "editing/Undo.h"
#include "layout/FormattedData.h"

namespace xq {

/// The caret and the selection as document positions, to survive a new layout.
struct TRVEditPositions {
    TRVDocPos Caret;
    TRVLineBoundary CaretBoundary = TRVLineBoundary::LineStart;
    TRVDocPos Anchor;
    TRVLineBoundary AnchorBoundary = TRVLineBoundary::LineStart;
};

/// The caret stands on one caret stop of the line it is on (CharEnds); the stops of that line are
/// kept while the caret stays on it. The selection is kept in the fields painting reads
/// (SelStartNo.. SelEndOffs, offsets counted in the draw item): SelStart is the anchor, where the
/// selection began, and SelEnd the end that moves with the caret.
/// invariant: while the caret is valid, SelEndNo/SelEndOffs is the caret's stop, and an empty
/// selection has its anchor there too.
///
/// The container only answers and records; the editor control decides what a key or a click
/// does, and after every layout it puts the positions back (SavePositions, RestorePositions).
class TRVEditRVData : public TCustomRVFormattedData {
public:
    explicit TRVEditRVData(TRVStyle* sheet = nullptr) noexcept : TCustomRVFormattedData(sheet) {}

    // --- Undo ------------------------------------------------------------------------------------------
    TRVUndoList UndoList{*this};
    TRVRedoList RedoList{*this};
    /// Where edits record now: the undo list, or the log of the edit step that is open.
    TRVUndoList* Recording = &UndoList;
    /// Told once per committed edit which items it changed: from item first on, removed items
    /// of the document before became added items (whole paragraphs, with the paragraphs next to
    /// the change when it joined or split them). After the layout, before OnChange.
    std::function<void(TRVEditRVData& sender, int first, int removed, int added)> OnEditRange;

    // --- Positions -------------------------------------------------------------------------------
    [[nodiscard]] TRVDocPos DocPosOf(TRVDrawPos pos) const;
    /// The draw position of a document position; where it has two (a line wrapped inside an item
    /// without a space), boundary picks one. A place inside a space consumed by a wrap becomes
    /// the start of the line after it.
    [[nodiscard]] TRVDrawPos DrawPosOf(TRVDocPos pos, TRVLineBoundary boundary = TRVLineBoundary::LineStart) const;
    /// a and b stand for the same place in the text: equal, or the end of an item and the start
    /// of a later one of the same line of the paragraph with only empty text items between.
    [[nodiscard]] bool SamePlace(TRVDocPos a, TRVDocPos b) const;
    /// Offsets as the selection fields count them (from the draw item's first character) and back.
    [[nodiscard]] int SelOffsOf(TRVDrawPos pos) const;
    [[nodiscard]] int ItemOffsOf(int drawItemNo, int selOffs) const;

    // --- Lines and caret stops ------------------------------------------------------------------------
    /// The caret stops of the line that holds draw item drawItemNo.
    void GetCaretStops(int drawItemNo, TRVCharPosCollection& out);
    /// The caret stop standing for pos on pos's line: pos itself, the neighbour's stop that owns
    /// a boundary, or the nearest stop of pos's draw item.
    [[nodiscard]] TRVDrawPos StopOf(TRVDrawPos pos);
    /// The x of the caret at the stop of pos.
    [[nodiscard]] std::int32_t CaretXOf(TRVDrawPos pos);
    /// The smallest Top of the pieces of the line that holds draw item drawItemNo.
    [[nodiscard]] std::int32_t LineTopOf(int drawItemNo) const;
    /// The first draw item of the last line whose top is at or above y (the first line when y is
    /// above it); -1 without layout.
    [[nodiscard]] int LineAtY(std::int32_t y) const;
    [[nodiscard]] TRVDrawPos LineStartOf(int drawItemNo);
    [[nodiscard]] TRVDrawPos LineEndOf(int drawItemNo);
    /// The document's first and last caret stops.
    [[nodiscard]] TRVDrawPos FirstStop();
    [[nodiscard]] TRVDrawPos LastStop();

    // --- Hit testing -------------------------------------------------------------------------------
    /// The position under a point (document coordinates): on the line under y, in the draw item
    /// under x (the first or the last one of the line beside it), the character boundary nearest
    /// to x (the left one of two equally near), or before or after an object by its middle.
    /// Below the document: its end. Not yet a caret stop (StopOf makes one).
    [[nodiscard]] TRVDrawPos HitTest(std::int32_t x, std::int32_t y);
    /// The same on the line that holds draw item lineDrawItemNo.
    [[nodiscard]] TRVDrawPos HitTestLine(int lineDrawItemNo, std::int32_t x);

    // --- Caret ---------------------------------------------------------------------------------------
    /// The caret stands on a stop (false before the first layout and in an empty container).
    [[nodiscard]] bool CaretValid() const noexcept { return CaretStop_ >= 0 && CaretStop_ < CharEnds_.Count(); }
    [[nodiscard]] const TRVCharPosCollection& CharEnds() const noexcept { return CharEnds_; }
    [[nodiscard]] int CaretStop() const noexcept { return CaretStop_; }
    [[nodiscard]] TRVDrawPos CaretPos() const;
    [[nodiscard]] int CaretDrawItemNo() const { return CaretPos().DrawItemNo; }
    [[nodiscard]] int CaretOffs() const { return CaretPos().Offset; }
    [[nodiscard]] TRVDocPos CaretDocPos() const { return DocPosOf(CaretPos()); }
    [[nodiscard]] int CaretItemNo() const { return CaretDocPos().ItemNo; }
    /// Puts the caret on the stop of pos; the selection is not touched.
    void SetCaret(TRVDrawPos pos);
    /// Puts the caret on stop index of its line.
    void SetCaretStop(int index);
    /// The caret to the document start with an empty selection there (nowhere without layout).
    void ResetCaret();
    /// Throws "Invalid caret position..." after putting the caret at the document start, when
    /// the caret's stop is not one of its line's (its line was laid out anew and not restored).
    void CheckCaret();
    /// The caret bar: the height of the caret's draw item + 2, at most MaxCaretHeight.
    [[nodiscard]] TRVCaretRect CaretRect() const;
    /// The bar the caret would be at the stop of pos (the drop caret); empty when pos is no place
    /// of the layout.
    [[nodiscard]] TRVCaretRect StopRect(TRVDrawPos pos);

    // --- Selection -------------------------------------------------------------------------------------
    /// Selects from anchor to end (each made a caret stop); the caret goes to end.
    void SetSelectionBounds(TRVDrawPos anchor, TRVDrawPos end);
    /// An empty selection at the caret.
    void CollapseSelection();
    [[nodiscard]] TRVDrawPos SelectionAnchor() const;
    [[nodiscard]] TRVDrawPos SelectionEnd() const;
    /// Something is selected: the anchor and the end are different places.
    [[nodiscard]] bool SelectionExists() const;
    /// The selection as ordered document positions; false when nothing is selected.
    bool GetOrderedSelectionDoc(TRVDocPos& first, TRVDocPos& last) const;
    /// pos lies within the selection (its ends included).
    [[nodiscard]] bool InSelection(TRVDrawPos pos) const;

    // --- Keeping positions over a new layout -------------------------------------------------------------
    [[nodiscard]] TRVEditPositions SavePositions() const;
    /// Places caret and selection after FormatAll or ReformatRange (positions past the end are
    /// cut to it).
    void RestorePositions(const TRVEditPositions& positions);

    // --- Words and paragraphs -----------------------------------------------------------------------------
    /// Whether character index (1-based) of a text item is one of delimiters: the byte itself in
    /// 8-bit text; in Unicode text only characters up to U+00FF, taken as that byte.
    [[nodiscard]] bool IsDelimiterAt(int itemNo, int index, const std::string& delimiters) const;
    /// The word around pos inside its text item: from after the nearest delimiter before pos (or
    /// the item's start) to the nearest delimiter at or after pos (or the item's end). False for
    /// a position in a non-text item.
    bool GetWordAt(TRVDocPos pos, const std::string& delimiters, TRVDocPos& start, TRVDocPos& end) const;
    /// Where Ctrl+Left goes from pos: back to where a delimiter is followed by a non-delimiter or
    /// a non-delimiter by a delimiter other than the space, inside the item; from an item's start
    /// into the item before. False at the document start.
    bool WordLeftOf(TRVDocPos pos, const std::string& delimiters, TRVDocPos& to) const;
    /// Where Ctrl+Right goes: forward in the same way, stopping also after a run of spaces.
    bool WordRightOf(TRVDocPos pos, const std::string& delimiters, TRVDocPos& to) const;
    /// The first place of the paragraph of itemNo (after its list marker) and its last place.
    [[nodiscard]] TRVDocPos ParagraphStart(int itemNo) const;
    [[nodiscard]] TRVDocPos ParagraphEnd(int itemNo) const;
    [[nodiscard]] int ParagraphFirstItem(int itemNo) const;
    [[nodiscard]] int ParagraphLastItem(int itemNo) const;

    // --- Moves -------------------------------------------------------------------------------------------
    /// One stop left or right of from, continuing on the line before or after (skipping the stop
    /// that is the same place as from); false at the document's ends.
    bool StopLeft(TRVDrawPos from, TRVDrawPos& to);
    bool StopRight(TRVDrawPos from, TRVDrawPos& to);
    /// The stop of the line above or below from's at x; false on the first or last line.
    bool LineUp(TRVDrawPos from, std::int32_t x, TRVDrawPos& to);
    bool LineDown(TRVDrawPos from, std::int32_t x, TRVDrawPos& to);

private:
    /// The stops of the line of drawItemNo: the caret's when it is on that line.
    const TRVCharPosCollection& StopsOfLine(int drawItemNo, TRVCharPosCollection& scratch);
    [[nodiscard]] int StopIndexIn(const TRVCharPosCollection& stops, TRVDrawPos pos) const;
    [[nodiscard]] bool WordBoundaryAt(int itemNo, int offset, const std::string& delimiters, bool forward) const;
    [[nodiscard]] char16_t CharAt(int itemNo, int index) const;

    TRVCharPosCollection CharEnds_;
    int CaretLineFirst_ = -1;
    int CaretStop_ = -1;
};

} // namespace xq

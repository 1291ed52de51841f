// Deleting the selection: it is cut down to whole and partial items, the protections are asked
// before anything goes, and what the cut leaves apart is joined again - the paragraph flags
// around the cut, the paragraph style of the joined paragraph, and the neighbours the merge rule
// joins. Operations that replace the selection delete it first inside their own step.
#include <algorithm>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/EditStep.h"
#include "editing/TableEditing.h"
#include "editing/TableInplaceEdit.h"

namespace xq {

namespace {

constexpr std::uint8_t ParaFlags = TCustomRVItemInfo::rvioParagraphFlags;

} // namespace

// ---------------------------------------------------------------------------------------------
// Planning the cut

bool TCustomDocViewEdit::SelectionRange(TRVDocPos& first, TRVDocPos& last) const
{
    if (!Data_.GetOrderedSelectionDoc(first, last))
        return false;
    // A place on a list marker is the start of its paragraph's text.
    const auto offMarker = [&](TRVDocPos& p) {
        if (Data_.ItemAt(p.ItemNo).IsListMarker() && p.Offset == 1 && p.ItemNo + 1 < Data_.Count())
            p = {p.ItemNo + 1, Data_.OffsetBefore(p.ItemNo + 1)};
    };
    offMarker(first);
    offMarker(last);
    const auto insideLine = [&](int itemNo) {
        return itemNo > 0 && Data_.ItemAt(itemNo).ContinuesPara() && !Data_.ItemAt(itemNo - 1).IsListMarker();
    };
    // The start of an item inside a line is the end of the item before it.
    if (first.Offset == Data_.OffsetBefore(first.ItemNo) && insideLine(first.ItemNo) && !IsEmptyText(first.ItemNo))
        first = {first.ItemNo - 1, Data_.OffsetAfter(first.ItemNo - 1)};
    if (last.ItemNo > first.ItemNo && last.Offset == Data_.OffsetBefore(last.ItemNo) && insideLine(last.ItemNo) &&
        !IsEmptyText(last.ItemNo))
        last = {last.ItemNo - 1, Data_.OffsetAfter(last.ItemNo - 1)};
    // Full-line items and list markers always start a paragraph: the paragraph break before one
    // the selection ends at, and the one after a full-line item it starts at, stay.
    if (last.ItemNo > first.ItemNo && last.Offset == Data_.OffsetBefore(last.ItemNo) && !IsEmptyText(last.ItemNo) &&
        (Data_.ItemAt(last.ItemNo).IsFullLine() || Data_.ItemAt(last.ItemNo).IsListMarker()))
        last = {last.ItemNo - 1, Data_.OffsetAfter(last.ItemNo - 1)};
    if (first.ItemNo < last.ItemNo && first.Offset == Data_.OffsetAfter(first.ItemNo) &&
        Data_.ItemAt(first.ItemNo).IsFullLine())
        first = {first.ItemNo + 1, Data_.OffsetBefore(first.ItemNo + 1)};
    return first.ItemNo < last.ItemNo || (first.ItemNo == last.ItemNo && first.Offset < last.Offset);
}

TCustomDocViewEdit::TRangeCut TCustomDocViewEdit::PlanCut(TRVDocPos first, TRVDocPos last) const
{
    TRangeCut cut;
    cut.First = first;
    cut.Last = last;
    const int fi = first.ItemNo, li = last.ItemNo;
    cut.FirstWhole = first.Offset == Data_.OffsetBefore(fi) && (fi < li || last.Offset == Data_.OffsetAfter(fi));
    cut.LastWhole = last.Offset == Data_.OffsetAfter(li) && (fi < li || cut.FirstWhole);
    cut.LeftExists = !cut.FirstWhole || !Data_.StartsParagraph(fi);
    cut.RestFirst = cut.LastWhole ? li + 1 : li;
    cut.RestExists = cut.RestFirst < Data_.Count() && (cut.RestFirst == li ? !cut.LastWhole : !Data_.StartsParagraph(li + 1));
    if (cut.RestFirst == li && cut.LastWhole)
        cut.RestExists = false;
    for (int k = fi + 1; k <= std::min(cut.RestFirst, Data_.Count() - 1); ++k)
        if (Data_.StartsParagraph(k))
            cut.RestSeparate = true;
    // Only a list marker left before the cut, and nothing after it: an empty item stays with it.
    cut.NeedsEmpty = !cut.RestExists &&
                     (!cut.LeftExists || (cut.FirstWhole && fi > 0 && Data_.ItemAt(fi - 1).IsListMarker() &&
                                          Data_.ItemAt(fi).ContinuesPara()));
    return cut;
}

bool TCustomDocViewEdit::ItemWhollyCut(const TRangeCut& cut, int itemNo) const
{
    if (itemNo == cut.First.ItemNo)
        return cut.FirstWhole;
    if (itemNo == cut.Last.ItemNo)
        return cut.LastWhole;
    return itemNo > cut.First.ItemNo && itemNo < cut.Last.ItemNo;
}

bool TCustomDocViewEdit::CutJoinsProtected(const TRangeCut& cut) const
{
    // The rest of the last paragraph joins the first: protections of paragraph starts and
    // persistent checkpoints keep it apart.
    const int restStart = cut.RestFirst;
    if (Data_.StartsParagraph(restStart) && restStart == cut.Last.ItemNo && StyleHas(restStart, rvprParaStartProtect))
        return true;
    for (int i = restStart; i <= LastItemOfParagraph(restStart); ++i)
        if (HasPersistentCP(i))
            return true;
    return false;
}

bool TCustomDocViewEdit::CanCut(const TRangeCut& cut) const
{
    const int fi = cut.First.ItemNo, li = cut.Last.ItemNo;
    int persistent = 0;
    for (int i = fi; i <= li; ++i) {
        if (ItemWhollyCut(cut, i)) {
            if (DeleteProtected(i))
                return false;
            persistent += HasPersistentCP(i);
            continue;
        }
        // Characters cut from text that cannot change.
        const bool partFirst = i == fi && cut.First.Offset < Data_.OffsetAfter(i);
        const bool partLast = i == li && cut.Last.Offset > Data_.OffsetBefore(i);
        if (Data_.ItemAt(i).IsText() && (partFirst || partLast) && StyleHas(i, rvprModifyProtect))
            return false;
    }
    const TRVStyle* sheet = GetRVStyle();
    if (CurrentParaStyle() >= 0 && CurrentParaStyle() < sheet->ParaStyles.Count() &&
        sheet->ParaStyles[CurrentParaStyle()].Options.Contains(rvpaoReadOnly))
        return false;
    // A read-only paragraph may only go whole.
    const bool joins = cut.RestExists && cut.RestSeparate && (cut.LeftExists || !Data_.StartsParagraph(cut.RestFirst));
    for (int p = Data_.ParagraphFirstItem(fi); p <= li; p = LastItemOfParagraph(p) + 1) {
        if (!ParaReadOnly(p))
            continue;
        const int end = LastItemOfParagraph(p);
        const bool whole = p >= fi && ItemWhollyCut(cut, p) && end <= li && ItemWhollyCut(cut, end);
        if (whole)
            continue;
        // The first paragraph untouched: the selection starts at its very end and nothing joins it.
        const bool untouched = p <= fi && end == fi && !cut.FirstWhole && cut.First.Offset == Data_.OffsetAfter(fi) && !joins;
        if (!untouched)
            return false;
    }
    if (joins && CutJoinsProtected(cut))
        return false;
    // Persistent checkpoints of removed items go to the items at the cut.
    if (persistent > 0) {
        int takers = cut.NeedsEmpty ? 1 : 0;
        if (cut.RestExists && !Data_.ItemAt(cut.RestFirst).Checkpoint())
            ++takers;
        const int left = cut.FirstWhole ? fi - 1 : fi;
        if (cut.LeftExists && left >= 0 && !Data_.ItemAt(left).Checkpoint())
            ++takers;
        if (persistent > takers)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Cutting

TRVDocPos TCustomDocViewEdit::RecCut(const TRangeCut& cut)
{
    // What the cut's first item and the rest after it were like, before anything goes.
    const TCustomRVItemInfo& first = Data_.ItemAt(cut.First.ItemNo);
    const std::uint8_t firstOptions = first.ItemOptions();
    const int firstPara = Data_.ParaOf(cut.First.ItemNo);
    const bool restHadNewLine =
        cut.RestExists && cut.RestFirst != cut.Last.ItemNo && Data_.ItemAt(cut.RestFirst).NewLine();
    const TCutEdges edges = RecCutItems(cut);
    return RecCloseCut(cut, edges, firstOptions, firstPara, restHadNewLine);
}

TCustomDocViewEdit::TCutEdges TCustomDocViewEdit::RecCutItems(const TRangeCut& cut)
{
    const int fi = cut.First.ItemNo, li = cut.Last.ItemNo;
    TCutEdges edges;
    // The empty item that keeps an emptied paragraph goes in first, so that it can take checkpoints.
    if (cut.NeedsEmpty) {
        const int style = CurrentTextStyle();
        std::unique_ptr<TCustomRVItemInfo> empty;
        NewTextItem(style, Data_.ParaOf(fi), empty);
        empty->SetItemOptions(std::uint8_t((Data_.ItemAt(fi).ItemOptions() & ParaFlags) | (empty->ItemOptions() & ~ParaFlags)));
        if (Data_.ActualStyleOf(li) == style && Data_.ItemAt(li).IsText())
            empty->Tag = Data_.ItemAt(li).Tag;
        RecInsertItem(li + 1, {}, std::move(empty));
        edges.Empty = li + 1;
    }
    edges.Rest = cut.RestExists ? cut.RestFirst : -1;
    edges.Left = cut.LeftExists ? (cut.FirstWhole ? fi - 1 : fi) : -1;
    const auto takeCheckpoint = [&](int from) {
        for (const int to : {edges.Empty, edges.Rest, edges.Left})
            if (to >= 0 && to != from && !Data_.ItemAt(to).Checkpoint()) {
                RecMoveCheckpoint(from, to);
                return;
            }
    };
    for (int i = li; i >= fi; --i) {
        if (ItemWhollyCut(cut, i)) {
            if (HasPersistentCP(i))
                takeCheckpoint(i);
            RecDeleteItem(i);
            if (edges.Rest > i)
                --edges.Rest;
            if (edges.Empty > i)
                --edges.Empty;
            continue;
        }
        if (!Data_.ItemAt(i).IsText())
            continue;
        const int from = i == fi ? cut.First.Offset : 1;
        const int to = i == li ? cut.Last.Offset : Data_.OffsetAfter(i);
        if (to > from)
            RecDeleteText(i, from, to - from);
    }
    return edges;
}

TRVDocPos TCustomDocViewEdit::RecCloseCut(const TRangeCut& cut, const TCutEdges& edges, std::uint8_t firstOptions,
                                          int firstPara, bool restHadNewLine)
{
    const int fi = cut.First.ItemNo, li = cut.Last.ItemNo;
    const int left = edges.Left, restAt = edges.Rest;
    TRVDocPos caret;
    if (edges.Empty >= 0) {
        caret = {edges.Empty, 1};
    } else if (restAt >= 0 && restAt == left) {
        caret = cut.First; // characters cut from inside one item
    } else if (restAt >= 0 && left >= 0) {
        const bool breakCut = cut.RestSeparate || (cut.RestFirst == li && li > fi && !Data_.ItemAt(restAt).ContinuesPara());
        const bool firstStartedLine = cut.FirstWhole && (firstOptions & TCustomRVItemInfo::rvioNewLine);
        const bool afterMarker = Data_.ItemAt(left).IsListMarker();
        if (breakCut || firstStartedLine || afterMarker) {
            // The rest continues the line before the cut, or starts the line the first item
            // started; a list marker's text never starts a line.
            const bool newLine = !afterMarker && (firstStartedLine || restHadNewLine);
            RecSetFlags(restAt, newLine ? TCustomRVItemInfo::rvioNewLine : TCustomRVItemInfo::rvioContinuesPara,
                        Data_.ParaOf(left));
        }
        caret = {left, Data_.OffsetAfter(left)};
    } else if (restAt >= 0) {
        // Nothing is left before the cut: the rest starts the paragraph, unless it starts one already.
        if (!Data_.StartsParagraph(restAt))
            RecSetFlags(restAt, firstOptions, firstPara);
        caret = {restAt, Data_.OffsetBefore(restAt)};
    } else {
        caret = {left, Data_.OffsetAfter(left)};
    }
    // The joined paragraph takes the paragraph style of its first item.
    RecUnifyParagraphStyle(caret.ItemNo);
    // The two items that meet at the cut become one when the merge rule allows.
    if (left >= 0 && restAt >= 0 && restAt == left + 1 && !Data_.StartsLine(restAt) && CanMerge(left, restAt, false)) {
        const bool leftEmpty = IsEmptyText(left);
        RecMerge(left, restAt);
        if (leftEmpty)
            caret = {left, 1};
    }
    return caret;
}

// ---------------------------------------------------------------------------------------------
// The operations

void TCustomDocViewEdit::DeleteSelected()
{
    if (CellEditor_) {
        CellEditor_->DeleteSelected();
        return;
    }
    const bool cells = SelectedCellTable() != nullptr;
    if (!Data_.Formatted() || (!SelectionExists() && !cells))
        return;
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    // Selected cells are emptied, not the table behind them deleted.
    if (cells) {
        ModifyTable(CellDrag_.ItemNo, [](TRVTableChanges& t) { return t.ClearSelectedCells(); });
        return;
    }
    TRVDocPos first, last;
    if (!SelectionRange(first, last)) {
        // Nothing but a place between two items is selected.
        const TSelectionState before = SelectionState();
        Data_.CollapseSelection();
        CaretMoved(false, before);
        return;
    }
    const TRangeCut cut = PlanCut(first, last);
    if (!CanCut(cut)) {
        Beep();
        return;
    }
    TRVEditStep step(*this, rvutDelete);
    step.Commit(RecCut(cut));
}

TCustomDocViewEdit::TSelectionCut TCustomDocViewEdit::DeleteSelectionFirst(TRVDocPos& caret)
{
    TRVDocPos first, last;
    if (!SelectionExists() || !SelectionRange(first, last))
        return TSelectionCut::None;
    const TRangeCut cut = PlanCut(first, last);
    if (!CanCut(cut))
        return TSelectionCut::Refused;
    caret = RecCut(cut);
    return TSelectionCut::Cut;
}

} // namespace xq

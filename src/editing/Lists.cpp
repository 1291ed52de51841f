// Making paragraphs list paragraphs and taking them out of their lists: a list marker is put at
// (or taken from) the start of every paragraph the selection touches, and the lists whose counters
// that changes are numbered again. Tables, lines and read-only paragraphs stay as they are.
#include <set>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"

namespace xq {

namespace {

constexpr std::uint8_t ParaFlags = TCustomRVItemInfo::rvioParagraphFlags;

void ShiftAfterInsert(TRVDocPos& p, int index)
{
    if (p.ItemNo >= index)
        ++p.ItemNo;
}

void ShiftAfterDelete(TRVDocPos& p, int index)
{
    if (p.ItemNo > index)
        --p.ItemNo;
}

} // namespace

void TCustomDocViewEdit::ApplyList(int listNo, int level, int startFrom, bool useStartFrom)
{
    if (CellEditor_) {
        CellEditor_->ApplyList(listNo, level, startFrom, useStartFrom);
        return;
    }
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || listNo < 0 || listNo >= sheet->ListStyles.Count())
        return;
    ChangeLists({true, listNo, level, startFrom, useStartFrom});
}

void TCustomDocViewEdit::RemoveLists()
{
    if (CellEditor_) {
        CellEditor_->RemoveLists();
        return;
    }
    ChangeLists({false, -1, 0, 1, false});
}

void TCustomDocViewEdit::ChangeLists(const TListChange& change)
{
    if (!BeginEdit())
        return;
    const TRVStyle& sheet = *GetRVStyle();
    TEditSelection sel = EditSelection();
    const int firstItem = Data_.ParagraphFirstItem(sel.First.ItemNo);
    const int lastItem = LastItemOfParagraph(sel.Last.ItemNo);
    std::vector<int> starts;
    for (int i = firstItem; i <= lastItem; ++i)
        if (i == firstItem || Data_.StartsParagraph(i))
            starts.push_back(i);
    const auto eligible = [this](int start) { return !Data_.ItemAt(start).IsFullLine() && !ParaReadOnly(start); };
    // The first paragraph that changes restarts the numbering when asked.
    int resetAt = -1;
    for (int start : starts)
        if (eligible(start)) {
            resetAt = start;
            break;
        }
    TRVEditStep step(*this, rvutList);
    std::set<int> renumber;
    if (change.Apply)
        renumber.insert(change.ListNo);
    bool changed = false;
    // From the last paragraph back, so that a marker put in or taken out never moves the
    // paragraphs still to come.
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const int start = *it;
        if (!eligible(start))
            continue;
        const TCustomRVItemInfo& head = Data_.ItemAt(start);
        if (const auto* old = head.IsListMarker() ? static_cast<const TRVMarkerItemInfo*>(&head) : nullptr;
            old && old->ListNo >= 0 && old->ListNo < sheet.ListStyles.Count() && sheet.ListStyles[old->ListNo].HasNumbering())
            renumber.insert(old->ListNo);
        const bool done = change.Apply ? RecApplyListAt(start, change, change.UseStartFrom && start == resetAt, sel)
                                       : RecRemoveListAt(start, sel);
        changed = done || changed;
    }
    if (!changed)
        return;
    // Markers after these paragraphs that now show other numbers are laid out with them.
    const int fromMarker = MarkersBeforeItem(Data_, firstItem);
    for (int list : renumber)
        RenumberListFrom(Data_, list, fromMarker);
    CommitKeepingSelection(step, sel);
}

bool TCustomDocViewEdit::RecRemoveListAt(int start, TEditSelection& sel)
{
    // The text after the marker takes over the paragraph start, and a checkpoint the marker held
    // when it has none (a persistent one must find a place, or the marker stays).
    const TCustomRVItemInfo& head = Data_.ItemAt(start);
    const auto* old = head.IsListMarker() ? static_cast<const TRVMarkerItemInfo*>(&head) : nullptr;
    if (!old || old->DeleteProtect || start + 1 >= Data_.Count())
        return false;
    const int text = start + 1;
    if (HasPersistentCP(start) && Data_.ItemAt(text).Checkpoint())
        return false;
    if (old->Checkpoint() && !Data_.ItemAt(text).Checkpoint())
        RecMoveCheckpoint(start, text);
    RecSetFlags(text, std::uint8_t(old->ItemOptions() & ParaFlags), Data_.ParaOf(text));
    RecDeleteItem(start);
    ShiftAfterDelete(sel.First, start);
    ShiftAfterDelete(sel.Last, start);
    return true;
}

bool TCustomDocViewEdit::RecApplyListAt(int start, const TListChange& change, bool reset, TEditSelection& sel)
{
    const TCustomRVItemInfo& head = Data_.ItemAt(start);
    const auto* old = head.IsListMarker() ? static_cast<const TRVMarkerItemInfo*>(&head) : nullptr;
    const int markerLevel = change.Level >= 0 ? change.Level : old ? old->Level : 0;
    if (old && old->ListNo == change.ListNo && old->Level == markerLevel && old->StartFrom == change.StartFrom &&
        old->Reset == reset)
        return false;
    auto marker = std::make_unique<TRVMarkerItemInfo>(change.ListNo, markerLevel, change.StartFrom, reset);
    marker->ParaNo = head.ParaNo;
    if (old) {
        // The new marker takes the old one's place with what it carried.
        marker->SetItemOptions(std::uint8_t(old->ItemOptions() & ParaFlags));
        marker->Tag = old->Tag;
        marker->DeleteProtect = old->DeleteProtect;
        if (const TRVCPInfo* cp = old->Checkpoint())
            marker->SetCheckpointDescription(cp->CreateCopy());
        RecDeleteItem(start);
    } else {
        // The old first item continues the paragraph the marker now starts.
        marker->SetItemOptions(std::uint8_t(head.ItemOptions() & ParaFlags));
        RecSetFlags(start, TCustomRVItemInfo::rvioContinuesPara, head.ParaNo);
        ShiftAfterInsert(sel.First, start);
        ShiftAfterInsert(sel.Last, start);
    }
    RecInsertItem(start, {}, std::move(marker));
    return true;
}

} // namespace xq

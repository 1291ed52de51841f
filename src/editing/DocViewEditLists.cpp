// Making paragraphs list paragraphs and taking them out of their lists: a list marker is put
// at (or taken from) the start of every paragraph the selection touches, and the lists whose
// counters that changes are numbered again.
#include <set>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"

namespace xq {

void TCustomDocViewEdit::NoteMarkerTexts(TPendingLayout& pending, int firstItem, int lastItem) const
{
    // Only a change that touches a list marker (or brings new ones) can renumber the others.
    pending.MarkerCount = Data_.Markers().size();
    pending.MarkerTexts.clear();
    pending.MarkersNoted = false;
    for (int i = firstItem; i <= lastItem; ++i)
        if (Data_.ItemAt(i).IsListMarker()) {
            pending.MarkersNoted = true;
            break;
        }
    if (!pending.MarkersNoted)
        return;
    for (const TRVMarkerItemInfo* marker : Data_.Markers())
        pending.MarkerTexts.emplace(marker, marker->DisplayText);
}

bool TCustomDocViewEdit::MarkersRenumberedOutside(const TPendingLayout& pending, int itemDelta) const
{
    if (pending.FirstItem < 0)
        return false;
    if (!pending.MarkersNoted)
        return Data_.Markers().size() != pending.MarkerCount; // markers came with the change
    for (const TRVMarkerItemInfo* marker : Data_.Markers()) {
        // A marker that came with the change lies among the items laid out.
        const auto before = pending.MarkerTexts.find(marker);
        if (before == pending.MarkerTexts.end() || before->second == marker->DisplayText)
            continue;
        const int itemNo = Data_.IndexOf(marker);
        if (itemNo < pending.FirstItem || itemNo > pending.LastItem + itemDelta)
            return true;
    }
    return false;
}

void TCustomDocViewEdit::ApplyList(int listNo, int level, int startFrom, bool useStartFrom)
{
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || listNo < 0 || listNo >= sheet->ListStyles.Count())
        return;
    ChangeLists(true, listNo, level, startFrom, useStartFrom);
}

void TCustomDocViewEdit::RemoveLists()
{
    ChangeLists(false, -1, 0, 1, false);
}

void TCustomDocViewEdit::ChangeLists(bool apply, int listNo, int level, int startFrom, bool useStartFrom)
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
    // Tables and lines stay as they are, and so do paragraphs nobody may change.
    const auto eligible = [this](int start) { return !Data_.ItemAt(start).IsFullLine() && !ParaReadOnly(start); };
    int resetAt = -1;
    for (int start : starts)
        if (eligible(start)) {
            resetAt = start;
            break;
        }
    const auto shiftAfterInsert = [](TRVDocPos& p, int index) {
        if (p.ItemNo >= index)
            ++p.ItemNo;
    };
    const auto shiftAfterDelete = [](TRVDocPos& p, int index) {
        if (p.ItemNo > index)
            --p.ItemNo;
    };

    const int countBefore = Data_.Count();
    const TPendingLayout pending = PrepareLayout(firstItem, lastItem);
    BeginUndoStep(rvutList);
    TRVUndoGroupScope group(Data_.UndoList);
    std::set<int> renumber;
    if (apply)
        renumber.insert(listNo);
    bool changed = false;
    // From the last paragraph back, so that a marker put in or taken out never moves the
    // paragraphs still to come.
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const int start = *it;
        if (!eligible(start))
            continue;
        const TCustomRVItemInfo& head = Data_.ItemAt(start);
        const auto* old = head.IsListMarker() ? static_cast<const TRVMarkerItemInfo*>(&head) : nullptr;
        if (old && old->ListNo >= 0 && old->ListNo < sheet.ListStyles.Count() &&
            sheet.ListStyles[old->ListNo].HasNumbering())
            renumber.insert(old->ListNo);
        constexpr std::uint8_t paraFlags = TCustomRVItemInfo::rvioParagraphFlags;
        if (!apply) {
            // The text after the marker takes over the paragraph start, and a checkpoint the
            // marker held when it has none (a persistent one must find a place, or the marker stays).
            if (!old || old->DeleteProtect || start + 1 >= Data_.Count())
                continue;
            const int text = start + 1;
            if (HasPersistentCP(start) && Data_.ItemAt(text).Checkpoint())
                continue;
            if (old->Checkpoint() && !Data_.ItemAt(text).Checkpoint())
                RecMoveCheckpoint(start, text);
            RecSetFlags(text, std::uint8_t(old->ItemOptions() & paraFlags), Data_.ParaOf(text));
            RecDeleteItem(start);
            shiftAfterDelete(sel.First, start);
            shiftAfterDelete(sel.Last, start);
            changed = true;
            continue;
        }
        const int markerLevel = level >= 0 ? level : old ? old->Level : 0;
        const bool reset = useStartFrom && start == resetAt;
        if (old && old->ListNo == listNo && old->Level == markerLevel && old->StartFrom == startFrom &&
            old->Reset == reset)
            continue;
        auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, markerLevel, startFrom, reset);
        marker->ParaNo = head.ParaNo;
        if (old) {
            // The new marker takes the old one's place with what it carried.
            marker->SetItemOptions(std::uint8_t(old->ItemOptions() & paraFlags));
            marker->Tag = old->Tag;
            marker->DeleteProtect = old->DeleteProtect;
            if (const TRVCPInfo* cp = old->Checkpoint())
                marker->SetCheckpointDescription(cp->CreateCopy());
            RecDeleteItem(start);
        } else {
            // The old first item continues the paragraph the marker now starts.
            marker->SetItemOptions(std::uint8_t(head.ItemOptions() & paraFlags));
            RecSetFlags(start, TCustomRVItemInfo::rvioContinuesPara, head.ParaNo);
            shiftAfterInsert(sel.First, start);
            shiftAfterInsert(sel.Last, start);
        }
        RecInsertItem(start, {}, std::move(marker));
        changed = true;
    }
    if (!changed) {
        Data_.Recording->DropEmptyLast();
        return;
    }
    const int fromMarker = MarkersBeforeItem(Data_, firstItem);
    for (int list : renumber)
        RenumberListFrom(Data_, list, fromMarker);
    // Markers after these paragraphs that now show other numbers are laid out with them.
    FinishKeepingSelection(pending, Data_.Count() - countBefore, sel);
    NotifyChanged();
}

} // namespace xq

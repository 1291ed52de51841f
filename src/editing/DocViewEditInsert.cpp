// Deleting the selection, and inserting items, fragments and page breaks at the caret. A
// selection is first cut down to whole and partial items; an insertion splits the caret's item
// and puts the new items between the halves. Both end by re-joining what the edit left apart:
// the paragraph flags around the cut, the paragraph style of the joined paragraph, and the
// neighbours the merge rule joins.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "formats/rvf/RvfReader.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr std::uint8_t ParaFlags = TCustomRVItemInfo::rvioParagraphFlags;
constexpr TRVProtectOption StickingOptions[] = {rvprSticking, rvprSticking2, rvprSticking3};

} // namespace

// ---------------------------------------------------------------------------------------------
// Deleting the selection

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
    if (joins) {
        // The rest of the last paragraph joins the first: protections of paragraph starts and
        // persistent checkpoints keep it apart.
        const int restStart = cut.RestFirst;
        if (Data_.StartsParagraph(restStart) && restStart == li && StyleHas(restStart, rvprParaStartProtect))
            return false;
        for (int i = restStart; i <= LastItemOfParagraph(restStart); ++i)
            if (HasPersistentCP(i))
                return false;
    }
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

TRVDocPos TCustomDocViewEdit::RecCut(const TRangeCut& cut, int& delta)
{
    const int fi = cut.First.ItemNo, li = cut.Last.ItemNo;
    const std::uint8_t fiOptions = Data_.ItemAt(fi).ItemOptions();
    const int fiPara = Data_.ParaOf(fi);
    const bool restHadNewLine = cut.RestExists && cut.RestFirst != li && Data_.ItemAt(cut.RestFirst).NewLine();
    // The empty item that keeps an emptied paragraph goes in first, so that it can take checkpoints.
    int emptyAt = -1;
    if (cut.NeedsEmpty) {
        const int style = CurrentTextStyle();
        std::unique_ptr<TCustomRVItemInfo> empty;
        NewTextItem(style, fiPara, empty);
        empty->SetItemOptions(std::uint8_t((fiOptions & ParaFlags) | (empty->ItemOptions() & ~ParaFlags)));
        if (Data_.ActualStyleOf(li) == style && Data_.ItemAt(li).IsText())
            empty->Tag = Data_.ItemAt(li).Tag;
        RecInsertItem(li + 1, {}, std::move(empty));
        ++delta;
        emptyAt = li + 1;
    }
    int restAt = cut.RestExists ? cut.RestFirst : -1;
    const int left = cut.LeftExists ? (cut.FirstWhole ? fi - 1 : fi) : -1;
    const auto takeCheckpoint = [&](int from) {
        for (const int to : {emptyAt, restAt, left})
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
            --delta;
            if (restAt > i)
                --restAt;
            if (emptyAt > i)
                --emptyAt;
            continue;
        }
        if (!Data_.ItemAt(i).IsText())
            continue;
        const int from = i == fi ? cut.First.Offset : 1;
        const int to = i == li ? cut.Last.Offset : Data_.OffsetAfter(i);
        if (to > from)
            RecDeleteText(i, from, to - from);
    }
    TRVDocPos caret;
    if (emptyAt >= 0) {
        caret = {emptyAt, 1};
    } else if (restAt >= 0 && restAt == left) {
        caret = cut.First; // characters cut from inside one item
    } else if (restAt >= 0) {
        const bool breakCut = cut.RestSeparate || (cut.RestFirst == li && li > fi && !Data_.ItemAt(restAt).ContinuesPara());
        if (left >= 0) {
            const bool firstStartedLine = cut.FirstWhole && (fiOptions & TCustomRVItemInfo::rvioNewLine);
            const bool afterMarker = Data_.ItemAt(left).IsListMarker();
            if (breakCut || firstStartedLine || afterMarker) {
                // The rest continues the line before the cut, or starts the line the first item
                // started; a list marker's text never starts a line.
                const bool newLine = !afterMarker && (firstStartedLine || restHadNewLine);
                RecSetFlags(restAt, newLine ? TCustomRVItemInfo::rvioNewLine : TCustomRVItemInfo::rvioContinuesPara,
                            Data_.ParaOf(left));
            }
            caret = {left, Data_.OffsetAfter(left)};
        } else {
            // Nothing is left before the cut: the rest starts the paragraph, unless it starts one already.
            if (!Data_.StartsParagraph(restAt))
                RecSetFlags(restAt, fiOptions, fiPara);
            caret = {restAt, Data_.OffsetBefore(restAt)};
        }
    } else {
        caret = {left, Data_.OffsetAfter(left)};
    }
    // The joined paragraph takes the paragraph style of its first item.
    const int start = Data_.ParagraphFirstItem(caret.ItemNo);
    const int paraNo = Data_.ParaOf(start);
    for (int i = start + 1; i <= LastItemOfParagraph(start); ++i)
        RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), paraNo);
    // The two items that meet at the cut become one when the merge rule allows.
    if (left >= 0 && restAt >= 0 && restAt == left + 1 && !Data_.StartsLine(restAt) && CanMerge(left, restAt, false)) {
        const bool leftEmpty = IsEmptyText(left);
        RecMerge(left, restAt);
        --delta;
        if (leftEmpty)
            caret = {left, 1};
    }
    return caret;
}

void TCustomDocViewEdit::DeleteSelected()
{
    if (!Data_.Formatted() || !SelectionExists())
        return;
    if (!AskCanEdit()) {
        Beep();
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
    const TPendingLayout pending = PrepareLayout(Data_.ParagraphFirstItem(first.ItemNo), LastItemOfParagraph(last.ItemNo));
    BeginUndoStep(rvutDelete);
    int delta = 0;
    const TRVDocPos caret = RecCut(cut, delta);
    FinishLayout(pending, delta, caret);
    NotifyChanged();
}

bool TCustomDocViewEdit::DeleteSelectionFirst(int& delta, TRVDocPos& caret, TPendingLayout& pending, bool& refused)
{
    refused = false;
    TRVDocPos first, last;
    if (!SelectionExists() || !SelectionRange(first, last))
        return false;
    const TRangeCut cut = PlanCut(first, last);
    if (!CanCut(cut)) {
        refused = true;
        return false;
    }
    pending = PrepareLayout(Data_.ParagraphFirstItem(first.ItemNo), LastItemOfParagraph(last.ItemNo));
    caret = RecCut(cut, delta);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Inserting

bool TCustomDocViewEdit::InsertionAllowedAt(int index) const
{
    const int count = Data_.Count();
    if (index == 0 && count > 0 && StyleHas(0, rvprStickToTop))
        return false;
    if (index == count && count > 0 && StyleHas(count - 1, rvprStickToBottom))
        return false;
    if (index > 0 && index < count)
        for (const TRVProtectOption option : StickingOptions)
            if (StyleHas(index - 1, option) && StyleHas(index, option))
                return false;
    return true;
}

bool TCustomDocViewEdit::InsertItems(std::vector<TRVItemEntry> items, bool joinFirst, bool caretAtStart, TRVUndoType kind)
{
    if (items.empty())
        return true;
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    if (Data_.Count() > 0 && (!Data_.Formatted() || !Data_.CaretValid())) {
        Beep();
        return false;
    }
    const int keptTextStyle = CurrentTextStyle();
    // A refusal after the selection went takes the deletion back through its records, which are
    // kept whatever the undo limit.
    const TRVRollbackScope rollback(Data_.Recording, Data_);
    BeginUndoStep(kind);
    const TRVUndoGroupScope group(*Data_.Recording);
    const std::size_t mark = Data_.Recording->LastGroupSize();
    int delta = 0;
    TPendingLayout pending{-1, -1, true};
    TRVDocPos pos = Data_.Count() > 0 ? Data_.CaretDocPos() : TRVDocPos{0, 0};
    bool refused = false;
    const bool cutDone = DeleteSelectionFirst(delta, pos, pending, refused);
    const auto refuse = [&] {
        // The layout still shows the document as it was before the deletion.
        if (cutDone)
            Data_.Recording->RollBack(mark);
        Data_.Recording->DropEmptyLast();
        Beep();
        return false;
    };
    if (refused)
        return refuse();
    if (cutDone)
        SetCurrentTextStyle(keptTextStyle);
    const int count = Data_.Count();
    int index = 0;
    bool atItemStart = true; // the new items go before item index rather than after index - 1
    if (count > 0) {
        if (Data_.ItemAt(pos.ItemNo).IsListMarker() && pos.ItemNo + 1 < count)
            pos = {pos.ItemNo + 1, Data_.OffsetBefore(pos.ItemNo + 1)};
        const int ci = pos.ItemNo;
        const TCustomRVItemInfo& at = Data_.ItemAt(ci);
        if (ParaReadOnly(ci))
            return refuse();
        const bool inside = at.IsText() && pos.Offset > Data_.OffsetBefore(ci) && pos.Offset < Data_.OffsetAfter(ci);
        if (inside) {
            if (StyleHas(ci, rvprModifyProtect))
                return refuse();
            for (const TRVProtectOption option : StickingOptions)
                if (StyleHas(ci, option))
                    return refuse();
        }
        index = pos.Offset == Data_.OffsetAfter(ci) && !IsEmptyText(ci) ? ci + 1 : ci;
        if (inside)
            index = ci + 1;
        atItemStart = index == ci;
        if (!InsertionAllowedAt(index))
            return refuse();
        if (!cutDone)
            pending = PrepareLayout(Data_.ParagraphFirstItem(ci), LastItemOfParagraph(ci));
        if (inside) {
            // The caret's text item is cut in two; the new items go between the halves.
            RecSplitText(ci, pos.Offset);
            ++delta;
        }
    }
    const int n = static_cast<int>(items.size());
    TCustomRVItemInfo& head = *items.front().Item;
    const bool tailFullLine = items.back().Item->IsFullLine();
    const bool headJoins = joinFirst && !head.IsFullLine() && !head.IsListMarker();
    // Items that start a paragraph go before a list marker rather than between it and its text.
    if (index > 0 && Data_.ItemAt(index - 1).IsListMarker() && !headJoins) {
        --index;
        atItemStart = true;
    }
    const int afterNo = index + n;
    enum class TPlace { Alone, LineStart, After } place = TPlace::Alone;
    if (index < Data_.Count() && atItemStart && Data_.StartsLine(index))
        place = TPlace::LineStart;
    else if (index > 0)
        place = TPlace::After;
    std::uint8_t nextFlags = 0; // what becomes of the item after the new ones
    bool touchNext = false;
    if (place == TPlace::LineStart) {
        // Before the first item of a line: the new items take over its start, and the line
        // goes on after them.
        const TCustomRVItemInfo& next = Data_.ItemAt(index);
        std::uint8_t flags = next.ItemOptions() & ParaFlags;
        if (next.NewLine() && !headJoins)
            flags = 0;
        head.SetItemOptions(std::uint8_t((head.ItemOptions() & ~ParaFlags) | flags));
        if (!head.StartsParagraph())
            head.ParaNo = next.ParaNo;
        touchNext = true;
        nextFlags = tailFullLine || next.IsFullLine() || next.IsListMarker()
                        ? std::uint8_t(next.ItemOptions() & ~ParaFlags & ~TCustomRVItemInfo::rvioNewLine)
                        : TCustomRVItemInfo::rvioContinuesPara;
    } else if (place == TPlace::After) {
        // After an item: the new items continue its line, or start a paragraph of their own.
        const TCustomRVItemInfo& prev = Data_.ItemAt(index - 1);
        const bool join = headJoins && !prev.IsFullLine();
        head.SetItemOptions(std::uint8_t((head.ItemOptions() & ~ParaFlags) | (join ? TCustomRVItemInfo::rvioContinuesPara : 0)));
        if (join)
            head.ParaNo = prev.ParaNo;
        // The rest of the line follows the new items, unless they end with a full-line item.
        if (index < Data_.Count() && !Data_.StartsParagraph(index) && tailFullLine) {
            touchNext = true;
            nextFlags = 0;
        }
    } else {
        head.SetItemOptions(std::uint8_t(head.ItemOptions() & ~ParaFlags));
    }
    // Items inserted in one step, recorded as one record.
    Data_.InsertItems(index, std::move(items));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoInsertItemsInfo>(index, n));
    delta += n;
    if (touchNext && afterNo < Data_.Count())
        RecSetFlags(afterNo, nextFlags, Data_.ParaOf(afterNo));
    // Each paragraph the new items touch carries the style of its first item.
    const auto unifyParagraph = [&](int itemNo) {
        if (itemNo < 0 || itemNo >= Data_.Count())
            return;
        const int start = Data_.ParagraphFirstItem(itemNo);
        const int paraNo = Data_.ParaOf(start);
        for (int i = start + 1; i <= LastItemOfParagraph(start); ++i)
            RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), paraNo);
    };
    unifyParagraph(index);
    unifyParagraph(afterNo - 1);
    // The neighbours: text of the surrounding style joins the surrounding items, and an empty
    // item at the place goes (merged, or dropped next to an object).
    const int first = index;
    const int last = afterNo - 1;
    TRVDocPos caret;
    const auto joinAt = [&](int a, int b) {
        // 0: the two stay as they are; 1: b went into a (or an empty b went), a keeps its place;
        // 2: an empty a gave way, b now stands at a's index.
        if (a < 0 || b >= Data_.Count() || Data_.StartsLine(b))
            return 0;
        if (Data_.ItemAt(a).IsListMarker()) {
            // The marker's text: an empty item goes only when more text of the line follows it.
            if (IsEmptyText(b) && b + 1 < Data_.Count() && !Data_.StartsLine(b + 1) && CanRemoveItem(b)) {
                RecRemoveItem(b);
                --delta;
                return 1;
            }
            return 0;
        }
        if (CanMerge(a, b, false)) {
            const bool aEmpty = IsEmptyText(a);
            RecMerge(a, b);
            --delta;
            return aEmpty ? 2 : 1;
        }
        const int empty = IsEmptyText(a) ? a : IsEmptyText(b) ? b : -1;
        if (empty >= 0 && CanRemoveItem(empty)) {
            RecRemoveItem(empty);
            --delta;
            return empty == a ? 2 : 1;
        }
        // An empty item that must stay (its checkpoint may not be lost) gets a line of its own.
        if (empty >= 0)
            RecSetFlags(b, TCustomRVItemInfo::rvioNewLine, Data_.ParaOf(b));
        return 0;
    };
    const int lastLength = Data_.OffsetAfter(last);
    switch (joinAt(last, last + 1)) {
    case 1:
        caret = {last, lastLength};
        break;
    case 2:
        caret = {last, Data_.OffsetBefore(last)}; // the empty last item gave way to the one after
        break;
    default:
        caret = {last, Data_.OffsetAfter(last)};
        break;
    }
    TRVDocPos start{first, Data_.OffsetBefore(first)};
    if (first > 0) {
        const int firstLength = Data_.OffsetAfter(first - 1);
        const int joined = joinAt(first - 1, first);
        if (joined != 0) {
            if (caret.ItemNo == first && joined == 1)
                caret = {first - 1, caret.Offset + firstLength - Data_.OffsetBefore(first - 1)};
            else if (caret.ItemNo >= first)
                --caret.ItemNo;
            start = joined == 1 ? TRVDocPos{first - 1, firstLength} : TRVDocPos{first - 1, Data_.OffsetBefore(first - 1)};
        }
    }
    FinishLayout(pending, delta, caretAtStart ? start : caret);
    SetCurrentTextStyle(keptTextStyle);
    NotifyChanged();
    return true;
}

bool TCustomDocViewEdit::InsertItemAtCaret(std::string name, std::unique_ptr<TCustomRVItemInfo> item)
{
    if (!item)
        return false;
    // Full-line items, list markers and holders of persistent checkpoints start a paragraph.
    const TRVCPInfo* cp = item->Checkpoint();
    const bool starts = item->IsFullLine() || item->IsListMarker() || (cp && cp->Persistent);
    item->ParaNo = item->StyleNo == rvsBreak ? 0 : CurrentParaStyle();
    const TRVStyle* sheet = GetRVStyle();
    if (sheet && item->ParaNo < sheet->ParaStyles.Count() && sheet->ParaStyles[item->ParaNo].Options.Contains(rvpaoReadOnly)) {
        Beep();
        return false;
    }
    item->SetItemOptions(std::uint8_t(item->ItemOptions() & ~ParaFlags));
    const bool marker = item->IsListMarker();
    const int paraNo = item->ParaNo;
    std::vector<TRVItemEntry> items;
    items.push_back({std::move(name), std::move(item)});
    if (marker) {
        // A marker is followed by its paragraph's text: an empty item that the text at the
        // caret, if any, merges into.
        std::unique_ptr<TCustomRVItemInfo> empty;
        NewTextItem(TextStyleHas(CurrentTextStyle(), rvprModifyProtect) ? 0 : CurrentTextStyle(), paraNo, empty);
        empty->SetContinuesPara(true);
        items.push_back({{}, std::move(empty)});
    }
    return InsertItems(std::move(items), !starts, false, rvutInsert);
}

void TCustomDocViewEdit::InsertTextAtCaret(std::string_view text, bool caretAtStart)
{
    // 8-bit text in the code page of the current text style (or 1252).
    const int style = CurrentTextStyle();
    const int charset = ValidTextStyle(style) ? GetRVStyle()->TextStyles[style].Charset : 0;
    InsertWideTextAtCaret(AnsiToUnicode(std::string(text), CodePageOfCharset(charset, 1252)), caretAtStart);
}

void TCustomDocViewEdit::InsertWideTextAtCaret(std::u16string_view text, bool caretAtStart)
{
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || text.empty())
        return;
    const int style = TextStyleHas(CurrentTextStyle(), rvprModifyProtect) ? 0 : CurrentTextStyle();
    const int paraNo = CurrentParaStyle();
    std::vector<TRVItemEntry> items;
    std::u16string run;
    std::uint8_t nextFlags = 0; // the paragraph flags of the next item
    bool lineOpen = false;      // the current paragraph has an item
    const auto add = [&](std::string itemText, std::unique_ptr<TCustomRVItemInfo> item) {
        item->ParaNo = paraNo;
        item->SetItemOptions(std::uint8_t((item->ItemOptions() & ~ParaFlags) | nextFlags));
        nextFlags = TCustomRVItemInfo::rvioContinuesPara;
        lineOpen = true;
        items.push_back({std::move(itemText), std::move(item)});
    };
    const auto flushRun = [&](bool force) {
        if (run.empty() && !force)
            return;
        std::unique_ptr<TCustomRVItemInfo> item;
        NewTextItem(style, paraNo, item);
        add(EncodeText(run, style), std::move(item));
        run.clear();
    };
    const auto endParagraph = [&](bool pageBreak) {
        flushRun(!lineOpen);
        nextFlags = pageBreak ? TCustomRVItemInfo::rvioNewPageBefore : 0;
        lineOpen = false;
    };
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char16_t c = text[k];
        if (c == u'\r' || c == u'\n') {
            if (k + 1 < text.size() && (text[k + 1] == u'\r' || text[k + 1] == u'\n') && text[k + 1] != c)
                ++k; // CR LF and LF CR are one break
            endParagraph(false);
        } else if (c == u'\f') {
            endParagraph(true);
        } else if (c == u'\v') {
            endParagraph(false);
        } else if (c == u'\t') {
            if (sheet->SpacesInTab < 1) {
                flushRun(false);
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->TextStyleNo = style;
                add({}, std::move(tab));
            } else {
                run.append(std::size_t(sheet->SpacesInTab), u' ');
            }
        } else {
            run += c;
        }
    }
    flushRun(!lineOpen);
    InsertItems(std::move(items), true, caretAtStart, rvutInsert);
}

bool TCustomDocViewEdit::InsertDocumentFromStream(std::string_view rvf)
{
    TRVStyle* sheet = GetRVStyle();
    if (!sheet)
        return false;
    TCustomRVData fragment(sheet);
    // With the editor's options: pictures of unknown kinds and controls are dropped with a
    // warning (rvfoIgnoreUnknownPicFmt, rvfoIgnoreUnknownCtrls) instead of failing the insertion.
    TRVFReader reader(*sheet, RVFOptions);
    if (!reader.ReadFragment(fragment, 0, rvf))
        return false;
    if (fragment.Empty())
        return true;
    std::vector<TRVItemEntry> items = fragment.ExtractItems(0, fragment.Count());
    return InsertItems(std::move(items), true, false, rvutInsert);
}

bool TCustomDocViewEdit::InsertDocumentFromFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    return InsertDocumentFromStream(bytes);
}

// ---------------------------------------------------------------------------------------------
// Page breaks, tags and item properties

void TCustomDocViewEdit::InsertPageBreakAtCaret()
{
    if (!BeginEdit())
        return;
    BeginUndoStep(rvutInsertPageBreak);
    const TRVUndoGroupScope group(*Data_.Recording);
    if (SelectionExists())
        Deselect();
    TRVDocPos pos = Data_.CaretDocPos();
    if (Data_.ItemAt(pos.ItemNo).IsListMarker())
        pos = {pos.ItemNo, 0};
    const auto paragraphStart = [&](TRVDocPos p) {
        const int head = Data_.ParagraphFirstItem(p.ItemNo);
        return p.Offset == Data_.OffsetBefore(p.ItemNo) &&
               (p.ItemNo == head || (p.ItemNo == head + 1 && Data_.ItemAt(head).IsListMarker()));
    };
    if (!paragraphStart(pos)) {
        InsertEnter(false);
        pos = Data_.CaretDocPos();
        if (!paragraphStart(pos)) {
            Data_.Recording->DropEmptyLast();
            return; // Enter was refused here
        }
    }
    const int head = Data_.ParagraphFirstItem(pos.ItemNo);
    const TCustomRVItemInfo& item = Data_.ItemAt(head);
    if (item.NewPageBefore()) {
        Data_.Recording->DropEmptyLast();
        return;
    }
    const TPendingLayout pending = PrepareLayout(head, head);
    RecSetFlags(head, std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioNewLine) | TCustomRVItemInfo::rvioNewPageBefore),
                item.ParaNo);
    FinishLayout(pending, 0, pos);
    NotifyChanged();
}

void TCustomDocViewEdit::RemovePageBreakAtCaret()
{
    if (!BeginEdit())
        return;
    const TRVDocPos pos = Data_.CaretDocPos();
    const int head = Data_.ParagraphFirstItem(pos.ItemNo);
    const TCustomRVItemInfo& item = Data_.ItemAt(head);
    if (!item.NewPageBefore())
        return;
    const TPendingLayout pending = PrepareLayout(head, head);
    BeginUndoStep(rvutRemovePageBreak);
    RecSetFlags(head, std::uint8_t(item.ItemOptions() & ~TCustomRVItemInfo::rvioNewPageBefore), item.ParaNo);
    FinishLayout(pending, 0, pos);
    NotifyChanged();
}

bool TCustomDocViewEdit::PageBreakAtCaret() const
{
    if (!Data_.CaretValid())
        return false;
    return Data_.ItemAt(Data_.ParagraphFirstItem(Data_.CaretDocPos().ItemNo)).NewPageBefore();
}

void TCustomDocViewEdit::ChangeItemTag(int itemNo, std::string tag)
{
    if (itemNo < 0 || itemNo >= Data_.Count() || Data_.ItemAt(itemNo).Tag == tag)
        return;
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    BeginUndoStep(rvutTag);
    RecSetTag(itemNo, std::move(tag));
    NotifyChanged();
}

std::int32_t TCustomDocViewEdit::BeginItemModify(int itemNo)
{
    return Data_.GetMinTextAreaWidth(itemNo, false, itemNo);
}

void TCustomDocViewEdit::EndItemModify(int itemNo, std::int32_t widthToken)
{
    if (itemNo < 0 || itemNo >= Data_.Count())
        return;
    TPendingLayout pending = PrepareLayout(itemNo, itemNo);
    pending.OldMinWidth = widthToken;
    const TRVDocPos caret = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{itemNo, Data_.OffsetBefore(itemNo)};
    const TRVEditPositions kept = Data_.SavePositions();
    FinishLayout(pending, 0, caret);
    Data_.RestorePositions(kept);
}

int TCustomDocViewEdit::CurrentItemNo() const
{
    if (!Data_.CaretValid())
        return -1;
    TRVDocPos pos = Data_.CaretDocPos();
    return pos.ItemNo;
}

bool TCustomDocViewEdit::ModifyCurrentItem(const std::function<void(TCustomRVItemInfo& item, std::string& name)>& change)
{
    const int itemNo = CurrentItemNo();
    if (itemNo < 0)
        return false;
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    std::unique_ptr<TCustomRVItemInfo> copy = Data_.ItemAt(itemNo).CreateCopy(false);
    std::string name = Data_.TextAt(itemNo);
    change(*copy, name);
    if (copy->IsText() && copy->IsUnicode() && name.size() % 2 != 0)
        return false;
    const std::int32_t token = BeginItemModify(itemNo);
    const TRVEditPositions kept = Data_.SavePositions();
    BeginUndoStep(rvutModifyItem);
    // The new item takes the old one's place, checkpoint included; the old one waits for Undo.
    std::unique_ptr<TRVCPInfo> cp;
    if (const TRVCPInfo* old = Data_.ItemAt(itemNo).Checkpoint())
        cp = old->CreateCopy();
    TRVItemEntry old = Data_.ExtractItem(itemNo);
    if (cp)
        copy->SetCheckpointDescription(std::move(cp));
    Data_.InsertItemAt(itemNo, std::move(name), std::move(copy));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoModifyItemInfo>(itemNo, std::move(old)));
    TPendingLayout pending = PrepareLayout(itemNo, itemNo);
    pending.OldMinWidth = token;
    FinishLayout(pending, 0, Data_.CaretDocPos());
    Data_.RestorePositions(kept);
    NotifyChanged();
    return true;
}

bool TCustomDocViewEdit::SetCurrentPictureInfo(std::string name, std::unique_ptr<TGraphic> graphic, TRVVAlign vAlign,
                                               std::string tag)
{
    const int itemNo = CurrentItemNo();
    if (itemNo < 0 || !dynamic_cast<const TRVGraphicItemInfo*>(&Data_.ItemAt(itemNo)))
        return false;
    std::shared_ptr<TGraphic> picture(std::move(graphic));
    return ModifyCurrentItem([&](TCustomRVItemInfo& item, std::string& itemName) {
        auto& pic = static_cast<TRVGraphicItemInfo&>(item);
        itemName = name;
        if (picture)
            pic.Image = picture->Clone();
        pic.VAlign = vAlign;
        pic.Tag = tag;
    });
}

bool TCustomDocViewEdit::SetCurrentBreakInfo(std::uint8_t width, TRVBreakStyle style, TColor color, std::string tag)
{
    const int itemNo = CurrentItemNo();
    if (itemNo < 0 || Data_.ItemAt(itemNo).StyleNo != rvsBreak)
        return false;
    return ModifyCurrentItem([&](TCustomRVItemInfo& item, std::string&) {
        auto& br = static_cast<TRVBreakItemInfo&>(item);
        br.Width = width;
        br.Style = style;
        br.Color = color;
        br.Tag = tag;
    });
}

bool TCustomDocViewEdit::SetCurrentBulletInfo(std::string name, int imageIndex, int hotImageIndex, std::string tag)
{
    if (!GetCurrentItemOf<TRVBulletItemInfo>())
        return false;
    return ModifyCurrentItem([&](TCustomRVItemInfo& item, std::string& itemName) {
        auto& bullet = static_cast<TRVBulletItemInfo&>(item);
        itemName = name;
        bullet.ImageIndex = imageIndex;
        if (auto* hotspot = dynamic_cast<TRVHotspotItemInfo*>(&bullet))
            hotspot->HotImageIndex = hotImageIndex;
        bullet.Tag = tag;
    });
}

bool TCustomDocViewEdit::SetCurrentItemText(std::string text)
{
    const int itemNo = CurrentItemNo();
    if (itemNo < 0)
        return false;
    if (Data_.ItemAt(itemNo).IsText() && (text.empty() || StyleHas(itemNo, rvprModifyProtect)))
        return false; // an empty text item would not be alone on its line; protected text stays
    return ModifyCurrentItem([&](TCustomRVItemInfo&, std::string& name) { name = text; });
}

bool TCustomDocViewEdit::SetCurrentTag(std::string tag)
{
    const int itemNo = CurrentItemNo();
    if (itemNo < 0 || Data_.ItemAt(itemNo).Tag == tag)
        return false;
    ChangeItemTag(itemNo, std::move(tag));
    return true;
}

} // namespace xq

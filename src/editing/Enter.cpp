// Enter and Shift+Enter: the paragraph (or, with Shift, the line) is broken at the caret - inside
// a text item the item is cut in two, at the start of a line an empty line or paragraph goes
// before it, at the end of one an empty one follows it, and between two items the rest of the line
// moves. A new paragraph takes the next paragraph style, and an empty list paragraph leaves its
// list instead.
#include <algorithm>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"

namespace xq {

void TCustomDocViewEdit::InsertEnter(bool newLine)
{
    if (CellEditor_) {
        CellEditor_->InsertEnter(newLine);
        return;
    }
    if (!Data_.Formatted() || !Data_.CaretValid())
        return;
    if (SelectionExists()) {
        DeleteSelected();
        if (SelectionExists())
            return; // refused
    }
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    TEnterPlace place = EnterPlaceAt(TextPosOf(Data_.CaretDocPos()), newLine);
    if (!EnterAllowed(place)) {
        Beep();
        return;
    }
    TakeNextTextStyle(place);
    const int newPara = NewParagraphStyle(place);
    TRVEditStep step(*this, rvutNewLine);
    const int itemNo = place.ItemNo;
    if (!place.NewLine && IsEmptyText(itemNo) && itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() &&
        !RecLeaveListAtEnter(place))
        return step.Refuse();
    const TRVDocPos caret = RecBreakAt(place, newPara);
    // A new paragraph carries one paragraph style.
    if (!place.NewLine && !place.Inside && caret.ItemNo < Data_.Count())
        RecUnifyParagraphStyle(caret.ItemNo);
    step.Commit(caret);
}

TCustomDocViewEdit::TEnterPlace TCustomDocViewEdit::EnterPlaceAt(TRVDocPos pos, bool newLine) const
{
    TEnterPlace place;
    const int itemNo = place.ItemNo = pos.ItemNo;
    const int offs = place.Offs = pos.Offset;
    place.ParaNo = Data_.ParaOf(itemNo);
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    place.NewLineAsked = newLine;
    place.NewLine = newLine && !item.IsFullLine();
    const bool before = offs == Data_.OffsetBefore(itemNo);
    const bool after = offs == Data_.OffsetAfter(itemNo);
    const bool last = itemNo + 1 == Data_.Count();
    place.AtStart = before && (item.StartsParagraph() || (itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() &&
                                                          Data_.ItemAt(itemNo - 1).StartsParagraph()));
    place.AtLineStart = before && !item.ContinuesPara();
    place.LineEnd = after && (last || Data_.StartsLine(itemNo + 1));
    place.ParaEnd = after && (last || Data_.StartsParagraph(itemNo + 1));
    place.Inside = item.IsText() && !before && !after;
    return place;
}

bool TCustomDocViewEdit::EnterAllowed(const TEnterPlace& place) const
{
    const TRVStyle* sheet = GetRVStyle();
    const int itemNo = place.ItemNo;
    const TParaInfo& para = sheet->ParaStyles[std::clamp(place.ParaNo, 0, sheet->ParaStyles.Count() - 1)];
    if (para.Options.Contains(rvpaoDoNotWantReturns) || (place.NewLineAsked && ParaReadOnly(itemNo)))
        return false;
    // A read-only paragraph takes a new paragraph only before or after it.
    if (ParaReadOnly(itemNo) && !((place.AtStart && !Data_.ItemAt(itemNo).NewLine()) || place.ParaEnd))
        return false;
    if (place.Offs == Data_.OffsetBefore(itemNo) && !place.LineEnd && StyleHas(itemNo, rvprParaStartProtect) &&
        !place.NewLine)
        return false;
    return !(place.Inside && StyleHas(itemNo, rvprModifyProtect));
}

void TCustomDocViewEdit::TakeNextTextStyle(const TEnterPlace& place)
{
    const int itemNo = place.ItemNo;
    if (place.NewLine || !place.LineEnd || !Data_.ItemAt(itemNo).IsText() ||
        Data_.ActualStyleOf(itemNo) != CurrentTextStyle())
        return;
    const TRVStyle* sheet = GetRVStyle();
    const int next = sheet->TextStyles[CurrentTextStyle()].NextStyleNo;
    if (next >= 0 && next < sheet->TextStyles.Count())
        SetCurrentTextStyle(next);
}

int TCustomDocViewEdit::NewParagraphStyle(const TEnterPlace& place) const
{
    if (place.NewLine)
        return place.ParaNo;
    if (!place.ParaEnd)
        return CurrentParaStyle();
    // At the end of a paragraph (after a read-only one too) the paragraph style's next style.
    const TRVStyle* sheet = GetRVStyle();
    const int next = sheet->ParaStyles[std::clamp(place.ParaNo, 0, sheet->ParaStyles.Count() - 1)].NextParaNo;
    if (ParaReadOnly(place.ItemNo))
        return next < 0 ? 0 : next;
    if (next == -1)
        return CurrentParaStyle();
    return next < 0 || next >= sheet->ParaStyles.Count() ? 0 : next;
}

bool TCustomDocViewEdit::RecLeaveListAtEnter(TEnterPlace& place)
{
    const int itemNo = place.ItemNo;
    if (!CanRemoveItem(itemNo - 1))
        return false;
    const TCustomRVItemInfo& marker = Data_.ItemAt(itemNo - 1);
    if (HasPersistentCP(itemNo - 1) && !Data_.ItemAt(itemNo).Checkpoint())
        RecMoveCheckpoint(itemNo - 1, itemNo);
    RecSetFlags(itemNo, marker.ItemOptions(), marker.ParaNo);
    RecDeleteItem(itemNo - 1);
    // The rest of the place is as it was: the empty item is still alone on its line.
    place.ItemNo = itemNo - 1;
    place.Offs = Data_.OffsetBefore(place.ItemNo);
    return true;
}

std::unique_ptr<TCustomRVItemInfo> TCustomDocViewEdit::NewEmptyItemForEnter(int paraNo, int itemNo) const
{
    const int style = TypingStyle();
    std::unique_ptr<TCustomRVItemInfo> added;
    NewTextItem(style, paraNo, added);
    // Text of the same style goes on with the same tag and hint.
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.IsText() && item.StyleNo == style) {
        added->Tag = item.Tag;
        added->Hint = item.Hint;
    }
    return added;
}

TRVDocPos TCustomDocViewEdit::RecBreakAt(const TEnterPlace& place, int newPara)
{
    const int itemNo = place.ItemNo;
    const int offs = place.Offs;
    const std::uint8_t breakFlags = place.NewLine ? TCustomRVItemInfo::rvioNewLine : 0;
    if (place.Inside) {
        // The right part of the text item starts the new paragraph or line.
        const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
        std::string right = RecDeleteText(itemNo, offs, Data_.ItemLength(itemNo) - offs + 1);
        std::unique_ptr<TCustomRVItemInfo> copy = item.CreateCopy(false);
        copy->SetItemOptions(std::uint8_t(breakFlags | (copy->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
        RecInsertItem(itemNo + 1, std::move(right), std::move(copy));
        return {itemNo + 1, 1};
    }
    const bool afterMarker = itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker();
    if (offs == Data_.OffsetBefore(itemNo) && (place.AtLineStart || afterMarker) &&
        !(ParaReadOnly(itemNo) && place.ParaEnd))
        return RecBreakAtLineStart(place);
    if (place.LineEnd)
        return RecBreakAtLineEnd(place, newPara);
    // Between two items of a line: the rest of the line moves.
    const int split = offs == Data_.OffsetAfter(itemNo) ? itemNo + 1 : itemNo;
    RecSetFlags(split, breakFlags, Data_.ParaOf(split));
    return {split, Data_.OffsetBefore(split)};
}

TRVDocPos TCustomDocViewEdit::RecBreakAtLineStart(const TEnterPlace& place)
{
    const int itemNo = place.ItemNo;
    const int paraNo = place.ParaNo;
    const std::uint8_t breakFlags = place.NewLine ? TCustomRVItemInfo::rvioNewLine : 0;
    if (itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() && !place.AtLineStart) {
        // Directly after a marker: the marker's paragraph keeps an empty item, the text moves on.
        std::unique_ptr<TCustomRVItemInfo> added = NewEmptyItemForEnter(paraNo, itemNo);
        added->SetContinuesPara(true);
        RecSetFlags(itemNo, breakFlags, place.NewLine ? paraNo : Data_.ParaOf(itemNo));
        RecInsertItem(itemNo, {}, std::move(added));
    } else {
        // At the start of a line: an empty line or paragraph before it.
        const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
        const bool readOnly = ParaReadOnly(itemNo);
        std::unique_ptr<TCustomRVItemInfo> added =
            NewEmptyItemForEnter(place.NewLine ? paraNo : (readOnly ? CurrentParaStyle() : paraNo), itemNo);
        if (readOnly)
            added->ParaNo = 0;
        added->SetItemOptions(std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioUnicode) |
                                           (added->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
        RecSetFlags(itemNo, breakFlags, item.ParaNo);
        RecInsertItem(itemNo, {}, std::move(added));
    }
    return {itemNo + 1, Data_.OffsetBefore(itemNo + 1)};
}

TRVDocPos TCustomDocViewEdit::RecBreakAtLineEnd(const TEnterPlace& place, int newPara)
{
    const int itemNo = place.ItemNo;
    std::unique_ptr<TCustomRVItemInfo> added = NewEmptyItemForEnter(newPara, itemNo);
    const std::uint8_t breakFlags = place.NewLine ? TCustomRVItemInfo::rvioNewLine : 0;
    added->SetItemOptions(std::uint8_t(breakFlags | (added->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
    RecInsertItem(itemNo + 1, {}, std::move(added));
    if (!place.NewLine && itemNo + 2 < Data_.Count() && Data_.ItemAt(itemNo + 2).NewLine()) {
        // The lines after the caret's line go with the new paragraph.
        for (int i = itemNo + 2; i <= LastItemOfParagraph(itemNo + 2); ++i)
            RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), newPara);
    }
    return {itemNo + 1, 1};
}

} // namespace xq

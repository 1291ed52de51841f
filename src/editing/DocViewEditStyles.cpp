// Applying text and paragraph styles to the selection: a given style, or the one the
// application's conversion handler answers for each old style. Text items are cut at the
// selection's ends so that only the selected characters change, and merged with their
// neighbours afterwards where the merge rule allows.
#include <map>
#include <string_view>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

/// Where p is after text item itemNo was cut at offset (its right part is now item itemNo + 1).
/// A position at the cut stays at the end of the left part when keepLeft, else it goes to the
/// start of the right part.
void FollowSplit(TRVDocPos& p, int itemNo, int offset, bool keepLeft)
{
    if (p.ItemNo > itemNo)
        ++p.ItemNo;
    else if (p.ItemNo == itemNo && (p.Offset > offset || (!keepLeft && p.Offset == offset)))
        p = {itemNo + 1, p.Offset - offset + 1};
}

/// Where p is after item itemNo + 1 was merged into item itemNo, which held length characters
/// (an empty first item is dropped and the second takes its place, which length 0 covers too).
void FollowMerge(TRVDocPos& p, int itemNo, int length)
{
    if (p.ItemNo == itemNo + 1)
        p = {itemNo, p.Offset + length};
    else if (p.ItemNo > itemNo + 1)
        --p.ItemNo;
}

/// The conversion handler's answers, asked once per old style.
class TAnswers {
public:
    explicit TAnswers(const std::function<int(int, bool)>& answer) : Answer_(answer) {}
    int operator()(int styleNo)
    {
        auto it = Cache_.find(styleNo);
        if (it == Cache_.end())
            it = Cache_.emplace(styleNo, Answer_(styleNo, true)).first;
        return it->second;
    }

private:
    const std::function<int(int, bool)>& Answer_;
    std::map<int, int> Cache_;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// The selection kept over a change

TCustomDocViewEdit::TEditSelection TCustomDocViewEdit::EditSelection() const
{
    TEditSelection s;
    if (Data_.GetOrderedSelectionDoc(s.First, s.Last)) {
        s.Exists = true;
        s.Backward = Data_.SelectionEnd() < Data_.SelectionAnchor();
    } else {
        s.First = s.Last = Data_.CaretDocPos();
        s.CaretBoundary = Data_.SavePositions().CaretBoundary;
    }
    const auto textOf = [this](TRVDocPos& p) {
        if (Data_.ItemAt(p.ItemNo).IsListMarker() && p.ItemNo + 1 < Data_.Count())
            p = {p.ItemNo + 1, Data_.OffsetBefore(p.ItemNo + 1)};
    };
    textOf(s.First);
    textOf(s.Last);
    return s;
}

void TCustomDocViewEdit::FinishKeepingSelection(const TPendingLayout& pending, int itemDelta,
                                                const TEditSelection& selection)
{
    if (!selection.Exists) {
        FinishLayout(pending, itemDelta, selection.First, selection.CaretBoundary);
        return;
    }
    const TRVDocPos moving = selection.Backward ? selection.First : selection.Last;
    const TRVDocPos anchor = selection.Backward ? selection.Last : selection.First;
    FinishLayout(pending, itemDelta, moving, selection.Backward ? TRVLineBoundary::LineStart : TRVLineBoundary::LineEnd);
    // FinishLayout leaves the caret at the moving end; the anchor comes back to where it was.
    const TSelectionState before = SelectionState();
    SelectDocRange(anchor, moving);
    if (OnSelect && SelectionState() != before)
        OnSelect(*this);
}

// ---------------------------------------------------------------------------------------------
// Recorded changes of styles

bool TCustomDocViewEdit::ValidTextStyle(int styleNo) const noexcept
{
    const TRVStyle* sheet = GetRVStyle();
    return sheet && styleNo >= 0 && styleNo < sheet->TextStyles.Count();
}

void TCustomDocViewEdit::RecSplitText(int itemNo, int offset)
{
    const int length = Data_.ItemLength(itemNo);
    std::string right = RecDeleteText(itemNo, offset, length - offset + 1);
    std::unique_ptr<TCustomRVItemInfo> copy = Data_.ItemAt(itemNo).CreateCopy(false);
    copy->SetContinuesPara(true);
    RecInsertItem(itemNo + 1, std::move(right), std::move(copy));
    // Misspelling marks counted in the whole text are wrong in both parts: they are checked again.
    for (int i : {itemNo, itemNo + 1}) {
        Data_.ItemAt(i).State &= std::uint8_t(~1u);
        Data_.ItemAt(i).Misspellings.reset();
    }
}

void TCustomDocViewEdit::RecConvertTextItem(int itemNo, int styleNo, TRVDocPos& a, TRVDocPos& b)
{
    const TRVStyle& sheet = *GetRVStyle();
    const bool toUnicode = sheet.TextStyles[styleNo].Unicode;
    const bool fromUnicode = Data_.ItemAt(itemNo).IsUnicode();
    if (toUnicode == fromUnicode) {
        RecSetStyle(itemNo, styleNo);
    } else {
        // 8-bit text is read in the code page of its old style and written in that of its new one.
        const int charset = sheet.TextStyles[toUnicode ? Data_.ActualStyleOf(itemNo) : styleNo].Charset;
        const int codePage = CodePageOfCharset(charset, SystemAnsiCodePage);
        const auto convert = [&](std::string_view bytes) {
            return toUnicode ? AnsiToUnicodeBytes(bytes, codePage) : UnicodeBytesToAnsi(bytes, codePage);
        };
        const std::string old = Data_.TextAt(itemNo);
        const std::size_t oldSize = fromUnicode ? 2 : 1;
        const int newSize = toUnicode ? 2 : 1;
        for (TRVDocPos* p : {&a, &b})
            if (p->ItemNo == itemNo) {
                const std::size_t prefix = std::min(old.size(), std::size_t(p->Offset - 1) * oldSize);
                p->Offset = 1 + static_cast<int>(convert(std::string_view(old).substr(0, prefix)).size()) / newSize;
            }
        // The item may hold UTF-16 text only while it is a Unicode item: the style changes first
        // when the text leaves UTF-16 and last when it enters it (and the reversal in reverse).
        if (fromUnicode)
            RecSetStyle(itemNo, styleNo);
        Data_.Recording->AddInfo(std::make_unique<TRVUndoChangeTextInfo>(itemNo, old));
        Data_.SetText(itemNo, convert(old));
        if (toUnicode)
            RecSetStyle(itemNo, styleNo);
    }
    if (EditorOptions.Contains(rvoClearTagOnStyleApp))
        RecSetTag(itemNo, {});
}

void TCustomDocViewEdit::RecSetAssociatedTextStyle(int itemNo, int styleNo)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    int old = 0;
    if (!GetAssociatedTextStyleNo(item, old) || old == styleNo)
        return;
    Data_.Recording->AddInfo(std::make_unique<TRVUndoAssociatedTextStyleNoInfo>(itemNo, old));
    SetAssociatedTextStyleNo(item, styleNo);
    if (EditorOptions.Contains(rvoClearTagOnStyleApp))
        RecSetTag(itemNo, {});
}

// ---------------------------------------------------------------------------------------------
// Text styles

void TCustomDocViewEdit::SetTextStyleOfSelection(int styleNo)
{
    if (!ValidTextStyle(styleNo))
        return;
    ApplyTextStyles([styleNo](int, bool) { return styleNo; }, true);
}

void TCustomDocViewEdit::ConvertTextStyles(int userData)
{
    if (!OnStyleConversion)
        return;
    ApplyTextStyles(
        [this, userData](int styleNo, bool appliedToText) {
            int newStyleNo = styleNo;
            OnStyleConversion(*this, styleNo, userData, appliedToText, newStyleNo);
            return newStyleNo;
        },
        false);
}

void TCustomDocViewEdit::ConvertCurrentTextStyle(const TStyleAnswer& answer)
{
    const int to = answer(CurrentTextStyle(), false);
    if (!ValidTextStyle(to))
        return;
    TEditSelection sel = EditSelection();
    const int itemNo = sel.First.ItemNo;
    if (IsEmptyText(itemNo) && Data_.ActualStyleOf(itemNo) != to) {
        // The empty item at the caret is what typing fills next: it takes the style as well.
        if (!AskCanEdit()) {
            Beep();
            return;
        }
        const TPendingLayout pending = PrepareLayout(itemNo, itemNo);
        BeginUndoStep(rvutStyleNo);
        RecConvertTextItem(itemNo, to, sel.First, sel.Last);
        FinishKeepingSelection(pending, 0, sel);
        NotifyChanged();
    }
    SetCurrentTextStyle(to);
}

void TCustomDocViewEdit::ApplyTextStyles(const TStyleAnswer& answer, bool keepProtected)
{
    if (!Data_.Formatted() || !Data_.CaretValid())
        return;
    TEditSelection sel = EditSelection();
    if (!sel.Exists) {
        ConvertCurrentTextStyle(answer);
        return;
    }
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    TAnswers answers(answer);
    const auto newStyleFor = [&](int old) {
        const int to = answers(old);
        return ValidTextStyle(to) ? to : old;
    };
    const TRVDocPos first = sel.First;
    const TRVDocPos last = sel.Last;
    const int countBefore = Data_.Count();
    const TPendingLayout pending = PrepareLayout(first.ItemNo - 1, last.ItemNo + 1);
    BeginUndoStep(rvutStyleNo);
    bool changed = false;
    // From the last item back, so that cutting an item never moves the ones still to come.
    for (int i = last.ItemNo; i >= first.ItemNo; --i) {
        const TCustomRVItemInfo& item = Data_.ItemAt(i);
        if (!item.IsText()) {
            const bool selected = (i > first.ItemNo || first.Offset == 0) && (i < last.ItemNo || last.Offset == 1);
            int carried = 0;
            if (!selected || !GetAssociatedTextStyleNo(item, carried) || !ValidTextStyle(carried))
                continue;
            if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item); label && label->ProtectTextStyleNo)
                continue;
            if (keepProtected && TextStyleHas(carried, rvprStyleProtect))
                continue;
            if (const int to = newStyleFor(carried); to != carried) {
                RecSetAssociatedTextStyle(i, to);
                changed = true;
            }
            continue;
        }
        const int length = Data_.ItemLength(i);
        const int from = i == first.ItemNo ? first.Offset : 1;
        const int upto = i == last.ItemNo ? last.Offset : length + 1;
        // An empty item counts as selected when the selection goes on past it.
        if (length == 0 ? i == last.ItemNo : from >= upto)
            continue;
        const int old = Data_.ActualStyleOf(i);
        if (keepProtected && TextStyleHas(old, rvprStyleProtect))
            continue;
        const int to = newStyleFor(old);
        if (to == old)
            continue;
        int target = i;
        if (length > 0 && !TextStyleHas(old, rvprStyleSplitProtect)) {
            if (upto <= length) {
                RecSplitText(i, upto);
                FollowSplit(sel.First, i, upto, false);
                FollowSplit(sel.Last, i, upto, true);
            }
            if (from > 1) {
                RecSplitText(i, from);
                FollowSplit(sel.First, i, from, false);
                FollowSplit(sel.Last, i, from, true);
                target = i + 1;
            }
        }
        RecConvertTextItem(target, to, sel.First, sel.Last);
        changed = true;
    }
    if (!changed) {
        Data_.Recording->DropEmptyLast();
        return;
    }
    // Neighbours of the same style join again, the items beside the selection included.
    const int high = std::min(Data_.Count() - 1, last.ItemNo + (Data_.Count() - countBefore) + 1);
    for (int i = high - 1; i >= std::max(0, first.ItemNo - 1); --i) {
        if (!CanMerge(i, i + 1, false))
            continue;
        const int length = Data_.ItemLength(i);
        FollowMerge(sel.First, i, length);
        FollowMerge(sel.Last, i, length);
        RecMerge(i, i + 1);
    }
    FinishKeepingSelection(pending, Data_.Count() - countBefore, sel);
    NotifyChanged();
}

// ---------------------------------------------------------------------------------------------
// Paragraph styles

void TCustomDocViewEdit::SetParaStyleOfSelection(int paraNo)
{
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || paraNo < 0 || paraNo >= sheet->ParaStyles.Count())
        return;
    ApplyParaStyles([paraNo](int, bool) { return paraNo; });
}

void TCustomDocViewEdit::ConvertParaStyles(int userData)
{
    if (!OnParaStyleConversion)
        return;
    ApplyParaStyles([this, userData](int paraNo, bool appliedToText) {
        int newParaNo = paraNo;
        OnParaStyleConversion(*this, paraNo, userData, appliedToText, newParaNo);
        return newParaNo;
    });
}

void TCustomDocViewEdit::ApplyParaStyles(const TStyleAnswer& answer)
{
    if (!BeginEdit())
        return;
    const TRVStyle& sheet = *GetRVStyle();
    const TEditSelection sel = EditSelection();
    const int first = Data_.ParagraphFirstItem(sel.First.ItemNo);
    const int last = LastItemOfParagraph(sel.Last.ItemNo);
    TAnswers answers(answer);
    const auto valid = [&sheet](int paraNo) { return paraNo >= 0 && paraNo < sheet.ParaStyles.Count(); };
    std::vector<int> olds, news;
    bool changed = false;
    for (int i = first; i <= last; ++i) {
        if (i != first && !Data_.StartsParagraph(i))
            continue;
        const int old = Data_.ParaOf(i);
        int to = old;
        if (!valid(old) || !sheet.ParaStyles[old].Options.Contains(rvpaoStyleProtect)) {
            const int answered = answers(old);
            if (valid(answered))
                to = answered;
        }
        olds.push_back(old);
        news.push_back(to);
        changed = changed || to != old;
    }
    if (!changed)
        return;
    const TPendingLayout pending = PrepareLayout(first, last);
    BeginUndoStep(rvutPara);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoParaListInfo>(first, last, std::move(olds)));
    std::size_t paragraph = 0;
    for (int i = first; i <= last; ++i) {
        if (i != first && Data_.StartsParagraph(i))
            ++paragraph;
        Data_.ItemAt(i).ParaNo = news[paragraph];
    }
    FinishKeepingSelection(pending, 0, sel);
    NotifyChanged();
}

} // namespace xq

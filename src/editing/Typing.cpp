// Typing: a character goes into the text item at the caret when that item shows the style new
// text gets, into the neighbour of that style at an item boundary, or into a new text item. A
// character typed into an item is a typing step, which joins the run typed before it; one the
// OnItemTextEdit handler changes the item for, or one its code page turns into several units, is
// an ordinary insertion.
#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"

namespace xq {

bool TCustomDocViewEdit::KeyPress(char16_t ch)
{
    if (CellEditor_)
        return CellEditor_->KeyPress(ch);
    // Typing over selected cells types into the first of them.
    if (ch >= u' ' && EditCellOfRectangle())
        return CellEditor_->KeyPress(ch);
    // Enter types a carriage return after its key went by; an editor that wants no returns refuses it.
    if (ch == u'\r' && EditorOptions.Contains(rvoDoNotWantReturns)) {
        Beep();
        return true;
    }
    if (ch < 0x20 || ch == 0x7F)
        return false;
    if (!Data_.Formatted() || !Data_.CaretValid())
        return false;
    // Typing replaces the selection, as a step of its own.
    if (SelectionExists() && !(IsLowSurrogate(ch) && PendingHighSurrogate_)) {
        DeleteSelected();
        if (SelectionExists())
            return true; // refused
    }
    std::u16string typed;
    switch (TakeTypedUnit(ch, typed)) {
    case TTypedUnit::Pending: return true;
    case TTypedUnit::Stray: return false;
    case TTypedUnit::Character: break;
    }
    if (!AskCanEdit()) {
        Beep();
        return true;
    }
    const TRVDocPos pos = TextPosOf(Data_.CaretDocPos());
    if (ParaReadOnly(pos.ItemNo)) {
        Beep();
        return true;
    }
    TypeAt(pos, typed);
    return true;
}

TCustomDocViewEdit::TTypedUnit TCustomDocViewEdit::TakeTypedUnit(char16_t ch, std::u16string& typed)
{
    // A character outside the basic plane arrives as two halves and is typed as one.
    if (IsHighSurrogate(ch)) {
        PendingHighSurrogate_ = ch;
        return TTypedUnit::Pending;
    }
    typed.assign(1, ch);
    if (IsLowSurrogate(ch)) {
        if (!PendingHighSurrogate_)
            return TTypedUnit::Stray;
        typed.insert(typed.begin(), PendingHighSurrogate_);
    }
    PendingHighSurrogate_ = 0;
    return TTypedUnit::Character;
}

void TCustomDocViewEdit::TypeAt(TRVDocPos pos, const std::u16string& typed)
{
    const int style = TypingStyle();
    const TCustomRVItemInfo& item = Data_.ItemAt(pos.ItemNo);
    if (item.IsText() && StyleHas(pos.ItemNo, rvprModifyProtect) && pos.Offset > Data_.OffsetBefore(pos.ItemNo) &&
        pos.Offset < Data_.OffsetAfter(pos.ItemNo)) {
        Beep(); // inside text that cannot change
        return;
    }
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    if (FindTypingTarget(style, itemNo, offs))
        TypeIntoItem(pos, itemNo, offs, typed);
    else
        TypeNewItem(pos, style, typed);
}

bool TCustomDocViewEdit::FindTypingTarget(int style, int& itemNo, int& offs) const
{
    // The character may go into item i when it shows the style and its text may grow (at the
    // edge of text that may not, a new item takes the character).
    const auto takes = [&](int i) {
        if (!Data_.ItemAt(i).IsText() || Data_.ActualStyleOf(i) != style)
            return false;
        return IsEmptyText(i) || (!StyleHas(i, rvprConcateProtect) && !StyleHas(i, rvprModifyProtect));
    };
    if (takes(itemNo))
        return true;
    if (offs == Data_.OffsetAfter(itemNo) && itemNo + 1 < Data_.Count() && Data_.ItemAt(itemNo + 1).ContinuesPara() &&
        takes(itemNo + 1)) {
        ++itemNo;
        offs = Data_.OffsetBefore(itemNo);
        return true;
    }
    if (offs == Data_.OffsetBefore(itemNo) && Data_.ItemAt(itemNo).ContinuesPara() && takes(itemNo - 1)) {
        // Between two items the end of the one before takes the character in its style.
        --itemNo;
        offs = Data_.OffsetAfter(itemNo);
        return true;
    }
    return false;
}

void TCustomDocViewEdit::TypeIntoItem(TRVDocPos pos, int itemNo, int offs, const std::u16string& typed)
{
    const std::string bytes = EncodeChar(typed, Data_.ActualStyleOf(itemNo));
    const int units = static_cast<int>(bytes.size()) / CharSizeOf(Data_, itemNo);
    const TRVDocPos caret{itemNo, offs + units};
    if (units != static_cast<int>(typed.size())) {
        // Several code units: an insertion, not typing.
        TRVEditStep step(*this, rvutInsert);
        RecInsertText(itemNo, offs, bytes);
        return step.Commit(caret);
    }
    std::string newTag = Data_.ItemAt(itemNo).Tag;
    int newStyle = Data_.ItemAt(itemNo).StyleNo;
    if (OnItemTextEdit)
        OnItemTextEdit(*this, Data_.TextAt(itemNo), Data_, itemNo, newTag, newStyle);
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const TRVStyle* sheet = GetRVStyle();
    if (newStyle != item.StyleNo && (newStyle < 0 || newStyle >= sheet->TextStyles.Count() ||
                                     sheet->TextStyles[newStyle].Unicode != item.IsUnicode()))
        newStyle = item.StyleNo; // the text could not stay as it is stored
    // The handler changed the item: an ordinary text change, not typing.
    const bool handled = newTag != item.Tag || newStyle != item.StyleNo;
    // The first character of an empty paragraph gives it the current paragraph style.
    const bool restyles = !handled && IsEmptyText(itemNo) && Data_.ParaOf(itemNo) != CurrentParaStyle() &&
                          Data_.StartsParagraph(itemNo) && LastItemOfParagraph(itemNo) == itemNo;
    TRVEditStep step(*this, handled || restyles ? rvutInsert : rvutTyping);
    if (handled) {
        std::string text = Data_.TextAt(itemNo);
        text.insert(std::size_t(offs - 1) * std::size_t(CharSizeOf(Data_, itemNo)), bytes);
        RecChangeText(itemNo, std::move(text));
        RecSetTag(itemNo, newTag);
        RecSetStyle(itemNo, newStyle);
    } else if (restyles) {
        RecSetFlags(itemNo, item.ItemOptions(), CurrentParaStyle());
        RecInsertText(itemNo, offs, bytes);
    } else {
        RecTypeText(itemNo, offs, bytes, pos);
    }
    step.Commit(caret);
}

void TCustomDocViewEdit::TypeNewItem(TRVDocPos pos, int style, const std::u16string& typed)
{
    const int itemNo = pos.ItemNo;
    std::string text = EncodeChar(typed, style);
    const int newLength = static_cast<int>(text.size()) / (GetRVStyle()->TextStyles[style].Unicode ? 2 : 1);
    TRVEditStep step(*this, rvutInsert);
    if (!IsEmptyText(itemNo))
        return step.Commit({RecPlaceNewTextItem(itemNo, pos.Offset, style, std::move(text)), 1 + newLength});
    // The empty item becomes the new one, and its paragraph takes the current paragraph style.
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    RecSetStyle(itemNo, style);
    RecSetFlags(itemNo, item.ItemOptions(), Data_.StartsParagraph(itemNo) ? CurrentParaStyle() : item.ParaNo);
    if (item.StartsParagraph())
        for (int i = itemNo + 1; i <= LastItemOfParagraph(itemNo); ++i)
            RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), CurrentParaStyle());
    RecInsertText(itemNo, 1, text);
    step.Commit({itemNo, 1 + newLength});
}

int TCustomDocViewEdit::RecPlaceNewTextItem(int itemNo, int offs, int style, std::string text)
{
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    std::unique_ptr<TCustomRVItemInfo> added;
    NewTextItem(style, item.ParaNo, added);
    const std::uint8_t addedUnicode = added->ItemOptions() & TCustomRVItemInfo::rvioUnicode;
    int at = itemNo + 1;
    if (item.IsFullLine()) {
        // Beside a table or a break: a paragraph of its own.
        added->ParaNo = CurrentParaStyle();
        if (offs == 0) {
            at = itemNo;
            added->SetItemOptions(std::uint8_t((item.ItemOptions() & TCustomRVItemInfo::rvioNewPageBefore) | addedUnicode));
            RecSetFlags(itemNo, 0, item.ParaNo);
        }
    } else if (offs == Data_.OffsetBefore(itemNo)) {
        // Before the item: the new one takes over its place in the paragraph.
        at = itemNo;
        added->SetItemOptions(std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioUnicode) | addedUnicode));
        RecSetFlags(itemNo, TCustomRVItemInfo::rvioContinuesPara, item.ParaNo);
    } else if (offs == Data_.OffsetAfter(itemNo)) {
        added->SetContinuesPara(true);
    } else {
        // Inside a text item: its right part becomes an item of its own.
        RecSplitText(itemNo, offs);
        added->SetContinuesPara(true);
    }
    RecInsertItem(at, std::move(text), std::move(added));
    return at;
}

} // namespace xq

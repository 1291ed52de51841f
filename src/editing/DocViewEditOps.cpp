// The editor's modifications: the edit gate and change signal, undo and redo, typing, Enter,
// Backspace and Delete. Every change goes through a Rec* helper that makes it and records its
// reversal; the touched paragraphs are found before the change and laid out again after it.
#include <algorithm>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "layout/ReformatRange.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// The gate and the signal

void TCustomDocViewEdit::Beep()
{
    if (OnBeep)
        OnBeep(*this);
}

bool TCustomDocViewEdit::AskCanEdit()
{
    // The page ends pagination left in the view are stale once anything may change.
    Data_.SoftPageBreaks().clear();
    if (ReadOnly || !GetRVStyle() || MouseBusy())
        return false;
    bool canEdit = true;
    if (OnChanging)
        OnChanging(*this, canEdit);
    return canEdit;
}

bool TCustomDocViewEdit::BeginEdit()
{
    if (!Data_.Formatted() || !Data_.CaretValid())
        return false;
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    return true;
}

void TCustomDocViewEdit::NotifyChanged(bool clearRedo)
{
    Modified_ = true;
    Data_.SoftPageBreaks().clear();
    if (clearRedo)
        Data_.RedoList.Clear();
    if (OnChange)
        OnChange(*this);
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

bool TCustomDocViewEdit::BeginUndoStep(TRVUndoType kind, const std::string& caption)
{
    const TRVDocPos caret = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{};
    return Data_.Recording->BeginUndoGroup(kind, caption, caret.ItemNo, caret.Offset);
}

void TCustomDocViewEdit::ClearUndoHistory() noexcept
{
    Data_.UndoList.Clear();
    Data_.RedoList.Clear();
}

void TCustomDocViewEdit::ReverseLastGroup(TRVUndoList& from, TRVUndoList& to)
{
    // The range is read before the records run, while the layout still matches the document.
    const TRVUndoRange range = from.LastGroup()->AffectedRange(Data_.Count());
    const TPendingLayout pending = range.Empty() ? TPendingLayout{-1, -1, true} : PrepareLayout(range.First, range.Last);
    const TRVDocPos now = Data_.CaretValid() ? Data_.CaretDocPos() : TRVDocPos{};
    int caretItem = -1, caretOffs = 0;
    // While a group is reversed, every change records its own reversal into the other list.
    struct TRecordingScope {
        TRVEditRVData& Data;
        ~TRecordingScope() { Data.Recording = &Data.UndoList; }
    } scope{Data_};
    Data_.Recording = &to;
    from.Execute(to, now.ItemNo, now.Offset, caretItem, caretOffs);
    to.DropEmptyLast();
    // Words of the changed items are checked again.
    if (!range.Empty()) {
        const int last = std::min(Data_.Count() - 1, range.Last + std::max(0, range.ItemDelta));
        for (int i = std::max(0, range.First); i <= last; ++i) {
            TCustomRVItemInfo& item = Data_.ItemAt(i);
            item.State &= std::uint8_t(~1u);
            item.Misspellings.reset();
        }
    }
    FinishLayout(pending, range.ItemDelta, TRVDocPos{caretItem, caretOffs});
    NotifyChanged(false);
}

void TCustomDocViewEdit::Undo()
{
    // A mouse selection or a resize in progress holds places that the change would take away.
    if (ReadOnly || MouseBusy()) {
        Beep();
        return;
    }
    if (!Data_.UndoList.Empty())
        ReverseLastGroup(Data_.UndoList, Data_.RedoList);
}

void TCustomDocViewEdit::Redo()
{
    if (ReadOnly || MouseBusy()) {
        Beep();
        return;
    }
    if (!Data_.RedoList.Empty())
        ReverseLastGroup(Data_.RedoList, Data_.UndoList);
}

// ---------------------------------------------------------------------------------------------
// Layout after a change

TCustomDocViewEdit::TPendingLayout TCustomDocViewEdit::PrepareLayout(int firstItem, int lastItem) const
{
    TPendingLayout pending;
    const int count = Data_.Count();
    if (!Data_.Formatted() || count == 0 || Data_.DrawItems().Count() == 0) {
        pending.Whole = true;
        return pending;
    }
    firstItem = std::clamp(firstItem, 0, count - 1);
    lastItem = std::clamp(lastItem, firstItem, count - 1);
    const int firstDraw = Data_.FirstLinePiece(firstItem);
    const int lastDraw = lastItem + 1 < count ? Data_.FirstLinePiece(lastItem + 1) - 1
                                              : Data_.DrawItems().Count() - 1;
    if (firstDraw < 0 || lastDraw < firstDraw) {
        pending.Whole = true;
        return pending;
    }
    GetReformatRange(Data_, Data_.DrawItems(), firstDraw, lastDraw, pending.First, pending.Last);
    pending.FirstItem = Data_.DrawItems()[pending.First].ItemNo;
    pending.LastItem = Data_.DrawItems()[pending.Last].ItemNo;
    pending.OldMinWidth = const_cast<TRVEditRVData&>(Data_).GetMinTextAreaWidth(pending.FirstItem, false, pending.LastItem);
    NoteMarkerTexts(pending, firstItem, lastItem);
    return pending;
}

void TCustomDocViewEdit::FinishLayout(const TPendingLayout& pending, int itemDelta, TRVDocPos caret,
                                      TRVLineBoundary boundary)
{
    const TSelectionState before = SelectionState();
    bool whole = pending.Whole || Data_.Count() == 0 || MarkersRenumberedOutside(pending, itemDelta);
    if (!whole) {
        // A paragraph that does not wrap (or an object) that now needs more room than the text
        // width, or no longer needs the room it took, changes the width of every line.
        const int last = std::clamp(pending.LastItem + itemDelta, pending.FirstItem, Data_.Count() - 1);
        const std::int32_t newMin = Data_.GetMinTextAreaWidth(std::min(pending.FirstItem, Data_.Count() - 1), false, last);
        whole = !Data_.TextAreaWidthHolds(pending.OldMinWidth, newMin);
    }
    if (whole)
        Data_.FormatAll(true, true);
    else
        Data_.ReformatRange(pending.First, pending.Last, itemDelta);
    if (Data_.Count() == 0) {
        Data_.ResetCaret();
        return;
    }
    caret.ItemNo = std::clamp(caret.ItemNo, 0, Data_.Count() - 1);
    caret.Offset = std::clamp(caret.Offset, Data_.OffsetBefore(caret.ItemNo), Data_.OffsetAfter(caret.ItemNo));
    const TRVDrawPos target = Data_.DrawPosOf(caret, boundary);
    if (target.Valid()) {
        Data_.SetCaret(target);
        Data_.CollapseSelection();
    } else {
        Data_.ResetCaret();
    }
    CaretMoved(true, before);
}

// ---------------------------------------------------------------------------------------------
// Questions about items

bool TCustomDocViewEdit::ParaReadOnly(int itemNo) const
{
    const TRVStyle* sheet = GetRVStyle();
    const int paraNo = Data_.ParaOf(itemNo);
    return sheet && paraNo >= 0 && paraNo < sheet->ParaStyles.Count() &&
           sheet->ParaStyles[paraNo].Options.Contains(rvpaoReadOnly);
}

bool TCustomDocViewEdit::TextStyleHas(int styleNo, TRVProtectOption option) const
{
    const TRVStyle* sheet = GetRVStyle();
    return sheet && styleNo >= 0 && styleNo < sheet->TextStyles.Count() &&
           sheet->TextStyles[styleNo].Protection.Contains(option);
}

bool TCustomDocViewEdit::StyleHas(int itemNo, TRVProtectOption option) const
{
    return TextStyleHas(TextStyleAtItem(itemNo), option);
}

bool TCustomDocViewEdit::DeleteProtected(int itemNo) const
{
    if (StyleHas(itemNo, rvprDeleteProtect))
        return true;
    const auto* nonText = dynamic_cast<const TRVNonTextItemInfo*>(&Data_.ItemAt(itemNo));
    return nonText && nonText->DeleteProtect;
}

bool TCustomDocViewEdit::HasPersistentCP(int itemNo) const
{
    const TRVCPInfo* cp = Data_.ItemAt(itemNo).Checkpoint();
    return cp && cp->Persistent;
}

bool TCustomDocViewEdit::ParagraphHasPersistentCP(int itemNo) const
{
    const int first = Data_.ParagraphFirstItem(itemNo);
    const int last = LastItemOfParagraph(itemNo);
    for (int i = first; i <= last; ++i)
        if (HasPersistentCP(i))
            return true;
    return false;
}

int TCustomDocViewEdit::LastItemOfParagraph(int itemNo) const
{
    int last = itemNo;
    while (last + 1 < Data_.Count() && !Data_.StartsParagraph(last + 1))
        ++last;
    return last;
}

bool TCustomDocViewEdit::IsEmptyText(int itemNo) const
{
    return Data_.ItemAt(itemNo).IsText() && Data_.TextAt(itemNo).empty();
}

bool TCustomDocViewEdit::CanMerge(int first, int second, bool join) const
{
    const TCustomRVItemInfo& a = Data_.ItemAt(first);
    const TCustomRVItemInfo& b = Data_.ItemAt(second);
    if (!a.IsText() || !b.IsText())
        return false;
    if (!join && !b.ContinuesPara())
        return false;
    if (IsEmptyText(first) || IsEmptyText(second))
        return !(IsEmptyText(second) && b.Checkpoint() && a.Checkpoint());
    return a.StyleNo == b.StyleNo && a.IsUnicode() == b.IsUnicode() && a.Hint == b.Hint && a.Tag == b.Tag &&
           !b.Checkpoint() && !TextStyleHas(Data_.ActualStyleOf(first), rvprModifyProtect) &&
           !TextStyleHas(Data_.ActualStyleOf(first), rvprConcateProtect);
}

std::string TCustomDocViewEdit::EncodeText(const std::u16string& text, int styleNo) const
{
    const TRVStyle* sheet = GetRVStyle();
    if (ValidTextStyle(styleNo) && sheet->TextStyles[styleNo].Unicode)
        return BytesFromUtf16(text);
    const int charset = ValidTextStyle(styleNo) ? sheet->TextStyles[styleNo].Charset : 0;
    return UnicodeToAnsi(text, CodePageOfCharset(charset, 1252));
}

std::string TCustomDocViewEdit::EncodeChar(const std::u16string& text, int styleNo) const
{
    // A combining mark the code page cannot take is dropped: the key still types something.
    std::string bytes = EncodeText(text, styleNo);
    return bytes.empty() ? std::string("?") : bytes;
}

void TCustomDocViewEdit::NewTextItem(int styleNo, int paraNo, std::unique_ptr<TCustomRVItemInfo>& item) const
{
    item = std::make_unique<TRVTextItemInfo>(styleNo);
    item->ParaNo = paraNo;
    const TRVStyle* sheet = GetRVStyle();
    item->SetUnicode(sheet && styleNo < sheet->TextStyles.Count() && sheet->TextStyles[styleNo].Unicode);
}

// ---------------------------------------------------------------------------------------------
// Recorded changes

void TCustomDocViewEdit::RecInsertText(int itemNo, int position, const std::string& bytes)
{
    InsertItemSubstring(Data_, itemNo, position, bytes);
    const int length = static_cast<int>(bytes.size()) / CharSizeOf(Data_, itemNo);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoInsertSubstringInfo>(itemNo, position, length));
}

std::string TCustomDocViewEdit::RecDeleteText(int itemNo, int position, int count)
{
    std::string cut = CutItemSubstring(Data_, itemNo, position, count);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoDeleteSubstringInfo>(itemNo, position, cut));
    return cut;
}

void TCustomDocViewEdit::RecInsertItem(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item)
{
    Data_.InsertItemAt(index, std::move(text), std::move(item));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoInsertItemInfo>(index));
}

void TCustomDocViewEdit::RecDeleteItem(int index)
{
    Data_.Recording->AddInfo(std::make_unique<TRVUndoDeleteItemInfo>(index, Data_.ExtractItem(index)));
}

void TCustomDocViewEdit::RecSetFlags(int itemNo, std::uint8_t options, int paraNo)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    constexpr std::uint8_t flags = TCustomRVItemInfo::rvioParagraphFlags;
    const std::uint8_t next = std::uint8_t((item.ItemOptions() & ~flags) | (options & flags));
    if (next == item.ItemOptions() && paraNo == item.ParaNo)
        return;
    Data_.Recording->AddInfo(std::make_unique<TRVUndoNewLineInfo>(itemNo, item.ItemOptions(), item.ParaNo));
    item.SetItemOptions(next);
    item.ParaNo = paraNo;
}

void TCustomDocViewEdit::RecSetStyle(int itemNo, int styleNo)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.StyleNo == styleNo)
        return;
    Data_.Recording->AddInfo(std::make_unique<TRVUndoStyleNoInfo>(itemNo, item.StyleNo, item.IsUnicode()));
    item.StyleNo = styleNo;
    const TRVStyle* sheet = GetRVStyle();
    item.SetUnicode(sheet && styleNo < sheet->TextStyles.Count() && sheet->TextStyles[styleNo].Unicode);
}

void TCustomDocViewEdit::RecSetTag(int itemNo, std::string tag)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.Tag == tag)
        return;
    Data_.Recording->AddInfo(std::make_unique<TRVUndoTagInfo>(itemNo, item.Tag));
    item.Tag = std::move(tag);
}

void TCustomDocViewEdit::RecMoveCheckpoint(int from, int to)
{
    std::unique_ptr<TRVCPInfo> cp = Data_.ItemAt(from).Checkpoint()->CreateCopy();
    Data_.Recording->AddInfo(std::make_unique<TRVUndoDeleteCPInfo>(from, cp->CreateCopy()));
    Data_.RemoveCheckpoint(from);
    Data_.SetCheckpoint(to, std::move(cp));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoAddCPInfo>(to));
}

void TCustomDocViewEdit::RecMerge(int first, int second)
{
    if (IsEmptyText(first)) {
        // The result takes the second's style and tag, and the first's place in the paragraph.
        const TCustomRVItemInfo& a = Data_.ItemAt(first);
        const std::uint8_t options = a.ItemOptions();
        const int paraNo = a.ParaNo;
        if (a.Checkpoint() && !Data_.ItemAt(second).Checkpoint())
            RecMoveCheckpoint(first, second);
        RecDeleteItem(first);
        RecSetFlags(first, options, paraNo);
        return;
    }
    if (!IsEmptyText(second))
        RecInsertText(first, Data_.ItemLength(first) + 1, Data_.TextAt(second));
    if (Data_.ItemAt(second).Checkpoint() && !Data_.ItemAt(first).Checkpoint())
        RecMoveCheckpoint(second, first);
    RecDeleteItem(second);
}

bool TCustomDocViewEdit::CanRemoveItem(int itemNo) const
{
    if (DeleteProtected(itemNo))
        return false;
    if (!HasPersistentCP(itemNo))
        return true;
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (itemNo + 1 < Data_.Count() && !Data_.StartsLine(itemNo + 1) && !HasPersistentCP(itemNo + 1))
        return true;
    return !item.StartsParagraph() && itemNo > 0 && !HasPersistentCP(itemNo - 1);
}

void TCustomDocViewEdit::RecRemoveItem(int itemNo)
{
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const bool startsLine = !item.ContinuesPara();
    const bool nextContinues = itemNo + 1 < Data_.Count() && !Data_.StartsLine(itemNo + 1);
    if (HasPersistentCP(itemNo)) {
        if (nextContinues && !HasPersistentCP(itemNo + 1))
            RecMoveCheckpoint(itemNo, itemNo + 1);
        else
            RecMoveCheckpoint(itemNo, itemNo - 1);
    }
    // The next item of the paragraph takes over its start (of the paragraph or of the line).
    if (startsLine && itemNo + 1 < Data_.Count() && !Data_.StartsParagraph(itemNo + 1) &&
        (nextContinues || item.StartsParagraph()))
        RecSetFlags(itemNo + 1, Data_.ItemAt(itemNo).ItemOptions(), Data_.ParaOf(itemNo + 1));
    // A list marker is followed by its paragraph's text, never by a new line.
    if (!startsLine && itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() && itemNo + 1 < Data_.Count() &&
        Data_.ItemAt(itemNo + 1).NewLine())
        RecSetFlags(itemNo + 1, TCustomRVItemInfo::rvioContinuesPara, Data_.ParaOf(itemNo + 1));
    RecDeleteItem(itemNo);
}

bool TCustomDocViewEdit::CanJoinAt(int itemNo) const
{
    if (itemNo <= 0 || ParaReadOnly(itemNo) || ParaReadOnly(itemNo - 1))
        return false;
    if (Data_.ItemAt(itemNo).IsFullLine() || Data_.ItemAt(itemNo - 1).IsFullLine())
        return false;
    if (StyleHas(itemNo, rvprParaStartProtect) && Data_.StartsParagraph(itemNo))
        return false;
    if (!Data_.StartsParagraph(itemNo))
        return true; // a line of the same paragraph
    const int last = LastItemOfParagraph(itemNo);
    for (int i = itemNo; i <= last; ++i)
        if (HasPersistentCP(i))
            return false;
    return true;
}

TRVDocPos TCustomDocViewEdit::RecJoinAt(int itemNo)
{
    const int paraNo = Data_.ParaOf(itemNo - 1);
    const int last = LastItemOfParagraph(itemNo);
    RecSetFlags(itemNo, TCustomRVItemInfo::rvioContinuesPara, paraNo);
    for (int i = itemNo + 1; i <= last; ++i)
        RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), paraNo);
    const TRVDocPos caret{itemNo - 1, Data_.OffsetAfter(itemNo - 1)};
    if (CanMerge(itemNo - 1, itemNo, true)) {
        const bool firstEmpty = IsEmptyText(itemNo - 1);
        RecMerge(itemNo - 1, itemNo);
        return firstEmpty ? TRVDocPos{itemNo - 1, 1} : caret;
    }
    return caret;
}

// ---------------------------------------------------------------------------------------------
// Typing

bool TCustomDocViewEdit::KeyPress(char16_t ch)
{
    // Enter types a carriage return after its key went by; an editor that wants no returns refuses it.
    if (ch == u'\r' && EditorOptions.Contains(rvoDoNotWantReturns)) {
        Beep();
        return true;
    }
    if (ch < 0x20 || ch == 0x7F)
        return false;
    if (!Data_.Formatted() || !Data_.CaretValid())
        return false;
    // Typing replaces the selection.
    if (SelectionExists() && !(ch >= 0xDC00 && ch <= 0xDFFF && PendingHighSurrogate_)) {
        DeleteSelected();
        if (SelectionExists())
            return true; // refused
    }
    // A character outside the basic plane arrives as two halves and is typed as one.
    if (ch >= 0xD800 && ch <= 0xDBFF) {
        PendingHighSurrogate_ = ch;
        return true;
    }
    std::u16string typed(1, ch);
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        if (!PendingHighSurrogate_)
            return false;
        typed.insert(typed.begin(), PendingHighSurrogate_);
    }
    PendingHighSurrogate_ = 0;
    if (!AskCanEdit()) {
        Beep();
        return true;
    }
    TRVDocPos pos = Data_.CaretDocPos();
    if (Data_.ItemAt(pos.ItemNo).IsListMarker() && pos.ItemNo + 1 < Data_.Count())
        pos = {pos.ItemNo + 1, Data_.OffsetBefore(pos.ItemNo + 1)};
    if (ParaReadOnly(pos.ItemNo)) {
        Beep();
        return true;
    }
    // Text never gets a style whose text cannot change: style 0 types instead.
    const int cur = TextStyleHas(CurrentTextStyle(), rvprModifyProtect) ? 0 : CurrentTextStyle();
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    const auto intoItem = [&](int i, int o) {
        // Whether the character may go into item i at o: the style is the current one and the
        // text may grow (at the edge of text that may not, a new item takes the character).
        (void)o;
        if (!Data_.ItemAt(i).IsText() || Data_.ActualStyleOf(i) != cur)
            return false;
        return IsEmptyText(i) || (!StyleHas(i, rvprConcateProtect) && !StyleHas(i, rvprModifyProtect));
    };
    if (Data_.ItemAt(itemNo).IsText() && StyleHas(itemNo, rvprModifyProtect) && offs > Data_.OffsetBefore(itemNo) &&
        offs < Data_.OffsetAfter(itemNo)) {
        Beep(); // inside text that cannot change
        return true;
    }
    bool into = intoItem(itemNo, offs);
    if (!into && offs == Data_.OffsetAfter(itemNo) && itemNo + 1 < Data_.Count() && Data_.ItemAt(itemNo + 1).ContinuesPara() &&
        intoItem(itemNo + 1, Data_.OffsetBefore(itemNo + 1))) {
        ++itemNo;
        offs = Data_.OffsetBefore(itemNo);
        into = true;
    } else if (!into && offs == Data_.OffsetBefore(itemNo) && Data_.ItemAt(itemNo).ContinuesPara() &&
               intoItem(itemNo - 1, Data_.OffsetAfter(itemNo - 1))) {
        // Between two items the end of the one before takes the character in its style.
        --itemNo;
        offs = Data_.OffsetAfter(itemNo);
        into = true;
    }
    const std::string bytes = EncodeChar(typed, into ? Data_.ActualStyleOf(itemNo) : cur);
    const int size = into ? CharSizeOf(Data_, itemNo) : 0;
    const int units = size ? static_cast<int>(bytes.size()) / size : 0;
    if (into && units == static_cast<int>(typed.size())) {
        const TPendingLayout pending = PrepareLayout(itemNo, itemNo);
        std::string newTag = Data_.ItemAt(itemNo).Tag;
        int newStyle = Data_.ItemAt(itemNo).StyleNo;
        if (OnItemTextEdit)
            OnItemTextEdit(*this, Data_.TextAt(itemNo), Data_, itemNo, newTag, newStyle);
        const TRVStyle* sheet = GetRVStyle();
        if (newStyle != Data_.ItemAt(itemNo).StyleNo &&
            (newStyle < 0 || newStyle >= sheet->TextStyles.Count() ||
             sheet->TextStyles[newStyle].Unicode != Data_.ItemAt(itemNo).IsUnicode()))
            newStyle = Data_.ItemAt(itemNo).StyleNo; // the text could not stay as it is stored
        if (newTag != Data_.ItemAt(itemNo).Tag || newStyle != Data_.ItemAt(itemNo).StyleNo) {
            // The handler changed the item: an ordinary text change, not typing.
            BeginUndoStep(rvutInsert);
            Data_.Recording->AddInfo(std::make_unique<TRVUndoChangeTextInfo>(itemNo, Data_.TextAt(itemNo)));
            InsertItemSubstring(Data_, itemNo, offs, bytes);
            RecSetTag(itemNo, newTag);
            RecSetStyle(itemNo, newStyle);
        } else if (IsEmptyText(itemNo) && Data_.ParaOf(itemNo) != CurrentParaStyle() && Data_.StartsParagraph(itemNo) &&
                   LastItemOfParagraph(itemNo) == itemNo) {
            BeginUndoStep(rvutInsert);
            RecSetFlags(itemNo, Data_.ItemAt(itemNo).ItemOptions(), CurrentParaStyle());
            RecInsertText(itemNo, offs, bytes);
        } else {
            InsertItemSubstring(Data_, itemNo, offs, bytes);
            for (int k = 0; k < units; ++k)
                Data_.Recording->AddTypedChar(itemNo, offs + k, Data_.ItemAt(itemNo).IsUnicode(), pos.ItemNo, pos.Offset);
        }
        FinishLayout(pending, 0, {itemNo, offs + units});
        NotifyChanged();
        return true;
    }
    if (into) {
        // Several code units: an insertion, not typing.
        const TPendingLayout pending = PrepareLayout(itemNo, itemNo);
        BeginUndoStep(rvutInsert);
        RecInsertText(itemNo, offs, bytes);
        FinishLayout(pending, 0, {itemNo, offs + static_cast<int>(bytes.size()) / size});
        NotifyChanged();
        return true;
    }
    // A new text item at the caret.
    itemNo = pos.ItemNo;
    offs = pos.Offset;
    const int style = cur;
    const std::string text = EncodeChar(typed, style);
    const int newLength = static_cast<int>(text.size()) / (GetRVStyle()->TextStyles[style].Unicode ? 2 : 1);
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const TPendingLayout pending = PrepareLayout(itemNo, itemNo);
    BeginUndoStep(rvutInsert);
    std::unique_ptr<TCustomRVItemInfo> added;
    if (IsEmptyText(itemNo)) {
        // The empty item becomes the new one.
        RecSetStyle(itemNo, style);
        RecSetFlags(itemNo, item.ItemOptions(), Data_.StartsParagraph(itemNo) ? CurrentParaStyle() : item.ParaNo);
        if (Data_.ItemAt(itemNo).StartsParagraph())
            for (int i = itemNo + 1; i <= LastItemOfParagraph(itemNo); ++i)
                RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), CurrentParaStyle());
        RecInsertText(itemNo, 1, text);
        FinishLayout(pending, 0, {itemNo, 1 + newLength});
        NotifyChanged();
        return true;
    }
    NewTextItem(style, item.ParaNo, added);
    int delta = 1;
    int at = itemNo;
    if (item.IsFullLine()) {
        // Beside a table or a break: a paragraph of its own.
        added->ParaNo = CurrentParaStyle();
        at = offs == 0 ? itemNo : itemNo + 1;
        if (offs == 0) {
            added->SetItemOptions(std::uint8_t(item.ItemOptions() & TCustomRVItemInfo::rvioNewPageBefore) |
                                  std::uint8_t(added->ItemOptions() & TCustomRVItemInfo::rvioUnicode));
            RecSetFlags(itemNo, 0, item.ParaNo);
        }
    } else if (offs == Data_.OffsetBefore(itemNo)) {
        // Before the item: the new one takes over its place in the paragraph.
        added->SetItemOptions(std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioUnicode) |
                                           (added->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
        RecSetFlags(itemNo, TCustomRVItemInfo::rvioContinuesPara, item.ParaNo);
    } else if (offs == Data_.OffsetAfter(itemNo)) {
        added->SetContinuesPara(true);
        at = itemNo + 1;
    } else {
        // Inside a text item: its right part becomes an item of its own.
        RecSplitText(itemNo, offs);
        added->SetContinuesPara(true);
        at = itemNo + 1;
        delta = 2;
    }
    RecInsertItem(at, text, std::move(added));
    FinishLayout(pending, delta, {at, 1 + newLength});
    NotifyChanged();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Enter

void TCustomDocViewEdit::InsertEnter(bool newLine)
{
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
    const TRVStyle* sheet = GetRVStyle();
    TRVDocPos pos = Data_.CaretDocPos();
    if (Data_.ItemAt(pos.ItemNo).IsListMarker() && pos.ItemNo + 1 < Data_.Count())
        pos = {pos.ItemNo + 1, Data_.OffsetBefore(pos.ItemNo + 1)};
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    const int paraNo = Data_.ParaOf(itemNo);
    const TParaInfo& para = sheet->ParaStyles[std::clamp(paraNo, 0, sheet->ParaStyles.Count() - 1)];
    if (para.Options.Contains(rvpaoDoNotWantReturns) || (newLine && ParaReadOnly(itemNo))) {
        Beep();
        return;
    }
    const TCustomRVItemInfo& item0 = Data_.ItemAt(itemNo);
    if (item0.IsFullLine())
        newLine = false;
    const bool atStart = offs == Data_.OffsetBefore(itemNo) &&
                         (item0.StartsParagraph() || (itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() &&
                                                      Data_.ItemAt(itemNo - 1).StartsParagraph()));
    const bool atLineStart = offs == Data_.OffsetBefore(itemNo) && !item0.ContinuesPara();
    const bool lineEnd = offs == Data_.OffsetAfter(itemNo) && (itemNo + 1 == Data_.Count() || Data_.StartsLine(itemNo + 1));
    const bool paraEnd = offs == Data_.OffsetAfter(itemNo) && (itemNo + 1 == Data_.Count() || Data_.StartsParagraph(itemNo + 1));
    if (ParaReadOnly(itemNo) && !((atStart && !item0.NewLine()) || paraEnd)) {
        Beep();
        return;
    }
    if (offs == Data_.OffsetBefore(itemNo) && !lineEnd && StyleHas(itemNo, rvprParaStartProtect) && !newLine) {
        Beep();
        return;
    }
    const bool inside = item0.IsText() && offs > Data_.OffsetBefore(itemNo) && offs < Data_.OffsetAfter(itemNo);
    if (inside && StyleHas(itemNo, rvprModifyProtect)) {
        Beep();
        return;
    }
    // The paragraph after a read-only one, or at the end of a line, may take the next styles.
    if (!newLine && lineEnd && item0.IsText() && Data_.ActualStyleOf(itemNo) == CurrentTextStyle()) {
        const int next = sheet->TextStyles[CurrentTextStyle()].NextStyleNo;
        if (next >= 0 && next < sheet->TextStyles.Count())
            SetCurrentTextStyle(next);
    }
    int newPara = newLine ? paraNo : CurrentParaStyle();
    if (!newLine && paraEnd) {
        const int next = para.NextParaNo;
        if (ParaReadOnly(itemNo))
            newPara = next < 0 ? 0 : next;
        else if (next != -1)
            newPara = next < 0 || next >= sheet->ParaStyles.Count() ? 0 : next;
    }
    const std::uint8_t breakFlags = newLine ? TCustomRVItemInfo::rvioNewLine : 0;
    const int firstTouched = std::max(0, Data_.ParagraphFirstItem(itemNo));
    const TPendingLayout pending = PrepareLayout(firstTouched, std::min(Data_.Count() - 1, itemNo + 1));
    BeginUndoStep(rvutNewLine);
    int delta = 0;
    // An empty list paragraph leaves its list first.
    if (!newLine && IsEmptyText(itemNo) && itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker()) {
        if (!CanRemoveItem(itemNo - 1)) {
            Data_.Recording->DropEmptyLast();
            Beep();
            return;
        }
        const TCustomRVItemInfo& marker = Data_.ItemAt(itemNo - 1);
        if (HasPersistentCP(itemNo - 1) && !Data_.ItemAt(itemNo).Checkpoint())
            RecMoveCheckpoint(itemNo - 1, itemNo);
        RecSetFlags(itemNo, marker.ItemOptions(), marker.ParaNo);
        RecDeleteItem(itemNo - 1);
        --itemNo;
        --delta;
        offs = Data_.OffsetBefore(itemNo);
    }
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const auto newEmpty = [&](int para) {
        const int style = TextStyleHas(CurrentTextStyle(), rvprModifyProtect) ? 0 : CurrentTextStyle();
        std::unique_ptr<TCustomRVItemInfo> added;
        NewTextItem(style, para, added);
        if (item.IsText() && item.StyleNo == style) {
            added->Tag = item.Tag;
            added->Hint = item.Hint;
        }
        return added;
    };
    TRVDocPos caret;
    if (inside) {
        const int length = Data_.ItemLength(itemNo);
        std::string right = RecDeleteText(itemNo, offs, length - offs + 1);
        std::unique_ptr<TCustomRVItemInfo> copy = item.CreateCopy(false);
        copy->SetItemOptions(std::uint8_t(breakFlags | (copy->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
        RecInsertItem(itemNo + 1, std::move(right), std::move(copy));
        ++delta;
        caret = {itemNo + 1, 1};
    } else if (offs == Data_.OffsetBefore(itemNo) && (atLineStart || (itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker())) &&
               !(ParaReadOnly(itemNo) && paraEnd)) {
        if (itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() && !atLineStart) {
            // Directly after a marker: the marker's paragraph keeps an empty item, the text moves on.
            std::unique_ptr<TCustomRVItemInfo> added = newEmpty(paraNo);
            added->SetContinuesPara(true);
            RecSetFlags(itemNo, breakFlags, newLine ? paraNo : Data_.ParaOf(itemNo));
            RecInsertItem(itemNo, {}, std::move(added));
        } else {
            // At the start of a line: an empty line or paragraph before it.
            std::unique_ptr<TCustomRVItemInfo> added = newEmpty(newLine ? paraNo : (ParaReadOnly(itemNo) ? CurrentParaStyle() : paraNo));
            if (ParaReadOnly(itemNo))
                added->ParaNo = 0;
            added->SetItemOptions(std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioUnicode) |
                                               (added->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
            const std::uint8_t rest = newLine ? TCustomRVItemInfo::rvioNewLine : 0;
            RecSetFlags(itemNo, rest, item.ParaNo);
            RecInsertItem(itemNo, {}, std::move(added));
        }
        ++delta;
        caret = {itemNo + 1, Data_.OffsetBefore(itemNo + 1)};
    } else if (lineEnd) {
        std::unique_ptr<TCustomRVItemInfo> added = newEmpty(newPara);
        added->SetItemOptions(std::uint8_t(breakFlags | (added->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
        RecInsertItem(itemNo + 1, {}, std::move(added));
        if (!newLine && itemNo + 2 < Data_.Count() && Data_.ItemAt(itemNo + 2).NewLine()) {
            // The lines after the caret's line go with the new paragraph.
            for (int i = itemNo + 2; i <= LastItemOfParagraph(itemNo + 2); ++i)
                RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), newPara);
        }
        ++delta;
        caret = {itemNo + 1, 1};
    } else {
        // Between two items of a line: the rest of the line moves.
        int split = offs == Data_.OffsetAfter(itemNo) ? itemNo + 1 : itemNo;
        RecSetFlags(split, breakFlags, Data_.ParaOf(split));
        caret = {split, Data_.OffsetBefore(split)};
    }
    if (!newLine && !inside && caret.ItemNo < Data_.Count()) {
        // A new paragraph carries one paragraph style.
        const int start = Data_.ParagraphFirstItem(caret.ItemNo);
        const int style = Data_.ParaOf(start);
        for (int i = start; i <= LastItemOfParagraph(start); ++i)
            RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), style);
    }
    FinishLayout(pending, delta, caret);
    NotifyChanged();
}

// ---------------------------------------------------------------------------------------------
// Backspace and Delete

namespace {

bool IsHighSurrogate(char16_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

char16_t UnitAt(const TCustomRVData& data, int itemNo, int index)
{
    const std::string& text = data.TextAt(itemNo);
    const std::size_t at = std::size_t(index - 1) * 2;
    return char16_t(std::uint8_t(text[at]) | (std::uint8_t(text[at + 1]) << 8));
}

} // namespace

bool TCustomDocViewEdit::RemoveWholeItem(int itemNo, TRVDocPos& caret, int& delta)
{
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const bool afterMarker = itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker() && item.ContinuesPara();
    const bool startsLine = !item.ContinuesPara() || afterMarker;
    const bool alone = startsLine && (itemNo + 1 == Data_.Count() || Data_.StartsLine(itemNo + 1));
    // The empty item that replaces the only one of a line keeps its checkpoint.
    if (alone ? DeleteProtected(itemNo) : !CanRemoveItem(itemNo))
        return false;
    if (alone) {
        // The paragraph (or line) stays, with an empty text item in the current style.
        const int style = CurrentTextStyle();
        if (item.IsText()) {
            if (const int length = Data_.ItemLength(itemNo); length > 0)
                RecDeleteText(itemNo, 1, length);
            if (Data_.ActualStyleOf(itemNo) != style) {
                RecSetStyle(itemNo, style);
                RecSetTag(itemNo, {});
            }
        } else {
            std::unique_ptr<TCustomRVItemInfo> empty;
            NewTextItem(style, item.ParaNo, empty);
            empty->SetItemOptions(std::uint8_t((item.ItemOptions() & ~TCustomRVItemInfo::rvioUnicode) |
                                               (empty->ItemOptions() & TCustomRVItemInfo::rvioUnicode)));
            RecInsertItem(itemNo + 1, {}, std::move(empty));
            if (Data_.ItemAt(itemNo).Checkpoint())
                RecMoveCheckpoint(itemNo, itemNo + 1);
            RecDeleteItem(itemNo);
        }
        caret = {itemNo, 1};
        return true;
    }
    RecRemoveItem(itemNo);
    --delta;
    if (startsLine && !afterMarker) {
        caret = {itemNo, Data_.OffsetBefore(itemNo)};
        return true;
    }
    caret = {itemNo - 1, Data_.OffsetAfter(itemNo - 1)};
    if (itemNo < Data_.Count() && CanMerge(itemNo - 1, itemNo, false)) {
        RecMerge(itemNo - 1, itemNo);
        --delta;
    }
    return true;
}

bool TCustomDocViewEdit::StartDeletionKey(TRVDocPos& pos)
{
    if (!Data_.Formatted() || !Data_.CaretValid())
        return false;
    if (SelectionExists()) {
        DeleteSelected();
        return false;
    }
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    pos = Data_.CaretDocPos();
    // A caret on a list marker stands at the start of the item after it.
    if (Data_.ItemAt(pos.ItemNo).IsListMarker() && pos.ItemNo + 1 < Data_.Count())
        pos = {pos.ItemNo + 1, Data_.OffsetBefore(pos.ItemNo + 1)};
    if (ParaReadOnly(pos.ItemNo)) {
        Beep();
        return false;
    }
    return true;
}

void TCustomDocViewEdit::DeleteBackward(bool byWord)
{
    TRVDocPos pos;
    if (!StartDeletionKey(pos))
        return;
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    // The start of an item inside a line (or of a wrapped line) is the end of the one before.
    if (offs == Data_.OffsetBefore(itemNo) && Data_.ItemAt(itemNo).ContinuesPara() &&
        !Data_.ItemAt(itemNo - 1).IsListMarker()) {
        --itemNo;
        offs = Data_.OffsetAfter(itemNo);
    }
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const bool atStart = offs == Data_.OffsetBefore(itemNo);
    const bool afterMarker = atStart && itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker();
    if (atStart && itemNo == 0) {
        if (!item.NewPageBefore())
            return;
        const TPendingLayout pending = PrepareLayout(0, 0);
        BeginUndoStep(rvutRemovePageBreak);
        RecSetFlags(0, std::uint8_t(item.ItemOptions() & ~TCustomRVItemInfo::rvioNewPageBefore), item.ParaNo);
        FinishLayout(pending, 0, {0, offs});
        NotifyChanged();
        return;
    }
    if (atStart && !afterMarker &&
        (item.IsFullLine() || (Data_.ItemAt(itemNo - 1).IsFullLine() && !IsEmptyText(itemNo)))) {
        MoveCaret(TRVCaretMove::Left, TRVSelectionUpdate::Collapse);
        return;
    }
    const TPendingLayout pending = PrepareLayout(itemNo - 2, itemNo + 2);
    int delta = 0;
    TRVDocPos caret = pos;
    const auto refuse = [&] {
        Data_.Recording->DropEmptyLast();
        Beep();
    };
    const auto finish = [&] {
        FinishLayout(pending, delta, caret);
        NotifyChanged();
    };
    if (atStart) {
        const int head = afterMarker ? itemNo - 1 : itemNo;
        if (Data_.ItemAt(head).NewPageBefore()) {
            BeginUndoStep(rvutRemovePageBreak);
            const TCustomRVItemInfo& h = Data_.ItemAt(head);
            RecSetFlags(head, std::uint8_t(h.ItemOptions() & ~TCustomRVItemInfo::rvioNewPageBefore), h.ParaNo);
            return finish();
        }
        BeginUndoStep(rvutDelete);
        if (afterMarker) {
            // The paragraph leaves its list.
            if (!CanRemoveItem(itemNo - 1))
                return refuse();
            const TCustomRVItemInfo& marker = Data_.ItemAt(itemNo - 1);
            if (HasPersistentCP(itemNo - 1)) {
                if (Data_.ItemAt(itemNo).Checkpoint())
                    return refuse();
                RecMoveCheckpoint(itemNo - 1, itemNo);
            }
            RecSetFlags(itemNo, marker.ItemOptions(), marker.ParaNo);
            RecDeleteItem(itemNo - 1);
            --delta;
            caret = {itemNo - 1, Data_.OffsetBefore(itemNo - 1)};
            return finish();
        }
        if (IsEmptyText(itemNo)) {
            if (!CanRemoveItem(itemNo))
                return refuse();
            RecRemoveItem(itemNo);
            --delta;
            caret = {itemNo - 1, Data_.OffsetAfter(itemNo - 1)};
            return finish();
        }
        if (!IsEmptyText(itemNo - 1)) {
            if (!CanJoinAt(itemNo))
                return refuse();
            const int before = Data_.Count();
            caret = RecJoinAt(itemNo);
            delta = Data_.Count() - before;
            return finish();
        }
        // The empty line or paragraph before goes.
        const int empty = itemNo - 1;
        if (!CanRemoveItem(empty) || ParaReadOnly(empty) || ParagraphHasPersistentCP(empty))
            return refuse();
        const bool joinMarker = empty > 0 && Data_.ItemAt(empty - 1).IsListMarker();
        if (joinMarker && !CanJoinAt(itemNo))
            return refuse();
        RecRemoveItem(empty);
        --delta;
        if (joinMarker)
            RecJoinAt(empty);
        caret = {empty, Data_.OffsetBefore(empty)};
        return finish();
    }
    BeginUndoStep(rvutDelete);
    if (item.IsText()) {
        int from = offs - 1;
        if (byWord) {
            // Back over the spaces, then to the start of the word (a punctuation mark goes alone).
            const std::string& delims = Delimiters;
            while (from > 1) {
                const bool here = Data_.IsDelimiterAt(itemNo, from, delims);
                const bool prev = Data_.IsDelimiterAt(itemNo, from - 1, delims);
                const bool space = Data_.ItemAt(itemNo).IsUnicode() ? UnitAt(Data_, itemNo, from) == u' '
                                                                     : Data_.TextAt(itemNo)[std::size_t(from - 1)] == ' ';
                if (!here && prev)
                    break;
                if (here && !space && !prev)
                    break;
                --from;
            }
        } else if (item.IsUnicode() && from > 1 && IsLowSurrogate(UnitAt(Data_, itemNo, from)) &&
                   IsHighSurrogate(UnitAt(Data_, itemNo, from - 1))) {
            --from;
        }
        if (!(from == 1 && offs == Data_.OffsetAfter(itemNo))) {
            if (StyleHas(itemNo, rvprModifyProtect))
                return refuse();
            RecDeleteText(itemNo, from, offs - from);
            caret = {itemNo, from};
            return finish();
        }
    }
    if (!RemoveWholeItem(itemNo, caret, delta))
        return refuse();
    finish();
}

void TCustomDocViewEdit::DeleteForward()
{
    TRVDocPos pos;
    if (!StartDeletionKey(pos))
        return;
    int itemNo = pos.ItemNo;
    int offs = pos.Offset;
    const int count = Data_.Count();
    const bool atEnd = offs == Data_.OffsetAfter(itemNo);
    if ((Data_.ItemAt(itemNo).IsFullLine() && atEnd) ||
        (atEnd && itemNo + 1 < count && Data_.ItemAt(itemNo + 1).IsFullLine() && !IsEmptyText(itemNo))) {
        MoveCaret(TRVCaretMove::Right, TRVSelectionUpdate::Collapse);
        return;
    }
    const TPendingLayout pending = PrepareLayout(itemNo - 2, itemNo + 3);
    int delta = 0;
    TRVDocPos caret = pos;
    const auto refuse = [&] {
        Data_.Recording->DropEmptyLast();
        Beep();
    };
    const auto finish = [&] {
        FinishLayout(pending, delta, caret);
        NotifyChanged();
    };
    if (atEnd && itemNo + 1 == count) {
        const bool listed = Data_.ItemAt(itemNo - (itemNo > 0)).IsListMarker();
        // The only paragraph of the document stays.
        if (!IsEmptyText(itemNo) || itemNo == 0 || (listed && itemNo == 1))
            return;
        BeginUndoStep(rvutDelete);
        if (!CanRemoveItem(itemNo))
            return refuse();
        if (Data_.ItemAt(itemNo - 1).IsListMarker()) {
            if (!CanRemoveItem(itemNo - 1))
                return refuse();
            RecDeleteItem(itemNo);
            RecRemoveItem(itemNo - 1);
            delta = -2;
            caret = {itemNo - 2, itemNo >= 2 ? Data_.OffsetAfter(itemNo - 2) : 0};
        } else {
            RecRemoveItem(itemNo);
            delta = -1;
            caret = {itemNo - 1, Data_.OffsetAfter(itemNo - 1)};
        }
        return finish();
    }
    if (atEnd && !Data_.StartsLine(itemNo + 1)) {
        ++itemNo; // the first place of the next item of the line
        offs = Data_.OffsetBefore(itemNo);
    } else if (atEnd) {
        BeginUndoStep(rvutDelete);
        if (IsEmptyText(itemNo)) {
            const bool marker = itemNo > 0 && Data_.ItemAt(itemNo - 1).IsListMarker();
            if (!CanRemoveItem(itemNo) || (marker && !CanRemoveItem(itemNo - 1)))
                return refuse();
            if (marker) {
                const TCustomRVItemInfo& m = Data_.ItemAt(itemNo - 1);
                if (HasPersistentCP(itemNo - 1) || HasPersistentCP(itemNo))
                    return refuse();
                if (itemNo + 1 < Data_.Count() && Data_.ItemAt(itemNo + 1).NewLine())
                    RecSetFlags(itemNo + 1, m.ItemOptions(), Data_.ParaOf(itemNo + 1));
                RecDeleteItem(itemNo);
                RecDeleteItem(itemNo - 1);
                delta = -2;
                caret = {itemNo - 1, Data_.OffsetBefore(itemNo - 1)};
            } else {
                RecRemoveItem(itemNo);
                delta = -1;
                caret = {itemNo, Data_.OffsetBefore(itemNo)};
            }
            return finish();
        }
        if (IsEmptyText(itemNo + 1)) {
            if (!CanRemoveItem(itemNo + 1) || ParaReadOnly(itemNo + 1))
                return refuse();
            RecRemoveItem(itemNo + 1);
            delta = -1;
            return finish();
        }
        int next = itemNo + 1;
        if (Data_.ItemAt(next).IsListMarker()) {
            // Everything is checked before the marker goes: its text then starts the paragraph.
            const bool emptyAfter = IsEmptyText(next + 1) && (next + 2 == Data_.Count() || Data_.StartsLine(next + 2));
            if (!CanRemoveItem(next) || HasPersistentCP(next) || !CanJoinAt(next) ||
                StyleHas(next + 1, rvprParaStartProtect) || (emptyAfter && !CanRemoveItem(next + 1)))
                return refuse();
            const TCustomRVItemInfo& marker = Data_.ItemAt(next);
            RecSetFlags(next + 1, marker.ItemOptions(), marker.ParaNo);
            RecDeleteItem(next);
            --delta;
            if (emptyAfter) {
                // An empty list paragraph goes whole.
                RecRemoveItem(next);
                --delta;
                return finish();
            }
        }
        if (!CanJoinAt(next))
            return refuse();
        const int before = Data_.Count();
        caret = RecJoinAt(next);
        delta += Data_.Count() - before;
        return finish();
    }
    BeginUndoStep(rvutDelete);
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.IsText()) {
        int n = 1;
        if (item.IsUnicode() && offs + 1 < Data_.OffsetAfter(itemNo) && IsHighSurrogate(UnitAt(Data_, itemNo, offs)) &&
            IsLowSurrogate(UnitAt(Data_, itemNo, offs + 1)))
            n = 2;
        if (n < Data_.ItemLength(itemNo)) {
            if (StyleHas(itemNo, rvprModifyProtect))
                return refuse();
            RecDeleteText(itemNo, offs, n);
            caret = {itemNo, offs};
            return finish();
        }
    }
    if (!RemoveWholeItem(itemNo, caret, delta))
        return refuse();
    finish();
}

} // namespace xq

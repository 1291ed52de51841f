// The recorded changes every operation is made of: each one changes the document and records its
// reversal where the open edit step records (Data_.Recording). Changes to an item's own fields tell
// the document's change channel first; the container's operations tell it themselves.
#include <algorithm>

#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/MisspellingMarks.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Text

// Every change of an item's text clears its live-spelling checked flag and keeps its marks on their
// words (or drops the marks of the words it touches); live spelling then reads the item again.

void TCustomDocViewEdit::RecInsertText(int itemNo, int position, const std::string& bytes)
{
    InsertItemSubstring(Data_, itemNo, position, bytes);
    const int length = static_cast<int>(bytes.size()) / CharSizeOf(Data_, itemNo);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoInsertSubstringInfo>(itemNo, position, length));
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    ClearCheckedFlag(item);
    if (item.Misspellings) {
        ShiftMarksForInserted(*item.Misspellings, position, length);
        TidyMarks(item);
    }
}

std::string TCustomDocViewEdit::RecDeleteText(int itemNo, int position, int count)
{
    std::string cut = CutItemSubstring(Data_, itemNo, position, count);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoDeleteSubstringInfo>(itemNo, position, cut));
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    ClearCheckedFlag(item);
    if (item.Misspellings) {
        ShiftMarksForDeleted(*item.Misspellings, position, static_cast<int>(cut.size()) / CharSizeOf(Data_, itemNo));
        TidyMarks(item);
    }
    return cut;
}

void TCustomDocViewEdit::RecChangeText(int itemNo, std::string text)
{
    Data_.Recording->AddInfo(std::make_unique<TRVUndoChangeTextInfo>(itemNo, Data_.TextAt(itemNo)));
    Data_.SetText(itemNo, std::move(text));
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    ClearCheckedFlag(item);
    item.Misspellings.reset();
}

void TCustomDocViewEdit::RecTypeText(int itemNo, int position, const std::string& bytes, TRVDocPos caret)
{
    InsertItemSubstring(Data_, itemNo, position, bytes);
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    const bool unicode = item.IsUnicode();
    const int units = static_cast<int>(bytes.size()) / CharSizeOf(Data_, itemNo);
    for (int k = 0; k < units; ++k)
        Data_.Recording->AddTypedChar(itemNo, position + k, unicode, caret.ItemNo, caret.Offset);
    ClearCheckedFlag(item);
    if (!item.Misspellings)
        return;
    if (units == 1) {
        const TRVItemText text = TRVItemText::Of(Data_, itemNo);
        const bool afterApostrophe = position >= 2 && IsWordApostrophe(text.UnitAt(position - 2), unicode);
        ShiftMarksForTyped(*item.Misspellings, position, Data_.IsDelimiterAt(itemNo, position, Delimiters),
                           afterApostrophe);
    } else {
        ShiftMarksForInserted(*item.Misspellings, position, units);
    }
    TidyMarks(item);
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

// ---------------------------------------------------------------------------------------------
// Items

void TCustomDocViewEdit::RecInsertItem(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item)
{
    Data_.InsertItemAt(index, std::move(text), std::move(item));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoInsertItemInfo>(index));
}

void TCustomDocViewEdit::RecInsertItems(int index, std::vector<TRVItemEntry> items)
{
    const int count = static_cast<int>(items.size());
    Data_.InsertItems(index, std::move(items));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoInsertItemsInfo>(index, count));
}

void TCustomDocViewEdit::RecDeleteItem(int index)
{
    Data_.Recording->AddInfo(std::make_unique<TRVUndoDeleteItemInfo>(index, Data_.ExtractItem(index)));
}

void TCustomDocViewEdit::RecReplaceItem(int itemNo, std::string name, std::unique_ptr<TCustomRVItemInfo> item)
{
    std::unique_ptr<TRVCPInfo> cp;
    if (const TRVCPInfo* old = Data_.ItemAt(itemNo).Checkpoint())
        cp = old->CreateCopy();
    TRVItemEntry old = Data_.ExtractItem(itemNo);
    if (cp)
        item->SetCheckpointDescription(std::move(cp));
    Data_.InsertItemAt(itemNo, std::move(name), std::move(item));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoModifyItemInfo>(itemNo, std::move(old)));
}

// ---------------------------------------------------------------------------------------------
// Fields of an item

void TCustomDocViewEdit::RecSetFlags(int itemNo, std::uint8_t options, int paraNo)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    constexpr std::uint8_t flags = TCustomRVItemInfo::rvioParagraphFlags;
    const std::uint8_t next = std::uint8_t((item.ItemOptions() & ~flags) | (options & flags));
    if (next == item.ItemOptions() && paraNo == item.ParaNo)
        return;
    Data_.ItemChanging(itemNo, next != item.ItemOptions() ? TRVItemChange::ParagraphFlags : TRVItemChange::Content);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoNewLineInfo>(itemNo, item.ItemOptions(), item.ParaNo));
    item.SetItemOptions(next);
    item.ParaNo = paraNo;
}

void TCustomDocViewEdit::RecSetStyle(int itemNo, int styleNo)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.StyleNo == styleNo)
        return;
    Data_.ItemChanging(itemNo);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoStyleNoInfo>(itemNo, item.StyleNo, item.IsUnicode()));
    item.StyleNo = styleNo;
    const TRVStyle* sheet = GetRVStyle();
    item.SetUnicode(sheet && styleNo < sheet->TextStyles.Count() && sheet->TextStyles[styleNo].Unicode);
    // Another style may be another language, a link or a symbol font: the words are read again.
    ClearCheckedFlag(item);
    item.Misspellings.reset();
}

void TCustomDocViewEdit::RecSetTag(int itemNo, std::string tag)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (item.Tag == tag)
        return;
    Data_.ItemChanging(itemNo, TRVItemChange::Data);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoTagInfo>(itemNo, item.Tag));
    item.Tag = std::move(tag);
}

void TCustomDocViewEdit::RecSetAssociatedTextStyle(int itemNo, int styleNo)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    int old = 0;
    if (!GetAssociatedTextStyleNo(item, old) || old == styleNo)
        return;
    Data_.ItemChanging(itemNo);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoAssociatedTextStyleNoInfo>(itemNo, old));
    SetAssociatedTextStyleNo(item, styleNo);
    if (EditorOptions.Contains(rvoClearTagOnStyleApp))
        RecSetTag(itemNo, {});
}

void TCustomDocViewEdit::RecSetParaStyles(int first, int last, const std::vector<int>& styles)
{
    std::vector<int> olds;
    for (int i = first; i <= last; ++i)
        if (i == first || Data_.StartsParagraph(i))
            olds.push_back(Data_.ParaOf(i));
    Data_.ItemsChanging(first, last);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoParaListInfo>(first, last, std::move(olds)));
    std::size_t paragraph = 0;
    for (int i = first; i <= last; ++i) {
        if (i != first && Data_.StartsParagraph(i))
            ++paragraph;
        Data_.ItemAt(i).ParaNo = styles[paragraph];
    }
}

void TCustomDocViewEdit::RecSetExtraIntProperty(int itemNo, TRVExtraItemProperty property, std::int32_t value)
{
    TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    std::int32_t old = 0;
    item.GetExtraIntProperty(property, old);
    Data_.ItemChanging(itemNo);
    Data_.Recording->AddInfo(std::make_unique<TRVUndoExtraIntProperty>(itemNo, property, old));
    item.SetExtraIntProperty(property, value);
}

void TCustomDocViewEdit::RecMoveCheckpoint(int from, int to)
{
    std::unique_ptr<TRVCPInfo> cp = Data_.ItemAt(from).Checkpoint()->CreateCopy();
    Data_.Recording->AddInfo(std::make_unique<TRVUndoDeleteCPInfo>(from, cp->CreateCopy()));
    Data_.RemoveCheckpoint(from);
    Data_.SetCheckpoint(to, std::move(cp));
    Data_.Recording->AddInfo(std::make_unique<TRVUndoAddCPInfo>(to));
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
        RecChangeText(itemNo, convert(old));
        if (toUnicode)
            RecSetStyle(itemNo, styleNo);
    }
    if (EditorOptions.Contains(rvoClearTagOnStyleApp))
        RecSetTag(itemNo, {});
}

// ---------------------------------------------------------------------------------------------
// Composed changes: merging, removing and joining

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

void TCustomDocViewEdit::RecUnifyParagraphStyle(int itemNo)
{
    const int start = Data_.ParagraphFirstItem(itemNo);
    const int paraNo = Data_.ParaOf(start);
    for (int i = start + 1; i <= LastItemOfParagraph(start); ++i)
        RecSetFlags(i, Data_.ItemAt(i).ItemOptions(), paraNo);
}

} // namespace xq

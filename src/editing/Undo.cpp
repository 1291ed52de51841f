// The undo and redo lists and their records.
#include "editing/Undo.h"

#include <algorithm>

#include "document/ItemText.h"
#include "lists/ListItems.h"
#include "platform/DocViewError.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Text helpers

int CharSizeOf(const TCustomRVData& data, int itemNo)
{
    return data.ItemAt(itemNo).IsUnicode() ? 2 : 1;
}

std::string ItemSubstring(const TCustomRVData& data, int itemNo, int position, int count)
{
    const int size = CharSizeOf(data, itemNo);
    return data.TextAt(itemNo).substr(std::size_t((position - 1) * size), std::size_t(count * size));
}

void InsertItemSubstring(TCustomRVData& data, int itemNo, int position, const std::string& s)
{
    const int size = CharSizeOf(data, itemNo);
    std::string text = data.TextAt(itemNo);
    text.insert(std::size_t((position - 1) * size), s);
    data.SetText(itemNo, std::move(text));
}

std::string CutItemSubstring(TCustomRVData& data, int itemNo, int position, int count)
{
    const int size = CharSizeOf(data, itemNo);
    std::string text = data.TextAt(itemNo);
    const std::size_t at = std::size_t((position - 1) * size);
    std::string cut = text.substr(at, std::size_t(count * size));
    text.erase(at, cut.size());
    data.SetText(itemNo, std::move(text));
    return cut;
}

bool GetAssociatedTextStyleNo(const TCustomRVItemInfo& item, int& styleNo) noexcept
{
    if (const auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item)) {
        styleNo = tab->TextStyleNo;
        return true;
    }
    if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) {
        styleNo = label->TextStyleNo;
        return true;
    }
    return false;
}

bool SetAssociatedTextStyleNo(TCustomRVItemInfo& item, int styleNo) noexcept
{
    if (auto* tab = dynamic_cast<TRVTabItemInfo*>(&item)) {
        tab->TextStyleNo = styleNo;
        return true;
    }
    if (auto* label = dynamic_cast<TRVLabelItemInfo*>(&item)) {
        label->TextStyleNo = styleNo;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Records

void TRVUndoInsertSubstringInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    std::string cut = CutItemSubstring(data, ItemNo, Position, Length);
    reverse.AddInfo(std::make_unique<TRVUndoDeleteSubstringInfo>(ItemNo, Position, std::move(cut)));
}

void TRVUndoTypingInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    // Only the last character of the run goes (a character outside the basic plane, typed as its
    // two halves, goes as one); the group stays while characters remain.
    int count = 1;
    if (Length >= 2 && TRVItemText(data.TextAt(ItemNo), Unicode).PairAt(Position + Length - 3))
        count = 2;
    const int at = Position + Length - count;
    std::string cut = CutItemSubstring(data, ItemNo, at, count);
    Length -= count;
    reverse.AddRedoTypedChar(ItemNo, at, cut, Unicode, ItemNo, at);
}

void TRVUndoDeleteSubstringInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    InsertItemSubstring(data, ItemNo, Position, S);
    const int length = static_cast<int>(S.size()) / CharSizeOf(data, ItemNo);
    reverse.AddInfo(std::make_unique<TRVUndoInsertSubstringInfo>(ItemNo, Position, length));
}

void TRVRedoTypingInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    // The first of the removed characters comes back, and is typing again in the undo list.
    const int count = TRVItemText(S, Unicode).PairAt(0) ? 2 : 1;
    const std::size_t size = std::size_t(count) * (Unicode ? 2 : 1);
    InsertItemSubstring(data, ItemNo, Position, S.substr(0, size));
    S.erase(0, size);
    for (int k = 0; k < count; ++k) {
        reverse.AddTypedChar(ItemNo, Position, Unicode, ItemNo, Position);
        ++Position;
    }
}

void TRVUndoChangeTextInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    std::string now = data.TextAt(ItemNo);
    data.SetText(ItemNo, std::move(S));
    reverse.AddInfo(std::make_unique<TRVUndoChangeTextInfo>(ItemNo, std::move(now)));
}

void TRVUndoInsertItemInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(std::make_unique<TRVUndoDeleteItemInfo>(ItemNo, data.ExtractItem(ItemNo)));
}

void TRVUndoDeleteItemInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    data.InsertItemAt(ItemNo, std::move(Entry.Text), std::move(Entry.Item));
    reverse.AddInfo(std::make_unique<TRVUndoInsertItemInfo>(ItemNo));
}

void TRVUndoInsertItemsInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    reverse.AddInfo(std::make_unique<TRVUndoDeleteItemsInfo>(ItemNo, data.ExtractItems(ItemNo, Count)));
}

void TRVUndoDeleteItemsInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    const int count = static_cast<int>(Entries.size());
    data.InsertItems(ItemNo, std::move(Entries));
    reverse.AddInfo(std::make_unique<TRVUndoInsertItemsInfo>(ItemNo, count));
}

void TRVUndoModifyItemInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    TRVItemEntry now = data.ExtractItem(ItemNo);
    data.InsertItemAt(ItemNo, std::move(Old.Text), std::move(Old.Item));
    reverse.AddInfo(std::make_unique<TRVUndoModifyItemInfo>(ItemNo, std::move(now)));
}

void TRVUndoExtraIntProperty::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    std::int32_t now = 0;
    data.ItemAt(ItemNo).GetExtraIntProperty(Property, now);
    data.ItemChanging(ItemNo);
    data.ItemAt(ItemNo).SetExtraIntProperty(Property, Value);
    reverse.AddInfo(std::make_unique<TRVUndoExtraIntProperty>(ItemNo, Property, now));
}

void TRVUndoNewLineInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    TCustomRVItemInfo& item = data.ItemAt(ItemNo);
    data.ItemChanging(ItemNo, TRVItemChange::ParagraphFlags);
    reverse.AddInfo(std::make_unique<TRVUndoNewLineInfo>(ItemNo, item.ItemOptions(), item.ParaNo));
    item.SetItemOptions(std::uint8_t((item.ItemOptions() & TCustomRVItemInfo::rvioUnicode) |
                                     (Options & ~TCustomRVItemInfo::rvioUnicode)));
    item.ParaNo = ParaNo;
}

void TRVUndoStyleNoInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    TCustomRVItemInfo& item = data.ItemAt(ItemNo);
    data.ItemChanging(ItemNo);
    reverse.AddInfo(std::make_unique<TRVUndoStyleNoInfo>(ItemNo, item.StyleNo, item.IsUnicode()));
    item.StyleNo = StyleNo;
    item.SetUnicode(Unicode);
}

void TRVUndoAssociatedTextStyleNoInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    TCustomRVItemInfo& item = data.ItemAt(ItemNo);
    int now = 0;
    if (!GetAssociatedTextStyleNo(item, now))
        return;
    data.ItemChanging(ItemNo);
    reverse.AddInfo(std::make_unique<TRVUndoAssociatedTextStyleNoInfo>(ItemNo, now));
    SetAssociatedTextStyleNo(item, StyleNo);
}

void TRVUndoParaListInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    std::vector<int> now;
    const int last = std::min(LastItemNo, data.Count() - 1);
    data.ItemsChanging(FirstItemNo, last);
    for (int i = FirstItemNo; i <= last; ++i) {
        if (i == FirstItemNo || data.StartsParagraph(i))
            now.push_back(data.ParaOf(i));
        if (now.size() <= List.size())
            data.ItemAt(i).ParaNo = List[now.size() - 1];
    }
    reverse.AddInfo(std::make_unique<TRVUndoParaListInfo>(FirstItemNo, LastItemNo, std::move(now)));
}

void TRVUndoTagInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    TCustomRVItemInfo& item = data.ItemAt(ItemNo);
    data.ItemChanging(ItemNo, TRVItemChange::Data);
    reverse.AddInfo(std::make_unique<TRVUndoTagInfo>(ItemNo, item.Tag));
    item.Tag = std::move(Tag);
}

void TRVUndoAddCPInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    std::unique_ptr<TRVCPInfo> cp = data.ItemAt(ItemNo).Checkpoint()->CreateCopy();
    data.RemoveCheckpoint(ItemNo);
    reverse.AddInfo(std::make_unique<TRVUndoDeleteCPInfo>(ItemNo, std::move(cp)));
}

void TRVUndoDeleteCPInfo::Undo(TCustomRVData& data, TRVUndoList& reverse)
{
    data.SetCheckpoint(ItemNo, std::move(Checkpoint));
    reverse.AddInfo(std::make_unique<TRVUndoAddCPInfo>(ItemNo));
}

// ---------------------------------------------------------------------------------------------
// Groups

bool TRVUndoInfos::IsTyping() const noexcept
{
    return Records.size() == 1 && dynamic_cast<const TRVUndoTypingInfo*>(Records.front().get()) != nullptr;
}

TRVUndoRange TRVUndoInfos::AffectedRange(int count) const
{
    // Each record numbers items as the document stood right after it was made. Records made
    // later shift those numbers down by removals at or before them (never below the smallest
    // number any record touches) and up by at most the number of items they inserted.
    TRVUndoRange range;
    int inserted = 0;
    for (const auto& record : Records) {
        int first = 0, last = 0;
        record->ItemRange(first, last);
        const int delta = record->ItemDelta();
        range.ItemDelta += delta;
        if (delta < 0)
            inserted -= delta;
        range.First = range.First < 0 ? first : std::min(range.First, first);
        range.Last = std::max(range.Last, last);
    }
    if (range.First < 0 || count == 0)
        return {-1, -1, range.ItemDelta};
    range.Last = std::min(range.Last + inserted, count - 1);
    range.First = std::min(range.First, count - 1);
    return range;
}

// ---------------------------------------------------------------------------------------------
// Lists

TRVUndoType TRVUndoList::CurrentUndoType() const noexcept
{
    return Groups_.empty() ? rvutNone : Groups_.back()->StepKind;
}

void TRVUndoList::OpenGroup(TRVUndoType kind, const std::string& title, int caretItemNo, int caretOffs)
{
    std::string caption = title;
    if (!Groups_.empty() && Groups_.back()->Records.empty()) {
        // An operation opened a group and recorded nothing: the new group takes its place.
        caretItemNo = Groups_.back()->CaretItemNo;
        caretOffs = Groups_.back()->CaretOffs;
        if (caption.empty())
            caption = Groups_.back()->StepTitle;
        Groups_.pop_back();
    }
    if (MaxGroups > 0)
        while (Count() >= MaxGroups)
            Groups_.erase(Groups_.begin());
    auto group = std::make_unique<TRVUndoInfos>();
    group->StepKind = kind;
    group->StepTitle = std::move(caption);
    group->CaretItemNo = caretItemNo;
    group->CaretOffs = caretOffs;
    Groups_.push_back(std::move(group));
}

bool TRVUndoList::BeginUndoGroup(TRVUndoType kind, const std::string& title, int caretItemNo, int caretOffs)
{
    if (MaxGroups == 0)
        return false;
    if (JoinDepth <= 0 || Groups_.empty() || Groups_.back()->IsTyping())
        OpenGroup(kind, title, caretItemNo, caretOffs);
    return true;
}

void TRVUndoList::AddInfo(std::unique_ptr<TRVUndoInfo> info)
{
    if (MaxGroups == 0)
        return;
    if (Groups_.empty())
        throw EDocViewError(errUndoListEmpty);
    if (Groups_.back()->IsTyping())
        throw EDocViewError(errUndoIncorrectAdding);
    Groups_.back()->Records.push_back(std::move(info));
}

void TRVUndoList::AddTypedChar(int itemNo, int position, bool unicode, int caretItemNo, int caretOffs)
{
    if (MaxGroups == 0)
        return;
    if (TRVUndoInfos* last = LastGroup(); last && last->IsTyping()) {
        auto& typing = static_cast<TRVUndoTypingInfo&>(*last->Records.front());
        if (typing.ItemNo == itemNo && typing.Position + typing.Length == position) {
            ++typing.Length;
            ++last->CaretOffs;
            return;
        }
    }
    OpenGroup(rvutTyping, {}, caretItemNo, caretOffs);
    Groups_.back()->Records.push_back(std::make_unique<TRVUndoTypingInfo>(itemNo, position, unicode));
}

void TRVUndoList::AddRedoTypedChar(int itemNo, int position, const std::string& chars, bool unicode,
                                   int caretItemNo, int caretOffs)
{
    if (MaxGroups == 0)
        return;
    if (TRVUndoInfos* last = LastGroup(); last && last->StepKind == rvutTyping && last->Records.size() == 1) {
        if (auto* redo = dynamic_cast<TRVRedoTypingInfo*>(last->Records.front().get());
            redo && redo->ItemNo == itemNo && redo->Position == position + static_cast<int>(chars.size()) / (unicode ? 2 : 1)) {
            redo->S.insert(0, chars);
            redo->Position = position;
            last->CaretOffs = caretOffs;
            return;
        }
    }
    OpenGroup(rvutTyping, {}, caretItemNo, caretOffs);
    Groups_.back()->Records.push_back(std::make_unique<TRVRedoTypingInfo>(itemNo, position, chars, unicode));
}

TRVUndoMark TRVUndoList::Mark() const noexcept
{
    return {Groups_.size(), Groups_.empty() ? 0 : Groups_.back()->Records.size()};
}

void TRVUndoList::RollBack(TRVUndoMark mark)
{
    // The reversals are recorded into a list of their own and thrown away with it.
    TRVUndoList scratch(Data_);
    while (!Groups_.empty() && Groups_.size() >= mark.Groups) {
        auto& records = Groups_.back()->Records;
        const std::size_t keep = Groups_.size() == mark.Groups ? mark.Records : 0;
        while (records.size() > keep) {
            TRVUndoInfo& record = *records.back();
            // A typing record goes back one character at a time, until none is left.
            const auto* typing = dynamic_cast<const TRVUndoTypingInfo*>(&record);
            const auto* redo = dynamic_cast<const TRVRedoTypingInfo*>(&record);
            do {
                scratch.Clear();
                scratch.OpenGroup(rvutNone, {}, -1, 0);
                record.Undo(Data_, scratch);
            } while ((typing && typing->Length > 0) || (redo && !redo->S.empty()));
            records.pop_back();
        }
        if (Groups_.size() == mark.Groups)
            break;
        Groups_.pop_back();
    }
}

bool TRVUndoList::AppendTyping(const TRVUndoInfos& group)
{
    if (group.StepKind != rvutTyping || group.Records.size() != 1)
        return false;
    const TRVUndoInfo& record = *group.Records.front();
    if (const auto* typing = dynamic_cast<const TRVUndoTypingInfo*>(&record)) {
        // The log's group was opened by the first character with the caret it was given, and
        // every further one moved that caret on by one.
        const int caretOffs = group.CaretOffs - (typing->Length - 1);
        for (int k = 0; k < typing->Length; ++k)
            AddTypedChar(typing->ItemNo, typing->Position + k, typing->Unicode, group.CaretItemNo, caretOffs);
        return true;
    }
    if (const auto* redo = dynamic_cast<const TRVRedoTypingInfo*>(&record)) {
        AddRedoTypedChar(redo->ItemNo, redo->Position, redo->S, redo->Unicode, group.CaretItemNo, group.CaretOffs);
        return true;
    }
    return false;
}

void TRVUndoList::Append(TRVUndoList& log, TRVGroupJoin join)
{
    for (std::unique_ptr<TRVUndoInfos>& group : log.Groups_) {
        if (group->Records.empty() || AppendTyping(*group))
            continue;
        const std::int32_t joinDepth = JoinDepth;
        if (join == TRVGroupJoin::Own)
            JoinDepth = 0;
        const bool opened = BeginUndoGroup(group->StepKind, group->StepTitle, group->CaretItemNo, group->CaretOffs);
        JoinDepth = joinDepth;
        if (!opened)
            continue;
        auto& records = Groups_.back()->Records;
        for (std::unique_ptr<TRVUndoInfo>& record : group->Records)
            records.push_back(std::move(record));
    }
    log.Clear();
}

void TRVUndoList::Execute(TRVUndoList& reverse, int nowItemNo, int nowOffs, int& caretItemNo, int& caretOffs)
{
    if (Groups_.empty())
        throw EDocViewError(errUndoBufferEmpty);
    TRVUndoInfos& group = *Groups_.back();
    if (group.StepKind == rvutTyping && group.Records.size() == 1) {
        // Typing goes back and forth one character at a time; its records keep their own
        // groups in the other list.
        TRVUndoInfo& record = *group.Records.front();
        record.Undo(Data_, reverse);
        bool exhausted = false;
        if (auto* typing = dynamic_cast<TRVUndoTypingInfo*>(&record)) {
            caretItemNo = typing->ItemNo;
            caretOffs = typing->Position + typing->Length;
            group.CaretOffs = caretOffs - 1;
            exhausted = typing->Length == 0;
        } else {
            auto& redo = static_cast<TRVRedoTypingInfo&>(record);
            caretItemNo = redo.ItemNo;
            caretOffs = redo.Position;
            exhausted = redo.S.empty();
        }
        if (exhausted)
            Groups_.pop_back();
        return;
    }
    // Reversing the reversal puts the caret back where it is now; it is always a group of its own.
    const std::int32_t joinDepth = reverse.JoinDepth;
    reverse.JoinDepth = 0;
    reverse.BeginUndoGroup(group.StepKind, group.StepTitle, nowItemNo, nowOffs);
    reverse.JoinDepth = joinDepth;
    for (auto it = group.Records.rbegin(); it != group.Records.rend(); ++it)
        (*it)->Undo(Data_, reverse);
    caretItemNo = group.CaretItemNo;
    caretOffs = group.CaretOffs;
    Groups_.pop_back();
}

} // namespace xq

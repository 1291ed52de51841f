// The item container: adding and removing items, checkpoints, extra properties.
#include "document/RVData.h"

#include <algorithm>

#include "document/RVStyle.h"
#include "platform/CodePage.h"
#include "platform/DocViewError.h"

namespace xq {

TCustomRVData::TCustomRVData(TRVStyle* sheet) noexcept : Sheet_(sheet)
{
    Own_.Home = this;
}

TCustomRVData::TCustomRVData(TCustomRVData* parent) noexcept : Parent_(parent)
{
    Own_.Home = this;
}

TCustomRVData::~TCustomRVData()
{
    BorrowContentOf(nullptr);
    if (Own_.Borrower)
        Own_.Borrower->BorrowContentOf(nullptr);
    // Items leave their lists before they go; nothing is renumbered any more.
    Own_.Markers.clear();
    Own_.Sequences.clear();
    Own_.FirstCP = Own_.LastCP = nullptr;
}

void TCustomRVData::BorrowContentOf(TCustomRVData* other) noexcept
{
    if (C_ != &Own_)
        C_->Borrower = nullptr;
    C_ = &Own_;
    if (other && other != this) {
        if (other->Own_.Borrower)
            other->Own_.Borrower->BorrowContentOf(nullptr);
        other->Own_.Borrower = this;
        C_ = &other->Own_;
    }
}

TRVStyle* TCustomRVData::GetRVStyle() const noexcept
{
    return Parent_ ? Parent_->GetRVStyle() : Sheet_;
}

const TCustomRVData& TCustomRVData::GetRootData() const noexcept
{
    const TCustomRVData* d = this;
    while (d->Parent_)
        d = d->Parent_;
    return *d;
}

void TCustomRVData::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EDocViewError(errItemIndexOutOfBounds);
}

void TCustomRVData::CheckUnicodeText(const TCustomRVItemInfo& item, const std::string& text) const
{
    if (item.IsText() && item.IsUnicode() && text.size() % 2 != 0)
        throw EDocViewError(errUnicodeOperation);
}

TCustomRVItemInfo& TCustomRVData::ItemAt(int index) const
{
    CheckIndex(index);
    return *C_->Items[std::size_t(index)].Item;
}

const std::string& TCustomRVData::TextAt(int index) const
{
    CheckIndex(index);
    return C_->Items[std::size_t(index)].Text;
}

void TCustomRVData::SetText(int index, std::string text)
{
    CheckIndex(index);
    CheckUnicodeText(*C_->Items[std::size_t(index)].Item, text);
    ItemChanging(index);
    C_->Items[std::size_t(index)].Text = std::move(text);
}

int TCustomRVData::ActualStyleOf(int index) const
{
    const TCustomRVItemInfo& item = ItemAt(index);
    if (item.StyleNo != rvsDefStyle)
        return item.StyleNo;
    const TRVStyle* sheet = GetRVStyle();
    const int def = sheet ? sheet->ParaStyles.StyleAt(item.ParaNo).DefStyleNo : -1;
    return def < 0 ? 0 : def;
}

int TCustomRVData::ItemLength(int index) const
{
    const TCustomRVItemInfo& item = ItemAt(index);
    if (!item.IsText())
        return 0;
    const auto bytes = static_cast<int>(C_->Items[std::size_t(index)].Text.size());
    return item.IsUnicode() ? bytes / 2 : bytes;
}

int TCustomRVData::OffsetBefore(int index) const
{
    return ItemAt(index).IsText() ? 1 : 0;
}

int TCustomRVData::OffsetAfter(int index) const
{
    return ItemAt(index).IsText() ? ItemLength(index) + 1 : 1;
}

int TCustomRVData::IndexOf(const TCustomRVItemInfo* item) const noexcept
{
    for (int i = 0; i < Count(); ++i)
        if (C_->Items[std::size_t(i)].Item.get() == item)
            return i;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Adding

bool TCustomRVData::NumberingDeferred() const noexcept
{
    for (const TCustomRVData* data = this; data; data = data->Parent_)
        if (data->NumberingDeferred_)
            return true;
    return false;
}

void TCustomRVData::AppendItem(std::string text, std::unique_ptr<TCustomRVItemInfo> item)
{
    CheckUnicodeText(*item, text);
    const TCustomRVItemInfo* last = C_->Items.empty() ? nullptr : C_->Items.back().Item.get();

    // A full-line item never continues a paragraph, whatever its ParaNo says.
    if (item->ParaNo == -1 && last && !last->IsFullLine() && !item->IsFullLine()) {
        item->SetContinuesPara(true);
        item->ParaNo = last->ParaNo;
    } else {
        if (last && last->IsListMarker()) {
            // A marker is never the last item of its paragraph.
            AppendText({}, 0, -1);
            last = C_->Items.back().Item.get();
        }
        // NewPageBefore stays as it is; NewLine only inside a paragraph that can take it.
        const bool newLine = (item->NewLine() || !AllowNewParagraphs) && !item->IsFullLine() && last != nullptr &&
                             !last->IsFullLine();
        std::uint8_t options = item->Options_ & ~(TCustomRVItemInfo::rvioContinuesPara | TCustomRVItemInfo::rvioNewLine);
        if (newLine)
            options |= TCustomRVItemInfo::rvioNewLine;
        item->Options_ = options;
        if (item->ParaNo == -1)
            item->ParaNo = 0;
        if (newLine)
            item->ParaNo = last->ParaNo;
    }

    TellInserting(Count(), 1);
    if (item->Checkpoint_)
        C_->PendingCP = std::move(item->Checkpoint_);
    const bool hasCP = C_->PendingCP != nullptr;
    if (hasCP)
        item->Checkpoint_ = std::move(C_->PendingCP);

    TCustomRVItemInfo& added = *item;
    C_->Items.push_back(TRVItemEntry{std::move(text), std::move(item)});
    const int index = Count() - 1;
    if (hasCP)
        LinkCheckpoint(index);
    added.OnInserted(*C_->Home, index);
}

std::unique_ptr<TCustomRVItemInfo> TCustomRVData::NewTextItem(int styleNo, int paraNo, std::string tag,
                                                              int& codePage) const
{
    auto item = std::make_unique<TRVTextItemInfo>(styleNo < 0 ? rvsDefStyle : styleNo);
    item->ParaNo = paraNo;
    item->Tag = std::move(tag);
    codePage = 0;
    if (const TRVStyle* sheet = GetRVStyle()) {
        int shown = item->StyleNo;
        if (shown == rvsDefStyle) {
            // The paragraph's default text style decides, as it will when the text is shown.
            const int para = paraNo >= 0 || C_->Items.empty() ? paraNo : C_->Items.back().Item->ParaNo;
            shown = std::max(0, sheet->ParaStyles.StyleAt(para).DefStyleNo);
        }
        item->SetUnicode(sheet->TextStyles.StyleAt(shown).Unicode);
        codePage = sheet->CodePageOfStyle(shown);
    }
    return item;
}

void TCustomRVData::AppendText(std::string_view text, int styleNo, int paraNo, std::string tag)
{
    int codePage;
    auto item = NewTextItem(styleNo, paraNo, std::move(tag), codePage);
    std::string stored = item->IsUnicode() ? AnsiToUnicodeBytes(text, codePage) : std::string(text);
    AppendItem(std::move(stored), std::move(item));
}

void TCustomRVData::AppendTextW(std::u16string_view text, int styleNo, int paraNo, std::string tag)
{
    int codePage;
    auto item = NewTextItem(styleNo, paraNo, std::move(tag), codePage);
    std::string stored = item->IsUnicode() ? BytesFromUtf16(text) : UnicodeToAnsi(text, codePage);
    AppendItem(std::move(stored), std::move(item));
}

void TCustomRVData::AppendPlain(std::string text, int styleNo, int paraNo)
{
    int codePage;
    AppendItem(std::move(text), NewTextItem(styleNo, paraNo, {}, codePage));
}

void TCustomRVData::AppendTextExpandingTabs(std::string_view text, int styleNo, int paraNo, std::string tag)
{
    const TRVStyle* sheet = GetRVStyle();
    const std::size_t spaces = sheet ? std::size_t(std::max(0, sheet->SpacesInTab)) : 8;
    std::string expanded;
    expanded.reserve(text.size());
    for (char c : text) {
        if (c == '\t')
            expanded.append(spaces, ' ');
        else
            expanded.push_back(c);
    }
    AppendText(expanded, styleNo, paraNo, std::move(tag));
}

void TCustomRVData::InsertItemAt(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item)
{
    if (index < 0 || index > Count())
        throw EDocViewError(errItemIndexOutOfBounds);
    CheckUnicodeText(*item, text);
    TellInserting(index, 1);
    TCustomRVItemInfo& added = *item;
    C_->Items.insert(C_->Items.begin() + index, TRVItemEntry{std::move(text), std::move(item)});
    if (added.Checkpoint_)
        LinkCheckpoint(index);
    added.OnInserted(*C_->Home, index);
}

// ---------------------------------------------------------------------------------------------
// Removing

void TCustomRVData::ReleaseItemAt(int index)
{
    TCustomRVItemInfo& item = *C_->Items[std::size_t(index)].Item;
    item.OnRemoving(*C_->Home);
    if (item.Checkpoint_)
        UnlinkCheckpoint(item.Checkpoint_.get());
}

void TCustomRVData::RemoveItems(int first, int count)
{
    if (count <= 0)
        return;
    CheckIndex(first);
    const int last = first + std::min(count, Count() - first);
    TellRemoving(first, last - first);
    for (int i = last - 1; i >= first; --i)
        ReleaseItemAt(i);
    C_->Items.erase(C_->Items.begin() + first, C_->Items.begin() + last);
}

TRVItemEntry TCustomRVData::ExtractItem(int index)
{
    CheckIndex(index);
    TellRemoving(index, 1);
    ReleaseItemAt(index);
    TRVItemEntry entry = std::move(C_->Items[std::size_t(index)]);
    C_->Items.erase(C_->Items.begin() + index);
    return entry;
}

void TCustomRVData::Clear()
{
    TellRemoving(0, Count());
    // The lists go first, so that leaving items have nothing to renumber.
    C_->Markers.clear();
    C_->Sequences.clear();
    for (int i = Count() - 1; i >= 0; --i)
        C_->Items[std::size_t(i)].Item->OnRemoving(*C_->Home);
    C_->Items.clear();
    C_->FirstCP = C_->LastCP = nullptr;
    C_->CPCount = 0;
    C_->PendingCP.reset();
}

void TCustomRVData::InsertItemsFrom(TCustomRVData& source, int index)
{
    if (index < 0 || index > Count())
        throw EDocViewError(errItemIndexOutOfBounds);
    if (source.C_ == C_ || source.Empty())
        return;
    std::vector<TRVItemEntry> moved = std::move(source.C_->Items);
    source.C_->Items.clear();
    source.C_->Markers.clear();
    source.C_->Sequences.clear();
    source.RelinkCheckpoints();
    InsertItems(index, std::move(moved));
}

void TCustomRVData::InsertItems(int index, std::vector<TRVItemEntry> items)
{
    if (index < 0 || index > Count())
        throw EDocViewError(errItemIndexOutOfBounds);
    for (const TRVItemEntry& entry : items)
        CheckUnicodeText(*entry.Item, entry.Text);
    const auto count = static_cast<int>(items.size());
    TellInserting(index, count);
    C_->Items.insert(C_->Items.begin() + index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    RelinkCheckpoints();
    for (int k = 0; k < count; ++k)
        C_->Items[std::size_t(index + k)].Item->OnInserted(*C_->Home, index + k);
}

std::vector<TRVItemEntry> TCustomRVData::ExtractItems(int first, int count)
{
    if (count <= 0)
        return {};
    CheckIndex(first);
    const int last = first + std::min(count, Count() - first);
    TellRemoving(first, last - first);
    for (int i = last - 1; i >= first; --i)
        ReleaseItemAt(i);
    std::vector<TRVItemEntry> taken(std::make_move_iterator(C_->Items.begin() + first),
                                    std::make_move_iterator(C_->Items.begin() + last));
    C_->Items.erase(C_->Items.begin() + first, C_->Items.begin() + last);
    return taken;
}

// ---------------------------------------------------------------------------------------------
// Checkpoints

int TCustomRVData::CreatePendingCheckpoint(std::string name, bool raiseEvent, std::string tag)
{
    if (!C_->PendingCP) {
        C_->PendingCP = std::make_unique<TRVCPInfo>();
        C_->PendingCP->Name = std::move(name);
        C_->PendingCP->RaiseEvent = raiseEvent;
        C_->PendingCP->Tag = std::move(tag);
    }
    return C_->CPCount;
}

void TCustomRVData::LinkCheckpoint(int index)
{
    TCustomRVItemInfo& item = *C_->Items[std::size_t(index)].Item;
    TRVCPInfo* cp = item.Checkpoint_.get();
    cp->ItemInfo = &item;

    TRVCPInfo* prev = nullptr;
    if (C_->LastCP && C_->LastCP->ItemInfo != &item && index == Count() - 1) {
        prev = C_->LastCP; // appending: the common case
    } else {
        for (int i = index - 1; i >= 0 && !prev; --i)
            prev = C_->Items[std::size_t(i)].Item->Checkpoint_.get();
    }
    cp->Prev = prev;
    cp->Next = prev ? prev->Next : C_->FirstCP;
    (prev ? prev->Next : C_->FirstCP) = cp;
    (cp->Next ? cp->Next->Prev : C_->LastCP) = cp;
    ++C_->CPCount;
}

void TCustomRVData::UnlinkCheckpoint(TRVCPInfo* cp) noexcept
{
    (cp->Prev ? cp->Prev->Next : C_->FirstCP) = cp->Next;
    (cp->Next ? cp->Next->Prev : C_->LastCP) = cp->Prev;
    cp->Prev = cp->Next = nullptr;
    --C_->CPCount;
}

void TCustomRVData::RelinkCheckpoints() noexcept
{
    C_->FirstCP = C_->LastCP = nullptr;
    C_->CPCount = 0;
    for (TRVItemEntry& entry : C_->Items) {
        TRVCPInfo* cp = entry.Item->Checkpoint_.get();
        if (!cp)
            continue;
        cp->ItemInfo = entry.Item.get();
        cp->Prev = C_->LastCP;
        cp->Next = nullptr;
        (C_->LastCP ? C_->LastCP->Next : C_->FirstCP) = cp;
        C_->LastCP = cp;
        ++C_->CPCount;
    }
}

void TCustomRVData::SetCheckpoint(int index, std::unique_ptr<TRVCPInfo> cp)
{
    RemoveCheckpoint(index);
    if (!cp)
        return;
    ItemChanging(index);
    C_->Items[std::size_t(index)].Item->Checkpoint_ = std::move(cp);
    LinkCheckpoint(index);
}

void TCustomRVData::RemoveCheckpoint(int index)
{
    TCustomRVItemInfo& item = ItemAt(index);
    if (!item.Checkpoint_)
        return;
    ItemChanging(index);
    UnlinkCheckpoint(item.Checkpoint_.get());
    item.Checkpoint_.reset();
}

// ---------------------------------------------------------------------------------------------
// Extra properties

std::int32_t TCustomRVData::GetItemExtraIntProperty(int index, TRVExtraItemProperty prop) const
{
    std::int32_t value = 0;
    if (!ItemAt(index).GetExtraIntProperty(prop, value))
        throw EDocViewError(errCantGetSetInfo);
    return value;
}

void TCustomRVData::SetItemExtraIntProperty(int index, TRVExtraItemProperty prop, std::int32_t value)
{
    TCustomRVItemInfo& item = ItemAt(index);
    ItemChanging(index);
    if (!item.SetExtraIntProperty(prop, value))
        throw EDocViewError(errCantGetSetInfo);
}

std::string TCustomRVData::GetItemExtraStrProperty(int index, TRVExtraItemStrProperty prop) const
{
    std::string value;
    if (!ItemAt(index).GetExtraStrProperty(prop, value))
        throw EDocViewError(errCantGetSetInfo);
    return value;
}

void TCustomRVData::SetItemExtraStrProperty(int index, TRVExtraItemStrProperty prop, const std::string& value)
{
    TCustomRVItemInfo& item = ItemAt(index);
    ItemChanging(index);
    if (!item.SetExtraStrProperty(prop, value))
        throw EDocViewError(errCantGetSetInfo);
}

// ---------------------------------------------------------------------------------------------

void TCustomRVData::AssignDocument(const TCustomRVData& source)
{
    if (source.C_ == C_)
        return;
    if (source.GetRootData().TagsArePChars != GetRootData().TagsArePChars)
        throw EDocViewError(errTagsTypesMismatch);
    Clear();
    for (const TRVItemEntry& entry : source.C_->Items)
        InsertItemAt(Count(), entry.Text, entry.Item->CreateCopy(true));
    if (source.C_->PendingCP)
        C_->PendingCP = source.C_->PendingCP->CreateCopy();
}

void ForEachContainer(TCustomRVData& data, const std::function<void(TCustomRVData&)>& fn)
{
    fn(data);
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (TCustomRVData* sub = item.SubDocument(k))
                ForEachContainer(*sub, fn);
    }
}

} // namespace xq

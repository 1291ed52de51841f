// The item container: adding and removing items, checkpoints, extra properties.
#include "document/RVData.h"

#include <algorithm>

#include "document/RVStyle.h"
#include "platform/CodePage.h"
#include "platform/DocViewError.h"

namespace xq {

TCustomRVData::TCustomRVData(TRVStyle* sheet) noexcept : Sheet_(sheet) {}

TCustomRVData::TCustomRVData(TCustomRVData* parent) noexcept : Parent_(parent) {}

TCustomRVData::~TCustomRVData()
{
    // Items leave their lists before they go; nothing is renumbered any more.
    Markers_.clear();
    Sequences_.clear();
    FirstCP_ = LastCP_ = nullptr;
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
    return *Items_[std::size_t(index)].Item;
}

const std::string& TCustomRVData::TextAt(int index) const
{
    CheckIndex(index);
    return Items_[std::size_t(index)].Text;
}

void TCustomRVData::SetText(int index, std::string text)
{
    CheckIndex(index);
    CheckUnicodeText(*Items_[std::size_t(index)].Item, text);
    ItemChanging(index);
    Items_[std::size_t(index)].Text = std::move(text);
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
    const auto bytes = static_cast<int>(Items_[std::size_t(index)].Text.size());
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
        if (Items_[std::size_t(i)].Item.get() == item)
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
    const TCustomRVItemInfo* last = Items_.empty() ? nullptr : Items_.back().Item.get();

    // A full-line item never continues a paragraph, whatever its ParaNo says.
    if (item->ParaNo == -1 && last && !last->IsFullLine() && !item->IsFullLine()) {
        item->SetContinuesPara(true);
        item->ParaNo = last->ParaNo;
    } else {
        if (last && last->IsListMarker()) {
            // A marker is never the last item of its paragraph.
            AppendText({}, 0, -1);
            last = Items_.back().Item.get();
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
        PendingCP_ = std::move(item->Checkpoint_);
    const bool hasCP = PendingCP_ != nullptr;
    if (hasCP)
        item->Checkpoint_ = std::move(PendingCP_);

    TCustomRVItemInfo& added = *item;
    Items_.push_back(TRVItemEntry{std::move(text), std::move(item)});
    const int index = Count() - 1;
    if (hasCP)
        LinkCheckpoint(index);
    added.OnInserted(*this, index);
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
            const int para = paraNo >= 0 || Items_.empty() ? paraNo : Items_.back().Item->ParaNo;
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
    Items_.insert(Items_.begin() + index, TRVItemEntry{std::move(text), std::move(item)});
    if (added.Checkpoint_)
        LinkCheckpoint(index);
    added.OnInserted(*this, index);
}

// ---------------------------------------------------------------------------------------------
// Removing

void TCustomRVData::ReleaseItemAt(int index)
{
    TCustomRVItemInfo& item = *Items_[std::size_t(index)].Item;
    item.OnRemoving(*this);
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
    Items_.erase(Items_.begin() + first, Items_.begin() + last);
}

TRVItemEntry TCustomRVData::ExtractItem(int index)
{
    CheckIndex(index);
    TellRemoving(index, 1);
    ReleaseItemAt(index);
    TRVItemEntry entry = std::move(Items_[std::size_t(index)]);
    Items_.erase(Items_.begin() + index);
    return entry;
}

void TCustomRVData::Clear()
{
    TellRemoving(0, Count());
    // The lists go first, so that leaving items have nothing to renumber.
    Markers_.clear();
    Sequences_.clear();
    for (int i = Count() - 1; i >= 0; --i)
        Items_[std::size_t(i)].Item->OnRemoving(*this);
    Items_.clear();
    FirstCP_ = LastCP_ = nullptr;
    CPCount_ = 0;
    PendingCP_.reset();
}

void TCustomRVData::InsertItemsFrom(TCustomRVData& source, int index)
{
    if (index < 0 || index > Count())
        throw EDocViewError(errItemIndexOutOfBounds);
    if (&source == this || source.Empty())
        return;
    std::vector<TRVItemEntry> moved = std::move(source.Items_);
    source.Items_.clear();
    source.Markers_.clear();
    source.Sequences_.clear();
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
    Items_.insert(Items_.begin() + index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    RelinkCheckpoints();
    for (int k = 0; k < count; ++k)
        Items_[std::size_t(index + k)].Item->OnInserted(*this, index + k);
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
    std::vector<TRVItemEntry> taken(std::make_move_iterator(Items_.begin() + first),
                                    std::make_move_iterator(Items_.begin() + last));
    Items_.erase(Items_.begin() + first, Items_.begin() + last);
    return taken;
}

// ---------------------------------------------------------------------------------------------
// Checkpoints

int TCustomRVData::CreatePendingCheckpoint(std::string name, bool raiseEvent, std::string tag)
{
    if (!PendingCP_) {
        PendingCP_ = std::make_unique<TRVCPInfo>();
        PendingCP_->Name = std::move(name);
        PendingCP_->RaiseEvent = raiseEvent;
        PendingCP_->Tag = std::move(tag);
    }
    return CPCount_;
}

void TCustomRVData::LinkCheckpoint(int index)
{
    TCustomRVItemInfo& item = *Items_[std::size_t(index)].Item;
    TRVCPInfo* cp = item.Checkpoint_.get();
    cp->ItemInfo = &item;

    TRVCPInfo* prev = nullptr;
    if (LastCP_ && LastCP_->ItemInfo != &item && index == Count() - 1) {
        prev = LastCP_; // appending: the common case
    } else {
        for (int i = index - 1; i >= 0 && !prev; --i)
            prev = Items_[std::size_t(i)].Item->Checkpoint_.get();
    }
    cp->Prev = prev;
    cp->Next = prev ? prev->Next : FirstCP_;
    (prev ? prev->Next : FirstCP_) = cp;
    (cp->Next ? cp->Next->Prev : LastCP_) = cp;
    ++CPCount_;
}

void TCustomRVData::UnlinkCheckpoint(TRVCPInfo* cp) noexcept
{
    (cp->Prev ? cp->Prev->Next : FirstCP_) = cp->Next;
    (cp->Next ? cp->Next->Prev : LastCP_) = cp->Prev;
    cp->Prev = cp->Next = nullptr;
    --CPCount_;
}

void TCustomRVData::RelinkCheckpoints() noexcept
{
    FirstCP_ = LastCP_ = nullptr;
    CPCount_ = 0;
    for (TRVItemEntry& entry : Items_) {
        TRVCPInfo* cp = entry.Item->Checkpoint_.get();
        if (!cp)
            continue;
        cp->ItemInfo = entry.Item.get();
        cp->Prev = LastCP_;
        cp->Next = nullptr;
        (LastCP_ ? LastCP_->Next : FirstCP_) = cp;
        LastCP_ = cp;
        ++CPCount_;
    }
}

void TCustomRVData::SetCheckpoint(int index, std::unique_ptr<TRVCPInfo> cp)
{
    RemoveCheckpoint(index);
    if (!cp)
        return;
    ItemChanging(index);
    Items_[std::size_t(index)].Item->Checkpoint_ = std::move(cp);
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
    if (&source == this)
        return;
    if (source.GetRootData().TagsArePChars != GetRootData().TagsArePChars)
        throw EDocViewError(errTagsTypesMismatch);
    Clear();
    for (const TRVItemEntry& entry : source.Items_)
        InsertItemAt(Count(), entry.Text, entry.Item->CreateCopy(true));
    if (source.PendingCP_)
        PendingCP_ = source.PendingCP_->CreateCopy();
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

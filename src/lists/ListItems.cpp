// Markers, labels, sequences and notes: copying, style references and joining the container's lists.
#include "lists/ListItems.h"

#include <vector>

#include "document/ItemRegistry.h"
#include "document/RVStyle.h"
#include "lists/Numbering.h"

namespace xq {

namespace {

/// Puts item at pos of a container list and refreshes the cached positions behind it.
template <class T>
void Enter(std::vector<T*>& list, T& item, int pos)
{
    list.insert(list.begin() + pos, &item);
    for (std::size_t k = std::size_t(pos); k < list.size(); ++k)
        list[k]->PosInList = static_cast<std::int32_t>(k);
}

/// Takes the entry at pos out of a container list and refreshes the cached positions behind it.
template <class T>
void Leave(std::vector<T*>& list, int pos)
{
    list[std::size_t(pos)]->PosInList = -1;
    list.erase(list.begin() + pos);
    for (std::size_t k = std::size_t(pos); k < list.size(); ++k)
        list[k]->PosInList = static_cast<std::int32_t>(k);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TRVMarkerItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVMarkerItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVMarkerItemInfo>();
}

void TRVMarkerItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVRectItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVMarkerItemInfo*>(&source)) {
        ListNo = s->ListNo;
        Level = s->Level;
        Counter = s->Counter;
        Reset = s->Reset;
        StartFrom = s->StartFrom;
        DisplayText = s->DisplayText;
        NoHTMLImageSize = s->NoHTMLImageSize;
    }
}

void TRVMarkerItemInfo::MarkStylesInUse(TRVStyleUsage& usage) const
{
    TRVRectItemInfo::MarkStylesInUse(usage);
    usage.UseList(ListNo);
}

void TRVMarkerItemInfo::UpdateStyles(const TRVStyleRenumbering& map)
{
    TRVRectItemInfo::UpdateStyles(map);
    ListNo = map.NewList(ListNo);
}

void TRVMarkerItemInfo::OnInserted(TCustomRVData& owner, int index)
{
    const int pos = MarkersBeforeItem(owner, index);
    Enter(owner.Markers(), *this, pos);
    if (!owner.NumberingDeferred())
        RenumberFrom(owner, pos);
}

void TRVMarkerItemInfo::OnRemoving(TCustomRVData& owner)
{
    const int pos = FindMarker(owner, *this);
    if (pos < 0)
        return; // the container let go of its lists already
    Leave(owner.Markers(), pos);
    if (!owner.NumberingDeferred())
        RenumberListFrom(owner, ListNo, pos);
}

// ---------------------------------------------------------------------------------------------
// TRVLabelItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVLabelItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVLabelItemInfo>();
}

void TRVLabelItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVRectItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVLabelItemInfo*>(&source)) {
        TextStyleNo = s->TextStyleNo;
        Text = s->Text;
        MinWidth = s->MinWidth;
        Alignment = s->Alignment;
        ProtectTextStyleNo = s->ProtectTextStyleNo;
    }
}

void TRVLabelItemInfo::MarkStylesInUse(TRVStyleUsage& usage) const
{
    TRVRectItemInfo::MarkStylesInUse(usage);
    usage.UseText(TextStyleNo);
}

void TRVLabelItemInfo::UpdateStyles(const TRVStyleRenumbering& map)
{
    TRVRectItemInfo::UpdateStyles(map);
    TextStyleNo = map.NewText(TextStyleNo);
    if (TextStyleNo < 0)
        TextStyleNo = 0;
}

// ---------------------------------------------------------------------------------------------
// TRVSeqItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVSeqItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVSeqItemInfo>();
}

void TRVSeqItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVLabelItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVSeqItemInfo*>(&source)) {
        SeqName = s->SeqName;
        NumberType = s->NumberType;
        FormatText = s->FormatText;
        Reset = s->Reset;
        StartFrom = s->StartFrom;
        Counter = s->Counter;
    }
}

void TRVSeqItemInfo::OnInserted(TCustomRVData& owner, int index)
{
    const int pos = SequencesBeforeItem(owner, index);
    Enter(owner.Sequences(), *this, pos);
    if (!owner.NumberingDeferred())
        RenumberSequencesFrom(owner, SeqName, pos);
}

void TRVSeqItemInfo::OnRemoving(TCustomRVData& owner)
{
    const int pos = FindSequence(owner, *this);
    if (pos < 0)
        return;
    Leave(owner.Sequences(), pos);
    if (!owner.NumberingDeferred())
        RenumberSequencesFrom(owner, SeqName, pos);
}

// ---------------------------------------------------------------------------------------------
// Notes

TCustomRVNoteItemInfo::TCustomRVNoteItemInfo(int styleNo, const char* seqName)
    : TRVSeqItemInfo(styleNo), NoteText_(std::make_unique<TRVSubData>(nullptr, this))
{
    SeqName = seqName;
}

TCustomRVNoteItemInfo::~TCustomRVNoteItemInfo() = default;

void TCustomRVNoteItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVSeqItemInfo::Assign(source);
    auto* s = dynamic_cast<const TCustomRVNoteItemInfo*>(&source);
    if (!s || s == this)
        return;
    NoteText_->Clear();
    const TRVSubData& from = s->NoteText();
    for (int i = 0; i < from.Count(); ++i)
        NoteText_->InsertItemAt(NoteText_->Count(), from.TextAt(i), from.ItemAt(i).CreateCopy(true));
}

TCustomRVData* TCustomRVNoteItemInfo::SubDocument(int index) const noexcept
{
    return index == 0 ? NoteText_.get() : nullptr;
}

void TCustomRVNoteItemInfo::OnInserted(TCustomRVData& owner, int index)
{
    NoteText_->AttachTo(&owner);
    TRVSeqItemInfo::OnInserted(owner, index);
    // The note text now continues the lists of its new surroundings.
    if (!owner.NumberingDeferred())
        RenumberAll(*NoteText_);
}

void TCustomRVNoteItemInfo::OnRemoving(TCustomRVData& owner)
{
    TRVSeqItemInfo::OnRemoving(owner);
    // A note taken out may outlive the container it came from.
    NoteText_->AttachTo(nullptr);
}

TRVSeqType TRVFootnoteItemInfo::NumberingType(const TRVStyle* sheet) const noexcept
{
    return sheet ? sheet->FootnoteNumbering : NumberType;
}

std::unique_ptr<TCustomRVItemInfo> TRVFootnoteItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVFootnoteItemInfo>();
}

TRVSeqType TRVEndnoteItemInfo::NumberingType(const TRVStyle* sheet) const noexcept
{
    return sheet ? sheet->EndnoteNumbering : NumberType;
}

std::unique_ptr<TCustomRVItemInfo> TRVEndnoteItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVEndnoteItemInfo>();
}

std::unique_ptr<TCustomRVItemInfo> TRVNoteReferenceItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVNoteReferenceItemInfo>();
}

void TRVNoteReferenceItemInfo::OnInserted(TCustomRVData& owner, int index)
{
    if (const auto* text = dynamic_cast<const TRVSubData*>(&owner))
        if (const auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(text->OwnerItem()))
            Text = note->Text;
}

// ---------------------------------------------------------------------------------------------

void RegisterListItemKinds()
{
    RegisterItemKind<TRVMarkerItemInfo>(rvsListMarker);
    RegisterItemKind<TRVLabelItemInfo>(rvsLabel);
    RegisterItemKind<TRVSeqItemInfo>(rvsSequence);
    RegisterItemKind<TRVFootnoteItemInfo>(rvsFootnote);
    RegisterItemKind<TRVEndnoteItemInfo>(rvsEndnote);
    RegisterItemKind<TRVNoteReferenceItemInfo>(rvsNoteReference);
}

} // namespace xq

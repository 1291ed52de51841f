// Whether an edit may start and what it may do: the gate every modification passes, the change
// signal after it, and the rules the operations ask about items - read-only paragraphs, protected
// text styles, persistent checkpoints, the merge rule - and the form new text takes.
#include <algorithm>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr TRVProtectOption StickingOptions[] = {rvprSticking, rvprSticking2, rvprSticking3};

} // namespace

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
    struct TNotifying {
        int& Depth;
        explicit TNotifying(int& depth) : Depth(++depth) {}
        ~TNotifying() { --Depth; }
    } notifying(Notifying_);
    Modified_ = true;
    Data_.SoftPageBreaks().clear();
    if (clearRedo)
        Data_.RedoList.Clear();
    if (OnChange)
        OnChange(*this);
    // A cell editor's change is a change of the table in the editor around it.
    if (Outer_)
        Outer_->CellChanged(clearRedo);
}

// ---------------------------------------------------------------------------------------------
// Protections

bool TCustomDocViewEdit::ParaReadOnly(int itemNo) const
{
    const TRVStyle* sheet = GetRVStyle();
    const int paraNo = Data_.ParaOf(itemNo);
    return sheet && paraNo >= 0 && paraNo < sheet->ParaStyles.Count() &&
           sheet->ParaStyles[paraNo].Options.Contains(rvpaoReadOnly);
}

bool TCustomDocViewEdit::ValidTextStyle(int styleNo) const noexcept
{
    const TRVStyle* sheet = GetRVStyle();
    return sheet && styleNo >= 0 && styleNo < sheet->TextStyles.Count();
}

bool TCustomDocViewEdit::TextStyleHas(int styleNo, TRVProtectOption option) const
{
    return ValidTextStyle(styleNo) && GetRVStyle()->TextStyles[styleNo].Protection.Contains(option);
}

bool TCustomDocViewEdit::StyleHas(int itemNo, TRVProtectOption option) const
{
    return TextStyleHas(TextStyleAtItem(itemNo), option);
}

int TCustomDocViewEdit::TypingStyle() const
{
    return TextStyleHas(CurrentTextStyle(), rvprModifyProtect) ? 0 : CurrentTextStyle();
}

bool TCustomDocViewEdit::DeleteProtected(int itemNo) const
{
    if (StyleHas(itemNo, rvprDeleteProtect))
        return true;
    const auto* nonText = dynamic_cast<const TRVNonTextItemInfo*>(&Data_.ItemAt(itemNo));
    return nonText && nonText->DeleteProtect;
}

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

// ---------------------------------------------------------------------------------------------
// Checkpoints and paragraphs

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
    return Data_.ParagraphLastItem(itemNo);
}

bool TCustomDocViewEdit::IsEmptyText(int itemNo) const
{
    return Data_.ItemAt(itemNo).IsText() && Data_.TextAt(itemNo).empty();
}

TRVDocPos TCustomDocViewEdit::TextPosOf(TRVDocPos pos) const
{
    if (Data_.ItemAt(pos.ItemNo).IsListMarker() && pos.ItemNo + 1 < Data_.Count())
        return {pos.ItemNo + 1, Data_.OffsetBefore(pos.ItemNo + 1)};
    return pos;
}

// ---------------------------------------------------------------------------------------------
// Merging, removing and joining

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

// ---------------------------------------------------------------------------------------------
// New text

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

} // namespace xq

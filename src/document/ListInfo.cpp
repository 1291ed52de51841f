// List styles: levels with their fonts and pictures, list identities, comparison and lookup.
#include "document/ListInfo.h"

#include <random>

namespace xq {

bool GraphicsEqual(const TGraphic* a, const TGraphic* b)
{
    if (!a || !b)
        return !a && !b;
    return a->ClassName() == b->ClassName() && a->Width() == b->Width() && a->Height() == b->Height() &&
           a->SaveToBytes() == b->SaveToBytes();
}

std::int32_t NewListId()
{
    static thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<std::int32_t> dist(1, 2147483646);
    return dist(engine);
}

// ---------------------------------------------------------------------------------------------
// TRVListLevel

void TRVListLevel::CopyFrom(const TRVListLevel& o)
{
    ListType = o.ListType;
    ImageList = o.ImageList;
    ImageIndex = o.ImageIndex;
    FormatString = o.FormatString;
    FormatStringW = o.FormatStringW;
    LeftIndent = o.LeftIndent;
    FirstIndent = o.FirstIndent;
    MarkerIndent = o.MarkerIndent;
    MarkerAlignment = o.MarkerAlignment;
    Options = o.Options;
    StartFrom = o.StartFrom;
    Picture_ = o.Picture_ ? o.Picture_->Clone() : nullptr;
    Font_ = o.Font_ ? std::make_unique<TRVMarkerFont>(*o.Font_) : nullptr;
}

void TRVListLevel::SetPicture(const TGraphic* picture)
{
    if (!picture || picture->Empty()) {
        Picture_.reset();
        return;
    }
    Picture_ = picture->Clone();
    Picture_->SetTransparent(true);
}

TRVMarkerFont& TRVListLevel::EditFont()
{
    if (!Font_)
        Font_ = std::make_unique<TRVMarkerFont>();
    return *Font_;
}

const TFontDescription& TRVListLevel::EffectiveFont() const noexcept
{
    static const TRVMarkerFont defaultFont;
    return Font_ ? *Font_ : defaultFont;
}

bool TRVListLevel::UsesFont() const noexcept
{
    return ListType == rvlstBullet || (ListType >= rvlstDecimal && ListType <= rvlstUpperRoman) ||
           ListType == rvlstUnicodeBullet;
}

bool MarkerFontsEqual(const TRVListLevel& a, const TRVListLevel& b) noexcept
{
    if (a.HasDefaultFont() && b.HasDefaultFont())
        return true;
    const TRVMarkerFont* fa = a.Font();
    const TRVMarkerFont* fb = b.Font();
    return fa && fb && fa->Height() == fb->Height() && fa->Style == fb->Style && fa->Color == fb->Color &&
           fa->Charset == fb->Charset && SameFontName(fa->Name, fb->Name);
}

bool TRVListLevel::EqualsLevel(const TRVListLevel& o) const noexcept
{
    if (ListType != o.ListType)
        return false;
    if (HasNumbering() && StartFrom != o.StartFrom)
        return false;
    return ImageList == o.ImageList && ImageIndex == o.ImageIndex && FormatString == o.FormatString &&
           FormatStringW == o.FormatStringW && LeftIndent == o.LeftIndent && FirstIndent == o.FirstIndent &&
           MarkerIndent == o.MarkerIndent && MarkerAlignment == o.MarkerAlignment && MarkerFontsEqual(*this, o) &&
           Options == o.Options && GraphicsEqual(Picture_.get(), o.Picture_.get());
}

// ---------------------------------------------------------------------------------------------
// TRVListLevelCollection

TRVListLevel& TRVListLevelCollection::operator[](int index)
{
    if (index < 0 || index >= Count())
        throw EDocViewError("List index out of bounds");
    return Levels_[std::size_t(index)];
}

const TRVListLevel& TRVListLevelCollection::operator[](int index) const
{
    return const_cast<TRVListLevelCollection&>(*this)[index];
}

TRVListLevel& TRVListLevelCollection::Add()
{
    return Levels_.emplace_back();
}

void TRVListLevelCollection::Delete(int index)
{
    (void)(*this)[index];
    Levels_.erase(Levels_.begin() + index);
}

// ---------------------------------------------------------------------------------------------
// TRVListInfo

std::int32_t TRVListInfo::ListId() const
{
    if (ListId_ == 0)
        ListId_ = NewListId();
    return ListId_;
}

void TRVListInfo::CopyStyle(const TRVListInfo& source, TListIdCopy id)
{
    CopyHeader(source);
    Levels = source.Levels;
    OneLevelPreview = source.OneLevelPreview;
    ListId_ = id == TListIdCopy::Keep ? source.ListId() : 0;
}

bool TRVListInfo::EqualsStyle(const TRVListInfo& o, bool ignoreListId) const
{
    if (OneLevelPreview != o.OneLevelPreview || Levels.Count() != o.Levels.Count())
        return false;
    if (!ignoreListId && ListId() != o.ListId())
        return false;
    for (int i = 0; i < Levels.Count(); ++i)
        if (!Levels[i].EqualsLevel(o.Levels[i]))
            return false;
    return true;
}

bool TRVListInfo::HasNumbering() const noexcept
{
    for (const TRVListLevel& level : Levels)
        if (level.HasNumbering())
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// TRVListInfos

int TRVListInfos::FindOrAddList(const TRVListInfo& probe, bool addIfMissing)
{
    for (int i = 0; i < Count(); ++i)
        if ((*this)[i].EqualsStyle(probe, true))
            return i;
    if (!addIfMissing)
        return -1;
    TRVListInfo& added = Add();
    added.CopyStyle(probe, TListIdCopy::Fresh);
    added.Standard = false;
    return Count() - 1;
}

} // namespace xq

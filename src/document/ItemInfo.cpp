// Document items: option rules, copying, extra properties and style references.
#include "document/ItemInfo.h"

#include <array>
#include <typeinfo>

#include "document/LengthBounds.h"

namespace xq {

namespace {

constexpr std::array<const char*, 15> IntPropertyNames = {
    "",          "vshift",    "vshiftabs",       "width",       "height",     "transparent", "tmode",  "tcolor",
    "minheightonpage", "spacing", "resizable", "unremovable", "nohtmlsize", "ainterval",   "visible",
};
constexpr std::array<const char*, 4> StrPropertyNames = {"", "hint", "alt", "filename"};

} // namespace

const char* ExtraIntPropertyName(TRVExtraItemProperty prop) noexcept
{
    return prop < IntPropertyNames.size() ? IntPropertyNames[prop] : "";
}

const char* ExtraStrPropertyName(TRVExtraItemStrProperty prop) noexcept
{
    return prop < StrPropertyNames.size() ? StrPropertyNames[prop] : "";
}

TRVExtraItemProperty FindExtraIntProperty(std::string_view name) noexcept
{
    for (std::size_t i = 1; i < IntPropertyNames.size(); ++i)
        if (name == IntPropertyNames[i])
            return static_cast<TRVExtraItemProperty>(i);
    return rvepUnknown;
}

TRVExtraItemStrProperty FindExtraStrProperty(std::string_view name) noexcept
{
    for (std::size_t i = 1; i < StrPropertyNames.size(); ++i)
        if (name == StrPropertyNames[i])
            return static_cast<TRVExtraItemStrProperty>(i);
    return rvespUnknown;
}

std::unique_ptr<TRVCPInfo> TRVCPInfo::CreateCopy() const
{
    auto copy = std::make_unique<TRVCPInfo>();
    copy->Name = Name;
    copy->Tag = Tag;
    copy->RaiseEvent = RaiseEvent;
    copy->Persistent = Persistent;
    return copy;
}

// ---------------------------------------------------------------------------------------------
// TCustomRVItemInfo

TCustomRVItemInfo::~TCustomRVItemInfo() = default;

void TCustomRVItemInfo::SetContinuesPara(bool on) noexcept
{
    if (on)
        Options_ = (Options_ | rvioContinuesPara) & ~(rvioNewPageBefore | rvioNewLine);
    else
        Options_ &= ~rvioContinuesPara;
}

void TCustomRVItemInfo::SetNewPageBefore(bool on) noexcept
{
    if (on)
        Options_ = (Options_ | rvioNewPageBefore) & ~(rvioContinuesPara | rvioNewLine);
    else
        Options_ &= ~rvioNewPageBefore;
}

void TCustomRVItemInfo::SetNewLine(bool on) noexcept
{
    if (on)
        Options_ = (Options_ | rvioNewLine) & ~rvioContinuesPara;
    else
        Options_ &= ~rvioNewLine;
}

void TCustomRVItemInfo::SetUnicode(bool on) noexcept
{
    if (on)
        Options_ |= rvioUnicode;
    else
        Options_ &= ~rvioUnicode;
}

void TCustomRVItemInfo::Assign(const TCustomRVItemInfo& source)
{
    if (typeid(source) == typeid(*this))
        StyleNo = source.StyleNo;
    ParaNo = source.ParaNo;
    Options_ = source.Options_;
    Tag = source.Tag;
    Hint = source.Hint;
}

std::unique_ptr<TCustomRVItemInfo> TCustomRVItemInfo::CreateCopy(bool withCheckpoint) const
{
    auto copy = CreateEmpty();
    copy->Assign(*this);
    if (withCheckpoint && Checkpoint_)
        copy->Checkpoint_ = Checkpoint_->CreateCopy();
    return copy;
}

bool TCustomRVItemInfo::GetExtraIntProperty(TRVExtraItemProperty, std::int32_t&) const
{
    return false;
}

bool TCustomRVItemInfo::SetExtraIntProperty(TRVExtraItemProperty, std::int32_t)
{
    return false;
}

bool TCustomRVItemInfo::GetExtraStrProperty(TRVExtraItemStrProperty prop, std::string& value) const
{
    if (prop != rvespHint)
        return false;
    value = Hint;
    return true;
}

bool TCustomRVItemInfo::SetExtraStrProperty(TRVExtraItemStrProperty prop, const std::string& value)
{
    if (prop != rvespHint)
        return false;
    Hint = value;
    return true;
}

void TCustomRVItemInfo::MarkStylesInUse(TRVStyleUsage& usage) const
{
    usage.UsePara(ParaNo);
}

void TCustomRVItemInfo::UpdateStyles(const TRVStyleRenumbering& map)
{
    ParaNo = map.NewPara(ParaNo);
}

// ---------------------------------------------------------------------------------------------
// TRVTextItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVTextItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVTextItemInfo>(StyleNo);
}

void TRVTextItemInfo::MarkStylesInUse(TRVStyleUsage& usage) const
{
    TCustomRVItemInfo::MarkStylesInUse(usage);
    if (StyleNo != rvsDefStyle)
        usage.UseText(StyleNo);
}

void TRVTextItemInfo::UpdateStyles(const TRVStyleRenumbering& map)
{
    TCustomRVItemInfo::UpdateStyles(map);
    if (StyleNo != rvsDefStyle)
        StyleNo = map.NewText(StyleNo);
}

// ---------------------------------------------------------------------------------------------
// TRVNonTextItemInfo

void TRVNonTextItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TCustomRVItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVNonTextItemInfo*>(&source))
        DeleteProtect = s->DeleteProtect;
}

bool TRVNonTextItemInfo::GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const
{
    if (prop != rvepDeleteProtect)
        return TCustomRVItemInfo::GetExtraIntProperty(prop, value);
    value = DeleteProtect ? 1 : 0;
    return true;
}

bool TRVNonTextItemInfo::SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value)
{
    if (prop != rvepDeleteProtect)
        return TCustomRVItemInfo::SetExtraIntProperty(prop, value);
    DeleteProtect = value != 0;
    return true;
}

// ---------------------------------------------------------------------------------------------
// TRVBreakItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVBreakItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVBreakItemInfo>();
}

void TRVBreakItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVFullLineItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVBreakItemInfo*>(&source)) {
        Color = s->Color;
        Style = s->Style;
        Width = s->Width;
    }
}

// ---------------------------------------------------------------------------------------------
// TRVRectItemInfo

void TRVRectItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVNonTextItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVRectItemInfo*>(&source)) {
        VAlign = s->VAlign;
        VShift = s->VShift;
        VShiftAbs = s->VShiftAbs;
        Spacing = s->Spacing;
    }
}

bool TRVRectItemInfo::GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const
{
    switch (prop) {
    case rvepVShift:
        value = VShift;
        return true;
    case rvepVShiftAbs:
        value = VShiftAbs ? 1 : 0;
        return true;
    case rvepSpacing:
        value = Spacing;
        return true;
    default:
        return TRVNonTextItemInfo::GetExtraIntProperty(prop, value);
    }
}

bool TRVRectItemInfo::SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value)
{
    switch (prop) {
    case rvepVShift:
        VShift = PixelLengthRange.Clamp(value);
        return true;
    case rvepVShiftAbs:
        VShiftAbs = value != 0;
        return true;
    case rvepSpacing:
        Spacing = PixelLengthRange.Clamp(value);
        return true;
    default:
        return TRVNonTextItemInfo::SetExtraIntProperty(prop, value);
    }
}

// ---------------------------------------------------------------------------------------------
// TRVTabItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVTabItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVTabItemInfo>();
}

void TRVTabItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVRectItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVTabItemInfo*>(&source))
        TextStyleNo = s->TextStyleNo;
}

void TRVTabItemInfo::MarkStylesInUse(TRVStyleUsage& usage) const
{
    TRVRectItemInfo::MarkStylesInUse(usage);
    if (TextStyleNo != rvsDefStyle)
        usage.UseText(TextStyleNo);
}

void TRVTabItemInfo::UpdateStyles(const TRVStyleRenumbering& map)
{
    TRVRectItemInfo::UpdateStyles(map);
    if (TextStyleNo != rvsDefStyle) {
        TextStyleNo = map.NewText(TextStyleNo);
        if (TextStyleNo < 0)
            TextStyleNo = rvsDefStyle;
    }
}

// ---------------------------------------------------------------------------------------------
// TRVControlItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVControlItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVControlItemInfo>();
}

void TRVControlItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVRectItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVControlItemInfo*>(&source)) {
        ControlClassName = s->ControlClassName;
        ControlData = s->ControlData;
        MinHeightOnPage = s->MinHeightOnPage;
        Resizable = s->Resizable;
        Visible = s->Visible;
    }
}

bool TRVControlItemInfo::GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const
{
    switch (prop) {
    case rvepMinHeightOnPage:
        value = MinHeightOnPage;
        return true;
    case rvepResizable:
        value = Resizable ? 1 : 0;
        return true;
    case rvepVisible:
        value = Visible ? 1 : 0;
        return true;
    default:
        return TRVRectItemInfo::GetExtraIntProperty(prop, value);
    }
}

bool TRVControlItemInfo::SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value)
{
    switch (prop) {
    case rvepMinHeightOnPage:
        MinHeightOnPage = NonNegativeLengthRange.Clamp(value);
        return true;
    case rvepResizable:
        Resizable = value != 0;
        return true;
    case rvepVisible:
        Visible = value != 0;
        return true;
    default:
        return TRVRectItemInfo::SetExtraIntProperty(prop, value);
    }
}

// ---------------------------------------------------------------------------------------------
// TRVGraphicItemInfo

bool TRVGraphicItemInfo::IsBitmap() const
{
    return Image && Image->ClassName() == "TBitmap";
}

std::unique_ptr<TCustomRVItemInfo> TRVGraphicItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVGraphicItemInfo>();
}

std::unique_ptr<TCustomRVItemInfo> TRVHotGraphicItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVHotGraphicItemInfo>();
}

void TRVGraphicItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVRectItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVGraphicItemInfo*>(&source)) {
        Image = s->Image ? s->Image->Clone() : nullptr;
        ImageWidth = s->ImageWidth;
        ImageHeight = s->ImageHeight;
        MinHeightOnPage = s->MinHeightOnPage;
        Resizable = s->Resizable;
        NoHTMLImageSize = s->NoHTMLImageSize;
        Interval = s->Interval;
        Alt = s->Alt;
        ImageFileName = s->ImageFileName;
        Transparent = s->Transparent;
        TransparentMode = s->TransparentMode;
        TransparentColor = s->TransparentColor;
    }
}

bool TRVGraphicItemInfo::GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const
{
    switch (prop) {
    case rvepImageWidth:
        value = ImageWidth;
        return true;
    case rvepImageHeight:
        value = ImageHeight;
        return true;
    case rvepMinHeightOnPage:
        value = MinHeightOnPage;
        return true;
    case rvepResizable:
        value = Resizable ? 1 : 0;
        return true;
    case rvepNoHTMLImageSize:
        value = NoHTMLImageSize ? 1 : 0;
        return true;
    case rvepAnimationInterval:
        value = Interval;
        return true;
    case rvepTransparent:
    case rvepTransparentMode:
    case rvepTransparentColor:
        if (!IsBitmap())
            return false;
        value = prop == rvepTransparent       ? (Transparent ? 1 : 0)
                : prop == rvepTransparentMode ? static_cast<std::int32_t>(TransparentMode)
                                              : static_cast<std::int32_t>(TransparentColor);
        return true;
    default:
        return TRVRectItemInfo::GetExtraIntProperty(prop, value);
    }
}

bool TRVGraphicItemInfo::SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value)
{
    switch (prop) {
    case rvepImageWidth:
        ImageWidth = PictureSizeRange.Clamp(value);
        return true;
    case rvepImageHeight:
        ImageHeight = PictureSizeRange.Clamp(value);
        return true;
    case rvepMinHeightOnPage:
        MinHeightOnPage = NonNegativeLengthRange.Clamp(value);
        return true;
    case rvepResizable:
        Resizable = value != 0;
        return true;
    case rvepNoHTMLImageSize:
        NoHTMLImageSize = value != 0;
        return true;
    case rvepAnimationInterval:
        Interval = value;
        return true;
    case rvepTransparent:
        if (!IsBitmap())
            return false;
        Transparent = value != 0;
        return true;
    case rvepTransparentMode:
        if (!IsBitmap())
            return false;
        TransparentMode = value == 1 ? tmFixed : tmAuto;
        return true;
    case rvepTransparentColor:
        if (!IsBitmap())
            return false;
        TransparentColor = static_cast<TColor>(value);
        return true;
    default:
        return TRVRectItemInfo::SetExtraIntProperty(prop, value);
    }
}

bool TRVGraphicItemInfo::GetExtraStrProperty(TRVExtraItemStrProperty prop, std::string& value) const
{
    switch (prop) {
    case rvespAlt:
        value = Alt;
        return true;
    case rvespImageFileName:
        value = ImageFileName;
        return true;
    default:
        return TRVRectItemInfo::GetExtraStrProperty(prop, value);
    }
}

bool TRVGraphicItemInfo::SetExtraStrProperty(TRVExtraItemStrProperty prop, const std::string& value)
{
    switch (prop) {
    case rvespAlt:
        Alt = value;
        return true;
    case rvespImageFileName:
        ImageFileName = value;
        return true;
    default:
        return TRVRectItemInfo::SetExtraStrProperty(prop, value);
    }
}

// ---------------------------------------------------------------------------------------------
// TRVBulletItemInfo, TRVHotspotItemInfo

std::unique_ptr<TCustomRVItemInfo> TRVBulletItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVBulletItemInfo>();
}

void TRVBulletItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVRectItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVBulletItemInfo*>(&source)) {
        ImageList = s->ImageList;
        ImageListTag = s->ImageListTag;
        ImageIndex = s->ImageIndex;
        NoHTMLImageSize = s->NoHTMLImageSize;
    }
}

bool TRVBulletItemInfo::GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const
{
    if (prop != rvepNoHTMLImageSize)
        return TRVRectItemInfo::GetExtraIntProperty(prop, value);
    value = NoHTMLImageSize ? 1 : 0;
    return true;
}

bool TRVBulletItemInfo::SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value)
{
    if (prop != rvepNoHTMLImageSize)
        return TRVRectItemInfo::SetExtraIntProperty(prop, value);
    NoHTMLImageSize = value != 0;
    return true;
}

std::unique_ptr<TCustomRVItemInfo> TRVHotspotItemInfo::CreateEmpty() const
{
    return std::make_unique<TRVHotspotItemInfo>();
}

void TRVHotspotItemInfo::Assign(const TCustomRVItemInfo& source)
{
    TRVBulletItemInfo::Assign(source);
    if (auto* s = dynamic_cast<const TRVHotspotItemInfo*>(&source))
        HotImageIndex = s->HotImageIndex;
}

} // namespace xq

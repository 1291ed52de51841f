// Text styles: copying, comparison and lookup.
#include "document/FontInfo.h"

#include <cmath>

#include "document/LengthBounds.h"
#include "platform/ScreenUnits.h"

namespace xq {

std::int32_t TFontDescription::Height() const noexcept
{
    return -static_cast<std::int32_t>(std::lround(Size * double(PixelsPerInchOverride) / 72.0));
}

void TFontDescription::SetHeight(std::int32_t height) noexcept
{
    Size = FontSizeRange.Clamp(std::llround(std::abs(double(height)) * 72.0 / PixelsPerInchOverride));
}

// ---------------------------------------------------------------------------------------------
// TCustomRVFontInfo

void TCustomRVFontInfo::CopyFontFields(const TCustomRVFontInfo& s)
{
    CopyHeader(s);
    BiDiMode = s.BiDiMode;
    Jump = s.Jump;
    JumpCursor = s.JumpCursor;
    FontName = s.FontName;
    Size = s.Size;
    Color = s.Color;
    BackColor = s.BackColor;
    HoverColor = s.HoverColor;
    HoverBackColor = s.HoverBackColor;
    UnderlineColor = s.UnderlineColor;
    HoverUnderlineColor = s.HoverUnderlineColor;
    UnderlineType = s.UnderlineType;
    HoverEffects = s.HoverEffects;
    Style = s.Style;
    StyleEx = s.StyleEx;
    VShift = s.VShift;
    Charset = s.Charset;
    Protection = s.Protection;
    Options = s.Options;
    CharScale = s.CharScale;
    CharSpacing = s.CharSpacing;
    SubSuperScriptType = s.SubSuperScriptType;
}

void TCustomRVFontInfo::CopyStyle(const TCustomRVFontInfo& source)
{
    CopyFontFields(source);
}

void TCustomRVFontInfo::AssignFont(const TFontDescription& font)
{
    FontName = font.Name;
    Size = font.Size;
    Color = font.Color;
    Style = font.Style;
    Charset = font.Charset;
}

TFontDescription TCustomRVFontInfo::ToFont() const
{
    TFontDescription f;
    f.Name = FontName;
    f.Size = Size;
    f.Color = Color;
    f.Style = Style;
    f.Charset = Charset;
    return f;
}

bool TCustomRVFontInfo::EqualFontFields(const TCustomRVFontInfo& o) const noexcept
{
    if (Size != o.Size || Charset != o.Charset || Style != o.Style || StyleEx != o.StyleEx ||
        !SameFontName(FontName, o.FontName) || VShift != o.VShift || Color != o.Color ||
        BackColor != o.BackColor || Jump != o.Jump)
        return false;
    // Hover settings only matter for text that reacts to the mouse.
    if (Jump && (HoverColor != o.HoverColor || HoverEffects != o.HoverEffects ||
                 HoverBackColor != o.HoverBackColor || HoverUnderlineColor != o.HoverUnderlineColor ||
                 JumpCursor != o.JumpCursor))
        return false;
    return Protection == o.Protection && Options == o.Options && CharScale == o.CharScale &&
           CharSpacing == o.CharSpacing && BiDiMode == o.BiDiMode && SubSuperScriptType == o.SubSuperScriptType &&
           UnderlineType == o.UnderlineType && UnderlineColor == o.UnderlineColor;
}

// ---------------------------------------------------------------------------------------------
// TFontInfo

void TFontInfo::CopyStyle(const TFontInfo& source)
{
    CopyFontFields(source);
    Unicode = source.Unicode;
    NextStyleNo = source.NextStyleNo;
    ModifiedProperties = source.ModifiedProperties;
}

bool TFontInfo::EqualsStyle(const TFontInfo& o, bool ignoreReferences) const noexcept
{
    return EqualFontFields(o) && Unicode == o.Unicode && ModifiedProperties == o.ModifiedProperties &&
           StyleTemplateId == o.StyleTemplateId && (ignoreReferences || NextStyleNo == o.NextStyleNo);
}

bool TFontInfo::EqualsStyleExcept(const TFontInfo& o, TRVFontInfoProperties mask) const noexcept
{
    auto differs = [&](TRVFontInfoProperty p, bool equal) { return mask.Contains(p) && !equal; };
    auto styleBit = [&](TRVFontInfoProperty p, TFontStyle bit) {
        return differs(p, Style.Contains(bit) == o.Style.Contains(bit));
    };
    auto styleExBit = [&](TRVFontInfoProperty p, TRVFontStyleEx bit) {
        return differs(p, StyleEx.Contains(bit) == o.StyleEx.Contains(bit));
    };
    auto optionBit = [&](TRVFontInfoProperty p, TRVTextOption bit) {
        return differs(p, Options.Contains(bit) == o.Options.Contains(bit));
    };

    if (differs(rvfiFontName, SameFontName(FontName, o.FontName)) || differs(rvfiSize, Size == o.Size) ||
        differs(rvfiCharset, Charset == o.Charset) || styleBit(rvfiBold, fsBold) ||
        styleBit(rvfiItalic, fsItalic) || styleBit(rvfiUnderline, fsUnderline) ||
        styleBit(rvfiStrikeout, fsStrikeOut) || styleExBit(rvfiOverline, rvfsOverline) ||
        styleExBit(rvfiAllCaps, rvfsAllCaps) ||
        differs(rvfiSubSuperScriptType, SubSuperScriptType == o.SubSuperScriptType) ||
        differs(rvfiVShift, VShift == o.VShift) || differs(rvfiColor, Color == o.Color) ||
        differs(rvfiBackColor, BackColor == o.BackColor) || differs(rvfiJump, Jump == o.Jump))
        return false;
    if (Jump && (differs(rvfiHoverColor, HoverColor == o.HoverColor) ||
                 differs(rvfiHoverBackColor, HoverBackColor == o.HoverBackColor) ||
                 differs(rvfiHoverUnderline,
                         HoverEffects.Contains(rvheUnderline) == o.HoverEffects.Contains(rvheUnderline)) ||
                 differs(rvfiJumpCursor, JumpCursor == o.JumpCursor)))
        return false;
    if (differs(rvfiProtection, Protection == o.Protection) || optionBit(rvfiRTFCode, rvteoRTFCode) ||
        optionBit(rvfiHTMLCode, rvteoHTMLCode) || differs(rvfiCharScale, CharScale == o.CharScale) ||
        differs(rvfiCharSpacing, CharSpacing == o.CharSpacing) || differs(rvfiBiDiMode, BiDiMode == o.BiDiMode) ||
        differs(rvfiUnderlineType, UnderlineType == o.UnderlineType) ||
        differs(rvfiUnderlineColor, UnderlineColor == o.UnderlineColor) ||
        differs(rvfiHoverUnderlineColor, HoverUnderlineColor == o.HoverUnderlineColor) ||
        differs(rvfiBaseStyleNo, BaseStyleNo == o.BaseStyleNo) || differs(rvfiUnicode, Unicode == o.Unicode) ||
        differs(rvfiNextStyleNo, NextStyleNo == o.NextStyleNo))
        return false;
    return StyleTemplateId == o.StyleTemplateId && ModifiedProperties == o.ModifiedProperties;
}

// ---------------------------------------------------------------------------------------------
// TFontInfos

void TFontInfos::MakeFallback(TFontInfo& style) const
{
    style.BackColor = clRed;
    style.Color = clWhite;
}

int TFontInfos::FindCharsetVariant(int baseIndex, std::uint8_t charset) const
{
    const TFontInfo& base = StyleAt(baseIndex);
    if (base.Charset == charset && !base.Unicode)
        return baseIndex;
    const TRVFontInfoProperties mask = RVAllFontInfoProperties - TRVFontInfoProperties{rvfiCharset, rvfiUnicode};
    for (int i = 0; i < Count(); ++i) {
        const TFontInfo& s = *Items_[std::size_t(i)];
        if (i != baseIndex && !s.Unicode && s.Charset == charset && base.EqualsStyleExcept(s, mask))
            return i;
    }
    return -1;
}

} // namespace xq

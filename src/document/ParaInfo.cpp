// Paragraph styles: tab stop order, copying, comparison and lookup.
#include "document/ParaInfo.h"

#include <algorithm>

namespace xq {

std::int32_t TRVBorder::GetTotalWidth() const noexcept
{
    switch (Style) {
    case rvbNone:
        return 0;
    case rvbSingle:
        return Width;
    case rvbDouble:
        return 2 * Width + InternalWidth;
    case rvbTriple:
        return 3 * Width + 2 * InternalWidth;
    case rvbThickInside:
    case rvbThickOutside:
        return 3 * Width + InternalWidth;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// TRVTabInfos

const TRVTabInfo& TRVTabInfos::operator[](int index) const
{
    if (index < 0 || index >= Count())
        throw EDocViewError("List index out of bounds");
    return Tabs_[std::size_t(index)];
}

int TRVTabInfos::Add(std::int32_t position, TRVTabAlign align, std::string leader)
{
    auto at = std::upper_bound(Tabs_.begin(), Tabs_.end(), position,
                               [](std::int32_t p, const TRVTabInfo& t) { return p < t.Position; });
    at = Tabs_.insert(at, TRVTabInfo{position, align, std::move(leader)});
    return static_cast<int>(at - Tabs_.begin());
}

int TRVTabInfos::SetPosition(int index, std::int32_t position)
{
    TRVTabInfo tab = (*this)[index];
    Tabs_.erase(Tabs_.begin() + index);
    return Add(position, tab.Align, std::move(tab.Leader));
}

void TRVTabInfos::SetAlign(int index, TRVTabAlign align)
{
    (void)(*this)[index];
    Tabs_[std::size_t(index)].Align = align;
}

void TRVTabInfos::SetLeader(int index, std::string leader)
{
    (void)(*this)[index];
    Tabs_[std::size_t(index)].Leader = std::move(leader);
}

void TRVTabInfos::Delete(int index)
{
    (void)(*this)[index];
    Tabs_.erase(Tabs_.begin() + index);
}

// ---------------------------------------------------------------------------------------------
// TCustomRVParaInfo

void TCustomRVParaInfo::CopyParaFields(const TCustomRVParaInfo& s)
{
    CopyHeader(s);
    FirstIndent = s.FirstIndent;
    LeftIndent = s.LeftIndent;
    RightIndent = s.RightIndent;
    SpaceBefore = s.SpaceBefore;
    SpaceAfter = s.SpaceAfter;
    LineSpacing = s.LineSpacing;
    LineSpacingType = s.LineSpacingType;
    Alignment = s.Alignment;
    Border = s.Border;
    Background = s.Background;
    Options = s.Options;
    BiDiMode = s.BiDiMode;
    Tabs = s.Tabs;
}

void TCustomRVParaInfo::CopyStyle(const TCustomRVParaInfo& source)
{
    CopyParaFields(source);
}

bool TCustomRVParaInfo::HasExtraLineSpacing() const noexcept
{
    return LineSpacingType == rvlsPercent ? LineSpacing != 100 : LineSpacing > 0;
}

bool TCustomRVParaInfo::EqualParaFields(const TCustomRVParaInfo& o) const noexcept
{
    return Alignment == o.Alignment && FirstIndent == o.FirstIndent && LeftIndent == o.LeftIndent &&
           RightIndent == o.RightIndent && SpaceBefore == o.SpaceBefore && SpaceAfter == o.SpaceAfter &&
           LineSpacing == o.LineSpacing && LineSpacingType == o.LineSpacingType && Options == o.Options &&
           BiDiMode == o.BiDiMode && Background == o.Background && Tabs == o.Tabs && Border == o.Border;
}

// ---------------------------------------------------------------------------------------------
// TParaInfo

void TParaInfo::CopyStyle(const TParaInfo& source)
{
    CopyParaFields(source);
    NextParaNo = source.NextParaNo;
    DefStyleNo = source.DefStyleNo;
    ModifiedProperties1 = source.ModifiedProperties1;
    ModifiedProperties2 = source.ModifiedProperties2;
}

bool TParaInfo::EqualsStyle(const TParaInfo& o, bool ignoreReferences) const noexcept
{
    return EqualParaFields(o) && ModifiedProperties1 == o.ModifiedProperties1 &&
           ModifiedProperties2 == o.ModifiedProperties2 && StyleTemplateId == o.StyleTemplateId &&
           (ignoreReferences || (NextParaNo == o.NextParaNo && DefStyleNo == o.DefStyleNo));
}

bool TParaInfo::EqualsStyleExcept(const TParaInfo& o, TRVParaInfoProperties mask) const noexcept
{
    auto differs = [&](TRVParaInfoProperty p, bool equal) { return mask.Contains(p) && !equal; };
    auto optionBit = [&](TRVParaInfoProperty p, TRVParaOption bit) {
        return differs(p, Options.Contains(bit) == o.Options.Contains(bit));
    };
    const TRVRect &bg = Background.BorderOffsets, &obg = o.Background.BorderOffsets;
    const TRVRect &bo = Border.BorderOffsets, &obo = o.Border.BorderOffsets;
    const TRVBooleanRect &vis = Border.VisibleBorders, &ovis = o.Border.VisibleBorders;

    const bool different =
        differs(rvpiFirstIndent, FirstIndent == o.FirstIndent) || differs(rvpiLeftIndent, LeftIndent == o.LeftIndent) ||
        differs(rvpiRightIndent, RightIndent == o.RightIndent) ||
        differs(rvpiSpaceBefore, SpaceBefore == o.SpaceBefore) || differs(rvpiSpaceAfter, SpaceAfter == o.SpaceAfter) ||
        differs(rvpiAlignment, Alignment == o.Alignment) || differs(rvpiNextParaNo, NextParaNo == o.NextParaNo) ||
        differs(rvpiDefStyleNo, DefStyleNo == o.DefStyleNo) || differs(rvpiLineSpacing, LineSpacing == o.LineSpacing) ||
        differs(rvpiLineSpacingType, LineSpacingType == o.LineSpacingType) ||
        differs(rvpiBackground_Color, Background.Color == o.Background.Color) ||
        differs(rvpiBackground_BO_Left, bg.Left == obg.Left) || differs(rvpiBackground_BO_Top, bg.Top == obg.Top) ||
        differs(rvpiBackground_BO_Right, bg.Right == obg.Right) ||
        differs(rvpiBackground_BO_Bottom, bg.Bottom == obg.Bottom) ||
        differs(rvpiBorder_Color, Border.Color == o.Border.Color) ||
        differs(rvpiBorder_Style, Border.Style == o.Border.Style) ||
        differs(rvpiBorder_Width, Border.Width == o.Border.Width) ||
        differs(rvpiBorder_InternalWidth, Border.InternalWidth == o.Border.InternalWidth) ||
        differs(rvpiBorder_BO_Left, bo.Left == obo.Left) || differs(rvpiBorder_BO_Top, bo.Top == obo.Top) ||
        differs(rvpiBorder_BO_Right, bo.Right == obo.Right) || differs(rvpiBorder_BO_Bottom, bo.Bottom == obo.Bottom) ||
        differs(rvpiBorder_Vis_Left, vis.Left == ovis.Left) || differs(rvpiBorder_Vis_Top, vis.Top == ovis.Top) ||
        differs(rvpiBorder_Vis_Right, vis.Right == ovis.Right) ||
        differs(rvpiBorder_Vis_Bottom, vis.Bottom == ovis.Bottom) || optionBit(rvpiNoWrap, rvpaoNoWrap) ||
        optionBit(rvpiReadOnly, rvpaoReadOnly) || optionBit(rvpiStyleProtect, rvpaoStyleProtect) ||
        optionBit(rvpiDoNotWantReturns, rvpaoDoNotWantReturns) ||
        optionBit(rvpiKeepLinesTogether, rvpaoKeepLinesTogether) ||
        optionBit(rvpiKeepWithNext, rvpaoKeepWithNext) || differs(rvpiTabs, Tabs == o.Tabs) ||
        differs(rvpiBiDiMode, BiDiMode == o.BiDiMode);
    return !different && StyleTemplateId == o.StyleTemplateId && ModifiedProperties1 == o.ModifiedProperties1 &&
           ModifiedProperties2 == o.ModifiedProperties2;
}

// ---------------------------------------------------------------------------------------------
// TParaInfos

void TParaInfos::MakeFallback(TParaInfo& style) const
{
    style.SpaceBefore = style.SpaceAfter = 1;
    style.LeftIndent = style.RightIndent = 1;
    style.Border.Color = clRed;
    style.Border.Style = rvbSingle;
    style.Border.Width = 2;
    style.Border.BorderOffsets.SetAll(1);
}

} // namespace xq

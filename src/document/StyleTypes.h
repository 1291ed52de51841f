// Enumerations and option sets of the style sheet, and the property identifiers used as masks.
#pragma once

#include <cstdint>

#include "platform/FontTypes.h"
#include "platform/Set.h"

namespace xq {

enum TRVBiDiMode : std::uint8_t { rvbdUnspecified, rvbdLeftToRight, rvbdRightToLeft };

enum TRVUnderlineType : std::uint8_t {
    rvutNormal,
    rvutThick,
    rvutDouble,
    rvutDotted,
    rvutThickDotted,
    rvutDashed,
    rvutThickDashed,
    rvutLongDashed,
    rvutThickLongDashed,
    rvutDashDotted,
    rvutThickDashDotted,
    rvutDashDotDotted,
    rvutThickDashDotDotted,
};

enum TRVHoverEffect : std::uint8_t { rvheUnderline };
using TRVHoverEffects = TSet<TRVHoverEffect, std::uint8_t>;


enum TRVFontStyleEx : std::uint8_t { rvfsOverline, rvfsAllCaps };
using TRVFontStylesEx = TSet<TRVFontStyleEx, std::uint8_t>;

enum TRVSubSuperScriptType : std::uint8_t { rvsssNormal, rvsssSubscript, rvsssSuperScript };

enum TRVProtectOption : std::uint8_t {
    rvprStyleProtect,
    rvprStyleSplitProtect,
    rvprModifyProtect,
    rvprDeleteProtect,
    rvprConcateProtect,
    rvprRVFInsertProtect,
    rvprDoNotAutoSwitch,
    rvprParaStartProtect,
    rvprSticking,
    rvprSticking2,
    rvprSticking3,
    rvprStickToTop,
    rvprStickToBottom,
};
using TRVProtectOptions = TSet<TRVProtectOption, std::uint16_t>;

enum TRVTextOption : std::uint8_t { rvteoHTMLCode, rvteoRTFCode };
using TRVTextOptions = TSet<TRVTextOption, std::uint8_t>;

/// Properties of a text style, used as bit numbers of comparison and merge masks.
enum TRVFontInfoProperty : std::uint8_t {
    rvfiFontName,
    rvfiSize,
    rvfiCharset,
    rvfiUnicode,
    rvfiBold,
    rvfiItalic,
    rvfiUnderline,
    rvfiStrikeout,
    rvfiOverline,
    rvfiAllCaps,
    rvfiSubSuperScriptType,
    rvfiVShift,
    rvfiColor,
    rvfiBackColor,
    rvfiJump,
    rvfiHoverBackColor,
    rvfiHoverColor,
    rvfiHoverUnderline,
    rvfiJumpCursor,
    rvfiNextStyleNo,
    rvfiProtection,
    rvfiCharScale,
    rvfiBaseStyleNo,
    rvfiBiDiMode,
    rvfiCharSpacing,
    rvfiHTMLCode,
    rvfiRTFCode,
    rvfiUnderlineType,
    rvfiUnderlineColor,
    rvfiHoverUnderlineColor,
    rvfiCustom,
};
using TRVFontInfoProperties = TSet<TRVFontInfoProperty, std::uint32_t>;
inline constexpr TRVFontInfoProperties RVAllFontInfoProperties = TRVFontInfoProperties::FromBits(0x7FFFFFFF);

/// Properties of a paragraph style, used as bit numbers of comparison and merge masks.
enum TRVParaInfoProperty : std::uint8_t {
    rvpiFirstIndent,
    rvpiLeftIndent,
    rvpiRightIndent,
    rvpiSpaceBefore,
    rvpiSpaceAfter,
    rvpiAlignment,
    rvpiNextParaNo,
    rvpiDefStyleNo,
    rvpiLineSpacing,
    rvpiLineSpacingType,
    rvpiBackground_Color,
    rvpiBackground_BO_Left,
    rvpiBackground_BO_Top,
    rvpiBackground_BO_Right,
    rvpiBackground_BO_Bottom,
    rvpiBorder_Color,
    rvpiBorder_Style,
    rvpiBorder_Width,
    rvpiBorder_InternalWidth,
    rvpiBorder_BO_Left,
    rvpiBorder_BO_Top,
    rvpiBorder_BO_Right,
    rvpiBorder_BO_Bottom,
    rvpiBorder_Vis_Left,
    rvpiBorder_Vis_Top,
    rvpiBorder_Vis_Right,
    rvpiBorder_Vis_Bottom,
    rvpiNoWrap,
    rvpiReadOnly,
    rvpiStyleProtect,
    rvpiDoNotWantReturns,
    rvpiKeepLinesTogether,
    rvpiKeepWithNext,
    rvpiTabs,
    rvpiBiDiMode,
    rvpiCustom,
};
using TRVParaInfoProperties = TSet<TRVParaInfoProperty, std::uint64_t>;
inline constexpr TRVParaInfoProperties RVAllParaInfoProperties = TRVParaInfoProperties::FromBits(0xFFFFFFFFFull);

enum TRVLineSpacingType : std::uint8_t { rvlsPercent, rvlsSpaceBetween };

enum TRVAlignment : std::uint8_t { rvaLeft, rvaRight, rvaCenter, rvaJustify };

enum TRVParaOption : std::uint8_t {
    rvpaoNoWrap,
    rvpaoReadOnly,
    rvpaoStyleProtect,
    rvpaoDoNotWantReturns,
    rvpaoKeepLinesTogether,
    rvpaoKeepWithNext,
    rvpaoWidowOrphanControl,
};
using TRVParaOptions = TSet<TRVParaOption, std::uint8_t>;

enum TRVBorderStyle : std::uint8_t { rvbNone, rvbSingle, rvbDouble, rvbTriple, rvbThickInside, rvbThickOutside };

enum TRVTabAlign : std::uint8_t { rvtaLeft, rvtaRight, rvtaCenter };

enum TRVListType : std::uint8_t {
    rvlstBullet,
    rvlstPicture,
    rvlstImageList,
    rvlstDecimal,
    rvlstLowerAlpha,
    rvlstUpperAlpha,
    rvlstLowerRoman,
    rvlstUpperRoman,
    rvlstImageListCounter,
    rvlstUnicodeBullet,
};

/// Numbered kinds carry a counter; the others are bullets, pictures and images.
[[nodiscard]] constexpr bool IsNumberedListType(TRVListType t) noexcept
{
    return t >= rvlstDecimal && t <= rvlstImageListCounter;
}

enum TRVMarkerAlignment : std::uint8_t { rvmaLeft, rvmaRight, rvmaCenter };

enum TRVListLevelOption : std::uint8_t { rvloContinuous, rvloLevelReset, rvloLegalStyleNumbering };
using TRVListLevelOptions = TSet<TRVListLevelOption, std::uint8_t>;


enum TRVSelectionMode : std::uint8_t { rvsmChar, rvsmWord, rvsmParagraph };
enum TRVSelectionStyle : std::uint8_t { rvssItems, rvssLines };
enum TRVFieldHighlightType : std::uint8_t { rvfhNever, rvfhCurrent, rvfhAlways };
enum TRVSeqType : std::uint8_t { rvseqDecimal, rvseqLowerAlpha, rvseqUpperAlpha, rvseqLowerRoman, rvseqUpperRoman };

/// Mouse cursor identifiers as documents store them.
using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crJump = 101;        ///< the style sheet's link cursor
inline constexpr TCursor crRVFlipArrow = 106; ///< the left-margin line-select cursor

} // namespace xq

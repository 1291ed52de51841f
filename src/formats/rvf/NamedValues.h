// Named values of tagged streams: colour, cursor and charset identifiers, enumeration and set members.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "document/StyleTypes.h"
#include "formats/rvf/TaggedStream.h"
#include "platform/Color.h"

namespace xq {

// Identifiers of values that have a name; the parsers ignore letter case.
[[nodiscard]] std::string ColorIdentOrEmpty(TColor color);
[[nodiscard]] bool ParseColorIdent(std::string_view name, TColor& color) noexcept;
[[nodiscard]] std::string CursorIdentOrEmpty(TCursor cursor);
[[nodiscard]] bool ParseCursorIdent(std::string_view name, TCursor& cursor) noexcept;
[[nodiscard]] std::string CharsetIdentOrEmpty(std::uint8_t charset);
[[nodiscard]] bool ParseCharsetIdent(std::string_view name, std::uint8_t& charset) noexcept;

/// The identifier when the value has one, otherwise the integer.
void WriteColorValue(TTaggedWriter& writer, TColor color);
void WriteCursorValue(TTaggedWriter& writer, TCursor cursor);
void WriteCharsetValue(TTaggedWriter& writer, std::uint8_t charset);

// Conversions of a value read from a stream. Named values accept an identifier or an integer.
// False for another kind, an unknown identifier or an integer out of range.
[[nodiscard]] bool ValueToColor(const TTaggedValue& value, TColor& color) noexcept;
[[nodiscard]] bool ValueToCursor(const TTaggedValue& value, TCursor& cursor) noexcept;
[[nodiscard]] bool ValueToCharset(const TTaggedValue& value, std::uint8_t& charset) noexcept;
[[nodiscard]] bool ValueToInt32(const TTaggedValue& value, std::int32_t& number) noexcept;
[[nodiscard]] bool ValueToBool(const TTaggedValue& value, bool& flag) noexcept;

/// Member names of an enumeration in ordinal order.
using TMemberNames = std::span<const std::string_view>;

/// ASCII letters compared without case, as identifiers and property names are.
[[nodiscard]] bool SameIdent(std::string_view a, std::string_view b) noexcept;
/// The ordinal of a member name, -1 when there is none.
[[nodiscard]] int FindMember(TMemberNames names, std::string_view name) noexcept;
void WriteEnumValue(TTaggedWriter& writer, TMemberNames names, int ordinal);
/// Member k for bit k; bits beyond the names are not written.
void WriteSetValue(TTaggedWriter& writer, TMemberNames names, std::uint64_t bits);
[[nodiscard]] bool ValueToEnum(const TTaggedValue& value, TMemberNames names, int& ordinal) noexcept;
/// Bit k for member k; a member name that is not known rejects the whole value.
[[nodiscard]] bool ValueToSet(const TTaggedValue& value, TMemberNames names, std::uint64_t& bits) noexcept;
/// Code-page text as written, or Unicode text from writers that store it so, as UTF-8.
[[nodiscard]] bool ValueToText(const TTaggedValue& value, std::string& utf8);

/// ValueToEnum into a field of enumeration type E; the field stays when the value is not taken.
template <class E>
[[nodiscard]] bool ToEnum(const TTaggedValue& v, TMemberNames names, E& field) noexcept
{
    int ordinal = 0;
    if (!ValueToEnum(v, names, ordinal))
        return false;
    field = static_cast<E>(ordinal);
    return true;
}

/// ValueToSet into a bit set field (a TSet); the field stays when the value is not taken.
template <class S>
[[nodiscard]] bool ToSet(const TTaggedValue& v, TMemberNames names, S& field) noexcept
{
    std::uint64_t bits = 0;
    if (!ValueToSet(v, names, bits))
        return false;
    field = S::FromBits(static_cast<decltype(field.Bits())>(bits));
    return true;
}

// Member names of the style sheet's enumerations, in the order of their declarations.

inline constexpr std::string_view BiDiModeNames[] = {"rvbdUnspecified", "rvbdLeftToRight", "rvbdRightToLeft"};
inline constexpr std::string_view UnderlineTypeNames[] = {
    "rvutNormal",             "rvutThick",              "rvutDouble",             "rvutDotted",
    "rvutThickDotted",        "rvutDashed",             "rvutThickDashed",        "rvutLongDashed",
    "rvutThickLongDashed",    "rvutDashDotted",         "rvutThickDashDotted",    "rvutDashDotDotted",
    "rvutThickDashDotDotted"};
inline constexpr std::string_view HoverEffectNames[] = {"rvheUnderline"};
inline constexpr std::string_view FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
inline constexpr std::string_view FontStyleExNames[] = {"rvfsOverline", "rvfsAllCaps"};
inline constexpr std::string_view SubSuperScriptTypeNames[] = {"rvsssNormal", "rvsssSubscript", "rvsssSuperScript"};
inline constexpr std::string_view ProtectOptionNames[] = {
    "rvprStyleProtect",      "rvprStyleSplitProtect", "rvprModifyProtect",     "rvprDeleteProtect",
    "rvprConcateProtect",    "rvprRVFInsertProtect",  "rvprDoNotAutoSwitch",   "rvprParaStartProtect",
    "rvprSticking",          "rvprSticking2",         "rvprSticking3",         "rvprStickToTop",
    "rvprStickToBottom"};
inline constexpr std::string_view TextOptionNames[] = {"rvteoHTMLCode", "rvteoRTFCode"};
inline constexpr std::string_view FontInfoPropertyNames[] = {
    "rvfiFontName",            "rvfiSize",                "rvfiCharset",             "rvfiUnicode",
    "rvfiBold",                "rvfiItalic",              "rvfiUnderline",           "rvfiStrikeout",
    "rvfiOverline",            "rvfiAllCaps",             "rvfiSubSuperScriptType",  "rvfiVShift",
    "rvfiColor",               "rvfiBackColor",           "rvfiJump",                "rvfiHoverBackColor",
    "rvfiHoverColor",          "rvfiHoverUnderline",      "rvfiJumpCursor",          "rvfiNextStyleNo",
    "rvfiProtection",          "rvfiCharScale",           "rvfiBaseStyleNo",         "rvfiBiDiMode",
    "rvfiCharSpacing",         "rvfiHTMLCode",            "rvfiRTFCode",             "rvfiUnderlineType",
    "rvfiUnderlineColor",      "rvfiHoverUnderlineColor", "rvfiCustom"};
inline constexpr std::string_view ParaInfoPropertyNames[] = {
    "rvpiFirstIndent",          "rvpiLeftIndent",           "rvpiRightIndent",          "rvpiSpaceBefore",
    "rvpiSpaceAfter",           "rvpiAlignment",            "rvpiNextParaNo",           "rvpiDefStyleNo",
    "rvpiLineSpacing",          "rvpiLineSpacingType",      "rvpiBackground_Color",     "rvpiBackground_BO_Left",
    "rvpiBackground_BO_Top",    "rvpiBackground_BO_Right",  "rvpiBackground_BO_Bottom", "rvpiBorder_Color",
    "rvpiBorder_Style",         "rvpiBorder_Width",         "rvpiBorder_InternalWidth", "rvpiBorder_BO_Left",
    "rvpiBorder_BO_Top",        "rvpiBorder_BO_Right",      "rvpiBorder_BO_Bottom",     "rvpiBorder_Vis_Left",
    "rvpiBorder_Vis_Top",       "rvpiBorder_Vis_Right",     "rvpiBorder_Vis_Bottom",    "rvpiNoWrap",
    "rvpiReadOnly",             "rvpiStyleProtect",         "rvpiDoNotWantReturns",     "rvpiKeepLinesTogether",
    "rvpiKeepWithNext",         "rvpiTabs",                 "rvpiBiDiMode",             "rvpiCustom"};
inline constexpr std::string_view LineSpacingTypeNames[] = {"rvlsPercent", "rvlsSpaceBetween"};
inline constexpr std::string_view AlignmentNames[] = {"rvaLeft", "rvaRight", "rvaCenter", "rvaJustify"};
inline constexpr std::string_view ParaOptionNames[] = {
    "rvpaoNoWrap",             "rvpaoReadOnly",           "rvpaoStyleProtect",       "rvpaoDoNotWantReturns",
    "rvpaoKeepLinesTogether",  "rvpaoKeepWithNext",       "rvpaoWidowOrphanControl"};
inline constexpr std::string_view BorderStyleNames[] = {
    "rvbNone",         "rvbSingle",       "rvbDouble",       "rvbTriple",       "rvbThickInside",  "rvbThickOutside"};
inline constexpr std::string_view TabAlignNames[] = {"rvtaLeft", "rvtaRight", "rvtaCenter"};
inline constexpr std::string_view ListTypeNames[] = {
    "rvlstBullet",           "rvlstPicture",          "rvlstImageList",        "rvlstDecimal",
    "rvlstLowerAlpha",       "rvlstUpperAlpha",       "rvlstLowerRoman",       "rvlstUpperRoman",
    "rvlstImageListCounter", "rvlstUnicodeBullet"};
inline constexpr std::string_view MarkerAlignmentNames[] = {"rvmaLeft", "rvmaRight", "rvmaCenter"};
inline constexpr std::string_view ListLevelOptionNames[] = {
    "rvloContinuous",          "rvloLevelReset",          "rvloLegalStyleNumbering"};
inline constexpr std::string_view FontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};

} // namespace xq

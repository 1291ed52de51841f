// Named values of tagged streams: the identifier tables and the conversions of read values.
#include "formats/rvf/NamedValues.h"

#include "formats/rvf/RvfLines.h"
#include "platform/CodePage.h"

#include <iterator>
#include <limits>
#include <vector>

namespace xq {

// Every name table covers its whole enumeration.
static_assert(std::size(BiDiModeNames) == rvbdRightToLeft + 1);
static_assert(std::size(UnderlineTypeNames) == rvutThickDashDotDotted + 1);
static_assert(std::size(HoverEffectNames) == rvheUnderline + 1);
static_assert(std::size(FontStyleNames) == fsStrikeOut + 1);
static_assert(std::size(FontStyleExNames) == rvfsAllCaps + 1);
static_assert(std::size(SubSuperScriptTypeNames) == rvsssSuperScript + 1);
static_assert(std::size(ProtectOptionNames) == rvprStickToBottom + 1);
static_assert(std::size(TextOptionNames) == rvteoRTFCode + 1);
static_assert(std::size(FontInfoPropertyNames) == rvfiCustom + 1);
static_assert(std::size(ParaInfoPropertyNames) == rvpiCustom + 1);
static_assert(std::size(LineSpacingTypeNames) == rvlsSpaceBetween + 1);
static_assert(std::size(AlignmentNames) == rvaJustify + 1);
static_assert(std::size(ParaOptionNames) == rvpaoWidowOrphanControl + 1);
static_assert(std::size(BorderStyleNames) == rvbThickOutside + 1);
static_assert(std::size(TabAlignNames) == rvtaCenter + 1);
static_assert(std::size(ListTypeNames) == rvlstUnicodeBullet + 1);
static_assert(std::size(MarkerAlignmentNames) == rvmaCenter + 1);
static_assert(std::size(ListLevelOptionNames) == rvloLegalStyleNumbering + 1);
static_assert(std::size(FontPitchNames) == fpFixed + 1);

namespace {

template <class T>
struct TNamed {
    std::string_view Name;
    T Value;
};

constexpr TNamed<TColor> ColorIdents[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clNone", clNone},
};

constexpr TNamed<TCursor> CursorIdents[] = {
    {"crDefault", 0},      {"crArrow", -2},       {"crCross", -3},     {"crIBeam", -4},     {"crSizeNESW", -6},
    {"crSizeNS", -7},      {"crSizeNWSE", -8},    {"crSizeWE", -9},    {"crUpArrow", -10},  {"crHourGlass", -11},
    {"crDrag", -12},       {"crNoDrop", -13},     {"crHSplit", -14},   {"crVSplit", -15},   {"crMultiDrag", -16},
    {"crSQLWait", -17},    {"crNo", -18},         {"crAppStart", -19}, {"crHelp", -20},     {"crHandPoint", -21},
    {"crSizeAll", -22},
};

constexpr TNamed<std::uint8_t> CharsetIdents[] = {
    {"ANSI_CHARSET", 0},          {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},          {"SHIFTJIS_CHARSET", 128},   {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},       {"GB2312_CHARSET", 134},     {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},       {"TURKISH_CHARSET", 162},    {"HEBREW_CHARSET", 177},
    {"ARABIC_CHARSET", 178},      {"BALTIC_CHARSET", 186},     {"RUSSIAN_CHARSET", 204},
    {"THAI_CHARSET", 222},        {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

template <class T, std::size_t N>
[[nodiscard]] std::string NameOf(const TNamed<T> (&table)[N], T value)
{
    for (const auto& entry : table)
        if (entry.Value == value)
            return std::string(entry.Name);
    return {};
}

template <class T, std::size_t N>
[[nodiscard]] bool ValueOf(const TNamed<T> (&table)[N], std::string_view name, T& value) noexcept
{
    for (const auto& entry : table)
        if (SameIdent(entry.Name, name)) {
            value = entry.Value;
            return true;
        }
    return false;
}

[[nodiscard]] bool IntegerIn(const TTaggedValue& value, std::int64_t low, std::int64_t high) noexcept
{
    return value.IsInteger() && value.Int >= low && value.Int <= high;
}

} // namespace

std::string ColorIdentOrEmpty(TColor color)
{
    return NameOf(ColorIdents, color);
}

bool ParseColorIdent(std::string_view name, TColor& color) noexcept
{
    return ValueOf(ColorIdents, name, color);
}

std::string CursorIdentOrEmpty(TCursor cursor)
{
    return NameOf(CursorIdents, cursor);
}

bool ParseCursorIdent(std::string_view name, TCursor& cursor) noexcept
{
    return ValueOf(CursorIdents, name, cursor);
}

std::string CharsetIdentOrEmpty(std::uint8_t charset)
{
    return NameOf(CharsetIdents, charset);
}

bool ParseCharsetIdent(std::string_view name, std::uint8_t& charset) noexcept
{
    return ValueOf(CharsetIdents, name, charset);
}

void WriteColorValue(TTaggedWriter& writer, TColor color)
{
    const std::string name = ColorIdentOrEmpty(color);
    if (!name.empty())
        writer.WriteIdent(name);
    else // colours are signed 32-bit values in the stream: system colours come out negative
        writer.WriteInteger(static_cast<std::int32_t>(color));
}

void WriteCursorValue(TTaggedWriter& writer, TCursor cursor)
{
    const std::string name = CursorIdentOrEmpty(cursor);
    if (!name.empty())
        writer.WriteIdent(name);
    else
        writer.WriteInteger(cursor);
}

void WriteCharsetValue(TTaggedWriter& writer, std::uint8_t charset)
{
    const std::string name = CharsetIdentOrEmpty(charset);
    if (!name.empty())
        writer.WriteIdent(name);
    else
        writer.WriteInteger(charset);
}

bool ValueToColor(const TTaggedValue& value, TColor& color) noexcept
{
    if (value.Tag == TValueTag::Ident)
        return ParseColorIdent(value.Bytes, color);
    // Signed as written, or unsigned as some writers store them.
    if (!IntegerIn(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::uint32_t>::max()))
        return false;
    color = static_cast<TColor>(value.Int);
    return true;
}

bool ValueToCursor(const TTaggedValue& value, TCursor& cursor) noexcept
{
    if (value.Tag == TValueTag::Ident)
        return ParseCursorIdent(value.Bytes, cursor);
    if (!IntegerIn(value, std::numeric_limits<TCursor>::min(), std::numeric_limits<TCursor>::max()))
        return false;
    cursor = static_cast<TCursor>(value.Int);
    return true;
}

bool ValueToCharset(const TTaggedValue& value, std::uint8_t& charset) noexcept
{
    if (value.Tag == TValueTag::Ident)
        return ParseCharsetIdent(value.Bytes, charset);
    if (!IntegerIn(value, 0, 255))
        return false;
    charset = static_cast<std::uint8_t>(value.Int);
    return true;
}

bool ValueToInt32(const TTaggedValue& value, std::int32_t& number) noexcept
{
    if (!IntegerIn(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()))
        return false;
    number = static_cast<std::int32_t>(value.Int);
    return true;
}

bool ValueToBool(const TTaggedValue& value, bool& flag) noexcept
{
    if (!value.IsBool())
        return false;
    flag = value.Tag == TValueTag::TrueValue;
    return true;
}

bool SameIdent(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

int FindMember(TMemberNames names, std::string_view name) noexcept
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameIdent(names[i], name))
            return static_cast<int>(i);
    return -1;
}

void WriteEnumValue(TTaggedWriter& writer, TMemberNames names, int ordinal)
{
    if (ordinal >= 0 && static_cast<std::size_t>(ordinal) < names.size())
        writer.WriteIdent(names[static_cast<std::size_t>(ordinal)]);
    else // a value the enumeration does not name; readers reject it like a wrong kind
        writer.WriteInteger(ordinal);
}

void WriteSetValue(TTaggedWriter& writer, TMemberNames names, std::uint64_t bits)
{
    std::vector<std::string_view> members;
    for (std::size_t i = 0; i < names.size() && i < 64; ++i)
        if ((bits >> i) & 1u)
            members.push_back(names[i]);
    writer.WriteSet(members);
}

bool ValueToEnum(const TTaggedValue& value, TMemberNames names, int& ordinal) noexcept
{
    if (value.Tag != TValueTag::Ident)
        return false;
    const int found = FindMember(names, value.Bytes);
    if (found < 0)
        return false;
    ordinal = found;
    return true;
}

bool ValueToSet(const TTaggedValue& value, TMemberNames names, std::uint64_t& bits) noexcept
{
    if (value.Tag != TValueTag::Set)
        return false;
    std::uint64_t result = 0;
    for (const std::string& member : value.Members) {
        const int found = FindMember(names, member);
        if (found < 0 || found >= 64)
            return false;
        result |= std::uint64_t{1} << found;
    }
    bits = result;
    return true;
}

bool ValueToText(const TTaggedValue& v, std::string& utf8)
{
    if (v.IsString())
        utf8 = FromStreamString(v.Bytes);
    else if (v.Tag == TValueTag::WideString)
        utf8 = Utf16ToUtf8(v.Wide);
    else if (v.Tag == TValueTag::Utf8String)
        utf8 = Utf16ToUtf8(Utf8ToUtf16(v.Bytes)); // invalid sequences become U+FFFD
    else
        return false;
    return true;
}

} // namespace xq

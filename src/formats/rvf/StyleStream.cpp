// Style collections as tagged streams: writing the non-default properties, reading them by name.
#include "formats/rvf/StyleStream.h"

#include "formats/rvf/RvfLines.h"

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "document/LengthBounds.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

/// `digits` upper-case hex digits per unit, most significant first.
template <class Units>
[[nodiscard]] std::string HexOf(const Units& units, int digits)
{
    std::string hex;
    hex.reserve(units.size() * std::size_t(digits));
    for (auto unit : units) {
        const auto value = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<decltype(unit)>>(unit));
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            hex.push_back(HexDigits[(value >> shift) & 0xF]);
    }
    return hex;
}

/// Hex text back to units of `digits` digits; false for odd lengths and non-hex characters.
[[nodiscard]] bool ParseHex(std::string_view hex, int digits, std::vector<std::uint32_t>& units)
{
    if (hex.size() % std::size_t(digits) != 0)
        return false;
    units.clear();
    for (std::size_t i = 0; i < hex.size(); i += std::size_t(digits)) {
        std::uint32_t value = 0;
        for (int d = 0; d < digits; ++d) {
            const char c = hex[i + std::size_t(d)];
            int nibble;
            if (c >= '0' && c <= '9')
                nibble = c - '0';
            else if (c >= 'A' && c <= 'F')
                nibble = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                nibble = c - 'a' + 10;
            else
                return false;
            value = (value << 4) | std::uint32_t(nibble);
        }
        units.push_back(value);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writing

/// Writes a property only when its value differs from the default.
class TPropWriter {
public:
    explicit TPropWriter(std::string& out) : W(out) {}

    void Int(std::string_view name, std::int64_t value, std::int64_t def)
    {
        if (value != def)
            IntAlways(name, value);
    }
    void IntAlways(std::string_view name, std::int64_t value)
    {
        W.WritePropName(name);
        W.WriteInteger(value);
    }
    void Bool(std::string_view name, bool value, bool def)
    {
        if (value != def) {
            W.WritePropName(name);
            W.WriteBool(value);
        }
    }
    void Color(std::string_view name, TColor value, TColor def)
    {
        if (value != def)
            ColorAlways(name, value);
    }
    void ColorAlways(std::string_view name, TColor value)
    {
        W.WritePropName(name);
        WriteColorValue(W, value);
    }
    void Charset(std::string_view name, std::uint8_t value, std::optional<std::uint8_t> def)
    {
        if (def && value == *def)
            return;
        W.WritePropName(name);
        WriteCharsetValue(W, value);
    }
    void Cursor(std::string_view name, TCursor value, TCursor def)
    {
        if (value != def) {
            W.WritePropName(name);
            WriteCursorValue(W, value);
        }
    }
    /// Strings have no default: written when not empty.
    void Text(std::string_view name, const std::string& utf8)
    {
        if (!utf8.empty())
            Bytes(name, ToStreamString(utf8));
    }
    void Bytes(std::string_view name, std::string_view bytes)
    {
        W.WritePropName(name);
        W.WriteString(bytes);
    }
    void Enum(std::string_view name, TMemberNames names, int value, int def)
    {
        if (value != def) {
            W.WritePropName(name);
            WriteEnumValue(W, names, value);
        }
    }
    void Set(std::string_view name, TMemberNames names, std::uint64_t bits, std::optional<std::uint64_t> def)
    {
        if (def && bits == *def)
            return;
        W.WritePropName(name);
        WriteSetValue(W, names, bits);
    }

    TTaggedWriter W;
};

void WriteHeader(TPropWriter& p, const TCustomRVInfo& s)
{
    p.Int("BaseStyleNo", s.BaseStyleNo, -1);
    p.Text("StyleName", s.StyleName);
    p.Bool("Standard", s.Standard, true);
    p.Int("StyleTemplateId", s.StyleTemplateId, -1);
}

void WriteTextStyle(TPropWriter& p, const TFontInfo& s)
{
    const TFontInfo d;
    WriteHeader(p, s);
    p.Charset("Charset", s.Charset, d.Charset);
    p.Text("FontName", s.FontName);
    p.Int("Size", s.Size, d.Size);
    p.Set("Style", FontStyleNames, s.Style.Bits(), 0);
    p.Int("VShift", s.VShift, d.VShift);
    p.Color("Color", s.Color, d.Color);
    p.Color("BackColor", s.BackColor, d.BackColor);
    p.Color("HoverBackColor", s.HoverBackColor, d.HoverBackColor);
    p.Color("HoverColor", s.HoverColor, d.HoverColor);
    p.Set("HoverEffects", HoverEffectNames, s.HoverEffects.Bits(), 0);
    p.Set("StyleEx", FontStyleExNames, s.StyleEx.Bits(), 0);
    p.Bool("Jump", s.Jump, d.Jump);
    p.Cursor("JumpCursor", s.JumpCursor, d.JumpCursor);
    p.Int("CharScale", s.CharScale, d.CharScale);
    p.Int("CharSpacing", s.CharSpacing, d.CharSpacing);
    p.Enum("BiDiMode", BiDiModeNames, s.BiDiMode, d.BiDiMode);
    p.Enum("SubSuperScriptType", SubSuperScriptTypeNames, s.SubSuperScriptType, d.SubSuperScriptType);
    p.Set("Protection", ProtectOptionNames, s.Protection.Bits(), 0);
    p.Set("Options", TextOptionNames, s.Options.Bits(), 0);
    p.Enum("UnderlineType", UnderlineTypeNames, s.UnderlineType, d.UnderlineType);
    p.Color("UnderlineColor", s.UnderlineColor, d.UnderlineColor);
    p.Color("HoverUnderlineColor", s.HoverUnderlineColor, d.HoverUnderlineColor);
    p.Int("NextStyleNo", s.NextStyleNo, d.NextStyleNo);
    p.Bool("Unicode", s.Unicode, d.Unicode);
    p.Set("ModifiedProperties", FontInfoPropertyNames, s.ModifiedProperties.Bits(), 0);
}

void WriteRect(TPropWriter& p, const std::string& prefix, const TRVRect& r)
{
    p.Int(prefix + "Left", r.Left, 0);
    p.Int(prefix + "Right", r.Right, 0);
    p.Int(prefix + "Top", r.Top, 0);
    p.Int(prefix + "Bottom", r.Bottom, 0);
}

void WriteParaStyle(TPropWriter& p, const TParaInfo& s)
{
    const TParaInfo d;
    WriteHeader(p, s);
    p.Int("FirstIndent", s.FirstIndent, d.FirstIndent);
    p.Int("LeftIndent", s.LeftIndent, d.LeftIndent);
    p.Int("RightIndent", s.RightIndent, d.RightIndent);
    p.Int("SpaceBefore", s.SpaceBefore, d.SpaceBefore);
    p.Int("SpaceAfter", s.SpaceAfter, d.SpaceAfter);
    p.Enum("Alignment", AlignmentNames, s.Alignment, d.Alignment);

    p.Int("Border.Width", s.Border.Width, d.Border.Width);
    p.Int("Border.InternalWidth", s.Border.InternalWidth, d.Border.InternalWidth);
    p.Color("Border.Color", s.Border.Color, d.Border.Color);
    p.Enum("Border.Style", BorderStyleNames, s.Border.Style, d.Border.Style);
    p.Bool("Border.VisibleBorders.Left", s.Border.VisibleBorders.Left, true);
    p.Bool("Border.VisibleBorders.Right", s.Border.VisibleBorders.Right, true);
    p.Bool("Border.VisibleBorders.Top", s.Border.VisibleBorders.Top, true);
    p.Bool("Border.VisibleBorders.Bottom", s.Border.VisibleBorders.Bottom, true);
    WriteRect(p, "Border.BorderOffsets.", s.Border.BorderOffsets);
    p.Color("Background.Color", s.Background.Color, d.Background.Color);
    WriteRect(p, "Background.BorderOffsets.", s.Background.BorderOffsets);

    p.Int("LineSpacing", s.LineSpacing, d.LineSpacing);
    p.Enum("LineSpacingType", LineSpacingTypeNames, s.LineSpacingType, d.LineSpacingType);
    p.Set("Options", ParaOptionNames, s.Options.Bits(), 0);
    p.Enum("BiDiMode", BiDiModeNames, s.BiDiMode, d.BiDiMode);

    p.W.WritePropName("Tabs");
    p.W.WriteCollectionBegin();
    for (const TRVTabInfo& tab : s.Tabs) {
        p.W.WriteListBegin();
        p.Enum("Align", TabAlignNames, tab.Align, rvtaLeft);
        p.Int("Position", tab.Position, 0);
        p.Text("Leader", tab.Leader);
        p.W.WriteListEnd();
    }
    p.W.WriteListEnd();

    p.Int("NextParaNo", s.NextParaNo, d.NextParaNo);
    p.Int("DefStyleNo", s.DefStyleNo, d.DefStyleNo);
    // The two words of the modified-property set, named by the members they stand for.
    p.Set("ModifiedProperties1", ParaInfoPropertyNames, s.ModifiedProperties1, 0);
    p.Set("ModifiedProperties2", ParaInfoPropertyNames, std::uint64_t{s.ModifiedProperties2} << 32, 0);
}

void WriteListLevel(TPropWriter& p, const TRVListLevel& level)
{
    const TRVListLevel d;
    p.Enum("ListType", ListTypeNames, level.ListType, d.ListType);
    p.Int("StartFrom", level.StartFrom, d.StartFrom);
    p.Int("ImageIndex", level.ImageIndex, d.ImageIndex);
    p.Int("LeftIndent", level.LeftIndent, d.LeftIndent);
    p.Int("FirstIndent", level.FirstIndent, d.FirstIndent);
    p.Int("MarkerIndent", level.MarkerIndent, d.MarkerIndent);
    p.Enum("MarkerAlignment", MarkerAlignmentNames, level.MarkerAlignment, d.MarkerAlignment);

    if (const TGraphic* picture = level.Picture()) {
        // The kind's name as a short string, then the picture's own bytes.
        std::string data;
        TTaggedWriter(data).WriteShortString(picture->ClassName());
        data += picture->SaveToBytes();
        p.W.WritePropName("Picture.Data");
        p.W.WriteBinary(data);
    }

    if (const TRVMarkerFont* font = level.Font()) {
        const TFontDescription fd;
        p.Charset("Font.Charset", font->Charset, std::nullopt);
        p.ColorAlways("Font.Color", font->Color);
        if (font->Size != fd.Size)
            p.IntAlways("Font.Height", font->Height());
        if (font->Name != fd.Name)
            p.Text("Font.Name", font->Name);
        p.Enum("Font.Pitch", FontPitchNames, font->Pitch, fd.Pitch);
        p.Set("Font.Style", FontStyleNames, font->Style.Bits(), std::nullopt);
    }

    p.Set("Options", ListLevelOptionNames, level.Options.Bits(), d.Options.Bits());
    if (level.ImageList)
        p.IntAlways("ILTag", level.ImageList->Tag);
    if (!level.FormatStringW.empty())
        p.Bytes("FormatStringWCode", HexOf(level.FormatStringW, 4));
    if (level.FormatString != d.FormatString)
        p.Bytes("FormatStringCode", HexOf(level.FormatString, 2));
}

void WriteListStyle(TPropWriter& p, const TRVListInfo& s)
{
    WriteHeader(p, s);
    p.W.WritePropName("Levels");
    p.W.WriteCollectionBegin();
    for (const TRVListLevel& level : s.Levels) {
        p.W.WriteListBegin();
        WriteListLevel(p, level);
        p.W.WriteListEnd();
    }
    p.W.WriteListEnd();
    p.Bool("OneLevelPreview", s.OneLevelPreview, false);
    p.IntAlways("LstID", s.ListId());
}

template <class Styles, class WriteStyle>
[[nodiscard]] std::string WriteStyles(const Styles& styles, WriteStyle writeStyle)
{
    std::string out;
    TPropWriter p(out);
    p.W.WriteCollectionBegin();
    for (const auto& style : styles) {
        p.W.WriteListBegin();
        writeStyle(p, *style);
        p.W.WriteListEnd();
    }
    p.W.WriteListEnd();
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reading: conversions of values into fields. Each returns whether the value was taken.

template <class Field>
struct TNamedField {
    std::string_view Name;
    Field* Target;
};

/// A length or size field with the range its values are clamped into (document/LengthBounds.h).
struct TBoundedField {
    std::string_view Name;
    std::int32_t* Target;
    TIntRange Range;
};

/// Numbers, such as style references, that are taken as they are.
constexpr TIntRange AnyInt32{INT32_MIN, INT32_MAX};

/// A 32-bit number clamped into range; false (nothing assigned) for other values.
[[nodiscard]] bool ValueToBounded(const TTaggedValue& v, TIntRange range, std::int32_t& field) noexcept
{
    std::int32_t value = 0;
    if (!ValueToInt32(v, value))
        return false;
    field = range.Clamp(value);
    return true;
}

/// Assigns the value to the field of that name, clamped into its range; nullopt when no field
/// has the name.
template <std::size_t N>
[[nodiscard]] std::optional<bool> AssignBoundedIfNamed(std::string_view name, const TTaggedValue& v,
                                                       const TBoundedField (&fields)[N])
{
    for (const auto& f : fields)
        if (SameIdent(name, f.Name))
            return ValueToBounded(v, f.Range, *f.Target);
    return std::nullopt;
}

/// Finds the name among the fields; nullopt when none has it.
template <class Field, std::size_t N, class Convert>
[[nodiscard]] std::optional<bool> AssignIfNamed(std::string_view name, const TNamedField<Field> (&fields)[N],
                                                Convert convert)
{
    for (const auto& f : fields)
        if (SameIdent(name, f.Name))
            return convert(*f.Target);
    return std::nullopt;
}

[[nodiscard]] std::optional<bool> AssignHeader(std::string_view name, const TTaggedValue& v, TCustomRVInfo& s)
{
    if (SameIdent(name, "BaseStyleNo"))
        return ValueToInt32(v, s.BaseStyleNo);
    if (SameIdent(name, "StyleName"))
        return ValueToText(v, s.StyleName);
    if (SameIdent(name, "Standard"))
        return ValueToBool(v, s.Standard);
    if (SameIdent(name, "StyleTemplateId"))
        return ValueToInt32(v, s.StyleTemplateId);
    return std::nullopt;
}

[[nodiscard]] bool AssignText(std::string_view name, const TTaggedValue& v, TFontInfo& s)
{
    if (auto taken = AssignHeader(name, v, s))
        return *taken;
    const TBoundedField ints[] = {{"Size", &s.Size, FontSizeRange},
                                  {"VShift", &s.VShift, TextVShiftRange},
                                  {"CharScale", &s.CharScale, CharScaleRange},
                                  {"CharSpacing", &s.CharSpacing, PixelLengthRange},
                                  {"NextStyleNo", &s.NextStyleNo, AnyInt32}};
    if (auto taken = AssignBoundedIfNamed(name, v, ints))
        return *taken;
    const TNamedField<TColor> colors[] = {{"Color", &s.Color},
                                          {"BackColor", &s.BackColor},
                                          {"HoverBackColor", &s.HoverBackColor},
                                          {"HoverColor", &s.HoverColor},
                                          {"UnderlineColor", &s.UnderlineColor},
                                          {"HoverUnderlineColor", &s.HoverUnderlineColor}};
    if (auto taken = AssignIfNamed(name, colors, [&](TColor& f) { return ValueToColor(v, f); }))
        return *taken;
    const TNamedField<bool> bools[] = {{"Jump", &s.Jump}, {"Unicode", &s.Unicode}};
    if (auto taken = AssignIfNamed(name, bools, [&](bool& f) { return ValueToBool(v, f); }))
        return *taken;

    if (SameIdent(name, "Charset"))
        return ValueToCharset(v, s.Charset);
    if (SameIdent(name, "FontName"))
        return ValueToText(v, s.FontName);
    if (SameIdent(name, "JumpCursor"))
        return ValueToCursor(v, s.JumpCursor);
    if (SameIdent(name, "Style"))
        return ToSet(v, FontStyleNames, s.Style);
    if (SameIdent(name, "HoverEffects"))
        return ToSet(v, HoverEffectNames, s.HoverEffects);
    if (SameIdent(name, "StyleEx"))
        return ToSet(v, FontStyleExNames, s.StyleEx);
    if (SameIdent(name, "BiDiMode"))
        return ToEnum(v, BiDiModeNames, s.BiDiMode);
    if (SameIdent(name, "SubSuperScriptType"))
        return ToEnum(v, SubSuperScriptTypeNames, s.SubSuperScriptType);
    if (SameIdent(name, "Protection"))
        return ToSet(v, ProtectOptionNames, s.Protection);
    if (SameIdent(name, "Options"))
        return ToSet(v, TextOptionNames, s.Options);
    if (SameIdent(name, "UnderlineType"))
        return ToEnum(v, UnderlineTypeNames, s.UnderlineType);
    if (SameIdent(name, "ModifiedProperties"))
        return ToSet(v, FontInfoPropertyNames, s.ModifiedProperties);
    if (SameIdent(name, "SingleSymbols")) {
        // An older way of saying "keep this style and never switch away from it".
        bool single = false;
        if (!ValueToBool(v, single))
            return false;
        if (single)
            s.Protection |= TRVProtectOptions{rvprStyleProtect, rvprDoNotAutoSwitch};
        return true;
    }
    return false;
}

[[nodiscard]] bool AssignPara(std::string_view name, const TTaggedValue& v, TParaInfo& s)
{
    if (auto taken = AssignHeader(name, v, s))
        return *taken;
    TRVBorder& b = s.Border;
    TRVRect& bo = s.Border.BorderOffsets;
    TRVRect& go = s.Background.BorderOffsets;
    constexpr TIntRange px = PixelLengthRange;
    const TBoundedField ints[] = {
        {"FirstIndent", &s.FirstIndent, px},
        {"LeftIndent", &s.LeftIndent, px},
        {"RightIndent", &s.RightIndent, px},
        {"SpaceBefore", &s.SpaceBefore, px},
        {"SpaceAfter", &s.SpaceAfter, px},
        {"Border.Width", &b.Width, px},
        {"Border.InternalWidth", &b.InternalWidth, px},
        {"Border.BorderOffsets.Left", &bo.Left, px},
        {"Border.BorderOffsets.Right", &bo.Right, px},
        {"Border.BorderOffsets.Top", &bo.Top, px},
        {"Border.BorderOffsets.Bottom", &bo.Bottom, px},
        {"Background.BorderOffsets.Left", &go.Left, px},
        {"Background.BorderOffsets.Right", &go.Right, px},
        {"Background.BorderOffsets.Top", &go.Top, px},
        {"Background.BorderOffsets.Bottom", &go.Bottom, px},
        {"LineSpacing", &s.LineSpacing, px},
        {"NextParaNo", &s.NextParaNo, AnyInt32},
        {"DefStyleNo", &s.DefStyleNo, AnyInt32},
    };
    if (auto taken = AssignBoundedIfNamed(name, v, ints))
        return *taken;
    const TNamedField<bool> bools[] = {{"Border.VisibleBorders.Left", &b.VisibleBorders.Left},
                                       {"Border.VisibleBorders.Right", &b.VisibleBorders.Right},
                                       {"Border.VisibleBorders.Top", &b.VisibleBorders.Top},
                                       {"Border.VisibleBorders.Bottom", &b.VisibleBorders.Bottom}};
    if (auto taken = AssignIfNamed(name, bools, [&](bool& f) { return ValueToBool(v, f); }))
        return *taken;

    if (SameIdent(name, "Border.Color"))
        return ValueToColor(v, b.Color);
    if (SameIdent(name, "Background.Color"))
        return ValueToColor(v, s.Background.Color);
    if (SameIdent(name, "Alignment"))
        return ToEnum(v, AlignmentNames, s.Alignment);
    if (SameIdent(name, "Border.Style"))
        return ToEnum(v, BorderStyleNames, b.Style);
    if (SameIdent(name, "LineSpacingType"))
        return ToEnum(v, LineSpacingTypeNames, s.LineSpacingType);
    if (SameIdent(name, "Options"))
        return ToSet(v, ParaOptionNames, s.Options);
    if (SameIdent(name, "BiDiMode"))
        return ToEnum(v, BiDiModeNames, s.BiDiMode);
    const bool first = SameIdent(name, "ModifiedProperties1");
    if (first || SameIdent(name, "ModifiedProperties2")) {
        // The first word holds members 0..31, the second members 32..35.
        std::uint64_t bits = 0;
        if (!ValueToSet(v, ParaInfoPropertyNames, bits))
            return false;
        if (first) {
            if ((bits >> 32) != 0)
                return false;
            s.ModifiedProperties1 = static_cast<std::uint32_t>(bits);
        } else {
            if ((bits & 0xFFFFFFFFu) != 0)
                return false;
            s.ModifiedProperties2 = static_cast<std::uint32_t>(bits >> 32);
        }
        return true;
    }
    return false;
}

[[nodiscard]] bool AssignTab(std::string_view name, const TTaggedValue& v, TRVTabInfo& tab)
{
    if (SameIdent(name, "Align"))
        return ToEnum(v, TabAlignNames, tab.Align);
    if (SameIdent(name, "Position"))
        return ValueToBounded(v, PixelLengthRange, tab.Position);
    if (SameIdent(name, "Leader"))
        return ValueToText(v, tab.Leader);
    return false;
}

/// What a list level needs from outside this file while it is read.
struct TLevelContext {
    const TStylePictureFactory& Pictures;
    const TImageListResolver& ImageLists;
    TRVFWarnings& Warnings;
};

[[nodiscard]] bool AssignMarkerFont(std::string_view name, const TTaggedValue& v, TRVListLevel& level)
{
    // Converted into a copy first, so that a rejected value does not create the font.
    TRVMarkerFont font = level.Font() ? *level.Font() : TRVMarkerFont{};
    bool taken;
    if (SameIdent(name, "Font.Charset"))
        taken = ValueToCharset(v, font.Charset);
    else if (SameIdent(name, "Font.Color"))
        taken = ValueToColor(v, font.Color);
    else if (SameIdent(name, "Font.Name"))
        taken = ValueToText(v, font.Name);
    else if (SameIdent(name, "Font.Pitch"))
        taken = ToEnum(v, FontPitchNames, font.Pitch);
    else if (SameIdent(name, "Font.Style"))
        taken = ToSet(v, FontStyleNames, font.Style);
    else if (SameIdent(name, "Font.Height")) {
        std::int32_t height = 0;
        taken = ValueToInt32(v, height);
        if (taken)
            font.SetHeight(height);
    } else
        return false;
    if (taken)
        level.EditFont() = font;
    return taken;
}

[[nodiscard]] bool AssignLevel(std::string_view name, const TTaggedValue& v, TRVListLevel& level,
                               const TLevelContext& context)
{
    const TBoundedField ints[] = {{"StartFrom", &level.StartFrom, AnyInt32},
                                  {"ImageIndex", &level.ImageIndex, AnyInt32},
                                  {"LeftIndent", &level.LeftIndent, PixelLengthRange},
                                  {"FirstIndent", &level.FirstIndent, PixelLengthRange},
                                  {"MarkerIndent", &level.MarkerIndent, PixelLengthRange}};
    if (auto taken = AssignBoundedIfNamed(name, v, ints))
        return *taken;
    if (SameIdent(name, "ListType"))
        return ToEnum(v, ListTypeNames, level.ListType);
    if (SameIdent(name, "MarkerAlignment"))
        return ToEnum(v, MarkerAlignmentNames, level.MarkerAlignment);
    if (SameIdent(name, "Options"))
        return ToSet(v, ListLevelOptionNames, level.Options);
    if (SameIdent(name.substr(0, 5), "Font."))
        return AssignMarkerFont(name, v, level);

    if (SameIdent(name, "Picture.Data")) {
        if (v.Tag != TValueTag::Binary || v.Bytes.empty())
            return false;
        const std::size_t nameLength = static_cast<unsigned char>(v.Bytes[0]);
        if (1 + nameLength > v.Bytes.size())
            return false;
        const std::string_view data(v.Bytes);
        std::unique_ptr<TGraphic> picture;
        if (context.Pictures)
            picture = context.Pictures(data.substr(1, nameLength), data.substr(1 + nameLength));
        if (picture)
            level.SetPicture(picture.get());
        else
            context.Warnings.Include(WarnUnknownPicture);
        return true;
    }
    if (SameIdent(name, "ILTag")) {
        std::int32_t tag = 0;
        if (!ValueToInt32(v, tag))
            return false;
        if (context.ImageLists)
            level.ImageList = context.ImageLists(tag);
        return true;
    }
    std::vector<std::uint32_t> units;
    if (SameIdent(name, "FormatStringWCode")) {
        if (!v.IsString() || !ParseHex(v.Bytes, 4, units))
            return false;
        level.FormatStringW.assign(units.begin(), units.end());
        return true;
    }
    if (SameIdent(name, "FormatStringCode")) {
        if (!v.IsString() || !ParseHex(v.Bytes, 2, units))
            return false;
        level.FormatString.assign(units.begin(), units.end());
        return true;
    }
    // The same texts as plain values, as other writers may store them.
    if (SameIdent(name, "FormatString") && v.IsString()) {
        level.FormatString = v.Bytes;
        return true;
    }
    if (SameIdent(name, "FormatStringW") && v.Tag == TValueTag::WideString) {
        level.FormatStringW = v.Wide;
        return true;
    }
    return false;
}

[[nodiscard]] bool AssignList(std::string_view name, const TTaggedValue& v, TRVListInfo& s)
{
    if (auto taken = AssignHeader(name, v, s))
        return *taken;
    if (SameIdent(name, "OneLevelPreview"))
        return ValueToBool(v, s.OneLevelPreview);
    if (SameIdent(name, "LstID")) {
        std::int32_t id = 0;
        if (!ValueToInt32(v, id))
            return false;
        s.SetListId(id);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Reading: the structure of collections, items and properties.

class TStyleReader {
public:
    TStyleReader(std::string_view stream, TRVFWarnings& warnings) : R(stream), Warnings(warnings) {}

    /// A collection of items; onItem reads the properties of one item (its start byte is read).
    template <class OnItem>
    [[nodiscard]] bool ReadCollection(OnItem onItem)
    {
        if (!R.ReadCollectionBegin())
            return false;
        for (;;) {
            if (R.AtListEnd())
                return R.ReadListEnd();
            std::int64_t ignoredIndex = 0;
            if (!R.ReadInteger(ignoredIndex) && R.Failed())
                return false;
            if (!R.ReadListBegin() || !onItem())
                return false;
        }
    }

    /// Properties up to the end byte; onProperty reads the value of one (its name is read).
    template <class OnProperty>
    [[nodiscard]] bool ReadProperties(OnProperty onProperty)
    {
        for (;;) {
            std::string name;
            if (!R.ReadPropName(name))
                return false;
            if (name.empty())
                return true;
            if (!onProperty(std::string_view(name)))
                return false;
        }
    }

    /// Reads a scalar value and hands it to assign; a value not taken counts as unknown.
    template <class Assign>
    [[nodiscard]] bool ReadScalar(Assign assign)
    {
        TTaggedValue value;
        if (!R.ReadValue(value))
            return false;
        if (!assign(value))
            Warnings.Include(WarnUnknownProperty);
        return true;
    }

    /// A nested collection; any other value there is skipped as unknown.
    template <class OnItem>
    [[nodiscard]] bool ReadNested(OnItem onItem)
    {
        TValueTag tag;
        if (!R.PeekTag(tag))
            return false;
        if (tag == TValueTag::Collection)
            return ReadCollection(onItem);
        return ReadScalar([](const TTaggedValue&) { return false; });
    }

    TTaggedReader R;
    TRVFWarnings& Warnings;
};

template <class Read>
[[nodiscard]] bool Guarded(Read read) noexcept
{
    try {
        return read();
    } catch (const std::exception&) {
        return false; // out of memory, or a picture factory that threw
    }
}

} // namespace

std::string WriteTextStyleStream(const TFontInfos& styles)
{
    return WriteStyles(styles, WriteTextStyle);
}

std::string WriteParaStyleStream(const TParaInfos& styles)
{
    return WriteStyles(styles, WriteParaStyle);
}

std::string WriteListStyleStream(const TRVListInfos& styles)
{
    return WriteStyles(styles, WriteListStyle);
}

bool ReadTextStyleStream(std::string_view stream, TFontInfos& into, TRVFWarnings& warnings)
{
    return Guarded([&] {
        TStyleReader r(stream, warnings);
        return r.ReadCollection([&] {
            TFontInfo& s = into.Add();
            return r.ReadProperties([&](std::string_view name) {
                return r.ReadScalar([&](const TTaggedValue& v) { return AssignText(name, v, s); });
            });
        });
    });
}

bool ReadParaStyleStream(std::string_view stream, TParaInfos& into, TRVFWarnings& warnings)
{
    return Guarded([&] {
        TStyleReader r(stream, warnings);
        return r.ReadCollection([&] {
            TParaInfo& s = into.Add();
            return r.ReadProperties([&](std::string_view name) {
                if (!SameIdent(name, "Tabs"))
                    return r.ReadScalar([&](const TTaggedValue& v) { return AssignPara(name, v, s); });
                s.Tabs.Clear();
                return r.ReadNested([&] {
                    TRVTabInfo tab;
                    const bool ok = r.ReadProperties([&](std::string_view tabName) {
                        return r.ReadScalar([&](const TTaggedValue& v) { return AssignTab(tabName, v, tab); });
                    });
                    s.Tabs.Add(tab.Position, tab.Align, tab.Leader);
                    return ok;
                });
            });
        });
    });
}

bool ReadListStyleStream(std::string_view stream, TRVListInfos& into, TRVFWarnings& warnings,
                         const TStylePictureFactory& pictures, const TImageListResolver& imageLists)
{
    return Guarded([&] {
        TStyleReader r(stream, warnings);
        const TLevelContext context{pictures, imageLists, warnings};
        return r.ReadCollection([&] {
            TRVListInfo& s = into.Add();
            return r.ReadProperties([&](std::string_view name) {
                if (!SameIdent(name, "Levels"))
                    return r.ReadScalar([&](const TTaggedValue& v) { return AssignList(name, v, s); });
                s.Levels.Clear();
                return r.ReadNested([&] {
                    TRVListLevel& level = s.Levels.Add();
                    return r.ReadProperties([&](std::string_view levelName) {
                        return r.ReadScalar(
                            [&](const TTaggedValue& v) { return AssignLevel(levelName, v, level, context); });
                    });
                });
            });
        });
    });
}

} // namespace xq

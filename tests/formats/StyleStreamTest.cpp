// Style streams: exact bytes, round trips of whole sheets, named values, lenient and damaged input.
#include <gtest/gtest.h>

#include <cstdint>

#include "document/LengthBounds.h"
#include "document/RVStyle.h"
#include "formats/rvf/StyleStream.h"

namespace xq {
namespace {

// Bytes as the format lays them out, built by hand from its rules.
std::string Byte(int b)
{
    return std::string(1, static_cast<char>(b));
}
std::string Short(std::string_view s)
{
    return Byte(int(s.size())) + std::string(s);
}
std::string Prop(std::string_view name, std::string_view valueBytes)
{
    return Short(name) + std::string(valueBytes);
}
std::string Str(std::string_view s)
{
    return Byte(6) + Short(s);
}
std::string Ident(std::string_view s)
{
    return Byte(7) + Short(s);
}
std::string Int8(int v)
{
    return Byte(2) + Byte(v & 0xFF);
}
std::string Set(std::initializer_list<std::string_view> members)
{
    std::string s = Byte(11);
    for (auto m : members)
        s += Short(m);
    return s + Byte(0);
}

/// A picture that is nothing but its bytes.
class TBytesPicture : public TGraphic {
public:
    std::string ClassName() const override { return "TTestPicture"; }
    int Width() const override { return int(Bytes_.size()); }
    int Height() const override { return 1; }
    bool Empty() const override { return Bytes_.empty(); }
    bool LoadFromBytes(std::string_view bytes) override
    {
        Bytes_ = bytes;
        return true;
    }
    std::string SaveToBytes() const override { return Bytes_; }
    bool Decode(TRGBAImage&) const override { return false; }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBytesPicture>(*this); }

private:
    std::string Bytes_;
};

std::unique_ptr<TGraphic> MakeTestPicture(std::string_view className, std::string_view bytes)
{
    if (className != "TTestPicture")
        return nullptr;
    auto picture = std::make_unique<TBytesPicture>();
    picture->LoadFromBytes(bytes);
    return picture;
}

const TRVImageList Bullets(77, 16, 16, 4);
const TRVImageList* FindImageList(std::int32_t tag)
{
    return tag == Bullets.Tag ? &Bullets : nullptr;
}

template <class Styles>
void ExpectSameHeaders(const Styles& a, const Styles& b)
{
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        EXPECT_EQ(a[i].StyleName, b[i].StyleName) << i;
        EXPECT_EQ(a[i].Standard, b[i].Standard) << i;
        EXPECT_EQ(a[i].BaseStyleNo, b[i].BaseStyleNo) << i;
        EXPECT_EQ(a[i].StyleTemplateId, b[i].StyleTemplateId) << i;
    }
}

void ExpectTextRoundTrip(const TFontInfos& styles)
{
    TRVStyle target;
    target.TextStyles.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadTextStyleStream(WriteTextStyleStream(styles), target.TextStyles, warnings));
    EXPECT_TRUE(warnings.Empty());
    ExpectSameHeaders(styles, target.TextStyles);
    for (int i = 0; i < styles.Count(); ++i)
        EXPECT_TRUE(styles[i].EqualsStyle(target.TextStyles[i], false)) << i;
}

void ExpectParaRoundTrip(const TParaInfos& styles)
{
    TRVStyle target;
    target.ParaStyles.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadParaStyleStream(WriteParaStyleStream(styles), target.ParaStyles, warnings));
    EXPECT_TRUE(warnings.Empty());
    ExpectSameHeaders(styles, target.ParaStyles);
    for (int i = 0; i < styles.Count(); ++i)
        EXPECT_TRUE(styles[i].EqualsStyle(target.ParaStyles[i], false)) << i;
}

TEST(StyleStream, MainWindowTextStylesHaveTheExactBytes)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    sheet.TextStyles.KeepOnly({true, true, false, false, false, false, false});
    // Only what differs from the defaults; strings whenever they are not empty.
    const std::string expected =
        Byte(14) +
        Byte(1) + Prop("StyleName", Str("Normaler Text")) + Prop("FontName", Str("Times New Roman")) +
        Prop("JumpCursor", Ident("crDefault")) + Byte(0) +
        Byte(1) + Prop("StyleName", Str("\xDC" "berschrift")) + Prop("FontName", Str("Arial")) +
        Prop("Size", Int8(12)) + Prop("Style", Set({"fsBold", "fsUnderline"})) + Prop("Color", Ident("clBlue")) +
        Prop("JumpCursor", Ident("crDefault")) + Byte(0) +
        Byte(0);
    EXPECT_EQ(WriteTextStyleStream(sheet.TextStyles), expected);
}

TEST(StyleStream, ParagraphAndListStylesHaveTheExactBytes)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    sheet.ParaStyles.KeepOnly({false, false, true, false, true, false});
    const std::string offsets =
        Prop("Border.BorderOffsets.Left", Int8(5)) + Prop("Border.BorderOffsets.Right", Int8(5)) +
        Prop("Border.BorderOffsets.Top", Int8(5)) + Prop("Border.BorderOffsets.Bottom", Int8(5));
    const std::string emptyTabs = Prop("Tabs", Byte(14) + Byte(0));
    const std::string expectedParas =
        Byte(14) +
        Byte(1) + Prop("StyleName", Str("Rechtsb\xFCndig")) + Prop("Alignment", Ident("rvaRight")) + emptyTabs +
        Byte(0) +
        Byte(1) + Prop("StyleName", Str("Einfacher Rahmen")) + Prop("SpaceBefore", Int8(8)) +
        Prop("SpaceAfter", Int8(8)) + Prop("Border.Color", Ident("clBlack")) +
        Prop("Border.Style", Ident("rvbSingle")) + offsets + emptyTabs + Byte(0) +
        Byte(0);
    EXPECT_EQ(WriteParaStyleStream(sheet.ParaStyles), expectedParas);

    // A list: its levels always (one default level is an empty item), its identity always.
    TRVListInfo& list = sheet.ListStyles.Add();
    list.Levels.Add();
    list.SetListId(0x01020304);
    const std::string expectedList = Byte(14) + Byte(1) + Prop("StyleName", Str("List Style")) +
                                     Prop("Levels", Byte(14) + Byte(1) + Byte(0) + Byte(0)) +
                                     Prop("LstID", Byte(4) + Byte(4) + Byte(3) + Byte(2) + Byte(1)) + Byte(0) + Byte(0);
    EXPECT_EQ(WriteListStyleStream(sheet.ListStyles), expectedList);
}

TEST(StyleStream, MainWindowSheetRoundTrips)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    ExpectTextRoundTrip(sheet.TextStyles);
    ExpectParaRoundTrip(sheet.ParaStyles);
    const std::string lists = WriteListStyleStream(sheet.ListStyles);
    EXPECT_EQ(lists, Byte(14) + Byte(0));
    TRVFWarnings warnings;
    EXPECT_TRUE(ReadListStyleStream(lists, sheet.ListStyles, warnings));
    EXPECT_EQ(sheet.ListStyles.Count(), 0);
}

TEST(StyleStream, TextStylesWithEveryPropertySetRoundTrip)
{
    TRVStyle sheet;
    sheet.TextStyles.Clear();
    TFontInfo& s = sheet.TextStyles.Add();
    s.BaseStyleNo = 3;
    s.StyleName = "Gro\xC3\x9F und klein";
    s.Standard = false;
    s.StyleTemplateId = 7;
    s.Charset = EASTEUROPE_CHARSET;
    s.FontName = "Courier New";
    s.Size = 14;
    s.Style = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
    s.VShift = -33;
    s.Color = 0x123456;
    s.BackColor = clYellow;
    s.HoverBackColor = clInfoBk;
    s.HoverColor = 0x80000030;
    s.HoverEffects = {rvheUnderline};
    s.StyleEx = {rvfsOverline, rvfsAllCaps};
    s.Jump = true;
    s.JumpCursor = crHandPoint;
    s.CharScale = 150;
    s.CharSpacing = -2;
    s.BiDiMode = rvbdRightToLeft;
    s.SubSuperScriptType = rvsssSuperScript;
    s.Protection = TRVProtectOptions::FromBits(0x1FFF);
    s.Options = {rvteoHTMLCode, rvteoRTFCode};
    s.UnderlineType = rvutThickDashDotDotted;
    s.UnderlineColor = clRed;
    s.HoverUnderlineColor = 0xFFFFFFFF;
    s.NextStyleNo = 70000;
    s.Unicode = true;
    s.ModifiedProperties = RVAllFontInfoProperties;
    // Values without names travel as integers.
    TFontInfo& t = sheet.TextStyles.Add();
    t.Charset = 100;
    t.JumpCursor = crRVFlipArrow;
    ExpectTextRoundTrip(sheet.TextStyles);
}

TEST(StyleStream, ParagraphStylesWithEveryPropertySetRoundTrip)
{
    TRVStyle sheet;
    sheet.ParaStyles.Clear();
    TParaInfo& p = sheet.ParaStyles.Add();
    p.BaseStyleNo = 1;
    p.StyleName = "Absatz";
    p.Standard = false;
    p.StyleTemplateId = 2;
    p.FirstIndent = -20;
    p.LeftIndent = 40;
    p.RightIndent = 300;
    p.SpaceBefore = 1;
    p.SpaceAfter = 2;
    p.Alignment = rvaJustify;
    p.Border = {clNavy, rvbThickOutside, 3, 2, {false, false, false, false}, {1, 2, 3, 4}};
    p.Background = {0xABCDEF, {5, 6, 7, 8}};
    p.LineSpacing = 12;
    p.LineSpacingType = rvlsSpaceBetween;
    p.Options = TRVParaOptions::FromBits(0x7F);
    p.BiDiMode = rvbdLeftToRight;
    p.Tabs.Add(100);
    p.Tabs.Add(200, rvtaRight, ".");
    p.Tabs.Add(50, rvtaCenter, "\xE2\x80\x93"); // an en dash, one byte in the stream
    p.NextParaNo = 0;
    p.DefStyleNo = 5;
    p.ModifiedProperties1 = 0xFFFFFFFF;
    p.ModifiedProperties2 = 0xF;
    TParaInfo& q = sheet.ParaStyles.Add();
    q.Border.VisibleBorders.Top = false;
    q.ModifiedProperties2 = 1;
    ExpectParaRoundTrip(sheet.ParaStyles);

    const std::string stream = WriteParaStyleStream(sheet.ParaStyles);
    EXPECT_NE(stream.find(Prop("RightIndent", Byte(3) + Byte(0x2C) + Byte(1))), std::string::npos);
    EXPECT_NE(stream.find(Prop("Leader", Str("\x96"))), std::string::npos);
    // The second word of the modified set names the members after the first 32.
    EXPECT_NE(stream.find(Prop("ModifiedProperties2", Set({"rvpiKeepWithNext"}))), std::string::npos);
    EXPECT_NE(stream.find(Prop("Border.VisibleBorders.Top", Byte(8))), std::string::npos);
}

TEST(StyleStream, ListStylesWithEveryPropertySetRoundTrip)
{
    TRVStyle sheet;
    TRVListInfo& list = sheet.ListStyles.Add();
    list.BaseStyleNo = 0;
    list.StyleName = "Aufz\xC3\xA4hlung";
    list.Standard = false;
    list.StyleTemplateId = 9;
    list.OneLevelPreview = true;
    list.SetListId(123456);
    TRVListLevel& full = list.Levels.Add();
    full.ListType = rvlstUnicodeBullet;
    full.StartFrom = 5;
    full.ImageIndex = 2;
    full.LeftIndent = 24;
    full.FirstIndent = -12;
    full.MarkerIndent = 6;
    full.MarkerAlignment = rvmaRight;
    TBytesPicture picture;
    picture.LoadFromBytes(std::string("\x89PNG\0data", 9));
    full.SetPicture(&picture);
    TRVMarkerFont& font = full.EditFont();
    font.Name = "Symbol";
    font.Size = 12;
    font.Color = clRed;
    font.Charset = SYMBOL_CHARSET;
    font.Style = {fsBold, fsItalic};
    font.Pitch = fpFixed;
    full.Options = {rvloLegalStyleNumbering};
    full.ImageList = &Bullets;
    full.FormatStringW = u"\u25CF\u2022";
    full.FormatString = "%0.";
    list.Levels.Add();                 // all defaults
    list.Levels.Add().EditFont();      // a font equal to the default one, but present
    list.Levels.Add().FormatString = ""; // differs from the default bullet
    sheet.ListStyles.Add();            // no levels

    const std::string stream = WriteListStyleStream(sheet.ListStyles);
    EXPECT_NE(stream.find(Prop("FormatStringWCode", Str("25CF2022"))), std::string::npos);
    EXPECT_NE(stream.find(Prop("FormatStringCode", Str("25302E"))), std::string::npos);
    EXPECT_NE(stream.find(Prop("Font.Height", Int8(-16))), std::string::npos);
    EXPECT_NE(stream.find(Prop("Picture.Data", Byte(10) + Byte(22) + std::string(3, '\0') + Short("TTestPicture"))),
              std::string::npos);

    TRVStyle target;
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadListStyleStream(stream, target.ListStyles, warnings, MakeTestPicture, FindImageList));
    EXPECT_TRUE(warnings.Empty());
    ExpectSameHeaders(sheet.ListStyles, target.ListStyles);
    for (int i = 0; i < sheet.ListStyles.Count(); ++i) {
        EXPECT_TRUE(sheet.ListStyles[i].EqualsStyle(target.ListStyles[i], false)) << i;
        EXPECT_EQ(sheet.ListStyles[i].ListId(), target.ListStyles[i].ListId()) << i;
    }
    const TRVListInfo& back = target.ListStyles[0];
    ASSERT_EQ(back.Levels.Count(), 4);
    ASSERT_NE(back.Levels[0].Font(), nullptr);
    EXPECT_EQ(back.Levels[0].Font()->Pitch, fpFixed);
    EXPECT_EQ(back.Levels[0].Font()->Size, 12);
    ASSERT_NE(back.Levels[0].Picture(), nullptr);
    EXPECT_EQ(back.Levels[0].Picture()->SaveToBytes(), picture.SaveToBytes());
    EXPECT_EQ(back.Levels[1].Font(), nullptr);
    EXPECT_NE(back.Levels[2].Font(), nullptr);
    EXPECT_EQ(back.Levels[3].FormatString, "");

    // Without a picture factory the level loses its picture and keeps everything else.
    TRVStyle plain;
    TRVFWarnings pictureWarnings;
    ASSERT_TRUE(ReadListStyleStream(stream, plain.ListStyles, pictureWarnings));
    EXPECT_TRUE(pictureWarnings.Contains(WarnUnknownPicture));
    EXPECT_EQ(plain.ListStyles[0].Levels[0].Picture(), nullptr);
    EXPECT_EQ(plain.ListStyles[0].Levels[0].ImageList, nullptr);
    EXPECT_EQ(plain.ListStyles[0].Levels[0].FormatStringW, u"\u25CF\u2022");
}

TEST(StyleStream, NamedValuesAreIdentifiersOthersIntegers)
{
    TRVStyle sheet;
    sheet.TextStyles.Clear();
    TFontInfo& s = sheet.TextStyles.Add();
    s.Color = 0x123456;
    s.BackColor = 0x80000030;
    s.HoverColor = clInfoBk;
    s.UnderlineColor = clRed;
    s.JumpCursor = crHandPoint;
    s.Charset = 204;
    const std::string stream = WriteTextStyleStream(sheet.TextStyles);
    EXPECT_NE(stream.find(Prop("Color", Byte(4) + Byte(0x56) + Byte(0x34) + Byte(0x12) + Byte(0))), std::string::npos);
    EXPECT_NE(stream.find(Prop("BackColor", Byte(4) + Byte(0x30) + Byte(0) + Byte(0) + Byte(0x80))), std::string::npos);
    EXPECT_NE(stream.find(Prop("HoverColor", Ident("clInfoBk"))), std::string::npos);
    EXPECT_NE(stream.find(Prop("UnderlineColor", Ident("clRed"))), std::string::npos);
    EXPECT_NE(stream.find(Prop("JumpCursor", Ident("crHandPoint"))), std::string::npos);
    EXPECT_NE(stream.find(Prop("Charset", Ident("RUSSIAN_CHARSET"))), std::string::npos);

    // The helpers the table stream shares; identifiers are matched without case.
    TColor color = 0;
    EXPECT_EQ(ColorIdentOrEmpty(cl3DDkShadow), "cl3DDkShadow");
    EXPECT_EQ(ColorIdentOrEmpty(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorIdentOrEmpty(clNone), "clNone");
    EXPECT_EQ(ColorIdentOrEmpty(0x123456), "");
    EXPECT_TRUE(ParseColorIdent("CLFUCHSIA", color));
    EXPECT_EQ(color, clFuchsia);
    EXPECT_FALSE(ParseColorIdent("clOrange", color));
    for (TColor c = clSystemColor; c <= clInfoBk; ++c) {
        ASSERT_TRUE(ParseColorIdent(ColorIdentOrEmpty(c), color)) << c;
        EXPECT_EQ(color, c);
    }
    TCursor cursor = 0;
    EXPECT_TRUE(ParseCursorIdent("crSizeAll", cursor));
    EXPECT_EQ(cursor, -22);
    EXPECT_EQ(CursorIdentOrEmpty(-6), "crSizeNESW");
    EXPECT_EQ(CursorIdentOrEmpty(crJump), "");
    std::uint8_t charset = 0;
    EXPECT_TRUE(ParseCharsetIdent("OEM_CHARSET", charset));
    EXPECT_EQ(charset, 255);
    EXPECT_EQ(CharsetIdentOrEmpty(77), "MAC_CHARSET");
    EXPECT_EQ(CharsetIdentOrEmpty(100), "");
}

TEST(StyleStream, ReadingAcceptsIntegersAndIgnoresItemIndices)
{
    // Named values as integers; the first item preceded by an int16 index, the second by an int8.
    const std::string stream = Byte(14) + Byte(3) + Byte(5) + Byte(0) + Byte(1) +
                               Prop("Color", Byte(3) + Byte(0xFF) + Byte(0)) + Prop("JumpCursor", Int8(-21)) +
                               Prop("Charset", Byte(3) + Byte(0xCC) + Byte(0)) +
                               Prop("HoverColor", Byte(4) + Byte(8) + Byte(0) + Byte(0) + Byte(0x80)) + Byte(0) +
                               Int8(1) + Byte(1) + Prop("Size", Int8(12)) + Byte(0) + Byte(0);
    TRVStyle sheet;
    sheet.TextStyles.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadTextStyleStream(stream, sheet.TextStyles, warnings));
    EXPECT_TRUE(warnings.Empty());
    ASSERT_EQ(sheet.TextStyles.Count(), 2);
    EXPECT_EQ(sheet.TextStyles[0].Color, clRed);
    EXPECT_EQ(sheet.TextStyles[0].JumpCursor, crHandPoint);
    EXPECT_EQ(sheet.TextStyles[0].Charset, RUSSIAN_CHARSET);
    EXPECT_EQ(sheet.TextStyles[0].HoverColor, clWindowText);
    EXPECT_EQ(sheet.TextStyles[1].Size, 12);
}

TEST(StyleStream, UnknownPropertiesAndWrongKindsAreSkippedWithAWarning)
{
    const std::string stream =
        Byte(14) + Byte(1) + Prop("Size", Int8(14)) +
        Prop("Frobnicate",
             Byte(1) + Str("deep") + Byte(14) + Byte(1) + Prop("X", Int8(1)) + Byte(0) + Byte(0) + Byte(0)) +
        Prop("Color", Str("red")) + Prop("Style", Set({"fsBold", "fsBlink"})) + Prop("Alignment", Ident("rvaCenter")) +
        Prop("JumpCursor", Ident("crNoSuchCursor")) + Prop("FontName", Str("Verdana")) + Byte(0) + Byte(0);
    TRVStyle sheet;
    sheet.TextStyles.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadTextStyleStream(stream, sheet.TextStyles, warnings));
    EXPECT_TRUE(warnings.Contains(WarnUnknownProperty));
    ASSERT_EQ(sheet.TextStyles.Count(), 1);
    const TFontInfo& s = sheet.TextStyles[0];
    EXPECT_EQ(s.Size, 14);
    EXPECT_EQ(s.FontName, "Verdana");
    EXPECT_EQ(s.Color, clWindowText);
    EXPECT_TRUE(s.Style.Empty());
    EXPECT_EQ(s.JumpCursor, crJump);

    // A nested collection where a value is expected, and a value where the tabs should be.
    const std::string paras = Byte(14) + Byte(1) + Prop("Tabs", Int8(3)) +
                              Prop("LeftIndent", Byte(14) + Byte(0)) + Prop("RightIndent", Int8(9)) + Byte(0) + Byte(0);
    TRVFWarnings paraWarnings;
    ASSERT_TRUE(ReadParaStyleStream(paras, sheet.ParaStyles, paraWarnings));
    EXPECT_TRUE(paraWarnings.Contains(WarnUnknownProperty));
    EXPECT_EQ(sheet.ParaStyles[sheet.ParaStyles.Count() - 1].RightIndent, 9);
}

TEST(StyleStream, LengthsAreClampedIntoTheirRangesOnReading)
{
    // The writer stores whatever the styles hold; the reader keeps lengths the layout can add up.
    TRVStyle sheet;
    sheet.TextStyles.Clear();
    TFontInfo& wild = sheet.TextStyles.Add();
    wild.Size = INT32_MAX;
    wild.VShift = INT32_MIN;
    wild.CharScale = INT32_MAX;
    wild.CharSpacing = INT32_MIN;
    wild.NextStyleNo = INT32_MAX; // not a length: kept
    TFontInfo& low = sheet.TextStyles.Add();
    low.Size = -5;
    low.CharScale = 0;
    low.VShift = TextVShiftRange.Max + 1;
    low.CharSpacing = PixelLengthRange.Max + 1;
    TFontInfo& edge = sheet.TextStyles.Add();
    edge.Size = FontSizeRange.Max;
    edge.VShift = TextVShiftRange.Min;
    edge.CharScale = CharScaleRange.Max;
    edge.CharSpacing = PixelLengthRange.Min;

    TRVStyle back;
    back.TextStyles.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadTextStyleStream(WriteTextStyleStream(sheet.TextStyles), back.TextStyles, warnings));
    EXPECT_TRUE(warnings.Empty()) << "clamped values are taken, not refused";
    ASSERT_EQ(back.TextStyles.Count(), 3);
    EXPECT_EQ(back.TextStyles[0].Size, FontSizeRange.Max);
    EXPECT_EQ(back.TextStyles[0].VShift, TextVShiftRange.Min);
    EXPECT_EQ(back.TextStyles[0].CharScale, CharScaleRange.Max);
    EXPECT_EQ(back.TextStyles[0].CharSpacing, PixelLengthRange.Min);
    EXPECT_EQ(back.TextStyles[0].NextStyleNo, INT32_MAX);
    EXPECT_EQ(back.TextStyles[1].Size, FontSizeRange.Min);
    EXPECT_EQ(back.TextStyles[1].CharScale, CharScaleRange.Min);
    EXPECT_EQ(back.TextStyles[1].VShift, TextVShiftRange.Max);
    EXPECT_EQ(back.TextStyles[1].CharSpacing, PixelLengthRange.Max);
    EXPECT_TRUE(back.TextStyles[2].EqualsStyle(edge, false)) << "the bounds themselves stay";

    sheet.ParaStyles.Clear();
    TParaInfo& p = sheet.ParaStyles.Add();
    p.FirstIndent = INT32_MIN;
    p.LeftIndent = INT32_MAX;
    p.RightIndent = -40000;
    p.SpaceBefore = INT32_MAX;
    p.SpaceAfter = 40000;
    p.LineSpacing = INT32_MAX;
    p.Border = {clNavy, rvbTriple, INT32_MAX, INT32_MIN, {}, {INT32_MIN, INT32_MAX, 1, -1}};
    p.Background.BorderOffsets = {INT32_MAX, 2, INT32_MIN, 3};
    p.Tabs.Add(INT32_MIN);
    p.Tabs.Add(INT32_MAX, rvtaRight);
    p.DefStyleNo = INT32_MAX; // a style reference: kept
    sheet.ParaStyles.Add(); // all defaults
    back.ParaStyles.Clear();
    ASSERT_TRUE(ReadParaStyleStream(WriteParaStyleStream(sheet.ParaStyles), back.ParaStyles, warnings));
    ASSERT_EQ(back.ParaStyles.Count(), 2);
    const TParaInfo& q = back.ParaStyles[0];
    constexpr std::int32_t most = PixelLengthRange.Max, least = PixelLengthRange.Min;
    EXPECT_EQ(q.FirstIndent, least);
    EXPECT_EQ(q.LeftIndent, most);
    EXPECT_EQ(q.RightIndent, least);
    EXPECT_EQ(q.SpaceBefore, most);
    EXPECT_EQ(q.SpaceAfter, most);
    EXPECT_EQ(q.LineSpacing, most);
    EXPECT_EQ(q.Border.Width, most);
    EXPECT_EQ(q.Border.InternalWidth, least);
    EXPECT_EQ(q.Border.BorderOffsets, (TRVRect{least, most, 1, -1}));
    EXPECT_EQ(q.Background.BorderOffsets, (TRVRect{most, 2, least, 3}));
    ASSERT_EQ(q.Tabs.Count(), 2);
    EXPECT_EQ(q.Tabs[0].Position, least);
    EXPECT_EQ(q.Tabs[1].Position, most);
    EXPECT_EQ(q.Tabs[1].Align, rvtaRight);
    EXPECT_EQ(q.DefStyleNo, INT32_MAX);
    EXPECT_TRUE(back.ParaStyles[1].EqualsStyle(sheet.ParaStyles[1], false));

    TRVListInfo& list = sheet.ListStyles.Add();
    TRVListLevel& level = list.Levels.Add();
    level.StartFrom = INT32_MAX; // a counter: kept
    level.LeftIndent = INT32_MAX;
    level.FirstIndent = INT32_MIN;
    level.MarkerIndent = 40000;
    level.EditFont().Size = 100000; // written as a height of -133333 pixels
    TRVListLevel& tiny = list.Levels.Add();
    tiny.EditFont().Size = 0;
    back.ListStyles.Clear();
    ASSERT_TRUE(ReadListStyleStream(WriteListStyleStream(sheet.ListStyles), back.ListStyles, warnings));
    const TRVListInfo& read = back.ListStyles[back.ListStyles.Count() - 1];
    ASSERT_EQ(read.Levels.Count(), 2);
    EXPECT_EQ(read.Levels[0].StartFrom, INT32_MAX);
    EXPECT_EQ(read.Levels[0].LeftIndent, most);
    EXPECT_EQ(read.Levels[0].FirstIndent, least);
    EXPECT_EQ(read.Levels[0].MarkerIndent, most);
    ASSERT_NE(read.Levels[0].Font(), nullptr);
    EXPECT_EQ(read.Levels[0].Font()->Size, FontSizeRange.Max);
    ASSERT_NE(read.Levels[1].Font(), nullptr);
    EXPECT_EQ(read.Levels[1].Font()->Size, FontSizeRange.Min);
    EXPECT_TRUE(warnings.Empty());
}

TEST(StyleStream, SingleSymbolsProtectsTheStyle)
{
    const std::string stream = Byte(14) + Byte(1) + Prop("Protection", Set({"rvprDeleteProtect"})) +
                               Prop("SingleSymbols", Byte(9)) + Byte(0) + Byte(1) + Prop("SingleSymbols", Byte(8)) +
                               Byte(0) + Byte(0);
    TRVStyle sheet;
    sheet.TextStyles.Clear();
    TRVFWarnings warnings;
    ASSERT_TRUE(ReadTextStyleStream(stream, sheet.TextStyles, warnings));
    EXPECT_TRUE(warnings.Empty());
    EXPECT_EQ(sheet.TextStyles[0].Protection,
              (TRVProtectOptions{rvprDeleteProtect, rvprStyleProtect, rvprDoNotAutoSwitch}));
    EXPECT_TRUE(sheet.TextStyles[1].Protection.Empty());
}

TEST(StyleStream, StreamsNotStartingWithACollectionFail)
{
    TRVStyle sheet;
    TRVFWarnings warnings;
    for (const std::string& bad : {std::string(), Byte(1) + Byte(0), Byte(0), Byte(14) + Str("x") + Byte(0)}) {
        EXPECT_FALSE(ReadTextStyleStream(bad, sheet.TextStyles, warnings));
        EXPECT_FALSE(ReadParaStyleStream(bad, sheet.ParaStyles, warnings));
        EXPECT_FALSE(ReadListStyleStream(bad, sheet.ListStyles, warnings));
    }
}

TEST(StyleStream, EveryTruncationOfARealStreamFails)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    sheet.ParaStyles[2].Tabs.Add(30, rvtaRight, "-");
    TRVListInfo& list = sheet.ListStyles.Add();
    TRVListLevel& level = list.Levels.Add();
    level.EditFont().Name = "Wingdings";
    level.FormatStringW = u"\u2022";
    TBytesPicture picture;
    picture.LoadFromBytes("pixels");
    level.SetPicture(&picture);

    const std::string texts = WriteTextStyleStream(sheet.TextStyles);
    const std::string paras = WriteParaStyleStream(sheet.ParaStyles);
    const std::string lists = WriteListStyleStream(sheet.ListStyles);
    for (std::size_t n = 0; n < texts.size(); ++n) {
        TRVStyle target;
        TRVFWarnings warnings;
        EXPECT_FALSE(ReadTextStyleStream(std::string_view(texts).substr(0, n), target.TextStyles, warnings)) << n;
    }
    for (std::size_t n = 0; n < paras.size(); ++n) {
        TRVStyle target;
        TRVFWarnings warnings;
        EXPECT_FALSE(ReadParaStyleStream(std::string_view(paras).substr(0, n), target.ParaStyles, warnings)) << n;
    }
    for (std::size_t n = 0; n < lists.size(); ++n) {
        TRVStyle target;
        TRVFWarnings warnings;
        EXPECT_FALSE(ReadListStyleStream(std::string_view(lists).substr(0, n), target.ListStyles, warnings,
                                         MakeTestPicture))
            << n;
    }
}

} // namespace
} // namespace xq

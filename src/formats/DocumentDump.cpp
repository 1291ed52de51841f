// The JSON dump of a document: one function per part, and the dump forms item kinds register.
#include "formats/DocumentDump.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/JsonWriter.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

// ---------------------------------------------------------------------------------------------
// Dump forms of item kinds registered from above

class TDumpForms {
public:
    void Set(int kindCode, TDumpForm form)
    {
        std::lock_guard lock(Mutex_);
        if (form)
            Forms_[kindCode] = std::move(form);
        else
            Forms_.erase(kindCode);
    }

    /// A copy, so that a form may dump containers (and look up forms) while it runs.
    [[nodiscard]] TDumpForm Find(int kindCode) const
    {
        std::lock_guard lock(Mutex_);
        const auto found = Forms_.find(kindCode);
        return found == Forms_.end() ? TDumpForm{} : found->second;
    }

private:
    mutable std::mutex Mutex_;
    std::map<int, TDumpForm> Forms_;
};

[[nodiscard]] TDumpForms& DumpForms()
{
    static TDumpForms forms;
    return forms;
}

// ---------------------------------------------------------------------------------------------
// Names of values

using TNames = std::span<const char* const>;

/// The name of an enumeration value; a value without a name is written as its number.
void WriteEnum(TJsonWriter& w, std::string_view key, int value, TNames names)
{
    w.Key(key);
    if (value >= 0 && static_cast<std::size_t>(value) < names.size())
        w.String(names[static_cast<std::size_t>(value)]);
    else
        w.Int(value);
}

/// The members of a set as names; bits without a name as "#bit".
void WriteSet(TJsonWriter& w, std::string_view key, std::uint64_t bits, TNames names)
{
    w.Key(key);
    w.BeginArray();
    for (unsigned bit = 0; bit < 64; ++bit)
        if (bits & (std::uint64_t(1) << bit)) {
            if (bit < names.size())
                w.String(names[bit]);
            else
                w.String("#" + std::to_string(bit));
        }
    w.EndArray();
}

constexpr const char* BiDiNames[] = {"unspecified", "leftToRight", "rightToLeft"};
constexpr const char* UnderlineNames[] = {"normal",        "thick",           "double",
                                          "dotted",        "thickDotted",     "dashed",
                                          "thickDashed",   "longDashed",      "thickLongDashed",
                                          "dashDotted",    "thickDashDotted", "dashDotDotted",
                                          "thickDashDotDotted"};
constexpr const char* HoverEffectNames[] = {"underline"};
constexpr const char* FontStyleNames[] = {"bold", "italic", "underline", "strikeOut"};
constexpr const char* FontStyleExNames[] = {"overline", "allCaps"};
constexpr const char* SubSuperNames[] = {"normal", "subscript", "superscript"};
constexpr const char* ProtectNames[] = {"styleProtect",     "styleSplitProtect", "modifyProtect", "deleteProtect",
                                        "concateProtect",   "rvfInsertProtect",  "doNotAutoSwitch",
                                        "paraStartProtect", "sticking",          "sticking2",
                                        "sticking3",        "stickToTop",        "stickToBottom"};
constexpr const char* TextOptionNames[] = {"htmlCode", "rtfCode"};
constexpr const char* LineSpacingNames[] = {"percent", "spaceBetween"};
constexpr const char* AlignmentNames[] = {"left", "right", "center", "justify"};
constexpr const char* ParaOptionNames[] = {"noWrap",           "readOnly",     "styleProtect", "doNotWantReturns",
                                           "keepLinesTogether", "keepWithNext", "widowOrphanControl"};
constexpr const char* BorderStyleNames[] = {"none", "single", "double", "triple", "thickInside", "thickOutside"};
constexpr const char* TabAlignNames[] = {"left", "right", "center"};
constexpr const char* ListTypeNames[] = {"bullet",     "picture",    "imageList",  "decimal",
                                         "lowerAlpha", "upperAlpha", "lowerRoman", "upperRoman",
                                         "imageListCounter", "unicodeBullet"};
constexpr const char* MarkerAlignNames[] = {"left", "right", "center"};
constexpr const char* ListLevelOptionNames[] = {"continuous", "levelReset", "legalStyleNumbering"};
constexpr const char* PitchNames[] = {"default", "variable", "fixed"};
constexpr const char* BreakStyleNames[] = {"line", "rectangle", "3d", "dotted", "dashed"};
constexpr const char* VAlignNames[] = {"baseline", "middle", "absTop", "absBottom", "absMiddle"};
constexpr const char* SeqTypeNames[] = {"decimal", "lowerAlpha", "upperAlpha", "lowerRoman", "upperRoman"};
constexpr const char* TransparentModeNames[] = {"auto", "fixed"};
constexpr const char* LabelAlignNames[] = {"left", "right", "center"};
constexpr const char* BackgroundNames[] = {"none",     "stretched", "tiled",      "tiledAndScrolled", "centered",
                                           "topLeft",  "topRight",  "bottomLeft", "bottomRight"};
constexpr const char* UnitsNames[] = {"inches", "centimeters", "millimeters", "picas", "pixels", "points"};
constexpr const char* OrientationNames[] = {"portrait", "landscape"};
constexpr const char* ZoomModeNames[] = {"fullPage", "pageWidth", "custom"};
constexpr const char* ItemOptionNames[] = {"continuesPara", "newPageBefore", "newLine", "unicode"};
constexpr const char* SystemColorNames[] = {
    "clScrollBar",     "clBackground",    "clActiveCaption",  "clInactiveCaption", "clMenu",
    "clWindow",        "clWindowFrame",   "clMenuText",       "clWindowText",      "clCaptionText",
    "clActiveBorder",  "clInactiveBorder", "clAppWorkSpace",  "clHighlight",       "clHighlightText",
    "clBtnFace",       "clBtnShadow",     "clGrayText",       "clBtnText",         "clInactiveCaptionText",
    "clBtnHighlight",  "cl3DDkShadow",    "cl3DLight",        "clInfoText",        "clInfoBk"};

/// clNone and system colours by name, RGB values as "#RRGGBB", anything else as eight hex digits.
std::string ColorText(TColor c)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const auto hex = [](std::uint32_t v, int digits) {
        std::string s(static_cast<std::size_t>(digits), '0');
        for (int i = digits - 1; i >= 0; --i, v >>= 4)
            s[static_cast<std::size_t>(i)] = Hex[v & 0xF];
        return s;
    };
    if (c == clNone)
        return "clNone";
    if (IsSystemColor(c) && (c & 0xFFFFFF) < std::size(SystemColorNames))
        return SystemColorNames[c & 0xFFFFFF];
    if ((c & 0xFF000000u) == 0)
        return "#" + hex(static_cast<std::uint32_t>(RedOf(c)), 2) + hex(static_cast<std::uint32_t>(GreenOf(c)), 2) +
               hex(static_cast<std::uint32_t>(BlueOf(c)), 2);
    return "0x" + hex(c, 8);
}

void WriteColor(TJsonWriter& w, std::string_view key, TColor c)
{
    w.Field(key, ColorText(c));
}

/// A page length as the RVF page lines write it: the shortest form that reads back to the
/// same value, at most 15 significant digits.
std::string PageNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    int digits = 0;
    int pendingZeros = 0;
    bool started = false;
    for (const char* p = buf; p != result.ptr && *p != 'e'; ++p) {
        if (*p < '0' || *p > '9')
            continue;
        if (*p == '0') {
            pendingZeros += started ? 1 : 0;
            continue;
        }
        started = true;
        digits += pendingZeros + 1;
        pendingZeros = 0;
    }
    if (digits > 15)
        result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, result.ptr);
}

// ---------------------------------------------------------------------------------------------
// Text

std::string Utf8FromUtf16Bytes(std::string_view utf16le)
{
    const bool odd = utf16le.size() % 2 != 0;
    std::string text = Utf16ToUtf8(Utf16FromBytes(utf16le.substr(0, utf16le.size() - (odd ? 1 : 0))));
    if (odd)
        text += "\xEF\xBF\xBD"; // the lone last byte
    return text;
}

std::string Utf8FromCodePage(std::string_view bytes, int codePage)
{
    return Utf16ToUtf8(AnsiToUnicode(bytes, codePage));
}

/// The text style an 8-bit text item shows in, for its code page.
int TextStyleOfItem(const TRVStyle& sheet, const TCustomRVItemInfo& item)
{
    if (item.StyleNo != rvsDefStyle)
        return item.StyleNo;
    const int def = sheet.ParaStyles.StyleAt(item.ParaNo).DefStyleNo;
    return def < 0 ? 0 : def;
}

// ---------------------------------------------------------------------------------------------
// Styles

void WriteStyleHeader(TJsonWriter& w, int index, const TCustomRVInfo& style)
{
    w.Field("index", index);
    w.Field("styleName", style.StyleName);
    w.Field("standard", style.Standard);
    w.Field("baseStyleNo", style.BaseStyleNo);
    w.Field("styleTemplateId", style.StyleTemplateId);
}

void WriteTextStyles(TJsonWriter& w, const TRVStyle& sheet)
{
    w.Key("textStyles");
    w.BeginArray();
    for (int i = 0; i < sheet.TextStyles.Count(); ++i) {
        const TFontInfo& s = sheet.TextStyles[i];
        w.BeginObject();
        WriteStyleHeader(w, i, s);
        w.Field("fontName", s.FontName);
        w.Field("size", s.Size);
        w.Field("charset", std::int32_t{s.Charset});
        WriteSet(w, "style", s.Style.Bits(), FontStyleNames);
        WriteSet(w, "styleEx", s.StyleEx.Bits(), FontStyleExNames);
        WriteColor(w, "color", s.Color);
        WriteColor(w, "backColor", s.BackColor);
        WriteColor(w, "hoverColor", s.HoverColor);
        WriteColor(w, "hoverBackColor", s.HoverBackColor);
        WriteColor(w, "underlineColor", s.UnderlineColor);
        WriteColor(w, "hoverUnderlineColor", s.HoverUnderlineColor);
        WriteEnum(w, "underlineType", s.UnderlineType, UnderlineNames);
        WriteSet(w, "hoverEffects", s.HoverEffects.Bits(), HoverEffectNames);
        w.Field("jump", s.Jump);
        w.Field("jumpCursor", std::int32_t{s.JumpCursor});
        w.Field("vShift", s.VShift);
        WriteEnum(w, "subSuperScriptType", s.SubSuperScriptType, SubSuperNames);
        w.Field("charScale", s.CharScale);
        w.Field("charSpacing", s.CharSpacing);
        WriteEnum(w, "biDiMode", s.BiDiMode, BiDiNames);
        WriteSet(w, "protection", s.Protection.Bits(), ProtectNames);
        WriteSet(w, "options", s.Options.Bits(), TextOptionNames);
        w.Field("unicode", s.Unicode);
        w.Field("nextStyleNo", s.NextStyleNo);
        w.Field("modifiedProperties", static_cast<std::int64_t>(s.ModifiedProperties.Bits()));
        w.EndObject();
    }
    w.EndArray();
}

void WriteRect(TJsonWriter& w, std::string_view key, const TRVRect& r)
{
    w.Key(key);
    w.BeginObject();
    w.Field("left", r.Left);
    w.Field("top", r.Top);
    w.Field("right", r.Right);
    w.Field("bottom", r.Bottom);
    w.EndObject();
}

void WriteParaStyles(TJsonWriter& w, const TRVStyle& sheet)
{
    w.Key("paraStyles");
    w.BeginArray();
    for (int i = 0; i < sheet.ParaStyles.Count(); ++i) {
        const TParaInfo& s = sheet.ParaStyles[i];
        w.BeginObject();
        WriteStyleHeader(w, i, s);
        w.Field("firstIndent", s.FirstIndent);
        w.Field("leftIndent", s.LeftIndent);
        w.Field("rightIndent", s.RightIndent);
        w.Field("spaceBefore", s.SpaceBefore);
        w.Field("spaceAfter", s.SpaceAfter);
        w.Field("lineSpacing", s.LineSpacing);
        WriteEnum(w, "lineSpacingType", s.LineSpacingType, LineSpacingNames);
        WriteEnum(w, "alignment", s.Alignment, AlignmentNames);
        w.Key("border");
        w.BeginObject();
        WriteColor(w, "color", s.Border.Color);
        WriteEnum(w, "style", s.Border.Style, BorderStyleNames);
        w.Field("width", s.Border.Width);
        w.Field("internalWidth", s.Border.InternalWidth);
        w.Key("visibleBorders");
        w.BeginObject();
        w.Field("left", s.Border.VisibleBorders.Left);
        w.Field("top", s.Border.VisibleBorders.Top);
        w.Field("right", s.Border.VisibleBorders.Right);
        w.Field("bottom", s.Border.VisibleBorders.Bottom);
        w.EndObject();
        WriteRect(w, "borderOffsets", s.Border.BorderOffsets);
        w.EndObject();
        w.Key("background");
        w.BeginObject();
        WriteColor(w, "color", s.Background.Color);
        WriteRect(w, "borderOffsets", s.Background.BorderOffsets);
        w.EndObject();
        WriteSet(w, "options", s.Options.Bits(), ParaOptionNames);
        WriteEnum(w, "biDiMode", s.BiDiMode, BiDiNames);
        w.Key("tabs");
        w.BeginArray();
        for (const TRVTabInfo& tab : s.Tabs) {
            w.BeginObject();
            w.Field("position", tab.Position);
            WriteEnum(w, "align", tab.Align, TabAlignNames);
            w.Field("leader", tab.Leader);
            w.EndObject();
        }
        w.EndArray();
        w.Field("nextParaNo", s.NextParaNo);
        w.Field("defStyleNo", s.DefStyleNo);
        w.Field("modifiedProperties1", s.ModifiedProperties1);
        w.Field("modifiedProperties2", s.ModifiedProperties2);
        w.EndObject();
    }
    w.EndArray();
}

void WritePicture(TJsonWriter& w, std::string_view key, const TGraphic* picture)
{
    w.Key(key);
    if (!picture) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Field("class", picture->ClassName());
    w.Field("width", std::int32_t{picture->Width()});
    w.Field("height", std::int32_t{picture->Height()});
    w.Field("byteSize", static_cast<std::int64_t>(picture->SaveToBytes().size()));
    w.EndObject();
}

void WriteFont(TJsonWriter& w, const TFontDescription& font)
{
    w.BeginObject();
    w.Field("name", font.Name);
    w.Field("size", font.Size);
    WriteColor(w, "color", font.Color);
    w.Field("charset", std::int32_t{font.Charset});
    WriteSet(w, "style", font.Style.Bits(), FontStyleNames);
    WriteEnum(w, "pitch", font.Pitch, PitchNames);
    w.EndObject();
}

void WriteListStyles(TJsonWriter& w, const TRVStyle& sheet)
{
    w.Key("listStyles");
    w.BeginArray();
    for (int i = 0; i < sheet.ListStyles.Count(); ++i) {
        const TRVListInfo& s = sheet.ListStyles[i];
        w.BeginObject();
        WriteStyleHeader(w, i, s);
        w.Field("listId", s.ListId());
        w.Field("oneLevelPreview", s.OneLevelPreview);
        w.Key("levels");
        w.BeginArray();
        for (const TRVListLevel& level : s.Levels) {
            const int codePage = CodePageOfCharset(level.EffectiveFont().Charset, sheet.DefCodePage);
            w.BeginObject();
            WriteEnum(w, "listType", level.ListType, ListTypeNames);
            w.Key("imageListTag");
            if (level.ImageList)
                w.Int(level.ImageList->Tag);
            else
                w.Null();
            w.Field("imageIndex", level.ImageIndex);
            w.Field("formatString", Utf8FromCodePage(level.FormatString, codePage));
            w.Field("formatStringW", Utf16ToUtf8(level.FormatStringW));
            w.Field("leftIndent", level.LeftIndent);
            w.Field("firstIndent", level.FirstIndent);
            w.Field("markerIndent", level.MarkerIndent);
            WriteEnum(w, "markerAlignment", level.MarkerAlignment, MarkerAlignNames);
            WriteSet(w, "options", level.Options.Bits(), ListLevelOptionNames);
            w.Field("startFrom", level.StartFrom);
            WritePicture(w, "picture", level.Picture());
            w.Key("font");
            if (level.Font())
                WriteFont(w, *level.Font());
            else
                w.Null();
            w.EndObject();
        }
        w.EndArray();
        w.EndObject();
    }
    w.EndArray();
}

// ---------------------------------------------------------------------------------------------
// Document settings

void WriteDocumentInfo(TJsonWriter& w, const TRVDocumentInfo* info)
{
    w.Key("document");
    if (!info) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Key("background");
    w.BeginObject();
    WriteEnum(w, "style", info->BackgroundStyle, BackgroundNames);
    WriteColor(w, "color", info->BackgroundColor);
    WritePicture(w, "picture", info->BackgroundPicture.get());
    w.EndObject();

    w.Key("docProperties");
    w.BeginArray();
    for (const std::string& line : info->DocProperties)
        w.String(line);
    w.EndArray();

    const TRVDocParameters& p = info->DocParameters;
    w.Key("docParameters");
    w.BeginObject();
    WriteEnum(w, "units", p.Units, UnitsNames);
    WriteEnum(w, "orientation", p.Orientation, OrientationNames);
    const std::pair<const char*, double> lengths[] = {
        {"pageWidth", p.PageWidth},   {"pageHeight", p.PageHeight}, {"leftMargin", p.LeftMargin},
        {"rightMargin", p.RightMargin}, {"topMargin", p.TopMargin}, {"bottomMargin", p.BottomMargin},
        {"headerY", p.HeaderY},       {"footerY", p.FooterY}};
    for (const auto& [name, value] : lengths) {
        w.Key(name);
        w.Number(PageNumber(value));
    }
    w.Field("zoomPercent", p.ZoomPercent);
    WriteEnum(w, "zoomMode", p.ZoomMode, ZoomModeNames);
    w.Field("mirrorMargins", p.MirrorMargins);
    w.EndObject();

    w.Key("layout");
    if (!info->Layout) {
        w.Null();
    } else {
        const TRVLayoutInfo& l = *info->Layout;
        w.BeginObject();
        w.Field("leftMargin", l.LeftMargin);
        w.Field("rightMargin", l.RightMargin);
        w.Field("topMargin", l.TopMargin);
        w.Field("bottomMargin", l.BottomMargin);
        w.Field("minTextWidth", l.MinTextWidth);
        w.Field("maxTextWidth", l.MaxTextWidth);
        WriteEnum(w, "biDiMode", l.BiDiMode, BiDiNames);
        w.Field("partialParagraphs", l.PartialParagraphs);
        w.Field("firstParaPartial", l.FirstParaPartial);
        w.Field("lastParaPartial", l.LastParaPartial);
        w.Field("firstParaListNo", l.FirstParaListNo);
        w.Field("firstParaLevel", l.FirstParaLevel);
        w.EndObject();
    }
    w.EndObject();
}

// ---------------------------------------------------------------------------------------------
// Items

const char* KindName(int styleNo) noexcept
{
    if (styleNo >= 0)
        return "text";
    switch (styleNo) {
    case rvsBreak: return "break";
    case rvsPicture: return "picture";
    case rvsHotPicture: return "hotPicture";
    case rvsComponent: return "control";
    case rvsBullet: return "bullet";
    case rvsHotspot: return "hotspot";
    case rvsListMarker: return "marker";
    case rvsTab: return "tab";
    case rvsTable: return "table";
    case rvsLabel: return "label";
    case rvsSequence: return "sequence";
    case rvsFootnote: return "footnote";
    case rvsEndnote: return "endnote";
    case rvsNoteReference: return "noteReference";
    default: return "unknown";
    }
}

void WriteCheckpoint(TJsonWriter& w, std::string_view key, const TRVCPInfo* cp)
{
    w.Key(key);
    if (!cp) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Field("name", cp->Name);
    w.Field("tag", cp->Tag);
    w.Field("raiseEvent", cp->RaiseEvent);
    w.Field("persistent", cp->Persistent);
    w.EndObject();
}

void WriteRectFields(TJsonWriter& w, const TRVRectItemInfo& item)
{
    WriteEnum(w, "vAlign", item.VAlign, VAlignNames);
    w.Field("vShift", item.VShift);
    w.Field("vShiftAbs", item.VShiftAbs);
    w.Field("spacing", item.Spacing);
}

void WriteLabelFields(TJsonWriter& w, const TRVStyle& sheet, const TRVLabelItemInfo& label)
{
    w.Field("textStyleNo", label.TextStyleNo);
    w.Field("text", Utf8FromCodePage(label.Text, sheet.CodePageOfStyle(label.TextStyleNo)));
    w.Field("minWidth", label.MinWidth);
    WriteEnum(w, "alignment", label.Alignment, LabelAlignNames);
    w.Field("protectTextStyleNo", label.ProtectTextStyleNo);
}

void WriteContainer(TJsonWriter& w, const TRVStyle& sheet, const TCustomRVData& data);

void WriteSubDocument(TJsonWriter& w, const TRVStyle& sheet, const TCustomRVData* data)
{
    if (!data) {
        w.Null();
        return;
    }
    w.BeginObject();
    WriteContainer(w, sheet, *data);
    w.EndObject();
}

void WriteKindData(TJsonWriter& w, const TRVStyle& sheet, const TCustomRVItemInfo& item)
{
    w.Key("data");
    w.BeginObject();
    if (const auto* brk = dynamic_cast<const TRVBreakItemInfo*>(&item)) {
        WriteColor(w, "color", brk->Color);
        WriteEnum(w, "style", brk->Style, BreakStyleNames);
        w.Field("width", std::int32_t{brk->Width});
    } else if (const auto* pic = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
        WritePicture(w, "picture", pic->Image.get());
        w.Field("imageWidth", pic->ImageWidth);
        w.Field("imageHeight", pic->ImageHeight);
        w.Field("minHeightOnPage", pic->MinHeightOnPage);
        w.Field("resizable", pic->Resizable);
        w.Field("noHTMLImageSize", pic->NoHTMLImageSize);
        w.Field("interval", pic->Interval);
        w.Field("alt", pic->Alt);
        w.Field("imageFileName", pic->ImageFileName);
        w.Field("transparent", pic->Transparent);
        WriteEnum(w, "transparentMode", pic->TransparentMode, TransparentModeNames);
        WriteColor(w, "transparentColor", pic->TransparentColor);
        WriteRectFields(w, *pic);
    } else if (const auto* ctl = dynamic_cast<const TRVControlItemInfo*>(&item)) {
        w.Field("className", ctl->ControlClassName);
        w.Field("byteSize", static_cast<std::int64_t>(ctl->ControlData.size()));
        w.Field("minHeightOnPage", ctl->MinHeightOnPage);
        w.Field("resizable", ctl->Resizable);
        w.Field("visible", ctl->Visible);
        WriteRectFields(w, *ctl);
    } else if (const auto* bullet = dynamic_cast<const TRVBulletItemInfo*>(&item)) {
        w.Field("imageListTag", bullet->ImageList ? bullet->ImageList->Tag : bullet->ImageListTag);
        w.Field("imageIndex", bullet->ImageIndex);
        if (const auto* hot = dynamic_cast<const TRVHotspotItemInfo*>(bullet))
            w.Field("hotImageIndex", hot->HotImageIndex);
        w.Field("noHTMLImageSize", bullet->NoHTMLImageSize);
        WriteRectFields(w, *bullet);
    } else if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
        int codePage = sheet.DefCodePage;
        if (sheet.ListStyles.IsValidIndex(marker->ListNo)) {
            const TRVListInfo& list = sheet.ListStyles[marker->ListNo];
            if (list.Levels.Count() > 0) {
                const int level = std::min(std::max(marker->Level, 0), list.Levels.Count() - 1);
                codePage = CodePageOfCharset(list.Levels[level].EffectiveFont().Charset, sheet.DefCodePage);
            }
        }
        w.Field("listNo", marker->ListNo);
        w.Field("level", marker->Level);
        w.Field("startFrom", marker->StartFrom);
        w.Field("reset", marker->Reset);
        w.Field("counter", marker->Counter);
        w.Field("displayText", Utf8FromCodePage(marker->DisplayText, codePage));
        w.Field("noHTMLImageSize", marker->NoHTMLImageSize);
        WriteRectFields(w, *marker);
    } else if (const auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item)) {
        w.Field("textStyleNo", tab->TextStyleNo);
        WriteRectFields(w, *tab);
    } else if (const auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item)) {
        WriteLabelFields(w, sheet, *seq);
        w.Field("seqName", seq->SeqName);
        WriteEnum(w, "numberType", seq->NumberType, SeqTypeNames);
        w.Field("formatText", seq->FormatText);
        w.Field("reset", seq->Reset);
        w.Field("startFrom", seq->StartFrom);
        w.Field("counter", seq->Counter);
        WriteRectFields(w, *seq);
        if (const auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(seq)) {
            w.Key("subDocument");
            WriteSubDocument(w, sheet, &note->NoteText());
        }
    } else if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) {
        WriteLabelFields(w, sheet, *label);
        WriteRectFields(w, *label);
    } else if (const TDumpForm form = DumpForms().Find(item.StyleNo)) {
        form(TDumpWriter(w, sheet), item);
    } else if (item.SubDocumentCount() > 0) {
        // Kinds that own containers (tables): each container in order.
        w.Key("subDocuments");
        w.BeginArray();
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            WriteSubDocument(w, sheet, item.SubDocument(k));
        w.EndArray();
    }
    if (const auto* nonText = dynamic_cast<const TRVNonTextItemInfo*>(&item))
        w.Field("deleteProtect", nonText->DeleteProtect);
    w.EndObject();
}

void WriteItem(TJsonWriter& w, const TRVStyle& sheet, const TCustomRVData& data, int index)
{
    const TCustomRVItemInfo& item = data.ItemAt(index);
    const std::string& text = data.TextAt(index);
    w.BeginObject();
    w.Field("index", index);
    w.Field("kind", KindName(item.StyleNo));
    w.Field("styleNo", item.StyleNo);
    w.Field("paraNo", item.ParaNo);
    WriteSet(w, "options", item.ItemOptions(), ItemOptionNames);
    if (item.IsText()) {
        w.Field("text", item.IsUnicode() ? Utf8FromUtf16Bytes(text)
                                         : Utf8FromCodePage(text, sheet.CodePageOfStyle(TextStyleOfItem(sheet, item))));
    } else {
        w.Field("name", text);
    }
    w.Field("tag", item.Tag);
    w.Field("hint", item.Hint);
    WriteCheckpoint(w, "checkpoint", item.Checkpoint());
    if (!item.IsText())
        WriteKindData(w, sheet, item);
    w.EndObject();
}

/// The members of a container object: its items and the checkpoint after the last one.
void WriteContainer(TJsonWriter& w, const TRVStyle& sheet, const TCustomRVData& data)
{
    w.Key("items");
    w.BeginArray();
    for (int i = 0; i < data.Count(); ++i)
        WriteItem(w, sheet, data, i);
    w.EndArray();
    WriteCheckpoint(w, "endCheckpoint", data.PendingCheckpoint());
}

} // namespace

void TDumpWriter::Color(std::string_view key, TColor color) const
{
    WriteColor(Json, key, color);
}

void TDumpWriter::Enum(std::string_view key, int value, std::span<const char* const> names) const
{
    WriteEnum(Json, key, value, names);
}

void TDumpWriter::Set(std::string_view key, std::uint64_t bits, std::span<const char* const> names) const
{
    WriteSet(Json, key, bits, names);
}

void TDumpWriter::Picture(std::string_view key, const TGraphic* picture) const
{
    WritePicture(Json, key, picture);
}

void TDumpWriter::Container(const TCustomRVData& data) const
{
    WriteSubDocument(Json, Sheet, &data);
}

void RegisterDumpForm(int kindCode, TDumpForm form)
{
    DumpForms().Set(kindCode, std::move(form));
}

std::string DumpDocumentJson(const TRVStyle& sheet, const TCustomRVData& doc, const TRVDocumentInfo* info)
{
    std::string out;
    TJsonWriter w(out);
    w.BeginObject();
    WriteTextStyles(w, sheet);
    WriteParaStyles(w, sheet);
    WriteListStyles(w, sheet);
    WriteDocumentInfo(w, info);
    WriteContainer(w, sheet, doc);
    w.EndObject();
    w.Finish();
    return out;
}

} // namespace xq

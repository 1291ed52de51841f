// The RTF writer: preparation of the font and colour tables, the header, the style keywords and
// the body. Item kinds other than text write themselves through the registry (RtfItemWriterOf).
#include "formats/rtf/RtfWriter.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "document/DocParameters.h"
#include "document/ItemText.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfLists.h"
#include "formats/rtf/RtfNotes.h"
#include "formats/rtf/RtfPictures.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr const char* Crlf = "\r\n";

bool SameNameNoCase(const std::string& a, const std::string& b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

/// Languages by charset, for \deflang and \lang.
int LanguageOfCharset(int charset) noexcept
{
    switch (charset) {
    case 128: return 1041;
    case 129: return 1042;
    case 130: return 2066;
    case 134: return 2052;
    case 136: return 1028;
    case 161: return 1032;
    case 162: return 1055;
    case 163: return 1066;
    case 177: return 1037;
    case 204: return 1049;
    case 222: return 1054;
    case 0:
    case 1:
    case 178:
    case 186:
    case 238: return 0;
    default: return 1024;
    }
}

void AppendHex2(std::string& out, unsigned value)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

/// A name as a bookmark: every character that is no letter or digit becomes "_".
std::string BookmarkName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return out;
}

/// A tab, in the text style its leader is drawn in (none: whatever style is current).
class TTabRtf final : public TRVRTFItemWriter {
public:
    [[nodiscard]] int TextStyleOf(const TCustomRVItemInfo& item) const override
    {
        const int styleNo = static_cast<const TRVTabItemInfo&>(item).TextStyleNo;
        return styleNo == rvsDefStyle ? -1 : styleNo;
    }
    void Write(const TCustomRVItemInfo&, const std::string&, std::string& out, TRVRTFWriteContext&, int) const override
    {
        out += "\\tab ";
    }
};

/// A horizontal line: a paragraph of its own with a bottom border.
class TBreakRtf final : public TRVRTFItemWriter {
public:
    void CollectColors(const TCustomRVItemInfo& item, TRVRTFWriteContext& ctx) const override
    {
        ctx.Colors.Add(static_cast<const TRVBreakItemInfo&>(item).Color);
    }
    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int level) const override
    {
        const auto& line = static_cast<const TRVBreakItemInfo&>(item);
        const std::string nesting = level == 0 ? "" : level == 1 ? "\\intbl\\itap1" : "\\itap" + std::to_string(level);
        out += "\\pard" + nesting + "\\plain\\fs6\\brdrb\\brdrs\\brdrw" + std::to_string(ctx.Twips(line.Width)) +
               "\\brdrcf" + std::to_string(line.Color == clNone ? 0 : ctx.Colors.IndexOf(line.Color)) + "\\par\\pard" +
               nesting;
    }
};

std::map<int, std::shared_ptr<const TRVRTFItemWriter>>& Registry()
{
    static std::map<int, std::shared_ptr<const TRVRTFItemWriter>> writers{
        {rvsTab, std::make_shared<TTabRtf>()},
        {rvsBreak, std::make_shared<TBreakRtf>()},
        {rvsPicture, RtfPictureWriter()},
        {rvsHotPicture, RtfPictureWriter()},
        {rvsListMarker, NewRtfMarkerWriter()},
        {rvsLabel, NewRtfLabelWriter()},
        {rvsSequence, NewRtfSequenceWriter()},
        {rvsFootnote, NewRtfNoteWriter()},
        {rvsEndnote, NewRtfNoteWriter()},
        {rvsNoteReference, NewRtfNoteReferenceWriter()},
    };
    return writers;
}

std::mutex& RegistryLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Tables of the export

int TRVRTFFontTable::Add(const std::string& fontName, std::uint8_t charset)
{
    const int found = Find(fontName, charset);
    if (found >= 0)
        return found;
    Items_.push_back({fontName, charset});
    return static_cast<int>(Items_.size()) - 1;
}

int TRVRTFFontTable::Find(const std::string& fontName, std::uint8_t charset) const noexcept
{
    for (std::size_t i = 0; i < Items_.size(); ++i)
        if (Items_[i].Charset == charset && SameNameNoCase(Items_[i].FontName, fontName))
            return static_cast<int>(i);
    return -1;
}

void TRVRTFColorList::Add(TColor c)
{
    if (c != clNone && std::find(Items_.begin(), Items_.end(), c) == Items_.end())
        Items_.push_back(c);
}

int TRVRTFColorList::IndexOf(TColor c) const noexcept
{
    const auto it = std::find(Items_.begin(), Items_.end(), c);
    return it == Items_.end() ? 0 : static_cast<int>(it - Items_.begin());
}

TRVRTFWriteContext::TRVRTFWriteContext(const TRVStyle& sheet, const TRVRTFWriteSettings& settings)
    : Sheet(sheet), Settings(settings), TwipsPerPixel(1440.0 / (settings.PixelsPerInch > 0 ? settings.PixelsPerInch : 96))
{
}

int TRVRTFWriteContext::Twips(double pixels) const noexcept
{
    return static_cast<int>(std::nearbyint(pixels * TwipsPerPixel)); // the default rounding mode: ties to even
}

std::string TRVRTFWriteContext::Extra(TRVRTFSaveArea area, const void* obj, int index1, int index2,
                                      bool inStyleSheet) const
{
    std::string code;
    if (Settings.OnSaveRTFExtra)
        Settings.OnSaveRTFExtra(area, obj, index1, index2, inStyleSheet, code);
    return code;
}

void RegisterRtfItemWriter(int styleNo, std::shared_ptr<const TRVRTFItemWriter> writer)
{
    const std::scoped_lock guard(RegistryLock());
    Registry()[styleNo] = std::move(writer);
}

const TRVRTFItemWriter* RtfItemWriterOf(const TCustomRVItemInfo& item)
{
    const std::scoped_lock guard(RegistryLock());
    const auto it = Registry().find(item.StyleNo);
    return it == Registry().end() ? nullptr : it->second.get();
}

void CollectRtfColors(const TCustomRVData& data, TRVRTFWriteContext& ctx)
{
    for (int i = 0; i < data.Count(); ++i)
        if (const TRVRTFItemWriter* writer = data.ItemAt(i).IsText() ? nullptr : RtfItemWriterOf(data.ItemAt(i)))
            writer->CollectColors(data.ItemAt(i), ctx);
}

// ---------------------------------------------------------------------------------------------
// Escaping

void AppendRtfInt(std::string& out, long long value)
{
    out += std::to_string(value);
}

int RtfLanguageOfCharset(int charset) noexcept
{
    return LanguageOfCharset(charset);
}

void AppendRtfUnicode(std::string& out, std::u16string_view text, int codePage, bool duplicate, bool special, bool raw)
{
    for (const char16_t unit : text) {
        if (unit >= 1 && unit <= 127) {
            const char c = static_cast<char>(unit);
            AppendRtfText(out, std::string_view(&c, 1), special, raw);
            continue;
        }
        if (special && !raw) {
            const char* keyword = nullptr;
            switch (unit) {
            case 149: keyword = "\\bullet "; break;
            case 160: keyword = "\\~"; break;
            case 173: keyword = "\\-"; break;
            case 8194: keyword = "\\enspace "; break;
            case 8195: keyword = "\\emspace "; break;
            case 8197: keyword = "\\qmspace "; break;
            case 8211: keyword = "\\endash "; break;
            case 8212: keyword = "\\emdash "; break;
            case 8216: keyword = "\\lquote "; break;
            case 8217: keyword = "\\rquote "; break;
            case 8220: keyword = "\\ldblquote "; break;
            case 8221: keyword = "\\rdblquote "; break;
            default: break;
            }
            if (keyword) {
                out += keyword;
                continue;
            }
        }
        std::string single;
        if (duplicate) {
            single = UnicodeToAnsi(std::u16string_view(&unit, 1), codePage);
            if (single.size() != 1) {
                out += "\\uc";
                AppendRtfInt(out, static_cast<long long>(single.size()));
            }
        }
        out += "\\u";
        AppendRtfInt(out, static_cast<std::int16_t>(unit));
        out += ' ';
        if (duplicate) {
            AppendRtfText(out, single, true, false);
            if (single.size() != 1)
                out += "\\uc1 ";
        }
    }
}

void AppendRtfText(std::string& out, std::string_view text, bool special, bool raw)
{
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (raw) {
            out += ch;
        } else if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += ch;
        } else if (special && b == 149) {
            out += "\\bullet ";
        } else if (special && b == 160) {
            out += "\\~";
        } else if (b < 32 || b > 127) {
            out += "\\'";
            AppendHex2(out, b);
        } else {
            out += ch;
        }
    }
}

namespace {

/// The body writer of one container.
class TRtfBodyWriter {
public:
    TRtfBodyWriter(const TCustomRVData& data, std::string& out, TRVRTFWriteContext& ctx, int level)
        : D_(data), Out_(out), Ctx_(ctx), Sheet_(ctx.Sheet), Level_(level)
    {
    }

    void Write(const TRVRTFRange& range);
    /// The paragraph and text styles marked standard, with their names.
    void WriteStyleSheet();

private:
    void ParagraphStart(int itemNo);
    /// The keywords of paragraph style paraNo; level is the list level of the paragraph's marker
    /// (null without one). In the style sheet without the nesting and without recording.
    void ParagraphKeywords(int paraNo, const TRVListLevel* level, bool styleSheet = false);
    void TextKeywords(int styleNo, bool styleSheet = false);
    /// "\plain ", the character style and the keywords of text style styleNo, unless it is the
    /// style written last.
    void SwitchTextStyle(int styleNo);
    /// The list level of the paragraph that item itemNo starts, null when it starts with no marker
    /// or with one without a list.
    [[nodiscard]] const TRVListLevel* ParagraphListLevel(int itemNo) const;
    /// A selection that begins after the marker of a list paragraph: the paragraph's keywords and
    /// its marker come first.
    void ListParagraphPrelude(int markerNo);
    void Bookmark(const TRVCPInfo& cp);
    bool OpenHyperlink(int itemNo);
    void Item(int itemNo, int from, int to);
    void UnicodeText(std::string_view bytes, int styleNo, bool raw);
    [[nodiscard]] int ColorNo(TColor c) const { return Ctx_.Colors.IndexOf(c); }
    void Int(long long value) { AppendRtfInt(Out_, value); }

    const TCustomRVData& D_;
    std::string& Out_;
    TRVRTFWriteContext& Ctx_;
    const TRVStyle& Sheet_;
    int Level_;
    int LastTextStyle_ = -1;
    int LastParaStyle_ = -1;
    bool ParagraphClosed_ = true;
    bool LastParaHadMarker_ = false;
    /// The list level the last paragraph keywords were written for.
    const TRVListLevel* LastListLevel_ = nullptr;
    int Bookmarks_ = 0;
};

/// A style name in the style sheet: no characters that RTF would read as control words or groups.
void AppendStyleName(std::string& out, const std::string& name)
{
    std::string cleaned = name;
    std::replace_if(cleaned.begin(), cleaned.end(), [](char c) { return c == '\\' || c == '{' || c == '}'; }, '_');
    AppendRtfText(out, cleaned, false);
}

void TRtfBodyWriter::ParagraphKeywords(int paraNo, const TRVListLevel* level, bool styleSheet)
{
    const TParaInfo& para = Sheet_.ParaStyles.StyleAt(paraNo);
    if (para.LineSpacingType == rvlsPercent && para.LineSpacing > 100) {
        Out_ += "\\sl";
        Int(para.LineSpacing * 240 / 100);
        Out_ += "\\slmult1";
    }
    if (para.Options.Contains(rvpaoKeepLinesTogether))
        Out_ += "\\keep";
    if (para.Options.Contains(rvpaoKeepWithNext))
        Out_ += "\\keepn";
    // A list paragraph is indented by its list level; its text starts at the level's text
    // position, and tabs up to there are the marker's business.
    int textPosition = 0;
    if (level) {
        Out_ += "\\li";
        Int(Ctx_.Twips(level->LeftIndent));
        Out_ += "\\fi";
        Int(Ctx_.Twips(level->MarkerIndent - level->LeftIndent));
        Out_ += "\\jclisttab\\tx";
        textPosition = level->LeftIndent + level->FirstIndent;
        Int(Ctx_.Twips(textPosition));
    } else {
        Out_ += "\\fi";
        Int(Ctx_.Twips(para.FirstIndent));
        Out_ += "\\li";
        Int(Ctx_.Twips(para.LeftIndent));
    }
    if (!styleSheet)
        LastListLevel_ = level;
    for (const TRVTabInfo& tab : para.Tabs) {
        if (tab.Position <= textPosition)
            continue;
        if (tab.Align == rvtaRight)
            Out_ += "\\tqr";
        else if (tab.Align == rvtaCenter)
            Out_ += "\\tqc";
        if (tab.Leader == "-")
            Out_ += "\\tlhyph";
        else if (tab.Leader == "=")
            Out_ += "\\tleq";
        else if (tab.Leader == "_")
            Out_ += "\\tlul";
        else if (tab.Leader == "\xB7")
            Out_ += "\\tlmdot";
        else if (!tab.Leader.empty())
            Out_ += "\\tldot";
        Out_ += "\\tx";
        Int(Ctx_.Twips(tab.Position));
    }
    static constexpr const char* alignments[] = {"l", "r", "c", "j"};
    Out_ += "\\q";
    Out_ += alignments[std::clamp(int(para.Alignment), 0, 3)];
    Out_ += "\\ri";
    Int(Ctx_.Twips(para.RightIndent));
    Out_ += "\\sb";
    Int(Ctx_.Twips(para.SpaceBefore));
    Out_ += "\\sa";
    Int(Ctx_.Twips(para.SpaceAfter));
    if (para.BiDiMode == rvbdLeftToRight)
        Out_ += "\\ltrpar";
    else if (para.BiDiMode == rvbdRightToLeft)
        Out_ += "\\rtlpar";
    if (para.Background.Color != clNone) {
        Out_ += "\\cbpat";
        Int(ColorNo(para.Background.Color));
    }
    const TRVBorder& border = para.Border;
    if (border.Style != rvbNone && border.Color != clNone) {
        Out_ += "\\brdrbtw";
        auto styleString = [&](bool rightOrBottom) {
            std::string s = "\\brdr";
            int width = border.Width;
            switch (border.Style) {
            case rvbDouble: s += "db"; break;
            case rvbTriple: s += "triple"; break;
            case rvbThickInside:
                s += rightOrBottom ? "tnthmg" : "thtnmg";
                width *= 2;
                break;
            case rvbThickOutside:
                s += rightOrBottom ? "thtnmg" : "tnthmg";
                width *= 2;
                break;
            default: s += "s"; break;
            }
            s += "\\brdrcf" + std::to_string(ColorNo(border.Color)) + "\\brdrw" + std::to_string(Ctx_.Twips(width));
            return s;
        };
        const TRVBooleanRect& v = border.VisibleBorders;
        const TRVRect& o = border.BorderOffsets;
        const struct {
            bool Visible;
            const char* Keyword;
            std::int32_t Offset;
            bool RightOrBottom;
        } sides[] = {{v.Left, "\\brdrl\\brsp", o.Left, false},
                     {v.Top, "\\brdrt\\brsp", o.Top, false},
                     {v.Right, "\\brdrr\\brsp", o.Right, true},
                     {v.Bottom, "\\brdrb\\brsp", o.Bottom, true}};
        for (const auto& side : sides)
            if (side.Visible) {
                Out_ += side.Keyword;
                Int(Ctx_.Twips(side.Offset));
                Out_ += styleString(side.RightOrBottom);
            }
    }
    if (!styleSheet) {
        Out_ += "\\itap";
        Int(Level_);
        if (Level_ == 1)
            Out_ += "\\intbl";
    }
    Out_ += Ctx_.Extra(rtfsaParaStyle, &para, -1, paraNo, styleSheet);
    Out_ += ' ';
    if (!styleSheet)
        LastParaStyle_ = paraNo;
}

void TRtfBodyWriter::TextKeywords(int styleNo, bool styleSheet)
{
    if (styleNo < 0 || styleNo >= Sheet_.TextStyles.Count())
        styleNo = 0;
    const TFontInfo& style = Sheet_.TextStyles.StyleAt(styleNo);
    Out_ += "\\f";
    Int(styleNo < int(Ctx_.StyleFonts.size()) ? Ctx_.StyleFonts[std::size_t(styleNo)] : 0);
    if (style.Style.Contains(fsBold))
        Out_ += "\\b";
    if (style.Style.Contains(fsItalic))
        Out_ += "\\i";
    if (style.Style.Contains(fsUnderline)) {
        static constexpr const char* underlines[] = {"ul",      "ulth",     "uldb",      "uld",      "ulthd",
                                                     "uldash",  "ulthdash", "ulldash",   "ulthldash", "uldashd",
                                                     "ulthdashd", "uldashdd", "ulthdashdd"};
        Out_ += '\\';
        Out_ += underlines[std::clamp(int(style.UnderlineType), 0, 12)];
        if (style.UnderlineColor != clNone) {
            Out_ += "\\ulc";
            Int(ColorNo(style.UnderlineColor));
        }
    }
    if (style.Style.Contains(fsStrikeOut))
        Out_ += "\\strike";
    if (style.SubSuperScriptType == rvsssSubscript)
        Out_ += "\\sub";
    else if (style.SubSuperScriptType == rvsssSuperScript)
        Out_ += "\\super";
    if (style.VShift > 0) {
        Out_ += "\\up";
        Int(std::lround(double(style.VShift) * style.Size / 50));
    } else if (style.VShift < 0) {
        Out_ += "\\dn";
        Int(-std::lround(double(style.VShift) * style.Size / 50));
    }
    if (style.CharScale != 100) {
        Out_ += "\\charscalex";
        Int(style.CharScale);
    }
    if (style.CharSpacing != 0) {
        Out_ += "\\expndtw";
        Int(Ctx_.Twips(style.CharSpacing));
    }
    if (style.StyleEx.Contains(rvfsAllCaps))
        Out_ += "\\caps";
    if (style.BiDiMode == rvbdLeftToRight)
        Out_ += "\\ltrch";
    else if (style.BiDiMode == rvbdRightToLeft)
        Out_ += "\\rtlch";
    const int charset0 = Sheet_.TextStyles.StyleAt(0).Charset;
    if (style.Charset != DEFAULT_CHARSET && style.Charset != charset0 && LanguageOfCharset(style.Charset) != 0) {
        Out_ += "\\lang";
        Int(LanguageOfCharset(style.Charset));
    }
    Out_ += "\\fs";
    Int(2LL * style.Size);
    if (style.BackColor != clNone) {
        Out_ += "\\chcbpat";
        Int(ColorNo(style.BackColor));
    }
    if (style.Color != clWindowText) {
        Out_ += "\\cf";
        Int(ColorNo(style.Color));
    }
    Out_ += Ctx_.Extra(rtfsaTextStyle, &style, -1, styleNo, styleSheet);
    Out_ += ' ';
    if (!styleSheet)
        LastTextStyle_ = styleNo;
}

void TRtfBodyWriter::SwitchTextStyle(int styleNo)
{
    if (styleNo == LastTextStyle_)
        return;
    Out_ += "\\plain ";
    if (Ctx_.Has(rvrtfSaveStyleSheet) && Sheet_.TextStyles.StyleAt(styleNo).Standard) {
        Out_ += "\\cs";
        Int(styleNo + Sheet_.ParaStyles.Count());
    }
    TextKeywords(styleNo);
}

void TRtfBodyWriter::WriteStyleSheet()
{
    Out_ += "{\\stylesheet";
    for (int i = 0; i < Sheet_.ParaStyles.Count(); ++i) {
        const TParaInfo& para = Sheet_.ParaStyles[i];
        if (!para.Standard)
            continue;
        Out_ += "{\\s";
        Int(i);
        ParagraphKeywords(i, nullptr, true);
        AppendStyleName(Out_, para.StyleName);
        Out_ += ";}";
    }
    for (int i = 0; i < Sheet_.TextStyles.Count(); ++i) {
        const TFontInfo& text = Sheet_.TextStyles[i];
        if (!text.Standard)
            continue;
        Out_ += "{\\*\\cs";
        Int(i + Sheet_.ParaStyles.Count());
        TextKeywords(i, true);
        AppendStyleName(Out_, text.StyleName);
        Out_ += ";}";
    }
    Out_ += '}';
}

void TRtfBodyWriter::UnicodeText(std::string_view bytes, int styleNo, bool raw)
{
    const TRVItemText text(bytes, true);
    std::u16string units;
    units.reserve(std::size_t(text.Length()));
    for (int k = 0; k < text.Length(); ++k)
        units += text.UnitAt(k);
    AppendRtfUnicode(Out_, units, Sheet_.CodePageOfStyle(styleNo), Ctx_.Has(rvrtfDuplicateUnicode), true, raw);
}

void TRtfBodyWriter::Bookmark(const TRVCPInfo& cp)
{
    const std::string name =
        cp.Name.empty() ? "DocViewCheckpoint" + std::to_string(Bookmarks_) : BookmarkName(cp.Name);
    ++Bookmarks_;
    for (const char* part : {"{\\*\\bkmkstart ", "{\\*\\bkmkend "}) {
        Out_ += part;
        AppendRtfText(Out_, name, false);
        Out_ += '}';
    }
}

bool TRtfBodyWriter::OpenHyperlink(int itemNo)
{
    const TCustomRVItemInfo& item = D_.ItemAt(itemNo);
    const bool jump = item.IsText() ? Sheet_.TextStyles.StyleAt(D_.ActualStyleOf(itemNo)).Jump : item.IsJumpKind();
    if (!jump)
        return false;
    // The target is the item's tag: nothing else keeps it in this program.
    std::string target = item.Tag;
    std::string extras;
    if (!item.Hint.empty()) {
        std::string hint = item.Hint;
        for (char& c : hint) {
            if (c == '"')
                c = '\'';
            else if (c == '\\' || c == '{' || c == '}')
                c = '_';
        }
        extras = "\\o \"";
        AppendRtfText(extras, hint, false);
        extras += '"';
    }
    std::string escaped;
    if (!target.empty() && target[0] == '#') {
        // A place in this document: a bookmark name.
        escaped = BookmarkName(std::string_view(target).substr(1));
        extras = "\\l " + extras;
    } else {
        // The field's own rule doubles backslashes; then the text is escaped for RTF, braces
        // included, so that the field stays one group whatever the target holds.
        std::string doubled;
        for (const char c : target) {
            doubled += c;
            if (c == '\\')
                doubled += c;
        }
        AppendRtfText(escaped, doubled, false);
    }
    if (escaped.empty() && extras.empty())
        return false;
    Out_ += "{\\field{\\*\\fldinst HYPERLINK ";
    if (!extras.empty())
        Out_ += extras.back() == ' ' ? extras : extras + " ";
    Out_ += '"' + escaped + '"';
    Out_ += "}{\\fldrslt ";
    LastTextStyle_ = -1;
    return true;
}

void TRtfBodyWriter::ParagraphStart(int itemNo)
{
    const TCustomRVItemInfo& item = D_.ItemAt(itemNo);
    Out_ += Crlf;
    if (item.IsFullLine() && item.NewPageBefore())
        Out_ += "\\page ";
    if (item.NewLine()) {
        Out_ += "\\line ";
        return;
    }
    if (!ParagraphClosed_) {
        Out_ += "\\par ";
        if (LastParaHadMarker_) {
            Out_ += "\\plain";
            LastTextStyle_ = -1;
        }
    }
    if (!item.IsFullLine() && item.NewPageBefore())
        Out_ += "\\page ";
    LastParaHadMarker_ = item.IsListMarker();
    const TRVListLevel* level = ParagraphListLevel(itemNo);
    if (item.ParaNo != LastParaStyle_ || level != LastListLevel_) {
        Out_ += "\\pard";
        if (Ctx_.Has(rvrtfSaveStyleSheet) && Sheet_.ParaStyles.StyleAt(item.ParaNo).Standard) {
            Out_ += "\\s";
            Int(item.ParaNo);
        }
        ParagraphKeywords(item.ParaNo, level);
    }
}

const TRVListLevel* TRtfBodyWriter::ParagraphListLevel(int itemNo) const
{
    const TCustomRVItemInfo& item = D_.ItemAt(itemNo);
    return item.IsListMarker() ? RtfMarkerLevel(Ctx_, static_cast<const TRVMarkerItemInfo&>(item)) : nullptr;
}

void TRtfBodyWriter::ListParagraphPrelude(int markerNo)
{
    const TCustomRVItemInfo& marker = D_.ItemAt(markerNo);
    Out_ += Crlf;
    Out_ += "\\pard";
    if (Ctx_.Has(rvrtfSaveStyleSheet) && Sheet_.ParaStyles.StyleAt(marker.ParaNo).Standard) {
        Out_ += "\\s";
        Int(marker.ParaNo);
    }
    ParagraphKeywords(marker.ParaNo, ParagraphListLevel(markerNo));
    if (const TRVRTFItemWriter* writer = RtfItemWriterOf(marker))
        writer->Write(marker, D_.TextAt(markerNo), Out_, Ctx_, Level_);
    LastTextStyle_ = -1;
    LastParaHadMarker_ = true;
    ParagraphClosed_ = false;
}

void TRtfBodyWriter::Item(int itemNo, int from, int to)
{
    const TCustomRVItemInfo& item = D_.ItemAt(itemNo);
    if (!item.ContinuesPara())
        ParagraphStart(itemNo);
    if (const TRVCPInfo* cp = item.Checkpoint())
        Bookmark(*cp);
    const bool link = OpenHyperlink(itemNo);
    if (item.IsText()) {
        const int styleNo = D_.ActualStyleOf(itemNo);
        const TFontInfo& style = Sheet_.TextStyles.StyleAt(styleNo);
        const bool html = style.Options.Contains(rvteoHTMLCode);
        const bool raw = style.Options.Contains(rvteoRTFCode);
        if (!html || raw) {
            SwitchTextStyle(styleNo);
            const TRVItemText text = TRVItemText::Of(D_, itemNo);
            const int size = text.CharSize();
            const std::string_view bytes = text.Bytes().substr(std::size_t(from - 1) * size, std::size_t(to - from) * size);
            if (text.Unicode())
                UnicodeText(bytes, styleNo, raw);
            else
                AppendRtfText(Out_, bytes, true, raw);
        }
    } else if (const TRVRTFItemWriter* writer = RtfItemWriterOf(item)) {
        const int styleNo = writer->TextStyleOf(item);
        if (styleNo >= 0 && styleNo < Sheet_.TextStyles.Count()) {
            // Shown in a text style: written like text of that style.
            const TFontInfo& style = Sheet_.TextStyles[styleNo];
            if (!style.Options.Contains(rvteoHTMLCode) || style.Options.Contains(rvteoRTFCode)) {
                SwitchTextStyle(styleNo);
                writer->Write(item, D_.TextAt(itemNo), Out_, Ctx_, Level_);
            }
        } else {
            writer->Write(item, D_.TextAt(itemNo), Out_, Ctx_, Level_);
            LastTextStyle_ = -1;
        }
    }
    if (link) {
        Out_ += "}}";
        LastTextStyle_ = -1;
    }
    // A horizontal line ends its own paragraph ("\par\pard"): another "\par" would add an empty
    // paragraph after it.
    ParagraphClosed_ = item.IsFullLine() && (item.StyleNo == rvsTable || item.StyleNo == rvsBreak);
    // A table ends inside its last cell's paragraph (\intbl), a line after "\pard": the paragraph
    // after either needs its own \pard, whatever its style.
    if (ParagraphClosed_)
        LastParaStyle_ = -1;
}

void TRtfBodyWriter::Write(const TRVRTFRange& range)
{
    const int count = D_.Count();
    const int first = std::max(range.FirstItem, 0);
    const int last = range.LastItem < 0 ? count - 1 : std::min(range.LastItem, count - 1);
    if (first <= last) {
        // A range that begins after the marker of its paragraph still shows as a list paragraph.
        int start = first;
        while (start > 0 && !D_.ItemAt(start).StartsParagraph())
            --start;
        const bool markerLeftOut = start == first && range.FirstOffset >= D_.OffsetAfter(first);
        if (D_.ItemAt(start).IsListMarker() && (start < first || markerLeftOut))
            ListParagraphPrelude(start);
    }
    for (int i = first; i <= last; ++i) {
        int from = D_.OffsetBefore(i), to = D_.OffsetAfter(i);
        if (i == first && range.FirstOffset >= 0)
            from = std::clamp(range.FirstOffset, from, to);
        if (i == last && range.LastOffset >= 0)
            to = std::clamp(range.LastOffset, from, to);
        // An end item with nothing of it selected is left out (an empty text item has nothing
        // to select and stays).
        if ((i == first || i == last) && from == to && (!D_.ItemAt(i).IsText() || D_.ItemLength(i) > 0))
            continue;
        Item(i, from, to);
    }
    if (const TRVCPInfo* cp = D_.PendingCheckpoint())
        Bookmark(*cp);
}

// ---------------------------------------------------------------------------------------------
// Header

void Prepare(const TCustomRVData& doc, TRVRTFWriteContext& ctx)
{
    const TRVStyle& sheet = ctx.Sheet;
    ctx.StyleFonts.clear();
    for (int i = 0; i < sheet.TextStyles.Count(); ++i)
        ctx.StyleFonts.push_back(ctx.Fonts.Add(sheet.TextStyles[i].FontName, sheet.TextStyles[i].Charset));
    AddRtfListFonts(ctx);

    static constexpr TColor fixed[] = {clWindowText, 0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0xFF00FF,
                                       0x0000FF,     0x00FFFF, 0xFFFFFF, 0x800000, 0x808000, 0x008000,
                                       0x800080,     0x000080, 0x008080, 0x808080, 0xC0C0C0};
    for (TColor c : fixed)
        ctx.Colors.Add(c);
    for (int i = 0; i < sheet.TextStyles.Count(); ++i) {
        const TFontInfo& s = sheet.TextStyles[i];
        for (TColor c : {s.Color, s.BackColor, s.HoverBackColor, s.HoverColor, s.UnderlineColor, s.HoverUnderlineColor})
            ctx.Colors.Add(c);
    }
    for (int i = 0; i < sheet.ParaStyles.Count(); ++i) {
        const TParaInfo& p = sheet.ParaStyles[i];
        if (p.Border.Style != rvbNone)
            ctx.Colors.Add(p.Border.Color);
        ctx.Colors.Add(p.Background.Color);
    }
    CollectRtfListColors(ctx);
    CollectRtfColors(doc, ctx);
    if (ctx.Settings.Background != clWindow)
        ctx.Colors.Add(ctx.Settings.Background);
}

/// Whether the document holds an item of a kind, in a table cell or a note text too.
bool HoldsKind(const TCustomRVData& doc, int styleNo)
{
    for (int i = 0; i < doc.Count(); ++i) {
        const TCustomRVItemInfo& item = doc.ItemAt(i);
        if (item.StyleNo == styleNo)
            return true;
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (const TCustomRVData* sub = item.SubDocument(k); sub && HoldsKind(*sub, styleNo))
                return true;
    }
    return false;
}

/// Whether a range takes in the end of the paragraph it stops in (the whole container does).
bool EndsAtParagraphEnd(const TCustomRVData& doc, const TRVRTFRange& range)
{
    const int count = doc.Count();
    if (count == 0)
        return true;
    const int first = std::max(range.FirstItem, 0);
    const int last = range.LastItem < 0 ? count - 1 : std::min(range.LastItem, count - 1);
    if (range.LastOffset >= 0 && range.LastOffset < doc.OffsetAfter(last)) {
        // Stopping before anything of a paragraph's first item takes in the break before it.
        return last > first && range.LastOffset <= doc.OffsetBefore(last) && doc.ItemAt(last).StartsParagraph();
    }
    return last == count - 1 || doc.ItemAt(last + 1).StartsParagraph();
}

/// A selection whose two ends are one place: the same offset in one item, or the end of an item
/// and the start of the next in the same line.
bool NothingSelected(const TCustomRVData& data, const TRVRTFRange& sel)
{
    const int count = data.Count();
    if (sel.FirstItem < 0 || sel.FirstItem >= count)
        return true;
    const int last = std::min(sel.LastItem, count - 1);
    if (sel.FirstOffset < 0 || sel.LastOffset < 0)
        return false; // whole items
    if (last == sel.FirstItem)
        return sel.FirstOffset == sel.LastOffset;
    return last == sel.FirstItem + 1 && sel.FirstOffset >= data.OffsetAfter(sel.FirstItem) &&
           sel.LastOffset <= data.OffsetBefore(last) && data.ItemAt(last).ContinuesPara();
}

void WriteHeader(const TCustomRVData& doc, std::string& out, TRVRTFWriteContext& ctx, TRVBiDiMode direction)
{
    const TRVStyle& sheet = ctx.Sheet;
    const int language = 2 * LanguageOfCharset(sheet.TextStyles.StyleAt(0).Charset);
    out += "{\\rtf1\\ansi\\ansicpg" + std::to_string(sheet.DefCodePage) + "\\uc1\\deff0\\deflang" +
           std::to_string(language) + "\\deflangfe" + std::to_string(language);
    if (direction == rvbdLeftToRight)
        out += "\\ltrdoc";
    else if (direction == rvbdRightToLeft)
        out += "\\rtldoc";
    if (HoldsKind(doc, rvsEndnote))
        out += "\\fet2{\\*\\aftnsep\\pard\\plain\\chftnsep }{\\*\\aftnsepc\\pard\\plain\\chftnsepc}";
    if (HoldsKind(doc, rvsFootnote))
        out += "\\fet2{\\*\\ftnsep\\pard\\plain\\chftnsep }{\\*\\ftnsepc\\pard\\plain\\chftnsepc}";
    if (ctx.Has(rvrtfSaveDocParameters)) {
        if (ctx.Settings.DocParameters)
            ctx.Settings.DocParameters->WriteRtf(out);
        else
            out += "\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440";
        out += Crlf;
    }
    out += "{\\fonttbl";
    const auto& fonts = ctx.Fonts.Items();
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil";
        if (fonts[i].Charset != DEFAULT_CHARSET)
            out += "\\fcharset" + std::to_string(fonts[i].Charset);
        out += ' ';
        // Font names are escaped like text, and lose the semicolon that would end them.
        std::string name = fonts[i].FontName;
        name.erase(std::remove(name.begin(), name.end(), ';'), name.end());
        AppendRtfText(out, name, false);
        out += ";}";
    }
    out += "}{\\colortbl;";
    const auto& colors = ctx.Colors.Items();
    for (std::size_t i = 1; i < colors.size(); ++i) {
        const TColor rgb = ColorToRGB(colors[i]);
        out += "\\red" + std::to_string(RedOf(rgb)) + "\\green" + std::to_string(GreenOf(rgb)) + "\\blue" +
               std::to_string(BlueOf(rgb)) + ";";
    }
    out += "}";
    if (ctx.Has(rvrtfSaveStyleSheet))
        TRtfBodyWriter(doc, out, ctx, 0).WriteStyleSheet();
    WriteRtfListTables(out, ctx);
    out += ctx.Extra(rtfsaDocHeader, nullptr, -1, -1, false);
    out += Crlf;
    out += ctx.Has(rvrtfDuplicateUnicode) ? "\\uc1" : "\\uc0";
}

} // namespace

void WriteRtfContainer(const TCustomRVData& data, std::string& out, TRVRTFWriteContext& ctx, int level,
                       const TRVRTFRange& range)
{
    TRtfBodyWriter(data, out, ctx, level).Write(range);
}

bool WriteRtfDocument(const TCustomRVData& doc, const TRVRTFWriteSettings& settings, std::string& out,
                      const TRVRTFRange& range)
{
    const TRVStyle* sheet = doc.GetRVStyle();
    if (!sheet)
        return false;
    TRVRTFWriteContext ctx(*sheet, settings);
    Prepare(doc, ctx);
    WriteHeader(doc, out, ctx, rvbdUnspecified);
    WriteRtfContainer(doc, out, ctx, 0, range);
    if (EndsAtParagraphEnd(doc, range))
        out += "\\par";
    out += '}';
    return true;
}

bool WriteRtfSelection(const TCustomRVData& container, const TRVRTFWriteSettings& settings, std::string& out,
                       TRVRTFRange selection)
{
    if (selection.LastItem < 0) { // to the end
        selection.LastItem = container.Count() - 1;
        selection.LastOffset = -1;
    }
    if (selection.LastItem < selection.FirstItem ||
        (selection.LastItem == selection.FirstItem && selection.LastOffset < selection.FirstOffset)) {
        std::swap(selection.FirstItem, selection.LastItem);
        std::swap(selection.FirstOffset, selection.LastOffset);
    }
    if (NothingSelected(container, selection))
        return true;
    return WriteRtfDocument(container, settings, out, selection);
}

} // namespace xq

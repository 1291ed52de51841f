#include "formats/rtf/RtfImport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>
#include <new>

#include "document/DocParameters.h"
#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"
#include "pictures/PictureFile.h"
#include "platform/CodePage.h"
#include "platform/DocViewError.h"
#include "platform/Hex.h"
#include "platform/IniFile.h"

namespace xq {
namespace {

/// Thrown by the import to stop the reader: the document reached the largest size it may have.
struct TImportTooLarge {};

std::mutex& ImporterLock()
{
    static std::mutex lock;
    return lock;
}
TRVRTFTableImporterFactory& ImporterFactory()
{
    static TRVRTFTableImporterFactory factory;
    return factory;
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

/// The instruction of a field without surrounding blanks and without a leading backslash.
std::string_view InstructionText(std::string_view instruction)
{
    instruction = Trimmed(instruction);
    if (!instruction.empty() && instruction.front() == '\\')
        instruction.remove_prefix(1);
    return instruction;
}

/// One argument of a field instruction at pos: quoted up to the closing quote, else up to the
/// next blank. pos moves past it.
std::string FieldArgument(std::string_view s, std::size_t& pos)
{
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) <= ' ')
        ++pos;
    std::string value;
    if (pos < s.size() && s[pos] == '"') {
        const std::size_t close = s.find('"', pos + 1);
        const std::size_t end = close == std::string_view::npos ? s.size() : close;
        value = s.substr(pos + 1, end - pos - 1);
        pos = close == std::string_view::npos ? s.size() : close + 1;
        return value;
    }
    const std::size_t start = pos;
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) > ' ')
        ++pos;
    return std::string(s.substr(start, pos - start));
}

std::string HalveBackslashes(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\')
            ++i;
    }
    return out;
}


/// Percent escapes decoded, except those that would put a line break or a zero byte into the
/// target.
std::string DecodePercents(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int hi = HexDigitValue(s[i + 1]);
            const int lo = HexDigitValue(s[i + 2]);
            const int byte = hi * 16 + lo;
            if (hi >= 0 && lo >= 0 && byte != 0 && byte != 10 && byte != 13) {
                out += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

bool IsAbsoluteTarget(std::string_view target)
{
    return target.empty() || target.front() == '#' || target.front() == '/' ||
           target.find(':') != std::string_view::npos || target.starts_with("\\\\");
}

/// A hyperlink field's target, screen tip and the switches as written.
struct THyperlink {
    std::string Target;
    std::string Tip;
    std::string Extras;
};

THyperlink ParseHyperlink(std::string_view instruction)
{
    THyperlink link;
    std::string_view s = InstructionText(instruction);
    s.remove_prefix(std::min<std::size_t>(s.size(), 9)); // "HYPERLINK"
    std::size_t pos = 0;
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) <= ' ')
        ++pos;
    if (pos < s.size() && s[pos] != '\\')
        link.Target = HalveBackslashes(FieldArgument(s, pos));
    link.Extras = std::string(Trimmed(s.substr(pos)));
    std::string location;
    while (pos < s.size()) {
        while (pos < s.size() && static_cast<unsigned char>(s[pos]) <= ' ')
            ++pos;
        if (pos >= s.size())
            break;
        if (s[pos] == '\\' && pos + 2 < s.size() && static_cast<unsigned char>(s[pos + 2]) <= ' ') {
            const char which = static_cast<char>(std::tolower(static_cast<unsigned char>(s[pos + 1])));
            pos += 2;
            if (which == 'o') {
                link.Tip = FieldArgument(s, pos);
                continue;
            }
            if (which == 'l') {
                location = FieldArgument(s, pos);
                continue;
            }
            continue;
        }
        FieldArgument(s, pos); // another switch or its value: passed over
    }
    if (!location.empty())
        link.Target += location.front() == '#' ? location : "#" + location;
    link.Target = DecodePercents(link.Target);
    return link;
}

/// A name or link as an item keeps it (a checkpoint's or sequence's name, a link's tag and hint): without
/// control characters. A zero byte or a line break, which escapes such as "\'00" or "\'0a" put
/// into a bookmark or a field instruction, would end the value in a document file.
std::string WithoutControlCharacters(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name)
        if (static_cast<unsigned char>(c) >= ' ')
            out += c;
    return out;
}

bool IsMetafile(const TGraphic& graphic)
{
    return graphic.ClassName() == "TMetafile";
}


} // namespace

// ---------------------------------------------------------------------------------------------
// Settings

void TRVRTFReaderProperties::SetTextStyleNo(int value)
{
    if (value < 0)
        throw EDocViewError("Value must not be negative");
    TextStyleNo_ = value;
}

void TRVRTFReaderProperties::SetParaStyleNo(int value)
{
    if (value < 0)
        throw EDocViewError("Value must not be negative");
    ParaStyleNo_ = value;
}

void TRVRTFReaderProperties::Assign(const TRVRTFReaderProperties& source)
{
    if (&source == this)
        return;
    UnicodeMode = source.UnicodeMode;
    TextStyleMode = source.TextStyleMode;
    ParaStyleMode = source.ParaStyleMode;
    IgnorePictures = source.IgnorePictures;
    IgnoreTables = source.IgnoreTables;
    IgnoreNotes = source.IgnoreNotes;
    IgnoreSequences = source.IgnoreSequences;
    SkipHiddenText = source.SkipHiddenText;
    TextStyleNo_ = source.TextStyleNo_;
    ParaStyleNo_ = source.ParaStyleNo_;
    UseHypertextStyles = source.UseHypertextStyles;
    LineBreaksAsParagraphs = source.LineBreaksAsParagraphs;
    ExtractMetafileBitmaps = source.ExtractMetafileBitmaps;
    ConvertHighlight = source.ConvertHighlight;
}

void SetMainWindowRtfReadProperties(TRVRTFReaderProperties& properties)
{
    properties.UnicodeMode = rvruMixed;
    properties.TextStyleMode = rvrsAddIfNeeded;
    properties.ParaStyleMode = rvrsAddIfNeeded;
    properties.ReadDocParameters = true;
}

void RegisterRtfTableImporter(TRVRTFTableImporterFactory factory)
{
    const std::scoped_lock guard(ImporterLock());
    ImporterFactory() = std::move(factory);
}

int TRVRTFReaderProperties::Run(TRVRTFImport& import, const std::function<int(TRVRTFReader&)>& read)
{
    int code = rtf_ec_OK;
    TooLarge_ = false;
    // Markers and sequences are numbered once, at the end.
    TCustomRVData& target = import.Target();
    const bool deferred = target.NumberingDeferred();
    target.SetNumberingDeferred(true);
    struct TRestore {
        TCustomRVData& Data;
        bool Deferred;
        ~TRestore() { Data.SetNumberingDeferred(Deferred); }
    } restore{target, deferred};
    try {
        TRVRTFReader reader;
        import.Connect(reader);
        code = read(reader);
        import.Finish();
    } catch (const TImportTooLarge&) {
        TooLarge_ = true;
        code = rtf_ec_Exception;
    } catch (const std::bad_alloc&) {
        code = rtf_ec_Exception;
    } catch (const std::exception&) {
        code = rtf_ec_Exception;
    }
    if (import.TooLarge()) {
        TooLarge_ = true;
        code = code == rtf_ec_OK ? rtf_ec_Exception : code;
    }
    target.SetNumberingDeferred(deferred);
    if (!deferred)
        RenumberAll(target);
    return code;
}

int TRVRTFReaderProperties::ReadRtfIntoDocument(const std::filesystem::path& fileName, TCustomRVData& container,
                                                TRVDocParameters* docParameters)
{
    TRVRTFImport import(*this, container);
    import.DocParameters = docParameters;
    return Run(import, [&fileName](TRVRTFReader& reader) { return reader.ReadRtfFile(fileName); });
}

int TRVRTFReaderProperties::ReadRtfStreamIntoDocument(std::string_view stream, TCustomRVData& container,
                                                      TRVDocParameters* docParameters)
{
    TRVRTFImport import(*this, container);
    import.DocParameters = docParameters;
    return Run(import, [stream](TRVRTFReader& reader) { return reader.ReadRtfStream(stream); });
}

int TRVRTFReaderProperties::InsertRtfStream(std::string_view stream, TCustomRVData& container, int& index)
{
    const int at = std::clamp(index, 0, container.Count());
    index = -1;
    if (stream.empty())
        return rtf_ec_OK;
    // Read apart, then move in: a failed read leaves the container as it was before the items
    // that did arrive.
    TCustomRVData fragment(container.GetRVStyle());
    const int code = ReadRtfStreamIntoDocument(stream, fragment, nullptr);
    if (fragment.Empty())
        return code;
    std::vector<TRVItemEntry> items = fragment.ExtractItems(0, fragment.Count());
    TCustomRVItemInfo& first = *items.front().Item;
    if (at == 0 || container.ItemAt(at - 1).IsFullLine() || first.IsFullLine())
        first.SetContinuesPara(false);
    const bool deferred = container.NumberingDeferred();
    container.SetNumberingDeferred(true);
    container.InsertItems(at, std::move(items));
    container.SetNumberingDeferred(deferred);
    if (!deferred)
        RenumberAll(container);
    index = at;
    return code;
}

// ---------------------------------------------------------------------------------------------
// The import

TRVRTFImport::TRVRTFImport(TRVRTFReaderProperties& settings, TCustomRVData& target)
    : Settings_(settings), Target_(target), Current_(&target), Sheet_(target.GetRVStyle())
{
    if (!Sheet_)
        throw EDocViewError("RTF cannot be read into a document without a style sheet");
    Choice_.Mode = settings.TextStyleMode;
    Choice_.SpecifiedNo = settings.TextStyleNo();
    Choice_.UseHypertextStyles = settings.UseHypertextStyles;
    Choice_.Units.Scale = (settings.PixelsPerInch > 0 ? settings.PixelsPerInch : 96) / 1440.0;
    ParaChoice_ = Choice_;
    ParaChoice_.Mode = settings.ParaStyleMode;
    ParaChoice_.SpecifiedNo = settings.ParaStyleNo();
    LegacyCache_.fill(-1);
    ListStylesBefore_ = Sheet_->ListStyles.Count();
}

TRVRTFImport::~TRVRTFImport() = default;

void TRVRTFImport::Connect(TRVRTFReader& reader)
{
    Reader_ = &reader;
    reader.DefCodePage = Sheet_->DefCodePage;
    reader.PixelsPerInch = Settings_.PixelsPerInch;
    reader.TabAsSeparateChar = Sheet_->SpacesInTab == 0;
    reader.ExtractMetafileBitmaps = Settings_.ExtractMetafileBitmaps;
    reader.ConvertHighlight = Settings_.ConvertHighlight == rtfhlIgnore        ? rtf_hl_Ignore
                              : Settings_.ConvertHighlight == rtfhlFixedColors ? rtf_hl_FixedColors
                                                                               : rtf_hl_ColorTable;
    reader.BasePath = Settings_.BasePath;

    reader.OnNewText = [this](TRVRTFReader&, std::string_view text, TRVRTFPosition position) {
        NewText(text, position);
    };
    if (Settings_.UnicodeMode != rvruNoUnicode)
        reader.OnNewUnicodeText = [this](TRVRTFReader&, std::u16string_view text, TRVRTFPosition position) {
            NewUnicodeText(text, position);
        };
    reader.OnUpdateMarker = [this](TRVRTFReader&) { UpdateMarkers(); };
    if (!Settings_.IgnorePictures) {
        reader.OnNewPicture = [this](TRVRTFReader&, TRVRTFPicture& picture, std::unique_ptr<TGraphic>& graphic,
                                     TRVRTFPosition position, const std::string& fileName, bool& inserted) {
            NewPicture(picture, graphic, position, fileName, inserted);
        };
        reader.OnImportPicture = [this](TRVRTFReader&, const std::string& location,
                                        std::unique_ptr<TGraphic>& graphic, bool& invalid) {
            ImportPicture(location, graphic, invalid);
        };
    }
    if (!Settings_.IgnoreTables) {
        TRVRTFTableImporterFactory factory;
        {
            const std::scoped_lock guard(ImporterLock());
            factory = ImporterFactory();
        }
        if (factory)
            Tables_ = factory(*this);
        if (Tables_)
            reader.OnTable = [this](TRVRTFReader&, TRVRTFTableEventKind kind, bool& processed) {
                Tables_->Table(kind, processed);
            };
    }
    if (!Settings_.IgnoreNotes)
        reader.OnNote = [this](TRVRTFReader&, TRVRTFNoteEventType what, TRVRTFPosition position) {
            Note(what, position);
        };
    if (!Settings_.IgnoreSequences)
        reader.OnNewSeq = [this](TRVRTFReader&, TRVRTFPosition position, const std::string& name, TRVSeqType type,
                                 bool reset, int startFrom) { NewSeq(position, name, type, reset, startFrom); };
    if (!Settings_.IgnoreBookmarks)
        reader.OnBookmarkStart = [this](TRVRTFReader&, const std::string& name) {
            PendingBookmark_ = WithoutControlCharacters(name);
        };
    reader.OnRequiredPageBreak = [this](TRVRTFReader&) { SetPageBreakPending(Current_); };
    reader.OnEndParsing = [this](TRVRTFReader&) { EndParsing(); };
}

void TRVRTFImport::Finish()
{
    UpdateMarkers();
}

// ---------------------------------------------------------------------------------------------
// Text

TRVRTFPosition TRVRTFImport::Adjusted(TRVRTFPosition position)
{
    position = std::max(position, CarriedPosition_);
    CarriedPosition_ = rtf_ts_ContinuePara;
    if (Settings_.LineBreaksAsParagraphs && position == rtf_ts_NewLine)
        position = rtf_ts_NewPara;
    // The first content of a container starts its first paragraph, with that paragraph's
    // properties and list marker (a document's first run comes without a boundary before it).
    if (Current_->Empty())
        position = rtf_ts_NewPara;
    return position;
}

void TRVRTFImport::NewText(std::string_view text, TRVRTFPosition position)
{
    AddText(std::string(text), {}, false, position);
}

void TRVRTFImport::NewUnicodeText(std::u16string_view text, TRVRTFPosition position)
{
    AddText({}, std::u16string(text), true, position);
}

std::string TRVRTFImport::CurrentFontName() const
{
    const TRVRTFCharProperties& chars = Reader_->CharProps();
    if (!chars.FontName.empty())
        return chars.FontName;
    const TRVRTFFont* font = Reader_->CurrentFont();
    if (!font) {
        const int index = Reader_->FontIndexOf(Reader_->DefaultFontNumber());
        if (index >= 0)
            font = &Reader_->FontTable()[std::size_t(index)];
    }
    if (font && !font->Name.empty())
        return font->Name;
    return Sheet_->TextStyles.Count() > 0 ? Sheet_->TextStyles[0].FontName : std::string("Arial");
}

std::uint8_t TRVRTFImport::CurrentCharset() const
{
    return CharsetOf(CurrentFontName());
}

std::uint8_t TRVRTFImport::CharsetOf(const std::string& name) const
{
    if (SameTextIgnoringCase(name, "Symbol") || SameTextIgnoringCase(name, "Wingdings"))
        return SYMBOL_CHARSET;
    const TRVRTFFont* font = Reader_->CurrentFont();
    if (!font) {
        const int index = Reader_->FontIndexOf(Reader_->DefaultFontNumber());
        if (index >= 0)
            font = &Reader_->FontTable()[std::size_t(index)];
    }
    if (!font || font->Charset == DEFAULT_CHARSET) {
        // A font without "fcharset" holds text in the document's code page ("ansicpg").
        static constexpr std::uint8_t charsets[] = {0, 128, 129, 130, 134, 136, 161, 162,
                                                    163, 177, 178, 186, 204, 222, 238};
        for (const std::uint8_t charset : charsets)
            if (Reader_->CodePage() != 1252 && CodePageOfCharset(charset, 0) == Reader_->CodePage())
                return charset;
        return DEFAULT_CHARSET;
    }
    if (font->Charset == 254 || font->Charset == 77)
        return 0;
    return static_cast<std::uint8_t>(std::clamp(font->Charset, 0, 255));
}

TRVRTFTextRequest TRVRTFImport::TextRequest(bool unicode, bool isProtected) const
{
    const TRVRTFCharProperties& c = Reader_->CharProps();
    TRVRTFTextRequest run;
    run.FontName = CurrentFontName();
    run.Size = c.Size;
    run.Color = c.Color;
    run.BackColor = c.BackColor;
    run.UnderlineColor = c.UnderlineColor;
    run.Style.Set(fsBold, c.Bold);
    run.Style.Set(fsItalic, c.Italic);
    run.Style.Set(fsUnderline, c.Underline);
    run.Style.Set(fsStrikeOut, c.StrikeOut);
    run.Caps = c.AllCaps;
    run.CharScale = c.CharScaleX;
    run.Spacing = c.CharSpacingTw;
    run.SubSuper = c.SScriptType;
    run.VOffset = c.VShift;
    run.UnderlineType = c.UnderlineType;
    run.Charset = CharsetOf(run.FontName);
    run.Link = InHyperlink();
    run.Protected = isProtected;
    run.Unicode = unicode;
    return run;
}

int TRVRTFImport::TextStyleFor(bool unicode, bool isProtected)
{
    if (Choice_.Mode == rvrsUseSpecified)
        return Choice_.SpecifiedNo;
    TRVRTFTextRequest request = TextRequest(unicode, isProtected);
    int styleNo = TextStyleCache_.Find(request);
    if (styleNo < 0) {
        styleNo = SelectRtfTextStyle(Sheet_->TextStyles, request, Choice_, &StyleIndex_);
        TextStyleCache_.Remember(std::move(request), styleNo);
    }
    return styleNo;
}

int TRVRTFImport::ParaStyleFor(TRVRTFPosition position)
{
    if (position != rtf_ts_NewPara) {
        // Inside a paragraph: the paragraph style of the item before.
        return Current_->Empty() ? 0 : Current_->ParaOf(Current_->Count() - 1);
    }
    const TRVRTFParaProperties& p = Reader_->ParaProps();
    TRVRTFParaRequest para;
    para.Alignment = p.Alignment;
    para.FirstIndent = p.FirstIndent;
    para.LeftIndent = p.LeftIndent;
    para.RightIndent = p.RightIndent;
    para.SpaceBefore = p.SpaceBefore;
    para.SpaceAfter = p.SpaceAfter;
    para.LineSpacing = p.LineSpacing;
    para.LineMultiple = p.LineSpacingMulti;
    para.Keep = p.KeepLinesTogether;
    para.KeepNext = p.KeepWithNext;
    para.Background = p.Color;
    for (const TRVRTFTab& tab : p.Tabs)
        if (!tab.IsListTab) // the list tab belongs to the list level
            para.Tabs.push_back({tab.Position, int(tab.Align), int(tab.Leader)});
    for (std::size_t i = 0; i < 4; ++i) {
        const TRVRTFBorderSide& side = p.Border.Sides[i];
        para.Sides[i] = {side.BorderType, side.Width, side.Color, side.Space};
    }
    int styleNo = ParaStyleCache_.Find(para);
    if (styleNo < 0) {
        styleNo = SelectRtfParaStyle(Sheet_->ParaStyles, para, ParaChoice_, Sheet_->SpacesInTab, &StyleIndex_);
        ParaStyleCache_.Remember(std::move(para), styleNo);
    }
    return styleNo;
}

void TRVRTFImport::AddText(std::string bytes, std::u16string wide, bool isWide, TRVRTFPosition position)
{
    if (Settings_.SkipHiddenText && Reader_->CharProps().Hidden) {
        // The text goes, the paragraph or line it starts stays.
        CarriedPosition_ = std::max(CarriedPosition_, position);
        return;
    }
    position = Adjusted(position);
    const bool unicode = isWide || Settings_.UnicodeMode == rvruOnlyUnicode;
    int styleNo = TextStyleFor(unicode, false);
    const int paraNo = ParaStyleFor(position);
    const bool styleIsUnicode = Sheet_->TextStyles.StyleAt(styleNo).Unicode;

    const bool loneTab = isWide ? wide == u"\t" : bytes == "\t";
    if (Sheet_->SpacesInTab == 0 && loneTab) {
        auto tab = std::make_unique<TRVTabItemInfo>();
        tab->TextStyleNo = styleNo;
        tab->ParaNo = paraNo;
        Insert(std::move(tab), {}, position);
        return;
    }

    std::string text;
    if (styleIsUnicode) {
        if (!isWide) {
            // The bytes are in the code page of the run's font, or the document's without a font.
            const TRVRTFFont* font = Reader_->CurrentFont();
            const int codePage = font ? CodePageOfCharset(CurrentCharset(), Reader_->CodePage()) : 0;
            wide = Reader_->AnsiToUnicode(bytes, codePage > 0 ? codePage : Reader_->CodePage());
        }
        text = BytesFromUtf16(wide);
    } else {
        text = isWide ? Reader_->UnicodeToAnsi(wide, Reader_->CodePage()) : std::move(bytes);
    }
    if (Sheet_->SpacesInTab > 0) {
        // Tabs become spaces in a sheet that keeps no tab items.
        const std::string spaces(std::size_t(Sheet_->SpacesInTab), ' ');
        if (styleIsUnicode) {
            std::u16string w = Utf16FromBytes(text), expanded;
            for (const char16_t ch : w)
                expanded += ch == u'\t' ? std::u16string(spaces.begin(), spaces.end()) : std::u16string(1, ch);
            text = BytesFromUtf16(expanded);
        } else if (text.find('\t') != std::string::npos) {
            std::string expanded;
            for (const char ch : text)
                expanded += ch == '\t' ? spaces : std::string(1, ch);
            text = std::move(expanded);
        }
    }
    auto item = std::make_unique<TRVTextItemInfo>(styleNo);
    item->ParaNo = paraNo;
    if (styleIsUnicode)
        item->SetUnicode(true);
    if (InHyperlink())
        ApplyHyperlink(*item, styleNo);
    item->StyleNo = styleNo;
    Insert(std::move(item), std::move(text), position);
}

void TRVRTFImport::AddEmptyRun(TRVRTFPosition position)
{
    const bool unicode = Settings_.UnicodeMode == rvruOnlyUnicode;
    const int styleNo = TextStyleFor(unicode, false);
    auto item = std::make_unique<TRVTextItemInfo>(styleNo);
    item->ParaNo = ParaStyleFor(position);
    if (Sheet_->TextStyles.StyleAt(styleNo).Unicode)
        item->SetUnicode(true);
    Insert(std::move(item), {}, position);
}

int TRVRTFImport::EmptyCellTextStyle() const noexcept
{
    return Settings_.TextStyleMode == rvrsUseSpecified ? Settings_.TextStyleNo() : 0;
}

int TRVRTFImport::BasicParaStyle(TRVAlignment alignment)
{
    if (alignment == rvaLeft && BasicLeftStyle_ >= 0)
        return BasicLeftStyle_;
    const int style = BasicRtfParaStyle(Sheet_->ParaStyles, alignment, ParaChoice_);
    if (alignment == rvaLeft)
        BasicLeftStyle_ = style;
    return style;
}

// ---------------------------------------------------------------------------------------------
// Hyperlinks

bool TRVRTFImport::InHyperlink() const
{
    return Reader_ && StartsWithIgnoringCase(InstructionText(Reader_->FieldInstruction()), "HYPERLINK");
}

void TRVRTFImport::ApplyHyperlink(TCustomRVItemInfo& item, int& styleNo)
{
    THyperlink link = ParseHyperlink(Reader_->FieldInstruction());
    if (Settings_.BasePathLinks && !Settings_.BasePath.empty() && !IsAbsoluteTarget(link.Target)) {
        std::string base = Settings_.BasePath;
        if (base.back() != '/' && base.back() != '\\')
            base += '/';
        link.Target = base + link.Target;
    }
    if (item.StyleNo == rvsPicture)
        styleNo = rvsHotPicture;
    else if (item.StyleNo == rvsBullet)
        styleNo = rvsHotspot;
    std::string tag;
    if (Settings_.OnReadHyperlink)
        Settings_.OnReadHyperlink(link.Target, link.Extras, styleNo, tag);
    else
        tag = link.Target; // the writer takes a link's target from its tag
    // A tag holds no control characters and at most 255 characters, as the hyperlink dialog
    // allows.
    tag = WithoutControlCharacters(tag);
    if (tag.size() > 255)
        tag.resize(255);
    item.Tag = std::move(tag);
    if (!link.Tip.empty())
        item.Hint = WithoutControlCharacters(link.Tip);
}

// ---------------------------------------------------------------------------------------------
// Inserting items

bool TRVRTFImport::ListParagraph() const
{
    if (Settings_.ParaStyleMode != rvrsAddIfNeeded)
        return false;
    const TRVRTFParaProperties& p = Reader_->ParaProps();
    return (p.MarkerProps && p.MarkerProps->Level > 0) || p.ListOverrideIndex >= 0;
}

bool TRVRTFImport::InsertItem(std::unique_ptr<TCustomRVItemInfo> item, std::string text, TRVRTFPosition position)
{
    return Insert(std::move(item), std::move(text), position);
}

bool TRVRTFImport::Insert(std::unique_ptr<TCustomRVItemInfo> item, std::string text, TRVRTFPosition position)
{
    const bool fullLine = item->IsFullLine();
    if (position == rtf_ts_NewPara && !fullLine && !item->IsListMarker() && !MovingCellContent) {
        const TRVRTFParaProperties& p = Reader_->ParaProps();
        if (!(p.MarkerProps && p.MarkerProps->Level > 0))
            LegacyCache_.fill(-1);
        if (ListParagraph() && InsertMarker(item->ParaNo))
            position = rtf_ts_ContinuePara;
    }
    if (!PendingBookmark_.empty()) {
        auto cp = std::make_unique<TRVCPInfo>();
        cp->Name = std::move(PendingBookmark_);
        PendingBookmark_.clear();
        item->SetCheckpointDescription(std::move(cp));
    }
    const bool pageBreak = PageBreakPendingFor(*Current_);
    if (pageBreak)
        SetPageBreakPending(nullptr);

    const bool startsParagraph = position == rtf_ts_NewPara || fullLine || pageBreak;
    if (startsParagraph) {
        item->SetContinuesPara(false);
        item->SetNewLine(false);
        if (position != rtf_ts_NewPara && !Current_->Empty() && !fullLine)
            item->ParaNo = Current_->ParaOf(Current_->Count() - 1);
        if (item->ParaNo < 0)
            item->ParaNo = 0;
        if (pageBreak)
            item->SetNewPageBefore(true);
    } else if (position == rtf_ts_NewLine) {
        item->SetNewLine(true);
    } else {
        item->ParaNo = -1; // continues the paragraph of the item before
    }
    return Place(std::move(item), std::move(text));
}

bool TRVRTFImport::Place(std::unique_ptr<TCustomRVItemInfo> item, std::string text)
{
    if (InsertedCount_ >= MaxDocumentItems) {
        TooLarge_ = true;
        throw TImportTooLarge{};
    }
    TCustomRVItemInfo* placed = item.get();
    Current_->AppendItem(std::move(text), std::move(item));
    ++InsertedCount_;
    const int index = Current_->Count() - 1;
    if (Current_ == &Target_ && FirstInserted_ < 0)
        FirstInserted_ = index;
    if (placed->IsListMarker()) {
        LastMarkerContainer_ = Current_;
        LastMarkerIndex_ = index;
    } else if (placed->StyleNo == rvsNoteReference) {
        NoteReferenceContainer_ = Current_;
        NoteReferenceIndex_ = index;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Pictures

void TRVRTFImport::NewPicture(TRVRTFPicture& picture, std::unique_ptr<TGraphic>& graphic, TRVRTFPosition position,
                              const std::string& fileName, bool& inserted)
{
    inserted = false;
    position = Adjusted(position);
    if (!graphic) {
        // Inside "shppict" the reader falls back on the group's other form.
        if (picture.ShpPict || !Sheet_->InvalidPicture())
            return;
        graphic = Sheet_->InvalidPicture()->Clone();
    }
    auto item = std::make_unique<TRVGraphicItemInfo>();
    int styleNo = rvsPicture;
    if (InHyperlink())
        ApplyHyperlink(*item, styleNo);
    if (styleNo == rvsHotPicture) {
        auto hot = std::make_unique<TRVHotGraphicItemInfo>();
        hot->Tag = item->Tag;
        hot->Hint = item->Hint;
        item = std::move(hot);
    }
    // The size shown: a scale, a metafile's extent, or a goal size other than the picture's own
    // (the size other programs give a resized picture).
    const int naturalW = graphic->Width();
    const int naturalH = graphic->Height();
    const int goalW = picture.GoalWidthPx >= 1 ? picture.GoalWidthPx : naturalW;
    const int goalH = picture.GoalHeightPx >= 1 ? picture.GoalHeightPx : naturalH;
    const bool sized = IsMetafile(*graphic) || picture.PicScaleX != 100 || picture.PicScaleY != 100 ||
                       std::abs(goalW - naturalW) > 1 || std::abs(goalH - naturalH) > 1;
    if (sized) {
        const auto scaled = [](int size, int scale) {
            return static_cast<int>(std::clamp(std::nearbyint(size / 100.0 * scale), 0.0, 100000.0));
        };
        const int w = scaled(goalW, picture.PicScaleX);
        const int h = scaled(goalH, picture.PicScaleY);
        if (w != naturalW || h != naturalH) {
            item->ImageWidth = w;
            item->ImageHeight = h;
        }
    }
    if (Settings_.StoreImagesFileNames)
        item->ImageFileName = fileName;
    item->Image = std::move(graphic);
    item->ParaNo = ParaStyleFor(position);
    inserted = Insert(std::move(item), {}, position);
}

void TRVRTFImport::ImportPicture(const std::string& location, std::unique_ptr<TGraphic>& graphic, bool& invalid)
{
    std::error_code error;
    const std::filesystem::path path(location);
    if (!std::filesystem::is_regular_file(path, error))
        return;
    graphic = LoadPictureFile(path);
    invalid = graphic == nullptr;
}

// ---------------------------------------------------------------------------------------------
// Notes, sequences, page parameters

void TRVRTFImport::InsertNoteReference(TRVRTFPosition position)
{
    auto item = std::make_unique<TRVNoteReferenceItemInfo>();
    item->TextStyleNo = TextStyleFor(false, true);
    item->ParaNo = ParaStyleFor(position);
    Insert(std::move(item), {}, position);
}

void TRVRTFImport::Note(TRVRTFNoteEventType what, TRVRTFPosition position)
{
    const auto replaceNote = [this](std::unique_ptr<TCustomRVNoteItemInfo> note) -> TCustomRVNoteItemInfo* {
        TCustomRVData& container = *NoteReferenceContainer_;
        const int index = NoteReferenceIndex_;
        note->Assign(container.ItemAt(index));
        TCustomRVNoteItemInfo* placed = note.get();
        TRVItemEntry old = container.ExtractItem(index);
        if (TRVCPInfo* cp = old.Item->Checkpoint())
            note->SetCheckpointDescription(cp->CreateCopy());
        container.InsertItemAt(index, std::move(old.Text), std::move(note));
        // The item replaced is kept to the end: a damaged input may still point into its text.
        RetiredItems_.push_back(std::move(old.Item));
        return placed;
    };
    switch (what) {
    case rtf_ne_Character:
        InsertNoteReference(Adjusted(position));
        break;
    case rtf_ne_Start: {
        if (NoteReferenceIndex_ >= 0 && (NoteReferenceContainer_ != Current_ ||
                                         NoteReferenceIndex_ >= Current_->Count() ||
                                         Current_->StyleOf(NoteReferenceIndex_) != rvsNoteReference))
            NoteReferenceIndex_ = -1;
        if (NoteReferenceIndex_ < 0)
            InsertNoteReference(Adjusted(position));
        if (NoteReferenceIndex_ < 0)
            return;
        TCustomRVNoteItemInfo* note = replaceNote(std::make_unique<TRVFootnoteItemInfo>());
        note->SeqName = "@footnote@";
        SavedContainers_.push_back({Current_});
        NoteItemContainer_ = NoteReferenceContainer_;
        NoteItemIndex_ = NoteReferenceIndex_;
        NoteReferenceIndex_ = -1;
        Current_ = &note->NoteText();
        break;
    }
    case rtf_ne_EndNote: {
        if (NoteItemIndex_ < 0 || SavedContainers_.empty() || !NoteItemContainer_ ||
            NoteItemIndex_ >= NoteItemContainer_->Count() ||
            NoteItemContainer_->StyleOf(NoteItemIndex_) != rvsFootnote)
            return;
        // The note's text so far moves along with it.
        TCustomRVData& container = *NoteItemContainer_;
        auto& footnote = static_cast<TCustomRVNoteItemInfo&>(container.ItemAt(NoteItemIndex_));
        std::vector<TRVItemEntry> text = footnote.NoteText().ExtractItems(0, footnote.NoteText().Count());
        NoteReferenceContainer_ = &container;
        NoteReferenceIndex_ = NoteItemIndex_;
        TCustomRVNoteItemInfo* endnote = replaceNote(std::make_unique<TRVEndnoteItemInfo>());
        endnote->SeqName = "@endnote@";
        endnote->NoteText().InsertItems(0, std::move(text));
        Current_ = &endnote->NoteText();
        NoteReferenceIndex_ = -1;
        NoteItemIndex_ = -1;
        break;
    }
    case rtf_ne_End:
        NoteReferenceIndex_ = -1;
        NoteItemIndex_ = -1;
        if (!SavedContainers_.empty()) {
            Current_ = SavedContainers_.back().Container;
            SavedContainers_.pop_back();
        }
        break;
    }
}

void TRVRTFImport::NewSeq(TRVRTFPosition position, const std::string& seqName, TRVSeqType numberingType, bool reset,
                          int startFrom)
{
    position = Adjusted(position);
    auto item = std::make_unique<TRVSeqItemInfo>();
    const std::string name = WithoutControlCharacters(seqName);
    item->SeqName = SameTextIgnoringCase(name, "@footnote@") || SameTextIgnoringCase(name, "@endnote@")
                        ? "_" + name
                        : name;
    item->NumberType = numberingType;
    item->Reset = reset;
    item->StartFrom = startFrom;
    item->TextStyleNo = TextStyleFor(false, false);
    item->ParaNo = ParaStyleFor(position);
    Insert(std::move(item), {}, position);
}

void TRVRTFImport::EndParsing()
{
    if (!DocParameters || !Settings_.ReadDocParameters)
        return;
    TRVDocParameters& params = *DocParameters;
    const TRVRTFDocProperties& doc = Reader_->DocProps();
    params.PageWidth = params.FromTwips(doc.PaperWidth);
    params.PageHeight = params.FromTwips(doc.PaperHeight);
    params.LeftMargin = params.FromTwips(doc.LeftMargin);
    params.RightMargin = params.FromTwips(doc.RightMargin);
    params.TopMargin = params.FromTwips(doc.TopMargin);
    params.BottomMargin = params.FromTwips(doc.BottomMargin);
    params.ZoomPercent = doc.ViewScale;
    params.ZoomMode = doc.ZoomKind == 1 ? rvzmFullPage : doc.ZoomKind == 2 ? rvzmPageWidth : rvzmCustom;
    params.MirrorMargins = doc.MirrorMargins;
    params.Orientation = doc.Landscape ? poLandscape : poPortrait;
    const TRVRTFSectionProperties& section = Reader_->SectProps();
    if (section.FooterY > 0)
        params.FooterY = params.FromTwips(section.FooterY);
    if (section.HeaderY > 0)
        params.HeaderY = params.FromTwips(section.HeaderY);
}

} // namespace xq

// TRVRTFReader: the table-driven RTF parser. One pass over the bytes; "{" pushes a copy of the
// reader state, "}" restores the saved one; control words go through the keyword table.
//
// Everything is bounded by the input: the state stack by MaxGroupDepth, table levels by
// MaxTableNesting, binary and hexadecimal data grow with the bytes that really come, parameters
// that do not fit 32 bits read as 0. Nothing recurses.
//
// This file: the characters, text runs, table depth, keywords and the main loop, and the public
// interface.
#include "formats/rtf/RtfReader.h"

#include <exception>
#include <new>

#include "formats/rtf/RtfReaderParser.h"
#include "platform/FileIO.h"
#include "platform/Hex.h"

namespace xq {

void TRVRTFReader::TParser::Reset()
{
    Stack.clear();
    Stack.emplace_back();
    Stack.back().Row = std::make_shared<TRowData>();
    Depth = 0;
    Finished = false;
    Internal = TInternal::Normal;
    BinLeft = 0;
    HexDigits = 0;
    HexValueSoFar = 0;
    SkipDestIfUnknown = false;
    UcSkip = 1;
    SkipLeft = 0;
    TableDepth = 0;
    CodePage = ResolveCodePage(R.DefCodePage);
    Text8.clear();
    Text16.clear();
    PendingPos = rtf_ts_ContinuePara;
    SectProps = {};
    DocProps = {};
    Fonts.clear();
    FontIndex.clear();
    FontIndexSize = 0;
    FontNameDone = false;
    Colors.clear();
    ColorTouched = false;
    Styles.clear();
    Lists.clear();
    Overrides.clear();
    DefFont = 0;
    DefLang = 0;
    Picture.reset();
    LastShpPictInserted = false;
    Object.reset();
    ObjectInserted = false;
    ObjHexDigit = -1;
}

bool TRVRTFReader::TParser::TableEvent(TRVRTFTableEventKind kind)
{
    UpdateMarker();
    bool processed = true;
    if (R.OnTable)
        R.OnTable(R, kind, processed);
    return processed;
}

void TRVRTFReader::TParser::SyncTableDepth()
{
    const int level = ParaTableLevel();
    while (TableDepth < level) {
        TableEvent(rvf_tbl_TableStart);
        ++TableDepth;
    }
    if (TableDepth > level && !Cur().Pap.NoOverlap)
        while (TableDepth > level) {
            if (!TableEvent(rvf_tbl_TableEnd))
                break;
            --TableDepth;
        }
}

void TRVRTFReader::TParser::CloseTables(int downTo)
{
    while (TableDepth > downTo) {
        TableEvent(rvf_tbl_TableForcedEnd);
        --TableDepth;
    }
}

const TRVRTFFont* TRVRTFReader::TParser::FontOf(const TRVRTFCharProperties& chp) const noexcept
{
    int i = chp.FontIndex;
    if (i < 0)
        i = FontIndexOf(DefFont);
    return i >= 0 && i < int(Fonts.size()) ? &Fonts[std::size_t(i)] : nullptr;
}

int TRVRTFReader::TParser::FontIndexOf(int number) const noexcept
{
    try {
        if (FontIndexSize > Fonts.size()) {
            FontIndex.clear();
            FontIndexSize = 0;
        }
        for (; FontIndexSize < Fonts.size(); ++FontIndexSize)
            FontIndex.emplace(Fonts[FontIndexSize].Number, int(FontIndexSize));
        const auto it = FontIndex.find(number);
        return it == FontIndex.end() ? -1 : it->second;
    } catch (...) {
        for (std::size_t i = 0; i < Fonts.size(); ++i)
            if (Fonts[i].Number == number)
                return int(i);
        return -1;
    }
}

namespace {

/// The code page of a Macintosh (77 and the CJK ones after it) or PC (254) font charset, 0 for
/// the others. The Macintosh CJK pages are read as their Windows counterparts.
int MacOrPcCodePage(int charset) noexcept
{
    switch (charset) {
    case 254: return 437;
    case 77: return 10000;
    case 78: return 932;
    case 79: return 949;
    case 80: return 936;
    case 81: return 950;
    default: return 0;
    }
}

/// Unpaired surrogates (invalid UTF-16, as "u" can give them) become U+FFFD.
void ReplaceLoneSurrogates(std::u16string& text) noexcept
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            text[i] = 0xFFFD;
    }
}

} // namespace

int TRVRTFReader::TParser::Flush(int boundary)
{
    if (Text8.empty() && Text16.empty()) {
        if (boundary < 0)
            return rtf_ec_OK;
        if (PendingPos == rtf_ts_ContinuePara) {
            PendingPos = TRVRTFPosition(boundary);
            return rtf_ec_OK;
        }
    }
    SyncTableDepth();
    const TRVRTFPosition pos = PendingPos;
    PendingPos = boundary < 0 ? rtf_ts_ContinuePara : TRVRTFPosition(boundary);
    // The handlers see the buffers themselves, which are emptied after each run but keep their
    // capacity: a run costs no allocation of the reader's.
    try {
        if (!Text16.empty() && R.OnNewUnicodeText) {
            ReplaceLoneSurrogates(Text16);
            R.OnNewUnicodeText(R, Text16, pos);
            Text16.clear();
        } else {
            if (!Text16.empty()) // no Unicode handler: keep the text as 8-bit
                Text8 = xq::UnicodeToAnsi(Text16, CodePage), Text16.clear();
            const TRVRTFFont* font = FontOf(Cur().Chp);
            const int pageOfFont = font ? MacOrPcCodePage(font->Charset) : 0;
            if (pageOfFont != 0 && R.OnNewUnicodeText) {
                // Text in a Macintosh or PC font is read in its own code page when Unicode text
                // is wanted: the conversion tables to Windows 1252 lose what 1252 lacks.
                const std::u16string wide = xq::AnsiToUnicode(Text8, pageOfFont);
                Text8.clear();
                R.OnNewUnicodeText(R, wide, pos);
                return rtf_ec_OK;
            }
            if (font)
                if (const unsigned char* table = RtfCharsetConversionTable(font->Charset))
                    for (char& c : Text8)
                        if (static_cast<unsigned char>(c) >= 0x80)
                            c = static_cast<char>(table[static_cast<unsigned char>(c) - 0x80]);
            if (R.OnNewText)
                R.OnNewText(R, Text8, pos);
            else if (R.OnNewUnicodeText)
                R.OnNewUnicodeText(R, R.AnsiToUnicode(Text8), pos);
            Text8.clear();
        }
    } catch (...) {
        Text8.clear();
        Text16.clear();
        throw TTextHandlerFailure{};
    }
    return rtf_ec_OK;
}

int TRVRTFReader::TParser::ParagraphEnd(int boundary)
{
    const bool markers = bool(R.OnUpdateMarker) && boundary == rtf_ts_NewPara;
    if (markers)
        UpdateMarker();
    const int ec = Flush(boundary);
    if (markers)
        UpdateMarker();
    return ec;
}

TRowData& TRVRTFReader::TParser::Row()
{
    std::shared_ptr<TRowData>& row = Cur().Row;
    if (row.use_count() > 1)
        row = std::make_shared<TRowData>(*row);
    return *row;
}

int TRVRTFReader::TParser::HandleChar(unsigned char ch)
{
    if (Internal == TInternal::Binary && --BinLeft <= 0)
        Internal = TInternal::Normal;
    TState& s = Cur();
    switch (s.Dest) {
    case TDest::Normal:
        return NormalChar(ch);
    case TDest::FontTbl:
        if (ch == ';') {
            FontNameDone = true;
        } else if (!FontNameDone) {
            if (Fonts.empty())
                Fonts.emplace_back();
            if (Fonts.back().Name.size() < 1024)
                Fonts.back().Name += char(ch);
        }
        return rtf_ec_OK;
    case TDest::ColorTbl:
        if (ch == ';') {
            Colors.push_back(clWindowText);
            ColorTouched = false;
        }
        return rtf_ec_OK;
    case TDest::StyleSheet:
        if (ch != ';') {
            if (TRVRTFStyleSheetEntry* e = StyleEntry(true); e && e->Name.size() < 1024)
                e->Name += char(ch);
        }
        return rtf_ec_OK;
    case TDest::Pict:
        if (Picture)
            PictureByte(Picture->Data, ch, false);
        return rtf_ec_OK;
    case TDest::ObjData:
        if (Object)
            return PictureByte(Object->Data, ch, true);
        return rtf_ec_OK;
    case TDest::BkmkStart:
        if (s.Bookmark)
            *s.Bookmark += char(ch);
        return rtf_ec_OK;
    case TDest::FldInst:
        if (s.Field)
            s.Field->Instruction += char(ch);
        return rtf_ec_OK;
    case TDest::PnTxtA:
    case TDest::PnTxtB:
        if (s.Marker) {
            std::string& t = s.Dest == TDest::PnTxtA ? s.Marker->TextAfter : s.Marker->TextBefore;
            if (t.size() < MaxMarkerText)
                t += char(ch);
        }
        return rtf_ec_OK;
    case TDest::ListName:
        if (!Lists.empty() && ch != ';')
            Lists.back().Name += char(ch);
        return rtf_ec_OK;
    case TDest::LevelText:
        if (TRVRTFListLevel97* level = CurrentLevel()) {
            level->Text += char(ch);
            if (level->TextW) {
                const char c = char(ch);
                *level->TextW += R.AnsiToUnicode(std::string_view(&c, 1));
            }
        }
        return rtf_ec_OK;
    case TDest::LevelNumbers:
        if (TRVRTFListLevel97* level = CurrentLevel())
            level->Numbers += char(ch);
        return rtf_ec_OK;
    default:
        return rtf_ec_OK;
    }
}

int TRVRTFReader::TParser::NormalChar(unsigned char ch)
{
    switch (ch) {
    case 10:
        return ParagraphEnd(rtf_ts_NewPara);
    case 13:
        return ParagraphEnd(rtf_ts_NewLine);
    case 0:
        return Flush(-1);
    default:
        break;
    }
    if (!Text16.empty())
        Flush(-1);
    if (ch == 9 && R.TabAsSeparateChar) {
        Flush(-1);
        Text8 += '\t';
        return Flush(-1);
    }
    Text8 += char(ch);
    return rtf_ec_OK;
}

int TRVRTFReader::TParser::PictureByte(std::string& data, unsigned char ch, bool object)
{
    if (Internal == TInternal::Binary || BinaryByte) {
        data += char(ch);
        return rtf_ec_OK;
    }
    if (!IsHexDigit(ch)) {
        if (object && ch != ' ' && ch != '\t')
            return rtf_ec_InvalidPicture;
        return rtf_ec_OK;
    }
    if (ObjHexDigit < 0) {
        ObjHexDigit = HexDigitValue(char(ch));
    } else {
        data += char(ObjHexDigit * 16 + HexDigitValue(char(ch)));
        ObjHexDigit = -1;
    }
    return rtf_ec_OK;
}

TRVRTFStyleSheetEntry* TRVRTFReader::TParser::StyleEntry(bool create)
{
    TState& s = Cur();
    if (s.StyleGeneration != StyleSheetGeneration || s.StyleEntry >= int(Styles.size()))
        s.StyleEntry = -1; // a style sheet read since has replaced the one of this entry
    if (s.StyleEntry < 0) {
        if (!create)
            return nullptr;
        Styles.emplace_back();
        s.StyleEntry = int(Styles.size()) - 1;
        s.StyleGeneration = StyleSheetGeneration;
        s.StyleEntryOwner = true;
    }
    return &Styles[std::size_t(s.StyleEntry)];
}

int TRVRTFReader::TParser::TranslateKeyword(std::string_view keyword, int param, bool hasParam)
{
    if (R.OnTranslateKeyword) {
        std::string text;
        bool doDefault = true;
        R.OnTranslateKeyword(R, std::string(keyword), param, hasParam, text, doDefault);
        for (const char c : text) {
            const int ec = HandleChar(static_cast<unsigned char>(c));
            if (ec != rtf_ec_OK)
                return ec;
        }
        if (!doDefault) {
            SkipDestIfUnknown = false;
            return rtf_ec_OK;
        }
    }
    const bool skipIfUnknown = SkipDestIfUnknown;
    SkipDestIfUnknown = false;
    // The two alternatives of "upr": the Unicode group ("ud") is read where the "upr" group
    // stands, the ANSI one is skipped.
    if (keyword == "upr" && Cur().Dest != TDest::Skip) {
        Cur().UprGroup = true;
        return rtf_ec_OK;
    }
    if (keyword == "ud" && Cur().UprAlternative && Stack.size() >= 2) {
        Cur().Dest = Stack[Stack.size() - 2].Dest;
        Cur().DestOwner = false;
        Cur().UprAlternative = false;
        return rtf_ec_OK;
    }
    // "pnseclvl" after "*" is a destination of Word's section numbering, which is not read.
    if (skipIfUnknown && keyword == "pnseclvl") {
        SetDest(TDest::Skip);
        return rtf_ec_OK;
    }
    const TRVRTFsymbol* sym = FindRtfKeyword(keyword);
    if (!sym) {
        if (skipIfUnknown)
            Cur().Dest = TDest::Skip, Cur().DestOwner = true;
        return rtf_ec_OK;
    }
    if (Cur().Dest == TDest::Skip && !(sym->Kind == TRVRTFKeywordKind::Special &&
                                       sym->Action == int(TRVRTFSpecialAction::Bin)))
        return rtf_ec_OK;
    switch (sym->Kind) {
    case TRVRTFKeywordKind::Char:
        if (SkipLeft > 0) {
            --SkipLeft;
            return rtf_ec_OK;
        }
        return HandleChar(static_cast<unsigned char>(sym->Action));
    case TRVRTFKeywordKind::UnicodeChar:
        if (SkipLeft > 0) {
            --SkipLeft;
            return rtf_ec_OK;
        }
        if (Cur().Dest == TDest::Normal && R.OnNewUnicodeText) {
            AppendUnicode(char16_t(sym->DefaultValue));
            return rtf_ec_OK;
        }
        return HandleChar(static_cast<unsigned char>(sym->Action));
    case TRVRTFKeywordKind::Destination:
        return ChangeDest(D(sym->Action));
    case TRVRTFKeywordKind::Property: {
        const int val = sym->UseDefault || !hasParam ? sym->DefaultValue : param;
        if (Cur().Dest == TDest::Normal && sym->Group == TRVRTFPropertyGroup::Char)
            Flush(-1);
        return ApplyProperty(P(sym->Action), val, hasParam);
    }
    case TRVRTFKeywordKind::Special:
        switch (TRVRTFSpecialAction(sym->Action)) {
        case TRVRTFSpecialAction::Bin:
            if (hasParam && param > 0) {
                Internal = TInternal::Binary;
                BinLeft = param;
            }
            return rtf_ec_OK;
        case TRVRTFSpecialAction::Skip:
            SkipDestIfUnknown = true;
            return rtf_ec_OK;
        case TRVRTFSpecialAction::Hex:
            Internal = TInternal::Hex;
            HexDigits = 0;
            HexValueSoFar = 0;
            return rtf_ec_OK;
        }
        return rtf_ec_BadTable;
    }
    return rtf_ec_BadTable;
}

unsigned char TRVRTFReader::TParser::NextByte()
{
    if (Progress && Pos >= NextBlock) {
        NextBlock = std::min(In.size(), NextBlock + BlockSize);
        R.OnProgress(R, rvprsRunning, int(std::uint64_t(NextBlock) * 100 / In.size()));
    }
    return static_cast<unsigned char>(In[Pos++]);
}

int TRVRTFReader::TParser::ParseKeyword()
{
    if (AtEnd())
        return rtf_ec_EndOfFile;
    unsigned char ch = NextByte();
    if (!IsAsciiLetter(ch)) {
        const char symbol = char(ch);
        return TranslateKeyword(std::string_view(&symbol, 1), 0, false);
    }
    constexpr std::size_t maxKeyword = 64;
    char keyword[maxKeyword];
    std::size_t length = 0;
    bool tooLong = false;
    keyword[length++] = char(ch);
    while (!AtEnd() && IsAsciiLetter(static_cast<unsigned char>(In[Pos]))) {
        ch = NextByte();
        if (length < maxKeyword)
            keyword[length++] = char(ch);
        else
            tooLong = true;
    }
    bool negative = false;
    bool hasParam = false;
    std::int64_t value = 0;
    bool overflow = false;
    if (!AtEnd() && In[Pos] == '-') {
        NextByte();
        negative = true;
    }
    while (!AtEnd() && In[Pos] >= '0' && In[Pos] <= '9') {
        ch = NextByte();
        hasParam = true;
        if (!overflow) {
            value = value * 10 + (ch - '0');
            if (value > std::int64_t(INT32_MAX) + 1)
                overflow = true;
        }
    }
    if (negative)
        value = -value;
    if (overflow || value > INT32_MAX || value < INT32_MIN)
        value = 0;
    if (!AtEnd() && In[Pos] == ' ')
        NextByte();
    if (tooLong)
        return rtf_ec_OK; // no keyword is that long
    return TranslateKeyword(std::string_view(keyword, length), int(value), hasParam);
}

int TRVRTFReader::TParser::Parse()
{
    while (!AtEnd()) {
        const unsigned char ch = NextByte();
        if (Finished) {
            // After the document's outermost group, the first byte that is not blank decides:
            // "}" is a closing brace too many (code 1), "{" starts a further group of a fragment
            // made of several (read as the first one was), anything else is trailing garbage
            // and ends the reading.
            if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == 0)
                continue;
            if (ch == '}')
                return rtf_ec_StackUnderflow;
            if (ch != '{')
                break;
            Finished = false;
        }
        int ec = rtf_ec_OK;
        if (Internal == TInternal::Binary) {
            BinaryByte = true;
            ec = HandleChar(ch);
            BinaryByte = false;
            if (ec != rtf_ec_OK)
                return ec;
            continue;
        }
        switch (ch) {
        case 10:
        case 13:
            continue;
        case '\\':
            ec = ParseKeyword();
            break;
        case '{':
            ec = PushState();
            SkipLeft = 0;
            break;
        case '}':
            SkipLeft = 0;
            ec = PopState();
            break;
        default:
            if (Internal == TInternal::Hex) {
                if (!IsHexDigit(ch))
                    return rtf_ec_InvalidHex;
                HexValueSoFar = HexValueSoFar * 16 + HexDigitValue(char(ch));
                if (++HexDigits == 2) {
                    Internal = TInternal::Normal;
                    if (SkipLeft > 0)
                        --SkipLeft;
                    else
                        ec = HandleChar(static_cast<unsigned char>(HexValueSoFar));
                }
            } else if (SkipLeft > 0) {
                --SkipLeft;
            } else if (Cur().Dest == TDest::Normal && IsPlainTextByte(ch)) {
                // The common case: a run of plain text goes to the buffer at once (up to
                // the next block, so that progress is still reported per block).
                if (!Text16.empty())
                    Flush(-1);
                const std::size_t start = Pos - 1;
                std::size_t end = Pos;
                const std::size_t limit = Progress ? std::min(In.size(), NextBlock) : In.size();
                while (end < limit && IsPlainTextByte(static_cast<unsigned char>(In[end])))
                    ++end;
                Text8.append(In.substr(start, end - start));
                Pos = end;
            } else {
                ec = HandleChar(ch);
            }
            break;
        }
        if (ec != rtf_ec_OK)
            return ec;
    }
    // A truncated input keeps what it holds: the pending text is reported before the tables
    // still open are closed.
    const int flushed = Flush(-1);
    UpdateMarker();
    CloseTables(0);
    if (Depth > 0)
        return rtf_ec_UnmatchedBrace;
    return flushed;
}

TRVRTFReader::TRVRTFReader() : P_(std::make_unique<TParser>(*this))
{
    P_->Reset();
}

TRVRTFReader::~TRVRTFReader() = default;

int TRVRTFReader::ReadRtfStream(std::string_view stream)
{
    TParser& p = *P_;
    p.Reset();
    p.In = stream;
    p.Pos = 0;
    p.NextBlock = 0;
    p.Progress = OnProgress && stream.size() > ProgressThreshold;
    int ec = rtf_ec_OK;
    try {
        if (p.Progress)
            OnProgress(*this, rvprsStarting, 0);
        ec = p.Parse();
    } catch (const TTextHandlerFailure&) {
        ec = rtf_ec_TextHandlerException;
    } catch (const std::bad_alloc&) {
        ec = rtf_ec_Exception;
    } catch (...) {
        ec = rtf_ec_Exception;
    }
    if (p.Progress)
        try {
            OnProgress(*this, rvprsEnding, 0);
        } catch (...) {
            if (ec == rtf_ec_OK)
                ec = rtf_ec_Exception;
        }
    // The state stays readable, but no longer refers to the caller's bytes.
    p.In = {};
    p.Pos = 0;
    if (p.Stack.size() > 1)
        p.Stack.erase(p.Stack.begin() + 1, p.Stack.end());
    return ec;
}

int TRVRTFReader::ReadRtfFile(const std::filesystem::path& fileName)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes, MaxFileBytes))
        return rtf_ec_FileOpenError;
    return ReadRtfStream(bytes);
}

const TRVRTFCharProperties& TRVRTFReader::CharProps() const noexcept { return P_->Cur().Chp; }
const TRVRTFParaProperties& TRVRTFReader::ParaProps() const noexcept { return P_->Cur().Pap; }
const TRVRTFRowProperties& TRVRTFReader::RowProps() const noexcept
{
    const std::shared_ptr<TRowData>& row = P_->Cur().Row;
    return row ? row->Props : P_->EmptyRow;
}
const TRVRTFSectionProperties& TRVRTFReader::SectProps() const noexcept { return P_->SectProps; }
const TRVRTFDocProperties& TRVRTFReader::DocProps() const noexcept { return P_->DocProps; }
const TRVRTFFontList& TRVRTFReader::FontTable() const noexcept { return P_->Fonts; }
const TRVRTFReaderColorList& TRVRTFReader::ColorTable() const noexcept { return P_->Colors; }
const TRVRTFStyleSheet& TRVRTFReader::StyleSheet() const noexcept { return P_->Styles; }
const TRVRTFListTable97& TRVRTFReader::ListTable() const noexcept { return P_->Lists; }
const TRVRTFListOverrideTable97& TRVRTFReader::ListOverrideTable() const noexcept { return P_->Overrides; }
const std::string& TRVRTFReader::FieldInstruction() const noexcept
{
    const std::shared_ptr<TFieldData>& f = P_->Cur().Field;
    return f ? f->Instruction : P_->EmptyString;
}
TRVRTFHeaderFooterType TRVRTFReader::HeaderFooterType() const noexcept { return P_->Cur().HF; }
bool TRVRTFReader::InNote() const noexcept { return P_->Cur().InNote; }
int TRVRTFReader::CodePage() const noexcept { return P_->CodePage; }
int TRVRTFReader::TableDepth() const noexcept { return P_->TableDepth; }
int TRVRTFReader::DefaultFontNumber() const noexcept { return P_->DefFont; }
int TRVRTFReader::DefaultLanguage() const noexcept { return P_->DefLang; }

const TRVRTFFont* TRVRTFReader::CurrentFont() const noexcept
{
    return P_->FontOf(P_->Cur().Chp);
}

int TRVRTFReader::FontIndexOf(int number) const noexcept
{
    return P_->FontIndexOf(number);
}

int TRVRTFReader::ListIndexOf(int listId) const noexcept
{
    for (std::size_t i = 0; i < P_->Lists.size(); ++i)
        if (P_->Lists[i].Id == listId)
            return int(i);
    return -1;
}

std::u16string TRVRTFReader::AnsiToUnicode(std::string_view text, int codePage) const
{
    return xq::AnsiToUnicode(text, codePage ? codePage : P_->CodePage);
}

std::string TRVRTFReader::UnicodeToAnsi(std::u16string_view text, int codePage) const
{
    return xq::UnicodeToAnsi(text, codePage ? codePage : P_->CodePage);
}

} // namespace xq

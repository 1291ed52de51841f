// TRVRTFReader: the table-driven RTF parser. One pass over the bytes; "{" pushes a copy of the
// reader state, "}" restores the saved one; control words go through the keyword table.
//
// Everything is bounded by the input: the state stack by MaxGroupDepth, table levels by
// MaxTableNesting, binary and hexadecimal data grow with the bytes that really come, parameters
// that do not fit 32 bits read as 0. Nothing recurses.
#include "formats/rtf/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <new>
#include <unordered_map>
#include <vector>

#include "document/Graphic.h"
#include "formats/rtf/RtfKeywords.h"
#include "formats/rtf/RtfReaderHelpers.h"
#include "pictures/PictureKinds.h"
#include "platform/CodePage.h"
#include "platform/FileIO.h"

namespace xq {

namespace {

using P = TRVRTFPropertyAction;
using D = TRVRTFDestinationAction;

/// Where the characters of a group go.
enum class TDest : std::uint8_t {
    Normal,
    Skip,
    FontTbl,
    ColorTbl,
    StyleSheet,
    Pict,
    Object,
    ObjData,
    BkmkStart,
    Field,
    FldInst,
    Pn,
    PnTxtA,
    PnTxtB,
    ListTable,
    List,
    ListName,
    ListLevel,
    LevelText,
    LevelNumbers,
    ListOverrideTable,
    ListOverride,
    LfoLevel,
};

enum class TInternal : std::uint8_t { Normal, Binary, Hex };

/// Which border the border keywords set.
enum class TBorderTarget : std::uint8_t { None, Para, Row, Cell };

/// The texts of legacy list markers are capped so that copying the paragraph properties with
/// each group stays cheap.
constexpr std::size_t MaxMarkerText = 1024;

/// A field: shared by the field group and its instruction and result groups.
struct TFieldData {
    std::string Instruction;
    bool Handled = false;
    /// The instruction named a picture file that could not be loaded: a picture in the result
    /// is kept for the field and reported when the field ends, with the file name.
    bool CollectResultPicture = false;
    std::string FileName;
    std::unique_ptr<TGraphic> Picture;
    std::unique_ptr<TRVRTFPicture> PictureRecord;
};

/// The row being defined, with what the public record does not keep.
struct TRowData {
    TRVRTFRowProperties Props;
    TRVRTFCellProperties Cell; ///< the cell being defined (before its "cellx")
    int CellWidth = 0, CellWidthUnit = 0;
    int RowWidth = 0, RowWidthUnit = 0;
};

struct TPendingTab {
    TRVRTFTabAlign Align = rtf_tab_Left;
    TRVRTFTabLeader Leader = rtf_tl_None;
    bool ListTab = false;
};

struct TState {
    TDest Dest = TDest::Normal;
    /// The destination was set in this group (its end is the end of the destination).
    bool DestOwner = false;
    TRVRTFCharProperties Chp;
    TRVRTFParaProperties Pap;
    std::shared_ptr<TRowData> Row; ///< copied on write
    TRVRTFHeaderFooterType HF = rtf_hf_MainText;
    bool InNote = false;
    bool NoteOwner = false;
    int SavedTableDepth = 0; ///< the table depth outside the note this group starts
    bool InShpPict = false;
    std::shared_ptr<TFieldData> Field;
    std::shared_ptr<std::string> Bookmark;
    std::shared_ptr<TRVRTFMarkerProperties> Marker;
    int StyleEntry = -1;     ///< the style sheet entry this group defines
    int StyleGeneration = 0; ///< of the style sheet that entry belongs to
    bool StyleEntryOwner = false;
    TBorderTarget BorderTarget = TBorderTarget::None;
    int BorderSide = 0;
    TPendingTab Tab;
};

/// Bytes that text in the normal destination simply appends (no group, keyword, line end or tab).
[[nodiscard]] constexpr bool IsPlainTextByte(unsigned char c) noexcept
{
    return c != '\\' && c != '{' && c != '}' && c != 10 && c != 13 && c != 0 && c != 9;
}

[[nodiscard]] constexpr bool IsAsciiLetter(unsigned char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

[[nodiscard]] bool IsHexDigit(unsigned char c) noexcept
{
    return std::isxdigit(c) != 0;
}

[[nodiscard]] int HexValue(unsigned char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

[[nodiscard]] TColor FixedHighlight(int v) noexcept
{
    static constexpr TColor colors[] = {clBlack, clBlue,   clAqua,   clLime,  clFuchsia, clRed,
                                        clYellow, clWhite, clNavy,   clTeal,  clGreen,   clPurple,
                                        clMaroon, clOlive, clGray,   clSilver};
    return v >= 1 && v <= 16 ? colors[v - 1] : clNone;
}

/// Half points to points, rounded to even (fs21 is 10 points).
[[nodiscard]] int HalfPointsToPoints(int v) noexcept
{
    return int(std::nearbyint(double(v) / 2.0));
}

[[nodiscard]] bool EndsWithNoCase(std::string_view s, std::string_view suffix)
{
    if (s.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    return true;
}

[[nodiscard]] int WidthByUnit(int value, int unit) noexcept
{
    if (unit == 2)
        return value == INT32_MIN ? INT32_MAX : -value;
    if (unit == 3)
        return value;
    return 0;
}

/// Thrown by the text handlers' wrapper: the owner's text handler failed.
struct TTextHandlerFailure {};

} // namespace

struct TRVRTFReader::TParser {
    explicit TParser(TRVRTFReader& owner) : R(owner) {}

    TRVRTFReader& R;

    // Input.
    std::string_view In;
    std::size_t Pos = 0;
    std::size_t NextBlock = 0;
    bool Progress = false;

    // States.
    std::vector<TState> Stack; ///< Stack.back() is the current state; Stack[0] is outside all groups
    int Depth = 0;
    bool Finished = false;
    TInternal Internal = TInternal::Normal;
    std::int64_t BinLeft = 0;
    int HexDigits = 0;
    int HexValueSoFar = 0;
    bool SkipDestIfUnknown = false;

    // Counters.
    int UcSkip = 1;
    std::int64_t SkipLeft = 0;
    int TableDepth = 0;
    int CodePage = SystemAnsiCodePage;
    std::string Text8;
    std::u16string Text16;
    TRVRTFPosition PendingPos = rtf_ts_ContinuePara;

    // Document tables and properties.
    TRVRTFSectionProperties SectProps;
    TRVRTFDocProperties DocProps;
    TRVRTFFontList Fonts;
    bool FontNameDone = false;
    TRVRTFReaderColorList Colors;
    bool ColorTouched = false;
    TRVRTFStyleSheet Styles;
    int StyleSheetGeneration = 0; ///< counts the style sheets read (an entry's index is only valid in its own)
    TRVRTFListTable97 Lists;
    TRVRTFListOverrideTable97 Overrides;
    int DefFont = 0;
    int DefLang = 0;

    // Pictures and objects.
    std::unique_ptr<TRVRTFPicture> Picture;
    bool LastShpPictInserted = false;
    std::unique_ptr<TRVRTFObject> Object;
    bool ObjectInserted = false;
    int ObjHexDigit = -1;

    const std::string EmptyString;
    const TRVRTFRowProperties EmptyRow;

    [[nodiscard]] TState& Cur() noexcept { return Stack.back(); }
    [[nodiscard]] const TState& Cur() const noexcept { return Stack.back(); }

    void Reset()
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

    // ---- Events -------------------------------------------------------------------------

    void UpdateMarker()
    {
        if (R.OnUpdateMarker)
            R.OnUpdateMarker(R);
    }

    /// Sends a table event; returns Processed.
    bool TableEvent(TRVRTFTableEventKind kind)
    {
        UpdateMarker();
        bool processed = true;
        if (R.OnTable)
            R.OnTable(R, kind, processed);
        return processed;
    }

    [[nodiscard]] int ParaTableLevel() const noexcept
    {
        const TRVRTFParaProperties& pap = Cur().Pap;
        return pap.InTable ? std::clamp(pap.NestingLevel, 0, MaxTableNesting) : 0;
    }

    void SyncTableDepth()
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

    void CloseTables(int downTo)
    {
        while (TableDepth > downTo) {
            TableEvent(rvf_tbl_TableForcedEnd);
            --TableDepth;
        }
    }

    [[nodiscard]] const TRVRTFFont* FontOf(const TRVRTFCharProperties& chp) const noexcept
    {
        int i = chp.FontIndex;
        if (i < 0)
            i = FontIndexOf(DefFont);
        return i >= 0 && i < int(Fonts.size()) ? &Fonts[std::size_t(i)] : nullptr;
    }

    /// The first font with the number. Fonts only get their number when they are added, so the
    /// index follows the table as it grows (and starts anew when it is cleared).
    [[nodiscard]] int FontIndexOf(int number) const noexcept
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
    mutable std::unordered_map<int, int> FontIndex;
    mutable std::size_t FontIndexSize = 0;

    /// Reports the pending text (step 8). boundary: -1 none, else the Position of what follows.
    int Flush(int boundary)
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
        try {
            if (!Text16.empty() && R.OnNewUnicodeText) {
                std::u16string text;
                text.swap(Text16);
                R.OnNewUnicodeText(R, text, pos);
            } else {
                std::string text;
                text.swap(Text8);
                if (!Text16.empty()) // no Unicode handler: keep the text as 8-bit
                    text = xq::UnicodeToAnsi(Text16, CodePage), Text16.clear();
                if (const TRVRTFFont* font = FontOf(Cur().Chp))
                    if (const unsigned char* table = RtfCharsetConversionTable(font->Charset))
                        for (char& c : text)
                            if (static_cast<unsigned char>(c) >= 0x80)
                                c = static_cast<char>(table[static_cast<unsigned char>(c) - 0x80]);
                if (R.OnNewText)
                    R.OnNewText(R, text, pos);
                else if (R.OnNewUnicodeText)
                    R.OnNewUnicodeText(R, R.AnsiToUnicode(text), pos);
            }
        } catch (...) {
            throw TTextHandlerFailure{};
        }
        return rtf_ec_OK;
    }

    int ParagraphEnd(int boundary)
    {
        const bool markers = bool(R.OnUpdateMarker) && boundary == rtf_ts_NewPara;
        if (markers)
            UpdateMarker();
        const int ec = Flush(boundary);
        if (markers)
            UpdateMarker();
        return ec;
    }

    // ---- Copy on write of the row --------------------------------------------------------

    TRowData& Row()
    {
        std::shared_ptr<TRowData>& row = Cur().Row;
        if (row.use_count() > 1)
            row = std::make_shared<TRowData>(*row);
        return *row;
    }

    // ---- Characters (step 6) -------------------------------------------------------------

    int HandleChar(unsigned char ch)
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

    int NormalChar(unsigned char ch)
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

    void AppendUnicode(char16_t c)
    {
        if (!Text8.empty())
            Flush(-1);
        Text16 += c;
    }

    /// Picture and object data: raw in binary state, else hexadecimal digits in pairs.
    int PictureByte(std::string& data, unsigned char ch, bool object)
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
            ObjHexDigit = HexValue(ch);
        } else {
            data += char(ObjHexDigit * 16 + HexValue(ch));
            ObjHexDigit = -1;
        }
        return rtf_ec_OK;
    }
    /// The byte being handled came in binary state (the state may have ended with it).
    bool BinaryByte = false;

    [[nodiscard]] TRVRTFListLevel97* CurrentLevel() noexcept
    {
        if (Lists.empty() || Lists.back().Levels.empty())
            return nullptr;
        return &Lists.back().Levels.back();
    }

    [[nodiscard]] TRVRTFStyleSheetEntry* StyleEntry(bool create)
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

    // ---- Groups --------------------------------------------------------------------------

    int PushState()
    {
        if (Depth >= MaxGroupDepth)
            return rtf_ec_StackOverflow;
        try {
            Stack.push_back(Stack.back());
        } catch (const std::bad_alloc&) {
            return rtf_ec_StackOverflow;
        }
        TState& s = Stack.back();
        const TState& parent = Stack[Stack.size() - 2];
        s.DestOwner = false;
        s.NoteOwner = false;
        s.StyleEntryOwner = false;
        if (parent.Dest == TDest::StyleSheet && parent.StyleEntry < 0) {
            // An entry of the style sheet starts from plain text and a default paragraph.
            s.Chp = {};
            s.Pap = {};
        }
        ++Depth;
        return rtf_ec_OK;
    }

    int PopState()
    {
        if (Depth <= 0)
            return rtf_ec_StackUnderflow;
        if (Depth == 1) {
            UpdateMarker();
            if (R.OnEndParsing)
                R.OnEndParsing(R);
        }
        int ec = EndDestination();
        if (ec != rtf_ec_OK)
            return ec;
        TState leaving = std::move(Stack.back());
        Stack.pop_back();
        --Depth;
        TState& parent = Stack.back();
        if (leaving.HF != parent.HF && R.OnHeaderFooter) {
            Flush(-1);
            SyncTableDepth();
            bool supported = false;
            R.OnHeaderFooter(R, leaving.HF, false, supported);
        }
        if (leaving.NoteOwner) {
            CloseTables(0);
            TableDepth = leaving.SavedTableDepth;
            if (R.OnNote)
                R.OnNote(R, rtf_ne_End, PendingPos);
            PendingPos = rtf_ts_ContinuePara;
        }
        if (leaving.DestOwner && leaving.Dest == TDest::Pn && leaving.Marker &&
            (parent.Dest == TDest::Normal || parent.Dest == TDest::StyleSheet))
            parent.Pap.MarkerProps = *leaving.Marker;
        if (leaving.StyleEntryOwner && leaving.StyleGeneration == StyleSheetGeneration && leaving.StyleEntry >= 0 &&
            leaving.StyleEntry < int(Styles.size())) {
            TRVRTFStyleSheetEntry& e = Styles[std::size_t(leaving.StyleEntry)];
            e.CharProps = leaving.Chp;
            e.ParaProps = leaving.Pap;
        }
        if (leaving.DestOwner && leaving.Dest == TDest::ListLevel)
            if (TRVRTFListLevel97* level = CurrentLevel()) {
                level->CharProps = leaving.Chp;
                level->ParaProps = leaving.Pap;
            }
        if (Depth == 0)
            Finished = true;
        return rtf_ec_OK;
    }

    /// Step 11: what ends with the destination of the group being closed.
    int EndDestination()
    {
        TState& s = Cur();
        switch (s.Dest) {
        case TDest::Normal:
            return Flush(-1);
        case TDest::FontTbl:
            if (s.DestOwner)
                CleanFontNames();
            return rtf_ec_OK;
        case TDest::ColorTbl:
            if (s.DestOwner && Colors.size() > 1 && !ColorTouched && Colors.back() == clWindowText)
                Colors.pop_back(); // the entry the closing ";" opened
            return rtf_ec_OK;
        case TDest::Pict:
            if (s.DestOwner)
                return EndPicture();
            return rtf_ec_OK;
        case TDest::Object:
            if (s.DestOwner)
                Object.reset();
            return rtf_ec_OK;
        case TDest::ObjData:
            if (s.DestOwner && Object) {
                Flush(-1);
                bool inserted = false;
                if (R.OnNewObject)
                    R.OnNewObject(R, *Object, PendingPos, inserted);
                ObjectInserted = inserted;
                if (inserted)
                    PendingPos = rtf_ts_ContinuePara;
            }
            return rtf_ec_OK;
        case TDest::BkmkStart:
            if (s.DestOwner && s.Bookmark && R.OnBookmarkStart)
                R.OnBookmarkStart(R, *s.Bookmark);
            return rtf_ec_OK;
        case TDest::Field:
            if (s.DestOwner && s.Field && s.Field->Picture && R.OnNewPicture) {
                TFieldData& f = *s.Field;
                Flush(-1);
                TRVRTFPicture record = f.PictureRecord ? *f.PictureRecord : TRVRTFPicture{};
                bool inserted = false;
                R.OnNewPicture(R, record, f.Picture, PendingPos, f.FileName, inserted);
                f.Picture.reset();
                PendingPos = rtf_ts_ContinuePara;
            }
            return rtf_ec_OK;
        case TDest::FldInst:
            if (s.DestOwner && s.Field)
                return EndFieldInstruction(*s.Field);
            return rtf_ec_OK;
        case TDest::LevelText:
            if (s.DestOwner)
                if (TRVRTFListLevel97* level = CurrentLevel()) {
                    CutLevelText(level->Text);
                    if (level->TextW)
                        CutLevelText(*level->TextW);
                }
            return rtf_ec_OK;
        case TDest::LevelNumbers:
            if (s.DestOwner)
                if (TRVRTFListLevel97* level = CurrentLevel()) {
                    // Positions of the placeholders in the level text, closed by ";".
                    const std::size_t end = level->Numbers.find(';');
                    if (end != std::string::npos)
                        level->Numbers.resize(end);
                    CutLevelText(level->Numbers);
                }
            return rtf_ec_OK;
        case TDest::ListOverride:
            if (s.DestOwner && !Overrides.empty())
                Overrides.back().ListIndex = R.ListIndexOf(Overrides.back().ListId);
            return rtf_ec_OK;
        default:
            return rtf_ec_OK;
        }
    }

    template <typename S>
    static void CutLevelText(S& text)
    {
        if (text.empty())
            return;
        const std::size_t n = std::size_t(static_cast<std::make_unsigned_t<typename S::value_type>>(text[0]));
        if (text.size() > n + 1)
            text.resize(n + 1);
    }

    void CleanFontNames()
    {
        static constexpr struct {
            int Charset;
            std::string_view Suffix;
        } suffixes[] = {{161, " greek"}, {162, " tur"}, {186, " baltic"}, {204, " cyr"}, {238, " ce"}};
        for (TRVRTFFont& f : Fonts)
            for (const auto& sfx : suffixes)
                if (f.Charset == sfx.Charset && EndsWithNoCase(f.Name, sfx.Suffix))
                    f.Name.resize(f.Name.size() - sfx.Suffix.size());
    }

    int EndPicture()
    {
        Flush(-1);
        std::unique_ptr<TRVRTFPicture> pic = std::move(Picture);
        ObjHexDigit = -1;
        if (!pic)
            return R.OnNewPicture ? rtf_ec_InvalidPicture : rtf_ec_OK;
        TState& s = Cur();
        if (s.Field && s.Field->Handled)
            return rtf_ec_OK; // the field has produced its picture already
        const int ppi = R.PixelsPerInch > 0 ? R.PixelsPerInch : 96;
        const bool metafile = pic->Type == rtf_pict_WMF || pic->Type == rtf_pict_EMF;
        if (pic->PicWGoal > 0)
            pic->GoalWidthPx = int(std::llround(double(pic->PicWGoal) * ppi / 1440.0));
        else if (metafile && pic->PicW > 0)
            pic->GoalWidthPx = int(std::llround(double(pic->PicW) * ppi / 2540.0));
        if (pic->PicHGoal > 0)
            pic->GoalHeightPx = int(std::llround(double(pic->PicHGoal) * ppi / 1440.0));
        else if (metafile && pic->PicH > 0)
            pic->GoalHeightPx = int(std::llround(double(pic->PicH) * ppi / 2540.0));
        std::unique_ptr<TGraphic> graphic = GraphicFromRtfPicture(*pic, R.ExtractMetafileBitmaps);
        if (s.Field && s.Field->CollectResultPicture) {
            if (graphic) {
                s.Field->Picture = std::move(graphic);
                s.Field->PictureRecord = std::move(pic);
            }
            return rtf_ec_OK;
        }
        if (!R.OnNewPicture)
            return rtf_ec_OK;
        bool inserted = false;
        R.OnNewPicture(R, *pic, graphic, PendingPos, EmptyString, inserted);
        if (pic->ShpPict && inserted)
            LastShpPictInserted = true;
        if (inserted)
            PendingPos = rtf_ts_ContinuePara;
        return rtf_ec_OK;
    }

    /// A picture file named by INCLUDEPICTURE or IMPORT: read and recognised, else through
    /// OnImportPicture.
    std::unique_ptr<TGraphic> LoadPictureFile(const std::string& location, bool& invalid)
    {
        invalid = false;
        std::unique_ptr<TGraphic> graphic;
        std::string bytes;
        constexpr std::size_t maxPictureFile = std::size_t(256) << 20;
        const bool read = !location.empty() && ReadFileBytes(std::filesystem::path(location), bytes, maxPictureFile);
        if (read && !DetectGraphicClass(bytes).empty()) {
            graphic = LoadGraphic(bytes);
            invalid = !graphic;
            return graphic;
        }
        if (R.OnImportPicture)
            R.OnImportPicture(R, location, graphic, invalid);
        else if (read)
            invalid = true;
        return graphic;
    }

    int EndFieldInstruction(TFieldData& field)
    {
        const TRVRTFFieldCommand cmd = ParseRtfFieldInstruction(field.Instruction);
        switch (cmd.Kind) {
        case TRVRTFFieldCommand::IncludePicture: {
            if (!R.OnNewPicture || cmd.FileName.empty())
                return rtf_ec_OK;
            std::string name = cmd.FileName;
            if (name.find(':') == std::string::npos && !R.BasePath.empty()) {
                std::string base = R.BasePath;
                if (base.back() != '/' && base.back() != '\\')
                    base += '/';
                name = base + name;
            }
            bool invalid = false;
            std::unique_ptr<TGraphic> graphic = LoadPictureFile(name, invalid);
            if (!graphic || invalid) {
                // Written on Windows: backslashes separate the folders.
                std::string converted = name;
                std::replace(converted.begin(), converted.end(), '\\', '/');
                if (converted.rfind("file:///", 0) == 0)
                    converted.erase(0, 7);
                if (converted != name) {
                    graphic = LoadPictureFile(converted, invalid);
                    if (graphic && !invalid)
                        name = converted;
                }
            }
            if (graphic && !invalid) {
                Flush(-1);
                TRVRTFPicture record;
                bool inserted = false;
                R.OnNewPicture(R, record, graphic, PendingPos, name, inserted);
                PendingPos = rtf_ts_ContinuePara;
                field.Handled = true;
            } else {
                field.CollectResultPicture = true;
                field.FileName = name;
            }
            return rtf_ec_OK;
        }
        case TRVRTFFieldCommand::Symbol: {
            if (cmd.CharCode <= 0)
                return rtf_ec_OK;
            Flush(-1);
            TRVRTFCharProperties saved = Cur().Chp;
            TRVRTFCharProperties& chp = Cur().Chp;
            chp.FontName = cmd.FontName;
            if (cmd.FontSize > 0)
                chp.Size = cmd.FontSize;
            if (!cmd.Unicode && cmd.CharCode < 256) {
                Text8 += char(cmd.CharCode);
            } else if (R.OnNewUnicodeText && cmd.CharCode <= 0xFFFF) {
                Text16 += char16_t(cmd.CharCode);
            } else if (cmd.CharCode <= 0xFFFF) {
                const char16_t c = char16_t(cmd.CharCode);
                Text8 += xq::UnicodeToAnsi(std::u16string_view(&c, 1), CodePage);
            }
            // A field stands in the text of a paragraph: its result continues the paragraph.
            const int ec = Flush(-1);
            Cur().Chp = std::move(saved);
            field.Handled = true;
            return ec;
        }
        case TRVRTFFieldCommand::Seq:
            if (!R.OnNewSeq || cmd.SeqName.empty())
                return rtf_ec_OK;
            Flush(-1);
            R.OnNewSeq(R, PendingPos, cmd.SeqName, cmd.SeqType, cmd.Reset, cmd.StartFrom);
            PendingPos = rtf_ts_ContinuePara;
            field.Handled = true;
            return rtf_ec_OK;
        case TRVRTFFieldCommand::Other:
            break;
        }
        return rtf_ec_OK;
    }

    // ---- Destinations (step 5) -----------------------------------------------------------

    void SetDest(TDest d)
    {
        Cur().Dest = d;
        Cur().DestOwner = true;
    }

    int ChangeDest(D action)
    {
        TState& s = Cur();
        if (s.Dest == TDest::Skip)
            return rtf_ec_OK;
        const TDest parent = s.Dest;
        switch (action) {
        case D::Skip:
            SetDest(TDest::Skip);
            return rtf_ec_OK;
        case D::FontTbl:
            Fonts.clear();
            FontIndex.clear();
            FontIndexSize = 0;
            FontNameDone = false;
            SetDest(TDest::FontTbl);
            return rtf_ec_OK;
        case D::ColorTbl:
            Colors.clear();
            Colors.push_back(clWindowText);
            ColorTouched = false;
            SetDest(TDest::ColorTbl);
            return rtf_ec_OK;
        case D::StyleSheet:
            Styles.clear();
            ++StyleSheetGeneration;
            SetDest(TDest::StyleSheet);
            s.StyleEntry = -1;
            return rtf_ec_OK;
        case D::Pict:
            if (parent == TDest::Pict)
                return rtf_ec_InvalidPicture;
            Flush(-1);
            if (R.OnNewPicture) {
                Picture = std::make_unique<TRVRTFPicture>();
                Picture->ShpPict = s.InShpPict;
            }
            ObjHexDigit = -1;
            SetDest(TDest::Pict);
            return rtf_ec_OK;
        case D::ShpPict:
            s.InShpPict = true;
            LastShpPictInserted = false;
            SetDest(TDest::Normal);
            return rtf_ec_OK;
        case D::NonShpPict:
            SetDest(LastShpPictInserted ? TDest::Skip : TDest::Normal);
            s.InShpPict = false;
            return rtf_ec_OK;
        case D::Object:
            Flush(-1);
            ObjectInserted = false;
            if (R.OnNewObject) {
                Object = std::make_unique<TRVRTFObject>();
                SetDest(TDest::Object);
            } else {
                SetDest(TDest::Normal);
            }
            return rtf_ec_OK;
        case D::ObjData:
            ObjHexDigit = -1;
            SetDest(parent == TDest::Object && Object ? TDest::ObjData : TDest::Skip);
            return rtf_ec_OK;
        case D::Result:
            SetDest(ObjectInserted ? TDest::Skip : TDest::Normal);
            return rtf_ec_OK;
        case D::BkmkStart:
            Flush(-1);
            s.Bookmark = std::make_shared<std::string>();
            SetDest(TDest::BkmkStart);
            return rtf_ec_OK;
        case D::Field:
            Flush(-1);
            s.Field = std::make_shared<TFieldData>();
            SetDest(TDest::Field);
            return rtf_ec_OK;
        case D::FldInst:
            if (parent != TDest::Field || !s.Field) {
                SetDest(TDest::Skip);
                return rtf_ec_OK;
            }
            s.Field->Instruction.clear();
            s.Field->Handled = false;
            SetDest(TDest::FldInst);
            return rtf_ec_OK;
        case D::FldRslt:
            SetDest(s.Field && s.Field->Handled ? TDest::Skip : TDest::Normal);
            return rtf_ec_OK;
        case D::NestTableProps:
            SetDest(TDest::Normal);
            return rtf_ec_OK;
        case D::Header:
        case D::Footer: {
            Flush(-1);
            s.HF = action == D::Header ? rtf_hf_Header : rtf_hf_Footer;
            bool supported = false;
            if (R.OnHeaderFooter)
                R.OnHeaderFooter(R, s.HF, true, supported);
            SetDest(supported ? TDest::Normal : TDest::Skip);
            return rtf_ec_OK;
        }
        case D::Footnote:
            if (!R.OnNote || s.InNote || s.HF != rtf_hf_MainText) {
                SetDest(TDest::Skip);
                return rtf_ec_OK;
            }
            Flush(-1);
            R.OnNote(R, rtf_ne_Start, PendingPos);
            PendingPos = rtf_ts_ContinuePara;
            s.Pap.ListOverrideIndex = -1;
            s.Pap.ListOverrideNumber = -1;
            s.Pap.ListLevel = 0;
            s.Pap.MarkerProps.reset();
            s.InNote = true;
            s.NoteOwner = true;
            s.SavedTableDepth = TableDepth;
            TableDepth = 0;
            SetDest(TDest::Normal);
            return rtf_ec_OK;
        case D::Pn:
            s.Marker = std::make_shared<TRVRTFMarkerProperties>();
            SetDest(TDest::Pn);
            return rtf_ec_OK;
        case D::PnTxtA:
        case D::PnTxtB:
            SetDest(parent == TDest::Pn && s.Marker ? (action == D::PnTxtA ? TDest::PnTxtA : TDest::PnTxtB)
                                                    : TDest::Skip);
            return rtf_ec_OK;
        case D::ListTable:
            Lists.clear();
            SetDest(TDest::ListTable);
            return rtf_ec_OK;
        case D::List:
            if (parent == TDest::ListTable) {
                Lists.emplace_back();
                SetDest(TDest::List);
            } else {
                SetDest(TDest::Skip);
            }
            return rtf_ec_OK;
        case D::ListName:
            SetDest(parent == TDest::List && !Lists.empty() ? TDest::ListName : TDest::Skip);
            return rtf_ec_OK;
        case D::ListLevel:
            if (parent == TDest::List && !Lists.empty()) {
                Lists.back().Levels.emplace_back();
                s.Chp = {};
                s.Pap = {};
                SetDest(TDest::ListLevel);
            } else {
                SetDest(TDest::Skip);
            }
            return rtf_ec_OK;
        case D::LevelText:
        case D::LevelNumbers:
            if (parent == TDest::ListLevel && CurrentLevel()) {
                if (action == D::LevelText) {
                    CurrentLevel()->Text.clear();
                    CurrentLevel()->TextW.reset();
                } else {
                    CurrentLevel()->Numbers.clear();
                }
                SetDest(action == D::LevelText ? TDest::LevelText : TDest::LevelNumbers);
            } else {
                SetDest(TDest::Skip);
            }
            return rtf_ec_OK;
        case D::ListOverrideTable:
            Overrides.clear();
            SetDest(TDest::ListOverrideTable);
            return rtf_ec_OK;
        case D::ListOverride:
            if (parent == TDest::ListOverrideTable) {
                Overrides.emplace_back();
                SetDest(TDest::ListOverride);
            } else {
                SetDest(TDest::Skip);
            }
            return rtf_ec_OK;
        case D::LfoLevel:
            if (parent == TDest::ListOverride && !Overrides.empty()) {
                Overrides.back().Levels.emplace_back();
                SetDest(TDest::LfoLevel);
            } else {
                SetDest(TDest::Skip);
            }
            return rtf_ec_OK;
        }
        return rtf_ec_BadTable;
    }

    // ---- Properties (step 7) -------------------------------------------------------------

    /// The colour of a table index; false when out of range.
    bool ColorAt(int index, TColor& color) const noexcept
    {
        if (index < 0 || index >= int(Colors.size()))
            return false;
        color = Colors[std::size_t(index)];
        return true;
    }
    /// Background colours: the automatic entry is none.
    bool BackColorAt(int index, TColor& color) const noexcept
    {
        if (!ColorAt(index, color))
            return false;
        if (color == clWindowText)
            color = clNone;
        return true;
    }

    TRVRTFBorderSide* BorderSide()
    {
        TState& s = Cur();
        const int side = std::clamp(s.BorderSide, 0, 3);
        switch (s.BorderTarget) {
        case TBorderTarget::Para:
            return &s.Pap.Border.Sides[std::size_t(side)];
        case TBorderTarget::Row:
            return &Row().Props.Border.Sides[std::size_t(side)];
        case TBorderTarget::Cell:
            return &Row().Cell.Border.Sides[std::size_t(side)];
        case TBorderTarget::None:
            break;
        }
        return nullptr;
    }

    [[nodiscard]] TRVRTFMarkerProperties* Marker() noexcept
    {
        TState& s = Cur();
        if (s.Dest == TDest::Pn || s.Dest == TDest::PnTxtA || s.Dest == TDest::PnTxtB)
            return s.Marker.get();
        return nullptr;
    }

    [[nodiscard]] bool InPicture() const noexcept { return Cur().Dest == TDest::Pict && Picture; }
    [[nodiscard]] bool InObject() const noexcept
    {
        return (Cur().Dest == TDest::Object || Cur().Dest == TDest::ObjData) && Object;
    }

    int ApplyProperty(P action, int val, bool hasParam)
    {
        TState& s = Cur();
        TRVRTFCharProperties& chp = s.Chp;
        TRVRTFParaProperties& pap = s.Pap;
        TColor color = clNone;
        switch (action) {
        // Character properties.
        case P::Bold:
            chp.Bold = val != 0;
            break;
        case P::Italic:
            chp.Italic = val != 0;
            break;
        case P::Strike:
            chp.StrikeOut = val != 0;
            break;
        case P::Underline:
            chp.Underline = val != 0;
            if (chp.Underline)
                chp.UnderlineType = rvutNormal;
            break;
        case P::UnderlineType:
            if (val < 0) {
                chp.Underline = false;
                chp.UnderlineType = rvutNormal;
            } else {
                chp.Underline = true;
                chp.UnderlineType = TRVUnderlineType(std::clamp(val, 0, int(rvutThickDashDotDotted)));
            }
            break;
        case P::UnderlineColor:
            if (BackColorAt(val, color))
                chp.UnderlineColor = color;
            break;
        case P::FontSize:
            chp.Size = std::max(0, HalfPointsToPoints(val));
            break;
        case P::Language:
            chp.Language = val;
            break;
        case P::Color:
            if (ColorAt(val, color))
                chp.Color = color;
            break;
        case P::BackColor:
            if (BackColorAt(val, color))
                chp.BackColor = color;
            break;
        case P::Highlight:
            if (R.ConvertHighlight == rtf_hl_FixedColors)
                chp.BackColor = FixedHighlight(val);
            else if (R.ConvertHighlight == rtf_hl_ColorTable && BackColorAt(val, color))
                chp.BackColor = color;
            break;
        case P::Plain:
            chp = {};
            chp.FontIndex = FontIndexOf(DefFont);
            chp.Language = DefLang;
            break;
        case P::CharScaleX:
            chp.CharScaleX = val;
            break;
        case P::CharSpacing:
            chp.CharSpacingTw = val;
            break;
        case P::Caps:
            chp.AllCaps = val != 0;
            break;
        case P::SScript:
            chp.SScriptType = TRVSubSuperScriptType(std::clamp(val, 0, 2));
            break;
        case P::Up:
            chp.VShift = val;
            break;
        case P::Down:
            chp.VShift = val == INT32_MIN ? INT32_MAX : -val;
            break;
        case P::Font:
            if (s.Dest == TDest::FontTbl) {
                Fonts.emplace_back();
                Fonts.back().Number = val;
                FontNameDone = false;
            } else {
                const int i = FontIndexOf(val);
                if (i >= 0)
                    chp.FontIndex = i;
            }
            break;
        case P::AssocFont:
            break;
        case P::FontCharset:
            if (s.Dest == TDest::FontTbl && !Fonts.empty())
                Fonts.back().Charset = val >= 256 ? 77 : std::max(val, 0);
            break;
        case P::Hidden: {
            const bool hidden = val != 0;
            if (hidden != chp.Hidden) {
                if (s.Dest == TDest::Normal)
                    Flush(-1);
                Cur().Chp.Hidden = hidden;
            }
            break;
        }
        // Paragraph properties.
        case P::ParaColor:
            if (BackColorAt(val, color))
                pap.Color = color;
            break;
        case P::ParaForeColor:
            if (BackColorAt(val, color))
                pap.ForeColor = color;
            break;
        case P::Shading:
            pap.Shading = val;
            break;
        case P::LeftIndent:
            pap.LeftIndent = val;
            break;
        case P::RightIndent:
            pap.RightIndent = val;
            break;
        case P::FirstIndent:
            pap.FirstIndent = val;
            break;
        case P::Alignment:
            pap.Alignment = TRVAlignment(std::clamp(val, 0, 3));
            break;
        case P::Pard:
            pap = {};
            s.BorderTarget = TBorderTarget::None;
            s.Tab = {};
            break;
        case P::SpaceBefore:
            pap.SpaceBefore = val;
            break;
        case P::SpaceAfter:
            pap.SpaceAfter = val;
            break;
        case P::LineSpacing:
            pap.LineSpacing = val;
            break;
        case P::LineSpacingMulti:
            pap.LineSpacingMulti = val != 0;
            break;
        case P::BorderType:
            if (TRVRTFBorderSide* side = BorderSide()) {
                side->BorderType = val;
                if (val != rtf_brdr_None && side->Width == 0)
                    side->Width = 10;
            }
            break;
        case P::BorderSide:
            s.BorderTarget = TBorderTarget::Para;
            s.BorderSide = val;
            break;
        case P::RowBorderSide:
            s.BorderTarget = TBorderTarget::Row;
            s.BorderSide = val;
            break;
        case P::CellBorderSide:
            s.BorderTarget = TBorderTarget::Cell;
            s.BorderSide = val;
            break;
        case P::ChBrdr:
            s.BorderTarget = TBorderTarget::None;
            break;
        case P::BorderWidth:
            if (TRVRTFBorderSide* side = BorderSide())
                side->Width = val;
            break;
        case P::BorderColor:
            if (ColorAt(val, color))
                if (TRVRTFBorderSide* side = BorderSide())
                    side->Color = color;
            break;
        case P::BorderSpace:
            if (TRVRTFBorderSide* side = BorderSide())
                side->Space = val;
            break;
        case P::Keep:
            pap.KeepLinesTogether = val != 0;
            break;
        case P::KeepNext:
            pap.KeepWithNext = val != 0;
            break;
        case P::NoOverlap:
            pap.NoOverlap = val != 0;
            break;
        case P::ListOverride:
            if (s.Dest == TDest::ListOverride) {
                if (!Overrides.empty())
                    Overrides.back().Number = val;
            } else {
                pap.ListOverrideNumber = val;
                pap.ListOverrideIndex = -1;
                for (std::size_t i = 0; i < Overrides.size(); ++i)
                    if (Overrides[i].Number == val) {
                        pap.ListOverrideIndex = int(i);
                        break;
                    }
            }
            break;
        case P::ListLevel:
            pap.ListLevel = std::clamp(val, 0, 8);
            break;
        case P::TabPos:
            if (pap.Tabs.size() < std::size_t(MaxTabs)) {
                TRVRTFTab tab;
                tab.Position = val;
                tab.Align = s.Tab.Align;
                tab.Leader = s.Tab.Leader;
                tab.IsListTab = s.Tab.ListTab;
                if (tab.IsListTab)
                    pap.ListTab = val;
                pap.Tabs.push_back(tab);
            }
            s.Tab = {};
            break;
        case P::TabAlign:
            s.Tab.Align = TRVRTFTabAlign(std::clamp(val, 0, 3));
            break;
        case P::TabLeader:
            s.Tab.Leader = TRVRTFTabLeader(std::clamp(val, 0, 5));
            break;
        case P::ListTab:
            s.Tab.ListTab = true;
            break;
        // Objects.
        case P::ObjType:
            if (InObject())
                Object->Type = TRVRTFObjectType(std::clamp(val, 0, 7));
            break;
        case P::ObjH:
            if (InObject())
                Object->Height = val;
            break;
        case P::ObjW:
            if (InObject())
                Object->Width = val;
            break;
        // Unicode and languages.
        case P::DefLang:
            DefLang = val;
            break;
        case P::Unicode:
            return UnicodeKeyword(val);
        case P::UnicodeSkip:
            UcSkip = std::max(val, 0);
            break;
        // Section.
        case P::Cols:
            SectProps.Columns = val;
            break;
        case P::SectBreak:
            SectProps.SectionBreak = val;
            break;
        case P::PgnX:
            SectProps.PageNumberX = val;
            break;
        case P::PgnY:
            SectProps.PageNumberY = val;
            break;
        case P::PgnFormat:
            SectProps.PageNumberFormat = val;
            break;
        case P::HeaderY:
            SectProps.HeaderY = val;
            break;
        case P::FooterY:
            SectProps.FooterY = val;
            break;
        case P::PgnStart:
            DocProps.PageNumberStart = val;
            break;
        case P::Sectd:
            SectProps = {};
            break;
        // Document.
        case P::PaperW:
            DocProps.PaperWidth = val;
            DocProps.HasPaperWidth = true;
            break;
        case P::PaperH:
            DocProps.PaperHeight = val;
            DocProps.HasPaperHeight = true;
            break;
        case P::MargL:
            DocProps.LeftMargin = val;
            DocProps.HasLeftMargin = true;
            break;
        case P::MargR:
            DocProps.RightMargin = val;
            DocProps.HasRightMargin = true;
            break;
        case P::MargT:
            DocProps.TopMargin = val;
            DocProps.HasTopMargin = true;
            break;
        case P::MargB:
            DocProps.BottomMargin = val;
            DocProps.HasBottomMargin = true;
            break;
        case P::FacingP:
            DocProps.FacingPages = true;
            break;
        case P::MargMirror:
            DocProps.MirrorMargins = true;
            break;
        case P::ViewScale:
            DocProps.ViewScale = val;
            break;
        case P::ViewZK:
            DocProps.ZoomKind = val;
            break;
        case P::Landscape:
            DocProps.Landscape = true;
            break;
        case P::DefFont:
            DefFont = val;
            break;
        case P::AnsiCpg:
            CodePage = val > 0 ? ResolveCodePage(val) : ResolveCodePage(R.DefCodePage);
            break;
        // Tables.
        case P::Cell:
            SyncTableDepth();
            Flush(-1);
            PendingPos = rtf_ts_NewPara;
            TableEvent(rvf_tbl_CellEnd);
            break;
        case P::Row:
            if (!Text8.empty() || !Text16.empty())
                Flush(-1);
            SyncTableDepth();
            PendingPos = rtf_ts_NewPara;
            TableEvent(rvf_tbl_RowEnd);
            break;
        case P::InTable:
            pap.InTable = true;
            break;
        case P::Itap:
            pap.NestingLevel = std::clamp(val, 0, MaxTableNesting);
            if (val > 0)
                pap.InTable = true;
            break;
        case P::LastRow:
            Row().Props.LastRow = true;
            break;
        case P::Trowd: {
            Cur().Row = std::make_shared<TRowData>();
            break;
        }
        case P::RowAlign:
            Row().Props.Alignment = TRVAlignment(std::clamp(val, 0, 2));
            break;
        case P::RowHeader:
            Row().Props.Heading = val != 0;
            break;
        case P::TrGapH:
            Row().Props.GapH = val;
            break;
        case P::TrLeft:
            Row().Props.Left = val;
            break;
        case P::TrRH:
            Row().Props.Height = val;
            Row().Props.HeightExact = val < 0;
            break;
        case P::TrPaddL:
        case P::TrPaddT:
        case P::TrPaddR:
        case P::TrPaddB:
            Row().Props.Padding[SideOf(action, P::TrPaddL, P::TrPaddT, P::TrPaddR)] = val;
            break;
        case P::TrPaddFL:
        case P::TrPaddFT:
        case P::TrPaddFR:
        case P::TrPaddFB:
            Row().Props.PaddingTwips[SideOf(action, P::TrPaddFL, P::TrPaddFT, P::TrPaddFR)] = val == 3;
            break;
        case P::TrSpdL:
        case P::TrSpdT:
        case P::TrSpdR:
        case P::TrSpdB:
            Row().Props.Spacing[SideOf(action, P::TrSpdL, P::TrSpdT, P::TrSpdR)] = val;
            break;
        case P::TrSpdFL:
        case P::TrSpdFT:
        case P::TrSpdFR:
        case P::TrSpdFB:
            Row().Props.SpacingTwips[SideOf(action, P::TrSpdFL, P::TrSpdFT, P::TrSpdFR)] = val == 3;
            break;
        case P::TrWWidth: {
            TRowData& row = Row();
            row.RowWidth = val;
            row.Props.BestWidth = WidthByUnit(row.RowWidth, row.RowWidthUnit);
            break;
        }
        case P::TrFtsWidth: {
            TRowData& row = Row();
            row.RowWidthUnit = val;
            row.Props.BestWidth = WidthByUnit(row.RowWidth, row.RowWidthUnit);
            break;
        }
        case P::CellVMerge:
            Row().Cell.VMerge = TRVRTFCellMerge(std::clamp(val, 0, 2));
            break;
        case P::CellHMerge:
            Row().Cell.HMerge = TRVRTFCellMerge(std::clamp(val, 0, 2));
            break;
        case P::ClWWidth: {
            TRowData& row = Row();
            row.CellWidth = val;
            row.Cell.BestWidth = WidthByUnit(row.CellWidth, row.CellWidthUnit);
            break;
        }
        case P::ClFtsWidth: {
            TRowData& row = Row();
            row.CellWidthUnit = val;
            row.Cell.BestWidth = WidthByUnit(row.CellWidth, row.CellWidthUnit);
            break;
        }
        case P::ClCbPat:
        case P::ClCbPatRaw:
            if (BackColorAt(val, color))
                Row().Cell.Color = color;
            break;
        case P::ClCfPat:
            if (BackColorAt(val, color))
                Row().Cell.ForeColor = color;
            break;
        case P::ClShdng:
            Row().Cell.Shading = val;
            break;
        case P::ClVertAl:
            Row().Cell.VAlign = TRVRTFVAlign(std::clamp(val, 0, 2));
            break;
        case P::CellX: {
            TRowData& row = Row();
            row.Cell.RightBoundary = val;
            if (row.Props.Cells.size() < std::size_t(MaxCells))
                row.Props.Cells.push_back(row.Cell);
            row.Cell = {};
            row.CellWidth = row.CellWidthUnit = 0;
            if (s.BorderTarget == TBorderTarget::Cell)
                s.BorderTarget = TBorderTarget::None;
            break;
        }
        case P::DocViewCBW:
            Row().Cell.OwnBestWidth = val;
            Row().Props.HasOwnWidths = true;
            break;
        case P::DocViewCBH:
            Row().Cell.OwnBestHeight = val;
            Row().Props.HasOwnWidths = true;
            break;
        case P::DocViewTBW:
            Row().Props.OwnTableBestWidth = val;
            Row().Props.HasOwnWidths = true;
            break;
        // Notes.
        case P::FtnAlt:
            if (s.InNote && R.OnNote) {
                Flush(-1);
                R.OnNote(R, rtf_ne_EndNote, PendingPos);
            }
            break;
        case P::ChFtn:
            if (s.InNote && R.OnNote) {
                Flush(-1);
                R.OnNote(R, rtf_ne_Character, PendingPos);
                PendingPos = rtf_ts_ContinuePara;
            }
            break;
        // Colour table.
        case P::Red:
        case P::Green:
        case P::Blue:
            if (s.Dest == TDest::ColorTbl && !Colors.empty()) {
                TColor& c = Colors.back();
                if (c == clWindowText)
                    c = clBlack;
                const int shift = action == P::Red ? 0 : action == P::Green ? 8 : 16;
                c = (c & ~(TColor(0xFF) << shift)) | (TColor(val & 0xFF) << shift);
                ColorTouched = true;
            }
            break;
        // Font table.
        case P::FontFamily:
            if (s.Dest == TDest::FontTbl && !Fonts.empty())
                Fonts.back().Family = TRVRTFFontFamily(std::clamp(val, 0, 7));
            break;
        // Style sheet.
        case P::StyleS:
        case P::StyleCS:
        case P::StyleDS:
            if (s.Dest == TDest::StyleSheet)
                if (TRVRTFStyleSheetEntry* e = StyleEntry(true)) {
                    e->Number = val;
                    e->Kind = action == P::StyleS ? rtf_sst_Par : action == P::StyleCS ? rtf_sst_Char : rtf_sst_Sect;
                }
            break;
        case P::SBasedOn:
        case P::SNext:
        case P::Additive:
        case P::SHidden:
            if (s.Dest == TDest::StyleSheet)
                if (TRVRTFStyleSheetEntry* e = StyleEntry(true)) {
                    if (action == P::SBasedOn)
                        e->BasedOn = val;
                    else if (action == P::SNext)
                        e->Next = val;
                    else if (action == P::Additive)
                        e->Additive = true;
                    else
                        e->Hidden = true;
                }
            break;
        // Pictures.
        case P::PicW:
            if (InPicture())
                Picture->PicW = val;
            break;
        case P::PicH:
            if (InPicture())
                Picture->PicH = val;
            break;
        case P::PicWGoal:
            if (InPicture())
                Picture->PicWGoal = val;
            break;
        case P::PicHGoal:
            if (InPicture())
                Picture->PicHGoal = val;
            break;
        case P::PicScaleX:
            if (InPicture())
                Picture->PicScaleX = val;
            break;
        case P::PicScaleY:
            if (InPicture())
                Picture->PicScaleY = val;
            break;
        case P::WBMBitsPixel:
            if (InPicture())
                Picture->WBMBitsPixel = val;
            break;
        case P::WBMPlanes:
            if (InPicture())
                Picture->WBMPlanes = val;
            break;
        case P::WBMWidthBytes:
            if (InPicture())
                Picture->WBMWidthBytes = val;
            break;
        case P::PicType:
            if (InPicture()) {
                static constexpr TRVRTFPictureType kinds[] = {rtf_pict_EMF,        rtf_pict_PNG, rtf_pict_JPEG,
                                                              rtf_pict_MacPict,    rtf_pict_PmMetafile,
                                                              rtf_pict_WMF,        rtf_pict_DIB, rtf_pict_DDB};
                Picture->Type = kinds[std::clamp(val, 0, 7)];
                Picture->TypeGiven = true;
            }
            break;
        case P::WMetafile:
            if (InPicture()) {
                Picture->Type = rtf_pict_WMF;
                Picture->TypeGiven = true;
                Picture->MetafileMapMode = val;
            }
            break;
        case P::PicBmp:
            if (InPicture())
                Picture->PicBmp = val != 0;
            break;
        // Page break.
        case P::Page:
            if (R.OnRequiredPageBreak) {
                Flush(-1);
                R.OnRequiredPageBreak(R);
            }
            break;
        // Legacy lists.
        case P::PnSecLvl:
        case P::PnLvl:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Level = val;
            break;
        case P::PnHang:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Hanging = val != 0;
            break;
        case P::PnNumType:
            if (TRVRTFMarkerProperties* m = Marker())
                m->NumberType = val;
            break;
        case P::PnUnderline:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Underline = val != 0;
            break;
        case P::PnBold:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Bold = val != 0;
            break;
        case P::PnItalic:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Italic = val != 0;
            break;
        case P::PnStrike:
            if (TRVRTFMarkerProperties* m = Marker())
                m->StrikeOut = val != 0;
            break;
        case P::PnColor:
            if (TRVRTFMarkerProperties* m = Marker(); m && ColorAt(val, color))
                m->Color = color;
            break;
        case P::PnFont:
            if (TRVRTFMarkerProperties* m = Marker()) {
                m->FontNumber = val;
                m->FontIndex = FontIndexOf(val);
            }
            break;
        case P::PnFontSize:
            if (TRVRTFMarkerProperties* m = Marker())
                m->FontSize = std::max(0, HalfPointsToPoints(val));
            break;
        case P::PnIndent:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Indent = val;
            break;
        case P::PnSpace:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Space = val;
            break;
        case P::PnAlign:
            if (TRVRTFMarkerProperties* m = Marker())
                m->Alignment = TRVAlignment(std::clamp(val, 0, 2));
            break;
        case P::PnStart:
            if (TRVRTFMarkerProperties* m = Marker())
                m->StartAt = val;
            break;
        // List table.
        case P::ListId:
            if (s.Dest == TDest::List && !Lists.empty())
                Lists.back().Id = val;
            else if (s.Dest == TDest::ListOverride && !Overrides.empty())
                Overrides.back().ListId = val;
            break;
        case P::ListSimple:
            if (s.Dest == TDest::List && !Lists.empty())
                Lists.back().Simple = val != 0;
            break;
        case P::LevelStartAt:
            if (s.Dest == TDest::ListLevel) {
                if (TRVRTFListLevel97* l = CurrentLevel())
                    l->StartAt = val;
            } else if (s.Dest == TDest::LfoLevel && !Overrides.empty() && !Overrides.back().Levels.empty()) {
                Overrides.back().Levels.back().StartAt = val;
            }
            break;
        case P::LevelNfc:
        case P::LevelJc:
        case P::LevelOld:
        case P::LevelIndent:
        case P::LevelSpace:
        case P::LevelFollow:
        case P::LevelLegal:
        case P::LevelNoRestart:
            if (s.Dest == TDest::ListLevel)
                if (TRVRTFListLevel97* l = CurrentLevel())
                    ApplyLevel(*l, action, val);
            break;
        case P::ListOverrideCount:
            if (s.Dest == TDest::ListOverride && !Overrides.empty())
                Overrides.back().OverrideCount = val;
            break;
        case P::ListOverrideStartAt:
            if (s.Dest == TDest::LfoLevel && !Overrides.empty() && !Overrides.back().Levels.empty())
                Overrides.back().Levels.back().UseStart = val != 0;
            break;
        case P::Count_:
            return rtf_ec_BadTable;
        }
        (void)hasParam;
        return rtf_ec_OK;
    }

    static std::size_t SideOf(P action, P left, P top, P right) noexcept
    {
        if (action == left)
            return rtf_side_Left;
        if (action == top)
            return rtf_side_Top;
        if (action == right)
            return rtf_side_Right;
        return rtf_side_Bottom;
    }

    static void ApplyLevel(TRVRTFListLevel97& l, P action, int val)
    {
        switch (action) {
        case P::LevelNfc:
            l.NumberType = val;
            break;
        case P::LevelJc:
            l.Alignment = val;
            break;
        case P::LevelOld:
            l.Old = val != 0;
            break;
        case P::LevelIndent:
            l.Indent = val;
            break;
        case P::LevelSpace:
            l.Space = val;
            break;
        case P::LevelFollow:
            l.Follow = val;
            break;
        case P::LevelLegal:
            l.Legal = val != 0;
            break;
        case P::LevelNoRestart:
            l.NoRestart = val != 0;
            break;
        default:
            break;
        }
    }

    /// "u": a Unicode character with its 8-bit fallbacks to skip.
    int UnicodeKeyword(int val)
    {
        const char16_t c = char16_t(std::uint32_t(val) & 0xFFFF);
        TState& s = Cur();
        if (s.Dest == TDest::Normal) {
            if (R.OnNewUnicodeText) {
                SkipLeft = UcSkip;
                AppendUnicode(c);
            }
            return rtf_ec_OK;
        }
        if (s.Dest == TDest::PnTxtA || s.Dest == TDest::PnTxtB) {
            const int markerFont = s.Marker ? s.Marker->FontIndex : -1;
            const TRVRTFFont* font = markerFont >= 0 && markerFont < int(Fonts.size())
                                         ? &Fonts[std::size_t(markerFont)]
                                         : FontOf(s.Chp);
            std::string lower;
            if (font)
                for (const char ch : font->Name)
                    lower += char(std::tolower(static_cast<unsigned char>(ch)));
            if (c >= 0xF000 && c <= 0xF0FF && lower == "symbol") {
                const int ec = HandleChar(static_cast<unsigned char>(c & 0xFF));
                SkipLeft = UcSkip;
                return ec;
            }
        }
        if (s.Dest == TDest::LevelText) {
            if (TRVRTFListLevel97* level = CurrentLevel()) {
                if (!level->TextW)
                    level->TextW = R.AnsiToUnicode(level->Text);
                *level->TextW += c;
                level->Text += xq::UnicodeToAnsi(std::u16string_view(&c, 1), CodePage);
            }
            SkipLeft = UcSkip;
            return rtf_ec_OK;
        }
        const std::string bytes = xq::UnicodeToAnsi(std::u16string_view(&c, 1), CodePage);
        for (const char b : bytes) {
            const int ec = HandleChar(static_cast<unsigned char>(b));
            if (ec != rtf_ec_OK)
                return ec;
        }
        SkipLeft = UcSkip;
        return rtf_ec_OK;
    }

    // ---- Keywords (steps 3 and 4) --------------------------------------------------------

    int TranslateKeyword(std::string_view keyword, int param, bool hasParam)
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
        const TRVRTFsymbol* sym = FindRtfKeyword(keyword);
        const bool skipIfUnknown = SkipDestIfUnknown;
        SkipDestIfUnknown = false;
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

    [[nodiscard]] bool AtEnd() const noexcept { return Pos >= In.size(); }

    unsigned char NextByte()
    {
        if (Progress && Pos >= NextBlock) {
            NextBlock = std::min(In.size(), NextBlock + BlockSize);
            R.OnProgress(R, rvprsRunning, int(std::uint64_t(NextBlock) * 100 / In.size()));
        }
        return static_cast<unsigned char>(In[Pos++]);
    }

    int ParseKeyword()
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

    int Parse()
    {
        while (!AtEnd()) {
            const unsigned char ch = NextByte();
            if (Finished) {
                // After the document's outermost group only a stray "}" counts.
                if (ch == '}')
                    return rtf_ec_StackUnderflow;
                continue;
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
                    HexValueSoFar = HexValueSoFar * 16 + HexValue(ch);
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
        UpdateMarker();
        CloseTables(0);
        if (Depth > 0)
            return rtf_ec_UnmatchedBrace;
        return Flush(-1);
    }
};

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

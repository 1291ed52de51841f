// The RTF reader's parser: its reader states and its internal interface. Only the reader's own
// source files include this; the parser is split along its steps: characters, keywords and the
// main loop (RtfReader.cpp), groups and destinations (RtfReaderGroups.cpp), properties
// (RtfReaderProperties.cpp).
#pragma once

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/Graphic.h"
#include "formats/rtf/RtfKeywords.h"
#include "formats/rtf/RtfReader.h"
#include "platform/CodePage.h"

namespace xq {

namespace rtfread {

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
    /// "upr" was read in this group: of its two alternatives, the ANSI group is skipped and
    /// the Unicode one ("ud") is read.
    bool UprGroup = false;
    /// A group directly inside an "upr" group: skipped unless it turns out to be "ud".
    bool UprAlternative = false;
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

[[nodiscard]] inline bool IsHexDigit(unsigned char c) noexcept
{
    return std::isxdigit(c) != 0;
}

[[nodiscard]] inline TColor FixedHighlight(int v) noexcept
{
    static constexpr TColor colors[] = {clBlack, clBlue,   clAqua,   clLime,  clFuchsia, clRed,
                                        clYellow, clWhite, clNavy,   clTeal,  clGreen,   clPurple,
                                        clMaroon, clOlive, clGray,   clSilver};
    return v >= 1 && v <= 16 ? colors[v - 1] : clNone;
}

/// Half points to points, rounded to even (fs21 is 10 points).
[[nodiscard]] inline int HalfPointsToPoints(int v) noexcept
{
    return int(std::nearbyint(double(v) / 2.0));
}

[[nodiscard]] inline bool EndsWithNoCase(std::string_view s, std::string_view suffix)
{
    if (s.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    return true;
}

[[nodiscard]] inline int WidthByUnit(int value, int unit) noexcept
{
    if (unit == 2)
        return value == INT32_MIN ? INT32_MAX : -value;
    if (unit == 3)
        return value;
    return 0;
}

/// Thrown by the text handlers' wrapper: the owner's text handler failed.
struct TTextHandlerFailure {};

} // namespace rtfread

using namespace rtfread;

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

    void Reset();

    // ---- Events -------------------------------------------------------------------------

    void UpdateMarker()
    {
        if (R.OnUpdateMarker)
            R.OnUpdateMarker(R);
    }

    /// Sends a table event; returns Processed.
    bool TableEvent(TRVRTFTableEventKind kind);

    [[nodiscard]] int ParaTableLevel() const noexcept
    {
        const TRVRTFParaProperties& pap = Cur().Pap;
        return pap.InTable ? std::clamp(pap.NestingLevel, 0, MaxTableNesting) : 0;
    }

    void SyncTableDepth();

    void CloseTables(int downTo);

    [[nodiscard]] const TRVRTFFont* FontOf(const TRVRTFCharProperties& chp) const noexcept;

    /// The first font with the number. Fonts only get their number when they are added, so the
    /// index follows the table as it grows (and starts anew when it is cleared).
    [[nodiscard]] int FontIndexOf(int number) const noexcept;
    mutable std::unordered_map<int, int> FontIndex;
    mutable std::size_t FontIndexSize = 0;

    /// Reports the pending text (step 8). boundary: -1 none, else the Position of what follows.
    int Flush(int boundary);

    int ParagraphEnd(int boundary);

    // ---- Copy on write of the row --------------------------------------------------------

    TRowData& Row();

    // ---- Characters (step 6) -------------------------------------------------------------

    int HandleChar(unsigned char ch);

    int NormalChar(unsigned char ch);

    void AppendUnicode(char16_t c)
    {
        if (!Text8.empty())
            Flush(-1);
        Text16 += c;
    }

    /// Picture and object data: raw in binary state, else hexadecimal digits in pairs.
    int PictureByte(std::string& data, unsigned char ch, bool object);
    /// The byte being handled came in binary state (the state may have ended with it).
    bool BinaryByte = false;

    [[nodiscard]] TRVRTFListLevel97* CurrentLevel() noexcept
    {
        if (Lists.empty() || Lists.back().Levels.empty())
            return nullptr;
        return &Lists.back().Levels.back();
    }

    [[nodiscard]] TRVRTFStyleSheetEntry* StyleEntry(bool create);

    // ---- Groups --------------------------------------------------------------------------

    int PushState();

    int PopState();

    /// Step 11: what ends with the destination of the group being closed.
    int EndDestination();

    template <typename S>
    static void CutLevelText(S& text)
    {
        if (text.empty())
            return;
        const std::size_t n = std::size_t(static_cast<std::make_unsigned_t<typename S::value_type>>(text[0]));
        if (text.size() > n + 1)
            text.resize(n + 1);
    }

    void CleanFontNames();

    int EndPicture();

    /// A picture file named by INCLUDEPICTURE or IMPORT: read and recognised, else through
    /// OnImportPicture.
    std::unique_ptr<TGraphic> LoadPictureFile(const std::string& location, bool& invalid);

    int EndFieldInstruction(TFieldData& field);

    // ---- Destinations (step 5) -----------------------------------------------------------

    void SetDest(TDest d)
    {
        Cur().Dest = d;
        Cur().DestOwner = true;
    }

    int ChangeDest(D action);

    // ---- Properties (step 7) -------------------------------------------------------------

    /// The colour of a table index; false when out of range.
    bool ColorAt(int index, TColor& color) const noexcept;
    /// Background colours: the automatic entry is none.
    bool BackColorAt(int index, TColor& color) const noexcept;

    TRVRTFBorderSide* BorderSide();

    [[nodiscard]] TRVRTFMarkerProperties* Marker() noexcept;

    [[nodiscard]] bool InPicture() const noexcept { return Cur().Dest == TDest::Pict && Picture; }
    [[nodiscard]] bool InObject() const noexcept
    {
        return (Cur().Dest == TDest::Object || Cur().Dest == TDest::ObjData) && Object;
    }

    int ApplyProperty(P action, int val, bool hasParam);

    static std::size_t SideOf(P action, P left, P top, P right) noexcept;

    static void ApplyLevel(TRVRTFListLevel97& l, P action, int val);

    /// "u": a Unicode character with its 8-bit fallbacks to skip.
    int UnicodeKeyword(int val);

    // ---- Keywords (steps 3 and 4) --------------------------------------------------------

    int TranslateKeyword(std::string_view keyword, int param, bool hasParam);

    [[nodiscard]] bool AtEnd() const noexcept { return Pos >= In.size(); }

    unsigned char NextByte();

    int ParseKeyword();

    int Parse();
};

} // namespace xq

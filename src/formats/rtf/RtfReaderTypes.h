// What the RTF reader reports and lets its owner read during an event: character, paragraph,
// section, document, row and cell properties, the document tables (fonts, colours, style sheet,
// list table and list override table), pictures and objects, and the kinds of its events.
// Lengths are twips as RTF writes them unless a field says otherwise; colours are TColor values
// (the colour table's automatic entry is clWindowText).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/StyleTypes.h"
#include "platform/Color.h"

namespace xq {

/// What precedes reported content: it continues the paragraph, follows a line break ("line"),
/// or starts a new paragraph ("par").
enum TRVRTFPosition : std::uint8_t { rtf_ts_ContinuePara, rtf_ts_NewLine, rtf_ts_NewPara };

/// Table structure events (OnTable). TableStart: one nesting level deeper; TableEnd: the
/// innermost table ends (the handler may answer Processed = False); TableForcedEnd: a table
/// still open at the end of the input; RowEnd, CellEnd.
enum TRVRTFTableEventKind : std::uint8_t {
    rvf_tbl_TableStart,
    rvf_tbl_TableEnd,
    rvf_tbl_TableForcedEnd,
    rvf_tbl_RowEnd,
    rvf_tbl_CellEnd,
};

enum TRVRTFHeaderFooterType : std::uint8_t { rtf_hf_MainText, rtf_hf_Header, rtf_hf_Footer };

/// OnNote: the reference mark ("chftn"), a footnote starts, the note is an endnote ("ftnalt"),
/// the note ends.
enum TRVRTFNoteEventType : std::uint8_t { rtf_ne_Character, rtf_ne_Start, rtf_ne_EndNote, rtf_ne_End };

/// OnProgress: before parsing (0 %), while reading (position * 100 / size), at the end (0).
enum TRVRTFProgressStage : std::uint8_t { rvprsStarting, rvprsRunning, rvprsEnding };

/// How "highlight" is read: ignored, through the fixed Word highlight colours, or as an index
/// into the colour table.
enum TRVRTFHighlightConvert : std::uint8_t { rtf_hl_Ignore, rtf_hl_FixedColors, rtf_hl_ColorTable };

/// Border kinds in the numbering of the keywords: brdrnone 0, brdrs 1, brdrth 2, brdrsh 3,
/// brdrdb 4, brdrdot 5, brdrdash 6, brdrhair 7, brdrdashsm 8, brdrdashd 9, brdrdashdd 10,
/// brdrtriple 11, brdrtnthsg 12, brdrthtnsg 13, brdrtnthtnsg 14, brdrtnthmg 15, brdrthtnmg 16,
/// brdrtnthtnmg 17, brdrtnthlg 18, brdrthtnlg 19, brdrtnthtnlg 20, brdrwavy 21, brdrwavydb 22,
/// brdrdashdotstr 23, brdremboss and brdrengrave 24, brdrinset 26, brdroutset 27.
using TRVRTFBorderType = int;
inline constexpr TRVRTFBorderType rtf_brdr_None = 0;

/// Sides of borders, in the order of the keywords' values (brdrl 0, brdrt 1, brdrr 2, brdrb 3).
enum TRVRTFSide : std::uint8_t { rtf_side_Left, rtf_side_Top, rtf_side_Right, rtf_side_Bottom };

struct TRVRTFBorderSide {
    TRVRTFBorderType BorderType = rtf_brdr_None;
    int Width = 0;         ///< "brdrw", twips
    TColor Color = clNone; ///< "brdrcf" (clNone: none given)
    int Space = 0;         ///< "brsp", twips

    friend bool operator==(const TRVRTFBorderSide&, const TRVRTFBorderSide&) = default;
};

/// Four sides, indexed by TRVRTFSide. Also used for rows ("trbrdrl"...) and cells ("clbrdrl"...).
struct TRVRTFParaBorder {
    std::array<TRVRTFBorderSide, 4> Sides{};

    [[nodiscard]] const TRVRTFBorderSide& Side(TRVRTFSide s) const noexcept { return Sides[s]; }
    [[nodiscard]] bool Any() const noexcept
    {
        for (const TRVRTFBorderSide& s : Sides)
            if (s.BorderType != rtf_brdr_None)
                return true;
        return false;
    }
    friend bool operator==(const TRVRTFParaBorder&, const TRVRTFParaBorder&) = default;
};

/// Tab alignment: "tqr" 1, "tqc" 2, "tqdec" 3, left otherwise.
enum TRVRTFTabAlign : std::uint8_t { rtf_tab_Left, rtf_tab_Right, rtf_tab_Center, rtf_tab_Decimal };
/// Tab leaders: "tldot" 1, "tlmdot" 2, "tlhyph" 3, "tlul" and "tlth" 4, "tleq" 5.
enum TRVRTFTabLeader : std::uint8_t { rtf_tl_None, rtf_tl_Dot, rtf_tl_MiddleDot, rtf_tl_Hyphen, rtf_tl_Underline, rtf_tl_Equal };

struct TRVRTFTab {
    int Position = 0; ///< "tx", twips
    TRVRTFTabAlign Align = rtf_tab_Left;
    TRVRTFTabLeader Leader = rtf_tl_None;
    bool IsListTab = false; ///< "jclisttab" came before its "tx"

    friend bool operator==(const TRVRTFTab&, const TRVRTFTab&) = default;
};

/// The tabs of a paragraph in the order given. At most MaxTabs are kept (Word writes 64 at most).
using TRVRTFTabList = std::vector<TRVRTFTab>;

/// Legacy list properties ("pn" group), for a paragraph or as read inside "pn".
struct TRVRTFMarkerProperties {
    /// "pnlvl" 1..9, "pnlvlbody" 10, "pnlvlblt" 11 ("pnseclvl" sets it too); 0: none.
    int Level = 0;
    /// "pndec" 1, "pnlcltr" 2, "pnucltr" 3, "pnlcrm" 4, "pnucrm" 5; 0: none given.
    int NumberType = 0;
    bool Hanging = false;   ///< "pnhang"
    int FontNumber = -1;    ///< "pnf", the RTF font number (-1: none)
    int FontIndex = -1;     ///< the index of that font in the font table, -1 when it is not there
    int FontSize = 0;       ///< "pnfs", points (half points / 2 rounded to even); 0: none given
    TColor Color = clNone;  ///< "pncf" (clNone: none given or out of range)
    bool Bold = false;      ///< "pnb"
    bool Italic = false;    ///< "pni"
    bool StrikeOut = false; ///< "pnstrike"
    bool Underline = false; ///< any of the "pnul..." keywords except "pnulnone"
    int Indent = 0;         ///< "pnindent", twips
    int Space = 0;          ///< "pnsp", twips
    TRVAlignment Alignment = rvaLeft; ///< "pnql", "pnqc", "pnqr"
    int StartAt = 1;                  ///< "pnstart"
    std::string TextBefore;           ///< "pntxtb", 8-bit in the current code page
    std::string TextAfter;            ///< "pntxta"

    friend bool operator==(const TRVRTFMarkerProperties&, const TRVRTFMarkerProperties&) = default;
};

struct TRVRTFCharProperties {
    bool Bold = false;      ///< "b"
    bool Italic = false;    ///< "i"
    bool Underline = false; ///< "ul", or any underline kind other than "ulnone"
    TRVUnderlineType UnderlineType = rvutNormal; ///< "ulth", "uldb", "uld"...
    TColor UnderlineColor = clNone;              ///< "ulc" (clNone: the text colour)
    bool StrikeOut = false;                      ///< "strike"
    TRVSubSuperScriptType SScriptType = rvsssNormal; ///< "sub", "super", "nosupersub"
    int VShift = 0;          ///< "up" (positive) and "dn" (negative), half points
    bool AllCaps = false;    ///< "caps"
    bool Hidden = false;     ///< "v"
    int Size = 12;           ///< points: "fs" / 2 rounded to even
    TColor Color = clWindowText;  ///< "cf"; the automatic colour is clWindowText
    TColor BackColor = clNone;    ///< "chcbpat" or "highlight"; the automatic colour is clNone
    /// Index into the font table ("f" looked up by number); -1: none given, the default font
    /// ("deff") applies. Check it against the table (a later font table may be shorter);
    /// TRVRTFReader::CurrentFont() does.
    int FontIndex = -1;
    int Language = 0;        ///< "lang"
    int CharScaleX = 100;    ///< "charscalex", percent
    int CharSpacingTw = 0;   ///< "expndtw", twips
    /// The font a SYMBOL field names (empty otherwise): it replaces the font table entry's name
    /// for the one character that field reports.
    std::string FontName;

    friend bool operator==(const TRVRTFCharProperties&, const TRVRTFCharProperties&) = default;
};

struct TRVRTFParaProperties {
    TRVAlignment Alignment = rvaLeft; ///< "ql" 0, "qr" 1, "qc" 2, "qj" 3
    int FirstIndent = 0;  ///< "fi", twips (negative: hanging)
    int LeftIndent = 0;   ///< "li"
    int RightIndent = 0;  ///< "ri"
    int SpaceBefore = 0;  ///< "sb"
    int SpaceAfter = 0;   ///< "sa"
    int LineSpacing = 0;  ///< "sl", twips (negative: exactly); 0: single
    bool LineSpacingMulti = false; ///< "slmult": LineSpacing is a multiple of 240 = single
    bool KeepLinesTogether = false; ///< "keep"
    bool KeepWithNext = false;      ///< "keepn"
    TColor Color = clNone;     ///< "cbpat" background (clNone: none)
    TColor ForeColor = clNone; ///< "cfpat" pattern colour
    int Shading = 0;           ///< "shading", hundredths of a percent
    TRVRTFParaBorder Border;
    TRVRTFTabList Tabs;
    /// Position of the list tab ("jclisttab" before "tx"), -1 when there is none.
    int ListTab = -1;
    /// "ls": the number written and the index of that override in the list override table
    /// (-1: none, or no override has that number).
    int ListOverrideNumber = -1;
    int ListOverrideIndex = -1;
    int ListLevel = 0; ///< "ilvl"
    /// Legacy list properties (a "pn" group closed into the paragraph), when there are any.
    std::optional<TRVRTFMarkerProperties> MarkerProps;
    bool InTable = false;   ///< "intbl", or "itap" above 0
    int NestingLevel = 1;   ///< "itap" (the reader caps it at TRVRTFReader::MaxTableNesting)
    bool NoOverlap = false; ///< "absnoovrlp"

    friend bool operator==(const TRVRTFParaProperties&, const TRVRTFParaProperties&) = default;
};

/// Section break kinds: "sbknone" 0, "sbkcol" 1, "sbkeven" 2, "sbkodd" 3, "sbkpage" 4.
/// Page number formats: "pgndec" 0, "pgnucrm" 1, "pgnlcrm" 2, "pgnucltr" 3, "pgnlcltr" 4.
struct TRVRTFSectionProperties {
    int Columns = 1;          ///< "cols"
    int SectionBreak = 4;     ///< "sbk..."
    int PageNumberX = 720;    ///< "pgnx", twips
    int PageNumberY = 720;    ///< "pgny"
    int PageNumberFormat = 0; ///< "pgn..."
    int HeaderY = 720;        ///< "headery"
    int FooterY = 720;        ///< "footery"

    friend bool operator==(const TRVRTFSectionProperties&, const TRVRTFSectionProperties&) = default;
};

/// Document formatting, twips. These are kept for the whole document (not per group).
struct TRVRTFDocProperties {
    int PaperWidth = 12240;  ///< "paperw"
    int PaperHeight = 15840; ///< "paperh"
    int LeftMargin = 1800;   ///< "margl"
    int RightMargin = 1800;  ///< "margr"
    int TopMargin = 1440;    ///< "margt"
    int BottomMargin = 1440; ///< "margb"
    int PageNumberStart = 1; ///< "pgnstart"
    bool FacingPages = false;   ///< "facingp"
    bool MirrorMargins = false; ///< "margmirror"
    bool Landscape = false;     ///< "landscape"
    int ViewScale = 100;        ///< "viewscale", percent
    int ZoomKind = 0;           ///< "viewzk": 0 none, 1 full page, 2 page width
    /// Which of the values the input gave (the others are the defaults above).
    bool HasPaperWidth = false, HasPaperHeight = false, HasLeftMargin = false, HasRightMargin = false,
         HasTopMargin = false, HasBottomMargin = false;

    friend bool operator==(const TRVRTFDocProperties&, const TRVRTFDocProperties&) = default;
};

/// Cell merges: "clvmgf"/"clmgf" 1 (the first cell of a merge), "clvmrg"/"clmrg" 2 (merged).
enum TRVRTFCellMerge : std::uint8_t { rtf_cm_None, rtf_cm_First, rtf_cm_Merged };
/// "clvertalt" 0, "clvertalb" 1, "clvertalc" 2.
enum TRVRTFVAlign : std::uint8_t { rtf_val_Top, rtf_val_Bottom, rtf_val_Center };

/// One cell definition of a row (the keywords before its "cellx").
struct TRVRTFCellProperties {
    TRVRTFCellMerge HMerge = rtf_cm_None; ///< "clmgf", "clmrg"
    TRVRTFCellMerge VMerge = rtf_cm_None; ///< "clvmgf", "clvmrg"
    /// "clwWidth" with "clftsWidth": twips when positive, fiftieths of a percent when negative
    /// (unit 2), 0 when not given or given in another unit.
    int BestWidth = 0;
    TColor Color = clNone;     ///< "clcbpat" (the automatic colour: clNone)
    TColor ForeColor = clNone; ///< "clcfpat"
    int Shading = 0;           ///< "clshdng", hundredths of a percent
    TRVRTFVAlign VAlign = rtf_val_Top;
    TRVRTFParaBorder Border;   ///< "clbrdrl"... sides
    int RightBoundary = 0;     ///< "cellx", twips from the page margin
    /// "docviewcbw", "docviewcbh": this program's own best width and height, pixels.
    int OwnBestWidth = 0;
    int OwnBestHeight = 0;

    friend bool operator==(const TRVRTFCellProperties&, const TRVRTFCellProperties&) = default;
};

/// Row definition ("trowd" to the row end). A unit value of 3 means twips ("trpaddf..."/"trspdf...").
struct TRVRTFRowProperties {
    /// The cells closed by "cellx", in order; at most MaxCells are kept.
    std::vector<TRVRTFCellProperties> Cells;
    TRVAlignment Alignment = rvaLeft; ///< "trql" 0, "trqr" 1, "trqc" 2
    int GapH = 0;        ///< "trgaph", half the space between cells
    int Left = 0;        ///< "trleft"
    int Height = 0;      ///< "trrh" as written
    bool HeightExact = false; ///< "trrh" was negative
    bool Heading = false;     ///< "trhdr"
    bool LastRow = false;     ///< "lastrow"
    /// Paddings and spacings by side (TRVRTFSide order), with their unit keywords' values.
    std::array<int, 4> Padding{};
    std::array<bool, 4> PaddingTwips{};  ///< "trpaddf..." gave 3
    std::array<int, 4> Spacing{};
    std::array<bool, 4> SpacingTwips{};  ///< "trspdf..." gave 3
    /// "trwWidth" with "trftsWidth", the same unit rule as a cell's BestWidth.
    int BestWidth = 0;
    TRVRTFParaBorder Border;  ///< "trbrdrl"... sides
    /// "docviewtbw": this program's own table best width, pixels.
    int OwnTableBestWidth = 0;
    /// The row carries "docviewcbw", "docviewcbh" or "docviewtbw".
    bool HasOwnWidths = false;

    friend bool operator==(const TRVRTFRowProperties&, const TRVRTFRowProperties&) = default;
};

/// Font families: "fnil" 0, "froman" 1, "fswiss" 2, "fmodern" 3, "fscript" 4, "fdecor" 5,
/// "ftech" 6, "fbidi" 7.
enum TRVRTFFontFamily : std::uint8_t { rtf_ff_Default, rtf_ff_Roman, rtf_ff_Swiss, rtf_ff_Modern, rtf_ff_Script,
                                       rtf_ff_Decorative, rtf_ff_Technical, rtf_ff_BiDi };

struct TRVRTFFont {
    int Number = 0;     ///< "f"
    std::string Name;   ///< without the closing ";" and without a charset suffix ("Arial CYR" -> "Arial")
    TRVRTFFontFamily Family = rtf_ff_Default;
    int Charset = 1;    ///< "fcharset"; DEFAULT_CHARSET (1) when none is given; 256 and above become 77

    friend bool operator==(const TRVRTFFont&, const TRVRTFFont&) = default;
};

/// The font table in the order of the input; fonts are found by Number.
using TRVRTFFontList = std::vector<TRVRTFFont>;
/// The colour table: entry 0 is the automatic colour (clWindowText) unless the table gives one.
/// (A separate name from the writer's TRVRTFColorList.)
using TRVRTFReaderColorList = std::vector<TColor>;

enum TRVRTFStyleSheetEntryType : std::uint8_t { rtf_sst_Par, rtf_sst_Char, rtf_sst_Sect };

struct TRVRTFStyleSheetEntry {
    int Number = 0; ///< "s", "cs" or "ds"
    TRVRTFStyleSheetEntryType Kind = rtf_sst_Par;
    std::string Name;   ///< without the closing ";"
    int BasedOn = -1;   ///< "sbasedon"
    int Next = -1;      ///< "snext"
    bool Additive = false;
    bool Hidden = false; ///< "shidden"
    TRVRTFCharProperties CharProps;
    TRVRTFParaProperties ParaProps;

    friend bool operator==(const TRVRTFStyleSheetEntry&, const TRVRTFStyleSheetEntry&) = default;
};
using TRVRTFStyleSheet = std::vector<TRVRTFStyleSheetEntry>;

/// One level of a list table list ("listlevel").
struct TRVRTFListLevel97 {
    int StartAt = 1;      ///< "levelstartat"
    int NumberType = 0;   ///< "levelnfc": 0 decimal, 1 upper roman, 2 lower roman, 3 upper letter, 4 lower letter, 23 bullet, ...
    int Alignment = 0;    ///< "leveljc": 0 left, 1 centre, 2 right
    bool Old = false;     ///< "levelold"
    int Indent = 0;       ///< "levelindent"
    int Space = 0;        ///< "levelspace"
    int Follow = 0;       ///< "levelfollow": 0 tab, 1 space, 2 nothing
    bool Legal = false;   ///< "levellegal"
    bool NoRestart = false; ///< "levelnorestart"
    /// "leveltext": the first character holds the length, placeholders are codes 0..8 (levels).
    /// 8-bit in the code page current when it was read; cut to length + 1 characters.
    std::string Text;
    /// The same in UTF-16; present once a "u" keyword appeared inside the level text.
    std::optional<std::u16string> TextW;
    /// "levelnumbers": the positions (1-based) of the placeholders in Text, length first.
    std::string Numbers;
    /// "f", "fs", "b", "cf"... inside the level: the marker's font.
    TRVRTFCharProperties CharProps;
    /// "li", "fi", "tx"... inside the level; the level's tab is ParaProps.Tabs (the first entry).
    TRVRTFParaProperties ParaProps;

    friend bool operator==(const TRVRTFListLevel97&, const TRVRTFListLevel97&) = default;
};

struct TRVRTFList97 {
    int Id = 0;          ///< "listid"
    int TemplateId = 0;  ///< "listtemplateid" (kept at 0: not in the keyword table)
    bool Simple = false; ///< "listsimple"
    std::string Name;    ///< "listname", without the closing ";"
    std::vector<TRVRTFListLevel97> Levels;

    friend bool operator==(const TRVRTFList97&, const TRVRTFList97&) = default;
};
using TRVRTFListTable97 = std::vector<TRVRTFList97>;

/// One level of an override ("lfolevel").
struct TRVRTFListOverrideLevel97 {
    bool UseStart = false; ///< "listoverridestartat" was given
    int StartAt = 1;       ///< "levelstartat" inside the override level (or 1)

    friend bool operator==(const TRVRTFListOverrideLevel97&, const TRVRTFListOverrideLevel97&) = default;
};

struct TRVRTFListOverride97 {
    int ListId = 0;        ///< "listid": the list it overrides
    int Number = 0;        ///< "ls": the number paragraphs use
    int OverrideCount = 0; ///< "listoverridecount"
    /// The index of the list in the list table (found by ListId when the override closes), -1: none.
    int ListIndex = -1;
    std::vector<TRVRTFListOverrideLevel97> Levels;

    friend bool operator==(const TRVRTFListOverride97&, const TRVRTFListOverride97&) = default;
};
using TRVRTFListOverrideTable97 = std::vector<TRVRTFListOverride97>;

/// Picture kinds: "emfblip" 0, "pngblip" 1, "jpegblip" 2, "macpict" 3, "pmmetafile" 4,
/// "wmetafile" 5, "dibitmap" 6, "wbitmap" 7.
enum TRVRTFPictureType : std::uint8_t {
    rtf_pict_EMF,
    rtf_pict_PNG,
    rtf_pict_JPEG,
    rtf_pict_MacPict,
    rtf_pict_PmMetafile,
    rtf_pict_WMF,
    rtf_pict_DIB,
    rtf_pict_DDB,
};

/// A "pict" group: its keywords and its data (binary or from hexadecimal digits).
struct TRVRTFPicture {
    TRVRTFPictureType Type = rtf_pict_WMF;
    bool TypeGiven = false;   ///< some picture kind keyword was read
    int MetafileMapMode = 1;  ///< "wmetafile" parameter
    bool PicBmp = false;      ///< "picbmp"
    int PicW = 0, PicH = 0;   ///< "picw", "pich": pixels, or hundredths of a millimetre for metafiles
    int PicWGoal = 0, PicHGoal = 0; ///< "picwgoal", "pichgoal", twips
    int PicScaleX = 100, PicScaleY = 100;
    int WBMBitsPixel = 1, WBMPlanes = 1, WBMWidthBytes = 0;
    /// The goal size in pixels at the reader's PixelsPerInch: from "picwgoal"/"pichgoal", or for
    /// metafiles without them from "picw"/"pich"; 0 when neither is given. Set when the group ends.
    int GoalWidthPx = 0, GoalHeightPx = 0;
    /// The group was inside "shppict" (the "nonshppict" alternative is skipped when such a
    /// picture is inserted).
    bool ShpPict = false;
    std::string Data;
};

/// Object kinds: "objemb" 0, "objlink" 1, "objautlink" 2, "objsub" 3, "objpub" 4, "objicemb" 5,
/// "objhtml" 6, "objocx" 7.
enum TRVRTFObjectType : std::uint8_t { rtf_obj_Emb, rtf_obj_Link, rtf_obj_AutLink, rtf_obj_Sub, rtf_obj_Pub,
                                       rtf_obj_ICEmb, rtf_obj_HTML, rtf_obj_OCX };

struct TRVRTFObject {
    TRVRTFObjectType Type = rtf_obj_Emb;
    int Width = 0, Height = 0; ///< "objw", "objh", twips
    std::string Data;          ///< "objdata" bytes
};

} // namespace xq

// The RTF reader's keyword table: every control word and control symbol it knows, with its kind,
// default parameter, use-default flag, action and property group. Looked up by binary search on
// the keyword bytes (case-sensitive).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace xq {

enum class TRVRTFKeywordKind : std::uint8_t {
    Char,        ///< a character: the action is its byte
    UnicodeChar, ///< a character with a Unicode value: the action is the 8-bit byte, the default the Unicode value
    Destination, ///< the action is a TRVRTFDestinationAction
    Property,    ///< the action is a TRVRTFPropertyAction
    Special,     ///< the action is a TRVRTFSpecialAction
};

enum class TRVRTFPropertyGroup : std::uint8_t { Other, Char, Para };

enum class TRVRTFSpecialAction : std::uint8_t { Bin, Skip, Hex };

enum class TRVRTFDestinationAction : std::uint8_t {
    Skip,
    Object,
    ObjData,
    Result,
    ShpPict,
    NonShpPict,
    NestTableProps,
    ColorTbl,
    FontTbl,
    StyleSheet,
    Header,
    Footer,
    Footnote,
    Pict,
    BkmkStart,
    Field,
    FldInst,
    FldRslt,
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

enum class TRVRTFPropertyAction : std::uint8_t {
    // Character properties.
    Bold, UnderlineColor, Underline, UnderlineType, Italic, Strike, FontSize, Language, Color, BackColor, Plain,
    CharScaleX, CharSpacing, Caps, SScript, Up, Down, Font, AssocFont, FontCharset, Hidden, Highlight,
    // Paragraph properties.
    ParaColor, ParaForeColor, Shading, LeftIndent, RightIndent, FirstIndent, Alignment, Pard, SpaceBefore,
    SpaceAfter, LineSpacing, LineSpacingMulti, BorderType, BorderSide, BorderWidth, BorderColor, BorderSpace,
    Keep, KeepNext, RowBorderSide, CellBorderSide, NoOverlap, ListOverride, ListLevel, TabPos, TabAlign,
    TabLeader, ListTab,
    // Objects.
    ObjType, ObjH, ObjW,
    // Unicode and languages.
    DefLang, Unicode, UnicodeSkip,
    // Section.
    Cols, SectBreak, PgnX, PgnY, PgnFormat, HeaderY, FooterY, PgnStart, Sectd,
    // Document.
    PaperW, PaperH, MargL, MargR, MargT, MargB, FacingP, MargMirror, ViewScale, ViewZK, Landscape, DefFont, AnsiCpg,
    // Tables.
    Cell, Row, InTable, Itap, LastRow, Trowd, RowAlign, RowHeader, TrGapH, TrLeft, TrRH,
    TrPaddL, TrPaddR, TrPaddT, TrPaddB, TrPaddFL, TrPaddFR, TrPaddFT, TrPaddFB,
    TrSpdL, TrSpdR, TrSpdT, TrSpdB, TrSpdFL, TrSpdFR, TrSpdFT, TrSpdFB,
    TrWWidth, TrFtsWidth, CellVMerge, CellHMerge, ClWWidth, ClFtsWidth, ClCbPat, ClCbPatRaw, ClCfPat, ClShdng,
    ClVertAl, CellX, DocViewCBW, DocViewCBH, DocViewTBW,
    // Notes.
    FtnAlt, ChFtn,
    // Colour table.
    Red, Green, Blue,
    // Font table.
    FontFamily,
    // Style sheet.
    StyleS, StyleCS, StyleDS, SBasedOn, SNext, Additive, SHidden, ChBrdr,
    // Pictures.
    PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, WBMBitsPixel, WBMPlanes, WBMWidthBytes, PicType,
    WMetafile, PicBmp,
    // Page break.
    Page,
    // Legacy lists.
    PnSecLvl, PnLvl, PnHang, PnNumType, PnUnderline, PnBold, PnItalic, PnStrike, PnColor, PnFont, PnFontSize,
    PnIndent, PnSpace, PnAlign, PnStart,
    // List table.
    ListId, ListSimple, LevelStartAt, LevelNfc, LevelJc, LevelOld, LevelIndent, LevelSpace, LevelFollow,
    LevelLegal, LevelNoRestart, ListOverrideCount, ListOverrideStartAt,
    Count_
};

struct TRVRTFsymbol {
    std::string_view Keyword;
    std::int32_t DefaultValue = 0;
    bool UseDefault = false;
    TRVRTFKeywordKind Kind = TRVRTFKeywordKind::Property;
    int Action = 0;
    TRVRTFPropertyGroup Group = TRVRTFPropertyGroup::Other;
};

/// The table, sorted by keyword bytes.
[[nodiscard]] std::span<const TRVRTFsymbol> RtfKeywordTable();
/// The entry for the keyword, null when it is unknown.
[[nodiscard]] const TRVRTFsymbol* FindRtfKeyword(std::string_view keyword);

} // namespace xq

// What the formatting commands do to the style sheet: the text- and paragraph-style conversions that
// answer the editor's conversion events, the sizes offered for a font, and the list at the caret as
// the toolbar and the bullets dialog see it. The window supplies its state; nothing here knows Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/FontInfo.h"
#include "platform/Color.h"

namespace xq {

class TRVStyle;
class TCustomRVData;

/// The codes the character commands hand to ConvertTextStyles.
enum TTextConversion : int {
    tcBold = 1,
    tcItalic = 2,
    tcUnderline = 3,
    tcFontName = 4,
    tcFontDialog = 5,
    tcFontSize = 6,
    tcColor = 7,
    tcBackColor = 8,
    tcStrikeOut = 9,
    tcCaseOrOverline = 10,
    tcHyperlink = 12,
    tcNoHyperlink = 13,
};

/// The codes the paragraph commands hand to ConvertParaStyles.
enum TParaConversion : int {
    pcIndentIncrease = 2,
    pcIndentDecrease = 3,
    pcBackColor = 4,
    pcSpacing100 = 5,
    pcSpacing150 = 6,
    pcSpacing200 = 7,
};

/// Step and bounds of the indent commands, in pixels.
inline constexpr std::int32_t IndentStep = 20;
inline constexpr std::int32_t MaxCommandIndent = 200;

/// Which of the two commands sharing tcCaseOrOverline was used last.
enum TCaseOrOverline : int { coNone = 0, coAllCaps = 1, coOverline = 2 };

/// The window's state that a text conversion reads: the check marks of the character menu items
/// (already inverted by the click), the combo boxes' choices and the dialogs' answers.
struct TTextConversionInput {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool AllCaps = false;
    bool Overline = false;
    int CaseOrOverline = coNone;
    std::string ConvFontName;
    std::int32_t ConvFontSize = 10;
    TFontDescription DialogFont;
    TColor TextColor = 0;
    TColor TextBackColor = 0xFFFFFF;
};

/// What a paragraph conversion reads: the colour dialog's answer.
struct TParaConversionInput {
    TColor ParaBackColor = 0xFFFFFF;
};

/// The text style that replaces styleNo under the command code: a copy of it with the code's
/// change, found among the existing styles (styleNo itself first) or appended with Standard false.
/// The hyperlink codes and unknown codes, as well as an invalid styleNo, answer styleNo.
[[nodiscard]] int ConvertTextStyle(TRVStyle& sheet, int styleNo, int code, const TTextConversionInput& input);
/// The text style equal to copy (a changed copy of styleNo), found or appended as a non-standard
/// style.
[[nodiscard]] int FindOrAddTextStyle(TRVStyle& sheet, int styleNo, const TFontInfo& copy);

/// The paragraph style that replaces styleNo under the command code, found or appended as above.
[[nodiscard]] int ConvertParaStyle(TRVStyle& sheet, int styleNo, int code, const TParaConversionInput& input);

/// The alignment button (0 left, 1 centre, 2 right, 3 justify) that shows paragraph style paraNo:
/// the one of its alignment, so that a derived style shows its alignment too; -1 for none.
[[nodiscard]] int AlignmentButtonOf(const TRVStyle& sheet, int paraNo);

/// The sizes a scalable font is offered in.
inline constexpr int ScalableFontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

/// One height a bitmap font is available in, in pixels.
struct TFontHeight {
    std::int32_t CellHeight = 0;
    std::int32_t InternalLeading = 0;
};

/// The size list for a font: the fixed list for a scalable font; for a bitmap font its heights
/// converted to points at the screen's vertical resolution, ascending, without duplicates.
[[nodiscard]] std::vector<int> FontSizeList(bool scalable, const std::vector<TFontHeight>& heights,
                                            int screenPixelsPerInch);

/// The list at the caret, as the list commands' check marks and the bullets dialog need it.
struct TCaretListState {
    /// 0 no list, 1 bulleted, 2 numbered (a list that mixes both kinds counts as none).
    int ListKind = 0;
    /// The check marks of "Aufzählung" and "Nummerierung".
    bool Bullets = false;
    bool Numbering = false;
    int ListNo = -1;
    int Level = -1;
    std::string MarkerFontName;
    TColor MarkerFontColor = 0;
    TFontStyles MarkerFontStyle;
    std::int32_t MarkerFontSize = 0;
    std::int32_t LevelLeftIndent = 0;
    std::int32_t LevelFirstIndent = 0;
    std::int32_t LevelMarkerIndent = 0;
    /// The first two characters of a bullet level's marker text; empty otherwise.
    std::string BulletText;
    /// 14 decimal, 15 lower-case letters, 16 upper-case letters, 17 lower-case Roman,
    /// 18 upper-case Roman, -1 anything else.
    int NumberingKind = -1;
};

/// The list state for the paragraph that holds itemNo (no list for an invalid item).
[[nodiscard]] TCaretListState ListStateAt(const TRVStyle& sheet, const TCustomRVData& data, int itemNo);

} // namespace xq

// Choosing the text and paragraph styles for RTF content: the properties an RTF run or paragraph
// asks for, and the style of the sheet that takes them under the three mapping modes (one given
// style, the closest existing style, or an exact match added when missing).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/StyleTypes.h"
#include "platform/Color.h"
#include "platform/FontTypes.h"

namespace xq {

class TFontInfos;
class TParaInfos;
struct TRVBorder;

/// How RTF properties become styles of the sheet.
enum TRVReaderStyleMode : std::uint8_t { rvrsUseSpecified, rvrsUseClosest, rvrsAddIfNeeded };

/// Lengths in twips to screen pixels, rounded to the nearest, ties to even.
struct TRVRTFUnits {
    double Scale = 96.0 / 1440;
    [[nodiscard]] int Px(double twips) const noexcept;
};

/// What the mapping needs besides the properties.
struct TRVRTFStyleChoice {
    TRVReaderStyleMode Mode = rvrsUseClosest;
    int SpecifiedNo = 0; ///< the style of rvrsUseSpecified
    bool UseHypertextStyles = false;
    TRVRTFUnits Units;
};

/// The character properties of an RTF run as a text style sees them.
struct TRVRTFTextRequest {
    std::string FontName = "Arial";
    int Size = 12; ///< points; 0 counts as 1
    TColor Color = clWindowText;
    TColor BackColor = clNone;
    TColor UnderlineColor = clNone;
    TFontStyles Style;
    bool Caps = false;
    int CharScale = 100;
    int Spacing = 0; ///< twips
    TRVSubSuperScriptType SubSuper = rvsssNormal;
    int VOffset = 0; ///< half points, up positive
    TRVUnderlineType UnderlineType = rvutNormal;
    std::uint8_t Charset = DEFAULT_CHARSET;
    bool Link = false;      ///< inside a HYPERLINK field
    bool Protected = false; ///< a note reference mark
    bool Unicode = false;

    [[nodiscard]] bool operator==(const TRVRTFTextRequest&) const = default;
};

/// One side of an RTF paragraph border.
struct TRVRTFBorderSideRequest {
    int Kind = 0;  ///< 0 none, then the border kinds in keyword order ("brdrs" 1, "brdrth" 2, ...)
    int Width = 0; ///< twips
    TColor Color = clNone;
    int Space = 0; ///< twips between text and border

    [[nodiscard]] bool operator==(const TRVRTFBorderSideRequest&) const = default;
};

struct TRVRTFTabRequest {
    int Position = 0; ///< twips
    int Align = 0;    ///< 0 left, 1 right, 2 centre, 3 decimal
    int Leader = 0;   ///< 0 none, 1 dots, 2 middle dots, 3 hyphens, 4 underline, 5 equal signs

    [[nodiscard]] bool operator==(const TRVRTFTabRequest&) const = default;
};

/// The paragraph properties of an RTF paragraph as a paragraph style sees them.
struct TRVRTFParaRequest {
    TRVAlignment Alignment = rvaLeft;
    int FirstIndent = 0, LeftIndent = 0, RightIndent = 0, SpaceBefore = 0, SpaceAfter = 0; ///< twips
    int LineSpacing = 0; ///< "sl"
    bool LineMultiple = false; ///< "slmult"
    bool Keep = false, KeepNext = false;
    TColor Background = clNone;
    std::vector<TRVRTFTabRequest> Tabs;
    std::array<TRVRTFBorderSideRequest, 4> Sides; ///< left, top, right, bottom

    [[nodiscard]] bool operator==(const TRVRTFParaRequest&) const = default;
};

/// The paragraph border an RTF side gives: style, width and internal width in pixels. Right and
/// bottom sides are inner sides, for which the thick-thin kinds turn round.
struct TRVRTFBorderLines {
    TRVBorderStyle Style = rvbNone;
    int Width = 0;
    int InternalWidth = 0;
};
[[nodiscard]] TRVRTFBorderLines RtfBorderLines(int kind, int widthTwips, bool inner, const TRVRTFUnits& units);

/// Finds exact matches without looking at every style: the styles by the main properties an exact
/// match compares. It follows the styles as they are appended; one index serves one sheet while
/// no style is changed or removed.
struct TRVRTFStyleIndex {
    std::unordered_map<std::string, std::vector<int>> Text;
    std::unordered_map<std::string, std::vector<int>> Para;
    int TextIndexed = 0; ///< styles 0..TextIndexed-1 are in Text
    int ParaIndexed = 0;
};

/// The text style for a run, appending one in rvrsAddIfNeeded when none matches exactly (the
/// first that does, with or without the index).
[[nodiscard]] int SelectRtfTextStyle(TFontInfos& styles, const TRVRTFTextRequest& run, const TRVRTFStyleChoice& choice,
                                     TRVRTFStyleIndex* index = nullptr);

/// The paragraph style for a paragraph, appending one in rvrsAddIfNeeded when none matches
/// exactly. Tabs count only when spacesInTab is 0.
[[nodiscard]] int SelectRtfParaStyle(TParaInfos& styles, const TRVRTFParaRequest& para,
                                     const TRVRTFStyleChoice& choice, int spacesInTab,
                                     TRVRTFStyleIndex* index = nullptr);

/// The style of tables, empty cells and table paragraphs: style 0 with no indents and the given
/// alignment (found or appended in rvrsAddIfNeeded).
[[nodiscard]] int BasicRtfParaStyle(TParaInfos& styles, TRVAlignment alignment, const TRVRTFStyleChoice& choice);

} // namespace xq

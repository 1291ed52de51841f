// Rules of line layout that need no canvas: the fit search, tab stops, justification shares
// and line spacing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/ListInfo.h"
#include "document/ParaInfo.h"
#include "layout/DrawLines.h"

namespace xq {

/// How many of `count` characters fit into `available` pixels, found by interpolation between a
/// lower bound that fits and an upper bound that does not. measure(n) gives the width of the
/// first n characters (n >= 1); widths must not fall as n grows. Typically two or three
/// measurements per line.
[[nodiscard]] int InterpolationFit(int count, int available, const std::function<int(int)>& measure);

/// The tab stop a tab at x reaches, x measured from the left margin.
struct TRVTabStop {
    std::int32_t Position = 0;
    TRVTabAlign Align = rvtaLeft;
    std::string Leader;
};

/// The next stop after x: the paragraph's first stop beyond x, the left indent when x lies
/// before it (and before that stop), or else the next multiple of the default tab width.
/// Lengths of the style are scaled with scale; leftIndent is already scaled.
[[nodiscard]] TRVTabStop FindTabStop(const TParaInfo& para, std::int32_t x, std::int32_t leftIndent,
                                     std::int32_t defTabWidth, const TRVDeviceScale& scale);

/// The extra pixels each of n stretchable pieces gets from free space: the first gets free div n,
/// then free and n decrease, and so on; the last takes the remainder.
[[nodiscard]] std::vector<std::int32_t> JustifyShares(std::int32_t freeSpace, int n);

/// Aligns the draw items first..last of one line within a line ending at lineRight. Justified
/// lines share the free space among the pieces after the first one (and after the line's last
/// tab) whose text begins with a space, and are laid edge to edge again; the last line of a
/// paragraph, a line of a paragraph with a direction, and a line of one piece stay left-aligned.
/// startsWithSpace(i) and isTab(i) tell about draw item i.
void AlignLine(TRVDrawLines& lines, int first, int last, TRVAlignment alignment, std::int32_t lineRight,
               bool lastLineOfParagraph, bool hasBiDi, const std::function<bool(int)>& startsWithSpace,
               const std::function<bool(int)>& isTab);

/// Where a line starts and ends inside the text area, scaled to the device.
struct TRVLineIndents {
    std::int32_t LeftOffset = 0;
    std::int32_t RightIndent = 0;
};

/// Which line of its paragraph a line is.
enum class TRVLinePlace {
    FirstLine,   ///< the paragraph's first line
    MarkerLine,  ///< the first line of a list paragraph, which starts with its marker
    LineBreak,   ///< a line started by an item with NewLine
    NextLine,    ///< a line the paragraph wrapped to
    FullLine,    ///< a line of a break or a table
};

/// The indents of a line: the paragraph's left indent (plus the first-line indent on the first
/// line), or in a list paragraph the level's marker indent on the marker's line and the level's
/// left indent elsewhere; always the paragraph's right indent. level is null outside lists.
[[nodiscard]] TRVLineIndents LineIndents(const TParaInfo& para, const TRVListLevel* level, TRVLinePlace place,
                                         const TRVDeviceScale& scale);

/// The gap below a line of the paragraph whose pieces span lineTop .. lineBottom.
[[nodiscard]] std::int32_t LineSpacingGap(const TParaInfo& para, std::int32_t lineTop, std::int32_t lineBottom,
                                          const TRVDeviceScale& scale);

} // namespace xq

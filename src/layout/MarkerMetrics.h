// The size of list markers and where they stand: the marker's content measured in its level's
// font (or its picture), placed at the level's marker indent by its alignment.
#pragma once

#include <string>

#include "layout/DrawLines.h"
#include "platform/Canvas.h"

namespace xq {

class TRVListLevel;
class TRVMarkerItemInfo;
class TRVStyle;

struct TRVMarkerExtent {
    int ContentWidth = 0;
    int Height = 0;
    int Descent = 0;
    /// Parts of the content left and right of the marker position.
    int LeftPart = 0;
    int RightPart = 0;
    /// Width of the marker item: the left part plus the larger of the right part and the distance
    /// from the marker position to where the text starts.
    int Width = 0;
};

/// The marker's text as the canvas draws it: the level's Unicode text for Unicode bullets, the
/// display text otherwise (symbol-font bytes kept as codes, other text in the font's code page).
[[nodiscard]] std::u16string MarkerDrawText(const TRVListLevel& level, const TRVMarkerItemInfo& marker);

/// The canvas font of a level's marker font at its size.
[[nodiscard]] TCanvasFont MarkerCanvasFont(const TRVListLevel& level);

/// The extent of a marker on the canvas; lengths of the level are scaled to the device. A marker
/// without a usable list has no extent.
[[nodiscard]] TRVMarkerExtent MeasureMarker(const TRVStyle& sheet, const TRVMarkerItemInfo& marker, TCanvas& canvas,
                                            const TRVDeviceScale& scale);

} // namespace xq

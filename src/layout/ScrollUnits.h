// How a view scrolls: the vertical scroll unit and the distance of one mouse-wheel notch.
#pragma once

#include <cstdint>

namespace xq {

/// The vertical scroll unit is 10 pixels, so that scroll positions stay small numbers.
inline constexpr std::int32_t DefaultVScrollUnit = 10;
/// The largest scroll range, in units, that a scroll bar takes.
inline constexpr std::int32_t MaxVScrollUnits = 32000;

/// The unit for a document height: 10 pixels, or for documents so long that the range would
/// exceed 32000 units, the smallest unit that keeps it within (when the scroll bar is shown).
[[nodiscard]] std::int32_t VScrollUnit(std::int32_t documentHeight, bool vScrollVisible) noexcept;

/// The distance of one wheel notch in pixels: wheelStep × lines / 3 units (rounded), or one
/// client height when the system scrolls by pages; 0 when wheelStep is 0. lines < 0 means the
/// system's setting could not be read, and counts as 3.
[[nodiscard]] std::int32_t WheelNotchPixels(std::int32_t wheelStep, int lines, bool byPages, std::int32_t unit,
                                            std::int32_t clientHeight) noexcept;

} // namespace xq

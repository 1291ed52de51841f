// Screen length units: the engine lays out in pixels at a fixed resolution, whatever the display.
#pragma once

namespace xq {

// Pixels per inch used for all lengths given in pixels (screen layout, pixel units of a document).
inline constexpr int PixelsPerInchOverride = 96;

} // namespace xq

// System colour values used wherever a colour must be reduced to RGB without a window system.
#include "platform/Color.h"

#include <array>

namespace xq {

namespace {

constexpr TColor Rgb(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }

// The standard desktop palette, indexed like clScrollBar .. clInfoBk.
constexpr std::array<TColor, 25> SystemColors = {
    Rgb(200, 200, 200), Rgb(0, 0, 0),       Rgb(153, 180, 209), Rgb(191, 205, 219), Rgb(240, 240, 240),
    Rgb(255, 255, 255), Rgb(100, 100, 100), Rgb(0, 0, 0),       Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(180, 180, 180), Rgb(244, 247, 252), Rgb(171, 171, 171), Rgb(0, 120, 215),   Rgb(255, 255, 255),
    Rgb(240, 240, 240), Rgb(160, 160, 160), Rgb(109, 109, 109), Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(255, 255, 255), Rgb(105, 105, 105), Rgb(227, 227, 227), Rgb(0, 0, 0),       Rgb(255, 255, 225),
};

} // namespace

TColor ColorToRGB(TColor c) noexcept
{
    if (IsSystemColor(c)) {
        TColor index = c & 0xFF;
        return index < SystemColors.size() ? SystemColors[index] : Rgb(0, 0, 0);
    }
    return c & 0x00FFFFFF;
}

} // namespace xq

// Scroll units of a view.
#include "layout/ScrollUnits.h"

#include <cmath>

namespace xq {

std::int32_t VScrollUnit(std::int32_t documentHeight, bool vScrollVisible) noexcept
{
    if (!vScrollVisible || documentHeight / DefaultVScrollUnit <= MaxVScrollUnits)
        return DefaultVScrollUnit;
    std::int32_t unit = documentHeight / MaxVScrollUnits;
    if (documentHeight / unit > MaxVScrollUnits)
        ++unit;
    return unit;
}

std::int32_t WheelNotchPixels(std::int32_t wheelStep, int lines, bool byPages, std::int32_t unit,
                              std::int32_t clientHeight) noexcept
{
    if (wheelStep == 0)
        return 0;
    if (byPages)
        return clientHeight;
    if (lines < 0)
        lines = 3;
    const auto units = static_cast<std::int32_t>(std::lround(double(wheelStep) * lines / 3.0));
    return units * unit;
}

} // namespace xq

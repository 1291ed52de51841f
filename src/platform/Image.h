// TRGBAImage: decoded pixels, as pictures hand them to canvases.
#pragma once

#include <cstdint>
#include <vector>

namespace xq {

/// Decoded pixels for drawing: 8-bit red, green, blue, alpha per pixel, rows top to bottom.
struct TRGBAImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels; ///< Width * Height * 4 bytes

    [[nodiscard]] bool Empty() const noexcept { return Width <= 0 || Height <= 0; }
};

} // namespace xq

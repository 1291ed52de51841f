// Device-independent bitmaps: the header and pixel layout shared by BMP files and icon images.
#pragma once

#include <cstdint>
#include <string_view>

#include "pictures/PictureBase.h"

namespace xq {

enum TDibCompression : std::uint32_t {
    dibRGB = 0,
    dibRLE8 = 1,
    dibRLE4 = 2,
    dibBitFields = 3,
    dibAlphaBitFields = 6,
};

/// What a DIB header says about the pixels that follow it.
struct TDibInfo {
    int Width = 0;
    int Height = 0;        ///< of the picture; for icon images half the stored height
    bool TopDown = false;  ///< rows stored top to bottom (negative height)
    int BitCount = 0;
    std::uint32_t Compression = dibRGB;
    std::uint32_t Masks[4] = {}; ///< red, green, blue, alpha, for 16 and 32 bits per pixel
    std::uint32_t PaletteOffset = 0; ///< from the start of the header
    int PaletteEntrySize = 4;        ///< 3 in the OS/2 core header
    int PaletteCount = 0;
    std::uint32_t HeaderEnd = 0; ///< end of header, masks and palette, from the start of the header

    [[nodiscard]] bool Compressed() const noexcept { return Compression == dibRLE8 || Compression == dibRLE4; }
};

/// Bytes per stored row: width * bit count, rounded up to whole 32-bit words.
[[nodiscard]] constexpr std::uint64_t DibRowBytes(std::int64_t width, int bitCount) noexcept
{
    return ((std::uint64_t(width) * std::uint64_t(bitCount) + 31) / 32) * 4;
}

/// Bytes an uncompressed DIB needs at least: every row but the last in full, the last one
/// without its padding (some writers leave it off).
[[nodiscard]] std::uint64_t DibMinimumBits(const TDibInfo& info) noexcept;

/// Reads a header at the start of `dib` (core, info, V2 to V5) with its masks and palette.
/// `iconImage`: the stored height covers the image and its mask, so the picture is half as high.
/// False for anything this program does not draw or whose fields contradict each other.
[[nodiscard]] bool ReadDibHeader(std::string_view dib, bool iconImage, TDibInfo& info) noexcept;

/// Run-length data describes at most 127 pixels per byte in runs; with skips taken into account,
/// a large picture whose data could not describe a 256th of it is not believed.
inline constexpr std::int64_t RunLengthPixelsPerByte = 256;

/// False when the pixel data cannot be what the header describes: uncompressed rows missing,
/// or run-length data far too short for a large picture.
[[nodiscard]] bool DibBitsPlausible(const TDibInfo& info, std::uint64_t available) noexcept;

/// Decodes the pixels in `bits` as straight-alpha RGBA into the sink, which is started for the
/// picture's size. Uncompressed data must hold DibMinimumBits; run-length data may end early,
/// leaving the rest transparent. `header` holds the bytes ReadDibHeader read (for the colour table).
[[nodiscard]] bool DecodeDib(const TDibInfo& info, std::string_view header, std::string_view bits,
                             TPixelSink& sink) noexcept;

/// The colour (0xRRGGBB) of the bottom-left pixel, decoding no more than the bottom row.
[[nodiscard]] bool DibBottomLeftColor(const TDibInfo& info, std::string_view header, std::string_view bits,
                                      std::uint32_t& rgb) noexcept;

} // namespace xq

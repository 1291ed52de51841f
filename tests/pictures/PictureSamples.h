// Test pictures made on the spot: PNG, JPEG and GIF through their libraries, BMP, ICO, WMF and EMF by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "document/Graphic.h"

namespace xq::test {

/// Bytes from small integers, for writing pixel rows and records by hand.
[[nodiscard]] std::string Bytes(std::initializer_list<int> values);
void PutU16(std::string& out, std::uint32_t value);
void PutU32(std::string& out, std::uint32_t value);

/// A pixel of a decoded image as 0xRRGGBBAA.
[[nodiscard]] std::uint32_t PixelAt(const TRGBAImage& image, int x, int y);

struct TBmpLayout {
    int Width = 0;
    int Height = 0; ///< negative: top-down
    int BitCount = 24;
    std::uint32_t Compression = 0;
    int HeaderSize = 40; ///< 12 (OS/2 core), 40, 108 or 124
    std::vector<std::uint32_t> Palette; ///< 0x00RRGGBB
    std::vector<std::uint32_t> Masks;   ///< red, green, blue (, alpha): after a 40-byte header, or inside a larger one
    std::string Bits;                   ///< the pixel data as stored
};
/// The DIB header with masks and colour table, without the pixels.
[[nodiscard]] std::string MakeDibHeader(const TBmpLayout& layout);
/// A whole BMP file: file header, DIB header, pixels.
[[nodiscard]] std::string MakeBmp(const TBmpLayout& layout);

struct TPngLayout {
    int Width = 0;
    int Height = 0;
    int ColorType = 6; ///< libpng's PNG_COLOR_TYPE_*
    int BitDepth = 8;
    bool Interlaced = false;
    std::string Rows; ///< raw rows as libpng takes them, without filter bytes
    std::vector<std::uint32_t> Palette; ///< 0x00RRGGBB
    std::string Trans;                  ///< alpha per palette entry
};
[[nodiscard]] std::string EncodePng(const TPngLayout& layout);
/// RGBA pixels (row-major, 4 bytes each) as an 8-bit RGBA PNG.
[[nodiscard]] std::string EncodeRgbaPng(int width, int height, const std::string& rgba);

/// Samples row-major with 1 (grey), 3 (RGB) or 4 (CMYK) components.
[[nodiscard]] std::string EncodeJpeg(int width, int height, int components, const std::string& samples,
                                     bool progressive = false, int quality = 95);

struct TGifFrameLayout {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    std::string Indices; ///< row-major, top to bottom
    std::vector<std::uint32_t> LocalPalette;
    int TransparentIndex = -1;
};
struct TGifLayout {
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    std::vector<std::uint32_t> GlobalPalette; ///< 0x00RRGGBB, a power of two entries
    std::vector<TGifFrameLayout> Frames;
};
[[nodiscard]] std::string EncodeGif(const TGifLayout& layout);

struct TIcoEntry {
    std::string Data; ///< a DIB with doubled height and mask, or a PNG file
    int Width = 0;
    int Height = 0;
    int BitCount = 32;
};
[[nodiscard]] std::string MakeIco(const std::vector<TIcoEntry>& entries);

/// One metafile record: size in words, function number, 16-bit parameters as given.
[[nodiscard]] std::string WmfRecord(std::uint16_t function, std::initializer_list<int> params);
/// A Windows metafile of the records and an end record; with `placeable`, the placeable header
/// with bounding box (left, top, right, bottom) and units per inch goes first.
[[nodiscard]] std::string MakeWmf(const std::vector<std::string>& records, bool placeable = false,
                                  std::initializer_list<int> box = {}, int unitsPerInch = 0);
/// A PNG whose image header claims another size (with a matching checksum).
[[nodiscard]] std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height);
/// An enhanced metafile whose header frame is (left, top, right, bottom) in 0.01 mm.
[[nodiscard]] std::string MakeEmf(int left, int top, int right, int bottom);

struct TKindSample {
    std::string ClassName;
    std::string Variant;
    std::string Bytes;
};
/// A small valid picture of every kind (two bitmaps, three metafiles).
[[nodiscard]] std::vector<TKindSample> SampleOfEachKind();

} // namespace xq::test

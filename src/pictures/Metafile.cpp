// TMetafile: header checks and sizes of WMF and EMF data, and the placeholder drawn for them.
#include "pictures/Metafile.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "pictures/Dib.h"

namespace xq {

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::size_t PlaceableSize = 22;
constexpr std::size_t WmfHeaderSize = 18;
constexpr std::uint16_t WmfSetWindowExt = 0x020C;
constexpr std::int64_t WmfUnitsPerInch = 1440; // metafiles without placeable header
constexpr std::uint32_t EmfSignature = 0x464D4520; // " EMF"
constexpr std::size_t EmfMinHeaderSize = 88;
constexpr std::int64_t EmfUnitsPerInch = 2540; // hundredths of a millimetre
constexpr std::int64_t ScreenPixelsPerInch = 96;

/// A length in `unitsPerInch` as 96-dpi pixels, rounded.
[[nodiscard]] std::int64_t ToPixels(std::int64_t length, std::int64_t unitsPerInch) noexcept
{
    return (std::abs(length) * ScreenPixelsPerInch + unitsPerInch / 2) / unitsPerInch;
}

[[nodiscard]] bool SizeAllowed(std::int64_t width, std::int64_t height) noexcept
{
    // A metafile may have no size; it still may not claim an absurd one.
    return width >= 0 && height >= 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

/// Checks the standard header at `base` and gives the end of the metafile it announces.
[[nodiscard]] bool ReadWmfHeader(std::string_view bytes, std::size_t base, std::size_t& end) noexcept
{
    if (!Fits(bytes, base, WmfHeaderSize))
        return false;
    const std::uint16_t type = U16At(bytes, base);
    const std::uint16_t headerWords = U16At(bytes, base + 2);
    const std::uint16_t version = U16At(bytes, base + 4);
    const std::uint64_t sizeBytes = std::uint64_t(U32At(bytes, base + 6)) * 2;
    if ((type != 1 && type != 2) || headerWords != WmfHeaderSize / 2 || (version != 0x0100 && version != 0x0300))
        return false;
    if (sizeBytes < WmfHeaderSize || !Fits(bytes, base, sizeBytes))
        return false;
    end = base + std::size_t(sizeBytes);
    return true;
}

/// The window extent of the first SetWindowExt record, walking the records from `at` to `end`.
[[nodiscard]] bool FindWindowExtent(std::string_view bytes, std::size_t at, std::size_t end, std::int64_t& cx,
                                    std::int64_t& cy) noexcept
{
    while (at + 6 <= end) {
        const std::uint64_t recordBytes = std::uint64_t(U32At(bytes, at)) * 2;
        const std::uint16_t function = U16At(bytes, at + 4);
        if (recordBytes < 6 || function == 0 || recordBytes > end - at)
            return false;
        if (function == WmfSetWindowExt && recordBytes >= 10) {
            cy = I16At(bytes, at + 6); // parameters are stored last to first
            cx = I16At(bytes, at + 8);
            return true;
        }
        at += std::size_t(recordBytes);
    }
    return false;
}

void DrawLine(TRGBAImage& image, int x0, int y0, int x1, int y1, std::uint8_t grey) noexcept
{
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int steps = std::max(dx, dy);
    for (int i = 0; i <= steps; ++i) {
        const int x = steps == 0 ? x0 : x0 + ((x1 - x0) * i * 2 + (x1 >= x0 ? steps : -steps)) / (2 * steps);
        const int y = steps == 0 ? y0 : y0 + ((y1 - y0) * i * 2 + (y1 >= y0 ? steps : -steps)) / (2 * steps);
        PutPixel(image, x, y, grey, grey, grey, 255);
    }
}

} // namespace

bool LooksLikeWindowsMetafile(std::string_view bytes) noexcept
{
    if (Fits(bytes, 0, 4) && U32At(bytes, 0) == PlaceableKey)
        return true;
    return Fits(bytes, 0, 6) && (U16At(bytes, 0) == 1 || U16At(bytes, 0) == 2) && U16At(bytes, 2) == 9 &&
           (U16At(bytes, 4) == 0x0100 || U16At(bytes, 4) == 0x0300);
}

bool LooksLikeEnhancedMetafile(std::string_view bytes) noexcept
{
    return Fits(bytes, 0, 44) && U32At(bytes, 0) == 1 && U32At(bytes, 40) == EmfSignature;
}

bool TMetafile::ReadHeader(std::string_view bytes, int& width, int& height)
{
    Enhanced_ = Placeable_ = false;
    std::int64_t cx = 0;
    std::int64_t cy = 0;
    bool enhanced = false;
    bool placeable = false;
    if (LooksLikeEnhancedMetafile(bytes)) {
        if (!Fits(bytes, 0, EmfMinHeaderSize))
            return false;
        const std::uint32_t headerSize = U32At(bytes, 4);
        const std::uint32_t totalSize = U32At(bytes, 48);
        if (headerSize < EmfMinHeaderSize || headerSize > totalSize || totalSize > bytes.size())
            return false;
        cx = ToPixels(std::int64_t(I32At(bytes, 32)) - I32At(bytes, 24), EmfUnitsPerInch);
        cy = ToPixels(std::int64_t(I32At(bytes, 36)) - I32At(bytes, 28), EmfUnitsPerInch);
        enhanced = true;
    } else if (Fits(bytes, 0, 4) && U32At(bytes, 0) == PlaceableKey) {
        std::size_t end = 0;
        const std::uint16_t unitsPerInch = Fits(bytes, 0, PlaceableSize) ? U16At(bytes, 14) : 0;
        if (unitsPerInch == 0 || !ReadWmfHeader(bytes, PlaceableSize, end))
            return false;
        cx = ToPixels(std::int64_t(I16At(bytes, 10)) - I16At(bytes, 6), unitsPerInch);
        cy = ToPixels(std::int64_t(I16At(bytes, 12)) - I16At(bytes, 8), unitsPerInch);
        placeable = true;
    } else {
        std::size_t end = 0;
        if (!ReadWmfHeader(bytes, 0, end))
            return false;
        if (FindWindowExtent(bytes, WmfHeaderSize, end, cx, cy)) {
            cx = ToPixels(cx, WmfUnitsPerInch);
            cy = ToPixels(cy, WmfUnitsPerInch);
        }
    }
    if (!SizeAllowed(cx, cy))
        return false;
    Enhanced_ = enhanced;
    Placeable_ = placeable;
    width = int(cx);
    height = int(cy);
    return true;
}

bool TMetafile::DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const
{
    const int w = ReducedSide(std::min(Width(), PlaceholderMaxSide), reduction.X);
    const int h = ReducedSide(std::min(Height(), PlaceholderMaxSide), reduction.Y);
    if (Empty() || !AllocateImage(image, w, h))
        return false;
    constexpr std::uint8_t Fill = 0xE0;
    constexpr std::uint8_t Ink = 0x60;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool frame = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const std::uint8_t grey = frame ? Ink : Fill;
            PutPixel(image, x, y, grey, grey, grey, 255);
        }
    DrawLine(image, 0, 0, w - 1, h - 1, Ink);
    DrawLine(image, w - 1, 0, 0, h - 1, Ink);
    return true;
}

bool EnumerateEmfRecords(std::string_view emf,
                         const std::function<bool(std::uint32_t type, std::string_view record)>& visit)
{
    if (!LooksLikeEnhancedMetafile(emf))
        return false;
    std::size_t at = 0;
    while (at + 8 <= emf.size()) {
        const std::uint32_t type = U32At(emf, at);
        const std::uint32_t size = U32At(emf, at + 4);
        if (size < 8 || size % 4 != 0 || size > emf.size() - at)
            return false;
        if (!visit(type, emf.substr(at, size)))
            return true;
        if (type == 14)
            return true;
        at += size;
    }
    return true;
}

bool BmpFileFromDib(std::string_view dib, std::string& bmpFile)
{
    TDibInfo info;
    if (!ReadDibHeader(dib, false, info))
        return false;
    const std::uint64_t total = 14 + std::uint64_t(dib.size());
    if (total > 0xFFFFFFFFu)
        return false;
    bmpFile.clear();
    bmpFile.reserve(std::size_t(total));
    bmpFile += "BM";
    const auto put32 = [&bmpFile](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmpFile += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put32(std::uint32_t(total));
    put32(0);
    put32(14 + info.HeaderEnd);
    bmpFile.append(dib);
    return true;
}

bool ExtractEmfBitmap(std::string_view emf, std::string& bmpFile)
{
    static constexpr std::uint32_t Allowed[] = {1, 9, 10, 11, 14, 17, 21, 24, 25, 33, 34, 37, 48, 70, 75, 80, 81};
    bool onlyAllowed = true;
    std::string_view first;
    const bool read = EnumerateEmfRecords(emf, [&](std::uint32_t type, std::string_view record) {
        if (std::find(std::begin(Allowed), std::end(Allowed), type) == std::end(Allowed)) {
            onlyAllowed = false;
            return false;
        }
        if ((type == 80 || type == 81) && first.empty())
            first = record;
        return true;
    });
    if (!read || !onlyAllowed || first.empty())
        return false;
    // Both records keep offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc at 48, from the record's start.
    if (!Fits(first, 48, 16))
        return false;
    const std::uint64_t offBmi = U32At(first, 48), cbBmi = U32At(first, 52);
    const std::uint64_t offBits = U32At(first, 56), cbBits = U32At(first, 60);
    if (cbBmi == 0 || !Fits(first, offBmi, cbBmi) || !Fits(first, offBits, cbBits))
        return false;
    std::string dib(first.substr(std::size_t(offBmi), std::size_t(cbBmi)));
    dib.append(first.substr(std::size_t(offBits), std::size_t(cbBits)));
    return BmpFileFromDib(dib, bmpFile);
}

} // namespace xq

// Device-independent bitmaps: header checks and decoding of plain, bit-field and run-length pixels.
#include "pictures/Dib.h"

#include <bit>

namespace xq {

namespace {

constexpr std::uint32_t CoreHeaderSize = 12;

[[nodiscard]] bool KnownInfoHeaderSize(std::uint32_t size) noexcept
{
    // BITMAPINFOHEADER and its V2, V3, V4 and V5 successors.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

[[nodiscard]] bool CompressionFits(std::uint32_t compression, int bitCount, bool topDown) noexcept
{
    switch (compression) {
    case dibRGB:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case dibRLE8:
        return bitCount == 8 && !topDown;
    case dibRLE4:
        return bitCount == 4 && !topDown;
    case dibBitFields:
    case dibAlphaBitFields:
        return bitCount == 16 || bitCount == 32;
    default:
        return false;
    }
}

/// One colour channel described by a bit mask, scaled to 0..255.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint64_t Max = 0;

    explicit TChannel(std::uint32_t mask) noexcept : Mask(mask)
    {
        if (mask != 0) {
            Shift = std::countr_zero(mask);
            Max = mask >> Shift;
        }
    }
    [[nodiscard]] std::uint8_t Get(std::uint32_t value) const noexcept
    {
        if (Max == 0)
            return 0;
        const std::uint64_t v = (value & Mask) >> Shift;
        return static_cast<std::uint8_t>((v * 255 + Max / 2) / Max);
    }
};

/// Some pixel of 16- or 32-bit data puts something into the alpha channel's bits.
[[nodiscard]] bool AnyAlpha(const TDibInfo& info, std::string_view bits) noexcept
{
    if ((info.BitCount != 16 && info.BitCount != 32) || info.Masks[3] == 0)
        return false;
    const TChannel alpha(info.Masks[3]);
    const std::uint64_t rowBytes = DibRowBytes(info.Width, info.BitCount);
    for (int r = 0; r < info.Height; ++r) {
        const std::string_view row = bits.substr(std::size_t(rowBytes) * std::size_t(r));
        for (int x = 0; x < info.Width; ++x) {
            const std::uint32_t v =
                info.BitCount == 16 ? U16At(row, std::size_t(x) * 2) : U32At(row, std::size_t(x) * 4);
            if (alpha.Get(v) != 0)
                return true;
        }
    }
    return false;
}

/// Decodes into a target that takes pixels with Put(x, y, r, g, b, a): a TPixelSink, or a probe
/// that looks for one pixel.
template <class TTarget>
class TDibDecoder {
public:
    TDibDecoder(const TDibInfo& info, std::string_view header, std::string_view bits, TTarget& target) noexcept
        : Info(info), Header(header), Bits(bits), Target(target)
    {
    }

    /// Stored rows first .. first + count - 1 (stored order: bottom up unless top-down).
    void DecodePlain(int first, int count) noexcept;
    /// Rows are counted from the bottom; decoding stops once `rows` rows are done.
    void DecodeRunLength(std::int64_t rows) noexcept;

private:
    bool PutIndex(std::int64_t x, std::int64_t y, unsigned index) noexcept
    {
        if (x < 0 || x >= Info.Width || y < 0 || y >= Info.Height)
            return true;
        if (int(index) >= Info.PaletteCount)
            return Target.Put(int(x), int(y), 0, 0, 0, 255);
        const std::size_t at = Info.PaletteOffset + std::size_t(index) * std::size_t(Info.PaletteEntrySize);
        return Target.Put(int(x), int(y), U8At(Header, at + 2), U8At(Header, at + 1), U8At(Header, at), 255);
    }

    const TDibInfo& Info;
    std::string_view Header;
    std::string_view Bits;
    TTarget& Target;
};

template <class TTarget>
void TDibDecoder<TTarget>::DecodePlain(int first, int count) noexcept
{
    const std::uint64_t rowBytes = DibRowBytes(Info.Width, Info.BitCount);
    const TChannel red(Info.Masks[0]);
    const TChannel green(Info.Masks[1]);
    const TChannel blue(Info.Masks[2]);
    const TChannel alpha(Info.Masks[3]);
    // The fourth byte of most 32-bit bitmaps is unused and zero; only a picture that puts
    // something there has an alpha channel. Without one, every pixel is opaque.
    const bool withAlpha = AnyAlpha(Info, Bits);
    for (int r = first; r < first + count; ++r) {
        const std::string_view row = Bits.substr(std::size_t(rowBytes) * std::size_t(r));
        const int y = Info.TopDown ? r : Info.Height - 1 - r;
        for (int x = 0; x < Info.Width; ++x) {
            bool ok = true;
            switch (Info.BitCount) {
            case 1:
                ok = PutIndex(x, y, (U8At(row, std::size_t(x) >> 3) >> (7 - (x & 7))) & 1);
                break;
            case 4:
                ok = PutIndex(x, y, (U8At(row, std::size_t(x) >> 1) >> ((x & 1) ? 0 : 4)) & 0x0F);
                break;
            case 8:
                ok = PutIndex(x, y, U8At(row, std::size_t(x)));
                break;
            case 24: {
                const std::size_t at = std::size_t(x) * 3;
                ok = Target.Put(x, y, U8At(row, at + 2), U8At(row, at + 1), U8At(row, at), 255);
                break;
            }
            default: {
                const std::uint32_t v =
                    Info.BitCount == 16 ? U16At(row, std::size_t(x) * 2) : U32At(row, std::size_t(x) * 4);
                ok = Target.Put(x, y, red.Get(v), green.Get(v), blue.Get(v), withAlpha ? alpha.Get(v) : 255);
                break;
            }
            }
            if (!ok)
                return;
        }
    }
}

template <class TTarget>
void TDibDecoder<TTarget>::DecodeRunLength(std::int64_t rows) noexcept
{
    // Rows are counted from the bottom. Pixels the data never reaches stay transparent.
    const bool rle8 = Info.Compression == dibRLE8;
    std::int64_t x = 0;
    std::int64_t row = 0;
    bool ok = true;
    auto put = [&](unsigned index) {
        ok = PutIndex(x, Info.Height - 1 - row, index) && ok;
        ++x;
    };
    std::size_t pos = 0;
    while (ok && pos + 1 < Bits.size() && row < rows) {
        const unsigned count = U8At(Bits, pos);
        const unsigned value = U8At(Bits, pos + 1);
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(rle8 ? value : ((i & 1) ? value & 0x0F : value >> 4));
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (pos + 1 >= Bits.size())
                break;
            x += U8At(Bits, pos);
            row += U8At(Bits, pos + 1);
            pos += 2;
        } else {
            const std::size_t dataBytes = rle8 ? value : (value + 1) / 2;
            for (unsigned i = 0; i < value; ++i) {
                const std::size_t at = pos + (rle8 ? i : i / 2);
                if (at >= Bits.size())
                    break;
                const unsigned byte = U8At(Bits, at);
                put(rle8 ? byte : ((i & 1) ? byte & 0x0F : byte >> 4));
            }
            pos += dataBytes + (dataBytes & 1); // absolute runs are padded to whole words
        }
    }
}

/// Keeps the colour of one pixel and ignores the others.
struct TPixelProbe {
    int X = 0;
    int Y = 0;
    std::uint32_t Rgb = 0; ///< 0xRRGGBB; black where the data never reaches

    bool Put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t) noexcept
    {
        if (x == X && y == Y)
            Rgb = (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
        return true;
    }
};

} // namespace

std::uint64_t DibMinimumBits(const TDibInfo& info) noexcept
{
    if (info.Height <= 0)
        return 0;
    const std::uint64_t lastRow = (std::uint64_t(info.Width) * std::uint64_t(info.BitCount) + 7) / 8;
    return DibRowBytes(info.Width, info.BitCount) * std::uint64_t(info.Height - 1) + lastRow;
}

bool DibBitsPlausible(const TDibInfo& info, std::uint64_t available) noexcept
{
    if (!info.Compressed())
        return available >= DibMinimumBits(info);
    return available >= 2 &&
           PixelsBackedByData(std::int64_t(info.Width) * info.Height, std::int64_t(available), RunLengthPixelsPerByte);
}

bool ReadDibHeader(std::string_view dib, bool iconImage, TDibInfo& info) noexcept
{
    info = TDibInfo{};
    if (!Fits(dib, 0, 4))
        return false;
    const std::uint32_t size = U32At(dib, 0);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masksEnd = size;
    if (size == CoreHeaderSize) {
        if (!Fits(dib, 0, size) || U16At(dib, 8) != 1)
            return false;
        width = U16At(dib, 4);
        height = U16At(dib, 6);
        info.BitCount = U16At(dib, 10);
        info.PaletteEntrySize = 3;
        if (info.BitCount != 1 && info.BitCount != 4 && info.BitCount != 8 && info.BitCount != 24)
            return false;
    } else if (KnownInfoHeaderSize(size)) {
        if (!Fits(dib, 0, size) || U16At(dib, 12) != 1)
            return false;
        width = I32At(dib, 4);
        height = I32At(dib, 8);
        info.BitCount = U16At(dib, 14);
        info.Compression = U32At(dib, 16);
        colorsUsed = U32At(dib, 32);
        if (height < 0) {
            info.TopDown = true;
            height = -height; // a 64-bit value, so INT_MIN cannot overflow; it fails the size check
        }
        if (!CompressionFits(info.Compression, info.BitCount, info.TopDown) || colorsUsed > 256)
            return false;
    } else {
        return false;
    }

    if (iconImage)
        height /= 2;
    if (!PictureSizeAllowed(width, height))
        return false;
    info.Width = int(width);
    info.Height = int(height);

    const bool bitFields = info.Compression == dibBitFields || info.Compression == dibAlphaBitFields;
    if (bitFields) {
        if (size == 40) {
            masksEnd = info.Compression == dibAlphaBitFields ? 56 : 52;
            if (!Fits(dib, 0, masksEnd))
                return false;
        }
        for (std::uint32_t i = 0; i < 4; ++i)
            info.Masks[i] = 40 + 4 * i + 4 <= masksEnd ? U32At(dib, 40 + 4 * i) : 0;
    } else if (info.BitCount == 16) {
        info.Masks[0] = 0x7C00;
        info.Masks[1] = 0x03E0;
        info.Masks[2] = 0x001F;
    } else if (info.BitCount == 32) {
        info.Masks[0] = 0x00FF0000;
        info.Masks[1] = 0x0000FF00;
        info.Masks[2] = 0x000000FF;
        info.Masks[3] = 0xFF000000;
    }

    // Bitmaps of up to 8 bits per pixel index a colour table; deeper ones may carry one as a
    // hint for palette devices, which is skipped.
    std::uint32_t tableEntries = colorsUsed;
    if (info.BitCount <= 8) {
        if (tableEntries == 0)
            tableEntries = 1u << info.BitCount;
        info.PaletteCount = int(tableEntries);
    }
    info.PaletteOffset = masksEnd;
    info.HeaderEnd = masksEnd + tableEntries * std::uint32_t(info.PaletteEntrySize);
    return Fits(dib, 0, info.HeaderEnd);
}

bool DecodeDib(const TDibInfo& info, std::string_view header, std::string_view bits, TPixelSink& sink) noexcept
{
    if (!Fits(header, 0, info.HeaderEnd))
        return false;
    if (!info.Compressed() && bits.size() < DibMinimumBits(info))
        return false;
    if (sink.Width() != info.Width || sink.Height() != info.Height)
        return false;
    TDibDecoder decoder(info, header, bits, sink);
    if (info.Compressed())
        decoder.DecodeRunLength(info.Height);
    else
        decoder.DecodePlain(0, info.Height);
    return true;
}

bool DibBottomLeftColor(const TDibInfo& info, std::string_view header, std::string_view bits,
                        std::uint32_t& rgb) noexcept
{
    if (!Fits(header, 0, info.HeaderEnd) || info.Width <= 0 || info.Height <= 0)
        return false;
    if (!info.Compressed() && bits.size() < DibMinimumBits(info))
        return false;
    TPixelProbe probe{0, info.Height - 1};
    TDibDecoder decoder(info, header, bits, probe);
    if (info.Compressed())
        decoder.DecodeRunLength(1);
    else
        decoder.DecodePlain(info.TopDown ? info.Height - 1 : 0, 1);
    rgb = probe.Rgb;
    return true;
}

} // namespace xq

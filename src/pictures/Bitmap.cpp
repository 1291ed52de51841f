// TBitmap: BMP file header checks, decoding through the DIB reader, and the transparent colour.
#include "pictures/Bitmap.h"

namespace xq {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;

/// 0x00BBGGRR as 0xRRGGBB.
[[nodiscard]] constexpr std::uint32_t ToRgb(TColor color) noexcept
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

[[nodiscard]] constexpr TColor FromRgb(std::uint32_t rgb) noexcept
{
    return ToRgb(TColor(rgb));
}

} // namespace

bool TBitmap::ReadHeader(std::string_view bytes, int& width, int& height)
{
    Info_ = TDibInfo{};
    BitsOffset_ = 0;
    if (!Fits(bytes, 0, FileHeaderSize) || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const std::string_view dib = bytes.substr(FileHeaderSize);
    TDibInfo info;
    if (!ReadDibHeader(dib, false, info))
        return false;
    // The pixels start where the file header says; writers that leave the offset at zero put
    // them right after the colour table. An offset into the headers is a lie.
    std::uint64_t offset = U32At(bytes, 10);
    if (offset == 0)
        offset = FileHeaderSize + std::uint64_t(info.HeaderEnd);
    if (offset < FileHeaderSize + std::uint64_t(U32At(dib, 0)) || offset > bytes.size())
        return false;
    if (!DibBitsPlausible(info, bytes.size() - offset))
        return false;
    Info_ = info;
    BitsOffset_ = std::uint32_t(offset);
    width = info.Width;
    height = info.Height;
    return true;
}

bool TBitmap::DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const
{
    image = TRGBAImage{};
    if (Empty())
        return false;
    const std::string_view bytes = Bytes();
    const std::string_view header = bytes.substr(FileHeaderSize);
    const std::string_view bits = bytes.substr(BitsOffset_);
    TPixelSink sink;
    if (!sink.Start(Info_.Width, Info_.Height, reduction, TPixelSink::TOrder::Rows))
        return false;
    // The transparent colour is taken out pixel by pixel, before pixels are averaged.
    if (Transparent_) {
        std::uint32_t key = 0;
        if (FixedColor_)
            key = ToRgb(ColorToRGB(*FixedColor_));
        else if (!DibBottomLeftColor(Info_, header, bits, key))
            return false;
        sink.SetColorKey(key);
    }
    return DecodeDib(Info_, header, bits, sink) && sink.Finish(image);
}

TColor TBitmap::TransparentColor() const
{
    if (FixedColor_)
        return ColorToRGB(*FixedColor_);
    std::uint32_t rgb = 0;
    if (Empty() || !DibBottomLeftColor(Info_, Bytes().substr(FileHeaderSize), Bytes().substr(BitsOffset_), rgb))
        return clNone;
    return FromRgb(rgb);
}

} // namespace xq

// TBitmap: BMP file header checks, decoding through the DIB reader, and the transparent colour.
#include "pictures/Bitmap.h"

namespace xq {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;

[[nodiscard]] TColor PixelColor(const TRGBAImage& image, int x, int y) noexcept
{
    const std::uint8_t* p = image.Pixels.data() + (std::size_t(y) * std::size_t(image.Width) + std::size_t(x)) * 4;
    return TColor(p[0]) | (TColor(p[1]) << 8) | (TColor(p[2]) << 16);
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

bool TBitmap::DecodeOpaque(TRGBAImage& image) const
{
    if (Empty())
        return false;
    const std::string_view bytes = Bytes();
    return DecodeDib(Info_, bytes.substr(FileHeaderSize), bytes.substr(BitsOffset_), image);
}

bool TBitmap::Decode(TRGBAImage& image) const
{
    if (!DecodeOpaque(image))
        return false;
    if (!Transparent_)
        return true;
    const TColor key = FixedColor_ ? ColorToRGB(*FixedColor_) : PixelColor(image, 0, image.Height - 1);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (PixelColor(image, x, y) == key)
                image.Pixels[(std::size_t(y) * std::size_t(image.Width) + std::size_t(x)) * 4 + 3] = 0;
    return true;
}

TColor TBitmap::TransparentColor() const
{
    if (FixedColor_)
        return ColorToRGB(*FixedColor_);
    TRGBAImage image;
    if (!DecodeOpaque(image))
        return clNone;
    return PixelColor(image, 0, image.Height - 1);
}

} // namespace xq

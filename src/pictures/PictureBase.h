// Common ground of the picture kinds: the kept byte stream, the natural size, size limits, byte reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "document/Graphic.h"

namespace xq {

/// No picture side may exceed this many pixels, and no picture may have more than
/// MaxPicturePixels pixels; headers that claim more are refused before anything is allocated.
inline constexpr int MaxPictureSide = 65535;
inline constexpr std::int64_t MaxPicturePixels = 100'000'000;

[[nodiscard]] constexpr bool PictureSizeAllowed(std::int64_t width, std::int64_t height) noexcept
{
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

/// Pictures of up to this many pixels are decoded whatever their data holds. Beyond it, a picture
/// whose data (or first frame) is far too small for the size its header claims is not believed,
/// so that a few bytes cannot make the program allocate hundreds of megabytes.
inline constexpr std::int64_t UncheckedPixels = 4'000'000;

/// True when `pixels` is harmless, or at most `ratio` times `backing` (the bytes or pixels the
/// data really holds).
[[nodiscard]] constexpr bool PixelsBackedByData(std::int64_t pixels, std::int64_t backing, std::int64_t ratio) noexcept
{
    return pixels <= UncheckedPixels || pixels / ratio <= backing;
}

/// Pixels of a picture as painting uses them.
struct TDecodedPicture {
    TRGBAImage Image;
    /// Some pixel is not fully opaque (what lies behind shows through).
    bool HasTransparency = false;
};

/// A picture kind that keeps the bytes it was loaded from and knows its size from their headers.
/// Decoding is left until Decode is asked for.
class TEncodedPicture : public TGraphic {
public:
    [[nodiscard]] int Width() const override { return Width_; }
    [[nodiscard]] int Height() const override { return Height_; }
    [[nodiscard]] bool Empty() const override { return Bytes_.empty(); }
    bool LoadFromBytes(std::string_view bytes) final;
    [[nodiscard]] std::string SaveToBytes() const override { return Bytes_; }

    /// The decoded pixels, decoded on first use and kept until the picture is loaded again or a
    /// setting that changes its pixels changes (copies share them); null when the picture cannot
    /// be decoded, which is remembered as well. Painting asks for this on every paint.
    /// Not synchronised: a picture is painted by one thread at a time.
    [[nodiscard]] std::shared_ptr<const TDecodedPicture> Decoded() const;

protected:
    /// Checks the kind's headers and gives the natural size; the kind may remember what it
    /// learnt about the layout. False when the bytes are not a picture of this kind.
    virtual bool ReadHeader(std::string_view bytes, int& width, int& height) = 0;
    [[nodiscard]] std::string_view Bytes() const noexcept { return Bytes_; }
    /// Drops the kept pixels; kinds call it when a setting changes what Decode gives.
    void ForgetDecoded() noexcept
    {
        Decoded_.reset();
        DecodeFailed_ = false;
    }

private:
    std::string Bytes_;
    int Width_ = 0;
    int Height_ = 0;
    mutable std::shared_ptr<const TDecodedPicture> Decoded_;
    mutable bool DecodeFailed_ = false;
};

/// The pixels of any picture: kept by the picture for the kinds that keep their bytes, decoded
/// afresh for others; null when it cannot be decoded.
[[nodiscard]] std::shared_ptr<const TDecodedPicture> DecodedPicture(const TGraphic& picture);

// Little-endian reading. The caller has checked that the bytes are there (see Fits).
[[nodiscard]] inline bool Fits(std::string_view bytes, std::uint64_t at, std::uint64_t count) noexcept
{
    return at <= bytes.size() && count <= bytes.size() - at;
}
[[nodiscard]] inline std::uint8_t U8At(std::string_view b, std::size_t at) noexcept
{
    return static_cast<std::uint8_t>(b[at]);
}
[[nodiscard]] inline std::uint16_t U16At(std::string_view b, std::size_t at) noexcept
{
    return static_cast<std::uint16_t>(U8At(b, at) | (U8At(b, at + 1) << 8));
}
[[nodiscard]] inline std::uint32_t U32At(std::string_view b, std::size_t at) noexcept
{
    return std::uint32_t(U16At(b, at)) | (std::uint32_t(U16At(b, at + 2)) << 16);
}
[[nodiscard]] inline std::int16_t I16At(std::string_view b, std::size_t at) noexcept
{
    return static_cast<std::int16_t>(U16At(b, at));
}
[[nodiscard]] inline std::int32_t I32At(std::string_view b, std::size_t at) noexcept
{
    return static_cast<std::int32_t>(U32At(b, at));
}
[[nodiscard]] inline std::uint32_t U32BigAt(std::string_view b, std::size_t at) noexcept
{
    return (std::uint32_t(U8At(b, at)) << 24) | (std::uint32_t(U8At(b, at + 1)) << 16) |
           (std::uint32_t(U8At(b, at + 2)) << 8) | U8At(b, at + 3);
}

/// Sizes the image to width x height, all pixels transparent black. False when the size is
/// not allowed or the memory is not there.
[[nodiscard]] bool AllocateImage(TRGBAImage& image, int width, int height) noexcept;

/// Makes room for the first `rows` rows of an image whose Width and Height are set, so that a
/// decoder only holds as much memory as the data it has actually decoded. False without memory.
[[nodiscard]] bool GrowImageRows(TRGBAImage& image, int rows) noexcept;

inline void PutPixel(TRGBAImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                     std::uint8_t a) noexcept
{
    std::uint8_t* p = image.Pixels.data() + (std::size_t(y) * std::size_t(image.Width) + std::size_t(x)) * 4;
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

} // namespace xq

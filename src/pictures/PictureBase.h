// Common ground of the picture kinds: the kept byte stream, the natural size, size limits, byte reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/Graphic.h"

namespace xq {

/// No picture side may exceed this many pixels, and no picture may have more than
/// MaxPicturePixels pixels; headers that claim more are refused before anything is allocated,
/// and a document shows such a picture as its invalid picture (keeping its bytes).
/// 8192 x 8192 pixels decode to 256 MB, the whole budget of the picture cache: larger than any
/// camera picture of today, and small enough that the one picture being decoded and the cache
/// together stay far below a gigabyte.
inline constexpr int MaxPictureSide = 65535;
inline constexpr std::int64_t MaxPicturePixels = std::int64_t(8192) * 8192;

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

/// How much smaller than its natural size a picture is decoded: every block of X x Y pixels
/// becomes one pixel, their average. Both are powers of two from 1 to MaxReduction; decoders
/// refuse others.
struct TDecodeReduction {
    static constexpr int MaxReduction = 256;
    int X = 1;
    int Y = 1;

    [[nodiscard]] bool Natural() const noexcept { return X == 1 && Y == 1; }
    /// A picture decoded with this reduction serves one that asks for `other` as well: it has at
    /// least as many pixels on both sides.
    [[nodiscard]] bool Serves(TDecodeReduction other) const noexcept { return X <= other.X && Y <= other.Y; }
    friend bool operator==(TDecodeReduction, TDecodeReduction) = default;
};

/// The side of a picture of `natural` pixels decoded `factor` times smaller, rounded up.
[[nodiscard]] constexpr int ReducedSide(int natural, int factor) noexcept
{
    return natural <= 0 ? 0 : (natural - 1) / factor + 1;
}

/// The largest reduction that still leaves a picture of width x height at least as many pixels
/// as a target of targetWidth x targetHeight device pixels, on each side by itself: drawing it
/// there only ever scales down by less than half.
[[nodiscard]] TDecodeReduction ReductionFor(int width, int height, int targetWidth, int targetHeight) noexcept;

/// Takes the pixels of a picture at the size its decoder gives them and keeps them reduced, so
/// that a decoder never needs memory for more than the reduced image (and, for pixels in no
/// particular order, the sums behind it).
///
/// With TOrder::Rows the decoder delivers whole rows, the rows in order (top down or bottom up):
/// then only one band of Y rows is being summed at a time, and the image grows band by band
/// with the rows that really arrive. With TOrder::Any pixels may come in any order, each at
/// most once; the image and the sums are allocated at the start. Pixels that never arrive are
/// transparent black. Sums are of alpha-weighted colour, so transparent pixels lend no colour.
class TPixelSink {
public:
    enum class TOrder { Rows, Any };

    /// Prepares for a picture of width x height given pixels. False when the size is not
    /// allowed or the memory is not there.
    [[nodiscard]] bool Start(int width, int height, TDecodeReduction reduction, TOrder order) noexcept;
    /// Pixels of this colour (0xRRGGBB) arrive transparent: bitmaps with a transparent colour.
    /// Set after Start.
    void SetColorKey(std::uint32_t rgb) noexcept
    {
        Keyed_ = true;
        Key_ = rgb;
    }
    [[nodiscard]] int Width() const noexcept { return Width_; }
    [[nodiscard]] int Height() const noexcept { return Height_; }

    /// One pixel, at given coordinates; outside the picture it is ignored. False when the memory
    /// for the rows it needs is not there (then the sink fails as a whole).
    bool Put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) noexcept
    {
        if (x < 0 || y < 0 || x >= Width_ || y >= Height_ || Failed_)
            return !Failed_;
        if (Keyed_ && ((std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b) == Key_)
            a = 0;
        if (Reduction_.Natural()) {
            if (y >= RowsHeld_ && !GrowTo(y))
                return false;
            std::uint8_t* p = Image_.Pixels.data() + (std::size_t(y) * std::size_t(Width_) + std::size_t(x)) * 4;
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = a;
            return true;
        }
        std::uint32_t* s = BandSums(y);
        if (!s)
            return false;
        s += std::size_t(x >> ShiftX_) * 4;
        s[0] += std::uint32_t(r) * a;
        s[1] += std::uint32_t(g) * a;
        s[2] += std::uint32_t(b) * a;
        s[3] += a;
        return true;
    }
    /// A whole row of Width() RGBA pixels.
    bool PutRow(int y, const std::uint8_t* rgba) noexcept;
    /// The reduced picture; false (and an empty image) when the sink failed.
    [[nodiscard]] bool Finish(TRGBAImage& image) noexcept;

private:
    /// Makes room for the reduced rows up to `row`.
    bool GrowTo(int row) noexcept;
    /// The sums of the band that row y belongs to; null when the sink failed.
    std::uint32_t* BandSums(int y) noexcept
    {
        const int band = y >> ShiftY_;
        if (Order_ == TOrder::Any)
            return Sums_.data() + std::size_t(band) * std::size_t(ReducedWidth_) * 4;
        if (band != Band_ && !FlushBand(band))
            return nullptr;
        return Sums_.data();
    }
    bool FlushBand(int next) noexcept;
    void WriteSums(const std::uint32_t* sums, int band) noexcept;

    int Width_ = 0;
    int Height_ = 0;
    int ReducedWidth_ = 0;
    int ReducedHeight_ = 0;
    TDecodeReduction Reduction_;
    int ShiftX_ = 0; ///< log2 of the reduction
    int ShiftY_ = 0;
    TOrder Order_ = TOrder::Rows;
    bool Keyed_ = false;
    std::uint32_t Key_ = 0;
    bool Failed_ = true;
    int Band_ = -1; ///< the band being summed (TOrder::Rows)
    /// Premultiplied red, green, blue and alpha per reduced pixel: of one band (TOrder::Rows)
    /// or of the whole reduced image (TOrder::Any). A block has at most 65536 pixels, so even
    /// 255 * 255 per pixel fits.
    std::vector<std::uint32_t> Sums_;
    TRGBAImage Image_; ///< of the reduced size; only its first RowsHeld_ rows are allocated
    int RowsHeld_ = 0;
};

/// The image reduced, box by box, as a TPixelSink does it. False without memory.
[[nodiscard]] bool ReduceImage(const TRGBAImage& natural, TDecodeReduction reduction, TRGBAImage& reduced) noexcept;

class TDecodeSlot;

/// A picture kind that keeps the bytes it was loaded from and knows its size from their headers.
/// Decoding is left until painting asks for pixels, and then goes no larger than the painting
/// needs; the pixels are kept in the program's picture cache (PictureCache.h) within its budget.
class TEncodedPicture : public TGraphic {
public:
    [[nodiscard]] int Width() const override { return Width_; }
    [[nodiscard]] int Height() const override { return Height_; }
    [[nodiscard]] bool Empty() const override { return Bytes_.empty(); }
    bool LoadFromBytes(std::string_view bytes) final;
    [[nodiscard]] std::string SaveToBytes() const override { return Bytes_; }
    /// The pixels at the natural size.
    bool Decode(TRGBAImage& image) const final { return DecodeReduced(image, {}); }
    /// The pixels reduced: ReducedSide(Width(), reduction.X) x ReducedSide(Height(), reduction.Y).
    /// False (and an empty image) when the picture cannot be decoded. Not kept.
    virtual bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const = 0;

    /// The pixels with at least the given reduction's size, from the picture cache or decoded
    /// now and kept there; kept until the picture is loaded again, a setting that changes its
    /// pixels changes, or the cache needs the room. Copies share them. Null when the picture
    /// cannot be decoded, which is remembered as well.
    [[nodiscard]] std::shared_ptr<const TDecodedPicture> Decoded(TDecodeReduction reduction = {}) const;
    /// The pixels for drawing into a target of targetWidth x targetHeight device pixels:
    /// Decoded with ReductionFor the target.
    [[nodiscard]] std::shared_ptr<const TDecodedPicture> DecodedFor(int targetWidth, int targetHeight) const;

protected:
    TEncodedPicture() = default;
    TEncodedPicture(const TEncodedPicture&) = default;
    TEncodedPicture& operator=(const TEncodedPicture&) = default;
    ~TEncodedPicture() override;

    /// Checks the kind's headers and gives the natural size; the kind may remember what it
    /// learnt about the layout. False when the bytes are not a picture of this kind.
    virtual bool ReadHeader(std::string_view bytes, int& width, int& height) = 0;
    [[nodiscard]] std::string_view Bytes() const noexcept { return Bytes_; }
    /// Drops the kept pixels; kinds call it when a setting changes what Decode gives. Copies
    /// made from now on share the new slot.
    void ForgetDecoded();

private:
    std::string Bytes_;
    int Width_ = 0;
    int Height_ = 0;
    /// Where the cache keeps this picture's pixels; shared by copies with the same bytes and
    /// settings, so that they are decoded and kept once.
    std::shared_ptr<TDecodeSlot> Slot_;
};

/// The pixels of any picture at its natural size: from the picture cache for the kinds that
/// keep their bytes, decoded afresh for others; null when it cannot be decoded.
[[nodiscard]] std::shared_ptr<const TDecodedPicture> DecodedPicture(const TGraphic& picture);
/// The pixels of any picture for drawing into targetWidth x targetHeight device pixels.
[[nodiscard]] std::shared_ptr<const TDecodedPicture> DecodedPicture(const TGraphic& picture, int targetWidth,
                                                                    int targetHeight);

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

// TBitmap: a BMP file, drawn with optional transparency of one colour.
#pragma once

#include <optional>

#include "pictures/Dib.h"
#include "platform/Color.h"

namespace xq {

/// A BMP file: a file header, then a DIB (core, info, V4 or V5 header; 1 to 32 bits per pixel;
/// plain, run-length or bit-field pixels; rows bottom-up or top-down). Loading checks the headers
/// and that the pixel data can be what they describe (DibBitsPlausible); decoding is left to Decode.
///
/// A transparent bitmap draws one colour as transparent: by default the colour of its bottom-left
/// pixel, or a fixed colour given with SetTransparentColor. The bytes are never changed by it.
class TBitmap final : public TEncodedPicture {
public:
    [[nodiscard]] std::string ClassName() const override { return "TBitmap"; }
    bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const override;
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBitmap>(*this); }

    void SetTransparent(bool value) override
    {
        if (value != Transparent_) {
            Transparent_ = value;
            ForgetDecoded();
        }
    }
    [[nodiscard]] bool Transparent() const noexcept { return Transparent_; }
    /// Fixed mode: this colour (system colours resolved) becomes transparent instead of the
    /// bottom-left pixel's.
    void SetTransparentColor(TColor color) noexcept
    {
        if (FixedColor_ != color) {
            FixedColor_ = color;
            ForgetDecoded();
        }
    }
    /// Back to the bottom-left pixel's colour.
    void SetTransparentColorAuto() noexcept
    {
        if (FixedColor_) {
            FixedColor_.reset();
            ForgetDecoded();
        }
    }
    [[nodiscard]] bool TransparentColorFixed() const noexcept { return FixedColor_.has_value(); }
    /// The colour drawn transparent when Transparent is set, as 0x00BBGGRR: the fixed colour, or
    /// the bottom-left pixel's colour; clNone for a bitmap that cannot be decoded.
    [[nodiscard]] TColor TransparentColor() const;

    /// The header's facts, valid while the bitmap is not empty.
    [[nodiscard]] const TDibInfo& Info() const noexcept { return Info_; }

protected:
    bool ReadHeader(std::string_view bytes, int& width, int& height) override;

private:
    TDibInfo Info_;
    std::uint32_t BitsOffset_ = 0;
    bool Transparent_ = false;
    std::optional<TColor> FixedColor_;
};

} // namespace xq

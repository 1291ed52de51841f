// TPNGObject: a PNG file, decoded with libpng.
#pragma once

#include "pictures/PictureBase.h"

namespace xq {

/// A PNG file. Loading checks the signature and the image header (fields and checksum) and that
/// the file is long enough for its size; the pixels are decoded when drawn, reduced while they are read when drawn smaller.
class TPNGObject final : public TEncodedPicture {
public:
    [[nodiscard]] std::string ClassName() const override { return "TPNGObject"; }
    bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const override;
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TPNGObject>(*this); }

protected:
    bool ReadHeader(std::string_view bytes, int& width, int& height) override;
};

/// The PNG signature, for recognising PNG data in other containers.
[[nodiscard]] bool HasPngSignature(std::string_view bytes) noexcept;
/// Checks a PNG stream's signature and image header and gives its size.
[[nodiscard]] bool ReadPngSize(std::string_view bytes, int& width, int& height) noexcept;
/// Decodes a whole PNG stream to straight-alpha RGBA, reduced as asked; false (and an empty
/// image) on any error.
[[nodiscard]] bool DecodePng(std::string_view bytes, TRGBAImage& image, TDecodeReduction reduction = {}) noexcept;

} // namespace xq

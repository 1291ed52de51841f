// TGIFImage: a GIF file, decoded with giflib; the first frame is the picture.
#pragma once

#include "pictures/PictureBase.h"

namespace xq {

/// A GIF file (87a or 89a). Its size is the logical screen's, or the first frame's when the
/// screen gives none. Decode draws the first frame onto a transparent screen, with the
/// transparent colour index of the graphic control block that precedes it. A large screen
/// (over UncheckedPixels) more than 256 times the first frame's area is not believed.
class TGIFImage final : public TEncodedPicture {
public:
    [[nodiscard]] std::string ClassName() const override { return "TGIFImage"; }
    bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const override;
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TGIFImage>(*this); }

protected:
    bool ReadHeader(std::string_view bytes, int& width, int& height) override;
};

} // namespace xq

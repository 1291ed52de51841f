// TJPEGImage: a JPEG file, decoded with libjpeg.
#pragma once

#include "pictures/PictureBase.h"

namespace xq {

/// A JPEG file (JFIF, Exif or Adobe; grey, YCbCr, RGB, CMYK or YCCK). Loading reads the markers
/// up to the first scan and refuses a large frame that the file is far too short to hold; the
/// pixels are decoded when drawn, by libjpeg itself at 1/2, 1/4 or 1/8 of the size when drawn
/// smaller. Data that ends before the last row does not decode.
class TJPEGImage final : public TEncodedPicture {
public:
    [[nodiscard]] std::string ClassName() const override { return "TJPEGImage"; }
    bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const override;
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TJPEGImage>(*this); }

protected:
    bool ReadHeader(std::string_view bytes, int& width, int& height) override;
};

} // namespace xq

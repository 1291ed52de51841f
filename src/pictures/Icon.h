// TIcon: an icon file with one or more images, each a DIB with its mask or a PNG stream.
#pragma once

#include "pictures/PictureBase.h"

namespace xq {

/// An icon file. It stands for its largest image (by area, then by colour depth, then the first
/// in the directory): that is the size it reports and the image it draws, so it loses the least
/// when scaled. Images whose data does not hold together are passed over; a file without any
/// usable image is not an icon.
class TIcon final : public TEncodedPicture {
public:
    [[nodiscard]] std::string ClassName() const override { return "TIcon"; }
    bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const override;
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TIcon>(*this); }

    /// The number of images in the directory and the one this icon stands for.
    [[nodiscard]] int ImageCount() const noexcept { return ImageCount_; }
    [[nodiscard]] int ChosenImage() const noexcept { return Chosen_; }

protected:
    bool ReadHeader(std::string_view bytes, int& width, int& height) override;

private:
    int ImageCount_ = 0;
    int Chosen_ = -1;
    std::uint32_t Offset_ = 0; ///< of the chosen image's data
    std::uint32_t Size_ = 0;
};

} // namespace xq

// TMetafile: a Windows metafile (with or without placeable header) or an enhanced metafile, kept as bytes.
#pragma once

#include "pictures/PictureBase.h"

namespace xq {

/// A metafile. Its records are kept but not played; it draws as a framed placeholder of its size.
/// The size, in 96-dpi pixels, comes from:
/// - a placeable header: its bounding box, in the header's units per inch;
/// - a Windows metafile without one: the first SetWindowExt record, read as 1440 units per inch
///   (0 x 0 when there is none);
/// - an enhanced metafile: the header's frame rectangle, in hundredths of a millimetre.
class TMetafile final : public TEncodedPicture {
public:
    /// The placeholder is never drawn larger than this on either side.
    static constexpr int PlaceholderMaxSide = 2048;

    [[nodiscard]] std::string ClassName() const override { return "TMetafile"; }
    /// The placeholder: light grey, a dark grey one-pixel frame and both diagonals, drawn at
    /// the reduced size itself.
    bool DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const override;
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TMetafile>(*this); }

    [[nodiscard]] bool Enhanced() const noexcept { return Enhanced_; }
    [[nodiscard]] bool Placeable() const noexcept { return Placeable_; }

protected:
    bool ReadHeader(std::string_view bytes, int& width, int& height) override;

private:
    bool Enhanced_ = false;
    bool Placeable_ = false;
};

/// True when the bytes start with a Windows metafile header (placeable or not) or an enhanced
/// metafile header; only the signature fields are looked at.
[[nodiscard]] bool LooksLikeWindowsMetafile(std::string_view bytes) noexcept;
[[nodiscard]] bool LooksLikeEnhancedMetafile(std::string_view bytes) noexcept;

} // namespace xq

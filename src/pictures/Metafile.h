// TMetafile: a Windows metafile (with or without placeable header) or an enhanced metafile, kept as bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

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

/// Calls visit with the type and the bytes of each record of an enhanced metafile, in order,
/// up to and including the end-of-file record (14) or the end of the data. Stops when visit
/// returns false. False when the bytes are no enhanced metafile or a record's size is not a
/// multiple of 4, below 8 or beyond the data.
bool EnumerateEmfRecords(std::string_view emf, const std::function<bool(std::uint32_t type, std::string_view record)>& visit);

/// An enhanced metafile that only shows a bitmap: every record is one of the types 1, 9, 10, 11,
/// 14, 17, 21, 24, 25, 33, 34, 37, 48, 70, 75, 80, 81 (header, mapping, clipping, palette,
/// comments, end) and at least one is a device-independent bitmap record (80 SetDIBitsToDevice,
/// 81 StretchDIBits). Gives the BMP file (file header and DIB) of the first such record.
[[nodiscard]] bool ExtractEmfBitmap(std::string_view emf, std::string& bmpFile);

/// A BMP file of a DIB (header, colour table, pixels): the 14-byte file header in front. False when
/// the DIB header cannot be read.
[[nodiscard]] bool BmpFileFromDib(std::string_view dib, std::string& bmpFile);

} // namespace xq

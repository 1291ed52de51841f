// Common ground of the picture kinds: loading into the kept byte stream and image allocation.
#include "pictures/PictureBase.h"

#include <algorithm>
#include <new>

namespace xq {

bool TEncodedPicture::LoadFromBytes(std::string_view bytes)
{
    ForgetDecoded();
    Bytes_.clear();
    Width_ = Height_ = 0;
    int width = 0;
    int height = 0;
    if (bytes.empty() || !ReadHeader(bytes, width, height))
        return false;
    Bytes_.assign(bytes);
    Width_ = width;
    Height_ = height;
    return true;
}

namespace {

std::shared_ptr<const TDecodedPicture> DecodeNow(const TGraphic& picture)
{
    auto decoded = std::make_shared<TDecodedPicture>();
    if (!picture.Decode(decoded->Image) || decoded->Image.Empty())
        return nullptr;
    const std::vector<std::uint8_t>& px = decoded->Image.Pixels;
    for (std::size_t i = 3; i < px.size(); i += 4)
        if (px[i] != 0xFF) {
            decoded->HasTransparency = true;
            break;
        }
    return decoded;
}

} // namespace

std::shared_ptr<const TDecodedPicture> TEncodedPicture::Decoded() const
{
    if (!Decoded_ && !DecodeFailed_) {
        Decoded_ = DecodeNow(*this);
        DecodeFailed_ = !Decoded_;
    }
    return Decoded_;
}

std::shared_ptr<const TDecodedPicture> DecodedPicture(const TGraphic& picture)
{
    if (const auto* encoded = dynamic_cast<const TEncodedPicture*>(&picture))
        return encoded->Decoded();
    return DecodeNow(picture);
}

bool AllocateImage(TRGBAImage& image, int width, int height) noexcept
{
    image = TRGBAImage{};
    if (!PictureSizeAllowed(width, height))
        return false;
    try {
        image.Pixels.assign(std::size_t(width) * std::size_t(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.Width = width;
    image.Height = height;
    return true;
}

bool GrowImageRows(TRGBAImage& image, int rows) noexcept
{
    if (!PictureSizeAllowed(image.Width, image.Height) || rows < 0 || rows > image.Height)
        return false;
    const std::size_t rowBytes = std::size_t(image.Width) * 4;
    const std::size_t needed = rowBytes * std::size_t(rows);
    if (needed <= image.Pixels.size())
        return true;
    try {
        if (needed > image.Pixels.capacity()) {
            // Doubling, but never past the full image, so a complete image holds no slack.
            const std::size_t full = rowBytes * std::size_t(image.Height);
            image.Pixels.reserve(std::min(full, std::max(needed, image.Pixels.capacity() * 2)));
        }
        image.Pixels.resize(needed, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace xq

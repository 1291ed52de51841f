// TIcon: the icon directory, the choice of image, and drawing a DIB image with its mask or a PNG image.
#include "pictures/Icon.h"

#include "pictures/Dib.h"
#include "pictures/Png.h"

namespace xq {

namespace {

constexpr std::size_t DirectorySize = 6;
constexpr std::size_t EntrySize = 16;

/// Size and colour depth of one image, read from its own header.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
};

[[nodiscard]] bool ReadIconImage(std::string_view data, TIconImage& image) noexcept
{
    if (HasPngSignature(data)) {
        image.BitCount = 32;
        return ReadPngSize(data, image.Width, image.Height);
    }
    TDibInfo info;
    if (!ReadDibHeader(data, true, info))
        return false;
    if (!DibBitsPlausible(info, data.size() - info.HeaderEnd))
        return false;
    image = {info.Width, info.Height, info.BitCount};
    return true;
}

[[nodiscard]] bool FullyOpaque(const TRGBAImage& image) noexcept
{
    for (std::size_t i = 3; i < image.Pixels.size(); i += 4)
        if (image.Pixels[i] != 255)
            return false;
    return true;
}

// The 1-bit mask after the colour rows: a set bit makes the pixel transparent. Images with an
// alpha channel of their own draw with that instead; a mask cut short is left out.
void ApplyMask(const TDibInfo& info, std::string_view data, TRGBAImage& image) noexcept
{
    if (info.Compressed() || !FullyOpaque(image))
        return;
    const std::uint64_t maskStart =
        info.HeaderEnd + DibRowBytes(info.Width, info.BitCount) * std::uint64_t(info.Height);
    const std::uint64_t rowBytes = DibRowBytes(info.Width, 1);
    if (!Fits(data, maskStart, rowBytes * std::uint64_t(info.Height)))
        return;
    for (int r = 0; r < info.Height; ++r) {
        const std::size_t row = std::size_t(maskStart + rowBytes * std::uint64_t(r));
        const int y = info.TopDown ? r : info.Height - 1 - r;
        for (int x = 0; x < info.Width; ++x)
            if ((U8At(data, row + (std::size_t(x) >> 3)) >> (7 - (x & 7))) & 1)
                image.Pixels[(std::size_t(y) * std::size_t(info.Width) + std::size_t(x)) * 4 + 3] = 0;
    }
}

} // namespace

bool TIcon::ReadHeader(std::string_view bytes, int& width, int& height)
{
    ImageCount_ = 0;
    Chosen_ = -1;
    Offset_ = Size_ = 0;
    if (!Fits(bytes, 0, DirectorySize) || U16At(bytes, 0) != 0 || U16At(bytes, 2) != 1)
        return false;
    const int count = U16At(bytes, 4);
    const std::uint64_t directoryEnd = DirectorySize + EntrySize * std::uint64_t(count);
    if (count == 0 || !Fits(bytes, 0, directoryEnd))
        return false;
    TIconImage best;
    for (int i = 0; i < count; ++i) {
        const std::size_t entry = DirectorySize + EntrySize * std::size_t(i);
        const std::uint32_t size = U32At(bytes, entry + 8);
        const std::uint32_t offset = U32At(bytes, entry + 12);
        if (size == 0 || offset < directoryEnd || !Fits(bytes, offset, size))
            continue;
        TIconImage image;
        if (!ReadIconImage(bytes.substr(offset, size), image))
            continue;
        const std::int64_t area = std::int64_t(image.Width) * image.Height;
        const std::int64_t bestArea = std::int64_t(best.Width) * best.Height;
        if (Chosen_ < 0 || area > bestArea || (area == bestArea && image.BitCount > best.BitCount)) {
            Chosen_ = i;
            best = image;
            Offset_ = offset;
            Size_ = size;
        }
    }
    if (Chosen_ < 0)
        return false;
    ImageCount_ = count;
    width = best.Width;
    height = best.Height;
    return true;
}

bool TIcon::DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const
{
    image = TRGBAImage{};
    if (Empty())
        return false;
    const std::string_view data = Bytes().substr(Offset_, Size_);
    if (HasPngSignature(data))
        return DecodePng(data, image, reduction);
    // The mask goes over the pixels at their own size; the image is reduced after it.
    TDibInfo info;
    TPixelSink sink;
    TRGBAImage natural;
    if (!ReadDibHeader(data, true, info) || !sink.Start(info.Width, info.Height, {}, TPixelSink::TOrder::Rows) ||
        !DecodeDib(info, data, data.substr(info.HeaderEnd), sink) || !sink.Finish(natural))
        return false;
    ApplyMask(info, data, natural);
    if (reduction.Natural()) {
        image = std::move(natural);
        return true;
    }
    return ReduceImage(natural, reduction, image);
}

} // namespace xq

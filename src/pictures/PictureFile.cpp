// Reading a chosen picture file, and converting pictures of any kind into bitmaps.
#include "pictures/PictureFile.h"

#include <new>

#include "pictures/PictureKinds.h"
#include "platform/FileIO.h"

namespace xq {

namespace {

void PutU16(std::string& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& out, std::size_t at, std::uint32_t value)
{
    PutU16(out, at, value & 0xFFFF);
    PutU16(out, at + 2, value >> 16);
}

/// c composed over white by alpha a, rounded.
[[nodiscard]] constexpr std::uint8_t OverWhite(std::uint8_t c, std::uint8_t a) noexcept
{
    return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;

} // namespace

std::unique_ptr<TGraphic> LoadPictureFile(const std::filesystem::path& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes, MaxPictureFileBytes))
        return nullptr;
    std::unique_ptr<TGraphic> picture = LoadGraphic(bytes);
    if (!picture)
        return nullptr;
    if (picture->ClassName() != "TMetafile" && !DecodedPicture(*picture))
        return nullptr;
    return picture;
}

std::unique_ptr<TBitmap> PictureToBitmap(const TGraphic& picture)
{
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&picture)) {
        if (bitmap->Empty())
            return nullptr;
        return std::make_unique<TBitmap>(*bitmap);
    }
    const std::shared_ptr<const TDecodedPicture> decoded = DecodedPicture(picture);
    if (!decoded)
        return nullptr;
    std::string bytes;
    try {
        bytes = EncodeBmpOverWhite(decoded->Image);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto bitmap = std::make_unique<TBitmap>();
    if (bytes.empty() || !bitmap->LoadFromBytes(bytes))
        return nullptr;
    return bitmap;
}

std::string EncodeBmpOverWhite(const TRGBAImage& image)
{
    if (image.Empty() || !PictureSizeAllowed(image.Width, image.Height) ||
        image.Pixels.size() < std::size_t(image.Width) * std::size_t(image.Height) * 4)
        return {};
    const std::size_t rowBytes = DibRowBytes(image.Width, 24);
    const std::size_t bitsSize = rowBytes * std::size_t(image.Height);
    const std::size_t offset = FileHeaderSize + InfoHeaderSize;
    std::string out(offset + bitsSize, '\0');

    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, static_cast<std::uint32_t>(out.size()));
    PutU32(out, 10, static_cast<std::uint32_t>(offset));
    PutU32(out, 14, InfoHeaderSize);
    PutU32(out, 18, static_cast<std::uint32_t>(image.Width));
    PutU32(out, 22, static_cast<std::uint32_t>(image.Height)); // positive: bottom-up
    PutU16(out, 26, 1);                                         // planes
    PutU16(out, 28, 24);                                        // bits per pixel
    PutU32(out, 30, 0);                                         // uncompressed
    PutU32(out, 34, static_cast<std::uint32_t>(bitsSize));
    PutU32(out, 38, 3780); // 96 dpi in pixels per metre
    PutU32(out, 42, 3780);

    for (int y = 0; y < image.Height; ++y) {
        const std::uint8_t* from = image.Pixels.data() + std::size_t(y) * std::size_t(image.Width) * 4;
        char* to = out.data() + offset + std::size_t(image.Height - 1 - y) * rowBytes;
        for (int x = 0; x < image.Width; ++x, from += 4, to += 3) {
            const std::uint8_t a = from[3];
            to[0] = static_cast<char>(OverWhite(from[2], a));
            to[1] = static_cast<char>(OverWhite(from[1], a));
            to[2] = static_cast<char>(OverWhite(from[0], a));
        }
    }
    return out;
}

} // namespace xq

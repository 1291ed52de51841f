// The picture kinds by class name, and recognising a picture file by its first bytes.
#include "pictures/PictureKinds.h"

#include <array>

#include "pictures/Bitmap.h"
#include "pictures/Gif.h"
#include "pictures/Icon.h"
#include "pictures/Jpeg.h"
#include "pictures/Metafile.h"
#include "pictures/Png.h"

namespace xq {

namespace {

constexpr std::array<std::string_view, 6> ClassNames = {"TBitmap", "TJPEGImage", "TPNGObject",
                                                        "TGIFImage", "TIcon", "TMetafile"};

[[nodiscard]] bool StartsWith(std::string_view bytes, std::string_view prefix) noexcept
{
    return bytes.substr(0, prefix.size()) == prefix;
}

} // namespace

std::unique_ptr<TGraphic> CreateGraphic(std::string_view className)
{
    if (className == "TBitmap")
        return std::make_unique<TBitmap>();
    if (className == "TJPEGImage")
        return std::make_unique<TJPEGImage>();
    if (className == "TPNGObject")
        return std::make_unique<TPNGObject>();
    if (className == "TGIFImage")
        return std::make_unique<TGIFImage>();
    if (className == "TIcon")
        return std::make_unique<TIcon>();
    if (className == "TMetafile")
        return std::make_unique<TMetafile>();
    return nullptr;
}

bool IsKnownGraphicClass(std::string_view className) noexcept
{
    for (std::string_view name : ClassNames)
        if (name == className)
            return true;
    return false;
}

std::string DetectGraphicClass(std::string_view bytes)
{
    using namespace std::string_view_literals;
    if (StartsWith(bytes, "BM"))
        return "TBitmap";
    if (StartsWith(bytes, "\xFF\xD8\xFF"sv))
        return "TJPEGImage";
    if (HasPngSignature(bytes))
        return "TPNGObject";
    if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a"))
        return "TGIFImage";
    if (StartsWith(bytes, "\x00\x00\x01\x00"sv))
        return "TIcon";
    if (LooksLikeEnhancedMetafile(bytes) || LooksLikeWindowsMetafile(bytes))
        return "TMetafile";
    return {};
}

std::unique_ptr<TGraphic> LoadGraphic(std::string_view bytes)
{
    std::unique_ptr<TGraphic> graphic = CreateGraphic(DetectGraphicClass(bytes));
    if (!graphic || !graphic->LoadFromBytes(bytes))
        return nullptr;
    return graphic;
}

} // namespace xq

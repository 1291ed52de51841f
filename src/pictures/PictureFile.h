// Picture files the user chooses (inserted pictures, background pictures): reading one of any kind,
// and turning any picture into a bitmap.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "pictures/Bitmap.h"

namespace xq {

/// Picture files larger than this are not read at all. It is far beyond any picture a document
/// holds sensibly, and it keeps a wrong choice (a disk image, a video) from filling the memory.
inline constexpr std::size_t MaxPictureFileBytes = std::size_t(128) << 20;

/// Reads the picture file at path; its kind comes from its first bytes, whatever its extension
/// says. nullptr when the file cannot be read, is larger than MaxPictureFileBytes, is no picture
/// of a kind the program knows, or its pixels cannot be decoded (a damaged or truncated file, a
/// size beyond the picture limits). A metafile counts when its header is sound: its records are
/// never played. The pixels decoded for the check stay with the picture for painting.
[[nodiscard]] std::unique_ptr<TGraphic> LoadPictureFile(const std::filesystem::path& path);

/// A bitmap of the picture: a bitmap is copied as it is; any other kind is drawn onto a white
/// bitmap of its size (what is transparent in it shows the white). nullptr when the picture cannot
/// be decoded.
[[nodiscard]] std::unique_ptr<TBitmap> PictureToBitmap(const TGraphic& picture);

/// A BMP file of the pixels: 24 bits per pixel, rows bottom-up, every pixel composed over white
/// by its alpha. Empty for an empty image.
[[nodiscard]] std::string EncodeBmpOverWhite(const TRGBAImage& image);

} // namespace xq

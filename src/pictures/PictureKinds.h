// The picture kinds by class name, and recognising a picture file by its first bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "document/Graphic.h"

namespace xq {

/// An empty picture of the kind files name so ("TBitmap", "TJPEGImage", "TPNGObject",
/// "TGIFImage", "TIcon", "TMetafile"); nullptr for any other name.
[[nodiscard]] std::unique_ptr<TGraphic> CreateGraphic(std::string_view className);
[[nodiscard]] bool IsKnownGraphicClass(std::string_view className) noexcept;

/// The class name of the kind whose signature the bytes start with; empty when none fits.
[[nodiscard]] std::string DetectGraphicClass(std::string_view bytes);

/// The picture the bytes are, recognised by their signature; nullptr when they are none or
/// do not load.
[[nodiscard]] std::unique_ptr<TGraphic> LoadGraphic(std::string_view bytes);

} // namespace xq

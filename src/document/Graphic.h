// TGraphic: a picture held by a document (picture items, list levels, backgrounds, InvalidPicture).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"

namespace xq {

/// A picture of one of the kinds documents may hold. Each kind keeps its own byte stream,
/// so that a picture read from a file is written back unchanged.
class TGraphic {
public:
    virtual ~TGraphic() = default;

    /// The kind's class name as files store it ("TBitmap", "TPNGObject", ...).
    [[nodiscard]] virtual std::string ClassName() const = 0;
    [[nodiscard]] virtual int Width() const = 0;
    [[nodiscard]] virtual int Height() const = 0;
    [[nodiscard]] virtual bool Empty() const = 0;
    /// Takes the picture's own serialisation; false when it is not a picture of this kind
    /// (the picture is then empty).
    virtual bool LoadFromBytes(std::string_view bytes) = 0;
    /// The picture's own serialisation, exactly as loaded.
    [[nodiscard]] virtual std::string SaveToBytes() const = 0;
    /// Pixels for drawing; false when the picture cannot be decoded.
    virtual bool Decode(TRGBAImage& image) const = 0;
    [[nodiscard]] virtual std::unique_ptr<TGraphic> Clone() const = 0;
    /// Bitmaps honour transparency; other kinds ignore it.
    virtual void SetTransparent(bool) {}
};

/// Same kind, same size and byte-identical serialisation; two absent pictures are equal.
[[nodiscard]] bool GraphicsEqual(const TGraphic* a, const TGraphic* b);

} // namespace xq

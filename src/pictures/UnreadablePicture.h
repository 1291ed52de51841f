// TUnreadablePicture: picture data that could not be decoded, kept byte for byte.
#pragma once

#include <string>

#include "document/Graphic.h"

namespace xq {

/// Stands in for a picture whose data its kind cannot read. It is shown as the style sheet's
/// InvalidPicture, but its bytes are kept, so that saving the document loses nothing.
class TUnreadablePicture : public TGraphic {
public:
    TUnreadablePicture(std::string className, std::string bytes)
        : ClassName_(std::move(className)), Bytes_(std::move(bytes))
    {
    }

    [[nodiscard]] std::string ClassName() const override { return ClassName_; }
    [[nodiscard]] int Width() const override { return 0; }
    [[nodiscard]] int Height() const override { return 0; }
    [[nodiscard]] bool Empty() const override { return false; }
    bool LoadFromBytes(std::string_view bytes) override
    {
        Bytes_.assign(bytes);
        return false;
    }
    [[nodiscard]] std::string SaveToBytes() const override { return Bytes_; }
    bool Decode(TRGBAImage&) const override { return false; }
    [[nodiscard]] std::unique_ptr<TGraphic> Clone() const override
    {
        return std::make_unique<TUnreadablePicture>(ClassName_, Bytes_);
    }

private:
    std::string ClassName_;
    std::string Bytes_;
};

} // namespace xq

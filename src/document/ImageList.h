// TRVImageList: a numbered set of equal-sized images that bullets, hotspots and list levels refer to.
#pragma once

#include <cstdint>

namespace xq {

/// Documents refer to an image list by its tag; the application supplies the lists.
class TRVImageList {
public:
    TRVImageList(std::int32_t tag, int width, int height, int count) noexcept
        : Tag(tag), Width(width), Height(height), Count(count)
    {
    }

    std::int32_t Tag;
    int Width;
    int Height;
    int Count;
};

} // namespace xq

// TGIFImage: reading the first frame of a GIF through giflib's record interface, from memory.
#include "pictures/Gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <new>
#include <vector>

namespace xq {

namespace {

constexpr std::int64_t ScreenPixelsPerFramePixel = 256;

struct TGifSource {
    std::string_view Bytes;
    std::size_t Pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count)
{
    auto* source = static_cast<TGifSource*>(gif->UserData);
    if (count <= 0)
        return 0;
    const std::size_t n = std::min(std::size_t(count), source->Bytes.size() - source->Pos);
    std::memcpy(out, source->Bytes.data() + source->Pos, n);
    source->Pos += n;
    return int(n);
}

struct TGifCloser {
    void operator()(GifFileType* gif) const noexcept
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using TGifHandle = std::unique_ptr<GifFileType, TGifCloser>;

/// The first frame, read up to its pixel data.
struct TGifFrame {
    TGifHandle Gif;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    int TransparentIndex = -1;
};

[[nodiscard]] bool HasGifSignature(std::string_view bytes) noexcept
{
    return bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a";
}

// Opens the GIF and reads records up to the first image descriptor. The giflib record calls
// allocate only colour maps and extension blocks, never anything the size of the picture.
[[nodiscard]] bool OpenFirstFrame(TGifSource& source, TGifFrame& frame)
{
    if (!HasGifSignature(source.Bytes))
        return false;
    int error = 0;
    frame.Gif.reset(DGifOpen(&source, ReadFromMemory, &error));
    GifFileType* gif = frame.Gif.get();
    if (!gif)
        return false;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE)
            break;
        if (type != EXTENSION_RECORD_TYPE)
            return false; // the trailer, or garbage, before any frame
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK)
            return false;
        // The last graphic control block before the frame says which index is transparent.
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
            frame.TransparentIndex = (block[1] & 1) ? block[4] : -1;
        while (block) {
            if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                return false;
        }
    }
    if (DGifGetImageDesc(gif) != GIF_OK)
        return false;
    const GifImageDesc& desc = gif->Image;
    if (desc.Left < 0 || desc.Top < 0 || !PictureSizeAllowed(desc.Width, desc.Height))
        return false;
    // A screen of no size is taken from the frame.
    frame.ScreenWidth = gif->SWidth > 0 ? gif->SWidth : desc.Left + desc.Width;
    frame.ScreenHeight = gif->SHeight > 0 ? gif->SHeight : desc.Top + desc.Height;
    // A large screen with a tiny first frame is a header not to be believed.
    return PictureSizeAllowed(frame.ScreenWidth, frame.ScreenHeight) &&
           PixelsBackedByData(std::int64_t(frame.ScreenWidth) * frame.ScreenHeight,
                              std::int64_t(desc.Width) * desc.Height, ScreenPixelsPerFramePixel);
}

/// The frame row that the n-th stored row is: stored order for plain frames, the four passes
/// (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1) for interlaced ones.
[[nodiscard]] std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(std::size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    constexpr int Start[4] = {0, 4, 2, 1};
    constexpr int Step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = Start[pass]; y < height; y += Step[pass])
            order.push_back(y);
    return order;
}

/// Puts one row of colour indices into the sink at frame row `row`.
[[nodiscard]] bool PutIndices(TPixelSink& sink, const TGifFrame& frame, const ColorMapObject* map,
                              const GifPixelType* line, int row) noexcept
{
    const GifImageDesc& desc = frame.Gif->Image;
    const int y = desc.Top + row;
    for (int fx = 0; fx < desc.Width; ++fx) {
        const int index = line[fx];
        if (index == frame.TransparentIndex)
            continue;
        // An index outside the colour map (or a frame without one) draws black.
        bool ok = true;
        if (map && index < map->ColorCount) {
            const GifColorType& c = map->Colors[index];
            ok = sink.Put(desc.Left + fx, y, c.Red, c.Green, c.Blue, 255);
        } else {
            ok = sink.Put(desc.Left + fx, y, 0, 0, 0, 255);
        }
        if (!ok)
            return false;
    }
    return true;
}

[[nodiscard]] bool DecodeFirstFrame(std::string_view bytes, TDecodeReduction reduction, TRGBAImage& image)
{
    TGifSource source{bytes};
    TGifFrame frame;
    if (!OpenFirstFrame(source, frame))
        return false;
    GifFileType* gif = frame.Gif.get();
    const GifImageDesc desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    TPixelSink sink;
    if (!sink.Start(frame.ScreenWidth, frame.ScreenHeight, reduction, TPixelSink::TOrder::Rows))
        return false;
    const std::size_t width = std::size_t(desc.Width);
    if (!desc.Interlace) {
        // Row by row into the screen, which grows with the rows the data really holds.
        std::vector<GifPixelType> line(width);
        for (int row = 0; row < desc.Height; ++row) {
            if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK || !PutIndices(sink, frame, map, line.data(), row))
                return false;
        }
        return sink.Finish(image);
    }
    // Interlaced rows arrive in four passes: the indices of the whole frame are gathered first
    // (growing with the rows the data holds), then handed on top to bottom.
    std::vector<GifPixelType> indices;
    for (int row = 0; row < desc.Height; ++row) {
        indices.resize(indices.size() + width);
        if (DGifGetLine(gif, indices.data() + std::size_t(row) * width, desc.Width) != GIF_OK)
            return false;
    }
    const std::vector<int> order = RowOrder(desc.Height, desc.Interlace);
    std::vector<int> storedAt(order.size());
    for (std::size_t n = 0; n < order.size(); ++n)
        storedAt[std::size_t(order[n])] = int(n);
    for (int row = 0; row < desc.Height; ++row)
        if (!PutIndices(sink, frame, map, indices.data() + std::size_t(storedAt[std::size_t(row)]) * width, row))
            return false;
    return sink.Finish(image);
}

} // namespace

bool TGIFImage::ReadHeader(std::string_view bytes, int& width, int& height)
{
    TGifSource source{bytes};
    TGifFrame frame;
    if (!OpenFirstFrame(source, frame))
        return false;
    width = frame.ScreenWidth;
    height = frame.ScreenHeight;
    return true;
}

bool TGIFImage::DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const
{
    image = TRGBAImage{};
    bool ok = false;
    try {
        ok = !Empty() && DecodeFirstFrame(Bytes(), reduction, image);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok)
        image = TRGBAImage{};
    return ok;
}

} // namespace xq

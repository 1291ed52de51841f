// TPNGObject: PNG header checks and decoding through libpng from memory.
#include "pictures/Png.h"

#include <csetjmp>
#include <new>
#include <vector>
#include <png.h>
#include <zlib.h>

namespace xq {

namespace {

constexpr unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t IhdrEnd = 33; // signature, chunk length and type, 13 data bytes, checksum
// Deflate packs at most 1032 bytes into one, and a pixel takes at least one bit before packing.
constexpr std::int64_t MaxPixelsPerPngByte = 8 * 1032;

struct TPngSource {
    const unsigned char* Data;
    std::size_t Size;
    std::size_t Pos;
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t count)
{
    auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
    if (count > source->Size - source->Pos)
        png_error(png, "PNG data ends early");
    std::memcpy(out, source->Data + source->Pos, count);
    source->Pos += count;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

[[nodiscard]] bool ValidDepth(int colorType, int depth) noexcept
{
    switch (colorType) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// Every libpng call that can fail happens in this function. libpng reports errors by a
// longjmp back to the setjmp here; neither this frame nor the callbacks libpng calls hold an
// object with a destructor, so the jump skips no clean-up. The caller owns the libpng structs,
// the row buffer (room for one row of the picture as RGBA) and the sink, and frees them on both
// paths.
bool RunPngDecode(png_structp png, png_infop info, TPngSource* source, TDecodeReduction reduction,
                  std::uint8_t* row, TPixelSink* sink) noexcept
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, ReadFromMemory);
    png_set_user_limits(png, MaxPictureSide, MaxPictureSide);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    if (!PictureSizeAllowed(width, height))
        return false;
    if (png_get_bit_depth(png, info) == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    // Interlaced pictures are read pass by pass, each pass a small picture of its own whose
    // pixels are spread over the whole; libpng would otherwise need the whole picture at once.
    const bool interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(width) * 4)
        return false;
    if (!sink->Start(int(width), int(height), reduction,
                     interlaced ? TPixelSink::TOrder::Any : TPixelSink::TOrder::Rows))
        return false;

    if (!interlaced) {
        // Rows one by one: memory grows with the rows the data really holds, not with the header.
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, row, nullptr);
            if (!sink->PutRow(int(y), row))
                return false;
        }
        return true;
    }
    for (int pass = 0; pass < PNG_INTERLACE_ADAM7_PASSES; ++pass) {
        const png_uint_32 columns = PNG_PASS_COLS(width, pass);
        const png_uint_32 rows = PNG_PASS_ROWS(height, pass);
        if (columns == 0 || rows == 0)
            continue; // libpng skips empty passes as well
        for (png_uint_32 r = 0; r < rows; ++r) {
            png_read_row(png, row, nullptr);
            const int y = int(PNG_ROW_FROM_PASS_ROW(r, pass));
            const std::uint8_t* p = row;
            for (png_uint_32 c = 0; c < columns; ++c, p += 4)
                if (!sink->Put(int(PNG_COL_FROM_PASS_COL(c, pass)), y, p[0], p[1], p[2], p[3]))
                    return false;
        }
    }
    return true;
}

} // namespace

bool HasPngSignature(std::string_view bytes) noexcept
{
    return bytes.size() >= sizeof PngSignature && std::memcmp(bytes.data(), PngSignature, sizeof PngSignature) == 0;
}

bool ReadPngSize(std::string_view bytes, int& width, int& height) noexcept
{
    if (!HasPngSignature(bytes) || bytes.size() < IhdrEnd)
        return false;
    if (U32BigAt(bytes, 8) != 13 || bytes.substr(12, 4) != "IHDR")
        return false;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + 12), 17);
    if (crc != U32BigAt(bytes, 29))
        return false;
    const std::uint32_t w = U32BigAt(bytes, 16);
    const std::uint32_t h = U32BigAt(bytes, 20);
    if (!PictureSizeAllowed(w, h) || !ValidDepth(U8At(bytes, 25), U8At(bytes, 24)))
        return false;
    if (!PixelsBackedByData(std::int64_t(w) * h, std::int64_t(bytes.size()), MaxPixelsPerPngByte))
        return false;
    if (U8At(bytes, 26) != 0 || U8At(bytes, 27) != 0 || U8At(bytes, 28) > 1)
        return false;
    width = int(w);
    height = int(h);
    return true;
}

bool DecodePng(std::string_view bytes, TRGBAImage& image, TDecodeReduction reduction) noexcept
{
    image = TRGBAImage{};
    int width = 0;
    int height = 0;
    if (!ReadPngSize(bytes, width, height))
        return false;
    std::vector<std::uint8_t> row;
    try {
        row.resize(std::size_t(width) * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    TPngSource source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
    TPixelSink sink;
    const bool ok = RunPngDecode(png, info, &source, reduction, row.data(), &sink);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok && sink.Finish(image);
}

bool TPNGObject::ReadHeader(std::string_view bytes, int& width, int& height)
{
    return ReadPngSize(bytes, width, height);
}

bool TPNGObject::DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const
{
    return DecodePng(Bytes(), image, reduction);
}

} // namespace xq

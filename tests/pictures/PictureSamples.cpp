// Test pictures made on the spot: PNG, JPEG and GIF through their libraries, BMP, ICO, WMF and EMF by hand.
#include "PictureSamples.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace xq::test {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v & 0xFF));
    return out;
}

void PutU16(std::string& out, std::uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32(std::string& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

std::uint32_t PixelAt(const TRGBAImage& image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.Width || y >= image.Height)
        throw std::out_of_range("pixel outside the image");
    const std::uint8_t* p = image.Pixels.data() + (std::size_t(y) * std::size_t(image.Width) + std::size_t(x)) * 4;
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// ---------------------------------------------------------------------------------------------
// BMP

std::string MakeDibHeader(const TBmpLayout& layout)
{
    std::string out;
    PutU32(out, std::uint32_t(layout.HeaderSize));
    if (layout.HeaderSize == 12) {
        PutU16(out, std::uint32_t(layout.Width));
        PutU16(out, std::uint32_t(layout.Height));
        PutU16(out, 1);
        PutU16(out, std::uint32_t(layout.BitCount));
        for (std::uint32_t c : layout.Palette)
            out += Bytes({int(c), int(c >> 8), int(c >> 16)});
        return out;
    }
    PutU32(out, std::uint32_t(layout.Width));
    PutU32(out, std::uint32_t(layout.Height));
    PutU16(out, 1);
    PutU16(out, std::uint32_t(layout.BitCount));
    PutU32(out, layout.Compression);
    PutU32(out, std::uint32_t(layout.Bits.size()));
    PutU32(out, 3780); // 96 dpi in pixels per metre
    PutU32(out, 3780);
    PutU32(out, std::uint32_t(layout.Palette.size()));
    PutU32(out, 0);
    for (std::uint32_t m : layout.Masks)
        PutU32(out, m);
    if (layout.HeaderSize > 40)
        out.resize(std::size_t(layout.HeaderSize), '\0'); // colour space fields stay zero
    for (std::uint32_t c : layout.Palette)
        PutU32(out, c);
    return out;
}

std::string MakeBmp(const TBmpLayout& layout)
{
    const std::string dib = MakeDibHeader(layout);
    std::string out = "BM";
    PutU32(out, std::uint32_t(14 + dib.size() + layout.Bits.size()));
    PutU32(out, 0);
    PutU32(out, std::uint32_t(14 + dib.size()));
    return out + dib + layout.Bits;
}

// ---------------------------------------------------------------------------------------------
// PNG (libpng; errors longjmp back into RunPngEncode, whose frame holds nothing with a destructor)

namespace {

void AppendPng(png_structp png, png_bytep data, std::size_t count)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), count);
}

void FlushPng(png_structp) {}

bool RunPngEncode(png_structp png, png_infop info, const TPngLayout* layout, png_color* palette, std::string* out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, AppendPng, FlushPng);
    png_set_IHDR(png, info, png_uint_32(layout->Width), png_uint_32(layout->Height), layout->BitDepth,
                 layout->ColorType, layout->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout->Palette.empty())
        png_set_PLTE(png, info, palette, int(layout->Palette.size()));
    if (!layout->Trans.empty())
        png_set_tRNS(png, info, reinterpret_cast<png_const_bytep>(layout->Trans.data()), int(layout->Trans.size()),
                     nullptr);
    png_write_info(png, info);
    const std::size_t rowBytes = layout->Rows.size() / std::size_t(layout->Height);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < layout->Height; ++y)
            png_write_row(png, reinterpret_cast<png_const_bytep>(layout->Rows.data() + std::size_t(y) * rowBytes));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::string EncodePng(const TPngLayout& layout)
{
    std::vector<png_color> palette;
    for (std::uint32_t c : layout.Palette)
        palette.push_back({png_byte(c >> 16), png_byte(c >> 8), png_byte(c)});
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::string out;
    const bool ok = info && RunPngEncode(png, info, &layout, palette.data(), &out);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        throw std::runtime_error("libpng could not write the test picture");
    return out;
}

std::string EncodeRgbaPng(int width, int height, const std::string& rgba)
{
    TPngLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.Rows = rgba;
    return EncodePng(layout);
}

// ---------------------------------------------------------------------------------------------
// JPEG (libjpeg; the same error discipline)

namespace {

struct TJpegEncodeJob {
    jpeg_compress_struct Info;
    jpeg_error_mgr Errors;
    std::jmp_buf Jump;
    unsigned char* Buffer;
    unsigned long Size;
};

[[noreturn]] void OnEncodeError(j_common_ptr info)
{
    std::longjmp(static_cast<TJpegEncodeJob*>(info->client_data)->Jump, 1);
}

bool RunJpegEncode(TJpegEncodeJob* job, int width, int height, int components, const unsigned char* samples,
                   bool progressive, int quality)
{
    if (setjmp(job->Jump))
        return false;
    jpeg_create_compress(&job->Info);
    jpeg_mem_dest(&job->Info, &job->Buffer, &job->Size);
    job->Info.image_width = JDIMENSION(width);
    job->Info.image_height = JDIMENSION(height);
    job->Info.input_components = components;
    job->Info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&job->Info);
    jpeg_set_quality(&job->Info, quality, TRUE);
    job->Info.comp_info[0].h_samp_factor = 1; // no chroma subsampling: small colour errors only
    job->Info.comp_info[0].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&job->Info);
    jpeg_start_compress(&job->Info, TRUE);
    while (job->Info.next_scanline < job->Info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples + std::size_t(job->Info.next_scanline) *
                                                          std::size_t(width) * std::size_t(components));
        jpeg_write_scanlines(&job->Info, &row, 1);
    }
    jpeg_finish_compress(&job->Info);
    return true;
}

} // namespace

std::string EncodeJpeg(int width, int height, int components, const std::string& samples, bool progressive,
                       int quality)
{
    TJpegEncodeJob job{};
    job.Info.err = jpeg_std_error(&job.Errors);
    job.Errors.error_exit = OnEncodeError;
    job.Info.client_data = &job;
    const bool ok = RunJpegEncode(&job, width, height, components,
                                  reinterpret_cast<const unsigned char*>(samples.data()), progressive, quality);
    std::string out;
    if (ok)
        out.assign(reinterpret_cast<const char*>(job.Buffer), job.Size);
    jpeg_destroy_compress(&job.Info);
    std::free(job.Buffer);
    if (!ok)
        throw std::runtime_error("libjpeg could not write the test picture");
    return out;
}

// ---------------------------------------------------------------------------------------------
// GIF (giflib reports errors by return codes)

namespace {

int AppendGif(GifFileType* gif, const GifByteType* data, int count)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), std::size_t(count));
    return count;
}

struct TMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using TMap = std::unique_ptr<ColorMapObject, TMapDeleter>;

TMap MakeMap(const std::vector<std::uint32_t>& colors)
{
    if (colors.empty())
        return nullptr;
    std::vector<GifColorType> entries;
    for (std::uint32_t c : colors)
        entries.push_back({GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
    return TMap(GifMakeMapObject(int(entries.size()), entries.data()));
}

void Check(int result)
{
    if (result != GIF_OK)
        throw std::runtime_error("giflib could not write the test picture");
}

} // namespace

std::string EncodeGif(const TGifLayout& layout)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGif, &error);
    if (!gif)
        throw std::runtime_error("giflib could not start the test picture");
    EGifSetGifVersion(gif, true);
    const TMap global = MakeMap(layout.GlobalPalette);
    Check(EGifPutScreenDesc(gif, layout.ScreenWidth, layout.ScreenHeight, 8, 0, global.get()));
    for (const TGifFrameLayout& frame : layout.Frames) {
        if (frame.TransparentIndex >= 0) {
            GraphicsControlBlock control{};
            control.DisposalMode = DISPOSAL_UNSPECIFIED;
            control.TransparentColor = frame.TransparentIndex;
            GifByteType block[4];
            const std::size_t length = EGifGCBToExtension(&control, block);
            Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), block));
        }
        const TMap local = MakeMap(frame.LocalPalette);
        Check(EGifPutImageDesc(gif, frame.Left, frame.Top, frame.Width, frame.Height, frame.Interlaced, local.get()));
        std::vector<int> order;
        if (frame.Interlaced) {
            constexpr int Start[4] = {0, 4, 2, 1};
            constexpr int Step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = Start[pass]; y < frame.Height; y += Step[pass])
                    order.push_back(y);
        } else {
            for (int y = 0; y < frame.Height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            const std::size_t width = std::size_t(frame.Width);
            std::string line = frame.Indices.substr(std::size_t(y) * width, width);
            Check(EGifPutLine(gif, reinterpret_cast<GifPixelType*>(line.data()), frame.Width));
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        throw std::runtime_error("giflib could not finish the test picture");
    return out;
}

// ---------------------------------------------------------------------------------------------
// ICO, WMF, EMF

std::string MakeIco(const std::vector<TIcoEntry>& entries)
{
    std::string out;
    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, std::uint32_t(entries.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * entries.size());
    for (const TIcoEntry& e : entries) {
        out += Bytes({e.Width >= 256 ? 0 : e.Width, e.Height >= 256 ? 0 : e.Height, 0, 0});
        PutU16(out, 1);
        PutU16(out, std::uint32_t(e.BitCount));
        PutU32(out, std::uint32_t(e.Data.size()));
        PutU32(out, offset);
        offset += std::uint32_t(e.Data.size());
    }
    for (const TIcoEntry& e : entries)
        out += e.Data;
    return out;
}

std::string WmfRecord(std::uint16_t function, std::initializer_list<int> params)
{
    std::string out;
    PutU32(out, std::uint32_t(3 + params.size()));
    PutU16(out, function);
    for (int p : params)
        PutU16(out, std::uint32_t(p) & 0xFFFF);
    return out;
}

std::string MakeWmf(const std::vector<std::string>& records, bool placeable, std::initializer_list<int> box,
                    int unitsPerInch)
{
    std::string body;
    std::uint32_t maxRecord = 3;
    for (const std::string& r : records) {
        body += r;
        maxRecord = std::max(maxRecord, std::uint32_t(r.size() / 2));
    }
    body += WmfRecord(0, {});
    std::string header;
    PutU16(header, 1);
    PutU16(header, 9);
    PutU16(header, 0x0300);
    PutU32(header, std::uint32_t((18 + body.size()) / 2));
    PutU16(header, 0);
    PutU32(header, maxRecord);
    PutU16(header, 0);
    if (!placeable)
        return header + body;
    std::string front;
    PutU32(front, 0x9AC6CDD7);
    PutU16(front, 0);
    for (int v : box)
        PutU16(front, std::uint32_t(v) & 0xFFFF);
    PutU16(front, std::uint32_t(unitsPerInch));
    PutU32(front, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < front.size(); i += 2)
        checksum ^= std::uint16_t(std::uint8_t(front[i]) | (std::uint8_t(front[i + 1]) << 8));
    PutU16(front, checksum);
    return front + header + body;
}

std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
        png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
    }
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

std::string MakeEmf(int left, int top, int right, int bottom)
{
    std::string out;
    PutU32(out, 1);  // EMR_HEADER
    PutU32(out, 88); // header size
    for (int v : {0, 0, 100, 100})
        PutU32(out, std::uint32_t(v));
    for (int v : {left, top, right, bottom})
        PutU32(out, std::uint32_t(v));
    PutU32(out, 0x464D4520); // " EMF"
    PutU32(out, 0x10000);
    PutU32(out, 88 + 20); // whole file
    PutU32(out, 2);       // records
    PutU16(out, 1);
    PutU16(out, 0);
    for (int v : {0, 0, 0, 1920, 1080, 508, 285})
        PutU32(out, std::uint32_t(v));
    for (int v : {14, 20, 0, 16, 20}) // EMR_EOF
        PutU32(out, std::uint32_t(v));
    return out;
}

} // namespace xq::test

namespace xq::test {

std::vector<TKindSample> SampleOfEachKind()
{
    std::vector<TKindSample> samples;
    TBmpLayout bmp{3, 2, 8, 0, 40, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {}, Bytes({0, 1, 2, 0, 3, 3, 1, 0})};
    samples.push_back({"TBitmap", "8-bit", MakeBmp(bmp)});
    TBmpLayout rle{4, 3, 8, 1, 40, {0, 0xFF0000, 0x00FF00}, {},
                 Bytes({2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 1, 1, 1, 2, 0, 1})};
    samples.push_back({"TBitmap", "run-length", MakeBmp(rle)});

    TPngLayout png;
    png.Width = 5;
    png.Height = 5;
    png.ColorType = 3;
    png.Interlaced = true;
    png.Palette = {0x102030, 0x405060, 0x708090};
    png.Trans = Bytes({0, 128});
    for (int i = 0; i < 25; ++i)
        png.Rows.push_back(char(i % 3));
    samples.push_back({"TPNGObject", "palette", EncodePng(png)});

    std::string rgb;
    for (int i = 0; i < 8 * 8; ++i)
        rgb += Bytes({i * 4, 255 - i * 4, 100});
    samples.push_back({"TJPEGImage", "progressive", EncodeJpeg(8, 8, 3, rgb, true, 90)});

    TGifLayout gif{4, 3, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {}};
    gif.Frames.push_back({0, 0, 4, 3, false, Bytes({0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 2, 2}), {}, 2});
    samples.push_back({"TGIFImage", "one frame", EncodeGif(gif)});

    TBmpLayout icon{2, 4, 24, 0, 40, {}, {}, std::string(16, '\x7F') + Bytes({0x40, 0, 0, 0, 0x80, 0, 0, 0})};
    samples.push_back({"TIcon", "bitmap and png",
                       MakeIco({{MakeDibHeader(icon) + icon.Bits, 2, 2, 24},
                                {EncodeRgbaPng(2, 2, std::string(16, '\x55')), 2, 2, 32}})});

    samples.push_back({"TMetafile", "placeable",
                       MakeWmf({WmfRecord(0x020C, {720, 1440})}, true, {0, 0, 1440, 720}, 1440)});
    samples.push_back({"TMetafile", "plain", MakeWmf({WmfRecord(0x020B, {0, 0}), WmfRecord(0x020C, {720, 1440})})});
    samples.push_back({"TMetafile", "enhanced", MakeEmf(0, 0, 2540, 1270)});
    return samples;
}

} // namespace xq::test

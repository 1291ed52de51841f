// TJPEGImage: header reading and decoding through libjpeg from memory, with errors caught by longjmp.
#include "pictures/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <jerror.h>
#include <jpeglib.h>

namespace xq {

namespace {

// Corrupt data can make libjpeg warn without end or read thousands of tiny progressive scans;
// past these counts the picture is taken as broken.
constexpr int MaxJpegWarnings = 100;
constexpr int MaxJpegScans = 1000;
// Each 8 x 8 block of the first component costs at least one bit of Huffman code.
constexpr std::int64_t MaxPixelsPerJpegByte = 512;
// libjpeg's own memory: a progressive picture keeps all its coefficients, two bytes per sample.
// This is room for one of the largest allowed size with its colours subsampled, as cameras
// write them; a larger demand fails the decode instead of taking the memory.
constexpr long MaxJpegMemory = 256L * 1024 * 1024;
// libjpeg decodes at 1/2, 1/4 and 1/8 of the size by itself; a reduction beyond goes through the sink.
constexpr int MaxJpegScaleDenominator = 8;

struct TJpegErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    int Warnings;
};

// All libjpeg state: plain C structs, so a longjmp over them leaves nothing undestroyed.
struct TJpegJob {
    jpeg_decompress_struct Info;
    TJpegErrors Errors;
    jpeg_progress_mgr Progress;
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
}

void OnJpegMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace messages
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    // The memory source reports the end of the data as a warning and goes on with grey; a
    // picture cut short is broken, not grey.
    if (info->err->msg_code == JWRN_JPEG_EOF || ++errors->Warnings > MaxJpegWarnings)
        std::longjmp(errors->Jump, 1);
}

void OnJpegProgress(j_common_ptr info)
{
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > MaxJpegScans)
        std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
}

[[nodiscard]] std::uint8_t Scale(unsigned a, unsigned b) noexcept
{
    return static_cast<std::uint8_t>((a * b + 127) / 255);
}

// Every libjpeg call happens in this function. libjpeg reports errors through OnJpegError,
// which jumps back to the setjmp here; neither this frame nor any callback holds an object with
// a destructor. The caller owns the job and the sink and cleans up on both paths. Without a sink
// only the header is read.
bool RunJpeg(TJpegJob* job, std::string_view bytes, int* width, int* height, TDecodeReduction reduction,
             TPixelSink* sink) noexcept
{
    if (setjmp(job->Errors.Jump))
        return false;
    jpeg_create_decompress(&job->Info);
    job->Info.mem->max_memory_to_use = MaxJpegMemory;
    job->Progress.progress_monitor = OnJpegProgress;
    job->Info.progress = &job->Progress;
    jpeg_mem_src(&job->Info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&job->Info, TRUE) != JPEG_HEADER_OK)
        return false;
    jpeg_decompress_struct& info = job->Info;
    if (!PictureSizeAllowed(info.image_width, info.image_height) ||
        !PixelsBackedByData(std::int64_t(info.image_width) * info.image_height, std::int64_t(bytes.size()),
                            MaxPixelsPerJpegByte))
        return false;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (info.num_components != (cmyk ? 4 : info.jpeg_color_space == JCS_GRAYSCALE ? 1 : 3))
        return false;
    *width = int(info.image_width);
    *height = int(info.image_height);
    if (!sink)
        return true;

    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    const int denominator = std::min({reduction.X, reduction.Y, MaxJpegScaleDenominator});
    info.scale_num = 1;
    info.scale_denom = unsigned(denominator);
    jpeg_start_decompress(&info);
    const int components = info.output_components;
    if (int(info.output_width) != ReducedSide(*width, denominator) ||
        int(info.output_height) != ReducedSide(*height, denominator) || components != (cmyk ? 4 : 3))
        return false;
    if (!sink->Start(int(info.output_width), int(info.output_height),
                     {reduction.X / denominator, reduction.Y / denominator}, TPixelSink::TOrder::Rows))
        return false;
    // Both rows live in libjpeg's pool, which jpeg_destroy_decompress frees.
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * JDIMENSION(components), 1);
    JSAMPARRAY rgba = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                info.output_width * 4, 1);
    const int outputWidth = int(info.output_width);
    // Adobe writes CMYK inverted (0 is full ink).
    const bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        if (jpeg_read_scanlines(&info, row, 1) != 1)
            return false;
        const JSAMPLE* in = row[0];
        JSAMPLE* out = rgba[0];
        for (int x = 0; x < outputWidth; ++x, in += components, out += 4) {
            if (!cmyk) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            } else {
                const unsigned c = inverted ? in[0] : 255u - in[0];
                const unsigned m = inverted ? in[1] : 255u - in[1];
                const unsigned ye = inverted ? in[2] : 255u - in[2];
                const unsigned k = inverted ? in[3] : 255u - in[3];
                out[0] = Scale(c, k);
                out[1] = Scale(m, k);
                out[2] = Scale(ye, k);
            }
            out[3] = 255;
        }
        if (!sink->PutRow(y, rgba[0]))
            return false;
    }
    return true;
}

// Reads the header, and the pixels when a sink is given.
bool ReadJpeg(std::string_view bytes, int& width, int& height, TDecodeReduction reduction, TPixelSink* sink) noexcept
{
    if (bytes.size() < 3 || U8At(bytes, 0) != 0xFF || U8At(bytes, 1) != 0xD8 || U8At(bytes, 2) != 0xFF)
        return false;
    TJpegJob job{};
    job.Info.err = jpeg_std_error(&job.Errors.Base);
    job.Errors.Base.error_exit = OnJpegError;
    job.Errors.Base.emit_message = OnJpegMessage;
    const bool ok = RunJpeg(&job, bytes, &width, &height, reduction, sink);
    jpeg_destroy_decompress(&job.Info); // nothing to do when creation itself failed
    return ok;
}

} // namespace

bool TJPEGImage::ReadHeader(std::string_view bytes, int& width, int& height)
{
    return ReadJpeg(bytes, width, height, {}, nullptr);
}

bool TJPEGImage::DecodeReduced(TRGBAImage& image, TDecodeReduction reduction) const
{
    image = TRGBAImage{};
    if (Empty())
        return false;
    int width = 0;
    int height = 0;
    TPixelSink sink;
    return ReadJpeg(Bytes(), width, height, reduction, &sink) && sink.Finish(image);
}

} // namespace xq

// Pictures in RTF. Each picture kind keeps the bytes it was read from, so most kinds are written
// as they are: PNG and JPEG files as blips, BMP files as device-independent bitmaps (the file
// without its 14-byte file header), Windows metafiles without their placeable header, enhanced
// metafiles whole. Kinds RTF has no blip for (GIF, icons, and JPEG when it is not to be kept as
// JPEG) are decoded and written as a 24-bit bitmap, transparent parts on white.
//
// Image-list items (bullets, hotspots) write nothing: an image list here knows only its size and
// count, it holds no pixels to write.
#include "formats/rtf/RtfPictures.h"

#include <cmath>

#include "document/Graphic.h"
#include "document/ItemInfo.h"
#include "pictures/Bitmap.h"
#include "pictures/Metafile.h"
#include "pictures/PictureBase.h"

namespace xq {

namespace {

constexpr std::size_t BmpFileHeaderSize = 14;
constexpr std::size_t PlaceableHeaderSize = 22;
constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

void AppendNumber(std::string& out, const char* keyword, long long value)
{
    out += keyword;
    AppendRtfInt(out, value);
}

/// The picture data: uppercase hexadecimal in one run, or raw bytes in a \bin group.
void AppendData(std::string& out, std::string_view data, const TRVRTFWriteContext& ctx)
{
    if (ctx.Has(rvrtfSavePicturesBinary)) {
        if (data.empty())
            return;
        AppendNumber(out, "{\\bin", static_cast<long long>(data.size()));
        out += ' ';
        out.append(data);
        out += '}';
        return;
    }
    static constexpr char digits[] = "0123456789ABCDEF";
    out.reserve(out.size() + 2 * data.size());
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
}

void PutU16(std::string& s, std::uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void PutU32(std::string& s, std::uint32_t v)
{
    PutU16(s, v & 0xFFFF);
    PutU16(s, v >> 16);
}

/// A 24-bit bottom-up DIB (info header and pixels) of the graphic's pixels over white; a white
/// one of its size when it cannot be decoded.
std::string DibOf(const TGraphic& graphic, int& width, int& height)
{
    const auto decoded = DecodedPicture(graphic);
    width = decoded ? decoded->Image.Width : graphic.Width();
    height = decoded ? decoded->Image.Height : graphic.Height();
    width = std::max(width, 1);
    height = std::max(height, 1);
    const auto rowBytes = static_cast<std::size_t>(DibRowBytes(width, 24));
    std::string dib;
    PutU32(dib, 40);
    PutU32(dib, std::uint32_t(width));
    PutU32(dib, std::uint32_t(height));
    PutU16(dib, 1);
    PutU16(dib, 24);
    PutU32(dib, dibRGB);
    PutU32(dib, std::uint32_t(rowBytes * std::size_t(height)));
    PutU32(dib, 3780); // 96 dpi in pixels per metre
    PutU32(dib, 3780);
    PutU32(dib, 0);
    PutU32(dib, 0);
    const std::size_t header = dib.size();
    dib.resize(header + rowBytes * std::size_t(height), '\xFF');
    const bool pixels = decoded && decoded->Image.Width == width && decoded->Image.Height == height;
    if (!pixels)
        return dib;
    const std::uint8_t* src = decoded->Image.Pixels.data();
    for (int y = 0; y < height; ++y) {
        char* row = dib.data() + header + std::size_t(height - 1 - y) * rowBytes; // bottom-up
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = src + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
            const unsigned a = p[3];
            // Blue, green, red, each over white.
            for (int k = 0; k < 3; ++k)
                row[x * 3 + k] = static_cast<char>((p[2 - k] * a + 255 * (255 - a) + 127) / 255);
        }
    }
    return dib;
}

void AppendBitmapKeywords(std::string& out, int rowBytes, int width, int height)
{
    AppendNumber(out, "\\dibitmap0\\wbmwidthbytes", rowBytes);
    AppendNumber(out, "\\picw", width);
    AppendNumber(out, "\\pich", height);
    AppendNumber(out, "\\picwgoal", 15LL * width);
    AppendNumber(out, "\\pichgoal", 15LL * height);
    out += ' ';
}

/// The physical size of a metafile in hundredths of a millimetre: the frame of an enhanced one,
/// the bounding box of a placeable one, else its size in 96-dpi pixels converted.
void MetafileSize(const TMetafile& mf, std::string_view bytes, int& width, int& height)
{
    if (mf.Enhanced() && Fits(bytes, 24, 16)) {
        width = I32At(bytes, 32) - I32At(bytes, 24);
        height = I32At(bytes, 36) - I32At(bytes, 28);
        return;
    }
    if (mf.Placeable() && Fits(bytes, 6, 10) && U16At(bytes, 14) > 0) {
        const int inch = U16At(bytes, 14);
        width = static_cast<int>(std::lround((I16At(bytes, 10) - I16At(bytes, 6)) * 2540.0 / inch));
        height = static_cast<int>(std::lround((I16At(bytes, 12) - I16At(bytes, 8)) * 2540.0 / inch));
        return;
    }
    width = static_cast<int>(std::lround(mf.Width() * 2540.0 / 96));
    height = static_cast<int>(std::lround(mf.Height() * 2540.0 / 96));
}

class TPictureRtf final : public TRVRTFItemWriter {
public:
    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int) const override
    {
        const auto& picture = static_cast<const TRVGraphicItemInfo&>(item);
        WriteRtfPicture(picture.Image.get(), picture.ImageWidth, picture.ImageHeight, out, ctx);
    }
};

} // namespace

void WriteRtfPicture(const TGraphic* graphic, int width, int height, std::string& out, const TRVRTFWriteContext& ctx)
{
    if (!graphic)
        return;
    const auto* metafile = dynamic_cast<const TMetafile*>(graphic);
    const std::string bytes = graphic->SaveToBytes();
    int physicalW = 0, physicalH = 0;
    if (metafile)
        MetafileSize(*metafile, bytes, physicalW, physicalH);

    out += "{\\pict";
    if (!graphic->Empty()) {
        // A Windows metafile's natural size is its physical one, in pixels; so is an enhanced
        // one's when it is meant to be written as a Windows metafile.
        const bool physicalSize = metafile && (!metafile->Enhanced() || ctx.Has(rvrtfSaveEMFAsWMF));
        auto natural = [&](int pixels, int physical) {
            return physicalSize && physical > 0 ? std::lround(physical * 72.0 / (ctx.TwipsPerPixel * 127))
                                                : long(pixels);
        };
        const long naturalW = natural(graphic->Width(), physicalW);
        const long naturalH = natural(graphic->Height(), physicalH);
        if (width > 0 && naturalW > 0)
            AppendNumber(out, "\\picscalex", std::lround(width * 100.0 / double(naturalW)));
        if (height > 0 && naturalH > 0)
            AppendNumber(out, "\\picscaley", std::lround(height * 100.0 / double(naturalH)));
    }

    const std::string kind = graphic->ClassName();
    auto blip = [&](const char* keyword, int w, int h, std::string_view data) {
        out += keyword;
        AppendNumber(out, "\\picw", w);
        AppendNumber(out, "\\pich", h);
        out += ' ';
        AppendData(out, data, ctx);
    };
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic); bitmap && !bitmap->Empty()) {
        // No PNG encoder in the engine: the bitmap stays a bitmap even when PNG is preferred.
        const TDibInfo& info = bitmap->Info();
        const int rowBytes = info.Height < 2 ? info.Width : int(DibRowBytes(info.Width, info.BitCount));
        AppendBitmapKeywords(out, rowBytes, info.Width, info.Height);
        AppendData(out, std::string_view(bytes).substr(std::min(bytes.size(), BmpFileHeaderSize)), ctx);
    } else if (metafile) {
        if (metafile->Enhanced()) {
            blip("\\emfblip", physicalW, physicalH, bytes);
        } else {
            const bool placeable = bytes.size() >= 4 && U32At(bytes, 0) == PlaceableKey;
            blip("\\wmetafile8", physicalW, physicalH,
                 std::string_view(bytes).substr(placeable ? std::min(bytes.size(), PlaceableHeaderSize) : 0));
        }
    } else if (kind == "TJPEGImage" && ctx.Has(rvrtfSaveJpegAsJpeg)) {
        blip("\\jpegblip", graphic->Width(), graphic->Height(), bytes);
    } else if (kind == "TPNGObject") {
        blip("\\pngblip", graphic->Width(), graphic->Height(), bytes);
    } else if (!graphic->Empty()) {
        // Other kinds are drawn into a bitmap, with or without rvrtfSaveBitmapDefault: there is
        // no metafile renderer here, and a bitmap is what every reader takes.
        int w = 0, h = 0;
        const std::string dib = DibOf(*graphic, w, h);
        AppendBitmapKeywords(out, h < 2 ? w : int(DibRowBytes(w, 24)), w, h);
        AppendData(out, dib, ctx);
    }
    out += '}';
}

std::shared_ptr<const TRVRTFItemWriter> RtfPictureWriter()
{
    static const auto writer = std::make_shared<TPictureRtf>();
    return writer;
}

} // namespace xq

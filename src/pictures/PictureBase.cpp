// Common ground of the picture kinds: loading into the kept byte stream, reduced decoding through
// the pixel sink, the kept pixels, and image allocation.
#include "pictures/PictureBase.h"

#include <algorithm>
#include <bit>
#include <new>

#include "pictures/PictureCache.h"

namespace xq {

bool TEncodedPicture::LoadFromBytes(std::string_view bytes)
{
    ForgetDecoded();
    Bytes_.clear();
    Width_ = Height_ = 0;
    int width = 0;
    int height = 0;
    if (bytes.empty() || !ReadHeader(bytes, width, height))
        return false;
    Bytes_.assign(bytes);
    Width_ = width;
    Height_ = height;
    return true;
}

TEncodedPicture::~TEncodedPicture() = default;

void TEncodedPicture::ForgetDecoded()
{
    Slot_ = std::make_shared<TDecodeSlot>();
}

// ---------------------------------------------------------------------------------------------
// Reduction

namespace {

int AxisReduction(int natural, int target) noexcept
{
    target = std::max(target, 1);
    int factor = 1;
    while (factor < TDecodeReduction::MaxReduction && natural / (factor * 2) >= target)
        factor *= 2;
    return factor;
}

} // namespace

TDecodeReduction ReductionFor(int width, int height, int targetWidth, int targetHeight) noexcept
{
    return {AxisReduction(width, targetWidth), AxisReduction(height, targetHeight)};
}

bool TPixelSink::Start(int width, int height, TDecodeReduction reduction, TOrder order) noexcept
{
    *this = TPixelSink{};
    const auto allowed = [](int factor) {
        return factor >= 1 && factor <= TDecodeReduction::MaxReduction && std::has_single_bit(unsigned(factor));
    };
    if (!PictureSizeAllowed(width, height) || !allowed(reduction.X) || !allowed(reduction.Y))
        return false;
    ShiftX_ = std::countr_zero(unsigned(reduction.X));
    ShiftY_ = std::countr_zero(unsigned(reduction.Y));
    Width_ = width;
    Height_ = height;
    Reduction_ = reduction;
    Order_ = order;
    ReducedWidth_ = ReducedSide(width, reduction.X);
    ReducedHeight_ = ReducedSide(height, reduction.Y);
    Image_.Width = ReducedWidth_;
    Image_.Height = ReducedHeight_;
    Failed_ = false;
    try {
        if (!reduction.Natural()) {
            const std::size_t rows = order == TOrder::Rows ? 1 : std::size_t(ReducedHeight_);
            Sums_.assign(rows * std::size_t(ReducedWidth_) * 4, 0);
        }
    } catch (const std::bad_alloc&) {
        Failed_ = true;
        return false;
    }
    // Pixels in any order may land anywhere: all rows at once.
    if (order == TOrder::Any && !GrowTo(ReducedHeight_ - 1))
        return false;
    return true;
}

bool TPixelSink::GrowTo(int row) noexcept
{
    if (row < RowsHeld_)
        return true;
    const std::size_t rowBytes = std::size_t(ReducedWidth_) * 4;
    const std::size_t needed = rowBytes * std::size_t(row + 1);
    try {
        if (needed > Image_.Pixels.capacity()) {
            // Doubling, but never past the full image, so a complete image holds no slack.
            const std::size_t full = rowBytes * std::size_t(ReducedHeight_);
            Image_.Pixels.reserve(std::min(full, std::max(needed, Image_.Pixels.capacity() * 2)));
        }
        Image_.Pixels.resize(needed, 0);
    } catch (const std::bad_alloc&) {
        Failed_ = true;
        return false;
    }
    RowsHeld_ = row + 1;
    return true;
}

void TPixelSink::WriteSums(const std::uint32_t* sums, int band) noexcept
{
    const int blockHeight = std::min(Reduction_.Y, Height_ - band * Reduction_.Y);
    std::uint8_t* out = Image_.Pixels.data() + std::size_t(band) * std::size_t(ReducedWidth_) * 4;
    for (int rx = 0; rx < ReducedWidth_; ++rx, sums += 4, out += 4) {
        const std::uint32_t blockWidth = std::uint32_t(std::min(Reduction_.X, Width_ - rx * Reduction_.X));
        const std::uint32_t area = blockWidth * std::uint32_t(blockHeight);
        const std::uint32_t alpha = sums[3];
        out[3] = static_cast<std::uint8_t>((alpha + area / 2) / area);
        if (alpha == 0)
            continue;
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>((sums[c] + alpha / 2) / alpha);
    }
}

bool TPixelSink::FlushBand(int next) noexcept
{
    if (Band_ >= 0) {
        if (!GrowTo(Band_))
            return false;
        WriteSums(Sums_.data(), Band_);
        std::fill(Sums_.begin(), Sums_.end(), 0u);
    }
    Band_ = next;
    return true;
}

bool TPixelSink::PutRow(int y, const std::uint8_t* rgba) noexcept
{
    if (Failed_)
        return false;
    if (y < 0 || y >= Height_)
        return true;
    if (Reduction_.Natural() && !Keyed_) {
        if (!GrowTo(y))
            return false;
        std::copy_n(rgba, std::size_t(Width_) * 4,
                    Image_.Pixels.data() + std::size_t(y) * std::size_t(Width_) * 4);
        return true;
    }
    if (Reduction_.Natural()) {
        for (int x = 0; x < Width_; ++x, rgba += 4)
            if (!Put(x, y, rgba[0], rgba[1], rgba[2], rgba[3]))
                return false;
        return true;
    }
    // Block by block along the row, each block's sums gathered before they are added.
    std::uint32_t* s = BandSums(y);
    if (!s)
        return false;
    for (int x0 = 0; x0 < Width_; x0 += Reduction_.X, s += 4) {
        const int end = std::min(x0 + Reduction_.X, Width_);
        std::uint32_t r = 0;
        std::uint32_t g = 0;
        std::uint32_t b = 0;
        std::uint32_t a = 0;
        for (int x = x0; x < end; ++x, rgba += 4) {
            std::uint32_t alpha = rgba[3];
            if (Keyed_ && ((std::uint32_t(rgba[0]) << 16) | (std::uint32_t(rgba[1]) << 8) | rgba[2]) == Key_)
                alpha = 0;
            r += rgba[0] * alpha;
            g += rgba[1] * alpha;
            b += rgba[2] * alpha;
            a += alpha;
        }
        s[0] += r;
        s[1] += g;
        s[2] += b;
        s[3] += a;
    }
    return true;
}

bool TPixelSink::Finish(TRGBAImage& image) noexcept
{
    image = TRGBAImage{};
    if (Failed_)
        return false;
    if (!Reduction_.Natural()) {
        if (Order_ == TOrder::Rows) {
            if (!FlushBand(-1))
                return false;
        } else {
            for (int band = 0; band < ReducedHeight_; ++band)
                WriteSums(Sums_.data() + std::size_t(band) * std::size_t(ReducedWidth_) * 4, band);
        }
    }
    // Rows that no pixel reached are transparent.
    if (!GrowTo(ReducedHeight_ - 1))
        return false;
    Sums_ = {};
    image = std::move(Image_);
    *this = TPixelSink{};
    return true;
}

bool ReduceImage(const TRGBAImage& natural, TDecodeReduction reduction, TRGBAImage& reduced) noexcept
{
    TPixelSink sink;
    if (!sink.Start(natural.Width, natural.Height, reduction, TPixelSink::TOrder::Rows))
        return false;
    for (int y = 0; y < natural.Height; ++y)
        if (!sink.PutRow(y, natural.Pixels.data() + std::size_t(y) * std::size_t(natural.Width) * 4))
            return false;
    return sink.Finish(reduced);
}

// ---------------------------------------------------------------------------------------------
// Kept pixels

namespace {

std::shared_ptr<TDecodedPicture> Analysed(TRGBAImage&& image)
{
    auto decoded = std::make_shared<TDecodedPicture>();
    decoded->Image = std::move(image);
    const std::vector<std::uint8_t>& px = decoded->Image.Pixels;
    for (std::size_t i = 3; i < px.size(); i += 4)
        if (px[i] != 0xFF) {
            decoded->HasTransparency = true;
            break;
        }
    return decoded;
}

std::shared_ptr<const TDecodedPicture> DecodeNow(const TGraphic& picture)
{
    TRGBAImage image;
    if (!picture.Decode(image) || image.Empty())
        return nullptr;
    return Analysed(std::move(image));
}

} // namespace

std::shared_ptr<const TDecodedPicture> TEncodedPicture::Decoded(TDecodeReduction reduction) const
{
    if (Empty() || !Slot_)
        return nullptr;
    const std::shared_ptr<TDecodeSlot> slot = Slot_;
    TPictureCache& cache = slot->Cache();
    bool failed = false;
    if (std::shared_ptr<const TDecodedPicture> kept = cache.Find(*slot, reduction, failed))
        return kept;
    if (failed)
        return nullptr;
    cache.MakeRoom(*slot, std::size_t(ReducedSide(Width(), reduction.X)) * std::size_t(ReducedSide(Height(), reduction.Y)) * 4);
    TRGBAImage image;
    if (!DecodeReduced(image, reduction) || image.Empty()) {
        cache.KeepFailure(*slot);
        return nullptr;
    }
    std::shared_ptr<const TDecodedPicture> decoded = Analysed(std::move(image));
    cache.Keep(*slot, decoded, reduction);
    return decoded;
}

std::shared_ptr<const TDecodedPicture> TEncodedPicture::DecodedFor(int targetWidth, int targetHeight) const
{
    return Decoded(ReductionFor(Width(), Height(), targetWidth, targetHeight));
}

std::shared_ptr<const TDecodedPicture> DecodedPicture(const TGraphic& picture)
{
    if (const auto* encoded = dynamic_cast<const TEncodedPicture*>(&picture))
        return encoded->Decoded();
    return DecodeNow(picture);
}

std::shared_ptr<const TDecodedPicture> DecodedPicture(const TGraphic& picture, int targetWidth, int targetHeight)
{
    if (const auto* encoded = dynamic_cast<const TEncodedPicture*>(&picture))
        return encoded->DecodedFor(targetWidth, targetHeight);
    return DecodeNow(picture);
}

bool AllocateImage(TRGBAImage& image, int width, int height) noexcept
{
    image = TRGBAImage{};
    if (!PictureSizeAllowed(width, height))
        return false;
    try {
        image.Pixels.assign(std::size_t(width) * std::size_t(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.Width = width;
    image.Height = height;
    return true;
}

} // namespace xq

// Text style metrics on a target canvas.
#include "layout/FontInfoCache.h"

#include <cmath>
#include <cstdlib>

#include "document/RVStyle.h"
#include "layout/CanvasFont.h"
#include "layout/DrawLines.h"

namespace xq {

namespace {

int RoundAbs(double v) noexcept
{
    return static_cast<int>(std::lround(std::abs(v)));
}

} // namespace

std::unique_ptr<TRVFontInfoCacheItem> TRVFontInfoCache::Build(int styleNo)
{
    const TFontInfo& style = Sheet_.TextStyles.StyleAt(styleNo);
    auto item = std::make_unique<TRVFontInfoCacheItem>();

    TCanvasFont font = CanvasFontOf(style);
    // Character spacing is given in screen pixels.
    font.CharSpacing = MulDiv(style.CharSpacing, Canvas_.DpiX(), 96);
    Canvas_.SelectFont(font);
    const TTextMetrics base = Canvas_.Metrics();
    const TScriptMetrics script = Canvas_.ScriptMetrics();
    const int fontHeight = FontPixelHeight(font, Canvas_.DpiY());

    int offset = 0;
    if (style.SubSuperScriptType == rvsssSubscript) {
        item->ScriptHeight = script.HasOutline ? script.SubscriptSize : RoundAbs(fontHeight * 2.0 / 3.0);
        offset = script.HasOutline ? -script.SubscriptOffset : -RoundAbs(fontHeight * 0.25);
    } else if (style.SubSuperScriptType == rvsssSuperScript) {
        item->ScriptHeight = script.HasOutline ? script.SuperscriptSize : RoundAbs(fontHeight * 2.0 / 3.0);
        offset = script.HasOutline ? base.Ascent - script.SuperscriptOffset : RoundAbs(fontHeight * 0.45);
    }
    item->BaselineOffset = offset + MulDiv(base.Height, style.VShift, 100);

    if (item->ScriptHeight > 0) {
        font.HeightOverride = item->ScriptHeight;
        Canvas_.SelectFont(font);
    }
    item->Font = font;
    item->Metrics = Canvas_.Metrics();
    const TSize hyphen = Canvas_.TextExtent(u"-");
    item->EmptyHeight = hyphen.Height;
    item->HyphenWidth = hyphen.Width;
    Selected_ = styleNo;
    return item;
}

const TRVFontInfoCacheItem& TRVFontInfoCache::Item(int styleNo)
{
    if (!Sheet_.TextStyles.IsValidIndex(styleNo))
        styleNo = -1;
    const auto slot = static_cast<std::size_t>(styleNo + 1);
    if (slot >= Items_.size())
        Items_.resize(slot + 1);
    if (!Items_[slot])
        Items_[slot] = Build(styleNo);
    return *Items_[slot];
}

const TRVFontInfoCacheItem& TRVFontInfoCache::Select(int styleNo)
{
    const TRVFontInfoCacheItem& item = Item(styleNo);
    if (Selected_ != styleNo || !(Canvas_.Font() == item.Font)) {
        Canvas_.SelectFont(item.Font);
        Selected_ = styleNo;
    }
    return item;
}

void TRVFontInfoCache::Clear() noexcept
{
    Items_.clear();
    Selected_ = -2;
}

} // namespace xq

// Measuring the built-in non-text items, and the registry of item layouts.
#include <algorithm>
#include <map>
#include <mutex>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "layout/BuiltinItemLayouts.h"
#include "layout/FontInfoCache.h"
#include "layout/MarkerMetrics.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Defaults

std::int32_t TRVItemLayout::MinWidth(const TCustomRVItemInfo&, int, TRVLayoutContext& ctx) const
{
    return ctx.Scale.X(DefaultItemMinWidth);
}

TRVObjectAlign TRVItemLayout::VAlign(const TCustomRVItemInfo&) const
{
    return VAlignBaseline;
}

std::int32_t TRVItemLayout::VShift(const TCustomRVItemInfo&, const TRVObjectExtent&, TRVLayoutContext&) const
{
    return 0;
}

TRVObjectAlign TRVRectItemLayout::VAlign(const TCustomRVItemInfo& item) const
{
    switch (static_cast<const TRVRectItemInfo&>(item).VAlign) {
    case rvvaBaseline: return VAlignBaseline;
    case rvvaMiddle: return VAlignMiddle;
    case rvvaAbsTop: return VAlignLineTop;
    case rvvaAbsBottom: return VAlignLineBottom;
    case rvvaAbsMiddle: return VAlignLineMiddle;
    }
    return VAlignBaseline;
}

std::int32_t TRVRectItemLayout::VShift(const TCustomRVItemInfo& item, const TRVObjectExtent& extent,
                                       TRVLayoutContext& ctx) const
{
    const auto& rect = static_cast<const TRVRectItemInfo&>(item);
    if (rect.VShift == 0)
        return 0;
    return ClampExtent(rect.VShiftAbs ? ctx.Scale.Y(rect.VShift) : MulDiv(extent.Height, rect.VShift, 100));
}

// ---------------------------------------------------------------------------------------------
// Pictures, bullets, controls

namespace {

/// The size of a picture item's picture in screen pixels: ImageWidth × ImageHeight where set,
/// the picture's own size otherwise (0 × 0 without a picture).
TSize PictureSize(const TRVGraphicItemInfo& item)
{
    TSize size;
    if (item.Image && !item.Image->Empty()) {
        size.Width = item.Image->Width();
        size.Height = item.Image->Height();
    }
    if (item.ImageWidth > 0)
        size.Width = item.ImageWidth;
    if (item.ImageHeight > 0)
        size.Height = item.ImageHeight;
    return size;
}

/// A side of the content with the spacing on both sides of it, as one extent of a line.
std::int32_t FramedSide(std::int32_t content, std::int32_t spacing) noexcept
{
    return ClampExtent(std::int64_t{content} + 2 * std::int64_t{std::max(spacing, 0)});
}

TRVObjectExtent FramedExtent(TSize content, std::int32_t spacing, const TRVDeviceScale& scale)
{
    return TRVObjectExtent{ClampExtent(scale.X(FramedSide(content.Width, spacing))),
                           ClampExtent(scale.Y(FramedSide(content.Height, spacing))), 0};
}

} // namespace

std::int32_t TRVPictureLayout::MinWidth(const TCustomRVItemInfo& item, int, TRVLayoutContext& ctx) const
{
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(item);
    return ClampExtent(ctx.Scale.X(FramedSide(PictureSize(picture).Width, picture.Spacing)));
}

TRVObjectExtent TRVPictureLayout::Format(const TCustomRVItemInfo& item, int, std::int32_t, TRVLayoutContext& ctx) const
{
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(item);
    return FramedExtent(PictureSize(picture), picture.Spacing, ctx.Scale);
}

TRVObjectExtent TRVBulletLayout::Format(const TCustomRVItemInfo& item, int, std::int32_t, TRVLayoutContext& ctx) const
{
    const auto& bullet = static_cast<const TRVBulletItemInfo&>(item);
    TSize size;
    if (bullet.ImageList)
        size = TSize{bullet.ImageList->Width, bullet.ImageList->Height};
    return FramedExtent(size, bullet.Spacing, ctx.Scale);
}

TRVObjectExtent TRVControlLayout::Format(const TCustomRVItemInfo&, int, std::int32_t, TRVLayoutContext& ctx) const
{
    return TRVObjectExtent{ctx.Scale.X(DefaultItemMinWidth), ctx.Scale.Y(DefaultItemMinWidth), 0};
}

TRVObjectExtent TRVPlainBoxLayout::Format(const TCustomRVItemInfo&, int, std::int32_t, TRVLayoutContext& ctx) const
{
    return TRVObjectExtent{ctx.Scale.X(DefaultItemMinWidth), ctx.Scale.Y(DefaultItemMinWidth), 0};
}

// ---------------------------------------------------------------------------------------------
// Items drawn in a text style

namespace {

/// The text style a tab or label is measured in: its own when valid, else text style 0.
int TextStyleOf(int styleNo, const TRVStyle& sheet)
{
    return sheet.TextStyles.IsValidIndex(styleNo) ? styleNo : 0;
}

TRVObjectExtent StyleLineExtent(const TRVFontInfoCacheItem& font, std::int32_t width)
{
    return TRVObjectExtent{width, font.Metrics.Height, font.Metrics.Descent};
}

std::u16string LabelText(const TRVLabelItemInfo& label, const TRVStyle& sheet)
{
    return AnsiToUnicode(label.Text, sheet.CodePageOfStyle(TextStyleOf(label.TextStyleNo, sheet)));
}

} // namespace

TRVObjectExtent TRVTabLayout::Format(const TCustomRVItemInfo& item, int, std::int32_t, TRVLayoutContext& ctx) const
{
    const auto& tab = static_cast<const TRVTabItemInfo&>(item);
    // The width follows from the tab stops; the formatter sets it.
    return StyleLineExtent(ctx.Fonts.Item(TextStyleOf(tab.TextStyleNo, ctx.Sheet)), 0);
}

std::int32_t TRVTabLayout::VShift(const TCustomRVItemInfo& item, const TRVObjectExtent&, TRVLayoutContext& ctx) const
{
    const auto& tab = static_cast<const TRVTabItemInfo&>(item);
    return ctx.Fonts.Item(TextStyleOf(tab.TextStyleNo, ctx.Sheet)).BaselineOffset;
}

namespace {

TRVObjectExtent LabelExtent(const TRVLabelItemInfo& label, TRVLayoutContext& ctx)
{
    const TRVFontInfoCacheItem& font = ctx.Fonts.Select(TextStyleOf(label.TextStyleNo, ctx.Sheet));
    const std::int32_t width = ClampExtent(ctx.Canvas.TextWidth(LabelText(label, ctx.Sheet)));
    return StyleLineExtent(font, std::max(width, ctx.Scale.X(label.MinWidth)));
}

} // namespace

std::int32_t TRVLabelLayout::MinWidth(const TCustomRVItemInfo& item, int, TRVLayoutContext& ctx) const
{
    return LabelExtent(static_cast<const TRVLabelItemInfo&>(item), ctx).Width;
}

TRVObjectExtent TRVLabelLayout::Format(const TCustomRVItemInfo& item, int, std::int32_t, TRVLayoutContext& ctx) const
{
    return LabelExtent(static_cast<const TRVLabelItemInfo&>(item), ctx);
}

std::int32_t TRVLabelLayout::VShift(const TCustomRVItemInfo& item, const TRVObjectExtent&, TRVLayoutContext& ctx) const
{
    const auto& label = static_cast<const TRVLabelItemInfo&>(item);
    return ctx.Fonts.Item(TextStyleOf(label.TextStyleNo, ctx.Sheet)).BaselineOffset;
}

// ---------------------------------------------------------------------------------------------
// Markers and breaks

std::int32_t TRVMarkerLayout::MinWidth(const TCustomRVItemInfo& item, int, TRVLayoutContext& ctx) const
{
    return MeasureMarker(ctx.Sheet, static_cast<const TRVMarkerItemInfo&>(item), ctx.Canvas, ctx.Scale).Width;
}

TRVObjectExtent TRVMarkerLayout::Format(const TCustomRVItemInfo& item, int, std::int32_t, TRVLayoutContext& ctx) const
{
    const TRVMarkerExtent e = MeasureMarker(ctx.Sheet, static_cast<const TRVMarkerItemInfo&>(item), ctx.Canvas, ctx.Scale);
    return TRVObjectExtent{e.Width, e.Height, e.Descent};
}

TRVObjectExtent TRVBreakLayout::Format(const TCustomRVItemInfo&, int, std::int32_t lineWidth, TRVLayoutContext& ctx) const
{
    return TRVObjectExtent{lineWidth, 2 * ctx.Scale.Y(BreakSpacing) + 1, 0};
}

// ---------------------------------------------------------------------------------------------
// Registry

namespace {

struct TLayoutRegistry {
    std::mutex Lock;
    std::map<int, std::unique_ptr<TRVItemLayout>> Layouts;

    TLayoutRegistry()
    {
        Layouts[rvsPicture] = std::make_unique<TRVPictureLayout>();
        Layouts[rvsHotPicture] = std::make_unique<TRVPictureLayout>();
        Layouts[rvsBullet] = std::make_unique<TRVBulletLayout>();
        Layouts[rvsHotspot] = std::make_unique<TRVBulletLayout>();
        Layouts[rvsComponent] = std::make_unique<TRVControlLayout>();
        Layouts[rvsTab] = std::make_unique<TRVTabLayout>();
        Layouts[rvsListMarker] = std::make_unique<TRVMarkerLayout>();
        Layouts[rvsBreak] = std::make_unique<TRVBreakLayout>();
        for (int kind : {rvsLabel, rvsSequence, rvsFootnote, rvsEndnote, rvsNoteReference})
            Layouts[kind] = std::make_unique<TRVLabelLayout>();
    }
};

TLayoutRegistry& Registry()
{
    static TLayoutRegistry registry;
    return registry;
}

} // namespace

const TRVItemLayout& ItemLayoutOf(const TCustomRVItemInfo& item)
{
    static const TRVPlainBoxLayout plainBox;
    TLayoutRegistry& registry = Registry();
    const std::scoped_lock guard(registry.Lock);
    const auto it = registry.Layouts.find(item.StyleNo);
    if (it == registry.Layouts.end())
        return plainBox;
    return *it->second;
}

void RegisterItemLayout(int styleNo, std::unique_ptr<TRVItemLayout> layout)
{
    TLayoutRegistry& registry = Registry();
    const std::scoped_lock guard(registry.Lock);
    registry.Layouts[styleNo] = std::move(layout);
}

} // namespace xq

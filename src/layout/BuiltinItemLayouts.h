// The layouts of the built-in non-text item kinds. Measuring lives in ItemLayouts.cpp, painting
// in ItemPainting.cpp.
#pragma once

#include "layout/ItemLayout.h"

namespace xq {

class TRVRectItemInfo;

/// Rectangular items: the common alignment and vertical shift.
class TRVRectItemLayout : public TRVItemLayout {
public:
    [[nodiscard]] TRVObjectAlign VAlign(const TCustomRVItemInfo& item) const override;
    /// VShift pixels (scaled), or VShift percent of the object's height.
    [[nodiscard]] std::int32_t VShift(const TCustomRVItemInfo& item, const TRVObjectExtent& extent,
                                      TRVLayoutContext& ctx) const override;
};

/// Pictures and hot pictures: the picture (at ImageWidth × ImageHeight when set) with Spacing
/// pixels around it.
class TRVPictureLayout final : public TRVRectItemLayout {
public:
    [[nodiscard]] std::int32_t MinWidth(const TCustomRVItemInfo& item, int itemNo, TRVLayoutContext& ctx) const override;
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// Bullets and hotspots: an image of an image list, with Spacing pixels around it.
class TRVBulletLayout final : public TRVRectItemLayout {
public:
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// Embedded controls, which this program keeps but cannot run: a box of the default size.
class TRVControlLayout final : public TRVRectItemLayout {
public:
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// Tabs: as high as their text style's font; the formatter gives them their width.
class TRVTabLayout final : public TRVRectItemLayout {
public:
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    /// The text style's baseline offset.
    [[nodiscard]] std::int32_t VShift(const TCustomRVItemInfo& item, const TRVObjectExtent& extent,
                                      TRVLayoutContext& ctx) const override;
    /// The leader (when the stop has one) repeated across the tab in its text style.
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// Labels, sequence numbers, notes and note references: their text in their text style, at
/// least MinWidth wide.
class TRVLabelLayout final : public TRVRectItemLayout {
public:
    [[nodiscard]] std::int32_t MinWidth(const TCustomRVItemInfo& item, int itemNo, TRVLayoutContext& ctx) const override;
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    /// The text style's baseline offset.
    [[nodiscard]] std::int32_t VShift(const TCustomRVItemInfo& item, const TRVObjectExtent& extent,
                                      TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// List markers: their content by the level's alignment, as wide as to where the text starts.
class TRVMarkerLayout final : public TRVRectItemLayout {
public:
    [[nodiscard]] std::int32_t MinWidth(const TCustomRVItemInfo& item, int itemNo, TRVLayoutContext& ctx) const override;
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    /// The content (text in the level's font and colour, or the level's picture) at the left
    /// edge of rect, bottom-aligned on the line as measured.
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// Breaks: a rule across the text width, BreakSpacing pixels below the top of the draw item.
/// The formatter places breaks itself; Format reports the height.
class TRVBreakLayout final : public TRVItemLayout {
public:
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

/// Kinds without a layout of their own: an empty box of the default minimal width.
class TRVPlainBoxLayout final : public TRVItemLayout {
public:
    [[nodiscard]] TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                         TRVLayoutContext& ctx) const override;
    void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
               TRVPaintContext& ctx) const override;
};

} // namespace xq

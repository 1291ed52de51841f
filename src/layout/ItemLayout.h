// How each kind of non-text item is measured, placed on a line and painted. The built-in kinds
// are registered by the layout itself; other kinds (tables) register their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "layout/DrawLines.h"
#include "platform/Canvas.h"

namespace xq {

class TCustomRVData;
class TCustomRVItemInfo;
class TRVContainerLayout;
class TRVFontInfoCache;
class TRVStyle;

/// What measuring an item needs: the style sheet, the target canvas with its font cache, and
/// the scaling from screen pixels to the target.
struct TRVLayoutContext {
    const TRVStyle& Sheet;
    TRVFontInfoCache& Fonts;
    TCanvas& Canvas;
    const TRVDeviceScale& Scale;
    /// The container the item belongs to.
    const TCustomRVData& Data;
    /// Everything is laid out anew (a whole format): items that keep a layout of their own
    /// (tables) must not reuse it.
    bool Rebuild = true;
    /// The layout being made, where items keep their state (ItemState); null when the item is
    /// only measured.
    TRVContainerLayout* Layout = nullptr;
};

/// The size an item takes on a line, in device pixels, and how far it reaches below the baseline.
struct TRVObjectExtent {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Descent = 0;
};

/// Vertical placement of an inline object relative to its line.
enum TRVObjectAlign : std::uint8_t {
    VAlignBaseline,   ///< bottom on the baseline, less the descent the object reports
    VAlignMiddle,     ///< half the height above the baseline
    VAlignLineTop,    ///< the three line-aligned codes are placed after the line is complete
    VAlignLineBottom,
    VAlignLineMiddle,
};

/// What painting an item needs besides the canvas.
struct TRVPaintContext {
    const TRVStyle& Sheet;
    TRVFontInfoCache& Fonts;
    const TRVDeviceScale& Scale;
    const TCustomRVData& Data;
    /// Painting for a printer or a preview page: no screen-only marks.
    bool Printing = false;
    /// The x of the text area's left edge and its width, in canvas coordinates (breaks span it).
    std::int32_t TextAreaLeft = 0;
    std::int32_t TextAreaWidth = 0;
    /// The area being painted, canvas coordinates.
    TRect Visible{-(1 << 29), -(1 << 29), 1 << 29, 1 << 29};
    /// The view has the keyboard focus.
    bool Focused = false;
    /// The view is an editor that is not read-only (tables show invisible borders as a grid).
    bool Editable = false;
    /// Page break marks are shown.
    bool ShowPageBreaks = false;
    /// The view's background colour.
    TColor ViewColor = clWindow;
    /// The layout being painted, and the draw item of the item being painted.
    TRVContainerLayout* Layout = nullptr;
    const TRVDrawLineInfo* DrawItem = nullptr;
};

/// The draw item of a tab: the leader of the tab stop it reached, drawn across its width.
class TRVTabDrawItem : public TRVDrawLineInfo {
public:
    std::string Leader;
};

/// The layout of one item kind. All sizes are device pixels of the target.
class TRVItemLayout {
public:
    virtual ~TRVItemLayout() = default;

    /// The narrowest line the item fits on.
    [[nodiscard]] virtual std::int32_t MinWidth(const TCustomRVItemInfo& item, int itemNo, TRVLayoutContext& ctx) const;
    /// Lays the item out for a line of lineWidth pixels and reports its size.
    [[nodiscard]] virtual TRVObjectExtent Format(const TCustomRVItemInfo& item, int itemNo, std::int32_t lineWidth,
                                                 TRVLayoutContext& ctx) const = 0;
    /// How the item sits in its line.
    [[nodiscard]] virtual TRVObjectAlign VAlign(const TCustomRVItemInfo& item) const;
    /// How far the item is raised above where its alignment puts it (negative: lowered).
    [[nodiscard]] virtual std::int32_t VShift(const TCustomRVItemInfo& item, const TRVObjectExtent& extent,
                                              TRVLayoutContext& ctx) const;
    /// Paints the item into rect (canvas coordinates of its draw item).
    virtual void Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int itemNo, const TRect& rect,
                       TRVPaintContext& ctx) const = 0;
};

/// The layout of an item's kind; a kind without one of its own gets a plain box of the default
/// minimal width.
[[nodiscard]] const TRVItemLayout& ItemLayoutOf(const TCustomRVItemInfo& item);

/// Gives the item kind styleNo (a negative kind code) its layout, replacing one it had.
void RegisterItemLayout(int styleNo, std::unique_ptr<TRVItemLayout> layout);

/// The default minimal width of an item, 20 screen pixels.
inline constexpr std::int32_t DefaultItemMinWidth = 20;

/// Height of a break item's line at screen resolution: 5 pixels above the rule, the rule, 5 below.
inline constexpr std::int32_t BreakSpacing = 5;

} // namespace xq

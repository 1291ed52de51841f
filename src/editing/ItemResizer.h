// The resize handles of a selected picture: where the eight handles sit, which one a point hits,
// the mouse cursor over each, and the rectangle a drag of one of them gives.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Canvas.h"

namespace xq {

/// The mouse cursor shown over a handle.
enum class TRVResizeCursor : std::uint8_t {
    None,
    SizeNWSE, ///< corners 0 and 2: the diagonal from top left to bottom right
    SizeNESW, ///< corners 1 and 3
    SizeNS,   ///< the top and bottom middles
    SizeWE,   ///< the left and right middles
};

/// Handles: 0 top left, 1 top right, 2 bottom right, 3 bottom left (the corners), 4 top, 5 right,
/// 6 bottom, 7 left (the side middles).
class TRVItemResizer {
public:
    static constexpr int HandleCount = 8;
    static constexpr int HandleSize = 7;
    /// How far from an edge a handle's centre sits (outside; inside for small items).
    static constexpr int HandleOffset = 3;
    /// How near a handle's centre a point hits it.
    static constexpr int HitDistance = 3;
    /// Items smaller than this in either direction get their handles inside.
    static constexpr int SmallItem = 12;
    /// A dragged rectangle never becomes narrower or lower than this.
    static constexpr int MinDragSize = 2;

    /// The centres of the handles of an item's rectangle.
    [[nodiscard]] static std::array<TPoint, HandleCount> HandleCentres(const TRect& item) noexcept;
    /// The squares of the handles.
    [[nodiscard]] static std::array<TRect, HandleCount> HandleRects(const TRect& item) noexcept;
    /// The handle at (x, y), or -1.
    [[nodiscard]] static int HandleAt(const TRect& item, int x, int y) noexcept;
    [[nodiscard]] static TRVResizeCursor CursorOf(int handle) noexcept;
    /// The rectangle after dragging handle by (dx, dy) from start. Corner handles keep the
    /// proportions, side handles change one dimension (both, proportionally, with keepRatio);
    /// symmetric moves the opposite edges the other way.
    [[nodiscard]] static TRect Drag(const TRect& start, int handle, int dx, int dy, bool keepRatio, bool symmetric) noexcept;
};

} // namespace xq

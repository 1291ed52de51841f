// Resize handle geometry and drags.
#include "editing/ItemResizer.h"

#include <algorithm>
#include <cstdlib>

namespace xq {

namespace {

bool MovesLeft(int handle) noexcept { return handle == 0 || handle == 3 || handle == 7; }
bool MovesRight(int handle) noexcept { return handle == 1 || handle == 2 || handle == 5; }
bool MovesTop(int handle) noexcept { return handle == 0 || handle == 1 || handle == 4; }
bool MovesBottom(int handle) noexcept { return handle == 2 || handle == 3 || handle == 6; }

int Scaled(int value, int numerator, int denominator) noexcept
{
    return static_cast<int>((static_cast<long long>(value) * numerator * 2 + denominator) / (2LL * denominator));
}

} // namespace

std::array<TPoint, TRVItemResizer::HandleCount> TRVItemResizer::HandleCentres(const TRect& item) noexcept
{
    // Outside the item; inside when the item is too small to be grabbed between its handles.
    const int d = item.Width() < SmallItem || item.Height() < SmallItem ? -HandleOffset : HandleOffset;
    const int left = item.Left - d, right = item.Right - 1 + d;
    const int top = item.Top - d, bottom = item.Bottom - 1 + d;
    const int midX = (item.Left + item.Right - 1) / 2, midY = (item.Top + item.Bottom - 1) / 2;
    return {TPoint{left, top}, TPoint{right, top},    TPoint{right, bottom}, TPoint{left, bottom},
            TPoint{midX, top}, TPoint{right, midY}, TPoint{midX, bottom},  TPoint{left, midY}};
}

std::array<TRect, TRVItemResizer::HandleCount> TRVItemResizer::HandleRects(const TRect& item) noexcept
{
    std::array<TRect, HandleCount> rects;
    const auto centres = HandleCentres(item);
    const int half = HandleSize / 2;
    for (int k = 0; k < HandleCount; ++k)
        rects[std::size_t(k)] = {centres[std::size_t(k)].X - half, centres[std::size_t(k)].Y - half,
                                 centres[std::size_t(k)].X - half + HandleSize, centres[std::size_t(k)].Y - half + HandleSize};
    return rects;
}

int TRVItemResizer::HandleAt(const TRect& item, int x, int y) noexcept
{
    const auto centres = HandleCentres(item);
    for (int k = 0; k < HandleCount; ++k)
        if (std::abs(x - centres[std::size_t(k)].X) <= HitDistance && std::abs(y - centres[std::size_t(k)].Y) <= HitDistance)
            return k;
    return -1;
}

TRVResizeCursor TRVItemResizer::CursorOf(int handle) noexcept
{
    switch (handle) {
    case 0:
    case 2: return TRVResizeCursor::SizeNWSE;
    case 1:
    case 3: return TRVResizeCursor::SizeNESW;
    case 4:
    case 6: return TRVResizeCursor::SizeNS;
    case 5:
    case 7: return TRVResizeCursor::SizeWE;
    default: return TRVResizeCursor::None;
    }
}

TRect TRVItemResizer::Drag(const TRect& start, int handle, int dx, int dy, bool keepRatio, bool symmetric) noexcept
{
    if (handle < 0 || handle >= HandleCount)
        return start;
    TRect r = start;
    const int sx = symmetric ? dx : 0, sy = symmetric ? dy : 0;
    if (MovesLeft(handle)) {
        r.Left += dx;
        r.Right -= sx;
    }
    if (MovesRight(handle)) {
        r.Right += dx;
        r.Left -= sx;
    }
    if (MovesTop(handle)) {
        r.Top += dy;
        r.Bottom -= sy;
    }
    if (MovesBottom(handle)) {
        r.Bottom += dy;
        r.Top -= sy;
    }
    int w = std::max(MinDragSize, r.Width());
    int h = std::max(MinDragSize, r.Height());
    const int w0 = start.Width(), h0 = start.Height();
    if ((handle < 4 || keepRatio) && w0 > 0 && h0 > 0) {
        // The dimension the pointer changed more, relative to the item, decides the other.
        const bool sideX = handle == 5 || handle == 7, sideY = handle == 4 || handle == 6;
        const bool widthDrives =
            sideX || (!sideY && static_cast<long long>(std::abs(w - w0)) * h0 >= static_cast<long long>(std::abs(h - h0)) * w0);
        if (widthDrives)
            h = std::max(MinDragSize, Scaled(w, h0, w0));
        else
            w = std::max(MinDragSize, Scaled(h, w0, h0));
    }
    // The edges the handle does not move stay; a symmetric drag keeps the centre.
    if (symmetric) {
        const int cx = start.Left + w0 / 2, cy = start.Top + h0 / 2;
        return {cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h};
    }
    TRect out;
    if (MovesLeft(handle)) {
        out.Right = start.Right;
        out.Left = start.Right - w;
    } else {
        out.Left = start.Left;
        out.Right = start.Left + w;
    }
    if (MovesTop(handle)) {
        out.Bottom = start.Bottom;
        out.Top = start.Bottom - h;
    } else {
        out.Top = start.Top;
        out.Bottom = start.Top + h;
    }
    return out;
}

} // namespace xq

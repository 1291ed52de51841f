// Painting a formatted container: the view background, paragraph backgrounds and borders, the
// selection, text with its decorations, objects, and the screen-only marks (special characters,
// page breaks, misspelt words). Also the drawing pieces that tables and printing reuse.
#pragma once

#include <cstdint>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/ParaInfo.h"
#include "layout/DrawLines.h"
#include "platform/Canvas.h"

namespace xq {

class TRVContainerLayout;
class TGraphic;

/// What to paint and how the view stands.
struct TRVPaintRequest {
    /// The area to paint, in view coordinates (the view's top left corner is 0, 0).
    TRect Rect;
    /// Scroll position of the view: document coordinates minus these give view coordinates.
    std::int32_t ScrollX = 0;
    std::int32_t ScrollY = 0;
    /// The view has the keyboard focus (selection in its active colours).
    bool Focused = true;
    /// Painting for paper: no selection and none of the screen-only marks.
    bool Printing = false;
    /// Everything shows as selected (the content of a selected table cell).
    bool SelectAll = false;
    /// The view is an editor that is not read-only: tables show their invisible borders as a grid.
    bool Editable = false;
    /// The view's background: colour (clNone: none), picture and how it is placed.
    TColor Color = clWindow;
    TBackgroundStyle BackgroundStyle = bsNoBitmap;
    const TGraphic* BackgroundPicture = nullptr;
    /// Size of the view's client area in device pixels: the background covers it, and its width
    /// is the right edge of paragraph frames with rvoClientTextWidth. 0 x 0: the painted area.
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;
};

/// Paints the draw items of a layout that meet request.Rect. The layout must be made for a
/// canvas of canvas's resolution.
void PaintDocument(TRVContainerLayout& layout, TCanvas& canvas, const TRVPaintRequest& request);

// --- Pieces ----------------------------------------------------------------------------------------

/// Fills area (canvas coordinates) with a background colour and picture, drawing only what meets
/// paintRect. scroll is the view's scroll position (it moves bsTiledAndScrolled tiles); the
/// picture's size is scaled from screen to device pixels.
void PaintBackground(TCanvas& canvas, const TRect& area, const TRect& paintRect, TColor color, TBackgroundStyle style,
                     const TGraphic* picture, TPoint scroll, const TRVDeviceScale& scale);

/// The lines of a paragraph frame around rect (the paragraph's rectangle, before the border's
/// offsets), lengths scaled to the device. Nothing for rvbNone.
void DrawParagraphBorder(TCanvas& canvas, const TRVBorder& border, const TRect& rect, const TRVDeviceScale& scale);

/// A page break mark at y: a line from left to left + width - 8, ending in an 8-pixel triangle
/// filled with the window colour. left is where the document area starts, width its width.
void DrawPageBreakMark(TCanvas& canvas, std::int32_t y, std::int32_t left, std::int32_t width, TColor color);

/// The points of the wavy line under a misspelt word from x left to right; bottom is the bottom
/// of its text. Empty when the word is too narrow for the line.
[[nodiscard]] std::vector<TPoint> MisspellingPoints(std::int32_t left, std::int32_t right, std::int32_t bottom);

/// Draws a picture stretched over rect (through its transparency); false when it cannot be decoded.
bool DrawPicture(TCanvas& canvas, const TGraphic& picture, const TRect& rect);

} // namespace xq

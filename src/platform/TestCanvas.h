// TTestCanvas: a canvas with simple, known glyph widths and metrics that records what is drawn.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace xq {

/// A deterministic canvas for layout and rendering tests.
///
/// Let h be the em height in pixels (FontPixelHeight at DpiY). The advance of a character is
/// h * k / 10 (integer division), plus 1 in bold, then scaled by CharScale percent (integer
/// division), plus CharSpacing, where k is
///   3 for the narrow characters  i l . , ; : ! | ' and space,
///   9 for m w M W,
///   5 for digits,
///   7 for the other capitals A-Z,
///   0 for control characters below 32, for a low surrogate and for a combining mark,
///   10 for a high surrogate (the pair it starts; 0 when the pair is a combining mark),
///   5 for everything else.
/// A font whose name contains "Courier" or "Mono" has fixed pitch: k = 6 for every printable character.
/// A character followed by combining marks measures as it does alone (the marks add nothing).
///
/// Metrics: InternalLeading = h / 5, Height = h + InternalLeading, Descent = Height / 5,
/// Ascent = Height - Descent, ExternalLeading = h / 10, AveCharWidth = advance of 'x',
/// MaxCharWidth = advance of 'W'. Script metrics: the font "System" has no outline; the others have
/// sub- and superscript size h * 7 / 10, subscript offset h * 15 / 100, superscript offset h * 45 / 100.
/// Underline: position max(1, Descent / 3), thickness max(1, h / 15); strike-out: position
/// Ascent * 3 / 10, same thickness.
///
/// Every drawing call is recorded as one line of text, in device coordinates (origin applied):
///   font Arial 13px bold italic underline strikeout spacing 2 scale 80   (before text in a new font)
///   text 10,20 'Hallo' #000000
///   fill 0,0,10,10 #FFFFFF                  (left,top,right,bottom)
///   line 0,5 10,5 #000000 1 solid           (pen width and style: solid dash dot dashdot dashdotdot)
///   polyline 0,0 2,2 4,0 #FF0000 1 solid
///   polygon 0,0 8,8 0,8 fill #FFFFFF pen #000000 1 solid   (fill none when not filled)
///   rect 0,0,10,10 #000000 2 dot
///   image 0,0,16,16 from 8x8
///   clip 0,0,100,100 | clip none          (whenever the effective clip changes)
/// Colours are written as #RRGGBB after system colours are resolved; clNone draws (and records) nothing.
class TTestCanvas : public TCanvas {
public:
    explicit TTestCanvas(int dpiX = 96, int dpiY = 96) noexcept : DpiX_(dpiX), DpiY_(dpiY) {}

    [[nodiscard]] int DpiX() const noexcept override { return DpiX_; }
    [[nodiscard]] int DpiY() const noexcept override { return DpiY_; }
    void SetDpi(int dpiX, int dpiY) noexcept
    {
        DpiX_ = dpiX;
        DpiY_ = dpiY;
    }

    void SelectFont(const TCanvasFont& font) override { Font_ = font; }
    [[nodiscard]] const TCanvasFont& Font() const noexcept override { return Font_; }
    [[nodiscard]] TTextMetrics Metrics() override;
    [[nodiscard]] TScriptMetrics ScriptMetrics() override;
    [[nodiscard]] int CharAdvance(char16_t c, char16_t next) override;

    void FillRect(const TRect& rect, TColor color) override;
    void Line(TPoint from, TPoint to, const TCanvasPen& pen) override;
    void Polyline(const std::vector<TPoint>& points, const TCanvasPen& pen) override;
    void Polygon(const std::vector<TPoint>& points, TColor fill, const TCanvasPen& pen) override;
    void Rectangle(const TRect& rect, const TCanvasPen& pen) override;
    void DrawImage(const TRect& rect, const TRGBAImage& image) override;

    void IntersectClip(const TRect& rect) override;
    void SetClip(const TRect& rect) override;
    void ResetClip() override;
    void Translate(int dx, int dy) override;
    void Save() override;
    void Restore() override;

    /// The recorded drawing operations, oldest first.
    [[nodiscard]] const std::vector<std::string>& Ops() const noexcept { return Ops_; }
    void ClearOps() noexcept
    {
        Ops_.clear();
        LastDrawnFont_.reset();
    }

protected:
    void DrawTextRun(int x, int y, std::u16string_view text, TColor color) override;

private:
    struct TState {
        TCanvasFont Font;
        int OriginX = 0;
        int OriginY = 0;
        std::optional<TRect> Clip; ///< device coordinates; none = unclipped
    };

    void RecordClip();
    [[nodiscard]] std::string Point(TPoint p) const;
    [[nodiscard]] std::string Rect(const TRect& r) const;

    int DpiX_;
    int DpiY_;
    TCanvasFont Font_;
    int OriginX_ = 0;
    int OriginY_ = 0;
    std::optional<TRect> Clip_;
    std::vector<TState> Saved_;
    std::optional<TCanvasFont> LastDrawnFont_;
    std::vector<std::string> Ops_;
};

/// "#RRGGBB" of a document colour (system colours resolved).
[[nodiscard]] std::string ColorText(TColor color);

} // namespace xq

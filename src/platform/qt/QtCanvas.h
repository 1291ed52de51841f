// TQtCanvas: the canvas on a Qt paint device, with real fonts measured character by character and
// painted in glyph runs at the measured advances.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <QFont>

#include "platform/Canvas.h"

class QPaintDevice;
class QTransform;
class QPainter;

namespace xq {

/// The installed family that stands in for a document font: the metric-compatible Liberation fonts
/// for the common Windows fonts, "DejaVu Sans" for the symbol fonts (whose codes are mapped to
/// Unicode first), the name itself otherwise.
[[nodiscard]] QString QtFamilyFor(const std::string& fontName);

/// A canvas drawing with a QPainter. Fonts are sized in pixels from the point size at the vertical
/// resolution, with kerning off and without hinting, so that a character's advance is its design
/// width scaled and rounded once. A run of text is painted as glyph runs (one per font the run's
/// characters come from) with every glyph at the advances measured; a character with combining
/// marks is shaped as a whole and its glyphs placed at the character's position.
class TQtCanvas : public TCanvas {
public:
    /// Paints on device, at the device's resolution. The canvas holds the device's painter for its
    /// lifetime, so the device must outlive it and must not be painted otherwise meanwhile.
    explicit TQtCanvas(QPaintDevice* device);
    /// Paints on device at a resolution of its own: fonts are sized and text is measured at dpiX x
    /// dpiY, and the painter is scaled by the device's resolution over it, so that every run lands
    /// at exactly the advances it was measured with (a 96-dpi layout on a 600-dpi printer).
    TQtCanvas(QPaintDevice* device, int dpiX, int dpiY);
    /// Paints on device with fonts sized and text measured at dpi, mapping the canvas's pixels to
    /// the device's through toDevice (a page of the preview, scaled and moved into its place).
    TQtCanvas(QPaintDevice* device, int dpi, const QTransform& toDevice);
    /// Only measures, at the given resolution; drawing calls do nothing.
    TQtCanvas(int dpiX, int dpiY);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    [[nodiscard]] int DpiX() const noexcept override { return DpiX_; }
    [[nodiscard]] int DpiY() const noexcept override { return DpiY_; }
    /// The canvas paints on a device whose painter could be started (false for measuring canvases
    /// and for devices that refused to paint, such as a printer that cannot start its job).
    [[nodiscard]] bool Painting() const noexcept;

    void SelectFont(const TCanvasFont& font) override;
    [[nodiscard]] const TCanvasFont& Font() const noexcept override { return Font_; }
    [[nodiscard]] TTextMetrics Metrics() override;
    [[nodiscard]] TScriptMetrics ScriptMetrics() override;
    [[nodiscard]] int CharAdvance(char16_t c, char16_t next) override;
    void CharAdvances(std::u16string_view text, std::vector<int>& advances) override;

    /// The Qt font that measures and paints the selected font (without underline and strike-out,
    /// which the canvas draws itself).
    [[nodiscard]] QFont SelectedQFont() const;
    /// The Unicode character painted for a unit of text in the selected font (symbol fonts mapped).
    [[nodiscard]] char32_t DisplayChar(char32_t code) const noexcept;

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

protected:
    void DrawTextRun(int x, int y, std::u16string_view text, TColor color) override;
    [[nodiscard]] int ClusterAdvance(std::u16string_view cluster) override;

private:
    struct TFontData;
    struct TPlacedGlyph;
    struct TGlyphBatch;

    [[nodiscard]] int CodePointAdvance(char32_t code);
    /// The characters painted for text in the selected font (symbol fonts mapped).
    [[nodiscard]] QString DisplayString(std::u16string_view text) const;
    /// The glyphs of a cluster (a character, with its marks if any), cached per font.
    [[nodiscard]] const std::vector<TPlacedGlyph>& GlyphsOf(std::u16string_view cluster);
    [[nodiscard]] std::vector<TPlacedGlyph> Shape(const QString& shown);

    int DpiX_;
    int DpiY_;
    std::unique_ptr<QPainter> Painter_;
    TCanvasFont Font_;
    TFontData* Current_ = nullptr;
    std::unordered_map<std::string, std::unique_ptr<TFontData>> Fonts_;
    std::vector<TCanvasFont> SavedFonts_;
    std::vector<int> Advances_;           ///< scratch of DrawTextRun
    std::vector<TGlyphBatch> Batches_;    ///< scratch of DrawTextRun: one per font of a run
};

} // namespace xq

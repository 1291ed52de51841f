// TCanvas: the drawing surface and text measurement the layout and the painting code work with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FontTypes.h"
#include "platform/Image.h"
#include "platform/Color.h"

namespace xq {


struct TPoint {
    int X = 0;
    int Y = 0;
    [[nodiscard]] bool operator==(const TPoint&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    [[nodiscard]] bool operator==(const TSize&) const = default;
};

/// A rectangle in device pixels; Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    [[nodiscard]] constexpr int Width() const noexcept { return Right - Left; }
    [[nodiscard]] constexpr int Height() const noexcept { return Bottom - Top; }
    [[nodiscard]] constexpr bool Empty() const noexcept { return Right <= Left || Bottom <= Top; }
    [[nodiscard]] constexpr TRect Offset(int dx, int dy) const noexcept
    {
        return {Left + dx, Top + dy, Right + dx, Bottom + dy};
    }
    /// The common part of two rectangles (empty, with Right = Left or Bottom = Top, when they are apart).
    [[nodiscard]] TRect Intersect(const TRect& o) const noexcept;
    [[nodiscard]] bool operator==(const TRect&) const = default;
};

/// Metrics of the selected font in device pixels, as a font's text metric record has them.
/// Height = Ascent + Descent; the em (character height) is Height - InternalLeading.
struct TTextMetrics {
    int Height = 0;
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    [[nodiscard]] bool operator==(const TTextMetrics&) const = default;
};

/// Outline metrics of the selected font in device pixels. When HasOutline is false the font gives no
/// sub/superscript sizes and the layout falls back to its own proportions; the line positions are
/// always filled.
struct TScriptMetrics {
    bool HasOutline = false;
    int SubscriptSize = 0;
    int SubscriptOffset = 0;   ///< below the baseline, positive downwards
    int SuperscriptSize = 0;
    int SuperscriptOffset = 0; ///< above the baseline, positive upwards
    int UnderlinePosition = 0; ///< top of the underline, below the baseline
    int UnderlineThickness = 1;
    int StrikeoutPosition = 0; ///< top of the strike-out line, above the baseline
    int StrikeoutThickness = 1;
    [[nodiscard]] bool operator==(const TScriptMetrics&) const = default;
};

/// What the layout asks the canvas for when it selects a text style.
struct TCanvasFont {
    std::string Name = "Arial";
    int Size = 10; ///< points; converted with the canvas's vertical resolution
    TFontStyles Style;
    std::uint8_t Charset = DEFAULT_CHARSET;
    int CharSpacing = 0;    ///< extra device pixels after every character
    int CharScale = 100;    ///< horizontal scaling in percent
    int HeightOverride = 0; ///< 0, or the em height in device pixels (reduced sub/superscript fonts)

    [[nodiscard]] bool operator==(const TCanvasFont&) const = default;
};

/// The em height in device pixels of a font request at a vertical resolution (points rounded to pixels).
[[nodiscard]] int FontPixelHeight(const TCanvasFont& font, int dpiY) noexcept;

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot };

struct TCanvasPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    [[nodiscard]] bool operator==(const TCanvasPen&) const = default;
};

/// A surface with a selected font. Coordinates are device pixels relative to the current origin
/// (see Translate). Colours are document colours; system colours are resolved, clNone draws nothing.
///
/// Measurement is additive: every UTF-16 unit has an integer advance in the selected font
/// (CharSpacing included), and the width of a string is the sum of its units' advances. A character
/// followed by combining marks carries the advance of that cluster (the character with its marks
/// as the font shows them, so that "e" + U+0301 measures as "é"), and the marks carry 0. Text is
/// painted at exactly these advances, the marks on their character.
class TCanvas {
public:
    virtual ~TCanvas() = default;

    [[nodiscard]] virtual int DpiX() const noexcept = 0;
    [[nodiscard]] virtual int DpiY() const noexcept = 0;

    // --- font and measurement

    virtual void SelectFont(const TCanvasFont& font) = 0;
    [[nodiscard]] virtual const TCanvasFont& Font() const noexcept = 0;
    [[nodiscard]] virtual TTextMetrics Metrics() = 0;
    [[nodiscard]] virtual TScriptMetrics ScriptMetrics() = 0;
    /// The advance of one UTF-16 unit in the selected font, CharSpacing included; next is the unit
    /// after it (0 at the end). A high surrogate followed by a low one carries the advance of the
    /// pair, a low surrogate has 0, and so has a combining mark (a pair that is one included).
    /// This is the unit on its own: in text, CharAdvances applies the cluster rule.
    [[nodiscard]] virtual int CharAdvance(char16_t c, char16_t next) = 0;

    /// The advance of every unit of text, advances[k] for text[k] (resized to the text's length),
    /// by the additive rule above. A canvas may override it with a faster way to the same numbers.
    virtual void CharAdvances(std::u16string_view text, std::vector<int>& advances);
    /// The advances of the text summed; a width beyond +-2^30 pixels is held there.
    [[nodiscard]] int TextWidth(std::u16string_view text);
    /// Width of the text and the font's Height.
    [[nodiscard]] TSize TextExtent(std::u16string_view text);
    /// How many UTF-16 units fit into maxWidth (never splitting a surrogate pair). When positions is
    /// given it receives, for every unit of the text, the width of the text up to and including it.
    [[nodiscard]] int FitCount(std::u16string_view text, int maxWidth, std::vector<int>* positions = nullptr);

    // --- drawing

    virtual void FillRect(const TRect& rect, TColor color) = 0;
    /// A straight line with both end points drawn; wider pens are centred on it.
    virtual void Line(TPoint from, TPoint to, const TCanvasPen& pen) = 0;
    /// A connected line through the points.
    virtual void Polyline(const std::vector<TPoint>& points, const TCanvasPen& pen) = 0;
    /// A closed polygon filled with fill (clNone: not filled) and outlined with pen.
    virtual void Polygon(const std::vector<TPoint>& points, TColor fill, const TCanvasPen& pen) = 0;
    /// The outline of rect, the pen's width lying inside the rectangle.
    virtual void Rectangle(const TRect& rect, const TCanvasPen& pen) = 0;
    /// The picture stretched over rect, blended by its alpha.
    virtual void DrawImage(const TRect& rect, const TRGBAImage& image) = 0;

    /// Draws text in the selected font with the top of its cell at y (the baseline lies at
    /// y + Metrics().Ascent), the first character starting at x. A back colour other than clNone
    /// fills the text's extent first. Underline and strike-out of the font are drawn across the
    /// measured width.
    void DrawText(int x, int y, std::u16string_view text, TColor color, TColor backColor = clNone);

    // --- state

    /// Restricts painting to rect (within the current clip).
    virtual void IntersectClip(const TRect& rect) = 0;
    /// Replaces the clip with rect.
    virtual void SetClip(const TRect& rect) = 0;
    virtual void ResetClip() = 0;
    /// Moves the origin by (dx, dy).
    virtual void Translate(int dx, int dy) = 0;
    /// Saves clip, origin and font; Restore brings back the last saved state.
    virtual void Save() = 0;
    virtual void Restore() = 0;

protected:
    /// Paints the glyphs of text at the additive advances, top of the cell at y.
    virtual void DrawTextRun(int x, int y, std::u16string_view text, TColor color) = 0;
    /// The advance of a cluster: one character (a unit or a surrogate pair) followed by one or more
    /// combining marks, CharSpacing counted once. By default the character's own advance.
    [[nodiscard]] virtual int ClusterAdvance(std::u16string_view cluster);
    /// Writes the advances of the units from index to the end of the cluster there (the character
    /// at index with the marks after it) into advances, by the additive rule; returns that end.
    std::size_t ClusterAdvancesAt(std::u16string_view text, std::size_t index, std::vector<int>& advances);

private:
    /// Calls sink(k, advance) for every unit k of text in order, by the additive rule; stops
    /// early when sink returns false.
    template <class Sink>
    void WalkAdvances(std::u16string_view text, Sink&& sink);
};

} // namespace xq

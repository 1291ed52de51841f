// TTestCanvas: the known glyph widths and metrics, and the recording of drawing operations.
#include "platform/TestCanvas.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/FontTypes.h"
#include "platform/Image.h"
#include "platform/CodePage.h"
#include "platform/Unicode.h"

namespace xq {

namespace {

[[nodiscard]] bool FixedPitch(const std::string& name) noexcept
{
    return name.find("Courier") != std::string::npos || name.find("Mono") != std::string::npos;
}

/// The width of a character in tenths of the em; next is the unit after it.
[[nodiscard]] int Tenths(char16_t c, char16_t next, bool fixed) noexcept
{
    if (c < 32 || IsLowSurrogate(c) || IsCombiningMark(c))
        return 0;
    if (IsHighSurrogate(c))
        return IsLowSurrogate(next) && IsCombiningMark(CodePointOf(c, next)) ? 0 : 10;
    if (fixed)
        return 6;
    if (c < 128 && std::u16string_view(u"il.,;:!|' ").find(c) != std::u16string_view::npos)
        return 3;
    if (c == u'm' || c == u'w' || c == u'M' || c == u'W')
        return 9;
    if (c >= u'0' && c <= u'9')
        return 5;
    if (c >= u'A' && c <= u'Z')
        return 7;
    return 5;
}

[[nodiscard]] const char* PenStyleName(TPenStyle s) noexcept
{
    switch (s) {
    case psSolid: return "solid";
    case psDash: return "dash";
    case psDot: return "dot";
    case psDashDot: return "dashdot";
    case psDashDotDot: return "dashdotdot";
    }
    return "solid";
}

[[nodiscard]] std::string PenText(const TCanvasPen& pen)
{
    return ColorText(pen.Color) + " " + std::to_string(pen.Width) + " " + PenStyleName(pen.Style);
}

} // namespace

std::string ColorText(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    return buf;
}

int TTestCanvas::CharAdvance(char16_t c, char16_t next)
{
    const int k = Tenths(c, next, FixedPitch(Font_.Name));
    if (k == 0)
        return 0;
    int advance = FontPixelHeight(Font_, DpiY_) * k / 10;
    if (Font_.Style.Contains(fsBold))
        ++advance;
    advance = advance * Font_.CharScale / 100;
    return advance + Font_.CharSpacing;
}

TTextMetrics TTestCanvas::Metrics()
{
    const int h = FontPixelHeight(Font_, DpiY_);
    TTextMetrics tm;
    tm.InternalLeading = h / 5;
    tm.Height = h + tm.InternalLeading;
    tm.Descent = tm.Height / 5;
    tm.Ascent = tm.Height - tm.Descent;
    tm.ExternalLeading = h / 10;
    tm.AveCharWidth = CharAdvance(u'x', 0);
    tm.MaxCharWidth = CharAdvance(u'W', 0);
    return tm;
}

TScriptMetrics TTestCanvas::ScriptMetrics()
{
    const int h = FontPixelHeight(Font_, DpiY_);
    const TTextMetrics tm = Metrics();
    TScriptMetrics sm;
    sm.HasOutline = !SameFontName(Font_.Name, "System");
    if (sm.HasOutline) {
        sm.SubscriptSize = sm.SuperscriptSize = h * 7 / 10;
        sm.SubscriptOffset = h * 15 / 100;
        sm.SuperscriptOffset = h * 45 / 100;
    }
    sm.UnderlinePosition = std::max(1, tm.Descent / 3);
    sm.UnderlineThickness = sm.StrikeoutThickness = std::max(1, h / 15);
    sm.StrikeoutPosition = tm.Ascent * 3 / 10;
    return sm;
}

std::string TTestCanvas::Point(TPoint p) const
{
    return std::to_string(p.X + OriginX_) + "," + std::to_string(p.Y + OriginY_);
}

std::string TTestCanvas::Rect(const TRect& r) const
{
    const TRect d = r.Offset(OriginX_, OriginY_);
    return std::to_string(d.Left) + "," + std::to_string(d.Top) + "," + std::to_string(d.Right) + ","
           + std::to_string(d.Bottom);
}

void TTestCanvas::DrawTextRun(int x, int y, std::u16string_view text, TColor color)
{
    if (!LastDrawnFont_ || !(*LastDrawnFont_ == Font_)) {
        std::string line = "font " + Font_.Name + " " + std::to_string(FontPixelHeight(Font_, DpiY_)) + "px";
        if (Font_.Style.Contains(fsBold))
            line += " bold";
        if (Font_.Style.Contains(fsItalic))
            line += " italic";
        if (Font_.Style.Contains(fsUnderline))
            line += " underline";
        if (Font_.Style.Contains(fsStrikeOut))
            line += " strikeout";
        if (Font_.CharSpacing != 0)
            line += " spacing " + std::to_string(Font_.CharSpacing);
        if (Font_.CharScale != 100)
            line += " scale " + std::to_string(Font_.CharScale);
        Ops_.push_back(std::move(line));
        LastDrawnFont_ = Font_;
    }
    Ops_.push_back("text " + Point({x, y}) + " '" + Utf16ToUtf8(text) + "' " + ColorText(color));
}

void TTestCanvas::FillRect(const TRect& rect, TColor color)
{
    if (color != clNone && !rect.Empty())
        Ops_.push_back("fill " + Rect(rect) + " " + ColorText(color));
}

void TTestCanvas::Line(TPoint from, TPoint to, const TCanvasPen& pen)
{
    if (pen.Color != clNone)
        Ops_.push_back("line " + Point(from) + " " + Point(to) + " " + PenText(pen));
}

void TTestCanvas::Polyline(const std::vector<TPoint>& points, const TCanvasPen& pen)
{
    if (pen.Color == clNone || points.empty())
        return;
    std::string line = "polyline";
    for (const TPoint& p : points)
        line += " " + Point(p);
    Ops_.push_back(line + " " + PenText(pen));
}

void TTestCanvas::Polygon(const std::vector<TPoint>& points, TColor fill, const TCanvasPen& pen)
{
    if (points.empty() || (fill == clNone && pen.Color == clNone))
        return;
    std::string line = "polygon";
    for (const TPoint& p : points)
        line += " " + Point(p);
    line += fill == clNone ? " fill none" : " fill " + ColorText(fill);
    line += pen.Color == clNone ? " pen none" : " pen " + PenText(pen);
    Ops_.push_back(line);
}

void TTestCanvas::Rectangle(const TRect& rect, const TCanvasPen& pen)
{
    if (pen.Color != clNone && !rect.Empty())
        Ops_.push_back("rect " + Rect(rect) + " " + PenText(pen));
}

void TTestCanvas::DrawImage(const TRect& rect, const TRGBAImage& image)
{
    if (!image.Empty() && !rect.Empty())
        Ops_.push_back("image " + Rect(rect) + " from " + std::to_string(image.Width) + "x"
                       + std::to_string(image.Height));
}

void TTestCanvas::RecordClip()
{
    if (Clip_) {
        const TRect& c = *Clip_;
        Ops_.push_back("clip " + std::to_string(c.Left) + "," + std::to_string(c.Top) + "," + std::to_string(c.Right)
                       + "," + std::to_string(c.Bottom));
    } else {
        Ops_.push_back("clip none");
    }
}

void TTestCanvas::IntersectClip(const TRect& rect)
{
    const TRect device = rect.Offset(OriginX_, OriginY_);
    Clip_ = Clip_ ? Clip_->Intersect(device) : device;
    RecordClip();
}

void TTestCanvas::SetClip(const TRect& rect)
{
    Clip_ = rect.Offset(OriginX_, OriginY_);
    RecordClip();
}

void TTestCanvas::ResetClip()
{
    Clip_.reset();
    RecordClip();
}

void TTestCanvas::Translate(int dx, int dy)
{
    OriginX_ += dx;
    OriginY_ += dy;
}

void TTestCanvas::Save()
{
    Saved_.push_back({Font_, OriginX_, OriginY_, Clip_});
}

void TTestCanvas::Restore()
{
    if (Saved_.empty())
        return;
    const TState state = std::move(Saved_.back());
    Saved_.pop_back();
    Font_ = state.Font;
    OriginX_ = state.OriginX;
    OriginY_ = state.OriginY;
    if (state.Clip != Clip_) {
        Clip_ = state.Clip;
        RecordClip();
    }
}

} // namespace xq

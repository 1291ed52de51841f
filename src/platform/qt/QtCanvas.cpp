// TQtCanvas: font selection, cached per-character advances, and painting through QPainter.
#include "platform/qt/QtCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include <QByteArray>
#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRawFont>

#include "platform/FontTypes.h"
#include "platform/Image.h"
#include "platform/SymbolFonts.h"

namespace xq {

namespace {

[[nodiscard]] QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

[[nodiscard]] Qt::PenStyle ToQtPenStyle(TPenStyle style) noexcept
{
    switch (style) {
    case psSolid: return Qt::SolidLine;
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    }
    return Qt::SolidLine;
}

[[nodiscard]] QPen ToQPen(const TCanvasPen& pen)
{
    QPen q(ToQColor(pen.Color), std::max(1, pen.Width), ToQtPenStyle(pen.Style));
    q.setCapStyle(pen.Style == psSolid ? Qt::SquareCap : Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
    return q;
}

[[nodiscard]] QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

[[nodiscard]] std::uint16_t ReadU16(const QByteArray& table, int offset) noexcept
{
    return static_cast<std::uint16_t>((static_cast<unsigned char>(table[offset]) << 8)
                                      | static_cast<unsigned char>(table[offset + 1]));
}

[[nodiscard]] int ReadS16(const QByteArray& table, int offset) noexcept
{
    return static_cast<std::int16_t>(ReadU16(table, offset));
}

/// No glyph is drawn right of this: far beyond any paint device.
constexpr std::int64_t MaxDrawX = std::int64_t{1} << 30;

[[nodiscard]] bool IsHighSurrogate(char32_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
[[nodiscard]] bool IsLowSurrogate(char32_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

} // namespace

QString QtFamilyFor(const std::string& fontName)
{
    struct TAlias {
        const char* Name;
        const char* Family;
    };
    static constexpr std::array Aliases = {
        TAlias{"Arial", "Liberation Sans"},          TAlias{"Arial Narrow", "Liberation Sans Narrow"},
        TAlias{"Times New Roman", "Liberation Serif"}, TAlias{"Courier New", "Liberation Mono"},
        TAlias{"Helvetica", "Liberation Sans"},      TAlias{"MS Sans Serif", "Liberation Sans"},
        TAlias{"Times", "Liberation Serif"},         TAlias{"Courier", "Liberation Mono"},
    };
    if (SymbolFontOf(fontName) != sfNone)
        return QStringLiteral("DejaVu Sans");
    for (const TAlias& alias : Aliases)
        if (SameFontName(fontName, alias.Name))
            return QString::fromLatin1(alias.Family);
    return QString::fromStdString(fontName);
}

/// A selected font with everything measured about it so far.
struct TQtCanvas::TFontData {
    QFont Font;
    QFontMetricsF FontMetrics;
    TSymbolFont Symbol = sfNone;
    int EmHeight = 0;
    std::array<int, 256> Latin{}; ///< advances of U+0000..U+00FF, -1 until measured
    std::unordered_map<char32_t, int> Others;
    std::optional<TTextMetrics> TextMetrics;
    std::optional<TScriptMetrics> Script;

    TFontData(const QFont& font, TSymbolFont symbol, int em) : Font(font), FontMetrics(font), Symbol(symbol), EmHeight(em)
    {
        Latin.fill(-1);
    }
};

TQtCanvas::TQtCanvas(QPaintDevice* device)
    : DpiX_(device->logicalDpiX()), DpiY_(device->logicalDpiY()), Painter_(std::make_unique<QPainter>(device))
{
    Painter_->setRenderHint(QPainter::Antialiasing, false);
    Painter_->setRenderHint(QPainter::TextAntialiasing, true);
    SelectFont(Font_);
}

TQtCanvas::TQtCanvas(int dpiX, int dpiY) : DpiX_(dpiX), DpiY_(dpiY)
{
    SelectFont(Font_);
}

TQtCanvas::~TQtCanvas()
{
    if (Painter_)
        Painter_->end();
}

void TQtCanvas::SelectFont(const TCanvasFont& font)
{
    Font_ = font;
    const int em = FontPixelHeight(font, DpiY_);
    const int scale = font.CharScale > 0 ? font.CharScale : 100;
    // Underline, strike-out and spacing do not change the glyphs, so fonts differing only there share.
    const std::string key = font.Name + '\n' + std::to_string(em) + (font.Style.Contains(fsBold) ? "b" : "")
                            + (font.Style.Contains(fsItalic) ? "i" : "") + '\n' + std::to_string(scale);
    auto& slot = Fonts_[key];
    if (!slot) {
        QFont q(QtFamilyFor(font.Name));
        q.setPixelSize(em);
        q.setBold(font.Style.Contains(fsBold));
        q.setItalic(font.Style.Contains(fsItalic));
        q.setKerning(false);
        q.setHintingPreference(QFont::PreferNoHinting);
        q.setStyleStrategy(QFont::PreferOutline);
        if (scale != 100)
            q.setStretch(std::clamp(scale, 1, 4000));
        slot = std::make_unique<TFontData>(q, SymbolFontOf(font.Name), em);
    }
    Current_ = slot.get();
}

QFont TQtCanvas::SelectedQFont() const
{
    return Current_->Font;
}

char32_t TQtCanvas::DisplayChar(char32_t code) const noexcept
{
    if (Current_->Symbol == sfNone)
        return code;
    if (const char32_t mapped = SymbolToUnicode(Current_->Symbol, code))
        return mapped;
    return code >= 0xF020 && code <= 0xF0FF ? code - 0xF000 : code;
}

int TQtCanvas::CodePointAdvance(char32_t code)
{
    TFontData& f = *Current_;
    int* slot = nullptr;
    if (code < 256) {
        slot = &f.Latin[code];
        if (*slot >= 0)
            return *slot;
    } else if (const auto it = f.Others.find(code); it != f.Others.end()) {
        return it->second;
    }
    int advance = 0;
    if (code >= 32) {
        const char32_t shown = DisplayChar(code);
        advance = static_cast<int>(std::lround(f.FontMetrics.horizontalAdvance(QString::fromUcs4(&shown, 1))));
    }
    if (slot)
        *slot = advance;
    else
        f.Others.emplace(code, advance);
    return advance;
}

int TQtCanvas::CharAdvance(char16_t c, char16_t next)
{
    if (IsLowSurrogate(c))
        return 0;
    char32_t code = c;
    if (IsHighSurrogate(c)) {
        if (!IsLowSurrogate(next))
            return 0;
        code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (static_cast<char32_t>(next) - 0xDC00);
    }
    if (code < 32)
        return 0;
    return CodePointAdvance(code) + Font_.CharSpacing;
}

TTextMetrics TQtCanvas::Metrics()
{
    TFontData& f = *Current_;
    if (!f.TextMetrics) {
        TTextMetrics tm;
        // Rounded up, so that the antialiased edges of accents and descenders stay inside the cell.
        tm.Ascent = static_cast<int>(std::ceil(f.FontMetrics.ascent() - 0.01));
        tm.Descent = static_cast<int>(std::ceil(f.FontMetrics.descent() - 0.01));
        tm.Height = tm.Ascent + tm.Descent;
        tm.InternalLeading = std::max(0, tm.Height - f.EmHeight);
        tm.ExternalLeading = std::max(0, static_cast<int>(std::lround(f.FontMetrics.leading())));
        // The average width the font declares (OS/2 xAvgCharWidth), as text metric records give it.
        const QRawFont raw = QRawFont::fromFont(f.Font);
        const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
        if (os2.size() >= 4 && raw.unitsPerEm() > 0)
            tm.AveCharWidth = static_cast<int>(std::lround(ReadS16(os2, 2) * f.EmHeight / raw.unitsPerEm()));
        else
            tm.AveCharWidth = static_cast<int>(std::lround(f.FontMetrics.averageCharWidth()));
        tm.MaxCharWidth = static_cast<int>(std::lround(f.FontMetrics.maxWidth()));
        f.TextMetrics = tm;
    }
    TTextMetrics tm = *f.TextMetrics;
    if (tm.AveCharWidth > 0)
        tm.AveCharWidth += Font_.CharSpacing;
    if (tm.MaxCharWidth > 0)
        tm.MaxCharWidth += Font_.CharSpacing;
    return tm;
}

TScriptMetrics TQtCanvas::ScriptMetrics()
{
    TFontData& f = *Current_;
    if (!f.Script) {
        TScriptMetrics sm;
        const QRawFont raw = QRawFont::fromFont(f.Font);
        const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
        const double units = raw.isValid() ? raw.unitsPerEm() : 0.0;
        // The sub/superscript fields of the OS/2 table: y sizes at 12 and 20, y offsets at 16 and 24.
        if (os2.size() >= 26 && units > 0) {
            const auto px = [&](int offset) {
                return static_cast<int>(std::lround(ReadS16(os2, offset) * f.EmHeight / units));
            };
            sm.HasOutline = true;
            sm.SubscriptSize = px(12);
            sm.SubscriptOffset = px(16);
            sm.SuperscriptSize = px(20);
            sm.SuperscriptOffset = px(24);
        }
        const int thickness = std::max(1, static_cast<int>(std::lround(f.FontMetrics.lineWidth())));
        sm.UnderlinePosition = std::max(1, static_cast<int>(std::lround(f.FontMetrics.underlinePos())));
        sm.UnderlineThickness = thickness;
        sm.StrikeoutPosition = static_cast<int>(std::lround(f.FontMetrics.strikeOutPos())) + thickness / 2;
        sm.StrikeoutThickness = thickness;
        f.Script = sm;
    }
    return *f.Script;
}

void TQtCanvas::DrawTextRun(int x, int y, std::u16string_view text, TColor color)
{
    if (!Painter_)
        return;
    Painter_->setFont(Current_->Font);
    Painter_->setPen(ToQColor(color));
    const int baseline = y + Metrics().Ascent;
    // In 64 bits: a long run in a large font reaches beyond what 32 bits count, and nothing is
    // drawn that far out.
    std::int64_t pen = x;
    for (std::size_t i = 0; i < text.size() && pen <= MaxDrawX; ++i) {
        const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
        const int advance = CharAdvance(text[i], next);
        char32_t code = text[i];
        if (IsHighSurrogate(code) && IsLowSurrogate(next))
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char32_t>(next) - 0xDC00);
        if (code > 32 && !IsLowSurrogate(code) && code != 0xA0) {
            const char32_t shown = DisplayChar(code);
            Painter_->drawText(QPointF(double(pen), baseline), QString::fromUcs4(&shown, 1));
        }
        pen += advance;
    }
}

void TQtCanvas::FillRect(const TRect& rect, TColor color)
{
    if (Painter_ && color != clNone && !rect.Empty())
        Painter_->fillRect(ToQRect(rect), ToQColor(color));
}

void TQtCanvas::Line(TPoint from, TPoint to, const TCanvasPen& pen)
{
    if (!Painter_ || pen.Color == clNone)
        return;
    Painter_->setPen(ToQPen(pen));
    Painter_->drawLine(from.X, from.Y, to.X, to.Y);
}

void TQtCanvas::Polyline(const std::vector<TPoint>& points, const TCanvasPen& pen)
{
    if (!Painter_ || pen.Color == clNone || points.empty())
        return;
    QPolygon polygon;
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    Painter_->setPen(ToQPen(pen));
    Painter_->drawPolyline(polygon);
}

void TQtCanvas::Polygon(const std::vector<TPoint>& points, TColor fill, const TCanvasPen& pen)
{
    if (!Painter_ || points.empty())
        return;
    QPolygon polygon;
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    Painter_->setPen(pen.Color == clNone ? QPen(Qt::NoPen) : ToQPen(pen));
    Painter_->setBrush(fill == clNone ? QBrush(Qt::NoBrush) : QBrush(ToQColor(fill)));
    Painter_->drawPolygon(polygon);
    Painter_->setBrush(Qt::NoBrush);
}

void TQtCanvas::Rectangle(const TRect& rect, const TCanvasPen& pen)
{
    if (!Painter_ || pen.Color == clNone || rect.Empty())
        return;
    // Nested one-pixel frames keep the whole pen inside the rectangle for every dash style.
    TCanvasPen thin = pen;
    thin.Width = 1;
    QPen q = ToQPen(thin);
    q.setCapStyle(Qt::FlatCap);
    Painter_->setPen(q);
    Painter_->setBrush(Qt::NoBrush);
    for (int i = 0; i < std::max(1, pen.Width); ++i) {
        const int w = rect.Width() - 1 - 2 * i;
        const int h = rect.Height() - 1 - 2 * i;
        if (w < 0 || h < 0)
            break;
        Painter_->drawRect(QRect(rect.Left + i, rect.Top + i, w, h));
    }
}

void TQtCanvas::DrawImage(const TRect& rect, const TRGBAImage& image)
{
    if (!Painter_ || image.Empty() || rect.Empty()
        || image.Pixels.size() < static_cast<std::size_t>(image.Width) * image.Height * 4)
        return;
    const QImage source(image.Pixels.data(), image.Width, image.Height, image.Width * 4, QImage::Format_RGBA8888);
    const bool scaled = rect.Width() != image.Width || rect.Height() != image.Height;
    Painter_->setRenderHint(QPainter::SmoothPixmapTransform, scaled);
    Painter_->drawImage(ToQRect(rect), source);
}

void TQtCanvas::IntersectClip(const TRect& rect)
{
    if (Painter_)
        Painter_->setClipRect(ToQRect(rect), Painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TQtCanvas::SetClip(const TRect& rect)
{
    if (Painter_)
        Painter_->setClipRect(ToQRect(rect), Qt::ReplaceClip);
}

void TQtCanvas::ResetClip()
{
    if (Painter_)
        Painter_->setClipping(false);
}

void TQtCanvas::Translate(int dx, int dy)
{
    if (Painter_)
        Painter_->translate(dx, dy);
}

void TQtCanvas::Save()
{
    SavedFonts_.push_back(Font_);
    if (Painter_)
        Painter_->save();
}

void TQtCanvas::Restore()
{
    if (SavedFonts_.empty())
        return;
    SelectFont(SavedFonts_.back());
    SavedFonts_.pop_back();
    if (Painter_)
        Painter_->restore();
}

} // namespace xq

// TQtCanvas: font selection, cached per-character advances and glyphs, and painting through QPainter.
#include "platform/qt/QtCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include <QByteArray>
#include <QColor>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <QPen>
#include <QPolygon>
#include <QRawFont>
#include <QTextLayout>
#include <QTextOption>

#include "platform/FontTypes.h"
#include "platform/Image.h"
#include "platform/SymbolFonts.h"
#include "platform/Unicode.h"

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

/// Characters that paint nothing: controls, the space, the no-break space and the second half
/// of a surrogate pair on its own.
[[nodiscard]] bool PaintsNothing(char32_t code) noexcept
{
    return code <= 32 || code == 0xA0 || IsLowSurrogate(code);
}

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

/// A glyph as the canvas paints it: which of its font's raw fonts it comes from, its index there,
/// and where its origin lies from the pen position on the baseline (marks stand off their character).
struct TQtCanvas::TPlacedGlyph {
    std::uint32_t Font = 0;
    quint32 Index = 0;
    QPointF Offset;
};

/// The glyphs of one raw font in the run being painted.
struct TQtCanvas::TGlyphBatch {
    QList<quint32> Indexes;
    QList<QPointF> Positions;
};

/// A selected font with everything measured and shaped about it so far.
struct TQtCanvas::TFontData {
    QFont Font;
    QFontMetricsF FontMetrics;
    TSymbolFont Symbol = sfNone;
    int EmHeight = 0;
    std::array<int, 256> Latin{}; ///< advances of U+0000..U+00FF, -1 until measured
    std::unordered_map<char32_t, int> Others;
    std::unordered_map<std::u16string, int> Clusters; ///< advances of characters with marks
    std::optional<TTextMetrics> TextMetrics;
    std::optional<TScriptMetrics> Script;

    /// The raw fonts glyphs are painted from: the font's own first, then the fallback fonts Qt
    /// found for characters the font lacks, in the order they were met.
    std::vector<QRawFont> RawFonts;
    /// The glyphs of every character and cluster painted so far, by its text: U+0000..U+00FF in a
    /// table, the others in a map.
    std::array<std::optional<std::vector<TPlacedGlyph>>, 256> LatinGlyphs;
    std::unordered_map<std::u16string, std::vector<TPlacedGlyph>> OtherGlyphs;

    TFontData(const QFont& font, TSymbolFont symbol, int em) : Font(font), FontMetrics(font), Symbol(symbol), EmHeight(em)
    {
        Latin.fill(-1);
    }

    /// The index of a raw font in RawFonts, added when it is new.
    [[nodiscard]] std::uint32_t RawFontIndex(const QRawFont& raw)
    {
        // The font's own raw font is made from the font, so that its glyphs are painted with the
        // font's hinting preference; a glyph run of the same font engine compares equal to it.
        if (RawFonts.empty())
            RawFonts.push_back(QRawFont::fromFont(Font));
        for (std::size_t i = 0; i < RawFonts.size(); ++i)
            if (RawFonts[i] == raw)
                return static_cast<std::uint32_t>(i);
        RawFonts.push_back(raw);
        return static_cast<std::uint32_t>(RawFonts.size() - 1);
    }
};

TQtCanvas::TQtCanvas(QPaintDevice* device)
    : DpiX_(device->logicalDpiX()), DpiY_(device->logicalDpiY()), Painter_(std::make_unique<QPainter>(device))
{
    Painter_->setRenderHint(QPainter::Antialiasing, false);
    Painter_->setRenderHint(QPainter::TextAntialiasing, true);
    SelectFont(Font_);
}

TQtCanvas::TQtCanvas(QPaintDevice* device, int dpiX, int dpiY)
    : DpiX_(std::max(dpiX, 1)), DpiY_(std::max(dpiY, 1)), Painter_(std::make_unique<QPainter>(device))
{
    if (Painter_->isActive()) {
        Painter_->setRenderHint(QPainter::Antialiasing, false);
        Painter_->setRenderHint(QPainter::TextAntialiasing, true);
        Painter_->scale(double(device->logicalDpiX()) / DpiX_, double(device->logicalDpiY()) / DpiY_);
    }
    SelectFont(Font_);
}

TQtCanvas::TQtCanvas(QPaintDevice* device, int dpi, const QTransform& toDevice)
    : DpiX_(std::max(dpi, 1)), DpiY_(std::max(dpi, 1)), Painter_(std::make_unique<QPainter>(device))
{
    if (Painter_->isActive()) {
        Painter_->setRenderHint(QPainter::Antialiasing, false);
        Painter_->setRenderHint(QPainter::TextAntialiasing, true);
        Painter_->setTransform(toDevice);
    }
    SelectFont(Font_);
}

TQtCanvas::TQtCanvas(int dpiX, int dpiY) : DpiX_(dpiX), DpiY_(dpiY)
{
    SelectFont(Font_);
}

bool TQtCanvas::Painting() const noexcept
{
    return Painter_ && Painter_->isActive();
}

TQtCanvas::~TQtCanvas()
{
    if (Painter_ && Painter_->isActive())
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
        code = CodePointOf(c, next);
    }
    if (code < 32 || IsCombiningMark(code))
        return 0;
    return CodePointAdvance(code) + Font_.CharSpacing;
}

void TQtCanvas::CharAdvances(std::u16string_view text, std::vector<int>& advances)
{
    // Text is mostly characters of U+0020..U+00FF without marks, measured before: those are read
    // from the table here, everything else goes through the general rule a cluster at a time.
    const std::size_t n = text.size();
    advances.resize(n);
    const std::array<int, 256>& latin = Current_->Latin;
    const int spacing = Font_.CharSpacing;
    for (std::size_t k = 0; k < n;) {
        const char16_t c = text[k];
        const char16_t next = k + 1 < n ? text[k + 1] : u'\0';
        if (c >= 32 && c < 256 && next < 0x0300 && latin[c] >= 0) {
            advances[k] = latin[c] + spacing;
            ++k;
        } else {
            k = ClusterAdvancesAt(text, k, advances);
        }
    }
}

int TQtCanvas::ClusterAdvance(std::u16string_view cluster)
{
    if (cluster[0] < 32)
        return 0;
    TFontData& f = *Current_;
    const std::u16string key(cluster);
    auto it = f.Clusters.find(key);
    if (it == f.Clusters.end()) {
        // Shaped as a whole: a letter with a mark the font has precomposed measures as that
        // character does (HarfBuzz composes it), any other as its letter.
        const int advance = static_cast<int>(std::lround(f.FontMetrics.horizontalAdvance(DisplayString(cluster))));
        it = f.Clusters.emplace(key, advance).first;
    }
    return it->second + Font_.CharSpacing;
}

QString TQtCanvas::DisplayString(std::u16string_view text) const
{
    QString shown;
    shown.reserve(qsizetype(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(code) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = CodePointOf(text[i], text[i + 1]);
            ++i;
        } else if (IsSurrogate(code)) {
            code = 0xFFFD; // a lone surrogate shows as the replacement character
        }
        const char32_t mapped = DisplayChar(code);
        shown += QString::fromUcs4(&mapped, 1);
    }
    return shown;
}

std::vector<TQtCanvas::TPlacedGlyph> TQtCanvas::Shape(const QString& shown)
{
    // Qt's text layout picks a fallback font for characters the font lacks and places marks.
    TFontData& f = *Current_;
    QTextLayout layout(shown, f.Font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    std::vector<TPlacedGlyph> glyphs;
    if (!line.isValid())
        return glyphs;
    const QPointF origin(0, line.y() + line.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const std::uint32_t font = f.RawFontIndex(run.rawFont());
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i)
            glyphs.push_back({font, indexes[i], positions[i] - origin});
    }
    return glyphs;
}

const std::vector<TQtCanvas::TPlacedGlyph>& TQtCanvas::GlyphsOf(std::u16string_view cluster)
{
    TFontData& f = *Current_;
    if (cluster.size() == 1 && cluster[0] < 256) {
        auto& slot = f.LatinGlyphs[cluster[0]];
        if (!slot)
            slot = Shape(DisplayString(cluster));
        return *slot;
    }
    const std::u16string key(cluster);
    auto it = f.OtherGlyphs.find(key);
    if (it == f.OtherGlyphs.end())
        it = f.OtherGlyphs.emplace(key, Shape(DisplayString(cluster))).first;
    return it->second;
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
    TFontData& f = *Current_;
    const TTextMetrics metrics = Metrics();
    const double baseline = y + metrics.Ascent;
    CharAdvances(text, Advances_);
    // A run wholly outside the clip is not sent to the device at all: a PDF page then carries
    // only the text it shows, which is what is found and copied in it.
    if (Painter_->hasClipping()) {
        std::int64_t width = 0;
        for (const int advance : Advances_)
            width += advance;
        const QRectF run(x, y, double(std::min<std::int64_t>(width, MaxDrawX)), metrics.Height);
        if (!Painter_->clipBoundingRect().intersects(run))
            return;
    }
    for (TGlyphBatch& batch : Batches_) {
        batch.Indexes.clear();
        batch.Positions.clear();
    }
    // Every cluster's glyphs go to the batch of their raw font, placed at the measured pen
    // position. In 64 bits: a long run in a large font reaches beyond what 32 bits count, and
    // nothing is drawn that far out.
    std::int64_t pen = x;
    for (std::size_t i = 0; i < text.size() && pen <= MaxDrawX;) {
        // Before anything below U+0300 (or the end) a unit stands alone.
        const std::size_t end = i + 1 == text.size() || text[i + 1] < 0x0300 ? i + 1 : ClusterEnd(text, i);
        const std::u16string_view cluster = text.substr(i, end - i);
        const bool single = end - i == 1 || (end - i == 2 && IsHighSurrogate(cluster[0]));
        if (!single || !PaintsNothing(cluster[0])) {
            for (const TPlacedGlyph& glyph : GlyphsOf(cluster)) {
                if (glyph.Font >= Batches_.size())
                    Batches_.resize(glyph.Font + 1);
                TGlyphBatch& batch = Batches_[glyph.Font];
                batch.Indexes.push_back(glyph.Index);
                batch.Positions.push_back(QPointF(double(pen), baseline) + glyph.Offset);
            }
        }
        for (std::size_t k = i; k < end; ++k)
            pen += Advances_[k];
        i = end;
    }
    Painter_->setPen(ToQColor(color));
    for (std::size_t font = 0; font < Batches_.size() && font < f.RawFonts.size(); ++font) {
        TGlyphBatch& batch = Batches_[font];
        if (batch.Indexes.isEmpty())
            continue;
        QGlyphRun run;
        run.setRawFont(f.RawFonts[font]);
        run.setGlyphIndexes(batch.Indexes);
        run.setPositions(batch.Positions);
        Painter_->drawGlyphRun(QPointF(0, 0), run);
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

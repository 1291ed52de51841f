// Tests of the Qt canvas with real fonts: glyph runs paint what was measured, in pictures and in
// PDF, characters the font lacks still come from a fallback font, and combining marks measure
// nothing and sit on their letter, so that decomposed words look and measure like their
// precomposed forms.
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <zlib.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace xq {
namespace {

TCanvasFont Font(const std::string& name, int size, TFontStyles style = {})
{
    TCanvasFont f;
    f.Name = name;
    f.Size = size;
    f.Style = style;
    return f;
}

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    return image;
}

/// How two pictures of one size differ: the pixels that differ at all, and the largest difference
/// of a grey level.
struct TDifference {
    int Pixels = 0;
    int Largest = 0;
};

TDifference Compare(const QImage& a, const QImage& b)
{
    TDifference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int delta = std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
            if (delta > 0) {
                ++d.Pixels;
                d.Largest = std::max(d.Largest, delta);
            }
        }
    return d;
}

int InkedPixels(const QImage& image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
    return inked;
}

/// text painted at x, y on its own picture of width x height.
QImage Painted(const TCanvasFont& font, std::u16string_view text, int width, int height, int x = 4, int y = 4)
{
    QImage image = WhiteImage(width, height);
    TQtCanvas canvas(&image);
    canvas.SelectFont(font);
    canvas.DrawText(x, y, text, clBlack);
    return image;
}

/// text painted one character at a time with QPainter::drawText at the canvas's advances, as
/// the canvas once painted it: the reference for glyph runs.
QImage PaintedCharByChar(const TCanvasFont& font, std::u16string_view text, int width, int height, int x, int y)
{
    TQtCanvas measure(96, 96);
    measure.SelectFont(font);
    const int baseline = y + measure.Metrics().Ascent;
    std::vector<int> advances;
    measure.CharAdvances(text, advances);
    QImage image = WhiteImage(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(measure.SelectedQFont());
    painter.setPen(Qt::black);
    int pen = x;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 32)
            painter.drawText(QPointF(pen, baseline), QString(QChar(text[i])));
        pen += advances[i];
    }
    return image;
}

TEST(QtCanvasMarks, MarksMeasureNothingAndClustersMeasureAsTheirPrecomposedCharacters)
{
    TQtCanvas canvas(96, 96);
    TCanvasFont spaced = Font("Times New Roman", 12);
    spaced.CharSpacing = 3;
    for (const TCanvasFont& font : {Font("Arial", 10), Font("Arial", 28), Font("Arial", 12, {fsBold}), spaced}) {
        canvas.SelectFont(font);
        SCOPED_TRACE(font.Name + " " + std::to_string(font.Size));
        EXPECT_EQ(canvas.CharAdvance(0x0301, 0), 0);
        EXPECT_EQ(canvas.CharAdvance(0x0308, u'v'), 0);
        EXPECT_EQ(canvas.TextWidth(u"Cafe\u0301"), canvas.TextWidth(u"Caf\u00E9"));
        EXPECT_EQ(canvas.TextWidth(u"nai\u0308ve"), canvas.TextWidth(u"na\u00EFve"));
        std::vector<int> decomposed, precomposed;
        canvas.CharAdvances(u"i\u0308v", decomposed);
        canvas.CharAdvances(u"\u00EFv", precomposed);
        EXPECT_EQ(decomposed, (std::vector<int>{precomposed[0], 0, precomposed[1]}));
    }
    // In Arial the i with diaeresis is wider than the i: the cluster measures as the former.
    canvas.SelectFont(Font("Arial", 28));
    EXPECT_GT(canvas.TextWidth(u"i\u0308"), canvas.TextWidth(u"i"));
}

TEST(QtCanvasRuns, GlyphRunsPaintWhatCharacterByCharacterDrawingPainted)
{
    // Latin, Greek and Cyrillic letters, the euro sign, and a check mark the Liberation fonts lack
    // (painted from a fallback font, as Qt picks it for drawText).
    const std::u16string text = u"Grüße, Ωμέγα Жж €\u2713 Wm.";
    TCanvasFont narrow = Font("Arial", 12);
    narrow.CharScale = 60;
    TCanvasFont spaced = Font("Times New Roman", 11, {fsItalic});
    spaced.CharSpacing = 2;
    for (const TCanvasFont& font : {Font("Arial", 10), Font("Times New Roman", 14, {fsBold}), Font("Courier New", 10),
                                    narrow, spaced}) {
        SCOPED_TRACE(font.Name + " scale " + std::to_string(font.CharScale));
        const QImage runs = Painted(font, text, 320, 40, 6, 8);
        const QImage reference = PaintedCharByChar(font, text, 320, 40, 6, 8);
        ASSERT_GT(InkedPixels(reference), 100);
        const TDifference d = Compare(runs, reference);
        EXPECT_EQ(d.Pixels, 0) << "largest difference " << d.Largest;
    }
}

TEST(QtCanvasMarks, AMarkWithoutAPrecomposedFormStandsOnItsLetter)
{
    // q with a diaeresis has no character of its own: the font's shaping places the mark.
    const TCanvasFont font = Font("Arial", 28);
    TQtCanvas measure(96, 96);
    measure.SelectFont(font);
    const int cell = measure.CharAdvance(u'q', 0);
    ASSERT_EQ(measure.TextWidth(u"q\u0308"), cell);
    const QImage plain = Painted(font, u"qx", 120, 60, 10, 5);
    const QImage marked = Painted(font, u"q\u0308x", 120, 60, 10, 5);
    int top = plain.height(); // the top of the plain q
    for (int y = 0; y < plain.height() && top == plain.height(); ++y)
        for (int x = 10; x < 10 + cell; ++x)
            if (qGray(plain.pixel(x, y)) < 200) {
                top = y;
                break;
            }
    // What the mark adds lies above the q and within its cell; the x after it is untouched.
    int added = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            if (qGray(marked.pixel(x, y)) + 64 >= qGray(plain.pixel(x, y)))
                continue;
            ++added;
            EXPECT_LT(y, top) << x << "," << y;
            EXPECT_GE(x, 10 - 1) << x << "," << y;
            EXPECT_LT(x, 10 + cell + 1) << x << "," << y;
        }
    EXPECT_GT(added, 10);
}

/// The PNG pictures of this test are kept in the screenshot folder.
QString ScreenshotPath(const QString& name)
{
    const QString dir = QStringLiteral(XQ_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    return QDir(dir).filePath(name);
}

TEST(QtCanvasMarks, DecomposedWordsLookLikeTheirPrecomposedForms)
{
    struct TWord {
        std::u16string Precomposed;
        std::u16string Decomposed;
        QString File;
    };
    const TWord words[] = {
        {u"Caf\u00E9", u"Cafe\u0301", QStringLiteral("combining-marks-cafe.png")},
        {u"na\u00EFve", u"nai\u0308ve", QStringLiteral("combining-marks-naive.png")},
    };
    for (const TWord& word : words) {
        for (const int size : {12, 28}) {
            const TCanvasFont font = Font("Arial", size);
            SCOPED_TRACE(word.File.toStdString() + " " + std::to_string(size) + " pt");
            TQtCanvas measure(96, 96);
            measure.SelectFont(font);
            const int width = measure.TextWidth(word.Precomposed);
            EXPECT_EQ(measure.TextWidth(word.Decomposed), width);
            const int height = measure.Metrics().Height;

            // Each form on a picture of its own, the two compared pixel by pixel.
            const QImage precomposed = Painted(font, word.Precomposed, width + 8, height + 8);
            const QImage decomposed = Painted(font, word.Decomposed, width + 8, height + 8);
            ASSERT_GT(InkedPixels(precomposed), 20);
            const TDifference d = Compare(precomposed, decomposed);
            EXPECT_LE(d.Pixels, width * height / 100) << "largest difference " << d.Largest;
            EXPECT_LE(d.Largest, 64);

            // The larger size is kept to look at: the precomposed word, then the decomposed one.
            if (size == 28) {
                QImage pair = WhiteImage(2 * (width + 8) + 16, height + 8);
                QPainter painter(&pair);
                painter.drawImage(0, 0, precomposed);
                painter.drawImage(width + 8 + 16, 0, decomposed);
                painter.end();
                EXPECT_TRUE(pair.save(ScreenshotPath(word.File), "PNG"));
            }
        }
    }
}

/// The text operators of every page content stream of a PDF file, one per line, inflated.
std::vector<std::string> PdfTextOperators(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = file.readAll();
    std::vector<std::string> ops;
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream\n", at)) >= 0) {
        at += 7;
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0)
            break;
        std::vector<unsigned char> out(1 << 20);
        uLongf outLength = uLongf(out.size());
        if (uncompress(out.data(), &outLength, reinterpret_cast<const Bytef*>(pdf.constData() + at), uLong(end - at)) ==
            Z_OK) {
            const QString content = QString::fromLatin1(reinterpret_cast<const char*>(out.data()), qsizetype(outLength));
            for (const QString& line : content.split(QLatin1Char('\n')))
                if (line.endsWith(QLatin1String(" Tj")))
                    ops.push_back(line.toStdString());
        }
        at = end;
    }
    return ops;
}

TEST(QtCanvasRuns, PdfPagesGetTheGlyphsAtTheMeasuredPlaces)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString& name, std::u16string_view text) {
        const QString path = dir.filePath(name);
        QPdfWriter writer(path);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                         QPageLayout::Millimeter));
        TQtCanvas canvas(&writer);
        canvas.SelectFont(Font("Arial", 12));
        canvas.DrawText(100, 100, text, clBlack);
        return path;
    };
    const std::vector<std::string> precomposed = PdfTextOperators(write("pre.pdf", u"Caf\u00E9 na\u00EFve"));
    const std::vector<std::string> decomposed = PdfTextOperators(write("de.pdf", u"Cafe\u0301 nai\u0308ve"));
    // One glyph for each letter (the space paints nothing), each placed by its offset from the last.
    ASSERT_EQ(precomposed.size(), 9u);
    EXPECT_EQ(decomposed, precomposed);

    TQtCanvas measure(600, 600);
    measure.SelectFont(Font("Arial", 12));
    std::vector<int> advances;
    measure.CharAdvances(u"Caf\u00E9", advances);
    // The second glyph stands the first one's advance on (device pixels at 600 dpi are the
    // writer's units here).
    const QRegularExpression offset(QStringLiteral("^(-?[0-9.]+) (-?[0-9.]+) Td"));
    const QRegularExpressionMatch second = offset.match(QString::fromStdString(precomposed[1]));
    ASSERT_TRUE(second.hasMatch()) << precomposed[1];
    EXPECT_NEAR(second.captured(1).toDouble(), advances[0], 0.01);
    EXPECT_EQ(second.captured(2).toDouble(), 0.0);
}

} // namespace
} // namespace xq

// Tests of the Qt canvas with the installed fonts: substitutes, additive advances, painting and resolution.
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <QFontInfo>
#include <QImage>

#include "document/Graphic.h"

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

QImage WhiteImage(int width, int height, int dpi = 96)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

bool Inked(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 200;
}

/// The smallest rectangle holding every inked pixel (empty when there is none).
QRect InkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Inked(image, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(QtCanvasFonts, DocumentFontsUseTheirLiberationSubstitutes)
{
    TQtCanvas canvas(96, 96);
    const std::vector<std::pair<std::string, QString>> fonts = {
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Arial Narrow", "Liberation Sans Narrow"},
        {"Courier New", "Liberation Mono"},
        {"Wingdings", "DejaVu Sans"},
    };
    for (const auto& [name, family] : fonts) {
        canvas.SelectFont(Font(name, 10));
        EXPECT_EQ(QFontInfo(canvas.SelectedQFont()).family(), family) << name;
        EXPECT_FALSE(canvas.SelectedQFont().kerning());
    }
}

TEST(QtCanvasFonts, MetricsAreThoseOfTheRealFont)
{
    TQtCanvas canvas(96, 96);
    canvas.SelectFont(Font("Courier New", 10)); // em 13; every character of a monospaced font is 0.6 em
    for (char16_t c : std::u16string(u"iWm.1 ß"))
        EXPECT_EQ(canvas.CharAdvance(c, 0), 8);
    canvas.SelectFont(Font("Arial", 10));
    const TTextMetrics tm = canvas.Metrics();
    EXPECT_EQ(tm.Height, tm.Ascent + tm.Descent);
    EXPECT_EQ(tm.Height - tm.InternalLeading, 13);
    EXPECT_GT(tm.Ascent, 2 * tm.Descent);
    EXPECT_GE(tm.MaxCharWidth, tm.AveCharWidth);
    const TScriptMetrics sm = canvas.ScriptMetrics();
    EXPECT_TRUE(sm.HasOutline);
    EXPECT_GE(sm.SubscriptSize, 6);
    EXPECT_LE(sm.SubscriptSize, 10);
    EXPECT_GT(sm.SuperscriptOffset, sm.SubscriptOffset / 2);
    EXPECT_GT(sm.SuperscriptOffset, 0);
    EXPECT_GT(sm.UnderlinePosition, 0);
    EXPECT_LE(sm.UnderlinePosition, tm.Descent);
    EXPECT_GT(sm.StrikeoutPosition, 0);
    EXPECT_LT(sm.StrikeoutPosition, tm.Ascent);
}

TEST(QtCanvasMeasure, WidthsAreSumsOfCharacterAdvances)
{
    TQtCanvas canvas(96, 96);
    TCanvasFont spaced = Font("Times New Roman", 12, {fsItalic});
    spaced.CharSpacing = 2;
    const std::u16string text = u"Sehr geehrte Damen und Herren, für Ihre Anfrage danken wir.";
    for (const TCanvasFont& font : {Font("Arial", 10), Font("Arial", 10, {fsBold}), spaced}) {
        canvas.SelectFont(font);
        int sum = 0;
        for (char16_t c : std::u16string(u"Sehr geehrte"))
            sum += canvas.CharAdvance(c, 0);
        EXPECT_EQ(canvas.TextWidth(u"Sehr geehrte"), sum) << font.Name;

        std::vector<int> positions;
        EXPECT_EQ(canvas.FitCount(text, 1 << 30, &positions), static_cast<int>(text.size()));
        for (std::size_t i = 0; i < text.size(); ++i)
            ASSERT_EQ(positions[i], canvas.TextWidth(std::u16string_view(text).substr(0, i + 1))) << i;
        const int half = positions[text.size() / 2];
        EXPECT_EQ(canvas.FitCount(text, half), static_cast<int>(text.size() / 2) + 1);
    }
}

TEST(QtCanvasMeasure, CharacterSpacingIsAddedToEveryCharacter)
{
    TQtCanvas canvas(96, 96);
    TCanvasFont font = Font("Arial", 10);
    canvas.SelectFont(font);
    const int plain = canvas.TextWidth(u"Grüße");
    font.CharSpacing = 3;
    canvas.SelectFont(font);
    EXPECT_EQ(canvas.TextWidth(u"Grüße"), plain + 5 * 3);
}

TEST(QtCanvasMeasure, LongTextsInTheLargestFontAreHeldAndDrawnOnlyWhereThePictureIs)
{
    // The largest font, scale and spacing a document can hold: 60000 characters of it measure
    // more than 32 bits count.
    TQtCanvas measure(96, 96);
    TCanvasFont font = Font("Arial", 1638);
    font.CharScale = 1000;
    font.CharSpacing = 32767;
    measure.SelectFont(font);
    const int one = measure.CharAdvance(u'W', u'W');
    ASSERT_GT(one, 32767);
    const std::u16string text(60000, u'W');
    ASSERT_GT(std::int64_t{one} * 60000, std::int64_t{INT32_MAX});
    EXPECT_EQ(measure.TextWidth(text), 1 << 30);
    std::vector<int> positions;
    EXPECT_EQ(measure.FitCount(text, 3 * one, &positions), 3);
    EXPECT_EQ(positions.front(), one);
    EXPECT_EQ(positions.back(), 1 << 30);

    // Drawn at the far right, with a back colour and underlined, it paints nothing and ends.
    QImage image = WhiteImage(64, 64);
    {
        TQtCanvas canvas(&image);
        font.Style = {fsUnderline};
        canvas.SelectFont(font);
        canvas.DrawText(INT32_MAX - 10, 0, text, clBlack, clRed);
    }
    EXPECT_TRUE(InkBox(image).isEmpty());
}

TEST(QtCanvasMeasure, BoldIsWiderThanRegular)
{
    TQtCanvas canvas(96, 96);
    for (const char* name : {"Arial", "Times New Roman"}) {
        canvas.SelectFont(Font(name, 10));
        const int regular = canvas.TextWidth(u"Sehr geehrte Damen und Herren");
        canvas.SelectFont(Font(name, 10, {fsBold}));
        EXPECT_GT(canvas.TextWidth(u"Sehr geehrte Damen und Herren"), regular) << name;
    }
}

TEST(QtCanvasMeasure, SizesScaleWithTheResolution)
{
    TQtCanvas screen(96, 96);
    TQtCanvas printer(600, 600);
    const std::u16string text = u"Sehr geehrte Damen und Herren";
    screen.SelectFont(Font("Arial", 10));  // em 13
    printer.SelectFont(Font("Arial", 10)); // em 83
    const double ratio = 83.0 / 13.0;
    const double slack = text.size() * (0.5 * ratio + 0.5);
    EXPECT_NEAR(printer.TextWidth(text), screen.TextWidth(text) * ratio, slack);
    EXPECT_NEAR(printer.Metrics().Height, screen.Metrics().Height * ratio, 1.0 * ratio + 1);

    QImage image = WhiteImage(10, 10, 600);
    TQtCanvas onImage(&image);
    EXPECT_EQ(onImage.DpiY(), 600);
    onImage.SelectFont(Font("Arial", 10));
    EXPECT_EQ(onImage.TextWidth(text), printer.TextWidth(text));
}

TEST(QtCanvasText, InkStaysInsideTheMeasuredBox)
{
    const std::u16string text = u"Sehr geehrte Damen";
    for (const TCanvasFont& font : {Font("Arial", 12), Font("Times New Roman", 14, {fsBold}), Font("Courier New", 10)}) {
        QImage image = WhiteImage(300, 60);
        int width = 0;
        TTextMetrics tm;
        int lastAdvance = 0;
        {
            TQtCanvas canvas(&image);
            canvas.SelectFont(font);
            width = canvas.TextWidth(text);
            tm = canvas.Metrics();
            lastAdvance = canvas.CharAdvance(text.back(), 0);
            canvas.DrawText(20, 10, text, clBlack);
        }
        const QRect ink = InkBox(image);
        SCOPED_TRACE(font.Name);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.left(), 20 - 1);
        EXPECT_LE(ink.right(), 20 + width);
        EXPECT_GE(ink.top(), 10);
        EXPECT_LT(ink.bottom(), 10 + tm.Height);
        // The last character is painted at its measured place, not squeezed or spread.
        EXPECT_GT(ink.right(), 20 + width - lastAdvance);
    }
}

TEST(QtCanvasText, CapitalsStandOnTheBaseline)
{
    for (int size : {10, 12, 20}) {
        QImage image = WhiteImage(200, 60);
        int ascent = 0;
        {
            TQtCanvas canvas(&image);
            canvas.SelectFont(Font("Arial", size));
            ascent = canvas.Metrics().Ascent;
            canvas.DrawText(5, 7, u"HEL", clBlack);
        }
        const QRect ink = InkBox(image);
        EXPECT_EQ(ink.bottom(), 7 + ascent - 1) << size;
        EXPECT_GE(ink.top(), 7) << size;
    }
}

TEST(QtCanvasText, BackColourAndUnderlineSpanTheWidth)
{
    QImage image = WhiteImage(200, 40);
    int width = 0;
    int underline = 0;
    {
        TQtCanvas canvas(&image);
        canvas.SelectFont(Font("Arial", 10, {fsUnderline}));
        width = canvas.TextWidth(u"Hallo Welt");
        underline = 5 + canvas.Metrics().Ascent + canvas.ScriptMetrics().UnderlinePosition;
        canvas.DrawText(10, 5, u"Hallo Welt", clBlack, clYellow);
    }
    EXPECT_EQ(image.pixel(10, 5), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(10 + width - 1, 5), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(10 + width, 5), qRgb(255, 255, 255));
    for (int x = 10; x < 10 + width; ++x)
        ASSERT_EQ(image.pixel(x, underline), qRgb(0, 0, 0)) << x;
    EXPECT_FALSE(Inked(image, 10 + width, underline));
}

TEST(QtCanvasText, WingdingsBulletIsPaintedFromItsUnicodeCharacter)
{
    QImage image = WhiteImage(40, 40);
    {
        TQtCanvas canvas(&image);
        canvas.SelectFont(Font("Wingdings", 12));
        EXPECT_EQ(canvas.DisplayChar(0x6C), U'\u25CF');
        EXPECT_EQ(canvas.DisplayChar(0xF06C), U'\u25CF');
        EXPECT_GT(canvas.CharAdvance(0x6C, 0), 5);
        canvas.DrawText(5, 5, u"\x6C", clBlack);
    }
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    // A filled circle: its centre is solid.
    EXPECT_TRUE(Inked(image, ink.center().x(), ink.center().y()));
    EXPECT_GE(ink.width(), 4);
}

TEST(QtCanvasShapes, LinesFramesAndClipping)
{
    QImage image = WhiteImage(60, 60);
    {
        TQtCanvas canvas(&image);
        canvas.Line({5, 2}, {15, 2}, {clBlack, 1, psSolid});
        canvas.Rectangle({20, 20, 30, 30}, {clBlack, 3, psSolid});
        canvas.Save();
        canvas.Translate(40, 40);
        canvas.IntersectClip({0, 0, 5, 5});
        canvas.FillRect({-10, -10, 20, 20}, clRed);
        canvas.Restore();
        canvas.FillRect({0, 50, 2, 52}, clBlue);
    }
    EXPECT_FALSE(Inked(image, 4, 2));
    EXPECT_TRUE(Inked(image, 5, 2));
    EXPECT_TRUE(Inked(image, 15, 2));
    EXPECT_FALSE(Inked(image, 16, 2));
    // The frame's pen lies inside the rectangle, right and bottom exclusive.
    EXPECT_TRUE(Inked(image, 20, 20));
    EXPECT_TRUE(Inked(image, 22, 25));
    EXPECT_FALSE(Inked(image, 23, 25));
    EXPECT_TRUE(Inked(image, 29, 29));
    EXPECT_FALSE(Inked(image, 30, 29));
    EXPECT_FALSE(Inked(image, 19, 20));
    EXPECT_EQ(image.pixel(40, 40), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(44, 44), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(45, 44), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(39, 40), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 51), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(2, 51), qRgb(255, 255, 255));
}

TEST(QtCanvasShapes, ImagesAreStretchedOverTheirRectangle)
{
    TRGBAImage picture;
    picture.Width = 2;
    picture.Height = 1;
    picture.Pixels = {255, 0, 0, 255, 0, 0, 255, 255}; // red, blue
    QImage image = WhiteImage(20, 10);
    {
        TQtCanvas canvas(&image);
        canvas.DrawImage({0, 0, 2, 1}, picture);
        canvas.DrawImage({4, 4, 12, 8}, picture);
    }
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_GT(qRed(image.pixel(4, 5)), 200);
    EXPECT_GT(qBlue(image.pixel(11, 7)), 200);
    EXPECT_EQ(image.pixel(12, 7), qRgb(255, 255, 255));
}

} // namespace
} // namespace xq

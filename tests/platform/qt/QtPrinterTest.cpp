// Tests of the Qt printer and of canvases that paint at a resolution of their own: paper numbers,
// the PDF printer's page and settings, jobs with pages, the atomic PDF file, and text painted on
// a scaled canvas at exactly the advances measured at 96 dpi.
#include "platform/qt/QtPrinter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/qt/QtCanvas.h"

namespace xq {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// The pages of a PDF file Qt wrote: its page objects.
int PageObjects(const fs::path& pdf)
{
    const QString bytes = QString::fromLatin1(QByteArray::fromStdString(ReadFile(pdf)));
    return int(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

/// The right-most column with ink.
int InkRight(const QImage& image)
{
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                return x;
    return -1;
}

TCanvasFont Arial(int size)
{
    TCanvasFont f;
    f.Name = "Arial";
    f.Size = size;
    return f;
}

TEST(QtPrinterPaper, ClassicNumbersMapBothWays)
{
    const std::pair<QPageSize::PageSizeId, int> known[] = {
        {QPageSize::Letter, 1}, {QPageSize::Legal, 5}, {QPageSize::A3, 8}, {QPageSize::A4, 9}, {QPageSize::A5, 11}};
    for (const auto& [id, number] : known) {
        EXPECT_EQ(PaperNumberOf(id), number);
        ASSERT_TRUE(PageSizeOfPaper(number).has_value()) << number;
        EXPECT_EQ(*PageSizeOfPaper(number), id);
    }
    EXPECT_EQ(PaperNumberOf(QPageSize::B5), 256);
    EXPECT_EQ(PaperNumberOf(QPageSize::Custom), 256);
    for (int number : {0, 2, 256, -1, 9999})
        EXPECT_FALSE(PageSizeOfPaper(number).has_value()) << number;
}

TEST(QtPrinterPdf, PageAndSettingsOfAnA4Sheet)
{
    std::unique_ptr<TQtPrinter> pdf = TQtPrinter::Pdf();
    EXPECT_EQ(pdf->Name(), "PDF-Datei");
    EXPECT_TRUE(pdf->IsPdf());
    EXPECT_FALSE(pdf->CanCopy()) << "the PDF output writes each page once";
    const TPrinterPageMetrics m = pdf->PageMetrics();
    EXPECT_EQ(m.DpiX, pdf->QtPrinter().resolution());
    EXPECT_EQ(m.DpiX, m.DpiY);
    // A PDF page has no unprintable border: 210 x 297 mm.
    EXPECT_EQ(m.OffsetX, 0);
    EXPECT_EQ(m.OffsetY, 0);
    EXPECT_EQ(m.PrintableWidth, m.PhysicalWidth);
    EXPECT_EQ(m.PrintableHeight, m.PhysicalHeight);
    // Page sizes are kept in points: within half a millimetre.
    EXPECT_NEAR(m.PhysicalWidth, 210.0 / 25.4 * m.DpiX, m.DpiX / 50.0);
    EXPECT_NEAR(m.PhysicalHeight, 297.0 / 25.4 * m.DpiY, m.DpiY / 50.0);

    TPrinterDeviceSettings settings = pdf->DeviceSettings();
    EXPECT_TRUE(settings.PaperSizeSet);
    EXPECT_EQ(settings.PaperNumber, 9);
    EXPECT_EQ(settings.Orientation, 0);
    EXPECT_FALSE(settings.Monochrome);
    bool hasA3 = false;
    for (const TPrinterPaper& paper : settings.Papers)
        hasA3 = hasA3 || (paper.Number == 8 && paper.Name == "A3");
    EXPECT_TRUE(hasA3);

    // Letter across: only this printer changes.
    settings.PaperNumber = 1;
    settings.Orientation = 1;
    pdf->ApplyDeviceSettings(settings);
    EXPECT_EQ(pdf->DeviceSettings().PaperNumber, 1);
    EXPECT_EQ(pdf->DeviceSettings().Orientation, 1);
    const TPrinterPageMetrics letter = pdf->PageMetrics();
    EXPECT_NEAR(letter.PhysicalWidth, 11.0 * letter.DpiX, letter.DpiX / 50.0);
    EXPECT_NEAR(letter.PhysicalHeight, 8.5 * letter.DpiY, letter.DpiY / 50.0);
    EXPECT_EQ(TQtPrinter::Pdf()->DeviceSettings().PaperNumber, 9);
    // A paper number without a size keeps the paper.
    settings.PaperNumber = 256;
    pdf->ApplyDeviceSettings(settings);
    EXPECT_EQ(pdf->DeviceSettings().PaperNumber, 1);

    pdf->QtPrinter().setColorMode(QPrinter::GrayScale);
    EXPECT_TRUE(pdf->DeviceSettings().Monochrome);

    pdf->SetCopies(3);
    EXPECT_EQ(pdf->Copies(), 3);
    pdf->SetCopies(0);
    EXPECT_EQ(pdf->Copies(), 1);
}

TEST(QtPrinterPdf, JobsWritePagesAndCanvasesMeasureAlike)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::unique_ptr<TQtPrinter> pdf = TQtPrinter::Pdf();
    // Without a file there is nowhere to print to.
    EXPECT_FALSE(pdf->BeginDoc("XQEditor"));
    EXPECT_FALSE(pdf->EndDoc());

    const fs::path file = fs::path(dir.path().toStdString()) / "job.pdf";
    pdf->SetOutputFile(file);
    EXPECT_EQ(pdf->OutputFile(), file);
    ASSERT_TRUE(pdf->BeginDoc("XQEditor"));
    TCanvas& page = pdf->PageCanvas();
    EXPECT_EQ(page.DpiX(), PageCanvasDpi);
    EXPECT_EQ(page.DpiY(), PageCanvasDpi);
    page.SelectFont(Arial(10));
    TCanvas& measure = pdf->FormatCanvas();
    measure.SelectFont(Arial(10));
    for (char16_t c : std::u16string(u"Wäsche ßMiil"))
        EXPECT_EQ(page.CharAdvance(c, 0), measure.CharAdvance(c, 0)) << int(c);
    page.DrawText(10, 10, u"Erste Seite", clBlack);
    pdf->NewPage();
    pdf->PageCanvas().DrawText(10, 10, u"Zweite Seite", clBlack);
    pdf->NewPage();
    pdf->PageCanvas().DrawText(10, 10, u"Dritte Seite", clBlack);
    ASSERT_TRUE(pdf->EndDoc());
    EXPECT_EQ(PageObjects(file), 3);
    EXPECT_EQ(pdf->QtPrinter().docName(), QStringLiteral("XQEditor"));
}

TEST(QtPrinterPdf, FilesAreReplacedOnlyWhenFinished)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path target = fs::path(dir.path().toStdString()) / "aus.pdf";
    { std::ofstream(target) << "alt"; }
    std::unique_ptr<TQtPrinter> pdf = TQtPrinter::Pdf();
    const auto twoPages = [&] {
        if (!pdf->BeginDoc("XQEditor"))
            return false;
        pdf->PageCanvas().DrawText(0, 0, u"Eins", clBlack);
        pdf->NewPage();
        return pdf->EndDoc();
    };
    std::string error;
    // A job that fails leaves the file and no temporary beside it.
    EXPECT_FALSE(WritePdfFileAtomically(target, *pdf, [&] { return twoPages() && false; }, &error));
    EXPECT_EQ(ReadFile(target), "alt");
    EXPECT_NE(error.find("aus.pdf"), std::string::npos) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()), 1);

    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    EXPECT_FALSE(WritePdfFileAtomically(target, *pdf, twoPages, &error));
    EXPECT_EQ(ReadFile(target), "alt");
    ASSERT_EQ(::chmod(target.c_str(), 0644), 0);

    EXPECT_TRUE(WritePdfFileAtomically(target, *pdf, twoPages, &error)) << error;
    EXPECT_EQ(PageObjects(target), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(pdf->OutputFile().empty()) << "the printer does not keep writing into the temporary";
}

TEST(QtScaledCanvas, TextLandsAtTheAdvancesMeasuredAtItsOwnResolution)
{
    // A picture of 384 dpi painted by a 96-dpi canvas: four device pixels to the canvas pixel.
    constexpr int scale = 4;
    QImage image(scale * 700, scale * 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(3780 * scale);
    image.setDotsPerMeterY(3780 * scale);
    const std::u16string text(60, u'e');
    int width = 0;
    int advance = 0;
    {
        TQtCanvas canvas(&image, 96, 96);
        ASSERT_TRUE(canvas.Painting());
        EXPECT_EQ(canvas.DpiX(), 96);
        canvas.SelectFont(Arial(10));
        width = canvas.TextWidth(text);
        advance = canvas.CharAdvance(u'e', 0);
        canvas.DrawText(10, 5, text, clBlack);
    }
    EXPECT_EQ(width, 60 * advance);
    // The last e ends inside its measured cell: far enough out that advances measured at the
    // picture's own resolution (rounded there, not at 96 dpi) would have moved it.
    const int right = InkRight(image);
    EXPECT_LE(right, scale * (10 + width));
    EXPECT_GT(right, scale * (10 + width - advance));

    TQtCanvas device(scale * 96, scale * 96);
    device.SelectFont(Arial(10));
    EXPECT_NE(device.TextWidth(text), scale * width) << "the test needs a text whose widths differ by resolution";
}

} // namespace
} // namespace xq

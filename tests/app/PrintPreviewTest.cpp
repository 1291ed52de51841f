// The print preview window on the PDF printer: its captions, page navigation by buttons, wheel
// and keys, the zoom box with its range message, the zoom modes and their scrolling, the click
// between 100 % and the zoom before, printing from the preview, and the page it shows against the
// page the PDF gets.
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "TestSupport.h"
#include "dialogs/PrintPreview.h"
#include "platform/qt/QtPrinter.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<TTestWindow> PdfWindow(const fs::path& pdf)
{
    return std::make_unique<TTestWindow>(std::vector<std::string>{"x.doc", "7"}, [pdf](TTestWindow& t) {
        t.Printer = [pdf] { return std::unique_ptr<TQtPrinter>(TQtPrinter::Pdf(pdf)); };
    });
}

void LongDocument(TTestWindow& t, int paragraphs = 200)
{
    for (int k = 1; k <= paragraphs; ++k)
        t.Data().AppendText("Absatz " + std::to_string(k) + " mit einigen Worten, die eine Zeile fuellen.", 0, 0);
    t.Session().rveChange();
    t.Editor().Format();
}

/// Opens the preview and runs check on it while it is shown; the window is closed afterwards.
void WithPreview(TTestWindow& t, const std::function<void(TfrmPreview&)>& check)
{
    bool ran = false;
    WhenModal<TfrmPreview>([&](TfrmPreview* preview) {
        check(*preview);
        ran = true;
        preview->reject();
    });
    t.Window->mitPreview->trigger();
    QVERIFY(ran);
}

void EnterZoom(TfrmPreview& preview, const QString& text)
{
    preview.cmbZoom->setFocus();
    preview.cmbZoom->lineEdit()->selectAll();
    QTest::keyClicks(preview.cmbZoom->lineEdit(), text);
    QTest::keyClick(preview.cmbZoom->lineEdit(), Qt::Key_Return);
}

/// The rows of an image that hold dark pixels, as bands [top, bottom).
std::vector<std::pair<int, int>> InkBands(const QImage& image)
{
    std::vector<std::pair<int, int>> bands;
    int start = -1;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && start < 0)
            start = y;
        if (!ink && start >= 0) {
            bands.emplace_back(start, y);
            start = -1;
        }
    }
    if (start >= 0)
        bands.emplace_back(start, image.height());
    return bands;
}

} // namespace

class TPrintPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void captionsLabelAndNavigation()
    {
        TTempDir out;
        auto t = PdfWindow(out / "v.pdf");
        LongDocument(*t);
        WithPreview(*t, [&](TfrmPreview& p) {
            const int pages = t->Window->PrintComponent().PageCount();
            QVERIFY(pages >= 3);
            QCOMPARE(p.windowTitle(), QStringLiteral("Seitenvorschau"));
            QVERIFY(p.isModal());
            QVERIFY(p.windowState() & Qt::WindowMaximized);
            QCOMPARE(p.lblPage->text(), QStringLiteral("Seite 1 von Seiten %1").arg(pages));
            QCOMPARE(p.btnFirst->toolTip(), QStringLiteral("Erste Seite"));
            QCOMPARE(p.btnPrevious->toolTip(), QStringLiteral("Seite zurück"));
            QCOMPARE(p.btnNext->toolTip(), QStringLiteral("Seite vor"));
            QCOMPARE(p.btnLast->toolTip(), QStringLiteral("Letzte Seite"));
            QCOMPARE(p.btnClose->text(), QStringLiteral("&Schliessen"));
            QCOMPARE(p.btnClose->toolTip(), QStringLiteral("Seitenvorschau schliessen"));
            QCOMPARE(p.btnPrint->toolTip(), QStringLiteral("Vorschau drucken"));
            QStringList entries;
            for (int i = 0; i < p.cmbZoom->count(); ++i)
                entries << p.cmbZoom->itemText(i);
            QCOMPARE(entries, (QStringList{"200%", "150%", "100%", "75%", "50%", "Seitenbreite", "Ganze Seite"}));

            TCustomRVPrintPreview& view = *p.RVPrintPreview1;
            p.btnPrevious->click();
            QCOMPARE(view.PageNo(), 1);
            p.btnNext->click();
            QCOMPARE(p.lblPage->text(), QStringLiteral("Seite 2 von Seiten %1").arg(pages));
            p.btnLast->click();
            QCOMPARE(view.PageNo(), pages);
            QCOMPARE(p.lblPage->text(), QStringLiteral("Seite %1 von Seiten %1").arg(pages));
            p.btnNext->click();
            QCOMPARE(view.PageNo(), pages);
            p.btnFirst->click();
            QCOMPARE(view.PageNo(), 1);

            // Keys: PgDn, PgUp, Pos1, Ende move between pages.
            view.setFocus();
            QTest::keyClick(&view, Qt::Key_PageDown);
            QCOMPARE(view.PageNo(), 2);
            QTest::keyClick(&view, Qt::Key_End);
            QCOMPARE(view.PageNo(), pages);
            QCOMPARE(p.lblPage->text(), QStringLiteral("Seite %1 von Seiten %1").arg(pages));
            QTest::keyClick(&view, Qt::Key_PageUp);
            QCOMPARE(view.PageNo(), pages - 1);
            QTest::keyClick(&view, Qt::Key_Home);
            QCOMPARE(view.PageNo(), 1);

            // The wheel runs on from the end of a page into the next one, and back.
            p.cmbZoom->setCurrentIndex(p.cmbZoom->findText(QStringLiteral("Seitenbreite")));
            p.TakeZoomText();
            QScrollBar* bar = view.verticalScrollBar();
            QVERIFY(bar->maximum() > 0);
            auto wheel = [&](int delta) {
                QWheelEvent event(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                                  QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(view.viewport(), &event);
            };
            for (int i = 0; i < 1000 && view.PageNo() == 1; ++i)
                wheel(-120);
            QCOMPARE(view.PageNo(), 2);
            QCOMPARE(bar->value(), 0); // the next page from its top
            wheel(120);
            QCOMPARE(view.PageNo(), 1);
            QCOMPARE(bar->value(), bar->maximum()); // the previous page from its bottom
        });
    }

    void zoomBoxModesAndClick()
    {
        TTempDir out;
        auto t = PdfWindow(out / "z.pdf");
        LongDocument(*t);
        WithPreview(*t, [&](TfrmPreview& p) {
            TCustomRVPrintPreview& view = *p.RVPrintPreview1;
            // "300" and Enter: 300 % with free scrolling both ways.
            EnterZoom(p, QStringLiteral("300"));
            QCOMPARE(view.ZoomPercent(), 300);
            QCOMPARE(view.ZoomMode(), 2);
            QCOMPARE(p.cmbZoom->currentText(), QStringLiteral("300%"));
            QVERIFY(view.horizontalScrollBar()->maximum() > 0);
            QVERIFY(view.verticalScrollBar()->maximum() > 0);
            QVERIFY(t->Boxes.Asked.empty());

            // "600": the message, then 50 %.
            EnterZoom(p, QStringLiteral("600"));
            QCOMPARE(t->Boxes.Asked.size(), std::size_t(1));
            QCOMPARE(t->Boxes.Asked[0].Text, std::string("Vergrößerung min. 50% bis max. 500%"));
            QCOMPARE(t->Boxes.Asked[0].Caption, std::string("Fehler Zoomwert"));
            QCOMPARE(t->Boxes.Asked[0].Icon, TMsgIcon::Error);
            QCOMPARE(view.ZoomPercent(), 50);
            QCOMPARE(p.cmbZoom->currentText(), QStringLiteral("50%"));
            // Letters are not taken by the box.
            p.cmbZoom->lineEdit()->clear();
            QTest::keyClicks(p.cmbZoom->lineEdit(), QStringLiteral("7a5x"));
            QVERIFY(p.cmbZoom->lineEdit()->text().startsWith(QStringLiteral("75")));
            QVERIFY(!p.cmbZoom->lineEdit()->text().contains(QLatin1Char('a')));
            QVERIFY(!p.cmbZoom->lineEdit()->text().contains(QLatin1Char('x')));

            // "Seitenbreite" scrolls only vertically; "Ganze Seite" not at all.
            p.cmbZoom->setCurrentIndex(p.cmbZoom->findText(QStringLiteral("Seitenbreite")));
            p.TakeZoomText();
            QCOMPARE(view.ZoomMode(), 1);
            QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
            QVERIFY(view.verticalScrollBar()->maximum() > 0);
            QVERIFY(view.AreaRect().width() <= view.viewport()->width() - 2 * view.BackgroundMargin + 1);
            p.cmbZoom->setCurrentIndex(p.cmbZoom->findText(QStringLiteral("Ganze Seite")));
            p.TakeZoomText();
            QCOMPARE(view.ZoomMode(), 0);
            QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
            QCOMPARE(view.verticalScrollBar()->maximum(), 0);
            QVERIFY(view.AreaRect().height() <= view.height());

            // A click at 75 % goes to 100 %, the next one back to 75 %.
            EnterZoom(p, QStringLiteral("75"));
            QCOMPARE(view.ZoomPercent(), 75);
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.AreaRect().center());
            QCOMPARE(view.ZoomPercent(), 100);
            QCOMPARE(p.cmbZoom->currentText(), QStringLiteral("100%"));
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.AreaRect().center());
            QCOMPARE(view.ZoomPercent(), 75);
        });
    }

    void printingFromThePreviewClosesItOnlyWhenPrinted()
    {
        TTempDir out;
        auto t = PdfWindow(out / "d.pdf");
        LongDocument(*t);
        WithPreview(*t, [&](TfrmPreview& p) {
            // Cancel in the print dialog: the preview stays, usable.
            p.btnPrint->click();
            QCOMPARE(t->PrintDialogs.Offered.size(), std::size_t(1));
            QVERIFY(p.isVisible());
            QVERIFY(p.btnPrint->isEnabled());
            QVERIFY(p.Panel->isEnabled());
            p.btnNext->click();
            QCOMPARE(p.RVPrintPreview1->PageNo(), 2);
            // Printed: the preview closes.
            t->PrintDialogs.Answers.push_back({});
            p.btnPrint->click();
            QVERIFY(!p.isVisible());
        });
        QVERIFY(fs::exists(out / "d.pdf"));
    }

    void theBigDocumentFromFirstToLastPage()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("python3 and pdfinfo are needed for the big document");
        TTempDir out;
        const fs::path rtf = out / "gross.rtf";
        QProcess generate;
        generate.start(python, {QString::fromStdString((SourceDir() / "scripts" / "gen_big_document.py").string()),
                                QString::fromStdString(rtf.string())});
        QVERIFY(generate.waitForFinished(120000) && generate.exitCode() == 0);
        const fs::path pdf = out / "gross.pdf";
        auto t = PdfWindow(pdf);
        t->Session().LMruMruClick(rtf.string());
        QVERIFY(t->Data().Count() > 20000);
        int pages = 0;
        WithPreview(*t, [&](TfrmPreview& p) {
            pages = t->Window->PrintComponent().PageCount();
            QVERIFY(pages > 500);
            QCOMPARE(p.lblPage->text(), QStringLiteral("Seite 1 von Seiten %1").arg(pages));
            p.btnLast->click();
            QCOMPARE(p.RVPrintPreview1->PageNo(), pages);
            QCOMPARE(p.lblPage->text(), QStringLiteral("Seite %1 von Seiten %1").arg(pages));
        });
        t->Window->btnPrint->trigger();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
        QVERIFY(info.waitForFinished(60000));
        const QString described = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(described.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))),
                 qPrintable(described));
    }

    void previewPageMatchesThePdfPage()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        TTempDir out;
        const fs::path pdf = out / "vergleich.pdf";
        auto t = PdfWindow(pdf);
        LongDocument(*t);
        t->Window->PageState().Header.Text = "Kopfzeile &p";
        t->Window->PageState().Footer.Text = "Seite &p von &P";
        t->Window->btnPrint->trigger();
        QVERIFY(fs::exists(pdf));
        QImage preview;
        WithPreview(*t, [&](TfrmPreview& p) {
            TCustomRVPrintPreview& view = *p.RVPrintPreview1;
            p.btnNext->click();
            // With XQ_SCREENSHOTS set, the window as the user sees it goes there for review.
            if (const QByteArray dir = qgetenv("XQ_SCREENSHOTS"); !dir.isEmpty()) {
                p.resize(1000, 800);
                p.RVPrintPreview1->SetZoomMode(0);
                p.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/vorschau-fenster.png"));
            }
            view.SetZoom(100);
            preview = view.RenderPage(view.PageNo(), view.AreaRect().size());
        });
        QVERIFY(!preview.isNull());
        preview.save(QString::fromStdString((out / "vorschau.png").string()));
        QProcess ppm;
        ppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                                               QStringLiteral("2"), QStringLiteral("-r"), QStringLiteral("96"),
                                               QStringLiteral("-png"), QString::fromStdString(pdf.string()),
                                               QString::fromStdString((out / "seite").string())});
        QVERIFY(ppm.waitForFinished(60000));
        QImage page(QString::fromStdString((out / "seite-2.png").string()));
        QVERIFY(!page.isNull());
        // The page of 793.7 pixels is rounded either way.
        QVERIFY(std::abs(preview.width() - page.width()) <= 1);
        QVERIFY(std::abs(preview.height() - page.height()) <= 1);
        // The same lines at the same heights, header and footer included.
        const auto shown = InkBands(preview);
        const auto printed = InkBands(page);
        QVERIFY(shown.size() > 20);
        QCOMPARE(shown.size(), printed.size());
        for (std::size_t i = 0; i < shown.size(); ++i)
            QVERIFY2(std::abs(shown[i].first - printed[i].first) <= 1,
                     qPrintable(QStringLiteral("band %1: %2 against %3").arg(i).arg(shown[i].first).arg(printed[i].first)));
    }
};

XQ_APP_TEST(TPrintPreviewTest);

} // namespace xq::test

#include "PrintPreviewTest.moc"

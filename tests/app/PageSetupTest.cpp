// The page setup dialog of the main window: its captions, the fields it shows, OK applying the page
// (margins, line width, modified state, header and footer in print), Cancel keeping the values
// while the typed text stays in the dialog, and a font chosen and then cancelled.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

#include "TestSupport.h"
#include "dialogs/PageSetupDialog.h"
#include "platform/qt/QtPrinter.h"
#include "printing/PageSettings.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<TTestWindow> PdfWindow(const fs::path& pdf)
{
    return std::make_unique<TTestWindow>(std::vector<std::string>{"x.doc", "7"}, [pdf](TTestWindow& t) {
        t.Printer = [pdf] { return std::unique_ptr<TQtPrinter>(TQtPrinter::Pdf(pdf)); };
    });
}

/// Opens "Seite einrichten..." and runs fill on the dialog, which then closes with ok or cancel.
void WithPageSetup(TTestWindow& t, const std::function<void(TfrmPageSetup&)>& fill, bool ok)
{
    bool ran = false;
    WhenModal<TfrmPageSetup>([&](TfrmPageSetup* dialog) {
        fill(*dialog);
        // With XQ_SCREENSHOTS set, both tabs go there for review.
        if (const QByteArray dir = qgetenv("XQ_SCREENSHOTS"); !dir.isEmpty()) {
            const int shown = dialog->Tabs->currentIndex();
            for (int tab = 0; tab < 2; ++tab) {
                dialog->Tabs->setCurrentIndex(tab);
                dialog->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/seite-einrichten-%1.png").arg(tab));
            }
            dialog->Tabs->setCurrentIndex(shown);
        }
        ran = true;
        (ok ? dialog->btnOk : dialog->btnCancel)->click();
    });
    t.Window->mitPageSetup->trigger();
    QVERIFY(ran);
}

QStringList GroupTitles(QWidget& dialog)
{
    QStringList titles;
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
        titles << box->title();
    return titles;
}

QString PdfPageText(const fs::path& pdf, int n)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                                          QString::number(n), QString::fromStdString(pdf.string()), QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TPageSetupTest : public QObject {
    Q_OBJECT

private slots:
    void captionsAndFields()
    {
        TTempDir out;
        auto t = PdfWindow(out / "s.pdf");
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(" Seite einrichten [PDF-Datei]"));
            QCOMPARE(d.Tabs->count(), 2);
            QCOMPARE(d.Tabs->tabText(0), QStringLiteral(" Seite"));
            QCOMPARE(d.Tabs->tabText(1), QStringLiteral(" Kopf- und Fusszeile"));
            const QStringList groups = GroupTitles(d);
            for (const char* title : {" Ausrichtung", " Seitenänder (mm) ", " Papier ", " Kopfzeile ", " Fusszeile ",
                                      " Seitennummerierung "})
                QVERIFY2(groups.contains(QString::fromUtf8(title)), title);
            QCOMPARE(d.rbPortrait->text(), QStringLiteral("&Hochformat"));
            QCOMPARE(d.rbLandscape->text(), QStringLiteral("&Querformat"));
            QCOMPARE(d.chkMirror->text(), QStringLiteral("Seitenränder spiegeln"));
            QCOMPARE(d.rbHeaderLeft->text(), QStringLiteral("&Links"));
            QCOMPARE(d.rbHeaderCenter->text(), QStringLiteral("&Zentriert"));
            QCOMPARE(d.rbHeaderRight->text(), QStringLiteral("&Rechts"));
            QCOMPARE(d.rbFooterLeft->text(), QStringLiteral("L&inks"));
            QCOMPARE(d.rbFooterCenter->text(), QStringLiteral("Z&entriert"));
            QCOMPARE(d.rbFooterRight->text(), QStringLiteral("Re&chts"));
            QCOMPARE(d.btnHeaderFont->text(), QStringLiteral("&Schrift..."));
            QCOMPARE(d.btnFooterFont->text(), QStringLiteral("S&chrift..."));
            QCOMPARE(d.chkHeaderFirst->text(), QStringLiteral("Kopfzeile auch auf erster Seite"));
            QCOMPARE(d.chkFooterFirst->text(), QStringLiteral("Fusszeile auch auf erster Seite"));
            QCOMPARE(d.btnOk->text(), QStringLiteral("&OK"));
            QCOMPARE(d.btnCancel->text(), QStringLiteral("&Abbrechen"));
            QCOMPARE(d.lblCodes->text(), QStringLiteral("Bedeutung der Abkürzungen:\n&p - Seiten Nummer,   &P - Anzahl der "
                                                        "Seiten,   &d - Datum,  &t - Zeit"));
            QStringList labels;
            for (QLabel* label : d.findChildren<QLabel*>())
                labels << label->text();
            for (const char* text : {"Oben", "Unten", "Links", "Rechts", "Grösse", "&Text:", "Te&xt:", "Beginnt mit Seitenzahl"})
                QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
            // The margins the window starts with: 20, 10, 20, 20 mm; the PDF printer's papers with A4.
            QCOMPARE(d.spnLeft->value(), 20);
            QCOMPARE(d.spnRight->value(), 10);
            QCOMPARE(d.spnTop->value(), 20);
            QCOMPARE(d.spnBottom->value(), 20);
            QCOMPARE(d.spnLeft->maximum(), 100);
            QCOMPARE(d.spnFirstPage->maximum(), 10000);
            QVERIFY(d.cmbPaper->count() > 3);
            QCOMPARE(d.cmbPaper->currentText(), QStringLiteral("A4"));
            QVERIFY(d.rbPortrait->isChecked());
            QVERIFY(d.rbHeaderCenter->isChecked());
            // The boxes show their text in the line's font at 8 points.
            QCOMPARE(d.edtHeader->font().pointSize(), 8);
        }, false);
    }

    void okAppliesTheMarginsTheLineWidthAndMarksModified()
    {
        TTempDir out;
        auto t = PdfWindow(out / "s.pdf");
        t->Type("Ein Brief.");
        t->Session().ClearUntitled();
        QVERIFY(!t->Run().Modified);
        const int before = t->Data().MaxTextWidth;
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            d.spnLeft->setValue(40);
            d.spnRight->setValue(30);
            d.chkMirror->setChecked(true);
        }, true);
        TRVPrint& print = t->Window->PrintComponent();
        QCOMPARE(print.LeftMarginMM, 40);
        QCOMPARE(print.RightMarginMM, 30);
        QVERIFY(print.MirrorMargins);
        QVERIFY(t->Run().Modified);
        // 50 mm more margin is 189 pixels less line.
        QCOMPARE(t->Data().MaxTextWidth, before - 189);

        // Landscape: a wider line again.
        WithPageSetup(*t, [](TfrmPageSetup& d) { d.rbLandscape->setChecked(true); }, true);
        QVERIFY(t->Data().MaxTextWidth > before);
        QCOMPARE(t->Window->PageState().Orientation, 1);
    }

    void cancelKeepsTheValuesAndTheTypedText()
    {
        TTempDir out;
        auto t = PdfWindow(out / "s.pdf");
        TPageState& state = t->Window->PageState();
        const int margin = t->Window->PrintComponent().TopMarginMM;
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            d.edtHeader->setText(QStringLiteral("Entwurf"));
            d.spnTop->setValue(55);
        }, false);
        QCOMPARE(state.Header.Text, std::string());
        QCOMPARE(t->Window->PrintComponent().TopMarginMM, margin);
        QVERIFY(!t->Run().Modified);
        // Shown again, the dialog still holds what was typed.
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            QCOMPARE(d.edtHeader->text(), QStringLiteral("Entwurf"));
            QCOMPARE(d.spnTop->value(), 55);
        }, false);

        // A font chosen and then cancelled: the header keeps its font; a later OK takes the choice.
        TFontDescription courier;
        courier.Name = "Courier New";
        courier.Size = 12;
        t->FormatDialogs.Fonts.push_back(courier);
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            d.btnHeaderFont->click();
            QCOMPARE(d.edtHeader->font().pointSize(), 8);
            QVERIFY(d.edtHeader->font().family().contains(QStringLiteral("Liberation Mono")) ||
                    d.edtHeader->font().family().contains(QStringLiteral("Courier")));
        }, false);
        QCOMPARE(t->FormatDialogs.FontPresets.back().Name, std::string("Arial"));
        QCOMPARE(state.Header.Font.Name, std::string("Arial"));
        WithPageSetup(*t, [](TfrmPageSetup&) {}, true);
        QCOMPARE(state.Header.Font.Name, std::string("Courier New"));
        QCOMPARE(state.Header.Font.Size, 12);
    }

    void footerCountsFromTheFirstPageNumberInPrint()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        TTempDir out;
        const fs::path pdf = out / "fuss.pdf";
        auto t = PdfWindow(pdf);
        for (int k = 1; k <= 200; ++k)
            t->Data().AppendText("Absatz " + std::to_string(k), 0, 0);
        t->Session().rveChange();
        t->Editor().Format();
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            d.Tabs->setCurrentIndex(1);
            d.edtFooter->setText(QStringLiteral("- &p -"));
            d.edtHeader->setText(QStringLiteral("Kopf && Fuss"));
            d.chkHeaderFirst->setChecked(false);
            d.spnFirstPage->setValue(5);
        }, true);
        t->Window->btnPrint->trigger();
        QVERIFY(fs::exists(pdf));
        // pdftotext sees no gaps in "- 5 -": the narrow spaces of the footer are too close.
        QVERIFY(PdfPageText(pdf, 1).remove(QLatin1Char(' ')).contains(QStringLiteral("\n-5-\n")));
        QVERIFY(PdfPageText(pdf, 2).remove(QLatin1Char(' ')).contains(QStringLiteral("\n-6-\n")));
        QVERIFY(!PdfPageText(pdf, 1).contains(QStringLiteral("Kopf")));
        QVERIFY(PdfPageText(pdf, 2).contains(QStringLiteral("Kopf & Fuss")));
    }

    void rtfCarriesTheMarginsOfTheDialog()
    {
        TTempDir out;
        auto t = PdfWindow(out / "s.pdf");
        t->Type("Ränder.");
        WithPageSetup(*t, [](TfrmPageSetup& d) {
            d.spnLeft->setValue(20);
            d.spnTop->setValue(25);
            d.spnRight->setValue(20);
            d.spnBottom->setValue(20);
        }, true);
        const fs::path rtf = out / "raender.rtf";
        t->Session().WriteDocument(rtf);
        const std::string written = ReadBytes(rtf);
        QVERIFY(written.find("\\margl1134\\margt1417\\margr1134\\margb1134") != std::string::npos);
    }
};

XQ_APP_TEST(TPageSetupTest);

} // namespace xq::test

#include "PageSetupTest.moc"

// The print commands of the main window with real printers: Qt's PDF output, read back with
// pdfinfo and pdftotext, and a CUPS queue of cups-pdf when the test may start one. The messages
// without a printer or without content, print at once, the print dialog's range and copies, the
// page-break display and the soft page breaks after a load, and the PDF export.
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include "TestSupport.h"
#include "document/ItemInfo.h"
#include "platform/qt/QtPrinter.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// The words that stand on the pages of PageDocument, one page each.
const QStringList PageWords = {QStringLiteral("Apfel"), QStringLiteral("Birne"), QStringLiteral("Kirsche"),
                               QStringLiteral("Pflaume")};

struct TRun {
    int ExitCode = -1;
    QString Out;
};

/// Runs a program to its end (at most timeoutMs); exit code -1 when it could not run.
TRun Run(const QString& program, const QStringList& arguments, int timeoutMs = 120000)
{
    QProcess process;
    process.start(program, arguments);
    TRun run;
    if (!process.waitForStarted(10000) || !process.waitForFinished(timeoutMs))
        return run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

bool HavePdfTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

/// The page count pdfinfo reads from a PDF file; -1 when it cannot read it.
int PdfPages(const fs::path& pdf)
{
    const TRun run = Run(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                         QRegularExpression::MultilineOption)
                                          .match(run.Out);
    return run.ExitCode == 0 && m.hasMatch() ? m.captured(1).toInt() : -1;
}

/// The text of page n of a PDF file.
QString PdfPageText(const fs::path& pdf, int n)
{
    return Run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                                             QString::number(n), QString::fromStdString(pdf.string()), QStringLiteral("-")})
        .Out;
}

/// Which of PageWords each page of a PDF file shows, comma-separated ("?" for none).
QString PageOrder(const fs::path& pdf)
{
    QStringList order;
    const int pages = PdfPages(pdf);
    for (int n = 1; n <= pages; ++n) {
        const QString text = PdfPageText(pdf, n);
        QString found = QStringLiteral("?");
        for (const QString& word : PageWords)
            if (text.contains(word))
                found = word;
        order << found;
    }
    return order.join(QLatin1Char(','));
}

/// A document of `pages` pages: one short paragraph each, every one after the first on a new page.
void PageDocument(TTestWindow& t, int pages)
{
    TRVEditRVData& data = t.Data();
    for (int k = 0; k < pages; ++k) {
        const std::string text = "Auf diesem Blatt steht " + PageWords[k].toStdString() + " allein";
        data.AppendText(text, 0, 0);
        if (k > 0)
            data.ItemAt(data.Count() - 1).SetNewPageBefore(true);
    }
    t.Session().rveChange();
    t.Editor().Format();
}

/// A document that runs over several pages by its length alone.
void LongDocument(TTestWindow& t, int paragraphs = 160)
{
    for (int k = 1; k <= paragraphs; ++k)
        t.Data().AppendText("Absatz " + std::to_string(k) + " mit einigen Worten, die eine Zeile fuellen.", 0, 0);
    t.Session().rveChange();
    t.Editor().Format();
}

/// A window whose printer is Qt's PDF output into pdf.
std::unique_ptr<TTestWindow> PdfWindow(const fs::path& pdf)
{
    return std::make_unique<TTestWindow>(std::vector<std::string>{"x.doc", "7"}, [pdf](TTestWindow& t) {
        t.Printer = [pdf] { return std::unique_ptr<TQtPrinter>(TQtPrinter::Pdf(pdf)); };
    });
}

QString LastText(const TScriptedBoxes& boxes)
{
    return boxes.Asked.empty() ? QString() : QString::fromStdString(boxes.Asked.back().Text);
}

} // namespace

class TPrintCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void commandsAndMessagesWithoutPrinterOrContent()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        QVERIFY(w.Printer() == nullptr);
        QVERIFY(w.mitPrint->isEnabled());
        QVERIFY(w.btnPrint->isEnabled());
        QVERIFY(w.btnPageBreaks->isEnabled());
        QVERIFY(w.mitExportPdf->isEnabled());
        QVERIFY(w.mitPreview->isEnabled());
        QVERIFY(w.btnPreview->isEnabled());
        QVERIFY(w.mitPageSetup->isEnabled());
        // The Datei menu offers the export right after "Drucken...".
        const QList<QAction*> file = w.mnuFile->actions();
        QCOMPARE(file.indexOf(w.mitExportPdf), file.indexOf(w.mitPrint) + 1);

        // An empty document is told first, even without a printer.
        for (QAction* command : {w.btnPrint, w.mitPrint}) {
            t.Boxes.Asked.clear();
            command->trigger();
            QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
            QCOMPARE(t.Boxes.Asked[0].Text, std::string("Nichts zu drucken!"));
            QCOMPARE(t.Boxes.Asked[0].Caption, std::string("Druckerdialog"));
            QCOMPARE(t.Boxes.Asked[0].Icon, TMsgIcon::Information);
        }
        t.Type("Ein Satz zum Drucken.");
        for (QAction* command : {w.btnPrint, w.mitPrint, w.mitPreview, w.btnPreview}) {
            t.Boxes.Asked.clear();
            command->trigger();
            QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
            QCOMPARE(t.Boxes.Asked[0].Text, std::string("Kein aktiver Drucker. Installieren Sie einen Drucker\r"
                                                         "oder verbinden Sie einen Netzwerkdrucker."));
            QCOMPARE(t.Boxes.Asked[0].Caption, std::string("Druckerdialog"));
            QCOMPARE(t.Boxes.Asked[0].Icon, TMsgIcon::Information);
        }
        QVERIFY(t.PrintDialogs.Offered.empty());
        // Without a printer there are no pages and so nothing to mark.
        t.Boxes.Asked.clear();
        w.btnPageBreaks->trigger();
        QVERIFY(t.Boxes.Asked.empty());
        QVERIFY(t.Data().SoftPageBreaks().empty());
    }

    void printAtOnceSendsEveryPageInColourOrBlack()
    {
        if (!HavePdfTools())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        TTempDir out;
        const fs::path pdf = out / "sofort.pdf";
        auto t = PdfWindow(pdf);
        LongDocument(*t);
        t->Window->btnPrint->trigger();
        QVERIFY2(t->Boxes.Asked.empty(), qPrintable(LastText(t->Boxes)));
        const int pages = t->Window->PrintComponent().PageCount();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(PdfPages(pdf), pages);
        QVERIFY(PdfPageText(pdf, 1).contains(QStringLiteral("Absatz 1 mit")));
        QVERIFY(PdfPageText(pdf, pages).contains(QStringLiteral("Absatz 160 mit")));
        QCOMPARE(t->Window->PrintComponent().ColorMode, rvcmPrinterColor);
        QVERIFY(t->PrintDialogs.Offered.empty());

        // A printer set to black prints black on white.
        t->Window->Printer()->QtPrinter().setColorMode(QPrinter::GrayScale);
        t->Window->btnPrint->trigger();
        QCOMPARE(t->Window->PrintComponent().ColorMode, rvcmBlackOnWhite);
        QCOMPARE(PdfPages(pdf), pages);
    }

    void pdfPrinterWithoutFileAsksWhereThePagesGo()
    {
        if (!HavePdfTools())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        auto t = PdfWindow({});
        PageDocument(*t, 2);
        // Cancelled: nothing printed, nothing told.
        t->Window->btnPrint->trigger();
        QCOMPARE(t->PrintDialogs.PdfFileRequests, 1);
        QVERIFY(t->Boxes.Asked.empty());
        QVERIFY(t->Window->Printer()->OutputFile().empty());

        TTempDir out;
        t->PrintDialogs.PdfFiles.push_back(out / "gewaehlt.pdf");
        t->Window->btnPrint->trigger();
        QVERIFY2(t->Boxes.Asked.empty(), qPrintable(LastText(t->Boxes)));
        QCOMPARE(PageOrder(out / "gewaehlt.pdf"), QStringLiteral("Apfel,Birne"));
        // The file chosen stays the printer's: "Drucken..." prints there without asking again.
        t->PrintDialogs.Answers.push_back({TPrintRange::Pages, 2, 2, 1, true, {}});
        t->Window->mitPrint->trigger();
        QCOMPARE(t->PrintDialogs.PdfFileRequests, 2);
        QCOMPARE(PageOrder(out / "gewaehlt.pdf"), QStringLiteral("Birne"));
    }

    void printDialogRangeCopiesAndCollation()
    {
        if (!HavePdfTools())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        TTempDir out;
        const fs::path pdf = out / "dialog.pdf";
        auto t = PdfWindow(pdf);
        PageDocument(*t, 4);

        // Cancelled: nothing is printed.
        t->Window->mitPrint->trigger();
        QCOMPARE(t->PrintDialogs.Offered.size(), std::size_t(1));
        const TPrintChoice offered = t->PrintDialogs.Offered[0];
        QCOMPARE(offered.MinPage, 1);
        QCOMPARE(offered.MaxPage, 4);
        QCOMPARE(offered.FromPage, 1);
        QCOMPARE(offered.ToPage, 4);
        QVERIFY(!fs::exists(pdf));

        // The PDF printer makes no copies itself: the pages are sent as often as asked for.
        t->PrintDialogs.Answers.push_back({TPrintRange::Pages, 2, 3, 2, false, {}});
        t->Window->mitPrint->trigger();
        QVERIFY2(t->Boxes.Asked.empty(), qPrintable(LastText(t->Boxes)));
        QCOMPARE(PageOrder(pdf), QStringLiteral("Birne,Birne,Kirsche,Kirsche"));

        t->PrintDialogs.Answers.push_back({TPrintRange::Pages, 2, 3, 2, true, {}});
        t->Window->mitPrint->trigger();
        QCOMPARE(PageOrder(pdf), QStringLiteral("Birne,Kirsche,Birne,Kirsche"));

        t->PrintDialogs.Answers.push_back({TPrintRange::All, 1, 4, 1, true, {}});
        t->Window->mitPrint->trigger();
        QCOMPARE(PageOrder(pdf), QStringLiteral("Apfel,Birne,Kirsche,Pflaume"));

        // A range beyond the pages is cut to them.
        t->PrintDialogs.Answers.push_back({TPrintRange::Pages, 3, 9, 1, true, {}});
        t->Window->mitPrint->trigger();
        QCOMPARE(PageOrder(pdf), QStringLiteral("Kirsche,Pflaume"));
        QVERIFY(t->Boxes.Asked.empty());
    }

    void pageBreakButtonAndLoadMarkEveryPageStart()
    {
        TTempDir out;
        auto t = PdfWindow(out / "unused.pdf");
        LongDocument(*t);
        QVERIFY(t->Data().SoftPageBreaks().empty());
        t->Window->btnPageBreaks->trigger();
        const int pages = t->Window->PrintComponent().PageCount();
        QVERIFY(pages >= 3);
        QCOMPARE(int(t->Data().SoftPageBreaks().size()), pages - 1);
        // Each mark is where a page starts: at the beginning of a line of the document's text.
        for (const TRVSoftPageBreakInfo& mark : t->Data().SoftPageBreaks()) {
            QVERIFY(mark.ItemNo > 0 && mark.ItemNo < t->Data().Count());
            QCOMPARE(mark.ExtraData, -1);
        }

        // A document opened from a file has its marks at once.
        const fs::path saved = t->Work / "lang.rvf";
        t->Session().WriteDocument(saved);
        t->Run().Modified = false;
        t->Session().New(false);
        QVERIFY(t->Data().SoftPageBreaks().empty());
        t->Run().StartDocument = saved.string();
        t->Session().OpenvonKom();
        QVERIFY(t->Data().Count() > 100);
        QCOMPARE(t->Window->PrintComponent().PageCount(), pages);
        QCOMPARE(int(t->Data().SoftPageBreaks().size()), pages - 1);

        // A document of one page has none.
        t->Run().Modified = false;
        t->Session().New(false);
        t->Type("Nur eine Zeile.");
        t->Window->btnPageBreaks->trigger();
        QCOMPARE(t->Window->PrintComponent().PageCount(), 1);
        QVERIFY(t->Data().SoftPageBreaks().empty());
    }

    void exportReplacesThePdfFileWhole()
    {
        if (!HavePdfTools())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        // No printer is needed: the export has a PDF printer of its own.
        TTestWindow t;
        TTempDir out;
        const fs::path pdf = out / "export.pdf";

        t.PrintDialogs.PdfFiles.push_back(pdf);
        t.Window->mitExportPdf->trigger();
        QCOMPARE(LastText(t.Boxes), QStringLiteral("Nichts zu drucken!"));
        QCOMPARE(t.PrintDialogs.PdfFileRequests, 0);

        PageDocument(t, 3);
        WriteBytes(pdf, "kein PDF");
        t.Boxes.Asked.clear();
        t.Window->mitExportPdf->trigger();
        QVERIFY2(t.Boxes.Asked.empty(), qPrintable(LastText(t.Boxes)));
        QCOMPARE(PdfPages(pdf), 3);
        QCOMPARE(PageOrder(pdf), QStringLiteral("Apfel,Birne,Kirsche"));
        // Only the file itself is left in the directory.
        int files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out.Path()))
            ++files;
        QCOMPARE(files, 1);

        // Cancelled: the file stays as it is.
        const auto before = fs::last_write_time(pdf);
        t.Window->mitExportPdf->trigger();
        QCOMPARE(fs::last_write_time(pdf), before);

        // A directory that does not exist: told, nothing written.
        t.PrintDialogs.PdfFiles.push_back(out / "fehlt" / "x.pdf");
        t.Window->mitExportPdf->trigger();
        QCOMPARE(LastText(t.Boxes), QStringLiteral("Die PDF-Datei konnte nicht geschrieben werden:\r") +
                                        QString::fromStdString((out / "fehlt" / "x.pdf").string()));
        QVERIFY(!fs::exists(out / "fehlt"));
    }

    void qtDialogsOfferTheRangeAndChooseAPdfName()
    {
        // The dialogs the program shows, answered as a user would.
        std::unique_ptr<TQtPrinter> printer = TQtPrinter::Pdf();
        TQtPrintDialogs dialogs(nullptr);
        TPrintChoice choice;
        choice.MinPage = 1;
        choice.MaxPage = 7;
        choice.FromPage = 1;
        choice.ToPage = 7;
        int minPage = 0, maxPage = 0;
        bool selection = false, collate = false;
        QString printTitle;
        WhenModal<QPrintDialog>([&](QPrintDialog* shown) {
            printTitle = shown->windowTitle();
            minPage = shown->minPage();
            maxPage = shown->maxPage();
            selection = shown->testOption(QAbstractPrintDialog::PrintSelection);
            collate = shown->testOption(QAbstractPrintDialog::PrintCollateCopies);
            shown->reject();
        });
        QVERIFY(!dialogs.ExecutePrint(*printer, choice));
        QCOMPARE(minPage, 1);
        QCOMPARE(maxPage, 7);
        QVERIFY(selection);
        QVERIFY(collate);
        QCOMPARE(printTitle, QStringLiteral("Drucken"));

        TTempDir out;
        const fs::path file = out / "ausgabe.pdf";
        QString title;
        WhenModal<QFileDialog>([&](QFileDialog* shown) {
            title = shown->windowTitle();
            if (auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(QString::fromStdString(file.string()));
            static_cast<QDialog*>(shown)->accept();
            if (shown->isVisible())
                shown->reject();
        });
        QCOMPARE(dialogs.ChoosePdfFile(), std::optional<fs::path>(file));
        QCOMPARE(title, QStringLiteral("Als PDF exportieren"));
        WhenModal<QFileDialog>([](QFileDialog* shown) { shown->reject(); });
        QCOMPARE(dialogs.ChoosePdfFile(), std::optional<fs::path>());
    }

    void printsThroughACupsQueue();
};

namespace {

/// A cups-pdf queue for one test: starts the scheduler when it is not running, points cups-pdf's
/// output into a directory of the test, adds the queue, and undoes all of it at the end.
class TCupsPdfQueue {
public:
    static constexpr const char* Queue = "xqtest-pdf";
    static constexpr const char* ConfigPath = "/etc/cups/cups-pdf.conf";

    /// Empty when the queue is ready, else why it is not.
    QString Start()
    {
        if (::geteuid() != 0)
            return QStringLiteral("needs root to start CUPS and add a queue (CI runs the tests as root)");
        for (const char* tool : {"cupsd", "lpadmin", "lpinfo", "lpstat"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool), {"/usr/sbin", "/usr/bin", "/sbin"}).isEmpty())
                return QStringLiteral("CUPS is not installed (%1 is missing)").arg(QString::fromLatin1(tool));
        QFile config(QString::fromLatin1(ConfigPath));
        if (!config.open(QIODevice::ReadOnly))
            return QStringLiteral("cups-pdf is not installed (no %1)").arg(QString::fromLatin1(ConfigPath));
        OldConfig_ = config.readAll();
        config.close();

        if (!SchedulerRunning()) {
            Scheduler_.start(QStringLiteral("cupsd"), {QStringLiteral("-f")});
            if (!Scheduler_.waitForStarted(10000))
                return QStringLiteral("cupsd could not be started");
            QElapsedTimer timer;
            timer.start();
            while (!SchedulerRunning() && timer.elapsed() < 15000)
                QThread::msleep(200);
            if (!SchedulerRunning())
                return QStringLiteral("cupsd did not come up");
        }

        // cups-pdf reads its configuration for every job: the output goes to the test's directory.
        QByteArray changed;
        for (const QByteArray& line : OldConfig_.split('\n'))
            if (!line.trimmed().startsWith("Out ") && !line.trimmed().startsWith("Out\t"))
                changed += line + '\n';
        changed += "Out " + QByteArray::fromStdString(Out_.Path().string()) + '\n';
        if (!WriteConfig(changed))
            return QStringLiteral("cannot change %1").arg(QString::fromLatin1(ConfigPath));
        ConfigChanged_ = true;

        QString model;
        for (const QString& line : Run(QStringLiteral("lpinfo"), {QStringLiteral("-m")}).Out.split('\n'))
            if (line.contains(QStringLiteral("CUPS-PDF")) && (model.isEmpty() || line.contains(QStringLiteral("_opt"))))
                model = line.section(QLatin1Char(' '), 0, 0);
        if (model.isEmpty())
            return QStringLiteral("lpinfo -m offers no cups-pdf model");
        if (Run(QStringLiteral("lpadmin"), {QStringLiteral("-p"), QString::fromLatin1(Queue), QStringLiteral("-E"),
                                            QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-m"), model})
                .ExitCode != 0)
            return QStringLiteral("lpadmin could not add the queue %1").arg(QString::fromLatin1(Queue));
        Added_ = true;
        // This system's filters turn text into outlines on the way to cups-pdf unless they render
        // through cairo; the words are then no longer text in the PDF the queue writes.
        Run(QStringLiteral("lpadmin"), {QStringLiteral("-p"), QString::fromLatin1(Queue), QStringLiteral("-o"),
                                        QStringLiteral("pdftops-renderer-default=pdftocairo")});
        if (QPrinterInfo::printerInfo(QString::fromLatin1(Queue)).isNull())
            return QStringLiteral("Qt does not see the queue %1").arg(QString::fromLatin1(Queue));
        return {};
    }

    ~TCupsPdfQueue()
    {
        if (Added_)
            Run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QString::fromLatin1(Queue)});
        if (ConfigChanged_)
            WriteConfig(OldConfig_);
        if (Scheduler_.state() != QProcess::NotRunning) {
            Scheduler_.terminate();
            if (!Scheduler_.waitForFinished(10000))
                Scheduler_.kill();
        }
    }

    /// The first PDF file cups-pdf finished in the output directory (its size settled), or empty.
    fs::path WaitForPdf(int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        std::uintmax_t lastSize = 0;
        while (timer.elapsed() < timeoutMs) {
            std::error_code ec;
            for (const auto& entry : fs::recursive_directory_iterator(Out_.Path(), ec)) {
                if (entry.path().extension() != ".pdf")
                    continue;
                const std::uintmax_t size = fs::file_size(entry.path(), ec);
                if (size > 0 && size == lastSize && PdfPages(entry.path()) > 0)
                    return entry.path();
                lastSize = size;
            }
            QTest::qWait(500);
        }
        return {};
    }

private:
    static bool SchedulerRunning()
    {
        return Run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, 10000).Out.contains(QStringLiteral("is running"));
    }
    static bool WriteConfig(const QByteArray& bytes)
    {
        QFile config(QString::fromLatin1(ConfigPath));
        return config.open(QIODevice::WriteOnly | QIODevice::Truncate) && config.write(bytes) == bytes.size();
    }

    TTempDir Out_;
    QByteArray OldConfig_;
    QProcess Scheduler_;
    bool ConfigChanged_ = false;
    bool Added_ = false;
};

} // namespace

void TPrintCommandsTest::printsThroughACupsQueue()
{
    if (!HavePdfTools())
        QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
    TCupsPdfQueue queue;
    if (const QString why = queue.Start(); !why.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no CUPS queue: ") + why));

    // The window starts on the PDF printer; the user picks the queue in the print dialog.
    TTempDir unused;
    auto t = PdfWindow(unused / "nicht.pdf");
    PageDocument(*t, 3);
    t->PrintDialogs.Answers.push_back({TPrintRange::All, 1, 3, 1, true, TCupsPdfQueue::Queue});
    t->Window->mitPrint->trigger();
    QVERIFY2(t->Boxes.Asked.empty(), qPrintable(LastText(t->Boxes)));
    QCOMPARE(QString::fromStdString(t->Window->Printer()->Name()), QString::fromLatin1(TCupsPdfQueue::Queue));
    QVERIFY(!fs::exists(unused / "nicht.pdf"));

    const fs::path printed = queue.WaitForPdf(60000);
    QVERIFY2(!printed.empty(), "cups-pdf wrote no PDF file within a minute");
    QCOMPARE(PdfPages(printed), 3);
    QCOMPARE(PageOrder(printed), QStringLiteral("Apfel,Birne,Kirsche"));
    QVERIFY(PdfPageText(printed, 2).contains(QStringLiteral("Auf diesem Blatt steht Birne allein")));
}

XQ_APP_TEST(TPrintCommandsTest);

} // namespace xq::test

#include "PrintCommandsTest.moc"

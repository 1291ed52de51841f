// The real X clipboard, with xclip on the other side: what the editor copies, other programs read as
// our RTF and text; RTF (as LibreOffice writes it) and text that xclip offers paste into the editor.
// Runs on a private Xvfb (see PrivateXServer.h) and skips, saying why, without one.
#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTest>

#include <fstream>

#include "PrivateXServer.h"
#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include <QStandardPaths>

namespace xq::test {

namespace {

/// Runs xclip while the event loop goes on (the window answers xclip's requests meanwhile);
/// returns its output, or nothing when it failed or took longer than 10 s.
std::optional<QByteArray> RunXclip(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), arguments);
    if (!xclip.waitForStarted(5000))
        return std::nullopt;
    if (!input.isNull()) {
        xclip.write(input);
        xclip.closeWriteChannel();
    }
    QElapsedTimer timer;
    timer.start();
    while (xclip.state() != QProcess::NotRunning && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        xclip.waitForFinished(20);
    }
    if (xclip.state() != QProcess::NotRunning) {
        xclip.kill();
        xclip.waitForFinished();
        return std::nullopt;
    }
    if (xclip.exitStatus() != QProcess::NormalExit || xclip.exitCode() != 0)
        return std::nullopt;
    return xclip.readAllStandardOutput();
}

/// Waits until xclip owns the clipboard and it offers the MIME type: until the X server has told
/// us that our own copy is gone, the clipboard still offers what we put there.
bool WaitForOffer(const QString& type)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const QMimeData* data = clipboard->mimeData();
        if (!clipboard->ownsClipboard() && data && data->formats().contains(type))
            return true;
    }
    return false;
}

/// LibreOffice's RTF of an RTF document: soffice converts it, headless, with a profile of its
/// own in dir. Empty when it could not.
std::string LibreOfficeRtf(const std::filesystem::path& source, const std::filesystem::path& dir, QString& error)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const std::filesystem::path out = dir / "lo";
    std::filesystem::create_directories(out);
    QProcess lo;
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + QString::fromStdString((dir / "profile").string()),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("rtf"),
                       QStringLiteral("--outdir"), QString::fromStdString(out.string()),
                       QString::fromStdString(source.string())});
    if (!lo.waitForFinished(180000) || lo.exitCode() != 0) {
        error = QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(lo.readAllStandardError());
        lo.kill();
        return {};
    }
    std::ifstream in(out / source.filename(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string StyleOfText(TTestWindow& t, const std::string& text, TFontStyle style)
{
    for (int i = 0; i < t.Data().Count(); ++i)
        if (t.Data().ItemAt(i).IsText() && t.Data().TextAt(i).find(text) != std::string::npos)
            return t.Window->Document().RStyle.TextStyles[t.Data().ItemAt(i).StyleNo].Style.Contains(style) ? "yes"
                                                                                                           : "no";
    return "missing";
}

void Empty(TTestWindow& t)
{
    t.Window->rve->RunEdit([&] {
        t.Editor().SelectAll();
        t.Editor().DeleteSelected();
    });
}

} // namespace

class TXClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!PrivateXSkipReason().empty())
            QSKIP(PrivateXSkipReason().c_str());
    }

    void OtherProgramsReadOurRtfAndText()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Grüße aus Köln");
        t.Type("zweite Zeile");
        window.mitSelectAll->trigger();
        window.mitCopy->trigger();
        TRVDocPos first, last;
        QVERIFY(t.Editor().GetOrderedSelectionDoc(first, last));
        std::string rtf;
        QVERIFY(WriteRtfSelection(t.Data(), TRVRTFWriteSettings(t.Editor().RTFOptions), rtf,
                                  {first.ItemNo, first.Offset, last.ItemNo, last.Offset}));

        const std::optional<QByteArray> gotRtf =
            RunXclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                      QStringLiteral("-t"), QStringLiteral("text/rtf")});
        QVERIFY(gotRtf);
        QCOMPARE(gotRtf->toStdString(), rtf);
        const std::optional<QByteArray> gotText =
            RunXclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                      QStringLiteral("-t"), QStringLiteral("text/plain")});
        QVERIFY(gotText);
        QCOMPARE(QString::fromUtf8(*gotText), QStringLiteral("Grüße aus Köln\r\nzweite Zeile"));
        // The targets offered include our own format.
        const std::optional<QByteArray> targets =
            RunXclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                      QStringLiteral("-t"), QStringLiteral("TARGETS")});
        QVERIFY(targets);
        QVERIFY2(targets->contains("application/x-docview-format"), targets->constData());
        QVERIFY2(targets->contains("text/rtf"), targets->constData());
    }

    void RtfWrittenByLibreOfficePastesWithItsFormatting()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            QSKIP("LibreOffice is not installed: no RTF of its own to offer");
        const TTempDir dir;
        const std::filesystem::path source = dir.Path() / "vorlage.rtf";
        std::ofstream(source, std::ios::binary)
            << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 normal \\b fett\\b0  \\i kursiv\\i0\\par}";
        QString error;
        const std::string written = LibreOfficeRtf(source, dir.Path(), error);
        QVERIFY2(written.rfind("{\\rtf1", 0) == 0, qPrintable(error));

        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("x");
        Empty(t);
        QVERIFY(RunXclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                          QStringLiteral("-t"), QStringLiteral("text/rtf")},
                         QByteArray::fromStdString(written)));
        QVERIFY(WaitForOffer(QStringLiteral("text/rtf")));
        QVERIFY(window.mitPaste->isEnabled());
        window.mitPaste->trigger();
        QVERIFY2(Paragraphs(t.Data()).join(QLatin1Char('|')).contains(QStringLiteral("normal fett kursiv")),
                 qPrintable(Paragraphs(t.Data()).join(QLatin1Char('|'))));
        QCOMPARE(StyleOfText(t, "fett", fsBold), std::string("yes"));
        QCOMPARE(StyleOfText(t, "kursiv", fsItalic), std::string("yes"));
        QCOMPARE(StyleOfText(t, "normal", fsBold), std::string("no"));
    }

    void TextOfferedAsPlainTextPastesAsText()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("x");
        Empty(t);
        QVERIFY(RunXclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                          QStringLiteral("-t"), QStringLiteral("text/plain")},
                         QByteArray("Hallo Welt\nzweite Zeile")));
        QVERIFY(WaitForOffer(QStringLiteral("text/plain")));
        window.mitPaste->trigger();
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"Hallo Welt", "zweite Zeile"}));
        window.mitUndo->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString()});
    }
};

XQ_APP_TEST(TXClipboardTest);

} // namespace xq::test

#include "XClipboardTest.moc"

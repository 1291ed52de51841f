// "&Ausschneiden", "&Kopieren" and "&Einfügen" with their buttons and keys, on the platform's real
// clipboard: what the window offers other programs, what it takes from them, and when the
// commands are enabled.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "document/RVStyle.h"
#include "platform/qt/QtClipboard.h"

namespace xq::test {

namespace {

void Offer(QMimeData* data)
{
    QGuiApplication::clipboard()->setMimeData(data);
    QCoreApplication::processEvents();
}

QMimeData* MimeOf(const char* type, const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(type), bytes);
    return data;
}

} // namespace

class TClipboardCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void CopyCutAndPasteThroughTheMenusAndTheirEnabling()
    {
        QGuiApplication::clipboard()->clear();
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Erste Zeile");
        t.Type("Zweite");
        window.rve->RunEdit([&] { t.Editor().Deselect(); });
        window.UpdateUndoControls();
        // Nothing selected, nothing on the clipboard: all three are off.
        for (QAction* a : {window.mitCopy, window.mitCut, window.mitPaste, window.btnCopy, window.btnCut,
                           window.btnPaste})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));

        window.mitSelectAll->trigger();
        QVERIFY(window.mitCopy->isEnabled() && window.btnCopy->isEnabled());
        QVERIFY(window.mitCut->isEnabled() && window.btnCut->isEnabled());
        window.mitCopy->trigger();
        QCoreApplication::processEvents();
        const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
        QVERIFY(offered);
        QVERIFY(offered->hasFormat(QStringLiteral("application/x-docview-format")));
        QVERIFY(offered->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
        QVERIFY(offered->data(QStringLiteral("text/rtf")).contains("Zweite"));
        QCOMPARE(offered->text(), QStringLiteral("Erste Zeile\r\nZweite"));
        QVERIFY(window.mitPaste->isEnabled() && window.btnPaste->isEnabled());

        // Pasted at the end: the paragraphs once more, as one undo step.
        const std::string before = t.Rvf();
        window.rve->RunEdit([&] { t.Editor().SetCaretDocPos({1, 7}); });
        window.btnPaste->trigger();
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"Erste Zeile", "ZweiteErste Zeile", "Zweite"}));
        window.mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // Cut empties the document; undo gives it back byte for byte.
        window.mitSelectAll->trigger();
        window.btnCut->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString()});
        QVERIFY(!window.mitCopy->isEnabled());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Erste Zeile\r\nZweite"));
        window.mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // Paste follows the clipboard, also when another program empties it.
        QGuiApplication::clipboard()->clear();
        QCoreApplication::processEvents();
        QVERIFY(!window.mitPaste->isEnabled());
        QVERIFY(!window.btnPaste->isEnabled());
    }

    void TheKeysCopyCutAndPaste()
    {
        QGuiApplication::clipboard()->clear();
        TTestWindow t;
        TDocViewEditWidget* rve = t.Window->rve;
        QApplication::setActiveWindow(t.Window.get());
        rve->setFocus();
        QCoreApplication::processEvents();
        QTest::keyClicks(rve, QStringLiteral("abc"));
        QTest::keyClick(rve, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(rve, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("c"));
        QTest::keyClick(rve, Qt::Key_End);
        QTest::keyClick(rve, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(rve, 'v', Qt::ControlModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"abccc"});
        QTest::keyClick(rve, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(rve, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString()});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abccc"));
        QTest::keyClick(rve, 'v', Qt::ControlModifier);
        QTest::keyClick(rve, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(rve, 'x', Qt::ControlModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"abcc"});
        QTest::keyClick(rve, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(rve, 'c', Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("c"));
    }

    void DataOfOtherProgramsPastesByItsRichestForm()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        // RTF under each of its names, with its formatting.
        for (const char* type : {"text/rtf", "text/richtext", "application/rtf"}) {
            window.rve->RunEdit([&] {
                t.Editor().SelectAll();
                t.Editor().DeleteSelected();
            });
            auto* data = MimeOf(type, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 normal \\b fett\\b0\\par}");
            data->setText(QStringLiteral("nur Text"));
            Offer(data);
            QVERIFY(window.mitPaste->isEnabled());
            window.mitPaste->trigger();
            QCOMPARE(Paragraphs(t.Data()), QStringList{"normal fett"});
            int boldItem = -1;
            for (int i = 0; i < t.Data().Count(); ++i)
                if (t.Data().TextAt(i) == "fett")
                    boldItem = i;
            QVERIFY2(boldItem >= 0, type);
            QVERIFY(window.Document().RStyle.TextStyles[t.Data().ItemAt(boldItem).StyleNo].Style.Contains(fsBold));
        }

        // A browser's HTML comes with its plain text, which is what is pasted.
        window.rve->RunEdit([&] {
            t.Editor().SelectAll();
            t.Editor().DeleteSelected();
        });
        auto* html = new QMimeData;
        html->setHtml(QStringLiteral("<p><b>Grüße</b> aus Köln</p>"));
        html->setText(QStringLiteral("Grüße aus Köln"));
        Offer(html);
        window.mitPaste->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString::fromUtf8("Grüße aus Köln")});

        // HTML alone is nothing the editor takes.
        auto* onlyHtml = new QMimeData;
        onlyHtml->setHtml(QStringLiteral("<p>x</p>"));
        Offer(onlyHtml);
        QVERIFY(!window.mitPaste->isEnabled());

        // A damaged DocView format of huge declared size gives way to the text beside it.
        auto* damaged = MimeOf("application/x-docview-format", QByteArray("\xFF\xFF\xFF\xFF" "-8", 6));
        damaged->setText(QStringLiteral("Ersatz"));
        Offer(damaged);
        window.rve->RunEdit([&] { t.Editor().SelectAll(); });
        window.mitPaste->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{"Ersatz"});
    }
};

XQ_APP_TEST(TClipboardCommandsTest);

} // namespace xq::test

#include "ClipboardCommandsTest.moc"

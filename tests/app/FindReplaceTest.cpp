// "Suchen..." and "Suchen und ersetzen..." through the real modeless dialogs: what they are
// filled with, finding on and the message when nothing is left, Replace and Replace all with
// their message and one Undo.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "dialogs/FindReplaceDialog.h"

namespace xq::test {

namespace {

QString Selected(TTestWindow& t)
{
    return QString::fromStdU16String(t.Editor().SelectedText());
}

} // namespace

class TFindReplaceTest : public QObject {
    Q_OBJECT

private slots:
    void TheFindDialogFindsOnAndSaysWhenNothingIsLeft()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Sehr geehrte Damen und Herren,");
        t.Type("die Herren der Schöpfung.");
        // A selection over two lines fills in its first line only.
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 24}, {1, 4}); });
        QVERIFY(window.mitFind->isEnabled());
        window.mitFind->trigger();
        TFindReplaceDialog* dialog = window.FindDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Suchen"));
        QCOMPARE(dialog->edtFind->text(), QStringLiteral("Herren,"));
        QVERIFY(!dialog->isModal());

        dialog->edtFind->setText(QStringLiteral("herren"));
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 1}, {0, 1}); });
        QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
        QCOMPARE(Selected(t), QStringLiteral("Herren"));
        QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
        QCOMPARE(Selected(t), QStringLiteral("Herren"));
        QVERIFY(t.Boxes.Asked.empty());
        QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
        QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(t.Boxes.Asked[0].Text), QStringLiteral("Nicht gefunden!"));
        QCOMPARE(QString::fromStdString(t.Boxes.Asked[0].Caption), QStringLiteral("Suche"));

        // Up, with match case: "herren" is nowhere.
        dialog->rbUp->setChecked(true);
        dialog->chkMatchCase->setChecked(true);
        QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
        QCOMPARE(t.Boxes.Asked.size(), std::size_t(2));
        dialog->chkMatchCase->setChecked(false);
        QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
        QCOMPARE(Selected(t), QStringLiteral("Herren"));
        TRVDocPos first, last;
        QVERIFY(t.Data().GetOrderedSelectionDoc(first, last));
        QCOMPARE(first.ItemNo, 0);

        // Nothing typed, nothing to press; the replace dialog closes the find dialog.
        dialog->edtFind->clear();
        QVERIFY(!dialog->btnFindNext->isEnabled());
        window.mitReplace->trigger();
        QVERIFY(!dialog->isVisible());
        QVERIFY(window.ReplaceDialog()->isVisible());
        QCOMPARE(window.ReplaceDialog()->windowTitle(), QStringLiteral("Ersetzen"));
        QCOMPARE(window.ReplaceDialog()->edtFind->text(), QStringLiteral("Herren"));
        if (const QByteArray shots = qgetenv("XQ_SCREENSHOTS"); !shots.isEmpty()) {
            dialog->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/suchen.png"));
            window.ReplaceDialog()->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/ersetzen.png"));
        }
        QVERIFY2(!window.ReplaceDialog()->rbUp->isVisible(), "replacing runs towards the end");
    }

    void ReplaceAndReplaceAllAreUndoneInOneStep()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Der Brief, ein BRIEF, noch ein Brief.");
        const std::string before = t.Rvf();
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 1}, {0, 1}); });
        window.mitReplace->trigger();
        TFindReplaceDialog& rd = *window.ReplaceDialog();
        rd.edtFind->setText(QStringLiteral("Brief"));
        rd.edtReplace->setText(QStringLiteral("Karte"));
        QTest::mouseClick(rd.btnFindNext, Qt::LeftButton);
        QCOMPARE(Selected(t), QStringLiteral("Brief"));
        // Replace takes the selection and goes on; "BRIEF" is not the text asked for.
        QTest::mouseClick(rd.btnReplace, Qt::LeftButton);
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Der Karte, ein BRIEF, noch ein Brief."));
        QCOMPARE(Selected(t), QStringLiteral("BRIEF"));
        QTest::mouseClick(rd.btnReplace, Qt::LeftButton);
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Der Karte, ein BRIEF, noch ein Brief."));
        QCOMPARE(Selected(t), QStringLiteral("Brief"));
        window.mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // Replace all from the start: a count in the message, one Undo for the run.
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 1}, {0, 1}); });
        rd.edtReplace->setText(QStringLiteral("BriefBrief"));
        QTest::mouseClick(rd.btnReplaceAll, Qt::LeftButton);
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)),
                 QStringLiteral("Der BriefBrief, ein BriefBrief, noch ein BriefBrief."));
        QCOMPARE(QString::fromStdString(t.Boxes.Asked.back().Text), QStringLiteral("Stelle wurde 3 x ersetzt!"));
        QCOMPARE(QString::fromStdString(t.Boxes.Asked.back().Caption), QStringLiteral("Ersetzt"));
        QVERIFY(window.mitUndo->isEnabled());
        window.mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);
    }
};

XQ_APP_TEST(TFindReplaceTest);

} // namespace xq::test

#include "FindReplaceTest.moc"

// The insert table dialog of "Benutzerdefiniert ...", driven as a user drives it: its captions and
// defaults, where it opens, the number fields that take digits only, the width fields selecting
// the manual width, and the table each choice inserts.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>

#include "TestSupport.h"
#include "dialogs/InsertTableDialog.h"
#include "tables/TableItem.h"

namespace xq::test {

namespace {

QLineEdit* EditOf(QSpinBox* box)
{
    return box->findChild<QLineEdit*>();
}

/// Opens the dialog from the menu and runs fill on it, which closes it.
bool WithDialog(TTestWindow& t, const std::function<void(TfrmInsTable&)>& fill)
{
    bool ran = false;
    WhenModal<TfrmInsTable>([&](TfrmInsTable* dialog) {
        ran = true;
        fill(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    t.Window->mitTableCustom->trigger();
    return ran;
}

/// The tables of the document as "columns x rows, width", one per table.
QStringList Tables(TTestWindow& t)
{
    QStringList tables;
    const TCustomRVData& data = t.Data();
    for (int i = 0; i < data.Count(); ++i)
        if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&data.ItemAt(i)))
            tables << QStringLiteral("%1 x %2, %3 %4")
                          .arg(table->ColCount())
                          .arg(table->RowCount())
                          .arg(table->BestWidth)
                          .arg(QString::fromStdString(data.TextAt(i)));
    return tables;
}

} // namespace

class TInsertTableDialogTest : public QObject {
    Q_OBJECT

private slots:
    void CaptionsDefaultsAndPlace()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        QVERIFY(window.mitTableCustom->isEnabled());
        QWidget* copy = window.ToolBar1->widgetForAction(window.btnCopy);
        QVERIFY(copy);
        const QPoint corner = copy->mapToGlobal(QPoint(copy->width(), copy->height()));
        QVERIFY(WithDialog(t, [&](TfrmInsTable& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(" Tabelle einfügen"));
            QCOMPARE(d.pos(), corner);
            QStringList texts;
            for (QGroupBox* box : d.findChildren<QGroupBox*>())
                texts << box->title();
            for (QLabel* label : d.findChildren<QLabel*>())
                texts << label->text();
            for (QRadioButton* radio : {d.rbAutoSize, d.rbWindowSize, d.rbManual})
                texts << radio->text();
            texts << d.btnOk->text() << d.btnCancel->text() << d.btnOk->toolTip();
            QCOMPARE(texts, (QStringList{" Tabellengrösse ", " Tabelleneigenschaften ", "Anzahl der Spalten",
                                         "Anzahl Zeilen", "&Tabellengrösse automatisch anpassen",
                                         "Tabelle an &Fenstergrösse anpassen", "Tabelle &manuell einstellen", "&OK",
                                         "&Abbrechen", "Tabelle einfügen"}));
            QCOMPARE(d.cmbWidthType->count(), 2);
            QCOMPARE(d.cmbWidthType->itemText(0), QStringLiteral("Prozent"));
            QCOMPARE(d.cmbWidthType->itemText(1), QStringLiteral("Pixel"));
            QCOMPARE(d.cmbWidthType->currentIndex(), 0);
            QVERIFY(d.rbAutoSize->isChecked());
            const std::tuple<QSpinBox*, int, int, int> fields[] = {
                {d.spnColumns, 2, 100, 3}, {d.spnRows, 2, 500, 3}, {d.spnWidth, 100, 1000, 4}};
            for (const auto& [box, value, maximum, digits] : fields) {
                QCOMPARE(box->value(), value);
                QCOMPARE(box->minimum(), 1);
                QCOMPARE(box->maximum(), maximum);
                QCOMPARE(EditOf(box)->maxLength(), digits);
            }
            if (const QByteArray dir = qgetenv("XQ_SCREENSHOTS"); !dir.isEmpty())
                d.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/tabelle-einfuegen.png"));
            d.btnCancel->click();
        }));
        // Cancel inserts nothing.
        QVERIFY(Tables(t).isEmpty());
        QVERIFY(!t.Editor().CanUndo());
    }

    void NumberFieldsTakeDigitsOnly()
    {
        TTestWindow t;
        QVERIFY(WithDialog(t, [&](TfrmInsTable& d) {
            QLineEdit* columns = EditOf(d.spnColumns);
            columns->selectAll();
            QTest::keyClicks(columns, QStringLiteral("a1-b2 x,"));
            QCOMPARE(columns->text(), QStringLiteral("12"));
            QTest::keyClick(columns, Qt::Key_Backspace);
            QCOMPARE(columns->text(), QStringLiteral("1"));
            // No more digits than the largest value has.
            QLineEdit* rows = EditOf(d.spnRows);
            rows->selectAll();
            QTest::keyClicks(rows, QStringLiteral("4999"));
            QCOMPARE(rows->text(), QStringLiteral("499"));
            // Typing into the number fields of the size leaves the width choice alone.
            QVERIFY(d.rbAutoSize->isChecked());
            d.btnOk->click();
        }));
        QCOMPARE(Tables(t), QStringList{"1 x 499, 0 TAB"});
    }

    void TheWidthFieldsChooseTheManualWidth()
    {
        TTestWindow t;
        QVERIFY(WithDialog(t, [&](TfrmInsTable& d) {
            // Passing them on the way with the Tab key chooses nothing.
            d.spnWidth->setFocus(Qt::TabFocusReason);
            d.cmbWidthType->setFocus(Qt::BacktabFocusReason);
            QVERIFY(d.rbAutoSize->isChecked());
            // Clicking into the width does.
            d.spnWidth->setFocus(Qt::MouseFocusReason);
            QVERIFY(d.rbManual->isChecked());
            d.rbWindowSize->setChecked(true);
            d.cmbWidthType->setFocus(Qt::MouseFocusReason);
            QVERIFY(d.rbManual->isChecked());
            // Typing a width after tabbing there does too.
            d.rbAutoSize->setChecked(true);
            d.spnWidth->setFocus(Qt::TabFocusReason);
            QLineEdit* width = EditOf(d.spnWidth);
            width->selectAll();
            QTest::keyClicks(width, QStringLiteral("75"));
            QVERIFY(d.rbManual->isChecked());
            // So does choosing the unit.
            d.rbAutoSize->setChecked(true);
            d.cmbWidthType->setCurrentIndex(1);
            emit d.cmbWidthType->activated(1);
            QVERIFY(d.rbManual->isChecked());
            d.btnOk->click();
        }));
        QCOMPARE(Tables(t), QStringList{"2 x 2, 75 TAB"});
    }

    void EachWidthChoiceGivesItsTable()
    {
        TTestWindow t;
        // The editor's lines are as wide as the page; "Prozent" takes whole hundredths of that.
        t.Data().MaxTextWidth = 647;
        struct TCase {
            const char* Name;
            std::function<void(TfrmInsTable&)> Choose;
            TInsertTableRequest Request;
        };
        const TCase cases[] = {
            {"automatic", [](TfrmInsTable&) {}, {2, 2, false, 10000}},
            {"window", [](TfrmInsTable& d) { d.rbWindowSize->setChecked(true); }, {2, 2, true, -100}},
            {"percent",
             [](TfrmInsTable& d) {
                 d.rbManual->setChecked(true);
                 d.spnWidth->setValue(50);
             },
             {2, 2, true, 300}},
            {"pixel",
             [](TfrmInsTable& d) {
                 d.spnColumns->setValue(3);
                 d.spnRows->setValue(4);
                 d.rbManual->setChecked(true);
                 d.spnWidth->setValue(250);
                 d.cmbWidthType->setCurrentIndex(1);
             },
             {3, 4, true, 250}},
            // Typed text counts without leaving the field; a number out of range becomes the nearest.
            {"typed",
             [](TfrmInsTable& d) {
                 EditOf(d.spnColumns)->setText(QStringLiteral("0"));
                 EditOf(d.spnRows)->setText(QStringLiteral("7"));
             },
             {1, 7, false, 10000}},
        };
        QStringList expected;
        for (const TCase& c : cases) {
            std::optional<TInsertTableRequest> request;
            QVERIFY(WithDialog(t, [&](TfrmInsTable& d) {
                c.Choose(d);
                d.btnOk->click();
                request = d.Request();
            }));
            QVERIFY2(request == c.Request, c.Name);
            // The window gives the table no preferred width unless the request asks for one.
            const int width = c.Request.UsePreferredWidth ? c.Request.PreferredWidth : 0;
            expected << QStringLiteral("%1 x %2, %3 TAB").arg(c.Request.Columns).arg(c.Request.Rows).arg(width);
            QCOMPARE(Tables(t), expected);
        }
    }
};

XQ_APP_TEST(TInsertTableDialogTest);

} // namespace xq::test

#include "InsertTableDialogTest.moc"

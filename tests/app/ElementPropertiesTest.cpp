// "Element bearbeiten": the context menu that offers it, and the dialog's pages for pictures, lines
// and tables driven as a user drives them - what they read, the rules of their fields, the border
// interplay of tables, OK as one undo step and Abbrechen changing nothing.
#include <fstream>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "dialogs/DialogFields.h"
#include "dialogs/ElementPropertiesDialog.h"
#include "lists/ListBuilders.h"
#include "tables/TableItem.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// "ab" with a picture of size after "a" (item 1); the caret stands after the picture.
void TextWithPicture(TTestWindow& t, const TTempDir& dir, QSize size = {40, 30})
{
    t.Type("ab");
    t.Editor().SetCaretDocPos({0, 2});
    t.Pictures.Answers.push_back(SaveImageFile(dir, "red.png", "PNG", size, Qt::red));
    t.Window->mitInsertPicture->trigger();
    t.Editor().SetCaretDocPos({1, 1});
}

const TRVGraphicItemInfo& PictureAt(TTestWindow& t, int itemNo)
{
    return static_cast<const TRVGraphicItemInfo&>(t.Data().ItemAt(itemNo));
}

/// Runs "Element bearbeiten" from the context menu with fill on the dialog; fill accepts or rejects
/// it (left open, it is rejected). False when no dialog opened.
bool WithDialog(TTestWindow& t, const std::function<void(TfrmProp&)>& fill)
{
    return WithModal<TfrmProp>(
        [&t] {
            // The right click that opens the context menu comes first: it decides whether the
            // command is offered.
            t.Window->PopupContextMenu = [](QMenu&, const QPoint&) {};
            emit t.Window->rve->MouseReleased(Qt::RightButton);
            t.Window->mitElementEdit->trigger();
        },
        fill);
}

QStringList VisiblePages(const TfrmProp& d)
{
    QStringList pages;
    for (int i = 0; i < d.pcProps->count(); ++i)
        if (d.pcProps->isTabVisible(i))
            pages << d.pcProps->tabText(i);
    return pages;
}

/// A click near the left end of a button, where a radio button has its circle.
void Click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
}

/// Presses Up on a step-only field count times (Down for a negative count).
void Step(QSpinBox* box, int count)
{
    for (int i = 0; i < std::abs(count); ++i)
        QTest::keyClick(box, count > 0 ? Qt::Key_Up : Qt::Key_Down);
}

/// The border fields of the table page as "border style cells outer colour[, disabled]".
QString BorderState(const TfrmProp& d)
{
    const char* borders[] = {"Sichtbar", "Unsichtbar"};
    const char* styles[] = {"mit Zellrahmen", "Nur Aussen", "Nur Zellen"};
    const int border = d.rgBorder->checkedId();
    const int style = d.rgBorderStyle->checkedId();
    QString state = QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(QString::fromUtf8(border >= 0 ? borders[border] : "?"))
                        .arg(QString::fromUtf8(style >= 0 ? styles[style] : "?"))
                        .arg(d.spnCellBorderWidth->value())
                        .arg(d.spnBorderWidth->value())
                        .arg(d.cmbBorderColor->currentText());
    if (!d.cmbBorderColor->isEnabled() || !d.gbBorderStyle->isEnabled())
        state += QStringLiteral(", gesperrt");
    return state;
}

/// A 2 x 2 table after "Text", the caret on it; its index.
int TableAfterText(TTestWindow& t)
{
    t.Type("Text");
    t.Window->InsertTable(2, 2, false, 0);
    for (int i = 0; i < t.Data().Count(); ++i)
        if (t.Data().ItemAt(i).StyleNo == rvsTable) {
            t.Editor().SetCaretDocPos({i, 1});
            return i;
        }
    return -1;
}

TRVTableItemInfo& TableAt(TTestWindow& t, int itemNo)
{
    return static_cast<TRVTableItemInfo&>(t.Data().ItemAt(itemNo));
}

void SaveShot(QWidget& widget, const char* name)
{
    const QString dir = QStringLiteral(XQ_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    widget.grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name), "PNG");
}

} // namespace

class TElementPropertiesTest : public QObject {
    Q_OBJECT

private slots:
    void TheContextMenuOpensOverElementsOnly()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const TTempDir dir;
        TextWithPicture(t, dir);
        int shown = 0;
        bool enabled = false;
        window.PopupContextMenu = [&](QMenu& menu, const QPoint&) {
            ++shown;
            QCOMPARE(menu.actions().value(0), window.mitElementEdit);
            enabled = window.mitElementEdit->isEnabled();
        };
        const TRVDrawLineInfo& picture = t.Data().DrawItems()[t.Data().FirstLinePiece(1)];
        const QPoint onPicture(picture.Left + picture.Width - 3, picture.Top + picture.Height / 2);
        QTest::mouseClick(window.rve->viewport(), Qt::RightButton, {}, onPicture);
        QCOMPARE(shown, 1);
        QVERIFY(enabled);
        QCOMPARE(t.Editor().CurrentItemNo(), 1);

        // Over text it stays shut.
        const TRVDrawLineInfo& text = t.Data().DrawItems()[t.Data().FirstLinePiece(0)];
        QTest::mouseClick(window.rve->viewport(), Qt::RightButton, {}, QPoint(text.Left + 1, text.Top + 4));
        QCOMPARE(shown, 1);
        QVERIFY(t.Data().ItemAt(t.Editor().CurrentItemNo()).IsText());

        // With a selection it opens over the picture, but "Element bearbeiten" is disabled, and the
        // command does nothing.
        t.Editor().SetSelection({0, 1}, {1, 1});
        QTest::mouseClick(window.rve->viewport(), Qt::RightButton, {}, onPicture);
        QCOMPARE(shown, 2);
        QVERIFY(!enabled);
    }

    void ARightClickOnAListMarkerEditsNothing()
    {
        // The caret cannot stand on a marker: a click there puts it before the paragraph's text,
        // so the menu stays shut and there is no element to edit.
        TTestWindow t;
        t.Type("Punkt");
        const int list = CreateBullets(t.Window->Document().RStyle, 10, 0, 0, "l", 0, 24);
        t.Editor().ApplyList(list, 0, 0, false);
        QVERIFY(t.Data().ItemAt(0).IsListMarker());
        const TRVDrawLineInfo& marker = t.Data().DrawItems()[t.Data().FirstLinePiece(0)];
        int shown = 0;
        t.Window->PopupContextMenu = [&](QMenu&, const QPoint&) { ++shown; };
        QTest::mouseClick(t.Window->rve->viewport(), Qt::RightButton, {}, QPoint(marker.Left + 2, marker.Top + 4));
        QCOMPARE(t.Editor().CurrentItemNo(), 1);
        QCOMPARE(shown, 0);
        const std::string before = t.Rvf();
        QVERIFY(!WithDialog(t, [](TfrmProp&) {}));
        QCOMPARE(t.Rvf(), before);
    }

    void ThePicturePageReadsTheNaturalSizeAndStoresIt()
    {
        TTestWindow t;
        const TTempDir dir;
        TextWithPicture(t, dir, {40, 30});
        const std::string before = t.Rvf();
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Element bearbeiten"));
            QCOMPARE(VisiblePages(d), QStringList{QStringLiteral("Bild")});
            QCOMPARE(d.spnWidth->value(), 40);
            QCOMPARE(d.spnHeight->value(), 30);
            QCOMPARE(d.rgAlign->checkedId(), 0);
            QStringList aligns;
            for (QAbstractButton* b : d.rgAlign->buttons())
                aligns << b->text();
            QCOMPARE(aligns, (QStringList{"Grundlinie", "Zentriert", "Zeile oben", "Zeile unten", "Zeile zentriert"}));
            QVERIFY(!d.imgPreview->pixmap().isNull());
            SaveShot(d, "element-picture.png");
            Click(d.btnOk);
        }));
        QCOMPARE(PictureAt(t, 1).ImageWidth, 40);
        QCOMPARE(PictureAt(t, 1).ImageHeight, 30);
        const std::string stored = t.Rvf();
        QVERIFY(stored != before);
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);
    }

    void PictureSizesAlignmentAndTheirRules()
    {
        TTestWindow t;
        const TTempDir dir;
        TextWithPicture(t, dir, {40, 30});
        const std::string before = t.Rvf();
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            // An emptied field or 0 becomes 50 when it is left; 3 is stored as 5.
            d.spnHeight->setFocus();
            d.spnHeight->selectAll();
            QTest::keyClick(d.spnHeight, Qt::Key_Delete);
            QCOMPARE(d.spnHeight->text(), QString());
            d.spnWidth->setFocus();
            QCOMPARE(d.spnHeight->value(), 50);
            d.spnWidth->selectAll();
            QTest::keyClicks(d.spnWidth, QStringLiteral("0"));
            d.spnHeight->setFocus();
            QCOMPARE(d.spnWidth->value(), 50);
            d.spnHeight->selectAll();
            QTest::keyClicks(d.spnHeight, QStringLiteral("3"));
            QCOMPARE(d.spnHeight->maximum(), 1000);
            Click(d.rgAlign->button(4));
            Click(d.btnOk);
        }));
        QCOMPARE(PictureAt(t, 1).ImageWidth, 50);
        QCOMPARE(PictureAt(t, 1).ImageHeight, 5);
        QCOMPARE(PictureAt(t, 1).VAlign, rvvaAbsMiddle);
        QCOMPARE(t.Editor().UndoAction(), rvutModifyItem);
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // Abbrechen changes nothing, whatever the fields say.
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            d.spnWidth->setValue(300);
            Click(d.rgAlign->button(2));
            Click(d.btnCancel);
        }));
        QCOMPARE(t.Rvf(), before);
    }

    void ChangingThePicture()
    {
        TTestWindow t;
        const TTempDir dir;
        TextWithPicture(t, dir, {40, 30});
        const fs::path blue = SaveImageFile(dir, "blue.png", "PNG", {20, 10}, Qt::blue);
        const fs::path broken = dir / "broken.png";
        std::ofstream(broken) << "kein Bild";
        t.Pictures.Titles.clear();
        t.Pictures.Answers = {broken, std::nullopt, blue};
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            const QImage first = d.imgPreview->pixmap().toImage();
            Click(d.btnChangePicture); // unreadable: told, the preview stays
            Click(d.btnChangePicture); // cancelled
            QCOMPARE(d.imgPreview->pixmap().toImage(), first);
            Click(d.btnChangePicture);
            QCOMPARE(QColor(d.imgPreview->pixmap().toImage().pixel(1, 1)), QColor(Qt::blue));
            Click(d.btnOk);
        }));
        QCOMPARE(t.Pictures.Titles, std::vector<std::string>(3, "Bild auswechseln"));
        QCOMPARE(t.Boxes.Texts(), std::vector<std::string>{"Kann Bild " + broken.string() + " nicht lesen."});
        const TRVGraphicItemInfo& picture = PictureAt(t, 1);
        QCOMPARE(picture.Image->Width(), 20);
        QCOMPARE(picture.ImageWidth, 40); // the size fields kept their values
    }

    void TheLinePageTakesDigitsOneToNineAndTheColourList()
    {
        TTestWindow t;
        t.Type("ab");
        t.Editor().SetCaretDocPos({0, 2});
        t.Window->mitInsertLine->trigger();
        QCOMPARE(t.Data().ItemAt(1).StyleNo, rvsBreak);
        t.Editor().SetCaretDocPos({1, 1});
        const std::string before = t.Rvf();
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            QCOMPARE(VisiblePages(d), QStringList{QStringLiteral("Linie")});
            QCOMPARE(d.edLineWidth->text(), QStringLiteral("1"));
            QCOMPARE(d.cmbLineColor->currentText(), QStringLiteral("Schwarz"));
            QCOMPARE(d.cmbLineColor->count(), 20);
            d.edLineWidth->setFocus();
            d.edLineWidth->selectAll();
            QTest::keyClicks(d.edLineWidth, QStringLiteral("0a-7 83"));
            QCOMPARE(d.edLineWidth->text(), QStringLiteral("78")); // no 0, no letters, two characters
            QTest::keyClick(d.edLineWidth, Qt::Key_Backspace);
            QCOMPARE(d.edLineWidth->text(), QStringLiteral("7"));
            d.cmbLineColor->setCurrentIndex(13);
            SaveShot(d, "element-line.png");
            Click(d.btnOk);
        }));
        const auto line = [&t]() -> const TRVBreakItemInfo& { return static_cast<const TRVBreakItemInfo&>(t.Data().ItemAt(1)); };
        QCOMPARE(int(line().Width), 7);
        QCOMPARE(line().Color, TColor(0xFF0000));
        QCOMPARE(line().Style, rvbsLine);
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // An emptied width is 1; a colour the list lacks shows no entry and stays.
        t.Editor().SetCaretDocPos({1, 1});
        QVERIFY(t.Editor().SetCurrentBreakInfo(4, rvbsLine, 0x123456, {}));
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            QCOMPARE(d.edLineWidth->text(), QStringLiteral("4"));
            QCOMPARE(d.cmbLineColor->currentIndex(), -1);
            d.edLineWidth->clear();
            Click(d.btnOk);
        }));
        QCOMPARE(int(line().Width), 1);
        QCOMPARE(line().Color, TColor(0x123456));
    }

    void AnInvisibleTableOpensWithItsOwnSpacing()
    {
        TTestWindow t;
        const int itemNo = TableAfterText(t);
        TRVTableItemInfo& table = TableAt(t, itemNo);
        table.BorderWidth = table.CellBorderWidth = 0;
        table.BorderColor = 0xFF0000;
        table.SetCellPadding(7);
        table.CellVSpacing = 3;
        table.CellHSpacing = 4;
        table.BorderVSpacing = 5;
        table.BorderHSpacing = 30; // beyond the field's range
        table.Color = 0x00FFFF;
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            QCOMPARE(VisiblePages(d), (QStringList{"Tabelle", "Tabelle weitere Optionen"}));
            QCOMPARE(d.rgBorder->checkedId(), int(TfrmProp::brInvisible));
            QCOMPARE(d.cmbBorderColor->currentText(), QStringLiteral("Grau"));
            QVERIFY(!d.cmbBorderColor->isEnabled());
            QVERIFY(!d.gbBorderStyle->isEnabled());
            QCOMPARE(d.spnCellBorderWidth->value() + d.spnBorderWidth->value(), 0);
            QCOMPARE(d.spnCellPadding->value(), 7);
            QCOMPARE(d.spnCellVSpacing->value(), 3);
            QCOMPARE(d.spnCellHSpacing->value(), 4);
            QCOMPARE(d.spnBorderVSpacing->value(), 5);
            QCOMPARE(d.spnBorderHSpacing->value(), 20);
            QCOMPARE(d.cmbTableColor->currentText(), QStringLiteral("Gelb"));
            // Back to visible: the widths remembered when the dialog was made (1 and 1) and the
            // table's own border colour come back.
            Click(d.rgBorder->button(TfrmProp::brVisible));
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar mit Zellrahmen 1 1 Blau"));
            Click(d.btnCancel);
        }));
        QCOMPARE(table.BorderWidth, 0);
        QCOMPARE(table.BorderHSpacing, 30);
    }

    void TheBorderFieldsFollowEachOther()
    {
        TTestWindow t;
        const int itemNo = TableAfterText(t);
        TRVTableItemInfo& table = TableAt(t, itemNo);
        table.BorderWidth = 3;
        table.CellBorderWidth = 2;
        table.BorderColor = table.BorderLightColor = table.CellBorderColor = table.CellBorderLightColor = 0x0000FF;
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar mit Zellrahmen 2 3 Rot"));
            QCOMPARE(d.spnBorderWidth->maximum(), 10);
            QCOMPARE(d.spnCellPadding->minimum(), -1);
            QCOMPARE(d.spnCellPadding->maximum(), 100);
            QCOMPARE(d.spnCellVSpacing->maximum(), 20);
            // "Unsichtbar" keeps the widths and the colour for "Sichtbar".
            Click(d.rgBorder->button(TfrmProp::brInvisible));
            QCOMPARE(BorderState(d), QStringLiteral("Unsichtbar mit Zellrahmen 0 0 Grau, gesperrt"));
            Click(d.rgBorder->button(TfrmProp::brVisible));
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar mit Zellrahmen 2 3 Rot"));
            // The style buttons.
            Click(d.rgBorderStyle->button(TfrmProp::bsCellsOnly));
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar Nur Zellen 2 0 Rot"));
            Click(d.rgBorderStyle->button(TfrmProp::bsOuterOnly));
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar Nur Aussen 0 1 Rot"));
            Click(d.rgBorderStyle->button(TfrmProp::bsWithCells));
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar mit Zellrahmen 1 1 Rot"));
            // The widths decide the rest.
            Step(d.spnBorderWidth, 2);
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar mit Zellrahmen 1 3 Rot"));
            Step(d.spnCellBorderWidth, -1);
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar Nur Aussen 0 3 Rot"));
            Step(d.spnBorderWidth, -3);
            QCOMPARE(BorderState(d), QStringLiteral("Unsichtbar Nur Aussen 0 0 Grau, gesperrt"));
            Step(d.spnCellBorderWidth, 1);
            QCOMPARE(BorderState(d), QStringLiteral("Sichtbar Nur Zellen 1 0 Grau"));
            Click(d.btnCancel);
        }));
    }

    void ARightClickInATableCellOffersTheTable()
    {
        TTestWindow t;
        const int itemNo = TableAfterText(t);
        int shown = 0;
        t.Window->PopupContextMenu = [&](QMenu&, const QPoint&) { ++shown; };
        const TRVDrawLineInfo& d = t.Data().DrawItems()[t.Data().FirstLinePiece(itemNo)];
        // The bottom-right cell: the click edits it, and the menu offers the table around it.
        const QPoint inCell(d.Left + d.Width * 3 / 4, d.Top + d.Height * 3 / 4);
        QTest::mouseClick(t.Window->rve->viewport(), Qt::RightButton, {}, inCell);
        QVERIFY(t.Editor().CellEditor());
        QCOMPARE(shown, 1);
        QVERIFY(t.Window->mitElementEdit->isEnabled());
        TRVTableItemInfo& table = TableAt(t, itemNo);
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            QCOMPARE(VisiblePages(d), (QStringList{"Tabelle", "Tabelle weitere Optionen"}));
            QCOMPARE(d.cmbCellColor->currentText(), QStringLiteral("Transparent"));
            d.cmbCellColor->setCurrentIndex(12);
            Click(d.btnOk);
        }));
        QCOMPARE(table.Cells(1, 1)->Color, TColor(0x00FFFF));
        QCOMPARE(table.Cells(0, 0)->Color, clNone);
    }

    void OkWritesTheTableBackAsOneStep()
    {
        TTestWindow t;
        const int itemNo = TableAfterText(t);
        TRVTableItemInfo& table = TableAt(t, itemNo);
        table.BorderWidth = 2;
        table.CellBorderWidth = 1;
        t.Window->EditedCell = {1, 1};
        const std::string before = t.Rvf();
        QVERIFY(WithDialog(t, [&](TfrmProp& d) {
            // "Nur Zellrahmen" leaves the outer border 0 and keeps the cells' width.
            Click(d.rgBorderStyle->button(TfrmProp::bsCellsOnly));
            d.cmbBorderColor->setCurrentIndex(5);
            d.pcProps->setCurrentWidget(d.tsTableMore);
            d.cmbTableColor->setCurrentIndex(18);
            d.cmbCellColor->setCurrentIndex(12);
            Step(d.spnCellPadding, 2);
            Step(d.spnCellVSpacing, 3);
            Step(d.spnBorderHSpacing, 1);
            // No typing in the step fields.
            QTest::keyClicks(d.spnCellHSpacing, QStringLiteral("9"));
            QCOMPARE(d.spnCellHSpacing->value(), -1);
            SaveShot(d, "element-table-more.png");
            d.pcProps->setCurrentWidget(d.tsTable);
            SaveShot(d, "element-table.png");
            Click(d.btnOk);
        }));
        QCOMPARE(table.BorderWidth, 0);
        QCOMPARE(table.CellBorderWidth, 1);
        QCOMPARE(table.BorderColor, TColor(0x800000));
        QCOMPARE(table.CellBorderLightColor, TColor(0x800000));
        QCOMPARE(table.Color, TColor(0xFFFFFF));
        QCOMPARE(table.Cells(1, 1)->Color, TColor(0x00FFFF));
        QCOMPARE(table.CellHPadding, 7);
        QCOMPARE(table.CellVPadding, 7);
        QCOMPARE(table.CellVSpacing, 2);
        QCOMPARE(table.CellHSpacing, -1);
        QCOMPARE(table.BorderHSpacing, 0);
        QCOMPARE(t.Editor().UndoAction(), rvutModifyItem);
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // OK without a change records nothing.
        t.Editor().SetCaretDocPos({itemNo, 1});
        QVERIFY(WithDialog(t, [&](TfrmProp& d) { Click(d.btnOk); }));
        QCOMPARE(t.Rvf(), before);
        QVERIFY(t.Editor().CanRedo());
    }
};

XQ_APP_TEST(TElementPropertiesTest);

} // namespace xq::test

#include "ElementPropertiesTest.moc"

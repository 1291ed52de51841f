// "Aufzählung/Nummerierung...": the dialog's start values, the preset from the list at the caret,
// the rules of its fields, and the list OK gives the selected paragraphs.
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "TestSupport.h"
#include "dialogs/BulletsDialog.h"
#include "dialogs/DialogFields.h"
#include "document/RVStyle.h"
#include "lists/ListBuilders.h"
#include "tools/FormatCommands.h"

namespace xq::test {

namespace {

/// Opens the dialog from the menu and runs fill on it; left open, it is cancelled.
bool WithDialog(TTestWindow& t, const std::function<void(TAufNum&)>& fill)
{
    return WithModal<TAufNum>([&t] { t.Window->mitBulletsDialog->trigger(); }, fill);
}

/// The list of the caret's paragraph as "kind text size marker/left/first colour font style".
QString ListAtCaret(TTestWindow& t)
{
    const TCaretListState s = ListStateAt(t.Window->Document().RStyle, t.Data(), t.Editor().CaretDocPos().ItemNo);
    if (s.ListKind == 0)
        return QStringLiteral("keine");
    return QStringLiteral("%1 %2 %3 %4/%5/%6 %7 %8 %9")
        .arg(s.ListKind == 1 ? QStringLiteral("Aufzählung") : QStringLiteral("Nummerierung %1").arg(s.NumberingKind))
        .arg(QString::fromLatin1(QByteArray::fromStdString(s.BulletText).toHex()))
        .arg(s.MarkerFontSize)
        .arg(s.LevelMarkerIndent)
        .arg(s.LevelLeftIndent)
        .arg(s.LevelFirstIndent)
        .arg(s.MarkerFontColor, 6, 16, QLatin1Char('0'))
        .arg(QString::fromStdString(s.MarkerFontName))
        .arg(s.MarkerFontStyle.Bits());
}

QString Fields(const TAufNum::TMeasureFields& f)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(f.Size->value())
        .arg(f.MarkerIndent->value())
        .arg(f.LeftIndent->value())
        .arg(f.FirstIndent->value());
}

int CheckedTile(const std::vector<TMarkerTile*>& tiles)
{
    int checked = -1;
    for (std::size_t i = 0; i < tiles.size(); ++i)
        if (tiles[i]->isChecked())
            checked = checked < 0 ? int(i) : -2;
    return checked;
}

void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

/// Applies a list to the caret's paragraph, bypassing the dialog.
void Apply(TTestWindow& t, int listNo)
{
    t.Editor().ApplyList(listNo, 0, 0, false);
}

} // namespace

class TBulletsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void OutsideAListTheStartValuesMakeABulletList()
    {
        TTestWindow t;
        t.Type("Erster");
        t.Type("Zweiter");
        t.Editor().SetSelection({0, 2}, {1, 3});
        const std::string before = t.Rvf();
        QVERIFY(t.Window->mitBulletsDialog->isEnabled());
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Aufzählung und Nummerierung"));
            QCOMPARE(d.pcPages->currentWidget(), d.tsBullets);
            QCOMPARE(d.pcPages->tabText(0), QStringLiteral("Aufzählung"));
            QCOMPARE(d.pcPages->tabText(1), QStringLiteral("Nummerierung"));
            QCOMPARE(CheckedTile(d.BulletTiles), 3);
            QCOMPARE(d.BulletTiles.size(), std::size_t(16));
            QVERIFY(!d.BulletTiles.back()->isVisible());
            QCOMPARE(d.BulletTiles[0]->text(), QStringLiteral("ohne"));
            QCOMPARE(d.BulletTiles[3]->text(), QString(QChar(0x25CF))); // what the symbol font shows
            QCOMPARE(Fields(d.BulletFields), QStringLiteral("10 0 24 0"));
            QCOMPARE(Fields(d.NumberingFields), QStringLiteral("10 0 24 0"));
            QCOMPARE(d.cmbMarkerColor->currentText(), QStringLiteral("Schwarz"));
            QCOMPARE(d.cmbFontColor->currentText(), QStringLiteral("Schwarz"));
            QCOMPARE(CheckedTile(d.NumberingTiles), 2);
            QCOMPARE(d.NumberingTiles[2]->text(), QStringLiteral("1. ---------"));
            QCOMPARE(d.cmbFontStyle->currentText(), QStringLiteral("Standard"));
            QCOMPARE(d.cmbFontName->currentIndex(), 0);
            QCOMPARE(d.cmbFontName->count(), t.Window->cmbFont->count());
            d.show();
            QDir().mkpath(QStringLiteral(XQ_SCREENSHOT_DIR));
            d.grab().save(QStringLiteral(XQ_SCREENSHOT_DIR "/bullets-page.png"));
            d.pcPages->setCurrentWidget(d.tsNumbering);
            d.grab().save(QStringLiteral(XQ_SCREENSHOT_DIR "/numbering-page.png"));
            d.pcPages->setCurrentWidget(d.tsBullets);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("Aufzählung 6c 10 0/24/0 000000 Wingdings 0"));
        t.Editor().SetCaretDocPos({0, 1});
        QVERIFY(ListAtCaret(t).startsWith(QStringLiteral("Aufzählung 6c")));
        t.Window->mitUndo->trigger();
        QCOMPARE(ListAtCaret(t), QStringLiteral("keine"));
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"Erster", "Zweiter"}));
        // The list style stays in the style sheet; the next time it is found again, and one Undo
        // gives back the bytes.
        const std::string withStyle = t.Rvf();
        QVERIFY(withStyle != before);
        t.Editor().SetSelection({0, 2}, {1, 3});
        QVERIFY(WithDialog(t, [&](TAufNum& d) { Click(d.btnOk); }));
        QVERIFY(ListAtCaret(t).startsWith(QStringLiteral("Aufzählung 6c")));
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Rvf(), withStyle);

        // Abbrechen leaves the paragraphs alone.
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            Click(d.BulletTiles[7]);
            Click(d.btnCancel);
        }));
        QCOMPARE(t.Rvf(), withStyle);
    }

    void AnUpperRomanListPresetsTheNumberingPage()
    {
        TTestWindow t;
        t.Type("Kapitel");
        TRVStyle& sheet = t.Window->Document().RStyle;
        const int list = CreateNumbering(sheet, t.Data(), 0, 0, 14, 4, 0x0000FF, {fsBold, fsItalic}, "Arial", "%0:s.",
                                         5, 6, 30);
        Apply(t, list);
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            QCOMPARE(d.pcPages->currentWidget(), d.tsNumbering);
            QCOMPARE(CheckedTile(d.NumberingTiles), 5);
            QCOMPARE(Fields(d.NumberingFields), QStringLiteral("14 6 30 4"));
            QCOMPARE(Fields(d.BulletFields), QStringLiteral("14 6 30 4"));
            QCOMPARE(d.cmbFontName->currentText(), QStringLiteral("Arial"));
            QCOMPARE(d.cmbFontStyle->currentText(), QStringLiteral("Fett + Kursiv"));
            QCOMPARE(d.cmbFontColor->currentText(), QStringLiteral("Rot"));
            QCOMPARE(d.cmbMarkerColor->currentText(), QStringLiteral("Rot"));
            QCOMPARE(CheckedTile(d.BulletTiles), 3);
            // Lower-case letters instead, in italics.
            Click(d.NumberingTiles[4]);
            d.cmbFontStyle->setCurrentIndex(2);
            emit d.cmbFontStyle->activated(2);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("Nummerierung 15  14 6/30/4 0000ff Arial 2"));
    }

    void BulletTextsWithoutATile()
    {
        TTestWindow t;
        t.Type("Bild");
        TRVStyle& sheet = t.Window->Document().RStyle;
        // An empty bullet text (a picture bullet, say) selects "ohne"; OK takes the paragraph out.
        Apply(t, CreateBullets(sheet, 10, 0, 0, "", 0, 24));
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            QCOMPARE(CheckedTile(d.BulletTiles), 0);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("keine"));
        // Two characters, or one without a tile, keep the round bullet; the hidden tile is found.
        for (const auto& [text, tile] : {std::pair<std::string, int>{"lm", 3}, {"z", 3}, {"P", 15}, {"\xD8", 6}}) {
            Apply(t, CreateBullets(sheet, 10, 0, 0, text, 0, 24));
            QVERIFY(WithDialog(t, [&, tile = tile](TAufNum& d) {
                QCOMPARE(CheckedTile(d.BulletTiles), tile);
                Click(d.btnCancel);
            }));
        }
    }

    void TheFieldsKeepTheirRangesAndTheTextClearsTheMarker()
    {
        TTestWindow t;
        t.Type("Breit");
        TRVStyle& sheet = t.Window->Document().RStyle;
        const int wide = CreateBullets(sheet, 10, 0, 0, "l", 0, 24);
        sheet.ListStyles[wide].Levels[0].LeftIndent = 1500;
        sheet.ListStyles[wide].Levels[0].FirstIndent = -20;
        Apply(t, wide);
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            QCOMPARE(Fields(d.BulletFields), QStringLiteral("10 0 999 0"));
            // No typing; PageUp is 10, Up 1, and the bounds hold.
            QTest::keyClicks(d.BulletFields.Size, QStringLiteral("5"));
            QCOMPARE(d.BulletFields.Size->value(), 10);
            QTest::keyClick(d.BulletFields.Size, Qt::Key_PageUp);
            QTest::keyClick(d.BulletFields.Size, Qt::Key_Up);
            QCOMPARE(d.BulletFields.Size->value(), 21);
            for (int i = 0; i < 8; ++i)
                QTest::keyClick(d.BulletFields.Size, Qt::Key_PageUp);
            QCOMPARE(d.BulletFields.Size->value(), 72);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("Aufzählung 6c 72 0/999/0 000000 Wingdings 0"));

        // A marker indent beyond the text's distance moves the text 2 pixels past it.
        t.Editor().RemoveLists();
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            d.BulletFields.MarkerIndent->setValue(30);
            d.BulletFields.LeftIndent->setValue(24);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("Aufzählung 6c 10 30/32/0 000000 Wingdings 0"));
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            d.BulletFields.MarkerIndent->setValue(24);
            d.BulletFields.LeftIndent->setValue(24);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("Aufzählung 6c 10 24/24/0 000000 Wingdings 0"));
        // The numbering page corrects its own fields.
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            d.pcPages->setCurrentWidget(d.tsNumbering);
            d.NumberingFields.MarkerIndent->setValue(998);
            d.NumberingFields.LeftIndent->setValue(0);
            Click(d.btnOk);
        }));
        QVERIFY(ListAtCaret(t).contains(QStringLiteral(" 998/999/")));
    }

    void TheColourIsSharedAndAMissingFontStaysEmpty()
    {
        TTestWindow t;
        t.Type("Farbe");
        TRVStyle& sheet = t.Window->Document().RStyle;
        Apply(t, CreateNumbering(sheet, t.Data(), 0, 0, 10, 0, 0x000000, {}, "Keine Schrift", "%0:s.", 1, 0, 24));
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            QCOMPARE(d.cmbFontName->currentIndex(), -1);
            d.pcPages->setCurrentWidget(d.tsBullets);
            d.cmbMarkerColor->setCurrentIndex(3);
            emit d.cmbMarkerColor->activated(3);
            QCOMPARE(d.cmbFontColor->currentText(), QStringLiteral("Schwarz"));
            d.pcPages->setCurrentWidget(d.tsNumbering);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("Nummerierung 14  10 0/24/0 008000  0"));
        // "- ohne -" takes the paragraph out of its list.
        QVERIFY(WithDialog(t, [&](TAufNum& d) {
            Click(d.NumberingTiles[0]);
            Click(d.btnOk);
        }));
        QCOMPARE(ListAtCaret(t), QStringLiteral("keine"));
    }
};

XQ_APP_TEST(TBulletsDialogTest);

} // namespace xq::test

#include "BulletsDialogTest.moc"

// "Sonderzeichen...": the character map as it opens, the character sets and Unicode mode, and the
// character "&Einfügen" puts at the caret in a style of the chosen font.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "dialogs/InsertSymbolDialog.h"
#include "document/RVStyle.h"
#include "platform/CodePage.h"
#include "tools/SymbolInsertion.h"

namespace xq::test {

namespace {

bool WithDialog(TTestWindow& t, const std::function<void(TfrmRVInsertSymbol&)>& fill)
{
    return WithModal<TfrmRVInsertSymbol>([&t] { t.Window->mitSymbol->trigger(); }, fill);
}

void ChooseCharset(TfrmRVInsertSymbol& d, const char* name)
{
    const int index = d.cmbCharset->findText(QString::fromUtf8(name));
    QVERIFY2(index >= 0, name);
    d.cmbCharset->setCurrentIndex(index);
    emit d.cmbCharset->activated(index);
}

void ChooseFont(TfrmRVInsertSymbol& d, const char* name)
{
    const int index = d.cmbFont->findText(QString::fromUtf8(name));
    QVERIFY2(index >= 0, name);
    d.cmbFont->setCurrentIndex(index);
    emit d.cmbFont->activated(index);
}

void ClickCell(TfrmRVInsertSymbol& d, char32_t code)
{
    d.grdChars->SelectCode(code); // scrolls the cell into view
    QTest::mouseClick(d.grdChars->viewport(), Qt::LeftButton, {}, d.grdChars->CellRect(code).center());
}

/// The items of the first paragraph as "text[font]", UTF-16 text as its code units in hex.
QString Items(TTestWindow& t)
{
    QStringList items;
    const TRVStyle& sheet = t.Window->Document().RStyle;
    for (int i = 0; i < t.Data().Count(); ++i) {
        const TFontInfo& style = sheet.TextStyles[t.Data().ItemAt(i).StyleNo];
        QString text;
        if (style.Unicode) {
            for (char16_t c : Utf16FromBytes(t.Data().TextAt(i)))
                text += QStringLiteral("U+%1").arg(int(c), 4, 16, QLatin1Char('0'));
        } else {
            text = QString::fromStdString(t.Data().TextAt(i));
        }
        items << text + QStringLiteral("[%1]").arg(QString::fromStdString(style.FontName));
    }
    return items.join(QLatin1Char(' '));
}

} // namespace

class TInsertSymbolTest : public QObject {
    Q_OBJECT

private slots:
    void ItOpensOnWingdingsAtTheRoundBullet()
    {
        TTestWindow t;
        QVERIFY(t.Window->mitSymbol->isEnabled());
        const std::string before = t.Rvf();
        QVERIFY(WithDialog(t, [&](TfrmRVInsertSymbol& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(" Sonderzeichen einfügen"));
            QCOMPARE(d.cmbFont->currentText(), QStringLiteral("Wingdings"));
            QCOMPARE(d.cmbCharset->currentText(), QStringLiteral("Symbol"));
            QCOMPARE(d.Charset(), std::uint8_t(2));
            QCOMPARE(d.grdChars->SelectedCode(), char32_t(183));
            QCOMPARE(d.lblCode->text(), QStringLiteral("Zeichen Code:  183"));
            QVERIFY(d.btnInsert->isEnabled());
            QVERIFY(d.btnInsert->isDefault());
            QCOMPARE(d.btnInsert->text(), QStringLiteral("&Einfügen"));
            QCOMPARE(d.btnCancel->text(), QStringLiteral("&Abbrechen"));
            QCOMPARE(d.grdChars->RowCount(), 8);
            QStringList charsets;
            for (int i = 0; i < d.cmbCharset->count(); ++i)
                charsets << d.cmbCharset->itemText(i);
            QCOMPARE(charsets, (QStringList{"Symbol", "Unicode"}));
            // The magnifier shows when the grid takes the focus and goes with a change of font.
            QVERIFY(!d.grdChars->MagnifierShown());
            ClickCell(d, 0x6C);
            QVERIFY(d.grdChars->MagnifierShown());
            QCOMPARE(d.lblCode->text(), QStringLiteral("Zeichen Code:  108"));
            QDir().mkpath(QStringLiteral(XQ_SCREENSHOT_DIR));
            d.grab().save(QStringLiteral(XQ_SCREENSHOT_DIR "/insert-symbol.png"));
            ChooseFont(d, "Arial");
            QVERIFY(!d.grdChars->MagnifierShown());
            QCOMPARE(d.Charset(), std::uint8_t(2)); // until the next choice of a character set
            Click(d.btnCancel);
        }));
        QCOMPARE(t.Rvf(), before);
    }

    void TheCharacterGoesInInAStyleOfItsFont()
    {
        TTestWindow t;
        t.Type("ab");
        t.Editor().SetCaretDocPos({0, 2});
        const int styles = t.Window->Document().RStyle.TextStyles.Count();
        const std::string before = t.Rvf();
        for (int i = 0; i < 2; ++i)
            QVERIFY(WithDialog(t, [&](TfrmRVInsertSymbol& d) { Click(d.btnInsert); }));
        QCOMPARE(Items(t), QStringLiteral("a[Times New Roman] U+00b7U+00b7[Wingdings] b[Times New Roman]"));
        QCOMPARE(t.Window->Document().RStyle.TextStyles.Count(), styles + 1);
        // Typing goes on in the style that was current before.
        QTest::keyClicks(t.Window->rve, QStringLiteral("x"));
        QCOMPARE(Items(t), QStringLiteral("a[Times New Roman] U+00b7U+00b7[Wingdings] xb[Times New Roman]"));
        for (int i = 0; i < 3; ++i)
            t.Window->mitUndo->trigger();
        QCOMPARE(Items(t), QStringLiteral("ab[Times New Roman]"));
        QVERIFY(t.Rvf() != before); // the symbol style stays in the style sheet
        // Each insertion is one undo step.
        const std::string withStyle = t.Rvf();
        QVERIFY(WithDialog(t, [&](TfrmRVInsertSymbol& d) { Click(d.btnInsert); }));
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Rvf(), withStyle);
    }

    void UnicodeModeAndTheCharacterSetsOfAFont()
    {
        TTestWindow t;
        QVERIFY(WithDialog(t, [&](TfrmRVInsertSymbol& d) {
            // Wingdings has no "Mitteleuropäisch": the choice is taken as it is.
            ChooseCharset(d, "Unicode");
            QCOMPARE(d.Charset(), SymbolUnicodeCharset);
            QCOMPARE(d.grdChars->RowCount(), 2340);
            ClickCell(d, 65524);
            QCOMPARE(d.grdChars->CellRect(65524).left(), 0); // the first cell of the last row
            QCOMPARE(d.grdChars->verticalScrollBar()->value(), 2340 - 8);
            QVERIFY(d.btnInsert->isEnabled());
            ClickCell(d, 65536);
            QCOMPARE(d.lblCode->text(), QStringLiteral("Zeichen Code:  65536"));
            QVERIFY(!d.btnInsert->isEnabled());
            ClickCell(d, 65551);
            QCOMPARE(d.grdChars->SelectedCode(), char32_t(65551));
            // A text font: the first choice of a character set lands on "Mitteleuropäisch".
            ChooseFont(d, "Arial");
            QVERIFY(d.cmbCharset->findText(QStringLiteral("Westlich")) >= 0);
            ChooseCharset(d, "Westlich");
            QCOMPARE(d.cmbCharset->currentText(), QStringLiteral("Mitteleuropäisch"));
            QCOMPARE(d.Charset(), std::uint8_t(238));
            QCOMPARE(d.grdChars->RowCount(), 8);
            QCOMPARE(d.grdChars->SelectedCode(), char32_t(255)); // cut to the grid
            ChooseCharset(d, "Westlich");
            QCOMPARE(d.Charset(), std::uint8_t(0));
            ChooseCharset(d, "Mitteleuropäisch");
            ClickCell(d, 0xB9);
            Click(d.btnInsert);
        }));
        // What the grid showed for the byte: the letter of the Central European code page.
        QCOMPARE(Items(t), QStringLiteral("U+0105[Arial]"));
        const TFontInfo& style = t.Window->Document().RStyle.TextStyles[t.Data().ItemAt(0).StyleNo];
        QCOMPARE(int(style.Charset), 238);
        QVERIFY(style.Protection.Contains(rvprDoNotAutoSwitch));
    }

private:
    static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

XQ_APP_TEST(TInsertSymbolTest);

} // namespace xq::test

#include "InsertSymbolTest.moc"

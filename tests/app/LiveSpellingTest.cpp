// Spelling while typing in the main window, with the real ispell and its German dictionary: planted
// misspellings marked in paragraphs and a table cell (and shown as red zig-zags), links and symbol
// text left alone, the menu item switching it, the single check of a loaded document ending after
// its timer, the context menu over a marked word, and New, Open, Undo and closing while it runs.
#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTest>

#include <filesystem>

#include "TestSupport.h"
#include "dialogs/SpellDialog.h"
#include "app/DocViewEditWidget.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "platform/FontTypes.h"
#include "spelling/LiveSpelling.h"
#include "tables/TableTestSupport.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// The bundled German speller as the only language, chosen; live: spelling while typing at start.
void AddGerman(TTestWindow& w, bool live)
{
    const fs::path dir = w.Exe / "speller";
    fs::create_directories(dir / "deutsch");
    fs::copy_file(SourceDir() / "data" / "speller" / "deutsch" / "ispell.ini", dir / "deutsch" / "ispell.ini");
    WriteBytes(w.Exe / "XQSpell.dic", "[XQSpell]\r\nP=" + dir.string() + "\r\nLLUK=Deutsch (Deutschland)\r\nDOIT=" +
                                          (live ? "1" : "0") + "\r\n");
}

bool HaveGerman()
{
    return QFileInfo::exists(QStringLiteral("/usr/lib/ispell/ngerman.hash"));
}

/// The marked words of the document and its cells, in document order.
QStringList MarkedWords(const TCustomRVData& data)
{
    QStringList words;
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (item.Misspellings)
            for (const TRVMisspelling& m : *item.Misspellings)
                words << QString::fromLatin1(data.TextAt(i).substr(std::size_t(m.Start - 1), std::size_t(m.Length)));
        for (int s = 0; s < item.SubDocumentCount(); ++s)
            if (const TCustomRVData* sub = item.SubDocument(s))
                words << MarkedWords(*sub);
    }
    return words;
}

bool Settled(TFormED& window)
{
    return window.LiveSpelling() && window.LiveSpelling()->Finished();
}

QAction* Action(TFormED& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

/// Red pixels of the zig-zag colour in a picture.
int RedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                ++count;
    return count;
}

/// The entry of the menu as it is shown now.
QAction* MenuEntry(QMenu& menu, const char* name)
{
    for (QAction* a : menu.actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

/// Puts the caret into a word of item itemNo and releases the right button there.
void RightClickAt(TTestWindow& w, int itemNo, int offset)
{
    w.Editor().SetCaretDocPos({itemNo, offset});
    emit w.Window->rve->MouseReleased(Qt::RightButton);
}

} // namespace

class TLiveSpellingTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!HaveGerman())
            QSKIP("the German ispell dictionary is not installed (Debian packages ispell, ingerman)");
    }

    void PlantedMisspellingsAreMarkedAndDrawnButLinksAndSymbolTextAreNot()
    {
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddGerman(t, false); });
        TFormED& window = *w.Window;
        QVERIFY(window.LiveSpelling());
        QVERIFY(!Action(window, "mitLiveSpelling")->isChecked());
        TRVStyle& sheet = window.Document().RStyle;
        TFontInfo& link = sheet.TextStyles.Add();
        link.CopyStyle(sheet.TextStyles[0]);
        link.Jump = true;
        link.Color = clBlue;
        const int linkStyle = sheet.TextStyles.Count() - 1;
        TFontInfo& symbol = sheet.TextStyles.Add();
        symbol.CopyStyle(sheet.TextStyles[0]);
        symbol.FontName = "Symbol";
        symbol.Charset = SYMBOL_CHARSET;
        const int symbolStyle = sheet.TextStyles.Count() - 1;

        TRVEditRVData& data = w.Data();
        data.Clear();
        data.AppendText("Sehr geehrte Damen und Heren,", 0, 0);
        data.AppendText("wir bedanken uns f\xFCr Ihre Anfrge und senden Ihnen die Unterlagen.", 0, 0);
        data.AppendText("Mehr unter ", 0, 0);
        data.AppendText("www.quarnelx-vertrieb.de", linkStyle, -1);
        data.AppendText(" und ", 0, -1);
        data.AppendText("abgdez", symbolStyle, -1);
        TRVTableItemInfo* table = AppendNamedTable(data, 1, 2);
        table->Cells(0, 0)->Clear();
        table->Cells(0, 0)->AppendText("Vertrag", 0, 0);
        table->Cells(0, 1)->Clear();
        table->Cells(0, 1)->AppendText("Der Vertrg gilt ab heute.", 0, 0);
        data.AppendText("Mit freundlichen Gr\xFC\xDF\x65n, Ihr Kundendienst", 0, 0);
        w.Editor().Format();
        window.rve->DocumentFormatted(true);

        Action(window, "mitLiveSpelling")->trigger();
        QVERIFY(w.Run().LiveSpelling);
        QVERIFY(WaitFor([&] { return Settled(window); }, 20000));
        QCOMPARE(MarkedWords(data), (QStringList{"Heren", "Anfrge", "Vertrg"}));
        QCOMPARE(CountMisspellings(data), 3);
        QVERIFY(w.Run().MisspellingFound);

        QCoreApplication::processEvents();
        const QImage picture = window.rve->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (const QByteArray shots = qgetenv("XQ_SCREENSHOTS"); !shots.isEmpty())
            picture.save(QString::fromLocal8Bit(shots) + QStringLiteral("/live-spelling.png"));
        const int red = RedPixels(picture);
        QVERIFY2(red > 3 * 10, "every planted word has its zig-zag");

        // Switching it off removes every mark at once, and the picture has no red left.
        Action(window, "mitLiveSpelling")->trigger();
        QVERIFY(!w.Run().LiveSpelling);
        QCOMPARE(CountMisspellings(data), 0);
        QCoreApplication::processEvents();
        QCOMPARE(RedPixels(window.rve->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32)), 0);
    }

    void TypingMarksAWordAndCorrectingItTakesTheMarkAway()
    {
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddGerman(t, true); });
        TFormED& window = *w.Window;
        QVERIFY(Action(window, "mitLiveSpelling")->isChecked());
        w.Type("Der Brief ist angekommen. Das Wetter ist schoen");
        // The word at the caret is still being typed: no mark yet.
        QVERIFY(WaitFor([&] { return Settled(window); }, 20000));
        QCOMPARE(MarkedWords(w.Data()), QStringList{});
        // The caret leaves it: now it is checked and marked.
        w.Editor().MoveCaret(TRVCaretMove::Home, TRVSelectionUpdate::Collapse);
        QVERIFY(WaitFor([&] { return Settled(window) && MarkedWords(w.Data()) == QStringList{"schoen"}; }, 20000));
        // Correcting the word: "schoen" becomes "schön" as the user types.
        w.Editor().MoveCaret(TRVCaretMove::End, TRVSelectionUpdate::Collapse);
        for (int k = 0; k < 3; ++k)
            w.Editor().DeleteBackward(false);
        QVERIFY(MarkedWords(w.Data()).isEmpty());
        w.Editor().KeyPress(u'\u00F6');
        w.Editor().KeyPress(u'n');
        w.Editor().KeyPress(u'.');
        QVERIFY(WaitFor([&] { return Settled(window); }, 20000));
        QVERIFY2(MarkedWords(w.Data()).isEmpty(), qPrintable(MarkedWords(w.Data()).join(QLatin1Char('|'))));
        // Undo brings the misspelled word back and it is marked again.
        const QStringList before{"Der Brief ist angekommen. Das Wetter ist schoen"};
        for (int k = 0; k < 10 && Paragraphs(w.Data()) != before; ++k)
            window.mitUndo->trigger();
        QCOMPARE(Paragraphs(w.Data()), before);
        QVERIFY(WaitFor([&] { return Settled(window) && MarkedWords(w.Data()) == QStringList{"schoen"}; }, 20000));
    }

    void IgnoringAWordEverywhereInTheSpellingDialogTakesItsMarksAway()
    {
        if (!HaveGerman())
            QSKIP("the German ispell dictionary is not installed (Debian packages ispell, ingerman)");
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddGerman(t, true); });
        TFormED& window = *w.Window;
        // The second paragraph is not changed by the check: its marks go by the dialog's answer alone.
        w.Type("Das Hauss und die Strase.");
        w.Type("Noch ein Hauss und ein Tischh.");
        QVERIFY(WaitFor([&] { return Settled(window) && MarkedWords(w.Data()).size() == 4; }, 20000));
        // "Alle ignorieren" for "Hauss", "Alle ändern" for "Strase", then the check is cancelled.
        WhenModal<TfrmRVSpell>([](TfrmRVSpell* dialog) {
            WhenModal<TfrmRVSpell>([](TfrmRVSpell* second) {
                WhenModal<TfrmRVSpell>([](TfrmRVSpell* third) { third->btnCancel->click(); });
                second->cmb->setText(QString::fromUtf8("Straße"));
                second->btnChangeAll->click();
            });
            dialog->btnIgnoreAll->click();
        });
        Action(window, "mitSpellCheck")->trigger();
        QVERIFY(WaitFor([&] { return Settled(window); }, 20000));
        QCOMPARE(MarkedWords(w.Data()), QStringList{QStringLiteral("Tischh")});
    }

    void ALoadedDocumentIsCheckedOnceAndTheMarksGoAfterTheTimer()
    {
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddGerman(t, false); });
        TFormED& window = *w.Window;
        // An entry of the sample store with a misspelling planted in it.
        w.Type("Bitte senden Sie uns die Unterlagn zurueck.");
        const fs::path entry = w.Work / "AText" / "Planted.xtb";
        QVERIFY(SaveDocumentFile(entry, window.Document().RStyle, w.Data(), window.Document().Info));
        w.Run().Modified = false;
        w.OpenEntry("Planted.xtb");
        QVERIFY(WaitFor([&] { return CountMisspellings(w.Data()) == 2; }, 20000));
        QCOMPARE(MarkedWords(w.Data()), (QStringList{"Unterlagn", "zurueck"}));
        QVERIFY(WaitFor([&] { return CountMisspellings(w.Data()) == 0; }, TFormED::SingleCheckMs + 3000));
        QVERIFY(!window.LiveSpelling()->Active());
        // Choosing the language checks once more in the same way.
        window.mnuLanguage->actions().front()->trigger();
        QVERIFY(WaitFor([&] { return CountMisspellings(w.Data()) == 2; }, 20000));
        QVERIFY(WaitFor([&] { return CountMisspellings(w.Data()) == 0; }, TFormED::SingleCheckMs + 3000));
        QVERIFY(!w.Run().LiveSpelling);
    }

    void TheContextMenuOffersSuggestionsIgnoringAndAddingAboveTheElementEntry()
    {
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddGerman(t, true); });
        TFormED& window = *w.Window;
        w.Type("Sehr geehrte Heren, die Rechnug liegt bei. Gruss Quarnelix.");
        QVERIFY(WaitFor([&] { return Settled(window) && CountMisspellings(w.Data()) == 4; }, 20000));

        RightClickAt(w, 0, 16); // in "Heren"
        QMenu* menu = window.mnuContext;
        QVERIFY(WaitFor([&] { return menu->isVisible(); }));
        QList<QAction*> entries = menu->actions();
        QStringList captions;
        for (QAction* a : entries)
            captions << a->text();
        const qsizetype ignore = captions.indexOf(QStringLiteral("Ignorieren"));
        QVERIFY2(ignore >= 1 && ignore <= 5, qPrintable(captions.join('|')));
        QCOMPARE(captions[ignore + 1], QStringLiteral("Hinzufügen"));
        QCOMPARE(captions.last(), QStringLiteral("Element bearbeiten"));
        QVERIFY2(captions.mid(0, ignore).contains(QStringLiteral("Herren")), qPrintable(captions.join('|')));
        // Choosing the suggestion replaces the word, as one step Undo takes back.
        entries[captions.indexOf(QStringLiteral("Herren"))]->trigger();
        menu->hide();
        QCOMPARE(Paragraphs(w.Data()), QStringList{"Sehr geehrte Herren, die Rechnug liegt bei. Gruss Quarnelix."});
        QVERIFY(WaitFor([&] { return Settled(window) && CountMisspellings(w.Data()) == 3; }, 20000));
        window.mitUndo->trigger();
        QCOMPARE(Paragraphs(w.Data()), QStringList{"Sehr geehrte Heren, die Rechnug liegt bei. Gruss Quarnelix."});
        QVERIFY(WaitFor([&] { return Settled(window) && CountMisspellings(w.Data()) == 4; }, 20000));

        // "Ignorieren": the word is not marked any more, also after a new check.
        RightClickAt(w, 0, 26); // in "Rechnug"
        QVERIFY(WaitFor([&] { return menu->isVisible(); }));
        MenuEntry(*menu, "mitIgnoreWord")->trigger();
        menu->hide();
        QCOMPARE(MarkedWords(w.Data()), (QStringList{"Heren", "Gruss", "Quarnelix"}));
        // "Hinzufügen": the word goes into the personal dictionary.
        RightClickAt(w, 0, 55); // in "Quarnelix"
        QVERIFY(WaitFor([&] { return menu->isVisible(); }));
        MenuEntry(*menu, "mitAddWord")->trigger();
        menu->hide();
        QCOMPARE(MarkedWords(w.Data()), (QStringList{"Heren", "Gruss"}));
        Action(window, "mitLiveSpelling")->trigger();
        Action(window, "mitLiveSpelling")->trigger();
        QVERIFY(WaitFor([&] { return Settled(window) && CountMisspellings(w.Data()) == 2; }, 20000));
        QCOMPARE(MarkedWords(w.Data()), (QStringList{"Heren", "Gruss"}));

        // On a correct word the menu does not open by itself.
        RightClickAt(w, 0, 3);
        QTest::qWait(50);
        QVERIFY(!menu->isVisible());
    }

    void SwitchingNewOpenUndoAndClosingWhileTheWorkerRuns()
    {
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddGerman(t, true); });
        TFormED& window = *w.Window;
        // Many words that ispell has not seen keep the worker busy.
        std::string text;
        for (int k = 0; k < 4000; ++k)
            text += "Wort" + std::to_string(k * 7919 % 100000) + "x ";
        const auto insert = [&] {
            w.Editor().MoveCaret(TRVCaretMove::DocumentEnd, TRVSelectionUpdate::Collapse);
            window.rve->RunEdit([&] { w.Editor().InsertTextAtCaret(text); });
        };
        insert();
        for (int round = 0; round < 3; ++round) {
            QTest::qWait(5);
            Action(window, "mitLiveSpelling")->trigger();
            QTest::qWait(5);
            Action(window, "mitLiveSpelling")->trigger();
            w.Editor().KeyPress(u'a');
            window.mitUndo->trigger();
            QTest::qWait(5);
        }
        QVERIFY(w.Run().LiveSpelling);
        QVERIFY(!Settled(window));
        w.Run().Modified = false;
        window.mitNew->trigger();
        QVERIFY(IsEmptyDocument(w.Data()));
        insert();
        QTest::qWait(5);
        w.Run().Modified = false;
        w.OpenEntry("Brief1.xtb");
        QCOMPARE(w.Run().DocName, std::string("Brief1.xtb"));
        insert();
        QTest::qWait(5);
        // Closing while the worker still has words to ask about.
        QVERIFY(!Settled(window));
        w.Run().Modified = false;
        w.Window.reset();
    }
};

XQ_APP_TEST(TLiveSpellingTest);

} // namespace xq::test

#include "LiveSpellingTest.moc"

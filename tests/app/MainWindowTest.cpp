// The main window's controls: menus with their captions, shortcuts and states, the toolbar hints and
// the status bar, the combo boxes, the document view, long steps, help, and a picture of the window.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <chrono>
#include <thread>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "app/HelpFiles.h"
#include "app/QtMessageBoxes.h"
#include "dialogs/AutoTextDialog.h"
#include "document/RVStyle.h"
#include "layout/ScrollUnits.h"
#include "layout/ViewOptions.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// Every action of a menu and its submenus, depth first.
void CollectActions(QMenu* menu, QList<QAction*>& into)
{
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        into << a;
        if (a->menu())
            CollectActions(a->menu(), into);
    }
}

QAction* FindItem(TFormED& window, const QString& caption)
{
    QList<QAction*> all;
    for (QAction* top : window.menuBar()->actions())
        if (top->menu())
            CollectActions(top->menu(), all);
    for (QAction* a : all)
        if (a->text() == caption)
            return a;
    return nullptr;
}

} // namespace

class TMainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void MenusWithCaptionsShortcutsAndStates()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        QStringList top;
        for (QAction* a : window.menuBar()->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"&Datei", "&Bearbeiten", "Einfügen", "&Format", "&Suchen", "&Extra",
                                   "Rechtschreibprüfung", "&Hilfe", "&Über"}));

        const std::pair<const char*, QKeySequence> shortcuts[] = {
            {"&Neu", QKeySequence(QStringLiteral("Ctrl+N"))},
            {"&Öffnen...", QKeySequence(QStringLiteral("Ctrl+O"))},
            {"&Speichern...", QKeySequence(QStringLiteral("Ctrl+S"))},
            {"&Rückgängig", QKeySequence(QStringLiteral("Ctrl+Z"))},
            {"&Wiederholen", QKeySequence(QStringLiteral("Shift+Ctrl+Z"))},
            {"&Ausschneiden", QKeySequence(QStringLiteral("Ctrl+X"))},
            {"&Kopieren", QKeySequence(QStringLiteral("Ctrl+C"))},
            {"&Einfügen", QKeySequence(QStringLiteral("Ctrl+V"))},
            {"&Löschen", QKeySequence(QStringLiteral("Ctrl+D"))},
            {"Alles auswählen", QKeySequence(QStringLiteral("Ctrl+A"))},
        };
        for (const auto& [caption, keys] : shortcuts) {
            QAction* item = FindItem(window, QString::fromUtf8(caption));
            QVERIFY2(item, caption);
            QCOMPARE(item->shortcut(), keys);
        }
        // Captions as the program has always spelt them.
        for (const char* caption : {"Tabellen Hintergrundbild formatieren ", "Talelle - Bild in Zelle einfügen...",
                                    "Tabelle - Bild in Zelle formatieren", "Bild kacheln und rollen", "1,5 fach",
                                    "Gross- / Kleinbuchstaben", "Benutzerdefiniert ...", "Zeile drunter",
                                    "keine Sprachen gefunden", "Element bearbeiten"})
            QVERIFY2(FindItem(window, QString::fromUtf8(caption)) ||
                         window.mnuContext->actions().value(0)->text() == QString::fromUtf8(caption),
                     caption);

        // Only what works is enabled: the document commands, help, and the recent files when there
        // are any; the features still to come are disabled.
        QStringList enabled;
        QList<QAction*> all;
        for (QAction* a : window.menuBar()->actions())
            if (a->menu())
                CollectActions(a->menu(), all);
        for (QAction* a : all)
            if (a->isEnabled() && a->isVisible() && !a->menu())
                enabled << a->text();
        // Undo, redo and "&Löschen" wait for something to undo, redo or delete.
        QCOMPARE(enabled, (QStringList{"&Neu", "&Öffnen...", "&Speichern...", "Seite einrichten...", "Druckvorschau...",
                                       "Drucken...", "Als PDF exportieren...",
                                       "Schließen", "Alles auswählen",
                                       "Fett", "Kursiv", "Unterstrichen", "Durchgestrichen", "Überstrich",
                                       "Farbe Text Hintergrund", "Farbe Paragraph", "Einzug vergrößern",
                                       "Einzug verkleinern", "Schriftart...", "Gross- / Kleinbuchstaben",
                                       "Seitenumbruch einfügen", "Seitenumbruch entfernen", "Normal", "1,5 fach",
                                       "2 fach", "Wort markieren", "Suchen...", "Suchen und ersetzen...", "1 Zeile x 1 Spalte", "1 Zeile x 2 Spalten",
                                       "2 Zeilen x 2 Spalten", "Benutzerdefiniert ...", "Einfacher Rahmen", "Doppelter Rahmen",
                                       "Linie einfügen", "Bild einfügen ...", "Bild als Seitenhintergrund einfügen...",
                                       "Bild entfernen", "Aufzählung", "Nummerierung", "Aufzählung/Nummerierung...",
                                       "Sonderzeichen...", "Hilfe zum Editor..."}));
        QVERIFY(!window.mnuContext->actions().value(0)->isEnabled());
        QVERIFY(!window.mitReopen->isVisible());
    }

    void NoTwoCommandsShareAKey()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        // Keys the editor's key map gives a meaning of its own (undo, redo and the clipboard keys are
        // the menu's commands as well, and run them).
        const QStringList editorKeys = {
            "Ctrl+Left", "Ctrl+Right", "Ctrl+Up", "Ctrl+Down", "Ctrl+Home", "Ctrl+End", "Ctrl+Backspace",
            "Ctrl+Del", "Ctrl+Tab", "Ctrl+Ins", "Shift+Ins", "Shift+Del", "Alt+Backspace", "Alt+Shift+Backspace",
            "Ctrl+Return", "Shift+Return"};
        QMap<QString, QString> owners;
        for (QAction* action : window.findChildren<QAction*>())
            for (const QKeySequence& keys : action->shortcuts()) {
                const QString name = keys.toString(QKeySequence::PortableText);
                QVERIFY2(!owners.contains(name), qPrintable(name + QStringLiteral(": ") + owners.value(name) +
                                                            QStringLiteral(", ") + action->text()));
                owners.insert(name, action->text());
                QVERIFY2(!editorKeys.contains(name), qPrintable(name));
            }
        // The character formats are among them, with their two keys each.
        for (const char* keys : {"Ctrl+B", "Ctrl+Shift+F", "Ctrl+I", "Ctrl+Shift+K", "Ctrl+U", "Ctrl+Shift+U", "Ctrl+N"})
            QVERIFY2(owners.contains(QString::fromLatin1(keys)), keys);
        QCOMPARE(owners.value(QStringLiteral("Ctrl+Shift+F")), QStringLiteral("Fett"));
    }

    void TableMenusAreOffOutsideTables()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const auto checkTableMenus = [&] {
            QVERIFY(window.mnuInsertTable->menuAction()->isEnabled());
            for (const char* name : {"mnuTableInsert", "mnuTableDelete", "mnuTableOps", "mnuTablePictures"}) {
                auto* menu = window.findChild<QMenu*>(QString::fromLatin1(name));
                QVERIFY2(menu, name);
                QVERIFY2(!menu->menuAction()->isEnabled(), name);
                QList<QAction*> commands;
                CollectActions(menu, commands);
                QVERIFY2(!commands.isEmpty(), name);
                // The commands, in the submenus too (a submenu inside a disabled one cannot open).
                for (QAction* command : commands)
                    QVERIFY2(command->menu() || !command->isEnabled(), qPrintable(command->text()));
            }
        };
        checkTableMenus();
        // Typing and moving the caret set the controls from the caret's styles; the table menus stay
        // off while the caret is in no table.
        QApplication::setActiveWindow(&window);
        window.rve->setFocus();
        QTest::keyClicks(window.rve, QStringLiteral("Tabelle"));
        QTest::keyClick(window.rve, Qt::Key_Home);
        checkTableMenus();
        auto* extra = window.findChild<QMenu*>(QStringLiteral("mnuExtra"));
        QVERIFY(extra);
        QCOMPARE(extra->actions().value(0)->text(), QStringLiteral("Tabelle einfügen"));
    }

    void ToolbarHintsGoToTheStatusBar()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        QStringList tips;
        for (QAction* a : window.ToolBar1->actions())
            if (!a->isSeparator())
                tips << a->toolTip() + QLatin1Char('|') + a->statusTip();
        QCOMPARE(tips, (QStringList{
            "Schriftart fett| Markiertes Element in Schriftart fett formatieren",
            "Schriftart kursiv| Markiertes Element in Schriftart kursiv formatieren",
            "Schriftart unterstrichen| Markiertes Element in Schriftart unterstrichen formatieren",
            "Text Farbe|Farbe des markiertenTextes ändern",
            "Linksbündig| Schrift linksbündig formatieren",
            "Zentriert| Schrift zentriert formatieren",
            "Rechtsbündig| Schrift rechtsbündig formatieren",
            "Blocksatz| Schrift im Blocksatz formatieren",
            "Dokument öffnen| Gespeichertes Dokument öffnen",
            "Dokument speichern| Aktuelles Dokument speichern",
            "Neues Dokument| Neues Dokument anlegen",
            "Änderung zurück| Letzte Änderungen im Dokoment zurücknehmen",
            "Formatierungen\nwiederherstellen| Letzte Änderungen im Dokoment wieder herstellen",
            "Ausschneiden| Markiertes Element ausschneiden",
            "Kopieren| Markiertes Element kopieren",
            "Einfügen| Aus Zwischenablage einfügen",
            "Seitenansicht| Seitenvorschau des aktuellen Dokuments",
            "Dokument drucken| Aktuelles Dokument drucken",
            "Einzug verkleinern|Einzug des Paragraphen verkleinern",
            "Einzug vergrößern|Einzug des Paragraphen vergrößern",
            "Rechtschreibprüfung| Rechtschreibprüfung durchführen",
            "Steuerzeichen| Steuerzeichen anzeigen oder ausblenden",
            "Seitenumbruch|Seitenumbruch anzeigen"}));

        QCOMPARE(window.StatusPanel0->width(), 200);
        QVERIFY(window.StatusPanel1->minimumWidth() == 200);
        QStatusTipEvent hint(window.btnOpen->statusTip());
        QApplication::sendEvent(&window, &hint);
        QCOMPARE(window.HintText(), QStringLiteral(" Gespeichertes Dokument öffnen"));
        QStatusTipEvent none{QString()};
        QApplication::sendEvent(&window, &none);
        QCOMPARE(window.HintText(), QStringLiteral(" Bereit"));
        QCOMPARE(window.rve->statusTip(),
                 QStringLiteral(" Zur Formatierung, Cursor hinter dem Element positionieren und rechte Maustaste drücken"));
    }

    void ComboBoxes()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        QCOMPARE(window.Document().RStyle.ParaStyles.Count(), 6);
        QStringList paragraphs;
        for (int i = 0; i < window.cmbPara->count(); ++i)
            paragraphs << window.cmbPara->itemText(i);
        QCOMPARE(paragraphs, (QStringList{"Linksbündig", "Zentriert", "Rechtsbündig", "Blocksatz"}));
        QCOMPARE(window.cmbPara->currentIndex(), 0);
        for (const char* font : {"Arial", "Times New Roman", "Courier New"})
            QVERIFY2(window.cmbFont->findText(QString::fromLatin1(font)) >= 0, font);
        // The caret's text style at the start of a new document: style 0.
        QCOMPARE(window.cmbFont->currentText(), QStringLiteral("Times New Roman"));
        QCOMPARE(window.cmbFontSize->currentText(), QStringLiteral("10"));
        QCOMPARE(window.cmbFontSize->count(), 16);
        QCOMPARE(window.cmbFont->maxVisibleItems(), 20);
    }

    void ViewShowsTheDocumentAtThePrintedWidth()
    {
        TTempDir exe;
        TTempDir docs;
        std::string text;
        for (int i = 1; i <= 300; ++i)
            text += "Absatz " + std::to_string(i) + " mit etwas Text, der die Zeile f\xFCllt.\r\n";
        WriteBytes(docs / "Lang.txt", text);
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        ShowAndSettle(window);
        window.Session().LMruMruClick((docs / "Lang.txt").string());
        TCustomRVFormattedData& data = window.Document().Data();
        // The recent file opens after a new document, whose page has the default margins of 10 mm
        // left and right: A4 is 794 pixels, less 38 on each side, plus 5, less the editor's 15.
        QCOMPARE(data.MaxTextWidth, 708);
        QVERIFY(data.TotalHeight() > window.rve->viewport()->height());
        QCOMPARE(window.rve->verticalScrollBar()->value(), 0);

        // One notch down scrolls 20 units of 10 pixels (three lines a notch).
        QCOMPARE(QApplication::wheelScrollLines(), 3);
        const QPointF at(50, 50);
        QWheelEvent wheel(at, window.rve->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.rve->viewport(), &wheel);
        QCOMPARE(window.rve->ScrollYPixels(), 200);
        QCOMPARE(data.ScrollY, 200);

        // What is painted is the document's text, at the editor's margin.
        const QImage picture = window.rve->Render();
        int dark = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < 5 * int(picture.devicePixelRatio()); ++x)
                dark += qGray(picture.pixel(x, y)) < 128;
        QCOMPARE(dark, 0);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                dark += qGray(picture.pixel(x, y)) < 128;
        QVERIFY(dark > 1000);
    }

    void DocumentOfAThousandPages()
    {
        TTempDir exe;
        TTempDir docs;
        std::string text;
        for (int i = 1; i <= 70000; ++i)
            text += "Absatz " + std::to_string(i) + ": Sehr geehrte Damen und Herren, hiermit best\xE4tigen wir.\r\n";
        WriteBytes(docs / "Akte.txt", text);
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        ShowAndSettle(window);
        window.Session().LMruMruClick((docs / "Akte.txt").string());
        TCustomRVFormattedData& data = window.Document().Data();
        QVERIFY(data.Count() >= 70000);
        QVERIFY(data.TotalHeight() / 976 > 1000);
        QVERIFY(!window.Busy() && !window.rve->Suspended() && !window.BusyBar->isVisible());
        // The scroll bar counts in larger units so that its range stays within 32000.
        QVERIFY(window.rve->VScrollUnitPixels() > 10);
        QVERIFY(window.rve->verticalScrollBar()->maximum() <= 32000);
        window.rve->verticalScrollBar()->setValue(window.rve->verticalScrollBar()->maximum());
        QVERIFY(data.ScrollY + window.rve->viewport()->height() >= data.TotalHeight());
        QVERIFY(!window.rve->Render().isNull());
    }

    void ControlCharactersAreShownAndHidden()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        ShowAndSettle(window);
        window.Document().Data().AppendText("Zeile", 0, 0);
        window.Session().PrepareLoadedDocument();
        const QImage plain = window.rve->Render();
        window.btnControlChars->trigger();
        QVERIFY(window.Document().Data().Options.Contains(rvoShowSpecialCharacters));
        QVERIFY(window.rve->Render() != plain);
        window.btnControlChars->trigger();
        QVERIFY(!window.Document().Data().Options.Contains(rvoShowSpecialCharacters));
        QVERIFY(window.rve->Render() == plain);
    }

    void LongStepsShowProgressAndKeepThePicture()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        ShowAndSettle(window);
        bool barShown = false;
        bool waitCursor = false;
        bool suspended = false;
        QString notice;
        QTimer::singleShot(400, [&] {
            barShown = window.BusyBar->isVisible();
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            suspended = window.rve->Suspended();
            notice = window.HintText();
        });
        window.RunLong(" Dokument wird geladen ...", [] { std::this_thread::sleep_for(std::chrono::milliseconds(700)); });
        QVERIFY(barShown);
        QVERIFY(waitCursor);
        QVERIFY(suspended);
        QCOMPARE(notice, QStringLiteral(" Dokument wird geladen ..."));
        QVERIFY(!window.BusyBar->isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!window.rve->Suspended());
        QCOMPARE(window.HintText(), QStringLiteral(" Bereit"));

        // An error of the step reaches the caller on the window's thread.
        bool caught = false;
        try {
            window.RunLong(" x", [] { throw std::runtime_error("kaputt"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
        QVERIFY(caught);
        QVERIFY(!window.Busy());
    }

    void GermanMessageBoxes()
    {
        std::unique_ptr<QMessageBox> box(TQtMessageBoxes::Build(nullptr, "Autotext jetzt speichern ?\rZeile 2",
                                                                "Autotext wurde geändert", TMsgButtons::YesNoCancel,
                                                                TMsgIcon::Question));
        QCOMPARE(box->windowTitle(), QStringLiteral("Autotext wurde geändert"));
        QCOMPARE(box->text(), QStringLiteral("Autotext jetzt speichern ?\nZeile 2"));
        QCOMPARE(box->icon(), QMessageBox::Question);
        QStringList buttons;
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Abbrechen", "Ja", "Nein"}));
        QCOMPARE(box->escapeButton()->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("Ja"));

        // The button pressed is the answer; closing the box counts as Cancel.
        TQtMessageBoxes boxes;
        WhenModal<QMessageBox>([](QMessageBox* shown) {
            for (QAbstractButton* b : shown->buttons())
                if (b->text() == QStringLiteral("Nein"))
                    b->click();
        });
        QVERIFY(boxes.Show("Frage", "Titel", TMsgButtons::YesNoCancel, TMsgIcon::Question) == TMsgAnswer::No);
        WhenModal<QMessageBox>([](QMessageBox* shown) { QTest::keyClick(shown, Qt::Key_Escape); });
        QVERIFY(boxes.Show("Frage", "Titel", TMsgButtons::YesNoCancel, TMsgIcon::Question) == TMsgAnswer::Cancel);
        WhenModal<QMessageBox>([](QMessageBox* shown) {
            QCOMPARE(shown->icon(), QMessageBox::Critical);
            shown->buttons().value(0)->click();
        });
        QVERIFY(boxes.Show("Fehler", "Fehler", TMsgButtons::Ok, TMsgIcon::Error) == TMsgAnswer::Ok);
    }

    void HelpFiles()
    {
        TTempDir work;
        TTempDir exe;
        TTempDir install;
        QCOMPARE(FindHelpTopic(work.Path(), exe.Path(), false, {}), (THelpTopic{exe / "XQEditor.chm", 0}));
        WriteBytes(work / "Sorrel.chm", "");
        QCOMPARE(FindHelpTopic(work.Path(), exe.Path(), false, {}), (THelpTopic{work / "Sorrel.chm", 56}));
        const fs::path registry = install / "registry.ini";
        WriteBytes(registry, "[Software\\Quarnel\\Kelmor]\r\nPathInst=" + install.Path().string() + "/\r\n");
        QCOMPARE(FindHelpTopic(work.Path(), exe.Path(), true, {install / "none.ini", registry}),
                 (THelpTopic{install / "Sorrel.chm", 61}));
        WriteBytes(work / "Hollin.chm", "");
        QCOMPARE(FindHelpTopic(work.Path(), exe.Path(), true, {registry}), (THelpTopic{work / "Hollin.chm", 56}));

        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        FindItem(window, QStringLiteral("Hilfe zum Editor..."))->trigger();
        QCOMPARE(boxes.Texts(),
                 std::vector<std::string>{"Die Hilfedatei " + (exe / "XQEditor.chm").string() + " ist nicht vorhanden."});
        QCOMPARE(boxes.Asked[0].Caption, std::string("Hilfe"));
    }

    void PictureOfTheWindowWithAnEntryOpen()
    {
        TTempDir exe;
        TTempDir work;
        CopySampleStore(work.Path());
        AddSpellerProgram(work.Path());
        TScriptedBoxes boxes;
        WhenModal<TAutoT>([](TAutoT* dialog) {
            dialog->cmbShortcut->setCurrentIndex(0);
            emit dialog->cmbShortcut->activated(0);
            QTest::mouseClick(dialog->btnAction, Qt::LeftButton);
        });
        TFormED window({"x", "0", work.Path().string()}, exe.Path(), TestServices(boxes));
        window.resize(900, 640);
        ShowAndSettle(window);
        QVERIFY(WaitFor([&] { return window.RunState().DocName == "Brief1.xtb"; }));
        QCOMPARE(window.windowTitle(), QStringLiteral(" Quarnel Autotext - Autotext Eintrag bearbeiten"));
        QVERIFY(window.Document().Data().Count() > 3);
        // The caret at the end of the last line with the words before it selected, as the user sees it.
        QApplication::setActiveWindow(&window);
        window.rve->setFocus();
        QTest::keyClick(window.rve, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(window.rve, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QTest::keyClick(window.rve, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(window.Document().Editor.SelectionExists());
        const QString dir = QStringLiteral(XQ_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        QVERIFY(window.grab().save(dir + QStringLiteral("/main-window.png"), "PNG"));
    }
};

XQ_APP_TEST(TMainWindowTest);

} // namespace xq::test

#include "MainWindowTest.moc"

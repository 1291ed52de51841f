// The AutoText dialog's window: the modes with their captions, help lines and buttons, the two lists
// that select each other, the shortcut box's key filter, naming with its messages, its position.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"
#include "dialogs/AutoTextDialog.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

QStringList Items(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

/// Key presses typing text, one character each, as the keyboard sends them.
void Type(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.isLetterOrNumber() ? int(c.toUpper().unicode()) : int(Qt::Key_unknown),
                        Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

/// Types into a box that has the focus, as the user does (boxes complete only what they are focused for).
void TypeFocused(QLineEdit* edit, const QString& text)
{
    QApplication::setActiveWindow(edit->window());
    edit->setFocus();
    QCoreApplication::processEvents();
    Type(edit, text);
}

} // namespace

class TAutoTextDialogTest : public QObject {
    Q_OBJECT

private slots:
    void ModesShowTheirCaptionHelpAndButton_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("store");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("button"); // empty: none shown
        QTest::addColumn<bool>("buttonEnabled");
        QTest::newRow("insert") << 1 << true << QStringLiteral("Autotext an Cursorposition einfügen")
                                << QStringLiteral("Bitte wählen Sie einen Autotext Eintrag aus und klicken dann auf \"Einfügen\" um den gewählten Autotext Eintrag an der Schreibmarke einzufügen.")
                                << QStringLiteral("Einfügen") << true;
        QTest::newRow("new entry") << 2 << true << QStringLiteral("Neuen Autotexteintrag anlegen")
                                   << QStringLiteral("Bitte geben Sie einen Wert für Tastenkürzel und Kurzbezeichnung ein und klicken dann auf \"Speichern\".")
                                   << QStringLiteral("Speichern") << true;
        QTest::newRow("open") << 3 << true << QStringLiteral("Autotexteintrag öffnen und bearbeiten...")
                              << QStringLiteral("Bitte wählen Sie den Autotext Eintrag aus den Sie bearbeiten möchten und klicken dann auf \"Öffen\".")
                              << QStringLiteral("Öffnen") << true;
        QTest::newRow("none") << 3 << false << QStringLiteral("Kein Autotexteintrag gefunden")
                              << QStringLiteral("Es wurde kein Autotexteintrag gefunden. Bitte wählen Sie abbrechen und legen einen neuen Autotexteintrag an.")
                              << QString() << false;
    }

    void ModesShowTheirCaptionHelpAndButton()
    {
        QFETCH(int, mode);
        QFETCH(bool, store);
        QFETCH(QString, caption);
        QFETCH(QString, help);
        QFETCH(QString, button);
        QFETCH(bool, buttonEnabled);
        TTempDir work;
        if (store)
            CopySampleStore(work.Path());
        TAutoTextStore entries(work.Path());
        TScriptedBoxes boxes;
        TAutoT dialog(entries, mode, boxes, nullptr);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(dialog.lblHelp->text(), help);
        QCOMPARE(dialog.btnAction->isVisible(), !button.isEmpty());
        if (!button.isEmpty()) {
            QCOMPARE(dialog.btnAction->text(), button);
            QCOMPARE(dialog.btnAction->isEnabled(), buttonEnabled);
        }
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("Abbrechen"));
        const bool naming = mode == 2;
        QCOMPARE(dialog.cmbShortcut->isEditable(), naming);
        QCOMPARE(dialog.cmbShortcut->currentText().isEmpty(), naming || !store);
    }

    void ListsSelectEachOtherAndOpenTheChosenEntry()
    {
        TTempDir work;
        CopySampleStore(work.Path());
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        TAutoT dialog(store, AutoTextModeOpen, boxes, nullptr);
        dialog.show();
        QCOMPARE(Items(dialog.cmbShortcut), (QStringList{"Brief 1", "MfG", "Anlagen", "Unterlagen", "Hinweis"}));
        QCOMPARE(dialog.cmbShortName->currentText(), QStringLiteral("Briefanfang mit Bezug und Anrede"));

        dialog.cmbShortcut->setCurrentIndex(2);
        emit dialog.cmbShortcut->activated(2);
        QCOMPARE(dialog.cmbShortName->currentIndex(), 2);
        dialog.cmbShortName->setCurrentIndex(4);
        emit dialog.cmbShortName->activated(4);
        QCOMPARE(dialog.cmbShortcut->currentText(), QStringLiteral("Hinweis"));

        QTest::mouseClick(dialog.btnAction, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const TAutoTextOutcome outcome = dialog.Outcome();
        QCOMPARE(outcome.DialogMode, AutoTextModeOpenFromDialog);
        QCOMPARE(outcome.EntryPath, work.Path() / "AText" / "Hinweis.xtb");
        QVERIFY(!outcome.StartNew);
    }

    void InsertTellsAMissingEntryFileAndStaysOpen()
    {
        TTempDir work;
        CopySampleStore(work.Path());
        fs::remove(work / "AText" / "Brief1.xtb");
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        TAutoT dialog(store, AutoTextModeInsert, boxes, nullptr);
        dialog.show();
        QTest::mouseClick(dialog.btnAction, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), std::vector<std::string>{"Gewählter Autotext-Eintrag ist nicht vorhanden.\r"
                                                         "Bitte wählen Sie einen anderen Eintrag."});
        QVERIFY(dialog.isVisible());

        dialog.cmbShortcut->setCurrentIndex(1);
        emit dialog.cmbShortcut->activated(1);
        QTest::mouseClick(dialog.btnAction, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Outcome().DialogMode, AutoTextModeInsert);
        QCOMPARE(dialog.Outcome().EntryPath, work.Path() / "AText" / "MfG.xtb");
    }

    void CancelClearsThePathAndWithoutEntriesStartsANewDocument()
    {
        TTempDir work;
        CopySampleStore(work.Path());
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        TAutoT open(store, AutoTextModeOpen, boxes, nullptr);
        open.show();
        QTest::keyClick(&open, Qt::Key_Escape);
        QVERIFY(open.Outcome().EntryPath.empty());
        QVERIFY(!open.Outcome().StartNew);

        TTempDir empty;
        TAutoTextStore none(empty.Path());
        TAutoT nothing(none, AutoTextModeOpen, boxes, nullptr);
        nothing.show();
        QTest::mouseClick(nothing.btnCancel, Qt::LeftButton);
        QVERIFY(nothing.Outcome().StartNew);
    }

    void ShortcutBoxTakesOnlyItsCharacters()
    {
        TTempDir work;
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        TAutoT dialog(store, AutoTextModeNewEntry, boxes, nullptr);
        dialog.show();
        QLineEdit* shortcut = dialog.cmbShortcut->lineEdit();
        Type(shortcut, QStringLiteral("Ab#c/d.ä§ß_~-$%9!"));
        QCOMPARE(shortcut->text(), QStringLiteral("Abcdä§ß_~-$%9"));
        QTest::keyClick(shortcut, Qt::Key_Backspace);
        QCOMPARE(shortcut->text(), QStringLiteral("Abcdä§ß_~-$%"));
        QCOMPARE(shortcut->maxLength(), 20);
        QCOMPARE(dialog.cmbShortName->lineEdit()->maxLength(), 200);
        // Pasted text keeps only what could have been typed.
        shortcut->clear();
        shortcut->insert(QStringLiteral("Gruß/Ende"));
        emit shortcut->textEdited(shortcut->text());
        QCOMPARE(shortcut->text(), QStringLiteral("GrußEnde"));
    }

    void NamingRefusesWithItsMessages_data()
    {
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<QString>("shortName");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusOnShortName");
        QTest::newRow("empty") << QStringLiteral("   ") << QStringLiteral("Etwas")
                               << QStringLiteral("Alle Felder müssen Angaben enthalten! ") << false;
        QTest::newRow("case") << QStringLiteral("mfg") << QStringLiteral("Neu")
                              << QStringLiteral("Der Eintrag mfg ist bereites\rals Tastenkürzel vorhanden!") << false;
        QTest::newRow("blanks") << QStringLiteral("Brief1") << QStringLiteral("Neu")
                                << QStringLiteral("Der Eintrag Brief1 ist bereites\rals Tastenkürzel vorhanden!") << false;
        QTest::newRow("short name") << QStringLiteral("Neu") << QStringLiteral("Anlagenverzeichnis, nummeriert")
                                    << QStringLiteral("Der Eintrag Anlagenverzeichnis, nummeriert ist bereites\rals Kurzbezeichnung vorhanden!")
                                    << true;
    }

    void NamingRefusesWithItsMessages()
    {
        QFETCH(QString, shortcut);
        QFETCH(QString, shortName);
        QFETCH(QString, message);
        QFETCH(bool, focusOnShortName);
        TTempDir work;
        CopySampleStore(work.Path());
        const std::string listBefore = ReadBytes(work / "AText" / "AutoText.lst");
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        TAutoT dialog(store, AutoTextModeNewEntry, boxes, nullptr);
        dialog.show();
        dialog.cmbShortcut->setEditText(shortcut);
        dialog.cmbShortName->setEditText(shortName);
        QTest::mouseClick(dialog.btnAction, Qt::LeftButton);

        QCOMPARE(boxes.Asked.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(boxes.Asked[0].Text), message);
        QCOMPARE(boxes.Asked[0].Caption, std::string("Fehler"));
        QVERIFY(boxes.Asked[0].Icon == TMsgIcon::Error);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.Outcome().Refused);
        QCOMPARE(dialog.focusWidget() == dialog.cmbShortName, focusOnShortName);
        QCOMPARE(dialog.focusWidget() == dialog.cmbShortcut, !focusOnShortName);
        QCOMPARE(ReadBytes(work / "AText" / "AutoText.lst"), listBefore);
        QCOMPARE(dialog.cmbShortcut->currentText(), shortcut.trimmed());
    }

    void NamingKeepsWhatWasTyped()
    {
        TTempDir work;
        CopySampleStore(work.Path());
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        TAutoT dialog(store, AutoTextModeNewEntry, boxes, nullptr);
        dialog.show();
        QLineEdit* shortcut = dialog.cmbShortcut->lineEdit();
        QLineEdit* shortName = dialog.cmbShortName->lineEdit();

        // The beginnings of existing names ("Anlagen", "Briefanfang mit ...") stay as typed.
        TypeFocused(shortcut, QStringLiteral("Anl"));
        QCOMPARE(shortcut->text(), QStringLiteral("Anl"));
        QVERIFY(!shortcut->hasSelectedText());
        TypeFocused(shortName, QStringLiteral("Brief"));
        QCOMPARE(shortName->text(), QStringLiteral("Brief"));
        // Choosing an existing shortcut from the list leaves the short name alone.
        dialog.cmbShortcut->setCurrentIndex(1);
        emit dialog.cmbShortcut->activated(1);
        QCOMPARE(dialog.cmbShortcut->currentText(), QStringLiteral("MfG"));
        QCOMPARE(shortName->text(), QStringLiteral("Brief"));

        // Enter saves the text as typed: a shortcut that differs only in case is refused as typed,
        // not turned into the existing one.
        shortcut->clear();
        TypeFocused(shortcut, QStringLiteral("brief 1"));
        QTest::keyClick(shortcut, Qt::Key_Return);
        QCOMPARE(boxes.Texts(), std::vector<std::string>{"Der Eintrag brief 1 ist bereites\rals Tastenkürzel vorhanden!"});
        QCOMPARE(shortcut->text(), QStringLiteral("brief 1"));
        QCOMPARE(shortName->text(), QStringLiteral("Brief"));
        QVERIFY(dialog.isVisible());

        // "Brief" where "Brief 1" exists is a new entry beside it.
        shortcut->clear();
        TypeFocused(shortcut, QStringLiteral("Brief"));
        shortName->clear();
        TypeFocused(shortName, QStringLiteral("Kurzer Brief"));
        QCOMPARE(shortcut->text(), QStringLiteral("Brief"));
        QTest::keyClick(shortName, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.Outcome().Refused);
        QCOMPARE(dialog.Outcome().EntryPath, work.Path() / "AText" / "Brief.xtb");
        TAutoTextStore saved(work.Path());
        QVERIFY(saved.Load());
        QStringList names;
        for (const TAutoTextEntry& entry : saved.Entries())
            names << QString::fromStdString(entry.Shortcut + "=" + entry.ShortName);
        QCOMPARE(names.size(), 6);
        QCOMPARE(names.first(), QStringLiteral("Brief 1=Briefanfang mit Bezug und Anrede"));
        QCOMPARE(names.last(), QStringLiteral("Brief=Kurzer Brief"));
    }

    void OpensOverTheMainWindow()
    {
        TTempDir work;
        TAutoTextStore store(work.Path());
        TScriptedBoxes boxes;
        QMainWindow main;
        main.setGeometry(100, 80, 800, 600);
        main.show();
        TAutoT dialog(store, AutoTextModeNewEntry, boxes, &main);
        dialog.show();
        const QRect frame = main.frameGeometry();
        QCOMPARE(dialog.frameGeometry().top(), frame.top() + 20);
        QVERIFY(qAbs(dialog.frameGeometry().center().x() - frame.center().x()) <= 1);
    }
};

XQ_APP_TEST(TAutoTextDialogTest);

} // namespace xq::test

#include "AutoTextDialogTest.moc"

// "Prüfung durchführen" with the real spelling dialog and the real German ispell: the words it
// stops at with ispell's suggestions, its buttons and keys, undo of a change, the personal
// dictionary across a restart, the closing window, and a speller killed during the run.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <filesystem>

#include "TestSupport.h"
#include "dialogs/SpellDialog.h"
#include "support/Ispell.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

#define REQUIRE_ISPELL_QT()                                                      \
    do {                                                                         \
        const std::string missing = ::xq::test::IspellMissing();                 \
        if (!missing.empty())                                                    \
            QSKIP(missing.c_str());                                              \
    } while (false)

/// The German speller of the bundled configuration in dir, named by the window's "XQSpell.dic".
void UseGermanSpeller(TTestWindow& w, const fs::path& dir)
{
    fs::create_directories(dir / "deutsch");
    WriteBytes(dir / "deutsch" / "ispell.ini",
               "[Deutsch]\r\nLangNo=1031\r\nCmd=" + std::string(GermanIspellCmd) + "\r\n");
    WriteBytes(w.Exe / "XQSpell.dic", "[XQSpell]\r\nP=" + dir.string() + "\r\n");
}

QAction* Action(TFormED& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

QStringList Items(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QStringList Strings(const std::vector<std::string>& list)
{
    QStringList out;
    for (const std::string& s : list)
        out << QString::fromStdString(s);
    return out;
}

bool ProcessGone(pid_t pid)
{
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

class TSpellCheckDialogTest : public QObject {
    Q_OBJECT

private slots:
    void TheBundledSpellerOffersGermanAndTheCheck()
    {
        REQUIRE_ISPELL_QT();
        // The build copies the bundled configuration beside the program, the default speller directory.
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) {
            fs::copy(SourceDir() / "data" / "speller", t.Exe.Path(), fs::copy_options::recursive);
        });
        const QMenu* menu = w.Window->findChild<QMenu*>(QStringLiteral("mnuLanguage"));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Deutsch (Deutschland)"));
        QVERIFY(Action(*w.Window, "mitSpellCheck")->isEnabled());
        QVERIFY(Action(*w.Window, "btnSpelling")->isEnabled());
        w.Type("Die Rechtschreibprüfung der Textbausteine.");
        Action(*w.Window, "mitSpellCheck")->trigger();
        QCOMPARE(w.Boxes.Texts(), std::vector<std::string>{"Keine Rechtschreibfehler gefunden"});
    }

    void StopsAtEachMisspellingAndAChangeCanBeUndone()
    {
        REQUIRE_ISPELL_QT();
        TTempDir speller;
        TTestWindow w({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
        w.Type("Das Hauss steht an der Strase.");
        const std::string typed = w.Rvf();
        QVERIFY(Action(*w.Window, "mitSpellCheck")->isEnabled());

        std::vector<std::string> hauss;
        w.Window->SpellChecker().GetSuggestions("Hauss", 1031, hauss);
        QStringList shown, firstList, secondList;
        QString title, selectedAtFirst, editAtFirst;
        WhenModal<TfrmRVSpell>([&](TfrmRVSpell* dialog) {
            shown << dialog->edtWord->text();
            title = dialog->windowTitle();
            firstList = Items(dialog->cmbList);
            selectedAtFirst = dialog->cmbList->currentItem() ? dialog->cmbList->currentItem()->text() : QString();
            editAtFirst = dialog->cmb->text();
            if (const QByteArray shots = qgetenv("XQ_SCREENSHOTS"); !shots.isEmpty())
                dialog->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/rechtschreibung.png"));
            WhenModal<TfrmRVSpell>([&](TfrmRVSpell* second) {
                shown << second->edtWord->text();
                secondList = Items(second->cmbList);
                const QList<QListWidgetItem*> found = second->cmbList->findItems(QStringLiteral("Straße"),
                                                                                 Qt::MatchExactly);
                if (!found.isEmpty())
                    second->cmbList->setCurrentItem(found.front());
                second->btnChange->click();
            });
            dialog->btnIgnore->click();
        });
        Action(*w.Window, "mitSpellCheck")->trigger();

        QCOMPARE(shown, (QStringList{QStringLiteral("Hauss"), QStringLiteral("Strase")}));
        QCOMPARE(title, QStringLiteral("Rechtschreibprüfung Deutsch (Deutschland)"));
        QCOMPARE(firstList, Strings(hauss));
        QVERIFY(!firstList.isEmpty());
        QCOMPARE(selectedAtFirst, firstList.front());
        QCOMPARE(editAtFirst, firstList.front());
        QVERIFY(secondList.contains(QStringLiteral("Straße")));
        QCOMPARE(Paragraphs(w.Data()), QStringList{QString::fromLatin1("Das Hauss steht an der Stra\xDF" "e.")});
        QVERIFY2(w.Boxes.Texts().empty(), "a check that found something says nothing more");

        Action(*w.Window, "mitUndo")->trigger();
        QCOMPARE(w.Rvf(), typed);
    }

    void ACheckThatFindsNothingSaysSoEveryTime()
    {
        REQUIRE_ISPELL_QT();
        TTempDir speller;
        TTestWindow w({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
        w.Type("Das Haus steht an der Stra\xC3\x9F" "e.");
        Action(*w.Window, "btnSpelling")->trigger();
        QCOMPARE(w.Boxes.Texts(), std::vector<std::string>{"Keine Rechtschreibfehler gefunden"});
        QCOMPARE(w.Boxes.Asked[0].Caption, std::string("Rechtschreibprüfung"));

        // A misspelling changed by one check; the next check finds nothing and says so again.
        w.Type("Ein Fehlerr.");
        WhenModal<TfrmRVSpell>([](TfrmRVSpell* dialog) {
            dialog->cmb->setText(QStringLiteral("Fehler"));
            dialog->btnChange->click();
        });
        Action(*w.Window, "mitSpellCheck")->trigger();
        QCOMPARE(w.Boxes.Texts().size(), std::size_t(1));
        Action(*w.Window, "mitSpellCheck")->trigger();
        QCOMPARE(w.Boxes.Texts().size(), std::size_t(2));
        QCOMPARE(w.Boxes.Texts().back(), std::string("Keine Rechtschreibfehler gefunden"));
    }

    void AnAddedWordIsCorrectAfterARestart()
    {
        REQUIRE_ISPELL_QT();
        TTempDir speller;
        {
            TTestWindow w({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
            w.Type("Der Quarnelbrief kommt.");
            QString word;
            WhenModal<TfrmRVSpell>([&](TfrmRVSpell* dialog) {
                word = dialog->edtWord->text();
                dialog->btnAdd->click();
            });
            Action(*w.Window, "mitSpellCheck")->trigger();
            QCOMPARE(word, QStringLiteral("Quarnelbrief"));
        }
        TTestWindow again({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
        again.Type("Der Quarnelbrief kommt.");
        Action(*again.Window, "mitSpellCheck")->trigger();
        QCOMPARE(again.Boxes.Texts(), std::vector<std::string>{"Keine Rechtschreibfehler gefunden"});
    }

    void EscapeCancelsADoubleClickChangesAndTheWindowStaysOpenMeanwhile()
    {
        REQUIRE_ISPELL_QT();
        TTempDir speller;
        TTestWindow w({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
        w.Type("Hauss Strase Fehlerr");
        bool stayedOpen = false;
        WhenModal<TfrmRVSpell>([&](TfrmRVSpell* dialog) {
            // Closing the main window now is refused.
            w.Window->close();
            stayedOpen = w.Window->isVisible() && w.Window->SpellCheckRunning();
            WhenModal<TfrmRVSpell>([&](TfrmRVSpell* second) {
                second->cmbList->setFocus();
                QTest::keyClick(second->cmbList, Qt::Key_Escape);
            });
            // A double click on "Haus" changes the word to it.
            const QList<QListWidgetItem*> found = dialog->cmbList->findItems(QStringLiteral("Haus"), Qt::MatchExactly);
            QVERIFY(!found.isEmpty());
            dialog->cmbList->setCurrentItem(found.front());
            const QRect rect = dialog->cmbList->visualItemRect(found.front());
            // A double click as the desktop delivers it: the press first, then the double click.
            QTest::mousePress(dialog->cmbList->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(dialog->cmbList->viewport(), Qt::LeftButton, {}, rect.center());
        });
        Action(*w.Window, "mitSpellCheck")->trigger();
        QVERIFY(stayedOpen);
        QVERIFY(!w.Window->SpellCheckRunning());
        QCOMPARE(Paragraphs(w.Data()), QStringList{QStringLiteral("Haus Strase Fehlerr")});
        QVERIFY2(w.Boxes.Texts().empty(), "a cancelled check says nothing");
    }

    void IgnoreAllAndChangeAllAreKeptForLaterChecks()
    {
        REQUIRE_ISPELL_QT();
        TTempDir speller;
        TTestWindow w({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
        w.Type("Hauss und Strase");
        WhenModal<TfrmRVSpell>([&](TfrmRVSpell* dialog) {
            WhenModal<TfrmRVSpell>([&](TfrmRVSpell* second) {
                second->cmb->setText(QString::fromUtf8("Straße"));
                second->btnChangeAll->click();
            });
            dialog->btnIgnoreAll->click();
        });
        Action(*w.Window, "mitSpellCheck")->trigger();
        w.Type("Strase und Hauss");
        Action(*w.Window, "mitSpellCheck")->trigger();
        QCOMPARE(Paragraphs(w.Data()), (QStringList{QString::fromLatin1("Hauss und Stra\xDF" "e"),
                                                    QString::fromLatin1("Stra\xDF" "e und Hauss")}));
        QCOMPARE(w.Boxes.Texts(), std::vector<std::string>{"Keine Rechtschreibfehler gefunden"});
    }

    void AKilledSpellerIsToldAndNoSpellerOutlivesTheWindow()
    {
        REQUIRE_ISPELL_QT();
        TTempDir speller;
        pid_t last = -1;
        {
            TTestWindow w({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
            w.Type("Hauss Strase Fehlerr Wortt");
            // Killed at the first word: started again. Killed again: the language is off.
            const auto killSpeller = [&] {
                TISpeller* running = w.Window->SpellChecker().GetSpeller(1031);
                QVERIFY(running);
                last = running->ProcessId();
                QCOMPARE(::kill(last, SIGKILL), 0);
            };
            WhenModal<TfrmRVSpell>([&](TfrmRVSpell* dialog) {
                killSpeller();
                WhenModal<TfrmRVSpell>([&](TfrmRVSpell* second) {
                    killSpeller();
                    second->btnIgnore->click();
                });
                dialog->btnIgnore->click();
            });
            Action(*w.Window, "mitSpellCheck")->trigger();
            QVERIFY(WaitFor([&] { return !w.Boxes.Texts().empty(); }));
            QCOMPARE(w.Boxes.Texts().front(), std::string("Die Rechtschreibprüfung für die Sprache \"Deutsch "
                                                          "(Deutschland)\" wurde abgeschaltet, weil das "
                                                          "Prüfprogramm nicht mehr antwortet."));
            QVERIFY(w.Window->isVisible());

            // A speller started afresh in a new window is ended with it.
            TTestWindow other({"x.doc", "7"}, [&](TTestWindow& t) { UseGermanSpeller(t, speller.Path()); });
            other.Type("Hauss");
            QVERIFY(!other.Window->SpellChecker().IsWordCorrect("Hauss", 1031));
            last = other.Window->SpellChecker().GetSpeller(1031)->ProcessId();
            QVERIFY(last > 0);
        }
        QVERIFY(ProcessGone(last));
    }
};

XQ_APP_TEST(TSpellCheckDialogTest);

} // namespace xq::test

#include "SpellCheckDialogTest.moc"

// The spelling languages of the main window: the menu "Sprache auswählen", the language chosen at
// start from "XQSpell.dic", choosing another one, and spelling that is unavailable.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// A speller directory with two languages, named by "P" of the window's "XQSpell.dic".
void AddLanguages(TTestWindow& w, const std::string& settings = {})
{
    const fs::path dir = w.Exe / "speller";
    fs::create_directories(dir / "deutsch");
    fs::create_directories(dir / "mundart");
    WriteBytes(dir / "deutsch" / "ispell.ini", "[deutsch]\r\nLangNo=1031\r\nCmd=ispell -a -C -d ngerman\r\n");
    WriteBytes(dir / "mundart" / "ispell.ini", "[Mundart]\r\nCmd=ispell -a -d ngerman\r\nFlag=md\r\n");
    WriteBytes(w.Exe / "XQSpell.dic", "[XQSpell]\r\nP=" + dir.string() + "\r\n" + settings);
}

QMenu* LanguageMenu(TFormED& window)
{
    return window.findChild<QMenu*>(QStringLiteral("mnuLanguage"));
}

QStringList Captions(QMenu* menu)
{
    QStringList captions;
    for (QAction* item : menu->actions())
        captions << item->text();
    return captions;
}

int CheckedIndex(QMenu* menu)
{
    const QList<QAction*> items = menu->actions();
    int checked = -1;
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            checked = checked == -1 ? i : -2;
    return checked;
}

QAction* Action(TFormED& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

} // namespace

class TSpellingMenuTest : public QObject {
    Q_OBJECT

private slots:
    void WithoutLanguagesTheMenuSaysSo()
    {
        TTestWindow w;
        QMenu* menu = LanguageMenu(*w.Window);
        QCOMPARE(Captions(menu), QStringList{QStringLiteral("keine Sprachen gefunden")});
        QVERIFY(!menu->actions()[0]->isEnabled());
        QVERIFY(w.Run().SpellingUnavailable);
        QVERIFY(w.Window->SpellLanguages().empty());
        QVERIFY(!Action(*w.Window, "mitSpellCheck")->isEnabled());
        QVERIFY(!Action(*w.Window, "btnSpelling")->isEnabled());
        // The empty first start records the speller directory for the host programs.
        QCOMPARE(TIniFile(w.Exe / "XQSpell.dic").ReadString("XQSpell", "P"), w.Exe.Path().string());
    }

    void EachLanguageIsAnItemAndChoosingOneSelectsIt()
    {
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddLanguages(t); });
        QMenu* menu = LanguageMenu(*w.Window);
        QCOMPARE(Captions(menu), (QStringList{QStringLiteral("Deutsch (Deutschland)"), QStringLiteral("Mundart")}));
        QVERIFY(!w.Run().SpellingUnavailable);
        QCOMPARE(CheckedIndex(menu), -1);
        QVERIFY(w.Window->SpellLanguageName().empty());
        for (QAction* item : menu->actions())
            QVERIFY(item->isEnabled() && item->isCheckable());
        // With languages the check of the document is offered, in the menu and on the toolbar, and
        // spelling while typing.
        QVERIFY(Action(*w.Window, "mitSpellCheck")->isEnabled());
        QVERIFY(Action(*w.Window, "btnSpelling")->isEnabled());
        QVERIFY(Action(*w.Window, "mitLiveSpelling")->isEnabled());

        menu->actions()[1]->trigger();
        QCOMPARE(CheckedIndex(menu), 1);
        QCOMPARE(w.Window->SpellChecker().SelectedName, std::string("Mundart"));
        QCOMPARE(w.Window->SpellChecker().Language, 0);
        QCOMPARE(w.Window->SpellChecker().Flag, std::string("md"));
        QCOMPARE(w.Window->SpellLanguageName(), std::string("Mundart"));

        menu->actions()[0]->trigger();
        QCOMPARE(CheckedIndex(menu), 0);
        QCOMPARE(w.Window->SpellChecker().Language, 1031);
        QCOMPARE(w.Window->SpellChecker().Cmd, std::string("ispell -a -C -d ngerman"));
        QCOMPARE(w.Window->SpellChecker().Flag, std::string("deutsch"));
    }

    void TheSettingsChooseTheLanguageAtStart()
    {
        TTestWindow chosen({"x.doc", "7"}, [](TTestWindow& t) { AddLanguages(t, "LLUK=Mundart\r\nDOIT=1\r\n"); });
        QCOMPARE(CheckedIndex(LanguageMenu(*chosen.Window)), 1);
        QCOMPARE(chosen.Window->SpellChecker().SelectedName, std::string("Mundart"));

        // A per-computer section wins over the bare one.
        TTestWindow perComputer({"x.doc", "7"}, [](TTestWindow& t) {
            AddLanguages(t, "LLUK=Mundart\r\n[XQSpell" + ReadComputerName() + "]\r\nLLUK=Deutsch (Deutschland)\r\n");
        });
        QCOMPARE(CheckedIndex(LanguageMenu(*perComputer.Window)), 0);
        QCOMPARE(perComputer.Window->SpellChecker().Language, 1031);

        TTestWindow unknown({"x.doc", "7"}, [](TTestWindow& t) { AddLanguages(t, "LLUK=Klingonisch\r\n"); });
        QCOMPARE(CheckedIndex(LanguageMenu(*unknown.Window)), -1);
        QVERIFY(unknown.Window->SpellLanguageName().empty());
    }

    void WithoutTheSpellerProgramThereAreNoLanguages()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent-dir");
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) {
            AddLanguages(t);
            fs::remove(t.Work / "ispell");
        });
        qputenv("PATH", path);
        QMenu* menu = LanguageMenu(*w.Window);
        QCOMPARE(Captions(menu), QStringList{QStringLiteral("keine Sprachen gefunden")});
        QVERIFY(!menu->actions()[0]->isEnabled());
        QVERIFY(w.Run().SpellingUnavailable);
    }

    void ASpellerSwitchedOffIsReportedInGerman()
    {
        if (!QFileInfo::exists(QStringLiteral("/usr/lib/ispell/ngerman.hash")))
            QSKIP("the German ispell dictionary is not installed (Debian packages ispell, ingerman)");
        TTestWindow w({"x.doc", "7"}, [](TTestWindow& t) { AddLanguages(t); });
        TSpellChecker& checker = w.Window->SpellChecker();
        TISpeller* speller = checker.GetSpeller(1031);
        QVERIFY(speller);
        QVERIFY(!checker.IsWordCorrect("Hauss", 1031));
        for (int round = 0; round < 2; ++round) {
            const int pid = speller->ProcessId();
            QVERIFY(pid > 0);
            QCOMPARE(::kill(pid, SIGKILL), 0);
            (void)checker.IsWordCorrect(round == 0 ? "Strase" : "Hausse", 1031);
        }
        QVERIFY(WaitFor([&] { return !w.Boxes.Texts().empty(); }));
        QCOMPARE(w.Boxes.Texts(), std::vector<std::string>{"Die Rechtschreibprüfung für die Sprache \"Deutsch "
                                                           "(Deutschland)\" wurde abgeschaltet, weil das "
                                                           "Prüfprogramm nicht mehr antwortet."});
        QCOMPARE(w.Boxes.Asked[0].Caption, std::string("Rechtschreibprüfung"));
        QVERIFY(checker.IsWordCorrect("Hauss", 1031));
    }
};

XQ_APP_TEST(TSpellingMenuTest);

} // namespace xq::test

#include "SpellingMenuTest.moc"

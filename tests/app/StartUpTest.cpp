// Program start: the command line, the working directory, the start modes with their captions and
// first dialogs, the window's size limits.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "TestSupport.h"
#include "app/DocViewWidget.h"
#include "session/StartUp.h"
#include "dialogs/AutoTextDialog.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

QString Q(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::vector<std::string> Arguments(const QStringList& list)
{
    std::vector<std::string> args;
    for (const QString& a : list)
        args.push_back(a.toStdString());
    return args;
}

} // namespace

class TStartUpTest : public QObject {
    Q_OBJECT

private slots:
    void CommandLineArguments()
    {
        QCOMPARE(StartModeOf("2"), 2);
        QCOMPARE(StartModeOf(" 1"), 1);
        QCOMPARE(StartModeOf("-4"), -4);
        QCOMPARE(StartModeOf("abc"), 0);
        QCOMPARE(StartModeOf("3x"), 0);
        QCOMPARE(StartModeOf(""), 0);
        QCOMPARE(StartModeOf("99999999999"), 0);

        TTempDir withSpeller;
        TTempDir without;
        AddSpellerProgram(withSpeller.Path());
        const TCommandLine none = ReadCommandLine({});
        QVERIFY(none.StartDocument.empty());
        QCOMPARE(none.StartMode, 0);
        const TCommandLine two = ReadCommandLine({"Brief.dvl", "2"});
        QCOMPARE(two.StartDocument, std::string("Brief.dvl"));
        QCOMPARE(two.StartMode, 2);
        QVERIFY(!two.SpellingInWorkDir);
        QVERIFY(!ReadCommandLine({"a", "0", without.Path().string()}).SpellingInWorkDir);
        const TCommandLine three = ReadCommandLine({"a", "0", withSpeller.Path().string()});
        QVERIFY(three.SpellingInWorkDir);
        QCOMPARE(WorkDirOf(three, "/opt/x"), withSpeller.Path());
        QCOMPARE(WorkDirOf(ReadCommandLine({"a", "0", without.Path().string()}), "/opt/x"), fs::path("/opt/x"));
        // Given with a trailing delimiter, the speller is still found and the directory has none.
        const TCommandLine slash = ReadCommandLine({"a", "0", withSpeller.Path().string() + "/"});
        QVERIFY(slash.SpellingInWorkDir);
        QCOMPARE(WorkDirOf(slash, "/opt/x"), withSpeller.Path());

        for (const char* host : {"Brief.DVL", "a.rvf", "b.Abr", "c.xtb", "d.dpa"})
            QVERIFY2(IsHostDocumentPath(host), host);
        for (const char* other : {"brief.RTF", "a.txt", "noextension", "x.dvl.bak"})
            QVERIFY2(!IsHostDocumentPath(other), other);
    }

    void StartModesSetCaptionAndFirstDialog_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("dialogMode"); // -1: no dialog
        QTest::newRow("no arguments") << QStringList{} << Q(CaptionEditEntry) << 3;
        QTest::newRow("mode 3") << QStringList{"x.doc", "3"} << Q(CaptionEditEntry) << 3;
        QTest::newRow("not a number") << QStringList{"x.doc", "abc"} << Q(CaptionEditEntry) << 3;
        QTest::newRow("RTF, insert") << QStringList{"brief.RTF", "1"} << Q(CaptionInsertEntry) << 1;
        QTest::newRow("new entry") << QStringList{"x.doc", "2"} << Q(CaptionNewEntry) << -1;
        // Other modes leave the caption that the new document at start set.
        QTest::newRow("other mode") << QStringList{"x.doc", "7"} << Q(CaptionNewEntry) << -1;
    }

    void StartModesSetCaptionAndFirstDialog()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, caption);
        QFETCH(int, dialogMode);
        TTempDir exe;
        TScriptedBoxes boxes;
        std::vector<int> modes;
        bool visibleAtDialog = false;
        TFormED* shown = nullptr;
        TFormED window(Arguments(arguments), exe.Path(), TestServices(boxes, [&](int mode) {
                           modes.push_back(mode);
                           visibleAtDialog = shown && shown->isVisible();
                           return TAutoTextOutcome{};
                       }));
        shown = &window;
        QCOMPARE(window.windowTitle(), Q(CaptionNewEntry));
        QVERIFY(modes.empty());
        ShowAndSettle(window);
        QCOMPARE(window.windowTitle(), caption);
        if (dialogMode < 0) {
            QVERIFY(modes.empty());
        } else {
            QCOMPARE(modes, std::vector<int>{dialogMode});
            QVERIFY2(visibleAtDialog, "the dialog opens over the window already shown");
        }
        // A document whose extension is not a host document's is not opened, and nothing is said.
        QVERIFY(IsEmptyDocument(window.Document().Data()));
        QVERIFY(boxes.Asked.empty());
        QCOMPARE(window.Session().AutoTextDialogMode(), dialogMode < 0 ? arguments.value(1).toInt() : dialogMode);
    }

    void ThirdArgumentWithSpellerIsTheWorkingDirectory()
    {
        TTempDir exe;
        TTempDir work;
        AddSpellerProgram(work.Path());
        CopySampleStore(work.Path());
        TScriptedBoxes boxes;
        int listed = -1;
        WhenModal<TAutoT>([&](TAutoT* dialog) {
            listed = dialog->cmbShortcut->count();
            dialog->reject();
        });
        TFormED window({"x.doc", "0", work.Path().string()}, exe.Path(), TestServices(boxes));
        QCOMPARE(window.RunState().WorkDir, work.Path());
        QCOMPARE(window.RunState().ExeDir, exe.Path());
        QCOMPARE(fs::current_path(), work.Path());
        QCOMPARE(window.RecentFiles().FileName(), work.Path() / "mru.ini");
        ShowAndSettle(window);
        QVERIFY(WaitFor([&] { return listed >= 0; }));
        QCOMPARE(listed, 5);

        // Without the speller the program directory is the working directory.
        TTempDir other;
        TFormED plain({"x.doc", "7", other.Path().string()}, exe.Path(), TestServices(boxes));
        QCOMPARE(plain.RunState().WorkDir, exe.Path());
    }

    void NoEntriesLeadToANewDocument()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        QString caption;
        bool actionShown = true;
        WhenModal<TAutoT>([&](TAutoT* dialog) {
            caption = dialog->windowTitle();
            actionShown = dialog->btnAction->isVisible();
            QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
        });
        TFormED window({}, exe.Path(), TestServices(boxes));
        ShowAndSettle(window);
        QVERIFY(WaitFor([&] { return !caption.isEmpty(); }));
        QCOMPARE(caption, QStringLiteral("Kein Autotexteintrag gefunden"));
        QVERIFY(!actionShown);
        QVERIFY(WaitFor([&] { return window.windowTitle() == Q(CaptionNewEntry); }));
    }

    void WindowMinimumSize()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        QCOMPARE(window.minimumSize(), QSize(641, 480));
        window.resize(100, 100);
        QVERIFY(window.width() >= 641 && window.height() >= 480);
    }
};

XQ_APP_TEST(TStartUpTest);

} // namespace xq::test

#include "StartUpTest.moc"

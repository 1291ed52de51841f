// The document session through the main window: the modified state, Save of named documents and of
// new entries with the hand-over to the host, the save question's answers, the recent-file list,
// and the text width the page gives.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"
#include "dialogs/AutoTextDialog.h"
#include "formats/rvf/RvfWriter.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

QString Q(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

class TSessionTest : public QObject {
    Q_OBJECT

private slots:
    void ModifiedStateFollowsTheContent()
    {
        TTestWindow t;
        t.Session().rveChange();
        QVERIFY(!t.Run().Modified);
        t.AppendRaw("x");
        QVERIFY(t.Run().Modified);
        QCOMPARE(t.Window->ModifiedNoticeText(), QStringLiteral("  Autotext wurde geändert"));

        // Everything deleted again: one empty text item counts as empty.
        t.Editor().Clear();
        t.AppendRaw("");
        QVERIFY(!t.Run().Modified);
        QVERIFY(t.Window->ModifiedNoticeText().isEmpty());

        // Two empty paragraphs, or one item that is not text, are content.
        t.AppendRaw("");
        QVERIFY(t.Run().Modified);
        t.Editor().Clear();
        t.Session().rveChange();
        t.Data().AppendItem({}, std::make_unique<TRVBreakItemInfo>());
        t.Session().rveChange();
        QVERIFY(t.Run().Modified);

        // Page setup and background pictures mark the document without touching the status bar.
        t.Editor().Clear();
        t.Session().rveChange();
        t.Session().SetModified();
        QVERIFY(t.Run().Modified);
        QVERIFY(t.Window->ModifiedNoticeText().isEmpty());
    }

    void SaveWritesANamedDocumentBack()
    {
        TTestWindow t;
        const fs::path entry = t.OpenEntry("MfG.xtb");
        QCOMPARE(t.Window->windowTitle(), Q(CaptionEditEntry));
        QCOMPARE(t.Run().DocName, std::string("MfG.xtb"));
        const int items = t.Data().Count();
        t.Type("Nachtrag");
        t.Session().Save();
        QVERIFY(!t.Run().Modified);
        QVERIFY(t.Window->ModifiedNoticeText().isEmpty());
        QVERIFY(t.Boxes.Asked.empty());
        QCOMPARE(LoadedContent(entry), std::make_pair(items + 1, std::string("Nachtrag")));
        QCOMPARE(t.DialogModes, std::vector<int>{AutoTextModeOpen});
    }

    void SavedDocumentsCarryTheEditorsLayout()
    {
        // An entry that another editor saved with its own margins and text width.
        TTestWindow t;
        const fs::path entry = t.OpenEntry("MfG.xtb");
        {
            TEditorDocument& doc = t.Window->Document();
            TRVDocumentInfo info = doc.Info;
            info.Layout = TRVLayoutInfo{1, 2, 3, 4, 300, 400, rvbdLeftToRight};
            std::string bytes;
            QVERIFY(TRVFWriter(doc.RStyle, RVFMainWindowOptions).WriteDocument(doc.Data(), &info, bytes));
            QVERIFY(WriteFileAtomically(entry, bytes));
        }
        QCOMPARE(t.OpenEntry("MfG.xtb"), entry);
        QVERIFY(t.Window->Document().Info.Layout.has_value());
        t.Type("!");
        t.Session().Save();

        // The layout record holds the editor's values: margins 5, 10, 5, 5, the text width of A4
        // with the window's first margins (20 mm left, 10 mm right) as both limits, no BiDi mode.
        const auto le32 = [](std::int32_t v) {
            std::string b(4, '\0');
            for (int k = 0; k < 4; ++k)
                b[std::size_t(k)] = char((std::uint32_t(v) >> (8 * k)) & 0xFF);
            return b;
        };
        std::string record = "-9 1 0 0 2 0 3\r\n" + le32(33) + le32(0) + le32(25);
        for (std::int32_t v : {5, 10, 5, 5, 670, 670})
            record += le32(v);
        record += '\0';
        const std::string saved = ReadBytes(entry);
        QVERIFY2(saved.find(record) != std::string::npos, "the layout record with the editor's values");
        QCOMPARE(saved.find(record), saved.rfind(record));
        QVERIFY(saved.find(le32(300) + le32(400)) == std::string::npos);
    }

    void AWriteProtectedEntryIsNotReplaced()
    {
        TTestWindow t;
        const fs::path entry = t.OpenEntry("MfG.xtb");
        const std::string before = ReadBytes(entry);
        fs::permissions(entry, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        t.Type("Nachtrag");
        t.Session().Save();
        QCOMPARE(t.Boxes.Texts(), std::vector<std::string>{std::string(WriteProtectedText)});
        QCOMPARE(ReadBytes(entry), before);
        QVERIFY(t.Run().Modified);
        QCOMPARE(t.Window->ModifiedNoticeText(), QStringLiteral("  Autotext wurde geändert"));

        // Once the user lifts the protection, the same command saves.
        fs::permissions(entry, fs::perms::owner_write, fs::perm_options::add);
        t.Session().Save();
        QVERIFY(!t.Run().Modified);
        QCOMPARE(LoadedContent(entry).second, std::string("Nachtrag"));
    }

    void SaveNamesANewEntryAndHandsItOver_data()
    {
        QTest::addColumn<bool>("perComputerSection");
        QTest::newRow("section of this computer") << true;
        QTest::newRow("shared section") << false;
    }

    void SaveNamesANewEntryAndHandsItOver()
    {
        QFETCH(bool, perComputerSection);
        const std::string computer = ReadComputerName();
        WhenModal<TAutoT>([](TAutoT* dialog) {
            dialog->cmbShortcut->setEditText(QStringLiteral(" Brief 2 "));
            dialog->cmbShortName->setEditText(QStringLiteral("Anschreiben für Anträge"));
            QTest::mouseClick(dialog->btnAction, Qt::LeftButton);
        });
        TTestWindow t({"x.doc", "2"}, [&](TTestWindow& w) {
            WriteBytes(w.Exe / "XQSpell.dic", perComputerSection ? "[NEW]\r\nF=alt\r\n\r\n[NEW" + computer + "]\r\nF=\r\n"
                                                                  : std::string("[Sprache]\r\nAktiv=1\r\n"));
        }, true);
        QCOMPARE(t.Window->windowTitle(), Q(CaptionNewEntry));
        t.Type("Neuer Text");
        t.Session().Save();

        QVERIFY(t.Boxes.Asked.empty());
        QCOMPARE(LoadedContent(t.Work / "AText" / "Brief2.xtb"), std::make_pair(1, std::string("Neuer Text")));
        const std::string list = ReadBytes(t.Work / "AText" / "AutoText.lst");
        QVERIFY(list.find("[6]\r\nN=Brief 2\r\nK=Anschreiben f\xFCr Antr\xE4ge\r\nI=Brief2.xtb\r\n") != std::string::npos);
        TIniFile dic(t.Exe / "XQSpell.dic");
        QCOMPARE(dic.ReadString(perComputerSection ? "NEW" + computer : "NEW", "F"), std::string("Brief2"));
        if (perComputerSection)
            QCOMPARE(dic.ReadString("NEW", "F"), std::string("alt"));
        else
            QCOMPARE(dic.ReadString("Sprache", "Aktiv"), std::string("1"));
        // Creating an entry ends the program.
        QVERIFY(!t.Window->isVisible());
        QVERIFY(!t.Run().Modified);
    }

    void NewEntryThatCannotBeWrittenStaysOpen()
    {
        TTestWindow t({"x.doc", "2"});
        const fs::path folder = t.Work / "Entwurf";
        t.Outcomes.push_back({AutoTextModeNewEntry, folder / "Brief2.xtb", false, false, "Brief2"});
        t.Type("Wichtiger Text");
        t.Session().Save();
        QCOMPARE(t.Boxes.Texts(), std::vector<std::string>{"Format wird nicht unterstützt"});
        QCOMPARE(t.Boxes.Asked[0].Caption, std::string("Fehler bei Speicherung"));
        QVERIFY(t.Window->isVisible());
        QVERIFY(t.Run().Modified);
        QVERIFY(!t.Window->ModifiedNoticeText().isEmpty());
        // No hand-over yet ("XQSpell.dic" itself exists: the spelling set-up records "P" there).
        QVERIFY(!TIniFile(t.Exe / "XQSpell.dic").SectionExists("NEW"));

        // Once it can be written, the next Save writes the entry and completes the hand-over.
        fs::create_directory(folder);
        t.Session().Save();
        QCOMPARE(t.DialogModes, std::vector<int>{AutoTextModeNewEntry});
        QCOMPARE(LoadedContent(folder / "Brief2.xtb").second, std::string("Wichtiger Text"));
        QCOMPARE(TIniFile(t.Exe / "XQSpell.dic").ReadString("NEW", "F"), std::string("Brief2"));
        QVERIFY(!t.Window->isVisible());
    }

    void QuestionBeforeNew_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("Yes") << int(TMsgAnswer::Yes) << Q(CaptionUntitled) << true << true;
        QTest::newRow("No") << int(TMsgAnswer::No) << Q(CaptionNewEntry) << false << true;
        QTest::newRow("Cancel") << int(TMsgAnswer::Cancel) << Q(CaptionEditEntry) << false << false;
    }

    void QuestionBeforeNew()
    {
        QFETCH(int, answer);
        QFETCH(QString, caption);
        QFETCH(bool, saved);
        QFETCH(bool, emptied);
        TTestWindow t;
        const fs::path entry = t.OpenEntry("Hinweis.xtb");
        const std::string before = ReadBytes(entry);
        t.Type("geändert");
        t.Boxes.Answers.push_back(static_cast<TMsgAnswer>(answer));
        t.Session().New(false);

        QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
        QCOMPARE(t.Boxes.Asked[0].Text, std::string("Autotext jetzt speichern ?"));
        QCOMPARE(t.Boxes.Asked[0].Caption, std::string("Autotext wurde geändert"));
        QVERIFY(t.Boxes.Asked[0].Buttons == TMsgButtons::YesNoCancel);
        QVERIFY(t.Boxes.Asked[0].Icon == TMsgIcon::Question);
        QCOMPARE(t.Window->windowTitle(), caption);
        QCOMPARE(ReadBytes(entry) != before, saved);
        QCOMPARE(IsEmptyDocument(t.Data()), emptied);
        QCOMPARE(t.Run().Modified, !emptied);
        QCOMPARE(t.Window->ModifiedNoticeText().isEmpty(), emptied);
    }

    void QuestionOnClose_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << int(TMsgAnswer::Yes) << true << true;
        QTest::newRow("No") << int(TMsgAnswer::No) << true << false;
        QTest::newRow("Cancel") << int(TMsgAnswer::Cancel) << false << false;
    }

    void QuestionOnClose()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        TTestWindow t;
        const fs::path entry = t.OpenEntry("Anlagen.xtb");
        const std::string before = ReadBytes(entry);
        t.Type("geändert");
        t.Boxes.Answers.push_back(static_cast<TMsgAnswer>(answer));
        QCOMPARE(t.Window->close(), closed);
        QCOMPARE(t.Window->isVisible(), !closed);
        QCOMPARE(t.Boxes.Texts(), std::vector<std::string>{"Autotext jetzt speichern ?"});
        QCOMPARE(ReadBytes(entry) != before, saved);
        QVERIFY(t.Run().Closing);
    }

    void CloseStaysOpenWhenTheNewEntryIsNotNamed()
    {
        TTestWindow t({"x.doc", "2"});
        t.Type("ungespeichert");
        t.Boxes.Answers.push_back(TMsgAnswer::Yes);
        // The naming dialog is cancelled: nothing is written, so nothing may be lost by closing.
        QVERIFY(!t.Window->close());
        QCOMPARE(t.DialogModes, std::vector<int>{AutoTextModeNewEntry});
        QVERIFY(t.Run().Modified);
        QCOMPARE(t.Data().TextAt(0), std::string("ungespeichert"));
    }

    void OpenAsksFirstAndTellsAMissingEntry()
    {
        TTestWindow t;
        t.Type("neu");
        t.Boxes.Answers.push_back(TMsgAnswer::No);
        t.Outcomes.push_back({AutoTextModeOpenFromDialog, t.Work / "AText" / "Fehlt.xtb", false, false, {}});
        t.Session().open();
        // No: the document is emptied, and the chooser opens once more on the unmodified document.
        QCOMPARE(t.DialogModes, std::vector<int>{AutoTextModeOpen});
        QCOMPARE(t.Window->windowTitle(), Q(CaptionUntitled));
        QVERIFY(IsEmptyDocument(t.Data()));
        QCOMPARE(t.Boxes.Texts(),
                 (std::vector<std::string>{"Autotext jetzt speichern ?", "Autotexteintrag ist nicht vorhanden"}));
        QCOMPARE(t.Boxes.Asked[1].Caption, std::string("Fehler"));
        QVERIFY(t.Boxes.Asked[1].Icon == TMsgIcon::Error);
    }

    void RecentFileList()
    {
        TTempDir docs;
        const fs::path first = docs / "Vorlage.xtb";
        const fs::path text = docs / "Notiz.txt";
        fs::copy_file(SourceDir() / "data" / "sample" / "AText" / "MfG.xtb", first);
        WriteBytes(text, "Erste Zeile\r\nZweite Zeile");
        auto t = std::make_unique<TTestWindow>(std::vector<std::string>{"x.doc", "7"}, [&](TTestWindow& w) {
            WriteBytes(w.Work / "mru.ini", "[RecentFiles]\r\nCount=3\r\n1=" + first.string() + "\r\n2=" +
                                               (docs / "Verschwunden.xtb").string() + "\r\n3=" + text.string() + "\r\n");
        });
        TFormED& window = *t->Window;
        QVERIFY(!window.mitReopen->isVisible());
        emit window.mnuFile->aboutToShow();
        QVERIFY(window.mitReopen->isVisible() && window.mitReopen->isEnabled());
        QCOMPARE(window.mitRecent[0]->text(), QStringLiteral("Vorlage.xtb"));
        QCOMPARE(window.mitRecent[1]->text(), QStringLiteral("Notiz.txt"));
        QVERIFY(window.mitRecent[1]->isVisible() && !window.mitRecent[2]->isVisible());

        window.mitRecent[1]->trigger();
        QCOMPARE(t->Run().DocName, text.string());
        QCOMPARE(t->Data().TextAt(0), std::string("Erste Zeile"));
        QCOMPARE(window.windowTitle(), Q(CaptionNewEntry));
        QVERIFY(!t->Run().Modified);

        // With changes and Cancel at the question, nothing is opened.
        t->Type("mehr");
        window.mitRecent[0]->trigger();
        QCOMPARE(t->Boxes.Texts(), std::vector<std::string>{"Autotext jetzt speichern ?"});
        QCOMPARE(t->Run().DocName, text.string());
        QVERIFY(t->Run().Modified);

        // The list goes back to "mru.ini", without the file that disappeared, when the window goes.
        const fs::path mruFile = t->Work / "mru.ini";
        t->Window.reset();
        TIniFile mru(mruFile);
        QCOMPARE(mru.ReadInteger("RecentFiles", "Count", 0), 2);
        QCOMPARE(mru.ReadString("RecentFiles", "2"), text.string());
    }

    void TextWidthFollowsThePrintedPage()
    {
        TTestWindow t;
        // A4 with margins of 20 mm left and 10 mm right without a printer: 794 - 76 - 38, plus 5,
        // less the editor's 15.
        QCOMPARE(t.Data().MaxTextWidth, 670);
        QCOMPARE(t.Data().MinTextWidth, 670);

        // A printer of 600 dpi that cannot reach 100 pixels all round: 20 mm are 472 pixels and
        // 10 mm 236, the right margin counted from the printable area's edge, so the text is
        // 4761 - 372 - 236 pixels wide, 664 at 96 dpi, plus 5, less 15.
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED::TServices services = TestServices(boxes);
        services.PrinterPage = [] {
            TPrinterPageMetrics p;
            p.DpiX = p.DpiY = 600;
            p.PhysicalWidth = 4961;
            p.PhysicalHeight = 7016;
            p.OffsetX = p.OffsetY = 100;
            p.PrintableWidth = 4761;
            p.PrintableHeight = 6816;
            return std::optional<TPrinterPageMetrics>(p);
        };
        TFormED window({"x", "7"}, exe.Path(), services);
        QCOMPARE(window.Document().Data().MaxTextWidth, 654);
    }
};

XQ_APP_TEST(TSessionTest);

} // namespace xq::test

#include "SessionTest.moc"

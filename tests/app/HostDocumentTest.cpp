// Documents a host hands over: the ".dvl" host-document mode with its reduced menu and wide save
// button, writing back by extension, and formats that fail honestly.
#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "TestSupport.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

fs::path SampleEntry(const char* name)
{
    return SourceDir() / "data" / "sample" / "AText" / name;
}

/// The captions of the visible items of a menu, separators as "-".
QStringList VisibleItems(QMenu* menu)
{
    QStringList items;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return items;
}

} // namespace

class THostDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void DvlDocumentGetsTheHostMode()
    {
        TTempDir work;
        const std::string host = (work / "Vorgang.DVL").string();
        fs::copy_file(SampleEntry("Brief1.xtb"), host);
        TTestWindow t({host, "2"}, [](TTestWindow& w) {
            WriteBytes(w.Work / "mru.ini", "[RecentFiles]\r\nCount=1\r\n1=" + SampleEntry("MfG.xtb").string() + "\r\n");
        });
        TFormED& window = *t.Window;
        QVERIFY(!t.Data().Empty());
        QCOMPARE(t.Run().DocName, host);
        QVERIFY2(t.Run().RecentPath.empty(), "a .dvl document is not a recent file");
        emit window.mnuFile->aboutToShow();
        QCOMPARE(VisibleItems(window.mnuFile),
                 (QStringList{"&Speichern...", "-", "Seite einrichten...", "Druckvorschau...", "Drucken...",
                              "Als PDF exportieren...", "-",
                              "Schließen"}));
        QVERIFY(!window.btnNew->isVisible() && !window.btnOpen->isVisible());
        QCOMPARE(window.ToolBar1->actions().first(), window.btnSave);
        auto* save = qobject_cast<QToolButton*>(window.ToolBar1->widgetForAction(window.btnSave));
        QVERIFY(save);
        QCOMPARE(save->text(), QStringLiteral("Speichern"));
        QCOMPARE(save->toolButtonStyle(), Qt::ToolButtonTextOnly);
        QCOMPARE(save->width(), 103);

        // Save writes back to the host's file, asking nothing.
        t.Type("Ergänzung");
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY(t.Boxes.Asked.empty());
        QVERIFY(!t.Run().Modified);
        QCOMPARE(LoadedContent(host).second, std::string("Erg\xE4nzung"));
    }

    void WritingBackFollowsTheExtension()
    {
        TTestWindow t({"x", "7"}, [](TTestWindow& w) {
            WriteBytes(w.Work / "Brief.TXT", "Kurz");
            fs::copy_file(SampleEntry("Anlagen.xtb"), w.Work / "Brief.dpa");
        });
        const fs::path text = t.Work / "Brief.TXT";
        t.Session().LMruMruClick(text.string());
        t.Data().AppendItem({}, std::make_unique<TRVBreakItemInfo>());
        t.Type("Ende");
        t.Session().Save();
        // Plain text, a horizontal line written 80 characters wide.
        QCOMPARE(ReadBytes(text), "Kurz\r\n" + std::string(80, '-') + "\r\nEnde");
        QVERIFY(t.Run().FileFormat == TFileFormat::Text);

        const fs::path dpa = t.Work / "Brief.dpa";
        t.Session().LMruMruClick(dpa.string());
        t.Type("Anlage 9");
        t.Session().Save();
        QVERIFY(t.Run().FileFormat == TFileFormat::RVF);
        QCOMPARE(LoadedContent(dpa), std::make_pair(t.Data().Count(), std::string("Anlage 9")));
        QVERIFY(t.Boxes.Asked.empty());
    }

    void AbrDocumentSelectsTheHostHelp()
    {
        TTempDir work;
        const std::string abr = (work / "Akte.abr").string();
        fs::copy_file(SampleEntry("Hinweis.xtb"), abr);
        TTestWindow t({abr, "2"});
        QVERIFY(t.Run().AbrHostDocument);
        QCOMPARE(t.Run().RecentPath, abr);
        QVERIFY(!t.Window->HostDocumentMode());
    }

    void RtfIsOpenedAndWrittenBackAsRtf()
    {
        TTestWindow t({"x", "7"}, [](TTestWindow& w) {
            WriteBytes(w.Work / "brief.rtf",
                       "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hallo \\b Welt\\b0\\par}");
        });
        const fs::path rtf = t.Work / "brief.rtf";
        t.Session().LMruMruClick(rtf.string());
        QVERIFY(t.Boxes.Asked.empty());
        QVERIFY(t.Run().FileFormat == TFileFormat::RTF);
        QCOMPARE(t.Data().Count(), 2);
        QCOMPARE(t.Data().TextAt(1), std::string("Welt"));
        QVERIFY(t.Data().GetRVStyle()->TextStyles[t.Data().StyleOf(1)].Style.Contains(fsBold));

        t.Type("Neu");
        t.Session().Save();
        QVERIFY(t.Boxes.Asked.empty());
        QVERIFY(!t.Run().Modified);
        const std::string written = ReadBytes(rtf);
        QVERIFY(written.starts_with("{\\rtf1"));
        QVERIFY(written.find("Hallo ") != std::string::npos);
        QVERIFY(written.find("Neu") != std::string::npos);
        QVERIFY(written.find("\\b") != std::string::npos);
    }
};

XQ_APP_TEST(THostDocumentTest);

} // namespace xq::test

#include "HostDocumentTest.moc"

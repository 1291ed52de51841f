// The hyperlink commands of the main window: a link made in the hyperlink dialog and saved as RVF
// and RTF, the dialog's texts and place, removing links with Undo in two steps, the commands'
// enabling, Space at a link's end, the hint over links, and Ctrl+click handing targets to the
// desktop's handler - which here is Qt's own URL handler table, so nothing outside is started.
#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "dialogs/HyperlinkDialog.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "tools/FormatCommands.h"
#include "tools/Hyperlinks.h"

namespace xq::test {

namespace fs = std::filesystem;

/// Takes the URLs QDesktopServices would hand to the desktop, for every scheme a link might name.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    TUrlRecorder()
    {
        for (const char* scheme : Schemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~TUrlRecorder() override
    {
        for (const char* scheme : Schemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QStringList Opened;

public slots:
    void Open(const QUrl& url) { Opened.push_back(url.toString(QUrl::FullyEncoded)); }

private:
    static constexpr const char* Schemes[] = {"http", "https", "ftp", "mailto", "file", "javascript", "data",
                                              "vbscript", "smb", "sh"};
};

namespace {

/// The first item of data whose text is text, -1 when none.
int ItemWithText(const TCustomRVData& data, const std::string& text)
{
    for (int i = 0; i < data.Count(); ++i)
        if (data.ItemAt(i).IsText() && data.TextAt(i) == text)
            return i;
    return -1;
}

/// A point inside item itemNo of the window's document, in viewport coordinates.
QPoint ViewPointIn(TTestWindow& t, int itemNo)
{
    const TRVEditRVData& data = t.Data();
    const TRVDrawLineInfo& d = data.DrawItems()[data.FirstLinePiece(itemNo)];
    return QPoint(d.Left + d.Width / 2, d.Top + d.Height / 2 - t.Window->rve->ScrollYPixels());
}

void MoveMouse(QWidget* view, QPoint to)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
}

/// "Besuchen Sie " + the link "unsere Seite" to target + " heute", made through the engine.
void LinkDocument(TTestWindow& t, const std::string& target)
{
    t.Type("Besuchen Sie unsere Seite heute");
    t.Editor().SetSelection({0, 14}, {0, 26});
    t.Editor().ApplyHyperlink(tcHyperlink, target);
    t.Editor().SetCaretDocPos({0, 1});
}

} // namespace

class THyperlinkCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void ALinkMadeInTheDialogIsSavedAsRvfAndRtf()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        t.Type("Besuchen Sie unsere Seite heute");
        QVERIFY(!w.mitHyperlinkEdit->isEnabled());
        QVERIFY(!w.mitHyperlinkRemove->isEnabled());
        t.Editor().SetSelection({0, 14}, {0, 26});
        QVERIFY(w.mitHyperlinkEdit->isEnabled());
        QVERIFY(w.mitHyperlinkRemove->isEnabled());

        const std::string target = "https://www.beispiel.de/seite?x=1&y=ä";
        // What the dialog showed is checked once it is closed, so that a failure cannot leave it open.
        bool shown = false;
        QStringList texts;
        QRect window, own;
        bool okDefault = false;
        WhenModal<TTxTHyper>([&](TTxTHyper* dialog) {
            shown = true;
            texts = {dialog->windowTitle(),         dialog->lblLink->text(),  dialog->lblLinkText->text(),
                     dialog->lblExplanation->text(), dialog->btnOk->text(),    dialog->btnCancel->text(),
                     dialog->lblSelText->text(),     dialog->edtLink->text()};
            okDefault = dialog->btnOk->isDefault();
            window = w.frameGeometry();
            own = dialog->frameGeometry();
            dialog->edtLink->setText(QString::fromStdString(target));
            QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
        });
        w.mitHyperlinkEdit->trigger();
        QVERIFY(shown);
        QCOMPARE(texts, (QStringList{QStringLiteral("Hyperlink..."), QStringLiteral("Link:"), QStringLiteral("Link Text"),
                                     QString::fromUtf8("Bitte Ziel eingeben oder löschen Sie die Eingabezeile um das "
                                                       "Hyperlink zu löschen."),
                                     QStringLiteral("OK"), QStringLiteral("Abbrechen"), QStringLiteral("unsere Seite"),
                                     // No target yet: the field is empty, not "http://".
                                     QString()}));
        QVERIFY(okDefault);
        // 10 pixels below the window's top edge, centred over it.
        QCOMPARE(own.top(), window.top() + 10);
        QVERIFY2(std::abs(own.center().x() - window.center().x()) <= 1,
                 qPrintable(QStringLiteral("%1 %2").arg(own.center().x()).arg(window.center().x())));
        const int link = ItemWithText(t.Data(), "unsere Seite");
        QVERIFY(link >= 0);
        const TRVStyle& sheet = w.Document().RStyle;
        QVERIFY(sheet.TextStyles[t.Data().ActualStyleOf(link)].Jump);
        QCOMPARE(t.Data().ItemAt(link).Tag.str(), target);

        // Saved and read back, in both formats the link keeps its text, its jump style and its target.
        for (const char* name : {"link.rvf", "link.rtf"}) {
            const fs::path path = t.Work / name;
            t.Session().WriteDocument(path);
            TRVStyle readSheet;
            TCustomRVData read(&readSheet);
            TRVDocumentInfo info;
            QVERIFY2(LoadDocumentFile(path, readSheet, read, info).Ok, name);
            const int item = ItemWithText(read, "unsere Seite");
            QVERIFY2(item >= 0, name);
            QCOMPARE(read.ItemAt(item).Tag.str(), target);
            QVERIFY2(readSheet.TextStyles[read.ActualStyleOf(item)].Jump, name);
            QVERIFY2(IsHyperlinkItem(readSheet, read, item), name);
            QVERIFY2(!IsHyperlinkItem(readSheet, read, ItemWithText(read, " heute")), name);
        }

        // Part of the link selected: the dialog shows the whole link and its target; Cancel
        // changes nothing.
        t.Editor().SetSelection({link, 3}, {link, 5});
        const std::string before = t.Window->Document().Editor.SelectedTextUtf8();
        QCOMPARE(before, std::string("se"));
        WhenModal<TTxTHyper>([&](TTxTHyper* dialog) {
            texts = {dialog->edtLink->text(), dialog->lblSelText->text()};
            dialog->edtLink->clear();
            QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
        });
        w.mitHyperlinkEdit->trigger();
        QCOMPARE(texts, (QStringList{QString::fromStdString(target), QStringLiteral("unsere Seite")}));
        QCOMPARE(t.Data().ItemAt(link).Tag.str(), target);

        // Clearing the field and OK takes the link away as "Hyperlink entfernen" does.
        WhenModal<TTxTHyper>([&](TTxTHyper* dialog) {
            dialog->edtLink->clear();
            QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
        });
        w.mitHyperlinkEdit->trigger();
        QVERIFY(!IsHyperlinkItem(sheet, t.Data(), link));
        QVERIFY(!sheet.TextStyles[t.Data().ActualStyleOf(link)].Jump);
        QVERIFY(t.Data().ItemAt(link).Tag.empty());
    }

    void RemovingALinkIsUndoneInTwoSteps()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        LinkDocument(t, "https://a.de");
        const TRVStyle& sheet = w.Document().RStyle;
        const int link = ItemWithText(t.Data(), "unsere Seite");
        t.Editor().SetSelection({link, 2}, {link, 4});
        w.mitHyperlinkRemove->trigger();
        QVERIFY(!IsHyperlinkItem(sheet, t.Data(), ItemWithText(t.Data(), "unsere Seite")));
        QVERIFY(w.mitUndo->isEnabled());
        // First the tags come back, then the style.
        w.mitUndo->trigger();
        int item = ItemWithText(t.Data(), "unsere Seite");
        QCOMPARE(t.Data().ItemAt(item).Tag.str(), std::string("https://a.de"));
        QVERIFY(!sheet.TextStyles[t.Data().ActualStyleOf(item)].Jump);
        w.mitUndo->trigger();
        item = ItemWithText(t.Data(), "unsere Seite");
        QVERIFY(IsHyperlinkItem(sheet, t.Data(), item));
    }

    void TheCommandsNeedASelectionInAnEditorThatMayChange()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        t.Type("Text");
        t.Editor().SetSelection({0, 1}, {0, 3});
        QVERIFY(w.mitHyperlinkEdit->isEnabled());
        t.Editor().SetCaretDocPos({0, 2});
        QVERIFY(!w.mitHyperlinkEdit->isEnabled());
        QVERIFY(!w.mitHyperlinkRemove->isEnabled());
        t.Editor().ReadOnly = true;
        t.Editor().SetSelection({0, 1}, {0, 3});
        QVERIFY(!w.mitHyperlinkEdit->isEnabled());
        QVERIFY(!w.mitHyperlinkRemove->isEnabled());
        t.Editor().ReadOnly = false;
    }

    void SpaceAtTheEndOfALinkIsPlainInTheMiddleItIsLink()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = t.Window->rve;
        t.Type("Siehe Link");
        t.Editor().SetSelection({0, 7}, {0, 11});
        t.Editor().ApplyHyperlink(tcHyperlink, "https://a.de");
        const TRVStyle& sheet = t.Window->Document().RStyle;
        const int link = ItemWithText(t.Data(), "Link");
        QVERIFY(link > 0);

        t.Editor().SetCaretDocPos({link, 5});
        rve->setFocus();
        QTest::keyClick(rve, Qt::Key_Space);
        QTest::keyClicks(rve, QStringLiteral("weiter"));
        const int after = ItemWithText(t.Data(), " weiter");
        QVERIFY(after > link);
        QVERIFY(!sheet.TextStyles[t.Data().ActualStyleOf(after)].Jump);
        QVERIFY(t.Data().ItemAt(after).Tag.empty());

        t.Editor().SetCaretDocPos({link, 3});
        QTest::keyClick(rve, Qt::Key_Space);
        QCOMPARE(t.Data().TextAt(link), std::string("Li nk"));
        QVERIFY(IsHyperlinkItem(sheet, t.Data(), link));
    }

    void TheHintNamesTheTargetOverALink()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        LinkDocument(t, "https://a.de");
        QWidget* view = w.rve->viewport();
        MoveMouse(view, ViewPointIn(t, ItemWithText(t.Data(), "unsere Seite")));
        const QString hint = QString::fromUtf8("Strg + klick um URL https://a.de auszuführen");
        QCOMPARE(w.rve->statusTip(), hint);
        QCOMPARE(view->toolTip(), hint);
        QCOMPARE(w.HintText(), hint);
        QCOMPARE(view->cursor().shape(), Qt::PointingHandCursor);
        MoveMouse(view, ViewPointIn(t, ItemWithText(t.Data(), " heute")));
        QCOMPARE(w.rve->statusTip(), QString::fromUtf8(EditorHint.data(), qsizetype(EditorHint.size())));
        QCOMPARE(w.HintText(), w.rve->statusTip());

        // A target that looks like markup is shown as the text it is.
        const int link = ItemWithText(t.Data(), "unsere Seite");
        t.Data().ItemAt(link).Tag = "<b>fett</b>";
        MoveMouse(view, ViewPointIn(t, link));
        QCOMPARE(w.HintText(), QString::fromUtf8("Strg + klick um URL <b>fett</b> auszuführen"));
        QCOMPARE(w.StatusPanel1->textFormat(), Qt::PlainText);
        QVERIFY(view->toolTip().contains(QStringLiteral("&lt;b&gt;fett&lt;/b&gt;")));
    }

    void CtrlClickHandsOnlySafeTargetsToTheDesktop()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        TUrlRecorder desktop;
        // A script that leaves a marker when anything runs it, and a launcher that would run it.
        const fs::path marker = t.Work / "marker";
        const std::string script = "#!/bin/sh\ntouch '" + marker.string() + "'\n";
        WriteBytes(t.Work / "run.sh", script);
        fs::permissions(t.Work / "run.sh", fs::perms::owner_all);
        WriteBytes(t.Work / "start.desktop", "[Desktop Entry]\nType=Application\nName=x\nExec=" +
                                                 (t.Work / "run.sh").string() + "\n");
        WriteBytes(t.Work / "Preise.txt", "Preise");
        fs::permissions(t.Work / "Preise.txt", fs::perms::owner_read | fs::perms::owner_write);

        LinkDocument(t, "https://a.de");
        const int link = ItemWithText(t.Data(), "unsere Seite");
        QWidget* view = w.rve->viewport();
        const QPoint at = ViewPointIn(t, link);

        // A plain click only places the caret.
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        QVERIFY(desktop.Opened.isEmpty());
        QCOMPARE(t.Data().CaretItemNo(), link);

        const std::vector<std::string> refused{
            "javascript:alert(1)",
            "file://" + (t.Work / "run.sh").string(),
            "file://" + (t.Work / "start.desktop").string(),
            "start.desktop",
            "; sh " + (t.Work / "run.sh").string(),
            "$(" + (t.Work / "run.sh").string() + ")",
            "`" + (t.Work / "run.sh").string() + "`",
        };
        for (const std::string& target : refused) {
            t.Data().ItemAt(link).Tag = target;
            QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at);
            QVERIFY2(desktop.Opened.isEmpty(), target.c_str());
        }
        QVERIFY(!fs::exists(marker));

        // An address goes on unchanged; a document as the file URL of its full path.
        t.Data().ItemAt(link).Tag = "https://www.beispiel.de/a?b=1";
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(desktop.Opened, QStringList{QStringLiteral("https://www.beispiel.de/a?b=1")});
        t.Data().ItemAt(link).Tag = "Preise.txt";
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(desktop.Opened.size(), 2);
        QCOMPARE(desktop.Opened.back(),
                 QUrl::fromLocalFile(QString::fromStdString(fs::canonical(t.Work / "Preise.txt").string()))
                     .toString(QUrl::FullyEncoded));
        QVERIFY(!fs::exists(marker));
    }

    void ADroppedLinkBecomesALink()
    {
        TTestWindow t;
        t.Type("Anfang ");
        t.Editor().AcceptDragDropFormats.Include(rvddURL);
        TMemoryClipboard data;
        data.Content().Url = "https://example.org/preise";
        const TRVEditRVData& d = t.Data();
        const TRVDrawLineInfo& last = d.DrawItems()[d.DrawItems().Count() - 1];
        QVERIFY(!t.Editor().Drop(data, {rvdeCopy}, {}, last.Left + last.Width + 1, last.Top + 2).Empty());
        const int link = ItemWithText(d, "https://example.org/preise");
        QVERIFY(link >= 0);
        QVERIFY(IsHyperlinkItem(t.Window->Document().RStyle, d, link));
        QCOMPARE(d.ItemAt(link).Tag.str(), std::string("https://example.org/preise"));
    }
};

XQ_APP_TEST(THyperlinkCommandsTest);

} // namespace xq::test

#include "HyperlinkCommandsTest.moc"

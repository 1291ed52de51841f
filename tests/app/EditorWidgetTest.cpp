// The editor's window driven as a user drives it: keys and typed text (umlauts, input methods), Enter and
// Backspace, the mouse selecting (with the selection timer scrolling), undo and redo through the menu
// with the controls and the modified notice following, the caret, and errors of an edit told in German.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "document/ItemInfo.h"
#include "tools/AutoTextStore.h"
#include "platform/DocViewError.h"

namespace xq::test {

namespace {

/// A shown window whose editor has the keyboard focus.
TDocViewEditWidget* FocusEditor(TTestWindow& t)
{
    QApplication::setActiveWindow(t.Window.get());
    t.Window->rve->setFocus();
    QCoreApplication::processEvents();
    return t.Window->rve;
}

void SendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), to->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

/// Where the caret stands at a document position, in viewport coordinates (the middle of its line);
/// the caret is left there.
QPoint ViewPointOf(TTestWindow& t, TRVDocPos pos)
{
    TDocViewEdit& edit = t.Editor();
    edit.SetCaretDocPos(pos);
    const TRVCaretRect rect = edit.GetCaretRect();
    return {rect.X, rect.Top + rect.Height / 2 - t.Data().ScrollY};
}

std::string Selection(TTestWindow& t)
{
    TRVDocPos first, last;
    if (!t.Editor().GetOrderedSelectionDoc(first, last))
        return "none";
    return std::to_string(first.ItemNo) + ":" + std::to_string(first.Offset) + "-" + std::to_string(last.ItemNo) +
           ":" + std::to_string(last.Offset);
}

} // namespace

class TEditorWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void TypingUmlautsKeysAndInputMethods()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        // The keys of a German keyboard (QTest's keyClicks knows ASCII only).
        const std::pair<Qt::Key, QString> umlauts[] = {{Qt::Key_Adiaeresis, QStringLiteral("ä")},
                                                       {Qt::Key_Odiaeresis, QStringLiteral("ö")},
                                                       {Qt::Key_Udiaeresis, QStringLiteral("ü")},
                                                       {Qt::Key_ssharp, QStringLiteral("ß")}};
        for (const auto& [key, text] : umlauts)
            QTest::sendKeyEvent(QTest::Click, rve, key, text, Qt::NoModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{QStringLiteral("äöüß")});

        // A dead key composes in the input method; only what it commits is typed.
        QInputMethodEvent composing(QStringLiteral("´"), {});
        QApplication::sendEvent(rve, &composing);
        QCOMPARE(Paragraphs(t.Data()), QStringList{QStringLiteral("äöüß")});
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("é"));
        QApplication::sendEvent(rve, &committed);
        // A character the 8-bit text cannot hold is typed as a question mark.
        QInputMethodEvent ime;
        ime.setCommitString(QStringLiteral("Ŝ"));
        QApplication::sendEvent(rve, &ime);
        QCOMPARE(Paragraphs(t.Data()), QStringList{QStringLiteral("äöüßé?")});
        QCOMPARE(t.Editor().CaretDocPos(), (TRVDocPos{0, 7}));
        // The input method places its window at the caret.
        const QRectF caret = rve->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
        QCOMPARE(caret.toRect(), rve->CaretViewRect().translated(rve->viewport()->pos()));

        // Ctrl or Alt alone make commands, not characters; both together are AltGr and type.
        QTest::keyClick(rve, 'b', Qt::ControlModifier);
        QTest::keyClick(rve, 'b', Qt::AltModifier);
        QTest::keyClick(rve, '@', Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{QStringLiteral("äöüßé?@")});
        QCOMPARE(t.Window->ModifiedNoticeText(), QStringLiteral("  Autotext wurde geändert"));
    }

    void EnterBackspaceDeleteAndMovingKeys()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("ab"));
        QTest::keyClick(rve, Qt::Key_Return);
        QTest::keyClicks(rve, QStringLiteral("cd"));
        QTest::keyClick(rve, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(rve, QStringLiteral("e"));
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"ab", "cd/e"}));

        QTest::keyClick(rve, Qt::Key_Backspace);
        QTest::keyClick(rve, Qt::Key_Backspace);
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"ab", "cd"}));
        QTest::keyClicks(rve, QStringLiteral(" Wort"));
        QTest::keyClick(rve, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"ab", "cd "}));

        // Ctrl+Home to the document start, Delete the character after the caret.
        QTest::keyClick(rve, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(rve, Qt::Key_Delete);
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"b", "cd "}));
        // End, then Delete at the paragraph's end joins the next one.
        QTest::keyClick(rve, Qt::Key_End);
        QTest::keyClick(rve, Qt::Key_Delete);
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"bcd "}));

        // Shift and Ctrl reach the engine with the key.
        QTest::keyClick(rve, Qt::Key_Home);
        QTest::keyClick(rve, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(Selection(t), std::string("0:1-0:5"));
        QTest::keyClick(rve, Qt::Key_Left);
        QCOMPARE(Selection(t), std::string("none"));
    }

    void AnEditorThatWantsNoReturnsSwallowsEnterAndBeeps()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        int beeps = 0;
        t.Editor().OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
        QTest::keyClicks(rve, QStringLiteral("ab"));
        t.Editor().EditorOptions.Include(rvoDoNotWantReturns);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(rve, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(beeps, 1);
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"ab"}));
        t.Editor().EditorOptions.Exclude(rvoDoNotWantReturns);
        QKeyEvent again(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(rve, &again);
        QCOMPARE(beeps, 1);
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"ab", ""}));
    }

    void UndoAndRedoThroughTheMenuWithTheirControls()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        TDocViewEditWidget* rve = FocusEditor(t);
        QVERIFY(!window.mitUndo->isEnabled() && !window.btnUndo->isEnabled());
        QVERIFY(!window.mitRedo->isEnabled() && !window.btnRedo->isEnabled());
        QVERIFY(window.ModifiedNoticeText().isEmpty());

        QTest::keyClicks(rve, QStringLiteral("Hi"));
        QVERIFY(window.mitUndo->isEnabled() && window.btnUndo->isEnabled());
        QVERIFY(!window.mitRedo->isEnabled());
        QCOMPARE(window.ModifiedNoticeText(), QStringLiteral("  Autotext wurde geändert"));
        QVERIFY(t.Run().Modified);

        // Typing is taken back a character at a time; undone to the empty document it is not modified
        // any more, and only redo is left.
        window.mitUndo->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{"H"});
        QVERIFY(window.mitRedo->isEnabled() && window.btnRedo->isEnabled());
        QVERIFY(t.Run().Modified);
        window.btnUndo->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString()});
        QVERIFY(window.ModifiedNoticeText().isEmpty());
        QVERIFY(!t.Run().Modified);
        QVERIFY(!window.mitUndo->isEnabled() && !window.btnUndo->isEnabled());
        QVERIFY(window.mitRedo->isEnabled() && window.btnRedo->isEnabled());
        QVERIFY(rve->hasFocus());

        window.btnRedo->trigger();
        window.mitRedo->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{"Hi"});
        QCOMPARE(window.ModifiedNoticeText(), QStringLiteral("  Autotext wurde geändert"));
        QVERIFY(window.mitUndo->isEnabled() && !window.mitRedo->isEnabled());

        // The menu's shortcuts reach the same commands from the editor.
        QTest::keyClick(rve, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"H"});
        QTest::keyClick(rve, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"Hi"});

        // A new document forgets what could be undone.
        t.Boxes.Answers.push_back(TMsgAnswer::No);
        window.mitNew->trigger();
        QVERIFY(!window.mitUndo->isEnabled() && !window.mitRedo->isEnabled());
        QVERIFY(!t.Editor().Modified());
    }

    void DeletingAndReplacingTheSelection()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("eins zwei"));
        QVERIFY(!window.mitDelete->isEnabled());
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(rve, Qt::Key_Left, Qt::ShiftModifier);
        QVERIFY(window.mitDelete->isEnabled());
        QTest::keyClick(rve, Qt::Key_Backspace);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"eins "});
        QVERIFY(!window.mitDelete->isEnabled());

        QTest::keyClick(rve, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(rve, Qt::Key_Delete);
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString()});

        // Typing replaces the selection.
        QTest::keyClicks(rve, QStringLiteral("drei"));
        QTest::keyClick(rve, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClicks(rve, QStringLiteral("Y"));
        QCOMPARE(Paragraphs(t.Data()), QStringList{"dreY"});

        window.mitSelectAll->trigger();
        QVERIFY(window.mitDelete->isEnabled());
        window.mitDelete->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{QString()});
        QVERIFY(!window.mitDelete->isEnabled());
        window.mitUndo->trigger();
        QCOMPARE(Paragraphs(t.Data()), QStringList{"dreY"});
    }

    void TabTypesATabAndPageBreaksComeAndGo()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("a"));
        QTest::keyClick(rve, Qt::Key_Tab);
        QTest::keyClicks(rve, QStringLiteral("b"));
        // The editor keeps the focus and the tab is an item of its own, in the typed text's style.
        QVERIFY(rve->hasFocus());
        QCOMPARE(t.Data().Count(), 3);
        QCOMPARE(t.Data().ItemAt(1).StyleNo, rvsTab);
        QCOMPARE(static_cast<const TRVTabItemInfo&>(t.Data().ItemAt(1)).TextStyleNo, 0);

        QTest::keyClick(rve, Qt::Key_Return);
        QTest::keyClicks(rve, QStringLiteral("c"));
        QTest::keyClick(rve, Qt::Key_Home);
        window.mitInsertPageBreak->trigger();
        QCOMPARE(Paragraphs(t.Data()), (QStringList{"ab", "c"}));
        QVERIFY(t.Data().ItemAt(3).NewPageBefore());
        QVERIFY(window.mitUndo->isEnabled());
        window.mitRemovePageBreak->trigger();
        QVERIFY(!t.Data().ItemAt(3).NewPageBefore());
        QVERIFY(rve->hasFocus());
    }

    void ShiftTabStaysInTheEditor()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("ab"));
        const int paraNo = t.Data().ParaOf(0);

        // Qt sends Shift+Tab as Backtab, with Shift held or (on some platforms) without; either way
        // the engine hears Tab with Shift, which types nothing, and the focus stays. The next letter
        // goes where the focus is: into the text, not into a toolbar box ("z" would pick "Zentriert").
        for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers()}) {
            QTest::keyClick(rve, Qt::Key_Backtab, modifiers);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(rve));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("z"));
        }
        // Shift with the Tab key itself, as a platform may send it, stays as well.
        QTest::keyClick(rve, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(rve));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("y"));
        QCOMPARE(Paragraphs(t.Data()), QStringList{"abzzy"});
        QCOMPARE(t.Data().Count(), 1);
        QCOMPARE(t.Data().ParaOf(0), paraNo);
        QCOMPARE(window.cmbPara->currentIndex(), 0);
        QVERIFY(window.btnAlign[0]->isChecked());
        QCOMPARE(RVKeyOf(Qt::Key_Backtab), rvkTab);

        // Without tabs of its own the editor hands Tab and Shift+Tab to the window's focus chain.
        t.Editor().EditorOptions.Exclude(rvoWantTabs);
        QTest::keyClick(rve, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() != rve);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"abzzy"});
        t.Editor().EditorOptions.Include(rvoWantTabs);
    }

    void StartModeOneInsertsTheChosenEntry()
    {
        TTestWindow t({"x.doc", "1"}, [](TTestWindow& w) {
            w.Outcomes.push_back({AutoTextModeInsert, w.Work / "AText" / "MfG.xtb", false, false, {}});
        });
        QVERIFY(WaitFor([&] { return !t.DialogModes.empty(); }));
        QCOMPARE(t.DialogModes, std::vector<int>{AutoTextModeInsert});
        QCOMPARE(t.Window->windowTitle(), QStringLiteral(" Quarnel Autotext - Autotexte einfügen"));
        const auto [count, lastText] = LoadedContent(t.Work / "AText" / "MfG.xtb");
        QVERIFY(count > 0);
        QCOMPARE(t.Data().TextAt(t.Data().Count() - 1), lastText);
        QVERIFY(t.Run().Modified);
        QVERIFY(t.Window->mitUndo->isEnabled());
        QVERIFY(t.Boxes.Asked.empty());
    }

    void InsertedEntryKeepsTheViewWhereItWas()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        for (int i = 1; i <= 100; ++i)
            t.Data().AppendText("Zeile " + std::to_string(i), 0, 0);
        t.Session().PrepareLoadedDocument();
        rve->verticalScrollBar()->setValue(30);
        const std::int32_t scroll = t.Data().ScrollY;
        const QPoint click(40, 60);
        SendMouse(rve->viewport(), QEvent::MouseButtonPress, click, Qt::LeftButton, Qt::LeftButton);
        SendMouse(rve->viewport(), QEvent::MouseButtonRelease, click, Qt::LeftButton, Qt::NoButton);
        const int items = t.Data().Count();
        t.Session().InsertEntry(t.Work / "AText" / "Anlagen.xtb");
        QVERIFY(t.Data().Count() > items);
        QCOMPARE(t.Data().ScrollY, scroll);
        QCOMPARE(rve->ScrollYPixels(), scroll);
        QVERIFY(t.Boxes.Asked.empty());

        // An entry that cannot be read changes nothing and is told.
        t.Session().InsertEntry(t.Work / "AText" / "Fehlt.xtb");
        QCOMPARE(t.Boxes.Texts(), std::vector<std::string>{"Es konnten nicht alle Formatierungen des Dokuments gelesen werden!"});
        QCOMPARE(t.Data().ScrollY, scroll);
    }

    void SelectAllAndSelectWordFromTheMenu()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("Guten Morgen"));
        QTest::keyClick(rve, Qt::Key_Left);
        t.Window->mitSelectWord->trigger();
        QCOMPARE(Selection(t), std::string("0:7-0:13"));
        t.Window->mitSelectAll->trigger();
        QCOMPARE(Selection(t), std::string("0:1-0:13"));
        QVERIFY(rve->hasFocus());
    }

    void MouseSelectsInDocumentCoordinates()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QWidget* view = rve->viewport();
        QTest::keyClicks(rve, QStringLiteral("Hallo Welt und mehr"));

        // Within one word the selection goes by characters.
        const QPoint a = ViewPointOf(t, {0, 2});
        const QPoint b = ViewPointOf(t, {0, 4});
        SendMouse(view, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(Selection(t), std::string("0:2-0:4"));
        QVERIFY(!rve->SelectionTimerActive());

        // Into the next word, both words are selected whole.
        const QPoint c = ViewPointOf(t, {0, 9});
        SendMouse(view, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseMove, c, Qt::NoButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, c, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(Selection(t), std::string("0:1-0:11"));

        // A double click selects the word under the pointer.
        QTest::mouseDClick(view, Qt::LeftButton, {}, ViewPointOf(t, {0, 13}));
        QCOMPARE(Selection(t), std::string("0:12-0:15"));
    }

    void TheLeftMarginShowsTheLineSelectCursorAndAClickThereSelectsTheLine()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QWidget* view = rve->viewport();
        QTest::keyClicks(rve, QStringLiteral("eins"));
        QTest::keyClick(rve, Qt::Key_Return);
        QTest::keyClicks(rve, QStringLiteral("zwei drei"));
        QVERIFY(t.Data().LeftMargin >= 3);
        const int lineY = ViewPointOf(t, {1, 3}).y();
        const QPoint margin(1, lineY);

        SendMouse(view, QEvent::MouseMove, margin, Qt::NoButton, Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(view->cursor().hotSpot(), QPoint(11, 0));
        QVERIFY(!view->cursor().pixmap().isNull());
        SendMouse(view, QEvent::MouseMove, ViewPointOf(t, {1, 3}), Qt::NoButton, Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::IBeamCursor);

        SendMouse(view, QEvent::MouseButtonPress, margin, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, margin, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(Selection(t), std::string("1:1-1:10"));

        // A style sheet without a line-select cursor has no line selection in the margin.
        t.Editor().GetRVStyle()->LineSelectCursor = -1;
        SendMouse(view, QEvent::MouseMove, margin, Qt::NoButton, Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::IBeamCursor);
        SendMouse(view, QEvent::MouseButtonPress, margin, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, margin, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(Selection(t), std::string("none"));
        t.Editor().GetRVStyle()->LineSelectCursor = crRVFlipArrow;
    }

    void PictureHandlesShowSizeCursorsAndResizeTheSelectedPicture()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QWidget* view = rve->viewport();
        QTest::keyClicks(rve, QStringLiteral("Bild "));
        auto picture = std::make_unique<TRVGraphicItemInfo>();
        picture->ImageWidth = 80;
        picture->ImageHeight = 40;
        picture->Spacing = 0;
        QVERIFY(t.Editor().InsertItemAtCaret("", std::move(picture)));
        int item = 0;
        while (item < t.Data().Count() && t.Data().ItemAt(item).StyleNo != rvsPicture)
            ++item;
        QVERIFY(item < t.Data().Count());
        t.Editor().SetSelection({item, 0}, {item, 1});
        TRect frame;
        QVERIFY(t.Editor().ResizeFrame(frame));
        // The bottom-right handle, in viewport coordinates.
        const QPoint handle(frame.Right + 2, frame.Bottom + 2 - t.Data().ScrollY);
        SendMouse(view, QEvent::MouseMove, handle, Qt::NoButton, Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::SizeFDiagCursor);
        SendMouse(view, QEvent::MouseMove, handle + QPoint(0, 60), Qt::NoButton, Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::IBeamCursor);

        SendMouse(view, QEvent::MouseButtonPress, handle, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseMove, handle + QPoint(80, 0), Qt::NoButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, handle + QPoint(80, 0), Qt::LeftButton, Qt::NoButton);
        const auto& resized = static_cast<const TRVGraphicItemInfo&>(t.Data().ItemAt(item));
        QCOMPARE(resized.ImageWidth, 160);
        QCOMPARE(resized.ImageHeight, 80);
        QVERIFY(t.Window->mitUndo->isEnabled());
        t.Window->mitUndo->trigger();
        QCOMPARE(static_cast<const TRVGraphicItemInfo&>(t.Data().ItemAt(item)).ImageWidth, 80);
    }

    void MouseInAScrolledViewAndTheSelectionTimer()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QWidget* view = rve->viewport();
        for (int i = 1; i <= 80; ++i)
            t.Data().AppendText("Zeile " + std::to_string(i), 0, 0);
        t.Session().PrepareLoadedDocument();
        QVERIFY(rve->verticalScrollBar()->maximum() > 40);

        // A click in a scrolled view lands on the line shown there.
        rve->verticalScrollBar()->setValue(20);
        const std::int32_t scrollY = t.Data().ScrollY;
        QVERIFY(scrollY > 0);
        const QPoint click(30, 40);
        SendMouse(view, QEvent::MouseButtonPress, click, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, click, Qt::LeftButton, Qt::NoButton);
        const TRVDrawLines& lines = t.Data().DrawItems();
        int expected = -1;
        for (int i = 0; i < lines.Count(); ++i)
            if (lines[i].Top <= click.y() + scrollY && click.y() + scrollY < lines[i].Bottom())
                expected = lines[i].ItemNo;
        QVERIFY(expected > 0);
        QCOMPARE(t.Editor().CaretDocPos().ItemNo, expected);

        // Held 30 pixels below the window, the view scrolls 10 units a tick and the selection follows.
        rve->verticalScrollBar()->setValue(0);
        const QPoint top = ViewPointOf(t, {0, 1});
        const QPoint below(30, view->height() + 30);
        SendMouse(view, QEvent::MouseButtonPress, top, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseMove, below, Qt::NoButton, Qt::LeftButton);
        QVERIFY(rve->SelectionTimerActive());
        const int before = t.Editor().CaretDocPos().ItemNo;
        QVERIFY(WaitFor([&] { return rve->verticalScrollBar()->value() >= 20; }, 1000));
        QCOMPARE(rve->verticalScrollBar()->value() % 10, 0);
        QCOMPARE(t.Data().ScrollY, rve->ScrollYPixels());
        QVERIFY(t.Editor().CaretDocPos().ItemNo > before);
        SendMouse(view, QEvent::MouseButtonRelease, below, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!rve->SelectionTimerActive());
        TRVDocPos first, last;
        QVERIFY(t.Editor().GetOrderedSelectionDoc(first, last));
        QCOMPARE(first, (TRVDocPos{0, 1}));
    }

    void CaretFollowsTheFocus()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("Abc"));
        QVERIFY(rve->CaretVisible());
        const TRVCaretRect caret = t.Editor().GetCaretRect();
        const QRect shown = rve->CaretViewRect();
        QCOMPARE(shown.left(), caret.X);
        QCOMPARE(shown.top(), caret.Top);
        QCOMPARE(shown.height(), caret.Height);
        // The caret inverts the white page under it.
        const QPoint middle = shown.center();
        QVERIFY(qGray(view(rve).pixel(middle)) < 64);

        rve->clearFocus();
        QCoreApplication::processEvents();
        QVERIFY(!rve->CaretVisible());
        QVERIFY(qGray(view(rve).pixel(middle)) > 192);
    }

    void ErrorsOfAnEditAreToldAndTheProgramGoesOn()
    {
        TTestWindow t;
        TDocViewEditWidget* rve = FocusEditor(t);
        QTest::keyClicks(rve, QStringLiteral("ok"));
        t.Editor().OnChanging = [](TCustomDocViewEdit&, bool&) { throw EDocViewError("Item index is out of bounds"); };
        QTest::keyClick(rve, Qt::Key_X);
        QTest::keyClick(rve, Qt::Key_Return);
        QCOMPARE(t.Boxes.Asked.size(), std::size_t(2));
        QCOMPARE(t.Boxes.Asked[0].Text,
                 std::string("Der Bearbeitungsschritt konnte nicht ausgeführt werden: Item index is out of bounds"));
        QCOMPARE(t.Boxes.Asked[0].Caption, std::string("Fehler"));
        QVERIFY(t.Boxes.Asked[0].Icon == TMsgIcon::Error);
        QCOMPARE(Paragraphs(t.Data()), QStringList{"ok"});

        // The same for a command of the menu, here failing as it reports its change; afterwards editing
        // goes on.
        t.Editor().OnChanging = nullptr;
        const TRVNotifyEvent onChange = t.Editor().OnChange;
        t.Editor().OnChange = [onChange](TCustomDocViewEdit& sender) {
            onChange(sender);
            throw EDocViewError("Invalid caret position");
        };
        t.Window->mitUndo->trigger();
        QCOMPARE(t.Boxes.Asked.size(), std::size_t(3));
        QCOMPARE(t.Boxes.Asked[2].Text,
                 std::string("Der Bearbeitungsschritt konnte nicht ausgeführt werden: Invalid caret position"));
        t.Editor().OnChange = onChange;
        QTest::keyClicks(rve, QStringLiteral("!"));
        QCOMPARE(Paragraphs(t.Data()).size(), 1);
        QVERIFY(Paragraphs(t.Data())[0].endsWith(QLatin1Char('!')));
    }

private:
    static QImage view(TDocViewEditWidget* rve) { return rve->viewport()->grab().toImage(); }
};

XQ_APP_TEST(TEditorWidgetTest);

} // namespace xq::test

#include "EditorWidgetTest.moc"

// Drag and drop in the window: the selection dragged with the mouse and dropped on the view (the
// platform's drag loop answered by the test, which sends the drag events the platform would), files
// dropped from a file manager, the drop caret and the auto-scroll near the edges.
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <fstream>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"

namespace xq::test {

namespace {

/// Where the caret stands at pos, in the viewport.
QPoint ViewPointOf(TTestWindow& t, TRVDocPos pos)
{
    TRVEditRVData& data = t.Data();
    const TRVCaretRect bar = data.StopRect(data.DrawPosOf(pos, TRVLineBoundary::LineStart));
    return QPoint(bar.X, bar.Top + bar.Height / 2 - data.ScrollY);
}

void MoveWithButton(QWidget* view, QPoint to)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
}

/// Sends a drag of data over view to at and drops it there, as the platform does; the action the
/// view took, Qt::IgnoreAction when it refused.
Qt::DropAction DragTo(QWidget* view, const QMimeData* data, QPoint at, Qt::DropActions actions,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view, &move);
    QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

} // namespace

class TDragDropTest : public QObject {
    Q_OBJECT

private slots:
    void ADraggedSelectionMovesAsOneUndoStepOrCopiesWithCtrl()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Sehr geehrte Damen und Herren");
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 6}, {0, 14}); }); // "geehrte "
        const std::string before = t.Rvf();
        QWidget* view = window.rve->viewport();
        const QPoint press = ViewPointOf(t, {0, 9});
        const QPoint target = ViewPointOf(t, {0, 30});

        Qt::KeyboardModifiers held = Qt::NoModifier;
        bool caretShown = false;
        window.rve->RunDrag = [&](QDrag& drag) {
            // While the drag is over the view the drop caret follows it.
            QDragEnterEvent enter(target, Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton, held);
            QApplication::sendEvent(view, &enter);
            TRVCaretRect caret;
            caretShown = t.Editor().DropCaret(caret);
            return DragTo(view, drag.mimeData(), target, Qt::CopyAction | Qt::MoveAction, held);
        };
        QTest::mousePress(view, Qt::LeftButton, {}, press);
        QVERIFY(t.Editor().DragPending());
        MoveWithButton(view, press + QPoint(2, 0));
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Sehr geehrte Damen und Herren"));
        MoveWithButton(view, press + QPoint(QApplication::startDragDistance() + 2, 0));
        QVERIFY(caretShown);
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Sehr Damen und Herrengeehrte "));
        TRVCaretRect caret;
        QVERIFY(!t.Editor().DropCaret(caret));
        // The moved words are selected; one Undo gives the document back byte for byte.
        QVERIFY(t.Editor().SelectionExists());
        QVERIFY(window.mitUndo->isEnabled());
        window.mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // With Ctrl the words are copied.
        held = Qt::ControlModifier;
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 6}, {0, 14}); });
        QTest::mousePress(view, Qt::LeftButton, {}, press);
        MoveWithButton(view, press + QPoint(QApplication::startDragDistance() + 2, 0));
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Sehr geehrte Damen und Herrengeehrte "));

        // A drag cancelled with Escape (the platform answers nothing) changes nothing.
        window.rve->RunEdit([&] { t.Editor().SetSelection({0, 6}, {0, 14}); });
        const std::string copied = t.Rvf();
        window.rve->RunDrag = [](QDrag&) { return Qt::IgnoreAction; };
        QTest::mousePress(view, Qt::LeftButton, {}, press);
        MoveWithButton(view, press + QPoint(QApplication::startDragDistance() + 2, 0));
        QCOMPARE(t.Rvf(), copied);
    }

    void FilesFromAFileManagerDropByKind()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Anfang");
        // An RVF document saved by the editor itself.
        const std::filesystem::path rvf = t.Work / "teil.rvf";
        {
            TTestWindow other;
            other.Type("aus der Datei");
            std::ofstream(rvf, std::ios::binary) << other.Rvf();
        }
        const std::filesystem::path doc = t.Work / "brief.doc";
        std::ofstream(doc, std::ios::binary) << "\xD0\xCF\x11\xE0";
        QWidget* view = window.rve->viewport();
        const QPoint end = ViewPointOf(t, {0, 7});
        const auto files = [](const std::filesystem::path& path) {
            auto* data = new QMimeData;
            data->setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
            data->setText(QString::fromStdString(path.string()));
            return std::unique_ptr<QMimeData>(data);
        };
        const std::string before = t.Rvf();
        QCOMPARE(DragTo(view, files(doc).get(), end, Qt::CopyAction), Qt::IgnoreAction);
        QCOMPARE(t.Rvf(), before);
        QCOMPARE(DragTo(view, files(rvf).get(), end, Qt::CopyAction), Qt::CopyAction);
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Anfangaus der Datei"));
        window.mitUndo->trigger();
        QCOMPARE(t.Rvf(), before);

        // Text from a browser comes in as text; a read-only editor takes nothing.
        QMimeData html;
        html.setHtml(QStringLiteral("<b>fett</b>"));
        html.setText(QStringLiteral("fett"));
        QCOMPARE(DragTo(view, &html, end, Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
        QCOMPARE(QString::fromLatin1(t.Data().TextAt(0)), QStringLiteral("Anfangfett"));
        t.Editor().ReadOnly = true;
        QCOMPARE(DragTo(view, &html, end, Qt::CopyAction), Qt::IgnoreAction);
        t.Editor().ReadOnly = false;
    }

    void ADragNearTheBottomEdgeScrollsTheView()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        window.resize(600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int i = 0; i < 80; ++i)
            t.Type("Zeile " + std::to_string(i));
        window.rve->RunEdit([&] { t.Editor().ScrollTo(0); }, TAfterEdit::KeepView);
        QScrollBar* v = window.rve->verticalScrollBar();
        QCOMPARE(v->value(), 0);
        QWidget* view = window.rve->viewport();
        QMimeData text;
        text.setText(QStringLiteral("x"));
        const QPoint nearBottom(50, view->height() - 5);
        QDragEnterEvent enter(nearBottom, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &enter);
        QVERIFY(enter.isAccepted());
        QTest::qWait(TDocViewEditWidget::DropScrollTimerMs * 3 + 150);
        QVERIFY2(v->value() >= 2, qPrintable(QString::number(v->value())));
        // Away from the edges it stops; leaving takes the drop caret away.
        QDragMoveEvent middle(QPoint(50, view->height() / 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &middle);
        const int stopped = v->value();
        QTest::qWait(TDocViewEditWidget::DropScrollTimerMs * 2);
        QCOMPARE(v->value(), stopped);
        TRVCaretRect caret;
        QVERIFY(t.Editor().DropCaret(caret));
        QDragLeaveEvent leave;
        QApplication::sendEvent(view, &leave);
        QVERIFY(!t.Editor().DropCaret(caret));
    }
};

XQ_APP_TEST(TDragDropTest);

} // namespace xq::test

#include "DragDropTest.moc"

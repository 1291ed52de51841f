// The editor's window: Qt's keys, text, input methods and mouse handed to the engine's editor, the
// mouse-selection timer, the blinking caret, and errors of the engine told instead of ending the program.
#include "app/DocViewEditWidget.h"

#include <algorithm>
#include <exception>
#include <string>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QScrollBar>
#include <QThread>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/QtClipboard.h"

namespace xq {

TRVKey RVKeyOf(int qtKey) noexcept
{
    switch (qtKey) {
    case Qt::Key_Left: return rvkLeft;
    case Qt::Key_Right: return rvkRight;
    case Qt::Key_Up: return rvkUp;
    case Qt::Key_Down: return rvkDown;
    case Qt::Key_Home: return rvkHome;
    case Qt::Key_End: return rvkEnd;
    case Qt::Key_PageUp: return rvkPageUp;
    case Qt::Key_PageDown: return rvkPageDown;
    case Qt::Key_Backspace: return rvkBackspace;
    case Qt::Key_Delete: return rvkDelete;
    case Qt::Key_Insert: return rvkInsert;
    case Qt::Key_Return:
    case Qt::Key_Enter: return rvkReturn;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return rvkTab; // Shift+Tab, as Qt names it
    case Qt::Key_Escape: return rvkEscape;
    default: break;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<TRVKey>(rvkA + (qtKey - Qt::Key_A));
    return rvkOther;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers) noexcept
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift.Include(ssShift);
    if (modifiers & Qt::ControlModifier)
        shift.Include(ssCtrl);
    if (modifiers & Qt::AltModifier)
        shift.Include(ssAlt);
    return shift;
}

namespace {

/// A caret as wide as the platform's standard one.
constexpr int CaretWidth = 1;

TRVMouseButton ButtonOf(Qt::MouseButton button) noexcept
{
    switch (button) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

/// Tab, and Shift+Tab as Qt reports it.
bool IsTabKey(int qtKey) noexcept
{
    return qtKey == Qt::Key_Tab || qtKey == Qt::Key_Backtab;
}

/// The line-select cursor: the arrow mirrored, its tip at the top right, pointing into the line
/// beside it. Qt has no such shape, so it is drawn here: white with a black outline.
QCursor MakeLineSelectCursor()
{
    constexpr int size = 32;
    constexpr int tipX = 11;
    static constexpr QPoint arrow[] = {{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
    QPolygon mirrored;
    for (const QPoint p : arrow)
        mirrored << QPoint(tipX - p.x(), p.y());
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(mirrored);
    painter.end();
    return QCursor(pixmap, tipX, 0);
}

/// A unit of UTF-16 that types a character (not a control code). Typing replaces the selection.
bool Typeable(QChar ch) noexcept
{
    return ch.unicode() >= 0x20 && ch.unicode() != 0x7F;
}

} // namespace

TDocViewEditWidget::TDocViewEditWidget(TCustomDocViewEdit& edit, const TRVDocumentInfo& info, TMessageBoxes& boxes,
                                       QWidget* parent)
    : TDocViewWidget(edit.RVData(), info, parent), Edit_(edit), Boxes_(boxes), LineSelectCursor_(MakeLineSelectCursor())
{
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression, false);
    // Moves without a button show the resize cursors over a selected picture's handles.
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::IBeamCursor);

    // A refused edit sounds the bell when the style sheet asks for sound.
    Edit_.OnBeep = [](TCustomDocViewEdit& sender) {
        if (const TRVStyle* sheet = sender.GetRVStyle(); sheet && sheet->UseSound)
            QApplication::beep();
    };
    // The engine scrolls by itself (keys, the caret, formatting that keeps the view); formatting may
    // run beside the event loop, so the scroll bars hear of it on this thread.
    Edit_.RVData().OnScrollChanged = [this] {
        if (InEdit_)
            return;
        if (QThread::currentThread() == thread())
            SyncWithDocument();
        else
            QMetaObject::invokeMethod(this, &TDocViewEditWidget::SyncWithDocument, Qt::QueuedConnection);
    };

    const int flash = QApplication::cursorFlashTime();
    BlinkTimer_.setInterval(flash > 0 ? flash / 2 : 0);
    connect(&BlinkTimer_, &QTimer::timeout, this, [this] {
        BlinkOn_ = !BlinkOn_;
        if (HasCaret_)
            viewport()->update(CaretViewRect());
    });
    SelectionTimer_.setInterval(SelectionTimerMs);
    connect(&SelectionTimer_, &QTimer::timeout, this, &TDocViewEditWidget::SelectionTick);

    // Drops land on the document (the scroll area hands the viewport's drag events to the view).
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    DropScrollTimer_.setInterval(DropScrollTimerMs);
    connect(&DropScrollTimer_, &QTimer::timeout, this, &TDocViewEditWidget::DropScrollTick);
}

TDocViewEditWidget::~TDocViewEditWidget()
{
    Edit_.OnBeep = nullptr;
    Edit_.RVData().OnScrollChanged = nullptr;
}

bool TDocViewEditWidget::Editable() const
{
    return !Edit_.ReadOnly;
}

// --- Running edits -------------------------------------------------------------------------------------

bool TDocViewEditWidget::RunEdit(const std::function<void()>& operation, TAfterEdit after)
{
    if (Suspended())
        return false;
    bool done = true;
    InEdit_ = true;
    try {
        operation();
        if (after == TAfterEdit::ShowCaret)
            Edit_.ScrollToCaret();
        InEdit_ = false;
    } catch (const std::exception& e) {
        InEdit_ = false;
        done = false;
        // The operation is abandoned and the user told; the document stays as the engine left it.
        Boxes_.Show(std::string(EditFailedText) + e.what(), std::string(EditFailedCaption), TMsgButtons::Ok,
                    TMsgIcon::Error);
    }
    SyncWithDocument();
    return done;
}

// --- Keys and text ------------------------------------------------------------------------------------

bool TDocViewEditWidget::WantsTabs() const noexcept
{
    return Edit_.EditorOptions.Contains(rvoWantTabs);
}

bool TDocViewEditWidget::event(QEvent* event)
{
    // Tab and Shift+Tab would move the focus to the next or the previous control; the editor keeps
    // both when it takes tabs, and its key map decides what they do (keyPressEvent accepts them, so
    // that they do not travel on to the window, which would move the focus after all).
    if (event->type() == QEvent::KeyPress && WantsTabs()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsTabKey(key->key())) {
            keyPressEvent(key);
            return true;
        }
    }
    return TDocViewWidget::event(event);
}

void TDocViewEditWidget::keyPressEvent(QKeyEvent* event)
{
    if (Suspended()) {
        // Nothing reaches the engine meanwhile; a tab key stays the editor's all the same.
        event->setAccepted(IsTabKey(event->key()) && WantsTabs());
        return;
    }
    emit KeyPressing(event->key(), event->modifiers());
    // A tab key the engine did nothing with is still the editor's: it goes no further.
    if (HandleKey(event) || (IsTabKey(event->key()) && WantsTabs())) {
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    const QString text = event->text();
    // Ctrl or Alt alone make a command, not a character; both together are AltGr on some keyboards.
    if (!text.isEmpty() && ctrl == alt && std::all_of(text.begin(), text.end(), Typeable)) {
        RunEdit([&] { TypeText(text); });
        event->accept();
        return;
    }
    event->ignore();
}

bool TDocViewEditWidget::HandleKey(QKeyEvent* event)
{
    const TRVKey key = RVKeyOf(event->key());
    TShiftState shift = ShiftStateOf(event->modifiers());
    // Qt names Shift+Tab Backtab; the engine hears Tab with Shift, whether or not the platform
    // also reports the Shift key held.
    if (event->key() == Qt::Key_Backtab)
        shift.Include(ssShift);
    const bool ctrl = shift.Contains(ssCtrl);
    // Letters mean something to the engine only with Ctrl; otherwise they are typed.
    if (key == rvkOther || (key >= rvkA && key <= rvkZ && !ctrl))
        return false;
    const bool alt = shift.Contains(ssAlt);
    const bool withShift = shift.Contains(ssShift);
    // The clipboard keys: copy Ctrl+C and Ctrl+Insert, cut Ctrl+X and Shift+Delete, paste Ctrl+V
    // and Shift+Insert.
    if (!alt && ((ctrl && (key == rvkC || key == rvkInsert)) && !withShift)) {
        RunEdit([&] { Edit_.CopySelection(); }, TAfterEdit::KeepView);
        return true;
    }
    if (!alt && ((ctrl && key == rvkX && !withShift) || (withShift && !ctrl && key == rvkDelete))) {
        RunEdit([&] { Edit_.CutSelection(); });
        return true;
    }
    if (!alt && ((ctrl && key == rvkV && !withShift) || (withShift && !ctrl && key == rvkInsert))) {
        RunEdit([&] { Edit_.PasteAtCaret(); });
        return true;
    }
    if ((ctrl && !alt && (key == rvkC || key == rvkX || key == rvkV || key == rvkInsert)) ||
        (withShift && !ctrl && !alt && (key == rvkDelete || key == rvkInsert)))
        return true;
    // Moving and scrolling keys place the view themselves; the others edit, and the caret is shown.
    const bool moves = key >= rvkLeft && key <= rvkPageDown;
    bool handled = false;
    RunEdit(
        [&] {
            handled = Edit_.KeyDown(key, shift);
            // Enter types its carriage return after the key, as the platform's character message
            // would; an editor that wants no returns beeps at it.
            if (handled && key == rvkReturn && event->text() == QStringLiteral("\r"))
                Edit_.KeyPress(u'\r');
        },
        moves ? TAfterEdit::KeepView : TAfterEdit::ShowCaret);
    return handled;
}

void TDocViewEditWidget::TypeText(const QString& text)
{
    for (const QChar ch : text)
        if (Typeable(ch))
            Edit_.KeyPress(ch.unicode());
}

void TDocViewEditWidget::inputMethodEvent(QInputMethodEvent* event)
{
    // Only what the input method commits is text; a composition in progress is the input method's own
    // to show.
    const QString commit = event->commitString();
    if (!commit.isEmpty() && !Suspended())
        RunEdit([&] { TypeText(commit); });
    event->accept();
}

QVariant TDocViewEditWidget::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return !Edit_.ReadOnly;
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
        return QRectF(CaretViewRect().translated(viewport()->pos()));
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    default:
        return TDocViewWidget::inputMethodQuery(query);
    }
}

// --- Mouse ---------------------------------------------------------------------------------------------

QPoint TDocViewEditWidget::DocumentPoint(QPoint viewPoint) const
{
    return viewPoint + QPoint(ScrollXPixels(), ScrollYPixels());
}

void TDocViewEditWidget::mousePressEvent(QMouseEvent* event)
{
    if (Suspended())
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint at = DocumentPoint(event->position().toPoint());
    const TShiftState shift = ShiftStateOf(event->modifiers());
    PressPointer_ = event->position().toPoint();
    RunEdit([&] { Edit_.MouseDown(ButtonOf(event->button()), shift, at.x(), at.y()); }, TAfterEdit::KeepView);
    if (event->button() == Qt::LeftButton && Edit_.MouseSelecting()) {
        SelectionPointer_ = event->position().toPoint();
        SelectionModifiers_ = event->modifiers();
        SelectionTimer_.start();
    }
    event->accept();
}

void TDocViewEditWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (Suspended())
        return;
    emit MouseMoved(event->position().toPoint(), event->modifiers());
    const QPoint pointer = DocumentPoint(event->position().toPoint());
    if ((event->buttons() & Qt::LeftButton) && Edit_.DragPending()) {
        // A press in the selection becomes a drag once the pointer has gone some way.
        if ((event->position().toPoint() - PressPointer_).manhattanLength() >= QApplication::startDragDistance())
            StartDrag();
        event->accept();
        return;
    }
    if (Edit_.Resizing()) {
        // A handle is being dragged: the frame follows the pointer.
        RunEdit([&] { Edit_.MouseMove(ShiftStateOf(event->modifiers()), pointer.x(), pointer.y()); }, TAfterEdit::KeepView);
        viewport()->update();
        event->accept();
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) || !Edit_.MouseSelecting()) {
        UpdateMouseCursor(pointer);
        return;
    }
    SelectionPointer_ = event->position().toPoint();
    SelectionModifiers_ = event->modifiers();
    const QPoint at = DocumentPoint(SelectionPointer_);
    RunEdit([&] { Edit_.MouseMove(ShiftStateOf(event->modifiers()), at.x(), at.y()); }, TAfterEdit::KeepView);
    event->accept();
}

void TDocViewEditWidget::mouseReleaseEvent(QMouseEvent* event)
{
    SelectionTimer_.stop();
    if (Suspended())
        return;
    const QPoint at = DocumentPoint(event->position().toPoint());
    const TShiftState shift = ShiftStateOf(event->modifiers());
    const bool resizing = Edit_.Resizing();
    RunEdit([&] { Edit_.MouseUp(ButtonOf(event->button()), shift, at.x(), at.y()); }, TAfterEdit::KeepView);
    if (resizing)
        viewport()->update();
    UpdateMouseCursor(at);
    event->accept();
    emit MouseReleased(event->button());
}

void TDocViewEditWidget::UpdateMouseCursor(QPoint documentPoint)
{
    switch (Edit_.MouseCursorAt(documentPoint.x(), documentPoint.y())) {
    case TRVMouseCursor::SizeNWSE: viewport()->setCursor(Qt::SizeFDiagCursor); break;
    case TRVMouseCursor::SizeNESW: viewport()->setCursor(Qt::SizeBDiagCursor); break;
    case TRVMouseCursor::SizeNS: viewport()->setCursor(Qt::SizeVerCursor); break;
    case TRVMouseCursor::SizeWE: viewport()->setCursor(Qt::SizeHorCursor); break;
    case TRVMouseCursor::LineSelect: viewport()->setCursor(LineSelectCursor_); break;
    case TRVMouseCursor::Text: viewport()->setCursor(Qt::IBeamCursor); break;
    case TRVMouseCursor::Jump: viewport()->setCursor(Qt::PointingHandCursor); break;
    }
}

QPoint TDocViewEditWidget::HintDocumentPoint(QPoint viewPoint) const
{
    return {std::max(viewPoint.x(), 0) + ScrollXPixels(), std::max(viewPoint.y(), 0) + ScrollYPixels()};
}

void TDocViewEditWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (Suspended())
        return;
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    const QPoint at = DocumentPoint(event->position().toPoint());
    const TShiftState shift = ShiftStateOf(event->modifiers());
    RunEdit([&] { Edit_.DblClick(shift, at.x(), at.y()); }, TAfterEdit::KeepView);
    event->accept();
}

void TDocViewEditWidget::SelectionTick()
{
    if (Suspended() || !Edit_.MouseSelecting()) {
        SelectionTimer_.stop();
        return;
    }
    const TRVAutoScrollStep step = Edit_.AutoScrollStep(SelectionPointer_.x(), SelectionPointer_.y());
    if (step.Empty())
        return;
    // Outside the window the view scrolls towards the pointer (the scroll bars count in the engine's
    // units), and the selection follows it there.
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    v->setValue(v->value() + step.UnitsY);
    h->setValue(h->value() + step.UnitsX * h->singleStep());
    const QPoint at = DocumentPoint(SelectionPointer_);
    RunEdit([&] { Edit_.MouseMove(ShiftStateOf(SelectionModifiers_), at.x(), at.y()); }, TAfterEdit::KeepView);
}

// --- Drag and drop -------------------------------------------------------------------------------------

namespace {

TRVDropEffects EffectsOf(Qt::DropActions actions) noexcept
{
    TRVDropEffects effects;
    effects.Set(rvdeCopy, actions.testFlag(Qt::CopyAction));
    effects.Set(rvdeMove, actions.testFlag(Qt::MoveAction));
    effects.Set(rvdeLink, actions.testFlag(Qt::LinkAction));
    return effects;
}

Qt::DropAction ActionOf(TRVDropEffects effects) noexcept
{
    if (effects.Contains(rvdeMove))
        return Qt::MoveAction;
    if (effects.Contains(rvdeCopy))
        return Qt::CopyAction;
    if (effects.Contains(rvdeLink))
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

} // namespace

void TDocViewEditWidget::StartDrag()
{
    TClipboardContent content;
    bool started = false;
    RunEdit([&] { started = Edit_.BeginDrag(content); }, TAfterEdit::KeepView);
    if (!started)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(NewMimeData(content));
    // The drag runs its own event loop; drops on this view arrive meanwhile.
    const Qt::DropAction done =
        RunDrag ? RunDrag(*drag) : drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    drag->deleteLater();
    TRVDropEffects effects;
    if (done == Qt::MoveAction)
        effects.Include(rvdeMove);
    else if (done == Qt::CopyAction)
        effects.Include(rvdeCopy);
    RunEdit([&] { Edit_.EndDrag(effects); });
    viewport()->update();
}

Qt::DropAction TDocViewEditWidget::FollowDrag(const QMimeData* data, Qt::DropActions actions,
                                              Qt::KeyboardModifiers modifiers, QPoint pointer)
{
    DropData_ = data;
    DropActions_ = actions;
    DropModifiers_ = modifiers;
    DropPointer_ = pointer;
    const QPoint at = DocumentPoint(pointer);
    const TQtMimeSource source(data);
    TRVDropEffects effect;
    RunEdit([&] { effect = Edit_.DragOver(source, EffectsOf(actions), ShiftStateOf(modifiers), at.x(), at.y()); },
            TAfterEdit::KeepView);
    viewport()->update();
    return ActionOf(effect);
}

void TDocViewEditWidget::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TDocViewEditWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (Suspended()) {
        event->ignore();
        return;
    }
    const Qt::DropAction action =
        FollowDrag(event->mimeData(), event->possibleActions(), event->modifiers(), event->position().toPoint());
    if (!DropScrollTimer_.isActive())
        DropScrollTimer_.start();
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void TDocViewEditWidget::dragLeaveEvent(QDragLeaveEvent* event)
{
    DropScrollTimer_.stop();
    DropData_ = nullptr;
    Edit_.DragLeave();
    viewport()->update();
    event->accept();
}

void TDocViewEditWidget::dropEvent(QDropEvent* event)
{
    DropScrollTimer_.stop();
    DropData_ = nullptr;
    if (Suspended()) {
        event->ignore();
        return;
    }
    const QPoint at = DocumentPoint(event->position().toPoint());
    const TQtMimeSource source(event->mimeData());
    TRVDropEffects done;
    RunEdit([&] {
        done = Edit_.Drop(source, EffectsOf(event->possibleActions()), ShiftStateOf(event->modifiers()), at.x(), at.y());
    });
    viewport()->update();
    const Qt::DropAction action = ActionOf(done);
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void TDocViewEditWidget::DropScrollTick()
{
    if (!DropData_ || Suspended()) {
        DropScrollTimer_.stop();
        return;
    }
    // Near the top or the bottom edge the view scrolls one unit a tick, and the drop caret
    // follows the pointer into what came into view.
    const std::int32_t units = Edit_.DropScrollUnits(DropPointer_.y());
    if (units == 0)
        return;
    QScrollBar* v = verticalScrollBar();
    const int old = v->value();
    v->setValue(old + units);
    if (v->value() != old)
        FollowDrag(DropData_, DropActions_, DropModifiers_, DropPointer_);
}

// --- Focus and caret -----------------------------------------------------------------------------------

void TDocViewEditWidget::focusInEvent(QFocusEvent* event)
{
    TDocViewWidget::focusInEvent(event);
    UpdateCaret();
}

void TDocViewEditWidget::focusOutEvent(QFocusEvent* event)
{
    TDocViewWidget::focusOutEvent(event);
    BlinkTimer_.stop();
}

void TDocViewEditWidget::DocumentShown()
{
    UpdateCaret();
}

void TDocViewEditWidget::UpdateCaret()
{
    const QRect old = CaretViewRect();
    HasCaret_ = false;
    if (!Suspended() && ViewData().Formatted() && Edit_.CaretShown()) {
        try {
            Caret_ = Edit_.GetCaretRect();
            HasCaret_ = true;
        } catch (const std::exception&) {
            // A caret that lost its place is shown again after the next move.
        }
    }
    viewport()->update(old);
    RestartBlink();
}

void TDocViewEditWidget::RestartBlink()
{
    BlinkOn_ = true;
    if (hasFocus() && BlinkTimer_.interval() > 0)
        BlinkTimer_.start();
    if (HasCaret_)
        viewport()->update(CaretViewRect());
}

QRect TDocViewEditWidget::CaretViewRect() const
{
    if (!HasCaret_)
        return {};
    return QRect(Caret_.X - CaretWidth / 2 - ScrollXPixels(), Caret_.Top - ScrollYPixels(), CaretWidth, Caret_.Height);
}

bool TDocViewEditWidget::CaretVisible() const noexcept
{
    return HasCaret_ && BlinkOn_ && hasFocus() && !Suspended();
}

void TDocViewEditWidget::PaintOverlay(QPainter& painter)
{
    PaintResizeHandles(painter);
    // The drop caret shows where a drop would go, steadily.
    if (TRVCaretRect drop; !Suspended() && Edit_.DropCaret(drop)) {
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(QRect(drop.X - CaretWidth / 2 - ScrollXPixels(), drop.Top - ScrollYPixels(), CaretWidth,
                               drop.Height),
                         Qt::white);
        painter.restore();
    }
    if (!CaretVisible())
        return;
    // The caret inverts what it covers, so that it shows on any background.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(CaretViewRect(), Qt::white);
    painter.restore();
}

void TDocViewEditWidget::PaintResizeHandles(QPainter& painter)
{
    TRect frame;
    if (Suspended() || !Edit_.ResizeFrame(frame))
        return;
    const int dx = -ScrollXPixels(), dy = -ScrollYPixels();
    painter.save();
    if (Edit_.Resizing()) {
        // The size the picture will get, as a dotted frame.
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(QRect(frame.Left + dx, frame.Top + dy, frame.Width() - 1, frame.Height() - 1));
    }
    // Each handle: a square outlined in black around a square that inverts what it covers.
    for (const TRect& handle : TRVItemResizer::HandleRects(frame)) {
        const QRect square(handle.Left + dx, handle.Top + dy, handle.Width(), handle.Height());
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(square.adjusted(0, 0, -1, -1));
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(square.adjusted(1, 1, -1, -1), Qt::white);
    }
    painter.restore();
}

} // namespace xq

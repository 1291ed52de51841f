// TDocViewEditWidget: the editor control's window - the document view that takes keys, typed text
// (input methods included), the mouse and the focus, hands each to the engine's editor and shows its
// caret. What a key or a click does is the engine's business; this class translates Qt's events into
// the engine's vocabulary and keeps the picture, the scroll bars and the caret in step with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include <QCursor>
#include <QDrag>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QVariant>

#include "app/DocViewWidget.h"
#include "editing/EditTypes.h"

namespace xq {

class TCustomDocViewEdit;
class TMessageBoxes;

/// What the view does after an edit operation ran.
enum class TAfterEdit : std::uint8_t {
    /// The engine placed the view itself (caret moves, scrolling keys).
    KeepView,
    /// The caret is scrolled into view (typing, deleting, undo).
    ShowCaret,
};

/// The engine's key for a Qt key code (rvkOther for any key the editor has no meaning for).
[[nodiscard]] TRVKey RVKeyOf(int qtKey) noexcept;
/// The modifier keys as the engine sees them (the keypad and group switch are no modifiers).
[[nodiscard]] TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers) noexcept;

/// Shown when an edit operation failed inside the engine; the reason follows after the colon.
inline constexpr std::string_view EditFailedText = "Der Bearbeitungsschritt konnte nicht ausgeführt werden: ";
inline constexpr std::string_view EditFailedCaption = "Fehler";

class TDocViewEditWidget : public TDocViewWidget {
    Q_OBJECT
public:
    /// The mouse-selection timer ticks this often while the left button is held.
    static constexpr int SelectionTimerMs = 100;

    /// A view of edit's document; boxes tells the user when an edit fails. Both must outlive the view.
    TDocViewEditWidget(TCustomDocViewEdit& edit, const TRVDocumentInfo& info, TMessageBoxes& boxes,
                       QWidget* parent = nullptr);
    ~TDocViewEditWidget() override;

    [[nodiscard]] TCustomDocViewEdit& Editor() noexcept { return Edit_; }

    /// Runs an operation of the engine's editor: an error inside it is told in a German message box and
    /// the program goes on; afterwards the view follows the document. False when it failed.
    bool RunEdit(const std::function<void()>& operation, TAfterEdit after = TAfterEdit::ShowCaret);

    /// The caret's bar in viewport coordinates (empty when there is no caret).
    [[nodiscard]] QRect CaretViewRect() const;
    /// The caret is drawn at this moment: it exists, the view has the focus and the blink shows it.
    [[nodiscard]] bool CaretVisible() const noexcept;
    /// The mouse-selection timer is running.
    [[nodiscard]] bool SelectionTimerActive() const noexcept { return SelectionTimer_.isActive(); }

    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    /// The auto-scroll timer of a drag over the view ticks this often.
    static constexpr int DropScrollTimerMs = 300;
    /// Runs the desktop's drag of the selection and returns what the target did; tests answer it
    /// themselves (by default QDrag::exec, copy or move).
    std::function<Qt::DropAction(QDrag& drag)> RunDrag;

    /// A point of the viewport in document coordinates, as the hint over links reads it: a point
    /// left of or above the viewport counts as its left or top edge.
    [[nodiscard]] QPoint HintDocumentPoint(QPoint viewPoint) const;

signals:
    /// A mouse button was released over the document, after the editor handled it.
    void MouseReleased(Qt::MouseButton button);
    /// The mouse moved over the viewport (viewport coordinates), before the editor hears of it.
    void MouseMoved(QPoint viewPoint, Qt::KeyboardModifiers modifiers);
    /// A key was pressed, before the editor handles it.
    void KeyPressing(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void PaintOverlay(QPainter& painter) override;
    void DocumentShown() override;
    [[nodiscard]] bool Editable() const override;

private:
    /// Tab and Shift+Tab are keys of the editor rather than of the window's focus chain.
    [[nodiscard]] bool WantsTabs() const noexcept;
    /// Handles a key the engine knows; false for keys left to Qt.
    bool HandleKey(QKeyEvent* event);
    /// Types text unit by unit (the first replaces the selection).
    void TypeText(const QString& text);
    /// The caret's place after a change, and the blink restarting with the caret shown.
    void UpdateCaret();
    void RestartBlink();
    void SelectionTick();
    [[nodiscard]] QPoint DocumentPoint(QPoint viewPoint) const;
    /// The cursor the editor asks for: the resize cursors over a selected picture's handles, the
    /// line-select cursor in the left margin, the text cursor elsewhere.
    void UpdateMouseCursor(QPoint documentPoint);
    /// The handles of a selected picture, and the frame of one being resized.
    void PaintResizeHandles(QPainter& painter);
    /// Drags the selection to wherever the user drops it.
    void StartDrag();
    /// The drop caret follows a drag over the view at pointer (viewport coordinates); the effect
    /// offered, Qt::IgnoreAction when the data cannot be dropped there.
    Qt::DropAction FollowDrag(const QMimeData* data, Qt::DropActions actions, Qt::KeyboardModifiers modifiers,
                              QPoint pointer);
    void DropScrollTick();

    TCustomDocViewEdit& Edit_;
    TMessageBoxes& Boxes_;
    /// The caret in document coordinates, as last asked of the engine (not while it is busy elsewhere).
    TRVCaretRect Caret_;
    bool HasCaret_ = false;
    /// An operation of the engine is running: the view follows when it has ended.
    bool InEdit_ = false;
    bool BlinkOn_ = true;
    QTimer BlinkTimer_;
    QTimer SelectionTimer_;
    /// Where the pointer was last seen while selecting, viewport coordinates.
    QPoint SelectionPointer_;
    Qt::KeyboardModifiers SelectionModifiers_;
    /// Where the left button went down, viewport coordinates (a drag starts some way from it).
    QPoint PressPointer_;
    /// A drag over the view: its data, actions, pointer and modifiers, for the auto-scroll timer.
    QTimer DropScrollTimer_;
    const QMimeData* DropData_ = nullptr;
    Qt::DropActions DropActions_;
    QPoint DropPointer_;
    Qt::KeyboardModifiers DropModifiers_;
    /// The arrow of the left margin, pointing to the line a click there selects.
    QCursor LineSelectCursor_;
};

} // namespace xq

// TDocViewWidget: the editor control's window - shows the formatted document with scroll bars,
// painted through the Qt canvas at 96 pixels per inch whatever the screen. It holds no document
// logic: the container and its layout belong to the engine, the session decides what it shows.
// Keys, mouse and the caret are TDocViewEditWidget's, which builds on this view.
#pragma once

#include <cstdint>

#include <QAbstractScrollArea>
#include <QImage>

class QPainter;

namespace xq {

class TCustomRVFormattedData;
class TRVDocumentInfo;

class TDocViewWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    /// The main window's wheel step: one notch with three lines scrolls 20 units.
    static constexpr std::int32_t MainWindowWheelStep = 20;

    TDocViewWidget(TCustomRVFormattedData& data, const TRVDocumentInfo& info, QWidget* parent = nullptr);

    /// Wheel scrolling: units per notch of three lines; 0 turns the wheel off.
    std::int32_t WheelStep = MainWindowWheelStep;

    /// The document was laid out anew: the scroll bars follow its size, fromTop scrolls to its
    /// beginning, and it is repainted.
    void DocumentFormatted(bool fromTop);
    /// While the document is changed elsewhere the view shows its last picture and does not touch
    /// the document; switching back repaints.
    void SetSuspended(bool suspended);
    [[nodiscard]] bool Suspended() const noexcept { return Suspended_; }

    /// The vertical scroll position in document pixels, and the unit the scroll bar counts in.
    [[nodiscard]] std::int32_t ScrollYPixels() const;
    [[nodiscard]] std::int32_t VScrollUnitPixels() const noexcept { return VUnit_; }
    void ScrollToY(std::int32_t pixels);

    /// The picture of the visible part of the document, as the view paints it (without the caret).
    [[nodiscard]] QImage Render();
    /// The document changed where the view cannot see it (its background, say): the picture is
    /// painted anew.
    void Invalidate();

protected:
    [[nodiscard]] TCustomRVFormattedData& ViewData() noexcept { return Data_; }
    [[nodiscard]] std::int32_t ScrollXPixels() const;
    /// The document's size or scroll position changed: the scroll bars take the size and the
    /// document's own scroll position, and the picture is painted anew.
    void SyncWithDocument();
    /// Painted over the document's picture (the caret), in viewport coordinates.
    virtual void PaintOverlay(QPainter& painter);
    /// The view shows the document anew (laid out, scrolled, changed, or back from a long step).
    virtual void DocumentShown() {}
    /// Tables show their invisible borders as a grid in a view that edits.
    [[nodiscard]] virtual bool Editable() const { return false; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    /// The scroll bars follow the document's size; the view goes to scrollPixels (rounded to a unit).
    void UpdateScrollBars(std::int32_t scrollPixels);
    void UpdateClientSize();

    TCustomRVFormattedData& Data_;
    const TRVDocumentInfo& Info_;
    QImage Frame_;
    /// Frame_ shows the document as it is; an update of the caret alone reuses it.
    bool FrameValid_ = false;
    std::int32_t VUnit_ = 10;
    int WheelRemainder_ = 0;
    bool Suspended_ = false;
};

} // namespace xq

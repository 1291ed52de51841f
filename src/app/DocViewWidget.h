// TDocViewWidget: the editor control's window - shows the formatted document with scroll bars,
// painted through the Qt canvas at 96 pixels per inch whatever the screen. It holds no document
// logic: the container and its layout belong to the engine, the session decides what it shows.
// Keys and mouse are left to the editing engine, which plugs in here.
#pragma once

#include <cstdint>

#include <QAbstractScrollArea>
#include <QImage>

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

    /// The picture of the visible part of the document, as the view paints it.
    [[nodiscard]] QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateScrollBars();
    void UpdateClientSize();

    TCustomRVFormattedData& Data_;
    const TRVDocumentInfo& Info_;
    QImage Frame_;
    std::int32_t VUnit_ = 10;
    int WheelRemainder_ = 0;
    bool Suspended_ = false;
};

} // namespace xq

// The document view: scroll bars in the engine's units, the wheel step, painting through TQtCanvas.
#include "app/DocViewWidget.h"

#include <algorithm>

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "document/DocumentInfo.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "layout/ScrollUnits.h"
#include "platform/ScreenUnits.h"
#include "platform/qt/QtCanvas.h"

namespace xq {

namespace {

/// 96 pixels per inch in the unit a QImage keeps its resolution in.
constexpr int DotsPerMeterAt96 = 3780;

} // namespace

TDocViewWidget::TDocViewWidget(TCustomRVFormattedData& data, const TRVDocumentInfo& info, QWidget* parent)
    : QAbstractScrollArea(parent), Data_(data), Info_(info)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
}

void TDocViewWidget::SetSuspended(bool suspended)
{
    if (Suspended_ == suspended)
        return;
    Suspended_ = suspended;
    if (!suspended) {
        UpdateClientSize();
        Invalidate();
        DocumentShown();
    }
}

void TDocViewWidget::Invalidate()
{
    FrameValid_ = false;
    viewport()->update();
}

void TDocViewWidget::UpdateClientSize()
{
    Data_.ClientWidth = viewport()->width();
    Data_.ClientHeight = viewport()->height();
}

void TDocViewWidget::DocumentFormatted(bool fromTop)
{
    UpdateClientSize();
    UpdateScrollBars(fromTop ? 0 : Data_.ScrollY);
    if (fromTop)
        horizontalScrollBar()->setValue(0);
    Data_.ScrollY = ScrollYPixels();
    Invalidate();
    DocumentShown();
}

void TDocViewWidget::SyncWithDocument()
{
    if (Suspended_)
        return;
    UpdateScrollBars(Data_.ScrollY);
    Data_.ScrollY = ScrollYPixels();
    Invalidate();
    DocumentShown();
}

void TDocViewWidget::UpdateScrollBars(std::int32_t scrollPixels)
{
    const std::int32_t height = Data_.Formatted() ? Data_.TotalHeight() : 0;
    const std::int32_t width = Data_.Formatted() ? Data_.DocumentWidth() : 0;
    const int clientHeight = viewport()->height();
    const int clientWidth = viewport()->width();

    VUnit_ = VScrollUnit(height, height > clientHeight);
    QScrollBar* v = verticalScrollBar();
    const int vMax = std::max(0, (height - clientHeight + VUnit_ - 1) / VUnit_);
    {
        const QSignalBlocker block(v);
        v->setRange(0, vMax);
        v->setSingleStep(1);
        v->setPageStep(std::max(1, clientHeight / VUnit_));
        v->setValue(std::clamp(scrollPixels / VUnit_, 0, vMax));
    }
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, width - clientWidth));
    h->setSingleStep(10);
    h->setPageStep(std::max(1, clientWidth));
}

std::int32_t TDocViewWidget::ScrollYPixels() const
{
    return verticalScrollBar()->value() * VUnit_;
}

std::int32_t TDocViewWidget::ScrollXPixels() const
{
    return horizontalScrollBar()->value();
}

void TDocViewWidget::ScrollToY(std::int32_t pixels)
{
    verticalScrollBar()->setValue((pixels + VUnit_ / 2) / VUnit_);
}

void TDocViewWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (Suspended_)
        return;
    UpdateClientSize();
    UpdateScrollBars(ScrollYPixels());
    Data_.ScrollY = ScrollYPixels();
    FrameValid_ = false;
}

void TDocViewWidget::scrollContentsBy(int, int)
{
    if (!Suspended_)
        Data_.ScrollY = ScrollYPixels();
    Invalidate();
}

void TDocViewWidget::wheelEvent(QWheelEvent* event)
{
    if (WheelStep == 0 || Suspended_) {
        event->ignore();
        return;
    }
    // Notches of 120 eighths of a degree; finer wheels add up until a notch is full.
    WheelRemainder_ += event->angleDelta().y();
    const int notches = WheelRemainder_ / 120;
    WheelRemainder_ -= notches * 120;
    if (notches != 0) {
        const std::int32_t pixels = WheelNotchPixels(WheelStep, QApplication::wheelScrollLines(), false, VUnit_,
                                                     viewport()->height());
        QScrollBar* v = verticalScrollBar();
        v->setValue(v->value() - notches * (pixels / std::max(VUnit_, 1)));
    }
    const int dx = event->angleDelta().x();
    if (dx != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - dx / 120 * horizontalScrollBar()->singleStep() * 3);
    event->accept();
}

void TDocViewWidget::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    // The selection changes between its active and inactive colours.
    Invalidate();
}

void TDocViewWidget::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    Invalidate();
}

QImage TDocViewWidget::Render()
{
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize size = viewport()->size();
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    // Laid out at 96 pixels per inch, so painted at that resolution too.
    image.setDotsPerMeterX(DotsPerMeterAt96);
    image.setDotsPerMeterY(DotsPerMeterAt96);
    image.fill(Qt::white);
    if (!Data_.Formatted() || size.isEmpty())
        return image;
    TQtCanvas canvas(&image);
    TRVPaintRequest request;
    request.Rect = TRect{0, 0, size.width(), size.height()};
    request.ScrollX = ScrollXPixels();
    request.ScrollY = ScrollYPixels();
    request.Focused = hasFocus();
    request.Editable = Editable();
    request.Color = Info_.BackgroundColor;
    request.BackgroundStyle = Info_.BackgroundStyle;
    request.BackgroundPicture = Info_.BackgroundPicture.get();
    request.ClientWidth = size.width();
    request.ClientHeight = size.height();
    PaintDocument(Data_, canvas, request);
    return image;
}

void TDocViewWidget::PaintOverlay(QPainter&) {}

void TDocViewWidget::paintEvent(QPaintEvent* event)
{
    // While suspended the document may be changing: the last picture stands, without the caret.
    if (!Suspended_ && (!FrameValid_ || Frame_.deviceIndependentSize().toSize() != viewport()->size())) {
        Frame_ = Render();
        FrameValid_ = true;
    }
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    if (!Frame_.isNull())
        painter.drawImage(QPoint(0, 0), Frame_);
    if (!Suspended_)
        PaintOverlay(painter);
}

} // namespace xq

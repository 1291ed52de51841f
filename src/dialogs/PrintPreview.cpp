// The print preview control and window.
#include "dialogs/PrintPreview.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QTransform>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/ToolIcons.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/QtCanvas.h"
#include "printing/Print.h"

namespace xq {

namespace {

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

/// value * percent / 100, rounded.
int Scaled(int value, int percent)
{
    return static_cast<int>(std::lround(double(value) * percent / 100.0));
}

/// The magnifier cursors: a lens with a plus to zoom in, with a minus to zoom out.
QCursor ZoomCursor(bool zoomIn)
{
    QBitmap shape(32, 32), mask(32, 32);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    for (QBitmap* map : {&shape, &mask}) {
        QPainter p(map);
        p.setPen(QPen(Qt::color1, map == &mask ? 4 : 2));
        p.drawEllipse(QRect(3, 3, 16, 16));
        p.drawLine(17, 17, 27, 27);
        p.drawLine(7, 11, 15, 11);
        if (zoomIn)
            p.drawLine(11, 7, 11, 15);
    }
    return QCursor(shape, mask, 11, 11);
}

} // namespace

// --- The control ------------------------------------------------------------------------------------

TCustomRVPrintPreview::TCustomRVPrintPreview(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(ZoomCursor(false));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

TCustomRVPrintPreview::~TCustomRVPrintPreview() = default;

void TCustomRVPrintPreview::SetRVPrint(TCustomRVPrint* print)
{
    Print_ = print;
    Cache_ = QImage();
    CachePage_ = -1;
    PageNo_ = std::clamp(PageNo_, 1, std::max(Ready() ? Print_->PageCount() : 1, 1));
    UpdateView();
    viewport()->update();
}

bool TCustomRVPrintPreview::Ready() const noexcept
{
    return Print_ && Print_->Paginated() && Print_->PrinterAvailable() && Print_->PageCount() > 0;
}

void TCustomRVPrintPreview::UpdateView()
{
    if (!Ready())
        return;
    const int areaWidth = std::max(Print_->PrintableAreaWidth(), 1);
    const int areaHeight = std::max(Print_->PrintableAreaHeight(), 1);
    int percent = ZoomPercent_;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (ZoomMode_ == 0) {
        const auto across = std::llround((std::int64_t{width()} - bar - 2 * BackgroundMargin) * 100.0 / areaWidth);
        const auto down = std::llround((std::int64_t{height()} - bar - 2 * BackgroundMargin) * 100.0 / areaHeight);
        percent = static_cast<int>(std::min(across, down));
    } else if (ZoomMode_ == 1) {
        percent = static_cast<int>(
            std::llround((std::int64_t{viewport()->width()} - 2 * BackgroundMargin) * 100.0 / areaWidth));
    }
    ApplyZoom(std::clamp(percent, 1, 1000));
}

void TCustomRVPrintPreview::SetZoomMode(int mode)
{
    ZoomMode_ = std::clamp(mode, 0, 2);
    UpdateView();
    UpdateScrollRange();
    viewport()->update();
}

void TCustomRVPrintPreview::SetZoom(int percent)
{
    ZoomMode_ = 2;
    ApplyZoom(percent);
}

void TCustomRVPrintPreview::ApplyZoom(int percent)
{
    percent = std::clamp(percent, 1, 1000);
    const int old = ZoomPercent_;
    if (percent == 100 && old != 100)
        PreviousZoom_ = old;
    ZoomPercent_ = percent;
    if (Ready()) {
        AreaWidth_ = Scaled(Print_->PrintableAreaWidth(), percent);
        AreaHeight_ = Scaled(Print_->PrintableAreaHeight(), percent);
        const TRect strips = Print_->UnprintableMargins(true);
        Strips_ = QRect(QPoint(Scaled(strips.Left, percent), Scaled(strips.Top, percent)),
                        QPoint(Scaled(strips.Right, percent), Scaled(strips.Bottom, percent)));
        UpdateScrollRange();
        UpdateCursor();
        viewport()->update();
    }
    if (percent != old && OnZoomChanged)
        OnZoomChanged();
}

void TCustomRVPrintPreview::UpdateScrollRange()
{
    const int pageWidth = AreaWidth_ + Strips_.left() + Strips_.right();
    const int pageHeight = AreaHeight_ + Strips_.top() + Strips_.bottom();
    switch (ZoomMode_) {
    case 0: Range_ = QSize(10, 10); break;
    case 1: Range_ = QSize(10, 2 * BackgroundMargin + pageHeight); break;
    default: Range_ = QSize(2 * BackgroundMargin + pageWidth, 2 * BackgroundMargin + pageHeight); break;
    }
    horizontalScrollBar()->setRange(0, std::max(0, Range_.width() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, Range_.height() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(std::max(viewport()->height() / 10, 1));
}

void TCustomRVPrintPreview::UpdateCursor()
{
    // The cursor tells what the next click does.
    const int next = ZoomPercent_ == 100 ? PreviousZoom_ : 100;
    viewport()->setCursor(ZoomCursor(ZoomPercent_ < next));
}

void TCustomRVPrintPreview::Click()
{
    if (ClickMode != rvcmSwitchZoom || !Ready())
        return;
    ZoomMode_ = 2;
    ApplyZoom(ZoomPercent_ == 100 ? PreviousZoom_ : 100);
}

void TCustomRVPrintPreview::GoTo(int pageNo, bool toBottom)
{
    if (!Ready())
        return;
    pageNo = std::clamp(pageNo, 1, Print_->PageCount());
    if (pageNo == PageNo_)
        return;
    PageNo_ = pageNo;
    verticalScrollBar()->setValue(toBottom ? verticalScrollBar()->maximum() : 0);
    viewport()->update();
    if (OnPageChanged)
        OnPageChanged();
}

void TCustomRVPrintPreview::FirstPage()
{
    GoTo(1);
}

void TCustomRVPrintPreview::PreviousPage()
{
    if (PageNo_ > 1)
        GoTo(PageNo_ - 1);
}

void TCustomRVPrintPreview::NextPage()
{
    if (Ready() && PageNo_ < Print_->PageCount())
        GoTo(PageNo_ + 1);
}

void TCustomRVPrintPreview::LastPage()
{
    if (Ready())
        GoTo(Print_->PageCount());
}

QRect TCustomRVPrintPreview::PageRect() const
{
    const int pageWidth = AreaWidth_ + Strips_.left() + Strips_.right();
    const int pageHeight = AreaHeight_ + Strips_.top() + Strips_.bottom();
    const int left = (std::max(viewport()->width(), Range_.width()) - pageWidth) / 2 - horizontalScrollBar()->value();
    const int top = (std::max(viewport()->height(), Range_.height()) - pageHeight) / 2 - verticalScrollBar()->value();
    return QRect(left, top, pageWidth, pageHeight);
}

QRect TCustomRVPrintPreview::AreaRect() const
{
    const QRect page = PageRect();
    return QRect(page.left() + Strips_.left(), page.top() + Strips_.top(), AreaWidth_, AreaHeight_);
}

QImage TCustomRVPrintPreview::RenderPage(int pageNo, const QSize& size, QRect part) const
{
    if (part.isNull())
        part = QRect(QPoint(0, 0), size);
    QImage image(part.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    if (!Ready() || part.isEmpty())
        return image;
    // The page is drawn in its own pixels (96 per inch), scaled to the area and moved to the part.
    QTransform toPart;
    toPart.translate(-part.left(), -part.top());
    toPart.scale(double(size.width()) / std::max(Print_->PrintableAreaWidth(), 1),
                 double(size.height()) / std::max(Print_->PrintableAreaHeight(), 1));
    TQtCanvas canvas(&image, PageCanvasDpi, toPart);
    Print_->PaintPage(std::clamp(pageNo, 1, Print_->PageCount()), canvas, true, Print_->PreviewCorrection);
    return image;
}

const QImage& TCustomRVPrintPreview::PageImage(const QSize& size)
{
    const bool valid = CachePageImage && CachePage_ == PageNo_ && Cache_.size() == size &&
                       CacheCounter_ == Print_->FormatCounter();
    if (!valid) {
        Cache_ = RenderPage(PageNo_, size);
        CachePage_ = PageNo_;
        CacheCounter_ = Print_->FormatCounter();
    }
    return Cache_;
}

void TCustomRVPrintPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), ToQColor(Color));
    if (!Ready())
        return;
    const QRect page = PageRect();
    const QRect area = AreaRect();
    if (ShadowWidth > 0)
        painter.fillRect(page.translated(ShadowWidth, ShadowWidth), ToQColor(ShadowColor));
    painter.fillRect(page, Qt::white);
    if (!area.isEmpty() && area.intersects(viewport()->rect())) {
        // A page much larger than the window is drawn at its size only where it is seen.
        const QRect shown = area.intersected(viewport()->rect());
        if (CachePageImage || shown == area)
            painter.drawImage(area.topLeft(), PageImage(area.size()));
        else
            painter.drawImage(shown.topLeft(), RenderPage(PageNo_, area.size(), shown.translated(-area.topLeft())));
    }
    if (PageBorderColor != clNone && PageBorderWidth > 0) {
        QPen pen(ToQColor(PageBorderColor), PageBorderWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const int half = PageBorderWidth / 2;
        painter.drawRect(page.adjusted(-half, -half, half - 1 + PageBorderWidth % 2, half - 1 + PageBorderWidth % 2));
    }
    auto qtPen = [](const TPreviewPen& pen) {
        QPen q(ToQColor(pen.Color), 1);
        switch (pen.Style) {
        case psDash: q.setStyle(Qt::DashLine); break;
        case psDot: q.setStyle(Qt::DotLine); break;
        case psDashDot: q.setStyle(Qt::DashDotLine); break;
        case psDashDotDot: q.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
        return q;
    };
    painter.setBrush(Qt::NoBrush);
    if (!PrintableAreaPen.Clear) {
        painter.setPen(qtPen(PrintableAreaPen));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
    if (!MarginsPen.Clear) {
        // The text area of this page mapped into the printable area.
        const TRect margins = Print_->MarginsRect(TRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1}, PageNo_);
        painter.setPen(qtPen(MarginsPen));
        painter.drawRect(QRect(QPoint(margins.Left, margins.Top), QPoint(margins.Right - 1, margins.Bottom - 1)));
    }
}

void TCustomRVPrintPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateView();
    UpdateScrollRange();
}

void TCustomRVPrintPreview::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    if (event->button() == Qt::LeftButton)
        Click();
}

void TCustomRVPrintPreview::wheelEvent(QWheelEvent* event)
{
    // The pages follow one another: past the end of a page the wheel goes on into the next.
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || !Ready()) {
        event->ignore();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    event->accept();
    if (steps < 0) {
        if (bar->maximum() > 0 && bar->value() < bar->maximum())
            bar->setValue(bar->value() - steps * 3 * bar->singleStep());
        else if (PageNo_ < Print_->PageCount())
            GoTo(PageNo_ + 1, false);
    } else {
        if (bar->maximum() > 0 && bar->value() > 0)
            bar->setValue(bar->value() - steps * 3 * bar->singleStep());
        else if (PageNo_ > 1)
            GoTo(PageNo_ - 1, true);
    }
}

void TCustomRVPrintPreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageDown: NextPage(); break;
    case Qt::Key_PageUp: PreviousPage(); break;
    case Qt::Key_Home: FirstPage(); break;
    case Qt::Key_End: LastPage(); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TCustomRVPrintPreview::scrollContentsBy(int, int)
{
    viewport()->update();
}

// --- The window --------------------------------------------------------------------------------------

namespace {

QToolButton* NavigationButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const char* hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    // "short|long": the short part at the button, the long one in a status bar.
    const QString text = QString::fromUtf8(hint);
    button->setToolTip(text.section(QLatin1Char('|'), 0, 0));
    button->setStatusTip(text.section(QLatin1Char('|'), 1));
    button->setAutoRaise(true);
    return button;
}

} // namespace

TfrmPreview::TfrmPreview(TMessageBoxes& boxes, std::function<bool()> print, QWidget* parent)
    : QDialog(parent), Boxes_(boxes), Print_(std::move(print))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QString::fromUtf8(PreviewCaption));
    setModal(true);

    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(Panel);
    row->setContentsMargins(5, 3, 20, 3);
    btnFirst = NavigationButton(Panel, "btnFirst", QStyle::SP_MediaSkipBackward, "Erste Seite|");
    btnPrevious = NavigationButton(Panel, "btnPrevious", QStyle::SP_MediaSeekBackward, "Seite zurück|");
    btnNext = NavigationButton(Panel, "btnNext", QStyle::SP_MediaSeekForward, "Seite vor|");
    btnLast = NavigationButton(Panel, "btnLast", QStyle::SP_MediaSkipForward, "Letzte Seite|");
    lblPage = new QLabel(Panel);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    cmbZoom = new QComboBox(Panel);
    cmbZoom->setObjectName(QStringLiteral("cmbZoom"));
    cmbZoom->setEditable(true);
    cmbZoom->setInsertPolicy(QComboBox::NoInsert);
    cmbZoom->setMaxVisibleItems(7);
    for (const char* entry : {"200%", "150%", "100%", "75%", "50%", "Seitenbreite", "Ganze Seite"})
        cmbZoom->addItem(QString::fromUtf8(entry));
    cmbZoom->setMinimumContentsLength(12);
    btnPrint = NavigationButton(Panel, "btnPrint", QStyle::SP_CustomBase, "Vorschau drucken|");
    btnPrint->setIcon(ToolIcon(TToolIcon::Print));
    btnClose = new QPushButton(QStringLiteral("&Schliessen"), Panel);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setToolTip(QStringLiteral("Seitenvorschau schliessen"));
    for (QWidget* w : std::initializer_list<QWidget*>{btnFirst, btnPrevious, btnNext, btnLast})
        row->addWidget(w);
    row->addSpacing(10);
    row->addWidget(lblPage);
    row->addSpacing(10);
    row->addWidget(cmbZoom);
    row->addStretch(1);
    row->addWidget(btnPrint);
    row->addSpacing(5);
    row->addWidget(btnClose);

    RVPrintPreview1 = new TRVPrintPreview(this);
    RVPrintPreview1->setObjectName(QStringLiteral("RVPrintPreview1"));
    RVPrintPreview1->MarginsPen = TPreviewPen{0xC0C0C0, psDot, false};
    RVPrintPreview1->PrintableAreaPen = TPreviewPen{0x0000FF, psDashDot, false};
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Panel);
    column->addWidget(RVPrintPreview1, 1);

    connect(btnFirst, &QToolButton::clicked, this, [this] { RVPrintPreview1->FirstPage(); UpdatePageLabel(); });
    connect(btnPrevious, &QToolButton::clicked, this, [this] { RVPrintPreview1->PreviousPage(); UpdatePageLabel(); });
    connect(btnNext, &QToolButton::clicked, this, [this] { RVPrintPreview1->NextPage(); UpdatePageLabel(); });
    connect(btnLast, &QToolButton::clicked, this, [this] { RVPrintPreview1->LastPage(); UpdatePageLabel(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnPrint, &QToolButton::clicked, this, [this] { PrintClicked(); });
    connect(cmbZoom, &QComboBox::activated, this, [this](int) { TakeZoomText(); });
    cmbZoom->lineEdit()->installEventFilter(this);
    cmbZoom->installEventFilter(this);
    RVPrintPreview1->OnZoomChanged = [this] {
        cmbZoom->setEditText(QString::number(RVPrintPreview1->ZoomPercent()) + QLatin1Char('%'));
    };
    RVPrintPreview1->OnPageChanged = [this] { UpdatePageLabel(); };
    UpdatePageLabel();
}

void TfrmPreview::Prepare(TCustomRVPrint& print)
{
    RVPrintPreview1->SetRVPrint(&print);
    RVPrintPreview1->FirstPage();
    UpdatePageLabel();
}

int TfrmPreview::ShowMaximized()
{
    setWindowState(windowState() | Qt::WindowMaximized);
    return exec();
}

void TfrmPreview::UpdatePageLabel()
{
    const TCustomRVPrint* print = RVPrintPreview1->RVPrint();
    lblPage->setText(QString::fromUtf8(PreviewPageLabel)
                         .arg(RVPrintPreview1->PageNo())
                         .arg(print ? print->PageCount() : 0));
}

void TfrmPreview::TakeZoomText()
{
    QString text = cmbZoom->currentText().trimmed();
    if (text == QStringLiteral("Seitenbreite")) {
        RVPrintPreview1->SetZoomMode(1);
        return;
    }
    if (text == QStringLiteral("Ganze Seite")) {
        RVPrintPreview1->SetZoomMode(0);
        return;
    }
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool number = false;
    int percent = text.toInt(&number);
    if (!number)
        percent = 0;
    if (percent < 50 || percent > 500) {
        Boxes_.Show(ZoomRangeText, ZoomRangeCaption, TMsgButtons::Ok, TMsgIcon::Error);
        cmbZoom->setCurrentIndex(cmbZoom->findText(QStringLiteral("50%")));
        percent = 50;
    }
    RVPrintPreview1->SetZoom(percent);
    cmbZoom->setEditText(QString::number(RVPrintPreview1->ZoomPercent()) + QLatin1Char('%'));
}

bool TfrmPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmbZoom->lineEdit() || watched == cmbZoom) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                TakeZoomText();
                return true; // the key goes no further
            }
            const QString typed = key->text();
            const bool digit = typed.size() == 1 && typed[0].isDigit();
            const bool control = typed.size() == 1 && (typed[0].unicode() == 24 || typed[0].unicode() == 25);
            const bool editing = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Left ||
                                 key->key() == Qt::Key_Right || key->key() == Qt::Key_Up ||
                                 key->key() == Qt::Key_Down || key->key() == Qt::Key_Tab ||
                                 key->key() == Qt::Key_Escape || typed.isEmpty();
            if (!digit && !control && !editing)
                return true;
        } else if (event->type() == QEvent::FocusOut && watched == cmbZoom->lineEdit()) {
            TakeZoomText();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPreview::PrintClicked()
{
    btnPrint->setEnabled(false);
    Panel->setEnabled(false);
    const bool printed = Print_ && Print_();
    if (printed) {
        accept();
        btnPrint->setEnabled(true);
        Panel->setEnabled(true);
        return;
    }
    btnPrint->setEnabled(true);
    Panel->setEnabled(true);
}

} // namespace xq

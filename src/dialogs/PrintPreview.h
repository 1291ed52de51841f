// The print preview: the control that shows one page of the print component at a zoom, and the
// window around it with page navigation, the zoom box and printing.
#pragma once

#include <functional>

#include <QAbstractScrollArea>
#include <QDialog>
#include <QImage>

#include "platform/Canvas.h"
#include "platform/Color.h"

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;

namespace xq {

class TCustomRVPrint;
class TMessageBoxes;

enum TRVClickMode : std::uint8_t { rvcmNone, rvcmSwitchZoom };

/// A pen of the preview; a clear pen draws nothing.
struct TPreviewPen {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    bool Clear = true;
};

/// The page area of the preview: the page of the print component at ZoomPercent, with its shadow,
/// frame, printable area and margin lines. It draws one page, and only when it is shown.
class TCustomRVPrintPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TCustomRVPrintPreview(QWidget* parent = nullptr);
    ~TCustomRVPrintPreview() override;

    /// The source of pages (it must outlive its use here; null: none). Lays the view out anew.
    void SetRVPrint(TCustomRVPrint* print);
    [[nodiscard]] TCustomRVPrint* RVPrint() const noexcept { return Print_; }
    /// A print component is set, it is paginated and it has pages.
    [[nodiscard]] bool Ready() const noexcept;

    [[nodiscard]] int PageNo() const noexcept { return PageNo_; }
    [[nodiscard]] int ZoomPercent() const noexcept { return ZoomPercent_; }
    [[nodiscard]] int PreviousZoom() const noexcept { return PreviousZoom_; }
    /// 0 whole page, 1 page width, 2 a fixed percentage.
    [[nodiscard]] int ZoomMode() const noexcept { return ZoomMode_; }

    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();
    void SetZoomMode(int mode);
    /// A fixed zoom: ZoomMode becomes 2.
    void SetZoom(int percent);
    /// The zoom of the zoom mode for the control's size.
    void UpdateView();
    /// What a click on the page does.
    void Click();

    /// Page pageNo drawn at the size of a printable area of size, as the control shows it; with
    /// a part given (in the area's coordinates), only that part of it.
    [[nodiscard]] QImage RenderPage(int pageNo, const QSize& size, QRect part = {}) const;
    /// The page and its printable area in viewport coordinates.
    [[nodiscard]] QRect PageRect() const;
    [[nodiscard]] QRect AreaRect() const;

    TRVClickMode ClickMode = rvcmSwitchZoom;
    TPreviewPen MarginsPen{0xC0C0C0, psSolid, true};
    TPreviewPen PrintableAreaPen{0x0000FF, psSolid, true};
    TColor ShadowColor = clSystemColor + 21; // the 3-D dark shadow
    int ShadowWidth = 4;
    TColor PageBorderColor = clSystemColor + 13; // the highlight colour
    int PageBorderWidth = 2;
    int BackgroundMargin = 20;
    TColor Color = clBtnShadow;
    /// The shown page is drawn once and kept until the page, its size or the pagination changes.
    bool CachePageImage = false;
    std::function<void()> OnZoomChanged;
    /// The page changed (navigation, scrolling into the next page).
    std::function<void()> OnPageChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    /// Sets the zoom without touching the zoom mode.
    void ApplyZoom(int percent);
    void UpdateScrollRange();
    void UpdateCursor();
    void GoTo(int pageNo, bool toBottom = false);
    /// The page painted at the area's size, from the cache when it is still valid.
    [[nodiscard]] const QImage& PageImage(const QSize& size);

    TCustomRVPrint* Print_ = nullptr;
    int PageNo_ = 1;
    int ZoomPercent_ = 100;
    int PreviousZoom_ = 50;
    int ZoomMode_ = 0;
    /// The scaled geometry: the printable area and the unprintable strips around it.
    int AreaWidth_ = 0, AreaHeight_ = 0;
    QRect Strips_;
    QSize Range_{10, 10};
    QImage Cache_;
    int CachePage_ = -1;
    int CacheCounter_ = -1;
};

class TRVPrintPreview : public TCustomRVPrintPreview {
    Q_OBJECT
public:
    using TCustomRVPrintPreview::TCustomRVPrintPreview;
};

inline constexpr const char* PreviewCaption = "Seitenvorschau";
inline constexpr const char* PreviewPageLabel = "Seite %1 von Seiten %2";
inline constexpr const char* ZoomRangeText = "Vergrößerung min. 50% bis max. 500%";
inline constexpr const char* ZoomRangeCaption = "Fehler Zoomwert";

/// The preview window: the tool panel above the preview control.
class TfrmPreview : public QDialog {
    Q_OBJECT
public:
    /// print asks the main window's print command and answers whether the user printed.
    TfrmPreview(TMessageBoxes& boxes, std::function<bool()> print, QWidget* parent = nullptr);

    /// Connects the control to the component's pages and goes to the first.
    void Prepare(TCustomRVPrint& print);
    /// Shows the window maximised and modally.
    int ShowMaximized();
    /// The zoom box's text as typed or chosen, taken (on Enter, on leaving it, on a choice).
    void TakeZoomText();
    void UpdatePageLabel();

    TRVPrintPreview* RVPrintPreview1 = nullptr;
    QWidget* Panel = nullptr;
    QLabel* lblPage = nullptr;
    QToolButton* btnFirst = nullptr;
    QToolButton* btnPrevious = nullptr;
    QToolButton* btnNext = nullptr;
    QToolButton* btnLast = nullptr;
    QPushButton* btnClose = nullptr;
    QToolButton* btnPrint = nullptr;
    QComboBox* cmbZoom = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PrintClicked();

    TMessageBoxes& Boxes_;
    std::function<bool()> Print_;
};

} // namespace xq

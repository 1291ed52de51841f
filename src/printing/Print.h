// TCustomRVPrint and TRVPrint: the document of an editor laid out again for a printer's page, cut
// into pages, printed in any range and number of copies, and painted page by page for a preview.
//
// The printer's layout is made at the layout's own resolution (96 pixels per inch) with the same
// measures as the editor's, so that every line breaks on paper exactly where it breaks on the
// screen; page canvases draw at that resolution and the printer scales it to its own. Page
// geometry is computed in printer pixels, as printers report their page, and converted once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "layout/ContainerLayout.h"
#include "platform/Canvas.h"
#include "platform/Printer.h"

namespace xq {

class TCustomRVFormattedData;
class TRVDocumentInfo;
class TGraphic;

enum TRVColorMode : std::uint8_t { rvcmColor, rvcmPrinterColor, rvcmGrayScale, rvcmBlackAndWhite, rvcmBlackOnWhite };
enum TRVFixMarginsMode : std::uint8_t { rvfmmAutoCorrect, rvfmmIgnore };

/// A colour as the colour mode prints it: system colours replaced by fixed ones for the printer,
/// grey for rvcmGrayScale (clNone stays clNone).
[[nodiscard]] TColor PrintColor(TColor color, TRVColorMode mode) noexcept;

/// A band of a flow (the document, or the endnotes after it) shown on a page: the flow's y range
/// From..To placed at page y At (layout pixels below the top of the print area).
struct TRVPageSlice {
    bool Endnotes = false;
    std::int32_t From = 0;
    std::int32_t To = 0;
    std::int32_t At = 0;
};

/// One printed page.
struct TRVPageInfo {
    /// The first draw item of the page, and 1 when the page starts at its beginning or the number
    /// of the part (2, 3, ...) when it continues an item cut by the previous page.
    int StartDrawItemNo = 0;
    int StartPart = 1;
    /// The document y at the top of the print area, and where the page's document content ends.
    std::int32_t StartY = 0;
    std::int32_t EndY = 0;
    /// With StartPart > 1: how far into the cut item the page starts.
    std::int32_t SplitOffset = -1;
    /// A table continued from the previous page repeats its heading rows: that table's draw item
    /// and the height of the repeated band (0: none).
    int HeadingDrawItemNo = -1;
    std::int32_t HeadingHeight = 0;
    /// What the page shows, top down.
    std::vector<TRVPageSlice> Slices;
    /// The footnotes whose references lie on the page (indexes into the component's footnotes),
    /// and the height they take above the bottom margin, their separator included.
    std::vector<int> Footnotes;
    std::int32_t FootnotesHeight = 0;
};

/// The print component.
class TCustomRVPrint {
public:
    using TPrintingEvent = std::function<void(TCustomRVPrint& sender, int pageCompleted, int step)>;
    using TPagePaintEvent = std::function<void(TCustomRVPrint& sender, int pageNo, TCanvas& canvas, bool preview,
                                               const TRect& pageRect, const TRect& printAreaRect)>;

    TCustomRVPrint();
    virtual ~TCustomRVPrint();
    TCustomRVPrint(const TCustomRVPrint&) = delete;
    TCustomRVPrint& operator=(const TCustomRVPrint&) = delete;

    bool PreviewCorrection = true;
    TRVColorMode ColorMode = rvcmPrinterColor;
    bool TransparentBackground = false;
    /// Steps: 0 starting, 1 a page done (pageCompleted is its number), 2 finished.
    TPrintingEvent OnFormatting;
    TPrintingEvent OnSendingToPrinter;
    /// Before and after a page's content is painted. The rectangles are in the canvas's pixels:
    /// the printable area (origin 0, 0) and the text area of that page inside it.
    TPagePaintEvent OnPagePrepaint;
    TPagePaintEvent OnPagePostpaint;

    /// The printer pages are made for and printed on; it must outlive its use here. Null: none.
    void SetPrinter(TRVPrinter* printer) noexcept;
    [[nodiscard]] TRVPrinter* Printer() const noexcept { return Printer_; }

    /// Shares the items of an editor's container (they are not copied: the editor must not change
    /// while pages are in use) and takes over its view: margins, options, text width limits, the
    /// background of info. Drops the pages.
    void UseDocumentOf(const TCustomRVFormattedData& editor, const TRVDocumentInfo* info = nullptr);

    /// Lays the document out for the printer and cuts it into pages; returns the page count.
    /// Without a printer, or without a document, there are no pages.
    int PaginateDocument();
    [[nodiscard]] int PageCount() const noexcept { return static_cast<int>(Pages_.size()); }
    [[nodiscard]] bool Paginated() const noexcept { return Paginated_; }
    [[nodiscard]] bool PrinterAvailable() const noexcept { return PrinterAvailable_; }
    /// Counts the paginations 0..9999 and then from 0 again.
    [[nodiscard]] int FormatCounter() const noexcept { return FormatCounter_; }
    [[nodiscard]] const std::vector<TRVPageInfo>& Pages() const noexcept { return Pages_; }
    /// The layout made for the printer (valid after PaginateDocument).
    [[nodiscard]] const TRVContainerLayout* PrintLayout() const noexcept { return Layout_.get(); }

    /// Puts the page starts found by the last pagination into the editor's soft page breaks (one
    /// per page from page 2 on) and returns whether it had or now has any.
    bool AssignSoftPageBreaks(TCustomRVFormattedData& editor) const;

    /// Prints pages first..last; false when the printer failed or there was nothing to print.
    bool PrintAll(const std::string& title, int copies, bool collate);
    bool PrintPageRange(int firstPage, int lastPage, const std::string& title, int copies, bool collate);

    /// Paints page pageNo (from 1) on a canvas of PageCanvasDpi with the origin at the top left
    /// corner of the printable area. Throws EDocViewError for a page that does not exist.
    void PaintPage(int pageNo, TCanvas& canvas, bool preview, bool correction);
    /// The text area of page pageNo mapped into rect, which stands for the printable area.
    [[nodiscard]] TRect MarginsRect(const TRect& rect, int pageNo) const noexcept;
    /// Draws MarginsRect with pen.
    void DrawMarginsRect(TCanvas& canvas, const TRect& rect, int pageNo, const TCanvasPen& pen) const;
    /// The strips of the sheet outside the printable area (Left, Top, Right, Bottom as widths),
    /// in printer pixels or in screen pixels.
    [[nodiscard]] TRect UnprintableMargins(bool screen) const;
    /// The printable area in screen pixels.
    [[nodiscard]] std::int32_t PrintableAreaWidth() const noexcept;
    [[nodiscard]] std::int32_t PrintableAreaHeight() const noexcept;

    // --- Page geometry, printer pixels (valid after PaginateDocument) ------------------------------
    [[nodiscard]] const TPrinterPageMetrics& PageMetrics() const noexcept { return Metrics_; }
    std::int32_t PrintLeft = 0;
    std::int32_t PrintTop = 0;
    std::int32_t PrintRight = 0;
    std::int32_t PrintBottom = 0;
    std::int32_t MirroredLeft = 0;
    [[nodiscard]] std::int32_t TextAreaWidth() const noexcept;
    [[nodiscard]] std::int32_t TextAreaHeight() const noexcept;

    /// The text area of page pageNo in page canvas pixels (the PrintAreaRect of the page events).
    [[nodiscard]] TRect PrintAreaRect(int pageNo) const noexcept;
    /// The printable area in page canvas pixels (the PageRect of the page events).
    [[nodiscard]] TRect PageRect() const noexcept;

protected:
    /// The margins in millimetres and how they apply; TRVPrint gives its properties.
    struct TMarginsMM {
        int Left = 20, Right = 20, Top = 20, Bottom = 20;
        bool Mirror = false;
        bool Clip = false;
        TRVFixMarginsMode FixMode = rvfmmAutoCorrect;
    };
    [[nodiscard]] virtual TMarginsMM MarginsMM() const noexcept;

private:
    class TPaginator;
    struct TNotesFlow;

    void ComputeGeometry();
    void FreePages() noexcept;
    void PaintSlice(TCanvas& canvas, const TRVPageInfo& page, const TRVPageSlice& slice, const TRect& area);
    void PaintFootnotes(TCanvas& canvas, const TRVPageInfo& page, const TRect& area);

    TRVPrinter* Printer_ = nullptr;
    const TCustomRVFormattedData* Source_ = nullptr;
    const TRVDocumentInfo* Info_ = nullptr;
    TRVViewSettings View_;
    std::unique_ptr<TRVContainerLayout> Layout_;
    std::unique_ptr<TNotesFlow> Footnotes_;
    std::unique_ptr<TNotesFlow> Endnotes_;
    std::vector<TRVPageInfo> Pages_;
    TPrinterPageMetrics Metrics_;
    /// The geometry in page canvas pixels.
    std::int32_t LeftPx_ = 0, TopPx_ = 0, RightPx_ = 0, BottomPx_ = 0, MirroredLeftPx_ = 0;
    std::int32_t AreaWidthPx_ = 0, AreaHeightPx_ = 0;
    /// The band a page's footnotes begin with: the height of a line of text style 0.
    std::int32_t FootnoteSeparator_ = 0;
    bool Paginated_ = false;
    bool PrinterAvailable_ = false;
    int FormatCounter_ = 0;
};

/// The print component with its margins.
class TRVPrint : public TCustomRVPrint {
public:
    /// Millimetres from the paper's edges.
    int LeftMarginMM = 20;
    int RightMarginMM = 20;
    int TopMarginMM = 20;
    int BottomMarginMM = 20;
    /// Millimetres from the top and the bottom edge of the paper.
    int HeaderYMM = 10;
    int FooterYMM = 10;
    /// On even pages the left and right margins exchange.
    bool MirrorMargins = false;
    /// Page content is clipped to the print area.
    bool ClipMargins = false;
    TRVFixMarginsMode FixMarginsMode = rvfmmAutoCorrect;

protected:
    [[nodiscard]] TMarginsMM MarginsMM() const noexcept override;
};

/// The text of the error raised for a page that does not exist.
inline constexpr const char* InvalidPageNumberError = "Invalid page number is specified for printing";

} // namespace xq

// TRVContainerLayout: one layout of a container - its items placed in lines of draw items for a
// target canvas. The layout refers to the items and keeps everything it learns about them
// itself, so that one document can have several layouts at once: the editor's at 96 dpi, the
// printer's at its resolution, a preview's.
//
// Invariants, after FormatAll and after every FormatAppended or ReformatRange:
// - the draw items list the pieces of the items 0..Count-1 in order; an item's pieces are
//   consecutive, FirstLinePiece(i) is the first of them, and every item has at least one;
// - each line starts with a draw item whose StartsLine() is true, and the lines' tops never
//   decrease;
// - Jumps() lists the draw items of hyperlinks in order, the pieces of one item sharing a number;
// - items that keep a layout of their own (tables, with the layouts of their cells) keep it in
//   ItemState, never in the item.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/RVData.h"
#include "document/StyleTypes.h"
#include "layout/DrawLines.h"
#include "layout/FontInfoCache.h"
#include "layout/ViewOptions.h"

namespace xq {

/// Where pagination cut the document: the item and character offset at which a page starts.
struct TRVSoftPageBreakInfo {
    std::int32_t ItemNo = 0;
    std::int32_t Offset = 0;
    std::int32_t ExtraData = -1; ///< the position inside a split item, -1 otherwise
};

/// How a view shows a container: margins, text width limits, options. Lengths are screen pixels
/// (96 per inch); ScrollY is in device pixels of the layout's canvas.
struct TRVViewSettings {
    std::int32_t LeftMargin = 5;
    std::int32_t RightMargin = 10;
    std::int32_t TopMargin = 5;
    std::int32_t BottomMargin = 5;
    /// The text width never falls below MinTextWidth; above 0, MaxTextWidth caps it.
    std::int32_t MinTextWidth = 0;
    std::int32_t MaxTextWidth = 0;
    TRVOptions Options{rvoAllowSelection, rvoShowPageBreaks, rvoTagsArePChars};
    bool WordWrap = true;
    /// Above 0, the most characters a line holds.
    std::int32_t MaxLength = 0;
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    /// Above 0, the text width in device pixels, whatever the client and the limits say (the
    /// content width of a table cell); paragraphs that do not wrap may still be wider.
    std::int32_t FixedTextAreaWidth = 0;
    /// Size of the view's client area, screen pixels.
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;
    /// Vertical scroll position of the view, device pixels (kept by FormatAll when asked).
    std::int32_t ScrollY = 0;

    /// Told the size of the document area after formatting (width, height, redraw); returns true
    /// when that changed the client area (scroll bars came or went), after updating ClientWidth
    /// and ClientHeight; formatting then runs again with the new size.
    std::function<bool(std::int32_t, std::int32_t, bool)> OnSetDocumentAreaSize;
    /// Told that formatting moved the vertical scroll position.
    std::function<void()> OnScrollChanged;
};

/// What one item kind keeps in a layout about one of its items (a table: its columns, rows and
/// the layouts of its cells).
class TRVItemLayoutState {
public:
    TRVItemLayoutState() = default;
    virtual ~TRVItemLayoutState() = default;
    TRVItemLayoutState(const TRVItemLayoutState&) = delete;
    TRVItemLayoutState& operator=(const TRVItemLayoutState&) = delete;

    /// The FormatGeneration of the layout when the item last used the state: a whole format
    /// drops the states no item used.
    std::uint32_t LastFormat = 0;
};

/// A layout of a container. FormatAll lays out everything, FormatAppended the items added at the
/// end, and ReformatRange a few whole paragraphs after an edit, reusing the slots of the draw
/// items it replaces.
///
/// Draw items are in device pixels of the target canvas, with the origin at the top left corner
/// of the document area (margins included). The container and the settings must outlive the
/// layout.
class TRVContainerLayout {
public:
    TRVContainerLayout(const TCustomRVData& document, TRVViewSettings& view) noexcept;
    virtual ~TRVContainerLayout();
    TRVContainerLayout(const TRVContainerLayout&) = delete;
    TRVContainerLayout& operator=(const TRVContainerLayout&) = delete;

    /// The container laid out, and the view settings the layout follows.
    [[nodiscard]] const TCustomRVData& Document() const noexcept { return Doc_; }
    [[nodiscard]] TRVViewSettings& View() noexcept { return View_; }
    [[nodiscard]] const TRVViewSettings& View() const noexcept { return View_; }

    // --- Target ---------------------------------------------------------------------------------
    /// The canvas text is measured on; it must outlive its use here. Changing it forgets the
    /// cached font metrics and the layout. A layout inside another (a table cell's) passes the
    /// font cache of the outer one for the same canvas, so that all share one.
    void SetFormatCanvas(TCanvas* canvas, TRVFontInfoCache* sharedFonts = nullptr);
    [[nodiscard]] TCanvas* FormatCanvas() const noexcept { return Canvas_; }
    /// After the style sheet changed: forgets the cached font metrics and the layout.
    void StyleSheetChanged() noexcept;
    [[nodiscard]] const TRVDeviceScale& DeviceScale() const noexcept { return Scale_; }
    [[nodiscard]] TRVFontInfoCache* FontCache() noexcept { return Fonts_; }

    // --- Formatting ------------------------------------------------------------------------------
    /// Lays out the whole container when the width changed or rebuild is asked (otherwise the
    /// draw items stay). keepScroll keeps the first visible item where it was in the view.
    void FormatAll(bool keepScroll = false, bool rebuild = true);
    /// Lays out the items after the last formatted one.
    void FormatAppended();
    /// Lays out again the draw items first..last (whole paragraphs, from GetReformatRange) after
    /// an edit that inserted (itemDelta > 0) or deleted items inside them.
    void ReformatRange(int first, int last, int itemDelta);
    /// The widest minimal width of the paragraphs from item fromItemNo on, device pixels. Text
    /// can always be cut, so it counts only in paragraphs that do not wrap, unless words is set:
    /// then the widest word of each text counts too (a table column should not split words).
    /// toItemNo >= 0 stops after the paragraph holding that item.
    [[nodiscard]] std::int32_t GetMinTextAreaWidth(int fromItemNo = 0, bool words = false, int toItemNo = -1);
    /// After an edit changed the paragraphs whose widest minimal width was oldRangeMin (now
    /// newRangeMin): whether the text area keeps its width, so that re-laying out those paragraphs
    /// is enough. False when the whole document must be formatted.
    [[nodiscard]] bool TextAreaWidthHolds(std::int32_t oldRangeMin, std::int32_t newRangeMin);
    /// Frees the layout: the container counts as unformatted.
    void ClearLayout() noexcept;

    [[nodiscard]] bool Formatted() const noexcept { return Formatted_; }
    [[nodiscard]] TRVDrawLines& DrawItems() noexcept { return Lines_; }
    [[nodiscard]] const TRVDrawLines& DrawItems() const noexcept { return Lines_; }
    [[nodiscard]] const std::vector<TRVJumpInfo>& Jumps() const noexcept { return Jumps_; }
    /// The first draw item of item itemNo, -1 while it is not laid out.
    [[nodiscard]] int FirstLinePiece(int itemNo) const noexcept;
    /// The hyperlink number of item itemNo, -1 when it is no laid-out link.
    [[nodiscard]] int JumpNoOf(int itemNo) const noexcept;
    [[nodiscard]] std::vector<TRVSoftPageBreakInfo>& SoftPageBreaks() noexcept { return SoftPageBreaks_; }
    [[nodiscard]] const std::vector<TRVSoftPageBreakInfo>& SoftPageBreaks() const noexcept { return SoftPageBreaks_; }

    [[nodiscard]] std::int32_t TextAreaWidth() const noexcept { return TextAreaWidth_; }
    [[nodiscard]] std::int32_t MinTextAreaWidth() const noexcept { return MinTextAreaWidth_; }
    [[nodiscard]] std::int32_t TotalHeight() const noexcept { return TotalHeight_; }
    /// LeftMargin + TextAreaWidth + RightMargin, device pixels.
    [[nodiscard]] std::int32_t DocumentWidth() const noexcept;
    /// The area that changed with the last ReformatRange (document coordinates; empty when none).
    [[nodiscard]] const TRect& InvalidRect() const noexcept { return Invalid_; }

    // --- What items keep here ---------------------------------------------------------------------
    /// The state item keeps in this layout, null when it has none yet.
    [[nodiscard]] TRVItemLayoutState* ItemState(const TCustomRVItemInfo& item) const noexcept;
    /// Gives item a state in this layout, replacing one it had; returns it.
    TRVItemLayoutState& SetItemState(const TCustomRVItemInfo& item, std::unique_ptr<TRVItemLayoutState> state);
    /// Counts the whole formats (items mark the states they use with it).
    [[nodiscard]] std::uint32_t FormatGeneration() const noexcept { return Generation_; }

    // --- Selection, as painting shows it -----------------------------------------------------------
    /// Start and end of the selection, each a draw item and an offset in it (1..CharCount+1 in
    /// text, 0..1 in other items), in the order the selection was made; SelStartNo -1: none.
    std::int32_t SelStartNo = -1;
    std::int32_t SelStartOffs = 0;
    std::int32_t SelEndNo = -1;
    std::int32_t SelEndOffs = 0;
    /// The selection with its ends ordered; false when there is none.
    bool GetOrderedSelection(int& firstNo, int& firstOffs, int& lastNo, int& lastOffs) const noexcept;

    // --- A sub-document edited in place ---------------------------------------------------------------
    /// A sub-document (a table cell) shown through another layout than this one's own layout of
    /// it: the layout of the editor that edits it in place, with its caret and selection. Painting
    /// draws EditedSubLayout where it would draw EditedSubDocument. Null: none.
    const TCustomRVData* EditedSubDocument = nullptr;
    TRVContainerLayout* EditedSubLayout = nullptr;

    // --- Queries of the layout ------------------------------------------------------------------------
    /// The first and last draw items of the line that holds draw item index.
    void GetLineRange(int index, int& first, int& last) const;
    /// The y below the line of draw item index: the lowest Top + Height + LineGapAfter of its
    /// vertically placed pieces.
    [[nodiscard]] std::int32_t LineBottom(int index) const;
    /// The text an 8-bit or Unicode text item shows, as UTF-16: all-caps applied, soft hyphens as
    /// invisible break points or as marks. One unit per stored character.
    [[nodiscard]] std::u16string DisplayTextOf(int itemNo) const;
    /// Whether the paragraph of an item wraps its lines.
    [[nodiscard]] bool ParagraphWraps(int itemNo) const;

private:
    friend class TRVFormatter;

    /// What the layout knows of one item.
    struct TItemPlacement {
        std::int32_t FirstPiece = -1;
        std::int32_t JumpNo = -1;
    };

    /// LineBottom with the line's item numbers shifted by itemShift (items renumbered since).
    [[nodiscard]] std::int32_t LineBottom(int index, int itemShift) const;
    [[nodiscard]] std::int32_t WidestWord(int itemNo);
    void EnsureFontCache();
    /// Measures the content's minimal width and sets the text area's widths from it.
    void UpdateTextAreaWidth();
    /// The text area's widths from ContentMinWidth_, the client width and the width limits.
    void SetTextAreaWidths();
    /// The document's height when its last line ends at y: the last paragraph's SpaceAfter and
    /// the bottom margin below it.
    [[nodiscard]] std::int32_t HeightBelow(std::int32_t y) const;
    void RenumberJumps();
    void ReportDocumentSize(bool redraw);

    const TCustomRVData& Doc_;
    TRVViewSettings& View_;
    TCanvas* Canvas_ = nullptr;
    TRVDeviceScale Scale_;
    TRVFontInfoCache* Fonts_ = nullptr; ///< OwnFonts_, or the cache of an outer layout
    std::unique_ptr<TRVFontInfoCache> OwnFonts_;
    TRVDrawLines Lines_;
    std::vector<TRVJumpInfo> Jumps_;
    /// One entry per item laid out.
    std::vector<TItemPlacement> Placements_;
    std::unordered_map<const TCustomRVItemInfo*, std::unique_ptr<TRVItemLayoutState>> States_;
    std::vector<TRVSoftPageBreakInfo> SoftPageBreaks_;
    std::int32_t TextAreaWidth_ = 0;
    std::int32_t MinTextAreaWidth_ = 0;
    /// GetMinTextAreaWidth(0) at the last width update, kept current by TextAreaWidthHolds.
    std::int32_t ContentMinWidth_ = 0;
    std::int32_t TotalHeight_ = 0;
    /// The item count the layout covers (FormatAppended starts there).
    int FormattedItems_ = 0;
    std::uint32_t Generation_ = 0;
    bool Formatted_ = false;
    bool Formatting_ = false;
    int FormatDepth_ = 0;
    TRect Invalid_;
};

} // namespace xq

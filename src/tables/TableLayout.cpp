// Table layout: from the grid, the cells' contents and the requested widths to column widths,
// row heights and cell rectangles.
//
// Horizontally a table is, from its left edge: the border (BorderWidth), BorderHSpacing, then per
// column the cell border (CellBorderWidth), the padding, the content (ColWidths), the padding and
// the cell border, with CellHSpacing between columns, and BorderHSpacing and the border again at
// the right. Vertically the same with the V values. A cell's rectangle is its padding box:
// content plus padding, inside its border; ColStarts and RowStarts are the left and top of the
// cell rectangles of each column and row.
#include "tables/TableLayout.h"

#include <algorithm>
#include <numeric>

#include "document/RVStyle.h"
#include "layout/FontInfoCache.h"
#include "layout/Painter.h"

namespace xq {

namespace {

/// Lengths a table may give itself: files can carry anything, and a frame of a million lines
/// helps nobody.
constexpr std::int32_t MaxTableLength = 1000;
constexpr std::int32_t MaxTableBestSize = 32000;

std::int32_t Length(std::int32_t v) noexcept
{
    return std::clamp(v, 0, MaxTableLength);
}

/// A spacing may be negative: -1 lets neighbouring borders overlap by one pixel, so that two
/// cells share one line. It never reaches further than the border it overlaps, or cells would
/// run into their neighbours' padding and out of the table.
std::int32_t Spacing(std::int32_t v, std::int32_t border) noexcept
{
    return std::clamp(v, -Length(border), MaxTableLength);
}

/// The table's lengths, limited and scaled to the device.
struct TTableMetrics {
    explicit TTableMetrics(const TRVTableItemInfo& t, const TRVDeviceScale& s)
        : Border(s.X(Length(t.BorderWidth))), BorderV(s.Y(Length(t.BorderWidth))),
          BorderHSpacing(s.X(Spacing(t.BorderHSpacing, t.BorderWidth))),
          BorderVSpacing(s.Y(Spacing(t.BorderVSpacing, t.BorderWidth))),
          CellBorder(s.X(Length(t.CellBorderWidth))), CellBorderV(s.Y(Length(t.CellBorderWidth))),
          HPadding(s.X(Length(t.CellHPadding))), VPadding(s.Y(Length(t.CellVPadding))),
          HSpacing(s.X(Spacing(t.CellHSpacing, t.CellBorderWidth))),
          VSpacing(s.Y(Spacing(t.CellVSpacing, t.CellBorderWidth))),
          VRule(s.X(Length(t.VRuleWidth))), HRule(s.Y(Length(t.HRuleWidth)))
    {
    }

    std::int32_t Border, BorderV, BorderHSpacing, BorderVSpacing, CellBorder, CellBorderV;
    std::int32_t HPadding, VPadding, HSpacing, VSpacing, VRule, HRule;

    /// What lies between the content of one column and the next.
    [[nodiscard]] std::int32_t ColumnGap() const noexcept { return 2 * HPadding + 2 * CellBorder + HSpacing; }
    [[nodiscard]] std::int32_t RowGap() const noexcept { return 2 * VPadding + 2 * CellBorderV + VSpacing; }
    /// The width that is not column content nor padding: spacings and borders.
    [[nodiscard]] std::int32_t FixedExtra(int cols) const noexcept
    {
        return (cols - 1) * HSpacing + 2 * (Border + BorderHSpacing) + 2 * cols * CellBorder;
    }
};

/// A requested width: pixels up to 32000, or a percentage up to 100.
std::int32_t BestWidthOf(TRVHTMLLength w) noexcept
{
    return std::clamp(w, -100, MaxTableBestSize);
}

enum class TColumnMark { Free, Percent, Fixed };

/// The work of one layout run.
class TTableFormatter {
public:
    /// Lays the table out into state, or, without one, only measures it.
    TTableFormatter(const TRVTableItemInfo& table, TRVTableLayoutState* state, TRVLayoutContext& ctx)
        : T_(table), Ctx_(ctx), M_(table, ctx.Scale), Rows_(table.RowCount()), Cols_(table.ColCount()),
          Own_(state ? nullptr : std::make_unique<TRVTableLayoutState>()), S_(state ? *state : *Own_)
    {
    }

    void Format(std::int32_t availableWidth);
    [[nodiscard]] std::int32_t MinWidth();

private:
    void PrepareCells();
    void ComputeMinimumWidths();
    /// Raises the columns first..first+span-1 so that together (with the gaps between them) they
    /// are at least wish wide; the rise is shared in proportion to their widths.
    void Spread(int first, int span, std::int32_t wish, TColumnMark mark);
    [[nodiscard]] std::int32_t SpannedWidth(int first, int span) const;
    void ShareAmong(const std::vector<int>& columns, const std::vector<std::int32_t>& wishes, std::int32_t space,
                    TColumnMark mark);
    void DistributeRemainder(std::int32_t remaining, const std::vector<std::int32_t>& percentWish,
                             const std::vector<std::int32_t>& pixelWish);
    void LayOutRows();
    [[nodiscard]] std::int32_t FormatCell(const TRVTableCellData& cell, std::int32_t width);
    /// The layout of the cell ForEachCell is at.
    [[nodiscard]] TRVTableCellLayout& Current() { return *Current_; }

    template <typename F>
    void ForEachCell(F f)
    {
        int index = 0;
        for (int r = 0; r < Rows_; ++r)
            for (int c = 0; c < Cols_; ++c)
                if (TRVTableCellData* cell = T_.Rows[r][c]) {
                    Current_ = &S_.Cell(index++, *cell);
                    f(*cell, r, c);
                }
    }

    const TRVTableItemInfo& T_;
    TRVLayoutContext& Ctx_;
    TTableMetrics M_;
    int Rows_, Cols_;
    std::unique_ptr<TRVTableLayoutState> Own_;
    TRVTableLayoutState& S_;
    TRVTableCellLayout* Current_ = nullptr;
    std::vector<std::int32_t> Widths_;
    std::vector<TColumnMark> Marks_;
};

void TTableFormatter::PrepareCells()
{
    const TRVViewSettings* outer = Ctx_.Layout ? &Ctx_.Layout->View() : nullptr;
    ForEachCell([&](TRVTableCellData& cell, int, int) {
        TRVTableCellLayout& layout = Current();
        TRVViewSettings& view = layout.View;
        view.LeftMargin = view.RightMargin = view.TopMargin = view.BottomMargin = 0;
        if (outer) {
            view.Options = outer->Options;
            view.WordWrap = outer->WordWrap;
        }
        layout.Layout.SetFormatCanvas(&Ctx_.Canvas, &Ctx_.Fonts);
    });
}

std::int32_t TTableFormatter::SpannedWidth(int first, int span) const
{
    std::int32_t width = (span - 1) * M_.ColumnGap();
    for (int c = first; c < first + span; ++c)
        width += Widths_[std::size_t(c)];
    return width;
}

void TTableFormatter::Spread(int first, int span, std::int32_t wish, TColumnMark mark)
{
    span = std::min(span, Cols_ - first);
    const std::int32_t have = SpannedWidth(first, span);
    if (wish > have) {
        std::int32_t rise = wish - have;
        std::int64_t weights = 0;
        for (int c = first; c < first + span; ++c)
            weights += std::max(Widths_[std::size_t(c)], 1);
        for (int c = first; c < first + span && rise > 0; ++c) {
            const std::int32_t weight = std::max(Widths_[std::size_t(c)], 1);
            const auto share = c == first + span - 1 ? rise : static_cast<std::int32_t>(std::int64_t(rise) * weight / weights);
            Widths_[std::size_t(c)] += share;
            rise -= share;
            weights -= weight;
        }
    }
    if (mark != TColumnMark::Free)
        for (int c = first; c < first + span; ++c)
            Marks_[std::size_t(c)] = mark;
}

void TTableFormatter::ComputeMinimumWidths()
{
    Widths_.assign(std::size_t(Cols_), 0);
    Marks_.assign(std::size_t(Cols_), TColumnMark::Free);
    if (T_.Options.Contains(rvtoIgnoreContentWidth))
        return;
    struct TMerged {
        const TRVTableCellData* Cell;
        int Col;
        std::int32_t Min;
    };
    std::vector<TMerged> merged;
    ForEachCell([&](TRVTableCellData& cell, int, int c) {
        TRVTableCellLayout& layout = Current();
        if (Ctx_.Rebuild || layout.MinWidth < 0 || layout.MinWidthRevision != cell.ContentRevision()) {
            layout.MinWidth = layout.Layout.GetMinTextAreaWidth(0, true);
            layout.MinWidthRevision = cell.ContentRevision();
        }
        const std::int32_t min = layout.MinWidth;
        if (cell.ColSpan() == 1)
            Widths_[std::size_t(c)] = std::max(Widths_[std::size_t(c)], min);
        else
            merged.push_back({&cell, c, min});
    });
    // Content of merged cells must fit the columns it spans.
    for (const TMerged& m : merged)
        Spread(m.Col, m.Cell->ColSpan(), m.Min, TColumnMark::Free);
}

std::int32_t TTableFormatter::MinWidth()
{
    if (Rows_ == 0)
        return 2 * (M_.Border + M_.BorderHSpacing);
    PrepareCells();
    ComputeMinimumWidths();
    const std::int32_t min = M_.FixedExtra(Cols_) + 2 * Cols_ * M_.HPadding +
                             std::accumulate(Widths_.begin(), Widths_.end(), std::int32_t(0));
    return BestWidthOf(T_.BestWidth) > 0 ? std::max(min, Ctx_.Scale.X(BestWidthOf(T_.BestWidth))) : min;
}

void TTableFormatter::ShareAmong(const std::vector<int>& columns, const std::vector<std::int32_t>& wishes,
                                 std::int32_t space, TColumnMark mark)
{
    // Columns that wish for more than they have share the space in proportion to their wishes,
    // never getting less than they have; when there is room for every wish, each gets its wish.
    std::int64_t wishSum = 0;
    for (int c : columns)
        wishSum += wishes[std::size_t(c)];
    if (columns.empty() || wishSum <= 0)
        return;
    for (int c : columns) {
        const std::int32_t wish = wishes[std::size_t(c)];
        const std::int32_t share = wishSum <= space ? wish : static_cast<std::int32_t>(std::int64_t(space) * wish / wishSum);
        Widths_[std::size_t(c)] = std::max(Widths_[std::size_t(c)], share);
        Marks_[std::size_t(c)] = mark;
    }
}

void TTableFormatter::DistributeRemainder(std::int32_t remaining, const std::vector<std::int32_t>& percentWish,
                                          const std::vector<std::int32_t>& pixelWish)
{
    std::vector<int> free;
    bool anyFixed = false;
    for (int c = 0; c < Cols_; ++c) {
        if (Marks_[std::size_t(c)] == TColumnMark::Free)
            free.push_back(c);
        anyFixed = anyFixed || Marks_[std::size_t(c)] == TColumnMark::Fixed;
    }
    if (!free.empty()) {
        // Each free column in turn takes an equal part of what is left.
        for (std::size_t k = 0; k < free.size() && remaining >= 1; ++k) {
            const std::int32_t share = remaining / std::int32_t(free.size() - k);
            Widths_[std::size_t(free[k])] += share;
            remaining -= share;
        }
        return;
    }
    std::vector<int> takers;
    std::vector<std::int64_t> weights;
    for (int c = 0; c < Cols_; ++c) {
        if (!anyFixed && Marks_[std::size_t(c)] == TColumnMark::Percent) {
            takers.push_back(c);
            weights.push_back(std::max(percentWish[std::size_t(c)], 1));
        } else if (anyFixed && percentWish[std::size_t(c)] <= 0) {
            takers.push_back(c);
            weights.push_back(std::max(pixelWish[std::size_t(c)], 1));
        }
    }
    std::int64_t weightSum = std::accumulate(weights.begin(), weights.end(), std::int64_t(0));
    const std::int32_t total = remaining;
    for (std::size_t k = 0; k < takers.size() && remaining > 0 && weightSum > 0; ++k) {
        std::int32_t share = k + 1 == takers.size() ? remaining : static_cast<std::int32_t>(total * weights[k] / weightSum);
        share = std::clamp(share, std::int32_t(1), remaining);
        Widths_[std::size_t(takers[k])] += share;
        remaining -= share;
    }
}

std::int32_t TTableFormatter::FormatCell(const TRVTableCellData& cell, std::int32_t width)
{
    TRVTableCellLayout& layout = Current();
    width = std::max(width, 1);
    // After an edit elsewhere in the table (no whole format), a cell laid out for this width
    // and this content keeps its layout.
    if (!Ctx_.Rebuild && layout.Layout.Formatted() && layout.View.FixedTextAreaWidth == width &&
        layout.LaidOutRevision == cell.ContentRevision())
        return layout.Layout.TotalHeight();
    layout.View.FixedTextAreaWidth = width;
    layout.Layout.FormatAll(false, true);
    layout.LaidOutRevision = cell.ContentRevision();
    return layout.Layout.TotalHeight();
}

void TTableFormatter::Format(std::int32_t availableWidth)
{
    TRVTableItemFormattingInfo& layout = S_.Layout;
    layout.Clear();
    if (Rows_ == 0) {
        layout.FWidth = 2 * (M_.Border + M_.BorderHSpacing);
        layout.FHeight = 2 * (M_.BorderV + M_.BorderVSpacing);
        return;
    }
    PrepareCells();

    // The table is auto-fixed when every column ends a cell of a fixed pixel width and nothing is
    // merged or given in percent: its width is then the sum of those widths.
    bool autoFixed = BestWidthOf(T_.BestWidth) == 0;
    if (autoFixed) {
        std::vector<bool> fixedEnd(std::size_t(Cols_), false);
        ForEachCell([&](TRVTableCellData& cell, int, int c) {
            if (cell.ColSpan() != 1 || cell.RowSpan() != 1 || BestWidthOf(cell.BestWidth) < 0)
                autoFixed = false;
            if (BestWidthOf(cell.BestWidth) > 0)
                fixedEnd[std::size_t(c + cell.ColSpan() - 1)] = true;
        });
        autoFixed = autoFixed && std::all_of(fixedEnd.begin(), fixedEnd.end(), [](bool b) { return b; });
    }

    ComputeMinimumWidths();
    const std::int32_t fixedExtra = M_.FixedExtra(Cols_);
    const std::int32_t paddings = 2 * Cols_ * M_.HPadding;
    const std::int32_t minContent = std::accumulate(Widths_.begin(), Widths_.end(), std::int32_t(0));
    std::int32_t width = 0;
    if (BestWidthOf(T_.BestWidth) > 0)
        width = Ctx_.Scale.X(BestWidthOf(T_.BestWidth));
    else if (BestWidthOf(T_.BestWidth) < 0)
        width = static_cast<std::int32_t>(std::int64_t(availableWidth) * -std::int64_t(BestWidthOf(T_.BestWidth)) / 100);
    else if (!autoFixed)
        width = std::max(fixedExtra + paddings + minContent, availableWidth);

    const std::int32_t columnSpace = width - fixedExtra;
    const std::int32_t contentSpace = columnSpace - paddings;

    // Wishes per column, from cells of one column.
    std::vector<std::int32_t> percentWish(std::size_t(Cols_), 0), percentOf(std::size_t(Cols_), 0);
    std::vector<std::int32_t> pixelWish(std::size_t(Cols_), 0);
    std::vector<bool> hasPercent(std::size_t(Cols_), false);
    ForEachCell([&](TRVTableCellData& cell, int, int c) {
        if (cell.ColSpan() != 1)
            return;
        if (BestWidthOf(cell.BestWidth) < 0) {
            hasPercent[std::size_t(c)] = true;
            const std::int32_t wish = static_cast<std::int32_t>(std::int64_t(columnSpace) * -BestWidthOf(cell.BestWidth) / 100) -
                                      2 * M_.HPadding;
            percentWish[std::size_t(c)] = std::max(percentWish[std::size_t(c)], wish);
            percentOf[std::size_t(c)] = std::max(percentOf[std::size_t(c)], -BestWidthOf(cell.BestWidth));
        } else if (BestWidthOf(cell.BestWidth) > 0) {
            pixelWish[std::size_t(c)] = std::max(pixelWish[std::size_t(c)], Ctx_.Scale.X(BestWidthOf(cell.BestWidth)));
        }
    });
    for (int c = 0; c < Cols_; ++c)
        if (hasPercent[std::size_t(c)])
            pixelWish[std::size_t(c)] = 0;

    auto used = [&] { return std::accumulate(Widths_.begin(), Widths_.end(), std::int32_t(0)); };
    if (autoFixed || minContent < contentSpace) {
        if (!autoFixed) {
            // 1. Columns with a width in percent.
            std::vector<int> wanting;
            std::int32_t space = contentSpace - used();
            for (int c = 0; c < Cols_; ++c)
                if (percentWish[std::size_t(c)] > Widths_[std::size_t(c)]) {
                    wanting.push_back(c);
                    space += Widths_[std::size_t(c)];
                }
            ShareAmong(wanting, percentWish, space, TColumnMark::Percent);
            // 2. Merged cells with a width in percent.
            ForEachCell([&](TRVTableCellData& cell, int, int c) {
                if (cell.ColSpan() > 1 && BestWidthOf(cell.BestWidth) < 0)
                    Spread(c, cell.ColSpan(),
                           static_cast<std::int32_t>(std::int64_t(availableWidth) * -BestWidthOf(cell.BestWidth) / 100) - 2 * M_.HPadding,
                           TColumnMark::Percent);
            });
        }
        // 3. Columns with a width in pixels.
        std::vector<int> wanting;
        std::int32_t space = contentSpace - used();
        for (int c = 0; c < Cols_; ++c) {
            if (pixelWish[std::size_t(c)] <= 0)
                continue;
            if (autoFixed) {
                Widths_[std::size_t(c)] = std::max(Widths_[std::size_t(c)], pixelWish[std::size_t(c)]);
                Marks_[std::size_t(c)] = TColumnMark::Fixed;
            } else if (pixelWish[std::size_t(c)] > Widths_[std::size_t(c)]) {
                wanting.push_back(c);
                space += Widths_[std::size_t(c)];
            }
        }
        ShareAmong(wanting, pixelWish, space, TColumnMark::Fixed);
        // 4. Merged cells with a width in pixels.
        ForEachCell([&](TRVTableCellData& cell, int, int c) {
            if (cell.ColSpan() > 1 && BestWidthOf(cell.BestWidth) > 0)
                Spread(c, cell.ColSpan(), Ctx_.Scale.X(BestWidthOf(cell.BestWidth)) - 2 * M_.HPadding, TColumnMark::Fixed);
        });
        if (autoFixed) {
            // 5. The table is as wide as its columns.
            width = fixedExtra + paddings + used();
        } else if (const std::int32_t remaining = contentSpace - used(); remaining > 0) {
            // 6. What is left goes to the free columns, or else to those with wishes.
            DistributeRemainder(remaining, percentOf, pixelWish);
        }
    } else {
        width += minContent - contentSpace; // wider than asked: the content needs it
    }
    // Whatever was shared out, the columns fill the table exactly.
    width = std::max(width, fixedExtra + paddings + used());
    layout.FWidth = width;
    layout.ColWidths = Widths_;

    // Column starts: the left edge of each column's cell rectangles.
    layout.ColStarts.resize(std::size_t(Cols_));
    std::int32_t x = M_.Border + M_.BorderHSpacing + M_.CellBorder;
    for (int c = 0; c < Cols_; ++c) {
        layout.ColStarts[std::size_t(c)] = x;
        x += Widths_[std::size_t(c)] + M_.ColumnGap();
    }
    LayOutRows();
}

void TTableFormatter::LayOutRows()
{
    TRVTableItemFormattingInfo& layout = S_.Layout;
    const bool ignoreContent = T_.Options.Contains(rvtoIgnoreContentHeight);
    std::vector<std::int32_t>& heights = layout.RowHeights;
    heights.assign(std::size_t(Rows_), 0);
    std::vector<std::int32_t> contentHeight(0);
    std::vector<std::tuple<TRVTableCellData*, int, std::int32_t>> tall; // cells spanning rows

    ForEachCell([&](TRVTableCellData& cell, int r, int c) {
        const std::int32_t content = FormatCell(cell, SpannedWidth(c, cell.ColSpan()));
        const std::int32_t best = Ctx_.Scale.Y(std::clamp(cell.BestHeight, 0, MaxTableBestSize));
        if (cell.RowSpan() == 1) {
            std::int32_t& h = heights[std::size_t(r)];
            h = std::max(h, best);
            if (!(best > 0 && ignoreContent))
                h = std::max(h, content);
        } else {
            tall.emplace_back(&cell, r, ignoreContent && best > 0 ? best : std::max(best, content));
        }
    });
    for (std::int32_t& h : heights)
        if (h == 0)
            h = 10;

    // Cells spanning rows make their rows taller when their content needs it, first the rows
    // in which no other cell starts.
    for (auto [cell, r, need] : tall) {
        const int span = std::min(cell->RowSpan(), Rows_ - r);
        std::int32_t have = (span - 1) * M_.RowGap();
        for (int k = r; k < r + span; ++k)
            have += heights[std::size_t(k)];
        std::int32_t missing = need - have;
        if (missing <= 0)
            continue;
        std::vector<int> takers;
        for (int k = r; k < r + span; ++k) {
            bool starts = false;
            for (int c = 0; c < Cols_ && !starts; ++c)
                starts = T_.Rows[k][c] && T_.Rows[k][c] != cell;
            if (!starts)
                takers.push_back(k);
        }
        if (takers.empty())
            for (int k = r; k < r + span; ++k)
                takers.push_back(k);
        std::int64_t weights = 0;
        for (int k : takers)
            weights += std::max(heights[std::size_t(k)], 1);
        for (std::size_t i = 0; i < takers.size(); ++i) {
            const std::int32_t weight = std::max(heights[std::size_t(takers[i])], 1);
            const auto share = i + 1 == takers.size() ? missing : static_cast<std::int32_t>(missing * weight / weights);
            heights[std::size_t(takers[i])] += share;
            missing -= share;
            weights -= weight;
        }
    }

    layout.RowStarts.resize(std::size_t(Rows_));
    std::int32_t y = M_.BorderV + M_.BorderVSpacing + M_.CellBorderV;
    for (int r = 0; r < Rows_; ++r) {
        layout.RowStarts[std::size_t(r)] = y;
        y += heights[std::size_t(r)] + M_.RowGap();
    }
    layout.FHeight = 2 * (Rows_ * M_.VPadding + M_.BorderV + M_.BorderVSpacing) + (Rows_ - 1) * M_.VSpacing +
                     2 * Rows_ * M_.CellBorderV + std::accumulate(heights.begin(), heights.end(), std::int32_t(0));

    // The cells' rectangles: content and padding, inside their borders.
    ForEachCell([&](TRVTableCellData& cell, int r, int c) {
        const int rows = std::min(cell.RowSpan(), Rows_ - r);
        TRVTableCellLayout& place = Current();
        place.Left = layout.ColStarts[std::size_t(c)];
        place.Top = layout.RowStarts[std::size_t(r)];
        place.Width = SpannedWidth(c, cell.ColSpan()) + 2 * M_.HPadding;
        place.Height = (rows - 1) * M_.RowGap() + 2 * M_.VPadding;
        for (int k = r; k < r + rows; ++k)
            place.Height += heights[std::size_t(k)];
    });
}

} // namespace

namespace {

/// The state table keeps in ctx's layout for its grid (made anew when the grid changed), or null
/// when ctx only measures.
TRVTableLayoutState* StateIn(const TRVTableItemInfo& table, TRVLayoutContext& ctx)
{
    if (!ctx.Layout)
        return nullptr;
    auto* state = dynamic_cast<TRVTableLayoutState*>(ctx.Layout->ItemState(table));
    if (!state || state->GridStamp != table.GridStamp()) {
        state = &static_cast<TRVTableLayoutState&>(
            ctx.Layout->SetItemState(table, std::make_unique<TRVTableLayoutState>()));
        state->GridStamp = table.GridStamp();
    }
    state->LastFormat = ctx.Layout->FormatGeneration();
    return state;
}

} // namespace

TRVTableCellLayout& TRVTableLayoutState::Cell(int index, const TRVTableCellData& cell)
{
    if (Cells_.size() <= std::size_t(index))
        Cells_.resize(std::size_t(index) + 1);
    std::unique_ptr<TRVTableCellLayout>& slot = Cells_[std::size_t(index)];
    if (!slot || &slot->Layout.Document() != &cell)
        slot = std::make_unique<TRVTableCellLayout>(cell);
    return *slot;
}

TRVTableCellLayout* TRVTableLayoutState::CellAt(int index) const noexcept
{
    return index >= 0 && std::size_t(index) < Cells_.size() ? Cells_[std::size_t(index)].get() : nullptr;
}

const TRVTableCellLayout* TRVTableLayoutState::FindCell(const TRVTableCellData* cell) const noexcept
{
    for (const auto& layout : Cells_)
        if (layout && &layout->Layout.Document() == cell)
            return layout.get();
    return nullptr;
}

TRVTableCellLayout* TRVTableLayoutState::FindCell(const TRVTableCellData* cell) noexcept
{
    return const_cast<TRVTableCellLayout*>(static_cast<const TRVTableLayoutState&>(*this).FindCell(cell));
}

const TRVTableLayoutState* TableLayoutIn(const TRVContainerLayout& layout, const TRVTableItemInfo& table)
{
    const auto* state = dynamic_cast<const TRVTableLayoutState*>(layout.ItemState(table));
    return state && state->GridStamp == table.GridStamp() ? state : nullptr;
}

TRVTableLayoutState* TableLayoutIn(TRVContainerLayout& layout, const TRVTableItemInfo& table)
{
    return const_cast<TRVTableLayoutState*>(TableLayoutIn(static_cast<const TRVContainerLayout&>(layout), table));
}

TRVObjectExtent FormatTable(const TRVTableItemInfo& table, std::int32_t availableWidth, bool force,
                            TRVLayoutContext& ctx)
{
    // Without a layout to keep it in, the table is laid out only to be measured.
    TRVTableLayoutState measured;
    TRVTableLayoutState& state = ctx.Layout ? *StateIn(table, ctx) : measured;
    TRVTableItemFormattingInfo& layout = state.Layout;
    if (force || ctx.Rebuild || layout.AvailableWidth != availableWidth || layout.Canvas != &ctx.Canvas) {
        TTableFormatter(table, &state, ctx).Format(availableWidth);
        layout.AvailableWidth = availableWidth;
        layout.Canvas = &ctx.Canvas;
    }
    return TRVObjectExtent{layout.FWidth, layout.FHeight, 0};
}

std::int32_t GetTableMinWidth(const TRVTableItemInfo& table, TRVLayoutContext& ctx)
{
    return TTableFormatter(table, StateIn(table, ctx), ctx).MinWidth();
}

std::int32_t TRVTableLayout::MinWidth(const TCustomRVItemInfo& item, int, TRVLayoutContext& ctx) const
{
    return GetTableMinWidth(static_cast<const TRVTableItemInfo&>(item), ctx);
}

TRVObjectExtent TRVTableLayout::Format(const TCustomRVItemInfo& item, int, std::int32_t lineWidth, TRVLayoutContext& ctx) const
{
    return FormatTable(static_cast<const TRVTableItemInfo&>(item), lineWidth, false, ctx);
}

// ---------------------------------------------------------------------------------------------
// Painting

namespace {

TBackgroundStyle BackgroundStyleOf(TRVItemBackgroundStyle style) noexcept
{
    switch (style) {
    case rvbsStretched: return bsStretched;
    case rvbsTiled: return bsTiled;
    case rvbsCentered: return bsCentered;
    case rvbsColor: break;
    }
    return bsNoBitmap;
}

/// Where a cell's content starts inside the table: inside its padding, placed by the cell's
/// vertical alignment for content contentHeight pixels high.
TPoint ContentOffset(const TRVTableItemInfo& table, const TTableMetrics& m, const TRVTableCellLayout& place, int row,
                     int col, std::int32_t contentHeight)
{
    const int room = place.Height - 2 * m.VPadding - contentHeight;
    int dy = 0;
    switch (table.GetCellVAlign(row, col)) {
    case rvcMiddle: dy = std::max(room / 2, 0); break;
    case rvcBottom: dy = std::max(room, 0); break;
    default: break;
    }
    return {place.Left + m.HPadding, place.Top + m.VPadding + dy};
}

bool Meets(const TRect& a, const TRect& b) noexcept
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

void HLine(TCanvas& canvas, int x1, int x2, int y, TColor color, TPenStyle style = psSolid)
{
    canvas.Line({x1, y}, {x2, y}, TCanvasPen{color, 1, style});
}

void VLine(TCanvas& canvas, int x, int y1, int y2, TColor color, TPenStyle style = psSolid)
{
    canvas.Line({x, y1}, {x, y2}, TCanvasPen{color, 1, style});
}

} // namespace

void DrawTableBorder(TCanvas& canvas, const TRect& rect, const TTableBorder& border, const TRVPaintContext& ctx)
{
    if (rect.Empty() || !Meets(rect, ctx.Visible))
        return;
    const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    const TRVBooleanRect& v = border.Visible;
    if (border.GridLines) {
        // Invisible sides (every side of a border without width) as a dotted grid.
        const bool all = border.Width == 0;
        if (all || !v.Top)
            HLine(canvas, l, r, t, clBtnFace, psDot);
        if (all || !v.Bottom)
            HLine(canvas, l, r, b, clBtnFace, psDot);
        if (all || !v.Left)
            VLine(canvas, l, t, b, clBtnFace, psDot);
        if (all || !v.Right)
            VLine(canvas, r, t, b, clBtnFace, psDot);
    }
    const int w = border.Width;
    if (w <= 0)
        return;
    const bool higherResolution = ctx.Printing && ctx.Scale.DevicePpiX > ctx.Scale.ScreenPpiX;

    if (border.Style == rvtbColor) {
        if (border.Color == clNone)
            return;
        if (v.Left && v.Top && v.Right && v.Bottom) {
            canvas.Rectangle(rect, TCanvasPen{border.Color, higherResolution ? w + 1 : w, psSolid});
            return;
        }
        for (int i = 0; i < w; ++i) {
            const int inset = border.OverlappingCorners ? 0 : i;
            if (v.Top)
                HLine(canvas, l + inset, r - inset, t + i, border.Color);
            if (v.Bottom)
                HLine(canvas, l + inset, r - inset, b - i, border.Color);
            if (v.Left)
                VLine(canvas, l + i, t + inset, b - inset, border.Color);
            if (v.Right)
                VLine(canvas, r - i, t + inset, b - inset, border.Color);
        }
        return;
    }

    // Three-dimensional styles: top and left in the first colour, bottom and right in the second.
    TColor first = clBtnHighlight, second = clBtnShadow;
    switch (border.Style) {
    case rvtbRaised: break;
    case rvtbLowered: std::swap(first, second); break;
    case rvtbRaisedColor: first = border.LightColor; second = border.Color; break;
    case rvtbLoweredColor: first = border.Color; second = border.LightColor; break;
    case rvtbColor: break;
    }
    if (border.Background == clBtnHighlight) {
        if (first == clBtnHighlight)
            first = clBtnFace;
        if (second == clBtnHighlight)
            second = clBtnFace;
    }
    if (ctx.Printing && border.Halftone) {
        const int pen = higherResolution ? w + 1 : w;
        const int half = pen / 2;
        if (v.Top)
            canvas.Line({l, t + half}, {r, t + half}, TCanvasPen{first, pen, psSolid});
        if (v.Left)
            canvas.Line({l + half, t}, {l + half, b}, TCanvasPen{first, pen, psSolid});
        if (v.Bottom)
            canvas.Line({l, b - half}, {r, b - half}, TCanvasPen{second, pen, psSolid});
        if (v.Right)
            canvas.Line({r - half, t}, {r - half, b}, TCanvasPen{second, pen, psSolid});
        return;
    }
    for (int i = 0; i < w; ++i) {
        if (v.Top)
            HLine(canvas, l + i, r - i, t + i, first);
        if (v.Left)
            VLine(canvas, l + i, t + i, b - i, first);
        if (v.Bottom)
            HLine(canvas, l + i, r - i, b - i, second);
        if (v.Right)
            VLine(canvas, r - i, t + i, b - i, second);
    }
}

void PaintTable(TCanvas& canvas, const TRVTableItemInfo& table, TRVTableLayoutState& state, TPoint origin,
                TRVPaintContext& ctx)
{
    const TRVTableItemFormattingInfo& layout = state.Layout;
    const TRVDeviceScale& s = ctx.Scale;
    const TRect tableRect{origin.X, origin.Y, origin.X + layout.FWidth, origin.Y + layout.FHeight};
    if (!Meets(tableRect, ctx.Visible))
        return;
    const int rows = table.RowCount(), cols = table.ColCount();
    const bool laidOut = int(layout.ColStarts.size()) == cols && int(layout.RowStarts.size()) == rows;

    // a. Background.
    TColor color = table.Color;
    if (ctx.Printing && table.PrintOptions.Contains(rvtoWhiteBackground) && color != clNone)
        color = clWhite;
    PaintBackground(canvas, tableRect, ctx.Visible, color, BackgroundStyleOf(table.BackgroundStyle),
                    table.BackgroundImage.get(), {0, 0}, s);
    if (!laidOut)
        return;

    const TTableMetrics m(table, s);
    const int border = m.Border, borderV = m.BorderV;
    const int cellBorder = m.CellBorder, cellBorderV = m.CellBorderV;
    const int hsp = m.BorderHSpacing, vsp = m.BorderVSpacing;

    // b. Vertical rules between columns (and along the outer edges).
    const int vrule = m.VRule;
    if (vrule > 0 && table.VRuleColor != clNone) {
        const int inset = table.HOutermostRule ? borderV + vsp / 2 : 0;
        auto rule = [&](int x) {
            for (int i = 0; i < vrule; ++i)
                VLine(canvas, x - vrule / 2 + i, tableRect.Top + inset, tableRect.Bottom - 1 - inset, table.VRuleColor);
        };
        const int g = m.HSpacing + 2 * cellBorder;
        for (int c = 1; c < cols; ++c)
            rule(origin.X + layout.ColStarts[std::size_t(c)] - (g + 1) / 2);
        if (table.VOutermostRule) {
            const int odd = vrule % 2;
            rule(tableRect.Left + border + hsp / 2 - odd);
            rule(tableRect.Right - (border + hsp / 2) - odd);
        }
    }
    // c. Horizontal rules between rows.
    const int hrule = m.HRule;
    if (hrule > 0 && table.HRuleColor != clNone) {
        const int inset = table.VOutermostRule ? border + hsp / 2 : 0;
        auto rule = [&](int y) {
            for (int i = 0; i < hrule; ++i)
                HLine(canvas, tableRect.Left + inset, tableRect.Right - 1 - inset, y - hrule / 2 + i, table.HRuleColor);
        };
        const int g = m.VSpacing + 2 * cellBorderV;
        for (int r = 1; r < rows; ++r)
            rule(origin.Y + layout.RowStarts[std::size_t(r)] - (g + 1) / 2);
        if (table.HOutermostRule) {
            rule(tableRect.Top + borderV + vsp / 2);
            rule(tableRect.Bottom - (borderV + vsp / 2) - (hrule % 2 == 0 ? 0 : 1));
        }
    }
    // d. The outer border.
    DrawTableBorder(canvas, tableRect,
                    TTableBorder{border, table.BorderStyle, table.BorderColor, table.BorderLightColor, ctx.ViewColor,
                                 table.VisibleBorders, false, table.PrintOptions.Contains(rvtoHalftoneBorders),
                                 table.Options.Contains(rvtoOverlappingCorners)},
                    ctx);

    // e. The cells: background, content, border.
    const bool grid = ctx.Editable && !ctx.Printing && !table.Options.Contains(rvtoHideGridLines);
    int cellIndex = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            TRVTableCellData* cell = table.Rows[r][c];
            if (!cell)
                continue;
            TRVTableCellLayout* place = state.CellAt(cellIndex++);
            if (!place || &place->Layout.Document() != cell)
                continue;
            const TRect rect{origin.X + place->Left, origin.Y + place->Top, origin.X + place->Left + place->Width,
                             origin.Y + place->Top + place->Height};
            const TRect outer{rect.Left - cellBorder, rect.Top - cellBorderV, rect.Right + cellBorder,
                              rect.Bottom + cellBorderV};
            if (!Meets(outer, ctx.Visible))
                continue;
            const TRect back = table.Options.Contains(rvtoCellBelowBorders) ? outer : rect;
            if (cell->BackgroundImage && cell->BackgroundStyle != rvbsColor)
                PaintBackground(canvas, back, ctx.Visible, cell->Color, BackgroundStyleOf(cell->BackgroundStyle),
                                cell->BackgroundImage.get(), {0, 0}, s);
            else if (cell->Color != clNone)
                canvas.FillRect(back.Intersect(ctx.Visible), cell->Color);

            // A selected cell shows in the selection colours, its content as selected text.
            const bool selected = !ctx.Printing && table.IsCellSelected(r, c);
            if (selected)
                canvas.FillRect(back.Intersect(ctx.Visible), ctx.Focused ? ctx.Sheet.SelColor : ctx.Sheet.InactiveSelColor);

            // The content, placed by the cell's vertical alignment and clipped to the cell; a cell
            // edited in place shows through its editor's layout.
            TRVContainerLayout* content = &place->Layout;
            if (ctx.Layout && ctx.Layout->EditedSubDocument == cell && ctx.Layout->EditedSubLayout)
                content = ctx.Layout->EditedSubLayout;
            const TPoint offset = ContentOffset(table, m, *place, r, c, content->TotalHeight());
            const TPoint at{origin.X + offset.X, origin.Y + offset.Y};
            canvas.Save();
            canvas.IntersectClip(rect);
            canvas.Translate(at.X, at.Y);
            TRVPaintRequest request;
            request.Rect = rect.Intersect(ctx.Visible).Offset(-at.X, -at.Y);
            request.Color = clNone;
            request.Focused = ctx.Focused;
            request.Printing = ctx.Printing;
            request.Editable = ctx.Editable;
            request.SelectAll = selected;
            request.ClientWidth = content->TextAreaWidth();
            request.ClientHeight = content->TotalHeight();
            PaintDocument(*content, canvas, request);
            canvas.Restore();

            const TColor cellColor = cell->BorderColor != clNone ? cell->BorderColor : table.CellBorderColor;
            const TColor cellLight = cell->BorderLightColor != clNone ? cell->BorderLightColor : table.CellBorderLightColor;
            DrawTableBorder(canvas, outer,
                            TTableBorder{cellBorder, table.CellBorderStyle, cellColor, cellLight, table.Color,
                                         cell->VisibleBorders, grid, table.PrintOptions.Contains(rvtoHalftoneBorders),
                                         table.Options.Contains(rvtoOverlappingCorners)},
                            ctx);
        }
        // f. A row that starts a page.
        if (ctx.ShowPageBreaks && table.Rows[r].RowPageBreakBefore)
            DrawPageBreakMark(canvas, origin.Y + layout.RowStarts[std::size_t(r)] - cellBorderV - 1, ctx.TextAreaLeft,
                              ctx.TextAreaWidth, ctx.Sheet.PageBreakColor);
    }
}

bool CellContentPlace(const TRVTableItemInfo& table, const TRVTableLayoutState& state, int row, int col,
                      const TRVDeviceScale& scale, std::int32_t contentHeight, TPoint& at, std::int32_t& width)
{
    if (row < 0 || col < 0 || row >= table.RowCount() || col >= table.ColCount())
        return false;
    const TRVTableCellData* cell = table.Rows[row][col];
    const TRVTableCellLayout* place = cell ? state.FindCell(cell) : nullptr;
    if (!place)
        return false;
    at = ContentOffset(table, TTableMetrics(table, scale), *place, row, col,
                       contentHeight < 0 ? place->Layout.TotalHeight() : contentHeight);
    width = place->View.FixedTextAreaWidth;
    return true;
}

bool CellAtPoint(const TRVTableItemInfo& table, const TRVTableLayoutState& state, std::int32_t x, std::int32_t y,
                 int& row, int& col)
{
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColCount(); ++c) {
            const TRVTableCellData* cell = table.Rows[r][c];
            const TRVTableCellLayout* place = cell ? state.FindCell(cell) : nullptr;
            if (place && x >= place->Left && x < place->Left + place->Width && y >= place->Top &&
                y < place->Top + place->Height) {
                row = r;
                col = c;
                return true;
            }
        }
    return false;
}

void TRVTableLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                           TRVPaintContext& ctx) const
{
    const auto& table = static_cast<const TRVTableItemInfo&>(item);
    if (TRVTableLayoutState* state = ctx.Layout ? TableLayoutIn(*ctx.Layout, table) : nullptr)
        PaintTable(canvas, table, *state, {rect.Left, rect.Top}, ctx);
}

} // namespace xq

// Tables read from RTF. RTF has no table object: a table is a run of paragraphs closed cell by
// cell and row by row, each row with its own definition (left edge, and for every cell its
// properties and right edge). The rows are collected with their cells' content, their edges are
// fitted into one column grid for the whole table, and at the table's end the grid is built with
// merged cells and the table's look is averaged from the rows. Nested tables use one level each.
#include "tables/TableRtfImport.h"

#include <algorithm>
#include <cmath>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfImport.h"
#include "tables/TableItem.h"
#include "tables/TableRvf.h"

namespace xq {
namespace {

constexpr TRVRTFSide Sides[4] = {rtf_side_Left, rtf_side_Top, rtf_side_Right, rtf_side_Bottom};

/// A cell as its row defined it, with its content, until the table is built.
struct TCellDraft {
    int Left = 0;  ///< the column boundary it starts at, twips
    int Right = 0; ///< the boundary it ends at
    TRVRTFCellProperties Props;
    std::unique_ptr<TCustomRVData> Content;
    int RowSpan = 1;
    bool MergedAway = false; ///< its content went to the cell above or to its left
    int BestWidth = 0;       ///< pixels, or a negative percent
    int BestHeight = 0;
};

struct TRowDraft {
    std::vector<TCellDraft> Cells;
};

/// The table being built at one nesting level.
struct TTableSubDataInfo {
    std::vector<TRowDraft> Rows;
    /// The cells of the row being read; the last one is being filled.
    std::vector<std::unique_ptr<TCustomRVData>> Working;
    TCustomRVData* Parent = nullptr;
    bool RowCompleted = false;
    bool PageBreak = false; ///< the table starts a page
    std::vector<int> Boundaries; ///< sorted, twips
    // Sums over the rows.
    long long HPadding = 0, VPadding = 0;
    int HPaddingCount = 0, VPaddingCount = 0;
    long long HSpacing = 0, VSpacing = 0, FirstTopSpacing = 0, LastBottomSpacing = 0;
    bool HSpacingGiven = false, VSpacingGiven = false;
    int PreviousBottomSpacing = 0;
    long long OuterBorder = 0, CellBorder = 0;
    int OuterBorderCount = 0, CellBorderCount = 0;
    bool OwnWidths = false;
    int WidthWish = 0;     ///< pixels (own widths), twips, or negative fiftieths of a percent
    int WidthKind = 0;     ///< 0 none, 1 twips, 2 percent, 3 own pixels
    bool CellWidthGiven = false;
    bool UniformCellColors = true;
    TColor CellBorderColor = clNone; ///< the colour all cell borders share so far
    bool NewTableAfterRow = false; ///< the last row carried "lastrow"
    TRVAlignment Alignment = rvaLeft;
    TColor BorderColor = clWindowText, BorderLightColor = clWindowText;
    TRVBooleanRect VisibleBorders;
    int HeadingRows = 0;
};

class TTableRtfImporter final : public TRVRTFTableImporter {
public:
    explicit TTableRtfImporter(TRVRTFImport& import) : Import_(import) {}

    void Table(TRVRTFTableEventKind whatHappens, bool& processed) override
    {
        processed = true;
        switch (whatHappens) {
        case rvf_tbl_TableStart: Start(); break;
        case rvf_tbl_CellEnd: CellEnd(); break;
        case rvf_tbl_RowEnd: RowEnd(); break;
        case rvf_tbl_TableEnd: processed = End(false); break;
        case rvf_tbl_TableForcedEnd: End(true); break;
        }
    }

private:
    [[nodiscard]] int Px(double twips) const noexcept { return Import_.Units().Px(twips); }
    [[nodiscard]] int Scaled(double sum, double count) const noexcept
    {
        return count > 0 ? Px(sum / count) : 0;
    }

    std::unique_ptr<TCustomRVData> NewContainer() const
    {
        auto cell = std::make_unique<TCustomRVData>(&Import_.Sheet());
        cell->SetNumberingDeferred(true); // the cells are numbered when the table takes its place
        return cell;
    }

    void Start()
    {
        TTableSubDataInfo level;
        level.Parent = &Import_.Current();
        if (Import_.PageBreakPendingFor(*level.Parent)) {
            level.PageBreak = true;
            Import_.SetPageBreakPending(nullptr);
        }
        level.Working.push_back(NewContainer());
        Stack_.push_back(std::move(level));
        Import_.SetCurrent(*Stack_.back().Working.back());
    }

    void CellEnd()
    {
        if (Stack_.empty())
            return;
        if (Stack_.back().NewTableAfterRow) {
            // The row before said it was the last: what was read since starts a new table.
            Stack_.back().NewTableAfterRow = false;
            std::unique_ptr<TCustomRVData> first = std::move(Stack_.back().Working.back());
            Stack_.back().Working.back() = NewContainer();
            // A page break read between the two tables was taken by the new table's first cell;
            // it is the new table's.
            bool pageBreak = Import_.PageBreakPendingFor(*first);
            if (pageBreak)
                Import_.SetPageBreakPending(nullptr);
            if (!first->Empty() && first->ItemAt(0).NewPageBefore()) {
                first->ItemAt(0).SetNewPageBefore(false);
                pageBreak = true;
            }
            if (End(false)) {
                Start();
                Stack_.back().PageBreak = Stack_.back().PageBreak || pageBreak;
                Stack_.back().Working.back() = std::move(first);
                Import_.SetCurrent(*Stack_.back().Working.back());
            } else {
                Stack_.back().Working.back() = std::move(first);
                Import_.SetCurrent(*Stack_.back().Working.back());
            }
        }
        TTableSubDataInfo& level = Stack_.back();
        if (level.Working.back()->Empty()) {
            Import_.AddEmptyRun(rtf_ts_NewPara);
            Import_.UpdateMarkers();
        }
        if (level.Working.size() >= std::size_t(TRVRTFReader::MaxCells))
            return; // more cells than a row may have: the rest of the row flows into the last one
        level.Working.push_back(NewContainer());
        Import_.SetCurrent(*level.Working.back());
    }

    void RowEnd()
    {
        if (Stack_.empty())
            return;
        TTableSubDataInfo& level = Stack_.back();
        BuildRow(level, Import_.Reader().RowProps());
        level.RowCompleted = true;
        level.NewTableAfterRow = Import_.Reader().RowProps().LastRow;
        for (auto& cell : level.Working)
            Retire(std::move(cell));
        level.Working.clear();
        level.Working.push_back(NewContainer());
        Import_.SetCurrent(*level.Working.back());
    }

    /// The boundary an edge falls on: an existing one within a twip on either side (right of the
    /// previous edge), else a new one.
    static int Snap(std::vector<int>& boundaries, int edge, int after)
    {
        edge = std::max(edge, after + 1);
        auto at = std::lower_bound(boundaries.begin(), boundaries.end(), edge);
        if (at != boundaries.end() && *at - edge <= 1)
            return *at;
        if (at != boundaries.begin() && edge - *(at - 1) <= 1 && *(at - 1) > after)
            return *(at - 1);
        boundaries.insert(at, edge);
        return edge;
    }

    void BuildRow(TTableSubDataInfo& level, const TRVRTFRowProperties& row)
    {
        const bool first = level.Rows.empty();
        if (row.Heading)
            level.HeadingRows = static_cast<int>(level.Rows.size()) + 1;
        level.Alignment = row.Alignment;
        AddSpacing(level, row, first);
        AddPaddingAndBorders(level, row);
        AddWidthWish(level, row);

        // The cells closed in this row; the container after the last one is still empty.
        const std::size_t closed = level.Working.size() > 1 ? level.Working.size() - 1 : 0;
        TRowDraft draft;
        int previousEdge = Snap(level.Boundaries, row.Left, INT32_MIN / 2);
        for (std::size_t i = 0; i < closed; ++i) {
            TCellDraft cell;
            cell.Props = i < row.Cells.size() ? row.Cells[i] : TRVRTFCellProperties{};
            const int wanted = i < row.Cells.size() ? row.Cells[i].RightBoundary : previousEdge + 1440;
            cell.Left = previousEdge;
            cell.Right = Snap(level.Boundaries, wanted, previousEdge);
            previousEdge = cell.Right;
            cell.Content = std::move(level.Working[i]);
            TakeCellProperties(level, row, cell);
            if (cell.Props.HMerge == rtf_cm_Merged && !draft.Cells.empty()) {
                // Joined to the cell on its left.
                TCellDraft& joined = draft.Cells.back();
                joined.Right = cell.Right;
                MoveContent(*cell.Content, *joined.Content);
                Retire(std::move(cell.Content));
                continue;
            }
            if (cell.Props.VMerge == rtf_cm_Merged && MergeUp(level, cell)) {
                Retire(std::move(cell.Content));
                continue;
            }
            draft.Cells.push_back(std::move(cell));
        }
        level.Rows.push_back(std::move(draft));
    }

    /// Merges a cell into the cell above that starts at the same boundary; false when there is none.
    static bool MergeUp(TTableSubDataInfo& level, TCellDraft& cell)
    {
        const int rowNo = static_cast<int>(level.Rows.size());
        for (int r = rowNo - 1; r >= 0; --r)
            for (TCellDraft& above : level.Rows[std::size_t(r)].Cells)
                if (above.Left == cell.Left && r + above.RowSpan >= rowNo) {
                    above.RowSpan = rowNo - r + 1;
                    MoveContent(*cell.Content, *above.Content);
                    return true;
                }
        return false;
    }

    static void MoveContent(TCustomRVData& from, TCustomRVData& to)
    {
        // An empty paragraph adds nothing to a cell that has content.
        if (from.Empty() || (from.Count() == 1 && from.ItemAt(0).IsText() && from.TextAt(0).empty()))
            return;
        std::vector<TRVItemEntry> items = from.ExtractItems(0, from.Count());
        if (to.Count() == 1 && to.ItemAt(0).IsText() && to.TextAt(0).empty())
            to.Clear();
        items.front().Item->SetContinuesPara(false);
        to.InsertItems(to.Count(), std::move(items));
    }

    void TakeCellProperties(TTableSubDataInfo& level, const TRVRTFRowProperties& row, TCellDraft& cell)
    {
        const TRVRTFCellProperties& p = cell.Props;
        if (row.HasOwnWidths) {
            cell.BestWidth = p.OwnBestWidth;
            cell.BestHeight = p.OwnBestHeight;
        } else {
            if (row.Height > 0)
                cell.BestHeight = Px(row.Height);
            if (p.BestWidth != 0)
                level.CellWidthGiven = true;
            if (level.CellWidthGiven)
                cell.BestWidth = p.BestWidth > 0 ? Px(p.BestWidth) : p.BestWidth / 50;
            else
                cell.BestWidth = Px(double(cell.Right) - cell.Left);
        }
        const TRVRTFBorderSide& l = p.Border.Side(rtf_side_Left);
        const TRVRTFBorderSide& t = p.Border.Side(rtf_side_Top);
        const TRVRTFBorderSide& r = p.Border.Side(rtf_side_Right);
        const TRVRTFBorderSide& b = p.Border.Side(rtf_side_Bottom);
        const TColor light = l.BorderType != rtf_brdr_None ? l.Color : t.BorderType != rtf_brdr_None ? t.Color : clNone;
        const TColor dark = r.BorderType != rtf_brdr_None ? r.Color : b.BorderType != rtf_brdr_None ? b.Color : clNone;
        if (light != clNone && dark != clNone && light != dark)
            level.UniformCellColors = false;
        for (const TRVRTFSide side : Sides) {
            const TRVRTFBorderSide& s = p.Border.Side(side);
            if (s.BorderType != rtf_brdr_None) {
                level.CellBorder += s.Width;
                ++level.CellBorderCount;
            }
        }
        if (level.UniformCellColors && (light != clNone || dark != clNone)) {
            const TColor colour = dark != clNone ? dark : light;
            if (level.CellBorderColor == clNone)
                level.CellBorderColor = colour;
            else if (level.CellBorderColor != colour)
                level.UniformCellColors = false;
        }
    }

    static int SideValue(const std::array<int, 4>& values, const std::array<bool, 4>& twips, TRVRTFSide side)
    {
        return twips[side] && values[side] >= 0 ? values[side] : -1;
    }

    void AddSpacing(TTableSubDataInfo& level, const TRVRTFRowProperties& row, bool first)
    {
        const int top = SideValue(row.Spacing, row.SpacingTwips, rtf_side_Top);
        const int bottom = SideValue(row.Spacing, row.SpacingTwips, rtf_side_Bottom);
        const auto horizontal = [&](TRVRTFSide side) {
            const int spacing = SideValue(row.Spacing, row.SpacingTwips, side);
            if (spacing >= 0)
                return spacing;
            const int padding = SideValue(row.Padding, row.PaddingTwips, side);
            return padding >= 0 ? std::max(row.GapH - padding, 0) : 0;
        };
        const int lr = horizontal(rtf_side_Left) + horizontal(rtf_side_Right);
        level.HSpacing += lr;
        if (lr > 0)
            level.HSpacingGiven = true;
        if (first) {
            level.FirstTopSpacing = std::max(top, 0);
            if (top > 0) {
                level.VisibleBorders.Top = row.Border.Side(rtf_side_Top).BorderType != rtf_brdr_None;
                level.VisibleBorders.Left = row.Border.Side(rtf_side_Left).BorderType != rtf_brdr_None;
                level.VisibleBorders.Right = row.Border.Side(rtf_side_Right).BorderType != rtf_brdr_None;
            }
        } else {
            level.VSpacing += std::max(top, 0) + level.PreviousBottomSpacing;
        }
        level.VisibleBorders.Bottom = row.Border.Side(rtf_side_Bottom).BorderType != rtf_brdr_None;
        if (top > 0 || bottom > 0)
            level.VSpacingGiven = true;
        level.PreviousBottomSpacing = std::max(bottom, 0);
        level.LastBottomSpacing = std::max(bottom, 0);
    }

    void AddPaddingAndBorders(TTableSubDataInfo& level, const TRVRTFRowProperties& row)
    {
        // A side without a padding of its own keeps the half gap between cells.
        const auto padding = [&](TRVRTFSide side, int fallback) {
            const int value = SideValue(row.Padding, row.PaddingTwips, side);
            return value >= 0 ? value : fallback;
        };
        level.HPadding += padding(rtf_side_Left, row.GapH) + padding(rtf_side_Right, row.GapH);
        level.VPadding += padding(rtf_side_Top, 0) + padding(rtf_side_Bottom, 0);
        level.HPaddingCount += 2;
        level.VPaddingCount += 2;
        for (const TRVRTFSide side : Sides) {
            const TRVRTFBorderSide& s = row.Border.Side(side);
            if (s.BorderType != rtf_brdr_None) {
                level.OuterBorder += s.Width;
                ++level.OuterBorderCount;
            }
        }
        const TRVRTFParaBorder& border = row.Border;
        const auto colourOf = [&](TRVRTFSide a, TRVRTFSide b) {
            if (border.Side(a).BorderType != rtf_brdr_None && border.Side(a).Color != clNone)
                return border.Side(a).Color;
            if (border.Side(b).BorderType != rtf_brdr_None && border.Side(b).Color != clNone)
                return border.Side(b).Color;
            return clNone;
        };
        if (const TColor light = colourOf(rtf_side_Left, rtf_side_Top); light != clNone)
            level.BorderLightColor = light;
        if (const TColor dark = colourOf(rtf_side_Right, rtf_side_Bottom); dark != clNone)
            level.BorderColor = dark;
    }

    static void AddWidthWish(TTableSubDataInfo& level, const TRVRTFRowProperties& row)
    {
        if (row.HasOwnWidths) {
            level.OwnWidths = true;
            level.WidthKind = 3;
            level.WidthWish = row.OwnTableBestWidth;
            return;
        }
        if (level.OwnWidths || row.BestWidth == 0)
            return;
        const int kind = row.BestWidth > 0 ? 1 : 2;
        if (level.WidthKind == 0) {
            level.WidthKind = kind;
            level.WidthWish = row.BestWidth;
        } else if (level.WidthKind == kind && std::abs(row.BestWidth) > std::abs(level.WidthWish)) {
            level.WidthWish = row.BestWidth;
        }
    }

    /// Ends the innermost table; false (changing nothing) for a table end before any row.
    bool End(bool forced)
    {
        if (Stack_.empty())
            return true;
        if (!forced && !Stack_.back().RowCompleted)
            return false;
        TTableSubDataInfo level = std::move(Stack_.back());
        Stack_.pop_back();
        Import_.SetCurrent(*level.Parent);
        // A page break met in the last cell applies to what follows the table.
        for (const auto& cell : level.Working)
            if (Import_.PageBreakPendingFor(*cell))
                Import_.SetPageBreakPending(level.Parent);

        if (level.RowCompleted) {
            std::unique_ptr<TRVTableItemInfo> table = BuildTable(level);
            if (table) {
                table->ParaNo = Import_.BasicParaStyle(level.Alignment);
                if (level.PageBreak)
                    table->SetNewPageBefore(true);
                Import_.InsertItem(std::move(table), {}, rtf_ts_NewPara);
            } else {
                // A grid too large to build: its cells' content stays, as paragraphs.
                for (TRowDraft& row : level.Rows)
                    for (TCellDraft& cell : row.Cells)
                        if (cell.Content)
                            MoveIntoParent(*cell.Content);
            }
        }
        // Content of cells no row closed stays in the document after the table.
        for (auto& cell : level.Working)
            if (cell && !cell->Empty())
                MoveIntoParent(*cell);
        for (auto& cell : level.Working)
            Retire(std::move(cell));
        for (TRowDraft& row : level.Rows)
            for (TCellDraft& cell : row.Cells)
                Retire(std::move(cell.Content));
        return true;
    }

    /// Containers of the import outlive it: a damaged input may leave a note or the import's
    /// current place pointing into a cell that is done with.
    void Retire(std::unique_ptr<TCustomRVData> container)
    {
        if (container)
            Retired_.push_back(std::move(container));
    }

    void MoveIntoParent(TCustomRVData& from)
    {
        Import_.MovingCellContent = true;
        while (!from.Empty()) {
            TRVItemEntry entry = from.ExtractItem(0);
            const TRVRTFPosition position = entry.Item->ContinuesPara() ? rtf_ts_ContinuePara
                                            : entry.Item->NewLine()     ? rtf_ts_NewLine
                                                                        : rtf_ts_NewPara;
            Import_.InsertItem(std::move(entry.Item), std::move(entry.Text), position);
        }
        Import_.MovingCellContent = false;
    }

    std::unique_ptr<TRVTableItemInfo> BuildTable(TTableSubDataInfo& level)
    {
        const std::vector<int>& bounds = level.Boundaries;
        const int cols = std::max(static_cast<int>(bounds.size()) - 1, 1);
        const int rows = static_cast<int>(level.Rows.size());
        const auto colOf = [&](int boundary) {
            return static_cast<int>(std::lower_bound(bounds.begin(), bounds.end(), boundary) - bounds.begin());
        };
        auto table = std::make_unique<TRVTableItemInfo>();
        TRVTableGridBuilder grid(*table, rows, cols, MaxTableSlotsInStream);
        if (!grid.SizeAccepted())
            return nullptr;
        std::vector<int> coveredThrough(std::size_t(cols), -1);
        for (int r = 0; r < rows; ++r) {
            std::vector<TCellDraft>& cells = level.Rows[std::size_t(r)].Cells;
            std::size_t next = 0;
            for (int c = 0; c < cols;) {
                if (coveredThrough[std::size_t(c)] >= r) {
                    ++c;
                    continue;
                }
                // Cells whose start a merged cell above already covers give it their content.
                while (next < cells.size() && colOf(cells[next].Left) < c)
                    ++next;
                if (next < cells.size() && colOf(cells[next].Left) == c) {
                    TCellDraft& draft = cells[next++];
                    int span = std::max(colOf(draft.Right) - c, 1);
                    for (int k = 1; k < span; ++k)
                        if (c + k >= cols || coveredThrough[std::size_t(c + k)] >= r) {
                            span = k;
                            break;
                        }
                    const int rowSpan = std::min(draft.RowSpan, rows - r);
                    TRVTableCellData* cell = grid.PlaceNext(span, rowSpan);
                    if (!cell)
                        return nullptr;
                    FillCell(*cell, draft);
                    for (int k = 0; k < span; ++k)
                        coveredThrough[std::size_t(c + k)] = r + rowSpan - 1;
                    c += span;
                    continue;
                }
                // A gap: up to the next cell or the next covered slot.
                int span = 1;
                const int until = next < cells.size() ? colOf(cells[next].Left) : cols;
                while (c + span < until && coveredThrough[std::size_t(c + span)] < r)
                    ++span;
                TRVTableCellData* cell = grid.PlaceNext(span, 1);
                if (!cell)
                    return nullptr;
                cell->VisibleBorders = {false, false, false, false};
                EmptyParagraph(*cell);
                coveredThrough[std::size_t(c)] = r;
                c += span;
            }
        }
        if (!grid.Finish())
            return nullptr;
        FinishProperties(level, *table);
        return table;
    }

    void EmptyParagraph(TRVTableCellData& cell)
    {
        cell.Clear();
        auto item = std::make_unique<TRVTextItemInfo>(Import_.EmptyCellTextStyle());
        item->ParaNo = Import_.BasicParaStyle(rvaLeft);
        item->SetUnicode(Import_.Sheet().TextStyles.StyleAt(item->StyleNo).Unicode);
        cell.AppendItem({}, std::move(item));
    }

    void FillCell(TRVTableCellData& cell, TCellDraft& draft)
    {
        const TRVRTFCellProperties& p = draft.Props;
        cell.Color = p.Color == clWindowText ? clNone : p.Color;
        cell.BestWidth = draft.BestWidth;
        cell.BestHeight = draft.BestHeight;
        cell.VisibleBorders = {p.Border.Side(rtf_side_Left).BorderType != rtf_brdr_None,
                               p.Border.Side(rtf_side_Top).BorderType != rtf_brdr_None,
                               p.Border.Side(rtf_side_Right).BorderType != rtf_brdr_None,
                               p.Border.Side(rtf_side_Bottom).BorderType != rtf_brdr_None};
        const auto colourOf = [&](TRVRTFSide a, TRVRTFSide b) {
            if (p.Border.Side(a).BorderType != rtf_brdr_None)
                return p.Border.Side(a).Color;
            if (p.Border.Side(b).BorderType != rtf_brdr_None)
                return p.Border.Side(b).Color;
            return clNone;
        };
        cell.BorderLightColor = colourOf(rtf_side_Left, rtf_side_Top);
        cell.BorderColor = colourOf(rtf_side_Right, rtf_side_Bottom);
        cell.VAlign = p.VAlign == rtf_val_Center ? rvcMiddle : p.VAlign == rtf_val_Bottom ? rvcBottom : rvcTop;
        cell.Clear();
        if (draft.Content && !draft.Content->Empty()) {
            std::vector<TRVItemEntry> items = draft.Content->ExtractItems(0, draft.Content->Count());
            items.front().Item->SetContinuesPara(false);
            cell.SetNumberingDeferred(true);
            cell.InsertItems(0, std::move(items));
            cell.SetNumberingDeferred(false);
        } else {
            EmptyParagraph(cell);
        }
    }

    void FinishProperties(TTableSubDataInfo& level, TRVTableItemInfo& table)
    {
        const double s = Import_.Units().Scale;
        const auto round = [](double v) { return static_cast<int>(std::nearbyint(std::clamp(v, -1e9, 1e9))); };
        table.Color = clNone;
        table.BorderColor = level.BorderColor;
        table.BorderLightColor = level.BorderLightColor;
        table.BorderStyle = level.BorderColor == level.BorderLightColor ? rvtbColor : rvtbRaisedColor;
        table.CellBorderColor = level.CellBorderColor != clNone ? level.CellBorderColor : clWindowText;
        table.CellBorderLightColor = table.CellBorderColor;
        table.CellBorderStyle = level.UniformCellColors ? rvtbColor : rvtbLoweredColor;
        if (!level.UniformCellColors) {
            table.CellBorderColor = clWindowText;
            table.CellBorderLightColor = clWindowText;
        }
        table.HeadingRowCount = level.HeadingRows;
        table.VisibleBorders = level.VisibleBorders;
        if (Import_.Settings().UseSingleCellPadding) {
            table.SetCellPadding(round(s * double(level.HPadding + level.VPadding) /
                                       std::max(level.HPaddingCount + level.VPaddingCount, 1)));
        } else {
            table.CellHPadding = level.HPaddingCount > 0 ? round(s * double(level.HPadding) / level.HPaddingCount) : 0;
            table.CellVPadding = level.VPaddingCount > 0 ? round(s * double(level.VPadding) / level.VPaddingCount) : 0;
        }
        const int rows = table.RowCount();
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < table.ColCount(); ++c)
                if (TRVTableCellData* cell = table.Cells(r, c)) {
                    if (!level.OwnWidths && cell->BestWidth > 2 * table.CellHPadding)
                        cell->BestWidth -= 2 * table.CellHPadding;
                    if (cell->Empty())
                        EmptyParagraph(*cell);
                }
        if (level.VSpacingGiven) {
            table.CellVSpacing = rows >= 2 ? round(s * double(level.VSpacing) / (rows - 1)) : table.CellVSpacing;
            table.BorderVSpacing = round(s * double(level.FirstTopSpacing + level.LastBottomSpacing));
        } else {
            table.CellVSpacing = -1;
            table.BorderVSpacing = -1;
        }
        table.CellHSpacing = level.HSpacingGiven ? round(s * double(level.HSpacing) / std::max(rows, 1)) : -1;
        table.BorderHSpacing = table.CellHSpacing;
        const double outerAverage = level.OuterBorderCount > 0 ? double(level.OuterBorder) / level.OuterBorderCount : 0;
        const double cellAverage = level.CellBorderCount > 0 ? double(level.CellBorder) / level.CellBorderCount : 0;
        switch (level.WidthKind) {
        case 3: table.BestWidth = level.WidthWish; break;
        case 1: table.BestWidth = std::max(round(s * (level.WidthWish - outerAverage)), 0); break;
        case 2: table.BestWidth = level.WidthWish / 50; break;
        default: table.BestWidth = 0; break;
        }
        const auto width = [&](double average, int count) {
            if (count <= 0)
                return 0;
            const int w = round(s * average);
            return w == 0 && average > 4 ? 1 : w;
        };
        table.CellBorderWidth = width(cellAverage, level.CellBorderCount);
        table.BorderWidth = width(outerAverage, level.OuterBorderCount);
        if (!level.HSpacingGiven && !level.VSpacingGiven && table.BorderWidth == table.CellBorderWidth) {
            table.BorderWidth = 0;
            table.BorderHSpacing = 0;
            table.BorderVSpacing = 0;
        }
        if (Import_.Settings().AutoHideTableGridLines)
            table.Options.Include(rvtoHideGridLines);
    }

    TRVRTFImport& Import_;
    std::vector<TTableSubDataInfo> Stack_;
    std::vector<std::unique_ptr<TCustomRVData>> Retired_;
};

} // namespace

void RegisterTableRtfImport()
{
    RegisterRtfTableImporter([](TRVRTFImport& import) { return std::make_unique<TTableRtfImporter>(import); });
}

} // namespace xq

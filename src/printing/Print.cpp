// The print component: page geometry, the printer's layout, pagination, printing and page painting.
//
// Pagination works on units: the lines of the layout, and the rows of tables that may break
// between pages (rows joined by a cell spanning them form one unit). A page takes units while
// their bottom, with the space after their paragraph, stays inside the page; the keep rules move
// the break back; a table row that does not fit is cut between the lines of its cells. Every page
// takes at least its first unit, or a part of it, so pagination always ends.
#include "printing/Print.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "document/DocumentInfo.h"
#include "document/RVStyle.h"
#include "layout/CanvasFont.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "lists/ListItems.h"
#include "platform/DocViewError.h"
#include "tables/TableLayout.h"

namespace xq {

TColor PrintColor(TColor color, TRVColorMode mode) noexcept
{
    if (color == clNone || mode == rvcmColor)
        return color;
    switch (color) {
    case clScrollBar:
    case clBtnFace: color = clSilver; break;
    case clWindow:
    case clBtnHighlight: color = clWhite; break;
    case clWindowText: color = clBlack; break;
    case clBtnShadow: color = clGray; break;
    default: break;
    }
    if (mode == rvcmGrayScale && (color & clSystemColor) == 0) {
        const double red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
        const auto grey = static_cast<TColor>(std::min(std::lround(0.3 * red + 0.59 * green + 0.11 * blue), 255L));
        color = grey | (grey << 8) | (grey << 16);
    }
    return color;
}

// --- Notes laid out for the page ------------------------------------------------------------------

/// The texts of the footnotes or of the endnotes, each laid out at the document's text width.
struct TCustomRVPrint::TNotesFlow {
    struct TNote {
        const TCustomRVNoteItemInfo* Item = nullptr;
        TRVViewSettings View;
        std::unique_ptr<TRVContainerLayout> Layout;
        /// Where the note stands in the flow of all notes (endnotes), and its height.
        std::int32_t Y = 0;
        std::int32_t Height = 0;
    };
    std::vector<std::unique_ptr<TNote>> Notes;
    std::unordered_map<const TCustomRVItemInfo*, int> Index;
    std::int32_t TotalHeight = 0;

    /// The note of item, laid out on first use.
    int Add(const TCustomRVNoteItemInfo& item, const TRVViewSettings& page, TCanvas& canvas)
    {
        if (auto found = Index.find(&item); found != Index.end())
            return found->second;
        auto note = std::make_unique<TNote>();
        note->Item = &item;
        note->View.LeftMargin = page.LeftMargin;
        note->View.RightMargin = page.RightMargin;
        note->View.TopMargin = note->View.BottomMargin = 0;
        note->View.MinTextWidth = page.MinTextWidth;
        note->View.MaxTextWidth = page.MaxTextWidth;
        note->View.ClientWidth = page.ClientWidth;
        note->View.Options = page.Options;
        note->Layout = std::make_unique<TRVContainerLayout>(item.NoteText(), note->View);
        note->Layout->SetFormatCanvas(&canvas);
        note->Layout->FormatAll(false, true);
        note->Height = note->Layout->TotalHeight();
        note->Y = TotalHeight;
        TotalHeight = ClampCoordinate(std::int64_t{TotalHeight} + note->Height);
        const int index = static_cast<int>(Notes.size());
        Notes.push_back(std::move(note));
        Index.emplace(&item, index);
        return index;
    }
};

// --- Pagination -----------------------------------------------------------------------------------

namespace {

/// What may break across pages: a line, a run of table rows, or a whole table.
struct TUnit {
    std::int32_t Top = 0;
    std::int32_t Bottom = 0;
    std::int32_t SpaceAfter = 0;
    /// Where a page that starts with this unit begins: above the space before its paragraph.
    std::int32_t PageStart = 0;
    int DrawItemNo = 0;
    /// The first unit of the paragraph (of the row, for table rows).
    int ParaFirst = 0;
    bool NewPageBefore = false;
    bool KeepTogether = false;
    bool KeepWithNext = false;
    /// Rows of a table that breaks: the table (index into the tables list) and the first and
    /// last row + 1 of the unit.
    int Table = -1;
    int FirstRow = 0;
    int EndRow = 0;
    /// The footnotes referenced in the unit.
    std::vector<int> Notes;
};

/// A table that breaks between pages, in the printer's layout.
struct TBreakingTable {
    const TRVTableItemInfo* Table = nullptr;
    const TRVTableLayoutState* State = nullptr;
    int DrawItemNo = 0;
    std::int32_t Top = 0;
    /// The height of the heading rows repeated on continued pages (0: none).
    std::int32_t HeadingBand = 0;
    int HeadingRows = 0;
    /// Rows may be cut between the lines of their cells.
    bool RowsSplit = false;
    /// The index of each row's first cell in the layout's cell list.
    std::vector<int> FirstCell;
};

/// The rows a cell covers, within the table.
int SpanEnd(const TRVTableItemInfo& table, int row, const TRVTableCellData& cell)
{
    return std::min(table.Rows.Count(), row + std::max(cell.RowSpan(), 1));
}

/// A page of one flow as pagination makes it.
struct TFlowPage {
    int FirstUnit = 0;
    /// The page continues a unit cut by the page before, at StartY.
    bool Continued = false;
    std::int32_t StartY = 0;
    std::int32_t EndY = 0;
    int HeadingTable = -1;
    std::int32_t HeadingHeight = 0;
    std::vector<int> Notes;
    std::int32_t NotesHeight = 0;
    /// The height the page's content takes on the page, the heading band included.
    std::int32_t Used = 0;
};

} // namespace

/// Cuts one flow into pages.
class TCustomRVPrint::TPaginator {
public:
    TPaginator(const std::vector<TUnit>& units, const std::vector<TBreakingTable>& tables,
               const TNotesFlow* footnotes, std::int32_t separatorHeight) noexcept
        : Units_(units), Tables_(tables), Footnotes_(footnotes), SeparatorHeight_(separatorHeight)
    {
    }

    /// Pages for the units from the first; the first page holds firstCapacity pixels and starts
    /// at flow y 0 when startAtZero, every other page holds capacity.
    std::vector<TFlowPage> Run(std::int32_t firstCapacity, std::int32_t capacity, bool startAtZero)
    {
        std::vector<TFlowPage> pages;
        const int count = static_cast<int>(Units_.size());
        int next = 0;
        std::int32_t resume = -1; // the flow y where a cut unit continues
        while (next < count) {
            TFlowPage page;
            page.FirstUnit = next;
            page.Continued = resume >= 0;
            const TUnit& first = Units_[std::size_t(next)];
            page.StartY = resume >= 0 ? resume : (pages.empty() && startAtZero ? 0 : first.PageStart);
            std::int32_t room = std::max<std::int32_t>(pages.empty() ? firstCapacity : capacity, 1);
            if (first.Table >= 0 && (page.Continued || first.FirstRow >= Tables_[std::size_t(first.Table)].HeadingRows)) {
                const TBreakingTable& table = Tables_[std::size_t(first.Table)];
                const bool tableStartsHere = !page.Continued && first.FirstRow == 0;
                if (!tableStartsHere && table.HeadingBand > 0 && table.HeadingBand < room / 2) {
                    page.HeadingTable = first.Table;
                    page.HeadingHeight = table.HeadingBand;
                    room -= table.HeadingBand;
                }
            }

            int end = next;                 // units next..end-1 are on the page
            std::int32_t cut = -1;          // the unit end is cut at this y and continues
            std::int32_t notes = 0;
            bool seenNote = false;
            for (; end < count; ++end) {
                const TUnit& unit = Units_[std::size_t(end)];
                if (end > next && unit.NewPageBefore)
                    break;
                const std::int32_t unitNotes = NotesHeight(unit, seenNote);
                const std::int64_t limit = std::int64_t{page.StartY} + room - notes - unitNotes;
                if (std::int64_t{unit.Bottom} + unit.SpaceAfter <= limit) {
                    notes += unitNotes;
                    seenNote = seenNote || !unit.Notes.empty();
                    continue;
                }
                const std::int32_t top = end == next && resume >= 0 ? resume : unit.Top;
                const std::int32_t bottom = ClampCoordinate(limit);
                if (unit.Table >= 0 && Tables_[std::size_t(unit.Table)].RowsSplit) {
                    // A row that can begin here is cut between the lines of its cells.
                    std::int32_t at = CleanCut(unit, top, bottom);
                    if (at <= top && end == next)
                        at = std::max(bottom, top + 1);
                    if (at > top) {
                        cut = at;
                        notes += unitNotes;
                        break;
                    }
                }
                if (end == next) {
                    // Taller than the page: alone on it, cut by the page edge.
                    notes += unitNotes;
                    ++end;
                    break;
                }
                end = BreakBefore(end, next);
                break;
            }

            if (cut >= 0) {
                page.EndY = cut;
                AssignNotes(page, next, end + 1);
                resume = cut;
                next = end;
            } else {
                const int last = std::max(end - 1, next);
                page.EndY = end < count && end > next
                                ? std::max(Units_[std::size_t(end)].Top, Units_[std::size_t(last)].Bottom)
                                : ClampCoordinate(std::int64_t{Units_[std::size_t(last)].Bottom} +
                                                  Units_[std::size_t(last)].SpaceAfter);
                AssignNotes(page, next, std::max(end, next + 1));
                resume = -1;
                next = std::max(end, next + 1);
            }
            // A cut page reaches down to its bottom; no page shows more than its room.
            page.EndY = std::clamp(page.EndY, page.StartY, ClampCoordinate(std::int64_t{page.StartY} + room));
            page.Used = page.HeadingHeight + (page.EndY - page.StartY);
            pages.push_back(std::move(page));
        }
        return pages;
    }

private:
    /// The footnotes a unit adds to a page, with the separator for the page's first.
    std::int32_t NotesHeight(const TUnit& unit, bool seenNote) const
    {
        if (!Footnotes_ || unit.Notes.empty())
            return 0;
        std::int64_t height = seenNote ? 0 : SeparatorHeight_;
        for (int note : unit.Notes)
            height += Footnotes_->Notes[std::size_t(note)]->Height;
        return ClampExtent(height);
    }

    void AssignNotes(TFlowPage& page, int first, int end) const
    {
        if (!Footnotes_)
            return;
        std::int64_t height = 0;
        for (int i = first; i < end && i < static_cast<int>(Units_.size()); ++i)
            for (int note : Units_[std::size_t(i)].Notes) {
                if (std::find(page.Notes.begin(), page.Notes.end(), note) != page.Notes.end())
                    continue;
                page.Notes.push_back(note);
                height += Footnotes_->Notes[std::size_t(note)]->Height;
            }
        if (!page.Notes.empty())
            page.NotesHeight = ClampExtent(height + SeparatorHeight_);
    }

    /// The unit the page ends before when unit does not fit: its line, or its paragraph when that
    /// keeps together, and paragraphs kept with it before it; never an empty page.
    int BreakBefore(int unit, int pageFirst) const
    {
        int at = unit;
        const TUnit& u = Units_[std::size_t(unit)];
        if (u.Table < 0 && (u.KeepTogether || u.KeepWithNext))
            at = u.ParaFirst;
        while (at > pageFirst && Units_[std::size_t(at)].ParaFirst == at && !Units_[std::size_t(at)].NewPageBefore &&
               Units_[std::size_t(at - 1)].KeepWithNext)
            at = Units_[std::size_t(at - 1)].ParaFirst;
        return at > pageFirst ? at : unit;
    }

    /// The lowest y in top..bottom at which the rows of unit can be cut without cutting a line of
    /// one of their cells; -1 when there is none below top.
    std::int32_t CleanCut(const TUnit& unit, std::int32_t top, std::int32_t bottom) const
    {
        const TBreakingTable& t = Tables_[std::size_t(unit.Table)];
        // The lines of the unit's cells, as flow y ranges.
        Lines_.clear();
        for (int r = 0; r < unit.EndRow; ++r) {
            int index = t.FirstCell[std::size_t(r)];
            for (int c = 0; c < t.Table->Rows[r].Count(); ++c) {
                const TRVTableCellData* cell = t.Table->Rows[r][c];
                if (!cell)
                    continue;
                const int cellIndex = index++;
                if (SpanEnd(*t.Table, r, *cell) <= unit.FirstRow)
                    continue;
                const TRVTableCellLayout* place = t.State->CellAt(cellIndex);
                if (!place)
                    continue;
                const TRVContainerLayout& content = place->Layout;
                const std::int32_t vpad = t.Table->CellVPadding;
                const std::int32_t room = place->Height - 2 * vpad - content.TotalHeight();
                std::int32_t dy = 0;
                switch (t.Table->GetCellVAlign(r, c)) {
                case rvcMiddle: dy = std::max(room / 2, 0); break;
                case rvcBottom: dy = std::max(room, 0); break;
                default: break;
                }
                const std::int32_t origin = t.Top + place->Top + vpad + dy;
                const TRVDrawLines& lines = content.DrawItems();
                for (int i = 0; i < lines.Count();) {
                    int first = i, last = i;
                    content.GetLineRange(i, first, last);
                    std::int32_t lineTop = lines[first].Top;
                    for (int k = first; k <= last; ++k)
                        lineTop = std::min(lineTop, lines[k].Top);
                    Lines_.push_back({origin + lineTop, origin + content.LineBottom(first)});
                    i = last + 1;
                }
            }
        }
        // Candidates: the ends of lines, from the lowest up; one that cuts no line wins.
        std::vector<std::int32_t> candidates;
        for (const auto& [from, to] : Lines_)
            if (to > top && to <= bottom)
                candidates.push_back(to);
        std::sort(candidates.begin(), candidates.end(), std::greater<>());
        for (std::int32_t y : candidates) {
            const bool clean = std::none_of(Lines_.begin(), Lines_.end(),
                                            [y](const auto& line) { return line.first < y && y < line.second; });
            if (clean)
                return y;
        }
        return -1;
    }

    const std::vector<TUnit>& Units_;
    const std::vector<TBreakingTable>& Tables_;
    const TNotesFlow* Footnotes_;
    std::int32_t SeparatorHeight_;
    mutable std::vector<std::pair<std::int32_t, std::int32_t>> Lines_;
};

namespace {

/// Builds the units of a laid-out container standing at flow y offset. Tables that break get
/// row units (and an entry in tables); footnote references are noted through addNote.
template <typename AddNote>
void BuildUnits(const TRVContainerLayout& layout, std::int32_t offset, std::vector<TUnit>& units,
                std::vector<TBreakingTable>* tables, AddNote addNote)
{
    const TCustomRVData& doc = layout.Document();
    const TRVStyle* sheet = doc.GetRVStyle();
    const TRVDrawLines& lines = layout.DrawItems();
    const TRVDeviceScale& scale = layout.DeviceScale();
    int paraFirst = 0;
    for (int i = 0; i < lines.Count();) {
        int first = i, last = i;
        layout.GetLineRange(i, first, last);
        i = last + 1;
        const TRVDrawLineInfo& head = lines[first];
        const int itemNo = head.ItemNo;
        const TCustomRVItemInfo& item = doc.ItemAt(itemNo);
        const bool firstPiece = first == 0 || lines[first - 1].ItemNo != itemNo;
        const bool paraStart = firstPiece && item.StartsParagraph();
        const TParaInfo* para = nullptr;
        if (sheet && sheet->ParaStyles.Count() > 0)
            para = &sheet->ParaStyles[std::clamp(item.ParaNo, 0, sheet->ParaStyles.Count() - 1)];

        TUnit unit;
        unit.DrawItemNo = first;
        std::int32_t top = head.Top;
        for (int k = first; k <= last; ++k)
            top = std::min(top, lines[k].Top);
        unit.Top = ClampCoordinate(std::int64_t{top} + offset);
        unit.Bottom = ClampCoordinate(std::int64_t{layout.LineBottom(first)} + offset);
        unit.SpaceAfter = para ? scale.Y(para->SpaceAfter) : 0;
        const std::int32_t above = units.empty() ? offset : units.back().Bottom;
        unit.PageStart = paraStart && para ? std::max(unit.Top - scale.Y(para->SpaceBefore), above) : unit.Top;
        unit.PageStart = std::min(unit.PageStart, unit.Top);
        unit.NewPageBefore = firstPiece && item.NewPageBefore();
        unit.KeepTogether = para && para->Options.Contains(rvpaoKeepLinesTogether);
        unit.KeepWithNext = para && para->Options.Contains(rvpaoKeepWithNext);
        if (paraStart)
            paraFirst = static_cast<int>(units.size());
        unit.ParaFirst = paraFirst;
        for (int k = first; k <= last; ++k) {
            const bool piece = k == 0 || lines[k - 1].ItemNo != lines[k].ItemNo;
            if (piece && doc.StyleOf(lines[k].ItemNo) == rvsFootnote)
                addNote(static_cast<const TCustomRVNoteItemInfo&>(doc.ItemAt(lines[k].ItemNo)), unit);
        }

        // A table that may break becomes runs of rows.
        const auto* table = item.StyleNo == rvsTable ? dynamic_cast<const TRVTableItemInfo*>(&item) : nullptr;
        const TRVTableLayoutState* state = table ? TableLayoutIn(layout, *table) : nullptr;
        const int rows = table ? table->Rows.Count() : 0;
        if (table && state && tables && int(state->Layout.RowStarts.size()) == rows && rows > 0) {
            TBreakingTable t;
            t.Table = table;
            t.State = state;
            t.DrawItemNo = first;
            t.Top = ClampCoordinate(std::int64_t{head.Top} + offset);
            t.RowsSplit = table->PrintOptions.Contains(rvtoRowsSplit);
            // Where each row's cells start in the cell list, and how far down each row's cells reach.
            std::vector<int> spanEnd(std::size_t(rows), 0);
            int index = 0;
            for (int r = 0; r < rows; ++r) {
                t.FirstCell.push_back(index);
                spanEnd[std::size_t(r)] = r + 1;
                for (int c = 0; c < table->Rows[r].Count(); ++c)
                    if (const TRVTableCellData* cell = table->Rows[r][c]) {
                        ++index;
                        spanEnd[std::size_t(r)] = std::max(spanEnd[std::size_t(r)], SpanEnd(*table, r, *cell));
                    }
            }
            int heading = std::clamp(table->HeadingRowCount, 0, rows);
            for (int r = 0; r < heading; ++r)
                if (spanEnd[std::size_t(r)] > heading)
                    heading = 0; // a heading cell reaching below the headings: nothing is repeated
            bool pageBreakRow = false;
            for (int r = heading + 1; r < rows; ++r)
                pageBreakRow = pageBreakRow || table->Rows[r].RowPageBreakBefore;
            if ((t.RowsSplit || pageBreakRow) && rows > heading) {
                // Row r's band: from halfway between the cells of r - 1 and r down to halfway to r + 1.
                const auto& starts = state->Layout.RowStarts;
                const auto& heights = state->Layout.RowHeights;
                auto boundary = [&](int r) -> std::int32_t {
                    if (r <= 0)
                        return 0;
                    if (r >= rows)
                        return head.Height;
                    const std::int32_t above = starts[std::size_t(r - 1)] +
                                               (std::size_t(r - 1) < heights.size() ? heights[std::size_t(r - 1)] : 0) +
                                               2 * table->CellVPadding;
                    return (above + starts[std::size_t(r)]) / 2;
                };
                t.HeadingRows = heading;
                t.HeadingBand = heading > 0 ? boundary(heading) : 0;
                const int tableIndex = static_cast<int>(tables->size());
                const std::vector<int> notes = std::move(unit.Notes);
                for (int r = 0; r < rows;) {
                    int end = r + 1;
                    for (int k = r; k < end; ++k)
                        end = std::max(end, spanEnd[std::size_t(k)]);
                    TUnit row = unit;
                    row.Notes.clear();
                    row.Table = tableIndex;
                    row.FirstRow = r;
                    row.EndRow = end;
                    row.Top = ClampCoordinate(std::int64_t{t.Top} + boundary(r));
                    row.Bottom = end < rows ? ClampCoordinate(std::int64_t{t.Top} + boundary(end)) : unit.Bottom;
                    if (r > 0) {
                        row.PageStart = row.Top;
                        row.NewPageBefore = r > heading && table->Rows[r].RowPageBreakBefore;
                        row.ParaFirst = static_cast<int>(units.size());
                        row.KeepTogether = false;
                        row.SpaceAfter = 0;
                    }
                    if (end < rows)
                        row.SpaceAfter = 0;
                    row.KeepWithNext = end < rows ? r < heading : unit.KeepWithNext;
                    // The footnotes of the row's cells.
                    for (int k = r; k < end; ++k)
                        for (int c = 0; c < table->Rows[k].Count(); ++c)
                            if (const TRVTableCellData* cell = table->Rows[k][c])
                                for (int n = 0; n < cell->Count(); ++n)
                                    if (cell->StyleOf(n) == rvsFootnote)
                                        addNote(static_cast<const TCustomRVNoteItemInfo&>(cell->ItemAt(n)), row);
                    if (r == 0)
                        row.Notes.insert(row.Notes.end(), notes.begin(), notes.end());
                    units.push_back(std::move(row));
                    r = end;
                }
                tables->push_back(std::move(t));
                continue;
            }
        }
        units.push_back(std::move(unit));
    }
}

} // namespace

// --- The component --------------------------------------------------------------------------------

TCustomRVPrint::TCustomRVPrint() = default;
TCustomRVPrint::~TCustomRVPrint() = default;

void TCustomRVPrint::SetPrinter(TRVPrinter* printer) noexcept
{
    if (Printer_ == printer)
        return;
    Printer_ = printer;
    FreePages();
    Layout_.reset();
}

TCustomRVPrint::TMarginsMM TCustomRVPrint::MarginsMM() const noexcept
{
    return {};
}

TRVPrint::TMarginsMM TRVPrint::MarginsMM() const noexcept
{
    TMarginsMM m;
    m.Left = LeftMarginMM;
    m.Right = RightMarginMM;
    m.Top = TopMarginMM;
    m.Bottom = BottomMarginMM;
    m.Mirror = MirrorMargins;
    m.Clip = ClipMargins;
    m.FixMode = FixMarginsMode;
    return m;
}

void TCustomRVPrint::UseDocumentOf(const TCustomRVFormattedData& editor, const TRVDocumentInfo* info)
{
    FreePages();
    Layout_.reset();
    Source_ = &editor;
    Info_ = info;
    const TRVViewSettings& view = editor;
    View_ = TRVViewSettings{};
    View_.LeftMargin = view.LeftMargin;
    View_.RightMargin = view.RightMargin;
    View_.TopMargin = view.TopMargin;
    View_.BottomMargin = view.BottomMargin;
    View_.MinTextWidth = view.MinTextWidth;
    View_.MaxTextWidth = view.MaxTextWidth;
    View_.Options = view.Options;
    View_.Options.Exclude(rvoShowPageBreaks);
    View_.WordWrap = view.WordWrap;
    View_.MaxLength = view.MaxLength;
    View_.BiDiMode = view.BiDiMode;
}

void TCustomRVPrint::FreePages() noexcept
{
    Pages_.clear();
    Footnotes_.reset();
    Endnotes_.reset();
    Paginated_ = false;
}

namespace {

/// The least height a page offers to the document besides the view's margins, in page pixels.
constexpr std::int32_t MinimumPageRoom = 48;

std::int32_t MillimetresToPixels(int mm, int dpi) noexcept
{
    return MulDiv(mm, dpi * 5, 127);
}

} // namespace

void TCustomRVPrint::ComputeGeometry()
{
    TPrinterPageMetrics m = Printer_->PageMetrics();
    // A driver may report anything: resolutions and sizes within sane limits.
    m.DpiX = std::clamp(m.DpiX, 1, 100000);
    m.DpiY = std::clamp(m.DpiY, 1, 100000);
    m.PrintableWidth = std::clamp(m.PrintableWidth, 1, MaxLineExtent);
    m.PrintableHeight = std::clamp(m.PrintableHeight, 1, MaxLineExtent);
    m.OffsetX = std::clamp(m.OffsetX, 0, MaxLineExtent);
    m.OffsetY = std::clamp(m.OffsetY, 0, MaxLineExtent);
    m.PhysicalWidth = std::clamp(m.PhysicalWidth, m.PrintableWidth + m.OffsetX, 2 * MaxLineExtent);
    m.PhysicalHeight = std::clamp(m.PhysicalHeight, m.PrintableHeight + m.OffsetY, 2 * MaxLineExtent);
    Metrics_ = m;

    const TMarginsMM mm = MarginsMM();
    const std::int32_t rightStrip = m.PhysicalWidth - m.PrintableWidth - m.OffsetX;
    const std::int32_t bottomStrip = m.PhysicalHeight - m.PrintableHeight - m.OffsetY;
    PrintLeft = MillimetresToPixels(mm.Left, m.DpiX) - m.OffsetX;
    PrintTop = MillimetresToPixels(mm.Top, m.DpiY) - m.OffsetY;
    PrintRight = MillimetresToPixels(mm.Right, m.DpiX) - rightStrip;
    PrintBottom = MillimetresToPixels(mm.Bottom, m.DpiY) - bottomStrip;
    MirroredLeft = MillimetresToPixels(mm.Right, m.DpiX) - m.OffsetX;
    if (mm.FixMode == rvfmmAutoCorrect) {
        // The text keeps its width and moves inside the printable area.
        if (PrintLeft < 0) {
            PrintRight += PrintLeft;
            PrintLeft = 0;
        }
        if (PrintTop < 0) {
            PrintBottom += PrintTop;
            PrintTop = 0;
        }
        PrintRight = std::max(PrintRight, 0);
        PrintBottom = std::max(PrintBottom, 0);
        MirroredLeft = std::max(MirroredLeft, 0);
    }

    auto x = [&](std::int32_t v) { return MulDiv(v, PageCanvasDpi, m.DpiX); };
    auto y = [&](std::int32_t v) { return MulDiv(v, PageCanvasDpi, m.DpiY); };
    LeftPx_ = x(PrintLeft);
    TopPx_ = y(PrintTop);
    RightPx_ = x(PrintRight);
    BottomPx_ = y(PrintBottom);
    MirroredLeftPx_ = x(MirroredLeft);
    // Margins wider than the paper, or a tiny paper, still leave room for some lines, so that
    // pages always make progress through the document.
    AreaWidthPx_ = std::max(x(TextAreaWidth()), 16);
    AreaHeightPx_ = std::max(y(TextAreaHeight()), MinimumPageRoom);
}

std::int32_t TCustomRVPrint::TextAreaWidth() const noexcept
{
    return std::max(Metrics_.PrintableWidth - PrintLeft - PrintRight, 1);
}

std::int32_t TCustomRVPrint::TextAreaHeight() const noexcept
{
    return std::max(Metrics_.PrintableHeight - PrintTop - PrintBottom, 1);
}

int TCustomRVPrint::PaginateDocument()
{
    FreePages();
    if (++FormatCounter_ > 9999)
        FormatCounter_ = 0;
    PrinterAvailable_ = Printer_ != nullptr;
    if (!Printer_ || !Source_)
        return 0;
    if (OnFormatting)
        OnFormatting(*this, 0, 0);
    ComputeGeometry();

    // The layout: the editor's measures on a canvas that measures as the pages draw.
    TCanvas& canvas = Printer_->FormatCanvas();
    View_.ClientWidth = AreaWidthPx_;
    View_.ClientHeight = AreaHeightPx_;
    if (View_.MaxTextWidth <= 0) {
        View_.MinTextWidth = View_.MaxTextWidth =
            std::max(AreaWidthPx_ - View_.LeftMargin - View_.RightMargin, 1);
    }
    if (!Layout_ || &Layout_->Document() != static_cast<const TCustomRVData*>(Source_))
        Layout_ = std::make_unique<TRVContainerLayout>(*Source_, View_);
    Layout_->SetFormatCanvas(&canvas);
    Layout_->FormatAll(false, true);
    if (Source_->Count() == 0 || Layout_->DrawItems().Count() == 0) {
        Paginated_ = true;
        if (OnFormatting)
            OnFormatting(*this, 0, 2);
        return 0;
    }

    // The footnote separator: a line of text style 0.
    FootnoteSeparator_ = 0;
    if (const TRVStyle* sheet = Source_->GetRVStyle(); sheet && sheet->TextStyles.Count() > 0) {
        canvas.SelectFont(CanvasFontOf(sheet->TextStyles[0]));
        FootnoteSeparator_ = canvas.Metrics().Height;
    }

    Footnotes_ = std::make_unique<TNotesFlow>();
    std::vector<TUnit> units;
    std::vector<TBreakingTable> tables;
    BuildUnits(*Layout_, 0, units, &tables, [&](const TCustomRVNoteItemInfo& note, TUnit& unit) {
        unit.Notes.push_back(Footnotes_->Add(note, View_, canvas));
    });

    const std::int32_t room = std::max(AreaHeightPx_ - View_.TopMargin - View_.BottomMargin, MinimumPageRoom);
    const std::int32_t firstRoom = room + View_.TopMargin;
    TPaginator paginator(units, tables, Footnotes_.get(), FootnoteSeparator_);
    std::vector<TFlowPage> pages = paginator.Run(firstRoom, room, true);

    auto addPage = [&](const TFlowPage& flowPage, const std::vector<TUnit>& flowUnits, bool endnotes, std::int32_t at) {
        TRVPageInfo page;
        const TUnit& first = flowUnits[std::size_t(flowPage.FirstUnit)];
        page.StartDrawItemNo = endnotes ? 0 : first.DrawItemNo;
        page.StartY = flowPage.StartY;
        page.EndY = flowPage.EndY;
        if (!endnotes && flowPage.Continued && first.Table >= 0) {
            page.SplitOffset = flowPage.StartY - tables[std::size_t(first.Table)].Top;
            page.StartPart = 2;
            if (!Pages_.empty() && Pages_.back().StartDrawItemNo == page.StartDrawItemNo)
                page.StartPart = Pages_.back().StartPart + 1;
        } else if (!endnotes && first.Table >= 0 && first.FirstRow > 0) {
            page.SplitOffset = flowPage.StartY - tables[std::size_t(first.Table)].Top;
        }
        if (!endnotes && flowPage.HeadingTable >= 0) {
            page.HeadingDrawItemNo = tables[std::size_t(flowPage.HeadingTable)].DrawItemNo;
            page.HeadingHeight = flowPage.HeadingHeight;
        }
        page.Slices.push_back({endnotes, flowPage.StartY, flowPage.EndY, at + flowPage.HeadingHeight});
        page.Footnotes = flowPage.Notes;
        page.FootnotesHeight = flowPage.NotesHeight;
        Pages_.push_back(std::move(page));
        if (OnFormatting)
            OnFormatting(*this, PageCount(), 1);
    };
    for (std::size_t p = 0; p < pages.size(); ++p)
        addPage(pages[p], units, false, p == 0 ? 0 : View_.TopMargin);

    // Endnotes follow the document, on its last page when there is room left.
    Endnotes_ = std::make_unique<TNotesFlow>();
    for (int i = 0; i < Source_->Count(); ++i)
        if (Source_->StyleOf(i) == rvsEndnote)
            Endnotes_->Add(static_cast<const TCustomRVNoteItemInfo&>(Source_->ItemAt(i)), View_, canvas);
    if (!Endnotes_->Notes.empty() && !Pages_.empty()) {
        std::vector<TUnit> noteUnits;
        for (const auto& note : Endnotes_->Notes)
            BuildUnits(*note->Layout, note->Y, noteUnits, nullptr, [](const TCustomRVNoteItemInfo&, TUnit&) {});
        if (!noteUnits.empty()) {
            TRVPageInfo& last = Pages_.back();
            // Measured from the top of the print area, where the first page's room starts.
            const std::int32_t usedOnLast = last.Slices.back().At + (last.EndY - last.StartY);
            const std::int32_t lastRoom = firstRoom - usedOnLast - last.FootnotesHeight;
            TPaginator notes(noteUnits, {}, nullptr, 0);
            std::vector<TFlowPage> notePages = notes.Run(lastRoom, room, true);
            std::size_t p = 0;
            // The first endnote page continues the last document page when its first unit fitted there.
            if (!notePages.empty() && lastRoom > 0 &&
                std::int64_t{noteUnits.front().Bottom} + noteUnits.front().SpaceAfter <= lastRoom) {
                last.Slices.push_back({true, notePages[0].StartY, notePages[0].EndY, usedOnLast});
                p = 1;
            } else {
                notePages = notes.Run(room, room, true);
            }
            for (; p < notePages.size(); ++p)
                addPage(notePages[p], noteUnits, true, View_.TopMargin);
        }
    }

    Paginated_ = true;
    if (OnFormatting)
        OnFormatting(*this, PageCount(), 2);
    return PageCount();
}

bool TCustomRVPrint::AssignSoftPageBreaks(TCustomRVFormattedData& editor) const
{
    std::vector<TRVSoftPageBreakInfo>& breaks = editor.SoftPageBreaks();
    const bool had = !breaks.empty();
    breaks.clear();
    if (!Layout_ || !Paginated_)
        return had;
    const TRVDrawLines& lines = Layout_->DrawItems();
    for (std::size_t p = 1; p < Pages_.size(); ++p) {
        const TRVPageInfo& page = Pages_[p];
        if (page.Slices.empty() || page.Slices.front().Endnotes || page.StartDrawItemNo >= lines.Count())
            continue;
        const TRVDrawLineInfo& d = lines[page.StartDrawItemNo];
        breaks.push_back({d.ItemNo, d.FirstChar, page.SplitOffset >= 0 ? page.SplitOffset : -1});
    }
    return had || !breaks.empty();
}

// --- Geometry for painting -------------------------------------------------------------------------

TRect TCustomRVPrint::PageRect() const noexcept
{
    return {0, 0, LeftPx_ + AreaWidthPx_ + RightPx_, TopPx_ + AreaHeightPx_ + BottomPx_};
}

TRect TCustomRVPrint::PrintAreaRect(int pageNo) const noexcept
{
    const bool mirrored = MarginsMM().Mirror && pageNo % 2 == 0;
    const std::int32_t left = mirrored ? MirroredLeftPx_ : LeftPx_;
    return {left, TopPx_, left + AreaWidthPx_, TopPx_ + AreaHeightPx_};
}

TRect TCustomRVPrint::UnprintableMargins(bool screen) const
{
    const TPrinterPageMetrics& m = Metrics_;
    TRect strips{m.OffsetX, m.OffsetY, m.PhysicalWidth - m.PrintableWidth - m.OffsetX,
                 m.PhysicalHeight - m.PrintableHeight - m.OffsetY};
    if (screen) {
        const int dpiX = std::max(m.DpiX, 1), dpiY = std::max(m.DpiY, 1);
        strips = {MulDiv(strips.Left, PageCanvasDpi, dpiX), MulDiv(strips.Top, PageCanvasDpi, dpiY),
                  MulDiv(strips.Right, PageCanvasDpi, dpiX), MulDiv(strips.Bottom, PageCanvasDpi, dpiY)};
    }
    return strips;
}

std::int32_t TCustomRVPrint::PrintableAreaWidth() const noexcept
{
    return MulDiv(TextAreaWidth() + PrintLeft + PrintRight, PageCanvasDpi, std::max(Metrics_.DpiX, 1));
}

std::int32_t TCustomRVPrint::PrintableAreaHeight() const noexcept
{
    return MulDiv(TextAreaHeight() + PrintTop + PrintBottom, PageCanvasDpi, std::max(Metrics_.DpiY, 1));
}

TRect TCustomRVPrint::MarginsRect(const TRect& rect, int pageNo) const noexcept
{
    const std::int32_t left = MarginsMM().Mirror && pageNo % 2 == 0 ? MirroredLeft : PrintLeft;
    const std::int32_t width = std::max(TextAreaWidth() + PrintLeft + PrintRight, 1);
    const std::int32_t height = std::max(TextAreaHeight() + PrintTop + PrintBottom, 1);
    return {rect.Left + MulDiv(left, rect.Width(), width), rect.Top + MulDiv(PrintTop, rect.Height(), height),
            rect.Left + MulDiv(left + TextAreaWidth(), rect.Width(), width),
            rect.Top + MulDiv(PrintTop + TextAreaHeight(), rect.Height(), height)};
}

void TCustomRVPrint::DrawMarginsRect(TCanvas& canvas, const TRect& rect, int pageNo, const TCanvasPen& pen) const
{
    canvas.Rectangle(MarginsRect(rect, pageNo), pen);
}

// --- Painting -------------------------------------------------------------------------------------

void TCustomRVPrint::PaintPage(int pageNo, TCanvas& canvas, bool preview, bool correction)
{
    if (pageNo < 1 || pageNo > PageCount() || !Layout_)
        throw EDocViewError(InvalidPageNumberError);
    const TRVPageInfo& page = Pages_[std::size_t(pageNo - 1)];
    const TRect pageRect = PageRect();
    const TRect area = PrintAreaRect(pageNo);

    canvas.Save();
    if (!TransparentBackground) {
        const bool colours = ColorMode == rvcmColor || ColorMode == rvcmPrinterColor || ColorMode == rvcmGrayScale;
        const TColor color = colours ? PrintColor(Info_ ? Info_->BackgroundColor : clWindow, ColorMode) : clWhite;
        const TGraphic* picture = colours && Info_ ? Info_->BackgroundPicture.get() : nullptr;
        const TBackgroundStyle style = picture ? Info_->BackgroundStyle : bsNoBitmap;
        PaintBackground(canvas, pageRect, pageRect, color == clNone ? clWhite : color, style, picture, {0, 0},
                        Layout_->DeviceScale());
    }
    if (OnPagePrepaint)
        OnPagePrepaint(*this, pageNo, canvas, preview, pageRect, area);

    canvas.Save();
    if (MarginsMM().Clip)
        canvas.IntersectClip(area);
    if (page.HeadingDrawItemNo >= 0 && page.HeadingHeight > 0) {
        const TRVDrawLineInfo& table = Layout_->DrawItems()[page.HeadingDrawItemNo];
        const std::int32_t at = page.Slices.empty() ? 0 : page.Slices.front().At - page.HeadingHeight;
        PaintSlice(canvas, page, TRVPageSlice{false, table.Top, table.Top + page.HeadingHeight, at}, area);
    }
    for (const TRVPageSlice& slice : page.Slices)
        PaintSlice(canvas, page, slice, area);
    PaintFootnotes(canvas, page, area);
    canvas.Restore();

    if (OnPagePostpaint)
        OnPagePostpaint(*this, pageNo, canvas, preview, pageRect, area);
    canvas.Restore();
}

void TCustomRVPrint::PaintSlice(TCanvas& canvas, const TRVPageInfo&, const TRVPageSlice& slice, const TRect& area)
{
    const std::int32_t height = std::max(slice.To - slice.From, 0);
    if (height == 0)
        return;
    TRVPaintRequest request;
    request.Focused = false;
    request.Printing = true;
    request.Color = clNone;
    request.Rect = TRect{0, 0, area.Width(), height};
    request.ClientWidth = area.Width();
    request.ClientHeight = height;
    if (!slice.Endnotes) {
        canvas.Save();
        canvas.Translate(area.Left, area.Top + slice.At);
        request.ScrollY = slice.From;
        PaintDocument(*Layout_, canvas, request);
        canvas.Restore();
        return;
    }
    // Endnotes: each note that meets the slice, at its place in the flow of notes.
    for (const auto& note : Endnotes_->Notes) {
        const std::int32_t from = std::max(slice.From, note->Y);
        const std::int32_t to = std::min(slice.To, note->Y + note->Height);
        if (from >= to)
            continue;
        canvas.Save();
        canvas.Translate(area.Left, area.Top + slice.At + (from - slice.From));
        request.Rect = TRect{0, 0, area.Width(), to - from};
        request.ClientHeight = to - from;
        request.ScrollY = from - note->Y;
        PaintDocument(*note->Layout, canvas, request);
        canvas.Restore();
    }
}

void TCustomRVPrint::PaintFootnotes(TCanvas& canvas, const TRVPageInfo& page, const TRect& area)
{
    if (page.Footnotes.empty() || !Footnotes_)
        return;
    std::int32_t y = area.Bottom - View_.BottomMargin - page.FootnotesHeight;
    // The separator: a grey line a third of the text width long, from the left margin plus half
    // the height of a line of text style 0, in the middle of its band.
    const std::int32_t separator = FootnoteSeparator_;
    const std::int32_t left = area.Left + View_.LeftMargin + separator / 2;
    const std::int32_t lineY = y + separator / 2;
    canvas.Line({left, lineY}, {left + Layout_->TextAreaWidth() / 3, lineY}, TCanvasPen{clGray, 1, psSolid});
    y += separator;
    TRVPaintRequest request;
    request.Focused = false;
    request.Printing = true;
    request.Color = clNone;
    for (int index : page.Footnotes) {
        const auto& note = *Footnotes_->Notes[std::size_t(index)];
        canvas.Save();
        canvas.Translate(area.Left, y);
        request.Rect = TRect{0, 0, area.Width(), note.Height};
        request.ClientWidth = area.Width();
        request.ClientHeight = note.Height;
        PaintDocument(*note.Layout, canvas, request);
        canvas.Restore();
        y += note.Height;
    }
}

// --- Printing -------------------------------------------------------------------------------------

bool TCustomRVPrint::PrintAll(const std::string& title, int copies, bool collate)
{
    return PrintPageRange(1, PageCount(), title, copies, collate);
}

bool TCustomRVPrint::PrintPageRange(int firstPage, int lastPage, const std::string& title, int copies, bool collate)
{
    firstPage = std::max(firstPage, 1);
    lastPage = std::min(lastPage, PageCount());
    if (lastPage < firstPage || !Printer_)
        return false;
    // Copies come from a dialog or a script: a bound keeps a slip of the finger from filling a queue.
    copies = std::clamp(copies, 1, 999);

    if (OnSendingToPrinter)
        OnSendingToPrinter(*this, 0, 0);
    const int previousCopies = Printer_->Copies();
    std::vector<int> order;
    if (collate && Printer_->CanCopy()) {
        Printer_->SetCopies(copies);
        for (int p = firstPage; p <= lastPage; ++p)
            order.push_back(p);
    } else {
        Printer_->SetCopies(1);
        if (collate) {
            for (int c = 0; c < copies; ++c)
                for (int p = firstPage; p <= lastPage; ++p)
                    order.push_back(p);
        } else {
            for (int p = firstPage; p <= lastPage; ++p)
                for (int c = 0; c < copies; ++c)
                    order.push_back(p);
        }
    }

    bool ok = Printer_->BeginDoc(title);
    for (std::size_t k = 0; ok && k < order.size(); ++k) {
        if (k > 0)
            Printer_->NewPage();
        PaintPage(order[k], Printer_->PageCanvas(), false, false);
        if (OnSendingToPrinter)
            OnSendingToPrinter(*this, order[k], 1);
    }
    if (ok)
        ok = Printer_->EndDoc();
    Printer_->SetCopies(previousCopies);
    if (OnSendingToPrinter)
        OnSendingToPrinter(*this, 0, 2);
    return ok;
}

} // namespace xq

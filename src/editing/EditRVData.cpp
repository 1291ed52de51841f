// The editable container: positions, caret stops, hit testing, the caret and the selection.
#include "editing/EditRVData.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "document/ItemText.h"
#include "platform/DocViewError.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Positions

TRVDocPos TRVEditRVData::DocPosOf(TRVDrawPos pos) const
{
    if (!pos.Valid() || pos.DrawItemNo >= DrawItems().Count())
        return {};
    return {DrawItems()[pos.DrawItemNo].ItemNo, pos.Offset};
}

TRVDrawPos TRVEditRVData::DrawPosOf(TRVDocPos pos, TRVLineBoundary boundary) const
{
    if (!pos.Valid() || pos.ItemNo >= Count() || !Formatted())
        return {};
    const TRVDrawLines& lines = DrawItems();
    const int first = FirstLinePiece(pos.ItemNo);
    if (first < 0 || first >= lines.Count())
        return {};
    if (!ItemAt(pos.ItemNo).IsText())
        return {first, std::clamp(pos.Offset, 0, 1)};
    int last = first;
    while (last + 1 < lines.Count() && lines[last + 1].ItemNo == pos.ItemNo)
        ++last;
    const int offset = std::clamp(pos.Offset, 1, ItemLength(pos.ItemNo) + 1);
    // At most two pieces hold the offset: one ending there and the next starting there.
    int found = -1;
    for (int j = first; j <= last; ++j) {
        const TRVDrawLineInfo& d = lines[j];
        if (d.FirstChar <= offset && offset <= d.FirstChar + d.CharCount) {
            if (found >= 0) {
                if (boundary == TRVLineBoundary::LineStart)
                    found = j;
                break;
            }
            found = j;
        }
    }
    if (found >= 0)
        return {found, offset};
    // Inside a space consumed by a wrap: the line after it.
    for (int j = first; j <= last; ++j)
        if (lines[j].FirstChar > offset)
            return {j, lines[j].FirstChar};
    if (last + 1 < lines.Count()) {
        const TRVDrawLineInfo& next = lines[last + 1];
        return {last + 1, ItemAt(next.ItemNo).IsText() ? next.FirstChar : 0};
    }
    return {last, lines[last].FirstChar + lines[last].CharCount};
}

bool TRVEditRVData::SamePlace(TRVDocPos a, TRVDocPos b) const
{
    if (!a.Valid() || !b.Valid() || a.ItemNo >= Count() || b.ItemNo >= Count())
        return false;
    if (b < a)
        std::swap(a, b);
    TRVDocPos p = a;
    while (p != b) {
        if (p.ItemNo >= b.ItemNo || p.Offset != OffsetAfter(p.ItemNo))
            return false;
        const int next = p.ItemNo + 1;
        if (!ItemAt(next).ContinuesPara())
            return false;
        p = {next, OffsetBefore(next)};
    }
    return true;
}

int TRVEditRVData::SelOffsOf(TRVDrawPos pos) const
{
    const TRVDrawLineInfo& d = DrawItems()[pos.DrawItemNo];
    return ItemAt(d.ItemNo).IsText() ? pos.Offset - d.FirstChar + 1 : pos.Offset;
}

int TRVEditRVData::ItemOffsOf(int drawItemNo, int selOffs) const
{
    const TRVDrawLineInfo& d = DrawItems()[drawItemNo];
    return ItemAt(d.ItemNo).IsText() ? selOffs + d.FirstChar - 1 : selOffs;
}

// ---------------------------------------------------------------------------------------------
// Lines and caret stops

void TRVEditRVData::GetCaretStops(int drawItemNo, TRVCharPosCollection& out)
{
    out.Clear();
    if (drawItemNo < 0 || drawItemNo >= DrawItems().Count())
        return;
    int first = 0, last = 0;
    GetLineRange(drawItemNo, first, last);
    BuildCaretStops(*this, first, last, out);
}

const TRVCharPosCollection& TRVEditRVData::StopsOfLine(int drawItemNo, TRVCharPosCollection& scratch)
{
    GetCaretStops(drawItemNo, scratch);
    return scratch;
}

int TRVEditRVData::StopIndexIn(const TRVCharPosCollection& stops, TRVDrawPos pos) const
{
    if (stops.Empty())
        return -1;
    if (const int exact = stops.IndexOf(pos); exact >= 0)
        return exact;
    // A boundary owned by the neighbouring draw item.
    const TRVDocPos doc = DocPosOf(pos);
    for (int k = 0; k < stops.Count(); ++k)
        if (std::abs(stops[k].DrawItemNo - pos.DrawItemNo) == 1 && SamePlace(DocPosOf(stops[k].Pos()), doc))
            return k;
    int best = -1;
    for (int k = 0; k < stops.Count(); ++k)
        if (stops[k].DrawItemNo == pos.DrawItemNo &&
            (best < 0 || std::abs(stops[k].Offset - pos.Offset) < std::abs(stops[best].Offset - pos.Offset)))
            best = k;
    if (best >= 0)
        return best;
    // A draw item without stops of its own (a list marker).
    for (int k = 0; k < stops.Count(); ++k)
        if (stops[k].DrawItemNo > pos.DrawItemNo)
            return k;
    return stops.Count() - 1;
}

TRVDrawPos TRVEditRVData::StopOf(TRVDrawPos pos)
{
    TRVCharPosCollection stops;
    const int index = StopIndexIn(StopsOfLine(pos.DrawItemNo, stops), pos);
    return index < 0 ? TRVDrawPos{} : stops[index].Pos();
}

std::int32_t TRVEditRVData::CaretXOf(TRVDrawPos pos)
{
    TRVCharPosCollection stops;
    const int index = StopIndexIn(StopsOfLine(pos.DrawItemNo, stops), pos);
    return index < 0 ? 0 : stops[index].X;
}

std::int32_t TRVEditRVData::LineTopOf(int drawItemNo) const
{
    int first = 0, last = 0;
    GetLineRange(drawItemNo, first, last);
    std::int32_t top = INT_MAX;
    for (int i = first; i <= last; ++i)
        top = std::min(top, DrawItems()[i].Top);
    return top;
}

int TRVEditRVData::LineAtY(std::int32_t y) const
{
    const TRVDrawLines& lines = DrawItems();
    const int count = lines.Count();
    if (count == 0)
        return -1;
    // Tops grow from line to line (not within a line): bisect for the last piece at or above y,
    // then step on while the next line still begins at or above y.
    int lo = 0, hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (lines[mid].Top <= y)
            lo = mid + 1;
        else
            hi = mid;
    }
    int first = 0, last = 0;
    GetLineRange(std::max(lo - 1, 0), first, last);
    while (last + 1 < count && LineTopOf(last + 1) <= y)
        GetLineRange(last + 1, first, last);
    return first;
}

TRVDrawPos TRVEditRVData::LineStartOf(int drawItemNo)
{
    TRVCharPosCollection stops;
    StopsOfLine(drawItemNo, stops);
    return stops.Empty() ? TRVDrawPos{} : stops.First().Pos();
}

TRVDrawPos TRVEditRVData::LineEndOf(int drawItemNo)
{
    TRVCharPosCollection stops;
    StopsOfLine(drawItemNo, stops);
    return stops.Empty() ? TRVDrawPos{} : stops.Last().Pos();
}

TRVDrawPos TRVEditRVData::FirstStop()
{
    return DrawItems().Count() == 0 ? TRVDrawPos{} : LineStartOf(0);
}

TRVDrawPos TRVEditRVData::LastStop()
{
    return DrawItems().Count() == 0 ? TRVDrawPos{} : LineEndOf(DrawItems().Count() - 1);
}

// ---------------------------------------------------------------------------------------------
// Hit testing

TRVDrawPos TRVEditRVData::HitTest(std::int32_t x, std::int32_t y)
{
    const int count = DrawItems().Count();
    if (count == 0)
        return {};
    const int line = LineAtY(y);
    int first = 0, last = 0;
    GetLineRange(line, first, last);
    if (last == count - 1 && y >= LineBottom(last))
        return LastStop();
    return HitTestLine(line, x);
}

TRVDrawPos TRVEditRVData::HitTestLine(int lineDrawItemNo, std::int32_t x)
{
    const TRVDrawLines& lines = DrawItems();
    if (lineDrawItemNo < 0 || lineDrawItemNo >= lines.Count())
        return {};
    int first = 0, last = 0;
    GetLineRange(lineDrawItemNo, first, last);
    int index = last;
    for (int j = first; j <= last; ++j)
        if (x < lines[j].Left + lines[j].Width) {
            index = j;
            break;
        }
    const TRVDrawLineInfo& d = lines[index];
    if (!ItemAt(d.ItemNo).IsText())
        return {index, 2 * x > 2 * d.Left + d.Width ? 1 : 0};
    if (d.CharCount == 0)
        return {index, d.FirstChar};
    const std::vector<std::int32_t> bounds = PieceBoundaries(*this, index);
    const std::u16string text = DisplayTextOf(d.ItemNo);
    int best = 0;
    for (int k = 1; k < static_cast<int>(bounds.size()); ++k) {
        const std::size_t at = std::size_t(d.FirstChar - 1 + k);
        if (at < text.size() && IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at]))
            continue;
        if (std::abs(d.Left + bounds[std::size_t(k)] - x) < std::abs(d.Left + bounds[std::size_t(best)] - x))
            best = k;
    }
    return {index, d.FirstChar + best};
}

// ---------------------------------------------------------------------------------------------
// Caret

TRVDrawPos TRVEditRVData::CaretPos() const
{
    return CaretValid() ? CharEnds_[CaretStop_].Pos() : TRVDrawPos{};
}

void TRVEditRVData::SetCaret(TRVDrawPos pos)
{
    if (!pos.Valid() || pos.DrawItemNo >= DrawItems().Count()) {
        ResetCaret();
        return;
    }
    int first = 0, last = 0;
    GetLineRange(pos.DrawItemNo, first, last);
    BuildCaretStops(*this, first, last, CharEnds_);
    CaretLineFirst_ = first;
    CaretStop_ = StopIndexIn(CharEnds_, pos);
}

void TRVEditRVData::SetCaretStop(int index)
{
    if (index >= 0 && index < CharEnds_.Count())
        CaretStop_ = index;
}

void TRVEditRVData::ResetCaret()
{
    CharEnds_.Clear();
    CaretStop_ = -1;
    CaretLineFirst_ = -1;
    SelStartNo = SelEndNo = -1;
    SelStartOffs = SelEndOffs = 0;
    if (DrawItems().Count() == 0)
        return;
    SetCaret(FirstStop());
    CollapseSelection();
}

void TRVEditRVData::CheckCaret()
{
    if (CaretStop_ < 0)
        return;
    const int count = DrawItems().Count();
    bool valid = CaretStop_ < CharEnds_.Count() && CaretLineFirst_ >= 0 && CaretLineFirst_ < count &&
                 DrawItems()[CaretLineFirst_].StartsLine();
    for (int k = 0; valid && k < CharEnds_.Count(); ++k)
        valid = CharEnds_[k].DrawItemNo < count;
    if (!valid) {
        ResetCaret();
        throw EDocViewError(errInvalidCaretPosition);
    }
}

TRVCaretRect TRVEditRVData::CaretRect() const
{
    if (!CaretValid() || CharEnds_[CaretStop_].DrawItemNo >= DrawItems().Count())
        return {};
    const TRVCharPos& stop = CharEnds_[CaretStop_];
    const TRVDrawLineInfo& d = DrawItems()[stop.DrawItemNo];
    const std::int32_t height = std::min(d.Height + 2, MaxCaretHeight);
    return {stop.X, d.Bottom() + 1 - height, height};
}

TRVCaretRect TRVEditRVData::StopRect(TRVDrawPos pos)
{
    if (!pos.Valid() || pos.DrawItemNo >= DrawItems().Count())
        return {};
    TRVCharPosCollection stops;
    const int index = StopIndexIn(StopsOfLine(pos.DrawItemNo, stops), pos);
    if (index < 0 || index >= stops.Count())
        return {};
    const TRVCharPos& stop = stops[index];
    const TRVDrawLineInfo& d = DrawItems()[stop.DrawItemNo];
    const std::int32_t height = std::min(d.Height + 2, MaxCaretHeight);
    return {stop.X, d.Bottom() + 1 - height, height};
}

// ---------------------------------------------------------------------------------------------
// Selection

void TRVEditRVData::SetSelectionBounds(TRVDrawPos anchor, TRVDrawPos end)
{
    const TRVDrawPos a = StopOf(anchor);
    SetCaret(end);
    if (!a.Valid() || !CaretValid()) {
        CollapseSelection();
        return;
    }
    const TRVDrawPos e = CaretPos();
    SelStartNo = a.DrawItemNo;
    SelStartOffs = SelOffsOf(a);
    SelEndNo = e.DrawItemNo;
    SelEndOffs = SelOffsOf(e);
}

void TRVEditRVData::CollapseSelection()
{
    if (!CaretValid()) {
        SelStartNo = SelEndNo = -1;
        return;
    }
    const TRVDrawPos caret = CaretPos();
    SelStartNo = SelEndNo = caret.DrawItemNo;
    SelStartOffs = SelEndOffs = SelOffsOf(caret);
}

TRVDrawPos TRVEditRVData::SelectionAnchor() const
{
    if (SelStartNo < 0 || SelStartNo >= DrawItems().Count())
        return {};
    return {SelStartNo, ItemOffsOf(SelStartNo, SelStartOffs)};
}

TRVDrawPos TRVEditRVData::SelectionEnd() const
{
    if (SelEndNo < 0 || SelEndNo >= DrawItems().Count())
        return {};
    return {SelEndNo, ItemOffsOf(SelEndNo, SelEndOffs)};
}

bool TRVEditRVData::SelectionExists() const
{
    const TRVDrawPos anchor = SelectionAnchor();
    const TRVDrawPos end = SelectionEnd();
    return anchor.Valid() && end.Valid() && !SamePlace(DocPosOf(anchor), DocPosOf(end));
}

bool TRVEditRVData::GetOrderedSelectionDoc(TRVDocPos& first, TRVDocPos& last) const
{
    if (!SelectionExists())
        return false;
    TRVDrawPos a = SelectionAnchor();
    TRVDrawPos e = SelectionEnd();
    if (e < a)
        std::swap(a, e);
    first = DocPosOf(a);
    last = DocPosOf(e);
    return true;
}

bool TRVEditRVData::InSelection(TRVDrawPos pos) const
{
    if (!SelectionExists())
        return false;
    const TRVDrawPos a = SelectionAnchor();
    const TRVDrawPos e = SelectionEnd();
    return std::min(a, e) <= pos && pos <= std::max(a, e);
}

// ---------------------------------------------------------------------------------------------
// Keeping positions over a new layout

TRVEditPositions TRVEditRVData::SavePositions() const
{
    TRVEditPositions p;
    if (!CaretValid())
        return p;
    p.Caret = CaretDocPos();
    p.CaretBoundary = CaretStop_ > 0 && CaretStop_ == CharEnds_.Count() - 1 ? TRVLineBoundary::LineEnd
                                                                             : TRVLineBoundary::LineStart;
    const TRVDrawPos anchor = SelectionAnchor();
    p.Anchor = DocPosOf(anchor);
    if (anchor.Valid()) {
        // Only the end of a line can be a second draw position of its document position.
        const int next = anchor.DrawItemNo + 1;
        const bool lineEnds = next >= DrawItems().Count() || DrawItems()[next].StartsLine();
        const TRVDrawLineInfo& d = DrawItems()[anchor.DrawItemNo];
        const int end = ItemAt(d.ItemNo).IsText() ? d.FirstChar + d.CharCount : 1;
        if (lineEnds && anchor.Offset == end)
            p.AnchorBoundary = TRVLineBoundary::LineEnd;
    }
    return p;
}

void TRVEditRVData::RestorePositions(const TRVEditPositions& positions)
{
    if (DrawItems().Count() == 0 || !positions.Caret.Valid()) {
        ResetCaret();
        return;
    }
    const auto inside = [this](TRVDocPos p) {
        if (p.ItemNo >= Count())
            return TRVDocPos{Count() - 1, OffsetAfter(Count() - 1)};
        return TRVDocPos{p.ItemNo, std::clamp(p.Offset, OffsetBefore(p.ItemNo), OffsetAfter(p.ItemNo))};
    };
    const TRVDrawPos caret = DrawPosOf(inside(positions.Caret), positions.CaretBoundary);
    if (!caret.Valid()) {
        ResetCaret();
        return;
    }
    const TRVDrawPos anchor =
        positions.Anchor.Valid() ? DrawPosOf(inside(positions.Anchor), positions.AnchorBoundary) : caret;
    SetSelectionBounds(anchor.Valid() ? anchor : caret, caret);
}

// ---------------------------------------------------------------------------------------------
// Words and paragraphs

char16_t TRVEditRVData::CharAt(int itemNo, int index) const
{
    if (index < 1 || index > ItemLength(itemNo))
        return 0;
    return TRVItemText::Of(*this, itemNo).UnitAt(index - 1);
}

bool TRVEditRVData::IsDelimiterAt(int itemNo, int index, const std::string& delimiters) const
{
    const char16_t c = CharAt(itemNo, index);
    if (c == 0 || c > 0xFF)
        return false;
    return delimiters.find(static_cast<char>(c)) != std::string::npos;
}

bool TRVEditRVData::GetWordAt(TRVDocPos pos, const std::string& delimiters, TRVDocPos& start, TRVDocPos& end) const
{
    if (!pos.Valid() || pos.ItemNo >= Count() || !ItemAt(pos.ItemNo).IsText())
        return false;
    const int length = ItemLength(pos.ItemNo);
    const int offset = std::clamp(pos.Offset, 1, length + 1);
    int s = offset;
    while (s > 1 && !IsDelimiterAt(pos.ItemNo, s - 1, delimiters))
        --s;
    int e = offset;
    while (e <= length && !IsDelimiterAt(pos.ItemNo, e, delimiters))
        ++e;
    start = {pos.ItemNo, s};
    end = {pos.ItemNo, e};
    return true;
}

bool TRVEditRVData::WordBoundaryAt(int itemNo, int offset, const std::string& delimiters, bool forward) const
{
    const bool before = IsDelimiterAt(itemNo, offset - 1, delimiters);
    const bool after = IsDelimiterAt(itemNo, offset, delimiters);
    if (before && !after)
        return true;
    if (!before && after && CharAt(itemNo, offset) != u' ')
        return true;
    return forward && CharAt(itemNo, offset - 1) == u' ' && CharAt(itemNo, offset) != u' ';
}

bool TRVEditRVData::WordLeftOf(TRVDocPos pos, const std::string& delimiters, TRVDocPos& to) const
{
    if (!pos.Valid() || pos.ItemNo >= Count())
        return false;
    TRVDocPos p = pos;
    for (;;) {
        const TCustomRVItemInfo& item = ItemAt(p.ItemNo);
        if (item.IsText() && p.Offset > 1) {
            int q = std::min(p.Offset, ItemLength(p.ItemNo) + 1) - 1;
            while (q > 1 && !WordBoundaryAt(p.ItemNo, q, delimiters, false))
                --q;
            to = {p.ItemNo, q};
            return true;
        }
        if (!item.IsText() && p.Offset >= 1 && !item.IsListMarker()) {
            to = {p.ItemNo, 0};
            return true;
        }
        // At the item's start. A list marker has no place before it: its paragraph starts after it.
        int current = p.ItemNo;
        if (!item.IsListMarker() && current > 0 && ItemAt(current - 1).IsListMarker())
            --current;
        if (current == 0)
            return false;
        const int previous = current - 1;
        if (!ItemAt(current).ContinuesPara()) {
            to = {previous, OffsetAfter(previous)};
            return true;
        }
        p = {previous, OffsetAfter(previous)};
    }
}

bool TRVEditRVData::WordRightOf(TRVDocPos pos, const std::string& delimiters, TRVDocPos& to) const
{
    if (!pos.Valid() || pos.ItemNo >= Count())
        return false;
    TRVDocPos p = pos;
    for (;;) {
        const TCustomRVItemInfo& item = ItemAt(p.ItemNo);
        const int length = ItemLength(p.ItemNo);
        if (item.IsText() && p.Offset <= length) {
            int q = std::max(p.Offset, 1) + 1;
            while (q <= length && !WordBoundaryAt(p.ItemNo, q, delimiters, true))
                ++q;
            to = {p.ItemNo, q};
            return true;
        }
        if (!item.IsText() && p.Offset < 1) {
            to = {p.ItemNo, 1};
            return true;
        }
        if (p.ItemNo + 1 >= Count())
            return false;
        const int next = p.ItemNo + 1;
        if (!ItemAt(next).ContinuesPara()) {
            const int target = ItemAt(next).IsListMarker() && next + 1 < Count() ? next + 1 : next;
            to = {target, OffsetBefore(target)};
            return true;
        }
        p = {next, OffsetBefore(next)};
    }
}

int TRVEditRVData::ParagraphFirstItem(int itemNo) const
{
    while (itemNo > 0 && !StartsParagraph(itemNo))
        --itemNo;
    return itemNo;
}

int TRVEditRVData::ParagraphLastItem(int itemNo) const
{
    while (itemNo + 1 < Count() && !StartsParagraph(itemNo + 1))
        ++itemNo;
    return itemNo;
}

TRVDocPos TRVEditRVData::ParagraphStart(int itemNo) const
{
    int first = ParagraphFirstItem(itemNo);
    if (ItemAt(first).IsListMarker() && first + 1 < Count())
        ++first;
    return {first, OffsetBefore(first)};
}

TRVDocPos TRVEditRVData::ParagraphEnd(int itemNo) const
{
    const int last = ParagraphLastItem(itemNo);
    return {last, OffsetAfter(last)};
}

// ---------------------------------------------------------------------------------------------
// Moves

bool TRVEditRVData::StopLeft(TRVDrawPos from, TRVDrawPos& to)
{
    TRVCharPosCollection stops;
    const int index = StopIndexIn(StopsOfLine(from.DrawItemNo, stops), from);
    if (index < 0)
        return false;
    if (index > 0) {
        to = stops[index - 1].Pos();
        return true;
    }
    int first = 0, last = 0;
    GetLineRange(from.DrawItemNo, first, last);
    if (first == 0)
        return false;
    TRVCharPosCollection above;
    StopsOfLine(first - 1, above);
    int k = above.Count() - 1;
    // The end of the line above may be this very place (a word cut by the wrap): one further.
    if (k > 0 && SamePlace(DocPosOf(above[k].Pos()), DocPosOf(stops[index].Pos())))
        --k;
    to = above[k].Pos();
    return true;
}

bool TRVEditRVData::StopRight(TRVDrawPos from, TRVDrawPos& to)
{
    TRVCharPosCollection stops;
    const int index = StopIndexIn(StopsOfLine(from.DrawItemNo, stops), from);
    if (index < 0)
        return false;
    if (index + 1 < stops.Count()) {
        to = stops[index + 1].Pos();
        return true;
    }
    int first = 0, last = 0;
    GetLineRange(from.DrawItemNo, first, last);
    if (last + 1 >= DrawItems().Count())
        return false;
    TRVCharPosCollection below;
    StopsOfLine(last + 1, below);
    int k = 0;
    if (k + 1 < below.Count() && SamePlace(DocPosOf(below[k].Pos()), DocPosOf(stops[index].Pos())))
        ++k;
    to = below[k].Pos();
    return true;
}

bool TRVEditRVData::LineUp(TRVDrawPos from, std::int32_t x, TRVDrawPos& to)
{
    int first = 0, last = 0;
    GetLineRange(from.DrawItemNo, first, last);
    if (first == 0)
        return false;
    to = StopOf(HitTestLine(first - 1, x));
    return to.Valid();
}

bool TRVEditRVData::LineDown(TRVDrawPos from, std::int32_t x, TRVDrawPos& to)
{
    int first = 0, last = 0;
    GetLineRange(from.DrawItemNo, first, last);
    if (last + 1 >= DrawItems().Count())
        return false;
    to = StopOf(HitTestLine(last + 1, x));
    return to.Valid();
}

} // namespace xq

// Finding text: from the selection on, item by item in one direction, through table cells as
// documents of their own, matching within one item's text; no wrap-around.
#include <algorithm>
#include <vector>

#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/EditStep.h"
#include "editing/ItemChars.h"
#include "editing/TableInplaceEdit.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include "platform/TextCase.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

/// Where a match lies: the cells leading to its container, the item and its caret offsets.
struct TSearchMatch {
    std::vector<TRVCellStep> Path;
    int ItemNo = -1;
    int Start = 0, End = 0;
};

class TTextSearch {
public:
    TTextSearch(const TRVStyle& sheet, std::u16string_view needle, TRVSearchOptions options,
                const std::string& delimiters)
        : Sheet_(sheet), Down_(options.Contains(SearchDown)), MatchCase_(options.Contains(SearchMatchCase)),
          WholeWord_(options.Contains(SearchWholeWord)),
          Needle_(MatchCase_ ? std::u16string(needle) : UpperCaseUtf16(needle)),
          Delimiters_(DelimitersUtf16(delimiters))
    {
    }

    [[nodiscard]] bool Down() const noexcept { return Down_; }

    /// From pos in data: the rest of its item first, then the items after (before) it.
    bool FromPosition(const TCustomRVData& data, TRVDocPos pos, TSearchMatch& match)
    {
        if (pos.ItemNo < 0 || pos.ItemNo >= data.Count())
            return false;
        const TCustomRVItemInfo& item = data.ItemAt(pos.ItemNo);
        if (item.IsText()) {
            if (InText(data, pos.ItemNo, Down_ ? pos.Offset : data.OffsetBefore(pos.ItemNo),
                       Down_ ? data.OffsetAfter(pos.ItemNo) : pos.Offset, match))
                return true;
        } else if (pos.Offset == (Down_ ? data.OffsetBefore(pos.ItemNo) : data.OffsetAfter(pos.ItemNo))) {
            // The place before (after) an object: the object itself comes next.
            if (WholeItem(data, pos.ItemNo, match))
                return true;
        }
        return Items(data, pos.ItemNo + (Down_ ? 1 : -1), match);
    }

    /// The items from start on, each whole.
    bool Items(const TCustomRVData& data, int start, TSearchMatch& match)
    {
        for (int i = start; i >= 0 && i < data.Count(); i += Down_ ? 1 : -1)
            if (WholeItem(data, i, match))
                return true;
        return false;
    }

    /// The cells of the table at itemNo after (before) the cell (row, col); every cell when row is -1.
    bool Cells(const TRVTableItemInfo& table, int itemNo, int row, int col, TSearchMatch& match)
    {
        std::vector<TRVCellStep> cells;
        for (int r = 0; r < table.RowCount(); ++r)
            for (int c = 0; c < table.ColCount(); ++c)
                if (table.Cells(r, c))
                    cells.push_back({itemNo, r, c});
        if (!Down_)
            std::reverse(cells.begin(), cells.end());
        std::size_t k = 0;
        if (row >= 0) {
            while (k < cells.size() && !(cells[k].Row == row && cells[k].Col == col))
                ++k;
            ++k;
        }
        for (; k < cells.size(); ++k) {
            const TCustomRVData& cell = *table.Cells(cells[k].Row, cells[k].Col);
            match.Path.push_back(cells[k]);
            if (Items(cell, Down_ ? 0 : cell.Count() - 1, match))
                return true;
            match.Path.pop_back();
        }
        return false;
    }

private:
    bool WholeItem(const TCustomRVData& data, int itemNo, TSearchMatch& match)
    {
        const TCustomRVItemInfo& item = data.ItemAt(itemNo);
        if (item.IsText())
            return InText(data, itemNo, data.OffsetBefore(itemNo), data.OffsetAfter(itemNo), match);
        if (item.StyleNo == rvsTab && Needle_ == u"\t") {
            match.ItemNo = itemNo;
            match.Start = 0;
            match.End = 1;
            return true;
        }
        if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item))
            return Cells(*table, itemNo, -1, -1, match);
        return false;
    }

    /// The occurrence between the caret offsets from and to of text item itemNo nearest to the
    /// search's start (the first searching down, the last searching up).
    bool InText(const TCustomRVData& data, int itemNo, int from, int to, TSearchMatch& match)
    {
        const TItemChars chars = CharsOf(data, itemNo);
        const std::size_t n = Needle_.size();
        const std::size_t lo = chars.UnitAt(from), hi = std::min(chars.UnitAt(to), chars.Text.size());
        if (n == 0 || hi < lo || hi - lo < n)
            return false;
        const std::u16string_view text(chars.Text);
        std::size_t at = Down_ ? text.find(Needle_, lo) : text.rfind(Needle_, hi - n);
        while (at != std::u16string_view::npos && at >= lo && at + n <= hi) {
            if (!WholeWord_ || WordAt(text, at, n)) {
                match.ItemNo = itemNo;
                match.Start = chars.OffsetAt(at);
                match.End = chars.OffsetAt(at + n);
                return true;
            }
            if (Down_)
                at = text.find(Needle_, at + 1);
            else
                at = at == 0 ? std::u16string_view::npos : text.rfind(Needle_, at - 1);
        }
        return false;
    }

    [[nodiscard]] bool WordAt(std::u16string_view text, std::size_t at, std::size_t n) const
    {
        const auto delimiter = [&](char16_t c) { return Delimiters_.find(c) != std::u16string::npos; };
        return (at == 0 || delimiter(text[at - 1])) && (at + n == text.size() || delimiter(text[at + n]));
    }

    /// The text of a text item in UTF-16, upper-cased unless case matters.
    [[nodiscard]] TItemChars CharsOf(const TCustomRVData& data, int itemNo) const
    {
        TItemChars chars = ItemCharsOf(Sheet_, data, itemNo);
        if (!MatchCase_)
            chars.Text = UpperCaseUtf16(chars.Text);
        return chars;
    }

    const TRVStyle& Sheet_;
    bool Down_, MatchCase_, WholeWord_;
    std::u16string Needle_;
    std::u16string Delimiters_;
};

} // namespace

bool TCustomDocViewEdit::SearchText(std::u16string_view text, TRVSearchOptions options)
{
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || text.empty() || text.find_first_of(u"\r\n") != std::u16string_view::npos || Data_.Count() == 0 ||
        !Data_.Formatted())
        return false;
    TTextSearch search(*sheet, text, options, Delimiters);

    // The editors from this one to the innermost cell editor.
    std::vector<TCustomDocViewEdit*> chain;
    for (TCustomDocViewEdit* e = this; e; e = e->CellEditor_.get())
        chain.push_back(e);
    TCustomDocViewEdit& inner = *chain.back();
    TRVDocPos first, last;
    TRVDocPos start = inner.Data_.CaretValid() ? inner.Data_.CaretDocPos() : TRVDocPos{0, 0};
    if (inner.Data_.GetOrderedSelectionDoc(first, last))
        start = search.Down() ? last : first;

    TSearchMatch match;
    std::size_t level = chain.size() - 1;
    bool found = search.FromPosition(inner.Data_, start, match);
    // Out of an edited cell: the table's other cells, then on in the document around it.
    while (!found && level > 0) {
        --level;
        const TRVTableInplaceEdit& cell = *chain[level]->CellEditor_;
        if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&chain[level]->Data_.ItemAt(cell.ItemNo())))
            found = search.Cells(*table, cell.ItemNo(), cell.Row(), cell.Col(), match);
        if (!found)
            found = search.Items(chain[level]->Data_, cell.ItemNo() + (search.Down() ? 1 : -1), match);
    }
    if (!found)
        return false;

    if (!chain[level]->SelectInCells(match.Path, {match.ItemNo, match.Start}, {match.ItemNo, match.End}))
        return false;
    ScrollToCaret();
    return true;
}

bool TCustomDocViewEdit::SelectInCells(std::span<const TRVCellStep> path, TRVDocPos from, TRVDocPos to)
{
    // The cells on the way are edited; the edited cells that are not end.
    TCustomDocViewEdit* e = this;
    for (const TRVCellStep& step : path) {
        const TRVTableInplaceEdit* edited = e->CellEditor_.get();
        if (!edited || edited->ItemNo() != step.ItemNo || edited->Row() != step.Row || edited->Col() != step.Col)
            if (!e->EditCell(step.ItemNo, step.Row, step.Col))
                return false;
        e = e->CellEditor_.get();
    }
    e->EndCellEdit();
    e->SetSelection(from, to);
    return true;
}

std::u16string TCustomDocViewEdit::SelectedText() const
{
    if (CellEditor_)
        return CellEditor_->SelectedText();
    TRVDocPos first, last;
    if (!Data_.GetOrderedSelectionDoc(first, last) || first == last)
        return {};
    std::string bytes;
    if (!ExportTextRange(Data_, bytes, 80, true, first.ItemNo, first.Offset, last.ItemNo, last.Offset))
        return {};
    std::u16string text = Utf16FromBytes(bytes);
    if (!text.empty() && text.front() == u'\xFEFF')
        text.erase(0, 1);
    return text;
}

bool TCustomDocViewEdit::ReplaceFound(std::u16string_view replacement)
{
    if (CellEditor_)
        return CellEditor_->ReplaceFound(replacement);
    // An empty replacement deletes what was found.
    if (replacement.empty()) {
        DeleteSelected();
        return !SelectionExists();
    }
    return ReplaceInItem(replacement) || InsertTextInCurrentStyle(replacement);
}

bool TCustomDocViewEdit::ReplaceInItem(std::u16string_view replacement)
{
    TRVDocPos first, last;
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || !Data_.Formatted() || !SelectionRange(first, last) || first.ItemNo != last.ItemNo)
        return false;
    const int itemNo = first.ItemNo;
    const TCustomRVItemInfo& item = Data_.ItemAt(itemNo);
    if (!item.IsText() || item.StyleNo != CurrentTextStyle() || !ValidTextStyle(item.StyleNo) || ParaReadOnly(itemNo))
        return false;
    for (const TRVProtectOption option : {rvprModifyProtect, rvprSticking, rvprSticking2, rvprSticking3})
        if (StyleHas(itemNo, option))
            return false;
    for (const char16_t c : replacement)
        if (c < 0x20)
            return false;
    std::string bytes;
    if (item.IsUnicode()) {
        bytes = BytesFromUtf16(replacement);
    } else {
        // Only text the item's code page can hold goes in this way.
        const int codePage = CodePageOfCharset(sheet->TextStyles[item.StyleNo].Charset, SystemAnsiCodePage);
        bytes = UnicodeToAnsi(replacement, codePage);
        if (AnsiToUnicode(bytes, codePage) != replacement || bytes.size() != replacement.size())
            return false;
    }
    if (!AskCanEdit())
        return false;
    TRVEditStep step(*this, rvutInsert);
    RecDeleteText(itemNo, first.Offset, last.Offset - first.Offset);
    RecInsertText(itemNo, first.Offset, bytes);
    const TRVDocPos caret{itemNo, first.Offset + int(replacement.size())};
    step.Commit(caret);
    InsertedStart_ = first;
    InsertedEnd_ = caret;
    return true;
}

bool TCustomDocViewEdit::ReplaceSelection(std::u16string_view search, std::u16string_view replacement)
{
    return !search.empty() && SelectedText() == search && ReplaceFound(replacement);
}

int TCustomDocViewEdit::ReplaceAll(std::u16string_view search, std::u16string_view replacement,
                                   TRVSearchOptions options)
{
    // The first replacement opens the run's undo step; the others join it, those in table cells
    // through the cell's step when its editing ends.
    const TRVUndoInfos* before = Data_.UndoList.LastGroup();
    bool grouped = false;
    const auto join = [&] {
        if (!grouped && Data_.UndoList.LastGroup() != before) {
            SetUndoGroupMode(true);
            grouped = true;
        }
    };
    int count = 0;
    try {
        if (ReplaceSelection(search, replacement))
            ++count;
        join();
        // What the search found is replaced, whatever its case.
        while (SearchText(search, options)) {
            join();
            if (ReplaceFound(replacement))
                ++count;
            join();
        }
        if (count > 0 && CellEditor_)
            EndCellEdit();
    } catch (...) {
        if (grouped)
            SetUndoGroupMode(false);
        throw;
    }
    if (grouped)
        SetUndoGroupMode(false);
    return count;
}

} // namespace xq

// The walk over an editor's words: item by item, a table cell by cell in reading order, each word
// the run of characters between two delimiters of the editor.
#include "spelling/WordEnumerator.h"

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/ItemChars.h"
#include "editing/TableInplaceEdit.h"
#include "platform/CodePage.h"
#include "platform/FontTypes.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

/// Resets the running flag however the walk ends.
class TRunningFlag {
public:
    explicit TRunningFlag(bool& flag) : Flag_(flag) { Flag_ = true; }
    ~TRunningFlag() { Flag_ = false; }
    TRunningFlag(const TRunningFlag&) = delete;
    TRunningFlag& operator=(const TRunningFlag&) = delete;

private:
    bool& Flag_;
};

} // namespace

TRVWordEnumerator::TRVWordEnumerator(TCustomDocViewEdit& editor)
    : Editor(editor), Delimiters(DelimitersUtf16(editor.Delimiters))
{
}

bool TRVWordEnumerator::IsDelimiter(char16_t c) const noexcept
{
    return Delimiters.find(c) != std::u16string::npos;
}

TCustomRVData* TRVWordEnumerator::ContainerAt(const std::vector<TRVCellStep>& path) const
{
    TCustomRVData* data = &Editor.RVData();
    for (const TRVCellStep& step : path) {
        if (step.ItemNo < 0 || step.ItemNo >= data->Count())
            return nullptr;
        const auto* table = dynamic_cast<const TRVTableItemInfo*>(&data->ItemAt(step.ItemNo));
        if (!table || step.Row < 0 || step.Row >= table->RowCount() || step.Col < 0 || step.Col >= table->ColCount())
            return nullptr;
        data = table->Cells(step.Row, step.Col);
        if (!data)
            return nullptr;
    }
    return data;
}

bool TRVWordEnumerator::Run(bool fromStart)
{
    if (Running_)
        return false;
    TRunningFlag running(Running_);
    Counter_ = YieldInterval;
    std::vector<TRVCellStep> path;
    if (fromStart)
        return WalkItems(path, 0, -1);

    // The editors from the outermost to the innermost give the cells on the way to the caret.
    std::vector<TCustomDocViewEdit*> chain;
    for (TCustomDocViewEdit* e = &Editor; e; e = e->CellEditor())
        chain.push_back(e);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        const auto* cell = dynamic_cast<const TRVTableInplaceEdit*>(chain[i + 1]);
        if (!cell)
            return WalkItems(path, 0, -1);
        path.push_back({cell->ItemNo(), cell->Row(), cell->Col()});
    }
    TCustomDocViewEdit& inner = *chain.back();
    const TCustomRVData& data = inner.RVData();
    TRVDocPos caret = inner.RVData().CaretValid() ? inner.CaretDocPos() : TRVDocPos{0, 0};
    int offset = -1;
    if (caret.ItemNo >= 0 && caret.ItemNo < data.Count()) {
        if (caret.Offset >= data.OffsetAfter(caret.ItemNo)) {
            // At the end of its item the walk starts with the next one.
            ++caret.ItemNo;
        } else if (data.ItemAt(caret.ItemNo).IsText() && inner.GetRVStyle()) {
            // Back to the start of the word around the caret.
            const TItemChars chars = ItemCharsOf(*inner.GetRVStyle(), data, caret.ItemNo);
            std::size_t unit = chars.UnitAt(caret.Offset);
            while (unit > 0 && !IsDelimiter(chars.Text[unit - 1]))
                --unit;
            offset = chars.OffsetAt(unit);
        }
    } else {
        caret = {0, 0};
    }
    if (!WalkItems(path, caret.ItemNo, offset))
        return false;
    // Out of each edited cell: the table's later cells, then the items after the table.
    while (!path.empty()) {
        const TRVCellStep cell = path.back();
        path.pop_back();
        if (!WalkCells(path, cell.ItemNo, cell.Row, cell.Col) || !WalkItems(path, cell.ItemNo + 1, -1))
            return false;
    }
    return true;
}

bool TRVWordEnumerator::WalkItems(std::vector<TRVCellStep>& path, int itemNo, int offset)
{
    for (int i = std::max(itemNo, 0);; ++i) {
        const TCustomRVData* data = ContainerAt(path);
        if (!data || i >= data->Count())
            return true;
        const TCustomRVItemInfo& item = data->ItemAt(i);
        if (item.IsText()) {
            if (!WalkText(path, i, offset))
                return false;
        } else if (dynamic_cast<const TRVTableItemInfo*>(&item)) {
            if (!WalkCells(path, i, -1, -1))
                return false;
        }
        offset = -1;
    }
}

bool TRVWordEnumerator::WalkCells(std::vector<TRVCellStep>& path, int itemNo, int row, int col)
{
    const TCustomRVData* data = ContainerAt(path);
    if (!data || itemNo < 0 || itemNo >= data->Count())
        return true;
    const auto* table = dynamic_cast<const TRVTableItemInfo*>(&data->ItemAt(itemNo));
    if (!table)
        return true;
    const int rows = table->RowCount(), cols = table->ColCount();
    // The cells in reading order, each at its top-left slot; after the given one when there is one.
    int r = row < 0 ? 0 : row, c = row < 0 ? 0 : col + 1;
    for (; r < rows; ++r, c = 0)
        for (; c < cols; ++c) {
            if (!table->Cells(r, c))
                continue;
            path.push_back({itemNo, r, c});
            const bool goOn = WalkItems(path, 0, -1);
            path.pop_back();
            if (!goOn)
                return false;
            // The cell's words may have been changed; the grid stays as it was.
            if (ContainerAt(path) != data || itemNo >= data->Count() || &data->ItemAt(itemNo) != table)
                return true;
        }
    return true;
}

bool TRVWordEnumerator::WalkText(const std::vector<TRVCellStep>& path, int& itemNo, int offset)
{
    const TRVStyle* sheet = Editor.GetRVStyle();
    if (!sheet)
        return true;
    // The item's text is read again only after a replacement changed it.
    for (;;) {
        const TCustomRVData* data = ContainerAt(path);
        if (!data || itemNo < 0 || itemNo >= data->Count())
            return true;
        const TCustomRVItemInfo& item = data->ItemAt(itemNo);
        if (!item.IsText())
            return true;
        // Text in a symbol font holds no words.
        if (item.StyleNo >= 0 && item.StyleNo < sheet->TextStyles.Count() &&
            sheet->TextStyles[item.StyleNo].Charset == SYMBOL_CHARSET)
            return true;
        const TItemChars chars = ItemCharsOf(*sheet, *data, itemNo);
        const std::size_t length = chars.Text.size();
        std::size_t start = offset < 0 ? 0 : chars.UnitAt(offset);
        for (;;) {
            while (start < length && IsDelimiter(chars.Text[start]))
                ++start;
            if (start >= length)
                return true;
            std::size_t end = start;
            while (end < length && !IsDelimiter(chars.Text[end]))
                ++end;

            CurrentWord = Utf16ToUtf8(std::u16string_view(chars.Text).substr(start, end - start));
            StyleNo = item.StyleNo;
            Changed = false;
            WordPath_ = path;
            WordStart_ = {itemNo, chars.OffsetAt(start)};
            WordEnd_ = {itemNo, chars.OffsetAt(end)};
            if (DecideOnWord() == TDecision::Stop)
                return false;
            CountWord();
            if (Changed && Editor.SelectInCells(WordPath_, WordStart_, WordEnd_) &&
                Editor.ReplaceFound(Utf8ToUtf16(CurrentWord))) {
                // The scan goes on right after the inserted text, in whichever item holds it now.
                const TRVDocPos caret = Editor.InnermostEditor().CaretDocPos();
                itemNo = caret.ItemNo;
                offset = caret.Offset;
                break;
            }
            start = end;
        }
    }
}

void TRVWordEnumerator::CountWord()
{
    if (--Counter_ > 0)
        return;
    Counter_ = YieldInterval;
    if (OnYield)
        OnYield();
}

void TRVWordEnumerator::SelectCurrentWord()
{
    if (Editor.SelectInCells(WordPath_, WordStart_, WordEnd_))
        Editor.ScrollToCaret();
}

} // namespace xq

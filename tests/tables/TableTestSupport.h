// Building tables for tests: tables with named cells, cell text, and a slow covering-cell oracle.
#pragma once

#include <memory>
#include <string>

#include "document/RVData.h"
#include "tables/TableItem.h"

namespace xq::test {

/// A rows x cols table whose cell (r, c) holds one paragraph "rc" (as "12"), in text style 0.
inline std::unique_ptr<TRVTableItemInfo> NamedTable(int rows, int cols, TCustomRVData* owner = nullptr)
{
    auto table = std::make_unique<TRVTableItemInfo>(rows, cols, owner);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            TRVTableCellData& cell = *table->Cells(r, c);
            cell.Clear();
            cell.AppendText(std::to_string(r) + std::to_string(c), 0, 0);
        }
    return table;
}

/// Appends a NamedTable to data as a paragraph of its own (paragraph style 0); the table stays
/// data's, the pointer is for looking at it.
inline TRVTableItemInfo* AppendNamedTable(TCustomRVData& data, int rows, int cols)
{
    auto table = NamedTable(rows, cols, &data);
    table->ParaNo = 0;
    TRVTableItemInfo* added = table.get();
    data.AppendItem("", std::move(table));
    return added;
}

/// The texts of a container's items, paragraphs separated by '|' (8-bit text as stored).
inline std::string ContentText(const TCustomRVData& data)
{
    std::string out;
    for (int i = 0; i < data.Count(); ++i) {
        if (i > 0 && data.StartsParagraph(i))
            out += '|';
        out += data.ItemAt(i).IsText() ? data.TextAt(i) : "<" + std::to_string(data.StyleOf(i)) + ">";
    }
    return out;
}

/// The cell whose rectangle holds slot (row, col), found by looking at every cell.
inline const TRVTableCellData* CoveringCellByArea(const TRVTableItemInfo& table, int row, int col)
{
    const TRVTableCellData* found = nullptr;
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColCount(); ++c)
            if (const TRVTableCellData* cell = table.Rows[r][c])
                if (r <= row && row < r + cell->RowSpan() && c <= col && col < c + cell->ColSpan())
                    found = found ? nullptr : cell; // two coverers: none is the answer
    return found;
}

} // namespace xq::test

// The plain-text form of a table: its cells' texts, row by row.
#include "tables/TableText.h"

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

/// A UTF-8 separator in the output's encoding; 8-bit output takes the sheet's default code page.
std::string EncodeSeparator(const std::string& utf8, std::string_view fallback, bool unicode, int codePage)
{
    const std::u16string text = Utf8ToUtf16(utf8.empty() ? fallback : std::string_view(utf8));
    return unicode ? BytesFromUtf16(text) : UnicodeToAnsi(text, codePage);
}

} // namespace

bool WriteTableText(const TCustomRVData& data, int itemIndex, int lineWidth, bool unicode, std::string& out)
{
    const auto* table = dynamic_cast<const TRVTableItemInfo*>(&data.ItemAt(itemIndex));
    if (!table)
        return true;
    const TRVStyle* sheet = data.GetRVStyle();
    const int codePage = sheet ? sheet->DefCodePage : 0;
    const std::string rowSeparator = EncodeSeparator(table->TextRowSeparator, "\r\n", unicode, codePage);
    const std::string colSeparator = EncodeSeparator(table->TextColSeparator, "\t", unicode, codePage);
    for (int r = 0; r < table->RowCount(); ++r) {
        if (r > 0)
            out += rowSeparator;
        // A merged cell is written once, in the row and at the column where it starts.
        bool first = true;
        for (int c = 0; c < table->ColCount(); ++c) {
            const TRVTableCellData* cell = table->Rows[r][c];
            if (!cell)
                continue;
            if (!first)
                out += colSeparator;
            first = false;
            if (!ExportTextBody(*cell, out, lineWidth, unicode))
                return false;
        }
    }
    return true;
}

void RegisterTableTextForm()
{
    RegisterTextExportForm(rvsTable, WriteTableText);
}

} // namespace xq

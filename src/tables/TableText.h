// The plain-text form of tables, for text export and the clipboard's text formats.
#pragma once

#include <string>

namespace xq {

class TCustomRVData;

/// Appends the text of the table at itemIndex of data: the rows separated by TextRowSeparator
/// (a line end when empty), the cells that start in a row separated by TextColSeparator (a tab
/// when empty), each cell as its content's text. Cells covered by a merged cell give nothing.
bool WriteTableText(const TCustomRVData& data, int itemIndex, int lineWidth, bool unicode, std::string& out);

/// Gives table items this text form.
void RegisterTableTextForm();

} // namespace xq

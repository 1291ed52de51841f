// The JSON dump of tables for xqconvert --dump.
#pragma once

namespace xq {

class TCustomRVItemInfo;
class TDumpWriter;

/// Writes a table's properties and its rows, each with the cells that start in it (their
/// column, spans, look and content), into the item's "data" object.
void DumpTable(const TDumpWriter& writer, const TCustomRVItemInfo& item);

/// Gives table items this dump.
void RegisterTableDumpForm();

} // namespace xq

// Start-up registration of tables: the item kind, its RVF records, its text form and its dump.
#include "document/ItemRegistry.h"
#include "tables/TableDump.h"
#include "tables/TableItem.h"
#include "tables/TableRvf.h"
#include "tables/TableText.h"

namespace xq {

void RegisterTableItemKind()
{
    RegisterItemKind<TRVTableItemInfo>(rvsTable);
    RegisterTableRvfCodec();
    RegisterTableTextForm();
    RegisterTableDumpForm();
}

} // namespace xq

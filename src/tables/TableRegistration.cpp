// Start-up registration of tables: the item kind, its RVF records, its text form, its dump and
// its layout.
#include "document/ItemRegistry.h"
#include "layout/ItemLayout.h"
#include "tables/TableDump.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"
#include "tables/TableRtf.h"
#include "tables/TableRtfImport.h"
#include "tables/TableRvf.h"
#include "tables/TableText.h"

namespace xq {

void RegisterTableItemKind()
{
    RegisterItemKind<TRVTableItemInfo>(rvsTable);
    RegisterTableRvfCodec();
    RegisterTableTextForm();
    RegisterTableDumpForm();
    RegisterTableRtf();
    RegisterTableRtfImport();
    RegisterItemLayout(rvsTable, std::make_unique<TRVTableLayout>());
}

} // namespace xq

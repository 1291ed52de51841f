#include "TestEnvironment.h"

#include "lists/ListItems.h"
#include "tables/TableItem.h"

namespace xq::test {

void EngineEnvironment::SetUp()
{
    RegisterListItemKinds();
    RegisterTableItemKind();
}

} // namespace xq::test

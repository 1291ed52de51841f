#include "TestEnvironment.h"

#include "lists/ListItems.h"

namespace xq::test {

void EngineEnvironment::SetUp()
{
    RegisterListItemKinds();
}

} // namespace xq::test

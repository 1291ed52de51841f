#include "TestEnvironment.h"

namespace xq::test {

void EngineEnvironment::SetUp()
{
}

} // namespace xq::test

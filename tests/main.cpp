// Entry point of the engine's unit tests.
#include <gtest/gtest.h>

#include "TestEnvironment.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new xq::test::EngineEnvironment);
    return RUN_ALL_TESTS();
}

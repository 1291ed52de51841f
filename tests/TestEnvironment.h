// Start-up work that the program does before any document exists, done once for the tests.
#pragma once

#include <gtest/gtest.h>

namespace xq::test {

class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
};

} // namespace xq::test

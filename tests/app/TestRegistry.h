// The test classes of the application's test program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>

namespace xq::test {

struct TRegisteredTest {
    std::string Name;
    std::function<std::unique_ptr<QObject>()> Create;
};

std::vector<TRegisteredTest>& TestRegistry();

} // namespace xq::test

// Whether the real ispell with the German dictionary is there for the tests that need it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

namespace xq::test {

/// The command line of the bundled German speller.
inline constexpr std::string_view GermanIspellCmd = "ispell -a -C -d ngerman -Tlatin1";

/// The reason ispell with the German dictionary cannot be used here, empty when it can.
inline std::string IspellMissing()
{
    namespace fs = std::filesystem;
    bool onPath = false;
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty() && !onPath) {
        const std::size_t colon = rest.find(':');
        const fs::path candidate = fs::path(std::string(rest.substr(0, colon))) / "ispell";
        onPath = ::access(candidate.c_str(), X_OK) == 0;
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    if (!onPath)
        return "ispell is not installed (Debian package ispell)";
    std::error_code ec;
    if (!fs::exists("/usr/lib/ispell/ngerman.hash", ec))
        return "the German ispell dictionary is not installed (Debian package ingerman)";
    return {};
}

} // namespace xq::test

/// Skips a gtest when ispell cannot be used, saying why.
#define REQUIRE_ISPELL()                                         \
    do {                                                         \
        const std::string missing = ::xq::test::IspellMissing(); \
        if (!missing.empty())                                    \
            GTEST_SKIP() << missing;                             \
    } while (false)

// Running the project's programs from tests: exit status, signal and both output streams.
#pragma once

#include <string>
#include <vector>

namespace xq::test {

struct TProgramResult {
    /// The exit status, or -1 when the program did not exit normally.
    int ExitCode = -1;
    /// The signal that ended the program (a crash), or 0.
    int Signal = 0;
    std::string Out;
    std::string Err;
};

/// Runs program with args, no standard input, and waits for it (killed after timeoutSeconds).
[[nodiscard]] TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                        int timeoutSeconds = 60);

/// The programs under test, as the build placed them.
[[nodiscard]] std::string XqconvertPath();
[[nodiscard]] std::string XqsamplePath();
/// The source tree, for committed data.
[[nodiscard]] std::string SourceDir();

} // namespace xq::test

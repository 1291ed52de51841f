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
    /// Wall-clock time from the start to the end of the program.
    double Seconds = 0;
    /// The largest resident set the program reached, in kilobytes.
    long PeakKilobytes = 0;
};

/// Runs program with args, no standard input, and waits for it (killed after timeoutSeconds).
/// environment entries ("NAME=value") are added to this process's environment for the program.
[[nodiscard]] TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                        int timeoutSeconds = 60, const std::vector<std::string>& environment = {});

/// The programs under test, as the build placed them.
[[nodiscard]] std::string XqconvertPath();
[[nodiscard]] std::string XqsamplePath();
[[nodiscard]] std::string XqeditorPath();
/// The source tree, for committed data.
[[nodiscard]] std::string SourceDir();

} // namespace xq::test

// A child program driven through its standard input and output: started from an argument list
// (never through a shell), read line by line with a time limit, ended and reaped on every path.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace xq {

/// Splits a command line into arguments: blanks (space, tab) separate them, a part in double quotes
/// keeps its blanks (the quotes themselves are dropped). Nothing else is special: ";", "|", "$" and
/// the like are ordinary characters of an argument, since the line is never given to a shell.
[[nodiscard]] std::vector<std::string> SplitCommandLine(std::string_view commandLine);

/// The outcome of reading from the child.
enum class TReadResult {
    rrLine,     ///< a line was read
    rrTimeout,  ///< nothing complete arrived within the time limit
    rrClosed,   ///< the child closed its output (it ended or is ending)
    rrTooLong,  ///< the line grew past the limit; the child is no longer in step
};

/// One child process with a pipe to its standard input and one from its standard output. Its error
/// output goes to /dev/null, so that it can never block on a full pipe nobody reads.
///
/// - Writing never raises SIGPIPE in this process: the input is a socket written with MSG_NOSIGNAL.
/// - Every other file descriptor of this process is closed in the child.
/// - The destructor ends the child as Stop does; no child outlives its object.
/// invariant: Pid_ > 0 exactly while a started child has not been reaped.
class TChildProcess {
public:
    TChildProcess() = default;
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    /// Starts arguments[0] (looked up on PATH when it has no "/") with the other arguments, in the
    /// working directory, with this process's environment in which the given variables are replaced or
    /// added. Fails, with the reason in error, when the list is empty or the program cannot be started.
    [[nodiscard]] bool Start(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                             const std::vector<std::pair<std::string, std::string>>& environment,
                             std::string* error = nullptr);

    /// Writes all bytes; false when the child is gone or does not take them within the time limit.
    [[nodiscard]] bool Write(std::string_view bytes, std::chrono::milliseconds timeout);

    /// Reads the next line (without its LF and a CR before it) into line. Lines longer than maxLength
    /// bytes give rrTooLong; waiting longer than timeout for the line's end gives rrTimeout.
    [[nodiscard]] TReadResult ReadLine(std::string& line, std::chrono::milliseconds timeout,
                                       std::size_t maxLength);

    /// Closes the child's input (its end of file), waits up to grace for it to end, then terminates
    /// it (SIGTERM, then SIGKILL after 200 ms) and reaps it. Nothing happens when no child runs.
    void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000)) noexcept;

    /// A child was started and has not been reaped; a child that ended is reaped here.
    [[nodiscard]] bool Running() noexcept;
    [[nodiscard]] pid_t Pid() const noexcept { return Pid_; }

private:
    void CloseFds() noexcept;

    pid_t Pid_ = -1;
    int InputFd_ = -1;   // our end of the child's standard input
    int OutputFd_ = -1;  // our end of the child's standard output
    std::string Pending_; // bytes read past the last line handed out
};

} // namespace xq

// The child process on POSIX: posix_spawnp with file actions, a socket for its input (written without
// SIGPIPE), a pipe for its output, poll for every wait.
#include "platform/ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace xq {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) noexcept
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : (left > 60000 ? 60000 : static_cast<int>(left));
}

void CloseFd(int& fd) noexcept
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

/// Frees the spawn attributes on every path out of Start.
struct TSpawnActions {
    posix_spawn_file_actions_t Actions;
    bool Ready = false;
    TSpawnActions() { Ready = posix_spawn_file_actions_init(&Actions) == 0; }
    ~TSpawnActions()
    {
        if (Ready)
            posix_spawn_file_actions_destroy(&Actions);
    }
};

struct TSpawnAttributes {
    posix_spawnattr_t Attributes;
    bool Ready = false;
    TSpawnAttributes() { Ready = posix_spawnattr_init(&Attributes) == 0; }
    ~TSpawnAttributes()
    {
        if (Ready)
            posix_spawnattr_destroy(&Attributes);
    }
};

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument)
                arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

TChildProcess::~TChildProcess()
{
    Stop();
}

void TChildProcess::CloseFds() noexcept
{
    CloseFd(InputFd_);
    CloseFd(OutputFd_);
    Pending_.clear();
}

bool TChildProcess::Start(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                          const std::vector<std::pair<std::string, std::string>>& environment, std::string* error)
{
    Stop();
    auto fail = [&](const std::string& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (arguments.empty() || arguments[0].empty())
        return fail("empty command line");

    int input[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0)
        return fail(std::string("socketpair: ") + std::strerror(errno));
    int output[2] = {-1, -1};
    if (::pipe2(output, O_CLOEXEC) != 0) {
        const int saved = errno;
        ::close(input[0]);
        ::close(input[1]);
        return fail(std::string("pipe: ") + std::strerror(saved));
    }
    // The child reads input[1] and writes output[1]; we keep input[0] and output[0].
    ::shutdown(input[1], SHUT_WR);

    std::vector<std::string> environmentStrings;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view text(*entry);
        bool replaced = false;
        for (const auto& [name, value] : environment)
            if (text.size() > name.size() && text.substr(0, name.size()) == name && text[name.size()] == '=')
                replaced = true;
        if (!replaced)
            environmentStrings.emplace_back(text);
    }
    for (const auto& [name, value] : environment)
        environmentStrings.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& s : environmentStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStrings = arguments;
    std::vector<char*> argv;
    for (std::string& s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    TSpawnActions actions;
    TSpawnAttributes attributes;
    bool ready = actions.Ready && attributes.Ready;
    if (ready) {
        ready = posix_spawn_file_actions_adddup2(&actions.Actions, input[1], STDIN_FILENO) == 0 &&
                posix_spawn_file_actions_adddup2(&actions.Actions, output[1], STDOUT_FILENO) == 0 &&
                posix_spawn_file_actions_addopen(&actions.Actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
                posix_spawn_file_actions_addclosefrom_np(&actions.Actions, STDERR_FILENO + 1) == 0;
        if (ready && !workDir.empty())
            ready = posix_spawn_file_actions_addchdir_np(&actions.Actions, workDir.c_str()) == 0;
        // The child starts with default signal handling and no blocked signals, whatever this process set.
        sigset_t defaults;
        sigset_t none;
        sigemptyset(&none);
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGTERM);
        sigaddset(&defaults, SIGINT);
        if (ready)
            ready = posix_spawnattr_setsigdefault(&attributes.Attributes, &defaults) == 0 &&
                    posix_spawnattr_setsigmask(&attributes.Attributes, &none) == 0 &&
                    posix_spawnattr_setflags(&attributes.Attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK) == 0;
    }
    pid_t pid = -1;
    const int rc = ready ? posix_spawnp(&pid, argv[0], &actions.Actions, &attributes.Attributes, argv.data(), envp.data())
                         : EINVAL;
    ::close(input[1]);
    ::close(output[1]);
    if (rc != 0) {
        ::close(input[0]);
        ::close(output[0]);
        return fail(arguments[0] + ": " + std::strerror(rc));
    }
    Pid_ = pid;
    InputFd_ = input[0];
    OutputFd_ = output[0];
    return true;
}

bool TChildProcess::Write(std::string_view bytes, std::chrono::milliseconds timeout)
{
    if (InputFd_ < 0)
        return false;
    const auto deadline = Clock::now() + timeout;
    while (!bytes.empty()) {
        pollfd p{InputFd_, POLLOUT, 0};
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
        const ssize_t n = ::send(InputFd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

TReadResult TChildProcess::ReadLine(std::string& line, std::chrono::milliseconds timeout, std::size_t maxLength)
{
    line.clear();
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const std::size_t end = Pending_.find('\n');
        if (end != std::string::npos) {
            if (end > maxLength + 1)
                return TReadResult::rrTooLong;
            line.assign(Pending_, 0, end);
            Pending_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return TReadResult::rrLine;
        }
        if (Pending_.size() > maxLength + 1)
            return TReadResult::rrTooLong;
        if (OutputFd_ < 0)
            return TReadResult::rrClosed;
        pollfd p{OutputFd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return TReadResult::rrClosed;
        if (ready == 0)
            return TReadResult::rrTimeout;
        char buffer[4096];
        const ssize_t n = ::read(OutputFd_, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return TReadResult::rrClosed;
        Pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void TChildProcess::Stop(std::chrono::milliseconds grace) noexcept
{
    CloseFd(InputFd_);
    if (Pid_ > 0) {
        const auto deadline = Clock::now() + grace;
        bool reaped = false;
        for (;;) {
            int status = 0;
            const pid_t r = ::waitpid(Pid_, &status, WNOHANG);
            if (r == Pid_ || (r < 0 && errno != EINTR)) {
                reaped = true;
                break;
            }
            if (Clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (!reaped) {
            // Asked to end first; one that does not within a moment is killed.
            ::kill(Pid_, SIGTERM);
            const auto termDeadline = Clock::now() + std::chrono::milliseconds(200);
            while (!reaped && Clock::now() < termDeadline) {
                int status = 0;
                const pid_t r = ::waitpid(Pid_, &status, WNOHANG);
                reaped = r == Pid_ || (r < 0 && errno != EINTR);
                if (!reaped)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        if (!reaped) {
            ::kill(Pid_, SIGKILL);
            int status = 0;
            while (::waitpid(Pid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        Pid_ = -1;
    }
    CloseFds();
}

bool TChildProcess::Running() noexcept
{
    if (Pid_ <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(Pid_, &status, WNOHANG);
    if (r == 0)
        return true;
    if (r < 0 && errno == EINTR)
        return true;
    Pid_ = -1;
    CloseFds();
    return false;
}

} // namespace xq

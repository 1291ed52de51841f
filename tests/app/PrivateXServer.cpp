#include "PrivateXServer.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace xq::test {

namespace {

pid_t ServerPid = -1;

bool OnPath(std::string_view program)
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        const std::filesystem::path candidate = std::filesystem::path(dir.empty() ? "." : dir) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

} // namespace

std::string& PrivateXSkipReason()
{
    static std::string reason = "the X clipboard tests run only as their own test class (xqapptests TXClipboardTest)";
    return reason;
}

bool StartPrivateXServer(std::string& reason)
{
    if (!OnPath("Xvfb")) {
        reason = "Xvfb is not installed (Debian package xvfb)";
        return false;
    }
    if (!OnPath("xclip")) {
        reason = "xclip is not installed (Debian package xclip)";
        return false;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        reason = "no pipe for Xvfb";
        return false;
    }
    // Xvfb chooses a free display itself and writes its number to the pipe once it accepts
    // connections.
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        reason = "Xvfb could not be started";
        return false;
    }
    std::string display;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (display.empty() || display.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0)
            break;
        char buf[32];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        display.append(buf, std::size_t(n));
    }
    ::close(fds[0]);
    if (display.empty() || display.back() != '\n') {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        reason = "Xvfb did not come up";
        return false;
    }
    display.pop_back();
    ServerPid = pid;
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    reason.clear();
    return true;
}

void StopPrivateXServer()
{
    if (ServerPid <= 0)
        return;
    ::kill(ServerPid, SIGTERM);
    ::waitpid(ServerPid, nullptr, 0);
    ServerPid = -1;
}

} // namespace xq::test

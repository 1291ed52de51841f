// Starting a program with posix_spawn, its output in temporary files, with a time limit.
#include "support/RunProgram.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace xq::test {

namespace {

std::string ReadAndRemove(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    return text.str();
}

std::string TempFile()
{
    std::string name = "/tmp/xqtest-output-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd >= 0)
        ::close(fd);
    return name;
}

} // namespace

TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutSeconds,
                          const std::vector<std::string>& environment)
{
    TProgramResult result;
    const std::string outPath = TempFile();
    const std::string errPath = TempFile();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_TRUNC, 0);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    for (const std::string& entry : environment)
        env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);

    pid_t pid = 0;
    const auto started = std::chrono::steady_clock::now();
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.Err = "cannot start " + program;
        ReadAndRemove(outPath);
        ReadAndRemove(errPath);
        return result;
    }

    int status = 0;
    struct rusage usage {};
    const auto deadline = started + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.PeakKilobytes = usage.ru_maxrss;
    if (WIFEXITED(status))
        result.ExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.Signal = WTERMSIG(status);
    result.Out = ReadAndRemove(outPath);
    result.Err = ReadAndRemove(errPath);
    return result;
}

std::string XqconvertPath()
{
    return XQCONVERT_PATH;
}

std::string XqsamplePath()
{
    return XQSAMPLE_PATH;
}

std::string XqeditorPath()
{
    return XQEDITOR_PATH;
}

std::string SourceDir()
{
    return XQ_SOURCE_DIR;
}

} // namespace xq::test

// The command line, the working directory and the start modes.
#include "session/StartUp.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <utility>

namespace xq {

namespace fs = std::filesystem;

TCommandLine ReadCommandLine(const std::vector<std::string>& arguments)
{
    TCommandLine result;
    if (!arguments.empty())
        result.StartDocument = arguments[0];
    if (arguments.size() >= 2)
        result.StartMode = StartModeOf(arguments[1]);
    if (arguments.size() >= 3 && HasSpellerProgram(arguments[2])) {
        result.SpellingInWorkDir = true;
        result.SpellingDir = arguments[2];
    }
    return result;
}

TRunState StartRunState(const TCommandLine& commandLine, const fs::path& exeDir, std::string computerName)
{
    TRunState run;
    run.ComputerName = std::move(computerName);
    run.StartDocument = commandLine.StartDocument;
    run.StartMode = commandLine.StartMode;
    run.SpellingInWorkDir = commandLine.SpellingInWorkDir;
    run.ExeDir = exeDir;
    run.WorkDir = WorkDirOf(commandLine, exeDir);
    run.DocPath = run.WorkDir;
    return run;
}

std::int32_t StartModeOf(std::string_view text) noexcept
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return 0;
    return value;
}

fs::path SpellerProgramIn(const std::string& directory)
{
    // Joined as it stands: a host passes the directory without a trailing delimiter.
    return fs::path(directory + "/ispell");
}

bool HasSpellerProgram(const std::string& directory)
{
    if (directory.empty())
        return false;
    const fs::path program = SpellerProgramIn(directory);
    std::error_code error;
    return fs::is_regular_file(program, error) && ::access(program.c_str(), X_OK) == 0;
}

bool HasSpellerProgramOnPath(std::string_view pathList)
{
    while (!pathList.empty()) {
        const std::size_t colon = pathList.find(':');
        const std::string_view dir = pathList.substr(0, colon);
        if (!dir.empty() && HasSpellerProgram(std::string(dir)))
            return true;
        if (colon == std::string_view::npos)
            break;
        pathList.remove_prefix(colon + 1);
    }
    return false;
}

bool SpellerProgramAvailable(const fs::path& workDir)
{
    const char* path = std::getenv("PATH");
    return HasSpellerProgram(workDir.string()) || HasSpellerProgramOnPath(path ? path : "");
}

fs::path WorkDirOf(const TCommandLine& commandLine, const fs::path& exeDir)
{
    if (!commandLine.SpellingInWorkDir)
        return exeDir;
    std::error_code error;
    fs::path dir = fs::absolute(commandLine.SpellingDir, error);
    if (error)
        return exeDir;
    dir = dir.lexically_normal();
    // No trailing delimiter, as ExeDir has none.
    if (!dir.has_filename() && dir.has_parent_path() && dir != dir.root_path())
        dir = dir.parent_path();
    return dir;
}

std::string LowerExtension(std::string_view path)
{
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

bool IsHostDocumentPath(std::string_view path)
{
    static constexpr std::array<std::string_view, 5> HostExtensions = {".rvf", ".dvl", ".abr", ".xtb", ".dpa"};
    const std::string extension = LowerExtension(path);
    for (std::string_view e : HostExtensions)
        if (extension == e)
            return true;
    return false;
}

std::optional<std::string_view> StartModeCaption(std::int32_t startMode) noexcept
{
    switch (startMode) {
    case StartModeEditEntry:
    case StartModeEditEntryToo: return CaptionEditEntry;
    case StartModeInsertEntry: return CaptionInsertEntry;
    case StartModeNewEntry: return CaptionNewEntry;
    default: return std::nullopt;
    }
}

} // namespace xq

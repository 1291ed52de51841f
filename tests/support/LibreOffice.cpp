#include "support/LibreOffice.h"

#include <cstdlib>
#include <sstream>
#include <string_view>

#include "support/RunProgram.h"

namespace xq::test {

std::string LibreOfficePath()
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::filesystem::path candidate = std::filesystem::path(dir) / "soffice";
        std::error_code ec;
        if (!dir.empty() && std::filesystem::is_regular_file(candidate, ec))
            return candidate.string();
    }
    return {};
}

bool ConvertWithLibreOffice(const std::vector<std::filesystem::path>& inputs, const std::string& format,
                            const std::string& extension, const std::filesystem::path& outDir, std::string& error)
{
    const std::string soffice = LibreOfficePath();
    if (soffice.empty()) {
        error = "soffice is not installed";
        return false;
    }
    // A profile of its own, so that a desktop session's LibreOffice neither blocks nor answers.
    std::vector<std::string> args{"-env:UserInstallation=file://" + (outDir / "lo-profile").string(), "--headless",
                                  "--norestore", "--convert-to", format, "--outdir", outDir.string()};
    for (const auto& input : inputs)
        args.push_back(input.string());
    const TProgramResult run = RunProgram(soffice, args, 240);
    if (run.ExitCode != 0) {
        error = "soffice exited with " + std::to_string(run.ExitCode) + ": " + run.Err;
        return false;
    }
    for (const auto& input : inputs) {
        std::filesystem::path out = outDir / input.filename();
        out.replace_extension(extension);
        if (!std::filesystem::exists(out)) {
            error = "soffice wrote no " + out.string() + "\n" + run.Out + run.Err;
            return false;
        }
    }
    return true;
}

std::vector<std::string> WordsOf(const std::string& text)
{
    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);
    std::vector<std::string> words;
    std::string word;
    const auto flush = [&] {
        if (!word.empty())
            words.push_back(std::move(word));
        word.clear();
    };
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto c = static_cast<unsigned char>(rest[i]);
        // ASCII white space, no-break space (C2 A0) and the tab LibreOffice writes for tabs.
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            flush();
        } else if (c == 0xC2 && i + 1 < rest.size() && static_cast<unsigned char>(rest[i + 1]) == 0xA0) {
            flush();
            ++i;
        } else {
            word += static_cast<char>(c);
        }
    }
    flush();
    return words;
}

} // namespace xq::test

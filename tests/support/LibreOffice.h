// LibreOffice as the judge of what other programs read from our files: its converter, run
// headless with a profile of its own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace xq::test {

/// The soffice program on PATH, empty when LibreOffice is not installed.
[[nodiscard]] std::string LibreOfficePath();

/// Converts every input with one run of LibreOffice into outDir (format as soffice's
/// --convert-to takes it, e.g. "txt:Text (encoded):UTF8" or "odt"). False, with the reason in
/// error, when LibreOffice could not run or left an output missing.
bool ConvertWithLibreOffice(const std::vector<std::filesystem::path>& inputs, const std::string& format,
                            const std::string& extension, const std::filesystem::path& outDir, std::string& error);

/// The words of a text: runs of characters between white space (UTF-8; a byte order mark dropped).
[[nodiscard]] std::vector<std::string> WordsOf(const std::string& text);

} // namespace xq::test

// Reading whole files with a size limit; the boundary to the file system for the document formats.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace xq {

/// Replaces bytes with the content of the regular file at path, reading at most maxBytes.
/// Fails (bytes empty, error set when given) when the file cannot be opened or read, when it is
/// not a regular file (a pipe or a device could block or never end), or when it is larger than
/// maxBytes. Error messages have the form "<path>: <reason>".
[[nodiscard]] bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes,
                                 std::string* error = nullptr);

} // namespace xq

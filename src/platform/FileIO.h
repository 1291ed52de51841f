// Reading whole files with a size limit and replacing files atomically: the document formats' file access.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace xq {

/// Replaces bytes with the content of the regular file at path, reading at most maxBytes.
/// Fails (bytes empty, error set when given) when the file cannot be opened or read, when it is
/// not a regular file (a pipe or a device could block or never end), or when it is larger than
/// maxBytes. Error messages have the form "<path>: <reason>".
[[nodiscard]] bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes,
                                 std::string* error = nullptr);

/// The regular file at path may not be replaced: it has no write permission for anyone (the user
/// made it read-only), or this process may not write it.
[[nodiscard]] bool IsWriteProtected(const std::filesystem::path& path) noexcept;

/// Replaces the file at path by bytes: the content is written into an unnamed file in the same
/// directory (a named temporary ".NAME.PID.N.tmp" where the file system has no unnamed files),
/// flushed to disk, named and renamed over the target (a symbolic link is followed to its file,
/// whose permissions the new file takes). A write-protected target is refused (EACCES). Each save
/// first removes the temporary files that killed saves of the same file left behind. On failure
/// the temporary is removed, the old file stays as it was and errno tells why.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) noexcept;

} // namespace xq

// The read-only registry values of the host programs, kept on Linux in INI files with one section per
// key path ("Software\Quarnel\Pallwick").
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

/// A string value of a registry key: the first of the files (one INI section per key path) that has
/// it. The files are only read.
[[nodiscard]] std::optional<std::string> ReadRegistryString(const std::vector<std::filesystem::path>& files,
                                                            std::string_view keyPath, std::string_view name);

} // namespace xq

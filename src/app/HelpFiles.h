// Which help file "Hilfe zum Editor..." opens, and the read-only registry values it consults.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace xq {

/// A help file and the topic to open in it (0: its default topic).
struct THelpTopic {
    std::filesystem::path File;
    int Context = 0;
    bool operator==(const THelpTopic&) const = default;
};

inline constexpr std::string_view InstallKeyPath = "Software\\Quarnel\\Kelmor";
inline constexpr std::string_view InstallValueName = "PathInst";

/// The installation directory of the host programs: "PathInst" of the machine's registry, else of
/// the user's, without a trailing delimiter; workDir when neither has it.
[[nodiscard]] std::filesystem::path InstallDirectory(const std::vector<std::filesystem::path>& registryFiles,
                                                     const std::filesystem::path& workDir);

/// The help of the editor: "Hollin.chm" in workDir at topic 56; else, when "Sorrel.chm" is in workDir,
/// "Sorrel.chm" in the installation directory at topic 61 for a ".abr" host document and 56 otherwise;
/// else "XQEditor.chm" in exeDir at its default topic.
[[nodiscard]] THelpTopic FindHelpTopic(const std::filesystem::path& workDir, const std::filesystem::path& exeDir,
                                       bool abrHostDocument,
                                       const std::vector<std::filesystem::path>& registryFiles);

} // namespace xq

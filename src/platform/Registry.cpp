// Registry values read from their INI stand-ins.
#include "platform/Registry.h"

#include "platform/IniFile.h"

namespace xq {

std::optional<std::string> ReadRegistryString(const std::vector<std::filesystem::path>& files,
                                              std::string_view keyPath, std::string_view name)
{
    for (const std::filesystem::path& file : files) {
        TIniFile ini(file);
        if (ini.ValueExists(keyPath, name))
            return ini.ReadString(keyPath, name);
    }
    return std::nullopt;
}

} // namespace xq

// The help lookup: three help files in a fixed order, one of them in the hosts' installation directory.
#include "app/HelpFiles.h"

#include <system_error>

#include "platform/IniFile.h"

namespace xq {

namespace fs = std::filesystem;

fs::path InstallDirectory(const std::vector<fs::path>& registryFiles, const fs::path& workDir)
{
    std::optional<std::string> dir = ReadRegistryString(registryFiles, InstallKeyPath, InstallValueName);
    if (!dir)
        return workDir;
    while (dir->size() > 1 && (dir->back() == '/' || dir->back() == '\\'))
        dir->pop_back();
    return fs::path(*dir);
}

THelpTopic FindHelpTopic(const fs::path& workDir, const fs::path& exeDir, bool abrHostDocument,
                         const std::vector<fs::path>& registryFiles)
{
    std::error_code error;
    if (fs::exists(workDir / "Hollin.chm", error))
        return {workDir / "Hollin.chm", 56};
    if (fs::exists(workDir / "Sorrel.chm", error))
        return {InstallDirectory(registryFiles, workDir) / "Sorrel.chm", abrHostDocument ? 61 : 56};
    return {exeDir / "XQEditor.chm", 0};
}

} // namespace xq

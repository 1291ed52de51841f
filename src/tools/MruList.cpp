// The recent-file list: reading and writing "mru.ini", keeping the order, and what the menu shows.
#include "tools/MruList.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace xq {

namespace fs = std::filesystem;

namespace {

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fs::path(path), ec);
}

std::string FileNamePart(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace

TMruList::TMruList(TMruOptions options, int maxShowCount, int maxCount)
    : Options_(options), MaxShowCount_(std::max(0, maxShowCount)), MaxCount_(std::max(1, maxCount))
{
}

TMruList::~TMruList()
{
    if ((Options_ & mrAutoSave) && Modified_ && !FileName_.empty()) {
        try {
            (void)Save();
        } catch (...) {
            // Out of memory while closing: the list is simply not written.
        }
    }
}

void TMruList::SetFileName(std::filesystem::path fileName)
{
    if ((Options_ & mrAutoSave) && Modified_ && !FileName_.empty())
        (void)Save();
    FileName_ = std::move(fileName);
    Items_.clear();
    Modified_ = false;
    if (Options_ & mrAutoLoad)
        (void)Load();
    else
        Changed();
}

bool TMruList::Load(std::string* error)
{
    Items_.clear();
    Modified_ = false;
    TIniFile ini(FileName_);
    if (ini.LoadFailed()) {
        if (error)
            *error = ini.LoadError();
        Changed();
        return false;
    }
    const int count = std::min(ini.ReadInteger(MruSectionName, MruCountKey, 0), MaxCount_);
    for (int i = 1; i <= count; ++i) {
        std::string path = ini.ReadString(MruSectionName, std::to_string(i));
        if (path.empty() || std::find(Items_.begin(), Items_.end(), path) != Items_.end())
            continue;
        if ((Options_ & mrCheckFileExist) && !FileExists(path)) {
            // Dropped for good: the file written back no longer names it.
            Modified_ = true;
            continue;
        }
        Items_.push_back(std::move(path));
    }
    Changed();
    return true;
}

bool TMruList::Save(std::string* error)
{
    if (FileName_.empty()) {
        if (error)
            *error = "no file name";
        return false;
    }
    TIniFile ini(FileName_);
    ini.EraseSection(MruSectionName);
    bool written = ini.WriteInteger(MruSectionName, MruCountKey, int(Items_.size()));
    for (std::size_t i = 0; i < Items_.size(); ++i)
        written = ini.WriteString(MruSectionName, std::to_string(i + 1), Items_[i]) && written;
    if (!written) {
        if (error)
            *error = "a path holds a line break";
        return false;
    }
    if (!ini.UpdateFile(error))
        return false;
    Modified_ = false;
    return true;
}

void TMruList::Add(std::string path)
{
    if (path.empty())
        return;
    const auto found = std::find(Items_.begin(), Items_.end(), path);
    if (found != Items_.end() && found == Items_.begin())
        return; // already on top
    if (found != Items_.end())
        Items_.erase(found);
    Items_.insert(Items_.begin(), std::move(path));
    if (Items_.size() > std::size_t(MaxCount_))
        Items_.resize(std::size_t(MaxCount_));
    Modified_ = true;
    Changed();
}

bool TMruList::Remove(std::string_view path)
{
    const auto found = std::find(Items_.begin(), Items_.end(), path);
    if (found == Items_.end())
        return false;
    Items_.erase(found);
    Modified_ = true;
    Changed();
    return true;
}

void TMruList::Clear()
{
    if (Items_.empty())
        return;
    Items_.clear();
    Modified_ = true;
    Changed();
}

void TMruList::Refresh()
{
    if (Options_ & mrCheckFileExist) {
        const auto gone = std::remove_if(Items_.begin(), Items_.end(), [](const std::string& p) { return !FileExists(p); });
        if (gone != Items_.end()) {
            Items_.erase(gone, Items_.end());
            Modified_ = true;
        }
    }
    Changed();
}

std::vector<TMruMenuItem> TMruList::MenuItems() const
{
    std::vector<TMruMenuItem> items;
    for (std::size_t i = 0; i < Items_.size() && items.size() < std::size_t(MaxShowCount_); ++i) {
        const std::string& path = Items_[i];
        if ((Options_ & mrCheckFileExist) && !FileExists(path))
            continue;
        items.push_back({(Options_ & mrShortFileNames) ? FileNamePart(path) : path, path, int(i)});
    }
    return items;
}

TMruAnchorState TMruList::AnchorState() const
{
    if (!MenuItems().empty())
        return {true, true};
    return {!(Options_ & mrDisableAnchorIfEmpty), !(Options_ & mrHideAnchorIfEmpty)};
}

void TMruList::Changed()
{
    if (OnChange)
        OnChange(*this);
}

TMruPathParts SplitMruPath(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos)
        return {std::string(), std::string(path)};
    std::string_view dir = path.substr(0, slash);
    while (dir.size() > 1 && dir.back() == '/')
        dir.remove_suffix(1);
    std::string dirText(dir);
    if (dirText != "/")
        dirText += '/';
    return {std::move(dirText), std::string(path.substr(slash + 1))};
}

} // namespace xq

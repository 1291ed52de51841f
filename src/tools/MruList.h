// The recent-file list behind the menu item "Wieder öffnen": the paths kept in "mru.ini", the menu
// items they give and the state of the anchor item. The menu itself is built by the window from this
// data whenever OnChange fires.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

inline constexpr std::string_view MruFileName = "mru.ini";
inline constexpr std::string_view MruSectionName = "RecentFiles";
inline constexpr std::string_view MruCountKey = "Count";
inline constexpr std::string_view MruAnchorCaption = "Wieder öffnen";

enum TMruOption : std::uint32_t {
    mrShortFileNames = 1u << 0,       ///< captions show the file name only, not the directory
    mrCheckFileExist = 1u << 1,       ///< entries whose file does not exist are dropped and not shown
    mrAutoSave = 1u << 2,             ///< the list is written back when it is destroyed
    mrAutoLoad = 1u << 3,             ///< the list is read as soon as its file is set
    mrDisableAnchorIfEmpty = 1u << 4, ///< the anchor item is disabled while no entry can be shown
    mrHideAnchorIfEmpty = 1u << 5,    ///< the anchor item is hidden while no entry can be shown
};
using TMruOptions = std::uint32_t;

/// Where the shown entries go.
enum TMruPosition {
    mpNewMenu,     ///< a submenu of the anchor item
    mpAfterAnchor, ///< items of the anchor's own menu, following the anchor
};

/// One menu item to show.
struct TMruMenuItem {
    std::string Caption; ///< UTF-8, no accelerator marks added: a menu toolkit must escape "&" itself
    std::string Path;    ///< the full path the item opens
    int Tag = 0;         ///< the entry's index in Items()
    bool operator==(const TMruMenuItem&) const = default;
};

/// What the anchor item ("Wieder öffnen") should look like.
struct TMruAnchorState {
    bool Enabled = true;
    bool Visible = true;
    bool operator==(const TMruAnchorState&) const = default;
};

/// The recent-file list. The file holds section "RecentFiles" with key "Count" and keys "1", "2", ...
/// in list order (top first). Saving erases that section and writes "Count" and the entries, leaving
/// the file's other sections as they are.
///
/// invariant: Items() holds no path twice and at most MaxCount() paths.
class TMruList {
public:
    /// The options of the main window's list.
    static constexpr TMruOptions SessionOptions = mrShortFileNames | mrCheckFileExist | mrAutoSave | mrAutoLoad |
                                                  mrDisableAnchorIfEmpty | mrHideAnchorIfEmpty;
    static constexpr int DefaultMaxShowCount = 10;
    /// Paths kept at most; it also bounds what is read from a damaged "Count".
    static constexpr int DefaultMaxCount = 100;

    explicit TMruList(TMruOptions options = SessionOptions, int maxShowCount = DefaultMaxShowCount,
                      int maxCount = DefaultMaxCount);
    /// With mrAutoSave, writes the list back when it changed since it was loaded or saved (failures are
    /// silent here; call Save first to see them).
    ~TMruList();
    TMruList(const TMruList&) = delete;
    TMruList& operator=(const TMruList&) = delete;

    /// Points the list at its INI file (the window uses WorkDir / "mru.ini"); with mrAutoLoad it is read
    /// at once (a failed read leaves the list empty). Unsaved changes for the previous file are written
    /// first with mrAutoSave.
    void SetFileName(std::filesystem::path fileName);
    [[nodiscard]] const std::filesystem::path& FileName() const noexcept { return FileName_; }

    /// Reads the list from the file: "Count" entries (at most MaxCount()), empty values and repeated paths
    /// skipped, and with mrCheckFileExist every path whose file does not exist dropped. A missing file
    /// gives an empty list and true; an unreadable or oversized one an empty list and false.
    [[nodiscard]] bool Load(std::string* error = nullptr);
    /// Writes the list to the file (atomically), re-reading the file first so that other sections
    /// written meanwhile by other programs are kept.
    [[nodiscard]] bool Save(std::string* error = nullptr);

    /// Puts path at the top; a path already in the list moves there. The list is cut to MaxCount().
    void Add(std::string path);
    /// Removes path; false when it was not in the list.
    bool Remove(std::string_view path);
    void Clear();
    /// With mrCheckFileExist drops every path whose file no longer exists; then notifies OnChange so the
    /// menu is rebuilt. Called when the window refreshes its recent-file menu.
    void Refresh();

    [[nodiscard]] const std::vector<std::string>& Items() const noexcept { return Items_; }
    /// The items to show, at most MaxShowCount(), in list order; with mrCheckFileExist only those whose
    /// file exists now.
    [[nodiscard]] std::vector<TMruMenuItem> MenuItems() const;
    /// Enabled and visible when MenuItems() is not empty; otherwise disabled with mrDisableAnchorIfEmpty
    /// and hidden with mrHideAnchorIfEmpty.
    [[nodiscard]] TMruAnchorState AnchorState() const;

    [[nodiscard]] TMruOptions Options() const noexcept { return Options_; }
    void SetOptions(TMruOptions options) noexcept { Options_ = options; }
    [[nodiscard]] int MaxShowCount() const noexcept { return MaxShowCount_; }
    [[nodiscard]] int MaxCount() const noexcept { return MaxCount_; }
    [[nodiscard]] TMruPosition Position() const noexcept { return Position_; }
    void SetPosition(TMruPosition position) noexcept { Position_ = position; }
    /// The list differs from what the file held at the last load or save.
    [[nodiscard]] bool Modified() const noexcept { return Modified_; }

    /// Called after every change of Items() and on Refresh; the first argument is the sender.
    std::function<void(TMruList& sender)> OnChange;

private:
    void Changed();

    std::filesystem::path FileName_;
    std::vector<std::string> Items_;
    TMruOptions Options_;
    int MaxShowCount_;
    int MaxCount_;
    TMruPosition Position_ = mpNewMenu;
    bool Modified_ = false;
};

/// A recent-file path split for opening: Dir is the directory part ending with exactly one "/" (empty for
/// a bare file name), Name the file name part; Dir + Name opens the same file.
struct TMruPathParts {
    std::string Dir;
    std::string Name;
};
[[nodiscard]] TMruPathParts SplitMruPath(std::string_view path);

} // namespace xq

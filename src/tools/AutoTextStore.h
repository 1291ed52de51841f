// The AutoText store: entry files in the folder "AText" of the working directory, registered in the list
// file "AText/AutoText.lst"; naming a new entry with all its checks; the state of one showing of the
// AutoText dialog and how it ended; and handing a new entry's name to the host program through "XQSpell.dic".
#pragma once

#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

inline constexpr std::string_view AutoTextFolderName = "AText";
inline constexpr std::string_view AutoTextListFileName = "AutoText.lst";
inline constexpr std::string_view AutoTextExtension = ".xtb";
inline constexpr std::string_view AutoTextShortcutKey = "N";
inline constexpr std::string_view AutoTextShortNameKey = "K";
inline constexpr std::string_view AutoTextFileKey = "I";
/// The host hand-over in "XQSpell.dic": section "NEW" (or "NEW" + computer name), key "F".
inline constexpr std::string_view HandOverSectionPrefix = "NEW";
inline constexpr std::string_view HandOverKey = "F";

/// Lengths in characters, as the dialog's boxes take them.
inline constexpr int MaxShortcutLength = 20;
inline constexpr int MaxShortNameLength = 200;
/// The list is read from section "1" up to this number; a new entry beyond it could not be found again.
inline constexpr int MaxAutoTextEntries = 1000;

// Blank cleaning. A blank is any character of code 32 or below; texts are UTF-8, whose bytes of 32 or
// below are exactly those characters.
[[nodiscard]] std::string CleanStartBlanks(std::string_view text);
[[nodiscard]] std::string CleanEndBlanks(std::string_view text);
[[nodiscard]] std::string CleanBlanks(std::string_view text);
/// Both ends, then every blank inside.
[[nodiscard]] std::string CleanAllBlanks(std::string_view text);

/// The entry file name of a shortcut: CleanAllBlanks(shortcut) + ".xtb".
[[nodiscard]] std::string AutoTextFileName(std::string_view shortcut);

/// The shortcut box's key filter: backspace (8), Enter (13), space, "$", "%", "-", "0"-"9", "A"-"Z", "_",
/// "a"-"z", "~", "§", "Ä", "Ö", "Ü", "ß", "ä", "ö", "ü" pass; every other key press is discarded.
[[nodiscard]] bool IsShortcutKeyAccepted(char32_t ch) noexcept;
/// Text pasted into the shortcut box, reduced to the printable characters the key filter passes.
[[nodiscard]] std::string FilterShortcutText(std::string_view text);

/// DialogMode values. The main window may also set a start mode that is none of these; the dialog then
/// shows no caption, help line or button of its own.
inline constexpr int AutoTextModeInsert = 1;
inline constexpr int AutoTextModeNewEntry = 2;
inline constexpr int AutoTextModeOpen = 3;
inline constexpr int AutoTextModeNoEntries = 10;
/// Set while the dialog itself asks the main window to open the chosen entry.
inline constexpr int AutoTextModeOpenFromDialog = 99;

/// Caption, help line and the one action button of a dialog mode (Button empty: no action button).
struct TAutoTextDialogTexts {
    std::string Caption;
    std::string HelpLine;
    std::string Button;
};
[[nodiscard]] TAutoTextDialogTexts AutoTextDialogTexts(int dialogMode);

inline constexpr std::string_view AutoTextShortcutLabel = "Tastenkürzel";
inline constexpr std::string_view AutoTextShortNameLabel = "Kurzbezeichnung";
inline constexpr std::string_view AutoTextCancelButton = "Abbrechen";

/// A message box the dialog shows (always with an OK button).
struct TAutoTextMessage {
    std::string Text;    ///< "\r" breaks the line
    std::string Caption;
    TMsgIcon Icon = TMsgIcon::Error;
    bool operator==(const TAutoTextMessage&) const = default;
};

/// One registered entry: section Number of the list file.
struct TAutoTextEntry {
    int Number = 0;
    std::string Shortcut;  ///< key N
    std::string ShortName; ///< key K
    std::string FileName;  ///< key I
    bool operator==(const TAutoTextEntry&) const = default;
};

enum class TAutoTextNamingResult {
    Named,              ///< the entry is in the list file; EntryPath is where to write it
    EmptyField,         ///< shortcut or short name empty after trimming
    InvalidShortcut,    ///< the shortcut holds characters the key filter does not let through
    DuplicateShortcut,  ///< the shortcut, or the file name it gives, is taken
    DuplicateShortName, ///< the short name is taken
    ListFull,           ///< MaxAutoTextEntries entries exist already
    ListNotSaved,       ///< the list file could not be written
};

/// The box that gets the focus after a refusal.
enum class TAutoTextField { None, Shortcut, ShortName };

/// The outcome of naming a new entry.
struct TAutoTextNaming {
    TAutoTextNamingResult Result = TAutoTextNamingResult::EmptyField;
    /// To show in this order, before anything else happens (also on success: a folder that could not be
    /// created is told and the naming goes on).
    std::vector<TAutoTextMessage> Messages;
    TAutoTextField Focus = TAutoTextField::None;
    /// The texts as cleaned, for the boxes to show.
    std::string Shortcut;
    std::string ShortName;
    /// Set when Named.
    int Number = 0;
    std::filesystem::path EntryPath;
    /// The name handed to the host: CleanAllBlanks(shortcut), at most 20 characters.
    std::string LastEntryName;

    [[nodiscard]] bool Refused() const noexcept { return Result != TAutoTextNamingResult::Named; }
};

/// The list of entries of one working directory.
class TAutoTextStore {
public:
    explicit TAutoTextStore(std::filesystem::path workDir);

    [[nodiscard]] const std::filesystem::path& WorkDir() const noexcept { return WorkDir_; }
    /// WorkDir / "AText"
    [[nodiscard]] std::filesystem::path FolderPath() const;
    /// WorkDir / "AText" / "AutoText.lst"
    [[nodiscard]] std::filesystem::path ListFilePath() const;

    /// Reads the list file: sections "1", "2", ... up to MaxAutoTextEntries, ending at the first section
    /// whose N is empty or missing. A missing file gives no entries and true; an unreadable or oversized
    /// one no entries and false (and it is never overwritten).
    [[nodiscard]] bool Load(std::string* error = nullptr);
    [[nodiscard]] bool ListFileExists() const;
    [[nodiscard]] const std::vector<TAutoTextEntry>& Entries() const noexcept { return Entries_; }
    [[nodiscard]] const TAutoTextEntry* FindEntry(int number) const noexcept;
    /// WorkDir / "AText" / the entry's file name (UTF-8); empty when the file name is empty or would
    /// leave the folder ("/", "\", "." or "..").
    [[nodiscard]] std::filesystem::path EntryPath(const TAutoTextEntry& entry) const;

    /// Names a new entry (the dialog's "Speichern"): creates the folder when missing, re-reads the list
    /// file (Entries() follows it), cleans both texts,
    /// checks them in the order empty field, shortcut characters, taken shortcut (also one that differs
    /// only in blanks, since it would name the same entry file), taken short name, full list; then adds
    /// section Number = entries + 1 with N, K and I and writes the list file.
    /// Texts longer than the boxes take are cut as the boxes would cut them; characters code page 1252
    /// lacks become "?" as in the list file.
    [[nodiscard]] TAutoTextNaming NameNewEntry(std::string_view shortcut, std::string_view shortName);

private:
    std::filesystem::path WorkDir_;
    TIniFile List_;
    std::vector<TAutoTextEntry> Entries_;
};

/// One item of the dialog's two lists: a shortcut or short name and its entry number.
struct TAutoTextListItem {
    std::string Text;
    int Number = 0;
    bool operator==(const TAutoTextListItem&) const = default;
};

/// The state of one showing of the AutoText dialog: the two lists, which entry is selected, the mode
/// and the results the main window reads (EntryPath, Refused).
class TAutoTextChooser {
public:
    /// Opens the dialog on store: reads the list, fills both lists in entry order, selects the first
    /// entry; with no entries NoListFile() is set and a mode other than new-entry becomes no-entries.
    TAutoTextChooser(TAutoTextStore& store, int dialogMode);

    [[nodiscard]] int DialogMode() const noexcept { return DialogMode_; }
    [[nodiscard]] TAutoTextDialogTexts Texts() const { return AutoTextDialogTexts(DialogMode_); }
    [[nodiscard]] bool NoListFile() const noexcept { return NoListFile_; }

    [[nodiscard]] const std::vector<TAutoTextListItem>& ShortcutList() const noexcept { return ShortcutList_; }
    [[nodiscard]] const std::vector<TAutoTextListItem>& ShortNameList() const noexcept { return ShortNameList_; }
    /// Index into ShortcutList() / ShortNameList() of the selected item, -1 for none.
    [[nodiscard]] int ShortcutIndex() const noexcept { return ShortcutIndex_; }
    [[nodiscard]] int ShortNameIndex() const noexcept { return ShortNameIndex_; }
    /// Entry number - 1 of the selected entry, -1 for none.
    [[nodiscard]] int CurrentEntry() const noexcept { return CurrentEntry_; }
    /// The selected or newly named entry's path; empty after Cancel.
    [[nodiscard]] const std::filesystem::path& EntryPath() const noexcept { return EntryPath_; }
    [[nodiscard]] bool Refused() const noexcept { return Refused_; }

    /// Choosing a shortcut selects the short name of the same entry, and the other way round; CurrentEntry
    /// and EntryPath follow. An index out of range changes nothing.
    void SelectShortcut(int index);
    void SelectShortName(int index);

    /// "Einfügen": the message to show, keeping the dialog open, when the selected entry file is missing.
    [[nodiscard]] std::optional<TAutoTextMessage> CheckInsert() const;
    /// "Öffnen": the mode becomes the open-from-dialog mode; the main window then opens EntryPath().
    void RequestOpen() noexcept { DialogMode_ = AutoTextModeOpenFromDialog; }
    /// "Abbrechen": EntryPath becomes empty. True when the main window is then to start a new document
    /// (the no-entries mode).
    bool Cancel();
    /// "Speichern": names the new entry; on success both lists get it with its number, it is selected,
    /// NoListFile is cleared and EntryPath is the new entry's path. Refused() follows the result.
    [[nodiscard]] TAutoTextNaming Save(std::string_view shortcut, std::string_view shortName);

private:
    void SelectNumber(int number);

    TAutoTextStore& Store_;
    int DialogMode_;
    bool NoListFile_ = false;
    bool Refused_ = false;
    std::vector<TAutoTextListItem> ShortcutList_;
    std::vector<TAutoTextListItem> ShortNameList_;
    int ShortcutIndex_ = -1;
    int ShortNameIndex_ = -1;
    int CurrentEntry_ = -1;
    std::filesystem::path EntryPath_;
};

/// How one showing of the AutoText dialog ended.
struct TAutoTextOutcome {
    /// The dialog mode when it closed: the open-from-dialog mode after "Öffnen".
    int DialogMode = 0;
    /// The chosen or newly named entry; empty after "Abbrechen".
    std::filesystem::path EntryPath;
    /// The last naming was refused (only the dialog's own business; it stays open then).
    bool Refused = false;
    /// "Abbrechen" in the no-entries mode: the main window starts a new document.
    bool StartNew = false;
    /// A newly named entry's name for the host.
    std::string LastEntryName;
};

/// Hands a new entry's name to the host: in "XQSpell.dic" in exeDir, key "F" := lastEntryName in
/// section "NEW" + computerName when the file has that section, otherwise in section "NEW". The rest of
/// the file stays as it is; a missing file is created.
[[nodiscard]] bool HandOverNewEntry(const std::filesystem::path& exeDir, std::string_view computerName,
                                    std::string_view lastEntryName, std::string* error = nullptr);

} // namespace xq

// The AutoText store: the list file, naming new entries, the dialog's selection state, the host hand-over.
#include "tools/AutoTextStore.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace xq {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view ErrorCaption = "Fehler";
constexpr std::string_view MsgFolderNotCreated = "Ordner für Autotexte kann nicht erstellt werden. ";
constexpr std::string_view MsgEmptyField = "Alle Felder müssen Angaben enthalten! ";
constexpr std::string_view MsgDuplicateHead = "Der Eintrag ";
constexpr std::string_view MsgDuplicateMiddle = " ist bereites\r";
constexpr std::string_view MsgDuplicateShortcutTail = "als Tastenkürzel vorhanden!";
constexpr std::string_view MsgDuplicateShortNameTail = "als Kurzbezeichnung vorhanden!";
constexpr std::string_view MsgInvalidShortcut = "Das Tastenkürzel enthält unzulässige Zeichen!";
constexpr std::string_view MsgListFull = "Es können keine weiteren Autotexteinträge angelegt werden!";
constexpr std::string_view MsgListNotSaved = "Die Autotextliste kann nicht gespeichert werden!";
constexpr std::string_view MsgEntryMissing =
    "Gewählter Autotext-Eintrag ist nicht vorhanden.\rBitte wählen Sie einen anderen Eintrag.";

constexpr bool IsBlank(char c) noexcept
{
    return static_cast<unsigned char>(c) <= 32;
}

TAutoTextMessage ErrorMessage(std::string text)
{
    return {std::move(text), std::string(ErrorCaption), TMsgIcon::Error};
}

/// At most maxChars code points of UTF-8 text, never cutting inside a character.
std::string CutToCharacters(std::string_view text, int maxChars)
{
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == maxChars)
                return std::string(text.substr(0, i));
            ++count;
        }
    }
    return std::string(text);
}

/// The text as the list file gives it back: characters code page 1252 lacks become "?".
std::string ThroughAnsi(std::string_view text)
{
    return Utf16ToUtf8(AnsiToUnicode(UnicodeToAnsi(Utf8ToUtf16(text), SystemAnsiCodePage), SystemAnsiCodePage));
}

bool IsPrintableShortcutChar(char16_t ch) noexcept
{
    return ch >= 32 && IsShortcutKeyAccepted(ch);
}

} // namespace

std::string CleanStartBlanks(std::string_view text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return std::string(first, text.end());
}

std::string CleanEndBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string CleanBlanks(std::string_view text)
{
    return CleanEndBlanks(CleanStartBlanks(text));
}

std::string CleanAllBlanks(std::string_view text)
{
    std::string cleaned = CleanBlanks(text);
    std::erase_if(cleaned, IsBlank);
    return cleaned;
}

std::string AutoTextFileName(std::string_view shortcut)
{
    return CleanAllBlanks(shortcut) + std::string(AutoTextExtension);
}

bool IsShortcutKeyAccepted(char32_t ch) noexcept
{
    if ((ch >= U'0' && ch <= U'9') || (ch >= U'A' && ch <= U'Z') || (ch >= U'a' && ch <= U'z'))
        return true;
    switch (ch) {
    case 8:  // backspace
    case 13: // Enter
    case U' ':
    case U'$':
    case U'%':
    case U'-':
    case U'_':
    case U'~':
    case U'§':
    case U'Ä':
    case U'Ö':
    case U'Ü':
    case U'ß':
    case U'ä':
    case U'ö':
    case U'ü':
        return true;
    default:
        return false;
    }
}

std::string FilterShortcutText(std::string_view text)
{
    std::u16string chars = Utf8ToUtf16(text);
    std::erase_if(chars, [](char16_t ch) { return !IsPrintableShortcutChar(ch); });
    return Utf16ToUtf8(chars);
}

TAutoTextDialogTexts AutoTextDialogTexts(int dialogMode)
{
    switch (dialogMode) {
    case AutoTextModeInsert:
        return {"Autotext an Cursorposition einfügen",
                "Bitte wählen Sie einen Autotext Eintrag aus und klicken dann auf \"Einfügen\" um den gewählten "
                "Autotext Eintrag an der Schreibmarke einzufügen.",
                "Einfügen"};
    case AutoTextModeNewEntry:
        return {"Neuen Autotexteintrag anlegen",
                "Bitte geben Sie einen Wert für Tastenkürzel und Kurzbezeichnung ein und klicken dann auf "
                "\"Speichern\".",
                "Speichern"};
    case AutoTextModeOpen:
        return {"Autotexteintrag öffnen und bearbeiten...",
                "Bitte wählen Sie den Autotext Eintrag aus den Sie bearbeiten möchten und klicken dann auf "
                "\"Öffen\".",
                "Öffnen"};
    case AutoTextModeNoEntries:
        return {"Kein Autotexteintrag gefunden",
                "Es wurde kein Autotexteintrag gefunden. Bitte wählen Sie abbrechen und legen einen neuen "
                "Autotexteintrag an.",
                ""};
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------------------------------------
// The store

TAutoTextStore::TAutoTextStore(std::filesystem::path workDir) : WorkDir_(std::move(workDir))
{
    List_.SetFileName(ListFilePath());
}

fs::path TAutoTextStore::FolderPath() const
{
    return WorkDir_ / AutoTextFolderName;
}

fs::path TAutoTextStore::ListFilePath() const
{
    return FolderPath() / AutoTextListFileName;
}

bool TAutoTextStore::ListFileExists() const
{
    std::error_code ec;
    return fs::exists(ListFilePath(), ec);
}

bool TAutoTextStore::Load(std::string* error)
{
    Entries_.clear();
    List_.SetFileName(ListFilePath());
    if (!List_.Load()) {
        if (error)
            *error = List_.LoadError();
        return false;
    }
    for (int n = 1; n <= MaxAutoTextEntries; ++n) {
        const std::string section = std::to_string(n);
        TAutoTextEntry entry;
        entry.Number = n;
        entry.Shortcut = List_.ReadString(section, AutoTextShortcutKey);
        if (entry.Shortcut.empty())
            break;
        entry.ShortName = List_.ReadString(section, AutoTextShortNameKey);
        entry.FileName = List_.ReadString(section, AutoTextFileKey);
        Entries_.push_back(std::move(entry));
    }
    return true;
}

const TAutoTextEntry* TAutoTextStore::FindEntry(int number) const noexcept
{
    // Entries are numbered 1, 2, ... without gaps.
    if (number < 1 || std::size_t(number) > Entries_.size())
        return nullptr;
    return &Entries_[std::size_t(number - 1)];
}

fs::path TAutoTextStore::EntryPath(const TAutoTextEntry& entry) const
{
    const std::string& name = entry.FileName;
    if (name.empty() || name == "." || name == ".." || name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
        return {};
    return FolderPath() / name;
}

TAutoTextNaming TAutoTextStore::NameNewEntry(std::string_view shortcut, std::string_view shortName)
{
    TAutoTextNaming result;
    std::error_code ec;
    bool folderMissing = false;
    if (!fs::is_directory(FolderPath(), ec) && !fs::create_directory(FolderPath(), ec)) {
        result.Messages.push_back(ErrorMessage(std::string(MsgFolderNotCreated)));
        folderMissing = true;
    }

    // The checks go against the list as it is on disk now.
    (void)Load();

    // What the boxes hold: code page 1252 text of limited length; then both ends cleaned.
    result.Shortcut = CleanBlanks(CutToCharacters(ThroughAnsi(shortcut), MaxShortcutLength));
    result.ShortName = CleanBlanks(CutToCharacters(ThroughAnsi(shortName), MaxShortNameLength));

    auto refuse = [&](TAutoTextNamingResult why, std::string text, TAutoTextField focus) {
        result.Result = why;
        result.Messages.push_back(ErrorMessage(std::move(text)));
        result.Focus = focus;
        return result;
    };

    if (result.Shortcut.empty() || result.ShortName.empty())
        return refuse(TAutoTextNamingResult::EmptyField, std::string(MsgEmptyField), TAutoTextField::Shortcut);

    const std::u16string shortcutChars = Utf8ToUtf16(result.Shortcut);
    if (!std::all_of(shortcutChars.begin(), shortcutChars.end(), IsPrintableShortcutChar))
        return refuse(TAutoTextNamingResult::InvalidShortcut, std::string(MsgInvalidShortcut), TAutoTextField::Shortcut);

    // A shortcut is taken when an entry has it in another letter case, or when it gives the file name of
    // an entry ("Brief 1" and "Brief1" both name "Brief1.xtb"): the new entry would overwrite that file.
    const std::string fileName = AutoTextFileName(result.Shortcut);
    const bool shortcutTaken = std::any_of(Entries_.begin(), Entries_.end(), [&](const TAutoTextEntry& e) {
        return SameTextIgnoringCase(CleanBlanks(e.Shortcut), result.Shortcut) ||
               SameTextIgnoringCase(e.FileName, fileName) || SameTextIgnoringCase(AutoTextFileName(e.Shortcut), fileName);
    });
    // Sections past a gap are not shown, but their files are theirs too.
    const std::vector<std::string> sections = List_.ReadSections();
    const bool fileTaken = std::any_of(sections.begin(), sections.end(), [&](const std::string& s) {
        return SameTextIgnoringCase(List_.ReadString(s, AutoTextFileKey), fileName);
    });
    if (shortcutTaken || fileTaken)
        return refuse(TAutoTextNamingResult::DuplicateShortcut,
                      std::string(MsgDuplicateHead) + result.Shortcut + std::string(MsgDuplicateMiddle) +
                          std::string(MsgDuplicateShortcutTail),
                      TAutoTextField::Shortcut);

    const bool shortNameTaken = std::any_of(Entries_.begin(), Entries_.end(), [&](const TAutoTextEntry& e) {
        return SameTextIgnoringCase(CleanBlanks(e.ShortName), result.ShortName);
    });
    if (shortNameTaken)
        return refuse(TAutoTextNamingResult::DuplicateShortName,
                      std::string(MsgDuplicateHead) + result.ShortName + std::string(MsgDuplicateMiddle) +
                          std::string(MsgDuplicateShortNameTail),
                      TAutoTextField::ShortName);

    if (Entries_.size() >= std::size_t(MaxAutoTextEntries))
        return refuse(TAutoTextNamingResult::ListFull, std::string(MsgListFull), TAutoTextField::Shortcut);

    const int number = int(Entries_.size()) + 1;
    const std::string section = std::to_string(number);
    // A stale section of that number (past a gap) is replaced whole, not merged.
    List_.EraseSection(section);
    const bool written = List_.WriteString(section, AutoTextShortcutKey, result.Shortcut) &&
                         List_.WriteString(section, AutoTextShortNameKey, result.ShortName) &&
                         List_.WriteString(section, AutoTextFileKey, fileName);
    if (!written || !List_.UpdateFile()) {
        (void)Load(); // back to what the file holds
        result.Result = TAutoTextNamingResult::ListNotSaved;
        if (!folderMissing)
            result.Messages.push_back(ErrorMessage(std::string(MsgListNotSaved)));
        return result;
    }

    TAutoTextEntry entry{number, result.Shortcut, result.ShortName, fileName};
    result.Result = TAutoTextNamingResult::Named;
    result.Number = number;
    result.EntryPath = EntryPath(entry);
    result.LastEntryName = CutToCharacters(CleanAllBlanks(result.Shortcut), MaxShortcutLength);
    Entries_.push_back(std::move(entry));
    return result;
}

// ---------------------------------------------------------------------------------------------------------
// One showing of the dialog

TAutoTextChooser::TAutoTextChooser(TAutoTextStore& store, int dialogMode) : Store_(store), DialogMode_(dialogMode)
{
    (void)Store_.Load(); // an unreadable list shows as an empty one
    for (const TAutoTextEntry& entry : Store_.Entries()) {
        ShortcutList_.push_back({entry.Shortcut, entry.Number});
        ShortNameList_.push_back({entry.ShortName, entry.Number});
    }
    if (ShortcutList_.empty()) {
        NoListFile_ = true;
        if (DialogMode_ != AutoTextModeNewEntry)
            DialogMode_ = AutoTextModeNoEntries;
        return;
    }
    // The new-entry boxes start empty, without a selection.
    if (DialogMode_ != AutoTextModeNewEntry)
        SelectShortcut(0);
}

void TAutoTextChooser::SelectNumber(int number)
{
    auto indexOf = [number](const std::vector<TAutoTextListItem>& list) {
        const auto it = std::find_if(list.begin(), list.end(), [number](const TAutoTextListItem& i) { return i.Number == number; });
        return it == list.end() ? -1 : int(it - list.begin());
    };
    ShortcutIndex_ = indexOf(ShortcutList_);
    ShortNameIndex_ = indexOf(ShortNameList_);
    CurrentEntry_ = number - 1;
    const TAutoTextEntry* entry = Store_.FindEntry(number);
    EntryPath_ = entry ? Store_.EntryPath(*entry) : fs::path();
}

void TAutoTextChooser::SelectShortcut(int index)
{
    if (index >= 0 && std::size_t(index) < ShortcutList_.size())
        SelectNumber(ShortcutList_[std::size_t(index)].Number);
}

void TAutoTextChooser::SelectShortName(int index)
{
    if (index >= 0 && std::size_t(index) < ShortNameList_.size())
        SelectNumber(ShortNameList_[std::size_t(index)].Number);
}

std::optional<TAutoTextMessage> TAutoTextChooser::CheckInsert() const
{
    std::error_code ec;
    if (!EntryPath_.empty() && fs::is_regular_file(EntryPath_, ec))
        return std::nullopt;
    return ErrorMessage(std::string(MsgEntryMissing));
}

bool TAutoTextChooser::Cancel()
{
    EntryPath_.clear();
    return DialogMode_ == AutoTextModeNoEntries;
}

TAutoTextNaming TAutoTextChooser::Save(std::string_view shortcut, std::string_view shortName)
{
    TAutoTextNaming result = Store_.NameNewEntry(shortcut, shortName);
    Refused_ = result.Refused();
    if (Refused_)
        return result;
    ShortcutList_.push_back({result.Shortcut, result.Number});
    ShortNameList_.push_back({result.ShortName, result.Number});
    SelectNumber(result.Number);
    NoListFile_ = false;
    return result;
}

// ---------------------------------------------------------------------------------------------------------
// Host hand-over

bool HandOverNewEntry(const std::filesystem::path& exeDir, std::string_view computerName,
                      std::string_view lastEntryName, std::string* error)
{
    TIniFile settings(exeDir / SharedSettingsFileName);
    if (settings.LoadFailed()) {
        if (error)
            *error = settings.LoadError();
        return false;
    }
    const std::string section = PerComputerSection(settings, HandOverSectionPrefix, computerName);
    if (!settings.WriteString(section, HandOverKey, lastEntryName)) {
        if (error)
            *error = "the entry name holds a line break";
        return false;
    }
    return settings.UpdateFile(error);
}

} // namespace xq

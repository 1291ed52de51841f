// Program start: the run state of the main window, the command line and its three arguments, the
// directories the program works in, the start modes and the window titles they set.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/DocumentFiles.h"

namespace xq {

/// The application title, also the key under which a running instance is found.
inline constexpr std::string_view ApplicationTitle = "XQTextbausteineditor";

// Window captions.
inline constexpr std::string_view CaptionAtCreation = " Quarnel Autotext - ";
inline constexpr std::string_view CaptionEditEntry = " Quarnel Autotext - Autotext Eintrag bearbeiten";
inline constexpr std::string_view CaptionInsertEntry = " Quarnel Autotext - Autotexte einfügen";
inline constexpr std::string_view CaptionNewEntry = " Quarnel Autotext - Neuen Autotext Eintrag erstellen";
inline constexpr std::string_view CaptionUntitled = " Quarnel Autotext - Unbenannt.xtb";

/// Start modes of the command line's second argument.
inline constexpr std::int32_t StartModeEditEntry = 0;
inline constexpr std::int32_t StartModeInsertEntry = 1;
inline constexpr std::int32_t StartModeNewEntry = 2;
inline constexpr std::int32_t StartModeEditEntryToo = 3;

/// The state of the main window for the whole run.
struct TRunState {
    std::filesystem::path ExeDir;  ///< where the program file is: "XQSpell.dic", help
    std::filesystem::path WorkDir; ///< current directory: "mru.ini", "AText"
    std::filesystem::path DocPath; ///< the current document; where file dialogs start
    std::string StartDocument;     ///< the document a host handed over (argument 1)
    std::int32_t StartMode = 0;    ///< argument 2
    std::string ComputerName;      ///< upper case; suffix of per-computer sections
    std::string DocName;           ///< empty for a new, unsaved document
    std::string RecentPath;        ///< the last document opened or saved
    TFileFormat FileFormat = TFileFormat::RVF;
    bool Modified = false;
    bool AbrHostDocument = false;  ///< a ".abr" document came from the host (help topic)
    bool Closing = false;          ///< set at the first close request, never cleared
    bool SpellingInWorkDir = false;
    bool SpellingUnavailable = false;
    bool LiveSpelling = false;
    /// A check of the document or live spelling found a misspelled word; without it a check
    /// ends with "Keine Rechtschreibfehler gefunden".
    bool MisspellingFound = false;
    bool ShowControlChars = false;
    bool SyncingControls = false;
};

/// What the command line says; every argument is optional and positional.
struct TCommandLine {
    std::string StartDocument;
    std::int32_t StartMode = 0;
    /// The third argument names a directory holding the speller program: it becomes WorkDir.
    bool SpellingInWorkDir = false;
    std::filesystem::path SpellingDir;
};

/// Reads the arguments that follow the program name; a third one counts when it holds the speller.
[[nodiscard]] TCommandLine ReadCommandLine(const std::vector<std::string>& arguments);

/// The run state a start begins with: the command line's document, start mode and speller choice,
/// the program directory, the working directory (where file dialogs start, too) and the computer name.
/// Everything else is as a fresh TRunState has it.
[[nodiscard]] TRunState StartRunState(const TCommandLine& commandLine, const std::filesystem::path& exeDir,
                                      std::string computerName);

/// A start mode as the command line gives it: a decimal integer with optional sign (blanks before
/// it allowed); anything else, or a value outside 32 bits, counts as 0.
[[nodiscard]] std::int32_t StartModeOf(std::string_view text) noexcept;

/// The speller program's file in a directory (the argument joined as it stands, as a host passes it).
[[nodiscard]] std::filesystem::path SpellerProgramIn(const std::string& directory);
/// An executable speller program exists in the directory.
[[nodiscard]] bool HasSpellerProgram(const std::string& directory);
/// An executable speller program exists in one of the directories of pathList (PATH's form).
[[nodiscard]] bool HasSpellerProgramOnPath(std::string_view pathList);
/// Spelling can be offered: the speller program is in workDir, or on the PATH of this process.
[[nodiscard]] bool SpellerProgramAvailable(const std::filesystem::path& workDir);

/// The working directory: the third argument when it holds the speller, else the program directory.
[[nodiscard]] std::filesystem::path WorkDirOf(const TCommandLine& commandLine, const std::filesystem::path& exeDir);

/// Host documents the program opens at start: ".rvf", ".dvl", ".abr", ".xtb", ".dpa" in any case.
[[nodiscard]] bool IsHostDocumentPath(std::string_view path);
/// The extension of a path in lower case (".dvl"), empty without one.
[[nodiscard]] std::string LowerExtension(std::string_view path);

/// The caption a start mode gives the window after it is shown; none for modes without a dialog.
[[nodiscard]] std::optional<std::string_view> StartModeCaption(std::int32_t startMode) noexcept;

} // namespace xq

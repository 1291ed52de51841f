// Where the speller lives and which languages it has: the speller directory (from the registry or
// "XQSpell.dic"), one "ispell.ini" per subdirectory, one language per section, and the names the
// languages are shown with.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

/// How language names are shown.
enum TLangOption { loLocalized, loEnglish, loNative, loAbbrev };

/// The kind of speller behind a language; this program only drives ISpell.
enum TSpellerType { sptMSOffice, sptISpell };

/// Options of the spell checker (a bit set of 1 << value).
enum TSpellOption { spoSuggestFromUserDict, spoIgnoreAllCaps, spoIgnoreMixedDigits, spoIgnoreRomanNumerals };
using TSpellOptions = std::uint32_t;
[[nodiscard]] constexpr TSpellOptions SpellOptionBit(TSpellOption option) noexcept { return 1u << option; }
/// What the checker starts with, and what the main window sets.
inline constexpr TSpellOptions DefaultSpellOptions =
    SpellOptionBit(spoSuggestFromUserDict) | SpellOptionBit(spoIgnoreAllCaps) |
    SpellOptionBit(spoIgnoreMixedDigits) | SpellOptionBit(spoIgnoreRomanNumerals);

/// The registry key and values that may name the speller directory.
inline constexpr std::string_view SpellerKeyPath = "Software\\Quarnel\\Pallwick";
inline constexpr std::string_view SpellerValueName = "speller";
inline constexpr std::string_view SpellerMarkerValueName = "usesp";
/// "usesp" must hold this for "speller" to count.
inline constexpr std::string_view SpellerMarker = "{7Q41KMZX58}";
/// Section and key of "XQSpell.dic" that name the speller directory.
inline constexpr std::string_view SpellerSection = "XQSpell";
inline constexpr std::string_view SpellerDirKey = "P";
/// The file in each language's subdirectory.
inline constexpr std::string_view SpellerIniFileName = "ispell.ini";
/// In a command line, this text (any letter case) stands for the speller directory.
inline constexpr std::string_view SpellerDirPlaceholder = "%UniRed%ispell";

/// One language: a section of an "ispell.ini".
struct TSpellListObj {
    std::string Name;        ///< the display name
    std::string SectionName; ///< the section's name (the subdirectory's when the section's is empty)
    std::string Cmd;         ///< the command line that starts the speller
    std::string Charset;     ///< how words are coded for the speller; "UTF-8" or empty (code page 1252)
    std::string Surrogate = "-";
    std::string Flag;
    int LangNo = 0;          ///< a Windows language identifier, 0 when unknown
    TSpellerType SpellerType = sptISpell;
    std::filesystem::path Directory; ///< the subdirectory the entry came from
};

/// The speller directory. The registry's "speller" counts when "usesp" holds the marker; otherwise key
/// "P" of section "XQSpell" of "XQSpell.dic" in exeDir, which is written with exeDir when it is empty.
/// A value that is empty or names no directory gives exeDir. userRegistryFiles are the registry
/// stand-ins of the current user. The result has no trailing delimiter.
[[nodiscard]] std::filesystem::path FindSpellerDirectory(const std::vector<std::filesystem::path>& userRegistryFiles,
                                                         const std::filesystem::path& exeDir);

/// The languages of the speller directory: its subdirectories in directory order, the sections of
/// each one's "ispell.ini" in file order. At most MaxSpellLanguages entries are listed, and at most
/// MaxSpellerSubdirectories subdirectories are looked at.
inline constexpr std::size_t MaxSpellLanguages = 256;
inline constexpr std::size_t MaxSpellerSubdirectories = 1024;
[[nodiscard]] std::vector<TSpellListObj> ListSpellLanguages(const std::filesystem::path& spellerDir,
                                                            TLangOption langOption);

/// The system's name of a Windows language identifier in the program's language (German), in English,
/// in the language itself, or as a three-letter abbreviation; empty for an identifier it does not know.
[[nodiscard]] std::string LanguageName(int langNo, TLangOption langOption);

/// Replaces every "%UniRed%ispell" (any letter case) in a command line by the speller directory.
[[nodiscard]] std::string ExpandSpellerCommand(std::string_view cmd, const std::filesystem::path& spellerDir);

/// The code page words are sent in for a charset name: "UTF-8" (any case) gives 65001, "KOI8-R" 20866,
/// "windows-125x" or "cp125x" that page, anything else the system's 8-bit code page 1252.
[[nodiscard]] int SpellerCodePage(std::string_view charset);

} // namespace xq

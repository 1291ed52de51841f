// The speller directory, its "ispell.ini" files and the names of their languages.
#include "spelling/SpellLanguages.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// An "ispell.ini" is a handful of lines; anything much larger is not one.
constexpr std::size_t MaxSpellerIniSize = 256 * 1024;

bool IsDirectory(const fs::path& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string WithoutTrailingDelimiters(std::string text)
{
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return text;
}

struct TLanguageNames {
    int LangNo;
    std::string_view Localized;
    std::string_view English;
    std::string_view Native;
    std::string_view Abbrev;
};

// The languages spellers are installed for, with the names the system gives them.
constexpr TLanguageNames LanguageNames[] = {
    {1029, "Tschechisch", "Czech", "čeština", "CSY"},
    {1030, "Dänisch", "Danish", "dansk", "DAN"},
    {1031, "Deutsch (Deutschland)", "German (Germany)", "Deutsch (Deutschland)", "DEU"},
    {1033, "Englisch (USA)", "English (United States)", "English (United States)", "ENU"},
    {1034, "Spanisch (Spanien)", "Spanish (Spain)", "español (España)", "ESP"},
    {1035, "Finnisch", "Finnish", "suomi", "FIN"},
    {1036, "Französisch (Frankreich)", "French (France)", "français (France)", "FRA"},
    {1038, "Ungarisch", "Hungarian", "magyar", "HUN"},
    {1040, "Italienisch (Italien)", "Italian (Italy)", "italiano (Italia)", "ITA"},
    {1043, "Niederländisch (Niederlande)", "Dutch (Netherlands)", "Nederlands (Nederland)", "NLD"},
    {1044, "Norwegisch (Bokmål)", "Norwegian (Bokmål)", "norsk (bokmål)", "NOR"},
    {1045, "Polnisch", "Polish", "polski", "PLK"},
    {1046, "Portugiesisch (Brasilien)", "Portuguese (Brazil)", "português (Brasil)", "PTB"},
    {1049, "Russisch", "Russian", "русский", "RUS"},
    {1053, "Schwedisch", "Swedish", "svenska", "SVE"},
    {1058, "Ukrainisch", "Ukrainian", "українська", "UKR"},
    {2055, "Deutsch (Schweiz)", "German (Switzerland)", "Deutsch (Schweiz)", "DES"},
    {2057, "Englisch (Großbritannien)", "English (United Kingdom)", "English (United Kingdom)", "ENG"},
    {2070, "Portugiesisch (Portugal)", "Portuguese (Portugal)", "português (Portugal)", "PTG"},
    {3079, "Deutsch (Österreich)", "German (Austria)", "Deutsch (Österreich)", "DEA"},
};

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

} // namespace

fs::path FindSpellerDirectory(const std::vector<fs::path>& userRegistryFiles, const fs::path& exeDir)
{
    const fs::path defaultDir(WithoutTrailingDelimiters(exeDir.string()));
    std::string value = ReadRegistryString(userRegistryFiles, SpellerKeyPath, SpellerValueName).value_or("");
    const std::string marker = ReadRegistryString(userRegistryFiles, SpellerKeyPath, SpellerMarkerValueName).value_or("");
    if (value.empty() || marker != SpellerMarker) {
        TIniFile ini(defaultDir / SharedSettingsFileName);
        value = ini.ReadString(SpellerSection, SpellerDirKey);
        if (value.empty() && !ini.LoadFailed()) {
            // The first start records where the speller is, for the host programs.
            if (ini.WriteString(SpellerSection, SpellerDirKey, defaultDir.string()))
                (void)ini.UpdateFile();
        }
    }
    value = WithoutTrailingDelimiters(value);
    if (value.empty() || !IsDirectory(value))
        return defaultDir;
    return fs::path(value);
}

std::vector<TSpellListObj> ListSpellLanguages(const fs::path& spellerDir, TLangOption langOption)
{
    std::vector<TSpellListObj> languages;
    if (!IsDirectory(spellerDir))
        return languages;
    // Directory order is the order of the names: the file system's own order differs between
    // machines, and the menu should not.
    std::vector<fs::path> subdirectories;
    std::error_code ec;
    for (fs::directory_iterator it(spellerDir, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end && subdirectories.size() < MaxSpellerSubdirectories; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            subdirectories.push_back(it->path());
    }
    std::sort(subdirectories.begin(), subdirectories.end());

    for (const fs::path& subdirectory : subdirectories) {
        const fs::path iniPath = subdirectory / SpellerIniFileName;
        std::error_code existsError;
        if (!fs::is_regular_file(iniPath, existsError))
            continue;
        TIniFile ini(iniPath, MaxSpellerIniSize);
        if (ini.LoadFailed())
            continue;
        const std::string subdirectoryName = subdirectory.filename().string();
        for (const std::string& section : ini.ReadSections()) {
            if (languages.size() >= MaxSpellLanguages)
                return languages;
            TSpellListObj entry;
            entry.SectionName = section.empty() ? subdirectoryName : section;
            entry.LangNo = ini.ReadInteger(section, "LangNo", 0);
            entry.Cmd = ini.ReadString(section, "Cmd");
            entry.Charset = ini.ReadString(section, "Charset");
            if (std::string surrogate = ini.ReadString(section, "Surrogate"); !surrogate.empty())
                entry.Surrogate = std::move(surrogate);
            entry.Flag = ini.ReadString(section, "Flag", subdirectoryName);
            entry.SpellerType = sptISpell;
            entry.Directory = subdirectory;
            std::string name = entry.LangNo != 0 ? LanguageName(entry.LangNo, langOption) : std::string();
            entry.Name = name.empty() ? entry.SectionName : std::move(name);
            languages.push_back(std::move(entry));
        }
    }
    return languages;
}

std::string LanguageName(int langNo, TLangOption langOption)
{
    for (const TLanguageNames& names : LanguageNames) {
        if (names.LangNo != langNo)
            continue;
        switch (langOption) {
        case loLocalized: return std::string(names.Localized);
        case loEnglish: return std::string(names.English);
        case loNative: return std::string(names.Native);
        case loAbbrev: return std::string(names.Abbrev);
        }
    }
    return {};
}

std::string ExpandSpellerCommand(std::string_view cmd, const fs::path& spellerDir)
{
    const std::string dir = WithoutTrailingDelimiters(spellerDir.string());
    std::string result;
    std::size_t i = 0;
    while (i < cmd.size()) {
        if (StartsWithIgnoringAsciiCase(cmd.substr(i), SpellerDirPlaceholder)) {
            result += dir;
            i += SpellerDirPlaceholder.size();
        } else {
            result += cmd[i++];
        }
    }
    return result;
}

int SpellerCodePage(std::string_view charset)
{
    if (SameTextIgnoringCase(charset, "UTF-8") || SameTextIgnoringCase(charset, "UTF8"))
        return Utf8CodePage;
    if (SameTextIgnoringCase(charset, "KOI8-R") || SameTextIgnoringCase(charset, "KOI8R"))
        return 20866;
    for (std::string_view prefix : {std::string_view("windows-"), std::string_view("cp")}) {
        if (StartsWithIgnoringAsciiCase(charset, prefix)) {
            const std::string_view digits = charset.substr(prefix.size());
            if (digits.size() == 4 && digits.substr(0, 3) == "125" && digits[3] >= '0' && digits[3] <= '8')
                return 1250 + (digits[3] - '0');
        }
    }
    return 1252;
}

} // namespace xq

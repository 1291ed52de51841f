// The spell checker of the main window: the selected language, the speller directory, and one speller
// per language, started on first use and ended with the checker.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "spelling/ISpeller.h"
#include "spelling/SpellLanguages.h"

namespace xq {

/// The language the checker starts with: German (Germany), the system's language here.
inline constexpr int DefaultSpellLanguage = 1031;

class TSpellChecker {
public:
    TSpellChecker() = default;
    /// Ends every speller it started.
    ~TSpellChecker();
    TSpellChecker(const TSpellChecker&) = delete;
    TSpellChecker& operator=(const TSpellChecker&) = delete;

    int Language = DefaultSpellLanguage;
    TLangOption LangOption = loLocalized;
    TSpellerType SpellerType = sptISpell;
    TSpellOptions Options = DefaultSpellOptions;
    /// The values of the selected language (SelectLanguage copies them).
    std::string Cmd;
    std::string Charset;
    std::string Surrogate;
    std::string Flag;
    std::string SelectedName;

    /// Where the languages are; set before the first use.
    void SetSpellerDirectory(std::filesystem::path dir);
    [[nodiscard]] const std::filesystem::path& SpellerDirectory() const noexcept { return SpellerDir_; }
    /// HOME of the spellers, where ISpell keeps the personal dictionaries. Empty: the speller
    /// directory when this process may write there, else fallbackHome.
    void SetPersonalDirectory(std::filesystem::path dir, std::filesystem::path fallbackHome = {});
    [[nodiscard]] std::filesystem::path PersonalDirectory() const;
    /// Time limits of the spellers started from now on.
    TISpeller::TTimeouts Timeouts;

    /// Called with the German message when a speller is switched off mid-run.
    std::function<void(const std::string& message)> OnSpellerFailed;

    /// The languages of the speller directory with their display names.
    [[nodiscard]] std::vector<TSpellListObj> ListLanguages(TLangOption langOption) const;
    /// Copies the entry's values into the checker; its LangNo becomes Language.
    void SelectLanguage(const TSpellListObj& entry);

    /// The speller of the language (with the checker's speller type), started on first use; none when
    /// the language has no entry or its speller failed to start (it then stays failed).
    [[nodiscard]] TISpeller* GetSpeller(int language);
    /// A word of that language; correct when it has no working speller.
    [[nodiscard]] bool IsWordCorrect(std::string_view word, int language);
    bool AddToDictionary(std::string_view word, int language);
    /// The speller's suggestions for the word (empty when it is correct).
    void GetSuggestions(std::string_view word, int language, std::vector<std::string>& list);

    /// Ends every speller now (what the destructor does). Spellers handed out by GetSpeller are gone
    /// then: no other thread may still be using one.
    void CloseSpellers();

private:
    [[nodiscard]] bool FindEntry(int language, TSpellListObj& entry) const;

    std::filesystem::path SpellerDir_;
    std::filesystem::path PersonalDir_;
    std::filesystem::path FallbackHome_;
    mutable std::mutex Lock_;
    /// (language, speller kind) -> speller; a failed start is kept as a failed speller.
    std::map<std::pair<int, int>, std::unique_ptr<TISpeller>> Spellers_;
};

/// The language of the editor's text in a charset: the charset's language, or the checker's language
/// when the charset has none (0) or gives the neutral 1024.
[[nodiscard]] int SpellLanguageOfCharset(int charset, int checkerLanguage) noexcept;

} // namespace xq

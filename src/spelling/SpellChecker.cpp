// The spell checker: finds a language's entry, starts its speller once and forwards the checks.
#include "spelling/SpellChecker.h"

#include <unistd.h>

#include "formats/rtf/RtfWriter.h"

namespace xq {

namespace fs = std::filesystem;

TSpellChecker::~TSpellChecker()
{
    CloseSpellers();
}

void TSpellChecker::CloseSpellers()
{
    std::map<std::pair<int, int>, std::unique_ptr<TISpeller>> spellers;
    {
        std::lock_guard<std::mutex> guard(Lock_);
        spellers.swap(Spellers_);
    }
    spellers.clear();
}

void TSpellChecker::SetSpellerDirectory(fs::path dir)
{
    std::lock_guard<std::mutex> guard(Lock_);
    SpellerDir_ = std::move(dir);
}

void TSpellChecker::SetPersonalDirectory(fs::path dir, fs::path fallbackHome)
{
    std::lock_guard<std::mutex> guard(Lock_);
    PersonalDir_ = std::move(dir);
    FallbackHome_ = std::move(fallbackHome);
}

fs::path TSpellChecker::PersonalDirectory() const
{
    if (!PersonalDir_.empty())
        return PersonalDir_;
    if (!SpellerDir_.empty() && ::access(SpellerDir_.c_str(), W_OK | X_OK) == 0)
        return SpellerDir_;
    return FallbackHome_;
}

std::vector<TSpellListObj> TSpellChecker::ListLanguages(TLangOption langOption) const
{
    fs::path dir;
    {
        std::lock_guard<std::mutex> guard(Lock_);
        dir = SpellerDir_;
    }
    return ListSpellLanguages(dir, langOption);
}

void TSpellChecker::SelectLanguage(const TSpellListObj& entry)
{
    // Spellers are found (by SelectedName) under the lock, on whatever thread asks.
    std::lock_guard<std::mutex> guard(Lock_);
    Cmd = entry.Cmd;
    Charset = entry.Charset;
    Surrogate = entry.Surrogate;
    Flag = entry.Flag;
    Language = entry.LangNo;
    SpellerType = entry.SpellerType;
    SelectedName = entry.Name;
}

bool TSpellChecker::FindEntry(int language, TSpellListObj& entry) const
{
    for (TSpellListObj& candidate : ListSpellLanguages(SpellerDir_, LangOption)) {
        const bool matches = language != 0
                                 ? candidate.LangNo == language
                                 : (candidate.SectionName == SelectedName || candidate.Name == SelectedName);
        if (matches) {
            entry = std::move(candidate);
            return true;
        }
    }
    return false;
}

TISpeller* TSpellChecker::GetSpeller(int language)
{
    std::lock_guard<std::mutex> guard(Lock_);
    const auto key = std::make_pair(language, int(SpellerType));
    auto it = Spellers_.find(key);
    if (it == Spellers_.end()) {
        TSpellListObj entry;
        std::unique_ptr<TISpeller> speller;
        if (FindEntry(language, entry)) {
            speller = std::make_unique<TISpeller>(language, std::move(entry), SpellerDir_, PersonalDirectory(),
                                                  Timeouts);
            speller->OnFailure = [this](const std::string& message) {
                if (OnSpellerFailed)
                    OnSpellerFailed(message);
            };
        }
        it = Spellers_.emplace(key, std::move(speller)).first;
    }
    TISpeller* speller = it->second.get();
    return speller && !speller->Failed() ? speller : nullptr;
}

bool TSpellChecker::IsWordCorrect(std::string_view word, int language)
{
    TISpeller* speller = GetSpeller(language);
    if (!speller)
        return true;
    std::size_t pos = 0;
    std::size_t length = 0;
    return speller->FindMisspelling(word, 0, pos, length, Options) == msNone;
}

bool TSpellChecker::AddToDictionary(std::string_view word, int language)
{
    TISpeller* speller = GetSpeller(language);
    return speller && speller->AddWord(word);
}

void TSpellChecker::GetSuggestions(std::string_view word, int language, std::vector<std::string>& list)
{
    list.clear();
    TISpeller* speller = GetSpeller(language);
    if (speller)
        speller->SuggestionsFor(word, list);
}

int SpellLanguageOfCharset(int charset, int checkerLanguage) noexcept
{
    const int language = RtfLanguageOfCharset(charset);
    return language == 0 || language == 1024 ? checkerLanguage : language;
}

} // namespace xq

// The bridge between the editor's text and the spell checker: the language of a text style, the words
// the user chose to ignore, and the replacements the user chose.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "spelling/SpellChecker.h"

namespace xq {

class TRVStyle;

/// (word, language) pairs the user chose to ignore for the rest of the run.
class TIgnoreCollection {
public:
    static constexpr std::size_t MaxCount = 100000;
    /// False when the collection is full.
    bool Add(std::string_view word, int language);
    [[nodiscard]] bool Contains(std::string_view word, int language) const;
    [[nodiscard]] std::size_t Count() const noexcept { return Items_.size(); }
    void Clear() noexcept { Items_.clear(); }

private:
    std::set<std::pair<std::string, int>, std::less<>> Items_;
};

/// (word, replacement, language) triples: a word replaced everywhere.
class TReplaceCollection {
public:
    struct TItem {
        std::string Word;
        std::string Replacement;
        int Language = 0;
    };
    static constexpr std::size_t MaxCount = 100000;
    /// Adds or replaces the replacement of the word; false when the collection is full.
    bool Add(std::string_view word, std::string_view replacement, int language);
    [[nodiscard]] const TItem* Find(std::string_view word, int language) const;
    [[nodiscard]] const std::vector<TItem>& Items() const noexcept { return Items_; }

private:
    std::vector<TItem> Items_;
};

class TRVXQSpell {
public:
    TRVXQSpell(TSpellChecker& checker, const TRVStyle& style) : Checker_(checker), Style_(style) {}

    /// The language of the text style's charset; the checker's language when the charset names none.
    [[nodiscard]] int LanguageOfStyle(int textStyle) const;
    /// True when the word (UTF-8) in that text style is correct: one character or less, ignored for
    /// its language, or accepted by the speller of its language.
    [[nodiscard]] bool CheckWord(std::string_view word, int textStyle);

    TIgnoreCollection IgnoreList;
    TReplaceCollection ReplaceList;

private:
    TSpellChecker& Checker_;
    const TRVStyle& Style_;
};

/// The number of characters of a UTF-8 text (bytes that do not continue a character).
[[nodiscard]] std::size_t Utf8CharacterCount(std::string_view text) noexcept;

} // namespace xq

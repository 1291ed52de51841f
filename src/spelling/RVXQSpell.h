// The bridge between the editor's text and the spell checker: the language of a text style, the words
// the user chose to ignore, and the replacements the user chose.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "spelling/SpellChecker.h"

namespace xq {

class TCustomDocViewEdit;
class TRVStyle;

/// The answers of the spelling dialog, as its buttons close it.
enum class TSpellFormResult : int {
    Add = 1,
    Cancel = 2,
    Change = 6,
    Ignore = 7,
    IgnoreAll = 9,
    ChangeAll = 10,
};

/// What the check of a document reports after each answer of the dialog (Cancel reports nothing).
enum TRVXQSpellFormAction : int {
    sfaIgnore = 0,
    sfaIgnoreAll = 1,
    sfaChange = 2,
    sfaChangeAll = 3,
    sfaAdd = 4,
};

/// The spelling dialog as the check of a document uses it: made on the first misspelling of a
/// run, asked at each one, freed when the run ends.
class TSpellForm {
public:
    virtual ~TSpellForm() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    /// Shows the word (UTF-8) with the suggestions, the first one selected, in the charset of
    /// its text style, and waits for the answer; editLine receives the text of the edit line.
    virtual TSpellFormResult Ask(const std::string& word, const std::vector<std::string>& suggestions, int charset,
                                 std::string& editLine) = 0;
};

/// What a check of a document found.
struct TSpellCheckOutcome {
    /// Words the dialog was shown for.
    int Misspellings = 0;
    /// Words of languages without a working speller: they could not be checked.
    int Unchecked = 0;
    /// The user cancelled the dialog.
    bool Cancelled = false;
};

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
    [[nodiscard]] std::size_t Count() const noexcept { return Items_.size(); }

private:
    /// Looked up for every word of a check: by word and language.
    std::map<std::pair<std::string, int>, TItem> Items_;
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

    /// Makes the spelling dialog; the run stops when it gives none.
    std::function<std::unique_ptr<TSpellForm>()> CreateSpellForm;
    /// Once per run, when the dialog has been made.
    std::function<void(TSpellForm& form)> OnSpellForm;
    /// After every answer but Cancel, with the word, the text of the dialog's edit line and the
    /// word's language.
    std::function<void(const std::string& word, const std::string& replaceTo, TRVXQSpellFormAction action,
                       int language)>
        OnSpellFormAction;
    /// Now and then during a long run, so that the window can paint; must not change the document.
    std::function<void()> OnYield;

    /// Checks the words of the editor's document, its table cells included: from the document's
    /// start, or from the word at the caret of the innermost editor. Each misspelled word is
    /// selected and shown in the dialog; the words changed are changed as edits of the editor.
    TSpellCheckOutcome CheckDocument(TCustomDocViewEdit& editor, bool fromStart);

    [[nodiscard]] TSpellChecker& Checker() noexcept { return Checker_; }
    [[nodiscard]] const TRVStyle& Style() const noexcept { return Style_; }

private:
    TSpellChecker& Checker_;
    const TRVStyle& Style_;
};

/// The number of characters of a UTF-8 text (bytes that do not continue a character).
[[nodiscard]] std::size_t Utf8CharacterCount(std::string_view text) noexcept;

} // namespace xq

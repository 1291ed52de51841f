// One ISpell child process for one language, driven through its pipe protocol ("ispell -a"): words
// are checked, suggestions read, words added to the personal dictionary or accepted for the session.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ChildProcess.h"
#include "spelling/SpellLanguages.h"

namespace xq {

/// The characters that end a word of the editor's text.
inline constexpr std::string_view SpellWordDelimiters = " <>!.,;:/\\|\"[]{}()+_=`~@&$%^*?#-";
[[nodiscard]] constexpr bool IsSpellWordDelimiter(char c) noexcept
{
    return SpellWordDelimiters.find(c) != std::string_view::npos;
}

/// Words longer than this (in the bytes sent) are cut by ISpell, which takes 98 bytes whole; they
/// cannot be checked and count as correct.
inline constexpr std::size_t MaxSpellWordBytes = 98;

/// What FindMisspelling found.
enum TMisspelling { msNone = 0, msMisspelled = 1, msAutoReplace = 2 };

/// The code page of KOI8-R.
inline constexpr int Koi8RCodePage = 20866;
/// The code words are sent in to the speller of a language: SpellerCodePage of the entry's charset,
/// except that Russian (1049) and Ukrainian (1058) without a charset take KOI8-R.
[[nodiscard]] int SpellerCodePageFor(std::string_view charset, int language);

/// A word (UTF-8) in the speller's code page. False when it cannot be sent: empty, a character the
/// code page lacks, a control character, or longer than MaxSpellWordBytes.
[[nodiscard]] bool EncodeSpellerWord(std::string_view word, int codePage, std::string& bytes);
/// Text of a reply in UTF-8.
[[nodiscard]] std::string DecodeSpellerText(std::string_view bytes, int codePage);

/// The German message shown once when a speller stopped answering and could not be started again.
[[nodiscard]] std::string SpellerFailedMessage(std::string_view languageName);

/// The speller of one language. All texts are UTF-8; they are sent in the code page the entry's charset
/// names (see SpellerCodePage). Every operation is safe from several threads: one lock is held around
/// each question and its answer.
///
/// A word the personal dictionary may take as it is: letters and digits, an apostrophe or a hyphen
/// between them.
[[nodiscard]] bool IsDictionaryWord(std::string_view word) noexcept;

/// A speller that fails to start, or whose child stops answering twice, is failed for good: every word
/// is then correct, there are no suggestions and no dictionary commands are sent.
class TISpeller {
public:
    /// Time limits of the protocol.
    struct TTimeouts {
        std::chrono::milliseconds Banner{10000};
        std::chrono::milliseconds Reply{5000};
        std::chrono::milliseconds Write{2000};
        std::chrono::milliseconds Stop{2000};
    };

    /// homeDir becomes HOME of the child: where ISpell keeps the personal dictionary. The child is
    /// started at once; Failed() tells whether that worked.
    TISpeller(int language, TSpellListObj entry, std::filesystem::path spellerDir, std::filesystem::path homeDir,
              TTimeouts timeouts);
    TISpeller(int language, TSpellListObj entry, std::filesystem::path spellerDir, std::filesystem::path homeDir)
        : TISpeller(language, std::move(entry), std::move(spellerDir), std::move(homeDir), TTimeouts{}) {}
    /// Closes the child's input (ISpell then saves its personal dictionary), waits for it and reaps it.
    ~TISpeller();
    TISpeller(const TISpeller&) = delete;
    TISpeller& operator=(const TISpeller&) = delete;

    /// Called (outside the lock) with the German message when the speller is switched off mid-run.
    std::function<void(const std::string& message)> OnFailure;

    [[nodiscard]] int Language() const noexcept { return Language_; }
    [[nodiscard]] const TSpellListObj& Entry() const noexcept { return Entry_; }
    [[nodiscard]] bool Failed() const;
    /// The child's process id while one runs, else -1 (for tests and diagnostics).
    [[nodiscard]] int ProcessId() const;

    /// One word, without looking for delimiters. Words that cannot be sent safely (control characters,
    /// longer than MaxSpellWordBytes, characters the speller's code page lacks) count as correct.
    /// A misspelled word becomes CurrentWord and its reply the source of Suggestions.
    [[nodiscard]] bool IsWordCorrect(std::string_view word);

    /// Looks for the next misspelled word of text from byte offset startPos. Gives msNone, or the word's
    /// byte offset and length with msMisspelled, or msAutoReplace when the word has an automatic
    /// replacement (then CurrentReplacement).
    [[nodiscard]] TMisspelling FindMisspelling(std::string_view text, std::size_t startPos, std::size_t& wordPos,
                                               std::size_t& wordLength, TSpellOptions options = DefaultSpellOptions);

    [[nodiscard]] std::string CurrentWord() const;
    [[nodiscard]] std::string CurrentReplacement() const;
    /// The suggestions for the last misspelled word, in ISpell's order.
    void Suggestions(std::vector<std::string>& list) const;
    /// Checks the word and gives its suggestions in one question under the lock, so that another
    /// thread's question cannot come between; false (and no suggestions) when it is correct.
    bool SuggestionsFor(std::string_view word, std::vector<std::string>& list);

    /// Adds the word to the personal dictionary (and saves it). False when the word cannot be a
    /// dictionary word (blanks, delimiters, control characters, too long) or the speller is failed.
    bool AddWord(std::string_view word);
    /// Accepts the word for the rest of the session.
    bool AcceptWord(std::string_view word);
    void AddAutoReplacement(std::string_view word, std::string_view replacement);

    /// Verdicts kept per word, so that a word is asked once.
    static constexpr std::size_t MaxCachedVerdicts = 50000;

private:
    struct TVerdict {
        bool Correct = true;
        std::string Reply; // the reply line of a misspelled word (speller's code)
    };
    enum class TAsk { Answered, Failed };

    bool StartLocked();
    /// Sends a line; reads the reply lines up to the empty line when withReply.
    TAsk AskLocked(const std::string& line, bool withReply, std::vector<std::string>* reply);
    /// Asks, and when the child died restarts it once and asks again; fails the speller otherwise.
    /// Sends command, the word and after (adding or accepting a word) under the lock; false
    /// when the word cannot be sent or the speller does not answer.
    bool SendWordCommand(std::string_view word, char command, std::string_view after);
    TAsk AskWithRestartLocked(const std::string& line, bool withReply, std::vector<std::string>* reply,
                              std::string& failureMessage);
    void FailLocked();
    [[nodiscard]] bool EncodeWord(std::string_view word, std::string& bytes) const;
    [[nodiscard]] std::string DecodeText(std::string_view bytes) const;
    [[nodiscard]] bool CheckLocked(std::string_view word, std::string& failureMessage);
    void Report(const std::string& failureMessage);

    const int Language_;
    const TSpellListObj Entry_;
    const std::filesystem::path SpellerDir_;
    const std::filesystem::path HomeDir_;
    const TTimeouts Timeouts_;
    const int CodePage_;

    mutable std::mutex Lock_;
    TChildProcess Child_;
    bool Failed_ = false;
    bool Restarted_ = false;
    std::string LastReply_;
    std::string CurrentWord_;
    std::string CurrentReplacement_;
    std::vector<std::pair<std::string, std::string>> AutoReplacements_;
    std::unordered_map<std::string, TVerdict> Verdicts_;
};

/// The suggestions of an ISpell reply line: after the first ":" of a "&" or "?" line, split at commas
/// and trimmed; none for "#" or any other line.
[[nodiscard]] std::vector<std::string> SuggestionsOfReply(std::string_view reply);

} // namespace xq

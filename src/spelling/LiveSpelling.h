// Live spelling: the words of the document and of its table cells are checked while the user works,
// and misspelled words get a mark that the painter draws as a red zig-zag.
//
// The document belongs to the user-interface thread. It alone reads the items, splits their text into
// words, keeps the marks and decides what is checked; a worker thread only asks the speller about
// words. The user-interface thread hands the worker bounded batches of words; each item waiting for
// answers is remembered with where it is, which item it is and its text as it was read. The answers
// come back through a queue and are applied on the user-interface thread, to an item only when it is
// still there with the same text; otherwise it is read again. So an edit never waits for the worker,
// and the worker never sees the document.
//
// Words already answered are kept with their verdict (per language), so that after an edit only the
// words not seen before go to the worker and the marks of the other words are set at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "document/ItemInfo.h"

namespace xq {

class TCustomRVData;
class TRVItemText;
class TRVStyle;

/// A word of an item's text: its first character (1-based, as caret offsets) and its length in
/// characters.
struct TRVLiveWord {
    int Start = 0;
    int Length = 0;
    [[nodiscard]] bool operator==(const TRVLiveWord&) const = default;
};

/// The words of text. Delimiters (bytes of code page 1252; in Unicode text only characters up to
/// U+00FF can be delimiters) and apostrophes separate words; an apostrophe followed by more of the
/// word stays inside it.
void FindLiveWords(const TRVItemText& text, std::string_view delimiters, std::vector<TRVLiveWord>& words);

/// Link text that is an address rather than words: it starts with a scheme such as "http://",
/// "mailto:" or "www." (letter case aside), or holds an "@" followed later by a ".".
[[nodiscard]] bool IsAddressText(std::u16string_view text) noexcept;

/// The characters from..from+length-1 (1-based) of an item's text as UTF-8, 8-bit text read in codePage.
[[nodiscard]] std::string ItemWordUtf8(const TRVItemText& text, int from, int length, int codePage);

/// The count best of the speller's suggestions for word: the closest first (the fewest characters
/// to insert, delete, change or swap, a doubled letter counting half), then those keeping the word's
/// first letter, the speller's order among equal ones.
[[nodiscard]] std::vector<std::string> BestSuggestions(std::string_view word, std::vector<std::string> suggestions,
                                                       std::size_t count);

/// The number of marks in the document and its sub-documents.
[[nodiscard]] int CountMisspellings(const TCustomRVData& root);

class TRVLiveSpelling {
public:
    /// Words sent to the worker at once, and the most batches on their way at a time.
    static constexpr std::size_t BatchWords = 64;
    static constexpr int MaxBatchesInFlight = 2;
    /// The most items waiting for answers; reading stops until answers come.
    static constexpr std::size_t MaxWaitingItems = 512;
    /// Verdicts kept; the memory is given back when there are more.
    static constexpr std::size_t MaxVerdicts = 200000;

    /// Checks the document root with the style sheet sheet; both outlive this object.
    TRVLiveSpelling(TCustomRVData& root, const TRVStyle& sheet);
    /// Ends the worker; a word being checked is finished first.
    ~TRVLiveSpelling();
    TRVLiveSpelling(const TRVLiveSpelling&) = delete;
    TRVLiveSpelling& operator=(const TRVLiveSpelling&) = delete;

    // --- Settings (user-interface thread, before Start) ---------------------------------------------
    /// The characters that end a word (the editor's delimiters).
    std::string Delimiters;
    /// The language of a text style; without it the style number stands for the language.
    std::function<int(int styleNo)> LanguageOfStyle;
    /// A word the user chose to ignore counts as correct without asking.
    std::function<bool(const std::string& word, int language)> IsIgnored;
    /// Asked on the worker thread: true when the word (UTF-8) is misspelled in the language. It must
    /// be safe to call there while the user-interface thread goes on.
    std::function<bool(const std::string& word, int language)> OnSpellingCheck;
    /// Called on the worker thread when answers are waiting: ApplyAnswers should run soon on the
    /// user-interface thread.
    std::function<void()> OnAnswersReady;
    /// Called (user-interface thread) when a misspelled word was marked.
    std::function<void()> OnMisspellingFound;

    // --- Running (user-interface thread) ------------------------------------------------------------
    /// Removes all marks and checked flags and checks the whole document from its start.
    void Start();
    /// Ends checking: answers on their way are forgotten, all marks and checked flags go. True when
    /// marks were removed.
    bool Stop();
    [[nodiscard]] bool Active() const noexcept { return Active_; }
    /// Reading the document can go on now: it is not read to its end, and the worker takes more.
    [[nodiscard]] bool WantsStep() const noexcept;
    /// Nothing left to read and no answers awaited.
    [[nodiscard]] bool Finished() const noexcept;
    /// Reads items from where reading stands, about budget units of work (an item or a word each),
    /// and sends the words that have no verdict yet to the worker. True when marks changed.
    bool Step(int budget);
    /// Applies the answers that came back. True when marks changed.
    bool ApplyAnswers();
    /// The document changed around item rootItemNo of the document: reading goes over it again (the
    /// editor has cleared the checked flags of the changed items and moved their marks).
    void DocumentChanged(int rootItemNo);
    /// The user is typing a word in item at offset (the caret): that word is not marked until the
    /// caret leaves it or the word ends (ReleaseHeldWord), so that a word half typed shows no mark.
    /// The item is compared with the items read, never read itself.
    void HoldWordAt(const TCustomRVItemInfo* item, int offset) noexcept;
    /// The held word is checked like any other now.
    void ReleaseHeldWord() noexcept;
    [[nodiscard]] bool HoldsWord() const noexcept { return HeldItem_ != nullptr; }
    [[nodiscard]] bool HoldsWordAt(const TCustomRVItemInfo* item, int offset) const noexcept
    {
        return HeldItem_ && HeldItem_ == item && HeldOffset_ == offset;
    }
    /// Removes every mark of word (UTF-8, letter case counts) in text of language, and forgets its
    /// verdict (it may have been added to the dictionary). True when marks went.
    bool UnmarkWord(std::string_view word, int language);

    /// For tests and benchmarks: batches sent and answers taken.
    [[nodiscard]] std::uint64_t BatchesSent() const noexcept { return BatchesSent_; }

private:
    /// Where an item waiting for answers was: the path of (item, sub-document) pairs down from the
    /// document, the item's index in that container, and the item itself (only compared, never
    /// read, before it is found again in the document).
    struct TItemRef {
        std::vector<std::pair<int, int>> Path;
        int ItemNo = 0;
        const TCustomRVItemInfo* Item = nullptr;
    };
    struct TWaitingItem {
        TItemRef Ref;
        std::string Text;
        int StyleNo = 0;
        std::vector<TRVLiveWord> Words;
        /// Per word: its verdict key, empty when the word is correct without asking.
        std::vector<std::string> Keys;
    };
    struct TBatch {
        std::uint64_t Epoch = 0;
        std::vector<std::pair<std::string, int>> Words;
        std::vector<char> Misspelled;
    };

    void WorkerLoop();
    /// Forgets everything on its way; reading starts again at the document's start.
    void Reset();
    /// Sends the words collected, when the worker takes more; false when it does not.
    bool Flush();
    /// Reads one text item; returns the work it took.
    int ReadItem(TCustomRVData& data, int itemNo, bool& changed);
    /// Gives the item the marks of its misspelled words and sets its checked flag.
    bool SetMarks(TCustomRVItemInfo& item, const std::vector<TRVLiveWord>& words, const std::vector<std::string>& keys);
    /// The container and index of a waiting item when it is still there with the same text.
    [[nodiscard]] bool Find(const TWaitingItem& waiting, TCustomRVData*& data, int& itemNo) const;
    /// Items whose answers are all in get their marks.
    bool CompleteWaiting();
    [[nodiscard]] static std::string KeyOf(const std::string& word, int language);
    [[nodiscard]] int LanguageOf(int styleNo) const { return LanguageOfStyle ? LanguageOfStyle(styleNo) : styleNo; }

    TCustomRVData& Root_;
    const TRVStyle& Sheet_;
    bool Active_ = false;

    // Reading position: the (item, sub-document) pairs down to the container being read, and the
    // item in it.
    std::vector<std::pair<int, int>> Path_;
    int ItemNo_ = 0;
    /// The document has changed since this reading round started: another round follows.
    bool Dirty_ = false;
    /// The round reached the document's end with nothing changed.
    bool ReadToEnd_ = true;

    std::unordered_map<std::string, bool> Verdicts_;
    std::unordered_set<std::string> Asked_;
    std::vector<std::pair<std::string, int>> Outgoing_;
    std::deque<TWaitingItem> Waiting_;
    std::unordered_set<const TCustomRVItemInfo*> WaitingItems_;
    int InFlight_ = 0;
    std::uint64_t BatchesSent_ = 0;
    const TCustomRVItemInfo* HeldItem_ = nullptr;
    int HeldOffset_ = 0;

    // Shared with the worker.
    std::mutex Lock_;
    std::condition_variable Wake_;
    std::deque<TBatch> Queue_;
    std::deque<TBatch> Answers_;
    bool Quit_ = false;
    std::atomic<std::uint64_t> Epoch_{0};
    std::thread Worker_;
};

} // namespace xq

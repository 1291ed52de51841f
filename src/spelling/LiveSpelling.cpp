// Live spelling: reading the document on the user-interface thread, the worker that asks the speller,
// and applying its answers.
#include "spelling/LiveSpelling.h"

#include <algorithm>
#include <array>
#include <cwctype>

#include "document/ItemText.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "editing/MisspellingMarks.h"
#include "platform/CodePage.h"
#include "platform/FontTypes.h"
#include "spelling/RVXQSpell.h"

namespace xq {

namespace {

[[nodiscard]] bool IsDelimiter(char16_t c, std::string_view delimiters) noexcept
{
    return c <= 0xFF && delimiters.find(char(std::uint8_t(c))) != std::string_view::npos;
}

[[nodiscard]] char16_t Lower(char16_t c) noexcept
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

[[nodiscard]] bool StartsWithNoCase(std::u16string_view text, std::string_view prefix) noexcept
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != char16_t(prefix[i]))
            return false;
    return true;
}

/// The first sub-document of item from index from on, -1 when none.
[[nodiscard]] int NextSubDocument(const TCustomRVItemInfo& item, int from) noexcept
{
    for (int s = std::max(from, 0); s < item.SubDocumentCount(); ++s)
        if (item.SubDocument(s))
            return s;
    return -1;
}

/// Calls visit(data, itemNo, item) for every item of root and of the containers its items hold.
template <typename Visit>
void ForEachItem(const TCustomRVData& data, const Visit& visit)
{
    for (int i = 0; i < data.Count(); ++i) {
        TCustomRVItemInfo& item = data.ItemAt(i);
        visit(data, i, item);
        for (int s = 0; s < item.SubDocumentCount(); ++s)
            if (const TCustomRVData* sub = item.SubDocument(s))
                ForEachItem(*sub, visit);
    }
}

} // namespace

void FindLiveWords(const TRVItemText& text, std::string_view delimiters, std::vector<TRVLiveWord>& words)
{
    words.clear();
    const int n = text.Length();
    const bool unicode = text.Unicode();
    int i = 0;
    while (i < n) {
        const char16_t c = text.UnitAt(i);
        if (IsDelimiter(c, delimiters) || IsWordApostrophe(c, unicode)) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < n) {
            const char16_t w = text.UnitAt(i);
            if (IsDelimiter(w, delimiters))
                break;
            if (IsWordApostrophe(w, unicode) && (i + 1 >= n || IsDelimiter(text.UnitAt(i + 1), delimiters)))
                break;
            ++i;
        }
        words.push_back({start + 1, i - start});
    }
}

bool IsAddressText(std::u16string_view text) noexcept
{
    static constexpr std::array<std::string_view, 11> Schemes = {
        "http://", "ftp://", "file://", "gopher://", "mailto:", "https://", "news:", "telnet:", "wais:", "www.", "ftp."};
    for (std::string_view scheme : Schemes)
        if (StartsWithNoCase(text, scheme))
            return true;
    const std::size_t at = text.find(u'@');
    if (at == std::u16string_view::npos)
        return false;
    const std::size_t dot = text.rfind(u'.');
    return dot != std::u16string_view::npos && dot > at;
}

std::string ItemWordUtf8(const TRVItemText& text, int from, int length, int codePage)
{
    const auto size = std::size_t(text.CharSize());
    const std::string_view bytes = text.Bytes().substr(std::size_t(from - 1) * size, std::size_t(length) * size);
    return Utf16ToUtf8(TRVItemText(bytes, text.Unicode()).Utf16(codePage));
}

namespace {

/// How far a is from b in half steps: inserting, deleting or changing a character, or swapping two
/// beside each other, is two; doubling a letter or undoing a doubled one (the commonest slip) is one.
std::size_t EditDistance(const std::u16string& a, const std::u16string& b)
{
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i)
        d[i][0] = 2 * i;
    for (std::size_t j = 0; j <= m; ++j)
        d[0][j] = 2 * j;
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 2;
            const std::size_t insert = j > 1 && b[j - 1] == b[j - 2] ? 1 : 2;
            const std::size_t remove = i > 1 && a[i - 1] == a[i - 2] ? 1 : 2;
            d[i][j] = std::min({d[i - 1][j] + remove, d[i][j - 1] + insert, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 2);
        }
    return d[n][m];
}

} // namespace

std::vector<std::string> BestSuggestions(std::string_view word, std::vector<std::string> suggestions, std::size_t count)
{
    const std::u16string from = Utf8ToUtf16(word);
    std::vector<std::pair<std::size_t, std::string>> ranked;
    ranked.reserve(suggestions.size());
    for (std::string& s : suggestions)
        ranked.emplace_back(EditDistance(from, Utf8ToUtf16(s)), std::move(s));
    // Among equally close ones, those that keep the first letter (slips there are rare).
    const auto first = [](const std::u16string& s) { return s.empty() ? 0 : std::towlower(wint_t(s[0])); };
    const auto keepsFirst = [&](const std::string& s) { return first(Utf8ToUtf16(s)) == first(from); };
    std::stable_sort(ranked.begin(), ranked.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return keepsFirst(a.second) && !keepsFirst(b.second);
    });
    std::vector<std::string> best;
    for (std::size_t i = 0; i < ranked.size() && best.size() < count; ++i)
        best.push_back(std::move(ranked[i].second));
    return best;
}

int CountMisspellings(const TCustomRVData& root)
{
    int count = 0;
    ForEachItem(root, [&count](const TCustomRVData&, int, TCustomRVItemInfo& item) {
        if (item.Misspellings)
            count += static_cast<int>(item.Misspellings->size());
    });
    return count;
}

// ---------------------------------------------------------------------------------------------
// The worker

TRVLiveSpelling::TRVLiveSpelling(TCustomRVData& root, const TRVStyle& sheet) : Root_(root), Sheet_(sheet) {}

TRVLiveSpelling::~TRVLiveSpelling()
{
    {
        std::lock_guard lock(Lock_);
        Quit_ = true;
        Queue_.clear();
    }
    ++Epoch_;
    Wake_.notify_all();
    if (Worker_.joinable())
        Worker_.join();
}

void TRVLiveSpelling::WorkerLoop()
{
    for (;;) {
        TBatch batch;
        {
            std::unique_lock lock(Lock_);
            Wake_.wait(lock, [this] { return Quit_ || !Queue_.empty(); });
            if (Quit_)
                return;
            batch = std::move(Queue_.front());
            Queue_.pop_front();
        }
        batch.Misspelled.assign(batch.Words.size(), 0);
        for (std::size_t i = 0; i < batch.Words.size(); ++i) {
            // A restart or a stop makes the rest of an old batch useless.
            if (Epoch_.load() != batch.Epoch)
                break;
            bool misspelled = false;
            try {
                misspelled = OnSpellingCheck && OnSpellingCheck(batch.Words[i].first, batch.Words[i].second);
            } catch (...) {
                // A speller that fails counts the word as correct, as a failed speller does.
            }
            batch.Misspelled[i] = misspelled ? 1 : 0;
        }
        {
            std::lock_guard lock(Lock_);
            if (Quit_)
                return;
            Answers_.push_back(std::move(batch));
        }
        if (OnAnswersReady)
            OnAnswersReady();
    }
}

// ---------------------------------------------------------------------------------------------
// Starting and stopping

void TRVLiveSpelling::Reset()
{
    ++Epoch_;
    {
        std::lock_guard lock(Lock_);
        Queue_.clear();
        Answers_.clear();
    }
    InFlight_ = 0;
    Verdicts_.clear();
    Asked_.clear();
    Outgoing_.clear();
    Waiting_.clear();
    WaitingItems_.clear();
    Path_.clear();
    ItemNo_ = 0;
    Dirty_ = false;
    ReadToEnd_ = false;
    HeldItem_ = nullptr;
}

void TRVLiveSpelling::Start()
{
    if (!Worker_.joinable())
        Worker_ = std::thread([this] { WorkerLoop(); });
    Stop();
    Active_ = true;
    ReadToEnd_ = false;
}

bool TRVLiveSpelling::Stop()
{
    Active_ = false;
    Reset();
    ReadToEnd_ = true;
    bool removed = false;
    ForEachItem(Root_, [&removed](const TCustomRVData&, int, TCustomRVItemInfo& item) {
        ClearCheckedFlag(item);
        if (item.Misspellings) {
            item.Misspellings.reset();
            removed = true;
        }
    });
    return removed;
}

bool TRVLiveSpelling::WantsStep() const noexcept
{
    return Active_ && !ReadToEnd_ && Waiting_.size() < MaxWaitingItems &&
           (InFlight_ < MaxBatchesInFlight || Outgoing_.size() < BatchWords);
}

bool TRVLiveSpelling::Finished() const noexcept
{
    return ReadToEnd_ && Waiting_.empty() && InFlight_ == 0 && Outgoing_.empty();
}

void TRVLiveSpelling::DocumentChanged(int rootItemNo)
{
    if (!Active_)
        return;
    Dirty_ = true;
    ReadToEnd_ = false;
    // Reading goes on from the changed item when that lies before where it stands; the round then
    // goes on to the end and once more from the start, so that nothing changed is passed over.
    const int at = Path_.empty() ? ItemNo_ : Path_.front().first;
    if (rootItemNo >= 0 && rootItemNo < at) {
        Path_.clear();
        ItemNo_ = rootItemNo;
    }
}

void TRVLiveSpelling::HoldWordAt(const TCustomRVItemInfo* item, int offset) noexcept
{
    if (HeldItem_ && (HeldItem_ != item || HeldOffset_ != offset))
        ReleaseHeldWord();
    HeldItem_ = item;
    HeldOffset_ = offset;
}

void TRVLiveSpelling::ReleaseHeldWord() noexcept
{
    if (!HeldItem_)
        return;
    HeldItem_ = nullptr;
    // The item it was in was left unchecked: another round reads it.
    Dirty_ = true;
    ReadToEnd_ = !Active_;
}

// ---------------------------------------------------------------------------------------------
// Reading

std::string TRVLiveSpelling::KeyOf(const std::string& word, int language)
{
    std::string key = std::to_string(language);
    key += '\x1F';
    key += word;
    return key;
}

bool TRVLiveSpelling::Flush()
{
    if (Outgoing_.empty())
        return true;
    if (InFlight_ >= MaxBatchesInFlight)
        return false;
    TBatch batch;
    batch.Epoch = Epoch_.load();
    batch.Words = std::move(Outgoing_);
    Outgoing_.clear();
    {
        std::lock_guard lock(Lock_);
        Queue_.push_back(std::move(batch));
    }
    Wake_.notify_one();
    ++InFlight_;
    ++BatchesSent_;
    return true;
}

bool TRVLiveSpelling::SetMarks(TCustomRVItemInfo& item, const std::vector<TRVLiveWord>& words,
                               const std::vector<std::string>& keys)
{
    std::vector<TRVMisspelling> marks;
    const bool holding = &item == HeldItem_;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!keys[i].empty()) {
            // The word being typed waits; the item stays unchecked, to be read when it is let go.
            if (holding && HeldOffset_ >= words[i].Start && HeldOffset_ <= words[i].Start + words[i].Length)
                continue;
            const auto verdict = Verdicts_.find(keys[i]);
            if (verdict != Verdicts_.end() && verdict->second)
                marks.push_back({words[i].Start, words[i].Length});
        }
    if (!holding)
        item.State |= 1u;
    const bool had = item.Misspellings && !item.Misspellings->empty();
    bool changed = had != !marks.empty();
    if (!changed && had) {
        const std::vector<TRVMisspelling>& old = *item.Misspellings;
        changed = old.size() != marks.size() ||
                  !std::equal(old.begin(), old.end(), marks.begin(), [](const TRVMisspelling& a, const TRVMisspelling& b) {
                      return a.Start == b.Start && a.Length == b.Length;
                  });
    }
    if (marks.empty()) {
        item.Misspellings.reset();
    } else {
        item.Misspellings = std::make_unique<std::vector<TRVMisspelling>>(std::move(marks));
        if (OnMisspellingFound)
            OnMisspellingFound();
    }
    return changed;
}

int TRVLiveSpelling::ReadItem(TCustomRVData& data, int itemNo, bool& changed)
{
    TCustomRVItemInfo& item = data.ItemAt(itemNo);
    const int styleNo = data.ActualStyleOf(itemNo);
    const TRVItemText text = TRVItemText::Of(data, itemNo);
    if (styleNo < 0 || styleNo >= Sheet_.TextStyles.Count()) {
        item.State |= 1u;
        return 1;
    }
    const TFontInfo& style = Sheet_.TextStyles.StyleAt(styleNo);
    const int codePage = Sheet_.CodePageOfStyle(styleNo);
    // Symbol fonts hold no words, and a link's address is no word either.
    if (style.Charset == SYMBOL_CHARSET || (style.Jump && IsAddressText(text.Utf16(codePage)))) {
        if (item.Misspellings) {
            item.Misspellings.reset();
            changed = true;
        }
        item.State |= 1u;
        return 1;
    }

    TWaitingItem waiting;
    FindLiveWords(text, Delimiters, waiting.Words);
    const int language = LanguageOf(styleNo);
    bool answered = true;
    waiting.Keys.resize(waiting.Words.size());
    for (std::size_t i = 0; i < waiting.Words.size(); ++i) {
        const TRVLiveWord& w = waiting.Words[i];
        std::string word = ItemWordUtf8(text, w.Start, w.Length, codePage);
        if (Utf8CharacterCount(word) <= 1 || (IsIgnored && IsIgnored(word, language)))
            continue;
        std::string key = KeyOf(word, language);
        if (!Verdicts_.count(key)) {
            answered = false;
            if (Asked_.insert(key).second)
                Outgoing_.emplace_back(std::move(word), language);
        }
        waiting.Keys[i] = std::move(key);
    }
    const int work = 1 + static_cast<int>(waiting.Words.size());
    if (answered) {
        changed |= SetMarks(item, waiting.Words, waiting.Keys);
        return work;
    }
    waiting.Ref = TItemRef{Path_, itemNo, &item};
    waiting.Text = data.TextAt(itemNo);
    waiting.StyleNo = item.StyleNo;
    WaitingItems_.insert(&item);
    Waiting_.push_back(std::move(waiting));
    return work;
}

bool TRVLiveSpelling::Step(int budget)
{
    if (!Active_)
        return false;
    bool changed = false;
    // The containers down the reading path, checked against the document as it is now.
    std::vector<TCustomRVData*> containers{&Root_};
    for (std::size_t k = 0; k < Path_.size(); ++k) {
        const auto [i, s] = Path_[k];
        TCustomRVData& data = *containers.back();
        TCustomRVData* sub = i < data.Count() && s < data.ItemAt(i).SubDocumentCount() ? data.ItemAt(i).SubDocument(s) : nullptr;
        if (!sub) {
            // The table read last is gone or smaller: go on after its place.
            Path_.resize(k);
            ItemNo_ = i + 1;
            break;
        }
        containers.push_back(sub);
    }

    while (budget > 0 && !ReadToEnd_) {
        if (Waiting_.size() >= MaxWaitingItems)
            break;
        if (Outgoing_.size() >= BatchWords && !Flush())
            break;
        TCustomRVData& data = *containers.back();
        if (ItemNo_ >= data.Count()) {
            if (Path_.empty()) {
                // The end of the document: another round when something changed meanwhile.
                if (Dirty_) {
                    Dirty_ = false;
                    ItemNo_ = 0;
                    continue;
                }
                ReadToEnd_ = true;
                break;
            }
            const auto [i, s] = Path_.back();
            Path_.pop_back();
            containers.pop_back();
            TCustomRVItemInfo& owner = containers.back()->ItemAt(i);
            const int next = NextSubDocument(owner, s + 1);
            if (next >= 0) {
                Path_.emplace_back(i, next);
                containers.push_back(owner.SubDocument(next));
                ItemNo_ = 0;
            } else {
                ItemNo_ = i + 1;
            }
            continue;
        }
        TCustomRVItemInfo& item = data.ItemAt(ItemNo_);
        --budget;
        if (const int first = NextSubDocument(item, 0); first >= 0) {
            Path_.emplace_back(ItemNo_, first);
            containers.push_back(item.SubDocument(first));
            ItemNo_ = 0;
            continue;
        }
        if (item.IsText() && !(item.State & 1u) && !WaitingItems_.count(&item))
            budget -= ReadItem(data, ItemNo_, changed);
        ++ItemNo_;
    }
    Flush();
    return changed;
}

// ---------------------------------------------------------------------------------------------
// Answers

bool TRVLiveSpelling::Find(const TWaitingItem& waiting, TCustomRVData*& data, int& itemNo) const
{
    data = &Root_;
    for (const auto& [i, s] : waiting.Ref.Path) {
        if (i < 0 || i >= data->Count() || s >= data->ItemAt(i).SubDocumentCount())
            return false;
        data = data->ItemAt(i).SubDocument(s);
        if (!data)
            return false;
    }
    itemNo = waiting.Ref.ItemNo;
    if (itemNo >= data->Count() || &data->ItemAt(itemNo) != waiting.Ref.Item)
        itemNo = data->IndexOf(waiting.Ref.Item);
    // Found by address only; the same text in the same style makes it the item that was read.
    return itemNo >= 0 && data->ItemAt(itemNo).StyleNo == waiting.StyleNo && data->TextAt(itemNo) == waiting.Text;
}

bool TRVLiveSpelling::CompleteWaiting()
{
    bool changed = false;
    for (auto it = Waiting_.begin(); it != Waiting_.end();) {
        const bool answered = std::all_of(it->Keys.begin(), it->Keys.end(),
                                          [this](const std::string& key) { return key.empty() || Verdicts_.count(key); });
        if (!answered) {
            ++it;
            continue;
        }
        TCustomRVData* data = nullptr;
        int itemNo = -1;
        if (Find(*it, data, itemNo)) {
            changed |= SetMarks(data->ItemAt(itemNo), it->Words, it->Keys);
        } else {
            // Changed or moved away meanwhile: read again.
            Dirty_ = true;
            ReadToEnd_ = false;
        }
        WaitingItems_.erase(it->Ref.Item);
        it = Waiting_.erase(it);
    }
    return changed;
}

bool TRVLiveSpelling::ApplyAnswers()
{
    std::deque<TBatch> answers;
    {
        std::lock_guard lock(Lock_);
        answers.swap(Answers_);
    }
    const std::uint64_t epoch = Epoch_.load();
    bool any = false;
    for (TBatch& batch : answers) {
        if (batch.Epoch != epoch || !Active_)
            continue;
        --InFlight_;
        any = true;
        for (std::size_t i = 0; i < batch.Words.size(); ++i) {
            std::string key = KeyOf(batch.Words[i].first, batch.Words[i].second);
            Asked_.erase(key);
            Verdicts_[std::move(key)] = batch.Misspelled[i] != 0;
        }
    }
    if (!any)
        return false;
    const bool changed = CompleteWaiting();
    if (Verdicts_.size() > MaxVerdicts) {
        // Items still waiting may need verdicts given back with the memory: they are read again.
        Verdicts_.clear();
        Waiting_.clear();
        WaitingItems_.clear();
        Dirty_ = true;
        ReadToEnd_ = false;
    }
    return changed;
}

bool TRVLiveSpelling::UnmarkWord(std::string_view word, int language)
{
    Verdicts_.erase(KeyOf(std::string(word), language));
    bool removed = false;
    ForEachItem(Root_, [&](const TCustomRVData& data, int itemNo, TCustomRVItemInfo& item) {
        if (!item.Misspellings || !item.IsText())
            return;
        const int styleNo = data.ActualStyleOf(itemNo);
        if (LanguageOf(styleNo) != language)
            return;
        const TRVItemText text = TRVItemText::Of(data, itemNo);
        const int codePage = Sheet_.CodePageOfStyle(styleNo);
        std::vector<TRVMisspelling>& marks = *item.Misspellings;
        const auto gone = std::remove_if(marks.begin(), marks.end(), [&](const TRVMisspelling& m) {
            return m.Start >= 1 && m.Start + m.Length - 1 <= text.Length() &&
                   ItemWordUtf8(text, m.Start, m.Length, codePage) == word;
        });
        if (gone != marks.end()) {
            marks.erase(gone, marks.end());
            removed = true;
        }
        TidyMarks(item);
    });
    return removed;
}

} // namespace xq

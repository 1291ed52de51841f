// Numbering of list markers and sequences.
#include "lists/Numbering.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"

namespace xq {

namespace {

/// Widths and precisions above this are refused, so that a template read from a file cannot
/// make us build huge marker texts.
constexpr int MaxFormatWidth = 4096;

/// n + 1 with the wrap-around of 32-bit arithmetic, as counters read from files may sit at the top.
[[nodiscard]] std::int32_t Succ(std::int32_t n) noexcept
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n) + 1u);
}

[[nodiscard]] char AsciiLower(char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] bool IsDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

/// A malformed template is shown as it stands, cut like a formatted one.
[[nodiscard]] std::string CutFormattedText(const std::string& text)
{
    return text.substr(0, std::min(text.size(), MaxFormattedText));
}

// The two lists a container keeps, seen alike: markers and sequences with their cached positions.
template <class T>
[[nodiscard]] const std::vector<T*>& EntriesOf(const TCustomRVData& data) noexcept;

template <>
const std::vector<TRVMarkerItemInfo*>& EntriesOf<TRVMarkerItemInfo>(const TCustomRVData& data) noexcept
{
    return data.Markers();
}

template <>
const std::vector<TRVSeqItemInfo*>& EntriesOf<TRVSeqItemInfo>(const TCustomRVData& data) noexcept
{
    return data.Sequences();
}

template <class T>
[[nodiscard]] int FindEntry(const std::vector<T*>& list, const T& item) noexcept
{
    const int cached = item.PosInList;
    if (cached >= 0 && cached < static_cast<int>(list.size()) && list[std::size_t(cached)] == &item)
        return cached;
    const auto found = std::find(list.begin(), list.end(), &item);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

template <class T>
[[nodiscard]] int EntriesBeforeItem(const TCustomRVData& data, int itemIndex)
{
    const std::vector<T*>& list = EntriesOf<T>(data);
    if (list.empty())
        return 0;
    // The nearest registered entry before the item; items on their way out are no longer listed.
    for (int k = std::min(itemIndex, data.Count()) - 1; k >= 0; --k)
        if (const auto* entry = dynamic_cast<const T*>(&data.ItemAt(k))) {
            const int pos = FindEntry(list, *entry);
            if (pos >= 0)
                return pos + 1;
        }
    return 0;
}

/// A place in the marker or sequence list of a container.
struct TCursor {
    const TCustomRVData* Data;
    int Index;
};

/// Moves to the previous entry in document order. Past the start of a note text's own list the
/// walk continues with the entries of the parent that precede the note item, up the chain.
template <class T>
[[nodiscard]] bool StepBack(TCursor& at)
{
    if (at.Index > 0) {
        --at.Index;
        return true;
    }
    const TCustomRVData* data = at.Data;
    while (const auto* sub = dynamic_cast<const TRVSubData*>(data)) {
        const TCustomRVData* parent = sub->GetParentData();
        if (!parent || !sub->OwnerItem())
            return false;
        const int noteIndex = parent->IndexOf(sub->OwnerItem());
        if (noteIndex < 0)
            return false;
        const int before = EntriesBeforeItem<T>(*parent, noteIndex);
        if (before > 0) {
            at = TCursor{parent, before - 1};
            return true;
        }
        data = parent;
    }
    return false;
}

template <class T>
[[nodiscard]] const T& EntryAt(const TCursor& at)
{
    return *EntriesOf<T>(*at.Data)[std::size_t(at.Index)];
}

/// The list style of a marker when it can number: it exists and has levels.
[[nodiscard]] const TRVListInfo* UsableList(const TRVStyle* sheet, int listNo)
{
    if (!sheet || !sheet->ListStyles.IsValidIndex(listNo))
        return nullptr;
    const TRVListInfo& list = sheet->ListStyles[listNo];
    return list.Levels.Count() > 0 ? &list : nullptr;
}

/// A marker's level, clamped to the levels the list has.
[[nodiscard]] int LevelIn(const TRVListInfo& list, int level) noexcept
{
    return std::clamp(level, 0, list.Levels.Count() - 1);
}

[[nodiscard]] std::int32_t CounterOf(const TCustomRVData& data, int pos, const TRVMarkerItemInfo& marker,
                                     const TRVListInfo& list)
{
    if (marker.Reset)
        return marker.StartFrom;
    const int level = LevelIn(list, marker.Level);
    const TRVListLevel& def = list.Levels[level];
    std::int32_t counter = def.StartFrom;
    TCursor at{&data, pos};
    while (StepBack<TRVMarkerItemInfo>(at)) {
        const TRVMarkerItemInfo& earlier = EntryAt<TRVMarkerItemInfo>(at);
        if (earlier.ListNo != marker.ListNo)
            continue;
        const int earlierLevel = LevelIn(list, earlier.Level);
        if (earlierLevel == level)
            return Succ(earlier.Counter);
        if (earlierLevel < level) {
            if (def.Options.Contains(rvloLevelReset))
                return def.StartFrom;
        } else {
            // Deeper items count as one item of this level, unless an earlier one of it is found.
            counter = Succ(def.StartFrom);
        }
    }
    return counter;
}

/// The text of a marker at level with counter; outer[k] is the counter an outer level k shows
/// (an earlier marker's), or nothing for its start value; it has one entry per level below level.
[[nodiscard]] std::string FormatMarkerText(const TRVListInfo& list, int level, std::int32_t counter,
                                           const std::vector<std::optional<std::int32_t>>& outer)
{
    const TRVListLevel& def = list.Levels[level];
    if (def.ListType == rvlstBullet) {
        static const std::array<std::string, 20> none{};
        return FormatStrings(def.FormatString, none).value_or(CutFormattedText(def.FormatString));
    }
    if (def.ListType < rvlstDecimal || def.ListType > rvlstUpperRoman)
        return {};

    const bool legal = def.Options.Contains(rvloLegalStyleNumbering);
    const auto kindOf = [&](int k) {
        const TRVListType kind = list.Levels[k].ListType;
        if (legal && k < level && kind >= rvlstLowerAlpha && kind <= rvlstUpperRoman)
            return rvlstDecimal;
        return kind;
    };

    // One argument per level of the list; levels below the marker's stay empty.
    std::vector<std::string> args(std::size_t(list.Levels.Count()));
    for (int k = 0; k < level; ++k) {
        const std::optional<std::int32_t>& shown = outer[std::size_t(k)];
        args[std::size_t(k)] = NumberText(shown ? *shown : list.Levels[k].StartFrom, kindOf(k));
    }
    args[std::size_t(level)] = NumberText(counter, def.ListType);
    return FormatStrings(def.FormatString, args).value_or(CutFormattedText(def.FormatString));
}

/// The marker text for the marker at pos (-1: not registered, so no earlier markers are known).
[[nodiscard]] std::string TextOf(const TCustomRVData& data, int pos, const TRVMarkerItemInfo& marker,
                                 const TRVListInfo& list)
{
    const int level = LevelIn(list, marker.Level);
    std::vector<std::optional<std::int32_t>> outer(static_cast<std::size_t>(level));
    // Each outer level shows the nearest earlier marker of that level that is not hidden
    // behind a marker of a still lower level.
    if (pos >= 0 && list.Levels[level].HasNumbering()) {
        int open = level;
        TCursor at{&data, pos};
        while (open > 0 && StepBack<TRVMarkerItemInfo>(at)) {
            const TRVMarkerItemInfo& earlier = EntryAt<TRVMarkerItemInfo>(at);
            if (earlier.ListNo != marker.ListNo)
                continue;
            const int earlierLevel = LevelIn(list, earlier.Level);
            if (earlierLevel < open) {
                outer[std::size_t(earlierLevel)] = earlier.Counter;
                open = earlierLevel;
            }
        }
    }
    return FormatMarkerText(list, level, marker.Counter, outer);
}

/// What the markers met so far say to the next marker of one list, level by level.
struct TListProgress {
    struct TLevel {
        std::int64_t Last = -1;   ///< position of the latest marker of this level
        std::int32_t Counter = 0; ///< its counter
    };
    std::vector<TLevel> Levels;
};

/// The counters and texts of a container's own markers in one pass forward: the same results as
/// recomputing each marker by looking back, without the walk back past other lists' markers.
void RenumberMarkersForward(const TCustomRVData& data)
{
    const TRVStyle* sheet = data.GetRVStyle();
    std::unordered_map<int, TListProgress> lists;
    const auto& markers = data.Markers();
    for (std::size_t pos = 0; pos < markers.size(); ++pos) {
        TRVMarkerItemInfo& marker = *markers[pos];
        const TRVListInfo* list = UsableList(sheet, marker.ListNo);
        if (!list) {
            marker.Counter = 0;
            marker.DisplayText.clear();
            continue;
        }
        TListProgress& progress = lists[marker.ListNo];
        progress.Levels.resize(std::size_t(list->Levels.Count()));
        auto& levels = progress.Levels;
        const int level = LevelIn(*list, marker.Level);
        const TRVListLevel& def = list->Levels[level];
        // The nearest earlier marker of this level, of a lower one, and whether a deeper one came.
        const std::int64_t same = levels[std::size_t(level)].Last;
        std::int64_t lower = -1, deeper = -1;
        for (int k = 0; k < level; ++k)
            lower = std::max(lower, levels[std::size_t(k)].Last);
        for (std::size_t k = std::size_t(level) + 1; k < levels.size(); ++k)
            deeper = std::max(deeper, levels[k].Last);
        if (marker.Reset)
            marker.Counter = marker.StartFrom;
        else if (def.Options.Contains(rvloLevelReset) && lower > same)
            marker.Counter = def.StartFrom;
        else if (same >= 0)
            marker.Counter = Succ(levels[std::size_t(level)].Counter);
        else
            marker.Counter = deeper >= 0 ? Succ(def.StartFrom) : def.StartFrom;

        std::vector<std::optional<std::int32_t>> outer(static_cast<std::size_t>(level));
        std::int64_t hiddenBefore = -1; // markers of lower levels hide what came before them
        for (int k = 0; k < level; ++k) {
            const TListProgress::TLevel& at = levels[std::size_t(k)];
            if (at.Last > hiddenBefore)
                outer[std::size_t(k)] = at.Counter;
            hiddenBefore = std::max(hiddenBefore, at.Last);
        }
        marker.DisplayText = FormatMarkerText(*list, level, marker.Counter, outer);
        levels[std::size_t(level)] = {static_cast<std::int64_t>(pos), marker.Counter};
    }
}

void RecomputeMarker(const TCustomRVData& data, int pos)
{
    TRVMarkerItemInfo& marker = *data.Markers()[std::size_t(pos)];
    const TRVListInfo* list = UsableList(data.GetRVStyle(), marker.ListNo);
    if (!list) {
        marker.Counter = 0;
        marker.DisplayText.clear();
        return;
    }
    marker.Counter = CounterOf(data, pos, marker, *list);
    marker.DisplayText = TextOf(data, pos, marker, *list);
}

/// Note references inside the note text repeat the note's number.
void ShowNoteNumber(TCustomRVNoteItemInfo& note)
{
    TRVSubData& text = note.NoteText();
    for (int i = 0; i < text.Count(); ++i)
        if (auto* ref = dynamic_cast<TRVNoteReferenceItemInfo*>(&text.ItemAt(i)))
            ref->Text = note.Text;
}

void RecomputeSequence(const TCustomRVData& data, int pos)
{
    TRVSeqItemInfo& seq = *data.Sequences()[std::size_t(pos)];
    if (seq.Reset) {
        seq.Counter = seq.StartFrom;
    } else {
        seq.Counter = 1;
        TCursor at{&data, pos};
        while (StepBack<TRVSeqItemInfo>(at)) {
            const TRVSeqItemInfo& earlier = EntryAt<TRVSeqItemInfo>(at);
            if (SameSeqName(earlier.SeqName, seq.SeqName)) {
                seq.Counter = Succ(earlier.Counter);
                break;
            }
        }
    }
    seq.Text = NumberText(seq.Counter, ListTypeOfSeqType(seq.NumberingType(data.GetRVStyle())));
    if (auto* note = dynamic_cast<TCustomRVNoteItemInfo*>(&seq))
        ShowNoteNumber(*note);
}

/// The same for a container's own sequences: each name (in any letter case) continues from its
/// latest number.
void RenumberSequencesForward(const TCustomRVData& data)
{
    std::unordered_map<std::string, std::int32_t> latest;
    for (TRVSeqItemInfo* seq : data.Sequences()) {
        std::string name = seq->SeqName;
        std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
        const auto found = latest.find(name);
        seq->Counter = seq->Reset ? seq->StartFrom : found == latest.end() ? 1 : Succ(found->second);
        latest[name] = seq->Counter;
        seq->Text = NumberText(seq->Counter, ListTypeOfSeqType(seq->NumberingType(data.GetRVStyle())));
        if (auto* note = dynamic_cast<TCustomRVNoteItemInfo*>(seq))
            ShowNoteNumber(*note);
    }
}

/// The note texts of the container: their lists continue the container's.
template <class Fn>
void ForEachNoteText(const TCustomRVData& data, Fn&& fn)
{
    for (TRVSeqItemInfo* seq : data.Sequences())
        if (auto* note = dynamic_cast<TCustomRVNoteItemInfo*>(seq))
            fn(note->NoteText());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Number texts and templates

std::string NumberText(int n, TRVListType kind)
{
    switch (kind) {
    case rvlstDecimal:
    case rvlstImageListCounter:
        return std::to_string(n);
    case rvlstLowerAlpha:
    case rvlstUpperAlpha: {
        // Bijective base 26: A..Z, AA..AZ, BA.. - there is no zero digit. The text grows with
        // the logarithm of n: the largest counter, 2147483647, is seven letters, so no bound.
        std::string text;
        for (auto v = static_cast<std::uint32_t>(n > 0 ? n : 0); v > 0; v = (v - 1) / 26)
            text.push_back(static_cast<char>((kind == rvlstUpperAlpha ? 'A' : 'a') + (v - 1) % 26));
        std::reverse(text.begin(), text.end());
        return text;
    }
    case rvlstLowerRoman:
    case rvlstUpperRoman: {
        if (n <= 0)
            return "?";
        // Standard numerals write up to 3999 (MMMCMXCIX); larger numbers would only pile up
        // one M per thousand (2147483647 is over two million of them), so they are decimal.
        if (n > MaxRomanNumber)
            return std::to_string(n);
        static constexpr std::array<std::pair<int, const char*>, 13> digits{{
            {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
            {40, "XL"}, {10, "X"}, {9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"},
        }};
        std::string text;
        for (const auto& [value, letters] : digits)
            for (; n >= value; n -= value)
                text += letters;
        if (kind == rvlstLowerRoman)
            std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
        return text;
    }
    default:
        return {};
    }
}

TRVListType ListTypeOfSeqType(TRVSeqType type) noexcept
{
    switch (type) {
    case rvseqLowerAlpha:
        return rvlstLowerAlpha;
    case rvseqUpperAlpha:
        return rvlstUpperAlpha;
    case rvseqLowerRoman:
        return rvlstLowerRoman;
    case rvseqUpperRoman:
        return rvlstUpperRoman;
    default:
        return rvlstDecimal;
    }
}

std::optional<std::string> FormatStrings(std::string_view format, std::span<const std::string> args)
{
    std::string out;
    // Everything goes through put, which stops at the bound; the rest of the format is still
    // parsed, so that a malformed format is refused whatever its length.
    const auto put = [&out](std::string_view text) {
        if (out.size() < MaxFormattedText)
            out.append(text.substr(0, MaxFormattedText - out.size()));
    };
    const auto pad = [&out](std::size_t count) {
        if (out.size() < MaxFormattedText)
            out.append(std::min(count, MaxFormattedText - out.size()), ' ');
    };
    const std::size_t n = format.size();
    std::size_t i = 0;
    std::size_t nextArg = 0;

    // Digits at i as a number; false when there are none or the number is too large.
    const auto readNumber = [&](int& value) {
        const std::size_t start = i;
        value = 0;
        for (; i < n && IsDigit(format[i]); ++i) {
            value = value * 10 + (format[i] - '0');
            if (value > MaxFormatWidth)
                return false;
        }
        return i > start;
    };

    while (i < n) {
        const char c = format[i++];
        if (c != '%') {
            put(std::string_view(&c, 1));
            continue;
        }
        if (i < n && format[i] == '%') {
            put("%");
            ++i;
            continue;
        }
        // %[index:][-][width][.precision]type
        bool leftJustify = false;
        int width = 0;
        int precision = -1;
        int number = 0;
        bool haveNumber = false;
        if (i < n && IsDigit(format[i])) {
            if (!readNumber(number))
                return std::nullopt;
            haveNumber = true;
        }
        if (i < n && format[i] == ':') {
            if (!haveNumber)
                return std::nullopt;
            nextArg = std::size_t(number);
            haveNumber = false;
            ++i;
        }
        if (haveNumber) {
            width = number;
        } else {
            if (i < n && format[i] == '-') {
                leftJustify = true;
                ++i;
            }
            if (i < n && IsDigit(format[i]) && !readNumber(width))
                return std::nullopt;
        }
        if (i < n && format[i] == '.') {
            ++i;
            if (!readNumber(precision))
                return std::nullopt;
        }
        // '*' takes a number from the arguments, and every conversion but s wants a number.
        if (i >= n || AsciiLower(format[i]) != 's')
            return std::nullopt;
        ++i;
        if (nextArg >= args.size())
            return std::nullopt;
        std::string_view value = args[nextArg++];
        if (precision >= 0 && value.size() > std::size_t(precision))
            value = value.substr(0, std::size_t(precision));
        const std::size_t spaces = std::size_t(width) > value.size() ? std::size_t(width) - value.size() : 0;
        if (!leftJustify)
            pad(spaces);
        put(value);
        if (leftJustify)
            pad(spaces);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Markers

int FindMarker(const TCustomRVData& container, const TRVMarkerItemInfo& marker) noexcept
{
    return FindEntry(container.Markers(), marker);
}

int FindSequence(const TCustomRVData& container, const TRVSeqItemInfo& seq) noexcept
{
    return FindEntry(container.Sequences(), seq);
}

int MarkersBeforeItem(const TCustomRVData& container, int itemIndex)
{
    return EntriesBeforeItem<TRVMarkerItemInfo>(container, itemIndex);
}

int SequencesBeforeItem(const TCustomRVData& container, int itemIndex)
{
    return EntriesBeforeItem<TRVSeqItemInfo>(container, itemIndex);
}

void RenumberFrom(TCustomRVData& container, int markerIndex)
{
    const auto& markers = container.Markers();
    if (markerIndex < 0 || markerIndex >= static_cast<int>(markers.size()))
        return;
    TRVMarkerItemInfo& marker = *markers[std::size_t(markerIndex)];
    if (marker.ListNo < 0) {
        marker.Counter = 0;
        marker.DisplayText.clear();
        return;
    }
    RenumberListFrom(container, marker.ListNo, markerIndex);
}

void RenumberListFrom(TCustomRVData& container, int listNo, int from)
{
    if (listNo < 0)
        return;
    const auto& markers = container.Markers();
    for (int k = std::max(from, 0); k < static_cast<int>(markers.size()); ++k)
        if (markers[std::size_t(k)]->ListNo == listNo)
            RecomputeMarker(container, k);
    ForEachNoteText(container, [listNo](TRVSubData& text) { RenumberListFrom(text, listNo, 0); });
}

const TRVListLevel* MarkerLevel(const TRVStyle* sheet, const TRVMarkerItemInfo& marker) noexcept
{
    const TRVListInfo* list = UsableList(sheet, marker.ListNo);
    return list ? &list->Levels[LevelIn(*list, marker.Level)] : nullptr;
}

std::string MarkerText(const TCustomRVData& container, const TRVMarkerItemInfo& marker)
{
    const TRVListInfo* list = UsableList(container.GetRVStyle(), marker.ListNo);
    return list ? TextOf(container, FindMarker(container, marker), marker, *list) : std::string();
}

// ---------------------------------------------------------------------------------------------
// Sequences

bool SameSeqName(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

void RenumberSequences(TCustomRVData& container, const std::string& seqName)
{
    RenumberSequencesFrom(container, seqName, 0);
}

void RenumberSequencesFrom(TCustomRVData& container, const std::string& seqName, int from)
{
    const auto& seqs = container.Sequences();
    for (int k = std::max(from, 0); k < static_cast<int>(seqs.size()); ++k)
        if (SameSeqName(seqs[std::size_t(k)]->SeqName, seqName))
            RecomputeSequence(container, k);
    ForEachNoteText(container, [&seqName](TRVSubData& text) { RenumberSequencesFrom(text, seqName, 0); });
}

// ---------------------------------------------------------------------------------------------

void RenumberAll(TCustomRVData& container)
{
    if (dynamic_cast<const TRVSubData*>(&container)) {
        // A note text continues the lists and sequences of the text around its note: each
        // entry looks back through both.
        for (int k = 0; k < static_cast<int>(container.Markers().size()); ++k)
            RecomputeMarker(container, k);
        for (int k = 0; k < static_cast<int>(container.Sequences().size()); ++k)
            RecomputeSequence(container, k);
    } else {
        // One pass forward, whatever the number of lists and names.
        RenumberMarkersForward(container);
        RenumberSequencesForward(container);
    }
    // Sub-documents after their parent, whose counters note texts continue.
    for (int i = 0; i < container.Count(); ++i) {
        const TCustomRVItemInfo& item = container.ItemAt(i);
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (TCustomRVData* sub = item.SubDocument(k))
                RenumberAll(*sub);
    }
}

} // namespace xq

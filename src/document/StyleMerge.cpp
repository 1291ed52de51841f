// Merging style collections: closest-style mapping, merging equal styles, appending copies.
#include "document/StyleMerge.h"

#include <functional>

#include "document/StyleLikeness.h"

namespace xq {

namespace {

/// A reference of an appended style, moved from the fragment's numbers to the sheet's.
[[nodiscard]] int Renumber(const TRVIndexMap& map, int ref) noexcept
{
    if (ref < 0)
        return ref;
    if (ref >= static_cast<int>(map.size()))
        return -1; // names no style of the fragment
    return map[static_cast<std::size_t>(ref)];
}

/// The most alike style of the sheet, the lower index on equal scores; -1 for an empty sheet.
template <class TInfos, class TInfo>
[[nodiscard]] int MostAlike(const TInfos& sheet, const TInfo& incoming)
{
    int best = -1;
    std::int32_t bestScore = 0;
    for (int k = 0; k < sheet.Count(); ++k) {
        const std::int32_t score = Likeness(incoming, sheet[k]);
        if (best < 0 || score > bestScore) {
            best = k;
            bestScore = score;
        }
    }
    return best;
}

/// MostAlike within the first non-empty group: same Jump and Unicode, same Jump, same
/// Unicode, all styles. One pass keeps the best of every group.
[[nodiscard]] int MostAlikeText(const TFontInfos& sheet, const TFontInfo& incoming)
{
    constexpr int Groups = 4;
    int best[Groups] = {-1, -1, -1, -1};
    std::int32_t bestScore[Groups] = {};
    for (int k = 0; k < sheet.Count(); ++k) {
        const TFontInfo& candidate = sheet[k];
        const bool sameJump = candidate.Jump == incoming.Jump;
        const bool sameUnicode = candidate.Unicode == incoming.Unicode;
        const bool member[Groups] = {sameJump && sameUnicode, sameJump, sameUnicode, true};
        const std::int32_t score = Likeness(incoming, candidate);
        for (int g = 0; g < Groups; ++g)
            if (member[g] && (best[g] < 0 || score > bestScore[g])) {
                best[g] = k;
                bestScore[g] = score;
            }
    }
    for (int g = 0; g < Groups; ++g)
        if (best[g] >= 0)
            return best[g];
    return -1;
}

/// The reference rule of merging for NextStyleNo and NextParaNo: may a source style whose
/// reference is sourceRef become a candidate whose reference is candidateRef? existing is the
/// number of styles the sheet had before the merge.
template <class TInfos>
[[nodiscard]] bool ReferenceMatches(const TInfos& sheet, int existing, const TInfos& source, const TRVIndexMap& map,
                                    int sourceRef, int candidateRef)
{
    if (sourceRef < 0 || sourceRef >= source.Count())
        return true; // no reference, or one that names nothing and is dropped
    if (sourceRef < static_cast<int>(map.size()))
        return map[static_cast<std::size_t>(sourceRef)] == candidateRef;
    // Not mapped yet (this style or a later one): judge by what the reference leads to.
    return candidateRef >= 0 && candidateRef < existing && source[sourceRef].EqualsStyle(sheet[candidateRef], true);
}

/// The reference rule between two styles of the same fragment (an incoming one and one appended
/// earlier in the same merge): both name nothing, or what they name maps to the same style, or
/// is the same style, or is equal ignoring references when it is not mapped yet.
template <class TInfos>
[[nodiscard]] bool SameFragmentReference(const TInfos& source, const TRVIndexMap& map, int ref, int earlierRef)
{
    const auto names = [&](int r) { return r >= 0 && r < source.Count(); };
    if (!names(ref))
        return true; // as against existing styles: no reference matches any
    if (!names(earlierRef))
        return false;
    if (ref == earlierRef)
        return true;
    const auto mapped = [&](int r) { return r < static_cast<int>(map.size()); };
    if (mapped(ref) && mapped(earlierRef))
        return map[static_cast<std::size_t>(ref)] == map[static_cast<std::size_t>(earlierRef)];
    return source[ref].EqualsStyle(source[earlierRef], true);
}

/// The loop of merge and append modes. matches(i, k, map) tells whether source style i may
/// become existing style k; sameAsEarlier(i, j, map) whether it may share the copy appended for
/// source style j; mapped(i, k) learns every decision; copy fills an appended style.
template <class TInfos, class TInfo>
[[nodiscard]] TRVIndexMap FindOrAppend(TInfos& sheet, const TInfos& source, TRVStyleMergeMode mode,
                                       const std::function<bool(int, int, const TRVIndexMap&)>& matches,
                                       const std::function<bool(int, int, const TRVIndexMap&)>& sameAsEarlier,
                                       const std::function<void(int, int)>& mapped,
                                       const std::function<void(TInfo&, const TInfo&)>& copy)
{
    const int existing = sheet.Count();
    TRVIndexMap map;
    map.reserve(static_cast<std::size_t>(source.Count()));
    std::vector<int> appendedFrom; // per appended style, the source style it copies
    for (int i = 0; i < source.Count(); ++i) {
        int found = -1;
        if (mode == rvs_merge_SmartMerge) {
            // The same position first: a fragment cut from this document maps onto itself
            // even where the sheet holds duplicates.
            if (i < existing && matches(i, i, map))
                found = i;
            for (int k = 0; found < 0 && k < existing; ++k)
                if (k != i && matches(i, k, map))
                    found = k;
            // Then the copies made for earlier styles of the same fragment, so that a fragment
            // never adds the same style twice.
            for (std::size_t a = 0; found < 0 && a < appendedFrom.size(); ++a)
                if (sameAsEarlier(i, appendedFrom[a], map))
                    found = existing + static_cast<int>(a);
        }
        if (found < 0) {
            copy(sheet.Add(), source[i]);
            found = sheet.Count() - 1;
            appendedFrom.push_back(i);
        }
        if (mapped)
            mapped(i, found);
        map.push_back(found);
    }
    return map;
}

} // namespace

TRVIndexMap MergeStyles(TFontInfos& sheet, const TFontInfos& source, TRVStyleMergeMode mode)
{
    TRVIndexMap map;
    if (mode == rvs_merge_Map) {
        for (const auto& incoming : source)
            map.push_back(sheet.Count() > 0 ? MostAlikeText(sheet, *incoming) : 0);
        return map;
    }

    const int existing = sheet.Count();
    map = FindOrAppend<TFontInfos, TFontInfo>(
        sheet, source, mode,
        [&](int i, int k, const TRVIndexMap& built) {
            const TFontInfo& s = source[i];
            const TFontInfo& c = sheet[k];
            return s.EqualsStyle(c, true) &&
                   ReferenceMatches(sheet, existing, source, built, s.NextStyleNo, c.NextStyleNo);
        },
        [&](int i, int j, const TRVIndexMap& built) {
            return source[i].EqualsStyle(source[j], true) &&
                   SameFragmentReference(source, built, source[i].NextStyleNo, source[j].NextStyleNo);
        },
        {}, [](TFontInfo& target, const TFontInfo& s) { target.CopyStyle(s); });

    for (int k = existing; k < sheet.Count(); ++k) {
        TFontInfo& added = sheet[k];
        added.Standard = false;
        added.BaseStyleNo = Renumber(map, added.BaseStyleNo);
        added.NextStyleNo = Renumber(map, added.NextStyleNo);
    }
    return map;
}

TRVIndexMap MergeStyles(TParaInfos& sheet, const TParaInfos& source, TRVStyleMergeMode mode,
                        const TRVIndexMap* textStyleMap)
{
    TRVIndexMap map;
    if (mode == rvs_merge_Map) {
        for (const auto& incoming : source)
            map.push_back(sheet.Count() > 0 ? MostAlike(sheet, *incoming) : 0);
        return map;
    }

    const int existing = sheet.Count();
    map = FindOrAppend<TParaInfos, TParaInfo>(
        sheet, source, mode,
        [&](int i, int k, const TRVIndexMap& built) {
            const TParaInfo& s = source[i];
            const TParaInfo& c = sheet[k];
            return s.EqualsStyle(c, true) &&
                   ReferenceMatches(sheet, existing, source, built, s.NextParaNo, c.NextParaNo);
        },
        [&](int i, int j, const TRVIndexMap& built) {
            return source[i].EqualsStyle(source[j], true) &&
                   SameFragmentReference(source, built, source[i].NextParaNo, source[j].NextParaNo);
        },
        {}, [](TParaInfo& target, const TParaInfo& s) { target.CopyStyle(s); });

    for (int k = existing; k < sheet.Count(); ++k) {
        TParaInfo& added = sheet[k];
        added.Standard = false;
        added.BaseStyleNo = Renumber(map, added.BaseStyleNo);
        added.NextParaNo = Renumber(map, added.NextParaNo);
        if (textStyleMap)
            added.DefStyleNo = Renumber(*textStyleMap, added.DefStyleNo);
    }
    return map;
}

TRVIndexMap MergeStyles(TRVListInfos& sheet, const TRVListInfos& source, TRVStyleMergeMode mode)
{
    TRVIndexMap map;
    if (mode == rvs_merge_Map) {
        for (const auto& incoming : source)
            map.push_back(MostAlike(sheet, *incoming));
        return map;
    }

    const int existing = sheet.Count();
    // Existing lists that already received a numbered list: numbering must not run on from
    // one pasted list into another. A copy appended for a numbered list is taken by it.
    std::vector<bool> taken(static_cast<std::size_t>(existing), false);
    map = FindOrAppend<TRVListInfos, TRVListInfo>(
        sheet, source, mode,
        [&](int i, int k, const TRVIndexMap&) {
            return !taken[static_cast<std::size_t>(k)] && source[i].EqualsStyle(sheet[k], false);
        },
        [&](int i, int j, const TRVIndexMap&) {
            return !source[j].HasNumbering() && source[i].EqualsStyle(source[j], false);
        },
        [&](int i, int k) {
            if (k < existing && source[i].HasNumbering())
                taken[static_cast<std::size_t>(k)] = true;
        },
        [](TRVListInfo& target, const TRVListInfo& s) { target.CopyStyle(s, TListIdCopy::Keep); });

    for (int k = existing; k < sheet.Count(); ++k) {
        TRVListInfo& added = sheet[k];
        added.Standard = false;
        added.BaseStyleNo = Renumber(map, added.BaseStyleNo);
    }
    return map;
}

} // namespace xq

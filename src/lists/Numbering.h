// Numbering of list markers and sequences: counters, number texts and marker texts.
//
// Counters are derived state. A marker's counter depends on the earlier markers of its list,
// a sequence's on the earlier sequences of its name. The lists of a note's text continue those
// of the container that holds the note: a backward scan that runs past the start of the note's
// own list goes on with the entries of the parent that precede the note item.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "document/StyleTypes.h"

namespace xq {

class TCustomRVData;
class TRVListLevel;
class TRVMarkerItemInfo;
class TRVStyle;
class TRVSeqItemInfo;

/// The largest number written in Roman numerals; larger ones are written in decimal digits.
inline constexpr int MaxRomanNumber = 3999;
/// The most bytes one template yields (a level's format with its numbered arguments): a file
/// may repeat the arguments thousands of times, and what goes beyond this is cut.
inline constexpr std::size_t MaxFormattedText = 1000;

/// The number n written for a list kind: decimal (also for the image-list counter kind),
/// bijective base-26 letters (empty for n <= 0), Roman numerals ("?" for n <= 0, decimal above
/// MaxRomanNumber); empty for kinds that carry no number. Never longer than 15 characters
/// (3888 is MMMDCCCLXXXVIII).
[[nodiscard]] std::string NumberText(int n, TRVListType kind);
/// The list kind that writes numbers the way a sequence type does.
[[nodiscard]] TRVListType ListTypeOfSeqType(TRVSeqType type) noexcept;

/// Formats like the classic Pascal Format with string arguments only: %s, %N:s, %-W.Ps and %%.
/// Any other conversion (they all want numbers), a missing argument or a broken specifier makes
/// the format malformed: nullopt. The result is cut after MaxFormattedText bytes.
[[nodiscard]] std::optional<std::string> FormatStrings(std::string_view format, std::span<const std::string> args);

/// Recomputes Counter and DisplayText of the markers of the list of marker markerIndex (index
/// in the container's marker list), from that marker to the end, and of the markers of that
/// list in the note texts of the container.
void RenumberFrom(TCustomRVData& container, int markerIndex);
/// The same for list listNo from marker list index `from` on (the marker there may belong to
/// another list or be the end of the list).
void RenumberListFrom(TCustomRVData& container, int listNo, int from);
/// The text marker shows, from its Counter and the counters of the earlier markers.
[[nodiscard]] std::string MarkerText(const TCustomRVData& container, const TRVMarkerItemInfo& marker);
/// The level definition a marker shows (its level clamped to the list's levels); null when the
/// marker has no usable list.
[[nodiscard]] const TRVListLevel* MarkerLevel(const TRVStyle* sheet, const TRVMarkerItemInfo& marker) noexcept;

/// Renumbers the sequences named seqName (any letter case) of the container and of its note texts.
void RenumberSequences(TCustomRVData& container, const std::string& seqName);
/// The same from sequence list index `from` on.
void RenumberSequencesFrom(TCustomRVData& container, const std::string& seqName, int from);
[[nodiscard]] bool SameSeqName(std::string_view a, std::string_view b) noexcept;

/// Recomputes every marker and sequence of the container and of all containers below it.
void RenumberAll(TCustomRVData& container);

/// The index of marker in the container's marker list (cached position checked first), or -1.
[[nodiscard]] int FindMarker(const TCustomRVData& container, const TRVMarkerItemInfo& marker) noexcept;
[[nodiscard]] int FindSequence(const TCustomRVData& container, const TRVSeqItemInfo& seq) noexcept;
/// How many registered markers (sequences) lie before item itemIndex of the container, which is
/// where an entry for that item belongs in the list.
[[nodiscard]] int MarkersBeforeItem(const TCustomRVData& container, int itemIndex);
[[nodiscard]] int SequencesBeforeItem(const TCustomRVData& container, int itemIndex);

} // namespace xq

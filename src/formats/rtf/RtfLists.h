// Lists in RTF: the fonts and colours of list levels, the list table with its overrides, and
// the RTF of list markers, labels and sequence fields.
#pragma once

#include <memory>
#include <string>

#include "formats/rtf/RtfWriter.h"

namespace xq {

class TCustomRVData;
class TRVListLevel;
class TRVMarkerItemInfo;
struct TFontDescription;

/// The length of a level text: the count byte RTF puts before it holds no more.
inline constexpr std::size_t MaxRtfLevelText = 255;

/// Adds the fonts of the list levels that show text to the font table.
void AddRtfListFonts(TRVRTFWriteContext& ctx);
/// Adds the marker font colours to the colour table and gives every list style its override
/// count of 1 (markers that start anew add to it as their colours are collected).
void CollectRtfListColors(TRVRTFWriteContext& ctx);
/// Writes the list table and the list override table, and sets the "\ls" numbers the body
/// uses; a lone CRLF when the style sheet has no list styles.
void WriteRtfListTables(std::string& out, TRVRTFWriteContext& ctx);

/// The level a marker's paragraph is indented by: its list level, null without a usable list.
[[nodiscard]] const TRVListLevel* RtfMarkerLevel(const TRVRTFWriteContext& ctx, const TRVMarkerItemInfo& marker) noexcept;
/// The level index RTF knows a marker by: its level within the list's levels and RTF's nine.
[[nodiscard]] int RtfMarkerLevelIndex(const TRVRTFWriteContext& ctx, const TRVMarkerItemInfo& marker) noexcept;
/// "\f", "\b", "\i", "\ul", "\strike", "\fs", "\lang" and "\cf" of a marker font.
void AppendRtfMarkerFont(std::string& out, const TRVRTFWriteContext& ctx, const TFontDescription& font);

/// The item writers of markers, labels and sequences.
[[nodiscard]] std::shared_ptr<const TRVRTFItemWriter> NewRtfMarkerWriter();
[[nodiscard]] std::shared_ptr<const TRVRTFItemWriter> NewRtfLabelWriter();
[[nodiscard]] std::shared_ptr<const TRVRTFItemWriter> NewRtfSequenceWriter();

} // namespace xq

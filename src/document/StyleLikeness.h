// How alike two styles are: the score that decides which existing style an incoming one becomes.
#pragma once

#include <cstdint>

#include "document/FontInfo.h"
#include "document/ListInfo.h"
#include "document/ParaInfo.h"
#include "platform/Color.h"

namespace xq {

/// (1 - |a - b| / |a|) * w rounded to the nearest integer (halves away from zero), or
/// (1 - |b|) * w when a is 0. Negative when b is far from a. 64-bit, so that no pair of
/// 32-bit values overflows.
[[nodiscard]] std::int64_t Closeness(std::int32_t a, std::int32_t b, std::int32_t w) noexcept;

/// 0 when exactly one of the colours is clNone, w2 + 3 * w1 when both are. Otherwise, with
/// system colours resolved to RGB: minus |channel difference| * w1 / 255 (integer division)
/// for red, green and blue, plus w2 when both colours are light or both are dark (a colour
/// is light when any channel exceeds 64).
[[nodiscard]] std::int64_t ColorCloseness(TColor x, TColor y, std::int32_t w1, std::int32_t w2) noexcept;

/// Larger means more alike. incoming is the style looked for, candidate an existing style.
/// The sums are kept in 64 bits and clamped to the 32-bit range.
[[nodiscard]] std::int32_t Likeness(const TFontInfo& incoming, const TFontInfo& candidate) noexcept;
[[nodiscard]] std::int32_t Likeness(const TParaInfo& incoming, const TParaInfo& candidate) noexcept;
/// Not noexcept: a list without an identity draws one when compared.
[[nodiscard]] std::int32_t Likeness(const TRVListInfo& incoming, const TRVListInfo& candidate);

} // namespace xq

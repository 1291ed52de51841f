// Options of a view (the control that shows a formatted container).
#pragma once

#include <cstdint>

#include "platform/Set.h"

namespace xq {

enum TRVOption : std::uint8_t {
    rvoAllowSelection,
    rvoScrollToEnd,
    rvoShowSpecialCharacters,
    rvoShowPageBreaks,
    rvoTagsArePChars,
    rvoAutoCopyText,
    rvoAutoCopyUnicodeText,
    rvoAutoCopyRVF,
    rvoAutoCopyImage,
    rvoAutoCopyRTF,
    rvoDblClickSelectsWord,
    rvoRClickDeselects,
    rvoDisallowDrag,
    rvoClientTextWidth,
    rvoFastFormatting,
};
using TRVOptions = TSet<TRVOption, std::uint32_t>;

/// The marks that special-character display shows; all of them unless an application narrows the set.
enum TRVSpecialCharacter : std::uint8_t { rvscSpace, rvscNBSP, rvscParagraph, rvscSoftHyphen };
using TRVSpecialCharacters = TSet<TRVSpecialCharacter, std::uint8_t>;

/// The process-wide set of special-character marks shown.
[[nodiscard]] TRVSpecialCharacters& VisibleSpecialCharacters() noexcept;

} // namespace xq

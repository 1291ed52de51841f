// Caret stops: the places on one line where the caret can stand, with their x positions.
#pragma once

#include <cstdint>
#include <vector>

#include "editing/EditTypes.h"

namespace xq {

class TCustomRVFormattedData;

/// One caret stop: a draw item, the caret offset in its item (as TRVDrawPos) and the x of the
/// caret there, document coordinates.
struct TRVCharPos {
    int DrawItemNo = 0;
    int Offset = 0;
    std::int32_t X = 0;

    [[nodiscard]] TRVDrawPos Pos() const noexcept { return {DrawItemNo, Offset}; }
    [[nodiscard]] bool operator==(const TRVCharPos&) const = default;
};

/// The caret stops of one line, left to right.
///
/// A line offers every character boundary of its text pieces and the places before and after
/// each object, except:
/// - where two draw items meet there is one stop, owned by the left one (so the caret after a
///   bold word types bold), unless the left one is a list marker or the right one an empty text
///   item, which own it instead;
/// - a list marker has no stop before it: the line starts after the marker;
/// - there is no stop between the two halves of a surrogate pair;
/// - a space consumed where the line wraps has no draw item, so it has no stop on either line:
///   the line above ends before it, the line below starts after it.
/// invariant: X never decreases from one stop to the next (left-to-right lines).
class TRVCharPosCollection {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Items_.size()); }
    [[nodiscard]] bool Empty() const noexcept { return Items_.empty(); }
    [[nodiscard]] const TRVCharPos& operator[](int index) const { return Items_.at(std::size_t(index)); }
    [[nodiscard]] const TRVCharPos& First() const { return Items_.front(); }
    [[nodiscard]] const TRVCharPos& Last() const { return Items_.back(); }
    void Add(const TRVCharPos& stop) { Items_.push_back(stop); }
    /// Replaces the last stop (a boundary taken over by the draw item to its right).
    void ReplaceLast(const TRVCharPos& stop) { Items_.back() = stop; }
    void Clear() noexcept { Items_.clear(); }

    /// The index of the stop at exactly pos, or -1.
    [[nodiscard]] int IndexOf(TRVDrawPos pos) const noexcept;
    /// The stop nearest to x; of two equally near ones the left one.
    [[nodiscard]] int NearestToX(std::int32_t x) const noexcept;

private:
    std::vector<TRVCharPos> Items_;
};

/// The x of every character boundary of a text draw item, from its Left: element k is where the
/// caret stands after k characters of the piece (element 0 is 0). Measured with the advances the
/// painter draws the piece with, so the caret meets the glyphs: zero-width characters add
/// nothing, a piece that ends its line with a soft hyphen measures the hyphen it shows, and the
/// piece's justification space lies in front of its first character (in element 1 onwards).
/// Empty for other draw items.
[[nodiscard]] std::vector<std::int32_t> PieceBoundaries(TCustomRVFormattedData& data, int drawItemNo);

/// Builds the caret stops of the line from draw item first to draw item last.
void BuildCaretStops(TCustomRVFormattedData& data, int first, int last, TRVCharPosCollection& out);

} // namespace xq

// Positions counted straight through a container, for keeping a place across a change before
// it: a character of text and an object count one each, and so does the start of every line or
// paragraph after the first. The end of one item and the start of the next one in its line are
// the same place.
#pragma once

#include "document/RVData.h"
#include "editing/EditTypes.h"

namespace xq {

/// The count of places before pos in data.
[[nodiscard]] int LinearPosition(const TCustomRVData& data, TRVDocPos pos);
/// The count of places in the whole of data.
[[nodiscard]] int LinearLength(const TCustomRVData& data);
/// The place linear places into data (the end of the data past its last one).
[[nodiscard]] TRVDocPos DocPosOfLinear(const TCustomRVData& data, int linear);

} // namespace xq

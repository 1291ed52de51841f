// The range of draw items to lay out again after an edit: whole paragraphs, with one paragraph
// of context on each side.
#pragma once

#include "layout/DrawLines.h"

namespace xq {

class TCustomRVData;

/// True when draw item index begins a paragraph: the first piece of an item that starts one.
[[nodiscard]] bool DrawItemStartsParagraph(const TCustomRVData& data, const TRVDrawLines& lines, int index);

/// From the first and last changed draw items, the first draw item of the paragraph before the
/// first changed paragraph and the last draw item of the paragraph after the last changed one
/// (fewer at the ends of the document).
void GetReformatRange(const TCustomRVData& data, const TRVDrawLines& lines, int firstChanged, int lastChanged,
                      int& first, int& last);

} // namespace xq

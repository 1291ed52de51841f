// The reformat range around an edit.
#include "layout/ReformatRange.h"

#include <algorithm>

#include "document/RVData.h"

namespace xq {

bool DrawItemStartsParagraph(const TCustomRVData& data, const TRVDrawLines& lines, int index)
{
    const TRVDrawLineInfo& d = lines[index];
    if (index > 0 && lines[index - 1].ItemNo == d.ItemNo)
        return false; // a later piece of the same item
    return data.StartsParagraph(d.ItemNo);
}

void GetReformatRange(const TCustomRVData& data, const TRVDrawLines& lines, int firstChanged, int lastChanged,
                      int& first, int& last)
{
    const int count = lines.Count();
    first = std::clamp(firstChanged, 0, std::max(count - 1, 0));
    last = std::clamp(lastChanged, first, std::max(count - 1, 0));
    if (count == 0)
        return;

    // Back to the start of the changed paragraph, then to the start of the one before it.
    for (int paragraphs = 0; paragraphs < 2 && first > 0; ++paragraphs) {
        if (paragraphs == 1)
            --first;
        while (first > 0 && !DrawItemStartsParagraph(data, lines, first))
            --first;
    }
    // On to the end of the changed paragraph, then to the end of the one after it.
    for (int paragraphs = 0; paragraphs < 2 && last < count - 1; ++paragraphs) {
        if (paragraphs == 1)
            ++last;
        while (last + 1 < count && !DrawItemStartsParagraph(data, lines, last + 1))
            ++last;
    }
}

} // namespace xq

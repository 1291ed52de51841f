// Combining the styles that come with an inserted fragment with the styles of the sheet.
#pragma once

#include <vector>

#include "document/FontInfo.h"
#include "document/ListInfo.h"
#include "document/ParaInfo.h"

namespace xq {

/// How incoming styles find their place in the sheet.
enum TRVStyleMergeMode {
    rvs_merge_Map,        ///< the most alike existing style; nothing is added
    rvs_merge_SmartMerge, ///< an equal existing style, else an appended copy
    rvs_merge_Append,     ///< an appended copy for every incoming style
};

/// One entry per incoming style, in incoming order: the sheet index it became.
using TRVIndexMap = std::vector<int>;

/// Merges source into sheet and tells where every source style went.
///
/// Map mode: per source style, the existing style with the highest Likeness (lower index on
/// ties). Text styles look first among styles of the same Jump and Unicode, then of the same
/// Jump, then of the same Unicode, then among all. An empty sheet has nothing to map to: text
/// and paragraph entries become 0 (shown through the fallback style), list entries -1.
///
/// Merge mode: the existing style at the same index when it matches, else the first existing
/// style that matches, else the copy appended for an earlier style of the fragment that it
/// equals, else an appended copy: a fragment never adds the same style twice. An appended copy
/// still speaks the fragment's numbers until the call ends, so it is compared by the fragment
/// style it copies, whose references are judged like those against existing styles.
/// A text style matches when it equals the candidate ignoring references and, if its
/// NextStyleNo names a style of the fragment, that style maps to the candidate's NextStyleNo.
/// A NextStyleNo of the fragment's own or a later style is not in the map yet; it matches when
/// the candidate's NextStyleNo names a style equal (ignoring references) to the one referred
/// to. A NextStyleNo beyond the fragment's styles names nothing: it counts as -1, and -1
/// matches any candidate. Paragraph styles likewise with NextParaNo. Lists must be equal
/// including their ListId, and an existing list that received a list with a numbered level
/// takes no further list, so that different numbered lists of a fragment stay apart.
///
/// Styles appended by the call are not Standard, and their references are renumbered:
/// BaseStyleNo and NextStyleNo / NextParaNo through the returned map, a paragraph's DefStyleNo
/// through textStyleMap when one is given. Negative references stay; a reference beyond the
/// fragment's styles (or beyond textStyleMap) becomes -1. Appended lists keep their ListId.
[[nodiscard]] TRVIndexMap MergeStyles(TFontInfos& sheet, const TFontInfos& source, TRVStyleMergeMode mode);
[[nodiscard]] TRVIndexMap MergeStyles(TParaInfos& sheet, const TParaInfos& source, TRVStyleMergeMode mode,
                                      const TRVIndexMap* textStyleMap = nullptr);
[[nodiscard]] TRVIndexMap MergeStyles(TRVListInfos& sheet, const TRVListInfos& source, TRVStyleMergeMode mode);

} // namespace xq

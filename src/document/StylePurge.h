// Removing the styles that no item uses and that are not standard.
#pragma once

namespace xq {

class TRVStyle;
class TCustomRVData;

/// Removes from the selected collections of sheet every style that is neither Standard, nor
/// used by an item of document (sub-documents included), nor DefUnicodeStyle, nor reachable
/// from a kept style through BaseStyleNo, NextStyleNo, NextParaNo or a paragraph's DefStyleNo.
/// The kept styles close up in their order; the references between styles, DefUnicodeStyle
/// and the style numbers of every item are renumbered to match. References met on the way
/// that lie outside their collection are reset to -1, as is an invalid DefUnicodeStyle.
void PurgeStyles(TRVStyle& sheet, TCustomRVData& document, bool text, bool para, bool lists);

} // namespace xq

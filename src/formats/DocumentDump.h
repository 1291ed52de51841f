// DumpDocumentJson: a stable JSON listing of a style sheet and a document, for looking into files.
#pragma once

#include <string>

namespace xq {

class TCustomRVData;
class TRVDocumentInfo;
class TRVStyle;

/// The sheet's text, paragraph and list styles, the document settings (info may be null) and
/// every item of doc, note texts included, as pretty-printed JSON (two-space indent, keys in a
/// fixed order, a line end at the end). Text is UTF-8: 8-bit item text is converted from its
/// style's code page, bytes that are no valid UTF-8 become U+FFFD. The only fractional numbers
/// are the page parameters, written as the RVF page lines write them.
[[nodiscard]] std::string DumpDocumentJson(const TRVStyle& sheet, const TCustomRVData& doc,
                                           const TRVDocumentInfo* info);

} // namespace xq

// NormalizeDocument: repairs paragraph starts, list markers and split text after a load.
#pragma once

namespace xq {

class TCustomRVData;

/// Makes the items of data (and of every container below it) a valid document: paragraph
/// starts after and at full-line items and markers, one ParaNo per paragraph, no marker without
/// text after it, no empty text items that can go, adjacent text of one style and tag joined.
void NormalizeDocument(TCustomRVData& data);

} // namespace xq

// Pictures in RTF: the {\pict ...} group of a graphic, and the writer of picture items.
#pragma once

#include <memory>
#include <string>

#include "formats/rtf/RtfWriter.h"

namespace xq {

class TGraphic;

/// Appends graphic as a {\pict} group, scaled to width x height pixels (0: the natural size on
/// that side). Nothing for a missing graphic.
void WriteRtfPicture(const TGraphic* graphic, int width, int height, std::string& out, const TRVRTFWriteContext& ctx);

/// The writer of picture items (plain and hot pictures).
[[nodiscard]] std::shared_ptr<const TRVRTFItemWriter> RtfPictureWriter();

} // namespace xq

// The font a text style asks a canvas for.
#pragma once

#include "platform/Canvas.h"

namespace xq {

class TCustomRVFontInfo;

/// The font request of a text style. Sub/superscript reduction is the layout's business: it sets
/// HeightOverride from its ScriptHeight afterwards.
[[nodiscard]] TCanvasFont CanvasFontOf(const TCustomRVFontInfo& style);

} // namespace xq

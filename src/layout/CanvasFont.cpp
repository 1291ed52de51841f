// The font a text style asks a canvas for.
#include "layout/CanvasFont.h"

#include "document/FontInfo.h"

namespace xq {

TCanvasFont CanvasFontOf(const TCustomRVFontInfo& style)
{
    TCanvasFont font;
    font.Name = style.FontName;
    font.Size = style.Size;
    font.Style = style.Style;
    font.Charset = style.Charset;
    font.CharSpacing = style.CharSpacing;
    font.CharScale = style.CharScale > 0 ? style.CharScale : 100;
    return font;
}

} // namespace xq

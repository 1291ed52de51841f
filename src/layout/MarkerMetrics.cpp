// Measuring list markers.
#include "layout/MarkerMetrics.h"

#include <algorithm>

#include "document/ListInfo.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"
#include "platform/CodePage.h"
#include "platform/SymbolFonts.h"

namespace xq {

TCanvasFont MarkerCanvasFont(const TRVListLevel& level)
{
    const TFontDescription& f = level.EffectiveFont();
    TCanvasFont font;
    font.Name = f.Name;
    font.Size = f.Size;
    font.Style = f.Style;
    font.Charset = f.Charset;
    return font;
}

std::u16string MarkerDrawText(const TRVListLevel& level, const TRVMarkerItemInfo& marker)
{
    if (level.ListType == rvlstUnicodeBullet)
        return level.FormatStringW;
    const TFontDescription& font = level.EffectiveFont();
    if (SymbolFontOf(font.Name) != sfNone) {
        // Symbol fonts are addressed by their character codes, whatever the code page.
        std::u16string codes;
        for (unsigned char c : marker.DisplayText)
            codes.push_back(char16_t(c));
        return codes;
    }
    return AnsiToUnicode(marker.DisplayText, CodePageOfCharset(font.Charset, 0));
}

TRVMarkerExtent MeasureMarker(const TRVStyle& sheet, const TRVMarkerItemInfo& marker, TCanvas& canvas,
                              const TRVDeviceScale& scale)
{
    TRVMarkerExtent e;
    const TRVListLevel* level = MarkerLevel(&sheet, marker);
    if (!level)
        return e;

    switch (level->ListType) {
    case rvlstPicture:
        if (const TGraphic* picture = level->Picture()) {
            e.ContentWidth = scale.X(picture->Width());
            e.Height = scale.Y(picture->Height());
        }
        break;
    case rvlstImageList:
    case rvlstImageListCounter:
        if (level->ImageList) {
            e.ContentWidth = scale.X(level->ImageList->Width);
            e.Height = scale.Y(level->ImageList->Height);
        }
        break;
    default: {
        canvas.Save();
        canvas.SelectFont(MarkerCanvasFont(*level));
        const TTextMetrics metrics = canvas.Metrics();
        e.ContentWidth = canvas.TextWidth(MarkerDrawText(*level, marker));
        e.Height = metrics.Height;
        e.Descent = metrics.Descent;
        canvas.Restore();
        break;
    }
    }

    // Pictures may say any size; what a marker adds to its line stays within an extent.
    e.ContentWidth = ClampExtent(e.ContentWidth);
    e.Height = ClampExtent(e.Height);
    switch (level->MarkerAlignment) {
    case rvmaLeft:
        e.RightPart = e.ContentWidth;
        break;
    case rvmaRight:
        e.LeftPart = e.ContentWidth;
        break;
    case rvmaCenter:
        e.RightPart = e.ContentWidth / 2;
        e.LeftPart = e.ContentWidth - e.RightPart;
        break;
    }
    const int textStart = scale.X(level->FirstIndent + level->LeftIndent - level->MarkerIndent);
    e.Width = e.LeftPart + std::max(e.RightPart, textStart);
    return e;
}

} // namespace xq

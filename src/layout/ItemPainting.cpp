// Painting the built-in non-text items into their draw item rectangles.
#include <algorithm>
#include <string>

#include "document/RVStyle.h"
#include "layout/BuiltinItemLayouts.h"
#include "layout/FontInfoCache.h"
#include "layout/MarkerMetrics.h"
#include "layout/Painter.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"
#include "pictures/Bitmap.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

/// rect with spacing (screen pixels, scaled) taken off every side.
TRect Inset(const TRect& rect, std::int32_t spacing, const TRVDeviceScale& scale)
{
    const std::int32_t s = std::max(spacing, 0);
    const std::int32_t dx = scale.X(s);
    const std::int32_t dy = scale.Y(s);
    return {rect.Left + dx, rect.Top + dy, rect.Right - dx, rect.Bottom - dy};
}

/// The text style a tab or label draws in: its own when valid, else text style 0.
int DrawStyleOf(int styleNo, const TRVStyle& sheet)
{
    return sheet.TextStyles.IsValidIndex(styleNo) ? styleNo : 0;
}

/// The item's transparency settings are what counts; the bitmap follows them before it is drawn
/// (it keeps its decoded pixels while they stay the same).
void ApplyTransparency(const TRVGraphicItemInfo& picture)
{
    auto* bitmap = dynamic_cast<TBitmap*>(picture.Image.get());
    if (!bitmap)
        return;
    bitmap->SetTransparent(picture.Transparent);
    if (picture.TransparentMode == tmFixed)
        bitmap->SetTransparentColor(picture.TransparentColor);
    else
        bitmap->SetTransparentColorAuto();
}

constexpr TCanvasPen NeutralFramePen{clBtnShadow, 1, psSolid};

} // namespace

void TRVPictureLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                             TRVPaintContext& ctx) const
{
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(item);
    const TRect inner = Inset(rect, picture.Spacing, ctx.Scale);
    if (picture.Image && !picture.Image->Empty()) {
        ApplyTransparency(picture);
        if (DrawPicture(canvas, *picture.Image, inner))
            return;
    }
    if (const TGraphic* invalid = ctx.Sheet.InvalidPicture(); invalid && DrawPicture(canvas, *invalid, inner))
        return;
    canvas.Rectangle(inner, TCanvasPen{clSilver, 1, psSolid});
}

void TRVBulletLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                            TRVPaintContext& ctx) const
{
    // Image lists carry no pixels here: the image's place is shown as a frame.
    const auto& bullet = static_cast<const TRVBulletItemInfo&>(item);
    canvas.Rectangle(Inset(rect, bullet.Spacing, ctx.Scale), NeutralFramePen);
}

void TRVControlLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo&, int, const TRect& rect, TRVPaintContext&) const
{
    canvas.Rectangle(rect, TCanvasPen{clGray, 1, psSolid});
}

void TRVTabLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                         TRVPaintContext& ctx) const
{
    // The leader belongs to the tab stop the tab reached in this layout.
    const auto* piece = dynamic_cast<const TRVTabDrawItem*>(ctx.DrawItem);
    if (!piece || piece->Leader.empty() || rect.Width() <= 0)
        return;
    const auto& tab = static_cast<const TRVTabItemInfo&>(item);
    const int styleNo = DrawStyleOf(tab.TextStyleNo, ctx.Sheet);
    canvas.SelectFont(ctx.Fonts.Item(styleNo).Font);
    const std::u16string leader = AnsiToUnicode(piece->Leader, ctx.Sheet.CodePageOfStyle(styleNo));
    const int leaderWidth = canvas.TextWidth(leader);
    if (leaderWidth <= 0)
        return;
    std::u16string text;
    for (int n = rect.Width() / leaderWidth; n > 0; --n)
        text += leader;
    if (!text.empty())
        canvas.DrawText(rect.Left, rect.Top, text, ctx.Sheet.TextStyles.StyleAt(styleNo).Color);
}

void TRVLabelLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                           TRVPaintContext& ctx) const
{
    const auto& label = static_cast<const TRVLabelItemInfo&>(item);
    const int styleNo = DrawStyleOf(label.TextStyleNo, ctx.Sheet);
    const TFontInfo& style = ctx.Sheet.TextStyles.StyleAt(styleNo);
    canvas.SelectFont(ctx.Fonts.Item(styleNo).Font);
    const std::u16string text = AnsiToUnicode(label.Text, ctx.Sheet.CodePageOfStyle(styleNo));
    const int width = ClampExtent(canvas.TextWidth(text)); // as the layout measured it
    int x = rect.Left;
    if (label.Alignment == 1)
        x = rect.Right - width;
    else if (label.Alignment == 2)
        x = rect.Left + (rect.Width() - width) / 2;
    canvas.DrawText(x, rect.Top, text, style.Color, style.BackColor);
}

void TRVMarkerLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                            TRVPaintContext& ctx) const
{
    const auto& marker = static_cast<const TRVMarkerItemInfo&>(item);
    const TRVListLevel* level = MarkerLevel(&ctx.Sheet, marker);
    if (!level)
        return;
    // The formatter puts the marker's content at the draw item's left edge, whatever the
    // level's alignment; the draw item is as high as the content.
    switch (level->ListType) {
    case rvlstPicture:
        if (const TGraphic* picture = level->Picture())
            DrawPicture(canvas, *picture,
                        {rect.Left, rect.Top, rect.Left + ctx.Scale.X(picture->Width()),
                         rect.Top + ctx.Scale.Y(picture->Height())});
        break;
    case rvlstImageList:
    case rvlstImageListCounter:
        if (level->ImageList)
            canvas.Rectangle({rect.Left, rect.Top, rect.Left + ctx.Scale.X(level->ImageList->Width),
                              rect.Top + ctx.Scale.Y(level->ImageList->Height)},
                             NeutralFramePen);
        break;
    default:
        canvas.SelectFont(MarkerCanvasFont(*level));
        canvas.DrawText(rect.Left, rect.Top, MarkerDrawText(*level, marker), level->EffectiveFont().Color);
        break;
    }
}

void TRVBreakLayout::Paint(TCanvas& canvas, const TCustomRVItemInfo& item, int, const TRect& rect,
                           TRVPaintContext& ctx) const
{
    const auto& rule = static_cast<const TRVBreakItemInfo&>(item);
    const TColor color = rule.Color == clNone ? ctx.Sheet.TextStyles.StyleAt(0).Color : rule.Color;
    const std::int32_t width = std::max(1, ctx.Scale.Y(rule.Width));
    const std::int32_t y = rect.Top + ctx.Scale.Y(BreakSpacing);
    const std::int32_t left = ctx.TextAreaLeft;
    const std::int32_t right = ctx.TextAreaLeft + ctx.TextAreaWidth; // exclusive
    if (right <= left)
        return;
    // The band a thick rule covers, centred on y like a wide pen.
    const std::int32_t bandTop = y - (width - 1) / 2;
    switch (rule.Style) {
    case rvbsLine:
        canvas.Line({left, y}, {right - 1, y}, TCanvasPen{color, width, psSolid});
        break;
    case rvbsRectangle:
        canvas.Rectangle({left, bandTop, right, bandTop + width}, TCanvasPen{color, 1, psSolid});
        break;
    case rvbs3d: {
        // A sunken bar: the shadow half above, the light half below; at least one row of each.
        const std::int32_t height = std::max(width, 2);
        const std::int32_t shadowRows = (height + 1) / 2;
        canvas.FillRect({left, bandTop, right, bandTop + shadowRows}, clBtnShadow);
        canvas.FillRect({left, bandTop + shadowRows, right, bandTop + height}, clBtnHighlight);
        break;
    }
    case rvbsDotted:
        canvas.Line({left, y}, {right - 1, y}, TCanvasPen{color, width, psDot});
        break;
    case rvbsDashed:
        canvas.Line({left, y}, {right - 1, y}, TCanvasPen{color, width, psDash});
        break;
    }
}

void TRVPlainBoxLayout::Paint(TCanvas&, const TCustomRVItemInfo&, int, const TRect&, TRVPaintContext&) const
{
    // Kinds this program only keeps show as empty space.
}

} // namespace xq

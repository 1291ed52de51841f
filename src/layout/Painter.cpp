// Painting a formatted container, in this order: the view background; the backgrounds and
// frames of the paragraphs in view; the soft page break marks; then every draw item in view, each
// with its hard page break mark, its selection fill, its text or object, its special-character
// marks and its misspelling marks.
#include "layout/Painter.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "layout/DisplayText.h"
#include "layout/FontInfoCache.h"
#include "layout/ContainerLayout.h"
#include "layout/ItemLayout.h"
#include "layout/ReformatRange.h"
#include "layout/TextAdvances.h"
#include "pictures/PictureBase.h"
#include "platform/CodePage.h"
#include "platform/SymbolFonts.h"

namespace xq {

// ---------------------------------------------------------------------------------------------
// Pieces

bool DrawPicture(TCanvas& canvas, const TGraphic& picture, const TRect& rect)
{
    // Decoded no larger than the rectangle needs, so a large picture shown small costs little.
    const std::shared_ptr<const TDecodedPicture> decoded = DecodedPicture(picture, rect.Width(), rect.Height());
    if (!decoded)
        return false;
    canvas.DrawImage(rect, decoded->Image);
    return true;
}

namespace {

/// a div b rounded towards minus infinity (b > 0).
int FloorDiv(int a, int b) noexcept
{
    const int q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

bool Meets(const TRect& a, const TRect& b) noexcept
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

} // namespace

void PaintBackground(TCanvas& canvas, const TRect& area, const TRect& paintRect, TColor color, TBackgroundStyle style,
                     const TGraphic* picture, TPoint scroll, const TRVDeviceScale& scale)
{
    const TRect clip = area.Intersect(paintRect);
    if (clip.Empty())
        return;
    // The picture is drawn at its own size (scaled to the device), or over the whole area.
    std::shared_ptr<const TDecodedPicture> decoded;
    if (picture && style != bsNoBitmap && !picture->Empty()) {
        if (style == bsStretched)
            decoded = DecodedPicture(*picture, area.Width(), area.Height());
        else if (picture->Width() > 0 && picture->Height() > 0)
            decoded = DecodedPicture(*picture, scale.X(picture->Width()), scale.Y(picture->Height()));
        else
            decoded = DecodedPicture(*picture);
    }
    const bool placedOnce = style == bsNoBitmap || style == bsCentered || style == bsTopLeft || style == bsTopRight ||
                            style == bsBottomLeft || style == bsBottomRight;
    if (color != clNone && (!decoded || decoded->HasTransparency || placedOnce))
        canvas.FillRect(clip, color);
    if (!decoded)
        return;

    const int w = scale.X(picture->Width() > 0 ? picture->Width() : decoded->Image.Width);
    const int h = scale.Y(picture->Height() > 0 ? picture->Height() : decoded->Image.Height);
    if (w <= 0 || h <= 0)
        return;
    const TRGBAImage& image = decoded->Image;
    const auto drawAt = [&](int x, int y) {
        const TRect r{x, y, x + w, y + h};
        if (Meets(r, clip))
            canvas.DrawImage(r, image);
    };

    canvas.Save();
    canvas.IntersectClip(clip);
    const int freeX = area.Width() - w;
    const int freeY = area.Height() - h;
    switch (style) {
    case bsNoBitmap:
        break;
    case bsStretched:
        canvas.DrawImage(area, image);
        break;
    case bsTiled:
    case bsTiledAndScrolled: {
        // Tiles start at the area's corner; scrolled tiles move with the text.
        int originX = area.Left;
        int originY = area.Top;
        if (style == bsTiledAndScrolled) {
            originX -= scroll.X;
            originY -= scroll.Y;
        }
        const int firstX = originX + FloorDiv(clip.Left - originX, w) * w;
        const int firstY = originY + FloorDiv(clip.Top - originY, h) * h;
        for (int y = firstY; y < clip.Bottom; y += h)
            for (int x = firstX; x < clip.Right; x += w)
                canvas.DrawImage({x, y, x + w, y + h}, image);
        break;
    }
    case bsCentered:
        drawAt(area.Left + freeX / 2, area.Top + freeY / 2);
        break;
    case bsTopLeft:
        drawAt(area.Left, area.Top);
        break;
    case bsTopRight:
        drawAt(area.Left + freeX, area.Top);
        break;
    case bsBottomLeft:
        drawAt(area.Left, area.Top + freeY);
        break;
    case bsBottomRight:
        drawAt(area.Left + freeX, area.Top + freeY);
        break;
    }
    canvas.Restore();
}

void DrawParagraphBorder(TCanvas& canvas, const TRVBorder& border, const TRect& rect, const TRVDeviceScale& scale)
{
    int lines = 0;
    switch (border.Style) {
    case rvbNone: return;
    case rvbSingle: lines = 1; break;
    case rvbDouble: lines = 2; break;
    case rvbTriple: lines = 3; break;
    case rvbThickInside:
    case rvbThickOutside: lines = 2; break;
    }
    if (border.Color == clNone)
        return;
    const TRVRect& bo = border.BorderOffsets;
    TRect r{rect.Left - scale.X(bo.Left), rect.Top - scale.Y(bo.Top), rect.Right + scale.X(bo.Right),
            rect.Bottom + scale.Y(bo.Bottom)};
    const int width = std::max(1, scale.X(border.Width));
    const int stepX = scale.X(1 + border.InternalWidth);
    const int stepY = scale.Y(1 + border.InternalWidth);
    // A thin border's thick line needs one more pixel of room on the side it grows to.
    const bool extraStep = border.Width == 1;
    for (int k = 0; k < lines; ++k) {
        const bool thick = (border.Style == rvbThickInside && k == 0) ||
                           (border.Style == rvbThickOutside && k == lines - 1);
        const TCanvasPen pen{border.Color, thick ? 2 * width : width, psSolid};
        const TRVBooleanRect& visible = border.VisibleBorders;
        if (visible.Left)
            canvas.Line({r.Left, r.Top}, {r.Left, r.Bottom}, pen);
        if (visible.Top)
            canvas.Line({r.Left, r.Top}, {r.Right, r.Top}, pen);
        if (visible.Right)
            canvas.Line({r.Right, r.Top}, {r.Right, r.Bottom}, pen);
        if (visible.Bottom)
            canvas.Line({r.Left, r.Bottom}, {r.Right, r.Bottom}, pen);
        r = {r.Left - stepX, r.Top - stepY, r.Right + stepX, r.Bottom + stepY};
        if (extraStep && border.Style == rvbThickOutside) {
            r.Right += scale.X(1);
            r.Bottom += scale.Y(1);
        } else if (extraStep && border.Style == rvbThickInside) {
            r.Left -= scale.X(1);
            r.Top -= scale.Y(1);
        }
    }
}

void DrawPageBreakMark(TCanvas& canvas, std::int32_t y, std::int32_t left, std::int32_t width, TColor color)
{
    const TCanvasPen pen{color, 1, psSolid};
    const std::int32_t corner = left + width - 8;
    canvas.Line({left, y}, {corner, y}, pen);
    canvas.Polygon({{corner, y}, {left + width, y + 8}, {corner, y + 8}}, clWindow, pen);
}

std::vector<TPoint> MisspellingPoints(std::int32_t left, std::int32_t right, std::int32_t bottom)
{
    constexpr std::size_t MaxPoints = 1024;
    const std::int32_t high = bottom + 2 - 4;
    const std::int32_t low = bottom + 2 - 2;
    std::vector<TPoint> points;
    for (std::int32_t x = left; x <= right && points.size() < MaxPoints; x += 2)
        points.push_back({x, points.size() % 2 == 0 ? high : low});
    if (points.size() < 2)
        return {};
    points.back().X = right;
    return points;
}

// ---------------------------------------------------------------------------------------------
// The document painter

namespace {

constexpr char16_t MiddleDot = 0x00B7;
constexpr char16_t DegreeSign = 0x00B0;
constexpr char16_t NoBreakSpace = 0x00A0;
constexpr char16_t PilcrowCode = 0x00B6;     ///< in the code page of the text's font
constexpr char16_t ReturnArrowCode = 0x00BF; ///< in the "Symbol" font

/// The pattern of a drawn underline: lengths in units of the line's thickness, on and off in turn.
struct TUnderlinePattern {
    bool Thick = false;
    std::vector<int> Dashes; ///< empty: a continuous line
};

TUnderlinePattern PatternOf(TRVUnderlineType type)
{
    switch (type) {
    case rvutNormal:
    case rvutDouble: return {false, {}};
    case rvutThick: return {true, {}};
    case rvutDotted: return {false, {1, 1}};
    case rvutThickDotted: return {true, {1, 1}};
    case rvutDashed: return {false, {4, 2}};
    case rvutThickDashed: return {true, {4, 2}};
    case rvutLongDashed: return {false, {8, 3}};
    case rvutThickLongDashed: return {true, {8, 3}};
    case rvutDashDotted: return {false, {4, 2, 1, 2}};
    case rvutThickDashDotted: return {true, {4, 2, 1, 2}};
    case rvutDashDotDotted: return {false, {4, 2, 1, 2, 1, 2}};
    case rvutThickDashDotDotted: return {true, {4, 2, 1, 2, 1, 2}};
    }
    return {};
}

/// Draws an underline of a type from left to right with its top at y. Dash patterns are laid
/// from x = 0, so that the pieces of a line join up.
void DrawUnderline(TCanvas& canvas, TRVUnderlineType type, int left, int right, int y, int thickness, TColor color)
{
    const TUnderlinePattern pattern = PatternOf(type);
    const int unit = pattern.Thick ? 2 * thickness : thickness;
    if (type == rvutDouble) {
        canvas.FillRect({left, y, right, y + thickness}, color);
        canvas.FillRect({left, y + 2 * thickness, right, y + 3 * thickness}, color);
        return;
    }
    if (pattern.Dashes.empty()) {
        canvas.FillRect({left, y, right, y + unit}, color);
        return;
    }
    int period = 0;
    for (int d : pattern.Dashes)
        period += d * unit;
    for (int base = FloorDiv(left, period) * period; base < right; base += period) {
        int x = base;
        for (std::size_t k = 0; k < pattern.Dashes.size(); ++k) {
            const int length = pattern.Dashes[k] * unit;
            if (k % 2 == 0) {
                const int a = std::max(x, left);
                const int b = std::min(x + length, right);
                if (a < b)
                    canvas.FillRect({a, y, b, y + unit}, color);
            }
            x += length;
        }
    }
}

class TDocumentPainter {
public:
    TDocumentPainter(TRVContainerLayout& layout, TCanvas& canvas, const TRVPaintRequest& request)
        : Data_(layout), Doc_(layout.Document()), View_(layout.View()), Canvas_(canvas), Request_(request),
          Sheet_(Doc_.GetRVStyle()), Scale_(layout.DeviceScale()), Lines_(layout.DrawItems())
    {
    }

    void Run();

private:
    // Geometry of lines
    void VisibleRange(int top, int bottom, int& first, int& last) const;
    [[nodiscard]] int LineTop(int index) const;
    [[nodiscard]] bool EndsLine(int index) const { return index + 1 >= Lines_.Count() || Lines_[index + 1].StartsLine(); }

    // Paragraph backgrounds and frames
    [[nodiscard]] int ParagraphFrameReach() const;
    void PaintParagraphFrames(const TRect& visible);
    void PaintParagraphFrame(int first, int last);

    void PaintSoftPageBreaks(const TRect& visible);
    [[nodiscard]] int DrawItemOfOffset(int itemNo, int offset) const;

    // Draw items
    void PaintDrawItem(int index);
    void PaintTextItem(int index);
    void PaintEndMark(int index);
    [[nodiscard]] bool SelectedPart(int index, int low, int high, int& from, int& to) const;
    void FillSelection(int index, int left, int right, int top, int bottom);
    [[nodiscard]] std::u16string PieceText(int index);
    [[nodiscard]] bool StoredSoftHyphen(int itemNo, int charIndex, char16_t shown) const;
    [[nodiscard]] bool RightToLeft(int itemNo) const;

    TRVContainerLayout& Data_;
    const TCustomRVData& Doc_;
    const TRVViewSettings& View_;
    TCanvas& Canvas_;
    const TRVPaintRequest& Request_;
    const TRVStyle* Sheet_;
    const TRVDeviceScale& Scale_;
    const TRVDrawLines& Lines_;
    TRVFontInfoCache* Fonts_ = nullptr;
    std::unique_ptr<TRVFontInfoCache> OwnFonts_;
    std::unique_ptr<TRVPaintContext> Context_;

    bool ShowSpecial_ = false;
    bool ShowPageBreaks_ = false;
    bool HasSelection_ = false;
    int SelFirstNo_ = 0, SelFirstOffs_ = 0, SelLastNo_ = 0, SelLastOffs_ = 0;
    /// The text style drawn last: paragraph marks use its font.
    int LastTextStyle_ = 0;
    int DisplayItemNo_ = -1;
    std::u16string DisplayText_;
    std::vector<int> Advances_; ///< of the text piece being painted
};

void TDocumentPainter::Run()
{
    Canvas_.Save();
    Canvas_.IntersectClip(Request_.Rect);

    TRect client{0, 0, Request_.ClientWidth, Request_.ClientHeight};
    if (client.Empty())
        client = Request_.Rect;
    PaintBackground(Canvas_, client, Request_.Rect, Request_.Color, Request_.BackgroundStyle,
                    Request_.BackgroundPicture, {Request_.ScrollX, Request_.ScrollY}, Scale_);

    if (!Sheet_ || Lines_.Count() == 0) {
        Canvas_.Restore();
        return;
    }
    Fonts_ = Data_.FontCache();
    if (!Fonts_) {
        OwnFonts_ = std::make_unique<TRVFontInfoCache>(*Sheet_, Canvas_);
        Fonts_ = OwnFonts_.get();
    }
    Context_ = std::make_unique<TRVPaintContext>(
        TRVPaintContext{*Sheet_, *Fonts_, Scale_, Doc_, Request_.Printing, Scale_.X(View_.LeftMargin), Data_.TextAreaWidth()});
    Context_->Layout = &Data_;
    ShowSpecial_ = !Request_.Printing && View_.Options.Contains(rvoShowSpecialCharacters);
    ShowPageBreaks_ = !Request_.Printing && View_.Options.Contains(rvoShowPageBreaks);
    Context_->Visible = Request_.Rect.Offset(Request_.ScrollX, Request_.ScrollY);
    Context_->Focused = Request_.Focused;
    Context_->Editable = Request_.Editable && !Request_.Printing;
    Context_->ShowPageBreaks = ShowPageBreaks_;
    Context_->ViewColor = Request_.Color;
    HasSelection_ = !Request_.Printing && Data_.GetOrderedSelection(SelFirstNo_, SelFirstOffs_, SelLastNo_, SelLastOffs_);
    if (Request_.SelectAll && !Request_.Printing && Lines_.Count() > 0) {
        HasSelection_ = true;
        SelFirstNo_ = SelFirstOffs_ = 0;
        SelLastNo_ = Lines_.Count() - 1;
        SelLastOffs_ = std::numeric_limits<int>::max();
    }

    // From here on, document coordinates.
    Canvas_.Translate(-Request_.ScrollX, -Request_.ScrollY);
    const TRect visible = Request_.Rect.Offset(Request_.ScrollX, Request_.ScrollY);

    PaintParagraphFrames(visible);
    if (ShowPageBreaks_)
        PaintSoftPageBreaks(visible);

    // Marks reach a little beyond their lines (zigzags below, page break marks above).
    int first = 0, last = -1;
    VisibleRange(visible.Top - 2, visible.Bottom + 2, first, last);
    if (first <= last) {
        for (int itemNo = Lines_[first].ItemNo; itemNo >= 0; --itemNo)
            if (Doc_.ItemAt(itemNo).IsText()) {
                LastTextStyle_ = Doc_.ActualStyleOf(itemNo);
                break;
            }
    }
    for (int i = first; i <= last; ++i)
        PaintDrawItem(i);
    Canvas_.Restore();
}

// --- Lines

void TDocumentPainter::VisibleRange(int top, int bottom, int& first, int& last) const
{
    first = 0;
    last = -1;
    bool found = false;
    const int count = Lines_.Count();
    // Lines stand one below the other, so the tops of draw items grow from line to line (within
    // a line they may differ): search for the first one at or below top, then start two lines
    // earlier, which covers lines that reach into the area from above.
    int lo = 0, hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (Lines_[mid].Top < top)
            lo = mid + 1;
        else
            hi = mid;
    }
    int start = std::min(lo, count - 1);
    for (int lines = 0; lines < 2 && start > 0; ++lines) {
        --start;
        while (start > 0 && !Lines_[start].StartsLine())
            --start;
    }
    while (start > 0 && !Lines_[start].StartsLine())
        --start;
    for (int i = std::max(start, 0); i < count;) {
        int j = i;
        int lineTop = Lines_[i].Top;
        int lineBottom = Lines_[i].Bottom() + Lines_[i].LineGapAfter;
        while (j + 1 < count && !Lines_[j + 1].StartsLine()) {
            ++j;
            lineTop = std::min(lineTop, Lines_[j].Top);
            lineBottom = std::max(lineBottom, Lines_[j].Bottom() + Lines_[j].LineGapAfter);
        }
        if (lineTop >= bottom)
            break; // lines stand one below the other
        if (lineBottom > top) {
            if (!found)
                first = i;
            found = true;
            last = j;
        }
        i = j + 1;
    }
}

int TDocumentPainter::LineTop(int index) const
{
    int first = 0, last = 0;
    Data_.GetLineRange(index, first, last);
    int top = Lines_[first].Top;
    for (int i = first + 1; i <= last; ++i)
        top = std::min(top, Lines_[i].Top);
    return top;
}

// --- Paragraph backgrounds and frames

int TDocumentPainter::ParagraphFrameReach() const
{
    // How far any paragraph's background or frame reaches beyond its lines (the fallback style
    // of broken documents has a small frame too).
    int reach = 8;
    for (int p = 0; p < Sheet_->ParaStyles.Count(); ++p) {
        const TParaInfo& para = Sheet_->ParaStyles.StyleAt(p);
        const TRVBorder& b = para.Border;
        if (b.Style != rvbNone)
            reach = std::max(reach, std::max(b.BorderOffsets.Top, b.BorderOffsets.Bottom) + b.GetTotalWidth() + 2);
        const TRVBackgroundRect& bg = para.Background;
        if (bg.Color != clNone)
            reach = std::max(reach, std::max(bg.BorderOffsets.Top, bg.BorderOffsets.Bottom));
    }
    return Scale_.Y(reach);
}

void TDocumentPainter::PaintParagraphFrames(const TRect& visible)
{
    const int reach = ParagraphFrameReach();
    int first = 0, last = -1;
    VisibleRange(visible.Top - reach, visible.Bottom + reach, first, last);
    if (first > last)
        return;
    while (first > 0 && !DrawItemStartsParagraph(Doc_, Lines_, first))
        --first;
    for (int start = first; start <= last;) {
        int end = start;
        while (end + 1 < Lines_.Count() && !DrawItemStartsParagraph(Doc_, Lines_, end + 1))
            ++end;
        PaintParagraphFrame(start, end);
        start = end + 1;
    }
}

void TDocumentPainter::PaintParagraphFrame(int first, int last)
{
    const TParaInfo& para = Sheet_->ParaStyles.StyleAt(Doc_.ParaOf(Lines_[first].ItemNo));
    const bool framed = para.Border.Style != rvbNone;
    const bool filled = para.Background.Color != clNone;
    if (!framed && !filled)
        return;

    TRect r;
    r.Left = Scale_.X(View_.LeftMargin) + Scale_.X(para.LeftIndent + std::min(para.FirstIndent, 0));
    if (View_.Options.Contains(rvoClientTextWidth)) {
        const int client = Request_.ClientWidth > 0 ? Request_.ClientWidth : Scale_.X(View_.ClientWidth);
        r.Right = client - Scale_.X(View_.RightMargin + para.RightIndent);
    } else if (View_.MaxTextWidth > 0) {
        r.Right = Scale_.X(View_.LeftMargin) + Scale_.X(View_.MaxTextWidth - para.RightIndent);
    } else {
        r.Right = Data_.DocumentWidth() - Scale_.X(View_.RightMargin + para.RightIndent);
    }
    r.Top = Lines_[first].Top;
    r.Bottom = Lines_[first].Bottom() + Lines_[first].LineGapAfter;
    for (int i = first; i <= last; ++i) {
        const TRVDrawLineInfo& d = Lines_[i];
        r.Right = std::max(r.Right, d.Left + d.Width);
        r.Top = std::min(r.Top, d.Top);
        r.Bottom = std::max(r.Bottom, d.Bottom() + d.LineGapAfter);
    }

    if (filled) {
        const TRVRect& bo = para.Background.BorderOffsets;
        Canvas_.FillRect({r.Left - Scale_.X(bo.Left), r.Top - Scale_.Y(bo.Top), r.Right + Scale_.X(bo.Right),
                          r.Bottom + Scale_.Y(bo.Bottom)},
                         para.Background.Color);
    }
    if (framed)
        DrawParagraphBorder(Canvas_, para.Border, r, Scale_);
}

// --- Page breaks

int TDocumentPainter::DrawItemOfOffset(int itemNo, int offset) const
{
    const int count = Lines_.Count();
    // Draw items are in item order: the first one of the item by bisection.
    int lo = 0, hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (Lines_[mid].ItemNo < itemNo)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo >= count || Lines_[lo].ItemNo != itemNo)
        return -1;
    int index = lo;
    while (index + 1 < count && Lines_[index + 1].ItemNo == itemNo && Lines_[index + 1].FirstChar <= offset)
        ++index;
    return index;
}

void TDocumentPainter::PaintSoftPageBreaks(const TRect& visible)
{
    for (const TRVSoftPageBreakInfo& pageBreak : Data_.SoftPageBreaks()) {
        const int index = DrawItemOfOffset(pageBreak.ItemNo, pageBreak.Offset);
        if (index < 0)
            continue;
        // A page that starts inside a table records how far into the table it starts.
        const int y = LineTop(index) + std::max(pageBreak.ExtraData, 0);
        if (y + 8 < visible.Top || y >= visible.Bottom)
            continue;
        DrawPageBreakMark(Canvas_, y, 0, Data_.DocumentWidth(), Sheet_->SoftPageBreakColor);
    }
}

// --- Draw items

void TDocumentPainter::PaintDrawItem(int index)
{
    const TRVDrawLineInfo& d = Lines_[index];
    const TCustomRVItemInfo& item = Doc_.ItemAt(d.ItemNo);
    const bool firstPiece = index == 0 || Lines_[index - 1].ItemNo != d.ItemNo;
    if (ShowPageBreaks_ && firstPiece && item.NewPageBefore())
        DrawPageBreakMark(Canvas_, LineTop(index) - 1, 0, Data_.DocumentWidth(), Sheet_->PageBreakColor);

    if (item.IsText()) {
        PaintTextItem(index);
    } else {
        const TRect rect{d.Left, d.Top, d.Left + d.Width, d.Bottom()};
        int from = 0, to = 0;
        if (SelectedPart(index, 0, 1, from, to))
            FillSelection(index, rect.Left, rect.Right, rect.Top, rect.Bottom);
        Context_->DrawItem = &d;
        ItemLayoutOf(item).Paint(Canvas_, item, d.ItemNo, rect, *Context_);
    }
    if (ShowSpecial_)
        PaintEndMark(index);
}

bool TDocumentPainter::SelectedPart(int index, int low, int high, int& from, int& to) const
{
    if (!HasSelection_ || index < SelFirstNo_ || index > SelLastNo_)
        return false;
    from = std::clamp(index == SelFirstNo_ ? SelFirstOffs_ : low, low, high);
    to = std::clamp(index == SelLastNo_ ? SelLastOffs_ : high, low, high);
    return from < to;
}

void TDocumentPainter::FillSelection(int index, int left, int right, int top, int bottom)
{
    const TColor color = Request_.Focused ? Sheet_->SelColor : Sheet_->InactiveSelColor;
    if (color == clNone)
        return;
    if (Sheet_->SelectionStyle == rvssLines) {
        top = LineTop(index);
        bottom = Data_.LineBottom(index);
        --left;
        ++right;
    }
    Canvas_.FillRect({left, top, right, bottom}, color);
}

bool TDocumentPainter::StoredSoftHyphen(int itemNo, int charIndex, char16_t shown) const
{
    if (shown == SoftHyphen)
        return true;
    if (shown != ZeroWidthSpace || !Doc_.ItemAt(itemNo).IsUnicode())
        return false;
    // Hidden soft hyphens show as zero-width spaces; a real zero-width space must stay one.
    const TRVItemText stored = TRVItemText::Of(Doc_, itemNo);
    return charIndex >= 0 && charIndex < stored.Length() && stored.UnitAt(charIndex) == SoftHyphen;
}

std::u16string TDocumentPainter::PieceText(int index)
{
    const TRVDrawLineInfo& d = Lines_[index];
    if (DisplayItemNo_ != d.ItemNo) {
        DisplayText_ = Data_.DisplayTextOf(d.ItemNo);
        DisplayItemNo_ = d.ItemNo;
    }
    const int size = static_cast<int>(DisplayText_.size());
    const int start = std::clamp(d.FirstChar - 1, 0, size);
    const int count = std::clamp(d.CharCount, 0, size - start);
    std::u16string text = DisplayText_.substr(std::size_t(start), std::size_t(count));
    // A line that ends at a soft hyphen shows the hyphen.
    if (!text.empty() && EndsLine(index) && StoredSoftHyphen(d.ItemNo, start + count - 1, text.back()))
        text.back() = u'-';
    return text;
}

void TDocumentPainter::PaintTextItem(int index)
{
    const TRVDrawLineInfo& d = Lines_[index];
    const TCustomRVItemInfo& item = Doc_.ItemAt(d.ItemNo);
    const int styleNo = Doc_.ActualStyleOf(d.ItemNo);
    LastTextStyle_ = styleNo;
    const TFontInfo& style = Sheet_->TextStyles.StyleAt(styleNo);

    const std::u16string text = PieceText(index);
    const int n = static_cast<int>(text.size());
    // x of every character from the first one's, as the layout measured them (and held, as the
    // layout holds a piece's width).
    TextAdvances(Canvas_, *Fonts_, styleNo, text, Advances_);
    const std::vector<std::int32_t> pos = AdvancePositions(Advances_);

    TCanvasFont font = Fonts_->Item(styleNo).Font;
    // The canvas underlines plainly in the text colour; other underlines are drawn here.
    const bool ownUnderline = font.Style.Contains(fsUnderline) &&
                              (style.UnderlineType != rvutNormal || style.UnderlineColor != clNone);
    if (ownUnderline)
        font.Style.Exclude(fsUnderline);
    Canvas_.SelectFont(font);
    // Justification space stays empty in front of the text.
    const int x0 = d.Left + d.JustifyExtra;
    const auto xAt = [&](int k) { return x0 + pos[std::size_t(std::clamp(k, 0, n))]; };

    int selFrom = 0, selTo = 0;
    int fromOffs = 0, toOffs = 0;
    if (SelectedPart(index, 1, d.CharCount + 1, fromOffs, toOffs)) {
        selFrom = std::min(fromOffs - 1, n);
        selTo = std::min(toOffs - 1, n);
        const int left = fromOffs == 1 ? d.Left : xAt(selFrom);
        const int right = toOffs == d.CharCount + 1 ? d.Left + d.Width : xAt(selTo);
        FillSelection(index, left, right, d.Top, d.Bottom());
    }

    const TColor normalColor = style.Color;
    TColor selectedColor = Request_.Focused ? Sheet_->SelTextColor : Sheet_->InactiveSelTextColor;
    if (selectedColor == clNone)
        selectedColor = normalColor;
    const TTextMetrics metrics = Canvas_.Metrics();
    const TScriptMetrics script = Canvas_.ScriptMetrics();
    const int thickness = std::max(1, script.UnderlineThickness);

    const auto paintRun = [&](int from, int to, TColor color, TColor back) {
        if (from >= to)
            return;
        const int left = xAt(from);
        const int right = xAt(to);
        if (back != clNone)
            Canvas_.FillRect({left, d.Top, right, d.Bottom()}, back);
        // Zero-width characters are left out so that the rest stands where it was measured.
        const std::u16string_view view(text);
        for (int k = from; k < to;) {
            if (IsZeroWidth(text[std::size_t(k)])) {
                ++k;
                continue;
            }
            int e = k;
            while (e < to && !IsZeroWidth(text[std::size_t(e)]))
                ++e;
            Canvas_.DrawText(xAt(k), d.Top, view.substr(std::size_t(k), std::size_t(e - k)), color);
            k = e;
        }
        if (ownUnderline)
            DrawUnderline(Canvas_, style.UnderlineType, left, right, d.Top + metrics.Ascent + script.UnderlinePosition,
                          thickness, style.UnderlineColor != clNone ? style.UnderlineColor : color);
        if (style.StyleEx.Contains(rvfsOverline))
            Canvas_.FillRect({left, d.Top, right, d.Top + thickness}, color);
    };
    paintRun(0, selFrom, normalColor, style.BackColor);
    paintRun(selFrom, selTo, selectedColor, clNone);
    paintRun(selTo, n, normalColor, style.BackColor);

    if (ShowSpecial_) {
        const TRVSpecialCharacters shown = VisibleSpecialCharacters();
        for (int k = 0; k < n; ++k) {
            const char16_t c = text[std::size_t(k)];
            char16_t mark = 0;
            if (c == u' ' && shown.Contains(rvscSpace))
                mark = MiddleDot;
            else if (c == NoBreakSpace && shown.Contains(rvscNBSP))
                mark = DegreeSign;
            if (mark == 0)
                continue;
            const std::u16string markText(1, mark);
            const int cell = pos[std::size_t(k) + 1] - pos[std::size_t(k)];
            const int offset = MulDiv(cell - Canvas_.TextWidth(markText), 1, 2);
            Canvas_.DrawText(xAt(k) + offset, d.Top, markText, k >= selFrom && k < selTo ? selectedColor : normalColor);
        }
    }

    if (!Request_.Printing && item.Misspellings) {
        const TCanvasPen pen{Sheet_->LiveSpellingColor, 1, psSolid};
        for (const TRVMisspelling& word : *item.Misspellings) {
            const int a = std::max(word.Start, d.FirstChar) - d.FirstChar;
            const int b = std::min(word.Start + word.Length, d.FirstChar + d.CharCount) - d.FirstChar;
            if (a >= b)
                continue;
            const std::vector<TPoint> points = MisspellingPoints(xAt(a), xAt(b), d.Bottom());
            if (!points.empty())
                Canvas_.Polyline(points, pen);
        }
    }
}

bool TDocumentPainter::RightToLeft(int itemNo) const
{
    const TParaInfo& para = Sheet_->ParaStyles.StyleAt(Doc_.ParaOf(itemNo));
    const TRVBiDiMode mode = para.BiDiMode != rvbdUnspecified ? para.BiDiMode : View_.BiDiMode;
    return mode == rvbdRightToLeft;
}

void TDocumentPainter::PaintEndMark(int index)
{
    if (!VisibleSpecialCharacters().Contains(rvscParagraph))
        return;
    const TRVDrawLineInfo& d = Lines_[index];
    if (index + 1 < Lines_.Count() && Lines_[index + 1].ItemNo == d.ItemNo)
        return; // not the item's last piece
    bool lineBreak = false;
    if (d.ItemNo + 1 < Doc_.Count()) {
        const TCustomRVItemInfo& next = Doc_.ItemAt(d.ItemNo + 1);
        if (next.NewLine())
            lineBreak = true;
        else if (!next.StartsParagraph())
            return;
    }

    const TFontInfo& style = Sheet_->TextStyles.StyleAt(LastTextStyle_);
    TCanvasFont font = Fonts_->Item(LastTextStyle_).Font;
    std::u16string mark;
    if (lineBreak) {
        font.Name = "Symbol";
        font.Charset = SYMBOL_CHARSET;
        mark.assign(1, ReturnArrowCode);
    } else {
        const TSymbolFont symbol = SymbolFontOf(font.Name);
        if (symbol == sfSymbol || symbol == sfWingdings || font.Charset == SYMBOL_CHARSET) {
            // A symbol font has no pilcrow at that code.
            font.Name = "Arial";
            font.Charset = DEFAULT_CHARSET;
            mark.assign(1, PilcrowCode);
        } else {
            const char code = static_cast<char>(PilcrowCode);
            mark = AnsiToUnicode(std::string_view(&code, 1), Sheet_->CodePageOfStyle(LastTextStyle_));
            if (mark.empty())
                mark.assign(1, PilcrowCode);
        }
    }
    Canvas_.SelectFont(font);
    const int width = Canvas_.TextWidth(mark);
    const int height = Canvas_.Metrics().Height;
    const int x = RightToLeft(d.ItemNo) ? d.Left - width : d.Left + d.Width;
    Canvas_.DrawText(x, d.Bottom() - height, mark, style.Color);
}

} // namespace

void PaintDocument(TRVContainerLayout& layout, TCanvas& canvas, const TRVPaintRequest& request)
{
    TDocumentPainter(layout, canvas, request).Run();
}

} // namespace xq

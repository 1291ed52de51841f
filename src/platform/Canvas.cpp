// TCanvas: the measuring and text drawing every canvas shares, built on per-character advances.
#include "platform/Canvas.h"

#include <algorithm>
#include <cstdlib>


namespace xq {

TRect TRect::Intersect(const TRect& o) const noexcept
{
    TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
    r.Right = std::max(r.Right, r.Left);
    r.Bottom = std::max(r.Bottom, r.Top);
    return r;
}

int FontPixelHeight(const TCanvasFont& font, int dpiY) noexcept
{
    if (font.HeightOverride > 0)
        return font.HeightOverride;
    const long long points = std::llabs(static_cast<long long>(font.Size));
    const long long pixels = (points * dpiY + 36) / 72;
    return static_cast<int>(std::max(1LL, pixels));
}

namespace {

/// Widths of texts are summed in 64 bits and held within +-2^30: a long text in a large font is
/// wider than 32 bits can count, and callers add positions to what they get.
constexpr std::int64_t MaxMeasuredWidth = std::int64_t{1} << 30;

[[nodiscard]] int HeldWidth(std::int64_t width) noexcept
{
    return static_cast<int>(std::clamp(width, -MaxMeasuredWidth, MaxMeasuredWidth));
}

} // namespace

int TCanvas::TextWidth(std::u16string_view text)
{
    std::int64_t width = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        width += CharAdvance(text[i], i + 1 < text.size() ? text[i + 1] : u'\0');
    return HeldWidth(width);
}

TSize TCanvas::TextExtent(std::u16string_view text)
{
    return {TextWidth(text), Metrics().Height};
}

int TCanvas::FitCount(std::u16string_view text, int maxWidth, std::vector<int>* positions)
{
    const auto high = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto low = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    if (positions)
        positions->assign(text.size(), 0);
    std::int64_t width = 0;
    int fit = 0;
    bool full = false;
    for (std::size_t i = 0; i < text.size();) {
        // A surrogate pair fits only as a whole.
        const std::size_t len = high(text[i]) && i + 1 < text.size() && low(text[i + 1]) ? 2 : 1;
        for (std::size_t k = i; k < i + len; ++k) {
            width += CharAdvance(text[k], k + 1 < text.size() ? text[k + 1] : u'\0');
            if (positions)
                (*positions)[k] = HeldWidth(width);
        }
        i += len;
        if (!full && width <= maxWidth)
            fit = static_cast<int>(i);
        else if (!positions)
            break;
        else
            full = true;
    }
    return fit;
}

void TCanvas::DrawText(int x, int y, std::u16string_view text, TColor color, TColor backColor)
{
    const int width = TextWidth(text);
    const int right = HeldWidth(std::int64_t{x} + width); // both may lie far out
    const TTextMetrics tm = Metrics();
    if (backColor != clNone)
        FillRect({x, y, right, y + tm.Height}, backColor);
    if (color == clNone || text.empty())
        return;
    DrawTextRun(x, y, text, color);
    const TCanvasFont& font = Font();
    if (!font.Style.Contains(fsUnderline) && !font.Style.Contains(fsStrikeOut))
        return;
    const TScriptMetrics sm = ScriptMetrics();
    const int baseline = y + tm.Ascent;
    if (font.Style.Contains(fsUnderline)) {
        const int top = baseline + sm.UnderlinePosition;
        FillRect({x, top, right, top + std::max(1, sm.UnderlineThickness)}, color);
    }
    if (font.Style.Contains(fsStrikeOut)) {
        const int top = baseline - sm.StrikeoutPosition;
        FillRect({x, top, right, top + std::max(1, sm.StrikeoutThickness)}, color);
    }
}

} // namespace xq

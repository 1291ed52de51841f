// TCanvas: the measuring and text drawing every canvas shares, built on per-character advances
// and the cluster rule for combining marks.
#include "platform/Canvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Unicode.h"


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

template <class Sink>
void TCanvas::WalkAdvances(std::u16string_view text, Sink&& sink)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        // Below U+0300 the next unit is neither a mark nor a surrogate: the unit at i stands alone.
        const char16_t next = i + 1 < n ? text[i + 1] : u'\0';
        if (next < 0x0300) {
            if (!sink(i, CharAdvance(text[i], next)))
                return;
            ++i;
            continue;
        }
        const std::size_t end = ClusterEnd(text, i);
        const bool pair = IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1]);
        if (end == i + (pair ? 2 : 1)) {
            // A character without marks: each unit's own advance (a pair's on its first unit).
            for (std::size_t k = i; k < end; ++k)
                if (!sink(k, CharAdvance(text[k], k + 1 < n ? text[k + 1] : u'\0')))
                    return;
        } else {
            if (!sink(i, ClusterAdvance(text.substr(i, end - i))))
                return;
            for (std::size_t k = i + 1; k < end; ++k)
                if (!sink(k, 0))
                    return;
        }
        i = end;
    }
}

int TCanvas::ClusterAdvance(std::u16string_view cluster)
{
    return CharAdvance(cluster[0], cluster.size() > 1 ? cluster[1] : u'\0');
}

void TCanvas::CharAdvances(std::u16string_view text, std::vector<int>& advances)
{
    advances.resize(text.size());
    WalkAdvances(text, [&](std::size_t k, int advance) {
        advances[k] = advance;
        return true;
    });
}

std::size_t TCanvas::ClusterAdvancesAt(std::u16string_view text, std::size_t index, std::vector<int>& advances)
{
    // A unit's advance depends on no unit outside its cluster: the next unit counts only when it
    // completes a surrogate pair.
    const std::size_t end = ClusterEnd(text, index);
    WalkAdvances(text.substr(index, end - index), [&](std::size_t k, int advance) {
        advances[index + k] = advance;
        return true;
    });
    return end;
}

int TCanvas::TextWidth(std::u16string_view text)
{
    std::int64_t width = 0;
    WalkAdvances(text, [&](std::size_t, int advance) {
        width += advance;
        return true;
    });
    return HeldWidth(width);
}

TSize TCanvas::TextExtent(std::u16string_view text)
{
    return {TextWidth(text), Metrics().Height};
}

int TCanvas::FitCount(std::u16string_view text, int maxWidth, std::vector<int>* positions)
{
    if (positions)
        positions->assign(text.size(), 0);
    std::int64_t width = 0;
    int fit = 0;
    bool full = false;
    WalkAdvances(text, [&](std::size_t k, int advance) {
        width += advance;
        if (positions)
            (*positions)[k] = HeldWidth(width);
        // A surrogate pair fits only as a whole; marks add nothing, so they fit with their character.
        if (IsHighSurrogate(text[k]) && k + 1 < text.size() && IsLowSurrogate(text[k + 1]))
            return true;
        if (!full && width <= maxWidth) {
            fit = static_cast<int>(k) + 1;
            return true;
        }
        full = true;
        return positions != nullptr; // nothing more fits, but the positions go on
    });
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

// Likeness of text, paragraph and list styles, built from closeness of numbers and colours.
#include "document/StyleLikeness.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace xq {

namespace {

[[nodiscard]] std::int64_t Abs64(std::int64_t v) noexcept
{
    return v < 0 ? -v : v;
}

/// num / den for den > 0, rounded to the nearest integer with halves away from zero.
[[nodiscard]] std::int64_t RoundedQuotient(std::int64_t num, std::int64_t den) noexcept
{
    const std::int64_t q = (2 * Abs64(num) + den) / (2 * den);
    return num < 0 ? -q : q;
}

[[nodiscard]] std::int32_t Clamp32(std::int64_t v) noexcept
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

[[nodiscard]] bool IsLight(TColor rgb) noexcept
{
    return RedOf(rgb) > 64 || GreenOf(rgb) > 64 || BlueOf(rgb) > 64;
}

[[nodiscard]] std::int64_t Bonus(bool equal, std::int64_t points) noexcept
{
    return equal ? points : 0;
}

/// The four offsets of a rectangle, each compared with weight w.
[[nodiscard]] std::int64_t RectCloseness(const TRVRect& s, const TRVRect& c, std::int32_t w) noexcept
{
    return Closeness(s.Left, c.Left, w) + Closeness(s.Top, c.Top, w) + Closeness(s.Right, c.Right, w) +
           Closeness(s.Bottom, c.Bottom, w);
}

[[nodiscard]] std::int64_t TabsLikeness(const TRVTabInfos& s, const TRVTabInfos& c) noexcept
{
    const int common = std::min(s.Count(), c.Count());
    std::int64_t result = 0;
    auto si = s.begin();
    auto ci = c.begin();
    for (int i = 0; i < common; ++i, ++si, ++ci)
        result += Closeness(si->Position, ci->Position, 200) + Bonus(si->Align == ci->Align, 100) +
                  Bonus(si->Leader == ci->Leader, 50);
    // Stops that only one side has cost as much as common stops earn.
    return result + 800 * std::int64_t(common) - 400 * std::int64_t(s.Count()) - 400 * std::int64_t(c.Count());
}

[[nodiscard]] std::int64_t BorderLikeness(const TRVBorder& s, const TRVBorder& c) noexcept
{
    const bool sOn[4] = {s.Style != rvbNone && s.VisibleBorders.Left, s.Style != rvbNone && s.VisibleBorders.Top,
                         s.Style != rvbNone && s.VisibleBorders.Right, s.Style != rvbNone && s.VisibleBorders.Bottom};
    const bool cOn[4] = {c.Style != rvbNone && c.VisibleBorders.Left, c.Style != rvbNone && c.VisibleBorders.Top,
                         c.Style != rvbNone && c.VisibleBorders.Right, c.Style != rvbNone && c.VisibleBorders.Bottom};
    const std::int32_t sOffset[4] = {s.BorderOffsets.Left, s.BorderOffsets.Top, s.BorderOffsets.Right,
                                     s.BorderOffsets.Bottom};
    const std::int32_t cOffset[4] = {c.BorderOffsets.Left, c.BorderOffsets.Top, c.BorderOffsets.Right,
                                     c.BorderOffsets.Bottom};

    int bothOn = 0;
    for (int side = 0; side < 4; ++side)
        bothOn += sOn[side] && cOn[side];

    std::int64_t result = 0;
    if (bothOn > 0)
        result += (ColorCloseness(s.Color, c.Color, 3333, 3000) + Closeness(s.Width, c.Width, 1000) +
                   Closeness(s.InternalWidth, c.InternalWidth, 1000) + Bonus(s.Style == c.Style, 1000)) *
                  bothOn;
    for (int side = 0; side < 4; ++side) {
        if (!sOn[side] && !cOn[side])
            result += 20000;
        else if (sOn[side] != cOn[side])
            result -= 20000;
        else
            result += Closeness(sOffset[side], cOffset[side], 100);
    }
    return result;
}

[[nodiscard]] std::int64_t LevelLikeness(const TRVListLevel& s, const TRVListLevel& c)
{
    return Bonus(s.ListType == c.ListType, 5000) + Bonus(s.StartFrom == c.StartFrom, 100) +
           Bonus(s.ImageList == c.ImageList, 100) + Bonus(s.ImageIndex == c.ImageIndex, 100) +
           Bonus(s.FormatString == c.FormatString, 100) + Bonus(s.FormatStringW == c.FormatStringW, 100) +
           Bonus(s.LeftIndent == c.LeftIndent, 100) + Bonus(s.MarkerIndent == c.MarkerIndent, 100) +
           Bonus(s.MarkerAlignment == c.MarkerAlignment, 100) + Bonus(s.Options == c.Options, 100) +
           Bonus(s.FirstIndent == c.FirstIndent, 200) + Bonus(MarkerFontsEqual(s, c), 100) +
           Bonus(GraphicsEqual(s.Picture(), c.Picture()), 100);
}

} // namespace

std::int64_t Closeness(std::int32_t a, std::int32_t b, std::int32_t w) noexcept
{
    if (a == 0)
        return (1 - Abs64(b)) * w;
    const std::int64_t absA = Abs64(a);
    return RoundedQuotient((absA - Abs64(std::int64_t(a) - b)) * w, absA);
}

std::int64_t ColorCloseness(TColor x, TColor y, std::int32_t w1, std::int32_t w2) noexcept
{
    const bool xNone = x == clNone;
    const bool yNone = y == clNone;
    if (xNone && yNone)
        return std::int64_t(w2) + 3 * std::int64_t(w1);
    if (xNone || yNone)
        return 0;
    const TColor rx = ColorToRGB(x);
    const TColor ry = ColorToRGB(y);
    std::int64_t result = 0;
    result -= std::abs(RedOf(rx) - RedOf(ry)) * std::int64_t(w1) / 255;
    result -= std::abs(GreenOf(rx) - GreenOf(ry)) * std::int64_t(w1) / 255;
    result -= std::abs(BlueOf(rx) - BlueOf(ry)) * std::int64_t(w1) / 255;
    if (IsLight(rx) == IsLight(ry))
        result += w2;
    return result;
}

std::int32_t Likeness(const TFontInfo& s, const TFontInfo& c) noexcept
{
    // Numbers are measured against the candidate here.
    std::int64_t r = Closeness(c.Size, s.Size, 10000) + Closeness(c.VShift, s.VShift, 1000) +
                     Closeness(c.CharScale, s.CharScale, 300) + Closeness(c.CharSpacing, s.CharSpacing, 1000) +
                     ColorCloseness(c.Color, s.Color, 3333, 3000) +
                     ColorCloseness(c.BackColor, s.BackColor, 10000, 50000);
    r += Bonus(c.BiDiMode == s.BiDiMode, 10000);
    r += Bonus(c.SubSuperScriptType == s.SubSuperScriptType, 50000);
    r += Bonus(SameFontName(c.FontName, s.FontName), 10000);
    for (TFontStyle bit : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        r += Bonus(c.Style.Contains(bit) == s.Style.Contains(bit), 50000);
    r += Bonus(c.StyleEx.Contains(rvfsOverline) == s.StyleEx.Contains(rvfsOverline), 50000);
    r += Bonus(c.StyleEx.Contains(rvfsAllCaps) == s.StyleEx.Contains(rvfsAllCaps), 50000);
    const bool cPlain = c.Style.Empty() && c.StyleEx.Empty();
    const bool sPlain = s.Style.Empty() && s.StyleEx.Empty();
    r += Bonus(cPlain == sPlain, 50000);
    if (c.Jump && s.Jump) {
        r += Bonus(c.HoverEffects.Contains(rvheUnderline) == s.HoverEffects.Contains(rvheUnderline), 10000);
        r += Bonus(c.JumpCursor == s.JumpCursor, 5000);
        // Integer halving truncates toward zero, also for negative closeness.
        r += ColorCloseness(c.HoverColor, s.HoverColor, 3333, 3000) / 2;
        r += ColorCloseness(c.HoverBackColor, s.HoverBackColor, 10000, 50000) / 2;
    }
    if (c.Protection != s.Protection)
        r -= 100000;
    r += Bonus(c.Options.Contains(rvteoHTMLCode) == s.Options.Contains(rvteoHTMLCode), 50000);
    r += Bonus(c.Options.Contains(rvteoRTFCode) == s.Options.Contains(rvteoRTFCode), 50000);
    if (c.Charset == s.Charset)
        r += 50000;
    else if (c.Charset == DEFAULT_CHARSET || s.Charset == DEFAULT_CHARSET)
        r += 12500;
    return Clamp32(r);
}

std::int32_t Likeness(const TParaInfo& s, const TParaInfo& c) noexcept
{
    // Numbers are measured against the incoming style here.
    std::int64_t r = Closeness(s.FirstIndent, c.FirstIndent, 1000) + Closeness(s.LeftIndent, c.LeftIndent, 1000) +
                     Closeness(s.RightIndent, c.RightIndent, 1000) + Closeness(s.SpaceBefore, c.SpaceBefore, 1000) +
                     Closeness(s.SpaceAfter, c.SpaceAfter, 1000);
    r += ColorCloseness(s.Background.Color, c.Background.Color, 10000, 50000) +
         RectCloseness(s.Background.BorderOffsets, c.Background.BorderOffsets, 100);
    r += TabsLikeness(s.Tabs, c.Tabs);
    r += BorderLikeness(s.Border, c.Border);
    r += Bonus(s.Alignment == c.Alignment, 50000);
    r += Bonus(s.BiDiMode == c.BiDiMode, 10000);
    auto option = [&](TRVParaOption bit, std::int64_t points) {
        return Bonus(s.Options.Contains(bit) == c.Options.Contains(bit), points);
    };
    r += option(rvpaoNoWrap, 1000) + option(rvpaoReadOnly, 100000) + option(rvpaoStyleProtect, 1000) +
         option(rvpaoDoNotWantReturns, 10000) + option(rvpaoKeepLinesTogether, 500) + option(rvpaoKeepWithNext, 500);
    if (s.LineSpacingType == c.LineSpacingType)
        r += Closeness(s.LineSpacing, c.LineSpacing, 5000);
    else if (s.HasExtraLineSpacing() != c.HasExtraLineSpacing())
        r -= 20000;
    return Clamp32(r);
}

std::int32_t Likeness(const TRVListInfo& s, const TRVListInfo& c)
{
    std::int64_t r = Bonus(s.ListId() == c.ListId(), 50) + Bonus(s.OneLevelPreview == c.OneLevelPreview, 100);
    const int common = std::min(s.Levels.Count(), c.Levels.Count());
    for (int i = 0; i < common; ++i)
        r += LevelLikeness(s.Levels[i], c.Levels[i]);
    r -= 100 * std::int64_t(std::abs(s.Levels.Count() - c.Levels.Count()));
    return Clamp32(r);
}

} // namespace xq

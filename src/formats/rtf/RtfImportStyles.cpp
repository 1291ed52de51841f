#include "formats/rtf/RtfImportStyles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "document/FontInfo.h"
#include "document/ParaInfo.h"
#include "platform/IniFile.h"

namespace xq {
namespace {

using TScore = long long;

/// Rounds to the nearest integer, ties to even, within what a score can hold.
TScore RoundScore(double value) noexcept
{
    constexpr double limit = 1e15;
    return static_cast<TScore>(std::nearbyint(std::clamp(value, -limit, limit)));
}

/// How close b is to a, weighted by w: w when equal, falling with the relative difference.
TScore Sim(double a, double b, double w) noexcept
{
    if (a != 0)
        return RoundScore((1 - std::fabs(a - b) / std::fabs(a)) * w);
    return RoundScore((1 - std::fabs(b)) * w);
}

bool IsBright(TColor rgb) noexcept
{
    return RedOf(rgb) > 64 || GreenOf(rgb) > 64 || BlueOf(rgb) > 64;
}

/// How close two colours are: most when both are absent, nothing when only one is, else the
/// bonus for the same brightness less the channel differences.
TScore ColourScore(TColor x, TColor y, int w, int bonus) noexcept
{
    if (x == clNone && y == clNone)
        return 3LL * w + bonus;
    if (x == clNone || y == clNone)
        return 0;
    const TColor a = ColorToRGB(x);
    const TColor b = ColorToRGB(y);
    TScore score = IsBright(a) == IsBright(b) ? bonus : 0;
    score -= TScore(std::abs(RedOf(a) - RedOf(b))) * w / 255;
    score -= TScore(std::abs(GreenOf(a) - GreenOf(b))) * w / 255;
    score -= TScore(std::abs(BlueOf(a) - BlueOf(b))) * w / 255;
    return score;
}

int Sign(int v) noexcept
{
    return (v > 0) - (v < 0);
}

// ---------------------------------------------------------------------------------------------
// Text styles

/// The text style fields a run determines, ready to compare or to store.
struct TTextWish {
    int Size;
    int CharSpacing;
    int VShift;
    TRVProtectOptions Protection;
    TRVFontStylesEx StyleEx;
};

TTextWish TextWishOf(const TRVRTFTextRequest& run, const TRVRTFUnits& units)
{
    TTextWish wish{};
    wish.Size = std::max(run.Size, 1);
    wish.CharSpacing = units.Px(run.Spacing);
    wish.VShift = static_cast<int>(std::nearbyint(std::clamp(double(run.VOffset) * 50 / wish.Size, -1e6, 1e6)));
    if (run.Protected)
        wish.Protection.Include(rvprDoNotAutoSwitch);
    if (run.Caps)
        wish.StyleEx.Include(rvfsAllCaps);
    return wish;
}

bool JumpAcceptable(const TFontInfo& style, const TRVRTFTextRequest& run, bool useHypertextStyles) noexcept
{
    return run.Link ? style.Jump : (useHypertextStyles || !style.Jump);
}

bool MatchesExactly(const TFontInfo& s, const TRVRTFTextRequest& run, const TTextWish& wish, bool useHypertext)
{
    return SameTextIgnoringCase(s.FontName, run.FontName) && s.Size == wish.Size && s.Color == run.Color &&
           s.BackColor == run.BackColor && s.Style == run.Style && s.Charset == run.Charset &&
           s.CharScale == run.CharScale && s.CharSpacing == wish.CharSpacing &&
           s.SubSuperScriptType == run.SubSuper && s.VShift == wish.VShift && s.Protection == wish.Protection &&
           s.UnderlineType == run.UnderlineType && s.UnderlineColor == run.UnderlineColor &&
           s.Unicode == run.Unicode && s.StyleEx == wish.StyleEx && JumpAcceptable(s, run, useHypertext);
}

TScore TextScore(const TFontInfo& s, const TRVRTFTextRequest& run, const TTextWish& wish, const TRVRTFUnits& units)
{
    TScore score = 0;
    if (SameTextIgnoringCase(s.FontName, run.FontName))
        score += 10000;
    if (s.Charset == run.Charset)
        score += 50000;
    else if (s.Charset == DEFAULT_CHARSET || run.Charset == DEFAULT_CHARSET)
        score += 12500;
    score += Sim(wish.Size, s.Size, 10000);
    score += ColourScore(s.Color, run.Color, 3333, 3000);
    score += ColourScore(s.BackColor, run.BackColor, 10000, 50000);
    score += ColourScore(s.UnderlineColor, run.UnderlineColor, 10000, 50000);
    if (s.StyleEx.Contains(rvfsAllCaps) == run.Caps)
        score += 50000;
    for (const TFontStyle bit : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        if (s.Style.Contains(bit) == run.Style.Contains(bit))
            score += 50000;
    if (s.Style.Contains(fsUnderline) && run.Style.Contains(fsUnderline) && s.UnderlineType != run.UnderlineType)
        score -= 25000;
    score += RoundScore((1 - std::fabs(double(s.CharScale) - run.CharScale) / 100) * 300);
    score += Sim(units.Px(run.Spacing), s.CharSpacing, 10000);
    if (s.SubSuperScriptType == run.SubSuper)
        score += 50000;
    if (s.Style.Empty() == run.Style.Empty())
        score += 50000;
    if (Sign(s.VShift) == Sign(wish.VShift))
        score += Sim(s.VShift, wish.VShift, 50000);
    else
        score -= 50000;
    if (!s.StyleEx.Empty())
        score /= 4;
    if ((s.Protection.Bits() & 0xFF) == (run.Protected ? 64 : 0))
        score += 100000;
    return score;
}

// ---------------------------------------------------------------------------------------------
// Paragraph styles

/// The paragraph style fields an RTF paragraph determines.
struct TParaWish {
    bool HasBorder = false;
    TRVBorder Border; ///< style, widths, colour, visible sides and offsets
    int LeftIndent = 0, RightIndent = 0, FirstIndent = 0, SpaceBefore = 0, SpaceAfter = 0;
    int Percent = 0; ///< line spacing as a percentage
    std::vector<TRVTabInfo> Tabs;
};

TRVTabInfo TabOf(const TRVRTFTabRequest& tab, const TRVRTFUnits& units)
{
    TRVTabInfo info;
    info.Position = units.Px(tab.Position);
    info.Align = tab.Align == 1 || tab.Align == 3 ? rvtaRight : tab.Align == 2 ? rvtaCenter : rvtaLeft;
    switch (tab.Leader) {
    case 1: info.Leader = "."; break;
    case 2: info.Leader = "\xB7"; break;
    case 3: info.Leader = "-"; break;
    case 4: info.Leader = "_"; break;
    case 5: info.Leader = "="; break;
    default: break;
    }
    return info;
}

TParaWish ParaWishOf(const TRVRTFParaRequest& para, const TRVRTFUnits& units)
{
    TParaWish wish;
    const auto& sides = para.Sides;
    constexpr int left = 0, top = 1, right = 2, bottom = 3;
    wish.HasBorder = std::any_of(sides.begin(), sides.end(), [](const auto& side) { return side.Kind != 0; });
    TRVRect offsets;
    if (wish.HasBorder) {
        offsets = {units.Px(sides[left].Space), units.Px(sides[top].Space), units.Px(sides[right].Space),
                   units.Px(sides[bottom].Space)};
        int main = top;
        for (const int side : {top, left, bottom, right})
            if (sides[std::size_t(side)].Kind != 0) {
                main = side;
                break;
            }
        const TRVRTFBorderSideRequest& m = sides[std::size_t(main)];
        const TRVRTFBorderLines lines = RtfBorderLines(m.Kind, m.Width, main == right || main == bottom, units);
        wish.Border.Style = lines.Style;
        wish.Border.Width = lines.Width;
        wish.Border.InternalWidth = lines.InternalWidth;
        wish.Border.Color = m.Color;
        wish.Border.VisibleBorders = {sides[left].Kind != 0, sides[top].Kind != 0, sides[right].Kind != 0,
                                      sides[bottom].Kind != 0};
        wish.Border.BorderOffsets = offsets;
    } else {
        wish.Border.Style = rvbNone;
        wish.Border.Width = 0;
        wish.Border.Color = clNone;
    }
    wish.LeftIndent = units.Px(para.LeftIndent);
    wish.RightIndent = units.Px(para.RightIndent);
    wish.FirstIndent = units.Px(para.FirstIndent);
    wish.SpaceBefore = units.Px(para.SpaceBefore);
    wish.SpaceAfter = units.Px(para.SpaceAfter);
    if (wish.HasBorder) {
        // The text keeps clear of the border's lines.
        const int t = wish.Border.GetTotalWidth();
        wish.LeftIndent = std::max(wish.LeftIndent, offsets.Left + t - 1);
        wish.SpaceBefore = std::max(wish.SpaceBefore, offsets.Top + t - 1);
        wish.RightIndent = std::max(wish.RightIndent, offsets.Right + t - 1);
        wish.SpaceAfter = std::max(wish.SpaceAfter, offsets.Bottom + t - 1);
    }
    wish.Percent = static_cast<int>(std::llabs(para.LineSpacing) * 100 / 240);
    for (const TRVRTFTabRequest& tab : para.Tabs)
        wish.Tabs.push_back(TabOf(tab, units));
    std::stable_sort(wish.Tabs.begin(), wish.Tabs.end(),
                     [](const TRVTabInfo& a, const TRVTabInfo& b) { return a.Position < b.Position; });
    return wish;
}

TRVParaOptions KeepOptions(const TRVRTFParaRequest& para)
{
    TRVParaOptions options;
    options.Set(rvpaoKeepLinesTogether, para.Keep);
    options.Set(rvpaoKeepWithNext, para.KeepNext);
    return options;
}

bool LineSpacingMatches(const TParaInfo& s, const TRVRTFParaRequest& para, const TParaWish& wish)
{
    if (!para.LineMultiple)
        return true;
    if (s.LineSpacingType == rvlsSpaceBetween)
        return s.LineSpacing < 2 && wish.Percent <= 100;
    return s.LineSpacing == wish.Percent || (s.LineSpacing < 100 && wish.Percent < 100);
}

bool TabsMatch(const TParaInfo& s, const TParaWish& wish)
{
    if (s.Tabs.Count() != static_cast<int>(wish.Tabs.size()))
        return false;
    for (int i = 0; i < s.Tabs.Count(); ++i)
        if (!(s.Tabs[i] == wish.Tabs[std::size_t(i)]))
            return false;
    return true;
}

bool BorderMatches(const TParaInfo& s, const TParaWish& wish)
{
    if (!wish.HasBorder)
        return s.Border.Style == rvbNone;
    const TRVBorder& b = s.Border;
    return b.Style == wish.Border.Style && b.Width == wish.Border.Width && b.Color == wish.Border.Color &&
           (b.Style == rvbSingle || b.InternalWidth == wish.Border.InternalWidth) &&
           b.VisibleBorders == wish.Border.VisibleBorders && b.BorderOffsets == wish.Border.BorderOffsets &&
           s.Background.BorderOffsets == b.BorderOffsets;
}

bool ParaMatchesExactly(const TParaInfo& s, const TRVRTFParaRequest& para, const TParaWish& wish, int spacesInTab)
{
    return s.Alignment == para.Alignment && s.LeftIndent == wish.LeftIndent && s.RightIndent == wish.RightIndent &&
           s.FirstIndent == wish.FirstIndent && s.SpaceBefore == wish.SpaceBefore &&
           s.SpaceAfter == wish.SpaceAfter && s.Background.Color == para.Background &&
           s.Options == KeepOptions(para) && LineSpacingMatches(s, para, wish) &&
           (spacesInTab > 0 || TabsMatch(s, wish)) && BorderMatches(s, wish);
}

/// The score of one border side of the paragraph against the style's border.
TScore SideScore(const TParaInfo& s, const TRVRTFBorderSideRequest& side, bool visible, bool inner,
                 const TRVRTFUnits& units)
{
    const bool styleShows = s.Border.Style != rvbNone && visible;
    if (side.Kind == 0)
        return styleShows ? 0 : 20000;
    if (!styleShows)
        return 0;
    const TRVRTFBorderLines lines = RtfBorderLines(side.Kind, side.Width, inner, units);
    return Sim(lines.Width, s.Border.Width, 1000) + Sim(lines.InternalWidth, s.Border.InternalWidth, 1000) +
           ColourScore(s.Border.Color, side.Color, 3333, 3000) + (lines.Style == s.Border.Style ? 6000 : 5000);
}

TScore ParaScore(const TParaInfo& s, const TRVRTFParaRequest& para, const TParaWish& wish, int spacesInTab,
                 const TRVRTFUnits& units)
{
    const int o = s.Border.GetTotalWidth();
    TScore score = ColourScore(s.Background.Color, para.Background, 10000, 50000);
    if (s.Alignment == para.Alignment)
        score += 50000;
    if (s.Options.Empty())
        score += 100000;
    score -= 100000;
    score += Sim(units.Px(para.LeftIndent) + o, s.LeftIndent, 1000);
    score += Sim(units.Px(para.RightIndent) + o, s.RightIndent, 1000);
    score += Sim(units.Px(para.FirstIndent), s.FirstIndent, 1000);
    score += Sim(units.Px(para.SpaceBefore) + o, s.SpaceBefore, 1000);
    score += Sim(units.Px(para.SpaceAfter) + o, s.SpaceAfter, 1000);
    if (s.Options.Contains(rvpaoKeepLinesTogether) == para.Keep)
        score += 500;
    if (s.Options.Contains(rvpaoKeepWithNext) == para.KeepNext)
        score += 500;
    if (para.LineMultiple) {
        if (s.LineSpacingType == rvlsSpaceBetween)
            score += s.LineSpacing > 1 ? -20000 : wish.Percent <= 100 ? 5000 : 0;
        else
            score += Sim(std::max(wish.Percent, 100), std::max<int>(s.LineSpacing, 100), 5000);
    }
    if (!wish.HasBorder)
        return s.Border.Style == rvbNone ? score + 20000 : score;

    const TRVRect& bo = s.Border.BorderOffsets;
    const TRVRect& go = s.Background.BorderOffsets;
    const std::array<int, 4> styleOffsets{bo.Left, bo.Top, bo.Right, bo.Bottom};
    const std::array<int, 4> backOffsets{go.Left, go.Top, go.Right, go.Bottom};
    const TRVBooleanRect& shown = s.Border.VisibleBorders;
    const std::array<bool, 4> visible{shown.Left, shown.Top, shown.Right, shown.Bottom};
    for (std::size_t i = 0; i < 4; ++i) {
        const int offset = units.Px(para.Sides[i].Space);
        score += Sim(offset, styleOffsets[i], 1000) + Sim(offset, backOffsets[i], 1000);
        score += SideScore(s, para.Sides[i], visible[i], i >= 2, units);
    }
    if (spacesInTab == 0) {
        const int n = s.Tabs.Count();
        const int m = static_cast<int>(wish.Tabs.size());
        const int both = std::min(n, m);
        for (int i = 0; i < both; ++i) {
            const TRVTabInfo& mine = s.Tabs[i];
            const TRVTabInfo& theirs = wish.Tabs[std::size_t(i)];
            score += Sim(theirs.Position, mine.Position, 200);
            if (mine.Align == theirs.Align)
                score += 100;
            if (mine.Leader == theirs.Leader)
                score += 50;
        }
        score += 800LL * both - 400LL * n - 400LL * m;
    }
    return score;
}

// ---------------------------------------------------------------------------------------------
// Index keys: the fields an exact match compares for equality, in one string

void PutKey(std::string& key, long long value)
{
    key += std::to_string(value);
    key += ',';
}

std::string FoldedName(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string TextKey(const std::string& fontName, int size, TColor color, TColor back, TFontStyles style, int charset,
                    int scale, int spacing, int subSuper, int vShift, unsigned protection, int underline,
                    TColor underlineColor, bool unicode, unsigned styleEx, bool jump)
{
    std::string key = FoldedName(fontName);
    key += '\0';
    for (const long long v : {(long long)size, (long long)color, (long long)back, (long long)style.Bits(),
                              (long long)charset, (long long)scale, (long long)spacing, (long long)subSuper,
                              (long long)vShift, (long long)protection, (long long)underline,
                              (long long)underlineColor, (long long)unicode, (long long)styleEx, (long long)jump})
        PutKey(key, v);
    return key;
}

std::string TextKeyOf(const TFontInfo& s)
{
    return TextKey(s.FontName, s.Size, s.Color, s.BackColor, s.Style, s.Charset, s.CharScale, s.CharSpacing,
                   s.SubSuperScriptType, s.VShift, s.Protection.Bits(), s.UnderlineType, s.UnderlineColor, s.Unicode,
                   s.StyleEx.Bits(), s.Jump);
}

std::string TextKeyOf(const TRVRTFTextRequest& run, const TTextWish& wish, bool jump)
{
    return TextKey(run.FontName, wish.Size, run.Color, run.BackColor, run.Style, run.Charset, run.CharScale,
                   wish.CharSpacing, run.SubSuper, wish.VShift, wish.Protection.Bits(), run.UnderlineType,
                   run.UnderlineColor, run.Unicode, wish.StyleEx.Bits(), jump);
}

std::string ParaKey(int alignment, int left, int right, int first, int before, int after, TColor back, unsigned options)
{
    std::string key;
    for (const long long v : {(long long)alignment, (long long)left, (long long)right, (long long)first,
                              (long long)before, (long long)after, (long long)back, (long long)options})
        PutKey(key, v);
    return key;
}

std::string ParaKeyOf(const TParaInfo& s)
{
    return ParaKey(s.Alignment, s.LeftIndent, s.RightIndent, s.FirstIndent, s.SpaceBefore, s.SpaceAfter,
                   s.Background.Color, s.Options.Bits());
}

std::string ParaKeyOf(const TRVRTFParaRequest& para, const TParaWish& wish)
{
    return ParaKey(para.Alignment, wish.LeftIndent, wish.RightIndent, wish.FirstIndent, wish.SpaceBefore,
                   wish.SpaceAfter, para.Background, KeepOptions(para).Bits());
}

/// The first style among the candidates of the keys that passes the full test, -1 for none.
template <class Test>
int FirstCandidate(const std::unordered_map<std::string, std::vector<int>>& map,
                   std::initializer_list<const std::string*> keys, Test&& test)
{
    int best = -1;
    for (const std::string* key : keys) {
        if (!key)
            continue;
        const auto found = map.find(*key);
        if (found == map.end())
            continue;
        for (const int i : found->second)
            if ((best < 0 || i < best) && test(i)) {
                best = i;
                break; // the candidates of a key are in index order
            }
    }
    return best;
}

} // namespace

int TRVRTFUnits::Px(double twips) const noexcept
{
    const double px = std::nearbyint(twips * Scale);
    return static_cast<int>(std::clamp(px, -1e9, 1e9));
}

TRVRTFBorderLines RtfBorderLines(int kind, int widthTwips, bool inner, const TRVRTFUnits& units)
{
    const double f = widthTwips * units.Scale;
    const auto r = [](double v) { return static_cast<int>(std::nearbyint(std::clamp(v, -1e9, 1e9))); };
    TRVRTFBorderLines lines;
    const auto thick = [&](bool thinThick, int width, int internal) {
        // Thin-thick lines are thick outside on the outer sides and turn round on the inner ones;
        // thick-thin lines are their mirror.
        lines.Style = (thinThick == inner) ? rvbThickInside : rvbThickOutside;
        lines.Width = width;
        lines.InternalWidth = internal;
    };
    switch (kind) {
    case 0: break;
    case 2: lines = {rvbSingle, r(2 * f), 0}; break;
    case 7: lines = {rvbSingle, 1, 0}; break;
    case 4:
    case 22: lines = {rvbDouble, r(f), 2 * r(f) - 1}; break;
    case 11: lines = {rvbTriple, r(f), 2 * r(f) - 1}; break;
    case 14: lines = {rvbTriple, r(f / 3), 2 * r(f / 3) - 1}; break;
    case 17: lines = {rvbTriple, r(f / 2), 3 * r(f / 2) - 1}; break;
    case 20: lines = {rvbTriple, 1, r(f)}; break;
    case 12: // thin-thick, small gap
    case 13: { // thick-thin, small gap: the mirror of thin-thick
        const int w = r(f / 2);
        thick(kind == 12, w, w + (w + 1) / 2);
        break;
    }
    case 15:
    case 16: {
        const int w = r(f / 2);
        thick(kind == 15, w, 2 * w + (w + 1) / 2);
        break;
    }
    case 18:
    case 19: thick(kind == 18, 1, r(f) + 1); break;
    default: lines = {rvbSingle, r(f), 0}; break;
    }
    return lines;
}

int SelectRtfTextStyle(TFontInfos& styles, const TRVRTFTextRequest& run, const TRVRTFStyleChoice& choice,
                       TRVRTFStyleIndex* index)
{
    if (choice.Mode == rvrsUseSpecified)
        return choice.SpecifiedNo;
    const TTextWish wish = TextWishOf(run, choice.Units);
    if (choice.Mode == rvrsAddIfNeeded) {
        const auto matches = [&](int i) { return MatchesExactly(styles[i], run, wish, choice.UseHypertextStyles); };
        if (index) {
            for (; index->TextIndexed < styles.Count(); ++index->TextIndexed)
                index->Text[TextKeyOf(styles[index->TextIndexed])].push_back(index->TextIndexed);
            const std::string key = TextKeyOf(run, wish, run.Link);
            const std::string jumpKey = !run.Link && choice.UseHypertextStyles ? TextKeyOf(run, wish, true) : "";
            const int found = FirstCandidate(index->Text, {&key, jumpKey.empty() ? nullptr : &jumpKey}, matches);
            if (found >= 0)
                return found;
        } else {
            for (int i = 0; i < styles.Count(); ++i)
                if (matches(i))
                    return i;
        }
        TFontInfo& added = styles.Add();
        added.Standard = false;
        added.Jump = run.Link;
        added.Unicode = run.Unicode;
        added.Style = run.Style;
        added.Size = wish.Size;
        added.Color = run.Color;
        added.BackColor = run.BackColor;
        added.FontName = run.FontName;
        added.Charset = run.Charset;
        added.CharScale = run.CharScale;
        added.CharSpacing = wish.CharSpacing;
        added.SubSuperScriptType = run.SubSuper;
        added.VShift = wish.VShift;
        added.StyleEx = wish.StyleEx;
        added.UnderlineType = run.UnderlineType;
        added.UnderlineColor = run.UnderlineColor;
        added.Protection = wish.Protection;
        return styles.Count() - 1;
    }
    int best = 0;
    TScore bestScore = 0;
    for (int i = 0; i < styles.Count(); ++i) {
        const TFontInfo& s = styles[i];
        if (s.Unicode != run.Unicode || !JumpAcceptable(s, run, choice.UseHypertextStyles))
            continue;
        const TScore score = TextScore(s, run, wish, choice.Units);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

int SelectRtfParaStyle(TParaInfos& styles, const TRVRTFParaRequest& para, const TRVRTFStyleChoice& choice,
                       int spacesInTab, TRVRTFStyleIndex* index)
{
    if (choice.Mode == rvrsUseSpecified)
        return choice.SpecifiedNo;
    const TParaWish wish = ParaWishOf(para, choice.Units);
    if (choice.Mode == rvrsAddIfNeeded) {
        const auto matches = [&](int i) { return ParaMatchesExactly(styles[i], para, wish, spacesInTab); };
        if (index) {
            for (; index->ParaIndexed < styles.Count(); ++index->ParaIndexed)
                index->Para[ParaKeyOf(styles[index->ParaIndexed])].push_back(index->ParaIndexed);
            const std::string key = ParaKeyOf(para, wish);
            const int found = FirstCandidate(index->Para, {&key}, matches);
            if (found >= 0)
                return found;
        } else {
            for (int i = 0; i < styles.Count(); ++i)
                if (matches(i))
                    return i;
        }
        TParaInfo& added = styles.Add();
        added.Standard = false;
        added.Alignment = para.Alignment;
        added.FirstIndent = wish.FirstIndent;
        added.LeftIndent = wish.LeftIndent;
        added.RightIndent = wish.RightIndent;
        added.SpaceBefore = wish.SpaceBefore;
        added.SpaceAfter = wish.SpaceAfter;
        // "\sl0" is automatic spacing: single, not lines on top of each other.
        if (para.LineMultiple && wish.Percent > 0)
            added.LineSpacing = wish.Percent;
        added.Background.Color = para.Background;
        added.Options = KeepOptions(para);
        for (const TRVTabInfo& tab : wish.Tabs)
            added.Tabs.Add(tab.Position, tab.Align, tab.Leader);
        if (wish.HasBorder) {
            added.Border = wish.Border;
            added.Background.BorderOffsets = wish.Border.BorderOffsets;
        }
        return styles.Count() - 1;
    }
    int best = 0;
    TScore bestScore = 0;
    for (int i = 0; i < styles.Count(); ++i) {
        const TScore score = ParaScore(styles[i], para, wish, spacesInTab, choice.Units);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

int BasicRtfParaStyle(TParaInfos& styles, TRVAlignment alignment, const TRVRTFStyleChoice& choice)
{
    if (choice.Mode == rvrsUseSpecified)
        return choice.SpecifiedNo;
    if (choice.Mode == rvrsUseClosest || styles.Count() == 0)
        return 0;
    const TParaInfo& first = styles[0];
    if (first.LeftIndent == 0 && first.RightIndent == 0 && first.FirstIndent == 0 && first.Alignment == alignment)
        return 0;
    TParaInfo probe;
    probe.CopyStyle(first);
    probe.LeftIndent = probe.RightIndent = probe.FirstIndent = 0;
    probe.Alignment = alignment;
    for (int i = 0; i < styles.Count(); ++i)
        if (styles[i].EqualsStyle(probe, true))
            return i;
    TParaInfo& added = styles.Add();
    added.CopyStyle(probe);
    added.Standard = false;
    return styles.Count() - 1;
}

} // namespace xq

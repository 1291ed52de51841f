// What the formatting commands do to the style sheet, the size lists and the list at the caret.
#include "tools/FormatCommands.h"

#include <algorithm>
#include <cmath>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"

namespace xq {

namespace {

void SetStyle(TFontStyles& styles, TFontStyle style, bool on)
{
    if (on)
        styles.Include(style);
    else
        styles.Exclude(style);
}

void SetStyleEx(TRVFontStylesEx& styles, TRVFontStyleEx style, bool on)
{
    if (on)
        styles.Include(style);
    else
        styles.Exclude(style);
}

/// The copy's change for a text conversion code; a code without a change leaves it alone.
void ChangeTextStyle(TFontInfo& style, int code, const TTextConversionInput& input)
{
    switch (code) {
    case tcBold: SetStyle(style.Style, fsBold, input.Bold); break;
    case tcItalic: SetStyle(style.Style, fsItalic, input.Italic); break;
    case tcUnderline: SetStyle(style.Style, fsUnderline, input.Underline); break;
    case tcFontName: style.FontName = input.ConvFontName; break;
    case tcFontDialog: style.AssignFont(input.DialogFont); break;
    case tcFontSize: style.Size = input.ConvFontSize; break;
    case tcColor: style.Color = input.TextColor; break;
    case tcBackColor: style.BackColor = input.TextBackColor; break;
    case tcStrikeOut: SetStyle(style.Style, fsStrikeOut, input.StrikeOut); break;
    case tcCaseOrOverline:
        if (input.CaseOrOverline == coAllCaps)
            SetStyleEx(style.StyleEx, rvfsAllCaps, input.AllCaps);
        else if (input.CaseOrOverline == coOverline)
            SetStyleEx(style.StyleEx, rvfsOverline, input.Overline);
        break;
    default: break;
    }
}

void ChangeParaStyle(TParaInfo& style, int code, const TParaConversionInput& input)
{
    switch (code) {
    case pcIndentIncrease: style.LeftIndent = std::min(style.LeftIndent + IndentStep, MaxCommandIndent); break;
    case pcIndentDecrease: style.LeftIndent = std::max(style.LeftIndent - IndentStep, 0); break;
    case pcBackColor: style.Background.Color = input.ParaBackColor; break;
    case pcSpacing100: style.LineSpacing = 100; break;
    case pcSpacing150: style.LineSpacing = 150; break;
    case pcSpacing200: style.LineSpacing = 200; break;
    default: break;
    }
}

[[nodiscard]] int NumberingKindOf(TRVListType type) noexcept
{
    switch (type) {
    case rvlstDecimal: return 14;
    case rvlstLowerAlpha: return 15;
    case rvlstUpperAlpha: return 16;
    case rvlstLowerRoman: return 17;
    case rvlstUpperRoman: return 18;
    default: return -1;
    }
}

} // namespace

int ConvertTextStyle(TRVStyle& sheet, int styleNo, int code, const TTextConversionInput& input)
{
    TFontInfos& styles = sheet.TextStyles;
    // Links are made and undone by the hyperlink commands, which answer for themselves.
    if (code == tcHyperlink || code == tcNoHyperlink || !styles.IsValidIndex(styleNo))
        return styleNo;
    // The copy is taken before anything is appended: appending may move the styles.
    TFontInfo copy;
    copy.CopyStyle(styles[styleNo]);
    ChangeTextStyle(copy, code, input);
    return FindOrAddTextStyle(sheet, styleNo, copy);
}

int FindOrAddTextStyle(TRVStyle& sheet, int styleNo, const TFontInfo& copy)
{
    TFontInfos& styles = sheet.TextStyles;
    const int found = styles.FindMatchingStyle(styleNo, copy, RVAllFontInfoProperties);
    if (found >= 0)
        return found;
    TFontInfo& added = styles.Add();
    added.CopyStyle(copy);
    added.Standard = false;
    return styles.Count() - 1;
}

int ConvertParaStyle(TRVStyle& sheet, int styleNo, int code, const TParaConversionInput& input)
{
    TParaInfos& styles = sheet.ParaStyles;
    if (!styles.IsValidIndex(styleNo))
        return styleNo;
    TParaInfo copy;
    copy.CopyStyle(styles[styleNo]);
    ChangeParaStyle(copy, code, input);
    const int found = styles.FindMatchingStyle(styleNo, copy, RVAllParaInfoProperties);
    if (found >= 0)
        return found;
    TParaInfo& added = styles.Add();
    added.CopyStyle(copy);
    added.Standard = false;
    return styles.Count() - 1;
}

std::vector<int> FontSizeList(bool scalable, const std::vector<TFontHeight>& heights, int screenPixelsPerInch)
{
    if (scalable)
        return {std::begin(ScalableFontSizes), std::end(ScalableFontSizes)};
    std::vector<int> sizes;
    if (screenPixelsPerInch <= 0)
        return sizes;
    for (const TFontHeight& height : heights) {
        const double points =
            double(height.CellHeight - height.InternalLeading) * 72.0 / double(screenPixelsPerInch);
        sizes.push_back(int(std::lround(points)));
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

TCaretListState ListStateAt(const TRVStyle& sheet, const TCustomRVData& data, int itemNo)
{
    TCaretListState state;
    if (itemNo < 0 || itemNo >= data.Count())
        return state;
    while (itemNo > 0 && !data.StartsParagraph(itemNo))
        --itemNo;
    const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&data.ItemAt(itemNo));
    if (!marker || !sheet.ListStyles.IsValidIndex(marker->ListNo))
        return state;
    const TRVListInfo& list = sheet.ListStyles[marker->ListNo];
    if (list.Levels.Count() == 0)
        return state;

    state.Bullets = std::none_of(list.Levels.begin(), list.Levels.end(),
                                 [](const TRVListLevel& level) { return level.HasNumbering(); });
    state.Numbering = std::all_of(list.Levels.begin(), list.Levels.end(),
                                  [](const TRVListLevel& level) { return level.HasNumbering(); });
    state.ListNo = marker->ListNo;
    // A level beyond the list's last one is drawn as the last one.
    state.Level = std::clamp(marker->Level, 0, list.Levels.Count() - 1);
    const TRVListLevel& level = list.Levels[state.Level];
    const TFontDescription& font = level.EffectiveFont();
    state.MarkerFontName = font.Name;
    state.MarkerFontColor = font.Color;
    state.MarkerFontStyle = font.Style;
    state.MarkerFontSize = font.Size;
    state.LevelLeftIndent = level.LeftIndent;
    state.LevelFirstIndent = level.FirstIndent;
    state.LevelMarkerIndent = level.MarkerIndent;
    if (state.Bullets)
        state.BulletText = level.FormatString.substr(0, 2);
    state.NumberingKind = NumberingKindOf(level.ListType);
    state.ListKind = state.Bullets ? 1 : state.Numbering ? 2 : 0;
    return state;
}

int AlignmentButtonOf(const TRVStyle& sheet, int paraNo)
{
    if (sheet.ParaStyles.IsValidIndex(paraNo)) {
        switch (sheet.ParaStyles[paraNo].Alignment) {
        case rvaLeft: return 0;
        case rvaCenter: return 1;
        case rvaRight: return 2;
        case rvaJustify: return 3;
        }
    }
    return paraNo >= 0 && paraNo < 4 ? paraNo : -1;
}

} // namespace xq

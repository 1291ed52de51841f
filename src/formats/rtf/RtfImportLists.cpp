// Lists read from RTF: list table lists mapped to list styles (reused when equal), markers at
// the start of list paragraphs, the indents and fonts of new lists taken from their first
// paragraphs, and the legacy paragraph numbering ("pn") of older writers.
#include <algorithm>

#include "document/ListInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfImport.h"
#include "lists/ListItems.h"
#include "platform/IniFile.h"

namespace xq {
namespace {

TRVMarkerAlignment MarkerAlignmentOfJc(int levelJc) noexcept
{
    return levelJc == 1 ? rvmaCenter : levelJc == 2 ? rvmaRight : rvmaLeft;
}

TRVListType ListTypeOfNfc(int nfc) noexcept
{
    switch (nfc) {
    case 1: return rvlstUpperRoman;
    case 2: return rvlstLowerRoman;
    case 3: return rvlstUpperAlpha;
    case 4: return rvlstLowerAlpha;
    case 23: return rvlstBullet;
    default: return rvlstDecimal;
    }
}

/// The characters of a level text after its length character, as many as that says.
template <typename TString>
TString LevelTextBody(const TString& text)
{
    if (text.empty())
        return {};
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(text[0]) & 0xFF, text.size() - 1);
    return text.substr(1, length);
}

/// The two numbering templates of a level text: placeholders (codes below 10) become "%s" for
/// level 0 and "%k:s" otherwise in the first, "%k:s" always in the second.
void Templates(const std::string& body, bool numbered, std::string& first, std::string& second)
{
    first.clear();
    second.clear();
    for (const char ch : body) {
        const auto code = static_cast<unsigned char>(ch);
        if (numbered && code < 10) {
            const std::string indexed = "%" + std::to_string(code) + ":s";
            first += code == 0 ? std::string("%s") : indexed;
            second += indexed;
        } else if (numbered && ch == '%') {
            first += "%%";
            second += "%%";
        } else {
            first += ch;
            second += ch;
        }
    }
}

/// The position of a level's list tab, -1 when it gives none.
int LevelTab(const TRVRTFListLevel97& level) noexcept
{
    if (level.ParaProps.ListTab >= 0)
        return level.ParaProps.ListTab;
    return level.ParaProps.Tabs.empty() ? -1 : level.ParaProps.Tabs.front().Position;
}

bool MarkerFontMatches(const TFontDescription& a, const TFontDescription& b)
{
    return a.Style == b.Style && a.Color == b.Color && a.Size == b.Size && SameTextIgnoringCase(a.Name, b.Name);
}

/// A list table level as a list style level, with its alternative template.
struct TConvertedLevel {
    TRVListLevel Level;
    std::string OtherTemplate;
};

TConvertedLevel ConvertRtfLevel(const TRVRTFReader& reader, const TRVRTFListLevel97& rtf,
                                       const TRVRTFUnits& units)
{
    TConvertedLevel converted;
    TRVListLevel& level = converted.Level;
    level.ListType = ListTypeOfNfc(rtf.NumberType);
    Templates(LevelTextBody(rtf.Text), level.ListType != rvlstBullet, level.FormatString, converted.OtherTemplate);

    const TRVRTFFont* font = rtf.CharProps.FontIndex >= 0 &&
                                     rtf.CharProps.FontIndex < static_cast<int>(reader.FontTable().size())
                                 ? &reader.FontTable()[std::size_t(rtf.CharProps.FontIndex)]
                                 : nullptr;
    if (level.ListType == rvlstBullet && rtf.TextW) {
        const std::u16string wide = LevelTextBody(*rtf.TextW);
        const char16_t code = wide.size() == 1 ? wide[0] : 0;
        const std::string fontName = font ? font->Name : std::string();
        // Symbol-font bullets come as private-use characters: they are the font's own codes.
        if ((SameTextIgnoringCase(fontName, "Symbol") && code > 0xF0A0 && code <= 0xF0FE) ||
            (SameTextIgnoringCase(fontName, "Wingdings") && code > 0xF020 && code <= 0xF0FF)) {
            level.FormatString = std::string(1, static_cast<char>(code - 0xF000));
            converted.OtherTemplate = level.FormatString;
        } else {
            level.ListType = rvlstUnicodeBullet;
            level.FormatStringW = wide;
        }
    }
    level.MarkerAlignment = MarkerAlignmentOfJc(rtf.Alignment);
    level.LeftIndent = units.Px(rtf.ParaProps.LeftIndent);
    level.MarkerIndent = units.Px(rtf.ParaProps.FirstIndent) + level.LeftIndent;
    const int tab = LevelTab(rtf);
    level.FirstIndent = tab < 0 ? 0 : units.Px(tab) - level.LeftIndent;
    level.StartFrom = rtf.StartAt;
    level.Options.Set(rvloLevelReset, !rtf.NoRestart);
    level.Options.Set(rvloLegalStyleNumbering, rtf.Legal);
    if (level.UsesFont()) {
        TRVMarkerFont& markerFont = level.EditFont();
        if (font) {
            markerFont.Name = font->Name;
            markerFont.Charset = static_cast<std::uint8_t>(std::clamp(font->Charset, 0, 255));
        }
        markerFont.Size = std::max(rtf.CharProps.Size, 1);
        markerFont.Color = rtf.CharProps.Color;
        markerFont.Style.Set(fsBold, rtf.CharProps.Bold);
        markerFont.Style.Set(fsItalic, rtf.CharProps.Italic);
        markerFont.Style.Set(fsUnderline, rtf.CharProps.Underline);
        markerFont.Style.Set(fsStrikeOut, rtf.CharProps.StrikeOut);
    }
    return converted;
}

bool LevelMatches(const TRVListLevel& mine, const TConvertedLevel& theirs)
{
    const TRVListLevel& t = theirs.Level;
    if (mine.ListType != t.ListType || mine.StartFrom != t.StartFrom || mine.MarkerAlignment != t.MarkerAlignment ||
        mine.LeftIndent != t.LeftIndent || mine.MarkerIndent != t.MarkerIndent || mine.FirstIndent != t.FirstIndent ||
        mine.Options.Contains(rvloLevelReset) != t.Options.Contains(rvloLevelReset) ||
        mine.Options.Contains(rvloLegalStyleNumbering) != t.Options.Contains(rvloLegalStyleNumbering))
        return false;
    if (!MarkerFontMatches(mine.EffectiveFont(), t.EffectiveFont()))
        return false;
    if (t.ListType == rvlstUnicodeBullet)
        return mine.FormatStringW == t.FormatStringW;
    if (t.ListType == rvlstPicture || t.ListType == rvlstImageList)
        return true;
    return mine.FormatString == t.FormatString || mine.FormatString == theirs.OtherTemplate;
}

} // namespace

void TRVRTFImport::BuildListMap()
{
    if (ListMapBuilt_)
        return;
    ListMapBuilt_ = true;
    TRVListInfos& lists = Sheet_->ListStyles;
    std::vector<bool> mapped(std::size_t(lists.Count()), false);
    for (const TRVRTFList97& rtf : Reader_->ListTable()) {
        std::vector<TConvertedLevel> levels;
        for (const TRVRTFListLevel97& level : rtf.Levels)
            levels.push_back(ConvertRtfLevel(*Reader_, level, Units()));
        int found = -1;
        for (int i = 0; i < ListStylesBefore_ && found < 0; ++i) {
            const TRVListInfo& style = lists[i];
            if (mapped[std::size_t(i)] || style.Levels.Count() < static_cast<int>(levels.size()))
                continue;
            bool all = true;
            for (std::size_t k = 0; k < levels.size() && all; ++k)
                all = LevelMatches(style.Levels[static_cast<int>(k)], levels[k]);
            if (all)
                found = i;
        }
        if (found < 0) {
            TRVListInfo& added = lists.Add();
            added.Standard = false;
            if (!rtf.Name.empty())
                added.StyleName = rtf.Name;
            for (const TConvertedLevel& level : levels)
                added.Levels.Add() = level.Level;
            if (levels.empty())
                added.Levels.Add();
            found = lists.Count() - 1;
        } else {
            mapped[std::size_t(found)] = true;
        }
        ListMap_.push_back(found);
    }
}

bool TRVRTFImport::InsertMarker(int paraNo)
{
    const TRVRTFParaProperties& p = Reader_->ParaProps();
    std::unique_ptr<TRVMarkerItemInfo> marker;
    if (p.MarkerProps && p.MarkerProps->Level > 0) {
        const int level = std::clamp(p.MarkerProps->Level, 1, 11);
        const bool known = LegacyCache_[std::size_t(level - 1)] >= 0;
        marker = std::make_unique<TRVMarkerItemInfo>(-1, 0, p.MarkerProps->StartAt, !known);
        PendingLegacyLevel_ = level;
    } else if (p.ListOverrideIndex >= 0 &&
               p.ListOverrideIndex < static_cast<int>(Reader_->ListOverrideTable().size())) {
        BuildListMap();
        const TRVRTFListOverride97& override = Reader_->ListOverrideTable()[std::size_t(p.ListOverrideIndex)];
        if (override.ListIndex < 0 || override.ListIndex >= static_cast<int>(ListMap_.size()))
            return false;
        const int listNo = ListMap_[std::size_t(override.ListIndex)];
        const int levels = Sheet_->ListStyles[listNo].Levels.Count();
        const int level = std::clamp(p.ListLevel, 0, std::max(levels - 1, 0));
        int startFrom = 1;
        bool reset = false;
        if (level < static_cast<int>(override.Levels.size()) && override.Levels[std::size_t(level)].UseStart) {
            startFrom = override.Levels[std::size_t(level)].StartAt;
            reset = true;
        }
        marker = std::make_unique<TRVMarkerItemInfo>(listNo, level, startFrom, reset);
        PendingLegacyLevel_ = 0;
    } else {
        return false;
    }
    marker->ParaNo = paraNo;
    return Insert(std::move(marker), {}, rtf_ts_NewPara);
}

void TRVRTFImport::UpdateMarkers()
{
    if (LastMarkerIndex_ < 0 || !LastMarkerContainer_ || LastMarkerIndex_ >= LastMarkerContainer_->Count())
        return;
    TCustomRVItemInfo& item = LastMarkerContainer_->ItemAt(LastMarkerIndex_);
    LastMarkerIndex_ = -1;
    if (!item.IsListMarker())
        return;
    auto& marker = static_cast<TRVMarkerItemInfo&>(item);
    if (PendingLegacyLevel_ > 0) {
        marker.ListNo = LegacyListStyle(PendingLegacyLevel_);
        marker.Level = 0;
        PendingLegacyLevel_ = 0;
        return;
    }
    AdjustListLevel(marker);
}

const TRVRTFListLevel97* TRVRTFImport::RtfListLevelOf(int levelNo) const
{
    const TRVRTFParaProperties& p = Reader_->ParaProps();
    const auto& overrides = Reader_->ListOverrideTable();
    if (p.ListOverrideIndex < 0 || p.ListOverrideIndex >= static_cast<int>(overrides.size()))
        return nullptr;
    const int listIndex = overrides[std::size_t(p.ListOverrideIndex)].ListIndex;
    const auto& lists = Reader_->ListTable();
    if (listIndex < 0 || listIndex >= static_cast<int>(lists.size()) || levelNo < 0 ||
        levelNo >= static_cast<int>(lists[std::size_t(listIndex)].Levels.size()))
        return nullptr;
    return &lists[std::size_t(listIndex)].Levels[std::size_t(levelNo)];
}

void TRVRTFImport::AdjustListLevel(TRVMarkerItemInfo& marker)
{
    TRVListInfos& lists = Sheet_->ListStyles;
    if (marker.ListNo < ListStylesBefore_ || marker.ListNo >= lists.Count())
        return;
    TRVListInfo& list = lists[marker.ListNo];
    if (marker.Level < 0 || marker.Level >= list.Levels.Count())
        return;
    TRVListLevel& level = list.Levels[marker.Level];
    TListLevelAdjust& adjusted = LevelAdjusted_[{marker.ListNo, marker.Level}];
    const TRVRTFParaProperties& p = Reader_->ParaProps();
    if (!adjusted.Indents) {
        // A new list takes the indents of its first paragraph at each level.
        adjusted.Indents = true;
        const int oldLeft = level.LeftIndent, oldFirst = level.FirstIndent, oldMarker = level.MarkerIndent;
        level.MarkerIndent = Units().Px(double(p.LeftIndent) + p.FirstIndent);
        level.LeftIndent = Units().Px(p.LeftIndent);
        int listTab = p.ListTab;
        if (p.FirstIndent < 0 && (listTab < 0 || listTab > -p.FirstIndent))
            listTab = p.LeftIndent;
        level.FirstIndent = listTab >= 0 ? Units().Px(listTab) - level.LeftIndent
                                         : level.MarkerIndent + (oldLeft + oldFirst - oldMarker) - level.LeftIndent;
    }
    if (!adjusted.Font && level.UsesFont()) {
        adjusted.Font = true;
        // A list table level that gives a marker font of its own (a size, a colour or a style,
        // as ours are written) keeps it: the paragraph's text has nothing to say about it.
        if (const TRVRTFListLevel97* rtf = RtfListLevelOf(marker.Level)) {
            const TRVRTFCharProperties& own = rtf->CharProps;
            const TRVRTFCharProperties none;
            if (own.Size != none.Size || own.Color != none.Color || own.Bold || own.Italic || own.Underline ||
                own.StrikeOut)
                return;
        }
        const TRVRTFCharProperties& c = Reader_->CharProps();
        TRVMarkerFont& font = level.EditFont();
        font.Size = std::max(c.Size, 1);
        if (c.Bold)
            font.Style.Include(fsBold);
        if (c.Italic)
            font.Style.Include(fsItalic);
        if (c.Underline)
            font.Style.Include(fsUnderline);
        if (c.StrikeOut)
            font.Style.Include(fsStrikeOut);
        font.Color = c.Color;
    }
}

int TRVRTFImport::LegacyListStyle(int levelNo)
{
    const TRVRTFParaProperties& p = Reader_->ParaProps();
    if (!p.MarkerProps)
        return -1;
    const TRVRTFMarkerProperties& m = *p.MarkerProps;
    // A marker font that the font table lacks leaves the marker without a list; a list that
    // names no font at all numbers in the paragraph's font.
    const TRVRTFFont* markerFont = m.FontIndex >= 0 && m.FontIndex < static_cast<int>(Reader_->FontTable().size())
                                       ? &Reader_->FontTable()[std::size_t(m.FontIndex)]
                                       : nullptr;
    if (!markerFont && m.FontNumber >= 0)
        return -1;
    if (!markerFont)
        markerFont = Reader_->CurrentFont();
    int& cached = LegacyCache_[std::size_t(std::clamp(levelNo, 1, 11) - 1)];
    if (levelNo <= 10 && cached >= 0)
        return cached;

    TRVListType kind = rvlstBullet;
    std::string first = m.TextBefore, second = m.TextBefore;
    if (!(levelNo == 11 || (levelNo == 10 && m.NumberType == 0))) {
        switch (m.NumberType) {
        case 2: kind = rvlstLowerAlpha; break;
        case 3: kind = rvlstUpperAlpha; break;
        case 4: kind = rvlstLowerRoman; break;
        case 5: kind = rvlstUpperRoman; break;
        default: kind = rvlstDecimal; break;
        }
        first = m.TextBefore + "%s" + m.TextAfter;
        second = m.TextBefore + "%0:s" + m.TextAfter;
    }
    const TRVMarkerAlignment alignment = levelNo == 11              ? rvmaLeft
                                         : m.Alignment == rvaCenter ? rvmaCenter
                                         : m.Alignment == rvaRight  ? rvmaRight
                                                                    : rvmaLeft;
    const TRVRTFUnits& u = Units();
    const int l = u.Px(p.LeftIndent), f = u.Px(p.FirstIndent), i = u.Px(m.Indent), s = u.Px(m.Space);
    const int firstIndent = m.Hanging ? std::max(s, f + i) : std::max(0, std::max(i, s) + f);
    const int markerIndent = alignment == rvmaLeft    ? l + f
                             : alignment == rvmaRight ? firstIndent + l
                                                      : (l + f + firstIndent + l) / 2;
    TFontDescription font;
    if (markerFont) {
        font.Name = markerFont->Name;
        font.Charset = static_cast<std::uint8_t>(std::clamp(markerFont->Charset, 0, 255));
    }
    font.Size = m.FontSize > 0 ? m.FontSize : std::max(Reader_->CharProps().Size, 1);
    font.Color = m.Color == clNone ? clWindowText : m.Color;
    font.Style.Set(fsBold, m.Bold);
    font.Style.Set(fsItalic, m.Italic);
    font.Style.Set(fsUnderline, m.Underline);
    font.Style.Set(fsStrikeOut, m.StrikeOut);

    TRVListInfos& lists = Sheet_->ListStyles;
    for (int n = 0; n < lists.Count(); ++n) {
        if (lists[n].Levels.Count() == 0)
            continue;
        const TRVListLevel& level = lists[n].Levels[0];
        if (level.ListType == kind && level.MarkerAlignment == alignment && level.LeftIndent == l &&
            level.FirstIndent == firstIndent && level.MarkerIndent == markerIndent &&
            MarkerFontMatches(level.EffectiveFont(), font) &&
            (level.FormatString == first || level.FormatString == second)) {
            cached = n;
            return n;
        }
    }
    TRVListInfo& added = lists.Add();
    added.Standard = false;
    TRVListLevel& level = added.Levels.Add();
    level.ListType = kind;
    level.FormatString = first;
    level.MarkerAlignment = alignment;
    level.LeftIndent = l;
    level.FirstIndent = firstIndent;
    level.MarkerIndent = markerIndent;
    level.StartFrom = m.StartAt;
    static_cast<TFontDescription&>(level.EditFont()) = font;
    cached = lists.Count() - 1;
    return cached;
}

} // namespace xq

// Lists in RTF. Each list style becomes one list of the list table (a simple list for one level,
// else RTF's nine levels, the deeper ones repeating the last level the style has) and one entry
// of the override table. A marker that starts its numbering anew at a numbered level gets an
// override of its own that restarts the level at its start value; the body refers to lists by
// these override numbers ("\ls").
#include "formats/rtf/RtfLists.h"
#include "formats/rtf/RtfPictures.h"

#include <algorithm>
#include <array>
#include <random>

#include "document/ListInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr const char* Crlf = "\r\n";

/// Identifiers are drawn from 0..2147483646.
constexpr std::uint32_t ListIdRange = 2147483647u;
/// After this many taken numbers in a row the next free number above the last draw is taken, so
/// that a generator that keeps repeating itself cannot hold the export up.
constexpr int ListIdDraws = 64;

void AppendHex2(std::string& out, unsigned value)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

std::uint32_t SystemRandom()
{
    static thread_local std::mt19937 engine{std::random_device{}()};
    return static_cast<std::uint32_t>(engine());
}

/// A random identifier that no list or template of this export has yet.
std::int32_t DrawListId(TRVRTFWriteContext& ctx)
{
    const auto draw = [&] {
        return (ctx.Settings.ListIdSource ? ctx.Settings.ListIdSource() : SystemRandom()) % ListIdRange;
    };
    std::uint32_t id = draw();
    for (int tries = 1; ctx.Lists.UsedIds.contains(static_cast<std::int32_t>(id)); ++tries)
        id = tries < ListIdDraws ? draw() : (id + 1) % ListIdRange;
    ctx.Lists.UsedIds.insert(static_cast<std::int32_t>(id));
    return static_cast<std::int32_t>(id);
}

/// "\levelnfc" of a list kind.
int NumberFormatOf(TRVListType kind) noexcept
{
    switch (kind) {
    case rvlstDecimal:
    case rvlstImageListCounter: return 0;
    case rvlstUpperRoman: return 1;
    case rvlstLowerRoman: return 2;
    case rvlstUpperAlpha: return 3;
    case rvlstLowerAlpha: return 4;
    default: return 23; // no number
    }
}

int AlignmentOf(TRVMarkerAlignment alignment) noexcept
{
    switch (alignment) {
    case rvmaRight: return 2;
    case rvmaCenter: return 1;
    default: return 0;
    }
}

bool NumbersFromTemplate(TRVListType kind) noexcept
{
    return (kind >= rvlstDecimal && kind <= rvlstUpperRoman) || kind == rvlstImageListCounter;
}

int CodePageOfFont(const TRVRTFWriteContext& ctx, const TFontDescription& font)
{
    return CodePageOfCharset(font.Charset, ctx.Sheet.DefCodePage);
}

/// UTF-16 text cut to the level text's limit, a surrogate pair kept whole.
std::u16string_view CutLevelText(std::u16string_view text)
{
    if (text.size() <= MaxRtfLevelText)
        return text;
    std::size_t size = MaxRtfLevelText;
    if (text[size - 1] >= 0xD800 && text[size - 1] <= 0xDBFF)
        --size;
    return text.substr(0, size);
}

/// "{\leveltext...;}{\levelnumbers...;}". The level text begins with its length; in a numbered
/// level the placeholder of level k is the character of code k, and the level numbers give
/// the positions of the placeholders.
void AppendLevelText(std::string& out, const TRVRTFWriteContext& ctx, const TRVListLevel& level)
{
    std::string text;
    std::string numbers;
    if (NumbersFromTemplate(level.ListType)) {
        std::array<std::string, 9> placeholders;
        for (std::size_t k = 0; k < placeholders.size(); ++k)
            placeholders[k] = std::string(1, static_cast<char>(k));
        // A malformed template shows as it stands, as the marker does.
        std::string probe = FormatStrings(level.FormatString, placeholders).value_or(level.FormatString);
        probe.resize(std::min(probe.size(), MaxRtfLevelText));
        AppendHex2(text, static_cast<unsigned>(probe.size()));
        for (std::size_t p = 0; p < probe.size(); ++p) {
            const auto code = static_cast<unsigned char>(probe[p]);
            if (code < 9) {
                AppendHex2(text, code);
                AppendHex2(numbers, static_cast<unsigned>(p + 1));
            } else {
                AppendRtfText(text, probe.substr(p, 1), false);
            }
        }
    } else if (level.ListType == rvlstBullet) {
        const std::string_view bullet =
            std::string_view(level.FormatString).substr(0, std::min(level.FormatString.size(), MaxRtfLevelText));
        AppendHex2(text, static_cast<unsigned>(bullet.size()));
        AppendRtfText(text, bullet);
    } else if (level.ListType == rvlstUnicodeBullet) {
        const std::u16string_view bullet = CutLevelText(level.FormatStringW);
        AppendHex2(text, static_cast<unsigned>(bullet.size()));
        AppendRtfUnicode(text, bullet, CodePageOfFont(ctx, level.EffectiveFont()), ctx.Has(rvrtfDuplicateUnicode),
                         false);
    } else {
        AppendHex2(text, 0); // a picture shows no text
    }
    out += "{\\leveltext" + text + ";}{\\levelnumbers" + numbers + ";}";
}

void WriteLevel(std::string& out, const TRVRTFWriteContext& ctx, const TRVListLevel& level)
{
    const int format = NumberFormatOf(level.ListType);
    out += "{\\listlevel\\levelnfc";
    AppendRtfInt(out, format);
    out += "\\leveljc";
    AppendRtfInt(out, AlignmentOf(level.MarkerAlignment));
    out += "\\li";
    AppendRtfInt(out, ctx.Twips(level.LeftIndent));
    out += "\\fi";
    AppendRtfInt(out, ctx.Twips(level.MarkerIndent - level.LeftIndent));
    out += "\\jclisttab\\tx";
    AppendRtfInt(out, ctx.Twips(level.LeftIndent + level.FirstIndent));
    if (format != 23) {
        out += "\\levelstartat";
        AppendRtfInt(out, level.StartFrom);
    }
    if (level.Options.Contains(rvloLegalStyleNumbering))
        out += "\\levellegal1";
    if (!level.Options.Contains(rvloLevelReset))
        out += "\\levelnorestart1";
    AppendLevelText(out, ctx, level);
    if (level.UsesFont())
        AppendRtfMarkerFont(out, ctx, level.EffectiveFont());
    out += '}';
    out += Crlf;
}

/// A marker that restarts at a numbered level gets an override of its own.
bool RestartsNumberedLevel(const TRVRTFWriteContext& ctx, const TRVMarkerItemInfo& marker) noexcept
{
    if (!marker.Reset || marker.Level < 0)
        return false;
    const TRVListLevel* level = RtfMarkerLevel(ctx, marker);
    return level && level->ListType >= rvlstDecimal && level->ListType <= rvlstUpperRoman;
}

class TMarkerRtf final : public TRVRTFItemWriter {
public:
    void CollectColors(const TCustomRVItemInfo& item, TRVRTFWriteContext& ctx) const override
    {
        const auto& marker = static_cast<const TRVMarkerItemInfo&>(item);
        TRVRTFListNumbers& lists = ctx.Lists;
        if (!RestartsNumberedLevel(ctx, marker) || marker.ListNo >= static_cast<int>(lists.OverrideCounts.size()))
            return;
        ++lists.OverrideCounts[std::size_t(marker.ListNo)];
        lists.RestartingMarkers.push_back(&marker);
    }

    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int) const override
    {
        const auto& marker = static_cast<const TRVMarkerItemInfo&>(item);
        const TRVListLevel* level = RtfMarkerLevel(ctx, marker);
        if (!level)
            return;
        // A picture marker is its picture at its natural size. Image lists hold only their size and
        // count here (the images belong to the host), so image-list markers have nothing to draw.
        if (level->ListType == rvlstPicture) {
            WriteRtfPicture(level->Picture(), 0, 0, out, ctx);
            return;
        }
        if (level->ListType == rvlstImageList || level->ListType == rvlstImageListCounter)
            return;
        const TFontDescription& font = level->EffectiveFont();
        out += "{\\listtext\\pard\\plain";
        AppendRtfMarkerFont(out, ctx, font);
        out += ' ';
        if (level->ListType == rvlstUnicodeBullet)
            AppendRtfUnicode(out, level->FormatStringW, CodePageOfFont(ctx, font), ctx.Has(rvrtfDuplicateUnicode),
                             false);
        else
            AppendRtfText(out, marker.DisplayText);
        out += "\\tab}";
        TRVRTFListNumbers& lists = ctx.Lists;
        const auto listNo = std::size_t(marker.ListNo);
        if (listNo >= lists.ListBaseIndex.size())
            return; // no list table to refer to: the marker's text stands alone
        int number = lists.ListBaseIndex[listNo];
        if (const auto own = lists.MarkerOverride.find(&marker); own != lists.MarkerOverride.end()) {
            number = own->second;
            lists.ListRunningIndex[listNo] = number;
        }
        out += "\\ls";
        AppendRtfInt(out, number);
        out += "\\ilvl";
        AppendRtfInt(out, RtfMarkerLevelIndex(ctx, marker));
        out += ' ';
    }
};

class TLabelRtf : public TRVRTFItemWriter {
public:
    [[nodiscard]] int TextStyleOf(const TCustomRVItemInfo& item) const override
    {
        return static_cast<const TRVLabelItemInfo&>(item).TextStyleNo;
    }
    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext&,
               int) const override
    {
        AppendRtfText(out, static_cast<const TRVLabelItemInfo&>(item).Text);
    }
};

/// A sequence number as a SEQ field whose result is the number shown.
class TSequenceRtf final : public TLabelRtf {
public:
    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int) const override
    {
        const auto& seq = static_cast<const TRVSeqItemInfo&>(item);
        out += "{\\field{\\*\\fldinst {SEQ ";
        AppendRtfText(out, seq.SeqName, false);
        switch (seq.NumberingType(&ctx.Sheet)) {
        case rvseqLowerAlpha: out += " \\\\* alphabetic"; break;
        case rvseqUpperAlpha: out += " \\\\* ALPHABETIC"; break;
        case rvseqLowerRoman: out += " \\\\* roman"; break;
        case rvseqUpperRoman: out += " \\\\* ROMAN"; break;
        default: out += " \\\\* ARABIC"; break;
        }
        if (seq.Reset) {
            out += " \\\\r ";
            AppendRtfInt(out, seq.StartFrom);
        }
        out += " \\\\* MERGEFORMAT }}{\\fldrslt {";
        AppendRtfText(out, seq.Text);
        out += "}}}";
    }
};

} // namespace

const TRVListLevel* RtfMarkerLevel(const TRVRTFWriteContext& ctx, const TRVMarkerItemInfo& marker) noexcept
{
    return MarkerLevel(&ctx.Sheet, marker);
}

int RtfMarkerLevelIndex(const TRVRTFWriteContext& ctx, const TRVMarkerItemInfo& marker) noexcept
{
    const TRVListInfos& lists = ctx.Sheet.ListStyles;
    if (!lists.IsValidIndex(marker.ListNo) || lists[marker.ListNo].Levels.Count() == 0)
        return 0;
    // A level beyond the style's last one shows as the last one; RTF has nine levels.
    return std::min(std::clamp(marker.Level, 0, lists[marker.ListNo].Levels.Count() - 1), 8);
}

void AppendRtfMarkerFont(std::string& out, const TRVRTFWriteContext& ctx, const TFontDescription& font)
{
    const int fontNo = ctx.Fonts.Find(font.Name, font.Charset);
    if (fontNo >= 0) {
        out += "\\f";
        AppendRtfInt(out, fontNo);
    }
    if (font.Style.Contains(fsBold))
        out += "\\b";
    if (font.Style.Contains(fsItalic))
        out += "\\i";
    if (font.Style.Contains(fsUnderline))
        out += "\\ul";
    if (font.Style.Contains(fsStrikeOut))
        out += "\\strike";
    out += "\\fs";
    AppendRtfInt(out, 2LL * font.Size);
    const int language = RtfLanguageOfCharset(font.Charset);
    if (font.Charset != DEFAULT_CHARSET && font.Charset != ctx.Sheet.TextStyles.StyleAt(0).Charset && language != 0) {
        out += "\\lang";
        AppendRtfInt(out, language);
    }
    if (font.Color != clWindowText) {
        out += "\\cf";
        AppendRtfInt(out, ctx.Colors.IndexOf(font.Color));
    }
}

void AddRtfListFonts(TRVRTFWriteContext& ctx)
{
    const TRVListInfos& lists = ctx.Sheet.ListStyles;
    for (int i = 0; i < lists.Count(); ++i)
        for (const TRVListLevel& level : lists[i].Levels)
            if (level.UsesFont())
                ctx.Fonts.Add(level.EffectiveFont().Name, level.EffectiveFont().Charset);
}

void CollectRtfListColors(TRVRTFWriteContext& ctx)
{
    const TRVListInfos& lists = ctx.Sheet.ListStyles;
    for (int i = 0; i < lists.Count(); ++i)
        for (const TRVListLevel& level : lists[i].Levels)
            if (level.UsesFont())
                ctx.Colors.Add(level.EffectiveFont().Color);
    ctx.Lists.OverrideCounts.assign(std::size_t(lists.Count()), 1);
    ctx.Lists.RestartingMarkers.clear();
}

void WriteRtfListTables(std::string& out, TRVRTFWriteContext& ctx)
{
    const TRVListInfos& lists = ctx.Sheet.ListStyles;
    TRVRTFListNumbers& numbers = ctx.Lists;
    const auto count = std::size_t(lists.Count());
    if (count == 0) {
        out += Crlf;
        return;
    }
    numbers.OverrideCounts.resize(count, 1);

    out += "{\\*\\listtable";
    numbers.ListIds.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const TRVListInfo& list = lists[int(i)];
        const int levels = list.Levels.Count();
        out += "{\\list\\listtemplateid";
        AppendRtfInt(out, DrawListId(ctx));
        if (levels == 1)
            out += "\\listsimple1";
        out += Crlf;
        const int written = levels <= 1 ? levels : 9;
        for (int k = 0; k < written; ++k)
            WriteLevel(out, ctx, list.Levels[std::min(k, levels - 1)]);
        numbers.ListIds[i] = DrawListId(ctx);
        out += "\\listid";
        AppendRtfInt(out, numbers.ListIds[i]);
        out += '}';
        out += Crlf;
    }
    out += '}';
    out += Crlf;

    out += "{\\*\\listoverridetable";
    out += Crlf;
    numbers.ListBaseIndex.assign(count, 0);
    numbers.MarkerOverride.clear();
    int next = 1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string listId = std::to_string(numbers.ListIds[i]);
        // The style's own entry: the base the following styles count from.
        numbers.ListBaseIndex[i] = i == 0 ? 1 : numbers.ListBaseIndex[i - 1] + numbers.OverrideCounts[i - 1];
        next = numbers.ListBaseIndex[i];
        out += "{\\listoverride\\listid" + listId + "\\listoverridecount0\\ls" + std::to_string(next++) + "}";
        out += Crlf;
        if (numbers.OverrideCounts[i] <= 1)
            continue;
        for (const TRVMarkerItemInfo* marker : numbers.RestartingMarkers) {
            if (marker->ListNo != int(i))
                continue;
            const int level = RtfMarkerLevelIndex(ctx, *marker);
            out += "{\\listoverride\\listid" + listId + "\\listoverridecount" + std::to_string(level + 1);
            for (int k = 0; k < level; ++k)
                out += "{\\lfolevel}";
            out += "{\\lfolevel\\listoverridestartat\\levelstartat" + std::to_string(marker->StartFrom) + "}\\ls" +
                   std::to_string(next) + "}";
            out += Crlf;
            numbers.MarkerOverride[marker] = next++;
        }
    }
    out += '}';
    out += Crlf;
    numbers.ListRunningIndex = numbers.ListBaseIndex;
}

std::shared_ptr<const TRVRTFItemWriter> NewRtfMarkerWriter()
{
    return std::make_shared<TMarkerRtf>();
}

std::shared_ptr<const TRVRTFItemWriter> NewRtfLabelWriter()
{
    return std::make_shared<TLabelRtf>();
}

std::shared_ptr<const TRVRTFItemWriter> NewRtfSequenceWriter()
{
    return std::make_shared<TSequenceRtf>();
}

} // namespace xq

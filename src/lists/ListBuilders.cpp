// The list styles that the bullet and numbering commands create.
#include "lists/ListBuilders.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"

namespace xq {

namespace {

/// A one-level list style with the marker font and indents of the commands.
TRVListInfo OneLevelList(TRVListType kind, int size, int firstIndent, TColor color, TFontStyles fontStyle,
                         const std::string& fontName, const std::string& formatString, int markerIndent,
                         int leftIndent)
{
    TRVListInfo list;
    TRVListLevel& level = list.Levels.Add();
    level.ListType = kind;
    TRVMarkerFont& font = level.EditFont();
    font.Name = fontName;
    font.Size = size;
    font.Color = color;
    font.Style = fontStyle;
    level.FirstIndent = firstIndent;
    level.LeftIndent = leftIndent;
    level.MarkerIndent = markerIndent;
    level.MarkerAlignment = rvmaLeft;
    level.FormatString = formatString;
    return list;
}

[[nodiscard]] TRVListType NumberingKind(int kind) noexcept
{
    switch (kind) {
    case 2:
        return rvlstLowerAlpha;
    case 3:
        return rvlstUpperAlpha;
    case 4:
        return rvlstLowerRoman;
    case 5:
        return rvlstUpperRoman;
    default:
        return rvlstDecimal;
    }
}

/// The start of the paragraph that holds item index.
[[nodiscard]] int ParagraphStart(const TCustomRVData& doc, int index)
{
    while (index > 0 && !doc.ItemAt(index).StartsParagraph())
        --index;
    return index;
}

} // namespace

int CreateBullets(TRVStyle& sheet, int size, int firstIndent, TColor color, const std::string& bulletText,
                  int markerIndent, int leftIndent)
{
    const TRVListInfo probe =
        OneLevelList(rvlstBullet, size, firstIndent, color, {}, "Wingdings", bulletText, markerIndent, leftIndent);
    return sheet.ListStyles.FindOrAddList(probe, true);
}

int CreateNumbering(TRVStyle& sheet, const TCustomRVData& doc, int firstItem, int lastItem, int size,
                    int firstIndent, TColor color, TFontStyles fontStyle, const std::string& fontName,
                    const std::string& formatString, int kind, int markerIndent, int leftIndent)
{
    const TRVListInfo probe = OneLevelList(NumberingKind(kind), size, firstIndent, color, fontStyle, fontName,
                                           formatString, markerIndent, leftIndent);

    // An adjacent paragraph (or a selected one) in an equal list: number on in that list.
    if (doc.Count() > 0) {
        const int first = std::clamp(firstItem, 0, doc.Count() - 1);
        const int last = std::clamp(lastItem, first, doc.Count() - 1);
        int from = ParagraphStart(doc, first);
        if (from > 0)
            from = ParagraphStart(doc, from - 1);
        int to = last + 1;
        while (to < doc.Count() && !doc.ItemAt(to).StartsParagraph())
            ++to;
        to = std::min(to, doc.Count() - 1);
        for (int i = from; i <= to; ++i) {
            const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&doc.ItemAt(i));
            if (marker && sheet.ListStyles.IsValidIndex(marker->ListNo) &&
                sheet.ListStyles[marker->ListNo].EqualsStyle(probe, true))
                return marker->ListNo;
        }
    }

    TRVListInfo& added = sheet.ListStyles.Add();
    added.CopyStyle(probe, TListIdCopy::Fresh);
    added.Standard = false;
    return sheet.ListStyles.Count() - 1;
}

int CommandFontSize(const std::string& sizeBoxText) noexcept
{
    const char* begin = sizeBoxText.data();
    const char* end = begin + sizeBoxText.size();
    while (begin != end && *begin == ' ')
        ++begin;
    int size = 0;
    const auto [rest, error] = std::from_chars(begin, end, size);
    // Only a whole number counts ("12pt" is no number); a size must be positive.
    return error == std::errc() && rest == end && rest != begin && size > 0 ? size : 10;
}

int BulletsCommandList(TRVStyle& sheet, const std::string& sizeBoxText)
{
    const int size = std::min(CommandFontSize(sizeBoxText), 20);
    return CreateBullets(sheet, size, 0, 0x000000, "l", 2, 24);
}

int NumberingCommandList(TRVStyle& sheet, const TCustomRVData& doc, int firstItem, int lastItem,
                         const std::string& sizeBoxText, const std::string& currentFont)
{
    // Symbol fonts would turn the digits into pictures.
    static const std::array<const char*, 4> symbolFonts{"Wingdings", "Wingdings 2", "Wingdings 3", "Webdings"};
    std::string font = currentFont;
    if (font.empty() || std::any_of(symbolFonts.begin(), symbolFonts.end(),
                                    [&](const char* name) { return SameFontName(font, name); }))
        font = "Arial";
    return CreateNumbering(sheet, doc, firstItem, lastItem, CommandFontSize(sizeBoxText), 0, 0x000000, {}, font,
                           "%0:s.", 1, 0, 24);
}

} // namespace xq

// PurgeStyles: mark what is used, close over the references, delete the rest and renumber.
#include "document/StylePurge.h"

#include <cstdint>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "document/StyleUsage.h"

namespace xq {

namespace {

/// Adds to used every style reachable from a used one through the given reference fields; a
/// reference outside the collection is reset to -1 on the way. Every style is visited once.
template <class TInfos, class... TRefs>
void CloseOverReferences(TInfos& styles, std::vector<bool>& used, TRefs... refs)
{
    std::vector<int> pending;
    for (int i = 0; i < styles.Count(); ++i)
        if (used[static_cast<std::size_t>(i)])
            pending.push_back(i);
    while (!pending.empty()) {
        auto& style = styles[pending.back()];
        pending.pop_back();
        auto follow = [&](std::int32_t& ref) {
            if (ref < 0)
                return;
            if (ref >= styles.Count()) {
                ref = -1;
                return;
            }
            if (!used[static_cast<std::size_t>(ref)]) {
                used[static_cast<std::size_t>(ref)] = true;
                pending.push_back(ref);
            }
        };
        (follow(style.*refs), ...);
    }
}

/// Flags for a purged collection: the Standard styles to begin with.
template <class TInfos>
[[nodiscard]] std::vector<bool> StandardStyles(const TInfos& styles)
{
    std::vector<bool> used;
    used.reserve(static_cast<std::size_t>(styles.Count()));
    for (const auto& style : styles)
        used.push_back(style->Standard);
    return used;
}

/// Old index -> new index (-1 for a removed style); empty when nothing is removed.
[[nodiscard]] std::vector<int> NewNumbers(const std::vector<bool>& used)
{
    std::vector<int> numbers(used.size(), -1);
    int next = 0;
    for (std::size_t i = 0; i < used.size(); ++i)
        if (used[i])
            numbers[i] = next++;
    if (next == static_cast<int>(used.size()))
        numbers.clear();
    return numbers;
}

} // namespace

void PurgeStyles(TRVStyle& sheet, TCustomRVData& document, bool text, bool para, bool lists)
{
    TFontInfos& textStyles = sheet.TextStyles;
    TParaInfos& paraStyles = sheet.ParaStyles;
    TRVListInfos& listStyles = sheet.ListStyles;

    if (text && !textStyles.IsValidIndex(sheet.DefUnicodeStyle))
        sheet.DefUnicodeStyle = -1;

    // An empty vector stands for a collection that is not purged: all of it counts as used.
    TRVStyleUsage usage;
    if (text)
        usage.Text = StandardStyles(textStyles);
    if (para)
        usage.Para = StandardStyles(paraStyles);
    if (lists)
        usage.List = StandardStyles(listStyles);
    if (usage.Text.empty() && usage.Para.empty() && usage.List.empty())
        return;

    usage.UseText(sheet.DefUnicodeStyle);

    ForEachContainer(document, [&](TCustomRVData& data) {
        for (int i = 0; i < data.Count(); ++i)
            data.ItemAt(i).MarkStylesInUse(usage);
    });

    if (!usage.Para.empty())
        CloseOverReferences(paraStyles, usage.Para, &TParaInfo::BaseStyleNo, &TParaInfo::NextParaNo);
    if (!usage.Text.empty()) {
        // Default text styles of the kept paragraph styles stay, with what they lead to.
        for (int p = 0; p < paraStyles.Count(); ++p) {
            if (!usage.Para.empty() && !usage.Para[static_cast<std::size_t>(p)])
                continue;
            std::int32_t& def = paraStyles[p].DefStyleNo;
            if (def >= textStyles.Count())
                def = -1;
            usage.UseText(def);
        }
        CloseOverReferences(textStyles, usage.Text, &TFontInfo::BaseStyleNo, &TFontInfo::NextStyleNo);
    }
    if (!usage.List.empty())
        CloseOverReferences(listStyles, usage.List, &TRVListInfo::BaseStyleNo);

    TRVStyleRenumbering renumbering;
    renumbering.Text = NewNumbers(usage.Text);
    renumbering.Para = NewNumbers(usage.Para);
    renumbering.List = NewNumbers(usage.List);
    if (renumbering.Text.empty() && renumbering.Para.empty() && renumbering.List.empty())
        return;

    // References of the styles that stay; those of removed styles go with them.
    for (const auto& style : textStyles) {
        style->BaseStyleNo = renumbering.NewText(style->BaseStyleNo);
        style->NextStyleNo = renumbering.NewText(style->NextStyleNo);
    }
    for (const auto& style : paraStyles) {
        style->BaseStyleNo = renumbering.NewPara(style->BaseStyleNo);
        style->NextParaNo = renumbering.NewPara(style->NextParaNo);
        style->DefStyleNo = renumbering.NewText(style->DefStyleNo);
    }
    for (const auto& style : listStyles)
        style->BaseStyleNo = renumbering.NewList(style->BaseStyleNo);
    sheet.DefUnicodeStyle = renumbering.NewText(sheet.DefUnicodeStyle);

    if (!renumbering.Text.empty())
        textStyles.KeepOnly(usage.Text);
    if (!renumbering.Para.empty())
        paraStyles.KeepOnly(usage.Para);
    if (!renumbering.List.empty())
        listStyles.KeepOnly(usage.List);

    ForEachContainer(document, [&](TCustomRVData& data) {
        for (int i = 0; i < data.Count(); ++i)
            data.ItemAt(i).UpdateStyles(renumbering);
    });
}

} // namespace xq

// NormalizeDocument.
#include "document/Normalize.h"

#include <memory>

#include "document/RVData.h"
#include "document/RVStyle.h"

namespace xq {

namespace {

std::unique_ptr<TCustomRVItemInfo> EmptyTextAfterMarker(const TCustomRVData& data)
{
    auto item = std::make_unique<TRVTextItemInfo>(0);
    item->ParaNo = 0;
    item->SetContinuesPara(true);
    const TRVStyle* sheet = data.GetRVStyle();
    item->SetUnicode(sheet && sheet->TextStyles.StyleAt(0).Unicode);
    return item;
}

} // namespace

void NormalizeDocument(TCustomRVData& data)
{
    int paraNo = 0;
    bool prevFullLine = true;
    bool prevMarker = false;

    int i = 0;
    while (i < data.Count()) {
        TCustomRVItemInfo* item = &data.ItemAt(i);

        if (prevFullLine || item->IsFullLine() || item->IsListMarker()) {
            item->SetContinuesPara(false);
            item->SetNewLine(false);
        }
        if (item->ContinuesPara() || item->NewLine())
            item->ParaNo = paraNo;
        else
            paraNo = item->ParaNo;

        for (int k = 0; k < item->SubDocumentCount(); ++k)
            if (TCustomRVData* sub = item->SubDocument(k))
                NormalizeDocument(*sub);

        if (prevMarker) {
            if (item->IsListMarker()) {
                auto filler = EmptyTextAfterMarker(data);
                filler->ParaNo = paraNo = data.ItemAt(i - 1).ParaNo;
                data.InsertItemAt(i, std::string(), std::move(filler));
                item = &data.ItemAt(i);
            } else {
                item->SetContinuesPara(true);
            }
        }

        prevFullLine = item->IsFullLine();
        prevMarker = item->IsListMarker();
        if (!item->IsText()) {
            ++i;
            continue;
        }

        const bool empty = data.TextAt(i).empty();
        TCustomRVItemInfo* next = i + 1 < data.Count() ? &data.ItemAt(i + 1) : nullptr;
        const bool nextContinues = next && next->ContinuesPara();

        // An empty paragraph start hands the start over to the next item of its paragraph.
        if (!item->ContinuesPara() && empty && nextContinues) {
            constexpr std::uint8_t startBits =
                TCustomRVItemInfo::rvioNewPageBefore | TCustomRVItemInfo::rvioNewLine;
            next->SetItemOptions((next->ItemOptions() & ~(TCustomRVItemInfo::rvioContinuesPara | startBits)) |
                                 (item->ItemOptions() & startBits));
            if (item->Checkpoint() && !next->Checkpoint()) {
                auto cp = item->Checkpoint()->CreateCopy();
                data.RemoveCheckpoint(i);
                data.SetCheckpoint(i + 1, std::move(cp));
            }
            data.RemoveItems(i, 1);
            prevFullLine = i > 0 && data.ItemAt(i - 1).IsFullLine();
            prevMarker = i > 0 && data.ItemAt(i - 1).IsListMarker();
            if (i == 0)
                prevFullLine = true;
            continue;
        }

        if (item->ContinuesPara() && i > 0) {
            const TCustomRVItemInfo& prev = data.ItemAt(i - 1);
            // An empty piece inside a paragraph goes (but not the one that keeps a marker company).
            if (empty && !prev.IsListMarker()) {
                if (item->Checkpoint() && nextContinues && !next->Checkpoint()) {
                    auto cp = item->Checkpoint()->CreateCopy();
                    data.SetCheckpoint(i + 1, std::move(cp));
                }
                data.RemoveItems(i, 1);
                prevFullLine = prev.IsFullLine();
                prevMarker = prev.IsListMarker();
                continue;
            }
            // Adjacent text of one style and tag is one item.
            if (!item->Checkpoint() && prev.StyleNo == item->StyleNo && prev.Tag == item->Tag) {
                std::string joined = data.TextAt(i - 1) + data.TextAt(i);
                data.SetText(i - 1, std::move(joined));
                data.RemoveItems(i, 1);
                prevFullLine = prev.IsFullLine();
                prevMarker = prev.IsListMarker();
                continue;
            }
        }
        ++i;
    }

    if (prevMarker && data.Count() > 0) {
        auto filler = EmptyTextAfterMarker(data);
        filler->ParaNo = data.ItemAt(data.Count() - 1).ParaNo;
        data.InsertItemAt(data.Count(), std::string(), std::move(filler));
    }
}

} // namespace xq

// NormalizeDocument: one pass over the items that rebuilds the list, so that big documents with
// many pieces to join or drop are repaired in linear time.
#include "document/Normalize.h"

#include <memory>

#include "document/RVData.h"
#include "document/RVStyle.h"

namespace xq {

namespace {

constexpr std::uint8_t StartBits = TCustomRVItemInfo::rvioNewPageBefore | TCustomRVItemInfo::rvioNewLine;

TRVItemEntry EmptyTextAfterMarker(const TCustomRVData& data, int paraNo)
{
    auto item = std::make_unique<TRVTextItemInfo>(0);
    item->ParaNo = paraNo;
    item->SetContinuesPara(true);
    const TRVStyle* sheet = data.GetRVStyle();
    item->SetUnicode(sheet && sheet->TextStyles.StyleAt(0).Unicode);
    return TRVItemEntry{std::string(), std::move(item)};
}

} // namespace

void NormalizeDocument(TCustomRVData& data)
{
    std::vector<TRVItemEntry> in = std::move(data.C_->Items);
    std::vector<TRVItemEntry>& out = data.C_->Items;
    out.clear();
    out.reserve(in.size());

    int paraNo = 0;
    auto prevFullLine = [&] { return out.empty() || out.back().Item->IsFullLine(); };
    auto prevMarker = [&] { return !out.empty() && out.back().Item->IsListMarker(); };

    for (std::size_t i = 0; i < in.size(); ++i) {
        TRVItemEntry& entry = in[i];
        TCustomRVItemInfo& item = *entry.Item;

        if (prevFullLine() || item.IsFullLine() || item.IsListMarker()) {
            item.SetContinuesPara(false);
            item.SetNewLine(false);
        }
        if (item.ContinuesPara() || item.NewLine())
            item.ParaNo = paraNo;
        else
            paraNo = item.ParaNo;

        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (TCustomRVData* sub = item.SubDocument(k))
                NormalizeDocument(*sub);

        if (prevMarker()) {
            if (item.IsListMarker() || item.IsFullLine()) {
                // A marker followed by another marker or by a line or table: the marker's
                // paragraph gets its text, and the next item keeps its paragraph start.
                out.push_back(EmptyTextAfterMarker(data, out.back().Item->ParaNo));
            } else {
                // The text after a marker belongs to the marker's paragraph, number included.
                item.SetContinuesPara(true);
                item.ParaNo = paraNo = out.back().Item->ParaNo;
            }
        }

        if (!item.IsText()) {
            out.push_back(std::move(entry));
            continue;
        }

        const bool empty = entry.Text.empty();
        TCustomRVItemInfo* next = i + 1 < in.size() ? in[i + 1].Item.get() : nullptr;
        const bool nextContinues = next && next->ContinuesPara();

        // An empty paragraph or line start hands the start over to the next item of its paragraph.
        if (!item.ContinuesPara() && empty && nextContinues) {
            next->SetItemOptions((next->ItemOptions() & ~(TCustomRVItemInfo::rvioContinuesPara | StartBits)) |
                                 (item.ItemOptions() & StartBits));
            if (item.Checkpoint_ && !next->Checkpoint_)
                next->Checkpoint_ = std::move(item.Checkpoint_);
            continue;
        }

        if (item.ContinuesPara() && !out.empty()) {
            TRVItemEntry& prev = out.back();
            // An empty piece inside a paragraph goes (but not the one that keeps a marker company).
            if (empty && !prev.Item->IsListMarker()) {
                if (item.Checkpoint_ && nextContinues && !next->Checkpoint_)
                    next->Checkpoint_ = std::move(item.Checkpoint_);
                continue;
            }
            // Adjacent text of one style and tag is one item.
            if (!item.Checkpoint_ && prev.Item->StyleNo == item.StyleNo && prev.Item->Tag == item.Tag) {
                prev.Text += entry.Text;
                continue;
            }
        }
        out.push_back(std::move(entry));
    }

    if (prevMarker())
        out.push_back(EmptyTextAfterMarker(data, out.back().Item->ParaNo));

    data.RelinkCheckpoints();
}

} // namespace xq

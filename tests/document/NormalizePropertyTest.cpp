// NormalizeDocument on random item lists: the result obeys every validity rule, keeps all text,
// and a second run changes nothing.
#include <gtest/gtest.h>

#include <random>

#include "document/ItemRegistry.h"
#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "support/DocDump.h"

namespace xq {
namespace {

std::string AllText(const TCustomRVData& doc)
{
    std::string text;
    for (int i = 0; i < doc.Count(); ++i)
        if (doc.ItemAt(i).IsText())
            text += doc.TextAt(i);
    return text;
}

int CountKind(const TCustomRVData& doc, int styleNo)
{
    int n = 0;
    for (int i = 0; i < doc.Count(); ++i)
        n += doc.ItemAt(i).StyleNo == styleNo;
    return n;
}

void ExpectValid(const TCustomRVData& doc, const std::string& context)
{
    for (int i = 0; i < doc.Count(); ++i) {
        const TCustomRVItemInfo& item = doc.ItemAt(i);
        const bool afterFullLine = i == 0 || doc.ItemAt(i - 1).IsFullLine();
        if (afterFullLine || item.IsFullLine() || item.IsListMarker()) {
            EXPECT_TRUE(item.StartsParagraph()) << context << " at " << i;
        }
        if (item.IsListMarker()) {
            ASSERT_LT(i + 1, doc.Count()) << context;
            EXPECT_TRUE(doc.ItemAt(i + 1).ContinuesPara()) << context << " at " << i;
        }
        if (!item.StartsParagraph()) {
            EXPECT_EQ(item.ParaNo, doc.ItemAt(i - 1).ParaNo) << context << " at " << i;
        }
    }
}

TEST(NormalizeProperty, RandomDocumentsBecomeValid)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    std::mt19937 random(20261209);
    const char* texts[] = {"", "", "a", "Wort", " und ", "Satz."};
    const char* tags[] = {"", "", "t"};

    for (int round = 0; round < 400; ++round) {
        TCustomRVData doc(&sheet);
        const int n = 1 + static_cast<int>(random() % 20);
        for (int k = 0; k < n; ++k) {
            const int kind = static_cast<int>(random() % 10);
            std::unique_ptr<TCustomRVItemInfo> item =
                kind == 0 ? CreateItemByStyleNo(rvsListMarker)
                : kind == 1 ? CreateItemByStyleNo(rvsBreak)
                : kind == 2 ? CreateItemByStyleNo(rvsTab)
                            : std::make_unique<TRVTextItemInfo>(static_cast<int>(random() % 3));
            item->ParaNo = static_cast<int>(random() % 3);
            item->SetItemOptions(static_cast<std::uint8_t>(random() % 8));
            item->Tag = tags[random() % 3];
            if (random() % 8 == 0) {
                auto cp = std::make_unique<TRVCPInfo>();
                cp->Name = "cp" + std::to_string(k);
                item->SetCheckpointDescription(std::move(cp));
            }
            std::string text = item->IsText() ? texts[random() % 6] : "";
            doc.InsertItemAt(doc.Count(), std::move(text), std::move(item));
        }
        const std::string before = test::DocDump(doc);
        const std::string text = AllText(doc);
        const int markers = CountKind(doc, rvsListMarker), breaks = CountKind(doc, rvsBreak);

        std::string context = "from " + before;
        NormalizeDocument(doc);
        context += " to " + test::DocDump(doc);
        ExpectValid(doc, context);
        EXPECT_EQ(AllText(doc), text) << context;
        EXPECT_EQ(CountKind(doc, rvsListMarker), markers) << context;
        EXPECT_EQ(CountKind(doc, rvsBreak), breaks) << context;
        int cps = 0;
        for (TRVCPInfo* cp = doc.FirstCheckpoint(); cp; cp = cp->Next)
            ++cps;
        EXPECT_EQ(cps, doc.CheckpointCount()) << context;

        const std::string once = test::DocDump(doc);
        NormalizeDocument(doc);
        EXPECT_EQ(test::DocDump(doc), once) << context;
    }
}

} // namespace
} // namespace xq

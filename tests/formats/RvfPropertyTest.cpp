// RVF round trips of random documents, in binary and in text mode: what is read back shows the
// same items, and writing it again gives the same bytes.
#include <gtest/gtest.h>

#include <random>

#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"

namespace xq {
namespace {

TEST(RvfProperty, RandomDocumentsRoundTrip)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TFontInfo& unicode = sheet.TextStyles.Add(); // 7
    unicode.CopyStyle(sheet.TextStyles[0]);
    unicode.Unicode = true;
    TRVListInfo& list = sheet.ListStyles.Add();
    list.Levels.Add().ListType = rvlstDecimal;

    std::mt19937 random(9122026);
    const char* texts[] = {"", "Wort", "Gr\xFC\xDF" "e", "\"zitiert\"", " Leer ", "a\x81\xFF"};
    const char* tags[] = {"", "", "http://x/?q=\"1\"", "t t"};

    for (int round = 0; round < 200; ++round) {
        TCustomRVData doc(&sheet);
        const int n = 1 + static_cast<int>(random() % 25);
        for (int k = 0; k < n; ++k) {
            if (random() % 7 == 0)
                doc.CreatePendingCheckpoint("cp" + std::to_string(k), random() % 2 == 0, tags[random() % 4]);
            const int paraNo = random() % 3 == 0 ? -1 : static_cast<int>(random() % 6);
            switch (random() % 8) {
            case 0: {
                auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0, 3, random() % 2 == 0);
                marker->ParaNo = paraNo < 0 ? 0 : paraNo;
                doc.AppendItem({}, std::move(marker));
                break;
            }
            case 1: {
                auto line = std::make_unique<TRVBreakItemInfo>();
                line->Width = static_cast<std::uint8_t>(1 + random() % 3);
                doc.AppendItem({}, std::move(line));
                break;
            }
            case 2: {
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->ParaNo = -1;
                tab->Hint = "Tab";
                doc.AppendItem({}, std::move(tab));
                break;
            }
            case 3:
                doc.AppendTextW(u"\u0416\u20AC\u00E4", 7, paraNo, tags[random() % 4]);
                break;
            default:
                doc.AppendText(texts[random() % 6], static_cast<int>(random() % 7), paraNo, tags[random() % 4]);
                break;
            }
        }
        NormalizeDocument(doc);

        for (TRVFOptions options : {RVFMainWindowOptions, RVFMainWindowOptions - TRVFOptions{rvfoSaveBinary}}) {
            std::string first;
            ASSERT_TRUE(TRVFWriter(sheet, options).WriteDocument(doc, nullptr, first));
            TCustomRVData copy(&sheet);
            TRVFReader reader(sheet, options);
            ASSERT_TRUE(reader.ReadDocument(copy, nullptr, first)) << test::DocDump(doc);
            EXPECT_EQ(reader.Warnings(), TRVFWarnings{});
            EXPECT_EQ(test::DocDump(copy), test::DocDump(doc));
            std::string second;
            ASSERT_TRUE(TRVFWriter(sheet, options).WriteDocument(copy, nullptr, second));
            EXPECT_EQ(second, first) << test::DocDump(doc);
        }
    }
}

} // namespace
} // namespace xq

// The reformat range: whole paragraphs and one paragraph of context on each side.
#include <gtest/gtest.h>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "layout/ReformatRange.h"

namespace xq {
namespace {

// Five paragraphs of two items each; every item is cut into two draw items (two lines).
class ReformatRangeTest : public ::testing::Test {
protected:
    ReformatRangeTest()
    {
        for (int p = 0; p < 5; ++p) {
            Doc.AppendText("erster Teil", 0, 0);
            Doc.AppendText(" zweiter Teil", 0, -1);
        }
        for (int item = 0; item < Doc.Count(); ++item)
            for (int piece = 0; piece < 2; ++piece) {
                auto d = std::make_unique<TRVDrawLineInfo>();
                d->ItemNo = item;
                d->FirstChar = piece == 0 ? 1 : 6;
                Lines.Add(std::move(d));
            }
    }

    std::pair<int, int> Range(int firstChanged, int lastChanged)
    {
        int first = 0, last = 0;
        GetReformatRange(Doc, Lines, firstChanged, lastChanged, first, last);
        return {first, last};
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVDrawLines Lines; // paragraph p holds draw items 4p .. 4p+3
};

TEST_F(ReformatRangeTest, OneParagraphOfContextOnEachSide)
{
    EXPECT_TRUE(DrawItemStartsParagraph(Doc, Lines, 8));
    EXPECT_FALSE(DrawItemStartsParagraph(Doc, Lines, 9)) << "second piece of the same item";
    EXPECT_FALSE(DrawItemStartsParagraph(Doc, Lines, 10)) << "an item that continues the paragraph";

    EXPECT_EQ(Range(10, 10), std::make_pair(4, 15)) << "a change in paragraph 2 takes paragraphs 1 to 3";
    EXPECT_EQ(Range(9, 13), std::make_pair(4, 19)) << "changes in paragraphs 2 and 3 take 1 to 4";
}

TEST_F(ReformatRangeTest, FewerAtTheEnds)
{
    EXPECT_EQ(Range(1, 1), std::make_pair(0, 7));
    EXPECT_EQ(Range(18, 19), std::make_pair(12, 19));
    EXPECT_EQ(Range(-5, 99), std::make_pair(0, 19)) << "indices outside the list are clamped";
}

} // namespace
} // namespace xq

// Display text: capitals and soft hyphens.
#include <gtest/gtest.h>

#include "layout/DisplayText.h"

namespace xq {
namespace {

TEST(DisplayText, CapitalsOfEuropeanAlphabets)
{
    EXPECT_EQ(DisplayText(u"Stra\u00DFe \u00E4\u00F6\u00FC 5 \u00F7", true, TSoftHyphenDisplay::Hidden),
              u"STRA\u00DFE \u00C4\u00D6\u00DC 5 \u00F7")
        << "ß and the division sign stay";
    EXPECT_EQ(UpperCaseOf(u'\u0101'), u'\u0100') << "Latin Extended-A, even-odd pairs";
    EXPECT_EQ(UpperCaseOf(u'\u0100'), u'\u0100');
    EXPECT_EQ(UpperCaseOf(u'\u013E'), u'\u013D') << "odd-even pairs";
    EXPECT_EQ(UpperCaseOf(u'\u017E'), u'\u017D');
    EXPECT_EQ(UpperCaseOf(u'\u00FF'), u'\u0178');
    EXPECT_EQ(UpperCaseOf(u'\u03C2'), u'\u03A3') << "final sigma";
    EXPECT_EQ(UpperCaseOf(u'\u0436'), u'\u0416');
    EXPECT_EQ(UpperCaseOf(u'\u0451'), u'\u0401');
    EXPECT_EQ(DisplayText(u"abc", false, TSoftHyphenDisplay::Hidden), u"abc");
}

TEST(DisplayText, SoftHyphens)
{
    EXPECT_EQ(DisplayText(u"Silben\u00ADtrennung", false, TSoftHyphenDisplay::Hidden), u"Silben\u200Btrennung");
    EXPECT_EQ(DisplayText(u"Silben\u00ADtrennung", true, TSoftHyphenDisplay::Mark), u"SILBEN\u00ACTRENNUNG");
}

} // namespace
} // namespace xq

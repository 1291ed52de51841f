// Number texts, marker templates and the counter rules of list markers.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>

#include "ListTestSupport.h"
#include "lists/Numbering.h"

namespace xq::test {
namespace {

TEST(NumberText, AlphaIsBijectiveBase26)
{
    EXPECT_EQ(NumberText(1, rvlstUpperAlpha), "A");
    EXPECT_EQ(NumberText(26, rvlstUpperAlpha), "Z");
    EXPECT_EQ(NumberText(27, rvlstUpperAlpha), "AA");
    EXPECT_EQ(NumberText(28, rvlstUpperAlpha), "AB");
    EXPECT_EQ(NumberText(52, rvlstUpperAlpha), "AZ");
    EXPECT_EQ(NumberText(53, rvlstUpperAlpha), "BA");
    EXPECT_EQ(NumberText(702, rvlstUpperAlpha), "ZZ");
    EXPECT_EQ(NumberText(703, rvlstLowerAlpha), "aaa");
    EXPECT_EQ(NumberText(0, rvlstUpperAlpha), "");
    EXPECT_EQ(NumberText(-4, rvlstLowerAlpha), "");
}

TEST(NumberText, RomanByGreedySubtraction)
{
    EXPECT_EQ(NumberText(1994, rvlstUpperRoman), "MCMXCIV");
    EXPECT_EQ(NumberText(3999, rvlstUpperRoman), "MMMCMXCIX");
    EXPECT_EQ(NumberText(4000, rvlstUpperRoman), "4000") << "beyond the numerals: decimal";
    EXPECT_EQ(NumberText(49, rvlstLowerRoman), "xlix");
    EXPECT_EQ(NumberText(0, rvlstUpperRoman), "?");
    EXPECT_EQ(NumberText(-7, rvlstLowerRoman), "?");
}

/// The value of a Roman numeral read by the additive and subtractive rules; -1 when a letter
/// is not a numeral.
int RomanValue(const std::string& text)
{
    const auto digit = [](char c) {
        switch (c) {
        case 'I': case 'i': return 1;
        case 'V': case 'v': return 5;
        case 'X': case 'x': return 10;
        case 'L': case 'l': return 50;
        case 'C': case 'c': return 100;
        case 'D': case 'd': return 500;
        case 'M': case 'm': return 1000;
        default: return -1;
        }
    };
    int value = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const int d = digit(text[k]);
        if (d < 0)
            return -1;
        const int next = k + 1 < text.size() ? digit(text[k + 1]) : 0;
        value += d < next ? -d : d;
    }
    return value;
}

/// The value of bijective base-26 letters, as a 64-bit number.
std::int64_t AlphaValue(const std::string& text)
{
    std::int64_t value = 0;
    for (const char c : text)
        value = value * 26 + (c >= 'a' ? c - 'a' : c - 'A') + 1;
    return value;
}

TEST(NumberText, EveryNumberIsShortAndReadsBack)
{
    // Roman numerals as far as they go, decimal digits from there on, for the whole range.
    for (int n = 1; n <= MaxRomanNumber + 50; ++n) {
        for (TRVListType kind : {rvlstUpperRoman, rvlstLowerRoman}) {
            const std::string text = NumberText(n, kind);
            ASSERT_LE(text.size(), 15u) << n;
            if (n <= MaxRomanNumber)
                ASSERT_EQ(RomanValue(text), n) << text;
            else
                ASSERT_EQ(text, std::to_string(n));
        }
    }
    for (const int n : {4001, 65536, 1000000, INT_MAX - 1, INT_MAX}) {
        EXPECT_EQ(NumberText(n, rvlstUpperRoman), std::to_string(n));
        EXPECT_EQ(NumberText(n, rvlstLowerRoman), std::to_string(n));
    }
    EXPECT_EQ(NumberText(INT_MIN, rvlstUpperRoman), "?");

    // Letters grow with the logarithm: the largest counter is seven of them.
    for (const int n : {1, 26, 27, 18277, 18278, 123456789, INT_MAX - 1, INT_MAX}) {
        const std::string upper = NumberText(n, rvlstUpperAlpha);
        EXPECT_LE(upper.size(), 7u) << n;
        EXPECT_EQ(AlphaValue(upper), n) << upper;
        EXPECT_EQ(AlphaValue(NumberText(n, rvlstLowerAlpha)), n);
    }
    EXPECT_EQ(NumberText(INT_MAX, rvlstUpperAlpha).size(), 7u);
    EXPECT_EQ(NumberText(INT_MIN, rvlstLowerAlpha), "");
    EXPECT_EQ(NumberText(INT_MIN, rvlstDecimal), std::to_string(INT_MIN));
}

TEST(NumberText, DecimalAndKindsWithoutNumbers)
{
    EXPECT_EQ(NumberText(42, rvlstDecimal), "42");
    EXPECT_EQ(NumberText(-3, rvlstDecimal), "-3");
    EXPECT_EQ(NumberText(7, rvlstImageListCounter), "7");
    for (TRVListType kind : {rvlstBullet, rvlstPicture, rvlstImageList, rvlstUnicodeBullet})
        EXPECT_EQ(NumberText(7, kind), "") << int(kind);
}

TEST(NumberFormat, StringConversions)
{
    const std::array<std::string, 3> args{"a", "bb", "ccc"};
    EXPECT_EQ(FormatStrings("%0:s.", args), "a.");
    EXPECT_EQ(FormatStrings("%s-%s", args), "a-bb");
    EXPECT_EQ(FormatStrings("%2:s%s", args), std::nullopt) << "the argument after the last one is missing";
    EXPECT_EQ(FormatStrings("%1:s%s|%0:S", args), "bbccc|a") << "unindexed arguments follow an indexed one";
    EXPECT_EQ(FormatStrings("100%%", args), "100%");
    EXPECT_EQ(FormatStrings("[%4s][%-4s][%.2s][%0:-3.1s]", args), "[   a][bb  ][cc][a  ]");
}

TEST(NumberFormat, MalformedFormatsAreRefused)
{
    const std::array<std::string, 2> args{"1", "2"};
    for (const char* bad : {"%d", "%x.", "50%", "%2:s", "%s%s%s", "%*s", "%:s", "%.s", "%-", "%99999s", "%5q"})
        EXPECT_EQ(FormatStrings(bad, args), std::nullopt) << bad;
}

TEST(NumberFormat, OutputIsCutAtTheBound)
{
    const std::array<std::string, 2> args{"MMMCMXCIX", "x"};
    std::string repeated;
    std::string expected;
    for (int k = 0; k < 500; ++k) {
        repeated += "%0:s";
        expected += args[0];
    }
    const auto cut = FormatStrings(repeated, args);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(*cut, expected.substr(0, MaxFormattedText));

    // Up to the bound, nothing changes.
    const std::string justBelow(MaxFormattedText - 1, 'a');
    EXPECT_EQ(FormatStrings(justBelow + "%1:s", args), justBelow + "x");
    EXPECT_EQ(FormatStrings(justBelow + "%1:sy", args), justBelow + "x") << "the byte after the bound goes";

    // Padding counts like text, and a malformed tail far behind the bound is still refused.
    const auto padded = FormatStrings("%4000s%-4000s|", args);
    ASSERT_TRUE(padded.has_value());
    EXPECT_EQ(*padded, std::string(MaxFormattedText, ' '));
    EXPECT_EQ(FormatStrings(repeated + "%d", args), std::nullopt);
    EXPECT_EQ(FormatStrings(std::string(3 * MaxFormattedText, '%') + "%", args), std::nullopt);
    EXPECT_EQ(FormatStrings(std::string(3 * MaxFormattedText, 'b'), args), std::string(MaxFormattedText, 'b'));
}

using ListNumbering = ListDocTest;

TEST_F(ListNumbering, HugeCountersMakeBoundedMarkerTexts)
{
    std::string format;
    for (int k = 0; k < 50; ++k)
        format += "%0:s%1:s";
    const int list = AddList({rvlstUpperRoman, rvlstLowerRoman}, format);
    Sheet.ListStyles[list].Levels[0].StartFrom = INT_MAX;
    TRVMarkerItemInfo& top = AddPara(list, 0);
    TRVMarkerItemInfo& inner = AddPara(Doc, Marker(list, 1, true, INT_MAX));
    EXPECT_EQ(top.Counter, INT_MAX);
    EXPECT_EQ(top.DisplayText.size(), std::size_t(50 * 10)) << "ten digits for each of the fifty numbers";
    EXPECT_EQ(top.DisplayText.substr(0, 10), "2147483647");

    // Two numbers of ten digits, a hundred times, is more than one template yields.
    ASSERT_EQ(inner.Counter, INT_MAX);
    EXPECT_EQ(inner.DisplayText.size(), MaxFormattedText);
    EXPECT_EQ(inner.DisplayText.substr(0, 20), "21474836472147483647");

    // The next marker wraps around to the smallest counter rather than overflowing.
    TRVMarkerItemInfo& wrapped = AddPara(list, 1);
    EXPECT_EQ(wrapped.Counter, INT_MIN);
    EXPECT_EQ(wrapped.DisplayText.substr(0, 11), "2147483647?");

    // A malformed template is shown as it stands, cut the same way.
    const int broken = AddList({rvlstDecimal}, std::string(4000, 'z') + "%d");
    EXPECT_EQ(AddPara(broken).DisplayText, std::string(MaxFormattedText, 'z'));
    const int bullets = AddList({rvlstBullet}, std::string(4000, 'l') + "%q");
    EXPECT_EQ(AddPara(bullets).DisplayText, std::string(MaxFormattedText, 'l'));
}

TEST_F(ListNumbering, DecimalListAndReset)
{
    const int list = AddList({rvlstDecimal});
    AddPara(list);
    TRVMarkerItemInfo& second = AddPara(list);
    AddPara(list);
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3."}));

    second.Reset = true;
    second.StartFrom = 5;
    RenumberFrom(Doc, 1);
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "5.", "6."}));
}

TEST_F(ListNumbering, LevelResetRestartsInnerLevel)
{
    const int list = AddList({rvlstDecimal, rvlstLowerAlpha}, "%1:s)");
    for (int level : {0, 1, 1, 0, 1})
        AddPara(list, level);
    EXPECT_EQ(Counters(Doc), (Ints{1, 1, 2, 2, 1}));
    EXPECT_EQ(Texts(Doc)[4], "a)");

    Sheet.ListStyles[list].Levels[1].Options = {rvloContinuous};
    RenumberFrom(Doc, 0);
    EXPECT_EQ(Counters(Doc), (Ints{1, 1, 2, 2, 3})) << "without the reset the inner level counts on";
}

TEST_F(ListNumbering, OuterItemAfterOnlyInnerItemsCountsThemAsOne)
{
    const int list = AddList({rvlstDecimal, rvlstDecimal});
    Sheet.ListStyles[list].Levels[0].StartFrom = 5;
    for (int level : {1, 1, 0, 0})
        AddPara(list, level);
    EXPECT_EQ(Counters(Doc), (Ints{1, 2, 6, 7}));
}

TEST_F(ListNumbering, TemplatesShowOuterLevels)
{
    const int list = AddList({rvlstDecimal, rvlstDecimal, rvlstLowerRoman}, "%0:s.%1:s.%2:s");
    Sheet.ListStyles[list].Levels[1].StartFrom = 3;
    AddPara(list, 2); // no outer item yet: outer levels show their StartFrom
    AddPara(list, 0);
    AddPara(list, 1);
    AddPara(list, 1);
    AddPara(list, 0);
    AddPara(list, 2); // level 1 skipped: it shows its StartFrom
    EXPECT_EQ(Texts(Doc), (Strings{"1.3.i", "2..", "2.3.", "2.4.", "3..", "3.3.i"}));

    const int twoLevels = AddList({rvlstDecimal, rvlstDecimal}, "%0:s.%1:s.");
    Doc.Clear();
    AddPara(twoLevels, 0);
    AddPara(twoLevels, 1);
    AddPara(twoLevels, 1);
    EXPECT_EQ(Texts(Doc), (Strings{"1..", "1.1.", "1.2."}));
}

TEST_F(ListNumbering, LegalStyleWritesOuterLevelsInDecimal)
{
    const int list = AddList({rvlstUpperRoman, rvlstLowerAlpha}, "%0:s.%1:s");
    AddPara(list, 0);
    AddPara(list, 0);
    AddPara(list, 1);
    EXPECT_EQ(Texts(Doc)[2], "II.a");

    Sheet.ListStyles[list].Levels[1].Options.Include(rvloLegalStyleNumbering);
    RenumberAll(Doc);
    EXPECT_EQ(Texts(Doc), (Strings{"I.", "II.", "2.a"})) << "only the outer levels turn decimal";
}

TEST_F(ListNumbering, BulletsAndKindsWithoutText)
{
    const int bullet = AddList({rvlstBullet}, "%s\xB7%0:s");
    const int broken = AddList({rvlstBullet}, "%d\xB7");
    const int picture = AddList({rvlstPicture});
    const int unicode = AddList({rvlstUnicodeBullet});
    for (int list : {bullet, broken, picture, unicode})
        AddPara(list);
    EXPECT_EQ(Texts(Doc), (Strings{"\xB7", "%d\xB7", "", ""}));
}

TEST_F(ListNumbering, MarkersWithoutUsableListShowNothing)
{
    const int list = AddList({rvlstDecimal});
    Sheet.ListStyles.Add(); // a list without levels
    for (int listNo : {-1, list + 1, list + 7, list})
        AddPara(listNo);
    EXPECT_EQ(Counters(Doc), (Ints{0, 0, 0, 1}));
    EXPECT_EQ(Texts(Doc), (Strings{"", "", "", "1."}));
}

TEST_F(ListNumbering, LevelsBeyondTheListCountAsTheLastLevel)
{
    const int list = AddList({rvlstDecimal, rvlstDecimal}, "%0:s-%1:s");
    const int other = AddList({rvlstDecimal});
    AddPara(list, 0);
    AddPara(list, 1);
    AddPara(other, 0); // another list does not interrupt
    AddPara(list, 9);
    EXPECT_EQ(Texts(Doc), (Strings{"1-", "1-1", "1.", "1-2"}));
}

TEST_F(ListNumbering, RemovingAndInsertingMarkersRenumbers)
{
    const int list = AddList({rvlstDecimal});
    for (int k = 0; k < 4; ++k)
        AddPara(list);
    Doc.RemoveItems(2, 2); // the second paragraph
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3."}));

    auto marker = Marker(list, 0);
    TRVMarkerItemInfo& inserted = *marker;
    Doc.InsertItemAt(2, {}, std::move(marker));
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3.", "4."}));
    EXPECT_EQ(Doc.Markers()[1], &inserted);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Doc.Markers()[std::size_t(k)]->PosInList, k);

    TRVItemEntry taken = Doc.ExtractItem(0);
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3."}));
    Doc.InsertItemAt(Doc.Count(), {}, std::move(taken.Item));
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3.", "4."}));

    Doc.Clear();
    EXPECT_TRUE(Doc.Markers().empty());
}

// Markers put in and taken out at random places number exactly as a document built at once.
TEST_F(ListNumbering, IncrementalNumberingMatchesFullRenumbering)
{
    const int lists[] = {AddList({rvlstDecimal, rvlstUpperAlpha, rvlstLowerRoman}, "%0:s.%1:s.%2:s"),
                         AddList({rvlstUpperRoman, rvlstDecimal}, "%0:s/%1:s")};
    Sheet.ListStyles[lists[0]].Levels[2].Options = {};
    Sheet.ListStyles[lists[1]].Levels[1].Options.Include(rvloLegalStyleNumbering);
    std::uint32_t seed = 12345;
    const auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % std::uint32_t(n));
    };
    for (int step = 0; step < 300; ++step) {
        if (Doc.Count() > 0 && next(4) == 0) {
            Doc.RemoveItems(next(Doc.Count()), 1);
        } else {
            auto marker = Marker(lists[next(2)], next(3), next(6) == 0, next(5));
            Doc.InsertItemAt(next(Doc.Count() + 1), {}, std::move(marker));
        }
    }
    ASSERT_GT(Doc.Markers().size(), 50u);
    const Strings incremental = Texts(Doc);
    for (TRVMarkerItemInfo* m : Doc.Markers()) {
        m->Counter = -99;
        m->DisplayText = "stale";
    }
    RenumberAll(Doc);
    EXPECT_EQ(Texts(Doc), incremental);
}

TEST_F(ListNumbering, PurgedListsRenumberMarkers)
{
    const int first = AddList({rvlstDecimal});
    const int gone = AddList({rvlstUpperAlpha});
    const int last = AddList({rvlstLowerRoman});
    AddPara(last);
    AddPara(first);
    AddPara(last);

    TRVStyleUsage usage;
    usage.List.assign(3, false);
    for (int i = 0; i < Doc.Count(); ++i)
        Doc.ItemAt(i).MarkStylesInUse(usage);
    EXPECT_EQ(usage.List, (std::vector<bool>{true, false, true}));

    TRVStyleRenumbering map;
    map.List = {0, -1, 1};
    Sheet.ListStyles.Delete(gone);
    auto orphan = Marker(gone, 0);
    TRVMarkerItemInfo& removedList = *orphan;
    Doc.InsertItemAt(0, {}, std::move(orphan));
    for (int i = 0; i < Doc.Count(); ++i)
        Doc.ItemAt(i).UpdateStyles(map);
    RenumberAll(Doc);
    EXPECT_EQ(removedList.ListNo, -1);
    EXPECT_EQ(Texts(Doc), (Strings{"", "i.", "1.", "ii."}));
}

} // namespace
} // namespace xq::test

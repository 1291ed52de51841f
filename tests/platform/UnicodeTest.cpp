// Tests of the character classes below the document: combining marks and the clusters they form.
#include "platform/Unicode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace xq {
namespace {

std::string Hex(char32_t c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

TEST(CombiningMarks, TheCombiningBlocksAreMarksWholeAndTheirNeighboursAreNot)
{
    // The blocks of combining diacritical marks, first and last code point, and the code point
    // on either side.
    const char32_t blocks[][2] = {
        {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F},
    };
    for (const auto& [first, last] : blocks) {
        EXPECT_TRUE(IsCombiningMark(first)) << Hex(first);
        EXPECT_TRUE(IsCombiningMark(last)) << Hex(last);
        EXPECT_TRUE(IsCombiningMark((first + last) / 2)) << Hex(first);
    }
    const char32_t neighbours[] = {0x02FF, 0x0370, 0x1AAF, 0x1DBF, 0x20CF, 0x2100, 0xFE1F, 0xFE30};
    for (const char32_t c : neighbours)
        EXPECT_FALSE(IsCombiningMark(c)) << Hex(c);
}

TEST(CombiningMarks, NonSpacingAndEnclosingMarksOfOtherScriptsCountSpacingOnesDoNot)
{
    // Cyrillic titlo and the enclosing hundred thousands sign, Hebrew points, Arabic harakat,
    // Devanagari virama and nukta, Thai vowel marks, the enclosing circle, variation selectors.
    // Beyond the BMP: Brahmi and musical symbol marks, and the supplementary variation selectors.
    const char32_t marks[] = {0x0483, 0x0488, 0x0489, 0x0591, 0x05BD, 0x05BF, 0x064B, 0x094D, 0x093C, 0x0E31,
                              0x20DD, 0xFE00, 0xFE0F, 0x11001, 0x1D167, 0x1D169, 0xE0100, 0xE01EF};
    for (const char32_t c : marks)
        EXPECT_TRUE(IsCombiningMark(c)) << Hex(c);
    // Letters, the spacing accents, the Hebrew maqaf, the Devanagari vowel sign AA (a spacing
    // mark, Mc), an emoji and an unassigned code point after the variation selectors.
    const char32_t others[] = {U'e', 0x00E9, 0x00B4, 0x02C6, 0x05BE, 0x093E, 0x3042, 0x1F600, 0xE01F0};
    for (const char32_t c : others)
        EXPECT_FALSE(IsCombiningMark(c)) << Hex(c);
}

TEST(Clusters, ACharacterTakesTheMarksAfterItAndNothingElse)
{
    const std::u16string text = u"Cafe\u0301 na\u0308\u0323ive";
    EXPECT_EQ(ClusterEnd(text, 0), 1u);
    EXPECT_EQ(ClusterEnd(text, 3), 5u) << "e with its acute";
    EXPECT_EQ(ClusterEnd(text, 4), 5u) << "the mark on its own";
    EXPECT_EQ(ClusterEnd(text, 5), 6u) << "a space takes no mark after a mark";
    EXPECT_EQ(ClusterEnd(text, 7), 10u) << "two marks";
    EXPECT_EQ(ClusterEnd(text, text.size()), text.size());
    EXPECT_EQ(ClusterEnd(u"", 0), 0u);
}

TEST(Clusters, SurrogatePairsAreOneCharacterAndCanBeMarks)
{
    // U+1F600 with a combining acute, then "a" with the Brahmi mark U+11001 (a pair).
    const std::u16string text = u"\U0001F600\u0301a\U00011001b";
    ASSERT_EQ(text.size(), 7u);
    EXPECT_EQ(ClusterEnd(text, 0), 3u);
    EXPECT_EQ(ClusterEnd(text, 3), 6u);
    EXPECT_EQ(ClusterEnd(text, 6), 7u);
    // Lone halves are clusters of one unit and take no marks.
    EXPECT_EQ(ClusterEnd(u"\xD83D\u0301", 0), 1u);
    EXPECT_EQ(ClusterEnd(u"\xDE00\u0301", 0), 1u);
}

} // namespace
} // namespace xq

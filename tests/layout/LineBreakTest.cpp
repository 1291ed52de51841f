// Line breaking: the classes of typical characters, the pair table and the break searches.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "layout/LineBreak.h"

namespace xq {
namespace {

TEST(LineBreakClass, TypicalCharacters)
{
    const struct {
        char16_t Unit;
        TRVLineBreakClass Class;
    } cases[] = {
        {u'a', lbAL},      {u'Z', lbAL},      {u'\u00E4', lbAL}, {u'7', lbNU},      {u'(', lbOP},
        {u')', lbCL},      {u'!', lbEX},      {u'?', lbEX},      {u'-', lbHY},      {u'/', lbSY},
        {u',', lbIS},      {u'.', lbIS},      {u'$', lbPR},      {u'%', lbPO},      {u'"', lbQU},
        {u'\u00AB', lbQU}, {u'\u2019', lbQU}, {u'\u00AD', lbBA}, {u'\u2014', lbB2}, {u'\u2026', lbIN},
        {u'\u20AC', lbPR}, {u'\u00A0', lbGL}, {u'\u202F', lbGL}, {u'\u2060', lbGL}, {u'\uFEFF', lbGL},
        {u'\u200B', lbZW}, {u'\u0301', lbCM}, {u'\u200D', lbCM}, {u'\u3042', lbID}, {u'\u30A2', lbID},
        {u'\u4E00', lbID}, {u'\uAC00', lbID}, {u'\u3041', lbNS}, {u'\u30C3', lbNS}, {u'\u3002', lbCL},
        {u'\u300C', lbOP}, {u'\u300D', lbCL}, {u'\uFF08', lbOP}, {u'\uFF09', lbCL}, {u'\uFE35', lbOP},
        {u'\uFE36', lbCL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineBreakClassOf(c.Unit), c.Class) << std::hex << "U+" << static_cast<int>(c.Unit);
}

TEST(LineBreakClass, EdgesOfTheRanges)
{
    EXPECT_EQ(LineBreakClassOf(u'\u0000'), lbCM) << "control characters combine";
    EXPECT_EQ(LineBreakClassOf(u'\u036F'), lbCM);
    EXPECT_EQ(LineBreakClassOf(u'\u0370'), lbAL) << "first Greek letter after the combining marks";
    EXPECT_EQ(LineBreakClassOf(u'\u9FFF'), lbID);
    EXPECT_EQ(LineBreakClassOf(u'\uD7A3'), lbID) << "last hangul syllable";
    EXPECT_EQ(LineBreakClassOf(u'\uD7A4'), lbAL);
    EXPECT_EQ(LineBreakClassOf(static_cast<char16_t>(0xD83D)), lbAL) << "surrogates";
    EXPECT_EQ(LineBreakClassOf(u'\uFFFF'), lbAL) << "beyond the last range";
}

TEST(LineBreakPair, CellsOfTheTable)
{
    EXPECT_EQ(LineBreakPairOf(lbOP, lbAL), lbpForbidden);
    EXPECT_EQ(LineBreakPairOf(lbCL, lbOP), lbpAllowed);
    EXPECT_EQ(LineBreakPairOf(lbCL, lbNS), lbpForbidden);
    EXPECT_EQ(LineBreakPairOf(lbAL, lbAL), lbpWithSpace);
    EXPECT_EQ(LineBreakPairOf(lbAL, lbID), lbpAllowed);
    EXPECT_EQ(LineBreakPairOf(lbAL, lbHY), lbpWithSpace);
    EXPECT_EQ(LineBreakPairOf(lbHY, lbAL), lbpAllowed);
    EXPECT_EQ(LineBreakPairOf(lbID, lbID), lbpAllowed);
    EXPECT_EQ(LineBreakPairOf(lbID, lbPO), lbpWithSpace);
    EXPECT_EQ(LineBreakPairOf(lbPR, lbNU), lbpWithSpace);
    EXPECT_EQ(LineBreakPairOf(lbNU, lbIS), lbpForbidden);
    EXPECT_EQ(LineBreakPairOf(lbB2, lbB2), lbpForbidden);
    EXPECT_EQ(LineBreakPairOf(lbB2, lbBB), lbpAllowed);
    EXPECT_EQ(LineBreakPairOf(lbZW, lbCL), lbpAllowed);
}

TEST(LineBreakPair, ColumnsThatHoldForEveryRow)
{
    for (int row = 0; row < LineBreakClassCount; ++row) {
        const auto before = static_cast<TRVLineBreakClass>(row);
        EXPECT_EQ(LineBreakPairOf(before, lbZW), lbpForbidden) << "row " << row;
        EXPECT_EQ(LineBreakPairOf(before, lbCM), lbpWithSpace) << "row " << row;
        if (before == lbZW)
            continue;
        for (TRVLineBreakClass closing : {lbCL, lbEX, lbSY, lbIS})
            EXPECT_EQ(LineBreakPairOf(before, closing), lbpForbidden) << "row " << row << ", column " << int(closing);
    }
}

TEST(LineBreakUnicode, WordsBreakAfterSpaces)
{
    const std::u16string_view text = u"Der Hund l\u00E4uft schnell";
    EXPECT_EQ(FindUnicodeBreak(text, 17), 15) << "inside \"schnell\": the line ends before it";
    EXPECT_EQ(FindUnicodeBreak(text, 9), 9) << "the first non-fitting character may itself start the next line";
    EXPECT_EQ(FindUnicodeBreak(text, 14), 9) << "a space in the candidate position: the search starts one earlier";
    EXPECT_EQ(FindUnicodeBreak(u"ab   cd", 6), 5) << "after all the spaces";
    EXPECT_EQ(FindUnicodeBreak(u"Donaudampfschifffahrt", 10), -1) << "a word longer than the line";
    EXPECT_EQ(FindUnicodeBreak(u"   Donau", 5), -1) << "spaces alone do not make a line";
    EXPECT_EQ(FindUnicodeBreak(u"Haus", -1), -1);
}

TEST(LineBreakUnicode, HyphensAndClosingPunctuation)
{
    EXPECT_EQ(FindUnicodeBreak(u"Haus-T\u00FCr", 6), 5) << "after the hyphen";
    EXPECT_EQ(FindUnicodeBreak(u"Haus-T\u00FCr", 4), -1) << "never before it";
    EXPECT_EQ(FindUnicodeBreak(u"die Haus-T\u00FCr", 8), 4);
    EXPECT_EQ(FindUnicodeBreak(u"Hallo Welt!", 10), 6) << "\"!\" stays with its word";
    EXPECT_EQ(FindUnicodeBreak(u"(siehe oben)", 11), 7) << "so does \")\"";
    EXPECT_EQ(FindUnicodeBreak(u"(siehe", 1), -1) << "nothing after an opening bracket";
    EXPECT_EQ(FindUnicodeBreak(u"Achtung !", 8), -1) << "not before \"!\" even across a space";
    EXPECT_EQ(FindUnicodeBreak(u"Ende. Anfang", 9), 6);
}

TEST(LineBreakUnicode, CjkAndKana)
{
    EXPECT_EQ(FindUnicodeBreak(u"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0", 3), 3) << "between any two ideographs";
    EXPECT_EQ(FindUnicodeBreak(u"\u6587\u3002\u6587", 1), -1) << "the ideographic full stop stays on the line";
    EXPECT_EQ(FindUnicodeBreak(u"\u6587\u3002\u6587", 2), 2);
    const std::u16string_view chotto = u"\u3061\u3087\u3063\u3068";   // small kana in the middle
    EXPECT_EQ(FindUnicodeBreak(chotto, 2), -1) << "no line starts with a small kana";
    EXPECT_EQ(FindUnicodeBreak(chotto, 3), 3);
    EXPECT_EQ(FindUnicodeBreak(u"abc\u6587", 3), 3) << "Latin before an ideograph";
}

TEST(LineBreakUnicode, CharactersThatHoldTogether)
{
    EXPECT_EQ(FindUnicodeBreak(u"10\u00A0km", 4), -1) << "a non-breaking space is no space";
    EXPECT_EQ(FindUnicodeBreak(u"siehe Nr.\u00A042", 11), 6);
    EXPECT_EQ(FindUnicodeBreak(u"Silben\u200Btrennung", 9), 7) << "after a zero-width space";
    EXPECT_EQ(FindUnicodeBreak(u"Silben\u200Btrennung", 6), -1) << "but not before it";
    EXPECT_EQ(FindUnicodeBreak(u"Cafe\u0301", 4), -1) << "a combining mark stays with its letter";
    EXPECT_EQ(FindUnicodeBreak(u"ab\U0001F600\U0001F600", 3), -1) << "a surrogate pair is never split";
}

TEST(LineBreakAnsi, OnlyAfterSpaces)
{
    const std::string_view text = "Der Hund bellt";
    EXPECT_EQ(FindAnsiBreak(text, 11), 9);
    EXPECT_EQ(FindAnsiBreak(text, 8), 9) << "a space in the first non-fitting position ends the line";
    EXPECT_EQ(FindAnsiBreak(text, 7), 4);
    EXPECT_EQ(FindAnsiBreak("Wort ", 4), 5) << "a trailing space";
    EXPECT_EQ(FindAnsiBreak(" Wort", 3), 1);
    EXPECT_EQ(FindAnsiBreak("Haus-T\xFCr", 6), -1) << "8-bit text does not break at hyphens";
    EXPECT_EQ(FindAnsiBreak(text, static_cast<int>(text.size())), -1);
}

} // namespace
} // namespace xq

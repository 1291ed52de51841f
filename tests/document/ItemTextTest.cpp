#include "document/ItemText.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace xq {
namespace {

TEST(ItemText, ReadsUnicodeTextByUnitsAndFindsPairs)
{
    // "a", U+1F600 (a pair), "b"
    const std::string bytes = BytesFromUtf16(u"a\U0001F600b");
    const TRVItemText text(bytes, true);
    ASSERT_EQ(text.Length(), 4);
    EXPECT_EQ(text.UnitAt(0), u'a');
    EXPECT_EQ(text.UnitAt(1), char16_t(0xD83D));
    EXPECT_FALSE(text.PairAt(0));
    EXPECT_TRUE(text.PairAt(1));
    EXPECT_FALSE(text.PairAt(2)) << "a low surrogate starts no pair";
    EXPECT_TRUE(text.PairEndsAt(2));
    EXPECT_FALSE(text.PairAt(3)) << "no unit after the last";
    EXPECT_EQ(CodePointOf(text.UnitAt(1), text.UnitAt(2)), U'\U0001F600');
    EXPECT_EQ(text.Utf16(1252), u"a\U0001F600b");
}

TEST(ItemText, ReadsEightBitTextByBytesAndConvertsFromItsCodePage)
{
    const std::string bytes = "\xE4x";
    const TRVItemText text(bytes, false);
    ASSERT_EQ(text.Length(), 2);
    EXPECT_EQ(text.UnitAt(0), char16_t(0xE4));
    EXPECT_FALSE(text.PairAt(0));
    EXPECT_EQ(text.Utf16(1252), u"\u00E4x");
    EXPECT_EQ(text.Utf16(850), u"\u00F5x") << "0xE4 is o with tilde in code page 850";
}

TEST(ItemText, AnOddLastByteOfUnicodeTextIsNoCharacter)
{
    const std::string bytes("a\0b", 3);
    const TRVItemText text(bytes, true);
    EXPECT_EQ(text.Length(), 1);
    EXPECT_EQ(text.Utf16(1252), u"a");
    EXPECT_TRUE(TRVItemText({}, true).Empty());
}

} // namespace
} // namespace xq

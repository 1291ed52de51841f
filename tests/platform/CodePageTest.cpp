// Tests of the code page module: charsets, single- and multi-byte conversions, byte forms and UTF-8.
#include "platform/CodePage.h"
#include "platform/DocViewError.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace xq {
namespace {

using namespace std::string_view_literals;

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

TEST(CodePageCharsetTest, MapsCharsetsToCodePages)
{
    EXPECT_EQ(CodePageOfCharset(1, 1250), 1250);  // DEFAULT_CHARSET takes the document's code page
    EXPECT_EQ(CodePageOfCharset(1, 0), 0);
    EXPECT_EQ(CodePageOfCharset(0, 1250), 1252);
    EXPECT_EQ(CodePageOfCharset(254, 0), 1252);
    EXPECT_EQ(CodePageOfCharset(255, 0), 1);  // OEM
    EXPECT_EQ(CodePageOfCharset(77, 0), 2);   // Mac
    EXPECT_EQ(CodePageOfCharset(128, 0), 932);
    EXPECT_EQ(CodePageOfCharset(130, 0), 1361);
    EXPECT_EQ(CodePageOfCharset(204, 0), 1251);
    EXPECT_EQ(CodePageOfCharset(238, 0), 1250);
    EXPECT_EQ(CodePageOfCharset(2, 1250), 0);  // SYMBOL_CHARSET and anything unknown
    EXPECT_EQ(CodePageOfCharset(999, 1250), 0);
}

TEST(CodePageCharsetTest, ResolvesPlaceholderCodePages)
{
    EXPECT_EQ(ResolveCodePage(0), 1252);
    EXPECT_EQ(ResolveCodePage(1), 850);
    EXPECT_EQ(ResolveCodePage(2), 10000);
    EXPECT_EQ(ResolveCodePage(1251), 1251);
}

TEST(CodePageSingleByteTest, GermanTextIn1252BothWays)
{
    const std::u16string text = u"\u00C4\u00D6\u00DC\u00E4\u00F6\u00FC\u00DF \u20AC\u201E\u201C";
    const std::string bytes = "\xC4\xD6\xDC\xE4\xF6\xFC\xDF \x80\x84\x93";
    EXPECT_EQ(AnsiToUnicode(bytes, 1252), text);
    EXPECT_EQ(UnicodeToAnsi(text, 1252), bytes);
    EXPECT_EQ(AnsiToUnicode(bytes, 0), text);  // the system ANSI code page
    EXPECT_EQ(UnicodeToAnsi(text, 0), bytes);
}

TEST(CodePageSingleByteTest, OtherPages)
{
    EXPECT_EQ(UnicodeToAnsi(u"\u0141\u00F3d\u017A", 1250), "\xA3\xF3" "d\x9F");
    EXPECT_EQ(AnsiToUnicode("\xA3\xF3" "d\x9F", 1250), u"\u0141\u00F3d\u017A");
    EXPECT_EQ(UnicodeToAnsi(u"\u041F\u0440\u0438\u0432\u0435\u0442", 1251), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(AnsiToUnicode("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), u"\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(AnsiToUnicode("\x84\x81\xE1", 1), u"\u00E4\u00FC\u00DF");   // OEM 850
    EXPECT_EQ(AnsiToUnicode("\x8A\xC6\xF0", 2), u"\u00E4\u2206\uF8FF");   // Mac Roman
}

TEST(CodePageSingleByteTest, ControlAndUndefinedBytes)
{
    std::string controls;
    std::u16string expected;
    for (int b = 0; b < 0x20; ++b) {
        controls.push_back(static_cast<char>(b));
        expected.push_back(static_cast<char16_t>(b));
    }
    EXPECT_EQ(AnsiToUnicode(controls, 1252), expected);
    EXPECT_EQ(AnsiToUnicode(controls, 850), expected);

    EXPECT_EQ(AnsiToUnicode("\x81\x8D\x8F\x90\x9D", 1252), u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(UnicodeToAnsi(u"\u0081\u009D", 1252), "\x81\x9D");
}

TEST(CodePageSingleByteTest, EveryByteSurvivesARoundTrip)
{
    const std::string bytes = AllBytes();
    for (int codePage : {437, 850, 852, 866, 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 10000}) {
        std::u16string text = AnsiToUnicode(bytes, codePage);
        ASSERT_EQ(text.size(), 256u) << codePage;
        EXPECT_EQ(UnicodeToAnsi(text, codePage), bytes) << codePage;
    }
}

TEST(CodePageUnmappableTest, BecomeQuestionMarks)
{
    EXPECT_EQ(UnicodeToAnsi(u"a\u0141\u65E5b", 1252), "a??b");
    EXPECT_EQ(UnicodeToAnsi(u"\u20AC", 1251), "\x88");
    EXPECT_EQ(UnicodeToAnsi(u"\u20AC", 437), "?");
    EXPECT_EQ(UnicodeToAnsi(u"x\U0001F600y", 1252), "x?y");  // one '?' for the pair
    EXPECT_EQ(UnicodeToAnsi(u"x\xD800y\xDC00", 1252), "x?y?");   // lone surrogates
    EXPECT_EQ(UnicodeToAnsi(u"\u00A5", 932), "?");               // no best fit onto the backslash
}

TEST(CodePageCompositionTest, ComposesBaseAndMarkWhenThePageHasTheResult)
{
    EXPECT_EQ(UnicodeToAnsi(u"a\u0308", 1252), "\xE4");
    EXPECT_EQ(UnicodeToAnsi(u"Ma\u0308dchen A\u030A", 1252), "M\xE4" "dchen \xC5");
    EXPECT_EQ(UnicodeToAnsi(u"c\u0301", 1250), "\xE6");
    EXPECT_EQ(UnicodeToAnsi(u"\u0438\u0306", 1251), "\xE9");
    EXPECT_EQ(UnicodeToAnsi(u"\u0103\u0301", 1258), "\xE3\xEC");  // 1258 keeps the mark as its own byte
}

TEST(CodePageCompositionTest, DropsMarksThatCannotBeComposed)
{
    EXPECT_EQ(UnicodeToAnsi(u"c\u0301", 1252), "c");
    EXPECT_EQ(UnicodeToAnsi(u"a\u0308\u0301b", 1252), "\xE4" "b");
    EXPECT_EQ(UnicodeToAnsi(u"\u0301x", 1252), "x");
    EXPECT_EQ(UnicodeToAnsi(u"\u05D0\u05B0", 1252), "?");       // the letter is not a mark
    EXPECT_EQ(UnicodeToAnsi(u"\u05D0\u05B0", 1255), "\xE0\xC0");
    EXPECT_EQ(UnicodeToAnsi(u"\u65E5\u0301", 932), "\x93\xFA");
}

TEST(CodePageFallbackTest, UnsupportedPagesUseTheAnsiPage)
{
    EXPECT_FALSE(IsCodePageSupported(12345));
    EXPECT_TRUE(IsCodePageSupported(932));
    EXPECT_TRUE(IsCodePageSupported(0));
    EXPECT_EQ(AnsiToUnicode("\xE4\x80", 12345), u"\u00E4\u20AC");
    EXPECT_EQ(UnicodeToAnsi(u"\u00E4\u20AC\u0141", 12345), "\xE4\x80?");
    EXPECT_EQ(AnsiToUnicode("\xC3\xA4", 65001), u"\u00E4");  // UTF-8 is a code page too
}

TEST(CodePageMultiByteTest, RoundTripsThroughIconv)
{
    const std::u16string japanese = u"\u65E5\u672C\u8A9E a\\b \uFF71";
    const std::string shiftJis = "\x93\xFA\x96\x7B\x8C\xEA a\\b \xB1";
    EXPECT_EQ(UnicodeToAnsi(japanese, 932), shiftJis);
    EXPECT_EQ(AnsiToUnicode(shiftJis, 932), japanese);

    EXPECT_EQ(UnicodeToAnsi(u"\u4E2D\u6587", 936), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(AnsiToUnicode("\xA4\xA4\xA4\xE5", 950), u"\u4E2D\u6587");
    EXPECT_EQ(AnsiToUnicode("\xC7\xD1\xB1\xB9", 949), u"\uD55C\uAD6D");
    EXPECT_EQ(UnicodeToAnsi(u"\uD55C\\", 1361), "\xD0\x65\\");
    EXPECT_EQ(AnsiToUnicode("\xD0\x65\\", 1361), u"\uD55C\\");
}

TEST(CodePageMultiByteTest, InvalidInputGivesOneQuestionMarkPerByte)
{
    EXPECT_EQ(AnsiToUnicode("a\x81", 932), u"a?");          // cut off after the lead byte
    EXPECT_EQ(AnsiToUnicode("\x81\x20" "b", 932), u"? b");  // no valid trail byte
    EXPECT_EQ(AnsiToUnicode("\xA0\x93\xFA", 932), u"?\u65E5");
    EXPECT_EQ(AnsiToUnicode("\x80\x80", 949), u"??");
    EXPECT_EQ(AnsiToUnicode("", 932), u"");
}

TEST(CodePageMultiByteTest, LeadBytes)
{
    EXPECT_TRUE(IsLeadByte(932, 0x93));
    EXPECT_FALSE(IsLeadByte(932, 0xB1));  // half-width katakana stand alone
    EXPECT_TRUE(IsLeadByte(936, 0xD6));
    EXPECT_FALSE(IsLeadByte(1252, 0x93));
}

TEST(CodePageUnicodeBytesTest, ConvertsLittleEndianBytes)
{
    EXPECT_EQ(Utf16FromBytes("a\0\xE4\0\xAC\x20"sv), u"a\u00E4\u20AC");
    EXPECT_EQ(BytesFromUtf16(u"a\u00E4\u20AC"), "a\0\xE4\0\xAC\x20"sv);
    EXPECT_EQ(AnsiToUnicodeBytes("\xE4\x80", 1252), "\xE4\0\xAC\x20"sv);
    EXPECT_EQ(UnicodeBytesToAnsi("\xE4\0\xAC\x20"sv, 1252), "\xE4\x80");
}

TEST(CodePageUnicodeBytesTest, OddLengthThrows)
{
    for (auto call : {+[] { (void)Utf16FromBytes("abc"); }, +[] { (void)UnicodeBytesToAnsi("abc", 1252); }}) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const EDocViewError& e) {
            EXPECT_STREQ(e.what(), "Can't perform Unicode operation");
        }
    }
}

TEST(CodePageUtf8Test, EncodesAndReplacesLoneSurrogates)
{
    EXPECT_EQ(Utf16ToUtf8(u"Gr\u00FC\u00DFe \u20AC"), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800" "b\xDC00"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80"), u"Gr\u00FC\u00DFe \u20AC \U0001F600");
}

TEST(CodePageUtf8Test, InvalidSequencesBecomeReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");                       // cut off at the end
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82x"), u"\uFFFDx");                   // one for the incomplete prefix
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");               // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");     // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
    EXPECT_EQ(Utf8ToUtf16("\x80z\xFF"), u"\uFFFDz\uFFFD");
}

} // namespace
} // namespace xq

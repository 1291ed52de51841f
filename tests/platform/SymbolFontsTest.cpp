// Tests of the symbol font tables: bullets and Greek letters as Unicode, in byte and private-use form.
#include "platform/SymbolFonts.h"

#include <gtest/gtest.h>

namespace xq {
namespace {

TEST(SymbolFonts, RecognisedByName)
{
    EXPECT_EQ(SymbolFontOf("Wingdings"), sfWingdings);
    EXPECT_EQ(SymbolFontOf("WINGDINGS"), sfWingdings);
    EXPECT_EQ(SymbolFontOf("symbol"), sfSymbol);
    EXPECT_EQ(SymbolFontOf("Webdings"), sfWebdings);
    EXPECT_EQ(SymbolFontOf("Wingdings 2"), sfNone);
    EXPECT_EQ(SymbolFontOf("Arial"), sfNone);
}

TEST(SymbolFonts, ListBulletsAndMarks)
{
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0x6C), U'\u25CF');
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0x6E), U'\u25A0');
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0x71), U'\u2751');
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0x76), U'\u2756');
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0xA7), U'\u25AA');
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0xD8), U'\u27A2');
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0xFC), U'\u2714');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, 0xB7), U'\u2022');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, 0xBF), U'\u21B5');
    EXPECT_EQ(SymbolToUnicode(sfWebdings, 0x34), U'\u25B6');
    // Unicode text in these fonts carries the codes in the private-use area.
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0xF06C), U'\u25CF');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, 0xF0B7), U'\u2022');
}

TEST(SymbolFonts, SymbolFontGreekAndPunctuation)
{
    EXPECT_EQ(SymbolToUnicode(sfSymbol, 'a'), U'\u03B1');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, 'W'), U'\u03A9');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, 'p'), U'\u03C0');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, '7'), U'7');
    EXPECT_EQ(SymbolToUnicode(sfSymbol, '('), U'(');
    // Every letter of the Symbol font is a Greek letter.
    for (char32_t c = 'A'; c <= 'Z'; ++c) {
        const char32_t upper = SymbolToUnicode(sfSymbol, c);
        const char32_t lower = SymbolToUnicode(sfSymbol, c + 32);
        EXPECT_TRUE(upper >= 0x0391 && upper <= 0x03D6) << static_cast<char>(c);
        EXPECT_TRUE(lower >= 0x0391 && lower <= 0x03D6) << static_cast<char>(c + 32);
        EXPECT_NE(upper, lower);
    }
}

TEST(SymbolFonts, UnmappedCodes)
{
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0x1F), 0U);
    EXPECT_EQ(SymbolToUnicode(sfWingdings, 0x100), 0U);
    EXPECT_EQ(SymbolToUnicode(sfWebdings, 0x7E), 0U);
    EXPECT_EQ(SymbolToUnicode(sfNone, 0x6C), 0U);
    EXPECT_EQ(SymbolTextToUnicode(sfWingdings, u"\x6C\xF0FC\x1F\xF0FF"), u"\u25CF\u2714\x1F\xFF");
    EXPECT_EQ(SymbolTextToUnicode(sfSymbol, u"a+b"), u"\u03B1+\u03B2");
}

} // namespace
} // namespace xq

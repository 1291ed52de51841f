// Special characters: the grid's codes, what a code becomes in the document and how it is shown,
// and the style that carries it.
#include "tools/SymbolInsertion.h"

#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "platform/FontTypes.h"
#include "tools/FormatCommands.h"

namespace xq {
namespace {

TEST(SymbolInsertion, TheGridCountsFrom32In28Columns)
{
    EXPECT_EQ(SymbolGridRows(SYMBOL_CHARSET), 8);
    EXPECT_EQ(SymbolGridRows(SymbolUnicodeCharset), 2340);
    EXPECT_EQ(SymbolGridCode(0, 0), U' ');
    EXPECT_EQ(SymbolGridCode(7, 27), 255u) << "the last 8-bit cell";
    EXPECT_EQ(SymbolGridCode(2339, 0), 65524u);
    EXPECT_EQ(SymbolGridCode(2339, 27), 65551u);
    EXPECT_TRUE(SymbolCodeInsertable(0xFFFF));
    EXPECT_FALSE(SymbolCodeInsertable(0x10000)) << "one UTF-16 unit only";
    EXPECT_EQ(SymbolCharsetName(SymbolUnicodeCharset), "Unicode");
    EXPECT_EQ(SymbolCharsetName(EASTEUROPE_CHARSET), CentralEuropeanCharsetName);
    EXPECT_TRUE(SymbolCharsetName(99).empty());
}

TEST(SymbolInsertion, TheDocumentGetsWhatTheGridShows)
{
    // A symbol font keeps its code; drawing maps it, so the grid maps it the same way.
    EXPECT_EQ(SymbolDocumentChar("Wingdings", SYMBOL_CHARSET, 0x6C), u'\x6C');
    EXPECT_EQ(SymbolShownChar("Wingdings", u'\x6C'), U'\x25CF');
    EXPECT_EQ(SymbolShownChar("wingdings", u'\xF06C'), U'\x25CF') << "the private-use form and any case";
    // In an 8-bit character set a byte is the character of its code page.
    EXPECT_EQ(SymbolDocumentChar("Arial", EASTEUROPE_CHARSET, 0xB9), u'\x0105');
    EXPECT_EQ(SymbolDocumentChar("Arial", RUSSIAN_CHARSET, 0xC0), u'\x0410');
    EXPECT_EQ(SymbolDocumentChar("Arial", ANSI_CHARSET, 0x80), u'\x20AC');
    EXPECT_EQ(SymbolShownChar("Arial", u'\x20AC'), U'\x20AC');
    // Unicode mode and the symbol character set take the code itself.
    EXPECT_EQ(SymbolDocumentChar("Arial", SymbolUnicodeCharset, 0x2022), u'\x2022');
    EXPECT_EQ(SymbolDocumentChar("Arial", SYMBOL_CHARSET, 0xB9), u'\xB9');
    EXPECT_EQ(SymbolDocumentChar("Arial", SymbolUnicodeCharset, 0x10000), u'\0');
}

TEST(SymbolInsertion, TheSymbolStyleIsFoundAgainAndLeavesItsBaseAlone)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    const int count = sheet.TextStyles.Count();
    const TFontInfo base = sheet.TextStyles[0];
    const int style = SymbolTextStyle(sheet, 0, "Wingdings", SYMBOL_CHARSET);
    ASSERT_EQ(style, count);
    const TFontInfo& symbol = sheet.TextStyles[style];
    EXPECT_EQ(symbol.FontName, "Wingdings");
    EXPECT_EQ(symbol.Charset, SYMBOL_CHARSET);
    EXPECT_TRUE(symbol.Unicode);
    EXPECT_TRUE(symbol.Protection.Contains(rvprDoNotAutoSwitch));
    EXPECT_FALSE(symbol.Standard);
    EXPECT_EQ(symbol.Size, base.Size);
    EXPECT_TRUE(sheet.TextStyles[0].EqualsStyle(base, false));
    EXPECT_EQ(SymbolTextStyle(sheet, 0, "Wingdings", SYMBOL_CHARSET), style) << "inserting twice reuses it";
    EXPECT_EQ(SymbolTextStyle(sheet, style, "Wingdings", SYMBOL_CHARSET), style) << "a symbol style is its own";
    EXPECT_EQ(SymbolTextStyle(sheet, 0, "Wingdings", SymbolUnicodeCharset), count + 1);
    EXPECT_EQ(SymbolTextStyle(sheet, 999, "Wingdings", SYMBOL_CHARSET), style) << "an invalid style counts as style 0";
}

} // namespace
} // namespace xq

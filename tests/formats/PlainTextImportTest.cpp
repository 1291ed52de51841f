// Reading plain text: line ends, tabs, page breaks, byte orders and detection of the file kind.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using namespace std::string_literals;
using test::DocDump;

/// UTF-16LE bytes of a UTF-16 string, optionally big-endian.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian = false)
{
    std::string bytes;
    for (char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF);
        const char high = static_cast<char>(c >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

class PlainTextImport : public ::testing::Test {
protected:
    PlainTextImport() { SetupMainWindowStyleSheet(Sheet); }

    /// A text style of its own: Unicode or not, in a charset.
    int AddStyle(bool unicode, std::uint8_t charset = DEFAULT_CHARSET)
    {
        TFontInfo& style = Sheet.TextStyles.Add();
        style.Unicode = unicode;
        style.Charset = charset;
        return Sheet.TextStyles.Count() - 1;
    }

    std::string Text8(std::string_view bytes, int styleNo = 0, int paraNo = 0, bool single = false)
    {
        EXPECT_TRUE(ImportText8(Doc, bytes, styleNo, paraNo, single));
        return DocDump(Doc);
    }

    std::string Utf16(std::string_view bytes, int styleNo = 0, int paraNo = 0, bool single = false)
    {
        EXPECT_TRUE(ImportTextUtf16(Doc, bytes, styleNo, paraNo, single));
        return DocDump(Doc);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(PlainTextImport, LineEndsAndEmptyLines)
{
    const struct {
        std::string_view Bytes;
        const char* Expected;
    } cases[] = {
        {"a\r\nb", R"([p0]"a" [p0]"b")"},
        {"a\n\rb", R"([p0]"a" [p0]"b")"},
        {"a\rb", R"([p0]"a" [p0]"b")"},
        {"a\r\n\r\nb", R"([p0]"a" [p0]"" [p0]"b")"},
        {"a\n\r\n\rb", R"([p0]"a" [p0]"" [p0]"b")"},
        {"a\r\rb", R"([p0]"a" [p0]"" [p0]"b")"},
        {"a\r\n\rb", R"([p0]"a" [p0]"" [p0]"b")"},
        {"a\r\n", R"([p0]"a" [p0]"")"},
        {"\n", R"([p0]"" [p0]"")"},
        {"", ""},
    };
    for (const auto& c : cases) {
        Doc.Clear();
        EXPECT_EQ(Text8(c.Bytes), c.Expected) << "input " << ::testing::PrintToString(std::string(c.Bytes));
    }
}

TEST_F(PlainTextImport, TextWithMoreLinesThanADocumentMayHoldIsRefusedWhole)
{
    // A file of nothing but line ends asks for one paragraph per byte: it is refused before a
    // single item is made, in both encodings, CR LF pairs counted once.
    Doc.AppendText("vorher", 0, 0);
    const std::string before = DocDump(Doc);
    std::string error;
    const std::string lineEnds(std::size_t(MaxDocumentItems), '\n');
    EXPECT_FALSE(ImportText8(Doc, lineEnds, 0, 0, false, &error));
    EXPECT_EQ(error, errTextTooLarge);
    EXPECT_EQ(DocDump(Doc), before);
    error.clear();
    EXPECT_FALSE(ImportTextUtf16(Doc, Utf16Bytes(std::u16string(std::size_t(MaxDocumentItems), u'\u2029')), 0, 0, false, &error));
    EXPECT_EQ(error, errTextTooLarge);
    EXPECT_EQ(Doc.Count(), 1);

    // A CR LF pair is one line end.
    Doc.Clear();
    std::string pairs;
    for (int k = 0; k < 1000; ++k)
        pairs += "\r\n";
    ASSERT_TRUE(ImportText8(Doc, pairs, 0, 0, false, &error));
    EXPECT_EQ(Doc.Count(), 1001);
}

TEST_F(PlainTextImport, TabsBecomeItemsOrSpacesBySpacesInTab)
{
    ASSERT_EQ(Sheet.SpacesInTab, 0);
    EXPECT_EQ(Text8("a\tb", 3), R"([p0]"a"s3 <-12> "b"s3)");
    const auto& tab = dynamic_cast<const TRVTabItemInfo&>(Doc.ItemAt(1));
    EXPECT_EQ(tab.TextStyleNo, 3);

    Doc.Clear();
    EXPECT_EQ(Text8("\t\tx\r\n\t"), R"([p0]<-12> <-12> "x" [p0]<-12>)") << "a tab may start a paragraph";

    Doc.Clear();
    Sheet.SpacesInTab = 3;
    EXPECT_EQ(Text8("a\tb\t"), R"([p0]"a   b   ")");
}

TEST_F(PlainTextImport, ZeroBytesLoadAsQuestionMarks)
{
    EXPECT_EQ(Text8("a\0b\0"s), R"([p0]"a?b?")");
    Doc.Clear();
    EXPECT_EQ(Utf16(Utf16Bytes(u"a\0b"s)), R"([p0]"a?b")");
}

TEST_F(PlainTextImport, FormFeedStartsParagraphOnNewPage)
{
    EXPECT_EQ(Text8("a\fb\f"), R"([p0]"a" [p0^]"b" [p0^]"")");
    Doc.Clear();
    EXPECT_EQ(Text8("a\r\n\fb"), R"([p0]"a" [p0]"" [p0^]"b")") << "the empty line before the form feed stays";

    // A note text does not paginate: the form feed is an ordinary paragraph end there.
    Doc.Clear();
    auto owned = std::make_unique<TRVFootnoteItemInfo>();
    TRVFootnoteItemInfo& note = *owned;
    Doc.AppendItem({}, std::move(owned));
    ASSERT_TRUE(ImportText8(note.NoteText(), "a\fb", 0, 0, false));
    EXPECT_EQ(DocDump(note.NoteText()), R"([p0]"a" [p0]"b")");

    // Nor does a container that takes no new paragraphs.
    TCustomRVData lines(&Sheet);
    lines.AllowNewParagraphs = false;
    ASSERT_TRUE(ImportText8(lines, "a\fb", 0, 0, false));
    EXPECT_EQ(DocDump(lines), R"([p0]"a" /"b")");
}

TEST_F(PlainTextImport, ParaNoMinusOneContinuesTheLastParagraph)
{
    Doc.AppendText("x", 0, 2);
    EXPECT_EQ(Text8("a\r\nb", 0, -1), R"([p2]"x" "a" [p2]"b")");

    Doc.Clear();
    Doc.AppendText("x", 0, 2);
    EXPECT_EQ(Text8("a\r\nb", 0, 1), R"([p2]"x" [p1]"a" [p1]"b")");

    Doc.Clear();
    EXPECT_EQ(Text8("a", 0, -1), R"([p0]"a")") << "into an empty document";
}

TEST_F(PlainTextImport, AsSingleParagraphTurnsLineEndsIntoLineBreaks)
{
    EXPECT_EQ(Text8("a\r\nb\fc\r\n", 0, 1, true), R"([p1]"a" /"b" /"c" /"")");
    Doc.Clear();
    Doc.AppendText("x", 0, 2);
    EXPECT_EQ(Text8("a\nb", 0, -1, true), R"([p2]"x" "a" /"b")");
    Doc.Clear();
    EXPECT_EQ(Utf16(Utf16Bytes(u"a\u2029b"), 0, 0, true), R"([p0]"a" /"b")");
}

TEST_F(PlainTextImport, EightBitPiecesTakeTheEncodingOfTheStyle)
{
    const int unicode = AddStyle(true);
    EXPECT_EQ(Text8("Gr\xFC\xDF\r\n", unicode), R"([p0]"Grüß"s7u [p0]""s7u)");

    Doc.Clear();
    const int cyrillicUnicode = AddStyle(true, 204);
    EXPECT_EQ(Text8("\xC4\xE0", cyrillicUnicode), R"([p0]"Да"s8u)") << "converted with the style's code page";

    Doc.Clear();
    const int cyrillic = AddStyle(false, 204);
    EXPECT_EQ(Text8("\xC4\xE0", cyrillic), "[p0]\"\xC4\xE0\"s9") << "8-bit styles keep the bytes";
}

TEST_F(PlainTextImport, Utf16ByteOrderMarks)
{
    EXPECT_EQ(Utf16("\xFF\xFE"s + Utf16Bytes(u"ab\r\nc")), R"([p0]"ab" [p0]"c")");
    Doc.Clear();
    EXPECT_EQ(Utf16("\xFE\xFF"s + Utf16Bytes(u"ab\r\nc\u00FC", true)), "[p0]\"ab\" [p0]\"c\xFC\"")
        << "big-endian units are swapped";
    Doc.Clear();
    EXPECT_EQ(Utf16(Utf16Bytes(u"ab")), R"([p0]"ab")") << "without a mark: little-endian";
    Doc.Clear();
    EXPECT_EQ(Utf16("\xFF\xFE"), "") << "a mark alone is no text";
}

TEST_F(PlainTextImport, Utf16LineEndsAndLineBreaks)
{
    EXPECT_EQ(Utf16(Utf16Bytes(u"a\u2029\nb")), R"([p0]"a" [p0]"" [p0]"b")") << "U+2029 never pairs";
    Doc.Clear();
    EXPECT_EQ(Utf16(Utf16Bytes(u"a\u2028b\vc\n\rd")), R"([p0]"a" /"b" /"c" [p0]"d")");
    Doc.Clear();
    EXPECT_EQ(Utf16(Utf16Bytes(u"a\fb\tc")), R"([p0]"a" [p0^]"b" <-12> "c")");
    Doc.Clear();
    Sheet.SpacesInTab = 2;
    EXPECT_EQ(Utf16(Utf16Bytes(u"\tb")), R"([p0]"  b")");
    Doc.Clear();
    EXPECT_EQ(Text8("a\vb"), "[p0]\"a\vb\"") << "8-bit text knows no vertical tab line break";
}

TEST_F(PlainTextImport, Utf16ConvertsToTheCodePageOfEightBitStyles)
{
    EXPECT_EQ(Utf16(Utf16Bytes(u"Gr\u00FC\u00DF\u20AC\u4E2D")), "[p0]\"Gr\xFC\xDF\x80?\"");
    Doc.Clear();
    const int cyrillic = AddStyle(false, 204);
    EXPECT_EQ(Utf16(Utf16Bytes(u"\u0414a"), cyrillic), "[p0]\"\xC4" "a\"s7");
    Doc.Clear();
    const int unicode = AddStyle(true);
    EXPECT_EQ(Utf16(Utf16Bytes(u"\u4E2D"), unicode), R"([p0]"中"s8u)");
}

TEST_F(PlainTextImport, OddUtf16FailsAndKeepsTheDocument)
{
    Doc.AppendText("x", 0, 0);
    std::string error;
    EXPECT_FALSE(ImportTextUtf16(Doc, "a\0b"s, 0, 0, false, &error));
    EXPECT_EQ(error, "Can't perform Unicode operation");
    EXPECT_EQ(DocDump(Doc), R"([p0]"x")");
    EXPECT_FALSE(ImportTextUtf16(Doc, "\xFF\xFE" "a"s, 0, 0, false));
}

TEST(PlainTextDetect, KindOfBytes)
{
    std::string zeroAt501(502, 'x');
    zeroAt501[501] = '\0';
    std::string zeroAt502(504, 'x');
    zeroAt502[502] = '\0';
    const struct {
        std::string Bytes;
        TTextKind Kind;
    } cases[] = {
        {"", TTextKind::Empty},
        {"abc", TTextKind::Text8},
        {"a\0b"s, TTextKind::Text8},
        {"\xFF\xFE", TTextKind::Unicode},
        {"\xFE\xFF" "ab", TTextKind::Unicode},
        {"abcd", TTextKind::Text8},
        {"xxa\0"s, TTextKind::Unicode},
        {zeroAt501, TTextKind::Unicode},
        {zeroAt502, TTextKind::Text8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectTextKindOfBytes(c.Bytes), c.Kind) << ::testing::PrintToString(c.Bytes.substr(0, 8));
}

} // namespace
} // namespace xq

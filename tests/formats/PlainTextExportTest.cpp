// Writing plain text: line ends, text forms of items, list markers, selections and round trips.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"

namespace xq {
namespace {

using namespace std::string_literals;

std::string Utf16Bytes(std::u16string_view text)
{
    return BytesFromUtf16(text);
}

/// A stand-in for an item kind that holds containers and writes them itself (as tables do).
constexpr int BoxKind = -300;

class TBoxItem : public TRVFullLineItemInfo {
public:
    TBoxItem() noexcept : TRVFullLineItemInfo(BoxKind) {}
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override
    {
        return std::make_unique<TBoxItem>();
    }
};

/// Removes a text form registered by a test.
struct TFormRegistration {
    TFormRegistration(int kind, TTextExportForm form) : Kind(kind) { RegisterTextExportForm(kind, std::move(form)); }
    ~TFormRegistration() { RegisterTextExportForm(Kind, {}); }
    int Kind;
};

class PlainTextExport : public ::testing::Test {
protected:
    PlainTextExport() { SetupMainWindowStyleSheet(Sheet); }

    std::string Text(int lineWidth = 80, bool unicode = false)
    {
        std::string out;
        EXPECT_TRUE(ExportText(Doc, out, lineWidth, unicode));
        return out;
    }

    /// A one-level list of the kind, with the marker text or template.
    TRVListLevel& AddList(TRVListType kind, const std::string& format = "\xB7")
    {
        TRVListLevel& level = Sheet.ListStyles.Add().Levels.Add();
        level.ListType = kind;
        level.FormatString = format;
        return level;
    }

    void AddListParagraph(int listNo, std::string_view text)
    {
        Doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(listNo, 0));
        Doc.AppendText(text, 0, -1);
    }

    /// Appends a non-text item to the current paragraph.
    void AddInline(std::unique_ptr<TCustomRVItemInfo> item)
    {
        item->ParaNo = -1;
        Doc.AppendItem({}, std::move(item));
    }

    void AddBreak(int width)
    {
        auto line = std::make_unique<TRVBreakItemInfo>();
        line->Width = static_cast<std::uint8_t>(width);
        Doc.AppendItem({}, std::move(line));
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(PlainTextExport, ParagraphsAndLineBreaksAreSeparatedByCrLf)
{
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Text(80, true), "\xFF\xFE") << "Unicode output starts with the byte order mark";

    Doc.AppendText("a", 0, 0);
    Doc.AppendText("b", 1, -1);
    Doc.AppendText("c", 0, 0);
    Doc.ItemAt(2).SetNewLine(true);
    Doc.AppendText("d", 0, 1);
    Doc.ItemAt(3).SetNewPageBefore(true);
    EXPECT_EQ(Text(), "ab\r\nc\r\nd") << "no line end after the last item";
    EXPECT_EQ(Text(80, true), "\xFF\xFE"s + Utf16Bytes(u"ab\r\nc\r\nd"));
}

TEST_F(PlainTextExport, HorizontalLineFillsTheLineWidth)
{
    Doc.AppendText("x", 0, 0);
    AddBreak(1);
    Doc.AppendText("y", 0, 0);
    AddBreak(2);
    EXPECT_EQ(Text(80), "x\r\n" + std::string(80, '-') + "\r\ny\r\n" + std::string(80, '='));
    EXPECT_EQ(Text(0), "x\r\n-\r\ny\r\n=") << "at least one character";
    EXPECT_EQ(Text(3, true), "\xFF\xFE"s + Utf16Bytes(u"x\r\n---\r\ny\r\n==="));
}

TEST_F(PlainTextExport, ListParagraphsStartWithTheirMarkers)
{
    AddList(rvlstBullet);
    AddList(rvlstDecimal, "%0:s.");
    AddList(rvlstPicture);
    AddList(rvlstImageList);
    AddListParagraph(0, "Text");
    AddListParagraph(1, "eins");
    AddListParagraph(1, "zwei");
    AddListParagraph(2, "a");
    AddListParagraph(3, "b");
    AddListParagraph(7, "c");
    const char16_t* expected = u"\u00B7 Text\r\n1. eins\r\n2. zwei\r\n* a\r\n* b\r\nc";
    EXPECT_EQ(Text(), UnicodeToAnsi(expected, 1252)) << "a marker without a list writes nothing";
    EXPECT_EQ(Text(80, true), "\xFF\xFE"s + Utf16Bytes(expected));
}

TEST_F(PlainTextExport, SymbolFontMarkersAreSpelledOut)
{
    const std::string symbols = "\xA7\xA8\xA9\xAA\xB7\xD7\xE0|\xDB|\xDC|\xDE|\xAB|\xAC|\xAE|x";
    AddList(rvlstBullet, symbols).EditFont().Name = "Symbol";
    AddList(rvlstBullet, symbols).EditFont().Name = "Arial";
    AddListParagraph(0, "a");
    AddListParagraph(1, "b");
    EXPECT_EQ(Text(), "*******|<=>|<=|=>|<->|<-|->|x a\r\n" + symbols + " b");
}

TEST_F(PlainTextExport, UnicodeBulletWritesStarsForMissingCharacters)
{
    AddList(rvlstUnicodeBullet).FormatStringW = u"\u25CF?\u00FC\U0001F600";
    AddListParagraph(0, "a");
    EXPECT_EQ(Text(), "*?\xFC* a") << "'?' that was a '?' stays";
    EXPECT_EQ(Text(80, true), "\xFF\xFE"s + Utf16Bytes(u"\u25CF?\u00FC\U0001F600 a"));
}

TEST_F(PlainTextExport, TextFormsOfOtherItems)
{
    TFontInfo& cyrillic = Sheet.TextStyles.Add();
    cyrillic.Charset = 204;
    const int cyrillicStyle = Sheet.TextStyles.Count() - 1;

    Doc.AppendText("a", 0, 0);
    AddInline(std::make_unique<TRVTabItemInfo>());
    auto label = std::make_unique<TRVLabelItemInfo>();
    label->Text = "\xC4";
    label->TextStyleNo = cyrillicStyle;
    AddInline(std::move(label));
    AddInline(std::make_unique<TRVGraphicItemInfo>());
    AddInline(std::make_unique<TRVBulletItemInfo>());
    AddInline(std::make_unique<TRVHotspotItemInfo>());
    AddInline(std::make_unique<TRVControlItemInfo>());
    Doc.AppendText("b", 0, -1);

    EXPECT_EQ(Text(), "a\t\xC4" "b");
    EXPECT_EQ(Text(80, true), "\xFF\xFE"s + Utf16Bytes(u"a\t\u0414b")) << "label text in its style's code page";
}

TEST_F(PlainTextExport, TextIsConvertedBetweenEncodings)
{
    TFontInfo& unicode = Sheet.TextStyles.Add();
    unicode.Unicode = true;
    TFontInfo& cyrillic = Sheet.TextStyles.Add();
    cyrillic.Charset = 204;
    Doc.AppendTextW(u"Gr\u00FC\u00DF\u20AC\u4E2D", 7, 0);
    Doc.AppendText("\xC4", 8, 0);

    EXPECT_EQ(Text(), "Gr\xFC\xDF\x80?\r\n\xC4") << "8-bit items are written as stored";
    EXPECT_EQ(Text(80, true), "\xFF\xFE"s + Utf16Bytes(u"Gr\u00FC\u00DF\u20AC\u4E2D\r\n\u0414"));

    Sheet.DefCodePage = 1251;
    EXPECT_EQ(Text(), "Gr??\x88?\r\n\xC4") << "Unicode text takes the sheet's default code page";
}

TEST_F(PlainTextExport, RegisteredFormsWriteTheirItems)
{
    Doc.AppendText("a", 0, 0);
    Doc.AppendItem({}, std::make_unique<TBoxItem>());
    Doc.AppendText("b", 0, 0);
    EXPECT_EQ(Text(), "a\r\n\r\nb") << "nothing without a form";

    int seenIndex = -1;
    bool fail = false;
    TFormRegistration box(BoxKind, [&](const TCustomRVData& data, int index, int lineWidth, bool unicode,
                                        std::string& out) {
        seenIndex = index;
        EXPECT_EQ(&data, &Doc);
        const std::string cell = "cell" + std::to_string(lineWidth);
        out += unicode ? BytesFromUtf16(Utf8ToUtf16(cell)) : cell;
        return !fail;
    });
    EXPECT_EQ(Text(42), "a\r\ncell42\r\nb");
    EXPECT_EQ(seenIndex, 1);
    EXPECT_EQ(Text(7, true), "\xFF\xFE"s + Utf16Bytes(u"a\r\ncell7\r\nb"));

    fail = true;
    std::string out = "kept";
    EXPECT_FALSE(ExportText(Doc, out, 80, false));
    EXPECT_EQ(out, "kept") << "a failed export leaves the output as it was";
}

TEST_F(PlainTextExport, SelectionWritesPartsAndTheFirstParagraphsMarker)
{
    AddList(rvlstBullet);
    AddListParagraph(0, "Hello");
    Doc.AppendText(" world", 0, -1);
    Doc.AppendText("Second", 0, 0);
    const auto range = [&](int first, int firstOffset, int last, int lastOffset, bool unicode = false) {
        std::string out;
        EXPECT_TRUE(ExportTextRange(Doc, out, 80, unicode, first, firstOffset, last, lastOffset));
        return out;
    };
    EXPECT_EQ(range(1, 3, 3, 4), "\xB7 llo world\r\nSec");
    EXPECT_EQ(range(1, 2, 1, 4), "\xB7 el");
    EXPECT_EQ(range(0, 0, 1, 6), "\xB7 Hello") << "the marker is written once";
    EXPECT_EQ(range(3, 1, 3, 99), "Second") << "offsets are kept inside the text";
    EXPECT_EQ(range(2, 7, 3, 1), "\xB7 \r\n") << "empty parts still carry the paragraph end";
    EXPECT_EQ(range(3, 2, 3, 4, true), "\xFF\xFE"s + Utf16Bytes(u"ec"));

    // Around other items the offset tells the side of the caret.
    AddBreak(1);
    Doc.AppendText("b", 0, 0);
    EXPECT_EQ(range(4, 1, 5, 2), "\r\nb") << "starting behind the line leaves it out";
    EXPECT_EQ(range(3, 7, 4, 0), "\r\n") << "ending before the line leaves it out";
    EXPECT_EQ(range(4, 0, 4, 1), std::string(80, '-'));

    std::string out;
    EXPECT_FALSE(ExportTextRange(Doc, out, 80, false, 2, 1, 1, 1));
    EXPECT_FALSE(ExportTextRange(Doc, out, 80, false, 0, 0, 6, 1));
    EXPECT_FALSE(ExportTextRange(Doc, out, 80, false, -1, 0, 0, 1));
    EXPECT_EQ(out, "");
}

TEST_F(PlainTextExport, GermanTextSurvivesTheRoundTrip)
{
    const std::string cp1252 = "Gr\xFC\xDF" "e aus M\xFC" "nchen\r\n\xC4rger \xFC" "ber \xD6l\tund \x80\r\n\r\nEnde\r\n";
    ASSERT_TRUE(ImportText8(Doc, cp1252, 0, 0, false));
    EXPECT_EQ(Text(), cp1252);

    Doc.Clear();
    const std::string utf16 =
        "\xFF\xFE"s + Utf16Bytes(u"Gr\u00FC\u00DFe aus M\u00FCnchen\r\n\u00C4rger \u00FCber \u00D6l\tund \u20AC\r\n\r\nEnde");
    TFontInfo& unicode = Sheet.TextStyles.Add();
    unicode.Unicode = true;
    ASSERT_TRUE(ImportTextUtf16(Doc, utf16, 7, 0, false));
    EXPECT_EQ(Text(80, true), utf16);
    EXPECT_EQ(Text(80, false), cp1252.substr(0, cp1252.size() - 2)) << "and down to the ANSI code page";

    Doc.Clear();
    ASSERT_TRUE(ImportTextUtf16(Doc, utf16, 0, 0, false));
    EXPECT_EQ(Text(80, true), utf16) << "through an 8-bit style and back";
}

} // namespace
} // namespace xq

// The RVF writer and reader: exact records, round trips, style handling and damaged streams.
#include <gtest/gtest.h>

#include <clocale>

#include "document/DocumentInfo.h"
#include "document/LengthBounds.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfLines.h"
#include "formats/rvf/RvfWriter.h"
#include "formats/rvf/StyleStream.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "platform/CodePage.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using test::DocDump;

constexpr TRVFOptions TextMode = RVFMainWindowOptions - TRVFOptions{rvfoSaveBinary};

class RvfTest : public ::testing::Test {
protected:
    RvfTest() { SetupMainWindowStyleSheet(Sheet); }

    std::string Write(const TCustomRVData& doc, TRVFOptions options = RVFMainWindowOptions,
                      const TRVDocumentInfo* info = nullptr)
    {
        std::string out;
        EXPECT_TRUE(TRVFWriter(Sheet, options).WriteDocument(doc, info, out));
        return out;
    }

    /// Writes, reads back into a fresh document, writes again: both streams must be equal.
    void ExpectRoundTrip(TCustomRVData& doc, TRVFOptions options)
    {
        TRVDocumentInfo info;
        info.DocParameters = MainWindowDocParameters();
        info.DocProperties = {"Kopfzeile=Brief", "zwei\r\nZeilen"};
        const std::string first = Write(doc, options, &info);
        TCustomRVData copy(&Sheet);
        TRVDocumentInfo readInfo;
        TRVFReader reader(Sheet, options);
        ASSERT_TRUE(reader.ReadDocument(copy, &readInfo, first));
        EXPECT_EQ(reader.Warnings(), TRVFWarnings{});
        EXPECT_EQ(DocDump(copy), DocDump(doc));
        EXPECT_EQ(readInfo.DocProperties, info.DocProperties);
        EXPECT_EQ(readInfo.DocParameters, info.DocParameters);
        EXPECT_EQ(Write(copy, options, &readInfo), first);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(RvfTest, EmptyDocumentIsAnEmptyStream)
{
    EXPECT_EQ(Write(Doc), "");
    Doc.AppendText("alt", 0, 0);
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    EXPECT_TRUE(reader.ReadDocument(Doc, nullptr, ""));
    EXPECT_EQ(Doc.Count(), 0) << "reading a whole document clears the old one";
}

TEST_F(RvfTest, ItemRecordsOfAPlainDocument)
{
    Doc.AppendText("Erster", 0, 0);
    Doc.AppendText("Zweiter", 0, 0);
    Doc.AppendText("Dritter", 0, 0);
    Doc.AppendText(" fett", 5, -1, "say \"hi\"");
    Doc.AppendText("Zentriert", 0, 1);
    const TRVFOptions itemsOnly = TRVFOptions{rvfoSaveBinary};
    EXPECT_EQ(Write(Doc, itemsOnly),
              "-8 1 3\r\n"
              "0 3 0 0 0 0\r\nErster\r\nZweiter\r\nDritter\r\n" // three paragraphs: one record
              "5 1 -1 1 0 \"say \"\"hi\"\"\"\r\n fett\r\n"          // continues: ParaNo -1, quoted tag
              "0 1 1 0 0 0\r\nZentriert\r\n");
}

TEST_F(RvfTest, UnicodeTextLines)
{
    TFontInfo& unicode = Sheet.TextStyles.Add(); // 7
    unicode.CopyStyle(Sheet.TextStyles[0]);
    unicode.Unicode = true;
    Doc.AppendTextW(u"\u0416a", 7, 0);
    Doc.AppendText("b", 0, 0);
    const TRVFOptions binary{rvfoSaveBinary};
    EXPECT_EQ(Write(Doc, binary), "-8 1 3\r\n7 1 0 8 0 0\r\n" + std::string("\x16\x04" "a\0\x29\x20", 6) +
                                      "0 1 0 0 0 0\r\nb\r\n")
        << "raw UTF-16 ended by U+2029, the next header right after it";
    EXPECT_EQ(Write(Doc, TRVFOptions{}), "-8 1 3\r\n7 1 0 8 3 0\r\n16046100\r\n0 1 0 0 0 0\r\nb\r\n")
        << "hex in text mode";
    ExpectRoundTrip(Doc, RVFMainWindowOptions);
    ExpectRoundTrip(Doc, TextMode);
}

TEST_F(RvfTest, StreamsWithMoreItemsThanTheLimitAreRefused)
{
    // Three paragraphs, three items.
    for (const char* text : {"eins", "zwei", "drei"})
        Doc.AppendText(text, 0, 0);
    const std::string stream = Write(Doc);
    for (const int limit : {3, 2}) {
        TCustomRVData copy(&Sheet);
        TRVFReader reader(Sheet, RVFMainWindowOptions);
        reader.ItemLimit = limit;
        EXPECT_EQ(reader.ReadDocument(copy, nullptr, stream), limit == 3) << limit;
        EXPECT_EQ(reader.TooLarge(), limit == 2) << limit;
        // A fragment beyond the limit inserts nothing.
        TCustomRVData target(&Sheet);
        target.AppendText("Ziel", 0, 0);
        TRVFReader fragments(Sheet, RVFMainWindowOptions);
        fragments.ItemLimit = limit;
        EXPECT_EQ(fragments.ReadFragment(target, 1, stream), limit == 3);
        EXPECT_EQ(target.Count(), limit == 3 ? 4 : 1) << limit;
    }
}

TEST_F(RvfTest, StreamWithoutVersionHasNoItemOptions)
{
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadDocument(Doc, nullptr, "0 2 0 0 0\r\nalt\r\nformat\r\n1 1 -1 0 \"x\"\r\n fett\r\n"));
    EXPECT_EQ(DocDump(Doc), R"([p0]"alt" [p0]"format" " fett"s1{x})");
}

TEST_F(RvfTest, RoundTripsOfARichDocument)
{
    RegisterListItemKinds();
    TRVListInfo& list = Sheet.ListStyles.Add();
    TRVListLevel& level = list.Levels.Add();
    level.ListType = rvlstDecimal;
    level.FormatString = "%0:s.";

    Doc.CreatePendingCheckpoint("Anfang", true, "cp-tag");
    Doc.AppendText("Sehr geehrte Damen und Herren,", 0, 0);
    Doc.AppendText("Unterstrichen", 1, 0, "http://example.org/?a=\"1\"");
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->TextStyleNo = 2;
    tab->ParaNo = -1;
    Doc.AppendItem({}, std::move(tab));
    Doc.AppendText("nach dem Tab", 0, -1);
    auto line = std::make_unique<TRVBreakItemInfo>();
    line->Width = 3;
    line->Color = clNavy;
    line->Style = rvbsDashed;
    line->DeleteProtect = true;
    line->Hint = "Trennlinie";
    Doc.AppendItem({}, std::move(line));
    for (int k = 0; k < 3; ++k) {
        auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0, 5, k == 2);
        marker->ParaNo = 3;
        Doc.AppendItem({}, std::move(marker));
        Doc.AppendText("Punkt", 0, -1);
    }
    auto page = std::make_unique<TRVTextItemInfo>(6);
    page->ParaNo = 4;
    page->SetNewPageBefore(true);
    page->Hint = "Hinweis";
    Doc.AppendItem("Neue Seite", std::move(page));
    auto br = std::make_unique<TRVTextItemInfo>(6);
    br->SetNewLine(true);
    Doc.AppendItem("Zeile 2", std::move(br));
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    note->ParaNo = -1;
    TRVSubData& noteText = note->NoteText();
    Doc.AppendItem({}, std::move(note));
    noteText.AppendText("Fu\xDFnote", 3, 0);
    Doc.CreatePendingCheckpoint("Ende", false, "");

    ExpectRoundTrip(Doc, RVFMainWindowOptions);
    ExpectRoundTrip(Doc, TextMode);
    EXPECT_EQ(Doc.Markers()[2]->DisplayText, "5.");
}

TEST_F(RvfTest, WholeDocumentReplacesStylesFragmentMerges)
{
    TRVStyle other;
    SetupMainWindowStyleSheet(other);
    TFontInfo& red = other.TextStyles.Add(); // 7 in the other sheet
    red.CopyStyle(other.TextStyles[0]);
    red.Color = clRed;
    red.Standard = false;
    TCustomRVData source(&other);
    source.AppendText("rot", 7, 0);
    std::string stream;
    ASSERT_TRUE(TRVFWriter(other, RVFMainWindowOptions).WriteDocument(source, nullptr, stream));

    // Inserting: the red style is appended to this sheet and the item renumbered to it.
    TFontInfo& blue = Sheet.TextStyles.Add(); // 7 here, blue
    blue.CopyStyle(Sheet.TextStyles[0]);
    blue.Color = clBlue;
    Doc.AppendText("vorher", 7, 0);
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadFragment(Doc, Doc.Count(), stream));
    ASSERT_EQ(Sheet.TextStyles.Count(), 9);
    EXPECT_EQ(Sheet.TextStyles[8].Color, clRed);
    EXPECT_EQ(DocDump(Doc), R"([p0]"vorher"s7 [p0]"rot"s8)");

    // Loading: the sheet becomes the stream's.
    TCustomRVData loaded(&Sheet);
    ASSERT_TRUE(reader.ReadDocument(loaded, nullptr, stream));
    ASSERT_EQ(Sheet.TextStyles.Count(), 8);
    EXPECT_EQ(Sheet.TextStyles[7].Color, clRed);
    EXPECT_EQ(DocDump(loaded), R"([p0]"rot"s7)");
}

TEST_F(RvfTest, FragmentContinuesTheParagraphItIsInsertedInto)
{
    TCustomRVData part(&Sheet);
    part.AppendText("mitten", 1, 0);
    part.ItemAt(0).SetContinuesPara(true); // as a selection inside a paragraph is written
    std::string stream;
    ASSERT_TRUE(TRVFWriter(Sheet, TRVFOptions{rvfoSaveBinary}).WriteSubDocument(part, stream));
    Doc.AppendText("Anfang ", 0, 2);
    Doc.AppendText("Ende", 0, 3);
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadFragment(Doc, 1, stream));
    EXPECT_EQ(DocDump(Doc), R"([p2]"Anfang " "mitten"s1 [p3]"Ende")");
}

TEST_F(RvfTest, StyleNumbersOutOfRange)
{
    const std::string stream = "-8 1 3\r\n7 1 0 0 0 0\r\nzu weit\r\n";
    TRVFReader strict(Sheet, TRVFOptions{});
    EXPECT_FALSE(strict.ReadDocument(Doc, nullptr, stream));
    EXPECT_TRUE(strict.Warnings().Contains(WarnStyleOutOfRange));
    EXPECT_EQ(Doc.Count(), 0);

    TRVFReader lenient(Sheet, TRVFOptions{rvfoConvUnknownStylesToZero});
    EXPECT_TRUE(lenient.ReadDocument(Doc, nullptr, "-8 1 3\r\n0 1 0 0 0 0\r\ngut\r\n7 1 9 0 0 0\r\nzu weit\r\n"));
    EXPECT_TRUE(lenient.Warnings().Contains(WarnStyleOutOfRange));
    EXPECT_EQ(DocDump(Doc), R"([p0]"gut" [p0]"zu weit")");
}

TEST_F(RvfTest, FailedReadKeepsWhatCameBefore)
{
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    EXPECT_FALSE(reader.ReadDocument(Doc, nullptr, "-8 1 3\r\n0 1 0 0 0 0\r\nda\r\n-77 1 0 0 0 0\r\nx\r\n"))
        << "unknown kind";
    EXPECT_EQ(DocDump(Doc), R"([p0]"da")");
    EXPECT_FALSE(reader.ReadDocument(Doc, nullptr, "-8 1 3\r\n0 3 0 0 0 0\r\neins\r\n")) << "lines missing";
    EXPECT_FALSE(reader.ReadDocument(Doc, nullptr, "-8 1 3\r\n0 x 0 0 0 0\r\n")) << "header does not parse";
    EXPECT_FALSE(reader.ReadDocument(Doc, nullptr, "-8 1 3\r\n-9 1 0 0 2 0 1\r\n\xFF\xFF\xFF\x7F" "abc"))
        << "a block longer than the stream";
    EXPECT_FALSE(reader.ReadDocument(Doc, nullptr, "-8 1 3\r\n-9 1 0 0 0 0 1\r\n0E0G\r\n")) << "bad hex";
    EXPECT_FALSE(reader.ReadDocument(Doc, nullptr, "-8 1 3\r\n-9 1 0 0 0 0 1\r\n0100\r\n")) << "not a collection";
}

TEST_F(RvfTest, PageParametersAreWrittenWithAPointWhateverTheLocale)
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale";
    TRVDocumentInfo info;
    info.DocParameters = MainWindowDocParameters();
    info.DocParameters.LeftMargin = 25.4;
    Doc.AppendText("x", 0, 0);
    const std::string stream = Write(Doc, TRVFOptions{rvfoSaveDocProperties}, &info);
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(stream.find("LeftMargin=25.4\r\n"), std::string::npos);
    TRVDocumentInfo read;
    ASSERT_TRUE(TRVFReader(Sheet, RVFMainWindowOptions).ReadDocument(Doc, &read, stream));
    EXPECT_EQ(read.DocParameters.LeftMargin, 25.4);
}

} // namespace
} // namespace xq

namespace xq {
namespace {

std::string SmallBmp()
{
    // 2 x 1 pixels, 24 bits, bottom-up: a red and a blue pixel.
    std::string bmp("BM\x3E\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x08\0\0\0"
                    "\x13\x0B\0\0\x13\x0B\0\0\0\0\0\0\0\0\0\0",
                    54);
    bmp += std::string("\0\0\xFF\xFF\0\0\0\0", 8);
    return bmp;
}

class RvfPictureTest : public RvfTest {};

TEST_F(RvfPictureTest, PicturesKeepTheirBytes)
{
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->Image = CreateGraphic("TBitmap");
    ASSERT_TRUE(picture->Image->LoadFromBytes(SmallBmp()));
    picture->ImageWidth = 40;
    picture->Alt = "Logo";
    picture->Transparent = true;
    picture->TransparentMode = tmFixed;
    picture->TransparentColor = clWhite;
    Doc.AppendItem("Logo", std::move(picture));

    const std::string stream = Write(Doc, TRVFOptions{rvfoSaveBinary, rvfoSavePicturesBody});
    const std::string expectedHeader = "-3 8 0 0 2 0 0\r\nLogo\r\nTBitmap\r\nwidth=40\r\ntransparent=1\r\ntmode=1\r\n"
                                       "tcolor=16777215\r\nalt=Logo\r\n";
    EXPECT_EQ(stream.substr(8, expectedHeader.size()), expectedHeader);
    ExpectRoundTrip(Doc, RVFMainWindowOptions);
    ExpectRoundTrip(Doc, TextMode);
}

TEST_F(RvfPictureTest, AbsurdItemLengthsAreHeldAndWrittenBackHeld)
{
    // Picture sizes, shift and spacing at the ends of 32 bits, and labels with such widths.
    std::string hex;
    for (const unsigned char c : SmallBmp()) {
        hex.push_back("0123456789ABCDEF"[c >> 4]);
        hex.push_back("0123456789ABCDEF"[c & 15]);
    }
    const std::string stream = "-8 1 3\r\n"
                               "-3 7 0 0 0 0 0\r\nBild\r\nTBitmap\r\nwidth=2147483647\r\nheight=-2147483648\r\n"
                               "vshift=-2147483648\r\nspacing=2147483647\r\n" + hex + "\r\n"
                               "-200 6 -1 0 0 0 0\r\nL\r\n0\r\n2147483647\r\n0\r\nno-protect\r\nname\r\n"
                               "-200 6 -1 0 0 0 0\r\nM\r\n0\r\n-2147483648\r\n0\r\nno-protect\r\nname\r\n"
                               "-200 6 -1 0 0 0 0\r\nN\r\n0\r\n120\r\n0\r\nno-protect\r\nname\r\n";
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadDocument(Doc, nullptr, stream));
    ASSERT_EQ(Doc.Count(), 4);
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(Doc.ItemAt(0));
    EXPECT_EQ(picture.ImageWidth, PictureSizeRange.Max);
    EXPECT_EQ(picture.ImageHeight, 0) << "a negative size is the picture's own";
    EXPECT_EQ(picture.VShift, PixelLengthRange.Min);
    EXPECT_EQ(picture.Spacing, PixelLengthRange.Max);
    EXPECT_EQ(static_cast<const TRVLabelItemInfo&>(Doc.ItemAt(1)).MinWidth, NonNegativeLengthRange.Max);
    EXPECT_EQ(static_cast<const TRVLabelItemInfo&>(Doc.ItemAt(2)).MinWidth, 0);
    EXPECT_EQ(static_cast<const TRVLabelItemInfo&>(Doc.ItemAt(3)).MinWidth, 120);

    // Written back, the held values are what the file says; a second round changes nothing.
    const std::string written = Write(Doc, TextMode);
    EXPECT_NE(written.find("\r\nvshift=-32767\r\nspacing=32767\r\nwidth=32767\r\n"), std::string::npos)
        << written;
    EXPECT_EQ(written.find("height="), std::string::npos);
    EXPECT_NE(written.find("\r\n32767\r\n"), std::string::npos);
    ExpectRoundTrip(Doc, TextMode);
    ExpectRoundTrip(Doc, RVFMainWindowOptions);
}

TEST_F(RvfPictureTest, UndecodablePictureDataSurvivesASave)
{
    const std::string stream = "-8 1 3\r\n-3 3 0 0 0 0 0\r\nBild\r\nTPNGObject\r\n0102030405\r\n";
    TRVFReader reader(Sheet, RVFMainWindowOptions);
    ASSERT_TRUE(reader.ReadDocument(Doc, nullptr, stream));
    EXPECT_TRUE(reader.Warnings().Contains(WarnInvalidPicture));
    ASSERT_EQ(Doc.Count(), 1);
    const TGraphic* image = static_cast<TRVGraphicItemInfo&>(Doc.ItemAt(0)).Image.get();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->ClassName(), "TPNGObject");
    EXPECT_EQ(image->SaveToBytes(), std::string("\x01\x02\x03\x04\x05", 5)) << "nothing of the file is lost";
}

TEST_F(RvfPictureTest, UnknownPictureKinds)
{
    const std::string stream = "-8 1 3\r\n0 1 0 0 0 0\r\nvor\r\n-3 3 0 0 0 0 0\r\nBild\r\nTSvgImage\r\n00\r\n"
                               "0 1 0 0 0 0\r\nnach\r\n";
    TRVFReader ignoring(Sheet, TRVFOptions{rvfoIgnoreUnknownPicFmt});
    EXPECT_TRUE(ignoring.ReadDocument(Doc, nullptr, stream));
    EXPECT_TRUE(ignoring.Warnings().Contains(WarnUnknownPicture));
    EXPECT_EQ(DocDump(Doc), R"([p0]"vor" [p0]"nach")");

    TRVFReader strict(Sheet, TRVFOptions{});
    EXPECT_FALSE(strict.ReadDocument(Doc, nullptr, stream));
    EXPECT_EQ(DocDump(Doc), R"([p0]"vor")");
}

TEST_F(RvfTest, EveryTruncationFailsOrSucceedsCleanly)
{
    RegisterListItemKinds();
    Sheet.ListStyles.Add().Levels.Add().ListType = rvlstDecimal;
    Doc.AppendText("Absatz mit \"Tag\"", 1, 0, "t\"ag");
    auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0);
    marker->ParaNo = 2;
    Doc.AppendItem({}, std::move(marker));
    Doc.AppendText("Punkt", 0, -1);
    auto note = std::make_unique<TRVEndnoteItemInfo>();
    note->ParaNo = -1;
    note->NoteText().AppendText("Anmerkung", 0, 0);
    Doc.AppendItem({}, std::move(note));
    Doc.AppendItem({}, std::make_unique<TRVBreakItemInfo>());

    for (TRVFOptions options : {RVFMainWindowOptions, TextMode}) {
        const std::string stream = Write(Doc, options);
        for (std::size_t cut = 0; cut < stream.size(); ++cut) {
            TRVStyle sheet;
            SetupMainWindowStyleSheet(sheet);
            TCustomRVData doc(&sheet);
            TRVFReader reader(sheet, options);
            (void)reader.ReadDocument(doc, nullptr, std::string_view(stream).substr(0, cut));
            // Whatever was read is a document the writer can store again.
            std::string again;
            EXPECT_TRUE(TRVFWriter(sheet, options).WriteDocument(doc, nullptr, again));
        }
    }
}

TEST_F(RvfTest, StyleNamesInsteadOfNumbers)
{
    Doc.AppendText("Titel", 1, 2);
    Doc.AppendText("Text", 0, 0);
    const TRVFOptions named{rvfoSaveBinary, rvfoUseStyleNames};
    const std::string stream = Write(Doc, named);
    EXPECT_EQ(stream, "-8 1 3\r\n\"\xDC" "berschrift\" 1 \"Rechtsb\xFC" "ndig\" 0 0 0\r\nTitel\r\n"
                      "\"Normaler Text\" 1 \"Linksb\xFC" "ndig\" 0 0 0\r\nText\r\n");
    TCustomRVData copy(&Sheet);
    ASSERT_TRUE(TRVFReader(Sheet, named).ReadDocument(copy, nullptr, stream));
    EXPECT_EQ(DocDump(copy), DocDump(Doc));
}

TEST_F(RvfTest, BackgroundAndLayoutAreKept)
{
    TRVDocumentInfo info;
    info.BackgroundStyle = bsTiled;
    info.BackgroundColor = clYellow;
    info.BackgroundPicture = CreateGraphic("TBitmap");
    ASSERT_TRUE(info.BackgroundPicture->LoadFromBytes(SmallBmp()));
    info.Layout = TRVLayoutInfo{5, 5, 5, 5, 600, 600, rvbdLeftToRight};
    Doc.AppendText("x", 0, 0);
    for (TRVFOptions options : {RVFMainWindowOptions, TextMode}) {
        const std::string stream = Write(Doc, options, &info);
        TRVDocumentInfo read;
        TCustomRVData copy(&Sheet);
        ASSERT_TRUE(TRVFReader(Sheet, options).ReadDocument(copy, &read, stream));
        EXPECT_EQ(read.BackgroundStyle, bsTiled);
        EXPECT_EQ(read.BackgroundColor, clYellow);
        ASSERT_NE(read.BackgroundPicture, nullptr);
        EXPECT_EQ(read.BackgroundPicture->SaveToBytes(), SmallBmp());
        EXPECT_EQ(read.Layout, info.Layout);
        EXPECT_EQ(Write(copy, options, &read), stream);
    }
    EXPECT_FALSE(TRVFReader(Sheet, RVFMainWindowOptions)
                     .ReadDocument(Doc, nullptr, "-8 1 3\r\n-9 1 0 0 0 0 3\r\n0000000018000000" + std::string(48, '0') +
                                                     "\r\n"))
        << "a layout block of the top document needs 25 bytes";
}

} // namespace
} // namespace xq

namespace xq {
namespace {

TEST_F(RvfTest, LineEndsInsideTextCannotBreakTheStream)
{
    TFontInfo& unicode = Sheet.TextStyles.Add(); // 7
    unicode.CopyStyle(Sheet.TextStyles[0]);
    unicode.Unicode = true;
    Doc.AppendTextW(u"a\rb\nc", 0, 0);
    Doc.AppendTextW(u"d\u2029e", 7, -1);
    for (TRVFOptions options : {RVFMainWindowOptions, TextMode}) {
        const std::string stream = Write(Doc, options);
        TCustomRVData copy(&Sheet);
        ASSERT_TRUE(TRVFReader(Sheet, options).ReadDocument(copy, nullptr, stream));
        EXPECT_EQ(DocDump(copy), R"([p0]"a?b?c" "d?e"s7u)");
        EXPECT_EQ(Write(copy, options), stream);
    }
    // A UTF-16 line break read into an 8-bit style becomes '?' as well.
    TCustomRVData read(&Sheet);
    ASSERT_TRUE(TRVFReader(Sheet, RVFMainWindowOptions).ReadDocument(read, nullptr,
                                                                     "-8 1 3\r\n0 1 0 8 3 0\r\n41000D004200\r\n"));
    EXPECT_EQ(DocDump(read), R"([p0]"A?B")");
}

TEST_F(RvfTest, StyleRecordsAfterItemsAreIgnored)
{
    TRVStyle source;
    TFontInfos one(nullptr);
    one.Add();
    std::string styles;
    WriteHexLine(styles, WriteTextStyleStream(one));
    const std::string stream = "-8 1 3\r\n3 1 0 0 0 0\r\nx\r\n-9 1 0 0 0 0 1\r\n" + styles;
    ASSERT_TRUE(TRVFReader(Sheet, RVFMainWindowOptions).ReadDocument(Doc, nullptr, stream));
    EXPECT_EQ(Sheet.TextStyles.Count(), 7) << "the sheet the item refers to stays";
    EXPECT_EQ(DocDump(Doc), R"([p0]"x"s3)");
}

} // namespace
} // namespace xq

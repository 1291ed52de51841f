// RTF into the document with the main window's settings: runs in their styles, paragraphs, line
// breaks, tabs, hidden text, page breaks, bookmarks, notes, sequences, links, pictures, lists
// and page parameters; insertion into an existing document.
#include "formats/rtf/RtfImport.h"

#include <gtest/gtest.h>

#include "document/DocParameters.h"
#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "platform/CodePage.h"
#include "support/DocDump.h"
#include "support/TempDir.h"

namespace xq {
namespace {

constexpr const char* Fonts = "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}{\\f2\\fnil Symbol;}}";

std::string Hex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        out += digits[static_cast<unsigned char>(c) >> 4];
        out += digits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

class RtfImportTest : public ::testing::Test {
protected:
    RtfImportTest()
    {
        while (Sheet.TextStyles.Count() > 1)
            Sheet.TextStyles.Delete(Sheet.TextStyles.Count() - 1);
        while (Sheet.ParaStyles.Count() > 1)
            Sheet.ParaStyles.Delete(Sheet.ParaStyles.Count() - 1);
        SetMainWindowRtfReadProperties(Props);
    }

    /// Reads a document body (with the font table in front) into Doc.
    int Read(const std::string& body, TRVDocParameters* params = nullptr)
    {
        return Props.ReadRtfStreamIntoDocument("{\\rtf1\\ansi\\ansicpg1252\\deff0" + std::string(Fonts) + body + "}",
                                               Doc, params);
    }
    std::string Dump() const { return test::DocDump(Doc); }
    const TFontInfo& StyleOf(int item) const { return Sheet.TextStyles[Doc.StyleOf(item)]; }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVRTFReaderProperties Props;
};

TEST_F(RtfImportTest, RunsTakeStylesThatAreAddedOnceAndReused)
{
    ASSERT_EQ(Read("\\pard\\plain\\f0\\fs20 Hallo \\b fett\\b0  und \\b wieder\\b0\\par"), 0);
    EXPECT_EQ(Dump(), "[p0]\"Hallo \" \"fett\"s1 \" und \" \"wieder\"s1");
    EXPECT_EQ(Sheet.TextStyles.Count(), 2);
    EXPECT_TRUE(StyleOf(1).Style.Contains(fsBold));
    EXPECT_FALSE(StyleOf(1).Standard);
}

TEST_F(RtfImportTest, EightBitAndUnicodeTextGoToTheirOwnStyles)
{
    ASSERT_EQ(Read("\\f0\\fs20 Gr\\'fc\\'dfe \\u8364?\\par"), 0);
    ASSERT_EQ(Doc.Count(), 2);
    EXPECT_EQ(Doc.TextAt(0), "Gr\xFC\xDF" "e ");
    EXPECT_FALSE(Doc.ItemAt(0).IsUnicode());
    EXPECT_TRUE(Doc.ItemAt(1).IsUnicode());
    EXPECT_EQ(Utf16FromBytes(Doc.TextAt(1)), u"\u20AC");
    EXPECT_NE(Doc.StyleOf(0), Doc.StyleOf(1));
    EXPECT_TRUE(StyleOf(1).Unicode);

    // Without Unicode everything is 8-bit in the code page.
    Doc.Clear();
    Props.UnicodeMode = rvruNoUnicode;
    ASSERT_EQ(Read("\\f0\\fs20 Preis \\u8364?\\par"), 0);
    EXPECT_EQ(Dump(), "[p0]\"Preis ?\"");
}

TEST_F(RtfImportTest, AFontWithoutCharsetHoldsTextInTheDocumentsCodePage)
{
    // \ansicpg1251 and a font without \fcharset: the text is Cyrillic.
    ASSERT_EQ(Props.ReadRtfStreamIntoDocument("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Times New Roman;}}\\f0 "
                                              "\\'d3\\'d5\\'c2\\'c0\\'cb\\'c0\\par}",
                                              Doc),
              0);
    ASSERT_EQ(Doc.Count(), 1);
    EXPECT_EQ(StyleOf(0).Charset, 204);
    EXPECT_EQ(Utf16ToUtf8(AnsiToUnicode(Doc.TextAt(0), Sheet.CodePageOfStyle(Doc.StyleOf(0)))),
              "\u0423\u0425\u0412\u0410\u041B\u0410");
    // In code page 1252 such a font keeps the default charset.
    Doc.Clear();
    ASSERT_EQ(Read("\\f0 Gr\\'fc\\'df\\par"), 0);
    EXPECT_EQ(StyleOf(0).Charset, DEFAULT_CHARSET);
}

TEST_F(RtfImportTest, LinesTabsHiddenTextCapsKeepAndPageBreaks)
{
    ASSERT_EQ(Read("\\f0\\fs20 eins\\line zwei\\tab drei {\\v verborgen}vier\\par"
                   "\\pard\\keepn {\\caps gross}\\par\\page danach\\par"),
              0);
    EXPECT_EQ(Dump(), "[p0]\"eins\" /\"zwei\" <-12> \"drei \" \"vier\" [p1]\"gross\"s1 [p1^]\"danach\"");
    EXPECT_EQ(Sheet.ParaStyles[1].Options, TRVParaOptions{rvpaoKeepWithNext});
    EXPECT_EQ(Sheet.TextStyles[1].StyleEx, TRVFontStylesEx{rvfsAllCaps});

    Doc.Clear();
    Props.SkipHiddenText = false;
    Props.LineBreaksAsParagraphs = true;
    ASSERT_EQ(Read("\\f0\\fs20 eins\\line zwei {\\v verborgen}\\par"), 0);
    EXPECT_EQ(Dump(), "[p0]\"eins\" [p0]\"zwei \" \"verborgen\"");
}

TEST_F(RtfImportTest, HiddenTextAtAParagraphStartKeepsTheParagraph)
{
    ASSERT_EQ(Read("\\f0\\fs20 eins\\par{\\v weg}zwei\\par"), 0);
    EXPECT_EQ(Dump(), "[p0]\"eins\" [p0]\"zwei\"");
}

TEST_F(RtfImportTest, NamesAndLinksLoseControlCharactersSoThatTheDocumentFileReadsBack)
{
    // Escapes can put a zero byte or a line break into a bookmark's name or a link's target and
    // tip; items carrying them made a document file that could not be read again.
    ASSERT_EQ(Read("\\f0\\fs20 {\\*\\bkmkstart Ka\\'00pi\\'0a\\'09tel1}Text "
                   "{\\field{\\*\\fldinst HYPERLINK \"http://exa\\'0a\\'0dmple.org\" \\\\o \"Ti\\'0app\"}"
                   "{\\fldrslt Seite}}\\par"),
              0);
    const auto check = [](const TCustomRVData& doc) {
        ASSERT_EQ(doc.Count(), 2);
        ASSERT_TRUE(doc.ItemAt(0).Checkpoint());
        EXPECT_EQ(doc.ItemAt(0).Checkpoint()->Name, "Kapitel1");
        EXPECT_EQ(doc.TagOf(1), "http://example.org");
        EXPECT_EQ(doc.ItemAt(1).Hint, "Tipp");
    };
    check(Doc);
    std::string rvf;
    ASSERT_TRUE(TRVFWriter(Sheet, RVFMainWindowOptions).WriteDocument(Doc, nullptr, rvf));
    TRVStyle backSheet;
    TCustomRVData back(&backSheet);
    ASSERT_TRUE(TRVFReader(backSheet, RVFMainWindowOptions).ReadDocument(back, nullptr, rvf));
    check(back);
}

TEST_F(RtfImportTest, SequenceNamesLoseControlCharacters)
{
    ASSERT_EQ(Read("\\f0\\fs20 {\\field{\\*\\fldinst {SEQ Ab\\'04\\'00b }}{\\fldrslt {1}}}\\par"), 0);
    ASSERT_EQ(Doc.Count(), 1);
    ASSERT_EQ(Doc.StyleOf(0), rvsSequence);
    EXPECT_EQ(static_cast<const TRVSeqItemInfo&>(Doc.ItemAt(0)).SeqName, "Abb");
}

TEST_F(RtfImportTest, BookmarksNotesAndSequences)
{
    ASSERT_EQ(Read("\\f0\\fs20 {\\*\\bkmkstart Kapitel_1}{\\*\\bkmkend Kapitel_1}Text"
                   "{\\super\\chftn}{\\footnote\\pard\\plain\\f0\\fs20 {\\super\\chftn} Fu\\'df}"
                   " und{\\super\\chftn}{\\footnote\\ftnalt\\pard\\plain\\f0\\fs20 Schluss}"
                   " {\\field{\\*\\fldinst {SEQ Tabelle \\\\* ROMAN \\\\r 3 \\\\* MERGEFORMAT }}{\\fldrslt {III}}}\\par"),
              0);
    ASSERT_GE(Doc.Count(), 5);
    ASSERT_TRUE(Doc.ItemAt(0).Checkpoint());
    EXPECT_EQ(Doc.ItemAt(0).Checkpoint()->Name, "Kapitel_1");
    EXPECT_EQ(Doc.StyleOf(1), rvsFootnote);
    const auto& footnote = static_cast<const TRVFootnoteItemInfo&>(Doc.ItemAt(1));
    EXPECT_EQ(test::DocDump(footnote.NoteText()).find("<-205>") != std::string::npos, true)
        << test::DocDump(footnote.NoteText());
    EXPECT_NE(test::DocDump(footnote.NoteText()).find("Fu\xDF"), std::string::npos);
    EXPECT_EQ(Doc.StyleOf(3), rvsEndnote);
    EXPECT_NE(test::DocDump(static_cast<const TRVEndnoteItemInfo&>(Doc.ItemAt(3)).NoteText()).find("Schluss"),
              std::string::npos);
    const int last = Doc.Count() - 1;
    ASSERT_EQ(Doc.StyleOf(last), rvsSequence);
    const auto& seq = static_cast<const TRVSeqItemInfo&>(Doc.ItemAt(last));
    EXPECT_EQ(seq.SeqName, "Tabelle");
    EXPECT_EQ(seq.NumberType, rvseqUpperRoman);
    EXPECT_TRUE(seq.Reset);
    EXPECT_EQ(seq.StartFrom, 3);
    // The field's result is not read a second time.
    EXPECT_EQ(Dump().find("III"), std::string::npos);
}

TEST_F(RtfImportTest, LinksKeepTheirTargetsAndTips)
{
    Props.BasePath = "/home/user/briefe";
    ASSERT_EQ(Read("\\f0\\fs20 {\\field{\\*\\fldinst HYPERLINK \"http://example.org/a%20b\" \\\\o \"Tipp\"}"
                   "{\\fldrslt Seite}} und {\\field{\\*\\fldinst HYPERLINK \"anlage.pdf\" \\\\l \"teil\"}{\\fldrslt Datei}}"
                   " und {\\field{\\*\\fldinst HYPERLINK \"x%00y\"}{\\fldrslt Null}}\\par"),
              0);
    ASSERT_EQ(Doc.Count(), 5);
    EXPECT_TRUE(StyleOf(0).Jump);
    EXPECT_EQ(Doc.TagOf(0), "http://example.org/a b");
    EXPECT_EQ(Doc.ItemAt(0).Hint.str(), "Tipp");
    EXPECT_FALSE(StyleOf(1).Jump);
    EXPECT_EQ(Doc.TagOf(2), "/home/user/briefe/anlage.pdf#teil");
    EXPECT_EQ(Doc.TagOf(4), "/home/user/briefe/x%00y");

    // A handler decides the tag itself.
    Doc.Clear();
    Props.OnReadHyperlink = [](const std::string& target, const std::string&, int&, std::string& tag) {
        tag = "[" + target + "]";
    };
    ASSERT_EQ(Read("{\\field{\\*\\fldinst HYPERLINK \"/abs\"}{\\fldrslt x}}\\par"), 0);
    EXPECT_EQ(Doc.TagOf(0), "[/abs]");
}

TEST_F(RtfImportTest, PicturesWithTheirSizesAndALinkedPictureIsHot)
{
    const std::string png = test::EncodeRgbaPng(4, 2, std::string(32, '\x40'));
    ASSERT_EQ(Read("{\\pict\\pngblip\\picw4\\pich2\\picwgoal60\\pichgoal30 " + Hex(png) + "}"
                   "{\\pict\\pngblip\\picw4\\pich2\\picwgoal120\\pichgoal60\\picscalex50\\picscaley200 " + Hex(png) + "}"
                   "{\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt {\\pict\\pngblip " + Hex(png) + "}}}\\par"),
              0);
    ASSERT_EQ(Doc.Count(), 3);
    const auto& natural = static_cast<const TRVGraphicItemInfo&>(Doc.ItemAt(0));
    ASSERT_TRUE(natural.Image);
    EXPECT_EQ(natural.Image->SaveToBytes(), png);
    EXPECT_EQ(natural.ImageWidth, 0);
    EXPECT_EQ(natural.ImageHeight, 0);
    const auto& scaled = static_cast<const TRVGraphicItemInfo&>(Doc.ItemAt(1));
    EXPECT_EQ(scaled.ImageWidth, 4);
    EXPECT_EQ(scaled.ImageHeight, 8);
    EXPECT_EQ(Doc.StyleOf(2), rvsHotPicture);
    EXPECT_EQ(Doc.TagOf(2), "http://x/");
}

TEST_F(RtfImportTest, ADamagedPictureBecomesTheInvalidPictureAndTheRestIsRead)
{
    Sheet.SetInvalidPicture(LoadGraphic(test::EncodeRgbaPng(1, 1, std::string(4, '\0'))));
    ASSERT_EQ(Read("\\f0\\fs20 vor{\\pict\\pngblip 0011223344}nach\\par"), 0);
    ASSERT_EQ(Doc.Count(), 3);
    EXPECT_EQ(Doc.StyleOf(1), rvsPicture);
    EXPECT_TRUE(GraphicsEqual(static_cast<const TRVGraphicItemInfo&>(Doc.ItemAt(1)).Image.get(),
                              Sheet.InvalidPicture()));
    EXPECT_EQ(Doc.TextAt(2), "nach");
}

TEST_F(RtfImportTest, PageParametersComeWithAFileButNotWithAnInsertion)
{
    TRVDocParameters params;
    params.Units = rvuMillimeters;
    ASSERT_EQ(Read("\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134 Text\\par", &params), 0);
    EXPECT_NEAR(params.PageWidth, 210.0086, 1e-3);
    EXPECT_NEAR(params.PageHeight, 297.0036, 1e-3);
    EXPECT_NEAR(params.LeftMargin, 20.0025, 1e-3);
    EXPECT_NEAR(params.BottomMargin, 20.0025, 1e-3);
    EXPECT_NEAR(params.HeaderY, 12.7, 1e-9);
    EXPECT_NEAR(params.FooterY, 12.7, 1e-9);
    EXPECT_EQ(params.Orientation, poPortrait);

    int index = Doc.Count();
    const std::string rtf = std::string("{\\rtf1\\ansi") + Fonts + "\\paperw5000\\landscape neu\\par}";
    EXPECT_EQ(Props.InsertRtfStream(rtf, Doc, index), 0);
    EXPECT_EQ(index, 1);
    EXPECT_NEAR(params.PageWidth, 210.0086, 1e-3);
    EXPECT_EQ(Dump(), "[p0]\"Text\"s1 [p0]\"neu\"s1");
}

TEST_F(RtfImportTest, InsertingAtTheStartAndAnEmptyStream)
{
    ASSERT_EQ(Read("\\f0\\fs20 alt\\par"), 0);
    int index = 0;
    EXPECT_EQ(Props.InsertRtfStream({}, Doc, index), 0);
    EXPECT_EQ(index, -1);
    index = 0;
    EXPECT_EQ(Props.InsertRtfStream(std::string("{\\rtf1") + Fonts + "\\f0\\fs20 neu}", Doc, index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(Dump(), "[p0]\"neu\" [p0]\"alt\"");
}

TEST_F(RtfImportTest, ListParagraphsShareOneListStyle)
{
    const std::string lists =
        "{\\*\\listtable{\\list\\listtemplateid1\\listsimple1{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1"
        "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\fs20\\fi-360\\li720}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}";
    ASSERT_EQ(Read(lists + "\\pard\\ls1\\ilvl0\\fi-360\\li720\\f0\\fs20 eins\\par\\pard\\ls1\\ilvl0\\fi-360\\li720 zwei\\par"
                           "\\pard ohne\\par"),
              0);
    ASSERT_EQ(Sheet.ListStyles.Count(), 1);
    const TRVListLevel& level = Sheet.ListStyles[0].Levels[0];
    EXPECT_EQ(level.ListType, rvlstDecimal);
    EXPECT_EQ(level.FormatString, "%s.");
    EXPECT_EQ(level.LeftIndent, 48);
    EXPECT_EQ(level.MarkerIndent, 24);
    ASSERT_EQ(Doc.Count(), 5) << Dump();
    EXPECT_TRUE(Doc.ItemAt(0).IsListMarker());
    EXPECT_TRUE(Doc.ItemAt(2).IsListMarker());
    EXPECT_EQ(static_cast<const TRVMarkerItemInfo&>(Doc.ItemAt(2)).ListNo, 0);
    EXPECT_EQ(static_cast<const TRVMarkerItemInfo&>(Doc.ItemAt(2)).DisplayText, "2.");
    EXPECT_FALSE(Doc.ItemAt(4).IsListMarker());

    // The same list read again reuses the list style.
    Doc.Clear();
    ASSERT_EQ(Read(lists + "\\pard\\ls1\\ilvl0\\fi-360\\li720\\f0\\fs20 eins\\par"), 0);
    EXPECT_EQ(Sheet.ListStyles.Count(), 1);
}

TEST_F(RtfImportTest, AListLevelKeepsTheMarkerFontItGivesAndOtherwiseTakesTheText)
{
    // Level 0 gives its font (9 points, red, bold); level 1 gives none and takes the size,
    // colour and style of its first paragraph's text.
    const std::string lists =
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "{\\*\\listtable{\\list\\listtemplateid1"
        "{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\b\\fs18\\cf1}"
        "{\\listlevel\\levelnfc4\\leveljc0\\levelstartat1{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}\\f0}"
        "\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}";
    ASSERT_EQ(Read(lists + "\\pard\\ls1\\ilvl0\\f1\\fs28\\cf2 eins\\par\\pard\\ls1\\ilvl1\\f1\\i\\fs28\\cf2 zwei\\par"), 0);
    ASSERT_EQ(Sheet.ListStyles.Count(), 1);
    const TFontDescription& given = Sheet.ListStyles[0].Levels[0].EffectiveFont();
    EXPECT_EQ(given.Size, 9);
    EXPECT_EQ(given.Color, TColor(0x0000FF));
    EXPECT_EQ(given.Style, TFontStyles{fsBold});
    const TFontDescription& taken = Sheet.ListStyles[0].Levels[1].EffectiveFont();
    EXPECT_EQ(taken.Size, 14);
    EXPECT_EQ(taken.Color, TColor(0xFF0000));
    EXPECT_EQ(taken.Style, TFontStyles{fsItalic});
}

TEST_F(RtfImportTest, LegacyBulletParagraphsShareOneListStyle)
{
    ASSERT_EQ(Read("{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720\\f0\\fs20 a\\par"
                   "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 b\\par"),
              0);
    ASSERT_EQ(Sheet.ListStyles.Count(), 1);
    EXPECT_EQ(Sheet.ListStyles[0].Levels[0].ListType, rvlstBullet);
    EXPECT_EQ(Sheet.ListStyles[0].Levels[0].FormatString, "\xB7");
    ASSERT_EQ(Doc.Count(), 4) << Dump();
    EXPECT_EQ(static_cast<const TRVMarkerItemInfo&>(Doc.ItemAt(0)).ListNo, 0);
    EXPECT_EQ(static_cast<const TRVMarkerItemInfo&>(Doc.ItemAt(2)).ListNo, 0);
    EXPECT_EQ(Doc.TextAt(3), "b"); // the "pntext" label is not read as text
}

TEST_F(RtfImportTest, ALegacyNumberedListWithoutAFontNumbersInTheParagraphsFont)
{
    ASSERT_EQ(Read("{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li720\\f1\\fs20 a\\par"
                   "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li720 b\\par"
                   "{\\*\\pn\\pnlvlbody\\pndec\\pnf9{\\pntxta .}}\\fi-360\\li720 c\\par"),
              0);
    ASSERT_EQ(Doc.Count(), 6) << Dump();
    const auto& second = static_cast<const TRVMarkerItemInfo&>(Doc.ItemAt(2));
    EXPECT_EQ(second.ListNo, 0);
    EXPECT_EQ(second.DisplayText, "2.");
    EXPECT_EQ(Sheet.ListStyles[0].Levels[0].EffectiveFont().Name, "Times New Roman");
    // A font number the font table lacks leaves the marker without a list.
    EXPECT_EQ(static_cast<const TRVMarkerItemInfo&>(Doc.ItemAt(4)).ListNo, -1);
}

TEST_F(RtfImportTest, ANoteLeftOpenAcrossTableRowsReadsSafely)
{
    // Found by fuzzing: a footnote whose group stays open over cell and row ends once left the
    // import pointing into a cell that was done with.
    const std::string rtf = test::ReadBytes(std::filesystem::path(XQ_SOURCE_DIR) / "tests/data/rtf/damaged-note-across-rows.rtf");
    ASSERT_FALSE(rtf.empty());
    Props.ReadRtfStreamIntoDocument(rtf, Doc, nullptr);
    EXPECT_GT(Doc.Count(), 0);
    EXPECT_NE(Dump().find("Lor"), std::string::npos);
}

TEST_F(RtfImportTest, SettingsAreValidatedAndCopied)
{
    EXPECT_THROW(Props.SetTextStyleNo(-1), EDocViewError);
    EXPECT_THROW(Props.SetParaStyleNo(-1), EDocViewError);
    Props.SetTextStyleNo(2);
    Props.IgnoreBookmarks = true;
    Props.IgnoreTables = true;
    TRVRTFReaderProperties copy;
    copy.Assign(Props);
    EXPECT_EQ(copy.TextStyleNo(), 2);
    EXPECT_EQ(copy.UnicodeMode, rvruMixed);
    EXPECT_TRUE(copy.IgnoreTables);
    EXPECT_FALSE(copy.IgnoreBookmarks);
    EXPECT_FALSE(copy.ReadDocParameters);
}

TEST_F(RtfImportTest, SpecifiedStylesAndIgnoredParts)
{
    Props.TextStyleMode = rvrsUseSpecified;
    Props.ParaStyleMode = rvrsUseSpecified;
    Props.IgnoreBookmarks = true;
    Props.IgnorePictures = true;
    Props.IgnoreSequences = true;
    ASSERT_EQ(Read("{\\*\\bkmkstart b}\\b\\qc fett{\\pict\\pngblip 00}"
                   "{\\field{\\*\\fldinst SEQ x}{\\fldrslt 7}}\\par"),
              0);
    EXPECT_EQ(Dump(), "[p0]\"fett\" \"7\"");
    EXPECT_EQ(Sheet.TextStyles.Count(), 1);
    EXPECT_EQ(Sheet.ParaStyles.Count(), 1);
}

} // namespace
} // namespace xq

// Lists in RTF: the list table and its overrides byte for byte (with fixed identifiers), list
// paragraphs and markers in the body, labels and sequence fields, the style sheet, and the
// parts of a document a selection writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfLists.h"
#include "formats/rtf/RtfWriter.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "tables/TableItem.h"

namespace xq {
namespace {

constexpr const char* ColorTable =
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;\\red0\\green255\\blue0;"
    "\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;\\red255\\green255\\blue255;\\red0"
    "\\green0\\blue128;\\red0\\green128\\blue128;\\red0\\green128\\blue0;\\red128\\green0\\blue128;\\red128\\green0"
    "\\blue0;\\red128\\green128\\blue0;\\red128\\green128\\blue128;\\red192\\green192\\blue192;}";

constexpr const char* OneFontHeader = "{\\rtf1\\ansi\\ansicpg0\\uc1\\deff0\\deflang0\\deflangfe0{\\fonttbl{\\f0\\fnil Arial;}}";

/// The paragraph keywords of a list paragraph indented as the lists of these tests are.
constexpr const char* ListPard = "\\pard\\li360\\fi-360\\jclisttab\\tx360\\ql\\ri0\\sb0\\sa0\\itap0 ";

class RtfListsTest : public ::testing::Test {
protected:
    RtfListsTest()
    {
        while (Sheet.TextStyles.Count() > 1)
            Sheet.TextStyles.Delete(Sheet.TextStyles.Count() - 1);
        Settings.Options = {};
        // Identifiers 100, 101, ...: every list table of these tests has known bytes.
        Settings.ListIdSource = [this] { return NextId++; };
    }

    /// A list style with one level per kind, each indented 24 pixels with its marker at 0.
    int AddList(std::initializer_list<TRVListType> kinds, const std::string& format = "%0:s.")
    {
        TRVListInfo& list = Sheet.ListStyles.Add();
        for (TRVListType kind : kinds) {
            TRVListLevel& level = list.Levels.Add();
            level.ListType = kind;
            level.FormatString = format;
            level.LeftIndent = 24;
            level.FirstIndent = 0;
            level.MarkerIndent = 0;
        }
        return Sheet.ListStyles.Count() - 1;
    }
    TRVMarkerItemInfo& AddPara(TCustomRVData& doc, int listNo, int level = 0, bool reset = false, int startFrom = 1,
                               const std::string& text = "x")
    {
        auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, level, startFrom, reset);
        TRVMarkerItemInfo& added = *marker;
        doc.AppendItem({}, std::move(marker));
        doc.AppendText(text, 0, -1);
        return added;
    }
    TRVMarkerItemInfo& AddPara(int listNo, int level = 0, bool reset = false, int startFrom = 1)
    {
        return AddPara(Doc, listNo, level, reset, startFrom);
    }

    std::string Rtf()
    {
        std::string out;
        EXPECT_TRUE(WriteRtfDocument(Doc, Settings, out));
        return out;
    }
    std::string Selection(const TCustomRVData& data, TRVRTFRange range)
    {
        std::string out;
        EXPECT_TRUE(WriteRtfSelection(data, Settings, out, range));
        return out;
    }
    /// What stands between the colour table and the header hook's line.
    static std::string Tables(const std::string& rtf)
    {
        const auto from = rtf.find("}", rtf.find("{\\colortbl")) + 1;
        const auto to = rtf.find("\\uc0\r\n");
        return to == std::string::npos || to < from + 2 ? rtf : rtf.substr(from, to - 2 - from);
    }
    /// The body: what follows the header's "\uc0" line.
    static std::string Body(const std::string& rtf)
    {
        const auto at = rtf.find("\\uc0\r\n");
        return at == std::string::npos ? rtf : rtf.substr(at + 6);
    }
    /// The "{\listlevel" groups of an RTF text, in order.
    static std::vector<std::string> LevelGroups(const std::string& rtf)
    {
        std::vector<std::string> groups;
        for (auto at = rtf.find("{\\listlevel"); at != std::string::npos; at = rtf.find("{\\listlevel", at + 1))
            groups.push_back(rtf.substr(at, rtf.find("}\r\n", at) + 1 - at));
        return groups;
    }
    static int Occurrences(const std::string& text, const std::string& part)
    {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
            ++n;
        return n;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVRTFWriteSettings Settings;
    std::uint32_t NextId = 100;
};

// ---------------------------------------------------------------------------------------------
// The list table

TEST_F(RtfListsTest, AOneLevelDecimalListWholeDocumentByteForByte)
{
    AddList({rvlstDecimal});
    AddPara(Doc, 0, 0, false, 1, "eins");
    EXPECT_EQ(Rtf(), std::string(OneFontHeader) + ColorTable +
                         "{\\*\\listtable{\\list\\listtemplateid100\\listsimple1\r\n"
                         "{\\listlevel\\levelnfc0\\leveljc0\\li360\\fi-360\\jclisttab\\tx360\\levelstartat1"
                         "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\fs16}\r\n"
                         "\\listid101}\r\n}\r\n"
                         "{\\*\\listoverridetable\r\n{\\listoverride\\listid101\\listoverridecount0\\ls1}\r\n}\r\n"
                         "\r\n\\uc0\r\n" +
                         ListPard + "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\fs20 eins\\par}");
    // The host's header text follows the list tables.
    Settings.OnSaveRTFExtra = [](TRVRTFSaveArea area, const void*, int, int, bool, std::string& code) {
        if (area == rtfsaDocHeader)
            code = "\\margl1";
    };
    EXPECT_NE(Rtf().find("\\ls1}\r\n}\r\n\\margl1\r\n\\uc0\r\n"), std::string::npos) << Rtf();
}

TEST_F(RtfListsTest, AThreeLevelStyleWritesNineLevelsRepeatingTheLast)
{
    const int list = AddList({rvlstDecimal, rvlstLowerAlpha, rvlstUpperRoman});
    for (int k = 0; k < 3; ++k)
        Sheet.ListStyles[list].Levels[k].LeftIndent = 24 * (k + 1);
    const std::string rtf = Rtf();
    EXPECT_EQ(rtf.find("\\listsimple"), std::string::npos) << rtf;
    const std::vector<std::string> groups = LevelGroups(rtf);
    ASSERT_EQ(groups.size(), 9u) << rtf;
    EXPECT_EQ(groups[0], "{\\listlevel\\levelnfc0\\leveljc0\\li360\\fi-360\\jclisttab\\tx360\\levelstartat1"
                         "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\fs16}");
    EXPECT_NE(groups[1].find("\\levelnfc4\\leveljc0\\li720\\fi-720\\jclisttab\\tx720"), std::string::npos) << groups[1];
    EXPECT_NE(groups[2].find("\\levelnfc1\\leveljc0\\li1080\\fi-1080\\jclisttab\\tx1080"), std::string::npos) << groups[2];
    for (std::size_t k = 3; k < 9; ++k)
        EXPECT_EQ(groups[k], groups[2]) << "level " << k + 1 << " repeats level 3";
    // One list, one template: one identifier each, in the order drawn.
    EXPECT_NE(rtf.find("{\\list\\listtemplateid100\r\n{\\listlevel"), std::string::npos);
    EXPECT_NE(rtf.find("}\r\n\\listid101}\r\n}\r\n"), std::string::npos);
}

TEST_F(RtfListsTest, LevelTextsNumbersAndOptions)
{
    // Two levels: the inner one shows both numbers, "1.2." style.
    const int list = AddList({rvlstUpperRoman, rvlstLowerAlpha}, "%0:s.%1:s.");
    TRVListLevel& outer = Sheet.ListStyles[list].Levels[0];
    outer.FormatString = "(%0:s)";
    outer.StartFrom = 3;
    outer.MarkerAlignment = rvmaRight;
    TRVListLevel& inner = Sheet.ListStyles[list].Levels[1];
    inner.Options = {rvloLegalStyleNumbering};
    inner.MarkerAlignment = rvmaCenter;
    const std::vector<std::string> groups = LevelGroups(Rtf());
    ASSERT_EQ(groups.size(), 9u);
    EXPECT_EQ(groups[0], "{\\listlevel\\levelnfc1\\leveljc2\\li360\\fi-360\\jclisttab\\tx360\\levelstartat3"
                         "{\\leveltext\\'03(\\'00);}{\\levelnumbers\\'02;}\\f0\\fs16}");
    EXPECT_EQ(groups[1], "{\\listlevel\\levelnfc4\\leveljc1\\li360\\fi-360\\jclisttab\\tx360\\levelstartat1"
                         "\\levellegal1\\levelnorestart1{\\leveltext\\'04\\'00.\\'01.;}{\\levelnumbers\\'01\\'03;}"
                         "\\f0\\fs16}");
}

TEST_F(RtfListsTest, LevelTextsOfOtherKindsAndTheirLimits)
{
    const int list = AddList({rvlstDecimal, rvlstBullet, rvlstUnicodeBullet, rvlstPicture, rvlstImageListCounter});
    auto& levels = Sheet.ListStyles[list].Levels;
    levels[0].FormatString = "%0:s" + std::string(300, '-');     // cut to 255 characters
    levels[1].FormatString = std::string(299, '*') + "{";         // cut before the brace
    levels[2].FormatStringW = u"\u25CF";
    levels[4].FormatString = "%5:s";                               // a placeholder for level 5
    const std::vector<std::string> groups = LevelGroups(Rtf());
    ASSERT_EQ(groups.size(), 9u);
    EXPECT_NE(groups[0].find("{\\leveltext\\'ff\\'00" + std::string(254, '-') + ";}{\\levelnumbers\\'01;}"),
              std::string::npos)
        << groups[0];
    EXPECT_NE(groups[1].find("\\levelnfc23\\leveljc0\\li360\\fi-360\\jclisttab\\tx360{\\leveltext\\'ff" +
                             std::string(255, '*') + ";}{\\levelnumbers;}\\f0\\fs16}"),
              std::string::npos)
        << "a bullet has no start value and no numbers: " << groups[1];
    EXPECT_NE(groups[2].find("\\levelnfc23\\leveljc0\\li360\\fi-360\\jclisttab\\tx360{\\leveltext\\'01\\u9679 ;}"
                             "{\\levelnumbers;}\\f0\\fs16}"),
              std::string::npos)
        << groups[2];
    EXPECT_NE(groups[3].find("\\levelnfc23\\leveljc0\\li360\\fi-360\\jclisttab\\tx360{\\leveltext\\'00;}"
                             "{\\levelnumbers;}}"),
              std::string::npos)
        << "a picture level has no text and no font: " << groups[3];
    EXPECT_NE(groups[4].find("\\levelnfc0\\leveljc0\\li360\\fi-360\\jclisttab\\tx360\\levelstartat1"
                             "{\\leveltext\\'01\\'05;}{\\levelnumbers\\'01;}}"),
              std::string::npos)
        << groups[4];
    // A malformed template stands as it is, like the marker shows it.
    levels[0].FormatString = "%d.";
    EXPECT_NE(LevelGroups(Rtf())[0].find("{\\leveltext\\'03%d.;}{\\levelnumbers;}"), std::string::npos);
}

TEST_F(RtfListsTest, ABulletLevelBringsItsFontAndColour)
{
    const int list = AddList({rvlstBullet}, "l");
    TRVMarkerFont& font = Sheet.ListStyles[list].Levels[0].EditFont();
    font.Name = "Wingdings";
    font.Charset = 2;
    font.Size = 10;
    font.Color = 0x123456;
    font.Style = {fsBold, fsItalic};
    AddPara(list);
    const std::string rtf = Rtf();
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset2 Wingdings;}}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\red192\\green192\\blue192;\\red86\\green52\\blue18;}"), std::string::npos)
        << "the marker colour joins the colour table: " << rtf;
    const std::string fontKeywords = "\\f1\\b\\i\\fs20\\lang1024\\cf17";
    EXPECT_NE(Tables(rtf).find("{\\leveltext\\'01l;}{\\levelnumbers;}" + fontKeywords + "}"), std::string::npos)
        << Tables(rtf);
    EXPECT_NE(Body(rtf).find("{\\listtext\\pard\\plain" + fontKeywords + " l\\tab}\\ls1\\ilvl0 "), std::string::npos)
        << Body(rtf);
}

TEST_F(RtfListsTest, AUnicodeBulletMarkerIsWrittenAsUnicode)
{
    const int list = AddList({rvlstUnicodeBullet});
    Sheet.ListStyles[list].Levels[0].FormatStringW = u"\u2192";
    AddPara(list);
    EXPECT_NE(Body(Rtf()).find("{\\listtext\\pard\\plain\\f0\\fs16 \\u8594 \\tab}\\ls1\\ilvl0 "), std::string::npos)
        << Body(Rtf());
}

TEST_F(RtfListsTest, APictureMarkerIsItsPictureAtItsNaturalSize)
{
    const int list = AddList({rvlstPicture});
    const std::string png = test::EncodeRgbaPng(3, 2, std::string(24, '\x7F'));
    const auto graphic = LoadGraphic(png);
    ASSERT_TRUE(graphic);
    Sheet.ListStyles[list].Levels[0].SetPicture(graphic.get());
    AddPara(list);
    const std::string body = Body(Rtf());
    // No text marker and no scale: the picture as it is, then the paragraph's text.
    EXPECT_EQ(body.find("{\\listtext"), std::string::npos) << body;
    const auto pict = body.find("{\\pict\\pngblip\\picw3\\pich2 ");
    ASSERT_NE(pict, std::string::npos) << body;
    EXPECT_LT(pict, body.find("x\\par}"));
}

// ---------------------------------------------------------------------------------------------
// Overrides, "\ls" numbers and identifiers

TEST_F(RtfListsTest, MarkersThatStartAnewGetOverridesAndShiftTheNextList)
{
    const int numbered = AddList({rvlstDecimal, rvlstDecimal});
    const int other = AddList({rvlstDecimal});
    AddPara(numbered);
    AddPara(numbered, 0, true, 5);
    AddPara(numbered, 1, true, 7);
    AddPara(other);
    AddPara(numbered);
    const std::string rtf = Rtf();
    EXPECT_NE(rtf.find("{\\*\\listoverridetable\r\n"
                       "{\\listoverride\\listid101\\listoverridecount0\\ls1}\r\n"
                       "{\\listoverride\\listid101\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls2}\r\n"
                       "{\\listoverride\\listid101\\listoverridecount2{\\lfolevel}{\\lfolevel\\listoverridestartat"
                       "\\levelstartat7}\\ls3}\r\n"
                       "{\\listoverride\\listid103\\listoverridecount0\\ls4}\r\n}\r\n"),
              std::string::npos)
        << rtf;
    const std::string body = Body(rtf);
    EXPECT_NE(body.find("1.\\tab}\\ls1\\ilvl0 "), std::string::npos) << body;
    EXPECT_NE(body.find("5.\\tab}\\ls2\\ilvl0 "), std::string::npos) << body;
    EXPECT_NE(body.find("5.\\tab}\\ls3\\ilvl1 "), std::string::npos) << "level 1 shows level 0's number: " << body;
    EXPECT_NE(body.find("1.\\tab}\\ls4\\ilvl0 "), std::string::npos) << body;
    EXPECT_NE(body.find("6.\\tab}\\ls1\\ilvl0 "), std::string::npos) << "markers that continue use the list's own entry";
}

TEST_F(RtfListsTest, OnlyRestartsAtNumberedLevelsAreOverridden)
{
    const int bullets = AddList({rvlstBullet});
    const int numbered = AddList({rvlstDecimal});
    AddPara(bullets, 0, true, 4); // a bullet has nothing to restart
    AddPara(numbered, 0, true, 2);
    AddPara(numbered, 3, true, 9); // beyond the last level: it is level 0
    const std::string rtf = Rtf();
    EXPECT_EQ(Occurrences(rtf, "{\\listoverride\\listid"), 4) << rtf;
    EXPECT_NE(rtf.find("{\\listoverride\\listid101\\listoverridecount0\\ls1}\r\n"
                       "{\\listoverride\\listid103\\listoverridecount0\\ls2}\r\n"
                       "{\\listoverride\\listid103\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat2}\\ls3}\r\n"
                       "{\\listoverride\\listid103\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat9}\\ls4}\r\n"),
              std::string::npos)
        << rtf;
    const std::string body = Body(rtf);
    EXPECT_NE(body.find("\\tab}\\ls1\\ilvl0 "), std::string::npos) << body;
    EXPECT_NE(body.find("2.\\tab}\\ls3\\ilvl0 "), std::string::npos) << body;
    EXPECT_NE(body.find("9.\\tab}\\ls4\\ilvl0 "), std::string::npos) << body;
}

TEST_F(RtfListsTest, IdentifiersAreUniqueAmongListsAndTemplatesTogether)
{
    AddList({rvlstDecimal});
    AddList({rvlstDecimal});
    // The generator repeats itself: taken numbers are drawn again, whichever set took them.
    std::vector<std::uint32_t> draws{7, 7, 9, 9, 7, 11, 2147483647u + 12};
    std::size_t next = 0;
    Settings.ListIdSource = [&] { return draws[std::min(next++, draws.size() - 1)]; };
    std::string rtf = Rtf();
    EXPECT_NE(rtf.find("{\\list\\listtemplateid7\\listsimple1\r\n"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\listid9}\r\n{\\list\\listtemplateid11\\listsimple1"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\listid12}\r\n}\r\n"), std::string::npos) << "brought into 0..2147483646: " << rtf;
    EXPECT_NE(rtf.find("{\\listoverride\\listid9\\listoverridecount0\\ls1}\r\n"
                       "{\\listoverride\\listid12\\listoverridecount0\\ls2}"),
              std::string::npos);

    // A generator that always gives the same number still ends, with the next free numbers.
    Settings.ListIdSource = [] { return 5u; };
    rtf = Rtf();
    EXPECT_NE(rtf.find("\\listtemplateid5\\"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\listid6}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\listtemplateid7\\"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\listid8}"), std::string::npos) << rtf;
}

TEST_F(RtfListsTest, WithoutAGeneratorIdentifiersAreRandomButStillDistinct)
{
    for (int k = 0; k < 20; ++k)
        AddList({rvlstBullet});
    Settings.ListIdSource = nullptr;
    const std::string rtf = Rtf();
    std::vector<std::string> ids;
    const std::string tables = Tables(rtf);
    for (const std::string& key : {std::string("\\listtemplateid"), std::string("}\r\n\\listid")})
        for (auto at = tables.find(key); at != std::string::npos; at = tables.find(key, at + 1)) {
            const auto digits = at + key.size();
            ids.push_back(tables.substr(digits, tables.find_first_not_of("0123456789", digits) - digits));
        }
    ASSERT_EQ(ids.size(), 40u) << tables;
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

// ---------------------------------------------------------------------------------------------
// List paragraphs in the body

TEST_F(RtfListsTest, ListParagraphsAreIndentedByTheirLevelAndSkipTheTabsBeforeTheText)
{
    const int list = AddList({rvlstDecimal, rvlstDecimal});
    Sheet.ListStyles[list].Levels[1].LeftIndent = 48;
    Sheet.ListStyles[list].Levels[1].FirstIndent = 4;
    Sheet.ListStyles[list].Levels[1].MarkerIndent = 30;
    TParaInfo& para = Sheet.ParaStyles[0];
    para.Tabs.Add(10);
    para.Tabs.Add(24, rvtaRight);
    para.Tabs.Add(40, rvtaCenter, "-");
    para.Tabs.Add(60);
    AddPara(list, 0);
    AddPara(list, 0);
    AddPara(list, 1);
    Doc.AppendText("ohne", 0, 0);
    const std::string body = Body(Rtf());
    EXPECT_EQ(body, "\\pard\\li360\\fi-360\\jclisttab\\tx360\\tqc\\tlhyph\\tx600\\tx900\\ql\\ri0\\sb0\\sa0\\itap0 "
                    "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\fs20 x\r\n"
                    "\\par \\plain{\\listtext\\pard\\plain\\f0\\fs16 2.\\tab}\\ls1\\ilvl0 \\plain \\f0\\fs20 x\r\n"
                    "\\par \\plain\\pard\\li720\\fi-270\\jclisttab\\tx780\\tx900\\ql\\ri0\\sb0\\sa0\\itap0 "
                    "{\\listtext\\pard\\plain\\f0\\fs16 2.\\tab}\\ls1\\ilvl1 \\plain \\f0\\fs20 x\r\n"
                    "\\par \\plain\\pard\\fi0\\li0\\tx150\\tqr\\tx360\\tqc\\tlhyph\\tx600\\tx900\\ql\\ri0\\sb0\\sa0\\itap0 "
                    "\\plain \\f0\\fs20 ohne\\par}")
        << "the same level needs no new keywords, another level or none does";
}

TEST_F(RtfListsTest, AMarkerWithoutAListWritesNothing)
{
    AddList({rvlstDecimal});
    AddPara(-1);
    const std::string body = Body(Rtf());
    EXPECT_EQ(body.find("\\listtext"), std::string::npos) << body;
    EXPECT_EQ(body.find("\\jclisttab"), std::string::npos) << "a paragraph without a list keeps its style's indents";
}

TEST_F(RtfListsTest, LabelsAndSequencesAreWrittenInTheirTextStyle)
{
    TFontInfo& bold = Sheet.TextStyles.Add();
    bold.CopyStyle(Sheet.TextStyles[0]);
    bold.Style = {fsBold};
    auto label = std::make_unique<TRVLabelItemInfo>();
    label->TextStyleNo = 1;
    label->Text = "Abb.{1}";
    Doc.AppendItem({}, std::move(label));
    auto seq = std::make_unique<TRVSeqItemInfo>();
    seq->TextStyleNo = 1;
    seq->SeqName = "Bild";
    seq->NumberType = rvseqUpperRoman;
    seq->Reset = true;
    seq->StartFrom = 3;
    seq->ParaNo = -1;
    Doc.AppendItem({}, std::move(seq));
    auto second = std::make_unique<TRVSeqItemInfo>();
    second->SeqName = "bild";
    second->ParaNo = -1;
    Doc.AppendItem({}, std::move(second));
    const std::string body = Body(Rtf());
    EXPECT_EQ(body, "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\b\\fs20 Abb.\\{1\\}"
                    "{\\field{\\*\\fldinst {SEQ Bild \\\\* ROMAN \\\\r 3 \\\\* MERGEFORMAT }}{\\fldrslt {III}}}"
                    "\\plain \\f0\\fs20 {\\field{\\*\\fldinst {SEQ bild \\\\* ARABIC \\\\* MERGEFORMAT }}{\\fldrslt {4}}}"
                    "\\par}");
}

// ---------------------------------------------------------------------------------------------
// The style sheet

TEST_F(RtfListsTest, TheStyleSheetNamesStandardStylesAndTheBodyRefersToThem)
{
    Sheet.ParaStyles[0].StyleName = "Normal";
    Sheet.ParaStyles[1].StyleName = "Mitte{n}\\";
    TParaInfo& hidden = Sheet.ParaStyles.Add();
    hidden.Standard = false;
    hidden.SpaceAfter = 2;
    Sheet.TextStyles[0].StyleName = "Text";
    TFontInfo& own = Sheet.TextStyles.Add();
    own.CopyStyle(Sheet.TextStyles[0]);
    own.Standard = false;
    own.Style = {fsItalic};
    Doc.AppendText("a", 0, 0);
    Doc.AppendText("b", 1, 1);
    Doc.AppendText("c", 0, 2);
    int inSheet = 0;
    Settings.OnSaveRTFExtra = [&](TRVRTFSaveArea area, const void*, int, int, bool styleSheet, std::string&) {
        inSheet += styleSheet && (area == rtfsaParaStyle || area == rtfsaTextStyle);
    };
    Settings.Options = {rvrtfSaveStyleSheet};
    const std::string rtf = Rtf();
    EXPECT_NE(rtf.find(std::string(ColorTable) +
                       "{\\stylesheet{\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0 Normal;}{\\s1\\fi0\\li0\\qc\\ri0\\sb0\\sa0 Mitte_n__;}"
                       "{\\*\\cs3\\f0\\fs20 Text;}}\r\n\r\n\\uc0"),
              std::string::npos)
        << rtf;
    EXPECT_EQ(inSheet, 3);
    EXPECT_EQ(Body(rtf), "\\pard\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\cs3\\f0\\fs20 a\r\n"
                         "\\par \\pard\\s1\\fi0\\li0\\qc\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\i\\fs20 b\r\n"
                         "\\par \\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa30\\itap0 \\plain \\cs3\\f0\\fs20 c\\par}");
    // Without the option there is neither a style sheet nor a reference to it.
    Settings.Options = {};
    EXPECT_EQ(Rtf().find("\\s"), Rtf().find("\\sb0")) << "the first \\s is a space keyword";
    EXPECT_EQ(Rtf().find("\\cs"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Selections

TEST_F(RtfListsTest, ASelectionInsideOneParagraphWritesOnlyTheSelectedCharacters)
{
    Doc.AppendText("Hallo Welt", 0, 0);
    Doc.AppendText("weiter", 0, 0);
    // The item starts its paragraph, so the paragraph keywords come with it.
    const std::string head =
        std::string(OneFontHeader) + ColorTable + "\r\n\r\n\\uc0\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 ";
    EXPECT_EQ(Selection(Doc, {0, 2, 0, 5}), head + "\\plain \\f0\\fs20 all}") << "no paragraph end is selected";
    EXPECT_EQ(Selection(Doc, {0, 5, 0, 2}), head + "\\plain \\f0\\fs20 all}") << "the ends in either order";
    // To the end of the paragraph: its end is written.
    EXPECT_EQ(Selection(Doc, {0, 7, 0, 11}), head + "\\plain \\f0\\fs20 Welt\\par}");
    // Over a paragraph break.
    EXPECT_EQ(Selection(Doc, {0, 7, 1, 3}), head + "\\plain \\f0\\fs20 Welt\r\n\\par we}");
    // Up to the start of the next paragraph: the break is selected, nothing of the next one.
    EXPECT_EQ(Selection(Doc, {0, 7, 1, 1}), head + "\\plain \\f0\\fs20 Welt\\par}");
    // Starting in an item that continues its paragraph: the characters alone.
    Doc.AppendText("!", 0, -1);
    EXPECT_EQ(Selection(Doc, {2, 1, 2, 2}), std::string(OneFontHeader) + ColorTable + "\r\n\r\n\\uc0\\plain \\f0\\fs20 !\\par}");
}

TEST_F(RtfListsTest, NothingSelectedWritesNothingAndSucceeds)
{
    Doc.AppendText("Hallo", 0, 0);
    Doc.AppendText("Welt", 0, -1);
    EXPECT_EQ(Selection(Doc, {0, 3, 0, 3}), "");
    EXPECT_EQ(Selection(Doc, {0, 6, 1, 1}), "") << "the end of one item is the start of the next";
    EXPECT_EQ(Selection(Doc, {-1, 0, -1, 0}), "") << "no selection at all";
    EXPECT_NE(Selection(Doc, {0, 6, 1, 2}), "");
}

TEST_F(RtfListsTest, ASelectionStartingInAListParagraphWritesTheParagraphAndMarkerFirst)
{
    const int list = AddList({rvlstDecimal});
    AddPara(Doc, list, 0, false, 1, "eins");
    AddPara(Doc, list, 0, true, 4, "zwei");
    const std::string prelude = ListPard; // after the CRLF that Body takes away
    // In the second paragraph, after its marker: the marker keeps its override.
    EXPECT_EQ(Body(Selection(Doc, {3, 2, 3, 5})),
              prelude + "{\\listtext\\pard\\plain\\f0\\fs16 4.\\tab}\\ls2\\ilvl0 \\plain \\f0\\fs20 wei\\par}");
    // Starting right after the marker: the marker once.
    const std::string fromMarkerEnd = Body(Selection(Doc, {2, 1, 3, 3}));
    EXPECT_EQ(fromMarkerEnd, prelude + "{\\listtext\\pard\\plain\\f0\\fs16 4.\\tab}\\ls2\\ilvl0 \\plain \\f0\\fs20 zw}");
    // Starting before the marker is the ordinary paragraph start.
    EXPECT_EQ(Body(Selection(Doc, {2, 0, 3, 3})), fromMarkerEnd);
    // With the style sheet the paragraph style is named too.
    Settings.Options = {rvrtfSaveStyleSheet};
    EXPECT_EQ(Body(Selection(Doc, {3, 2, 3, 3})).rfind("\\pard\\s0\\li360\\fi-360", 0), 0u);
    Settings.Options = {};
    // Over two list paragraphs from inside the first.
    EXPECT_EQ(Body(Selection(Doc, {1, 4, 3, 2})),
              prelude + "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\fs20 s\r\n"
                        "\\par \\plain{\\listtext\\pard\\plain\\f0\\fs16 4.\\tab}\\ls2\\ilvl0 \\plain \\f0\\fs20 z}");
}

TEST_F(RtfListsTest, ASelectionInsideACellIsADocumentOfItsOwn)
{
    TFontInfo& red = Sheet.TextStyles.Add();
    red.CopyStyle(Sheet.TextStyles[0]);
    red.Color = 0x123456;
    const int list = AddList({rvlstDecimal});
    Doc.AppendText("davor", 0, 0);
    auto table = std::make_unique<TRVTableItemInfo>(1, 2, &Doc);
    TRVTableItemInfo& added = *table;
    Doc.AppendItem({}, std::move(table));
    TRVTableCellData& cell = *added.Cells(0, 1);
    cell.Clear();
    AddPara(cell, list, 0, true, 3, "Zelle");
    cell.AppendText("rot", 1, 0);

    const std::string rtf = Selection(cell, {0, -1, cell.Count() - 1, -1});
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u) << "a header of its own";
    EXPECT_NE(rtf.find(";\\red86\\green52\\blue18;}"), std::string::npos) << "the cell's colours: " << rtf;
    EXPECT_NE(Tables(rtf).find("{\\listoverride\\listid101\\listoverridecount1{\\lfolevel\\listoverridestartat"
                               "\\levelstartat3}\\ls2}"),
              std::string::npos)
        << "the cell's markers: " << Tables(rtf);
    EXPECT_EQ(Body(rtf), std::string(ListPard) +
                             "{\\listtext\\pard\\plain\\f0\\fs16 3.\\tab}\\ls2\\ilvl0 \\plain \\f0\\fs20 Zelle\r\n"
                             "\\par \\plain\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20\\cf17 rot\\par}")
        << "at the top level: no \\intbl, no table rows";
    // Part of the cell: only that part.
    EXPECT_EQ(Body(Selection(cell, {2, 1, 2, 3})), "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20\\cf17 ro}");
}

} // namespace
} // namespace xq

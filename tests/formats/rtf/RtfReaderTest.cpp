// The RTF reader: events and error codes for small inputs, the document tables, pictures, fields,
// tables, bounds on hostile inputs, and every file of the RTF corpus.
#include "formats/rtf/RtfReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "document/Graphic.h"
#include "formats/rtf/RtfKeywords.h"
#include "pictures/Metafile.h"
#include "pictures/PictureKinds.h"
#include "pictures/PictureSamples.h"
#include "platform/CodePage.h"
#include "support/RtfCorpus.h"

namespace xq::test {
namespace {

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

/// A reader whose events are written down as lines.
struct Recorder {
    TRVRTFReader Reader;
    std::vector<std::string> Log;
    std::vector<std::string> Texts;
    std::vector<std::u16string> UnicodeTexts;
    std::vector<TRVRTFPosition> Positions;
    std::vector<std::string> PictureClasses;
    std::vector<std::string> PictureFiles;
    std::vector<std::string> InstructionsAtText;
    int Depth = 0;
    int MaxDepth = 0;

    explicit Recorder(bool unicode = false)
    {
        Reader.OnNewText = [this](TRVRTFReader& r, std::string_view text, TRVRTFPosition pos) {
            Texts.emplace_back(text);
            Positions.push_back(pos);
            InstructionsAtText.push_back(r.FieldInstruction());
            Log.push_back("text " + std::to_string(pos) + " " + std::string(text));
        };
        if (unicode)
            Reader.OnNewUnicodeText = [this](TRVRTFReader&, std::u16string_view text, TRVRTFPosition pos) {
                UnicodeTexts.emplace_back(text);
                Positions.push_back(pos);
                Log.push_back("utext " + std::to_string(pos) + " " + Utf16ToUtf8(text));
            };
        Reader.OnTable = [this](TRVRTFReader&, TRVRTFTableEventKind kind, bool& processed) {
            static const char* names[] = {"start", "end", "forced", "row", "cell"};
            Log.push_back(std::string("table ") + names[kind]);
            if (kind == rvf_tbl_TableStart)
                MaxDepth = std::max(MaxDepth, ++Depth);
            if (kind == rvf_tbl_TableEnd || kind == rvf_tbl_TableForcedEnd)
                --Depth;
            processed = true;
        };
    }

    void WantPictures()
    {
        Reader.OnNewPicture = [this](TRVRTFReader&, TRVRTFPicture&, std::unique_ptr<TGraphic>& g, TRVRTFPosition,
                                     const std::string& file, bool& inserted) {
            PictureClasses.push_back(g ? g->ClassName() : std::string("null"));
            PictureFiles.push_back(file);
            Log.push_back("picture " + PictureClasses.back());
            inserted = g != nullptr;
        };
    }

    int Read(std::string_view rtf) { return Reader.ReadRtfStream(rtf); }

    [[nodiscard]] std::string AllText() const
    {
        std::string all;
        for (const std::string& t : Texts)
            all += t;
        return all;
    }
};

TEST(RtfReaderKeywords, TableIsSortedAndComplete)
{
    const auto table = RtfKeywordTable();
    EXPECT_GE(table.size(), 370u);
    for (std::size_t i = 1; i < table.size(); ++i)
        EXPECT_LT(table[i - 1].Keyword, table[i].Keyword) << table[i].Keyword;
    ASSERT_NE(FindRtfKeyword("par"), nullptr);
    EXPECT_EQ(FindRtfKeyword("PAR"), nullptr) << "lookup is case-sensitive";
    EXPECT_EQ(FindRtfKeyword("zzz"), nullptr);
    EXPECT_NE(FindRtfKeyword("'"), nullptr);
    // The lookup is hashed: every entry is found as itself, and neither a prefix nor a longer
    // word of an entry, nor the empty word, finds anything.
    const auto listed = [&](std::string_view word) {
        return std::any_of(table.begin(), table.end(), [&](const TRVRTFsymbol& e) { return e.Keyword == word; });
    };
    for (const TRVRTFsymbol& entry : table) {
        EXPECT_EQ(FindRtfKeyword(entry.Keyword), &entry) << entry.Keyword;
        for (const std::string& other : {std::string(entry.Keyword) + "q", std::string(entry.Keyword.substr(1))})
            if (!listed(other))
                EXPECT_EQ(FindRtfKeyword(other), nullptr) << other;
    }
    EXPECT_EQ(FindRtfKeyword(""), nullptr);
}

TEST(RtfReader, HalloIsOneRun)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 Hallo}"), rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(r.Texts[0], "Hallo");
    EXPECT_EQ(r.Positions[0], rtf_ts_ContinuePara);
}

TEST(RtfReader, ErrorCodes)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 Hallo"), rtf_ec_UnmatchedBrace);
    EXPECT_EQ(r.Read("{\\rtf1}}"), rtf_ec_StackUnderflow);
    EXPECT_EQ(r.Read("{\\rtf1 \\'g0}"), rtf_ec_InvalidHex);
    EXPECT_EQ(r.Read("{\\rtf1 abc\\"), rtf_ec_EndOfFile);
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict{\\pict}}}"), rtf_ec_InvalidPicture) << "also without a picture handler";
    r.WantPictures();
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict{\\pict}}}"), rtf_ec_InvalidPicture);
    EXPECT_EQ(r.Reader.ReadRtfFile("/nonexistent/file.rtf"), rtf_ec_FileOpenError);
}

TEST(RtfReader, NonBreakingHyphen)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 49A\\_12}"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "49A-12");
    Recorder u(true);
    EXPECT_EQ(u.Read("{\\rtf1 49A\\_12}"), rtf_ec_OK);
    ASSERT_EQ(u.UnicodeTexts.size(), 1u);
    EXPECT_EQ(u.UnicodeTexts[0], u"\u2011");
}

TEST(RtfReader, WhatFollowsTheDocumentsGroup)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 Hallo}\r\n}\r\n"), rtf_ec_StackUnderflow) << "a closing brace too many";
    EXPECT_EQ(r.AllText(), "Hallo") << "the text stays reported";
    Recorder garbage;
    EXPECT_EQ(garbage.Read("{\\rtf1 Hallo}\r\n\\par Rest}-"), rtf_ec_OK) << "trailing garbage is ignored";
    EXPECT_EQ(garbage.AllText(), "Hallo");
    Recorder fragment;
    EXPECT_EQ(fragment.Read("{\\pard Eins\\par}\n{\\pard Zwei\\par}"), rtf_ec_OK) << "a fragment of several groups";
    EXPECT_EQ(fragment.AllText(), "EinsZwei");
    Recorder nul;
    EXPECT_EQ(nul.Read(std::string("{\\rtf1 Hallo}\0", 14)), rtf_ec_OK) << "a NUL byte after the end";
}

TEST(RtfReader, UprReadsTheUnicodeAlternativeOnly)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1 {\\upr{Gr\\'fc\\'df}{\\*\\ud{Gr\\u252?\\u223?e}}} und}"), rtf_ec_OK);
    std::string all; // the runs in order, 8-bit ones as ASCII
    for (const std::string& line : r.Log)
        if (line.rfind("text ", 0) == 0 || line.rfind("utext ", 0) == 0)
            all += line.substr(line.find(' ', line.find(' ') + 1) + 1);
    EXPECT_EQ(all, "Gr\u00FC\u00DFe und");
    Recorder fonts;
    EXPECT_EQ(fonts.Read("{\\rtf1{\\upr{\\fonttbl{\\f0 Ansi;}}{\\*\\ud{\\fonttbl{\\f0 Uni;}}}}\\f0 x}"), rtf_ec_OK);
    ASSERT_EQ(fonts.Reader.FontTable().size(), 1u);
    EXPECT_EQ(fonts.Reader.FontTable()[0].Name, "Uni");
    EXPECT_EQ(fonts.AllText(), "x");
}

TEST(RtfReader, DestinationsThatGiveNoText)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 {\\header Kopf}{\\footer Fuss}{\\headerl L}{\\footerf F}{\\*\\unbekannt X}"
                     "{\\*\\pnseclvl6\\pnlcltr\\p nstart1{\\pntxta )}}{\\pntext 1.\\tab}{\\listtext 2.\\tab}"
                     "{\\*\\pn\\pnlvlblt{\\pntxtb *}}Text}"),
              rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "Text");
}

TEST(RtfReader, MacAndPcFontsAreReadInTheirOwnCodePages)
{
    // \'d7 is a lozenge in Mac Roman, \'b0 a shade block in code page 437: neither is in 1252.
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1{\\fonttbl{\\f0\\fcharset77 Times;}{\\f1\\fcharset254 Terminal;}}\\f0 \\'d7\\'8a\\f1 \\'b0\\'84}"),
              rtf_ec_OK);
    std::u16string all;
    for (const auto& t : r.UnicodeTexts)
        all += t;
    EXPECT_EQ(all, u"\u25CA\u00E4\u2591\u00E4");
    // Mac Japanese (Cocoa's \fcharset78) as Shift-JIS.
    Recorder jp(true);
    EXPECT_EQ(jp.Read("{\\rtf1\\mac\\ansicpg10001{\\fonttbl\\f1\\fnil\\fcharset78 HiraKakuPro-W3;}\\f1 \\'82\\'cd\\'82\\'b6}"),
              rtf_ec_OK);
    ASSERT_EQ(jp.UnicodeTexts.size(), 1u);
    EXPECT_EQ(jp.UnicodeTexts[0], u"\u306F\u3058");
    // Without a Unicode handler the 8-bit text goes through the conversion table to 1252.
    Recorder eight;
    EXPECT_EQ(eight.Read("{\\rtf1{\\fonttbl{\\f0\\fcharset77 Times;}}\\f0 \\'8a}"), rtf_ec_OK);
    EXPECT_EQ(eight.AllText(), "\xE4");
}

TEST(RtfReader, UnpairedSurrogatesBecomeReplacementCharacters)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1\\uc0 a\\u-10240 b\\u-9216\\u-10240 c\\u-10179\\u-8704 d}"), rtf_ec_OK);
    std::u16string all;
    for (const auto& t : r.UnicodeTexts)
        all += t;
    const std::string text = r.AllText();
    EXPECT_EQ(all.find(u'\xD800'), std::u16string::npos);
    EXPECT_NE(all.find(u"\uFFFD\uFFFD"), std::u16string::npos);
    EXPECT_NE(all.find(u"\U0001F600"), std::u16string::npos) << "a real pair stays";
}

TEST(RtfReader, HandlerExceptionsGiveTheirCodes)
{
    Recorder r;
    r.Reader.OnNewText = [](TRVRTFReader&, std::string_view, TRVRTFPosition) { throw std::runtime_error("x"); };
    EXPECT_EQ(r.Read("{\\rtf1 Hallo}"), rtf_ec_TextHandlerException);
    r.Reader.OnNewText = nullptr;
    r.Reader.OnEndParsing = [](TRVRTFReader&) { throw std::runtime_error("x"); };
    EXPECT_EQ(r.Read("{\\rtf1 Hallo}"), rtf_ec_Exception);
}

TEST(RtfReader, HexEscape)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1\\ansi\\ansicpg1252 \\'e4\\'E4}"), rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(r.Texts[0], "\xE4\xE4");
}

TEST(RtfReader, HexInCodePage1251)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}"), rtf_ec_OK);
    EXPECT_EQ(r.Reader.CodePage(), 1251);
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(Utf16ToUtf8(r.Reader.AnsiToUnicode(r.Texts[0])), "\xD0\x9F\xD1\x80"); // "Пр"
}

TEST(RtfReader, UnicodeWithHandler)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1 \\u8364?}"), rtf_ec_OK);
    ASSERT_EQ(r.UnicodeTexts.size(), 1u);
    EXPECT_EQ(r.UnicodeTexts[0], u"\u20AC");
    EXPECT_TRUE(r.Texts.empty()) << "the question mark is skipped";
}

TEST(RtfReader, UnicodeSkipCountZero)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1\\uc0 \\u8364?}"), rtf_ec_OK);
    ASSERT_EQ(r.UnicodeTexts.size(), 1u);
    EXPECT_EQ(r.UnicodeTexts[0], u"\u20AC");
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(r.Texts[0], "?");
}

TEST(RtfReader, UnicodeWithoutHandlerReadsTheFallback)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 \\u8364?}"), rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(r.Texts[0], "?");
}

TEST(RtfReader, UnicodeSkipsHexFallbackAndNegativeValues)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1 \\u-3913\\'b7x}"), rtf_ec_OK);
    ASSERT_EQ(r.UnicodeTexts.size(), 1u);
    EXPECT_EQ(r.UnicodeTexts[0], std::u16string(1, char16_t(0x10000 - 3913)));
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(r.Texts[0], "x");
}

TEST(RtfReader, MixedRunsForGreeting)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1\\ansi Gr\\'fc\\'dfe \\u8364?}"), rtf_ec_OK);
    ASSERT_EQ(r.Log.size(), 2u);
    EXPECT_EQ(r.Texts[0], "Gr\xFC\xDF" "e ");
    EXPECT_EQ(r.UnicodeTexts[0], u"\u20AC");
}

TEST(RtfReader, IgnorableDestinationIsSkipped)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 A{\\*\\unknownthing secret}B}"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "AB");
}

TEST(RtfReader, UnknownKeywordWithoutStarKeepsText)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 A{\\unknownthing visible}B}"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "AvisibleB");
}

TEST(RtfReader, TwoParsGiveAnEmptyRun)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 Hallo\\par\\par Welt}"), rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 3u);
    EXPECT_EQ(r.Texts[0], "Hallo");
    EXPECT_EQ(r.Positions[0], rtf_ts_ContinuePara);
    EXPECT_EQ(r.Texts[1], "");
    EXPECT_EQ(r.Positions[1], rtf_ts_NewPara);
    EXPECT_EQ(r.Texts[2], "Welt");
    EXPECT_EQ(r.Positions[2], rtf_ts_NewPara);
}

TEST(RtfReader, LineBreakPosition)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 A\\line B}"), rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 2u);
    EXPECT_EQ(r.Positions[1], rtf_ts_NewLine);
}

TEST(RtfReader, FontSizeRoundsToEven)
{
    Recorder r;
    std::vector<int> sizes;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view, TRVRTFPosition) {
        sizes.push_back(rd.CharProps().Size);
    };
    EXPECT_EQ(r.Read("{\\rtf1 {\\fs21 a}{\\fs23 b}{\\fs24 c}{\\fs25 d}}"), rtf_ec_OK);
    EXPECT_EQ(sizes, (std::vector<int>{10, 12, 12, 12}));
}

TEST(RtfReader, CharsetSuffixIsRemoved)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial CYR;}{\\f1\\fcharset0 Times CYR;}"
                     "{\\f2\\fcharset300 Mac;}}\\f0 x}"),
              rtf_ec_OK);
    const TRVRTFFontList& fonts = r.Reader.FontTable();
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].Name, "Arial");
    EXPECT_EQ(fonts[0].Charset, 204);
    EXPECT_EQ(fonts[0].Family, rtf_ff_Swiss);
    EXPECT_EQ(fonts[1].Name, "Times CYR") << "only with the matching charset";
    EXPECT_EQ(fonts[2].Charset, 77);
}

TEST(RtfReader, FontsAndColours)
{
    Recorder r;
    std::vector<std::string> fonts;
    std::vector<TColor> colors;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view, TRVRTFPosition) {
        fonts.push_back(rd.CurrentFont() ? rd.CurrentFont()->Name : "-");
        colors.push_back(rd.CharProps().Color);
    };
    EXPECT_EQ(r.Read("{\\rtf1\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                     "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                     "a{\\f0\\cf1 b}{\\f7\\cf9 c}{\\cf2 d}}"),
              rtf_ec_OK);
    EXPECT_EQ(fonts, (std::vector<std::string>{"Courier New", "Arial", "Courier New", "Courier New"}));
    EXPECT_EQ(colors, (std::vector<TColor>{clWindowText, clRed, clWindowText, clBlue}))
        << "indices out of range are ignored";
    EXPECT_EQ(r.Reader.ColorTable().size(), 3u);
}

TEST(RtfReader, BinaryDataMayHoldBraces)
{
    Recorder r;
    r.WantPictures();
    std::string data;
    r.Reader.OnNewPicture = [&](TRVRTFReader&, TRVRTFPicture& pic, std::unique_ptr<TGraphic>&, TRVRTFPosition,
                                const std::string&, bool&) { data = pic.Data; };
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict\\pngblip\\bin4 a}{b}x}"), rtf_ec_OK);
    EXPECT_EQ(data, "a}{b");
    EXPECT_EQ(r.AllText(), "x");
    // In normal text too.
    Recorder t;
    EXPECT_EQ(t.Read("{\\rtf1 A{\\bin4 }}}}}B}"), rtf_ec_OK);
    EXPECT_EQ(t.AllText(), "A}}}}B");
}

TEST(RtfReader, ProgressStages)
{
    Recorder r;
    std::vector<std::pair<int, int>> calls;
    r.Reader.OnProgress = [&](TRVRTFReader&, TRVRTFProgressStage stage, int pct) { calls.emplace_back(stage, pct); };
    std::string rtf = "{\\rtf1 ";
    while (rtf.size() < 30000)
        rtf += "Ein Absatz mit Text.\\par\n";
    rtf += "}";
    EXPECT_EQ(r.Read(rtf), rtf_ec_OK);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), std::make_pair(0, 0));
    EXPECT_EQ(calls.back(), std::make_pair(2, 0));
    const std::size_t blocks = (rtf.size() + 4095) / 4096;
    EXPECT_EQ(calls.size(), blocks + 2);
    EXPECT_EQ(calls[calls.size() - 2], std::make_pair(1, 100));
    // Small inputs report nothing.
    calls.clear();
    EXPECT_EQ(r.Read("{\\rtf1 x}"), rtf_ec_OK);
    EXPECT_TRUE(calls.empty());
}

TEST(RtfReader, SimpleTable)
{
    Recorder r;
    std::vector<int> cellCounts;
    r.Reader.OnTable = [&](TRVRTFReader& rd, TRVRTFTableEventKind kind, bool& processed) {
        static const char* names[] = {"start", "end", "forced", "row", "cell"};
        r.Log.push_back(std::string("table ") + names[kind]);
        if (kind == rvf_tbl_RowEnd)
            cellCounts.push_back(int(rd.RowProps().Cells.size()));
        processed = true;
    };
    EXPECT_EQ(r.Read("{\\rtf1 Vor\\par"
                     "\\trowd\\trgaph108\\trleft-108\\cellx1000\\cellx2000 \\pard\\intbl A\\cell B\\cell\\row"
                     "\\trowd\\cellx1000\\clwWidth500\\clftsWidth3\\cellx2000 \\pard\\intbl C\\cell D\\cell\\row"
                     "\\pard Nach\\par}"),
              rtf_ec_OK);
    const std::vector<std::string> expected = {
        "text 0 Vor", "table start", "text 2 A",  "table cell", "text 2 B",    "table cell", "table row",
        "text 2 C",   "table cell",  "text 2 D",  "table cell", "table row",   "table end",  "text 2 Nach",
    };
    EXPECT_EQ(r.Log, expected);
    EXPECT_EQ(cellCounts, (std::vector<int>{2, 2}));
}

TEST(RtfReader, RowAndCellProperties)
{
    Recorder r;
    TRVRTFRowProperties row;
    r.Reader.OnTable = [&](TRVRTFReader& rd, TRVRTFTableEventKind kind, bool&) {
        if (kind == rvf_tbl_RowEnd)
            row = rd.RowProps();
    };
    EXPECT_EQ(r.Read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\trowd\\trqc\\trgaph50\\trleft10\\trrh-300"
                     "\\trpaddl40\\trpaddfl3\\trftsWidth2\\trwWidth2500\\trhdr\\lastrow"
                     "\\clvmgf\\clcbpat1\\clbrdrl\\brdrs\\brdrw15\\clvertalc\\cellx1000"
                     "\\clmrg\\clcbpat0\\clftsWidth3\\clwWidth700\\docviewcbw33\\cellx2000"
                     "\\intbl a\\cell b\\cell\\row}"),
              rtf_ec_OK);
    ASSERT_EQ(row.Cells.size(), 2u);
    EXPECT_EQ(row.Alignment, rvaCenter);
    EXPECT_EQ(row.GapH, 50);
    EXPECT_EQ(row.Left, 10);
    EXPECT_EQ(row.Height, -300);
    EXPECT_TRUE(row.HeightExact);
    EXPECT_EQ(row.Padding[rtf_side_Left], 40);
    EXPECT_TRUE(row.PaddingTwips[rtf_side_Left]);
    EXPECT_EQ(row.BestWidth, -2500);
    EXPECT_TRUE(row.Heading);
    EXPECT_TRUE(row.LastRow);
    EXPECT_TRUE(row.HasOwnWidths);
    EXPECT_EQ(row.Cells[0].VMerge, rtf_cm_First);
    EXPECT_EQ(row.Cells[0].Color, clRed);
    EXPECT_EQ(row.Cells[0].Border.Sides[rtf_side_Left].BorderType, 1);
    EXPECT_EQ(row.Cells[0].Border.Sides[rtf_side_Left].Width, 15);
    EXPECT_EQ(row.Cells[0].VAlign, rtf_val_Center);
    EXPECT_EQ(row.Cells[0].RightBoundary, 1000);
    EXPECT_EQ(row.Cells[1].HMerge, rtf_cm_Merged);
    EXPECT_EQ(row.Cells[1].Color, clNone) << "the automatic colour";
    EXPECT_EQ(row.Cells[1].BestWidth, 700);
    EXPECT_EQ(row.Cells[1].OwnBestWidth, 33);
}

TEST(RtfReader, NestedTable)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 \\trowd\\cellx2000\\pard\\intbl\\itap1 "
                     "\\pard\\intbl\\itap2 inner\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
                     "\\pard\\intbl\\itap1 \\cell\\row\\pard after\\par}"),
              rtf_ec_OK);
    const std::vector<std::string> expected = {
        "table start", "table start", "text 0 inner", "table cell", "table row",   "table end",
        "table cell",  "table row",   "table end",    "text 2 after",
    };
    EXPECT_EQ(r.Log, expected);
    EXPECT_EQ(r.MaxDepth, 2);
}

TEST(RtfReader, HugeItapIsCapped)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 \\pard\\intbl\\itap2000000000 x\\cell}"), rtf_ec_OK);
    EXPECT_EQ(r.MaxDepth, TRVRTFReader::MaxTableNesting);
    EXPECT_EQ(r.Depth, 0) << "closed at the end";
}

TEST(RtfReader, TablesOpenAtTheEndAreClosed)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 \\trowd\\cellx1000\\intbl a\\cell}"), rtf_ec_OK);
    ASSERT_FALSE(r.Log.empty());
    EXPECT_EQ(r.Log.back(), "table forced");
}

TEST(RtfReader, HyperlinkInstructionIsVisibleAtTheResult)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 vor {\\field{\\*\\fldinst {HYPERLINK \"http://example.com/\"}}{\\fldrslt {Link}}} nach}"),
              rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 3u);
    EXPECT_EQ(r.Texts[1], "Link");
    EXPECT_EQ(r.InstructionsAtText[1], "HYPERLINK \"http://example.com/\"");
    EXPECT_EQ(r.InstructionsAtText[0], "");
    EXPECT_EQ(r.InstructionsAtText[2], "");
}

TEST(RtfReader, SeqField)
{
    Recorder r;
    std::vector<std::string> seqs;
    r.Reader.OnNewSeq = [&](TRVRTFReader&, TRVRTFPosition, const std::string& name, TRVSeqType type, bool reset,
                            int start) {
        seqs.push_back(name + " " + std::to_string(type) + " " + std::to_string(reset) + " " + std::to_string(start));
    };
    EXPECT_EQ(r.Read("{\\rtf1 Abb. {\\field{\\*\\fldinst SEQ Abbildung \\\\* ROMAN \\\\r 3}{\\fldrslt III}}}"),
              rtf_ec_OK);
    ASSERT_EQ(seqs.size(), 1u);
    EXPECT_EQ(seqs[0], "Abbildung 4 1 3");
    EXPECT_EQ(r.AllText(), "Abb. ") << "the result is skipped";
}

TEST(RtfReader, SymbolField)
{
    Recorder r;
    std::vector<std::string> fonts;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view text, TRVRTFPosition) {
        r.Texts.emplace_back(text);
        fonts.push_back(rd.CharProps().FontName);
    };
    EXPECT_EQ(r.Read("{\\rtf1 {\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 10}{\\fldrslt x}}}"), rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(r.Texts[0], "\xB7");
    EXPECT_EQ(fonts[0], "Symbol");
}

class RtfReaderFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = std::filesystem::temp_directory_path() / ("xq-rtfreader-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir / "bilder");
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    std::filesystem::path Dir;
};

TEST_F(RtfReaderFiles, IncludePictureRelativePath)
{
    const std::string png = EncodeRgbaPng(2, 2, std::string(16, '\x7F'));
    {
        std::ofstream f(Dir / "bilder" / "logo.png", std::ios::binary);
        f << png;
    }
    Recorder r;
    r.WantPictures();
    r.Reader.BasePath = Dir.string();
    EXPECT_EQ(r.Read("{\\rtf1 {\\field{\\*\\fldinst INCLUDEPICTURE \"bilder\\\\\\\\logo.png\" \\\\* MERGEFORMAT}"
                     "{\\fldrslt Ersatz}}}"),
              rtf_ec_OK);
    ASSERT_EQ(r.PictureClasses.size(), 1u);
    EXPECT_EQ(r.PictureClasses[0], "TPNGObject");
    EXPECT_EQ(r.PictureFiles[0], (Dir / "bilder" / "logo.png").string());
    EXPECT_EQ(r.AllText(), "") << "the result of a handled field is skipped";
}

TEST_F(RtfReaderFiles, IncludePictureMissingKeepsTheResult)
{
    Recorder r;
    r.WantPictures();
    r.Reader.BasePath = Dir.string();
    const std::string png = EncodeRgbaPng(1, 1, std::string(4, '\x10'));
    EXPECT_EQ(r.Read("{\\rtf1 {\\field{\\*\\fldinst INCLUDEPICTURE missing.png}{\\fldrslt {\\pict\\pngblip " +
                     Hex(png) + "}}}}"),
              rtf_ec_OK);
    ASSERT_EQ(r.PictureClasses.size(), 1u);
    EXPECT_EQ(r.PictureClasses[0], "TPNGObject");
    EXPECT_EQ(r.PictureFiles[0], (Dir / "missing.png").string()) << "reported with the field's file name";
}

TEST_F(RtfReaderFiles, UnknownPictureKindGoesThroughOnImportPicture)
{
    {
        std::ofstream f(Dir / "bild.xyz", std::ios::binary);
        f << "not a known picture";
    }
    Recorder r;
    r.WantPictures();
    r.Reader.BasePath = Dir.string();
    std::vector<std::string> asked;
    r.Reader.OnImportPicture = [&](TRVRTFReader&, const std::string& location, std::unique_ptr<TGraphic>& graphic,
                                   bool& invalid) {
        asked.push_back(location);
        graphic = LoadGraphic(EncodeRgbaPng(1, 1, std::string(4, '\x10')));
        invalid = false;
    };
    EXPECT_EQ(r.Read("{\\rtf1 {\\field{\\*\\fldinst IMPORT bild.xyz}{\\fldrslt x}}}"), rtf_ec_OK);
    EXPECT_EQ(asked, (std::vector<std::string>{(Dir / "bild.xyz").string()}));
    EXPECT_EQ(r.PictureClasses, (std::vector<std::string>{"TPNGObject"}));
    EXPECT_EQ(r.AllText(), "");
}

TEST_F(RtfReaderFiles, ReadRtfFile)
{
    {
        std::ofstream f(Dir / "a.rtf", std::ios::binary);
        f << "{\\rtf1 Datei}";
    }
    Recorder r;
    EXPECT_EQ(r.Reader.ReadRtfFile(Dir / "a.rtf"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "Datei");
}

TEST(RtfReader, Bookmarks)
{
    Recorder r;
    std::vector<std::string> names;
    r.Reader.OnBookmarkStart = [&](TRVRTFReader&, const std::string& name) {
        names.push_back(name);
        r.Log.push_back("bookmark " + name);
    };
    EXPECT_EQ(r.Read("{\\rtf1 vor{\\*\\bkmkstart Marke1}{\\*\\bkmkend Marke1}nach}"), rtf_ec_OK);
    EXPECT_EQ(names, (std::vector<std::string>{"Marke1"}));
    EXPECT_EQ(r.Log, (std::vector<std::string>{"text 0 vor", "bookmark Marke1", "text 0 nach"}));
}

TEST(RtfReader, ListTables)
{
    Recorder r;
    std::vector<int> overrides, levels;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view, TRVRTFPosition) {
        overrides.push_back(rd.ParaProps().ListOverrideIndex);
        levels.push_back(rd.ParaProps().ListLevel);
    };
    EXPECT_EQ(r.Read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}"
                     "{\\*\\listtable{\\list\\listtemplateid1\\listsimple"
                     "{\\listlevel\\levelnfc23\\leveljc0\\levelstartat1{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}"
                     "\\f1\\fs20\\fi-360\\li720\\jclisttab\\tx720}"
                     "{\\listlevel\\levelnfc0\\levelstartat3\\levelnorestart{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}"
                     "\\fi-360\\li1440}"
                     "{\\listname Aufz\\'e4hlung;}\\listid77}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid77\\listoverridecount1"
                     "{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls1}}"
                     "\\pard\\ls1\\ilvl1 Punkt\\par}"),
              rtf_ec_OK);
    const TRVRTFListTable97& lists = r.Reader.ListTable();
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].Id, 77);
    EXPECT_TRUE(lists[0].Simple);
    EXPECT_EQ(lists[0].Name, "Aufz\xE4hlung");
    ASSERT_EQ(lists[0].Levels.size(), 2u);
    const TRVRTFListLevel97& l0 = lists[0].Levels[0];
    EXPECT_EQ(l0.NumberType, 23);
    ASSERT_TRUE(l0.TextW.has_value());
    EXPECT_EQ(*l0.TextW, (std::u16string{u'\x01', char16_t(0xF0B7)}));
    EXPECT_EQ(l0.CharProps.FontIndex, 1);
    EXPECT_EQ(l0.CharProps.Size, 10);
    EXPECT_EQ(l0.ParaProps.LeftIndent, 720);
    EXPECT_EQ(l0.ParaProps.FirstIndent, -360);
    EXPECT_EQ(l0.ParaProps.ListTab, 720);
    const TRVRTFListLevel97& l1 = lists[0].Levels[1];
    EXPECT_EQ(l1.Text, std::string("\x02\x00.", 3)) << "cut after the length";
    EXPECT_EQ(l1.Numbers, std::string("\x01", 1)) << "without the closing \";\"";
    EXPECT_EQ(l1.StartAt, 3);
    EXPECT_TRUE(l1.NoRestart);
    const TRVRTFListOverrideTable97& ov = r.Reader.ListOverrideTable();
    ASSERT_EQ(ov.size(), 1u);
    EXPECT_EQ(ov[0].ListId, 77);
    EXPECT_EQ(ov[0].Number, 1);
    EXPECT_EQ(ov[0].ListIndex, 0);
    EXPECT_EQ(ov[0].OverrideCount, 1);
    ASSERT_EQ(ov[0].Levels.size(), 1u);
    EXPECT_TRUE(ov[0].Levels[0].UseStart);
    EXPECT_EQ(ov[0].Levels[0].StartAt, 5);
    EXPECT_EQ(overrides, (std::vector<int>{0}));
    EXPECT_EQ(levels, (std::vector<int>{1}));
}

TEST(RtfReader, ListKeywordsOutsideTheirContextAreIgnored)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 \\listid5\\levelnfc3\\listoverridecount2{\\list{\\listlevel x}}{\\lfolevel y}\\ls9 z}"),
              rtf_ec_OK);
    EXPECT_TRUE(r.Reader.ListTable().empty());
    EXPECT_TRUE(r.Reader.ListOverrideTable().empty());
    EXPECT_EQ(r.AllText(), "z");
}

TEST(RtfReader, LegacyListProperties)
{
    Recorder r;
    std::vector<TRVRTFMarkerProperties> markers;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view, TRVRTFPosition) {
        markers.push_back(rd.ParaProps().MarkerProps.value_or(TRVRTFMarkerProperties{}));
    };
    EXPECT_EQ(r.Read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}"
                     "{\\*\\pn\\pnlvlblt\\pnf1\\pnfs20\\pnindent360\\pnhang{\\pntxtb\\'b7}}Eins\\par"
                     "\\pard{\\*\\pn\\pnlvl3\\pndec\\pnstart4{\\pntxta .}{\\pntxtb (}}Zwei}"),
              rtf_ec_OK);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].Level, 11);
    EXPECT_EQ(markers[0].FontIndex, 1);
    EXPECT_EQ(markers[0].FontSize, 10);
    EXPECT_EQ(markers[0].Indent, 360);
    EXPECT_TRUE(markers[0].Hanging);
    EXPECT_EQ(markers[0].TextBefore, "\xB7");
    EXPECT_EQ(markers[1].Level, 3);
    EXPECT_EQ(markers[1].NumberType, 1);
    EXPECT_EQ(markers[1].StartAt, 4);
    EXPECT_EQ(markers[1].TextAfter, ".");
    EXPECT_EQ(markers[1].TextBefore, "(");
}

TEST(RtfReader, StyleSheet)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\ql\\f0\\fs20 Normal;}"
                     "{\\s1\\sbasedon0\\snext0\\qc\\b\\fs32 heading 1;}{\\*\\cs10\\additive Default Paragraph Font;}}x}"),
              rtf_ec_OK);
    const TRVRTFStyleSheet& ss = r.Reader.StyleSheet();
    ASSERT_EQ(ss.size(), 3u);
    EXPECT_EQ(ss[0].Name, "Normal");
    EXPECT_EQ(ss[0].CharProps.Size, 10);
    EXPECT_EQ(ss[1].Number, 1);
    EXPECT_EQ(ss[1].Name, "heading 1");
    EXPECT_EQ(ss[1].BasedOn, 0);
    EXPECT_EQ(ss[1].ParaProps.Alignment, rvaCenter);
    EXPECT_TRUE(ss[1].CharProps.Bold);
    EXPECT_EQ(ss[2].Kind, rtf_sst_Char);
    EXPECT_TRUE(ss[2].Additive);
    EXPECT_EQ(r.AllText(), "x");
}

TEST(RtfReader, StyleSheetReplacedInsideAnEntry)
{
    // Found by fuzzing: the outer entry's index pointed into the replaced style sheet.
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1{\\stylesheet{\\s1 A{\\stylesheet{\\s2 B;}}C;}}x}"), rtf_ec_OK);
    const TRVRTFStyleSheet& ss = r.Reader.StyleSheet();
    ASSERT_EQ(ss.size(), 2u);
    EXPECT_EQ(ss[0].Name, "B");
    EXPECT_EQ(ss[1].Name, "C") << "the rest of the outer entry is an entry of the new style sheet";
    EXPECT_EQ(r.AllText(), "x");
}

TEST(RtfReader, DocumentAndSectionProperties)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134"
                     "\\landscape\\viewscale120\\viewzk2\\margmirror\\sectd\\headery500 x}"),
              rtf_ec_OK);
    const TRVRTFDocProperties& d = r.Reader.DocProps();
    EXPECT_EQ(d.PaperWidth, 11906);
    EXPECT_EQ(d.PaperHeight, 16838);
    EXPECT_EQ(d.LeftMargin, 1134);
    EXPECT_TRUE(d.Landscape);
    EXPECT_TRUE(d.MirrorMargins);
    EXPECT_EQ(d.ViewScale, 120);
    EXPECT_EQ(d.ZoomKind, 2);
    EXPECT_EQ(r.Reader.SectProps().HeaderY, 500);
    EXPECT_EQ(r.Reader.SectProps().FooterY, 720);
    Recorder fresh;
    EXPECT_EQ(fresh.Read("{\\rtf1 x}"), rtf_ec_OK);
    EXPECT_EQ(fresh.Reader.DocProps(), TRVRTFDocProperties{});
}

TEST(RtfReader, ParagraphProperties)
{
    Recorder r;
    TRVRTFParaProperties pap;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view, TRVRTFPosition) { pap = rd.ParaProps(); };
    EXPECT_EQ(r.Read("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}\\pard\\qj\\li100\\ri200\\fi-50\\sb10\\sa20\\sl-300"
                     "\\slmult0\\keepn\\cbpat1\\brdrt\\brdrdb\\brdrw30\\brdrcf1\\brsp40\\tqc\\tldot\\tx1000\\tx2000 x}"),
              rtf_ec_OK);
    EXPECT_EQ(pap.Alignment, rvaJustify);
    EXPECT_EQ(pap.LeftIndent, 100);
    EXPECT_EQ(pap.RightIndent, 200);
    EXPECT_EQ(pap.FirstIndent, -50);
    EXPECT_EQ(pap.LineSpacing, -300);
    EXPECT_TRUE(pap.KeepWithNext);
    EXPECT_EQ(pap.Color, clGreen);
    const TRVRTFBorderSide& top = pap.Border.Sides[rtf_side_Top];
    EXPECT_EQ(top.BorderType, 4);
    EXPECT_EQ(top.Width, 30);
    EXPECT_EQ(top.Color, clGreen);
    EXPECT_EQ(top.Space, 40);
    ASSERT_EQ(pap.Tabs.size(), 2u);
    EXPECT_EQ(pap.Tabs[0].Align, rtf_tab_Center);
    EXPECT_EQ(pap.Tabs[0].Leader, rtf_tl_Dot);
    EXPECT_EQ(pap.Tabs[1].Align, rtf_tab_Left);
}

TEST(RtfReader, CharacterProperties)
{
    Recorder r;
    std::vector<TRVRTFCharProperties> props;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view, TRVRTFPosition) { props.push_back(rd.CharProps()); };
    EXPECT_EQ(r.Read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\b\\i\\ulth\\strike\\super\\caps a}"
                     "{\\highlight7\\dn4\\expndtw20\\charscalex80 b}{\\ul\\ulnone c}}"),
              rtf_ec_OK);
    ASSERT_EQ(props.size(), 3u);
    EXPECT_TRUE(props[0].Bold);
    EXPECT_TRUE(props[0].Italic);
    EXPECT_TRUE(props[0].Underline);
    EXPECT_EQ(props[0].UnderlineType, rvutThick);
    EXPECT_TRUE(props[0].StrikeOut);
    EXPECT_EQ(props[0].SScriptType, rvsssSuperScript);
    EXPECT_TRUE(props[0].AllCaps);
    EXPECT_EQ(props[1].BackColor, clYellow);
    EXPECT_EQ(props[1].VShift, -4);
    EXPECT_EQ(props[1].CharSpacingTw, 20);
    EXPECT_EQ(props[1].CharScaleX, 80);
    EXPECT_FALSE(props[2].Underline);
}

TEST(RtfReader, HiddenTextIsASeparateRun)
{
    Recorder r;
    std::vector<bool> hidden;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view t, TRVRTFPosition) {
        r.Texts.emplace_back(t);
        hidden.push_back(rd.CharProps().Hidden);
    };
    EXPECT_EQ(r.Read("{\\rtf1 a\\v b\\v0 c}"), rtf_ec_OK);
    EXPECT_EQ(r.Texts, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(hidden, (std::vector<bool>{false, true, false}));
}

TEST(RtfReader, TabsAsSeparateRuns)
{
    Recorder r;
    r.Reader.TabAsSeparateChar = true;
    EXPECT_EQ(r.Read("{\\rtf1 a\\tab b}"), rtf_ec_OK);
    EXPECT_EQ(r.Texts, (std::vector<std::string>{"a", "\t", "b"}));
}

TEST(RtfReader, CharsetTablesConvert437)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1{\\fonttbl{\\f0\\fcharset254 Terminal;}{\\f1\\fcharset77 Mac;}}\\f0 \\'81\\'84{\\f1 \\'8a}}"),
              rtf_ec_OK);
    ASSERT_EQ(r.Texts.size(), 2u);
    EXPECT_EQ(r.Texts[0], "\xFC\xE4");
    EXPECT_EQ(r.Texts[1], "\xE4");
    ASSERT_NE(RtfCharsetConversionTable(254), nullptr);
    EXPECT_EQ(RtfCharsetConversionTable(0), nullptr);
}

TEST(RtfReader, TranslateKeyword)
{
    Recorder r;
    r.Reader.OnTranslateKeyword = [](TRVRTFReader&, const std::string& kw, int, bool, std::string& text,
                                     bool& doDefault) {
        if (kw == "zwnj") {
            text = "[zwnj]";
            doDefault = false;
        }
        if (kw == "b")
            doDefault = false;
    };
    std::vector<bool> bold;
    r.Reader.OnNewText = [&](TRVRTFReader& rd, std::string_view t, TRVRTFPosition) {
        r.Texts.emplace_back(t);
        bold.push_back(rd.CharProps().Bold);
    };
    EXPECT_EQ(r.Read("{\\rtf1 a\\zwnj\\b b}"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "a[zwnj]b");
    for (const bool b : bold)
        EXPECT_FALSE(b);
}

TEST(RtfReader, Footnotes)
{
    Recorder r;
    r.Reader.OnNote = [&](TRVRTFReader&, TRVRTFNoteEventType what, TRVRTFPosition) {
        r.Log.push_back("note " + std::to_string(what));
    };
    EXPECT_EQ(r.Read("{\\rtf1 Text{\\super\\chftn}{\\footnote\\ftnalt {\\super\\chftn} Fu\\'df}weiter}"), rtf_ec_OK);
    const std::vector<std::string> expected = {"text 0 Text", "note 1", "note 2", "note 0",
                                               "text 0  Fu\xDF", "note 3", "text 0 weiter"};
    EXPECT_EQ(r.Log, expected);
    // Without a handler the note is skipped.
    Recorder s;
    EXPECT_EQ(s.Read("{\\rtf1 A{\\footnote B}C}"), rtf_ec_OK);
    EXPECT_EQ(s.AllText(), "AC");
}

TEST(RtfReader, HeadersAndFooters)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 {\\header Kopf}Text}"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "Text");
    r.Reader.OnHeaderFooter = [&](TRVRTFReader&, TRVRTFHeaderFooterType t, bool starting, bool& supported) {
        r.Log.push_back("hf " + std::to_string(t) + " " + std::to_string(starting));
        supported = true;
    };
    r.Log.clear();
    EXPECT_EQ(r.Read("{\\rtf1 {\\footer Fuss}Text}"), rtf_ec_OK);
    EXPECT_EQ(r.Log, (std::vector<std::string>{"hf 2 1", "text 0 Fuss", "hf 2 0", "text 0 Text"}));
}

TEST(RtfReader, PageBreak)
{
    Recorder r;
    r.Reader.OnRequiredPageBreak = [&](TRVRTFReader&) { r.Log.push_back("page"); };
    EXPECT_EQ(r.Read("{\\rtf1 a\\page b}"), rtf_ec_OK);
    EXPECT_EQ(r.Log, (std::vector<std::string>{"text 0 a", "page", "text 0 b"}));
}

TEST(RtfReader, UpdateMarkerAroundParagraphEnds)
{
    Recorder r;
    r.Reader.OnUpdateMarker = [&](TRVRTFReader&) { r.Log.push_back("marker"); };
    r.Reader.OnEndParsing = [&](TRVRTFReader&) { r.Log.push_back("end"); };
    EXPECT_EQ(r.Read("{\\rtf1 a\\par b}"), rtf_ec_OK);
    const std::vector<std::string> expected = {"marker", "text 0 a", "marker", "marker", "end", "text 2 b", "marker"};
    EXPECT_EQ(r.Log, expected);
}

// ---- Pictures ----------------------------------------------------------------------------

TEST(RtfReaderPictures, EachKindIsDecoded)
{
    const std::string png = EncodeRgbaPng(3, 2, std::string(24, '\x40'));
    const std::string jpeg = EncodeJpeg(4, 4, 3, std::string(48, '\x80'));
    TBmpLayout bmp;
    bmp.Width = 2;
    bmp.Height = 2;
    bmp.BitCount = 24;
    bmp.Bits = std::string(16, '\x20');
    const std::string dib = MakeBmp(bmp).substr(14);
    const std::string wmf = MakeWmf({WmfRecord(0x020C, {200, 300})});
    Recorder r;
    r.WantPictures();
    std::vector<int> goals;
    r.Reader.OnNewPicture = [&](TRVRTFReader&, TRVRTFPicture& pic, std::unique_ptr<TGraphic>& g, TRVRTFPosition,
                                const std::string&, bool& inserted) {
        r.PictureClasses.push_back(g ? g->ClassName() : "null");
        goals.push_back(pic.GoalWidthPx);
        inserted = true;
    };
    const std::string rtf = "{\\rtf1 {\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30 " + Hex(png) +
                            "}{\\pict\\jpegblip " + Hex(jpeg) + "}{\\pict\\dibitmap0\\picw2\\pich2 " + Hex(dib) +
                            "}{\\pict\\wmetafile8\\picw2540\\pich2540 " + Hex(wmf) +
                            "}{\\pict\\pngblip\\bin" + std::to_string(png.size()) + " " + png +
                            "}{\\pict\\macpict 00}{\\pict\\pngblip 0102}}";
    EXPECT_EQ(r.Read(rtf), rtf_ec_OK);
    EXPECT_EQ(r.PictureClasses, (std::vector<std::string>{"TPNGObject", "TJPEGImage", "TBitmap", "TMetafile",
                                                          "TPNGObject", "null", "null"}));
    ASSERT_GE(goals.size(), 4u);
    EXPECT_EQ(goals[0], 3) << "45 twips at 96 pixels per inch";
    EXPECT_EQ(goals[3], 96) << "a metafile's picw is in hundredths of a millimetre";
}

TEST(RtfReaderPictures, WBitmapMonochrome)
{
    Recorder r;
    r.WantPictures();
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 "
                     "ff00aa00}}"),
              rtf_ec_OK);
    EXPECT_EQ(r.PictureClasses, (std::vector<std::string>{"TBitmap"}));
}

std::string Le32(std::uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
    return s;
}

/// An enhanced metafile: the header of MakeEmf, a StretchDIBits record with the DIB, an end record.
std::string EmfWithBitmap(const std::string& dib, std::uint32_t extraRecord = 0)
{
    std::string emf = MakeEmf(0, 0, 1000, 1000);
    emf.resize(emf.size() - 20); // without its end record
    std::string rec = Le32(81) + Le32(0) + std::string(16, '\0') + std::string(24, '\0');
    const std::uint32_t headerSize = 40; // BITMAPINFOHEADER without a colour table (24 bits)
    const std::uint32_t recHeader = 80;
    rec += Le32(recHeader) + Le32(headerSize) + Le32(recHeader + headerSize) + Le32(std::uint32_t(dib.size() - headerSize));
    rec += Le32(0) + Le32(0x00CC0020) + Le32(2) + Le32(2);
    rec += dib;
    while (rec.size() % 4)
        rec += '\0';
    const std::uint32_t size = std::uint32_t(rec.size());
    rec.replace(4, 4, Le32(size));
    std::string body = rec;
    if (extraRecord)
        body += Le32(extraRecord) + Le32(8);
    body += Le32(14) + Le32(20) + Le32(0) + Le32(0) + Le32(20);
    // Fix the total size and record count in the header.
    emf += body;
    emf.replace(48, 4, Le32(std::uint32_t(emf.size())));
    return emf;
}

TEST(RtfReaderPictures, MetafileBitmapIsExtracted)
{
    TBmpLayout bmp;
    bmp.Width = 2;
    bmp.Height = 2;
    bmp.BitCount = 24;
    bmp.Bits = std::string(16, '\x20');
    const std::string dib = MakeBmp(bmp).substr(14);
    const std::string emf = EmfWithBitmap(dib);
    std::string extracted;
    ASSERT_TRUE(ExtractEmfBitmap(emf, extracted));
    EXPECT_EQ(extracted.substr(14), dib);
    EXPECT_FALSE(ExtractEmfBitmap(EmfWithBitmap(dib, 42), extracted)) << "a drawing record";

    Recorder r;
    r.WantPictures();
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict\\emfblip " + Hex(emf) + "}}"), rtf_ec_OK);
    EXPECT_EQ(r.PictureClasses, (std::vector<std::string>{"TBitmap"}));
    r.PictureClasses.clear();
    r.Reader.ExtractMetafileBitmaps = false;
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict\\emfblip " + Hex(emf) + "}}"), rtf_ec_OK);
    EXPECT_EQ(r.PictureClasses, (std::vector<std::string>{"TMetafile"}));
}

TEST(RtfReaderPictures, NonShpPictIsSkippedAfterAnInsertedPicture)
{
    const std::string png = EncodeRgbaPng(1, 1, std::string(4, '\x10'));
    Recorder r;
    r.WantPictures();
    EXPECT_EQ(r.Read("{\\rtf1 {\\*\\shppict{\\pict\\pngblip " + Hex(png) + "}}{\\nonshppict{\\pict\\pngblip " +
                     Hex(png) + "}alt}}"),
              rtf_ec_OK);
    EXPECT_EQ(r.PictureClasses.size(), 1u);
    EXPECT_EQ(r.AllText(), "");
    // A broken shppict picture leaves the alternative.
    Recorder s;
    s.WantPictures();
    EXPECT_EQ(s.Read("{\\rtf1 {\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict alt}}"), rtf_ec_OK);
    EXPECT_EQ(s.AllText(), "alt");
}

TEST(RtfReader, Objects)
{
    Recorder r;
    std::string data;
    r.Reader.OnNewObject = [&](TRVRTFReader&, TRVRTFObject& o, TRVRTFPosition, bool& inserted) {
        data = o.Data;
        inserted = false;
    };
    EXPECT_EQ(r.Read("{\\rtf1 {\\object\\objemb\\objw100\\objh200{\\*\\objdata 41 42\n43}{\\result Ersatz}}}"),
              rtf_ec_OK);
    EXPECT_EQ(data, "ABC");
    EXPECT_EQ(r.AllText(), "Ersatz");
    EXPECT_EQ(r.Read("{\\rtf1 {\\object{\\*\\objdata 4x}}}"), rtf_ec_InvalidPicture);
}

// ---- Bounds ------------------------------------------------------------------------------

TEST(RtfReaderBounds, DeepGroupsStop)
{
    Recorder r;
    std::string rtf = "{\\rtf1 ";
    rtf += std::string(100000, '{');
    EXPECT_EQ(r.Read(rtf), rtf_ec_StackOverflow);
    std::string ok = "{\\rtf1 " + std::string(5000, '{') + "x" + std::string(5000, '}') + "}";
    EXPECT_EQ(r.Read(ok), rtf_ec_OK);
}

TEST(RtfReaderBounds, HugeBinaryCountEndsWithTheInput)
{
    Recorder r;
    r.WantPictures();
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict\\bin2000000000 abc}}"), rtf_ec_UnmatchedBrace);
    EXPECT_EQ(r.Read("{\\rtf1 {\\pict\\bin-5 00}}"), rtf_ec_OK);
    EXPECT_EQ(r.Read("{\\rtf1 {\\bin99999999999999999999 x}y}"), rtf_ec_OK) << "a parameter out of range is 0";
}

TEST(RtfReaderBounds, HugeUnicodeSkip)
{
    Recorder r(true);
    EXPECT_EQ(r.Read("{\\rtf1{\\uc2000000000 \\u8364 abc}def}"), rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "def");
}

TEST(RtfReaderBounds, LongKeywordsAndParameters)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1 \\" + std::string(100000, 'a') + "123 x\\fs" + std::string(1000, '9') + " y}"),
              rtf_ec_OK);
    EXPECT_EQ(r.AllText(), "xy");
}

TEST(RtfReaderBounds, ManyGroupsWithAWideRowStayCheap)
{
    std::string rtf = "{\\rtf1 \\trowd";
    for (int i = 0; i < 5000; ++i)
        rtf += "\\cellx" + std::to_string(i * 10 + 10);
    rtf += std::string(9000, '{') + "x" + std::string(9000, '}') + "}";
    Recorder r;
    std::size_t cells = 0;
    r.Reader.OnEndParsing = [&](TRVRTFReader& rd) { cells = rd.RowProps().Cells.size(); };
    EXPECT_EQ(r.Read(rtf), rtf_ec_OK);
    EXPECT_EQ(cells, std::size_t(TRVRTFReader::MaxCells));
}

TEST(RtfReader, ReaderIsReusable)
{
    Recorder r;
    EXPECT_EQ(r.Read("{\\rtf1\\ansicpg1251{\\fonttbl{\\f0 A;}}{\\colortbl;\\red1\\green2\\blue3;}x}"), rtf_ec_OK);
    EXPECT_EQ(r.Reader.FontTable().size(), 1u);
    EXPECT_EQ(r.Read("{\\rtf1 y}"), rtf_ec_OK);
    EXPECT_TRUE(r.Reader.FontTable().empty());
    EXPECT_TRUE(r.Reader.ColorTable().empty());
    EXPECT_EQ(r.Reader.CodePage(), SystemAnsiCodePage);
}

// ---- Corpus ------------------------------------------------------------------------------

std::vector<std::filesystem::path> CorpusFiles()
{
    std::vector<std::filesystem::path> files = test::RtfCorpusFiles();
    std::sort(files.begin(), files.end());
    return files;
}

TEST(RtfReaderCorpus, EveryFileReads)
{
    const std::vector<std::filesystem::path> files = CorpusFiles();
    if (files.empty())
        GTEST_SKIP() << "no corpus on this machine";
    // Files whose braces do not match: a closing brace too many right after the document,
    // and input that ends inside groups. (Trailing content after the document is ignored, a
    // fragment of several groups is read whole.)
    const std::map<std::string, int> unbalanced = {
        {"rtfpipe_RtfParserTest_fail_2.rtf", rtf_ec_StackUnderflow},
        {"rtfpipe_RtfParserTest_fail_3.rtf", rtf_ec_UnmatchedBrace},
        {"tika_testBinControlWord.rtf", rtf_ec_UnmatchedBrace},
    };
    for (const auto& file : files) {
        Recorder r(true);
        r.WantPictures();
        r.Reader.OnNote = [](TRVRTFReader&, TRVRTFNoteEventType, TRVRTFPosition) {};
        r.Reader.OnNewObject = [](TRVRTFReader&, TRVRTFObject&, TRVRTFPosition, bool&) {};
        std::size_t chars = 0;
        r.Reader.OnNewText = [&](TRVRTFReader&, std::string_view t, TRVRTFPosition) { chars += t.size(); };
        r.Reader.OnNewUnicodeText = [&](TRVRTFReader&, std::u16string_view t, TRVRTFPosition) { chars += t.size(); };
        const int ec = r.Reader.ReadRtfFile(file);
        const std::string name = file.filename().string();
        const auto expected = unbalanced.find(name);
        EXPECT_EQ(ec, expected == unbalanced.end() ? rtf_ec_OK : expected->second) << name;
        if (name.find("_fail_") == std::string::npos) { // the broken ones may be empty
            EXPECT_TRUE(chars > 0 || !r.PictureClasses.empty()) << name << ": some content";
        }
        EXPECT_EQ(r.Depth, 0) << name << ": every table level closed";
    }
}

TEST(RtfReaderCorpus, SaneResultsForKnownFiles)
{
    const std::filesystem::path dir = test::RtfCorpusDir();
    if (dir.empty() || !std::filesystem::exists(dir / "pandoc_table_nested.rtf"))
        GTEST_SKIP() << "no corpus on this machine";
    {
        Recorder r;
        EXPECT_EQ(r.Reader.ReadRtfFile(dir / "pandoc_table_nested.rtf"), rtf_ec_OK);
        EXPECT_EQ(r.MaxDepth, 3) << "itap 1 to 3";
        EXPECT_EQ(r.Depth, 0);
    }
    {
        Recorder r;
        r.WantPictures();
        EXPECT_EQ(r.Reader.ReadRtfFile(dir / "pandoc_image.rtf"), rtf_ec_OK);
        ASSERT_FALSE(r.PictureClasses.empty());
        EXPECT_EQ(r.PictureClasses[0], "TJPEGImage");
    }
    {
        Recorder r;
        r.WantPictures();
        EXPECT_EQ(r.Reader.ReadRtfFile(dir / "rtfjs_simplepngbin.rtf"), rtf_ec_OK);
        ASSERT_FALSE(r.PictureClasses.empty());
        EXPECT_EQ(r.PictureClasses[0], "TPNGObject");
    }
    {
        Recorder r;
        EXPECT_EQ(r.Reader.ReadRtfFile(dir / "pandoc_list_complex.rtf"), rtf_ec_OK);
        EXPECT_FALSE(r.Reader.ListTable().empty());
        EXPECT_FALSE(r.Reader.ListOverrideTable().empty());
        for (const TRVRTFListOverride97& o : r.Reader.ListOverrideTable())
            EXPECT_GE(o.ListIndex, 0);
    }
    {
        Recorder r;
        EXPECT_EQ(r.Reader.ReadRtfFile(dir / "lo_fdo45394.rtf"), rtf_ec_OK);
    }
}

} // namespace
} // namespace xq::test

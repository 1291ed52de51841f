// The RTF writer's header and body, byte for byte where the format is fixed.
#include "formats/rtf/RtfWriter.h"

#include <gtest/gtest.h>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"
#include "tables/TableItem.h"
#include "platform/CodePage.h"

namespace xq {
namespace {

constexpr const char* HalloHeader =
    "{\\rtf1\\ansi\\ansicpg0\\uc1\\deff0\\deflang0\\deflangfe0{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl;\\red0\\green0"
    "\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;\\red0\\green255\\blue0;\\red255\\green0\\blue255;\\red255"
    "\\green0\\blue0;\\red255\\green255\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue128;\\red0\\green128\\blue128;"
    "\\red0\\green128\\blue0;\\red128\\green0\\blue128;\\red128\\green0\\blue0;\\red128\\green128\\blue0;\\red128\\green128"
    "\\blue128;\\red192\\green192\\blue192;}\r\n";

class RtfWriterTest : public ::testing::Test {
protected:
    RtfWriterTest()
    {
        // One text style: Arial 10, as the example document has it.
        while (Sheet.TextStyles.Count() > 1)
            Sheet.TextStyles.Delete(Sheet.TextStyles.Count() - 1);
        Settings.Options = {};
    }

    std::string Rtf()
    {
        std::string out;
        EXPECT_TRUE(WriteRtfDocument(Doc, Settings, out));
        return out;
    }
    /// The body: what follows the header's "\uc0" line.
    std::string Body()
    {
        const std::string rtf = Rtf();
        const auto at = rtf.find("\\uc0\r\n");
        return at == std::string::npos ? rtf : rtf.substr(at + 6);
    }
    int AddTextStyle()
    {
        TFontInfo& style = Sheet.TextStyles.Add();
        style.CopyStyle(Sheet.TextStyles[0]);
        return Sheet.TextStyles.Count() - 1;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVRTFWriteSettings Settings;
};

TEST_F(RtfWriterTest, TheHalloExampleByteForByte)
{
    Doc.AppendText("Hallo", 0, 0);
    EXPECT_EQ(Rtf(), std::string(HalloHeader) + "\r\n\\uc0\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 Hallo\\par}");
    // An empty document: the header, then the closing paragraph.
    Doc.Clear();
    EXPECT_EQ(Rtf(), std::string(HalloHeader) + "\r\n\\uc0\\par}");
    // The host's header text stands on the line the header leaves for it.
    Settings.OnSaveRTFExtra = [](TRVRTFSaveArea area, const void*, int, int, bool, std::string& code) {
        if (area == rtfsaDocHeader)
            code = "\\margl1\\margt2";
    };
    EXPECT_EQ(Rtf(), std::string(HalloHeader) + "\\margl1\\margt2\r\n\\uc0\\par}");
}

TEST_F(RtfWriterTest, FontsAreSharedByNameWithoutCaseAndByCharset)
{
    const int lower = AddTextStyle();
    Sheet.TextStyles[lower].FontName = "arial";
    const int cyrillic = AddTextStyle();
    Sheet.TextStyles[cyrillic].Charset = 204;
    const int courier = AddTextStyle();
    Sheet.TextStyles[courier].FontName = "Courier New";
    Doc.AppendText("a", lower, 0);
    Doc.AppendText("b", cyrillic, -1);
    Doc.AppendText("c", courier, -1);
    const std::string rtf = Rtf();
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset204 Arial;}{\\f2\\fnil Courier New;}}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\plain \\f0\\fs20 a\\plain \\f1\\lang1049\\fs20 b\\plain \\f2\\fs20 c"), std::string::npos) << rtf;
}

TEST_F(RtfWriterTest, TextIsEscapedAndUnicodeGoesOutAsSignedUnits)
{
    Doc.AppendText("{a\\b} \x80\x95\xA0", 0, 0);
    EXPECT_EQ(Body().substr(Body().find("\\fs20 ") + 6), "\\{a\\\\b\\} \\'80\\bullet \\~\\par}");

    const int unicode = AddTextStyle();
    Sheet.TextStyles[unicode].Unicode = true;
    Doc.Clear();
    Doc.AppendTextW(u"\u20AC\uFFFD\u2013x", unicode, 0);
    EXPECT_NE(Body().find("\\u8364 \\u-3 \\endash x\\par}"), std::string::npos) << Body();
    // Duplicated as 8-bit text in the style's code page; a unit the code page lacks comes out as
    // what the conversion gives.
    Settings.Options = {rvrtfDuplicateUnicode};
    const std::string rtf = Rtf();
    EXPECT_NE(rtf.find("\r\n\\uc1\r\n"), std::string::npos);
    EXPECT_NE(rtf.find("\\u8364 \\'80"), std::string::npos) << rtf;
}

TEST_F(RtfWriterTest, TabsAreWrittenInTheirLeadersTextStyle)
{
    const int bold = AddTextStyle();
    Sheet.TextStyles[bold].Style.Include(fsBold);
    Doc.AppendText("a", 0, 0);
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->TextStyleNo = bold;
    tab->ParaNo = -1;
    Doc.AppendItem("", std::move(tab));
    auto plain = std::make_unique<TRVTabItemInfo>();
    plain->ParaNo = -1;
    Doc.AppendItem("", std::move(plain)); // no style of its own: the bold one goes on
    Doc.AppendText("b", 0, -1);
    EXPECT_EQ(Body(), "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 a\\plain \\f0\\b\\fs20 \\tab "
                      "\\tab \\plain \\f0\\fs20 b\\par}");
}

TEST_F(RtfWriterTest, AHorizontalLineClosesItsOwnParagraph)
{
    Doc.AppendText("a", 0, 0);
    auto line = std::make_unique<TRVBreakItemInfo>();
    line->ParaNo = 0;
    Doc.AppendItem("", std::move(line));
    Doc.AppendText("b", 0, 0);
    // No "\par" between the line's "\pard" and the next paragraph: that would be an empty one.
    EXPECT_EQ(Body(), "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 a\r\n\\par "
                      "\\pard\\plain\\fs6\\brdrb\\brdrs\\brdrw15\\brdrcf0\\par\\pard\r\n"
                      "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 b\\par}");
}

TEST_F(RtfWriterTest, CheckpointsAreBookmarks)
{
    Doc.CreatePendingCheckpoint("Kapitel 1", false, {});
    Doc.AppendText("eins", 0, 0);
    Doc.CreatePendingCheckpoint("", false, {});
    Doc.AppendText("zwei", 0, 0);
    Doc.CreatePendingCheckpoint("", false, {});
    Doc.AppendText("drei", 0, 0);
    const std::string body = Body();
    EXPECT_NE(body.find("{\\*\\bkmkstart Kapitel_1}{\\*\\bkmkend Kapitel_1}"), std::string::npos) << body;
    EXPECT_NE(body.find("{\\*\\bkmkstart DocViewCheckpoint1}"), std::string::npos) << body;
    EXPECT_NE(body.find("{\\*\\bkmkstart DocViewCheckpoint2}"), std::string::npos) << body;
}

TEST_F(RtfWriterTest, LinkTargetsStayInsideTheirField)
{
    const int link = AddTextStyle();
    Sheet.TextStyles[link].Jump = true;
    Doc.AppendText("hier", link, 0, "http://x/{a}\\b\"c");
    const std::string body = Body();
    EXPECT_NE(body.find("{\\field{\\*\\fldinst HYPERLINK \"http://x/\\{a\\}\\\\\\\\b\"c\"}{\\fldrslt \\plain \\f0\\fs20 hier}}"),
              std::string::npos)
        << body;
    // Braces balance: the field is one group whatever the target held.
    int depth = 0;
    for (std::size_t k = 0; k < body.size(); ++k) {
        if (body[k] == '\\') {
            ++k;
            continue;
        }
        depth += body[k] == '{' ? 1 : body[k] == '}' ? -1 : 0;
        ASSERT_GE(depth, -1) << body;
    }
    EXPECT_EQ(depth, -1) << "only the document's closing brace is left";
    // A place in the document is a bookmark.
    Doc.Clear();
    Doc.AppendText("oben", link, 0, "#Kapitel 1");
    EXPECT_NE(Body().find("HYPERLINK \\l \"Kapitel_1\""), std::string::npos) << Body();
}

TEST_F(RtfWriterTest, ParagraphsAndStylesChangeOnlyWhereTheyDiffer)
{
    TParaInfo& centred = Sheet.ParaStyles.Add();
    centred.Alignment = rvaCenter;
    centred.SpaceBefore = 4;
    const int centredNo = Sheet.ParaStyles.Count() - 1;
    Doc.AppendText("a", 0, 0);
    Doc.AppendText("b", 0, 0);
    Doc.AppendText("c", 0, centredNo);
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->ParaNo = -1;
    Doc.AppendItem("", std::move(tab));
    const std::string body = Body();
    EXPECT_EQ(body, "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 a\r\n\\par b\r\n\\par \\pard\\fi0\\li0"
                    "\\qc\\ri0\\sb60\\sa0\\itap0 c\\tab \\par}");
}

TEST_F(RtfWriterTest, NotesKeepTheirNumberAndText)
{
    const int super = AddTextStyle();
    Sheet.TextStyles[super].SubSuperScriptType = rvsssSuperScript;
    Doc.AppendText("Text", 0, 0);
    auto footnote = std::make_unique<TRVFootnoteItemInfo>();
    footnote->ParaNo = -1;
    footnote->TextStyleNo = super;
    footnote->NoteText().AppendText("Anmerkung ", 0, 0);
    auto reference = std::make_unique<TRVNoteReferenceItemInfo>();
    reference->ParaNo = -1;
    reference->TextStyleNo = super;
    footnote->NoteText().AppendItem({}, std::move(reference));
    Doc.AppendItem({}, std::move(footnote));
    Doc.AppendText(" weiter", 0, -1);
    const std::string rtf = Rtf();
    EXPECT_NE(rtf.find("\\deflangfe0\\fet2{\\*\\ftnsep\\pard\\plain\\chftnsep }{\\*\\ftnsepc\\pard\\plain\\chftnsepc}"),
              std::string::npos)
        << rtf;
    EXPECT_EQ(rtf.find("aftnsep"), std::string::npos) << "no endnote, no endnote separator";
    // The number in the note's style, the text in the destination, the reference in it as the
    // note's number again; after the group the text goes on in the style it had before.
    EXPECT_EQ(Body(), "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 Text\\plain \\f0\\super\\fs20 "
                      "\\chftn{\\footnote\\pard\\plain \r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 "
                      "Anmerkung \\plain \\f0\\super\\fs20 \\chftn }\\plain \\f0\\fs20  weiter\\par}");

    // An endnote in a table cell: "\ftnalt", its paragraphs outside the table, the separator
    // of endnotes in the header although the note is no item of the document itself.
    Doc.Clear();
    auto table = std::make_unique<TRVTableItemInfo>(1, 1, &Doc);
    table->ParaNo = 0;
    auto endnote = std::make_unique<TRVEndnoteItemInfo>();
    endnote->ParaNo = 0;
    endnote->NoteText().AppendText("hinten", 0, 0);
    table->Cells(0, 0)->Clear();
    table->Cells(0, 0)->AppendItem({}, std::move(endnote));
    Doc.AppendItem({}, std::move(table));
    const std::string cell = Rtf();
    EXPECT_NE(cell.find("{\\*\\aftnsep\\pard\\plain\\chftnsep }"), std::string::npos) << cell;
    EXPECT_NE(cell.find("\\chftn{\\footnote\\ftnalt\\pard\\plain \r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain "
                        "\\f0\\fs20 hinten}"),
              std::string::npos)
        << cell;

    // A reference that stands in no note shows its own text.
    Doc.Clear();
    auto loose = std::make_unique<TRVNoteReferenceItemInfo>();
    loose->ParaNo = 0;
    loose->Text = "7";
    Doc.AppendItem({}, std::move(loose));
    EXPECT_EQ(Body().find("\\chftn"), std::string::npos) << Body();
    EXPECT_NE(Body().find(" 7\\par}"), std::string::npos) << Body();
}

} // namespace
} // namespace xq

// The JSON dump: valid JSON for every item kind, fixed key order, text as UTF-8, stable output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "pictures/UnreadablePicture.h"
#include "support/Json.h"

namespace xq {
namespace {

using test::ParseJson;
using test::TJson;

TJson Parse(const std::string& text)
{
    std::string error;
    std::optional<TJson> json = ParseJson(text, &error);
    if (!json) {
        ADD_FAILURE() << "invalid JSON: " << error << "\n" << text;
        return {};
    }
    return *json;
}

class DocumentDumpTest : public ::testing::Test {
protected:
    DocumentDumpTest()
    {
        SetupMainWindowStyleSheet(Sheet);
        TFontInfo& unicode = Sheet.TextStyles.Add();
        unicode.CopyStyle(Sheet.TextStyles[0]);
        unicode.Unicode = true;
        UnicodeStyle = Sheet.TextStyles.Count() - 1;
        TRVListInfo& list = Sheet.ListStyles.Add();
        list.SetListId(4711);
        TRVListLevel& level = list.Levels.Add();
        level.ListType = rvlstDecimal;
        level.FormatString = "%0:s.";
        Info.DocParameters = MainWindowDocParameters();
    }

    template <class T>
    T& Append(std::unique_ptr<T> item, std::string name = {}, int paraNo = 0)
    {
        T& ref = *item;
        item->ParaNo = paraNo;
        Doc.AppendItem(std::move(name), std::move(item));
        return ref;
    }

    /// One item of every kind the engine has, with checkpoints, tags and hints. Without
    /// `everything`, only what RVF keeps: no control (this program has none) and no tag that
    /// is not UTF-8.
    void BuildRichDocument(bool everything)
    {
        Doc.CreatePendingCheckpoint("Anfang", true, "cp-tag");
        Doc.AppendText("Gr\xFC\xDF" "e", 0, 0, "t\x01" "ab");
        Doc.ItemAt(0).Hint = "Hinweis \"zitiert\"";
        Doc.AppendTextW(u"\u20AC 5", UnicodeStyle, -1);
        auto& line = Append(std::make_unique<TRVBreakItemInfo>());
        line.Color = clNavy;
        line.Style = rvbsDashed;
        line.Width = 2;
        auto& picture = Append(std::make_unique<TRVGraphicItemInfo>(), "Logo");
        picture.Image = std::make_unique<TUnreadablePicture>("TPNGObject", "abc");
        picture.ImageWidth = 40;
        auto& hotPicture = Append(std::make_unique<TRVHotGraphicItemInfo>(), "Link", -1);
        hotPicture.Image = std::make_unique<TUnreadablePicture>("TJPEGImage", "12345");
        if (everything) {
            auto& control = Append(std::make_unique<TRVControlItemInfo>(), "Knopf", -1);
            control.ControlClassName = "TButton";
        }
        auto& bullet = Append(std::make_unique<TRVBulletItemInfo>(), "", -1);
        bullet.ImageListTag = 3;
        bullet.ImageIndex = 2;
        auto& hotspot = Append(std::make_unique<TRVHotspotItemInfo>(), "", -1);
        hotspot.HotImageIndex = 4;
        Append(std::make_unique<TRVTabItemInfo>(), "", -1).TextStyleNo = 1;
        Append(std::make_unique<TRVLabelItemInfo>(), "", -1).Text = "Stra\xDF" "e";
        Append(std::make_unique<TRVSeqItemInfo>(), "", -1).SeqName = "Abbildung";
        auto& footnote = Append(std::make_unique<TRVFootnoteItemInfo>(), "", -1);
        footnote.NoteText().AppendText("Fu\xDFnote ", 0, 0);
        auto reference = std::make_unique<TRVNoteReferenceItemInfo>();
        reference->ParaNo = -1;
        footnote.NoteText().AppendItem({}, std::move(reference));
        Append(std::make_unique<TRVEndnoteItemInfo>(), "", -1);
        Append(std::make_unique<TRVMarkerItemInfo>(0, 0), "", 0);
        Doc.AppendText("Punkt", 0, -1, everything ? "\xFF\xFE" : "Punkt");
        Doc.CreatePendingCheckpoint("Ende", false, "");
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVDocumentInfo Info;
    int UnicodeStyle = 0;
};

TEST_F(DocumentDumpTest, SmallDocumentInFixedForm)
{
    TRVStyle bare;
    bare.TextStyles.Clear();
    bare.ParaStyles.Clear();
    TCustomRVData doc(&bare);
    doc.AppendText("Gr\xFC\xDF" "e", 0, 0);
    doc.AppendItem({}, std::make_unique<TRVBreakItemInfo>());
    EXPECT_EQ(DumpDocumentJson(bare, doc, nullptr), R"({
  "textStyles": [],
  "paraStyles": [],
  "listStyles": [],
  "document": null,
  "items": [
    {
      "index": 0,
      "kind": "text",
      "styleNo": 0,
      "paraNo": 0,
      "options": [],
      "text": "Grüße",
      "tag": "",
      "hint": "",
      "checkpoint": null
    },
    {
      "index": 1,
      "kind": "break",
      "styleNo": -1,
      "paraNo": 0,
      "options": [],
      "name": "",
      "tag": "",
      "hint": "",
      "checkpoint": null,
      "data": {
        "color": "clNone",
        "style": "line",
        "width": 1,
        "deleteProtect": false
      }
    }
  ],
  "endCheckpoint": null
}
)");
}

TEST_F(DocumentDumpTest, EveryItemKindGivesValidJson)
{
    BuildRichDocument(true);
    const TJson root = Parse(DumpDocumentJson(Sheet, Doc, &Info));
    ASSERT_EQ(root.Keys(), (std::vector<std::string>{"textStyles", "paraStyles", "listStyles", "document", "items",
                                                     "endCheckpoint"}));
    const TJson& items = root["items"];
    std::vector<std::string> kinds;
    for (const TJson& item : items.Items)
        kinds.push_back(item["kind"].Text);
    EXPECT_EQ(kinds, (std::vector<std::string>{"text", "text", "break", "picture", "hotPicture", "control", "bullet",
                                               "hotspot", "tab", "label", "sequence", "footnote", "endnote", "marker",
                                               "text"}));
    for (std::size_t i = 0; i < items.Items.size(); ++i)
        EXPECT_EQ(items[i]["index"].Int(), static_cast<std::int64_t>(i));

    const TJson& first = items[0];
    EXPECT_EQ(first.Keys(), (std::vector<std::string>{"index", "kind", "styleNo", "paraNo", "options", "text", "tag",
                                                      "hint", "checkpoint"}));
    EXPECT_EQ(first["text"].Text, "Grüße") << "8-bit text converted from its code page";
    EXPECT_EQ(first["tag"].Text, "t\x01" "ab");
    EXPECT_EQ(first["hint"].Text, "Hinweis \"zitiert\"");
    EXPECT_EQ(first["checkpoint"]["name"].Text, "Anfang");
    EXPECT_EQ(first["checkpoint"]["tag"].Text, "cp-tag");
    EXPECT_TRUE(first["checkpoint"]["raiseEvent"].Boolean);
    EXPECT_EQ(items[1]["text"].Text, "€ 5");
    EXPECT_EQ(items[1]["options"].Items.size(), 2u);
    EXPECT_EQ(items[1]["options"][0].Text, "continuesPara");
    EXPECT_EQ(items[1]["options"][1].Text, "unicode");

    EXPECT_EQ(items[2]["data"]["color"].Text, "#000080");
    EXPECT_EQ(items[2]["data"]["style"].Text, "dashed");
    EXPECT_EQ(items[2]["data"]["width"].Int(), 2);
    EXPECT_EQ(items[3]["name"].Text, "Logo");
    EXPECT_EQ(items[3]["data"]["picture"]["class"].Text, "TPNGObject");
    EXPECT_EQ(items[3]["data"]["picture"]["byteSize"].Int(), 3);
    EXPECT_EQ(items[3]["data"]["imageWidth"].Int(), 40);
    EXPECT_EQ(items[4]["data"]["picture"]["byteSize"].Int(), 5);
    EXPECT_EQ(items[5]["data"]["className"].Text, "TButton");
    EXPECT_EQ(items[6]["data"]["imageListTag"].Int(), 3);
    EXPECT_FALSE(items[6]["data"].Has("hotImageIndex"));
    EXPECT_EQ(items[7]["data"]["hotImageIndex"].Int(), 4);
    EXPECT_EQ(items[8]["data"]["textStyleNo"].Int(), 1);
    EXPECT_EQ(items[9]["data"]["text"].Text, "Straße");
    EXPECT_EQ(items[10]["data"]["seqName"].Text, "Abbildung");

    const TJson& note = items[11]["data"]["subDocument"];
    ASSERT_EQ(note["items"].Items.size(), 2u);
    EXPECT_EQ(note["items"][0]["text"].Text, "Fußnote ");
    EXPECT_EQ(note["items"][1]["kind"].Text, "noteReference");
    EXPECT_EQ(items[12]["data"]["subDocument"]["items"].Items.size(), 0u);

    EXPECT_EQ(items[13]["data"]["listNo"].Int(), 0);
    EXPECT_EQ(items[13]["data"]["counter"].Int(), 1);
    EXPECT_EQ(items[13]["data"]["displayText"].Text, "1.");
    EXPECT_EQ(items[14]["tag"].Text, "\xEF\xBF\xBD\xEF\xBF\xBD") << "invalid UTF-8 becomes U+FFFD";
    EXPECT_EQ(root["endCheckpoint"]["name"].Text, "Ende");
}

TEST_F(DocumentDumpTest, StylesAndDocumentSettings)
{
    Info.DocProperties = {"Zeile\r\nzwei"};
    Info.BackgroundColor = clWhite;
    Info.Layout = TRVLayoutInfo{5, 10, 0, 0, 600, 600};
    const TJson root = Parse(DumpDocumentJson(Sheet, Doc, &Info));

    const TJson& text = root["textStyles"];
    ASSERT_EQ(text.Items.size(), static_cast<std::size_t>(Sheet.TextStyles.Count()));
    EXPECT_EQ(text[1]["styleName"].Text, "Überschrift");
    EXPECT_EQ(text[1]["style"].Items.size(), 2u);
    EXPECT_EQ(text[1]["style"][0].Text, "bold");
    EXPECT_EQ(text[1]["color"].Text, "#0000FF");
    EXPECT_EQ(text[0]["color"].Text, "clWindowText");
    EXPECT_TRUE(text[static_cast<std::size_t>(UnicodeStyle)]["unicode"].Boolean);

    const TJson& para = root["paraStyles"];
    ASSERT_EQ(para.Items.size(), static_cast<std::size_t>(Sheet.ParaStyles.Count()));
    EXPECT_EQ(para[4]["styleName"].Text, "Einfacher Rahmen");
    EXPECT_EQ(para[4]["border"]["style"].Text, "single");
    EXPECT_EQ(para[4]["border"]["borderOffsets"]["left"].Int(), 5);
    EXPECT_EQ(para[1]["alignment"].Text, "center");

    const TJson& list = root["listStyles"][0];
    EXPECT_EQ(list["listId"].Int(), 4711);
    EXPECT_EQ(list["levels"][0]["listType"].Text, "decimal");
    EXPECT_EQ(list["levels"][0]["formatString"].Text, "%0:s.");

    const TJson& document = root["document"];
    EXPECT_EQ(document["background"]["color"].Text, "#FFFFFF");
    EXPECT_EQ(document["docProperties"][0].Text, "Zeile\r\nzwei");
    EXPECT_EQ(document["layout"]["leftMargin"].Int(), 5);
    EXPECT_EQ(document["layout"]["maxTextWidth"].Int(), 600);
    // The page lengths read as the RVF page lines write them.
    const TJson& page = document["docParameters"];
    EXPECT_EQ(page["units"].Text, "millimeters");
    for (const std::string& line : Info.DocParameters.RvfLines()) {
        const std::string name = line.substr(0, line.find('='));
        std::string key = name;
        key[0] = static_cast<char>(key[0] - 'A' + 'a');
        if (page[key].Kind == TJson::TKind::Number) {
            EXPECT_EQ(page[key].Text, line.substr(name.size() + 1)) << name;
        }
    }
}

TEST_F(DocumentDumpTest, DumpSurvivesAnRvfRoundTripUnchanged)
{
    BuildRichDocument(false);
    const std::string before = DumpDocumentJson(Sheet, Doc, &Info);
    EXPECT_EQ(DumpDocumentJson(Sheet, Doc, &Info), before) << "dumping changes nothing";

    std::string stream;
    ASSERT_TRUE(TRVFWriter(Sheet, RVFMainWindowOptions).WriteDocument(Doc, &Info, stream));
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TCustomRVData doc(&sheet);
    TRVDocumentInfo info;
    ASSERT_TRUE(TRVFReader(sheet, RVFMainWindowOptions).ReadDocument(doc, &info, stream));
    EXPECT_EQ(DumpDocumentJson(sheet, doc, &info), before);
}

} // namespace
} // namespace xq

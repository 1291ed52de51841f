// The item container: paragraph rules of appending, checkpoints, text forms and errors.
#include <gtest/gtest.h>

#include <cstdint>

#include "document/ItemRegistry.h"
#include "document/LengthBounds.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "platform/CodePage.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using test::DocDump;

class RVDataTest : public ::testing::Test {
protected:
    RVDataTest() { SetupMainWindowStyleSheet(Sheet); }

    std::unique_ptr<TCustomRVItemInfo> Text(int styleNo, int paraNo)
    {
        auto item = std::make_unique<TRVTextItemInfo>(styleNo);
        item->ParaNo = paraNo;
        return item;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(RVDataTest, AppendingStartsAndContinuesParagraphs)
{
    Doc.AppendText("Erster", 0, -1); // -1 on an empty container starts paragraph 0
    Doc.AppendText(" Absatz", 1, 3); // continues nothing: 3 is a paragraph start
    Doc.AppendText(" weiter", 2, -1);
    auto line = Text(0, 5);
    line->SetNewLine(true);
    Doc.AppendItem("Zeile", std::move(line));
    EXPECT_EQ(DocDump(Doc), R"([p0]"Erster" [p3]" Absatz"s1 " weiter"s2 /"Zeile")");
    EXPECT_EQ(Doc.ParaOf(2), 3) << "a continuing item takes the paragraph's number";
    EXPECT_EQ(Doc.ParaOf(3), 3) << "so does a line break inside it";
    EXPECT_TRUE(Doc.StartsLine(3));
    EXPECT_FALSE(Doc.StartsParagraph(3));
    EXPECT_TRUE(Doc.StartsParagraph(1));
    EXPECT_FALSE(Doc.StartsLine(2));
}

TEST_F(RVDataTest, FullLineItemsAlwaysStandAlone)
{
    Doc.AppendText("Text", 0, 0);
    auto line = std::make_unique<TRVBreakItemInfo>();
    line->ParaNo = -1;
    line->SetNewLine(true);
    Doc.AppendItem("", std::move(line));
    Doc.AppendText("nach der Linie", 0, -1);
    EXPECT_EQ(DocDump(Doc), R"([p0]"Text" [p0]<-1> [p0]"nach der Linie")");
}

TEST_F(RVDataTest, PageBreakIsKeptAndNewParagraphsCanBeRefused)
{
    auto item = Text(0, 2);
    item->SetNewPageBefore(true);
    Doc.AppendItem("Seite 2", std::move(item));
    EXPECT_EQ(DocDump(Doc), R"([p2^]"Seite 2")");

    TCustomRVData cell(&Sheet);
    cell.AllowNewParagraphs = false;
    cell.AppendText("eins", 0, 1);
    cell.AppendText("zwei", 0, 4);
    EXPECT_EQ(DocDump(cell), R"([p1]"eins" /"zwei")") << "the first item still starts the paragraph";
}

TEST_F(RVDataTest, ParagraphStartAfterMarkerGetsAnEmptyTextFirst)
{
    auto marker = CreateItemByStyleNo(rvsListMarker);
    ASSERT_NE(marker, nullptr);
    marker->ParaNo = 1;
    Doc.AppendItem("", std::move(marker));
    Doc.AppendText("neuer Absatz", 0, 2);
    EXPECT_EQ(DocDump(Doc), R"([p1]<-11> "" [p2]"neuer Absatz")");
}

TEST_F(RVDataTest, ConvertsTextToTheFormOfTheStyle)
{
    TFontInfo& unicode = Sheet.TextStyles.Add(); // 7
    unicode.CopyStyle(Sheet.TextStyles[0]);
    unicode.Unicode = true;

    Doc.AppendText("Gr\xFC\xDF" "e", 7, 0); // 8-bit input into a Unicode style
    EXPECT_TRUE(Doc.ItemAt(0).IsUnicode());
    EXPECT_EQ(Doc.TextAt(0), std::string("G\0r\0\xFC\0\xDF\0e\0", 10));
    EXPECT_EQ(Doc.ItemLength(0), 5);
    EXPECT_EQ(Doc.OffsetAfter(0), 6);

    Doc.AppendTextW(u"\u00C4rger \u20AC", 0, -1); // UTF-16 input into an 8-bit style
    EXPECT_FALSE(Doc.ItemAt(1).IsUnicode());
    EXPECT_EQ(Doc.TextAt(1), "\xC4rger \x80");

    Doc.AppendTextW(u"\u0416", 0, -1); // no Cyrillic in 1252
    EXPECT_EQ(Doc.TextAt(2), "?");

    Sheet.SpacesInTab = 2;
    Doc.AppendTextExpandingTabs("a\tb", 0, -1);
    EXPECT_EQ(Doc.TextAt(3), "a  b");
}

TEST_F(RVDataTest, OddUnicodeTextIsRefused)
{
    auto item = Text(0, 0);
    item->SetUnicode(true);
    try {
        Doc.AppendItem(std::string("abc"), std::move(item));
        FAIL() << "odd UTF-16 text was accepted";
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Can't perform Unicode operation");
    }
    EXPECT_EQ(Doc.Count(), 0);
}

TEST_F(RVDataTest, DefaultStyleResolvesThroughTheParagraph)
{
    Doc.AppendText("a", -1, 0);
    EXPECT_EQ(Doc.StyleOf(0), rvsDefStyle);
    EXPECT_EQ(Doc.ActualStyleOf(0), 0) << "no DefStyleNo: text style 0";
    Sheet.ParaStyles[0].DefStyleNo = 5;
    EXPECT_EQ(Doc.ActualStyleOf(0), 5);
}

TEST_F(RVDataTest, OffsetsOfTextAndOtherItems)
{
    Doc.AppendText("Hallo", 0, 0);
    Doc.AppendItem("", std::make_unique<TRVTabItemInfo>());
    EXPECT_EQ(Doc.OffsetBefore(0), 1);
    EXPECT_EQ(Doc.OffsetAfter(0), 6);
    EXPECT_EQ(Doc.OffsetBefore(1), 0);
    EXPECT_EQ(Doc.OffsetAfter(1), 1);
}

TEST_F(RVDataTest, BadIndicesThrowTheEngineError)
{
    Doc.AppendText("x", 0, 0);
    for (int bad : {-1, 1, 1000}) {
        try {
            (void)Doc.ItemAt(bad);
            FAIL() << bad;
        } catch (const EDocViewError& e) {
            EXPECT_STREQ(e.what(), "Item index is out of bounds");
        }
    }
    EXPECT_THROW((void)Doc.TextAt(5), EDocViewError);
    EXPECT_THROW(Doc.SetText(-1, "y"), EDocViewError);
    EXPECT_THROW(Doc.RemoveItems(3, 1), EDocViewError);
    EXPECT_THROW(Doc.InsertItemAt(2, "", Text(0, 0)), EDocViewError);
    Doc.RemoveItems(0, 99); // the count is cut at the end
    EXPECT_EQ(Doc.Count(), 0);
}

TEST_F(RVDataTest, PendingCheckpointGoesToTheNextItem)
{
    EXPECT_EQ(Doc.CreatePendingCheckpoint("anfang", false, ""), 0);
    EXPECT_EQ(Doc.CreatePendingCheckpoint("zweiter", true, ""), 0) << "only one can be pending";
    Doc.AppendText("a", 0, 0);
    ASSERT_NE(Doc.ItemAt(0).Checkpoint(), nullptr);
    EXPECT_EQ(Doc.ItemAt(0).Checkpoint()->Name, "anfang");
    EXPECT_EQ(Doc.PendingCheckpoint(), nullptr);
    EXPECT_EQ(Doc.CreatePendingCheckpoint("ende", false, ""), 1);
    EXPECT_EQ(Doc.CheckpointCount(), 1);

    // An item that brings its own checkpoint replaces the pending one.
    auto item = Text(0, -1);
    auto cp = std::make_unique<TRVCPInfo>();
    cp->Name = "eigen";
    item->SetCheckpointDescription(std::move(cp));
    Doc.AppendItem("b", std::move(item));
    EXPECT_EQ(Doc.ItemAt(1).Checkpoint()->Name, "eigen");
    EXPECT_EQ(Doc.PendingCheckpoint(), nullptr);
}

TEST_F(RVDataTest, CheckpointChainFollowsTheDocumentOrder)
{
    auto withCP = [this](const char* name, int paraNo) {
        auto item = Text(0, paraNo);
        auto cp = std::make_unique<TRVCPInfo>();
        cp->Name = name;
        item->SetCheckpointDescription(std::move(cp));
        return item;
    };
    Doc.AppendItem("1", withCP("a", 0));
    Doc.AppendText("2", 0, 0);
    Doc.AppendItem("3", withCP("c", 0));
    Doc.InsertItemAt(1, "x", withCP("b", 0)); // between a and c
    Doc.InsertItemAt(0, "y", withCP("z", 0)); // before all

    auto chain = [this] {
        std::string names, back;
        for (TRVCPInfo* cp = Doc.FirstCheckpoint(); cp; cp = cp->Next)
            names += cp->Name;
        for (TRVCPInfo* cp = Doc.LastCheckpoint(); cp; cp = cp->Prev)
            back.insert(0, cp->Name);
        EXPECT_EQ(names, back) << "both directions agree";
        return names;
    };
    EXPECT_EQ(chain(), "zabc");
    EXPECT_EQ(Doc.CheckpointCount(), 4);
    EXPECT_EQ(Doc.FirstCheckpoint()->ItemInfo, &Doc.ItemAt(0));

    Doc.RemoveItems(1, 2); // items "1" (a) and "x" (b)
    EXPECT_EQ(chain(), "zc");
    EXPECT_EQ(Doc.CheckpointCount(), 2);
    Doc.RemoveCheckpoint(0);
    EXPECT_EQ(chain(), "c");
    Doc.Clear();
    EXPECT_EQ(Doc.FirstCheckpoint(), nullptr);
    EXPECT_EQ(Doc.CheckpointCount(), 0);
}

TEST_F(RVDataTest, ExtraPropertiesByNumberAndName)
{
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    Doc.AppendItem("bild", std::move(picture));
    Doc.AppendText("text", 0, -1);

    Doc.SetItemExtraIntProperty(0, FindExtraIntProperty("width"), 120);
    Doc.SetItemExtraIntProperty(0, rvepDeleteProtect, 1);
    Doc.SetItemExtraStrProperty(0, FindExtraStrProperty("alt"), "Logo");
    EXPECT_EQ(Doc.GetItemExtraIntProperty(0, rvepImageWidth), 120);
    EXPECT_EQ(Doc.GetItemExtraIntProperty(0, rvepDeleteProtect), 1);
    EXPECT_EQ(Doc.GetItemExtraIntProperty(0, rvepSpacing), 1);
    EXPECT_EQ(Doc.GetItemExtraStrProperty(0, rvespAlt), "Logo");
    EXPECT_STREQ(ExtraIntPropertyName(rvepNoHTMLImageSize), "nohtmlsize");
    EXPECT_EQ(FindExtraIntProperty("unremovable"), rvepDeleteProtect);
    EXPECT_EQ(FindExtraIntProperty("Width"), rvepUnknown) << "names match exactly";

    // Transparency belongs to bitmaps only; text items have only the hint.
    try {
        (void)Doc.GetItemExtraIntProperty(0, rvepTransparent);
        FAIL();
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Can't get or set this kind of information for this item");
    }
    EXPECT_THROW(Doc.SetItemExtraIntProperty(1, rvepVShift, 3), EDocViewError);
    Doc.SetItemExtraStrProperty(1, rvespHint, "Tipp");
    EXPECT_EQ(Doc.ItemAt(1).Hint, "Tipp");
}

TEST_F(RVDataTest, ExtraPropertiesHoldLengthsInTheirRanges)
{
    Doc.AppendItem("bild", std::make_unique<TRVGraphicItemInfo>());
    Doc.AppendItem("knopf", std::make_unique<TRVControlItemInfo>());
    const auto set = [this](int item, TRVExtraItemProperty prop, std::int32_t value) {
        Doc.SetItemExtraIntProperty(item, prop, value);
        return Doc.GetItemExtraIntProperty(item, prop);
    };
    // Ordinary values as they are, the bounds themselves included.
    EXPECT_EQ(set(0, rvepImageWidth, 640), 640);
    EXPECT_EQ(set(0, rvepImageHeight, PictureSizeRange.Max), PictureSizeRange.Max);
    EXPECT_EQ(set(0, rvepVShift, -50), -50);
    EXPECT_EQ(set(0, rvepSpacing, PixelLengthRange.Min), PixelLengthRange.Min);
    EXPECT_EQ(set(0, rvepAnimationInterval, INT32_MAX), INT32_MAX) << "not a length";

    // Beyond them, the nearest bound; a negative picture size is the picture's own size.
    EXPECT_EQ(set(0, rvepImageWidth, INT32_MAX), PictureSizeRange.Max);
    EXPECT_EQ(set(0, rvepImageHeight, INT32_MIN), 0);
    EXPECT_EQ(set(0, rvepImageWidth, -1), 0);
    EXPECT_EQ(set(0, rvepVShift, INT32_MAX), PixelLengthRange.Max);
    EXPECT_EQ(set(0, rvepVShift, INT32_MIN), PixelLengthRange.Min);
    EXPECT_EQ(set(0, rvepSpacing, INT32_MAX), PixelLengthRange.Max);
    EXPECT_EQ(set(0, rvepMinHeightOnPage, INT32_MIN), 0);
    EXPECT_EQ(set(1, rvepMinHeightOnPage, INT32_MAX), NonNegativeLengthRange.Max);
    EXPECT_EQ(set(1, rvepVShift, 40000), PixelLengthRange.Max);
}

TEST_F(RVDataTest, CopyingADocumentNeedsTheSameTagMode)
{
    Doc.CreatePendingCheckpoint("cp", false, "");
    Doc.AppendText("a", 0, 0, "http://example.org");
    TCustomRVData copy(&Sheet);
    copy.AssignDocument(Doc);
    EXPECT_EQ(DocDump(copy), DocDump(Doc));
    EXPECT_NE(&copy.ItemAt(0), &Doc.ItemAt(0));
    EXPECT_EQ(copy.CheckpointCount(), 1);

    TCustomRVData integerTags(&Sheet);
    integerTags.TagsArePChars = false;
    try {
        integerTags.AssignDocument(Doc);
        FAIL();
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Can't assign DocView to DocView - tags types mismatch");
    }
}

TEST(ItemInfo, OptionBitsClearEachOther)
{
    TRVTextItemInfo item;
    item.SetNewPageBefore(true);
    item.SetContinuesPara(true);
    EXPECT_EQ(item.ItemOptions(), TCustomRVItemInfo::rvioContinuesPara);
    item.SetNewLine(true);
    EXPECT_EQ(item.ItemOptions(), TCustomRVItemInfo::rvioNewLine);
    item.SetUnicode(true);
    item.SetNewPageBefore(true);
    EXPECT_EQ(item.ItemOptions(), TCustomRVItemInfo::rvioNewPageBefore | TCustomRVItemInfo::rvioUnicode);
    item.SetItemOptions(0xFF);
    EXPECT_EQ(item.ItemOptions(), 0x0F) << "only four bits are stored";
}

TEST(ItemInfo, CopyingBetweenClassesTakesWhatTheyShare)
{
    TRVGraphicItemInfo picture;
    picture.ParaNo = 3;
    picture.Tag = "t";
    picture.ImageWidth = 40;
    picture.Spacing = 5;
    picture.DeleteProtect = true;

    TRVHotGraphicItemInfo hot; // a picture class: takes the picture fields, keeps its kind
    hot.Assign(picture);
    EXPECT_EQ(hot.StyleNo, rvsHotPicture);
    EXPECT_EQ(hot.ImageWidth, 40);
    EXPECT_EQ(hot.ParaNo, 3);

    TRVTabItemInfo tab; // a sibling class: rectangle fields and common fields only
    tab.Assign(picture);
    EXPECT_EQ(tab.StyleNo, rvsTab);
    EXPECT_EQ(tab.Spacing, 5);
    EXPECT_TRUE(tab.DeleteProtect);
    EXPECT_EQ(tab.Tag, "t");

    auto copy = picture.CreateCopy(false);
    EXPECT_EQ(copy->StyleNo, rvsPicture);
    EXPECT_EQ(static_cast<TRVGraphicItemInfo&>(*copy).ImageWidth, 40);
}

TEST(ItemRegistry, KindsAreRegisteredOnce)
{
    struct OtherTable : TRVFullLineItemInfo {
        OtherTable() : TRVFullLineItemInfo(-61) {}
        std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override { return std::make_unique<OtherTable>(); }
    };
    struct Intruder : OtherTable {};

    RegisterItemKind<OtherTable>(-61);
    RegisterItemKind<OtherTable>(-61); // the same pair again is harmless
    try {
        RegisterItemKind<Intruder>(-61);
        FAIL();
    } catch (const EDocViewError& e) {
        EXPECT_STREQ(e.what(), "Can't register DocView item type - this StyleNo is already registered");
    }
    EXPECT_THROW(RegisterItemKind<Intruder>(rvsTab), EDocViewError) << "built-in kinds are taken";
    EXPECT_NE(dynamic_cast<OtherTable*>(CreateItemByStyleNo(-61).get()), nullptr);
    EXPECT_NE(dynamic_cast<TRVBreakItemInfo*>(CreateItemByStyleNo(rvsBreak).get()), nullptr);
    EXPECT_EQ(CreateItemByStyleNo(5)->StyleNo, 5);
    EXPECT_EQ(CreateItemByStyleNo(-99), nullptr) << "unknown kinds create nothing";
    EXPECT_EQ(CreateItemByStyleNo(rvsCheckpoint), nullptr) << "file records are no items";
}

} // namespace
} // namespace xq

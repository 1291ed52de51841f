// Purging unused styles: what stays, how references and item numbers follow, sub-documents.
#include "document/StylePurge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using test::DocDump;

constexpr int ListUserKind = -1001;
constexpr int BoxKind = -1002;

/// Refers to a list style the way list markers do.
class TListUserItem : public TRVNonTextItemInfo {
public:
    explicit TListUserItem(int listNo) noexcept : TRVNonTextItemInfo(ListUserKind), ListNo(listNo) {}

    int ListNo;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override
    {
        return std::make_unique<TListUserItem>(ListNo);
    }
    void MarkStylesInUse(TRVStyleUsage& usage) const override
    {
        TRVNonTextItemInfo::MarkStylesInUse(usage);
        usage.UseList(ListNo);
    }
    void UpdateStyles(const TRVStyleRenumbering& map) override
    {
        TRVNonTextItemInfo::UpdateStyles(map);
        ListNo = map.NewList(ListNo);
    }
};

/// Owns a container, as table cells and notes do.
class TBoxItem : public TRVNonTextItemInfo {
public:
    TBoxItem() : TRVNonTextItemInfo(BoxKind), Inner(std::make_unique<TRVSubData>(nullptr, this)) {}

    std::unique_ptr<TRVSubData> Inner;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override
    {
        return std::make_unique<TBoxItem>();
    }
    [[nodiscard]] int SubDocumentCount() const noexcept override { return 1; }
    [[nodiscard]] TCustomRVData* SubDocument(int) const noexcept override { return Inner.get(); }
    void OnInserted(TCustomRVData& owner, int) override { Inner->AttachTo(&owner); }
};

class StylePurgeTest : public ::testing::Test {
protected:
    StylePurgeTest() { SetupMainWindowStyleSheet(Sheet); }

    /// Appends a non-standard text style named name; returns its index.
    int AddText(const std::string& name)
    {
        TFontInfo& s = Sheet.TextStyles.Add();
        s.StyleName = name;
        s.Standard = false;
        return Sheet.TextStyles.Count() - 1;
    }
    int AddPara(const std::string& name)
    {
        TParaInfo& s = Sheet.ParaStyles.Add();
        s.StyleName = name;
        s.Standard = false;
        return Sheet.ParaStyles.Count() - 1;
    }
    int AddList(const std::string& name, bool standard)
    {
        TRVListInfo& s = Sheet.ListStyles.Add();
        s.StyleName = name;
        s.Standard = standard;
        s.Levels.Add();
        return Sheet.ListStyles.Count() - 1;
    }

    template <class TInfos>
    static std::vector<std::string> Names(const TInfos& styles)
    {
        std::vector<std::string> names;
        for (const auto& s : styles)
            names.push_back(s->StyleName);
        return names;
    }
    static std::vector<std::string> Plus(std::vector<std::string> names, std::vector<std::string> more)
    {
        names.insert(names.end(), more.begin(), more.end());
        return names;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(StylePurgeTest, AfterAClearOnlyStandardAndReachableStylesStay)
{
    const auto standardText = Names(Sheet.TextStyles);
    const auto standardPara = Names(Sheet.ParaStyles);

    AddText("unused");                                      // 7
    Sheet.TextStyles[0].NextStyleNo = AddText("next");      // 8
    Sheet.TextStyles[8].BaseStyleNo = AddText("base");      // 9, reached through 8
    const int defText = AddText("default of a paragraph");  // 10
    Sheet.DefUnicodeStyle = AddText("unicode");             // 11
    AddText("unused too");                                  // 12
    Sheet.TextStyles[12].NextStyleNo = 7; // an unused chain stays unused

    AddPara("unused");                                      // 6
    Sheet.ParaStyles[1].NextParaNo = AddPara("next");       // 7
    Sheet.ParaStyles[7].BaseStyleNo = AddPara("base");      // 8
    Sheet.ParaStyles[8].DefStyleNo = defText;

    AddList("standard", true);                              // 0
    AddList("unused", false);                               // 1
    Sheet.ListStyles[0].BaseStyleNo = AddList("base", false); // 2

    Doc.AppendText("Text", 9, 8);
    Doc.Clear();
    PurgeStyles(Sheet, Doc, true, true, true);

    EXPECT_EQ(Names(Sheet.TextStyles), Plus(standardText, {"next", "base", "default of a paragraph", "unicode"}));
    EXPECT_EQ(Names(Sheet.ParaStyles), Plus(standardPara, {"next", "base"}));
    EXPECT_EQ(Names(Sheet.ListStyles), (std::vector<std::string>{"standard", "base"}));

    // References follow their styles to the new numbers.
    EXPECT_EQ(Sheet.TextStyles[0].NextStyleNo, 7);
    EXPECT_EQ(Sheet.TextStyles[7].BaseStyleNo, 8);
    EXPECT_EQ(Sheet.DefUnicodeStyle, 10);
    EXPECT_EQ(Sheet.ParaStyles[1].NextParaNo, 6);
    EXPECT_EQ(Sheet.ParaStyles[6].BaseStyleNo, 7);
    EXPECT_EQ(Sheet.ParaStyles[7].DefStyleNo, 9);
    EXPECT_EQ(Sheet.ListStyles[0].BaseStyleNo, 1);

    // A second purge finds nothing more to do.
    PurgeStyles(Sheet, Doc, true, true, true);
    EXPECT_EQ(Sheet.TextStyles.Count(), 11);
    EXPECT_EQ(Sheet.ParaStyles.Count(), 8);
    EXPECT_EQ(Sheet.ListStyles.Count(), 2);
}

TEST_F(StylePurgeTest, ReferencesOutsideTheCollectionAreReset)
{
    Sheet.TextStyles[1].NextStyleNo = 40;
    Sheet.TextStyles[2].BaseStyleNo = 7; // one past the end
    Sheet.ParaStyles[0].NextParaNo = 6;
    Sheet.ParaStyles[3].DefStyleNo = 99;
    Sheet.DefUnicodeStyle = 7;
    PurgeStyles(Sheet, Doc, true, true, true);
    EXPECT_EQ(Sheet.TextStyles[1].NextStyleNo, -1);
    EXPECT_EQ(Sheet.TextStyles[2].BaseStyleNo, -1);
    EXPECT_EQ(Sheet.ParaStyles[0].NextParaNo, -1);
    EXPECT_EQ(Sheet.ParaStyles[3].DefStyleNo, -1);
    EXPECT_EQ(Sheet.DefUnicodeStyle, -1);
}

TEST_F(StylePurgeTest, ItemsAreRenumberedInEveryContainer)
{
    AddText("gone");                         // 7
    const int red = AddText("red");          // 8
    Sheet.TextStyles[red].Color = clRed;
    const int leader = AddText("tab leader"); // 9
    const int boxed = AddText("in the box"); // 10
    AddPara("gone");                         // 6
    const int quote = AddPara("quote");      // 7
    const int inner = AddPara("inner");      // 8
    AddList("gone", false);                  // 0
    const int list = AddList("used", false); // 1

    Doc.AppendText("Hallo ", 0, quote);
    Doc.AppendText("Welt", red, -1);
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->ParaNo = -1;
    tab->TextStyleNo = leader;
    Doc.AppendItem("", std::move(tab));
    auto listUser = std::make_unique<TListUserItem>(list);
    listUser->ParaNo = -1;
    Doc.AppendItem("", std::move(listUser));
    auto box = std::make_unique<TBoxItem>();
    box->ParaNo = 0;
    TBoxItem& boxRef = *box;
    Doc.AppendItem("", std::move(box));
    boxRef.Inner->AppendText("innen", boxed, inner);
    boxRef.Inner->AppendText("Standard", 3, 0);
    ASSERT_EQ(DocDump(Doc), R"([p7]"Hallo " "Welt"s8 <-12> <-1001> [p0]<-1002>)");

    PurgeStyles(Sheet, Doc, true, true, true);

    EXPECT_EQ(DocDump(Doc), R"([p6]"Hallo " "Welt"s7 <-12> <-1001> [p0]<-1002>)");
    EXPECT_EQ(DocDump(*boxRef.Inner), R"([p7]"innen"s9 [p0]"Standard"s3)");
    EXPECT_EQ(static_cast<const TRVTabItemInfo&>(Doc.ItemAt(2)).TextStyleNo, 8);
    EXPECT_EQ(static_cast<const TListUserItem&>(Doc.ItemAt(3)).ListNo, 0);

    // Every item still shows the style it showed before.
    EXPECT_EQ(Sheet.TextStyles.StyleAt(Doc.StyleOf(1)).StyleName, "red");
    EXPECT_EQ(Sheet.TextStyles.StyleAt(Doc.StyleOf(1)).Color, clRed);
    EXPECT_EQ(Sheet.TextStyles[8].StyleName, "tab leader");
    EXPECT_EQ(Sheet.TextStyles[9].StyleName, "in the box");
    EXPECT_EQ(Sheet.ParaStyles.StyleAt(Doc.ParaOf(0)).StyleName, "quote");
    EXPECT_EQ(Sheet.ParaStyles.StyleAt(boxRef.Inner->ParaOf(0)).StyleName, "inner");
    EXPECT_EQ(Names(Sheet.ListStyles), (std::vector<std::string>{"used"}));
}

TEST_F(StylePurgeTest, ItemsOfDefaultTextStyleKeepTheParagraphDefault)
{
    const int def = AddText("paragraph default"); // 7
    AddText("gone");                              // 8
    const int para = AddPara("with default");     // 6
    Sheet.ParaStyles[para].DefStyleNo = def;
    Doc.AppendText("ohne eigenen Stil", -1, para); // a text item of rvsDefStyle
    PurgeStyles(Sheet, Doc, true, true, true);
    EXPECT_EQ(Sheet.TextStyles.Count(), 8);
    EXPECT_EQ(Doc.StyleOf(0), rvsDefStyle);
    EXPECT_EQ(Sheet.TextStyles.StyleAt(Doc.ActualStyleOf(0)).StyleName, "paragraph default");
}

TEST_F(StylePurgeTest, OnlySelectedCollectionsArePurged)
{
    AddText("unused text");
    AddPara("gone");                  // 6
    const int kept = AddPara("kept"); // 7
    Sheet.ParaStyles[kept].NextParaNo = kept;
    AddList("unused list", false);
    Sheet.DefUnicodeStyle = 30;
    Doc.AppendText("x", 0, kept);

    PurgeStyles(Sheet, Doc, false, true, false);
    EXPECT_EQ(Sheet.TextStyles.Count(), 8);
    EXPECT_EQ(Sheet.ListStyles.Count(), 1);
    EXPECT_EQ(Sheet.DefUnicodeStyle, 30) << "belongs to the text styles, which were not purged";
    ASSERT_EQ(Sheet.ParaStyles.Count(), 7);
    EXPECT_EQ(Sheet.ParaStyles[6].StyleName, "kept");
    EXPECT_EQ(Sheet.ParaStyles[6].NextParaNo, 6);
    EXPECT_EQ(Doc.ParaOf(0), 6);

    PurgeStyles(Sheet, Doc, false, false, true);
    EXPECT_EQ(Sheet.TextStyles.Count(), 8);
    EXPECT_EQ(Sheet.ListStyles.Count(), 0);
}

} // namespace
} // namespace xq

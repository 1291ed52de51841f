// The list styles of the bullet and numbering commands, and when numbering carries on.
#include <gtest/gtest.h>

#include "ListTestSupport.h"
#include "lists/ListBuilders.h"

namespace xq::test {
namespace {

using ListBuilders = ListDocTest;

TEST_F(ListBuilders, BulletListsAreSharedByEqualSettings)
{
    const int bullets = CreateBullets(Sheet, 12, 5, 0x0000FF, "l", 2, 24);
    const TRVListInfo& list = Sheet.ListStyles[bullets];
    ASSERT_EQ(list.Levels.Count(), 1);
    const TRVListLevel& level = list.Levels[0];
    EXPECT_EQ(level.ListType, rvlstBullet);
    EXPECT_EQ(level.FormatString, "l");
    ASSERT_NE(level.Font(), nullptr);
    EXPECT_EQ(level.Font()->Name, "Wingdings");
    EXPECT_TRUE(level.Font()->Style.Empty());
    EXPECT_EQ(level.Font()->Size, 12);
    EXPECT_EQ(level.Font()->Color, 0x0000FFu);
    EXPECT_EQ(level.FirstIndent, 5);
    EXPECT_EQ(level.LeftIndent, 24);
    EXPECT_EQ(level.MarkerIndent, 2);
    EXPECT_EQ(level.MarkerAlignment, rvmaLeft);
    EXPECT_FALSE(list.Standard);

    EXPECT_EQ(CreateBullets(Sheet, 12, 5, 0x0000FF, "l", 2, 24), bullets);
    EXPECT_NE(CreateBullets(Sheet, 14, 5, 0x0000FF, "l", 2, 24), bullets);
}

TEST_F(ListBuilders, BulletCommandSizes)
{
    const auto sizeOf = [&](const std::string& box) {
        return Sheet.ListStyles[BulletsCommandList(Sheet, box)].Levels[0].Font()->Size;
    };
    EXPECT_EQ(sizeOf(""), 10);
    EXPECT_EQ(sizeOf("12"), 12);
    EXPECT_EQ(sizeOf("36"), 20);
    EXPECT_EQ(sizeOf("48"), 20);
    EXPECT_EQ(sizeOf("12pt"), 10) << "not a number";
    const int twelve = BulletsCommandList(Sheet, "12");
    EXPECT_EQ(CreateBullets(Sheet, 12, 0, 0, "l", 2, 24), twelve);
    EXPECT_EQ(Sheet.ListStyles.Count(), 3);
}

TEST_F(ListBuilders, NumberingContinuesOnlyAnAdjacentList)
{
    const int numbered = NumberingCommandList(Sheet, Doc, 0, 0, "", "Arial");
    for (int k = 0; k < 3; ++k)
        AddPara(numbered);
    Doc.AppendText("direkt danach", 0, 0);
    EXPECT_EQ(NumberingCommandList(Sheet, Doc, 6, 6, "", "Arial"), numbered);
    EXPECT_EQ(NumberingCommandList(Sheet, Doc, 3, 6, "", "Arial"), numbered) << "the selection's own paragraphs";

    Doc.InsertItemAt(6, {}, Marker(numbered, 0));
    Doc.ItemAt(7).SetContinuesPara(true);
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3.", "4."}));

    Doc.AppendText("eins", 0, 0);
    Doc.AppendText("zwei", 0, 0);
    Doc.AppendText("drei", 0, 0);
    EXPECT_EQ(NumberingCommandList(Sheet, Doc, 8, 8, "", "Arial"), numbered) << "the paragraph before counts";
    const int fresh = NumberingCommandList(Sheet, Doc, 10, 10, "", "Arial");
    EXPECT_NE(fresh, numbered);
    EXPECT_TRUE(Sheet.ListStyles[fresh].EqualsStyle(Sheet.ListStyles[numbered], true));
    EXPECT_FALSE(Sheet.ListStyles[fresh].Standard);

    Doc.InsertItemAt(10, {}, Marker(fresh, 0));
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3.", "4.", "1."}));
    EXPECT_EQ(NumberingCommandList(Sheet, Doc, 4, 4, "", "Courier New"), fresh + 1) << "other font, other list";
}

TEST_F(ListBuilders, NumberingCommandFontsAndKinds)
{
    const auto levelOf = [&](int listNo) -> const TRVListLevel& { return Sheet.ListStyles[listNo].Levels[0]; };
    for (const char* symbol : {"", "Wingdings", "wingdings 2", "Wingdings 3", "Webdings"})
        EXPECT_EQ(levelOf(NumberingCommandList(Sheet, Doc, 0, 0, "", symbol)).Font()->Name, "Arial") << symbol;
    const TRVListLevel& times = levelOf(NumberingCommandList(Sheet, Doc, 0, 0, "30", "Times New Roman"));
    EXPECT_EQ(times.Font()->Name, "Times New Roman");
    EXPECT_EQ(times.Font()->Size, 30) << "numbering takes any size";
    EXPECT_EQ(times.ListType, rvlstDecimal);
    EXPECT_EQ(times.FormatString, "%0:s.");
    EXPECT_EQ(times.LeftIndent, 24);
    EXPECT_EQ(times.MarkerIndent, 0);
    EXPECT_EQ(times.FirstIndent, 0);

    const TRVListType kinds[] = {rvlstLowerAlpha, rvlstUpperAlpha, rvlstLowerRoman, rvlstUpperRoman};
    for (int kind = 2; kind <= 5; ++kind) {
        const int listNo =
            CreateNumbering(Sheet, Doc, 0, 0, 11, 3, 0x00FF00, {fsBold}, "Arial", "(%0:s)", kind, 1, 30);
        EXPECT_EQ(levelOf(listNo).ListType, kinds[kind - 2]);
        EXPECT_TRUE(levelOf(listNo).Font()->Style.Contains(fsBold));
        EXPECT_EQ(levelOf(listNo).FormatString, "(%0:s)");
    }
}

} // namespace
} // namespace xq::test

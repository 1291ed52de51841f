// Merging incoming style collections into the sheet: closest mapping, merging, appending.
#include "document/StyleMerge.h"

#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "document/StyleLikeness.h"

namespace xq {
namespace {

class StyleMergeTest : public ::testing::Test {
protected:
    StyleMergeTest() { SetupMainWindowStyleSheet(Sheet); }

    /// Appends a copy of sheet style index to the fragment.
    TFontInfo& FragmentText(int index)
    {
        TFontInfo& s = Fragment.TextStyles.Add();
        s.CopyStyle(Sheet.TextStyles[index]);
        return s;
    }
    TParaInfo& FragmentPara(int index)
    {
        TParaInfo& s = Fragment.ParaStyles.Add();
        s.CopyStyle(Sheet.ParaStyles[index]);
        return s;
    }
    /// A style that the main window's sheet does not have.
    static void MakeCourier(TFontInfo& s)
    {
        s.FontName = "Courier New";
        s.Size = 11;
    }

    TRVStyle Sheet;
    TRVStyle Fragment; // a second sheet stands for the collections read with a fragment
};

TEST_F(StyleMergeTest, MapModeKeepsJumpsAmongJumps)
{
    TFontInfo& courierJump = Sheet.TextStyles.Add(); // 7
    MakeCourier(courierJump);
    courierJump.Size = 20;
    courierJump.Jump = true;
    TFontInfo& arialJump = Sheet.TextStyles.Add(); // 8
    arialJump.Size = 14;
    arialJump.Jump = true;

    Fragment.TextStyles.Clear();
    TFontInfo& link = Fragment.TextStyles.Add();
    link.Jump = true;
    link.Color = clBlack;
    link.HoverColor = clRed; // hover settings unlike those of the sheet's jumps
    link.HoverBackColor = clYellow;
    link.HoverEffects = {rvheUnderline};
    link.JumpCursor = crHandPoint;
    TFontInfo& heading = Fragment.TextStyles.Add();
    heading.Size = 12;
    heading.Style = {fsBold, fsUnderline};
    heading.Color = 0xFF0000;

    // "Variable2" (Arial 10 black) is the closest style of all, but it is no jump.
    ASSERT_GT(Likeness(link, Sheet.TextStyles[6]), Likeness(link, Sheet.TextStyles[8]));
    ASSERT_GT(Likeness(link, Sheet.TextStyles[8]), Likeness(link, Sheet.TextStyles[7]));

    const TRVIndexMap map = MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Map);
    EXPECT_EQ(map, (TRVIndexMap{8, 1}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 9) << "mapping adds nothing";
}

TEST_F(StyleMergeTest, MapModeFallsBackFromJumpToUnicodeToAll)
{
    TFontInfo& unicodeJump = Sheet.TextStyles.Add(); // 7: the twin of the incoming style but a jump
    unicodeJump.Color = clBlack;
    unicodeJump.Unicode = true;
    unicodeJump.Jump = true;

    Fragment.TextStyles.Clear();
    TFontInfo& unicodeText = Fragment.TextStyles.Add();
    unicodeText.Color = clBlack;
    unicodeText.Unicode = true;
    // No non-jump Unicode style exists: the same Jump wins over the same Unicode.
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Map), (TRVIndexMap{6}));

    // A jump that meets a sheet without other jumps: the same Unicode, then anything.
    unicodeText.Jump = true;
    unicodeText.Size = 7;
    unicodeJump.Jump = false;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Map), (TRVIndexMap{7}));
    unicodeText.Unicode = false;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Map), (TRVIndexMap{3}))
        << "Hochgestellt is Arial 7 black";
}

TEST_F(StyleMergeTest, MapModeTiesParagraphsAndLists)
{
    Sheet.TextStyles.Add().CopyStyle(Sheet.TextStyles[5]); // 7 equals 5
    Sheet.ParaStyles.Add().CopyStyle(Sheet.ParaStyles[2]);  // 6 equals 2
    Fragment.TextStyles.Clear();
    Fragment.ParaStyles.Clear();
    FragmentText(5);
    FragmentPara(2);
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Map), (TRVIndexMap{5}));
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_Map), (TRVIndexMap{2}));

    Fragment.ParaStyles.Clear();
    TParaInfo& centred = Fragment.ParaStyles.Add();
    centred.Alignment = rvaCenter;
    centred.SpaceAfter = 4;
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_Map), (TRVIndexMap{1}));

    TRVListInfo& list = Fragment.ListStyles.Add();
    list.Levels.Add().ListType = rvlstDecimal;
    Sheet.ListStyles.Add().Levels.Add(); // 0: bullets
    TRVListLevel& fromThree = Sheet.ListStyles.Add().Levels.Add();
    fromThree.ListType = rvlstDecimal;
    fromThree.StartFrom = 3;
    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_Map), (TRVIndexMap{1}));
    EXPECT_EQ(Sheet.ListStyles.Count(), 2);
}

TEST_F(StyleMergeTest, MapModeIntoEmptyCollections)
{
    // Nothing to map to: text and paragraphs fall back to 0, which shows as the fallback style,
    // lists to -1, which names no list.
    Sheet.TextStyles.Clear();
    Sheet.ParaStyles.Clear();
    Fragment.ListStyles.Add();
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Map), TRVIndexMap(6, 0));
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_Map), TRVIndexMap(2, 0));
    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_Map), (TRVIndexMap{-1}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 0);
}

TEST_F(StyleMergeTest, MergeFindsEqualStylesSamePositionFirst)
{
    Sheet.TextStyles.Add().CopyStyle(Sheet.TextStyles[0]); // 7 duplicates 0
    Sheet.ParaStyles.Add().CopyStyle(Sheet.ParaStyles[1]);  // 6 duplicates 1
    // A fragment cut from a document with the same sheet maps onto itself, duplicates included.
    Fragment.TextStyles.Clear();
    Fragment.ParaStyles.Clear();
    for (int i = 0; i < Sheet.TextStyles.Count(); ++i)
        FragmentText(i);
    for (int i = 0; i < Sheet.ParaStyles.Count(); ++i)
        FragmentPara(i);
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge),
              (TRVIndexMap{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_SmartMerge),
              (TRVIndexMap{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 8);

    // Elsewhere the first equal style is taken.
    Fragment.TextStyles.Clear();
    FragmentText(3);
    FragmentText(7).StyleName = "another name"; // names are no part of equality
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{3, 0}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 8);
}

TEST_F(StyleMergeTest, MergeAppendsNewStylesAsNonStandard)
{
    Fragment.TextStyles.Clear();
    FragmentText(0);
    TFontInfo& courier = FragmentText(0);
    MakeCourier(courier);
    courier.StyleName = "Code";
    ASSERT_TRUE(courier.Standard);

    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 7}));
    ASSERT_EQ(Sheet.TextStyles.Count(), 8);
    const TFontInfo& added = Sheet.TextStyles[7];
    EXPECT_EQ(added.FontName, "Courier New");
    EXPECT_EQ(added.StyleName, "Code");
    EXPECT_FALSE(added.Standard);
    EXPECT_TRUE(Sheet.TextStyles[0].Standard);

    // Merging the same fragment again finds the copy.
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 7}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 8);
}

TEST_F(StyleMergeTest, AFragmentNeverAddsTheSameStyleTwice)
{
    // Two equal new text styles (a fragment from another program with duplicates) and a third
    // that differs only in where Enter leads.
    Fragment.TextStyles.Clear();
    MakeCourier(FragmentText(0));      // 0: new
    FragmentText(0);                   // 1: equals sheet style 0
    MakeCourier(FragmentText(0));      // 2: equals 0
    TFontInfo& leading = FragmentText(0);
    MakeCourier(leading);              // 3: equals 0, but Enter leads to style 1
    leading.NextStyleNo = 1;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{7, 0, 7, 8}));
    ASSERT_EQ(Sheet.TextStyles.Count(), 9);
    EXPECT_EQ(Sheet.TextStyles[8].NextStyleNo, 0);

    // Forward references between copies are judged by what they lead to.
    Fragment.TextStyles.Clear();
    TFontInfo& first = FragmentText(0);
    MakeCourier(first);
    first.Size = 30; // 0: new, leads to 2
    first.NextStyleNo = 2;
    TFontInfo& second = FragmentText(0);
    MakeCourier(second);
    second.Size = 30; // 1: equals 0 and leads to 3, which equals 2
    second.NextStyleNo = 3;
    FragmentText(1).Size = 31; // 2: new
    FragmentText(1).Size = 31; // 3: equals 2
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{9, 9, 10, 10}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 11);
    EXPECT_EQ(Sheet.TextStyles[9].NextStyleNo, 10);

    // Paragraph styles alike.
    Fragment.ParaStyles.Clear();
    FragmentPara(0).LeftIndent = 40;
    FragmentPara(0).LeftIndent = 40;
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_SmartMerge), (TRVIndexMap{6, 6}));
    EXPECT_EQ(Sheet.ParaStyles.Count(), 7);

    // Append mode still appends every one.
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_Append), (TRVIndexMap{7, 8}));
}

TEST_F(StyleMergeTest, NextStyleNoMustLeadToTheSameStyle)
{
    Fragment.TextStyles.Clear();
    TFontInfo& courier = FragmentText(0); // 0: new, appended as 7
    MakeCourier(courier);
    FragmentText(2).NextStyleNo = 0;      // 1: like "Gliederung", but Enter leads to the new style

    // Sheet style 2 has no NextStyleNo; source 1 leads to 7, so 2 does not match.
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{7, 8}));
    EXPECT_EQ(Sheet.TextStyles[8].NextStyleNo, 7) << "renumbered through the map";

    // A sheet style leading to where the map leads matches.
    Sheet.TextStyles[2].NextStyleNo = 7;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{7, 2}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 9);
}

TEST_F(StyleMergeTest, NextStyleNoAheadInTheFragmentIsJudgedByItsTarget)
{
    Fragment.TextStyles.Clear();
    FragmentText(2).NextStyleNo = 1; // 0: leads to a style that is only mapped later
    FragmentText(0);                 // 1: equals sheet style 0

    Sheet.TextStyles[2].NextStyleNo = 0;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{2, 0}));
    EXPECT_EQ(Sheet.TextStyles.Count(), 7);

    Sheet.TextStyles[2].NextStyleNo = 3; // leads somewhere else
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{7, 0}));
    EXPECT_EQ(Sheet.TextStyles[7].NextStyleNo, 0) << "the forward reference is renumbered after the loop";

    // A style leading to itself matches a sheet style leading to itself.
    Fragment.TextStyles.Clear();
    FragmentText(4).NextStyleNo = 0;
    Sheet.TextStyles[4].NextStyleNo = 4;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{4}));
}

TEST_F(StyleMergeTest, NextStyleNoBeyondTheFragmentIsDropped)
{
    Fragment.TextStyles.Clear();
    FragmentText(0).NextStyleNo = 5; // the fragment has two styles: 5 names nothing
    TFontInfo& courier = FragmentText(0);
    MakeCourier(courier);
    courier.NextStyleNo = 9;
    courier.BaseStyleNo = 2;

    Sheet.TextStyles[0].NextStyleNo = 3;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 7}));
    EXPECT_EQ(Sheet.TextStyles[7].NextStyleNo, -1);
    EXPECT_EQ(Sheet.TextStyles[7].BaseStyleNo, -1);
    EXPECT_EQ(Sheet.TextStyles[0].NextStyleNo, 3) << "existing styles are left alone";

    // Without a NextStyleNo the candidate's is not looked at.
    Fragment.TextStyles.Clear();
    FragmentText(2);
    Sheet.TextStyles[2].NextStyleNo = 0;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_SmartMerge), (TRVIndexMap{2}));
}

TEST_F(StyleMergeTest, AppendModeAppendsEverythingAndRenumbersReferences)
{
    Fragment.TextStyles.Clear();
    FragmentText(0).NextStyleNo = 1;
    FragmentText(1).BaseStyleNo = 0;
    EXPECT_EQ(MergeStyles(Sheet.TextStyles, Fragment.TextStyles, rvs_merge_Append), (TRVIndexMap{7, 8}));
    ASSERT_EQ(Sheet.TextStyles.Count(), 9);
    EXPECT_EQ(Sheet.TextStyles[7].NextStyleNo, 8);
    EXPECT_EQ(Sheet.TextStyles[7].BaseStyleNo, -1);
    EXPECT_EQ(Sheet.TextStyles[8].BaseStyleNo, 7);
    EXPECT_FALSE(Sheet.TextStyles[7].Standard);
    EXPECT_FALSE(Sheet.TextStyles[8].Standard);
}

TEST_F(StyleMergeTest, ParagraphReferencesAndDefaultTextStyles)
{
    Fragment.ParaStyles.Clear();
    TParaInfo& quote = FragmentPara(0); // 0: new
    quote.LeftIndent = 40;
    quote.DefStyleNo = 1;
    quote.NextParaNo = 1;
    TParaInfo& note = FragmentPara(0); // 1: new
    note.SpaceBefore = 3;
    note.DefStyleNo = 5;  // beyond the text style map
    note.BaseStyleNo = 4; // beyond the fragment
    FragmentPara(3).NextParaNo = 0; // 2: like "Blocksatz", but leads to the new style

    const TRVIndexMap textMap{0, 9};
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_SmartMerge, &textMap),
              (TRVIndexMap{6, 7, 8}));
    ASSERT_EQ(Sheet.ParaStyles.Count(), 9);
    EXPECT_EQ(Sheet.ParaStyles[6].DefStyleNo, 9);
    EXPECT_EQ(Sheet.ParaStyles[6].NextParaNo, 7);
    EXPECT_EQ(Sheet.ParaStyles[7].DefStyleNo, -1);
    EXPECT_EQ(Sheet.ParaStyles[7].BaseStyleNo, -1);
    EXPECT_EQ(Sheet.ParaStyles[8].NextParaNo, 6);
    EXPECT_FALSE(Sheet.ParaStyles[8].Standard);

    // Without a text style map DefStyleNo stays as the fragment has it.
    Fragment.ParaStyles.Clear();
    TParaInfo& indented = FragmentPara(0);
    indented.FirstIndent = 20;
    indented.DefStyleNo = 1;
    EXPECT_EQ(MergeStyles(Sheet.ParaStyles, Fragment.ParaStyles, rvs_merge_SmartMerge), (TRVIndexMap{9}));
    EXPECT_EQ(Sheet.ParaStyles[9].DefStyleNo, 1);
}

TRVListInfo& AddNumberedList(TRVListInfos& lists, std::int32_t id)
{
    TRVListInfo& list = lists.Add();
    list.SetListId(id);
    list.Levels.Add().ListType = rvlstDecimal;
    list.Levels.Add().ListType = rvlstLowerAlpha;
    return list;
}

TEST_F(StyleMergeTest, NumberedListsOfAFragmentStayApart)
{
    AddNumberedList(Sheet.ListStyles, 42);
    AddNumberedList(Fragment.ListStyles, 42);
    AddNumberedList(Fragment.ListStyles, 42);

    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 1}));
    ASSERT_EQ(Sheet.ListStyles.Count(), 2);
    EXPECT_EQ(Sheet.ListStyles[1].ListId(), 42) << "an appended list keeps its identity";
    EXPECT_FALSE(Sheet.ListStyles[1].Standard);

    // Bullets have no numbering to keep apart: both take the same list.
    Sheet.ListStyles.Delete(1);
    for (TRVListInfos* lists : {&Sheet.ListStyles, &Fragment.ListStyles})
        for (const auto& list : *lists)
            list->Levels[0].ListType = list->Levels[1].ListType = rvlstBullet;
    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 0}));
    EXPECT_EQ(Sheet.ListStyles.Count(), 1);
}

TEST_F(StyleMergeTest, NewListsOfAFragmentShareACopyOnlyWithoutNumbering)
{
    AddNumberedList(Fragment.ListStyles, 7);
    AddNumberedList(Fragment.ListStyles, 7);
    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 1}));

    Sheet.ListStyles.Clear();
    for (const auto& list : Fragment.ListStyles)
        list->Levels[0].ListType = list->Levels[1].ListType = rvlstBullet;
    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_SmartMerge), (TRVIndexMap{0, 0}));
    EXPECT_EQ(Sheet.ListStyles.Count(), 1);
}

TEST_F(StyleMergeTest, ListsMustShareTheirIdentity)
{
    AddNumberedList(Sheet.ListStyles, 42);
    AddNumberedList(Fragment.ListStyles, 43);
    AddNumberedList(Fragment.ListStyles, 42).BaseStyleNo = 0;
    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_SmartMerge), (TRVIndexMap{1, 0}));
    ASSERT_EQ(Sheet.ListStyles.Count(), 2);
    EXPECT_EQ(Sheet.ListStyles[1].ListId(), 43);

    EXPECT_EQ(MergeStyles(Sheet.ListStyles, Fragment.ListStyles, rvs_merge_Append), (TRVIndexMap{2, 3}));
    EXPECT_EQ(Sheet.ListStyles[3].ListId(), 42);
    EXPECT_EQ(Sheet.ListStyles[3].BaseStyleNo, 2);
}

} // namespace
} // namespace xq

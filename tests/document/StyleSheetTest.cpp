// The style sheet: defaults, comparison, lookup, fallbacks and list identities.
#include <gtest/gtest.h>

#include "document/RVStyle.h"

namespace xq {
namespace {

TEST(StyleSheet, MainWindowSheetHasThirteenStandardStyles)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    ASSERT_EQ(sheet.TextStyles.Count(), 7);
    ASSERT_EQ(sheet.ParaStyles.Count(), 6);
    EXPECT_EQ(sheet.ListStyles.Count(), 0);
    for (const auto& s : sheet.TextStyles)
        EXPECT_TRUE(s->Standard);
    for (const auto& s : sheet.ParaStyles)
        EXPECT_TRUE(s->Standard);

    const TFontInfo& heading = sheet.TextStyles[1];
    EXPECT_EQ(heading.StyleName, "\xC3\x9C" "berschrift");
    EXPECT_EQ(heading.Size, 12);
    EXPECT_EQ(heading.Style, (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(heading.Color, 0xFF0000u);
    EXPECT_EQ(sheet.TextStyles[0].FontName, "Times New Roman");
    EXPECT_EQ(sheet.TextStyles[0].JumpCursor, crDefault);
    EXPECT_EQ(sheet.TextStyles[4].VShift, -25);
    EXPECT_EQ(sheet.TextStyles[4].JumpCursor, crJump);

    const TParaInfo& doubleFrame = sheet.ParaStyles[5];
    EXPECT_EQ(doubleFrame.StyleName, "Doppelter Rahmen");
    EXPECT_EQ(doubleFrame.Border.Style, rvbDouble);
    EXPECT_EQ(doubleFrame.Border.Color, clBlack);
    EXPECT_EQ(doubleFrame.RightIndent, 2);
    EXPECT_EQ(doubleFrame.Border.BorderOffsets, (TRVRect{5, 5, 5, 5}));
    EXPECT_EQ(sheet.ParaStyles[1].Alignment, rvaCenter);
    EXPECT_EQ(sheet.ParaStyles[3].Alignment, rvaJustify);
    EXPECT_FALSE(sheet.UseSound);
}

TEST(StyleSheet, EngineDefaultSheet)
{
    TRVStyle sheet;
    ASSERT_EQ(sheet.TextStyles.Count(), 6);
    ASSERT_EQ(sheet.ParaStyles.Count(), 2);
    EXPECT_TRUE(sheet.TextStyles[4].Jump);
    EXPECT_EQ(sheet.TextStyles[5].JumpCursor, sheet.JumpCursor);
    EXPECT_EQ(sheet.ParaStyles[1].Alignment, rvaCenter);
    EXPECT_EQ(sheet.TextStyles.Add().StyleName, "Font Style");
    EXPECT_EQ(sheet.ListStyles.Add().StyleName, "List Style");
}

TEST(StyleSheet, FindMatchingStyleTriesTheBaseFirst)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    // Style 7 duplicates style 0 under another name.
    TFontInfo& dup = sheet.TextStyles.Add();
    dup.CopyStyle(sheet.TextStyles[0]);
    dup.StyleName = "Kopie";
    dup.Standard = false;

    TFontInfo probe;
    probe.CopyStyle(sheet.TextStyles[0]);
    EXPECT_EQ(sheet.TextStyles.FindMatchingStyle(7, probe, RVAllFontInfoProperties), 7);
    EXPECT_EQ(sheet.TextStyles.FindMatchingStyle(0, probe, RVAllFontInfoProperties), 0);
    // A base that does not match: the first equal style in ascending order.
    EXPECT_EQ(sheet.TextStyles.FindMatchingStyle(2, probe, RVAllFontInfoProperties), 0);

    probe.Style.Include(fsBold);
    EXPECT_EQ(sheet.TextStyles.FindMatchingStyle(0, probe, RVAllFontInfoProperties), -1);
    // Leaving bold out of the mask makes the bold probe match the plain base.
    EXPECT_EQ(sheet.TextStyles.FindMatchingStyle(7, probe, RVAllFontInfoProperties - TRVFontInfoProperties{rvfiBold}), 7);
    // An invalid base is no reason to fail.
    probe.Style.Exclude(fsBold);
    EXPECT_EQ(sheet.TextStyles.FindMatchingStyle(99, probe, RVAllFontInfoProperties), 0);
}

TEST(StyleSheet, ParagraphFindMatchingStyleTriesTheBaseFirst)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TParaInfo& dup = sheet.ParaStyles.Add();
    dup.CopyStyle(sheet.ParaStyles[1]);
    TParaInfo probe;
    probe.CopyStyle(sheet.ParaStyles[1]);
    EXPECT_EQ(sheet.ParaStyles.FindMatchingStyle(6, probe, RVAllParaInfoProperties), 6);
    EXPECT_EQ(sheet.ParaStyles.FindMatchingStyle(0, probe, RVAllParaInfoProperties), 1);
    probe.LeftIndent = 20;
    EXPECT_EQ(sheet.ParaStyles.FindMatchingStyle(1, probe, RVAllParaInfoProperties), -1);
}

TEST(StyleSheet, TextEqualityIgnoresNamesAndComparesHoverOnlyForJumps)
{
    TFontInfo a, b;
    b.StyleName = "Anders";
    b.Standard = false;
    b.BaseStyleNo = 3;
    b.FontName = "ARIAL";
    EXPECT_TRUE(a.EqualsStyle(b, false));

    b.HoverColor = clRed;
    b.HoverEffects.Include(rvheUnderline);
    b.JumpCursor = crDefault;
    EXPECT_TRUE(a.EqualsStyle(b, false)) << "hover settings of plain text do not count";
    EXPECT_FALSE(a.EqualsStyleExcept(b, RVAllFontInfoProperties)) << "the base style is a mask member";
    b.BaseStyleNo = a.BaseStyleNo;
    EXPECT_TRUE(a.EqualsStyleExcept(b, RVAllFontInfoProperties));

    a.Jump = b.Jump = true;
    EXPECT_FALSE(a.EqualsStyle(b, false));
    EXPECT_FALSE(a.EqualsStyleExcept(b, RVAllFontInfoProperties));
    b.HoverColor = a.HoverColor;
    b.HoverEffects = a.HoverEffects;
    b.JumpCursor = a.JumpCursor;
    EXPECT_TRUE(a.EqualsStyle(b, false));

    b.NextStyleNo = 2;
    EXPECT_FALSE(a.EqualsStyle(b, false));
    EXPECT_TRUE(a.EqualsStyle(b, true)) << "references are ignored on request";
    b.ModifiedProperties.Include(rvfiSize);
    EXPECT_FALSE(a.EqualsStyleExcept(b, {})) << "modified properties are always compared";
}

TEST(StyleSheet, ParagraphEqualityExceptComparesSingleSides)
{
    TParaInfo a, b;
    b.Border.BorderOffsets.Left = 4;
    EXPECT_FALSE(a.EqualsStyle(b, false));
    EXPECT_FALSE(a.EqualsStyleExcept(b, {rvpiBorder_BO_Left}));
    EXPECT_TRUE(a.EqualsStyleExcept(b, RVAllParaInfoProperties - TRVParaInfoProperties{rvpiBorder_BO_Left}));

    TParaInfo c;
    c.Options.Include(rvpaoWidowOrphanControl);
    EXPECT_TRUE(a.EqualsStyleExcept(c, RVAllParaInfoProperties)) << "widow control is not a mask member";
    EXPECT_FALSE(a.EqualsStyle(c, false)) << "but exact equality compares the whole options byte";

    TParaInfo d;
    d.Tabs.Add(100);
    EXPECT_FALSE(a.EqualsStyleExcept(d, {rvpiTabs}));
    EXPECT_TRUE(a.EqualsStyleExcept(d, {rvpiLeftIndent}));
    d.DefStyleNo = 3;
    EXPECT_TRUE(d.EqualsStyle(d, true));
}

TEST(StyleSheet, TabStopsStaySorted)
{
    TRVTabInfos tabs;
    tabs.Add(200);
    tabs.Add(50, rvtaRight, "...");
    tabs.Add(120);
    EXPECT_EQ(tabs[0].Position, 50);
    EXPECT_EQ(tabs[0].Leader, "...");
    EXPECT_EQ(tabs[2].Position, 200);

    // The last stop moves before the first one and takes its alignment along.
    tabs.SetAlign(2, rvtaCenter);
    EXPECT_EQ(tabs.SetPosition(2, 10), 0);
    EXPECT_EQ(tabs[0].Position, 10);
    EXPECT_EQ(tabs[0].Align, rvtaCenter);
    EXPECT_EQ(tabs[1].Position, 50);
    EXPECT_EQ(tabs[2].Position, 120);
    EXPECT_THROW((void)tabs[3], EDocViewError);
}

TEST(StyleSheet, BorderThickness)
{
    TRVBorder b;
    b.Width = 2;
    b.InternalWidth = 3;
    EXPECT_EQ(b.GetTotalWidth(), 0);
    b.Style = rvbSingle;
    EXPECT_EQ(b.GetTotalWidth(), 2);
    b.Style = rvbDouble;
    EXPECT_EQ(b.GetTotalWidth(), 7);
    b.Style = rvbTriple;
    EXPECT_EQ(b.GetTotalWidth(), 12);
    b.Style = rvbThickOutside;
    EXPECT_EQ(b.GetTotalWidth(), 9);
}

TEST(StyleSheet, BadIndexGivesTheFallbackStyle)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    const TFontInfo& text = sheet.TextStyles.StyleAt(42);
    EXPECT_EQ(text.Color, clWhite);
    EXPECT_EQ(text.BackColor, clRed);
    EXPECT_EQ(text.FontName, "Times New Roman") << "a copy of style 0";
    EXPECT_EQ(&sheet.TextStyles.StyleAt(-1), &text) << "one fallback for every bad index";
    EXPECT_EQ(&sheet.TextStyles.StyleAt(3), &sheet.TextStyles[3]);

    const TParaInfo& para = sheet.ParaStyles.StyleAt(-5);
    EXPECT_EQ(para.Border.Style, rvbSingle);
    EXPECT_EQ(para.Border.Color, clRed);
    EXPECT_EQ(para.Border.Width, 2);
    EXPECT_EQ(para.SpaceBefore, 1);
    EXPECT_EQ(para.Border.BorderOffsets, (TRVRect{1, 1, 1, 1}));

    // Checked access is an error, not a fallback.
    EXPECT_THROW((void)sheet.TextStyles[42], EDocViewError);
    TFontInfos empty(nullptr);
    EXPECT_EQ(empty.StyleAt(0).BackColor, clRed) << "an empty collection still displays";
}

TEST(StyleSheet, FallbackFollowsStyleZeroAndStaysValid)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    const TFontInfo& fallback = sheet.TextStyles.StyleAt(99);
    EXPECT_EQ(fallback.FontName, "Times New Roman");

    // A new sheet content: the same fallback object, now a copy of the new style 0.
    sheet.TextStyles.Clear();
    sheet.TextStyles.Add().FontName = "Courier New";
    sheet.TextStyles.Add();
    const TFontInfo& again = sheet.TextStyles.StyleAt(99);
    EXPECT_EQ(&again, &fallback) << "references to the fallback never dangle";
    EXPECT_EQ(again.FontName, "Courier New");
    EXPECT_EQ(again.Color, clWhite);
}

TEST(StyleSheet, FindCharsetVariant)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    EXPECT_EQ(sheet.TextStyles.FindCharsetVariant(0, DEFAULT_CHARSET), 0);
    EXPECT_EQ(sheet.TextStyles.FindCharsetVariant(0, RUSSIAN_CHARSET), -1);

    TFontInfo& unicode = sheet.TextStyles.Add(); // 7: Unicode variant, never chosen
    unicode.CopyStyle(sheet.TextStyles[0]);
    unicode.Charset = RUSSIAN_CHARSET;
    unicode.Unicode = true;
    TFontInfo& cyr = sheet.TextStyles.Add(); // 8
    cyr.CopyStyle(sheet.TextStyles[0]);
    cyr.Charset = RUSSIAN_CHARSET;
    EXPECT_EQ(sheet.TextStyles.FindCharsetVariant(0, RUSSIAN_CHARSET), 8);
    EXPECT_EQ(sheet.TextStyles.FindCharsetVariant(1, RUSSIAN_CHARSET), -1) << "other properties must match";
}

TEST(StyleSheet, ListIdentity)
{
    TRVListInfo list;
    list.Levels.Add();
    const std::int32_t id = list.ListId();
    EXPECT_GE(id, 1);
    EXPECT_LE(id, 2147483646);
    EXPECT_EQ(list.ListId(), id) << "drawn once";

    TRVListInfo fresh, kept;
    fresh.CopyStyle(list);
    kept.CopyStyle(list, TListIdCopy::Keep);
    EXPECT_EQ(kept.ListId(), id);
    EXPECT_TRUE(fresh.EqualsStyle(list, true));
    fresh.SetListId(id + 1 == 2147483647 ? 1 : id + 1);
    EXPECT_FALSE(fresh.EqualsStyle(list, false));

    TRVStyle sheet;
    sheet.ListStyles.Add().CopyStyle(list, TListIdCopy::Keep);
    TRVStyle other;
    other.ListStyles.CopyFrom(sheet.ListStyles);
    EXPECT_EQ(other.ListStyles[0].ListId(), id) << "a collection replaced as a whole keeps identities";
}

TEST(StyleSheet, FindOrAddListIgnoresIdentity)
{
    TRVStyle sheet;
    TRVListInfo probe;
    TRVListLevel& level = probe.Levels.Add();
    level.ListType = rvlstDecimal;
    level.FormatString = "%0:s.";

    EXPECT_EQ(sheet.ListStyles.FindOrAddList(probe, false), -1);
    ASSERT_EQ(sheet.ListStyles.FindOrAddList(probe, true), 0);
    EXPECT_FALSE(sheet.ListStyles[0].Standard);
    EXPECT_NE(sheet.ListStyles[0].ListId(), probe.ListId()) << "the added list has its own identity";
    EXPECT_EQ(sheet.ListStyles.FindOrAddList(probe, true), 0);
    EXPECT_EQ(sheet.ListStyles.Count(), 1);

    probe.Levels[0].StartFrom = 3;
    EXPECT_EQ(sheet.ListStyles.FindOrAddList(probe, false), -1) << "start values of numbered levels count";
}

TEST(StyleSheet, ListLevelEquality)
{
    TRVListLevel a, b;
    b.StartFrom = 7;
    EXPECT_TRUE(a.EqualsLevel(b)) << "bullets do not compare start values";
    b.StartFrom = 1;
    b.EditFont(); // a font equal to the defaults counts as no font
    EXPECT_TRUE(a.EqualsLevel(b));
    b.EditFont().Name = "Wingdings";
    EXPECT_FALSE(a.EqualsLevel(b));
    a.EditFont().Name = "WINGDINGS";
    EXPECT_TRUE(a.EqualsLevel(b));
    a.EditFont().Size = 9;
    EXPECT_FALSE(a.EqualsLevel(b));
    a.EditFont().Size = 8;
    a.Options.Include(rvloLegalStyleNumbering);
    EXPECT_FALSE(a.EqualsLevel(b));
}

TEST(StyleSheet, CopyStyleCopiesNestedValues)
{
    TParaInfo a;
    a.Tabs.Add(30, rvtaCenter, "-");
    a.Border.Style = rvbTriple;
    a.Background.BorderOffsets.Top = 3;
    a.StyleName = "Eigen";
    a.Standard = false;
    TParaInfo b;
    b.CopyStyle(a);
    EXPECT_TRUE(b.EqualsStyle(a, false));
    EXPECT_EQ(b.StyleName, "Eigen");
    EXPECT_FALSE(b.Standard);
    a.Tabs.SetPosition(0, 99);
    EXPECT_EQ(b.Tabs[0].Position, 30) << "tabs are copied by value";

    TFontInfo font;
    font.AssignFont(TFontDescription{"Courier New", 14, clBlue, RUSSIAN_CHARSET, {fsItalic}, fpFixed});
    EXPECT_EQ(font.FontName, "Courier New");
    EXPECT_EQ(font.Size, 14);
    EXPECT_EQ(font.Charset, RUSSIAN_CHARSET);
    EXPECT_EQ(font.ToFont().Style, TFontStyles{fsItalic});
}

} // namespace
} // namespace xq

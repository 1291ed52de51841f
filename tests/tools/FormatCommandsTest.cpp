// The formatting commands on the style sheet: text and paragraph conversions find equal styles before
// appending, the indent bounds, the alignment button of derived styles, size lists, the list at the caret.
#include "tools/FormatCommands.h"

#include <gtest/gtest.h>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"

namespace xq {
namespace {

class FormatCommands : public ::testing::Test {
protected:
    FormatCommands() { SetupMainWindowStyleSheet(Sheet); }

    TRVStyle Sheet;
    TTextConversionInput In;
};

TEST_F(FormatCommands, BoldTwiceReturnsToTheFirstStyle)
{
    const int count = Sheet.TextStyles.Count();
    In.Bold = true;
    const int bold = ConvertTextStyle(Sheet, 0, tcBold, In);
    ASSERT_EQ(bold, count) << "the plain sheet has no bold copy of style 0";
    EXPECT_TRUE(Sheet.TextStyles[bold].Style.Contains(fsBold));
    EXPECT_FALSE(Sheet.TextStyles[bold].Standard);
    EXPECT_EQ(Sheet.TextStyles[bold].FontName, Sheet.TextStyles[0].FontName);

    In.Bold = false;
    EXPECT_EQ(ConvertTextStyle(Sheet, bold, tcBold, In), 0);
    In.Bold = true;
    EXPECT_EQ(ConvertTextStyle(Sheet, 0, tcBold, In), bold) << "the bold copy is found again";
    EXPECT_EQ(ConvertTextStyle(Sheet, bold, tcBold, In), bold) << "no change answers the style itself";
    EXPECT_EQ(Sheet.TextStyles.Count(), count + 1);
}

TEST_F(FormatCommands, EachTextCodeChangesItsOwnProperty)
{
    In.Italic = In.Underline = In.StrikeOut = In.AllCaps = In.Overline = true;
    In.ConvFontName = "Courier New";
    In.ConvFontSize = 17;
    In.TextColor = 0x0000FF;
    In.TextBackColor = 0x00FF00;
    const auto converted = [&](int code) -> const TFontInfo& {
        return Sheet.TextStyles[ConvertTextStyle(Sheet, 0, code, In)];
    };
    const TFontInfo original = [&] {
        TFontInfo f;
        f.CopyStyle(Sheet.TextStyles[0]);
        return f;
    }();

    EXPECT_EQ(converted(tcItalic).Style, TFontStyles{fsItalic} | original.Style);
    EXPECT_EQ(converted(tcUnderline).Style, TFontStyles{fsUnderline} | original.Style);
    EXPECT_EQ(converted(tcStrikeOut).Style, TFontStyles{fsStrikeOut} | original.Style);
    EXPECT_EQ(converted(tcFontName).FontName, "Courier New");
    EXPECT_EQ(converted(tcFontSize).Size, 17);
    EXPECT_EQ(converted(tcColor).Color, 0x0000FFu);
    EXPECT_EQ(converted(tcBackColor).BackColor, 0x00FF00u);
    EXPECT_EQ(converted(tcFontSize).FontName, original.FontName) << "one property at a time";

    // The shared code changes only what the last of the two commands stands for.
    In.CaseOrOverline = coAllCaps;
    EXPECT_EQ(converted(tcCaseOrOverline).StyleEx, TRVFontStylesEx{rvfsAllCaps});
    In.CaseOrOverline = coOverline;
    EXPECT_EQ(converted(tcCaseOrOverline).StyleEx, TRVFontStylesEx{rvfsOverline});
    In.CaseOrOverline = coNone;
    EXPECT_EQ(ConvertTextStyle(Sheet, 0, tcCaseOrOverline, In), 0);

    In.DialogFont.Name = "Times New Roman";
    In.DialogFont.Size = 31;
    In.DialogFont.Color = 0x123456;
    In.DialogFont.Style = {fsBold, fsItalic};
    In.DialogFont.Charset = 238;
    const TFontInfo& dialog = converted(tcFontDialog);
    EXPECT_EQ(dialog.FontName, "Times New Roman");
    EXPECT_EQ(dialog.Size, 31);
    EXPECT_EQ(dialog.Color, 0x123456u);
    EXPECT_EQ(dialog.Style, (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(dialog.Charset, 238);

    // The link commands and unknown codes leave the style as it is, as does an invalid style.
    const int count = Sheet.TextStyles.Count();
    for (int code : {int(tcHyperlink), int(tcNoHyperlink), 11, 99})
        EXPECT_EQ(ConvertTextStyle(Sheet, 3, code, In), 3) << code;
    EXPECT_EQ(ConvertTextStyle(Sheet, count + 5, tcBold, In), count + 5);
    EXPECT_EQ(Sheet.TextStyles.Count(), count);
}

TEST_F(FormatCommands, IndentStaysWithinItsBounds)
{
    TParaInfo& start = Sheet.ParaStyles.Add();
    start.LeftIndent = 190;
    const int first = Sheet.ParaStyles.Count() - 1;
    const TParaConversionInput in;
    int paraNo = first;
    for (int i = 0; i < 10; ++i)
        paraNo = ConvertParaStyle(Sheet, paraNo, pcIndentIncrease, in);
    EXPECT_EQ(Sheet.ParaStyles[paraNo].LeftIndent, 200);
    EXPECT_EQ(Sheet.ParaStyles.Count(), first + 2) << "200 is appended once, then found";
    EXPECT_FALSE(Sheet.ParaStyles[paraNo].Standard);

    for (int i = 0; i < 12; ++i)
        paraNo = ConvertParaStyle(Sheet, paraNo, pcIndentDecrease, in);
    EXPECT_EQ(Sheet.ParaStyles[paraNo].LeftIndent, 0);
    EXPECT_EQ(paraNo, 0) << "back at zero the left-aligned standard style is equal again";
    EXPECT_EQ(ConvertParaStyle(Sheet, 0, pcIndentDecrease, in), 0);
}

TEST_F(FormatCommands, SpacingAndBackgroundKeepTheOtherAttributes)
{
    TParaConversionInput in;
    in.ParaBackColor = 0x00FFFF;
    const int framed = ConvertParaStyle(Sheet, 4, pcSpacing150, in);
    EXPECT_EQ(Sheet.ParaStyles[framed].LineSpacing, 150);
    EXPECT_EQ(Sheet.ParaStyles[framed].Border, Sheet.ParaStyles[4].Border);
    const int coloured = ConvertParaStyle(Sheet, framed, pcBackColor, in);
    EXPECT_EQ(Sheet.ParaStyles[coloured].Background.Color, 0x00FFFFu);
    EXPECT_EQ(Sheet.ParaStyles[coloured].LineSpacing, 150);
    EXPECT_EQ(ConvertParaStyle(Sheet, coloured, pcSpacing200, in), coloured + 1);
    EXPECT_EQ(ConvertParaStyle(Sheet, coloured + 1, pcSpacing150, in), coloured);
    EXPECT_EQ(ConvertParaStyle(Sheet, framed, pcSpacing100, in), 4);
}

TEST_F(FormatCommands, DerivedStylesShowTheirAlignment)
{
    for (int paraNo = 0; paraNo < 4; ++paraNo)
        EXPECT_EQ(AlignmentButtonOf(Sheet, paraNo), paraNo);
    const int indented = ConvertParaStyle(Sheet, 1, pcIndentIncrease, {});
    ASSERT_GT(indented, 5);
    EXPECT_EQ(AlignmentButtonOf(Sheet, indented), 1) << "centred, though its number is above 3";
    EXPECT_EQ(AlignmentButtonOf(Sheet, 5), 0) << "the double frame is left-aligned";
    EXPECT_EQ(AlignmentButtonOf(Sheet, Sheet.ParaStyles.Count()), -1);
}

TEST(FormatCommandsSizes, ScalableAndBitmapFonts)
{
    const std::vector<int> scalable = FontSizeList(true, {{13, 3}}, 96);
    EXPECT_EQ(scalable, (std::vector<int>{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}));
    // (cell height - internal leading) * 72 / 96: 16 -> 12, 13 -> 9.75 -> 10, 12 -> 9, 17 -> 12.75 -> 13.
    EXPECT_EQ(FontSizeList(false, {{19, 3}, {13, 0}, {14, 2}, {16, 0}, {20, 3}}, 96), (std::vector<int>{9, 10, 12, 13}));
    EXPECT_EQ(FontSizeList(false, {{24, 0}}, 72), (std::vector<int>{24}));
    EXPECT_TRUE(FontSizeList(false, {}, 96).empty());
}

class FormatCommandsLists : public FormatCommands {
protected:
    void AddListPara(int listNo, int level)
    {
        Doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(listNo, level));
        Doc.AppendText("x", 0, -1);
        Doc.AppendText("y", 0, -1);
    }

    TCustomRVData Doc{&Sheet};
};

TEST_F(FormatCommandsLists, BulletsNumberingAndMixedLists)
{
    Doc.AppendText("plain", 0, 0);
    const int bullets = CreateBullets(Sheet, 12, 0, 0x0000FF, "l", 2, 24);
    AddListPara(bullets, 0);
    const int roman = CreateNumbering(Sheet, Doc, 0, 0, 11, 4, 0, {fsBold}, "Arial", "%0:s.", 4, 1, 30);
    AddListPara(roman, 3);
    TRVListInfo& mixed = Sheet.ListStyles.Add();
    mixed.Levels.Add().ListType = rvlstBullet;
    mixed.Levels.Add().ListType = rvlstDecimal;
    AddListPara(Sheet.ListStyles.Count() - 1, 1);

    EXPECT_EQ(ListStateAt(Sheet, Doc, 0).ListKind, 0);
    EXPECT_EQ(ListStateAt(Sheet, Doc, -1).ListKind, 0);

    // From the last item of the paragraph back to its marker.
    const TCaretListState b = ListStateAt(Sheet, Doc, 3);
    EXPECT_EQ(b.ListKind, 1);
    EXPECT_TRUE(b.Bullets);
    EXPECT_FALSE(b.Numbering);
    EXPECT_EQ(b.MarkerFontName, "Wingdings");
    EXPECT_EQ(b.MarkerFontColor, 0x0000FFu);
    EXPECT_EQ(b.MarkerFontSize, 12);
    EXPECT_EQ(b.LevelLeftIndent, 24);
    EXPECT_EQ(b.LevelMarkerIndent, 2);
    EXPECT_EQ(b.BulletText, "l");
    EXPECT_EQ(b.NumberingKind, -1);

    // A level past the list's last is read as the last one.
    const TCaretListState n = ListStateAt(Sheet, Doc, 5);
    EXPECT_EQ(n.ListKind, 2);
    EXPECT_EQ(n.Level, 0);
    EXPECT_EQ(n.NumberingKind, 17);
    EXPECT_EQ(n.MarkerFontStyle, TFontStyles{fsBold});
    EXPECT_EQ(n.LevelFirstIndent, 4);
    EXPECT_EQ(n.LevelLeftIndent, 30);
    EXPECT_TRUE(n.BulletText.empty());

    const TCaretListState m = ListStateAt(Sheet, Doc, 9);
    EXPECT_FALSE(m.Bullets);
    EXPECT_FALSE(m.Numbering);
    EXPECT_EQ(m.ListKind, 0);
    EXPECT_EQ(m.NumberingKind, 14) << "the level at the caret is numbered";
}

} // namespace
} // namespace xq

// Choosing styles for RTF content: exact matches reused and new styles added once, the closest
// style under scoring, paragraph borders from the RTF border kinds, and the basic paragraph style.
#include "formats/rtf/RtfImportStyles.h"

#include <gtest/gtest.h>

#include <climits>

#include "document/RVStyle.h"

namespace xq {
namespace {

class RtfImportStylesTest : public ::testing::Test {
protected:
    RtfImportStylesTest()
    {
        while (Sheet.TextStyles.Count() > 1)
            Sheet.TextStyles.Delete(Sheet.TextStyles.Count() - 1);
        while (Sheet.ParaStyles.Count() > 1)
            Sheet.ParaStyles.Delete(Sheet.ParaStyles.Count() - 1);
        Choice.Mode = rvrsAddIfNeeded;
    }

    /// A run with exactly the properties of text style 0.
    TRVRTFTextRequest PlainRun() const
    {
        const TFontInfo& s = Sheet.TextStyles[0];
        TRVRTFTextRequest run;
        run.FontName = s.FontName;
        run.Size = s.Size;
        run.Color = s.Color;
        run.Charset = s.Charset;
        return run;
    }

    int Text(const TRVRTFTextRequest& run) { return SelectRtfTextStyle(Sheet.TextStyles, run, Choice); }
    int Para(const TRVRTFParaRequest& para, int spacesInTab = 0)
    {
        return SelectRtfParaStyle(Sheet.ParaStyles, para, Choice, spacesInTab);
    }

    TRVStyle Sheet;
    TRVRTFStyleChoice Choice;
};

TEST_F(RtfImportStylesTest, AnEqualRunReusesItsStyleAndABoldRunAddsOneStyleOnce)
{
    TRVRTFTextRequest run = PlainRun();
    run.FontName = "ARIAL"; // names compare without letter case
    EXPECT_EQ(Text(run), 0);
    EXPECT_EQ(Sheet.TextStyles.Count(), 1);

    run.Style.Include(fsBold);
    const int bold = Text(run);
    EXPECT_EQ(bold, 1);
    ASSERT_EQ(Sheet.TextStyles.Count(), 2);
    EXPECT_TRUE(Sheet.TextStyles[bold].Style.Contains(fsBold));
    EXPECT_FALSE(Sheet.TextStyles[bold].Standard);
    EXPECT_EQ(Text(run), bold);
    EXPECT_EQ(Sheet.TextStyles.Count(), 2);
}

TEST_F(RtfImportStylesTest, TheIndexFindsWhatTheScanFinds)
{
    // Two sheets fed the same requests, one through an index: the same styles in the same order.
    TRVStyle scanned;
    while (scanned.TextStyles.Count() > 1)
        scanned.TextStyles.Delete(scanned.TextStyles.Count() - 1);
    while (scanned.ParaStyles.Count() > 1)
        scanned.ParaStyles.Delete(scanned.ParaStyles.Count() - 1);
    // A style that only the case of its font name tells apart, and a jump style.
    TFontInfo& upper = Sheet.TextStyles.Add();
    upper.CopyStyle(Sheet.TextStyles[0]);
    upper.FontName = "ARIAL";
    upper.Jump = true;
    scanned.TextStyles.Add().CopyStyle(upper);
    TRVRTFStyleIndex index;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 40; ++i) {
            TRVRTFTextRequest run = PlainRun();
            run.Size = 8 + i % 5;
            run.Style.Set(fsBold, i % 3 == 0);
            run.Link = i % 7 == 0;
            run.Unicode = i % 4 == 0;
            Choice.UseHypertextStyles = round == 2;
            const int viaIndex = SelectRtfTextStyle(Sheet.TextStyles, run, Choice, &index);
            EXPECT_EQ(viaIndex, SelectRtfTextStyle(scanned.TextStyles, run, Choice)) << round << " " << i;

            TRVRTFParaRequest para;
            para.LeftIndent = 15 * (i % 6);
            para.KeepNext = i % 2 == 0;
            para.LineMultiple = i % 3 == 0;
            para.LineSpacing = 240 + 120 * (i % 2);
            const int paraViaIndex = SelectRtfParaStyle(Sheet.ParaStyles, para, Choice, 0, &index);
            EXPECT_EQ(paraViaIndex, SelectRtfParaStyle(scanned.ParaStyles, para, Choice, 0)) << round << " " << i;
        }
    EXPECT_EQ(Sheet.TextStyles.Count(), scanned.TextStyles.Count());
    EXPECT_EQ(Sheet.ParaStyles.Count(), scanned.ParaStyles.Count());
}

TEST_F(RtfImportStylesTest, CapsLinksProtectionAndUnicodeEachAskForTheirOwnStyle)
{
    TRVRTFTextRequest caps = PlainRun();
    caps.Caps = true;
    const int capsStyle = Text(caps);
    EXPECT_EQ(Sheet.TextStyles[capsStyle].StyleEx, TRVFontStylesEx{rvfsAllCaps});
    EXPECT_EQ(Text(caps), capsStyle);

    TRVRTFTextRequest link = PlainRun();
    link.Link = true;
    const int linkStyle = Text(link);
    EXPECT_TRUE(Sheet.TextStyles[linkStyle].Jump);
    // Ordinary text does not take the jump style unless hypertext styles are allowed.
    EXPECT_EQ(Text(PlainRun()), 0);

    TRVRTFTextRequest mark = PlainRun();
    mark.Protected = true;
    const int markStyle = Text(mark);
    EXPECT_TRUE(Sheet.TextStyles[markStyle].Protection.Contains(rvprDoNotAutoSwitch));

    TRVRTFTextRequest wide = PlainRun();
    wide.Unicode = true;
    const int wideStyle = Text(wide);
    EXPECT_TRUE(Sheet.TextStyles[wideStyle].Unicode);
    EXPECT_EQ(Sheet.TextStyles.Count(), 5);
}

TEST_F(RtfImportStylesTest, LengthsAndOffsetsAreConvertedForTheStyle)
{
    TRVRTFTextRequest run = PlainRun();
    run.Size = 0;         // counts as 1 point
    run.Spacing = 30;     // twips: 2 pixels
    run.VOffset = 6;      // half points over a 1-point font: 300 %
    const int added = Text(run);
    const TFontInfo& s = Sheet.TextStyles[added];
    EXPECT_EQ(s.Size, 1);
    EXPECT_EQ(s.CharSpacing, 2);
    EXPECT_EQ(s.VShift, 300);
}

TEST_F(RtfImportStylesTest, TheClosestStyleWinsAndNothingIsAdded)
{
    Choice.Mode = rvrsUseClosest;
    TFontInfo& courier = Sheet.TextStyles.Add();
    courier.FontName = "Courier New";
    courier.Size = 12;
    TFontInfo& boldArial = Sheet.TextStyles.Add();
    boldArial.CopyStyle(Sheet.TextStyles[0]);
    boldArial.Style.Include(fsBold);

    TRVRTFTextRequest run = PlainRun();
    run.Style.Include(fsBold);
    EXPECT_EQ(Text(run), 2);
    run = PlainRun();
    run.FontName = "Courier New";
    run.Size = 12;
    EXPECT_EQ(Text(run), 1);
    // No Unicode style at all: style 0.
    run.Unicode = true;
    EXPECT_EQ(Text(run), 0);
    EXPECT_EQ(Sheet.TextStyles.Count(), 3);
}

TEST_F(RtfImportStylesTest, HugeValuesScoreWithoutOverflow)
{
    Choice.Mode = rvrsUseClosest;
    Sheet.TextStyles.Add().CopyStyle(Sheet.TextStyles[0]);
    Sheet.TextStyles[1].Style.Include(fsItalic);
    TRVRTFTextRequest run = PlainRun();
    run.Style.Include(fsItalic);
    run.Size = INT_MAX;
    run.Spacing = INT_MIN;
    run.VOffset = INT_MAX;
    run.CharScale = 100;
    EXPECT_EQ(Text(run), 1);

    TRVRTFParaRequest para;
    para.LeftIndent = INT_MAX;
    para.FirstIndent = INT_MIN;
    para.LineSpacing = INT_MIN;
    para.LineMultiple = true;
    para.Sides[1] = {1, INT_MAX, clRed, INT_MAX};
    EXPECT_GE(Para(para), 0);
}

TEST_F(RtfImportStylesTest, KeepFlagsTabsAndSpacingMakeExactParagraphStyles)
{
    TRVRTFParaRequest para;
    para.KeepNext = true;
    const int keep = Para(para);
    EXPECT_EQ(Sheet.ParaStyles[keep].Options, TRVParaOptions{rvpaoKeepWithNext});
    EXPECT_EQ(Para(para), keep);

    TRVRTFParaRequest tabs;
    tabs.Tabs = {{2880, 1, 1}, {1440, 2, 5}}; // given out of order
    tabs.LeftIndent = 720;
    tabs.FirstIndent = -360;
    tabs.SpaceAfter = 120;
    tabs.Alignment = rvaJustify;
    const int tabbed = Para(tabs);
    const TParaInfo& s = Sheet.ParaStyles[tabbed];
    ASSERT_EQ(s.Tabs.Count(), 2);
    EXPECT_EQ(s.Tabs[0], (TRVTabInfo{96, rvtaCenter, "="}));
    EXPECT_EQ(s.Tabs[1], (TRVTabInfo{192, rvtaRight, "."}));
    EXPECT_EQ(s.LeftIndent, 48);
    EXPECT_EQ(s.FirstIndent, -24);
    EXPECT_EQ(s.SpaceAfter, 8);
    EXPECT_EQ(s.Alignment, rvaJustify);
    EXPECT_EQ(Para(tabs), tabbed);
    // With spaces for tabs the stops are not compared.
    tabs.Tabs.clear();
    EXPECT_EQ(Para(tabs, 4), tabbed);

    TRVRTFParaRequest spaced;
    spaced.LineMultiple = true;
    spaced.LineSpacing = 360;
    EXPECT_EQ(Sheet.ParaStyles[Para(spaced)].LineSpacing, 150);
    // "\sl0\slmult1" is single spacing, not no spacing at all.
    spaced.LineSpacing = 0;
    EXPECT_EQ(Sheet.ParaStyles[Para(spaced)].LineSpacing, 100);
}

TEST_F(RtfImportStylesTest, BorderKindsGiveTheirLinesAndTurnOnInnerSides)
{
    const TRVRTFUnits units{1.0}; // one pixel per twip keeps the widths readable
    EXPECT_EQ(RtfBorderLines(1, 3, false, units).Style, rvbSingle);
    EXPECT_EQ(RtfBorderLines(2, 3, false, units).Width, 6);
    EXPECT_EQ(RtfBorderLines(7, 30, false, units).Width, 1);
    const TRVRTFBorderLines dbl = RtfBorderLines(4, 2, false, units);
    EXPECT_EQ(dbl.Style, rvbDouble);
    EXPECT_EQ(dbl.InternalWidth, 3);
    const TRVRTFBorderLines triple = RtfBorderLines(17, 4, false, units);
    EXPECT_EQ(triple.Style, rvbTriple);
    EXPECT_EQ(triple.Width, 2);
    EXPECT_EQ(triple.InternalWidth, 5);
    // Thin-thick is thick outside on an outer side and thick inside on an inner one; thick-thin
    // is the mirror of it.
    EXPECT_EQ(RtfBorderLines(12, 4, false, units).Style, rvbThickOutside);
    EXPECT_EQ(RtfBorderLines(12, 4, true, units).Style, rvbThickInside);
    EXPECT_EQ(RtfBorderLines(13, 4, false, units).Style, rvbThickInside);
    EXPECT_EQ(RtfBorderLines(16, 4, true, units).Style, rvbThickOutside);
    const TRVRTFBorderLines tnth = RtfBorderLines(15, 4, false, units);
    EXPECT_EQ(tnth.Width, 2);
    EXPECT_EQ(tnth.InternalWidth, 5);
    EXPECT_EQ(RtfBorderLines(19, 4, false, units).InternalWidth, 5);
}

TEST_F(RtfImportStylesTest, ABorderedParagraphKeepsItsTextClearOfTheLines)
{
    TRVRTFParaRequest para;
    para.Sides[1] = {4, 30, clRed, 60}; // top: double, 2 px lines, 4 px away
    para.Sides[3] = {4, 30, clBlue, 0}; // bottom
    const int bordered = Para(para);
    const TParaInfo& s = Sheet.ParaStyles[bordered];
    EXPECT_EQ(s.Border.Style, rvbDouble);
    EXPECT_EQ(s.Border.Width, 2);
    EXPECT_EQ(s.Border.Color, clRed); // the top side leads
    EXPECT_EQ(s.Border.VisibleBorders, (TRVBooleanRect{false, true, false, true}));
    EXPECT_EQ(s.Border.BorderOffsets.Top, 4);
    EXPECT_EQ(s.Background.BorderOffsets, s.Border.BorderOffsets);
    // Total thickness 2 + 2 + 3 = 7: the text starts at offset + 7 - 1.
    EXPECT_EQ(s.SpaceBefore, 10);
    EXPECT_EQ(s.SpaceAfter, 6);
    EXPECT_EQ(Para(para), bordered);
}

TEST_F(RtfImportStylesTest, TheBasicParagraphStyleIsStyleZeroWithoutIndents)
{
    EXPECT_EQ(BasicRtfParaStyle(Sheet.ParaStyles, rvaLeft, Choice), 0);
    const int centred = BasicRtfParaStyle(Sheet.ParaStyles, rvaCenter, Choice);
    EXPECT_EQ(centred, 1);
    EXPECT_EQ(Sheet.ParaStyles[centred].Alignment, rvaCenter);
    EXPECT_EQ(BasicRtfParaStyle(Sheet.ParaStyles, rvaCenter, Choice), centred);

    Sheet.ParaStyles[0].LeftIndent = 20;
    const int plain = BasicRtfParaStyle(Sheet.ParaStyles, rvaLeft, Choice);
    EXPECT_EQ(Sheet.ParaStyles[plain].LeftIndent, 0);
    EXPECT_NE(plain, 0);

    Choice.Mode = rvrsUseClosest;
    EXPECT_EQ(BasicRtfParaStyle(Sheet.ParaStyles, rvaRight, Choice), 0);
    Choice.Mode = rvrsUseSpecified;
    Choice.SpecifiedNo = 1;
    EXPECT_EQ(BasicRtfParaStyle(Sheet.ParaStyles, rvaRight, Choice), 1);
}

} // namespace
} // namespace xq

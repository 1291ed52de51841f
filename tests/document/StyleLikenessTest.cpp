// Likeness of styles: the closeness helpers and scores worked out by hand for realistic pairs.
#include "document/StyleLikeness.h"

#include <gtest/gtest.h>

#include <climits>

#include "document/RVStyle.h"

namespace xq {
namespace {

TEST(StyleLikenessCloseness, RoundsToNearestAndMeasuresAgainstTheFirstValue)
{
    EXPECT_EQ(Closeness(3, 2, 1000), 667);     // (1 - 1/3) * 1000 = 666.67
    EXPECT_EQ(Closeness(12, 10, 10000), 8333); // (1 - 2/12) * 10000 = 8333.33
    EXPECT_EQ(Closeness(10, 12, 10000), 8000); // (1 - 2/10) * 10000
    EXPECT_EQ(Closeness(-4, -2, 1000), 500);   // |a| measures: (1 - 2/4) * 1000
    EXPECT_EQ(Closeness(2, 7, 1000), -1500);   // (1 - 5/2) * 1000
    EXPECT_EQ(Closeness(4, 1, 2), 1);          // 0.5: halves go away from zero
    EXPECT_EQ(Closeness(4, 11, 2), -2);        // (1 - 7/4) * 2 = -1.5
    EXPECT_EQ(Closeness(0, 0, 1000), 1000);    // a = 0: (1 - |b|) * w
    EXPECT_EQ(Closeness(0, -3, 100), -200);
    // No overflow: (1 - 2147483646) * 10000, and (1 - 4294967295 / 2147483648) * 1000 = -999.99...
    EXPECT_EQ(Closeness(1, INT_MAX, 10000), -21474836450000LL);
    EXPECT_EQ(Closeness(INT_MIN, INT_MAX, 1000), -1000);
}

TEST(StyleLikenessColor, NoColourChannelsAndLightness)
{
    EXPECT_EQ(ColorCloseness(clNone, clRed, 3333, 3000), 0);
    EXPECT_EQ(ColorCloseness(clNone, clNone, 10000, 50000), 80000); // 50000 + 3 * 10000
    // Each channel differs by 10: 10 * 3333 / 255 = 130 per channel (not 392 for the sum),
    // both dark: + 3000.
    EXPECT_EQ(ColorCloseness(0x0A0A0A, 0x000000, 3333, 3000), 3000 - 3 * 130);
    // Red 100 > 64 is light, black is not: -(100 * 3333 / 255).
    EXPECT_EQ(ColorCloseness(0x000064, 0x000000, 3333, 3000), -1307);
    // Red 64 is still dark: 3000 - 64 * 3333 / 255.
    EXPECT_EQ(ColorCloseness(0x000040, 0x000000, 3333, 3000), 3000 - 836);
    // System colours resolve: window white, window text black; white against black
    // loses 3 * (255 * 3333 / 255) and the lightness bonus.
    EXPECT_EQ(ColorCloseness(clWindow, clWhite, 3333, 3000), 3000);
    EXPECT_EQ(ColorCloseness(clWindow, clWindowText, 3333, 3000), -9999);
}

TFontInfo ArialText(int size)
{
    TFontInfo s;
    s.FontName = "Arial";
    s.Size = size;
    return s;
}

TEST(StyleLikenessText, Arial10AgainstArial12Bold)
{
    const TFontInfo arial10 = ArialText(10);
    TFontInfo arial12Bold = ArialText(12);
    arial12Bold.Style = {fsBold};

    // Incoming Arial 10, candidate Arial 12 bold; sizes are measured against the candidate.
    //   Size    Closeness(12, 10, 10000) = (1 - 2/12) * 10000       =   8333
    //   VShift  Closeness(0, 0, 1000)                               =   1000
    //   Scale   Closeness(100, 100, 300)                            =    300
    //   Spacing Closeness(0, 0, 1000)                               =   1000
    //   Color   window text both: no difference, both dark          =   3000
    //   Back    both none: 50000 + 3 * 10000                        =  80000
    //   BiDiMode 10000, SubSuperScriptType 50000, FontName 10000    =  70000
    //   italic, underline, strike-out equal (bold differs) 3*50000  = 150000
    //   overline, all caps equal                                    = 100000
    //   plain against bold                                          =      0
    //   both Options bits equal                                     = 100000
    //   Charset equal                                               =  50000
    //                                                                 563633
    EXPECT_EQ(Likeness(arial10, arial12Bold), 563633);
    // The other way round only the size term changes: Closeness(10, 12, 10000) = 8000.
    EXPECT_EQ(Likeness(arial12Bold, arial10), 563300);
}

TEST(StyleLikenessText, JumpsCompareHoverSettingsAndHalveTheirColours)
{
    TFontInfo incoming = ArialText(10);
    incoming.Jump = true;
    incoming.Style = {fsUnderline};
    incoming.HoverColor = clRed;
    incoming.JumpCursor = crHandPoint;
    incoming.Protection = {rvprDeleteProtect};
    TFontInfo candidate = ArialText(10);
    candidate.Jump = true;
    candidate.Style = {fsUnderline};
    candidate.HoverColor = clBlack;
    candidate.HoverEffects = {rvheUnderline};
    candidate.Charset = EASTEUROPE_CHARSET;

    //   Size 10000 + VShift 1000 + Scale 300 + Spacing 1000           =  12300
    //   Color 3000 + Back 80000                                       =  83000
    //   BiDiMode 10000 + SubSuperScriptType 50000 + FontName 10000    =  70000
    //   four style bits equal 200000, overline and all caps 100000    = 300000
    //   neither plain                                                 =  50000
    //   hover underline differs 0, JumpCursor differs 0
    //   hover colour: black against red = -(255 * 3333 / 255), one
    //   light and one dark: -3333, half toward zero                   =  -1666
    //   hover background: both none 80000, half                       =  40000
    //   Protection differs                                            = -100000
    //   both Options bits equal                                       = 100000
    //   Charset 238 against the default charset                       =  12500
    //                                                                   566134
    EXPECT_EQ(Likeness(incoming, candidate), 566134);

    // Without Jump on one side the hover terms drop out: 566134 - (-1666 + 40000)
    candidate.Jump = false;
    EXPECT_EQ(Likeness(incoming, candidate), 527800);

    // Scores beyond the 32-bit range are clamped.
    candidate.Size = 1;
    incoming.Size = INT_MAX;
    EXPECT_EQ(Likeness(incoming, candidate), INT_MIN);
}

TEST(StyleLikenessPara, NoExtraSpacingInEitherTypeIsNotPenalised)
{
    TParaInfo single; // 100 %
    TParaInfo noSpace;
    noSpace.LineSpacingType = rvlsSpaceBetween;
    noSpace.LineSpacing = 0;

    // Defaults on both sides:
    //   five indents and spacings Closeness(0, 0, 1000)            =   5000
    //   background none on both 80000, four offsets 4 * 100         =  80400
    //   no tabs: 800*0 - 400*0 - 400*0                             =      0
    //   no border: four sides off in both                          =  80000
    //   Alignment 50000 + BiDiMode 10000                           =  60000
    //   options 1000 + 100000 + 1000 + 10000 + 500 + 500           = 113000
    //                                                                338400
    // Types differ, but neither style has extra spacing: + 0.
    EXPECT_EQ(Likeness(single, noSpace), 338400);

    TParaInfo twelvePixels = noSpace;
    twelvePixels.LineSpacing = 12; // extra spacing against none: - 20000
    EXPECT_EQ(Likeness(single, twelvePixels), 318400);

    TParaInfo oneAndHalf; // same type: + Closeness(100, 150, 5000) = (1 - 50/100) * 5000
    oneAndHalf.LineSpacing = 150;
    EXPECT_EQ(Likeness(single, oneAndHalf), 340900);
}

TEST(StyleLikenessPara, SingleFrameAgainstDoubleFrame)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    const TParaInfo& single = sheet.ParaStyles[4]; // "Einfacher Rahmen"
    const TParaInfo& twin = sheet.ParaStyles[5];   // "Doppelter Rahmen"

    //   FirstIndent 1000, LeftIndent 1000, RightIndent Closeness(0, 2, 1000) = -1000,
    //   SpaceBefore Closeness(8, 8) 1000, SpaceAfter 1000                 =   3000
    //   background                                                        =  80400
    //   tabs                                                              =      0
    //   border on all four sides in both: (black/black 3000 + Width 1000
    //   + InternalWidth 1000 + Style differs 0) * 4                       =  20000
    //   each side's offset Closeness(5, 5, 100)                           =    400
    //   Alignment, BiDiMode, options                                      = 173000
    //   line spacing both 100 %: Closeness(100, 100, 5000)                =   5000
    //                                                                       281800
    EXPECT_EQ(Likeness(single, twin), 281800);
}

TEST(StyleLikenessPara, TabsAndHiddenBorderSides)
{
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TParaInfo incoming;
    incoming.CopyStyle(sheet.ParaStyles[4]);
    incoming.Tabs.Add(100);
    TParaInfo candidate;
    candidate.CopyStyle(sheet.ParaStyles[4]);
    candidate.Border.VisibleBorders.Left = false;
    candidate.Tabs.Add(120, rvtaRight);
    candidate.Tabs.Add(300);

    //   indents and spacings all equal                                    =   5000
    //   background                                                        =  80400
    //   tabs: first pair Closeness(100, 120, 200) = 160, align differs,
    //   leaders equal 50; then 800*1 - 400*1 - 400*2 = -400               =   -190
    //   border: three sides on in both: (3000 + 1000 + 1000 + 1000) * 3   =  18000
    //   left on in one only                                               = -20000
    //   three offsets Closeness(5, 5, 100)                                =    300
    //   Alignment, BiDiMode, options                                      = 173000
    //   line spacing                                                      =   5000
    //                                                                       261510
    EXPECT_EQ(Likeness(incoming, candidate), 261510);

    candidate.Options.Include(rvpaoReadOnly); // read-only differs: the 100000 is lost
    EXPECT_EQ(Likeness(incoming, candidate), 161510);
}

TEST(StyleLikenessList, LevelsAndIdentity)
{
    TRVListInfo incoming;
    incoming.SetListId(7);
    TRVListLevel& numbered = incoming.Levels.Add();
    numbered.ListType = rvlstDecimal;
    numbered.FormatString = "%0:s.";

    TRVListInfo candidate;
    candidate.SetListId(7);
    candidate.Levels.Add(); // the second is a bullet level the incoming list does not have
    candidate.Levels.Add();
    TRVListLevel& first = candidate.Levels[0];
    first.ListType = rvlstDecimal;
    first.FormatString = "%0:s)";
    first.LeftIndent = 24;

    //   ListId equal 50, OneLevelPreview equal 100                      =  150
    //   level 0: ListType 5000; StartFrom, ImageList, ImageIndex,
    //   FormatStringW, MarkerIndent, MarkerAlignment, Options 7 * 100;
    //   FormatString and LeftIndent differ; FirstIndent 200; default
    //   fonts 100; no pictures 100                                      = 6100
    //   one level more on one side: -100                                = -100
    //                                                                     6150
    EXPECT_EQ(Likeness(incoming, candidate), 6150);
    candidate.SetListId(8);
    EXPECT_EQ(Likeness(incoming, candidate), 6100);

    first.EditFont().Name = "Symbol"; // a font against the default one: -100
    EXPECT_EQ(Likeness(incoming, candidate), 6000);
}

} // namespace
} // namespace xq

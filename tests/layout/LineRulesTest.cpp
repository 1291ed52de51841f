// Line layout rules: the fit search, tab stops, justification shares and line spacing.
#include <gtest/gtest.h>

#include "layout/LineRules.h"

namespace xq {
namespace {

TEST(LineRules, FitSearchFindsTheLongestFittingPrefix)
{
    // Characters of 7 pixels: 10 of them fit into 74 pixels, 11 do not.
    int calls = 0;
    auto even = [&calls](int n) {
        ++calls;
        return n * 7;
    };
    EXPECT_EQ(InterpolationFit(40, 74, even), 10);
    EXPECT_LE(calls, 3) << "even widths are found at the first estimate";
    EXPECT_EQ(InterpolationFit(40, 280, even), 40) << "everything fits";
    EXPECT_EQ(InterpolationFit(40, 6, even), 0);
    EXPECT_EQ(InterpolationFit(40, 0, even), 0);
    EXPECT_EQ(InterpolationFit(40, 70, even), 10) << "an exact fit ends the search";

    // Uneven widths: wide characters first, narrow ones later.
    auto uneven = [](int n) {
        int w = 0;
        for (int i = 0; i < n; ++i)
            w += i < 5 ? 20 : 3;
        return w;
    };
    for (int available = 0; available < 200; ++available) {
        const int fit = InterpolationFit(30, available, uneven);
        EXPECT_LE(fit == 0 ? 0 : uneven(fit), available) << available;
        if (fit < 30) {
            EXPECT_GT(uneven(fit + 1), available) << available;
        }
    }
}

TEST(LineRules, TabStops)
{
    TParaInfo para;
    const TRVDeviceScale screen;
    // No stops: multiples of the default width.
    EXPECT_EQ(FindTabStop(para, 0, 0, 48, screen).Position, 48);
    EXPECT_EQ(FindTabStop(para, 48, 0, 48, screen).Position, 96) << "the next stop lies beyond x";
    EXPECT_EQ(FindTabStop(para, 10, 30, 48, screen).Position, 30) << "the left indent is a stop";

    para.Tabs.Add(100, rvtaRight, ".");
    para.Tabs.Add(200, rvtaCenter);
    TRVTabStop stop = FindTabStop(para, 20, 0, 48, screen);
    EXPECT_EQ(stop.Position, 100);
    EXPECT_EQ(stop.Align, rvtaRight);
    EXPECT_EQ(stop.Leader, ".");
    EXPECT_EQ(FindTabStop(para, 150, 0, 48, screen).Align, rvtaCenter);
    EXPECT_EQ(FindTabStop(para, 10, 60, 48, screen).Position, 60) << "an indent before the next stop comes first";
    stop = FindTabStop(para, 250, 0, 48, screen);
    EXPECT_EQ(stop.Position, 288) << "past the last stop the default stops go on";
    EXPECT_EQ(stop.Align, rvtaLeft);

    const TRVDeviceScale printer{96, 96, 600, 600, 0};
    EXPECT_EQ(FindTabStop(para, 0, 0, 48, printer).Position, 625) << "stops are scaled to the device";
}

TEST(LineRules, JustifySharesAddUpToTheFreeSpace)
{
    EXPECT_EQ(JustifyShares(10, 3), (std::vector<std::int32_t>{3, 3, 4}));
    EXPECT_EQ(JustifyShares(2, 4), (std::vector<std::int32_t>{0, 0, 1, 1}));
    EXPECT_EQ(JustifyShares(7, 1), (std::vector<std::int32_t>{7}));
    EXPECT_TRUE(JustifyShares(5, 0).empty());
}

TEST(LineRules, LineSpacing)
{
    TParaInfo para;
    const TRVDeviceScale screen;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, screen), 0);
    para.LineSpacing = 150;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, screen), 10);
    para.LineSpacing = 49;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, screen), 0) << "below 50 percent counts as single";
    para.LineSpacing = 200;
    EXPECT_EQ(LineSpacingGap(para, 5, 20, screen), 15);
    para.LineSpacingType = rvlsSpaceBetween;
    para.LineSpacing = 6;
    EXPECT_EQ(LineSpacingGap(para, 0, 20, TRVDeviceScale{96, 96, 600, 600, 0}), 38);
}

} // namespace
} // namespace xq

namespace xq {
namespace {

// One line of four pieces, "Sehr" " geehrte" " Damen" " und", edge to edge in a 100-pixel line.
TRVDrawLines LineOfWords()
{
    TRVDrawLines lines;
    const int widths[] = {20, 30, 25, 15};
    int x = 0;
    for (int i = 0; i < 4; ++i) {
        auto d = std::make_unique<TRVDrawLineInfo>();
        d->ItemNo = i;
        d->Left = x;
        d->Width = widths[i];
        x += widths[i];
        lines.Add(std::move(d));
    }
    return lines; // right edge 90
}

std::vector<int> Lefts(const TRVDrawLines& lines)
{
    std::vector<int> out;
    for (int i = 0; i < lines.Count(); ++i)
        out.push_back(lines[i].Left);
    return out;
}

const auto AllButFirstSpace = [](int i) { return i > 0; };
const auto NoTabs = [](int) { return false; };

TEST(LineRules, AlignmentOfALine)
{
    TRVDrawLines right = LineOfWords();
    AlignLine(right, 0, 3, rvaRight, 100, false, false, AllButFirstSpace, NoTabs);
    EXPECT_EQ(Lefts(right), (std::vector<int>{10, 30, 60, 85}));

    TRVDrawLines centre = LineOfWords();
    AlignLine(centre, 0, 3, rvaCenter, 100, false, false, AllButFirstSpace, NoTabs);
    EXPECT_EQ(Lefts(centre), (std::vector<int>{5, 25, 55, 80}));
}

TEST(LineRules, JustifiedLines)
{
    TRVDrawLines justified = LineOfWords();
    AlignLine(justified, 0, 3, rvaJustify, 100, false, false, AllButFirstSpace, NoTabs);
    // 10 free pixels over three pieces: 3, 3, 4.
    EXPECT_EQ(Lefts(justified), (std::vector<int>{0, 20, 53, 81}));
    EXPECT_EQ(justified[3].Left + justified[3].Width, 100) << "the line ends at its right edge";
    EXPECT_EQ(justified[1].JustifyExtra, 3);
    EXPECT_EQ(justified[0].JustifyExtra, 0);

    TRVDrawLines last = LineOfWords();
    AlignLine(last, 0, 3, rvaJustify, 100, true, false, AllButFirstSpace, NoTabs);
    EXPECT_EQ(Lefts(last), (std::vector<int>{0, 20, 50, 75})) << "the last line stays left";

    TRVDrawLines afterTab = LineOfWords();
    AlignLine(afterTab, 0, 3, rvaJustify, 100, false, false, AllButFirstSpace, [](int i) { return i == 1; });
    EXPECT_EQ(Lefts(afterTab), (std::vector<int>{0, 20, 50, 80})) << "only pieces after the tab widen";

    TRVDrawLines single = LineOfWords();
    AlignLine(single, 2, 2, rvaJustify, 100, false, false, AllButFirstSpace, NoTabs);
    EXPECT_EQ(single[2].Width, 25) << "a line of one piece is not stretched";
}

} // namespace
} // namespace xq

namespace xq {
namespace {

TEST(LineRules, IndentsOfLines)
{
    TParaInfo para;
    para.LeftIndent = 20;
    para.FirstIndent = -10;
    para.RightIndent = 5;
    const TRVDeviceScale screen;
    EXPECT_EQ(LineIndents(para, nullptr, TRVLinePlace::FirstLine, screen).LeftOffset, 10) << "hanging first line";
    EXPECT_EQ(LineIndents(para, nullptr, TRVLinePlace::NextLine, screen).LeftOffset, 20);
    EXPECT_EQ(LineIndents(para, nullptr, TRVLinePlace::LineBreak, screen).LeftOffset, 20);
    EXPECT_EQ(LineIndents(para, nullptr, TRVLinePlace::FullLine, screen).LeftOffset, 20);
    EXPECT_EQ(LineIndents(para, nullptr, TRVLinePlace::FirstLine, screen).RightIndent, 5);

    TRVListLevel level;
    level.MarkerIndent = 2;
    level.LeftIndent = 24;
    EXPECT_EQ(LineIndents(para, &level, TRVLinePlace::MarkerLine, screen).LeftOffset, 2);
    EXPECT_EQ(LineIndents(para, &level, TRVLinePlace::NextLine, screen).LeftOffset, 24);
    EXPECT_EQ(LineIndents(para, &level, TRVLinePlace::NextLine, screen).RightIndent, 5);
    EXPECT_EQ(LineIndents(para, &level, TRVLinePlace::NextLine, TRVDeviceScale{96, 96, 600, 600, 0}).LeftOffset, 150);
}

} // namespace
} // namespace xq

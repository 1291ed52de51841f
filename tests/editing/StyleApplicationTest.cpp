// Text and paragraph styles applied to the selection: items cut and merged, protections,
// conversion handlers, the empty selection, tags and text encodings, each one undo step.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"

namespace xq::test {
namespace {

class StyleApplicationTest : public ::testing::Test {
protected:
    StyleApplicationTest()
    {
        Bold = F.AddTextStyle();
        F.Sheet.TextStyles[Bold].Style.Include(fsBold);
        F.Edit.OnBeep = [this](TCustomDocViewEdit&) { ++Beeps; };
    }
    [[nodiscard]] std::string Doc() const { return DocDump(F.Data); }
    void Select(TRVDocPos anchor, TRVDocPos end) { F.Edit.SetSelection(anchor, end); }
    int Protected(TRVProtectOption option)
    {
        const int style = F.AddTextStyle();
        F.Sheet.TextStyles[style].Protection.Include(option);
        return style;
    }

    EditFixture F{200, 100};
    int Bold = 0;
    int Beeps = 0;
};

TEST_F(StyleApplicationTest, BoldCutsTheItemsAtTheSelectionAndNormalMergesThemBack)
{
    F.Text("Haus im Wohnzimmer");
    F.Format();
    const std::string original = F.Rvf();
    Select({0, 6}, {0, 8});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Haus " "im"s6 " Wohnzimmer")");
    EXPECT_EQ(F.SelectedText(), "|im");
    EXPECT_EQ(F.Edit.CurrentTextStyle(), Bold);
    F.ExpectOneStep(original, rvutStyleNo);
    // Into the bold word: the new bold part joins it.
    Select({0, 1}, {1, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Haus im"s6 " Wohnzimmer")");
    EXPECT_EQ(F.SelectedText(), "Haus i");
    // Everything normal, selected backwards: one item again, the selection still backwards.
    Select({1, 12}, {0, 1});
    F.Edit.SetTextStyleOfSelection(0);
    EXPECT_EQ(Doc(), R"([p0]"Haus im Wohnzimmer")");
    EXPECT_EQ(F.Selection(), "0:19-0:1");
    for (int step = 0; step < 3; ++step)
        F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), original);
}

TEST_F(StyleApplicationTest, ProtectedStylesAreConvertedWholeOrLeftAloneUnlessTheHandlerDecides)
{
    const int whole = Protected(rvprStyleSplitProtect);
    const int fixed = Protected(rvprStyleProtect);
    F.Text("ab");
    F.Text("Feld", whole, -1);
    F.Text("fest", fixed, -1);
    F.Text("xyz", 0, -1);
    F.Format();
    const std::string original = F.Rvf();
    Select({1, 2}, {1, 4});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"ab" "Feld"s6 "fest"s8 "xyz")") << "never cut: changed whole";
    EXPECT_EQ(F.SelectedText(), "el");
    F.ExpectOneStep(original, rvutStyleNo);
    const std::string feldBold = F.Rvf();
    Select({0, 2}, {3, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"a" "bFeld"s6 "fest"s8 "x"s6 "yz")");
    EXPECT_EQ(F.SelectedText(), "|bFeld|fest|x");
    F.ExpectOneStep(feldBold, rvutStyleNo);
    // Only protected text: no change and no step.
    Select({2, 1}, {2, 3});
    F.Edit.SetTextStyleOfSelection(0);
    F.Edit.Undo();
    EXPECT_EQ(F.Rvf(), feldBold);
    F.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int styleNo, int, bool, int& newStyleNo) {
        newStyleNo = styleNo == fixed ? Bold : styleNo;
    };
    Select({2, 1}, {2, 3});
    F.Edit.ConvertTextStyles(0);
    EXPECT_EQ(Doc(), R"([p0]"ab" "Feldfe"s6 "st"s8 "xyz")");
}

TEST_F(StyleApplicationTest, TheHandlerIsAskedOncePerStyleAndNothingHappensWithoutIt)
{
    F.Text("ab");
    F.Text("cd", Bold, -1);
    F.Text("ef", 0, -1);
    F.Text("gh", Bold, -1);
    F.Format();
    const std::string original = F.Rvf();
    Select({0, 1}, {3, 3});
    F.Edit.ConvertTextStyles(1);
    EXPECT_FALSE(F.Edit.CanUndo()) << "no handler, no change";
    std::vector<std::string> calls;
    F.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int styleNo, int userData, bool appliedToText, int& newStyleNo) {
        calls.push_back(std::to_string(styleNo) + (appliedToText ? "T" : "F"));
        newStyleNo = userData == 1 ? (styleNo == 0 ? Bold : 0) : 999; // 999: no such style, no change
    };
    F.Edit.ConvertTextStyles(2);
    EXPECT_FALSE(F.Edit.CanUndo());
    calls.clear();
    F.Edit.ConvertTextStyles(1);
    EXPECT_EQ(Doc(), R"([p0]"ab"s6 "cd" "ef"s6 "gh")");
    EXPECT_EQ(calls, (std::vector<std::string>{"6T", "0T"}));
    EXPECT_EQ(F.SelectedText(), "ab|cd|ef|gh");
    F.ExpectOneStep(original, rvutStyleNo);
}

TEST_F(StyleApplicationTest, AnEmptySelectionConvertsTheCurrentStyleAndAnEmptyItemAtTheCaret)
{
    const int fixed = Protected(rvprStyleProtect);
    F.Text("abc");
    F.Text("", 0, 0);
    F.Format();
    const std::string original = F.Rvf();
    std::vector<bool> applied;
    F.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int, int, bool appliedToText, int& newStyleNo) {
        applied.push_back(appliedToText);
        newStyleNo = Bold;
    };
    F.Edit.SetCaretDocPos({0, 2});
    F.Edit.ConvertTextStyles(0);
    EXPECT_EQ(applied, std::vector<bool>{false});
    EXPECT_EQ(F.Edit.CurrentTextStyle(), Bold);
    EXPECT_FALSE(F.Edit.CanUndo()) << "only the style typing uses changed";
    F.Edit.KeyPress(u'X');
    EXPECT_EQ(Doc(), R"([p0]"a" "X"s6 "bc" [p0]"")");
    F.Edit.Undo();
    // In an empty paragraph the item takes the style too; style protection is no matter here.
    F.Edit.SetCaretDocPos({1, 1});
    F.Edit.SetTextStyleOfSelection(fixed);
    EXPECT_EQ(Doc(), R"([p0]"abc" [p0]""s7)");
    EXPECT_EQ(F.Edit.CurrentTextStyle(), fixed);
    F.ExpectOneStep(original, rvutStyleNo);
    F.Edit.OnChanging = [](TCustomDocViewEdit&, bool& canEdit) { canEdit = false; };
    F.Edit.SetTextStyleOfSelection(0);
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(F.Edit.CurrentTextStyle(), fixed) << "a refused edit changes nothing";
}

TEST_F(StyleApplicationTest, TagsAreClearedOnlyWhenAskedAndOnlyWhereTheStyleChanges)
{
    const int fixed = Protected(rvprStyleProtect);
    F.Data.AppendText("Link", 0, 0, "http://x");
    F.Data.AppendText(" mehr", 0, -1);
    F.Data.AppendText(" fest", fixed, -1, "t");
    F.Format();
    const std::string original = F.Rvf();
    Select({0, 3}, {2, 5});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Li"{http://x} "nk"s6{http://x} " mehr"s6 " fest"s7{t})") << "other tags, no merge";
    F.Edit.Undo();
    F.Edit.EditorOptions.Include(rvoClearTagOnStyleApp);
    Select({0, 3}, {2, 5});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Li"{http://x} "nk mehr"s6 " fest"s7{t})");
    EXPECT_EQ(F.SelectedText(), "|nk mehr| fes");
    F.ExpectOneStep(original, rvutStyleNo);
}

TEST_F(StyleApplicationTest, TextIsReencodedWhenTheNewStyleStoresItDifferently)
{
    const int cyrillic = F.AddTextStyle();
    F.Sheet.TextStyles[cyrillic].Charset = 204; // code page 1251
    const int unicode = F.AddTextStyle();
    F.Sheet.TextStyles[unicode].Unicode = true;
    F.Text("\xC6\xF3\xEA \xE4", cyrillic); // "Жук д"
    F.Data.AppendTextW(u"a\U0001F600b", unicode, 0);
    F.Format();
    const std::string original = F.Rvf();
    // Into UTF-16 through the old style's code page.
    Select({0, 1}, {0, 4});
    F.Edit.SetTextStyleOfSelection(unicode);
    EXPECT_EQ(Doc(), "[p0]\"Жук\"s8u \" \xE4\"s7 [p0]\"a😀b\"s8u");
    F.ExpectOneStep(original, rvutStyleNo);
    F.Edit.Undo();
    // Out of UTF-16 through the new one's: the pair becomes one "?", the selection follows.
    Select({0, 1}, {1, 5});
    F.Edit.SetTextStyleOfSelection(cyrillic);
    EXPECT_EQ(Doc(), "[p0]\"\xC6\xF3\xEA \xE4\"s7 [p0]\"a?b\"s7");
    EXPECT_EQ(F.SelectedText(), "Жук д/a?b");
    F.ExpectOneStep(original, rvutStyleNo);
}

TEST_F(StyleApplicationTest, TabsInTheSelectionCarryTheNewStyle)
{
    F.Text("a");
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->TextStyleNo = 0;
    tab->ParaNo = -1;
    F.Data.AppendItem("", std::move(tab));
    F.Text("b", 0, -1);
    F.Format();
    const std::string original = F.Rvf();
    Select({0, 1}, {2, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(static_cast<const TRVTabItemInfo&>(F.Data.ItemAt(1)).TextStyleNo, Bold);
    F.ExpectOneStep(original, rvutStyleNo);
}

TEST_F(StyleApplicationTest, AParagraphStyleGoesToEveryTouchedParagraphButProtectedOnes)
{
    F.Sheet.ParaStyles.Add().Alignment = rvaCenter;
    const int centre = F.Sheet.ParaStyles.Count() - 1;
    F.Sheet.ParaStyles.Add().Options.Include(rvpaoStyleProtect);
    const int fixed = F.Sheet.ParaStyles.Count() - 1;
    F.Text("eins");
    F.Text("zwei", 0, fixed);
    F.Text("drei", 0, 0);
    F.Text("vier", Bold, -1);
    F.Data.ItemAt(3).SetNewLine(true);
    F.Text("fünf", 0, 0);
    F.Format();
    const auto paras = [this] {
        std::string out;
        for (int i = 0; i < F.Data.Count(); ++i)
            out += std::to_string(F.Data.ParaOf(i)) + " ";
        return out;
    };
    const std::string c = std::to_string(centre) + " ", p = std::to_string(fixed) + " ";
    const std::string original = F.Rvf();
    Select({0, 2}, {2, 2});
    F.Edit.SetParaStyleOfSelection(centre);
    EXPECT_EQ(paras(), c + p + c + c + "0 ") << "the second line of a paragraph too";
    EXPECT_EQ(F.SelectedText(), "ins/zwei/d");
    EXPECT_EQ(F.Edit.CurrentParaStyle(), centre);
    F.ExpectOneStep(original, rvutPara);
    // The handler answers once per old style and is not asked about protected paragraphs.
    std::vector<int> asked;
    F.Edit.OnParaStyleConversion = [&](TCustomDocViewEdit&, int paraNo, int userData, bool, int& newParaNo) {
        asked.push_back(paraNo);
        newParaNo = paraNo == centre ? userData : paraNo;
    };
    F.Edit.SelectAll();
    F.Edit.ConvertParaStyles(0);
    EXPECT_EQ(asked, (std::vector<int>{centre, 0}));
    EXPECT_EQ(paras(), "0 " + p + "0 0 0 ");
    F.Edit.SetCaretDocPos({4, 2});
    F.Edit.SetParaStyleOfSelection(centre);
    EXPECT_EQ(paras(), "0 " + p + "0 0 " + c) << "without a selection, the caret's paragraph";
}

} // namespace
} // namespace xq::test

// Text and paragraph styles applied to the selection: items cut and merged, protections,
// conversion handlers, the empty selection, tags and text encodings, each one undo step.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "layout/LayoutTestSupport.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"
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
        F.Edit.OnChange = [this](TCustomDocViewEdit&) { ++Changes; };
    }
    [[nodiscard]] std::string Doc() const { return DocDump(F.Data); }
    [[nodiscard]] std::string Rvf() const { return F.Rvf(); }
    void Select(TRVDocPos anchor, TRVDocPos end) { F.Edit.SetSelection(anchor, end); }
    /// The layout left by the edit is the one a fresh layout makes.
    void ExpectLayoutFresh()
    {
        const std::string partial = DrawDump(F.Data);
        F.Edit.Format();
        EXPECT_EQ(partial, DrawDump(F.Data));
    }
    /// The last edit was one undo step of kind: Undo gives back the bytes before, Redo the
    /// bytes after (and both leave an exact layout).
    void ExpectOneStep(const std::string& before, TRVUndoType kind)
    {
        ExpectLayoutFresh();
        const std::string after = Rvf();
        ASSERT_EQ(F.Edit.UndoAction(), kind);
        F.Edit.Undo();
        EXPECT_EQ(Rvf(), before);
        ExpectLayoutFresh();
        F.Edit.Redo();
        EXPECT_EQ(Rvf(), after);
        ExpectLayoutFresh();
    }
    int Protected(TRVProtectOption option)
    {
        const int style = F.AddTextStyle();
        F.Sheet.TextStyles[style].Protection.Include(option);
        return style;
    }

    EditFixture F{200, 100};
    int Bold = 0;
    int Beeps = 0;
    int Changes = 0;
};

TEST_F(StyleApplicationTest, BoldCutsTheItemsAtTheSelectionAndNormalMergesThemBack)
{
    F.Text("Haus im Wohnzimmer");
    F.Format();
    const std::string original = Rvf();
    Select({0, 6}, {0, 8});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Haus " "im"s6 " Wohnzimmer")");
    EXPECT_EQ(F.SelectedText(), "|im") << "the selection stays on the same text";
    EXPECT_EQ(F.Edit.CurrentTextStyle(), Bold);
    EXPECT_EQ(Changes, 1);
    ExpectOneStep(original, rvutStyleNo);

    // Into the bold word: the new bold part joins it.
    const std::string oneBold = Rvf();
    Select({0, 1}, {1, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Haus im"s6 " Wohnzimmer")");
    EXPECT_EQ(F.SelectedText(), "Haus i");
    ExpectOneStep(oneBold, rvutStyleNo);

    // Everything normal again: one item as at the start.
    Select({0, 1}, {1, 12});
    F.Edit.SetTextStyleOfSelection(0);
    EXPECT_EQ(Doc(), R"([p0]"Haus im Wohnzimmer")");
    EXPECT_EQ(F.SelectedText(), "Haus im Wohnzimmer");
    for (int step = 0; step < 3; ++step)
        F.Edit.Undo();
    EXPECT_EQ(Rvf(), original);
}

TEST_F(StyleApplicationTest, ABackwardSelectionKeepsItsDirection)
{
    F.Text("Haus im Wohnzimmer");
    F.Text("zwei", 0, 0);
    F.Format();
    Select({1, 3}, {0, 9});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Haus im " "Wohnzimmer"s6 [p0]"zw"s6 "ei")");
    EXPECT_EQ(F.SelectedText(), "|Wohnzimmer/zw");
    // The anchor stays behind; the caret is at the start, on the stop the item before owns.
    EXPECT_EQ(F.Selection(), "2:3-0:9");
}

TEST_F(StyleApplicationTest, ProtectedStylesAreConvertedWholeOrLeftAlone)
{
    const int whole = Protected(rvprStyleSplitProtect);
    const int fixed = Protected(rvprStyleProtect);
    F.Text("ab");
    F.Text("Feld", whole, -1);
    F.Text("fest", fixed, -1);
    F.Text("xyz", 0, -1);
    F.Format();
    const std::string original = Rvf();
    // Part of a split-protected item: the whole item changes.
    Select({1, 2}, {1, 4});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"ab" "Feld"s6 "fest"s8 "xyz")");
    EXPECT_EQ(F.SelectedText(), "el");
    ExpectOneStep(original, rvutStyleNo);
    // Across all: the protected text keeps its style, the rest is cut as usual.
    const std::string feldBold = Rvf();
    Select({0, 2}, {3, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"a" "bFeld"s6 "fest"s8 "x"s6 "yz")");
    EXPECT_EQ(F.SelectedText(), "|bFeld|fest|x");
    ExpectOneStep(feldBold, rvutStyleNo);
    // Only protected text selected: nothing changes and no step is recorded.
    Select({2, 1}, {2, 3});
    F.Edit.SetTextStyleOfSelection(0);
    EXPECT_EQ(Doc(), R"([p0]"a" "bFeld"s6 "fest"s8 "x"s6 "yz")");
    F.Edit.Undo();
    EXPECT_EQ(Rvf(), feldBold) << "the undo list ends with the step before";
    // A conversion handler decides for itself.
    F.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int styleNo, int, bool, int& newStyleNo) {
        newStyleNo = styleNo == fixed ? Bold : styleNo;
    };
    Select({2, 1}, {2, 3});
    F.Edit.ConvertTextStyles(0);
    EXPECT_EQ(Doc(), R"([p0]"ab" "Feldfe"s6 "st"s8 "xyz")");
}

TEST_F(StyleApplicationTest, TheConversionHandlerIsAskedOncePerStyleAndNothingHappensWithoutIt)
{
    F.Text("ab");
    F.Text("cd", Bold, -1);
    F.Text("ef", 0, -1);
    F.Text("gh", Bold, -1);
    F.Format();
    const std::string original = Rvf();
    Select({0, 1}, {3, 3});
    F.Edit.ConvertTextStyles(1);
    EXPECT_EQ(Doc(), R"([p0]"ab" "cd"s6 "ef" "gh"s6)");
    EXPECT_EQ(Changes, 0);
    EXPECT_FALSE(F.Edit.CanUndo());

    std::vector<std::string> calls;
    F.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int styleNo, int userData, bool appliedToText, int& newStyleNo) {
        calls.push_back(std::to_string(styleNo) + (appliedToText ? "T" : "F"));
        EXPECT_EQ(newStyleNo, styleNo);
        if (userData == 1)
            newStyleNo = styleNo == 0 ? Bold : 0;
        if (userData == 2)
            newStyleNo = 999; // no such style: nothing changes
    };
    F.Edit.ConvertTextStyles(2);
    EXPECT_EQ(Rvf(), original);
    EXPECT_FALSE(F.Edit.CanUndo());
    calls.clear();
    F.Edit.ConvertTextStyles(1);
    EXPECT_EQ(Doc(), R"([p0]"ab"s6 "cd" "ef"s6 "gh")");
    EXPECT_EQ(calls, (std::vector<std::string>{"6T", "0T"})) << "from the last item back, once per style";
    EXPECT_EQ(F.SelectedText(), "ab|cd|ef|gh");
    ExpectOneStep(original, rvutStyleNo);
}

TEST_F(StyleApplicationTest, AnEmptySelectionConvertsTheCurrentStyleAndAnEmptyItemAtTheCaret)
{
    const int fixed = Protected(rvprStyleProtect);
    F.Text("abc");
    F.Text("", 0, 0);
    F.Format();
    const std::string original = Rvf();
    std::vector<bool> applied;
    F.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int styleNo, int, bool appliedToText, int& newStyleNo) {
        applied.push_back(appliedToText);
        newStyleNo = Bold;
    };
    // Inside text only the style typing uses changes.
    F.Edit.SetCaretDocPos({0, 2});
    F.Edit.ConvertTextStyles(0);
    EXPECT_EQ(applied, std::vector<bool>{false});
    EXPECT_EQ(F.Edit.CurrentTextStyle(), Bold);
    EXPECT_EQ(Rvf(), original);
    EXPECT_FALSE(F.Edit.CanUndo());
    EXPECT_EQ(Changes, 0);
    F.Edit.KeyPress(u'X');
    EXPECT_EQ(Doc(), R"([p0]"a" "X"s6 "bc" [p0]"")");
    F.Edit.Undo();

    // In an empty paragraph the empty item takes the style too, in one step.
    F.Edit.SetCaretDocPos({1, 1});
    F.Edit.SetTextStyleOfSelection(fixed);
    EXPECT_EQ(Doc(), R"([p0]"abc" [p0]""s7)") << "style protection is no matter here";
    EXPECT_EQ(F.Edit.CurrentTextStyle(), fixed);
    EXPECT_EQ(F.Edit.CaretDocPos(), (TRVDocPos{1, 1}));
    ExpectOneStep(original, rvutStyleNo);
    // A refused edit changes neither the item nor the current style.
    F.Edit.OnChanging = [](TCustomDocViewEdit&, bool& canEdit) { canEdit = false; };
    F.Edit.SetTextStyleOfSelection(0);
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(F.Edit.CurrentTextStyle(), fixed);
    EXPECT_EQ(Doc(), R"([p0]"abc" [p0]""s7)");
}

TEST_F(StyleApplicationTest, TagsAreClearedOnlyWhenTheOptionAsksAndTheStyleChanges)
{
    const int fixed = Protected(rvprStyleProtect);
    F.Data.AppendText("Link", 0, 0, "http://x");
    F.Data.AppendText(" mehr", 0, -1);
    F.Data.AppendText(" fest", fixed, -1, "t");
    F.Format();
    const std::string original = Rvf();
    // Kept: the parts differ in their tags and stay apart.
    Select({0, 3}, {2, 5});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Li"{http://x} "nk"s6{http://x} " mehr"s6 " fest"s7{t})");
    F.Edit.Undo();
    EXPECT_EQ(Rvf(), original);
    // Cleared: the bold parts are one item; the protected text keeps its tag.
    F.Edit.EditorOptions.Include(rvoClearTagOnStyleApp);
    Select({0, 3}, {2, 5});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(Doc(), R"([p0]"Li"{http://x} "nk mehr"s6 " fest"s7{t})");
    EXPECT_EQ(F.SelectedText(), "|nk mehr| fes");
    ExpectOneStep(original, rvutStyleNo);
}

TEST_F(StyleApplicationTest, TextIsReencodedWhenTheNewStyleStoresItDifferently)
{
    const int cyrillic = F.AddTextStyle();
    F.Sheet.TextStyles[cyrillic].Charset = 204; // code page 1251
    const int unicode = F.AddTextStyle();
    F.Sheet.TextStyles[unicode].Unicode = true;
    F.Text("\xC6\xF3\xEA \xE4", cyrillic); // "Жук д" in code page 1251
    F.Data.AppendTextW(u"a\U0001F600b", unicode, 0);
    F.Format();
    const std::string original = Rvf();
    // 8-bit to UTF-16 reads the bytes in the old style's code page.
    Select({0, 1}, {0, 4});
    F.Edit.SetTextStyleOfSelection(unicode);
    EXPECT_EQ(Doc(), "[p0]\"Жук\"s8u \" \xE4\"s7 [p0]\"a\xF0\x9F\x98\x80\x62\"s8u");
    ExpectOneStep(original, rvutStyleNo);
    // UTF-16 to 8-bit writes in the new style's code page; what it lacks becomes "?", and the
    // selection follows the shorter text.
    F.Edit.Undo();
    Select({0, 1}, {1, 5});
    F.Edit.SetTextStyleOfSelection(cyrillic);
    EXPECT_EQ(Doc(), "[p0]\"\xC6\xF3\xEA \xE4\"s7 [p0]\"a?b\"s7");
    EXPECT_EQ(F.SelectedText(), "Жук д/a?b");
    ExpectOneStep(original, rvutStyleNo);
    for (int i = 0; i < F.Data.Count(); ++i)
        EXPECT_FALSE(F.Data.ItemAt(i).IsUnicode());
}

TEST_F(StyleApplicationTest, TabsAndLabelsCarryTheNewStyleUnlessTheirsIsFixed)
{
    F.Text("a");
    auto tab = std::make_unique<TRVTabItemInfo>();
    tab->TextStyleNo = 0;
    tab->ParaNo = -1;
    F.Data.AppendItem("", std::move(tab));
    auto label = std::make_unique<TRVLabelItemInfo>();
    label->TextStyleNo = 0;
    label->ProtectTextStyleNo = true;
    label->ParaNo = -1;
    F.Data.AppendItem("", std::move(label));
    F.Text("b", 0, -1);
    F.Format();
    const std::string original = Rvf();
    Select({0, 1}, {3, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(static_cast<const TRVTabItemInfo&>(F.Data.ItemAt(1)).TextStyleNo, Bold);
    EXPECT_EQ(static_cast<const TRVLabelItemInfo&>(F.Data.ItemAt(2)).TextStyleNo, 0);
    ExpectOneStep(original, rvutStyleNo);
    F.Edit.Undo();
    EXPECT_EQ(static_cast<const TRVTabItemInfo&>(F.Data.ItemAt(1)).TextStyleNo, 0);
    // A tab only touched at its edge is not selected.
    Select({1, 1}, {3, 2});
    F.Edit.SetTextStyleOfSelection(Bold);
    EXPECT_EQ(static_cast<const TRVTabItemInfo&>(F.Data.ItemAt(1)).TextStyleNo, 0);
    EXPECT_EQ(Doc(), R"([p0]"a" <-12> <-200> "b"s6)");
}

// ---------------------------------------------------------------------------------------------
// Paragraph styles

TEST_F(StyleApplicationTest, AParagraphStyleGoesToEveryTouchedParagraphButProtectedOnes)
{
    TParaInfo& centred = F.Sheet.ParaStyles.Add();
    centred.Alignment = rvaCenter;
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
    const std::string original = Rvf();
    int paraChanges = 0;
    F.Edit.OnCurParaStyleChanged = [&](TCustomDocViewEdit&) { ++paraChanges; };
    Select({0, 2}, {2, 2});
    F.Edit.SetParaStyleOfSelection(centre);
    EXPECT_EQ(Doc(), "[p" + std::to_string(centre) + "]\"eins\" [p" + std::to_string(fixed) + "]\"zwei\" [p" +
                         std::to_string(centre) + "]\"drei\" /\"vier\"s6 [p0]\"fünf\"");
    EXPECT_EQ(F.Data.ParaOf(3), centre) << "the paragraph's second line too";
    EXPECT_EQ(F.SelectedText(), "ins/zwei/d");
    EXPECT_EQ(F.Edit.CurrentParaStyle(), centre);
    EXPECT_EQ(paraChanges, 1);
    ExpectOneStep(original, rvutPara);

    // The handler answers per old style; protected paragraphs are not asked about.
    std::vector<int> asked;
    F.Edit.OnParaStyleConversion = [&](TCustomDocViewEdit&, int paraNo, int userData, bool, int& newParaNo) {
        asked.push_back(paraNo);
        newParaNo = paraNo == centre ? userData : paraNo;
    };
    const std::string centred3 = Rvf();
    F.Edit.SelectAll();
    F.Edit.ConvertParaStyles(0);
    EXPECT_EQ(asked, (std::vector<int>{centre, 0}));
    EXPECT_EQ(Doc(), "[p0]\"eins\" [p" + std::to_string(fixed) + "]\"zwei\" [p0]\"drei\" /\"vier\"s6 [p0]\"fünf\"");
    ExpectOneStep(centred3, rvutPara);

    // Without a selection: the caret's paragraph.
    F.Edit.SetCaretDocPos({4, 2});
    F.Edit.SetParaStyleOfSelection(centre);
    EXPECT_EQ(Doc(), "[p0]\"eins\" [p" + std::to_string(fixed) + "]\"zwei\" [p0]\"drei\" /\"vier\"s6 [p" +
                         std::to_string(centre) + "]\"fünf\"");
    EXPECT_EQ(F.Edit.CaretDocPos(), (TRVDocPos{4, 2}));
}

} // namespace
} // namespace xq::test

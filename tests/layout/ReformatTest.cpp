// Reformatting after edits: only whole paragraphs around the edit are laid out again, and the
// result is the layout a whole run gives.
#include <gtest/gtest.h>

#include <random>

#include "LayoutTestSupport.h"
#include "layout/ReformatRange.h"
#include "lists/ListBuilders.h"
#include "lists/ListItems.h"

namespace xq::test {
namespace {

/// The draw items of an item, first..last.
std::pair<int, int> PiecesOf(const TCustomRVFormattedData& data, int itemNo)
{
    const int first = data.FirstLinePiece(itemNo);
    int last = first;
    while (last + 1 < data.DrawItems().Count() && data.DrawItems()[last + 1].ItemNo == itemNo)
        ++last;
    return {first, last};
}

TEST(ReformatTest, TypingReformatsItsParagraphAndOneOnEachSideAndMovesTheRest)
{
    LayoutFixture f(60);
    for (const char* text : {"aaaa bbbb", "cccc dddd", "eeee ffff", "gggg hhhh", "iiii jjjj"})
        f.Text(text);
    f.Format();
    ASSERT_EQ(f.Data.DrawItems().Count(), 5);
    std::vector<const TRVDrawLineInfo*> before;
    for (int i = 0; i < 5; ++i)
        before.push_back(&f.Data.DrawItems()[i]);

    // Typing into the middle paragraph wraps it onto two lines.
    const auto [changed, changedLast] = PiecesOf(f.Data, 2);
    int first = 0, last = 0;
    GetReformatRange(f.Data, f.Data.DrawItems(), changed, changedLast, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 3);
    f.Data.SetText(2, "eeee ffff gggg");
    f.Data.ReformatRange(first, last, 0);

    const TRVDrawLines& lines = f.Data.DrawItems();
    ASSERT_EQ(lines.Count(), 6);
    EXPECT_EQ(&lines[0], before[0]) << "the paragraph above is untouched";
    EXPECT_EQ(&lines[5], before[4]) << "the paragraph below keeps its draw item";
    EXPECT_EQ(lines[5].Top, 75) << "and moves down by one line";
    EXPECT_EQ(f.Data.FirstLinePiece(4), 5);
    EXPECT_EQ(f.Data.TotalHeight(), 90);
    EXPECT_EQ(f.Data.InvalidRect().Top, 5);
    const std::string partial = DrawDump(f.Data);
    f.Format();
    EXPECT_EQ(partial, DrawDump(f.Data));
}

/// Random documents of a few paragraph and text styles, edited at random; after each edit the
/// range around it is reformatted and compared with a whole run.
class ReformatProperty {
public:
    explicit ReformatProperty(unsigned seed) : Rng(seed)
    {
        const int sup = F.AddTextStyle();
        F.Sheet.TextStyles[sup].SubSuperScriptType = rvsssSuperScript;
        const int big = F.AddTextStyle();
        F.Sheet.TextStyles[big].Size = 18;
        const int link = F.AddTextStyle();
        F.Sheet.TextStyles[link].Jump = true;
        TextStyles = {0, 0, 0, sup, big, link};
        for (TRVAlignment align : {rvaLeft, rvaRight, rvaCenter, rvaJustify}) {
            const int p = F.AddParaStyle();
            TParaInfo& style = F.Sheet.ParaStyles[p];
            style.Alignment = align;
            style.SpaceBefore = Pick(0, 6);
            style.SpaceAfter = Pick(0, 6);
            style.LeftIndent = Pick(0, 20);
            style.FirstIndent = Pick(-5, 15);
            style.LineSpacing = Pick(0, 1) ? 100 : 150;
            if (Pick(0, 1))
                style.Tabs.Add(Pick(20, 80), static_cast<TRVTabAlign>(Pick(0, 2)));
            ParaStyles.push_back(p);
        }
        ListNo = CreateBullets(F.Sheet, 10, 0, 0, "l", 2, 24);
        const int paragraphs = Pick(2, 12);
        for (int p = 0; p < paragraphs; ++p)
            AppendParagraph();
        F.Format();
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(Rng); }

    std::string Words()
    {
        static const char* const words[] = {"a", "Haus", "im", "Wohnzimmer", "lll", "mm", "Abc", "x", ""};
        std::string text;
        const int n = Pick(0, 6);
        for (int i = 0; i < n; ++i) {
            if (i > 0 || Pick(0, 4) == 0)
                text += ' ';
            text += words[Pick(0, 8)];
        }
        if (Pick(0, 5) == 0)
            text += ' ';
        return text;
    }

    void AppendParagraph()
    {
        const int para = ParaStyles[std::size_t(Pick(0, int(ParaStyles.size()) - 1))];
        switch (Pick(0, 9)) {
        case 0:
            F.Data.AppendItem("", std::make_unique<TRVBreakItemInfo>());
            return;
        case 1: {
            auto marker = std::make_unique<TRVMarkerItemInfo>(ListNo, 0);
            marker->ParaNo = para;
            F.Data.AppendItem("", std::move(marker));
            F.Data.AppendText(Words(), 0, -1);
            return;
        }
        default:
            break;
        }
        F.Data.AppendText(Words(), TextStyles[std::size_t(Pick(0, 5))], para);
        const int more = Pick(0, 3);
        for (int i = 0; i < more; ++i) {
            if (Pick(0, 4) == 0) {
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->ParaNo = -1;
                tab->TextStyleNo = 0;
                F.Data.AppendItem("", std::move(tab));
            } else {
                F.Data.AppendText(Words(), TextStyles[std::size_t(Pick(0, 5))], -1);
                if (Pick(0, 5) == 0)
                    F.Data.ItemAt(F.Data.Count() - 1).SetNewLine(true);
            }
        }
    }

    /// One random edit with its reformat; returns a description for failure messages.
    std::string EditOnce()
    {
        TCustomRVFormattedData& d = F.Data;
        const int itemNo = Pick(0, d.Count() - 1);
        auto [changedFirst, changedLast] = PiecesOf(d, itemNo);
        int itemDelta = 0;
        std::string what;
        const int kind = Pick(0, 4);
        TCustomRVItemInfo& item = d.ItemAt(itemNo);
        if (kind <= 1 && item.IsText()) {
            std::string text = d.TextAt(itemNo);
            const int at = Pick(0, int(text.size()));
            if (kind == 0 || text.empty())
                text.insert(std::size_t(at), 1, " aWm"[Pick(0, 3)]);
            else
                text.erase(std::size_t(std::min(at, int(text.size()) - 1)), 1);
            what = "text of item " + std::to_string(itemNo);
            // GetReformatRange reads the document as the draw items know it: before the edit.
            int first = 0, last = 0;
            GetReformatRange(d, d.DrawItems(), changedFirst, changedLast, first, last);
            d.SetText(itemNo, text);
            d.ReformatRange(first, last, 0);
            return what;
        }
        int first = 0, last = 0;
        if (kind == 2 && !item.IsFullLine()) {
            // A new paragraph after the item.
            GetReformatRange(d, d.DrawItems(), changedFirst, changedLast, first, last);
            auto text = std::make_unique<TRVTextItemInfo>(0);
            text->ParaNo = ParaStyles[std::size_t(Pick(0, 3))];
            if (itemNo + 1 < d.Count() && !d.StartsParagraph(itemNo + 1) && !d.ItemAt(itemNo + 1).IsFullLine())
                return "skipped";
            d.InsertItemAt(itemNo + 1, "neu", std::move(text));
            itemDelta = 1;
            what = "new paragraph after " + std::to_string(itemNo);
        } else if (kind == 3 && item.ContinuesPara() && !item.IsListMarker()) {
            changedFirst = std::max(changedFirst - 1, 0);
            GetReformatRange(d, d.DrawItems(), changedFirst, changedLast, first, last);
            d.RemoveItems(itemNo, 1);
            itemDelta = -1;
            what = "removed item " + std::to_string(itemNo);
        } else if (kind == 4 && !item.IsFullLine()) {
            // Another paragraph style for the whole paragraph.
            int start = itemNo;
            while (start > 0 && !d.StartsParagraph(start))
                --start;
            int end = itemNo;
            while (end + 1 < d.Count() && !d.StartsParagraph(end + 1) && !d.ItemAt(end + 1).IsFullLine())
                ++end;
            changedFirst = PiecesOf(d, start).first;
            changedLast = PiecesOf(d, end).second;
            GetReformatRange(d, d.DrawItems(), changedFirst, changedLast, first, last);
            const int para = ParaStyles[std::size_t(Pick(0, 3))];
            for (int k = start; k <= end; ++k)
                d.ItemAt(k).ParaNo = para;
            what = "paragraph style of " + std::to_string(start) + ".." + std::to_string(end);
        } else {
            return "skipped";
        }
        d.ReformatRange(first, last, itemDelta);
        return what;
    }

    std::mt19937 Rng;
    LayoutFixture F{120};
    std::vector<int> TextStyles;
    std::vector<int> ParaStyles;
    int ListNo = -1;
};

std::string FirstLinePieces(const TCustomRVFormattedData& data)
{
    std::string out;
    for (int i = 0; i < data.Count(); ++i)
        out += std::to_string(data.FirstLinePiece(i)) + " ";
    return out;
}

std::string JumpDump(const TCustomRVFormattedData& data)
{
    std::string out;
    for (const TRVJumpInfo& j : data.Jumps())
        out += std::to_string(j.JumpNo) + "@" + std::to_string(j.DrawItemNo) + ":" + std::to_string(j.Left) + "," +
               std::to_string(j.Top) + " ";
    return out;
}

TEST(ReformatTest, ReformatRangeGivesWhatAWholeRunGives)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        ReformatProperty p(seed);
        for (int edit = 0; edit < 6; ++edit) {
            const std::string what = p.EditOnce();
            const std::string partial = DrawDump(p.F.Data);
            const std::string pieces = FirstLinePieces(p.F.Data);
            const std::string jumps = JumpDump(p.F.Data);
            const int height = p.F.Data.TotalHeight();
            p.F.Format();
            ASSERT_EQ(partial, DrawDump(p.F.Data)) << "seed " << seed << ", edit " << edit << ": " << what;
            ASSERT_EQ(pieces, FirstLinePieces(p.F.Data)) << "seed " << seed << ": " << what;
            ASSERT_EQ(jumps, JumpDump(p.F.Data)) << "seed " << seed << ": " << what;
            ASSERT_EQ(height, p.F.Data.TotalHeight()) << "seed " << seed << ": " << what;
        }
    }
}

TEST(ReformatTest, FormatAppendedContinuesBelowTheFormattedPart)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        ReformatProperty p(seed);
        const int more = p.Pick(1, 4);
        for (int i = 0; i < more; ++i)
            p.AppendParagraph();
        p.F.Data.FormatAppended();
        const std::string appended = DrawDump(p.F.Data);
        const int height = p.F.Data.TotalHeight();
        p.F.Format();
        ASSERT_EQ(appended, DrawDump(p.F.Data)) << "seed " << seed;
        ASSERT_EQ(height, p.F.Data.TotalHeight()) << "seed " << seed;
    }
}

} // namespace
} // namespace xq::test

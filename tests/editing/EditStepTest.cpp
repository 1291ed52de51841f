// The edit step as a layout of its own would hear it: every kind of operation tells its change once,
// as a range of whole paragraphs that covers what changed and reaches at most the paragraphs next
// to it; a refused step tells nothing, and a step left by an exception leaves the document, the undo
// list and the layout as they were.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "EditTestSupport.h"
#include "editing/TouchedRange.h"
#include "formats/rvf/RvfWriter.h"
#include "layout/LayoutTestSupport.h"
#include "lists/ListItems.h"
#include "support/DocDump.h"

namespace xq::test {
namespace {

/// What tells two items apart in the document's bytes.
std::string ItemKey(const TCustomRVData& data, int itemNo)
{
    const TCustomRVItemInfo& item = data.ItemAt(itemNo);
    std::string key = std::to_string(item.StyleNo) + "/" + std::to_string(item.ParaNo) + "/" +
                      std::to_string(item.ItemOptions()) + "/" + item.Tag.str() + "/" + data.TextAt(itemNo);
    if (const TRVCPInfo* cp = item.Checkpoint())
        key += "@" + cp->Name;
    if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item))
        key += "#" + std::to_string(marker->ListNo) + "." + std::to_string(marker->Level);
    return key;
}

/// A layout of its own: it hears the editor's changes and checks each against the documents
/// before and after it.
class FakeLayout {
public:
    explicit FakeLayout(EditFixture& f) : F(f)
    {
        F.Data.OnEditRange = [this](TRVEditRVData&, int first, int removed, int added) {
            Heard.push_back({first, removed, added});
        };
        F.Edit.OnChange = [this](TCustomDocViewEdit&) { ++Changes; };
    }

    /// The document before the operation.
    void Before()
    {
        Keys.clear();
        Starts.clear();
        for (int i = 0; i < F.Data.Count(); ++i) {
            Keys.push_back(ItemKey(F.Data, i));
            Starts.push_back(F.Data.StartsParagraph(i));
        }
        Heard.clear();
        Changes = 0;
    }

    /// One change was told, and once; its range covers the items that differ and at most the
    /// paragraphs next to theirs, in whole paragraphs.
    void ExpectOneChange(const std::string& what) const
    {
        ASSERT_EQ(Heard.size(), 1u) << what;
        EXPECT_EQ(Changes, 1) << what << ": one notification";
        std::vector<std::string> now;
        for (int i = 0; i < F.Data.Count(); ++i)
            now.push_back(ItemKey(F.Data, i));
        const int before = static_cast<int>(Keys.size()), after = static_cast<int>(now.size());
        int head = 0;
        while (head < before && head < after && Keys[std::size_t(head)] == now[std::size_t(head)])
            ++head;
        int tail = 0;
        while (tail < before - head && tail < after - head &&
               Keys[std::size_t(before - 1 - tail)] == now[std::size_t(after - 1 - tail)])
            ++tail;
        ASSERT_LT(head + tail, std::max(before, after)) << what << ": nothing changed";
        const TRVDocumentChange c = Heard.front();
        EXPECT_EQ(before - c.Removed, after - c.Added) << what << ": the untouched items are the same";
        EXPECT_LE(c.First, head) << what;
        EXPECT_GE(c.First + c.Removed, before - tail) << what;
        EXPECT_GE(c.First + c.Added, after - tail) << what;
        EXPECT_TRUE(c.First == before || Starts[std::size_t(c.First)]) << what << ": starts a paragraph";
        const int end = c.First + c.Removed;
        EXPECT_TRUE(end == before || Starts[std::size_t(end)]) << what << ": ends before a paragraph";
        // The changed items of the document before (or the two around a pure insertion).
        const int low = before - tail > head ? head : std::max(head - 1, 0);
        const int high = before - tail > head ? before - tail - 1 : std::min(head, before - 1);
        const int lowest = ParagraphStart(std::max(ParagraphStart(low) - 1, 0));
        const int highest = ParagraphEnd(std::min(ParagraphEnd(high) + 1, before - 1));
        EXPECT_GE(c.First, lowest) << what << ": more than the paragraph before";
        EXPECT_LE(end - 1, highest) << what << ": more than the paragraph after";
    }

    std::vector<TRVDocumentChange> Heard;
    int Changes = 0;

private:
    [[nodiscard]] int ParagraphStart(int i) const
    {
        while (i > 0 && !Starts[std::size_t(i)])
            --i;
        return i;
    }
    [[nodiscard]] int ParagraphEnd(int i) const
    {
        while (i + 1 < static_cast<int>(Starts.size()) && !Starts[std::size_t(i + 1)])
            ++i;
        return i;
    }

    EditFixture& F;
    std::vector<std::string> Keys;
    std::vector<bool> Starts;
};

/// Seven paragraphs, the operations work on the middle ones:
///   0 "Eins zwei drei" | 1 "Haus" 2 "boot" (bold) | 3 "Mitte der Sache" | 4 "vier" |
///   5 "fuenf" | 6 "sechs" | 7 "sieben"
struct StepDocument {
    StepDocument()
    {
        Bold = F.AddTextStyle();
        F.Sheet.TextStyles[Bold].Style.Include(fsBold);
        F.Sheet.ParaStyles.Add();
        TRVListInfo& list = F.Sheet.ListStyles.Add();
        list.Levels.Add().ListType = rvlstDecimal;
        F.Text("Eins zwei drei");
        F.Text("Haus");
        F.Text("boot", Bold, -1);
        F.Text("Mitte der Sache");
        F.Text("vier");
        F.Text("fuenf");
        F.Text("sechs");
        F.Text("sieben");
        F.Format();
    }
    EditFixture F{200, 100};
    int Bold = 0;
    FakeLayout Layout{F};
};

/// An RVF fragment of two paragraphs.
std::string Fragment(const TRVStyle& sheet)
{
    TCustomRVData doc(const_cast<TRVStyle*>(&sheet));
    doc.AppendText("neu eins", 0, 0);
    doc.AppendText("neu zwei", 0, 0);
    std::string out;
    EXPECT_TRUE(TRVFWriter(sheet, RVFMainWindowOptions).WriteDocument(doc, nullptr, out));
    return out;
}

struct StepCase {
    const char* What;
    /// Done before the document is noted (a selection, an edit to undo).
    std::function<void(StepDocument&)> Setup;
    std::function<void(StepDocument&)> Act;
};

TEST(EditStepTest, EveryKindOfOperationTellsItsChangeOnceAsWholeParagraphsNextToIt)
{
    const auto caret = [](int item, int offs) { return [=](StepDocument& d) { d.F.Edit.SetCaretDocPos({item, offs}); }; };
    const auto select = [](TRVDocPos a, TRVDocPos b) { return [=](StepDocument& d) { d.F.Edit.SetSelection(a, b); }; };
    const std::vector<StepCase> cases = {
        {"typing", caret(3, 4), [](StepDocument& d) { d.F.Edit.KeyPress(u'x'); }},
        {"typing a new item in another style", caret(3, 6),
         [](StepDocument& d) {
             d.F.Edit.SetCurrentTextStyle(d.Bold);
             d.F.Edit.KeyPress(u'x');
         }},
        {"Enter", caret(3, 6), [](StepDocument& d) { d.F.Key(rvkReturn); }},
        {"Enter at a paragraph's end", caret(3, 16), [](StepDocument& d) { d.F.Key(rvkReturn); }},
        {"Shift+Enter", caret(3, 6), [](StepDocument& d) { d.F.Key(rvkReturn, {ssShift}); }},
        {"Backspace", caret(3, 6), [](StepDocument& d) { d.F.Key(rvkBackspace); }},
        {"Backspace joining paragraphs", caret(4, 1), [](StepDocument& d) { d.F.Key(rvkBackspace); }},
        {"Delete", caret(3, 3), [](StepDocument& d) { d.F.Key(rvkDelete); }},
        {"Delete joining paragraphs", caret(3, 16), [](StepDocument& d) { d.F.Key(rvkDelete); }},
        {"deleting the selection", select({3, 7}, {5, 3}), [](StepDocument& d) { d.F.Edit.DeleteSelected(); }},
        {"inserting text", caret(3, 6), [](StepDocument& d) { d.F.Edit.InsertWideTextAtCaret(u"neu\r\nzeile"); }},
        {"inserting text over a selection", select({3, 2}, {4, 2}),
         [](StepDocument& d) { d.F.Edit.InsertWideTextAtCaret(u"ersetzt"); }},
        {"inserting an item", caret(3, 6),
         [](StepDocument& d) { d.F.Edit.InsertItemAtCaret("", std::make_unique<TRVBreakItemInfo>()); }},
        {"inserting a fragment", caret(3, 6), [](StepDocument& d) { d.F.Edit.InsertDocumentFromStream(Fragment(d.F.Sheet)); }},
        {"text style", select({3, 1}, {3, 6}), [](StepDocument& d) { d.F.Edit.SetTextStyleOfSelection(d.Bold); }},
        {"paragraph style", caret(3, 2), [](StepDocument& d) { d.F.Edit.SetParaStyleOfSelection(1); }},
        {"list", caret(3, 2), [](StepDocument& d) { d.F.Edit.ApplyList(0, 0, 1, false); }},
        {"removing a list",
         [](StepDocument& d) {
             d.F.Edit.SetCaretDocPos({3, 2});
             d.F.Edit.ApplyList(0, 0, 1, false);
         },
         [](StepDocument& d) { d.F.Edit.RemoveLists(); }},
        {"page break inside a paragraph", caret(3, 6), [](StepDocument& d) { d.F.Edit.InsertPageBreakAtCaret(); }},
        {"page break at a paragraph start", caret(4, 1), [](StepDocument& d) { d.F.Edit.InsertPageBreakAtCaret(); }},
        {"removing a page break",
         [](StepDocument& d) {
             d.F.Edit.SetCaretDocPos({4, 1});
             d.F.Edit.InsertPageBreakAtCaret();
         },
         [](StepDocument& d) { d.F.Edit.RemovePageBreakAtCaret(); }},
        {"tag", nullptr, [](StepDocument& d) { d.F.Edit.ChangeItemTag(3, "Marke"); }},
        {"item text", caret(3, 2), [](StepDocument& d) { d.F.Edit.SetCurrentItemText("Neu"); }},
        {"Undo",
         [](StepDocument& d) {
             d.F.Edit.SetCaretDocPos({4, 1});
             d.F.Key(rvkBackspace);
         },
         [](StepDocument& d) { d.F.Edit.Undo(); }},
        {"Redo",
         [](StepDocument& d) {
             d.F.Edit.SetCaretDocPos({4, 1});
             d.F.Key(rvkBackspace);
             d.F.Edit.Undo();
         },
         [](StepDocument& d) { d.F.Edit.Redo(); }},
        {"Undo of typing",
         [](StepDocument& d) {
             d.F.Edit.SetCaretDocPos({3, 4});
             d.F.Edit.KeyPress(u'a');
             d.F.Edit.KeyPress(u'b');
         },
         [](StepDocument& d) { d.F.Edit.Undo(); }},
    };
    for (const StepCase& c : cases) {
        StepDocument d;
        if (c.Setup)
            c.Setup(d);
        d.Layout.Before();
        c.Act(d);
        d.Layout.ExpectOneChange(c.What);
        d.F.ExpectLayoutFresh();
    }
}

TEST(EditStepTest, AStepThatJoinsAnotherIsOneLayoutOneNotificationAndOneUndoStep)
{
    // A page break inside a paragraph is Enter and the break, in one step.
    StepDocument d;
    d.F.Edit.SetCaretDocPos({3, 6});
    const std::string before = d.F.Rvf();
    d.Layout.Before();
    d.F.Edit.InsertPageBreakAtCaret();
    EXPECT_EQ(d.Layout.Heard.size(), 1u);
    EXPECT_EQ(d.Layout.Changes, 1);
    EXPECT_NE(DocDump(d.F.Data).find(R"([p0^]" der Sache")"), std::string::npos) << DocDump(d.F.Data);
    EXPECT_EQ(d.F.Data.UndoList.Count(), 1);
    d.F.ExpectOneStep(before, rvutInsertPageBreak);
}

TEST(EditStepTest, ARefusedStepTellsNothingAndRecordsNothing)
{
    StepDocument d;
    const int fixed = d.F.AddTextStyle();
    d.F.Sheet.TextStyles[fixed].Protection.Include(rvprModifyProtect);
    d.F.Data.ItemAt(4).StyleNo = fixed;
    d.F.Format();
    int beeps = 0;
    d.F.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    const std::string before = d.F.Rvf();
    d.F.Edit.SetCaretDocPos({4, 3});
    d.Layout.Before();
    d.F.Key(rvkBackspace); // protected text
    d.F.Key(rvkDelete);    // protected text
    d.F.Key(rvkReturn);    // inside protected text
    d.F.Edit.SetCaretDocPos({4, 1});
    d.F.Key(rvkBackspace); // joins the paragraphs and changes none of the protected text
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(d.Layout.Heard.size(), 1u) << "only the join was told";
    EXPECT_EQ(d.F.Data.UndoList.Count(), 1);
    d.F.Edit.Undo();
    EXPECT_EQ(d.F.Rvf(), before);
}

/// The state an exception must leave untouched.
struct Snapshot {
    explicit Snapshot(EditFixture& f)
        : Rvf(f.Rvf()), Draw(DrawDump(f.Data)), Caret(f.Caret()), Selection(f.Selection()),
          Groups(f.Data.UndoList.Count()), Action(f.Edit.UndoAction())
    {
    }
    void ExpectSame(EditFixture& f, const std::string& what) const
    {
        EXPECT_EQ(f.Rvf(), Rvf) << what;
        EXPECT_EQ(DrawDump(f.Data), Draw) << what << ": the layout is the one before";
        EXPECT_EQ(f.Caret(), Caret) << what;
        EXPECT_EQ(f.Selection(), Selection) << what;
        EXPECT_EQ(f.Data.UndoList.Count(), Groups) << what;
        EXPECT_EQ(f.Edit.UndoAction(), Action) << what;
        EXPECT_EQ(f.Data.Recording, &f.Data.UndoList) << what << ": records go to the undo list again";
        EXPECT_EQ(f.Data.ChangeObserver(), nullptr) << what << ": nobody listens any more";
    }
    std::string Rvf, Draw, Caret, Selection;
    int Groups;
    TRVUndoType Action;
};

TEST(EditStepTest, AnExceptionInsideAStepTakesItsChangesBackWhateverTheUndoLimit)
{
    for (const int limit : {-1, 0}) {
        const std::string what = "limit " + std::to_string(limit);
        StepDocument d;
        EditFixture& f = d.F;
        const int third = f.AddTextStyle();
        f.Data.ItemAt(1).StyleNo = third;
        f.Format();
        f.Edit.SetUndoLimit(limit);
        f.Edit.SetCaretDocPos({0, 5});
        f.Edit.KeyPress(u'!');
        // Items are converted from the last one back, "Mitte" (cut off its paragraph's rest),
        // "boot", then "Haus": the handler fails at the third style it is asked about, when two
        // items took other styles already.
        f.Edit.SetSelection({1, 2}, {3, 6});
        int asked = 0;
        f.Edit.OnStyleConversion = [&](TCustomDocViewEdit&, int styleNo, int, bool, int& newStyleNo) {
            if (++asked == 3)
                throw std::runtime_error("abgelehnt");
            newStyleNo = styleNo == 0 ? d.Bold : 0;
        };
        const Snapshot before(f);
        EXPECT_THROW(f.Edit.ConvertTextStyles(1), std::runtime_error) << what;
        EXPECT_EQ(asked, 3) << what;
        before.ExpectSame(f, what);
        f.ExpectLayoutFresh();
        // The editor goes on: the next step records where it belongs.
        f.Edit.SetCaretDocPos({3, 2});
        f.Key(rvkReturn);
        EXPECT_EQ(f.Edit.CanUndo(), limit != 0) << what;
    }
}

TEST(EditStepTest, AnExceptionInsideAJoinedStepEndsTheOuterStepToo)
{
    // OnChanging is asked by the page break, then by the Enter it joins; the Enter's fails.
    StepDocument d;
    EditFixture& f = d.F;
    f.Edit.SetCaretDocPos({3, 6});
    int asked = 0;
    f.Edit.OnChanging = [&](TCustomDocViewEdit&, bool& canEdit) {
        canEdit = true;
        if (++asked == 2)
            throw std::runtime_error("abgelehnt");
    };
    const Snapshot before(f);
    EXPECT_THROW(f.Edit.InsertPageBreakAtCaret(), std::runtime_error);
    before.ExpectSame(f, "page break");
    d.Layout.Before();
    f.Edit.InsertPageBreakAtCaret();
    d.Layout.ExpectOneChange("page break after the failed one");
    EXPECT_EQ(f.Edit.UndoAction(), rvutInsertPageBreak);
}

} // namespace
} // namespace xq::test

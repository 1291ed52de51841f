// Random edits on random documents: after every edit the document obeys the validity rules
// and the merge rule, the incremental layout equals a fresh one, and undoing everything gives
// back the original RVF bytes, redoing everything the final ones.
#include <gtest/gtest.h>

#include <random>

#include "EditTestSupport.h"
#include "document/Normalize.h"
#include "formats/rvf/RvfWriter.h"
#include "layout/LayoutTestSupport.h"
#include "lists/ListItems.h"
#include "tables/TableItem.h"
#include "platform/CodePage.h"
#include "support/DocDump.h"

namespace xq::test {
namespace {

class EditProperty {
public:
    explicit EditProperty(unsigned seed) : Rng(seed)
    {
        F.Sheet.SpacesInTab = 0;
        const int bold = F.AddTextStyle();
        F.Sheet.TextStyles[bold].Style.Include(fsBold);
        const int uni = UnicodeStyle = F.AddTextStyle();
        F.Sheet.TextStyles[uni].Unicode = true;
        const int concate = F.AddTextStyle();
        F.Sheet.TextStyles[concate].Protection.Include(rvprConcateProtect);
        const int modify = F.AddTextStyle();
        F.Sheet.TextStyles[modify].Protection.Include(rvprModifyProtect);
        const int undeletable = F.AddTextStyle();
        F.Sheet.TextStyles[undeletable].Protection.Include(rvprDeleteProtect);
        const int paraStart = F.AddTextStyle();
        F.Sheet.TextStyles[paraStart].Protection.Include(rvprParaStartProtect);
        F.Sheet.TextStyles[bold].NextStyleNo = 0;
        TextStyleCount = F.Sheet.TextStyles.Count();
        TParaInfo& readOnly = F.Sheet.ParaStyles.Add();
        readOnly.Options.Include(rvpaoReadOnly);
        readOnly.NextParaNo = 0;
        ReadOnlyPara = F.Sheet.ParaStyles.Count() - 1;
        F.Sheet.ParaStyles.Add().Options.Include(rvpaoNoWrap);
        NoWrapPara = F.Sheet.ParaStyles.Count() - 1;
        F.Sheet.ParaStyles[1].NextParaNo = -2;
        TRVListInfo& list = F.Sheet.ListStyles.Add();
        list.Levels.Add().ListType = rvlstBullet;

        const int paragraphs = Pick(1, 6);
        for (int p = 0; p < paragraphs; ++p)
            AppendParagraph();
        NormalizeDocument(F.Data);
        F.Format();
        Original = Rvf();
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Rng); }

    std::string Words()
    {
        static const char* const words[] = {"a", "Haus", "im", "Wohnzimmer.", "lll", "mm", "Abc", ""};
        std::string text;
        const int n = Pick(0, 5);
        for (int i = 0; i < n; ++i)
            text += (i > 0 ? " " : "") + std::string(words[Pick(0, 7)]);
        return text;
    }

    int RandomParaStyle() { return Pick(0, 9) == 0 ? ReadOnlyPara : Pick(0, 9) == 0 ? NoWrapPara : Pick(0, 1); }

    void AppendParagraph()
    {
        const int para = RandomParaStyle();
        switch (Pick(0, 9)) {
        case 0: {
            if (Pick(0, 1) == 0) {
                auto table = std::make_unique<TRVTableItemInfo>(1, 2, &F.Data);
                table->ParaNo = 0;
                F.Data.AppendItem("", std::move(table));
                return;
            }
            auto brk = std::make_unique<TRVBreakItemInfo>();
            brk->ParaNo = 0;
            F.Data.AppendItem("", std::move(brk));
            return;
        }
        case 1: {
            auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0);
            marker->ParaNo = para;
            F.Data.AppendItem("", std::move(marker));
            F.Data.AppendText(Words(), 0, -1);
            return;
        }
        case 2:
            F.Data.AppendTextW(u"\u0416\U0001F600x", UnicodeStyle, para);
            break;
        default:
            F.Data.AppendText(Words(), Pick(0, TextStyleCount - 1), para);
            break;
        }
        if (Pick(0, 6) == 0)
            F.Data.ItemAt(F.Data.Count() - 1).SetNewPageBefore(true);
        const int more = Pick(0, 3);
        for (int i = 0; i < more; ++i) {
            if (Pick(0, 4) == 0) {
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->ParaNo = -1;
                if (Pick(0, 2) == 0)
                    tab->TextStyleNo = Pick(0, TextStyleCount - 1);
                tab->DeleteProtect = Pick(0, 9) == 0;
                F.Data.AppendItem("", std::move(tab));
            } else if (Pick(0, 6) == 0) {
                F.Data.AppendText(Words(), Pick(0, TextStyleCount - 1), -1);
                F.Data.ItemAt(F.Data.Count() - 1).SetNewLine(true);
            } else {
                F.Data.AppendText(Words(), Pick(0, TextStyleCount - 1), -1, Pick(0, 5) == 0 ? "t" : "");
            }
        }
        if (Pick(0, 8) == 0)
            F.Data.SetCheckpoint(F.Data.Count() - 1, [] {
                auto cp = std::make_unique<TRVCPInfo>();
                cp->Name = "keep";
                cp->Persistent = true;
                return cp;
            }());
    }

    TRVDocPos RandomPos()
    {
        const int item = Pick(0, F.Data.Count() - 1);
        return {item, Pick(F.Data.OffsetBefore(item), F.Data.OffsetAfter(item))};
    }

    std::string Rvf() const
    {
        std::string out;
        EXPECT_TRUE(TRVFWriter(F.Sheet, RVFMainWindowOptions).WriteDocument(F.Data, nullptr, out));
        return out;
    }

    std::string EditOnce()
    {
        switch (Pick(0, 19)) {
        case 0:
        case 1:
        case 2: {
            static const char16_t chars[] = {u'x', u' ', u'.', u'\u00E4', u'\u0416', u'W'};
            if (Pick(0, 8) == 0) {
                // A character outside the basic plane arrives as its two halves.
                F.Edit.KeyPress(u'\xD83D');
                F.Edit.KeyPress(u'\xDE00');
                return "type a surrogate pair";
            }
            const char16_t ch = chars[Pick(0, 5)];
            F.Edit.KeyPress(ch);
            return "type " + std::to_string(int(ch));
        }
        case 3:
            F.Key(rvkReturn);
            return "enter";
        case 4:
            F.Key(rvkReturn, {ssShift});
            return "shift+enter";
        case 5:
        case 6:
            F.Key(rvkBackspace);
            return "backspace";
        case 7:
            F.Key(rvkBackspace, {ssCtrl});
            return "ctrl+backspace";
        case 8:
        case 9:
            F.Key(rvkDelete);
            return "delete";
        case 10: {
            static const TRVKey moves[] = {rvkLeft, rvkRight, rvkUp, rvkDown, rvkHome, rvkEnd};
            F.Key(moves[Pick(0, 5)], Pick(0, 3) == 0 ? TShiftState{ssCtrl} : TShiftState{});
            return "move";
        }
        case 11:
            F.Edit.SetCurrentTextStyle(Pick(0, TextStyleCount - 1));
            return "current style";
        case 13:
        case 14: {
            const TRVDocPos a = RandomPos(), b = RandomPos();
            F.Edit.SetSelection(a, b);
            if (Pick(0, 1) == 0)
                return "select " + PosText(a) + "-" + PosText(b);
            F.Edit.DeleteSelected();
            return "delete " + PosText(a) + "-" + PosText(b);
        }
        case 15: {
            static const char16_t* const texts[] = {u"ab", u"x\r\ny z", u"\tq", u"p\fq\r", u"\n", u"\u0416\U0001F600"};
            const int k = Pick(0, 5);
            F.Edit.InsertWideTextAtCaret(texts[k], Pick(0, 3) == 0);
            return "insert text " + std::to_string(k);
        }
        case 16: {
            const int kind = Pick(0, 3);
            std::unique_ptr<TCustomRVItemInfo> item;
            if (kind == 0) {
                item = std::make_unique<TRVBreakItemInfo>();
            } else if (kind == 1) {
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->TextStyleNo = Pick(0, TextStyleCount - 1);
                item = std::move(tab);
            } else if (kind == 2) {
                item = std::make_unique<TRVMarkerItemInfo>(0, 0);
            } else {
                item = std::make_unique<TRVTableItemInfo>(1, 1, &F.Data);
            }
            F.Edit.InsertItemAtCaret("", std::move(item));
            return "insert item " + std::to_string(kind);
        }
        case 17:
            F.Edit.InsertDocumentFromStream(Original);
            return "insert document";
        case 18:
            F.Edit.InsertPageBreakAtCaret();
            return "page break";
        case 19:
            F.Edit.RemovePageBreakAtCaret();
            return "remove page break";
        default: {
            const int item = Pick(0, F.Data.Count() - 1);
            const int offs = Pick(F.Data.OffsetBefore(item), F.Data.OffsetAfter(item));
            F.Edit.SetCaretDocPos({item, offs}, Pick(0, 1) ? TRVLineBoundary::LineEnd : TRVLineBoundary::LineStart);
            return "caret to " + std::to_string(item) + ":" + std::to_string(offs);
        }
        }
    }

    /// The rules of a valid document plus what editing keeps: an empty text item is alone on its
    /// line (after a list marker at most), and neighbours the merge rule joins are joined.
    void ExpectValid(const std::string& context) const
    {
        const TCustomRVData& d = F.Data;
        ASSERT_GT(d.Count(), 0) << context;
        for (int i = 0; i < d.Count(); ++i) {
            const TCustomRVItemInfo& item = d.ItemAt(i);
            if (i == 0 || d.ItemAt(i - 1).IsFullLine() || item.IsFullLine() || item.IsListMarker()) {
                ASSERT_TRUE(item.StartsParagraph()) << context << " at " << i;
            }
            if (item.IsListMarker()) {
                ASSERT_LT(i + 1, d.Count()) << context;
                ASSERT_TRUE(d.ItemAt(i + 1).ContinuesPara()) << context << " at " << i;
            }
            if (!item.StartsParagraph()) {
                ASSERT_EQ(item.ParaNo, d.ItemAt(i - 1).ParaNo) << context << " at " << i;
            }
            if (item.IsText()) {
                ASSERT_EQ(item.IsUnicode(), F.Sheet.TextStyles[d.ActualStyleOf(i)].Unicode) << context << " at " << i;
                ASSERT_EQ(d.TextAt(i).size() % (item.IsUnicode() ? 2 : 1), 0u) << context;
                if (item.IsUnicode()) {
                    // Surrogates come in pairs.
                    const std::u16string text = Utf16FromBytes(d.TextAt(i));
                    for (std::size_t k = 0; k < text.size(); ++k) {
                        const bool high = text[k] >= 0xD800 && text[k] <= 0xDBFF;
                        const bool low = text[k] >= 0xDC00 && text[k] <= 0xDFFF;
                        if (high) {
                            ASSERT_TRUE(k + 1 < text.size() && text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF)
                                << context << " lone surrogate in " << i;
                        }
                        if (low) {
                            ASSERT_TRUE(k > 0 && text[k - 1] >= 0xD800 && text[k - 1] <= 0xDBFF)
                                << context << " lone surrogate in " << i;
                        }
                        k += high;
                    }
                }
            }
            if (item.IsText() && d.TextAt(i).empty()) {
                const bool lineStart = !item.ContinuesPara() || (i > 0 && d.ItemAt(i - 1).IsListMarker());
                const bool lineEnd = i + 1 == d.Count() || d.StartsLine(i + 1);
                ASSERT_TRUE(lineStart && lineEnd) << context << " empty item " << i;
            }
            if (i + 1 < d.Count() && item.IsText() && d.ItemAt(i + 1).IsText() && d.ItemAt(i + 1).ContinuesPara()) {
                const TCustomRVItemInfo& next = d.ItemAt(i + 1);
                const TRVProtectOptions prot = F.Sheet.TextStyles[d.ActualStyleOf(i)].Protection;
                const bool mergeable = item.StyleNo == next.StyleNo && item.Tag == next.Tag && item.Hint == next.Hint &&
                                       !next.Checkpoint() && !prot.Contains(rvprConcateProtect) &&
                                       !prot.Contains(rvprModifyProtect);
                ASSERT_FALSE(mergeable) << context << " unmerged " << i;
            }
        }
    }

    std::mt19937 Rng;
    EditFixture F{120, 100};
    /// The document as it was made, inserted into itself as a fragment.
    std::string Original;
    int TextStyleCount = 0;
    int ReadOnlyPara = 0;
    int NoWrapPara = 0;
    int UnicodeStyle = 0;
};

TEST(EditProperty, RandomEditsKeepTheDocumentValidTheLayoutExactAndUndoComplete)
{
    int changedEdits = 0;
    int incremental = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        EditProperty p(seed);
        std::vector<std::string> dumps{DocDump(p.F.Data)};
        const std::string original = p.Rvf();
        std::string log;
        for (int edit = 0; edit < 200; ++edit) {
            const std::string before = DocDump(p.F.Data);
            const TRVDrawLineInfo* firstLine = &p.F.Data.DrawItems()[0];
            const std::string caretBefore = PosText(p.F.Data.CaretDocPos());
            std::string what;
            try {
                what = p.EditOnce();
            } catch (const std::exception& e) {
                FAIL() << "seed " << seed << " edit " << edit << ": " << e.what() << " in " << before << " caret "
                       << PosText(p.F.Data.CaretDocPos()) << "\n" << log;
            }
            if (DocDump(p.F.Data) != before && p.F.Data.DrawItems().Count() > 4) {
                // A whole new layout allocates every draw item anew; an incremental one keeps
                // those of the paragraphs it does not touch.
                ++changedEdits;
                incremental += &p.F.Data.DrawItems()[0] == firstLine;
            }
            log += what + "; ";
            const std::string context = "seed " + std::to_string(seed) + " edit " + std::to_string(edit) + " (" +
                                        what + ") -> " + DocDump(p.F.Data) + " from " + before + " caret was " + caretBefore;
            p.ExpectValid(context);
            if (::testing::Test::HasFatalFailure())
                return;
            std::string partial;
            try {
                partial = DrawDump(p.F.Data);
            } catch (const std::exception& e) {
                FAIL() << context << ": the layout is left with " << e.what() << "\nbefore: " << before << "\n" << log;
            }
            const TRVDocPos caret = p.F.Data.CaretDocPos();
            p.F.Edit.Format();
            ASSERT_EQ(partial, DrawDump(p.F.Data)) << context;
            ASSERT_EQ(caret, p.F.Data.CaretDocPos()) << context;
        }
        const std::string final = p.Rvf();
        const std::string finalDump = DocDump(p.F.Data);
        int undone = 0;
        while (p.F.Edit.CanUndo()) {
            p.F.Edit.Undo();
            ++undone;
            ASSERT_LT(undone, 10000);
            p.ExpectValid("seed " + std::to_string(seed) + " undo " + std::to_string(undone) + " " + DocDump(p.F.Data));
            if (::testing::Test::HasFatalFailure())
                return;
            const std::string partial = DrawDump(p.F.Data);
            p.F.Edit.Format();
            ASSERT_EQ(partial, DrawDump(p.F.Data)) << "seed " << seed << " undo " << undone;
        }
        ASSERT_EQ(p.Rvf(), original) << "seed " << seed << ": " << dumps.front() << " / " << DocDump(p.F.Data)
                                     << "\n" << log;
        while (p.F.Edit.CanRedo()) {
            p.F.Edit.Redo();
            const std::string partial = DrawDump(p.F.Data);
            p.F.Edit.Format();
            ASSERT_EQ(partial, DrawDump(p.F.Data)) << "seed " << seed << " redo";
        }
        ASSERT_EQ(p.Rvf(), final) << "seed " << seed << ": " << finalDump << " / " << DocDump(p.F.Data);
    }
    EXPECT_GT(incremental, changedEdits / 4) << "edits are laid out paragraph by paragraph, not as a whole";
}

} // namespace
} // namespace xq::test

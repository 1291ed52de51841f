// Random edits on random documents: after every edit the document obeys the validity rules
// and the merge rule, the incremental layout equals a fresh one, and undoing everything gives
// back the original RVF bytes, redoing everything the final ones. Each edit is also undone and
// redone on its own, and random sessions mix edits with Undo, Redo, the movement keys and the
// mouse, each Undo and Redo landing on the state the history says. XQ_EDIT_SEEDS sets how many
// documents each test edits, for longer runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>

#include "EditTestSupport.h"
#include "document/Normalize.h"
#include "editing/ItemResizer.h"
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
    explicit EditProperty(unsigned seed, int leftMargin = 0) : Rng(seed)
    {
        F.Data.LeftMargin = leftMargin;
        F.Edit.OnBeep = [this](TCustomDocViewEdit&) { ++Beeps; };
        F.Edit.OnChanging = [this](TCustomDocViewEdit&, bool& canEdit) { canEdit = !Refusing; };
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
        const int wholeOnly = F.AddTextStyle();
        F.Sheet.TextStyles[wholeOnly].Protection.Include(rvprStyleSplitProtect);
        const int keepsStyle = F.AddTextStyle();
        F.Sheet.TextStyles[keepsStyle].Protection.Include(rvprStyleProtect);
        TextStyleCount = F.Sheet.TextStyles.Count();
        TParaInfo& readOnly = F.Sheet.ParaStyles.Add();
        readOnly.Options.Include(rvpaoReadOnly);
        readOnly.NextParaNo = 0;
        ReadOnlyPara = F.Sheet.ParaStyles.Count() - 1;
        F.Sheet.ParaStyles.Add().Options.Include(rvpaoNoWrap);
        NoWrapPara = F.Sheet.ParaStyles.Count() - 1;
        F.Sheet.ParaStyles[1].NextParaNo = -2;
        F.Sheet.ParaStyles.Add().Options.Include(rvpaoStyleProtect);
        TRVListInfo& list = F.Sheet.ListStyles.Add();
        list.Levels.Add().ListType = rvlstBullet;
        // Numbers on two levels, without indents: a renumbered marker moves its text.
        TRVListInfo& numbers = F.Sheet.ListStyles.Add();
        for (const TRVListType kind : {rvlstDecimal, rvlstLowerRoman}) {
            TRVListLevel& level = numbers.Levels.Add();
            level.ListType = kind;
            level.FormatString = "%0:s.%1:s";
            level.FirstIndent = level.LeftIndent = level.MarkerIndent = 0;
        }
        if (seed % 2)
            F.Edit.EditorOptions.Include(rvoClearTagOnStyleApp);
        F.Edit.OnStyleConversion = [this](TCustomDocViewEdit&, int styleNo, int userData, bool, int& newStyleNo) {
            newStyleNo = (styleNo + userData) % TextStyleCount;
        };
        F.Edit.OnParaStyleConversion = [this](TCustomDocViewEdit&, int paraNo, int userData, bool, int& newParaNo) {
            newParaNo = (paraNo + userData) % F.Sheet.ParaStyles.Count();
        };

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
                if (!EditableCells)
                    table->Options.Exclude(rvtoEditing);
                F.Data.AppendItem("", std::move(table));
                return;
            }
            auto brk = std::make_unique<TRVBreakItemInfo>();
            brk->ParaNo = 0;
            F.Data.AppendItem("", std::move(brk));
            return;
        }
        case 1: {
            auto marker = std::make_unique<TRVMarkerItemInfo>(Pick(0, 1), Pick(0, 1));
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
        switch (Pick(0, 25)) {
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
            const int kind = Pick(0, 4);
            std::unique_ptr<TCustomRVItemInfo> item;
            if (kind == 4) {
                auto picture = std::make_unique<TRVGraphicItemInfo>();
                picture->ImageWidth = Pick(5, 40);
                picture->ImageHeight = Pick(5, 30);
                picture->Spacing = Pick(0, 2);
                item = std::move(picture);
            } else if (kind == 0) {
                item = std::make_unique<TRVBreakItemInfo>();
            } else if (kind == 1) {
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->TextStyleNo = Pick(0, TextStyleCount - 1);
                item = std::move(tab);
            } else if (kind == 2) {
                item = std::make_unique<TRVMarkerItemInfo>(0, 0);
            } else {
                auto table = std::make_unique<TRVTableItemInfo>(1, 1, &F.Data);
                if (!EditableCells)
                    table->Options.Exclude(rvtoEditing);
                item = std::move(table);
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
        case 20: {
            const int style = Pick(0, TextStyleCount - 1);
            F.Edit.SetTextStyleOfSelection(style);
            return "text style " + std::to_string(style) + " on " + F.Selection();
        }
        case 21: {
            const int userData = Pick(1, TextStyleCount - 1);
            F.Edit.ConvertTextStyles(userData);
            return "convert text styles +" + std::to_string(userData) + " on " + F.Selection();
        }
        case 22: {
            if (Pick(0, 1)) {
                const int para = Pick(0, F.Sheet.ParaStyles.Count() - 1);
                F.Edit.SetParaStyleOfSelection(para);
                return "para style " + std::to_string(para) + " on " + F.Selection();
            }
            const int userData = Pick(1, F.Sheet.ParaStyles.Count() - 1);
            F.Edit.ConvertParaStyles(userData);
            return "convert para styles +" + std::to_string(userData) + " on " + F.Selection();
        }
        case 23: {
            const int listNo = Pick(0, F.Sheet.ListStyles.Count() - 1);
            const int level = Pick(-1, 2);
            const int startFrom = Pick(0, 12);
            const bool useStartFrom = Pick(0, 1);
            F.Edit.ApplyList(listNo, level, startFrom, useStartFrom);
            return "apply list " + std::to_string(listNo) + " level " + std::to_string(level) + " from " +
                   std::to_string(startFrom) + (useStartFrom ? " reset" : "") + " on " + F.Selection();
        }
        case 24:
            F.Edit.RemoveLists();
            return "remove lists on " + F.Selection();
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

    /// Valid, with a layout equal to a fresh one, the caret kept by that layout, and the caret
    /// and the selection on draw items that exist.
    void ExpectSound(const std::string& context)
    {
        ExpectValid(context);
        if (::testing::Test::HasFatalFailure())
            return;
        std::string partial;
        try {
            partial = DrawDump(F.Data);
            (void)F.Edit.GetCaretRect(); // checks the caret against its line
        } catch (const std::exception& e) {
            FAIL() << context << ": the layout is left with " << e.what();
        }
        const int drawCount = F.Data.DrawItems().Count();
        ASSERT_TRUE(F.Data.CaretValid()) << context;
        ASSERT_LT(F.Data.SelStartNo, drawCount) << context;
        ASSERT_LT(F.Data.SelEndNo, drawCount) << context;
        const TRVDocPos caret = F.Data.CaretDocPos();
        F.Edit.Format();
        ASSERT_EQ(partial, DrawDump(F.Data)) << context;
        ASSERT_EQ(caret, F.Data.CaretDocPos()) << context;
    }

    /// A point in or beside the document (document coordinates), now and then in the left margin.
    std::pair<int, int> RandomPoint()
    {
        const int right = F.Data.LeftMargin + F.Data.MaxTextWidth + 20;
        const int x = Pick(0, 5) == 0 ? Pick(-5, std::max(F.Data.LeftMargin, 1) - 1) : Pick(-5, right);
        return {x, Pick(-10, F.Data.TotalHeight() + 10)};
    }

    TShiftState RandomShift()
    {
        TShiftState shift;
        if (Pick(0, 2) == 0)
            shift.Include(ssShift);
        if (Pick(0, 3) == 0)
            shift.Include(ssCtrl);
        return shift;
    }

    /// Counts the actions of a read-only or refusing spell down; the editor is editable after them.
    void CountDownLock()
    {
        if (LockedActions > 0 && --LockedActions == 0)
            F.Edit.ReadOnly = Refusing = false;
    }

    /// One action of a user: an edit, Undo or Redo, a movement key, a click, a drag (with something
    /// else happening while the button is held now and then), a double click, select-all or Tab.
    /// what tells the action as it goes, so that it is known when the action fails.
    void ActOnce(std::string& what)
    {
        const auto point = [](std::pair<int, int> p) { return std::to_string(p.first) + "," + std::to_string(p.second); };
        switch (Pick(0, 19)) {
        case 0:
        case 1:
            what = "undo";
            F.Edit.Undo();
            return;
        case 2:
            what = "redo";
            F.Edit.Redo();
            return;
        case 3:
        case 4:
        case 5: {
            static const TRVKey keys[] = {rvkLeft, rvkRight, rvkUp, rvkDown, rvkHome, rvkEnd, rvkPageUp, rvkPageDown};
            const TRVKey key = keys[Pick(0, 7)];
            const TShiftState shift = RandomShift();
            what = "key " + std::to_string(int(key)) + (shift.Contains(ssShift) ? " shift" : "") +
                   (shift.Contains(ssCtrl) ? " ctrl" : "");
            F.Key(key, shift);
            return;
        }
        case 6:
        case 7: {
            const auto at = RandomPoint();
            const TShiftState shift = Pick(0, 2) == 0 ? TShiftState{ssShift} : TShiftState{};
            what = "click " + point(at) + (shift.Contains(ssShift) ? " shift" : "");
            F.Click(at.first, at.second, shift);
            return;
        }
        case 8:
        case 9: {
            auto at = RandomPoint();
            const TShiftState shift = Pick(0, 3) == 0 ? TShiftState{ssShift} : TShiftState{};
            what = std::string(shift.Contains(ssShift) ? "shift+" : "") + "drag " + point(at);
            F.Edit.MouseDown(mbLeft, shift, at.first, at.second);
            if (F.Edit.Resizing())
                what += " on a handle";
            const int moves = Pick(1, 4);
            for (int k = 0; k < moves; ++k) {
                at = RandomPoint();
                what += " " + point(at);
                F.Edit.MouseMove(shift, at.first, at.second);
                if (Pick(0, 5) != 0)
                    continue;
                // While the button is held: an edit, Undo or Redo.
                if (const int kind = Pick(0, 2); kind == 0) {
                    what += " (edit";
                    what += " " + EditOnce() + ")";
                } else if (kind == 1) {
                    what += " (undo)";
                    F.Edit.Undo();
                } else {
                    what += " (redo)";
                    F.Edit.Redo();
                }
            }
            what += " up";
            F.Edit.MouseUp(mbLeft, shift, at.first, at.second);
            return;
        }
        case 10: {
            const auto at = RandomPoint();
            what = "double click " + point(at);
            F.Edit.MouseDown(mbLeft, {}, at.first, at.second);
            F.Edit.MouseUp(mbLeft, {}, at.first, at.second);
            F.Edit.DblClick({}, at.first, at.second);
            F.Edit.MouseUp(mbLeft, {}, at.first, at.second);
            return;
        }
        case 11: {
            const auto at = RandomPoint();
            what = "right click " + point(at);
            F.Edit.MouseDown(mbRight, {}, at.first, at.second);
            F.Edit.MouseUp(mbRight, {}, at.first, at.second);
            return;
        }
        case 12:
            what = "select all";
            F.Edit.SelectAll();
            return;
        case 15:
            // Now and then the editor is read-only, or OnChanging refuses every edit, for a few actions.
            if (Pick(0, 2) != 0 || LockedActions > 0)
                return ActOnce(what);
            LockedActions = Pick(1, 6);
            if (Pick(0, 1))
                F.Edit.ReadOnly = true;
            else
                Refusing = true;
            what = F.Edit.ReadOnly ? "read-only" : "changes refused";
            return;
        case 14: {
            // A handle of a picture dragged, with an edit, Undo or Redo while the button is held now and then.
            int picture = -1;
            for (int i = 0; i < F.Data.Count(); ++i)
                if (F.Data.ItemAt(i).StyleNo == rvsPicture && (picture < 0 || Pick(0, 1)))
                    picture = i;
            if (picture < 0) {
                auto added = std::make_unique<TRVGraphicItemInfo>();
                added->ImageWidth = Pick(5, 40);
                added->ImageHeight = Pick(5, 30);
                what = "insert picture";
                if (F.Edit.InsertItemAtCaret("", std::move(added)))
                    what += " (done)";
                return;
            }
            F.Edit.SetSelection({picture, 0}, {picture, 1});
            TRect frame;
            if (!F.Edit.ResizeFrame(frame)) {
                what = "picture " + std::to_string(picture) + " selected";
                return;
            }
            const int handle = Pick(0, TRVItemResizer::HandleCount - 1);
            const TPoint centre = TRVItemResizer::HandleCentres(frame)[std::size_t(handle)];
            const int dx = Pick(-20, 20), dy = Pick(-20, 20);
            what = "resize " + std::to_string(picture) + " by handle " + std::to_string(handle) + " " +
                   std::to_string(dx) + "," + std::to_string(dy);
            F.Edit.MouseDown(mbLeft, {}, centre.X, centre.Y);
            F.Edit.MouseMove({}, centre.X + dx / 2, centre.Y + dy / 2);
            if (Pick(0, 2) == 0) {
                what += " (edit";
                what += " " + EditOnce() + ")";
            } else if (Pick(0, 2) == 0) {
                what += " (undo)";
                F.Edit.Undo();
            }
            F.Edit.MouseUp(mbLeft, {}, centre.X + dx, centre.Y + dy);
            return;
        }
        case 16: {
            // The selection moved or copied (Ctrl) with the mouse, or pressed and let go.
            if (!F.Edit.SelectionExists())
                return ActOnce(what);
            TRVDocPos first, last;
            F.Data.GetOrderedSelectionDoc(first, last);
            const TRVDrawPos from = F.Data.DrawPosOf(Pick(0, 1) ? first : last, TRVLineBoundary::LineStart);
            const TRVCaretRect bar = F.Data.StopRect(from);
            const auto to = RandomPoint();
            const TShiftState shift = Pick(0, 2) == 0 ? TShiftState{ssCtrl} : TShiftState{};
            what = "move by mouse from " + PosText(first) + "-" + PosText(last) + " to " + point(to) +
                   (shift.Contains(ssCtrl) ? " ctrl" : "");
            F.Edit.MouseDown(mbLeft, {}, bar.X, bar.Top + bar.Height / 2);
            if (!F.Edit.DragPending()) {
                what += " (no drag)";
                F.Edit.MouseUp(mbLeft, {}, bar.X, bar.Top + bar.Height / 2);
                return;
            }
            TMemoryClipboard data;
            if (Pick(0, 4) == 0 || !F.Edit.BeginDrag(data.Content())) {
                what += " (let go)";
                F.Edit.MouseUp(mbLeft, {}, bar.X, bar.Top + bar.Height / 2);
                return;
            }
            const TRVDropEffects done = F.Edit.Drop(data, {rvdeCopy, rvdeMove}, shift, to.first, to.second);
            what += done.Contains(rvdeMove) ? " (moved)" : done.Contains(rvdeCopy) ? " (copied)" : " (nothing)";
            F.Edit.EndDrag(done);
            return;
        }
        case 13: {
            const TShiftState shift = Pick(0, 1) ? TShiftState{ssCtrl} : TShiftState{};
            what = shift.Contains(ssCtrl) ? "ctrl+tab" : "tab";
            F.Key(rvkTab, shift);
            return;
        }
        default:
            what = "edit";
            what = EditOnce();
            return;
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
    int Beeps = 0;
    /// OnChanging refuses every edit.
    bool Refusing = false;
    /// The actions until the editor is editable again.
    int LockedActions = 0;
    /// Tables take clicks and arrows into their cells; off, they stay single items.
    static inline bool EditableCells = true;
};

TEST(EditProperty, RandomEditsKeepTheDocumentValidTheLayoutExactAndUndoComplete)
{
    int changedEdits = 0;
    int incremental = 0;
    for (unsigned seed = 1; seed <= SeedCount(400); ++seed) {
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


TEST(EditProperty, WithoutUndoRecordsRandomEditsKeepTheLayoutExactAndRefusedEditsChangeNothing)
{
    // With an undo limit of 0 nothing is recorded for Undo; an edit refused halfway still takes
    // back what it changed before it was refused.
    int refused = 0, changedEdits = 0, incremental = 0;
    const int seeds = static_cast<int>(SeedCount(250));
    for (int seed = 1; seed <= seeds; ++seed) {
        EditProperty p(seed + 300000);
        p.F.Edit.SetUndoLimit(0);
        std::string log;
        for (int edit = 0; edit < 150; ++edit) {
            const std::string before = p.Rvf();
            const std::string dumpBefore = DocDump(p.F.Data);
            const TRVDrawLineInfo* firstLine = &p.F.Data.DrawItems()[0];
            const bool hadSelection = p.F.Edit.SelectionExists();
            const int beepsBefore = p.Beeps;
            std::string what;
            try {
                what = p.EditOnce();
            } catch (const std::exception& e) {
                FAIL() << "seed " << seed << " edit " << edit << ": " << e.what() << " in " << dumpBefore << "\n" << log;
            }
            log += what + "; ";
            const std::string after = p.Rvf();
            const std::string context = "seed " + std::to_string(seed) + " edit " + std::to_string(edit) + " (" +
                                        what + ") from " + dumpBefore + " to " + DocDump(p.F.Data) + "\n" + log;
            if (after != before && p.F.Data.DrawItems().Count() > 4) {
                ++changedEdits;
                incremental += &p.F.Data.DrawItems()[0] == firstLine;
            }
            p.ExpectSound(context);
            if (::testing::Test::HasFatalFailure())
                return;
            ASSERT_FALSE(p.F.Edit.CanUndo()) << context << ": recorded, with an undo limit of 0";
            // A key that types over a selection deletes it first, as a step of its own.
            const bool replacing = hadSelection && (what.starts_with("type") || what.ends_with("enter"));
            if (p.Beeps > beepsBefore && !replacing) {
                ++refused;
                ASSERT_TRUE(after == before) << context << ": refused, yet changed";
            }
        }
    }
    EXPECT_GT(refused, seeds * 3) << "edits are refused";
    EXPECT_GT(changedEdits, seeds * 30) << "most edits change the document";
    EXPECT_GT(incremental, changedEdits / 4) << "edits are laid out paragraph by paragraph, not as a whole";
}

TEST(EditProperty, EveryEditIsUndoneAndRedoneOnItsOwn)
{
    int checked = 0;
    const int seeds = static_cast<int>(SeedCount(300));
    for (int seed = 1; seed <= seeds; ++seed) {
        EditProperty p(seed + 100000);
        const std::string original = p.Rvf();
        std::string log;
        for (int edit = 0; edit < 100; ++edit) {
            const std::string before = p.Rvf();
            const std::string dumpBefore = DocDump(p.F.Data);
            const bool hadSelection = p.F.Edit.SelectionExists();
            const int groupsBefore = p.F.Data.UndoList.Count();
            const int beepsBefore = p.Beeps;
            std::string what;
            try {
                what = p.EditOnce();
            } catch (const std::exception& e) {
                FAIL() << "seed " << seed << " edit " << edit << ": " << e.what() << " in " << dumpBefore << "\n" << log;
            }
            log += what + "; ";
            const std::string after = p.Rvf();
            const std::string dumpAfter = DocDump(p.F.Data);
            const std::string context = "seed " + std::to_string(seed) + " edit " + std::to_string(edit) + " (" +
                                        what + ") from " + dumpBefore + " to " + dumpAfter;
            p.ExpectSound(context);
            if (::testing::Test::HasFatalFailure())
                return;
            // A key that types over a selection deletes it first, as a step of its own.
            const bool replacing = hadSelection && (what.starts_with("type") || what.ends_with("enter"));
            if (p.Beeps > beepsBefore && !replacing) {
                ASSERT_TRUE(after == before) << context << ": refused, yet changed";
            }
            if (after == before)
                continue;
            ++checked;
            const int grown = p.F.Data.UndoList.Count() - groupsBefore;
            ASSERT_LE(grown, replacing ? 2 : 1) << context << ": one edit, " << grown << " undo steps";
            const int steps = std::max(grown, 1);
            for (int k = 0; k < steps; ++k) {
                ASSERT_TRUE(p.F.Edit.CanUndo()) << context << ": a change without an undo step";
                try {
                    p.F.Edit.Undo();
                } catch (const std::exception& e) {
                    FAIL() << context << ": undo throws " << e.what() << "\n" << log;
                }
                p.ExpectSound(context + ", undone");
                if (::testing::Test::HasFatalFailure())
                    return;
            }
            ASSERT_TRUE(p.Rvf() == before) << context << "\nundone to " << DocDump(p.F.Data) << "\n" << log;
            for (int k = 0; k < steps; ++k) {
                ASSERT_TRUE(p.F.Edit.CanRedo()) << context;
                try {
                    p.F.Edit.Redo();
                } catch (const std::exception& e) {
                    FAIL() << context << ": redo throws " << e.what() << "\n" << log;
                }
                p.ExpectSound(context + ", redone");
                if (::testing::Test::HasFatalFailure())
                    return;
            }
            ASSERT_TRUE(p.Rvf() == after) << context << "\nredone to " << DocDump(p.F.Data) << "\n" << log;
        }
        while (p.F.Edit.CanUndo())
            p.F.Edit.Undo();
        ASSERT_TRUE(p.Rvf() == original) << "seed " << seed << ": " << DocDump(p.F.Data) << "\n" << log;
    }
    EXPECT_GT(checked, seeds * 30) << "most edits change the document";
}

TEST(EditProperty, SessionsOfEditsUndoKeysAndMouseKeepTheDocumentSoundAndUndoExact)
{
    static const TRVSelectionMode modes[] = {rvsmWord, rvsmWord, rvsmChar, rvsmParagraph};
    int changes = 0, selections = 0, resizes = 0, travelled = 0;
    // The history below counts the steps of the document's own undo list; the steps made in a
    // cell become one when its editing ends, which the cell tests follow instead.
    EditProperty::EditableCells = false;
    struct TRestore {
        ~TRestore() { EditProperty::EditableCells = true; }
    } restore;
    const int seeds = static_cast<int>(SeedCount(500));
    for (int seed = 1; seed <= seeds; ++seed) {
        EditProperty p(seed + 200000, seed % 3 == 0 ? 0 : 10);
        p.F.Sheet.SelectionMode = modes[seed % 4];
        p.F.Edit.EditorOptions.Include(rvoWantTabs);
        if (seed % 5 == 0)
            p.F.Sheet.SpacesInTab = 2;
        // Without undo records a refused edit still changes nothing.
        const bool recording = seed % 6 != 0;
        if (!recording)
            p.F.Edit.SetUndoLimit(0);
        const std::string original = p.Rvf();
        // The states the undo history leads through (unknown: the selection a key typed over,
        // gone as a step of its own), and where the document stands in it.
        std::vector<std::optional<std::string>> history{original};
        std::vector<std::string> historyDumps{DocDump(p.F.Data)};
        std::size_t at = 0;
        std::string log;
        for (int action = 0; action < 150; ++action) {
            p.CountDownLock();
            const std::string before = p.Rvf();
            const std::string dumpBefore = DocDump(p.F.Data);
            const bool hadSelection = p.F.Edit.SelectionExists();
            const int beepsBefore = p.Beeps;
            const bool couldUndo = p.F.Edit.CanUndo(), couldRedo = p.F.Edit.CanRedo();
            const bool readOnly = p.F.Edit.ReadOnly, refusing = p.Refusing;
            const int groupsBefore = p.F.Data.UndoList.Count();
            std::string what;
            try {
                p.ActOnce(what);
            } catch (const std::exception& e) {
                FAIL() << "seed " << seed << " action " << action << " (" << what << "): " << e.what() << " in "
                       << dumpBefore << "\n" << log;
            }
            log += what + "; ";
            const std::string now = p.Rvf();
            const bool changed = now != before;
            changes += changed;
            resizes += what.starts_with("resize");
            selections += p.F.Edit.SelectionExists();
            const std::string context = "seed " + std::to_string(seed) + " action " + std::to_string(action) + " (" +
                                        what + ") from " + dumpBefore + " to " + DocDump(p.F.Data) + "\n" + log;
            p.ExpectSound(context);
            if (::testing::Test::HasFatalFailure())
                return;
            // Moving and selecting never change the document, nor do edits while a selection is
            // dragged; a drag from a resize handle resizes.
            const bool resizing = what.starts_with("resize") || what.find("on a handle") != std::string::npos;
            static const char* const selecting[] = {"key ", "click ", "right click ", "double click ", "select all",
                                                    "drag ", "shift+drag "};
            if (!resizing &&
                std::any_of(std::begin(selecting), std::end(selecting), [&](const char* s) { return what.starts_with(s); })) {
                ASSERT_FALSE(changed) << context << ": changed by moving or selecting";
            }
            // A read-only editor changes nothing; one whose OnChanging refuses still undoes and redoes.
            const bool undoing = what == "undo" || what == "redo";
            if (readOnly || (refusing && !undoing)) {
                ASSERT_FALSE(changed) << context << ": changed in a read-only or refusing editor";
            }
            // A refused edit changes nothing; a key that types over a selection deletes it first,
            // as a step of its own, and a resize may follow a refused edit during its drag.
            const bool replacing = hadSelection && (what.starts_with("type") || what.ends_with("enter"));
            if (p.Beeps > beepsBefore && !replacing && !resizing) {
                ASSERT_FALSE(changed) << context << ": refused, yet changed";
            }
            if (!recording)
                continue;
            // Undo and Redo go back and forth through the states the edits left.
            if (undoing) {
                const bool possible = (what == "undo" ? couldUndo : couldRedo) && !readOnly;
                if (!possible) {
                    ASSERT_FALSE(changed) << context;
                    continue;
                }
                if (what == "undo") {
                    ASSERT_GT(at, 0u) << context;
                    --at;
                } else {
                    ASSERT_LT(at + 1, history.size()) << context;
                    ++at;
                }
                ASSERT_TRUE(!history[at] || *history[at] == now)
                    << context << ": not the state it should lead to, " << historyDumps[at];
                travelled += history[at].has_value();
                continue;
            }
            const int grown = p.F.Data.UndoList.Count() - groupsBefore;
            const int steps = changed ? std::max(grown, 1) : grown;
            if (steps <= 0)
                continue;
            history.resize(at + 1);
            historyDumps.resize(at + 1);
            for (int k = 1; k < steps; ++k) {
                history.emplace_back();
                historyDumps.emplace_back("(unknown)");
            }
            history.emplace_back(now);
            historyDumps.push_back(DocDump(p.F.Data));
            at = history.size() - 1;
        }
        if (!recording)
            continue;
        p.F.Edit.ReadOnly = p.Refusing = false;
        int undone = 0;
        while (p.F.Edit.CanUndo()) {
            p.F.Edit.Undo();
            ASSERT_LT(++undone, 10000);
        }
        ASSERT_TRUE(p.Rvf() == original) << "seed " << seed << ": " << DocDump(p.F.Data) << "\n" << log;
        p.ExpectSound("seed " + std::to_string(seed) + " undone");
        if (::testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_GT(changes, seeds * 30) << "the sessions edit";
    EXPECT_GT(selections, seeds * 30) << "the sessions select";
    EXPECT_GT(resizes, seeds * 2) << "the sessions resize pictures";
    EXPECT_GT(travelled, seeds * 8) << "the sessions undo and redo";
}

} // namespace
} // namespace xq::test

// Two layouts of one document at once: the editor's at 96 dpi and a printer's at 600 dpi. Making
// and painting one must not touch the other, and each must be what a fresh layout of its own
// gives.
#include <gtest/gtest.h>

#include "editing/EditTestSupport.h"
#include "layout/LayoutTestSupport.h"
#include "layout/Painter.h"
#include "tables/TableLayout.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

/// Everything a layout holds about the document: draw items (with the tab leaders), first pieces,
/// jumps, heights, and the layouts of the table's cells.
std::string LayoutDump(const TRVContainerLayout& layout, const TRVTableItemInfo& table)
{
    std::string out = DrawDump(layout) + "\nheight " + std::to_string(layout.TotalHeight()) + " width " +
                      std::to_string(layout.TextAreaWidth()) + "\npieces";
    for (int i = 0; i < layout.Document().Count(); ++i)
        out += " " + std::to_string(layout.FirstLinePiece(i)) + "/" + std::to_string(layout.JumpNoOf(i));
    out += "\njumps";
    for (const TRVJumpInfo& j : layout.Jumps())
        out += " " + std::to_string(j.JumpNo) + "@" + std::to_string(j.DrawItemNo) + ":" + std::to_string(j.Left) +
               "," + std::to_string(j.Top) + "," + std::to_string(j.Width);
    out += "\nleaders";
    for (int i = 0; i < layout.DrawItems().Count(); ++i)
        if (const auto* tab = dynamic_cast<const TRVTabDrawItem*>(&layout.DrawItems()[i]))
            out += " " + std::to_string(i) + "'" + tab->Leader + "'";
    const TRVTableLayoutState* state = TableLayoutIn(layout, table);
    if (!state)
        return out + "\nno table layout";
    out += "\ntable " + std::to_string(state->Layout.FWidth) + "x" + std::to_string(state->Layout.FHeight);
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColCount(); ++c)
            if (const TRVTableCellLayout* cell = state->FindCell(table.Cells(r, c)))
                out += "\ncell " + std::to_string(r) + "," + std::to_string(c) + " at " + std::to_string(cell->Left) +
                       "," + std::to_string(cell->Top) + " " + std::to_string(cell->Width) + "x" +
                       std::to_string(cell->Height) + ": " + DrawDump(cell->Layout);
    return out;
}

class SecondLayoutTest : public ::testing::Test {
protected:
    SecondLayoutTest()
    {
        const int link = F.AddTextStyle();
        F.Sheet.TextStyles[link].Jump = true;
        F.Sheet.ParaStyles[0].Tabs.Add(120, rvtaLeft, ".");
        F.Text("Sehr geehrte Damen und Herren, anbei der Bericht vom Montag.");
        F.Text("Siehe ", 0, 0);
        F.Data.AppendText("Anlage", link, -1);
        F.Data.AppendText(" und", 0, -1);
        auto tab = std::make_unique<TRVTabItemInfo>();
        tab->ParaNo = -1;
        F.Data.AppendItem("", std::move(tab));
        F.Data.AppendText("Seite 2", 0, -1);
        auto table = NamedTable(2, 2, &F.Data);
        table->Cells(1, 1)->Clear();
        table->Cells(1, 1)->AppendText("ein langer Text in der Zelle", 0, 0);
        Table = table.get();
        F.Data.AppendItem("", std::move(table));
        F.Text("Mit freundlichen Gruessen");
        F.Format();
        F.Edit.SetCaretDocPos({1, 3});
    }

    EditFixture F{200};
    TRVTableItemInfo* Table = nullptr;
};

TEST_F(SecondLayoutTest, APrinterLayoutLeavesTheEditorsLayoutAsItWas)
{
    const std::string screen = LayoutDump(F.Data, *Table);
    const std::string caret = F.Caret();
    const int caretX = F.CaretX();
    ASSERT_NE(screen.find("table "), std::string::npos);

    // The printer's layout: the same items, other margins, 600 dpi.
    TTestCanvas printer(600, 600);
    TRVViewSettings paper;
    paper.LeftMargin = paper.RightMargin = paper.TopMargin = paper.BottomMargin = 0;
    paper.MinTextWidth = paper.MaxTextWidth = 300;
    TRVContainerLayout print(F.Data, paper);
    print.SetFormatCanvas(&printer);
    print.FormatAll();
    TTestCanvas page(600, 600);
    PaintDocument(print, page, TRVPaintRequest{TRect{0, 0, 4000, 4000}, 0, 0, false, true});
    EXPECT_FALSE(page.Ops().empty());

    EXPECT_EQ(LayoutDump(F.Data, *Table), screen) << "the editor's layout did not change";
    EXPECT_EQ(F.Caret(), caret);
    EXPECT_EQ(F.CaretX(), caretX);

    // Each is what a fresh layout of its own gives.
    const std::string printed = LayoutDump(print, *Table);
    TRVContainerLayout fresh(F.Data, paper);
    fresh.SetFormatCanvas(&printer);
    fresh.FormatAll();
    EXPECT_EQ(LayoutDump(fresh, *Table), printed);
    F.Format();
    EXPECT_EQ(LayoutDump(F.Data, *Table), screen);
    EXPECT_EQ(LayoutDump(print, *Table), printed) << "and the editor's new format left the printer's alone";

    // The printer's is its own: 300 screen pixels are 1875 device pixels there.
    EXPECT_EQ(print.TextAreaWidth(), 1875);
    EXPECT_EQ(F.Data.TextAreaWidth(), 200);
    EXPECT_GT(print.TotalHeight(), 3 * F.Data.TotalHeight());
    EXPECT_NE(printed.find("leaders"), std::string::npos);
    EXPECT_NE(TableLayoutIn(print, *Table), TableLayoutIn(F.Data, *Table));
}

TEST_F(SecondLayoutTest, AfterAnEditEachLayoutIsMadeAgainOnItsOwn)
{
    TTestCanvas printer(600, 600);
    TRVViewSettings paper;
    TRVContainerLayout print(F.Data, paper);
    print.SetFormatCanvas(&printer);
    print.FormatAll();
    const std::string before = LayoutDump(print, *Table);

    F.Edit.KeyPress(u'x');
    F.ExpectLayoutFresh();
    const std::string screen = LayoutDump(F.Data, *Table);
    print.FormatAll();
    EXPECT_NE(LayoutDump(print, *Table), before);
    TRVContainerLayout fresh(F.Data, paper);
    fresh.SetFormatCanvas(&printer);
    fresh.FormatAll();
    EXPECT_EQ(LayoutDump(print, *Table), LayoutDump(fresh, *Table));
    EXPECT_EQ(LayoutDump(F.Data, *Table), screen);
}

} // namespace
} // namespace xq::test

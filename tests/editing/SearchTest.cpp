// Finding text: directions and where a search starts, case and encodings, whole words, the
// limits of one item, tab items, and table cells edited on a match.
#include <gtest/gtest.h>

#include "editing/EditTestSupport.h"
#include "editing/TableInplaceEdit.h"
#include "platform/CodePage.h"
#include "tables/TableItem.h"
#include "tables/TableTestSupport.h"

namespace xq::test {

namespace {

const TRVSearchOptions Down{SearchDown};
const TRVSearchOptions Up{};

} // namespace

TEST(Search, FindsFromTheSelectionInEitherDirectionWithoutWrappingAround)
{
    EditFixture f;
    f.Text("Der Brief an den Kunden");
    f.Text("Ein BRIEF und noch ein Brief.");
    f.Format();
    f.Edit.SetSelection({0, 1}, {0, 1});
    // Without match case the capitals count too; the search goes on from the end of each match.
    ASSERT_TRUE(f.Edit.SearchText(u"brief", Down));
    EXPECT_EQ(f.Selection(), "0:5-0:10");
    ASSERT_TRUE(f.Edit.SearchText(u"brief", Down));
    EXPECT_EQ(f.Selection(), "1:5-1:10");
    EXPECT_EQ(f.Edit.SelectedText(), u"BRIEF");
    ASSERT_TRUE(f.Edit.SearchText(u"brief", Down));
    EXPECT_EQ(f.Selection(), "1:24-1:29");
    EXPECT_FALSE(f.Edit.SearchText(u"brief", Down)) << "no wrap-around";
    EXPECT_EQ(f.Selection(), "1:24-1:29") << "the selection stays";

    // With match case only the exact spelling; up from the selection's start.
    ASSERT_TRUE(f.Edit.SearchText(u"Brief", {SearchMatchCase}));
    EXPECT_EQ(f.Selection(), "0:5-0:10");
    EXPECT_FALSE(f.Edit.SearchText(u"Brief", {SearchMatchCase}));

    // Up from the middle of a word: the occurrence that ends before the caret, not the word.
    f.Edit.SetSelection({1, 27}, {1, 27});
    ASSERT_TRUE(f.Edit.SearchText(u"Brief", {SearchMatchCase}));
    EXPECT_EQ(f.Selection(), "0:5-0:10");

    // Nothing to find: empty text, a line break in it.
    EXPECT_FALSE(f.Edit.SearchText(u"", Down));
    EXPECT_FALSE(f.Edit.SearchText(u"Brief\r\nEin", Down));
    EXPECT_FALSE(f.Edit.SearchText(u"an\nden", Up));
    EXPECT_EQ(f.Selection(), "0:5-0:10");
}

TEST(Search, WholeWordsEndAtDelimitersAndMatchesStayInOneItem)
{
    EditFixture f;
    f.Edit.Delimiters = MainWindowDelimiters;
    const int bold = f.AddTextStyle();
    f.Text("Hausmeister Haus-Nummer");
    f.Text("Ha");
    f.Text("us", bold, -1);
    f.Format();
    f.Edit.SetSelection({0, 1}, {0, 1});
    ASSERT_TRUE(f.Edit.SearchText(u"Haus", {SearchDown, SearchWholeWord}));
    EXPECT_EQ(f.Selection(), "0:13-0:17") << "the hyphen ends the word; Hausmeister does not count";
    EXPECT_FALSE(f.Edit.SearchText(u"Haus", {SearchDown, SearchWholeWord})) << "a word split over two items";
    f.Edit.SetSelection({0, 1}, {0, 1});
    ASSERT_TRUE(f.Edit.SearchText(u"Haus", Down));
    EXPECT_EQ(f.Selection(), "0:1-0:5");
}

TEST(Search, EightBitAndUnicodeTextAreComparedInUtf16)
{
    EditFixture f;
    const int unicode = f.AddTextStyle();
    f.Sheet.TextStyles[unicode].Unicode = true;
    f.Text("Gr\xFC\xDF" "e aus K\xF6ln"); // code page 1252
    f.Data.AppendTextW(u"Привет из Москвы", unicode, 0);
    f.Format();
    f.Edit.SetSelection({0, 1}, {0, 1});
    ASSERT_TRUE(f.Edit.SearchText(u"köln", Down));
    EXPECT_EQ(f.Selection(), "0:11-0:15");
    ASSERT_TRUE(f.Edit.SearchText(u"МОСКВЫ", Down));
    EXPECT_EQ(f.Selection(), "1:11-1:17");
    EXPECT_EQ(f.Edit.SelectedText(), u"Москвы");
    // The sharp s has no upper case of one letter: it is found as it is.
    f.Edit.SetSelection({0, 1}, {0, 1});
    ASSERT_TRUE(f.Edit.SearchText(u"GRÜß", Down));
    EXPECT_EQ(f.Selection(), "0:1-0:5");
}

TEST(Search, TablesAreSearchedCellByCellAndAMatchEditsItsCell)
{
    EditFixture f(300, 300);
    f.Text("vor 11");
    TRVTableItemInfo* t = AppendNamedTable(f.Data, 2, 2);
    f.Text("nach 11 und 01");
    f.Data.AppendItem("", std::make_unique<TRVTabItemInfo>());
    f.Format();
    f.Edit.SetSelection({0, 1}, {0, 1});
    // "11" before the table, then in cell (1, 1), edited with the match selected.
    ASSERT_TRUE(f.Edit.SearchText(u"11", Down));
    EXPECT_EQ(f.Selection(), "0:5-0:7");
    ASSERT_TRUE(f.Edit.SearchText(u"11", Down));
    TCustomDocViewEdit* cell = f.Edit.CellEditor();
    ASSERT_TRUE(cell);
    EXPECT_EQ(static_cast<TRVTableInplaceEdit*>(cell)->Row() * 10 + static_cast<TRVTableInplaceEdit*>(cell)->Col(), 11);
    EXPECT_EQ(cell->SelectedText(), u"11");
    EXPECT_EQ(f.Edit.SelectedText(), u"11") << "the window reads the innermost editor's selection";
    // On out of the table into the text after it; the cell editor ends.
    ASSERT_TRUE(f.Edit.SearchText(u"11", Down));
    EXPECT_EQ(f.Edit.CellEditor(), nullptr);
    EXPECT_EQ(f.Selection(), "2:6-2:8");
    // Up again: back through the cells, the last one first.
    ASSERT_TRUE(f.Edit.SearchText(u"01", Up));
    ASSERT_TRUE(f.Edit.CellEditor());
    EXPECT_EQ(static_cast<TRVTableInplaceEdit*>(f.Edit.CellEditor())->Col(), 1);
    EXPECT_EQ(static_cast<TRVTableInplaceEdit*>(f.Edit.CellEditor())->Row(), 0);
    ASSERT_TRUE(f.Edit.SearchText(u"00", Up));
    EXPECT_EQ(static_cast<TRVTableInplaceEdit*>(f.Edit.CellEditor())->Col(), 0) << "cell (0, 0), before (0, 1)";
    EXPECT_FALSE(f.Edit.SearchText(u"00", Up)) << "nothing before the table";
    EXPECT_TRUE(t->CheckGrid());
    // A tab item matches a search for one tab.
    f.Edit.SetSelection({2, 1}, {2, 1});
    ASSERT_TRUE(f.Edit.SearchText(u"\t", Down));
    EXPECT_EQ(f.Selection(), "3:0-3:1");
}

TEST(Search, ReplaceTakesOnlyTheExactTextAndReplaceAllIsOneUndoStep)
{
    EditFixture f(300, 300);
    f.Text("Brief an BRIEF, Briefe");
    TRVTableItemInfo* t = AppendNamedTable(f.Data, 2, 2);
    f.Text("noch ein Brief");
    f.Format();
    f.Edit.SetSelection({0, 1}, {0, 1});
    // Found without match case, "BRIEF" is not the text asked for: Replace leaves it.
    ASSERT_TRUE(f.Edit.SearchText(u"Brief", Down));
    ASSERT_TRUE(f.Edit.SearchText(u"Brief", Down));
    EXPECT_EQ(f.Edit.SelectedText(), u"BRIEF");
    EXPECT_FALSE(f.Edit.ReplaceSelection(u"Brief", u"Karte"));
    EXPECT_EQ(f.Data.TextAt(0), "Brief an BRIEF, Briefe");

    // Replace all from the start: every occurrence, whatever its case, in the cells too, and a
    // replacement that holds the search text is not searched again.
    const std::string before = f.Rvf();
    f.Edit.SetSelection({0, 1}, {0, 1});
    EXPECT_EQ(f.Edit.ReplaceAll(u"Brief", u"BriefBrief", Down), 4);
    EXPECT_EQ(f.Data.TextAt(0), "BriefBrief an BriefBrief, BriefBriefe");
    EXPECT_EQ(f.Data.TextAt(2), "noch ein BriefBrief");
    f.ExpectOneStep(before, rvutInsert);

    // A letter by itself twice, in a cell: the run ends and counts, one Undo takes it back.
    f.Edit.SetSelection({0, 1}, {0, 1});
    const std::string again = f.Rvf();
    EXPECT_EQ(f.Edit.ReplaceAll(u"1", u"11", {SearchDown, SearchMatchCase}), 4);
    EXPECT_EQ(ContentText(*t->Cells(1, 1)), "1111");
    EXPECT_EQ(ContentText(*t->Cells(0, 1)), "011");
    EXPECT_EQ(f.Edit.CellEditor(), nullptr) << "the last cell's change is part of the step";
    f.Edit.Undo();
    EXPECT_EQ(f.Rvf(), again);
    EXPECT_TRUE(t->CheckGrid());

    // An empty replacement deletes; an occurrence the selection is starts the count.
    f.Edit.SetSelection({0, 1}, {0, 11});
    EXPECT_EQ(f.Edit.ReplaceAll(u"BriefBrief", u"", {SearchDown, SearchMatchCase}), 4);
    EXPECT_EQ(f.Data.TextAt(0), " an , e");
}

} // namespace xq::test

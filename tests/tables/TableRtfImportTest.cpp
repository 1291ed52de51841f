// Tables read from RTF: the column grid from the cell edges, merged cells, the program's own
// widths, averaged padding and spacing, border colours, "\lastrow", nested and damaged tables,
// and tables written by our own writer read back.
#include <gtest/gtest.h>

#include "document/RVStyle.h"
#include "formats/rtf/RtfImport.h"
#include "formats/rtf/RtfWriter.h"
#include "tables/TableItem.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

class TableRtfImportTest : public ::testing::Test {
protected:
    TableRtfImportTest()
    {
        while (Sheet.TextStyles.Count() > 1)
            Sheet.TextStyles.Delete(Sheet.TextStyles.Count() - 1);
        while (Sheet.ParaStyles.Count() > 1)
            Sheet.ParaStyles.Delete(Sheet.ParaStyles.Count() - 1);
        SetMainWindowRtfReadProperties(Props);
    }

    int Read(const std::string& body)
    {
        return Props.ReadRtfStreamIntoDocument("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + body + "}", Doc);
    }
    /// The tables of the document, in order.
    std::vector<const TRVTableItemInfo*> Tables(const TCustomRVData& data) const
    {
        std::vector<const TRVTableItemInfo*> tables;
        for (int i = 0; i < data.Count(); ++i)
            if (data.StyleOf(i) == rvsTable)
                tables.push_back(static_cast<const TRVTableItemInfo*>(&data.ItemAt(i)));
        return tables;
    }
    const TRVTableItemInfo& OnlyTable()
    {
        const auto tables = Tables(Doc);
        EXPECT_EQ(tables.size(), 1u) << ContentText(Doc);
        static const TRVTableItemInfo none;
        return tables.empty() ? none : *tables.front();
    }
    static std::string Cell(const TRVTableItemInfo& table, int r, int c)
    {
        const TRVTableCellData* cell = table.Cells(r, c);
        return cell ? ContentText(*cell) : "(covered)";
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    TRVRTFReaderProperties Props;
};

constexpr const char* Row2 = "\\trowd\\trgaph108\\trleft0\\cellx2000\\cellx4000";

TEST_F(TableRtfImportTest, RowsAndCellsBecomeAGridBetweenParagraphs)
{
    ASSERT_EQ(Read(std::string("vor\\par") + Row2 + "\\pard\\intbl a\\cell b\\cell\\row" + Row2 +
                   "\\pard\\intbl c\\cell d\\cell\\row\\pard nach\\par"),
              0);
    ASSERT_EQ(Doc.Count(), 3) << ContentText(Doc);
    EXPECT_EQ(Doc.TextAt(0), "vor");
    EXPECT_EQ(Doc.TextAt(2), "nach");
    const TRVTableItemInfo& table = OnlyTable();
    ASSERT_EQ(table.RowCount(), 2);
    ASSERT_EQ(table.ColCount(), 2);
    EXPECT_EQ(Cell(table, 0, 0), "a");
    EXPECT_EQ(Cell(table, 0, 1), "b");
    EXPECT_EQ(Cell(table, 1, 0), "c");
    EXPECT_EQ(Cell(table, 1, 1), "d");
    EXPECT_TRUE(table.CheckGrid());
    // Widths from the edges less the padding of 108 twips (7 pixels) on each side.
    EXPECT_EQ(table.CellHPadding, 7);
    EXPECT_EQ(table.Cells(0, 0)->BestWidth, 133 - 14);
    EXPECT_EQ(table.Cells(0, 1)->BestWidth, 133 - 14);
}

TEST_F(TableRtfImportTest, AnEdgeOneTwipAwayKeepsTheGridAndTwoTwipsSplitAColumn)
{
    ASSERT_EQ(Read(std::string(Row2) + "\\pard\\intbl a\\cell b\\cell\\row"
                                       "\\trowd\\trleft0\\cellx1999\\cellx4000\\pard\\intbl c\\cell d\\cell\\row"),
              0);
    EXPECT_EQ(OnlyTable().ColCount(), 2);
    Doc.Clear();
    ASSERT_EQ(Read(std::string(Row2) + "\\pard\\intbl a\\cell b\\cell\\row"
                                       "\\trowd\\trleft0\\cellx2001\\cellx4000\\pard\\intbl c\\cell d\\cell\\row"),
              0);
    EXPECT_EQ(OnlyTable().ColCount(), 2);

    Doc.Clear();
    ASSERT_EQ(Read(std::string(Row2) + "\\pard\\intbl a\\cell b\\cell\\row"
                                       "\\trowd\\trleft0\\cellx2002\\cellx4000\\pard\\intbl c\\cell d\\cell\\row"),
              0);
    const TRVTableItemInfo& table = OnlyTable();
    ASSERT_EQ(table.ColCount(), 3);
    EXPECT_EQ(table.Cells(0, 0)->ColSpan(), 1);
    EXPECT_EQ(table.Cells(0, 1)->ColSpan(), 2); // "b" spans the split
    EXPECT_EQ(table.Cells(1, 0)->ColSpan(), 2); // "c" reaches the new edge
    EXPECT_EQ(Cell(table, 1, 2), "d");
    EXPECT_TRUE(table.CheckGrid());
}

TEST_F(TableRtfImportTest, VerticalAndHorizontalMerges)
{
    ASSERT_EQ(Read("\\trowd\\clvmgf\\cellx2000\\cellx4000\\pard\\intbl oben\\cell b\\cell\\row"
                   "\\trowd\\clvmrg\\cellx2000\\cellx4000\\pard\\intbl \\cell d\\cell\\row"
                   "\\trowd\\clmgf\\cellx2000\\clmrg\\cellx4000\\pard\\intbl breit\\cell\\cell\\row"),
              0);
    const TRVTableItemInfo& table = OnlyTable();
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Cells(0, 0)->RowSpan(), 2);
    EXPECT_EQ(Cell(table, 0, 0), "oben");
    EXPECT_EQ(Cell(table, 1, 0), "(covered)");
    EXPECT_EQ(Cell(table, 1, 1), "d");
    EXPECT_EQ(table.Cells(2, 0)->ColSpan(), 2);
    EXPECT_EQ(Cell(table, 2, 0), "breit");
    EXPECT_TRUE(table.CheckGrid());
}

TEST_F(TableRtfImportTest, MergesWithoutAPartnerAndFallingEdgesAreOrdinaryCells)
{
    ASSERT_EQ(Read("\\trowd\\clvmrg\\cellx3000\\clmrg\\cellx1000\\cellx500\\pard\\intbl a\\cell b\\cell c\\cell\\row"), 0);
    const TRVTableItemInfo& table = OnlyTable();
    EXPECT_TRUE(table.CheckGrid());
    // Nothing is lost: "b" joins "a", and the falling edges still give a cell for "c".
    std::string all;
    for (int c = 0; c < table.ColCount(); ++c)
        if (table.Cells(0, c))
            all += Cell(table, 0, c) + ";";
    EXPECT_EQ(all, "a|b;c;");
}

TEST_F(TableRtfImportTest, OwnRowsKeepTheirPixelWidthsAndHeights)
{
    ASSERT_EQ(Read("\\trowd\\trgaph30\\trpaddl15\\trpaddr15\\trpaddfl3\\trpaddfr3\\docviewtbw300"
                   "\\docviewcbw120\\docviewcbh40\\cellx2000\\docviewcbw-50\\docviewcbh0\\cellx4000"
                   "\\pard\\intbl a\\cell b\\cell\\row"),
              0);
    const TRVTableItemInfo& table = OnlyTable();
    EXPECT_EQ(table.BestWidth, 300);
    EXPECT_EQ(table.Cells(0, 0)->BestWidth, 120);
    EXPECT_EQ(table.Cells(0, 0)->BestHeight, 40);
    EXPECT_EQ(table.Cells(0, 1)->BestWidth, -50);
    EXPECT_EQ(table.CellHPadding, 1);
}

TEST_F(TableRtfImportTest, UniformBorderColoursGiveColourBorders)
{
    const std::string side = "\\brdrs\\brdrw15\\brdrcf1";
    const std::string row = "\\trowd\\trbrdrl" + side + "\\trbrdrt" + side + "\\trbrdrr" + side + "\\trbrdrb" + side +
                            "\\clbrdrl" + side + "\\clbrdrr" + side + "\\cellx2000\\pard\\intbl x\\cell\\row";
    ASSERT_EQ(Props.ReadRtfStreamIntoDocument("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}" + row + row + "}", Doc), 0);
    const TRVTableItemInfo& table = OnlyTable();
    EXPECT_EQ(table.BorderStyle, rvtbColor);
    EXPECT_EQ(table.BorderColor, clRed);
    EXPECT_EQ(table.CellBorderStyle, rvtbColor);
    EXPECT_EQ(table.CellBorderColor, clRed);
    EXPECT_EQ(table.BorderWidth, 0) << "same as the cell borders without spacing: drawn once";
    EXPECT_EQ(table.CellBorderWidth, 1);
    EXPECT_EQ(table.Cells(0, 0)->VisibleBorders, (TRVBooleanRect{true, false, true, false}));
}

TEST_F(TableRtfImportTest, LastRowFollowedByAnotherRowGivesTwoTables)
{
    ASSERT_EQ(Read("\\trowd\\lastrow\\cellx2000\\pard\\intbl eins\\cell\\row"
                   "\\trowd\\cellx3000\\cellx6000\\pard\\intbl zwei\\cell drei\\cell\\row"),
              0);
    const auto tables = Tables(Doc);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(Cell(*tables[0], 0, 0), "eins");
    ASSERT_EQ(tables[1]->ColCount(), 2);
    EXPECT_EQ(Cell(*tables[1], 0, 0), "zwei");
    EXPECT_EQ(Cell(*tables[1], 0, 1), "drei");
}

TEST_F(TableRtfImportTest, APageBreakBetweenTwoTablesStartsThePageWithTheSecond)
{
    // As the writer puts it: the second table's "\\page" comes after the first one's last row.
    ASSERT_EQ(Read("\\trowd\\lastrow\\cellx2000\\pard\\intbl eins\\cell\\row\r\n\\page "
                   "\\trowd\\lastrow\\cellx3000\\pard\\intbl zwei\\cell\\row\r\n\\pard danach\\par"),
              0);
    const auto tables = Tables(Doc);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_FALSE(tables[0]->NewPageBefore());
    EXPECT_TRUE(tables[1]->NewPageBefore());
    EXPECT_FALSE(tables[1]->Cells(0, 0)->ItemAt(0).NewPageBefore()) << "no page break inside the cell";
    EXPECT_EQ(Cell(*tables[1], 0, 0), "zwei");
    EXPECT_FALSE(Doc.ItemAt(Doc.Count() - 1).NewPageBefore());
}

TEST_F(TableRtfImportTest, ThreeLevelsOfNesting)
{
    const std::string inner = "\\pard\\intbl\\itap3 tief\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}";
    const std::string middle = "\\pard\\intbl\\itap2 mitte\\nestcell" + inner +
                               "\\pard\\intbl\\itap2 \\nestcell{\\*\\nesttableprops\\trowd\\cellx1500\\cellx3000\\nestrow}";
    ASSERT_EQ(Read("\\trowd\\cellx4000\\pard\\intbl aussen\\par" + middle + "\\pard\\intbl\\itap1 \\cell\\row"), 0);
    const TRVTableItemInfo& outer = OnlyTable();
    ASSERT_EQ(outer.RowCount(), 1);
    const TRVTableCellData& cell = *outer.Cells(0, 0);
    const auto level2 = Tables(cell);
    ASSERT_EQ(level2.size(), 1u) << ContentText(cell);
    EXPECT_EQ(Cell(*level2[0], 0, 0), "mitte");
    const auto level3 = Tables(*level2[0]->Cells(0, 1));
    ASSERT_EQ(level3.size(), 1u) << ContentText(*level2[0]->Cells(0, 1));
    EXPECT_EQ(Cell(*level3[0], 0, 0), "tief");
}

TEST_F(TableRtfImportTest, DamagedTablesLoseNoText)
{
    // Cells that no row closes: their text stays, in order, as paragraphs.
    ASSERT_EQ(Read("vor\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl eins\\cell zwei\\cell drei"), 0);
    EXPECT_TRUE(Tables(Doc).empty());
    EXPECT_EQ(ContentText(Doc), "vor|eins|zwei|drei");

    // A complete row, then a row that never ends.
    Doc.Clear();
    ASSERT_EQ(Read("\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\trowd\\cellx1000\\pard\\intbl b\\cell c"), 0);
    ASSERT_EQ(Tables(Doc).size(), 1u);
    EXPECT_NE(ContentText(Doc).find("b|c"), std::string::npos) << ContentText(Doc);
}

TEST_F(TableRtfImportTest, OurOwnTablesComeBackWithTheirLook)
{
    TRVStyle sheet;
    TCustomRVData source(&sheet);
    auto made = NamedTable(3, 3, &source);
    made->MergeCells(0, 0, 2, 1);
    made->MergeCells(1, 2, 1, 2);
    made->BestWidth = 400;
    made->CellHPadding = 4;
    made->CellVPadding = 2;
    made->CellHSpacing = 6;
    made->CellVSpacing = 4;
    made->BorderVSpacing = 2;
    made->Cells(1, 0)->Color = clYellow;
    made->Cells(2, 1)->BestWidth = 150;
    made->Cells(2, 1)->VAlign = rvcBottom;
    made->HeadingRowCount = 1;
    source.AppendText("davor", 0, 0);
    source.AppendItem({}, std::move(made));
    std::string rtf;
    TRVRTFWriteSettings settings(RTFMainWindowOptions);
    ASSERT_TRUE(WriteRtfDocument(source, settings, rtf));

    ASSERT_EQ(Props.ReadRtfStreamIntoDocument(rtf, Doc), 0);
    const TRVTableItemInfo& table = OnlyTable();
    ASSERT_EQ(table.RowCount(), 3);
    ASSERT_EQ(table.ColCount(), 3);
    EXPECT_EQ(table.Cells(0, 0)->ColSpan(), 2);
    EXPECT_EQ(table.Cells(1, 2)->RowSpan(), 2);
    EXPECT_EQ(Cell(table, 0, 0), "00|01");
    EXPECT_EQ(Cell(table, 1, 2), "12|22");
    EXPECT_EQ(Cell(table, 2, 1), "21");
    EXPECT_EQ(table.BestWidth, 400);
    EXPECT_EQ(table.CellHPadding, 4);
    EXPECT_EQ(table.CellVPadding, 2);
    EXPECT_EQ(table.CellHSpacing, 6);
    EXPECT_EQ(table.CellVSpacing, 4);
    EXPECT_EQ(table.BorderVSpacing, 2);
    EXPECT_EQ(table.HeadingRowCount, 1);
    EXPECT_EQ(table.Cells(1, 0)->Color, clYellow);
    EXPECT_EQ(table.Cells(2, 1)->BestWidth, 150);
    EXPECT_EQ(table.Cells(2, 1)->VAlign, rvcBottom);
    EXPECT_TRUE(table.CheckGrid());
}

} // namespace
} // namespace xq::test

// The print component on the test canvas: page geometry, pagination rules, tables across pages,
// footnotes and endnotes, printing order with copies, and page painting.
//
// The test printer's page is 600 x 300 pixels at 96 dpi without margins, so a page holds 20 lines
// of Arial 10 (15 pixels each) of a container without margins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "document/DocumentInfo.h"
#include "document/ItemInfo.h"
#include "layout/LayoutTestSupport.h"
#include "lists/ListItems.h"
#include "platform/DocViewError.h"
#include "printing/Print.h"
#include "support/TestPrinter.h"
#include "tables/TableItem.h"

namespace xq::test {
namespace {

class PrintTest : public ::testing::Test {
protected:
    PrintTest()
    {
        Print.LeftMarginMM = Print.RightMarginMM = Print.TopMarginMM = Print.BottomMarginMM = 0;
        Print.SetPrinter(&Printer);
    }

    /// count one-line paragraphs "Absatz 0", "Absatz 1", ...
    void Lines(int count, int paraNo = 0)
    {
        for (int i = 0; i < count; ++i)
            Doc.Text("Absatz " + std::to_string(Doc.Data.Count()), 0, paraNo);
    }

    int Paginate()
    {
        Doc.Format();
        Print.UseDocumentOf(Doc.Data);
        return Print.PaginateDocument();
    }

    /// The item each page starts with.
    std::vector<int> PageStarts() const
    {
        std::vector<int> starts;
        for (const TRVPageInfo& page : Print.Pages())
            starts.push_back(Print.PrintLayout()->DrawItems()[page.StartDrawItemNo].ItemNo);
        return starts;
    }

    /// The texts drawn on a printed page inside the clip of the moment, in order.
    std::vector<std::string> Texts(std::size_t page) const
    {
        std::vector<std::string> texts;
        bool clipped = false;
        TRect clip;
        for (const std::string& op : Printer.PageOps(page)) {
            if (op == "clip none") {
                clipped = false;
            } else if (op.rfind("clip ", 0) == 0) {
                clipped = std::sscanf(op.c_str(), "clip %d,%d,%d,%d", &clip.Left, &clip.Top, &clip.Right,
                                      &clip.Bottom) == 4;
            } else if (op.rfind("text ", 0) == 0) {
                TPoint at;
                if (std::sscanf(op.c_str(), "text %d,%d", &at.X, &at.Y) != 2)
                    continue;
                if (clipped && (at.Y < clip.Top || at.Y >= clip.Bottom))
                    continue;
                const auto open = op.find('\''), close = op.rfind('\'');
                texts.push_back(op.substr(open + 1, close - open - 1));
            }
        }
        return texts;
    }

    LayoutFixture Doc{600};
    TTestPrinter Printer;
    TRVPrint Print;
};

TEST_F(PrintTest, GeometryFollowsTheMarginsAndThePrintersBorder)
{
    // A4 at 600 dpi with a quarter inch the printer cannot reach on every side.
    TTestPrinter a4(4961, 7016, 600, 150);
    Print.SetPrinter(&a4);
    Print.LeftMarginMM = 20;
    Print.RightMarginMM = 10;
    Print.TopMarginMM = 20;
    Print.BottomMarginMM = 20;
    Lines(1);
    ASSERT_EQ(Paginate(), 1);
    // 20 mm are 472 pixels at 600 dpi, 10 mm 236; the border counts against them.
    EXPECT_EQ(Print.PrintLeft, 472 - 150);
    EXPECT_EQ(Print.PrintRight, 236 - 150);
    EXPECT_EQ(Print.PrintTop, 472 - 150);
    EXPECT_EQ(Print.MirroredLeft, 236 - 150);
    EXPECT_EQ(Print.TextAreaWidth(), 4661 - 322 - 86);
    EXPECT_EQ(Print.UnprintableMargins(false), (TRect{150, 150, 150, 150}));
    EXPECT_EQ(Print.UnprintableMargins(true), (TRect{24, 24, 24, 24}));

    // A margin inside the border moves the text, which keeps its width.
    Print.LeftMarginMM = 5; // 118 pixels
    Paginate();
    EXPECT_EQ(Print.PrintLeft, 0);
    EXPECT_EQ(Print.PrintRight, 86 - 32);
    EXPECT_EQ(Print.TextAreaWidth(), 4661 - 54);
    Print.FixMarginsMode = rvfmmIgnore;
    Paginate();
    EXPECT_EQ(Print.PrintLeft, -32);
    EXPECT_EQ(Print.PrintRight, 86);
}

TEST_F(PrintTest, MirroredMarginsExchangeLeftAndRightOnEvenPages)
{
    TTestPrinter a4(794, 1123, 96, 0); // A4 at 96 dpi
    Print.SetPrinter(&a4);
    Print.LeftMarginMM = 20;
    Print.RightMarginMM = 10;
    Print.MirrorMargins = true;
    Lines(1);
    Paginate();
    EXPECT_EQ(Print.PrintAreaRect(1).Left, 76);  // 20 mm
    EXPECT_EQ(Print.PrintAreaRect(2).Left, 38);  // 10 mm from the left edge on even pages
    EXPECT_EQ(Print.PrintAreaRect(3).Left, 76);
    EXPECT_EQ(Print.PrintAreaRect(2).Width(), Print.PrintAreaRect(1).Width());

    // The margins rectangle maps the text area of that page into the rectangle given.
    TTestCanvas canvas;
    Print.DrawMarginsRect(canvas, TRect{0, 0, 794, 1123}, 2, TCanvasPen{clBlack, 1, psSolid});
    ASSERT_EQ(canvas.Ops().size(), 1u);
    EXPECT_EQ(canvas.Ops()[0].rfind("rect 38,", 0), 0u) << canvas.Ops()[0];
}

TEST_F(PrintTest, PagesTakeTheLinesThatFit)
{
    Lines(45);
    ASSERT_EQ(Paginate(), 3);
    EXPECT_EQ(PageStarts(), (std::vector<int>{0, 20, 40}));
    EXPECT_EQ(Print.Pages()[1].StartY, 300);

    // The editor shows where the pages start.
    EXPECT_TRUE(Print.AssignSoftPageBreaks(Doc.Data));
    ASSERT_EQ(Doc.Data.SoftPageBreaks().size(), 2u);
    EXPECT_EQ(Doc.Data.SoftPageBreaks()[0].ItemNo, 20);
    EXPECT_EQ(Doc.Data.SoftPageBreaks()[1].ItemNo, 40);

    // The space after a paragraph counts in the fit test: the 20th line no longer fits.
    Doc.Sheet.ParaStyles[0].SpaceAfter = 1;
    Doc.Data.StyleSheetChanged();
    Paginate();
    EXPECT_EQ(PageStarts()[1], 18) << "19 lines of 16 and the 15 of the next one exceed 300";
}

TEST_F(PrintTest, PageBreakBeforeStartsANewPageButNeverAnEmptyOne)
{
    Lines(10);
    Doc.Data.ItemAt(0).SetNewPageBefore(true); // the very first item: no empty page in front
    Doc.Data.ItemAt(4).SetNewPageBefore(true);
    Doc.Data.ItemAt(5).SetNewPageBefore(true);
    ASSERT_EQ(Paginate(), 3);
    EXPECT_EQ(PageStarts(), (std::vector<int>{0, 4, 5}));
}

TEST_F(PrintTest, KeepRulesMoveTheBreakBack)
{
    // A heading kept with the next paragraph stands last on page 1: both go to page 2.
    const int heading = Doc.AddParaStyle();
    Doc.Sheet.ParaStyles[heading].Options.Include(rvpaoKeepWithNext);
    Lines(19);
    Doc.Text("Überschrift", 0, heading);
    Lines(5);
    ASSERT_EQ(Paginate(), 2);
    EXPECT_EQ(PageStarts()[1], 19);

    // A paragraph whose lines keep together moves as a whole: three lines from line 19 on.
    LayoutFixture narrow(100);
    const int together = narrow.AddParaStyle();
    narrow.Sheet.ParaStyles[together].Options.Include(rvpaoKeepLinesTogether);
    for (int i = 0; i < 18; ++i)
        narrow.Text("Zeile");
    narrow.Text("eins zwei drei vier fuenf sechs sieben acht neun zehn elf zwoelf", 0, together);
    narrow.Text("Ende");
    narrow.Format();
    ASSERT_EQ(narrow.Data.DrawItems()[18].ItemNo, 18);
    ASSERT_EQ(narrow.Data.DrawItems()[20].ItemNo, 18) << "the long paragraph takes lines 19 to 21 at least";
    Print.UseDocumentOf(narrow.Data);
    ASSERT_EQ(Print.PaginateDocument(), 2);
    EXPECT_EQ(Print.PrintLayout()->DrawItems()[Print.Pages()[1].StartDrawItemNo].ItemNo, 18);

    // Everything kept with its next: the rules cannot leave page 1 empty, the line start wins.
    Doc.Data.Clear();
    for (int i = 0; i < 25; ++i)
        Doc.Text("Kette " + std::to_string(i), 0, heading);
    ASSERT_EQ(Paginate(), 2);
    EXPECT_EQ(PageStarts()[1], 20);
}

TEST_F(PrintTest, ALineTallerThanThePageGetsAPageOfItsOwn)
{
    const int huge = Doc.AddTextStyle();
    Doc.Sheet.TextStyles[huge].Size = 400; // far more than the 300 pixels of a page
    Lines(3);
    Doc.Text("i", huge, 0); // 160 pixels wide, 639 high
    Lines(3);
    ASSERT_EQ(Paginate(), 3);
    EXPECT_EQ(PageStarts(), (std::vector<int>{0, 3, 4}));
    const TRVPageInfo& tall = Print.Pages()[1];
    EXPECT_EQ(tall.EndY - tall.StartY, 300 - Doc.Data.TopMargin - Doc.Data.BottomMargin) << "cut by the page edge";
}

TEST_F(PrintTest, TablesBreakBetweenRowsAndRepeatTheirHeadings)
{
    Lines(2);
    auto owned = std::make_unique<TRVTableItemInfo>(40, 1, &Doc.Data);
    TRVTableItemInfo& table = *owned;
    table.HeadingRowCount = 1;
    table.Cells(0, 0)->SetText(0, "Kopf");
    for (int r = 1; r < 40; ++r)
        table.Cells(r, 0)->SetText(0, "Reihe " + std::to_string(r));
    Doc.Data.AppendItem("TAB", std::move(owned));
    Lines(1);
    const int pages = Paginate();
    ASSERT_GE(pages, 3);

    const int tableDrawItem = Print.PrintLayout()->FirstLinePiece(2);
    const TRVPageInfo& second = Print.Pages()[1];
    EXPECT_EQ(second.StartDrawItemNo, tableDrawItem);
    EXPECT_GT(second.SplitOffset, 0);
    EXPECT_GT(second.HeadingHeight, 0);
    EXPECT_EQ(second.HeadingDrawItemNo, tableDrawItem);
    EXPECT_EQ(Print.Pages()[0].HeadingHeight, 0) << "the table starts on page 1 with its own heading";

    // Page 2 shows the heading again, then the rows that follow the last row of page 1.
    ASSERT_TRUE(Print.PrintAll("XQEditor", 1, false));
    const std::vector<std::string> first = Texts(0), next = Texts(1);
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(next.front(), "Kopf");
    const auto lastRow = std::find_if(first.rbegin(), first.rend(), [](const std::string& t) { return t.rfind("Reihe", 0) == 0; });
    ASSERT_NE(lastRow, first.rend());
    const int lastOnFirst = std::stoi(lastRow->substr(6));
    const auto firstRow = std::find_if(next.begin(), next.end(), [](const std::string& t) { return t.rfind("Reihe", 0) == 0; });
    ASSERT_NE(firstRow, next.end());
    EXPECT_EQ(std::stoi(firstRow->substr(6)), lastOnFirst + 1);

    // The soft page break of page 2 lies inside the table.
    Print.AssignSoftPageBreaks(Doc.Data);
    ASSERT_FALSE(Doc.Data.SoftPageBreaks().empty());
    EXPECT_EQ(Doc.Data.SoftPageBreaks()[0].ItemNo, 2);
    EXPECT_EQ(Doc.Data.SoftPageBreaks()[0].ExtraData, second.SplitOffset);
}

TEST_F(PrintTest, ATallRowIsCutBetweenTheLinesOfItsCells)
{
    auto owned = std::make_unique<TRVTableItemInfo>(1, 1, &Doc.Data);
    TRVTableCellData& cell = *owned->Cells(0, 0);
    cell.SetText(0, "Zeile 0");
    for (int i = 1; i < 50; ++i)
        cell.AppendText("Zeile " + std::to_string(i), 0, 0);
    Doc.Data.AppendItem("TAB", std::move(owned));
    const int pages = Paginate();
    ASSERT_GE(pages, 3);
    // Each cut falls between two lines: the content starts below the cell's padding and border,
    // and every line is 15 high.
    const auto& rows = Print.Pages();
    for (std::size_t p = 1; p < rows.size(); ++p) {
        const std::int32_t intoContent = rows[p].StartY - rows[0].StartY;
        EXPECT_GT(rows[p].StartY, rows[p - 1].StartY);
        EXPECT_EQ((intoContent - rows[1].StartY) % 15, 0) << "page " << p + 1;
        EXPECT_EQ(rows[p].StartPart, int(p) + 1);
    }

    // Without row splitting the one row cannot break: it is cut by the page edge.
    Doc.Data.Clear();
    auto whole = std::make_unique<TRVTableItemInfo>(1, 1, &Doc.Data);
    whole->PrintOptions = TRVTablePrintOptions{};
    whole->Cells(0, 0)->SetText(0, "x");
    for (int i = 1; i < 50; ++i)
        whole->Cells(0, 0)->AppendText("x", 0, 0);
    Doc.Data.AppendItem("TAB", std::move(whole));
    EXPECT_EQ(Paginate(), 1);
}

TEST_F(PrintTest, FootnotesTakeTheirRoomFromThePageOfTheirReference)
{
    Lines(5);
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    note->NoteText().AppendText("Fussnote eins", 0, 0);
    note->NoteText().AppendText("Fussnote zwei", 0, 0);
    Doc.Data.AppendItem("", std::move(note));
    Lines(30);
    ASSERT_EQ(Paginate(), 2);
    const TRVPageInfo& first = Print.Pages()[0];
    ASSERT_EQ(first.Footnotes.size(), 1u);
    EXPECT_EQ(first.FootnotesHeight, 30 + 15) << "two lines and the separator";
    EXPECT_TRUE(Print.Pages()[1].Footnotes.empty());
    // Page 1 holds 300 - 45 pixels of text: 17 lines.
    EXPECT_EQ(PageStarts()[1], 17);

    ASSERT_TRUE(Print.PrintAll("XQEditor", 1, false));
    const std::vector<std::string> texts = Texts(0);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Fussnote zwei"), texts.end());
    EXPECT_EQ(std::count_if(Printer.PageOps(0).begin(), Printer.PageOps(0).end(),
                            [](const std::string& op) { return op.find("#808080") != std::string::npos; }),
              1)
        << "one grey separator";
}

TEST_F(PrintTest, EndnotesFollowTheDocument)
{
    Lines(3);
    auto note = std::make_unique<TRVEndnoteItemInfo>();
    note->NoteText().AppendText("Endnote", 0, 0);
    Doc.Data.AppendItem("", std::move(note));
    ASSERT_EQ(Paginate(), 1) << "room is left on the last page";
    ASSERT_EQ(Print.Pages()[0].Slices.size(), 2u);
    EXPECT_TRUE(Print.Pages()[0].Slices[1].Endnotes);

    Lines(16); // the last page is full now
    ASSERT_EQ(Paginate(), 2);
    EXPECT_TRUE(Print.Pages()[1].Slices[0].Endnotes);
    ASSERT_TRUE(Print.PrintAll("XQEditor", 1, false));
    const std::vector<std::string> texts = Texts(1);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Endnote"), texts.end());
}

TEST_F(PrintTest, CopiesAreSentInTheOrderCollationAsks)
{
    Lines(80); // four pages
    ASSERT_EQ(Paginate(), 4);
    std::vector<int> sent;
    Print.OnSendingToPrinter = [&](TCustomRVPrint&, int page, int step) {
        if (step == 1)
            sent.push_back(page);
    };
    ASSERT_TRUE(Print.PrintPageRange(2, 3, "XQEditor", 2, false));
    EXPECT_EQ(sent, (std::vector<int>{2, 2, 3, 3}));
    EXPECT_EQ(Printer.Pages.size(), 4u);
    EXPECT_EQ(Printer.Title, "XQEditor");

    sent.clear();
    ASSERT_TRUE(Print.PrintPageRange(2, 3, "XQEditor", 2, true));
    EXPECT_EQ(sent, (std::vector<int>{2, 3, 2, 3}));

    // A printer that collates copies itself gets every page once and the copy count.
    sent.clear();
    Printer.MakesCopies = true;
    Printer.CopiesSet.clear();
    ASSERT_TRUE(Print.PrintPageRange(2, 3, "XQEditor", 2, true));
    EXPECT_EQ(sent, (std::vector<int>{2, 3}));
    EXPECT_EQ(Printer.CopiesSet, (std::vector<int>{2, 1})) << "and its copy count is restored";

    // Nothing happens for an empty range; a page that does not exist is refused.
    EXPECT_FALSE(Print.PrintPageRange(3, 2, "XQEditor", 1, false));
    TTestCanvas canvas;
    try {
        Print.PaintPage(5, canvas, false, false);
        FAIL() << "page 5 of 4 painted";
    } catch (const EDocViewError& error) {
        EXPECT_STREQ(error.what(), "Invalid page number is specified for printing");
    }
    Printer.FailBegin = true;
    EXPECT_FALSE(Print.PrintAll("XQEditor", 1, false));
}

TEST_F(PrintTest, PrintingLeavesTheEditorAsItWasAndBreaksItsLinesAlike)
{
    // At 600 dpi, with the editor's own margins: the printer's lines are the editor's lines.
    TTestPrinter a4(4961, 7016, 600, 100);
    Print.SetPrinter(&a4);
    Doc.Data.LeftMargin = 5;
    Doc.Data.RightMargin = 10;
    Doc.Data.TopMargin = Doc.Data.BottomMargin = 5;
    for (int i = 0; i < 300; ++i)
        Doc.Text("Der schnelle braune Fuchs springt ueber den faulen Hund, Absatz " + std::to_string(i) +
                 (i % 3 ? " mit etwas mehr Text, damit er umbricht und weiter laeuft." : ""));
    Doc.Format();
    const std::string before = DrawDump(Doc.Data);
    Print.UseDocumentOf(Doc.Data);
    ASSERT_GT(Print.PaginateDocument(), 3);
    EXPECT_EQ(DrawDump(*Print.PrintLayout()), before);
    ASSERT_TRUE(Print.PrintAll("XQEditor", 1, false));
    EXPECT_EQ(DrawDump(Doc.Data), before);
    EXPECT_EQ(a4.Pages.size(), std::size_t(Print.PageCount()));
}

TEST_F(PrintTest, PagesHaveABackgroundAndThePageEventsTheirRectangles)
{
    TTestPrinter a4(794, 1123, 96, 10);
    Print.SetPrinter(&a4);
    Print.LeftMarginMM = Print.RightMarginMM = Print.TopMarginMM = Print.BottomMarginMM = 20;
    Lines(3);
    TRVDocumentInfo info;
    info.BackgroundColor = 0x00FF00;
    Doc.Format();
    Print.UseDocumentOf(Doc.Data, &info);
    ASSERT_EQ(Print.PaginateDocument(), 1);

    TRect pageRect, areaRect;
    std::vector<std::string> events;
    Print.OnPagePrepaint = [&](TCustomRVPrint&, int pageNo, TCanvas&, bool preview, const TRect& page, const TRect& area) {
        events.push_back("pre " + std::to_string(pageNo) + (preview ? " preview" : ""));
        pageRect = page;
        areaRect = area;
    };
    Print.OnPagePostpaint = [&](TCustomRVPrint&, int pageNo, TCanvas&, bool, const TRect&, const TRect&) {
        events.push_back("post " + std::to_string(pageNo));
    };
    TTestCanvas canvas;
    Print.PaintPage(1, canvas, true, true);
    EXPECT_EQ(events, (std::vector<std::string>{"pre 1 preview", "post 1"}));
    EXPECT_EQ(pageRect, (TRect{0, 0, 774, 1103})) << "the printable area";
    EXPECT_EQ(areaRect, (TRect{66, 66, 708, 1037})) << "20 mm from the paper's edge";
    ASSERT_FALSE(canvas.Ops().empty());
    EXPECT_EQ(canvas.Ops()[0], "fill 0,0,774,1103 #00FF00");

    Print.ColorMode = rvcmBlackOnWhite;
    canvas.ClearOps();
    Print.PaintPage(1, canvas, false, false);
    EXPECT_EQ(canvas.Ops()[0], "fill 0,0,774,1103 #FFFFFF");
    Print.TransparentBackground = true;
    canvas.ClearOps();
    Print.PaintPage(1, canvas, false, false);
    EXPECT_EQ(canvas.Ops()[0].rfind("fill", 0), std::string::npos);
}

TEST_F(PrintTest, ColourModes)
{
    EXPECT_EQ(PrintColor(clBtnFace, rvcmPrinterColor), clSilver);
    EXPECT_EQ(PrintColor(clScrollBar, rvcmPrinterColor), clSilver);
    EXPECT_EQ(PrintColor(clWindow, rvcmPrinterColor), clWhite);
    EXPECT_EQ(PrintColor(clBtnHighlight, rvcmPrinterColor), clWhite);
    EXPECT_EQ(PrintColor(clWindowText, rvcmPrinterColor), clBlack);
    EXPECT_EQ(PrintColor(clBtnShadow, rvcmPrinterColor), clGray);
    EXPECT_EQ(PrintColor(clRed, rvcmPrinterColor), clRed);
    EXPECT_EQ(PrintColor(clBtnFace, rvcmColor), clBtnFace);
    // 0.3 red + 0.59 green + 0.11 blue: red 255 is 77 (76.5 rounded), white stays 255.
    EXPECT_EQ(PrintColor(clRed, rvcmGrayScale), 0x4D4D4Du);
    EXPECT_EQ(PrintColor(clWhite, rvcmGrayScale), clWhite);
    EXPECT_EQ(PrintColor(clWindowText, rvcmGrayScale), clBlack);
    EXPECT_EQ(PrintColor(clNone, rvcmGrayScale), clNone);
}

TEST_F(PrintTest, NothingToPaginateAndTheFormatCounter)
{
    EXPECT_EQ(Paginate(), 0) << "a document without items has no pages";
    EXPECT_TRUE(Print.Paginated());
    EXPECT_TRUE(Print.PrinterAvailable());
    const int counter = Print.FormatCounter();
    Print.PaginateDocument();
    EXPECT_EQ(Print.FormatCounter(), (counter + 1) % 10000);
    for (int i = 0; i < 10000; ++i)
        Print.PaginateDocument();
    EXPECT_EQ(Print.FormatCounter(), (counter + 1) % 10000) << "it counts to 9999 and starts again";

    Print.SetPrinter(nullptr);
    Lines(3);
    EXPECT_EQ(Paginate(), 0);
    EXPECT_FALSE(Print.PrinterAvailable());
}

TEST_F(PrintTest, AbsurdPrintersAndMarginsStillPaginate)
{
    Lines(200);
    for (const TPrinterPageMetrics& m : {
             TPrinterPageMetrics{0, 0, 0, 0, 0, 0, 0, 0},
             TPrinterPageMetrics{-5, -5, -96, -96, -10, -10, -100, -100},
             TPrinterPageMetrics{1 << 30, 1 << 30, 1 << 30, 1 << 30, 1 << 30, 1 << 30, 0x7FFFFFFF, 0x7FFFFFFF},
             TPrinterPageMetrics{10, 10, 96, 96, 0, 0, 10, 10},
         }) {
        TTestPrinter odd;
        odd.Metrics = m;
        Print.SetPrinter(&odd);
        for (int margin : {0, 100, 1000}) {
            Print.LeftMarginMM = Print.RightMarginMM = Print.TopMarginMM = Print.BottomMarginMM = margin;
            const int pages = Paginate();
            EXPECT_GE(pages, 1);
            EXPECT_LE(pages, 200) << "every page takes at least one line";
        }
    }
}

} // namespace
} // namespace xq::test

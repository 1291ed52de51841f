// Tests of page setup without a window: header and footer codes, the paper code table, the 27
// property lines written and read (on the same printer, another one, none, and damaged), the RTF
// margins, the dialog's fields, and header and footer drawn on the test canvas.
#include "printing/PageSettings.h"

#include "layout/LayoutTestSupport.h"
#include "support/TestPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace xq {
namespace {

using test::TTestPrinter;

/// Printer A with A4, Letter and A5 (paper numbers 9, 1, 11), set to A4 portrait.
void MakeOfficePrinter(TTestPrinter& printer)
{
    printer.PrinterName = "Drucker A";
    printer.Settings.Papers = {{"A4", 9}, {"Letter", 1}, {"A5", 11}};
    printer.Settings.PaperNumber = 9;
    printer.Settings.PaperSizeSet = true;
    printer.Settings.Orientation = 0;
}

void SetMargins(TRVPrint& print, int left, int right, int top, int bottom, int headerY, int footerY, bool mirror)
{
    print.LeftMarginMM = left;
    print.RightMarginMM = right;
    print.TopMarginMM = top;
    print.BottomMarginMM = bottom;
    print.HeaderYMM = headerY;
    print.FooterYMM = footerY;
    print.MirrorMargins = mirror;
}

constexpr TLocalDateTime SetTime{2026, 3, 7, 9, 5};
const TClock SetClock = [] { return SetTime; };

std::string Expand(std::string_view text, int page, int pages = 3, int first = 1)
{
    return ExpandHeaderFooterCodes(text, page, pages, first, SetClock);
}

// --- Codes ---------------------------------------------------------------------------------------

TEST(HeaderFooterCodes, PageNumbersCountFromTheFirstPageNumber)
{
    EXPECT_EQ(Expand("- &p -", 1, 3, 5), "- 5 -");
    EXPECT_EQ(Expand("- &p -", 2, 3, 5), "- 6 -");
    EXPECT_EQ(Expand("Seite &p von &P", 2, 3), "Seite 2 von 3");
    EXPECT_EQ(Expand("&p", 1, 1, 0), "0");
    EXPECT_EQ(Expand("&p/&P", 10, 12), "10/12");
    // Far beyond 32 bits the number is still written whole.
    EXPECT_EQ(Expand("&p", 2'147'483'647, 1, 10'000), "2147493646");
}

TEST(HeaderFooterCodes, AmpersandsAndUnknownCodesStayAsTheyAre)
{
    EXPECT_EQ(Expand("A && B", 1), "A & B");
    EXPECT_EQ(Expand("&&p", 1), "&p") << "the second ampersand belongs to the first";
    EXPECT_EQ(Expand("&&&p", 4), "&4");
    EXPECT_EQ(Expand("50 &% Rabatt", 1), "50 &% Rabatt");
    EXPECT_EQ(Expand("&x&p", 2), "&x2");
    EXPECT_EQ(Expand("Seite &p.", 3), "Seite 3.");
    EXPECT_EQ(Expand("Ende &", 1), "Ende &");
    EXPECT_EQ(Expand("&", 1), "&");
    EXPECT_EQ(Expand("x", 1), "x");
    EXPECT_EQ(Expand("", 1), "");
    EXPECT_EQ(Expand("&D &T", 1), "&D &T") << "the codes are case-sensitive";
    EXPECT_EQ(Expand("Gr\xC3\xBC\xC3\x9F" "e &p", 2), "Gr\xC3\xBC\xC3\x9F" "e 2");
}

TEST(HeaderFooterCodes, DateAndTimeInGermanShortForms)
{
    EXPECT_EQ(Expand("- &d -", 1), "- 07.03.2026 -");
    EXPECT_EQ(Expand("&t Uhr", 1), "09:05 Uhr");
    EXPECT_EQ(Expand("&d&t", 1), "07.03.202609:05");
    // A clock out of its ranges keeps the fields' widths.
    const TClock wild = [] { return TLocalDateTime{123456, 99, -4, 77, -1}; };
    EXPECT_EQ(ExpandHeaderFooterCodes("&d &t", 1, 1, 1, wild), "01.12.9999 23:00");
    // The system clock gives a date of the same form.
    const std::string today = ExpandHeaderFooterCodes("&d", 1, 1, 1);
    ASSERT_EQ(today.size(), 10u);
    EXPECT_EQ(today[2], '.');
    EXPECT_EQ(today[5], '.');
}

// --- Paper codes ---------------------------------------------------------------------------------

TEST(PaperCodes, TheTableInBothDirections)
{
    EXPECT_EQ(PaperCodeOfPaperNumber(1), 1);
    EXPECT_EQ(PaperCodeOfPaperNumber(5), 2);
    EXPECT_EQ(PaperCodeOfPaperNumber(9), 3);
    EXPECT_EQ(PaperCodeOfPaperNumber(24), 4);
    EXPECT_EQ(PaperCodeOfPaperNumber(26), 6);
    EXPECT_EQ(PaperCodeOfPaperNumber(2), 7);
    EXPECT_EQ(PaperCodeOfPaperNumber(4), 9);
    EXPECT_EQ(PaperCodeOfPaperNumber(6), 10);
    EXPECT_EQ(PaperCodeOfPaperNumber(8), 12);
    EXPECT_EQ(PaperCodeOfPaperNumber(10), 13);
    EXPECT_EQ(PaperCodeOfPaperNumber(11), 14);
    EXPECT_EQ(PaperCodeOfPaperNumber(23), 26);
    EXPECT_EQ(PaperCodeOfPaperNumber(27), 27);
    EXPECT_EQ(PaperCodeOfPaperNumber(41), 41);
    EXPECT_EQ(PaperCodeOfPaperNumber(256), 0);
    for (int unknown : {0, -1, 42, 255, 257, 100000})
        EXPECT_FALSE(PaperCodeOfPaperNumber(unknown)) << unknown;

    std::vector<bool> codes(42, false);
    for (int number = 1; number <= 41; ++number) {
        const std::optional<int> code = PaperCodeOfPaperNumber(number);
        ASSERT_TRUE(code && *code >= 1 && *code <= 41) << number;
        EXPECT_FALSE(codes[*code]) << "two numbers share code " << *code;
        codes[*code] = true;
        EXPECT_EQ(PaperNumberOfPaperCode(*code), number);
    }
    EXPECT_FALSE(PaperNumberOfPaperCode(0)) << "a size of one's own leaves the paper";
    EXPECT_FALSE(PaperNumberOfPaperCode(42));
    EXPECT_FALSE(PaperNumberOfPaperCode(-3));
}

TEST(PageSettingsText, CutKeepsWholeCharacters)
{
    EXPECT_EQ(CutUtf8("abc", 2), "ab");
    EXPECT_EQ(CutUtf8("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
    EXPECT_EQ(CutUtf8("\xC3\xA4", 5), "\xC3\xA4");
    EXPECT_EQ(CutUtf8("abc", 0), "");
    EXPECT_EQ(PageSetupCaptionFor("HP LaserJet"), " Seite einrichten [HP LaserJet]");
}

// --- Property lines ---------------------------------------------------------------------------------

/// A page setup on a print component and state of its own, with a printer or none.
struct TSetup {
    explicit TSetup(TRVPrinter* printer = nullptr) : Setup(State, Print, printer)
    {
        TakePrinterSnapshot(State, printer);
        Setup.Initialize();
        Setup.OnModifiedAndReformat = [this] { ++Modified; };
    }
    TPageState State;
    TRVPrint Print;
    TPageSetup Setup;
    int Modified = 0;
};

/// Distinct values in every field the lines carry.
void FillDistinct(TSetup& s)
{
    TPageState& st = s.State;
    st.Header = {{"Times New Roman", 12, 0x00FF0000, {fsBold, fsUnderline}, 0}, "Kopf &d", hfaLeft, false};
    st.Footer = {{"Courier New", 9, clWindowText, {fsItalic, fsStrikeOut}, 1}, "Seite &p von &P", hfaRight, true};
    st.FirstPageNumber = 7;
    st.PaperIndex = 2;
    st.TextWidth = 555;
    st.Orientation = 1;
    st.PaperCode = 14;
    SetMargins(s.Print, 21, 22, 23, 24, 11, 12, true);
}

const std::vector<std::string> DistinctLines = {
    "Drucker A", "Kopf &d", "Seite &p von &P", "7", "left", "right", "printfirstpageHNo", "printfirstpageF",
    "21", "22", "23", "24", "12", "11", "mirrorT",
    "Times New Roman", "12", "16711680", "5",
    "Courier New", "9", "-2147483640", "10",
    "2", "555", "1", "14"};

TEST(PageSettingsLines, TheTwentySevenLinesInTheirOrder)
{
    TTestPrinter printer;
    MakeOfficePrinter(printer);
    TSetup s(&printer);
    FillDistinct(s);
    std::vector<std::string> lines{"old", "lines"};
    s.Setup.WritePageSettings(lines);
    EXPECT_EQ(lines, DistinctLines);

    // The defaults: centred lines on the first page too, no mirroring, the system text colour.
    TSetup plain;
    plain.Setup.ResetPageSettings();
    plain.Setup.WritePageSettings(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"", "", "", "1", "center", "center", "printfirstpageH",
                                               "printfirstpageF", "10", "10", "10", "20", "10", "10", "mirrorFF",
                                               "Arial", "10", "-2147483640", "0", "Arial", "10", "-2147483640",
                                               "0", "-1", "0", "0", "3"}));
}

TEST(PageSettingsLines, TextsTravelInCodePage1252)
{
    TSetup s;
    s.State.Header.Text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"; // "Grüße €"
    std::vector<std::string> lines;
    s.Setup.WritePageSettings(lines);
    EXPECT_EQ(lines[1], "Gr\xFC\xDF" "e \x80");

    TSetup t;
    t.Setup.ReadPageSettings(lines);
    EXPECT_EQ(t.State.Header.Text, s.State.Header.Text);
}

TEST(PageSettingsLines, ReadBackOnTheSamePrinterFieldByField)
{
    TTestPrinter printer;
    MakeOfficePrinter(printer);
    TSetup s(&printer);
    s.Setup.ReadPageSettings(DistinctLines);

    const TPageState& st = s.State;
    EXPECT_EQ(st.Header.Text, "Kopf &d");
    EXPECT_EQ(st.Footer.Text, "Seite &p von &P");
    EXPECT_EQ(st.FirstPageNumber, 7);
    EXPECT_EQ(st.Header.Alignment, hfaLeft);
    EXPECT_EQ(st.Footer.Alignment, hfaRight);
    EXPECT_FALSE(st.Header.PrintOnFirstPage);
    EXPECT_TRUE(st.Footer.PrintOnFirstPage);
    EXPECT_EQ(s.Print.LeftMarginMM, 21);
    EXPECT_EQ(s.Print.RightMarginMM, 22);
    EXPECT_EQ(s.Print.TopMarginMM, 23);
    EXPECT_EQ(s.Print.BottomMarginMM, 24);
    EXPECT_EQ(s.Print.FooterYMM, 12);
    EXPECT_EQ(s.Print.HeaderYMM, 11);
    EXPECT_TRUE(s.Print.MirrorMargins);
    EXPECT_EQ(st.Header.Font, (THFFont{"Times New Roman", 12, 0x00FF0000, {fsBold, fsUnderline}, DEFAULT_CHARSET}));
    EXPECT_EQ(st.Footer.Font, (THFFont{"Courier New", 9, clWindowText, {fsItalic, fsStrikeOut}, DEFAULT_CHARSET}));
    EXPECT_EQ(st.HeaderFontCopy, st.Header.Font);
    EXPECT_EQ(st.FooterFontCopy, st.Footer.Font);
    // On the same printer the paper is the list's entry 2 (A5), landscape.
    EXPECT_EQ(st.PaperIndex, 2);
    EXPECT_EQ(st.Orientation, 1);
    EXPECT_EQ(st.TextWidth, 555) << "no editor asked for its width";
    ASSERT_GT(printer.Applied, 0);
    EXPECT_EQ(printer.Settings.PaperNumber, 11);
    EXPECT_TRUE(printer.Settings.PaperSizeSet);
    EXPECT_EQ(printer.Settings.Orientation, 1);
    EXPECT_EQ(st.PaperCode, 14);
    // The dialog shows what was read; loading is no change of the user's.
    EXPECT_EQ(s.Setup.Fields.LeftText, "21");
    EXPECT_EQ(s.Setup.Fields.HeaderText, "Kopf &d");
    EXPECT_EQ(s.Setup.Fields.HeaderBoxFont.Size, 8);
    EXPECT_EQ(s.Setup.Fields.HeaderBoxFont.Name, "Times New Roman");
    EXPECT_EQ(s.Setup.Fields.PaperSelected, 2);
    EXPECT_EQ(s.Modified, 0);

    // Written again, the lines are the same.
    std::vector<std::string> again;
    s.Setup.WritePageSettings(again);
    EXPECT_EQ(again, DistinctLines);
}

TEST(PageSettingsLines, AnotherPrinterTakesThePaperFromItsCode)
{
    // Printer B lists its papers in another order; its default is A4, entry 2.
    TTestPrinter printer;
    printer.PrinterName = "Drucker B";
    printer.Settings.Papers = {{"Letter", 1}, {"A5", 11}, {"A4", 9}};
    printer.Settings.PaperNumber = 9;
    printer.Settings.PaperSizeSet = true;
    TSetup s(&printer);
    ASSERT_EQ(s.State.DefaultPaperIndex, 2);

    std::vector<std::string> lines = DistinctLines; // saved on A with entry 2 and code 14 (A5)
    s.Setup.ReadPageSettings(lines);
    EXPECT_EQ(printer.Settings.PaperNumber, 11);
    EXPECT_EQ(s.State.PaperIndex, 1) << "the entry of A5 in B's list";
    EXPECT_EQ(s.State.PaperCode, 14);
    EXPECT_EQ(s.Setup.Fields.PaperSelected, 1);

    // A damaged code, and the code of a size of one's own, are read as A4.
    for (const char* code : {"Papier", "0", "77"}) {
        lines[26] = code;
        printer.Settings.PaperNumber = 11;
        s.Setup.ReadPageSettings(lines);
        EXPECT_EQ(printer.Settings.PaperNumber, 9) << code;
        EXPECT_EQ(s.State.PaperIndex, 2) << code;
    }
    // Applied with that code, the printer's paper stays.
    s.State.PaperCode = 0;
    s.Setup.Apply(true);
    EXPECT_EQ(printer.Settings.PaperNumber, 9);
}

TEST(PageSettingsLines, AnEmptyPrinterNameRestoresThePrinterOfProgramStart)
{
    TTestPrinter printer;
    MakeOfficePrinter(printer);
    TSetup s(&printer);
    const TPrinterDeviceSettings atStart = printer.Settings;
    s.State.TextWidth = 400;
    printer.ApplyDeviceSettings({1, true, 1, atStart.Papers, false}); // Letter landscape since

    std::vector<std::string> lines = DistinctLines;
    lines[0].clear();
    s.Setup.ReadPageSettings(lines);
    EXPECT_EQ(printer.Settings.PaperNumber, atStart.PaperNumber);
    EXPECT_EQ(printer.Settings.Orientation, atStart.Orientation);
    EXPECT_EQ(s.State.PaperIndex, s.State.DefaultPaperIndex);
    EXPECT_EQ(s.State.Orientation, s.State.DefaultOrientation);
    EXPECT_EQ(s.State.TextWidth, 400) << "the width of a document without settings is not taken";
    // The rest of the lines still counts.
    EXPECT_EQ(s.Print.LeftMarginMM, 21);
    EXPECT_EQ(s.State.Header.Text, "Kopf &d");
    EXPECT_EQ(s.Setup.Fields.LeftText, "21");
}

TEST(PageSettingsLines, AnEmptyListResetsTheSettings)
{
    TTestPrinter printer;
    MakeOfficePrinter(printer);
    TSetup s(&printer);
    s.Setup.ReadPageSettings(DistinctLines);
    printer.Applied = 0;

    s.Setup.ReadPageSettings({});
    EXPECT_TRUE(s.State.Header.Text.empty());
    EXPECT_TRUE(s.State.Footer.Text.empty());
    EXPECT_EQ(s.State.FirstPageNumber, 1);
    EXPECT_EQ(s.State.Header, THFInfo{});
    EXPECT_EQ(s.State.Footer, THFInfo{});
    EXPECT_EQ(s.State.HeaderFontCopy, THFFont{});
    EXPECT_EQ(s.Print.LeftMarginMM, 10);
    EXPECT_EQ(s.Print.RightMarginMM, 10);
    EXPECT_EQ(s.Print.TopMarginMM, 10);
    EXPECT_EQ(s.Print.BottomMarginMM, 20);
    EXPECT_FALSE(s.Print.MirrorMargins);
    EXPECT_EQ(s.State.Orientation, 0);
    ASSERT_EQ(printer.Applied, 1) << "the snapshot goes back to the printer";
    EXPECT_EQ(printer.Settings.PaperNumber, 9);
    EXPECT_EQ(printer.Settings.Orientation, 0);
    EXPECT_EQ(s.Setup.Fields.BottomText, "20");
    EXPECT_EQ(s.Setup.Fields.PaperSelected, 0);
}

TEST(PageSettingsLines, ShortListsLeaveTheLaterValues)
{
    TSetup s;
    FillDistinct(s);
    s.Setup.ReadPageSettings({"", "Neu", "Fuss"});
    EXPECT_EQ(s.State.Header.Text, "Neu");
    EXPECT_EQ(s.State.Footer.Text, "Fuss");
    EXPECT_EQ(s.State.FirstPageNumber, 7);
    EXPECT_EQ(s.Print.LeftMarginMM, 21);
    EXPECT_EQ(s.State.Header.Font.Name, "Times New Roman");
    EXPECT_EQ(s.State.PaperCode, 14);

    // Lines after the 27th are not read.
    std::vector<std::string> many = DistinctLines;
    many.resize(100, "999");
    TSetup t;
    t.Setup.ReadPageSettings(many);
    EXPECT_EQ(t.State.PaperCode, 14);
    EXPECT_EQ(t.Print.LeftMarginMM, 21);
}

TEST(PageSettingsLines, DamagedValuesFallBackOrAreIgnored)
{
    TSetup s;
    SetMargins(s.Print, 15, 16, 17, 18, 9, 8, false);
    std::vector<std::string> lines = DistinctLines;
    lines[0].clear();
    lines[3] = "20000";
    lines[4] = "middle";
    lines[8] = "5000";
    lines[9] = "-3";
    lines[10] = "abc";
    lines[11] = "";
    lines[12] = "12.5";
    lines[13] = "99999999999999999999";
    lines[16] = "999999";
    lines[17] = "4294967295";
    lines[18] = "99";
    lines[20] = "0";
    lines[21] = "rot";
    lines[22] = "-1";
    lines[24] = "2000000000";
    lines[25] = "7";
    s.Setup.ReadPageSettings(lines);
    EXPECT_EQ(s.State.FirstPageNumber, 1);
    EXPECT_EQ(s.State.Header.Alignment, hfaCenter) << "an unknown word leaves the alignment";
    EXPECT_EQ(s.Print.LeftMarginMM, 15);
    EXPECT_EQ(s.Print.RightMarginMM, 16);
    EXPECT_EQ(s.Print.TopMarginMM, 17);
    EXPECT_EQ(s.Print.BottomMarginMM, 18);
    EXPECT_EQ(s.Print.HeaderYMM, 9);
    EXPECT_EQ(s.Print.FooterYMM, 8);
    EXPECT_EQ(s.State.Header.Font.Size, 10);
    EXPECT_EQ(s.State.Header.Font.Color, clWindowText);
    EXPECT_TRUE(s.State.Header.Font.Style.Empty());
    EXPECT_EQ(s.State.Footer.Font.Size, 10);
    EXPECT_EQ(s.State.Footer.Font.Color, clWindowText);
    EXPECT_TRUE(s.State.Footer.Font.Style.Empty());
    EXPECT_EQ(s.State.Orientation, s.State.DefaultOrientation);

    // On the same printer a damaged width is 0, a damaged orientation the default.
    lines[0] = "";
    TSetup t;
    t.State.TextWidth = 300;
    t.Setup.ReadPageSettings(lines);
    EXPECT_EQ(t.State.TextWidth, 0);
    EXPECT_EQ(t.State.Orientation, 0);
    lines[3] = "0";
    lines[24] = "-5";
    t.Setup.ReadPageSettings(lines);
    EXPECT_EQ(t.State.FirstPageNumber, 0);
    EXPECT_EQ(t.State.TextWidth, 0);
}

TEST(PageSettingsLines, LongTextsAreCut)
{
    std::vector<std::string> lines = DistinctLines;
    lines[1] = std::string(1'000'000, 'x');
    lines[15] = std::string(5'000, 'F');
    TSetup s;
    s.Setup.ReadPageSettings(lines);
    EXPECT_EQ(s.State.Header.Text.size(), MaxStoredLineText);
    EXPECT_EQ(s.State.Header.Font.Name.size(), MaxStoredFontName);
}

TEST(PageSettingsLines, AnyBytesGiveValuesInRange)
{
    std::mt19937 random(2026);
    const std::vector<std::string> pieces = {"", "0", "-1", "101", "1638", "1639", "10000", "10001", "left",
                                             "mirrorT", "printfirstpageH", "abc", "\xFF\x01", " 5 ", "+5",
                                             "2147483648", "-2147483649", "0x10"};
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines(random() % 40);
        for (std::string& line : lines)
            line = pieces[random() % pieces.size()];
        TTestPrinter printer;
        MakeOfficePrinter(printer);
        TSetup s(&printer);
        ASSERT_NO_THROW(s.Setup.ReadPageSettings(lines));
        for (int mm : {s.Print.LeftMarginMM, s.Print.RightMarginMM, s.Print.TopMarginMM,
                       s.Print.BottomMarginMM, s.Print.HeaderYMM, s.Print.FooterYMM}) {
            EXPECT_GE(mm, 0);
            EXPECT_LE(mm, MaxMarginMM);
        }
        EXPECT_GE(s.State.FirstPageNumber, 0);
        EXPECT_LE(s.State.FirstPageNumber, MaxFirstPageNumber);
        for (int size : {s.State.Header.Font.Size, s.State.Footer.Font.Size}) {
            EXPECT_GE(size, MinHeaderFontSize);
            EXPECT_LE(size, MaxHeaderFontSize);
        }
        EXPECT_GE(s.State.TextWidth, 0);
        EXPECT_LE(s.State.TextWidth, MaxStoredTextWidth);
        EXPECT_TRUE(s.State.Orientation == 0 || s.State.Orientation == 1);
        EXPECT_GE(s.State.PaperCode, 1);
        EXPECT_LE(s.State.PaperCode, 41);
        EXPECT_GE(s.State.PaperIndex, -1);
        EXPECT_LT(s.State.PaperIndex, 3);
        EXPECT_EQ(s.Modified, 0);
    }
}

TEST(PageSettingsLines, WithoutAPrinterThePaperValuesStillTravel)
{
    TSetup s;
    std::vector<std::string> lines = DistinctLines;
    lines[0].clear(); // the same printer: none
    s.Setup.ReadPageSettings(lines);
    EXPECT_EQ(s.State.PaperCode, 14);
    EXPECT_EQ(s.State.Orientation, 1);
    EXPECT_EQ(s.State.PaperIndex, -1) << "no list, so no entry";
    EXPECT_EQ(s.Print.LeftMarginMM, 21);
}

// --- The dialog's fields -------------------------------------------------------------------------------

TEST(PageSetupFields, OkAppliesTheFieldsAndMarksTheDocumentModified)
{
    TTestPrinter printer;
    MakeOfficePrinter(printer);
    TSetup s(&printer);
    int widthAsked = 0;
    s.Setup.OnTextWidth = [&] { return ++widthAsked, 612; };
    TPageSetupFields& f = s.Setup.Fields;
    EXPECT_EQ(f.PaperSelected, 0);
    f.LeftText = "25";
    f.RightText = "250";  // beyond the box's range
    f.TopText = "";       // no number: the margin stays
    f.BottomText = "-4";
    f.Mirror = true;
    f.Orientation = 1;
    f.PaperSelected = 2;
    f.HeaderText = "Kopf";
    f.HeaderAlignment = hfaRight;
    f.HeaderOnFirstPage = false;
    f.FirstPageNumber = 50'000;
    s.Setup.Apply(false);

    EXPECT_EQ(s.Print.LeftMarginMM, 25);
    EXPECT_EQ(s.Print.RightMarginMM, 100);
    EXPECT_EQ(s.Print.TopMarginMM, 20);
    EXPECT_EQ(s.Print.BottomMarginMM, 0);
    EXPECT_TRUE(s.Print.MirrorMargins);
    EXPECT_EQ(printer.Settings.PaperNumber, 11);
    EXPECT_EQ(printer.Settings.Orientation, 1);
    EXPECT_EQ(s.State.PaperCode, 14);
    EXPECT_EQ(s.State.PaperIndex, 2);
    EXPECT_EQ(s.State.Orientation, 1);
    EXPECT_EQ(s.State.Header.Text, "Kopf");
    EXPECT_EQ(s.State.Header.Alignment, hfaRight);
    EXPECT_FALSE(s.State.Header.PrintOnFirstPage);
    EXPECT_EQ(s.State.FirstPageNumber, MaxFirstPageNumber);
    EXPECT_EQ(widthAsked, 1);
    EXPECT_EQ(s.State.TextWidth, 612);
    EXPECT_EQ(s.Modified, 1);
}

TEST(PageSetupFields, AChosenFontReachesTheRecordOnlyOnOk)
{
    TSetup s;
    const THFFont chosen{"Verdana", 14, clRed, {fsBold}, 0};
    s.Setup.ChooseHeaderFont(chosen);
    EXPECT_EQ(s.Setup.Fields.HeaderBoxFont.Name, "Verdana");
    EXPECT_EQ(s.Setup.Fields.HeaderBoxFont.Size, 8);
    EXPECT_EQ(s.State.Header.Font, THFFont{}) << "cancel keeps the header's font";
    s.Setup.Apply(false);
    EXPECT_EQ(s.State.Header.Font, chosen);
    EXPECT_EQ(s.State.Footer.Font, THFFont{});
}

TEST(PageSetupFields, APrinterWithoutSettingsIsLeftAlone)
{
    TTestPrinter printer;
    printer.HasSettings = false;
    TSetup s(&printer);
    EXPECT_TRUE(s.Setup.Fields.Papers.empty());
    EXPECT_EQ(s.State.DefaultPaperIndex, -1);
    s.Setup.Fields.LeftText = "30";
    s.Setup.Apply(true);
    s.Setup.ResetPageSettings();
    EXPECT_EQ(printer.Applied, 0);
    EXPECT_EQ(s.Setup.Fields.LeftText, "10") << "the fields follow the reset without a printer too";
}

TEST(PageSetupFields, PaperNamesAreCutForTheList)
{
    TTestPrinter printer;
    printer.Settings.Papers = {{std::string(100, 'P'), 9}};
    printer.Settings.PaperSizeSet = false;
    TSetup s(&printer);
    ASSERT_EQ(s.Setup.Fields.Papers.size(), 1u);
    EXPECT_EQ(s.Setup.Fields.Papers[0].Name.size(), MaxPaperNameLength);
    EXPECT_EQ(s.Setup.Fields.PaperSelected, -1) << "no size stated, no entry chosen";
    EXPECT_EQ(s.State.PaperCode, 3);

    TPageState named;
    TTestPrinter longName;
    longName.PrinterName = std::string(200, 'N');
    TakePrinterSnapshot(named, &longName);
    EXPECT_EQ(named.PrinterName.size(), MaxPrinterNameLength);
}

// --- RTF -----------------------------------------------------------------------------------------

TEST(PageSettingsRtf, TheMarginsInTwipsInTheHeaderOnly)
{
    EXPECT_EQ(RtfMarginsText(20, 25, 20, 20), "\\margl1134\\margt1417\\margr1134\\margb1134");
    EXPECT_EQ(RtfMarginsText(0, 10, 100, 1), "\\margl0\\margt567\\margr5669\\margb57");

    TRVPrint print;
    TRVRTFWriteSettings settings;
    InstallRtfMarginsExtra(settings, print);
    print.TopMarginMM = 25; // read when the RTF is written
    std::string code;
    settings.OnSaveRTFExtra(rtfsaDocHeader, nullptr, -1, -1, false, code);
    EXPECT_EQ(code, "\\margl1134\\margt1417\\margr1134\\margb1134");
    for (TRVRTFSaveArea other : {rtfsaTextStyle, rtfsaParaStyle, rtfsaCell, rtfsaRow}) {
        code.clear();
        settings.OnSaveRTFExtra(other, nullptr, 0, 0, true, code);
        EXPECT_TRUE(code.empty()) << int(other);
    }
}

// --- Drawing -------------------------------------------------------------------------------------

std::vector<std::string> TextOps(const TTestCanvas& canvas)
{
    std::vector<std::string> texts;
    for (const std::string& op : canvas.Ops())
        if (op.rfind("text ", 0) == 0)
            texts.push_back(op);
    return texts;
}

TEST(HeaderFooterDrawing, AboveAndBelowThePrintAreaByAlignment)
{
    TPageState state;
    state.Header.Text = "Kopf";
    state.Header.Alignment = hfaLeft;
    state.Footer.Text = "- &p -";
    state.FirstPageNumber = 5;
    const TRect area{100, 200, 700, 1000};
    TTestCanvas canvas;
    // Arial 10 pt at 96 dpi: em 13, height 15; a twentieth of an inch is 4 pixels.
    // "Kopf" is 9 + 6 + 6 + 6 = 27 wide, "- 6 -" 6 + 3 + 6 + 3 + 6 = 24.
    DrawHeaderAndFooter(state, canvas, 2, 3, area, SetClock);
    EXPECT_EQ(TextOps(canvas), (std::vector<std::string>{"text 100,181 'Kopf' #000000",
                                                         "text 388,1004 '- 6 -' #000000"}));

    canvas.ClearOps();
    state.Header.Alignment = hfaRight;
    state.Footer.Alignment = hfaLeft;
    state.Footer.Font.Color = clRed;
    DrawHeaderAndFooter(state, canvas, 2, 3, area, SetClock);
    EXPECT_EQ(TextOps(canvas), (std::vector<std::string>{"text 673,181 'Kopf' #000000",
                                                         "text 100,1004 '- 6 -' #FF0000"}));
}

TEST(HeaderFooterDrawing, FirstPageAndEmptyLines)
{
    TPageState state;
    state.Header.Text = "Kopf";
    state.Header.PrintOnFirstPage = false;
    state.Footer.Text = "&p";
    const TRect area{0, 100, 600, 900};
    TTestCanvas canvas;
    DrawHeaderAndFooter(state, canvas, 1, 2, area);
    ASSERT_EQ(TextOps(canvas).size(), 1u);
    EXPECT_NE(TextOps(canvas)[0].find("'1'"), std::string::npos) << "only the footer on page 1";
    canvas.ClearOps();
    DrawHeaderAndFooter(state, canvas, 2, 2, area);
    EXPECT_EQ(TextOps(canvas).size(), 2u);

    canvas.ClearOps();
    state.Header.Text.clear();
    state.Footer.Text.clear();
    DrawHeaderAndFooter(state, canvas, 2, 2, area);
    EXPECT_TRUE(TextOps(canvas).empty());
}

TEST(HeaderFooterDrawing, TheFontAtTheCanvasResolution)
{
    TPageState state;
    state.Header.Text = "K";
    state.Header.Alignment = hfaLeft;
    state.Header.Font = {"Arial", 10, clBlack, {fsBold}, 0};
    TTestCanvas printer(600, 600);
    // 10 pt at 600 dpi: em 83, height 99; the gap is 30 pixels.
    DrawHeaderAndFooter(state, printer, 1, 1, {500, 1000, 4000, 6000});
    EXPECT_EQ(printer.Ops(), (std::vector<std::string>{"font Arial 83px bold", "text 500,871 'K' #000000"}));

    // A size beyond any font's is held at the largest.
    state.Header.Font.Size = 999'999;
    TTestCanvas screen;
    DrawHeaderAndFooter(state, screen, 1, 1, {0, 5000, 100, 6000});
    ASSERT_FALSE(screen.Ops().empty());
    EXPECT_EQ(screen.Ops()[0], "font Arial 2184px bold");
}

TEST(HeaderFooterDrawing, ThePrintComponentsPagesGetTheirLinesFollowingThePrintArea)
{
    // Twenty lines of Arial 10 to a page of 300 pixels less 10 mm above and below.
    test::LayoutFixture doc{600};
    for (int i = 0; i < 30; ++i)
        doc.Text("Absatz " + std::to_string(i));
    doc.Format();
    TTestPrinter printer;
    TRVPrint print;
    print.SetPrinter(&printer);
    print.TopMarginMM = print.BottomMarginMM = 10;
    print.LeftMarginMM = 30;
    print.RightMarginMM = 10;
    print.MirrorMargins = true;
    TPageState state;
    state.Header.Text = "Seite &p von &P";
    state.Header.Alignment = hfaLeft;
    print.OnPagePrepaint = HeaderFooterPainter(state, SetClock);
    print.UseDocumentOf(doc.Data);
    const int pages = print.PaginateDocument();
    ASSERT_GE(pages, 2);
    ASSERT_TRUE(print.PrintAll("Test", 1, false));

    const std::string count = std::to_string(pages);
    for (int page = 1; page <= 2; ++page) {
        const TRect area = print.PrintAreaRect(page);
        const std::vector<std::string> ops = printer.PageOps(static_cast<std::size_t>(page - 1));
        const std::string header = "text " + std::to_string(area.Left) + "," + std::to_string(area.Top - 15 - 4) +
                                   " 'Seite " + std::to_string(page) + " von " + count + "' #000000";
        const auto at = std::find(ops.begin(), ops.end(), header);
        ASSERT_NE(at, ops.end()) << header;
        // Before the page's own text.
        const auto content = std::find_if(ops.begin(), ops.end(),
                                          [](const std::string& op) { return op.find("'Absatz") != std::string::npos; });
        EXPECT_LT(at, content);
    }
    EXPECT_NE(print.PrintAreaRect(1).Left, print.PrintAreaRect(2).Left) << "mirrored margins move the header";
}

} // namespace
} // namespace xq

// Page setup: paper codes, the document's page-setting lines, header and footer codes and drawing,
// the RTF margins, and the dialog's fields.
#include "printing/PageSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

#include "platform/CodePage.h"

namespace xq {

namespace {

/// Documents keep their property lines in code page 1252; the program keeps UTF-8.
std::string ToDocumentText(std::string_view utf8)
{
    return UnicodeToAnsi(Utf8ToUtf16(utf8), 1252);
}

std::string FromDocumentText(std::string_view cp1252, std::size_t maxChars)
{
    return CutUtf8(Utf16ToUtf8(AnsiToUnicode(cp1252, 1252)), maxChars);
}

/// A whole decimal number within lo..hi (blanks around it allowed); empty otherwise.
std::optional<int> ParseBounded(std::string_view text, long long lo, long long hi) noexcept
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < lo || value > hi)
        return std::nullopt;
    return static_cast<int>(value);
}

const char* AlignmentWord(THFAlignment alignment) noexcept
{
    switch (alignment) {
    case hfaLeft: return "left";
    case hfaRight: return "right";
    case hfaCenter: break;
    }
    return "center";
}

std::optional<THFAlignment> AlignmentOfWord(std::string_view word) noexcept
{
    if (word == "left")
        return hfaLeft;
    if (word == "right")
        return hfaRight;
    if (word == "center")
        return hfaCenter;
    return std::nullopt;
}

/// Bold 1, italic 2, underline 4, strike-out 8.
int StyleNumber(TFontStyles style) noexcept
{
    return (style.Contains(fsBold) ? 1 : 0) | (style.Contains(fsItalic) ? 2 : 0) |
           (style.Contains(fsUnderline) ? 4 : 0) | (style.Contains(fsStrikeOut) ? 8 : 0);
}

TFontStyles StyleOfNumber(int number) noexcept
{
    TFontStyles style;
    if (number & 1)
        style.Include(fsBold);
    if (number & 2)
        style.Include(fsItalic);
    if (number & 4)
        style.Include(fsUnderline);
    if (number & 8)
        style.Include(fsStrikeOut);
    return style;
}

/// A paper code from a property line: 3 (A4) when it is not a known code, and for 0.
int PaperCodeOfLine(std::string_view line) noexcept
{
    const std::optional<int> code = ParseBounded(line, 0, 41);
    return code && *code != 0 ? *code : 3;
}

/// No printer offers more papers than this; a driver's longer list is cut.
constexpr std::size_t MaxPapers = 1'000;

} // namespace

std::string PageSetupCaptionFor(const std::string& printerName)
{
    return std::string(PageSetupCaption) + " [" + printerName + "]";
}

// --- Paper codes -------------------------------------------------------------------------------------

std::optional<int> PaperCodeOfPaperNumber(int paperNumber) noexcept
{
    switch (paperNumber) {
    case 1: return 1;
    case 5: return 2;
    case 9: return 3;
    case 24: case 25: case 26: return paperNumber - 20;
    case 2: case 3: case 4: return paperNumber + 5;
    case 6: case 7: case 8: return paperNumber + 4;
    case 256: return 0;
    default: break;
    }
    if (paperNumber >= 10 && paperNumber <= 23)
        return paperNumber + 3;
    if (paperNumber >= 27 && paperNumber <= 41)
        return paperNumber;
    return std::nullopt;
}

std::optional<int> PaperNumberOfPaperCode(int paperCode) noexcept
{
    // The table is one to one between the paper numbers 1..41 and the codes 1..41.
    if (paperCode < 1 || paperCode > 41)
        return std::nullopt;
    for (int number = 1; number <= 41; ++number)
        if (PaperCodeOfPaperNumber(number) == paperCode)
            return number;
    return std::nullopt;
}

std::string CutUtf8(std::string_view text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Every byte but a continuation byte starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == maxChars)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

void TakePrinterSnapshot(TPageState& state, const TRVPrinter* printer)
{
    state.PrinterName = printer ? CutUtf8(printer->Name(), MaxPrinterNameLength) : std::string();
    state.HasPrinterSnapshot = printer && printer->HasDeviceSettings();
    state.PrinterSnapshot = state.HasPrinterSnapshot ? printer->DeviceSettings() : TPrinterDeviceSettings{};
}

// --- Codes ---------------------------------------------------------------------------------------

TLocalDateTime SystemLocalDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::string ExpandHeaderFooterCodes(std::string_view text, int pageNo, int pageCount, int firstPageNumber,
                                    const TClock& clock)
{
    const auto now = [&clock] { return clock ? clock() : SystemLocalDateTime(); };
    // Whatever the clock says, the fields keep their widths.
    const auto field = [](int value, int lo, int hi) { return std::clamp(value, lo, hi); };
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    bool afterAmpersand = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!afterAmpersand) {
            afterAmpersand = c == '&';
            continue;
        }
        afterAmpersand = false;
        if (c != '&' && c != 'P' && c != 'd' && c != 'p' && c != 't')
            continue;
        out.append(text.substr(start, i - 1 - start));
        switch (c) {
        case '&':
            out += '&';
            break;
        case 'P':
            out += std::to_string(pageCount);
            break;
        case 'p':
            // In 64 bits: any page number with any first number.
            out += std::to_string(static_cast<long long>(pageNo) + firstPageNumber - 1);
            break;
        case 'd': {
            const TLocalDateTime t = now();
            char date[16];
            std::snprintf(date, sizeof date, "%02d.%02d.%04d", field(t.Day, 1, 31), field(t.Month, 1, 12),
                          field(t.Year, 0, 9999));
            out += date;
            break;
        }
        case 't': {
            const TLocalDateTime t = now();
            char time[8];
            std::snprintf(time, sizeof time, "%02d:%02d", field(t.Hour, 0, 23), field(t.Minute, 0, 59));
            out += time;
            break;
        }
        default:
            break;
        }
        start = i + 1;
    }
    out.append(text.substr(std::min(start, text.size())));
    return out;
}

// --- Drawing -------------------------------------------------------------------------------------

namespace {

void DrawLine(const THFInfo& line, bool header, TCanvas& canvas, int pageNo, int pageCount, int firstPageNumber,
              const TRect& area, const TClock& clock)
{
    if (line.Text.empty() || (pageNo == 1 && !line.PrintOnFirstPage))
        return;
    const std::u16string text =
        Utf8ToUtf16(ExpandHeaderFooterCodes(line.Text, pageNo, pageCount, firstPageNumber, clock));
    // Points become pixels at the canvas's own resolution.
    TCanvasFont font;
    font.Name = line.Font.Name;
    font.Size = std::clamp(line.Font.Size, MinHeaderFontSize, MaxHeaderFontSize);
    font.Style = line.Font.Style;
    font.Charset = line.Font.Charset;
    canvas.SelectFont(font);
    const int ppi = canvas.DpiY();
    const TSize extent = canvas.TextExtent(text);
    const int y = header ? area.Top - extent.Height - ppi / 20 : area.Bottom + ppi / 20;
    int x = area.Left;
    if (line.Alignment == hfaRight)
        x = area.Right - extent.Width;
    else if (line.Alignment == hfaCenter)
        x = area.Left + (area.Width() - extent.Width) / 2;
    canvas.DrawText(x, y, text, line.Font.Color);
}

} // namespace

void DrawHeaderAndFooter(const TPageState& state, TCanvas& canvas, int pageNo, int pageCount,
                         const TRect& printAreaRect, const TClock& clock)
{
    canvas.Save();
    DrawLine(state.Header, true, canvas, pageNo, pageCount, state.FirstPageNumber, printAreaRect, clock);
    DrawLine(state.Footer, false, canvas, pageNo, pageCount, state.FirstPageNumber, printAreaRect, clock);
    canvas.Restore();
}

TCustomRVPrint::TPagePaintEvent HeaderFooterPainter(const TPageState& state, TClock clock)
{
    return [&state, clock = std::move(clock)](TCustomRVPrint& sender, int pageNo, TCanvas& canvas, bool,
                                               const TRect&, const TRect& printAreaRect) {
        DrawHeaderAndFooter(state, canvas, pageNo, sender.PageCount(), printAreaRect, clock);
    };
}

// --- RTF -----------------------------------------------------------------------------------------

std::string RtfMarginsText(int leftMM, int topMM, int rightMM, int bottomMM)
{
    const auto twips = [](int mm) { return std::to_string(std::llround(double(mm) * 7200.0 / 127.0)); };
    return "\\margl" + twips(leftMM) + "\\margt" + twips(topMM) + "\\margr" + twips(rightMM) + "\\margb" +
           twips(bottomMM);
}

TRVSaveRTFExtraEvent RtfMarginsExtra(const TRVPrint& print)
{
    return [&print](TRVRTFSaveArea area, const void*, int, int, bool, std::string& rtfCode) {
        if (area == rtfsaDocHeader)
            rtfCode = RtfMarginsText(print.LeftMarginMM, print.TopMarginMM, print.RightMarginMM, print.BottomMarginMM);
    };
}

void InstallRtfMarginsExtra(TRVRTFWriteSettings& settings, const TRVPrint& print)
{
    settings.OnSaveRTFExtra = RtfMarginsExtra(print);
}

// --- Page setup ----------------------------------------------------------------------------------------

TPageSetup::TPageSetup(TPageState& state, TRVPrint& print, TRVPrinter* printer) noexcept
    : State_(state), Print_(print), Printer_(printer)
{
}

bool TPageSetup::PrinterHasSettings() const
{
    return Printer_ && Printer_->HasDeviceSettings();
}

void TPageSetup::RestorePrinterSnapshot()
{
    if (State_.HasPrinterSnapshot && PrinterHasSettings())
        Printer_->ApplyDeviceSettings(State_.PrinterSnapshot);
}

void TPageSetup::Initialize()
{
    RefreshFromPrinter();
    State_.DefaultOrientation = Fields.Orientation;
    State_.DefaultPaperIndex = State_.PaperIndex = Fields.PaperSelected;
}

void TPageSetup::RefreshFromPrinter()
{
    if (PrinterHasSettings()) {
        const TPrinterDeviceSettings settings = Printer_->DeviceSettings();
        Fields.Papers.clear();
        Fields.PaperSelected = -1;
        const std::size_t count = std::min(settings.Papers.size(), MaxPapers);
        for (std::size_t i = 0; i < count; ++i) {
            const TPrinterPaper& paper = settings.Papers[i];
            Fields.Papers.push_back({CutUtf8(paper.Name, MaxPaperNameLength), paper.Number});
            if (settings.PaperSizeSet && Fields.PaperSelected < 0 && paper.Number == settings.PaperNumber)
                Fields.PaperSelected = static_cast<int>(i);
        }
        if (const std::optional<int> code = PaperCodeOfPaperNumber(settings.PaperNumber))
            State_.PaperCode = *code;
        Fields.Orientation = settings.Orientation == 1 ? 1 : 0;
    }
    // Without device settings the other fields still follow the current values, so that the
    // dialog never shows what a reset or a load has replaced.
    RefreshFields();
}

void TPageSetup::RefreshFields()
{
    Fields.TopText = std::to_string(Print_.TopMarginMM);
    Fields.BottomText = std::to_string(Print_.BottomMarginMM);
    Fields.LeftText = std::to_string(Print_.LeftMarginMM);
    Fields.RightText = std::to_string(Print_.RightMarginMM);
    Fields.Mirror = Print_.MirrorMargins;
    Fields.HeaderText = State_.Header.Text;
    Fields.FooterText = State_.Footer.Text;
    Fields.HeaderOnFirstPage = State_.Header.PrintOnFirstPage;
    Fields.FooterOnFirstPage = State_.Footer.PrintOnFirstPage;
    Fields.HeaderAlignment = State_.Header.Alignment;
    Fields.FooterAlignment = State_.Footer.Alignment;
    Fields.HeaderBoxFont = State_.Header.Font;
    Fields.HeaderBoxFont.Size = 8;
    Fields.FooterBoxFont = State_.Footer.Font;
    Fields.FooterBoxFont.Size = 8;
    Fields.FirstPageNumber = State_.FirstPageNumber;
}

void TPageSetup::ChooseHeaderFont(const THFFont& font)
{
    State_.HeaderFontCopy = font;
    Fields.HeaderBoxFont = font;
    Fields.HeaderBoxFont.Size = 8;
}

void TPageSetup::ChooseFooterFont(const THFFont& font)
{
    State_.FooterFontCopy = font;
    Fields.FooterBoxFont = font;
    Fields.FooterBoxFont.Size = 8;
}

void TPageSetup::Apply(bool fromDocument)
{
    ApplyFields(fromDocument, true);
}

void TPageSetup::ApplyFields(bool fromDocument, bool byUser)
{
    // A margin box takes whole millimetres within its range.
    const auto margin = [](const std::string& text, int& target) {
        if (const std::optional<int> mm = ParseBounded(text, std::numeric_limits<int>::min(),
                                                       std::numeric_limits<int>::max()))
            target = std::clamp(*mm, 0, MaxMarginMM);
    };
    margin(Fields.LeftText, Print_.LeftMarginMM);
    margin(Fields.RightText, Print_.RightMarginMM);
    margin(Fields.TopText, Print_.TopMarginMM);
    margin(Fields.BottomText, Print_.BottomMarginMM);
    Print_.MirrorMargins = Fields.Mirror;

    const int orientation = Fields.Orientation == 1 ? 1 : 0;
    if (PrinterHasSettings()) {
        TPrinterDeviceSettings settings = Printer_->DeviceSettings();
        settings.Orientation = orientation;
        const int selected = Fields.PaperSelected;
        if (!fromDocument && selected >= 0 && selected < static_cast<int>(Fields.Papers.size())) {
            settings.PaperNumber = Fields.Papers[static_cast<std::size_t>(selected)].Number;
            settings.PaperSizeSet = true;
        } else if (fromDocument) {
            if (const std::optional<int> number = PaperNumberOfPaperCode(State_.PaperCode))
                settings.PaperNumber = *number;
            settings.PaperSizeSet = true;
        }
        if (const std::optional<int> code = PaperCodeOfPaperNumber(settings.PaperNumber))
            State_.PaperCode = *code;
        Printer_->ApplyDeviceSettings(settings);
    }

    const auto alignment = [](THFAlignment a) { return a <= hfaCenter ? a : hfaCenter; };
    State_.Header.Text = Fields.HeaderText;
    State_.Header.PrintOnFirstPage = Fields.HeaderOnFirstPage;
    State_.Header.Alignment = alignment(Fields.HeaderAlignment);
    State_.Header.Font = State_.HeaderFontCopy;
    State_.Footer.Text = Fields.FooterText;
    State_.Footer.PrintOnFirstPage = Fields.FooterOnFirstPage;
    State_.Footer.Alignment = alignment(Fields.FooterAlignment);
    State_.Footer.Font = State_.FooterFontCopy;
    State_.FirstPageNumber = std::clamp(Fields.FirstPageNumber, 0, MaxFirstPageNumber);

    if (OnTextWidth)
        State_.TextWidth = OnTextWidth();
    State_.Orientation = orientation;
    // Settings taken from a document being loaded change nothing the user did.
    if (byUser && OnModifiedAndReformat)
        OnModifiedAndReformat();
    if (fromDocument)
        RefreshFromPrinter();
    State_.PaperIndex = Fields.PaperSelected;
}

void TPageSetup::ResetPageValues() noexcept
{
    State_.FirstPageNumber = 1;
    State_.Header.Text.clear();
    State_.Footer.Text.clear();
    State_.PaperIndex = State_.DefaultPaperIndex;
    State_.TextWidth = 0;
    State_.Orientation = State_.DefaultOrientation;
}

void TPageSetup::ResetPageSettings()
{
    for (THFInfo* line : {&State_.Header, &State_.Footer}) {
        line->Text.clear();
        line->Alignment = hfaCenter;
        line->PrintOnFirstPage = true;
        line->Font = THFFont{};
    }
    State_.FirstPageNumber = 1;
    Print_.LeftMarginMM = 10;
    Print_.RightMarginMM = 10;
    Print_.TopMarginMM = 10;
    Print_.BottomMarginMM = 20;
    Print_.MirrorMargins = false;
    State_.Orientation = State_.DefaultOrientation;
    State_.HeaderFontCopy = State_.Header.Font;
    State_.FooterFontCopy = State_.Footer.Font;
    RestorePrinterSnapshot();
    RefreshFromPrinter();
}

void TPageSetup::WritePageSettings(std::vector<std::string>& lines) const
{
    const auto font = [&lines](const THFFont& f) {
        lines.push_back(ToDocumentText(f.Name));
        lines.push_back(std::to_string(f.Size));
        // Colours as signed numbers: system colours are negative.
        lines.push_back(std::to_string(static_cast<std::int32_t>(f.Color)));
        lines.push_back(std::to_string(StyleNumber(f.Style)));
    };
    lines.clear();
    lines.reserve(PageSettingsLineCount);
    lines.push_back(ToDocumentText(State_.PrinterName));
    lines.push_back(ToDocumentText(State_.Header.Text));
    lines.push_back(ToDocumentText(State_.Footer.Text));
    lines.push_back(std::to_string(State_.FirstPageNumber));
    lines.push_back(AlignmentWord(State_.Header.Alignment));
    lines.push_back(AlignmentWord(State_.Footer.Alignment));
    lines.push_back(State_.Header.PrintOnFirstPage ? "printfirstpageH" : "printfirstpageHNo");
    lines.push_back(State_.Footer.PrintOnFirstPage ? "printfirstpageF" : "printfirstpageFNo");
    for (int mm : {Print_.LeftMarginMM, Print_.RightMarginMM, Print_.TopMarginMM, Print_.BottomMarginMM,
                   Print_.FooterYMM, Print_.HeaderYMM})
        lines.push_back(std::to_string(mm));
    lines.push_back(Print_.MirrorMargins ? "mirrorT" : "mirrorFF");
    font(State_.Header.Font);
    font(State_.Footer.Font);
    lines.push_back(std::to_string(State_.PaperIndex));
    lines.push_back(std::to_string(State_.TextWidth));
    lines.push_back(std::to_string(State_.Orientation));
    lines.push_back(std::to_string(State_.PaperCode));
}

void TPageSetup::ReadPageSettings(const std::vector<std::string>& lines)
{
    if (lines.empty()) {
        ResetPageSettings();
        return;
    }
    bool noSettings = false;
    bool otherPrinter = false;
    // A margin that is not a number within range is not taken.
    const auto margin = [](std::string_view line, int& target) {
        if (const std::optional<int> mm = ParseBounded(line, 0, MaxMarginMM))
            target = *mm;
    };
    const auto fontLine = [](std::size_t k, std::string_view line, THFFont& font) {
        switch (k) {
        case 0: font.Name = FromDocumentText(line, MaxStoredFontName); break;
        case 1: font.Size = ParseBounded(line, MinHeaderFontSize, MaxHeaderFontSize).value_or(10); break;
        case 2: {
            const std::optional<int> color = ParseBounded(line, std::numeric_limits<std::int32_t>::min(),
                                                          std::numeric_limits<std::int32_t>::max());
            font.Color = color ? static_cast<TColor>(*color) : clWindowText;
            break;
        }
        default: font.Style = StyleOfNumber(ParseBounded(line, 0, 15).value_or(0)); break;
        }
    };

    const std::size_t count = std::min(lines.size(), PageSettingsLineCount);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = lines[i];
        switch (i) {
        case 0:
            if (line != ToDocumentText(State_.PrinterName)) {
                otherPrinter = true;
                noSettings = line.empty();
            }
            break;
        case 1: State_.Header.Text = FromDocumentText(line, MaxStoredLineText); break;
        case 2: State_.Footer.Text = FromDocumentText(line, MaxStoredLineText); break;
        case 3: State_.FirstPageNumber = ParseBounded(line, 0, MaxFirstPageNumber).value_or(1); break;
        case 4:
            if (const std::optional<THFAlignment> a = AlignmentOfWord(line))
                State_.Header.Alignment = *a;
            break;
        case 5:
            if (const std::optional<THFAlignment> a = AlignmentOfWord(line))
                State_.Footer.Alignment = *a;
            break;
        case 6: State_.Header.PrintOnFirstPage = line == "printfirstpageH"; break;
        case 7: State_.Footer.PrintOnFirstPage = line == "printfirstpageF"; break;
        case 8: margin(line, Print_.LeftMarginMM); break;
        case 9: margin(line, Print_.RightMarginMM); break;
        case 10: margin(line, Print_.TopMarginMM); break;
        case 11: margin(line, Print_.BottomMarginMM); break;
        case 12: margin(line, Print_.FooterYMM); break;
        case 13: margin(line, Print_.HeaderYMM); break;
        case 14: Print_.MirrorMargins = line == "mirrorT"; break;
        case 15: case 16: case 17: case 18: fontLine(i - 15, line, State_.Header.Font); break;
        case 19: case 20: case 21: case 22: fontLine(i - 19, line, State_.Footer.Font); break;
        case 23:
            if (noSettings || otherPrinter) {
                State_.PaperIndex = State_.DefaultPaperIndex;
                if (otherPrinter && lines.size() >= PageSettingsLineCount)
                    State_.PaperCode = PaperCodeOfLine(lines[26]);
            } else {
                State_.PaperIndex = ParseBounded(line, -1, static_cast<long long>(MaxPapers))
                                        .value_or(State_.DefaultPaperIndex);
            }
            Fields.PaperSelected =
                State_.PaperIndex >= 0 && State_.PaperIndex < static_cast<int>(Fields.Papers.size())
                    ? State_.PaperIndex
                    : -1;
            break;
        case 24:
            if (!noSettings)
                State_.TextWidth = ParseBounded(line, 0, MaxStoredTextWidth).value_or(0);
            break;
        case 25: {
            const std::optional<int> orientation = ParseBounded(line, 0, 1);
            State_.Orientation = noSettings ? State_.DefaultOrientation
                                            : orientation.value_or(State_.DefaultOrientation);
            Fields.Orientation = State_.Orientation;
            break;
        }
        default: State_.PaperCode = PaperCodeOfLine(line); break;
        }
    }

    State_.HeaderFontCopy = State_.Header.Font;
    State_.FooterFontCopy = State_.Footer.Font;
    if (noSettings) {
        // A document without settings of its own is printed as the printer was at program start;
        // the dialog shows what was read.
        RestorePrinterSnapshot();
        RefreshFromPrinter();
        return;
    }
    RefreshFields();
    // On the same printer the paper is the entry of PaperIndex, on another one that of PaperCode.
    ApplyFields(otherPrinter, false);
}

} // namespace xq

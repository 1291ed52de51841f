// Page setup: the margins, paper and orientation a document is printed with, its one-line header
// and footer, and the number of its first page. The values live in the print component (margins),
// in the printer's device settings (paper, orientation) and in the page state below; a document
// carries a copy of them as 27 property lines. TPageSetup keeps the page setup dialog's fields as a
// plain struct and moves values between them, the print component, the printer and the lines.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/rtf/RtfWriter.h"
#include "platform/Canvas.h"
#include "platform/Color.h"
#include "platform/FontTypes.h"
#include "platform/Printer.h"
#include "printing/Print.h"

namespace xq {

enum THFAlignment : std::uint8_t { hfaLeft = 0, hfaRight = 1, hfaCenter = 2 };

/// The font of a header or footer line. Names are UTF-8.
struct THFFont {
    std::string Name = "Arial";
    int Size = 10; ///< points
    TColor Color = clWindowText;
    TFontStyles Style;
    std::uint8_t Charset = DEFAULT_CHARSET;

    [[nodiscard]] bool operator==(const THFFont&) const = default;
};

/// One header or footer line. Text holds the codes that ExpandHeaderFooterCodes replaces; an empty
/// Text draws nothing.
struct THFInfo {
    THFFont Font;
    std::string Text;
    THFAlignment Alignment = hfaCenter;
    bool PrintOnFirstPage = true;

    [[nodiscard]] bool operator==(const THFInfo&) const = default;
};

/// Longest printer name kept, in characters.
inline constexpr std::size_t MaxPrinterNameLength = 80;
/// Longest paper name shown in the paper list, in characters.
inline constexpr std::size_t MaxPaperNameLength = 64;

/// The page values the main window keeps for the whole run. Documents only carry copies of them.
struct TPageState {
    /// The number printed on page 1.
    int FirstPageNumber = 1;
    /// The chosen entry of the paper list (-1: none), and the printer's paper at the dialog's creation.
    int PaperIndex = -1;
    int DefaultPaperIndex = -1;
    /// The editor's text width in pixels when it was last computed.
    int TextWidth = 0;
    /// 0 portrait, 1 landscape.
    int Orientation = 0;
    int DefaultOrientation = 0;
    /// The paper as a number that does not depend on the printer (see PaperCodeOfPaperNumber).
    int PaperCode = 3;
    /// The printer current at program start, and its device settings then (HasPrinterSnapshot:
    /// that printer had device settings to copy).
    std::string PrinterName;
    TPrinterDeviceSettings PrinterSnapshot;
    bool HasPrinterSnapshot = false;
    /// The fonts chosen with the dialog's two font buttons; the records take them on Apply.
    THFFont HeaderFontCopy;
    THFFont FooterFontCopy;
    THFInfo Header;
    THFInfo Footer;
};

/// The fields of the page setup dialog, as the dialog's controls hold them.
struct TPageSetupFields {
    // Tab " Seite".
    /// The texts of "Oben", "Unten", "Links" and "Rechts".
    std::string TopText;
    std::string BottomText;
    std::string LeftText;
    std::string RightText;
    /// "Seitenränder spiegeln".
    bool Mirror = false;
    /// 0 "&Hochformat", 1 "&Querformat".
    int Orientation = 0;
    /// "Grösse": the printer's papers (names cut to MaxPaperNameLength) and the selected entry (-1: none).
    std::vector<TPrinterPaper> Papers;
    int PaperSelected = -1;

    // Tab " Kopf- und Fusszeile".
    std::string HeaderText;
    std::string FooterText;
    THFAlignment HeaderAlignment = hfaCenter;
    THFAlignment FooterAlignment = hfaCenter;
    /// "Kopfzeile auch auf erster Seite", "Fusszeile auch auf erster Seite".
    bool HeaderOnFirstPage = true;
    bool FooterOnFirstPage = true;
    /// The fonts the two text boxes show their text in (the line's font at size 8).
    THFFont HeaderBoxFont;
    THFFont FooterBoxFont;
    /// "Beginnt mit Seitenzahl".
    int FirstPageNumber = 1;
};

// --- Texts --------------------------------------------------------------------------------------

inline constexpr std::string_view PageSetupCaption = " Seite einrichten";
inline constexpr std::string_view InitialHeaderText = "- &d -";
inline constexpr std::string_view InitialFooterText = "- &p -";
/// The caption with the printer of program start: " Seite einrichten [name]".
[[nodiscard]] std::string PageSetupCaptionFor(const std::string& printerName);

// --- Values -------------------------------------------------------------------------------------

inline constexpr int MaxMarginMM = 100;
inline constexpr int MaxFirstPageNumber = 10'000;
inline constexpr int MinHeaderFontSize = 1;
inline constexpr int MaxHeaderFontSize = 1'638;
/// A text width beyond this many pixels is no page's: such a value in a document is not taken.
inline constexpr int MaxStoredTextWidth = 100'000;
/// Header and footer texts and font names are cut to these many bytes when read from a document.
inline constexpr std::size_t MaxStoredLineText = 1'000;
inline constexpr std::size_t MaxStoredFontName = 64;
/// The number of property lines a document carries.
inline constexpr std::size_t PageSettingsLineCount = 27;

/// The printer-independent paper code of a printer paper number; empty for a number the table does
/// not know (the code stays as it is).
[[nodiscard]] std::optional<int> PaperCodeOfPaperNumber(int paperNumber) noexcept;
/// The printer paper number of a paper code; empty for code 0 (a size of the user's own: the paper
/// stays as it is) and for unknown codes.
[[nodiscard]] std::optional<int> PaperNumberOfPaperCode(int paperCode) noexcept;

/// Text cut to at most maxChars characters of UTF-8, never inside a character.
[[nodiscard]] std::string CutUtf8(std::string_view text, std::size_t maxChars);

/// Takes the printer snapshot at program start: the printer's name (at most MaxPrinterNameLength
/// characters) and its device settings. Without a printer the name is empty.
void TakePrinterSnapshot(TPageState& state, const TRVPrinter* printer);

// --- Codes of header and footer lines --------------------------------------------------------------

/// A local date and time.
struct TLocalDateTime {
    int Year = 2000;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
};
/// Where "&d" and "&t" take the date and the time from.
using TClock = std::function<TLocalDateTime()>;
/// The system's local date and time.
[[nodiscard]] TLocalDateTime SystemLocalDateTime();

/// The line for page pageNo (from 1) of pageCount pages: "&p" the page's number (counted from
/// firstPageNumber), "&P" the page count, "&d" the date (dd.MM.yyyy), "&t" the time (HH:mm),
/// "&&" one "&". Any other character after "&", and a final "&", stay as they are. A null clock
/// is the system's.
[[nodiscard]] std::string ExpandHeaderFooterCodes(std::string_view text, int pageNo, int pageCount,
                                                  int firstPageNumber, const TClock& clock = {});

/// Draws the header and then the footer for page pageNo on canvas. A line is drawn when its Text
/// is not empty and the page is not page 1 or the line is printed on the first page. The header
/// stands a twentieth of an inch above the print area, the footer as far below it, each on one
/// line aligned inside the print area's left and right edge, in the line's font at the canvas's
/// resolution.
void DrawHeaderAndFooter(const TPageState& state, TCanvas& canvas, int pageNo, int pageCount,
                         const TRect& printAreaRect, const TClock& clock = {});

/// The print component's page event that draws header and footer from state (which must outlive it).
[[nodiscard]] TCustomRVPrint::TPagePaintEvent HeaderFooterPainter(const TPageState& state, TClock clock = {});

// --- RTF ----------------------------------------------------------------------------------------

/// "\margl..\margt..\margr..\margb.." with the margins in twips (mm * 7200 / 127, rounded).
[[nodiscard]] std::string RtfMarginsText(int leftMM, int topMM, int rightMM, int bottomMM);
/// The RTF writer's hook that adds the print component's margins (as they are when the RTF is
/// written) to the document header and nothing elsewhere. print must outlive the hook.
[[nodiscard]] TRVSaveRTFExtraEvent RtfMarginsExtra(const TRVPrint& print);
/// Installs RtfMarginsExtra as the settings' OnSaveRTFExtra.
void InstallRtfMarginsExtra(TRVRTFWriteSettings& settings, const TRVPrint& print);

// --- Page setup -----------------------------------------------------------------------------------

/// The page setup of the main window: the page state, the dialog's fields, the print component
/// (its margins) and the printer (null: none). Everything referred to must outlive it.
class TPageSetup {
public:
    TPageSetup(TPageState& state, TRVPrint& print, TRVPrinter* printer = nullptr) noexcept;
    TPageSetup(const TPageSetup&) = delete;
    TPageSetup& operator=(const TPageSetup&) = delete;

    [[nodiscard]] TPageState& State() noexcept { return State_; }
    [[nodiscard]] const TPageState& State() const noexcept { return State_; }
    [[nodiscard]] const TRVPrint& Print() const noexcept { return Print_; }
    [[nodiscard]] TRVPrinter* Printer() const noexcept { return Printer_; }
    void SetPrinter(TRVPrinter* printer) noexcept { Printer_ = printer; }

    /// The dialog's fields; the dialog's controls show and change them.
    TPageSetupFields Fields;

    /// Asked for the editor's text width after the page changed: it lays the editor's lines out
    /// at the printed width (as after a load) and returns that width.
    std::function<int()> OnTextWidth;
    /// The user changed the page: the document is marked modified and laid out again.
    std::function<void()> OnModifiedAndReformat;

    /// When the dialog is created: the fields from the printer, and the defaults of orientation and
    /// paper from them.
    void Initialize();
    /// The paper list, paper and orientation from the printer, then RefreshFields. A printer
    /// without device settings leaves the paper list empty and only the other fields are filled.
    void RefreshFromPrinter();
    /// Margins and mirroring from the print component, the header and footer fields from the
    /// records, "Beginnt mit Seitenzahl" from FirstPageNumber.
    void RefreshFields();
    /// The fields into the print component, the printer and the records. fromDocument: the paper
    /// comes from PaperCode instead of the selected entry. This is the dialog's OK: the document
    /// is marked modified.
    void Apply(bool fromDocument);
    /// The header font button chose a font: kept for Apply, shown in the text box.
    void ChooseHeaderFont(const THFFont& font);
    void ChooseFooterFont(const THFFont& font);

    /// The values of a document that has none of its own (New).
    void ResetPageSettings();
    /// What a new document resets even at program start: first page number, header and footer texts,
    /// paper index, text width and orientation.
    void ResetPageValues() noexcept;
    /// Replaces lines with the 27 property lines of the current settings (8-bit, code page 1252).
    void WritePageSettings(std::vector<std::string>& lines) const;
    /// Takes the settings of a document's property lines; an empty list resets them. Lines that
    /// are missing leave their values as they are; values that are not numbers, or out of range,
    /// fall back to defaults. Loading does not mark the document modified.
    void ReadPageSettings(const std::vector<std::string>& lines);

private:
    void ApplyFields(bool fromDocument, bool byUser);
    /// The printer's device settings, when there is a printer that has them.
    [[nodiscard]] bool PrinterHasSettings() const;
    void RestorePrinterSnapshot();

    TPageState& State_;
    TRVPrint& Print_;
    TRVPrinter* Printer_ = nullptr;
};

} // namespace xq

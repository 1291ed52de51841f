// TFormED: the main window. It owns the editor control (rve), the document with the style sheet
// (RStyle), the session, the recent-file list and every menu, toolbar and status-bar control.
// The window's own code is thin: what it does to the document is the session's.
#pragma once

#include <array>
#include <atomic>
#include <filesystem>
#include <optional>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPoint>
#include <QStringList>

#include "session/DocumentSession.h"
#include "app/InputBoxes.h"
#include "app/PictureDialog.h"
#include "app/PrintDialog.h"
#include "platform/Shell.h"
#include "printing/Print.h"
#include "session/StartUp.h"
#include "spelling/RVXQSpell.h"
#include "spelling/SpellChecker.h"
#include "tools/FormatCommands.h"
#include "tools/MruList.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class QToolBar;

namespace xq {

class TDocViewEditWidget;
class TFormatDialogs;
class TBitmap;
class TRVTableChanges;
class TRVTableItemInfo;
class TQtCanvas;
class TRVLiveSpelling;
class TQtClipboard;
class TQtPrinter;
class TFindReplaceDialog;
class TfrmPageSetup;
class TfrmPreview;
class TfrmProp;
class TTxTHyper;

/// Shown in status-bar panel 1 when the control under the mouse has no long hint.
inline constexpr std::string_view NoHintNotice = " Bereit";
/// The editor control's hint.
inline constexpr std::string_view EditorHint =
    " Zur Formatierung, Cursor hinter dem Element positionieren und rechte Maustaste drücken";
inline constexpr int MainWindowMinWidth = 641;
inline constexpr int MainWindowMinHeight = 480;
/// Width of the status bar's panels.
inline constexpr int StatusPanelWidth = 200;
// Texts of the print commands.
inline constexpr std::string_view NoPrinterText =
    "Kein aktiver Drucker. Installieren Sie einen Drucker\roder verbinden Sie einen Netzwerkdrucker.";
inline constexpr std::string_view NothingToPrintText = "Nichts zu drucken!";
inline constexpr std::string_view PrintCaption = "Druckerdialog";
// Texts of finding and replacing.
inline constexpr std::string_view NotFoundText = "Nicht gefunden!";
inline constexpr std::string_view FindCaption = "Suche";
inline constexpr std::string_view ReplaceCaption = "Suchen und ersetzen";
/// "%d" is the number of replacements.
inline constexpr std::string_view ReplacedText = "Stelle wurde %d x ersetzt!";
inline constexpr std::string_view ReplacedCaption = "Ersetzt";
inline constexpr std::string_view PrintFailedText = "Das Dokument konnte nicht gedruckt werden.";
inline constexpr std::string_view PdfFailedText = "Die PDF-Datei konnte nicht geschrieben werden:\r";
/// The title of every print job.
inline constexpr std::string_view PrintJobTitle = "XQEditor";
inline constexpr std::string_view PrintingNotice = " Dokument wird gedruckt ...";
/// The save button as a text button in host-document mode.
inline constexpr int HostSaveButtonWidth = 103;
inline constexpr std::string_view HostSaveButtonCaption = "Speichern";

class TFormED : public QMainWindow, public TSessionWindow {
    Q_OBJECT
public:
    /// What the window uses of the outside world; tests give their own.
    struct TServices {
        /// Questions and messages; null: German Qt message boxes.
        TMessageBoxes* Boxes = nullptr;
        /// The default printer's page; empty: asked of the installed printers.
        TPrinterPageQuery PrinterPage;
        /// The AutoText dialog; empty: the real dialog on the store in WorkDir.
        std::function<TAutoTextOutcome(int dialogMode)> AutoTextDialog;
        /// The picture open dialog; null: the Qt file dialog.
        TPictureDialog* PictureDialog = nullptr;
        /// The font and colour dialogs of the formatting commands; null: Qt's dialogs.
        TFormatDialogs* FormatDialogs = nullptr;
        /// The printer the window prints on; returning null means no printer is installed. Empty:
        /// the system's default printer, or the PDF printer.
        std::function<std::unique_ptr<TQtPrinter>()> Printer;
        /// The print dialog and the PDF file dialog; null: Qt's dialogs.
        TPrintDialogs* PrintDialogs = nullptr;
        /// The input boxes of the table commands; null: Qt's input dialog.
        TInputBoxes* InputBoxes = nullptr;
        /// Opens link targets; null: the desktop's handler.
        TDesktopShell* Shell = nullptr;
    };

    /// Creates the window for a command line (the arguments after the program name) with the
    /// program's directory; changes the process's current directory to the working directory.
    TFormED(const std::vector<std::string>& arguments, const std::filesystem::path& exeDir, TServices services);
    ~TFormED() override;

    [[nodiscard]] TRunState& RunState() noexcept { return Run_; }
    [[nodiscard]] TDocumentSession& Session() noexcept { return *Session_; }
    [[nodiscard]] TEditorDocument& Document() noexcept { return *Doc_; }
    [[nodiscard]] TMruList& RecentFiles() noexcept { return LMru; }
    /// The print component and the printer it prints on (null when none is installed).
    [[nodiscard]] TRVPrint& PrintComponent() noexcept { return RVPrint1; }
    [[nodiscard]] TQtPrinter* Printer() const noexcept { return Printer_.get(); }
    /// The page setup dialog and the preview window, made once when the window is made.
    [[nodiscard]] TfrmPageSetup* PageSetupDialog() const noexcept { return frmPageSetup; }
    [[nodiscard]] TfrmPreview* PreviewWindow() const noexcept { return frmPreview; }
    /// The page settings of the run (header and footer records, first page number, paper).
    [[nodiscard]] TPageState& PageState() noexcept { return PageState_; }
    [[nodiscard]] TDocViewEditWidget* Editor() const noexcept { return rve; }
    [[nodiscard]] QString ModifiedNoticeText() const;
    [[nodiscard]] QString HintText() const;
    /// The host document mode of ".dvl" documents is on.
    [[nodiscard]] bool HostDocumentMode() const noexcept { return HostMode_; }
    /// A long step is running.
    [[nodiscard]] bool Busy() const noexcept { return Busy_; }

    /// The spell checker and the languages the "Sprache auswählen" menu offers (empty when spelling
    /// is unavailable).
    [[nodiscard]] TSpellChecker& SpellChecker() noexcept { return SpellChecker1; }
    [[nodiscard]] const std::vector<TSpellListObj>& SpellLanguages() const noexcept { return SpellLanguages_; }
    /// The display name of the chosen language; empty when none is chosen.
    [[nodiscard]] const std::string& SpellLanguageName() const noexcept { return SpellLanguageName_; }
    /// The words the user chose to ignore or change everywhere, kept for the rest of the run.
    [[nodiscard]] TRVXQSpell& SpellBridge() noexcept { return *RVXQSpell1; }
    /// A check of the document is running: the window refuses to close.
    [[nodiscard]] bool SpellCheckRunning() const noexcept { return SpellCheckRunning_; }

    /// Spelling while typing; null when spelling is unavailable.
    [[nodiscard]] TRVLiveSpelling* LiveSpelling() const noexcept { return Live_.get(); }
    /// Removes the live marks of word (UTF-8, letter case counts) in text of language: the spelling
    /// check's "ignore all" and "change all".
    void UnmarkWord(const std::string& word, int language);
    /// Quiet time after a change before spelling while typing reads on, and how long marks of a
    /// single check (spelling while typing off) stay.
    static constexpr int LiveSpellingQuietMs = 50;
    static constexpr int SingleCheckMs = 2000;

    /// A later start asked this instance to come forward.
    void RestoreAndRaise();

    /// Inserts a table of columns x rows empty cells at the caret, named "TAB", with the look of
    /// new tables; its preferred width is preferredWidth when usePreferredWidth is set (10000
    /// meaning automatic), else automatic.
    void InsertTable(int columns, int rows, bool usePreferredWidth, std::int32_t preferredWidth);

    // TSessionWindow
    void SetCaption(std::string_view caption) override;
    void SetModifiedNotice(std::string_view text) override;
    void DocumentFormatted(bool fromTop) override;
    void DocumentReplaced(bool loaded) override;
    void SyncControls() override;
    void UpdateUndoControls() override;
    void EnterHostDocumentMode() override;
    void CloseWindow() override;
    void RunLong(std::string_view notice, const std::function<void()>& work) override;
    TAutoTextOutcome ShowAutoText(int dialogMode) override;
    void AssignSoftPageBreaks() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Construction (FormEDCommands.cpp).
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    QAction* MenuItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut = {});
    QAction* ToolButton(QToolBar* bar, const char* name, int icon, const char* hint);
    QMenu* SubMenu(QMenu* menu, const char* name, const char* caption);

    // The editor's events and the edit commands (FormED.cpp).
    void ConnectEditor();
    /// "&Löschen" follows the selection (UpdateUndoControls runs it too).
    void UpdateSelectionControls();
    /// "&Einfügen" and its button follow what the clipboard holds.
    void UpdatePasteControls();
    /// Runs an edit command on the editor, then focuses it.
    void EditCommand(const std::function<void(TDocViewEdit&)>& command);

    // Start-up and commands (FormED.cpp).
    void FormCreate(const std::vector<std::string>& arguments, const std::filesystem::path& exeDir);
    void FillCombos();
    void WmAfterShow();
    void RebuildRecentMenu();
    void ToggleControlChars();
    void ShowHelp();
    void ShowAbout();
    /// Runs a command; an error of the engine is told instead of ending the program.
    void Guarded(const std::function<void()>& command);

    // Inserting lines and pictures, the document's background picture (FormEDInsert.cpp).
    void ConnectInsertCommands();
    void mitInsertLineClick();
    /// The picture dialog titled "Bild einfügen"; nothing while a long step runs or when cancelled.
    [[nodiscard]] std::optional<std::filesystem::path> ChoosePictureFile();
    void mitInsertPictureClick();
    void mitDocBackgroundClick();
    /// The background style submenu opens: the current style is checked, and the placements are
    /// offered only while one is set.
    void mnuDocBackStylePopup();
    void mitDocBackStyleClick(int style);

    // Tables: inserting them, the table commands, background pictures of tables and cells, the
    // table menus following the caret (FormEDTables.cpp).
    void ConnectTableCommands();
    /// "Benutzerdefiniert ...": the insert table dialog, at the copy button's bottom-right corner.
    void mitInsertTableCustomClick();
    /// The table at the caret (looked for from the cell being edited outwards), the editor whose
    /// document holds it and its index there; false when there is none. With forChange, also
    /// false when the editor may not be changed.
    [[nodiscard]] bool CaretTable(bool forChange, TCustomDocViewEdit*& editor, TRVTableItemInfo*& table, int& itemNo);
    /// Runs change on the table at itemNo of editor as one undo step; the view and the controls
    /// follow.
    void ChangeTable(TCustomDocViewEdit& editor, int itemNo, const std::function<bool(TRVTableChanges&)>& change);
    /// The table commands by number: 1 to 4 insert a row above or below, a column left or right;
    /// 5 and 6 delete the selected rows or columns; 7 merges the selected cells; 11 and 12 split
    /// them into columns or rows.
    void TableCommand(int number);
    /// Deletes the selected rows (or columns), the whole table when they are all of them.
    void DeleteTableRowsOrCols(TCustomDocViewEdit& editor, TRVTableItemInfo& table, int itemNo, bool rows);
    void SplitTableCells(TCustomDocViewEdit& editor, int itemNo, bool vertically);
    /// The picture dialog titled "Bild einfügen", the chosen file as a bitmap; null when cancelled
    /// or, after telling so, when the file cannot be read.
    [[nodiscard]] std::unique_ptr<TBitmap> ChooseBackgroundBitmap();
    /// The cell the cell-picture commands work on: the cell being edited, else EditedCell, else
    /// the first selected cell; false when the table has none of these.
    [[nodiscard]] bool PictureCell(const TRVTableItemInfo& table, int& row, int& col) const;
    void mitTableBackgroundClick();
    void mitCellBackgroundClick();
    /// A style submenu opens: the style of the table (or of the cell) is checked; the styles are
    /// offered while there is a picture to place.
    void mnuTableBackStylePopup(bool cell);
    void TableBackStyleClick(bool cell, int style);
    /// The four table menus are enabled exactly when the caret is in a table.
    void UpdateTableMenus();
    /// The left mouse button was released over the document: EditedCell follows the caret.
    void rveLeftMouseUp();

    // The element dialogs and the editor's context menu (FormEDElements.cpp).
    void ConnectElementCommands();
    /// The right mouse button was released over the document: the context menu opens by itself
    /// when the item at the caret is not text, the caret is in a table cell, or it is in a word
    /// live spelling marked.
    void rveRightMouseUp();
    /// The context menu's entries for the caret and the selection now; entries of other features
    /// go above "Element bearbeiten".
    void PopulateContextMenu();
    /// "Element bearbeiten": the properties of the picture or line at the caret, or of the table
    /// whose cell holds the caret.
    void Elementbearbeiten1Click();
    void EditPictureProperties();
    void EditLineProperties();
    void EditTableProperties();
    /// "Aufzählung/Nummerierung...": the dialog's list for the selected paragraphs.
    void AufzhlungNummerierung1Click();
    /// "Sonderzeichen...": the chosen character at the caret.
    void mitSymbolClick();
    /// The fonts of the font box.
    [[nodiscard]] QStringList FontBoxEntries() const;

    // Finding and replacing (FormEDSearch.cpp).
    void ConnectSearchCommands();
    /// "Suchen..." and "Suchen und ersetzen...": the other dialog closes, the selection's first
    /// line becomes the text to find, and the dialog shows (modeless).
    void Suchen1Click();
    void Suchenundersetzen1Click();
    void ShowSearchDialog(bool replace);
    void fddFind();
    void rdFind();
    void rdReplace(bool all);
    /// SearchText with the dialog's text and options; "Nicht gefunden!" under caption when none.
    bool FindNextOf(TFindReplaceDialog& dialog, const std::string& caption, bool tell = true);

    // Printing, page breaks and the PDF export (FormEDPrint.cpp).
    void ConnectPrintCommands();
    /// The checks before printing: something to print and a printer; false after telling why.
    [[nodiscard]] bool MayPrint();
    /// The PDF printer without a file asks for one; false when the user cancelled.
    [[nodiscard]] bool ChoosePdfFileIfNone();
    /// The print colour mode for the printer's device settings.
    void SetPrintColorMode(TQtPrinter& printer);
    /// Lays the document out for printer and cuts it into pages; the page count.
    int Paginate(TQtPrinter& printer);
    /// Prints pages first..last (all with last 0) on the window's printer; a failure is told.
    void PrintPages(int first, int last, int copies, bool collate);
    void btnPrintClick();
    /// "Drucken...": true when the user confirmed the print dialog.
    bool mitPrintClick();
    void mitPageSetupClick();
    /// The page setup dialog and the preview window, once the page settings have their defaults.
    void CreatePrintDialogs();
    void mitPreviewClick();
    void btnPageBreaksClick();
    void mitExportPdfClick();

    // Hyperlinks: the two commands, Ctrl+click, the end of a link while typing, the hint over
    // links (FormEDHyperlinks.cpp).
    void ConnectHyperlinkCommands();
    void HYeditClick();
    void HYDeleteClick();
    void rveJump(TCustomDocViewEdit& sender, int id);
    void rveKeyDown(int key);
    void rveMouseMove(QPoint clientPoint);

    // Formatting commands and the controls that follow the caret (FormEDFormatting.cpp).
    void ConnectFormatting();
    void DisconnectFormatting();
    [[nodiscard]] TTextConversionInput TextConversionInput() const;
    void TextConversion(int code);
    void ParaConversion(int code);
    void ApplyParaStyle(int paraNo);
    /// A character item whose check mark the click inverted: convert with code.
    void CharacterCommand(QAction* item, int code);
    void FontDialogCommand();
    void TextColorCommand();
    void TextBackColorCommand();
    void ParaColorCommand();
    void cmbFontClick();
    void cmbFontSizeClick();
    /// The size box lost the focus: its text is applied when the user changed it.
    void cmbFontSizeExit();
    /// Refills the size list for the font in the font box and selects the current size.
    void FillFontSizes();
    void cmbParaClick();
    void FrameCommand(int paraNo);
    void BulletsCommand();
    void NumberingCommand();
    /// Presses the alignment button for a paragraph style: by its number 0..3 (byAlignment false),
    /// or the button of the style's alignment.
    void PressAlignment(int paraNo, bool byAlignment);
    void FocusEditorWhenVisible();
    /// The controls for a text style and a paragraph style; the list state for an item of data,
    /// or for the item at the caret of the innermost editor (a table cell being edited has its own).
    void SyncTextControls(int textStyleNo, int paraNo);
    void SyncParaControls(int paraNo);
    void SyncListState(const TCustomRVData& data, int itemNo);
    void SyncCaretListState();
    void rveCurTextStyleChanged();
    void rveCurParaStyleChanged();
    void rveCaretMove();

    TRunState Run_;
    TServices Services_;
    /// Ends its ispell processes when the window goes.
    TSpellChecker SpellChecker1;
    std::vector<TSpellListObj> SpellLanguages_;
    std::string SpellLanguageName_;
    /// "DOIT" of the spelling settings: spelling while typing was switched on.
    bool SpellWhileTyping_ = false;
    void SetUpSpelling();
    void SelectSpellLanguage(int index);
    void mitLanguageClick(int index);
    // The check of the document with the spelling dialog (FormEDSpelling.cpp).
    std::unique_ptr<TRVXQSpell> RVXQSpell1;
    bool SpellCheckRunning_ = false;
    void ConnectSpellingCommands();
    /// "Prüfung durchführen" and the spelling button: checks the document from its start.
    void Enable1Click();
    void RVXQSpell1SpellForm(TSpellForm& form);
    void RVXQSpell1SpellFormAction(const std::string& word, const std::string& replaceTo,
                                   TRVXQSpellFormAction action, int language);

    // Spelling while typing (FormEDLiveSpelling.cpp).
    void SetUpLiveSpelling();
    void mitLiveSpellingClick(bool checked);
    /// Starts the check of the whole document again (StartBackgroundSpelling).
    void StartLiveSpelling();
    /// Ends it and removes every mark (StopBackgroundSpelling).
    void StopLiveSpelling();
    /// After a new document, a load or another language: spelling while typing starts again; when it
    /// is off, the document is checked once and the marks go after SingleCheckMs.
    void RestartLiveSpelling();
    /// The document changed: the words around the change are read again after the quiet time.
    void LiveSpellingChanged();
    /// The caret moved: a word being typed that it left is checked now.
    void LiveSpellingCaretMoved();
    void LiveSpellingStep();
    void LiveSpellingAnswers();
    void ScheduleLiveSpelling(int delayMs);
    /// The caret stands in a word live spelling marked: a right click opens the context menu.
    [[nodiscard]] bool MarkedWordAtCaret();
    /// Puts the entries for the marked word at the caret into the context menu above "Element
    /// bearbeiten" - up to five suggestions, "Ignorieren" and "Hinzufügen" - and takes those of
    /// an earlier word out; false when the caret is on no marked word.
    bool AddSpellingEntries();
    std::unique_ptr<TRVLiveSpelling> Live_;
    QTimer* LiveTimer_ = nullptr;
    /// Ends a single check (spelling while typing off).
    QTimer* SPT = nullptr;
    /// The entries AddSpellingEntries put into the context menu.
    std::vector<QAction*> SpellingMenuEntries_;
    /// A character was typed since the last change was told.
    bool LiveTyped_ = false;
    bool LiveTypingHooked_ = false;
    /// A change came while a long step ran on its thread.
    std::atomic<bool> LiveChangedWhileBusy_{false};
    std::unique_ptr<TMessageBoxes> OwnBoxes_;
    TMessageBoxes* Boxes_ = nullptr;
    std::unique_ptr<TPictureDialog> OwnPictureDialog_;
    TPictureDialog* PictureDialog_ = nullptr;
    std::unique_ptr<TQtCanvas> MeasureCanvas_;
    std::unique_ptr<TQtClipboard> Clipboard_;
    std::unique_ptr<TFindReplaceDialog> fdd_;
    std::unique_ptr<TFindReplaceDialog> rd_;
    std::unique_ptr<TEditorDocument> Doc_;
    TMruList LMru;
    /// The printer the window prints on (null when none is installed), before the print component
    /// and the page setup that use it, so that it goes after them.
    std::unique_ptr<TQtPrinter> Printer_;
    std::unique_ptr<TPrintDialogs> OwnPrintDialogs_;
    TPrintDialogs* PrintDialogs_ = nullptr;
    std::unique_ptr<TInputBoxes> OwnInputBoxes_;
    TInputBoxes* InputBoxes_ = nullptr;
    /// The page settings of the run, and the print component (RVPrint1) whose margins they set
    /// and whose pages get their header and footer from them.
    TPageState PageState_;
    TRVPrint RVPrint1;
    TPageSetup PageSetup_{PageState_, RVPrint1};
    std::unique_ptr<TDocumentSession> Session_;

    bool Shown_ = false;
    bool HostMode_ = false;
    bool Busy_ = false;
    bool InCloseQuery_ = false;

public:
    // The controls, named as the program's design names them (mit: menu item, btn: toolbar
    // button, cmb: combo box). Public for the tests that drive the window.
    TDocViewEditWidget* rve = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mitNew = nullptr;
    QAction* sepAfterNew = nullptr;
    QAction* mitOpen = nullptr;
    QAction* mitReopen = nullptr;
    QAction* sepAfterReopen = nullptr;
    QAction* mitSave = nullptr;
    QAction* mitClose = nullptr;
    QAction* mitUndo = nullptr;
    QAction* mitRedo = nullptr;
    QAction* mitDelete = nullptr;
    QAction* mitCut = nullptr;
    QAction* mitCopy = nullptr;
    QAction* mitPaste = nullptr;
    QAction* mitSelectAll = nullptr;
    QAction* mitSelectWord = nullptr;
    QAction* mitFind = nullptr;
    QAction* mitReplace = nullptr;
    /// The find and the replace dialog, created when first shown.
    [[nodiscard]] TFindReplaceDialog* FindDialog() const noexcept { return fdd_.get(); }
    [[nodiscard]] TFindReplaceDialog* ReplaceDialog() const noexcept { return rd_.get(); }
    QAction* mitInsertPageBreak = nullptr;
    QAction* mitRemovePageBreak = nullptr;
    std::array<QAction*, TMruList::DefaultMaxShowCount> mitRecent{};
    QAction* mitBold = nullptr;
    QAction* mitItalic = nullptr;
    QAction* mitUnderline = nullptr;
    QAction* mitStrikeOut = nullptr;
    QAction* mitOverline = nullptr;
    QAction* mitAllCaps = nullptr;
    QAction* mitSpacing100 = nullptr;
    QAction* mitSpacing150 = nullptr;
    QAction* mitSpacing200 = nullptr;
    QAction* mitSpellCheck = nullptr;
    QAction* mitLiveSpelling = nullptr;
    QMenu* mnuLanguage = nullptr;
    QMenu* mnuContext = nullptr;
    /// The context menu's "Element bearbeiten".
    QAction* mitElementEdit = nullptr;
    QAction* mitBulletsDialog = nullptr;
    QAction* mitSymbol = nullptr;
    /// The element properties dialog, made when first needed and kept, with its border state.
    TfrmProp* frmProp = nullptr;
    /// Shows the context menu at a point of the screen (tests replace it to see what would show).
    std::function<void(QMenu& menu, const QPoint& globalPos)> PopupContextMenu;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QAction* btnBold = nullptr;
    QAction* btnItalic = nullptr;
    QAction* btnUnderline = nullptr;
    std::array<QAction*, 4> btnAlign{};
    QAction* btnOpen = nullptr;
    QAction* btnSave = nullptr;
    QAction* btnNew = nullptr;
    QAction* btnUndo = nullptr;
    QAction* btnRedo = nullptr;
    QAction* btnSpelling = nullptr;
    QAction* btnControlChars = nullptr;
    QAction* mitPageSetup = nullptr;
    QAction* mitPreview = nullptr;
    QAction* mitPrint = nullptr;
    QAction* mitExportPdf = nullptr;
    QAction* btnPreview = nullptr;
    TfrmPageSetup* frmPageSetup = nullptr;
    TfrmPreview* frmPreview = nullptr;
    QAction* btnPrint = nullptr;
    QAction* btnPageBreaks = nullptr;
    QAction* mitInsertLine = nullptr;
    QAction* mitInsertPicture = nullptr;
    QAction* mitDocBackground = nullptr;
    QMenu* mnuDocBackStyle = nullptr;
    /// "Bild entfernen" ... "Bild zentrieren": background style 0 to 4.
    std::array<QAction*, 5> mitDocBackStyle{};
    // Tables.
    QMenu* mnuInsertTable = nullptr;
    QAction* mitTable1x1 = nullptr;
    QAction* mitTable1x2 = nullptr;
    QAction* mitTable2x2 = nullptr;
    QAction* mitTableCustom = nullptr;
    /// The four menus of the table at the caret; disabled outside a table.
    QMenu* mnuTableInsert = nullptr;
    QMenu* mnuTableDelete = nullptr;
    QMenu* mnuTableOps = nullptr;
    QMenu* mnuTablePictures = nullptr;
    QAction* mitRowAbove = nullptr;
    QAction* mitRowBelow = nullptr;
    QAction* mitColLeft = nullptr;
    QAction* mitColRight = nullptr;
    QAction* mitDeleteRow = nullptr;
    QAction* mitDeleteCol = nullptr;
    QAction* mitMergeCells = nullptr;
    QAction* mitSplitVertical = nullptr;
    QAction* mitSplitHorizontal = nullptr;
    QAction* mitTableBackground = nullptr;
    QAction* mitCellBackground = nullptr;
    QMenu* mnuTableBackStyle = nullptr;
    QMenu* mnuCellBackStyle = nullptr;
    /// "Bild entfernen" ... "Bild zentrieren": background style 0 to 3 of the table, of the cell.
    std::array<QAction*, 4> mitTableBackStyle{};
    std::array<QAction*, 4> mitCellBackStyle{};
    /// The cell that was being edited when the left mouse button was last released over the
    /// document: (-1, -1) when the caret was in a table but in none of its cells, (0, 0) when it
    /// was in no table.
    struct TEditedCell {
        int Row = 0;
        int Col = 0;
        [[nodiscard]] bool operator==(const TEditedCell&) const = default;
    };
    TEditedCell EditedCell;
    // Hyperlinks.
    QAction* mitHyperlinkEdit = nullptr;
    QAction* mitHyperlinkRemove = nullptr;
    /// The hyperlink dialog, made with the window and kept.
    TTxTHyper* TxTHyper = nullptr;
    QAction* btnCopy = nullptr;
    QAction* btnCut = nullptr;
    QAction* btnPaste = nullptr;
    QComboBox* cmbFont = nullptr;
    QComboBox* cmbFontSize = nullptr;
    QComboBox* cmbPara = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QProgressBar* BusyBar = nullptr;

    // Formatting: the controls and the state the commands read.
    QAction* mitBackColor = nullptr;
    QAction* mitParaColor = nullptr;
    QAction* mitIndentInc = nullptr;
    QAction* mitIndentDec = nullptr;
    QAction* mitFont = nullptr;
    QAction* mitSingleFrame = nullptr;
    QAction* mitDoubleFrame = nullptr;
    QAction* mitBullets = nullptr;
    QAction* mitNumbering = nullptr;
    QAction* btnTextColor = nullptr;
    QAction* btnIndentInc = nullptr;
    QAction* btnIndentDec = nullptr;
    /// The font chosen in the font box (text conversion tcFontName).
    std::string ConvFontName;
    /// The size chosen in the size box (text conversion tcFontSize).
    std::int32_t ConvFontSize = 10;
    /// Which of "Gross- / Kleinbuchstaben" and "Überstrich" was used last (TCaseOrOverline).
    int CaseOrOverline = coNone;
    /// The list at the caret, for the list commands and the bullets dialog.
    TCaretListState ListState;

private:
    std::unique_ptr<TFormatDialogs> OwnFormatDialogs_;
    TFormatDialogs* FormatDialogs_ = nullptr;
    /// The answers of the last font or colour dialog, read by the conversions.
    TFontDescription DialogFont_;
    TColor DialogTextColor_ = 0;
    TColor DialogBackColor_ = clWhite;
    TColor DialogParaColor_ = clWhite;
    /// The size box is committing its text.
    bool InSizeCommit_ = false;
    /// The size box's text as the caret last set it or the user last applied it.
    QString SizeBoxText_;
    std::unique_ptr<TDesktopShell> OwnShell_;
    TDesktopShell* Shell_ = nullptr;
};

} // namespace xq

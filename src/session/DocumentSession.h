// TDocumentSession: the one document the editor holds - how it comes in (new, AutoText entry, host
// document, recent file), how it leaves (Save, WriteDocument, the new-entry hand-over), the questions
// before changes are dropped, the modified state and the window captions. No widget lives here: the
// session speaks to its window through TSessionWindow and asks the user through TMessageBoxes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/DocumentInfo.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/MessageBoxes.h"
#include "printing/PageSettings.h"
#include "printing/ScreenPageSize.h"
#include "session/StartUp.h"
#include "tools/AutoTextStore.h"

namespace xq {

class TCanvas;
class TMruList;

// Texts of the session.
inline constexpr std::string_view ModifiedNotice = "  Autotext wurde geändert";
inline constexpr std::string_view SaveQuestion = "Autotext jetzt speichern ?";
inline constexpr std::string_view SaveQuestionCaption = "Autotext wurde geändert";
inline constexpr std::string_view WriteFailedText = "Format wird nicht unterstützt";
inline constexpr std::string_view WriteFailedCaption = "Fehler bei Speicherung";
inline constexpr std::string_view WriteProtectedText =
    "Die Datei ist schreibgeschützt und wurde nicht überschrieben.";
inline constexpr std::string_view ReadFailedText = "Es konnten nicht alle Formatierungen des Dokuments gelesen werden!";
inline constexpr std::string_view ReadFailedCaption = "Fehler Datei öffnen";
inline constexpr std::string_view TooLargeText =
    "Das Dokument ist zu groß und kann nicht geöffnet werden: Es hat mehr als 4.000.000 Absätze und Elemente.";
inline constexpr std::string_view EntryMissingText = "Autotexteintrag ist nicht vorhanden";
inline constexpr std::string_view EntryMissingCaption = "Fehler";
inline constexpr std::string_view UnicodeWarningText =
    "Laden/Einfügen von Unicode unter Benutzung von nicht Unicode Text.\rText wird konvertiert.";
inline constexpr std::string_view UnicodeWarningCaption = "Warnung";
inline constexpr std::string_view HandOverFailedText =
    "Der neue Autotext-Eintrag wurde gespeichert, sein Name konnte aber nicht an das aufrufende Programm "
    "übergeben werden.";
// Shown in the status bar while a long step runs.
inline constexpr std::string_view LoadingNotice = " Dokument wird geladen ...";
inline constexpr std::string_view SavingNotice = " Dokument wird gespeichert ...";
inline constexpr std::string_view FormattingNotice = " Dokument wird formatiert ...";

/// The document the editor shows: the main window's style sheet, the editor control that holds the
/// items with their layout, caret and undo lists, and what a file carries besides them.
struct TEditorDocument {
    TEditorDocument();
    TEditorDocument(const TEditorDocument&) = delete;
    TEditorDocument& operator=(const TEditorDocument&) = delete;

    [[nodiscard]] TRVEditRVData& Data() noexcept { return Editor.RVData(); }
    [[nodiscard]] const TRVEditRVData& Data() const noexcept { return Editor.RVData(); }

    TRVStyle RStyle;
    TDocViewEdit Editor{&RStyle};
    TRVDocumentInfo Info;
};

/// A document without content: no items, or a single empty text item (what is left when everything
/// has been deleted).
[[nodiscard]] bool IsEmptyDocument(const TCustomRVData& data);

/// What the session needs of the window that shows it.
class TSessionWindow {
public:
    virtual ~TSessionWindow() = default;
    virtual void SetCaption(std::string_view caption) = 0;
    /// Status-bar panel 0: the modified notice or nothing.
    virtual void SetModifiedNotice(std::string_view text) = 0;
    /// The document was laid out anew; fromTop: a new document, shown from its beginning.
    virtual void DocumentFormatted(bool fromTop) = 0;
    /// The toolbar's controls follow the formatting where the caret stands.
    virtual void SyncControls() = 0;
    /// The undo and redo commands follow the editor's undo and redo lists.
    virtual void UpdateUndoControls() = 0;
    /// A ".dvl" host document is open: the reduced "&Datei" menu and the wide save button.
    virtual void EnterHostDocumentMode() = 0;
    /// Closes the main window at the end of the new-entry hand-over.
    virtual void CloseWindow() = 0;
    /// Runs a step that may take long (reading, writing, laying out) with the hourglass and a notice
    /// in the status bar; the window keeps painting meanwhile but takes no input.
    virtual void RunLong(std::string_view notice, const std::function<void()>& work) = 0;
    /// Shows the AutoText dialog modally in a mode.
    virtual TAutoTextOutcome ShowAutoText(int dialogMode) = 0;
    /// Paginates the document for the printer and, when it has more than one page, puts the page
    /// starts into the editor as soft page breaks.
    virtual void AssignSoftPageBreaks() = 0;
    /// The document was replaced: a new one (loaded false) or one read from a file.
    virtual void DocumentReplaced(bool loaded) {}
};

/// The page of the current printer, or none when no printer is installed.
using TPrinterPageQuery = std::function<std::optional<TPrinterPageMetrics>()>;

class TDocumentSession {
public:
    /// canvas is what the document is measured on; pageSetup holds the page settings of the
    /// documents (the session answers its text width and change events while it lives). All
    /// references must outlive the session.
    TDocumentSession(TRunState& run, TEditorDocument& document, TCanvas& canvas, TSessionWindow& window,
                     TMessageBoxes& boxes, TMruList& mru, TPrinterPageQuery printerPage, TPageSetup& pageSetup);
    ~TDocumentSession();
    TDocumentSession(const TDocumentSession&) = delete;
    TDocumentSession& operator=(const TDocumentSession&) = delete;

    // --- Coming in ------------------------------------------------------------------------------
    /// Starts an empty document after asking about unsaved changes; startUp keeps the page settings.
    void New(bool startUp);
    /// Empties the document without asking (after a save question).
    void ClearUntitled();
    /// The entry open: asks about changes, lets the user choose an AutoText entry and opens it.
    void open();
    /// The host open: the document named on the command line, or the recent file being opened.
    void OpenvonKom();
    /// A recent file was chosen in the menu.
    void LMruMruClick(const std::string& path);

    // --- Leaving --------------------------------------------------------------------------------
    /// Writes a named document back; names a new one as an AutoText entry, writes it, hands its name
    /// to the host and closes the window.
    void Save();
    /// Writes the document to path in the format of its extension; a failure is told and remembered.
    void WriteDocument(const std::filesystem::path& path);
    /// The question before New: true when the caller may go on.
    [[nodiscard]] bool NewQuery();
    /// The question before open and before closing: true when the caller may go on.
    [[nodiscard]] bool SwitchQuery();
    /// The window was asked to close: true when it may.
    [[nodiscard]] bool FormCloseQuery();

    // --- Start ----------------------------------------------------------------------------------
    /// When the window is shown: opens the host document of the command line.
    void FormShow();
    /// After the window appeared: the first dialog of the start mode.
    void WmAfterShow();

    // --- State ----------------------------------------------------------------------------------
    /// The editor reports a change of its content.
    void rveChange();
    /// Marks the document modified without touching the status bar (page setup, background pictures).
    void SetModified() noexcept { Run_.Modified = true; }
    /// The printable page in screen pixels within the print component's margins: the default
    /// printer's page, or the document's page without one.
    [[nodiscard]] TSize GetScreenPageSize() const;
    [[nodiscard]] TPageSetup& PageSetup() noexcept { return PageSetup_; }
    /// After a load: the controls, the text width from the page, the layout, the soft page breaks.
    void PrepareLoadedDocument();
    /// Inserts the AutoText entry at path at the caret (replacing the selection), lays the document out
    /// again and scrolls back to where the view was; an entry that cannot be read is told.
    void InsertEntry(const std::filesystem::path& path);

    [[nodiscard]] int AutoTextDialogMode() const noexcept { return DialogMode_; }
    /// The window has been closed by the new-entry hand-over; nothing more happens.
    [[nodiscard]] bool Finished() const noexcept { return Finished_; }

private:
    enum class TAnswer { Save, Discard, Cancel };
    [[nodiscard]] TAnswer AskSave();
    /// The common part of New and ClearUntitled.
    void ClearDocument(bool startUp, std::string_view caption);
    /// Lays the document out at the printed line width, the caret at its start; a document without
    /// items first gets an empty paragraph for the caret to stand in.
    void SetTextWidthAndFormat(bool fromTop);
    /// The editor's line width from the printed page; returns it.
    int ApplyTextWidth();
    /// The page changed under the document: laid out again, caret and selection where they were.
    void Reformat();
    /// After a file was read into the document: no layout, no caret, no undo, not modified.
    void ForgetEditState();
    /// Loads path into the document; false (after telling the user) when the reader failed.
    bool LoadFile(const std::filesystem::path& path);
    void OpenEntry(const std::filesystem::path& path);
    void FinishNewEntry();
    void Message(std::string_view text, std::string_view caption, TMsgIcon icon);

    TRunState& Run_;
    TEditorDocument& Doc_;
    TSessionWindow& Window_;
    TMessageBoxes& Boxes_;
    TMruList& Mru_;
    TPrinterPageQuery PrinterPage_;
    TPageSetup& PageSetup_;

    // The recent file being opened.
    std::string MruDir_;
    std::string MruName_;
    bool OpenFromMru_ = false;
    bool SaveFailed_ = false;
    /// AutoText dialog state that outlives one showing.
    int DialogMode_ = 0;
    std::filesystem::path EntryPath_;
    std::string LastEntryName_;
    /// A new entry was named but its file could not be written: the next successful Save of it
    /// completes the hand-over.
    bool UnwrittenEntry_ = false;
    bool Finished_ = false;
};

} // namespace xq

// TCustomDocViewEdit: the editor control of the engine - it owns the editable container, the
// caret with the current styles, the selection and the editor's settings and events, and turns
// abstract keys and mouse actions into caret moves and selections. TDocViewEdit is the main
// window's configuration of it. The widget forwards input here and draws what it is told.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/Graphic.h"
#include "document/ItemInfo.h"
#include "document/StyleTypes.h"
#include "editing/EditRVData.h"
#include "editing/EditTypes.h"
#include "editing/ItemResizer.h"
#include "editing/Undo.h"
#include "formats/rtf/RtfImport.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/rvf/RvfTypes.h"
#include "platform/Clipboard.h"

namespace xq {

class TCustomDocViewEdit;
class TRVEditStep;
class TRVMarkerItemInfo;
class TRVTableChanges;
class TRVTableInplaceEdit;
class TRVTableItemInfo;

using TRVNotifyEvent = std::function<void(TCustomDocViewEdit& sender)>;
/// Asked before a modification; setting canEdit to false cancels it.
using TRVChangingEvent = std::function<void(TCustomDocViewEdit& sender, bool& canEdit)>;
/// Told before a typed character changes an item's text (oldText is the text before); may give
/// the item another tag or text style.
using TRVItemTextEditEvent = std::function<void(TCustomDocViewEdit& sender, const std::string& oldText,
                                                TCustomRVData& rvData, int itemNo, std::string& newTag, int& newStyleNo)>;
/// Before a paste; setting doDefault to false means the handler pasted (or refused) itself.
using TRVPasteEvent = std::function<void(TCustomDocViewEdit& sender, bool& doDefault)>;
using TRVDropFilesEvent = std::function<void(TCustomDocViewEdit& sender, const std::vector<std::filesystem::path>& files,
                                             bool& doDefault)>;
using TRVOleDropEvent =
    std::function<void(TCustomDocViewEdit& sender, const TClipboard& data, TRVDropEffects& effect, bool& doDefault)>;
using TRVOnCaretGetOutEvent = std::function<void(TCustomDocViewEdit& sender, TRVGetOutDirection direction)>;
/// A link was Ctrl+clicked: id is its jump number in the layout of sender, the editor whose
/// document holds it (the editor of a table cell for a link in a cell).
using TRVJumpEvent = std::function<void(TCustomDocViewEdit& sender, int id)>;
/// Asked for the text style and tag a link coming in from outside gets: target is its address,
/// extras its text, docFormat where it comes from (rvlfURL: a dropped link); styleNo comes in as
/// the current text style.
using TRVEditReadHyperlinkEvent = std::function<void(TCustomDocViewEdit& sender, const std::string& target,
                                                     const std::string& extras, int docFormat, int& styleNo,
                                                     std::string& tag)>;
/// The docFormat of a link dropped from a browser.
inline constexpr int rvlfURL = 4;

// --- Styles and lists ------------------------------------------------------------------------------
/// Asked for the style that replaces styleNo (newStyleNo comes in as styleNo); appliedToText is
/// false when only the current text style of an empty selection is converted.
using TRVStyleConversionEvent = std::function<void(TCustomDocViewEdit& sender, int styleNo, int userData,
                                                   bool appliedToText, int& newStyleNo)>;

/// The caret movements of the keyboard.
enum class TRVCaretMove : std::uint8_t {
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    WordLeft,
    WordRight,
    DocumentStart,
    DocumentEnd,
};

/// Whether a caret move takes the selection along from its anchor or removes it.
enum class TRVSelectionUpdate : std::uint8_t { Collapse, Extend };

class TCustomDocViewEdit {
public:
    explicit TCustomDocViewEdit(TRVStyle* sheet = nullptr);
    virtual ~TCustomDocViewEdit();
    TCustomDocViewEdit(const TCustomDocViewEdit&) = delete;
    TCustomDocViewEdit& operator=(const TCustomDocViewEdit&) = delete;

    [[nodiscard]] TRVEditRVData& RVData() noexcept { return Data_; }
    [[nodiscard]] const TRVEditRVData& RVData() const noexcept { return Data_; }
    [[nodiscard]] TRVStyle* GetRVStyle() const noexcept { return Data_.GetRVStyle(); }

    // --- Settings ---------------------------------------------------------------------------------
    bool ReadOnly = false;
    TRVEditorOptions EditorOptions;
    /// Characters that end a word, code page 1252 bytes (see IsDelimiterAt for Unicode text).
    std::string Delimiters = DefaultDelimiters;
    /// How RVF is read into the editor (inserted fragments) and written from it.
    TRVFOptions RVFOptions = RVFDefaultOptions;
    /// How the document (or the selection) is written as RTF.
    TRVRTFOptions RTFOptions = RTFDefaultOptions;
    /// How RTF is read into the editor (opened files, pasted or inserted RTF).
    TRVRTFReaderProperties RTFReadProperties;
    /// The margins, text width limits and BiDi mode of the editor, as a saved document carries
    /// them.
    [[nodiscard]] TRVLayoutInfo LayoutInfo() const noexcept;

    // --- Events ------------------------------------------------------------------------------------
    TRVNotifyEvent OnCaretMove;
    TRVNotifyEvent OnCurTextStyleChanged;
    TRVNotifyEvent OnCurParaStyleChanged;
    /// The selection changed.
    TRVNotifyEvent OnSelect;
    /// The caret was asked to move past the start or the end of the document.
    TRVOnCaretGetOutEvent OnCaretGetOut;
    /// After every modification, Undo and Redo included.
    TRVNotifyEvent OnChange;
    /// Before every modification.
    TRVChangingEvent OnChanging;
    TRVItemTextEditEvent OnItemTextEdit;
    /// A refused edit: the widget sounds the bell.
    TRVNotifyEvent OnBeep;
    /// A picture was resized with its handles.
    TRVNotifyEvent OnItemResize;
    /// Before PasteAtCaret pastes.
    TRVPasteEvent OnPaste;
    /// After CopySelection put the selection on the clipboard.
    TRVNotifyEvent OnCopy;

    // --- Clipboard -----------------------------------------------------------------------------------
    // The editor writes and reads the clipboard it is given (the cell editors use their outer
    // editor's). The copied formats follow the view options rvoAutoCopyRVF, rvoAutoCopyText,
    // rvoAutoCopyUnicodeText (both text forms are the one plain text of the desktop),
    // rvoAutoCopyImage and rvoAutoCopyRTF.
    void SetClipboard(TClipboard* clipboard) noexcept { Clipboard_ = clipboard; }
    /// The clipboard in use: this editor's, else the outer editor's; null when none.
    [[nodiscard]] TClipboard* Clipboard() const noexcept;
    /// Puts the selection on the clipboard (a rectangle of table cells as a table of those cells).
    /// Nothing happens without a selection; returns true when at least one copy option is set.
    bool CopySelection();
    /// There is something to copy: a selection or a rectangle of table cells.
    [[nodiscard]] bool CanCopy() const;
    /// Copies the selection and deletes it as one undo step, when the editor may change (a
    /// rectangle of cells is emptied and stays).
    void CutSelection();
    /// Inserts the richest format on the clipboard at the caret, as one undo step: DocView
    /// (RVF), RTF, text, files (pictures, RVF, RTF and text files by kind), a picture. A failure
    /// beeps and leaves the document as it was.
    void PasteAtCaret();
    /// The clipboard holds something PasteAtCaret can insert.
    [[nodiscard]] bool CanPasteNow() const;
    /// The single format rules of PasteAtCaret; false when the format is missing or unreadable.
    bool PasteRVF();
    bool PasteRTF();
    bool PasteText();
    bool PastePicture();
    bool PasteFiles();

    // --- Finding text (Search.cpp) -------------------------------------------------------------------
    /// Looks for text from the selection (or the caret) on, in the direction options give, through
    /// the document and its table cells, matching within one item's text; a match in a cell edits
    /// the cell. Selects the match and scrolls to it. False when there is none, or text is empty or
    /// holds a line break; the selection then stays as it was. Never wraps around.
    bool SearchText(std::u16string_view text, TRVSearchOptions options);
    /// Selects from..to in the container that path leads to from this editor's document: each
    /// cell on the way is edited, a cell edited within the last one ends. The view does not
    /// scroll. False when a cell cannot be edited.
    bool SelectInCells(std::span<const TRVCellStep> path, TRVDocPos from, TRVDocPos to);
    /// Puts replacement over the selection of the innermost editor as one undo step (within one
    /// text item of the current style, its text changes in place); an empty replacement deletes
    /// the selection. False when it was refused.
    bool ReplaceFound(std::u16string_view replacement);
    /// The selected text of the innermost editor, paragraphs separated by CR LF; empty without a
    /// selection.
    [[nodiscard]] std::u16string SelectedText() const;
    /// When the selected text is search exactly (case counts, whatever the search options say),
    /// replaces it with replacement as one undo step; true when it did.
    bool ReplaceSelection(std::u16string_view search, std::u16string_view replacement);
    /// Replaces the selection when it is search, then every occurrence SearchText finds after it,
    /// and returns how many were replaced. The whole run is one undo step; a replacement is
    /// never searched again.
    int ReplaceAll(std::u16string_view search, std::u16string_view replacement, TRVSearchOptions options);

    // --- Drag and drop (DragDrop.cpp) ---------------------------------------------------------------
    // The widget runs the desktop's drag; the editor says when one may start, what it carries, where
    // the drop caret goes and what a drop inserts. Coordinates are document coordinates.
    /// The kinds of data drops may bring.
    TRVDragDropFormats AcceptDragDropFormats = DefaultDragDropFormats;
    /// Before dropped files are inserted; doDefault = false means the handler took them.
    TRVDropFilesEvent OnDropFiles;
    /// Before a drop is inserted; doDefault = false means the handler took it (effect: what it did).
    TRVOleDropEvent OnOleDrop;
    /// A left press inside the selection waits for the pointer to move (unless rvoDisallowDrag):
    /// then the widget starts a drag (BeginDrag); a release without one places the caret there.
    [[nodiscard]] bool DragPending() const noexcept;
    /// Starts a drag of the selection: content receives what it offers (the formats of a copy).
    /// False when there is nothing to drag.
    bool BeginDrag(TClipboardContent& content);
    /// The drag ended with done: a move taken by another window or program deletes the dragged
    /// selection here (one undo step); a drop on this editor did its part already.
    void EndDrag(TRVDropEffects done);
    /// A drag of data is over (x, y): the drop caret goes to the place a drop would insert at.
    /// Returns the effect offered - empty when the data cannot be dropped there. A drag from
    /// outside entering a table cell edits that cell.
    TRVDropEffects DragOver(const TClipboard& data, TRVDropEffects allowed, TShiftState shift, std::int32_t x,
                            std::int32_t y);
    /// The drag left the editor: the drop caret goes.
    void DragLeave();
    /// The drop caret (document coordinates); false when there is none.
    [[nodiscard]] bool DropCaret(TRVCaretRect& rect);
    /// Drops data at (x, y) as one undo step (a move within this editor: deleting the dragged
    /// selection and inserting it, one step); the inserted content is selected. Returns the effect
    /// done, empty when nothing was dropped (a drop into the dragged selection itself).
    TRVDropEffects Drop(const TClipboard& data, TRVDropEffects allowed, TShiftState shift, std::int32_t x,
                        std::int32_t y);
    /// While dragging over the view, for the pointer at viewY (relative to the client area): the
    /// scroll units to scroll per tick: -1 within 20 pixels of the top, 1 within 20 of the bottom.
    [[nodiscard]] std::int32_t DropScrollUnits(std::int32_t viewY) const noexcept;

    // --- Modifications -------------------------------------------------------------------------------
    /// An edit may start: not read-only, a style sheet, no mouse drag, and OnChanging agrees.
    [[nodiscard]] bool AskCanEdit();
    /// AskCanEdit for the application.
    [[nodiscard]] bool CanChange() { return AskCanEdit(); }
    /// After a modification: modified, the redo list emptied (unless Undo or Redo made it),
    /// OnChange.
    void NotifyChanged(bool clearRedo = true);
    [[nodiscard]] bool Modified() const noexcept { return Modified_; }
    /// Loading, clearing and saving reset the flag; every change sets it.
    void SetModified(bool modified) noexcept { Modified_ = modified; }

    // --- Undo and redo -------------------------------------------------------------------------------
    [[nodiscard]] int UndoLimit() const noexcept { return Data_.UndoList.MaxGroups; }
    /// Takes effect with the next group; existing groups stay.
    void SetUndoLimit(int limit) noexcept { Data_.UndoList.MaxGroups = Data_.RedoList.MaxGroups = limit; }
    /// Opens an undo group for a series of operations; false when nothing is recorded.
    bool BeginUndoStep(TRVUndoType kind, const std::string& caption = {});
    /// While on, every operation joins the last group.
    void SetUndoGroupMode(bool on) noexcept { Data_.UndoList.SetGroupMode(on); }
    /// The kind of the step Undo (Redo) would take back: the cell editor's, else this editor's.
    [[nodiscard]] TRVUndoType UndoAction() const noexcept;
    [[nodiscard]] TRVUndoType RedoAction() const noexcept;
    [[nodiscard]] bool CanUndo() const noexcept { return UndoAction() != rvutNone; }
    [[nodiscard]] bool CanRedo() const noexcept { return RedoAction() != rvutNone; }
    /// Both beep and do nothing in a read-only editor and while the mouse is busy (MouseBusy).
    void Undo();
    void Redo();
    void ClearUndoHistory() noexcept;

    // --- Typing and the editing keys ---------------------------------------------------------------------
    /// A typed character (one UTF-16 unit; the two halves of a character outside the basic
    /// plane come one after the other and are inserted together). Returns false when it is no
    /// character to insert (control codes) or a selection is active; refused edits beep and
    /// return true. A carriage return, which Enter types, beeps with rvoDoNotWantReturns.
    bool KeyPress(char16_t ch);
    /// Enter (newLine false) or Shift+Enter (newLine true) at the caret.
    void InsertEnter(bool newLine);
    /// Backspace at the caret (byWord: Ctrl, the word before the caret).
    void DeleteBackward(bool byWord);
    /// Delete at the caret (one whole character).
    void DeleteForward();

    // --- Deleting and inserting ---------------------------------------------------------------------------
    /// Deletes the selection as one undo step; refused (beep) when it holds what may not go.
    void DeleteSelected();
    /// Replaces the selection by a prepared item (picture, break, bullet, hotspot, control, table,
    /// list marker) named name; false (and a beep) when it may not go there.
    bool InsertItemAtCaret(std::string name, std::unique_ptr<TCustomRVItemInfo> item);
    /// Replaces the selection by 8-bit text in the code page of the current text style. Line
    /// breaks (CR, LF, CR LF, LF CR, VT) end paragraphs, FF starts one with a page break, a TAB
    /// becomes a tab item or SpacesInTab spaces. The caret goes after the text, or before it.
    void InsertTextAtCaret(std::string_view text, bool caretAtStart = false);
    /// The same for UTF-16 text.
    void InsertWideTextAtCaret(std::u16string_view text, bool caretAtStart = false);
    /// Inserts text at the caret in the current text style (in its code page when it is an 8-bit
    /// style); false when the editor refused it.
    bool InsertTextInCurrentStyle(std::u16string_view text);
    /// Replaces the selection by an RVF document (its styles merge into the style sheet); false
    /// when it cannot be read or may not go there.
    bool InsertDocumentFromStream(std::string_view rvf);
    /// The same from a file; false when the file cannot be read.
    bool InsertDocumentFromFile(const std::filesystem::path& path);
    /// Replaces the selection by RTF, read with RTFReadProperties (styles are found or added as
    /// they say; the page parameters stay). False when nothing could be read or it may not go
    /// there; a damaged stream inserts what could be read.
    bool InsertRtfFromStream(std::string_view rtf);
    /// Starts a new page with the caret's paragraph, splitting it at the caret first.
    void InsertPageBreakAtCaret();
    /// Removes the page break before the caret's paragraph.
    void RemovePageBreakAtCaret();
    /// The caret's paragraph starts a new page.
    [[nodiscard]] bool PageBreakAtCaret() const;
    /// Gives an item another tag (one undo step; nothing when the tag is the same).
    void ChangeItemTag(int itemNo, std::string tag);
    /// Opens a direct change of an item's properties by the application; returns a token for
    /// EndItemModify (the item's minimal width).
    [[nodiscard]] std::int32_t BeginItemModify(int itemNo);
    /// Closes it: lays the item's paragraphs out again, or the whole document when the item's
    /// width changes the text area. The caller signals the change with NotifyChanged.
    void EndItemModify(int itemNo, std::int32_t widthToken);

    // --- The item at the caret ------------------------------------------------------------------------
    /// Its index, or -1 without a caret.
    [[nodiscard]] int CurrentItemNo() const;
    /// Replace the properties of the item at the caret, as one undo step; false when the item
    /// is not of that kind or the change is refused.
    bool SetCurrentPictureInfo(std::string name, std::unique_ptr<TGraphic> graphic, TRVVAlign vAlign, std::string tag);
    /// The same, and the picture's shown size (rvepImageWidth, rvepImageHeight; 0 is its natural
    /// size), in one undo step.
    bool SetCurrentPictureInfoAndSize(std::string name, std::unique_ptr<TGraphic> graphic, TRVVAlign vAlign,
                                      std::string tag, std::int32_t width, std::int32_t height);
    bool SetCurrentBreakInfo(std::uint8_t width, TRVBreakStyle style, TColor color, std::string tag);
    /// A bullet's (or hotspot's) name, image index (and hot image index) and tag.
    bool SetCurrentBulletInfo(std::string name, int imageIndex, int hotImageIndex, std::string tag);
    /// The item at the caret when it is a T (a picture, a break, a table ...), with its name.
    template <typename T>
    [[nodiscard]] T* GetCurrentItemOf(std::string* name = nullptr) const
    {
        const int itemNo = CurrentItemNo();
        if (itemNo < 0)
            return nullptr;
        auto* item = dynamic_cast<T*>(&Data_.ItemAt(itemNo));
        if (item && name)
            *name = Data_.TextAt(itemNo);
        return item;
    }
    /// The text of a text item (not emptied) or the name of another item.
    bool SetCurrentItemText(std::string text);
    bool SetCurrentTag(std::string tag);

    // --- Hyperlinks (Hyperlinks.cpp) ----------------------------------------------------------------
    // A link is text in a jump style whose items carry the target as their tag. Each operation
    // works in the innermost editor (the table cell being edited).
    /// Ctrl+click on a link, with rvoCtrlJumps (the outermost editor's handler hears it).
    TRVJumpEvent OnJump;
    /// A link dropped on the editor; without a handler its address goes in as plain text.
    TRVEditReadHyperlinkEvent OnReadHyperlink;
    /// Widens the selection to whole links: an end touching an item only at its edge leaves it
    /// out, and an end inside link text moves to that item's edge. Without a selection the
    /// caret's link item is selected.
    void SelectWholeHyperlinks();
    /// The target the (widened) selection shows: the first non-empty tag of its items.
    [[nodiscard]] std::string SelectionHyperlinkTarget() const;
    /// The selected text as UTF-8 (paragraphs end with CR LF).
    [[nodiscard]] std::string SelectedTextUtf8() const;
    /// Converts the selection's text styles with userData (through OnStyleConversion), keeping
    /// the tags, then gives each of its items target as tag: one undo step for the styles, one
    /// of the tag-change kind (rvutTag) for the tags, when any changes.
    void ApplyHyperlink(int userData, const std::string& target);
    /// Nothing is selected, the caret stands at the end of a link item and the current text
    /// style is that item's: what is typed now would continue the link.
    [[nodiscard]] bool CaretAtHyperlinkEnd() const;
    /// The jump number of the link under (x, y) in this editor's layout, -1 when none.
    [[nodiscard]] int JumpAt(std::int32_t x, std::int32_t y) const;
    /// The container and item of jump number id of this editor's layout; false when none.
    bool GetJumpPointItemNo(int id, const TCustomRVData*& data, int& itemNo) const;
    /// The item whose draw item holds (x, y) - a hit on the item itself, not beside it - looked
    /// for in the cell being edited when the point lies in it; false when none.
    bool GetItemAtPoint(std::int32_t x, std::int32_t y, const TCustomRVData*& data, int& itemNo) const;

    // --- Styles and lists -------------------------------------------------------------------------------
    // Each is one undo step; the selection stays on the same text. A refused edit beeps.
    /// Answers ConvertTextStyles, per old text style.
    TRVStyleConversionEvent OnStyleConversion;
    /// Answers ConvertParaStyles, per old paragraph style.
    TRVStyleConversionEvent OnParaStyleConversion;
    /// Gives the selected characters the text style (items are split at the selection's ends,
    /// except those of a style-split-protected style, which change whole; text of a
    /// style-protected style stays), tabs and labels in the selection carry it too; neighbours
    /// that can be merged are merged. With an empty selection: CurrentTextStyle, and an empty
    /// text item at the caret.
    void SetTextStyleOfSelection(int styleNo);
    /// The same with the style OnStyleConversion answers for each old style (style protection
    /// is the handler's business). Nothing without a handler.
    void ConvertTextStyles(int userData);
    /// Gives every paragraph from the selection's first to its last (or the caret's) the
    /// paragraph style; paragraphs of a style-protected paragraph style stay.
    void SetParaStyleOfSelection(int paraNo);
    /// The same with the style OnParaStyleConversion answers. Nothing without a handler.
    void ConvertParaStyles(int userData);
    /// Makes every paragraph from the selection's first to its last (or the caret's) a paragraph
    /// of list listNo at level (negative: the level of the marker it replaces, or 0); the first
    /// paragraph restarts the numbering at startFrom when useStartFrom. Full-line items and
    /// read-only paragraphs are left alone.
    void ApplyList(int listNo, int level, int startFrom, bool useStartFrom);
    /// Takes the same paragraphs out of their lists.
    void RemoveLists();

    // --- Document ------------------------------------------------------------------------------------
    /// Empties the document: current styles back to 0 (their events fire on the next caret
    /// update even when the values stay), no caret until the next Format.
    void Clear();
    /// Lays the document out whole. The caret and the selection keep their places; the first
    /// layout puts the caret at the document start and runs the caret update.
    void Format();

    // --- Current styles --------------------------------------------------------------------------------
    /// The current styles of the innermost editor (the cell being edited has its own).
    [[nodiscard]] int CurrentTextStyle() const noexcept;
    [[nodiscard]] int CurrentParaStyle() const noexcept;
    /// The last text style the caret switched to by itself; -1 before the first.
    [[nodiscard]] int LastAutoSwitchedTextStyle() const noexcept { return LastAutoTextStyle_; }
    /// Each fires its event when the value changes (or a notification is pending).
    void SetCurrentTextStyle(int styleNo);
    void SetCurrentParaStyle(int styleNo);

    // --- Caret and selection ------------------------------------------------------------------------------
    [[nodiscard]] TRVDocPos CaretDocPos() const { return Data_.CaretDocPos(); }
    /// Puts the caret at a document position and removes the selection.
    void SetCaretDocPos(TRVDocPos pos, TRVLineBoundary boundary = TRVLineBoundary::LineStart);
    void SelectAll();
    /// Removes the selection; the caret stays.
    void Deselect();
    /// Selects from anchor to end; the caret goes to end and is scrolled into view.
    void SetSelection(TRVDocPos anchor, TRVDocPos end);
    /// Something is selected in the innermost editor.
    [[nodiscard]] bool SelectionExists() const;
    /// The selection ordered, in draw items and offsets counted in them (as painting reads it).
    bool GetOrderedSelection(int& firstNo, int& firstOffs, int& lastNo, int& lastOffs) const noexcept
    {
        return Data_.GetOrderedSelection(firstNo, firstOffs, lastNo, lastOffs);
    }
    /// The selection ordered, as document positions; false when nothing is selected.
    bool GetOrderedSelectionDoc(TRVDocPos& first, TRVDocPos& last) const
    {
        return Data_.GetOrderedSelectionDoc(first, last);
    }
    /// Selects the word at the caret (nothing at a non-text item).
    void SelectCurrentWord();

    // --- Keyboard ------------------------------------------------------------------------------------------
    /// Moves the caret; with Extend the selection runs from its anchor to the new place.
    void MoveCaret(TRVCaretMove move, TRVSelectionUpdate update);
    /// Handles a key: caret movement (Left, Right, Up, Down, Home, End, PageUp, PageDown, with
    /// Ctrl by words and to the document's ends, with Shift extending the selection),
    /// Ctrl+Up/Ctrl+Down scrolling by one scroll unit, Undo and Redo, Enter, Backspace, Delete and
    /// Tab. Returns false for keys it leaves alone; Enter in an editor that wants no returns is
    /// swallowed (true).
    bool KeyDown(TRVKey key, TShiftState shift);

    // --- Mouse (document coordinates) ---------------------------------------------------------------------
    void MouseDown(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    /// Extends a selection while the left button is held; nothing otherwise.
    void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y);
    void MouseUp(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    /// A double click of the left button: selects the word under the point (rvoDblClickSelectsWord).
    void DblClick(TShiftState shift, std::int32_t x, std::int32_t y);
    /// The rectangle whose resize handles the widget draws (the dragged one during a drag), in
    /// document coordinates; false when no resizable picture is selected.
    [[nodiscard]] bool ResizeFrame(TRect& rect) const;
    /// The mouse cursor over a resize handle at (x, y) (document coordinates).
    [[nodiscard]] TRVResizeCursor ResizeCursorAt(std::int32_t x, std::int32_t y) const;
    /// The mouse cursor to show at (x, y) (document coordinates): a size cursor over a handle of
    /// the selected picture (or while one is dragged), the line-select cursor in the left margin
    /// where a click selects lines, the text cursor elsewhere.
    [[nodiscard]] TRVMouseCursor MouseCursorAt(std::int32_t x, std::int32_t y) const;
    /// A resize handle is being dragged.
    [[nodiscard]] bool Resizing() const noexcept { return Resize_.Handle >= 0; }
    /// A mouse selection is in progress (the widget runs its selection timer meanwhile).
    [[nodiscard]] bool MouseSelecting() const noexcept;
    /// The left button holds a selection, a resize handle or a press that may start a drag: edits,
    /// Undo and Redo wait, since these keep places in the document that a change would move.
    [[nodiscard]] bool MouseBusy() const noexcept { return MouseSelecting() || Resizing() || DragPressPending_; }
    /// For a tick of the selection timer with the pointer at (viewX, viewY), relative to the client
    /// area: how far the view should scroll - 1 unit towards the pointer outside the client area,
    /// 10 when it is more than 20 pixels outside. After scrolling, the widget calls MouseMove
    /// with the pointer's document position, which extends the selection.
    [[nodiscard]] TRVAutoScrollStep AutoScrollStep(std::int32_t viewX, std::int32_t viewY) const;

    // --- View ------------------------------------------------------------------------------------------------
    /// Where to draw the caret (document coordinates); check CaretShown first.
    [[nodiscard]] TRVCaretRect GetCaretRect();
    /// The caret is drawn: there is one, and not in a read-only editor with rvoHideReadOnlyCaret.
    [[nodiscard]] bool CaretShown() const noexcept;
    /// The vertical scroll unit in pixels.
    [[nodiscard]] std::int32_t VScrollUnitPixels() const noexcept;
    /// Scrolls so that y is the top of the view, in whole scroll units within the scroll range;
    /// the widget hears of it through the container's OnScrollChanged.
    void ScrollTo(std::int32_t y);
    /// Scrolls as little as needed to show the caret's line.
    void ScrollToCaret();

    // --- Tables: cells edited in place ---------------------------------------------------------------
    // While a cell is edited, an editor of its own (TRVTableInplaceEdit) shows and changes the
    // cell's content; the operations of this editor go on to it (and so to the innermost one),
    // and this editor's caret stays on the table.
    /// The cell editor active in this editor, null when none.
    [[nodiscard]] TCustomDocViewEdit* CellEditor() const noexcept;
    /// The innermost editor: the cell editor of the cell editor ..., this one when none.
    [[nodiscard]] TCustomDocViewEdit& InnermostEditor() noexcept;
    /// The editor whose cell this one edits, null for the outermost.
    [[nodiscard]] TCustomDocViewEdit* OuterEditor() const noexcept { return Outer_; }
    /// The table whose cell is edited here and its item index; null when none.
    [[nodiscard]] TRVTableItemInfo* EditedTable(int* itemNo = nullptr) const;
    /// Starts editing the cell at its top-left slot (row, col) of the table at itemNo, the caret at
    /// the cell's start (or end); the cell edited before is finished first. False when the item is
    /// no table, the slot holds no cell or the table may not be edited.
    bool EditCell(int itemNo, int row, int col, bool caretAtEnd = false);
    /// Finishes editing the cell: what was changed in it becomes one undo step here.
    void EndCellEdit();
    /// Where the edited cell's content starts, in this editor's document coordinates; false when no
    /// cell is edited.
    bool CellEditorOrigin(std::int32_t& x, std::int32_t& y) const;
    /// The item at the caret that is a T, looking from the innermost editor outwards (the table of
    /// an edited cell counts); editor receives the editor whose document holds it.
    template <typename T>
    [[nodiscard]] T* GetCurrentItemEx(TCustomDocViewEdit** editor = nullptr, std::string* name = nullptr)
    {
        for (TCustomDocViewEdit* e = &InnermostEditor(); e; e = e->OuterEditor())
            if (T* item = e->GetCurrentItemOf<T>(name)) {
                if (editor)
                    *editor = e;
                return item;
            }
        return nullptr;
    }
    /// Runs change on the table at itemNo of this editor's document as one undo step of the
    /// modify-item kind: a cell edited in it is finished first, the table is laid out again after,
    /// and editing resumes in the table's edited cell when the change left one. change returning
    /// false (or throwing) takes everything back and beeps. Returns whether the table changed.
    bool ModifyTable(int itemNo, const std::function<bool(TRVTableChanges&)>& change);

protected:
    /// The selection fields, to tell whether an operation changed the selection.
    struct TSelectionState {
        int StartNo = -1, StartOffs = 0, EndNo = -1, EndOffs = 0;
        [[nodiscard]] bool operator==(const TSelectionState&) const = default;
    };
    [[nodiscard]] TSelectionState SelectionState() const noexcept;

    /// After a caret move: scroll (when asked), current styles, OnCaretMove, and OnSelect when the
    /// selection is not what it was before.
    void CaretMoved(bool scroll, const TSelectionState& before);
    /// Current styles from the item at the caret.
    void UpdateCurrentStyles();
    void Beep();

private:
    enum class TMouseMode : std::uint8_t { None, Chars, Lines };

    /// A mouse selection: where it began and the word snapping of rvsmWord.
    struct TMouseSelection {
        TMouseMode Mode = TMouseMode::None;
        TRVSelectionMode Granularity = rvsmChar;
        TRVDrawPos Pressed;
        int PressedLine = -1;
        /// The word the button was pressed in (invalid: none).
        TRVDocPos WordStart, WordEnd;
        /// The other word the moving end last snapped to, and whether the pointer turned back in it.
        TRVDocPos SnapStart, SnapEnd;
        bool TurnedBack = false;
        TRVDocPos LastPointer;
    };

    bool MoveTarget(TRVCaretMove move, TRVDrawPos from, TRVDrawPos& to, bool& lineToTop);
    void ParagraphExtension(TRVCaretMove move, TRVDrawPos from, TRVDrawPos& anchor, TRVDrawPos& to);
    /// The caret was asked past the start or the end; a cell editor asks its outer editor to
    /// move on (extend: Shift was held).
    void GetOut(TRVGetOutDirection direction, bool extend = false);
    [[nodiscard]] bool InLeftMargin(std::int32_t x) const;
    [[nodiscard]] bool SelectionAllowed() const noexcept { return Data_.Options.Contains(rvoAllowSelection); }
    [[nodiscard]] TRVSelectionMode SheetSelectionMode() const noexcept;
    [[nodiscard]] int TextStyleAtItem(int itemNo) const;
    /// A selection by the mouse from pressed (a caret stop; raw: the place hit, whose word the
    /// word granularity starts from), with the granularity of the style sheet.
    void StartCharSelection(TRVDrawPos pressed, TRVDrawPos raw);
    void ExtendMouseSelection(std::int32_t x, std::int32_t y);
    void ExtendByWords(TRVDrawPos raw, TRVDrawPos pointer);
    void SelectDocRange(TRVDocPos anchor, TRVDocPos end);
    /// The selected picture that may be resized, with its rectangle without spacing.
    [[nodiscard]] bool ResizableItem(int& itemNo, TRect& rect) const;
    /// Gives the picture being resized the size of rect, as one undo step.
    void ApplyResize(const TRect& rect);

    /// A drag of a resize handle.
    struct TResizeDrag {
        int ItemNo = -1;
        int Handle = -1;
        TRect Start, Current;
        std::int32_t PressX = 0, PressY = 0;
    };

    friend class TRVEditStep;

    // --- The edit gate and the rules of editing (EditRules.cpp) -------------------------------
    /// The start of an operation at the caret: false without a layout or a caret, and false
    /// with a beep when AskCanEdit refuses.
    [[nodiscard]] bool BeginEdit();
    [[nodiscard]] bool ParaReadOnly(int itemNo) const;
    [[nodiscard]] bool StyleHas(int itemNo, TRVProtectOption option) const;
    [[nodiscard]] bool TextStyleHas(int styleNo, TRVProtectOption option) const;
    [[nodiscard]] bool ValidTextStyle(int styleNo) const noexcept;
    /// The style new text gets: the current text style, or style 0 when text of the current
    /// style cannot change.
    [[nodiscard]] int TypingStyle() const;
    [[nodiscard]] bool DeleteProtected(int itemNo) const;
    [[nodiscard]] bool HasPersistentCP(int itemNo) const;
    [[nodiscard]] bool ParagraphHasPersistentCP(int itemNo) const;
    [[nodiscard]] bool IsEmptyText(int itemNo) const;
    [[nodiscard]] int LastItemOfParagraph(int itemNo) const;
    /// Items first and second (which follows it) may become one; join: across a line start.
    [[nodiscard]] bool CanMerge(int first, int second, bool join) const;
    /// RecRemoveItem may take the item: it is not protected, and a persistent checkpoint it
    /// holds finds a place.
    [[nodiscard]] bool CanRemoveItem(int itemNo) const;
    /// RecJoinAt may join the paragraph (or line) that starts at itemNo to the one before.
    [[nodiscard]] bool CanJoinAt(int itemNo) const;
    /// No sticking protection keeps items from going before index.
    [[nodiscard]] bool InsertionAllowedAt(int index) const;
    /// Text in the form a text style stores it (characters its code page lacks become "?").
    [[nodiscard]] std::string EncodeText(const std::u16string& text, int styleNo) const;
    /// A typed character in that form: never nothing ("?" when its code page drops it).
    [[nodiscard]] std::string EncodeChar(const std::u16string& text, int styleNo) const;
    void NewTextItem(int styleNo, int paraNo, std::unique_ptr<TCustomRVItemInfo>& item) const;
    /// A place on a list marker stands for the start of the text after it.
    [[nodiscard]] TRVDocPos TextPosOf(TRVDocPos pos) const;

    // --- After the layout of an edit (DocViewEdit.cpp) ----------------------------------------
    /// The caret to caret (clamped to its item), the selection collapsed there; no caret in an
    /// empty document. before: the selection before the edit, for OnSelect.
    void PlaceCaretAfterEdit(TRVDocPos caret, TRVLineBoundary boundary, const TSelectionState& before);
    /// Then the selection from anchor to the caret at moving.
    void SelectAfterEdit(TRVDocPos anchor, TRVDocPos moving);

    // --- Recorded changes (RecordedChanges.cpp): each makes a change and records its reversal -
    void RecInsertText(int itemNo, int position, const std::string& bytes);
    std::string RecDeleteText(int itemNo, int position, int count);
    /// The item's text as a whole.
    void RecChangeText(int itemNo, std::string text);
    /// Typed characters, recorded as typing; caret: where the caret stood when they were typed.
    void RecTypeText(int itemNo, int position, const std::string& bytes, TRVDocPos caret);
    void RecInsertItem(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item);
    /// Items inserted in one step, recorded as one record.
    void RecInsertItems(int index, std::vector<TRVItemEntry> items);
    void RecDeleteItem(int index);
    /// The item takes the old one's place, checkpoint included; the old one waits for Undo.
    void RecReplaceItem(int itemNo, std::string name, std::unique_ptr<TCustomRVItemInfo> item);
    void RecSetFlags(int itemNo, std::uint8_t options, int paraNo);
    void RecSetStyle(int itemNo, int styleNo);
    void RecSetTag(int itemNo, std::string tag);
    void RecSetAssociatedTextStyle(int itemNo, int styleNo);
    /// The paragraphs of items first..last (first starts one) get styles, one per paragraph.
    void RecSetParaStyles(int first, int last, const std::vector<int>& styles);
    void RecSetExtraIntProperty(int itemNo, TRVExtraItemProperty property, std::int32_t value);
    void RecMoveCheckpoint(int from, int to);
    /// Merges item second into first (text appended, checkpoint carried).
    void RecMerge(int first, int second);
    /// Whole-item removal with flag takeover and checkpoint hand-on (check CanRemoveItem first).
    void RecRemoveItem(int itemNo);
    /// Joins the paragraph (or line) that starts at itemNo to the one before; merges when allowed.
    /// Returns the caret position at the join.
    TRVDocPos RecJoinAt(int itemNo);
    /// The paragraph of itemNo carries the paragraph style of its first item.
    void RecUnifyParagraphStyle(int itemNo);
    /// Cuts a text item in two at offset (strictly inside it); the right part follows it.
    void RecSplitText(int itemNo, int offset);
    /// Gives a text item another style, converting its text between 8-bit and UTF-16 when the
    /// styles store text differently; positions inside the item follow the conversion.
    void RecConvertTextItem(int itemNo, int styleNo, TRVDocPos& a, TRVDocPos& b);

    // --- Undo and redo (UndoRedo.cpp) ----------------------------------------------------------
    /// Undo (from the undo list into the redo list) or Redo (the other way).
    void ReverseLastGroup(TRVUndoList& from, TRVUndoList& to);

    // --- Typing (Typing.cpp) -------------------------------------------------------------------
    enum class TTypedUnit : std::uint8_t { Character, Pending, Stray };
    /// A typed UTF-16 unit: a whole character (in typed), the first half of one, or a second
    /// half without a first.
    TTypedUnit TakeTypedUnit(char16_t ch, std::u16string& typed);
    /// Types a character at pos (a text position, in a paragraph that may change).
    void TypeAt(TRVDocPos pos, const std::u16string& typed);
    /// The text item that takes a character typed at itemNo/offs in style: that one or the
    /// neighbour at an item boundary (itemNo and offs move to it); false when a new item must.
    [[nodiscard]] bool FindTypingTarget(int style, int& itemNo, int& offs) const;
    void TypeIntoItem(TRVDocPos pos, int itemNo, int offs, const std::u16string& typed);
    void TypeNewItem(TRVDocPos pos, int style, const std::u16string& typed);
    /// Places a new text item for text typed at itemNo/offs (not an empty item); its index.
    int RecPlaceNewTextItem(int itemNo, int offs, int style, std::string text);

    // --- Enter (Enter.cpp) ----------------------------------------------------------------------
    /// Where Enter (or Shift+Enter) breaks the paragraph.
    struct TEnterPlace {
        int ItemNo = 0;
        int Offs = 0;
        int ParaNo = 0;
        /// Shift+Enter as asked, and as done (a full-line item takes no line break).
        bool NewLineAsked = false;
        bool NewLine = false;
        bool AtStart = false;
        bool AtLineStart = false;
        bool LineEnd = false;
        bool ParaEnd = false;
        bool Inside = false;
    };
    [[nodiscard]] TEnterPlace EnterPlaceAt(TRVDocPos pos, bool newLine) const;
    [[nodiscard]] bool EnterAllowed(const TEnterPlace& place) const;
    /// At the end of a line of text in the current style, the current style's next style.
    void TakeNextTextStyle(const TEnterPlace& place);
    /// The paragraph style of the paragraph Enter starts.
    [[nodiscard]] int NewParagraphStyle(const TEnterPlace& place) const;
    /// An empty list paragraph leaves its list; false when the marker may not go.
    bool RecLeaveListAtEnter(TEnterPlace& place);
    /// The empty text item Enter puts into a new paragraph or line, after item itemNo's kind.
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> NewEmptyItemForEnter(int paraNo, int itemNo) const;
    /// The break itself; returns the caret after it.
    TRVDocPos RecBreakAt(const TEnterPlace& place, int newPara);
    TRVDocPos RecBreakAtLineStart(const TEnterPlace& place);
    TRVDocPos RecBreakAtLineEnd(const TEnterPlace& place, int newPara);

    // --- Backspace and Delete (Deletion.cpp) ------------------------------------------------------
    /// The common start of Backspace and Delete without a selection: the edit may begin and the
    /// paragraph at the caret is not read-only (otherwise a beep). pos receives the caret's place.
    bool StartDeletionKey(TRVDocPos& pos);
    /// Where Backspace before offs in a text item starts (byWord: the word before).
    [[nodiscard]] int BackspaceFrom(int itemNo, int offs, bool byWord) const;
    /// Delete at offs takes one character, both halves of one outside the basic plane.
    [[nodiscard]] int DeleteForwardCount(int itemNo, int offs) const;
    /// Backspace and Delete inside an item: count characters from from, or the whole item when
    /// that is all of it (or it is no text); pos is the caret.
    void DeleteInItem(int itemNo, int from, int count, TRVDocPos pos);
    /// Backspace or Delete taking a whole item: the only item of its line becomes an empty text
    /// item, any other goes and its neighbours merge. False (nothing changed) when refused.
    bool RemoveWholeItem(int itemNo, TRVDocPos& caret);
    /// Removes the page break before the paragraph that head starts.
    void RemovePageBreakAt(int head, TRVDocPos caret);
    void BackspaceAtItemStart(int itemNo, bool afterMarker, TRVDocPos pos);
    bool RecLeaveListBackward(int itemNo, TRVDocPos& caret);
    bool RecRemoveEmptyLineBefore(int itemNo, TRVDocPos& caret);
    void DeleteAtDocumentEnd(int itemNo);
    void DeleteAtLineEnd(int itemNo, TRVDocPos pos);
    bool RecRemoveEmptyItemForward(int itemNo, TRVDocPos& caret);
    bool RecJoinForward(int next, TRVDocPos& caret);

    // --- Deleting the selection (SelectionDeletion.cpp) -------------------------------------------
    /// What deleting a selection takes: the ordered ends and what becomes of the items there.
    struct TRangeCut {
        TRVDocPos First, Last;
        bool FirstWhole = false, LastWhole = false;
        /// Something of the first paragraph stays before the cut.
        bool LeftExists = false;
        /// The first item after the cut that stays in the last paragraph (RestExists).
        int RestFirst = -1;
        bool RestExists = false;
        /// A paragraph break lies inside the selection.
        bool RestSeparate = false;
        /// An empty text item keeps the emptied paragraph.
        bool NeedsEmpty = false;
    };
    /// The items at the cut's edges after the deletion (-1: none): the empty item that keeps the
    /// paragraph, the first item of the rest, the last item before the cut.
    struct TCutEdges {
        int Empty = -1;
        int Rest = -1;
        int Left = -1;
    };
    /// The selection as the range to delete; false when it holds nothing to delete.
    bool SelectionRange(TRVDocPos& first, TRVDocPos& last) const;
    [[nodiscard]] TRangeCut PlanCut(TRVDocPos first, TRVDocPos last) const;
    [[nodiscard]] bool ItemWhollyCut(const TRangeCut& cut, int itemNo) const;
    /// The protections allow the deletion.
    [[nodiscard]] bool CanCut(const TRangeCut& cut) const;
    [[nodiscard]] bool CutJoinsProtected(const TRangeCut& cut) const;
    /// Deletes the range; returns the caret position at the cut.
    TRVDocPos RecCut(const TRangeCut& cut);
    TCutEdges RecCutItems(const TRangeCut& cut);
    /// The rest after the cut continues the line before it; returns the caret at the cut.
    TRVDocPos RecCloseCut(const TRangeCut& cut, const TCutEdges& edges, std::uint8_t firstOptions, int firstPara,
                          bool restHadNewLine);
    enum class TSelectionCut : std::uint8_t { None, Cut, Refused };
    /// Deletes the selection inside an operation that goes on at the cut (caret receives it).
    TSelectionCut DeleteSelectionFirst(TRVDocPos& caret);

    // --- Inserting (Insertion.cpp) ------------------------------------------------------------------
    /// Replaces the selection by items; joinFirst: the first continues the caret's paragraph.
    bool InsertItems(std::vector<TRVItemEntry> items, bool joinFirst, bool caretAtStart, TRVUndoType kind);
    /// Where items go at pos: before item index (atItemStart) or after index - 1; the caret's text
    /// item is cut in two when pos lies inside it. False when nothing may go there.
    bool RecInsertionPlace(TRVDocPos pos, int& index, bool& atItemStart);
    /// What becomes of the item after the new ones.
    struct TInsertionFit {
        bool TouchNext = false;
        std::uint8_t NextFlags = 0;
    };
    /// Fits the paragraph flags of the new items to the place (index may move before a marker).
    TInsertionFit FitInsertedItems(std::vector<TRVItemEntry>& items, bool joinFirst, int& index, bool atItemStart) const;
    /// How two items met at an insertion: kept apart, the second joined the first (or went), or
    /// an empty first one gave way and the second stands in its place.
    enum class TJoin : std::uint8_t { Apart, IntoFirst, FirstGone };
    TJoin RecJoinAtInsertion(int a, int b);
    /// The new items first..last join their neighbours; the caret after them (start: before them).
    TRVDocPos RecJoinInsertedItems(int first, int last, TRVDocPos& start);

    // --- Item modification (ItemModification.cpp) -----------------------------------------------
    bool ModifyCurrentItem(const std::function<void(TCustomRVItemInfo& item, std::string& name)>& change);
    /// SetCurrentPictureInfo, with the size when size is given.
    bool ReplaceCurrentPicture(std::string name, std::unique_ptr<TGraphic> graphic, TRVVAlign vAlign, std::string tag,
                               const std::pair<std::int32_t, std::int32_t>* size);

    // --- Styles and lists (TextStyles.cpp, ParagraphStyles.cpp, Lists.cpp) ------------------------
    /// The style that replaces an old one (appliedToText false: the current text style); -1 or
    /// the old style itself: no change.
    using TStyleAnswer = std::function<int(int styleNo, bool appliedToText)>;
    /// The selection as document positions in text order (a position on a list marker taken as
    /// the start of its text), or the caret in both when nothing is selected.
    struct TEditSelection {
        TRVDocPos First, Last;
        bool Exists = false;
        /// The moving end is First.
        bool Backward = false;
        TRVLineBoundary CaretBoundary = TRVLineBoundary::LineStart;
    };
    [[nodiscard]] TEditSelection EditSelection() const;
    /// Commits the step with the caret at the selection's moving end, and the selection restored.
    void CommitKeepingSelection(TRVEditStep& step, const TEditSelection& selection);
    void ApplyTextStyles(const TStyleAnswer& answer, bool keepProtected);
    /// The empty-selection case: CurrentTextStyle and an empty text item at the caret.
    void ConvertCurrentTextStyle(const TStyleAnswer& answer);
    /// Gives the part of item itemNo that range selects the style newStyleFor answers for its old
    /// one; sel follows the cuts. False when the item keeps its style.
    bool RecRestyleItem(int itemNo, const TEditSelection& range, const std::function<int(int)>& newStyleFor,
                        bool keepProtected, TEditSelection& sel);
    /// Neighbours of the same style around and in the restyled selection join again.
    void RecMergeRestyled(int firstItem, int lastItem, TEditSelection& sel);
    void ApplyParaStyles(const TStyleAnswer& answer);
    /// What ApplyList asks for; Apply false: RemoveLists.
    struct TListChange {
        bool Apply = false;
        int ListNo = -1;
        int Level = 0;
        int StartFrom = 1;
        bool UseStartFrom = false;
    };
    void ChangeLists(const TListChange& change);
    /// The paragraph that start starts leaves its list; false when it has no marker or keeps it.
    bool RecRemoveListAt(int start, TEditSelection& sel);
    /// The paragraph gets a marker of the list (reset: restarting its numbering); false when it
    /// has that marker already.
    bool RecApplyListAt(int start, const TListChange& change, bool reset, TEditSelection& sel);

    // --- Cells edited in place (TableInplaceEdit.cpp) ---------------------------------------
    friend class TRVTableInplaceEdit;
    /// The cell editor finished a change (Undo and Redo: clearRedo false).
    void CellChanged(bool clearRedo);
    /// The cell editor's caret was asked to leave its cell.
    void CellCaretGetOut(TRVGetOutDirection direction, bool extend);
    /// Tab (forward) and Shift+Tab in the cell editor.
    void MoveToNextCell(bool forward);
    /// The cell under (x, y) when the point lies in a table: the table's item and the cell's
    /// top-left slot.
    bool CellAt(std::int32_t x, std::int32_t y, int& itemNo, int& row, int& col) const;
    /// The cell editor is placed over its cell again after the table was laid out anew.
    void PlaceCellEditor();
    /// Enters the table at itemNo when the caret moves onto it: the first cell from before it, the
    /// last from after it. False when it cannot be entered.
    bool EnterTable(int itemNo, bool fromStart);
    /// A mouse drag from the cell (row, col) of the table at itemNo selects a rectangle of cells.
    struct TCellDrag {
        int ItemNo = -1;
        int Row = -1, Col = -1;
        /// The mouse button is held.
        bool Active = false;
        [[nodiscard]] bool Valid() const noexcept { return ItemNo >= 0; }
    };
    /// A key while cells of a table are selected: Shift with an arrow moves the selection's
    /// moving corner, any other key removes the selection (an arrow edits the cell at the
    /// moving corner). True when the key was used up.
    bool ClearCellRectangle(TRVKey key, TShiftState shift);
    /// Ends a selection of cells by editing its top-left cell; false without one.
    bool EditCellOfRectangle();
    /// The mouse over tables: a press in a cell edits it (and goes on to its editor), a drag from
    /// one cell into another selects the cells between. True when the event was used up.
    bool CellMouseDown(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    bool CellMouseMove(TShiftState shift, std::int32_t x, std::int32_t y);
    bool CellMouseUp(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    /// (x, y) lies in the cell being edited.
    [[nodiscard]] bool CellAtEditor(std::int32_t x, std::int32_t y) const;

    // --- Clipboard (Clipboard.cpp) -----------------------------------------------------------------
    /// What a copy of the selection puts on the clipboard in the formats options choose (the
    /// rvoAutoCopy options); false when nothing is selected.
    bool SelectionContent(TClipboardContent& content, TRVOptions options) const;
    /// The same for a rectangle of table cells selected in this editor; false when there is none.
    bool CellRectangleContent(TClipboardContent& content) const;
    /// The table whose cells are selected as a rectangle in this editor; null when none.
    [[nodiscard]] const TRVTableItemInfo* SelectedCellTable() const;
    /// Inserts items read from a list of files (one undo step); false when no file gave any.
    bool InsertFiles(const std::vector<std::filesystem::path>& files);
    /// The paste rules of one format, reading source (the clipboard or a drop's data).
    bool InsertRVFFrom(const TClipboard& source);
    bool InsertRTFFrom(const TClipboard& source);
    bool InsertTextFrom(const TClipboard& source, TClipboardFormat format = TClipboardFormat::Text);
    bool InsertPictureFrom(const TClipboard& source);

    // --- Finding text (Search.cpp) -------------------------------------------------------------
    /// The same within one text item, changing its text in place when that is all it takes
    /// (a selection inside one item, the replacement plain text of the item's style); false
    /// when the general insertion is needed.
    bool ReplaceInItem(std::u16string_view replacement);

    // --- Hyperlinks (Hyperlinks.cpp) ------------------------------------------------------------
    [[nodiscard]] const TCustomDocViewEdit& InnermostEditorConst() const noexcept;
    /// The selection widened to whole links (the caret's place when nothing is selected); false
    /// without a caret.
    bool HyperlinkRange(TRVDocPos& first, TRVDocPos& last) const;
    /// The mouse is over link text or another jump.
    [[nodiscard]] bool JumpCursorAt(std::int32_t x, std::int32_t y) const;
    /// A Ctrl+press on a link waits for its release over the same link; true when it was one.
    bool JumpMouseDown(TRVMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    /// The release of such a press fires OnJump; true when a press on a link was pending.
    bool JumpMouseUp(std::int32_t x, std::int32_t y);
    /// A dropped link: through OnReadHyperlink as link text, else as plain text.
    bool InsertUrlFrom(const TClipboard& source);
    /// The jump a Ctrl+press went down on, -1 when none.
    int PressedJump_ = -1;

    // --- Drag and drop (DragDrop.cpp) ------------------------------------------------------------
    /// A drag of a selection, kept by the outermost editor: the editor whose selection is dragged
    /// (null when none, or when that cell editor has gone) and the selection.
    struct TDragSource {
        bool Active = false;
        TCustomDocViewEdit* Editor = nullptr;
        TRVDocPos First, Last;
        /// A drop on this editor took the data (and deleted the source when it moved it).
        bool DroppedHere = false;
    };
    [[nodiscard]] TCustomDocViewEdit& RootEditor() noexcept;
    /// The editor of the chain whose document a drop at (x, y) goes into, and (x, y) in its
    /// coordinates; a drag from outside entering a table cell edits the cell first.
    TCustomDocViewEdit& DropTarget(std::int32_t& x, std::int32_t& y, bool enterCells);
    /// Inserts data at the caret by the drop order of formats; false when no format went in.
    bool InsertDropData(const TClipboard& data);
    /// The drop into this editor (the target) once its place is known.
    TRVDropEffects DropHere(const TClipboard& data, TRVDropEffects effect, TRVDocPos at);
    /// A press waiting to become a drag (see DragPending), at this place of the layout.
    bool DragPressPending_ = false;
    TRVDrawPos DragPress_;
    TDragSource Drag_;
    /// The drop caret's place in this editor's layout (invalid: none).
    TRVDrawPos DropPos_;
    /// Where the last insertion's content starts and ends.
    TRVDocPos InsertedStart_, InsertedEnd_;

    TRVEditRVData Data_;
    TClipboard* Clipboard_ = nullptr;
    TCustomDocViewEdit* Outer_ = nullptr;
    std::unique_ptr<TRVTableInplaceEdit> CellEditor_;
    TCellDrag CellDrag_;
    /// The cell editor got the mouse press: moves and the release go to it.
    bool CellEditorHasMouse_ = false;
    /// NotifyChanged is running (its handlers are being told).
    int Notifying_ = 0;
    /// The edited table's minimal width when it was last laid out (for EndItemModify).
    std::int32_t CellEditMinWidth_ = 0;
    /// The edit step that is open (null: none).
    TRVEditStep* OpenStep_ = nullptr;
    bool Modified_ = false;
    char16_t PendingHighSurrogate_ = 0;
    int CurTextStyle_ = 0;
    int CurParaStyle_ = 0;
    int LastAutoTextStyle_ = -1;
    bool TextStyleNotifyPending_ = false;
    bool ParaStyleNotifyPending_ = false;
    TMouseSelection Mouse_;
    TResizeDrag Resize_;
};

/// The editor of the main window: Ctrl-clickable links, tabs typed into the text, tags cleared
/// when styles are applied, and the main window's word delimiters.
class TDocViewEdit : public TCustomDocViewEdit {
public:
    explicit TDocViewEdit(TRVStyle* sheet = nullptr);
};

} // namespace xq

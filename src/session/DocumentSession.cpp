// The document session: New, the entry open, the host open, Save and the questions before them.
#include "session/DocumentSession.h"

#include <system_error>

#include "document/DocParameters.h"
#include "document/StylePurge.h"
#include "platform/FileIO.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"
#include "platform/ScreenUnits.h"
#include "tables/TableItem.h"
#include "tools/AutoTextStore.h"
#include "tools/MruList.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// An absolute path without changing what it names; the path itself when that fails.
fs::path Expanded(const fs::path& path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal();
}

} // namespace

TEditorDocument::TEditorDocument()
{
    RegisterListItemKinds();
    RegisterTableItemKind();
    SetupMainWindowStyleSheet(RStyle);
    Info.DocParameters = MainWindowDocParameters();
    Data().LeftMargin = EditorLeftMargin;
    Data().RightMargin = EditorRightMargin;
}

bool IsEmptyDocument(const TCustomRVData& data)
{
    return data.Empty() || (data.Count() == 1 && data.ItemAt(0).IsText() && data.TextAt(0).empty());
}

TDocumentSession::TDocumentSession(TRunState& run, TEditorDocument& document, TCanvas& canvas,
                                   TSessionWindow& window, TMessageBoxes& boxes, TMruList& mru,
                                   TPrinterPageQuery printerPage, TPageSetup& pageSetup)
    : Run_(run), Doc_(document), Window_(window), Boxes_(boxes), Mru_(mru), PrinterPage_(std::move(printerPage)),
      PageSetup_(pageSetup)
{
    Doc_.Data().SetFormatCanvas(&canvas);
    PageSetup_.OnTextWidth = [this] { return ApplyTextWidth(); };
    PageSetup_.OnModifiedAndReformat = [this] {
        SetModified();
        Reformat();
    };
}

TDocumentSession::~TDocumentSession()
{
    PageSetup_.OnTextWidth = nullptr;
    PageSetup_.OnModifiedAndReformat = nullptr;
}

void TDocumentSession::Message(std::string_view text, std::string_view caption, TMsgIcon icon)
{
    Boxes_.Show(std::string(text), std::string(caption), TMsgButtons::Ok, icon);
}

// --- Questions ---------------------------------------------------------------------------------------

TDocumentSession::TAnswer TDocumentSession::AskSave()
{
    switch (Boxes_.Show(std::string(SaveQuestion), std::string(SaveQuestionCaption), TMsgButtons::YesNoCancel,
                        TMsgIcon::Question)) {
    case TMsgAnswer::Yes: return TAnswer::Save;
    case TMsgAnswer::No: return TAnswer::Discard;
    default: return TAnswer::Cancel;
    }
}

bool TDocumentSession::NewQuery()
{
    if (!Run_.Modified)
        return true;
    switch (AskSave()) {
    case TAnswer::Cancel:
        return false;
    case TAnswer::Save:
        Save();
        // A save that was cancelled or failed leaves the changes where they are: nothing is dropped.
        if (Run_.Modified || Finished_)
            return false;
        if (Run_.Closing)
            return true;
        ClearUntitled();
        return false;
    case TAnswer::Discard:
        Run_.Modified = false;
        if (Run_.Closing)
            return true;
        New(false);
        return false;
    }
    return false;
}

bool TDocumentSession::SwitchQuery()
{
    if (!Run_.Modified)
        return true;
    switch (AskSave()) {
    case TAnswer::Cancel:
        return false;
    case TAnswer::Save:
        Save();
        if (Finished_)
            return Run_.Closing;
        if (Run_.Modified)
            return false;
        if (Run_.Closing)
            return true;
        ClearUntitled();
        open();
        return false;
    case TAnswer::Discard:
        Run_.Modified = false;
        if (Run_.Closing)
            return true;
        ClearUntitled();
        open();
        return false;
    }
    return false;
}

bool TDocumentSession::FormCloseQuery()
{
    Run_.Closing = true;
    if (Finished_)
        return true;
    return SwitchQuery();
}

// --- New ---------------------------------------------------------------------------------------------

void TDocumentSession::New(bool startUp)
{
    if (Finished_ || !NewQuery())
        return;
    ClearDocument(startUp, CaptionNewEntry);
}

void TDocumentSession::ClearUntitled()
{
    ClearDocument(false, CaptionUntitled);
}

void TDocumentSession::ClearDocument(bool startUp, std::string_view caption)
{
    Doc_.Editor.Clear();
    PurgeStyles(Doc_.RStyle, Doc_.Data(), true, true, true);
    // A new document has no property lines of its own; it starts on the default page.
    Doc_.Info.DocProperties.clear();
    PageSetup_.ResetPageValues();
    if (!startUp) {
        PageSetup_.ResetPageSettings();
        Doc_.Info.DocParameters = MainWindowDocParameters();
        const std::string extension = LowerExtension(Run_.DocName);
        if (!Run_.DocName.empty() && extension != ".dvl" && extension != ".xtb")
            Mru_.Refresh();
    }
    Run_.FileFormat = TFileFormat::RVF;
    Run_.DocName.clear();
    Run_.Modified = false;
    UnwrittenEntry_ = false;
    Window_.SetModifiedNotice({});
    Window_.SetCaption(caption);
    // A new document has no background picture, not even one taken off the page.
    Doc_.Info.BackgroundStyle = bsNoBitmap;
    Doc_.Info.BackgroundPicture.reset();
    Window_.SyncControls();
    Window_.UpdateUndoControls();
    SetTextWidthAndFormat(true);
    Window_.DocumentReplaced(false);
}

// --- Coming in ---------------------------------------------------------------------------------------

void TDocumentSession::ForgetEditState()
{
    // The old layout, caret and undo records point at items that are gone; the view shows nothing
    // until the document is laid out again.
    TRVEditRVData& data = Doc_.Data();
    data.ClearLayout();
    data.ResetCaret();
    Doc_.Editor.ClearUndoHistory();
    Doc_.Editor.SetModified(false);
}

static_assert(MaxDocumentItems == 4'000'000, "TooLargeText names the limit");

bool TDocumentSession::LoadFile(const fs::path& path)
{
    TLoadResult result;
    // The edit state is dropped with the step, before the view may look at the document again.
    Window_.RunLong(LoadingNotice, [&] {
        result = LoadDocumentFile(path, Doc_.RStyle, Doc_.Data(), Doc_.Info, Doc_.Editor.RVFOptions,
                                  &Doc_.Editor.RTFReadProperties);
        ForgetEditState();
    });
    Run_.FileFormat = FormatOfPath(path);
    if (result.Ok)
        return true;
    Message(result.TooLarge ? TooLargeText : ReadFailedText, ReadFailedCaption, TMsgIcon::None);
    return false;
}

void TDocumentSession::open()
{
    if (Finished_ || !SwitchQuery())
        return;
    if (DialogMode_ != AutoTextModeOpenFromDialog) {
        DialogMode_ = AutoTextModeOpen;
        const TAutoTextOutcome outcome = Window_.ShowAutoText(AutoTextModeOpen);
        EntryPath_ = outcome.EntryPath;
        if (outcome.StartNew) {
            DialogMode_ = AutoTextModeOpen;
            New(false);
            return;
        }
    }
    DialogMode_ = AutoTextModeOpen;
    const fs::path path = EntryPath_;
    if (path.empty())
        return;
    std::error_code error;
    if (!fs::exists(path, error)) {
        EntryPath_.clear();
        Message(EntryMissingText, EntryMissingCaption, TMsgIcon::Error);
        return;
    }
    OpenEntry(path);
}

void TDocumentSession::OpenEntry(const fs::path& path)
{
    // An entry's own page settings are not read: the current ones stay.
    const TRVDocParameters page = Doc_.Info.DocParameters;
    LoadFile(path);
    Doc_.Info.DocParameters = page;
    Run_.DocPath = path;
    Run_.RecentPath = path.string();
    Run_.DocName = path.filename().string();
    OpenFromMru_ = false;
    Run_.Modified = false;
    UnwrittenEntry_ = false;
    Window_.SetModifiedNotice({});
    Window_.SetCaption(CaptionEditEntry);
    PrepareLoadedDocument();
}

void TDocumentSession::OpenvonKom()
{
    if (Finished_)
        return;
    PageSetup_.State().FirstPageNumber = 1;
    fs::path path;
    if (OpenFromMru_) {
        path = MruDir_ + MruName_;
    } else {
        path = Expanded(Run_.StartDocument);
        if (LowerExtension(Run_.StartDocument) == ".abr")
            Run_.AbrHostDocument = true;
    }

    switch (FormatOfPath(path)) {
    case TFileFormat::RVF:
        LoadFile(path);
        // Before the text width is computed: the document's margins decide it.
        PageSetup_.ReadPageSettings(Doc_.Info.DocProperties);
        break;
    case TFileFormat::RTF:
        if (IsEmptyDocument(Doc_.Data())) {
            Doc_.Editor.Clear();
            PurgeStyles(Doc_.RStyle, Doc_.Data(), true, true, true);
        }
        LoadFile(path);
        break;
    case TFileFormat::Text:
        if (DetectTextKind(path) == TTextKind::Unicode) {
            // The text goes into text style 0 of the main window's sheet.
            if (Doc_.RStyle.TextStyles.Count() > 0 && !Doc_.RStyle.TextStyles[0].Unicode)
                Message(UnicodeWarningText, UnicodeWarningCaption, TMsgIcon::Warning);
            if (IsEmptyDocument(Doc_.Data())) {
                Doc_.Editor.Clear();
                PurgeStyles(Doc_.RStyle, Doc_.Data(), true, true, true);
            }
        }
        LoadFile(path);
        break;
    }

    Run_.DocPath = path;
    if (OpenFromMru_)
        Run_.StartDocument = Run_.DocPath.string();
    OpenFromMru_ = false;
    const bool hostDocument = LowerExtension(Run_.StartDocument) == ".dvl";
    if (!hostDocument)
        Run_.RecentPath = Expanded(Run_.StartDocument).string();
    Run_.DocName = Run_.StartDocument;
    Run_.Modified = false;
    UnwrittenEntry_ = false;
    Window_.SetModifiedNotice({});
    PrepareLoadedDocument();
    if (hostDocument)
        Window_.EnterHostDocumentMode();
}

void TDocumentSession::LMruMruClick(const std::string& path)
{
    if (Finished_)
        return;
    const TMruPathParts parts = SplitMruPath(path);
    OpenFromMru_ = true;
    MruDir_ = parts.Dir;
    MruName_ = parts.Name;
    if (Run_.Modified) {
        switch (AskSave()) {
        case TAnswer::Cancel:
            OpenFromMru_ = false;
            return;
        case TAnswer::Save:
            Save();
            if (Run_.Modified || Finished_) {
                OpenFromMru_ = false;
                return;
            }
            break;
        case TAnswer::Discard:
            Run_.Modified = false;
            break;
        }
    }
    if (!Run_.Closing)
        New(false);
    OpenvonKom();
}

void TDocumentSession::PrepareLoadedDocument()
{
    Window_.SyncControls();
    Window_.UpdateUndoControls();
    // The loaders leave the document normalised; it is laid out at the printed line width.
    SetTextWidthAndFormat(true);
    Window_.AssignSoftPageBreaks();
    Window_.DocumentReplaced(true);
}

void TDocumentSession::InsertEntry(const fs::path& path)
{
    TRVEditRVData& data = Doc_.Data();
    const std::int32_t scroll = data.ScrollY;
    std::string bytes;
    const bool inserted = ReadFileBytes(path, bytes, MaxDocumentFileSize) && Doc_.Editor.InsertDocumentFromStream(bytes);
    // The whole document is laid out again, the caret and the selection keeping their places.
    const TRVEditPositions positions = data.SavePositions();
    Window_.RunLong(FormattingNotice, [&data, &positions] {
        data.FormatAll(false, true);
        data.RestorePositions(positions);
    });
    Doc_.Editor.ScrollTo(scroll);
    Window_.DocumentFormatted(false);
    if (!inserted)
        Message(ReadFailedText, ReadFailedCaption, TMsgIcon::None);
}

TSize TDocumentSession::GetScreenPageSize() const
{
    const TRVPrint& print = PageSetup_.Print();
    const TPrintMarginsMM margins{double(print.LeftMarginMM), double(print.TopMarginMM), double(print.RightMarginMM),
                                  double(print.BottomMarginMM)};
    // Document pixels are 96 to the inch whatever the screen, so the page is converted to that.
    if (std::optional<TPrinterPageMetrics> printer = PrinterPage_ ? PrinterPage_() : std::nullopt)
        return ScreenPageSize(*printer, margins, PixelsPerInchOverride, PixelsPerInchOverride);
    return ScreenPageSize(PageMetricsOf(Doc_.Info.DocParameters), margins, PixelsPerInchOverride,
                          PixelsPerInchOverride);
}

int TDocumentSession::ApplyTextWidth()
{
    TRVEditRVData& data = Doc_.Data();
    const std::int32_t width = std::max(GetScreenPageSize().Width - data.LeftMargin - data.RightMargin, 1);
    data.MinTextWidth = data.MaxTextWidth = width;
    return width;
}

void TDocumentSession::Reformat()
{
    TRVEditRVData& data = Doc_.Data();
    if (data.Empty())
        data.AppendText({}, 0, 0);
    const TRVEditPositions positions = data.SavePositions();
    Window_.RunLong(FormattingNotice, [&data, &positions] {
        data.FormatAll(false, true);
        data.RestorePositions(positions);
    });
    Window_.DocumentFormatted(false);
}

void TDocumentSession::SetTextWidthAndFormat(bool fromTop)
{
    TRVEditRVData& data = Doc_.Data();
    PageSetup_.State().TextWidth = ApplyTextWidth();
    if (data.Empty())
        data.AppendText({}, 0, 0);
    if (fromTop)
        data.ScrollY = 0;
    // Laid out beside the event loop with the caret at the start; the caret's events follow on this
    // thread, where they reach the window.
    Window_.RunLong(FormattingNotice, [&data] {
        data.FormatAll(false, true);
        data.ResetCaret();
    });
    if (data.CaretValid())
        Doc_.Editor.SetCaretDocPos(data.CaretDocPos());
    Window_.DocumentFormatted(fromTop);
}

// --- Leaving -----------------------------------------------------------------------------------------

void TDocumentSession::WriteDocument(const fs::path& path)
{
    bool written = false;
    // The document is saved with the editor's current margins and text width, not with those
    // of the file it came from.
    Doc_.Info.Layout = Doc_.Editor.LayoutInfo();
    // An RVF document carries the page settings; RTF carries the margins in its header.
    if (FormatOfPath(path) == TFileFormat::RVF)
        PageSetup_.WritePageSettings(Doc_.Info.DocProperties);
    Window_.RunLong(SavingNotice, [&] {
        written = SaveDocumentFile(path, Doc_.RStyle, Doc_.Data(), Doc_.Info, nullptr, Doc_.Editor.RVFOptions,
                                   Doc_.Editor.RTFOptions, &Doc_.Data(), RtfMarginsExtra(PageSetup_.Print()));
    });
    Run_.FileFormat = FormatOfPath(path);
    if (!written) {
        const bool writeProtected = IsWriteProtected(path);
        Message(writeProtected ? WriteProtectedText : WriteFailedText, WriteFailedCaption,
                writeProtected ? TMsgIcon::Error : TMsgIcon::None);
        SaveFailed_ = true;
        return;
    }
    Doc_.Editor.SetModified(false);
}

void TDocumentSession::Save()
{
    if (Finished_)
        return;
    if (!Run_.DocName.empty()) {
        WriteDocument(Run_.DocPath);
        if (SaveFailed_) {
            SaveFailed_ = false;
            return;
        }
        Run_.Modified = false;
        Window_.SetModifiedNotice({});
        if (UnwrittenEntry_)
            FinishNewEntry();
        return;
    }

    DialogMode_ = AutoTextModeNewEntry;
    const TAutoTextOutcome outcome = Window_.ShowAutoText(AutoTextModeNewEntry);
    if (outcome.Refused || outcome.EntryPath.empty())
        return;
    EntryPath_ = outcome.EntryPath;
    LastEntryName_ = outcome.LastEntryName;
    WriteDocument(EntryPath_);
    if (SaveFailed_) {
        // The entry is registered but its file is missing: the document stays open and modified,
        // now named as that entry, so that the next Save writes it and completes the hand-over.
        SaveFailed_ = false;
        Run_.DocPath = EntryPath_;
        Run_.DocName = EntryPath_.filename().string();
        UnwrittenEntry_ = true;
        return;
    }
    Run_.Modified = false;
    Window_.SetModifiedNotice({});
    FinishNewEntry();
}

void TDocumentSession::FinishNewEntry()
{
    UnwrittenEntry_ = false;
    if (!HandOverNewEntry(Run_.ExeDir, Run_.ComputerName, LastEntryName_))
        Message(HandOverFailedText, WriteFailedCaption, TMsgIcon::Warning);
    Run_.Modified = false;
    Finished_ = true;
    Window_.CloseWindow();
}

// --- Start -------------------------------------------------------------------------------------------

void TDocumentSession::FormShow()
{
    if (!Run_.StartDocument.empty() && IsHostDocumentPath(Run_.StartDocument))
        OpenvonKom();
}

void TDocumentSession::WmAfterShow()
{
    DialogMode_ = Run_.StartMode;
    const std::optional<std::string_view> caption = StartModeCaption(Run_.StartMode);
    if (!caption)
        return;
    Window_.SetCaption(*caption);
    switch (Run_.StartMode) {
    case StartModeEditEntry:
    case StartModeEditEntryToo:
    case StartModeInsertEntry: {
        DialogMode_ = Run_.StartMode == StartModeInsertEntry ? AutoTextModeInsert : AutoTextModeOpen;
        const TAutoTextOutcome outcome = Window_.ShowAutoText(DialogMode_);
        EntryPath_ = outcome.EntryPath;
        if (outcome.StartNew) {
            DialogMode_ = AutoTextModeOpen;
            New(false);
        } else if (outcome.DialogMode == AutoTextModeOpenFromDialog) {
            DialogMode_ = AutoTextModeOpenFromDialog;
            open();
        } else if (outcome.DialogMode == AutoTextModeInsert && !outcome.EntryPath.empty()) {
            InsertEntry(outcome.EntryPath);
        }
        break;
    }
    default:
        break;
    }
}

// --- State -------------------------------------------------------------------------------------------

void TDocumentSession::rveChange()
{
    if (!IsEmptyDocument(Doc_.Data())) {
        Run_.Modified = true;
        Window_.SetModifiedNotice(ModifiedNotice);
        Window_.UpdateUndoControls();
    } else {
        Run_.Modified = false;
        Run_.MisspellingFound = false;
        Window_.SetModifiedNotice({});
    }
}

} // namespace xq

// The main window: creation (FormCreate), showing and the first dialog, closing, the session's window
// operations, the recent-file menu, host-document mode, long steps, control characters, help, about.
#include "app/FormED.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include "app/DocViewEditWidget.h"
#include "app/FontList.h"
#include "app/FormatDialogs.h"
#include "app/HelpFiles.h"
#include "app/PrinterPage.h"
#include "app/QtMessageBoxes.h"
#include "app/ToolIcons.h"
#include "platform/qt/QtClipboard.h"
#include "dialogs/AutoTextDialog.h"
#include "dialogs/FindReplaceDialog.h"
#include "layout/ViewOptions.h"
#include "platform/IniFile.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtText.h"
#include "spelling/LiveSpelling.h"
#include "spelling/RVXQSpell.h"
#include "tools/AutoTextStore.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// The window's first size; the screen's centre is where it opens.
constexpr int InitialWidth = 820;
constexpr int InitialHeight = 640;
/// A long step shows its notice and progress only when it lasts longer than this.
constexpr int BusyNoticeDelayMs = 250;

std::vector<fs::path> RegistryFiles()
{
    std::vector<fs::path> files{fs::path("/etc/xdg/Quarnel/registry.ini")};
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!user.isEmpty())
        files.push_back(fs::path(user.toStdString()) / "Quarnel" / "registry.ini");
    return files;
}

} // namespace

TFormED::TFormED(const std::vector<std::string>& arguments, const fs::path& exeDir, TServices services)
    : Services_(std::move(services)), MeasureCanvas_(std::make_unique<TQtCanvas>(96, 96)),
      Doc_(std::make_unique<TEditorDocument>())
{
    setObjectName(QStringLiteral("FormED"));
    if (Services_.Boxes) {
        Boxes_ = Services_.Boxes;
    } else {
        OwnBoxes_ = std::make_unique<TQtMessageBoxes>(this);
        Boxes_ = OwnBoxes_.get();
    }
    if (Services_.PictureDialog) {
        PictureDialog_ = Services_.PictureDialog;
    } else {
        OwnPictureDialog_ = std::make_unique<TQtPictureDialog>(this);
        PictureDialog_ = OwnPictureDialog_.get();
    }
    rve = new TDocViewEditWidget(Doc_->Editor, Doc_->Info, *Boxes_, this);
    rve->setObjectName(QStringLiteral("rve"));
    setCentralWidget(rve);
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();

    if (Services_.PrintDialogs) {
        PrintDialogs_ = Services_.PrintDialogs;
    } else {
        OwnPrintDialogs_ = std::make_unique<TQtPrintDialogs>(this);
        PrintDialogs_ = OwnPrintDialogs_.get();
    }
    // The print component starts with margins of 20, 10, 20 and 20 mm (left, right, top, bottom);
    // documents and the page setup bring their own.
    RVPrint1.LeftMarginMM = 20;
    RVPrint1.RightMarginMM = 10;
    RVPrint1.TopMarginMM = 20;
    RVPrint1.BottomMarginMM = 20;
    // The printer as the window starts: its page is the one the editor breaks lines for.
    Printer_ = Services_.Printer ? Services_.Printer() : DefaultPrinter();
    ConnectPrintCommands();
    TPrinterPageQuery printerPage = Services_.PrinterPage;
    if (!printerPage)
        printerPage = [this]() -> std::optional<TPrinterPageMetrics> {
            if (!Printer_)
                return std::nullopt;
            return Printer_->PageMetrics();
        };
    Session_ = std::make_unique<TDocumentSession>(Run_, *Doc_, *MeasureCanvas_, *this, *Boxes_, LMru,
                                                  std::move(printerPage), PageSetup_);
    ConnectEditor();
    ConnectFormatting();
    ConnectHyperlinkCommands();
    ConnectSpellingCommands();
    RVPrint1.OnPagePrepaint = HeaderFooterPainter(PageState_);
    FormCreate(arguments, exeDir);
}

TFormED::~TFormED()
{
    // The editor's window and events go before the document they show; then the session, and the
    // recent-file list, destroyed after it, writes itself back to "mru.ini". Spelling while typing
    // goes first: its worker asks the spell checker.
    Live_.reset();
    DisconnectFormatting();
    delete rve;
    rve = nullptr;
    RVPrint1.SetPrinter(nullptr);
    TDocViewEdit& edit = Doc_->Editor;
    edit.SetClipboard(nullptr);
    edit.OnChange = nullptr;
    edit.OnCaretMove = nullptr;
    edit.OnItemTextEdit = nullptr;
    edit.OnSelect = nullptr;
    edit.OnCurTextStyleChanged = nullptr;
    edit.OnJump = nullptr;
    edit.OnReadHyperlink = nullptr;
    Session_.reset();
}

// --- The editor ----------------------------------------------------------------------------------------

void TFormED::ConnectEditor()
{
    TDocViewEdit& edit = Doc_->Editor;
    edit.OnChange = [this](TCustomDocViewEdit&) {
        Session_->rveChange();
        UpdateUndoControls();
        LiveSpellingChanged();
    };
    edit.OnCaretMove = [this](TCustomDocViewEdit&) {
        UpdateUndoControls();
        rveCaretMove();
        LiveSpellingCaretMoved();
    };
    // The toolbar follows the caret's styles (and updates the undo controls).
    edit.OnCurTextStyleChanged = [this](TCustomDocViewEdit&) { rveCurTextStyleChanged(); };
    edit.OnSelect = [this](TCustomDocViewEdit&) { UpdateSelectionControls(); };
    Clipboard_ = std::make_unique<TQtClipboard>();
    edit.SetClipboard(Clipboard_.get());
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdatePasteControls(); });
    UpdatePasteControls();
}

void TFormED::UpdatePasteControls()
{
    const bool can = Doc_->Editor.CanPasteNow();
    mitPaste->setEnabled(can);
    btnPaste->setEnabled(can);
}

void TFormED::UpdateUndoControls()
{
    // Also after a load or a new document, which start with empty lists and nothing selected.
    UpdateSelectionControls();
    const TDocViewEdit& edit = Doc_->Editor;
    mitUndo->setEnabled(edit.CanUndo());
    btnUndo->setEnabled(edit.CanUndo());
    mitRedo->setEnabled(edit.CanRedo());
    btnRedo->setEnabled(edit.CanRedo());
}

void TFormED::UpdateSelectionControls()
{
    // Copy needs a selection; cut and delete follow copy.
    const bool selected = Doc_->Editor.CanCopy();
    for (QAction* a : {mitCopy, btnCopy, mitCut, btnCut})
        a->setEnabled(selected);
    mitDelete->setEnabled(selected);
    // The hyperlink commands need a selection they may change.
    const bool linkable = Doc_->Editor.SelectionExists() && !Doc_->Editor.ReadOnly;
    if (mitHyperlinkEdit) {
        mitHyperlinkEdit->setEnabled(linkable);
        mitHyperlinkRemove->setEnabled(linkable);
    }
}

void TFormED::EditCommand(const std::function<void(TDocViewEdit&)>& command)
{
    if (Busy_)
        return;
    rve->RunEdit([this, &command] { command(Doc_->Editor); });
    UpdateUndoControls();
    rve->setFocus(Qt::OtherFocusReason);
}

void TFormED::FormCreate(const std::vector<std::string>& arguments, const fs::path& exeDir)
{
    Run_ = StartRunState(ReadCommandLine(arguments), exeDir, ReadComputerName());

    // Hints: the short part at the control, on yellow; the long part in status-bar panel 1.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0x00));
    tips.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
    QToolTip::setPalette(tips);

    std::error_code error;
    fs::current_path(Run_.WorkDir, error);

    setMinimumSize(MainWindowMinWidth, MainWindowMinHeight);
    resize(InitialWidth, InitialHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SetCaption(CaptionAtCreation);

    LMru.OnChange = [this](TMruList&) { RebuildRecentMenu(); };
    LMru.SetFileName(Run_.WorkDir / MruFileName);

    FillCombos();
    // The printer of program start and its settings, restored for documents without their own.
    TakePrinterSnapshot(PageState_, PageSetup_.Printer());
    Session_->New(true);
    // The page setup's fields and defaults come from the printer once, when the window is made.
    PageSetup_.Initialize();
    CreatePrintDialogs();

    rve->setFocus();
    rve->setStatusTip(FromUtf8(EditorHint));
    rve->viewport()->setToolTip(FromUtf8(EditorHint));

    // Shown again by the recent-file list when it has entries to show.
    mitReopen->setVisible(false);
    mitReopen->setEnabled(false);

    SetUpSpelling();
}

void TFormED::FillCombos()
{
    // The four alignment styles: every paragraph style but the two frame styles (entries 4 and 5).
    const TParaInfos& paraStyles = Doc_->RStyle.ParaStyles;
    for (int i = 0; i < paraStyles.Count(); ++i)
        cmbPara->addItem(FromUtf8(paraStyles[i].StyleName));
    for (int i : {5, 4})
        if (i < cmbPara->count())
            cmbPara->removeItem(i);

    cmbFont->addItems(FontBoxFamilies(QFontDatabase::families()));

    for (int size : ScalableFontSizes)
        cmbFontSize->addItem(QString::number(size));
}

// --- Showing and closing -----------------------------------------------------------------------------

void TFormED::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (Shown_)
        return;
    Shown_ = true;
    Guarded([this] { Session_->FormShow(); });
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    // Queued, so that the window is on the screen before the first dialog opens over it.
    QMetaObject::invokeMethod(this, &TFormED::WmAfterShow, Qt::QueuedConnection);
}

void TFormED::WmAfterShow()
{
    Guarded([this] { Session_->WmAfterShow(); });
}

void TFormED::closeEvent(QCloseEvent* event)
{
    if (Busy_) {
        event->ignore();
        return;
    }
    // The check of the document walks it until its dialog run ends.
    if (SpellCheckRunning_) {
        QApplication::beep();
        event->ignore();
        return;
    }
    bool mayClose = false;
    InCloseQuery_ = true;
    Guarded([this, &mayClose] { mayClose = Session_->FormCloseQuery(); });
    InCloseQuery_ = false;
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

void TFormED::CloseWindow()
{
    // Inside the close query the window closes as soon as the query answers.
    if (!InCloseQuery_)
        close();
}

void TFormED::RestoreAndRaise()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

bool TFormED::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        StatusPanel1->setText(tip.isEmpty() ? FromUtf8(NoHintNotice) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

// --- The session's window operations -----------------------------------------------------------------

void TFormED::SetCaption(std::string_view caption)
{
    setWindowTitle(FromUtf8(caption));
}

void TFormED::SetModifiedNotice(std::string_view text)
{
    StatusPanel0->setText(FromUtf8(text));
}

QString TFormED::ModifiedNoticeText() const
{
    return StatusPanel0->text();
}

QString TFormED::HintText() const
{
    return StatusPanel1->text();
}

void TFormED::DocumentFormatted(bool fromTop)
{
    rve->DocumentFormatted(fromTop);
}

void TFormED::SyncControls()
{
    // The caret stands at the beginning of the document.
    const TCustomRVFormattedData& data = Doc_->Data();
    const int paraNo = data.Empty() ? 0 : data.ParaOf(0);
    const int styleNo = data.Empty() || !data.ItemAt(0).IsText() ? 0 : data.ActualStyleOf(0);
    SyncTextControls(styleNo, paraNo);
    SyncParaControls(paraNo);
    SyncListState(data, data.Empty() ? -1 : 0);
}

void TFormED::EnterHostDocumentMode()
{
    HostMode_ = true;
    // The host owns the file: no new document, no other document, no recent files.
    for (QAction* a : {mitNew, sepAfterNew, mitOpen, mitReopen, sepAfterReopen, btnNew, btnOpen})
        a->setVisible(false);
    // The save button becomes a wide text button at the toolbar's start.
    ToolBar1->removeAction(btnSave);
    ToolBar1->insertAction(ToolBar1->actions().value(0), btnSave);
    btnSave->setText(FromUtf8(HostSaveButtonCaption));
    if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(btnSave))) {
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setFixedWidth(HostSaveButtonWidth);
    }
}

void TFormED::RunLong(std::string_view notice, const std::function<void()>& work)
{
    if (Busy_) {
        work();
        return;
    }
    Busy_ = true;
    rve->SetSuspended(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString previousHint = StatusPanel1->text();

    // The step runs beside the event loop, which keeps the window painted (but takes no input)
    // and shows the notice with a running bar when the step takes a while.
    std::exception_ptr failure;
    QEventLoop loop;
    QTimer::singleShot(BusyNoticeDelayMs, &loop, [this, notice] {
        StatusPanel1->setText(FromUtf8(notice));
        BusyBar->show();
    });
    std::atomic<bool> done = false;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();

    BusyBar->hide();
    StatusPanel1->setText(previousHint);
    QApplication::restoreOverrideCursor();
    rve->SetSuspended(false);
    Busy_ = false;
    if (failure)
        std::rethrow_exception(failure);
}

TAutoTextOutcome TFormED::ShowAutoText(int dialogMode)
{
    if (Services_.AutoTextDialog)
        return Services_.AutoTextDialog(dialogMode);
    TAutoTextStore store(Run_.WorkDir);
    TAutoT dialog(store, dialogMode, *Boxes_, this);
    dialog.exec();
    return dialog.Outcome();
}

// --- Commands ----------------------------------------------------------------------------------------

void TFormED::RebuildRecentMenu()
{
    const std::vector<TMruMenuItem> items = LMru.MenuItems();
    for (std::size_t i = 0; i < mitRecent.size(); ++i) {
        QAction* action = mitRecent[i];
        if (i < items.size()) {
            QString caption = FromUtf8(items[i].Caption);
            caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(caption);
            action->setData(FromUtf8(items[i].Path));
            action->setVisible(true);
        } else {
            action->setVisible(false);
            action->setData(QVariant());
        }
    }
    const TMruAnchorState anchor = LMru.AnchorState();
    mitReopen->setVisible(anchor.Visible && !HostMode_);
    mitReopen->setEnabled(anchor.Enabled && !HostMode_);
}

void TFormED::ToggleControlChars()
{
    Run_.ShowControlChars = !Run_.ShowControlChars;
    TRVEditRVData& data = Doc_->Data();
    if (Run_.ShowControlChars)
        data.Options.Include(rvoShowSpecialCharacters);
    else
        data.Options.Exclude(rvoShowSpecialCharacters);
    btnControlChars->setIcon(
        ToolIcon(Run_.ShowControlChars ? TToolIcon::ControlCharsOn : TToolIcon::ControlCharsOff));
    // The caret and the selection keep their places in the text over the new layout.
    const TRVEditPositions positions = data.SavePositions();
    RunLong(FormattingNotice, [&data, &positions] {
        data.FormatAll(true, true);
        data.RestorePositions(positions);
    });
    rve->DocumentFormatted(false);
}

void TFormED::ShowHelp()
{
    const THelpTopic topic = FindHelpTopic(Run_.WorkDir, Run_.ExeDir, Run_.AbrHostDocument, RegistryFiles());
    std::error_code error;
    // The help viewer of this desktop opens the file at its start; topics cannot be handed to it.
    if (fs::exists(topic.File, error) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(topic.File.string()))))
        return;
    Boxes_->Show("Die Hilfedatei " + topic.File.string() + " ist nicht vorhanden.", "Hilfe", TMsgButtons::Ok,
                 TMsgIcon::Information);
}

void TFormED::ShowAbout()
{
    QDialog about(this);
    about.setObjectName(QStringLiteral("AboutBox"));
    about.setWindowTitle(QStringLiteral("Über"));
    auto* layout = new QVBoxLayout(&about);
    auto* title = new QLabel(QStringLiteral("<b>Quarnel Autotext</b>"), &about);
    auto* text = new QLabel(QString::fromUtf8("XQ Textbausteineditor, Version %1\n\n"
                                              "Der Editor für Textbausteine und Autotext-Einträge.")
                                .arg(QString::fromLatin1(XQ_VERSION)),
                            &about);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(buttons);
    about.exec();
}

void TFormED::Guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        Boxes_->Show(std::string("Interner Fehler: ") + e.what(), "Fehler", TMsgButtons::Ok, TMsgIcon::Error);
    }
}

} // namespace xq

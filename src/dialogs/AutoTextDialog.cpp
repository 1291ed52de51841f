// The AutoText dialog's window: caption, help line and button of the mode, the two lists that select
// each other, the shortcut box's key filter, and the naming of a new entry with its messages.
#include "dialogs/AutoTextDialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/MessageBoxes.h"
#include "platform/qt/QtText.h"

namespace xq {

namespace {

/// A key press that types a character the shortcut box does not take.
bool IsRefusedKey(const QKeyEvent& key)
{
    const QString text = key.text();
    if (text.isEmpty())
        return false; // cursor keys, Delete and the like type nothing
    if (key.key() == Qt::Key_Escape || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
        return false; // the dialog's own keys
    for (char32_t c : text.toUcs4())
        if (!IsShortcutKeyAccepted(c))
            return true;
    return false;
}

} // namespace

TAutoT::TAutoT(TAutoTextStore& store, int dialogMode, TMessageBoxes& boxes, QWidget* mainWindow)
    : QDialog(mainWindow), Chooser_(std::make_unique<TAutoTextChooser>(store, dialogMode)), Boxes_(boxes),
      MainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("AutoT"));
    setModal(true);
    setSizeGripEnabled(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const TAutoTextDialogTexts texts = Chooser_->Texts();
    setWindowTitle(FromUtf8(texts.Caption));

    lblHelp = new QLabel(FromUtf8(texts.HelpLine), this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setWordWrap(true);
    lblHelp->setMinimumHeight(lblHelp->fontMetrics().lineSpacing() * 3);
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* shortcutLabel = new QLabel(FromUtf8(AutoTextShortcutLabel), this);
    auto* shortNameLabel = new QLabel(FromUtf8(AutoTextShortNameLabel), this);
    cmbShortcut = new QComboBox(this);
    cmbShortcut->setObjectName(QStringLiteral("cmbShortcut"));
    cmbShortName = new QComboBox(this);
    cmbShortName->setObjectName(QStringLiteral("cmbShortName"));
    shortcutLabel->setBuddy(cmbShortcut);
    shortNameLabel->setBuddy(cmbShortName);
    cmbShortcut->setMinimumContentsLength(14);
    cmbShortName->setMinimumContentsLength(36);
    for (QComboBox* box : {cmbShortcut, cmbShortName}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMaxVisibleItems(15);
    }

    btnAction = new QPushButton(FromUtf8(texts.Button), this);
    btnAction->setObjectName(QStringLiteral("btnAction"));
    btnCancel = new QPushButton(FromUtf8(AutoTextCancelButton), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnAction->setVisible(!texts.Button.empty());
    btnAction->setDefault(!texts.Button.empty());
    btnCancel->setDefault(texts.Button.empty());
    if (Chooser_->DialogMode() == AutoTextModeNoEntries) {
        cmbShortcut->setEnabled(false);
        cmbShortName->setEnabled(false);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(shortcutLabel, 0, 0);
    grid->addWidget(shortNameLabel, 0, 1);
    grid->addWidget(cmbShortcut, 1, 0);
    grid->addWidget(cmbShortName, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 3);
    grid->setHorizontalSpacing(12);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnAction);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    layout->addWidget(lblHelp);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    setMinimumWidth(540);

    FillLists();

    // Choosing an entry selects it in the other list too; while a new entry is named, each box keeps
    // what the user put there.
    connect(cmbShortcut, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (Naming())
            return;
        Chooser_->SelectShortcut(index);
        cmbShortName->setCurrentIndex(Chooser_->ShortNameIndex());
    });
    connect(cmbShortName, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (Naming())
            return;
        Chooser_->SelectShortName(index);
        cmbShortcut->setCurrentIndex(Chooser_->ShortcutIndex());
    });
    connect(btnAction, &QPushButton::clicked, this, &TAutoT::ActionClicked);
    connect(btnCancel, &QPushButton::clicked, this, &TAutoT::reject);
}

TAutoT::~TAutoT() = default;

bool TAutoT::Naming() const noexcept
{
    return Chooser_->DialogMode() == AutoTextModeNewEntry && !Named_;
}

void TAutoT::FillLists()
{
    const bool naming = Naming();
    cmbShortcut->clear();
    cmbShortName->clear();
    for (const TAutoTextListItem& item : Chooser_->ShortcutList())
        cmbShortcut->addItem(FromUtf8(item.Text), item.Number);
    for (const TAutoTextListItem& item : Chooser_->ShortNameList())
        cmbShortName->addItem(FromUtf8(item.Text), item.Number);

    if (naming) {
        // Naming a new entry: both boxes take typed text, start empty and select nothing.
        cmbShortcut->setEditable(true);
        cmbShortName->setEditable(true);
        // A new name is typed as it stands: the boxes complete nothing from the entries there are
        // (an existing name that begins with the typed text would take its place), and Enter saves
        // without first looking the text up among the entries.
        for (QComboBox* box : {cmbShortcut, cmbShortName}) {
            box->setCompleter(nullptr);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setCurrentIndex(-1);
            box->setEditText(QString());
            box->lineEdit()->installEventFilter(this);
        }
        cmbShortcut->lineEdit()->setMaxLength(MaxShortcutLength);
        cmbShortName->lineEdit()->setMaxLength(MaxShortNameLength);
        // Pasted or dropped text keeps only what could have been typed.
        connect(cmbShortcut->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
            const QString filtered = QString::fromStdString(FilterShortcutText(text.toStdString()));
            if (filtered != text) {
                const int cursor = cmbShortcut->lineEdit()->cursorPosition() - int(text.size() - filtered.size());
                cmbShortcut->lineEdit()->setText(filtered);
                cmbShortcut->lineEdit()->setCursorPosition(std::max(0, cursor));
            }
        });
        return;
    }
    cmbShortcut->setEditable(false);
    cmbShortName->setEditable(false);
    cmbShortcut->setCurrentIndex(Chooser_->ShortcutIndex());
    cmbShortName->setCurrentIndex(Chooser_->ShortNameIndex());
}

bool TAutoT::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !Naming())
        return QDialog::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    const bool inShortcut = watched == cmbShortcut->lineEdit();
    if (!inShortcut && watched != cmbShortName->lineEdit())
        return QDialog::eventFilter(watched, event);
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        btnAction->click();
        return true;
    }
    if (inShortcut && IsRefusedKey(key))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TAutoT::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!MainWindow_)
        return;
    adjustSize();
    const QRect main = MainWindow_->frameGeometry();
    move(main.left() + (main.width() - frameGeometry().width()) / 2, main.top() + 20);
}

void TAutoT::ActionClicked()
{
    switch (Chooser_->DialogMode()) {
    case AutoTextModeNewEntry:
        SaveClicked();
        break;
    case AutoTextModeOpen:
        Chooser_->RequestOpen();
        accept();
        break;
    case AutoTextModeInsert:
        // A missing entry file keeps the dialog open; otherwise the main window inserts the entry.
        if (const std::optional<TAutoTextMessage> missing = Chooser_->CheckInsert()) {
            Boxes_.Show(missing->Text, missing->Caption, TMsgButtons::Ok, missing->Icon);
            return;
        }
        accept();
        break;
    default:
        break;
    }
}

void TAutoT::SaveClicked()
{
    Naming_ = Chooser_->Save(cmbShortcut->currentText().toStdString(), cmbShortName->currentText().toStdString());
    cmbShortcut->setEditText(FromUtf8(Naming_.Shortcut));
    cmbShortName->setEditText(FromUtf8(Naming_.ShortName));
    for (const TAutoTextMessage& message : Naming_.Messages)
        Boxes_.Show(message.Text, message.Caption, TMsgButtons::Ok, message.Icon);
    if (Naming_.Refused()) {
        QComboBox* focus = Naming_.Focus == TAutoTextField::ShortName ? cmbShortName : cmbShortcut;
        focus->setFocus();
        return;
    }
    // The new entry is now one of the list, shown selected in plain drop-down lists.
    Named_ = true;
    FillLists();
    accept();
}

void TAutoT::reject()
{
    // "Abbrechen", Escape and the window's close button all cancel.
    StartNew_ = Chooser_->Cancel();
    QDialog::reject();
}

TAutoTextOutcome TAutoT::Outcome() const
{
    TAutoTextOutcome outcome;
    outcome.DialogMode = Chooser_->DialogMode();
    outcome.EntryPath = Chooser_->EntryPath();
    outcome.Refused = Chooser_->Refused();
    outcome.StartNew = StartNew_;
    if (Named_)
        outcome.LastEntryName = Naming_.LastEntryName;
    return outcome;
}

} // namespace xq

// The spelling dialog.
#include "dialogs/SpellDialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/qt/QtText.h"

namespace xq {

namespace {

/// The client area the dialog is laid out for.
constexpr int DialogWidth = 353;
constexpr int DialogHeight = 228;

} // namespace

TfrmRVSpell::TfrmRVSpell(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRVSpell"));
    setWindowTitle(FromUtf8("Rechtschreibprüfung"));
    setModal(true);

    lblNotFound = new QLabel(FromUtf8("Nicht im Wörterbuch"), this);
    lblNotFound->setObjectName(QStringLiteral("lblNotFound"));
    edtWord = new QLineEdit(this);
    edtWord->setObjectName(QStringLiteral("edtWord"));
    edtWord->setReadOnly(true);
    QFont bold = edtWord->font();
    bold.setBold(true);
    edtWord->setFont(bold);
    lblNotFound->setBuddy(edtWord);

    lblChangeTo = new QLabel(FromUtf8("Ändern &in"), this);
    lblChangeTo->setObjectName(QStringLiteral("lblChangeTo"));
    cmb = new QLineEdit(this);
    cmb->setObjectName(QStringLiteral("cmb"));
    lblChangeTo->setBuddy(cmb);
    cmbList = new QListWidget(this);
    cmbList->setObjectName(QStringLiteral("cmbList"));
    cmbList->setSelectionMode(QAbstractItemView::SingleSelection);
    cmbList->installEventFilter(this);
    // Choosing a suggestion puts it in the edit line; a double click changes the word to it.
    connect(cmbList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            cmb->setText(item->text());
    });
    connect(cmbList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item && item->isSelected()) {
            cmb->setText(item->text());
            done(int(TSpellFormResult::Change));
        }
    });

    btnIgnore = Button("btnIgnore", "&Ignorieren", TSpellFormResult::Ignore);
    btnIgnore->setDefault(true);
    btnIgnoreAll = Button("btnIgnoreAll", "&Alle ignorieren", TSpellFormResult::IgnoreAll);
    btnChange = Button("btnChange", "&Ändern", TSpellFormResult::Change);
    btnChangeAll = Button("btnChangeAll", "All&e ändern", TSpellFormResult::ChangeAll);
    btnAdd = Button("btnAdd", "&Hinzufügen", TSpellFormResult::Add);
    btnCancel = Button("btnCancel", "&Abbrechen", TSpellFormResult::Cancel);

    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(lblNotFound);
    left->addWidget(edtWord);
    left->addSpacing(6);
    left->addWidget(lblChangeTo);
    left->addWidget(cmb);
    left->addWidget(cmbList, 1);
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    for (QPushButton* button : {btnIgnore, btnIgnoreAll, btnChange, btnChangeAll, btnAdd})
        right->addWidget(button);
    right->addStretch(1);
    right->addWidget(btnCancel);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(10);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->setColumnStretch(0, 1);

    // A fixed dialog: the size it was drawn for, or what the desktop's fonts need when more.
    const QSize hint = minimumSizeHint();
    setFixedSize(std::max(DialogWidth, hint.width()), std::max(DialogHeight, hint.height()));
}

QPushButton* TfrmRVSpell::Button(const char* name, const char* caption, TSpellFormResult result)
{
    auto* button = new QPushButton(FromUtf8(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, result] { done(int(result)); });
    return button;
}

void TfrmRVSpell::SetCaption(const std::string& caption)
{
    setWindowTitle(FromUtf8(caption));
}

void TfrmRVSpell::Fill(const std::string& word, const std::vector<std::string>& suggestions)
{
    cmbList->clear();
    cmb->clear();
    for (const std::string& suggestion : suggestions)
        cmbList->addItem(FromUtf8(suggestion));
    if (cmbList->count() > 0) {
        cmbList->setCurrentRow(0);
        cmbList->item(0)->setSelected(true);
    }
    edtWord->setText(FromUtf8(word));
}

TSpellFormResult TfrmRVSpell::Ask(const std::string& word, const std::vector<std::string>& suggestions, int,
                                  std::string& editLine)
{
    // The charset of the word's style needs nothing here: the dialog shows Unicode text.
    Fill(word, suggestions);
    btnIgnore->setFocus();
    const int result = exec();
    editLine = cmb->text().toStdString();
    switch (result) {
    case int(TSpellFormResult::Add):
    case int(TSpellFormResult::Change):
    case int(TSpellFormResult::Ignore):
    case int(TSpellFormResult::IgnoreAll):
    case int(TSpellFormResult::ChangeAll):
        return TSpellFormResult(result);
    default:
        return TSpellFormResult::Cancel;
    }
}

void TfrmRVSpell::reject()
{
    done(int(TSpellFormResult::Cancel));
}

void TfrmRVSpell::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the screen, whatever the window behind it.
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

bool TfrmRVSpell::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmbList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        done(int(TSpellFormResult::Cancel));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace xq

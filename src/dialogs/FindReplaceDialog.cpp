#include "dialogs/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace xq {

TFindReplaceDialog::TFindReplaceDialog(bool replace, QWidget* parent) : QDialog(parent), Replace_(replace)
{
    setObjectName(replace ? QStringLiteral("rd") : QStringLiteral("fdd"));
    setWindowTitle(replace ? QStringLiteral("Ersetzen") : QStringLiteral("Suchen"));
    setModal(false);

    auto* fields = new QGridLayout;
    edtFind = new QLineEdit(this);
    auto* findLabel = new QLabel(QStringLiteral("Suchen &nach:"), this);
    findLabel->setBuddy(edtFind);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(edtFind, 0, 1);
    if (replace) {
        edtReplace = new QLineEdit(this);
        auto* replaceLabel = new QLabel(QStringLiteral("Ersetzen &durch:"), this);
        replaceLabel->setBuddy(edtReplace);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(edtReplace, 1, 1);
    }

    chkWholeWord = new QCheckBox(QStringLiteral("Nur &ganzes Wort suchen"), this);
    chkMatchCase = new QCheckBox(QStringLiteral("Groß-/Kleinschreibung &beachten"), this);
    auto* options = new QVBoxLayout;
    options->addWidget(chkWholeWord);
    options->addWidget(chkMatchCase);
    auto* below = new QHBoxLayout;
    below->addLayout(options);
    // Replacing always runs towards the document's end: the replace dialog has no direction.
    rbUp = new QRadioButton(QStringLiteral("Nach &oben"), this);
    rbDown = new QRadioButton(QStringLiteral("Nach &unten"), this);
    rbDown->setChecked(true);
    if (!replace) {
        auto* direction = new QGroupBox(QStringLiteral("Richtung"), this);
        auto* radios = new QHBoxLayout(direction);
        radios->addWidget(rbUp);
        radios->addWidget(rbDown);
        below->addWidget(direction);
    } else {
        rbUp->hide();
        rbDown->hide();
    }

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(below);
    left->addStretch();

    btnFindNext = new QPushButton(QStringLiteral("&Weitersuchen"), this);
    btnFindNext->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    if (replace) {
        btnReplace = new QPushButton(QStringLiteral("&Ersetzen"), this);
        btnReplaceAll = new QPushButton(QStringLiteral("&Alle ersetzen"), this);
        buttons->addWidget(btnReplace);
        buttons->addWidget(btnReplaceAll);
        connect(btnReplace, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceOne);
        connect(btnReplaceAll, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceAll);
    }
    buttons->addWidget(btnCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(btnFindNext, &QPushButton::clicked, this, &TFindReplaceDialog::FindNext);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::close);
    connect(edtFind, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

QString TFindReplaceDialog::FindText() const
{
    return edtFind->text();
}

void TFindReplaceDialog::SetFindText(const QString& text)
{
    edtFind->setText(text);
    edtFind->selectAll();
}

QString TFindReplaceDialog::ReplaceText() const
{
    return edtReplace ? edtReplace->text() : QString();
}

TRVSearchOptions TFindReplaceDialog::Options() const
{
    TRVSearchOptions options;
    options.Set(SearchMatchCase, chkMatchCase->isChecked());
    options.Set(SearchWholeWord, chkWholeWord->isChecked());
    options.Set(SearchDown, Replace_ || rbDown->isChecked());
    return options;
}

void TFindReplaceDialog::UpdateButtons()
{
    // Nothing to look for, nothing to press.
    const bool any = !edtFind->text().isEmpty();
    for (QPushButton* b : {btnFindNext, btnReplace, btnReplaceAll})
        if (b)
            b->setEnabled(any);
}

} // namespace xq

// The hyperlink dialog.
#include "dialogs/HyperlinkDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/QtText.h"
#include "tools/Hyperlinks.h"

namespace xq {

namespace {

/// The offset of the dialog's top edge below the window's.
constexpr int TopOffset = 10;
constexpr int DialogWidth = 420;

} // namespace

TTxTHyper::TTxTHyper(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TxTHyper"));
    setWindowTitle(FromUtf8("Hyperlink..."));
    setModal(true);

    lblLink = new QLabel(FromUtf8("Link:"), this);
    lblLink->setObjectName(QStringLiteral("lblLink"));
    edtLink = new QLineEdit(FromUtf8(HyperlinkInitialTarget), this);
    edtLink->setObjectName(QStringLiteral("edtLink"));
    edtLink->setMaxLength(int(MaxHyperlinkTargetLength));
    lblLink->setBuddy(edtLink);
    lblLinkText = new QLabel(FromUtf8("Link Text"), this);
    lblLinkText->setObjectName(QStringLiteral("lblLinkText"));
    lblSelText = new QLabel(this);
    lblSelText->setObjectName(QStringLiteral("lblSelText"));
    // The selected text is shown as it is, never as markup.
    lblSelText->setTextFormat(Qt::PlainText);
    lblSelText->setWordWrap(true);
    lblExplanation =
        new QLabel(FromUtf8("Bitte Ziel eingeben oder löschen Sie die Eingabezeile um das Hyperlink zu löschen."), this);
    lblExplanation->setObjectName(QStringLiteral("lblExplanation"));
    lblExplanation->setWordWrap(true);

    btnOk = new QPushButton(FromUtf8("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(FromUtf8("Abbrechen"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblLink);
    layout->addWidget(edtLink);
    layout->addWidget(lblLinkText);
    layout->addWidget(lblSelText);
    layout->addWidget(lblExplanation);
    layout->addLayout(buttons);
    resize(DialogWidth, sizeHint().height());
}

void TTxTHyper::Fill(const std::string& target, const std::string& selectedText)
{
    edtLink->setText(FromUtf8(target));
    // Long selections would stretch the dialog; the start tells which text it is.
    constexpr qsizetype MaxShown = 500;
    QString shown = FromUtf8(selectedText);
    if (shown.size() > MaxShown)
        shown = shown.left(MaxShown) + QChar(0x2026);
    lblSelText->setText(shown);
    edtLink->setFocus(Qt::OtherFocusReason);
    edtLink->selectAll();
}

std::string TTxTHyper::Target() const
{
    return CutHyperlinkTarget(edtLink->text().toStdString());
}

void TTxTHyper::PlaceOver(const QWidget& window)
{
    PlaceWindow_ = &window;
    MoveOver(window);
}

void TTxTHyper::MoveOver(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    move(frame.left() + (frame.width() - frameGeometry().width()) / 2, frame.top() + TopOffset);
}

void TTxTHyper::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (PlaceWindow_)
        MoveOver(*PlaceWindow_);
}

} // namespace xq

// Message boxes on Qt: the caption, the text ("\r" breaks a line), the icon and German buttons.
#include "app/QtMessageBoxes.h"

#include <memory>
#include <vector>

#include <QMessageBox>
#include <QPushButton>

namespace xq {

namespace {

struct TButton {
    TMsgAnswer Answer;
    QMessageBox::ButtonRole Role;
};

std::vector<TButton> ButtonsOf(TMsgButtons buttons)
{
    switch (buttons) {
    case TMsgButtons::Ok: return {{TMsgAnswer::Ok, QMessageBox::AcceptRole}};
    case TMsgButtons::OkCancel:
        return {{TMsgAnswer::Ok, QMessageBox::AcceptRole}, {TMsgAnswer::Cancel, QMessageBox::RejectRole}};
    case TMsgButtons::YesNo: return {{TMsgAnswer::Yes, QMessageBox::YesRole}, {TMsgAnswer::No, QMessageBox::NoRole}};
    case TMsgButtons::YesNoCancel:
        return {{TMsgAnswer::Yes, QMessageBox::YesRole},
                {TMsgAnswer::No, QMessageBox::NoRole},
                {TMsgAnswer::Cancel, QMessageBox::RejectRole}};
    case TMsgButtons::RetryCancel:
        return {{TMsgAnswer::Retry, QMessageBox::AcceptRole}, {TMsgAnswer::Cancel, QMessageBox::RejectRole}};
    case TMsgButtons::AbortRetryIgnore:
        return {{TMsgAnswer::Abort, QMessageBox::RejectRole},
                {TMsgAnswer::Retry, QMessageBox::AcceptRole},
                {TMsgAnswer::Ignore, QMessageBox::AcceptRole}};
    }
    return {{TMsgAnswer::Ok, QMessageBox::AcceptRole}};
}

QMessageBox::Icon IconOf(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::None: return QMessageBox::NoIcon;
    case TMsgIcon::Information: return QMessageBox::Information;
    case TMsgIcon::Warning: return QMessageBox::Warning;
    case TMsgIcon::Error: return QMessageBox::Critical;
    case TMsgIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

/// The answer a box gives when it is closed without a button: Cancel where there is one, else the
/// only or the first button.
TMsgAnswer EscapeAnswer(const std::vector<TButton>& buttons)
{
    for (const TButton& b : buttons)
        if (b.Answer == TMsgAnswer::Cancel)
            return b.Answer;
    if (buttons.size() == 1)
        return buttons.front().Answer;
    for (const TButton& b : buttons)
        if (b.Answer == TMsgAnswer::No || b.Answer == TMsgAnswer::Abort)
            return b.Answer;
    return buttons.front().Answer;
}

constexpr const char* AnswerProperty = "xqAnswer";

} // namespace

QString TQtMessageBoxes::ButtonText(TMsgAnswer answer)
{
    switch (answer) {
    case TMsgAnswer::Ok: return QStringLiteral("OK");
    case TMsgAnswer::Cancel: return QStringLiteral("Abbrechen");
    case TMsgAnswer::Yes: return QStringLiteral("Ja");
    case TMsgAnswer::No: return QStringLiteral("Nein");
    case TMsgAnswer::Retry: return QStringLiteral("Wiederholen");
    case TMsgAnswer::Abort: return QStringLiteral("Abbrechen");
    case TMsgAnswer::Ignore: return QStringLiteral("Ignorieren");
    }
    return {};
}

QMessageBox* TQtMessageBoxes::Build(QWidget* parent, const std::string& text, const std::string& caption,
                                    TMsgButtons buttons, TMsgIcon icon)
{
    auto* box = new QMessageBox(parent);
    box->setWindowTitle(QString::fromStdString(caption));
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setTextFormat(Qt::PlainText);
    box->setText(body);
    box->setIcon(IconOf(icon));
    const std::vector<TButton> list = ButtonsOf(buttons);
    for (const TButton& b : list) {
        QPushButton* button = box->addButton(ButtonText(b.Answer), b.Role);
        button->setProperty(AnswerProperty, static_cast<int>(b.Answer));
        if (&b == &list.front())
            box->setDefaultButton(button);
        if (b.Answer == EscapeAnswer(list))
            box->setEscapeButton(button);
    }
    return box;
}

TMsgAnswer TQtMessageBoxes::Show(const std::string& text, const std::string& caption, TMsgButtons buttons,
                                 TMsgIcon icon)
{
    std::unique_ptr<QMessageBox> box(Build(Parent_, text, caption, buttons, icon));
    box->exec();
    if (QAbstractButton* clicked = box->clickedButton()) {
        const QVariant answer = clicked->property(AnswerProperty);
        if (answer.isValid())
            return static_cast<TMsgAnswer>(answer.toInt());
    }
    return EscapeAnswer(ButtonsOf(buttons));
}

} // namespace xq

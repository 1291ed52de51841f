// Input boxes on Qt.
#include "app/InputBoxes.h"

#include <QInputDialog>

namespace xq {

std::optional<std::string> TQtInputBoxes::InputQuery(const std::string& caption, const std::string& prompt,
                                                     const std::string& value)
{
    QInputDialog dialog(Parent_);
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(value));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

} // namespace xq

// The picture open dialog on Qt.
#include "app/PictureDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace xq {

QStringList TQtPictureDialog::NameFilters()
{
    return {QString::fromUtf8("Alle Bilder (*.bmp *.jpg *.jpeg *.png *.gif *.ico *.wmf *.emf)"),
            QString::fromUtf8("Bitmaps (*.bmp)"),
            QString::fromUtf8("JPEG-Bilder (*.jpg *.jpeg)"),
            QString::fromUtf8("PNG-Bilder (*.png)"),
            QString::fromUtf8("GIF-Bilder (*.gif)"),
            QString::fromUtf8("Symbole (*.ico)"),
            QString::fromUtf8("Metadateien (*.wmf *.emf)"),
            QString::fromUtf8("Alle Dateien (*)")};
}

std::optional<std::filesystem::path> TQtPictureDialog::Execute(const std::string& title)
{
    QFileDialog dialog(Parent_, QString::fromUtf8(title.data(), qsizetype(title.size())),
                       QString::fromStdString(Dir_.string()));
    dialog.setObjectName(QStringLiteral("PictureDialog"));
    // Qt's own dialog, which speaks the program's German whatever language the desktop's has.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Only a file that exists can be chosen.
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters());
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const std::filesystem::path chosen(dialog.selectedFiles().constFirst().toStdString());
    Dir_ = chosen.parent_path();
    return chosen;
}

} // namespace xq

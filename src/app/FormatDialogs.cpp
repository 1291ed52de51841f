// The formatting commands' font and colour dialogs on Qt.
#include "app/FormatDialogs.h"

#include <algorithm>

#include <QColorDialog>
#include <QFontDialog>
#include <QIntValidator>
#include <QLineEdit>

#include "platform/qt/QtCanvas.h"

namespace xq {

namespace {

/// The sizes the font dialog accepts.
constexpr int MinDialogFontSize = 1;
constexpr int MaxDialogFontSize = 72;

QFont QFontOf(const TFontDescription& font)
{
    QFont f(QtFamilyFor(font.Name));
    f.setPointSize(std::clamp(int(font.Size), MinDialogFontSize, MaxDialogFontSize));
    f.setBold(font.Style.Contains(fsBold));
    f.setItalic(font.Style.Contains(fsItalic));
    f.setUnderline(font.Style.Contains(fsUnderline));
    f.setStrikeOut(font.Style.Contains(fsStrikeOut));
    return f;
}

} // namespace

bool TQtFormatDialogs::ChooseFont(TFontDescription& font)
{
    QFontDialog dialog(QFontOf(font), Parent_);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("Schriftart"));
    // The size field takes no size outside 1..72; the list of sizes ends at 72 anyway.
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (qobject_cast<const QIntValidator*>(edit->validator()))
            edit->setValidator(new QIntValidator(MinDialogFontSize, MaxDialogFontSize, edit));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    // A document font shown through its stand-in keeps its own name.
    if (chosen.family().compare(QtFamilyFor(font.Name), Qt::CaseInsensitive) != 0 &&
        chosen.family().compare(QString::fromStdString(font.Name), Qt::CaseInsensitive) != 0)
        font.Name = chosen.family().toStdString();
    font.Size = std::clamp(chosen.pointSize() > 0 ? chosen.pointSize() : int(font.Size), MinDialogFontSize,
                           MaxDialogFontSize);
    TFontStyles styles;
    if (chosen.bold())
        styles.Include(fsBold);
    if (chosen.italic())
        styles.Include(fsItalic);
    if (chosen.underline())
        styles.Include(fsUnderline);
    if (chosen.strikeOut())
        styles.Include(fsStrikeOut);
    font.Style = styles;
    // This dialog chooses no colour and no character set: the preset ones stay.
    return true;
}

bool TQtFormatDialogs::ChooseColor(TColor& color)
{
    const TColor rgb = ColorToRGB(color);
    const QColor preset(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
    // Qt's own dialog, German like the font dialog.
    const QColor chosen =
        QColorDialog::getColor(preset, Parent_, QStringLiteral("Farbe"), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return false;
    color = TColor(chosen.red()) | (TColor(chosen.green()) << 8) | (TColor(chosen.blue()) << 16);
    return true;
}

} // namespace xq

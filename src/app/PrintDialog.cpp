// The print dialog and the PDF file dialog of Qt.
#include "app/PrintDialog.h"

#include <algorithm>

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/qt/QtPrinter.h"

namespace xq {

bool TQtPrintDialogs::ExecutePrint(TQtPrinter& printer, TPrintChoice& choice)
{
    QPrinter& qt = printer.QtPrinter();
    QPrintDialog dialog(&qt, Parent_);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    // Page numbers and the selection are offered, copies are collated unless the user says not.
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintSelection |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(choice.MinPage, choice.MaxPage);
    qt.setPrintRange(QPrinter::AllPages);
    qt.setFromTo(choice.FromPage, choice.ToPage);
    qt.setCopyCount(std::max(choice.Copies, 1));
    qt.setCollateCopies(choice.Collate);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    switch (qt.printRange()) {
    case QPrinter::PageRange:
        choice.Range = TPrintRange::Pages;
        choice.FromPage = qt.fromPage();
        choice.ToPage = qt.toPage();
        break;
    case QPrinter::Selection: choice.Range = TPrintRange::Selection; break;
    default: choice.Range = TPrintRange::All; break;
    }
    choice.Copies = std::max(qt.copyCount(), 1);
    choice.Collate = qt.collateCopies();
    // The pages are sent as the print component makes them: the printer itself prints them all.
    qt.setPrintRange(QPrinter::AllPages);
    return true;
}

std::optional<std::filesystem::path> TQtPrintDialogs::ChoosePdfFile()
{
    QFileDialog dialog(Parent_, QStringLiteral("Als PDF exportieren"), QString::fromStdString(Dir_.string()));
    dialog.setObjectName(QStringLiteral("PdfFileDialog"));
    // Qt's own dialog, which speaks the program's German whatever language the desktop's has.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("Alle Dateien (*)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const std::filesystem::path chosen(dialog.selectedFiles().constFirst().toStdString());
    Dir_ = chosen.parent_path();
    return chosen;
}

} // namespace xq

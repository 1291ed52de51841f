// The main window's print commands: printing at once and through the print dialog, the page-break
// display, the soft page breaks after a load, and the export of the document as a PDF file.
#include <QAction>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "app/FormatDialogs.h"
#include "dialogs/PageSetupDialog.h"
#include "dialogs/PrintPreview.h"
#include "platform/qt/QtPrinter.h"

namespace xq {

void TFormED::ConnectPrintCommands()
{
    // The margins and the page event (headers and footers) are the page settings'.
    RVPrint1.SetPrinter(Printer_.get());
    PageSetup_.SetPrinter(Printer_.get());

    for (QAction* a : {mitPrint, btnPrint, btnPageBreaks, mitExportPdf, mitPageSetup, mitPreview, btnPreview})
        a->setEnabled(true);
    connect(mitPrint, &QAction::triggered, this, [this] { Guarded([this] { mitPrintClick(); }); });
    connect(mitPageSetup, &QAction::triggered, this, [this] { Guarded([this] { mitPageSetupClick(); }); });
    connect(mitPreview, &QAction::triggered, this, [this] { Guarded([this] { mitPreviewClick(); }); });
    connect(btnPreview, &QAction::triggered, mitPreview, &QAction::trigger);
    connect(btnPrint, &QAction::triggered, this, [this] { Guarded([this] { btnPrintClick(); }); });
    connect(btnPageBreaks, &QAction::triggered, this, [this] { Guarded([this] { btnPageBreaksClick(); }); });
    connect(mitExportPdf, &QAction::triggered, this, [this] { Guarded([this] { mitExportPdfClick(); }); });
}

bool TFormED::MayPrint()
{
    if (Busy_)
        return false;
    if (IsEmptyDocument(Doc_->Data())) {
        Boxes_->Show(std::string(NothingToPrintText), std::string(PrintCaption), TMsgButtons::Ok, TMsgIcon::Information);
        return false;
    }
    if (!Printer_) {
        Boxes_->Show(std::string(NoPrinterText), std::string(PrintCaption), TMsgButtons::Ok, TMsgIcon::Information);
        return false;
    }
    return true;
}

void TFormED::SetPrintColorMode(TQtPrinter& printer)
{
    RVPrint1.ColorMode = printer.DeviceSettings().Monochrome ? rvcmBlackOnWhite : rvcmPrinterColor;
}

int TFormED::Paginate(TQtPrinter& printer)
{
    RVPrint1.SetPrinter(&printer);
    RVPrint1.UseDocumentOf(Doc_->Data(), &Doc_->Info);
    int pages = 0;
    RunLong(FormattingNotice, [this, &pages] { pages = RVPrint1.PaginateDocument(); });
    return pages;
}

void TFormED::PrintPages(int first, int last, int copies, bool collate)
{
    bool printed = false;
    RunLong(PrintingNotice, [&] {
        const std::string title(PrintJobTitle);
        printed = last == 0 ? RVPrint1.PrintAll(title, copies, collate)
                            : RVPrint1.PrintPageRange(first, last, title, copies, collate);
    });
    if (!printed)
        Boxes_->Show(std::string(PrintFailedText), std::string(PrintCaption), TMsgButtons::Ok, TMsgIcon::Error);
}

bool TFormED::ChoosePdfFileIfNone()
{
    // The PDF printer without a file asks where the pages go.
    if (!Printer_->IsPdf() || !Printer_->OutputFile().empty())
        return true;
    const std::optional<std::filesystem::path> file = PrintDialogs_->ChoosePdfFile();
    if (!file)
        return false;
    Printer_->SetOutputFile(*file);
    return true;
}

void TFormED::btnPrintClick()
{
    if (!MayPrint())
        return;
    if (!ChoosePdfFileIfNone())
        return;
    SetPrintColorMode(*Printer_);
    if (Paginate(*Printer_) >= 1)
        PrintPages(1, 0, 1, false);
}

bool TFormED::mitPrintClick()
{
    if (!MayPrint())
        return false;
    const int pages = Paginate(*Printer_);
    if (pages < 1)
        return false;
    TPrintChoice choice;
    choice.MinPage = 1;
    choice.MaxPage = pages;
    choice.FromPage = 1;
    choice.ToPage = pages;
    if (!PrintDialogs_->ExecutePrint(*Printer_, choice))
        return false;
    if (!ChoosePdfFileIfNone())
        return false;
    // The dialog may have chosen another printer or paper: the pages are made again for it.
    SetPrintColorMode(*Printer_);
    const int count = Paginate(*Printer_);
    if (count < 1)
        return true;
    switch (choice.Range) {
    case TPrintRange::All: PrintPages(1, 0, choice.Copies, choice.Collate); break;
    case TPrintRange::Pages:
        if (choice.FromPage >= 1 && choice.FromPage <= count)
            PrintPages(choice.FromPage, std::min(choice.ToPage, count), choice.Copies, choice.Collate);
        break;
    case TPrintRange::Selection:
        // A selection is not printed on its own.
        break;
    }
    return true;
}

void TFormED::mitPageSetupClick()
{
    if (Busy_ || !frmPageSetup)
        return;
    // The dialog shows the fields as the last refresh or the last showing left them; its OK
    // applies them to the page, the printer and the editor's line width.
    frmPageSetup->LoadFields();
    frmPageSetup->exec();
}

void TFormED::mitPreviewClick()
{
    if (Busy_ || !frmPreview)
        return;
    if (!Printer_) {
        Boxes_->Show(std::string(NoPrinterText), std::string(PrintCaption), TMsgButtons::Ok, TMsgIcon::Information);
        return;
    }
    // An empty document has no page, and so nothing to show.
    if (Paginate(*Printer_) < 1)
        return;
    frmPreview->Prepare(RVPrint1);
    frmPreview->ShowMaximized();
}

void TFormED::CreatePrintDialogs()
{
    frmPageSetup = new TfrmPageSetup(PageSetup_, *FormatDialogs_, this);
    frmPreview = new TfrmPreview(*Boxes_, [this] {
        bool printed = false;
        Guarded([this, &printed] { printed = mitPrintClick(); });
        return printed;
    }, this);
}

void TFormED::btnPageBreaksClick()
{
    if (Busy_)
        return;
    AssignSoftPageBreaks();
}

void TFormED::AssignSoftPageBreaks()
{
    // Without a printer there are no pages and so no page breaks to show.
    if (!Printer_)
        return;
    if (Paginate(*Printer_) > 1 && RVPrint1.AssignSoftPageBreaks(Doc_->Data()))
        rve->viewport()->update();
}

void TFormED::mitExportPdfClick()
{
    if (Busy_)
        return;
    if (IsEmptyDocument(Doc_->Data())) {
        Boxes_->Show(std::string(NothingToPrintText), std::string(PrintCaption), TMsgButtons::Ok, TMsgIcon::Information);
        return;
    }
    const std::optional<std::filesystem::path> file = PrintDialogs_->ChoosePdfFile();
    if (!file)
        return;
    // The PDF gets the paper of the window's printer, so that its pages are the printed ones.
    std::unique_ptr<TQtPrinter> pdf = TQtPrinter::Pdf();
    if (Printer_)
        pdf->ApplyDeviceSettings(Printer_->DeviceSettings());
    bool written = false;
    try {
        written = WritePdfFileAtomically(*file, *pdf, [&] {
            if (Paginate(*pdf) < 1)
                return false;
            bool printed = false;
            RunLong(PrintingNotice, [&] { printed = RVPrint1.PrintAll(std::string(PrintJobTitle), 1, false); });
            return printed;
        });
    } catch (...) {
        RVPrint1.SetPrinter(Printer_.get());
        throw;
    }
    // The window's own printer is the print component's again, and no page is left that was made
    // for the PDF printer about to go.
    RVPrint1.SetPrinter(Printer_.get());
    if (Printer_)
        Paginate(*Printer_);
    else
        RVPrint1.UseDocumentOf(Doc_->Data(), &Doc_->Info);
    if (!written)
        Boxes_->Show(std::string(PdfFailedText) + file->string(), std::string(PrintCaption), TMsgButtons::Ok,
                     TMsgIcon::Error);
}

} // namespace xq

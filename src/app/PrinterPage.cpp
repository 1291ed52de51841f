// The printer the main window starts with, from Qt's printer information.
#include "app/PrinterPage.h"

namespace xq {

std::unique_ptr<TQtPrinter> DefaultPrinter()
{
    for (const std::string& name : SystemPrinterNames())
        if (std::unique_ptr<TQtPrinter> printer = TQtPrinter::System(name))
            return printer;
    return TQtPrinter::Pdf();
}

} // namespace xq

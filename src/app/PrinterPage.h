// The printer the main window starts with.
#pragma once

#include <memory>

#include "platform/qt/QtPrinter.h"

namespace xq {

/// The system's default printer, else the first installed one, else the PDF printer (which is
/// always there, as on a desktop system); its page is what the editor breaks lines for.
[[nodiscard]] std::unique_ptr<TQtPrinter> DefaultPrinter();

} // namespace xq

// The current printer's page as the page-size computation needs it.
#pragma once

#include <optional>

#include "printing/ScreenPageSize.h"

namespace xq {

/// The default printer's paper and printable area at its resolution, taken from its page layout;
/// none when no printer is installed.
[[nodiscard]] std::optional<TPrinterPageMetrics> DefaultPrinterPage();

} // namespace xq

// Tables read from RTF: the importer the RTF import builds its tables with.
#pragma once

namespace xq {

/// Registers the table importer with the RTF import (part of the tables' start-up registration).
void RegisterTableRtfImport();

} // namespace xq

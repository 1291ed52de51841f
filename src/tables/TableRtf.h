// Tables in RTF: each row as a row definition (\trowd with its cells' \cellx) followed by the
// cells' contents, nested tables with the \nest forms.
#pragma once

namespace xq {

/// Adds the RTF writer of tables to the RTF writer's registry.
void RegisterTableRtf();

} // namespace xq

// A compact text form of a container's items, so that tests can state whole documents in one line.
//
//   [p2]      the item starts a paragraph with ParaNo 2 ([p2^]: with a page break before it)
//   /         the item starts a line inside its paragraph (NewLine)
//   "abc"     a text item in text style 0 ("abc"s3: in style 3; "abc"u: Unicode, shown as UTF-8)
//   <-11>     a non-text item by its kind code
//   @name     a checkpoint before the item
//   {tag}     the item's tag
#pragma once

#include <string>

#include "document/RVData.h"

namespace xq::test {

[[nodiscard]] std::string DocDump(const TCustomRVData& data);

} // namespace xq::test

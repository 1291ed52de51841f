// Formatting on the test canvas: a container with a plain style sheet, and a text form of its
// draw items that states a whole layout in a few lines.
#pragma once

#include <string>

#include "document/RVStyle.h"
#include "layout/FormattedData.h"
#include "platform/TestCanvas.h"

namespace xq::test {

/// Arial 10 pt on the test canvas: an em of 13 pixels, lines 15 high (ascent 12, descent 3);
/// "i l . , ; : ! | '" and the space advance 3, m and w 11, other lower-case letters and digits 6,
/// other capitals 9.
class LayoutFixture {
public:
    /// A container without margins whose lines are width pixels wide.
    explicit LayoutFixture(int width = 200);

    /// Appends a paragraph (or a continuation when paraNo is -1) of 8-bit text in styleNo.
    void Text(const std::string& text, int styleNo = 0, int paraNo = 0) { Data.AppendText(text, styleNo, paraNo); }
    /// A new paragraph style copying style 0, returned by number.
    int AddParaStyle();
    /// A new text style copying style 0.
    int AddTextStyle();

    void Format() { Data.FormatAll(false, true); }

    TRVStyle Sheet;
    TTestCanvas Canvas;
    TCustomRVFormattedData Data{&Sheet};
};

/// One line per line of draw items; each draw item as
///   #item left,top width x height 'text' (text items) or <kind> (others)
/// followed by " j+N" when it carries justification space and " gap N" on the first piece when
/// the line has a gap below it.
[[nodiscard]] std::string DrawDump(const TRVContainerLayout& data);

} // namespace xq::test

// A container with hand-placed draw items, painted on a recording test canvas.
//
// The default style sheet's text style 0 is Arial 10 pt: on the test canvas an em of 13 pixels,
// Height 15, Ascent 12, Descent 3; narrow characters (i l . , ; : ! | ' space) advance 3 pixels,
// capitals 9, m and w 11 (W and M 11), everything else 6.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/RVStyle.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "platform/TestCanvas.h"

namespace xq::test {

class TPaintedDocument {
public:
    TPaintedDocument() { Data.SetFormatCanvas(&Measure); }

    /// Adds a draw item for item itemNo (text items: the characters firstChar.. firstChar+count-1).
    TRVDrawLineInfo& Place(int itemNo, int left, int top, int width, int height, bool startsLine = true,
                           int firstChar = 1, int charCount = 0)
    {
        auto d = std::make_unique<TRVDrawLineInfo>();
        d->ItemNo = itemNo;
        d->Left = left;
        d->Top = top;
        d->Width = width;
        d->Height = height;
        d->FirstInLine = startsLine ? 255 : 0;
        d->FirstChar = firstChar;
        d->CharCount = charCount;
        TRVDrawLineInfo& ref = *d;
        Data.DrawItems().Add(std::move(d));
        return ref;
    }

    /// A request for the area 0, 0 .. 300, 200 without a background colour.
    [[nodiscard]] static TRVPaintRequest Request()
    {
        TRVPaintRequest request;
        request.Rect = {0, 0, 300, 200};
        request.Color = clNone;
        return request;
    }

    /// The recorded operations of painting, without the clip changes around them.
    std::vector<std::string> Paint(const TRVPaintRequest& request = Request())
    {
        Canvas.ClearOps();
        PaintDocument(Data, Canvas, request);
        std::vector<std::string> ops;
        for (const std::string& op : Canvas.Ops())
            if (op.rfind("clip", 0) != 0)
                ops.push_back(op);
        return ops;
    }

    TRVStyle Sheet;
    TTestCanvas Measure;
    TCustomRVFormattedData Data{&Sheet};
    TTestCanvas Canvas;
};

/// The operations that start with prefix.
[[nodiscard]] inline std::vector<std::string> OpsStartingWith(const std::vector<std::string>& ops,
                                                              const std::string& prefix)
{
    std::vector<std::string> found;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(found),
                 [&](const std::string& op) { return op.rfind(prefix, 0) == 0; });
    return found;
}

} // namespace xq::test

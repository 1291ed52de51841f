// What a whole document carries besides its items: background, property lines, page parameters
// and the layout of the editor that wrote it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocParameters.h"
#include "document/Graphic.h"
#include "document/StyleTypes.h"
#include "platform/Color.h"

namespace xq {

enum TBackgroundStyle : std::uint8_t {
    bsNoBitmap,
    bsStretched,
    bsTiled,
    bsTiledAndScrolled,
    bsCentered,
    bsTopLeft,
    bsTopRight,
    bsBottomLeft,
    bsBottomRight,
};

/// Margins and text width limits of the editor that shows a document, in pixels, and, for a
/// part of a split table cell, where its first and last paragraphs were cut.
struct TRVLayoutInfo {
    std::int32_t LeftMargin = 0;
    std::int32_t RightMargin = 0;
    std::int32_t TopMargin = 0;
    std::int32_t BottomMargin = 0;
    std::int32_t MinTextWidth = 0;
    std::int32_t MaxTextWidth = 0;
    TRVBiDiMode BiDiMode = rvbdUnspecified;

    bool PartialParagraphs = false; ///< the four fields below are present
    bool FirstParaPartial = false;
    bool LastParaPartial = false;
    std::int32_t FirstParaListNo = -1;
    std::int32_t FirstParaLevel = 0;

    [[nodiscard]] bool operator==(const TRVLayoutInfo&) const = default;
};

/// One marker before a partly stored container, so that its numbering continues.
struct TRVMarkerState {
    std::int32_t ListNo = -1;
    std::int32_t Level = 0;
    bool Reset = false;
    std::int32_t StartFrom = 1;
    std::int32_t Counter = 1;

    [[nodiscard]] bool operator==(const TRVMarkerState&) const = default;
};

/// The document-wide settings stored with a document.
class TRVDocumentInfo {
public:
    TRVDocumentInfo() = default;
    TRVDocumentInfo(const TRVDocumentInfo& other) { *this = other; }
    TRVDocumentInfo& operator=(const TRVDocumentInfo& other)
    {
        if (this == &other)
            return *this;
        BackgroundStyle = other.BackgroundStyle;
        BackgroundColor = other.BackgroundColor;
        BackgroundPicture = other.BackgroundPicture ? other.BackgroundPicture->Clone() : nullptr;
        DocProperties = other.DocProperties;
        DocParameters = other.DocParameters;
        Layout = other.Layout;
        return *this;
    }

    TBackgroundStyle BackgroundStyle = bsNoBitmap;
    TColor BackgroundColor = clWindow;
    std::unique_ptr<TGraphic> BackgroundPicture;
    /// Free property lines (the page settings of the main window live here).
    std::vector<std::string> DocProperties;
    TRVDocParameters DocParameters;
    /// The editor's layout, when one was read or is to be written.
    std::optional<TRVLayoutInfo> Layout;
};

} // namespace xq

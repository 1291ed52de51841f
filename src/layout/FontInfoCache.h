// The metrics of each text style on a target canvas, computed on first use and kept while the
// style sheet and the canvas stay the same.
#pragma once

#include <memory>
#include <vector>

#include "platform/Canvas.h"

namespace xq {

class TRVStyle;

struct TRVFontInfoCacheItem {
    /// The font selected for the style (reduced for sub- and superscript styles).
    TCanvasFont Font;
    /// Metrics of that font.
    TTextMetrics Metrics;
    /// Height of the reduced font of sub- and superscript styles, 0 otherwise.
    int ScriptHeight = 0;
    /// How far the text stands above the line's baseline (negative: below).
    int BaselineOffset = 0;
    /// Height and width of "-": the height of an empty text item, and the width a line gains
    /// when it ends at a soft hyphen.
    int EmptyHeight = 0;
    int HyphenWidth = 0;
};

/// One entry per text style, shared by all formatting runs on one canvas. The canvas is shared:
/// Select puts a style's font on it whenever a different style is asked for.
class TRVFontInfoCache {
public:
    TRVFontInfoCache(const TRVStyle& sheet, TCanvas& canvas) noexcept : Sheet_(sheet), Canvas_(canvas) {}

    /// The entry of a text style (the fallback style's for a number outside the sheet).
    [[nodiscard]] const TRVFontInfoCacheItem& Item(int styleNo);
    /// Selects the style's font on the canvas and returns its entry.
    const TRVFontInfoCacheItem& Select(int styleNo);
    /// Forgets everything: after the style sheet or the canvas changed.
    void Clear() noexcept;

    [[nodiscard]] TCanvas& Canvas() noexcept { return Canvas_; }

private:
    [[nodiscard]] std::unique_ptr<TRVFontInfoCacheItem> Build(int styleNo);

    const TRVStyle& Sheet_;
    TCanvas& Canvas_;
    std::vector<std::unique_ptr<TRVFontInfoCacheItem>> Items_; ///< index styleNo + 1; 0 is the fallback
    int Selected_ = -2;
};

} // namespace xq

// TRVStyle: the style sheet that every document, sub-document and fragment refers to by number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/FontInfo.h"
#include "document/Graphic.h"
#include "document/ListInfo.h"
#include "document/ParaInfo.h"
#include "document/StyleTypes.h"
#include "platform/Color.h"

namespace xq {

/// A named combination of text and paragraph properties. Kept so that files carrying
/// templates load; this program never creates them.
struct TRVStyleTemplate {
    std::string Name;
    std::int32_t Id = -1;
    std::int32_t ParentId = -1;
    TRVSTFontInfo TextStyle;
    TRVSTParaInfo ParaStyle;
    TRVFontInfoProperties ValidTextProperties;
    std::uint32_t ValidParaProperties1 = 0;
    std::uint32_t ValidParaProperties2 = 0;
};

using TRVStyleTemplateCollection = std::vector<TRVStyleTemplate>;

class TRVStyle {
public:
    /// A sheet with the engine's defaults: six text styles, two paragraph styles, no lists.
    TRVStyle();
    TRVStyle(const TRVStyle&) = delete;
    TRVStyle& operator=(const TRVStyle&) = delete;

    TFontInfos TextStyles{this};
    TParaInfos ParaStyles{this};
    TRVListInfos ListStyles{this};
    TRVStyleTemplateCollection StyleTemplates;

    // Display settings.
    std::int32_t SpacesInTab = 0;
    std::int32_t DefTabWidth = 48;
    TCursor JumpCursor = crJump;
    TCursor LineSelectCursor = crRVFlipArrow;
    bool FullRedraw = false;
    bool UseSound = true;
    TColor Color = clWindow;
    TColor HoverColor = clNone;
    TColor CurrentItemColor = clNone;
    TColor SelColor = clHighlight;
    TColor SelTextColor = clHighlightText;
    TColor InactiveSelColor = clHighlight;
    TColor InactiveSelTextColor = clHighlightText;
    TColor CheckpointColor = 0x008000;
    TColor CheckpointEvColor = 0x00FF00;
    TColor PageBreakColor = clBtnShadow;
    TColor SoftPageBreakColor = clBtnFace;
    TColor LiveSpellingColor = clRed;
    TRVSelectionMode SelectionMode = rvsmWord;
    TRVSelectionStyle SelectionStyle = rvssItems;
    TColor FieldHighlightColor = clBtnFace;
    TRVFieldHighlightType FieldHighlightType = rvfhCurrent;
    TRVSeqType FootnoteNumbering = rvseqDecimal;
    TRVSeqType EndnoteNumbering = rvseqLowerRoman;
    bool FootnotePageReset = true;
    std::int32_t DefUnicodeStyle = -1;
    std::int32_t DefCodePage = 0;

    /// Shown in place of pictures that cannot be loaded; may be absent.
    [[nodiscard]] const TGraphic* InvalidPicture() const noexcept { return InvalidPicture_.get(); }
    void SetInvalidPicture(std::unique_ptr<TGraphic> picture) noexcept { InvalidPicture_ = std::move(picture); }

    /// The code page of 8-bit text in a text style: by its charset, or DefCodePage for the
    /// default charset and for no style (-1).
    [[nodiscard]] int CodePageOfStyle(int textStyleNo) const;

    /// Replaces the styles with the engine's defaults.
    void ResetToDefaultStyles();

private:
    std::unique_ptr<TGraphic> InvalidPicture_;
};

/// Turns the sheet into the main window's: thirteen standard styles, no lists, and the
/// main window's display settings. This is the default sheet of every document.
void SetupMainWindowStyleSheet(TRVStyle& sheet);

} // namespace xq

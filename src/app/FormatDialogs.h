// The font and colour dialogs that the formatting commands ask; tests answer them with their own.
#pragma once

#include "document/FontInfo.h"
#include "platform/Color.h"

class QWidget;

namespace xq {

class TFormatDialogs {
public:
    virtual ~TFormatDialogs() = default;
    /// Shows the font dialog preset with font (only installed fonts, sizes 1 to 72); after OK
    /// font holds the choice and the answer is true.
    virtual bool ChooseFont(TFontDescription& font) = 0;
    /// Shows the colour dialog preset with color (RGB); after OK color holds the choice.
    virtual bool ChooseColor(TColor& color) = 0;
};

/// The dialogs of Qt, modal over parent.
class TQtFormatDialogs : public TFormatDialogs {
public:
    explicit TQtFormatDialogs(QWidget* parent) noexcept : Parent_(parent) {}
    bool ChooseFont(TFontDescription& font) override;
    bool ChooseColor(TColor& color) override;

private:
    QWidget* Parent_;
};

} // namespace xq

// The toolbar's pictures, drawn as small vector figures so that they stay sharp at any scale.
#pragma once

#include <QIcon>

namespace xq {

enum class TToolIcon {
    Bold,
    Italic,
    Underline,
    TextColor,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    Open,
    Save,
    New,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Preview,
    Print,
    IndentDecrease,
    IndentIncrease,
    Spelling,
    ControlCharsOn,  ///< the control characters are shown
    ControlCharsOff, ///< they are hidden
    PageBreaks,
};

[[nodiscard]] QIcon ToolIcon(TToolIcon kind);

} // namespace xq

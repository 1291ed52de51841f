// The vocabulary of the editor: positions in a container and on its layout, editor options,
// keys and mouse buttons as the engine sees them (the widget translates its toolkit's codes).
#pragma once

#include <compare>
#include <cstdint>
#include <string>

#include "platform/Set.h"

namespace xq {

/// A place in a container: an item and a caret offset in it. In a text item the offset runs
/// from 1 (before the first character) to length + 1 (after the last); around any other item
/// 0 is before it and 1 after it.
struct TRVDocPos {
    int ItemNo = -1;
    int Offset = 0;

    [[nodiscard]] bool Valid() const noexcept { return ItemNo >= 0; }
    [[nodiscard]] auto operator<=>(const TRVDocPos&) const = default;
};

/// A table cell on the way from a document to a container inside it: the table's item and the
/// cell's top-left slot.
struct TRVCellStep {
    int ItemNo = -1;
    int Row = -1, Col = -1;
};

/// A place on the layout: a draw item and a caret offset in that draw item's item (the same
/// offsets as TRVDocPos, not counted from the draw item's first character). One document
/// position has two draw positions where a line wraps inside an item without consuming a space:
/// the end of one line and the start of the next.
struct TRVDrawPos {
    int DrawItemNo = -1;
    int Offset = 0;

    [[nodiscard]] bool Valid() const noexcept { return DrawItemNo >= 0; }
    [[nodiscard]] auto operator<=>(const TRVDrawPos&) const = default;
};

/// Which draw position a document position takes where it has two.
enum class TRVLineBoundary : std::uint8_t { LineEnd, LineStart };

/// Options of the editor control.
enum TRVEditorOption : std::uint8_t {
    rvoClearTagOnStyleApp,
    rvoCtrlJumps,
    rvoDoNotWantReturns,
    rvoDoNotWantShiftReturns,
    rvoWantTabs,
    rvoAutoSwitchLang,
    rvoHideReadOnlyCaret,
    rvoNoImageResize,
    rvoNoCaretHighlightJumps,
};
using TRVEditorOptions = TSet<TRVEditorOption, std::uint16_t>;

/// The characters that end a word, as bytes of code page 1252: the space, . ; , : ( ) { } " /
/// the backslash, < > ! ? [ ], the typographic quotes, - + * =, the no-break space and the low
/// double quote.
inline const std::string DefaultDelimiters = " .;,:(){}\"/\\<>!?[]\x91\x92\x93\x94-+*=\xA0\x84";
/// The main window's word delimiters: the default ones without the no-break space and the low
/// double quote.
inline const std::string MainWindowDelimiters = " .;,:(){}\"/\\<>!?[]\x91\x92\x93\x94-+*=";

/// Where the caret was asked to go past the document: the codes of OnCaretGetOut.
enum TRVGetOutDirection : std::uint8_t {
    rvdLeft = 0,
    rvdUp = 1,
    rvdRight = 2,
    rvdDown = 3,
    rvdHome = 4,
    rvdEnd = 5,
};

/// Keys the editor handles, independent of the toolkit. Letters carry their capital's code.
enum TRVKey : std::uint16_t {
    rvkNone = 0,
    rvkA = 'A', rvkB, rvkC, rvkD, rvkE, rvkF, rvkG, rvkH, rvkI, rvkJ, rvkK, rvkL, rvkM,
    rvkN, rvkO, rvkP, rvkQ, rvkR, rvkS, rvkT, rvkU, rvkV, rvkW, rvkX, rvkY, rvkZ,
    rvkLeft = 0x100,
    rvkRight,
    rvkUp,
    rvkDown,
    rvkHome,
    rvkEnd,
    rvkPageUp,
    rvkPageDown,
    rvkBackspace,
    rvkDelete,
    rvkInsert,
    rvkReturn,
    rvkTab,
    rvkEscape,
    rvkOther, ///< any key the editor has no meaning for
};

/// Modifier keys held with a key or a mouse action.
enum TRVShiftKey : std::uint8_t { ssShift, ssAlt, ssCtrl };
using TShiftState = TSet<TRVShiftKey, std::uint8_t>;

enum TRVMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

/// How SearchText looks: case-sensitive, towards the end (otherwise towards the start), whole
/// words only.
enum TRVSearchOption : std::uint8_t { SearchMatchCase, SearchDown, SearchWholeWord };
using TRVSearchOptions = TSet<TRVSearchOption, std::uint8_t>;

/// What a drop does with the data: copies it, moves it (the source deletes its copy) or links it.
enum TRVDropEffect : std::uint8_t { rvdeCopy, rvdeMove, rvdeLink };
using TRVDropEffects = TSet<TRVDropEffect, std::uint8_t>;

/// The kinds of data a drop may bring into the editor.
enum TRVDragDropFormat : std::uint8_t {
    rvddRVF,
    rvddRTF,
    rvddText,
    rvddUnicodeText,
    rvddBitmap,
    rvddMetafile,
    /// A link dragged from a browser.
    rvddURL,
    rvddFiles,
};
using TRVDragDropFormats = TSet<TRVDragDropFormat, std::uint8_t>;
/// Every kind but links, which come in as the text that goes with them.
inline constexpr TRVDragDropFormats DefaultDragDropFormats{rvddRVF,    rvddRTF,      rvddText, rvddUnicodeText,
                                                           rvddBitmap, rvddMetafile, rvddFiles};

/// The caret as the widget draws it: a vertical bar centred on X, from Top down Height pixels,
/// in document coordinates.
struct TRVCaretRect {
    std::int32_t X = 0;
    std::int32_t Top = 0;
    std::int32_t Height = 0;
    [[nodiscard]] bool operator==(const TRVCaretRect&) const = default;
};

/// The tallest caret drawn; a caret beside a tall object (a table, a big picture) stays this high
/// and keeps its bottom at the object's bottom.
inline constexpr std::int32_t MaxCaretHeight = 100;

/// The mouse cursor the editor asks for at a point: the text cursor, the line-select cursor of
/// the left margin (the style sheet's LineSelectCursor), or a size cursor over a resize handle.
enum class TRVMouseCursor : std::uint8_t { Text, LineSelect, SizeNWSE, SizeNESW, SizeNS, SizeWE, Jump };

/// How far the view should scroll on one tick of the mouse-selection timer, in scroll units
/// (negative: up or left).
struct TRVAutoScrollStep {
    int UnitsX = 0;
    int UnitsY = 0;
    [[nodiscard]] bool Empty() const noexcept { return UnitsX == 0 && UnitsY == 0; }
    [[nodiscard]] bool operator==(const TRVAutoScrollStep&) const = default;
};

inline constexpr const char* errInvalidCaretPosition =
    "Invalid caret position. Please contact the developer, if you can reproduce this problem";

} // namespace xq

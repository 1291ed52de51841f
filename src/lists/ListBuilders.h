// The list styles that the bullet and numbering commands create.
#pragma once

#include <string>

#include "document/StyleTypes.h"
#include "platform/Color.h"

namespace xq {

class TRVStyle;
class TCustomRVData;

/// A one-level bullet list: bulletText in "Wingdings" of the given size and colour with no font
/// style, left-aligned at markerIndent. An equal list of the sheet is reused (identity ignored),
/// else the new one is appended as a non-standard style. Returns its index.
int CreateBullets(TRVStyle& sheet, int size, int firstIndent, TColor color, const std::string& bulletText,
                  int markerIndent, int leftIndent);

/// A one-level numbered list; kind 1 decimal, 2 lower alpha, 3 upper alpha, 4 lower Roman,
/// 5 upper Roman (anything else decimal). When a paragraph from the one before firstItem to the
/// one after lastItem starts with a marker of an equal list (identity ignored), that list is
/// returned, so the numbering carries on; otherwise the new list is appended as a non-standard
/// style even when an equal list exists elsewhere, so separate runs count separately.
int CreateNumbering(TRVStyle& sheet, const TCustomRVData& doc, int firstItem, int lastItem, int size,
                    int firstIndent, TColor color, TFontStyles fontStyle, const std::string& fontName,
                    const std::string& formatString, int kind, int markerIndent, int leftIndent);

/// The list of the "Aufzählung" command for the text of the font size box.
int BulletsCommandList(TRVStyle& sheet, const std::string& sizeBoxText);

/// The list of the "Nummerierung" command for the items firstItem..lastItem of doc, the text of
/// the font size box and the current font name.
int NumberingCommandList(TRVStyle& sheet, const TCustomRVData& doc, int firstItem, int lastItem,
                         const std::string& sizeBoxText, const std::string& currentFont);

/// The font size the commands use: the number in the size box, 10 when there is none.
[[nodiscard]] int CommandFontSize(const std::string& sizeBoxText) noexcept;

} // namespace xq

// Pieces of the RTF reader that need no parser state: turning picture data into a graphic and
// taking field instructions apart.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "document/StyleTypes.h"
#include "formats/rtf/RtfReaderTypes.h"

namespace xq {

class TGraphic;

/// The graphic of a "pict" group's data in its kind; null when the kind is not drawn here or the
/// data does not load. With extractMetafileBitmaps an enhanced metafile that only shows a bitmap
/// becomes that bitmap.
[[nodiscard]] std::unique_ptr<TGraphic> GraphicFromRtfPicture(const TRVRTFPicture& picture,
                                                              bool extractMetafileBitmaps);

/// A field instruction, taken apart for the kinds the reader handles itself.
struct TRVRTFFieldCommand {
    enum TKind { Other, IncludePicture, Symbol, Seq };
    TKind Kind = Other;
    /// INCLUDEPICTURE, IMPORT: the file name, doubled backslashes halved.
    std::string FileName;
    /// SYMBOL: the character code, the font after "\f" and the size after "\s" (points, 0: none).
    int CharCode = 0;
    std::string FontName;
    int FontSize = 0;
    bool Unicode = false; ///< "\u": the code is a Unicode value
    /// SEQ: the name, the numbering after "\*" and the start after "\r".
    std::string SeqName;
    TRVSeqType SeqType = rvseqDecimal;
    bool Reset = false;
    int StartFrom = 1;
};

/// Trims the instruction, removes a leading backslash and reads the command.
[[nodiscard]] TRVRTFFieldCommand ParseRtfFieldInstruction(std::string_view instruction);

} // namespace xq

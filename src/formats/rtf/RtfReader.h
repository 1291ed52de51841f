// TRVRTFReader: an event-driven RTF parser. It reads an RTF stream once, follows the groups with a
// stack of reader states, interprets control words through one sorted keyword table, collects the
// document tables (fonts, colours, style sheet, list tables) and reports content through events.
// It builds no document: the owner handles the events and reads the current properties through
// the accessors while an event runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "document/StyleTypes.h"
#include "formats/rtf/RtfReaderTypes.h"

namespace xq {

class TGraphic;

/// Results of ReadRtfStream and ReadRtfFile.
enum TRVRTFErrorCode : int {
    rtf_ec_OK = 0,
    rtf_ec_StackUnderflow = 1,    ///< more "}" than "{"
    rtf_ec_StackOverflow = 2,     ///< a reader state could not be created (also: groups nested deeper than MaxGroupDepth)
    rtf_ec_UnmatchedBrace = 3,    ///< the input ends inside a group
    rtf_ec_InvalidHex = 4,        ///< a non-hexadecimal digit after "'" or in hexadecimal data
    rtf_ec_BadTable = 5,          ///< an action number that no handler knows
    rtf_ec_Assertion = 6,         ///< an internal state error
    rtf_ec_EndOfFile = 7,         ///< the input ends right after a backslash
    rtf_ec_FileOpenError = 8,
    rtf_ec_Exception = 9,         ///< an exception during parsing
    rtf_ec_InvalidPicture = 10,   ///< a picture group inside a picture group, a missing picture, bad object data
    rtf_ec_TextHandlerException = 11, ///< an exception inside a text event handler
};

class TRVRTFReader;

using TRVRTFNewTextEvent = std::function<void(TRVRTFReader& sender, std::string_view text, TRVRTFPosition position)>;
using TRVRTFNewUnicodeTextEvent =
    std::function<void(TRVRTFReader& sender, std::u16string_view text, TRVRTFPosition position)>;
/// graphic is null when the data could not be turned into a picture of its kind; the handler may
/// take it (move it out). fileName is empty except for pictures that a field loaded from a file.
/// Set inserted when the picture went into the document.
using TRVRTFNewPictureEvent = std::function<void(TRVRTFReader& sender, TRVRTFPicture& picture,
                                                 std::unique_ptr<TGraphic>& graphic, TRVRTFPosition position,
                                                 const std::string& fileName, bool& inserted)>;
using TRVRTFNewObjectEvent =
    std::function<void(TRVRTFReader& sender, TRVRTFObject& object, TRVRTFPosition position, bool& inserted)>;
using TRVRTFNotifyEvent = std::function<void(TRVRTFReader& sender)>;
/// processed comes in True; only rvf_tbl_TableEnd may answer False (the table did not end).
using TRVRTFTableEvent = std::function<void(TRVRTFReader& sender, TRVRTFTableEventKind whatHappens, bool& processed)>;
/// supported comes in False; set it to read the header or footer as text.
using TRVRTFHeaderFooterEvent =
    std::function<void(TRVRTFReader& sender, TRVRTFHeaderFooterType hfType, bool starting, bool& supported)>;
using TRVRTFNoteEvent = std::function<void(TRVRTFReader& sender, TRVRTFNoteEventType what, TRVRTFPosition position)>;
/// Loads the picture file at location (graphic comes in null); invalid: the file was found but
/// is not a picture.
using TRVRTFImportPictureEvent = std::function<void(TRVRTFReader& sender, const std::string& location,
                                                    std::unique_ptr<TGraphic>& graphic, bool& invalid)>;
/// Called before every control word and control symbol. text comes in empty and doDefault True;
/// the characters of text are handled as if they stood in the input, and with doDefault False
/// the keyword itself is not interpreted.
using TRVRTFTranslateKeywordEvent = std::function<void(TRVRTFReader& sender, const std::string& keyword, int param,
                                                       bool fParam, std::string& text, bool& doDefault)>;
using TRVRTFProgressEvent = std::function<void(TRVRTFReader& sender, TRVRTFProgressStage stage, int percentDone)>;
using TRVRTFBookmarkEvent = std::function<void(TRVRTFReader& sender, const std::string& bookmarkName)>;
using TRVRTFNewSeqEvent = std::function<void(TRVRTFReader& sender, TRVRTFPosition position, const std::string& seqName,
                                             TRVSeqType numberingType, bool reset, int startFrom)>;

class TRVRTFReader {
public:
    /// Groups nested deeper than this end the parse with rtf_ec_StackOverflow.
    static constexpr int MaxGroupDepth = 10000;
    /// "itap" values above this are read as this: no input opens more table levels.
    static constexpr int MaxTableNesting = 64;
    /// Tabs per paragraph and cells per row beyond these are ignored.
    static constexpr int MaxTabs = 256;
    static constexpr int MaxCells = 4096;
    /// Inputs larger than this report OnProgress.
    static constexpr std::size_t ProgressThreshold = 20480;
    /// The input is taken in blocks of this size (one progress report per block).
    static constexpr std::size_t BlockSize = 4096;

    TRVRTFReader();
    ~TRVRTFReader();
    TRVRTFReader(const TRVRTFReader&) = delete;
    TRVRTFReader& operator=(const TRVRTFReader&) = delete;

    /// Reads the whole stream (all state is reset first); 0 on success, else a TRVRTFErrorCode.
    [[nodiscard]] int ReadRtfStream(std::string_view stream);
    /// Reads the file (8 when it cannot be opened or is not a regular file, or is larger than
    /// MaxFileBytes) and then as ReadRtfStream.
    [[nodiscard]] int ReadRtfFile(const std::filesystem::path& fileName);
    static constexpr std::size_t MaxFileBytes = std::size_t(1) << 30;

    // Settings.
    /// Code page until the document names one ("ansicpg"); 0: the system code page.
    int DefCodePage = 0;
    TRVRTFHighlightConvert ConvertHighlight = rtf_hl_FixedColors;
    /// An enhanced metafile that only shows a device-independent bitmap becomes that bitmap.
    bool ExtractMetafileBitmaps = true;
    /// For the goal sizes of pictures; 0: screen resolution (96).
    int PixelsPerInch = 0;
    /// A tab in text is reported as a run of its own (the text before it is flushed first).
    bool TabAsSeparateChar = false;
    /// Relative INCLUDEPICTURE / IMPORT file names are joined to this directory (empty: as they are).
    std::string BasePath;

    // Events.
    TRVRTFNewTextEvent OnNewText;
    /// Only when this is assigned does the reader keep Unicode text ("u", Unicode characters).
    TRVRTFNewUnicodeTextEvent OnNewUnicodeText;
    TRVRTFNewPictureEvent OnNewPicture;
    TRVRTFNewObjectEvent OnNewObject;
    /// The paragraph's list properties must be applied: before and after each paragraph end, at
    /// table events and at the end.
    TRVRTFNotifyEvent OnUpdateMarker;
    TRVRTFTableEvent OnTable;
    TRVRTFNotifyEvent OnRequiredPageBreak;
    TRVRTFHeaderFooterEvent OnHeaderFooter;
    TRVRTFNoteEvent OnNote;
    TRVRTFImportPictureEvent OnImportPicture;
    TRVRTFTranslateKeywordEvent OnTranslateKeyword;
    TRVRTFProgressEvent OnProgress;
    /// The outermost group closes (the document tables and properties are complete).
    TRVRTFNotifyEvent OnEndParsing;
    TRVRTFBookmarkEvent OnBookmarkStart;
    TRVRTFNewSeqEvent OnNewSeq;

    // The current state, for event handlers. Valid during and after a read, until the next read.
    [[nodiscard]] const TRVRTFCharProperties& CharProps() const noexcept;
    [[nodiscard]] const TRVRTFParaProperties& ParaProps() const noexcept;
    [[nodiscard]] const TRVRTFRowProperties& RowProps() const noexcept;
    [[nodiscard]] const TRVRTFSectionProperties& SectProps() const noexcept;
    [[nodiscard]] const TRVRTFDocProperties& DocProps() const noexcept;
    [[nodiscard]] const TRVRTFFontList& FontTable() const noexcept;
    [[nodiscard]] const TRVRTFReaderColorList& ColorTable() const noexcept;
    [[nodiscard]] const TRVRTFStyleSheet& StyleSheet() const noexcept;
    [[nodiscard]] const TRVRTFListTable97& ListTable() const noexcept;
    [[nodiscard]] const TRVRTFListOverrideTable97& ListOverrideTable() const noexcept;
    /// The instruction of the field whose result is being read (raw, as collected; empty outside
    /// fields). Inside nested fields, the innermost.
    [[nodiscard]] const std::string& FieldInstruction() const noexcept;
    /// The header or footer being read (rtf_hf_MainText outside them).
    [[nodiscard]] TRVRTFHeaderFooterType HeaderFooterType() const noexcept;
    /// Inside a footnote or endnote group.
    [[nodiscard]] bool InNote() const noexcept;
    /// The code page of the text ("ansicpg", else DefCodePage resolved; never 0).
    [[nodiscard]] int CodePage() const noexcept;
    /// The number of table levels open (table-start events sent and not yet ended).
    [[nodiscard]] int TableDepth() const noexcept;
    /// "deff" and "deflang".
    [[nodiscard]] int DefaultFontNumber() const noexcept;
    [[nodiscard]] int DefaultLanguage() const noexcept;

    /// The font table entry of the current character properties, null when there is none.
    [[nodiscard]] const TRVRTFFont* CurrentFont() const noexcept;
    /// The index of the font with this number in the font table, -1 when there is none.
    [[nodiscard]] int FontIndexOf(int number) const noexcept;
    /// The index of the list with this "listid" in the list table, -1 when there is none.
    [[nodiscard]] int ListIndexOf(int listId) const noexcept;

    /// 8-bit text to UTF-16 with the code page (0: the current one): the code page, then the
    /// system code page, then "?" per byte.
    [[nodiscard]] std::u16string AnsiToUnicode(std::string_view text, int codePage = 0) const;
    /// UTF-16 to 8-bit with the code page (0: the current one), "?" for what it lacks.
    [[nodiscard]] std::string UnicodeToAnsi(std::u16string_view text, int codePage = 0) const;

private:
    struct TParser;
    std::unique_ptr<TParser> P_;
};

/// The table for charsets 254 (PC code page 437) and 77 (Macintosh): the Windows-1252 byte for
/// each byte 0x80..0xFF (index byte - 0x80); substitutes where 1252 lacks the character.
[[nodiscard]] const unsigned char* RtfCharsetConversionTable(int charset) noexcept;

} // namespace xq

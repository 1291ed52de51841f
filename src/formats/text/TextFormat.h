// Plain text: telling 8-bit from UTF-16 files, reading them into a container, writing containers as text.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace xq {

class TCustomRVData;

enum class TTextKind { Empty, Text8, Unicode, Error };

/// The kind of a text file from its whole content: empty; 8-bit for an odd size; UTF-16 when it
/// starts with FF FE or FE FF, or when one of the up to 500 bytes after the first two is zero;
/// 8-bit otherwise.
[[nodiscard]] TTextKind DetectTextKindOfBytes(std::string_view bytes) noexcept;
/// The same for a file, of which only the head is read; Error when it cannot be opened or read
/// or is no regular file.
[[nodiscard]] TTextKind DetectTextKind(const std::filesystem::path& path) noexcept;

// Reading text. The text is appended to data in text style styleNo. New paragraphs get paraNo; with
// paraNo >= 0 the first line starts a paragraph too, with paraNo -1 it continues the last paragraph
// of data (and later paragraphs take that paragraph's style). asSingleParagraph turns the line ends
// into line breaks inside one paragraph. A form feed starts a paragraph with a page break before it
// when the container takes page breaks (a top-level container that allows new paragraphs).
// On failure data keeps what was appended before it, and error (when given) receives the reason.
// Text with more lines than a document may have items (MaxDocumentItems) fails before anything is
// appended, with errTextTooLarge.

inline constexpr const char* errTextTooLarge = "the text has more lines than a document may hold";

/// 8-bit text in the code page of styleNo (converted when that style is Unicode).
[[nodiscard]] bool ImportText8(TCustomRVData& data, std::string_view bytes, int styleNo, int paraNo,
                               bool asSingleParagraph, std::string* error = nullptr);
/// UTF-16 text, little-endian unless it starts with FE FF; converted to the code page of styleNo
/// when that style is not Unicode. An odd number of bytes fails with "Can't perform Unicode operation".
[[nodiscard]] bool ImportTextUtf16(TCustomRVData& data, std::string_view bytes, int styleNo, int paraNo,
                                   bool asSingleParagraph, std::string* error = nullptr);
/// The file forms: a file that cannot be opened or read, is no regular file or is larger than
/// 256 MiB fails without touching data.
[[nodiscard]] bool ImportText8File(TCustomRVData& data, const std::filesystem::path& path, int styleNo, int paraNo,
                                   bool asSingleParagraph, std::string* error = nullptr);
[[nodiscard]] bool ImportTextUtf16File(TCustomRVData& data, const std::filesystem::path& path, int styleNo,
                                       int paraNo, bool asSingleParagraph, std::string* error = nullptr);

// Writing text. The output is appended to out: 8-bit text, or UTF-16LE starting with FF FE when
// unicode is set. Paragraphs and line breaks are separated by CR LF; nothing follows the last item.
// Horizontal lines are lineWidth characters long (at least one).

/// The whole container.
[[nodiscard]] bool ExportText(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode);
/// A selection from caret position (firstItem, firstOffset) to (lastItem, lastOffset). Offsets are
/// caret offsets: 1-based characters inside text items, 0 (before) or 1 (after) for other items.
/// Fails for item numbers outside data or in the wrong order.
[[nodiscard]] bool ExportTextRange(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode,
                                   int firstItem, int firstOffset, int lastItem, int lastOffset);
/// The whole container without the byte order mark, for items that write their sub-documents.
[[nodiscard]] bool ExportTextBody(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode);

/// The file forms: the text replaces the file atomically; on failure an existing file stays as it was.
[[nodiscard]] bool ExportTextFile(const TCustomRVData& data, const std::filesystem::path& path, int lineWidth,
                                  bool unicode);
[[nodiscard]] bool ExportTextRangeFile(const TCustomRVData& data, const std::filesystem::path& path, int lineWidth,
                                       bool unicode, int firstItem, int firstOffset, int lastItem, int lastOffset);

/// How an item kind writes itself as text: appends the text of item itemIndex of data to out, in the
/// output's encoding (8-bit, or UTF-16LE without byte order mark when unicode is set). Returning
/// false fails the export.
using TTextExportForm =
    std::function<bool(const TCustomRVData& data, int itemIndex, int lineWidth, bool unicode, std::string& out)>;

/// Gives the items with this kind code (StyleNo < 0) their text form, in place of the built-in one.
/// An empty form removes the registration. Item kinds that own containers (tables) register here.
void RegisterTextExportForm(int kindCode, TTextExportForm form);

} // namespace xq

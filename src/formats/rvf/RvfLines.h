// The line forms of RVF streams: text lines, hex lines, binary blocks and UTF-16 lines, and the
// space-separated header fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xq {

// --- Writing ---------------------------------------------------------------------------------

/// Appends bytes and CR LF.
void WriteTextLine(std::string& out, std::string_view bytes);
/// Appends each byte as two upper-case hex digits, then CR LF.
void WriteHexLine(std::string& out, std::string_view bytes);
/// Appends a 32-bit little-endian length and the bytes (no line end).
void WriteBinaryBlock(std::string& out, std::string_view bytes);
/// Appends UTF-16LE bytes and the paragraph separator U+2029 that ends the line.
void WriteUnicodeLine(std::string& out, std::string_view utf16le);
/// Binary data in the form of the stream: a binary block in binary mode, a hex line otherwise.
void WriteDataLine(std::string& out, std::string_view bytes, bool binary);

void AppendInt32LE(std::string& out, std::int32_t value);

/// A header string field: quoted, with inner quotes doubled.
[[nodiscard]] std::string QuoteHeaderString(std::string_view s);

/// A text line cannot hold the characters that end lines: CR, LF and NUL in 8-bit text;
/// CR, LF, NUL and U+2029 in UTF-16LE text. Each one in item text becomes '?'.
/// True when something was replaced.
bool ReplaceLineBreakCharacters(std::string& text, bool unicode) noexcept;

/// Names, tags and hints are UTF-8 in memory; streams hold them in code page 1252.
[[nodiscard]] std::string ToStreamString(std::string_view utf8);
[[nodiscard]] std::string FromStreamString(std::string_view cp1252);

// --- Reading ---------------------------------------------------------------------------------

/// The whole of s as a decimal 32-bit integer, optionally negative.
[[nodiscard]] bool ParseInt32(std::string_view s, std::int32_t& value) noexcept;
/// Decodes a hex line (either letter case); false for an odd length or a non-hex character.
[[nodiscard]] bool DecodeHex(std::string_view hex, std::string& out);
[[nodiscard]] std::int32_t ReadInt32LE(const char* p) noexcept;

/// Reads the lines of a stream held in memory. Every read is bounded by the data: a block that
/// claims more bytes than remain fails.
class TRVFLineReader {
public:
    explicit TRVFLineReader(std::string_view data) noexcept : Data_(data) {}

    [[nodiscard]] bool AtEnd() const noexcept { return Pos_ >= Data_.size(); }
    [[nodiscard]] std::size_t Position() const noexcept { return Pos_; }
    /// The bytes not read yet: more lines than this cannot follow.
    [[nodiscard]] std::size_t Remaining() const noexcept { return AtEnd() ? 0 : Data_.size() - Pos_; }

    /// Bytes up to CR, LF or NUL; then a CR, then an LF, are skipped (a NUL is consumed).
    bool ReadTextLine(std::string_view& line) noexcept;
    /// A 32-bit length and that many bytes.
    bool ReadBinaryBlock(std::string_view& block) noexcept;
    /// UTF-16LE units up to U+2029 (consumed), a zero unit (consumed) or the end.
    bool ReadUnicodeLine(std::string_view& utf16le) noexcept;

private:
    std::string_view Data_;
    std::size_t Pos_ = 0;
};

/// The space-separated fields of a header line.
class TRVFHeaderParser {
public:
    explicit TRVFHeaderParser(std::string_view line) noexcept : Line_(line) {}

    [[nodiscard]] bool AtEnd() noexcept;
    /// A decimal 32-bit integer, optionally negative.
    bool ReadInt(std::int32_t& value) noexcept;
    /// A quoted string (quoted = true) or a plain token up to the next space.
    bool ReadString(std::string& value, bool& quoted);
    /// The rest of the line after one separating space (may be empty).
    [[nodiscard]] std::string_view Rest() const noexcept;
    /// True when the next field is a quoted string.
    [[nodiscard]] bool NextIsQuoted() noexcept;

private:
    void SkipSpaces() noexcept;

    std::string_view Line_;
    std::size_t Pos_ = 0;
};

} // namespace xq

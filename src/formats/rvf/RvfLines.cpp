// The line forms of RVF streams.
#include "formats/rvf/RvfLines.h"

#include <charconv>
#include <limits>

#include "platform/CodePage.h"
#include "platform/Hex.h"

namespace xq {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";


} // namespace

void WriteTextLine(std::string& out, std::string_view bytes)
{
    out.append(bytes);
    out.append("\r\n", 2);
}

void WriteHexLine(std::string& out, std::string_view bytes)
{
    const std::size_t start = out.size();
    out.resize(start + bytes.size() * 2);
    char* p = out.data() + start;
    for (unsigned char b : bytes) {
        *p++ = HexDigits[b >> 4];
        *p++ = HexDigits[b & 15];
    }
    out.append("\r\n", 2);
}

void AppendInt32LE(std::string& out, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    out.append(bytes, 4);
}

void WriteBinaryBlock(std::string& out, std::string_view bytes)
{
    AppendInt32LE(out, static_cast<std::int32_t>(bytes.size()));
    out.append(bytes);
}

void WriteUnicodeLine(std::string& out, std::string_view utf16le)
{
    out.append(utf16le);
    out.append("\x29\x20", 2);
}

void WriteDataLine(std::string& out, std::string_view bytes, bool binary)
{
    if (binary)
        WriteBinaryBlock(out, bytes);
    else
        WriteHexLine(out, bytes);
}

std::string ToStreamString(std::string_view utf8)
{
    return UnicodeToAnsi(Utf8ToUtf16(utf8), 1252);
}

std::string FromStreamString(std::string_view cp1252)
{
    return Utf16ToUtf8(AnsiToUnicode(cp1252, 1252));
}

bool ReplaceLineBreakCharacters(std::string& text, bool unicode) noexcept
{
    bool replaced = false;
    if (!unicode) {
        for (char& c : text)
            if (c == '\r' || c == '\n' || c == '\0') {
                c = '?';
                replaced = true;
            }
        return replaced;
    }
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(text[i]) | (static_cast<unsigned char>(text[i + 1]) << 8);
        if (unit == 0x000D || unit == 0x000A || unit == 0x0000 || unit == 0x2029) {
            text[i] = '?';
            text[i + 1] = '\0';
            replaced = true;
        }
    }
    return replaced;
}

std::string QuoteHeaderString(std::string_view s)
{
    std::string quoted;
    quoted.reserve(s.size() + 2);
    quoted.push_back('"');
    for (char c : s) {
        if (c == '"')
            quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

bool DecodeHex(std::string_view hex, std::string& out)
{
    if (hex.size() % 2 != 0)
        return false;
    out.resize(hex.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int hi = HexDigitValue(hex[2 * i]);
        const int lo = HexDigitValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = static_cast<char>(hi * 16 + lo);
    }
    return true;
}

bool ParseInt32(std::string_view s, std::int32_t& value) noexcept
{
    std::int64_t v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size() || v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t ReadInt32LE(const char* p) noexcept
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::int32_t>(std::uint32_t(u[0]) | (std::uint32_t(u[1]) << 8) | (std::uint32_t(u[2]) << 16) |
                                     (std::uint32_t(u[3]) << 24));
}

// ---------------------------------------------------------------------------------------------
// TRVFLineReader

bool TRVFLineReader::ReadTextLine(std::string_view& line) noexcept
{
    if (AtEnd())
        return false;
    const std::size_t start = Pos_;
    while (Pos_ < Data_.size() && Data_[Pos_] != '\r' && Data_[Pos_] != '\n' && Data_[Pos_] != '\0')
        ++Pos_;
    line = Data_.substr(start, Pos_ - start);
    if (Pos_ < Data_.size() && Data_[Pos_] == '\0') {
        ++Pos_;
        return true;
    }
    if (Pos_ < Data_.size() && Data_[Pos_] == '\r')
        ++Pos_;
    if (Pos_ < Data_.size() && Data_[Pos_] == '\n')
        ++Pos_;
    return true;
}

bool TRVFLineReader::ReadBinaryBlock(std::string_view& block) noexcept
{
    if (Data_.size() - Pos_ < 4)
        return false;
    const std::int32_t length = ReadInt32LE(Data_.data() + Pos_);
    if (length < 0 || static_cast<std::size_t>(length) > Data_.size() - Pos_ - 4)
        return false;
    block = Data_.substr(Pos_ + 4, static_cast<std::size_t>(length));
    Pos_ += 4 + static_cast<std::size_t>(length);
    return true;
}

bool TRVFLineReader::ReadUnicodeLine(std::string_view& utf16le) noexcept
{
    const std::size_t start = Pos_;
    while (Data_.size() - Pos_ >= 2) {
        const auto lo = static_cast<unsigned char>(Data_[Pos_]);
        const auto hi = static_cast<unsigned char>(Data_[Pos_ + 1]);
        if ((lo == 0x29 && hi == 0x20) || (lo == 0 && hi == 0)) {
            utf16le = Data_.substr(start, Pos_ - start);
            Pos_ += 2;
            return true;
        }
        Pos_ += 2;
    }
    utf16le = Data_.substr(start, Pos_ - start);
    Pos_ = Data_.size(); // a dangling odd byte belongs to nothing
    return true;
}

// ---------------------------------------------------------------------------------------------
// TRVFHeaderParser

void TRVFHeaderParser::SkipSpaces() noexcept
{
    while (Pos_ < Line_.size() && Line_[Pos_] == ' ')
        ++Pos_;
}

bool TRVFHeaderParser::AtEnd() noexcept
{
    SkipSpaces();
    return Pos_ >= Line_.size();
}

bool TRVFHeaderParser::NextIsQuoted() noexcept
{
    SkipSpaces();
    return Pos_ < Line_.size() && Line_[Pos_] == '"';
}

bool TRVFHeaderParser::ReadInt(std::int32_t& value) noexcept
{
    SkipSpaces();
    std::size_t end = Pos_;
    while (end < Line_.size() && Line_[end] != ' ')
        ++end;
    if (end == Pos_)
        return false;
    if (!ParseInt32(Line_.substr(Pos_, end - Pos_), value))
        return false;
    Pos_ = end;
    return true;
}

bool TRVFHeaderParser::ReadString(std::string& value, bool& quoted)
{
    SkipSpaces();
    if (Pos_ >= Line_.size())
        return false;
    value.clear();
    if (Line_[Pos_] != '"') {
        quoted = false;
        const std::size_t start = Pos_;
        while (Pos_ < Line_.size() && Line_[Pos_] != ' ')
            ++Pos_;
        value.assign(Line_.substr(start, Pos_ - start));
        return true;
    }
    quoted = true;
    ++Pos_;
    while (Pos_ < Line_.size()) {
        const char c = Line_[Pos_++];
        if (c != '"') {
            value.push_back(c);
            continue;
        }
        if (Pos_ < Line_.size() && Line_[Pos_] == '"') {
            value.push_back('"');
            ++Pos_;
            continue;
        }
        return true;
    }
    return false; // no closing quote
}

std::string_view TRVFHeaderParser::Rest() const noexcept
{
    std::size_t p = Pos_;
    if (p < Line_.size() && Line_[p] == ' ')
        ++p;
    return Line_.substr(std::min(p, Line_.size()));
}

} // namespace xq

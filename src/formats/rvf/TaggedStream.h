// Tagged property values: the byte format of style collections and component streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

/// The byte in front of every value.
enum class TValueTag : std::uint8_t {
    EndOfList = 0,
    ListStart = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Float80 = 5,
    ShortString = 6,
    Ident = 7,
    FalseValue = 8,
    TrueValue = 9,
    Binary = 10,
    Set = 11,
    LongString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WideString = 18,
    Int64 = 19,
    Utf8String = 20,
};

/// Appends tagged values to a byte string owned by the caller.
class TTaggedWriter {
public:
    explicit TTaggedWriter(std::string& out) noexcept : Out_(out) {}

    /// The smallest of int8, int16 and int32 that holds the value; int64 beyond that.
    void WriteInteger(std::int64_t value);
    /// A short string up to 255 bytes, a long string otherwise.
    void WriteString(std::string_view bytes);
    void WriteIdent(std::string_view name);
    void WriteBool(bool value);
    void WriteBinary(std::string_view bytes);
    /// Member names, each a short string, ended by an empty one.
    void WriteSet(const std::vector<std::string_view>& members);
    void WriteWideString(std::u16string_view text);
    void WriteNil();
    void WriteCollectionBegin();
    void WriteListBegin();
    /// Ends a list, a collection, an item's properties or an object.
    void WriteListEnd();
    /// A property name: a short string without tag.
    void WritePropName(std::string_view name) { WriteShortString(name); }
    /// One length byte, then the bytes; longer text is cut at 255 bytes.
    void WriteShortString(std::string_view bytes);
    /// The four bytes that open a component stream.
    void WriteSignature();

private:
    void Tag(TValueTag tag) { Out_.push_back(static_cast<char>(tag)); }
    void LittleEndian(std::uint64_t value, int bytes);

    std::string& Out_;
};

/// A scalar value read whatever its tag. Lists and collections are skipped; only their tag is kept.
struct TTaggedValue {
    TValueTag Tag = TValueTag::Nil;
    std::int64_t Int = 0;             ///< integer tags
    double Float = 0;                 ///< floating point tags
    std::string Bytes;                ///< strings (as stored), identifiers, binary data
    std::u16string Wide;              ///< wide strings
    std::vector<std::string> Members; ///< set members

    [[nodiscard]] bool IsInteger() const noexcept;
    [[nodiscard]] bool IsString() const noexcept
    {
        return Tag == TValueTag::ShortString || Tag == TValueTag::LongString;
    }
    [[nodiscard]] bool IsBool() const noexcept { return Tag == TValueTag::FalseValue || Tag == TValueTag::TrueValue; }
};

/// Reads tagged values from bytes it does not own.
///
/// A read whose tag is of another kind returns false and consumes nothing, so the caller may
/// try another kind or skip the value. A read that runs past the end, an unknown tag in a
/// skipped value or nesting deeper than MaxDepth returns false and marks the reader Failed();
/// from then on every read fails.
class TTaggedReader {
public:
    static constexpr int MaxDepth = 64;

    explicit TTaggedReader(std::string_view data) noexcept : Data_(data) {}
    /// The reader keeps a view: a temporary string would be gone before the first read.
    template <class S>
        requires std::same_as<S, std::string>
    explicit TTaggedReader(S&&) = delete;

    [[nodiscard]] bool Failed() const noexcept { return Failed_; }
    [[nodiscard]] bool AtEnd() const noexcept { return Pos_ >= Data_.size(); }
    [[nodiscard]] std::size_t Position() const noexcept { return Pos_; }
    [[nodiscard]] std::size_t Remaining() const noexcept { return Data_.size() - Pos_; }

    /// The next tag without consuming it; at the end of the data the reader fails.
    [[nodiscard]] bool PeekTag(TValueTag& tag);
    /// True when the next byte is the end-of-list byte (false at the end of the data).
    [[nodiscard]] bool AtListEnd() const noexcept;

    [[nodiscard]] bool ReadInteger(std::int64_t& value);
    /// As ReadInteger; a value outside 32 bits counts as another kind.
    [[nodiscard]] bool ReadInt32(std::int32_t& value);
    /// A short or long string, bytes as stored.
    [[nodiscard]] bool ReadString(std::string& bytes);
    [[nodiscard]] bool ReadIdent(std::string& name);
    [[nodiscard]] bool ReadBool(bool& value);
    [[nodiscard]] bool ReadBinary(std::string& bytes);
    [[nodiscard]] bool ReadSet(std::vector<std::string>& members);
    /// A wide string; a UTF-8 string is accepted and converted.
    [[nodiscard]] bool ReadWideString(std::u16string& text);
    [[nodiscard]] bool ReadFloat80(double& value);
    /// Any floating point tag: 80-bit, single, currency or date.
    [[nodiscard]] bool ReadFloat(double& value);
    /// Any value: scalars are returned, lists and collections are skipped.
    [[nodiscard]] bool ReadValue(TTaggedValue& value);
    /// Skips one value of any kind, lists and collections with their content.
    [[nodiscard]] bool SkipValue();

    [[nodiscard]] bool ReadCollectionBegin() { return ReadTagOnly(TValueTag::Collection); }
    [[nodiscard]] bool ReadListBegin() { return ReadTagOnly(TValueTag::ListStart); }
    [[nodiscard]] bool ReadListEnd() { return ReadTagOnly(TValueTag::EndOfList); }
    /// A property name; the empty name is the end-of-properties byte.
    [[nodiscard]] bool ReadPropName(std::string& name) { return ReadShortString(name); }
    [[nodiscard]] bool ReadShortString(std::string& bytes);
    /// The four bytes that open a component stream; other bytes are a failure.
    [[nodiscard]] bool ReadSignature();

private:
    [[nodiscard]] bool Fail() noexcept
    {
        Failed_ = true;
        return false;
    }
    [[nodiscard]] bool Take(std::size_t count, std::string_view& bytes);
    [[nodiscard]] bool TakeUnsigned(int bytes, std::uint64_t& value);
    [[nodiscard]] bool TakeLength(std::size_t unitSize, std::string_view& bytes);
    [[nodiscard]] bool ReadTagOnly(TValueTag expected);
    [[nodiscard]] bool ReadIntegerBody(TValueTag tag, std::int64_t& value);
    [[nodiscard]] bool ReadFloatBody(TValueTag tag, double& value);
    [[nodiscard]] bool SkipBody(TValueTag tag, int depth);
    [[nodiscard]] bool SkipCollectionBody(int depth);

    std::string_view Data_;
    std::size_t Pos_ = 0;
    bool Failed_ = false;
};

/// The value of an 80-bit extended float (little-endian: 64-bit mantissa with explicit integer
/// bit, then sign and 15-bit exponent) as a double; out-of-range values become infinities or zero.
[[nodiscard]] double Float80ToDouble(const unsigned char bytes[10]) noexcept;

} // namespace xq

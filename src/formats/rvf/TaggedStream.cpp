// Tagged property values: writing, reading with bounds checks, skipping and 80-bit floats.
#include "formats/rvf/TaggedStream.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr std::string_view Signature = "TPF0";

[[nodiscard]] bool IsIntegerTag(TValueTag tag) noexcept
{
    return tag == TValueTag::Int8 || tag == TValueTag::Int16 || tag == TValueTag::Int32 || tag == TValueTag::Int64;
}

[[nodiscard]] bool IsFloatTag(TValueTag tag) noexcept
{
    return tag == TValueTag::Float80 || tag == TValueTag::Single || tag == TValueTag::Currency ||
           tag == TValueTag::Date;
}

[[nodiscard]] std::uint64_t LoadLittleEndian(std::string_view bytes) noexcept
{
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

} // namespace

double Float80ToDouble(const unsigned char bytes[10]) noexcept
{
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | bytes[i];
    const unsigned signAndExponent = bytes[8] | (unsigned(bytes[9]) << 8);
    const bool negative = (signAndExponent & 0x8000u) != 0;
    const int exponent = static_cast<int>(signAndExponent & 0x7FFFu);

    double magnitude;
    if (exponent == 0x7FFF) {
        // Infinity when only the integer bit (or nothing) is set, otherwise not a number.
        magnitude = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::quiet_NaN();
    } else if (mantissa == 0) {
        magnitude = 0.0;
    } else {
        // value = mantissa * 2^(exponent - bias - 63); denormals use the smallest exponent.
        const int unbiased = (exponent == 0 ? 1 : exponent) - 16383 - 63;
        magnitude = std::ldexp(static_cast<double>(mantissa), unbiased);
    }
    return negative ? -magnitude : magnitude;
}

// ---------------------------------------------------------------------------------------------
// TTaggedWriter

void TTaggedWriter::LittleEndian(std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        Out_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void TTaggedWriter::WriteInteger(std::int64_t value)
{
    if (value >= -128 && value <= 127) {
        Tag(TValueTag::Int8);
        LittleEndian(static_cast<std::uint64_t>(value), 1);
    } else if (value >= -32768 && value <= 32767) {
        Tag(TValueTag::Int16);
        LittleEndian(static_cast<std::uint64_t>(value), 2);
    } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        Tag(TValueTag::Int32);
        LittleEndian(static_cast<std::uint64_t>(value), 4);
    } else {
        Tag(TValueTag::Int64);
        LittleEndian(static_cast<std::uint64_t>(value), 8);
    }
}

void TTaggedWriter::WriteString(std::string_view bytes)
{
    if (bytes.size() <= 255) {
        Tag(TValueTag::ShortString);
        WriteShortString(bytes);
        return;
    }
    Tag(TValueTag::LongString);
    LittleEndian(bytes.size(), 4);
    Out_.append(bytes);
}

void TTaggedWriter::WriteIdent(std::string_view name)
{
    Tag(TValueTag::Ident);
    WriteShortString(name);
}

void TTaggedWriter::WriteBool(bool value)
{
    Tag(value ? TValueTag::TrueValue : TValueTag::FalseValue);
}

void TTaggedWriter::WriteBinary(std::string_view bytes)
{
    Tag(TValueTag::Binary);
    LittleEndian(bytes.size(), 4);
    Out_.append(bytes);
}

void TTaggedWriter::WriteSet(const std::vector<std::string_view>& members)
{
    Tag(TValueTag::Set);
    for (std::string_view m : members)
        if (!m.empty())
            WriteShortString(m);
    Out_.push_back('\0');
}

void TTaggedWriter::WriteWideString(std::u16string_view text)
{
    Tag(TValueTag::WideString);
    LittleEndian(text.size(), 4);
    for (char16_t unit : text)
        LittleEndian(unit, 2);
}

void TTaggedWriter::WriteNil()
{
    Tag(TValueTag::Nil);
}

void TTaggedWriter::WriteCollectionBegin()
{
    Tag(TValueTag::Collection);
}

void TTaggedWriter::WriteListBegin()
{
    Tag(TValueTag::ListStart);
}

void TTaggedWriter::WriteListEnd()
{
    Tag(TValueTag::EndOfList);
}

void TTaggedWriter::WriteShortString(std::string_view bytes)
{
    const std::size_t length = std::min<std::size_t>(bytes.size(), 255);
    Out_.push_back(static_cast<char>(length));
    Out_.append(bytes.substr(0, length));
}

void TTaggedWriter::WriteSignature()
{
    Out_.append(Signature);
}

// ---------------------------------------------------------------------------------------------
// TTaggedValue

bool TTaggedValue::IsInteger() const noexcept
{
    return IsIntegerTag(Tag);
}

// ---------------------------------------------------------------------------------------------
// TTaggedReader: primitives

bool TTaggedReader::Take(std::size_t count, std::string_view& bytes)
{
    if (Failed_ || count > Remaining())
        return Fail();
    bytes = Data_.substr(Pos_, count);
    Pos_ += count;
    return true;
}

bool TTaggedReader::TakeUnsigned(int bytes, std::uint64_t& value)
{
    std::string_view raw;
    if (!Take(static_cast<std::size_t>(bytes), raw))
        return false;
    value = LoadLittleEndian(raw);
    return true;
}

bool TTaggedReader::TakeLength(std::size_t unitSize, std::string_view& bytes)
{
    std::uint64_t count = 0;
    if (!TakeUnsigned(4, count))
        return false;
    // Checked against what is left before anything is allocated.
    if (count > Remaining() / unitSize)
        return Fail();
    return Take(static_cast<std::size_t>(count) * unitSize, bytes);
}

bool TTaggedReader::PeekTag(TValueTag& tag)
{
    if (Failed_ || AtEnd())
        return Fail();
    tag = static_cast<TValueTag>(static_cast<unsigned char>(Data_[Pos_]));
    return true;
}

bool TTaggedReader::AtListEnd() const noexcept
{
    return !Failed_ && !AtEnd() && Data_[Pos_] == '\0';
}

bool TTaggedReader::ReadTagOnly(TValueTag expected)
{
    TValueTag tag;
    if (!PeekTag(tag) || tag != expected)
        return false;
    ++Pos_;
    return true;
}

bool TTaggedReader::ReadShortString(std::string& bytes)
{
    std::string_view length, raw;
    if (!Take(1, length) || !Take(static_cast<unsigned char>(length[0]), raw))
        return false;
    bytes.assign(raw);
    return true;
}

bool TTaggedReader::ReadSignature()
{
    std::string_view raw;
    if (!Take(Signature.size(), raw))
        return false;
    return raw == Signature || Fail();
}

// ---------------------------------------------------------------------------------------------
// TTaggedReader: values

bool TTaggedReader::ReadIntegerBody(TValueTag tag, std::int64_t& value)
{
    std::uint64_t raw = 0;
    switch (tag) {
    case TValueTag::Int8:
        if (!TakeUnsigned(1, raw))
            return false;
        value = static_cast<std::int8_t>(raw);
        return true;
    case TValueTag::Int16:
        if (!TakeUnsigned(2, raw))
            return false;
        value = static_cast<std::int16_t>(raw);
        return true;
    case TValueTag::Int32:
        if (!TakeUnsigned(4, raw))
            return false;
        value = static_cast<std::int32_t>(raw);
        return true;
    case TValueTag::Int64:
        if (!TakeUnsigned(8, raw))
            return false;
        value = static_cast<std::int64_t>(raw);
        return true;
    default:
        return false;
    }
}

bool TTaggedReader::ReadInteger(std::int64_t& value)
{
    TValueTag tag;
    if (!PeekTag(tag) || !IsIntegerTag(tag))
        return false;
    ++Pos_;
    return ReadIntegerBody(tag, value);
}

bool TTaggedReader::ReadInt32(std::int32_t& value)
{
    const std::size_t start = Pos_;
    std::int64_t wide = 0;
    if (!ReadInteger(wide))
        return false;
    if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max()) {
        Pos_ = start;
        return false;
    }
    value = static_cast<std::int32_t>(wide);
    return true;
}

bool TTaggedReader::ReadString(std::string& bytes)
{
    TValueTag tag;
    if (!PeekTag(tag))
        return false;
    if (tag == TValueTag::ShortString) {
        ++Pos_;
        return ReadShortString(bytes);
    }
    if (tag != TValueTag::LongString)
        return false;
    ++Pos_;
    std::string_view raw;
    if (!TakeLength(1, raw))
        return false;
    bytes.assign(raw);
    return true;
}

bool TTaggedReader::ReadIdent(std::string& name)
{
    return ReadTagOnly(TValueTag::Ident) && ReadShortString(name);
}

bool TTaggedReader::ReadBool(bool& value)
{
    TValueTag tag;
    if (!PeekTag(tag) || (tag != TValueTag::FalseValue && tag != TValueTag::TrueValue))
        return false;
    ++Pos_;
    value = tag == TValueTag::TrueValue;
    return true;
}

bool TTaggedReader::ReadBinary(std::string& bytes)
{
    std::string_view raw;
    if (!ReadTagOnly(TValueTag::Binary) || !TakeLength(1, raw))
        return false;
    bytes.assign(raw);
    return true;
}

bool TTaggedReader::ReadSet(std::vector<std::string>& members)
{
    if (!ReadTagOnly(TValueTag::Set))
        return false;
    members.clear();
    for (;;) {
        std::string name;
        if (!ReadShortString(name))
            return false;
        if (name.empty())
            return true;
        members.push_back(std::move(name));
    }
}

bool TTaggedReader::ReadWideString(std::u16string& text)
{
    TValueTag tag;
    if (!PeekTag(tag) || (tag != TValueTag::WideString && tag != TValueTag::Utf8String))
        return false;
    ++Pos_;
    std::string_view raw;
    if (tag == TValueTag::Utf8String) {
        if (!TakeLength(1, raw))
            return false;
        text = Utf8ToUtf16(raw);
        return true;
    }
    if (!TakeLength(2, raw))
        return false;
    text.resize(raw.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(LoadLittleEndian(raw.substr(2 * i, 2)));
    return true;
}

bool TTaggedReader::ReadFloatBody(TValueTag tag, double& value)
{
    std::string_view raw;
    std::uint64_t bits = 0;
    switch (tag) {
    case TValueTag::Float80: {
        if (!Take(10, raw))
            return false;
        unsigned char bytes[10];
        for (int i = 0; i < 10; ++i)
            bytes[i] = static_cast<unsigned char>(raw[std::size_t(i)]);
        value = Float80ToDouble(bytes);
        return true;
    }
    case TValueTag::Single:
        if (!TakeUnsigned(4, bits))
            return false;
        value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        return true;
    case TValueTag::Currency: // a 64-bit count of ten-thousandths
        if (!TakeUnsigned(8, bits))
            return false;
        value = static_cast<double>(static_cast<std::int64_t>(bits)) / 10000.0;
        return true;
    case TValueTag::Date:
        if (!TakeUnsigned(8, bits))
            return false;
        value = std::bit_cast<double>(bits);
        return true;
    default:
        return false;
    }
}

bool TTaggedReader::ReadFloat80(double& value)
{
    return ReadTagOnly(TValueTag::Float80) && ReadFloatBody(TValueTag::Float80, value);
}

bool TTaggedReader::ReadFloat(double& value)
{
    TValueTag tag;
    if (!PeekTag(tag) || !IsFloatTag(tag))
        return false;
    ++Pos_;
    return ReadFloatBody(tag, value);
}

bool TTaggedReader::ReadValue(TTaggedValue& value)
{
    TValueTag tag;
    if (!PeekTag(tag))
        return false;
    value = TTaggedValue{};
    value.Tag = tag;
    switch (tag) {
    case TValueTag::Int8:
    case TValueTag::Int16:
    case TValueTag::Int32:
    case TValueTag::Int64:
        return ReadInteger(value.Int);
    case TValueTag::Float80:
    case TValueTag::Single:
    case TValueTag::Currency:
    case TValueTag::Date:
        return ReadFloat(value.Float);
    case TValueTag::ShortString:
    case TValueTag::LongString:
        return ReadString(value.Bytes);
    case TValueTag::Ident:
        return ReadIdent(value.Bytes);
    case TValueTag::Binary:
        return ReadBinary(value.Bytes);
    case TValueTag::Utf8String: {
        ++Pos_;
        std::string_view raw;
        if (!TakeLength(1, raw))
            return false;
        value.Bytes.assign(raw);
        return true;
    }
    case TValueTag::WideString:
        return ReadWideString(value.Wide);
    case TValueTag::Set:
        return ReadSet(value.Members);
    case TValueTag::EndOfList:
    case TValueTag::FalseValue:
    case TValueTag::TrueValue:
    case TValueTag::Nil:
        ++Pos_;
        return true;
    case TValueTag::ListStart:
    case TValueTag::Collection:
        return SkipValue();
    }
    return Fail(); // a tag this format does not know
}

bool TTaggedReader::SkipValue()
{
    TValueTag tag;
    if (!PeekTag(tag))
        return false;
    ++Pos_;
    return SkipBody(tag, 0);
}

bool TTaggedReader::SkipBody(TValueTag tag, int depth)
{
    std::string_view raw;
    std::string name;
    switch (tag) {
    case TValueTag::EndOfList:
    case TValueTag::FalseValue:
    case TValueTag::TrueValue:
    case TValueTag::Nil:
        return true;
    case TValueTag::Int8:
        return Take(1, raw);
    case TValueTag::Int16:
        return Take(2, raw);
    case TValueTag::Int32:
    case TValueTag::Single:
        return Take(4, raw);
    case TValueTag::Int64:
    case TValueTag::Currency:
    case TValueTag::Date:
        return Take(8, raw);
    case TValueTag::Float80:
        return Take(10, raw);
    case TValueTag::ShortString:
    case TValueTag::Ident:
        return ReadShortString(name);
    case TValueTag::Binary:
    case TValueTag::LongString:
    case TValueTag::Utf8String:
        return TakeLength(1, raw);
    case TValueTag::WideString:
        return TakeLength(2, raw);
    case TValueTag::Set:
        do {
            if (!ReadShortString(name))
                return false;
        } while (!name.empty());
        return true;
    case TValueTag::ListStart:
        if (depth >= MaxDepth)
            return Fail();
        for (;;) {
            TValueTag inner;
            if (!PeekTag(inner))
                return false;
            ++Pos_;
            if (inner == TValueTag::EndOfList)
                return true;
            if (!SkipBody(inner, depth + 1))
                return false;
        }
    case TValueTag::Collection:
        if (depth >= MaxDepth)
            return Fail();
        return SkipCollectionBody(depth + 1);
    }
    return Fail();
}

bool TTaggedReader::SkipCollectionBody(int depth)
{
    std::string name;
    for (;;) {
        TValueTag tag;
        if (!PeekTag(tag))
            return false;
        ++Pos_;
        if (tag == TValueTag::EndOfList)
            return true;
        if (IsIntegerTag(tag)) { // the item's optional index
            std::int64_t ignored = 0;
            if (!ReadIntegerBody(tag, ignored) || !PeekTag(tag))
                return false;
            ++Pos_;
        }
        if (tag != TValueTag::ListStart)
            return Fail();
        for (;;) {
            if (!ReadShortString(name))
                return false;
            if (name.empty())
                break;
            if (!PeekTag(tag))
                return false;
            ++Pos_;
            if (!SkipBody(tag, depth))
                return false;
        }
    }
}

} // namespace xq

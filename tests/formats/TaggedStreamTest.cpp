// Tagged values: integer sizes, strings, every kind read back, skipping, 80-bit floats, damaged input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "formats/rvf/TaggedStream.h"

namespace xq {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

/// A reader together with the bytes it views, so that both can come from one expression.
struct TOwnedReader {
    explicit TOwnedReader(std::string bytes) : Bytes(std::move(bytes)), Reader(Bytes) {}
    TOwnedReader(const TOwnedReader&) = delete;

    std::string Bytes;
    TTaggedReader Reader;
};

TEST(TaggedStream, IntegersTakeTheSmallestTag)
{
    const struct {
        std::int64_t Value;
        std::string Expected;
    } cases[] = {
        {0, Bytes({2, 0})},
        {127, Bytes({2, 0x7F})},
        {-128, Bytes({2, 0x80})},
        {128, Bytes({3, 0x80, 0})},
        {-129, Bytes({3, 0x7F, 0xFF})},
        {32767, Bytes({3, 0xFF, 0x7F})},
        {-32768, Bytes({3, 0, 0x80})},
        {32768, Bytes({4, 0, 0x80, 0, 0})},
        {-32769, Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF})},
        {2147483647, Bytes({4, 0xFF, 0xFF, 0xFF, 0x7F})},
        {-2147483648LL, Bytes({4, 0, 0, 0, 0x80})},
        {2147483648LL, Bytes({19, 0, 0, 0, 0x80, 0, 0, 0, 0})},
        {-2147483649LL, Bytes({19, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& c : cases) {
        std::string out;
        TTaggedWriter(out).WriteInteger(c.Value);
        EXPECT_EQ(out, c.Expected) << c.Value;
        TTaggedReader reader(out);
        std::int64_t back = 0;
        EXPECT_TRUE(reader.ReadInteger(back));
        EXPECT_EQ(back, c.Value);
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(TaggedStream, StringsAreShortUpTo255BytesAndLongBeyond)
{
    for (std::size_t length : {std::size_t(0), std::size_t(255), std::size_t(256), std::size_t(70000)}) {
        const std::string text(length, 'q');
        std::string out;
        TTaggedWriter(out).WriteString(text);
        if (length <= 255) {
            ASSERT_EQ(out.size(), length + 2);
            EXPECT_EQ(out[0], 6);
            EXPECT_EQ(static_cast<unsigned char>(out[1]), length);
        } else {
            ASSERT_EQ(out.size(), length + 5);
            EXPECT_EQ(out[0], 12);
            EXPECT_EQ(out.substr(1, 4), Bytes({int(length & 0xFF), int((length >> 8) & 0xFF), int(length >> 16), 0}));
        }
        TTaggedReader reader(out);
        std::string back;
        EXPECT_TRUE(reader.ReadString(back));
        EXPECT_EQ(back, text);
        EXPECT_TRUE(reader.AtEnd());
    }
}

// One value of every kind the writer knows, as a component stream would open.
std::string AllKinds()
{
    std::string out;
    TTaggedWriter w(out);
    w.WriteSignature();
    w.WritePropName("Name");
    w.WriteIdent("clRed");
    w.WriteBool(true);
    w.WriteBool(false);
    w.WriteBinary(std::string("a\0b", 3));
    w.WriteSet({"fsBold", "fsItalic"});
    w.WriteWideString(u"\u00C4\u20AC");
    w.WriteNil();
    w.WriteListBegin();
    w.WriteInteger(-5);
    w.WriteString("x");
    w.WriteListEnd();
    w.WriteCollectionBegin();
    w.WriteListBegin();
    w.WritePropName("P");
    w.WriteInteger(1000);
    w.WriteListEnd();
    w.WriteListEnd();
    return out;
}

// Reads AllKinds back; false at the first read that fails.
bool ReadAllKinds(TTaggedReader& r)
{
    std::string name, ident, binary;
    bool yes = false, no = true;
    std::vector<std::string> members;
    std::u16string wide;
    TValueTag tag;
    std::int64_t number = 0;
    std::string text;
    return r.ReadSignature() && r.ReadPropName(name) && name == "Name" && r.ReadIdent(ident) && ident == "clRed" &&
           r.ReadBool(yes) && yes && r.ReadBool(no) && !no && r.ReadBinary(binary) &&
           binary == std::string("a\0b", 3) && r.ReadSet(members) &&
           members == std::vector<std::string>{"fsBold", "fsItalic"} && r.ReadWideString(wide) &&
           wide == u"\u00C4\u20AC" && r.PeekTag(tag) && tag == TValueTag::Nil && r.SkipValue() && r.ReadListBegin() &&
           r.ReadInteger(number) && number == -5 && r.ReadString(text) && text == "x" && r.ReadListEnd() &&
           r.SkipValue() && r.AtEnd();
}

TEST(TaggedStream, EveryKindIsWrittenAsTaggedAndReadBack)
{
    const std::string out = AllKinds();
    EXPECT_EQ(out.substr(0, 4), "TPF0");
    EXPECT_NE(out.find(Bytes({11, 6}) + "fsBold" + Bytes({8}) + "fsItalic" + Bytes({0})), std::string::npos);
    EXPECT_NE(out.find(Bytes({18, 2, 0, 0, 0, 0xC4, 0, 0xAC, 0x20})), std::string::npos);
    EXPECT_NE(out.find(Bytes({10, 3, 0, 0, 0, 'a', 0, 'b'})), std::string::npos);
    TTaggedReader reader(out);
    EXPECT_TRUE(ReadAllKinds(reader));
    EXPECT_FALSE(reader.Failed());
}

TEST(TaggedStream, EveryTruncationFailsCleanly)
{
    const std::string out = AllKinds();
    for (std::size_t length = 0; length < out.size(); ++length) {
        TTaggedReader reader(std::string_view(out).substr(0, length));
        EXPECT_FALSE(ReadAllKinds(reader)) << length;
        EXPECT_TRUE(reader.Failed()) << length;
        std::int64_t number = 0;
        EXPECT_FALSE(reader.ReadInteger(number)); // failure is sticky
    }
}

TEST(TaggedStream, AReadOfAnotherKindConsumesNothing)
{
    std::string out;
    TTaggedWriter w(out);
    w.WriteString("7");
    w.WriteInteger(std::int64_t{1} << 40);
    TTaggedReader reader(out);
    std::int64_t number = 0;
    std::int32_t small = 0;
    std::string text;
    bool flag = false;
    EXPECT_FALSE(reader.ReadInteger(number));
    EXPECT_FALSE(reader.ReadIdent(text));
    EXPECT_FALSE(reader.ReadBool(flag));
    EXPECT_FALSE(reader.ReadBinary(text));
    EXPECT_EQ(reader.Position(), 0u);
    EXPECT_TRUE(reader.ReadString(text));
    EXPECT_EQ(text, "7");
    // A 64-bit value does not fit 32 bits: refused, still there for a wider read.
    EXPECT_FALSE(reader.ReadInt32(small));
    EXPECT_FALSE(reader.Failed());
    EXPECT_TRUE(reader.ReadInteger(number));
    EXPECT_EQ(number, std::int64_t{1} << 40);
}

TEST(TaggedStream, Float80ValuesDecode)
{
    const struct {
        std::string Bytes;
        double Expected;
    } cases[] = {
        {Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}), 1.5},
        {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}), -2.0},
        {Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0.0},
        {Bytes({0, 0, 0, 0, 0, 0xF9, 0x02, 0x95, 0x20, 0x40}), 1e10},
        {Bytes({0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}), 0.1},
        {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), std::numeric_limits<double>::infinity()},
    };
    for (const auto& c : cases) {
        TOwnedReader owned(Bytes({5}) + c.Bytes);
        TTaggedReader& reader = owned.Reader;
        double value = -1;
        ASSERT_TRUE(reader.ReadFloat80(value));
        EXPECT_DOUBLE_EQ(value, c.Expected);
        EXPECT_TRUE(reader.AtEnd());
    }
    TOwnedReader nan(Bytes({5, 1, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}));
    double value = 0;
    ASSERT_TRUE(nan.Reader.ReadFloat80(value));
    EXPECT_TRUE(std::isnan(value));
}

TEST(TaggedStream, OtherWritersTagsAreReadAndSkipped)
{
    const std::string single = Bytes({15, 0, 0, 0xC0, 0x3F});                       // 1.5f
    const std::string currency = Bytes({16, 0x39, 0x30, 0, 0, 0, 0, 0, 0});          // 12345 / 10000
    const std::string date = Bytes({17, 0, 0, 0, 0, 0, 0, 0x04, 0x40});              // 2.5
    const std::string int64 = Bytes({19, 1, 0, 0, 0, 0, 0, 0, 0x80});                // most negative + 1
    const std::string utf8 = Bytes({20, 3, 0, 0, 0, 'a', 0xC3, 0xA9});               // "aé"
    double value = 0;
    EXPECT_TRUE(TTaggedReader(single).ReadFloat(value));
    EXPECT_DOUBLE_EQ(value, 1.5);
    EXPECT_TRUE(TTaggedReader(currency).ReadFloat(value));
    EXPECT_DOUBLE_EQ(value, 1.2345);
    EXPECT_TRUE(TTaggedReader(date).ReadFloat(value));
    EXPECT_DOUBLE_EQ(value, 2.5);
    std::int64_t number = 0;
    EXPECT_TRUE(TTaggedReader(int64).ReadInteger(number));
    EXPECT_EQ(number, std::numeric_limits<std::int64_t>::min() + 1);
    std::u16string wide;
    EXPECT_TRUE(TTaggedReader(utf8).ReadWideString(wide));
    EXPECT_EQ(wide, u"a\u00E9");

    TOwnedReader all(single + currency + date + int64 + utf8 + Bytes({2, 9}));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(all.Reader.SkipValue()) << i;
    EXPECT_TRUE(all.Reader.ReadInteger(number));
    EXPECT_EQ(number, 9);
}

TEST(TaggedStream, SkipValueCoversNestedListsAndCollections)
{
    std::string out;
    TTaggedWriter w(out);
    w.WriteListBegin();
    w.WriteInteger(300);
    w.WriteListBegin();
    w.WriteString(std::string(300, 'z'));
    w.WriteSet({"a"});
    w.WriteListEnd();
    w.WriteCollectionBegin();
    w.WriteInteger(4); // an item index
    w.WriteListBegin();
    w.WritePropName("Inner");
    w.WriteCollectionBegin();
    w.WriteListEnd();
    w.WritePropName("Blob");
    w.WriteBinary("xyz");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteInteger(-7);

    TTaggedReader reader(out);
    TTaggedValue value;
    ASSERT_TRUE(reader.ReadValue(value));
    EXPECT_EQ(value.Tag, TValueTag::ListStart);
    std::int64_t after = 0;
    EXPECT_TRUE(reader.ReadInteger(after));
    EXPECT_EQ(after, -7);
}

TEST(TaggedStream, NestingIsCappedAndNeverOverflowsTheStack)
{
    auto nested = [](int depth) {
        return std::string(std::size_t(depth), '\x01') + std::string(std::size_t(depth), '\0');
    };
    EXPECT_TRUE(TOwnedReader(nested(TTaggedReader::MaxDepth)).Reader.SkipValue());
    TOwnedReader tooDeep(nested(TTaggedReader::MaxDepth + 1));
    EXPECT_FALSE(tooDeep.Reader.SkipValue());
    EXPECT_TRUE(tooDeep.Reader.Failed());
    EXPECT_FALSE(TOwnedReader(std::string(1000000, '\x01')).Reader.SkipValue());
    std::string collections; // collection, item, property "a" whose value is the next collection
    for (int i = 0; i < 100000; ++i)
        collections += "\x0E\x01\x01" "a";
    EXPECT_FALSE(TTaggedReader(collections).SkipValue());
}

TEST(TaggedStream, DamagedInputFailsWithoutReadingPastTheEnd)
{
    std::string text;
    std::u16string wide;
    std::vector<std::string> members;
    // Lengths far beyond the data.
    EXPECT_FALSE(TOwnedReader(Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'})).Reader.ReadString(text));
    EXPECT_FALSE(TOwnedReader(Bytes({10, 0xFF, 0xFF, 0xFF, 0x7F})).Reader.ReadBinary(text));
    EXPECT_FALSE(TOwnedReader(Bytes({18, 0, 0, 0, 0x80, 'a', 0})).Reader.ReadWideString(wide));
    EXPECT_FALSE(TOwnedReader(Bytes({18, 2, 0, 0, 0, 'a', 0, 'b'})).Reader.ReadWideString(wide));
    EXPECT_FALSE(TOwnedReader(Bytes({6, 5, 'a'})).Reader.ReadString(text));
    // A set without its closing empty name, a tag this format does not have.
    EXPECT_FALSE(TOwnedReader(Bytes({11, 1, 'a'})).Reader.ReadSet(members));
    EXPECT_FALSE(TOwnedReader(Bytes({21, 0})).Reader.SkipValue());
    TTaggedValue value;
    TOwnedReader unknown(Bytes({0x7F}));
    EXPECT_FALSE(unknown.Reader.ReadValue(value));
    EXPECT_TRUE(unknown.Reader.Failed());
    // A collection item must open with a list start.
    EXPECT_FALSE(TOwnedReader(Bytes({14, 6, 1, 'a', 0})).Reader.SkipValue());
    EXPECT_FALSE(TOwnedReader(Bytes({'T', 'P', 'F', '1'})).Reader.ReadSignature());
    TTaggedReader empty("");
    TValueTag tag;
    EXPECT_FALSE(empty.AtListEnd());
    EXPECT_FALSE(empty.PeekTag(tag));
    EXPECT_TRUE(empty.Failed());
}

} // namespace
} // namespace xq

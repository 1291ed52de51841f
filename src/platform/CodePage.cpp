// Code page conversions: compiled tables for the single-byte pages, iconv for the multi-byte ones.
#include "platform/CodePage.h"

#include "platform/DocViewError.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace xq {

namespace {

constexpr char16_t Replacement = u'?';
constexpr char16_t Utf16ReplacementChar = 0xFFFD;

constexpr bool IsCombiningDiacritic(char16_t c) noexcept { return c >= 0x0300 && c <= 0x036F; }

bool IsNonSpacingMark(char16_t c) noexcept
{
    const detail::CharRange* begin = detail::NonSpacingMarks;
    const detail::CharRange* end = begin + detail::NonSpacingMarkCount;
    auto it = std::upper_bound(begin, end, c, [](char16_t v, const detail::CharRange& r) { return v < r.first; });
    return it != begin && c <= (it - 1)->last;
}

// The precomposed form of base + mark, or 0.
char16_t Compose(char16_t base, char16_t mark) noexcept
{
    const detail::Composition* begin = detail::Compositions;
    const detail::Composition* end = begin + detail::CompositionCount;
    auto it = std::lower_bound(begin, end, std::pair{base, mark}, [](const detail::Composition& e, auto key) {
        return e.base < key.first || (e.base == key.first && e.mark < key.second);
    });
    return it != end && it->base == base && it->mark == mark ? it->composed : 0;
}

const detail::SingleBytePage* FindSingleBytePage(int codePage) noexcept
{
    for (std::size_t i = 0; i < detail::SingleBytePageCount; ++i)
        if (detail::SingleBytePages[i].codePage == codePage)
            return &detail::SingleBytePages[i];
    return nullptr;
}

// ---- iconv ------------------------------------------------------------------------------------------

const char* IconvName(int codePage) noexcept
{
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1361: return "JOHAB";
    default: return nullptr;
    }
}

const char* const NativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const iconv_t NoIconv = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t IconvFailed = static_cast<std::size_t>(-1);

// Opening a converter is expensive, so each thread keeps the decoders it has used. A page iconv does
// not know is remembered as well, so that it is not asked again.
class IconvCache {
public:
    IconvCache() = default;
    IconvCache(const IconvCache&) = delete;
    IconvCache& operator=(const IconvCache&) = delete;
    ~IconvCache()
    {
        for (const Entry& e : entries_)
            if (e.cd != NoIconv)
                iconv_close(e.cd);
    }

    iconv_t Get(int codePage)
    {
        for (const Entry& e : entries_)
            if (e.codePage == codePage)
                return Reset(e.cd);
        iconv_t cd = NoIconv;
        if (const char* name = IconvName(codePage))
            cd = iconv_open(NativeUtf16, name);
        entries_.push_back({codePage, cd});
        return Reset(cd);
    }

private:
    struct Entry {
        int codePage;
        iconv_t cd;
    };

    static iconv_t Reset(iconv_t cd) noexcept
    {
        if (cd != NoIconv)
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return cd;
    }

    std::vector<Entry> entries_;
};

// A decoder from the code page to UTF-16 in its initial state, or NoIconv.
iconv_t Decoder(int codePage)
{
    thread_local IconvCache cache;
    return cache.Get(codePage);
}

// Makes room for at least `need` more elements after `used` ones.
template <class String>
void Reserve(String& s, std::size_t used, std::size_t need)
{
    if (s.size() - used < need)
        s.resize(std::max(s.size() * 2, used + need));
}

std::optional<std::u16string> DecodeMultiByte(std::string_view bytes, int codePage)
{
    iconv_t cd = Decoder(codePage);
    if (cd == NoIconv)
        return std::nullopt;
    std::u16string out(bytes.size() + 4, u'\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(bytes.data());  // iconv does not write through it
    std::size_t inLeft = bytes.size();
    std::size_t need = 4;
    while (inLeft > 0) {
        Reserve(out, used, std::max(need, inLeft + 4));
        char* outPtr = reinterpret_cast<char*>(out.data() + used);
        std::size_t outLeft = (out.size() - used) * sizeof(char16_t);
        std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        int error = errno;
        used = (outPtr - reinterpret_cast<char*>(out.data())) / sizeof(char16_t);
        if (r != IconvFailed)
            break;
        if (error == E2BIG) {
            need = out.size() - used + 16;
        } else if (error == EILSEQ) {
            // One '?' for the offending byte, then try again from the next one.
            Reserve(out, used, 1);
            out[used++] = Replacement;
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (error == EINVAL) {
            // The input ends inside a character.
            Reserve(out, used, inLeft);
            for (; inLeft > 0; --inLeft)
                out[used++] = Replacement;
        } else {
            return std::nullopt;
        }
    }
    out.resize(used);
    if (codePage == 1361) {
        // iconv reads 0x5C as the won sign; the desktop platform keeps ASCII as it is in every code page.
        std::replace(out.begin(), out.end(), char16_t(0x20A9), u'\\');
    }
    return out;
}

// Encode table of a multi-byte page: for every BMP character the one or two bytes (lead byte in the
// high half) that iconv writes for it, or 0. Only characters that read back as themselves are kept,
// so iconv's one-way mappings (CP932 writes U+00A5 as 0x5C) give '?' like every other character the
// page does not have. Built on first use, 128 KiB per page.
std::unique_ptr<std::uint16_t[]> BuildEncodeTable(const char* name)
{
    iconv_t encoder = iconv_open(name, NativeUtf16);
    iconv_t decoder = iconv_open(NativeUtf16, name);
    std::unique_ptr<std::uint16_t[]> table;
    if (encoder != NoIconv && decoder != NoIconv) {
        table = std::make_unique<std::uint16_t[]>(0x10000);
        for (char32_t code = 0x80; code <= 0xFFFF; ++code) {
            auto c = static_cast<char16_t>(code);
            if (IsSurrogate(c))
                continue;
            unsigned char bytes[8];
            char* in = reinterpret_cast<char*>(&c);
            std::size_t inLeft = sizeof c;
            char* out = reinterpret_cast<char*>(bytes);
            std::size_t outLeft = sizeof bytes;
            std::size_t r = iconv(encoder, &in, &inLeft, &out, &outLeft);
            iconv(encoder, nullptr, nullptr, nullptr, nullptr);
            std::size_t length = sizeof bytes - outLeft;
            if (r != 0 || length == 0 || length > 2)
                continue;
            char16_t back[4];
            in = reinterpret_cast<char*>(bytes);
            inLeft = length;
            out = reinterpret_cast<char*>(back);
            outLeft = sizeof back;
            r = iconv(decoder, &in, &inLeft, &out, &outLeft);
            iconv(decoder, nullptr, nullptr, nullptr, nullptr);
            if (r == IconvFailed || outLeft != sizeof back - sizeof(char16_t) || back[0] != c)
                continue;
            table[code] = length == 1 ? bytes[0] : static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
        }
    }
    if (encoder != NoIconv)
        iconv_close(encoder);
    if (decoder != NoIconv)
        iconv_close(decoder);
    return table;
}

// The encode table of a multi-byte page, or null when iconv does not know the page.
const std::uint16_t* MultiByteEncodeTable(int codePage)
{
    static constexpr int Pages[] = {932, 936, 949, 950, 1361};
    struct Slot {
        std::once_flag once;
        std::unique_ptr<std::uint16_t[]> table;
    };
    static Slot slots[std::size(Pages)];
    auto page = std::find(std::begin(Pages), std::end(Pages), codePage);
    if (page == std::end(Pages))
        return nullptr;
    Slot& slot = slots[page - std::begin(Pages)];
    std::call_once(slot.once, [&] { slot.table = BuildEncodeTable(IconvName(codePage)); });
    return slot.table.get();
}

// Writes UTF-16 into one code page, from a single-byte page's sorted reverse table or from a
// multi-byte page's encode table. ASCII is written as it is in every page.
class Encoder {
public:
    explicit Encoder(const detail::SingleBytePage& page) noexcept : page_(&page) {}
    explicit Encoder(const std::uint16_t* wideTable) noexcept : wide_(wideTable) {}

    [[nodiscard]] bool CanEncode(char16_t c) const noexcept { return Lookup(c) >= 0; }

    // Characters without an exact mapping become '?', a surrogate pair one '?'; non-spacing marks the
    // page does not have are dropped.
    void EncodeRun(std::u16string_view run, std::string& out) const
    {
        for (std::size_t i = 0; i < run.size(); ++i) {
            char16_t c = run[i];
            int value = Lookup(c);
            if (value > 0xFF) {
                out.push_back(static_cast<char>(value >> 8));
                out.push_back(static_cast<char>(value & 0xFF));
            } else if (value >= 0) {
                out.push_back(static_cast<char>(value));
            } else if (IsHighSurrogate(c) && i + 1 < run.size() && IsLowSurrogate(run[i + 1])) {
                out.push_back('?');
                ++i;
            } else if (!IsNonSpacingMark(c)) {
                out.push_back('?');
            }
        }
    }

private:
    // The byte (or lead << 8 | trail) for c, or -1.
    [[nodiscard]] int Lookup(char16_t c) const noexcept
    {
        if (c < 0x80)
            return c;
        if (wide_)
            return wide_[c] != 0 ? wide_[c] : -1;
        const detail::ByteMapping* begin = page_->fromUnicode;
        const detail::ByteMapping* end = begin + page_->fromUnicodeCount;
        auto it = std::lower_bound(begin, end, c, [](const detail::ByteMapping& m, char16_t v) { return m.ch < v; });
        return it != end && it->ch == c ? it->byte : -1;
    }

    const detail::SingleBytePage* page_ = nullptr;
    const std::uint16_t* wide_ = nullptr;
};

// Applies the composite check and hands everything else to the encoder in runs as long as possible.
void EncodeText(std::u16string_view text, const Encoder& encoder, std::string& out)
{
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i + 1 < text.size()) {
        if (!IsCombiningDiacritic(text[i + 1]) || IsSurrogate(text[i])) {
            ++i;
            continue;
        }
        char16_t current = text[i];
        std::size_t next = i + 1;
        while (next < text.size() && IsCombiningDiacritic(text[next])) {
            char16_t composed = Compose(current, text[next]);
            if (composed == 0 || !encoder.CanEncode(composed))
                break;
            current = composed;
            ++next;
        }
        if (next == i + 1) {
            ++i;  // nothing to compose; the marks go through the encoder with the run
            continue;
        }
        encoder.EncodeRun(text.substr(runStart, i - runStart), out);
        encoder.EncodeRun(std::u16string_view(&current, 1), out);
        runStart = i = next;
    }
    encoder.EncodeRun(text.substr(runStart), out);
}

// ---- conversions for one real code page ------------------------------------------------------------

std::optional<std::u16string> TryAnsiToUnicode(std::string_view bytes, int codePage)
{
    codePage = ResolveCodePage(codePage);
    if (const detail::SingleBytePage* page = FindSingleBytePage(codePage)) {
        std::u16string out(bytes.size(), u'\0');
        const char16_t* table = page->toUnicode;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            out[i] = table[static_cast<unsigned char>(bytes[i])];
        return out;
    }
    if (codePage == Utf8CodePage)
        return Utf8ToUtf16(bytes);
    return DecodeMultiByte(bytes, codePage);
}

std::optional<std::string> TryUnicodeToAnsi(std::u16string_view text, int codePage)
{
    codePage = ResolveCodePage(codePage);
    std::string out;
    if (const detail::SingleBytePage* page = FindSingleBytePage(codePage)) {
        out.reserve(text.size());
        EncodeText(text, Encoder(*page), out);
        return out;
    }
    if (codePage == Utf8CodePage)
        return Utf16ToUtf8(text);
    const std::uint16_t* table = MultiByteEncodeTable(codePage);
    if (!table)
        return std::nullopt;
    out.reserve(text.size() * 2);
    EncodeText(text, Encoder(table), out);
    return out;
}

void RequireEvenLength(std::string_view utf16le)
{
    if (utf16le.size() % 2 != 0)
        throw EDocViewError(errUnicodeOperation);
}

} // namespace

int CodePageOfCharset(int charset, int defCodePage) noexcept
{
    switch (charset) {
    case 1: return defCodePage;      // DEFAULT_CHARSET
    case 0:                          // ANSI_CHARSET
    case 254: return 1252;
    case 77: return 2;               // MAC_CHARSET
    case 128: return 932;            // SHIFTJIS_CHARSET
    case 129: return 949;            // HANGEUL_CHARSET
    case 130: return 1361;           // JOHAB_CHARSET
    case 134: return 936;            // GB2312_CHARSET
    case 136: return 950;            // CHINESEBIG5_CHARSET
    case 161: return 1253;           // GREEK_CHARSET
    case 162: return 1254;           // TURKISH_CHARSET
    case 163: return 1258;           // VIETNAMESE_CHARSET
    case 177: return 1255;           // HEBREW_CHARSET
    case 178: return 1256;           // ARABIC_CHARSET
    case 186: return 1257;           // BALTIC_CHARSET
    case 204: return 1251;           // RUSSIAN_CHARSET
    case 222: return 874;            // THAI_CHARSET
    case 238: return 1250;           // EASTEUROPE_CHARSET
    case 255: return 1;              // OEM_CHARSET
    default: return 0;
    }
}

int ResolveCodePage(int codePage) noexcept
{
    switch (codePage) {
    case 0: return SystemAnsiCodePage;
    case 1: return SystemOemCodePage;
    case 2: return SystemMacCodePage;
    default: return codePage;
    }
}

bool IsCodePageSupported(int codePage)
{
    codePage = ResolveCodePage(codePage);
    return FindSingleBytePage(codePage) != nullptr || codePage == Utf8CodePage
           || Decoder(codePage) != NoIconv;
}

bool IsLeadByte(int codePage, unsigned char byte) noexcept
{
    switch (ResolveCodePage(codePage)) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    case 1361: return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) || (byte >= 0xE0 && byte <= 0xF9);
    default: return false;
    }
}

std::u16string AnsiToUnicode(std::string_view bytes, int codePage)
{
    if (auto text = TryAnsiToUnicode(bytes, codePage))
        return *std::move(text);
    if (codePage != 0)
        if (auto text = TryAnsiToUnicode(bytes, 0))
            return *std::move(text);
    return std::u16string(bytes.size(), Replacement);
}

std::string UnicodeToAnsi(std::u16string_view text, int codePage)
{
    if (auto bytes = TryUnicodeToAnsi(text, codePage))
        return *std::move(bytes);
    if (codePage != 0)
        if (auto bytes = TryUnicodeToAnsi(text, 0))
            return *std::move(bytes);
    return std::string(text.size(), '?');
}

std::u16string Utf16FromBytes(std::string_view utf16le)
{
    RequireEvenLength(utf16le);
    std::u16string text(utf16le.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto lo = static_cast<unsigned char>(utf16le[2 * i]);
        auto hi = static_cast<unsigned char>(utf16le[2 * i + 1]);
        text[i] = static_cast<char16_t>(lo | (hi << 8));
    }
    return text;
}

std::string BytesFromUtf16(std::u16string_view text)
{
    std::string bytes(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return bytes;
}

std::string AnsiToUnicodeBytes(std::string_view bytes, int codePage)
{
    return BytesFromUtf16(AnsiToUnicode(bytes, codePage));
}

std::string UnicodeBytesToAnsi(std::string_view utf16le, int codePage)
{
    return UnicodeToAnsi(Utf16FromBytes(utf16le), codePage);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = CodePointOf(text[i], text[i + 1]);
            ++i;
        } else if (IsSurrogate(text[i])) {
            c = Utf16ReplacementChar;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    // Each maximal prefix of a valid sequence that cannot be completed, and each byte that cannot start
    // one, becomes one U+FFFD. Overlong forms, surrogates and values above U+10FFFF are invalid.
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        std::size_t length;
        char32_t c;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0F;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            out.push_back(Utf16ReplacementChar);
            ++i;
            continue;
        }
        std::size_t n = 1;
        for (; n < length && i + n < text.size(); ++n) {
            auto b = static_cast<unsigned char>(text[i + n]);
            if (b < low || b > high)
                break;
            c = (c << 6) | (b & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        i += n;
        if (n < length) {
            out.push_back(Utf16ReplacementChar);
        } else if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

} // namespace xq

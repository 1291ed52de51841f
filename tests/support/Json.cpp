// The strict JSON reader of the tests: recursive descent over the text, UTF-8 checked byte by byte.
#include "support/Json.h"

#include <stdexcept>

namespace xq::test {

const TJson& TJson::operator[](std::string_view key) const
{
    for (const auto& [name, value] : Members)
        if (name == key)
            return value;
    throw std::out_of_range("no member " + std::string(key));
}

bool TJson::Has(std::string_view key) const
{
    for (const auto& member : Members)
        if (member.first == key)
            return true;
    return false;
}

std::vector<std::string> TJson::Keys() const
{
    std::vector<std::string> keys;
    for (const auto& member : Members)
        keys.push_back(member.first);
    return keys;
}

std::int64_t TJson::Int() const
{
    if (Kind != TKind::Number || Text.find_first_of(".eE") != std::string::npos)
        throw std::invalid_argument("not an integer: " + Text);
    return std::stoll(Text);
}

namespace {

class TParser {
public:
    explicit TParser(std::string_view text) : S_(text) {}

    std::optional<TJson> Document(std::string* error)
    {
        try {
            TJson value = Value(0);
            SkipSpace();
            if (P_ != S_.size())
                Fail("text after the value");
            return value;
        } catch (const std::runtime_error& e) {
            if (error)
                *error = std::string(e.what()) + " at byte " + std::to_string(P_);
            return std::nullopt;
        }
    }

private:
    [[noreturn]] static void Fail(const std::string& what) { throw std::runtime_error(what); }

    void SkipSpace()
    {
        while (P_ < S_.size() && (S_[P_] == ' ' || S_[P_] == '\t' || S_[P_] == '\n' || S_[P_] == '\r'))
            ++P_;
    }

    char Peek()
    {
        if (P_ >= S_.size())
            Fail("unexpected end");
        return S_[P_];
    }

    void Expect(std::string_view word)
    {
        if (S_.substr(P_, word.size()) != word)
            Fail("expected " + std::string(word));
        P_ += word.size();
    }

    TJson Value(int depth)
    {
        if (depth > 200)
            Fail("nesting too deep");
        SkipSpace();
        TJson v;
        switch (Peek()) {
        case '{':
            v.Kind = TJson::TKind::Object;
            ++P_;
            SkipSpace();
            if (Peek() == '}') {
                ++P_;
                return v;
            }
            for (;;) {
                SkipSpace();
                if (Peek() != '"')
                    Fail("expected a key");
                std::string key = String();
                if (v.Has(key))
                    Fail("duplicate key " + key);
                SkipSpace();
                Expect(":");
                v.Members.emplace_back(std::move(key), Value(depth + 1));
                SkipSpace();
                if (Peek() == ',') {
                    ++P_;
                    continue;
                }
                Expect("}");
                return v;
            }
        case '[':
            v.Kind = TJson::TKind::Array;
            ++P_;
            SkipSpace();
            if (Peek() == ']') {
                ++P_;
                return v;
            }
            for (;;) {
                v.Items.push_back(Value(depth + 1));
                SkipSpace();
                if (Peek() == ',') {
                    ++P_;
                    continue;
                }
                Expect("]");
                return v;
            }
        case '"':
            v.Kind = TJson::TKind::String;
            v.Text = String();
            return v;
        case 't':
            Expect("true");
            v.Kind = TJson::TKind::Bool;
            v.Boolean = true;
            return v;
        case 'f':
            Expect("false");
            v.Kind = TJson::TKind::Bool;
            return v;
        case 'n':
            Expect("null");
            return v;
        default:
            v.Kind = TJson::TKind::Number;
            v.Text = Number();
            return v;
        }
    }

    std::string Number()
    {
        const std::size_t start = P_;
        const auto digits = [&] {
            const std::size_t from = P_;
            while (P_ < S_.size() && S_[P_] >= '0' && S_[P_] <= '9')
                ++P_;
            if (P_ == from)
                Fail("expected a digit");
        };
        if (Peek() == '-')
            ++P_;
        if (Peek() == '0')
            ++P_;
        else
            digits();
        if (P_ < S_.size() && S_[P_] == '.') {
            ++P_;
            digits();
        }
        if (P_ < S_.size() && (S_[P_] == 'e' || S_[P_] == 'E')) {
            ++P_;
            if (Peek() == '+' || Peek() == '-')
                ++P_;
            digits();
        }
        return std::string(S_.substr(start, P_ - start));
    }

    static void AppendUtf8(std::string& out, char32_t c)
    {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    char32_t Hex4()
    {
        char32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = Peek();
            ++P_;
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= char32_t(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= char32_t(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= char32_t(c - 'A' + 10);
            else
                Fail("bad \\u escape");
        }
        return v;
    }

    /// One UTF-8 sequence copied as it is, after checking it is the shortest form of a scalar.
    void CopyUtf8(std::string& out)
    {
        const auto lead = static_cast<unsigned char>(S_[P_]);
        int length = 0;
        char32_t c = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2, c = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, c = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, c = lead & 0x07;
        else
            Fail("invalid UTF-8");
        if (P_ + static_cast<std::size_t>(length) > S_.size())
            Fail("truncated UTF-8");
        for (int i = 1; i < length; ++i) {
            const auto b = static_cast<unsigned char>(S_[P_ + static_cast<std::size_t>(i)]);
            if ((b & 0xC0) != 0x80)
                Fail("invalid UTF-8");
            c = (c << 6) | (b & 0x3F);
        }
        if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
            (c >= 0xD800 && c <= 0xDFFF))
            Fail("invalid UTF-8");
        out.append(S_.substr(P_, static_cast<std::size_t>(length)));
        P_ += static_cast<std::size_t>(length);
    }

    std::string String()
    {
        Expect("\"");
        std::string out;
        for (;;) {
            const auto c = static_cast<unsigned char>(Peek());
            if (c == '"') {
                ++P_;
                return out;
            }
            if (c < 0x20)
                Fail("unescaped control character");
            if (c >= 0x80) {
                CopyUtf8(out);
                continue;
            }
            ++P_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = Peek();
            ++P_;
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                char32_t u = Hex4();
                if (u >= 0xD800 && u <= 0xDBFF) {
                    Expect("\\u");
                    const char32_t low = Hex4();
                    if (low < 0xDC00 || low > 0xDFFF)
                        Fail("lone surrogate");
                    u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                } else if (u >= 0xDC00 && u <= 0xDFFF) {
                    Fail("lone surrogate");
                }
                AppendUtf8(out, u);
                break;
            }
            default:
                Fail("bad escape");
            }
        }
    }

    std::string_view S_;
    std::size_t P_ = 0;
};

} // namespace

std::optional<TJson> ParseJson(std::string_view text, std::string* error)
{
    return TParser(text).Document(error);
}

} // namespace xq::test

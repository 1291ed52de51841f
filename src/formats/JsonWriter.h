// TJsonWriter: pretty-printed JSON in document order, for the document dump and the item kinds
// that add their own data to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

/// Appends utf8 as a JSON string: valid UTF-8 (anything else becomes U+FFFD), quotes,
/// backslashes and control characters escaped.
void AppendJsonString(std::string& out, std::string_view utf8);

/// Emits values in document order with two-space indentation; empty arrays and objects stay
/// on one line.
class TJsonWriter {
public:
    explicit TJsonWriter(std::string& out) : Out_(out) {}

    void BeginObject() { Open('{', true); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('[', false); }
    void EndArray() { Close(']'); }

    void Key(std::string_view key)
    {
        Separate();
        AppendJsonString(Out_, key);
        Out_ += ": ";
        AfterKey_ = true;
    }

    void String(std::string_view utf8)
    {
        BeforeValue();
        AppendJsonString(Out_, utf8);
    }
    void Int(std::int64_t value)
    {
        BeforeValue();
        Out_ += std::to_string(value);
    }
    void Bool(bool value)
    {
        BeforeValue();
        Out_ += value ? "true" : "false";
    }
    void Null()
    {
        BeforeValue();
        Out_ += "null";
    }
    /// A number already formatted.
    void Number(std::string_view text)
    {
        BeforeValue();
        Out_ += text;
    }

    // Key and value in one call.
    void Field(std::string_view key, std::string_view utf8)
    {
        Key(key);
        String(utf8);
    }
    void Field(std::string_view key, const char* utf8)
    {
        Key(key);
        String(utf8);
    }
    void Field(std::string_view key, const std::string& utf8)
    {
        Key(key);
        String(utf8);
    }
    void Field(std::string_view key, std::int64_t value)
    {
        Key(key);
        Int(value);
    }
    void Field(std::string_view key, std::int32_t value)
    {
        Key(key);
        Int(value);
    }
    void Field(std::string_view key, std::uint32_t value)
    {
        Key(key);
        Int(value);
    }
    void Field(std::string_view key, bool value)
    {
        Key(key);
        Bool(value);
    }

    void Finish() { Out_ += '\n'; }

private:
    struct TLevel {
        bool Object;
        int Count;
    };

    void Indent()
    {
        Out_ += '\n';
        Out_.append(Levels_.size() * 2, ' ');
    }

    /// A comma and a new line before every member but the first.
    void Separate()
    {
        if (Levels_.empty())
            return;
        if (Levels_.back().Count++ > 0)
            Out_ += ',';
        Indent();
    }

    void BeforeValue()
    {
        if (AfterKey_)
            AfterKey_ = false;
        else
            Separate();
    }

    void Open(char bracket, bool object)
    {
        BeforeValue();
        Out_ += bracket;
        Levels_.push_back({object, 0});
    }

    void Close(char bracket)
    {
        const bool empty = Levels_.back().Count == 0;
        Levels_.pop_back();
        if (!empty)
            Indent();
        Out_ += bracket;
    }

    std::string& Out_;
    std::vector<TLevel> Levels_;
    bool AfterKey_ = false;
};

} // namespace xq

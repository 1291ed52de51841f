// TCompactString: a string that costs one pointer while it is empty. Items carry a tag and a hint
// that nearly all of them leave empty; a document of millions of paragraphs should not pay two
// std::string objects per item for them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace xq {

class TCompactString {
public:
    TCompactString() noexcept = default;
    TCompactString(std::string s) { Assign(std::move(s)); }
    TCompactString(const char* s) { Assign(std::string(s)); }
    TCompactString(const TCompactString& other) { Assign(other.str()); }
    TCompactString(TCompactString&&) noexcept = default;
    TCompactString& operator=(const TCompactString& other)
    {
        if (this != &other)
            Assign(other.str());
        return *this;
    }
    TCompactString& operator=(TCompactString&&) noexcept = default;
    TCompactString& operator=(std::string s)
    {
        Assign(std::move(s));
        return *this;
    }
    TCompactString& operator=(const char* s) { return *this = std::string(s); }

    [[nodiscard]] const std::string& str() const noexcept { return S_ ? *S_ : Empty(); }
    operator const std::string&() const noexcept { return str(); }
    [[nodiscard]] bool empty() const noexcept { return !S_; }
    [[nodiscard]] std::size_t size() const noexcept { return S_ ? S_->size() : 0; }
    void clear() noexcept { S_.reset(); }

    friend bool operator==(const TCompactString& a, const TCompactString& b) noexcept { return a.str() == b.str(); }
    friend bool operator==(const TCompactString& a, std::string_view b) noexcept { return a.str() == b; }
    friend bool operator==(const TCompactString& a, const std::string& b) noexcept { return a.str() == b; }
    friend bool operator==(const TCompactString& a, const char* b) noexcept { return a.str() == b; }

private:
    void Assign(std::string s)
    {
        if (s.empty())
            S_.reset();
        else if (S_)
            *S_ = std::move(s);
        else
            S_ = std::make_unique<std::string>(std::move(s));
    }
    static const std::string& Empty() noexcept
    {
        static const std::string empty;
        return empty;
    }

    /// invariant: null or a non-empty string
    std::unique_ptr<std::string> S_;
};

} // namespace xq

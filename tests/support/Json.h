// A strict JSON reader for tests: checks that output is valid JSON and lets tests look into it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xq::test {

struct TJson {
    enum class TKind { Null, Bool, Number, String, Array, Object };

    TKind Kind = TKind::Null;
    bool Boolean = false;
    std::string Text; ///< the number as written, or the decoded string (UTF-8)
    std::vector<TJson> Items;
    std::vector<std::pair<std::string, TJson>> Members; ///< in document order

    /// The member with this key; throws std::out_of_range when there is none.
    [[nodiscard]] const TJson& operator[](std::string_view key) const;
    [[nodiscard]] const TJson& operator[](std::size_t index) const { return Items.at(index); }
    [[nodiscard]] bool Has(std::string_view key) const;
    [[nodiscard]] std::vector<std::string> Keys() const;
    /// The number as an integer; throws std::invalid_argument for anything else.
    [[nodiscard]] std::int64_t Int() const;
    [[nodiscard]] bool IsNull() const { return Kind == TKind::Null; }
};

/// Parses one JSON text (RFC 8259) with nothing but white space around it. Invalid UTF-8,
/// unescaped control characters, lone surrogate escapes and duplicate keys are errors.
[[nodiscard]] std::optional<TJson> ParseJson(std::string_view text, std::string* error = nullptr);

} // namespace xq::test

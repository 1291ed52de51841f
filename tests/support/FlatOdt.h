// What LibreOffice made of a document, read from its flat ODT (one XML file): a small XML tree,
// and from it the tables, the picture frames and the formatted characters of the body text.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xq::test {

/// An element with its attributes and children; a text node has an empty Name and its text
/// (entities resolved) in Text.
struct TXmlNode {
    std::string Name;
    std::map<std::string, std::string> Attributes;
    std::vector<TXmlNode> Children;
    std::string Text;

    [[nodiscard]] std::string Attribute(const std::string& name) const;
    /// All descendants named name, in document order, not looking inside a match.
    void FindAll(std::string_view name, std::vector<const TXmlNode*>& found) const;
};

/// Parses well-formed XML as LibreOffice writes it (elements, attributes, text, entities;
/// declarations, comments and processing instructions are skipped). Empty on malformed input.
[[nodiscard]] std::optional<TXmlNode> ParseXml(std::string_view xml, std::string* error = nullptr);

/// A table as rows of slots: "C" a cell with its spans as "C2x1" (columns x rows) when it spans,
/// "-" a covered slot; the tables nested in each cell follow in Nested, cell by cell.
struct TTableShape {
    int Columns = 0;
    std::vector<std::vector<std::string>> Rows;
    std::vector<TTableShape> Nested;

    [[nodiscard]] std::string Describe() const;
    friend bool operator==(const TTableShape&, const TTableShape&) = default;
};
/// The outermost tables of the office:text body, in document order.
[[nodiscard]] std::vector<TTableShape> TablesOf(const TXmlNode& document);

/// The draw:frame sizes in inches (width, height), in document order.
[[nodiscard]] std::vector<std::pair<double, double>> FrameSizesOf(const TXmlNode& document);

/// How a character of the body text looks.
struct TCharLook {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::string Color;  ///< "#rrggbb"; "#000000" when automatic
    double Size = 0;    ///< points
    friend bool operator==(const TCharLook&, const TCharLook&) = default;
};
[[nodiscard]] std::string Describe(const TCharLook& look);
/// The characters of the body's paragraphs other than white space, as UTF-32, with their look;
/// note citations and note bodies, fields (sequences) and frames are left out.
[[nodiscard]] std::vector<std::pair<char32_t, TCharLook>> LookedCharsOf(const TXmlNode& document);

/// A note as LibreOffice holds it: "footnote" or "endnote", and the looked characters of its
/// text.
struct TOdtNote {
    std::string Class;
    std::vector<std::pair<char32_t, TCharLook>> Chars;
};
/// The notes of the body in document order.
[[nodiscard]] std::vector<TOdtNote> NotesOf(const TXmlNode& document);

/// Decodes UTF-8 (invalid bytes become U+FFFD).
[[nodiscard]] std::u32string Utf8ToUtf32(std::string_view text);

} // namespace xq::test

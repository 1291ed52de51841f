#include "support/FlatOdt.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace xq::test {

namespace {

void AppendUtf8(std::string& out, char32_t c)
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

/// Text with its entities resolved.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos) {
            out += text.substr(i);
            break;
        }
        const std::string_view name = text.substr(i + 1, end - i - 1);
        if (name == "amp")
            out += '&';
        else if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (!name.empty() && name[0] == '#')
            AppendUtf8(out, static_cast<char32_t>(name.size() > 1 && (name[1] == 'x' || name[1] == 'X')
                                                      ? std::strtoul(std::string(name.substr(2)).c_str(), nullptr, 16)
                                                      : std::strtoul(std::string(name.substr(1)).c_str(), nullptr, 10)));
        else
            out += text.substr(i, end - i + 1);
        i = end;
    }
    return out;
}

class TXmlParser {
public:
    explicit TXmlParser(std::string_view xml) : Xml_(xml) {}

    bool Parse(TXmlNode& root, std::string& error)
    {
        std::vector<TXmlNode*> open{&root};
        while (Pos_ < Xml_.size()) {
            if (Xml_[Pos_] != '<') {
                const std::size_t end = std::min(Xml_.find('<', Pos_), Xml_.size());
                TXmlNode text;
                text.Text = Unescape(Xml_.substr(Pos_, end - Pos_));
                open.back()->Children.push_back(std::move(text));
                Pos_ = end;
                continue;
            }
            if (Skip("<?", "?>") || Skip("<!--", "-->") || Skip("<![CDATA[", "]]>") || Skip("<!", ">"))
                continue;
            if (Xml_.compare(Pos_, 2, "</") == 0) {
                const std::size_t end = Xml_.find('>', Pos_);
                if (end == std::string_view::npos || open.size() < 2)
                    return Fail(error, "unbalanced end tag");
                const std::string_view name = Trim(Xml_.substr(Pos_ + 2, end - Pos_ - 2));
                if (name != open.back()->Name)
                    return Fail(error, "end tag " + std::string(name) + " closes " + open.back()->Name);
                open.pop_back();
                Pos_ = end + 1;
                continue;
            }
            TXmlNode element;
            bool empty = false;
            if (!StartTag(element, empty))
                return Fail(error, "malformed start tag");
            open.back()->Children.push_back(std::move(element));
            if (!empty)
                open.push_back(&open.back()->Children.back());
        }
        if (open.size() != 1)
            return Fail(error, "unclosed element " + open.back()->Name);
        return true;
    }

private:
    bool Skip(std::string_view start, std::string_view end)
    {
        if (Xml_.compare(Pos_, start.size(), start) != 0)
            return false;
        const std::size_t at = Xml_.find(end, Pos_ + start.size());
        Pos_ = at == std::string_view::npos ? Xml_.size() : at + end.size();
        return true;
    }

    static std::string_view Trim(std::string_view s)
    {
        while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
            s.remove_prefix(1);
        while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
            s.remove_suffix(1);
        return s;
    }

    bool StartTag(TXmlNode& element, bool& empty)
    {
        ++Pos_;
        const auto nameEnd = [&](char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '/' || c == '>'; };
        const std::size_t nameStart = Pos_;
        while (Pos_ < Xml_.size() && !nameEnd(Xml_[Pos_]))
            ++Pos_;
        element.Name = std::string(Xml_.substr(nameStart, Pos_ - nameStart));
        for (;;) {
            while (Pos_ < Xml_.size() && std::isspace(static_cast<unsigned char>(Xml_[Pos_])))
                ++Pos_;
            if (Pos_ >= Xml_.size())
                return false;
            if (Xml_[Pos_] == '>') {
                ++Pos_;
                return !element.Name.empty();
            }
            if (Xml_.compare(Pos_, 2, "/>") == 0) {
                Pos_ += 2;
                empty = true;
                return !element.Name.empty();
            }
            const std::size_t eq = Xml_.find('=', Pos_);
            if (eq == std::string_view::npos || eq + 1 >= Xml_.size())
                return false;
            const std::string name(Trim(Xml_.substr(Pos_, eq - Pos_)));
            const char quote = Xml_[eq + 1];
            if (quote != '"' && quote != '\'')
                return false;
            const std::size_t close = Xml_.find(quote, eq + 2);
            if (close == std::string_view::npos)
                return false;
            element.Attributes[name] = Unescape(Xml_.substr(eq + 2, close - eq - 2));
            Pos_ = close + 1;
        }
    }

    static bool Fail(std::string& error, std::string what)
    {
        error = std::move(what);
        return false;
    }

    std::string_view Xml_;
    std::size_t Pos_ = 0;
};

const TXmlNode* FirstOf(const TXmlNode& node, std::string_view name)
{
    std::vector<const TXmlNode*> found;
    node.FindAll(name, found);
    return found.empty() ? nullptr : found.front();
}

int IntAttribute(const TXmlNode& node, const std::string& name, int fallback)
{
    const std::string value = node.Attribute(name);
    return value.empty() ? fallback : std::atoi(value.c_str());
}

void CollectRows(const TXmlNode& parent, std::vector<const TXmlNode*>& rows, int& columns)
{
    for (const TXmlNode& child : parent.Children) {
        if (child.Name == "table:table-row")
            rows.push_back(&child);
        else if (child.Name == "table:table-column")
            columns += IntAttribute(child, "table:number-columns-repeated", 1);
        else if (child.Name == "table:table-header-rows" || child.Name == "table:table-rows" ||
                 child.Name == "table:table-row-group" || child.Name == "table:table-columns" ||
                 child.Name == "table:table-header-columns" || child.Name == "table:table-column-group")
            CollectRows(child, rows, columns);
    }
}

TTableShape ShapeOf(const TXmlNode& table)
{
    TTableShape shape;
    std::vector<const TXmlNode*> rows;
    CollectRows(table, rows, shape.Columns);
    for (const TXmlNode* row : rows) {
        std::vector<std::string>& slots = shape.Rows.emplace_back();
        for (const TXmlNode& cell : row->Children) {
            if (cell.Name == "table:covered-table-cell") {
                slots.push_back("-");
            } else if (cell.Name == "table:table-cell") {
                const int cols = IntAttribute(cell, "table:number-columns-spanned", 1);
                const int rowSpan = IntAttribute(cell, "table:number-rows-spanned", 1);
                slots.push_back(cols == 1 && rowSpan == 1 ? "C"
                                                          : "C" + std::to_string(cols) + "x" + std::to_string(rowSpan));
                std::vector<const TXmlNode*> nested;
                cell.FindAll("table:table", nested);
                for (const TXmlNode* inner : nested)
                    shape.Nested.push_back(ShapeOf(*inner));
            }
        }
    }
    return shape;
}

double Inches(const std::string& length)
{
    char* unit = nullptr;
    const double value = std::strtod(length.c_str(), &unit);
    const std::string_view u(unit ? unit : "");
    if (u == "in")
        return value;
    if (u == "cm")
        return value / 2.54;
    if (u == "mm")
        return value / 25.4;
    if (u == "pt")
        return value / 72;
    return -1;
}

/// The text properties of the named styles, by family and name, and the default paragraph
/// properties, with the parent chains.
class TStyles {
public:
    explicit TStyles(const TXmlNode& document)
    {
        std::vector<const TXmlNode*> styles;
        document.FindAll("style:style", styles);
        for (const TXmlNode* style : styles) {
            TStyle& s = Styles_[style->Attribute("style:family") + "/" + style->Attribute("style:name")];
            s.Parent = style->Attribute("style:parent-style-name");
            if (const TXmlNode* props = FirstOf(*style, "style:text-properties"))
                s.Properties = props->Attributes;
        }
        std::vector<const TXmlNode*> defaults;
        document.FindAll("style:default-style", defaults);
        for (const TXmlNode* style : defaults)
            if (style->Attribute("style:family") == "paragraph")
                if (const TXmlNode* props = FirstOf(*style, "style:text-properties"))
                    Default_ = props->Attributes;
    }

    /// A property as the spans (innermost last) and the paragraph give it.
    [[nodiscard]] std::string Find(const std::vector<std::string>& spans, const std::string& paragraph,
                                   const std::string& property) const
    {
        for (auto it = spans.rbegin(); it != spans.rend(); ++it)
            if (auto value = InChain("text", *it, property))
                return *value;
        if (auto value = InChain("paragraph", paragraph, property))
            return *value;
        const auto it = Default_.find(property);
        return it == Default_.end() ? std::string() : it->second;
    }

private:
    struct TStyle {
        std::string Parent;
        std::map<std::string, std::string> Properties;
    };

    [[nodiscard]] std::optional<std::string> InChain(const std::string& family, std::string name,
                                                     const std::string& property) const
    {
        for (int depth = 0; !name.empty() && depth < 32; ++depth) {
            const auto style = Styles_.find(family + "/" + name);
            if (style == Styles_.end())
                return std::nullopt;
            if (const auto it = style->second.Properties.find(property); it != style->second.Properties.end())
                return it->second;
            name = style->second.Parent;
        }
        return std::nullopt;
    }

    std::map<std::string, TStyle> Styles_;
    std::map<std::string, std::string> Default_;
};

class TLookWalker {
public:
    TLookWalker(const TStyles& styles, std::vector<std::pair<char32_t, TCharLook>>& out) : Styles_(styles), Out_(out) {}

    void Walk(const TXmlNode& node)
    {
        if (node.Name.empty()) {
            if (!InParagraph_)
                return;
            const TCharLook look = Look();
            for (const char32_t c : Utf8ToUtf32(node.Text))
                if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != 0xA0)
                    Out_.emplace_back(c, look);
            return;
        }
        if (node.Name == "text:note" || node.Name == "text:sequence" || node.Name == "draw:frame" ||
            node.Name == "office:annotation" || node.Name == "text:tracked-changes")
            return;
        const bool paragraph = node.Name == "text:p" || node.Name == "text:h";
        const bool span = node.Name == "text:span";
        const std::string savedParagraph = Paragraph_;
        const bool savedIn = InParagraph_;
        if (paragraph) {
            Paragraph_ = node.Attribute("text:style-name");
            InParagraph_ = true;
        }
        if (span)
            Spans_.push_back(node.Attribute("text:style-name"));
        for (const TXmlNode& child : node.Children)
            Walk(child);
        if (span)
            Spans_.pop_back();
        Paragraph_ = savedParagraph;
        InParagraph_ = savedIn;
    }

private:
    [[nodiscard]] TCharLook Look() const
    {
        TCharLook look;
        const std::string weight = Styles_.Find(Spans_, Paragraph_, "fo:font-weight");
        look.Bold = weight == "bold" || std::atoi(weight.c_str()) >= 600;
        const std::string style = Styles_.Find(Spans_, Paragraph_, "fo:font-style");
        look.Italic = style == "italic" || style == "oblique";
        const std::string underline = Styles_.Find(Spans_, Paragraph_, "style:text-underline-style");
        look.Underline = !underline.empty() && underline != "none";
        look.Color = Styles_.Find(Spans_, Paragraph_, "fo:color");
        if (look.Color.empty())
            look.Color = "#000000";
        look.Size = std::strtod(Styles_.Find(Spans_, Paragraph_, "fo:font-size").c_str(), nullptr);
        return look;
    }

    const TStyles& Styles_;
    std::vector<std::pair<char32_t, TCharLook>>& Out_;
    std::vector<std::string> Spans_;
    std::string Paragraph_;
    bool InParagraph_ = false;
};

const TXmlNode* BodyOf(const TXmlNode& document)
{
    return FirstOf(document, "office:text");
}

} // namespace

std::string TXmlNode::Attribute(const std::string& name) const
{
    const auto it = Attributes.find(name);
    return it == Attributes.end() ? std::string() : it->second;
}

void TXmlNode::FindAll(std::string_view name, std::vector<const TXmlNode*>& found) const
{
    for (const TXmlNode& child : Children) {
        if (child.Name == name)
            found.push_back(&child);
        else
            child.FindAll(name, found);
    }
}

std::optional<TXmlNode> ParseXml(std::string_view xml, std::string* error)
{
    TXmlNode root;
    std::string why;
    if (!TXmlParser(xml).Parse(root, why)) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    return root;
}

std::string TTableShape::Describe() const
{
    std::ostringstream out;
    out << Columns << " columns:";
    for (const auto& row : Rows) {
        out << " [";
        for (std::size_t i = 0; i < row.size(); ++i)
            out << (i ? " " : "") << row[i];
        out << "]";
    }
    for (const TTableShape& inner : Nested)
        out << " {" << inner.Describe() << "}";
    return out.str();
}

std::vector<TTableShape> TablesOf(const TXmlNode& document)
{
    std::vector<TTableShape> tables;
    if (const TXmlNode* body = BodyOf(document)) {
        std::vector<const TXmlNode*> found;
        body->FindAll("table:table", found);
        for (const TXmlNode* table : found)
            tables.push_back(ShapeOf(*table));
    }
    return tables;
}

std::vector<std::pair<double, double>> FrameSizesOf(const TXmlNode& document)
{
    std::vector<std::pair<double, double>> sizes;
    if (const TXmlNode* body = BodyOf(document)) {
        std::vector<const TXmlNode*> frames;
        body->FindAll("draw:frame", frames);
        for (const TXmlNode* frame : frames)
            sizes.emplace_back(Inches(frame->Attribute("svg:width")), Inches(frame->Attribute("svg:height")));
    }
    return sizes;
}

std::string Describe(const TCharLook& look)
{
    std::ostringstream out;
    out << (look.Bold ? "bold " : "") << (look.Italic ? "italic " : "") << (look.Underline ? "underline " : "")
        << look.Color << " " << look.Size << "pt";
    return out.str();
}

std::vector<std::pair<char32_t, TCharLook>> LookedCharsOf(const TXmlNode& document)
{
    std::vector<std::pair<char32_t, TCharLook>> chars;
    if (const TXmlNode* body = BodyOf(document)) {
        const TStyles styles(document);
        TLookWalker(styles, chars).Walk(*body);
    }
    return chars;
}

std::vector<TOdtNote> NotesOf(const TXmlNode& document)
{
    std::vector<TOdtNote> notes;
    if (const TXmlNode* body = BodyOf(document)) {
        const TStyles styles(document);
        std::vector<const TXmlNode*> found;
        body->FindAll("text:note", found);
        for (const TXmlNode* note : found) {
            TOdtNote& n = notes.emplace_back();
            n.Class = note->Attribute("text:note-class");
            // A note's paragraphs take nothing from the span the note stands in.
            if (const TXmlNode* text = FirstOf(*note, "text:note-body"))
                TLookWalker(styles, n.Chars).Walk(*text);
        }
    }
    return notes;
}

std::u32string Utf8ToUtf32(std::string_view text)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + std::size_t(length) > text.size()) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        char32_t code = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + std::size_t(k)]) & 0x3F);
        out += code;
        i += std::size_t(length);
    }
    return out;
}

} // namespace xq::test

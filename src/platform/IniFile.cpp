// INI profile files: parsing into lines, the lookups of the profile rules, and writing back.
#include "platform/IniFile.h"

#include "platform/CodePage.h"
#include "platform/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <unistd.h>

namespace xq {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::size_t MaxComputerNameBytes = 128;

/// The blanks the profile functions trim: white space and Ctrl-Z, an old end-of-file mark.
constexpr bool IsProfileBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view s) noexcept
{
    while (!s.empty() && IsProfileBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsProfileBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

/// Lower-cases ASCII letters and, in UTF-8, the upper-case letters of code page 1252: U+00C0-U+00DE
/// without U+00D7, and U+0152, U+0160, U+017D, U+0178. Other bytes pass unchanged. Folds the unit
/// at s[i] (one byte, or a two-byte sequence) into out and moves i past it; every unit folds to
/// as many bytes as it has, so folded strings are as long as the originals.
std::size_t FoldUnit(std::string_view s, std::size_t& i, char out[2]) noexcept
{
    const auto b = static_cast<unsigned char>(s[i]);
    if (b >= 'A' && b <= 'Z') {
        out[0] = char(b + 32);
        ++i;
        return 1;
    }
    if (b == 0xC3 && i + 1 < s.size()) {
        const auto c = static_cast<unsigned char>(s[i + 1]);
        out[0] = char(b);
        out[1] = char(c >= 0x80 && c <= 0x9E && c != 0x97 ? c + 0x20 : c);
        i += 2;
        return 2;
    }
    if (b == 0xC5 && i + 1 < s.size()) {
        const auto c = static_cast<unsigned char>(s[i + 1]);
        if (c == 0xB8) { // Y with diaeresis folds to U+00FF
            out[0] = char(0xC3);
            out[1] = char(0xBF);
        } else {
            out[0] = char(b);
            out[1] = char(c == 0x92 || c == 0xA0 || c == 0xBD ? c + 1 : c);
        }
        i += 2;
        return 2;
    }
    out[0] = char(b);
    ++i;
    return 1;
}

std::string FoldCase(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    char unit[2];
    for (std::size_t i = 0; i < s.size();)
        out.append(unit, FoldUnit(s, i, unit));
    return out;
}

/// A value that is wholly enclosed in matching quotes loses them.
std::string_view StripQuotes(std::string_view v) noexcept
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool HasLineBreak(std::string_view s) noexcept
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

/// Integer text as the programs of the family write it: optional sign, then decimal digits, or "$" or
/// "0x" and hex digits.
bool ParseInteger(std::string_view s, int& result) noexcept
{
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    std::int64_t value = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * base + digit;
        // Hex takes the full 32 bits ("$FFFFFFFF" is -1); decimal must fit the signed range.
        if (value > (base == 16 ? std::int64_t(0xFFFFFFFF) : std::int64_t(std::numeric_limits<int>::max()) + 1))
            return false;
    }
    if (base == 16 && value > std::numeric_limits<int>::max())
        value -= std::int64_t(1) << 32;
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return false;
    result = static_cast<int>(value);
    return true;
}

} // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    // Style matching compares font names for every run read: folded a unit at a time, without
    // building the folded strings. Folding keeps lengths, so the folded bytes are compared one
    // by one even where the units of a and b do not line up.
    if (a.size() != b.size())
        return false;
    char foldedA[2], foldedB[2];
    std::size_t ia = 0, ib = 0, lengthA = 0, lengthB = 0, atA = 0, atB = 0;
    for (std::size_t n = 0; n < a.size(); ++n) {
        if (atA == lengthA) {
            lengthA = FoldUnit(a, ia, foldedA);
            atA = 0;
        }
        if (atB == lengthB) {
            lengthB = FoldUnit(b, ib, foldedB);
            atB = 0;
        }
        if (foldedA[atA++] != foldedB[atB++])
            return false;
    }
    return true;
}

TIniFile::TIniFile()
{
    Clear();
}

TIniFile::TIniFile(std::filesystem::path fileName, std::size_t maxFileSize)
    : FileName_(std::move(fileName)), MaxFileSize_(maxFileSize)
{
    Clear();
    (void)Load();
}

void TIniFile::SetFileName(std::filesystem::path fileName)
{
    FileName_ = std::move(fileName);
}

void TIniFile::Clear()
{
    Sections_.clear();
    Sections_.emplace_back();
    SectionIndex_.clear();
    Encoding_ = TIniEncoding::Ansi;
    Modified_ = false;
    LoadFailed_ = false;
    LoadError_.clear();
}

bool TIniFile::Load()
{
    Clear();
    if (FileName_.empty())
        return true;
    std::error_code ec;
    const fs::file_status status = fs::status(FileName_, ec);
    if (status.type() == fs::file_type::not_found)
        return true;
    std::string bytes;
    if (!ReadFileBytes(FileName_, bytes, MaxFileSize_, &LoadError_)) {
        LoadFailed_ = true;
        return false;
    }
    LoadFromBytes(bytes);
    return true;
}

void TIniFile::LoadFromBytes(std::string_view bytes)
{
    Clear();
    std::string text;
    if (bytes.starts_with(Utf8Bom)) {
        Encoding_ = TIniEncoding::Utf8Bom;
        text.assign(bytes.substr(Utf8Bom.size()));
    } else if (bytes.starts_with(Utf16LeBom)) {
        Encoding_ = TIniEncoding::Utf16Bom;
        std::string_view units = bytes.substr(Utf16LeBom.size());
        units = units.substr(0, units.size() & ~std::size_t(1)); // a dangling odd byte is dropped
        text = Utf16ToUtf8(Utf16FromBytes(units));
    } else {
        text = Utf16ToUtf8(AnsiToUnicode(bytes, SystemAnsiCodePage));
    }

    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\r\n");
        std::string_view raw = rest.substr(0, end);
        if (end == std::string_view::npos) {
            rest = {};
        } else {
            const std::size_t next = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n' ? end + 2 : end + 1;
            rest.remove_prefix(next);
        }

        const std::string_view trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const std::size_t close = trimmed.find(']');
            if (close != std::string_view::npos) {
                TSection section;
                section.Header.assign(raw);
                section.Name.assign(Trim(trimmed.substr(1, close - 1)));
                section.NameFolded = FoldCase(section.Name);
                SectionIndex_.try_emplace(section.NameFolded, Sections_.size());
                Sections_.push_back(std::move(section));
                continue;
            }
        }
        TLine line;
        line.Text.assign(raw);
        const std::size_t eq = trimmed.find('=');
        // Lines before the first section header are kept but are never keys.
        if (Sections_.size() > 1 && eq != std::string_view::npos && !trimmed.starts_with(';')) {
            const std::string_view key = Trim(trimmed.substr(0, eq));
            if (!key.empty()) {
                line.Kind = TLineKind::Key;
                line.Key.assign(key);
                line.KeyFolded = FoldCase(key);
                line.Value.assign(Trim(trimmed.substr(eq + 1)));
            }
        }
        Sections_.back().Lines.push_back(std::move(line));
    }
}

std::string TIniFile::ToBytes() const
{
    std::string text;
    for (const TSection& section : Sections_) {
        if (&section != &Sections_.front()) {
            text += section.Header;
            text += "\r\n";
        }
        for (const TLine& line : section.Lines) {
            text += line.Text;
            text += "\r\n";
        }
    }
    switch (Encoding_) {
    case TIniEncoding::Utf8Bom:
        return std::string(Utf8Bom) + text;
    case TIniEncoding::Utf16Bom:
        return std::string(Utf16LeBom) + BytesFromUtf16(Utf8ToUtf16(text));
    case TIniEncoding::Ansi:
        break;
    }
    return UnicodeToAnsi(Utf8ToUtf16(text), SystemAnsiCodePage);
}

bool TIniFile::UpdateFile(std::string* error)
{
    if (LoadFailed_) {
        if (error)
            *error = LoadError_ + " (not overwritten)";
        return false;
    }
    if (FileName_.empty()) {
        if (error)
            *error = "no file name";
        return false;
    }
    if (!Modified_)
        return true;
    if (!WriteFileAtomically(FileName_, ToBytes())) {
        if (error)
            *error = FileName_.string() + ": " + std::system_category().message(errno);
        return false;
    }
    Modified_ = false;
    return true;
}

void TIniFile::RebuildIndex()
{
    SectionIndex_.clear();
    for (std::size_t i = 1; i < Sections_.size(); ++i)
        SectionIndex_.try_emplace(Sections_[i].NameFolded, i);
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const
{
    const auto it = SectionIndex_.find(FoldCase(Trim(name)));
    return it == SectionIndex_.end() ? nullptr : &Sections_[it->second];
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name)
{
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TIniFile::TLine* TIniFile::FindKey(const TSection& section, std::string_view foldedKey)
{
    for (const TLine& line : section.Lines)
        if (line.Kind == TLineKind::Key && line.KeyFolded == foldedKey)
            return &line;
    return nullptr;
}

TIniFile::TLine* TIniFile::FindKey(TSection& section, std::string_view foldedKey)
{
    return const_cast<TLine*>(FindKey(std::as_const(section), foldedKey));
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const TSection* found = FindSection(section);
    const TLine* line = found ? FindKey(*found, FoldCase(Trim(key))) : nullptr;
    return std::string(line ? StripQuotes(line->Value) : defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::string text = ReadString(section, key);
    int value = 0;
    return ParseInteger(text, value) ? value : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::EndsWithBlankLine() const
{
    for (auto it = Sections_.rbegin(); it != Sections_.rend(); ++it) {
        if (!it->Lines.empty())
            return Trim(it->Lines.back().Text).empty();
        if (&*it != &Sections_.front())
            return false; // a header is the last line
    }
    return true; // nothing at all
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (sectionName.find(']') != std::string_view::npos || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || keyName.empty() || keyName.find('=') != std::string_view::npos ||
        keyName.front() == '[' || keyName.front() == ';')
        return false;

    TSection* target = FindSection(sectionName);
    if (!target) {
        // A new section goes to the end, apart from what precedes it by an empty line and followed by
        // one, so the file keeps the usual one-blank-line layout when more sections are added.
        if (!EndsWithBlankLine())
            Sections_.back().Lines.push_back(TLine{});
        TSection added;
        added.Header = "[" + std::string(sectionName) + "]";
        added.Name.assign(sectionName);
        added.NameFolded = FoldCase(sectionName);
        added.Lines.push_back(TLine{});
        SectionIndex_.try_emplace(added.NameFolded, Sections_.size());
        Sections_.push_back(std::move(added));
        target = &Sections_.back();
        Modified_ = true;
    }

    const std::string folded = FoldCase(keyName);
    if (TLine* line = FindKey(*target, folded)) {
        std::string text = line->Key + "=" + std::string(value);
        if (text != line->Text) {
            line->Text = std::move(text);
            line->Value.assign(Trim(value));
            Modified_ = true;
        }
        return true;
    }

    TLine line;
    line.Kind = TLineKind::Key;
    line.Key.assign(keyName);
    line.KeyFolded = folded;
    line.Value.assign(Trim(value));
    line.Text = line.Key + "=" + std::string(value);
    auto at = target->Lines.end();
    while (at != target->Lines.begin() && Trim(std::prev(at)->Text).empty())
        --at;
    target->Lines.insert(at, std::move(line));
    Modified_ = true;
    return true;
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section)
{
    const std::string folded = FoldCase(Trim(section));
    const auto first = Sections_.begin() + 1;
    const auto kept = std::remove_if(first, Sections_.end(), [&](const TSection& s) { return s.NameFolded == folded; });
    if (kept != Sections_.end()) {
        Sections_.erase(kept, Sections_.end());
        RebuildIndex();
        Modified_ = true;
    }
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    TSection* found = FindSection(section);
    if (!found)
        return;
    const std::string folded = FoldCase(Trim(key));
    auto& lines = found->Lines;
    const auto kept = std::remove_if(lines.begin(), lines.end(), [&](const TLine& line) {
        return line.Kind == TLineKind::Key && line.KeyFolded == folded;
    });
    if (kept != lines.end()) {
        lines.erase(kept, lines.end());
        Modified_ = true;
    }
}

std::vector<std::string> TIniFile::ReadSections() const
{
    // The index holds the first occurrence of every name.
    std::vector<std::string> names;
    for (std::size_t i = 1; i < Sections_.size(); ++i)
        if (SectionIndex_.at(Sections_[i].NameFolded) == i)
            names.push_back(Sections_[i].Name);
    return names;
}

std::vector<std::string> TIniFile::ReadSectionKeys(std::string_view section) const
{
    std::vector<std::string> keys;
    const TSection* found = FindSection(section);
    if (!found)
        return keys;
    std::unordered_set<std::string_view> seen;
    for (const TLine& line : found->Lines)
        if (line.Kind == TLineKind::Key && seen.insert(line.KeyFolded).second)
            keys.push_back(line.Key);
    return keys;
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    const TSection* found = FindSection(section);
    return found && FindKey(*found, FoldCase(Trim(key)));
}

std::string PerComputerSection(const TIniFile& ini, std::string_view prefix, std::string_view computerName)
{
    std::string name(prefix);
    name += computerName;
    if (!computerName.empty() && ini.SectionExists(name))
        return name;
    return std::string(prefix);
}

std::string ReadComputerName()
{
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    std::string name(buffer);
    if (name.size() > MaxComputerNameBytes)
        name.resize(MaxComputerNameBytes);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return name;
}

} // namespace xq

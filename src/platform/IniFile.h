// INI profile files ("mru.ini", "AutoText.lst", "XQSpell.dic", "ispell.ini") read and written by the
// profile rules the other programs of the family rely on.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace xq {

/// The shared settings file in the program directory; per-computer sections are a prefix followed by
/// the computer name, with the bare prefix as fallback.
inline constexpr std::string_view SharedSettingsFileName = "XQSpell.dic";

/// How the file was stored on disk; it is written back the same way.
enum class TIniEncoding {
    Ansi,      ///< code page 1252, no byte order mark (what the family writes)
    Utf8Bom,   ///< UTF-8 starting with EF BB BF
    Utf16Bom,  ///< UTF-16LE starting with FF FE
};

/// An INI file held whole in memory as its lines.
///
/// The profile rules:
/// - A line whose first non-blank character is "[" and that has a "]" names a section: the text
///   between "[" and the first "]", trimmed. Lines before the first section belong to no section.
/// - Inside a section a line with "=" is a key: the trimmed text before the first "=" is its name, the
///   trimmed text after it its value. Lines starting with ";", blank lines and lines without "=" are
///   kept but are no keys.
/// - Section and key names compare case-insensitively (ASCII and the letters of code page 1252) after
///   trimming. When a name occurs twice, the first occurrence is the one read and written; the others
///   stay in the file as they are.
/// - Reading a value: blanks (code 32, tab, CR, LF, VT, FF, Ctrl-Z) are trimmed; a value wholly enclosed
///   in a pair of matching quotes (" or ') loses them.
/// - Writing a value replaces the value of the first matching key, keeping the key's spelling, or adds
///   "key=value" after the last non-blank line of the section; a new section is added at the end as
///   "[name]" followed by an empty line. Every other line stays byte for byte.
/// - On disk: code page 1252 (UTF-8 in memory; characters 1252 lacks become "?"), or the UTF-8 or UTF-16LE
///   form when the file started with that byte order mark. Lines end with CRLF on writing; CRLF, LF and
///   lone CR are read.
/// - A missing file reads as empty; a file that cannot be read, is not a regular file or is larger than
///   the size limit leaves the object empty with LoadFailed() set, and UpdateFile then refuses to
///   overwrite it.
///
/// invariant: Sections_[0] is the unnamed part before the first section header.
class TIniFile {
public:
    static constexpr std::size_t DefaultMaxFileSize = std::size_t(4) * 1024 * 1024;

    /// An empty profile bound to no file (UpdateFile fails until SetFileName).
    TIniFile();
    /// Binds to fileName and loads it (see Load).
    explicit TIniFile(std::filesystem::path fileName, std::size_t maxFileSize = DefaultMaxFileSize);

    TIniFile(const TIniFile&) = default;
    TIniFile& operator=(const TIniFile&) = default;
    TIniFile(TIniFile&&) noexcept = default;
    TIniFile& operator=(TIniFile&&) noexcept = default;

    /// Binds to another file without loading it.
    void SetFileName(std::filesystem::path fileName);
    [[nodiscard]] const std::filesystem::path& FileName() const noexcept { return FileName_; }

    /// (Re)reads the file, dropping unsaved changes. A missing file gives an empty profile and true;
    /// an unreadable, non-regular or oversized file gives an empty profile, false and LoadError().
    [[nodiscard]] bool Load();
    /// Parses bytes as the content of a file (the byte order mark decides the encoding).
    void LoadFromBytes(std::string_view bytes);
    [[nodiscard]] bool LoadFailed() const noexcept { return LoadFailed_; }
    [[nodiscard]] const std::string& LoadError() const noexcept { return LoadError_; }

    /// Writes the profile back (atomically) when it was changed since the last load or save; an unchanged
    /// profile writes nothing and succeeds. Fails, with the reason in error, when the last load failed,
    /// when no file is bound or when the file cannot be written (the old file then stays).
    [[nodiscard]] bool UpdateFile(std::string* error = nullptr);
    /// The file content UpdateFile writes.
    [[nodiscard]] std::string ToBytes() const;
    [[nodiscard]] bool Modified() const noexcept { return Modified_; }
    [[nodiscard]] TIniEncoding Encoding() const noexcept { return Encoding_; }

    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue = {}) const;
    /// Decimal with optional sign, or hexadecimal after "0x" or "$"; anything else, an overflow or a
    /// missing key gives defaultValue.
    [[nodiscard]] int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    /// A number other than 0 is true; read as ReadInteger.
    [[nodiscard]] bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    /// Sets the value. Refused (false, nothing changed) for names or values the file could not give
    /// back: a section name containing "]", a key that is blank, contains "=" or starts with "[" or ";",
    /// or a CR or LF in section, key or value.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    /// Writes "1" or "0".
    bool WriteBool(std::string_view section, std::string_view key, bool value);

    /// Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    /// Removes every line of that key from the section that is read (the first of that name).
    void DeleteKey(std::string_view section, std::string_view key);

    /// Section names in file order, each name once (the spelling of its first occurrence); an empty
    /// name "[]" is listed too.
    [[nodiscard]] std::vector<std::string> ReadSections() const;
    /// Key names of the section that is read, in file order, each name once.
    [[nodiscard]] std::vector<std::string> ReadSectionKeys(std::string_view section) const;
    /// True when a header of that name is present, even when the section has no keys.
    [[nodiscard]] bool SectionExists(std::string_view section) const;
    [[nodiscard]] bool ValueExists(std::string_view section, std::string_view key) const;

private:
    enum class TLineKind { Other, Key };
    struct TLine {
        std::string Text;      // the whole line as read or written, UTF-8, without line end
        TLineKind Kind = TLineKind::Other;
        std::string Key;       // trimmed key name (Kind == Key)
        std::string KeyFolded; // Key in the case used for comparing
        std::string Value;     // trimmed raw value, quotes included (Kind == Key)
    };
    struct TSection {
        std::string Header;     // the header line as read or written; empty for the unnamed part
        std::string Name;       // trimmed section name
        std::string NameFolded; // Name in the case used for comparing
        std::vector<TLine> Lines;
    };

    [[nodiscard]] const TSection* FindSection(std::string_view name) const;
    [[nodiscard]] TSection* FindSection(std::string_view name);
    [[nodiscard]] static TLine* FindKey(TSection& section, std::string_view foldedKey);
    [[nodiscard]] static const TLine* FindKey(const TSection& section, std::string_view foldedKey);
    [[nodiscard]] bool EndsWithBlankLine() const;
    void Clear();
    void RebuildIndex();

    std::filesystem::path FileName_;
    std::size_t MaxFileSize_ = DefaultMaxFileSize;
    std::vector<TSection> Sections_;
    /// Folded section name -> index in Sections_ of its first occurrence.
    std::unordered_map<std::string, std::size_t> SectionIndex_;
    TIniEncoding Encoding_ = TIniEncoding::Ansi;
    bool Modified_ = false;
    bool LoadFailed_ = false;
    std::string LoadError_;
};

/// Case-insensitive equality of two UTF-8 texts as the profile files compare names: ASCII letters and
/// the letters of code page 1252 (umlauts, accented letters) match their other case.
[[nodiscard]] bool SameTextIgnoringCase(std::string_view a, std::string_view b);

/// The section that holds per-computer settings: prefix + computerName when the file has that section,
/// otherwise prefix itself.
[[nodiscard]] std::string PerComputerSection(const TIniFile& ini, std::string_view prefix,
                                             std::string_view computerName);

/// The platform's computer name, upper-cased, at most 128 bytes; empty when it cannot be read.
[[nodiscard]] std::string ReadComputerName();

} // namespace xq

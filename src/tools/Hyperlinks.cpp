// Hyperlink styles, hints and the rules for opening link targets.
#include "tools/Hyperlinks.h"

#include <algorithm>
#include <array>
#include <cctype>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <system_error>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "platform/Hex.h"
#include "platform/Shell.h"
#include "tools/FormatCommands.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// The blue of links (0x00BBGGRR).
constexpr TColor LinkColor = 0xFF0000;

/// The number of bytes of the first count UTF-8 characters of text (all when it has fewer).
std::size_t Utf8Prefix(std::string_view text, std::size_t count) noexcept
{
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size() && n < count; ++n) {
        ++i;
        // Continuation bytes belong to the character before them.
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && Lower(s.substr(0, prefix.size())) == prefix;
}

/// The scheme of an absolute URL ("http" of "http://..."), lower case; empty when s has none.
std::string SchemeOf(std::string_view s)
{
    const std::size_t colon = s.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(s[0])))
        return {};
    for (std::size_t i = 1; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return Lower(s.substr(0, colon));
}

bool HasControlCharacters(std::string_view s) noexcept
{
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

/// Names whose desktop handler would start a program or run a script, even without execute
/// permission (launchers, Windows programs run by an emulator, scripts opened by an interpreter).
bool IsProgramName(const fs::path& name)
{
    static constexpr std::array<std::string_view, 35> Extensions{
        ".desktop", ".exe", ".com",  ".bat", ".cmd", ".msi",  ".scr", ".pif",     ".lnk",  ".jar",  ".jnlp", ".hta",
        ".vbs",     ".wsf", ".ps1",  ".reg", ".msc", ".appimage", ".run", ".sh", ".bash", ".csh",  ".ksh",  ".zsh",
        ".command", ".py",  ".pl",   ".rb",  ".js",  ".deb",  ".rpm",  ".snap",    ".flatpak", ".flatpakref", ".bin"};
    const std::string extension = Lower(name.extension().string());
    return std::find(Extensions.begin(), Extensions.end(), extension) != Extensions.end();
}

/// The first bytes start like a program: a script's "#!", an ELF or a Windows executable. A
/// desktop that goes by content rather than by name could run it.
bool StartsLikeProgram(std::string_view start)
{
    // "MZ" alone may start a text; a program has binary bytes after it.
    return start.substr(0, 2) == "#!" || start.substr(0, 4) == "\x7F" "ELF" ||
           (start.substr(0, 2) == "MZ" && start.find('\0') != std::string_view::npos);
}

/// An existing regular file without execute permission that does not start like a program. The
/// checks look at the one opened file, so that it cannot be swapped between them; opening never
/// waits (a pipe put there meanwhile is no regular file).
bool IsPlainDocumentFile(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0;
    if (plain) {
        char head[64] = {};
        const ssize_t n = ::read(fd, head, sizeof head);
        plain = n >= 0 && !StartsLikeProgram(std::string_view(head, static_cast<std::size_t>(n)));
    }
    ::close(fd);
    return plain;
}


/// The path of a "file:" URL, percent escapes decoded; false for another host or a broken escape.
bool FileUrlPath(std::string_view url, std::string& path)
{
    std::string_view rest = url.substr(5); // after "file:"
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return false;
        const std::string host = Lower(rest.substr(0, slash));
        if (!host.empty() && host != "localhost")
            return false;
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest.front() != '/')
        return false;
    path.clear();
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '?' || rest[i] == '#')
            break;
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size() || HexDigitValue(rest[i + 1]) < 0 || HexDigitValue(rest[i + 2]) < 0)
            return false;
        path += static_cast<char>(HexDigitValue(rest[i + 1]) * 16 + HexDigitValue(rest[i + 2]));
        i += 2;
    }
    return !HasControlCharacters(path) && path.find('\0') == std::string::npos;
}

/// A file URL of an absolute path, every byte but the unreserved ones and "/" escaped.
std::string FileUrlOf(const std::string& path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += c;
        } else {
            url += '%';
            url += Hex[u >> 4];
            url += Hex[u & 0xF];
        }
    }
    return url;
}

TLinkTarget DocumentTarget(const fs::path& given)
{
    std::error_code error;
    const fs::path real = fs::canonical(given, error);
    if (error)
        return {};
    // Both the name in the link and the name of the file it leads to.
    if (IsProgramName(given.filename()) || IsProgramName(real.filename()) || !IsPlainDocumentFile(real))
        return {};
    return {TLinkTargetKind::Document, FileUrlOf(real.string())};
}

} // namespace

bool IsHyperlinkConversion(int code) noexcept
{
    return code == tcHyperlink || code == tcNoHyperlink;
}

int HyperlinkTextStyle(TRVStyle& sheet, int styleNo, int code)
{
    if (!IsHyperlinkConversion(code) || !sheet.TextStyles.IsValidIndex(styleNo))
        return styleNo;
    // The copy is taken before anything is appended: appending may move the styles.
    TFontInfo copy;
    copy.CopyStyle(sheet.TextStyles[styleNo]);
    const bool link = code == tcHyperlink;
    copy.Color = link ? LinkColor : clWindowText;
    if (link)
        copy.Style.Include(fsUnderline);
    else
        copy.Style.Exclude(fsUnderline);
    copy.Jump = link;
    copy.JumpCursor = link ? crHandPoint : crDefault;
    return FindOrAddTextStyle(sheet, styleNo, copy);
}

int EndOfLinkTextStyle(TRVStyle& sheet, int styleNo)
{
    if (!sheet.TextStyles.IsValidIndex(styleNo))
        return styleNo;
    TFontInfo copy;
    copy.CopyStyle(sheet.TextStyles[styleNo]);
    copy.Color = clWindowText;
    copy.Style.Exclude(fsUnderline);
    copy.Jump = false;
    return FindOrAddTextStyle(sheet, styleNo, copy);
}

std::string CutHyperlinkTarget(std::string_view target)
{
    return std::string(target.substr(0, Utf8Prefix(target, MaxHyperlinkTargetLength)));
}

bool IsHyperlinkItem(const TRVStyle& sheet, const TCustomRVData& data, int itemNo) noexcept
{
    if (itemNo < 0 || itemNo >= data.Count() || !data.ItemAt(itemNo).IsText() || data.ItemAt(itemNo).Tag.empty())
        return false;
    const int styleNo = data.ActualStyleOf(itemNo);
    return sheet.TextStyles.IsValidIndex(styleNo) && sheet.TextStyles[styleNo].Jump;
}

std::string HyperlinkHint(std::string_view target)
{
    std::string hint(HyperlinkHintStart);
    hint += target;
    hint += HyperlinkHintEnd;
    hint.resize(Utf8Prefix(hint, MaxHyperlinkHintLength));
    return hint;
}

TLinkTarget ClassifyLinkTarget(std::string_view target, const fs::path& baseDir)
{
    if (target.empty() || target.size() > 4 * MaxHyperlinkTargetLength || HasControlCharacters(target) ||
        target.find('\0') != std::string_view::npos)
        return {};
    const std::string scheme = SchemeOf(target);
    if (scheme == "http" || scheme == "https" || scheme == "ftp") {
        // An address needs a host after the "//".
        const std::string_view rest = target.substr(scheme.size() + 1);
        if (rest.size() <= 2 || rest.substr(0, 2) != "//" || rest[2] == '/')
            return {};
        return {TLinkTargetKind::Address, std::string(target)};
    }
    if (scheme == "mailto")
        return target.size() > 7 ? TLinkTarget{TLinkTargetKind::Address, std::string(target)} : TLinkTarget{};
    if (scheme == "file") {
        std::string path;
        if (!FileUrlPath(target, path))
            return {};
        return DocumentTarget(fs::path(path));
    }
    if (!scheme.empty())
        return {};
    // Typed as browsers take it.
    if (StartsWithNoCase(target, "www.") && target.size() > 4 && target.find(' ') == std::string_view::npos)
        return {TLinkTargetKind::Address, "http://" + std::string(target)};
    const fs::path path{std::string(target)};
    if (path.is_absolute())
        return DocumentTarget(path);
    if (baseDir.empty())
        return {};
    return DocumentTarget(baseDir / path);
}

bool OpenHyperlinkTarget(std::string_view target, TDesktopShell& shell, const fs::path& baseDir)
{
    const TLinkTarget link = ClassifyLinkTarget(target, baseDir);
    if (link.Kind == TLinkTargetKind::Refused)
        return false;
    return shell.OpenUrl(link.Url);
}

} // namespace xq

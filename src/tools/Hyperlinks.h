// Hyperlinks as the window sees them: the link and plain text styles a selection is converted to,
// the style typing continues in after a link, the hint over a link, and the rules that decide
// which link targets may be handed to the desktop (web and mail addresses, documents) and which
// never leave the editor (programs, launchers, scripts, unknown schemes).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace xq {

class TCustomRVData;
class TDesktopShell;
class TRVStyle;

/// The most characters a link target holds; longer ones are cut.
inline constexpr std::size_t MaxHyperlinkTargetLength = 255;
/// The most characters a hint holds.
inline constexpr std::size_t MaxHyperlinkHintLength = 255;

/// The hint over a link is HyperlinkHintStart + target + HyperlinkHintEnd.
inline constexpr std::string_view HyperlinkHintStart = "Strg + klick um URL ";
inline constexpr std::string_view HyperlinkHintEnd = " auszuführen";

/// The conversion codes tcHyperlink and tcNoHyperlink.
[[nodiscard]] bool IsHyperlinkConversion(int code) noexcept;

/// The text style that replaces styleNo when a selection becomes a link (tcHyperlink: blue,
/// underlined, a jump with the hand cursor) or plain text again (tcNoHyperlink: the system text
/// colour, not underlined, no jump, the default cursor): a copy of it with that change, found
/// among the existing styles (styleNo first) or appended with Standard false. Other codes and an
/// invalid styleNo answer styleNo.
[[nodiscard]] int HyperlinkTextStyle(TRVStyle& sheet, int styleNo, int code);

/// The style typing goes on in after the end of a link in style styleNo: the system text colour,
/// not underlined, no jump (the cursor stays), found or appended as above.
[[nodiscard]] int EndOfLinkTextStyle(TRVStyle& sheet, int styleNo);

/// The target cut to MaxHyperlinkTargetLength characters (UTF-8, never inside a character).
[[nodiscard]] std::string CutHyperlinkTarget(std::string_view target);

/// Item itemNo of data is a hyperlink: text in a jump style with a non-empty tag (the target).
[[nodiscard]] bool IsHyperlinkItem(const TRVStyle& sheet, const TCustomRVData& data, int itemNo) noexcept;

/// "Strg + klick um URL " + target + " auszuführen", cut to MaxHyperlinkHintLength characters.
[[nodiscard]] std::string HyperlinkHint(std::string_view target);

/// What a link target is, for opening it.
enum class TLinkTargetKind {
    /// Never opened: an unknown or dangerous scheme, an empty target, control characters, a file
    /// that does not exist, is no regular file, may be run or is a launcher.
    Refused,
    /// A web, FTP or mail address, handed on as it stands.
    Address,
    /// An existing document file, handed on as a file URL of its full path.
    Document,
};

struct TLinkTarget {
    TLinkTargetKind Kind = TLinkTargetKind::Refused;
    /// The absolute URL to open (UTF-8); empty when refused.
    std::string Url;
};

/// Classifies a target: http, https, ftp and mailto addresses (a "www." address counts as http);
/// a file given by a "file:" URL, an absolute path or a path relative to baseDir when it is an
/// existing regular file (after following links) without any execute permission whose name does
/// not mark a launcher or a program (".desktop", ".exe", ".sh", ...). Everything else is refused.
[[nodiscard]] TLinkTarget ClassifyLinkTarget(std::string_view target, const std::filesystem::path& baseDir);

/// Opens a link target through the desktop when ClassifyLinkTarget allows it; false when it was
/// refused or nothing took it. Nothing is ever run as a program here.
bool OpenHyperlinkTarget(std::string_view target, TDesktopShell& shell, const std::filesystem::path& baseDir);

} // namespace xq

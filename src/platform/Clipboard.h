// The system clipboard as the editor uses it: a set of formats put there at once, and read back one
// by one. The application gives the editor the desktop's clipboard; tests use TMemoryClipboard.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace xq {

/// The formats the editor exchanges.
enum class TClipboardFormat {
    /// "DocView Format": a 32-bit little-endian byte count n, then n bytes of RVF.
    DocView,
    /// RTF bytes (offered by other programs under several names).
    Rtf,
    /// Plain text, UTF-8.
    Text,
    /// A picture; written as decoded pixels or as PNG bytes, read as the bytes of a picture file.
    Picture,
    /// A list of local files.
    Files,
    /// The address of a link (read only: links dragged from a browser).
    Url,
};

/// What a copy puts on the clipboard: every format that is set.
struct TClipboardContent {
    std::optional<std::string> DocView;
    std::optional<std::string> Rtf;
    std::optional<std::string> Text;
    /// PNG bytes of the picture when it is a PNG already, otherwise its pixels in Pixels.
    std::optional<std::string> Png;
    std::optional<TRGBAImage> Pixels;
    std::vector<std::filesystem::path> Files;
    /// A link's address (what a browser offers when a link is dragged).
    std::optional<std::string> Url;

    [[nodiscard]] bool Empty() const noexcept
    {
        return !DocView && !Rtf && !Text && !Png && !Pixels && Files.empty() && !Url;
    }
};

class TClipboard {
public:
    virtual ~TClipboard() = default;
    /// Replaces what the clipboard holds.
    virtual void SetContent(TClipboardContent content) = 0;
    [[nodiscard]] virtual bool HasFormat(TClipboardFormat format) const = 0;
    /// The bytes of a format (Text: UTF-8; Picture: PNG or another picture file format); nothing
    /// when the format is not there or holds more than maxBytes.
    [[nodiscard]] virtual std::optional<std::string> Read(TClipboardFormat format, std::size_t maxBytes) const = 0;
    /// The local files listed (Files).
    [[nodiscard]] virtual std::vector<std::filesystem::path> ReadFiles() const = 0;
};

/// A clipboard inside the process, for tests and for programs without a desktop.
class TMemoryClipboard : public TClipboard {
public:
    void SetContent(TClipboardContent content) override { Content_ = std::move(content); }
    [[nodiscard]] bool HasFormat(TClipboardFormat format) const override;
    [[nodiscard]] std::optional<std::string> Read(TClipboardFormat format, std::size_t maxBytes) const override;
    [[nodiscard]] std::vector<std::filesystem::path> ReadFiles() const override { return Content_.Files; }
    [[nodiscard]] const TClipboardContent& Content() const noexcept { return Content_; }
    TClipboardContent& Content() noexcept { return Content_; }

private:
    TClipboardContent Content_;
};

} // namespace xq

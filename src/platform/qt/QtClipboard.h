// The desktop's clipboard (QClipboard) for the editor: "DocView Format" as
// application/x-docview-format, RTF as text/rtf (read also as text/richtext and application/rtf),
// text as text/plain;charset=utf-8, a picture as image/png, files as text/uri-list.
#pragma once

#include "platform/Clipboard.h"

class QMimeData;

namespace xq {

inline constexpr const char* DocViewMimeType = "application/x-docview-format";

class TQtClipboard : public TClipboard {
public:
    void SetContent(TClipboardContent content) override;
    [[nodiscard]] bool HasFormat(TClipboardFormat format) const override;
    [[nodiscard]] std::optional<std::string> Read(TClipboardFormat format, std::size_t maxBytes) const override;
    [[nodiscard]] std::vector<std::filesystem::path> ReadFiles() const override;
};

/// Mime data read as the editor reads the clipboard (what a drop brings); the data must outlive it.
class TQtMimeSource : public TClipboard {
public:
    explicit TQtMimeSource(const QMimeData* data) noexcept : Data_(data) {}
    /// Drop data is read only.
    void SetContent(TClipboardContent) override {}
    [[nodiscard]] bool HasFormat(TClipboardFormat format) const override;
    [[nodiscard]] std::optional<std::string> Read(TClipboardFormat format, std::size_t maxBytes) const override;
    [[nodiscard]] std::vector<std::filesystem::path> ReadFiles() const override;

private:
    const QMimeData* Data_;
};

/// The mime data of a clipboard content (for the clipboard and for drags).
[[nodiscard]] QMimeData* NewMimeData(const TClipboardContent& content);
/// Reading one format of mime data, as TQtClipboard does.
[[nodiscard]] bool MimeHasFormat(const QMimeData* data, TClipboardFormat format);
[[nodiscard]] std::optional<std::string> MimeRead(const QMimeData* data, TClipboardFormat format,
                                                  std::size_t maxBytes);
[[nodiscard]] std::vector<std::filesystem::path> MimeFiles(const QMimeData* data);

} // namespace xq

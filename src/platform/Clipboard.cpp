#include "platform/Clipboard.h"

namespace xq {

bool TMemoryClipboard::HasFormat(TClipboardFormat format) const
{
    switch (format) {
    case TClipboardFormat::DocView:
        return Content_.DocView.has_value();
    case TClipboardFormat::Rtf:
        return Content_.Rtf.has_value();
    case TClipboardFormat::Text:
        return Content_.Text.has_value();
    case TClipboardFormat::Picture:
        // Pixels alone cannot be read back as a picture file.
        return Content_.Png.has_value();
    case TClipboardFormat::Files:
        return !Content_.Files.empty();
    case TClipboardFormat::Url:
        return Content_.Url.has_value();
    }
    return false;
}

std::optional<std::string> TMemoryClipboard::Read(TClipboardFormat format, std::size_t maxBytes) const
{
    const std::optional<std::string>* field = nullptr;
    switch (format) {
    case TClipboardFormat::DocView:
        field = &Content_.DocView;
        break;
    case TClipboardFormat::Rtf:
        field = &Content_.Rtf;
        break;
    case TClipboardFormat::Text:
        field = &Content_.Text;
        break;
    case TClipboardFormat::Picture:
        field = &Content_.Png;
        break;
    case TClipboardFormat::Files:
        return std::nullopt;
    case TClipboardFormat::Url:
        field = &Content_.Url;
        break;
    }
    if (!field || !*field || (*field)->size() > maxBytes)
        return std::nullopt;
    return **field;
}

} // namespace xq

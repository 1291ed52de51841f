// TQtDesktopShell: the desktop's "open" operation through QDesktopServices (xdg-open or the
// desktop portal on Linux). It takes only absolute web, FTP, mail and file URLs; which targets may
// come here at all is decided before (OpenHyperlinkTarget).
#pragma once

#include "platform/Shell.h"

namespace xq {

class TQtDesktopShell final : public TDesktopShell {
public:
    bool OpenUrl(const std::string& url) override;
};

} // namespace xq

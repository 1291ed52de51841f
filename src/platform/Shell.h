// The desktop's "open" operation: hands an address to the program the desktop chose for it (a
// browser, a mail program, a document viewer). The application gives the desktop's handler; tests
// give one that records what it was handed.
#pragma once

#include <string>

namespace xq {

class TDesktopShell {
public:
    virtual ~TDesktopShell() = default;
    /// Opens an absolute URL (UTF-8). Never starts a program named by the address itself and never
    /// goes through a command shell. False when nothing took it.
    virtual bool OpenUrl(const std::string& url) = 0;
};

} // namespace xq

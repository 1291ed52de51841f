// A private X server (Xvfb) for the tests that need the real X clipboard: started before the
// QApplication, on a display number the server picks itself, and stopped at exit.
#pragma once

#include <string>

namespace xq::test {

/// Starts Xvfb and points DISPLAY and QT_QPA_PLATFORM (xcb) at it. False, with the reason, when
/// Xvfb, xclip or Qt's xcb platform is missing or the server does not come up.
bool StartPrivateXServer(std::string& reason);
/// Ends the server started here (nothing when none was).
void StopPrivateXServer();
/// Why the X tests skip: empty when the server runs.
std::string& PrivateXSkipReason();

} // namespace xq::test

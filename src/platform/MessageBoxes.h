// Message boxes as the program asks them: a text, a caption, buttons and an icon, answered by
// the button pressed. The application shows real ones; tests answer from a script.
#pragma once

#include <string>

namespace xq {

enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

/// Asks the user. Texts are UTF-8; a "\r" in a text is a line break.
class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    virtual TMsgAnswer Show(const std::string& text, const std::string& caption, TMsgButtons buttons,
                            TMsgIcon icon) = 0;
};

} // namespace xq

// A message-box answerer for tests: answers from a script and records what was asked, so that a
// test sees the program's questions and messages without a window.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace xq::test {

/// One question or message a test saw.
struct TAsked {
    std::string Text;
    std::string Caption;
    TMsgButtons Buttons = TMsgButtons::Ok;
    TMsgIcon Icon = TMsgIcon::None;
};

/// Answers message boxes from a script and records them. Boxes with an OK button only are answered
/// OK without a script; a question beyond the script is answered Cancel.
class TScriptedBoxes : public TMessageBoxes {
public:
    TMsgAnswer Show(const std::string& text, const std::string& caption, TMsgButtons buttons,
                    TMsgIcon icon) override;

    std::deque<TMsgAnswer> Answers;
    std::vector<TAsked> Asked;
    /// The texts asked, in order.
    [[nodiscard]] std::vector<std::string> Texts() const;
};

} // namespace xq::test

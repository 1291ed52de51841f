// The scripted message-box answerer shared by the engine's and the window's tests.
#include "support/ScriptedBoxes.h"

namespace xq::test {

TMsgAnswer TScriptedBoxes::Show(const std::string& text, const std::string& caption, TMsgButtons buttons,
                                TMsgIcon icon)
{
    Asked.push_back({text, caption, buttons, icon});
    if (buttons == TMsgButtons::Ok)
        return TMsgAnswer::Ok;
    if (Answers.empty())
        return TMsgAnswer::Cancel;
    const TMsgAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::vector<std::string> TScriptedBoxes::Texts() const
{
    std::vector<std::string> texts;
    for (const TAsked& a : Asked)
        texts.push_back(a.Text);
    return texts;
}

} // namespace xq::test

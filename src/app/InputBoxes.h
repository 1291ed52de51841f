// Input boxes: a one-line question with a caption, a prompt and a preset answer, as the table
// split commands ask for their counts. The program shows a Qt input dialog; tests answer from a
// script.
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace xq {

class TInputBoxes {
public:
    virtual ~TInputBoxes() = default;
    /// Asks with caption and prompt, the answer preset to value (all UTF-8); the answer, or
    /// nothing when the user cancelled.
    virtual std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                                  const std::string& value) = 0;
};

/// The boxes as modal Qt input dialogs over parent, with German buttons.
class TQtInputBoxes : public TInputBoxes {
public:
    explicit TQtInputBoxes(QWidget* parent) noexcept : Parent_(parent) {}
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& value) override;

private:
    QWidget* Parent_;
};

} // namespace xq

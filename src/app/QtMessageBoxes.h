// TQtMessageBoxes: the program's questions and messages as modal Qt message boxes with German buttons.
#pragma once

#include <QString>

#include "platform/MessageBoxes.h"

class QWidget;
class QMessageBox;

namespace xq {

class TQtMessageBoxes : public TMessageBoxes {
public:
    /// Boxes are centred over parent (the main window), or over the screen without one.
    explicit TQtMessageBoxes(QWidget* parent = nullptr) noexcept : Parent_(parent) {}
    TMsgAnswer Show(const std::string& text, const std::string& caption, TMsgButtons buttons,
                    TMsgIcon icon) override;

    /// The box Show would run, built but not shown (the caller owns it).
    [[nodiscard]] static QMessageBox* Build(QWidget* parent, const std::string& text, const std::string& caption,
                                            TMsgButtons buttons, TMsgIcon icon);
    /// The German text of a button.
    [[nodiscard]] static QString ButtonText(TMsgAnswer answer);

private:
    QWidget* Parent_;
};

} // namespace xq

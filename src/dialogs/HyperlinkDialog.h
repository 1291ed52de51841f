// TTxTHyper: the hyperlink dialog - the target of the selected text, shown with that text. It is
// made once with the main window and kept; the window fills it each time it opens and reads the
// target back after OK.
#pragma once

#include <string>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace xq {

/// The target field's text when the dialog is made.
inline constexpr const char* HyperlinkInitialTarget = "http://";

class TTxTHyper : public QDialog {
    Q_OBJECT
public:
    explicit TTxTHyper(QWidget* parent = nullptr);

    /// Shows target in the field and the selected text below "Link Text".
    void Fill(const std::string& target, const std::string& selectedText);
    /// The field's text, cut to the most characters a target holds.
    [[nodiscard]] std::string Target() const;
    /// Opens 10 pixels below the top edge of window, centred over it horizontally (window must
    /// outlive the showing).
    void PlaceOver(const QWidget& window);

    QLabel* lblLink = nullptr;
    QLineEdit* edtLink = nullptr;
    QLabel* lblLinkText = nullptr;
    /// The selected text.
    QLabel* lblSelText = nullptr;
    QLabel* lblExplanation = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    /// The place is taken again once the layout has given the dialog its size.
    void showEvent(QShowEvent* event) override;

private:
    void MoveOver(const QWidget& window);
    const QWidget* PlaceWindow_ = nullptr;
};

} // namespace xq

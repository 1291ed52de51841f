// TFindReplaceDialog: the modeless find dialog ("Suchen") and replace dialog ("Ersetzen") of the
// main window - the text to find, the replacement, match case, whole word and (when finding) the
// direction. It only asks; its signals tell the window what to do.
#pragma once

#include <QDialog>
#include <QString>

#include "editing/EditTypes.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xq {

class TFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    /// replace: the replace dialog, which always searches towards the end.
    explicit TFindReplaceDialog(bool replace, QWidget* parent = nullptr);

    [[nodiscard]] bool Replacing() const noexcept { return Replace_; }
    [[nodiscard]] QString FindText() const;
    void SetFindText(const QString& text);
    [[nodiscard]] QString ReplaceText() const;
    /// The options of the fields for SearchText.
    [[nodiscard]] TRVSearchOptions Options() const;

    QLineEdit* edtFind = nullptr;
    QLineEdit* edtReplace = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QRadioButton* rbUp = nullptr;
    QRadioButton* rbDown = nullptr;
    QPushButton* btnFindNext = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnReplaceAll = nullptr;
    QPushButton* btnCancel = nullptr;

signals:
    void FindNext();
    void ReplaceOne();
    void ReplaceAll();

private:
    void UpdateButtons();

    bool Replace_;
};

} // namespace xq

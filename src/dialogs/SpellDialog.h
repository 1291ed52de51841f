// TfrmRVSpell: the spelling dialog of a check of the document - the word not in the dictionary,
// the suggestions under an edit line, and the buttons that say what to do with the word.
#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "spelling/RVXQSpell.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace xq {

class TfrmRVSpell : public QDialog, public TSpellForm {
    Q_OBJECT
public:
    explicit TfrmRVSpell(QWidget* parent = nullptr);

    // TSpellForm
    void SetCaption(const std::string& caption) override;
    TSpellFormResult Ask(const std::string& word, const std::vector<std::string>& suggestions, int charset,
                         std::string& editLine) override;

    /// Shows the word and the suggestions, the first one selected and in the edit line.
    void Fill(const std::string& word, const std::vector<std::string>& suggestions);

    QLabel* lblNotFound = nullptr;
    /// The misspelled word, read-only, in bold.
    QLineEdit* edtWord = nullptr;
    QLabel* lblChangeTo = nullptr;
    /// The edit line over the suggestion list, and the list that is always open below it.
    QLineEdit* cmb = nullptr;
    QListWidget* cmbList = nullptr;
    QPushButton* btnIgnore = nullptr;
    QPushButton* btnIgnoreAll = nullptr;
    QPushButton* btnChange = nullptr;
    QPushButton* btnChangeAll = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    /// Escape and the window's close button cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* Button(const char* name, const char* caption, TSpellFormResult result);
};

} // namespace xq

// TAutoT: the AutoText dialog - choose an entry to open (or to insert), or name a new one. The lists,
// the selection rules and the naming checks are TAutoTextChooser's; this is its window.
#pragma once

#include <memory>

#include <QDialog>

#include "tools/AutoTextStore.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace xq {

class TMessageBoxes;

class TAutoT : public QDialog {
    Q_OBJECT
public:
    /// The dialog on store in dialogMode, placed over mainWindow (20 pixels below its top edge,
    /// centred across it).
    TAutoT(TAutoTextStore& store, int dialogMode, TMessageBoxes& boxes, QWidget* mainWindow);
    ~TAutoT() override;

    /// How the dialog ended, for the main window.
    [[nodiscard]] TAutoTextOutcome Outcome() const;
    [[nodiscard]] const TAutoTextChooser& Chooser() const noexcept { return *Chooser_; }

    QLabel* lblHelp = nullptr;
    QComboBox* cmbShortcut = nullptr;
    QComboBox* cmbShortName = nullptr;
    /// The one action button of the mode ("Einfügen", "Speichern", "Öffnen"); hidden in a mode without.
    QPushButton* btnAction = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// A new entry is being named: the boxes take typed text.
    [[nodiscard]] bool Naming() const noexcept;
    void FillLists();
    void ActionClicked();
    void SaveClicked();

    std::unique_ptr<TAutoTextChooser> Chooser_;
    TMessageBoxes& Boxes_;
    QWidget* MainWindow_;
    TAutoTextNaming Naming_;
    bool Named_ = false;
    bool StartNew_ = false;
};

} // namespace xq

// TfrmPageSetup: the page setup dialog - margins, paper and orientation on one tab, header, footer
// and the first page number on the other. It shows and edits the fields of the main window's
// TPageSetup, which does the work.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace xq {

class TFormatDialogs;
class TPageSetup;

class TfrmPageSetup : public QDialog {
    Q_OBJECT
public:
    /// The dialog over setup; fonts are chosen through dialogs.
    TfrmPageSetup(TPageSetup& setup, TFormatDialogs& dialogs, QWidget* parent = nullptr);

    /// The controls show the setup's fields (before every showing).
    void LoadFields();
    /// The fields take what the controls show.
    void StoreFields();

    QTabWidget* Tabs = nullptr;
    QRadioButton* rbPortrait = nullptr;
    QRadioButton* rbLandscape = nullptr;
    QSpinBox* spnTop = nullptr;
    QSpinBox* spnBottom = nullptr;
    QSpinBox* spnLeft = nullptr;
    QSpinBox* spnRight = nullptr;
    QCheckBox* chkMirror = nullptr;
    QComboBox* cmbPaper = nullptr;
    QLabel* lblCodes = nullptr;
    QLineEdit* edtHeader = nullptr;
    QRadioButton* rbHeaderLeft = nullptr;
    QRadioButton* rbHeaderCenter = nullptr;
    QRadioButton* rbHeaderRight = nullptr;
    QPushButton* btnHeaderFont = nullptr;
    QCheckBox* chkHeaderFirst = nullptr;
    QLineEdit* edtFooter = nullptr;
    QRadioButton* rbFooterLeft = nullptr;
    QRadioButton* rbFooterCenter = nullptr;
    QRadioButton* rbFooterRight = nullptr;
    QPushButton* btnFooterFont = nullptr;
    QCheckBox* chkFooterFirst = nullptr;
    QSpinBox* spnFirstPage = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void accept() override;
    void reject() override;

private:
    void ChooseFont(bool header);

    TPageSetup& Setup_;
    TFormatDialogs& Dialogs_;
};

} // namespace xq

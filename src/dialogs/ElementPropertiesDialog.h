// TfrmProp: "Element bearbeiten" - the properties of the picture, the line or the table at the caret,
// on the pages that belong to its kind. The dialog reads the values it is given into its fields and
// hands back what the user set; the main window reads them from the item and writes them back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QDialog>

#include "document/Graphic.h"
#include "platform/Color.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace xq {

class TColorListBox;
class TStepOnlySpinBox;

/// The kinds of items the dialog edits.
enum class TElementKind : std::uint8_t { Picture, Line, Table };

/// The item's name and tag: the dialog does not show them and gives them back as they were.
struct TElementIdentity {
    std::string Name;
    std::string Tag;
};

struct TElementPicture {
    TElementIdentity Identity;
    std::shared_ptr<const TGraphic> Graphic;
    /// Vertical alignment code 0 baseline, 1 centred, 2 line top, 3 line bottom, 4 line centre.
    int VAlign = 0;
    /// The shown size; 0 and 0 stand for the picture's natural size.
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

struct TElementLine {
    TElementIdentity Identity;
    int Width = 1;
    TColor Color = 0;
};

struct TElementTable {
    TElementIdentity Identity;
    TColor Color = clNone;
    TColor CellColor = clNone;
    TColor BorderColor = 0;
    std::int32_t BorderWidth = 1;
    std::int32_t CellBorderWidth = 1;
    std::int32_t CellPadding = 0;
    std::int32_t CellVSpacing = 0;
    std::int32_t CellHSpacing = 0;
    std::int32_t BorderVSpacing = 0;
    std::int32_t BorderHSpacing = 0;
};

// The fields' ranges.
inline constexpr int PictureSizeMax = 1000;
/// An empty size, or one not above 0, becomes this when the field is left.
inline constexpr int PictureSizeDefault = 50;
/// The smallest size a picture is given.
inline constexpr int PictureSizeMin = 5;
inline constexpr int TableWidthMax = 10;
inline constexpr int TablePaddingMax = 100;
inline constexpr int TableSpacingMax = 20;
inline constexpr int TableSpacingMin = -1;

/// Chooses a picture file for "Ändern ..." and loads it: null when cancelled or unreadable (the
/// chooser tells the user why).
using TChangePicture = std::function<std::unique_ptr<TGraphic>()>;

class TfrmProp : public QDialog {
    Q_OBJECT
public:
    TfrmProp(TChangePicture changePicture, QWidget* parent = nullptr);
    ~TfrmProp() override;

    /// Shows the pages of kind only and reads the values into them.
    void ReadPicture(const TElementPicture& picture);
    void ReadLine(const TElementLine& line);
    void ReadTable(const TElementTable& table);
    /// What the fields say (after OK). Fields the user left alone give back what was read, also
    /// where a field could not show it (a colour not in the list, a number beyond the range).
    [[nodiscard]] TElementPicture PictureValues() const;
    [[nodiscard]] TElementLine LineValues() const;
    [[nodiscard]] TElementTable TableValues() const;
    [[nodiscard]] TElementKind Kind() const noexcept { return Kind_; }

    QTabWidget* pcProps = nullptr;
    QWidget* tsPicture = nullptr;
    QWidget* tsLine = nullptr;
    QWidget* tsTable = nullptr;
    QWidget* tsTableMore = nullptr;
    // "Bild"
    QLabel* imgPreview = nullptr;
    QPushButton* btnChangePicture = nullptr;
    QButtonGroup* rgAlign = nullptr;
    QSpinBox* spnHeight = nullptr;
    QSpinBox* spnWidth = nullptr;
    // "Linie"
    QLineEdit* edLineWidth = nullptr;
    TColorListBox* cmbLineColor = nullptr;
    // "Tabelle"
    QButtonGroup* rgBorder = nullptr;
    QGroupBox* gbBorderColor = nullptr;
    TColorListBox* cmbBorderColor = nullptr;
    QGroupBox* gbBorderStyle = nullptr;
    QButtonGroup* rgBorderStyle = nullptr;
    TStepOnlySpinBox* spnCellBorderWidth = nullptr;
    TStepOnlySpinBox* spnBorderWidth = nullptr;
    // "Tabelle weitere Optionen"
    TColorListBox* cmbTableColor = nullptr;
    TColorListBox* cmbCellColor = nullptr;
    TStepOnlySpinBox* spnCellPadding = nullptr;
    TStepOnlySpinBox* spnCellVSpacing = nullptr;
    TStepOnlySpinBox* spnCellHSpacing = nullptr;
    TStepOnlySpinBox* spnBorderVSpacing = nullptr;
    TStepOnlySpinBox* spnBorderHSpacing = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The border choices, in the order of their buttons.
    enum TBorder : int { brVisible, brInvisible };
    enum TBorderStyle : int { bsWithCells, bsOuterOnly, bsCellsOnly };

    /// The border state kept between openings.
    int RememberedCellWidth = 1;
    int RememberedBorderWidth = 1;
    int RememberedBorderColorEntry = 1;

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreatePicturePage();
    QWidget* CreateLinePage();
    QWidget* CreateTablePage();
    QWidget* CreateTableMorePage();
    void ShowPages(TElementKind kind);
    void ChangePictureClick();
    void SetPreview(std::shared_ptr<const TGraphic> graphic);
    /// An empty size field, or one not above 0, gets the default.
    static void FixPictureSize(QSpinBox* box);
    void BorderClick(int id);
    void BorderStyleClick(int id);
    /// The widths changed: " Rahmen ", " Rahmenfarbe " and " Rahmenstiel " follow them.
    void WidthCheck();
    /// Sets both widths without running the width check.
    void SetWidths(int cells, int outer);
    /// The border colour box and the style group are usable with a visible border only.
    void EnableBorderFields(bool on);

    TChangePicture ChangePicture_;
    TElementKind Kind_ = TElementKind::Picture;
    TElementPicture ReadPicture_;
    std::shared_ptr<const TGraphic> Preview_;
    TElementLine ReadLine_;
    QString ReadLineWidthText_;
    TElementTable ReadTable_;
};

} // namespace xq

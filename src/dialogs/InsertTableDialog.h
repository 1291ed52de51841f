// TfrmInsTable: the insert table dialog of "Benutzerdefiniert ..." - the numbers of columns and
// rows and how wide the new table is. It only asks; the main window inserts the table it
// describes.
#pragma once

#include <cstdint>
#include <optional>

#include <QDialog>

class QComboBox;
class QPoint;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace xq {

/// The table the dialog asks for, as the main window's InsertTable takes it.
struct TInsertTableRequest {
    int Columns = 2;
    int Rows = 2;
    bool UsePreferredWidth = false;
    /// The table's preferred width: pixels above 0, percent of the available width below 0,
    /// 10000 automatic.
    std::int32_t PreferredWidth = 10000;
    [[nodiscard]] bool operator==(const TInsertTableRequest&) const = default;
};

// The fields' ranges.
inline constexpr int InsTableMaxColumns = 100;
inline constexpr int InsTableMaxRows = 500;
inline constexpr int InsTableMaxWidth = 1000;

class TfrmInsTable : public QDialog {
    Q_OBJECT
public:
    /// maxTextWidth: the editor's maximum text width in pixels, the whole of "Prozent".
    explicit TfrmInsTable(std::int32_t maxTextWidth, QWidget* parent = nullptr);

    /// Puts the dialog's top-left corner at a point of the screen, moved as little as needed
    /// to keep the dialog on the screen.
    void PlaceAt(const QPoint& globalTopLeft);
    /// The table chosen, after OK; nothing after Cancel.
    [[nodiscard]] const std::optional<TInsertTableRequest>& Request() const noexcept { return Request_; }

    QSpinBox* spnColumns = nullptr;
    QSpinBox* spnRows = nullptr;
    QRadioButton* rbAutoSize = nullptr;
    QRadioButton* rbWindowSize = nullptr;
    QRadioButton* rbManual = nullptr;
    QSpinBox* spnWidth = nullptr;
    QComboBox* cmbWidthType = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::int32_t MaxTextWidth_;
    std::optional<TInsertTableRequest> Request_;
};

} // namespace xq

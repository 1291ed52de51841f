// TAufNum: "Aufzählung und Nummerierung" - the bullet character or numbering type of a one-level
// list with the marker's size, colour, indents and, for numbering, font and font style. It only
// asks; the main window builds the list and applies it (or takes the paragraphs out of lists).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QDialog>
#include <QStringList>

#include "platform/Color.h"
#include "tools/FormatCommands.h"

class QComboBox;
class QPushButton;
class QTabWidget;

namespace xq {

class TColorListBox;
class TStepOnlySpinBox;

/// What the dialog asks the window to do on OK.
struct TListRequest {
    enum TKind : std::uint8_t { Remove, Bullets, Numbering };
    TKind Kind = Remove;
    int Size = 10;
    int FirstIndent = 0;
    int MarkerIndent = 0;
    int LeftIndent = 24;
    TColor Color = 0;
    /// Bullets: the marker character, a byte of the symbol font.
    std::string BulletText;
    /// Numbering: 0 none, 1 bold, 2 italic, 3 bold and italic.
    int FontStyle = 0;
    std::string FontName;
    /// Numbering: 1 decimal, 2 lower alpha, 3 upper alpha, 4 lower Roman, 5 upper Roman.
    int NumberingType = 1;
    [[nodiscard]] bool operator==(const TListRequest&) const = default;
};

/// The font styles of a request's FontStyle.
[[nodiscard]] TFontStyles ListRequestFontStyles(const TListRequest& request);

/// One choosable picture of a marker: a character drawn large, framed in blue when selected.
class TMarkerTile : public QAbstractButton {
    Q_OBJECT
public:
    /// text is drawn in the Qt family family at pixelSize; inset and penWidth shape the frame.
    TMarkerTile(const QString& text, const QString& family, int pixelSize, int inset, int penWidth,
                QWidget* parent = nullptr);
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Family_;
    int PixelSize_;
    int Inset_;
    int PenWidth_;
};

// The fields' ranges and start values.
inline constexpr int MarkerSizeMin = 5;
inline constexpr int MarkerSizeMax = 72;
inline constexpr int MarkerIndentMax = 999;
inline constexpr int LeftIndentMax = 999;
inline constexpr int FirstIndentMax = 100;
/// The bullet characters of the fifteen visible tiles, row by row ("ohne" first: none), and the
/// one tile that only a list at the caret can select.
inline constexpr std::array<unsigned char, 15> BulletTileChars = {0,    0x6D, 0x6F, 0x6C, 0xF0, 0xE8, 0xD8, 0xB6,
                                                                  0x77, 0xAB, 0x46, 0x4A, 0x78, 0xB2, 0xD6};
inline constexpr unsigned char HiddenBulletTileChar = 0x50;
/// The numbering tiles in their order, by the numbering type they stand for.
inline constexpr std::array<int, 6> NumberingTileTypes = {0, 3, 1, 4, 2, 5};

class TAufNum : public QDialog {
    Q_OBJECT
public:
    /// fonts: the installed fonts for "Schriftart"; state: the list at the caret.
    TAufNum(const QStringList& fonts, const TCaretListState& state, QWidget* parent = nullptr);

    /// What OK decided; nothing after Abbrechen.
    [[nodiscard]] const std::optional<TListRequest>& Request() const noexcept { return Request_; }

    /// One set of the four measure fields.
    struct TMeasureFields {
        TStepOnlySpinBox* Size = nullptr;
        TStepOnlySpinBox* MarkerIndent = nullptr;
        TStepOnlySpinBox* LeftIndent = nullptr;
        TStepOnlySpinBox* FirstIndent = nullptr;
    };

    QTabWidget* pcPages = nullptr;
    QWidget* tsBullets = nullptr;
    QWidget* tsNumbering = nullptr;
    /// The bullet tiles as BulletTileChars orders them, then the hidden one.
    std::vector<TMarkerTile*> BulletTiles;
    /// The numbering tiles as NumberingTileTypes orders them.
    std::vector<TMarkerTile*> NumberingTiles;
    TMeasureFields BulletFields;
    TMeasureFields NumberingFields;
    TColorListBox* cmbMarkerColor = nullptr;
    TColorListBox* cmbFontColor = nullptr;
    QComboBox* cmbFontName = nullptr;
    QComboBox* cmbFontStyle = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The dialog's state.
    std::string ChosenBullet = "l";
    int ChosenNumbering = 1;
    int ChosenFontStyle = 0;
    TColor ChosenColor = 0x000000;

public slots:
    void accept() override;

private:
    QWidget* CreateBulletPage();
    QWidget* CreateNumberingPage();
    TMeasureFields CreateMeasureFields(QWidget* page);
    void Preset(const TCaretListState& state);
    void SelectBulletTile(std::size_t index);
    void SelectNumberingTile(std::size_t index);
    /// A marker indent beyond the text distance moves the text 2 pixels past the marker.
    static void CorrectLeftIndent(const TMeasureFields& fields);

    std::optional<TListRequest> Request_;
};

} // namespace xq

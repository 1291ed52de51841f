// TfrmRVInsertSymbol: " Sonderzeichen einfügen" - a character map of a font and character set. It
// only asks; the main window inserts the chosen character at the caret.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QAbstractScrollArea>
#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace xq {

/// The character chosen: its code in the grid, the font and the character set.
struct TSymbolChoice {
    std::string FontName;
    std::uint8_t Charset = 2;
    char32_t Code = 183;
    [[nodiscard]] bool operator==(const TSymbolChoice&) const = default;
};

/// The grid of characters: 28 columns of cells showing the codes from 32 on, one of them selected.
class TSymbolGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TSymbolGrid(QWidget* parent = nullptr);

    /// Shows the characters of a font and character set (Unicode mode for charset 1); the
    /// magnifier hides.
    void SetFont(const std::string& fontName);
    void SetCharset(std::uint8_t charset);
    [[nodiscard]] int RowCount() const noexcept;
    /// Selects the cell of code (cut to the grid) and scrolls it into view.
    void SelectCode(char32_t code);
    [[nodiscard]] char32_t SelectedCode() const noexcept;
    [[nodiscard]] bool MagnifierShown() const noexcept { return Magnifier_; }
    /// The cell of a code, in viewport coordinates.
    [[nodiscard]] QRect CellRect(char32_t code) const;
    /// The point size of the cells' characters.
    [[nodiscard]] int CellPointSize() const;

signals:
    void Selected(char32_t code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    [[nodiscard]] int CellWidth() const;
    [[nodiscard]] int CellHeight() const;
    /// The character a cell shows, 0 for none.
    [[nodiscard]] char32_t ShownChar(char32_t code) const;
    void UpdateScrollRange();
    void PaintMagnifier(QPainter& painter);

    std::string FontName_;
    std::uint8_t Charset_ = 2;
    int Row_ = 0;
    int Col_ = 0;
    bool Magnifier_ = false;
};

class TfrmRVInsertSymbol : public QDialog {
    Q_OBJECT
public:
    /// fonts: the installed fonts.
    explicit TfrmRVInsertSymbol(const QStringList& fonts, QWidget* parent = nullptr);

    /// The character to insert, after "&Einfügen"; nothing after "&Abbrechen".
    [[nodiscard]] const std::optional<TSymbolChoice>& Choice() const noexcept { return Choice_; }
    /// The character set in use.
    [[nodiscard]] std::uint8_t Charset() const noexcept { return Charset_; }

    QComboBox* cmbFont = nullptr;
    QComboBox* cmbCharset = nullptr;
    TSymbolGrid* grdChars = nullptr;
    QLabel* lblCode = nullptr;
    QPushButton* btnInsert = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void accept() override;

private:
    void FontChosen();
    void CharsetChosen(int index);
    /// Fills the character set box for the chosen font and selects the one in use when it has it.
    void FillCharsets();
    void ShowSelection(char32_t code);

    std::uint8_t Charset_ = 2;
    /// "Mitteleuropäisch" was put in place of the user's first choice of a character set.
    bool CentralEuropeanPreselected_ = false;
    std::optional<TSymbolChoice> Choice_;
};

/// The character sets the dialog offers for a font: those its writing systems cover, then
/// "Unicode" (value 1).
[[nodiscard]] QList<std::uint8_t> FontCharsets(const QString& fontName);

} // namespace xq

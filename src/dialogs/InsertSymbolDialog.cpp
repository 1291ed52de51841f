// The insert symbol dialog: the character grid with its magnifier, the font and character set
// boxes and the choice "&Einfügen" hands to the window.
#include "dialogs/InsertSymbolDialog.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/FontTypes.h"
#include "platform/SymbolFonts.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "tools/SymbolInsertion.h"

namespace xq {

namespace {

QString Name(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

constexpr int VisibleRows = SymbolGridRows8Bit;
constexpr int MagnifierMargin = 10;

} // namespace

QList<std::uint8_t> FontCharsets(const QString& fontName)
{
    QList<std::uint8_t> charsets;
    const std::string name = fontName.toStdString();
    if (SymbolFontOf(name) != sfNone) {
        charsets << SYMBOL_CHARSET;
    } else {
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(QtFamilyFor(name));
        auto has = [&](QFontDatabase::WritingSystem s) { return systems.contains(s); };
        if (has(QFontDatabase::Latin))
            charsets << 0 << 238 << 162 << 186;
        if (has(QFontDatabase::Vietnamese))
            charsets << 163;
        if (has(QFontDatabase::Greek))
            charsets << 161;
        if (has(QFontDatabase::Cyrillic))
            charsets << 204;
        if (has(QFontDatabase::Hebrew))
            charsets << 177;
        if (has(QFontDatabase::Arabic))
            charsets << 178;
        if (has(QFontDatabase::Thai))
            charsets << 222;
        if (has(QFontDatabase::Symbol))
            charsets << SYMBOL_CHARSET;
    }
    charsets << SymbolUnicodeCharset;
    return charsets;
}

// --- The grid ---------------------------------------------------------------------------------------

TSymbolGrid::TSymbolGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("grdChars"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    UpdateScrollRange();
}

void TSymbolGrid::SetFont(const std::string& fontName)
{
    FontName_ = fontName;
    Magnifier_ = false;
    viewport()->update();
}

void TSymbolGrid::SetCharset(std::uint8_t charset)
{
    Charset_ = charset;
    Magnifier_ = false;
    Row_ = std::min(Row_, RowCount() - 1);
    UpdateScrollRange();
    viewport()->update();
}

int TSymbolGrid::RowCount() const noexcept
{
    return SymbolGridRows(Charset_);
}

int TSymbolGrid::CellWidth() const
{
    return std::max(1, (viewport()->width() - 4) / SymbolGridColumns);
}

int TSymbolGrid::CellHeight() const
{
    return std::max(1, viewport()->height() / VisibleRows);
}

int TSymbolGrid::CellPointSize() const
{
    return std::max(1, int(std::lround(std::min(width(), 2 * height()) * 10 / 320.0)));
}

void TSymbolGrid::UpdateScrollRange()
{
    verticalScrollBar()->setRange(0, std::max(0, RowCount() - VisibleRows));
    verticalScrollBar()->setPageStep(VisibleRows);
    verticalScrollBar()->setSingleStep(1);
}

QRect TSymbolGrid::CellRect(char32_t code) const
{
    const int index = int(code) - SymbolGridFirstCode;
    const int row = index / SymbolGridColumns - verticalScrollBar()->value();
    const int col = index % SymbolGridColumns;
    return {col * CellWidth(), row * CellHeight(), CellWidth(), CellHeight()};
}

char32_t TSymbolGrid::SelectedCode() const noexcept
{
    return SymbolGridCode(Row_, Col_);
}

void TSymbolGrid::SelectCode(char32_t code)
{
    const int last = RowCount() * SymbolGridColumns - 1;
    const int index = std::clamp(int(code) - SymbolGridFirstCode, 0, last);
    Row_ = index / SymbolGridColumns;
    Col_ = index % SymbolGridColumns;
    QScrollBar* bar = verticalScrollBar();
    if (Row_ < bar->value())
        bar->setValue(Row_);
    else if (Row_ >= bar->value() + VisibleRows)
        bar->setValue(Row_ - VisibleRows + 1);
    viewport()->update();
    emit Selected(SelectedCode());
}

char32_t TSymbolGrid::ShownChar(char32_t code) const
{
    if (code > 0xFFFF)
        return 0;
    const char16_t unit = SymbolDocumentChar(FontName_, Charset_, code);
    return unit == 0 ? 0 : SymbolShownChar(FontName_, unit);
}

void TSymbolGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QPalette& colors = palette();
    painter.fillRect(viewport()->rect(), colors.color(QPalette::Base));
    QFont font(QtFamilyFor(FontName_));
    font.setPointSize(CellPointSize());
    font.setKerning(false);
    painter.setFont(font);
    const int top = verticalScrollBar()->value();
    const int rows = std::min(RowCount() - top, VisibleRows + 1);
    const int w = CellWidth();
    const int h = CellHeight();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < SymbolGridColumns; ++c) {
            const QRect cell(c * w, r * h, w, h);
            const bool selected = top + r == Row_ && c == Col_;
            if (selected)
                painter.fillRect(cell, colors.color(QPalette::Highlight));
            painter.setPen(colors.color(QPalette::Mid));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            if (const char32_t ch = ShownChar(SymbolGridCode(top + r, c))) {
                painter.setPen(colors.color(selected ? QPalette::HighlightedText : QPalette::Text));
                painter.drawText(cell, Qt::AlignCenter, QString::fromUcs4(&ch, 1));
            }
        }
    }
    if (Magnifier_)
        PaintMagnifier(painter);
}

void TSymbolGrid::PaintMagnifier(QPainter& painter)
{
    QRect panel = CellRect(SelectedCode()).adjusted(-MagnifierMargin, -MagnifierMargin, MagnifierMargin, MagnifierMargin);
    QFont font(QtFamilyFor(FontName_));
    font.setPixelSize(std::max(1, panel.height() - 10));
    const char32_t ch = ShownChar(SelectedCode());
    const QString text = ch ? QString::fromUcs4(&ch, 1) : QString();
    const int wide = QFontMetrics(font).horizontalAdvance(text) + 10;
    if (wide > panel.width())
        panel.adjust(-(wide - panel.width()) / 2, 0, (wide - panel.width() + 1) / 2, 0);
    const QPalette& colors = palette();
    painter.fillRect(panel, colors.color(QPalette::Highlight));
    painter.setPen(colors.color(QPalette::Dark));
    painter.drawRect(panel.adjusted(0, 0, -1, -1));
    painter.setFont(font);
    painter.setPen(colors.color(QPalette::HighlightedText));
    painter.drawText(panel, Qt::AlignCenter, text);
}

void TSymbolGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
    emit Selected(SelectedCode());
}

void TSymbolGrid::scrollContentsBy(int, int)
{
    viewport()->update();
    emit Selected(SelectedCode());
}

void TSymbolGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int col = at.x() / CellWidth();
    const int row = at.y() / CellHeight() + verticalScrollBar()->value();
    if (event->button() != Qt::LeftButton || col >= SymbolGridColumns || row >= RowCount())
        return;
    setFocus(Qt::MouseFocusReason);
    Magnifier_ = true;
    SelectCode(SymbolGridCode(row, col));
}

void TSymbolGrid::keyPressEvent(QKeyEvent* event)
{
    int index = int(SelectedCode()) - SymbolGridFirstCode;
    switch (event->key()) {
    case Qt::Key_Left: index -= 1; break;
    case Qt::Key_Right: index += 1; break;
    case Qt::Key_Up: index -= SymbolGridColumns; break;
    case Qt::Key_Down: index += SymbolGridColumns; break;
    case Qt::Key_PageUp: index -= SymbolGridColumns * VisibleRows; break;
    case Qt::Key_PageDown: index += SymbolGridColumns * VisibleRows; break;
    case Qt::Key_Home: index = event->modifiers().testFlag(Qt::ControlModifier) ? 0 : index - Col_; break;
    case Qt::Key_End:
        index = event->modifiers().testFlag(Qt::ControlModifier) ? RowCount() * SymbolGridColumns - 1
                                                                  : index - Col_ + SymbolGridColumns - 1;
        break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    Magnifier_ = true;
    SelectCode(char32_t(std::max(0, index) + SymbolGridFirstCode));
}

void TSymbolGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    Magnifier_ = true;
    viewport()->update();
}

// --- The dialog --------------------------------------------------------------------------------------

TfrmRVInsertSymbol::TfrmRVInsertSymbol(const QStringList& fonts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRVInsertSymbol"));
    setWindowTitle(FromUtf8(" Sonderzeichen einfügen"));
    auto* layout = new QVBoxLayout(this);
    auto* boxes = new QGridLayout;
    cmbFont = new QComboBox(this);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setMaxVisibleItems(20);
    cmbFont->addItems(fonts);
    cmbCharset = new QComboBox(this);
    cmbCharset->setObjectName(QStringLiteral("cmbCharset"));
    boxes->addWidget(new QLabel(FromUtf8("Schriftart"), this), 0, 0);
    boxes->addWidget(cmbFont, 1, 0);
    boxes->addWidget(new QLabel(FromUtf8("Zeichensatz"), this), 0, 1);
    boxes->addWidget(cmbCharset, 1, 1);
    boxes->setColumnStretch(0, 2);
    boxes->setColumnStretch(1, 1);
    layout->addLayout(boxes);
    grdChars = new TSymbolGrid(this);
    grdChars->setMinimumSize(620, 200);
    layout->addWidget(grdChars, 1);
    auto* bottom = new QHBoxLayout;
    lblCode = new QLabel(this);
    lblCode->setObjectName(QStringLiteral("lblCode"));
    btnInsert = new QPushButton(FromUtf8("&Einfügen"), this);
    btnInsert->setObjectName(QStringLiteral("btnInsert"));
    btnInsert->setDefault(true);
    btnCancel = new QPushButton(FromUtf8("&Abbrechen"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    bottom->addWidget(lblCode);
    bottom->addStretch(1);
    bottom->addWidget(btnInsert);
    bottom->addWidget(btnCancel);
    layout->addLayout(bottom);
    connect(btnInsert, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmbFont, &QComboBox::activated, this, [this] { FontChosen(); });
    connect(cmbCharset, &QComboBox::activated, this, [this](int index) { CharsetChosen(index); });
    connect(grdChars, &TSymbolGrid::Selected, this, [this](char32_t code) { ShowSelection(code); });

    // Wingdings in its symbol character set, at the code of its round bullet.
    const int wingdings = cmbFont->findText(QStringLiteral("Wingdings"), Qt::MatchFixedString);
    cmbFont->setCurrentIndex(wingdings >= 0 ? wingdings : (fonts.isEmpty() ? -1 : 0));
    Charset_ = SYMBOL_CHARSET;
    grdChars->SetFont(cmbFont->currentText().toStdString());
    grdChars->SetCharset(Charset_);
    FillCharsets();
    grdChars->SelectCode(183);
}

void TfrmRVInsertSymbol::FillCharsets()
{
    cmbCharset->clear();
    for (std::uint8_t charset : FontCharsets(cmbFont->currentText()))
        cmbCharset->addItem(Name(SymbolCharsetName(charset)), int(charset));
    cmbCharset->setCurrentIndex(cmbCharset->findData(int(Charset_)));
}

void TfrmRVInsertSymbol::FontChosen()
{
    FillCharsets();
    grdChars->SetFont(cmbFont->currentText().toStdString());
    ShowSelection(grdChars->SelectedCode());
}

void TfrmRVInsertSymbol::CharsetChosen(int index)
{
    const int central = cmbCharset->findText(Name(CentralEuropeanCharsetName));
    if (!CentralEuropeanPreselected_) {
        if (central >= 0) {
            index = central;
            cmbCharset->setCurrentIndex(central);
            CentralEuropeanPreselected_ = true;
        }
    } else if (central < 0) {
        CentralEuropeanPreselected_ = false;
    }
    if (index < 0)
        return;
    Charset_ = std::uint8_t(cmbCharset->itemData(index).toInt());
    grdChars->SetCharset(Charset_);
    grdChars->SelectCode(grdChars->SelectedCode());
}

void TfrmRVInsertSymbol::ShowSelection(char32_t code)
{
    lblCode->setText(FromUtf8("Zeichen Code:  ") + QString::number(code));
    btnInsert->setEnabled(SymbolCodeInsertable(code));
}

void TfrmRVInsertSymbol::accept()
{
    const char32_t code = grdChars->SelectedCode();
    if (!SymbolCodeInsertable(code))
        return;
    Choice_ = TSymbolChoice{cmbFont->currentText().toStdString(), Charset_, code};
    QDialog::accept();
}

} // namespace xq

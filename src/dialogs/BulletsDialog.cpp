// The bullets and numbering dialog: its tiles, the measure fields, the preset from the list at the
// caret, and the request OK makes.
#include "dialogs/BulletsDialog.h"

#include <algorithm>

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/DialogFields.h"
#include "platform/SymbolFonts.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"

namespace xq {

namespace {

constexpr int TilePixelSize = 21;

/// What the symbol font shows for a bullet byte.
QString BulletGlyph(unsigned char code)
{
    const char32_t mapped = SymbolToUnicode(sfWingdings, code);
    const char32_t shown = mapped ? mapped : char32_t(code);
    return QString::fromUcs4(&shown, 1);
}

struct TNumberingTile {
    const char* Text;
    const char* Label;
};
constexpr std::array<TNumberingTile, 6> NumberingTileTexts = {{
    {"- ohne -", "Keine Aufzählung"},
    {"A. -------", "Grossbuchstaben"},
    {"1. ---------", "Zahlen"},
    {"i. -------", "Klein Römisch"},
    {"a. --------", "Kleinbuchstaben"},
    {"I. --------", "Gross Römisch"},
}};

/// The numbering tile for a numbering kind of the list state (14 decimal ... 18 upper Roman).
int NumberingTileOfKind(int kind)
{
    switch (kind) {
    case 14: return 2;
    case 15: return 4;
    case 16: return 1;
    case 17: return 3;
    case 18: return 5;
    default: return -1;
    }
}

TFontStyles FontStylesOf(int chosen)
{
    TFontStyles styles;
    styles.Set(fsBold, chosen == 1 || chosen == 3);
    styles.Set(fsItalic, chosen == 2 || chosen == 3);
    return styles;
}

int ChosenFontStyleOf(TFontStyles styles)
{
    if (styles == TFontStyles{})
        return 0;
    if (styles == TFontStyles{fsBold})
        return 1;
    if (styles == TFontStyles{fsItalic})
        return 2;
    if (styles == TFontStyles{fsBold, fsItalic})
        return 3;
    return 0;
}

} // namespace

// --- Tiles ------------------------------------------------------------------------------------------

TMarkerTile::TMarkerTile(const QString& text, const QString& family, int pixelSize, int inset, int penWidth,
                         QWidget* parent)
    : QAbstractButton(parent), Family_(family), PixelSize_(pixelSize), Inset_(inset), PenWidth_(penWidth)
{
    setText(text);
    setCheckable(true);
    setAutoExclusive(false);
    setFocusPolicy(Qt::StrongFocus);
}

QSize TMarkerTile::sizeHint() const
{
    QFont font(Family_);
    font.setPixelSize(PixelSize_);
    const QFontMetrics metrics(font);
    return {std::max(56, metrics.horizontalAdvance(text()) + 2 * Inset_ + 16), std::max(44, metrics.height() + 2 * Inset_ + 12)};
}

void TMarkerTile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont font(Family_);
    font.setPixelSize(PixelSize_);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (isChecked()) {
        painter.setPen(QPen(Qt::blue, PenWidth_));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(Inset_, Inset_, -Inset_ - 1, -Inset_ - 1));
    }
    if (hasFocus()) {
        painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

// --- The dialog ---------------------------------------------------------------------------------------

TAufNum::TAufNum(const QStringList& fonts, const TCaretListState& state, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AufNum"));
    setWindowTitle(FromUtf8("Aufzählung und Nummerierung"));
    setWindowFlag(Qt::Tool, true);
    auto* layout = new QVBoxLayout(this);
    pcPages = new QTabWidget(this);
    pcPages->setObjectName(QStringLiteral("pcPages"));
    tsBullets = CreateBulletPage();
    tsNumbering = CreateNumberingPage();
    pcPages->addTab(tsBullets, FromUtf8("Aufzählung"));
    pcPages->addTab(tsNumbering, FromUtf8("Nummerierung"));
    layout->addWidget(pcPages);
    auto* buttons = new QHBoxLayout;
    btnCancel = new QPushButton(FromUtf8("Abbrechen"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOk = new QPushButton(FromUtf8("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The start values, then what the list at the caret says.
    cmbFontName->addItems(fonts);
    cmbFontName->setCurrentIndex(fonts.isEmpty() ? -1 : 0);
    cmbMarkerColor->setCurrentIndex(ColorEntryBlack);
    cmbFontColor->setCurrentIndex(ColorEntryBlack);
    cmbFontStyle->setCurrentIndex(0);
    SelectBulletTile(3);
    SelectNumberingTile(2);
    if (!state.MarkerFontName.empty())
        Preset(state);
    pcPages->setCurrentWidget(state.ListKind == 2 ? tsNumbering : tsBullets);
}

TAufNum::TMeasureFields TAufNum::CreateMeasureFields(QWidget* page)
{
    TMeasureFields fields;
    fields.Size = new TStepOnlySpinBox(MarkerSizeMin, MarkerSizeMax, page);
    fields.MarkerIndent = new TStepOnlySpinBox(0, MarkerIndentMax, page);
    fields.LeftIndent = new TStepOnlySpinBox(0, LeftIndentMax, page);
    fields.FirstIndent = new TStepOnlySpinBox(0, FirstIndentMax, page);
    fields.Size->setValue(10);
    fields.MarkerIndent->setValue(0);
    fields.LeftIndent->setValue(24);
    fields.FirstIndent->setValue(0);
    return fields;
}

QWidget* TAufNum::CreateBulletPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsBullets"));
    auto* layout = new QHBoxLayout(page);
    auto* tiles = new QGroupBox(FromUtf8(" Aufzählungs Marker auswählen "), page);
    auto* grid = new QGridLayout(tiles);
    grid->setSpacing(4);
    const QString symbolFamily = QtFamilyFor("Wingdings");
    for (std::size_t i = 0; i <= BulletTileChars.size(); ++i) {
        const bool hidden = i == BulletTileChars.size();
        const unsigned char code = hidden ? HiddenBulletTileChar : BulletTileChars[i];
        TMarkerTile* tile = code == 0 ? new TMarkerTile(FromUtf8("ohne"), QtFamilyFor("Arial"), 14, 4, 1, tiles)
                                      : new TMarkerTile(BulletGlyph(code), symbolFamily, TilePixelSize, 5, 1, tiles);
        tile->setObjectName(QStringLiteral("tileBullet%1").arg(i));
        if (hidden)
            tile->hide();
        else
            grid->addWidget(tile, int(i / 3), int(i % 3));
        connect(tile, &QAbstractButton::clicked, this, [this, i] { SelectBulletTile(i); });
        BulletTiles.push_back(tile);
    }
    auto* properties = new QGroupBox(FromUtf8(" Eigenschaften der Aufzählung "), page);
    auto* form = new QFormLayout(properties);
    BulletFields = CreateMeasureFields(properties);
    cmbMarkerColor = new TColorListBox(properties);
    cmbMarkerColor->setObjectName(QStringLiteral("cmbMarkerColor"));
    form->addRow(FromUtf8("Größe des Markers"), BulletFields.Size);
    form->addRow(FromUtf8("Marker Einrückung"), BulletFields.MarkerIndent);
    form->addRow(FromUtf8("Abstand Marker Text"), BulletFields.LeftIndent);
    form->addRow(FromUtf8("Einzug erste Zeile Text"), BulletFields.FirstIndent);
    form->addRow(FromUtf8("Markerfarbe"), cmbMarkerColor);
    connect(cmbMarkerColor, &QComboBox::activated, this,
            [this] { ChosenColor = cmbMarkerColor->SelectedColor(ChosenColor); });
    layout->addWidget(tiles);
    layout->addWidget(properties, 1);
    return page;
}

QWidget* TAufNum::CreateNumberingPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsNumbering"));
    auto* layout = new QHBoxLayout(page);
    auto* tiles = new QGroupBox(FromUtf8(" Typ der Nummerierung auswählen "), page);
    auto* grid = new QGridLayout(tiles);
    grid->setSpacing(4);
    const QString family = QtFamilyFor("Arial");
    for (std::size_t i = 0; i < NumberingTileTexts.size(); ++i) {
        auto* tile = new TMarkerTile(FromUtf8(NumberingTileTexts[i].Text), family, 13, 5, 2, tiles);
        tile->setObjectName(QStringLiteral("tileNumbering%1").arg(i));
        tile->setMinimumWidth(100);
        auto* label = new QLabel(FromUtf8(NumberingTileTexts[i].Label), tiles);
        label->setAlignment(Qt::AlignHCenter);
        grid->addWidget(tile, int(i / 2) * 2, int(i % 2));
        grid->addWidget(label, int(i / 2) * 2 + 1, int(i % 2));
        connect(tile, &QAbstractButton::clicked, this, [this, i] { SelectNumberingTile(i); });
        NumberingTiles.push_back(tile);
    }
    auto* properties = new QGroupBox(FromUtf8(" Eigenschaften der Nummerierung "), page);
    auto* form = new QFormLayout(properties);
    NumberingFields = CreateMeasureFields(properties);
    cmbFontName = new QComboBox(properties);
    cmbFontName->setObjectName(QStringLiteral("cmbFontName"));
    cmbFontName->setMaxVisibleItems(20);
    cmbFontStyle = new QComboBox(properties);
    cmbFontStyle->setObjectName(QStringLiteral("cmbFontStyle"));
    cmbFontStyle->addItems({FromUtf8("Standard"), FromUtf8("Fett"), FromUtf8("Kursiv"), FromUtf8("Fett + Kursiv")});
    cmbFontColor = new TColorListBox(properties);
    cmbFontColor->setObjectName(QStringLiteral("cmbFontColor"));
    form->addRow(FromUtf8("Größe des Markers"), NumberingFields.Size);
    form->addRow(FromUtf8("Marker Einrückung"), NumberingFields.MarkerIndent);
    form->addRow(FromUtf8("Abstand Marker Text"), NumberingFields.LeftIndent);
    form->addRow(FromUtf8("Einzug erste Zeile Text"), NumberingFields.FirstIndent);
    form->addRow(FromUtf8("Schriftart"), cmbFontName);
    form->addRow(FromUtf8("Schriftschnitt"), cmbFontStyle);
    form->addRow(FromUtf8("Schriftfarbe"), cmbFontColor);
    connect(cmbFontColor, &QComboBox::activated, this, [this] { ChosenColor = cmbFontColor->SelectedColor(ChosenColor); });
    connect(cmbFontStyle, &QComboBox::activated, this, [this](int index) { ChosenFontStyle = std::clamp(index, 0, 3); });
    layout->addWidget(tiles);
    layout->addWidget(properties, 1);
    return page;
}

void TAufNum::SelectBulletTile(std::size_t index)
{
    for (std::size_t i = 0; i < BulletTiles.size(); ++i)
        BulletTiles[i]->setChecked(i == index);
    const unsigned char code = index < BulletTileChars.size() ? BulletTileChars[index] : HiddenBulletTileChar;
    ChosenBullet = code == 0 ? std::string() : std::string(1, char(code));
}

void TAufNum::SelectNumberingTile(std::size_t index)
{
    for (std::size_t i = 0; i < NumberingTiles.size(); ++i)
        NumberingTiles[i]->setChecked(i == index);
    ChosenNumbering = NumberingTileTypes[std::min(index, NumberingTileTypes.size() - 1)];
}

void TAufNum::Preset(const TCaretListState& state)
{
    cmbFontName->setCurrentIndex(cmbFontName->findText(QString::fromStdString(state.MarkerFontName), Qt::MatchExactly | Qt::MatchCaseSensitive));
    const int entry = ColorListEntryOf(state.MarkerFontColor);
    if (entry >= 0) {
        cmbMarkerColor->setCurrentIndex(entry);
        cmbFontColor->setCurrentIndex(entry);
    }
    ChosenColor = state.MarkerFontColor;
    for (const TMeasureFields* fields : {&BulletFields, &NumberingFields}) {
        fields->Size->setValue(state.MarkerFontSize);
        fields->MarkerIndent->setValue(state.LevelMarkerIndent);
        fields->LeftIndent->setValue(state.LevelLeftIndent);
        fields->FirstIndent->setValue(state.LevelFirstIndent);
    }
    ChosenFontStyle = ChosenFontStyleOf(state.MarkerFontStyle);
    cmbFontStyle->setCurrentIndex(ChosenFontStyle);
    if (state.ListKind == 2) {
        if (const int tile = NumberingTileOfKind(state.NumberingKind); tile >= 0)
            SelectNumberingTile(std::size_t(tile));
    } else if (state.ListKind == 1) {
        if (state.BulletText.empty()) {
            SelectBulletTile(0);
        } else if (state.BulletText.size() == 1) {
            const auto code = static_cast<unsigned char>(state.BulletText[0]);
            if (code == HiddenBulletTileChar)
                SelectBulletTile(BulletTileChars.size());
            for (std::size_t i = 1; i < BulletTileChars.size(); ++i)
                if (BulletTileChars[i] == code)
                    SelectBulletTile(i);
        }
    }
}

void TAufNum::CorrectLeftIndent(const TMeasureFields& fields)
{
    if (fields.MarkerIndent->value() > fields.LeftIndent->value())
        fields.LeftIndent->setValue(std::min(fields.MarkerIndent->value() + 2, LeftIndentMax));
}

void TAufNum::accept()
{
    TListRequest request;
    const bool bullets = pcPages->currentWidget() == tsBullets;
    if (bullets ? ChosenBullet.empty() : ChosenNumbering == 0) {
        request.Kind = TListRequest::Remove;
    } else {
        const TMeasureFields& fields = bullets ? BulletFields : NumberingFields;
        CorrectLeftIndent(fields);
        request.Kind = bullets ? TListRequest::Bullets : TListRequest::Numbering;
        request.Size = fields.Size->value();
        request.FirstIndent = fields.FirstIndent->value();
        request.MarkerIndent = fields.MarkerIndent->value();
        request.LeftIndent = fields.LeftIndent->value();
        request.Color = ChosenColor;
        if (bullets) {
            request.BulletText = ChosenBullet;
        } else {
            request.FontStyle = ChosenFontStyle;
            request.FontName = cmbFontName->currentIndex() < 0 ? std::string() : cmbFontName->currentText().toStdString();
            request.NumberingType = ChosenNumbering;
        }
    }
    Request_ = request;
    QDialog::accept();
}

/// The font styles of a request's FontStyle.
TFontStyles ListRequestFontStyles(const TListRequest& request)
{
    return FontStylesOf(request.FontStyle);
}

} // namespace xq

// The element properties dialog: its four pages, the rules of their fields, and the interplay of
// the border fields of a table.
#include "dialogs/ElementPropertiesDialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/DialogButtons.h"
#include "dialogs/DialogFields.h"
#include "platform/Image.h"
#include "platform/qt/QtText.h"

namespace xq {

namespace {

/// A picture size field: leaving it empty, or at a value not above 0, puts the default into it.
class TPictureSizeBox : public QSpinBox {
public:
    explicit TPictureSizeBox(QWidget* parent) : QSpinBox(parent)
    {
        setRange(0, PictureSizeMax);
        connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
            if (value() <= 0)
                setValue(PictureSizeDefault);
        });
    }

protected:
    void fixup(QString& input) const override
    {
        if (input.trimmed().isEmpty())
            input = QString::number(PictureSizeDefault);
        else
            QSpinBox::fixup(input);
    }
};

/// A radio group: a titled box of buttons in a column, ids in their order.
QGroupBox* RadioGroup(QWidget* parent, const char* title, std::initializer_list<const char*> captions,
                      QButtonGroup*& group, const char* name)
{
    auto* box = new QGroupBox(FromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    int id = 0;
    for (const char* caption : captions) {
        auto* button = new QRadioButton(FromUtf8(caption), box);
        group->addButton(button, id++);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return box;
}

/// Two labelled fields side by side in a titled box (the title may be empty).
QGroupBox* FieldGroup(QWidget* parent, const char* title, std::initializer_list<std::pair<const char*, QWidget*>> fields)
{
    auto* box = new QGroupBox(FromUtf8(title), parent);
    auto* layout = new QFormLayout(box);
    for (const auto& [label, field] : fields) {
        field->setParent(box);
        layout->addRow(FromUtf8(label), field);
    }
    return box;
}

/// value when the field still shows what reading read (read itself, or the bound the field cut it
/// to); otherwise what the user set.
std::int32_t Unchanged(const QSpinBox* box, std::int32_t read)
{
    return box->value() == std::clamp<std::int32_t>(read, box->minimum(), box->maximum()) ? read : box->value();
}

QPixmap PreviewPixmap(const TGraphic* graphic)
{
    TRGBAImage image;
    if (!graphic || !graphic->Decode(image) || image.Empty())
        return {};
    const QImage q(image.Pixels.data(), image.Width, image.Height, image.Width * 4, QImage::Format_RGBA8888);
    return QPixmap::fromImage(q.copy());
}

} // namespace

TfrmProp::TfrmProp(TChangePicture changePicture, QWidget* parent)
    : QDialog(parent), ChangePicture_(std::move(changePicture))
{
    setObjectName(QStringLiteral("frmProp"));
    setWindowTitle(FromUtf8("Element bearbeiten"));
    auto* layout = new QVBoxLayout(this);
    pcProps = new QTabWidget(this);
    pcProps->setObjectName(QStringLiteral("pcProps"));
    tsPicture = CreatePicturePage();
    tsLine = CreateLinePage();
    tsTable = CreateTablePage();
    tsTableMore = CreateTableMorePage();
    pcProps->addTab(tsPicture, FromUtf8("Bild"));
    pcProps->addTab(tsLine, FromUtf8("Linie"));
    pcProps->addTab(tsTable, FromUtf8("Tabelle"));
    pcProps->addTab(tsTableMore, FromUtf8("Tabelle weitere Optionen"));
    layout->addWidget(pcProps);
    layout->addLayout(OkCancelRow(this, btnOk, btnCancel));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmProp::~TfrmProp() = default;

// --- The pages ------------------------------------------------------------------------------------

QWidget* TfrmProp::CreatePicturePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsPicture"));
    auto* grid = new QGridLayout(page);
    imgPreview = new QLabel(page);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setFixedSize(160, 120);
    imgPreview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setScaledContents(true);
    btnChangePicture = new QPushButton(FromUtf8("Ändern ..."), page);
    btnChangePicture->setObjectName(QStringLiteral("btnChangePicture"));
    connect(btnChangePicture, &QPushButton::clicked, this, [this] { ChangePictureClick(); });
    QGroupBox* align = RadioGroup(page, " Ausrichtung ",
                                  {"Grundlinie", "Zentriert", "Zeile oben", "Zeile unten", "Zeile zentriert"},
                                  rgAlign, "gbAlign");
    spnHeight = new TPictureSizeBox(page);
    spnHeight->setObjectName(QStringLiteral("spnHeight"));
    spnWidth = new TPictureSizeBox(page);
    spnWidth->setObjectName(QStringLiteral("spnWidth"));
    QGroupBox* size = FieldGroup(page, " Größe ", {{"Höhe", spnHeight}, {"Breite", spnWidth}});
    grid->addWidget(imgPreview, 0, 0);
    grid->addWidget(btnChangePicture, 1, 0, Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(align, 0, 1, 2, 1);
    grid->addWidget(size, 0, 2, 2, 1, Qt::AlignTop);
    return page;
}

QWidget* TfrmProp::CreateLinePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsLine"));
    auto* form = new QFormLayout(page);
    edLineWidth = new QLineEdit(page);
    edLineWidth->setObjectName(QStringLiteral("edLineWidth"));
    edLineWidth->setMaxLength(2);
    edLineWidth->setMaximumWidth(40);
    // Only the digits 1 to 9 and Backspace are taken as keys.
    edLineWidth->installEventFilter(this);
    edLineWidth->setContextMenuPolicy(Qt::NoContextMenu);
    edLineWidth->setAcceptDrops(false);
    cmbLineColor = new TColorListBox(page);
    cmbLineColor->setObjectName(QStringLiteral("cmbLineColor"));
    form->addRow(FromUtf8("Linienstärke:"), edLineWidth);
    form->addRow(FromUtf8("Linienfarbe:"), cmbLineColor);
    return page;
}

QWidget* TfrmProp::CreateTablePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsTable"));
    auto* grid = new QGridLayout(page);
    QGroupBox* border = RadioGroup(page, " Rahmen ", {"Sichtbar", "Unsichtbar"}, rgBorder, "gbBorder");
    gbBorderColor = new QGroupBox(FromUtf8(" Rahmenfarbe "), page);
    gbBorderColor->setObjectName(QStringLiteral("gbBorderColor"));
    cmbBorderColor = new TColorListBox(gbBorderColor);
    cmbBorderColor->setObjectName(QStringLiteral("cmbBorderColor"));
    (new QVBoxLayout(gbBorderColor))->addWidget(cmbBorderColor);
    gbBorderStyle = RadioGroup(page, " Rahmenstiel ", {"Rahmen mit Zellrahmen", "Nur Aussenrahmen", "Nur Zellrahmen"},
                               rgBorderStyle, "gbBorderStyle");
    spnCellBorderWidth = new TStepOnlySpinBox(0, TableWidthMax, page);
    spnCellBorderWidth->setObjectName(QStringLiteral("spnCellBorderWidth"));
    spnBorderWidth = new TStepOnlySpinBox(0, TableWidthMax, page);
    spnBorderWidth->setObjectName(QStringLiteral("spnBorderWidth"));
    QGroupBox* widths = FieldGroup(page, " Rahmenstärke ", {{"Zellen", spnCellBorderWidth}, {"Aussen", spnBorderWidth}});
    grid->addWidget(border, 0, 0);
    grid->addWidget(gbBorderColor, 0, 1);
    grid->addWidget(gbBorderStyle, 1, 0);
    grid->addWidget(widths, 1, 1);
    connect(rgBorder, &QButtonGroup::idClicked, this, [this](int id) { BorderClick(id); });
    connect(rgBorderStyle, &QButtonGroup::idClicked, this, [this](int id) { BorderStyleClick(id); });
    for (QSpinBox* box : {static_cast<QSpinBox*>(spnCellBorderWidth), static_cast<QSpinBox*>(spnBorderWidth)})
        connect(box, &QSpinBox::valueChanged, this, [this] { WidthCheck(); });
    return page;
}

QWidget* TfrmProp::CreateTableMorePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsTableMore"));
    auto* grid = new QGridLayout(page);
    auto colorGroup = [page](const char* title, TColorListBox*& box, const char* name) {
        auto* group = new QGroupBox(FromUtf8(title), page);
        box = new TColorListBox(group);
        box->setObjectName(QString::fromLatin1(name));
        (new QVBoxLayout(group))->addWidget(box);
        return group;
    };
    auto spin = [page](int minimum, int maximum, const char* name) {
        auto* box = new TStepOnlySpinBox(minimum, maximum, page);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    spnCellPadding = spin(TableSpacingMin, TablePaddingMax, "spnCellPadding");
    spnCellVSpacing = spin(TableSpacingMin, TableSpacingMax, "spnCellVSpacing");
    spnCellHSpacing = spin(TableSpacingMin, TableSpacingMax, "spnCellHSpacing");
    spnBorderVSpacing = spin(TableSpacingMin, TableSpacingMax, "spnBorderVSpacing");
    spnBorderHSpacing = spin(TableSpacingMin, TableSpacingMax, "spnBorderHSpacing");
    grid->addWidget(colorGroup(" Hintegrundfarbe ", cmbTableColor, "cmbTableColor"), 0, 0);
    grid->addWidget(colorGroup(" Zellfarbe ", cmbCellColor, "cmbCellColor"), 0, 1);
    grid->addWidget(FieldGroup(page, "Zellauffüllung", {{"alle Seiten", spnCellPadding}}), 1, 0);
    grid->addWidget(FieldGroup(page, " Zellabstand ", {{"vertikal", spnCellVSpacing}, {"horizontal", spnCellHSpacing}}), 1, 1);
    grid->addWidget(FieldGroup(page, " Aussenrahmen ", {{"vertikal", spnBorderVSpacing}, {"horizontal", spnBorderHSpacing}}),
                    2, 0);
    return page;
}

void TfrmProp::ShowPages(TElementKind kind)
{
    Kind_ = kind;
    pcProps->setTabVisible(pcProps->indexOf(tsPicture), kind == TElementKind::Picture);
    pcProps->setTabVisible(pcProps->indexOf(tsLine), kind == TElementKind::Line);
    pcProps->setTabVisible(pcProps->indexOf(tsTable), kind == TElementKind::Table);
    pcProps->setTabVisible(pcProps->indexOf(tsTableMore), kind == TElementKind::Table);
    switch (kind) {
    case TElementKind::Picture: pcProps->setCurrentWidget(tsPicture); break;
    case TElementKind::Line: pcProps->setCurrentWidget(tsLine); break;
    case TElementKind::Table: pcProps->setCurrentWidget(tsTable); break;
    }
}

// --- Picture --------------------------------------------------------------------------------------

void TfrmProp::ReadPicture(const TElementPicture& picture)
{
    ShowPages(TElementKind::Picture);
    ReadPicture_ = picture;
    // Without a size of its own the picture shows at its natural size, which OK then stores.
    if (ReadPicture_.Width == 0 && ReadPicture_.Height == 0 && picture.Graphic) {
        ReadPicture_.Width = picture.Graphic->Width();
        ReadPicture_.Height = picture.Graphic->Height();
    }
    SetPreview(picture.Graphic);
    if (QAbstractButton* button = rgAlign->button(std::clamp(picture.VAlign, 0, 4)))
        button->setChecked(true);
    spnHeight->setValue(ReadPicture_.Height);
    spnWidth->setValue(ReadPicture_.Width);
}

void TfrmProp::SetPreview(std::shared_ptr<const TGraphic> graphic)
{
    Preview_ = std::move(graphic);
    imgPreview->setPixmap(PreviewPixmap(Preview_.get()));
}

void TfrmProp::ChangePictureClick()
{
    if (!ChangePicture_)
        return;
    if (std::unique_ptr<TGraphic> loaded = ChangePicture_())
        SetPreview(std::shared_ptr<const TGraphic>(std::move(loaded)));
}

void TfrmProp::FixPictureSize(QSpinBox* box)
{
    if (box->text().trimmed().isEmpty() || box->value() <= 0)
        box->setValue(PictureSizeDefault);
}

TElementPicture TfrmProp::PictureValues() const
{
    TElementPicture values = ReadPicture_;
    values.Graphic = Preview_;
    values.VAlign = std::max(0, rgAlign->checkedId());
    values.Width = std::max<std::int32_t>(PictureSizeMin, Unchanged(spnWidth, ReadPicture_.Width));
    values.Height = std::max<std::int32_t>(PictureSizeMin, Unchanged(spnHeight, ReadPicture_.Height));
    return values;
}

// --- Line -----------------------------------------------------------------------------------------

void TfrmProp::ReadLine(const TElementLine& line)
{
    ShowPages(TElementKind::Line);
    ReadLine_ = line;
    ReadLineWidthText_ = QString::number(line.Width).left(2);
    edLineWidth->setText(ReadLineWidthText_);
    cmbLineColor->ShowColor(line.Color);
}

TElementLine TfrmProp::LineValues() const
{
    TElementLine values = ReadLine_;
    values.Color = cmbLineColor->SelectedColor(ReadLine_.Color);
    if (edLineWidth->text() != ReadLineWidthText_) {
        bool number = false;
        const int width = edLineWidth->text().toInt(&number);
        values.Width = number ? width : 1;
    }
    return values;
}

bool TfrmProp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edLineWidth && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace)
            return false;
        const QString text = key->text();
        if (text.size() == 1 && text[0] >= QLatin1Char('1') && text[0] <= QLatin1Char('9'))
            return false;
        // Moving in the field and leaving it stay possible; everything else typed is dropped.
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: return false;
        default: return true;
        }
    }
    if (watched == edLineWidth && event->type() == QEvent::InputMethod)
        return true;
    return QDialog::eventFilter(watched, event);
}

// --- Table ----------------------------------------------------------------------------------------

void TfrmProp::ReadTable(const TElementTable& table)
{
    ShowPages(TElementKind::Table);
    ReadTable_ = table;
    cmbBorderColor->ShowColor(table.BorderColor);
    cmbTableColor->ShowColor(table.Color);
    cmbCellColor->ShowColor(table.CellColor);
    RememberedBorderColorEntry = cmbBorderColor->currentIndex();
    spnCellPadding->setValue(table.CellPadding);
    spnCellVSpacing->setValue(table.CellVSpacing);
    spnCellHSpacing->setValue(table.CellHSpacing);
    spnBorderVSpacing->setValue(table.BorderVSpacing);
    spnBorderHSpacing->setValue(table.BorderHSpacing);
    if (table.CellBorderWidth != 0 || table.BorderWidth != 0) {
        rgBorder->button(brVisible)->setChecked(true);
        RememberedCellWidth = table.CellBorderWidth;
        RememberedBorderWidth = table.BorderWidth;
        SetWidths(table.CellBorderWidth, table.BorderWidth);
        const int style = table.CellBorderWidth > 0 && table.BorderWidth > 0 ? bsWithCells
                          : table.CellBorderWidth > 0                        ? bsCellsOnly
                                                                             : bsOuterOnly;
        rgBorderStyle->button(style)->setChecked(true);
        EnableBorderFields(true);
    } else {
        rgBorder->button(brInvisible)->setChecked(true);
        SetWidths(0, 0);
        cmbBorderColor->setCurrentIndex(ColorEntryGray);
        EnableBorderFields(false);
    }
}

void TfrmProp::EnableBorderFields(bool on)
{
    cmbBorderColor->setEnabled(on);
    gbBorderStyle->setEnabled(on);
}

void TfrmProp::SetWidths(int cells, int outer)
{
    const QSignalBlocker blockCells(spnCellBorderWidth);
    const QSignalBlocker blockOuter(spnBorderWidth);
    spnCellBorderWidth->setValue(cells);
    spnBorderWidth->setValue(outer);
}

void TfrmProp::BorderClick(int id)
{
    if (id == brInvisible) {
        RememberedCellWidth = spnCellBorderWidth->value();
        RememberedBorderWidth = spnBorderWidth->value();
        RememberedBorderColorEntry = cmbBorderColor->currentIndex();
        cmbBorderColor->setCurrentIndex(ColorEntryGray);
        EnableBorderFields(false);
        SetWidths(0, 0);
        return;
    }
    EnableBorderFields(true);
    cmbBorderColor->setCurrentIndex(RememberedBorderColorEntry);
    if (RememberedCellWidth != 0 || RememberedBorderWidth != 0) {
        SetWidths(RememberedCellWidth, RememberedBorderWidth);
        WidthCheck();
    } else {
        RememberedCellWidth = RememberedBorderWidth = 1;
        SetWidths(1, 1);
        rgBorderStyle->button(bsWithCells)->setChecked(true);
    }
}

void TfrmProp::BorderStyleClick(int id)
{
    switch (id) {
    case bsWithCells:
        SetWidths(RememberedCellWidth != 0 ? 1 : 0, RememberedBorderWidth != 0 ? 1 : 0);
        RememberedCellWidth = spnCellBorderWidth->value();
        RememberedBorderWidth = spnBorderWidth->value();
        break;
    case bsOuterOnly:
        RememberedCellWidth = spnCellBorderWidth->value();
        SetWidths(0, RememberedBorderWidth != 0 ? 1 : 0);
        break;
    case bsCellsOnly:
        RememberedCellWidth = spnCellBorderWidth->value();
        RememberedBorderWidth = spnBorderWidth->value();
        SetWidths(spnCellBorderWidth->value(), 0);
        break;
    default: return;
    }
    WidthCheck();
}

void TfrmProp::WidthCheck()
{
    const int cells = spnCellBorderWidth->value();
    const int outer = spnBorderWidth->value();
    if (cells == 0 && outer == 0) {
        rgBorder->button(brInvisible)->setChecked(true);
        cmbBorderColor->setCurrentIndex(ColorEntryGray);
        EnableBorderFields(false);
        return;
    }
    EnableBorderFields(true);
    rgBorder->button(brVisible)->setChecked(true);
    const int style = cells > 0 && outer > 0 ? bsWithCells : outer > 0 ? bsOuterOnly : bsCellsOnly;
    rgBorderStyle->button(style)->setChecked(true);
}

TElementTable TfrmProp::TableValues() const
{
    TElementTable values = ReadTable_;
    values.Color = cmbTableColor->SelectedColor(ReadTable_.Color);
    values.CellColor = cmbCellColor->SelectedColor(ReadTable_.CellColor);
    values.BorderColor = cmbBorderColor->SelectedColor(ReadTable_.BorderColor);
    values.CellPadding = Unchanged(spnCellPadding, ReadTable_.CellPadding);
    values.CellVSpacing = Unchanged(spnCellVSpacing, ReadTable_.CellVSpacing);
    values.CellHSpacing = Unchanged(spnCellHSpacing, ReadTable_.CellHSpacing);
    values.BorderVSpacing = Unchanged(spnBorderVSpacing, ReadTable_.BorderVSpacing);
    values.BorderHSpacing = Unchanged(spnBorderHSpacing, ReadTable_.BorderHSpacing);
    const std::int32_t cells = Unchanged(spnCellBorderWidth, ReadTable_.CellBorderWidth);
    const std::int32_t outer = Unchanged(spnBorderWidth, ReadTable_.BorderWidth);
    if (rgBorder->checkedId() == brInvisible) {
        values.CellBorderWidth = values.BorderWidth = 0;
    } else {
        switch (rgBorderStyle->checkedId()) {
        case bsCellsOnly: values.CellBorderWidth = cells; values.BorderWidth = 0; break;
        case bsOuterOnly: values.CellBorderWidth = 0; values.BorderWidth = outer; break;
        default: values.CellBorderWidth = cells; values.BorderWidth = outer; break;
        }
    }
    return values;
}

void TfrmProp::accept()
{
    if (Kind_ == TElementKind::Picture) {
        FixPictureSize(spnHeight);
        FixPictureSize(spnWidth);
    }
    QDialog::accept();
}

} // namespace xq

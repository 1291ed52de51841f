// The insert table dialog.
#include "dialogs/InsertTableDialog.h"
#include "dialogs/DialogButtons.h"
#include "platform/qt/QtText.h"

#include <algorithm>

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace xq {

namespace {

/// A number field of 1 to maximum that takes as many digits as the maximum has. Text that is no
/// number in range goes back to the nearest value when the field is left.
QSpinBox* NumberField(QWidget* parent, const char* name, int maximum, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, maximum);
    box->setValue(value);
    box->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    box->setAlignment(Qt::AlignRight);
    // Room for the largest value beside the arrows.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(int(QString::number(maximum).size()) + 1, QLatin1Char('0'))) + 36);
    if (auto* edit = box->findChild<QLineEdit*>())
        edit->setMaxLength(int(QString::number(maximum).size()));
    return box;
}

QLineEdit* EditOf(QSpinBox* box)
{
    return box->findChild<QLineEdit*>();
}

} // namespace

TfrmInsTable::TfrmInsTable(std::int32_t maxTextWidth, QWidget* parent) : QDialog(parent), MaxTextWidth_(maxTextWidth)
{
    setObjectName(QStringLiteral("frmInsTable"));
    setWindowTitle(FromUtf8(" Tabelle einfügen"));
    setModal(true);

    auto* size = new QGroupBox(FromUtf8(" Tabellengrösse "), this);
    size->setObjectName(QStringLiteral("gbSize"));
    auto* sizeGrid = new QGridLayout(size);
    spnColumns = NumberField(size, "spnColumns", InsTableMaxColumns, 2);
    spnRows = NumberField(size, "spnRows", InsTableMaxRows, 2);
    auto* columnsLabel = new QLabel(FromUtf8("Anzahl der Spalten"), size);
    auto* rowsLabel = new QLabel(FromUtf8("Anzahl Zeilen"), size);
    columnsLabel->setBuddy(spnColumns);
    rowsLabel->setBuddy(spnRows);
    sizeGrid->addWidget(columnsLabel, 0, 0);
    sizeGrid->addWidget(spnColumns, 0, 1);
    sizeGrid->addWidget(rowsLabel, 1, 0);
    sizeGrid->addWidget(spnRows, 1, 1);
    sizeGrid->setColumnStretch(0, 1);

    auto* properties = new QGroupBox(FromUtf8(" Tabelleneigenschaften "), this);
    properties->setObjectName(QStringLiteral("gbProperties"));
    auto* propertiesGrid = new QGridLayout(properties);
    rbAutoSize = new QRadioButton(FromUtf8("&Tabellengrösse automatisch anpassen"), properties);
    rbAutoSize->setObjectName(QStringLiteral("rbAutoSize"));
    rbWindowSize = new QRadioButton(FromUtf8("Tabelle an &Fenstergrösse anpassen"), properties);
    rbWindowSize->setObjectName(QStringLiteral("rbWindowSize"));
    rbManual = new QRadioButton(FromUtf8("Tabelle &manuell einstellen"), properties);
    rbManual->setObjectName(QStringLiteral("rbManual"));
    rbAutoSize->setChecked(true);
    spnWidth = NumberField(properties, "spnWidth", InsTableMaxWidth, 100);
    spnWidth->setAccessibleName(FromUtf8("Breite"));
    cmbWidthType = new QComboBox(properties);
    cmbWidthType->setObjectName(QStringLiteral("cmbWidthType"));
    cmbWidthType->addItems({FromUtf8("Prozent"), FromUtf8("Pixel")});
    cmbWidthType->setCurrentIndex(0);
    cmbWidthType->setAccessibleName(FromUtf8("Einheit der Breite"));
    propertiesGrid->addWidget(rbAutoSize, 0, 0, 1, 3);
    propertiesGrid->addWidget(rbWindowSize, 1, 0, 1, 3);
    propertiesGrid->addWidget(rbManual, 2, 0);
    propertiesGrid->addWidget(spnWidth, 2, 1);
    propertiesGrid->addWidget(cmbWidthType, 2, 2);
    propertiesGrid->setColumnStretch(0, 1);

    QHBoxLayout* buttons = OkCancelRow(this, btnOk, btnCancel);
    btnOk->setToolTip(FromUtf8("Tabelle einfügen"));
    btnOk->setStatusTip(QString());

    auto* column = new QVBoxLayout(this);
    column->addWidget(size);
    column->addWidget(properties);
    column->addLayout(buttons);
    setLayout(column);
    setSizeGripEnabled(false);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The number fields take digits only: other characters typed are dropped, not beeped at.
    for (QSpinBox* box : {spnColumns, spnRows, spnWidth})
        if (QLineEdit* edit = EditOf(box))
            edit->installEventFilter(this);
    // Going to the width or its unit means a width of one's own. Passing them with the Tab key
    // on the way to OK does not, changing them does.
    for (QObject* o : {static_cast<QObject*>(spnWidth), static_cast<QObject*>(EditOf(spnWidth)),
                       static_cast<QObject*>(cmbWidthType)})
        if (o)
            o->installEventFilter(this);
    connect(spnWidth, &QSpinBox::valueChanged, rbManual, [this] { rbManual->setChecked(true); });
    if (QLineEdit* edit = EditOf(spnWidth))
        connect(edit, &QLineEdit::textEdited, rbManual, [this] { rbManual->setChecked(true); });
    connect(cmbWidthType, &QComboBox::activated, rbManual, [this] { rbManual->setChecked(true); });

    connect(btnOk, &QPushButton::clicked, this, &TfrmInsTable::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmInsTable::reject);
    spnColumns->setFocus(Qt::OtherFocusReason);
}

bool TfrmInsTable::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Control keys (Backspace, Delete, the arrows, Enter) carry no printable text.
        if (!text.isEmpty() && text.at(0).isPrint() &&
            std::any_of(text.begin(), text.end(), [](QChar c) { return c < QLatin1Char('0') || c > QLatin1Char('9'); }))
            return true;
    } else if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason && reason != Qt::OtherFocusReason)
            rbManual->setChecked(true);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmInsTable::PlaceAt(const QPoint& globalTopLeft)
{
    adjustSize();
    QPoint at = globalTopLeft;
    const QScreen* screen = QGuiApplication::screenAt(globalTopLeft);
    if (!screen && parentWidget())
        screen = parentWidget()->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - frameGeometry().width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frameGeometry().height())));
    }
    move(at);
}

void TfrmInsTable::accept()
{
    // What is typed counts, even before the field is left.
    for (QSpinBox* box : {spnColumns, spnRows, spnWidth})
        box->interpretText();
    TInsertTableRequest request;
    request.Columns = spnColumns->value();
    request.Rows = spnRows->value();
    if (rbWindowSize->isChecked()) {
        // The whole width the table has (a negative width is a percentage).
        request.UsePreferredWidth = true;
        request.PreferredWidth = -100;
    } else if (rbManual->isChecked()) {
        request.UsePreferredWidth = true;
        const int width = spnWidth->value();
        request.PreferredWidth =
            cmbWidthType->currentIndex() == 0 ? width * (std::max<std::int32_t>(MaxTextWidth_, 0) / 100) : width;
    } else {
        request.UsePreferredWidth = false;
        request.PreferredWidth = 10000;
    }
    Request_ = request;
    QDialog::accept();
}

} // namespace xq

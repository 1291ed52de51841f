// The colour list box and the step-only number field.
#include "dialogs/DialogFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace xq {

namespace {

QColor BarColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return {RedOf(rgb), GreenOf(rgb), BlueOf(rgb)};
}

/// Draws entry as a bar filling rect, the name at 2, 1 from its corner; a focused entry gets a
/// dotted frame. "Transparent" has no colour of its own: its bar is hatched, so that its white
/// name stays readable.
void PaintEntry(QPainter& painter, const QRect& rect, int entry, bool framed)
{
    if (entry < 0 || entry >= int(ColorListEntries.size()))
        return;
    const TColorListEntry& e = ColorListEntries[std::size_t(entry)];
    painter.save();
    if (e.Color == clNone) {
        painter.fillRect(rect, QColor(0x80, 0x80, 0x80));
        painter.fillRect(rect, QBrush(QColor(0xC0, 0xC0, 0xC0), Qt::BDiagPattern));
    } else {
        painter.fillRect(rect, BarColor(e.Color));
    }
    painter.setPen(ColorEntryHasDarkText(entry) ? Qt::black : Qt::white);
    const QRect text = rect.adjusted(2, 1, 0, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromUtf8(e.Name.data(), qsizetype(e.Name.size())));
    if (framed) {
        painter.setPen(QPen(ColorEntryHasDarkText(entry) ? Qt::black : Qt::white, 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

class TColorEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        PaintEntry(*painter, option.rect.adjusted(1, 1, -1, -1), index.row(),
                   option.state.testFlag(QStyle::State_Selected));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + 4));
        return size;
    }
};

} // namespace

int ColorListEntryOf(TColor color) noexcept
{
    for (std::size_t i = 0; i < ColorListEntries.size(); ++i)
        if (ColorListEntries[i].Color == color)
            return int(i);
    return -1;
}

bool ColorEntryHasDarkText(int entry) noexcept
{
    return entry == 11 || entry == 12 || entry == 15 || entry == 18;
}

TColorListBox::TColorListBox(QWidget* parent) : QComboBox(parent)
{
    for (const TColorListEntry& e : ColorListEntries)
        addItem(QString::fromUtf8(e.Name.data(), qsizetype(e.Name.size())));
    setItemDelegate(new TColorEntryDelegate(this));
    setMaxVisibleItems(int(ColorListEntries.size()));
    setMinimumContentsLength(12);
}

bool TColorListBox::ShowColor(TColor color)
{
    const int entry = ColorListEntryOf(color);
    setCurrentIndex(entry);
    return entry >= 0;
}

TColor TColorListBox::SelectedColor(TColor fallback) const noexcept
{
    const int entry = currentIndex();
    return entry >= 0 && entry < int(ColorListEntries.size()) ? ColorListEntries[std::size_t(entry)].Color : fallback;
}

void TColorListBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (isEnabled())
        PaintEntry(painter, field.adjusted(1, 1, -1, -1), currentIndex(), hasFocus());
    else if (currentIndex() >= 0)
        painter.drawText(field.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, currentText());
}

TStepOnlySpinBox::TStepOnlySpinBox(int minimum, int maximum, QWidget* parent) : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setSingleStep(1);
    setAccelerated(false);
    lineEdit()->setReadOnly(true);
    lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    lineEdit()->setAcceptDrops(false);
    lineEdit()->installEventFilter(this);
}

void TStepOnlySpinBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: QSpinBox::keyPressEvent(event); return;
    default:
        // Tab, Enter and Escape go on to the dialog; everything else would be typing.
        event->ignore();
        return;
    }
}

bool TStepOnlySpinBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && (event->type() == QEvent::InputMethod))
        return true;
    return QSpinBox::eventFilter(watched, event);
}

} // namespace xq

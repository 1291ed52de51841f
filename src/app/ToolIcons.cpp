// Toolbar pictures on a 16 x 16 grid, painted at 16, 24 and 32 pixels.
#include "app/ToolIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/qt/QtCanvas.h"

namespace xq {

namespace {

const QColor Outline(0x4A, 0x4A, 0x4A);
const QColor PaperColor(0xFF, 0xFF, 0xFF);
const QColor Ink(0x20, 0x20, 0x20);
const QColor Arrow(0x1F, 0x5F, 0xB4);
const QColor FolderColor(0xF2, 0xC1, 0x4E);
const QColor FolderDark(0xC8, 0x93, 0x1E);
const QColor Disk(0x2F, 0x4F, 0x8F);

void Page(QPainter& p, QRectF r)
{
    const qreal fold = 3.5;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(Outline, 1));
    p.setBrush(PaperColor);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter& p, qreal left, qreal top, qreal right, int count)
{
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 2.5), QPointF(right, top + i * 2.5));
}

void Letter(QPainter& p, const QString& text, bool bold, bool italic, bool underline, QColor color = Ink)
{
    QFont font(QtFamilyFor("Arial"));
    font.setPixelSize(13);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(0, -1, 16, 16), Qt::AlignHCenter | Qt::AlignVCenter, text);
}

void AlignmentLines(QPainter& p, TToolIcon kind)
{
    p.setPen(QPen(Ink, 1.2));
    const qreal widths[] = {12, 8, 12, 8, 12};
    for (int i = 0; i < 5; ++i) {
        qreal w = kind == TToolIcon::AlignJustify ? 12 : widths[i];
        qreal left = 2;
        if (kind == TToolIcon::AlignCenter)
            left = 8 - w / 2;
        else if (kind == TToolIcon::AlignRight)
            left = 14 - w;
        const qreal y = 3 + i * 2.5;
        p.drawLine(QPointF(left, y), QPointF(left + w, y));
    }
}

void CurvedArrow(QPainter& p, bool left)
{
    p.save();
    if (!left) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath path;
    path.moveTo(4, 7);
    path.cubicTo(7, 3.5, 13, 4, 13.5, 9);
    path.cubicTo(13.7, 11, 12.5, 13, 11, 13.5);
    p.setPen(QPen(Arrow, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF head;
    head << QPointF(1.5, 4) << QPointF(6.5, 9.5) << QPointF(1.5, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(Arrow);
    p.drawPolygon(head);
    p.restore();
}

void IndentArrow(QPainter& p, bool increase)
{
    p.setPen(QPen(Ink, 1.2));
    p.drawLine(QPointF(2, 2.5), QPointF(14, 2.5));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(8, 6 + i * 2.5), QPointF(14, 6 + i * 2.5));
    p.drawLine(QPointF(2, 13.5), QPointF(14, 13.5));
    QPolygonF head;
    if (increase)
        head << QPointF(2, 5.5) << QPointF(6, 8.5) << QPointF(2, 11.5);
    else
        head << QPointF(6, 5.5) << QPointF(2, 8.5) << QPointF(6, 11.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Arrow);
    p.drawPolygon(head);
}

void Draw(QPainter& p, TToolIcon kind)
{
    switch (kind) {
    case TToolIcon::Bold: Letter(p, QStringLiteral("F"), true, false, false); break;
    case TToolIcon::Italic: Letter(p, QStringLiteral("K"), false, true, false); break;
    case TToolIcon::Underline: Letter(p, QStringLiteral("U"), false, false, true); break;
    case TToolIcon::TextColor:
        p.save();
        p.translate(0, -2);
        Letter(p, QStringLiteral("A"), true, false, false);
        p.restore();
        p.fillRect(QRectF(2, 12.5, 12, 3), QColor(0xD0, 0x20, 0x20));
        break;
    case TToolIcon::AlignLeft:
    case TToolIcon::AlignCenter:
    case TToolIcon::AlignRight:
    case TToolIcon::AlignJustify: AlignmentLines(p, kind); break;
    case TToolIcon::New: Page(p, QRectF(3, 1, 10, 14)); break;
    case TToolIcon::Open: {
        QPainterPath back;
        back.moveTo(1, 3);
        back.lineTo(6, 3);
        back.lineTo(7, 4.5);
        back.lineTo(13, 4.5);
        back.lineTo(13, 13.5);
        back.lineTo(1, 13.5);
        back.closeSubpath();
        p.setPen(QPen(FolderDark, 1));
        p.setBrush(FolderDark.lighter(130));
        p.drawPath(back);
        QPolygonF front;
        front << QPointF(3, 7) << QPointF(15.5, 7) << QPointF(13, 13.5) << QPointF(1, 13.5);
        p.setBrush(FolderColor);
        p.drawPolygon(front);
        break;
    }
    case TToolIcon::Save:
        p.setPen(QPen(Disk.darker(130), 1));
        p.setBrush(Disk);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(PaperColor);
        p.drawRect(QRectF(4, 1.5, 8, 5.5));
        p.setBrush(QColor(0xC8, 0xC8, 0xC8));
        p.drawRect(QRectF(5, 10, 6, 4.5));
        p.setBrush(Disk);
        p.drawRect(QRectF(9, 10.8, 1.3, 2.8));
        break;
    case TToolIcon::Undo: CurvedArrow(p, true); break;
    case TToolIcon::Redo: CurvedArrow(p, false); break;
    case TToolIcon::Cut:
        p.setPen(QPen(Ink, 1.2));
        p.drawLine(QPointF(5.5, 1.5), QPointF(10.2, 10.5));
        p.drawLine(QPointF(10.5, 1.5), QPointF(5.8, 10.5));
        p.setPen(QPen(QColor(0xB0, 0x20, 0x20), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.5), 2.3, 2.3);
        p.drawEllipse(QPointF(11.5, 12.5), 2.3, 2.3);
        break;
    case TToolIcon::Copy:
        Page(p, QRectF(1.5, 1, 8.5, 10.5));
        Page(p, QRectF(6, 4.5, 8.5, 10.5));
        TextLines(p, 7.5, 9, 12.5, 3);
        break;
    case TToolIcon::Paste:
        p.setPen(QPen(QColor(0x7A, 0x55, 0x2A), 1));
        p.setBrush(QColor(0xB8, 0x86, 0x4B));
        p.drawRoundedRect(QRectF(2, 2.5, 10, 12.5), 1, 1);
        p.setBrush(QColor(0x9A, 0x9A, 0x9A));
        p.setPen(QPen(Outline, 1));
        p.drawRect(QRectF(4.5, 1, 5, 3));
        Page(p, QRectF(7, 6, 7.5, 9.5));
        break;
    case TToolIcon::Preview: {
        Page(p, QRectF(1.5, 1, 10, 14));
        TextLines(p, 3.5, 5, 8, 3);
        p.setPen(QPen(Arrow, 1.5));
        p.setBrush(QColor(0xDD, 0xEE, 0xFF));
        p.drawEllipse(QPointF(9.5, 9), 3, 3);
        p.setPen(QPen(Ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.8, 11.3), QPointF(14.5, 14));
        break;
    }
    case TToolIcon::Print:
        p.setPen(QPen(Outline, 1));
        p.setBrush(PaperColor);
        p.drawRect(QRectF(4, 1, 8, 5));
        p.setBrush(QColor(0xB4, 0xB4, 0xB4));
        p.drawRoundedRect(QRectF(1, 5.5, 14, 6.5), 1, 1);
        p.setBrush(PaperColor);
        p.drawRect(QRectF(4, 10, 8, 5));
        TextLines(p, 5.5, 12, 10.5, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x40, 0xB0, 0x40));
        p.drawRect(QRectF(12, 7, 1.5, 1.3));
        break;
    case TToolIcon::IndentDecrease: IndentArrow(p, false); break;
    case TToolIcon::IndentIncrease: IndentArrow(p, true); break;
    case TToolIcon::Spelling: {
        QFont font(QtFamilyFor("Arial"));
        font.setPixelSize(7);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Ink);
        p.drawText(QRectF(0, 0, 16, 8), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("ABC"));
        QPainterPath tick;
        tick.moveTo(3.5, 11.5);
        tick.lineTo(6.5, 14.5);
        tick.lineTo(13, 8.5);
        p.setPen(QPen(QColor(0x20, 0x90, 0x30), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        break;
    }
    case TToolIcon::ControlCharsOn:
        p.fillRect(QRectF(1, 1, 14, 14), QColor(0xCC, 0xE0, 0xF7));
        Letter(p, QStringLiteral("\u00B6"), true, false, false, Arrow);
        break;
    case TToolIcon::ControlCharsOff: Letter(p, QStringLiteral("\u00B6"), true, false, false); break;
    case TToolIcon::PageBreaks: {
        p.setPen(QPen(Outline, 1));
        p.setBrush(PaperColor);
        p.drawRect(QRectF(3, 0.5, 10, 5));
        p.drawRect(QRectF(3, 10.5, 10, 5));
        p.setPen(QPen(Arrow, 1.2, Qt::DashLine));
        p.drawLine(QPointF(1, 8), QPointF(15, 8));
        break;
    }
    }
}

QPixmap Picture(TToolIcon kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.scale(size / 16.0, size / 16.0);
    Draw(p, kind);
    return pixmap;
}

} // namespace

QIcon ToolIcon(TToolIcon kind)
{
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(Picture(kind, size));
    return icon;
}

} // namespace xq

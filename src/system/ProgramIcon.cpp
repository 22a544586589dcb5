#include "system/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kelvo {
namespace {

// Draws the clock on a 64 x 64 grid, scaled to the pixmap.
void drawClock(QPainter& p) {
    const QColor ink(0x1f, 0x3a, 0x5f);
    const QColor face(0xff, 0xf4, 0xd6);
    const QColor bells(0xe0, 0x6c, 0x2c);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(Qt::NoPen);
    p.setBrush(bells);
    p.drawPie(QRectF(4, 4, 22, 22), 30 * 16, 180 * 16);
    p.drawPie(QRectF(38, 4, 22, 22), -30 * 16, 180 * 16);

    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 52), QPointF(12, 60));
    p.drawLine(QPointF(46, 52), QPointF(52, 60));

    p.setBrush(face);
    p.setPen(QPen(ink, 5));
    p.drawEllipse(QPointF(32, 35), 23, 23);

    p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 35), QPointF(32, 20));
    p.drawLine(QPointF(32, 35), QPointF(43, 41));
}

QPixmap clockPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 64.0, size / 64.0);
    drawClock(p);
    return pixmap;
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(clockPixmap(size));
    return icon;
}

} // namespace kelvo

#include "alerts/PopupArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kelvo::popupart {
namespace {

void drawBell(QPainter& p, QRectF box) {
    QPainterPath bell;
    const qreal w = box.width(), h = box.height();
    bell.moveTo(box.left() + w * 0.5, box.top());
    bell.cubicTo(box.left() + w * 0.15, box.top(), box.left() + w * 0.2, box.top() + h * 0.55,
                 box.left(), box.top() + h * 0.8);
    bell.lineTo(box.right(), box.top() + h * 0.8);
    bell.cubicTo(box.right() - w * 0.2, box.top() + h * 0.55, box.right() - w * 0.15, box.top(),
                 box.left() + w * 0.5, box.top());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd5, 0x4f));
    p.drawPath(bell);
    p.drawEllipse(QPointF(box.center().x(), box.bottom() - h * 0.08), w * 0.13, h * 0.12);
}

} // namespace

QPixmap titleStrip(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, kFrame.lighter(135));
    shade.setColorAt(1, kFrame);
    p.fillRect(pixmap.rect(), shade);
    const qreal bellSize = size.height() * 0.55;
    drawBell(p, QRectF(10, (size.height() - bellSize) / 2, bellSize, bellSize));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(size.height() * 0.42);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(18 + bellSize, 0, size.width(), size.height()), Qt::AlignVCenter,
               QStringLiteral("提醒"));
    return pixmap;
}

QPixmap frameEdge(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(kFrame);
    return pixmap;
}

QIcon closeGlyph(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    const qreal m = 2;
    p.drawLine(QPointF(m, m), QPointF(size.width() - m, size.height() - m));
    p.drawLine(QPointF(size.width() - m, m), QPointF(m, size.height() - m));
    return QIcon(pixmap);
}

} // namespace kelvo::popupart

#include "clock/LCDScreen.h"

#include <QPainter>
#include <QPixmap>

namespace kelvo {

TLCDScreen::TLCDScreen(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLCDScreen::setText(const QString& text) {
    m_text = text;
    m_dots = lcd::lineDots(text.toStdU32String());
    repaint();
}

QPoint TLCDScreen::dotCorner(int cell, int column, int row) {
    const int step = kPixelSize + kPixelSpacing;
    return {kFirstCell + cell * (kCellWidth + kCharSpacing) + column * step,
            kFirstCell + row * step};
}

// The picture is composed off screen and copied in one piece, so the panel
// never flickers while the time changes.
void TLCDScreen::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    QPainter offscreen(&picture);
    paintDots(offscreen);
    offscreen.end();
    QPainter(this).drawPixmap(0, 0, picture);
}

void TLCDScreen::paintDots(QPainter& painter) const {
    painter.fillRect(rect(), kColor);
    painter.setPen(Qt::NoPen);
    for (int cell = 0; cell < lcd::kCells; ++cell)
        for (int row = 0; row < lcd::kDotRows; ++row)
            for (int column = 0; column < lcd::kDotColumns; ++column) {
                const bool on = m_dots[cell][row * lcd::kDotColumns + column];
                painter.setBrush(on ? kPixelOn : kPixelOff);
                painter.drawEllipse(
                    QRect(dotCorner(cell, column, row), QSize(kPixelSize, kPixelSize)));
            }
}

} // namespace kelvo

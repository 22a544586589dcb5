#pragma once

#include "clock/LcdGlyphs.h"

#include <QColor>
#include <QWidget>

class QPainter;

namespace kelvo {

// An imitation liquid-crystal panel: one line of five cells of 5 x 7 round
// dots, every dot drawn, dim when off and bright when on. The configuration
// is the one the desktop clock uses: dots of 6 x 6 pixels, 1 pixel between
// dots and between cells, a margin of 3 pixels and no frame.
class TLCDScreen : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPixelSize = 6;
    static constexpr int kPixelSpacing = 1;
    static constexpr int kCharSpacing = 1;
    static constexpr int kBorderSpace = 3;
    static constexpr int kCellWidth =
        lcd::kDotColumns * kPixelSize + (lcd::kDotColumns - 1) * kPixelSpacing;
    static constexpr int kCellHeight =
        lcd::kDotRows * kPixelSize + (lcd::kDotRows - 1) * kPixelSpacing;
    static constexpr int kFirstCell = 1 + kBorderSpace;
    static constexpr int kWidth =
        2 * kFirstCell + lcd::kCells * kCellWidth + (lcd::kCells - 1) * kCharSpacing;
    static constexpr int kHeight = 2 * kFirstCell + kCellHeight;

    static inline const QColor kColor{0, 128, 0};
    static inline const QColor kPixelOff{64, 128, 128};
    static inline const QColor kPixelOn{1, 254, 1};

    explicit TLCDScreen(QWidget* parent = nullptr);

    // The one line shown; setting it repaints the display at once.
    QString text() const { return m_text; }
    void setText(const QString& text);

    // Top left corner of a dot: cell k, column c, row r.
    static QPoint dotCorner(int cell, int column, int row);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintDots(QPainter& painter) const;

    QString m_text;
    lcd::LineDots m_dots{};
};

} // namespace kelvo

#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace kelvo::popupart {

// The popup's own pictures, drawn at run time so that no image files ship.
inline const QColor kFrame{0x2f, 0x5d, 0x8c};
inline const QColor kBackground{0xf3, 0xf7, 0xfb};

// The title strip: a soft blue gradient with a bell and the word "提醒".
QPixmap titleStrip(QSize size);
// A plain piece of the frame edge.
QPixmap frameEdge(QSize size);
// A thin white cross, the glyph of the close button on the title strip.
QIcon closeGlyph(QSize size);

} // namespace kelvo::popupart

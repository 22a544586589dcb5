#include "system/ProgramIcon.h"

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace kelvo {
namespace {

QImage greyed(QImage image) {
    image.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 3);
        }
    }
    return image;
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("kelvo.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext()) {
        // Read as PNG outright: a reader that may find the format itself
        // loads every image format plug-in to ask it.
        QImageReader reader(sizes.next(), "png");
        reader.setAutoDetectImageFormat(false);
        // The largest size is for the icon theme; title bars and trays ask
        // for 128 pixels at most, and it would hold a quarter of a megabyte.
        if (reader.size().width() <= 128)
            icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

QIcon greyedIcon(const QIcon& icon) {
    QIcon result;
    for (const QSize& size : icon.availableSizes())
        result.addPixmap(QPixmap::fromImage(greyed(icon.pixmap(size).toImage())));
    return result;
}

} // namespace kelvo

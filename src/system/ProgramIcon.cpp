#include "system/ProgramIcon.h"

#include <QDirIterator>
#include <QImageReader>
#include <QPixmap>

namespace kelvo {

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

} // namespace kelvo

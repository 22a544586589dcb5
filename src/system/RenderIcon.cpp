// Renders the program's SVG icon into the PNG sizes of the hicolor theme:
// render-icon SVG OUTDIR SIZE... writes OUTDIR/SIZExSIZE/apps/kelvo.png.
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: render-icon SVG OUTDIR SIZE...\n");
        return 2;
    }
    const QIcon icon(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        const QPixmap pixmap = icon.pixmap(size, size);
        if (pixmap.isNull() || pixmap.width() != size || !out.mkpath(dir) ||
            !pixmap.save(out.filePath(dir + QStringLiteral("/kelvo.png")))) {
            std::fprintf(stderr, "render-icon: cannot render %s at %d\n", argv[1], size);
            return 1;
        }
    }
    return 0;
}

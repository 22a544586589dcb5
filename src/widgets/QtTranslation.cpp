#include "widgets/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kelvo {

// "qt" is the catalogue of all the modules' catalogues (qtbase, qtmultimedia …).
bool loadQtChinese(QCoreApplication& app, QTranslator& translator) {
    if (!translator.load(QStringLiteral("qt_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return app.installTranslator(&translator);
}

} // namespace kelvo

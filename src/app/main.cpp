#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "core/Clock.h"
#include "storage/Paths.h"
#include "system/Autorun.h"
#include "system/LinuxPower.h"
#include "system/Platform.h"
#include "system/QtShell.h"
#include "system/QtSound.h"
#include "system/QtTray.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <optional>

namespace {

// The popup places itself and stays on top, which a Wayland compositor does
// not allow a client; XWayland does.
void preferX11OnWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Qt's own texts (是/否/确定/取消 on the standard buttons) in Chinese.
void loadQtTranslation(QApplication& app, QTranslator& translator) {
    if (translator.load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

// The data directory: the executable's own, or the one given by --dir.
std::optional<QString> dataDirectory(const QApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("Keep the data files in DIR."),
                                       QStringLiteral("DIR"));
    parser.addOption(dirOption);
    parser.addHelpOption();
    parser.process(app);
    if (!parser.isSet(dirOption))
        return QCoreApplication::applicationDirPath();
    const QString dir = parser.value(dirOption);
    if (!QFileInfo(dir).isDir()) {
        kelvo::MessageBox::critical(nullptr, QStringLiteral("Kelvo"),
                                    QStringLiteral("数据目录不存在：%1").arg(dir));
        return std::nullopt;
    }
    return QDir(dir).absolutePath();
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11OnWayland();
    QApplication app(argc, argv);
    // The application title; not the display name, which X11 would append to
    // every window caption.
    QApplication::setApplicationName(QStringLiteral("Kelvo"));
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    loadQtTranslation(app, translator);

    const std::optional<QString> dir = dataDirectory(app);
    if (!dir)
        return 2;
    const kelvo::DataPaths paths{dir->toStdString()};

    kelvo::QtSound sound;
    kelvo::QtShell shell;
    kelvo::QtTray tray;
    kelvo::LinuxPower power;
    const std::unique_ptr<kelvo::Autorun> autorun = kelvo::makeSystemAutorun();
    kelvo::Platform platform{sound, shell, tray, power, *autorun};
    kelvo::SystemClock clock;

    kelvo::Dialogs dialogs(paths, platform, clock);
    kelvo::TForm1 mainWindow(paths, platform, clock, dialogs);
    QObject::connect(&mainWindow, &kelvo::TForm1::exitConfirmed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    mainWindow.show();
    return app.exec();
}

#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "clock/ShowTimeForm.h"
#include "core/Clock.h"
#include "core/UserError.h"
#include "storage/DataLocation.h"
#include "system/Autorun.h"
#include "system/Platform.h"
#include "system/ProgramIcon.h"
#include "system/linux/DeferredSound.h"
#include "system/linux/DesktopNotifications.h"
#include "system/linux/EndRequests.h"
#include "system/linux/LinuxClockWatch.h"
#include "system/linux/LinuxPower.h"
#include "system/linux/QtFileWatch.h"
#include "system/linux/QtShell.h"
#include "system/linux/QtTray.h"
#include "system/linux/SingleInstance.h"
#include "widgets/GuardedApplication.h"
#include "widgets/MessageBox.h"
#include "widgets/QtText.h"
#include "widgets/QtTranslation.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <ctime>
#include <string_view>

#include <memory>
#include <optional>

namespace {

// The popup places itself and stays on top, which a Wayland compositor does
// not allow a client; XWayland does. Without XWayland the program runs on
// Wayland itself and reminds through the desktop's notifications.
void preferX11OnWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Qt's own texts (是/否/确定/取消 on the standard buttons) in Chinese.
// The program's options; returns --dir.
QCommandLineOption addOptions(QCommandLineParser& parser) {
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("Keep the data files in DIR."),
                                       QStringLiteral("DIR"));
    parser.addOption(dirOption);
    parser.addHelpOption();
    parser.addVersionOption();
    return dirOption;
}

// --help and --version are answered before the windowing system is asked
// for, so that they work without a display; the parser ends the program.
void answerWithoutDisplay(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version") {
            QCoreApplication app(argc, argv);
            QCoreApplication::setApplicationName(kelvo::programTitle());
            QCoreApplication::setApplicationVersion(kelvo::toQString(kelvo::identity::Version));
            QCommandLineParser parser;
            addOptions(parser);
            parser.process(app);
            return;
        }
    }
}

// The data files: in the directory given by --dir, else as the core's rule
// says (beside a program marked portable, else in the user's data
// directory); the help page may also lie beside the program or in its share.
std::optional<kelvo::DataPaths> dataPaths(const QApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption dirOption = addOptions(parser);
    parser.process(app);
    std::optional<std::string> chosen;
    if (parser.isSet(dirOption)) {
        const QString dir = parser.value(dirOption);
        if (!QFileInfo(dir).isDir()) {
            kelvo::MessageBox::critical(nullptr, kelvo::programTitle(),
                                        QStringLiteral("数据目录不存在：%1").arg(dir));
            return std::nullopt;
        }
        chosen = QDir(dir).absolutePath().toStdString();
    }
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    try {
        const std::string dir = kelvo::chooseDataDirectory(chosen, kelvo::programPlace(programDir),
                                                           kelvo::userEnvironment());
        kelvo::DataPaths paths = kelvo::programDataPaths(dir, programDir);
        paths.dirGiven = chosen.has_value();
        return paths;
    } catch (const kelvo::UserError& e) {
        kelvo::MessageBox::critical(nullptr, kelvo::programTitle(),
                                    QString::fromStdString(e.what()));
        return std::nullopt;
    }
}

// With KELVO_STARTUP_REPORT set, the program prints the processor time it
// used until the list was shown and where its files are (loading the sound
// module to say where it is), then quits: how start-up is measured and how
// the package test finds the installed help page and sound module.
void reportStartupIfAsked(QApplication& app, const kelvo::DataPaths& paths,
                          kelvo::DeferredSound& sound) {
    if (qEnvironmentVariableIsEmpty("KELVO_STARTUP_REPORT"))
        return;
    QTimer::singleShot(0, &app, [&app, paths, &sound] {
        const double cpu = 1000.0 * std::clock() / CLOCKS_PER_SEC;
        std::printf(
            "data directory: %s\nhelp page: %s\nsound module: %s\nlist shown, cpu %.1f ms\n",
            paths.dir.c_str(), paths.help().c_str(), qPrintable(sound.modulePath()), cpu);
        std::fflush(stdout);
        // exit, not quit: quit would first close the window, which hides it.
        app.exit(0);
    });
}

// A later start on the same data directory brings the window up the way the
// tray's "show" command does; a window already up comes to the front.
void bringUp(kelvo::TForm1& window) {
    if (window.hiddenInTray() || window.isMinimized()) {
        window.N1Click();
        return;
    }
    window.raise();
    window.activateWindow();
}

} // namespace

int main(int argc, char* argv[]) {
    answerWithoutDisplay(argc, argv);
    preferX11OnWayland();
    kelvo::GuardedApplication app(argc, argv);
    // The application title; not the display name, which X11 would append to
    // every window caption.
    QApplication::setApplicationName(kelvo::programTitle());
    // Every window's icon and the tray's.
    QApplication::setWindowIcon(kelvo::programIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    kelvo::loadQtChinese(app, translator);

    const std::optional<kelvo::DataPaths> found = dataPaths(app);
    if (!found)
        return 2;
    const kelvo::DataPaths& paths = *found;
    // Two programs on the same files would fire every reminder twice and
    // overwrite each other's changes: a later start hands over and ends.
    kelvo::SingleInstance instance(QString::fromStdString(paths.dir));
    if (instance.start() == kelvo::SingleInstance::Start::AlreadyRunning)
        return 0;

    kelvo::DeferredSound sound(kelvo::soundModuleDirs(QCoreApplication::applicationDirPath()));
    kelvo::QtShell shell;
    kelvo::QtTray tray;
    kelvo::LinuxPower power;
    const std::unique_ptr<kelvo::Autorun> autorun = kelvo::makeSystemAutorun();
    kelvo::QtFileWatch dataFileWatch;
    kelvo::LinuxClockWatch clockWatch(QDBusConnection::systemBus());
    kelvo::DesktopNotifier notifier(QDBusConnection::sessionBus());
    kelvo::Platform platform{sound,    shell,         tray,       power,
                             *autorun, dataFileWatch, clockWatch, notifier};
    kelvo::SystemClock clock;

    kelvo::Dialogs dialogs(paths, platform, clock);
    kelvo::TForm1 mainWindow(paths, platform, clock, dialogs);
    // The one way the program ends: the event loops stop, and the windows'
    // destruction stores what the end stores (positions, the clock switch)
    // and gives up the data directory and its socket. A confirmed exit, SIGTERM, SIGHUP and
    // the end of the session all take it; exit, not quit, which would first
    // close the main window, and that only hides it.
    // An end asked for while a question of the first show is open stops that
    // question's loop; the main loop is then not entered at all.
    bool ended = false;
    const auto end = [&app, &ended, &mainWindow] {
        ended = true;
        mainWindow.endReminding();
        app.exit(0);
    };
    QObject::connect(&mainWindow, &kelvo::TForm1::exitConfirmed, &app, end, Qt::QueuedConnection);
    kelvo::EndRequests endRequests;
    QObject::connect(&endRequests, &kelvo::EndRequests::endRequested, &app, end);
    // Stored already when the session manager asks, in case it ends the
    // program harder than by the quit that follows.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainWindow,
                     [&mainWindow](QSessionManager&) {
                         kelvo::MessageBox::reportingErrors(
                             &mainWindow, [&mainWindow] { mainWindow.storeEndState(); });
                     });
    QObject::connect(&instance, &kelvo::SingleInstance::showRequested, &mainWindow,
                     [&mainWindow] { bringUp(mainWindow); });
    // kelvoctl deletes through the running program, whose snoozes move with
    // the reminders.
    instance.setDeleteHandler(
        [&mainWindow](const std::vector<int32_t>& items) { return mainWindow.deleteItems(items); });
    mainWindow.show();
    if (ended)
        return 0;
    reportStartupIfAsked(app, paths, sound);
    return app.exec();
}

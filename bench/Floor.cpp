// The floor the program's start-up, memory and idle figures are set beside:
// the least a Qt Widgets program with a window, a list and a tray icon costs.
//   kelvo_floor          shows a window with a list of 10 lines and a tray icon
//   kelvo_floor --hidden shows the window and hides it 200 ms later, leaving
//                        the tray icon and two 1-second timers, as the
//                        program does when it starts hidden in the tray
// With KELVO_STARTUP_REPORT set it prints its processor time once the window
// is shown and quits, as the program does.
#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <ctime>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const bool hidden = app.arguments().contains(QStringLiteral("--hidden"));

    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter(&pixmap).fillRect(4, 4, 14, 14, Qt::darkBlue);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.setToolTip(QStringLiteral("floor"));
    tray.show();

    QWidget window;
    auto* list = new QListWidget(&window);
    for (int i = 1; i <= 10; ++i)
        list->addItem(QStringLiteral("line %1").arg(i));
    (new QVBoxLayout(&window))->addWidget(list);
    window.resize(400, 300);
    window.show();
    if (hidden)
        QTimer::singleShot(200, &window, &QWidget::hide);

    QTimer first, second;
    first.start(1000);
    second.start(1000);
    QObject::connect(&first, &QTimer::timeout, [] {});
    QObject::connect(&second, &QTimer::timeout, [] {});

    if (!qEnvironmentVariableIsEmpty("KELVO_STARTUP_REPORT"))
        QTimer::singleShot(0, &app, [&app] {
            std::printf("list shown, cpu %.1f ms\n", 1000.0 * std::clock() / CLOCKS_PER_SEC);
            std::fflush(stdout);
            app.exit(0);
        });
    return app.exec();
}

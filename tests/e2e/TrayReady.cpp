// Exits 0 once the desktop has a system tray (a notification area that
// takes icons), 1 while it has none: the end-to-end scenarios start the
// program only when the window manager's tray is up, since the program
// without a tray keeps its window out of it.
#include <QApplication>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return QSystemTrayIcon::isSystemTrayAvailable() ? 0 : 1;
}

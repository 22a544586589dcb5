#include "support/PrivateBus.h"
#include "system/ProgramIcon.h"
#include "system/linux/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QImage>
#include <QVariantMap>
#include <QtTest>

namespace kelvo {
namespace {

// What a desktop's notification service receives.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received; // app name, icon, summary, body, timeout per call

public slots:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint, const QString& icon,
                             const QString& summary, const QString& body, const QStringList&,
                             const QVariantMap&, int timeout) {
        received << appName << icon << summary << body << QString::number(timeout);
        return 1;
    }
};

} // namespace

class DesktopIntegrationTest : public QObject {
    Q_OBJECT
private slots:
    void notificationGoesToTheDesktopServiceWhenThereIsOne() {
        test::PrivateBus bus;
        if (bus.address.isEmpty())
            QSKIP("no dbus-daemon to run a private bus");
        QDBusConnection program = bus.connect(QStringLiteral("program"));
        QVERIFY(program.isConnected());
        QVERIFY(!sendDesktopNotification(program, QStringLiteral("Kelvo"), QStringLiteral("x"), 1));

        QDBusConnection desktop = bus.connect(QStringLiteral("desktop"));
        FakeNotificationService service;
        QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                       QDBusConnection::ExportScriptableSlots));
        QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.Notifications")));

        QVERIFY(sendDesktopNotification(program, QStringLiteral("Kelvo提醒"),
                                        QStringLiteral("Kelvo软件已经运行。"), 10000));
        QTRY_COMPARE(service.received,
                     (QStringList{"Kelvo", "kelvo", "Kelvo提醒", "Kelvo软件已经运行。", "10000"}));
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
    }

    void noBusMeansNoNotification() {
        const QDBusConnection none = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/kelvo-bus"), QStringLiteral("none"));
        QVERIFY(!sendDesktopNotification(none, QStringLiteral("Kelvo"), QStringLiteral("x"), 1));
    }

    // The icon comes from the rendered sizes: drawn at every tray size, with the
    // clock face's colour in the middle and the corners left clear.
    void programIconIsDrawnAtTraySizes() {
        const QIcon icon = programIcon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 22, 48, 128}) {
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(image.pixelColor(size / 2, size * 3 / 4).name(), QStringLiteral("#fff4d6"));
            QCOMPARE(image.pixelColor(0, size - 1).alpha(), 0);
        }
    }
};

} // namespace kelvo

QTEST_MAIN(kelvo::DesktopIntegrationTest)
#include "DesktopIntegrationTest.moc"

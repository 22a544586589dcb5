#include "app/Unit1.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "support/PrivateBus.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "system/ProgramIcon.h"
#include "system/linux/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QImage>
#include <QVariantMap>
#include <QtTest>

namespace kelvo {
namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// What a desktop's notification service receives; it numbers the
// notifications from 1.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received; // app name, icon, summary, body, timeout per call
    QStringList actions;  // of the last call
    QVariantMap hints;    // of the last call

public slots:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint, const QString& icon,
                             const QString& summary, const QString& body,
                             const QStringList& actionList, const QVariantMap& hintMap,
                             int timeout) {
        received << appName << icon << summary << body << QString::number(timeout);
        actions = actionList;
        hints = hintMap;
        return static_cast<uint>(received.size() / 5);
    }
};

// The desktop's side of a private bus: the notification service, and the
// signals it sends when the user acts on a notification.
struct NotificationDesktop {
    explicit NotificationDesktop(const test::PrivateBus& bus)
        : connection(bus.connect(QStringLiteral("desktop"))) {
        connection.registerObject(kPath, &service, QDBusConnection::ExportScriptableSlots);
        connection.registerService(kInterface);
    }
    ~NotificationDesktop() { QDBusConnection::disconnectFromBus(QStringLiteral("desktop")); }
    void send(const QString& signal, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createSignal(kPath, kInterface, signal);
        message.setArguments(arguments);
        connection.send(message);
    }

    QDBusConnection connection;
    FakeNotificationService service;
};

// Sends a signal of the desktop until `done` holds: the first one may come
// before the program has the notification's number.
bool signalUntil(NotificationDesktop& desktop, const QString& signal, const QVariantList& arguments,
                 const std::function<bool()>& done) {
    for (int i = 0; i < 50 && !done(); ++i) {
        desktop.send(signal, arguments);
        QTest::qWait(100);
    }
    return done();
}

} // namespace

class DesktopIntegrationTest : public QObject {
    Q_OBJECT
private slots:
    void notificationGoesToTheDesktopServiceWhenThereIsOne() {
        test::PrivateBus bus;
        KELVO_REQUIRE_BUS(bus);
        QDBusConnection program = bus.connect(QStringLiteral("program"));
        QVERIFY(program.isConnected());
        QVERIFY(!sendDesktopNotification(program, QStringLiteral("Kelvo"), QStringLiteral("x"), 1));

        NotificationDesktop desktop(bus);
        QVERIFY(sendDesktopNotification(program, QStringLiteral("Kelvo提醒"),
                                        QStringLiteral("Kelvo软件已经运行。"), 10000));
        QTRY_COMPARE(desktop.service.received,
                     (QStringList{"Kelvo", "kelvo", "Kelvo提醒", "Kelvo软件已经运行。", "10000"}));
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    }

    // A reminder the user chose to get as a notification reaches a real
    // notification service: critical, never expiring, with its actions; what
    // the user does there reaches the reminder engine.
    void notificationAlertsGoThroughTheDesktopService() {
        test::PrivateBus bus;
        KELVO_REQUIRE_BUS(bus);
        NotificationDesktop desktop(bus);
        QDBusConnection program = bus.connect(QStringLiteral("program"));
        DesktopNotifier notifier(program);
        QVERIFY(notifier.isAvailable());

        test::TempDir dir;
        dir.write("bell.wav", "RIFF");
        ReminderItem meeting = test::item(8, 30, 0, "开会");
        meeting.music = dir.file("bell.wav");
        ReminderItem lunch = test::item(8, 31, 0, "午饭");
        lunch.music = meeting.music;
        ReminderItem dinner = test::item(8, 32, 0, "晚饭");
        test::writeItems(dir, {meeting, lunch, dinner});
        {
            TIniFile config(dir.file("Config.ini"));
            settings::NotifyAlerts.write(config, true);
            config.UpdateFile();
        }
        test::Run run(dir, true, &notifier);
        run.window->show();
        run.clock.set({test::kMonday0829.date, 8, 30});
        run.window->gtimerTimer();

        FakeNotificationService& service = desktop.service;
        QTRY_COMPARE(service.received.size(), 5);
        QCOMPARE(service.received, (QStringList{"Kelvo", "kelvo", "提醒", "开会", "0"}));
        QCOMPARE(service.hints.value("urgency").toInt(), 2);
        QCOMPARE(service.hints.value("urgency").metaType(), QMetaType::fromType<uchar>());
        QCOMPARE(service.actions, (QStringList{"snooze:5", "5分后提醒", "snooze:10", "10分后提醒",
                                               "snooze:60", "60分后提醒", "close", "关闭"}));
        QCOMPARE(run.fake.sound.played.size(), 1);

        const ReminderEngine& engine = run.window->engine();
        const int64_t now = run.clock.read().utcSeconds;
        QVERIFY(signalUntil(desktop, "ActionInvoked", {1u, "snooze:5"},
                            [&] { return !engine.snoozeQueue().empty(); }));
        QCOMPARE(engine.snoozeQueue(),
                 (std::vector<ReminderEngine::SnoozeEntry>{{now + 5 * 60, 1}}));
        QCOMPARE(run.fake.sound.stopped, 1);

        // Closed at the desktop (reason 2: by the user): over, as with 关闭.
        run.clock.set({test::kMonday0829.date, 8, 31});
        run.window->gtimerTimer();
        QTRY_COMPARE(service.received.size(), 10);
        QCOMPARE(service.received[8], "午饭");
        QVERIFY(signalUntil(desktop, "NotificationClosed", {2u, 2u},
                            [&] { return run.fake.sound.stopped == 2; }));
        QCOMPARE(engine.snoozeQueue().size(), size_t(1));

        // The service goes away with the notification: the popup comes instead.
        run.clock.set({test::kMonday0829.date, 8, 32});
        run.window->gtimerTimer();
        QTRY_COMPARE(service.received.size(), 15);
        test::PopupAnswerer answerer;
        QVERIFY(desktop.connection.unregisterService(kInterface));
        QTRY_COMPARE(answerer.messages, QStringList{"晚饭"});
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
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

    // The paused icon is the same picture in grey at two thirds of its
    // opacity: every pixel grey, the clock face a light grey, the corners
    // still clear, at every size the icon has.
    void greyedIconIsTheIconInGrey() {
        const QIcon icon = programIcon();
        const QIcon grey = greyedIcon(icon);
        QCOMPARE(grey.availableSizes(), icon.availableSizes());
        for (const QSize& size : icon.availableSizes()) {
            const QImage before =
                icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
            const QImage after = grey.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(after.size(), size);
            for (int y = 0; y < size.height(); ++y) {
                for (int x = 0; x < size.width(); ++x) {
                    const QRgb a = before.pixel(x, y);
                    const QRgb b = after.pixel(x, y);
                    QVERIFY(qAbs(qAlpha(b) - qAlpha(a) * 2 / 3) <= 1);
                    if (qAlpha(b) > 32)
                        QVERIFY(qAbs(qRed(b) - qGreen(b)) <= 2 && qAbs(qGreen(b) - qBlue(b)) <= 2);
                }
            }
            const QColor face = after.pixelColor(size.width() / 2, size.height() * 3 / 4);
            QVERIFY(qAbs(face.red() - qGray(0xfff4d6)) <= 2);
            QCOMPARE(after.pixelColor(0, size.height() - 1).alpha(), 0);
        }
    }
};

} // namespace kelvo

QTEST_MAIN(kelvo::DesktopIntegrationTest)
#include "DesktopIntegrationTest.moc"

// A desktop notification service on the session bus that shows nothing and
// appends each notification to a file, one line "summary<TAB>body" with the
// body's line ends as spaces: the end-to-end scenarios read from it what the
// program told in the tray. The file exists once the service is registered.
//
// usage: e2e_notification_log FILE
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QStringList>
#include <QVariantMap>

namespace {

class NotificationLog : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit NotificationLog(const QString& path) : m_file(path) {}

public slots:
    Q_SCRIPTABLE uint Notify(const QString&, uint, const QString&, const QString& summary,
                             const QString& body, const QStringList&, const QVariantMap&, int) {
        if (m_file.open(QIODevice::Append)) {
            QString line = summary + u'\t' + body;
            line.replace(u'\n', u' ');
            m_file.write((line + u'\n').toUtf8());
            m_file.close();
        }
        return ++m_count;
    }
    Q_SCRIPTABLE QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
    QFile m_file;
    uint m_count = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    NotificationLog log(QString::fromLocal8Bit(argv[1]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &log,
                            QDBusConnection::ExportScriptableSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications")))
        return 1;
    QFile ready(QString::fromLocal8Bit(argv[1]));
    if (!ready.open(QIODevice::Append))
        return 1;
    ready.close();
    return app.exec();
}

#include "NotificationLog.moc"

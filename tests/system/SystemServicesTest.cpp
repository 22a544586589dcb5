#include "support/TempDir.h"
#include "system/linux/DeferredSound.h"
#include "system/linux/QtShell.h"

#include <QFileInfo>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace kelvo;

namespace {

// The reason a playback failed with; empty while it has not failed.
QString failure(Playback& playback) {
    QString reason;
    playback.onFailure([&](const QString& r) { reason = r; });
    return reason;
}

// A socket listening at `path` as long as it lives, the way a sound server's does.
class ListeningSocket {
public:
    explicit ListeningSocket(const QByteArray& path) : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), path.size());
        m_listening = ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                      ::listen(m_fd, 4) == 0;
    }
    ~ListeningSocket() { ::close(m_fd); }
    bool listening() const { return m_listening; }

private:
    int m_fd;
    bool m_listening = false;
};

} // namespace

class SystemServicesTest : public QObject {
    Q_OBJECT

private slots:
    // The sound module beside the program is loaded on first use; it is
    // safe also where the machine has no audio output at all.
    void soundRefusesWhatItCannotPlay() {
        test::TempDir dir;
        const QString here = QCoreApplication::applicationDirPath();
        DeferredSound sound(soundModuleDirs(here));
        const QString missing = QString::fromStdString(dir.file("missing.wav"));
        QVERIFY(!failure(*sound.play(missing, false)).isEmpty());
        QCOMPARE(sound.modulePath(), QFileInfo(here + "/kelvo_sound.so").canonicalFilePath());
        QVERIFY(!failure(*sound.play(QString(), true)).isEmpty());
        QVERIFY(!failure(*sound.play(QString::fromStdString(dir.path()), false)).isEmpty());
        sound.beep();
        sound.beep();
    }

    // Without the module (or with a broken one) the program goes on silently.
    void missingOrBrokenModulePlaysNothing() {
        test::TempDir dir;
        dir.write("kelvo_sound.so", "not a shared object");
        const QString wav = QCoreApplication::applicationDirPath() + "/missing.wav";
        for (const std::string& place : {dir.file("nowhere"), dir.path()}) {
            DeferredSound sound({QString::fromStdString(place)});
            QCOMPARE(failure(*sound.play(wav, false)), QStringLiteral("声音模块无法加载"));
            sound.beep();
            QVERIFY(sound.modulePath().isEmpty());
        }
    }

    // A module of an older table or of another Qt is refused and never
    // asked to make its output; the next folder's module is taken instead.
    void aStaleModuleIsRefused() {
        const QString here = QCoreApplication::applicationDirPath();
        for (const QString& stale : {here + "/stale-version", here + "/stale-qt"}) {
            QVERIFY(QFileInfo::exists(stale + "/kelvo_sound.so"));
            DeferredSound alone({stale});
            QCOMPARE(failure(*alone.play(here + "/missing.wav", false)),
                     QStringLiteral("声音模块无法加载"));
            QVERIFY(alone.modulePath().isEmpty());
            DeferredSound next({stale, here});
            QCOMPARE(next.modulePath(), QFileInfo(here + "/kelvo_sound.so").canonicalFilePath());
        }
    }

    // While the session's sound server does not answer, nothing is played
    // (the sound library would give up on it for the whole run); once it
    // answers, sounds go to it.
    void soundWaitsForTheSoundServer() {
        test::TempDir dir;
        const QByteArray socket = QByteArray::fromStdString(dir.file("pulse.sock"));
        qputenv("PULSE_SERVER", "unix:" + socket);
        QVERIFY(!soundServerAnswers());
        DeferredSound sound(soundModuleDirs(QCoreApplication::applicationDirPath()));
        QCOMPARE(failure(*sound.play(QString::fromStdString(dir.file("a.wav")), false)),
                 QStringLiteral("声音服务没有运行"));
        const ListeningSocket server(socket);
        QVERIFY(server.listening());
        QVERIFY(soundServerAnswers());
        qputenv("PULSE_SERVER", "tcp:localhost");
        QVERIFY(soundServerAnswers()); // cannot be told: the sound library finds out
        qunsetenv("PULSE_SERVER");
    }

    // The words of a command line reach the program literally: quotes group
    // words, and shell characters are not interpreted.
    void commandLineStartsTheProgramWithoutAShell() {
        test::TempDir dir;
        const QString base = QString::fromStdString(dir.path());
        QtShell().runCommandLine("touch \"" + base + "/two words\" " + base + "/$HOME;x");
        QTRY_VERIFY(QFileInfo::exists(base + "/two words"));
        QTRY_VERIFY(QFileInfo::exists(base + "/$HOME;x"));
    }
};

QTEST_MAIN(SystemServicesTest)
#include "SystemServicesTest.moc"

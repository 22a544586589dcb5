#include "system/linux/DeferredSound.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace kelvo {
namespace {

const QString kModuleFile = QStringLiteral("kelvo_sound.so");

// The local socket of the session's sound server (PulseAudio, or PipeWire
// speaking its protocol); empty when it cannot be told (a network server).
QString soundServerSocket() {
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    if (server.startsWith(QStringLiteral("unix:")))
        return server.mid(5);
    if (server.startsWith(u'/'))
        return server;
    if (!server.isEmpty() || qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return {};
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native");
}

bool socketAnswers(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return true; // not one we can try: let the sound library find out
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true;
    const bool answers = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

} // namespace

bool soundServerAnswers() {
    const QString socket = soundServerSocket();
    return socket.isEmpty() || socketAnswers(socket);
}

DeferredSound::DeferredSound(QStringList moduleDirs) : m_dirs(std::move(moduleDirs)) {}

DeferredSound::~DeferredSound() = default;

QStringList soundModuleDirs(const QString& programDir) {
    return {programDir, QDir(programDir).filePath(QStringLiteral("../lib/kelvo"))};
}

Sound* DeferredSound::sound() {
    if (m_tried)
        return m_sound.get();
    m_tried = true;
    QStringList errors;
    for (const QString& dir : m_dirs) {
        const QString path = QDir(dir).filePath(kModuleFile);
        if (!QFileInfo::exists(path))
            continue;
        // The module stays loaded for the rest of the run: players it made
        // may still be playing.
        QLibrary module(path);
        using Create = Sound* (*)();
        if (auto create = reinterpret_cast<Create>(module.resolve("kelvo_create_sound"))) {
            m_sound.reset(create());
            m_path = QFileInfo(path).canonicalFilePath();
            return m_sound.get();
        }
        errors << module.errorString();
    }
    qWarning("Kelvo: no sound module %s in %s; reminders play no sound. %s",
             qPrintable(kModuleFile), qPrintable(m_dirs.join(QStringLiteral(", "))),
             qPrintable(errors.join(QStringLiteral("; "))));
    return nullptr;
}

Sound* DeferredSound::audibleSound() {
    Sound* output = sound();
    if (output && !m_serverSeen)
        m_serverSeen = soundServerAnswers();
    return m_serverSeen ? output : nullptr;
}

std::unique_ptr<Playback> DeferredSound::play(const QString& file, bool repeat) {
    if (Sound* output = audibleSound())
        return output->play(file, repeat);
    return failed(sound() ? QStringLiteral("声音服务没有运行")
                          : QStringLiteral("声音模块无法加载"));
}

void DeferredSound::beep() {
    if (Sound* output = audibleSound())
        output->beep();
    else
        QApplication::beep();
}

QString DeferredSound::modulePath() {
    sound();
    return m_path;
}

} // namespace kelvo

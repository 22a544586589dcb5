#include "system/linux/DeferredSound.h"

#include "core/Module.h"
#include "system/linux/SoundModule.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace kelvo {
namespace {

// The local socket of the session's sound server (PulseAudio, or PipeWire
// speaking its protocol); empty when it cannot be told (a network server).
QString soundServerSocket() {
    QString server = qEnvironmentVariable("PULSE_SERVER");
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
    QStringList dirs;
    for (const std::filesystem::path& dir : moduleDirs(QFile::encodeName(programDir).toStdString()))
        dirs << QFile::decodeName(QByteArray::fromStdString(dir.string()));
    return dirs;
}

Sound* DeferredSound::sound() {
    if (m_tried)
        return m_sound.get();
    m_tried = true;
    std::vector<std::filesystem::path> dirs;
    for (const QString& dir : m_dirs)
        dirs.emplace_back(QFile::encodeName(dir).toStdString());
    const LoadedModule module = loadModule(
        dirs, kSoundModuleFile, kSoundModuleEntry, kSoundModuleVersion, [](const void* table) {
            const int32_t qt = static_cast<const SoundModuleApi*>(table)->qtVersion;
            return qt == kSoundModuleQtVersion ? std::string()
                                               : "为 Qt " + std::to_string(qt >> 8) + "." +
                                                     std::to_string(qt & 0xff) + " 所建";
        });
    if (const auto* api = static_cast<const SoundModuleApi*>(module.table)) {
        m_sound.reset(api->create());
        m_path = QFileInfo(QFile::decodeName(QByteArray::fromStdString(module.path.string())))
                     .canonicalFilePath();
        if (m_sound)
            return m_sound.get();
    }
    qWarning("Kelvo: no sound module %s in %s; reminders play no sound.%s", kSoundModuleFile,
             qPrintable(m_dirs.join(QStringLiteral(", "))), module.errors.c_str());
    m_path.clear();
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

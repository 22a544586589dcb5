#include "system/linux/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kelvo {
namespace {

QString canonicalDir(const QString& dataDir) {
    const QString canonical = QFileInfo(dataDir).canonicalFilePath();
    return canonical.isEmpty() ? QDir(dataDir).absolutePath() : canonical;
}

// A short fixed-length key for the directory, usable in file and socket names.
QString directoryKey(const QString& dataDir) {
    const QByteArray hash =
        QCryptographicHash::hash(canonicalDir(dataDir).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(24));
}

// The lock must not pass to programs that Kelvo starts: a child outliving
// Kelvo would keep the directory locked.
int openLockFile(const QString& path, int flags) {
    return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
}

// The address of the socket file; false when the path does not fit.
bool socketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    return true;
}

} // namespace

DirectoryLock::DirectoryLock(const QString& dataDir) : m_dir(canonicalDir(dataDir)) {}

DirectoryLock::~DirectoryLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the only descriptor releases the lock
}

int DirectoryLock::open() {
    m_file = m_dir + QStringLiteral("/Kelvo.lock");
    int fd = openLockFile(m_file, O_RDWR | O_CREAT);
    if (fd < 0)
        fd = openLockFile(m_file, O_RDONLY); // flock needs no write access
    if (fd >= 0)
        return fd;
    const QString temporary = QDir::tempPath();
    if (temporary.isEmpty() || !QFileInfo(temporary).isDir())
        return -1;
    m_file = temporary + QStringLiteral("/kelvo-") + directoryKey(m_dir) + QStringLiteral(".lock");
    fd = openLockFile(m_file, O_RDWR | O_CREAT);
    return fd >= 0 ? fd : openLockFile(m_file, O_RDONLY);
}

bool DirectoryLock::tryLock() {
    if (m_fd >= 0)
        return true;
    const int fd = open();
    if (fd < 0)
        return true; // nowhere to lock: run unguarded rather than not at all
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_fd = fd;
        return true;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held; // a file system without locks guards nothing either
}

SingleInstance::SingleInstance(const QString& dataDir, QObject* parent)
    : QObject(parent), m_socketName(socketName(dataDir)), m_lock(dataDir) {}

SingleInstance::~SingleInstance() {
    if (m_listening < 0)
        return;
    ::close(m_listening);
    ::unlink(QFile::encodeName(m_socketName).constData());
}

QString SingleInstance::socketName(const QString& dataDir) {
    return QDir::tempPath() + QStringLiteral("/kelvo-") + directoryKey(dataDir);
}

SingleInstance::Start SingleInstance::start() {
    if (m_lock.tryLock()) {
        listen();
        return Start::First;
    }
    askRunningProgram();
    return Start::AlreadyRunning;
}

void SingleInstance::listen() {
    sockaddr_un address;
    if (!socketAddress(m_socketName, address)) {
        qWarning("Kelvo: the socket path %s is too long", qPrintable(m_socketName));
        return;
    }
    // The lock is ours, so a socket file left by a program that died is stale.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
        qWarning("Kelvo: cannot listen on %s: %s", qPrintable(m_socketName), std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listening = fd;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptRequests);
}

// Every connection is a request to show the main window; nothing else is
// asked through the socket.
void SingleInstance::acceptRequests() {
    int connection;
    while ((connection = ::accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        ::close(connection);
        emit showRequested();
    }
}

// The owner may have taken the lock a moment ago and not listen yet, so the
// connection is tried for up to five seconds.
void SingleInstance::askRunningProgram() const {
    sockaddr_un address;
    if (socketAddress(m_socketName, address)) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const bool connected =
                fd >= 0 &&
                ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
            if (fd >= 0)
                ::close(fd);
            if (connected)
                return;
            QThread::msleep(100);
        }
    }
    qWarning("Kelvo: another Kelvo holds this data directory but does not answer.");
}

} // namespace kelvo

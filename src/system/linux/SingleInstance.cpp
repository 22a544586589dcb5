#include "system/linux/SingleInstance.h"

#include "ipc/InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kelvo {
namespace {

// The longest request line heard; anything longer is no request of ours.
constexpr size_t kMaxRequest = 4096;
// How long a later start tries to reach the program that holds the lock.
constexpr auto kAskFor = std::chrono::seconds(5);

QString canonicalDir(const QString& dataDir) {
    const QString canonical = QFileInfo(dataDir).canonicalFilePath();
    return canonical.isEmpty() ? QDir(dataDir).absolutePath() : canonical;
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The lock must not pass to programs that Kelvo starts: a child outliving
// Kelvo would keep the directory locked. Only this user may open it.
int openLockFile(const std::string& path, int flags) {
    return ::open(path.c_str(), flags | O_CLOEXEC, 0600);
}

int openForLock(const std::string& path) {
    const int fd = openLockFile(path, O_RDWR | O_CREAT);
    return fd >= 0 ? fd : openLockFile(path, O_RDONLY); // flock needs no write access
}

// The address of the socket file; false when the path does not fit.
bool socketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    return true;
}

// Binds the socket with mode 0600, whatever the umask.
bool bindPrivately(int fd, const sockaddr_un& address) {
    const mode_t old = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(old);
    return bound;
}

void sendAnswer(int connection, std::string answer) {
    answer += '\n';
    // A short answer to a waiting peer; one that does not read loses it.
    (void)!::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

} // namespace

DirectoryLock::DirectoryLock(const QString& dataDir) : m_dir(canonicalDir(dataDir)) {}

DirectoryLock::~DirectoryLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the only descriptor releases the lock
}

int DirectoryLock::open() {
    m_file = m_dir + u'/' + QString::fromLatin1(channel::kDirectoryLock);
    const int fd = openForLock(localPath(m_file));
    if (fd >= 0)
        return fd;
    const auto fallback = channel::lockPath(localPath(m_dir));
    if (!fallback)
        return -1;
    m_file = QFile::decodeName(fallback->c_str());
    return openForLock(*fallback);
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

bool DirectoryLock::record(const QString& socket) const {
    return m_fd >= 0 && channel::recordSocket(m_fd, localPath(socket));
}

SingleInstance::SingleInstance(const QString& dataDir, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_socketName(socketName(dataDir)), m_lock(dataDir) {}

SingleInstance::~SingleInstance() {
    for (const auto& [connection, text] : m_pending)
        ::close(connection);
    if (m_listening < 0)
        return;
    ::close(m_listening);
    ::unlink(QFile::encodeName(m_socketName).constData());
}

QString SingleInstance::socketName(const QString& dataDir) {
    const auto path = channel::socketPath(localPath(dataDir));
    return path ? QFile::decodeName(path->c_str()) : QString();
}

SingleInstance::Start SingleInstance::start() {
    if (m_lock.tryLock()) {
        listen();
        return Start::First;
    }
    if (askRunningProgram())
        return Start::AlreadyRunning;
    qWarning("Kelvo: %s is locked, but no Kelvo of this user answers; running anyway.",
             qPrintable(m_lock.lockFile()));
    listen();
    return Start::First;
}

void SingleInstance::listen() {
    sockaddr_un address;
    if (!socketAddress(m_socketName, address)) {
        std::string why = "the path is too long";
        channel::socketPath(localPath(m_dataDir), &why);
        qWarning("Kelvo: no socket for later starts (%s); running without it.", why.c_str());
        return;
    }
    // No other program of this user answered, so a socket file there is stale.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || !bindPrivately(fd, address) || ::listen(fd, 8) != 0) {
        qWarning("Kelvo: cannot listen on %s: %s", qPrintable(m_socketName), std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listening = fd;
    m_lock.record(m_socketName);
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptRequests);
}

// Connections of other users are closed unheard.
void SingleInstance::acceptRequests() {
    int connection;
    while ((connection = ::accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >=
           0) {
        if (!channel::peerIsThisUser(connection)) {
            ::close(connection);
            continue;
        }
        m_pending[connection];
        auto* notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier, connection] {
            if (!readRequest(connection))
                return;
            notifier->setEnabled(false);
            ::close(connection);
            notifier->deleteLater();
        });
    }
}

// Reads what has come and answers a whole line; true when the connection
// is done with.
bool SingleInstance::readRequest(int connection) {
    std::string& text = m_pending[connection];
    char buf[512];
    ssize_t n;
    while ((n = ::recv(connection, buf, sizeof buf, 0)) > 0)
        text.append(buf, static_cast<size_t>(n));
    const size_t end = text.find('\n');
    const bool closed = n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR);
    if (end == std::string::npos && !closed && text.size() <= kMaxRequest)
        return false;
    const std::string request = end == std::string::npos ? std::string() : text.substr(0, end);
    m_pending.erase(connection);
    if (!request.empty())
        sendAnswer(connection, answer(request));
    return true;
}

std::string SingleInstance::answer(const std::string& request) {
    if (request == channel::kShow) {
        emit showRequested();
        return std::string(channel::kOk);
    }
    const auto items = channel::parseDeleteRequest(request);
    if (!items || !m_deleteHandler)
        return channel::errorAnswer("unknown request");
    const std::string error = m_deleteHandler(*items);
    return error.empty() ? std::string(channel::kOk) : channel::errorAnswer(error);
}

// The owner may have taken the lock a moment ago and not listen yet, so the
// connection is tried for a while.
// The socket is the one the owner wrote into the lock file, which a start
// from another environment (no XDG_RUNTIME_DIR, another TMPDIR) could not
// derive itself.
bool SingleInstance::askRunningProgram() const {
    const auto until = std::chrono::steady_clock::now() + kAskFor;
    do {
        for (const std::string& socket : channel::socketsOf(localPath(m_dataDir))) {
            // A listener of this user took the request; its answer is not awaited.
            if (channel::ask(socket, channel::kShow, 0))
                return true;
        }
        QThread::msleep(100);
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

} // namespace kelvo

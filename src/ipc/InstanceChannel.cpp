#include "ipc/InstanceChannel.h"

#include "ipc/RuntimeDir.h"
#include "storage/FileIO.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kelvo::channel {
namespace {

constexpr std::string_view kDelete = "delete";
constexpr size_t kMaxAnswer = 4096;

std::optional<std::string> runtimeFile(const std::string& dataDir, const char* suffix,
                                       std::string* why) {
    const auto dir = privateRuntimeDir(why);
    if (!dir)
        return std::nullopt;
    return *dir + "/kelvo-" + directoryKey(dataDir) + suffix;
}

int connectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        !peerIsThisUser(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The first line the peer sends, without its end; what came when it closed
// or the time ran out.
std::string readLine(int fd, int timeoutMs) {
    std::string line;
    char buf[256];
    while (line.size() < kMaxAnswer) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        line.append(buf, static_cast<size_t>(n));
        const size_t end = line.find('\n');
        if (end != std::string::npos)
            return line.substr(0, end);
    }
    return line;
}

} // namespace

std::optional<std::string> socketPath(const std::string& dataDir, std::string* why) {
    return runtimeFile(dataDir, ".socket", why);
}

std::optional<std::string> lockPath(const std::string& dataDir, std::string* why) {
    return runtimeFile(dataDir, ".lock", why);
}

bool recordSocket(int lockFd, const std::string& socket) {
    const std::string record = socket + '\n';
    return ::ftruncate(lockFd, 0) == 0 &&
           ::pwrite(lockFd, record.data(), record.size(), 0) == static_cast<ssize_t>(record.size());
}

// The name of the socket of a data directory, wherever its runtime
// directory is.
static std::string socketName(const std::string& dataDir) {
    return "kelvo-" + directoryKey(dataDir) + ".socket";
}

std::vector<std::string> socketsOf(const std::string& dataDir) {
    std::vector<std::string> sockets;
    FileStamp stamp;
    const std::string record = readWholeFile(dataDir + "/" + std::string(kDirectoryLock), stamp);
    // Only a whole record (the owner may be writing it this moment), and
    // only one of this directory: a copied data folder holds another's.
    const size_t end = record.find('\n');
    const std::string recorded = end == std::string::npos ? std::string() : record.substr(0, end);
    if (recorded.ends_with("/" + socketName(dataDir)))
        sockets.push_back(recorded);
    if (const auto own = socketPath(dataDir); own && (sockets.empty() || sockets.front() != *own))
        sockets.push_back(*own);
    return sockets;
}

bool peerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

std::string deleteRequest(const std::vector<int32_t>& items) {
    std::string line(kDelete);
    for (int32_t k : items)
        line += ' ' + std::to_string(k);
    return line;
}

std::optional<std::vector<int32_t>> parseDeleteRequest(std::string_view line) {
    if (!line.starts_with(kDelete))
        return std::nullopt;
    line.remove_prefix(kDelete.size());
    std::vector<int32_t> items;
    while (!line.empty()) {
        if (line.front() != ' ')
            return std::nullopt;
        line.remove_prefix(1);
        int32_t k = 0;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), k);
        if (ec != std::errc{} || end == line.data() || k < 1)
            return std::nullopt;
        items.push_back(k);
        line.remove_prefix(static_cast<size_t>(end - line.data()));
    }
    if (items.empty())
        return std::nullopt;
    return items;
}

std::string errorAnswer(std::string_view reason) {
    std::string answer = "error ";
    for (char c : reason)
        answer += c == '\n' || c == '\r' ? ' ' : c;
    return answer;
}

std::optional<std::string> ask(const std::string& socket, std::string_view request, int timeoutMs) {
    const int fd = connectTo(socket);
    if (fd < 0)
        return std::nullopt;
    std::string line(request);
    line += '\n';
    std::optional<std::string> answer;
    if (sendAll(fd, line))
        answer = readLine(fd, timeoutMs);
    ::close(fd);
    return answer;
}

bool listening(const std::string& socket) {
    const int fd = connectTo(socket);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace kelvo::channel

#include "storage/FileLock.h"

#include "storage/FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kelvo {
namespace {

// Programs that the holder starts must not inherit the lock.
int openLockFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // flock needs no write access: a lock file that another user made (root
    // changing a user's files, say) is locked through a read-only descriptor.
    return fd >= 0 ? fd : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

bool tryLock(int fd) {
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

FileLock::FileLock(const std::string& file, std::chrono::milliseconds wait)
    : m_path(lockFileOf(file)) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!lockOnce()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool FileLock::lockOnce() {
    // A lock file that was removed or replaced after it was opened is
    // opened again at once: another writer may hold the one at the path now.
    for (int opened = 0; opened < 8; ++opened) {
        m_fd = openLockFile(m_path);
        if (m_fd < 0)
            return m_acquired = true;
        if (!tryLock(m_fd)) {
            // A file system without locks guards nothing, and stops nothing.
            m_acquired = errno != EWOULDBLOCK;
            if (!m_acquired) {
                ::close(m_fd);
                m_fd = -1;
            }
            return m_acquired;
        }
        if (stillGuards())
            return m_acquired = true;
        ::close(m_fd);
        m_fd = -1;
    }
    return false;
}

bool FileLock::stillGuards() const {
    if (m_fd < 0)
        return true;
    struct stat locked {
    }, atPath{};
    return ::fstat(m_fd, &locked) == 0 && ::stat(m_path.c_str(), &atPath) == 0 &&
           locked.st_dev == atPath.st_dev && locked.st_ino == atPath.st_ino;
}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the only descriptor releases the lock
}

std::string FileLock::lockFileOf(const std::string& file) {
    const std::filesystem::path target(linkTarget(file));
    return (target.parent_path() / ("." + target.filename().string() + ".lock")).string();
}

} // namespace kelvo

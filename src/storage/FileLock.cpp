#include "storage/FileLock.h"

#include "storage/FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
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

FileLock::FileLock(const std::string& file, std::chrono::milliseconds wait) {
    m_fd = openLockFile(lockFileOf(file));
    if (m_fd < 0) {
        m_acquired = true;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!(m_acquired = tryLock(m_fd))) {
        // A file system without locks guards nothing, and stops nothing.
        if (errno != EWOULDBLOCK) {
            m_acquired = true;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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

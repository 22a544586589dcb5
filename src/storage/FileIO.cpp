#include "storage/FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {
namespace {

FileStamp stampFrom(const struct stat& st) {
    const auto ns = [](const timespec& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
    return FileStamp{true,
                     static_cast<uint64_t>(st.st_dev),
                     static_cast<uint64_t>(st.st_ino),
                     static_cast<uint64_t>(st.st_size),
                     ns(st.st_mtim),
                     ns(st.st_ctim)};
}

// Closes the descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting the error that a delayed write may only show here.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

// Creates a new, empty temporary file beside `path`; returns its name.
std::string createTemporary(const std::string& path, int& fd) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path p(path);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = (p.parent_path() / ("." + p.filename().string() + ".tmp" +
                                                     std::to_string(random() % 1'000'000'000)))
                                     .string();
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return name;
    }
    return {};
}

bool writeTemporary(const std::string& path, int rawFd, const std::string& bytes) {
    Fd fd(rawFd);
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(fd.get(), old.st_mode & 07777) != 0)
        return false;
    return writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.close();
}

void syncDirectory(const std::string& path) {
    // Makes the rename itself durable. Not every file system can sync a
    // directory; the new content is in place either way.
    Fd dir(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? stampFrom(st) : FileStamp{};
}

std::string readWholeFile(const std::string& path, FileStamp& stamp) {
    stamp = FileStamp{};
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
        return {};
    stamp = stampFrom(st);
    if (!S_ISREG(st.st_mode))
        return {};
    // One spare byte: a file that grew while being read fills it.
    std::string bytes(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes) {
    int fd = -1;
    const std::string temporary = createTemporary(path, fd);
    if (fd < 0)
        return false;
    if (!writeTemporary(path, fd, bytes) || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectory(path);
    return true;
}

} // namespace kelvo

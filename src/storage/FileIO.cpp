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

// A name for a temporary file beside `path` that no file has yet.
std::string temporaryName(const std::string& path) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path p(path);
    return (p.parent_path() /
            ("." + p.filename().string() + ".tmp" + std::to_string(random() % 1'000'000'000)))
        .string();
}

// Gives a new file the old file's owner and permissions. Only root may give
// a file to another user; a file system without owners keeps its own.
bool keepOwnerAndMode(const std::string& path, int fd) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return true;
    if (::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM)
        return false;
    // After the owner: a change of owner clears the set-user-ID bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Gives a new file the old file's owner and permissions and the bytes,
// flushed to disk.
bool fill(const std::string& path, int fd, const std::string& bytes) {
    return keepOwnerAndMode(path, fd) && writeAll(fd, bytes) && ::fsync(fd) == 0;
}

ReadFailure failureOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return ReadFailure::NoPermission;
    case EISDIR:
        return ReadFailure::Directory;
    default:
        return ReadFailure::Error;
    }
}

ReadFailure failureOfType(mode_t mode) {
    if (S_ISREG(mode))
        return ReadFailure::None;
    return S_ISDIR(mode) ? ReadFailure::Directory : ReadFailure::NotRegular;
}

// Reads to the end; false on a read error.
bool readAll(int fd, size_t expected, std::string& bytes) {
    // One spare byte: a file that grew while being read fills it.
    bytes.assign(expected + 1, '\0');
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return true;
}

// Writes the bytes into a file without a name and names it only once it is
// complete on disk, so a process killed while writing leaves nothing behind.
// Returns the name; empty when the file system has no unnamed files or a
// step failed.
std::string writeUnnamed(const std::string& path, const std::string& bytes) {
    Fd fd(::open(directoryOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0 || !fill(path, fd.get(), bytes))
        return {};
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = temporaryName(path);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (fd.close())
                return name;
            ::unlink(name.c_str());
            return {};
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

// Writes the bytes into a new temporary file beside `path`; returns its name,
// or empty (and no file left) when a step fails.
std::string writeNamed(const std::string& path, const std::string& bytes) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = temporaryName(path);
        Fd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno == EEXIST)
            continue;
        if (fd.get() < 0)
            return {};
        if (fill(path, fd.get(), bytes) && fd.close())
            return name;
        ::unlink(name.c_str());
        return {};
    }
    return {};
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

std::string readWholeFile(const std::string& path, FileStamp& stamp, ReadFailure* failure) {
    ReadFailure ignored;
    ReadFailure& why = failure ? *failure : ignored;
    stamp = FileStamp{};
    why = ReadFailure::None;
    // Without O_NONBLOCK, opening a named pipe would wait for a writer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT)
            why = failureOf(errno);
        stamp = stampOf(path);
        return {};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        why = failureOf(errno);
        return {};
    }
    stamp = stampFrom(st);
    why = failureOfType(st.st_mode);
    std::string bytes;
    if (why == ReadFailure::None && !readAll(fd.get(), static_cast<size_t>(st.st_size), bytes))
        why = failureOf(errno);
    return why == ReadFailure::None ? bytes : std::string();
}

std::string linkTarget(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path current(path);
    // As many links as the system follows itself; a longer chain is left for
    // the system to refuse.
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string file = linkTarget(path);
    // A file marked read-only keeps its content, though the rename would be
    // allowed by its directory: the user protected the file, not the folder.
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return false;
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL; // for the caller's message
        return false;
    }
    std::string temporary = writeUnnamed(file, bytes);
    if (temporary.empty())
        temporary = writeNamed(file, bytes);
    if (temporary.empty())
        return false;
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectory(file);
    return true;
}

} // namespace kelvo

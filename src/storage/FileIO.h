#pragma once

#include <cstdint>
#include <string>

namespace kelvo {

// What identifies one version of a file on disk: a file replaced by a
// rename gets a new inode, one rewritten in place a new size or time.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path);

// Why a file that exists could not be read.
enum class ReadFailure {
    None,         // read, or missing
    NoPermission, // the user may not read it
    Directory,    // a directory stands at the path
    NotRegular,   // a named pipe, socket or device
    Error,        // another error of the system (a loop of links, an I/O error)
};

// The whole content of a regular file; empty when it is missing or cannot be
// read. `stamp` receives the identity of what was read, `failure` (when
// given) why an existing file gave nothing. A named pipe is never waited on.
std::string readWholeFile(const std::string& path, FileStamp& stamp,
                          ReadFailure* failure = nullptr);

// The file a path stands for once symbolic links are followed, also when the
// last link points to a file that does not exist yet; the path itself when it
// is no link.
std::string linkTarget(const std::string& path);

// Replaces the file with `bytes` so that a crash leaves either the old or the
// new content: a temporary file in the same directory is written, flushed to
// disk and renamed over the old one, then the directory is flushed. A path
// that is a symbolic link stays one: the file it points to is replaced, in
// that file's directory. The old file's permissions are kept, and its owner
// when the program runs as root. Returns false (and leaves the old file and
// no temporary file) when any step fails or the file may not be written (a
// read-only file is not replaced, whatever its directory allows; nor is
// anything but a regular file).
bool replaceFileAtomically(const std::string& path, const std::string& bytes);

} // namespace kelvo

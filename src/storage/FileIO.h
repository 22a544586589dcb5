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

// The whole content of a regular file; empty when it is missing or cannot be
// read. `stamp` receives the identity of what was read.
std::string readWholeFile(const std::string& path, FileStamp& stamp);

// Replaces the file with `bytes` so that a crash leaves either the old or the
// new content: a temporary file in the same directory is written, flushed to
// disk and renamed over the old one, then the directory is flushed. The old
// file's permissions are kept. Returns false (and leaves the old file and no
// temporary file) when any step fails or the file may not be written (a
// read-only file is not replaced, whatever its directory allows).
bool replaceFileAtomically(const std::string& path, const std::string& bytes);

} // namespace kelvo

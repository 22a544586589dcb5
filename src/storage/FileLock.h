#pragma once

#include <chrono>
#include <string>

namespace kelvo {

// An exclusive advisory lock (flock) on the lock file of one file, held while
// the object lives, so that the programs that change the file do so one at a
// time. The kernel drops it when the process ends, however it ends.
class FileLock {
public:
    // Takes the lock of `file`, waiting at most `wait` while another holds
    // it; `acquired()` tells whether it got it. Where no lock file can be
    // opened (a directory nobody may write to, which no change can be stored
    // in either) the object holds nothing and counts as acquired.
    FileLock(const std::string& file, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool acquired() const { return m_acquired; }

    // Whether the lock still guards the file: the lock file at its path is
    // still the one locked (same device and inode). A user who removes the
    // lock file while a change waits, or a program that replaces it, leaves
    // the lock on a file that nobody else will lock again; the change must
    // then be done again under the new one. True where nothing is locked.
    bool stillGuards() const;

    // The lock file of a file: a hidden file beside the file it guards (beside
    // the target of a symbolic link), e.g. ".DataFile.dat.lock".
    static std::string lockFileOf(const std::string& file);

private:
    // Opens the lock file and tries to lock it once; true when it is locked
    // (or cannot be), with m_fd left open.
    bool lockOnce();

    std::string m_path; // the lock file
    int m_fd = -1;
    bool m_acquired = false;
};

} // namespace kelvo

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

    // The lock file of a file: a hidden file beside the file it guards (beside
    // the target of a symbolic link), e.g. ".DataFile.dat.lock".
    static std::string lockFileOf(const std::string& file);

private:
    int m_fd = -1;
    bool m_acquired = false;
};

} // namespace kelvo

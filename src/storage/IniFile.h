#pragma once

#include "core/UserError.h"
#include "storage/FileIO.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo {

// A change to a profile file could not be stored; the file on disk is left
// exactly as it was. The text names the file and says why, in Chinese: it
// may not be written ("无法写入 <path>：<reason>", then the profile layer's
// own "Unable to write to <path>"; systemError() is the system's error
// number), it cannot be read (so it is not written over), or another
// program kept it locked.
class IniWriteError : public UserError {
public:
    enum class Reason {
        Unwritable, // the file or its directory may not be written, the disk is full
        Unreadable, // the file exists but cannot be read: storing would lose it
        Busy,       // another program kept the file's lock for the whole wait
    };
    // `error`: the system's error number of the failed write.
    IniWriteError(const std::string& path, int error);
    IniWriteError(const std::string& path, ReadFailure failure);
    static IniWriteError busy(const std::string& path);

    Reason reason() const { return m_reason; }
    ReadFailure readFailure() const { return m_failure; }
    int systemError() const { return m_error; }

private:
    IniWriteError(const std::string& path, Reason reason, ReadFailure failure, int error,
                  const std::string& message);

    Reason m_reason;
    ReadFailure m_failure;
    int m_error;
};

// How long a change waits for the lock that another program holds.
inline constexpr std::chrono::seconds kLockWait{5};
// The wait of the changes of this process: kLockWait unless set otherwise
// (a test that need not wait for seconds); returns the wait before.
std::chrono::milliseconds lockWait();
std::chrono::milliseconds setLockWait(std::chrono::milliseconds wait);

class IniView;
class IniSectionReader;

// Typed access to an INI-syntax file by section and key.
//
// All TIniFile objects on one path in the process share one view of the
// file, so a value written through one is read back through any other at
// once. Section and key names are matched without regard to ASCII case.
// Texts cross this interface as UTF-8; on disk they are GB18030 (byte for
// byte GBK for every GBK character). A file another editor saved as UTF-8
// is read as such and written back in GB18030 (see isUtf8File). Changes
// reach the disk at UpdateFile() (or destruction) in one atomic replacement
// of the file.
class TIniFile {
public:
    // Binds to the path; never touches the disk and never fails.
    explicit TIniFile(const std::string& path);
    // Stores pending changes. A failure here cannot be reported: it is
    // written to stderr and the pending changes are dropped.
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& path() const;

    // The value, or the default when the file, section or key is missing.
    // Values longer than 2047 bytes (in the file's encoding) are cut.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Makes every change so far durable. Throws IniWriteError when it cannot;
    // the file on disk then stays as it was and the view returns to it. A
    // file that exists but cannot be read is never written over.
    void UpdateFile();

    // One change by one writer at a time: takes the file's lock (waiting at
    // most `wait` while another program holds it), reads the file as it is
    // on disk now, runs `change` (which reads and writes through this object)
    // and stores the result before the lock is let go. Changes made before
    // and not yet stored are stored with it. Throws IniWriteError (Busy when
    // the lock stayed taken; nothing is written then); when `change` throws,
    // its writes are dropped. When the lock file was removed or replaced
    // while `change` ran, the lock kept nobody out: `change` runs again under
    // the lock at the path, on the file as it is then.
    void changeLocked(const std::function<void()>& change,
                      std::chrono::milliseconds wait = lockWait());

    // Why the file, which exists, gave nothing when it was read.
    ReadFailure readFailure() const;
    // The identity of the file version the view holds (as read or stored).
    FileStamp stamp() const;

    // Frees the parsed copy of the file that all objects on the path share,
    // unless it holds changes not yet stored; the next read reads the file
    // again. For a program that keeps a large file open while it waits.
    void releaseContent();

    // Number of sections in the file; lets readers bound counts that a
    // damaged file may overstate.
    int sectionCount() const;

    bool hasSection(std::string_view name) const;

    // Reads of several keys of one section, which is looked up only once.
    // The reader must not outlive this object.
    IniSectionReader section(std::string_view name) const;
    // The section names in file order (a name that occurs twice is listed
    // twice); lets readers find the sections that a damaged count overstates.
    std::vector<std::string> sectionNames() const;
    // The keys of a section and their values as ReadString gives them, in
    // file order, each key once; empty when the section is missing.
    std::vector<std::pair<std::string, std::string>> sectionEntries(std::string_view name) const;

private:
    std::shared_ptr<IniView> m_view;
};

// The reads of TIniFile for the keys of one section, with the same results.
// Readers of whole records use it to find the section once rather than at
// every key. Writes to the file in between are seen, as through TIniFile.
class IniSectionReader {
public:
    std::string ReadString(std::string_view key, std::string_view def) const;
    int32_t ReadInteger(std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view key, bool def) const;

private:
    friend class TIniFile;
    IniSectionReader(IniView& view, std::string_view section);
    std::optional<std::string_view> find(std::string_view key) const;

    IniView& m_view;
    std::string m_section; // in the file encoding
    // The section's number in the view, found again after any change.
    mutable uint32_t m_number = 0;
    mutable uint64_t m_seenChange = 0;
};

// Throws UserError "无法读取 <path>：<why>" when the file exists
// but cannot be read, so that a reader can tell it from an empty one.
void requireReadable(const TIniFile& file);

// Integer syntax of profile files: optional leading spaces, an optional sign,
// then decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X",
// running to the end of the text. Hexadecimal may use all 32 bits (two's
// complement); decimal must fit in 32 bits. False when the text is none;
// the readers use this form, as an optional returned from a call cost a
// store-forwarding stall per read.
bool parseIniInteger(std::string_view text, int32_t& result);

// The same, nullopt when the text is none.
inline std::optional<int32_t> parseIniInteger(std::string_view text) {
    int32_t result = 0;
    return parseIniInteger(text, result) ? std::optional(result) : std::nullopt;
}

} // namespace kelvo

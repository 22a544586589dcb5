#include "storage/IniFile.h"
#include "storage/ValueLimit.h"

#include "core/SystemError.h"
#include "storage/FileIO.h"
#include "storage/FileLock.h"
#include "storage/IniDocument.h"
#include "storage/TextCodec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <unordered_map>

namespace kelvo {

// The one in-memory view of a file that every TIniFile on its path shares.
// It reads the file on first use and keeps changes until store().
class IniView {
public:
    explicit IniView(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // A view without pending changes forgets a content that another process
    // has replaced since it was read; the next access reads the file again.
    void dropIfChangedOnDisk() {
        if (m_loaded && !m_dirty && stampOf(m_path) != m_stamp)
            m_loaded = false;
    }

    const IniDocument& document() {
        if (!m_loaded) {
            // A file saved as UTF-8 by another editor is held, and
            // written back, in the file encoding.
            parse(toFileEncoding(readWholeFile(m_path, m_stamp, &m_failure)));
            m_loaded = true;
        }
        return m_document;
    }

    ReadFailure readFailure() {
        document();
        return m_failure;
    }

    FileStamp stamp() {
        document();
        return m_stamp;
    }

    // Forgets changes not yet stored; the next access reads the file again.
    void discard() {
        m_dirty = false;
        m_loaded = false;
    }

    // Frees the in-memory copy when it holds no pending change; the next
    // access reads the file again.
    void release() {
        if (!m_loaded || m_dirty)
            return;
        IniDocument freed; // assigning an empty one would keep the text buffer
        std::swap(m_document, freed);
        m_loaded = false;
        ++m_changes;
    }

    // Counts the parses and the writes, so that a section reader knows when
    // the number of its section has to be looked up again.
    uint64_t changes() const { return m_changes; }

    void set(std::string_view section, std::string_view key, std::string_view value) {
        // The first change since the last store starts from the file as it
        // is: a long-held copy would write over another program's change.
        dropIfChangedOnDisk();
        document();
        ++m_changes;
        if (m_document.set(section, key, value))
            m_dirty = true;
    }

    void store() {
        if (!m_dirty)
            return;
        m_dirty = false;
        if (m_failure != ReadFailure::None) {
            m_loaded = false;
            throw IniWriteError(m_path, m_failure);
        }
        std::string bytes = m_document.serialize();
        if (!replaceFileAtomically(m_path, bytes)) {
            m_loaded = false; // back to what the disk holds
            throw IniWriteError(m_path, errno);
        }
        // Parsing what was written frees the texts of replaced values; until
        // they add up, the views into them stay as good as the new file.
        if (m_document.holdsMuchReplacedText())
            parse(std::move(bytes));
        m_stamp = stampOf(m_path);
    }

private:
    void parse(std::string bytes) {
        m_document.parse(std::move(bytes));
        ++m_changes;
    }

    std::string m_path;
    IniDocument m_document;
    uint64_t m_changes = 0;
    FileStamp m_stamp;
    ReadFailure m_failure = ReadFailure::None;
    bool m_loaded = false;
    bool m_dirty = false;
};

namespace {

// The shared view of a path: the live one, or a new one when no TIniFile
// holds the path at the moment.
std::shared_ptr<IniView> viewOf(const std::string& path) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::weak_ptr<IniView>> views;
    std::error_code ec;
    std::string key = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec)
        key = path;
    const std::lock_guard lock(mutex);
    if (auto view = views[key].lock()) {
        view->dropIfChangedOnDisk();
        return view;
    }
    std::erase_if(views, [](const auto& entry) { return entry.second.expired(); });
    auto view = std::make_shared<IniView>(key);
    views[key] = view;
    return view;
}

// Length of the GB18030 character starting at `i`: one byte (ASCII and the
// euro byte 0x80), four (a second byte 0x30 … 0x39) or two.
size_t characterLength(std::string_view bytes, size_t i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x81 || b == 0xFF || i + 1 >= bytes.size())
        return 1;
    const auto next = static_cast<unsigned char>(bytes[i + 1]);
    return next >= 0x30 && next <= 0x39 ? 4 : 2;
}

// A value cut to the read limit, without a half character at its end.
std::string_view cutToReadLimit(std::string_view value) {
    if (value.size() <= kMaxValueBytes)
        return value;
    size_t end = 0;
    for (size_t len = 0; (len = characterLength(value, end)) + end <= kMaxValueBytes;)
        end += len;
    return value.substr(0, end);
}

bool isPlainLine(std::string_view text) {
    return isAsciiText(text) &&
           std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
}

// A name or value in the file encoding, kept to one line: a line break
// inside a value would otherwise split it into lines of their own. Plain
// one-line ASCII (nearly every name and value) is used as it is.
class FileText {
public:
    explicit FileText(std::string_view utf8) : m_text(utf8) {
        if (isPlainLine(utf8))
            return;
        m_owned = encodeFileText(utf8);
        std::replace_if(
            m_owned.begin(), m_owned.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        m_text = m_owned;
    }
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;
    operator std::string_view() const { return m_text; }

private:
    std::string_view m_text;
    std::string m_owned;
};

std::optional<std::string_view> findRaw(IniView& view, std::string_view section,
                                        std::string_view key) {
    const auto value = view.document().find(FileText(section), FileText(key));
    if (!value)
        return std::nullopt;
    return cutToReadLimit(*value);
}

std::string decodeValue(const std::optional<std::string_view>& value, std::string_view def) {
    return value ? decodeFileText(*value) : std::string(def);
}

int32_t integerValue(const std::optional<std::string_view>& value, int32_t def) {
    int32_t result = 0;
    return value && parseIniInteger(*value, result) ? result : def;
}

// Why a file that exists gave nothing, in the user's language.
std::string readFailureText(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::NoPermission:
        return "没有读取它的权限";
    case ReadFailure::Directory:
        return "它是一个文件夹";
    case ReadFailure::NotRegular:
        return "它不是普通文件（例如是命名管道）";
    default:
        return "系统报告了读取错误";
    }
}

std::string unreadableText(const std::string& path, ReadFailure failure) {
    return "无法读取 " + path + "：" + readFailureText(failure);
}

} // namespace

IniWriteError::IniWriteError(const std::string& path, Reason reason, ReadFailure failure, int error,
                             const std::string& message)
    : UserError(path, message), m_reason(reason), m_failure(failure), m_error(error) {}

IniWriteError::IniWriteError(const std::string& path, int error)
    : IniWriteError(path, Reason::Unwritable, ReadFailure::None, error,
                    cannotWriteText(path, error) + "。\n\nUnable to write to " + path) {}

IniWriteError::IniWriteError(const std::string& path, ReadFailure failure)
    : IniWriteError(path, Reason::Unreadable, failure, 0,
                    unreadableText(path, failure) +
                        "。\n为了不覆盖其中的内容，Kelvo 不会写入这个文件，这次的修改没有保存。") {}

namespace {
std::atomic<std::chrono::milliseconds::rep> g_lockWaitMs{
    std::chrono::milliseconds(kLockWait).count()};
} // namespace

std::chrono::milliseconds lockWait() {
    return std::chrono::milliseconds(g_lockWaitMs.load());
}

std::chrono::milliseconds setLockWait(std::chrono::milliseconds wait) {
    return std::chrono::milliseconds(g_lockWaitMs.exchange(wait.count()));
}

IniWriteError IniWriteError::busy(const std::string& path) {
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(lockWait()).count();
    return IniWriteError(path, Reason::Busy, ReadFailure::None, 0,
                         "另一个程序正在修改 " + path + "，等了 " + std::to_string(seconds) +
                             " 秒仍未结束。\n这次的修改没有保存，请稍后再试。");
}

TIniFile::TIniFile(const std::string& path) : m_view(viewOf(path)) {}

TIniFile::~TIniFile() {
    try {
        m_view->store();
    } catch (const IniWriteError& e) {
        std::cerr << e.what() << '\n';
    }
}

const std::string& TIniFile::path() const {
    return m_view->path();
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    return decodeValue(findRaw(*m_view, section, key), def);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    return integerValue(findRaw(*m_view, section, key), def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    m_view->set(FileText(section), FileText(key), FileText(value));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::UpdateFile() {
    m_view->store();
}

void TIniFile::changeLocked(const std::function<void()>& change, std::chrono::milliseconds wait) {
    // A lock file removed or replaced while the change ran no longer kept
    // others out: the change is made again, on the file as it is now.
    constexpr int kAttempts = 8;
    for (int attempt = 1;; ++attempt) {
        const FileLock lock(path(), wait);
        if (!lock.acquired())
            throw IniWriteError::busy(path());
        m_view->release();
        try {
            change();
            if (!lock.stillGuards() && attempt < kAttempts) {
                m_view->discard();
                continue;
            }
            m_view->store();
            return;
        } catch (...) {
            m_view->discard();
            throw;
        }
    }
}

ReadFailure TIniFile::readFailure() const {
    return m_view->readFailure();
}

FileStamp TIniFile::stamp() const {
    return m_view->stamp();
}

void requireReadable(const TIniFile& file) {
    const ReadFailure failure = file.readFailure();
    if (failure != ReadFailure::None)
        throw UserError(file.path(), unreadableText(file.path(), failure));
}

void TIniFile::releaseContent() {
    m_view->release();
}

int TIniFile::sectionCount() const {
    return m_view->document().sectionCount();
}

bool TIniFile::hasSection(std::string_view name) const {
    return m_view->document().sectionNumber(FileText(name)) != IniDocument::kNoSection;
}

IniSectionReader TIniFile::section(std::string_view name) const {
    return IniSectionReader(*m_view, name);
}

IniSectionReader::IniSectionReader(IniView& view, std::string_view section)
    : m_view(view), m_section(FileText(section)) {}

std::optional<std::string_view> IniSectionReader::find(std::string_view key) const {
    const IniDocument& document = m_view.document();
    if (m_seenChange != m_view.changes()) { // a parse makes it at least 1
        m_number = document.sectionNumber(m_section);
        m_seenChange = m_view.changes();
    }
    if (m_number == IniDocument::kNoSection)
        return std::nullopt;
    const auto value = document.find(m_number, FileText(key));
    if (!value)
        return std::nullopt;
    return cutToReadLimit(*value);
}

std::string IniSectionReader::ReadString(std::string_view key, std::string_view def) const {
    return decodeValue(find(key), def);
}

int32_t IniSectionReader::ReadInteger(std::string_view key, int32_t def) const {
    return integerValue(find(key), def);
}

bool IniSectionReader::ReadBool(std::string_view key, bool def) const {
    return ReadInteger(key, def ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::sectionNames() const {
    std::vector<std::string> names;
    for (std::string_view name : m_view->document().sectionNames())
        names.push_back(decodeFileText(name));
    return names;
}

std::vector<std::pair<std::string, std::string>>
TIniFile::sectionEntries(std::string_view name) const {
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto& [key, value] : m_view->document().entries(FileText(name)))
        result.emplace_back(decodeFileText(key), decodeFileText(cutToReadLimit(value)));
    return result;
}

} // namespace kelvo

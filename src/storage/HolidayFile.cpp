#include "storage/HolidayFile.h"

#include "reminders/HolidayText.h"
#include "storage/FileIO.h"
#include "storage/FileLock.h"
#include "storage/IniFile.h"
#include "storage/TextCodec.h"

#include <cerrno>
#include <map>

namespace kelvo {
namespace {

// A file larger than this is no holiday file: it is not read.
constexpr size_t kLargestFile = 1 << 20;

constexpr const char* kFileHeader = "# Kelvo 导入的节假日安排，每年一节，优先于内置的安排。\n";

// The file's text, or why it cannot be had.
std::string readText(const std::string& path, OwnHolidays& result) {
    FileStamp stamp;
    ReadFailure failure = ReadFailure::None;
    std::string bytes = readWholeFile(path, stamp, &failure);
    if (failure != ReadFailure::None)
        result.error = "无法读取 " + path;
    else if (bytes.size() > kLargestFile)
        result.error = path + " 太大";
    return result.error.empty() ? decodeFile(std::move(bytes)) : std::string();
}

} // namespace

OwnHolidays readOwnHolidays(const std::string& path) {
    OwnHolidays own;
    const std::string text = readText(path, own);
    if (!own.error.empty())
        return own;
    HolidayRead read = readHolidayText(text, path);
    if (!read.error.empty()) {
        own.error = path + " " + read.error;
        return own;
    }
    own.years = std::move(read.years);
    return own;
}

void storeOwnHolidays(const std::string& path, const std::vector<YearArrangement>& years) {
    const FileLock lock(path, lockWait());
    if (!lock.acquired())
        throw IniWriteError::busy(path);
    const OwnHolidays own = readOwnHolidays(path);
    if (!own.error.empty())
        throw IniWriteError(path, ReadFailure::Error);
    std::map<int32_t, const YearArrangement*> merged;
    for (const YearArrangement& y : own.years)
        merged[y.year] = &y;
    for (const YearArrangement& y : years)
        merged[y.year] = &y;
    std::string text = kFileHeader;
    for (const auto& [number, year] : merged)
        text += "\n" + holidayLines(*year);
    if (!replaceFileAtomically(path, encodeFileText(text)))
        throw IniWriteError(path, errno);
}

std::string loadHolidayCalendar(const std::string& path) {
    const OwnHolidays own = readOwnHolidays(path);
    useHolidayCalendar(withOwnYears(own.years));
    return own.error;
}

} // namespace kelvo

#include "ical/HolidayImport.h"

#include "core/UserError.h"
#include "ical/CalendarEvent.h"
#include "ical/CalendarFile.h"
#include "ical/IcalModule.h"
#include "storage/FileIO.h"
#include "storage/HolidayFile.h"
#include "storage/TextCodec.h"

#include <array>
#include <ctime>
#include <optional>

namespace kelvo {
namespace {

// A text form file larger than this is none.
constexpr size_t kMostTextBytes = size_t{1} << 20;

struct TitleMark {
    std::string_view text;
    bool atEnd; // a suffix; else a prefix
    OfficialDay kind;
};
// Of the published holiday calendars: "春节(休)", "国庆节（班）", "春节假期",
// "劳动节放假", "上班(补春节假期)", "补班".
constexpr std::array<TitleMark, 10> kTitleMarks = {{
    {"(休)", true, OfficialDay::Off},
    {"（休）", true, OfficialDay::Off},
    {" 休", true, OfficialDay::Off},
    {"假期", true, OfficialDay::Off},
    {"放假", true, OfficialDay::Off},
    {"(班)", true, OfficialDay::Work},
    {"（班）", true, OfficialDay::Work},
    {" 班", true, OfficialDay::Work},
    {"上班", false, OfficialDay::Work},
    {"补班", false, OfficialDay::Work},
}};

std::optional<OfficialDay> specialDayOf(const CalendarEvent& event) {
    for (const auto& [name, value] : event.properties) {
        if (name != icalprops::SpecialDay)
            continue;
        if (value == "WORK-HOLIDAY")
            return OfficialDay::Off;
        if (value == "ALTERNATE-WORKDAY")
            return OfficialDay::Work;
    }
    return std::nullopt;
}

// The holiday's name of a marked title: "上班(补春节假期)" is 春节's.
std::string nameOf(std::string_view title) {
    for (const std::string_view wrap : {"(补", "（补"}) {
        if (const size_t at = title.find(wrap); at != std::string_view::npos)
            title = title.substr(at + wrap.size());
    }
    for (const std::string_view end : {")", "）", "假期"}) {
        if (title.ends_with(end))
            title.remove_suffix(end.size());
    }
    return std::string(title);
}

// What the title says of the days, and the holiday's name in it.
std::optional<OfficialDay> titleKind(std::string_view title, std::string& name) {
    const std::optional<OfficialDay> plain = parseOfficialDayMark(title);
    if (plain)
        return plain;
    for (const TitleMark& m : kTitleMarks) {
        if (m.atEnd ? title.ends_with(m.text) : title.starts_with(m.text)) {
            name = nameOf(m.atEnd ? title.substr(0, title.size() - m.text.size())
                                  : title.substr(m.text.size()));
            return m.kind;
        }
    }
    return std::nullopt;
}

std::string readTextFile(const std::string& path, std::string& error) {
    FileStamp stamp;
    ReadFailure failure = ReadFailure::None;
    std::string bytes = readWholeFile(path, stamp, &failure);
    if (failure != ReadFailure::None || !stampOf(path).exists)
        error = "无法读取文件 " + path;
    else if (bytes.size() > kMostTextBytes)
        error = "文件太大（超过 1 MB）：" + path;
    return error.empty() ? decodeFile(std::move(bytes)) : std::string();
}

HolidayRead readHolidayCalendar(const std::string& path) {
    std::vector<NoticeDay> days;
    std::string error;
    for (const CalendarEvent& event : readCalendarEvents(path, std::time(nullptr))) {
        std::vector<NoticeDay> of = holidayDaysOf(event, error);
        if (!error.empty())
            return HolidayRead{{}, error};
        days.insert(days.end(), of.begin(), of.end());
    }
    if (days.empty())
        return HolidayRead{{},
                           "文件里没有节假日安排（全天事件，标题如“春节(休)”“春节(班)”）：" + path};
    return groupIntoYears(days, path);
}

} // namespace

std::vector<NoticeDay> holidayDaysOf(const CalendarEvent& event, std::string& error) {
    // The name is the title without its mark; a title without one is the
    // name itself, a title that is only "休" or "班" names nothing.
    std::string name;
    const std::optional<OfficialDay> titled = titleKind(event.summary, name);
    if (!titled)
        name = event.summary;
    const std::optional<OfficialDay> kind = specialDayOf(event) ? specialDayOf(event) : titled;
    const bool usable = !event.todo && event.allDay && event.start && event.rules.empty() &&
                        event.status != CalendarEvent::Status::Cancelled;
    if (!kind || !usable)
        return {};
    const int64_t first = daysFromCivil(event.start->date);
    const int64_t end = event.end ? std::max(daysFromCivil(event.end->date), first + 1) : first + 1;
    if (end - first > kLongestHoliday) {
        error =
            "“" + event.summary + "”长于" + std::to_string(kLongestHoliday) + "天，不是节假日安排";
        return {};
    }
    if (name.size() > kLongestHolidayName || name.find_first_of("\r\n\t") != std::string::npos)
        name.clear();
    std::vector<NoticeDay> days;
    for (int64_t d = first; d < end; ++d)
        days.push_back(NoticeDay{0, ArrangedDay{civilFromDays(d), *kind, name}});
    return days;
}

HolidayRead readHolidayFile(const std::string& path) {
    if (isCalendarFile(path)) {
        try {
            return readHolidayCalendar(path);
        } catch (const UserError& e) {
            return HolidayRead{{}, e.what()};
        }
    }
    std::string error;
    const std::string text = readTextFile(path, error);
    if (!error.empty())
        return HolidayRead{{}, error};
    HolidayRead read = readHolidayText(text, path);
    if (read.error.empty() && read.years.empty())
        read.error = "文件里没有节假日安排（每行如“2027-02-06 休”）：" + path;
    else if (!read.error.empty())
        read.error = path + " " + read.error;
    return read;
}

HolidayImport importHolidayFile(const std::string& file, const std::string& holidaysPath) {
    HolidayImport import;
    const HolidayRead read = readHolidayFile(file);
    if (!read.error.empty()) {
        import.error = read.error;
        return import;
    }
    storeOwnHolidays(holidaysPath, read.years);
    for (const YearArrangement& y : read.years) {
        import.years.push_back(y.year);
        if (builtInHolidays().knows(y.year))
            import.replaced.push_back(y.year);
    }
    return import;
}

std::string holidayImportText(const HolidayImport& import) {
    const auto years = [](const std::vector<int32_t>& list) {
        std::string text;
        for (const int32_t y : list)
            text += (text.empty() ? "" : "、") + std::to_string(y) + "年";
        return text;
    };
    std::string text = "已导入" + years(import.years) + "的节假日安排";
    if (!import.replaced.empty())
        text += "，其中" + years(import.replaced) + "替换了内置的安排";
    return text;
}

} // namespace kelvo

#include "reminders/HolidayText.h"

#include "core/DateText.h"
#include "core/WholeNumber.h"

#include <algorithm>
#include <map>
#include <optional>

namespace kelvo {
namespace {

constexpr int32_t kFirstYear = 1900, kLastYear = 9999;
constexpr size_t kMostDaysPerYear = 366;

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The first word of `s` and the rest after the blanks that follow it.
std::pair<std::string_view, std::string_view> firstWord(std::string_view s) {
    const size_t end = std::min(s.find_first_of(" \t"), s.size());
    return {s.substr(0, end), trimmed(s.substr(end))};
}

bool acceptableName(std::string_view name) {
    return name.size() <= kLongestHolidayName && std::none_of(name.begin(), name.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
           });
}

int32_t noticeYearOf(const Date& date) {
    return date.month == 12 && date.day >= 25 ? date.year + 1 : date.year;
}

std::string dateFault(const Date& date, std::string_view what) {
    return formatDate(date) + std::string(what);
}

// Why a day cannot belong to the notice of `year`; empty when it can.
std::string misplaced(int32_t year, const Date& date) {
    if (year < kFirstYear || year > kLastYear)
        return dateFault(date, "：年份超出范围");
    const bool fits = date.year == year || (date.year + 1 == year && date.month == 12);
    return fits ? std::string() : dateFault(date, "：不属于" + std::to_string(year) + "年的安排");
}

// One line of text: a day with the notice year in force, or a fault.
struct LineRead {
    std::optional<NoticeDay> day;
    std::optional<int32_t> header;
    std::optional<std::string_view> source;
    std::string fault;
};

constexpr std::string_view kSourceKey = "Source=";

LineRead readLine(std::string_view line) {
    LineRead r;
    if (line.starts_with(kSourceKey)) {
        r.source = line.substr(kSourceKey.size());
        return r;
    }
    if (line.front() == '[') {
        const auto year = line.back() == ']'
                              ? parseWholeNumber<int32_t>(line.substr(1, line.size() - 2))
                              : std::nullopt;
        if (!year || *year < kFirstYear || *year > kLastYear)
            r.fault = "年份写法不对，应为 [2027]";
        r.header = year;
        return r;
    }
    const auto [dateText, rest] = firstWord(line);
    const auto [markText, name] = firstWord(rest);
    const auto date = parseDate(dateText);
    const auto kind = parseOfficialDayMark(markText);
    if (!date)
        r.fault = "日期写法不对，应为 2027-02-06";
    else if (!kind)
        r.fault = "日期后面应为“休”或“班”";
    else if (!acceptableName(name))
        r.fault = "节日名称太长或含有控制字符";
    else
        r.day = NoticeDay{0, ArrangedDay{*date, *kind, std::string(name)}};
    return r;
}

} // namespace

std::string_view officialDayMark(OfficialDay kind) {
    return kind == OfficialDay::Work ? "班" : kind == OfficialDay::Off ? "休" : "";
}

std::optional<OfficialDay> parseOfficialDayMark(std::string_view text) {
    if (text == "休")
        return OfficialDay::Off;
    if (text == "班")
        return OfficialDay::Work;
    return std::nullopt;
}

HolidayRead groupIntoYears(const std::vector<NoticeDay>& days, std::string_view source) {
    HolidayRead read;
    std::map<int32_t, std::map<Date, ArrangedDay>> years;
    for (const NoticeDay& d : days) {
        const int32_t year = d.year != 0 ? d.year : noticeYearOf(d.day.date);
        if (std::string fault = misplaced(year, d.day.date); !fault.empty()) {
            read.error = std::move(fault);
            return read;
        }
        auto [it, added] = years[year].try_emplace(d.day.date, d.day);
        if (!added && it->second.kind != d.day.kind) {
            read.error = dateFault(d.day.date, "既是“休”又是“班”");
            return read;
        }
        if (years[year].size() > kMostDaysPerYear) {
            read.error = std::to_string(year) + "年的日子太多";
            return read;
        }
    }
    for (auto& [year, byDate] : years) {
        YearArrangement arrangement{year, {}, std::string(source)};
        for (auto& [date, day] : byDate)
            arrangement.days.push_back(std::move(day));
        read.years.push_back(std::move(arrangement));
    }
    return read;
}

HolidayRead readHolidayText(std::string_view text, std::string_view source) {
    std::vector<NoticeDay> days;
    std::map<int32_t, std::string> sources;
    int32_t year = 0;
    std::map<int32_t, bool> headed; // whether a named year got a day
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#')
            continue;
        LineRead r = readLine(line);
        if (!r.fault.empty())
            return HolidayRead{{}, "第" + std::to_string(lineNumber) + "行：" + r.fault};
        if (r.header) {
            year = *r.header;
            headed.try_emplace(year, false);
            continue;
        }
        if (r.source) {
            sources[year] = std::string(*r.source);
            continue;
        }
        r.day->year = year;
        headed[year] = true;
        days.push_back(std::move(*r.day));
    }
    for (const auto& [y, any] : headed) {
        if (y != 0 && !any)
            return HolidayRead{{}, std::to_string(y) + "年没有一天的安排"};
    }
    HolidayRead read = groupIntoYears(days, source);
    for (YearArrangement& y : read.years) {
        if (const auto it = sources.find(y.year); it != sources.end())
            y.source = it->second;
    }
    return read;
}

std::string holidayLines(const YearArrangement& year) {
    std::string text = "[" + std::to_string(year.year) + "]\n";
    if (!year.source.empty())
        text += std::string(kSourceKey) + year.source + "\n";
    for (const ArrangedDay& d : year.days) {
        text += formatDate(d.date) + " " + std::string(officialDayMark(d.kind));
        if (!d.name.empty())
            text += " " + d.name;
        text += "\n";
    }
    return text;
}

} // namespace kelvo

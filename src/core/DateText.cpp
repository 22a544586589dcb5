#include "core/DateText.h"

#include <cstdio>

namespace kelvo {
namespace {

// Fixed-width unsigned digits at text[pos, pos + width).
std::optional<int> digitsAt(std::string_view text, size_t pos, size_t width) {
    if (pos + width > text.size())
        return std::nullopt;
    int value = 0;
    for (size_t i = pos; i < pos + width; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<Date> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto y = digitsAt(text, 0, 4), m = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
    if (!y || !m || !d || *y < 1 || *m < 1 || *m > 12 || *d < 1 || *d > daysInMonth(*y, *m))
        return std::nullopt;
    return Date{*y, *m, *d};
}

std::optional<DateTime> parseDateTime(std::string_view text) {
    if (text.size() != 16 || text[10] != ' ' || text[13] != ':')
        return std::nullopt;
    const auto date = parseDate(text.substr(0, 10));
    const auto h = digitsAt(text, 11, 2), mi = digitsAt(text, 14, 2);
    if (!date || !h || !mi || *h > 23 || *mi > 59)
        return std::nullopt;
    return DateTime{*date, *h, *mi, 0};
}

std::string formatDate(const Date& date) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buf;
}

std::string formatDateTime(const DateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " %02d:%02d", t.hour, t.minute);
    return formatDate(t.date) + buf;
}

} // namespace kelvo

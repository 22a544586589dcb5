#include "ical/module/IcalTimes.h"

namespace kelvo::icalcodec {
namespace {

using Freq = CalendarRule::Freq;

// The zone offsets are compared over five years from now on.
constexpr std::time_t kComparedSeconds = std::time_t{5} * 366 * 24 * 3600;
constexpr int kMostOccurrences = 100'000;
// A COUNT is turned into its last occurrence up to this many.
constexpr int kMostCounted = 10'000;

std::optional<DateTime> localOf(std::time_t moment) {
    std::tm local{};
    if (!::localtime_r(&moment, &local))
        return std::nullopt;
    return DateTime{{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                    local.tm_hour,
                    local.tm_min,
                    local.tm_sec};
}

// The zone a TZID names, from the system's zones; libical has already
// joined those of the file's VTIMEZONEs to the time.
const icaltimezone* namedZone(icalproperty* property, std::string& unknown) {
    icalparameter* tzid =
        property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr;
    const char* name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
    if (!name)
        return nullptr;
    const icaltimezone* zone = icaltimezone_get_builtin_timezone(name);
    if (!zone)
        zone = icaltimezone_get_builtin_timezone_from_tzid(name);
    if (!zone)
        unknown = name;
    return zone;
}

bool wellFormed(const icaltimetype& t) {
    return t.year >= 1 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 60;
}

// Days move with a DTSTART that the time zone moved to another date.
void shiftDays(CalendarRule& rule, int shift) {
    for (int32_t& d : rule.byDay)
        d = ((d + shift) % 7 + 7) % 7;
    for (int32_t& d : rule.byMonthDay) {
        d += shift;
        if (d < 1 || d > 31)
            rule.byOtherParts = true;
    }
}

bool hasAny(const short* list, int size) {
    return size > 0 && list[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

template <size_t N> std::vector<int32_t> listOf(const short (&list)[N]) {
    std::vector<int32_t> values;
    for (size_t i = 0; i < N && list[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        values.push_back(list[i]);
    return values;
}

void readByDay(CalendarRule& rule, const icalrecurrencetype& r) {
    for (int32_t encoded : listOf(r.by_day)) {
        const auto day = static_cast<short>(encoded);
        if (icalrecurrencetype_day_position(day) != 0)
            rule.byDayOrdinal = true;
        // libical counts from Sunday = 1.
        rule.byDay.push_back((icalrecurrencetype_day_day_of_week(day) + 5) % 7);
    }
}

void readByMonth(CalendarRule& rule, const icalrecurrencetype& r) {
    for (int32_t encoded : listOf(r.by_month)) {
        const auto month = static_cast<short>(encoded);
        rule.leapMonth = rule.leapMonth || icalrecurrencetype_month_is_leap(month);
        rule.byMonth.push_back(icalrecurrencetype_month_month(month));
    }
}

// The last of the first `count` occurrences, as local wall time.
std::optional<DateTime> lastCounted(const icalrecurrencetype& r, icaltimetype startTime,
                                    const WallTime& start) {
    icalrecur_iterator* it = icalrecur_iterator_new(r, startTime);
    if (!it)
        return std::nullopt;
    icaltimetype last = icaltime_null_time();
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
         t = icalrecur_iterator_next(it))
        last = t;
    icalrecur_iterator_free(it);
    if (icaltime_is_null_time(last))
        return std::nullopt;
    if (last.is_date || !start.zone)
        return DateTime{{last.year, last.month, last.day}, last.hour, last.minute, last.second};
    return localOf(icaltime_as_timet_with_zone(last, start.zone));
}

} // namespace

WallTime wallTimeOf(icalproperty* property, icaltimetype t) {
    WallTime out;
    if (icaltime_is_null_time(t))
        return out;
    if (!wellFormed(t))
        return out;
    if (t.day > icaltime_days_in_month(t.month, t.year)) {
        out.noSuchDay = true;
        return out;
    }
    out.isDate = t.is_date;
    if (icaltime_is_utc(t))
        t.zone = icaltimezone_get_utc_timezone();
    out.zone = t.zone ? t.zone : namedZone(property, out.unknownZone);
    const DateTime written{{t.year, t.month, t.day}, t.hour, t.minute, t.second};
    out.wall = written;
    if (t.is_date || !out.zone)
        return out;
    out.wall = localOf(icaltime_as_timet_with_zone(t, out.zone));
    if (out.wall)
        out.shift = static_cast<int>(daysFromCivil(out.wall->date) - daysFromCivil(written.date));
    return out;
}

CalendarRule ruleOf(const icalrecurrencetype& r, icalproperty* property, const WallTime& start,
                    icaltimetype startTime) {
    CalendarRule rule;
    rule.freq = r.freq <= ICAL_YEARLY_RECURRENCE ? static_cast<Freq>(r.freq) : Freq::Secondly;
    rule.interval = r.interval;
    rule.count = r.count;
    const WallTime until = wallTimeOf(property, r.until);
    rule.until = until.wall;
    if (rule.until && until.isDate)
        rule.until->hour = 23, rule.until->minute = 59, rule.until->second = 59;
    readByDay(rule, r);
    rule.byMonthDay = listOf(r.by_month_day);
    readByMonth(rule, r);
    rule.bySetPos = hasAny(r.by_set_pos, ICAL_BY_SETPOS_SIZE);
    rule.byTime = hasAny(r.by_hour, ICAL_BY_HOUR_SIZE) ||
                  hasAny(r.by_minute, ICAL_BY_MINUTE_SIZE) ||
                  hasAny(r.by_second, ICAL_BY_SECOND_SIZE);
    rule.byOtherParts = (!rule.until && !icaltime_is_null_time(r.until)) || // no moment
                        hasAny(r.by_year_day, ICAL_BY_YEARDAY_SIZE) ||
                        hasAny(r.by_week_no, ICAL_BY_WEEKNO_SIZE);
    rule.rscale = r.rscale ? r.rscale : "";
    for (char& c : rule.rscale)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    rule.skipBackward = r.skip == ICAL_SKIP_BACKWARD && !rule.rscale.empty();
    if (rule.count > 0 && rule.count <= kMostCounted && rule.rscale.empty() && start.wall)
        rule.until = lastCounted(r, startTime, start);
    shiftDays(rule, start.shift);
    return rule;
}

namespace {

// Seconds that `zone` is ahead of local time at the moment `t`.
int differenceAt(const icaltimezone* zone, std::time_t t) {
    icaltimetype at = icaltime_from_timet_with_zone(t, 0, icaltimezone_get_utc_timezone());
    int daylight = 0;
    const int offset =
        icaltimezone_get_utc_offset_of_utc_time(const_cast<icaltimezone*>(zone), &at, &daylight);
    std::tm local{};
    ::localtime_r(&t, &local);
    return offset - static_cast<int>(local.tm_gmtoff);
}

} // namespace

std::optional<int> LocalTimeCheck::steadyDifference(const icaltimezone* zone) {
    const auto known = m_steady.find(zone);
    if (known != m_steady.end())
        return known->second;
    // Zones change their offsets on the hour or half hour.
    constexpr std::time_t kStep = 30 * 60;
    std::optional<int> difference = differenceAt(zone, m_now);
    for (std::time_t t = m_now; difference && t < m_now + kComparedSeconds; t += kStep) {
        if (differenceAt(zone, t) != *difference)
            difference.reset();
    }
    return m_steady[zone] = difference;
}

bool LocalTimeCheck::moves(const icalrecurrencetype& r, icaltimetype startTime,
                           const WallTime& start) {
    if (!start.wall || start.isDate || !start.zone || r.freq < ICAL_DAILY_RECURRENCE)
        return false;
    // A zone whose offset from local time stays the same settles it at once,
    // unless DTSTART's own offset was another one.
    const std::optional<int> steady = steadyDifference(start.zone);
    const std::time_t first = icaltime_as_timet_with_zone(startTime, start.zone);
    if (steady && differenceAt(start.zone, first) == *steady)
        return false;
    return occurrencesMove(r, startTime, start);
}

bool LocalTimeCheck::occurrencesMove(const icalrecurrencetype& r, icaltimetype startTime,
                                     const WallTime& start) const {
    startTime.zone = start.zone;
    icalrecur_iterator* it = icalrecur_iterator_new(r, startTime);
    if (!it)
        return false;
    if (r.count == 0 && icaltime_as_timet_with_zone(startTime, start.zone) < m_now)
        icalrecur_iterator_set_start(it, icaltime_from_timet_with_zone(m_now, 0, start.zone));
    const std::time_t end = m_now + kComparedSeconds;
    bool moves = false;
    int n = 0;
    for (icaltimetype t = icalrecur_iterator_next(it);
         !moves && !icaltime_is_null_time(t) && n < kMostOccurrences;
         t = icalrecur_iterator_next(it), ++n) {
        const std::time_t moment = icaltime_as_timet_with_zone(t, start.zone);
        if (moment > end)
            break;
        const std::optional<DateTime> local = localOf(moment);
        if (moment < m_now || !local)
            continue;
        const int64_t shift = daysFromCivil(local->date) - daysFromCivil({t.year, t.month, t.day});
        moves = shift != start.shift || local->hour != start.wall->hour ||
                local->minute != start.wall->minute;
    }
    icalrecur_iterator_free(it);
    return moves;
}

} // namespace kelvo::icalcodec

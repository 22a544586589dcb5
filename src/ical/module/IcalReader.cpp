// Reads the VEVENTs of an iCalendar text with libical.
#include "ical/module/IcalCodec.h"

#include <libical/ical.h>

#include <ctime>
#include <set>
#include <string_view>

namespace kelvo::icalcodec {
namespace {

using Freq = CalendarRule::Freq;

// DTSTART converted to local wall time through the zone it names (a
// VTIMEZONE of the file, or the system's zone of that name), UTC through
// the C library; a floating time and a date stay as they are. `shift` is
// how many days the date moved.
DateTime wallTime(icaltimetype t, const icaltimezone* fallback, int& shift) {
    const icaltimezone* zone = t.zone ? t.zone : fallback;
    DateTime wall{{t.year, t.month, t.day}, t.hour, t.minute, t.second};
    shift = 0;
    if (t.is_date || !zone)
        return wall;
    const std::time_t moment = icaltime_as_timet_with_zone(t, zone);
    std::tm local{};
    if (!::localtime_r(&moment, &local))
        return wall;
    DateTime converted{{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                       local.tm_hour,
                       local.tm_min,
                       local.tm_sec};
    shift = static_cast<int>(daysFromCivil(converted.date) - daysFromCivil(wall.date));
    return converted;
}

const icaltimezone* namedZone(icalproperty* property) {
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!tzid)
        return nullptr;
    const char* name = icalparameter_get_tzid(tzid);
    return name ? icaltimezone_get_builtin_timezone(name) : nullptr;
}

// libical keeps what it parsed, such as month 67 or hour 53.
bool inRange(const icaltimetype& t) {
    return t.year >= 1 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= icaltime_days_in_month(t.month, t.year) && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

std::optional<DateTime> timeOf(icalproperty* property, icaltimetype t, bool& isDate, int& shift) {
    shift = 0;
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t) || !inRange(t))
        return std::nullopt;
    isDate = t.is_date;
    if (icaltime_is_utc(t))
        t.zone = icaltimezone_get_utc_timezone();
    return wallTime(t, t.zone ? nullptr : namedZone(property), shift);
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

CalendarRule ruleOf(icalproperty* property, int shift) {
    const icalrecurrencetype r = icalproperty_get_rrule(property);
    CalendarRule rule;
    rule.freq = r.freq <= ICAL_YEARLY_RECURRENCE ? static_cast<Freq>(r.freq) : Freq::Secondly;
    rule.interval = r.interval;
    rule.count = r.count;
    bool isDate = false;
    int untilShift = 0;
    rule.until = timeOf(property, r.until, isDate, untilShift);
    if (!rule.until && !icaltime_is_null_time(r.until))
        rule.byOtherParts = true; // an UNTIL that is no moment
    if (rule.until && isDate)
        rule.until->hour = 23, rule.until->minute = 59, rule.until->second = 59;
    readByDay(rule, r);
    rule.byMonthDay = listOf(r.by_month_day);
    readByMonth(rule, r);
    rule.bySetPos = hasAny(r.by_set_pos, ICAL_BY_SETPOS_SIZE);
    rule.byTime = hasAny(r.by_hour, ICAL_BY_HOUR_SIZE) ||
                  hasAny(r.by_minute, ICAL_BY_MINUTE_SIZE) ||
                  hasAny(r.by_second, ICAL_BY_SECOND_SIZE);
    rule.byOtherParts =
        hasAny(r.by_year_day, ICAL_BY_YEARDAY_SIZE) || hasAny(r.by_week_no, ICAL_BY_WEEKNO_SIZE);
    rule.rscale = r.rscale ? r.rscale : "";
    for (char& c : rule.rscale)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    rule.skipBackward = r.skip == ICAL_SKIP_BACKWARD && !rule.rscale.empty();
    shiftDays(rule, shift);
    return rule;
}

void readAlarms(icalcomponent* event, CalendarEvent& out) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger || icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER))
            continue; // no trigger, or one from the end
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        if (!icaltime_is_null_time(t.time))
            continue; // at a moment of its own
        const int seconds = icaldurationtype_as_int(t.duration);
        if (seconds <= 0)
            out.alarmsBefore.push_back(-seconds / 60);
    }
}

// An EXDATE or RDATE as local wall time; one that cannot be read is kept
// as a day that never matches.
void addDate(std::vector<DateTime>& dates, icalproperty* property, icaltimetype t) {
    bool isDate = false;
    int shift = 0;
    dates.push_back(timeOf(property, t, isDate, shift).value_or(DateTime{}));
}

void readProperties(icalcomponent* event, CalendarEvent& out) {
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_RRULE_PROPERTY:
            break; // read with DTSTART's shift below
        case ICAL_EXDATE_PROPERTY:
            addDate(out.exdates, p, icalproperty_get_exdate(p));
            break;
        case ICAL_RDATE_PROPERTY: {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            addDate(out.rdates, p,
                    icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time);
            break;
        }
        case ICAL_RECURRENCEID_PROPERTY:
            out.changedOccurrences = true;
            break;
        case ICAL_XLICERROR_PROPERTY:
            out.damaged = true;
            break;
        case ICAL_X_PROPERTY: {
            const char* name = icalproperty_get_x_name(p);
            const char* value = icalproperty_get_x(p);
            if (name && value && std::string_view(name).starts_with("X-KELVO-"))
                out.properties.emplace_back(name, value);
            break;
        }
        default:
            break;
        }
    }
}

CalendarEvent eventOf(icalcomponent* event) {
    CalendarEvent out;
    const char* uid = icalcomponent_get_uid(event);
    out.uid = uid ? uid : "";
    const char* summary = icalcomponent_get_summary(event);
    out.summary = summary ? summary : "";
    int shift = 0;
    if (icalproperty* start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY)) {
        out.start = timeOf(start, icalcomponent_get_dtstart(event), out.allDay, shift);
        out.damaged = !out.start;
    }
    readProperties(event, out);
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
        out.rules.push_back(ruleOf(p, shift));
    readAlarms(event, out);
    return out;
}

// The events of one VCALENDAR; a series whose occurrences another event
// changes (RECURRENCE-ID) counts as having exceptions.
void readCalendar(icalcomponent* calendar, std::vector<CalendarEvent>& events) {
    const size_t first = events.size();
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        events.push_back(eventOf(e));
    std::set<std::string> changed;
    for (size_t i = first; i < events.size(); ++i) {
        if (events[i].changedOccurrences)
            changed.insert(events[i].uid);
    }
    for (size_t i = first; i < events.size(); ++i) {
        if (changed.count(events[i].uid))
            events[i].changedOccurrences = true;
    }
}

} // namespace

bool read(const std::string& text, std::vector<CalendarEvent>& events, std::string& error) {
    icalcomponent* root = icalparser_parse_string(text.c_str());
    if (!root) {
        error = "不是日历文件";
        return false;
    }
    const icalcomponent_kind kind = icalcomponent_isa(root);
    if (kind == ICAL_VCALENDAR_COMPONENT) {
        readCalendar(root, events);
    } else if (kind == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
            readCalendar(c, events);
    } else {
        error = "文件里没有 VCALENDAR";
    }
    icalcomponent_free(root);
    return error.empty();
}

} // namespace kelvo::icalcodec

// Reads the VEVENTs and VTODOs of an iCalendar text with libical.
#include "ical/module/IcalAlarms.h"
#include "ical/module/IcalCodec.h"
#include "ical/module/IcalTimes.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string_view>

namespace kelvo::icalcodec {
namespace {

// The properties a reminder is made of; an error of libical on any other
// one (an empty DESCRIPTION, a DTSTAMP that is a date) costs nothing.
constexpr std::string_view kUsedProperties[] = {"DTSTART", "DTEND",         "DURATION", "RRULE",
                                                "RDATE",   "EXDATE",        "DUE",      "STATUS",
                                                "TRIGGER", "RECURRENCE-ID", "COMPLETED"};

bool nameChar(char c) {
    return (c >= 'A' && c <= 'Z') || c == '-';
}

// The used property that libical's error text names ("Can't parse as
// DURATION value in TRIGGER property. …": the last name, as a value type
// comes before it); empty for any other.
std::string usedPropertyOf(const char* error) {
    std::string_view text = error ? error : "";
    text = text.substr(0, text.find(':')); // the value that follows may hold anything
    std::string_view found;
    size_t foundAt = 0;
    for (std::string_view name : kUsedProperties) {
        for (size_t at = text.find(name); at != std::string_view::npos;
             at = text.find(name, at + 1)) {
            const size_t end = at + name.size();
            const bool word = (at == 0 || !nameChar(text[at - 1])) &&
                              (end == text.size() || !nameChar(text[end]));
            if (word && (found.empty() || at > foundAt))
                found = name, foundAt = at;
        }
    }
    return std::string(found);
}

void noteErrors(icalcomponent* component, CalendarEvent& out) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
         p && out.unreadable.empty();
         p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY))
        out.unreadable = usedPropertyOf(icalproperty_get_xlicerror(p));
}

void noteZone(const WallTime& t, CalendarEvent& out) {
    if (out.unknownZone.empty())
        out.unknownZone = t.unknownZone;
}

// An EXDATE, RDATE or RECURRENCE-ID as local wall time; one that cannot be
// read makes its event unreadable.
void addDate(std::vector<DateTime>& dates, icalproperty* property, icaltimetype t,
             CalendarEvent& out) {
    const WallTime wall = wallTimeOf(property, t);
    noteZone(wall, out);
    if (wall.wall)
        dates.push_back(*wall.wall);
    else if (out.unreadable.empty())
        out.unreadable = icalproperty_kind_to_string(icalproperty_isa(property));
}

// Minutes before the start of the alarms relative to it (or to the end,
// `length` seconds after it).
void readAlarms(icalcomponent* event, int length, CalendarEvent& out) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        noteErrors(alarm, out);
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        if (!icaltime_is_null_time(t.time))
            continue; // at a moment of its own
        icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
        const bool fromEnd = related && icalparameter_get_related(related) == ICAL_RELATED_END;
        const int seconds = icaldurationtype_as_int(t.duration) + (fromEnd ? length : 0);
        if (seconds <= 0)
            out.alarmsBefore.push_back(-seconds / 60);
    }
}

void readStatus(icalproperty* p, CalendarEvent& out) {
    const icalproperty_status status = icalproperty_get_status(p);
    if (status == ICAL_STATUS_CANCELLED)
        out.status = CalendarEvent::Status::Cancelled;
    else if (status == ICAL_STATUS_COMPLETED)
        out.status = CalendarEvent::Status::Completed;
}

// Kelvo's own lunar repetition, written beside the listed days.
void readLunarRule(icalproperty* p, CalendarEvent& out) {
    const char* value = icalproperty_get_x(p);
    icalrecurrencetype r = icalrecurrencetype_from_string(value ? value : "");
    if (r.freq == ICAL_NO_RECURRENCE)
        out.unreadable = icalprops::Lunar;
    else
        out.rules.push_back(ruleOf(r, nullptr, {}, icaltime_null_time()));
    // A rule parsed on its own, not held by a property, leaves its RSCALE,
    // a copy of the text, to the caller.
    std::free(r.rscale);
}

void readProperties(icalcomponent* event, CalendarEvent& out) {
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_EXDATE_PROPERTY:
            addDate(out.exdates, p, icalproperty_get_exdate(p), out);
            break;
        case ICAL_RDATE_PROPERTY: {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            addDate(out.rdates, p,
                    icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time, out);
            break;
        }
        case ICAL_RECURRENCEID_PROPERTY:
            out.changesOccurrence = true;
            addDate(out.changed, p, icalproperty_get_recurrenceid(p), out);
            break;
        case ICAL_STATUS_PROPERTY:
            readStatus(p, out);
            break;
        case ICAL_ATTENDEE_PROPERTY:
            out.attendees = true;
            break;
        case ICAL_COMPLETED_PROPERTY:
            out.status = CalendarEvent::Status::Completed;
            break;
        case ICAL_PERCENTCOMPLETE_PROPERTY:
            if (icalproperty_get_percentcomplete(p) >= 100)
                out.status = CalendarEvent::Status::Completed;
            break;
        case ICAL_X_PROPERTY: {
            const char* name = icalproperty_get_x_name(p);
            const char* value = icalproperty_get_x(p);
            if (name && std::string_view(name) == icalprops::Lunar)
                readLunarRule(p, out);
            else if (name && value &&
                     (std::string_view(name).starts_with("X-KELVO-") ||
                      std::string_view(name) == icalprops::SpecialDay))
                out.properties.emplace_back(name, value);
            break;
        }
        default:
            break;
        }
    }
}

// DTSTART (a to-do's moment) as the event's start; false when it is there
// but cannot be used.
bool readStart(icalproperty* property, icaltimetype time, CalendarEvent& out, WallTime& start) {
    start = wallTimeOf(property, time);
    noteZone(start, out);
    out.start = start.wall;
    out.allDay = start.isDate;
    out.startOnNoDay = start.noSuchDay;
    return start.wall.has_value();
}

void readRules(icalcomponent* event, const WallTime& start, icaltimetype startTime,
               LocalTimeCheck& check, CalendarEvent& out) {
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(p);
        out.rules.push_back(ruleOf(r, p, start, startTime));
        out.localTimeMoves = out.localTimeMoves || check.moves(r, startTime, start);
    }
}

void readCommon(icalcomponent* component, CalendarEvent& out) {
    const char* uid = icalcomponent_get_uid(component);
    out.uid = uid ? uid : "";
    const char* summary = icalcomponent_get_summary(component);
    out.summary = summary ? summary : "";
    noteErrors(component, out);
    readProperties(component, out);
    const Acknowledgement ack = acknowledgementOf(component);
    out.acknowledged = ack.acknowledged;
    out.snoozedUntil = ack.snoozedUntil;
}

CalendarEvent eventOf(icalcomponent* event, LocalTimeCheck& check) {
    CalendarEvent out;
    readCommon(event, out);
    icalproperty* dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    WallTime start;
    const icaltimetype startTime = icalcomponent_get_dtstart(event);
    if (dtstart && !readStart(dtstart, startTime, out, start) && !out.startOnNoDay)
        out.unreadable = "DTSTART";
    readRules(event, start, startTime, check, out);
    icalproperty* dtend = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
    const bool ends = dtend || icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
    if (ends && dtstart) // the end of a DURATION is in DTSTART's zone
        out.end = wallTimeOf(dtend ? dtend : dtstart, icalcomponent_get_dtend(event)).wall;
    readAlarms(event, ends ? icaldurationtype_as_int(icalcomponent_get_duration(event)) : 0, out);
    return out;
}

// A to-do comes as a reminder at its first alarm, or else at DUE: alarms
// count from DTSTART (DUE when it has none), or from DUE. A repetition
// repeats that moment.
struct TodoMoment {
    icalproperty* property = nullptr; // whose TZID the moment has
    icaltimetype time = icaltime_null_time();
};

TodoMoment alarmMoment(icalcomponent* todo, const TodoMoment& start, const TodoMoment& due) {
    TodoMoment first;
    for (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        TodoMoment at{trigger, t.time};
        if (icaltime_is_null_time(t.time)) {
            icalparameter* related =
                icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            const bool fromDue = related && icalparameter_get_related(related) == ICAL_RELATED_END;
            at = fromDue || icaltime_is_null_time(start.time) ? due : start;
            at.time.is_date = 0;
            at.time = icaltime_add(at.time, t.duration);
        }
        if (!icaltime_is_null_time(at.time) &&
            (icaltime_is_null_time(first.time) || icaltime_compare(at.time, first.time) < 0))
            first = at;
    }
    return first;
}

CalendarEvent todoOf(icalcomponent* todo, LocalTimeCheck& check) {
    CalendarEvent out;
    out.todo = true;
    readCommon(todo, out);
    const TodoMoment start{icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY),
                           icalcomponent_get_dtstart(todo)};
    const TodoMoment due{icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY),
                         icalcomponent_get_due(todo)};
    TodoMoment at = alarmMoment(todo, start, due);
    if (icaltime_is_null_time(at.time))
        at = due;
    WallTime moment;
    if (at.property && !readStart(at.property, at.time, out, moment) && !out.startOnNoDay)
        out.unreadable = icalproperty_kind_to_string(icalproperty_isa(at.property));
    readRules(todo, moment, at.time, check, out);
    return out;
}

// The events and to-dos of one VCALENDAR; a series learns of the
// occurrences that other events of its UID change (RECURRENCE-ID).
void readCalendar(icalcomponent* calendar, LocalTimeCheck& check,
                  std::vector<CalendarEvent>& events) {
    const size_t first = events.size();
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        if (icalcomponent_isa(c) == ICAL_VEVENT_COMPONENT)
            events.push_back(eventOf(c, check));
        else if (icalcomponent_isa(c) == ICAL_VTODO_COMPONENT)
            events.push_back(todoOf(c, check));
    }
    std::map<std::string, std::vector<DateTime>> changed;
    for (size_t i = first; i < events.size(); ++i) {
        const CalendarEvent& e = events[i];
        if (!e.changesOccurrence)
            continue;
        std::vector<DateTime>& days = changed[e.uid];
        days.insert(days.end(), e.changed.begin(), e.changed.end());
        if (e.start)
            days.push_back(*e.start);
    }
    for (size_t i = first; i < events.size(); ++i) {
        CalendarEvent& e = events[i];
        if (const auto it = changed.find(e.uid); it != changed.end() && !e.changesOccurrence)
            e.changed = it->second;
    }
}

} // namespace

bool read(const std::string& text, int64_t nowUtc, std::vector<CalendarEvent>& events,
          std::string& error) {
    icalcomponent* root = icalparser_parse_string(text.c_str());
    if (!root) {
        error = "不是日历文件";
        return false;
    }
    LocalTimeCheck check(static_cast<std::time_t>(nowUtc));
    const icalcomponent_kind kind = icalcomponent_isa(root);
    if (kind == ICAL_VCALENDAR_COMPONENT) {
        readCalendar(root, check, events);
    } else if (kind == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
            readCalendar(c, check, events);
    } else {
        error = "文件里没有 VCALENDAR";
    }
    icalcomponent_free(root);
    return error.empty();
}

} // namespace kelvo::icalcodec

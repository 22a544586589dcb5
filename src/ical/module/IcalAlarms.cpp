#include "ical/module/IcalAlarms.h"
#include "ical/module/IcalCodec.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <set>
#include <strings.h>
#include <vector>

namespace kelvo::icalcodec {
namespace {

constexpr std::string_view kLastAck = "X-MOZ-LASTACK";
constexpr std::string_view kSnoozeTime = "X-MOZ-SNOOZE-TIME";
// The unit of the spans an occurrence is looked for in.
constexpr int64_t kDay = 24 * 3600;

icaltimezone* utc() {
    return icaltimezone_get_utc_timezone();
}

icaltimetype utcTime(int64_t seconds) {
    return icaltime_from_timet_with_zone(static_cast<std::time_t>(seconds), 0, utc());
}

// A date-time as seconds since 1970; a floating one is read as UTC.
int64_t secondsOf(icaltimetype t) {
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return 0;
    return icaltime_as_timet_with_zone(t, t.zone ? t.zone : utc());
}

int64_t secondsOfText(const char* text) {
    return text ? secondsOf(icaltime_from_string(text)) : 0;
}

bool isSnoozeTime(std::string_view name) {
    return name == kSnoozeTime ||
           (name.starts_with(kSnoozeTime) && name[kSnoozeTime.size()] == '-');
}

// An alarm that says when a snoozed one comes again (RELATED-TO;RELTYPE=SNOOZE).
bool isSnooze(icalcomponent* alarm) {
    for (icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_RELATEDTO_PROPERTY); p;
         p = icalcomponent_get_next_property(alarm, ICAL_RELATEDTO_PROPERTY)) {
        icalparameter* type = icalproperty_get_first_parameter(p, ICAL_RELTYPE_PARAMETER);
        const char* text = type ? icalparameter_as_ical_string(type) : nullptr;
        if (text && strcasecmp(text, "RELTYPE=SNOOZE") == 0)
            return true;
    }
    return false;
}

std::vector<icalcomponent*> alarmsOf(icalcomponent* component) {
    std::vector<icalcomponent*> alarms;
    for (icalcomponent* a = icalcomponent_get_first_component(component, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(component, ICAL_VALARM_COMPONENT))
        alarms.push_back(a);
    return alarms;
}

// Properties are removed after the walk over them.
void removeProperties(icalcomponent* component, icalproperty_kind kind,
                      bool (*which)(icalproperty*)) {
    std::vector<icalproperty*> gone;
    for (icalproperty* p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind)) {
        if (which(p))
            gone.push_back(p);
    }
    for (icalproperty* p : gone) {
        icalcomponent_remove_property(component, p);
        icalproperty_free(p);
    }
}

bool always(icalproperty*) {
    return true;
}

bool isOldMark(icalproperty* p) {
    const char* name = icalproperty_get_x_name(p);
    return name && (name == kLastAck || isSnoozeTime(name));
}

// The old acknowledgement: the event's marks, the snooze alarms, every ACKNOWLEDGED.
void removeAcknowledgement(icalcomponent* vevent) {
    removeProperties(vevent, ICAL_X_PROPERTY, isOldMark);
    for (icalcomponent* alarm : alarmsOf(vevent)) {
        if (isSnooze(alarm)) {
            icalcomponent_remove_component(vevent, alarm);
            icalcomponent_free(alarm);
        } else {
            removeProperties(alarm, ICAL_ACKNOWLEDGED_PROPERTY, always);
        }
    }
}

// What tells an alarm from the event's others: minutes before the start,
// "end" and minutes before the end, or "at" and its moment.
std::string triggerKey(icalcomponent* alarm) {
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!trigger)
        return "none";
    const icaltriggertype t = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(t.time))
        return std::string("at-") + icaltime_as_ical_string(t.time);
    icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
    const bool fromEnd = related && icalparameter_get_related(related) == ICAL_RELATED_END;
    return (fromEnd ? "end-" : "") + std::to_string(-icaldurationtype_as_int(t.duration) / 60);
}

// Gives every alarm without a UID one of its event's UID and its trigger;
// returns the first alarm's UID.
std::string giveAlarmUids(icalcomponent* vevent, const std::string& eventUid) {
    const std::vector<icalcomponent*> alarms = alarmsOf(vevent);
    std::set<std::string> used;
    for (icalcomponent* alarm : alarms) {
        if (const char* uid = icalcomponent_get_uid(alarm))
            used.insert(uid);
    }
    for (icalcomponent* alarm : alarms) {
        if (icalcomponent_get_uid(alarm))
            continue;
        const std::string base = eventUid + "-alarm-" + triggerKey(alarm);
        std::string uid = base;
        for (int n = 2; used.count(uid); ++n)
            uid = base + "-" + std::to_string(n);
        used.insert(uid);
        icalcomponent_add_property(alarm, icalproperty_new_uid(uid.c_str()));
    }
    const char* first = alarms.empty() ? nullptr : icalcomponent_get_uid(alarms.front());
    return first ? first : "";
}

// The longest time an alarm comes before its occurrence's start, in seconds.
int64_t longestLead(icalcomponent* vevent) {
    int64_t lead = 0;
    for (icalcomponent* alarm : alarmsOf(vevent)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (trigger && icaltime_is_null_time(icalproperty_get_trigger(trigger).time))
            lead = std::max<int64_t>(
                lead, -icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration));
    }
    return lead;
}

struct LatestOccurrence {
    bool floating = false;
    int64_t lastDue = 0; // the latest start an alarm of which was due
    int64_t id = 0;      // its start, a floating one read as UTC
    bool found = false;
};

void noteOccurrence(icalcomponent*, icaltime_span* span, void* data) {
    auto* latest = static_cast<LatestOccurrence*>(data);
    std::time_t start = span->start;
    std::tm local{};
    // libical reads a floating start as UTC; it is local time.
    const int64_t moment =
        latest->floating && ::localtime_r(&start, &local) ? start - local.tm_gmtoff : start;
    if (moment <= latest->lastDue)
        latest->id = span->start, latest->found = true;
}

// Whether a rule repeats within the day (walked for a few days at most).
bool repeatsWithinADay(icalcomponent* vevent) {
    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(vevent, ICAL_RRULE_PROPERTY)) {
        if (icalproperty_get_rrule(p).freq < ICAL_DAILY_RECURRENCE)
            return true;
    }
    return false;
}

// Thunderbird names an occurrence's snooze by its RECURRENCE-ID in
// microseconds since 1970 (a floating one read as UTC): here the latest
// occurrence an alarm of which was due at `acknowledged`, looked for in
// ever wider spans before it (libical walks to a span's start quickly), or
// the first.
std::string snoozeName(icalcomponent* vevent, int64_t acknowledged) {
    const bool repeats = icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY) ||
                         icalcomponent_get_first_property(vevent, ICAL_RDATE_PROPERTY);
    const icaltimetype start = icalcomponent_get_dtstart(vevent);
    if (!repeats || icaltime_is_null_time(start))
        return std::string(kSnoozeTime);
    LatestOccurrence latest{start.zone == nullptr && !icaltime_is_utc(start),
                            acknowledged + longestLead(vevent), secondsOf(start)};
    const int64_t widest = repeatsWithinADay(vevent) ? 2 : 1800;
    for (int64_t days = 2; days <= widest && !latest.found; days *= 30)
        icalcomponent_foreach_recurrence(vevent, utcTime(latest.lastDue - days * kDay),
                                         utcTime(latest.lastDue + kDay), noteOccurrence, &latest);
    return std::string(kSnoozeTime) + "-" + std::to_string(latest.id * 1'000'000);
}

icalcomponent* snoozeAlarm(const std::string& eventUid, const std::string& snoozed, int64_t until,
                           const char* summary) {
    icaltriggertype trigger{};
    trigger.time = utcTime(until);
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent* alarm = icalcomponent_vanew(
        ICAL_VALARM_COMPONENT, icalproperty_new_uid((eventUid + "-snooze").c_str()),
        icalproperty_new_action(ICAL_ACTION_DISPLAY), icalproperty_new_trigger(trigger),
        icalproperty_new_description(summary ? summary : ""), nullptr);
    if (icalproperty* related =
            icalproperty_new_from_string(("RELATED-TO;RELTYPE=SNOOZE:" + snoozed).c_str()))
        icalcomponent_add_property(alarm, related);
    return alarm;
}

std::string utcText(int64_t seconds) {
    return icaltime_as_ical_string(utcTime(seconds));
}

} // namespace

Acknowledgement acknowledgementOf(icalcomponent* component) {
    Acknowledgement a;
    int64_t snooze = 0;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(p);
        if (name && name == kLastAck)
            a.acknowledged = std::max(a.acknowledged, secondsOfText(icalproperty_get_x(p)));
        else if (name && isSnoozeTime(name))
            snooze = std::max(snooze, secondsOfText(icalproperty_get_x(p)));
    }
    for (icalcomponent* alarm : alarmsOf(component)) {
        if (icalproperty* ack = icalcomponent_get_first_property(alarm, ICAL_ACKNOWLEDGED_PROPERTY))
            a.acknowledged =
                std::max(a.acknowledged, secondsOf(icalproperty_get_acknowledged(ack)));
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (trigger && isSnooze(alarm))
            snooze = std::max(snooze, secondsOf(icalproperty_get_trigger(trigger).time));
    }
    a.snoozedUntil = snooze > a.acknowledged ? snooze : 0;
    return a;
}

void setAcknowledgement(icalcomponent* vevent, int64_t acknowledged, int64_t snoozedUntil) {
    removeAcknowledgement(vevent);
    const char* uid = icalcomponent_get_uid(vevent);
    const std::string eventUid = uid ? uid : "";
    const std::string first = giveAlarmUids(vevent, eventUid);
    if (acknowledged > 0) {
        addX(vevent, kLastAck, utcText(acknowledged));
        for (icalcomponent* alarm : alarmsOf(vevent))
            icalcomponent_add_property(alarm, icalproperty_new_acknowledged(utcTime(acknowledged)));
    }
    if (snoozedUntil <= acknowledged)
        return;
    addX(vevent, snoozeName(vevent, acknowledged), utcText(snoozedUntil));
    if (!first.empty())
        icalcomponent_add_component(
            vevent, snoozeAlarm(eventUid, first, snoozedUntil, icalcomponent_get_summary(vevent)));
}

std::string takeText(icalcomponent* root) {
    char* serialised = icalcomponent_as_ical_string_r(root);
    std::string text = serialised ? serialised : "";
    std::free(serialised);
    icalcomponent_free(root);
    return text;
}

void addX(icalcomponent* component, std::string_view name, const std::string& value) {
    icalproperty* x = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(x, std::string(name).c_str());
    icalcomponent_add_property(component, x);
}

namespace {

// The event of the calendar object without a RECURRENCE-ID.
icalcomponent* masterEvent(icalcomponent* calendar) {
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        if (!icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY))
            return e;
    }
    return nullptr;
}

} // namespace

bool acknowledge(const std::string& text, int64_t acknowledged, int64_t snoozedUntil,
                 std::string& out, std::string& error) {
    icalcomponent* root = icalparser_parse_string(text.c_str());
    icalcomponent* vevent =
        root && icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT ? masterEvent(root) : nullptr;
    // A property libical cannot read would come back as an X-LIC-ERROR in
    // another program's event: such an object is left as it is.
    const bool damaged = vevent && icalcomponent_count_errors(root) > 0;
    if (!vevent || damaged) {
        error = damaged ? "日历对象中有无法读取的内容"
                : root  ? "日历对象里没有事件"
                        : "不是日历文件";
        if (root)
            icalcomponent_free(root);
        return false;
    }
    setAcknowledgement(vevent, acknowledged, snoozedUntil);
    out = takeText(root);
    return !out.empty();
}

} // namespace kelvo::icalcodec

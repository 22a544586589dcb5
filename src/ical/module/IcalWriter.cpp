// Writes reminders' events as a VCALENDAR with libical, and the module's
// entry point.
#include "ical/IcalModule.h"
#include "ical/RuleText.h"
#include "ical/module/IcalAlarms.h"
#include "ical/module/IcalCodec.h"

#include <libical/ical.h>

#include <exception>

namespace kelvo::icalcodec {
namespace {

icaltimetype floating(const DateTime& t) {
    icaltimetype time = icaltime_null_time();
    time.year = t.date.year;
    time.month = t.date.month;
    time.day = t.date.day;
    time.hour = t.hour;
    time.minute = t.minute;
    time.second = t.second;
    return time;
}

// Days, hours and minutes as they are ("-P7D", not libical's "-P1W").
icaldurationtype durationBefore(int32_t minutes) {
    icaldurationtype d = icaldurationtype_null_duration();
    d.is_neg = minutes > 0 ? 1 : 0;
    const auto m = static_cast<unsigned int>(minutes > 0 ? minutes : -minutes);
    d.days = m / 1440;
    d.hours = m % 1440 / 60;
    d.minutes = m % 60;
    return d;
}

icalcomponent* alarmOf(int32_t minutesBefore, const std::string& summary) {
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = durationBefore(minutesBefore);
    return icalcomponent_vanew(ICAL_VALARM_COMPONENT, icalproperty_new_action(ICAL_ACTION_DISPLAY),
                               icalproperty_new_trigger(trigger),
                               icalproperty_new_description(summary.c_str()), nullptr);
}

void addDates(icalcomponent* vevent, const CalendarEvent& event) {
    for (const DateTime& t : event.exdates)
        icalcomponent_add_property(vevent, icalproperty_new_exdate(floating(t)));
    for (const DateTime& t : event.rdates) {
        icaldatetimeperiodtype rdate{};
        rdate.time = floating(t);
        rdate.period = icalperiodtype_null_period();
        icalcomponent_add_property(vevent, icalproperty_new_rdate(rdate));
    }
}

// Adds the event; false when libical refuses a part of it.
bool addEvent(icalcomponent* calendar, const CalendarEvent& event, int64_t stampUtc) {
    icalcomponent* vevent = icalcomponent_new_vevent();
    icalcomponent_add_property(vevent, icalproperty_new_uid(event.uid.c_str()));
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(icaltime_from_timet_with_zone(
                                           stampUtc, 0, icaltimezone_get_utc_timezone())));
    icalcomponent_add_property(vevent, icalproperty_new_dtstart(floating(*event.start)));
    icalcomponent_add_property(vevent, icalproperty_new_summary(event.summary.c_str()));
    for (const CalendarRule& rule : event.rules) {
        if (!rule.rscale.empty()) { // see icalprops::Lunar
            addX(vevent, icalprops::Lunar, ruleText(rule));
            continue;
        }
        icalproperty* rrule = icalproperty_new_from_string(("RRULE:" + ruleText(rule)).c_str());
        if (!rrule || icalproperty_get_rrule(rrule).freq == ICAL_NO_RECURRENCE) {
            if (rrule)
                icalproperty_free(rrule);
            icalcomponent_free(vevent);
            return false;
        }
        icalcomponent_add_property(vevent, rrule);
    }
    addDates(vevent, event);
    for (const auto& [name, value] : event.properties)
        addX(vevent, name, value);
    for (int32_t before : event.alarmsBefore)
        icalcomponent_add_component(vevent, alarmOf(before, event.summary));
    setAcknowledgement(vevent, event.acknowledged, event.snoozedUntil);
    icalcomponent_add_component(calendar, vevent);
    return true;
}

} // namespace

bool write(const std::vector<CalendarEvent>& events, int64_t stampUtc, std::string& text,
           std::string& error) {
    icalcomponent* calendar =
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                            icalproperty_new_prodid("-//Kelvo//Kelvo reminders//ZH"),
                            icalproperty_new_calscale("GREGORIAN"), nullptr);
    for (const CalendarEvent& event : events) {
        if (!addEvent(calendar, event, stampUtc)) {
            error = "无法写出提醒“" + event.summary + "”的重复规则";
            icalcomponent_free(calendar);
            return false;
        }
    }
    text = takeText(calendar);
    return !text.empty();
}

} // namespace kelvo::icalcodec

namespace {

// Nothing is thrown across the module's boundary: what libical or the
// library cannot do (memory) becomes an error text.
bool readCaught(const std::string& text, int64_t nowUtc, std::vector<kelvo::CalendarEvent>& events,
                std::string& error) noexcept {
    try {
        return kelvo::icalcodec::read(text, nowUtc, events, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool writeCaught(const std::vector<kelvo::CalendarEvent>& events, int64_t stampUtc,
                 std::string& text, std::string& error) noexcept {
    try {
        return kelvo::icalcodec::write(events, stampUtc, text, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool acknowledgeCaught(const std::string& text, int64_t acknowledged, int64_t snoozedUntil,
                       std::string& out, std::string& error) noexcept {
    try {
        return kelvo::icalcodec::acknowledge(text, acknowledged, snoozedUntil, out, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

const kelvo::IcalModuleApi kApi{kelvo::kIcalModuleVersion, readCaught, writeCaught,
                                acknowledgeCaught};

} // namespace

extern "C" __attribute__((visibility("default"))) const kelvo::IcalModuleApi* kelvo_ical_module() {
    return &kApi;
}

#pragma once

// The acknowledgement and snooze of an event's alarms, in the properties of
// RFC 9074 (a VALARM's UID and ACKNOWLEDGED, a snooze VALARM related to the
// snoozed one by RELTYPE=SNOOZE) and of Thunderbird (X-MOZ-LASTACK,
// X-MOZ-SNOOZE-TIME, X-MOZ-SNOOZE-TIME-<occurrence>): read and written here
// alone, for the writer and for acknowledge().
#include <libical/ical.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo::icalcodec {

struct Acknowledgement {
    int64_t acknowledged = 0; // seconds since 1970 UTC; 0 none
    int64_t snoozedUntil = 0; // only a snooze later than `acknowledged`; 0 none
};

// What the event or to-do `component` says of its alarms' acknowledgement.
Acknowledgement acknowledgementOf(icalcomponent* component);

// Sets the acknowledgement of `vevent`, whose UID, SUMMARY and alarms are
// there: the old one and its snooze go, every alarm gets a UID (one of its
// event and trigger, the same at every write) and, when `acknowledged` > 0,
// ACKNOWLEDGED beside the event's X-MOZ-LASTACK; a snooze later than it is
// written both ways. Nothing else of the event changes.
void setAcknowledgement(icalcomponent* vevent, int64_t acknowledged, int64_t snoozedUntil);

// The text of the calendar `root`, which is freed; empty when libical makes
// none.
std::string takeText(icalcomponent* root);

// Adds the X- property `name` with the text `value`.
void addX(icalcomponent* component, std::string_view name, const std::string& value);

} // namespace kelvo::icalcodec

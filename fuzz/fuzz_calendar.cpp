// The calendar reader on any text: the checks before parsing, libical's
// parse (the module's reader, linked in), and the mapping of every event to
// a reminder, which must then fire as Kelvo's rules say.
#include "FuzzSupport.h"

#include "ical/CalendarFile.h"
#include "ical/module/IcalCodec.h"
#include "reminders/Occurrences.h"
#include "reminders/ReminderList.h"

using namespace kelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(fuzz::bytesOf(data, size));
    if (!looksLikeCalendar(text) || !calendarTextProblem(text).empty())
        return 0;
    std::vector<CalendarEvent> events;
    std::string error;
    if (!icalcodec::read(text, 1796724000, events, error)) // 2026-12-08 10:00 UTC
        return 0;
    const DateTime now{{2026, 12, 8}, 10, 0, 0};
    for (const CalendarEvent& event : events) {
        const EventImport mapped = itemOf(event, now);
        if (!mapped.item)
            continue;
        FUZZ_CHECK(mapped.item->message.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(mapped.item->rdBefore >= 0 && mapped.item->rdBefore <= 30);
        FUZZ_CHECK(firesFrom(scheduleOf(*mapped.item), now));
        // What came in goes out again as an event.
        FUZZ_CHECK(eventOf(*mapped.item, event.uid, now.date).has_value());
    }
    return 0;
}

// The list line, the view texts and the reminder rules on items with any field values: the
// integers of a hand-edited file reach both unchecked.
#include "FuzzSupport.h"

#include "core/Clock.h"
#include "core/VisibleText.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "reminders/ReminderList.h"

using namespace kelvo;

namespace {

ReminderItem itemFrom(fuzz::Input& in) {
    ReminderItem item;
    item.year = in.int32();
    item.month = in.int32();
    item.day = in.int32();
    item.hour = in.int32();
    item.min = in.int32();
    item.rdBefore = in.int32();
    item.mindMethod = in.int32();
    return item;
}

// A real moment picked by the input: any minute of the years 1 … 9999.
DateTime momentFrom(fuzz::Input& in) {
    const auto pick = [&in](uint32_t n) { return static_cast<uint32_t>(in.int32()) % n; };
    const int year = 1 + static_cast<int>(pick(9999));
    const int month = 1 + static_cast<int>(pick(12));
    const int day = 1 + static_cast<int>(pick(static_cast<uint32_t>(daysInMonth(year, month))));
    return DateTime{Date{year, month, day}, static_cast<int>(pick(24)), static_cast<int>(pick(60)),
                    0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    ReminderItem item = itemFrom(in);
    const DateTime now = momentFrom(in);
    item.message = std::string(in.rest());

    const std::string line = listLine(item);
    FUZZ_CHECK(line.ends_with(" 方式，提醒为：" + visibleText(item.message)));
    const ViewTexts view = viewTexts(item);
    FUZZ_CHECK(view.mindMethod.has_value() == (item.mindMethod >= 0 && item.mindMethod <= 3));
    FUZZ_CHECK(item.day <= 31 || line.find(view.day) != std::string::npos);

    ManualClock clock(now);
    int firings = 0;
    ReminderEngine engine(clock, {[&](int32_t k, const FiringTime&) {
                              FUZZ_CHECK(k == 1);
                              ++firings;
                          }});
    engine.setItems({ItemSchedule{item.year, item.month, item.day, item.hour, item.min,
                                  item.rdBefore, item.mindMethod}});
    engine.startCheck();
    engine.minuteCheck();
    FUZZ_CHECK(firings <= 3); // at start, on the hour, and at the set time or its advance
    return 0;
}

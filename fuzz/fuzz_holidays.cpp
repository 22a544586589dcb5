// The holiday text form on any bytes: either a fault and nothing read, or
// years whose days belong to them, whose lines read back the same.
#include "FuzzSupport.h"

#include "reminders/HolidayText.h"

using namespace kelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const HolidayRead read = readHolidayText(fuzz::bytesOf(data, size), "fuzz");
    FUZZ_CHECK(read.error.empty() || read.years.empty());
    std::string text;
    for (const YearArrangement& year : read.years) {
        FUZZ_CHECK(!year.days.empty() && year.days.size() <= 366);
        for (const ArrangedDay& day : year.days) {
            FUZZ_CHECK(day.date.year == year.year ||
                       (day.date.year + 1 == year.year && day.date.month == 12));
            FUZZ_CHECK(day.kind != OfficialDay::Ordinary);
            FUZZ_CHECK(day.name.size() <= kLongestHolidayName);
        }
        text += holidayLines(year);
    }
    const HolidayRead again = readHolidayText(text, "fuzz");
    FUZZ_CHECK(again.error.empty());
    FUZZ_CHECK(again.years.size() == read.years.size());
    for (size_t i = 0; i < read.years.size(); ++i)
        FUZZ_CHECK(again.years[i].days == read.years[i].days);
    return 0;
}

#include "reminders/SnoozeChoice.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

constexpr DateTime kNow{Date{2026, 12, 31}, 22, 40, 37};

// Minutes count from the minute; a time of day is its next coming, over
// the year's end as well; anything else names no moment.
TEST(SnoozeChoice, TypedMinutesAndTimesOfDay) {
    EXPECT_EQ(typedSnooze("25", kNow), (DateTime{Date{2026, 12, 31}, 23, 5, 0}));
    EXPECT_EQ(typedSnooze("1440", kNow), (DateTime{Date{2027, 1, 1}, 22, 40, 0}));
    EXPECT_EQ(typedSnooze("23:15", kNow), (DateTime{Date{2026, 12, 31}, 23, 15, 0}));
    EXPECT_EQ(typedSnooze("7：05", kNow), (DateTime{Date{2027, 1, 1}, 7, 5, 0}));
    EXPECT_EQ(typedSnooze("22:40", kNow), (DateTime{Date{2027, 1, 1}, 22, 40, 0}));
    for (const char* bad : {"", "0", "1441", "-5", "+5", "5.5", "24:00", "9:60", "9:5", ":30",
                            "123:00", "9:-1", "abc"})
        EXPECT_FALSE(typedSnooze(bad, kNow)) << bad;
    EXPECT_EQ(sameTimeTomorrow(kNow), (DateTime{Date{2027, 1, 1}, 22, 40, 0}));
    EXPECT_EQ(sameTimeTomorrow(DateTime{Date{2028, 2, 28}, 9, 0, 12}),
              (DateTime{Date{2028, 2, 29}, 9, 0, 0}));
}

} // namespace
} // namespace kelvo

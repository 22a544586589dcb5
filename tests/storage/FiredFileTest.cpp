#include "storage/FiredFile.h"

#include "core/DateTime.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;
using Fired = std::vector<FiredOccasion>;

TEST(FiredFile, OccasionsComeBackUnboundInTheirOrder) {
    TempDir dir;
    const int64_t minute = minuteNumber(DateTime{{2026, 12, 7}, 8, 30, 0});
    const Fired fired{{4, 18446744073709551557ull, minute, FiringKind::SetTime, 1796632200},
                      {9, 17, minute - 30, FiringKind::OnTheHour, 1796630400},
                      {9, 17, minute + 10, FiringKind::Advance, -60},
                      {9, 17, minute + 45, FiringKind::Interval, 1796632300},
                      {2, 3, minute - 1440, FiringKind::DaysAhead, 1796632400}};
    writeFiredFile(dir.file("Fired.ini"), fired);
    Fired unbound = fired;
    for (FiredOccasion& f : unbound)
        f.id = 0;
    EXPECT_EQ(readFiredFile(dir.file("Fired.ini")), unbound);
    // The occasion is readable as the local time it fell on.
    EXPECT_NE(dir.read("Fired.ini").find("At=2026-12-07 08:30"), std::string::npos);
}

TEST(FiredFile, AMissingOrDamagedFileGivesWhatIsWhole) {
    TempDir dir;
    EXPECT_TRUE(readFiredFile(dir.file("Fired.ini")).empty());
    dir.write("Fired.ini", "[Main]\r\nCount=4\r\n"
                           "[Fired1]\r\nKey=5\r\nAt=2026-12-07 08:30\r\nKind=1\r\nFiredAt=7\r\n"
                           "[Fired2]\r\nKey=x\r\nAt=2026-12-07 08:30\r\nKind=1\r\nFiredAt=7\r\n"
                           "[Fired3]\r\nKey=5\r\nAt=2026-12-07 08:30\r\nKind=5\r\nFiredAt=7\r\n"
                           "[Fired4]\r\nKey=5\r\nAt=08:30\r\nKind=0\r\nFiredAt=7\r\n");
    const Fired read = readFiredFile(dir.file("Fired.ini"));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].key, 5u);
    dir.write("Fired.ini", "[Main]\r\nCount=2000000000\r\n");
    EXPECT_TRUE(readFiredFile(dir.file("Fired.ini")).empty());
}

} // namespace
} // namespace kelvo

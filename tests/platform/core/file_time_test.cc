#include "platform/file_time.h"

#include <gtest/gtest.h>

namespace qdw::platform {
namespace {

TEST(FileTimeTest, CalendarRoundTripsAcrossLeapYearsAndCenturies) {
  const CalendarTime samples[] = {
      {1601, 1, 0, 1, 0, 0, 0, 0},     {1980, 1, 0, 1, 0, 0, 0, 0},
      {2000, 2, 0, 29, 23, 59, 58, 0}, {2026, 12, 0, 6, 9, 5, 0, 0},
      {2100, 3, 0, 1, 12, 0, 0, 999},  {2107, 12, 0, 31, 23, 59, 58, 0},
  };
  for (const CalendarTime& c : samples) {
    FileTime t;
    ASSERT_TRUE(CalendarToFileTime(c, &t));
    CalendarTime back = FileTimeToCalendar(t);
    EXPECT_EQ(back.year, c.year);
    EXPECT_EQ(back.month, c.month);
    EXPECT_EQ(back.day, c.day);
    EXPECT_EQ(back.hour, c.hour);
    EXPECT_EQ(back.minute, c.minute);
    EXPECT_EQ(back.second, c.second);
    EXPECT_EQ(back.milliseconds, c.milliseconds);
  }
}

TEST(FileTimeTest, KnownValues) {
  FileTime t;
  // The Unix epoch.
  ASSERT_TRUE(CalendarToFileTime({1970, 1, 0, 1, 0, 0, 0, 0}, &t));
  EXPECT_EQ(t.ticks, kUnixEpochInFileTimeSeconds * kTicksPerSecond);
  EXPECT_EQ(FileTimeToCalendar(t).day_of_week, 4);  // a Thursday
  EXPECT_FALSE(CalendarToFileTime({2023, 2, 0, 29, 0, 0, 0, 0}, &t));
  EXPECT_FALSE(CalendarToFileTime({2026, 13, 0, 1, 0, 0, 0, 0}, &t));
}

TEST(FileTimeTest, DosDateTimeHasTwoSecondResolutionAndLimitedRange) {
  FileTime t;
  ASSERT_TRUE(CalendarToFileTime({2026, 12, 0, 6, 9, 5, 31, 0}, &t));
  uint16_t date = 0, time = 0;
  ASSERT_TRUE(FileTimeToDosDateTime(t, &date, &time));
  EXPECT_EQ(date, ((2026 - 1980) << 9) | (12 << 5) | 6);
  EXPECT_EQ(time, (9 << 11) | (5 << 5) | 15);
  FileTime back;
  ASSERT_TRUE(DosDateTimeToFileTime(date, time, &back));
  EXPECT_EQ(FileTimeToCalendar(back).second, 30);

  ASSERT_TRUE(CalendarToFileTime({1979, 12, 0, 31, 0, 0, 0, 0}, &t));
  EXPECT_FALSE(FileTimeToDosDateTime(t, &date, &time));
  EXPECT_FALSE(DosDateTimeToFileTime(0, 0, &back));  // month 0 is not a date
}

}  // namespace
}  // namespace qdw::platform

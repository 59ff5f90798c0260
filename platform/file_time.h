// Time values as Windows keeps them, and the calendar arithmetic every port shares.
#ifndef QDW_PLATFORM_FILE_TIME_H_
#define QDW_PLATFORM_FILE_TIME_H_

#include <cstdint>

namespace qdw::platform {

// 100-nanosecond intervals since 1601-01-01 00:00, UTC or local as the call says.
struct FileTime {
  uint64_t ticks = 0;
  bool operator==(const FileTime& o) const { return ticks == o.ticks; }
  bool operator!=(const FileTime& o) const { return ticks != o.ticks; }
};

// A broken-down calendar time (the fields of SYSTEMTIME).
struct CalendarTime {
  uint16_t year = 1601;
  uint16_t month = 1;        // 1..12
  uint16_t day_of_week = 0;  // 0 = Sunday
  uint16_t day = 1;          // 1..31
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

// False when the fields are out of range.
bool CalendarToFileTime(const CalendarTime& calendar, FileTime* out);
CalendarTime FileTimeToCalendar(FileTime time);

// MS-DOS packed date and time (two-second resolution, years 1980..2107).
// False when the time lies outside what the DOS form can hold.
bool FileTimeToDosDateTime(FileTime time, uint16_t* dos_date, uint16_t* dos_time);
bool DosDateTimeToFileTime(uint16_t dos_date, uint16_t dos_time, FileTime* out);

// Seconds between 1601-01-01 and the Unix epoch, for ports that live on POSIX clocks.
inline constexpr uint64_t kUnixEpochInFileTimeSeconds = 11644473600ULL;
inline constexpr uint64_t kTicksPerSecond = 10000000ULL;

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_FILE_TIME_H_

#include "platform/file_time.h"

namespace qdw::platform {
namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given date (proleptic Gregorian).
int64_t DaysSince1601(int year, int month, int day) {
  int64_t y = year - 1601;
  int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - 1;
}

}  // namespace

bool CalendarToFileTime(const CalendarTime& c, FileTime* out) {
  if (c.year < 1601 || c.year > 30827 || c.month < 1 || c.month > 12 || c.day < 1 ||
      c.day > DaysInMonth(c.year, c.month) || c.hour > 23 || c.minute > 59 || c.second > 59 ||
      c.milliseconds > 999) {
    return false;
  }
  uint64_t seconds = static_cast<uint64_t>(DaysSince1601(c.year, c.month, c.day)) * 86400 +
                     c.hour * 3600u + c.minute * 60u + c.second;
  out->ticks = seconds * kTicksPerSecond + c.milliseconds * 10000ULL;
  return true;
}

CalendarTime FileTimeToCalendar(FileTime time) {
  CalendarTime c;
  uint64_t total_ms = time.ticks / 10000;
  c.milliseconds = static_cast<uint16_t>(total_ms % 1000);
  uint64_t seconds = total_ms / 1000;
  int64_t days = static_cast<int64_t>(seconds / 86400);
  uint32_t rest = static_cast<uint32_t>(seconds % 86400);
  c.hour = static_cast<uint16_t>(rest / 3600);
  c.minute = static_cast<uint16_t>(rest / 60 % 60);
  c.second = static_cast<uint16_t>(rest % 60);
  c.day_of_week = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
  int year = 1601;
  // Whole 400-year cycles first keep the loop short for far dates.
  year += static_cast<int>(days / 146097) * 400;
  days %= 146097;
  while (days >= (IsLeap(year) ? 366 : 365)) {
    days -= IsLeap(year) ? 366 : 365;
    ++year;
  }
  int month = 1;
  while (days >= DaysInMonth(year, month)) {
    days -= DaysInMonth(year, month);
    ++month;
  }
  c.year = static_cast<uint16_t>(year);
  c.month = static_cast<uint16_t>(month);
  c.day = static_cast<uint16_t>(days + 1);
  return c;
}

bool FileTimeToDosDateTime(FileTime time, uint16_t* dos_date, uint16_t* dos_time) {
  CalendarTime c = FileTimeToCalendar(time);
  if (c.year < 1980 || c.year > 2107) return false;
  *dos_date = static_cast<uint16_t>(((c.year - 1980) << 9) | (c.month << 5) | c.day);
  *dos_time = static_cast<uint16_t>((c.hour << 11) | (c.minute << 5) | (c.second / 2));
  return true;
}

bool DosDateTimeToFileTime(uint16_t dos_date, uint16_t dos_time, FileTime* out) {
  CalendarTime c;
  c.year = static_cast<uint16_t>(1980 + (dos_date >> 9));
  c.month = static_cast<uint16_t>((dos_date >> 5) & 0x0F);
  c.day = static_cast<uint16_t>(dos_date & 0x1F);
  c.hour = static_cast<uint16_t>(dos_time >> 11);
  c.minute = static_cast<uint16_t>((dos_time >> 5) & 0x3F);
  c.second = static_cast<uint16_t>((dos_time & 0x1F) * 2);
  return CalendarToFileTime(c, out);
}

}  // namespace qdw::platform

#include "app/result_messages.h"

#include <cstdio>

namespace qdw::app {

int ResultMessage(int code) {
  struct Entry {
    int code;
    int message;
  };
  static const Entry kTable[] = {
      {0, 147},   {1, 126},   {2, 127},   {4, 128},   {5, 129},   {6, 130},   {7, 165},
      {8, 147},   {9, 170},   {10, 131},  {11, 132},  {201, 126}, {202, 133}, {203, 134},
      {204, 135}, {205, 136}, {206, 137}, {207, 144}, {208, 152}, {209, 129}, {210, 108},
      {211, 110}, {212, 147}, {213, 161}, {214, 162}, {215, 176}, {301, 127}, {302, 111},
      {303, 112}, {304, 113}, {305, 114},
  };
  for (const Entry& entry : kTable) {
    if (entry.code == code) return entry.message;
  }
  return 0;
}

std::string DefaultArchiveName(const platform::CalendarTime& local_date) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* month =
      local_date.month >= 1 && local_date.month <= 12 ? kMonths[local_date.month - 1] : "";
  char text[48];
  std::snprintf(text, sizeof(text), "QDWBackup%02d%s%02d", local_date.year % 100, month,
                local_date.day);
  return text;
}

}  // namespace qdw::app

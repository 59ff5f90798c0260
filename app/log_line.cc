#include "app/log_line.h"

#include <cctype>
#include <cstdio>

namespace qdw::app {

namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%02d", value);
  return text;
}

// The stored form is exactly "yyyy/mm/dd hh:mm".
bool IsStoredForm(const std::string& text) {
  static const char kPattern[] = "9999/99/99 99:99";
  if (text.size() != sizeof(kPattern) - 1) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (kPattern[i] == '9' ? !digit : text[i] != kPattern[i]) return false;
  }
  return true;
}

}  // namespace

LogFields SplitLogLine(const std::string& line) {
  LogFields fields;
  std::string* parts[] = {&fields.mode, &fields.success, &fields.archive_path};
  size_t start = 0;
  for (std::string* part : parts) {
    const size_t comma = line.find(',', start);
    if (comma == std::string::npos) {
      *part = line.substr(start);
      return fields;
    }
    *part = line.substr(start, comma - start);
    start = comma + 1;
  }
  fields.time = line.substr(start);
  return fields;
}

std::string FormatLogLine(int mode, bool success, const std::string& archive_path,
                          const platform::CalendarTime& local_time) {
  return std::to_string(mode) + "," + (success ? "1" : "0") + "," + archive_path + "," +
         std::to_string(local_time.year) + "/" + TwoDigits(local_time.month) + "/" +
         TwoDigits(local_time.day) + " " + TwoDigits(local_time.hour) + ":" +
         TwoDigits(local_time.minute);
}

std::string TwelveHourForm(const std::string& stored) {
  if (!IsStoredForm(stored)) return stored;
  const std::string year = stored.substr(0, 4);
  const std::string month = stored.substr(5, 2);
  const std::string day = stored.substr(8, 2);
  const int hour = std::stoi(stored.substr(11, 2));
  if (hour > 23) return stored;
  const std::string minute = stored.substr(14, 2);
  const bool afternoon = hour >= 12;
  int shown = hour % 12;
  if (shown == 0) shown = 12;
  return month + "/" + day + "/" + year + " " + std::to_string(shown) + ":" + minute +
         (afternoon ? "PM" : "AM");
}

}  // namespace qdw::app

// One line of the operation log: "mode,success,archive path,yyyy/mm/dd hh:mm".
#ifndef QDW_APP_LOG_LINE_H_
#define QDW_APP_LOG_LINE_H_

#include <string>

#include "platform/file_time.h"

namespace qdw::app {

struct LogFields {
  std::string mode;
  std::string success;
  std::string archive_path;
  std::string time;  // everything after the third comma, commas included
};

// Cuts at the first three commas; a missing comma leaves the later fields empty.
LogFields SplitLogLine(const std::string& line);

// The line written for a run, without its line feed. The archive path is written as is.
std::string FormatLogLine(int mode, bool success, const std::string& archive_path,
                          const platform::CalendarTime& local_time);

// "2026/12/06 13:40" -> "12/06/2026 1:40PM", the form shown to English (United States) users.
// Midnight is 12 AM and noon 12 PM. A text not in the stored form is returned unchanged.
std::string TwelveHourForm(const std::string& stored);

}  // namespace qdw::app

#endif  // QDW_APP_LOG_LINE_H_

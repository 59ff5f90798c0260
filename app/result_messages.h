// The one table from result codes to the messages the backup and restore dialog shows, and
// the default archive name.
#ifndef QDW_APP_RESULT_MESSAGES_H_
#define QDW_APP_RESULT_MESSAGES_H_

#include <string>

#include "platform/file_time.h"

namespace qdw::app {

// The string shown under message 125 for a result code (engine/common/result_codes.h); 0 when
// the code has none.
int ResultMessage(int code);

// "QDWBackup" + two-digit year + English month abbreviation + two-digit day, e.g.
// "QDWBackup26Dec06" on 6 December 2026.
std::string DefaultArchiveName(const platform::CalendarTime& local_date);

}  // namespace qdw::app

#endif  // QDW_APP_RESULT_MESSAGES_H_

// The one table from result codes to the messages the backup and restore dialog shows, and
// the default archive name.
#ifndef QDW_APP_RESULT_MESSAGES_H_
#define QDW_APP_RESULT_MESSAGES_H_

#include <string>

#include "platform/file_time.h"

namespace qdw::app {

// Result codes the run sequence raises itself.
inline constexpr int kResultDeclined = 0;  // restore declined, unsafe backup destination
inline constexpr int kResultAbandoned = 100;
inline constexpr int kResultNeedsTempFolder = 203;
inline constexpr int kResultRepositoryUnreadable = 301;
inline constexpr int kResultIndexingQueryFailed = 302;
inline constexpr int kResultIndexingStopFailed = 303;
inline constexpr int kResultSharedFolderQueryFailed = 304;
inline constexpr int kResultSharedFolderStopFailed = 305;

// The string shown under message 125 for a result code; 0 when the code has none.
int ResultMessage(int code);

// "QDWBackup" + two-digit year + English month abbreviation + two-digit day, e.g.
// "QDWBackup26Dec06" on 6 December 2026.
std::string DefaultArchiveName(const platform::CalendarTime& local_date);

}  // namespace qdw::app

#endif  // QDW_APP_RESULT_MESSAGES_H_

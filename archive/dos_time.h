// The MS-DOS date and time a cabinet stores with each file: the file's last-write time in the
// machine's local time.
#ifndef QDW_ARCHIVE_DOS_TIME_H_
#define QDW_ARCHIVE_DOS_TIME_H_

#include <cstdint>

#include "platform/file_time.h"
#include "platform/system_info.h"

namespace qdw::archive {

// The first moment MS-DOS time can hold (1980-01-01 00:00).
inline constexpr uint16_t kEarliestDosDate = (1 << 5) | 1;
inline constexpr uint16_t kEarliestDosTime = 0;

// A UTC file time as local MS-DOS date and time. Times the DOS form cannot hold (before 1980
// or after 2107) give its earliest moment.
void UtcToLocalDosDateTime(platform::SystemInfo& system, platform::FileTime utc, uint16_t* dos_date,
                           uint16_t* dos_time);

// Stored local MS-DOS date and time as a UTC file time. False for an invalid date or time.
bool LocalDosDateTimeToUtc(platform::SystemInfo& system, uint16_t dos_date, uint16_t dos_time,
                           platform::FileTime* utc);

}  // namespace qdw::archive

#endif  // QDW_ARCHIVE_DOS_TIME_H_

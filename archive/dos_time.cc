#include "archive/dos_time.h"

namespace qdw::archive {

void UtcToLocalDosDateTime(platform::SystemInfo& system, platform::FileTime utc, uint16_t* dos_date,
                           uint16_t* dos_time) {
  if (!platform::FileTimeToDosDateTime(system.UtcToLocal(utc), dos_date, dos_time)) {
    *dos_date = kEarliestDosDate;
    *dos_time = kEarliestDosTime;
  }
}

bool LocalDosDateTimeToUtc(platform::SystemInfo& system, uint16_t dos_date, uint16_t dos_time,
                           platform::FileTime* utc) {
  platform::FileTime local;
  if (!platform::DosDateTimeToFileTime(dos_date, dos_time, &local)) return false;
  *utc = system.LocalToUtc(local);
  return true;
}

}  // namespace qdw::archive

// The notification callback of the archive reader: creates each file the cabinet library
// offers below the destination folder and finishes it when its data is complete.
#ifndef QDW_EXTRACTOR_FILE_NOTIFICATIONS_H_
#define QDW_EXTRACTOR_FILE_NOTIFICATIONS_H_

#include <cstdint>

#include "cabinet/fdi.h"

namespace qdw::extractor {

// fdintCOPY_FILE: a write handle, or -1 (the copy fails) for a stored name that would leave
// the destination folder, a target path of 260 characters or more, a folder that cannot be
// made or a target that cannot be created. fdintCLOSE_FILE_INFO: 1. Everything else: 0 (go
// on, skip partial files, look for the next volume where the cabinet library proposes).
intptr_t QDW_CAB_CALL ReaderNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification);

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_FILE_NOTIFICATIONS_H_

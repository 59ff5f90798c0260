// The C runtime's open flags, permission modes and error numbers, translated to and from the
// platform's file interface.
#ifndef QDW_ARCHIVE_RUNTIME_FLAGS_H_
#define QDW_ARCHIVE_RUNTIME_FLAGS_H_

#include <cstdint>

#include "platform/file_system.h"
#include "platform/win_error.h"

namespace qdw::archive {

// Error numbers of the Windows C runtime (errno values) that the callbacks report.
inline constexpr int kErrnoNoEntry = 2;       // ENOENT
inline constexpr int kErrnoBadHandle = 9;     // EBADF
inline constexpr int kErrnoNoMemory = 12;     // ENOMEM
inline constexpr int kErrnoAccess = 13;       // EACCES
inline constexpr int kErrnoExists = 17;       // EEXIST
inline constexpr int kErrnoInvalid = 22;      // EINVAL
inline constexpr int kErrnoTooManyOpen = 24;  // EMFILE
inline constexpr int kErrnoNoSpace = 28;      // ENOSPC

// What platform::FileSystem::Open needs to behave like _open with given flags and mode.
struct OpenRequest {
  uint32_t access = 0;
  uint32_t share = 0;
  platform::Disposition disposition = platform::Disposition::kOpenExisting;
  uint32_t flags_and_attributes = platform::kAttrNormal;
  bool append = false;
};

// `oflag` holds CAB_O_* bits (the runtime's _O_* values), `pmode` CAB_S_* bits. A file the
// call creates without write permission is created read-only, as the runtime does.
OpenRequest TranslateOpenFlags(int oflag, int pmode);

// The runtime's error number for a system error code (as its _dosmaperr maps them).
int ErrnoOfWinError(platform::WinError error);

}  // namespace qdw::archive

#endif  // QDW_ARCHIVE_RUNTIME_FLAGS_H_

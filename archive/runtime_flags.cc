#include "archive/runtime_flags.h"

#include "cabinet/cab_types.h"

namespace qdw::archive {

using platform::Disposition;

OpenRequest TranslateOpenFlags(int oflag, int pmode) {
  OpenRequest request;
  switch (oflag & (CAB_O_WRONLY | CAB_O_RDWR)) {
    case CAB_O_WRONLY:
      request.access = platform::kGenericWrite;
      break;
    case CAB_O_RDWR:
      request.access = platform::kGenericRead | platform::kGenericWrite;
      break;
    default:
      request.access = platform::kGenericRead;
      break;
  }
  // _open shares reading and writing with every other opener.
  request.share = platform::kShareRead | platform::kShareWrite;

  const bool create = (oflag & CAB_O_CREAT) != 0;
  const bool truncate = (oflag & CAB_O_TRUNC) != 0;
  if (create && (oflag & CAB_O_EXCL)) {
    request.disposition = Disposition::kCreateNew;
  } else if (create && truncate) {
    request.disposition = Disposition::kCreateAlways;
  } else if (create) {
    request.disposition = Disposition::kOpenAlways;
  } else if (truncate) {
    request.disposition = Disposition::kTruncateExisting;
  } else {
    request.disposition = Disposition::kOpenExisting;
  }

  uint32_t attributes = platform::kAttrNormal;
  if (create && !(pmode & CAB_S_IWRITE)) attributes = platform::kAttrReadOnly;
  request.flags_and_attributes = attributes;
  if (oflag & CAB_O_SEQUENTIAL) request.flags_and_attributes |= platform::kFlagSequentialScan;
  request.append = (oflag & CAB_O_APPEND) != 0;
  return request;
}

int ErrnoOfWinError(platform::WinError error) {
  switch (error) {
    case platform::kErrorFileNotFound:
    case platform::kErrorPathNotFound:
    case platform::kErrorInvalidDrive:
    case platform::kErrorNoMoreFiles:
    case platform::kErrorBadNetName:
    case platform::kErrorBadPathname:
    case platform::kErrorFilenameExcedRange:
    case platform::kErrorInvalidName:
    case platform::kErrorModNotFound:
      return kErrnoNoEntry;
    case platform::kErrorAccessDenied:
    case platform::kErrorSharingViolation:
    case platform::kErrorLockViolation:
    case platform::kErrorNotReady:
    case platform::kErrorWriteFault:
    case platform::kErrorReadFault:
    case platform::kErrorDirectory:
      return kErrnoAccess;
    case platform::kErrorInvalidHandle:
      return kErrnoBadHandle;
    case platform::kErrorNotEnoughMemory:
      return kErrnoNoMemory;
    case platform::kErrorFileExists:
    case platform::kErrorAlreadyExists:
      return kErrnoExists;
    case platform::kErrorDiskFull:
    case platform::kErrorHandleDiskFull:
      return kErrnoNoSpace;
    default:
      return kErrnoInvalid;
  }
}

}  // namespace qdw::archive
